// The checks behind the engine settings dialogs: payout lines, segment cells and the groups a
// settings edit makes stale.

#include "app/core/stats/EngineSettings.h"
#include "engine/KelmaStatList.h"
#include "tests/common/TestHelpers.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

TConfigData GivenConfig()
{
    TConfigData config;
    config.MatrixCols = 3;
    config.ChannelSize = 2;
    config.Cost = TCurrency::FromUnits(10);
    config.MaxStake = 2;
    config.Profits = {{0, TCurrency()}, {1, TCurrency::FromUnits(5)}, {2, TCurrency::FromUnits(90)}};
    config.Weights = {1, -1, 1, false, false};
    config.MatrixSegments = StrToSegments(QStringLiteral("11122233341112223334"));
    return config;
}

TProfitRec Profit(int matches, std::int64_t raw)
{
    return TProfitRec{static_cast<std::uint8_t>(matches), TCurrency::FromRaw(raw)};
}

} // namespace

TEST(EngineSettings, GroupBitsAreThoseOfTheEngineGroups)
{
    EXPECT_EQ(StatGroupCode(ChannelsGroup), "grp");
    EXPECT_EQ(StatGroupCode(MatrixGroup), "mtx");
    EXPECT_EQ(StatGroupCode(SegmentsGroup), "sgm");
    EXPECT_EQ(StatGroupCode(ShreddingGroup), "shr");
    EXPECT_EQ(ChannelsGroupMask, 8);
    EXPECT_EQ(MatrixGroupMask, 16);
    EXPECT_EQ(SegmentsGroupMask, 32);
    EXPECT_EQ(ShreddingGroupMask, 4096);
}

TEST(EngineSettings, ChangeMaskNamesOnlyTheGroupsWhoseValuesChange)
{
    struct TCase {
        const char* Name;
        void (*Edit)(TConfigData&);
        std::uint16_t Mask;
    };
    const TCase cases[] = {
        {"nothing", [](TConfigData&) {}, 0},
        {"channel size", [](TConfigData& c) { c.ChannelSize = 3; }, 8},
        {"matrix columns", [](TConfigData& c) { c.MatrixCols = 2; }, 16},
        {"one segment of position 2", [](TConfigData& c) { c.MatrixSegments[1][9] = 5; }, 32},
        {"cost", [](TConfigData& c) { c.Cost = TCurrency::FromUnits(11); }, 0},
        {"payouts", [](TConfigData& c) { c.Profits.pop_back(); }, 0},
        {"weights", [](TConfigData& c) { c.Weights.UseAbsValues = true; c.Weights.Level = 2; }, 0},
        {"extended stake", [](TConfigData& c) { c.MaxStake = 4; }, 0},
        {"all three groups",
         [](TConfigData& c) {
             c.ChannelSize = 5;
             c.MatrixCols = 4;
             c.MatrixSegments[0][0] = 9;
         },
         56},
    };
    const TConfigData before = GivenConfig();
    for (const TCase& test : cases) {
        TConfigData after = before;
        test.Edit(after);
        EXPECT_EQ(ConfigChangeMask(before, after), test.Mask) << test.Name;
        EXPECT_EQ(ConfigChangeMask(after, before), test.Mask) << test.Name << " (back)";
    }
}

TEST(EngineSettings, PayoutLinesShowTheEntryOfEachMatchCount)
{
    struct TCase {
        const char* Name;
        TProfitsArray Profits;
        QStringList Lines;
    };
    const TCase cases[] = {
        {"no table", {}, {"0=0,00", "1=0,00", "2=0,00"}},
        {"one entry", {Profit(0, 25000)}, {"0=2,50", "1=0,00", "2=0,00"}},
        {"one entry for two matches", {Profit(2, 900000)}, {"0=0,00", "1=0,00", "2=90,00"}},
        {"a full table", {Profit(0, 0), Profit(1, 50000), Profit(2, 900000)}, {"0=0,00", "1=5,00", "2=90,00"}},
        // The first entry of a count is the one a stake is paid by; counts a draw of two digits
        // never reaches are not shown.
        {"out of order, repeated and beyond two",
         {Profit(2, 123456789), Profit(7, 10000), Profit(1, 1), Profit(2, 50000)},
         {"0=0,00", "1=0,00", "2=12345,68"}},
        {"no grouping of thousands", {Profit(1, 12345678900000LL)}, {"0=0,00", "1=1234567890,00", "2=0,00"}},
    };
    for (const TCase& test : cases)
        EXPECT_EQ(ProfitsToLines(test.Profits), test.Lines) << test.Name;
}

