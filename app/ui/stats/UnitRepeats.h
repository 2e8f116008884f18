#pragma once

#include "app/core/stats/Repeats.h"

#include <QDialog>

class QChart;
class QChartView;
class QLineSeries;
class QPushButton;
class QSpinBox;
class QSplitter;
class QValueAxis;
class TRListView;

// The repeats window: how many earlier draws repeat each recent draw in one or both
// positions, as a list (one row per draw and match count) and as a chart with one line per
// match count. It reads the archive it was given; the look-back offset plays no part.
class TFormRepeats : public QDialog {
    Q_OBJECT

public:
    // Reads its kept state (chart height, lengths, placement, column widths).
    explicit TFormRepeats(const TDrawsArray& draws, QWidget* parent = nullptr);
    // Writes the kept state.
    ~TFormRepeats() override;

    // Runs the analysis over the archive with the two lengths, in the busy state with the
    // progress window, and shows the rows and the chart.
    void RefreshAnalyze();

    QSpinBox* DrawsLen() const { return FDrawsLen; }
    QSpinBox* Deep() const { return FDeep; }
    QPushButton* CalcButton() const { return FCalc; }
    TRListView* List() const { return FList; }
    QChart* Chart() const { return FChart; }
    QChartView* ChartView() const { return FChartView; }
    const TRepeatsResult& Result() const { return FResult; }
    // The series of k matching positions (tag k); nullptr when there is none.
    QLineSeries* Series(int k) const;

private:
    QString CellText(int row, int column) const;
    void ShowChart();
    void RestoreState();
    void SaveState();

    const TDrawsArray& FDraws;
    TRepeatsResult FResult;
    QSpinBox* FDrawsLen = nullptr;
    QSpinBox* FDeep = nullptr;
    QPushButton* FCalc = nullptr;
    QSplitter* FSplitter = nullptr;
    TRListView* FList = nullptr;
    QChart* FChart = nullptr;
    QChartView* FChartView = nullptr;
    QValueAxis* FAxisX = nullptr;
    QValueAxis* FAxisY = nullptr;
    bool FRunning = false;
};

// Makes the window, runs the analysis once and shows it modally (the command AnalyzeRepeats).
void ShowRepeatsForm(const TDrawsArray& draws, QWidget* owner = nullptr);
