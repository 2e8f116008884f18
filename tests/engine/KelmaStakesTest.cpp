#include "engine/KelmaStakes.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>

namespace {

using TBytes = std::array<std::uint8_t, StakeRecSize>;

TStakeRec SampleStake()
{
    TStakeRec rec;
    rec.Origin = soScript;
    rec.DrawNumber = 0x01020304;
    rec.Checked = 1;
    rec.SelectionSize = 37;
    rec.Digits = {2, {7, 3, 0, 0}};
    rec.DrawResult = MakeComb(7, 5);
    rec.Matches = {1, {7, 0, 0, 0}};
    rec.Balance = TCurrency::FromRaw(-123456789);   // -12 345,6789
    rec.Comment.Set(QStringLiteral("Яя"));
    return rec;
}

TEST(KelmaStakesTest, GoldenBytes)
{
    TBytes golden{};
    golden[0] = 2;                                   // version
    golden[1] = 3;                                   // origin
    golden[4] = 0x04; golden[5] = 0x03; golden[6] = 0x02; golden[7] = 0x01;
    golden[8] = 1;                                   // checked
    golden[12] = 37;                                 // selection size
    golden[16] = 2; golden[20] = 7; golden[21] = 3;  // staked digits
    golden[24] = 7; golden[25] = 5;                  // draw result
    golden[28] = 1; golden[32] = 7;                  // matched digits
    // -123456789 = 0xFFFFFFFFF8A432EB
    const std::array<std::uint8_t, 8> balance{0xEB, 0x32, 0xA4, 0xF8, 0xFF, 0xFF, 0xFF, 0xFF};
    std::copy(balance.begin(), balance.end(), golden.begin() + 40);
    golden[48] = 2; golden[49] = 0xDF; golden[50] = 0xFF;   // "Яя" in cp1251

    TBytes bytes;
    bytes.fill(0xAA);   // every gap must come out as zero
    WriteStakeRec(SampleStake(), bytes.data());
    EXPECT_EQ(bytes, golden);
    EXPECT_EQ(ReadStakeRec(golden.data()), SampleStake());
    EXPECT_EQ(ReadStakeRec(golden.data()).Comment.Get(), QStringLiteral("Яя"));
}

TEST(KelmaStakesTest, RatingMarkIsTheByteAfterChecked)
{
    // A stake scored by a check whose ratings are not saved yet: only byte 9 differs from the
    // same stake once its rating is saved, and it reads back as the mark.
    TStakeRec marked = SampleStake();
    marked.RatingPending = 1;
    TBytes plain, bytes;
    WriteStakeRec(SampleStake(), plain.data());
    WriteStakeRec(marked, bytes.data());
    for (int i = 0; i < StakeRecSize; ++i)
        EXPECT_EQ(bytes[static_cast<size_t>(i)], i == 9 ? 1 : plain[static_cast<size_t>(i)]) << i;
    EXPECT_EQ(ReadStakeRec(bytes.data()), marked);
    EXPECT_EQ(ReadStakeRec(plain.data()).RatingPending, 0);
}

TEST(KelmaStakesTest, SeparatorBytes)
{
    TBytes bytes;
    bytes.fill(0x55);
    WriteStakeRec(InitStakeRec(), bytes.data());
    TBytes golden{};
    golden[0] = 2;
    golden[4] = golden[5] = golden[6] = golden[7] = 0xFF;    // draw number -1
    golden[28] = golden[29] = golden[30] = golden[31] = 0xFF; // matched count -1
    EXPECT_EQ(bytes, golden);
    EXPECT_FALSE(InitStakeRec().IsStake());
    EXPECT_FALSE(InitStakeRec().IsDamaged());
}

TEST(KelmaStakesTest, CommentBytesSurviveUnchanged)
{
    // Bytes that are no character (0x98 in cp1251) and stale bytes after the length must
    // come back exactly, so that scoring a stake in place never changes its comment.
    TBytes bytes{};
    WriteStakeRec(SampleStake(), bytes.data());
    bytes[48] = 3;
    bytes[49] = 0x98; bytes[50] = 'a'; bytes[51] = 'b'; bytes[52] = 'c';
    TBytes again;
    WriteStakeRec(ReadStakeRec(bytes.data()), again.data());
    EXPECT_EQ(again, bytes);
}

TEST(KelmaStakesTest, DamagedCounts)
{
    struct TCase {
        std::int32_t drawNumber, staked, matched;
        bool damaged;
    };
    const TCase cases[] = {
        {5, 2, -1, false}, {5, 1, 0, false}, {5, 4, 2, false},
        {5, 0, -1, true},  {5, 5, -1, true}, {5, -3, 1, true},
        {5, 2, 3, true},   {5, 2, -2, true}, {5, 2, 7, true},
        {-1, 0, -1, false},   // a separator has no staked digits
        {-1, 0, 9, true},
    };
    for (const TCase& c : cases) {
        TStakeRec rec;
        rec.DrawNumber = c.drawNumber;
        rec.Digits.Count = c.staked;
        rec.Matches.Count = c.matched;
        EXPECT_EQ(rec.IsDamaged(), c.damaged) << c.drawNumber << ' ' << c.staked << ' ' << c.matched;
    }
}

}  // namespace
