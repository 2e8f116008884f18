#include "app/core/views/CardView.h"

#include "tests/common/TestHelpers.h"
#include "tests/fixtures/ArchiveFixtures.h"

#include <gtest/gtest.h>

#include <optional>

namespace {

// Draws 1..5, oldest first: 3,5 / 3,4 / 7,7 / 0,9 / 8,9. The card shows them newest first:
//   row 1: draw 5 (8, 9)   row 2: draw 4 (0, 9)   row 3: draw 3 (7)
//   row 4: draw 2 (3, 4)   row 5: draw 1 (3, 5)
TDrawsArray FiveDraws()
{
    return MakeDraws({{3, 5}, {3, 4}, {7, 7}, {0, 9}, {8, 9}});
}

// Channel colours for channels of three digits: 0-2, 3-5, 6-8, 9.
constexpr std::uint32_t Channel1 = 0x00AAFFAA;
constexpr std::uint32_t Channel2 = 0x00AAFFFF;
constexpr std::uint32_t Channel3 = 0x00FFFFAA;
constexpr std::uint32_t Channel4 = 0x00AAAAFF;

QStringList RowTexts(const TCardView& card, int row)
{
    QStringList texts;
    for (int col = 0; col < TCardView::ColCount; ++col)
        texts.append(card.CellText(col, row));
    return texts;
}

TEST(CardViewTest, RowsAreDrawsNewestFirstWithOneCellPerDigit)
{
    TCardView card;
    ASSERT_TRUE(card.Refresh(FiveDraws(), false));
    EXPECT_EQ(card.RowCount(), 6);
    EXPECT_EQ(RowTexts(card, 0), QStringList({"", "0", "1", "2", "3", "4", "5", "6", "7", "8", "9"}));
    EXPECT_EQ(RowTexts(card, 1), QStringList({"5", "", "", "", "", "", "", "", "", "8", "9"}));
    EXPECT_EQ(RowTexts(card, 2), QStringList({"4", "0", "", "", "", "", "", "", "", "", "9"}));
    // A pair fills one cell.
    EXPECT_EQ(RowTexts(card, 3), QStringList({"3", "", "", "", "", "", "", "", "7", "", ""}));
    EXPECT_EQ(RowTexts(card, 5), QStringList({"1", "", "", "", "3", "", "5", "", "", "", ""}));
    // Outside the card.
    EXPECT_EQ(card.CellText(1, 6), QString());
    EXPECT_EQ(card.CellText(11, 1), QString());
    EXPECT_EQ(card.CellText(-1, 1), QString());
    EXPECT_FALSE(card.HasDigit(0, 0));
    EXPECT_FALSE(card.HasDigit(1, 10));
}

TEST(CardViewTest, EmptyArchiveIsOneEmptyRow)
{
    TCardView card;
    EXPECT_TRUE(card.Refresh({}, false));
    EXPECT_EQ(card.RowCount(), 2);
    EXPECT_EQ(RowTexts(card, 1), QStringList(QList<QString>(TCardView::ColCount)));
    EXPECT_EQ(card.CellText(5, 0), QString("4"));
    EXPECT_FALSE(card.Refresh({}, false));
    // The empty row still has its channel colours, and no sequence marks.
    EXPECT_EQ(card.CellColor(1, 1, {true, true, 3}), Channel1);
    EXPECT_EQ(card.CellColor(10, 1, {true, true, 3}), Channel4);
    EXPECT_EQ(card.CellColor(1, 1, {false, true, 3}), std::nullopt);
    EXPECT_TRUE(card.Selection(0, 0, 11, 5).IsEmpty());
}

TEST(CardViewTest, KeyNoticesEveryChangeOfTheArchive)
{
    TCardView card;
    TDrawsArray draws;
    ASSERT_TRUE(card.Refresh(draws, false));

    // The first draw of an empty archive: the row count stays 2 and still the card is redone.
    draws = MakeDraws({{1, 2}});
    EXPECT_TRUE(card.Refresh(draws, false));
    EXPECT_EQ(card.RowCount(), 2);
    EXPECT_EQ(card.CellText(2, 1), QString("1"));
    EXPECT_FALSE(card.Refresh(draws, false));

    // A draw edited by hand keeps the count.
    draws = FiveDraws();
    ASSERT_TRUE(card.Refresh(draws, false));
    draws[2].Digits = {6, 6};
    EXPECT_TRUE(card.Refresh(draws, false));
    EXPECT_EQ(card.CellText(7, 3), QString("6"));
    EXPECT_EQ(card.CellText(8, 3), QString());
    draws[2].Number = 30;
    EXPECT_TRUE(card.Refresh(draws, false));
    EXPECT_EQ(card.CellText(0, 3), QString("30"));

    // Unchanged: nothing unless forced.
    EXPECT_FALSE(card.Refresh(draws, false));
    EXPECT_TRUE(card.Refresh(draws, true));
    card.ResetKey();
    EXPECT_TRUE(card.Refresh(draws, false));

    // The card shows what it took: later changes wait for the next refresh, and an archive
    // that shrank in between is never read.
    draws.resize(1);
    EXPECT_EQ(card.RowCount(), 6);
    EXPECT_EQ(card.CellText(0, 5), QString("1"));
    EXPECT_TRUE(card.Refresh(draws, false));
    EXPECT_EQ(card.RowCount(), 2);
}

TEST(CardViewTest, DamagedDigitsHaveNoCellAndLargeNumbersStayUnsigned)
{
    TDrawsArray draws = MakeDraws({{4, 4}});
    draws[0].Digits = {12, 2};
    draws[0].Number = 4000000000u;
    TCardView card;
    card.Refresh(draws, false);
    EXPECT_EQ(RowTexts(card, 1), QStringList({"4000000000", "", "", "2", "", "", "", "", "", "", ""}));
    draws[0].Digits = {255, 10};
    card.Refresh(draws, false);
    EXPECT_EQ(RowTexts(card, 1), QStringList({"4000000000", "", "", "", "", "", "", "", "", "", ""}));
}

TEST(CardViewTest, CellColours)
{
    TCardView card;
    card.Refresh(FiveDraws(), false);
    const TCardColoring both{true, true, 3};
    const TCardColoring channelsOnly{true, false, 3};
    const TCardColoring sequencesOnly{false, true, 3};
    const TCardColoring none{false, false, 3};
    struct TCase {
        int Col, Row;
        std::optional<std::uint32_t> Both, ChannelsOnly, SequencesOnly;
    };
    const TCase cases[] = {
        // 9 in draws 5 and 4, beside 8 in draw 5: yellow; in draw 4 without a neighbour: lime.
        {10, 1, CardRepeatNeighbourColor, Channel4, CardRepeatNeighbourColor},
        {10, 2, CardRepeatColor, Channel4, CardRepeatColor},
        // 8 beside 9, not in draw 4 (the caption row above does not count): aqua.
        {9, 1, CardNeighbourColor, Channel3, CardNeighbourColor},
        // 0 and 9 are not neighbours: the channel colour.
        {1, 2, Channel1, Channel1, std::nullopt},
        // The pair 7-7 alone.
        {8, 3, Channel3, Channel3, std::nullopt},
        // 3 in draws 2 and 1, beside 4 in draw 2 only; 3 and 5 are not neighbours.
        {4, 4, CardRepeatNeighbourColor, Channel2, CardRepeatNeighbourColor},
        {5, 4, CardNeighbourColor, Channel2, CardNeighbourColor},
        {4, 5, CardRepeatColor, Channel2, CardRepeatColor},
        {6, 5, Channel2, Channel2, std::nullopt},
        // Empty cells: the channel colour only.
        {2, 1, Channel1, Channel1, std::nullopt},
        {8, 4, Channel3, Channel3, std::nullopt},
        // Caption row, number column and cells outside the card keep the grid's colour.
        {3, 0, std::nullopt, std::nullopt, std::nullopt},
        {0, 2, std::nullopt, std::nullopt, std::nullopt},
        {11, 2, std::nullopt, std::nullopt, std::nullopt},
        {4, 6, std::nullopt, std::nullopt, std::nullopt},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(testing::Message() << "col " << c.Col << " row " << c.Row);
        EXPECT_EQ(card.CellColor(c.Col, c.Row, both), c.Both);
        EXPECT_EQ(card.CellColor(c.Col, c.Row, channelsOnly), c.ChannelsOnly);
        EXPECT_EQ(card.CellColor(c.Col, c.Row, sequencesOnly), c.SequencesOnly);
        EXPECT_EQ(card.CellColor(c.Col, c.Row, none), std::nullopt);
    }
    EXPECT_EQ(CardRepeatColor, 0x0000FF00u);            // lime
    EXPECT_EQ(CardNeighbourColor, 0x00FFFF00u);         // aqua
    EXPECT_EQ(CardRepeatNeighbourColor, 0x0000FFFFu);   // yellow
}

TEST(CardViewTest, RepeatAcrossTheLastRowAndTheChannelSize)
{
    // Draw 1 (the last row) repeats 0 from draw 2; nothing lies below the last row.
    TCardView card;
    card.Refresh(MakeDraws({{0, 5}, {0, 7}}), false);
    EXPECT_EQ(card.CellColor(1, 2, {true, true, 3}), CardRepeatColor);
    EXPECT_EQ(card.CellColor(6, 2, {true, true, 3}), Channel2);
    // Channels of five digits: 5 lies in the second.
    EXPECT_EQ(card.CellColor(6, 2, {true, true, 5}), Channel2);
    EXPECT_EQ(card.CellColor(5, 2, {true, true, 5}), Channel1);
}

TEST(CardViewTest, SelectionGathersEachDigitOnceColumnByColumn)
{
    TCardView card;
    card.Refresh(FiveDraws(), false);
    struct TCase {
        int Left, Top, Right, Bottom;
        const char* Text;
        std::vector<int> Digits;
    };
    const TCase cases[] = {
        // 3 in two draws is added once; 4 once.
        {4, 4, 5, 5, "3; 4", {3, 4}},
        // Column by column: 0 (column 1) comes before 9 (column 10) whatever the rows.
        {1, 1, 10, 2, "0; 8; 9", {0, 8, 9}},
        // Cut to the digit columns and the data rows.
        {0, 0, 20, 99, "0; 3; 4; 5; 7; 8; 9", {0, 3, 4, 5, 7, 8, 9}},
        // Only empty cells.
        {2, 1, 3, 3, "", {}},
        // Reversed or outside.
        {5, 4, 4, 4, "", {}},
        {1, 7, 10, 9, "", {}},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Text);
        const TFilterSelection selection = card.Selection(c.Left, c.Top, c.Right, c.Bottom);
        EXPECT_EQ(selection.Text, QString(c.Text));
        ASSERT_EQ(selection.Values.size(), c.Digits.size());
        for (std::size_t i = 0; i < c.Digits.size(); ++i)
            EXPECT_EQ(selection.Values[i].Key, WordKey(c.Digits[i]));
    }
}

} // namespace
