#pragma once

#include "support/ui/rExpXlsParam.h"

#include <QDateTime>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <memory>
#include <vector>

class QTableWidget;
class TRListView;
class TROwnerDrawGrid;

// Export of a table that the program shows to a new workbook. The three export operations show
// the export dialog and, on OK, write the table through the spreadsheet layer. What is written
// (rows, columns, title lines, caption row, data) is worked out by BuildExportPlan apart from
// the dialog, so that an export can run without one.

// A table as the export reads it. Column and row numbers are the table's own: a list view's
// items from 0, a grid's rows from 1 (its row 0 holds the captions).
class TExpXlsSource {
public:
    virtual ~TExpXlsSource() = default;

    // The names that key the table's settings section: the window's and the table's.
    virtual QString FormName() const = 0;
    virtual QString TableName() const = 0;

    virtual int ColumnCount() const = 0;
    virtual QString ColumnCaption(int column) const = 0;
    virtual int ColumnWidth(int column) const = 0;       // pixels
    virtual int ColumnAlignment(int column) const = 0;   // alignment code

    // Rows shown; rows selected (at least 1) and whether the selection is the one to offer.
    virtual int ShownCount() const = 0;
    virtual int SelectedCount() const = 0;
    virtual bool SelectionOffered() const = 0;
    // The rows to export: all shown rows, or the selected ones; -1 stands for a row that is
    // written empty (selected rows asked of a table where none is selected).
    virtual std::vector<int> ExportRows(bool selectedOnly) const = 0;
    virtual QString CellText(int column, int row) const = 0;
};

std::unique_ptr<TExpXlsSource> ListViewSource(const TRListView* view);
std::unique_ptr<TExpXlsSource> StringGridSource(const QTableWidget* grid);
std::unique_ptr<TExpXlsSource> OwnerDrawGridSource(const TROwnerDrawGrid* grid);

// The column list of a table as it is first built: every column in table order, checked, with
// its caption, alignment and width.
std::vector<TExpXlsColumn> ExpXlsColumnsOf(const TExpXlsSource& source);

// Everything an export asks for besides the table.
struct TExpXlsRequest {
    QString Header;              // a line above the title; empty: none
    TExpXlsParams Params;        // title, notes, sheet, orientation, font size, columns
    bool SelectedOnly = false;   // the selected rows rather than all shown rows
};

// Font styles of the spreadsheet layer: bold 1, italic 2, underline 4, strikethrough 8.
constexpr std::uint8_t kExpStyleBold = 1;
constexpr std::uint8_t kExpStyleItalic = 2;

struct TExpXlsTitleLine {
    int Row = 0;                 // 1-based sheet row
    QString Text;
    int FontSize = 0;
    std::uint8_t Style = 0;
};

struct TExpXlsColumnFormat {
    int Column = 0;              // 1-based sheet column
    int AlignCode = kExpAlignLeft;
    double Width = 10.0;         // character units
};

// A workbook sheet ready to be written.
struct TExpXlsPlan {
    QString SheetName;
    int Orientation = 0;
    int BaseFontSize = 8;
    int ListCount = 0;           // rows of the column list, checked or not
    int CaptionRow = 0;          // rows below it hold the data
    std::vector<TExpXlsColumnFormat> Formats;
    std::vector<TExpXlsTitleLine> Titles;
    QStringList Captions;
    std::vector<QStringList> Data;

    int ColumnCount() const { return static_cast<int>(Captions.size()); }
    int RowCount() const { return static_cast<int>(Data.size()); }
};

// "Отчет построен: %s." with the moment in the locale's short date and long time.
QString ExpXlsCreatedLine(const QDateTime& moment);

// Rows: a header line in row 1 (then one row left empty), the title, the notes when not blank,
// the creation line when asked for, one empty row, the caption row, the data.
TExpXlsPlan BuildExportPlan(const TExpXlsSource& source, const TExpXlsRequest& request, const QDateTime& now);

// Writes the plan into a new workbook, with the progress window showing the steps, and leaves
// the workbook to the spreadsheet program. Every failure is shown in an error box, and the
// workbook of a failed export is not kept; true when the sheet was written.
bool WriteExportPlan(const TExpXlsPlan& plan);

// The export without a dialog: the plan of the table with the clock's time, then the workbook.
bool ExportTableToExcel(const TExpXlsSource& source, const TExpXlsRequest& request);

// The export commands: the dialog with the given title, sheet name, header line, notes and
// orientation (0 not set, 1 portrait, 2 landscape) and, with useSettings, the table's saved
// settings; on OK the table goes to a new workbook. False when the dialog was cancelled or the
// export failed.
bool ExportListViewToExcel(TRListView* view, const QString& title, const QString& sheetName,
                           const QString& header, const QString& notes, int orientation, bool useSettings);
bool ExportStringGridToExcel(QTableWidget* grid, const QString& title, const QString& sheetName,
                             const QString& header, const QString& notes, int orientation, bool useSettings);
bool ExportOwnerDrawGridToExcel(TROwnerDrawGrid* grid, const QString& title, const QString& sheetName,
                                const QString& header, const QString& notes, int orientation,
                                bool useSettings);
