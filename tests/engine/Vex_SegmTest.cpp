#include "engine/Vex_Segm.h"

#include "tests/fixtures/ArchiveFixtures.h"
#include "tests/fixtures/StatFixtures.h"

#include <gtest/gtest.h>

namespace {

// Position 1: digits 0..4 in segment 1, 5..9 in segment 2.
// Position 2: digits 0..2 in segment 3, 3..9 in segment 2.
constexpr TMatrixSegments SplitSegments{{
    {1, 1, 1, 1, 1, 2, 2, 2, 2, 2},
    {3, 3, 3, 2, 2, 2, 2, 2, 2, 2},
}};

// Four segments; the digit 3 is in segment 2 at both positions.
constexpr TMatrixSegments FourSegments{{
    {1, 1, 1, 2, 2, 3, 3, 3, 3, 3},
    {1, 1, 1, 2, 2, 2, 4, 4, 4, 4},
}};

std::unique_ptr<TCustomStat> Make(const TStatClass& cls, TStatFixture& fx, int param = 0)
{
    return cls.Factory(fx.List, param);
}

// A value merged twice from one draw records a gap of 0 between the two merges; its
// smallest gap is then not checked.
constexpr std::uint16_t AnyGap = 0xFFFF;

struct TRow {
    std::uint16_t W1, W2;
    int Hits;
    std::uint32_t DrawNo, Age;
    std::uint16_t MinGap, MaxGap;
};

void ExpectRows(const TStatDrawArray& table, std::initializer_list<TRow> rows)
{
    ASSERT_EQ(table.size(), rows.size());
    for (const TRow& row : rows) {
        const TStatValueRec* v = FindStatValue(table, row.W1, row.W2);
        ASSERT_NE(v, nullptr) << row.W1 << "," << row.W2;
        EXPECT_EQ(v->Hits, row.Hits) << row.W1 << "," << row.W2;
        EXPECT_EQ(v->DrawNo, row.DrawNo) << row.W1 << "," << row.W2;
        EXPECT_EQ(v->Age, row.Age) << row.W1 << "," << row.W2;
        if (row.MinGap != AnyGap) {
            EXPECT_EQ(v->MinGap, row.MinGap) << row.W1 << "," << row.W2;
        }
        EXPECT_EQ(v->MaxGap, row.MaxGap) << row.W1 << "," << row.W2;
    }
}

}  // namespace

TEST(SegmentsTest, DefaultTableHasOneSegmentOnly)
{
    TStatFixture fx(MakeDraws({{3, 5}, {1, 2}, {7, 7}}));
    int lo = 0, hi = 0;
    SegmentParamRange(fx.List, lo, hi);
    EXPECT_EQ(lo, 1);
    EXPECT_EQ(hi, 1);

    auto segments = Make(TstSegmentsClass, fx);
    TStatDrawArray init;
    segments->InitValues(2, init);
    ASSERT_EQ(init.size(), 1u);
    EXPECT_EQ(init[0].Key.Words[0], 1);
    EXPECT_EQ(init[0].Hits, 0);
    ExpectRows(RunStatTable(*segments, 0, 2), {{1, 0, 6, 3, 1, AnyGap, 1}});

    auto count = Make(TstSegmCountClass, fx);
    const TStatDrawArray all = CombTable(*count, AllCombinations());
    ASSERT_EQ(all.size(), 1u);
    EXPECT_EQ(all[0].Key.Words[0], 1);
    EXPECT_EQ(all[0].Hits, 100);
}

