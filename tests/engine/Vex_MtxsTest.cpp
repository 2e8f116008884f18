#include "engine/Vex_Mtxs.h"

#include "tests/fixtures/ArchiveFixtures.h"
#include "tests/fixtures/StatFixtures.h"

#include <gtest/gtest.h>

namespace {

std::unique_ptr<TCustomStat> Make(const TStatClass& cls, TStatFixture& fx)
{
    return cls.Factory(fx.List, 0);
}

}  // namespace

TEST(MatrixTest, ColumnAndRowPairs)
{
    // Three columns: digit d in row d div 3 + 1, column d mod 3 + 1.
    // 0,9: columns (1,1), rows (1,4); 7,5: columns (2,3), rows (3,2); 4,1: columns (2,2),
    // rows (2,1); 1,9: columns (2,1), rows (1,4).
    TStatFixture fx(MakeDraws({{0, 9}, {7, 5}, {4, 1}, {1, 9}}));
    for (const TStatClass* cls : {&TstCombColMix2Class, &TstCombColSeq2Class}) {
        auto stat = Make(*cls, fx);
        const TStatDrawArray table = RunStatTable(*stat, 0, 3);
        ASSERT_EQ(table.size(), 4u) << cls->ClassName;
        EXPECT_EQ(FindStatValue(table, 1, 1)->DrawNo, 1u);
        EXPECT_EQ(FindStatValue(table, 1, 1)->Age, 4u);
        EXPECT_EQ(FindStatValue(table, 2, 3)->Hits, 1);
        EXPECT_EQ(FindStatValue(table, 2, 2)->Age, 2u);
        EXPECT_EQ(FindStatValue(table, 2, 1)->Age, 1u);
        EXPECT_EQ(stat->ValueText(table[1]), QStringLiteral("2:3"));
        // Sorted, 7,5 reads 5,7: columns (3,2).
        EXPECT_NE(FindStatValue(RunStatTable(*stat, 1, 1, true), 3, 2), nullptr);
    }
    for (const TStatClass* cls : {&TstCombRowMix2Class, &TstCombRowSeq2Class}) {
        auto stat = Make(*cls, fx);
        const TStatDrawArray table = RunStatTable(*stat, 0, 3);
        ASSERT_EQ(table.size(), 3u) << cls->ClassName;
        const TStatValueRec* v = FindStatValue(table, 1, 4);
        ASSERT_NE(v, nullptr);
        EXPECT_EQ(v->Hits, 2);
        EXPECT_EQ(v->DrawNo, 4u);
        EXPECT_EQ(v->Age, 1u);
        EXPECT_EQ(v->MinGap, 3);
        EXPECT_EQ(v->MaxGap, 3);
        EXPECT_EQ(FindStatValue(table, 3, 2)->Hits, 1);
        EXPECT_EQ(FindStatValue(table, 2, 1)->Hits, 1);
        EXPECT_EQ(stat->FindDraw(StatKeyValue(1, 4), 1, 3, false), 4);
        // Rows (1,4): digit 1 in 0..2 and digit 2 equal to 9.
        EXPECT_EQ(FilterCombs(*stat, {StatKeyValue(1, 4)}, 3).size(), 3u);
    }
}

TEST(MatrixTest, PairsHaveNoCombinationTableAndAgreeWithTest)
{
    TStatFixture fx;
    for (const TStatClass* cls : {&TstCombColMix2Class, &TstCombColSeq2Class, &TstCombRowMix2Class,
                                  &TstCombRowSeq2Class}) {
        EXPECT_TRUE(CombTable(*Make(*cls, fx), AllCombinations()).empty()) << cls->ClassName;
        EXPECT_EQ(DrawTestMismatches(*cls, fx), QString()) << cls->ClassName;
    }
}

