#include "app/ui/views/LayoutPage.h"

#include "app/core/combs/CombList.h"
#include "app/core/shell/MainState.h"
#include "app/core/stats/StatFilter.h"
#include "app/ui/shell/EnterKey.h"
#include "app/ui/views/PaneRoom.h"
#include "app/ui/views/ViewRefresh.h"
#include "engine/KelmaMsg.h"
#include "engine/Vex_Nums.h"
#include "platform/Exceptions.h"
#include "platform/ResString.h"
#include "support/RDialogs.h"
#include "support/RVclUtils.h"
#include "support/ui/QorGrid.h"
#include "support/ui/QorListView.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPainter>
#include <QSpinBox>
#include <QSplitter>
#include <QVBoxLayout>

#include <algorithm>
#include <limits>

namespace {

const TResString SLayoutCaption = RESSTR("FormMain", "Схема");
const TResString SDrawsLabel = RESSTR("FormMain", "Тиражей:");

const char* const kLengthKey = "LayoutLen";
const char* const kCompareHeightKey = "LayoutCompareHeight";

constexpr int kFirstColumnWidth = 50;
constexpr int kColumnWidth = 40;
constexpr int kRowHeight = 18;
constexpr int kCountColumnWidth = 50;

QString CompareLengthKey(int k)
{
    return QStringLiteral("LayoutCompareLen%1").arg(k + 1);
}

QColor Rgb(std::uint32_t rgb)
{
    return QColor((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF);
}

QSpinBox* MakeLengthEdit(QWidget* parent, const QString& name, int value)
{
    auto* edit = new QSpinBox(parent);
    edit->setObjectName(name);
    edit->setRange(1, std::numeric_limits<int>::max());
    edit->setValue(value);
    edit->setMinimumWidth(80);
    return edit;
}

} // namespace

TLayoutPage::TLayoutPage(TMainState& state, TCombListOps& combs, TStatFilter& filter, QWidget* parent)
    : QWidget(parent), FState(state), FCombs(combs), FFilter(filter)
{
    setObjectName(QStringLiteral("tsLayout"));
    BuildControls();
}

TLayoutPage::~TLayoutPage()
{
    FGrid->OnGetCellText = nullptr;
    FGrid->OnDrawCell = nullptr;
}

QString TLayoutPage::Caption()
{
    return LoadResString(SLayoutCaption);
}

void TLayoutPage::BuildControls()
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->setSpacing(2);

    FLayoutTools = new QHBoxLayout;
    FLayoutTools->addWidget(new QLabel(LoadResString(SDrawsLabel), this));
    FLength = MakeLengthEdit(this, QStringLiteral("edLayoutLen"), DefaultLength);
    FLayoutTools->addWidget(FLength);
    FLayoutTools->addStretch(1);
    layout->addLayout(FLayoutTools);

    FSplitter = new QSplitter(Qt::Vertical, this);
    FSplitter->setObjectName(QStringLiteral("splLayout"));
    FSplitter->setChildrenCollapsible(false);
    layout->addWidget(FSplitter, 1);

    FGrid = new TROwnerDrawGrid(FSplitter);
    FGrid->setObjectName(QStringLiteral("sgLayout"));
    FGrid->SetFixedRows(1);
    FGrid->SetFixedCols(1);
    FGrid->SetColCount(2);
    FGrid->SetRowCount(2);
    FGrid->horizontalHeader()->setDefaultSectionSize(kColumnWidth);
    FGrid->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    FGrid->verticalHeader()->setDefaultSectionSize(kRowHeight);
    FGrid->verticalHeader()->setDefaultAlignment(Qt::AlignCenter);
    FGrid->SetColWidth(0, kFirstColumnWidth);
    FGrid->SetColWidth(1, kColumnWidth);
    FGrid->SetRangeSelect(true);
    FGrid->SetDefaultDrawing(false);
    FGrid->OnGetCellText = [this](TROwnerDrawGrid*, int col, int row, QString& value) {
        value = FView.Grid().CellText(col, row);
    };
    FGrid->OnDrawCell = [this](TROwnerDrawGrid*, int col, int row, QPainter* painter, const QRect& rect,
                               TGridDrawState state) { DrawCell(col, row, painter, rect, state); };

    FComparePanel = new QWidget(FSplitter);
    FComparePanel->setObjectName(QStringLiteral("pnlLayoutCompare"));
    auto* compareLayout = new QVBoxLayout(FComparePanel);
    compareLayout->setContentsMargins(0, 0, 0, 0);
    compareLayout->setSpacing(2);
    FCompareTools = new QHBoxLayout;
    FCompareTools->addStretch(1);
    compareLayout->addLayout(FCompareTools);

