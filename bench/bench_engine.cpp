// Engine benchmark: every offered method over generated archives.
//
//   Table/<draws>/<code>       the statistics-table pass over the whole archive: InitValues,
//                              AddDraw for every draw, sort, value texts;
//   Next/<draws>/<offset>/<code>
//                              the next-occurrence search of the table's "Факт" column: for
//                              every value seen in the window ending <offset> draws before the
//                              newest, FindDraw from the draw after its last occurrence;
//   Combs/<code>               the combination table and the filter test over the 100
//                              combinations.
//
// Rows are registered per method so that the slowest stand out. Run with
// --benchmark_min_time=0.05 for a quick pass over all of them.

#include "bench/BenchMain.h"
#include "engine/KelmaStatList.h"
#include "tests/fixtures/ArchiveFixtures.h"
#include "tests/fixtures/StatFixtures.h"

#include <benchmark/benchmark.h>

#include <map>
#include <memory>

namespace {

// One engine object per archive size, alive for the whole run.
struct TBenchArchive {
    explicit TBenchArchive(int count) : Fixture(MakeArchive(count, 2024)) { Fixture.List.RebuildMethods(); }
    TStatFixture Fixture;
};

TBenchArchive& Archive(int count)
{
    static std::map<int, std::unique_ptr<TBenchArchive>> archives;
    auto& slot = archives[count];
    if (!slot)
        slot = std::make_unique<TBenchArchive>(count);
    return *slot;
}

void StatTable(benchmark::State& state, int draws, int method)
{
    TBenchArchive& archive = Archive(draws);
    const int last = archive.Fixture.LastIndex();
    for (auto _ : state) {
        auto stat = archive.Fixture.List.CreateStat(method);
        TStatDrawArray table = RunStatTable(*stat, 0, last);
        SortStatValues(table);
        qsizetype textLength = 0;
        for (const TStatValueRec& value : table)
            textLength += stat->ValueText(value).size();
        benchmark::DoNotOptimize(textLength);
    }
}

void NextOccurrence(benchmark::State& state, int draws, int offset, int method)
{
    TBenchArchive& archive = Archive(draws);
    const int last = archive.Fixture.LastIndex() - offset;
    auto stat = archive.Fixture.List.CreateStat(method);
    const TStatDrawArray table = RunStatTable(*stat, 0, last);
    for (auto _ : state) {
        int found = 0;
        for (const TStatValueRec& value : table) {
            if (value.Hits <= 0 || value.DrawNo == 0)
                continue;
            // Generated draws are numbered from 1, so the index of draw n is n - 1.
            const int start = static_cast<int>(value.DrawNo);
            found += stat->FindDraw(value, start, last, false) >= 0;
        }
        benchmark::DoNotOptimize(found);
    }
}

void CombsAndFilter(benchmark::State& state, int method)
{
    TBenchArchive& archive = Archive(1000);
    const int last = archive.Fixture.LastIndex();
    const TCombsArray combs = AllCombinations();
    for (auto _ : state) {
        auto stat = archive.Fixture.List.CreateStat(method);
        const TStatDrawArray table = CombTable(*stat, combs);
        TStatDrawArray selected;
        for (std::size_t i = 0; i < table.size(); i += 2)
            selected.push_back(table[i]);
        const TCombsArray kept = FilterCombs(*stat, selected, last);
        benchmark::DoNotOptimize(kept.size());
    }
}

void RegisterAll()
{
    const TStatList& list = Archive(1000).Fixture.List;
    for (int i = 0; i < list.Count(); ++i) {
        const std::string code = list.Items(i).Code().toStdString();
        for (const int draws : {1000, 10000}) {
            benchmark::RegisterBenchmark(("Table/" + std::to_string(draws) + "/" + code).c_str(),
                                         StatTable, draws, i)
                ->Unit(benchmark::kMicrosecond);
            for (const int offset : {0, 2000}) {
                if (offset >= draws)
                    continue;
                benchmark::RegisterBenchmark(("Next/" + std::to_string(draws) + "/"
                                              + std::to_string(offset) + "/" + code).c_str(),
                                             NextOccurrence, draws, offset, i)
                    ->Unit(benchmark::kMicrosecond);
            }
        }
        benchmark::RegisterBenchmark(("Combs/" + code).c_str(), CombsAndFilter, i)
            ->Unit(benchmark::kMicrosecond);
    }
}

}  // namespace

int main(int argc, char** argv)
{
    return RunBenchmarks(argc, argv, RegisterAll);
}
