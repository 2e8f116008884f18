#include "app/ui/combs/CombsPage.h"

#include "app/ui/shell/EnterKey.h"
#include "app/ui/shell/FilePrompt.h"
#include "engine/KelmaMsg.h"
#include "platform/DelphiText.h"
#include "support/RVclUtils.h"
#include "support/ui/QorListView.h"
#include "support/ui/RClipBrd.h"
#include "support/ui/RStatusBar.h"
#include "support/ui/RVclUtilsUi.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QHeaderView>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QSpinBox>

#include <limits>

namespace {

constexpr int kIconSize = 16;

// The three pictures of the applied-filters list, drawn once.
QIcon DrawHistoryIcon(int image)
{
    QPixmap pixmap(kIconSize, kIconSize);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing, true);
    switch (image) {
    case HistoryImageUndo: {
        // A blue arrow turning back to the left.
        QPen pen(QColor(30, 90, 200), 2.0);
        painter.setPen(pen);
        QPainterPath path;
        path.moveTo(13, 12);
        path.cubicTo(13, 5, 8, 4, 4, 7);
        painter.drawPath(path);
        painter.setBrush(QColor(30, 90, 200));
        painter.setPen(Qt::NoPen);
        painter.drawPolygon(QPolygonF({QPointF(1, 7), QPointF(6, 3.5), QPointF(6, 10.5)}));
        break;
    }
    case HistoryImagePlain: {
        // A grey funnel: a filter step.
        painter.setPen(QPen(QColor(90, 90, 90), 1.0));
        painter.setBrush(QColor(190, 190, 190));
        painter.drawPolygon(QPolygonF({QPointF(2, 3), QPointF(14, 3), QPointF(9.5, 8.5), QPointF(9.5, 13.5),
                                       QPointF(6.5, 12), QPointF(6.5, 8.5)}));
        break;
    }
    case HistoryImageSuccess: {
        // A green funnel: a step that removed what it was asked to.
        painter.setPen(QPen(QColor(20, 110, 20), 1.0));
        painter.setBrush(QColor(90, 190, 90));
        painter.drawPolygon(QPolygonF({QPointF(2, 3), QPointF(14, 3), QPointF(9.5, 8.5), QPointF(9.5, 13.5),
                                       QPointF(6.5, 12), QPointF(6.5, 8.5)}));
        break;
    }
    default:
        return QIcon();
    }
    painter.end();
    return QIcon(pixmap);
}

} // namespace

// ---------------------------------------------------------------------------------------------

TFilterHistoryDelegate::TFilterHistoryDelegate(const TRListView& list, QObject* parent)
    : QStyledItemDelegate(parent), FList(list)
{
}

QIcon TFilterHistoryDelegate::HistoryIcon(int image)
{
    static const QIcon undo = DrawHistoryIcon(HistoryImageUndo);
    static const QIcon plain = DrawHistoryIcon(HistoryImagePlain);
    static const QIcon success = DrawHistoryIcon(HistoryImageSuccess);
    switch (image) {
    case HistoryImageUndo:
        return undo;
    case HistoryImagePlain:
        return plain;
    case HistoryImageSuccess:
        return success;
    default:
        return QIcon();
    }
}

void TFilterHistoryDelegate::initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const
{
    QStyledItemDelegate::initStyleOption(option, index);
    if (index.column() != 0 || index.row() < 0 || index.row() >= FList.ItemCount())
        return;
    const QIcon icon = HistoryIcon(FList.Items()->Item(index.row()).ImageIndex);
    if (icon.isNull())
        return;
    option->icon = icon;
    option->decorationSize = QSize(kIconSize, kIconSize);
    option->features |= QStyleOptionViewItem::HasDecoration;
}

// ---------------------------------------------------------------------------------------------

