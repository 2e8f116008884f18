#include "engine/Vex_Ser.h"

#include "tests/fixtures/ArchiveFixtures.h"
#include "tests/fixtures/StatFixtures.h"

#include <gtest/gtest.h>

#include <set>
#include <vector>

namespace {

const std::vector<const TStatClass*> SerialClasses{
    &TstNumGroupsClass, &TstNumPausesClass, &TstChnGroupsClass,
    &TstChnPausesClass, &TstSgmGroupsClass, &TstSgmPausesClass,
};

}  // namespace

// Expected rows: value, run length, hits, draw number, age.

TEST(VexSer, DigitGroupsOverSixDraws)
{
    // Reference 3,4: the 3 comes in three runs of one draw; the 4 in the newest three
    // draws is the open run 4 x 3. Digits the reference lacks get no row.
    TStatFixture fixture(SixDrawArchive());
    const TStatDrawArray table = ClassTable(fixture, TstNumGroupsClass);
    EXPECT_EQ(RowMismatches(table, {{3, 1, 3, 6, 1}, {4, 3, 1, 6, 1}}), "");
    const TStatValueRec* three = FindStatValue(table, 3, 1);
    ASSERT_NE(three, nullptr);
    EXPECT_EQ(three->MinGap, 2);   // runs ending at draws 1, 3 and 6
    EXPECT_EQ(three->MaxGap, 3);

    auto stat = TstNumGroupsClass.Factory(fixture.List, 0);
    EXPECT_EQ(stat->ValueText(*three), QStringLiteral("3 x 1"));
}

TEST(VexSer, DigitPausesOverSixDraws)
{
    // A pause is recorded at the draw it ends with, dated by its own last draw.
    TStatFixture fixture(SixDrawArchive());
    EXPECT_EQ(RowMismatches(ClassTable(fixture, TstNumPausesClass),
                            {{3, 1, 1, 2, 5}, {3, 2, 1, 5, 2}, {4, 3, 1, 3, 4}}),
              "");
}

TEST(VexSer, PauseEndedByTheNewestDrawCountsOnce)
{
    // Five draws without a 2, then 2,2: one row 2 x 5, although both positions hold the 2.
    TStatFixture fixture(MakeDraws({{1, 3}, {4, 5}, {6, 7}, {8, 9}, {0, 1}, {2, 2}}));
    EXPECT_EQ(RowMismatches(ClassTable(fixture, TstNumPausesClass), {{2, 5, 1, 5, 2}}), "");
}

TEST(VexSer, ChannelSeries)
{
    // Channels of 2: 3,5 -> 2,3; 1,2 -> 1,2; 3,7 -> 2,4; 4,4 -> 3; 4,5 -> 3; 3,4 -> 2,3.
    TStatFixture fixture(SixDrawArchive());
    const TStatDrawArray groups = ClassTable(fixture, TstChnGroupsClass);
    EXPECT_EQ(RowMismatches(groups,
                            {{2, 3, 1, 3, 4}, {2, 1, 1, 6, 1}, {3, 1, 1, 1, 6}, {3, 3, 1, 6, 1}}),
              "");
    auto stat = TstChnGroupsClass.Factory(fixture.List, 0);
    EXPECT_EQ(stat->ValueText(*FindStatValue(groups, 2, 3)), QStringLiteral("02 x 3"));

    EXPECT_EQ(RowMismatches(ClassTable(fixture, TstChnPausesClass),
                            {{2, 2, 1, 5, 2}, {3, 2, 1, 3, 4}}),
              "");
}

TEST(VexSer, TenChannelsOfOneDigit)
{
    // With channels of one digit the 9 is channel 10: a caller's ten-entry run table is
    // grown, and channel 10 keeps its own run.
    TStatFixture fixture(MakeDraws({{9, 0}, {9, 1}, {5, 9}}));
    fixture.List.Config().ChannelSize = 1;
    auto stat = TstChnGroupsClass.Factory(fixture.List, 0);
    const int last = fixture.LastIndex();
    TStatDrawArray table;
    TStatScratch scratch(10);
    TLastValueArray lastValues;
    stat->InitValues(last, table);
    for (int i = 0; i <= last; ++i)
        stat->AddDraw(i, last, false, table, scratch, lastValues);
    EXPECT_GE(scratch.size(), 11u);
    EXPECT_EQ(RowMismatches(table, {{10, 3, 1, 3, 1}, {6, 1, 1, 3, 1}}), "");
    EXPECT_EQ(stat->ValueText(*FindStatValue(table, 10, 3)), QStringLiteral("10 x 3"));
    EXPECT_TRUE(stat->Test(MakeComb(0, 9), {StatKeyValue(10, 3)}, last, false, false));
    EXPECT_FALSE(stat->Test(MakeComb(0, 8), {StatKeyValue(10, 3)}, last, false, false));
}

