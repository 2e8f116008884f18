#include "tests/app_core/stats/StatTableTestEnv.h"

#include "app/core/stats/StatNextDraws.h"
#include "engine/Vex_Per.h"

#include <QBuffer>
#include <QtEndian>

#include <algorithm>
#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

namespace {

using TTexts = std::vector<QString>;

TTexts Texts(std::initializer_list<const char*> cells)
{
    TTexts texts;
    for (const char* cell : cells)
        texts.push_back(QString::fromUtf8(cell));
    return texts;
}

TTexts RowTexts(const TStatRow& row)
{
    return TTexts(row.Texts.begin(), row.Texts.end());
}

// Prefetch file bytes: records {key words, count}, then the totals record.
struct TPrefetchRecord {
    std::uint16_t W1;
    std::int32_t Count;
};

QByteArray PrefetchBytes(std::initializer_list<TPrefetchRecord> records, std::int32_t minCount,
                         std::int32_t maxCount)
{
    QByteArray bytes;
    auto put16 = [&](std::uint16_t v) {
        bytes.append(char(v & 0xFF));
        bytes.append(char(v >> 8));
    };
    auto put32 = [&](std::int32_t v) {
        const auto u = static_cast<std::uint32_t>(v);
        for (int shift = 0; shift < 32; shift += 8)
            bytes.append(char((u >> shift) & 0xFF));
    };
    for (const TPrefetchRecord& r : records) {
        put16(r.W1);
        put16(0);
        put16(0);
        put16(0);
        put32(r.Count);
    }
    put32(minCount);
    put32(maxCount);
    put32(0);
    return bytes;
}

class StatTableTest : public TStatTableTest {
protected:
    const TStatRow* Row(const QString& valueText) const
    {
        for (const TStatRow& row : FTable.Data().Rows)
            if (row.Texts[scValue] == valueText)
                return &row;
        return nullptr;
    }

    TTexts RowOf(const char* valueText) const
    {
        const TStatRow* row = Row(QString::fromUtf8(valueText));
        return row ? RowTexts(*row) : TTexts{};
    }

    TStatTable FTable{FState};
};

}  // namespace

