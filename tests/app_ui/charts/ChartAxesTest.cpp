// Room for the axis labels of a chart: round steps, and the height at which a chart keeps all its
// axis labels.

#include "app/ui/charts/ChartAxes.h"
#include "tests/common/ChartLabels.h"

#include <QApplication>
#include <QBarCategoryAxis>
#include <QBarSeries>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QLegend>
#include <QValueAxis>

#include <gtest/gtest.h>

#include <string>

namespace {

// The counts of the repeats graph are checked through its window; here the other ranges.
TEST(ChartAxes, RoundStepsCoverTheRangeFromStepToStep)
{
    const struct {
        double Low;
        double High;
        int Intervals;
        QList<double> Ticks;
    } cases[] = {
        {0, 38, 5, {0, 10, 20, 30, 40}},
        {0, 10, 5, {0, 2, 4, 6, 8, 10}},
        {0, 1000000, 5, {0, 200000, 400000, 600000, 800000, 1000000}},
        // Nothing to show still makes one step; a step is never below 1.
        {0, 0, 6, {0, 1}},
        {0, 0.3, 5, {0, 1}},
        {7, 7, 10, {7, 8}},
        // Draw numbers: the ends move out to whole steps; ends given the other way round.
        {2905, 3004, 10, {2900, 2910, 2920, 2930, 2940, 2950, 2960, 2970, 2980, 2990, 3000, 3010}},
        {30, 0, 6, {0, 5, 10, 15, 20, 25, 30}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(RoundAxisSteps(c.Low, c.High, c.Intervals).Ticks(), c.Ticks) << c.Low << ".." << c.High;
}

// A bar chart of the ten digits over a counts axis, as the weekday page draws it.
void DrawDigits(QChart* chart, double top, int intervals, bool legend)
{
    chart->setMargins(QMargins(2, 2, 2, 2));
    chart->legend()->setVisible(legend);
    chart->legend()->setAlignment(Qt::AlignBottom);
    auto* x = new QBarCategoryAxis(chart);
    auto* y = new QValueAxis(chart);
    y->setLabelFormat(QStringLiteral("%d"));
    chart->addAxis(x, Qt::AlignBottom);
    chart->addAxis(y, Qt::AlignLeft);
    auto* set = new QBarSet(legend ? QStringLiteral("Фактические данные") : QString());
    for (int digit = 0; digit < 10; ++digit) {
        x->append(QString::number(digit));
        set->append(top * (digit + 1) / 10);
    }
    auto* bars = new QBarSeries(chart);
    bars->append(set);
    chart->addSeries(bars);
    bars->attachAxis(x);
    bars->attachAxis(y);
    SetRoundRange(y, 0, top, intervals);
}

TEST(ChartAxes, AtItsReadableHeightAChartShowsEveryAxisLabelWhole)
{
    const QStringList digits{"0", "1", "2", "3", "4", "5", "6", "7", "8", "9"};
    const struct {
        double Top;
        int Intervals;
        bool Legend;
    } cases[] = {{50, 5, false}, {1000000, 5, false}, {50, 5, true}, {30, 6, true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.Top) + (c.Legend ? " with legend" : ""));
        QChartView view;
        DrawDigits(view.chart(), c.Top, c.Intervals, c.Legend);
        const QStringList counts = TickTexts(RoundAxisSteps(0, c.Top, c.Intervals).Ticks());
        view.show();
        const auto resize = [&view](int height) {
            view.resize(500, height);
            QApplication::processEvents();
        };
        resize(ChartReadableHeight(view.chart(), c.Intervals));
        EXPECT_EQ(ChartAxisLabels(view, Qt::AlignLeft), counts);
        EXPECT_EQ(ChartAxisLabels(view, Qt::AlignBottom), digits);
        EXPECT_FALSE(ChartHasCutLabel(view));

        // A strip of a chart cuts its labels or leaves them out: what the height guards against.
        resize(60);
        EXPECT_TRUE(ChartHasCutLabel(view) || ChartAxisLabels(view, Qt::AlignLeft) != counts);
    }
}

} // namespace
