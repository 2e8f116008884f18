#include "support/ui/QorListView.h"

#include "platform/DelphiText.h"
#include "platform/ResString.h"
#include "support/RVclUtils.h"

#include <QCollator>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QPainter>
#include <QScrollBar>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <numeric>
#include <optional>
#include <string>

namespace {

const TResString SBadSortColumn =
    RESSTR("QorListView", "Некорректное занчение номера столбца сортировки (%d)");

QCollator ListCollator()
{
    QCollator collator{QLocale()};
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    collator.setNumericMode(false);
    return collator;
}

// A cell text prepared for comparing.
struct TTextKey {
    bool IsNumber = false;
    long double Number = 0;
    std::optional<QCollatorSortKey> Text;
};

TTextKey MakeKey(const QString& text, const QCollator& collator)
{
    TTextKey key;
    QString numeric = text;
    const qsizetype comma = numeric.indexOf(QLatin1Char(','));
    if (comma >= 0)
        numeric[comma] = QLatin1Char('.');
    key.IsNumber = ReadPlainNumber(numeric, key.Number);
    if (!key.IsNumber)
        key.Text = collator.sortKey(text);
    return key;
}

int Sign(int value)
{
    return (value > 0) - (value < 0);
}

int CompareKeys(const TTextKey& a, const TTextKey& b)
{
    if (a.IsNumber && b.IsNumber)
        return (a.Number > b.Number) - (a.Number < b.Number);
    if (a.IsNumber != b.IsNumber)
        return a.IsNumber ? -1 : 1;
    return Sign(a.Text->compare(*b.Text));
}

// Column keys of one item under a sort column; Column is empty when the item has no such text.
struct TItemKey {
    TTextKey Caption;
    std::optional<TTextKey> Column;
};

TItemKey MakeItemKey(const TRListItem& item, int sortColumn, const QCollator& collator)
{
    TItemKey key{MakeKey(item.Caption, collator), std::nullopt};
    if (sortColumn >= 1 && item.SubItems.size() >= sortColumn)
        key.Column = MakeKey(item.SubItems.at(sortColumn - 1), collator);
    return key;
}

int CompareItemKeys(const TItemKey& a, const TItemKey& b, int sortColumn)
{
    if (sortColumn < 0)
        return 0;
    if (sortColumn == 0)
        return CompareKeys(a.Caption, b.Caption);
    // Mixing "by column" and "by caption" between pairs would not be an order at all; items
    // without the column form their own group after the others.
    if (a.Column.has_value() != b.Column.has_value())
        return a.Column ? -1 : 1;
    if (a.Column) {
        const int result = CompareKeys(*a.Column, *b.Column);
        if (result != 0)
            return result;
    }
    return CompareKeys(a.Caption, b.Caption);
}

} // namespace

// ---------------------------------------------------------------------------------------------

bool ReadPlainNumber(const QString& text, long double& value)
{
    qsizetype i = 0;
    const qsizetype n = text.size();
    while (i < n && text[i] == QLatin1Char(' '))
        ++i;
    std::string plain;
    auto digits = [&] {
        qsizetype count = 0;
        while (i < n && text[i] >= QLatin1Char('0') && text[i] <= QLatin1Char('9')) {
            plain += static_cast<char>(text[i].unicode());
            ++i;
            ++count;
        }
        return count;
    };
    if (i < n && (text[i] == QLatin1Char('+') || text[i] == QLatin1Char('-'))) {
        if (text[i] == QLatin1Char('-'))
            plain += '-';
        ++i;
    }
    qsizetype mantissa = digits();
    if (i < n && text[i] == QLatin1Char('.')) {
        plain += '.';
        ++i;
        mantissa += digits();
    }
    if (mantissa == 0)
        return false;
    if (i < n && (text[i] == QLatin1Char('e') || text[i] == QLatin1Char('E'))) {
        plain += 'e';
        ++i;
        if (i < n && (text[i] == QLatin1Char('+') || text[i] == QLatin1Char('-')))
            plain += static_cast<char>(text[i++].unicode());
        if (digits() == 0)
            return false;
    }
    if (i != n)
        return false;
    long double result = 0;
    const char* first = plain.data();
    const char* last = first + plain.size();
    const auto [end, error] = std::from_chars(first, last, result);
    if (end != last)
        return false;
    if (error == std::errc::result_out_of_range) {
        // Beyond the float range: still a number, only too large or too small to hold.
        const bool negative = plain.front() == '-';
        const bool tiny = plain.find("e-") != std::string::npos;
        result = tiny ? 0.0L : HUGE_VALL;
        if (negative)
            result = -result;
    }
    value = result;
    return true;
}

int CompareListTexts(const QString& a, const QString& b)
{
    const QCollator collator = ListCollator();
    return CompareKeys(MakeKey(a, collator), MakeKey(b, collator));
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
    SetColumnWidth(index, width);
    return index;
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
    const QCollator collator = ListCollator();
    int result = CompareItemKeys(MakeItemKey(item1, FSortColumn, collator),
                                 MakeItemKey(item2, FSortColumn, collator), FSortColumn);
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
    const QCollator collator = ListCollator();
    std::vector<TItemKey> keys;
    keys.reserve(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i)
        keys.push_back(MakeItemKey(items->Item(i), FSortColumn, collator));
    std::vector<int> order(static_cast<size_t>(count));
    std::iota(order.begin(), order.end(), 0);
    // A stable sort keeps items that compare equal in the order they had.
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
        int result = CompareItemKeys(keys[static_cast<size_t>(a)], keys[static_cast<size_t>(b)], FSortColumn);
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
