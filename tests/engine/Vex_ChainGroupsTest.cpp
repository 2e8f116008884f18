#include "engine/Vex_Chain.h"

#include "tests/fixtures/ArchiveFixtures.h"
#include "tests/fixtures/StatFixtures.h"

#include <gtest/gtest.h>

namespace {

void ExpectRow(const TStatDrawArray& table, std::array<std::uint16_t, 3> key, int hits,
               std::uint32_t drawNo, std::uint32_t age)
{
    const TStatValueRec* row = FindStatValue(table, key[0], key[1], key[2]);
    ASSERT_NE(row, nullptr) << key[0] << "," << key[1] << "," << key[2];
    EXPECT_EQ(row->Hits, hits) << key[0] << "," << key[1] << "," << key[2];
    EXPECT_EQ(row->DrawNo, drawNo) << key[0] << "," << key[1] << "," << key[2];
    EXPECT_EQ(row->Age, age) << key[0] << "," << key[1] << "," << key[2];
}

}  // namespace

TEST(ChainChannelsTest, TransitionsOfChannels)
{
    // Channels of size 2: 3,5 -> 2,3; 1,2 -> 1,2; 3,7 -> 2,4; 4,4 -> 3,3; 4,5 -> 3,3; 3,4 -> 2,3.
    TStatFixture fx(SixDrawArchive());
    const int last = fx.LastIndex();

    TstChain2ChannelsPos scp2(fx.List, 0);
    const TStatDrawArray pos = RunStatTable(scp2, 0, last);
    ASSERT_EQ(pos.size(), 4u);
    ExpectRow(pos, {2, 1, 0}, 1, 2, 5);
    ExpectRow(pos, {3, 2, 0}, 1, 2, 5);
    ExpectRow(pos, {2, 3, 0}, 1, 4, 3);
    ExpectRow(pos, {3, 3, 0}, 2, 6, 1);
    EXPECT_EQ(FindStatValue(pos, 3, 3)->MinGap, 1);
    EXPECT_EQ(scp2.ValueText(pos[0]), "02 -> 01");

    TstChain2Channel scn2(fx.List, 2);
    const TStatDrawArray second = RunStatTable(scn2, 0, last);
    ASSERT_EQ(second.size(), 2u);
    ExpectRow(second, {3, 3, 0}, 2, 6, 1);

    TstChain2ChannelsAll scv2(fx.List, 0);
    const TStatDrawArray all = RunStatTable(scv2, 0, last);
    ASSERT_EQ(all.size(), 7u);
    ExpectRow(all, {2, 2, 0}, 2, 3, 4);
    ExpectRow(all, {3, 2, 0}, 3, 6, 1);
    ExpectRow(all, {3, 3, 0}, 6, 6, 1);
    ExpectRow(all, {2, 4, 0}, 1, 3, 4);

    // A selected channel keeps every combination with a digit in it.
    EXPECT_EQ(FilterCombs(scp2, {StatKeyValue(2, 5)}, last).size(), 36u);

    // Channels of size 3 (0-2, 3-5, 6-8, 9): 3,5 -> 2,2 and 1,2 -> 1,1; three-draw chains.
    TStatFixture wide(MakeDraws({{3, 5}, {1, 2}, {9, 6}, {4, 3}, {0, 1}, {7, 8}, {5, 4}, {2, 0}}));
    wide.List.Config().ChannelSize = 3;
    TstChain3ChannelsPos scp3(wide.List, 0);
    const TStatDrawArray three = RunStatTable(scp3, 0, wide.LastIndex());
    // (R2, R) = (2,2) then (1,1): met before at draws 1-2 (then 9,6: channels 4,3) and 4-5
    // (then 7,8: channels 3,3).
    ASSERT_EQ(three.size(), 2u);
    ExpectRow(three, {2, 1, 4}, 1, 3, 6);
    ExpectRow(three, {2, 1, 3}, 3, 6, 3);
    EXPECT_EQ(scp3.ValueText(three[0]), "02-01 -> 04");
}

