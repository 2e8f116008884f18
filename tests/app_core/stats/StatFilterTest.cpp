#include "tests/app_core/CoreTestEnv.h"

#include "app/core/combs/CombsGen.h"
#include "app/core/stats/StatFilter.h"
#include "engine/Vex_Nums.h"
#include "engine/Vex_Sums.h"
#include "tests/fixtures/ArchiveFixtures.h"
#include "tests/fixtures/StatFixtures.h"
#include "tests/common/TestHelpers.h"

#include <algorithm>
#include <set>

namespace {

// A statistic that records how the pass calls it: every combination whose digit 1 is 0 has a
// selected value, and the test raises at the call numbered ThrowAt (from 1).
const TStatClass TRecordingStatClass{.ClassName = "TRecordingStat", .CodeFormat = "REC",
    .CaptionFormat = RESSTR("StatFilterTest", "recording"), .HelpName = nullptr, .Group = 0,
    .Flags = 0, .Available = true, .IsGraph = false, .HasNumericValue = true,
    .ParamRange = nullptr, .Factory = nullptr};

class TRecordingStat : public TCustomStat {
public:
    explicit TRecordingStat(const TStatList& list) : TCustomStat(TRecordingStatClass, list, 0) {}

    QString ValueText(const TStatValueRec&) const override { return QString(); }
    void LoadDraws(int index, int index2, bool sorted) override
    {
        ++Loads;
        LoadIndex = index;
        LoadIndex2 = index2;
        LoadSorted = sorted;
    }
    bool Test(TCombWord comb, const TStatDrawArray& selected, int last, bool sorted,
              bool exclude) override
    {
        ++Tests;
        if (Tests == ThrowAt)
            throw Exception(QStringLiteral("bad value"));
        TestLast = last;
        TestSorted = sorted;
        TestExclude = exclude;
        TestSelected = static_cast<int>(selected.size());
        return CombDigit1(comb) == 0;
    }

    int ThrowAt = 0;
    int Loads = 0, LoadIndex = 99, LoadIndex2 = 99;
    bool LoadSorted = false;
    int Tests = 0, TestLast = 99, TestSelected = -1;
    bool TestSorted = false, TestExclude = false;
};

class StatFilterTest : public TCoreTest {
protected:
    StatFilterTest()
    {
        FState.CombCount = CombinationsTotal;
        FState.ReserveCombLists();
        FState.StatList().Config() = DefaultStatConfig();
        FState.FDraws = MakeArchive(60, 11);
        FCombs.OnCombsChanged = [this](int count) { FShownCounts.push_back(count); };
    }

    // The full list with its undo copy, as the filter commands start.
    void StartFromFullList()
    {
        SetCombsCapacity(FState.FCombs, 0, 0);
        for (const TCombWord comb : GenerateCombs(GenFull, {}))
            AppendComb(FState.FCombs, comb);
        FCombs.SaveUndo(true);
    }

    // The rows of the statistic's table over the analysed window whose value is listed.
    TFilterSelection SelectRows(TCustomStat& stat, std::initializer_list<int> values)
    {
        const int last = static_cast<int>(FState.FDraws.size()) - 1 - FState.DrawsOffset();
        TStatDrawArray table = RunStatTable(stat, 0, last);
        SortStatValues(table);
        TFilterSelection selection;
        for (const TStatValueRec& row : table)
            if (std::find(values.begin(), values.end(), row.Key.Words[0]) != values.end())
                selection.Add(row, stat.ValueText(row));
        return selection;
    }

    TCombsArray List() const { return CombsOf(FState.FCombs); }

    TCombListOps FCombs{FState};
    TStatFilter FFilter{FCombs};
    std::vector<int> FShownCounts;
};

int SumOf(TCombWord comb)
{
    return CombDigit1(comb) + CombDigit2(comb);
}

} // namespace

TEST_F(StatFilterTest, KeepAndDeleteBySelectedSums)
{
    TstSumValues stat(FState.StatList(), 0);
    const TFilterSelection selection = SelectRows(stat, {10, 3});
    ASSERT_EQ(selection.Values.size(), 2u);
    EXPECT_EQ(selection.Text, QString("3; 10"));

    // Sum 3: 0;3 1;2 2;1 3;0. Sum 10: 1;9 ... 9;1.
    struct Case {
        bool Delete;
        int Count;
        int Image;
    };
    for (const Case c : {Case{false, 13, HistoryImagePlain}, Case{true, 87, HistoryImageSuccess}}) {
        StartFromFullList();
        FCombs.ClearFilterHistory();
        FFilter.FilterCombs(stat, selection, U("Сумма тиража"), c.Delete);

        const TCombsArray list = List();
        EXPECT_EQ(static_cast<int>(list.size()), c.Count);
        for (const TCombWord comb : list)
            EXPECT_EQ(SumOf(comb) == 3 || SumOf(comb) == 10, !c.Delete) << CombToStr(comb).toStdString();
        EXPECT_TRUE(std::is_sorted(list.begin(), list.end(), [](TCombWord a, TCombWord b) {
            return CombDigit1(a) * 10 + CombDigit2(a) < CombDigit1(b) * 10 + CombDigit2(b);
        }));
        ASSERT_EQ(FCombs.FilterHistory().size(), 1);
        EXPECT_EQ(FCombs.FilterHistory()[0], (TFilterHistoryRow{U("Сумма тиража"), "3; 10", c.Count, c.Image}));
        EXPECT_EQ(FShownCounts.back(), c.Count);
        EXPECT_TRUE(FStatuses.contains(U("Фильтрация комбинаций...")));
    }
}

