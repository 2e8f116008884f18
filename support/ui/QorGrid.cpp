#include "support/ui/QorGrid.h"

#include <QAbstractTableModel>
#include <QEvent>
#include <QHeaderView>
#include <QPainter>
#include <QPointer>
#include <QStyledItemDelegate>

#include <algorithm>

// The table the view shows: data rows and columns only; the fixed row and column become the
// headers. Every text is fetched through the grid at the moment it is needed.
class TROwnerDrawModel : public QAbstractTableModel {
public:
    explicit TROwnerDrawModel(TROwnerDrawGrid* grid) : QAbstractTableModel(grid), FGrid(grid) {}

    int rowCount(const QModelIndex& parent = QModelIndex()) const override
    {
        return parent.isValid() ? 0 : std::max(0, FGrid->FRowCount - FGrid->FFixedRows);
    }
    int columnCount(const QModelIndex& parent = QModelIndex()) const override
    {
        return parent.isValid() ? 0 : std::max(0, FGrid->FColCount - FGrid->FFixedCols);
    }
    QVariant data(const QModelIndex& index, int role) const override
    {
        if (!index.isValid())
            return QVariant();
        const int col = index.column() + FGrid->FFixedCols;
        const int row = index.row() + FGrid->FFixedRows;
        if (role == Qt::DisplayRole)
            return FGrid->GetCellText(col, row);
        if (role == Qt::EditRole)
            return FGrid->GetEditText(col, row);
        return QVariant();
    }
    bool setData(const QModelIndex& index, const QVariant& value, int role) override
    {
        if (!index.isValid() || role != Qt::EditRole)
            return false;
        FGrid->SetEditText(index.column() + FGrid->FFixedCols, index.row() + FGrid->FFixedRows, value.toString());
        return true;
    }
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override
    {
        if (role != Qt::DisplayRole)
            return QVariant();
        if (orientation == Qt::Horizontal && FGrid->FFixedRows > 0)
            return FGrid->GetCellText(section + FGrid->FFixedCols, 0);
        if (orientation == Qt::Vertical && FGrid->FFixedCols > 0)
            return FGrid->GetCellText(0, section + FGrid->FFixedRows);
        return QVariant();
    }
    Qt::ItemFlags flags(const QModelIndex& index) const override
    {
        if (!index.isValid())
            return Qt::NoItemFlags;
        Qt::ItemFlags result = Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
        if (FGrid->FEditing)
            result |= Qt::ItemIsEditable;
        return result;
    }

    // Row and column counts change by inserting or removing at the end, so the current cell
    // and the selection survive a change of size.
    void Resize(int oldRows, int newRows, int oldCols, int newCols, const std::function<void()>& apply)
    {
        if (newRows < oldRows)
            beginRemoveRows(QModelIndex(), newRows, oldRows - 1);
        else if (newRows > oldRows)
            beginInsertRows(QModelIndex(), oldRows, newRows - 1);
        if (newRows == oldRows && newCols != oldCols) {
            if (newCols < oldCols)
                beginRemoveColumns(QModelIndex(), newCols, oldCols - 1);
            else
                beginInsertColumns(QModelIndex(), oldCols, newCols - 1);
        }
        apply();
        if (newRows < oldRows)
            endRemoveRows();
        else if (newRows > oldRows)
            endInsertRows();
        if (newRows == oldRows && newCols != oldCols) {
            if (newCols < oldCols)
                endRemoveColumns();
            else
                endInsertColumns();
        }
    }
    void Reset(const std::function<void()>& apply)
    {
        beginResetModel();
        apply();
        endResetModel();
    }

private:
    TROwnerDrawGrid* FGrid;
};

// Draws a data cell the grid's way and keeps track of the one open editor.
class TROwnerDrawDelegate : public QStyledItemDelegate {
public:
    explicit TROwnerDrawDelegate(TROwnerDrawGrid* grid) : QStyledItemDelegate(grid), FGrid(grid) {}

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        const int col = index.column() + FGrid->FFixedCols;
        const int row = index.row() + FGrid->FFixedRows;
        TGridDrawState state;
        state.Selected = option.state.testFlag(QStyle::State_Selected);
        state.Focused = option.state.testFlag(QStyle::State_HasFocus);
        if (FGrid->FDefaultDrawing) {
            painter->save();
            const QPalette& palette = option.palette;
            painter->fillRect(option.rect, state.Selected ? palette.highlight() : palette.base());
            painter->setPen(state.Selected ? palette.color(QPalette::HighlightedText) : palette.color(QPalette::Text));
            painter->setClipRect(option.rect);
            const QRect textRect = option.rect.adjusted(2, 2, 0, 0);
            painter->drawText(textRect, Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine,
                              FGrid->GetCellText(col, row));
            painter->restore();
        }
        if (FGrid->OnDrawCell) {
            painter->save();
            FGrid->OnDrawCell(FGrid, col, row, painter, option.rect, state);
            painter->restore();
        }
    }

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        QWidget* editor = QStyledItemDelegate::createEditor(parent, option, index);
        FEditor = editor;
        FEditorIndex = index;
        return editor;
    }

    void destroyEditor(QWidget* editor, const QModelIndex& index) const override
    {
        if (FEditor == editor)
            FEditor = nullptr;
        QStyledItemDelegate::destroyEditor(editor, index);
    }

    // Shows the current text in the editor of the index, when one is open there.
    void RefreshEditor(const QModelIndex& index) const
    {
        if (FEditor && FEditorIndex == index)
            setEditorData(FEditor, index);
    }

