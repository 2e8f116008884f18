#include "support/ui/RListItems.h"

#include <algorithm>

TRListModel::TRListModel(QObject* parent) : QAbstractTableModel(parent) {}

int TRListModel::AddColumn(const TRListColumn& column)
{
    const int index = ColumnCount();
    beginInsertColumns(QModelIndex(), index, index);
    FColumns.push_back(column);
    endInsertColumns();
    return index;
}

void TRListModel::SetColumnWidth(int index, int width)
{
    if (index >= 0 && index < ColumnCount())
        FColumns[static_cast<size_t>(index)].Width = std::max(0, width);
}

void TRListModel::ClearColumns()
{
    if (FColumns.empty())
        return;
    beginRemoveColumns(QModelIndex(), 0, ColumnCount() - 1);
    FColumns.clear();
    endRemoveColumns();
}

int TRListModel::Count() const
{
    return FOwnerData ? FOwnerCount : static_cast<int>(FItems.size());
}

void TRListModel::SetItem(int index, const TRListItem& item)
{
    if (FOwnerData || !ValidRow(index))
        return;
    FItems[static_cast<size_t>(index)] = item;
    RowChanged(index);
}

int TRListModel::Add(const TRListItem& item)
{
    return Insert(static_cast<int>(FItems.size()), item);
}

int TRListModel::Insert(int index, const TRListItem& item)
{
    if (FOwnerData)
        return -1;
    index = std::clamp(index, 0, static_cast<int>(FItems.size()));
    beginInsertRows(QModelIndex(), index, index);
    FItems.insert(FItems.begin() + index, item);
    endInsertRows();
    return index;
}

void TRListModel::Delete(int index)
{
    if (FOwnerData || !ValidRow(index))
        return;
    beginRemoveRows(QModelIndex(), index, index);
    FItems.erase(FItems.begin() + index);
    endRemoveRows();
}

void TRListModel::Clear()
{
    beginResetModel();
    FItems.clear();
    FOwnerCount = 0;
    endResetModel();
}

void TRListModel::SetChecked(int index, bool checked)
{
    if (FOwnerData || !ValidRow(index) || FItems[static_cast<size_t>(index)].Checked == checked)
        return;
    FItems[static_cast<size_t>(index)].Checked = checked;
    RowChanged(index);
}

void TRListModel::SetData(int index, TRItemData* data)
{
    if (!FOwnerData && ValidRow(index))
        FItems[static_cast<size_t>(index)].Data = data;
}

QString TRListModel::CellText(int row, int column) const
{
    if (!ValidRow(row) || column < 0)
        return QString();
    if (FOwnerData)
        return FOnData ? FOnData(row, column) : QString();
    const TRListItem& item = FItems[static_cast<size_t>(row)];
    if (column == 0)
        return item.Caption;
    return item.SubItems.value(column - 1);
}

void TRListModel::SetOwnerData(bool ownerData)
{
    if (ownerData == FOwnerData)
        return;
    beginResetModel();
    FOwnerData = ownerData;
    FItems.clear();
    FOwnerCount = 0;
    endResetModel();
}

void TRListModel::SetItemCount(int count)
{
    if (!FOwnerData)
        return;
    count = std::max(0, count);
    if (count == FOwnerCount) {
        RefreshAll();
        return;
    }
    beginResetModel();
    FOwnerCount = count;
    endResetModel();
}

void TRListModel::SetOnData(TOwnerDataEvent handler)
{
    FOnData = std::move(handler);
    RefreshAll();
}

void TRListModel::RefreshAll()
{
    if (Count() > 0 && ColumnCount() > 0)
        emit dataChanged(index(0, 0), index(Count() - 1, ColumnCount() - 1));
}

void TRListModel::SetCheckboxes(bool checkboxes)
{
    if (checkboxes == FCheckboxes)
        return;
    FCheckboxes = checkboxes;
    RefreshAll();
}

void TRListModel::Reorder(const std::vector<int>& order)
{
    if (FOwnerData || order.size() != FItems.size())
        return;
    emit layoutAboutToBeChanged();
    std::vector<TRListItem> items;
    items.reserve(FItems.size());
    std::vector<int> newIndexOf(FItems.size());
    for (size_t i = 0; i < order.size(); ++i) {
        items.push_back(std::move(FItems[static_cast<size_t>(order[i])]));
        newIndexOf[static_cast<size_t>(order[i])] = static_cast<int>(i);
    }
    FItems = std::move(items);
    const QModelIndexList persistent = persistentIndexList();
    QModelIndexList moved;
    moved.reserve(persistent.size());
    for (const QModelIndex& old : persistent)
        moved.append(index(newIndexOf[static_cast<size_t>(old.row())], old.column()));
    changePersistentIndexList(persistent, moved);
    emit layoutChanged();
}

int TRListModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : Count();
}

int TRListModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : ColumnCount();
}

QVariant TRListModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || !ValidRow(index.row()) || index.column() >= ColumnCount())
        return QVariant();
    switch (role) {
    case Qt::DisplayRole:
        return CellText(index.row(), index.column());
    case Qt::TextAlignmentRole:
        return QVariant::fromValue(Column(index.column()).Alignment | Qt::AlignVCenter);
    case Qt::CheckStateRole:
        if (FCheckboxes && !FOwnerData && index.column() == 0)
            return FItems[static_cast<size_t>(index.row())].Checked ? Qt::Checked : Qt::Unchecked;
        return QVariant();
    default:
        return QVariant();
    }
}

bool TRListModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    if (role != Qt::CheckStateRole || !FCheckboxes || FOwnerData || !index.isValid() || index.column() != 0)
        return false;
    SetChecked(index.row(), value.toInt() == Qt::Checked);
    return true;
}

QVariant TRListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || section < 0 || section >= ColumnCount())
        return QVariant();
    if (role == Qt::DisplayRole)
        return Column(section).Caption;
    if (role == Qt::TextAlignmentRole)
        return QVariant::fromValue(Column(section).Alignment | Qt::AlignVCenter);
    return QVariant();
}

Qt::ItemFlags TRListModel::flags(const QModelIndex& index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    Qt::ItemFlags result = Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
    if (FCheckboxes && !FOwnerData && index.column() == 0)
        result |= Qt::ItemIsUserCheckable;
    return result;
}

void TRListModel::RowChanged(int row)
{
    if (ColumnCount() > 0)
        emit dataChanged(index(row, 0), index(row, ColumnCount() - 1));
}
