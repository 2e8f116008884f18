#include "engine/Vex_Chain.h"

#include "engine/KelmaStatList.h"
#include "tests/fixtures/ArchiveFixtures.h"
#include "tests/fixtures/StatFixtures.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>

namespace {

const std::array<const TStatClass*, 23> ChainClasses{
    &TstChain2DrawsAllClass, &TstChain2DrawsPosClass, &TstChain2PosClass,
    &TstChain3DrawsPosClass, &TstChain3PosClass, &TstChain2ChannelsAllClass,
    &TstChain2ChannelsPosClass, &TstChain2ChannelClass, &TstChain3ChannelsPosClass,
    &TstChain3ChannelClass, &TstChain2CnlCntClass, &TstChain3CnlCntClass,
    &TstChainChannels2InsideAllClass, &TstChainChannels2InsideSucClass,
    &TstChainChannels2InsideBadClass, &TstChainChannels2InsideCntClass,
    &TstChain2SegmentsAllClass, &TstChain2SegmentsPosClass, &TstChain2SegmentClass,
    &TstChain3SegmentsPosClass, &TstChain3SegmentClass, &TstChain2SgmCntClass,
    &TstChain3SgmCntClass,
};

// The methods of a class under the fixture's configuration: (class, parameter).
std::vector<std::pair<const TStatClass*, int>> Methods(const TStatFixture& fx)
{
    std::vector<std::pair<const TStatClass*, int>> methods;
    for (const TStatClass* cls : ChainClasses) {
        int lo = 0, hi = 0;
        if (cls->ParamRange)
            cls->ParamRange(fx.List, lo, hi);
        for (int param = lo; param <= hi; ++param)
            methods.emplace_back(cls, param);
    }
    return methods;
}

TStatDrawArray OneDraw(TCustomStat& stat, int index, int last, bool sorted = false)
{
    TStatDrawArray table;
    TStatScratch scratch;
    TLastValueArray lastValues;
    stat.AddDraw(index, last, sorted, table, scratch, lastValues);
    return table;
}

TCombWord CombOf(const TDrawRec& draw, bool sorted)
{
    TCombWord comb = DrawToComb(draw);
    if (sorted)
        SortCombDigits(comb);
    return comb;
}

bool IsInside(const TStatClass& cls)
{
    return &cls == &TstChainChannels2InsideAllClass || &cls == &TstChainChannels2InsideSucClass
           || &cls == &TstChainChannels2InsideBadClass || &cls == &TstChainChannels2InsideCntClass;
}

}  // namespace

// Hits, newest draw and age of a row; gaps where given.
#define EXPECT_ROW(table, w1, w2, w3, hits, drawNo, age)                   \
    do {                                                                   \
        const TStatValueRec* row_ = FindStatValue(table, w1, w2, w3);      \
        ASSERT_NE(row_, nullptr) << "row " << w1 << "," << w2 << "," << w3; \
        EXPECT_EQ(row_->Hits, hits) << "row " << w1 << "," << w2 << "," << w3; \
        EXPECT_EQ(row_->DrawNo, drawNo) << "row " << w1 << "," << w2 << "," << w3; \
        EXPECT_EQ(row_->Age, age) << "row " << w1 << "," << w2 << "," << w3; \
    } while (false)

