#pragma once

#include <QAbstractTableModel>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <functional>
#include <vector>

// A record a list item may point to. Its first field is the identifier that the list helpers
// look items up by; owners derive their own records from it. The record belongs to whoever
// attached it, never to the list.
struct TRItemData {
    std::int32_t Index = 0;

    explicit TRItemData(std::int32_t index = 0) : Index(index) {}
    virtual ~TRItemData() = default;
};

// One row of a report-style list: the caption (first column) and the texts of the further
// columns.
struct TRListItem {
    QString Caption;
    QStringList SubItems;
    bool Checked = false;
    int ImageIndex = -1;
    TRItemData* Data = nullptr;   // not owned

    bool operator==(const TRListItem&) const = default;
};

struct TRListColumn {
    QString Caption;
    int Width = 50;   // 0 hides the column
    Qt::Alignment Alignment = Qt::AlignLeft;
};

// The items and columns of a list view. In owner-data mode it holds no items: it has a count,
// and every text is asked from the owner when it is shown.
class TRListModel : public QAbstractTableModel {
    Q_OBJECT

public:
    // The text of a row in owner-data mode: column 0 is the caption, n >= 1 sub-item n - 1.
    using TOwnerDataEvent = std::function<QString(int row, int column)>;

    explicit TRListModel(QObject* parent = nullptr);

    // Columns.
    int AddColumn(const TRListColumn& column);
    int ColumnCount() const { return static_cast<int>(FColumns.size()); }
    const TRListColumn& Column(int index) const { return FColumns.at(static_cast<size_t>(index)); }
    void SetColumnWidth(int index, int width);
    void ClearColumns();

    // Items (ignored in owner-data mode, where Count() is the owner's count).
    int Count() const;
    const TRListItem& Item(int index) const { return FItems.at(static_cast<size_t>(index)); }
    // Replaces everything the item holds (the list's assignment of one item to another).
    void SetItem(int index, const TRListItem& item);
    int Add(const TRListItem& item);
    // Inserts before index (index = Count() appends); returns the new item's index.
    int Insert(int index, const TRListItem& item);
    void Delete(int index);
    void Clear();
    void SetChecked(int index, bool checked);
    void SetData(int index, TRItemData* data);
    // The text of a column of a row: the caption for column 0; empty where there is none.
    QString CellText(int row, int column) const;

    // Owner-data mode.
    bool OwnerData() const { return FOwnerData; }
    void SetOwnerData(bool ownerData);
    void SetItemCount(int count);
    void SetOnData(TOwnerDataEvent handler);
    // Tells the views that every text may have changed.
    void RefreshAll();

    // Check boxes in the first column.
    bool Checkboxes() const { return FCheckboxes; }
    void SetCheckboxes(bool checkboxes);

    // Puts the items into the given order: order[i] is the old index of the item that ends at
    // index i. Selections and current items follow their items.
    void Reorder(const std::vector<int>& order);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

private:
    bool ValidRow(int row) const { return row >= 0 && row < Count(); }
    void RowChanged(int row);

    std::vector<TRListColumn> FColumns;
    std::vector<TRListItem> FItems;
    bool FOwnerData = false;
    int FOwnerCount = 0;
    TOwnerDataEvent FOnData;
    bool FCheckboxes = false;
};
