#include "engine/Vex_Diff.h"

#include "tests/fixtures/ArchiveFixtures.h"
#include "tests/fixtures/StatFixtures.h"

#include <gtest/gtest.h>

TEST(VexDiff, DifferenceTableOfSixDraws)
{
    // Differences 2, 1, 4, 0, 1, 1; draw numbers 1..6.
    TStatFixture fx(SixDrawArchive());
    TstDiffTotal stat(fx.List, 0);
    const TStatDrawArray table = RunStatTable(stat, 0, fx.LastIndex());

    // 1..9 are listed in advance; the 0 of draw 4 is appended.
    ASSERT_EQ(table.size(), 10u);
    EXPECT_EQ(table.front().Key.Words[0], 1);
    EXPECT_EQ(table.back().Key.Words[0], 0);
    const TStatValueRec* one = FindStatValue(table, 1);
    EXPECT_EQ(one->Hits, 3);
    EXPECT_EQ(one->DrawNo, 6u);
    EXPECT_EQ(one->Age, 1u);
    EXPECT_EQ(one->MinGap, 1);
    EXPECT_EQ(one->MaxGap, 3);
    const TStatValueRec* zero = FindStatValue(table, 0);
    EXPECT_EQ(zero->Hits, 1);
    EXPECT_EQ(zero->DrawNo, 4u);
    EXPECT_EQ(zero->Age, 3u);
    EXPECT_EQ(FindStatValue(table, 2)->Age, 6u);
    EXPECT_EQ(FindStatValue(table, 4)->DrawNo, 3u);
    EXPECT_EQ(HitsOf(table, 9), 0);
}

TEST(VexDiff, EqualDigitsAddTheDifferenceZero)
{
    for (const TStatClass* cls : {&TstDiffTotalClass, &TstDiffMaxClass, &TstMinMaxDiffsClass}) {
        const TStatDrawArray table = OneDrawTable(*cls, 4, 4);
        ASSERT_EQ(table.size(), 10u) << cls->ClassName;
        EXPECT_EQ(table.back().Key.Words[0], 0) << cls->ClassName;
        EXPECT_EQ(table.back().Hits, 1) << cls->ClassName;
    }
}

TEST(VexDiff, BothOrdersGiveTheSameDifference)
{
    for (const TStatClass* cls : {&TstDiffTotalClass, &TstDiffMaxClass, &TstMinMaxDiffsClass}) {
        EXPECT_EQ(HitsOf(OneDrawTable(*cls, 2, 9), 7), 1) << cls->ClassName;
        EXPECT_EQ(HitsOf(OneDrawTable(*cls, 9, 2), 7), 1) << cls->ClassName;
    }
    TStatFixture fx;
    TstDiffMax max(fx.List, 0);
    EXPECT_EQ(max.ValueOf(MakeComb(9, 2), 0, 0, false), 7);
    TstMinMaxDiffs spread(fx.List, 0);
    EXPECT_EQ(spread.ValueOf(MakeComb(0, 9), 0, 0, false), 9);
}

TEST(VexDiff, SameDifferences)
{
    TStatFixture fx;
    TstDiffSame same(fx.List, 0);
    const TStatDrawArray table = OneDrawTable(TstDiffSameClass, 2, 9);
    ASSERT_EQ(table.size(), 1u);
    EXPECT_EQ(table[0].Key.Words[0], 7);
    EXPECT_EQ(table[0].Key.Words[1], 1);
    EXPECT_EQ(same.ValueText(table[0]), QStringLiteral("7 x 1"));
    EXPECT_EQ(same.ValueFromText(QStringLiteral("7 x 1")), 0);   // not typed as a number

    // Every two-digit draw has one pair: DIFK is always 1.
    TstDiffSameCnt count(fx.List, 0);
    const TStatDrawArray counts = CombTable(count, AllCombinations());
    ASSERT_EQ(counts.size(), 1u);
    EXPECT_EQ(HitsOf(counts, 1), 100);
    EXPECT_EQ(OneDrawTable(TstDiffSameCntClass, 5, 5).size(), 1u);
}