TEST(ChainClassTest, DescriptorsCodesAndCaptions)
{
    TStatFixture fx;
    for (const TStatClass* cls : ChainClasses) {
        EXPECT_EQ(cls->Group, 10) << cls->ClassName;
        EXPECT_TRUE(cls->Available) << cls->ClassName;
        EXPECT_FALSE(cls->HasNumericValue) << cls->ClassName;
        EXPECT_FALSE(cls->IsGraph) << cls->ClassName;
        ASSERT_NE(cls->Factory, nullptr) << cls->ClassName;
        EXPECT_EQ(cls->Factory(fx.List, 1)->Class().ClassName, cls->ClassName);
    }
    // Flags: S and D for the position classes, D alone for the others.
    EXPECT_EQ(TstChain2DrawsAllClass.Flags, 4);
    EXPECT_EQ(TstChain2DrawsPosClass.Flags, 5);
    EXPECT_EQ(TstChain3PosClass.Flags, 5);
    EXPECT_EQ(TstChain2CnlCntClass.Flags, 4);
    EXPECT_EQ(TstChainChannels2InsideCntClass.Flags, 4);
    EXPECT_EQ(TstChain3SegmentClass.Flags, 5);
    EXPECT_EQ(TstChain3SgmCntClass.Flags, 4);

    EXPECT_EQ(StatClassCode(TstChain2PosClass, 2), "SDN2");
    EXPECT_EQ(StatClassCode(TstChain3ChannelClass, 1), "SCM1");
    EXPECT_EQ(StatClassCode(TstChain3CnlCntClass, 5), "SC3C5");
    EXPECT_EQ(StatClassCode(TstChain2SgmCntClass, 3), "SS2C3");
    EXPECT_EQ(StatClassCode(TstChainChannels2InsideBadClass, 0), "SDZ2");
    EXPECT_EQ(StatClassName(TstChain2PosClass), "SDNx");
    EXPECT_EQ(StatClassName(TstChain3SgmCntClass), "SS3Cx");
    EXPECT_EQ(StatClassName(TstChain2DrawsAllClass), "SDV2");

    EXPECT_EQ(StatClassCaption(TstChain2DrawsAllClass, 0),
              "Переходы чисел между 2 тиражами без учета позиции");
    EXPECT_EQ(StatClassCaption(TstChain3PosClass, 2), "Переходы чисел между 3 тиражами в 2 позиции");
    EXPECT_EQ(StatClassCaption(TstChain2CnlCntClass, 4),
              "Переходы кол-ва чисел в 4 канале между 2 тиражами");
    EXPECT_EQ(StatClassCaption(TstChain3SgmCntClass, 1),
              "Переходы кол-ва чисел в 1 сегменте между 3 тиражами");
    EXPECT_EQ(StatClassCaption(TstChainChannels2InsideSucClass, 0),
              "Переходы чисел в пределах каналов (N-M, удачные)");
    EXPECT_EQ(StatClassCaption(TstChain3SegmentsPosClass, 0),
              "Переходы сегментов между 3 тиражами с учетом позиции");
}

TEST(ChainClassTest, ParameterRangesFollowTheConfiguration)
{
    TStatFixture fx;
    fx.List.RebuildMethods(ChainClasses);
    // 13 classes without a parameter, 6 position classes with 2 methods each, the channel
    // counts with channels 1..5, the segment counts with the single default segment.
    EXPECT_EQ(fx.List.Count(), 13 + 6 * 2 + 2 * 5 + 2 * 1);
    EXPECT_NE(fx.List.IndexOfCode("SC2C5"), -1);
    EXPECT_EQ(fx.List.IndexOfCode("SC2C6"), -1);

    fx.List.Config().ChannelSize = 3;
    fx.List.RebuildMethods(ChainClasses);
    EXPECT_NE(fx.List.IndexOfCode("SC3C4"), -1);
    EXPECT_EQ(fx.List.IndexOfCode("SC3C5"), -1);

    fx.List.Config().ChannelSize = 0;
    fx.List.RebuildMethods(ChainClasses);
    EXPECT_EQ(fx.List.IndexOfCode("SC2C1"), -1);
    EXPECT_EQ(fx.List.Count(), 13 + 6 * 2 + 2 * 1);

    fx.List.Config().MatrixSegments = SegmentsByHalves();
    fx.List.RebuildMethods(ChainClasses);
    EXPECT_EQ(fx.List.IndexOfCode("SS3C0"), -1);
    EXPECT_NE(fx.List.IndexOfCode("SS3C1"), -1);
    EXPECT_NE(fx.List.IndexOfCode("SS2C4"), -1);
    EXPECT_EQ(fx.List.IndexOfCode("SS2C5"), -1);
}

