#include "app/ui/charts/ChartAxes.h"

#include <QChart>
#include <QFontMetrics>
#include <QGraphicsLayout>
#include <QGraphicsTextItem>
#include <QLegend>
#include <QValueAxis>
#include <QXYSeries>

#include <algorithm>
#include <cmath>

namespace {

// The smallest of 1, 2 and 5 times a power of ten (at least 1) that is not below raw; a hair
// of rounding error in raw does not take the next step.
double RoundStep(double raw)
{
    const double wanted = raw * (1 - 1e-9);
    double power = 1;
    while (power * 10 <= wanted)
        power *= 10;
    for (const double factor : {1.0, 2.0, 5.0})
        if (factor * power >= wanted)
            return factor * power;
    return 10 * power;
}

// Qt Charts lays out each label as a text item and shortens it to "..." when its item does not
// fit: the item's box, document margins included, is the unit of room.
int LabelBoxHeight(const QFont& font)
{
    QGraphicsTextItem item;
    item.setFont(font);
    item.setPlainText(QStringLiteral("0"));
    return static_cast<int>(std::ceil(item.boundingRect().height()));
}

} // namespace

QList<double> TAxisSteps::Ticks() const
{
    QList<double> ticks;
    for (int i = 0; i <= Intervals(); ++i)
        ticks.append(Low + i * Step);
    return ticks;
}

int TAxisSteps::Intervals() const
{
    return Step > 0 ? static_cast<int>(std::lround((High - Low) / Step)) : 0;
}

TAxisSteps RoundAxisSteps(double low, double high, int intervals)
{
    if (high < low)
        std::swap(low, high);
    TAxisSteps steps;
    steps.Step = RoundStep((high - low) / std::max(intervals, 1));
    steps.Low = std::floor(low / steps.Step) * steps.Step;
    steps.High = std::ceil(high / steps.Step) * steps.Step;
    if (steps.High <= steps.Low)
        steps.High = steps.Low + steps.Step;
    return steps;
}

void SetRoundRange(QValueAxis* axis, double low, double high, int intervals)
{
    const TAxisSteps steps = RoundAxisSteps(low, high, intervals);
    axis->setTickType(QValueAxis::TicksDynamic);
    axis->setTickAnchor(0);
    axis->setTickInterval(steps.Step);
    axis->setRange(steps.Low, steps.High);
}

int ChartReadableHeight(const QChart* chart, int intervals)
{
    QFont font = chart->font();
    for (const QAbstractAxis* axis : chart->axes())
        if (LabelBoxHeight(axis->labelsFont()) > LabelBoxHeight(font))
            font = axis->labelsFont();
    const int box = LabelBoxHeight(font);
    const QMargins margins = chart->margins();
    int height = margins.top() + margins.bottom() + 2 * box + std::max(intervals, 1) * (box + 2);
    // The chart's own legend names its series on one line inside its layout's margins; it is
    // there also while it has no series to name yet.
    const QLegend* legend = chart->legend();
    if (legend && legend->isVisible()) {
        qreal left = 0, top = 0, right = 0, bottom = 0;
        if (const QGraphicsLayout* layout = legend->layout())
            layout->getContentsMargins(&left, &top, &right, &bottom);
        height += box + static_cast<int>(std::ceil(top + bottom));
    }
    return height;
}

void ShowPointLabelsWhole(QXYSeries* series)
{
    series->setPointLabelsClipping(false);
    QChart* chart = series->chart();
    if (!chart)
        return;
    // A label's baseline stands a few pixels over its point; its glyphs rise at most a line.
    constexpr int kLabelGap = 4;
    QMargins margins = chart->margins();
    margins.setTop(std::max(margins.top(), QFontMetrics(series->pointLabelsFont()).height() + kLabelGap));
    chart->setMargins(margins);
}
