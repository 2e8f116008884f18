#include "engine/Vex_HCO.h"

#include "tests/fixtures/ArchiveFixtures.h"
#include "tests/fixtures/StatFixtures.h"

#include <gtest/gtest.h>

#include <map>

namespace {

std::unique_ptr<TCustomStat> Make(const TStatClass& cls, TStatFixture& fx)
{
    return cls.Factory(fx.List, 0);
}

int GraphValue(TCustomStat& stat, int index)
{
    return dynamic_cast<TCustomGraphStat&>(stat).DrawValue(index, index, false);
}

std::vector<int> ProposedDigits(const TStatDrawArray& table)
{
    std::vector<int> values;
    for (const TStatValueRec& v : table)
        values.push_back(v.Key.Words[0]);
    return values;
}

}  // namespace

TEST(OgnevTest, NewestDrawValues)
{
    // 3,5: difference 2 in every mode; HCO3 proposes 2 and the multiples 8, 6, 4.
    TStatFixture fx(MakeDraws({{3, 5}, {4, 5}, {6, 6}}));
    auto hco1 = Make(TstOgnev1Class, fx);
    auto hco2 = Make(TstOgnev2Class, fx);
    auto hco3 = Make(TstOgnev3Class, fx);
    EXPECT_EQ(GraphValue(*hco1, 0), 2);
    EXPECT_EQ(GraphValue(*hco2, 0), 2);
    EXPECT_EQ(ProposedDigits(RunStatTable(*hco3, 0, 0)), (std::vector<int>{2, 8, 6, 4}));

    // 4,5: HCO1 1, HCO2 the sum 9; HCO3 one row 9 marked with the difference 1.
    EXPECT_EQ(GraphValue(*hco1, 1), 1);
    EXPECT_EQ(GraphValue(*hco2, 1), 9);
    const TStatDrawArray nine = RunStatTable(*hco3, 0, 1);
    ASSERT_EQ(nine.size(), 1u);
    EXPECT_EQ(nine[0].Key, (TStatKey{{9, 1, 0, 2}}));
    EXPECT_EQ(hco3->ValueText(nine[0]), QStringLiteral("9 (1)"));

    // 6,6: HCO1 0, HCO2 12; HCO3 a row 12 that no digit matches.
    EXPECT_EQ(GraphValue(*hco1, 2), 0);
    EXPECT_EQ(GraphValue(*hco2, 2), 12);
    const TStatDrawArray twelve = RunStatTable(*hco3, 0, 2);
    ASSERT_EQ(twelve.size(), 1u);
    EXPECT_EQ(twelve[0].Key, (TStatKey{{12, 0, 0, 0}}));
    EXPECT_EQ(hco3->ValueText(twelve[0]), QStringLiteral("12"));
    EXPECT_TRUE(FilterCombs(*hco3, twelve, 2).empty());
}

TEST(OgnevTest, ProposalsAndTheirConfirmation)
{
    // Newest draw of the range 3,5 (index 1); the draw after it, 8,0, holds 8 only.
    TStatFixture fx(MakeDraws({{1, 1}, {3, 5}, {8, 0}}));
    auto hco3 = Make(TstOgnev3Class, fx);
    const TStatDrawArray table = RunStatTable(*hco3, 0, 1);
    ASSERT_EQ(table.size(), 4u);
    for (const TStatValueRec& v : table) {
        EXPECT_EQ(v.Hits, v.Key.Words[0] == 8 ? 1 : 0) << v.Key.Words[0];
        EXPECT_EQ(v.DrawNo, 2u);
        EXPECT_EQ(v.Age, 1u);
    }
    // The next-occurrence search starts after the value's draw and never finds a proposal.
    EXPECT_EQ(hco3->FindDraw(StatKeyValue(8), 2, 1, false), -1);

    // A filter with the proposals keeps the combinations holding 2, 4, 6 or 8: 100 - 6 * 6.
    EXPECT_EQ(FilterCombs(*hco3, table, 1).size(), 64u);

    // v = 3 proposes 9 and 6; v = 4 only 8; v = 1 and 5 nothing more.
    fx.SetDraws(MakeDraws({{0, 3}}));
    EXPECT_EQ(ProposedDigits(RunStatTable(*hco3, 0, 0)), (std::vector<int>{3, 9, 6}));
    fx.SetDraws(MakeDraws({{9, 5}}));
    EXPECT_EQ(ProposedDigits(RunStatTable(*hco3, 0, 0)), (std::vector<int>{4, 8}));
    fx.SetDraws(MakeDraws({{2, 0}, {0, 5}}));
    EXPECT_EQ(ProposedDigits(RunStatTable(*hco3, 0, 1)), (std::vector<int>{5}));
    EXPECT_EQ(ProposedDigits(RunStatTable(*hco3, 0, 0)), (std::vector<int>{2, 8, 6, 4}));
}