TEST(ChainClassTest, ValueTexts)
{
    TStatFixture fx;
    EXPECT_EQ(TstChain2DrawsAll(fx.List, 0).ValueText(StatKeyValue(3, 1)), "3 -> 1");
    EXPECT_EQ(TstChain3Pos(fx.List, 1).ValueText(StatKeyValue(1, 3, 5)), "1-3 -> 5");
    EXPECT_EQ(TstChain2ChannelsPos(fx.List, 0).ValueText(StatKeyValue(2, 10)), "02 -> 10");
    EXPECT_EQ(TstChain3ChannelsPos(fx.List, 0).ValueText(StatKeyValue(1, 2, 3)), "01-02 -> 03");
    EXPECT_EQ(TstChain2CnlCnt(fx.List, 1).ValueText(StatKeyValue(1, 2)), "1 -> 2");
    EXPECT_EQ(TstChain3CnlCnt(fx.List, 1).ValueText(StatKeyValue(0, 1, 2)), "0-1 -> 2");
    EXPECT_EQ(TstChainChannels2InsideBad(fx.List, 0).ValueText(StatKeyValue(4, 0)), "04 -> 00");
    EXPECT_EQ(TstChainChannels2InsideAll(fx.List, 0).ValueText(StatKeyValue(4, 5)), "04 -> 05");
    EXPECT_EQ(TstChainChannels2InsideCnt(fx.List, 0).ValueText(StatKeyValue(4, 1)), "4 -> 1");
    EXPECT_EQ(TstChain2Segment(fx.List, 1).ValueText(StatKeyValue(1, 12)), "1 -> 12");
    EXPECT_EQ(TstChain3SgmCnt(fx.List, 1).ValueText(StatKeyValue(2, 1, 0)), "2-1 -> 0");
}

TEST(ChainDigitsTest, TwoDrawTables)
{
    // Newest last: the reference draw is 3,4 (number 6).
    TStatFixture fx(SixDrawArchive());
    const int last = fx.LastIndex();

    TstChain2DrawsPos sdp2(fx.List, 0);
    const TStatDrawArray pos = RunStatTable(sdp2, 0, last);
    ASSERT_EQ(pos.size(), 3u);
    EXPECT_ROW(pos, 3, 1, 0, 1, 2u, 5u);
    EXPECT_ROW(pos, 3, 4, 0, 1, 4u, 3u);
    EXPECT_ROW(pos, 4, 5, 0, 1, 5u, 2u);

    TstChain2Pos sdn1(fx.List, 1);
    const TStatDrawArray first = RunStatTable(sdn1, 0, last);
    ASSERT_EQ(first.size(), 2u);
    EXPECT_NE(FindStatValue(first, 3, 1), nullptr);
    EXPECT_NE(FindStatValue(first, 3, 4), nullptr);
    TstChain2Pos sdn2(fx.List, 2);
    const TStatDrawArray second = RunStatTable(sdn2, 0, last);
    ASSERT_EQ(second.size(), 1u);
    EXPECT_NE(FindStatValue(second, 4, 5), nullptr);
    // A position outside the draw has no transitions at all.
    TstChain2Pos sdn3(fx.List, 3);
    EXPECT_TRUE(RunStatTable(sdn3, 0, last).empty());

    // Without positions: a from digit that P1 holds twice (4,4 before 4,5) counts twice, and
    // both digits of C are targets.
    TstChain2DrawsAll sdv2(fx.List, 0);
    const TStatDrawArray all = RunStatTable(sdv2, 0, last);
    ASSERT_EQ(all.size(), 6u);
    EXPECT_ROW(all, 3, 1, 0, 1, 2u, 5u);
    EXPECT_ROW(all, 3, 2, 0, 1, 2u, 5u);
    EXPECT_ROW(all, 3, 4, 0, 2, 4u, 3u);
    EXPECT_ROW(all, 4, 4, 0, 3, 6u, 1u);
    EXPECT_ROW(all, 4, 5, 0, 2, 5u, 2u);
    EXPECT_ROW(all, 4, 3, 0, 1, 6u, 1u);
    // (4,4): draws 5, 5 and 6; the merge within one draw leaves no gap behind.
    EXPECT_EQ(FindStatValue(all, 4, 4)->MaxGap, 1);

    // Filter: the "to" digit of a row, at either position of the combination.
    EXPECT_EQ(FilterCombs(sdp2, {StatKeyValue(3, 1)}, last).size(), 19u);
    EXPECT_EQ(FilterCombs(sdp2, {StatKeyValue(3, 1), StatKeyValue(4, 5)}, last).size(), 36u);
    EXPECT_TRUE(FilterCombs(sdp2, {}, last).empty());
}

