// Statistics-table benchmark: the table as the user sees it, computed by TStatTable over a
// generated archive.
//
//   FullTable/<draws>/<offset>/<code>
//                      one method: the pass over the whole archive up to <offset> draws
//                      before the newest, the summary, all twenty column texts ("Факт" with
//                      its search to the end of the archive) and the chart points;
//   AllTables/<draws>/<offset>
//                      every offered method once, in registry order: the figure the speed
//                      goal is stated for;
//   NextPerValue/<draws>/<offset>/<code>
//                      the "Факт" column alone as one FindDraw per value, for comparison
//                      with the shared walk that FullTable uses;
//   Filter/<code>      the filter test of the 100 combinations against every second row of
//                      the table over 1000 draws.
//
// Run with --benchmark_min_time=0.05 for a quick pass over all of them.

#include "app/core/shell/MainState.h"
#include "app/core/stats/StatNextDraws.h"
#include "app/core/stats/StatTable.h"
#include "bench/BenchMain.h"
#include "tests/fixtures/ArchiveFixtures.h"
#include "tests/fixtures/StatFixtures.h"

#include <benchmark/benchmark.h>

#include <map>
#include <memory>
#include <string>

namespace {

// One main state per archive size and offset, alive for the whole run.
struct TBenchState {
    TBenchState(int draws, int offset)
    {
        State.FDraws = MakeArchive(draws, 2024);
        ApplyDefaultStatSettings(State.StatList());
        State.StatList().RebuildMethods();
        State.SetDrawsOffset(offset);
    }
    TMainState State;
};

TBenchState& BenchState(int draws, int offset)
{
    static std::map<std::pair<int, int>, std::unique_ptr<TBenchState>> states;
    auto& slot = states[{draws, offset}];
    if (!slot)
        slot = std::make_unique<TBenchState>(draws, offset);
    return *slot;
}

void FullTable(benchmark::State& state, int draws, int offset, int method)
{
    TBenchState& bench = BenchState(draws, offset);
    TStatTable table(bench.State);
    const TStatMethod& m = bench.State.StatList().Items(method);
    for (auto _ : state) {
        table.Calc(&m, draws, true);
        benchmark::DoNotOptimize(table.Data().Rows.size());
    }
    state.counters["rows"] = static_cast<double>(table.Data().Rows.size());
}

void AllTables(benchmark::State& state, int draws, int offset)
{
    TBenchState& bench = BenchState(draws, offset);
    TStatTable table(bench.State);
    const TStatList& list = bench.State.StatList();
    std::size_t rows = 0;
    for (auto _ : state) {
        rows = 0;
        for (int i = 0; i < list.Count(); ++i) {
            table.Calc(&list.Items(i), draws, true);
            rows += table.Data().Rows.size();
        }
        benchmark::DoNotOptimize(rows);
    }
    state.counters["tables"] = list.Count();
    state.counters["rows"] = static_cast<double>(rows);
}

void NextPerValue(benchmark::State& state, int draws, int offset, int method)
{
    TBenchState& bench = BenchState(draws, offset);
    const TDrawsArray& archive = bench.State.FDraws;
    const int last = static_cast<int>(archive.size()) - 1 - offset;
    auto stat = bench.State.StatList().CreateStat(method);
    const TStatDrawArray values = RunStatTable(*stat, 0, last);
    for (auto _ : state) {
        const std::vector<int> next = FindNextDrawsPerValue(*stat, archive, values, last, false);
        benchmark::DoNotOptimize(next.data());
    }
}

void Filter(benchmark::State& state, int method)
{
    TBenchState& bench = BenchState(1000, 0);
    TStatTable table(bench.State);
    const TStatList& list = bench.State.StatList();
    table.Calc(&list.Items(method), 1000, true);
    TStatDrawArray selected;
    for (std::size_t i = 0; i < table.Data().Rows.size(); i += 2)
        selected.push_back(table.Data().Rows[i].Value);
    const int last = table.Data().Last;
    for (auto _ : state) {
        auto stat = table.Data().CreateStat(list);
        const TCombsArray kept = FilterCombs(*stat, selected, last);
        benchmark::DoNotOptimize(kept.size());
    }
}

void RegisterAll()
{
    const TStatList& list = BenchState(10000, 0).State.StatList();
    for (const int offset : {0, 2000})
        benchmark::RegisterBenchmark(("AllTables/10000/" + std::to_string(offset)).c_str(), AllTables,
                                     10000, offset)
            ->Unit(benchmark::kMillisecond);
    for (int i = 0; i < list.Count(); ++i) {
        const std::string code = list.Items(i).Code().toStdString();
        for (const int offset : {0, 2000}) {
            const std::string suffix = "/10000/" + std::to_string(offset) + "/" + code;
            benchmark::RegisterBenchmark(("FullTable" + suffix).c_str(), FullTable, 10000, offset, i)
                ->Unit(benchmark::kMicrosecond);
            benchmark::RegisterBenchmark(("NextPerValue" + suffix).c_str(), NextPerValue, 10000,
                                         offset, i)
                ->Unit(benchmark::kMicrosecond);
        }
        benchmark::RegisterBenchmark(("Filter/" + code).c_str(), Filter, i)
            ->Unit(benchmark::kMicrosecond);
    }
}

}  // namespace

int main(int argc, char** argv)
{
    return RunBenchmarks(argc, argv, RegisterAll);
}
