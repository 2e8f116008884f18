// Start-up benchmark: the main window over a 100 000-draw archive, from its creation until its
// start-up timer has done its work and the window shows the archive, offscreen.
//
//   StartUp/100000   the window made, shown and started: the form state and the engine settings
//                    read, the archive loaded, the combination list built, every view computed;
//                    its CPU time is the figure (goal: under 0.2 s). The wall time also holds the
//                    start-up timer's own wait.
//   ShutDown/100000  the window closed: the form state saved, the stakes file closed.
//
// The files lie in a temporary folder; nobody is asked anything (the start-up download is off,
// the first start is behind).

#include "app/ui/shell/FormMain.h"
#include "bench/BenchMain.h"
#include "support/RSysUtils.h"
#include "tests/fixtures/ArchiveFixtures.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QThread>

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <memory>
#include <utility>

namespace {

// A program folder with the archive and a form state that asks nothing at start-up.
class TBenchFolder {
public:
    explicit TBenchFolder(int draws)
    {
        if (!FDir.isValid())
            std::abort();
        OverrideAppFileName(FDir.filePath(QStringLiteral("Tavrix2_2r10")));
        WriteFile(FDir.filePath(QStringLiteral("Tavrix2_2r10.ldr")), ArchiveBytes(MakeArchive(draws)));
        WriteFile(FDir.filePath(QStringLiteral("Tavrix2_2r10.frm")),
                  "[TFormMain]\r\nDownloadDrawsOnStart=2\r\nPrefetchsInit=1\r\nAutoUpdates=0\r\n");
    }
    ~TBenchFolder() { OverrideAppFileName(QString()); }

private:
    QTemporaryDir FDir;
};

// The window made and shown, after its start-up timer has run.
std::unique_ptr<TFormMain> OpenWindow()
{
    auto form = std::make_unique<TFormMain>(QStringList());
    form->resize(1000, 680);
    form->show();
    QElapsedTimer timer;
    timer.start();
    while (!form->Initialized()) {
        if (timer.elapsed() > 60000)
            std::abort();
        QApplication::processEvents(QEventLoop::AllEvents, 5);
        // The start-up timer's wait is no work of the program's.
        QThread::msleep(1);
    }
    QApplication::processEvents();
    return form;
}

void StartUp(benchmark::State& state)
{
    const TBenchFolder folder(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        std::unique_ptr<TFormMain> form = OpenWindow();
        state.PauseTiming();
        form.reset();
        state.ResumeTiming();
    }
}

void ShutDown(benchmark::State& state)
{
    const TBenchFolder folder(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        state.PauseTiming();
        std::unique_ptr<TFormMain> form = OpenWindow();
        state.ResumeTiming();
        form.reset();
    }
}

void RegisterAll()
{
    for (const auto& [name, run] : {std::pair{"StartUp", &StartUp}, std::pair{"ShutDown", &ShutDown}})
        benchmark::RegisterBenchmark(name, run)
            ->Arg(100000)
            ->Unit(benchmark::kMillisecond)
            ->MeasureProcessCPUTime()
            ->Iterations(10);
}

} // namespace

int main(int argc, char** argv)
{
    // A benchmark has no screen to show its window on.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    return RunBenchmarks<QApplication>(argc, argv, RegisterAll);
}
