#include "app/ui/stats/UnitRepeats.h"

#include "app/ui/shell/EnterKey.h"
#include "app/ui/shell/ProgramEnv.h"
#include "app/ui/charts/ChartAxes.h"
#include "engine/PrjConst.h"
#include "platform/DelphiText.h"
#include "platform/ResString.h"
#include "support/RVclUtils.h"
#include "support/ui/FormProgress.h"
#include "support/ui/QorListView.h"
#include "support/ui/RFrmStorage.h"

#include <QChart>
#include <QScopeGuard>
#include <QChartView>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLegend>
#include <QLineSeries>
#include <QPushButton>
#include <QRandomGenerator>
#include <QSpinBox>
#include <QSplitter>
#include <QValueAxis>
#include <QVBoxLayout>

#include <algorithm>
#include <climits>
#include <exception>

namespace {

const TResString SCaption = RESSTR("UnitRepeats", "Количество повторов в зависимости от тиража");
const TResString SDrawsLen = RESSTR("UnitRepeats", "Количество тиражей:");
const TResString SDeep = RESSTR("UnitRepeats", "Глубина поиска:");
const TResString SCalc = RESSTR("UnitRepeats", "Рассчитать");
const TResString SColDraw = RESSTR("UnitRepeats", "Тираж");
const TResString SColMatches = RESSTR("UnitRepeats", "Совпадений");
const TResString SColCount = RESSTR("UnitRepeats", "Кол-во повторов");
const TResString SColDraws = RESSTR("UnitRepeats", "Список тиражей");
const TResString SSeries = RESSTR("UnitRepeats", "Совпадений: %d");
const TResString SCollecting = RESSTR("UnitRepeats", "Идет сбор статистики....");
const TResString SCharting = RESSTR("UnitRepeats", "Создание графиков...");

const QString KeyGraphHeight = QStringLiteral("GraphHeight");
const QString KeyDrawsLength = QStringLiteral("DrawsLength");
const QString KeyDrawsDeep = QStringLiteral("DrawsDeep");

constexpr int kDefaultGraphHeight = 220;
// Round steps on the axes: at most this many for the counts, about this many for the draws.
constexpr int kCountIntervals = 6;
constexpr int kDrawIntervals = 10;
constexpr int kPointSize = 2;
constexpr char kTagProperty[] = "Tag";

// A random colour, each component 0 to 255.
QColor RandomColour()
{
    QRandomGenerator* random = QRandomGenerator::global();
    return QColor(random->bounded(256), random->bounded(256), random->bounded(256));
}

} // namespace

