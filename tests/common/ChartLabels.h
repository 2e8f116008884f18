#pragma once

// The labels of a chart's axes as a person sees them: the text items Qt Charts puts into the
// chart's scene, those in sight and not empty. A label that did not fit reads "..." (cut down
// by the chart) or is missing (left out where labels would overlap).

#include <QChart>
#include <QChartView>
#include <QGraphicsScene>
#include <QGraphicsTextItem>
#include <QLegend>
#include <QStringList>
#include <QValueAxis>
#include <QXYSeries>

#include <algorithm>
#include <cmath>
#include <utility>
#include <vector>

// Labels left of the plot area (the left axis), from the bottom up, or under it (the bottom
// axis), from the left: both in the order of their values. The legend's names are not axis
// labels.
inline QStringList ChartAxisLabels(const QChartView& view, Qt::Alignment side)
{
    const QChart* chart = view.chart();
    const QRectF plot = chart->plotArea();
    std::vector<std::pair<double, QString>> found;
    for (const QGraphicsItem* item : view.scene()->items()) {
        const auto* text = dynamic_cast<const QGraphicsTextItem*>(item);
        if (!text || !text->isVisible() || text->toPlainText().isEmpty() || chart->legend()->isAncestorOf(text))
            continue;
        const QRectF rect = text->sceneBoundingRect();
        if (side == Qt::AlignLeft && rect.right() <= plot.left() + 1)
            found.emplace_back(-rect.center().y(), text->toPlainText());
        else if (side == Qt::AlignBottom && rect.top() >= plot.bottom() - 1)
            found.emplace_back(rect.center().x(), text->toPlainText());
    }
    std::sort(found.begin(), found.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    QStringList labels;
    for (const auto& [position, text] : found)
        labels << text;
    return labels;
}

// True when some label of the chart reads "..." or "…".
inline bool ChartHasCutLabel(const QChartView& view)
{
    for (const QGraphicsItem* item : view.scene()->items())
        if (const auto* text = dynamic_cast<const QGraphicsTextItem*>(item))
            if (text->isVisible()
                && (text->toPlainText().contains(QLatin1String("...")) || text->toPlainText().contains(QChar(0x2026))))
                return true;
    return false;
}

// The texts of the given ticks as the axis labels write them ("%d").
inline QStringList TickTexts(const QList<double>& ticks)
{
    QStringList texts;
    for (const double tick : ticks)
        texts << QString::number(static_cast<long long>(tick));
    return texts;
}

// The ticks a value axis with dynamic ticks draws: from its first multiple of the interval past
// the anchor up to its maximum.
inline QList<double> AxisTicks(const QValueAxis& axis)
{
    QList<double> ticks;
    const double step = axis.tickInterval();
    if (step <= 0)
        return ticks;
    for (double tick = axis.tickAnchor() + std::ceil((axis.min() - axis.tickAnchor()) / step - 1e-9) * step;
         tick <= axis.max() + 1e-9; tick += step)
        ticks.append(tick);
    return ticks;
}

// How many rows of the view over the plot area the series' value labels draw on: a point at the
// top of the value axis has its label there. The labels are left shown.
inline int LabelRowsOverThePlot(QChartView& view, QXYSeries& series)
{
    series.setPointLabelsVisible(false);
    const QImage without = view.grab().toImage();
    series.setPointLabelsVisible(true);
    const QImage with = view.grab().toImage();
    int rows = 0;
    for (int y = view.mapFromScene(view.chart()->mapToScene(view.chart()->plotArea().topLeft())).y(); y-- > 0;)
        rows += with.copy(0, y, with.width(), 1) != without.copy(0, y, without.width(), 1);
    return rows;
}
