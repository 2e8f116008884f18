#include "engine/Vex_Seqn.h"

#include "tests/fixtures/ArchiveFixtures.h"
#include "tests/fixtures/StatFixtures.h"

#include <gtest/gtest.h>

namespace {

std::unique_ptr<TCustomStat> Make(const TStatClass& cls, TStatFixture& fx)
{
    return cls.Factory(fx.List, 0);
}

int Hits(const TStatDrawArray& table, std::uint16_t value)
{
    const TStatValueRec* v = FindStatValue(table, value);
    return v ? v->Hits : -1;
}

int GraphValue(TCustomStat& stat, int index, bool sorted)
{
    return dynamic_cast<TCustomGraphStat&>(stat).DrawValue(index, index, sorted);
}

}  // namespace

TEST(SequencesTest, RisingAndFallingPairs)
{
    TStatFixture fx(MakeDraws({{4, 5}, {5, 4}, {9, 0}, {0, 1}}));
    auto seql = Make(TstSequenceLenClass, fx);
    auto seqs = Make(TstSequenceCntClass, fx);
    auto lens = Make(TstSequenceLenMaxClass, fx);

    // 4,5: one run of length 2.
    TStatDrawArray t = RunStatTable(*seql, 0, 0);
    EXPECT_EQ(Hits(t, 2), 1);
    EXPECT_EQ(Hits(t, 1), 0);
    EXPECT_EQ(Hits(RunStatTable(*seqs, 0, 0), 1), 1);
    EXPECT_EQ(Hits(RunStatTable(*lens, 0, 0), 2), 1);

    // 5,4 as drawn: two runs of length 1, no sequence, longest 1; the graph values take the
    // falling step: 1 sequence of length 2.
    t = RunStatTable(*seql, 1, 1);
    EXPECT_EQ(Hits(t, 1), 2);
    EXPECT_EQ(Hits(t, 2), 0);
    EXPECT_EQ(Hits(RunStatTable(*seqs, 1, 1), 0), 1);
    EXPECT_EQ(Hits(RunStatTable(*lens, 1, 1), 1), 1);
    EXPECT_EQ(GraphValue(*seqs, 1, false), 1);
    EXPECT_EQ(GraphValue(*lens, 1, false), 2);

    // Sorted, 5,4 reads 4,5.
    EXPECT_EQ(Hits(RunStatTable(*seql, 1, 1, true), 2), 1);
    EXPECT_EQ(Hits(RunStatTable(*seqs, 1, 1, true), 1), 1);
    EXPECT_EQ(Hits(RunStatTable(*lens, 1, 1, true), 2), 1);

    // 9,0 does not wrap round; 0,1 does rise.
    EXPECT_EQ(Hits(RunStatTable(*seql, 2, 2), 1), 2);
    EXPECT_EQ(Hits(RunStatTable(*seqs, 2, 2), 0), 1);
    EXPECT_EQ(GraphValue(*seqs, 2, false), 0);
    EXPECT_EQ(GraphValue(*lens, 2, false), 0);
    EXPECT_EQ(Hits(RunStatTable(*lens, 3, 3), 2), 1);
}

