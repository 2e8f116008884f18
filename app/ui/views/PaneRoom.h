#pragma once

#include <QObject>

class QSplitter;
class QTableView;

// How the pages with a grid over a chart or over lists share their height: the grid never takes
// more than its rows need, and the pane under it takes the rest of the page.

// The height that shows every row of the grid: its column headers, its rows, its frame, and
// the horizontal scroll bar while the columns are wider than the grid.
int GridRowsHeight(const QTableView* grid);

// Keeps the grid's maximum height at GridRowsHeight as its rows, fonts and scroll bar change.
// In a splitter the room the grid cannot use goes to the other pane.
void KeepGridToItsRows(QTableView* grid);

// The lower pane of a vertical splitter of two, under a pane that caps its own height (a grid
// kept to its rows). The lower pane asks for a height, restored from the form-state file or
// dragged to by the user, and takes whatever the upper pane leaves: the upper pane gets its
// rows when the page has room for them and the lower pane's height, and less when it has not.
// The height asked for is what goes back to the file, never the squeezed size of a page that
// was not shown.
class TLowerPane : public QObject {
    Q_OBJECT

public:
    TLowerPane(QSplitter* splitter, int height);

    // The pane never gets less than its minimum, whatever height it asks for.
    void SetHeight(int height);
    int Height() const { return FHeight; }
    // Shares the splitter's height out again (done by itself on show, resize and a changed
    // maximum of the upper pane).
    void Arrange();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    int LowerMinimum() const;

    QSplitter* FSplitter;
    int FHeight = 0;
    bool FArranging = false;
};
