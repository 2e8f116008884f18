#pragma once

#include <QList>
#include <QMargins>
#include <QObject>
#include <QRect>
#include <QSize>
#include <QString>

#include <functional>

class QEvent;
class QTableView;
class QWidget;
class TRListView;
class TROwnerDrawGrid;

// Window state kept between runs in the form-state file "<program>.frm" beside the program:
// placements, column layouts and any flag or number a window wants to keep. Every call reads
// the file afresh and a call that changes something writes it back before it returns, unless
// a TFormStorageBatch gathers the changes (below).
// A file that cannot be read is told once (a warning box) and read as empty, so every window
// takes its defaults; nothing ever replaces what nobody could read. A change to it raises, in
// the words of a write, until the user has been told; after that single changes are dropped
// without a word, and a batch (the save at shut-down) still raises.
//
// Each window has its own section, named after its class ("TFormMain"); an MDI child's section
// ends in ".MDIChildren". Column keys are named after the list or grid's objectName.

// The screen the placement is saved for: its size in pixels and its logical pixels per inch;
// and where windows may be placed: the part of each screen that panels leave free, the primary
// screen's first (empty: asked of the screens themselves).
struct TScreenMetrics {
    int Width = 0;
    int Height = 0;
    int PixelsPerInch = 96;
    QList<QRect> WorkAreas;
};
// The primary screen, unless a test installed its own answer.
TScreenMetrics CurrentScreenMetrics();
using TScreenMetricsProc = std::function<TScreenMetrics()>;
// Installs the source of the screen metrics (an empty one: the primary screen again). Returns
// the one installed before.
TScreenMetricsProc SetScreenMetricsProc(TScreenMetricsProc proc);

QString FormStorageSection(const QWidget* form);

// While one lives, the changes of the form-state file are made to one copy of it in memory, and
// reads see them there; Save writes the file once, atomically. A window that keeps many values
// at once (the main window at shut-down) so rewrites the file once instead of once a value, and
// the file never holds half of them. One batch at a time: opening a second while one is open is
// a programming error. Without Save the changes are dropped. A batch serves only the file it was
// opened for.
class TFormStorageBatch {
public:
    // Reads the file; one that exists but cannot be read raises Exception saying it could not
    // be written: what nobody could read is never replaced.
    TFormStorageBatch();
    ~TFormStorageBatch();
    TFormStorageBatch(const TFormStorageBatch&) = delete;
    TFormStorageBatch& operator=(const TFormStorageBatch&) = delete;

    // Writes the gathered state; raises Exception on failure, the file then left as it was.
    void Save();
};

void WriteFormBool(const QWidget* form, const QString& key, bool value);
void WriteFormInteger(const QWidget* form, const QString& key, int value);
// The stored value; the default when the key is missing, holds no integer, or one beyond any
// window's size (QWIDGETSIZE_MAX either way): such a number is damage, and the windows add
// to what they read.
bool ReadFormBool(const QWidget* form, const QString& key, bool defaultValue);
int ReadFormInteger(const QWidget* form, const QString& key, int defaultValue);
// The same for a value that is no size (a number of draws may be anything up to INT_MAX): the
// default unless the stored value lies within low..high.
int ReadFormInteger(const QWidget* form, const QString& key, int defaultValue, int low, int high);

// Writes Flags, ShowCmd (1 normal, 2 minimised, 3 maximised), PixelsPerInch, and MinMaxPos and
// NormPos, each both plain and for the current screen size ("NormPos_1920x1080"). NormPos holds
// the normal (not maximised) placement: left and top of the window's frame, right and bottom as
// left and top plus the size of the window's client area.
void SaveFormPlacement(const QWidget* form);
// Applies a stored placement. The position (NormPos for this screen size, else the plain one)
// counts only when it was saved at the same pixels per inch; a window of fixed size keeps its
// size and takes only the position. A window comes back whole on one screen's work area, its
// size cut to that area: a placement saved for another arrangement of screens, past an edge
// or damaged never leaves the title bar out of reach. A window with no position to take (none
// stored, or at other pixels per inch) keeps its own size and place when it fits the work area,
// else it is cut to the area and centred on it. The state comes from ShowCmd. A hidden window
// stays hidden.
void RestoreFormPlacement(QWidget* form, bool restoreState, bool restorePosition);
// Where a top-level window whose frame margins are frame goes when asked for wanted (top-left of
// the frame, size of the client area): on the work area holding most of it (none: the first),
// wholly inside it and no larger than it. A window larger than the area even at its least size
// keeps its top-left corner, and so its title bar, on the area.
QRect PlaceOnWorkArea(const QRect& wanted, const QMargins& frame, const QSize& minimumSize,
                      const QList<QRect>& workAreas);

// Column widths ("<name>.Column<n>"), of every column of the grid. A restored width of an
// owner-data grid is exact (not widened to its header text); a width that is missing, no
// number, negative or beyond what a header section can take leaves the column as it is.
void SaveGridLayout(const QWidget* form, const TROwnerDrawGrid* grid);
void RestoreGridLayout(const QWidget* form, TROwnerDrawGrid* grid);
void SaveGridLayout(const QWidget* form, const QTableView* grid);
void RestoreGridLayout(const QWidget* form, QTableView* grid);

// Column widths; with withFlags also GridLines and MultiSelect; for a TRSortListView also
// SortType ("<column>,<direction>"). A stored sort column that the list does not have, a
// direction that is neither 0 nor 1 and a width that is negative or beyond QWIDGETSIZE_MAX are
// passed over: the list keeps what it has.
void SaveListViewLayout(const QWidget* form, const TRListView* view, bool withFlags);
void RestoreListViewLayout(const QWidget* form, TRListView* view, bool withFlags);

// The height a pane of a splitter keeps between runs: the height it has in sight, or had when it
// was last in sight; before it ever was, the height it was placed at (0: none). A pane out of
// sight (on another page, switched off) is not laid out, and its height then tells nothing of
// what the user left. The object belongs to the pane.
class TKeptPaneHeight : public QObject {
public:
    explicit TKeptPaneHeight(QWidget* pane);

    int Height() const;
    void SetPlaced(int height) { FHeight = height; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* FPane;
    int FHeight = 0;
};