TEST(ChainDigitsTest, ThreeDrawTables)
{
    // The reference pair (R2, R) is 1,2 then 3,4; it came before at draws 1-2 and 4-5.
    TStatFixture fx(MakeDraws({{1, 2}, {3, 4}, {5, 6}, {1, 2}, {3, 4}, {7, 6}, {1, 2}, {3, 4}}));
    const int last = fx.LastIndex();

    TstChain3DrawsPos sdp3(fx.List, 0);
    const TStatDrawArray all = RunStatTable(sdp3, 0, last);
    ASSERT_EQ(all.size(), 3u);
    EXPECT_ROW(all, 1, 3, 5, 1, 3u, 6u);
    EXPECT_ROW(all, 1, 3, 7, 1, 6u, 3u);
    EXPECT_ROW(all, 2, 4, 6, 2, 6u, 3u);
    EXPECT_EQ(FindStatValue(all, 2, 4, 6)->MinGap, 3);
    EXPECT_EQ(sdp3.ValueText(all[0]), "1-3 -> 5");

    TstChain3Pos sdm1(fx.List, 1);
    const TStatDrawArray first = RunStatTable(sdm1, 0, last);
    ASSERT_EQ(first.size(), 2u);
    EXPECT_NE(FindStatValue(first, 1, 3, 7), nullptr);
    TstChain3Pos sdm2(fx.List, 2);
    const TStatDrawArray second = RunStatTable(sdm2, 0, last);
    ASSERT_EQ(second.size(), 1u);
    EXPECT_ROW(second, 2, 4, 6, 2, 6u, 3u);

    // Only the pair counts: P1 alone agreeing with R is not enough.
    TStatFixture single(MakeDraws({{9, 9}, {3, 4}, {5, 6}, {1, 2}, {3, 4}}));
    TstChain3DrawsPos other(single.List, 0);
    const TStatDrawArray pairOnly = RunStatTable(other, 0, single.LastIndex());
    ASSERT_EQ(pairOnly.size(), 0u);

    // Test reads word 3.
    EXPECT_EQ(FilterCombs(sdp3, {StatKeyValue(1, 3, 7)}, last).size(), 19u);
    EXPECT_EQ(FilterCombs(sdp3, {StatKeyValue(7, 7, 0)}, last).size(), 19u);
}

TEST(ChainClassTest, TheFirstDrawsStartNoChain)
{
    // Every draw 0,0: the empty draw before the archive looks the same, but is no draw.
    TStatFixture fx(MakeDraws({{0, 0}, {0, 0}, {0, 0}, {0, 0}}));
    const int last = fx.LastIndex();
    for (const auto& [cls, param] : Methods(fx)) {
        auto stat = cls->Factory(fx.List, param);
        const bool threeDraws = static_cast<TCustomChainStat&>(*stat).DrawCount() == 3;
        EXPECT_TRUE(OneDraw(*stat, 0, last).empty()) << cls->ClassName << " " << param;
        EXPECT_EQ(OneDraw(*stat, 1, last).empty(), threeDraws) << cls->ClassName << " " << param;
        EXPECT_FALSE(OneDraw(*stat, 2, last).empty()) << cls->ClassName << " " << param;
    }

    // SDP2 over the four draws: draws 2..4, both positions each.
    TstChain2DrawsPos sdp2(fx.List, 0);
    const TStatDrawArray two = RunStatTable(sdp2, 0, last);
    EXPECT_ROW(two, 0, 0, 0, 6, 4u, 1u);
    TstChain3DrawsPos sdp3(fx.List, 0);
    const TStatDrawArray three = RunStatTable(sdp3, 0, last);
    EXPECT_ROW(three, 0, 0, 0, 4, 4u, 1u);
}

