#pragma once

#include <QColor>

class QChart;
class QChartView;
struct TStatTableData;

// The chart under the statistics table: the counts of the values ("Фактические данные") and,
// with norms from the full combination set and the ideal line on, the full set's distribution
// scaled to the window ("Все возможные комбинации"). Each point stands over its value's text.

inline const QColor StatActualColor{0, 128, 0};       // green line
inline const QColor StatActualOutline{255, 0, 255};   // fuchsia edge of its points
inline const QColor StatIdealColor{255, 0, 0};        // red line
inline constexpr int StatActualWidth = 2;
inline constexpr int StatPointSize = 2;               // the points' half size, as drawn around them

// A plain chart without series: no animation, thin margins, the legend at the bottom, and its
// two axes (value texts below, counts on the left), hidden while there is nothing to show.
void InitStatChart(QChartView* view);
// Removes every series and hides the axes.
void ClearStatChart(QChart* chart);
// Clears the chart and draws the series of the table (none for fewer than two values).
void ShowStatChart(QChart* chart, const TStatTableData& data);
