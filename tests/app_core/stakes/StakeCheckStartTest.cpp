// Where a stake check starts reading: after the records that no check has to read again, for
// as long as the file is as the stakes file object left it.

#include "tests/app_core/stakes/StakeCheckTestEnv.h"

#include "platform/SaveFile.h"

#include <QDateTime>
#include <QFile>

#include <functional>
#include <vector>

namespace {

TStakeRec Damaged()
{
    TStakeRec rec = Stake(2, 1, 1);
    rec.Digits.Count = 7;
    return rec;
}

class StakeCheckStartTest : public StakeCheckTest {
protected:
    TStakeCheckResult Check(TStakesFile& file)
    {
        return TStakeCheck(file, FDraws, FStats, FRatings).CheckStakesAndReload(nullptr);
    }
    // The same check over a copy of the file by a new object, which reads every record.
    TStakeCheckResult FullCheckOfCopy(QByteArray* after)
    {
        const QString copy = FDir.filePath(QStringLiteral("copy.lsk"));
        SaveFileAtomic(copy, ReadFileBytes(Path()));
        TStakesFile file(copy);
        file.Load();
        EXPECT_EQ(file.CheckStart(), 0);
        TRatingsArray ratings;
        const TStakeCheckResult result = TStakeCheck(file, FDraws, FStats, ratings).CheckStakes();
        file.Close();
        *after = ReadFileBytes(copy);
        return result;
    }
    // Writes over the first record (ReadWrite) or after the last (Append) as another program
    // would, with a time of change of its own.
    void WriteBehindItsBack(QIODevice::OpenMode mode, const QByteArray& record)
    {
        QFile other(Path());
        ASSERT_TRUE(other.open(mode));
        ASSERT_EQ(other.write(record), StakeRecSize);
        ASSERT_TRUE(other.flush());
        ASSERT_TRUE(other.setFileTime(QDateTime::currentDateTime().addSecs(3600), QFileDevice::FileModificationTime));
    }
};

TEST_F(StakeCheckStartTest, StartsAtTheFirstRecordAnotherCheckMustRead)
{
    struct TCase {
        const char* Name;
        std::vector<TStakeRec> Records;
        qint64 StartAfterFirst;
        int ScoredFirst;
        qint64 StartAfterDraw9;   // once draw 9 is stored
        int DamagedEachTime;
    };
    TStakeRec single = Stake(3, 1, 2);
    single.Digits.Count = 1;
    const TCase cases[] = {
        {"every stake scored", {InitStakeRec(), Stake(3, 1, 7), Stake(4, 3, 8)}, 3, 2, 3, 0},
        {"a stake waits for draw 9", {Stake(3, 1, 7), Stake(9, 4, 4), Stake(4, 3, 8)}, 1, 2, 3, 0},
        {"a damaged record stays to be counted", {InitStakeRec(), Damaged(), Stake(3, 1, 7)}, 1, 1, 1, 1},
        {"damaged after a waiting stake", {Stake(9, 4, 4), Stake(3, 1, 7), Damaged()}, 0, 1, 2, 1},
        {"a single digit is never scored", {single, Stake(4, 3, 8)}, 2, 1, 2, 0},
        {"only separators", {InitStakeRec(), InitStakeRec()}, 2, 0, 2, 0},
        {"empty file", {}, 0, 0, 0, 0},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        FDraws.resize(5);
        Start(c.Records);
        TStakeCheckResult result = Check(FFile);
        EXPECT_EQ(result.ScoredCount, c.ScoredFirst);
        EXPECT_EQ(result.DamagedCount, c.DamagedEachTime);
        EXPECT_EQ(FFile.CheckStart(), c.StartAfterFirst);

        // Nothing new: the start stays, and the damaged records are still told.
        result = Check(FFile);
        EXPECT_EQ(result.ScoredCount, 0);
        EXPECT_EQ(result.DamagedCount, c.DamagedEachTime);
        EXPECT_EQ(FFile.CheckStart(), c.StartAfterFirst);

        FDraws.push_back(Draw(9, 4, 0, "x"));
        result = Check(FFile);
        EXPECT_EQ(result.DamagedCount, c.DamagedEachTime);
        EXPECT_EQ(FFile.CheckStart(), c.StartAfterDraw9);
    }
}

TEST_F(StakeCheckStartTest, ChangesToTheFileMoveTheStartBackOrForgetIt)
{
    // Four records, three stakes of stored draws: the first check scores them all.
    const std::vector<TStakeRec> base = {Stake(1, 0, 1), InitStakeRec(), Stake(2, 5, 9, "B"), Stake(3, 1, 2)};
    const QByteArray unchecked = StakeBytes({Stake(4, 3, 8)});
    TStakeRec single = Stake(5, 6, 6);
    single.Digits.Count = 1;
    struct TCase {
        const char* Name;
        std::function<void(TStakesFile&)> Change;
        qint64 StartBefore;   // before the next check
        int Scored, Damaged;
        qint64 StartAfter;
    };
    const TCase cases[] = {
        {"nothing", [](TStakesFile&) {}, 4, 0, 0, 4},
        {"reopened", [](TStakesFile& f) { f.Reopen(); }, 4, 0, 0, 4},
        {"closed and opened", [](TStakesFile& f) { f.Close(); f.Open(); }, 4, 0, 0, 4},
        {"a stake appended", [](TStakesFile& f) { f.AppendStake(Stake(4, 3, 8), 1); }, 4, 1, 0, 5},
        {"a stake for two draws appended", [](TStakesFile& f) { f.AppendStake(Stake(4, 3, 8), 2); }, 4, 2, 0, 8},
        {"an unchecked stake written over record 1",
         [](TStakesFile& f) { f.WriteStake(TStakesFile::soFromBeginning, 1, Stake(5, 6, 6)); }, 1, 1, 0, 4},
        {"a separator written over record 2",
         [](TStakesFile& f) { f.WriteStake(TStakesFile::soFromBeginning, 2, InitStakeRec()); }, 4, 0, 0, 4},
        {"a single digit written over record 0",
         [&single](TStakesFile& f) { f.WriteStake(TStakesFile::soFromBeginning, 0, single); }, 4, 0, 0, 4},
        {"records 0 and 1 written in place, the second unchecked",
         [](TStakesFile& f) { f.WriteRecordBytes(0, StakeBytes({InitStakeRec(), Stake(4, 3, 8)})); }, 1, 1, 0, 4},
        {"a damaged record written in place",
         [](TStakesFile& f) { f.WriteRecordBytes(3, StakeBytes({Damaged()})); }, 3, 0, 1, 3},
        {"a rating mark set and cleared",
         [](TStakesFile& f) {
             QByteArray first;
             f.ReadRecordsInto(0, 1, first);
             first[StakeOffset::RatingPending] = 1;
             f.WriteRecordBytes(0, first);
             EXPECT_EQ(f.ClearRatingMarks(0, -1), 1);
         },
         4, 0, 0, 4},
        {"cut back to two records", [](TStakesFile& f) { f.Truncate(2 * StakeRecSize); }, 2, 0, 0, 2},
        {"a record deleted",
         [](TStakesFile& f) { f.DeleteStakes([](qint64 index, const TStakeRec&) { return index != 1; }); }, 0, 0, 0, 3},
        {"loaded again", [](TStakesFile& f) { f.Load(); }, 0, 0, 0, 4},
        {"a record written from between two records",
         [](TStakesFile& f) {
             f.SetPosition(100);
             f.WriteStake(TStakesFile::soFromCurrent, 0, InitStakeRec());
         },
         0, 0, 0, 4},
        {"replaced by another file of the same size while closed",
         [this, &unchecked](TStakesFile& f) {
             f.Close();
             SaveFileAtomic(Path(), unchecked + ReadFileBytes(Path()).mid(StakeRecSize));
             f.Open();
         },
         0, 1, 0, 4},
        {"written in place by another writer while open",
         [this, &unchecked](TStakesFile&) { WriteBehindItsBack(QIODevice::ReadWrite, unchecked); }, 0, 1, 0, 4},
        {"grown by another writer while open",
         [this, &unchecked](TStakesFile&) { WriteBehindItsBack(QIODevice::Append, unchecked); }, 0, 1, 0, 5},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        Start(base);
        ASSERT_EQ(Check(FFile).ScoredCount, 3);
        ASSERT_EQ(FFile.CheckStart(), 4);

        c.Change(FFile);
        EXPECT_EQ(FFile.CheckStart(), c.StartBefore);
        QByteArray wanted;
        const TStakeCheckResult full = FullCheckOfCopy(&wanted);
        const TStakeCheckResult result = Check(FFile);
        EXPECT_EQ(result.ScoredCount, c.Scored);
        EXPECT_EQ(result.DamagedCount, c.Damaged);
        EXPECT_TRUE(result.Errors.isEmpty()) << result.Errors.join('|').toStdString();
        // Whatever the start, the check does what a check of every record does.
        EXPECT_EQ(result.ScoredCount, full.ScoredCount);
        EXPECT_EQ(result.DamagedCount, full.DamagedCount);
        EXPECT_EQ(ReadFileBytes(Path()), wanted);
        EXPECT_EQ(FFile.CheckStart(), c.StartAfter);
    }
}

TEST_F(StakeCheckStartTest, ACheckThatFailsLeavesTheStartWhereItWas)
{
    Start({Stake(1, 0, 1), Stake(2, 5, 9)});
    ASSERT_EQ(Check(FFile).ScoredCount, 2);
    FFile.AppendStake(Stake(3, 1, 2), 1);
    FFile.AppendStake(Stake(4, 3, 8), 1);

    TFailingCheck failing(FFile, FDraws, FStats, FRatings);
    const TStakeCheckResult failed = failing.CheckStakes();
    EXPECT_TRUE(failed.Failed);
    EXPECT_EQ(failed.ScoredCount, 0);
    EXPECT_EQ(FFile.CheckStart(), 2);

    failing.Fail = false;
    EXPECT_EQ(failing.CheckStakes().ScoredCount, 2);
    EXPECT_EQ(FFile.CheckStart(), 4);
}

}  // namespace
