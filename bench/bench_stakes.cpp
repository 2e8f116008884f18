// Stakes benchmarks over a stakes file in a temporary folder.
//
//   Score/100000        100 000 unchecked stakes against a 10 000-draw archive: the check
//                       reads the file, scores every stake, writes each record back in place
//                       and adds it to the ratings (goal: under 40 ms);
//   Score/1000000       the same over a million stakes (a 300 MB file): the cost grows with
//                       the records alone;
//   ScoreAndSave/100000 the same as the main window runs it: the scored stakes are marked
//                       under the ratings journal, the ratings file is saved and the marks
//                       cleared (goal: under 0.5 s);
//   CheckNew/100000     a check after 24 new stakes are appended to a file of 100 000 scored
//                       ones, as a scenario checks after each of its lines: it costs what
//                       the new stakes cost (goal: under 0.1 ms);
//   ListStakes/1000000  stakes for every entry of a 1 000 000-line combination list, made
//                       as the list stake command makes them (goal: under 2 s);
//   StakeExists/100000  the duplicate test over 100 000 records for a stake that is not
//                       there, so the whole file is scanned (goal: under 20 ms).

#include "app/core/shell/MainState.h"
#include "app/core/stakes/StakeCheck.h"
#include "app/core/stakes/StakeCommands.h"
#include "app/core/stakes/StakesFile.h"
#include "bench/BenchMain.h"
#include "tests/fixtures/ArchiveFixtures.h"

#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

constexpr int Draws = 10000;

// Unchecked stakes for the archive's draws, with fifty scenario-like comments.
QByteArray MakeStakes(const TDrawsArray& draws, int count)
{
    QByteArray bytes(qsizetype(count) * StakeRecSize, '\0');
    for (int i = 0; i < count; ++i) {
        TStakeRec rec;
        rec.Origin = soScript;
        rec.DrawNumber = static_cast<std::int32_t>(draws[static_cast<size_t>(i % Draws)].Number);
        rec.SelectionSize = 40;
        rec.Digits = {2, {std::uint8_t(i % 10), std::uint8_t(i / 10 % 10), 0, 0}};
        rec.Balance = TCurrency::FromUnits(-10);
        rec.Comment.Set(QString::asprintf("%02d.%03d: line @ step", i % 50, i % 7));
        WriteStakeRec(rec, reinterpret_cast<std::uint8_t*>(bytes.data()) + qsizetype(i) * StakeRecSize);
    }
    return bytes;
}

void Score(benchmark::State& state)
{
    const int count = static_cast<int>(state.range(0));
    const TDrawsArray draws = MakeArchive(Draws, 2024);
    const QByteArray stakes = MakeStakes(draws, count);
    TStatList stats;
    stats.Config().Cost = TCurrency::FromUnits(10);
    stats.Config().Profits = {{1, TCurrency::FromUnits(50)}, {2, TCurrency::FromUnits(900)}};
    QTemporaryDir dir;
    const QString path = dir.filePath(QString::fromLatin1(TStakesFile::BaseName));
    for (auto _ : state) {
        state.PauseTiming();
        WriteFile(path, stakes);
        TStakesFile file(path);
        file.Load();
        TRatingsArray ratings;
        TStakeCheck check(file, draws, stats, ratings);
        state.ResumeTiming();
        const TStakeCheckResult result = check.CheckStakesAndReload(nullptr);
        if (result.ScoredCount != count)
            state.SkipWithError("not every stake was scored");
        benchmark::DoNotOptimize(ratings.data());
    }
}

void ScoreAndSave(benchmark::State& state)
{
    const int count = static_cast<int>(state.range(0));
    const TDrawsArray draws = MakeArchive(Draws, 2024);
    const QByteArray stakes = MakeStakes(draws, count);
    TStatList stats;
    stats.Config().Cost = TCurrency::FromUnits(10);
    stats.Config().Profits = {{1, TCurrency::FromUnits(50)}, {2, TCurrency::FromUnits(900)}};
    QTemporaryDir dir;
    const QString path = dir.filePath(QString::fromLatin1(TStakesFile::BaseName));
    const QString ratingsPath = dir.filePath(QStringLiteral("Tavrix2_2r10.lrt"));
    for (auto _ : state) {
        state.PauseTiming();
        WriteFile(path, stakes);
        QFile::remove(ratingsPath);
        TStakesFile file(path);
        file.Load();
        TRatings ratings(ratingsPath, &file);
        TStakeCheck check(file, draws, stats, ratings);
        state.ResumeTiming();
        const TStakeCheckResult result = check.CheckStakesAndReload([&ratings] { ratings.SortRatings(); });
        if (result.ScoredCount != count || result.Failed || ratings.ScoringOpen())
            state.SkipWithError("not every stake was scored and saved");
        benchmark::DoNotOptimize(ratings.FRatings.data());
    }
}