// All twenty columns of values seen three times, twice, once and never, worked out by hand
// for the window of draws 1..7 (offset 3; the length 100 reaches past the oldest draw).
TEST_F(StatTableTest, NumbersWithPrefilledValuesByHand)
{
    FState.SetDrawsOffset(3);
    ASSERT_EQ(FTable.Calc(Method("NUMS"), 100, true), TStatCalcResult::Computed);
    const TStatTableData& data = FTable.Data();
    EXPECT_EQ(data.First, 0);
    EXPECT_EQ(data.Last, 6);
    EXPECT_EQ(data.Length, 7);
    EXPECT_EQ(data.Summary.TotalHits, 14);
    EXPECT_EQ(data.Summary.MaxAge, 6u);
    EXPECT_FALSE(data.HasExpected);
    ASSERT_EQ(data.Rows.size(), 10u);
    // Prefilled rows come in the order the statistic lists them.
    for (int d = 0; d < 10; ++d)
        EXPECT_EQ(data.Rows[static_cast<std::size_t>(d)].Texts[scValue], QString::number(d));

    // 1: draws 1, 3, 5; gaps 2 and 2; 7 / 3 = 2.3333; R(7/3 + 5) = 7; R(4 * 5 / 3) = 7;
    // R(5 * 6 / 4) = R(7.5) = 8 (a half to the even neighbour). Next: draw 8.
    EXPECT_EQ(RowOf("1"), Texts({"1", "3", "21,42857", "-", "-", "-", "3", "50,00", "3,00", "5", "2",
                                 "2,3333", "2", "7", "7", "8", "8", "-1", "-1", "0"}));
    // 2: draws 1 and 7; 7 / 2 = 3.5; R(10.5) = 10, R(3 * 7 / 2) = R(10.5) = 10, R(4 * 8 / 3) = 11;
    // next: draw 9 (6,2).
    EXPECT_EQ(RowOf("2"), Texts({"2", "2", "14,28571", "-", "-", "-", "1", "16,67", "1,00", "7", "6",
                                 "3,5000", "6", "10", "10", "11", "9", "+1", "+1", "+2"}));
    // 3: draw 2 alone: no periods, R(2 * 2 / 1) = 4, R(3 * 3 / 2) = R(4.5) = 4; next: draw 8.
    EXPECT_EQ(RowOf("3"), Texts({"3", "1", "7,14286", "-", "-", "-", "6", "100,00", "6,00", "2", "-",
                                 "-", "-", "-", "4", "4", "8", "-", "-4", "-4"}));
    // 9: both digits of draw 6: the second merge of the same draw records a gap of 0.
    EXPECT_EQ(RowOf("9"), Texts({"9", "2", "14,28571", "-", "-", "-", "2", "33,33", "2,00", "6", "0",
                                 "3,5000", "0", "10", "9", "9", "-", "-", "-", "-"}));
    // 0: never drawn: "-" from the depth on.
    EXPECT_EQ(RowOf("0"), Texts({"0", "0", "0,00000", "-", "-", "-", "-", "-", "-", "-", "-", "-",
                                 "-", "-", "-", "-", "-", "-", "-", "-"}));

    // The chart without norms: one point per value in key order, counts as drawn.
    ASSERT_TRUE(data.HasChart);
    EXPECT_FALSE(data.HasIdeal);
    ASSERT_EQ(data.Actual.size(), 10u);
    EXPECT_EQ(data.Actual[1].X, 1.0);
    EXPECT_EQ(data.Actual[1].Y, 3.0);
    EXPECT_EQ(data.Actual[1].Label, QStringLiteral("1"));
    EXPECT_EQ(data.Actual[8].Y, 0.0);

    // The statistic that produced the rows, for the filters.
    auto stat = data.CreateStat(FState.StatList());
    ASSERT_TRUE(stat);
    EXPECT_EQ(stat->Class().CodeFormat, std::string("NUMS"));
    EXPECT_TRUE(FStatuses.contains(QStringLiteral("Анализ тиражей и расчет статистики...")));
}

// Sorted pairs: rows only for the values the window holds, in the order they first came.
TEST_F(StatTableTest, PairsWithoutPrefilledValuesByHand)
{
    FState.SetDrawsOffset(3);
    ASSERT_EQ(FTable.Calc(Method("KNO2"), 5, true), TStatCalcResult::Computed);
    const TStatTableData& data = FTable.Data();
    EXPECT_EQ(data.First, 2);
    EXPECT_EQ(data.Length, 5);
    ASSERT_EQ(data.Rows.size(), 4u);
    EXPECT_EQ(data.Rows[0].Texts[scValue], QStringLiteral("1:5"));
    EXPECT_EQ(data.Rows[1].Texts[scValue], QStringLiteral("6:7"));
    EXPECT_EQ(data.Rows[2].Texts[scValue], QStringLiteral("9:9"));
    EXPECT_EQ(data.Rows[3].Texts[scValue], QStringLiteral("2:6"));
    // 1:5 in draws 3 and 5: 5 / 2 = 2.5; R(7.5) = 8 three times; not drawn again.
    EXPECT_EQ(RowTexts(data.Rows[0]), Texts({"1:5", "2", "40,00000", "-", "-", "-", "3", "75,00", "3,00", "5",
                                             "2", "2,5000", "2", "8", "8", "8", "-", "-", "-", "-"}));
    EXPECT_EQ(RowTexts(data.Rows[1]), Texts({"6:7", "1", "20,00000", "-", "-", "-", "4", "100,00", "4,00",
                                             "4", "-", "-", "-", "-", "8", "8", "-", "-", "-", "-"}));
    // 2:6 comes again in draw 9 (drawn as 6,2).
    EXPECT_EQ(RowTexts(data.Rows[3]), Texts({"2:6", "1", "20,00000", "-", "-", "-", "1", "25,00", "1,00",
                                             "7", "-", "-", "-", "-", "14", "12", "9", "-", "+5", "+3"}));
    // The chart in key order.
    ASSERT_EQ(data.Actual.size(), 4u);
    EXPECT_EQ(data.Actual[0].Label, QStringLiteral("1:5"));
    EXPECT_EQ(data.Actual[1].Label, QStringLiteral("2:6"));
    EXPECT_EQ(data.Actual[2].Label, QStringLiteral("6:7"));
    EXPECT_EQ(data.Actual[3].Label, QStringLiteral("9:9"));
    EXPECT_EQ(data.Actual[0].Y, 2.0);

    // One draw: a single value, rows but no chart.
    ASSERT_EQ(FTable.Calc(Method("KNO2"), 1, true), TStatCalcResult::Computed);
    ASSERT_EQ(FTable.Data().Rows.size(), 1u);
    EXPECT_EQ(FTable.Data().Rows[0].Texts[scValue], QStringLiteral("2:6"));
    EXPECT_FALSE(FTable.Data().HasChart);
    EXPECT_TRUE(FTable.Data().Actual.empty());
}

