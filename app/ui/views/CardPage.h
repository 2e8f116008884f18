#pragma once

#include "app/core/views/CardView.h"
#include "support/ui/QorGrid.h"

#include <QWidget>

class QPainter;
class QRect;
class TCombListOps;
class TMainState;
class TStatFilter;

// The card page (tsCard): the grid sgCard shows the archive one draw a row, newest first, and
// one column per digit. The grid holds no texts: every cell asks the card for its text and
// colour when it is painted, so 10 000 draws scroll as fast as ten. The selected cells give
// the digits of the card's pair of filters.
class TCardPage : public QWidget {
    Q_OBJECT

public:
    TCardPage(TMainState& state, TCombListOps& combs, TStatFilter& filter, QWidget* parent = nullptr);
    ~TCardPage() override;

    // The page's caption, also the caption of its filters in the applied-filters list.
    static QString Caption();

    // Takes the archive afresh when forced or when it changed since the last time (count and
    // every draw's number and digits). Nothing while the page is out of sight (a forced refresh
    // it missed makes its next refresh run whatever the key).
    void RefreshView(bool force);

    // The filters need combinations in the list and a selection within the digit columns.
    bool CanFilter() const;
    // Takes the undo copy, gathers the selected digits and keeps (deleteSelected off) or
    // removes the combinations that hold one of them. An empty selection raises "В выделенном
    // диапазоне нет значений для фильтра!" with the list as it was.
    void FilterCombs(bool deleteSelected);

    // The card keeps no sizes of its own between runs: the number column follows the draw list.
    void SaveState() {}
    void RestoreState() {}

    // Column 0 is as wide as the first column of the draw list.
    void SetNumberColumnWidth(int width);
    // Paints the grid again, after a colour option or the channel size changed.
    void Repaint();

    TROwnerDrawGrid* Grid() const { return FGrid; }
    const TCardView& View() const { return FView; }
    // The bounding rectangle of the selected cells in grid coordinates (the current cell when
    // nothing is selected; Left -1 when there is none).
    TGridRect SelectedRect() const;

    static constexpr int DefaultColWidth = 18;
    static constexpr int DefaultRowHeight = 18;
    static constexpr int DefaultNumberWidth = 54;

private:
    void DrawCell(int col, int row, QPainter* painter, const QRect& rect, const TGridDrawState& state);
    TCardColoring Coloring() const;

    TMainState& FState;
    TCombListOps& FCombs;
    TStatFilter& FFilter;
    TROwnerDrawGrid* FGrid = nullptr;
    TCardView FView;
};
