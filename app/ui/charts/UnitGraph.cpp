#include "app/ui/charts/UnitGraph.h"

#include "app/ui/charts/ChartAxes.h"
#include "app/ui/charts/ChartLegend.h"
#include "app/ui/shell/ProgramEnv.h"
#include "platform/ResString.h"
#include "support/ui/RFrmStorage.h"

#include <QChart>
#include <QChartView>
#include <QCheckBox>
#include <QEvent>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLegend>
#include <QLineSeries>
#include <QLocale>
#include <QScreen>
#include <QValueAxis>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>
#include <exception>

namespace {

const TResString SGraphCaption = RESSTR("UnitGraph", "График");
const TResString SShowMarks = RESSTR("UnitGraph", "Отображать метки на графиках");

constexpr int kWidth = 720;
constexpr int kHeight = 480;
constexpr int kLineWidth = 2;
constexpr int kPointSize = 3;
// A series made with value labels carries this property set to 1; only such series follow the
// "show marks" box.
constexpr char kTagProperty[] = "Tag";

// The smallest of 1, 2 and 5 times a power of ten that is not below raw (raw > 0).
double NiceStep(double raw)
{
    const double power = std::pow(10.0, std::floor(std::log10(raw)));
    for (const double factor : {1.0, 2.0, 5.0})
        if (factor * power >= raw * (1 - 1e-9))
            return factor * power;
    return 10 * power;
}

// Decimals that tell apart the labels of ticks a step apart.
int StepDecimals(double step)
{
    return step >= 1 ? 0 : std::min(6, static_cast<int>(std::ceil(-std::log10(step) - 1e-9)));
}

} // namespace

TFormGraph::TFormGraph(QWidget* parent) : QDialog(parent, Qt::Tool)
{
    setObjectName(QStringLiteral("FormGraph"));
    setWindowTitle(LoadResString(SGraphCaption));
    setSizeGripEnabled(true);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    auto* panel = new QWidget(this);
    panel->setObjectName(QStringLiteral("pnlDrawsGraph"));
    auto* panelLayout = new QHBoxLayout(panel);
    panelLayout->setContentsMargins(8, 4, 8, 4);
    FShowMarks = new QCheckBox(LoadResString(SShowMarks), panel);
    FShowMarks->setObjectName(QStringLiteral("cbShowMarks"));
    FShowMarks->setChecked(true);
    panelLayout->addWidget(FShowMarks);
    panelLayout->addStretch(1);
    layout->addWidget(panel);

    FChart = new QChart();
    FChart->setAnimationOptions(QChart::NoAnimation);
    FChart->setBackgroundRoundness(0);
    FChart->setBackgroundBrush(Qt::white);
    FChart->setPlotAreaBackgroundBrush(Qt::white);
    FChart->setPlotAreaBackgroundVisible(true);
    FChart->setMargins(QMargins(4, 4, 4, 4));
    FChart->legend()->setAlignment(Qt::AlignBottom);
    FChart->legend()->setVisible(true);
    // Values are written the user's way (decimal comma in Russian), on the axes and the labels,
    // without group separators, which would split draw numbers.
    QLocale locale;
    locale.setNumberOptions(locale.numberOptions() | QLocale::OmitGroupSeparator);
    FChart->setLocalizeNumbers(true);
    FChart->setLocale(locale);

    FAxisX = new QValueAxis(FChart);
    FAxisX->setLabelFormat(QStringLiteral("%.0f"));
    FAxisX->setTickType(QValueAxis::TicksDynamic);
    FAxisX->setTickAnchor(0);
    FAxisY = new QValueAxis(FChart);
    FAxisY->setTickType(QValueAxis::TicksDynamic);
    FAxisY->setTickAnchor(0);
    FChart->addAxis(FAxisX, Qt::AlignBottom);
    FChart->addAxis(FAxisY, Qt::AlignLeft);
    FitAxes();

    FChartView = new QChartView(FChart, this);
    FChartView->setObjectName(QStringLiteral("Chart"));
    FChartView->setRenderHint(QPainter::Antialiasing, true);
    layout->addWidget(FChartView, 1);
    FLegend = new TChartLegend(FChart, this);
    layout->addWidget(FLegend);

    connect(FShowMarks, &QCheckBox::toggled, this, [this] { ShowMarksClicked(); });

    resize(kWidth, kHeight);
    const QScreen* screen = parent ? parent->screen() : QGuiApplication::primaryScreen();
    if (screen) {
        QRect frame = frameGeometry();
        frame.moveCenter(screen->availableGeometry().center());
        move(frame.topLeft());
    }
    // An unreadable form-state file leaves the window centred: the graph is what matters.
    try {
        RestoreFormPlacement(this, true, true);
    } catch (const std::exception&) {
    }
}

TFormGraph::~TFormGraph()
{
    // A form-state file that cannot be written costs only the next window's placement, and an
    // error must not leave a destructor.
    try {
        SaveFormPlacement(this);
    } catch (const std::exception&) {
    }
}

