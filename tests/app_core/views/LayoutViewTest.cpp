// The layout of digits by hit count and newest draw, its compare lists, colours and keys,
// worked out by hand on small archives.

#include "app/core/views/LayoutView.h"
#include "tests/common/TestHelpers.h"
#include "tests/fixtures/ArchiveFixtures.h"

#include <QStringList>

#include <gtest/gtest.h>

#include <limits>

namespace {

// Every text of the grid, row by row, cells joined with "|".
QStringList GridTexts(const TLayoutGrid& grid)
{
    QStringList rows;
    for (int row = 0; row < grid.RowCount(); ++row) {
        QStringList cells;
        for (int col = 0; col < grid.ColCount(); ++col)
            cells << grid.CellText(col, row);
        rows << cells.join(QLatin1Char('|'));
    }
    return rows;
}

QStringList CompareTexts(const TLayoutCompareList& list)
{
    QStringList rows{list.Caption};
    for (const TLayoutCompareRow& row : list.Rows)
        rows << QString::number(row.Count) + QLatin1Char(':') + row.Digits;
    return rows;
}

} // namespace

TEST(LayoutViewTest, TallyCountsEachDigitAndKeepsItsNewestDraw)
{
    // 3,5 / 1,2 / 3,7 / 4,4 / 4,5 / 3,4 scanned from the newest: 3 and 4 first (draw 6), then
    // 5 (draw 5), 7 (draw 3), 1 and 2 (draw 2); the pair 4,4 counts 2.
    const TDrawsArray draws = SixDrawArchive();
    const TDigitTallyList expected{{3, 3, 6}, {4, 4, 6}, {5, 2, 5}, {7, 1, 3}, {1, 1, 2}, {2, 1, 2}};
    EXPECT_EQ(TallyDigits(draws, 0, 5), expected);
    const TDigitTallyList lastTwo{{3, 1, 6}, {4, 2, 6}, {5, 1, 5}};
    EXPECT_EQ(TallyDigits(draws, 4, 5), lastTwo);
    EXPECT_TRUE(TallyDigits(draws, 3, 2).empty());
    // Indexes past either end are cut to the archive.
    EXPECT_EQ(TallyDigits(draws, -5, 40), expected);

    // A damaged record's digit outside 0..9 takes no place in the tally.
    TDrawsArray damaged = MakeDraws({{1, 2}, {3, 4}});
    damaged[1].Digits = {12, 4};
    const TDigitTallyList kept{{4, 1, 2}, {1, 1, 1}, {2, 1, 1}};
    EXPECT_EQ(TallyDigits(damaged, 0, 1), kept);
}

TEST(LayoutViewTest, WindowEndsAtTheOffsetAndStartsNoEarlierThanTheOldestDraw)
{
    struct Case {
        int count, offset, length, first, last;
    };
    const Case cases[] = {
        {6, 0, 100, 0, 5}, {6, 2, 3, 1, 3}, {6, 0, 1, 5, 5}, {6, 5, 10, 0, 0},
        {6, 0, std::numeric_limits<int>::max(), 0, 5},
        {1000, 0, std::numeric_limits<int>::max(), 0, 999},
    };
    for (const Case& c : cases) {
        const TDrawWindow w = LayoutWindow(c.count, c.offset, c.length);
        EXPECT_FALSE(w.IsEmpty()) << c.count << " " << c.offset << " " << c.length;
        EXPECT_EQ(w.First, c.first) << c.count << " " << c.offset << " " << c.length;
        EXPECT_EQ(w.Last, c.last) << c.count << " " << c.offset << " " << c.length;
    }
    EXPECT_TRUE(LayoutWindow(0, 0, 100).IsEmpty());
    EXPECT_TRUE(LayoutWindow(6, 6, 100).IsEmpty());
    EXPECT_TRUE(LayoutWindow(6, 0, 0).IsEmpty());
}

TEST(LayoutViewTest, GridOfTheWholeSixDrawArchive)
{
    TLayoutGrid grid;
    grid.Build(SixDrawArchive(), 0, 100, TDigitSet());
    // Counts 4, 3, 2, 1 down; draws 6, 5, 3, 2 across; 0, 6, 8 and 9 did not come out.
    const QStringList expected{
        "|6|5|3|2",
        "4|4|||",
        "3|3|||",
        "2||5||",
        "1|||7|1, 2",
    };
    EXPECT_EQ(GridTexts(grid), expected);
    for (const QString& row : GridTexts(grid).mid(1))
        for (const char* absent : {"0", "6", "8", "9"})
            EXPECT_FALSE(row.mid(2).contains(QLatin1String(absent))) << row.toStdString();
    EXPECT_FALSE(grid.HasCurrentDigit(1, 1));
    // Outside the grid every text is empty.
    EXPECT_EQ(grid.CellText(5, 1), QString());
    EXPECT_EQ(grid.CellText(1, 5), QString());
    EXPECT_EQ(grid.CellText(-1, 0), QString());
}

