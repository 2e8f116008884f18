#pragma once

#include "app/core/charts/GraphPoints.h"

#include <QDialog>
#include <QHash>
#include <QList>
#include <QPointF>
#include <QRgb>
#include <QString>

class QChart;
class QChartView;
class QCheckBox;
class QLineSeries;
class QValueAxis;
class QWidget;
class TChartLegend;

// A line-chart window that commands fill point by point and then show modally. A point goes to
// the series of its title (letter case ignored); the first point of a title makes its series.
// Series made with value labels follow the "show marks" box; the others never show labels.
class TFormGraph : public QDialog {
    Q_OBJECT

public:
    // Centred on the screen, then placed where the window was last closed.
    explicit TFormGraph(QWidget* parent = nullptr);
    // Keeps the window's placement for the next one.
    ~TFormGraph() override;

    QChart* Chart() const { return FChart; }
    QChartView* ChartView() const { return FChartView; }
    QCheckBox* ShowMarks() const { return FShowMarks; }
    // The names of the series under the chart, each shown whole.
    TChartLegend* Legend() const { return FLegend; }

    // Adds a point (x, y) to the series titled so. A new series takes the colour unless it is
    // 0 (then the chart's own colour cycle gives it one), a line 2 pixels wide, 3 x 3 point
    // symbols shown with showPoints, and value labels with showLabels, shown while the box is
    // ticked.
    void AddGraphPoint(int x, const QString& title, double y, bool showPoints, bool showLabels, QRgb colour);
    void AddPoints(const TGraphPoints& points);
    // The series with the title, letter case ignored; none: nullptr. Its points are those up
    // to the last UpdateChart.
    QLineSeries* FindSeries(const QString& title) const;
    // Hands the points added since the last call to their series and fits the axes to all the
    // points. Showing the window does it by itself.
    void UpdateChart();

protected:
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    QLineSeries* NewSeries(const QString& title, bool showPoints, bool showLabels, QRgb colour);
    void ShowMarksClicked();
    void FitAxes();

    QChart* FChart = nullptr;
    QChartView* FChartView = nullptr;
    QCheckBox* FShowMarks = nullptr;
    TChartLegend* FLegend = nullptr;
    QValueAxis* FAxisX = nullptr;
    QValueAxis* FAxisY = nullptr;
    // Points wait here until UpdateChart: a series redraws itself on every single append, so
    // a graph of thousands of points is handed over in one go.
    QHash<QLineSeries*, QList<QPointF>> FPending;
    bool FHavePoints = false;
    double FMinX = 0;
    double FMaxX = 0;
    double FMinY = 0;
    double FMaxY = 0;
};

// The same, for callers that hold the window.
void AddGraphPoint(TFormGraph* form, int x, const QString& title, double y, bool showPoints, bool showLabels,
                   QRgb colour);

// Makes the graph window with the caption, adds the points and shows it modally (ExecModalForm).
void ShowGraph(QWidget* owner, const QString& caption, const TGraphPoints& points);
