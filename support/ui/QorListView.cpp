#include "support/ui/QorListView.h"

#include "platform/DelphiText.h"
#include "platform/ResString.h"
#include "support/RTextCompare.h"
#include "support/RVclUtils.h"

#include <QHeaderView>
#include <QItemSelectionModel>
#include <QPainter>
#include <QScrollBar>

#include <algorithm>
#include <numeric>
#include <optional>

namespace {

const TResString SBadSortColumn =
    RESSTR("QorListView", "Некорректное занчение номера столбца сортировки (%d)");

using TTextKey = TCellTextOrder::TKey;

// Column keys of one item under a sort column; Column is empty when the item has no such text.
struct TItemKey {
    TTextKey Caption;
    std::optional<TTextKey> Column;
};

TItemKey MakeItemKey(const TRListItem& item, int sortColumn, const TCellTextOrder& order)
{
    TItemKey key{order.Key(item.Caption), std::nullopt};
    if (sortColumn >= 1 && item.SubItems.size() >= sortColumn)
        key.Column = order.Key(item.SubItems.at(sortColumn - 1));
    return key;
}

int CompareItemKeys(const TItemKey& a, const TItemKey& b, int sortColumn, const TCellTextOrder& order)
{
    if (sortColumn < 0)
        return 0;
    if (sortColumn == 0)
        return order.Compare(a.Caption, b.Caption);
    // Mixing "by column" and "by caption" between pairs would not be an order at all; items
    // without the column form their own group after the others.
    if (a.Column.has_value() != b.Column.has_value())
        return a.Column ? -1 : 1;
    if (a.Column) {
        const int result = order.Compare(*a.Column, *b.Column);
        if (result != 0)
            return result;
    }
    return order.Compare(a.Caption, b.Caption);
}

} // namespace

// ---------------------------------------------------------------------------------------------

int CompareListTexts(const QString& a, const QString& b)
{
    return CompareCellTexts(a, b);
}

// ---------------------------------------------------------------------------------------------

TRListView::TRListView(QWidget* parent) : QTreeView(parent)
{
    FItems = new TRListModel(this);
    setModel(FItems);
    setRootIsDecorated(false);
    setItemsExpandable(false);
    setUniformRowHeights(true);
    setAllColumnsShowFocus(true);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    setSortingEnabled(false);
    header()->setStretchLastSection(false);
    header()->setSectionsMovable(false);
    header()->setSectionsClickable(true);
    connect(header(), &QHeaderView::sectionClicked, this, [this](int column) { ColClick(column); });
}

int TRListView::AddColumn(const QString& caption, int width, Qt::Alignment alignment)
{
    const int index = FItems->AddColumn(TRListColumn{caption, std::max(0, width), alignment});
    SetFittedColumnWidth(index, width);
    return index;
}

int TRListView::HeaderTextWidth(int index) const
{
    if (index < 0 || index >= ColumnCount() || FItems->Column(index).Caption.isEmpty() || header()->isHidden())
        return 0;
    // The header measures its section in bold, as it shows the current column.
    return header()->sectionSizeHint(index);
}

void TRListView::SetFittedColumnWidth(int index, int width)
{
    if (index < 0 || index >= ColumnCount())
        return;
    width = std::max(0, width);
    // A hidden column stays hidden; shown (a hidden header section measures nothing), it takes
    // the wider of the two widths.
    if (width > 0)
        setColumnHidden(index, false);
    const int fitted = width > 0 ? std::max(width, HeaderTextWidth(index)) : 0;
    SetColumnWidth(index, fitted);
    FItems->SetColumnWidth(index, width);
    if (width > 0)
        FFittedWidths[static_cast<size_t>(index)] = fitted;
}

void TRListView::FitColumnsToHeaders()
{
    for (int index = 0; index < ColumnCount() && index < static_cast<int>(FFittedWidths.size()); ++index) {
        const int fitted = FFittedWidths[static_cast<size_t>(index)];
        if (fitted <= 0 || isColumnHidden(index) || columnWidth(index) != fitted)
            continue;
        const int width = std::max(FItems->Column(index).Width, HeaderTextWidth(index));
        if (width != fitted) {
            setColumnWidth(index, width);
            FFittedWidths[static_cast<size_t>(index)] = width;
        }
    }
}