TEST_F(StatFilterTest, MostFrequentSumsOfTheFixtureArchive)
{
    FState.SetDrawsOffset(5);
    TstSumValues stat(FState.StatList(), 0);
    const int last = static_cast<int>(FState.FDraws.size()) - 1 - 5;
    TStatDrawArray table = RunStatTable(stat, 0, last);
    std::stable_sort(table.begin(), table.end(),
                     [](const TStatValueRec& a, const TStatValueRec& b) { return a.Hits > b.Hits; });
    ASSERT_GE(table.size(), 3u);
    TFilterSelection selection;
    std::set<int> sums;
    for (int i = 0; i < 3; ++i) {
        selection.Add(table[static_cast<size_t>(i)], stat.ValueText(table[static_cast<size_t>(i)]));
        sums.insert(table[static_cast<size_t>(i)].Key.Words[0]);
    }

    StartFromFullList();
    FFilter.FilterCombs(stat, selection, "SUMS", false);
    TCombsArray expected;
    for (const TCombWord comb : GenerateCombs(GenFull, {}))
        if (sums.count(SumOf(comb)))
            expected.push_back(comb);
    EXPECT_EQ(List(), expected);
    EXPECT_FALSE(expected.empty());
}

TEST_F(StatFilterTest, StatisticSeesTheWindowOfTheOffset)
{
    struct Case {
        int Draws;
        int Offset;
        bool Sorted;
        int Last;
    };
    const Case cases[] = {
        {10, 0, false, 9},
        {10, 3, true, 6},
        {10, 9, false, 0},
        {10, 12, false, 0},   // before the oldest draw: 0
        {0, 0, false, 0},
    };
    for (const Case& c : cases) {
        FState.SetDrawsOffset(0);
        FState.FDraws = MakeArchive(c.Draws, 3);
        FState.SetDrawsOffset(c.Offset);
        FState.Options.SetValue(TMainOptions::SortedDraws, c.Sorted ? 1 : 0);
        StartFromFullList();
        TRecordingStat stat(FState.StatList());
        TFilterSelection selection;
        selection.Add(StatKeyValue(1), "1");

        FFilter.FilterCombs(stat, selection, "rec", true);
        EXPECT_EQ(stat.Loads, 1);
        EXPECT_EQ(stat.LoadIndex, -1);
        EXPECT_EQ(stat.LoadIndex2, c.Last) << c.Draws << " " << c.Offset;
        EXPECT_EQ(stat.LoadSorted, c.Sorted);
        EXPECT_EQ(stat.Tests, 100);
        EXPECT_EQ(stat.TestLast, c.Last);
        EXPECT_EQ(stat.TestSorted, c.Sorted);
        EXPECT_TRUE(stat.TestExclude);
        EXPECT_EQ(stat.TestSelected, 1);
        EXPECT_EQ(FCombs.Count(), 90);   // without the ten combinations 0;x
    }
}

TEST_F(StatFilterTest, EmptyListStaysEmptyWithoutAHistoryRow)
{
    SetCombsCapacity(FState.FCombs, 0, 0);
    FCombs.SaveUndo(true);
    TRecordingStat stat(FState.StatList());
    TFilterSelection selection;
    selection.Add(StatKeyValue(1), "1");
    FFilter.FilterCombs(stat, selection, "rec", false);
    EXPECT_EQ(FCombs.Count(), 0);
    EXPECT_TRUE(FCombs.FilterHistory().isEmpty());
    EXPECT_EQ(stat.Loads, 0);
    EXPECT_EQ(stat.Tests, 0);
    EXPECT_EQ(FShownCounts, std::vector<int>{0});
}

