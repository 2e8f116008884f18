#pragma once

#include "app/core/combs/CombList.h"
#include "app/core/shell/MainState.h"
#include "app/core/stats/StatFilter.h"
#include "app/core/views/WeekView.h"

#include <QWidget>

class QBarCategoryAxis;
class QChart;
class QChartView;
class QPainter;
class QRect;
class QSpinBox;
class QSplitter;
class QValueAxis;
class TLowerPane;
class TROwnerDrawGrid;
struct TGridDrawState;

// The weekday page: how often each digit came out on each day of the week, as a heat-coloured
// grid (sgWeek) over a window of the archive (edWeekLen), and a chart (crtWeek) of the current
// cell's row (the digits) or column (the days). The counting is the core's TWeekView; the
// grid asks it for every text and colour when a cell is painted.
class TWeekPage : public QWidget {
    Q_OBJECT

public:
    TWeekPage(TMainState& state, TCombListOps& combs, TStatFilter& filter, QWidget* parent = nullptr);
    ~TWeekPage() override;

    // The tab's caption, also the caption of the filter steps in the applied-filters list.
    static QString Caption();

    // The view's place in RefreshViews: a page out of sight counts nothing (a forced refresh it
    // missed makes its next count run whatever the key).
    void RefreshView(bool force);
    // Counts and fills the grid when the page is in sight and the key changed (or force), then
    // draws the chart of the current cell.
    void CalcWeekStat(bool force);
    // Draws the chart of grid cell (col, row): by the option WeekChartMode its column per day or
    // its row per digit, by WeekChartType as a line or as bars.
    void DrawWeekChart(int col, int row);

    // WeekStatCalc: the tab is shown and the archive is not empty.
    bool CanCalc() const;
    // WeekFilter_Include / WeekFilter_Exclude: the combination list is not empty.
    bool CanFilter() const;
    // Takes the undo copy (busy), then keeps or removes the combinations holding a digit of the
    // selected columns. A selection without digit columns raises "В выделенном диапазоне нет
    // значений для фильтра!" with the list untouched.
    void FilterCombs(bool deleteSelected);

    // ViewWeekChartMode: 1 (by days) and 0 (by digits) in turn; ViewWeekChartType: line or
    // bars. Each writes its option at once and redraws the chart of the current cell.
    void ToggleChartMode();
    void ToggleChartType();
    bool ChartByDays() const;
    bool ChartAsLine() const;

    // The length "WeekLen" and the chart's height "WeekHeight" in the form-state file. The
    // chart is never lower than its labels need, and takes what the page has beyond the grid's
    // rows.
    void SaveState();
    void RestoreState();

    TROwnerDrawGrid* Grid() const { return FGrid; }
    QChartView* ChartView() const { return FChartView; }
    QChart* Chart() const;
    QSpinBox* LengthEdit() const { return FLength; }
    QSplitter* Splitter() const { return FSplitter; }
    // The chart's height as it goes to the form-state file.
    int ChartHeight() const;
    const TWeekView& View() const { return FView; }

    static constexpr int DefaultLength = 1000;
    static constexpr int DefaultChartHeight = 200;
    static constexpr int ColWidth = 30;
    static constexpr int RowHeight = 18;

protected:
    void changeEvent(QEvent* event) override;

private:
    void SetupGrid();
    void SetupChart();
    void DrawCell(int col, int row, QPainter* painter, const QRect& rect, TGridDrawState state);
    void FitChartHeight();

    TMainState& FState;
    TCombListOps& FCombs;
    TStatFilter& FFilter;
    TWeekView FView;
    TROwnerDrawGrid* FGrid = nullptr;
    QChartView* FChartView = nullptr;
    QSpinBox* FLength = nullptr;
    QSplitter* FSplitter = nullptr;
    TLowerPane* FChartPane = nullptr;
    QBarCategoryAxis* FAxisX = nullptr;
    QValueAxis* FAxisY = nullptr;
};