// With no draw after the window there is nothing to find.
TEST_F(StatTableTest, OffsetZeroLeavesTheNextDrawColumnsEmpty)
{
    ASSERT_EQ(FTable.Calc(Method("NUMS"), 1000, true), TStatCalcResult::Computed);
    EXPECT_EQ(FTable.Data().Length, 10);
    for (const TStatRow& row : FTable.Data().Rows)
        for (int c = scFact; c <= scDeltaKrn; ++c)
            EXPECT_EQ(row.Texts[c], QStringLiteral("-")) << row.Texts[scValue].toStdString() << " " << c;
    // 2: draws 1, 7, 9, 10; R(10 / 4 + 10) = R(12.5) = 12, R(5 * 10 / 4) = 12, R(6 * 11 / 5) = 13.
    EXPECT_EQ(RowOf("2"), Texts({"2", "4", "20,00000", "-", "-", "-", "1", "14,29", "1,00", "10", "1",
                                 "2,5000", "6", "12", "12", "13", "-", "-", "-", "-"}));
}

TEST_F(StatTableTest, NothingToComputeClearsTheRows)
{
    ASSERT_EQ(FTable.Calc(Method("NUMS"), 10, true), TStatCalcResult::Computed);
    EXPECT_FALSE(FTable.Data().Rows.empty());
    FStatuses.clear();
    EXPECT_EQ(FTable.Calc(nullptr, 10, false), TStatCalcResult::Cleared);
    EXPECT_TRUE(FTable.Data().Rows.empty());
    EXPECT_EQ(FTable.Data().StatClass, nullptr);
    EXPECT_EQ(FTable.Calc(nullptr, 10, false), TStatCalcResult::Unchanged);

    FState.FDraws.clear();
    EXPECT_EQ(FTable.Calc(Method("NUMS"), 10, false), TStatCalcResult::Cleared);
    EXPECT_TRUE(FTable.Data().Rows.empty());
    EXPECT_FALSE(FTable.Data().HasChart);
    EXPECT_TRUE(FStatuses.isEmpty());   // no busy state for nothing

    // A window that ends before the oldest draw, and windows of no length: computed, without
    // rows (the statistic lists no value without a pass).
    FState.FDraws = TenDraws();
    FState.SetDrawsOffset(10);
    ASSERT_EQ(FTable.Calc(Method("NUMS"), 10, true), TStatCalcResult::Computed);
    EXPECT_EQ(FTable.Data().Length, 0);
    EXPECT_TRUE(FTable.Data().Rows.empty());
    FState.SetDrawsOffset(0);
    for (const int length : {0, -1, -2147483647 - 1}) {
        ASSERT_EQ(FTable.Calc(Method("NUMS"), length, true), TStatCalcResult::Computed);
        EXPECT_EQ(FTable.Data().Length, 0) << length;
        EXPECT_TRUE(FTable.Data().Rows.empty()) << length;
    }
}

