#pragma once

// The labels of a chart's axes as a person sees them: the text items Qt Charts puts into the
// chart's scene, those in sight and not empty. A label that did not fit reads "..." (cut down
// by the chart) or is missing (left out where labels would overlap).

#include <QApplication>
#include <QChart>
#include <QChartView>
#include <QFontMetrics>
#include <QImage>
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

// The points of the series whose value label is not in sight whole: the view drawn with the
// series' labels and without them differs, over the room a label takes above its point, by
// less than a digit's height (a label cut off at the edge of the plot, or left out).
inline QList<QPointF> PointsWithoutLabel(QChartView& view, QXYSeries& series)
{
    const bool shown = series.pointLabelsVisible();
    const auto picture = [&](bool labels) {
        series.setPointLabelsVisible(labels);
        QApplication::processEvents();
        return view.grab().toImage().convertToFormat(QImage::Format_RGB32);
    };
    const QImage with = picture(true);
    const QImage without = picture(false);
    series.setPointLabelsVisible(shown);
    const QFontMetrics metrics(series.pointLabelsFont());
    QList<QPointF> missing;
    for (const QPointF& point : series.points()) {
        const QPoint at = view.mapFromScene(view.chart()->mapToScene(view.chart()->mapToPosition(point, &series)));
        const int half = metrics.horizontalAdvance(QString::number(point.y())) / 2 + 1;
        int top = at.y(), bottom = 0;
        for (int y = std::max(0, at.y() - metrics.height() - 6); y < std::min(at.y(), with.height()); ++y)
            for (int x = std::max(0, at.x() - half); x <= std::min(at.x() + half, with.width() - 1); ++x)
                if (with.pixel(x, y) != without.pixel(x, y)) {
                    top = std::min(top, y);
                    bottom = std::max(bottom, y);
                }
        if (bottom - top + 1 < metrics.capHeight())
            missing.append(point);
    }
    return missing;
}
