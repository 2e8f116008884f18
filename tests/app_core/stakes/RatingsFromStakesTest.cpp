// The ratings refresh reading the stakes file.

#include "app/core/stakes/RatingsFromStakes.h"

#include "app/core/stakes/RatingsFile.h"
#include "app/core/stakes/StakesFile.h"
#include "platform/Exceptions.h"
#include "platform/SaveFile.h"
#include "support/RDialogs.h"
#include "support/RDialogsScripted.h"
#include "tests/common/TestHelpers.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <limits>
#include <vector>

namespace {

TStakeRec Stake(std::int32_t draw, int matched, std::int64_t balanceUnits, const char* comment)
{
    TStakeRec rec = StakeOn(soScript, draw, 1, 2, comment, balanceUnits);
    rec.Checked = matched >= 0 ? 1 : 0;
    rec.Matches.Count = matched;
    return rec;
}

struct TSeen {
    QString Comment;
    int Matched;
    std::int64_t BalanceRaw;
    bool operator==(const TSeen&) const = default;
};

std::vector<TSeen> Collect(const TCheckedStakeSource& source)
{
    std::vector<TSeen> seen;
    source([&seen](const TCheckedStake& s) { seen.push_back({s.Comment, s.Matched, s.Balance.Raw()}); });
    return seen;
}

class RatingsFromStakesTest : public ::testing::Test {
protected:
    QString StakesPath() const { return FDir.filePath(QString::fromLatin1(TStakesFile::BaseName)); }
    QTemporaryDir FDir;
};

TEST_F(RatingsFromStakesTest, OnlyCheckedSoundStakesReachTheSinkInFileOrder)
{
    TStakeRec damagedMatch = Stake(12, 1, 5, "bad");
    damagedMatch.Matches.Count = 7;   // would index past the three counters
    TStakeRec damagedDigits = Stake(12, 1, 5, "bad");
    damagedDigits.Digits.Count = 9;
    SaveFileAtomic(StakesPath(), StakeBytes({
                                     Stake(10, 2, 80, "Alpha"),
                                     InitStakeRec(),              // separator: draw -1
                                     Stake(11, -1, -10, "Alpha"), // not scored yet
                                     damagedMatch,
                                     damagedDigits,
                                     Stake(0, 0, -10, "zero draw"),
                                     Stake(11, 1, 0, "beta"),
                                 }));
    TStakesFile file(StakesPath());
    file.Open();
    const std::vector<TSeen> expected = {
        {U("Alpha"), 2, 800000},
        {U("zero draw"), 0, -100000},
        {U("beta"), 1, 0},
    };
    EXPECT_EQ(Collect(CheckedStakesOf(file)), expected);
    // The source reads the file anew on each call.
    file.AppendStake(Stake(13, -1, -10, "later"), 1);
    EXPECT_EQ(Collect(CheckedStakesOf(file)), expected);
}

TEST_F(RatingsFromStakesTest, ReadsPastItsChunksAndAnEmptyFileGivesNothing)
{
    std::vector<TStakeRec> many;
    for (int i = 0; i < 4100; ++i)
        many.push_back(Stake(100 + i, i % 3, i % 3 == 2 ? 70 : -10, i == 4099 ? "last" : "bulk"));
    SaveFileAtomic(StakesPath(), StakeBytes(many));
    TStakesFile file(StakesPath());
    file.Open();
    const std::vector<TSeen> seen = Collect(CheckedStakesOf(file));
    ASSERT_EQ(seen.size(), 4100u);
    EXPECT_EQ(seen[4095], (TSeen{U("bulk"), 4095 % 3, -100000}));
    EXPECT_EQ(seen.back(), (TSeen{U("last"), 4099 % 3, -100000}));

    SaveFileAtomic(FDir.filePath("empty.lsk"), QByteArray());
    TStakesFile empty(FDir.filePath("empty.lsk"));
    empty.Open();
    EXPECT_TRUE(Collect(CheckedStakesOf(empty)).empty());
}

TEST_F(RatingsFromStakesTest, RefreshGroupsByCommentAndAClosedFileKeepsTheOldRatings)
{
    SaveFileAtomic(StakesPath(), StakeBytes({Stake(10, 1, 80, "Line"), Stake(11, 0, -10, "LINE"), Stake(12, 2, 890, "x")}));
    TStakesFile file(StakesPath());
    file.Open();
    TRatings ratings(FDir.filePath("r.lrt"));
    ratings.SortColumn = 1;   // by stakes, descending
    ASSERT_TRUE(ratings.RefreshRatings(CheckedStakesOf(file)));
    ASSERT_EQ(ratings.FRatings.size(), 2u);
    EXPECT_EQ(ratings.FRatings[0].Comment, U("Line"));
    EXPECT_EQ(ratings.FRatings[0].Stakes, 2);
    EXPECT_EQ(ratings.FRatings[0].Matched, 1);
    EXPECT_EQ(ratings.FRatings[0].MatchCounts, (std::array<std::int32_t, 3>{1, 1, 0}));
    EXPECT_EQ(ratings.FRatings[0].Balance.Raw(), 700000);
    EXPECT_EQ(ratings.FRatings[1].Comment, U("x"));

    // Without the file nothing can be read: the refresh raises after the Yes and the ratings
    // stay as they were.
    file.Close();
    const TRatingsArray before = ratings.FRatings;
    TScriptedBoxes boxes;
    boxes.Answer(IDYES);
    EXPECT_THROW(ratings.RefreshRatings(CheckedStakesOf(file)), Exception);
    EXPECT_EQ(boxes.Boxes().size(), 1);
    EXPECT_EQ(ratings.FRatings, before);
}

TEST_F(RatingsFromStakesTest, RefreshOfStakesWithTheLargestAmountsNeverFails)
{
    constexpr std::int64_t RawMax = std::numeric_limits<std::int64_t>::max();
    TStakeRec big = Stake(10, 2, 0, "big");
    big.Balance = TCurrency::FromRaw(RawMax);
    TStakeRec low = Stake(11, 0, 0, "low");
    low.Balance = TCurrency::FromRaw(std::numeric_limits<std::int64_t>::min());
    SaveFileAtomic(StakesPath(), StakeBytes({big, big, low, low, Stake(12, 1, 40, "big")}));
    TStakesFile file(StakesPath());
    file.Open();
    TRatings ratings(FDir.filePath("r.lrt"));
    ratings.SortColumn = 0;
    ratings.SortDescending = false;
    EXPECT_NO_THROW(ASSERT_TRUE(ratings.RefreshRatings(CheckedStakesOf(file))));
    ASSERT_EQ(ratings.FRatings.size(), 2u);
    // 2 x the largest amount and then 40 more: the total stays at the largest.
    EXPECT_EQ(ratings.FRatings[0].Comment, U("big"));
    EXPECT_EQ(ratings.FRatings[0].Stakes, 3);
    EXPECT_EQ(ratings.FRatings[0].Matched, 5);
    EXPECT_EQ(ratings.FRatings[0].Balance.Raw(), RawMax);
    EXPECT_EQ(ratings.FRatings[1].Balance.Raw(), std::numeric_limits<std::int64_t>::min());
    EXPECT_EQ(ReadRatingsFile(FDir.filePath("r.lrt")).Records, ratings.FRatings);
}

TEST_F(RatingsFromStakesTest, MarkedStakesAreTheCheckedOnesWithAMark)
{
    TStakeRec marked = Stake(10, 1, 40, "m");
    marked.RatingPending = 1;
    TStakeRec markedUnchecked = Stake(11, -1, -10, "m");
    markedUnchecked.RatingPending = 1;   // only a check sets marks, and only on what it scored
    TStakeRec markedDamaged = marked;
    markedDamaged.Matches.Count = 5;
    SaveFileAtomic(StakesPath(), StakeBytes({marked, Stake(12, 2, 890, "plain"), markedUnchecked, markedDamaged, marked}));
    TStakesFile file(StakesPath());
    file.Open();
    EXPECT_EQ(Collect(MarkedStakesOf(file)), (std::vector<TSeen>{{U("m"), 1, 400000}, {U("m"), 1, 400000}}));
    EXPECT_EQ(Collect(CheckedStakesOf(file)).size(), 3u);
}

} // namespace