// Norms from a full set in which every digit is as frequent (16 each in this file): the norm
// is the middle of the window's counts, (0 + 3) / 2 = 1.5, rounded to the even 2.
TEST_F(StatTableTest, FlatPrefetchGivesTheMidRange)
{
    QByteArray file;
    for (std::uint16_t d = 0; d < 10; ++d)
        file += PrefetchBytes({{d, 16}}, 0, 0).left(12);
    file += PrefetchBytes({}, 16, 16);
    ASSERT_EQ(file.size(), 11 * 12);
    FTable.SetPrefetchSource([&](const TStatMethod& m) {
        EXPECT_EQ(m.Code(), QStringLiteral("NUMS"));
        return file;
    });
    FState.SetDrawsOffset(3);
    FState.Options.SetValue(TMainOptions::ShowTotalLine, 1);
    ASSERT_EQ(FTable.Calc(Method("NUMS"), 100, true), TStatCalcResult::Computed);
    const TStatTableData& data = FTable.Data();
    ASSERT_TRUE(data.HasExpected);
    EXPECT_EQ(data.Ratio, 1.5L / 16);
    // 1: 3 - 2 = 1, 50 %; weight 0 * 3 - 1 * 1 + 1 * 3 = 2.
    EXPECT_EQ(RowOf("1"), Texts({"1", "3", "21,42857", "2", "1", "50,00000", "3", "50,00", "2,00", "5",
                                 "2", "2,3333", "2", "7", "7", "8", "8", "-1", "-1", "0"}));
    // 0: never drawn: minus the norm.
    EXPECT_EQ(RowOf("0"), Texts({"0", "0", "0,00000", "2", "-2", "-100,00000", "-", "-", "-", "-", "-",
                                 "-", "-", "-", "-", "-", "-", "-", "-", "-"}));
    EXPECT_EQ(Row(QStringLiteral("9"))->Value.Expected, 2);

    // The chart follows the file's records: the scaled full set and the actual counts.
    ASSERT_TRUE(data.HasIdeal);
    ASSERT_EQ(data.Ideal.size(), 10u);
    ASSERT_EQ(data.Actual.size(), 10u);
    EXPECT_EQ(data.Ideal[0].X, 1.0);
    EXPECT_EQ(data.Ideal[0].Y, 1.5);
    EXPECT_EQ(data.Ideal[9].Label, QStringLiteral("9"));
    EXPECT_EQ(data.Actual[1].X, 2.0);
    EXPECT_EQ(data.Actual[1].Y, 3.0);
    EXPECT_EQ(data.Actual[1].Label, QStringLiteral("1"));
}

