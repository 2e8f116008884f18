#pragma once

#include <QList>

class QChart;
class QValueAxis;
class QXYSeries;

// Value axes a player can read: ticks on round numbers, and charts never so low that Qt Charts
// cuts their axis labels down to "...".

// The ticks of an axis over low..high: the least step of 1, 2 or 5 times a power of ten (at
// least 1) that covers the range in `intervals` steps, and the ends moved out to whole steps,
// so that the last tick stands at or above high (from 0, at most `intervals` steps). A range
// without width still gets one step.
struct TAxisSteps {
    double Low = 0;
    double High = 1;
    double Step = 1;

    // Low, Low + Step, ... High.
    QList<double> Ticks() const;
    int Intervals() const;
};
TAxisSteps RoundAxisSteps(double low, double high, int intervals);

// Puts the axis on RoundAxisSteps(low, high, intervals), its ticks anchored at 0.
void SetRoundRange(QValueAxis* axis, double low, double high, int intervals);

// The least height at which the chart keeps every label of its axes whole and in sight with up
// to `intervals` steps on its value axis: the chart's margins, two label boxes for the room
// above and under the plot (half a label on top; ticks, padding and the labels of the bottom
// axis below), each step a label's box and a little more (closer labels are shortened to "..."
// or left out), and a line in its margins for the chart's own legend when it shows one.
int ChartReadableHeight(const QChart* chart, int intervals);

// Value labels stand above their points, so the label of a point at the top of the value axis
// lies above the plot area, where a clipped label is not drawn at all: the series' labels are
// drawn unclipped, and its chart keeps a label's height above the plot for them. The series
// must be in its chart.
void ShowPointLabelsWhole(QXYSeries* series);
