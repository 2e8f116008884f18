#pragma once

#include <QByteArray>
#include <QCoreApplication>
#include <QFile>
#include <QLocale>
#include <QString>

#include <benchmark/benchmark.h>

#include <cstdlib>

// Writes the bytes as the whole file; a benchmark that cannot set up its files stops.
inline void WriteFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size())
        std::abort();
}

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
