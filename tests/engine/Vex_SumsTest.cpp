#include "engine/Vex_Sums.h"

#include "tests/fixtures/ArchiveFixtures.h"
#include "tests/fixtures/StatFixtures.h"

#include <gtest/gtest.h>

namespace {

// A key holding a signed value in its first 32-bit word, as the sum classes keep it.
TStatValueRec SignedKey(int v)
{
    TStatValueRec value;
    value.Key.SetDword(0, static_cast<std::uint32_t>(v));
    return value;
}

const TStatValueRec* FindSigned(const TStatDrawArray& table, int v)
{
    for (const TStatValueRec& e : table)
        if (e.Key == SignedKey(v).Key)
            return &e;
    return nullptr;
}

int SignedHitsOf(const TStatDrawArray& table, int v)
{
    const TStatValueRec* e = FindSigned(table, v);
    return e ? e->Hits : -1;
}

int CombSum(TCombWord comb)
{
    return CombDigit1(comb) + CombDigit2(comb);
}

// For the transition classes, whose combination tables stay empty: every combination c is
// put as draw 1 between a draw `before` and the reference draw `reference`; the keys that
// AddDraw merges for c must be exactly those for which Test(c) is true against the same
// reference draw.
QString TransitionMismatches(const TStatClass& cls, std::pair<int, int> before,
                             std::pair<int, int> reference)
{
    TStatFixture fx(MakeDraws({before, {0, 0}, reference}));
    auto stat = cls.Factory(fx.List, 0);
    return DrawTestMismatches(*stat, fx, 1, 2);
}

}  // namespace

TEST(VexSums, SumTableOfSixDraws)
{
    // Sums 8, 3, 10, 8, 9, 7; draw numbers 1..6.
    TStatFixture fx(SixDrawArchive());
    TstSumValues stat(fx.List, 0);
    const TStatDrawArray table = RunStatTable(stat, 0, fx.LastIndex());
    ASSERT_EQ(table.size(), 17u);
    EXPECT_EQ(table.front().Key.Dword(0), 1u);
    EXPECT_EQ(table.back().Key.Dword(0), 17u);
    const TStatValueRec* eight = FindSigned(table, 8);
    ASSERT_NE(eight, nullptr);
    EXPECT_EQ(eight->Hits, 2);
    EXPECT_EQ(eight->DrawNo, 4u);
    EXPECT_EQ(eight->Age, 3u);
    EXPECT_EQ(eight->MinGap, 3);
    EXPECT_EQ(eight->MaxGap, 3);
    EXPECT_EQ(FindSigned(table, 7)->Age, 1u);
    EXPECT_EQ(FindSigned(table, 3)->Age, 5u);
    EXPECT_EQ(SignedHitsOf(table, 1), 0);
    EXPECT_EQ(stat.DrawValue(2, 5, false), 10);
}

TEST(VexSums, SumsOutsideThePrefill)
{
    const TStatDrawArray zero = OneDrawTable(TstSumValuesClass, 0, 0);
    ASSERT_EQ(zero.size(), 18u);
    EXPECT_EQ(zero.back().Key.Dword(0), 0u);
    EXPECT_EQ(zero.back().Hits, 1);
    const TStatDrawArray top = OneDrawTable(TstSumValuesClass, 9, 9);
    ASSERT_EQ(top.size(), 18u);
    EXPECT_EQ(top.back().Key.Dword(0), 18u);
}

TEST(VexSums, FullSetDistributions)
{
    TStatFixture fx;
    TstSumValues sums(fx.List, 0);
    const TStatDrawArray table = CombTable(sums, AllCombinations());
    ASSERT_EQ(table.size(), 19u);
    for (int s = 0; s <= 18; ++s)
        EXPECT_EQ(SignedHitsOf(table, s), 10 - std::abs(s - 9)) << "sum " << s;

    TstSum2To3 triples(fx.List, 0);
    const TStatDrawArray none = CombTable(triples, AllCombinations());
    ASSERT_EQ(none.size(), 1u);
    EXPECT_EQ(SignedHitsOf(none, 0), 100);
}

