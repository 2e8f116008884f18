#include "tests/app_core/CoreTestEnv.h"

#include "app/core/DrawFile.h"
#include "platform/Cp1251.h"
#include "tests/common/TestHelpers.h"

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