TFormRepeats::TFormRepeats(const TDrawsArray& draws, QWidget* parent) : QDialog(parent), FDraws(draws)
{
    setObjectName(QStringLiteral("FormRepeats"));
    setWindowTitle(LoadResString(SCaption));
    setSizeGripEnabled(true);
    setWindowFlag(Qt::WindowMaximizeButtonHint, true);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    auto* panel = new QWidget(this);
    panel->setObjectName(QStringLiteral("pnlTop"));
    auto* panelLayout = new QHBoxLayout(panel);
    panelLayout->setContentsMargins(8, 6, 8, 6);
    panelLayout->setSpacing(6);
    FDrawsLen = new QSpinBox(panel);
    FDrawsLen->setObjectName(QStringLiteral("edDrawsLen"));
    FDrawsLen->setRange(1, INT_MAX);
    FDrawsLen->setValue(RepeatsDefaultLength);
    FDeep = new QSpinBox(panel);
    FDeep->setObjectName(QStringLiteral("edDeep"));
    FDeep->setRange(1, INT_MAX);
    FDeep->setValue(RepeatsDefaultDepth);
    auto* lenLabel = new QLabel(LoadResString(SDrawsLen), panel);
    lenLabel->setBuddy(FDrawsLen);
    auto* deepLabel = new QLabel(LoadResString(SDeep), panel);
    deepLabel->setBuddy(FDeep);
    FCalc = new QPushButton(LoadResString(SCalc), panel);
    FCalc->setObjectName(QStringLiteral("btnDrawsStatCalc"));
    FCalc->setAutoDefault(false);
    panelLayout->addWidget(lenLabel);
    panelLayout->addWidget(FDrawsLen);
    panelLayout->addSpacing(12);
    panelLayout->addWidget(deepLabel);
    panelLayout->addWidget(FDeep);
    panelLayout->addSpacing(12);
    panelLayout->addWidget(FCalc);
    panelLayout->addStretch(1);
    layout->addWidget(panel);

    FSplitter = new QSplitter(Qt::Vertical, this);
    FSplitter->setObjectName(QStringLiteral("splGraph"));
    FSplitter->setChildrenCollapsible(false);
    FList = new TRListView(FSplitter);
    FList->setObjectName(QStringLiteral("lvList"));
    // The narrow columns are 80 pixels, or as wide as their caption where the font needs more.
    const auto width = [this](const TResString& caption) {
        return std::max(80, FList->header()->fontMetrics().horizontalAdvance(LoadResString(caption)) + 16);
    };
    FList->AddColumn(LoadResString(SColDraw), width(SColDraw));
    FList->AddColumn(LoadResString(SColMatches), width(SColMatches), Qt::AlignHCenter);
    FList->AddColumn(LoadResString(SColCount), width(SColCount), Qt::AlignHCenter);
    FList->AddColumn(LoadResString(SColDraws), 2000);
    FList->SetColumnClick(false);
    FList->SetOwnerData(true);
    FList->SetOnData([this](int row, int column) { return CellText(row, column); });

    FChart = new QChart();
    FChart->setAnimationOptions(QChart::NoAnimation);
    FChart->setBackgroundRoundness(0);
    FChart->setMargins(QMargins(2, 2, 2, 2));
    FChart->legend()->setAlignment(Qt::AlignBottom);
    FChart->legend()->setVisible(true);
    // The axes stay on the chart for good: each analysis changes their ranges.
    FAxisX = new QValueAxis(FChart);
    FAxisX->setLabelFormat(QStringLiteral("%d"));
    FAxisY = new QValueAxis(FChart);
    FAxisY->setLabelFormat(QStringLiteral("%d"));
    FChart->addAxis(FAxisX, Qt::AlignBottom);
    FChart->addAxis(FAxisY, Qt::AlignLeft);
    FChartView = new QChartView(FChart, FSplitter);
    FChartView->setObjectName(QStringLiteral("crtGraph"));
    FChartView->setRenderHint(QPainter::Antialiasing, true);
    // Never so low that the axes lose their labels.
    FChartView->setMinimumHeight(ChartReadableHeight(FChart, kCountIntervals));
    FSplitter->addWidget(FList);
    FSplitter->addWidget(FChartView);
    FSplitter->setStretchFactor(0, 1);
    FSplitter->setStretchFactor(1, 0);
    layout->addWidget(FSplitter, 1);

    connect(FCalc, &QPushButton::clicked, this, [this] { RefreshAnalyze(); });
    InstallEnterHandler(FDrawsLen, [this] { RefreshAnalyze(); });
    InstallEnterHandler(FDeep, [this] { RefreshAnalyze(); });

    resize(760, 560);
    RestoreState();
}

TFormRepeats::~TFormRepeats()
{
    // A form-state file that cannot be written costs only the next window's layout, and an
    // error must not leave a destructor.
    try {
        SaveState();
    } catch (const std::exception&) {
    }
}

void TFormRepeats::RestoreState()
{
    try {
        // Lengths, not sizes: anything the spin boxes take is kept.
        FDrawsLen->setValue(ReadFormInteger(this, KeyDrawsLength, RepeatsDefaultLength, 1, INT_MAX));
        FDeep->setValue(ReadFormInteger(this, KeyDrawsDeep, RepeatsDefaultDepth, 1, INT_MAX));
        const int graphHeight =
            std::max(FChartView->minimumHeight(), ReadFormInteger(this, KeyGraphHeight, kDefaultGraphHeight));
        const int total = std::max(height() - 40, graphHeight + 60);
        FSplitter->setSizes({total - graphHeight, graphHeight});
        RestoreListViewLayout(this, FList, false);
        RestoreFormPlacement(this, true, true);
    } catch (const std::exception&) {
        // An unreadable form-state file leaves the defaults: the analysis is what matters.
    }
}

