#pragma once

#include <QCoreApplication>
#include <QLocale>

#include <benchmark/benchmark.h>

// The main of a benchmark program: the Qt application object and the locale the program's
// texts are made in, then the benchmarks that registerAll adds. A benchmark of windows makes a
// QApplication.
template <typename TApplication = QCoreApplication>
int RunBenchmarks(int argc, char** argv, void (*registerAll)())
{
    TApplication app(argc, argv);
    QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia));
    registerAll();
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
