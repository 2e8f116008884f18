#pragma once

#include <QList>
#include <QWidget>

class QChart;
class QGridLayout;
class QLabel;

// A chart's legend as a panel of its own, to go under the chart: a colour mark and the whole
// name of every named series, in as many columns as the width holds. The chart's own legend
// keeps to one line and cuts short the names that do not fit; it is hidden while this panel
// stands in for it. A name wider than the whole panel wraps.
class TChartLegend : public QWidget {
    Q_OBJECT

public:
    explicit TChartLegend(QChart* chart, QWidget* parent = nullptr);

    // Shows the chart's series as they are now (call after series were added, removed or
    // recoloured).
    void Refresh();
    // The names shown, one label per series, in the chart's order.
    QList<QLabel*> Labels() const { return FLabels; }
    int ColumnCount() const { return FColumns; }

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    // Puts the entries into as many columns as the width holds.
    void Arrange(bool force);
    int EntryWidth(int index) const;

    QChart* FChart = nullptr;
    QGridLayout* FLayout = nullptr;
    QList<QWidget*> FEntries;
    QList<QLabel*> FLabels;
    int FColumns = 0;
};