TEST(VexSums, SumRanges)
{
    TStatFixture fx;
    TstSumRanges range1(fx.List, 1);
    EXPECT_EQ(SignedHitsOf(OneDrawTable(TstSumRangesClass, 6, 6, 1), 1), 1);
    EXPECT_EQ(range1.ValueText(SignedKey(1)), QStringLiteral("12-33"));
    EXPECT_EQ(SignedHitsOf(OneDrawTable(TstSumRangesClass, 5, 6, 1), 0), 1);
    EXPECT_EQ(range1.ValueText(SignedKey(0)), QStringLiteral("Остальные"));

    TstSumRanges range3(fx.List, 3);
    const TCombsArray inRange = FilterCombs(range3, {SignedKey(1)}, 0);
    const TCombsArray expected{MakeComb(9, 7), MakeComb(8, 8), MakeComb(9, 8),
                               MakeComb(7, 9), MakeComb(8, 9), MakeComb(9, 9)};
    EXPECT_EQ(inRange, expected);
    EXPECT_EQ(FilterCombs(range3, {SignedKey(0)}, 0).size(), 94u);
    EXPECT_EQ(FilterCombs(range3, {SignedKey(1)}, 0, false, true).size(), 94u);
    // With both rows selected the range's row decides: the combinations in the range pass,
    // whichever order the rows were selected in.
    EXPECT_EQ(FilterCombs(range3, {SignedKey(0), SignedKey(1)}, 0), expected);
    EXPECT_EQ(FilterCombs(range3, {SignedKey(1), SignedKey(0)}, 0), expected);
    EXPECT_EQ(FilterCombs(range1, {SignedKey(0), SignedKey(1)}, 0).size(), 28u);   // sums 12..18

    EXPECT_EQ(SumRangeCaption(1), QStringLiteral("Сумма тиража: диапазон 1 (1/3)"));
    EXPECT_EQ(SumRangeCaption(2), QStringLiteral("Сумма тиража: диапазон 2 (1/2)"));
    EXPECT_EQ(SumRangeCaption(3), QStringLiteral("Сумма тиража: диапазон 3 (2/3)"));
    // The method list shows the same caption.
    EXPECT_EQ(StatClassCaption(TstSumRangesClass, 2), QStringLiteral("Сумма тиража: диапазон 2 (1/2)"));
    int lo = 0, hi = 0;
    EXPECT_FALSE(SumRangeBounds(4, lo, hi));
    EXPECT_LT(hi, lo);
}

TEST(VexSums, PartialSums)
{
    EXPECT_EQ(SignedHitsOf(OneDrawTable(TstSumPrimeValuesClass, 1, 4), 1), 1);
    EXPECT_EQ(SignedHitsOf(OneDrawTable(TstSumEvenValuesClass, 1, 4), 4), 1);
    EXPECT_EQ(SignedHitsOf(OneDrawTable(TstSumEvenValuesClass, 4, 6), 10), 1);
    EXPECT_EQ(SignedHitsOf(OneDrawTable(TstSumPrimeValuesClass, 7, 5), 12), 1);
    EXPECT_EQ(SignedHitsOf(OneDrawTable(TstSum2To3Class, 3, 3), 0), 1);
    EXPECT_EQ(SignedHitsOf(OneDrawTable(TstSum2To3Class, 0, 0), 0), 1);
}

TEST(VexSums, TrendAndChangeAfterDrawsLikeTheNewest)
{
    // Sums 7, 4, 7, 10, 7, 7; the newest draw 3;4 has sum 7. Draws 2, 4 and 6 follow a
    // draw of sum 7; the first draw follows the empty draw (sum 0) and adds nothing.
    TStatFixture fx(MakeDraws({{3, 4}, {2, 2}, {1, 6}, {5, 5}, {0, 7}, {3, 4}}));

    TstSumTrend trend(fx.List, 0);
    const TStatDrawArray trends = RunStatTable(trend, 0, 5);
    ASSERT_EQ(trends.size(), 3u);
    EXPECT_EQ(trend.ValueText(trends[0]), QStringLiteral("="));
    EXPECT_EQ(trend.ValueText(trends[1]), QStringLiteral("+"));
    EXPECT_EQ(trend.ValueText(trends[2]), QStringLiteral("-"));
    EXPECT_EQ(SignedHitsOf(trends, 0), 1);
    EXPECT_EQ(FindSigned(trends, 0)->DrawNo, 6u);
    EXPECT_EQ(FindSigned(trends, 1)->DrawNo, 4u);
    EXPECT_EQ(FindSigned(trends, -1)->DrawNo, 2u);
    // Combinations are compared with the newest draw: sum 8..18 goes up.
    EXPECT_EQ(FilterCombs(trend, {SignedKey(1)}, 5).size(), 100u - 36u);
    EXPECT_EQ(trend.ValueOf(MakeComb(0, 0), 3, 5, false), -1);

    TstSumChange change(fx.List, 0);
    const TStatDrawArray changes = RunStatTable(change, 0, 5);
    ASSERT_EQ(changes.size(), 3u);
    EXPECT_EQ(change.ValueText(changes[0]), QStringLiteral("- 03 : 7 - 3 = 4"));
    EXPECT_EQ(change.ValueText(changes[1]), QStringLiteral("+03 : 7 + 3 = 10"));
    EXPECT_EQ(change.ValueText(changes[2]), QStringLiteral("+00 : 7 + 0 = 7"));
    EXPECT_EQ(changes[1].Key.Dword(0), 7u);
    EXPECT_EQ(changes[1].Key.Dword(1), 10u);
    // Selecting the change to 10 keeps the nine combinations of sum 10.
    const TCombsArray kept = FilterCombs(change, {changes[1]}, 5);
    EXPECT_EQ(kept.size(), 9u);
    for (TCombWord comb : kept)
        EXPECT_EQ(CombSum(comb), 10);
    EXPECT_EQ(change.ValueOf(MakeComb(9, 9), 1, 5, false), 11);
    // A combination list has no previous draw: nothing is merged.
    EXPECT_TRUE(CombTable(change, AllCombinations()).empty());
}

