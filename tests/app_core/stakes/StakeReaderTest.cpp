// Records of the stakes file read in place, and the one reader every scan of the file uses.

#include "app/core/stakes/StakeReader.h"

#include "app/core/stakes/RatingsFromStakes.h"
#include "app/core/stakes/StakeCheck.h"
#include "app/core/stakes/StakeGraphs.h"
#include "app/core/stakes/StakesFile.h"
#include "platform/Exceptions.h"
#include "tests/app_core/CoreTestEnv.h"

#include <vector>

namespace {

TStakeRec WithCounts(TStakeRec rec, std::int32_t staked, std::int32_t matched)
{
    rec.Digits.Count = staked;
    rec.Matches.Count = matched;
    return rec;
}

TStakeRec CheckedWith(std::int32_t matched)
{
    return Scored(StakeOn(soScript, 7, 1, 2, "A"), 1, 5, {matched, {1, 0, 0, 0}}, 40);
}

TEST(StakeViewTest, FieldsAndKindsReadWhereTheRecordLies)
{
    struct TCase {
        const char* Name;
        TStakeRec Rec;
        bool Damaged, Awaits, Settled, Scored;
    };
    TStakeRec zeroDraw = CheckedWith(0);
    zeroDraw.DrawNumber = 0;
    const TStakeRec unchecked = StakeOn(soManual, 7, 3, 4, "Ставка", -10, 40);
    const TCase cases[] = {
        {"separator", InitStakeRec(), false, false, true, false},
        {"unchecked combination", unchecked, false, true, false, false},
        {"unchecked single digit: never scored", WithCounts(unchecked, 1, -1), false, false, true, false},
        {"unchecked four digits", WithCounts(unchecked, 4, -1), false, true, false, false},
        {"staked count 0", WithCounts(unchecked, 0, -1), true, false, false, false},
        {"staked count 5", WithCounts(unchecked, 5, -1), true, false, false, false},
        {"matched count -2", WithCounts(unchecked, 2, -2), true, false, false, false},
        {"checked, one match", CheckedWith(1), false, false, true, true},
        {"checked, matched count 3", CheckedWith(3), true, false, false, false},
        {"checked, matched count -1: nothing to rate", CheckedWith(-1), false, false, true, false},
        {"checked for draw 0", zeroDraw, false, false, true, true},
        {"separator with a staked count of 9: not a stake", WithCounts(InitStakeRec(), 9, -1), false, false, true, false},
        {"separator with a matched count of 7", WithCounts(InitStakeRec(), 0, 7), true, false, false, false},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        const QByteArray bytes = StakeBytes({c.Rec});
        const TStakeView view(reinterpret_cast<const std::uint8_t*>(bytes.constData()));
        EXPECT_EQ(view.IsDamaged(), c.Damaged);
        EXPECT_EQ(view.IsDamaged(), c.Rec.IsDamaged());
        EXPECT_EQ(view.AwaitsCheck(), c.Awaits);
        EXPECT_EQ(view.Settled(), c.Settled);
        EXPECT_EQ(view.IsScored(), c.Scored);
        EXPECT_EQ(view.IsStake(), c.Rec.IsStake());
        EXPECT_EQ(view.DrawNumber(), c.Rec.DrawNumber);
        EXPECT_EQ(view.Checked(), c.Rec.Checked != 0);
        EXPECT_EQ(view.Digits(), c.Rec.Digits);
        EXPECT_EQ(view.MatchedCount(), c.Rec.Matches.Count);
        EXPECT_EQ(view.Balance(), c.Rec.Balance);
        EXPECT_EQ(view.Comment(), c.Rec.Comment.Get());
        EXPECT_EQ(view.Record(), c.Rec);
    }
}

TEST(StakeViewTest, CommentFieldIsTheStoredBytes)
{
    TStakeRec rec = StakeOn(soScript, 3, 1, 2, "Ряд");
    rec.RatingPending = 1;
    QByteArray bytes = StakeBytes({rec});
    const TStakeView view(reinterpret_cast<const std::uint8_t*>(bytes.constData()));
    EXPECT_EQ(view.CommentField().toByteArray(), QByteArray("\x03") + Cp("Ряд"));
    EXPECT_TRUE(view.RatingPending());
    // A length byte of 255 takes the whole field and no byte past it.
    bytes[StakeOffset::Comment] = char(255);
    const TStakeView longest(reinterpret_cast<const std::uint8_t*>(bytes.constData()));
    EXPECT_EQ(longest.CommentField().size(), 256);
    EXPECT_EQ(longest.Comment().size(), 255);
}

class StakeReaderTest : public TCoreTest {
protected:
    QString Path() const { return FDir.filePath(QString::fromLatin1(TStakesFile::BaseName)); }
    // Stakes whose draw number is their index + 1.
    void Start(int count)
    {
        std::vector<TStakeRec> records;
        for (int i = 0; i < count; ++i)
            records.push_back(StakeOn(soScript, i + 1, i % 10, 0, "s"));
        WriteFileBytes(Path(), StakeBytes(records));
        FFile.Load();
    }

