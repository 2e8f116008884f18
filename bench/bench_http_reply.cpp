// Memory of a request whose reply never ends: a local server pours a body into the connection
// as fast as it is taken, and the client's request runs until its reply cap stops it.
//
//   EndlessReply/<cap in MiB>   one request against the endless server, capped as the results
//                               download and the maker's server are (4 MiB). The counters are the
//                               figures: peak_rss_MiB, the peak resident memory of the whole
//                               process (goal: within about 100 MiB), and sent_MiB, what the
//                               server managed to hand to the connection before the client went.
//
// The server runs in a thread of its own, so that it keeps pouring while the client's thread is
// busy; a benchmark process measures one request (the peak of a process never goes down).

#include "bench/BenchMain.h"
#include "support/rHttpUtils.h"
#include "support/rHttpUtilsLimits.h"
#include "tests/standin/StandInThread.h"

#include <benchmark/benchmark.h>

#include <sys/resource.h>

#include <cstdlib>

namespace {

constexpr qint64 kMiB = 1024 * 1024;

qint64 PeakRssBytes()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<qint64>(usage.ru_maxrss) * 1024;
}

void EndlessReply(benchmark::State& state)
{
    TStandInThread server;
    if (!server.Start())
        std::abort();
    server.Configure([](THttpStandIn& s) { s.Route("/results", TStandInReply::Unending(TReplyAction::Endless)); });
    const QString url = server.BaseUrl() + QStringLiteral("/results");

    for (auto _ : state) {
        THttpRequest request;
        request.Url = url;
        request.MaxBodyBytes = state.range(0) * kMiB;
        try {
            HttpExecute(request);
            state.SkipWithError("the endless reply was taken whole");
        } catch (const EHttpError& e) {
            if (e.Failure() != THttpFailure::TooLarge)
                state.SkipWithError(e.Message().toStdString().c_str());
        }
    }
    state.counters["peak_rss_MiB"] = static_cast<double>(PeakRssBytes()) / kMiB;
    state.counters["sent_MiB"] = static_cast<double>(server.StreamedBytes()) / kMiB;
}

void RegisterAll()
{
    benchmark::RegisterBenchmark("EndlessReply", EndlessReply)
        ->Arg(ResultsReplyLimit / kMiB)
        ->Iterations(1)
        ->Unit(benchmark::kMillisecond);
}

} // namespace

int main(int argc, char** argv)
{
    return RunBenchmarks(argc, argv, &RegisterAll);
}
