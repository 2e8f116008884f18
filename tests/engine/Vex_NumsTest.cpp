#include "engine/Vex_Nums.h"

#include "tests/fixtures/ArchiveFixtures.h"
#include "tests/fixtures/StatFixtures.h"

#include <gtest/gtest.h>

namespace {

struct TRow {
    std::uint16_t Key;
    int Hits;
    std::uint32_t DrawNo, Age;
    std::uint16_t MinGap, MaxGap;
};

void ExpectRow(const TStatDrawArray& table, const TRow& row)
{
    const TStatValueRec* v = FindStatValue(table, row.Key);
    ASSERT_NE(v, nullptr) << "key " << row.Key;
    EXPECT_EQ(v->Hits, row.Hits) << "key " << row.Key;
    EXPECT_EQ(v->DrawNo, row.DrawNo) << "key " << row.Key;
    EXPECT_EQ(v->Age, row.Age) << "key " << row.Key;
    EXPECT_EQ(v->MinGap, row.MinGap) << "key " << row.Key;
    EXPECT_EQ(v->MaxGap, row.MaxGap) << "key " << row.Key;
}

}  // namespace

TEST(VexNums, DigitTableOfSixDraws)
{
    TStatFixture fx(SixDrawArchive());
    TstValues stat(fx.List, 0);
    const TStatDrawArray table = RunStatTable(stat, 0, fx.LastIndex());

    // The pre-filled rows keep the digit order; digits never drawn stay at zero.
    ASSERT_EQ(table.size(), 10u);
    for (int d = 0; d < 10; ++d)
        EXPECT_EQ(table[std::size_t(d)].Key.Words[0], d);
    ExpectRow(table, {3, 3, 6, 1, 2, 3});
    // Two merges from draw 4 (gap 0) are followed by draws 5 and 6 one apart: the gap of
    // 0 is only the "none yet" mark, so the smallest gap ends at 1.
    ExpectRow(table, {4, 4, 6, 1, 1, 1});
    ExpectRow(table, {5, 2, 5, 2, 4, 4});
    ExpectRow(table, {1, 1, 2, 5, 0, 0});
    ExpectRow(table, {2, 1, 2, 5, 0, 0});
    ExpectRow(table, {7, 1, 3, 4, 0, 0});
    for (std::uint16_t d : {0, 6, 8, 9})
        ExpectRow(table, {d, 0, 0, 0, 0, 0});

    // The newest draw gives 1 and the oldest of a window of six gives 6.
    TStatScratch scratch;
    TLastValueArray lastValues;
    TStatDrawArray scratchTable;
    EXPECT_EQ(stat.AddDraw(5, 5, false, scratchTable, scratch, lastValues), 1);
    EXPECT_EQ(stat.AddDraw(0, 5, false, scratchTable, scratch, lastValues), 6);

    // The next occurrence, searched from older to newer draws.
    EXPECT_EQ(stat.FindDraw(StatKeyValue(4), 0, 5, false), 4);
    EXPECT_EQ(stat.FindDraw(StatKeyValue(4), 4, 5, false), 5);
    EXPECT_EQ(stat.FindDraw(StatKeyValue(9), 0, 5, false), -1);
}

TEST(VexNums, EqualDigitsCountTwiceFromOneDraw)
{
    const TStatDrawArray table = OneDrawTable(TstValuesClass, 5, 5);
    ASSERT_EQ(table.size(), 10u);
    ExpectRow(table, {5, 2, 1, 1, 0, 0});
    EXPECT_EQ(HitsOf(table, 0), 0);
}

TEST(VexNums, FullSetDistributions)
{
    TStatFixture fx;
    const TCombsArray all = AllCombinations();

    for (const TStatClass* cls : {&TstValuesClass, &TstDigitsClass}) {
        auto stat = cls->Factory(fx.List, 0);
        const TStatDrawArray table = CombTable(*stat, all);
        ASSERT_EQ(table.size(), 10u) << cls->ClassName;
        for (std::uint16_t d = 0; d < 10; ++d)
            EXPECT_EQ(HitsOf(table, d), 20) << cls->ClassName << " digit " << d;
    }
    // Five of the ten digits have each property (1 counts as prime), so 25 / 50 / 25.
    for (const TStatClass* cls : {&TstEvenCountClass, &TstSmallCountClass, &TstPrimeCountClass}) {
        auto stat = cls->Factory(fx.List, 0);
        const TStatDrawArray table = CombTable(*stat, all);
        EXPECT_EQ(HitsOf(table, 0), 25) << cls->ClassName;
        EXPECT_EQ(HitsOf(table, 1), 50) << cls->ClassName;
        EXPECT_EQ(HitsOf(table, 2), 25) << cls->ClassName;
    }
    for (const TStatClass* cls :
         {&TstEvenValuesClass, &TstSmallValuesClass, &TstPrimeValuesClass}) {
        auto stat = cls->Factory(fx.List, 0);
        const TStatDrawArray table = CombTable(*stat, all);
        ASSERT_EQ(table.size(), 4u) << cls->ClassName;
        for (std::uint16_t mask = 0; mask < 4; ++mask)
            EXPECT_EQ(HitsOf(table, mask), 25) << cls->ClassName << " mask " << mask;
    }
    for (int position : {1, 2}) {
        TstPosVal stat(fx.List, position);
        const TStatDrawArray table = CombTable(stat, all);
        for (std::uint16_t d = 0; d < 10; ++d)
            EXPECT_EQ(HitsOf(table, d), 10);
    }
}

