#pragma once

#include "app/core/views/DrawsGraph.h"
#include "app/core/shell/MainState.h"

#include <QColor>
#include <QWidget>

#include <functional>

class QChart;
class QChartView;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineSeries;
class QSpinBox;
class QValueAxis;
class TChartLegend;

// The look of the value lines of the draws graph and the weekday chart: green, 2 pixels wide,
// with a small green square edged in fuchsia at every point.
inline const QColor GraphValueColor = QColor::fromRgba(GraphGreen);
inline const QColor GraphValueOutline = QColor::fromRgba(GraphFuchsia);
void StyleValueSeries(QLineSeries* series);

// The draws graph page: the value a graph method (cbDrawsGraphType) takes in each draw of a
// window of the archive (edDrawsGraphLen), with the mean and the most frequent value as flat
// lines, on the chart crtDrawsGraph. The computation is the core's TDrawsGraph.
class TDrawsGraphPage : public QWidget {
    Q_OBJECT

public:
    explicit TDrawsGraphPage(TMainState& state, QWidget* parent = nullptr);
    ~TDrawsGraphPage() override;

    // The tab's caption.
    static QString Caption();

    // The view's place in RefreshViews: a page out of sight draws nothing (a forced refresh it
    // missed makes its next drawing run whatever the key).
    void RefreshView(bool force);
    // Draws the graph when the page is in sight and the key changed (or force). No method, or
    // no draws: an empty chart. Errors of the statistic pass on with the chart empty.
    void DrawGraphs(bool force);
    // The next drawing runs whatever the key (the statistics table's keys are reset with it).
    void ResetKey() { FGraph.ResetKey(); }

    // Fills the method list with the favourite graph methods that have a statistics table, in
    // registry order or by caption as the engine's Ordered says; with keepSelection the same
    // item index is chosen again, otherwise the first. The method list of the engine must be
    // built already (the statistics page rebuilds it).
    void FillGraphMethods(bool keepSelection);
    const TStatMethod* SelectedMethod() const;

    // DrawsGraphDraw: the archive is not empty and a method is chosen.
    bool CanDraw() const;
    // Choosing another method and Enter in the length editor draw (without force) only when
    // this says so; by default when CanDraw holds and no long operation runs.
    std::function<bool()> CanRedraw;

    // The length "DrawsGraphLen" in the form-state file.
    void SaveState();
    void RestoreState();

    // TotalSumCombs: the sum distribution of the whole archive beside that of all the
    // combinations, in a graph window of its own.
    static void ShowSumDistribution(QWidget* owner, const TDrawsArray& draws);
    static QString SumDistributionCaption();

    QComboBox* Methods() const { return FMethods; }
    QSpinBox* LengthEdit() const { return FLength; }
    QCheckBox* ShowMarks() const { return FShowMarks; }
    QChartView* ChartView() const { return FChartView; }
    TChartLegend* Legend() const { return FLegend; }
    QChart* Chart() const;
    const TDrawsGraph& Graph() const { return FGraph; }

    static constexpr int DefaultLength = 100;

protected:
    void changeEvent(QEvent* event) override;

private:
    void SetupChart();
    void ClearChart();
    void ShowGraph(const TDrawsGraphData& data, const QString& caption);
    void RedrawByUser();
    void ShowMarksClicked();
    void RetranslateUi();

    TMainState& FState;
    TDrawsGraph FGraph;
    QComboBox* FMethods = nullptr;
    QLabel* FLengthLabel = nullptr;
    QSpinBox* FLength = nullptr;
    QCheckBox* FShowMarks = nullptr;
    QChartView* FChartView = nullptr;
    TChartLegend* FLegend = nullptr;
    QValueAxis* FAxisX = nullptr;
    QValueAxis* FAxisY = nullptr;
};
