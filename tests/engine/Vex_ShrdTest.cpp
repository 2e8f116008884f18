#include "engine/Vex_Shrd.h"

#include "tests/fixtures/ArchiveFixtures.h"
#include "tests/fixtures/StatFixtures.h"

#include <gtest/gtest.h>

namespace {

std::unique_ptr<TstShreddingStat> Make(TStatFixture& fx, int param = 1)
{
    return std::make_unique<TstShreddingStat>(fx.List, param);
}

std::uint32_t OnlyValue(const TStatDrawArray& table)
{
    EXPECT_EQ(table.size(), 1u);
    return table.empty() ? 0xFFFFFFFFu : table[0].Key.Dword(0);
}

}  // namespace

TEST(ShreddingTest, DefaultFormula)
{
    // n1/n2 with 2 digits: 1/3 = 0.333.. gives 33, 2/1 = 2 gives 0, 3/4 gives 75.
    TStatFixture fx(MakeDraws({{1, 3}, {2, 1}, {3, 4}, {1, 3}}));
    auto stat = Make(fx);
    EXPECT_EQ(stat->Formula(), QStringLiteral("n1/n2"));
    EXPECT_EQ(stat->Digits(), 2);
    EXPECT_EQ(stat->DrawValue(0, 3, false), 33);
    EXPECT_EQ(stat->DrawValue(1, 3, false), 0);
    EXPECT_EQ(stat->DrawValue(2, 3, false), 75);
    // Sorted, 2,1 reads 1,2: one half.
    EXPECT_EQ(stat->DrawValue(1, 3, true), 50);

    const TStatDrawArray table = RunStatTable(*stat, 0, 3);
    ASSERT_EQ(table.size(), 3u);
    const TStatValueRec* v = FindStatValue(table, 33);
    EXPECT_EQ(v->Hits, 2);
    EXPECT_EQ(v->DrawNo, 4u);
    EXPECT_EQ(v->Age, 1u);
    EXPECT_EQ(v->MinGap, 3);
    EXPECT_EQ(stat->ValueText(*v), QStringLiteral("33"));
    EXPECT_EQ(stat->FindDraw(StatKeyValue(75), 0, 3, false), 3);

    // Dividing by a zero digit is caught and gives 0.
    fx.SetDraws(MakeDraws({{5, 0}}));
    EXPECT_EQ(OnlyValue(RunStatTable(*stat, 0, 0)), 0u);
}

TEST(ShreddingTest, PreviousDrawsDependOnThePass)
{
    // (n1+p1+t1)/4 with 2 digits: quarters only, exact in binary.
    TStatFixture fx(MakeDraws({{1, 0}, {2, 0}, {3, 0}}));
    fx.List.Formula2 = QStringLiteral("(n1+p1+t1)/4");
    fx.List.Formula2Digits = 2;
    auto stat = Make(fx, 2);

    // A combination has 0,0 before it: 1,x gives 1/4.
    EXPECT_EQ(OnlyValue(CombTable(*stat, {MakeComb(1, 5)})), 25u);
    // Draw 3 has 2,0 and 1,0 before it: (3+2+1)/4 = 1.5; draw 2 only 1,0: 3/4.
    EXPECT_EQ(OnlyValue(RunStatTable(*stat, 2, 2)), 50u);
    EXPECT_EQ(OnlyValue(RunStatTable(*stat, 1, 1)), 75u);
    EXPECT_EQ(stat->DrawValue(2, 2, false), 50);
    // The filter takes the combination as the draw after `last`: 1 + 3 + 2 = 6, 6/4 = 1.5.
    EXPECT_EQ(FilterCombs(*stat, {StatKeyValue(50)}, 2).size(), 30u);   // digit 1 = 1, 5 or 9
    const TCombsArray kept = FilterCombs(*stat, {StatKeyValue(50)}, 2);
    EXPECT_EQ(CombDigit1(kept.front()), 1);
    // Without previous draws the same filter keeps other combinations: n1/4 = 0.5 for 2 and 6.
    EXPECT_EQ(CombDigit1(FilterCombs(*stat, {StatKeyValue(50)}, -1).front()), 2);
}

TEST(ShreddingTest, FiveDigitValuesDoNotWrap)
{
    // 2/3 with 5 digits is 66666, past the 16 bits of one key word.
    TStatFixture fx(MakeDraws({{2, 3}, {1, 3}}));
    fx.List.Formula1Digits = 5;
    auto stat = Make(fx);
    const TStatDrawArray table = RunStatTable(*stat, 0, 1);
    ASSERT_EQ(table.size(), 2u);
    EXPECT_EQ(table[0].Key.Dword(0), 66666u);
    EXPECT_EQ(table[0].Key.Words[2], 0);
    EXPECT_EQ(stat->ValueText(table[0]), QStringLiteral("66666"));
    // Values that fit keep word 1 alone.
    EXPECT_EQ(table[1].Key, (TStatKey{{33333, 0, 0, 0}}));

    const TCombsArray kept = FilterCombs(*stat, {table[0]}, 1);
    EXPECT_NE(std::find(kept.begin(), kept.end(), MakeComb(2, 3)), kept.end());
    EXPECT_NE(std::find(kept.begin(), kept.end(), MakeComb(4, 6)), kept.end());
    // 1130 = 66666 - 65536 is another value, not the wrapped one.
    const TCombsArray wrapped = FilterCombs(*stat, {StatKeyValue(1130)}, 1);
    EXPECT_EQ(std::find(wrapped.begin(), wrapped.end(), MakeComb(2, 3)), wrapped.end());
}

TEST(ShreddingTest, MethodsAndAgreement)
{
    TStatFixture fx(MakeDraws({{4, 7}, {9, 2}}));
    int lo = 0, hi = 0;
    TstShreddingStatClass.ParamRange(fx.List, lo, hi);
    EXPECT_EQ(lo, 1);
    EXPECT_EQ(hi, 3);
    EXPECT_EQ(StatClassCode(TstShreddingStatClass, 3), QStringLiteral("SHR3"));
    EXPECT_EQ(StatClassName(TstShreddingStatClass), QStringLiteral("SHRx"));
    EXPECT_EQ(StatClassCaption(TstShreddingStatClass, 2), QStringLiteral("Метод шинковки 2: %s"));
    EXPECT_EQ(Make(fx, 3)->Formula(), QStringLiteral("(n1+n2)/(n1-n2)"));
    EXPECT_TRUE(Make(fx, 4)->Formula().isEmpty());

    // The default formulas use the combination alone, so the combination table and the
    // filter agree whatever the previous draws.
    for (int param = 1; param <= 3; ++param) {
        EXPECT_EQ(CombTestMismatches(*Make(fx, param), 1), QString()) << param;
        EXPECT_EQ(CombTestMismatches(*Make(fx, param), -1), QString()) << param;
    }
}