TEST(ChainClassTest, DrawnValuesPassTheirOwnFilter)
{
    // Every value merged from a draw must let that draw through the filter built from it,
    // with the same reference draw, sorted or not.
    TStatFixture fx(MakeArchive(400, 7));
    fx.List.Config().MatrixSegments = SegmentsByHalves();
    const int last = fx.LastIndex();
    for (const bool sorted : {false, true}) {
        for (const auto& [cls, param] : Methods(fx)) {
            auto stat = cls->Factory(fx.List, param);
            const bool counts = std::string_view(cls->CodeFormat).ends_with("C%d");
            int checked = 0;
            for (int i = 0; i <= last; ++i) {
                const TStatDrawArray table = OneDraw(*stat, i, last, sorted);
                // Count classes read every draw as drawn.
                const TCombWord comb = CombOf(fx.Draws[static_cast<std::size_t>(i)], sorted && !counts);
                stat->LoadDraws(-1, last, sorted);
                for (const TStatValueRec& v : table) {
                    // Inside classes: word 2 = 0 also stands for "no digit in the channel",
                    // which the filter does not keep.
                    if (IsInside(*cls) && v.Key.Words[1] == 0)
                        continue;
                    ++checked;
                    EXPECT_TRUE(stat->Test(comb, {v}, last, sorted, false))
                        << cls->ClassName << " " << param << " draw " << i << " "
                        << stat->ValueText(v).toStdString();
                }
            }
            // SDZ2 has only rows (d, 0).
            if (cls != &TstChainChannels2InsideBadClass) {
                EXPECT_GT(checked, 0) << cls->ClassName << " " << param << " sorted " << sorted;
            }
        }
    }
}

TEST(ChainClassTest, FilterAgreesWithTheNextDraw)
{
    // Each combination taken as the draw that follows the newest one: it is a transition from
    // the reference draw itself. For the classes that ignore positions the filter keeps it
    // exactly when that transition is a row of the statistics table; for the others every
    // such row keeps it.
    TStatFixture fx(MakeArchive(120, 3));
    fx.List.Config().MatrixSegments = SegmentsByHalves();
    const int last = fx.LastIndex();
    for (const auto& [cls, param] : Methods(fx)) {
        auto stat = cls->Factory(fx.List, param);
        const TStatDrawArray rows = RunStatTable(*stat, 0, last);
        const std::string_view code(cls->CodeFormat);
        const bool exact = code.ends_with("C%d") || code == "SDV2" || code == "SCV2" || code == "SSV2";
        for (const TCombWord comb : AllCombinations()) {
            TDrawRec next;
            next.Number = static_cast<std::uint32_t>(last + 2);
            next.Digits = {CombDigit1(comb), CombDigit2(comb)};
            fx.Draws.push_back(next);
            const TStatDrawArray merged = OneDraw(*stat, last + 1, last);
            fx.Draws.pop_back();
            stat->LoadDraws(-1, last, false);
            for (const TStatValueRec& v : merged) {
                if (IsInside(*cls) && v.Key.Words[1] == 0)
                    continue;
                EXPECT_TRUE(stat->Test(comb, {v}, last, false, false)) << cls->ClassName << " " << param;
            }
            if (!exact)
                continue;
            for (const TStatValueRec& row : rows) {
                const bool isMerged = FindStatValue(merged, row.Key.Words[0], row.Key.Words[1],
                                                    row.Key.Words[2]) != nullptr;
                EXPECT_EQ(stat->Test(comb, {row}, last, false, false), isMerged)
                    << cls->ClassName << " " << param << " comb " << CombToStr(comb).toStdString()
                    << " row " << stat->ValueText(row).toStdString();
            }
        }
    }
}
