#include "engine/Vex_Reps.h"

#include "tests/fixtures/ArchiveFixtures.h"
#include "tests/fixtures/StatFixtures.h"

#include <gtest/gtest.h>

#include <map>
#include <utility>
#include <vector>

namespace {

struct TRow {
    int Hits;
    unsigned DrawNo;
    unsigned Age;
};

void ExpectRow(const TStatDrawArray& table, int value, TRow expected)
{
    const TStatValueRec* row = FindStatValue(table, static_cast<std::uint16_t>(value));
    ASSERT_NE(row, nullptr) << "value " << value;
    EXPECT_EQ(row->Hits, expected.Hits) << "value " << value;
    EXPECT_EQ(row->DrawNo, expected.DrawNo) << "value " << value;
    EXPECT_EQ(row->Age, expected.Age) << "value " << value;
}

// Values the last AddDraw merges when `comb` is drawn right after the fixture's archive.
TStatDrawArray NextDrawValues(TStatFixture& fixture, const TStatClass& cls, TCombWord comb)
{
    fixture.Draws.push_back(TDrawRec{static_cast<std::uint32_t>(fixture.Draws.size() + 1),
                                     {CombDigit1(comb), CombDigit2(comb)}, {}, 0});
    auto stat = cls.Factory(fixture.List, 0);
    const int last = fixture.LastIndex();
    TStatDrawArray table;
    TStatScratch scratch;
    TLastValueArray lastValues;
    stat->AddDraw(last, last, false, table, scratch, lastValues);
    fixture.Draws.pop_back();
    return table;
}

const std::vector<const TStatClass*> CountClasses{
    &TstRepCount2Class,      &TstRepCount3Class,      &TstRepCount2B3Class,
    &TstRepCount2over1Class, &TstRepCount2over2Class, &TstRepCount2over3Class,
    &TstRepCount2P1Class,    &TstRepCount2N1Class,    &TstRepCount2P2Class,
    &TstRepCount2N2Class,
};

const std::vector<const TStatClass*> ValueClasses{
    &TstRepValues2Class,      &TstRepValues3Class,      &TstRepValues2B3Class,
    &TstRepValues2over1Class, &TstRepValues2over2Class, &TstRepValues2over3Class,
    &TstRepValues2P1Class,    &TstRepValues2N1Class,    &TstRepValues2P2Class,
    &TstRepValues2N2Class,
};

}  // namespace

TEST(VexReps, CodesAreTheStoredOnes)
{
    const std::vector<std::pair<const TStatClass*, const char*>> codes{
        {&TstRepValues2Class, "RPV2"},      {&TstRepValues3Class, "RPV3"},
        {&TstRepValues2B3Class, "PRL2"},    {&TstRepValues2over1Class, "PRV2O1"},
        {&TstRepValues2over2Class, "PRV2O2"}, {&TstRepValues2over3Class, "PRV2O3"},
        {&TstRepValues2P1Class, "PRV+1"},   {&TstRepValues2N1Class, "PRV-1"},
        {&TstRepValues2P2Class, "PRV+2"},   {&TstRepValues2N2Class, "PRV-2"},
        {&TstRepCount2Class, "RPC2"},       {&TstRepCount3Class, "RPC3"},
        {&TstRepCount2B3Class, "PRB2"},     {&TstRepCount2over1Class, "RPO1"},
        {&TstRepCount2over2Class, "PRC2O2"}, {&TstRepCount2over3Class, "PRC2O3"},
        {&TstRepCount2P1Class, "PRC+1"},    {&TstRepCount2N1Class, "PRC-1"},
        {&TstRepCount2P2Class, "PRC+2"},    {&TstRepCount2N2Class, "PRC-2"},
    };
    for (const auto& [cls, code] : codes) {
        EXPECT_EQ(StatClassCode(*cls, 0), QString::fromLatin1(code));
        EXPECT_EQ(StatClassEffectiveFlags(*cls), sfTwoDraws) << code;
        EXPECT_EQ(cls->Group, 7) << code;
    }
    // Captions hold their number of skipped draws or their shift as plain text.
    EXPECT_EQ(StatClassCaption(TstRepValues2over2Class, 0),
              QStringLiteral("Повторяющиеся числа в 2-х тиражах через 2 тираж(а)"));
    EXPECT_EQ(StatClassCaption(TstRepValues2N2Class, 0),
              QStringLiteral("Данные предыдущего тиража - 2"));
    EXPECT_EQ(StatClassCaption(TstRepCount2P1Class, 0),
              QStringLiteral("Количество совпадений \"значений + 1\""));
}

