#include "app/ui/views/CardPage.h"

#include "app/core/combs/CombList.h"
#include "app/core/shell/MainState.h"
#include "app/core/stats/StatFilter.h"
#include "app/ui/views/ViewRefresh.h"
#include "engine/KelmaMsgMain.h"
#include "engine/Vex_Nums.h"
#include "platform/ResString.h"
#include "support/RVclUtils.h"
#include "support/ui/RVclUtilsUi.h"

#include <QHeaderView>
#include <QItemSelectionModel>
#include <QPainter>
#include <QVBoxLayout>

#include <algorithm>

namespace {

constexpr TResString rsCardCaption = RESSTR("TemplateMain", "Карта");

} // namespace

TCardPage::TCardPage(TMainState& state, TCombListOps& combs, TStatFilter& filter, QWidget* parent)
    : QWidget(parent), FState(state), FCombs(combs), FFilter(filter)
{
    setObjectName(QStringLiteral("tsCard"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    FGrid = new TROwnerDrawGrid(this);
    FGrid->setObjectName(QStringLiteral("sgCard"));
    layout->addWidget(FGrid);

    FGrid->SetFixedRows(1);
    FGrid->SetFixedCols(1);
    FGrid->SetColCount(TCardView::ColCount);
    FGrid->SetRowCount(FView.RowCount());
    // Cells a digit wide: the headers' own least sizes (taken from the font) must not widen them.
    for (QHeaderView* header : {FGrid->horizontalHeader(), FGrid->verticalHeader()}) {
        header->setMinimumSectionSize(1);
        header->setSectionResizeMode(QHeaderView::Fixed);
    }
    FGrid->horizontalHeader()->setDefaultSectionSize(DefaultColWidth);
    FGrid->verticalHeader()->setDefaultSectionSize(DefaultRowHeight);
    for (int col = TCardView::FirstDigitCol; col <= TCardView::LastDigitCol; ++col)
        FGrid->SetColWidth(col, DefaultColWidth);
    FGrid->SetColWidth(0, DefaultNumberWidth);
    FGrid->SetDefaultDrawing(false);
    FGrid->SetRangeSelect(true);
    // One rectangle of cells, as the filters read it.
    FGrid->setSelectionMode(QAbstractItemView::ContiguousSelection);

    FGrid->OnGetCellText = [this](TROwnerDrawGrid*, int col, int row, QString& value) {
        value = FView.CellText(col, row);
    };
    FGrid->OnDrawCell = [this](TROwnerDrawGrid*, int col, int row, QPainter* painter, const QRect& rect,
                               TGridDrawState state) { DrawCell(col, row, painter, rect, state); };
}

TCardPage::~TCardPage()
{
    FGrid->OnGetCellText = nullptr;
    FGrid->OnDrawCell = nullptr;
}

QString TCardPage::Caption()
{
    return LoadResString(rsCardCaption);
}

void TCardPage::SetNumberColumnWidth(int width)
{
    FGrid->SetColWidth(0, width);
}

void TCardPage::Repaint()
{
    FGrid->InvalidateGrid();
}

TCardColoring TCardPage::Coloring() const
{
    TCardColoring coloring;
    coloring.Channels = FState.Options.Flag(TMainOptions::ColorCard);
    coloring.Sequences = FState.Options.Flag(TMainOptions::ColorCardSequences);
    coloring.ChannelSize = FState.StatList().Config().ChannelSize;
    return coloring;
}

void TCardPage::RefreshView(bool force)
{
    if (!RefreshInSight(*this, FState.Options.Flag(TMainOptions::TabCard), force, [this] { FView.ResetKey(); }))
        return;
    // The key is checked before the busy state, so that the refresh of every view costs the
    // card nothing while the archive stays as it is.
    if (!force && TCardView::KeyOf(FState.FDraws) == FView.Key())
        return;
    TBusyScope busy(LoadResString(rsRefreshingCard));
    FView.Refresh(FState.FDraws, true);
    FGrid->SetRowCount(FView.RowCount());
    FGrid->InvalidateGrid();
}

TGridRect TCardPage::SelectedRect() const
{
    // The ranges, not the selected indexes: a selection over the whole card holds 100 000 cells
    // and this runs at every update of the commands.
    const QItemSelection ranges = FGrid->selectionModel()->selection();
    TGridRect rect;
    if (ranges.isEmpty()) {
        if (FGrid->Col() >= 0)
            rect = TGridRect{FGrid->Col(), FGrid->Row(), FGrid->Col(), FGrid->Row()};
        return rect;
    }
    rect = TGridRect{ranges.first().left(), ranges.first().top(), ranges.first().right(), ranges.first().bottom()};
    for (const QItemSelectionRange& range : ranges) {
        rect.Left = std::min(rect.Left, range.left());
        rect.Top = std::min(rect.Top, range.top());
        rect.Right = std::max(rect.Right, range.right());
        rect.Bottom = std::max(rect.Bottom, range.bottom());
    }
    const int cols = FGrid->FixedCols();
    const int rows = FGrid->FixedRows();
    return TGridRect{rect.Left + cols, rect.Top + rows, rect.Right + cols, rect.Bottom + rows};
}

bool TCardPage::CanFilter() const
{
    if (FCombs.Count() <= 0)
        return false;
    const TGridRect rect = SelectedRect();
    return rect.Left >= TCardView::FirstDigitCol && rect.Right <= TCardView::LastDigitCol;
}

void TCardPage::FilterCombs(bool deleteSelected)
{
    FCombs.SaveUndo(true);
    const TGridRect rect = SelectedRect();
    const TFilterSelection selection = FView.Selection(rect.Left, rect.Top, rect.Right, rect.Bottom);
    TStatFilter::RequireValues(selection);
    TstValues digits(FState.StatList(), 0);
    FFilter.FilterCombs(digits, selection, Caption(), deleteSelected);
}

void TCardPage::DrawCell(int col, int row, QPainter* painter, const QRect& rect, const TGridDrawState& state)
{
    const QPalette palette = FGrid->palette();
    QColor background = palette.color(QPalette::Base);
    QColor text = palette.color(QPalette::Text);
    if (state.Selected || state.Focused) {
        background = palette.color(QPalette::Highlight);
        text = palette.color(QPalette::HighlightedText);
    } else if (const std::optional<std::uint32_t> color = FView.CellColor(col, row, Coloring())) {
        background = ColorFromBgr(*color);
        // The card's colours are light: the digits stay dark whatever the palette says.
        text = Qt::black;
    }
    painter->fillRect(rect, background);
    const QString value = FView.CellText(col, row);
    if (value.isEmpty())
        return;
    painter->setClipRect(rect);
    painter->setPen(text);
    const QFontMetrics metrics(painter->font());
    // Centred across, 2 pixels below the top edge.
    const int x = rect.left() + (rect.width() - metrics.horizontalAdvance(value)) / 2;
    const int y = rect.top() + 2 + metrics.ascent();
    painter->drawText(QPoint(x, y), value);
}
