#pragma once

#include "app/core/online/SystemsExchange.h"

#include <QIcon>
#include <QList>
#include <QStyledItemDelegate>
#include <QWidget>

#include <functional>

class TRSortListView;

// Draws the picture of each row in its first column. The systems list and the scenario library
// number their pictures alike (TSystemsExchange::TRowImage, ScriptImagePublic and
// ScriptImagePrivate), so that one number shows one picture in both.
class TRowImageDelegate : public QStyledItemDelegate {
public:
    // rowImage: the image number of a row; -1 for none.
    TRowImageDelegate(std::function<int(int row)> rowImage, QObject* parent);

    // The picture of an image number of TSystemsExchange::TRowImage; a null icon otherwise.
    static QIcon RowIcon(int image);

protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override;

private:
    std::function<int(int row)> FRowImage;
};

// The systems tab tsSystems: lvSystems shows the rows of TSystemsExchange as an owner-data
// list (multi-select, sorted by the numbers column at first); a click on a column header sorts
// the rows themselves. The tab's commands are the methods below, each one call.
class TSystemsPage : public QWidget {
    Q_OBJECT

public:
    TSystemsPage(TSystemsExchange& systems, QWidget* parent);
    ~TSystemsPage() override;

    TRSortListView* List() const { return lvSystems; }

    // Item count and texts from the rows as they are.
    void Repaint();
    bool HasSelection() const;
    // The first selected row, or -1.
    int SelectedRow() const;
    QList<int> SelectedRows() const;

    // The list anew from the server, the selected system selected again and scrolled into view.
    void LoadSystems();
    // Every selected system into the cache; a row other than the focused one is deselected
    // once it is done.
    void DownloadSelected();
    void AddSystem();
    // The properties of the selected system (also a double click on a row).
    void EditSelected();
    void DeleteSelected();
    // The tab shown (the list loaded) or hidden (the list emptied).
    void ShowTab(bool shown);

    bool CanDeleteSelected() const { return FSystems.CanDelete(SelectedRow()); }

private:
    void Sort(int column, bool descending);
    // Sorts by the list's sort state, then selects the row of the id (none for -1).
    void SortAndSelect(std::int32_t id);

    TSystemsExchange& FSystems;
    TRSortListView* lvSystems = nullptr;
};