TEST(VexReps, RepeatCountOverSixDraws)
{
    // 3,5 / 1,2 / 3,7 / 4,4 / 4,5 / 3,4: only 4,5 repeats the 4 of 4,4; the first draw is
    // compared with the empty draw and repeats nothing.
    TStatFixture fixture(SixDrawArchive());
    const TStatDrawArray table = ClassTable(fixture, TstRepCount2Class);
    EXPECT_EQ(table.size(), 3u);
    ExpectRow(table, 0, {5, 6, 1});
    ExpectRow(table, 1, {1, 5, 2});
    ExpectRow(table, 2, {0, 0, 0});   // pre-filled, never drawn
    const TStatValueRec* zero = FindStatValue(table, 0);
    ASSERT_NE(zero, nullptr);
    EXPECT_EQ(zero->MinGap, 1);   // draws 1, 2, 3, 4, 6
    EXPECT_EQ(zero->MaxGap, 2);
    EXPECT_EQ(zero->PrevDrawNo, 6u);
}

TEST(VexReps, RepeatCountsOverDistancesAndShifts)
{
    // 3,1 / 3,7 / 7,7 / 7,2 / 3,7
    TStatFixture fixture(MakeDraws({{3, 1}, {3, 7}, {7, 7}, {7, 2}, {3, 7}}));
    EXPECT_EQ(HitsByValue(ClassTable(fixture, TstRepCount2Class)),
              (std::map<int, int>{{0, 2}, {1, 3}, {2, 0}}));
    EXPECT_EQ(HitsByValue(ClassTable(fixture, TstRepCount2over1Class)),
              (std::map<int, int>{{0, 4}, {1, 1}, {2, 0}}));
    EXPECT_EQ(HitsByValue(ClassTable(fixture, TstRepCount2over2Class)),   // 3,7 three back
              (std::map<int, int>{{0, 4}, {1, 0}, {2, 1}}));
    EXPECT_EQ(HitsByValue(ClassTable(fixture, TstRepCount2over3Class)),
              (std::map<int, int>{{0, 4}, {1, 1}, {2, 0}}));
    // The empty draw shifted by +1 is 1,1, which the first draw 3,1 meets at position 2.
    EXPECT_EQ(HitsByValue(ClassTable(fixture, TstRepCount2P1Class)),
              (std::map<int, int>{{0, 4}, {1, 1}, {2, 0}}));

    // Shifts wrap both ways: 5,1 - 2 = 3,9 and 3,9 + 2 = 5,1.
    TStatFixture wrap(MakeDraws({{5, 1}, {3, 9}, {5, 1}}));
    const TStatDrawArray minus2 = ClassTable(wrap, TstRepCount2N2Class);
    EXPECT_EQ(HitsByValue(minus2), (std::map<int, int>{{0, 2}, {1, 0}, {2, 1}}));
    ExpectRow(minus2, 2, {1, 2, 2});
    const TStatDrawArray plus2 = ClassTable(wrap, TstRepCount2P2Class);
    EXPECT_EQ(HitsByValue(plus2), (std::map<int, int>{{0, 2}, {1, 0}, {2, 1}}));
    ExpectRow(plus2, 2, {1, 3, 1});
}

TEST(VexReps, FirstDrawMeetsTheEmptyDraw)
{
    TStatFixture fixture(MakeDraws({{0, 5}}));
    const TStatDrawArray table = ClassTable(fixture, TstRepCount2Class);
    EXPECT_EQ(HitsByValue(table), (std::map<int, int>{{1, 1}, {2, 0}}));
    // Three draws back of the first lies before the archive as well.
    EXPECT_EQ(HitsByValue(ClassTable(fixture, TstRepCount2over3Class)),
              (std::map<int, int>{{1, 1}, {2, 0}}));
}

