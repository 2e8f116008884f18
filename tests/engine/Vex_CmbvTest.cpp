#include "engine/Vex_Cmbv.h"

#include "tests/fixtures/ArchiveFixtures.h"
#include "tests/fixtures/StatFixtures.h"

#include <gtest/gtest.h>

namespace {

const TStatClass* const OfferedPairs[] = {&TstCombValMix2Class, &TstCombValSeq2Class, &TstCombValPos2Class,
                                          &TstCombValSort2Class};

// Parameter 1 for the start-position class, 0 for the others.
std::unique_ptr<TCustomStat> Make(const TStatClass& cls, TStatFixture& fx)
{
    return cls.Factory(fx.List, &cls == &TstCombValPos2Class ? 1 : 0);
}

TStatKey OnlyKey(const TStatDrawArray& table)
{
    EXPECT_EQ(table.size(), 1u);
    return table.empty() ? TStatKey{} : table[0].Key;
}

}  // namespace

TEST(SubCombinationsTest, PairOfADraw)
{
    TStatFixture fx(MakeDraws({{7, 2}}));
    const TStatKey drawn{{7, 2, 0, 0}};
    const TStatKey ascending{{2, 7, 0, 0}};
    EXPECT_EQ(OnlyKey(RunStatTable(*Make(TstCombValMix2Class, fx), 0, 0)), drawn);
    EXPECT_EQ(OnlyKey(RunStatTable(*Make(TstCombValSeq2Class, fx), 0, 0)), drawn);
    EXPECT_EQ(OnlyKey(RunStatTable(*Make(TstCombValPos2Class, fx), 0, 0)), drawn);
    EXPECT_EQ(OnlyKey(RunStatTable(*Make(TstCombValSort2Class, fx), 0, 0)), ascending);
    for (const TStatClass* cls : OfferedPairs) {
        EXPECT_EQ(OnlyKey(RunStatTable(*Make(*cls, fx), 0, 0, true)), ascending) << cls->ClassName;
        EXPECT_TRUE(CombTable(*Make(*cls, fx), AllCombinations()).empty()) << cls->ClassName;
    }
    EXPECT_EQ(Make(TstCombValMix2Class, fx)->ValueText(StatKeyValue(3, 7)), QStringLiteral("3:7"));
}

TEST(SubCombinationsTest, StatisticsTable)
{
    TStatFixture fx(MakeDraws({{7, 2}, {2, 7}, {7, 2}, {3, 3}}));
    const TStatDrawArray sorted = RunStatTable(*Make(TstCombValSort2Class, fx), 0, 3);
    ASSERT_EQ(sorted.size(), 2u);
    const TStatValueRec* v = FindStatValue(sorted, 2, 7);
    EXPECT_EQ(v->Hits, 3);
    EXPECT_EQ(v->DrawNo, 3u);
    EXPECT_EQ(v->Age, 2u);
    EXPECT_EQ(v->MinGap, 1);
    EXPECT_EQ(v->MaxGap, 1);
    EXPECT_EQ(FindStatValue(sorted, 3, 3)->Age, 1u);

    auto mix = Make(TstCombValMix2Class, fx);
    const TStatDrawArray table = RunStatTable(*mix, 0, 3);
    ASSERT_EQ(table.size(), 3u);
    v = FindStatValue(table, 7, 2);
    EXPECT_EQ(v->Hits, 2);
    EXPECT_EQ(v->MinGap, 2);
    EXPECT_EQ(FindStatValue(table, 2, 7)->Hits, 1);
    EXPECT_EQ(mix->FindDraw(StatKeyValue(7, 2), 1, 3, false), 3);
    EXPECT_EQ(mix->FindDraw(StatKeyValue(7, 2), 1, 3, true), -1);
}