    TStakesFile FFile{Path()};
};

TEST_F(StakeReaderTest, ReadsTheAskedRecordsBlockByBlock)
{
    constexpr qint64 B = TStakeReader::BlockRecords;
    const int total = static_cast<int>(2 * B + 5);
    Start(total);
    struct TCase {
        qint64 First, Count;
        qint64 From, To;          // records read, [From, To)
        std::vector<qint64> Blocks;   // records per block
    };
    const TCase cases[] = {
        {0, -1, 0, total, {B, B, 5}},
        {B - 1, -1, B - 1, total, {B, 6}},
        {total - 1, -1, total - 1, total, {1}},
        {total, -1, total, total, {}},
        {total + 50, 3, total, total, {}},
        {-5, 3, 0, 3, {3}},
        {10, 0, 10, 10, {}},
        {4000, 500, 4000, total, {total - 4000}},
        {1, B, 1, B + 1, {B}},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(testing::Message() << c.First << " + " << c.Count);
        TStakeReader reader(FFile, c.First, c.Count);
        EXPECT_EQ(reader.End(), c.To);
        std::vector<qint64> blocks;
        qint64 next = c.From;
        while (reader.NextBlock()) {
            ASSERT_EQ(reader.First(), next);
            blocks.push_back(reader.Count());
            for (qint64 k = 0; k < reader.Count(); ++k)
                ASSERT_EQ(reader.At(k).DrawNumber(), reader.First() + k + 1);
            next += reader.Count();
        }
        EXPECT_EQ(next, c.To);
        EXPECT_EQ(blocks, c.Blocks);
        EXPECT_EQ(reader.Count(), 0);
        EXPECT_FALSE(reader.NextBlock());
    }
}

TEST_F(StakeReaderTest, ClosedEmptyOrGrowingFiles)
{
    TStakesFile closed(FDir.filePath("closed.lsk"));
    try {
        TStakeReader reader(closed);
        ADD_FAILURE() << "a closed file was read";
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message(), U("Файл ставок не открыт!"));
    }

    Start(0);
    TStakeReader empty(FFile);
    EXPECT_FALSE(empty.NextBlock());

    // The file is measured once: what is appended during a scan is left to the next one.
    Start(3);
    TStakeReader reader(FFile);
    FFile.AppendStake(StakeOn(soManual, 50, 1, 1, "later"), 1);
    qint64 read = 0;
    while (reader.NextBlock())
        read += reader.Count();
    EXPECT_EQ(read, 3);
}

// Every scan passes damaged records over by the same rule: the check counts them, the ratings
// refresh and the graphs leave them out, the deletion copies them as stored, and the duplicate
// test compares their digits as stored.
TEST_F(StakeReaderTest, DamagedRecordsAreTheSameToEveryScan)
{
    const TStakeRec sound = Scored(StakeOn(soScript, 2, 5, 9, "A"), 5, 9, {2, {5, 9}}, 890);
    TStakeRec badMatches = sound;
    badMatches.Digits.Digits = {6, 6, 0, 0};
    badMatches.Matches.Count = 7;
    badMatches.Balance = TCurrency::FromUnits(5000);
    TStakeRec badDigits = StakeOn(soScript, 2, 4, 4, "A", -10);
    badDigits.Digits.Count = 0;
    const TStakeRec waiting = StakeOn(soScript, 3, 1, 2, "B");
    const std::vector<TStakeRec> records = {sound, badMatches, InitStakeRec(), badDigits, waiting};
    const QByteArray original = StakeBytes(records);
    WriteFileBytes(Path(), original);
    FFile.Load();

    int rated = 0;
    CheckedStakesOf(FFile)([&rated](const TCheckedStake& stake) {
        EXPECT_EQ(stake.Matched, 2);
        ++rated;
    });
    EXPECT_EQ(rated, 1);

    // Draw 2 sums the sound stake alone; draw 3 only the waiting one.
    const TGraphPoints points = StakesProfitByDraws(FFile);
    ASSERT_EQ(points.size(), 6);
    EXPECT_EQ(points[0].X, 2);
    EXPECT_DOUBLE_EQ(points[0].Y, 890);
    EXPECT_EQ(points[3].X, 3);
    EXPECT_DOUBLE_EQ(points[3].Y, -10);

    EXPECT_TRUE(FFile.StakeExists(2, badMatches.Digits));
    EXPECT_TRUE(FFile.StakeExists(2, badDigits.Digits));
    EXPECT_FALSE(FFile.StakeExists(3, badDigits.Digits));

    TStatList stats;
    stats.Config().Cost = TCurrency::FromUnits(10);
    TRatingsArray ratings;
    const TDrawsArray draws = {Draw(2, 5, 9, "x"), Draw(3, 1, 7, "x")};
    const TStakeCheckResult result = TStakeCheck(FFile, draws, stats, ratings).CheckStakes();
    EXPECT_EQ(result.DamagedCount, 2);
    EXPECT_EQ(result.ScoredCount, 1);
    EXPECT_EQ(ReadFileBytes(Path()).left(4 * StakeRecSize), original.left(4 * StakeRecSize));

    // A keep-test that keeps every record but the waiting stake copies the damaged ones as
    // they are stored.
    EXPECT_EQ(FFile.DeleteStakes([](qint64 index, const TStakeRec&) { return index != 4; }), 1);
    EXPECT_EQ(ReadFileBytes(Path()), original.left(4 * StakeRecSize));
}

}  // namespace
