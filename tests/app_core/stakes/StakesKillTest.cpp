// The program killed while stakes are scored or made: a child process runs the work over the
// data folder and is killed (SIGKILL, nothing cleaned up) at a chosen point or a random
// moment; the next start then finds the stakes file, the ratings file and the rules file in
// agreement, and the work can be run again to its end.

#include "app/core/stakes/RatingsFromStakes.h"
#include "app/core/stakes/RatingsFile.h"
#include "app/core/stakes/RegularStakes.h"
#include "app/core/stakes/StakeCheck.h"
#include "app/core/stakes/StakeCommands.h"
#include "tests/app_core/CoreTestEnv.h"

#include <QDir>
#include <QFile>

#include <algorithm>
#include <chrono>
#include <functional>
#include <random>
#include <thread>

#include <csignal>
#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

enum class TEnd { Finished, Killed };

// Runs the body in a child process. The body may kill the child (KillHere) at the point
// under test; a body that returns ends the child normally. With killAfterUs >= 0 the parent
// kills the child that much later instead, wherever it then is.
TEnd RunInChild(const std::function<void()>& body, int killAfterUs = -1)
{
    const pid_t child = ::fork();
    if (child == 0) {
        try {
            body();
        } catch (...) {
            ::_exit(3);
        }
        ::_exit(0);
    }
    if (child < 0) {
        ADD_FAILURE() << "fork failed";
        return TEnd::Finished;
    }
    if (killAfterUs >= 0) {
        std::this_thread::sleep_for(std::chrono::microseconds(killAfterUs));
        ::kill(child, SIGKILL);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    if (WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL)
        return TEnd::Killed;
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "status " << status;
    return TEnd::Finished;
}

[[noreturn]] void KillHere()
{
    ::kill(::getpid(), SIGKILL);
    for (;;)
        ::pause();
}

TRatingsArray ByComment(TRatingsArray ratings)
{
    std::sort(ratings.begin(), ratings.end(),
              [](const TRatingRec& a, const TRatingRec& b) { return a.Comment < b.Comment; });
    return ratings;
}

// ---------------------------------------------------------------------------------------------
// Scoring.

class ScoringKillTest : public TCoreTest {
protected:
    static constexpr int Stakes = 5000;   // three blocks of the check

    ScoringKillTest()
    {
        FState.StatList().Config().Cost = TCurrency::FromUnits(10);
        FState.StatList().Config().Profits = {{1, TCurrency::FromUnits(50)}, {2, TCurrency::FromUnits(900)}};
        for (int n = 1; n <= 60; ++n)
            FState.FDraws.push_back(Draw(static_cast<std::uint32_t>(n), n % 10, n * 7 % 10, "x"));
        // Stakes on draws 1..70: the last ten are for draws still to come.
        std::vector<TStakeRec> records;
        for (int i = 0; i < Stakes; ++i) {
            const char* comments[] = {"line A", "LINE a", "line B", "manual"};
            records.push_back(StakeOn(soScript, 1 + i % 70, i % 10, i / 10 % 10, comments[i % 4], -10, 5));
            if (i % 97 == 0)
                records.push_back(InitStakeRec());
        }
        WriteFileBytes(StakesPath(), StakeBytes(records));
        // What stakes deleted long ago left in the ratings.
        FBase = {RatingOf("line a", 40, {30, 9, 1}, -1000000), RatingOf("old", 3, {3, 0, 0}, -300000)};
        WriteRatingsFile(RatingsPath(), FBase);
    }

    QString StakesPath() const { return FState.StakesFileName(); }
    QString RatingsPath() const { return FState.RatingsFileName(); }
    static TRatingRec RatingOf(const char* comment, std::int32_t stakes, std::array<std::int32_t, 3> counts,
                               std::int64_t raw)
    {
        TRatingRec r;
        r.Comment = U(comment);
        r.Stakes = stakes;
        r.MatchCounts = counts;
        r.Matched = counts[1] + 2 * counts[2];
        r.Balance = TCurrency::FromRaw(raw);
        return r;
    }

    // One run of the check as the program does it, from its start on.
    void CheckOnce(const std::function<void(TCheckPoint)>& at)
    {
        TStakesFile file(StakesPath());
        file.Load();
        TRatings ratings(RatingsPath(), &file);
        ratings.LoadRatingsFile();
        ratings.Checkpoint = at;
        TStakeCheck check(file, FState.FDraws, FState.StatList(), ratings);
        check.Checkpoint = at;
        const TStakeCheckResult result = check.CheckStakesAndReload([&ratings] { ratings.SortRatings(); });
        if (result.Failed)
            throw Exception(result.Errors.join('\n'));
    }

    // The next start: every checked stake counted exactly once on top of the old ratings, no
    // mark and no journal left. Returns the number of checked stakes.
    int ExpectAgreementAtStart()
    {
        TStakesFile file(StakesPath());
        file.Load();
        TRatings ratings(RatingsPath(), &file);
        ratings.LoadRatingsFile();
        TRatingsArray want = FBase;
        int checked = 0;
        CheckedStakesOf(file)([&](const TCheckedStake& stake) {
            AddRatingResult(want, stake.Comment, stake.Matched, stake.Balance);
            ++checked;
        });
        EXPECT_EQ(ByComment(ratings.FRatings), ByComment(want));
        EXPECT_EQ(ByComment(ReadRatingsFile(RatingsPath()).Records), ByComment(want));
        EXPECT_TRUE(Collect(MarkedStakesOf(file)) == 0);
        EXPECT_FALSE(QFile::exists(RatingsPath() + ".~chk"));
        return checked;
    }
    static int Collect(const TCheckedStakeSource& source)
    {
        int n = 0;
        source([&n](const TCheckedStake&) { ++n; });
        return n;
    }

    TRatingsArray FBase;
};

TEST_F(ScoringKillTest, KillAtEveryPointLeavesEveryCheckedStakeCountedOnce)
{
    const QByteArray stakes = ReadFileBytes(StakesPath());
    const QByteArray ratings = ReadFileBytes(RatingsPath());
    const int scorable = Stakes - Stakes / 70 * 10 - std::max(0, Stakes % 70 - 60);
    struct TCase {
        const char* Name;
        TCheckPoint Point;
        int Occurrence;   // 0: no kill
        bool SomeChecked; // what the file holds after the kill
    };
    const TCase cases[] = {
        {"no kill", TCheckPoint::ScanDone, 0, true},
        {"after the first block", TCheckPoint::BlockWritten, 1, true},
        {"after the second block", TCheckPoint::BlockWritten, 2, true},
        {"after the last block", TCheckPoint::ScanDone, 1, true},
        {"after the ratings were saved", TCheckPoint::RatingsSaved, 1, true},
        {"after the marks were cleared", TCheckPoint::MarksCleared, 1, true},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        WriteFileBytes(StakesPath(), stakes);
        WriteFileBytes(RatingsPath(), ratings);
        int seen = 0;
        const TEnd end = RunInChild([&] {
            CheckOnce([&](TCheckPoint point) {
                if (point == c.Point && ++seen == c.Occurrence)
                    KillHere();
            });
        });
        EXPECT_EQ(end, c.Occurrence == 0 ? TEnd::Finished : TEnd::Killed);
        const int checked = ExpectAgreementAtStart();
        EXPECT_GT(checked, 0);
        // Run again: the rest is scored and still every stake counts once.
        ASSERT_EQ(RunInChild([&] { CheckOnce(nullptr); }), TEnd::Finished);
        EXPECT_EQ(ExpectAgreementAtStart(), scorable);
    }
}

TEST_F(ScoringKillTest, KillAtRandomMomentsLeavesEveryCheckedStakeCountedOnce)
{
    const QByteArray stakes = ReadFileBytes(StakesPath());
    const QByteArray ratings = ReadFileBytes(RatingsPath());
    // How long a whole check takes here, so that the kills fall inside it.
    const auto started = std::chrono::steady_clock::now();
    ASSERT_EQ(RunInChild([&] { CheckOnce(nullptr); }), TEnd::Finished);
    const auto span = std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() - started);
    std::mt19937 random(20240611);
    for (int round = 0; round < 12; ++round) {
        SCOPED_TRACE(round);
        WriteFileBytes(StakesPath(), stakes);
        WriteFileBytes(RatingsPath(), ratings);
        QFile::remove(RatingsPath() + ".~chk");
        const int after = static_cast<int>(random() % static_cast<std::uint32_t>(std::max<long long>(span.count(), 1)));
        RunInChild([&] { CheckOnce(nullptr); }, after);
        ExpectAgreementAtStart();
        ASSERT_EQ(RunInChild([&] { CheckOnce(nullptr); }), TEnd::Finished);
        ExpectAgreementAtStart();
    }
}

