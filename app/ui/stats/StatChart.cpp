#include "app/ui/stats/StatChart.h"

#include "app/core/stats/StatTable.h"
#include "app/ui/charts/ChartAxes.h"
#include "engine/KelmaMsg.h"

#include <QCategoryAxis>
#include <QChart>
#include <QChartView>
#include <QImage>
#include <QLineSeries>
#include <QPainter>
#include <QValueAxis>

#include <algorithm>
#include <map>
#include <set>

namespace {

// Labels under the axis are thinned to about this many, so that they never run into each other.
constexpr int kMaxAxisLabels = 40;
// The counts stand on at most this many round steps.
constexpr int kCountIntervals = 5;

// The point symbol of the actual counts: a green square with a fuchsia edge, StatPointSize
// pixels on each side of the point.
QImage ActualMarker()
{
    const int side = 2 * StatPointSize + 1;
    QImage image(side, side, QImage::Format_ARGB32_Premultiplied);
    image.fill(StatActualColor);
    QPainter painter(&image);
    painter.setPen(StatActualOutline);
    painter.drawRect(0, 0, side - 1, side - 1);
    return image;
}

QLineSeries* AddSeries(QChart* chart, const QString& name, const std::vector<TStatChartPoint>& points)
{
    auto* series = new QLineSeries(chart);
    series->setName(name);
    QList<QPointF> xy;
    xy.reserve(static_cast<qsizetype>(points.size()));
    for (const TStatChartPoint& point : points)
        xy.append(QPointF(point.X, point.Y));
    series->replace(xy);
    series->setPointLabelsVisible(false);
    chart->addSeries(series);
    return series;
}

} // namespace

void InitStatChart(QChartView* view)
{
    QChart* chart = view->chart();
    chart->setAnimationOptions(QChart::NoAnimation);
    chart->setMargins(QMargins(2, 2, 2, 2));
    chart->setBackgroundRoundness(0);
    chart->legend()->setAlignment(Qt::AlignBottom);
    chart->legend()->setVisible(true);
    view->setRenderHint(QPainter::Antialiasing, true);
    // The chart keeps its two axes for good: axes taken off a chart that was shown leave their
    // labels painted behind, so each table changes the labels and ranges of the same two.
    auto* axisX = new QCategoryAxis(chart);
    axisX->setLabelsPosition(QCategoryAxis::AxisLabelsPositionOnValue);
    axisX->setGridLineVisible(false);
    auto* axisY = new QValueAxis(chart);
    axisY->setLabelFormat(QStringLiteral("%d"));
    chart->addAxis(axisX, Qt::AlignBottom);
    chart->addAxis(axisY, Qt::AlignLeft);
    ClearStatChart(chart);
    // Never so low that the axes lose their labels.
    view->setMinimumHeight(ChartReadableHeight(chart, kCountIntervals));
}

void ClearStatChart(QChart* chart)
{
    chart->removeAllSeries();
    for (QAbstractAxis* axis : chart->axes())
        axis->setVisible(false);
}

void ShowStatChart(QChart* chart, const TStatTableData& data)
{
    ClearStatChart(chart);
    const QList<QAbstractAxis*> horizontal = chart->axes(Qt::Horizontal);
    const QList<QAbstractAxis*> vertical = chart->axes(Qt::Vertical);
    auto* axisX = horizontal.isEmpty() ? nullptr : qobject_cast<QCategoryAxis*>(horizontal.first());
    auto* axisY = vertical.isEmpty() ? nullptr : qobject_cast<QValueAxis*>(vertical.first());
    if (!data.HasChart || data.Actual.empty() || !axisX || !axisY)
        return;

    QLineSeries* actual = AddSeries(chart, LoadResString(rsSeriesActual), data.Actual);
    QPen pen(StatActualColor);
    pen.setWidth(StatActualWidth);
    actual->setPen(pen);
    actual->setPointsVisible(true);
    actual->setLightMarker(ActualMarker());
    actual->setMarkerSize(2 * StatPointSize + 1);
    QLineSeries* ideal = nullptr;
    if (data.HasIdeal) {
        ideal = AddSeries(chart, LoadResString(rsSeriesAllCombs), data.Ideal);
        ideal->setPen(QPen(StatIdealColor));
        ideal->setPointsVisible(false);
    }

    // The value texts stand under their points; with norms both series share the positions.
    std::map<double, QString> labels;
    double top = 0;
    for (const auto* points : {&data.Actual, &data.Ideal})
        for (const TStatChartPoint& point : *points) {
            labels.emplace(point.X, point.Label);
            top = std::max(top, point.Y);
        }
    for (const QString& label : axisX->categoriesLabels())
        axisX->remove(label);
    const double first = labels.begin()->first;
    const double last = labels.rbegin()->first;
    axisX->setStartValue(first - 0.5);
    const int every = std::max<int>(1, static_cast<int>((labels.size() + kMaxAxisLabels - 1) / kMaxAxisLabels));
    std::set<QString> used;   // the axis takes every label once
    int n = 0;
    for (const auto& [x, label] : labels) {
        if (n++ % every == 0 && !label.isEmpty() && used.insert(label).second)
            axisX->append(label, x);
    }
    axisX->setRange(first - 0.5, last + 0.5);
    SetRoundRange(axisY, 0, top, kCountIntervals);
    for (QLineSeries* series : {actual, ideal}) {
        if (!series)
            continue;
        series->attachAxis(axisX);
        series->attachAxis(axisY);
    }
    axisX->setVisible(true);
    axisY->setVisible(true);
}
