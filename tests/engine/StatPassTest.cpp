// The machinery that keeps the statistics-table pass fast: it must give what the plain
// operations give.

#include "engine/KelmaStatList.h"
#include "engine/Vex_Per.h"
#include "tests/fixtures/ArchiveFixtures.h"
#include "tests/fixtures/StatFixtures.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <vector>

namespace {

TStatValueRec Observation(std::uint16_t w1, std::uint16_t w2, std::uint32_t drawNo, std::uint32_t age)
{
    TStatValueRec v;
    v.Key = WordKey(w1, w2);
    v.DrawNo = drawNo;
    v.PrevDrawNo = drawNo;
    v.Age = age;
    v.Hits = 1;
    return v;
}

}  // namespace

TEST(StatPass, DigitGroupTableEqualsTheDivision)
{
    for (int w = -2; w <= 12; ++w)
        for (int d = -5; d <= 300; ++d)
            ASSERT_EQ(DigitGroupIndex(d, w), DigitGroupIndexOf(d, w)) << d << " " << w;
}

// The first element of a key wins, also when a table holds it twice, on both sides of the
// size where the scan changes its way.
TEST(StatPass, FindStatKeyFindsTheFirstElement)
{
    for (const std::size_t size : {0u, 1u, 5u, 31u, 32u, 33u, 40u, 100u}) {
        TStatDrawArray table;
        for (std::size_t i = 0; i < size; ++i)
            table.push_back(Observation(static_cast<std::uint16_t>(i % 7 == 6 ? 3 : i), 0, 1, 1));
        for (std::uint16_t key = 0; key < 110; ++key) {
            const auto it = std::find_if(table.begin(), table.end(),
                                         [&](const TStatValueRec& e) { return e.Key == WordKey(key); });
            TStatValueRec* expected = it == table.end() ? nullptr : &*it;
            EXPECT_EQ(FindStatKey(table, WordKey(key).Packed()), expected) << size << " " << key;
        }
    }
}

// The first element of a key is updated in lists of any length; a new key is appended.
TEST(StatPass, LastValueListsOfAnySize)
{
    for (const std::uint32_t size : {0u, 3u, 32u, 33u, 45u}) {
        TLastValueArray list;
        for (std::uint32_t i = 0; i < size; ++i)
            list.push_back({100 + i, WordKey(static_cast<int>(i % 30))});   // keys 0..29 come twice past 30
        const TLastValueArray before = list;
        for (const int key : {0, 2, 29, 31}) {
            TLastValueArray updated = list;
            const int result = UpdateLastValue({500, WordKey(key)}, updated);
            const auto first = std::find_if(list.begin(), list.end(),
                                            [&](const TLastValueRec& e) { return e.Key == WordKey(key); });
            if (first == list.end()) {
                EXPECT_EQ(result, -1);
                ASSERT_EQ(updated.size(), list.size() + 1);
                EXPECT_EQ(updated.back().DrawNo, 500u);
            } else {
                const auto at = static_cast<std::size_t>(first - list.begin());
                EXPECT_EQ(result, static_cast<int>(500 - first->DrawNo)) << size << " " << key;
                TLastValueArray expected = list;
                expected[at].DrawNo = 500;
                EXPECT_EQ(updated, expected) << size << " " << key;
            }
        }
        EXPECT_EQ(list, before);
    }
}

// Merging through the index gives the plain merge's table: growing tables of up to 300
// values, a table cleared and refilled, another table in between, and a table sorted in place
// between two merges.
TEST(StatPass, IndexedMergeEqualsThePlainMerge)
{
    std::uint64_t x = 99;
    auto next = [&](std::uint32_t n) {
        x = x * 6364136223846793005ull + 1442695040888963407ull;
        return static_cast<std::uint32_t>((x >> 33) % n);
    };
    TStatValueIndex index;
    TStatDrawArray indexed, plain, other, otherPlain;
    for (int step = 0; step < 20000; ++step) {
        const TStatValueRec v = Observation(static_cast<std::uint16_t>(next(300)),
                                            static_cast<std::uint16_t>(next(2)), 1 + next(5000), 1 + next(90));
        const bool gaps = next(4) != 0;
        if (step % 7 == 3) {
            index.Merge(other, v, gaps);
            MergeStatValue(otherPlain, v, gaps);
        } else {
            index.Merge(indexed, v, gaps);
            MergeStatValue(plain, v, gaps);
        }
        if (step == 9000) {
            indexed.clear();
            plain.clear();
        }
        if (step == 15000) {
            SortStatValues(indexed);
            SortStatValues(plain);
        }
        ASSERT_EQ(indexed.size(), plain.size()) << step;
    }
    EXPECT_GT(plain.size(), 200u);
    EXPECT_EQ(indexed, plain);
    EXPECT_EQ(other, otherPlain);
}