TEST_F(StatFilterTest, UndoBringsBackTheListBeforeTheFilter)
{
    TstSumValues stat(FState.StatList(), 0);
    StartFromFullList();
    FCombs.AddFilterHistory(true, "earlier", "");
    FFilter.FilterCombs(stat, SelectRows(stat, {18}), "SUMS", false);
    ASSERT_EQ(List(), TCombsArray({MakeComb(9, 9)}));
    ASSERT_EQ(FCombs.FilterHistory().size(), 2);

    FCombs.Undo();
    EXPECT_EQ(List(), GenerateCombs(GenFull, {}));
    EXPECT_EQ(FCombs.UndoCount(), 0);
    ASSERT_EQ(FCombs.FilterHistory().size(), 1);
    EXPECT_EQ(FCombs.FilterHistory()[0].Caption, QString("earlier"));
}

TEST_F(StatFilterTest, StatisticThatRaisesLeavesTheListAsItWas)
{
    StartFromFullList();
    FCombs.AddFilterHistory(true, "earlier", "");
    TRecordingStat stat(FState.StatList());
    stat.ThrowAt = 50;
    TFilterSelection selection;
    selection.Add(StatKeyValue(1), "1");

    try {
        FFilter.FilterCombs(stat, selection, "rec", false);
        ADD_FAILURE() << "the error was swallowed";
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message(), QString("bad value"));
    }
    EXPECT_EQ(List(), GenerateCombs(GenFull, {}));
    EXPECT_EQ(FCombs.UndoCount(), 0);   // nothing to undo: the list is the one before
    EXPECT_EQ(FCombs.FilterHistory().size(), 1);
    EXPECT_EQ(FShownCounts.back(), 100);
}

TEST_F(StatFilterTest, WithoutAStatisticTheMethodsOwnIsMade)
{
    StartFromFullList();
    TFilterSelection selection;
    selection.Add(StatKeyValue(0), "0");
    try {
        FFilter.FilterCombsByStat(nullptr, nullptr, selection, "SUMS", false);
        ADD_FAILURE() << "no method, no error";
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message(), U("Не выбран метод расчета статистики (cb: cbDrawsStatType)!"));
    }
    EXPECT_EQ(FCombs.Count(), 100);
    EXPECT_TRUE(FCombs.FilterHistory().isEmpty());

    const TStatMethod method(TstSumValuesClass, 0);
    FFilter.FilterCombsByStat(nullptr, &method, selection, "SUMS", false);
    EXPECT_EQ(List(), TCombsArray({MakeComb(0, 0)}));

    // A given statistic wins over the method.
    StartFromFullList();
    TRecordingStat stat(FState.StatList());
    FFilter.FilterCombsByStat(&stat, &method, selection, "rec", false);
    EXPECT_EQ(stat.Tests, 100);
    EXPECT_EQ(FCombs.Count(), 10);
}

TEST_F(StatFilterTest, DigitSelectionsOfTheGrids)
{
    TFilterSelection selection;
    EXPECT_THROW(TStatFilter::RequireValues(selection), Exception);
    try {
        TStatFilter::RequireValues(selection);
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message(), U("В выделенном диапазоне нет значений для фильтра!"));
    }
    EXPECT_TRUE(selection.AddDigit(0, "0"));
    EXPECT_TRUE(selection.AddDigit(1, "1"));
    EXPECT_FALSE(selection.AddDigit(0, "00"));   // once, with its first text
    EXPECT_EQ(selection.Values.size(), 2u);
    EXPECT_EQ(selection.Text, QString("0; 1"));
    EXPECT_NO_THROW(TStatFilter::RequireValues(selection));

    TstValues digits(FState.StatList(), 0);
    for (const bool remove : {false, true}) {
        StartFromFullList();
        FFilter.FilterCombs(digits, selection, U("Карта"), remove);
        EXPECT_EQ(FCombs.Count(), remove ? 64 : 36);
        for (const TCombWord comb : List()) {
            const bool has = CombHasDigit(0, comb) || CombHasDigit(1, comb);
            EXPECT_EQ(has, !remove) << CombToStr(comb).toStdString();
        }
    }
}

// A pass without its status filters all the same, in the busy state, and says nothing in the
// status line (a scenario run paces the status of its passes).
TEST_F(StatFilterTest, PassWithoutItsStatusFiltersTheSame)
{
    TstSumValues stat(FState.StatList(), 0);
    const TFilterSelection selection = SelectRows(stat, {10, 3});
    StartFromFullList();
    FStatuses.clear();
    int busy = 0;
    const int listener = AddWaitListener([&busy](int count) { busy = std::max(busy, count); });
    FFilter.FilterCombs(stat, selection, U("Сумма тиража"), false, false);
    RemoveWaitListener(listener);
    EXPECT_EQ(List().size(), 13u);
    EXPECT_EQ(busy, 1);
    EXPECT_TRUE(FStatuses.isEmpty());
}