void TRListView::changeEvent(QEvent* event)
{
    QTreeView::changeEvent(event);
    if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange)
        FitColumnsToHeaders();
}

void TRListView::showEvent(QShowEvent* event)
{
    FitColumnsToHeaders();
    QTreeView::showEvent(event);
}

int TRListView::ColumnWidth(int index) const
{
    if (index < 0 || index >= ColumnCount() || isColumnHidden(index))
        return 0;
    return columnWidth(index);
}

void TRListView::SetColumnWidth(int index, int width)
{
    if (index < 0 || index >= ColumnCount())
        return;
    width = std::max(0, width);
    FItems->SetColumnWidth(index, width);
    FFittedWidths.resize(static_cast<size_t>(ColumnCount()), -1);
    FFittedWidths[static_cast<size_t>(index)] = -1;
    setColumnHidden(index, width == 0);
    if (width > 0)
        setColumnWidth(index, width);
}

int TRListView::Selected() const
{
    const QList<int> rows = SelectedRows();
    return rows.isEmpty() ? -1 : rows.first();
}

void TRListView::SetSelected(int index)
{
    QItemSelectionModel* selection = selectionModel();
    if (index < 0 || index >= ItemCount()) {
        selection->clearSelection();
        return;
    }
    selection->setCurrentIndex(FItems->index(index, 0),
                               QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
}

QList<int> TRListView::SelectedRows() const
{
    QList<int> rows;
    for (const QModelIndex& index : selectionModel()->selectedRows())
        rows.append(index.row());
    std::sort(rows.begin(), rows.end());
    return rows;
}

int TRListView::SelectedCount() const
{
    return static_cast<int>(selectionModel()->selectedRows().size());
}

bool TRListView::IsItemSelected(int index) const
{
    return index >= 0 && index < ItemCount() && selectionModel()->isRowSelected(index, QModelIndex());
}

void TRListView::SetItemSelected(int index, bool selected)
{
    if (index < 0 || index >= ItemCount())
        return;
    selectionModel()->select(FItems->index(index, 0),
                             (selected ? QItemSelectionModel::Select : QItemSelectionModel::Deselect)
                                 | QItemSelectionModel::Rows);
}

bool TRListView::MultiSelect() const
{
    return selectionMode() == QAbstractItemView::ExtendedSelection;
}

void TRListView::SetMultiSelect(bool multiSelect)
{
    setSelectionMode(multiSelect ? QAbstractItemView::ExtendedSelection : QAbstractItemView::SingleSelection);
}

void TRListView::SetGridLines(bool gridLines)
{
    FGridLines = gridLines;
    viewport()->update();
}

bool TRListView::ColumnClick() const
{
    return header()->sectionsClickable();
}

void TRListView::SetColumnClick(bool columnClick)
{
    header()->setSectionsClickable(columnClick);
}

void TRListView::EnsureLayout() const
{
    // Geometry is laid out lazily; row positions must be current before they are read.
    const_cast<TRListView*>(this)->executeDelayedItemsLayout();
}

int TRListView::TopIndex() const
{
    EnsureLayout();
    const QModelIndex top = indexAt(QPoint(0, 0));
    return top.isValid() ? top.row() : 0;
}

int TRListView::VisibleRowCount() const
{
    EnsureLayout();
    int rowHeight = ItemCount() > 0 ? sizeHintForRow(0) : 0;
    if (rowHeight <= 0)
        rowHeight = fontMetrics().height();
    return rowHeight > 0 ? viewport()->height() / rowHeight : 0;
}

bool TRListView::ScrollLines(int delta)
{
    EnsureLayout();
    QScrollBar* bar = verticalScrollBar();
    const int before = bar->value();
    bar->setValue(before + delta);
    return bar->value() != before;
}

void TRListView::BeginUpdate()
{
    if (FUpdateCount++ == 0)
        setUpdatesEnabled(false);
}

void TRListView::EndUpdate()
{
    if (FUpdateCount > 0 && --FUpdateCount == 0)
        setUpdatesEnabled(true);
}

void TRListView::DeleteSelected()
{
    if (OwnerData())
        return;
    const QList<int> rows = SelectedRows();
    BeginUpdate();
    for (auto it = rows.crbegin(); it != rows.crend(); ++it)
        FItems->Delete(*it);
    EndUpdate();
}

void TRListView::ColClick(int column)
{
    if (OnColumnClick)
        OnColumnClick(this, column);
}

void TRListView::rowsAboutToBeRemoved(const QModelIndex& parent, int start, int end)
{
    // A deleted item takes its selection with it; the list does not pick another item by itself
    // (the callers that want one, such as DeleteSelected, choose it).
    const QModelIndex current = currentIndex();
    if (current.isValid() && current.row() >= start && current.row() <= end)
        selectionModel()->setCurrentIndex(QModelIndex(), QItemSelectionModel::NoUpdate);
    QTreeView::rowsAboutToBeRemoved(parent, start, end);
}

void TRListView::drawRow(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    QTreeView::drawRow(painter, option, index);
    if (!FGridLines)
        return;
    painter->save();
    painter->setPen(palette().color(QPalette::Mid));
    const QRect row = option.rect;
    painter->drawLine(row.left(), row.bottom(), row.right(), row.bottom());
    const QHeaderView* head = header();
    for (int column = 0; column < head->count(); ++column) {
        if (head->isSectionHidden(column))
            continue;
        const int x = head->sectionViewportPosition(column) + head->sectionSize(column) - 1;
        painter->drawLine(x, row.top(), x, row.bottom());
    }
    painter->restore();
}

// ---------------------------------------------------------------------------------------------

TRSortListView::TRSortListView(QWidget* parent) : TRListView(parent) {}

void TRSortListView::SetSortColumn(int column)
{
    if (column == FSortColumn)
        return;
    if (column < -1 || column >= ColumnCount())
        throw Exception(Format(LoadResString(SBadSortColumn), {column}));
    FSortColumn = column;
    SortItems();
}

void TRSortListView::SetSortDirection(TSortDirection direction)
{
    if (direction == FSortDirection)
        return;
    FSortDirection = direction;
    SortItems();
}

int TRSortListView::CompareItems(const TRListItem& item1, const TRListItem& item2) const
{
    const TCellTextOrder order;
    int result = CompareItemKeys(MakeItemKey(item1, FSortColumn, order), MakeItemKey(item2, FSortColumn, order),
                                 FSortColumn, order);
    if (FSortDirection == sdDescending)
        result = -result;
    if (OnCompare)
        OnCompare(const_cast<TRSortListView*>(this), item1, item2, FSortColumn, result);
    return result;
}

bool TRSortListView::SortItems()
{
    // Busy for the length of the sort, also when a compare handler raises.
    TBusyScope busy;
    TRListModel* items = Items();
    if (items->OwnerData()) {
        if (!OnOwnerSort)
            return false;
        OnOwnerSort(this, FSortColumn, FSortDirection);
        items->RefreshAll();
        viewport()->update();
        return true;
    }
    const int count = items->Count();
    const TCellTextOrder textOrder(true);
    std::vector<TItemKey> keys;
    keys.reserve(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i)
        keys.push_back(MakeItemKey(items->Item(i), FSortColumn, textOrder));
    std::vector<int> order(static_cast<size_t>(count));
    std::iota(order.begin(), order.end(), 0);
    // A stable sort keeps items that compare equal in the order they had.
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
        int result = CompareItemKeys(keys[static_cast<size_t>(a)], keys[static_cast<size_t>(b)], FSortColumn,
                                     textOrder);
        if (FSortDirection == sdDescending)
            result = -result;
        if (OnCompare)
            OnCompare(this, items->Item(a), items->Item(b), FSortColumn, result);
        return result < 0;
    });
    items->Reorder(order);
    return true;
}

void TRSortListView::ColClick(int column)
{
    if (column != FSortColumn) {
        FSortColumn = column;
        FSortDirection = sdAscending;
    } else {
        FSortDirection = FSortDirection == sdAscending ? sdDescending : sdAscending;
    }
    SortItems();
    TRListView::ColClick(column);
}

void TRSortListView::DeleteSelected()
{
    if (OwnerData())
        return;
    const int selected = Selected();
    const int count = ItemCount();
    const int target = selected + 1 >= count ? selected - 1 : selected;
    TRListView::DeleteSelected();
    if (target >= 0 && target < ItemCount())
        SetSelected(target);
}