TEST(VexReps, RepeatedValuesFollowTheReferenceDraw)
{
    // Reference 3,7. 3,1 -> 3,7 repeats the 3 at position 1; 3,7 -> 7,7 repeats the 7 at
    // position 2; the 7 that 7,7 has at position 1 does not count there.
    TStatFixture fixture(MakeDraws({{3, 1}, {3, 7}, {7, 7}, {7, 2}, {3, 7}}));
    const TStatDrawArray table = ClassTable(fixture, TstRepValues2Class);
    EXPECT_EQ(table.size(), 2u);
    ExpectRow(table, 3, {1, 2, 4});
    ExpectRow(table, 7, {1, 3, 3});

    // Two draws apart only 7,7 -> 3,7 repeats the reference's 7.
    const TStatDrawArray over1 = ClassTable(fixture, TstRepValues2over1Class);
    ExpectRow(over1, 3, {0, 0, 0});
    ExpectRow(over1, 7, {1, 5, 1});

    // Sorted draws 1,3 / 3,7 / 7,7 / 2,7 / 3,7: the 7 now repeats at position 2 from the
    // third draw on, and the 3 of 3,7 follows a 1 at position 1.
    const TStatDrawArray sorted = ClassTable(fixture, TstRepValues2Class, 0, true);
    ExpectRow(sorted, 7, {3, 5, 1});
    ExpectRow(sorted, 3, {0, 0, 0});
}

TEST(VexReps, ShiftedValuesWrap)
{
    // Reference 9,0 shifted by +1 gives the rows 0 and 1. 9,5 -> 0,3: 9 + 1 = 0 repeats at
    // position 1; 4,0 -> 8,1: 0 + 1 = 1 at position 2.
    TStatFixture fixture(MakeDraws({{9, 5}, {0, 3}, {4, 0}, {8, 1}, {9, 0}}));
    const TStatDrawArray table = ClassTable(fixture, TstRepValues2P1Class);
    EXPECT_EQ(table.size(), 2u);
    ExpectRow(table, 0, {1, 2, 4});
    ExpectRow(table, 1, {1, 4, 2});

    // Shifted by -1 the rows are 8 and 9; nothing repeats.
    const TStatDrawArray minus = ClassTable(fixture, TstRepValues2N1Class);
    EXPECT_EQ(HitsByValue(minus), (std::map<int, int>{{8, 0}, {9, 0}}));
}

TEST(VexReps, ThreeDrawRules)
{
    // 2,5 / 2,5 / 2,6 / 4,6 / 2,6 (reference 2,6)
    TStatFixture fixture(MakeDraws({{2, 5}, {2, 5}, {2, 6}, {4, 6}, {2, 6}}));

    const TStatDrawArray three = ClassTable(fixture, TstRepValues3Class);
    ExpectRow(three, 2, {1, 3, 3});   // 2,5 / 2,5 / 2,6
    ExpectRow(three, 6, {1, 5, 1});   // 2,6 / 4,6 / 2,6

    // Repeated from the previous draw but not from the one before: the empty draw counts
    // as "before" for the second draw.
    const TStatDrawArray atMostTwo = ClassTable(fixture, TstRepValues2B3Class);
    ExpectRow(atMostTwo, 2, {1, 2, 4});
    ExpectRow(atMostTwo, 6, {1, 4, 2});

    EXPECT_EQ(HitsByValue(ClassTable(fixture, TstRepCount3Class)),
              (std::map<int, int>{{0, 3}, {1, 2}, {2, 0}}));
    EXPECT_EQ(HitsByValue(ClassTable(fixture, TstRepCount2B3Class)),
              (std::map<int, int>{{0, 3}, {1, 1}, {2, 1}}));
}

TEST(VexReps, PrefilledRowsComeFromTheNewestDrawUnsorted)
{
    TStatFixture fixture(MakeDraws({{1, 1}, {8, 3}}));
    auto stat = TstRepValues2P2Class.Factory(fixture.List, 0);
    TStatDrawArray table;
    stat->InitValues(fixture.LastIndex(), table);
    ASSERT_EQ(table.size(), 2u);
    EXPECT_EQ(table[0].Key.Words[0], 0);   // 8 + 2 wraps
    EXPECT_EQ(table[1].Key.Words[0], 5);
    EXPECT_EQ(table[0].Hits, 0);

    // Equal digits give one row.
    TStatFixture same(MakeDraws({{4, 4}}));
    auto three = TstRepValues3Class.Factory(same.List, 0);
    TStatDrawArray rows;
    three->InitValues(same.LastIndex(), rows);
    EXPECT_EQ(rows.size(), 1u);
}