TEST(VexNums, DigitClasses)
{
    EXPECT_TRUE(IsPrimeDigit(1));
    EXPECT_TRUE(IsPrimeDigit(2));
    EXPECT_TRUE(IsPrimeDigit(7));
    EXPECT_TRUE(IsPrimeDigit(251));
    for (int d : {0, 4, 6, 8, 9, 253, -3})
        EXPECT_FALSE(IsPrimeDigit(d)) << d;
    EXPECT_TRUE(IsEvenDigit(0));
    EXPECT_FALSE(IsEvenDigit(9));
    EXPECT_TRUE(IsSmallDigit(4));
    EXPECT_FALSE(IsSmallDigit(5));
}

TEST(VexNums, CountsAndTheirTexts)
{
    TStatFixture fx;

    // No even digit: the value 0, not pre-filled, is appended after 1 and 2.
    TstEvenCount even(fx.List, 0);
    const TStatDrawArray evenTable = OneDrawTable(TstEvenCountClass, 3, 7);
    ASSERT_EQ(evenTable.size(), 3u);
    EXPECT_EQ(evenTable[0].Key.Words[0], 1);
    EXPECT_EQ(evenTable[1].Key.Words[0], 2);
    EXPECT_EQ(evenTable[2].Key.Words[0], 0);
    EXPECT_EQ(evenTable[2].Hits, 1);
    EXPECT_EQ(even.ValueText(evenTable[2]), QStringLiteral("0:2"));
    EXPECT_EQ(even.ValueText(StatKeyValue(2)), QStringLiteral("2:0"));
    EXPECT_EQ(even.ParseValue(QStringLiteral("1:1")), 1);
    EXPECT_EQ(even.ValueOf(MakeComb(2, 8), 0, 0, false), 2);

    // 1 is prime: 1;9 has one prime digit.
    TstPrimeCount prime(fx.List, 0);
    const TStatDrawArray primeTable = OneDrawTable(TstPrimeCountClass, 1, 9);
    EXPECT_EQ(HitsOf(primeTable, 1), 1);
    EXPECT_EQ(prime.ValueText(*FindStatValue(primeTable, 1)), QStringLiteral("1:1"));

    EXPECT_EQ(HitsOf(OneDrawTable(TstSmallCountClass, 4, 5), 1), 1);
    EXPECT_EQ(HitsOf(OneDrawTable(TstSmallCountClass, 0, 4), 2), 1);
}

TEST(VexNums, MasksAndTheirTexts)
{
    TStatFixture fx;
    TstEvenValues even(fx.List, 0);
    // Position 1 is the high bit; the bit is set for an odd digit.
    const TStatDrawArray t27 = OneDrawTable(TstEvenValuesClass, 2, 7);
    EXPECT_EQ(HitsOf(t27, 1), 1);
    EXPECT_EQ(t27.size(), 4u);
    EXPECT_EQ(even.ValueText(StatKeyValue(1)), QStringLiteral("Чн (001)"));
    EXPECT_EQ(HitsOf(OneDrawTable(TstEvenValuesClass, 7, 2), 2), 1);
    EXPECT_EQ(even.ValueText(StatKeyValue(2)), QStringLiteral("нЧ (002)"));
    EXPECT_EQ(even.ParseValue(QStringLiteral("нЧ (002)")), 2);
    EXPECT_EQ(even.ParseValue(QStringLiteral("нн")), 3);

    // SMLV lists only the masks that occurred.
    TstSmallValues small(fx.List, 0);
    const TStatDrawArray t45 = OneDrawTable(TstSmallValuesClass, 4, 5);
    ASSERT_EQ(t45.size(), 1u);
    EXPECT_EQ(t45[0].Key.Dword(0), 1u);
    EXPECT_EQ(small.ValueText(t45[0]), QStringLiteral("12 (001)"));
    TStatDrawArray empty;
    small.InitValues(0, empty);
    EXPECT_TRUE(empty.empty());

    TstPrimeValues prime(fx.List, 0);
    EXPECT_EQ(HitsOf(OneDrawTable(TstPrimeValuesClass, 2, 9), 2), 1);
    EXPECT_EQ(prime.ValueText(StatKeyValue(2)), QStringLiteral("ПС (002)"));
    EXPECT_EQ(prime.ParseValue(QStringLiteral("СП (001)")), 1);
}

