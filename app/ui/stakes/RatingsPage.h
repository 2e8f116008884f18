#pragma once

#include "app/core/shell/MainState.h"
#include "app/core/stakes/Ratings.h"

#include <QObject>

class QWidget;
class TRSortListView;
class TStatusBar;

// The ratings page: lvRatings shows the core's ratings as an owner-data list. The list's sort
// state is the ratings' own: a click on a column header sorts the array through TRatings (and
// so saves the file); the efficiency columns follow the option RatingsEffMode.
class TRatingsPage : public QObject {
    Q_OBJECT

public:
    TRatingsPage(TMainState& state, TRatings& ratings, TRSortListView* list, TStatusBar* statusBar,
                 QObject* parent);
    ~TRatingsPage() override;

    // The status panel of the rating count.
    static constexpr int CountPanel = 5;

    // Reads the ratings file at start-up (sorted by the list's state, which saves it); a
    // damaged file is told to the user. Until it succeeded a sort request (the restored column
    // layout) only records the sort state: sorting the still empty array would save it over
    // the file. A read error passes on.
    void Load();
    // Item count, repaint and the status panel, from the array as it is.
    void Repaint();
    bool HasRatings() const { return !FRatings.FRatings.empty(); }
    bool HasSelection() const;
    // Selected rows, ascending.
    QList<int> SelectedRows() const;

    // The option RatingsEffMode as the list shows it.
    int EffMode() const;
    // Writes the option at once and shows the efficiency columns anew.
    void SetEffMode(int mode);
    // Rebuilds the ratings from the stakes (asking first when ratings exist); an error is shown
    // and keeps the ratings as they were.
    void RefreshFrom(const TCheckedStakeSource& stakes);
    // Asks for a CSV file name and writes the export there; an error is shown.
    void ExportCsv(QWidget* owner);

private:
    void SetupList();
    void Sort(int column, bool descending);

    TMainState& FState;
    TRatings& FRatings;
    TRSortListView* FList;
    TStatusBar* FStatusBar;
    bool FLoaded = false;
};
