// Scenario benchmark: a headless "Тест" in a temporary data folder.
//
//   ScenarioTest/100  a test over the 100 newest offsets of a 10 000-draw archive with a
//                     scenario of 3 lines, each of 3 filter steps with 2 draws lengths
//                     (8 variants per line, 2400 variants in all), every variant staking;
//                     the stakes are scored after each offset, as in the window (goal:
//                     under 250 ms).
//
// The counters split the time: statistics tables with the texts their steps read (tables_ms),
// filter passes over the combination list (filters_ms), the stake check with the ratings
// (check_ms); the rest is start lists, row rules and appending the stakes.

#include "app/core/combs/CombList.h"
#include "app/core/combs/CombsGen.h"
#include "app/core/shell/MainState.h"
#include "app/core/scenarios/ScriptList.h"
#include "app/core/scenarios/ScriptLog.h"
#include "app/core/scenarios/ScriptRunner.h"
#include "app/core/stakes/StakeCheck.h"
#include "app/core/stakes/StakeCommands.h"
#include "app/core/stakes/StakesFile.h"
#include "app/core/stats/StatFilter.h"
#include "app/core/stats/StatTable.h"
#include "bench/BenchMain.h"
#include "support/RDialogs.h"
#include "tests/fixtures/ArchiveFixtures.h"
#include "tests/fixtures/StatFixtures.h"

#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

constexpr int Draws = 10000;

// The core table with the time of its computations and filter passes added up.
class TTimedTable : public IScriptTable {
public:
    explicit TTimedTable(IScriptTable& table) : FTable(table) {}

    bool SelectMethod(const TStatMethod& method) override { return FTable.SelectMethod(method); }
    void SetDrawsLen(int length) override { FTable.SetDrawsLen(length); }
    void SetSort(int column, bool descending) override { FTable.SetSort(column, descending); }
    int SortColumn() const override { return FTable.SortColumn(); }
    bool SortDescending() const override { return FTable.SortDescending(); }
    void Calc(bool force) override
    {
        QElapsedTimer timer;
        timer.start();
        FTable.Calc(force);
        TableNs += timer.nsecsElapsed();
        ++Tables;
    }
    void MakeTexts(TStatColumns columns) override
    {
        QElapsedTimer timer;
        timer.start();
        FTable.MakeTexts(columns);
        TableNs += timer.nsecsElapsed();
    }
    int RowCount() const override { return FTable.RowCount(); }
    TStatValues RowValues(int row) const override { return FTable.RowValues(row); }
    void ClearSelection() override { FTable.ClearSelection(); }
    void SelectRow(int row) override { FTable.SelectRow(row); }
    void FilterSelected(TCustomStat& stat, bool deleteSelected) override
    {
        QElapsedTimer timer;
        timer.start();
        FTable.FilterSelected(stat, deleteSelected);
        FilterNs += timer.nsecsElapsed();
        ++Filters;
    }

    qint64 TableNs = 0;
    qint64 FilterNs = 0;
    qint64 Tables = 0;
    qint64 Filters = 0;

private:
    IScriptTable& FTable;
};

QString Line(const char* options, const char* f1, const char* f2, const char* f3)
{
    return FormatScriptLine(QStringLiteral("bench"), QString::fromLatin1(options),
                            {QString::fromLatin1(f1), QString::fromLatin1(f2), QString::fromLatin1(f3)});
}

void ScenarioTest(benchmark::State& state)
{
    const int offsets = static_cast<int>(state.range(0));
    QTemporaryDir dir;
    SetMessageBoxHandler([](const TBoxRequest& box) { return box.DefaultButton; });

    TMainState main;
    main.SetDataDir(dir.path());
    ApplyDefaultStatSettings(main.StatList());
    main.StatList().Config().Cost = TCurrency::FromUnits(10);
    main.StatList().Config().Profits = {{1, TCurrency::FromUnits(9)}, {2, TCurrency::FromUnits(90)}};
    main.StatList().RebuildMethods();
    main.FDraws = MakeArchive(Draws, 2024);
    main.CombCount = CombinationsTotal;
    main.ReserveCombLists();

    TScriptList lines(dir.path());
    lines.AddScriptLine(Line("FULL:0#FIRST", "TSD1#NUMS:50,100#LNO:#ST:2", "TSD1#DIFA:30,60#LNO:#ST:1",
                             "TSD1#CHAN:20,40#LNO:#ST:1"));
    lines.AddScriptLine(Line("EXCL:3#RAND", "TSF1#NUMS:20,40#LDV:1,2,3#ST:3", "TSD2#DIFA:50,100#LNO:#ST:2",
                             "TSD1#CHAN:10,30#LNO:#ST:1"));
    lines.AddScriptLine(Line("FULL:0#LAST", "BSD1#NUMS:100,200#LNO:#ST:2", "TSD1#CHAN:50,80#LNO:#ST:1",
                             "TSD1#DIFA:20,25#LNO:#ST:1"));

    TScriptLog log(dir.path());
    TCombListOps combs(main);
    TCombsGen gen(combs);
    TStakesFile stakes(main.StakesFileName());
    TStakeCommands stakeCommands(main, stakes);
    TStatTable table(main);
    TStatFilter filter(combs);
    TScriptStatTable scriptTable(main, table, filter);
    TTimedTable timed(scriptTable);
    TScriptRunner runner(main, combs, gen, stakes, stakeCommands, lines, log, timed);
    TRatingsArray ratings;
    qint64 checkNs = 0;
    runner.CheckStakes = [&] {
        QElapsedTimer timer;
        timer.start();
        TStakeCheck check(stakes, main.FDraws, main.StatList(), ratings);
        check.CheckStakesAndReload({});
        checkNs += timer.nsecsElapsed();
    };
    runner.AskTestCount = [offsets](int) { return offsets; };

    qint64 runs = 0;
    for (auto _ : state) {
        state.PauseTiming();
        if (stakes.IsOpen())
            stakes.Close();
        QFile::remove(main.StakesFileName());
        stakes.Open();
        ratings.clear();
        main.SetDrawsOffset(0);
        table.ResetKey();
        runner.SeedRandom(1);
        state.ResumeTiming();

        runner.ScriptTest();
        ++runs;
    }
    if (stakes.RecordCount() < offsets)
        state.SkipWithError("the test made too few stakes");
    const double perRun = 1e-6 / static_cast<double>(runs == 0 ? 1 : runs);
    state.counters["tables_ms"] = static_cast<double>(timed.TableNs) * perRun;
    state.counters["filters_ms"] = static_cast<double>(timed.FilterNs) * perRun;
    state.counters["check_ms"] = static_cast<double>(checkNs) * perRun;
    state.counters["tables"] = static_cast<double>(timed.Tables) / static_cast<double>(runs == 0 ? 1 : runs);
    state.counters["filters"] = static_cast<double>(timed.Filters) / static_cast<double>(runs == 0 ? 1 : runs);
    state.counters["stakes"] = static_cast<double>(runner.StakeCount());
    SetMessageBoxHandler({});
}

void RegisterAll()
{
    benchmark::RegisterBenchmark("ScenarioTest", ScenarioTest)->Arg(100)->Unit(benchmark::kMillisecond);
}

}  // namespace

int main(int argc, char** argv)
{
    return RunBenchmarks(argc, argv, RegisterAll);
}