    FLists = new QSplitter(Qt::Horizontal, FComparePanel);
    FLists->setObjectName(QStringLiteral("pnlLayoutLists"));
    FLists->setChildrenCollapsible(false);
    compareLayout->addWidget(FLists, 1);
    for (int k = 0; k < LayoutCompareCount; ++k) {
        auto* column = new QWidget(FLists);
        auto* columnLayout = new QVBoxLayout(column);
        columnLayout->setContentsMargins(0, 0, 0, 0);
        columnLayout->setSpacing(2);
        QSpinBox* edit = MakeLengthEdit(column, QStringLiteral("edLayoutCmp%1").arg(k + 1),
                                        DefaultCompareLengths[static_cast<size_t>(k)]);
        auto* list = new TRSortListView(column);
        list->setObjectName(QStringLiteral("lvLayoutCmp%1").arg(k + 1));
        list->SetGridLines(true);
        list->AddColumn(LoadResString(rsColCountShort), kCountColumnWidth);
        list->AddColumn(QString(), kColumnWidth);
        list->SetSortColumn(0);
        list->SetSortDirection(sdDescending);
        columnLayout->addWidget(edit);
        columnLayout->addWidget(list, 1);
        FLists->addWidget(column);
        FCompareLengths[static_cast<size_t>(k)] = edit;
        FCompareLists[static_cast<size_t>(k)] = list;
        InstallEnterHandler(edit, [this] { OnEnter([this] { RefreshLayoutCompare(true); }); });
    }
    for (int i = 1; i < LayoutCompareCount; ++i)
        FLists->handle(i)->setObjectName(QStringLiteral("splLayoutCmp%1").arg(i));
    FLists->installEventFilter(this);

    // The grid has at most ten counts to show: what the page has beyond its rows goes to the
    // compare lists.
    FSplitter->setStretchFactor(0, 0);
    FSplitter->setStretchFactor(1, 1);
    KeepGridToItsRows(FGrid);
    FComparePane = new TLowerPane(FSplitter, DefaultCompareHeight);

    InstallEnterHandler(FLength, [this] { OnEnter([this] { BuildLayout(false); }); });
}

void TLayoutPage::OnEnter(const std::function<void()>& action)
{
    try {
        action();
    } catch (const std::exception& e) {
        ErrorBox(ExceptionText(e));
    }
}

bool TLayoutPage::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == FLists && event->type() == QEvent::Resize)
        ArrangeCompareLists();
    return QWidget::eventFilter(watched, event);
}

void TLayoutPage::ArrangeCompareLists()
{
    // Lists 1 to 4 take a fifth of the panel less a splitter's width each; list 5 the rest.
    const int width = FLists->width();
    const int handle = FLists->handleWidth();
    const int each = std::max(0, width / LayoutCompareCount - handle);
    QList<int> sizes(LayoutCompareCount, each);
    sizes.back() = std::max(0, width - (LayoutCompareCount - 1) * (width / LayoutCompareCount));
    FLists->setSizes(sizes);
}

bool TLayoutPage::TabVisible() const
{
    return FState.Options.Flag(TMainOptions::TabLayout);
}

bool TLayoutPage::CanCalc() const
{
    return TabVisible() && !FState.FDraws.empty();
}

void TLayoutPage::RefreshView(bool force)
{
    if (!RefreshInSight(*this, TabVisible(), force, [this] { FView.ResetKeys(); }))
        return;
    BuildLayout(force);
    RefreshLayoutCompare(force);
}

void TLayoutPage::BuildLayout(bool force)
{
    if (!TabVisible())
        return;
    const int length = FLength->value();
    if (!FView.NeedsGrid(FState.FDraws, FState.DrawsOffset(), length, force))
        return;
    TBusyScope busy(LoadResString(rsBuildingLayout));
    FView.BuildGrid(FState.FDraws, FState.DrawsOffset(), length, FState.FCurrentDigits);
    ShowGrid();
}

void TLayoutPage::ShowGrid()
{
    const TLayoutGrid& grid = FView.Grid();
    // An empty layout still has one empty data cell beside its headers.
    FGrid->SetColCount(std::max(2, grid.ColCount()));
    FGrid->SetRowCount(std::max(2, grid.RowCount()));
    FGrid->SetColWidth(0, kFirstColumnWidth);
    const QFontMetrics metrics(FGrid->font());
    for (int col = 1; col < FGrid->ColCount(); ++col) {
        int width = kColumnWidth;
        for (int row = 1; row < grid.RowCount(); ++row) {
            const QString text = grid.CellText(col, row);
            if (!text.isEmpty())
                width = std::max(width, metrics.horizontalAdvance(text) + 10);
        }
        FGrid->SetColWidth(col, width);
    }
    FGrid->InvalidateGrid();
}