// A full set with three values: the norms scale by the window's largest count (3) over the
// file's (32); values without a record have the norm 0 and are left out of the chart.
TEST_F(StatTableTest, PrefetchNormsAndTheIdealLine)
{
    const QByteArray file = PrefetchBytes({{1, 8}, {2, 16}, {3, 32}}, 8, 32);
    FTable.SetPrefetchSource([&](const TStatMethod&) { return file; });
    FState.SetDrawsOffset(3);
    FState.Options.SetValue(TMainOptions::ShowTotalLine, 0);
    ASSERT_EQ(FTable.Calc(Method("NUMS"), 100, true), TStatCalcResult::Computed);
    const TStatTableData& data = FTable.Data();
    ASSERT_TRUE(data.HasExpected);
    EXPECT_EQ(data.Ratio, 3.0L / 32);
    // R(0.75) = 1, R(1.5) = 2, R(3) = 3.
    EXPECT_EQ(Row(QStringLiteral("1"))->Value.Expected, 1);
    EXPECT_EQ(Row(QStringLiteral("2"))->Value.Expected, 2);
    EXPECT_EQ(Row(QStringLiteral("3"))->Value.Expected, 3);
    EXPECT_EQ(RowOf("3")[scDeviation], QStringLiteral("-2"));
    EXPECT_EQ(RowOf("3")[scDeviationPercent], QStringLiteral("-66,66667"));
    // No record: norm 0; a drawn value deviates by 100 %, an undrawn one by 0 %.
    EXPECT_EQ(RowOf("9")[scNorm], QStringLiteral("0"));
    EXPECT_EQ(RowOf("9")[scDeviation], QStringLiteral("2"));
    EXPECT_EQ(RowOf("9")[scDeviationPercent], QStringLiteral("100,00000"));
    EXPECT_EQ(RowOf("8")[scDeviationPercent], QStringLiteral("0,00000"));
    EXPECT_FALSE(data.HasIdeal);   // the ideal line is off
    ASSERT_EQ(data.Actual.size(), 3u);
    EXPECT_EQ(data.Actual[0].X, 1.0);
    EXPECT_EQ(data.Actual[0].Y, 3.0);
    EXPECT_EQ(data.Actual[2].X, 3.0);
    EXPECT_EQ(data.Actual[2].Y, 1.0);

    FState.Options.SetValue(TMainOptions::ShowTotalLine, 1);
    ASSERT_EQ(FTable.Calc(Method("NUMS"), 100, true), TStatCalcResult::Computed);
    ASSERT_EQ(FTable.Data().Ideal.size(), 3u);
    EXPECT_EQ(FTable.Data().Ideal[0].Y, 0.75);
    EXPECT_EQ(FTable.Data().Ideal[1].Y, 1.5);
    EXPECT_EQ(FTable.Data().Ideal[2].Y, 3.0);
    EXPECT_EQ(FTable.Data().Ideal[2].Label, QStringLiteral("3"));
}

// Files that give no norms: none at all, an empty full set, and a damaged file (which a
// reader would otherwise read past its end).
TEST_F(StatTableTest, PrefetchFilesWithoutNorms)
{
    QByteArray file;
    FTable.SetPrefetchSource([&](const TStatMethod&) { return file; });
    const struct {
        QByteArray Bytes;
        bool Damaged;
    } cases[] = {
        {QByteArray(), false},
        {PrefetchBytes({}, 2147483647, 0), false},
        {QByteArray(5, '\x01'), true},
        {PrefetchBytes({{1, 10}}, 10, 10) + QByteArray(1, '\0'), true},
    };
    for (const auto& c : cases) {
        file = c.Bytes;
        ASSERT_EQ(FTable.Calc(Method("NUMS"), 100, true), TStatCalcResult::Computed);
        EXPECT_FALSE(FTable.Data().HasExpected) << file.size();
        EXPECT_EQ(FTable.Data().PrefetchDamaged, c.Damaged) << file.size();
        EXPECT_EQ(RowOf("1")[scNorm], QStringLiteral("-"));
    }

    TStatPrefetch prefetch;
    QBuffer device;
    device.setData(PrefetchBytes({{7, 3}, {9, 5}}, 3, 5));
    ASSERT_TRUE(device.open(QIODevice::ReadOnly));
    device.seek(20);
    ASSERT_EQ(TStatPrefetch::Read(device, prefetch), TStatPrefetch::TState::Valid);
    ASSERT_EQ(prefetch.Records.size(), 2u);
    EXPECT_EQ(prefetch.Records[1].Key.Words[0], 9);
    EXPECT_EQ(prefetch.Records[1].Hits, 5);
    EXPECT_EQ(prefetch.MinHits, 3);
    EXPECT_EQ(prefetch.MaxHits, 5);
}

