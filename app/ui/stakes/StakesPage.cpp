#include "app/ui/stakes/StakesPage.h"

#include "app/core/stakes/StakesFile.h"
#include "engine/KelmaMsg.h"
#include "platform/DelphiText.h"
#include "platform/Exceptions.h"
#include "support/ui/QorGrid.h"
#include "support/ui/RStatusBar.h"

#include <QPainter>

namespace {

QColor Rgb(std::uint32_t rgb)
{
    return QColor((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF);
}

// Draws the digits one by one, 3 pixels apart, centred in the cell; a matched digit is bold
// and blue.
void PaintDigits(QPainter* painter, const QRect& rect, const QStringList& digits, const bool* matched,
                const QColor& normal)
{
    if (digits.isEmpty())
        return;
    const QFont base = painter->font();
    QFont bold = base;
    bold.setBold(true);
    constexpr int gap = 3;
    int width = 0;
    for (int i = 0; i < digits.size(); ++i)
        width += QFontMetrics(matched[i] ? bold : base).horizontalAdvance(digits[i]) + (i > 0 ? gap : 0);
    int x = rect.left() + (rect.width() - width) / 2;
    for (int i = 0; i < digits.size(); ++i) {
        painter->setFont(matched[i] ? bold : base);
        painter->setPen(matched[i] ? QColor(Qt::blue) : normal);
        const int w = QFontMetrics(painter->font()).horizontalAdvance(digits[i]);
        painter->drawText(QRect(x, rect.top(), w, rect.height()), Qt::AlignCenter | Qt::TextSingleLine, digits[i]);
        x += w + gap;
    }
    painter->setFont(base);
}

} // namespace

TStakesPage::TStakesPage(TStakesFile& stakes, TROwnerDrawGrid* grid, TStatusBar* statusBar, QObject* parent)
    : QObject(parent), FStakes(stakes), FGrid(grid), FStatusBar(statusBar)
{
    FGrid->SetFixedCols(0);
    FGrid->SetFixedRows(1);
    FGrid->SetColCount(StakeColumnCount);
    FGrid->SetRowCount(2);
    for (int col = 0; col < StakeColumnCount; ++col)
        FGrid->SetColWidth(col, StakeColumnWidth(col));
    FGrid->SetRowSelect(true);
    FGrid->SetRangeSelect(true);
    FGrid->SetDefaultDrawing(false);
    FGrid->OnGetCellText = [this](TROwnerDrawGrid*, int col, int row, QString& value) {
        if (row == 0) {
            const QStringList captions = StakeColumnCaptions();
            value = col >= 0 && col < captions.size() ? captions[col] : QString();
            return;
        }
        value = StakeCellText(RowView(row), col, row);
    };
    // The headers have their texts only now: the columns whose header needs more widen.
    FGrid->FitColumnsToHeaders();
    FGrid->OnDrawCell = [this](TROwnerDrawGrid*, int col, int row, QPainter* painter, const QRect& rect,
                               TGridDrawState state) { DrawCell(col, row, painter, rect, state); };
}

TStakesPage::~TStakesPage()
{
    FGrid->OnGetCellText = nullptr;
    FGrid->OnDrawCell = nullptr;
}

TStakeRowView TStakesPage::RowView(int row) const
{
    if (row < 1 || !FStakes.IsOpen() || row > FStakes.RecordCount())
        return EmptyStakeRow();
    const qint64 position = FStakes.Position();
    TStakeRowView view;
    try {
        view = StakeRowView(FStakes.ReadStake(TStakesFile::soFromBeginning, row - 1));
    } catch (const Exception&) {
        // An unreadable record paints as an empty row; the commands that use it report it.
        view = EmptyStakeRow();
    }
    FStakes.SetPosition(position);
    return view;
}

void TStakesPage::DrawCell(int col, int row, QPainter* painter, const QRect& rect, const TGridDrawState& state)
{
    const QPalette palette = FGrid->palette();
    const TStakeRowView view = RowView(row);
    QColor background = palette.color(QPalette::Base);
    QColor text = palette.color(QPalette::Text);
    if (state.Selected) {
        background = palette.color(QPalette::Highlight);
        text = palette.color(QPalette::HighlightedText);
    } else if (view.Background) {
        background = Rgb(*view.Background);
        // The origin colours are light: the text stays dark whatever the palette says.
        text = Qt::black;
    }
    painter->fillRect(rect, background);
    if (view.Empty)
        return;
    painter->setClipRect(rect);
    if (col == StakeColStaked) {
        PaintDigits(painter, rect, view.StakedDigits, view.StakedMatch.data(), text);
        return;
    }
    if (col == StakeColDrawn) {
        PaintDigits(painter, rect, view.DrawnDigits, view.DrawnMatch.data(), text);
        return;
    }
    if (view.ResultColor && col >= 5 && col <= StakeColProfit)
        text = Rgb(*view.ResultColor);
    painter->setPen(text);
    Qt::Alignment align = Qt::AlignCenter;
    QRect area = rect;
    if (col == StakeColProfit) {
        align = Qt::AlignRight | Qt::AlignVCenter;
        area.adjust(0, 0, -2, 0);
    } else if (col == StakeColComment) {
        align = Qt::AlignLeft | Qt::AlignVCenter;
        area.adjust(2, 0, 0, 0);
    }
    painter->drawText(area, align | Qt::TextSingleLine, StakeCellText(view, col, row));
}

void TStakesPage::Refresh(bool resize, bool scroll)
{
    if (!FStakes.HasStakes()) {
        FGrid->SetRowCount(2);
        FGrid->SetCurrentCell(FGrid->Col() < 0 ? 0 : FGrid->Col(), 1);
        FGrid->InvalidateGrid();
        FStatusBar->SetPanelText(CountPanel, Format(LoadResString(rsStatusStakes), {0}));
        return;
    }
    const qint64 n = FStakes.RecordCount();
    bool changed = false;
    if ((resize || scroll) && FGrid->RowCount() != n + 1) {
        FGrid->SetRowCount(static_cast<int>(n + 1));
        FStatusBar->SetPanelText(CountPanel, Format(LoadResString(rsStatusStakes), {static_cast<int>(n)}));
        changed = true;
    }
    if (scroll)
        FGrid->SetCurrentCell(FGrid->Col() < 0 ? 0 : FGrid->Col(), static_cast<int>(n));
    if (resize && !changed && FGrid->isVisible())
        FGrid->InvalidateGrid();
}