TEST(EngineSettings, PayoutLinesReadBackOneEntryPerLine)
{
    struct TCase {
        const char* Line;
        int Matches;
        std::int64_t Raw;
    };
    const TCase cases[] = {
        {"0=0,00", 0, 0},
        {"1=10,5", 1, 105000},
        {"2=3.25", 2, 32500},
        {"2=", 2, 0},                // no value
        {"2", 2, 0},                 // no "=" at all
        {"1=abc", 1, 0},             // not a number
        {"1=1,2,3", 1, 0},
        {"x=5", 0, 50000},           // a name that is not an integer
        {"256=1", 0, 10000},         // more matches than an entry can hold
        {"-1=1", 0, 10000},
        {"255=1", 255, 10000},
        {"1=0,00004", 1, 0},         // rounded to a ten-thousandth
        {"1=0,00006", 1, 1},
        {"1= 7 ", 1, 70000},         // blanks around a number
        {"2=10000000", 2, 100000000000LL},    // the most the settings file keeps
        {"2=10000000,00004", 2, 100000000000LL},
        {"1=-0,00004", 1, 0},                  // rounds to 0, which is kept
    };
    for (const TCase& test : cases) {
        int bad = -5;
        const std::optional<TProfitsArray> profits = LinesToProfits({U(test.Line)}, &bad);
        ASSERT_TRUE(profits.has_value()) << test.Line;
        ASSERT_EQ(profits->size(), 1u) << test.Line;
        EXPECT_EQ(profits->front().Matches, test.Matches) << test.Line;
        EXPECT_EQ(profits->front().Amount.Raw(), test.Raw) << test.Line;
        EXPECT_EQ(bad, -5) << test.Line;
    }
    const std::optional<TProfitsArray> none = LinesToProfits({});
    ASSERT_TRUE(none.has_value());
    EXPECT_TRUE(none->empty());
}

TEST(EngineSettings, PayoutTooLargeForTheMoneyTypeFailsTheTable)
{
    for (const char* value : {"922337203685478", "100000000000000000000", "1e400"}) {
        int bad = -1;
        const std::optional<TProfitsArray> profits =
            LinesToProfits({QStringLiteral("0=1"), QStringLiteral("1=2"), QStringLiteral("2=") + U(value)}, &bad);
        EXPECT_FALSE(profits.has_value()) << value;
        EXPECT_EQ(bad, 2) << value;
    }
    EXPECT_FALSE(LinesToProfits({QStringLiteral("1=922337203685478")}).has_value()) << "without a line index";
    EXPECT_EQ(ProfitTooLargeMessage(QStringLiteral("922337203685478")),
              U("Слишком большая сумма выигрыша: 922337203685478!"));
}

// The settings file is read back only within 0..10 000 000 units: an amount beyond would be
// saved and then come back as 0, so it is refused before it is saved.
TEST(EngineSettings, AmountsOutsideWhatTheSettingsFileKeepsAreRefused)
{
    struct TCase {
        long double Value;
        bool Kept;
        std::int64_t Raw;
    };
    const TCase cases[] = {
        {0, true, 0},
        {10000000.0L, true, 100000000000LL},
        {10000000.00006L, false, 0},           // a ten-thousandth over once rounded
        {10000000.01L, false, 0},
        {-0.00006L, false, 0},
        {-1, false, 0},
        {922337203685477.0L, false, 0},         // fits the money type, not the file
        {std::numeric_limits<long double>::quiet_NaN(), false, 0},
    };
    for (const TCase& test : cases) {
        const std::optional<TCurrency> money = StakeMoneyFromValue(test.Value);
        EXPECT_EQ(money.has_value(), test.Kept) << static_cast<double>(test.Value);
        if (money && test.Kept) {
            EXPECT_EQ(money->Raw(), test.Raw) << static_cast<double>(test.Value);
        }
    }

    const struct {
        const char* Line;
        bool Kept;
    } lines[] = {{"1=10000000", true}, {"1=10000000,01", false}, {"1=-1", false}, {"1=-0,00004", true}};
    for (const auto& line : lines) {
        int bad = -1;
        const std::optional<TProfitsArray> profits = LinesToProfits({QStringLiteral("0=1"), U(line.Line)}, &bad);
        EXPECT_EQ(profits.has_value(), line.Kept) << line.Line;
        EXPECT_EQ(bad, line.Kept ? -1 : 1) << line.Line;
    }

    EXPECT_EQ(ProfitRefusedMessage(QStringLiteral("10000000,01")), U("Слишком большая сумма выигрыша: 10000000,01!"));
    EXPECT_EQ(ProfitRefusedMessage(QStringLiteral("-5")), U("Отрицательная сумма выигрыша: -5!"));
    EXPECT_EQ(CostRefusedMessage(20000000), U("Слишком большая стоимость ставки: 20000000!"));
    EXPECT_EQ(CostRefusedMessage(-2.5L), U("Отрицательная стоимость ставки: -2,5!"));
}