// What a refresh without force recomputes for.
TEST_F(StatTableTest, KeyOfTheLastComputation)
{
    const TStatMethod* nums = Method("NUMS");
    ASSERT_EQ(FTable.Calc(nums, 100, false), TStatCalcResult::Computed);
    EXPECT_EQ(FTable.Calc(nums, 100, false), TStatCalcResult::Unchanged);

    // The weights alone: the weight column keeps its texts until a forced computation.
    FState.StatList().Config().Weights.Count = 1;
    EXPECT_EQ(FTable.Calc(nums, 100, false), TStatCalcResult::Unchanged);
    EXPECT_EQ(RowOf("1")[scWeight], QStringLiteral("3,00"));   // the age 3
    EXPECT_EQ(FTable.Calc(nums, 100, true), TStatCalcResult::Computed);
    EXPECT_EQ(RowOf("1")[scWeight], QStringLiteral("7,00"));   // 1 * 4 hits + 1 * age 3

    // A draw edited by hand: same length, other digits.
    FState.FDraws[9].Digits = {7, 7};
    EXPECT_EQ(FTable.Calc(nums, 100, false), TStatCalcResult::Computed);
    EXPECT_EQ(RowOf("7")[scCount], QStringLiteral("3"));
    FState.FDraws[9].Number = 11;
    EXPECT_EQ(FTable.Calc(nums, 100, false), TStatCalcResult::Computed);

    // Settings the values depend on.
    FState.StatList().Config().ChannelSize = 3;
    EXPECT_EQ(FTable.Calc(nums, 100, false), TStatCalcResult::Computed);
    FState.StatList().Formula2 = QStringLiteral("n1*n2/7");
    EXPECT_EQ(FTable.Calc(nums, 100, false), TStatCalcResult::Computed);
    FState.Options.SetValue(TMainOptions::SortedDraws, 1);
    EXPECT_EQ(FTable.Calc(nums, 100, false), TStatCalcResult::Computed);
    EXPECT_EQ(FTable.Calc(nums, 100, false), TStatCalcResult::Unchanged);

    // The view's own inputs.
    FState.SetDrawsOffset(2);
    EXPECT_EQ(FTable.Calc(nums, 100, false), TStatCalcResult::Computed);
    EXPECT_EQ(FTable.Calc(nums, 5, false), TStatCalcResult::Computed);
    FState.FDraws.push_back(FState.FDraws.back());
    EXPECT_EQ(FTable.Calc(nums, 5, false), TStatCalcResult::Computed);

    // The method itself, not its place in a list: refilled lists keep the table, another
    // method recomputes it.
    FState.StatList().RebuildMethods();
    const TStatMethod* numsAgain = Method("NUMS");
    EXPECT_EQ(FTable.Calc(numsAgain, 5, false), TStatCalcResult::Unchanged);
    EXPECT_EQ(FTable.Calc(Method("CHN2"), 5, false), TStatCalcResult::Computed);
    EXPECT_EQ(FTable.Calc(Method("CHN3"), 5, false), TStatCalcResult::Computed);
    EXPECT_EQ(FTable.Data().Param, 3);

    FTable.ResetKey();
    EXPECT_EQ(FTable.Calc(Method("CHN3"), 5, false), TStatCalcResult::Computed);
}

TEST_F(StatTableTest, RowValuesForTheScenarioInterpreter)
{
    TStatRow row;
    for (int c = 0; c < StatColumnCount; ++c)
        row.Texts[c] = QStringLiteral("c%1").arg(c);
    const TStatValues values = GetStatRowValues(&row);
    EXPECT_EQ(values.ValueText, QStringLiteral("c0"));
    EXPECT_EQ(values.ValueNumber, 0);
    const char* expected[] = {"c1", "c2", "c4", "c5", "c6", "c7", "c8", "c10", "c11", "c12"};
    for (int i = 0; i < TStatValues::ColumnCount; ++i)
        EXPECT_EQ(values.Columns[static_cast<std::size_t>(i)], QString::fromLatin1(expected[i]));

    const TStatValues empty = GetStatRowValues(nullptr);
    EXPECT_TRUE(empty.ValueText.isEmpty());
    for (const QString& text : empty.Columns)
        EXPECT_TRUE(text.isEmpty());
}

