// The draws graph of a method over small archives, and the sum distribution with its bands,
// worked out by hand.

#include "tests/app_core/CoreTestEnv.h"

#include "app/core/views/DrawsGraph.h"
#include "tests/fixtures/ArchiveFixtures.h"
#include "tests/fixtures/StatFixtures.h"

#include <gtest/gtest.h>

namespace {

class DrawsGraphTest : public TCoreTest {
protected:
    DrawsGraphTest()
    {
        ApplyDefaultStatSettings(FState.StatList());
        FState.StatList().RebuildMethods();
        FState.FDraws = SixDrawArchive();   // digit sums 8, 3, 10, 8, 9, 7
    }

    const TStatMethod* Sums() const
    {
        const int i = FState.StatList().IndexOfCode(QStringLiteral("SUMS"));
        EXPECT_GE(i, 0);
        EXPECT_TRUE(i >= 0 && FState.StatList().IsGraph(i));
        return i >= 0 ? &FState.StatList().Items(i) : nullptr;
    }

    std::vector<int> Values() const
    {
        std::vector<int> values;
        for (const TDrawsGraphPoint& point : FGraph.Data().Points)
            values.push_back(point.Y);
        return values;
    }

    TDrawsGraph FGraph{FState};
};

TEST_F(DrawsGraphTest, ValuesMeanAndMostFrequentOverTheWindow)
{
    ASSERT_EQ(FGraph.Calc(Sums(), 100, false), TDrawsGraphResult::Computed);
    EXPECT_EQ(Values(), (std::vector<int>{8, 3, 10, 8, 9, 7}));
    EXPECT_DOUBLE_EQ(FGraph.Data().Mean, 7.5);
    EXPECT_EQ(FGraph.Data().MostFrequent, 8);
    const TDrawsGraphPoint& first = FGraph.Data().Points.front();
    EXPECT_EQ(first, (TDrawsGraphPoint{1, 8, QStringLiteral("1")}));
    EXPECT_EQ(FGraph.Data().Points.back().X, 6);
    EXPECT_TRUE(FStatuses.contains(QStringLiteral("Анализ тиражей и построение графиков...")));
}

TEST_F(DrawsGraphTest, WindowEndsAtTheOffsetAndTheFirstOfATieWins)
{
    // Draws 3 to 6: sums 10, 8, 9, 7, each once: 10 is met first.
    ASSERT_EQ(FGraph.Calc(Sums(), 4, false), TDrawsGraphResult::Computed);
    EXPECT_EQ(Values(), (std::vector<int>{10, 8, 9, 7}));
    EXPECT_DOUBLE_EQ(FGraph.Data().Mean, 8.5);
    EXPECT_EQ(FGraph.Data().MostFrequent, 10);

    // Offset 2 and length 3: draws 2 to 4.
    FState.SetDrawsOffset(2);
    ASSERT_EQ(FGraph.Calc(Sums(), 3, false), TDrawsGraphResult::Computed);
    EXPECT_EQ(Values(), (std::vector<int>{3, 10, 8}));
    EXPECT_EQ(FGraph.Data().Points.front().X, 2);
    EXPECT_EQ(FGraph.Data().Points.front().Label, QStringLiteral("2"));
    EXPECT_DOUBLE_EQ(FGraph.Data().Mean, 7.0);
    EXPECT_EQ(FGraph.Data().MostFrequent, 3);
}

TEST_F(DrawsGraphTest, EqualValuesMakeMeanAndMostFrequentCoincide)
{
    FState.FDraws = MakeDraws({{1, 1}, {2, 0}, {0, 2}, {1, 1}});
    ASSERT_EQ(FGraph.Calc(Sums(), 10, false), TDrawsGraphResult::Computed);
    EXPECT_EQ(Values(), (std::vector<int>{2, 2, 2, 2}));
    EXPECT_DOUBLE_EQ(FGraph.Data().Mean, 2.0);
    EXPECT_EQ(FGraph.Data().MostFrequent, 2);
}

TEST_F(DrawsGraphTest, NoMethodOrNoDrawsClearsTheGraph)
{
    ASSERT_EQ(FGraph.Calc(Sums(), 10, false), TDrawsGraphResult::Computed);
    EXPECT_EQ(FGraph.Calc(nullptr, 10, false), TDrawsGraphResult::Cleared);
    EXPECT_TRUE(FGraph.Data().Points.empty());

    FState.FDraws.clear();
    FStatuses.clear();
    EXPECT_EQ(FGraph.Calc(Sums(), 10, false), TDrawsGraphResult::Cleared);
    EXPECT_TRUE(FGraph.Data().Points.empty());
    EXPECT_TRUE(FStatuses.isEmpty());

    // An offset past the archive leaves no draws either.
    FState.FDraws = SixDrawArchive();
    FState.SetDrawsOffset(6);
    EXPECT_EQ(FGraph.Calc(Sums(), 10, false), TDrawsGraphResult::Cleared);
}

TEST_F(DrawsGraphTest, RedrawsOnlyWhenTheKeyChanges)
{
    const TStatMethod* sums = Sums();
    EXPECT_EQ(FGraph.Calc(sums, 10, false), TDrawsGraphResult::Computed);
    EXPECT_EQ(FGraph.Calc(sums, 10, false), TDrawsGraphResult::Unchanged);
    EXPECT_EQ(FGraph.Calc(sums, 10, true), TDrawsGraphResult::Computed);
    EXPECT_EQ(FGraph.Calc(sums, 5, false), TDrawsGraphResult::Computed);

    // A draw edited by hand, same count: the graph follows.
    FState.FDraws[5].Digits = {9, 9};
    EXPECT_EQ(FGraph.Calc(sums, 5, false), TDrawsGraphResult::Computed);
    EXPECT_EQ(Values().back(), 18);

    const int other = FState.StatList().IndexOfCode(QStringLiteral("SUME"));
    ASSERT_GE(other, 0);
    EXPECT_EQ(FGraph.Calc(&FState.StatList().Items(other), 5, false), TDrawsGraphResult::Computed);
    EXPECT_EQ(FGraph.Calc(&FState.StatList().Items(other), 5, false), TDrawsGraphResult::Unchanged);
    FGraph.ResetKey();
    EXPECT_EQ(FGraph.Calc(&FState.StatList().Items(other), 5, false), TDrawsGraphResult::Computed);
}

TEST(MostFrequentValue, FirstOfTheLargestCountWins)
{
    const struct {
        TStatSimpleArray Tally;
        int Expected;
    } cases[] = {
        {{}, 0},
        {{{5, 2}}, 5},
        {{{5, 2}, {3, 3}, {7, 3}}, 3},
        {{{-4, 1}, {2, 1}}, -4},
        {{{1, 1}, {2, 1}, {9, 4}}, 9},
    };
    for (const auto& c : cases)
        EXPECT_EQ(MostFrequentValue(c.Tally), c.Expected);
}

TEST(SumDistribution, TheoreticalCurveAndItsBands)
{
    const TStatSimpleArray sums = EnumCombSums();
    ASSERT_EQ(sums.size(), 19u);
    // In combination order: 0, 1, 2, ... 9 from the first row, then 10 ... 18 as they come.
    EXPECT_EQ(sums.front(), (TStatSimpleRec{0, 1}));
    EXPECT_EQ(sums[9], (TStatSimpleRec{9, 10}));
    EXPECT_EQ(sums.back(), (TStatSimpleRec{18, 1}));

    const TSumDistribution d = SumDistribution({});
    for (int s = 0; s <= 18; ++s)
        EXPECT_EQ(d.Theoretical[std::size_t(s)], (TStatSimpleRec{s, s <= 9 ? s + 1 : 19 - s}));
    EXPECT_EQ(d.TheoreticalMin, 1);
    EXPECT_EQ(d.TheoreticalMax, 10);
    EXPECT_EQ(d.ActualMax, 0);
    EXPECT_EQ(d.Levels, (std::array<int, 3>{4, 6, 7}));
    EXPECT_EQ(d.Low, (std::array<int, 3>{3, 5, 6}));
    EXPECT_EQ(d.High, (std::array<int, 3>{15, 13, 12}));
}

TEST(SumDistribution, AnEmptyArchiveShowsTheCurveAndLevelsAtZero)
{
    const TGraphPoints points = SumDistributionPoints(SumDistribution({}));
    ASSERT_EQ(points.size(), 19 * 4);
    const QString titles[4] = {
        QStringLiteral("Теоретическое распределение сумм (по комбинациям)"),
        QStringLiteral("Диапазон 1 (от 1/3 и выше по оси Y) - суммы 3-15"),
        QStringLiteral("Диапазон 2 (от 1/2 и выше по оси Y) - суммы 5-13"),
        QStringLiteral("Диапазон 3 (от 2/3 и выше по оси Y) - суммы 6-12"),
    };
    const QRgb colours[4] = {0xFF800000, 0xFF008000, 0xFF0000FF, 0xFFFF00FF};
    for (int i = 0; i < points.size(); ++i) {
        const TGraphPoint& p = points[i];
        EXPECT_EQ(p.X, i / 4);
        EXPECT_EQ(p.Title, titles[i % 4]);
        EXPECT_EQ(p.Y, 0.0);
        EXPECT_FALSE(p.ShowPoints);
        EXPECT_FALSE(p.ShowLabels);
        EXPECT_EQ(p.Colour, colours[i % 4]);
    }
}

TEST(SumDistribution, ActualCountsAndTheScaledCurve)
{
    // Sums 8, 3, 10, 8, 9, 7 over the whole archive, whatever the offset.
    const TSumDistribution d = SumDistribution(SixDrawArchive());
    EXPECT_EQ(d.Actual, (TStatSimpleArray{{3, 1}, {7, 1}, {8, 2}, {9, 1}, {10, 1}}));
    EXPECT_EQ(d.ActualMax, 2);

    const TGraphPoints points = SumDistributionPoints(d);
    ASSERT_EQ(points.size(), 5 + 19 * 4);
    const QString actual = QStringLiteral("Фактическое распределение сумм (по тиражам)");
    const int actualX[5] = {3, 7, 8, 9, 10};
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(points[i].Title, actual);
        EXPECT_EQ(points[i].X, actualX[i]);
        EXPECT_EQ(points[i].Y, i == 2 ? 2.0 : 1.0);
        EXPECT_TRUE(points[i].ShowPoints);
        EXPECT_TRUE(points[i].ShowLabels);
        EXPECT_EQ(points[i].Colour, 0xFFFF0000u);
    }
    // Sum 0: one combination of ten at the peak, the peak scaled to 2; the levels 4, 6, 7.
    EXPECT_DOUBLE_EQ(points[5].Y, 0.2);
    EXPECT_DOUBLE_EQ(points[6].Y, 0.8);
    EXPECT_DOUBLE_EQ(points[7].Y, 1.2);
    EXPECT_DOUBLE_EQ(points[8].Y, 1.4);
    // Sum 9: the peak itself.
    EXPECT_EQ(points[5 + 9 * 4].X, 9);
    EXPECT_DOUBLE_EQ(points[5 + 9 * 4].Y, 2.0);
}

} // namespace