TEST(LayoutViewTest, GridCases)
{
    struct Case {
        const char* name;
        TDrawsArray draws;
        int offset;
        int length;
        QStringList texts;
    };
    const Case cases[] = {
        // One draw with 3 and 7: one row, one column, one cell with both digits.
        {"one draw", MakeDraws({{3, 7}}), 0, 100, {"|1", "1|3, 7"}},
        {"pair counts two", MakeDraws({{1, 1}, {5, 5}}), 0, 1, {"|2", "2|5"}},
        {"last two draws", SixDrawArchive(), 0, 2, {"|6|5", "2|4|", "1|3|5"}},
        {"empty archive", TDrawsArray(), 0, 100, {""}},
        {"offset past the archive", SixDrawArchive(), 6, 100, {""}},
    };
    for (const Case& c : cases) {
        TLayoutGrid grid;
        grid.Build(c.draws, c.offset, c.length, TDigitSet());
        EXPECT_EQ(GridTexts(grid), c.texts) << c.name;
    }
}

TEST(LayoutViewTest, DigitsOfTheFollowingDrawAreBracketedAndFilterWithoutBrackets)
{
    // Offset 1: the window is draws 1..5 and draw 6 (3,4) followed it.
    const TDrawsArray draws = SixDrawArchive();
    TLayoutGrid grid;
    grid.Build(draws, 1, 100, MakeDrawDigitSet(draws, 1));
    const QStringList expected{
        "|5|3|2",
        "3|[4]||",
        "2|5|[3]|",
        "1||7|1, 2",
    };
    EXPECT_EQ(GridTexts(grid), expected);
    EXPECT_TRUE(grid.HasCurrentDigit(1, 1));
    EXPECT_FALSE(grid.HasCurrentDigit(1, 2));
    EXPECT_TRUE(grid.HasCurrentDigit(2, 2));
    EXPECT_FALSE(grid.HasCurrentDigit(3, 3));

    // Column by column, top to bottom; brackets dropped from the texts.
    TFilterSelection all = grid.Selection(1, 1, 3, 3);
    EXPECT_EQ(all.Text, QString("4; 5; 3; 7; 1; 2"));
    ASSERT_EQ(all.Values.size(), 6u);
    EXPECT_EQ(all.Values[0].Key, WordKey(4));
    EXPECT_EQ(all.Values[5].Key, WordKey(2));

    // A cell with a bracketed digit and another: both, each once.
    TLayoutGrid shown;
    const TDrawsArray two = MakeDraws({{1, 2}, {3, 7}});
    shown.Build(two, 1, 1, MakeDrawDigitSet(two, 1));
    EXPECT_EQ(shown.CellText(1, 1), QString("1, 2"));
    TLayoutGrid bracketed;
    const TDrawsArray three = MakeDraws({{3, 7}, {3, 1}});
    bracketed.Build(three, 1, 1, MakeDrawDigitSet(three, 1));
    EXPECT_EQ(bracketed.CellText(1, 1), QString("[3], 7"));
    const TFilterSelection pair = bracketed.Selection(1, 1, 1, 1);
    EXPECT_EQ(pair.Text, QString("3; 7"));
    EXPECT_EQ(pair.Values.size(), 2u);

    // Empty cells and a rectangle on the headers give nothing.
    EXPECT_TRUE(grid.Selection(2, 1, 3, 1).IsEmpty());
    EXPECT_TRUE(grid.Selection(0, 0, 0, 3).IsEmpty());
    // A digit met twice in the rectangle is added once.
    TLayoutGrid twice;
    twice.Build(draws, 0, 100, TDigitSet());
    EXPECT_EQ(twice.Selection(1, 1, 4, 4).Text, QString("4; 3; 5; 7; 1; 2"));
}