TEST(ChainChannelsTest, CountsInOneChannel)
{
    // Digits in channel 2 (2, 3): 1, 1, 1, 0, 0, 1. The reference draw has 1.
    TStatFixture fx(SixDrawArchive());
    const int last = fx.LastIndex();
    TstChain2CnlCnt sc2c(fx.List, 2);
    const TStatDrawArray table = RunStatTable(sc2c, 0, last);
    // Pre-filled (1, 0..2) in that order, then the transitions from a count of 1.
    ASSERT_EQ(table.size(), 3u);
    EXPECT_EQ(table[0].Key, StatKeyValue(1, 0).Key);
    EXPECT_EQ(table[2].Key, StatKeyValue(1, 2).Key);
    ExpectRow(table, {1, 0, 0}, 1, 4, 3);
    ExpectRow(table, {1, 1, 0}, 2, 3, 4);
    ExpectRow(table, {1, 2, 0}, 0, 0, 0);
    EXPECT_EQ(FindStatValue(table, 1, 1)->MaxGap, 1);
    // The filter counts the combination's digits in the channel.
    EXPECT_EQ(FilterCombs(sc2c, {StatKeyValue(1, 2)}, last).size(), 4u);
    EXPECT_EQ(FilterCombs(sc2c, {StatKeyValue(1, 0)}, last).size(), 64u);

    // Channel 2 over three draws: counts 1,1,0 repeat; (R2, R) = (1, 1).
    TStatFixture rep(MakeDraws({{1, 2}, {3, 4}, {5, 6}, {1, 2}, {3, 4}, {7, 6}, {1, 2}, {3, 4}}));
    TstChain3CnlCnt sc3c(rep.List, 2);
    const TStatDrawArray three = RunStatTable(sc3c, 0, rep.LastIndex());
    ASSERT_EQ(three.size(), 3u);
    ExpectRow(three, {1, 1, 0}, 2, 6, 3);
    EXPECT_EQ(FindStatValue(three, 1, 1, 0)->MinGap, 3);
    ExpectRow(three, {1, 1, 2}, 0, 0, 0);
    EXPECT_EQ(FilterCombs(sc3c, {StatKeyValue(1, 1, 1)}, rep.LastIndex()).size(), 32u);

    // An absurd channel size from the settings file pre-fills no more than ten counts.
    fx.List.Config().ChannelSize = 1000000;
    TstChain2CnlCnt huge(fx.List, 1);
    TStatDrawArray prefill;
    huge.InitValues(last, prefill);
    EXPECT_EQ(prefill.size(), 11u);
}

