#include "app/core/stakes/StakeRows.h"
#include "tests/common/MarkingTranslator.h"
#include "tests/common/TestHelpers.h"

#include <gtest/gtest.h>

#include <array>
#include <optional>

namespace {

TStakeRec Stake(std::uint8_t origin, std::int32_t draw, int d1, int d2, std::int64_t balance, const char* comment)
{
    return StakeOn(origin, draw, d1, d2, comment, balance, 12);
}

QStringList Texts(const TStakeRowView& view)
{
    return QStringList(view.Texts.begin(), view.Texts.end());
}

// The grid's column captions, built in.
QStringList Captions()
{
    return {U("№ тиража"), U("Вид ставки"), U("Моя ставка"), U("Выборка"), U("Результаты тиража"),
            U("Совпадений"), U("Совпадения"), U("Профит"), U("Комментарий")};
}

} // namespace

TEST(StakeRowsTest, HeaderAndWidths)
{
    EXPECT_EQ(StakeColumnCaptions(), Captions());
    const int widths[] = {60, 60, 120, 60, 120, 60, 60, 60, 1000};
    for (int col = 0; col < StakeColumnCount; ++col)
        EXPECT_EQ(StakeColumnWidth(col), widths[col]) << col;
}

TEST(StakeRowsTest, StakeRowTextsAndColours)
{
    const std::uint32_t green = 0x008000;
    const std::uint32_t red = 0xFF0000;
    struct TCase {
        const char* Name;
        TStakeRec Rec;
        QStringList Texts;
        std::optional<std::uint32_t> Background;
        std::optional<std::uint32_t> ResultColor;
        std::array<bool, 4> StakedMatch;
        std::array<bool, 2> DrawnMatch;
    };
    const TCase cases[] = {
        {"unchecked manual stake: profit is minus the cost",
         Stake(soManual, 12, 3, 7, -10, "Ставка"),
         {"12", U("Вручную"), "3;7", "12", "", "", "", "-10,00", U("Ставка")},
         0xEAFFEA, std::nullopt, {}, {}},
        {"two matches, regular", Scored(Stake(soRegular, 2, 5, 9, -10, "A"), 5, 9, {2, {5, 9}}, 890),
         {"2", U("Регуляр"), "5;9", "12", "5;9", "2", "5 9", "890,00", "A"},
         0xFFEAEA, green, {true, true, false, false}, {true, true}},
        {"one match in the first position, scenario", Scored(Stake(soScript, 3, 1, 7, -10, "B"), 1, 2, {1, {1}}, 40),
         {"3", U("Сценарий"), "1;7", "12", "1;2", "1", "1", "40,00", "B"},
         0xEAFFFF, green, {true, false, false, false}, {true, false}},
        {"the same digit elsewhere is no match", Scored(Stake(soSystem, 5, 4, 6, -10, "C"), 6, 4, {0, {}}, -10),
         {"5", U("Система"), "4;6", "12", "6;4", "0", "", "-10,00", "C"},
         0xFCFDD9, red, {}, {}},
        {"a balance of zero is red", Scored(Stake(soManual, 7, 0, 0, -10, ""), 0, 3, {1, {0}}, 0),
         {"7", U("Вручную"), "0;0", "12", "0;3", "1", "0", "0,00", ""},
         0xEAFFEA, red, {true, false, false, false}, {true, false}},
        {"unknown origin: no caption, window colour", Stake(9, 8, 2, 2, -10, "D"),
         {"8", "", "2;2", "12", "", "", "", "-10,00", "D"},
         std::nullopt, std::nullopt, {}, {}},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        const TStakeRowView view = StakeRowView(c.Rec);
        EXPECT_FALSE(view.Empty);
        EXPECT_EQ(Texts(view), c.Texts);
        EXPECT_EQ(view.Background, c.Background);
        EXPECT_EQ(view.ResultColor, c.ResultColor);
        EXPECT_EQ(view.StakedMatch, c.StakedMatch);
        EXPECT_EQ(view.DrawnMatch, c.DrawnMatch);
        EXPECT_EQ(view.StakedDigits, c.Texts[2].split(';'));
        EXPECT_EQ(view.DrawnDigits, c.Rec.Checked ? c.Texts[4].split(';') : QStringList());
    }
}

TEST(StakeRowsTest, SeparatorsAndDamagedRecordsAreEmptyRows)
{
    TStakeRec tooManyDigits = Stake(soManual, 4, 1, 2, -10, "x");
    tooManyDigits.Digits.Count = 5;
    TStakeRec noDigits = Stake(soManual, 4, 1, 2, -10, "x");
    noDigits.Digits.Count = 0;
    TStakeRec badMatches = Scored(Stake(soManual, 4, 1, 2, -10, "x"), 1, 2, {7, {1, 2}}, 890);
    TStakeRec zeroDraw = Stake(soManual, 0, 1, 2, -10, "x");
    const std::pair<const char*, TStakeRec> cases[] = {
        {"separator", InitStakeRec()},
        {"draw number 0", zeroDraw},
        {"five staked digits", tooManyDigits},
        {"no staked digits", noDigits},
        {"matched count 7", badMatches},
    };
    for (const auto& [name, rec] : cases) {
        SCOPED_TRACE(name);
        const TStakeRowView view = StakeRowView(rec);
        EXPECT_TRUE(view.Empty);
        EXPECT_EQ(Texts(view), QStringList(StakeColumnCount, QString()));
        EXPECT_FALSE(view.Background.has_value());
        EXPECT_FALSE(view.ResultColor.has_value());
        EXPECT_TRUE(view.StakedDigits.isEmpty());
    }
}

TEST(StakeRowsTest, ColumnOutsideTheGridNamesItself)
{
    const TStakeRowView view = StakeRowView(Stake(soManual, 12, 3, 7, -10, "x"));
    EXPECT_EQ(StakeCellText(view, 9, 3), "ACol=9, ARow=3");
    EXPECT_EQ(StakeCellText(view, -1, 1), "ACol=-1, ARow=1");
    EXPECT_EQ(StakeCellText(view, 0, 1), "12");
    EXPECT_EQ(StakeCellText(EmptyStakeRow(), 12, 2), "ACol=12, ARow=2");
}

// The grid's captions and the origin column are texts of the message table, fetched each time
// the grid asks: a language module changes them at the next repaint, and taking it away brings
// the built-in ones back.
TEST(StakeRowsTest, CaptionsAndOriginsFollowTheLanguageModule)
{
    const std::pair<std::uint8_t, const char*> origins[] = {
        {soManual, "Вручную"}, {soRegular, "Регуляр"}, {soScript, "Сценарий"}, {soSystem, "Система"}};
    const auto originText = [](std::uint8_t origin) {
        return StakeRowView(StakeOn(origin, 12, 3, 7, "", -10, 12)).Texts[1];
    };

    ASSERT_EQ(StakeColumnCaptions().size(), StakeColumnCount);
    {
        const TMarkingModule module({"KelmaMsg"});
        EXPECT_EQ(StakeColumnCaptions(), TMarkingModule::Marked(Captions()));
        for (const auto& [origin, text] : origins)
            EXPECT_EQ(originText(origin), TMarkingModule::Marked(U(text))) << text;
        // A separator row has no origin to translate.
        EXPECT_EQ(originText(soBlank), QString());
    }
    EXPECT_EQ(StakeColumnCaptions(), Captions());
    for (const auto& [origin, text] : origins)
        EXPECT_EQ(originText(origin), U(text)) << text;
}
