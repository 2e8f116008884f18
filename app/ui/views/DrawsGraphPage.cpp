#include "app/ui/views/DrawsGraphPage.h"

#include "app/ui/charts/ChartAxes.h"
#include "app/ui/charts/ChartLegend.h"
#include "app/ui/shell/EnterKey.h"
#include "app/ui/charts/UnitGraph.h"
#include "app/ui/stats/MethodBox.h"
#include "app/ui/views/ViewRefresh.h"
#include "engine/KelmaMsg.h"
#include "platform/ResString.h"
#include "support/RVclUtils.h"

#include <QChart>
#include <QChartView>
#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QHBoxLayout>
#include <QImage>
#include <QLabel>
#include <QLineSeries>
#include <QPainter>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QValueAxis>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>
#include <limits>
#include <utility>
#include <vector>

namespace {

const TResString SGraphsCaption = RESSTR("FormMain", "Графики");
const TResString SDrawsLabel = RESSTR("FormMain", "Тиражей:");
const TResString SShowMarks = RESSTR("FormMain", "Отображать метки на графике");
const TResString SSumDistribution = RESSTR("FormMain", "Распределение сумм тиражей и всех возможных комбинаций");

const char* const kLengthKey = "DrawsGraphLen";

constexpr int kPointHalfSize = 2;   // the point symbols' half size, as drawn around them
const QColor kMeanColor{0, 0, 255};
const QColor kMostFrequentColor{255, 0, 0};

} // namespace

void StyleValueSeries(QLineSeries* series)
{
    QPen pen(GraphValueColor);
    pen.setWidth(2);
    series->setPen(pen);
    const int side = 2 * kPointHalfSize + 1;
    QImage marker(side, side, QImage::Format_ARGB32_Premultiplied);
    marker.fill(GraphValueColor);
    QPainter painter(&marker);
    painter.setPen(GraphValueOutline);
    painter.drawRect(0, 0, side - 1, side - 1);
    painter.end();
    series->setLightMarker(marker);
    series->setMarkerSize(side);
    series->setPointsVisible(true);
    series->setPointLabelsVisible(false);
}