// The shared walk over the draws after the window gives what one FindDraw per value gives,
// for every offered method, windows of several ends and lengths, draws read as drawn and
// sorted, and an archive whose numbers were edited out of order.
TEST(StatNextDrawsTest, OnePassEqualsOneSearchPerValue)
{
    TStatFixture fx(MakeArchive(300, 77));
    fx.List.RebuildMethods();
    TDrawsArray edited = fx.Draws;
    edited[250].Number = 240;   // a number that comes twice
    edited[120].Number = 5000;  // and one far out of order

    ASSERT_EQ(fx.List.Count(), 124);
    int searched = 0;
    int found = 0;
    for (const bool editedArchive : {false, true}) {
        fx.SetDraws(editedArchive ? edited : MakeArchive(300, 77));
        for (int m = 0; m < fx.List.Count(); ++m) {
            for (const int offset : {0, 6, 45}) {
                for (const int length : {300, 40}) {
                    for (const bool sorted : {false, true}) {
                        const int last = fx.LastIndex() - offset;
                        const int first = std::max(0, last - length + 1);
                        auto stat = fx.List.CreateStat(m);
                        const TStatDrawArray values = RunStatTable(*stat, first, last, sorted);
                        const std::vector<int> onePass = FindNextDraws(*stat, fx.Draws, values, last, sorted);
                        auto reference = fx.List.CreateStat(m);
                        RunStatTable(*reference, first, last, sorted);
                        const std::vector<int> perValue =
                            FindNextDrawsPerValue(*reference, fx.Draws, values, last, sorted);
                        for (std::size_t v = 0; v < values.size(); ++v) {
                            searched += values[v].Hits > 0;
                            found += perValue[v] > 0;
                        }
                        ASSERT_EQ(onePass, perValue)
                            << fx.List.Items(m).Code().toStdString() << " offset " << offset << " length "
                            << length << " sorted " << sorted << " edited " << editedArchive;
                    }
                }
            }
        }
    }
    // Most values of the windows that end before the newest draw come again.
    EXPECT_GT(searched, 15000);
    EXPECT_GT(found, 4000);
}

// The walk finds something for the families it treats apart: values drawn again after the
// window, and runs of the series classes closed after it.
TEST(StatNextDrawsTest, FindsNextOccurrences)
{
    TStatFixture fx(MakeArchive(200, 5));
    fx.List.RebuildMethods();
    for (const char* code : {"NUMS", "KNM2", "GRPV", "GRPP", "SDV2"}) {
        const int m = fx.List.IndexOfCode(QString::fromLatin1(code));
        ASSERT_GE(m, 0) << code;
        auto stat = fx.List.CreateStat(m);
        const int last = fx.LastIndex() - 40;
        const TStatDrawArray values = RunStatTable(*stat, 0, last);
        const std::vector<int> next = FindNextDraws(*stat, fx.Draws, values, last, false);
        int found = 0;
        for (const int n : next)
            found += n > 0;
        EXPECT_GT(found, 0) << code;
    }
}

// Whole tables through both searches: the same texts.
TEST_F(StatTableTest, BothSearchesGiveTheSameTable)
{
    FState.FDraws = MakeArchive(250, 9);
    FState.SetDrawsOffset(20);
    TStatTable perValue(FState);
    perValue.SetNextSearch(TStatNextSearch::PerValue);
    for (const char* code : {"NUMS", "SUMS", "GRCP", "PRDV", "SDP3", "HCO3", "SHR3"}) {
        ASSERT_EQ(FTable.Calc(Method(code), 200, true), TStatCalcResult::Computed) << code;
        ASSERT_EQ(perValue.Calc(Method(code), 200, true), TStatCalcResult::Computed) << code;
        ASSERT_EQ(FTable.Data().Rows.size(), perValue.Data().Rows.size()) << code;
        for (std::size_t i = 0; i < FTable.Data().Rows.size(); ++i)
            EXPECT_EQ(RowTexts(FTable.Data().Rows[i]), RowTexts(perValue.Data().Rows[i])) << code << " " << i;
    }
}