// ---------------------------------------------------------------------------------------------
// Regular stakes.

class RegularKillTest : public TCoreTest {
protected:
    RegularKillTest()
    {
        FState.StatList().Config().Cost = TCurrency::FromUnits(10);
        for (int n = 1; n <= 40; ++n)
            FState.FDraws.push_back(Draw(static_cast<std::uint32_t>(100 + n), n % 10, n * 3 % 10, "x"));
        FState.Options.SetValue(TMainOptions::TabTables, 1);
        TRegularStakes tables(FState);
        tables.FTables = {Rule("fixed", 1, 8, 3, false), Rule("last draw", 0, 0, -1, true), Rule("zero", 5, 5, 0, false)};
        tables.SaveTablesFile();
        WriteFileBytes(FState.StakesFileName(), QByteArray());
    }

    static TTableRec Rule(const char* name, int d1, int d2, int step, bool useLastDraw)
    {
        TTableRec rec;
        rec.Comment.Set(U(name));
        rec.UseLastDraw = useLastDraw;
        rec.StartComb = rec.CurrComb = C(d1, d2);
        rec.Step = step;
        return rec;
    }

    // One test of the three rules over `count` past draws as the program runs it.
    void TestOnce(int count, const std::function<void(int appended)>& beforeAppend,
                  const std::function<void(TTablesPoint)>& at)
    {
        TStakesFile file(FState.StakesFileName());
        file.Load();
        TStakeCommands commands(FState, file);
        TRegularStakes tables(FState);
        tables.Stakes = &file;
        tables.LoadTablesFile();
        int appended = 0;
        tables.CreateStakes = [&](const TStakeRec& rec, int drawCount, bool batch) {
            if (beforeAppend)
                beforeAppend(appended);
            ++appended;
            return commands.CreateStakes(rec, drawCount, batch);
        };
        tables.CheckStakes = [&] {
            TRatings ratings(FState.RatingsFileName(), &file);
            TStakeCheck check(file, FState.FDraws, FState.StatList(), ratings);
            check.CheckStakesAndReload([&ratings] { ratings.SortRatings(); });
        };
        tables.AskTestCount = [count](int) { return count; };
        tables.Checkpoint = at;
        if (!tables.TablesStakeTest({0, 1, 2}))
            throw Exception(QStringLiteral("test failed"));
    }