TEST(LayoutViewTest, CellColours)
{
    struct Case {
        int col, row, rows, cols;
        bool current, gradient;
        std::uint32_t colour;
    };
    const Case cases[] = {
        // Gradient: red 255 - 155*row/rows, green 255 - 155*col/cols, blue 100 + 155*row/rows.
        {1, 1, 5, 5, false, true, 0xE0E083},    // 224, 224, 131
        {4, 3, 5, 5, false, true, 0xA283C1},    // 162, 131, 193
        {1, 1, 2, 4, false, true, 0xB2D8B2},    // 177.5 -> 178, 216.25 -> 216, 177.5 -> 178
        {3, 3, 10, 10, false, true, 0xD0D092},  // 208.5 -> 208, 208.5 -> 208, 146.5 -> 146
        {1, 1, 10, 10, false, true, 0xF0F074},  // 239.5 -> 240, 115.5 -> 116
        // A cell holding a digit of the following draw is lime in either mode.
        {2, 2, 5, 5, true, true, 0x00FF00},
        {2, 2, 5, 5, true, false, 0x00FF00},
        // Checkerboard: pale red where exactly one of row and column lies in 1-5, 11-15, ...
        {1, 1, 5, 5, false, false, 0xEAFFEA},
        {6, 1, 5, 8, false, false, 0xFFEAEA},
        {6, 6, 8, 8, false, false, 0xEAFFEA},
        {5, 10, 12, 8, false, false, 0xFFEAEA},
        {1, 95, 99, 3, false, false, 0xEAFFEA},
        {1, 96, 99, 3, false, false, 0xFFEAEA},
        {11, 15, 20, 20, false, false, 0xEAFFEA},
    };
    for (const Case& c : cases)
        EXPECT_EQ(LayoutCellColor(c.col, c.row, c.rows, c.cols, c.current, c.gradient), c.colour)
            << c.col << "," << c.row << " of " << c.cols << "x" << c.rows;
}

TEST(LayoutViewTest, CompareListsGroupDigitsByCount)
{
    const TDrawsArray draws = SixDrawArchive();
    EXPECT_EQ(CompareTexts(LayoutCompareList(draws, 0, 3)), QStringList({"4 - 6", "4:4", "1:3, 5"}));
    EXPECT_EQ(CompareTexts(LayoutCompareList(draws, 0, 100)),
              QStringList({"1 - 6", "4:4", "3:3", "2:5", "1:7, 1, 2"}));
    EXPECT_EQ(CompareTexts(LayoutCompareList(draws, 2, 2)), QStringList({"3 - 4", "2:4", "1:3, 7"}));
    EXPECT_EQ(CompareTexts(LayoutCompareList(TDrawsArray(), 0, 50)), QStringList({""}));
    EXPECT_EQ(CompareTexts(LayoutCompareList(draws, 6, 50)), QStringList({""}));
}

TEST(LayoutViewTest, KeysFollowTheArchiveOffsetAndLength)
{
    TDrawsArray draws = SixDrawArchive();
    TLayoutView view;
    EXPECT_TRUE(view.NeedsGrid(draws, 0, 100, false));
    EXPECT_TRUE(view.NeedsCompare(draws, 0, false));
    view.BuildGrid(draws, 0, 100, TDigitSet());
    view.BuildCompare(draws, 0, {50, 100, 200, 300, 400});
    EXPECT_FALSE(view.NeedsGrid(draws, 0, 100, false));
    EXPECT_TRUE(view.NeedsGrid(draws, 0, 100, true));
    EXPECT_TRUE(view.NeedsGrid(draws, 0, 99, false));
    EXPECT_TRUE(view.NeedsGrid(draws, 1, 100, false));
    EXPECT_FALSE(view.NeedsCompare(draws, 0, false));
    EXPECT_TRUE(view.NeedsCompare(draws, 0, true));
    EXPECT_TRUE(view.NeedsCompare(draws, 1, false));
    EXPECT_EQ(view.CompareLists()[1].Caption, QString("1 - 6"));

    // A draw edited by hand keeps the length but changes both keys.
    draws[2].Digits = {9, 9};
    EXPECT_TRUE(view.NeedsGrid(draws, 0, 100, false));
    EXPECT_TRUE(view.NeedsCompare(draws, 0, false));
    view.BuildGrid(draws, 0, 100, TDigitSet());
    EXPECT_EQ(view.Grid().CellText(3, 2), QString("9"));

    // An added draw as well.
    draws.push_back(Draw(7, 0, 0, "08/04/2016 M"));
    EXPECT_TRUE(view.NeedsGrid(draws, 0, 100, false));

    view.BuildCompare(draws, 0, {1, 1, 1, 1, 1});
    view.ResetKeys();
    EXPECT_TRUE(view.NeedsGrid(draws, 0, 100, false));
    EXPECT_TRUE(view.NeedsCompare(draws, 0, false));
}