TEST(VexNums, PositionValues)
{
    TStatFixture fx;
    TstPosVal pos2(fx.List, 2);
    EXPECT_EQ(pos2.ValueOf(MakeComb(3, 8), 0, 0, false), 8);
    const TStatDrawArray selected{StatKeyValue(8)};
    EXPECT_TRUE(pos2.Test(MakeComb(0, 8), selected, 0, false, false));
    EXPECT_FALSE(pos2.Test(MakeComb(8, 0), selected, 0, false, false));
    EXPECT_EQ(FilterCombs(pos2, selected, 0).size(), 10u);
    EXPECT_EQ(StatClassCode(TstPosValClass, 2), QStringLiteral("POS2"));
    EXPECT_EQ(StatClassCaption(TstPosValClass, 1), QStringLiteral("Число в 1 позиции тиража"));

    // Sorted draws: 7;2 is read as 2;7.
    EXPECT_EQ(HitsOf(OneDrawTable(TstPosValClass, 7, 2, 1, false), 7), 1);
    EXPECT_EQ(HitsOf(OneDrawTable(TstPosValClass, 7, 2, 1, true), 2), 1);

    // The graph value of a draw, with its digits sorted when asked.
    TStatFixture drawn(MakeDraws({{9, 4}}));
    TstPosVal pos1(drawn.List, 1);
    EXPECT_EQ(pos1.DrawValue(0, 0, false), 9);
    EXPECT_EQ(pos1.DrawValue(0, 0, true), 4);

    // A position outside the draw has no value and passes nothing.
    TstPosVal pos3(drawn.List, 3);
    EXPECT_EQ(RunStatTable(pos3, 0, 0).size(), 10u);
    EXPECT_EQ(HitsOf(RunStatTable(pos3, 0, 0), 9), 0);
    EXPECT_TRUE(FilterCombs(pos3, {StatKeyValue(0)}, 0).empty());
}

TEST(VexNums, ExtraNumberHasNoMethodAndPassesNothing)
{
    TStatFixture fx(MakeDraws({{1, 2}}));
    int lo = 0, hi = 0;
    TstPosExtClass.ParamRange(fx.List, lo, hi);
    EXPECT_LT(hi, lo);
    TstPosExt stat(fx.List, 1);
    EXPECT_TRUE(FilterCombs(stat, {StatKeyValue(0)}, 0).empty());
    EXPECT_EQ(stat.DrawValue(0, 0, false), 0);
    EXPECT_TRUE(RunStatTable(stat, 0, 0).empty());
}

TEST(VexNums, CombinationValuesAgreeWithTest)
{
    TStatFixture fx;
    for (const TStatClass* cls :
         {&TstValuesClass, &TstDigitsClass, &TstEvenCountClass, &TstEvenValuesClass,
          &TstSmallCountClass, &TstSmallValuesClass, &TstPrimeCountClass, &TstPrimeValuesClass}) {
        auto stat = cls->Factory(fx.List, 0);
        EXPECT_EQ(CombTestMismatches(*stat, -1).toStdString(), "") << cls->ClassName;
    }
    for (int position : {1, 2}) {
        TstPosVal stat(fx.List, position);
        EXPECT_EQ(CombTestMismatches(stat, -1).toStdString(), "") << "POS" << position;
    }
}

TEST(VexNums, Descriptors)
{
    struct TExpected {
        const TStatClass* Cls;
        const char* Code;
        std::uint8_t Flags;
        bool Graph;
    };
    for (const TExpected& e : {TExpected{&TstValuesClass, "NUMS", 2, false},
                               {&TstDigitsClass, "DIGS", 2, false},
                               {&TstEvenCountClass, "EVEN", 2, true},
                               {&TstEvenValuesClass, "EVNV", 3, false},
                               {&TstSmallCountClass, "SMAL", 2, true},
                               {&TstSmallValuesClass, "SMLV", 3, false},
                               {&TstPrimeCountClass, "PRIM", 2, true},
                               {&TstPrimeValuesClass, "PRMV", 3, false},
                               {&TstPosValClass, "POS1", 3, true},
                               {&TstPosExtClass, "POE1", 0, true}}) {
        EXPECT_EQ(StatClassCode(*e.Cls, 1), QString::fromLatin1(e.Code));
        EXPECT_EQ(e.Cls->Group, 0) << e.Code;
        EXPECT_EQ(e.Cls->Flags, e.Flags) << e.Code;
        EXPECT_EQ(e.Cls->IsGraph, e.Graph) << e.Code;
        EXPECT_TRUE(e.Cls->Available) << e.Code;
        EXPECT_NE(e.Cls->Factory, nullptr) << e.Code;
        EXPECT_FALSE(StatClassCaption(*e.Cls, 1).isEmpty()) << e.Code;
    }
    EXPECT_EQ(StatClassName(TstPosValClass), QStringLiteral("POSx"));
    EXPECT_EQ(StatClassCaption(TstEvenValuesClass, 0),
              QStringLiteral("Четные и нечетные числа в тираже (Чн..нЧ)"));
}