void CheckNew(benchmark::State& state)
{
    const int count = static_cast<int>(state.range(0));
    const TDrawsArray draws = MakeArchive(Draws, 2024);
    TStatList stats;
    stats.Config().Cost = TCurrency::FromUnits(10);
    QTemporaryDir dir;
    const QString path = dir.filePath(QString::fromLatin1(TStakesFile::BaseName));
    WriteFile(path, MakeStakes(draws, count));
    TStakesFile file(path);
    file.Load();
    TRatingsArray ratings;
    TStakeCheck(file, draws, stats, ratings).CheckStakesAndReload(nullptr);
    std::vector<TStakeRec> added;
    for (int i = 0; i < 24; ++i) {
        TStakeRec rec;
        rec.Origin = soScript;
        rec.DrawNumber = static_cast<std::int32_t>(draws[static_cast<size_t>(i)].Number);
        rec.Digits = {2, {std::uint8_t(i % 10), std::uint8_t(i / 10), 0, 0}};
        rec.Comment.Set(QStringLiteral("new"));
        added.push_back(rec);
    }
    for (auto _ : state) {
        state.PauseTiming();
        file.AppendStakes(added, 1);
        state.ResumeTiming();
        TStakeCheck check(file, draws, stats, ratings);
        if (check.CheckStakesAndReload(nullptr).ScoredCount != 24)
            state.SkipWithError("the new stakes were not scored");
    }
}

void ListStakes(benchmark::State& state)
{
    const int count = static_cast<int>(state.range(0));
    QList<TCombWord> combs;
    combs.reserve(count);
    for (int i = 0; i < count; ++i)
        combs.append(MakeComb(std::uint8_t(i % 10), std::uint8_t(i / 10 % 10)));
    QTemporaryDir dir;
    TMainState main;
    main.SetDataDir(dir.path());
    main.StatList().Config().Cost = TCurrency::FromUnits(10);
    const QString path = dir.filePath(QString::fromLatin1(TStakesFile::BaseName));
    for (auto _ : state) {
        state.PauseTiming();
        WriteFile(path, QByteArray());
        TStakesFile file(path);
        file.Load();
        TStakeCommands commands(main, file);
        commands.EditMulti = [](std::int32_t& draw, int&, QString&) {
            draw = 5000;
            return true;
        };
        state.ResumeTiming();
        int made = 0;
        if (!commands.AddStakes(combs, &made) || made != count)
            state.SkipWithError("not every stake was made");
    }
}

void StakeExists(benchmark::State& state)
{
    const int count = static_cast<int>(state.range(0));
    const QByteArray stakes = MakeStakes(MakeArchive(Draws, 2024), count);
    QTemporaryDir dir;
    const QString path = dir.filePath(QString::fromLatin1(TStakesFile::BaseName));
    WriteFile(path, stakes);
    TStakesFile file(path);
    file.Load();
    const TDigitsRec absent{3, {1, 2, 3, 0}};
    for (auto _ : state)
        benchmark::DoNotOptimize(file.StakeExists(1, absent));
}

void RegisterAll()
{
    benchmark::RegisterBenchmark("Score", Score)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("ScoreAndSave", ScoreAndSave)->Arg(100000)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("CheckNew", CheckNew)->Arg(100000)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("ListStakes", ListStakes)->Arg(1000000)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("StakeExists", StakeExists)->Arg(100000)->Unit(benchmark::kMillisecond);
}

}  // namespace

int main(int argc, char** argv)
{
    return RunBenchmarks(argc, argv, RegisterAll);
}