void TLayoutPage::RefreshLayoutCompare(bool force)
{
    if (!TabVisible())
        return;
    if (!FView.NeedsCompare(FState.FDraws, FState.DrawsOffset(), force))
        return;
    TBusyScope busy(LoadResString(rsBuildingLayout));
    std::array<int, LayoutCompareCount> lengths{};
    for (int k = 0; k < LayoutCompareCount; ++k)
        lengths[static_cast<size_t>(k)] = FCompareLengths[static_cast<size_t>(k)]->value();
    FView.BuildCompare(FState.FDraws, FState.DrawsOffset(), lengths);
    for (int k = 0; k < LayoutCompareCount; ++k)
        ShowCompareList(k);
}

void TLayoutPage::ShowCompareList(int k)
{
    const TLayoutCompareList& data = FView.CompareLists()[static_cast<size_t>(k)];
    TRSortListView* list = FCompareLists[static_cast<size_t>(k)];
    list->BeginUpdate();
    list->Items()->Clear();
    // The range is the caption of the digits' column; the model has no caption setter, so the
    // columns are made again with the widths they had.
    const int countWidth = list->ColumnWidth(0);
    list->Items()->ClearColumns();
    list->AddColumn(LoadResString(rsColCountShort), countWidth > 0 ? countWidth : kCountColumnWidth);
    list->AddColumn(data.Caption, kColumnWidth);
    for (const TLayoutCompareRow& row : data.Rows)
        list->Items()->Add(TRListItem{SumToStr(row.Count), {row.Digits}});
    list->EndUpdate();
    list->resizeColumnToContents(1);
}

void TLayoutPage::DrawCell(int col, int row, QPainter* painter, const QRect& rect, const TGridDrawState& state)
{
    if (col < 1 || row < 1)
        return;
    const TLayoutGrid& grid = FView.Grid();
    const QPalette palette = FGrid->palette();
    QColor text = Qt::black;
    QColor background;
    if (state.Selected || state.Focused) {
        background = palette.color(QPalette::Highlight);
        text = palette.color(QPalette::HighlightedText);
    } else {
        background = Rgb(LayoutCellColor(col, row, FGrid->RowCount(), FGrid->ColCount(),
                                         grid.HasCurrentDigit(col, row),
                                         FState.Options.Flag(TMainOptions::LayoutGradient)));
    }
    painter->fillRect(rect, background);
    const QString value = grid.CellText(col, row);
    if (value.isEmpty())
        return;
    painter->setClipRect(rect);
    painter->setPen(text);
    painter->drawText(rect.adjusted(0, 2, 0, 0), Qt::AlignHCenter | Qt::AlignTop | Qt::TextSingleLine, value);
}

void TLayoutPage::UpdateColors()
{
    FGrid->InvalidateGrid();
}

TFilterSelection TLayoutPage::Selection() const
{
    const TGridRect rect = FGrid->Selection();
    return FView.Grid().Selection(rect.Left, rect.Top, rect.Right, rect.Bottom);
}

bool TLayoutPage::CanFilter() const
{
    if (FCombs.Count() <= 0 || !TabVisible())
        return false;
    const TGridRect rect = FGrid->Selection();
    return rect.Left >= 1 && rect.Right <= 10;
}

void TLayoutPage::FilterCombs(bool deleteSelected)
{
    FCombs.SaveUndo(true);
    const TFilterSelection selection = Selection();
    TStatFilter::RequireValues(selection);
    TstValues digits(FState.StatList(), 0);
    FFilter.FilterCombs(digits, selection, Caption(), deleteSelected);
}

bool TLayoutPage::CanExport() const
{
    return TabVisible() && FGrid->ColCount() > 2;
}

void TLayoutPage::SaveState()
{
    IFormState& store = FState.FormState();
    store.WriteInteger(QLatin1String(kLengthKey), FLength->value());
    for (int k = 0; k < LayoutCompareCount; ++k)
        store.WriteInteger(CompareLengthKey(k), FCompareLengths[static_cast<size_t>(k)]->value());
    store.WriteInteger(QLatin1String(kCompareHeightKey), CompareHeight());
}

void TLayoutPage::RestoreState()
{
    const IFormState& store = FState.FormState();
    FLength->setValue(store.ReadCount(QLatin1String(kLengthKey), FLength->value()));
    for (int k = 0; k < LayoutCompareCount; ++k) {
        QSpinBox* edit = FCompareLengths[static_cast<size_t>(k)];
        edit->setValue(store.ReadCount(CompareLengthKey(k), edit->value()));
    }
    FComparePane->SetHeight(store.ReadInteger(QLatin1String(kCompareHeightKey), CompareHeight()));
}

int TLayoutPage::CompareHeight() const
{
    return FComparePane->Height();
}