TDrawsGraphPage::TDrawsGraphPage(TMainState& state, QWidget* parent)
    : QWidget(parent), FState(state), FGraph(state)
{
    setObjectName(QStringLiteral("tsDrawsGraph"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->setSpacing(2);

    auto* panel = new QWidget(this);
    panel->setObjectName(QStringLiteral("pnlDrawsGraphType"));
    auto* panelLayout = new QHBoxLayout(panel);
    panelLayout->setContentsMargins(0, 0, 0, 0);
    panelLayout->setSpacing(4);
    FMethods = new QComboBox(panel);
    FMethods->setObjectName(QStringLiteral("cbDrawsGraphType"));
    FMethods->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    FMethods->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    // Narrow, the method names give way: the length and the marks box keep their texts whole.
    FMethods->setMinimumContentsLength(10);
    FMethods->setMaxVisibleItems(30);
    FLengthLabel = new QLabel(panel);
    FLengthLabel->setObjectName(QStringLiteral("lblDrawsGraphLen"));
    FLength = new QSpinBox(panel);
    FLength->setObjectName(QStringLiteral("edDrawsGraphLen"));
    FLength->setRange(1, std::numeric_limits<int>::max());
    FLength->setValue(DefaultLength);
    FLength->setMinimumWidth(80);
    FLengthLabel->setBuddy(FLength);
    FShowMarks = new QCheckBox(panel);
    FShowMarks->setObjectName(QStringLiteral("cbDrawsGraphShowMarks"));
    panelLayout->addWidget(FMethods, 1);
    panelLayout->addWidget(FLengthLabel);
    panelLayout->addWidget(FLength);
    panelLayout->addWidget(FShowMarks);
    layout->addWidget(panel);

    FChartView = new QChartView(this);
    FChartView->setObjectName(QStringLiteral("crtDrawsGraph"));
    layout->addWidget(FChartView, 1);
    // The series' names under the chart, each in full (the method's caption is long).
    FLegend = new TChartLegend(FChartView->chart(), this);
    layout->addWidget(FLegend);
    SetupChart();
    RetranslateUi();

    CanRedraw = [this] { return CanDraw() && IsNotWaiting(); };
    connect(FMethods, &QComboBox::currentIndexChanged, this, [this] { RedrawByUser(); });
    InstallEnterHandler(FLength, [this] { RedrawByUser(); });
    connect(FShowMarks, &QCheckBox::clicked, this, [this] { ShowMarksClicked(); });
}

TDrawsGraphPage::~TDrawsGraphPage() = default;

QString TDrawsGraphPage::Caption()
{
    return LoadResString(SGraphsCaption);
}

void TDrawsGraphPage::RetranslateUi()
{
    FLengthLabel->setText(LoadResString(SDrawsLabel));
    FShowMarks->setText(LoadResString(SShowMarks));
}

void TDrawsGraphPage::SetupChart()
{
    QChart* chart = FChartView->chart();
    chart->setAnimationOptions(QChart::NoAnimation);
    chart->setMargins(QMargins(2, 2, 2, 2));
    chart->setBackgroundRoundness(0);
    chart->legend()->setAlignment(Qt::AlignBottom);
    // The legend panel under the chart names the series instead.
    chart->legend()->setVisible(false);
    FChartView->setRenderHint(QPainter::Antialiasing, true);
    // The two axes stay for good; each drawing changes their ranges.
    FAxisX = new QValueAxis(chart);
    FAxisX->setLabelFormat(QStringLiteral("%d"));
    FAxisY = new QValueAxis(chart);
    FAxisY->setLabelFormat(QStringLiteral("%d"));
    chart->addAxis(FAxisX, Qt::AlignBottom);
    chart->addAxis(FAxisY, Qt::AlignLeft);
    ClearChart();
}

QChart* TDrawsGraphPage::Chart() const
{
    return FChartView->chart();
}

void TDrawsGraphPage::ClearChart()
{
    Chart()->removeAllSeries();
    FAxisX->setVisible(false);
    FAxisY->setVisible(false);
    FLegend->Refresh();
}

void TDrawsGraphPage::RefreshView(bool force)
{
    DrawGraphs(force);
}

void TDrawsGraphPage::DrawGraphs(bool force)
{
    if (!RefreshInSight(*this, FState.Options.Flag(TMainOptions::TabGraphs), force, [this] { FGraph.ResetKey(); }))
        return;
    TDrawsGraphResult result = TDrawsGraphResult::Unchanged;
    try {
        result = FGraph.Calc(SelectedMethod(), FLength->value(), force);
    } catch (...) {
        ClearChart();
        throw;
    }
    if (result == TDrawsGraphResult::Unchanged)
        return;
    ClearChart();
    if (result != TDrawsGraphResult::Computed)
        return;
    TBusyScope busy(LoadResString(rsComputingGraphs));
    ShowGraph(FGraph.Data(), FMethods->currentText());
}

void TDrawsGraphPage::ShowGraph(const TDrawsGraphData& data, const QString& caption)
{
    if (data.Points.empty())
        return;
    QChart* chart = Chart();
    QList<QPointF> values, mean, frequent;
    values.reserve(static_cast<qsizetype>(data.Points.size()));
    mean.reserve(values.capacity());
    frequent.reserve(values.capacity());
    double low = data.Points.front().Y;
    double high = low;
    for (const TDrawsGraphPoint& point : data.Points) {
        const double x = static_cast<double>(point.X);
        values.append(QPointF(x, point.Y));
        mean.append(QPointF(x, data.Mean));
        frequent.append(QPointF(x, data.MostFrequent));
        low = std::min<double>(low, point.Y);
        high = std::max<double>(high, point.Y);
    }

    auto* main = new QLineSeries(chart);
    main->setName(caption);
    StyleValueSeries(main);
    main->setPointLabelsFormat(QStringLiteral("@yPoint"));
    main->setPointLabelsVisible(FShowMarks->isChecked());
    main->replace(values);

    auto* meanSeries = new QLineSeries(chart);
    meanSeries->setName(LoadResString(rsSeriesMean));
    meanSeries->setPen(QPen(kMeanColor));
    meanSeries->replace(mean);

    auto* frequentSeries = new QLineSeries(chart);
    frequentSeries->setName(LoadResString(rsSeriesMostFrequent));
    frequentSeries->setPen(QPen(kMostFrequentColor));
    frequentSeries->replace(frequent);

    for (QLineSeries* series : {main, meanSeries, frequentSeries}) {
        chart->addSeries(series);
        series->attachAxis(FAxisX);
        series->attachAxis(FAxisY);
    }
    ShowPointLabelsWhole(main);
    SetRoundRange(FAxisX, static_cast<double>(data.Points.front().X), static_cast<double>(data.Points.back().X), 10);
    SetRoundRange(FAxisY, std::min(low, data.Mean), std::max(high, data.Mean), 8);
    FAxisX->setVisible(true);
    FAxisY->setVisible(true);
    FLegend->Refresh();
}

void TDrawsGraphPage::FillGraphMethods(bool keepSelection)
{
    const int remembered = keepSelection ? FMethods->currentIndex() : 0;
    FillMethodBox(*FMethods, OfferedMethods(FState.StatList(), TMethodUse::Graph), remembered);
}

const TStatMethod* TDrawsGraphPage::SelectedMethod() const
{
    if (FMethods->currentIndex() < 0)
        return nullptr;
    bool ok = false;
    const int index = FMethods->currentData().toInt(&ok);
    const TStatList& list = FState.StatList();
    if (!ok || index < 0 || index >= list.Count() || !list.IsGraph(index))
        return nullptr;
    return &list.Items(index);
}

bool TDrawsGraphPage::CanDraw() const
{
    return !FState.FDraws.empty() && SelectedMethod() != nullptr;
}

void TDrawsGraphPage::RedrawByUser()
{
    if (CanRedraw && CanRedraw())
        DrawGraphs(false);
}

void TDrawsGraphPage::ShowMarksClicked()
{
    const QList<QAbstractSeries*> series = Chart()->series();
    if (series.isEmpty())
        return;
    if (auto* line = qobject_cast<QLineSeries*>(series.first()))
        line->setPointLabelsVisible(FShowMarks->isChecked());
    // As in the graph window: the labels stand outside the band a series repaints.
    Chart()->update();
}

void TDrawsGraphPage::SaveState()
{
    FState.FormState().WriteInteger(QLatin1String(kLengthKey), FLength->value());
}

void TDrawsGraphPage::RestoreState()
{
    FLength->setValue(FState.FormState().ReadCount(QLatin1String(kLengthKey), DefaultLength));
}

QString TDrawsGraphPage::SumDistributionCaption()
{
    return LoadResString(SSumDistribution);
}

void TDrawsGraphPage::ShowSumDistribution(QWidget* owner, const TDrawsArray& draws)
{
    TGraphPoints points;
    {
        TBusyScope busy;
        points = SumDistributionPoints(SumDistribution(draws));
    }
    ::ShowGraph(owner, SumDistributionCaption(), points);
}

void TDrawsGraphPage::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::LanguageChange)
        RetranslateUi();
    QWidget::changeEvent(event);
}
