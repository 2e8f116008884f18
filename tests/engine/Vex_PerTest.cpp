#include "engine/Vex_Per.h"

#include "tests/fixtures/ArchiveFixtures.h"
#include "tests/fixtures/StatFixtures.h"

#include <gtest/gtest.h>

#include <vector>

// Expected rows: value, period, hits, draw number, age.

TEST(VexPer, DigitPeriodsOverSixDraws)
{
    TStatFixture fixture(SixDrawArchive());
    const TStatDrawArray table = ClassTable(fixture, TstNumPeriodsClass);
    EXPECT_EQ(RowMismatches(table,
                            {{3, 2, 1, 3, 4}, {5, 4, 1, 5, 2}, {3, 3, 1, 6, 1}, {4, 1, 2, 6, 1}}),
              "");
    const TStatValueRec* four = FindStatValue(table, 4, 1);
    ASSERT_NE(four, nullptr);
    EXPECT_EQ(four->MinGap, 1);   // draws 5 and 6
    EXPECT_EQ(four->MaxGap, 1);
    auto stat = TstNumPeriodsClass.Factory(fixture.List, 0);
    EXPECT_EQ(stat->ValueText(*four), QStringLiteral("4 x 1"));

    // Over the first three draws only the 3 comes back; the 7 is new and records nothing.
    EXPECT_EQ(RowMismatches(RunStatTable(*TstNumPeriodsClass.Factory(fixture.List, 0), 0, 2),
                            {{3, 2, 1, 3, 1}}),
              "");
}

TEST(VexPer, EqualDigitsRecordOnePeriod)
{
    TStatFixture fixture(MakeDraws({{4, 1}, {4, 4}}));
    EXPECT_EQ(RowMismatches(ClassTable(fixture, TstNumPeriodsClass), {{4, 1, 1, 2, 1}}), "");
}

TEST(VexPer, ChannelPeriods)
{
    // Channels of 2: 2,3 / 1,2 / 2,4 / 3,3 / 3,3 / 2,3.
    TStatFixture fixture(SixDrawArchive());
    const TStatDrawArray table = ClassTable(fixture, TstChnPeriodsClass);
    EXPECT_EQ(RowMismatches(table,
                            {{2, 1, 2, 3, 4}, {3, 3, 1, 4, 3}, {3, 1, 2, 6, 1}, {2, 3, 1, 6, 1}}),
              "");
    auto stat = TstChnPeriodsClass.Factory(fixture.List, 0);
    EXPECT_EQ(stat->ValueText(*FindStatValue(table, 2, 3)), QStringLiteral("02 x 3"));

    // No channel size, no channels.
    fixture.List.Config().ChannelSize = 0;
    EXPECT_TRUE(ClassTable(fixture, TstChnPeriodsClass).empty());
}

TEST(VexPer, SegmentPeriodsDependOnThePosition)
{
    // Segments per draw: 1,4 / 1,3 / 1,4 / 1,3 / 1,4 / 1,3.
    TStatFixture fixture(SixDrawArchive());
    fixture.List.Config().MatrixSegments = SegmentsByHalves();
    const TStatDrawArray table = ClassTable(fixture, TstSgmPeriodsClass);
    EXPECT_EQ(RowMismatches(table, {{1, 1, 5, 6, 1}, {4, 2, 2, 5, 2}, {3, 2, 2, 6, 1}}), "");
    auto stat = TstSgmPeriodsClass.Factory(fixture.List, 0);
    EXPECT_EQ(stat->ValueText(*FindStatValue(table, 4, 2)), QStringLiteral("4 x 2"));

    // Row 3 x 2 asks the draw before the newest (4,5: segments 1 and 4), which lacks 3.
    const int last = fixture.LastIndex();
    const TStatDrawArray three{StatKeyValue(3, 2)};
    EXPECT_FALSE(stat->Test(MakeComb(9, 0), three, last, false, false));
    EXPECT_TRUE(stat->Test(MakeComb(9, 0), three, last, false, true));
    // 0,9 has segments 1 and 4, so the row does not concern it either way.
    EXPECT_FALSE(stat->Test(MakeComb(0, 9), three, last, false, false));
    EXPECT_FALSE(stat->Test(MakeComb(0, 9), three, last, false, true));
    // Row 4 x 2: 4,5 has segment 4 at position 2.
    EXPECT_TRUE(stat->Test(MakeComb(0, 9), {StatKeyValue(4, 2)}, last, false, false));

    // The earlier draw is read as drawn even when draws are sorted: 7,2 has segment 2 at
    // position 1 (sorted, 2,7 would have 1 and 4).
    TStatFixture unsorted(MakeDraws({{7, 2}, {0, 0}}));
    unsorted.List.Config().MatrixSegments = SegmentsByHalves();
    auto sgm = TstSgmPeriodsClass.Factory(unsorted.List, 0);
    EXPECT_TRUE(sgm->Test(MakeComb(5, 0), {StatKeyValue(2, 2)}, 1, true, false));
}