private:
    TROwnerDrawGrid* FGrid;
    mutable QPointer<QWidget> FEditor;
    mutable QPersistentModelIndex FEditorIndex;
};

TROwnerDrawGrid::TROwnerDrawGrid(QWidget* parent) : QTableView(parent)
{
    FModel = new TROwnerDrawModel(this);
    FDelegate = new TROwnerDrawDelegate(this);
    setModel(FModel);
    setItemDelegate(FDelegate);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionMode(QAbstractItemView::SingleSelection);
    horizontalHeader()->setHighlightSections(false);
    verticalHeader()->setHighlightSections(false);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(24);
    horizontalHeader()->setDefaultSectionSize(64);
    ApplyHeaders();
}

TROwnerDrawGrid::~TROwnerDrawGrid() = default;

void TROwnerDrawGrid::ApplyHeaders()
{
    horizontalHeader()->setVisible(FFixedRows > 0);
    verticalHeader()->setVisible(FFixedCols > 0);
}

void TROwnerDrawGrid::SetRowCount(int count)
{
    count = std::max(0, count);
    if (count == FRowCount)
        return;
    const int oldRows = FModel->rowCount();
    const int newRows = std::max(0, count - FFixedRows);
    FModel->Resize(oldRows, newRows, FModel->columnCount(), FModel->columnCount(), [&] { FRowCount = count; });
}

void TROwnerDrawGrid::SetColCount(int count)
{
    count = std::max(0, count);
    if (count == FColCount)
        return;
    const int oldCols = FModel->columnCount();
    const int newCols = std::max(0, count - FFixedCols);
    FModel->Resize(FModel->rowCount(), FModel->rowCount(), oldCols, newCols, [&] { FColCount = count; });
}

void TROwnerDrawGrid::SetFixedRows(int count)
{
    count = std::clamp(count, 0, 1);
    if (count == FFixedRows)
        return;
    FModel->Reset([&] { FFixedRows = count; });
    ApplyHeaders();
}

void TROwnerDrawGrid::SetFixedCols(int count)
{
    count = std::clamp(count, 0, 1);
    if (count == FFixedCols)
        return;
    FModel->Reset([&] { FFixedCols = count; });
    ApplyHeaders();
}

int TROwnerDrawGrid::ColWidth(int col) const
{
    if (col < 0 || col >= FColCount)
        return 0;
    if (col < FFixedCols)
        return verticalHeader()->width();
    return columnWidth(col - FFixedCols);
}

void TROwnerDrawGrid::SetColWidth(int col, int width)
{
    ApplyColWidth(col, width, true);
}

void TROwnerDrawGrid::SetExactColWidth(int col, int width)
{
    ApplyColWidth(col, width, false);
}

void TROwnerDrawGrid::ApplyColWidth(int col, int width, bool fitToHeader)
{
    if (col < 0 || col >= FColCount)
        return;
    width = std::max(0, width);
    if (col < FFixedCols) {
        verticalHeader()->setFixedWidth(width);
        return;
    }
    const auto section = static_cast<size_t>(col - FFixedCols);
    if (FGivenWidths.size() <= section) {
        FGivenWidths.resize(section + 1, -1);
        FFittedWidths.resize(section + 1, -1);
    }
    const int shown = fitToHeader && width > 0 ? std::max(width, HeaderTextWidth(col)) : width;
    FGivenWidths[section] = width;
    FFittedWidths[section] = fitToHeader ? shown : -1;
    setColumnWidth(col - FFixedCols, shown);
}

int TROwnerDrawGrid::HeaderTextWidth(int col) const
{
    if (col < FFixedCols || col >= FColCount || FFixedRows == 0)
        return 0;
    const int section = col - FFixedCols;
    const QHeaderView* header = horizontalHeader();
    // A header with fixed sections belongs to cells sized on purpose (a digit wide).
    if (header->isHidden() || header->sectionResizeMode(section) == QHeaderView::Fixed
        || GetCellText(col, 0).isEmpty())
        return 0;
    // The header measures its section in bold, as it shows the current column.
    return header->sectionSizeHint(section);
}

void TROwnerDrawGrid::FitColumnsToHeaders()
{
    const int count = std::min(FColCount - FFixedCols, static_cast<int>(FFittedWidths.size()));
    for (int section = 0; section < count; ++section) {
        const auto i = static_cast<size_t>(section);
        // Left alone: columns without a width of the owner's, and those resized since.
        if (FFittedWidths[i] <= 0 || columnWidth(section) != FFittedWidths[i])
            continue;
        const int width = std::max(FGivenWidths[i], HeaderTextWidth(section + FFixedCols));
        if (width != FFittedWidths[i]) {
            FFittedWidths[i] = width;
            setColumnWidth(section, width);
        }
    }
}

