#include "app/ui/charts/ChartLegend.h"

#include <QChart>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLegend>
#include <QPainter>
#include <QPixmap>
#include <QResizeEvent>
#include <QXYSeries>

#include <algorithm>

namespace {

constexpr int kMarkWidth = 16;
constexpr int kMarkHeight = 4;
constexpr int kMarkSpacing = 6;
constexpr int kColumnSpacing = 18;

QPixmap MarkPixmap(const QColor& colour)
{
    QPixmap mark(kMarkWidth, kMarkHeight);
    mark.fill(colour);
    return mark;
}

} // namespace

TChartLegend::TChartLegend(QChart* chart, QWidget* parent) : QWidget(parent), FChart(chart)
{
    setObjectName(QStringLiteral("pnlLegend"));
    FLayout = new QGridLayout(this);
    FLayout->setContentsMargins(8, 2, 8, 4);
    FLayout->setHorizontalSpacing(kColumnSpacing);
    FLayout->setVerticalSpacing(2);
    // The window's width decides the columns, never the other way round: the names' widths
    // must not keep the window from being made narrower.
    setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
    FChart->legend()->setVisible(false);
}

void TChartLegend::Refresh()
{
    qDeleteAll(FEntries);
    FEntries.clear();
    FLabels.clear();
    for (QAbstractSeries* series : FChart->series()) {
        if (series->name().isEmpty())
            continue;
        auto* entry = new QWidget(this);
        auto* row = new QHBoxLayout(entry);
        row->setContentsMargins(0, 0, 0, 0);
        row->setSpacing(kMarkSpacing);
        auto* mark = new QLabel(entry);
        mark->setObjectName(QStringLiteral("lblLegendMark"));
        const auto* xy = qobject_cast<const QXYSeries*>(series);
        mark->setPixmap(MarkPixmap(xy ? xy->color() : palette().color(QPalette::WindowText)));
        mark->setFixedWidth(kMarkWidth);
        auto* label = new QLabel(series->name(), entry);
        label->setObjectName(QStringLiteral("lblLegend"));
        label->setTextFormat(Qt::PlainText);
        label->setWordWrap(true);
        row->addWidget(mark, 0, Qt::AlignTop | Qt::AlignLeft);
        row->addWidget(label, 1);
        // The mark stands level with the middle of the first line of the name.
        mark->setContentsMargins(0, (label->fontMetrics().height() - kMarkHeight) / 2, 0, 0);
        FEntries.append(entry);
        FLabels.append(label);
    }
    setVisible(!FEntries.isEmpty());
    Arrange(true);
}

int TChartLegend::EntryWidth(int index) const
{
    const QLabel* label = FLabels.at(index);
    // The name on one line, measured the way the label draws it.
    return kMarkWidth + kMarkSpacing + label->fontMetrics().horizontalAdvance(label->text())
           + 2 * label->margin() + 2;
}

void TChartLegend::Arrange(bool force)
{
    const int count = static_cast<int>(FEntries.size());
    int widest = 0;
    for (int i = 0; i < count; ++i)
        widest = std::max(widest, EntryWidth(i));
    const QMargins margins = FLayout->contentsMargins();
    const int room = width() - margins.left() - margins.right();
    const int columns =
        count == 0 ? 0 : std::clamp((room + kColumnSpacing) / (widest + kColumnSpacing), 1, count);
    if (!force && columns == FColumns)
        return;
    FColumns = columns;
    for (QWidget* entry : FEntries)
        FLayout->removeWidget(entry);
    for (int c = 0; c < FLayout->columnCount(); ++c) {
        FLayout->setColumnMinimumWidth(c, 0);
        FLayout->setColumnStretch(c, 0);
    }
    for (int i = 0; i < count; ++i)
        FLayout->addWidget(FEntries[i], i / columns, i % columns);
    // Side by side, every column holds its widest name whole; alone, a name may wrap.
    if (columns > 1)
        for (int c = 0; c < columns; ++c)
            FLayout->setColumnMinimumWidth(c, widest);
    // The room left over goes to the last column, so that a lone column spans the width.
    if (columns > 0)
        FLayout->setColumnStretch(columns - 1, 1);
    updateGeometry();
}

void TChartLegend::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    Arrange(false);
}