TEST(VexPer, TestAsksTheDrawThatWouldCompleteThePeriod)
{
    // Newest draw 6,1: a period of 1 for 6 is completed by any next draw with a 6.
    TStatFixture fixture(MakeDraws({{2, 3}, {6, 1}}));
    auto stat = TstNumPeriodsClass.Factory(fixture.List, 0);
    const int last = fixture.LastIndex();
    stat->LoadDraws(-1, last, false);
    const TStatDrawArray six{StatKeyValue(6, 1)};
    EXPECT_TRUE(stat->Test(MakeComb(6, 0), six, last, false, false));
    EXPECT_TRUE(stat->Test(MakeComb(0, 6), six, last, false, false));
    EXPECT_FALSE(stat->Test(MakeComb(6, 0), six, last, false, true));
    // Without the 6 the row does not concern the combination.
    EXPECT_FALSE(stat->Test(MakeComb(2, 3), six, last, false, false));
    EXPECT_FALSE(stat->Test(MakeComb(2, 3), six, last, false, true));
    // A period of 2 for 2 asks the draw 2,3.
    EXPECT_TRUE(stat->Test(MakeComb(2, 9), {StatKeyValue(2, 2)}, last, false, false));
    EXPECT_FALSE(stat->Test(MakeComb(2, 9), {StatKeyValue(2, 1)}, last, false, false));
    EXPECT_TRUE(stat->Test(MakeComb(2, 9), {StatKeyValue(2, 1)}, last, false, true));
    // The draw is read as drawn, not sorted: 3 at position 2 of 2,3 stays there.
    EXPECT_FALSE(stat->Test(MakeComb(1, 1), {StatKeyValue(1, 2)}, last, true, false));
    EXPECT_FALSE(stat->Test(MakeComb(2, 9), {}, last, false, false));
}

TEST(VexPer, SearchNeverFindsAPeriod)
{
    // Every step of the search starts with an empty last-value list.
    TStatFixture fixture(SixDrawArchive());
    auto stat = TstNumPeriodsClass.Factory(fixture.List, 0);
    EXPECT_EQ(stat->FindDraw(StatKeyValue(4, 1), 0, 5, false), -1);
    EXPECT_EQ(stat->FindDraw(StatKeyValue(3, 2), 0, 5, false), -1);
}

TEST(VexPer, PeriodsMergedForTheNextDrawAreAcceptedByTheTest)
{
    // A combination drawn after the archive completes periods; each of them makes Test of
    // that combination true before it is drawn, and no row of another value does.
    const std::vector<const TStatClass*> classes{&TstNumPeriodsClass, &TstChnPeriodsClass,
                                                 &TstSgmPeriodsClass};
    const TDrawsArray base = MakeDraws({{3, 5}, {1, 2}, {3, 7}, {4, 4}, {4, 5}, {8, 9}, {3, 4}});
    int mergedTotal = 0;
    for (const bool split : {false, true}) {
        for (const TStatClass* cls : classes) {
            for (const TCombWord comb : AllCombinations()) {
                TStatFixture fixture(base);
                if (split)
                    fixture.List.Config().MatrixSegments = SegmentsByHalves();
                const int last = fixture.LastIndex();
                const auto number = static_cast<std::uint32_t>(last + 2);
                fixture.Draws.push_back(TDrawRec{number, {CombDigit1(comb), CombDigit2(comb)}, {}, 0});
                auto stat = cls->Factory(fixture.List, 0);
                auto& periods = static_cast<TCustomPeriodsStat&>(*stat);
                TStatDrawArray before;
                TStatDrawArray merged;
                TStatScratch scratch;
                TLastValueArray lastValues;
                for (int i = 0; i <= last; ++i)
                    stat->AddDraw(i, last + 1, false, before, scratch, lastValues);
                stat->AddDraw(last + 1, last + 1, false, merged, scratch, lastValues);
                fixture.Draws.pop_back();

                for (const TStatValueRec& row : merged) {
                    ++mergedTotal;
                    EXPECT_TRUE(stat->Test(comb, {row}, last, false, false))
                        << cls->CodeFormat << " " << CombToStr(comb).toStdString();
                }
                const int v1 = periods.PeriodValueOf(1, CombDigit1(comb));
                const int v2 = periods.PeriodValueOf(2, CombDigit2(comb));
                for (const TStatValueRec& row : before) {
                    if (row.Key.Words[0] != v1 && row.Key.Words[0] != v2) {
                        EXPECT_FALSE(stat->Test(comb, {row}, last, false, false))
                            << cls->CodeFormat << " " << CombToStr(comb).toStdString();
                    }
                }
            }
        }
    }
    EXPECT_GT(mergedTotal, 0);
}
