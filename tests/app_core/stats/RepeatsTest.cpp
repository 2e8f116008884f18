// The repeats analysis: rows per draw and match count, the look-back depth, the archive's
// edges, and the chart's series.

#include "app/core/stats/Repeats.h"
#include "tests/common/TestHelpers.h"
#include "tests/fixtures/ArchiveFixtures.h"

#include <gtest/gtest.h>

#include <climits>

namespace {

// Numbers 1..7, oldest first: 3-5, 1-2, 3-7, 4-4, 3-5, 9-0, 3-2.
TDrawsArray SevenDraws()
{
    return MakeDraws({{3, 5}, {1, 2}, {3, 7}, {4, 4}, {3, 5}, {9, 0}, {3, 2}});
}

struct TRowText {
    int Number;
    int Matches;
    int Count;
    const char* Draws;
};

void ExpectRows(const TRepeatsResult& result, std::initializer_list<TRowText> expected)
{
    ASSERT_EQ(result.Rows.size(), expected.size());
    std::size_t i = 0;
    for (const TRowText& row : expected) {
        const TRepeatsRow& got = result.Rows[i++];
        EXPECT_EQ(got.DrawNumber, static_cast<std::uint32_t>(row.Number)) << "row " << i;
        EXPECT_EQ(got.DrawIndex, row.Number - 1) << "row " << i;
        EXPECT_EQ(got.Matches, row.Matches) << "row " << i;
        EXPECT_EQ(got.Count(), row.Count) << "row " << i;
        EXPECT_EQ(got.DrawsText(), QString::fromLatin1(row.Draws)) << "row " << i;
    }
}

TEST(RepeatsTest, RecentDrawsWithTheirRepeats)
{
    // Draw 7 (3-2) has one position in common with 5, 3, 2 and 1; draw 6 (9-0) with none, so
    // it has no row; draw 5 (3-5) has one with 3 and both with 1: two rows.
    int steps = 0;
    const TRepeatsResult result = AnalyzeRepeats(SevenDraws(), 3, 100, [&] { ++steps; });
    EXPECT_EQ(steps, 3);
    EXPECT_EQ(result.MaxMatches, 2);
    ExpectRows(result, {{7, 1, 4, "5 3 2 1"}, {5, 1, 1, "3"}, {5, 2, 1, "1"}});

    const auto series = RepeatsSeries(result);
    ASSERT_EQ(series.size(), 2u);
    EXPECT_EQ(series[0], (std::vector<TRepeatsPoint>{{5, 1}, {7, 4}}));
    EXPECT_EQ(series[1], (std::vector<TRepeatsPoint>{{5, 1}}));
}

TEST(RepeatsTest, WholeArchiveLeavesTheOldestDrawWithoutRows)
{
    int steps = 0;
    const TRepeatsResult result = AnalyzeRepeats(SevenDraws(), INT_MAX, INT_MAX, [&] { ++steps; });
    EXPECT_EQ(steps, 7);
    EXPECT_EQ(RepeatsDrawCount(SevenDraws(), INT_MAX), 7);
    // 4-4, 1-2 and 3-5 (the oldest) repeat no earlier draw.
    ExpectRows(result, {{7, 1, 4, "5 3 2 1"}, {5, 1, 1, "3"}, {5, 2, 1, "1"}, {3, 1, 1, "1"}});
}

TEST(RepeatsTest, DepthLimitsTheSearchAndStopsAtTheOldestDraw)
{
    const TDrawsArray draws = SevenDraws();
    ExpectRows(AnalyzeRepeats(draws, 1, 1), {});                          // 9-0 shares nothing
    ExpectRows(AnalyzeRepeats(draws, 1, 2), {{7, 1, 1, "5"}});
    ExpectRows(AnalyzeRepeats(draws, 1, 6), {{7, 1, 4, "5 3 2 1"}});   // exactly the archive
    ExpectRows(AnalyzeRepeats(draws, 1, 1000), {{7, 1, 4, "5 3 2 1"}});
    // Lengths and depths below 1 count as 1.
    ExpectRows(AnalyzeRepeats(draws, 0, 0), {});
    ExpectRows(AnalyzeRepeats(draws, -5, 2), {{7, 1, 1, "5"}});
    EXPECT_EQ(RepeatsDrawCount(draws, 0), 1);
}

TEST(RepeatsTest, OnlySingleMatchesGiveOneSeries)
{
    const TRepeatsResult result = AnalyzeRepeats(MakeDraws({{1, 2}, {1, 3}, {4, 3}}), 10, 10);
    EXPECT_EQ(result.MaxMatches, 1);
    ExpectRows(result, {{3, 1, 1, "2"}, {2, 1, 1, "1"}});
    const auto series = RepeatsSeries(result);
    ASSERT_EQ(series.size(), 1u);
    EXPECT_EQ(series[0], (std::vector<TRepeatsPoint>{{2, 1}, {3, 1}}));
}

TEST(RepeatsTest, EmptyAndSingleDrawArchives)
{
    int steps = 0;
    const TRepeatsResult empty = AnalyzeRepeats({}, 100, 100, [&] { ++steps; });
    EXPECT_EQ(steps, 0);
    EXPECT_TRUE(empty.Rows.empty());
    EXPECT_EQ(empty.MaxMatches, 0);
    EXPECT_TRUE(RepeatsSeries(empty).empty());
    EXPECT_EQ(RepeatsDrawCount({}, 100), 0);

    const TRepeatsResult one = AnalyzeRepeats(MakeDraws({{5, 5}}), 100, 100);
    EXPECT_TRUE(one.Rows.empty());
    EXPECT_EQ(one.MaxMatches, 0);
}

TEST(RepeatsTest, LargeDrawNumbersAreWrittenInFull)
{
    TDrawsArray draws = MakeDraws({{2, 8}, {2, 8}});
    draws[0].Number = 104999;
    draws[1].Number = 105000;
    const TRepeatsResult result = AnalyzeRepeats(draws, 100, 100);
    ASSERT_EQ(result.Rows.size(), 1u);
    EXPECT_EQ(result.Rows[0].DrawNumber, 105000u);
    EXPECT_EQ(result.Rows[0].Matches, 2);
    EXPECT_EQ(result.Rows[0].DrawsText(), QStringLiteral("104999"));
}

}  // namespace