TEST(VexDiff, FullSetDistribution)
{
    TStatFixture fx;
    for (const TStatClass* cls : {&TstDiffTotalClass, &TstDiffMaxClass, &TstMinMaxDiffsClass}) {
        auto stat = cls->Factory(fx.List, 0);
        const TStatDrawArray table = CombTable(*stat, AllCombinations());
        ASSERT_EQ(table.size(), 10u) << cls->ClassName;
        EXPECT_EQ(HitsOf(table, 0), 10) << cls->ClassName;
        for (std::uint16_t d = 1; d <= 9; ++d)
            EXPECT_EQ(HitsOf(table, d), 2 * (10 - d)) << cls->ClassName << " difference " << d;
    }
    TstDiffSame same(fx.List, 0);
    const TStatDrawArray pairs = CombTable(same, AllCombinations());
    EXPECT_EQ(HitsOf(pairs, 0, 1), 10);
    EXPECT_EQ(HitsOf(pairs, 9, 1), 2);
}

TEST(VexDiff, ZeroSelectsTheEqualDigits)
{
    TStatFixture fx;
    TstDiffTotal stat(fx.List, 0);
    const TCombsArray kept = FilterCombs(stat, {StatKeyValue(0)}, 0);
    ASSERT_EQ(kept.size(), 10u);
    for (TCombWord comb : kept)
        EXPECT_EQ(CombDigit1(comb), CombDigit2(comb));
}

TEST(VexDiff, NotOfferedSequences)
{
    for (const TStatClass* cls :
         {&TstCombDiffSeq2Class, &TstCombDiffSeq3Class, &TstCombDiffSeq4Class}) {
        EXPECT_FALSE(cls->Available);
        EXPECT_EQ(cls->Group, 2);
    }
    EXPECT_EQ(StatClassCode(TstCombDiffSeq3Class, 7), QStringLiteral("KDS3"));
}

TEST(VexDiff, CombinationValuesAgreeWithTest)
{
    TStatFixture fx;
    for (const TStatClass* cls : {&TstDiffTotalClass, &TstDiffMaxClass, &TstMinMaxDiffsClass,
                                  &TstDiffSameClass, &TstDiffSameCntClass}) {
        auto stat = cls->Factory(fx.List, 0);
        EXPECT_EQ(CombTestMismatches(*stat, -1).toStdString(), "") << cls->ClassName;
    }
}

TEST(VexDiff, Descriptors)
{
    struct TExpected {
        const TStatClass* Cls;
        const char* Code;
        std::uint8_t Flags;
        bool Graph, Numeric;
    };
    for (const TExpected& e : {TExpected{&TstDiffTotalClass, "DIFA", 3, false, true},
                               {&TstDiffMaxClass, "DIFM", 3, true, true},
                               {&TstMinMaxDiffsClass, "DIFD", 2, true, true},
                               {&TstDiffSameClass, "DIFO", 3, false, false},
                               {&TstDiffSameCntClass, "DIFK", 3, true, true},
                               {&TstCombDiffSeq2Class, "KDS2", 1, false, false}}) {
        EXPECT_EQ(StatClassCode(*e.Cls, 0), QString::fromLatin1(e.Code));
        EXPECT_EQ(e.Cls->Group, 2) << e.Code;
        EXPECT_EQ(e.Cls->Flags, e.Flags) << e.Code;
        EXPECT_EQ(e.Cls->IsGraph, e.Graph) << e.Code;
        EXPECT_EQ(e.Cls->HasNumericValue, e.Numeric) << e.Code;
    }
    EXPECT_EQ(StatClassCaption(TstCombDiffSeq4Class, 0),
              QStringLiteral("Сочетания из 4 разностей между числами"));
}
