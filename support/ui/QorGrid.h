#pragma once

#include <QString>
#include <QTableView>

#include <functional>
#include <vector>

class TROwnerDrawDelegate;
class TROwnerDrawModel;

// The cells of a selection, in grid coordinates (fixed rows and columns counted).
struct TGridRect {
    int Left = -1;
    int Top = -1;
    int Right = -1;
    int Bottom = -1;

    bool operator==(const TGridRect&) const = default;
};

// The state a cell is drawn in.
struct TGridDrawState {
    bool Selected = false;
    bool Focused = false;
};

// A grid that keeps no texts: every cell asks its owner for its text when it is shown, and an
// edited text is handed back to the owner. Coordinates are the grid's own: with one fixed row
// (the column headers) the first data row is row 1, and the header texts are asked for row 0;
// likewise for one fixed column. At most one fixed row and one fixed column are supported.
class TROwnerDrawGrid : public QTableView {
    Q_OBJECT

public:
    using TGetTextEvent = std::function<void(TROwnerDrawGrid* sender, int col, int row, QString& value)>;
    using TSetTextEvent = std::function<void(TROwnerDrawGrid* sender, int col, int row, const QString& value)>;
    using TDrawCellEvent = std::function<void(TROwnerDrawGrid* sender, int col, int row, QPainter* painter,
                                              const QRect& rect, TGridDrawState state)>;

    explicit TROwnerDrawGrid(QWidget* parent = nullptr);
    ~TROwnerDrawGrid() override;

    int RowCount() const { return FRowCount; }
    void SetRowCount(int count);
    int ColCount() const { return FColCount; }
    void SetColCount(int count);
    int FixedRows() const { return FFixedRows; }
    void SetFixedRows(int count);   // 0 or 1
    int FixedCols() const { return FFixedCols; }
    void SetFixedCols(int count);   // 0 or 1

    // Width of a grid column (the fixed column is the row header). A data column is at least
    // as wide as its header text needs, also after the header text or the font changed, unless
    // the user has resized it since or its header keeps fixed sizes.
    int ColWidth(int col) const;
    void SetColWidth(int col, int width);
    // Exactly this width (a stored layout, the user's choice): the header rule leaves the
    // column alone from then on.
    void SetExactColWidth(int col, int width);
    // The width the header of a data column needs to show its text whole; 0 without a header.
    int HeaderTextWidth(int col) const;
    // Widens the columns to their header texts again (the owner's header texts changed).
    void FitColumnsToHeaders();

    bool DefaultDrawing() const { return FDefaultDrawing; }
    void SetDefaultDrawing(bool value);
    // Cells may be edited in place (double click, F2 or typing).
    bool Editing() const { return FEditing; }
    void SetEditing(bool editing);
    // Whole rows are selected; with range select several rows or cells at once.
    void SetRowSelect(bool rowSelect);
    void SetRangeSelect(bool rangeSelect);

    // The current cell, in grid coordinates (-1 when there is none).
    int Col() const;
    int Row() const;
    void SetCurrentCell(int col, int row);
    // The bounding range of the selected cells, or the current cell when nothing is selected.
    TGridRect Selection() const;

    // The text of a cell: empty, then whatever OnGetCellText makes of it.
    QString GetCellText(int col, int row) const;
    // Hands the text to OnSetCellText and repaints the cell; when it is the current cell and
    // the text does not come from its own editor, an open editor shows the new text.
    void SetCellText(int col, int row, const QString& value);
    // The text an editor starts with: GetCellText, then OnGetEditText.
    QString GetEditText(int col, int row) const;
    // An edited text: written back with SetCellText only when it differs, then OnSetEditText.
    void SetEditText(int col, int row, const QString& value);

    // Repaints one cell, or every cell (the owner's data changed).
    void InvalidateCell(int col, int row);
    void InvalidateGrid();

    TGetTextEvent OnGetCellText;
    TSetTextEvent OnSetCellText;
    TGetTextEvent OnGetEditText;
    TSetTextEvent OnSetEditText;
    // Called after the default drawing of a data cell (the fixed row and column are headers).
    TDrawCellEvent OnDrawCell;

protected:
    void changeEvent(QEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    friend class TROwnerDrawModel;
    friend class TROwnerDrawDelegate;

    void ApplyHeaders();
    void ApplyColWidth(int col, int width, bool fitToHeader);

    TROwnerDrawModel* FModel = nullptr;
    TROwnerDrawDelegate* FDelegate = nullptr;
    int FRowCount = 5;
    int FColCount = 5;
    int FFixedRows = 1;
    int FFixedCols = 1;
    bool FDefaultDrawing = true;
    bool FEditing = false;
    int FEditUpdate = 0;
    // Per data column: the width the owner gave and the width the header rule made of it
    // (-1 where the owner gave none).
    std::vector<int> FGivenWidths;
    std::vector<int> FFittedWidths;
};
