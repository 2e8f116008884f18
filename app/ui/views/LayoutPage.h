#pragma once

#include "app/core/views/LayoutView.h"

#include <QWidget>

#include <array>
#include <functional>

class QHBoxLayout;
class QPainter;
class QRect;
class QSpinBox;
class QSplitter;
class TCombListOps;
class TLowerPane;
class TMainState;
class TROwnerDrawGrid;
class TRSortListView;
class TStatFilter;
struct TGridDrawState;

// The layout page: sgLayout lays the digits of a window out by hit count (rows) and newest
// draw (columns); below it five compare lists group the digits of five other windows by hit
// count. The grid keeps no texts and works out each cell's colour when it is painted.
//
// The page follows the option TabLayout: while the tab is hidden nothing is computed. The
// window registers RefreshView with the views and adds the tab and the commands.
class TLayoutPage : public QWidget {
    Q_OBJECT

public:
    TLayoutPage(TMainState& state, TCombListOps& combs, TStatFilter& filter, QWidget* parent);
    ~TLayoutPage() override;

    // The tab's caption; also the caption of its filters in the applied-filters list.
    static QString Caption();

    static constexpr int DefaultLength = 100;
    static constexpr std::array<int, LayoutCompareCount> DefaultCompareLengths{50, 100, 200, 300, 400};
    static constexpr int DefaultCompareHeight = 180;

    // The view's place in RefreshViews: the grid, then the compare lists, each only when its
    // key changed (or force); nothing while the page is out of sight (a forced refresh it
    // missed makes its next refresh run whatever the keys).
    void RefreshView(bool force);
    // The grid over the edLayoutLen window (LayoutCalc: force).
    void BuildLayout(bool force);
    // The five compare lists; their key holds the archive and the offset, not their lengths,
    // so a changed length waits for Enter or a forced refresh (LayoutCmpCalc: force).
    void RefreshLayoutCompare(bool force);

    bool TabVisible() const;
    // LayoutCalc and LayoutCmpCalc: the tab is visible and the archive is not empty.
    bool CanCalc() const;
    // The filter pair: the list is not empty, the tab is visible, and the grid's selected
    // rectangle lies within the data columns 1 to 10.
    bool CanFilter() const;
    // Copies the list into the undo copy, then keeps (or with deleteSelected removes) the
    // combinations holding a digit of the selected cells. An empty selection raises.
    void FilterCombs(bool deleteSelected);
    // The digits of the selected cells with their texts.
    TFilterSelection Selection() const;
    // The export of the grid needs more than the two empty columns.
    bool CanExport() const;

    // The lengths and the compare panel's height in the main window's form state. The panel
    // takes what the page has beyond the grid's rows.
    void SaveState();
    void RestoreState();

    // The colouring option changed: repaint with the new colours.
    void UpdateColors();

    // Rows where the window adds its command buttons: beside edLayoutLen and above the
    // compare lists.
    QHBoxLayout* LayoutTools() const { return FLayoutTools; }
    QHBoxLayout* CompareTools() const { return FCompareTools; }

    TROwnerDrawGrid* Grid() const { return FGrid; }
    QSpinBox* LengthEdit() const { return FLength; }
    QSpinBox* CompareLengthEdit(int k) const { return FCompareLengths.at(static_cast<size_t>(k)); }
    TRSortListView* CompareList(int k) const { return FCompareLists.at(static_cast<size_t>(k)); }
    QWidget* ComparePanel() const { return FComparePanel; }
    int CompareHeight() const;
    const TLayoutView& View() const { return FView; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void BuildControls();
    void ShowGrid();
    void ShowCompareList(int k);
    void DrawCell(int col, int row, QPainter* painter, const QRect& rect, const TGridDrawState& state);
    void ArrangeCompareLists();
    void OnEnter(const std::function<void()>& action);

    TMainState& FState;
    TCombListOps& FCombs;
    TStatFilter& FFilter;
    TLayoutView FView;

    QHBoxLayout* FLayoutTools = nullptr;
    QHBoxLayout* FCompareTools = nullptr;
    QSpinBox* FLength = nullptr;             // edLayoutLen
    QSplitter* FSplitter = nullptr;          // the grid over the compare panel
    TROwnerDrawGrid* FGrid = nullptr;        // sgLayout
    QWidget* FComparePanel = nullptr;        // pnlLayoutCompare
    TLowerPane* FComparePane = nullptr;      // its height in the splitter
    QSplitter* FLists = nullptr;             // pnlLayoutLists
    std::array<QSpinBox*, LayoutCompareCount> FCompareLengths{};      // edLayoutCmp1..5
    std::array<TRSortListView*, LayoutCompareCount> FCompareLists{};  // lvLayoutCmp1..5
};