TEST(VexReps, CombinationAsTheNextDraw)
{
    // Newest two draws 4,6 / 2,6.
    TStatFixture fixture(MakeDraws({{2, 5}, {2, 5}, {2, 6}, {4, 6}, {2, 6}}));
    const int last = fixture.LastIndex();
    auto count2 = TstRepCount2Class.Factory(fixture.List, 0);
    count2->LoadDraws(-1, last, false);
    const TStatDrawArray two{StatKeyValue(2)};
    EXPECT_TRUE(count2->Test(MakeComb(2, 6), two, last, false, false));
    EXPECT_FALSE(count2->Test(MakeComb(6, 2), two, last, false, false));

    // 2,6 after 4,6 / 2,6 repeats position 2 over three draws.
    auto count3 = TstRepCount3Class.Factory(fixture.List, 0);
    EXPECT_TRUE(count3->Test(MakeComb(2, 6), {StatKeyValue(1)}, last, false, false));
    EXPECT_FALSE(count3->Test(MakeComb(2, 6), {StatKeyValue(2)}, last, false, false));

    // Value classes ask only for the digits, at any position.
    auto values = TstRepValues2Class.Factory(fixture.List, 0);
    EXPECT_TRUE(values->Test(MakeComb(0, 6), {StatKeyValue(6)}, last, false, false));
    EXPECT_TRUE(values->Test(MakeComb(6, 0), {StatKeyValue(6)}, last, false, false));
    EXPECT_FALSE(values->Test(MakeComb(1, 2), {StatKeyValue(6)}, last, false, false));
    EXPECT_FALSE(values->Test(MakeComb(1, 2), {}, last, false, false));

    // Before the archive every earlier draw is empty: 0,0 repeats it twice.
    TStatFixture empty;
    auto none = TstRepCount2over3Class.Factory(empty.List, 0);
    EXPECT_TRUE(none->Test(MakeComb(0, 0), {StatKeyValue(2)}, -1, false, false));
}

TEST(VexReps, CountsMergedForTheNextDrawAreThoseTheTestAccepts)
{
    TStatFixture fixture(MakeDraws({{2, 5}, {7, 5}, {2, 6}, {4, 6}, {2, 6}}));
    const int last = fixture.LastIndex();
    for (const TStatClass* cls : CountClasses) {
        auto stat = cls->Factory(fixture.List, 0);
        stat->LoadDraws(-1, last, false);
        for (const TCombWord comb : AllCombinations()) {
            const TStatDrawArray merged = NextDrawValues(fixture, *cls, comb);
            ASSERT_EQ(merged.size(), 1u) << cls->CodeFormat;
            for (std::uint16_t k = 0; k <= 2; ++k)
                EXPECT_EQ(stat->Test(comb, {StatKeyValue(k)}, last, false, false),
                          merged[0].Key.Words[0] == k)
                    << cls->CodeFormat << " " << CombToStr(comb).toStdString() << " " << k;
        }
    }
}

TEST(VexReps, ValuesMergedForTheNextDrawAreAcceptedByTheTest)
{
    TStatFixture fixture(MakeDraws({{2, 5}, {7, 5}, {2, 6}, {4, 6}, {2, 6}, {3, 6}}));
    const int last = fixture.LastIndex();
    int mergedTotal = 0;
    for (const TStatClass* cls : ValueClasses) {
        auto stat = cls->Factory(fixture.List, 0);
        stat->LoadDraws(-1, last, false);
        for (const TCombWord comb : AllCombinations()) {
            for (const TStatValueRec& value : NextDrawValues(fixture, *cls, comb)) {
                ++mergedTotal;
                EXPECT_TRUE(CombHasDigit(value.Key.Words[0], comb)) << cls->CodeFormat;
                EXPECT_TRUE(stat->Test(comb, {value}, last, false, false)) << cls->CodeFormat;
            }
            for (int d = 0; d <= 9; ++d)
                EXPECT_EQ(stat->Test(comb, {StatKeyValue(static_cast<std::uint16_t>(d))}, last,
                                     false, false),
                          CombHasDigit(d, comb));
        }
    }
    EXPECT_GT(mergedTotal, 0);
}