TEST(OgnevTest, NoConfirmationPastTheArchive)
{
    // 0,0 proposes the digit 0. Without a following draw nothing can confirm it; with one
    // that holds 0 the hit is counted.
    TStatFixture fx(MakeDraws({{0, 0}}));
    auto hco3 = Make(TstOgnev3Class, fx);
    TStatDrawArray table = RunStatTable(*hco3, 0, 0);
    ASSERT_EQ(table.size(), 1u);
    EXPECT_EQ(table[0].Key.Words[0], 0);
    EXPECT_EQ(table[0].Hits, 0);

    fx.SetDraws(MakeDraws({{0, 0}, {7, 0}}));
    table = RunStatTable(*hco3, 0, 0);
    ASSERT_EQ(table.size(), 1u);
    EXPECT_EQ(table[0].Hits, 1);
}

TEST(OgnevTest, StatisticsTable)
{
    // HCO1 of 3,5 / 1,1 / 7,9 / 4,4: 2, 0, 2, 0.
    TStatFixture fx(MakeDraws({{3, 5}, {1, 1}, {7, 9}, {4, 4}}));
    const TStatDrawArray hco1 = RunStatTable(*Make(TstOgnev1Class, fx), 0, 3);
    ASSERT_EQ(hco1.size(), 2u);
    const TStatValueRec* two = FindStatValue(hco1, 2);
    EXPECT_EQ(two->Hits, 2);
    EXPECT_EQ(two->DrawNo, 3u);
    EXPECT_EQ(two->Age, 2u);
    EXPECT_EQ(two->MinGap, 2);
    const TStatValueRec* zero = FindStatValue(hco1, 0);
    EXPECT_EQ(zero->DrawNo, 4u);
    EXPECT_EQ(zero->Age, 1u);

    // HCO2: 2, 2 (1,1 summed), 2, 8.
    const TStatDrawArray hco2 = RunStatTable(*Make(TstOgnev2Class, fx), 0, 3);
    EXPECT_EQ(HitsByValue(hco2), (std::map<int, int>{{2, 3}, {8, 1}}));
    EXPECT_EQ(FindStatValue(hco2, 2)->MinGap, 1);
    EXPECT_EQ(FindStatValue(hco2, 2)->MaxGap, 1);
}

TEST(OgnevTest, AllCombinations)
{
    TStatFixture fx;
    std::map<int, int> hco1;
    hco1[0] = 10;
    for (int d = 1; d <= 9; ++d)
        hco1[d] = 2 * (10 - d);
    EXPECT_EQ(HitsByValue(CombTable(*Make(TstOgnev1Class, fx), AllCombinations())), hco1);

    // Differences 0 and 1 become sums: 0 -> 1 (0,0), 1 -> 2 (0,1 and 1,0), 2 -> 16 + 1,
    // 3 -> 14 + 2, and the larger sums 10..18 only from pairs d,d and d,d+1.
    const std::map<int, int> hco2{{0, 1}, {1, 2}, {2, 17}, {3, 16}, {4, 13}, {5, 12}, {6, 9}, {7, 8},
                                  {8, 5}, {9, 4}, {10, 1}, {11, 2}, {12, 1}, {13, 2}, {14, 1}, {15, 2},
                                  {16, 1}, {17, 2}, {18, 1}};
    EXPECT_EQ(HitsByValue(CombTable(*Make(TstOgnev2Class, fx), AllCombinations())), hco2);

    for (const TStatClass* cls : {&TstOgnev1Class, &TstOgnev2Class})
        EXPECT_EQ(CombTestMismatches(*Make(*cls, fx), -1), QString()) << cls->ClassName;
    // HCO3 tests the digits of a combination against the proposals, which only a draw makes.
    EXPECT_TRUE(CombTable(*Make(TstOgnev3Class, fx), AllCombinations()).empty());
    EXPECT_EQ(FilterCombs(*Make(TstOgnev3Class, fx), {StatKeyValue(9, 1, 0, 2)}, -1).size(), 19u);
}

TEST(OgnevTest, RegistryRows)
{
    EXPECT_EQ(TstOgnev3Class.Flags, sfShowS | sfTwoDraws);
    EXPECT_FALSE(TstOgnev3Class.HasNumericValue);
    EXPECT_EQ(StatClassCode(TstOgnev2Class, 0), QStringLiteral("HCO2"));
    EXPECT_EQ(StatClassCaption(TstOgnev2Class, 0),
              QStringLiteral("Число Огнева 2 (разность + сложение, если {0,1})"));
    EXPECT_EQ(StatClassEffectiveFlags(TstOgnev1Class), sfShowS | sfPlainValue | sfGraph);
}