QLineSeries* TFormGraph::FindSeries(const QString& title) const
{
    for (QAbstractSeries* series : FChart->series())
        if (series->name().compare(title, Qt::CaseInsensitive) == 0)
            return qobject_cast<QLineSeries*>(series);
    return nullptr;
}

QLineSeries* TFormGraph::NewSeries(const QString& title, bool showPoints, bool showLabels, QRgb colour)
{
    auto* series = new QLineSeries(FChart);
    series->setName(title);
    // The chart's theme gives a series its colour when it is added; ours then replaces it.
    FChart->addSeries(series);
    QPen pen = series->pen();
    if (colour != 0)
        pen.setColor(QColor::fromRgb(colour));
    pen.setWidth(kLineWidth);
    series->setPen(pen);
    series->setMarkerSize(kPointSize);
    series->setPointsVisible(showPoints);
    series->setPointLabelsFormat(QStringLiteral("@yPoint"));
    ShowPointLabelsWhole(series);
    series->setPointLabelsVisible(showLabels && FShowMarks->isChecked());
    series->setProperty(kTagProperty, showLabels ? 1 : 0);
    series->attachAxis(FAxisX);
    series->attachAxis(FAxisY);
    return series;
}

void TFormGraph::AddGraphPoint(int x, const QString& title, double y, bool showPoints, bool showLabels, QRgb colour)
{
    QLineSeries* series = FindSeries(title);
    if (!series)
        series = NewSeries(title, showPoints, showLabels, colour);
    FPending[series].append(QPointF(x, y));
    if (!FHavePoints) {
        FMinX = FMaxX = x;
        FMinY = FMaxY = y;
        FHavePoints = true;
    } else {
        FMinX = std::min<double>(FMinX, x);
        FMaxX = std::max<double>(FMaxX, x);
        FMinY = std::min(FMinY, y);
        FMaxY = std::max(FMaxY, y);
    }
}

void TFormGraph::AddPoints(const TGraphPoints& points)
{
    for (const TGraphPoint& p : points)
        AddGraphPoint(p.X, p.Title, p.Y, p.ShowPoints, p.ShowLabels, p.Colour);
    UpdateChart();
}

void TFormGraph::UpdateChart()
{
    for (auto it = FPending.cbegin(); it != FPending.cend(); ++it)
        it.key()->replace(it.key()->points() + it.value());
    FPending.clear();
    FitAxes();
    FLegend->Refresh();
}

void TFormGraph::FitAxes()
{
    if (!FHavePoints) {
        FAxisX->setRange(0, 1);
        FAxisX->setTickInterval(1);
        FAxisY->setRange(0, 1);
        FAxisY->setTickInterval(1);
        FAxisY->setLabelFormat(QStringLiteral("%.0f"));
        return;
    }
    // Whole numbers along the bottom (draw numbers, matched counts), at most about ten labels,
    // with half a step of room so that the first and last points keep their labels.
    const double stepX = NiceStep(std::max(1.0, (FMaxX - FMinX) / 10));
    FAxisX->setTickInterval(stepX);
    FAxisX->setRange(FMinX - std::max(0.5, stepX / 2), FMaxX + std::max(0.5, stepX / 2));

    // Values on round steps, about six of them, with a little room above and below.
    double low = FMinY;
    double high = FMaxY;
    if (high - low < 1e-9) {
        const double room = std::max(1.0, std::abs(high) / 10);
        low -= room;
        high += room;
    }
    const double span = high - low;
    const double stepY = NiceStep(span / 6);
    FAxisY->setTickInterval(stepY);
    FAxisY->setRange(std::floor((low - span / 20) / stepY) * stepY, std::ceil((high + span / 20) / stepY) * stepY);
    FAxisY->setLabelFormat(QStringLiteral("%.") + QString::number(StepDecimals(stepY)) + QStringLiteral("f"));
}

void TFormGraph::ShowMarksClicked()
{
    const bool show = FShowMarks->isChecked();
    for (QAbstractSeries* series : FChart->series())
        if (series->property(kTagProperty).toInt() == 1)
            if (auto* line = qobject_cast<QLineSeries*>(series))
                line->setPointLabelsVisible(show);
    // A series repaints only the band around its line, and a label stands above its point,
    // often outside that band: the whole chart is repainted, so that all labels go (or come)
    // at once.
    FChart->update();
}

void TFormGraph::showEvent(QShowEvent* event)
{
    UpdateChart();
    QDialog::showEvent(event);
}

void TFormGraph::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::LanguageChange)
        FShowMarks->setText(LoadResString(SShowMarks));
    QDialog::changeEvent(event);
}

void AddGraphPoint(TFormGraph* form, int x, const QString& title, double y, bool showPoints, bool showLabels,
                   QRgb colour)
{
    form->AddGraphPoint(x, title, y, showPoints, showLabels, colour);
}

void ShowGraph(QWidget* owner, const QString& caption, const TGraphPoints& points)
{
    TFormGraph form(owner);
    form.setWindowTitle(caption);
    form.AddPoints(points);
    ExecModalForm(form);
}