TEST(SequencesTest, StatisticsTable)
{
    // 4,5 / 1,3 / 2,3 / 7,7, numbered 1..4; the newest has age 1.
    TStatFixture fx(MakeDraws({{4, 5}, {1, 3}, {2, 3}, {7, 7}}));

    const TStatDrawArray seql = RunStatTable(*Make(TstSequenceLenClass, fx), 0, 3);
    ASSERT_EQ(seql.size(), 2u);
    const TStatValueRec* two = FindStatValue(seql, 2);
    EXPECT_EQ(two->Hits, 2);
    EXPECT_EQ(two->DrawNo, 3u);
    EXPECT_EQ(two->Age, 2u);
    EXPECT_EQ(two->MinGap, 2);
    EXPECT_EQ(two->MaxGap, 2);
    const TStatValueRec* one = FindStatValue(seql, 1);
    EXPECT_EQ(one->Hits, 4);
    EXPECT_EQ(one->DrawNo, 4u);
    EXPECT_EQ(one->Age, 1u);
    EXPECT_EQ(one->MaxGap, 2);

    const TStatDrawArray seqs = RunStatTable(*Make(TstSequenceCntClass, fx), 0, 3);
    ASSERT_EQ(seqs.size(), 2u);
    EXPECT_EQ(seqs[0].Key.Words[0], 0);   // pre-filled 0 then 1
    EXPECT_EQ(seqs[0].Hits, 2);
    EXPECT_EQ(seqs[0].DrawNo, 4u);
    EXPECT_EQ(seqs[0].MinGap, 2);
    EXPECT_EQ(seqs[1].Hits, 2);
    EXPECT_EQ(seqs[1].DrawNo, 3u);
    EXPECT_EQ(seqs[1].Age, 2u);

    auto lens = Make(TstSequenceLenMaxClass, fx);
    const TStatDrawArray lensTable = RunStatTable(*lens, 0, 3);
    ASSERT_EQ(lensTable.size(), 2u);
    EXPECT_EQ(lensTable[0].Key.Words[0], 1);   // pre-filled 1 then 2
    EXPECT_EQ(lensTable[0].Hits, 2);
    EXPECT_EQ(lensTable[1].Hits, 2);
    EXPECT_EQ(lens->FindDraw(StatKeyValue(2), 1, 3, false), 3);
    EXPECT_EQ(lens->FindDraw(StatKeyValue(2), 3, 3, false), -1);
    EXPECT_EQ(lens->ValueText(lensTable[1]), QStringLiteral("2"));

    // Values never drawn still appear.
    TStatDrawArray empty;
    Make(TstSequenceLenClass, fx)->InitValues(3, empty);
    ASSERT_EQ(empty.size(), 2u);
    EXPECT_EQ(empty[0].Hits, 0);
}

TEST(SequencesTest, AllCombinations)
{
    TStatFixture fx;
    // Nine rising pairs 0,1 .. 8,9 form one run of 2; the other 91 count two runs of 1 each,
    // so the hits add up to 191.
    const TStatDrawArray seql = CombTable(*Make(TstSequenceLenClass, fx), AllCombinations());
    EXPECT_EQ(Hits(seql, 2), 9);
    EXPECT_EQ(Hits(seql, 1), 182);
    const TStatDrawArray seqs = CombTable(*Make(TstSequenceCntClass, fx), AllCombinations());
    EXPECT_EQ(Hits(seqs, 1), 9);
    EXPECT_EQ(Hits(seqs, 0), 91);
    const TStatDrawArray lens = CombTable(*Make(TstSequenceLenMaxClass, fx), AllCombinations());
    EXPECT_EQ(Hits(lens, 2), 9);
    EXPECT_EQ(Hits(lens, 1), 91);

    for (const TStatClass* cls : {&TstSequenceLenClass, &TstSequenceCntClass, &TstSequenceLenMaxClass})
        EXPECT_EQ(CombTestMismatches(*Make(*cls, fx), -1), QString()) << cls->ClassName;
}

TEST(SequencesTest, Filters)
{
    TStatFixture fx;
    // LENS with the value 1 keeps every combination without a sequence.
    const TCombsArray kept = FilterCombs(*Make(TstSequenceLenMaxClass, fx), {StatKeyValue(1)}, -1);
    EXPECT_EQ(kept.size(), 91u);
    for (const TCombWord comb : kept)
        EXPECT_NE(CombDigit2(comb) - CombDigit1(comb), 1);
    // SEQL with the value 1 keeps the same 91; with 2 the nine rising pairs.
    EXPECT_EQ(FilterCombs(*Make(TstSequenceLenClass, fx), {StatKeyValue(1)}, -1).size(), 91u);
    EXPECT_EQ(FilterCombs(*Make(TstSequenceLenClass, fx), {StatKeyValue(2)}, -1).size(), 9u);
    EXPECT_EQ(FilterCombs(*Make(TstSequenceCntClass, fx), {StatKeyValue(1)}, -1, false, true).size(), 91u);
    EXPECT_TRUE(FilterCombs(*Make(TstSequenceCntClass, fx), {}, -1).empty());
}
