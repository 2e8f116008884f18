#pragma once

#include "app/core/stakes/StakeRows.h"

#include <QObject>

class QPainter;
class QRect;
class TROwnerDrawGrid;
class TStakesFile;
class TStatusBar;
struct TGridDrawState;

// The stakes page: sgStakes shows the stakes file as an owner-data grid. No record is held:
// every row is read from the file when it is painted (the file's one-record cache makes a
// repaint cheap). A record that cannot be read shows as an empty row.
class TStakesPage : public QObject {
    Q_OBJECT

public:
    TStakesPage(TStakesFile& stakes, TROwnerDrawGrid* grid, TStatusBar* statusBar, QObject* parent);
    ~TStakesPage() override;

    // The status panel of the stake count.
    static constexpr int CountPanel = 4;

    // The view of grid row `row` (row 1 is record 0); empty for the header, a row past the
    // file and a record that cannot be read. The file's position is left as it was.
    TStakeRowView RowView(int row) const;

    // Follows the file: with resize or scroll the row count becomes the record count plus one
    // (and the count panel is written); with scroll the last record becomes the current row;
    // with resize and an unchanged row count a showing grid repaints. Without stakes the grid
    // has one empty row.
    void Refresh(bool resize, bool scroll);

private:
    void DrawCell(int col, int row, QPainter* painter, const QRect& rect, const TGridDrawState& state);

    TStakesFile& FStakes;
    TROwnerDrawGrid* FGrid;
    TStatusBar* FStatusBar;
};
