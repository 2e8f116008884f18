#include "tests/app_core/stakes/StakeCheckTestEnv.h"

#include "app/core/stakes/RatingsFile.h"
#include "platform/SaveFile.h"

#include "platform/Exceptions.h"
#include "support/RDateUtils.h"
#include "support/RVclUtils.h"
#include "tests/common/TestHelpers.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <limits>
#include <memory>
#include <vector>

namespace {

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
    check.FailFrom = 1;   // every block after the first
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

// Counting starts after the first stake to score, wherever the check starts reading: of 201
// new stakes 200 remain after the first, so every second one is 1 %, with or without scored
// stakes in front of them.
TEST_F(StakeCheckTest, ProgressInTheStatusLine)
{
    for (const int scoredBefore : {0, 50}) {
        SCOPED_TRACE(scoredBefore);
        Start(std::vector<TStakeRec>(static_cast<std::size_t>(scoredBefore), Stake(3, 1, 7, "A")));
        TStakeCheck check(FFile, FDraws, FStats, FRatings);
        ASSERT_EQ(check.CheckStakes().ScoredCount, scoredBefore);
        ASSERT_EQ(FFile.CheckStart(), scoredBefore);
        FFile.AppendStakes(std::vector<TStakeRec>(201, Stake(4, 3, 8, "A")), 1);

        FStatuses.clear();
        EXPECT_EQ(check.CheckStakes().ScoredCount, 201);
        ASSERT_EQ(FStatuses.size(), 102);
        EXPECT_EQ(FStatuses.front(), U("Проверка результатов ставок..."));
        EXPECT_EQ(FStatuses[1], U("Проверка результатов ставок ( завершено 1 % )..."));
        EXPECT_EQ(FStatuses[50], U("Проверка результатов ставок ( завершено 50 % )..."));
        EXPECT_EQ(FStatuses[100], U("Проверка результатов ставок ( завершено 100 % )..."));
        EXPECT_EQ(FStatuses.back(), QString());
    }
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

// The main window's ratings over the same stakes file: the stakes a check scores stay marked
// until the ratings file that counts them is saved.
class JournalledCheckTest : public StakeCheckTest {
protected:
    QString RatingsPath() const { return FDir.filePath("Tavrix2_2r10.lrt"); }
    QString JournalPath() const { return RatingsPath() + ".~chk"; }
    static TStakeRec Marked(TStakeRec rec)
    {
        rec.RatingPending = 1;
        return rec;
    }
    // Stakes on draws 3, 4 and 5; the ratings file holds "A" from stakes deleted long ago.
    void StartWithRatings()
    {
        Start({InitStakeRec(), Stake(3, 1, 7, "A"), Stake(9, 4, 4, "A"), Stake(4, 3, 8, "B"), Stake(5, 0, 0, "b")});
        WriteRatingsFile(RatingsPath(), {Rating("A", 5, 1, {4, 1, 0}, -50)});
    }
    // The stakes file after the check, its marks cleared.
    static QByteArray ScoredBytes(bool marked)
    {
        auto mark = [marked](const TStakeRec& rec) { return marked ? Marked(rec) : rec; };
        return StakeBytes({InitStakeRec(), mark(Scored(Stake(3, 1, 7, "A"), 1, 2, {1, {1}}, 40)), Stake(9, 4, 4, "A"),
                           mark(Scored(Stake(4, 3, 8, "B"), 3, 8, {2, {3, 8}}, 890)),
                           mark(Scored(Stake(5, 0, 0, "b"), 6, 6, {0, {}}, -10))});
    }
    static TRatingsArray Counted()
    {
        return {Rating("A", 6, 2, {4, 2, 0}, -10), Rating("B", 2, 2, {1, 0, 1}, 880)};
    }
    static TRatingsArray Sorted(TRatingsArray ratings)
    {
        QuickSortRatings(ratings, 0, false);
        return ratings;
    }
};

TEST_F(JournalledCheckTest, ScoredStakesStayMarkedUntilTheRatingsAreSaved)
{
    StartWithRatings();
    const QByteArray ratingsBefore = ReadFileBytes(RatingsPath());
    TRatings ratings(RatingsPath(), &FFile);
    ratings.SortColumn = 0;
    ratings.SortDescending = false;
    ratings.LoadRatingsFile();
    TStakeCheck check(FFile, FDraws, FStats, ratings);
    QStringList seen;
    check.Checkpoint = [&](TCheckPoint point) {
        if (point != TCheckPoint::ScanDone)
            return;
        seen << "scanned";
        EXPECT_EQ(FileBytes(), ScoredBytes(true));
        EXPECT_EQ(ReadFileBytes(RatingsPath()), ratingsBefore);
        EXPECT_TRUE(QFile::exists(JournalPath()));
        EXPECT_TRUE(ratings.ScoringOpen());
    };
    ratings.Checkpoint = [&](TCheckPoint point) {
        seen << (point == TCheckPoint::RatingsSaved ? "saved" : "cleared");
        EXPECT_EQ(ReadRatingsFile(RatingsPath()).Records, Sorted(Counted()));
        EXPECT_EQ(FileBytes(), ScoredBytes(point == TCheckPoint::RatingsSaved));
        EXPECT_TRUE(QFile::exists(JournalPath()));
    };
    const TStakeCheckResult result = check.CheckStakesAndReload([&ratings] { ratings.SortRatings(); });
    EXPECT_EQ(seen, QStringList({"scanned", "saved", "cleared"}));
    EXPECT_EQ(result.ScoredCount, 3);
    EXPECT_FALSE(result.Failed);
    EXPECT_TRUE(result.Errors.isEmpty()) << result.Errors.join('|').toStdString();
    // Once saved nothing of the mark is left: the file is what a check without marks writes.
    EXPECT_EQ(FileBytes(), ScoredBytes(false));
    EXPECT_FALSE(QFile::exists(JournalPath()));
    EXPECT_FALSE(ratings.ScoringOpen());
    EXPECT_EQ(ratings.FRatings, Sorted(Counted()));

    // A check with nothing to score writes no journal.
    seen.clear();
    EXPECT_FALSE(check.CheckStakesAndReload([&ratings] { ratings.SortRatings(); }).Scored);
    EXPECT_TRUE(seen.isEmpty());
    EXPECT_FALSE(QFile::exists(JournalPath()));
}

TEST_F(JournalledCheckTest, FailedRatingsSaveIsAnErrorAndTheStakesAreCountedOnceLater)
{
    enum class TThen { SaveInTheSameRun, CheckAgainThenSave, NextStart, NextStartWithoutRoom };
    const struct {
        const char* Name;
        TThen Then;
    } cases[] = {
        {"saved later in the same run", TThen::SaveInTheSameRun},
        {"another check, then a save", TThen::CheckAgainThenSave},
        {"counted at the next start", TThen::NextStart},
        {"the next start has no room either", TThen::NextStartWithoutRoom},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        FDraws.resize(5);
        if (FFile.IsOpen())
            FFile.Close();
        QFile::remove(JournalPath());
        StartWithRatings();
        const QByteArray ratingsBefore = ReadFileBytes(RatingsPath());
        auto ratings = std::make_unique<TRatings>(RatingsPath(), &FFile);
        ratings->SortColumn = 0;
        ratings->SortDescending = false;
        ratings->LoadRatingsFile();

        // The disk is full: no new ratings file can be made.
        const QString temp = TSaveFile::TempFileName(RatingsPath());
        ASSERT_TRUE(QDir().mkpath(temp));
        TStakeCheck check(FFile, FDraws, FStats, *ratings);
        TStakeCheckResult result = check.CheckStakesAndReload([&ratings] { ratings->SortRatings(); });
        EXPECT_TRUE(result.Failed);
        ASSERT_EQ(result.Errors.size(), 1);
        EXPECT_TRUE(result.Errors[0].startsWith(U("Рейтинг не сохранен!\n\nОшибка записи файла \"") + RatingsPath()))
            << result.Errors[0].toStdString();
        EXPECT_TRUE(result.Errors[0].endsWith(U("Проверенные ставки отмечены в файле ставок и будут учтены в "
                                                "рейтинге при следующем его сохранении или при следующем запуске "
                                                "программы.")));
        EXPECT_EQ(ReadFileBytes(RatingsPath()), ratingsBefore);
        EXPECT_EQ(FileBytes(), ScoredBytes(true));
        EXPECT_TRUE(QFile::exists(JournalPath()));

        TRatingsArray want = Counted();
        switch (c.Then) {
        case TThen::SaveInTheSameRun:
            ASSERT_TRUE(QDir().rmdir(temp));
            ratings->SortRatings();
            break;
        case TThen::CheckAgainThenSave:
            FDraws.push_back(Draw(9, 4, 1, "x"));
            result = check.CheckStakesAndReload([&ratings] { ratings->SortRatings(); });
            EXPECT_EQ(result.ScoredCount, 1);
            EXPECT_TRUE(result.Failed);
            ASSERT_TRUE(QDir().rmdir(temp));
            ratings->SortRatings();
            want[0] = Rating("A", 7, 3, {4, 3, 0}, 30);
            break;
        case TThen::NextStart:
        case TThen::NextStartWithoutRoom: {
            if (c.Then == TThen::NextStart) {
                ASSERT_TRUE(QDir().rmdir(temp));
            }
            FFile.Close();
            FFile.Load();
            ratings = std::make_unique<TRatings>(RatingsPath(), &FFile);
            ratings->SortColumn = 0;
            ratings->SortDescending = false;
            const TRatingsLoadReport report = ratings->LoadRatingsFile();
            EXPECT_EQ(report.RecoveredStakes, 3);
            EXPECT_TRUE(TRatings::DamageText(report, "r").contains(
                U("Прошлая проверка ставок была прервана до сохранения рейтинга: проверенные тогда ставки (3) "
                  "добавлены в рейтинг.")));
            if (c.Then == TThen::NextStartWithoutRoom) {
                EXPECT_FALSE(report.SaveError.isEmpty());
                EXPECT_EQ(ReadFileBytes(RatingsPath()), ratingsBefore);
                EXPECT_EQ(ratings->FRatings, Sorted(want));
                ASSERT_TRUE(QDir().rmdir(temp));
                ratings->SortRatings();
            }
            break;
        }
        }
        EXPECT_EQ(ReadRatingsFile(RatingsPath()).Records, Sorted(want));
        EXPECT_EQ(ratings->FRatings, Sorted(want));
        EXPECT_FALSE(QFile::exists(JournalPath()));
        EXPECT_FALSE(ratings->ScoringOpen());
        // Every mark is gone: the stakes are as a check without marks leaves them.
        if (c.Then == TThen::CheckAgainThenSave)
            EXPECT_EQ(FileBytes().mid(2 * StakeRecSize, StakeRecSize),
                      StakeBytes({Scored(Stake(9, 4, 4, "A"), 4, 1, {1, {4}}, 40)}));
        else
            EXPECT_EQ(FileBytes(), ScoredBytes(false));
    }
}

TEST_F(JournalledCheckTest, NoRoomForTheJournalScoresNothing)
{
    StartWithRatings();
    const QByteArray stakesBefore = FileBytes();
    const QByteArray ratingsBefore = ReadFileBytes(RatingsPath());
    TRatings ratings(RatingsPath(), &FFile);
    ratings.LoadRatingsFile();
    const QString temp = TSaveFile::TempFileName(JournalPath());
    ASSERT_TRUE(QDir().mkpath(temp));
    TStakeCheck check(FFile, FDraws, FStats, ratings);
    const TStakeCheckResult result = check.CheckStakesAndReload([&ratings] { ratings.SortRatings(); });
    ASSERT_TRUE(QDir().rmdir(temp));
    EXPECT_FALSE(result.Scored);
    EXPECT_TRUE(result.Failed);
    ASSERT_EQ(result.Errors.size(), 1);
    EXPECT_TRUE(result.Errors[0].startsWith(U("Ошибка проверки ставок!\n\nОшибка записи файла \"") + JournalPath()))
        << result.Errors[0].toStdString();
    EXPECT_EQ(FileBytes(), stakesBefore);
    EXPECT_EQ(ReadFileBytes(RatingsPath()), ratingsBefore);
    EXPECT_FALSE(ratings.ScoringOpen());
    EXPECT_FALSE(QFile::exists(JournalPath()));
    // With room the same check does it all.
    EXPECT_EQ(check.CheckStakesAndReload([&ratings] { ratings.SortRatings(); }).ScoredCount, 3);
    EXPECT_EQ(FileBytes(), ScoredBytes(false));
}

TEST_F(JournalledCheckTest, ARatingAtTheTopStillCountsBothWinningStakes)
{
    constexpr std::int64_t RawMax = std::numeric_limits<std::int64_t>::max();
    Start({Stake(4, 3, 8, "Top"), Stake(4, 3, 8, "top")});
    TRatingRec top = Rating("TOP", 7, 14, {0, 0, 7}, 0);
    top.Balance = TCurrency::FromRaw(RawMax);
    WriteRatingsFile(RatingsPath(), {top});
    TRatings ratings(RatingsPath(), &FFile);
    ratings.LoadRatingsFile();
    TStakeCheck check(FFile, FDraws, FStats, ratings);
    const TStakeCheckResult result = check.CheckStakesAndReload([&ratings] { ratings.SortRatings(); });
    EXPECT_TRUE(result.Errors.isEmpty()) << result.Errors.join('|').toStdString();
    EXPECT_EQ(result.ScoredCount, 2);
    top.Stakes = 9;
    top.Matched = 18;
    top.MatchCounts = {0, 0, 9};
    EXPECT_EQ(ReadRatingsFile(RatingsPath()).Records, TRatingsArray{top});
    EXPECT_EQ(FileBytes(), StakeBytes({Scored(Stake(4, 3, 8, "Top"), 3, 8, {2, {3, 8}}, 890),
                                       Scored(Stake(4, 3, 8, "top"), 3, 8, {2, {3, 8}}, 890)}));
}

TEST_F(StakeCheckTest, AStakesLogThatCannotBeWrittenIsToldOnce)
{
    std::vector<TStakeRec> records(10, Stake(3, 1, 7, "A"));   // each matches one position
    records.push_back(Stake(4, 3, 8, "A"));                    // two positions
    Start(records);
    TStakesLog log(FDir.path() + "/");
    log.Enabled = true;
    ASSERT_TRUE(QDir().mkpath(log.FileName(1)));
    ASSERT_TRUE(QDir().mkpath(log.FileName(2)));
    TStakeCheck check(FFile, FDraws, FStats, FRatings);
    check.Log = &log;
    const TStakeCheckResult result = check.CheckStakes();
    EXPECT_EQ(result.ScoredCount, 11);
    EXPECT_FALSE(result.Failed);
    ASSERT_EQ(result.Errors.size(), 1);
    // One text naming each log once, in the order they failed.
    const QString one = U("Ошибка записи в файл \"%1\"!").arg(log.FileName(1));
    const QString two = U("Ошибка записи в файл \"%1\"!").arg(log.FileName(2));
    EXPECT_EQ(result.Errors[0].count(one), 1);
    EXPECT_EQ(result.Errors[0].count(two), 1);
    EXPECT_LT(result.Errors[0].indexOf(one), result.Errors[0].indexOf(two));
    EXPECT_EQ(FRatings, TRatingsArray({Rating("A", 11, 12, {0, 10, 1}, 10 * 40 + 890)}));
}

}  // namespace
