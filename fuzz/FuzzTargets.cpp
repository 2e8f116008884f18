#include "fuzz/FuzzTargets.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QLocale>
#include <QTemporaryDir>

#include <algorithm>
#include <memory>

#define TAVRIX_FUZZ_DECLARE(name)                                        \
    void Fuzz##name(const std::uint8_t* data, std::size_t size);       \
    std::vector<QByteArray> Seeds##name();

TAVRIX_FUZZ_DECLARE(Formula)
TAVRIX_FUZZ_DECLARE(IniFile)
TAVRIX_FUZZ_DECLARE(NumberText)
TAVRIX_FUZZ_DECLARE(FormatText)
TAVRIX_FUZZ_DECLARE(DrawKeys)
TAVRIX_FUZZ_DECLARE(ResultsPage)
TAVRIX_FUZZ_DECLARE(ProxyList)
TAVRIX_FUZZ_DECLARE(DrawArchive)
TAVRIX_FUZZ_DECLARE(Config)
TAVRIX_FUZZ_DECLARE(HttpInflate)
TAVRIX_FUZZ_DECLARE(CombList)
TAVRIX_FUZZ_DECLARE(StakeRecords)
TAVRIX_FUZZ_DECLARE(StakesFile)
TAVRIX_FUZZ_DECLARE(Ratings)
TAVRIX_FUZZ_DECLARE(ScenarioFile)
TAVRIX_FUZZ_DECLARE(ScenarioLine)
TAVRIX_FUZZ_DECLARE(TablesFile)
TAVRIX_FUZZ_DECLARE(DrawsCsv)

#undef TAVRIX_FUZZ_DECLARE

namespace {

#define TAVRIX_FUZZ_ENTRY(name) TFuzzTarget{#name, &Fuzz##name, &Seeds##name}

const TFuzzTarget kTargets[] = {
    TAVRIX_FUZZ_ENTRY(Formula),
    TAVRIX_FUZZ_ENTRY(IniFile),
    TAVRIX_FUZZ_ENTRY(NumberText),
    TAVRIX_FUZZ_ENTRY(FormatText),
    TAVRIX_FUZZ_ENTRY(DrawKeys),
    TAVRIX_FUZZ_ENTRY(ResultsPage),
    TAVRIX_FUZZ_ENTRY(ProxyList),
    TAVRIX_FUZZ_ENTRY(DrawArchive),
    TAVRIX_FUZZ_ENTRY(Config),
    TAVRIX_FUZZ_ENTRY(HttpInflate),
    TAVRIX_FUZZ_ENTRY(CombList),
    TAVRIX_FUZZ_ENTRY(StakeRecords),
    TAVRIX_FUZZ_ENTRY(StakesFile),
    TAVRIX_FUZZ_ENTRY(Ratings),
    TAVRIX_FUZZ_ENTRY(ScenarioFile),
    TAVRIX_FUZZ_ENTRY(ScenarioLine),
    TAVRIX_FUZZ_ENTRY(TablesFile),
    TAVRIX_FUZZ_ENTRY(DrawsCsv),
};

#undef TAVRIX_FUZZ_ENTRY

} // namespace

std::span<const TFuzzTarget> FuzzTargets()
{
    return kTargets;
}

const TFuzzTarget* FindFuzzTarget(const QString& name)
{
    for (const TFuzzTarget& target : kTargets)
        if (name == QLatin1String(target.Name))
            return &target;
    return nullptr;
}

void FuzzCheck(bool condition, const char* text)
{
    if (!condition)
        throw EFuzzInvariant(text);
}

void FuzzInitialize()
{
    if (!QCoreApplication::instance()) {
        static int argc = 1;
        static char name[] = "tavrix_fuzz";
        static char* argv[] = {name, nullptr};
        static QCoreApplication app(argc, argv);
    }
    QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia));
}

std::uint8_t TFuzzInput::Byte()
{
    return FPos < FSize ? FData[FPos++] : 0;
}

std::uint64_t TFuzzInput::Bits(int bytes)
{
    std::uint64_t value = 0;
    for (int i = 0; i < bytes && FPos < FSize; ++i)
        value |= std::uint64_t(FData[FPos++]) << (8 * i);
    return value;
}

QByteArray TFuzzInput::Rest()
{
    const QByteArray rest(reinterpret_cast<const char*>(FData + FPos), static_cast<qsizetype>(FSize - FPos));
    FPos = FSize;
    return rest;
}

namespace {

const QTemporaryDir& TempDir()
{
    static const std::unique_ptr<QTemporaryDir> dir = std::make_unique<QTemporaryDir>();
    return *dir;
}

} // namespace

void FuzzRemoveTempFiles()
{
    QDir dir(TempDir().path());
    for (const QString& name : dir.entryList(QDir::Files | QDir::Hidden))
        dir.remove(name);
}

QString FuzzTempFile(const char* name, const QByteArray& contents)
{
    const QString fileName = TempDir().filePath(QLatin1String(name));
    QFile file(fileName);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(contents) != contents.size())
        throw EFuzzInvariant("the temporary file cannot be written");
    return fileName;
}