TEST(SubCombinationsTest, Filters)
{
    TStatFixture fx;
    // The ascending pair 2:7 is kept for 2,7 and for 7,2.
    EXPECT_EQ(FilterCombs(*Make(TstCombValSort2Class, fx), {StatKeyValue(2, 7)}, -1),
              (TCombsArray{MakeComb(7, 2), MakeComb(2, 7)}));
    for (const TStatClass* cls : {&TstCombValMix2Class, &TstCombValSeq2Class, &TstCombValPos2Class})
        EXPECT_EQ(FilterCombs(*Make(*cls, fx), {StatKeyValue(2, 7)}, -1), (TCombsArray{MakeComb(2, 7)}))
            << cls->ClassName;
    // An ascending pair is never 7:2.
    EXPECT_TRUE(FilterCombs(*Make(TstCombValSort2Class, fx), {StatKeyValue(7, 2)}, -1).empty());
}

TEST(SubCombinationsTest, AddDrawAgreesWithTest)
{
    // The combination tables are empty, so every combination is made the draw added: the
    // one key AddDraw merges for it must be exactly the one Test accepts.
    TStatFixture fx(MakeDraws({{0, 0}}));
    for (const TStatClass* cls : OfferedPairs) {
        auto stat = Make(*cls, fx);
        EXPECT_EQ(DrawTestMismatches(*stat, fx, 0, 0).toStdString(), "") << cls->ClassName;
        for (const TCombWord comb : AllCombinations()) {
            fx.Draws[0].Digits = {CombDigit1(comb), CombDigit2(comb)};
            EXPECT_EQ(RunStatTable(*stat, 0, 0).size(), 1u) << cls->ClassName;
        }
    }
}

TEST(SubCombinationsTest, RegistryRows)
{
    TStatFixture fx;
    int lo = 0, hi = 0;
    TstCombValPos2Class.ParamRange(fx.List, lo, hi);
    EXPECT_EQ(lo, 1);
    EXPECT_EQ(hi, 1);
    TstCombValPos3Class.ParamRange(fx.List, lo, hi);
    EXPECT_LT(hi, lo);
    TstCombValPos4Class.ParamRange(fx.List, lo, hi);
    EXPECT_EQ(hi, -1);
    EXPECT_EQ(StatClassCode(TstCombValPos2Class, 1), QStringLiteral("KNP21"));
    EXPECT_EQ(StatClassName(TstCombValPos2Class), QStringLiteral("KNP2"));
    EXPECT_EQ(StatClassCaption(TstCombValPos2Class, 1),
              QStringLiteral("Сочетания из 2-х чисел тиража начиная с 1 позиции"));
    EXPECT_EQ(StatClassCode(TstCombValMix2Class, 0), QStringLiteral("KNM2"));
    EXPECT_EQ(StatClassCaption(TstCombValMix2Class, 0),
              QStringLiteral("Сочетания из 2 чисел по всем числам тиража"));
    EXPECT_EQ(StatClassCaption(TstCombValSort2Class, 0),
              QStringLiteral("Сочетания из 2 чисел тиража по возрастанию"));
    for (const TStatClass* cls : OfferedPairs) {
        EXPECT_TRUE(cls->Available);
        EXPECT_FALSE(cls->HasNumericValue);
    }
    for (const TStatClass* cls : {&TstCombValMix3Class, &TstCombValMix4Class, &TstCombValSeq3Class,
                                  &TstCombValSeq4Class, &TstCombValPos3Class, &TstCombValPos4Class,
                                  &TstCombValSort3Class, &TstCombValSort4Class})
        EXPECT_FALSE(cls->Available) << cls->ClassName;

    // A start position that leaves no pair merges nothing and accepts nothing.
    fx.SetDraws(MakeDraws({{7, 2}}));
    auto past = TstCombValPos2Class.Factory(fx.List, 2);
    EXPECT_TRUE(RunStatTable(*past, 0, 0).empty());
    EXPECT_TRUE(FilterCombs(*past, {StatKeyValue(7, 2)}, 0).empty());
}