TEST(SegmentsTest, SegmentsTableByPosition)
{
    // Segments per draw (position 1, position 2): 3,5 (1,2); 1,2 (1,3); 7,7 (2,2);
    // 3,3 (1,2); 8,1 (2,3).
    TStatFixture fx(MakeDraws({{3, 5}, {1, 2}, {7, 7}, {3, 3}, {8, 1}}));
    fx.List.Config().MatrixSegments = SplitSegments;
    auto stat = Make(TstSegmentsClass, fx);

    TStatDrawArray init;
    stat->InitValues(4, init);
    ASSERT_EQ(init.size(), 3u);
    EXPECT_EQ(init[0].Key.Words[0], 1);
    EXPECT_EQ(init[1].Key.Words[0], 2);
    EXPECT_EQ(init[2].Key.Words[0], 3);

    // Segment 2 gets two hits from 7,7; segment 3 is seen in draws 2 and 5.
    ExpectRows(RunStatTable(*stat, 0, 4), {
        {1, 0, 3, 4, 2, 1, 2},
        {2, 0, 5, 5, 1, 1, 2},
        {3, 0, 2, 5, 1, 3, 3},
    });

    // With sorted digits 8,1 reads 1,8: segment 1 at position 1 and 2 at position 2.
    TStatDrawArray sorted;
    stat->InitValues(4, sorted);
    TStatScratch scratch;
    TLastValueArray lastValues;
    EXPECT_EQ(stat->AddDraw(4, 4, true, sorted, scratch, lastValues), 1);
    EXPECT_EQ(FindStatValue(sorted, 1)->Hits, 1);
    EXPECT_EQ(FindStatValue(sorted, 2)->Hits, 1);
    EXPECT_EQ(FindStatValue(sorted, 3)->Hits, 0);

    // Next occurrence of segment 3 from the third draw on is draw 5.
    EXPECT_EQ(stat->FindDraw(StatKeyValue(3), 2, 4, false), 5);
    EXPECT_EQ(stat->FindDraw(StatKeyValue(3), 2, 4, true), -1);

    // A filter on segment 3 keeps the combinations with 0..2 in position 2.
    const TCombsArray kept = FilterCombs(*stat, {StatKeyValue(3)}, 4);
    EXPECT_EQ(kept.size(), 30u);
    for (const TCombWord comb : kept)
        EXPECT_LE(CombDigit2(comb), 2);
}

TEST(SegmentsTest, ValuesCountEverySegment)
{
    TStatFixture fx(MakeDraws({{3, 3}, {0, 9}}));
    fx.List.Config().MatrixSegments = FourSegments;
    auto stat = Make(TstSegmValuesClass, fx);

    TStatDrawArray one;
    stat->InitValues(0, one);
    EXPECT_TRUE(one.empty());
    TStatScratch scratch;
    TLastValueArray lastValues;
    stat->AddDraw(0, 0, false, one, scratch, lastValues);
    // 3,3: both digits in segment 2, every other segment of the table at 0.
    ASSERT_EQ(one.size(), 4u);
    EXPECT_EQ(one[0].Key, (TStatKey{{1, 0, 0, 0}}));
    EXPECT_EQ(one[1].Key, (TStatKey{{2, 2, 0, 0}}));
    EXPECT_EQ(one[2].Key, (TStatKey{{3, 0, 0, 0}}));
    EXPECT_EQ(one[3].Key, (TStatKey{{4, 0, 0, 0}}));
    EXPECT_EQ(stat->ValueText(one[1]), QStringLiteral("2 x 2"));

    // 0,9: segment 1 and segment 4 once each.
    ExpectRows(RunStatTable(*stat, 0, 1), {
        {1, 0, 1, 1, 2, 0, 0}, {2, 2, 1, 1, 2, 0, 0}, {3, 0, 2, 2, 1, 1, 1}, {4, 0, 1, 1, 2, 0, 0},
        {1, 1, 1, 2, 1, 0, 0}, {2, 0, 1, 2, 1, 0, 0}, {4, 1, 1, 2, 1, 0, 0},
    });

    EXPECT_FALSE(TstSegmValuesClass.HasNumericValue);
    EXPECT_EQ(stat->ValueFromText(QStringLiteral("2")), 0);
}

TEST(SegmentsTest, CountAndOneSegmentValues)
{
    TStatFixture fx(MakeDraws({{3, 5}, {0, 9}, {3, 3}}));
    fx.List.Config().MatrixSegments = FourSegments;
    int lo = 0, hi = 0;
    SegmentParamRange(fx.List, lo, hi);
    EXPECT_EQ(lo, 1);
    EXPECT_EQ(hi, 4);

    // Segments: 3,5 (2,2); 0,9 (1,4); 3,3 (2,2).
    auto count = Make(TstSegmCountClass, fx);
    ExpectRows(RunStatTable(*count, 0, 2), {{1, 0, 2, 3, 1, 2, 2}, {2, 0, 1, 2, 2, 0, 0}});
    auto* graph = dynamic_cast<TCustomGraphStat*>(count.get());
    ASSERT_NE(graph, nullptr);
    EXPECT_EQ(graph->DrawValue(0, 2, false), 1);
    EXPECT_EQ(graph->DrawValue(1, 2, false), 2);

    auto sgm2 = Make(TstSgmValCntClass, fx, 2);
    EXPECT_EQ(sgm2->InstanceCaption(), QStringLiteral("Количество чисел в 2 сегменте матрицы"));
    EXPECT_EQ(StatClassCode(TstSgmValCntClass, 2), QStringLiteral("SGM2"));
    ExpectRows(RunStatTable(*sgm2, 0, 2), {{2, 0, 2, 3, 1, 2, 2}, {0, 0, 1, 2, 2, 0, 0}});
    EXPECT_EQ(dynamic_cast<TCustomGraphStat&>(*sgm2).DrawValue(2, 2, false), 2);

    auto sgm4 = Make(TstSgmValCntClass, fx, 4);
    const TCombsArray kept = FilterCombs(*sgm4, {StatKeyValue(1)}, 2);
    // Exactly one position in segment 4: digit 2 in 6..9 (40 combinations).
    EXPECT_EQ(kept.size(), 40u);
}