TCombsPage::TCombsPage(TCombListOps& combs, TRListView* list, TRListView* filters, QSpinBox* exclude,
                       TStatusBar* statusBar, QObject* parent)
    : QObject(parent), FCombs(combs), FList(list), FFilters(filters), FExclude(exclude), FStatusBar(statusBar)
{
    FList->SetOwnerData(true);
    FList->SetMultiSelect(true);
    FList->header()->setMinimumSectionSize(16);
    FList->AddColumn(LoadResString(rsColRowNumber), 80, Qt::AlignLeft);
    FList->AddColumn(LoadResString(SColDigit1), 30, Qt::AlignCenter);
    FList->AddColumn(LoadResString(SColDigit2), 30, Qt::AlignCenter);
    FList->AddColumn(LoadResString(SColSum), 30, Qt::AlignCenter);
    FList->SetOnData([this](int row, int column) { return DigitRowCellText(FCombs.CombRow(row), column); });
    FList->setItemDelegate(new TCombsDelegate(FCombs, FList));

    FFilters->AddColumn(LoadResString(rsColAppliedFilters), 100, Qt::AlignLeft);
    FFilters->AddColumn(LoadResString(rsColValues), 65, Qt::AlignLeft);
    FFilters->AddColumn(LoadResString(rsColCombs), 85, Qt::AlignRight);
    FFilters->setItemDelegate(new TFilterHistoryDelegate(*FFilters, FFilters));
    FFilters->setIconSize(QSize(kIconSize, kIconSize));

    FExclude->setRange(0, std::numeric_limits<int>::max());
    FExclude->setValue(DefaultExclude);
    InstallEnterHandler(FExclude, [this] {
        if (!CanDelExists || CanDelExists())
            DelExists();
    });

    FCombs.OnCombsChanged = [this](int count) { ShowCombs(count); };
    FCombs.OnHistoryChanged = [this] { ShowFilterHistory(); };
    if (QClipboard* clipboard = QGuiApplication::clipboard())
        connect(clipboard, &QClipboard::dataChanged, this, [this] { FClipboardHasText.reset(); });
    ShowCombs(FCombs.Count());
    ShowFilterHistory();
}

TCombsPage::~TCombsPage()
{
    FCombs.OnCombsChanged = nullptr;
    FCombs.OnHistoryChanged = nullptr;
}

void TCombsPage::ShowCombs(int count)
{
    FList->SetItemCount(count);
    Repaint();
    FStatusBar->SetPanelText(CountPanel, FCombs.CombCountText());
}

void TCombsPage::Repaint()
{
    FList->Items()->RefreshAll();
    FList->viewport()->update();
}

void TCombsPage::ShowFilterHistory()
{
    FFilters->BeginUpdate();
    FFilters->Items()->Clear();
    for (const TFilterHistoryRow& row : FCombs.FilterHistory()) {
        TRListItem item;
        item.Caption = row.Caption;
        item.SubItems = {row.Values, IntToStr(row.Count)};
        item.ImageIndex = row.Image;
        FFilters->Items()->Add(item);
    }
    FFilters->EndUpdate();
    FFilters->scrollToBottom();
}

QList<int> TCombsPage::SelectedRows() const
{
    return FList->SelectedRows();
}

QList<TCombWord> TCombsPage::SelectedCombs() const
{
    QList<TCombWord> combs;
    for (const int row : SelectedRows())
        if (row >= 0 && row < FCombs.Count())
            combs.append(FCombs.Comb(row));
    return combs;
}

bool TCombsPage::HasSelection() const
{
    return FList->selectionModel()->hasSelection();
}

bool TCombsPage::ClipboardHasText() const
{
    if (!FClipboardHasText)
        FClipboardHasText = !GetClipboardWideText().isEmpty();
    return *FClipboardHasText;
}

void TCombsPage::Open()
{
    QString fileName;
    if (PromptForFileName(FList->window(), {LoadResString(rsCombFilesFilter), QStringLiteral("lcv"), QString(), false},
                          fileName))
        FCombs.OpenCombsFile(fileName);
}

void TCombsPage::Save()
{
    QString fileName;
    if (PromptForFileName(FList->window(), {LoadResString(rsCombFilesFilter), QStringLiteral("lcv"), QString(), true},
                          fileName))
        FCombs.SaveCombsFile(fileName);
}

void TCombsPage::Undo()
{
    FCombs.Undo();
}

void TCombsPage::DelExists()
{
    FCombs.DeleteLastDraws(FExclude->value());
}

void TCombsPage::DelSelected()
{
    const QList<int> rows = SelectedRows();
    FCombs.DeleteSelected(rows);
    FList->clearSelection();
}

void TCombsPage::SelectAll()
{
    TBusyScope busy(LoadResString(rsPleaseWait));
    FList->selectAll();
}

void TCombsPage::Copy()
{
    TBusyScope busy(LoadResString(rsPleaseWait));
    SetClipboardWideText(FCombs.CopyText(SelectedRows()));
}

void TCombsPage::Paste()
{
    // The list's own busy state shows "Подождите пожалуйста..." around the paste.
    FCombs.PasteText(GetClipboardWideText());
}

void TCombsPage::CheckNums()
{
    FCombs.CheckNums();
}

void TCombsPage::FindInDraws()
{
    FCombs.FindInDraws(FList->Selected());
}
