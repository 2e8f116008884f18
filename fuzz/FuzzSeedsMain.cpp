// Writes the seed corpus of a target into a folder: fuzz_seeds TARGET FOLDER.

#include "fuzz/FuzzTargets.h"

#include <QDir>
#include <QFile>

#include <cstdio>

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: fuzz_seeds TARGET FOLDER\n");
        return 2;
    }
    FuzzInitialize();
    const TFuzzTarget* target = FindFuzzTarget(QString::fromLocal8Bit(argv[1]));
    if (!target) {
        std::fprintf(stderr, "unknown fuzz target %s\n", argv[1]);
        return 2;
    }
    const QDir dir(QString::fromLocal8Bit(argv[2]));
    if (!dir.mkpath(QStringLiteral("."))) {
        std::fprintf(stderr, "cannot create %s\n", argv[2]);
        return 1;
    }
    int n = 0;
    for (const QByteArray& seed : target->Seeds()) {
        QFile file(dir.filePath(QStringLiteral("seed-%1").arg(n++, 3, 10, QLatin1Char('0'))));
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(seed) != seed.size()) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(file.fileName()));
            return 1;
        }
    }
    std::printf("%d seeds\n", n);
    return 0;
}