TEST(VexSer, SegmentSeriesDependOnThePosition)
{
    // Segments per draw: 1,4 / 1,3 / 1,4 / 1,3 / 1,4 / 1,3; the reference has 1 and 3.
    TStatFixture fixture(SixDrawArchive());
    fixture.List.Config().MatrixSegments = SegmentsByHalves();
    const TStatDrawArray table = ClassTable(fixture, TstSgmGroupsClass);
    EXPECT_EQ(RowMismatches(table, {{1, 6, 1, 6, 1}, {3, 1, 3, 6, 1}}), "");
    auto stat = TstSgmGroupsClass.Factory(fixture.List, 0);
    EXPECT_EQ(stat->ValueText(*FindStatValue(table, 1, 6)), QStringLiteral("1 x 6"));

    const TStatDrawArray three{StatKeyValue(3, 1)};
    EXPECT_TRUE(stat->Test(MakeComb(9, 2), three, 5, false, false));    // 2 at position 2
    EXPECT_FALSE(stat->Test(MakeComb(2, 9), three, 5, false, false));   // 2 at position 1 is 1
    // The run length of the selected row plays no part.
    EXPECT_TRUE(stat->Test(MakeComb(9, 2), {StatKeyValue(3, 40)}, 5, false, false));
    EXPECT_FALSE(stat->Test(MakeComb(9, 2), {}, 5, false, false));

    // With the default table every digit is segment 1: one run over the whole archive.
    TStatFixture plain(SixDrawArchive());
    EXPECT_EQ(RowMismatches(ClassTable(plain, TstSgmGroupsClass), {{1, 6, 1, 6, 1}}), "");
    EXPECT_TRUE(ClassTable(plain, TstSgmPausesClass).empty());
}

TEST(VexSer, SearchKeepsRunsAcrossSteps)
{
    // The search carries one run table through its steps: started at the fourth draw, the
    // 4 reaches a run of three at the newest draw; started one later, only two. A run is
    // found at the draw that ends it, and dated by its own last draw.
    TStatFixture fixture(SixDrawArchive());
    auto stat = TstNumGroupsClass.Factory(fixture.List, 0);
    EXPECT_EQ(stat->FindDraw(StatKeyValue(4, 3), 0, 5, false), 6);
    EXPECT_EQ(stat->FindDraw(StatKeyValue(4, 3), 3, 5, false), 6);
    EXPECT_EQ(stat->FindDraw(StatKeyValue(4, 3), 4, 5, false), -1);
    EXPECT_EQ(stat->FindDraw(StatKeyValue(3, 1), 0, 5, false), 1);
}

TEST(VexSer, NoChannelSizeScansNothing)
{
    TStatFixture fixture(SixDrawArchive());
    fixture.List.Config().ChannelSize = 0;
    EXPECT_TRUE(ClassTable(fixture, TstChnGroupsClass).empty());
    EXPECT_TRUE(ClassTable(fixture, TstChnPausesClass).empty());
}

TEST(VexSer, ValuesMergedForTheNextDrawAreAcceptedByTheTest)
{
    // The full pass over the archive followed by a combination as the newest draw: every
    // value it records is accepted by Test of that combination. For groups the open runs
    // at the newest draw cover every value of the combination, so the two agree exactly.
    const TDrawsArray base = SixDrawArchive();
    for (const bool split : {false, true}) {
        for (const TStatClass* cls : SerialClasses) {
            for (const TCombWord comb : AllCombinations()) {
                TStatFixture fixture(base);
                if (split)
                    fixture.List.Config().MatrixSegments = SegmentsByHalves();
                fixture.Draws.push_back(TDrawRec{7, {CombDigit1(comb), CombDigit2(comb)}, {}, 0});
                auto stat = cls->Factory(fixture.List, 0);
                auto& serial = static_cast<TCustomSerialStat&>(*stat);
                const int last = fixture.LastIndex();
                TStatDrawArray before;
                TStatDrawArray merged;
                TStatScratch scratch;
                TLastValueArray lastValues;
                for (int i = 0; i < last; ++i)
                    stat->AddDraw(i, last, false, before, scratch, lastValues);
                stat->AddDraw(last, last, false, merged, scratch, lastValues);

                std::set<int> mergedValues;
                for (const TStatValueRec& row : merged)
                    mergedValues.insert(row.Key.Words[0]);
                for (int v = serial.LoValue(); v <= serial.HiValue(); ++v) {
                    const bool accepted = stat->Test(
                        comb, {StatKeyValue(static_cast<std::uint16_t>(v), 1)}, last - 1, false,
                        false);
                    const bool recorded = mergedValues.count(v) == 1;
                    // Pauses record only the values of the combination that had a pause.
                    const bool expected = serial.Groups() ? recorded : (recorded || accepted);
                    EXPECT_EQ(accepted, expected)
                        << cls->CodeFormat << " " << CombToStr(comb).toStdString() << " " << v;
                }
            }
        }
    }
}