TEST(SegmentsTest, PairsOfSegments)
{
    TStatFixture fx(MakeDraws({{3, 5}, {0, 9}, {4, 3}}));
    fx.List.Config().MatrixSegments = FourSegments;
    for (const TStatClass* cls : {&TstCombSegmMix2Class, &TstCombSegmSeq2Class}) {
        auto stat = Make(*cls, fx);
        // 3,5 and 4,3 both give (2,2); 0,9 gives (1,4).
        ExpectRows(RunStatTable(*stat, 0, 2), {{2, 2, 2, 3, 1, 2, 2}, {1, 4, 1, 2, 2, 0, 0}});
        EXPECT_EQ(stat->ValueText(StatKeyValue(1, 4)), QStringLiteral("1:4"));
        EXPECT_TRUE(CombTable(*stat, AllCombinations()).empty());
        const TCombsArray kept = FilterCombs(*stat, {StatKeyValue(1, 4)}, 2);
        EXPECT_EQ(kept.size(), 3u * 4u);   // 0..2 then 6..9
    }
    EXPECT_EQ(StatClassCode(TstCombSegmMix2Class, 0), QStringLiteral("KGM2"));
    EXPECT_EQ(StatClassCaption(TstCombSegmMix2Class, 0),
              QStringLiteral("Сочетания из 2 сегментов по всем числам тиража"));
    EXPECT_EQ(StatClassCaption(TstCombSegmSeq2Class, 0),
              QStringLiteral("Сочетания из 2 сегментов по соседним числам"));
    for (const TStatClass* cls : {&TstCombSegmMix3Class, &TstCombSegmMix4Class, &TstCombSegmSeq3Class,
                                  &TstCombSegmSeq4Class})
        EXPECT_FALSE(cls->Available) << cls->ClassName;
}

TEST(SegmentsTest, AddCombinationAgreesWithTest)
{
    for (const TMatrixSegments& segments : {SplitSegments, FourSegments}) {
        TStatFixture fx(MakeDraws({{1, 2}, {8, 8}}));
        fx.List.Config().MatrixSegments = segments;
        for (const TStatClass* cls : {&TstSegmentsClass, &TstSegmValuesClass, &TstSegmCountClass})
            EXPECT_EQ(CombTestMismatches(*Make(*cls, fx), 1), QString()) << cls->ClassName;
        int lo = 0, hi = 0;
        SegmentParamRange(fx.List, lo, hi);
        for (int k = lo; k <= hi; ++k)
            EXPECT_EQ(CombTestMismatches(*Make(TstSgmValCntClass, fx, k), 1), QString()) << k;
        for (const TStatClass* cls : {&TstCombSegmMix2Class, &TstCombSegmSeq2Class})
            EXPECT_EQ(DrawTestMismatches(*cls, fx), QString()) << cls->ClassName;
    }
}

TEST(SegmentsTest, DigitOutsideTheTableIsSegmentZero)
{
    // A damaged archive record with the digit 12 must not reach past the segment table.
    TStatFixture fx(MakeDraws({{12, 3}}));
    fx.List.Config().MatrixSegments = FourSegments;
    const TStatDrawArray table = RunStatTable(*Make(TstSegmentsClass, fx), 0, 0);
    ASSERT_NE(FindStatValue(table, 0), nullptr);
    EXPECT_EQ(FindStatValue(table, 0)->Hits, 1);
    EXPECT_EQ(FindStatValue(table, 2)->Hits, 1);
    EXPECT_EQ(SegmentOfDigit(FourSegments, 3, 1), 0);
    EXPECT_EQ(SegmentOfDigit(FourSegments, 2, -1), 0);
}

TEST(SegmentsTest, ObjectKeepsTheTableItWasMadeWith)
{
    TStatFixture fx(MakeDraws({{3, 3}}));
    fx.List.Config().MatrixSegments = FourSegments;
    auto stat = Make(TstSegmentsClass, fx);
    fx.List.Config().MatrixSegments = SplitSegments;
    const TStatDrawArray table = RunStatTable(*stat, 0, 0);
    EXPECT_EQ(FindStatValue(table, 2)->Hits, 2);
    EXPECT_EQ(FindStatValue(table, 4)->Hits, 0);
}