TEST(MatrixTest, ColumnCountOutsideTheDigitsIsHeldInRange)
{
    // A configuration without columns reads as one column: every digit in column 1 and
    // in row d + 1.
    TStatFixture fx(MakeDraws({{0, 9}}));
    fx.List.Config().MatrixCols = 0;
    EXPECT_NE(FindStatValue(RunStatTable(*Make(TstCombColMix2Class, fx), 0, 0), 1, 1), nullptr);
    EXPECT_NE(FindStatValue(RunStatTable(*Make(TstCombRowMix2Class, fx), 0, 0), 1, 10), nullptr);
    // More columns than digits: column d + 1, everything in row 1.
    fx.List.Config().MatrixCols = 40;
    EXPECT_NE(FindStatValue(RunStatTable(*Make(TstCombColMix2Class, fx), 0, 0), 1, 10), nullptr);
    EXPECT_NE(FindStatValue(RunStatTable(*Make(TstCombRowMix2Class, fx), 0, 0), 1, 1), nullptr);
    // A damaged digit has no cell.
    fx.SetDraws(MakeDraws({{11, 2}}));
    fx.List.Config().MatrixCols = 3;
    EXPECT_NE(FindStatValue(RunStatTable(*Make(TstCombColMix2Class, fx), 0, 0), 0, 3), nullptr);
}

TEST(MatrixTest, RegistryRows)
{
    TStatFixture fx;
    int lo = 0, hi = 0;
    MatrixColParamRange(fx.List, lo, hi);
    EXPECT_EQ(lo, 1);
    EXPECT_EQ(hi, 3);
    fx.List.Config().MatrixCols = 0;
    MatrixColParamRange(fx.List, lo, hi);
    EXPECT_LT(hi, lo);
    MatrixRowParamRange(fx.List, lo, hi);
    EXPECT_EQ(hi, 10);

    const TStatClass* offered[] = {&TstCombColMix2Class, &TstCombColSeq2Class, &TstCombRowMix2Class,
                                   &TstCombRowSeq2Class};
    const char* codes[] = {"KFM2", "KFS2", "KRM2", "KRS2"};
    const char* captions[] = {"Сочетания из 2 столбцов по всем числам тиража",
                              "Сочетания из 2 столбцов по соседним числам",
                              "Сочетания из 2 строк по всем числам тиража",
                              "Сочетания из 2 строк по соседним числам"};
    for (int i = 0; i < 4; ++i) {
        EXPECT_TRUE(offered[i]->Available);
        EXPECT_EQ(StatClassCode(*offered[i], 0), QString::fromLatin1(codes[i]));
        EXPECT_EQ(StatClassCaption(*offered[i], 0), QString::fromUtf8(captions[i]));
        EXPECT_EQ(offered[i]->Group, 4);
        EXPECT_EQ(offered[i]->Flags, sfShowS);
    }
    const TStatClass* hidden[] = {&TstColumnsClass, &TstRowsClass, &TstColValuesClass, &TstRowValuesClass,
        &TstColCountClass, &TstRowCountClass, &TstColMaskClass, &TstRowMaskClass, &TstColAjacentClass,
        &TstRowAjacentClass, &TstColAjacentCntClass, &TstRowAjacentCntClass, &TstCombColMix3Class,
        &TstCombColMix4Class, &TstCombColSeq3Class, &TstCombColSeq4Class, &TstCombRowMix3Class,
        &TstCombRowMix4Class, &TstCombRowSeq3Class, &TstCombRowSeq4Class, &TstColValCntClass,
        &TstRowValCntClass};
    for (const TStatClass* cls : hidden) {
        EXPECT_FALSE(cls->Available) << cls->ClassName;
        EXPECT_EQ(cls->Group, 4) << cls->ClassName;
    }
    EXPECT_EQ(StatClassCode(TstColValCntClass, 2), QStringLiteral("COL2"));
    EXPECT_EQ(StatClassName(TstRowValCntClass), QStringLiteral("ROWx"));
}
