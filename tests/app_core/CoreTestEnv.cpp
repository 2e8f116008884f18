#include "tests/app_core/CoreTestEnv.h"

#include "app/core/DrawFile.h"
#include "platform/Cp1251.h"

void PrintTo(const QString& text, std::ostream* os)
{
    *os << '"' << text.toStdString() << '"';
}

QByteArray ReadFileBytes(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

void WriteFileBytes(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    ASSERT_EQ(f.write(bytes), bytes.size());
}

QByteArray Cp(const char* utf8)
{
    return EncodeCp1251(QString::fromUtf8(utf8));
}

TCoreTest::TCoreTest()
{
    InstallDrawDateHooks();
    FState.SetDataDir(FDir.path());
    FState.SetArguments({});
    FPreviousClock = SetClock([this] { return FNow; });
    FPreviousSink = SetStatusSink([this](const QString& text) { FStatuses.append(text); });
}

TCoreTest::~TCoreTest()
{
    SetClock(std::move(FPreviousClock));
    SetStatusSink(std::move(FPreviousSink));
    // Every operation leaves the busy state on every path, errors included.
    EXPECT_EQ(WaitCount(), 0);
    while (!IsNotWaiting())
        StopWait();
}

void TCoreTest::WriteArchive(const TDrawsArray& draws)
{
    WriteFileBytes(FState.DrawsFileName(), DrawsToBytes(draws));
}
