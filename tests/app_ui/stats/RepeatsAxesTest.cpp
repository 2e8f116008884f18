// The repeats window's graph reads: its counts axis stands on round steps that end at or above
// the largest count, its draw numbers on round steps, every label whole.

#include "app/ui/stats/UnitRepeats.h"
#include "tests/app_ui/AppUiTestEnv.h"
#include "tests/common/ChartLabels.h"
#include "tests/fixtures/ArchiveFixtures.h"

#include <QApplication>
#include <QChart>
#include <QChartView>
#include <QLineSeries>
#include <QSpinBox>
#include <QValueAxis>

#include <gtest/gtest.h>

#include <cmath>
#include <string>

namespace {

QValueAxis* Axis(const TFormRepeats& form, Qt::Orientation orientation)
{
    const QList<QAbstractAxis*> axes = form.Chart()->axes(orientation);
    return axes.isEmpty() ? nullptr : qobject_cast<QValueAxis*>(axes.first());
}

bool RoundStep(double step)
{
    double power = 1;
    while (power * 10 <= step)
        power *= 10;
    return step == power || step == 2 * power || step == 5 * power;
}

// An archive of n draws 5-5: each draw repeats both digits of every earlier one, so with the
// default depth of 100 the newest draw of the analysed 100 has min(n - 1, 100) repeats, the
// largest count of the graph.
TEST(RepeatsAxes, CountsStandOnRoundStepsEndingAtOrAboveTheLargest)
{
    const TProgramFolder folder;   // the window's form-state file
    const struct {
        int Largest;
        QList<double> Ticks;
    } cases[] = {
        {1, {0, 1}},
        {6, {0, 1, 2, 3, 4, 5, 6}},
        {7, {0, 2, 4, 6, 8}},
        {13, {0, 5, 10, 15}},
        {30, {0, 5, 10, 15, 20, 25, 30}},
        {61, {0, 20, 40, 60, 80}},
        {100, {0, 20, 40, 60, 80, 100}},
    };
    for (const auto& c : cases) {
        const std::string where = "largest " + std::to_string(c.Largest);
        TDrawsArray draws = MakeArchive(c.Largest + 1);
        for (TDrawRec& draw : draws)
            draw.Digits = {5, 5};
        TFormRepeats form(draws);
        form.RefreshAnalyze();
        QLineSeries* both = form.Series(2);
        ASSERT_NE(both, nullptr) << where;
        double largest = 0;
        for (const QPointF& point : both->points())
            largest = std::max(largest, point.y());
        ASSERT_EQ(largest, c.Largest) << where;

        QValueAxis* counts = Axis(form, Qt::Vertical);
        QValueAxis* numbers = Axis(form, Qt::Horizontal);
        ASSERT_TRUE(counts && numbers) << where;
        EXPECT_EQ(AxisTicks(*counts), c.Ticks) << where;

        // The draw numbers: round steps, both ends on a step, every point within.
        EXPECT_TRUE(RoundStep(numbers->tickInterval())) << where << ": " << numbers->tickInterval();
        EXPECT_EQ(std::fmod(numbers->min(), numbers->tickInterval()), 0) << where;
        EXPECT_EQ(std::fmod(numbers->max(), numbers->tickInterval()), 0) << where;
        EXPECT_LE(numbers->min(), both->points().first().x()) << where;
        EXPECT_GE(numbers->max(), both->points().last().x()) << where;
        EXPECT_LE(AxisTicks(*numbers).size(), 12) << where;

        // On screen the left axis writes the same ticks, none cut.
        form.resize(900, 620);
        form.show();
        QApplication::processEvents();
        EXPECT_EQ(ChartAxisLabels(*form.ChartView(), Qt::AlignLeft), TickTexts(c.Ticks)) << where;
        EXPECT_EQ(ChartAxisLabels(*form.ChartView(), Qt::AlignBottom), TickTexts(AxisTicks(*numbers))) << where;
        EXPECT_FALSE(ChartHasCutLabel(*form.ChartView())) << where;
    }
}

} // namespace
