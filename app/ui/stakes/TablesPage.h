#pragma once

#include "app/core/shell/MainState.h"
#include "app/core/stakes/RegularStakes.h"

#include <QList>
#include <QWidget>

class TRSortListView;

// The page of regular stakes: lvTables shows the rules of TRegularStakes as an owner-data
// list, nothing while the tab is hidden. A click on a column header sorts the rules
// themselves (and so the file).
class TTablesPage : public QWidget {
    Q_OBJECT

public:
    TTablesPage(TMainState& state, TRegularStakes& tables, QWidget* parent);
    ~TTablesPage() override;

    TRSortListView* List() const { return lvTables; }

    // Item count and repaint from the rules as they are.
    void Repaint();
    bool HasSelection() const;
    // Selected rows, ascending.
    QList<int> SelectedRows() const;

private:
    void Sort(int column, bool descending);

    TMainState& FState;
    TRegularStakes& FTables;
    TRSortListView* lvTables = nullptr;
};