void TFormRepeats::SaveState()
{
    WriteFormInteger(this, KeyGraphHeight, FChartView->height());
    WriteFormInteger(this, KeyDrawsLength, FDrawsLen->value());
    WriteFormInteger(this, KeyDrawsDeep, FDeep->value());
    SaveListViewLayout(this, FList, false);
    SaveFormPlacement(this);
}

QString TFormRepeats::CellText(int row, int column) const
{
    if (row < 0 || static_cast<std::size_t>(row) >= FResult.Rows.size())
        return {};
    const TRepeatsRow& r = FResult.Rows[static_cast<std::size_t>(row)];
    switch (column) {
    case 0: return SumToStr(static_cast<int>(r.DrawNumber));
    case 1: return QString::number(r.Matches);
    case 2: return QString::number(r.Count());
    case 3: return r.DrawsText();
    default: return {};
    }
}

QLineSeries* TFormRepeats::Series(int k) const
{
    for (QAbstractSeries* series : FChart->series())
        if (series->property(kTagProperty).toInt() == k)
            return qobject_cast<QLineSeries*>(series);
    return nullptr;
}

void TFormRepeats::RefreshAnalyze()
{
    // The progress window lets events through: a second click or Enter meanwhile is ignored.
    if (FRunning)
        return;
    FRunning = true;
    const auto done = qScopeGuard([this] { FRunning = false; });
    const TBusyScope busy;
    {
        const TProgressScope progress(LoadResString(SCollecting), RepeatsDrawCount(FDraws, FDrawsLen->value()));
        FList->BeginUpdate();
        FList->SetItemCount(0);
        FResult = TRepeatsResult{};
        try {
            FResult = AnalyzeRepeats(FDraws, FDrawsLen->value(), FDeep->value(), [&progress] { progress.Step(); });
        } catch (...) {
            FList->EndUpdate();
            throw;
        }
        FList->SetItemCount(static_cast<int>(FResult.Rows.size()));
        FList->EndUpdate();
    }
    ShowChart();
}

void TFormRepeats::ShowChart()
{
    const TProgressScope progress(LoadResString(SCharting), static_cast<int>(FResult.Rows.size()));
    FChart->removeAllSeries();
    const std::vector<std::vector<TRepeatsPoint>> points = RepeatsSeries(FResult);
    bool any = false;
    double minX = 0, maxX = 0, maxY = 0;
    for (std::size_t i = 0; i < points.size(); ++i) {
        const int k = static_cast<int>(i) + 1;
        auto* series = new QLineSeries(FChart);
        series->setName(Format(LoadResString(SSeries), {k}));
        series->setProperty(kTagProperty, k);
        series->setVisible(false);
        FChart->addSeries(series);
        QPen pen = series->pen();
        pen.setColor(RandomColour());
        series->setPen(pen);
        series->setMarkerSize(kPointSize);
        series->setPointsVisible(true);
        series->setPointLabelsVisible(false);
        QBrush brush(RandomColour());
        series->setBrush(brush);
        series->attachAxis(FAxisX);
        series->attachAxis(FAxisY);
        QList<QPointF> list;
        list.reserve(static_cast<qsizetype>(points[i].size()));
        for (const TRepeatsPoint& p : points[i]) {
            list.append(QPointF(p.DrawNumber, p.Count));
            if (!any) {
                minX = maxX = p.DrawNumber;
                any = true;
            }
            minX = std::min<double>(minX, p.DrawNumber);
            maxX = std::max<double>(maxX, p.DrawNumber);
            maxY = std::max<double>(maxY, p.Count);
            progress.Step();
        }
        series->replace(list);
    }
    // Draw numbers and counts on round steps; the counts axis ends on the first step that
    // holds the largest count.
    if (any) {
        SetRoundRange(FAxisX, minX, maxX, kDrawIntervals);
        SetRoundRange(FAxisY, 0, maxY, kCountIntervals);
    } else {
        SetRoundRange(FAxisX, 0, 1, kDrawIntervals);
        SetRoundRange(FAxisY, 0, 1, kCountIntervals);
    }
    for (QAbstractSeries* series : FChart->series())
        series->setVisible(true);
}

void ShowRepeatsForm(const TDrawsArray& draws, QWidget* owner)
{
    TFormRepeats form(draws, owner);
    form.RefreshAnalyze();
    ExecModalForm(form);
}