TEST(ChainChannelsTest, InsideChannelEdgeCases)
{
    // d = 4 (channel 3 with size 2), C = 5,0: one transition 4 -> 5.
    TStatFixture hit(MakeDraws({{4, 6}, {5, 0}, {4, 7}}));
    const int last = hit.LastIndex();
    TstChainChannels2InsideAll sda2(hit.List, 0);
    TstChainChannels2InsideSuc sdg2(hit.List, 0);
    TstChainChannels2InsideBad sdz2(hit.List, 0);
    TstChainChannels2InsideCnt sdc2(hit.List, 0);
    TStatDrawArray table = RunStatTable(sda2, 0, last);
    ASSERT_EQ(table.size(), 1u);
    ExpectRow(table, {4, 5, 0}, 1, 2, 2);
    EXPECT_EQ(RunStatTable(sdg2, 0, last).size(), 1u);
    EXPECT_TRUE(RunStatTable(sdz2, 0, last).empty());
    table = RunStatTable(sdc2, 0, last);
    ASSERT_EQ(table.size(), 1u);
    ExpectRow(table, {4, 1, 0}, 1, 2, 2);

    // C = 1,8: nothing in channel 3, recorded as 4 -> 0.
    TStatFixture miss(MakeDraws({{4, 6}, {1, 8}, {4, 7}}));
    TstChainChannels2InsideAll missAll(miss.List, 0);
    TstChainChannels2InsideSuc missSuc(miss.List, 0);
    TstChainChannels2InsideBad missBad(miss.List, 0);
    TstChainChannels2InsideCnt missCnt(miss.List, 0);
    table = RunStatTable(missAll, 0, last);
    ASSERT_EQ(table.size(), 1u);
    ExpectRow(table, {4, 0, 0}, 1, 2, 2);
    EXPECT_TRUE(RunStatTable(missSuc, 0, last).empty());
    table = RunStatTable(missBad, 0, last);
    ASSERT_EQ(table.size(), 1u);
    EXPECT_EQ(missBad.ValueText(table[0]), "04 -> 00");
    table = RunStatTable(missCnt, 0, last);
    ExpectRow(table, {4, 0, 0}, 1, 2, 2);

    // d = 1, C = 0,9: the transition to the digit 0 leaves word 2 at 0, so the whole class
    // counts it twice (once as a transition, once as "none") and SDZ2 counts it too.
    TStatFixture zero(MakeDraws({{1, 6}, {0, 9}, {1, 7}}));
    TstChainChannels2InsideAll zeroAll(zero.List, 0);
    TstChainChannels2InsideSuc zeroSuc(zero.List, 0);
    TstChainChannels2InsideBad zeroBad(zero.List, 0);
    TstChainChannels2InsideCnt zeroCnt(zero.List, 0);
    table = RunStatTable(zeroAll, 0, last);
    ExpectRow(table, {1, 0, 0}, 2, 2, 2);
    table = RunStatTable(zeroSuc, 0, last);
    ExpectRow(table, {1, 0, 0}, 1, 2, 2);
    table = RunStatTable(zeroBad, 0, last);
    ExpectRow(table, {1, 0, 0}, 1, 2, 2);
    table = RunStatTable(zeroCnt, 0, last);
    ExpectRow(table, {1, 1, 0}, 1, 2, 2);
}

TEST(ChainChannelsTest, InsideChannelFilter)
{
    TStatFixture fx(MakeDraws({{4, 6}, {5, 0}, {4, 7}}));
    const int last = fx.LastIndex();
    TstChainChannels2InsideAll sda2(fx.List, 0);
    // A digit row keeps the combinations holding that digit; the row must start at a digit
    // of the newest draw 4,7.
    EXPECT_EQ(FilterCombs(sda2, {StatKeyValue(4, 5)}, last).size(), 19u);
    EXPECT_TRUE(FilterCombs(sda2, {StatKeyValue(3, 5)}, last).empty());
    // (4, 0) reads as "a digit in 4's channel" (4 or 5).
    EXPECT_EQ(FilterCombs(sda2, {StatKeyValue(4, 0)}, last).size(), 36u);

    // Counting mode: every row (d, n) keeps the combinations with a digit in d's channel; so
    // a combination passes the row of its own count exactly when that count is not 0.
    TstChainChannels2InsideCnt sdc2(fx.List, 0);
    sdc2.LoadDraws(-1, last, false);
    for (const TCombWord comb : AllCombinations()) {
        for (const int d : {4, 7}) {
            int inChannel = 0;
            for (const int c : {CombDigit1(comb), CombDigit2(comb)})
                inChannel += DigitGroupIndex(c, 2) == DigitGroupIndex(d, 2) ? 1 : 0;
            const TStatValueRec row = StatKeyValue(static_cast<std::uint16_t>(d),
                                                   static_cast<std::uint16_t>(inChannel));
            EXPECT_EQ(sdc2.Test(comb, {row}, last, false, false), inChannel > 0)
                << CombToStr(comb).toStdString() << " d " << d;
        }
    }
}