TEST(EngineSettings, PayoutTableSurvivesItsLinesUnchanged)
{
    const TProfitsArray given = {Profit(0, 0), Profit(1, 12345), Profit(2, 9999999900LL)};
    const std::optional<TProfitsArray> back = LinesToProfits(ProfitsToLines(given));
    ASSERT_TRUE(back.has_value());
    // Amounts keep two decimals: 1,2345 shows as 1,23.
    const TProfitsArray expected = {Profit(0, 0), Profit(1, 12300), Profit(2, 9999999900LL)};
    EXPECT_EQ(*back, expected);
}

TEST(EngineSettings, MoneyFromValueRefusesWhatTheMoneyTypeCannotHold)
{
    struct TCase {
        long double Value;
        bool Fits;
        std::int64_t Raw;
    };
    const TCase cases[] = {
        {0, true, 0},
        {1.5L, true, 15000},
        {-2.25L, true, -22500},
        {922337203685477.0L, true, 9223372036854770000LL},
        {922337203685478.0L, false, 0},
        {-922337203685478.0L, false, 0},
        {1e300L, false, 0},
        {std::numeric_limits<long double>::infinity(), false, 0},
        {std::numeric_limits<long double>::quiet_NaN(), false, 0},
    };
    for (const TCase& test : cases) {
        const std::optional<TCurrency> money = MoneyFromValue(test.Value);
        EXPECT_EQ(money.has_value(), test.Fits) << static_cast<double>(test.Value);
        if (money && test.Fits) {
            EXPECT_EQ(money->Raw(), test.Raw) << static_cast<double>(test.Value);
        }
    }
    EXPECT_EQ(CostTooLargeMessage(1e20L), U("Слишком большая стоимость ставки: 1E20!"));
}

TEST(EngineSettings, TypedPayoutKeepsDigitsAndOneKindOfSeparator)
{
    const std::pair<const char*, const char*> cases[] = {
        {"12.5", "12,5"}, {"12,5", "12,5"}, {"1a2 3,4", "123,4"}, {"-5", "5"}, {"+7e3", "73"}, {"", ""},
        {"١٢", ""},   // digits of another script are not decimal digits here
    };
    for (const auto& [typed, kept] : cases)
        EXPECT_EQ(TypedProfitText(U(typed)), U(kept)) << typed;
}

TEST(EngineSettings, SegmentCellsTakeOnlyOneToNine)
{
    struct TCase {
        const char* Text;
        bool Valid;
        int Value;
    };
    const TCase cases[] = {
        {"", true, 1},    {"1", true, 1},   {"5", true, 5},   {"9", true, 9},    {"05", true, 5},
        {"0", false, 1},  {"10", false, 1}, {"12", false, 1}, {"99", false, 1},  {"a", false, 1},
        {"-3", false, 1}, {"4294967301", false, 1},   // wraps to 5 in 32 bits: still refused
    };
    for (const TCase& test : cases) {
        EXPECT_EQ(IsSegmentCellText(U(test.Text)), test.Valid) << test.Text;
        EXPECT_EQ(SegmentCellValue(U(test.Text)), test.Value) << test.Text;
    }
    for (const char c : QByteArray("0123456789"))
        EXPECT_TRUE(IsSegmentCellChar(QLatin1Char(c))) << c;
    for (const char c : QByteArray("-+ ,.a$"))
        EXPECT_FALSE(IsSegmentCellChar(QLatin1Char(c))) << c;
    EXPECT_EQ(BadSegmentMessage(QStringLiteral("12")),
              U("Некорректное значение: 12!\n\nУкажите любое число от 1 до 9"));
}

TEST(EngineSettings, SegmentCellsRunDownPositionOneThenPositionTwo)
{
    const TMatrixSegments segments = StrToSegments(QStringLiteral("12345678919876543212"));
    const auto cells = SegmentsToCells(segments);
    EXPECT_EQ(cells[0], "1");
    EXPECT_EQ(cells[8], "9");
    EXPECT_EQ(cells[9], "1");
    EXPECT_EQ(cells[10], "9");
    EXPECT_EQ(cells[18], "1");
    EXPECT_EQ(cells[19], "2");
    EXPECT_EQ(CellsToSegments(cells), segments);

    // Every cell that does not hold 1..9 reads back as segment 1; exactly 20 values are read.
    std::array<QString, SegmentCellCount> edited = cells;
    edited[3] = QString();
    edited[12] = QStringLiteral("12");
    edited[19] = QStringLiteral("0");
    const TMatrixSegments back = CellsToSegments(edited);
    EXPECT_EQ(SegmentsToStr(back), "12315678919816543211");
}

TEST(EngineSettings, ChannelSizeLimits)
{
    const std::pair<int, bool> cases[] = {{0, false}, {1, true}, {2, true}, {10, true}, {11, false}, {-1, false}};
    for (const auto& [size, valid] : cases)
        EXPECT_EQ(IsChannelSize(size), valid) << size;
}