TEST(VexSums, ChangeWithinTheSumWidth)
{
    // Sums 6, 2, 8, 9, 5, 7, 7; the newest sum is 7, so previous sums 6, 7 and 8 count.
    TStatFixture fx(MakeDraws({{2, 4}, {1, 1}, {4, 4}, {9, 0}, {0, 5}, {3, 4}, {3, 4}}));
    TstSumChangeSome stat(fx.List, 0);
    const TStatDrawArray table = RunStatTable(stat, 0, 6);
    ASSERT_EQ(table.size(), 3u);
    EXPECT_EQ(FindSigned(table, -4)->DrawNo, 2u);   // after the 6
    EXPECT_EQ(FindSigned(table, 1)->DrawNo, 4u);    // after the 8
    EXPECT_EQ(FindSigned(table, 0)->DrawNo, 7u);    // after the 7
    EXPECT_EQ(stat.ValueText(SignedKey(-4)), QStringLiteral("- 04"));
    EXPECT_EQ(stat.ValueText(SignedKey(1)), QStringLiteral("+01"));
    EXPECT_EQ(stat.ValueText(SignedKey(0)), QStringLiteral("+00"));
    // Sum 7 - 4 = 3.
    EXPECT_EQ(FilterCombs(stat, {SignedKey(-4)}, 6),
              (TCombsArray{MakeComb(3, 0), MakeComb(2, 1), MakeComb(1, 2), MakeComb(0, 3)}));
}

TEST(VexSums, ValuesAgreeWithTest)
{
    TStatFixture fx;
    for (const TStatClass* cls : {&TstSumValuesClass, &TstSumEvenValuesClass,
                                  &TstSumPrimeValuesClass, &TstSum2To3Class}) {
        auto stat = cls->Factory(fx.List, 0);
        EXPECT_EQ(CombTestMismatches(*stat, -1).toStdString(), "") << cls->ClassName;
    }
    for (int range = 1; range <= 3; ++range) {
        TstSumRanges stat(fx.List, range);
        EXPECT_EQ(CombTestMismatches(stat, -1).toStdString(), "") << "SUM" << range;
    }
    // The transitions: draws after one whose sum equals the reference sum 7. (SUMV also
    // counts changes after the sums 6 and 8, and a filter applies such a change to the
    // reference sum itself, so only this case can agree exactly.)
    EXPECT_EQ(TransitionMismatches(TstSumChangeClass, {2, 5}, {3, 4}).toStdString(), "");
    EXPECT_EQ(TransitionMismatches(TstSumTrendClass, {7, 0}, {3, 4}).toStdString(), "");
    EXPECT_EQ(TransitionMismatches(TstSumChangeSomeClass, {4, 3}, {3, 4}).toStdString(), "");
}

TEST(VexSums, Descriptors)
{
    struct TExpected {
        const TStatClass* Cls;
        const char* Code;
        std::uint8_t Flags;
        bool Graph, Numeric;
    };
    for (const TExpected& e : {TExpected{&TstSumValuesClass, "SUMS", 2, true, true},
                               {&TstSumRangesClass, "SUM2", 2, true, false},
                               {&TstSumChangeClass, "SUMC", 4, true, false},
                               {&TstSumChangeSomeClass, "SUMV", 4, false, false},
                               {&TstSumTrendClass, "SUMT", 4, true, false},
                               {&TstSumEvenValuesClass, "SUME", 2, true, true},
                               {&TstSumPrimeValuesClass, "SUMP", 2, true, true},
                               {&TstSum2To3Class, "S2T3", 2, true, true}}) {
        EXPECT_EQ(StatClassCode(*e.Cls, 2), QString::fromLatin1(e.Code));
        EXPECT_EQ(e.Cls->Group, 1) << e.Code;
        EXPECT_EQ(e.Cls->Flags, e.Flags) << e.Code;
        EXPECT_EQ(e.Cls->IsGraph, e.Graph) << e.Code;
        EXPECT_EQ(e.Cls->HasNumericValue, e.Numeric) << e.Code;
        EXPECT_TRUE(e.Cls->Available) << e.Code;
        EXPECT_FALSE(StatClassCaption(*e.Cls, 2).isEmpty()) << e.Code;
    }
    TStatFixture fx;
    int lo = 0, hi = 0;
    TstSumRangesClass.ParamRange(fx.List, lo, hi);
    EXPECT_EQ(lo, 1);
    EXPECT_EQ(hi, 3);
    EXPECT_EQ(StatClassCaption(TstSumValuesClass, 0), QStringLiteral("Сумма тиража: все значения"));
}
