#pragma once

// A stakes file in a temporary folder checked against five draws, with the status line and
// the clock under the test's control.

#include "app/core/stakes/StakeCheck.h"

#include "platform/Exceptions.h"
#include "tests/app_core/CoreTestEnv.h"

#include <QList>

#include <vector>

// An unchecked stake costing 10 of a 12-combination selection.
inline TStakeRec Stake(std::int32_t draw, int d1, int d2, const char* comment = "A")
{
    return StakeOn(soScript, draw, d1, d2, comment, -10, 12);
}

class StakeCheckTest : public TCoreTest {
protected:
    StakeCheckTest()
    {
        // One combination costs 10; one matched position pays 50, two pay 900.
        FStats.Config().Cost = TCurrency::FromUnits(10);
        FStats.Config().Profits = {{1, TCurrency::FromUnits(50)}, {2, TCurrency::FromUnits(900)}};
        FDraws = {Draw(1, 0, 1, "x"), Draw(2, 5, 9, "x"), Draw(3, 1, 2, "x"), Draw(4, 3, 8, "x"),
                  Draw(5, 6, 6, "x")};
        FNow = QDateTime(QDate(2016, 8, 9), QTime(21, 0));
    }

    QString Path() const { return FDir.filePath(QString::fromLatin1(TStakesFile::BaseName)); }
    void Start(const std::vector<TStakeRec>& records)
    {
        WriteFileBytes(Path(), StakeBytes(records));
        FFile.Load();
    }
    QByteArray FileBytes() { return ReadFileBytes(Path()); }

    TStakesFile FFile{Path()};
    TDrawsArray FDraws;
    TStatList FStats;
    TRatingsArray FRatings;
};

// A check whose writes of the blocks from record FailFrom on fail until Fail is cleared.
class TFailingCheck : public TStakeCheck {
public:
    using TStakeCheck::TStakeCheck;
    bool Fail = true;
    qint64 FailFrom = 0;
    QList<qint64> Writes;   // first record of every write that went through

protected:
    void WriteScored(qint64 first, const QByteArray& records) override
    {
        if (Fail && first >= FailFrom)
            throw Exception("disk full");
        Writes << first;
        TStakeCheck::WriteScored(first, records);
    }
};
