#include "app/core/StakeCheck.h"

#include "platform/Exceptions.h"
#include "support/RDateUtils.h"
#include "support/RVclUtils.h"
#include "tests/common/TestHelpers.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <vector>

namespace {

TStakeRec Stake(std::int32_t draw, int d1, int d2, const char* comment)
{
    return StakeOn(soScript, draw, d1, d2, comment, -10, 12);
}

TRatingRec Rating(const char* comment, int stakes, int matched, std::array<std::int32_t, 3> counts,
                  std::int64_t balance)
{
    TRatingRec r;
    r.Comment = U(comment);
    r.Stakes = stakes;
    r.Matched = matched;
    r.MatchCounts = counts;
    r.Balance = TCurrency::FromUnits(balance);
    return r;
}

class StakeCheckTest : public ::testing::Test {
protected:
    StakeCheckTest()
    {
        // One combination costs 10; one matched position pays 50, two pay 900.
        FStats.Config().Cost = TCurrency::FromUnits(10);
        FStats.Config().Profits = {{1, TCurrency::FromUnits(50)}, {2, TCurrency::FromUnits(900)}};
        FDraws = {Draw(1, 0, 1, "x"), Draw(2, 5, 9, "x"), Draw(3, 1, 2, "x"), Draw(4, 3, 8, "x"),
                  Draw(5, 6, 6, "x")};
        FPreviousSink = SetStatusSink([this](const QString& text) { FStatuses << text; });
        FPreviousClock = SetClock([] { return QDateTime(QDate(2016, 8, 9), QTime(21, 0)); });
    }
    ~StakeCheckTest() override
    {
        SetStatusSink(std::move(FPreviousSink));
        SetClock(std::move(FPreviousClock));
        EXPECT_EQ(WaitCount(), 0);
    }

    QString Path() const { return FDir.filePath(QString::fromLatin1(TStakesFile::BaseName)); }
    void Start(const std::vector<TStakeRec>& records)
    {
        WriteFileBytes(Path(), StakeBytes(records));
        FFile.Load();
    }
    QByteArray FileBytes() { return ReadFileBytes(Path()); }

