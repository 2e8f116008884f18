#pragma once

#include "support/RTextCompare.h"
#include "support/ui/RListItems.h"

#include <QList>
#include <QTreeView>

#include <functional>
#include <vector>

// A report-style list: rows of a caption and sub-items under column headers, whole-row
// selection that stays visible without the focus, optional check boxes and grid lines. The
// items live in a TRListModel; in owner-data mode the owner supplies the count and the texts.
class TRListView : public QTreeView {
    Q_OBJECT

public:
    explicit TRListView(QWidget* parent = nullptr);

    TRListModel* Items() const { return FItems; }
    int ItemCount() const { return FItems->Count(); }

    // A new column as wide as given, or as its header text needs where that is wider.
    int AddColumn(const QString& caption, int width, Qt::Alignment alignment = Qt::AlignLeft);
    int ColumnCount() const { return FItems->ColumnCount(); }
    // A width of 0 hides the column (and reads back as 0).
    int ColumnWidth(int index) const;
    // Exactly this width (a stored layout, the user's choice).
    void SetColumnWidth(int index, int width);
    // The program's own width for the column: widened to what its header text needs, also
    // later when the font changes, until the user or SetColumnWidth sets another width.
    void SetFittedColumnWidth(int index, int width);
    // The width a column's header needs to show its caption whole.
    int HeaderTextWidth(int index) const;
    // The width the widest text of the column's items needs (the header aside).
    int ItemsTextWidth(int index) const { return sizeHintForColumn(index); }

    // Owner-data mode: the owner keeps the rows and tells their number and texts.
    bool OwnerData() const { return FItems->OwnerData(); }
    void SetOwnerData(bool ownerData) { FItems->SetOwnerData(ownerData); }
    void SetItemCount(int count) { FItems->SetItemCount(count); }
    void SetOnData(TRListModel::TOwnerDataEvent handler) { FItems->SetOnData(std::move(handler)); }

    // The first selected row (lowest index), or -1.
    int Selected() const;
    // Selects only this row and makes it the current one; -1 clears the selection.
    void SetSelected(int index);
    QList<int> SelectedRows() const;
    int SelectedCount() const;
    bool IsItemSelected(int index) const;
    void SetItemSelected(int index, bool selected);

    bool MultiSelect() const;
    void SetMultiSelect(bool multiSelect);
    bool GridLines() const { return FGridLines; }
    void SetGridLines(bool gridLines);
    bool Checkboxes() const { return FItems->Checkboxes(); }
    void SetCheckboxes(bool checkboxes) { FItems->SetCheckboxes(checkboxes); }
    // Whether a click on a column header is reported (and, for a sortable list, sorts).
    bool ColumnClick() const;
    void SetColumnClick(bool columnClick);

    // Rows on screen: the index of the top visible row, the number of rows that fit whole, and
    // scrolling by whole rows (false when the list did not move).
    int TopIndex() const;
    int VisibleRowCount() const;
    bool ScrollLines(int delta);

    // Brackets a batch of changes so that the list is painted once afterwards. Calls nest.
    void BeginUpdate();
    void EndUpdate();

    // Deletes the selected items (items mode; an owner-data list deletes through its owner).
    virtual void DeleteSelected();

    // Called after a column header was clicked.
    std::function<void(TRListView* sender, int column)> OnColumnClick;

protected:
    virtual void ColClick(int column);
    void rowsAboutToBeRemoved(const QModelIndex& parent, int start, int end) override;
    void drawRow(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    void changeEvent(QEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void EnsureLayout() const;
    // Widens the fitted columns that the user has not resized since to their header texts.
    void FitColumnsToHeaders();

    TRListModel* FItems = nullptr;
    bool FGridLines = false;
    int FUpdateCount = 0;
    // Per column: the width the fitting rule gave it last, or -1 when the width is not the
    // program's own (set exactly, or resized by the user since).
    std::vector<int> FFittedWidths;
};

enum TSortDirection { sdAscending = 0, sdDescending = 1 };

// The order of two cell texts (CompareCellTexts): two numbers, with the first "," read as
// ".", compare as numbers; any other pair by the locale without regard to letter case.
// Negative, 0 or positive.
int CompareListTexts(const QString& a, const QString& b);

// A list that sorts itself when a column header is clicked (again: the other way round).
// Sorting is a strict order: by the sort column's texts (CompareListTexts), equal texts by the
// captions, equal captions keep their order; items that have no text in the sort column come
// after those that have one and are ordered by caption.
class TRSortListView : public TRListView {
    Q_OBJECT

public:
    using TCompareEvent = std::function<void(TRSortListView* sender, const TRListItem& item1,
                                             const TRListItem& item2, int data, int& compare)>;
    using TOwnerSortEvent = std::function<void(TRSortListView* sender, int sortColumn, TSortDirection direction)>;

    explicit TRSortListView(QWidget* parent = nullptr);

    // -1 keeps the items as they are, 0 sorts by the captions, n >= 1 by sub-item n - 1.
    // A new value outside -1 .. ColumnCount() - 1 raises Exception; the same value as now is
    // accepted without a check and does nothing.
    int SortColumn() const { return FSortColumn; }
    void SetSortColumn(int column);
    TSortDirection SortDirection() const { return FSortDirection; }
    void SetSortDirection(TSortDirection direction);

    // Sorts (with the busy state on meanwhile). An owner-data list calls OnOwnerSort and
    // repaints; the result is false when there is none to call.
    bool SortItems();
    // The order of two items under the current sort column and direction (OnCompare included).
    int CompareItems(const TRListItem& item1, const TRListItem& item2) const;

    // Deletes the selected items and selects the item that took the first one's place (the new
    // last item when the last was deleted).
    void DeleteSelected() override;

    // Called after the built-in comparison with data = SortColumn; may change the result.
    TCompareEvent OnCompare;
    // Sorts the owner's rows of an owner-data list.
    TOwnerSortEvent OnOwnerSort;

protected:
    void ColClick(int column) override;

private:
    int FSortColumn = 0;
    TSortDirection FSortDirection = sdAscending;
};