TEST(ChainSegmentsTest, TransitionsAndCountsOfSegments)
{
    // Segments of the six draws: (1,4) (1,3) (1,4) (1,3) (1,4) (1,3); the reference has (1,3).
    TStatFixture fx(SixDrawArchive());
    fx.List.Config().MatrixSegments = SegmentsByHalves();
    const int last = fx.LastIndex();

    TstChain2SegmentsPos ssp2(fx.List, 0);
    const TStatDrawArray pos = RunStatTable(ssp2, 0, last);
    ASSERT_EQ(pos.size(), 2u);
    ExpectRow(pos, {1, 1, 0}, 5, 6, 1);
    ExpectRow(pos, {3, 4, 0}, 2, 5, 2);
    EXPECT_EQ(FindStatValue(pos, 3, 4)->MinGap, 2);
    EXPECT_EQ(ssp2.ValueText(pos[1]), "3 -> 4");

    TstChain2SegmentsAll ssv2(fx.List, 0);
    const TStatDrawArray all = RunStatTable(ssv2, 0, last);
    ASSERT_EQ(all.size(), 5u);
    ExpectRow(all, {1, 1, 0}, 5, 6, 1);
    ExpectRow(all, {1, 3, 0}, 3, 6, 1);
    ExpectRow(all, {1, 4, 0}, 2, 5, 2);
    ExpectRow(all, {3, 1, 0}, 2, 5, 2);
    ExpectRow(all, {3, 4, 0}, 2, 5, 2);
    // Segment 1 exists at position 1 only: 0..4 there.
    EXPECT_EQ(FilterCombs(ssv2, {StatKeyValue(3, 1)}, last).size(), 50u);

    // Positions in segment 3 (position 2, digits 0..4): 0,1,0,1,0,1. Only the count 0 is
    // pre-filled.
    TstChain2SgmCnt ss2c(fx.List, 3);
    const TStatDrawArray counts = RunStatTable(ss2c, 0, last);
    ASSERT_EQ(counts.size(), 1u);
    ExpectRow(counts, {1, 0, 0}, 2, 5, 2);
    TstChain3SgmCnt ss3c(fx.List, 3);
    const TStatDrawArray three = RunStatTable(ss3c, 0, last);
    // Pre-filled (0, 1, 0); the pair (0, 1) came before at draws 1-2 and 3-4, then 0 both times.
    ASSERT_EQ(three.size(), 1u);
    ExpectRow(three, {0, 1, 0}, 2, 5, 2);
}

TEST(ChainSegmentsTest, SegmentCountsReadDrawsAsDrawn)
{
    // 7,1 has no digit of segment 1 as drawn (7 is in segment 2 at position 1), but one when
    // sorted to 1,7. The count classes compare every draw in the same, drawn order, so the
    // option to sort digits changes nothing and every row starts at the reference's count.
    TStatFixture fx(MakeDraws({{7, 1}, {0, 0}, {2, 6}, {7, 1}, {0, 0}, {7, 1}}));
    fx.List.Config().MatrixSegments = SegmentsByHalves();
    const int last = fx.LastIndex();
    for (const TStatClass* cls : {&TstChain2SgmCntClass, &TstChain3SgmCntClass}) {
        auto stat = cls->Factory(fx.List, 1);
        const TStatDrawArray drawn = RunStatTable(*stat, 0, last, false);
        const TStatDrawArray sorted = RunStatTable(*stat, 0, last, true);
        EXPECT_EQ(drawn, sorted) << cls->ClassName;
        for (const TStatValueRec& row : drawn)
            EXPECT_EQ(row.Key.Words[cls == &TstChain2SgmCntClass ? 0 : 1], 0) << cls->ClassName;
    }
    auto ss2c = TstChain2SgmCntClass.Factory(fx.List, 1);
    const TStatDrawArray table = RunStatTable(*ss2c, 0, last, true);
    // Counts 0,1,1,0,1,0: transitions from 0 at draws 2 and 5, both to 1.
    ASSERT_EQ(table.size(), 2u);
    ExpectRow(table, {0, 1, 0}, 2, 5, 2);
}