void TROwnerDrawGrid::changeEvent(QEvent* event)
{
    QTableView::changeEvent(event);
    if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange)
        FitColumnsToHeaders();
}

void TROwnerDrawGrid::showEvent(QShowEvent* event)
{
    // The owner's header texts are asked for only now: they may not have been there when the
    // widths were given.
    FitColumnsToHeaders();
    QTableView::showEvent(event);
}

void TROwnerDrawGrid::SetDefaultDrawing(bool value)
{
    FDefaultDrawing = value;
    viewport()->update();
}

void TROwnerDrawGrid::SetEditing(bool editing)
{
    FEditing = editing;
    setEditTriggers(editing ? QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed
                                  | QAbstractItemView::AnyKeyPressed
                            : QAbstractItemView::NoEditTriggers);
}

void TROwnerDrawGrid::SetRowSelect(bool rowSelect)
{
    setSelectionBehavior(rowSelect ? QAbstractItemView::SelectRows : QAbstractItemView::SelectItems);
}

void TROwnerDrawGrid::SetRangeSelect(bool rangeSelect)
{
    setSelectionMode(rangeSelect ? QAbstractItemView::ExtendedSelection : QAbstractItemView::SingleSelection);
}

int TROwnerDrawGrid::Col() const
{
    const QModelIndex current = currentIndex();
    return current.isValid() ? current.column() + FFixedCols : -1;
}

int TROwnerDrawGrid::Row() const
{
    const QModelIndex current = currentIndex();
    return current.isValid() ? current.row() + FFixedRows : -1;
}

void TROwnerDrawGrid::SetCurrentCell(int col, int row)
{
    const QModelIndex index = FModel->index(row - FFixedRows, col - FFixedCols);
    if (!index.isValid())
        return;
    const auto command = selectionBehavior() == QAbstractItemView::SelectRows
                             ? QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows
                             : QItemSelectionModel::ClearAndSelect;
    selectionModel()->setCurrentIndex(index, command);
}

TGridRect TROwnerDrawGrid::Selection() const
{
    const QModelIndexList selected = selectionModel()->selectedIndexes();
    TGridRect rect;
    if (selected.isEmpty()) {
        if (Col() >= 0)
            rect = TGridRect{Col(), Row(), Col(), Row()};
        return rect;
    }
    rect = TGridRect{selected.first().column(), selected.first().row(), selected.first().column(),
                     selected.first().row()};
    for (const QModelIndex& index : selected) {
        rect.Left = std::min(rect.Left, index.column());
        rect.Right = std::max(rect.Right, index.column());
        rect.Top = std::min(rect.Top, index.row());
        rect.Bottom = std::max(rect.Bottom, index.row());
    }
    rect.Left += FFixedCols;
    rect.Right += FFixedCols;
    rect.Top += FFixedRows;
    rect.Bottom += FFixedRows;
    return rect;
}

QString TROwnerDrawGrid::GetCellText(int col, int row) const
{
    QString value;
    if (OnGetCellText)
        OnGetCellText(const_cast<TROwnerDrawGrid*>(this), col, row, value);
    return value;
}

void TROwnerDrawGrid::SetCellText(int col, int row, const QString& value)
{
    if (OnSetCellText)
        OnSetCellText(this, col, row, value);
    InvalidateCell(col, row);
    if (col == Col() && row == Row() && FEditUpdate == 0)
        FDelegate->RefreshEditor(currentIndex());
}

QString TROwnerDrawGrid::GetEditText(int col, int row) const
{
    QString value = GetCellText(col, row);
    if (OnGetEditText)
        OnGetEditText(const_cast<TROwnerDrawGrid*>(this), col, row, value);
    return value;
}

void TROwnerDrawGrid::SetEditText(int col, int row, const QString& value)
{
    ++FEditUpdate;
    try {
        if (value != GetCellText(col, row))
            SetCellText(col, row, value);
    } catch (...) {
        --FEditUpdate;
        throw;
    }
    --FEditUpdate;
    if (OnSetEditText)
        OnSetEditText(this, col, row, value);
}

void TROwnerDrawGrid::InvalidateCell(int col, int row)
{
    if (row < FFixedRows) {
        horizontalHeader()->viewport()->update();
        return;
    }
    if (col < FFixedCols) {
        verticalHeader()->viewport()->update();
        return;
    }
    const QModelIndex index = FModel->index(row - FFixedRows, col - FFixedCols);
    if (index.isValid())
        viewport()->update(visualRect(index));
}

void TROwnerDrawGrid::InvalidateGrid()
{
    viewport()->update();
    horizontalHeader()->viewport()->update();
    verticalHeader()->viewport()->update();
}
