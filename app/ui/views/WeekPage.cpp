#include "app/ui/views/WeekPage.h"

#include "app/ui/shell/EnterKey.h"
#include "app/ui/charts/ChartAxes.h"
#include "app/ui/views/DrawsGraphPage.h"
#include "app/ui/views/PaneRoom.h"
#include "app/ui/views/ViewRefresh.h"
#include "engine/KelmaMsg.h"
#include "engine/Vex_Nums.h"
#include "platform/ResString.h"
#include "support/RVclUtils.h"
#include "support/ui/QorGrid.h"

#include <QBarCategoryAxis>
#include <QBarSeries>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineSeries>
#include <QPainter>
#include <QSpinBox>
#include <QSplitter>
#include <QValueAxis>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

const TResString SWeekCaption = RESSTR("FormMain", "Неделя");
const TResString SDrawsLabel = RESSTR("FormMain", "Тиражей:");

const char* const kLengthKey = "WeekLen";
const char* const kChartHeightKey = "WeekHeight";

// The counts axis has at most this many round steps.
constexpr int kCountIntervals = 5;

} // namespace

TWeekPage::TWeekPage(TMainState& state, TCombListOps& combs, TStatFilter& filter, QWidget* parent)
    : QWidget(parent), FState(state), FCombs(combs), FFilter(filter), FView(state)
{
    setObjectName(QStringLiteral("tsWeek"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->setSpacing(2);

    auto* panel = new QWidget(this);
    panel->setObjectName(QStringLiteral("pnlWeek"));
    auto* panelLayout = new QHBoxLayout(panel);
    panelLayout->setContentsMargins(0, 0, 0, 0);
    panelLayout->setSpacing(4);
    auto* label = new QLabel(LoadResString(SDrawsLabel), panel);
    label->setObjectName(QStringLiteral("lblWeekLen"));
    FLength = new QSpinBox(panel);
    FLength->setObjectName(QStringLiteral("edWeekLen"));
    FLength->setRange(1, std::numeric_limits<int>::max());
    FLength->setValue(DefaultLength);
    FLength->setMinimumWidth(80);
    label->setBuddy(FLength);
    panelLayout->addWidget(label);
    panelLayout->addWidget(FLength);
    panelLayout->addStretch(1);
    layout->addWidget(panel);

    FSplitter = new QSplitter(Qt::Vertical, this);
    FSplitter->setObjectName(QStringLiteral("splWeek"));
    FSplitter->setChildrenCollapsible(false);
    FGrid = new TROwnerDrawGrid(FSplitter);
    FGrid->setObjectName(QStringLiteral("sgWeek"));
    FChartView = new QChartView(FSplitter);
    FChartView->setObjectName(QStringLiteral("crtWeek"));
    FSplitter->addWidget(FGrid);
    FSplitter->addWidget(FChartView);
    // The grid has seven rows to show; what the page has beyond them is the chart's.
    FSplitter->setStretchFactor(0, 0);
    FSplitter->setStretchFactor(1, 1);
    layout->addWidget(FSplitter, 1);

    SetupGrid();
    SetupChart();
    KeepGridToItsRows(FGrid);
    FChartPane = new TLowerPane(FSplitter, DefaultChartHeight);
    InstallEnterHandler(FLength, [this] { CalcWeekStat(false); });
}

QString TWeekPage::Caption()
{
    return LoadResString(SWeekCaption);
}

TWeekPage::~TWeekPage()
{
    FGrid->OnGetCellText = nullptr;
    FGrid->OnDrawCell = nullptr;
}

void TWeekPage::SetupGrid()
{
    FGrid->SetFixedRows(1);
    FGrid->SetFixedCols(1);
    FGrid->SetColCount(WeekColCount);
    FGrid->SetRowCount(WeekRowCount);
    for (int col = 0; col < WeekColCount; ++col)
        FGrid->SetColWidth(col, ColWidth);
    FGrid->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    FGrid->verticalHeader()->setDefaultSectionSize(RowHeight);
    FGrid->verticalHeader()->setMinimumSectionSize(RowHeight);
    FGrid->horizontalHeader()->setFixedHeight(RowHeight + 2);
    FGrid->setWordWrap(false);
    FGrid->SetRangeSelect(true);
    FGrid->SetDefaultDrawing(false);
    FGrid->OnGetCellText = [this](TROwnerDrawGrid*, int col, int row, QString& value) {
        value = FView.CellText(col, row);
    };
    FGrid->OnDrawCell = [this](TROwnerDrawGrid*, int col, int row, QPainter* painter, const QRect& rect,
                               TGridDrawState state) { DrawCell(col, row, painter, rect, state); };
    FGrid->SetCurrentCell(1, 1);
    // Another cell shows its own chart at once, without counting again.
    connect(FGrid->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this] { DrawWeekChart(FGrid->Col(), FGrid->Row()); });
}

void TWeekPage::SetupChart()
{
    QChart* chart = FChartView->chart();
    chart->setAnimationOptions(QChart::NoAnimation);
    chart->setMargins(QMargins(2, 2, 2, 2));
    chart->setBackgroundRoundness(0);
    chart->legend()->setVisible(false);
    FChartView->setRenderHint(QPainter::Antialiasing, true);
    // The two axes stay for good; each drawing changes their labels and range.
    FAxisX = new QBarCategoryAxis(chart);
    FAxisY = new QValueAxis(chart);
    FAxisY->setLabelFormat(QStringLiteral("%d"));
    chart->addAxis(FAxisX, Qt::AlignBottom);
    chart->addAxis(FAxisY, Qt::AlignLeft);
    FAxisX->setVisible(false);
    FAxisY->setVisible(false);
    FitChartHeight();
}

void TWeekPage::FitChartHeight()
{
    FChartView->setMinimumHeight(ChartReadableHeight(Chart(), kCountIntervals));
}

QChart* TWeekPage::Chart() const
{
    return FChartView->chart();
}

void TWeekPage::RefreshView(bool force)
{
    CalcWeekStat(force);
}

void TWeekPage::CalcWeekStat(bool force)
{
    if (!RefreshInSight(*this, FState.Options.Flag(TMainOptions::TabWeek), force, [this] { FView.ResetKey(); }))
        return;
    if (!FView.Calc(FLength->value(), force))
        return;
    FGrid->InvalidateGrid();
    DrawWeekChart(FGrid->Col(), FGrid->Row());
}

bool TWeekPage::ChartByDays() const
{
    return FState.Options.Value(TMainOptions::WeekChartMode) == 1;
}

bool TWeekPage::ChartAsLine() const
{
    return FState.Options.Flag(TMainOptions::WeekChartType);
}

void TWeekPage::DrawWeekChart(int col, int row)
{
    TBusyScope busy(LoadResString(rsBuildingWeekStat));
    QChart* chart = Chart();
    chart->removeAllSeries();
    const std::vector<TWeekChartPoint> points = FView.ChartPoints(col, row, ChartByDays());

    QStringList labels;
    int top = 0;
    for (const TWeekChartPoint& point : points) {
        labels.append(point.Label);
        top = std::max(top, point.Y);
    }
    FAxisX->clear();
    FAxisX->append(labels);

    QAbstractSeries* series = nullptr;
    if (ChartAsLine()) {
        auto* line = new QLineSeries(chart);
        // On a category axis a point's x is the index of its category.
        for (std::size_t i = 0; i < points.size(); ++i)
            line->append(double(i), points[i].Y);
        StyleValueSeries(line);
        series = line;
    } else {
        auto* set = new QBarSet(QString());
        set->setColor(GraphValueColor);
        set->setBorderColor(GraphValueColor);
        for (const TWeekChartPoint& point : points)
            set->append(point.Y);
        auto* bars = new QBarSeries(chart);
        bars->append(set);
        bars->setLabelsVisible(false);
        series = bars;
    }
    chart->addSeries(series);
    series->attachAxis(FAxisX);
    series->attachAxis(FAxisY);
    SetRoundRange(FAxisY, 0, std::max(1, top), kCountIntervals);
    FAxisX->setVisible(true);
    FAxisY->setVisible(true);
}

void TWeekPage::DrawCell(int col, int row, QPainter* painter, const QRect& rect, TGridDrawState state)
{
    const QPalette palette = FGrid->palette();
    QColor background = palette.color(QPalette::Base);
    QColor text = palette.color(QPalette::Text);
    if (state.Selected || state.Focused) {
        background = palette.color(QPalette::Highlight);
        text = palette.color(QPalette::HighlightedText);
    } else if (const std::optional<QRgb> tint = FView.CellColor(col, row)) {
        background = QColor::fromRgb(*tint);
        // The tints run from white to red: the text stays dark whatever the palette says.
        text = Qt::black;
    }
    painter->fillRect(rect, background);
    const QString value = FView.CellText(col, row);
    if (value.isEmpty())
        return;
    painter->setPen(text);
    painter->setClipRect(rect);
    painter->drawText(rect.adjusted(0, 2, 0, 0), Qt::AlignHCenter | Qt::AlignTop | Qt::TextSingleLine, value);
}

bool TWeekPage::CanCalc() const
{
    return FState.Options.Flag(TMainOptions::TabWeek) && !FState.FDraws.empty();
}

bool TWeekPage::CanFilter() const
{
    return FCombs.Count() > 0;
}

void TWeekPage::FilterCombs(bool deleteSelected)
{
    FCombs.SaveUndo(true);
    const TGridRect rect = FGrid->Selection();
    const TFilterSelection selection = TWeekView::Selection(rect.Left, rect.Right);
    TStatFilter::RequireValues(selection);
    TstValues digits(FState.StatList(), 0);
    FFilter.FilterCombs(digits, selection, Caption(), deleteSelected);
}

void TWeekPage::ToggleChartMode()
{
    TBusyScope busy;
    const int mode = FState.Options.Value(TMainOptions::WeekChartMode);
    FState.WriteOption(TMainOptions::WeekChartMode, mode >= 1 ? 0 : mode + 1);
    DrawWeekChart(FGrid->Col(), FGrid->Row());
}

void TWeekPage::ToggleChartType()
{
    TBusyScope busy;
    FState.WriteOption(TMainOptions::WeekChartType, ChartAsLine() ? 0 : 1);
    DrawWeekChart(FGrid->Col(), FGrid->Row());
}

int TWeekPage::ChartHeight() const
{
    return FChartPane->Height();
}

void TWeekPage::SaveState()
{
    IFormState& store = FState.FormState();
    store.WriteInteger(QLatin1String(kLengthKey), FLength->value());
    store.WriteInteger(QLatin1String(kChartHeightKey), ChartHeight());
}

void TWeekPage::RestoreState()
{
    const IFormState& store = FState.FormState();
    FLength->setValue(store.ReadCount(QLatin1String(kLengthKey), DefaultLength));
    FChartPane->SetHeight(store.ReadInteger(QLatin1String(kChartHeightKey), DefaultChartHeight));
}

void TWeekPage::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::LanguageChange) {
        if (auto* label = findChild<QLabel*>(QStringLiteral("lblWeekLen")))
            label->setText(LoadResString(SDrawsLabel));
        // The day names follow the language; so does the chart by days.
        FGrid->InvalidateGrid();
        if (ChartByDays())
            DrawWeekChart(FGrid->Col(), FGrid->Row());
    }
    if (event->type() == QEvent::FontChange)
        FitChartHeight();
    QWidget::changeEvent(event);
}