// The pass over a range through AddDraws gives what AddDraw per draw gives, for every
// offered method, with draws as drawn and sorted, over an archive that also holds digits a
// damaged file may have (the cached keys of the combinations cover 0..9 only).
TEST(StatPass, AddDrawsEqualsAddDrawPerDraw)
{
    TDrawsArray draws = MakeArchive(300, 41);
    draws[40].Digits = {12, 3};
    draws[41].Digits = {3, 250};
    draws[200].Digits = {10, 10};
    TStatFixture fx(draws);
    fx.List.RebuildMethods();
    for (int m = 0; m < fx.List.Count(); ++m) {
        for (const bool sorted : {false, true}) {
            const int last = fx.LastIndex() - 3;
            auto batch = fx.List.CreateStat(m);
            TStatDrawArray a;
            TStatScratch scratchA;
            TLastValueArray lastA;
            batch->InitValues(last, a);
            batch->AddDraws(10, last, sorted, a, scratchA, lastA);

            auto single = fx.List.CreateStat(m);
            TStatDrawArray b;
            TStatScratch scratchB;
            TLastValueArray lastB;
            single->InitValues(last, b);
            for (int i = 10; i <= last; ++i)
                single->AddDraw(i, last, sorted, b, scratchB, lastB);
            ASSERT_EQ(a, b) << fx.List.Items(m).Code().toStdString() << " sorted " << sorted;
            EXPECT_EQ(scratchA, scratchB);
            EXPECT_EQ(lastA, lastB);
        }
    }
    // A digit past 9 is its own value.
    const int nums = fx.List.IndexOfCode(QStringLiteral("NUMS"));
    ASSERT_GE(nums, 0);
    auto stat = fx.List.CreateStat(nums);
    const TStatDrawArray table = RunStatTable(*stat, 40, 41);
    EXPECT_EQ(HitsOf(table, 12), 1);
    EXPECT_EQ(HitsOf(table, 250), 1);
    EXPECT_EQ(HitsOf(table, 3), 2);
}

// The periods' own search gives what the search over the draws gives: nothing.
TEST(StatPass, PeriodsSearchFindsNothing)
{
    TStatFixture fx(MakeArchive(150, 3));
    for (const TStatClass* cls : {&TstNumPeriodsClass, &TstChnPeriodsClass, &TstSgmPeriodsClass}) {
        auto stat = cls->Factory(fx.List, 0);
        const int last = fx.LastIndex() - 30;
        const TStatDrawArray table = RunStatTable(*stat, 0, last);
        ASSERT_FALSE(table.empty());
        for (const TStatValueRec& value : table)
            for (const int start : {0, 7, last - 2, last + 1, fx.LastIndex() + 1})
                EXPECT_EQ(stat->FindDraw(value, start, last, false),
                          stat->TCustomStat::FindDraw(value, start, last, false));
        EXPECT_EQ(stat->Recurrence(), TRecurrence::Never);
    }
}

// The revision moves when a setting that values depend on changed since it was last asked,
// however the change was made, and stays for the weights, the cost and the payouts.
TEST(StatPass, ConfigRevisionFollowsTheValueSettings)
{
    TStatFixture fx;
    TStatList& list = fx.List;
    const std::uint64_t r0 = list.ConfigRevision();
    EXPECT_EQ(list.ConfigRevision(), r0);

    list.Config().Weights.Count = 5;
    list.Config().Cost = TCurrency::FromRaw(100000);
    list.Config().MaxStake = 4;
    list.Config().Profits.push_back({2, TCurrency::FromRaw(50)});
    EXPECT_EQ(list.ConfigRevision(), r0);

    list.Config().ChannelSize = 3;
    EXPECT_EQ(list.ConfigRevision(), r0 + 1);
    list.Config().ChannelSize = 2;   // back as it was: still a change since the last call
    EXPECT_EQ(list.ConfigRevision(), r0 + 2);
    list.Config().MatrixCols = 4;
    EXPECT_EQ(list.ConfigRevision(), r0 + 3);
    list.Config().MatrixSegments = SegmentsByHalves();
    EXPECT_EQ(list.ConfigRevision(), r0 + 4);
    list.Formula3 = QStringLiteral("n1*n2");
    EXPECT_EQ(list.ConfigRevision(), r0 + 5);
    list.Formula1Digits = 3;
    EXPECT_EQ(list.ConfigRevision(), r0 + 6);
    // Several changes between two calls count once.
    list.Formula2 = QStringLiteral("p1");
    list.Formula2Digits = 4;
    EXPECT_EQ(list.ConfigRevision(), r0 + 7);
    EXPECT_EQ(list.ConfigRevision(), r0 + 7);
}
