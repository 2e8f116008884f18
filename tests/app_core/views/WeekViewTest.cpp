// The weekday counts, worked out by hand from small archives whose dates are set draw by draw.

#include "tests/app_core/CoreTestEnv.h"

#include "app/core/views/WeekView.h"
#include "tests/fixtures/ArchiveFixtures.h"

#include <gtest/gtest.h>

namespace {

// August 2016: the 1st is a Monday, the 7th a Sunday.
TDrawRec Draw(std::uint32_t number, int d1, int d2, const char* key)
{
    TDrawRec draw;
    draw.Number = number;
    draw.Digits = {std::uint8_t(d1), std::uint8_t(d2)};
    draw.Key.Set(QString::fromLatin1(key));
    return draw;
}

class WeekViewTest : public TCoreTest {
protected:
    TWeekView FView{FState};
};

TEST(WeekdayOfDrawKey, ReadsTheDateOrGivesNothing)
{
    InstallDrawDateHooks();
    const struct {
        const char* Key;
        int Weekday;
    } cases[] = {
        {"08/01/2016 M", 1},  {"08/02/2016 E", 2}, {"08/06/2016 M", 6}, {"08/07/2016 E", 7},
        {"08/07/2016", 7},    {"", 0},             {"garbage", 0},      {"02/30/2016 M", 0},
        {"13/01/2016 M", 0},  {"08/00/2016 E", 0}, {"08/01/1899 M", 0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(WeekdayOfDrawKey(QString::fromLatin1(c.Key)), c.Weekday) << c.Key;
}

TEST_F(WeekViewTest, CountsEachDigitOnItsDay)
{
    FState.FDraws = {Draw(1, 3, 5, "08/01/2016 M"), Draw(2, 1, 2, "08/01/2016 E"),
                     Draw(3, 5, 5, "08/02/2016 M"), Draw(4, 0, 9, "08/02/2016 E"),
                     Draw(5, 3, 7, "08/03/2016 M"), Draw(6, 4, 4, "08/07/2016 E")};
    ASSERT_TRUE(FView.Calc(1000, false));
    // A pair 5-5 on a Tuesday adds 2.
    EXPECT_EQ(FView.Count(5, 2), 2);
    EXPECT_EQ(FView.Count(5, 1), 1);
    EXPECT_EQ(FView.Count(3, 1), 1);
    EXPECT_EQ(FView.Count(3, 3), 1);
    EXPECT_EQ(FView.Count(4, 7), 2);
    EXPECT_EQ(FView.Count(0, 2), 1);
    EXPECT_EQ(FView.Count(9, 2), 1);
    EXPECT_EQ(FView.Count(3, 2), 0);
    EXPECT_EQ(FView.MaxCount(), 2);
    int total = 0;
    for (int digit = 0; digit < 10; ++digit)
        for (int day = 1; day <= 7; ++day)
            total += FView.Count(digit, day);
    EXPECT_EQ(total, 12);

    // Cells: digit d in column d + 1, weekday w in row w; nothing for 0.
    EXPECT_EQ(FView.CellText(6, 2), QStringLiteral("2"));
    EXPECT_EQ(FView.CellText(6, 1), QStringLiteral("1"));
    EXPECT_EQ(FView.CellText(1, 1), QString());
    EXPECT_EQ(FView.CellText(1, 0), QStringLiteral("0"));
    EXPECT_EQ(FView.CellText(10, 0), QStringLiteral("9"));
    EXPECT_EQ(FView.CellText(0, 0), QString());
    EXPECT_EQ(FView.CellText(11, 1), QString());
    EXPECT_EQ(FView.CellText(1, 8), QString());
    EXPECT_EQ(FView.CellText(0, 1), TWeekView::DayName(1));
    EXPECT_FALSE(TWeekView::DayName(7).isEmpty());
    EXPECT_NE(TWeekView::DayName(1), TWeekView::DayName(7));
    EXPECT_EQ(TWeekView::DayName(0), QString());
    EXPECT_EQ(TWeekView::DayName(8), QString());
}

TEST_F(WeekViewTest, DayNamesFollowTheBuiltInLanguage)
{
    // Before any language is chosen the built-in Russian names are used.
    EXPECT_EQ(TWeekView::DayName(1), QStringLiteral("пн"));
    EXPECT_EQ(TWeekView::DayName(7), QStringLiteral("вс"));
}

TEST_F(WeekViewTest, DrawsWithoutADateAndBadDigitsAreLeftOut)
{
    FState.FDraws = {Draw(1, 1, 1, ""), Draw(2, 2, 2, "02/30/2016 M"), Draw(3, 3, 3, "xx/yy/zzzz M"),
                     Draw(4, 4, 12, "08/04/2016 M"), Draw(5, 6, 6, "08/05/2016 E")};
    FView.Calc(10, true);
    for (int digit = 0; digit < 10; ++digit)
        for (int day = 1; day <= 7; ++day) {
            const int expected = (digit == 4 && day == 4) ? 1 : (digit == 6 && day == 5) ? 2 : 0;
            EXPECT_EQ(FView.Count(digit, day), expected) << digit << " " << day;
        }
}

TEST_F(WeekViewTest, WindowEndsAtTheOffset)
{
    FState.FDraws = MakeDraws({{1, 2}, {3, 4}, {5, 6}, {7, 8}, {9, 0}, {1, 1}});
    // Offset 1 and length 3: draws 3 to 5 (Tuesday midday and evening, Wednesday midday).
    FState.SetDrawsOffset(1);
    FView.Calc(3, false);
    EXPECT_EQ(FView.Count(1, 1), 0);
    EXPECT_EQ(FView.Count(3, 1), 0);
    EXPECT_EQ(FView.Count(5, 2), 1);
    EXPECT_EQ(FView.Count(8, 2), 1);
    EXPECT_EQ(FView.Count(9, 3), 1);
    EXPECT_EQ(FView.Count(0, 3), 1);
    EXPECT_EQ(FView.Count(1, 3), 0);
    EXPECT_EQ(FView.MaxCount(), 1);
    // A length past the archive starts at the oldest draw.
    FView.Calc(1000, false);
    EXPECT_EQ(FView.Count(1, 1), 1);
    EXPECT_EQ(FView.Count(9, 3), 1);
    EXPECT_EQ(FView.Count(1, 3), 0);
}

TEST_F(WeekViewTest, AnEmptyWindowTintsNothing)
{
    for (const int offset : {0, 3}) {
        FState.FDraws = offset == 0 ? TDrawsArray{} : MakeDraws({{1, 2}, {3, 4}});
        FState.SetDrawsOffset(offset);
        FView.Calc(100, true);
        EXPECT_EQ(FView.MaxCount(), 0);
        for (int col = 1; col <= 10; ++col)
            for (int row = 1; row <= 7; ++row) {
                EXPECT_EQ(FView.CellText(col, row), QString());
                EXPECT_FALSE(FView.CellColor(col, row).has_value());
            }
    }
}

TEST_F(WeekViewTest, TintRunsFromWhiteToRedWithHalvesToEven)
{
    // Digit 5 six times on a Tuesday (three 5-5 pairs), digit 1 once, digit 2 three times.
    FState.FDraws = {Draw(1, 5, 5, "08/02/2016 M"), Draw(2, 5, 5, "08/02/2016 E"), Draw(3, 5, 5, "08/09/2016 M"),
                     Draw(4, 1, 2, "08/09/2016 E"), Draw(5, 2, 2, "08/16/2016 M")};
    FView.Calc(100, true);
    ASSERT_EQ(FView.MaxCount(), 6);
    // 1 x 255 / 6 = 42.5 rounds to 42; 3 x 255 / 6 = 127.5 rounds to 128.
    EXPECT_EQ(FView.CellColor(6, 2), std::optional<QRgb>(qRgb(255, 0, 0)));
    EXPECT_EQ(FView.CellColor(2, 2), std::optional<QRgb>(qRgb(255, 213, 213)));
    EXPECT_EQ(FView.CellColor(3, 2), std::optional<QRgb>(qRgb(255, 127, 127)));
    EXPECT_FALSE(FView.CellColor(4, 2).has_value());
    EXPECT_FALSE(FView.CellColor(0, 2).has_value());
    EXPECT_FALSE(FView.CellColor(6, 0).has_value());
}

TEST_F(WeekViewTest, RecountsOnlyWhenTheKeyChanges)
{
    FState.FDraws = MakeDraws({{1, 2}, {3, 4}, {5, 6}});
    EXPECT_TRUE(FView.Calc(10, false));
    EXPECT_FALSE(FView.Calc(10, false));
    EXPECT_TRUE(FView.Calc(10, true));
    EXPECT_TRUE(FView.Calc(2, false));

    // A draw edited by hand keeps the count: its new digits are seen all the same.
    FState.FDraws[2].Digits = {7, 7};
    EXPECT_TRUE(FView.Calc(2, false));
    EXPECT_EQ(FView.Count(7, 2), 2);
    EXPECT_EQ(FView.Count(5, 2), 0);

    // So is a new date: the draw moves to Sunday.
    FState.FDraws[2].Key.Set(QStringLiteral("08/07/2016 M"));
    EXPECT_TRUE(FView.Calc(2, false));
    EXPECT_EQ(FView.Count(7, 7), 2);
    EXPECT_EQ(FView.Count(7, 2), 0);

    FState.SetDrawsOffset(1);
    EXPECT_TRUE(FView.Calc(2, false));
    EXPECT_FALSE(FView.Calc(2, false));
    FView.ResetKey();
    EXPECT_TRUE(FView.Calc(2, false));
    EXPECT_EQ(FStatuses.count(QStringLiteral("Построение статистики по дням недели...")), 7);
}

TEST_F(WeekViewTest, ChartOfARowOrAColumn)
{
    FState.FDraws = {Draw(1, 3, 5, "08/01/2016 M"), Draw(2, 5, 5, "08/02/2016 M"), Draw(3, 5, 0, "08/07/2016 M")};
    FView.Calc(10, true);

    // By days: the column of digit 5 (grid column 6), one point per weekday.
    const std::vector<TWeekChartPoint> byDays = FView.ChartPoints(6, 3, true);
    ASSERT_EQ(byDays.size(), 7u);
    const int days[7] = {1, 2, 0, 0, 0, 0, 1};
    for (int r = 1; r <= 7; ++r)
        EXPECT_EQ(byDays[r - 1], (TWeekChartPoint{r, days[r - 1], TWeekView::DayName(r)}));

    // By digits: the Tuesday row, one point per digit labelled with it.
    const std::vector<TWeekChartPoint> byDigits = FView.ChartPoints(6, 2, false);
    ASSERT_EQ(byDigits.size(), 10u);
    for (int c = 1; c <= 10; ++c)
        EXPECT_EQ(byDigits[c - 1], (TWeekChartPoint{c, c == 6 ? 2 : 0, QString::number(c - 1)}));

    // A header or no current cell stands for the first row or column of counts.
    EXPECT_EQ(FView.ChartPoints(-1, -1, false), FView.ChartPoints(1, 1, false));
    EXPECT_EQ(FView.ChartPoints(0, 0, true), FView.ChartPoints(1, 1, true));
}

TEST(WeekViewSelection, ColumnsGiveTheirDigits)
{
    const struct {
        int Left, Right;
        QString Text;
        std::vector<int> Digits;
    } cases[] = {
        {1, 2, QStringLiteral("0; 1"), {0, 1}},
        {0, 3, QStringLiteral("0; 1; 2"), {0, 1, 2}},
        {10, 10, QStringLiteral("9"), {9}},
        {9, 14, QStringLiteral("8; 9"), {8, 9}},
        {0, 0, QString(), {}},
        {-1, -1, QString(), {}},
    };
    for (const auto& c : cases) {
        const TFilterSelection selection = TWeekView::Selection(c.Left, c.Right);
        EXPECT_EQ(selection.Text, c.Text) << c.Left << ".." << c.Right;
        ASSERT_EQ(selection.Values.size(), c.Digits.size());
        for (std::size_t i = 0; i < c.Digits.size(); ++i)
            EXPECT_EQ(selection.Values[i].Key.Words[0], c.Digits[i]);
    }
}

} // namespace
