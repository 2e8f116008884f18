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

#include <string>

namespace {

QValueAxis* Axis(const TFormRepeats& form, Qt::Orientation orientation)
{
    const QList<QAbstractAxis*> axes = form.Chart()->axes(orientation);
    return axes.isEmpty() ? nullptr : qobject_cast<QValueAxis*>(axes.first());
}

// An archive of n draws 5-5: each draw repeats both digits of every earlier one, so with the
// default depth of 100 the newest draw of the analysed 100 has min(n - 1, 100) repeats, the
// largest count of the graph. The points stand on draws 2..n: about ten round steps of draw
// numbers hold them.
TEST(RepeatsAxes, CountsStandOnRoundStepsEndingAtOrAboveTheLargest)
{
    const TProgramFolder folder;   // the window's form-state file
    const struct {
        int Largest;
        QList<double> Ticks;
        double NumbersLow, NumbersStep, NumbersHigh;
    } cases[] = {
        {1, {0, 1}, 2, 1, 3},
        {6, {0, 1, 2, 3, 4, 5, 6}, 2, 1, 7},
        {7, {0, 2, 4, 6, 8}, 2, 1, 8},
        {13, {0, 5, 10, 15}, 2, 2, 14},
        {30, {0, 5, 10, 15, 20, 25, 30}, 0, 5, 35},
        {61, {0, 20, 40, 60, 80}, 0, 10, 70},
        {100, {0, 20, 40, 60, 80, 100}, 0, 10, 110},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE("largest " + std::to_string(c.Largest));
        TDrawsArray draws = MakeArchive(c.Largest + 1);
        for (TDrawRec& draw : draws)
            draw.Digits = {5, 5};
        TFormRepeats form(draws);
        form.RefreshAnalyze();
        QLineSeries* both = form.Series(2);
        ASSERT_NE(both, nullptr);
        double largest = 0;
        for (const QPointF& point : both->points())
            largest = std::max(largest, point.y());
        ASSERT_EQ(largest, c.Largest);

        QValueAxis* counts = Axis(form, Qt::Vertical);
        QValueAxis* numbers = Axis(form, Qt::Horizontal);
        ASSERT_TRUE(counts && numbers);
        EXPECT_EQ(AxisTicks(*counts), c.Ticks);
        EXPECT_EQ(numbers->min(), c.NumbersLow);
        EXPECT_EQ(numbers->tickInterval(), c.NumbersStep);
        EXPECT_EQ(numbers->max(), c.NumbersHigh);

        // On screen the axes write the same ticks, none cut.
        form.resize(900, 620);
        form.show();
        QApplication::processEvents();
        EXPECT_EQ(ChartAxisLabels(*form.ChartView(), Qt::AlignLeft), TickTexts(c.Ticks));
        EXPECT_EQ(ChartAxisLabels(*form.ChartView(), Qt::AlignBottom), TickTexts(AxisTicks(*numbers)));
        EXPECT_FALSE(ChartHasCutLabel(*form.ChartView()));
    }
}

} // namespace
