#include "tests/app_core/CoreTestEnv.h"

#include "app/core/archive/DrawFile.h"
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

void TCoreTest::SetCombList(const std::vector<TCombWord>& combs)
{
    FState.FCombs.Items.assign(combs.begin(), combs.end());
    FState.FCombs.Count = static_cast<int>(combs.size());
}

std::vector<TStakeRec> AllStakes(TStakesFile& stakes)
{
    std::vector<TStakeRec> records;
    for (qint64 i = 0; i < stakes.RecordCount(); ++i)
        records.push_back(stakes.ReadStake(TStakesFile::soFromBeginning, i));
    return records;
}
