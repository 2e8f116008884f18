// Prefetch cache benchmark, over a temporary data folder.
//
//   PrefetchRebuild    every file of every plain-valued method written anew, as a full
//                      recreation does;
//   StatTable/Plain, StatTable/WithNorms
//                      every offered method's statistics table over 1000 draws, without and
//                      with the norms read from the (already built) files.

#include "app/core/shell/MainState.h"
#include "app/core/stats/PrefetchCache.h"
#include "app/core/stats/StatTable.h"
#include "bench/BenchMain.h"
#include "tests/fixtures/ArchiveFixtures.h"
#include "tests/fixtures/StatFixtures.h"

#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <memory>

namespace {

struct TBenchState {
    TBenchState()
    {
        State.SetDataDir(Dir.path());
        State.FDraws = MakeArchive(1000, 2024);
        ApplyDefaultStatSettings(State.StatList());
        State.StatList().RebuildMethods();
        State.Options.SetValue(TMainOptions::PrefetchsEnabled, 1);
    }
    QTemporaryDir Dir;
    TMainState State;
    TPrefetchCache Cache{State};
};

TBenchState& Bench()
{
    static auto bench = std::make_unique<TBenchState>();
    return *bench;
}

void PrefetchRebuild(benchmark::State& state)
{
    TBenchState& bench = Bench();
    for (auto _ : state)
        bench.Cache.Rebuild(true, PrefetchAllGroups);
    int files = 0;
    for (int i = 0; i < bench.State.StatList().Count(); ++i)
        files += bench.State.StatList().IsPlainValue(i) ? 1 : 0;
    state.counters["files"] = files;
}

void AllTables(benchmark::State& state, bool withNorms)
{
    TBenchState& bench = Bench();
    bench.Cache.Rebuild(true, 0);
    TStatTable table(bench.State);
    if (withNorms)
        table.SetPrefetchSource([&](const TStatMethod& method) { return bench.Cache.Load(method); });
    const TStatList& list = bench.State.StatList();
    for (auto _ : state) {
        std::size_t rows = 0;
        for (int i = 0; i < list.Count(); ++i) {
            table.Calc(&list.Items(i), 1000, true);
            rows += table.Data().Rows.size();
        }
        benchmark::DoNotOptimize(rows);
    }
}

void RegisterAll()
{
    benchmark::RegisterBenchmark("PrefetchRebuild", PrefetchRebuild)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("StatTable/Plain", AllTables, false)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("StatTable/WithNorms", AllTables, true)->Unit(benchmark::kMillisecond);
}

}  // namespace

int main(int argc, char** argv)
{
    return RunBenchmarks(argc, argv, RegisterAll);
}