    // Every rule has moved on by exactly the stakes it made, and its current combination is
    // that of its last stake. Returns the number of stakes.
    int ExpectAgreementAtStart()
    {
        TStakesFile file(FState.StakesFileName());
        file.Load();
        TRegularStakes tables(FState);
        tables.Stakes = &file;
        tables.LoadTablesFile();
        EXPECT_FALSE(QFile::exists(tables.JournalFileName()));
        const std::vector<TStakeRec> stakes = AllStakes(file);
        for (const TTableRec& rule : tables.FTables) {
            int made = 0;
            TCombWord last = rule.StartComb;
            for (const TStakeRec& stake : stakes) {
                if (stake.Comment == rule.Comment) {
                    ++made;
                    last = MakeComb(stake.Digits.Digits[0], stake.Digits.Digits[1]);
                }
            }
            EXPECT_EQ(rule.StakesMade, made) << rule.Comment.Get().toStdString();
            EXPECT_EQ(rule.CurrComb, last) << rule.Comment.Get().toStdString();
        }
        return static_cast<int>(stakes.size());
    }
};

TEST_F(RegularKillTest, KillWhileStakesAreMadeLeavesRulesAndStakesInStep)
{
    const QByteArray rules = ReadFileBytes(TRegularStakes(FState).FileName());
    struct TCase {
        const char* Name;
        int KillBeforeAppend;   // -1: none
        std::optional<TTablesPoint> KillAt;
    };
    const TCase cases[] = {
        {"no kill", -1, std::nullopt},
        {"before the first stake", 0, std::nullopt},
        {"after seven stakes", 7, std::nullopt},
        {"after the last stake", -1, TTablesPoint::StakesMade},
        {"after the rules were saved", -1, TTablesPoint::RulesSaved},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        WriteFileBytes(FState.StakesFileName(), QByteArray());
        WriteFileBytes(TRegularStakes(FState).FileName(), rules);
        const bool kills = c.KillBeforeAppend >= 0 || c.KillAt;
        const TEnd end = RunInChild([&] {
            TestOnce(
                10,
                [&](int appended) {
                    if (appended == c.KillBeforeAppend)
                        KillHere();
                },
                [&](TTablesPoint point) {
                    if (c.KillAt && point == *c.KillAt)
                        KillHere();
                });
        });
        EXPECT_EQ(end, kills ? TEnd::Killed : TEnd::Finished);
        const int kept = ExpectAgreementAtStart();
        EXPECT_EQ(kept, c.KillAt == TTablesPoint::RulesSaved || !kills ? 30 : 0);
        // The next run makes its stakes once more, and the rules follow.
        ASSERT_EQ(RunInChild([&] { TestOnce(10, nullptr, nullptr); }), TEnd::Finished);
        EXPECT_EQ(ExpectAgreementAtStart(), kept + 30);
    }
}

}  // namespace