    QTemporaryDir FDir;
    TStakesFile FFile{Path()};
    TDrawsArray FDraws;
    TStatList FStats;
    TRatingsArray FRatings;
    QStringList FStatuses;
    TStatusSink FPreviousSink;
    TClock FPreviousClock;
};

TEST_F(StakeCheckTest, StakeIsScoredOnceWhenItsDrawArrives)
{
    const TStakeRec sep = InitStakeRec();
    TStakeRec old = Scored(Stake(2, 5, 9, "A"), 5, 9, {2, {5, 9}}, 890);
    Start({sep, Stake(3, 1, 7, "A"), Stake(6, 4, 4, "a"), old, Stake(4, 3, 8, "B"), Stake(5, 0, 0, "B")});
    TStakesLog log(FDir.path() + "/");
    log.Enabled = true;
    TStakeCheck check(FFile, FDraws, FStats, FRatings);
    check.Log = &log;
    int reloads = 0;
    const auto reload = [&reloads] { ++reloads; };

    TStakeCheckResult result = check.CheckStakesAndReload(reload);
    EXPECT_TRUE(result.Scored);
    EXPECT_EQ(result.ScoredCount, 3);
    EXPECT_TRUE(result.Errors.isEmpty()) << result.Errors.join('|').toStdString();
    EXPECT_EQ(reloads, 1);
    const QByteArray afterFirst = StakeBytes({sep, Scored(Stake(3, 1, 7, "A"), 1, 2, {1, {1}}, 40), Stake(6, 4, 4, "a"), old,
                                         Scored(Stake(4, 3, 8, "B"), 3, 8, {2, {3, 8}}, 890),
                                         Scored(Stake(5, 0, 0, "B"), 6, 6, {0, {}}, -10)});
    EXPECT_EQ(FileBytes(), afterFirst);
    EXPECT_EQ(FRatings, TRatingsArray({Rating("A", 1, 1, {0, 1, 0}, 40), Rating("B", 2, 2, {1, 0, 1}, 880)}));

    // Nothing new: nothing changes, nothing is reopened or re-sorted.
    FStatuses.clear();
    result = check.CheckStakesAndReload(reload);
    EXPECT_FALSE(result.Scored);
    EXPECT_EQ(reloads, 1);
    EXPECT_EQ(FileBytes(), afterFirst);
    EXPECT_EQ(FStatuses, QStringList({U("Проверка результатов ставок..."), QString()}));

    // A later download brings draw 6.
    FDraws.push_back(Draw(6, 4, 0, "x"));
    result = check.CheckStakesAndReload(reload);
    EXPECT_EQ(result.ScoredCount, 1);
    EXPECT_EQ(reloads, 2);
    EXPECT_EQ(FileBytes(), StakeBytes({sep, Scored(Stake(3, 1, 7, "A"), 1, 2, {1, {1}}, 40),
                                  Scored(Stake(6, 4, 4, "a"), 4, 0, {1, {4}}, 40), old,
                                  Scored(Stake(4, 3, 8, "B"), 3, 8, {2, {3, 8}}, 890),
                                  Scored(Stake(5, 0, 0, "B"), 6, 6, {0, {}}, -10)}));
    EXPECT_EQ(FRatings, TRatingsArray({Rating("A", 2, 2, {0, 2, 0}, 80), Rating("B", 2, 2, {1, 0, 1}, 880)}));
    EXPECT_FALSE(check.CheckStakesAndReload(reload).Scored);

    EXPECT_EQ(ReadFileBytes(log.FileName(0)).count('\n'), 1);
    EXPECT_EQ(ReadFileBytes(log.FileName(1)).count('\n'), 2);
    EXPECT_EQ(ReadFileBytes(log.FileName(2)).count('\n'), 1);
}

TEST_F(StakeCheckTest, DamagedRecordsAreCountedNeverScored)
{
    TStakeRec tooManyDigits = Stake(3, 1, 2, "A");
    tooManyDigits.Digits.Count = 9;
    TStakeRec badMatches = Scored(Stake(3, 1, 2, "A"), 1, 2, {7, {}}, 0);
    TStakeRec oneDigit = Stake(3, 1, 2, "A");
    oneDigit.Digits.Count = 1;   // sound, but not a combination: never a candidate
    Start({tooManyDigits, badMatches, oneDigit, Stake(3, 1, 2, "A")});
    TStakeCheck check(FFile, FDraws, FStats, FRatings);
    const TStakeCheckResult result = check.CheckStakes();
    EXPECT_EQ(result.DamagedCount, 2);
    EXPECT_EQ(result.ScoredCount, 1);
    EXPECT_EQ(FileBytes(), StakeBytes({tooManyDigits, badMatches, oneDigit,
                                  Scored(Stake(3, 1, 2, "A"), 1, 2, {2, {1, 2}}, 890)}));
    EXPECT_EQ(FRatings, TRatingsArray({Rating("A", 1, 2, {0, 0, 1}, 890)}));
}

// The write of every block after the first fails until told otherwise.
class TFailingCheck : public TStakeCheck {
public:
    using TStakeCheck::TStakeCheck;
    bool Fail = true;
    QList<qint64> Writes;   // first record of every write

protected:
    void WriteScored(qint64 first, const QByteArray& records) override
    {
        if (Fail && first > 0)
            throw Exception("disk full");
        Writes << first;
        TStakeCheck::WriteScored(first, records);
    }
};

TEST_F(StakeCheckTest, StakeWhoseWriteFailedIsNotRated)
{
    // Two blocks of records: 2048 stakes, then a separator and two more stakes.
    std::vector<TStakeRec> records(2048, Stake(3, 1, 2, "A"));
    records.push_back(InitStakeRec());
    records.push_back(Stake(4, 0, 0, "A"));
    records.push_back(Stake(5, 6, 0, "A"));
    Start(records);
    const QByteArray secondBlock = StakeBytes({InitStakeRec(), Stake(4, 0, 0, "A"), Stake(5, 6, 0, "A")});
    TFailingCheck check(FFile, FDraws, FStats, FRatings);
    TStakeCheckResult result = check.CheckStakes();
    EXPECT_TRUE(result.Scored);
    EXPECT_EQ(result.ScoredCount, 2048);
    EXPECT_EQ(result.Errors, QStringList{U("Ошибка проверки ставок!\n\ndisk full")});
    EXPECT_EQ(FRatings, TRatingsArray({Rating("A", 2048, 2 * 2048, {0, 0, 2048}, 890 * 2048)}));
    EXPECT_EQ(FileBytes().mid(2048 * StakeRecSize), secondBlock);
    EXPECT_EQ(check.Writes, QList<qint64>{0});

    check.Fail = false;
    result = check.CheckStakes();
    EXPECT_EQ(result.ScoredCount, 2);
    EXPECT_TRUE(result.Errors.isEmpty());
    // One write from the first scored record of the block to its last.
    EXPECT_EQ(check.Writes, QList<qint64>({0, 2049}));
    // Every stake counted exactly once.
    EXPECT_EQ(FRatings, TRatingsArray({Rating("A", 2050, 2 * 2048 + 1, {1, 1, 2048}, 890 * 2048 - 10 + 40)}));
    EXPECT_EQ(FileBytes().mid(2049 * StakeRecSize),
              StakeBytes({Scored(Stake(4, 0, 0, "A"), 3, 8, {0, {}}, -10), Scored(Stake(5, 6, 0, "A"), 6, 6, {1, {6}}, 40)}));
}

TEST_F(StakeCheckTest, ProgressInTheStatusLine)
{
    // 201 stakes: counting starts after the first, so 200 remain and every second one is 1 %.
    std::vector<TStakeRec> records(201, Stake(3, 1, 7, "A"));
    Start(records);
    TStakeCheck check(FFile, FDraws, FStats, FRatings);
    EXPECT_EQ(check.CheckStakes().ScoredCount, 201);
    ASSERT_EQ(FStatuses.size(), 102);
    EXPECT_EQ(FStatuses.front(), U("Проверка результатов ставок..."));
    EXPECT_EQ(FStatuses[1], U("Проверка результатов ставок ( завершено 1 % )..."));
    EXPECT_EQ(FStatuses[100], U("Проверка результатов ставок ( завершено 100 % )..."));
    EXPECT_EQ(FStatuses.back(), QString());
}

TEST_F(StakeCheckTest, EmptyOrClosedFileIsLeftAlone)
{
    TStakeCheck check(FFile, FDraws, FStats, FRatings);
    int reloads = 0;
    EXPECT_FALSE(check.CheckStakesAndReload([&reloads] { ++reloads; }).Scored);   // closed
    Start({});
    EXPECT_FALSE(check.CheckStakesAndReload([&reloads] { ++reloads; }).Scored);
    EXPECT_EQ(reloads, 0);
    EXPECT_TRUE(FRatings.empty());
}

}  // namespace
