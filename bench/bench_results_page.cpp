// Reading the operator's results page: the table cut out of the page and its rows read into
// draws, as every window of the download does.
//
//   ResultsPage/<days>   the stand-in site's page of that many days in random order, read into
//                        an empty archive. 42 000 days make a page just under the reply cap
//                        (4 MiB); the smaller sizes show how the time grows with the page: in
//                        proportion to its size is the goal.
//   QuotedSection/<KiB>  a page of that size whose results section is one quoted value holding
//                        a lone quote every second character, each of which the cut removes.

#include "app/core/archive/ResultsPage.h"
#include "bench/BenchMain.h"
#include "tests/standin/OperatorSite.h"

#include <QDate>

#include <benchmark/benchmark.h>

namespace {

void ResultsPage(benchmark::State& state)
{
    const int days = static_cast<int>(state.range(0));
    THttpStandIn server;
    TOperatorSite site(server);
    site.SetRowOrder(TOperatorSite::TRowOrder::Shuffled);
    const QString page = QString::fromLatin1(site.Page(QDate(2016, 8, 1), QDate(2016, 8, 1).addDays(days - 1)));
    for (auto _ : state) {
        const TDrawsArray draws = ParseResultsTable(ResultsTable(page), {});
        if (draws.size() != static_cast<size_t>(days) * 2)
            state.SkipWithError("the page's draws did not all come out");
        benchmark::DoNotOptimize(draws.data());
    }
    state.counters["page_MiB"] = static_cast<double>(page.size()) / (1024 * 1024);
}

void QuotedSection(benchmark::State& state)
{
    const QString start = QStringLiteral("<section class=\"winningNumbersResults\">\"");
    const QString end = QStringLiteral("\"<footer id=\"footerMain\">");
    const qsizetype pairs = (state.range(0) * 1024 - start.size() - end.size()) / 2;
    const QString page = start + QStringLiteral("x\"").repeated(pairs) + end;
    for (auto _ : state) {
        if (!ResultsTable(page).isEmpty())
            state.SkipWithError("a table was found in a page without one");
    }
}

void RegisterAll()
{
    benchmark::RegisterBenchmark("ResultsPage", ResultsPage)
        ->Arg(5250)
        ->Arg(10500)
        ->Arg(21000)
        ->Arg(42000)
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("QuotedSection", QuotedSection)
        ->Arg(256)
        ->Arg(1024)
        ->Arg(4096)
        ->Unit(benchmark::kMillisecond);
}

} // namespace

int main(int argc, char** argv)
{
    return RunBenchmarks(argc, argv, &RegisterAll);
}
