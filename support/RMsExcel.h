#pragma once

#include "platform/Exceptions.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

// ---------------------------------------------------------------------------------------------
// The program's one way to hand a table to a spreadsheet program.
//
// The operations keep the calls of a spreadsheet automation session: connect, create a
// workbook, find or add a sheet, format columns, write cells and ranges, disconnect. They build
// an in-memory workbook (sheets; cells with values and formats; column widths and formats; page
// orientation). DisconnectExcel writes every workbook of the session as an .xlsx file with a
// unique name under the system's temporary folder (never over an existing file) and opens it
// with the desktop's default program through OpenDocument (support/RSysUtils.h; a test installs
// an open handler to capture the path instead).
//
// Values: a text put into a cell is kept as a string, except a plain decimal number ("12",
// "-3", "0,55", "2.5"; no leading zero before another digit, at most 15 digits) which becomes a
// number, as a spreadsheet reads typed text. A text never becomes a formula: "=A1" is the
// string "=A1". A cell whose number format is "@" keeps every text as a string.
//
// The session's objects (application, workbooks, sheets) belong to the session: pointers to
// them are valid until DisconnectExcel (or the next ConnectExcel, which disconnects first).
//
// Operations that can fail on the spreadsheet's side (ConnectExcel, NewWorkbook/CreateWorkbook,
// GetEmptyOrNewSheet, OpenSheet, SetPageOrientation, DisconnectExcel) catch the failure, keep its
// text for ExcelLastError, hand it to the report handler and return an empty result. The writing
// operations (FormatColumn, SetRangeBorders, WriteCell, WriteRange, WriteRangeValues) raise
// EExcelError to their caller.
// ---------------------------------------------------------------------------------------------

// A value or call that the spreadsheet refuses: an index outside the sheet, a sheet name that is
// empty, too long, holds a forbidden character or is taken, an unknown alignment, orientation or
// border weight, a negative width, a font size outside 1..409, no sheet.
class EExcelError : public Exception {
public:
    using Exception::Exception;
};

// Horizontal and vertical alignment values of the spreadsheet's object model.
constexpr int xlHAlignGeneral = 1;
constexpr int xlLeft = -4131;
constexpr int xlRight = -4152;
constexpr int xlCenter = -4108;   // horizontal and vertical centre
constexpr int xlTop = -4160;
constexpr int xlBottom = -4107;

// Page orientation.
constexpr int xlPortrait = 1;
constexpr int xlLandscape = 2;

// Border weights: hairline, thin, medium (3 or the object model's -4138), thick.
constexpr int xlHairline = 1;
constexpr int xlThin = 2;
constexpr int xlMediumWeight = 3;
constexpr int xlMedium = -4138;
constexpr int xlThick = 4;

// Font style set, a bit mask of one byte.
using TFontStyles = std::uint8_t;
constexpr TFontStyles fsBold = 1;
constexpr TFontStyles fsItalic = 2;
constexpr TFontStyles fsUnderline = 4;
constexpr TFontStyles fsStrikeOut = 8;

// Limits of a sheet.
constexpr int kExcelMaxRows = 1048576;
constexpr int kExcelMaxColumns = 16384;
// Longest text a cell holds; a longer one is cut.
constexpr int kExcelMaxTextLength = 32767;
// Longest sheet name.
constexpr int kExcelMaxSheetName = 31;

// A value put into a range: one text for every cell, or rows of texts laid over the range from
// its top-left cell (a cell of the range beyond the rows is emptied; texts beyond the range are
// not written).
using TExcelArray = QList<QStringList>;

class TExcelValue {
public:
    TExcelValue(const QString& text) : FText(text) {}
    TExcelValue(const TExcelArray& rows) : FRows(rows), FIsArray(true) {}

    bool IsArray() const { return FIsArray; }
    const QString& Text() const { return FText; }
    const TExcelArray& Rows() const { return FRows; }

private:
    QString FText;
    TExcelArray FRows;
    bool FIsArray = false;
};

// Format properties of a cell or a column; an unset property is taken from the column, and then
// from the workbook's defaults.
struct TExcelFormat {
    std::optional<int> FontSize;
    std::optional<TFontStyles> FontStyles;
    std::optional<int> BorderWeight;          // all four edges of the cell
    std::optional<int> HorizontalAlignment;
    std::optional<int> VerticalAlignment;
    std::optional<bool> WrapText;
    std::optional<QString> NumberFormat;      // empty: the general format

    // This format with every property that `over` sets taken from `over`.
    TExcelFormat MergedWith(const TExcelFormat& over) const;
    bool operator==(const TExcelFormat&) const = default;
};

struct TExcelCell {
    enum class TKind { Empty, Number, Text };
    TKind Kind = TKind::Empty;
    double Number = 0.0;
    QString Text;
    TExcelFormat Format;

    // The text the cell shows: empty, the number (shortest form, '.' as separator) or the text.
    QString DisplayText() const;
};

struct TExcelColumn {
    std::optional<double> Width;              // in characters
    TExcelFormat Format;
};

class TExcelSheet;

// Cells of one sheet: a rectangle (1-based, corners included) or whole columns. An empty
// rectangle (last row before first row or last column before first column) writes nothing.
class TExcelRange {
public:
    TExcelRange() = default;
    TExcelRange(TExcelSheet* sheet, int firstRow, int lastRow, int firstColumn, int lastColumn,
                bool wholeColumns = false);

    TExcelSheet* Sheet() const { return FSheet; }
    int FirstRow() const { return FFirstRow; }
    int LastRow() const { return FLastRow; }
    int FirstColumn() const { return FFirstColumn; }
    int LastColumn() const { return FLastColumn; }
    bool WholeColumns() const { return FWholeColumns; }
    bool IsEmpty() const { return FLastRow < FFirstRow || FLastColumn < FFirstColumn; }

    // Property puts; on whole columns the format goes to the columns and to their cells.
    void SetValue(const TExcelValue& value) const;
    void SetFontSize(int size) const;
    void SetFontStyles(TFontStyles styles) const;
    void SetBorderWeight(int weight) const;
    void SetHorizontalAlignment(int alignment) const;
    void SetVerticalAlignment(int alignment) const;
    void SetWrapText(bool wrap) const;
    void SetNumberFormat(const QString& format) const;
    // Width of the range's columns, in characters (0..255).
    void SetColumnWidth(double width) const;

private:
    TExcelSheet& CheckedSheet() const;
    template <typename F> void ForEachFormat(F&& apply) const;

    TExcelSheet* FSheet = nullptr;
    int FFirstRow = 1;
    int FLastRow = 0;
    int FFirstColumn = 1;
    int FLastColumn = 0;
    bool FWholeColumns = false;
};

class TExcelSheet {
public:
    explicit TExcelSheet(const QString& name) : FName(name) {}

    const QString& Name() const { return FName; }
    // 0: not set (the printer's default), xlPortrait or xlLandscape.
    int Orientation() const { return FOrientation; }
    void SetOrientation(int orientation);   // raises for anything but 1 and 2

    TExcelRange Cells(int row, int column);
    // Range(Cells(firstRow, firstColumn), Cells(lastRow, lastColumn)), arguments in the order
    // of WriteRange.
    TExcelRange Range(int firstRow, int lastRow, int firstColumn, int lastColumn);
    TExcelRange Columns(int column);

    // The stored cell, or nullptr.
    const TExcelCell* Cell(int row, int column) const;
    const TExcelColumn* Column(int column) const;
    // Cells in row order, then column order; keys are (row, column).
    const std::map<std::pair<int, int>, TExcelCell>& CellMap() const { return FCells; }
    const std::map<int, TExcelColumn>& ColumnMap() const { return FColumns; }

    // The smallest rectangle holding every stored cell (a value or a format of its own), as
    // (first row, first column, last row, last column); (1, 1, 1, 1) for a sheet without any.
    struct TUsedRange {
        int FirstRow = 1;
        int FirstColumn = 1;
        int LastRow = 1;
        int LastColumn = 1;
    };
    TUsedRange UsedRange() const;

private:
    friend class TExcelRange;
    friend class TExcelWorkbook;

    TExcelCell& CellAt(int row, int column);
    TExcelColumn& ColumnAt(int column);

    QString FName;
    int FOrientation = 0;
    std::map<std::pair<int, int>, TExcelCell> FCells;
    std::map<int, TExcelColumn> FColumns;
};

class TExcelWorkbook {
public:
    // fileName: the reserved file the workbook is written to.
    explicit TExcelWorkbook(const QString& fileName);

    const QString& FileName() const { return FFileName; }
    int SheetCount() const { return static_cast<int>(FSheets.size()); }
    // Sheet 1..SheetCount; raises for another index.
    TExcelSheet* Sheet(int index) const;
    // Adds a sheet named "ЛистN" (the next free N) after `after`, or first when `after` is null.
    TExcelSheet* AddSheet(TExcelSheet* after = nullptr);
    // Renames a sheet; raises when the name is empty, longer than 31 characters, holds one of
    // : \ / ? * [ ], begins or ends with an apostrophe, or is another sheet's name (letter case
    // ignored).
    void RenameSheet(TExcelSheet* sheet, const QString& name);
    // Whether the sheet is one of this workbook's.
    bool Holds(const TExcelSheet* sheet) const;

    // Writes the .xlsx file; raises EExcelError with the writer's reason.
    void SaveAs(const QString& fileName, const QString& tempFolder) const;

private:
    QString FFileName;
    std::vector<std::unique_ptr<TExcelSheet>> FSheets;
};

class TExcelApplication {
public:
    bool EnableEvents = true;
    bool Visible = false;

    // Adds a workbook with one empty sheet, under a newly reserved file name.
    TExcelWorkbook* AddWorkbook();
    const std::vector<std::unique_ptr<TExcelWorkbook>>& Workbooks() const { return FWorkbooks; }
    // The temporary folder checked at the start of the session.
    QString TempFolder;

private:
    std::vector<std::unique_ptr<TExcelWorkbook>> FWorkbooks;
};

// ---------------------------------------------------------------------------------------------
// Operations, in the order an export calls them:
// ConnectExcel → CreateWorkbook → OpenActiveWorkbookSheet → SetPageOrientation → FormatColumn per
// column → WriteCell per title line → WriteRange (caption row) → WriteRangeValues (data) →
// DisconnectExcel.

// Starts a session: disconnects a held one first; fails, with "Ошибка подключения к Microsoft
// Excel!", when the system's temporary folder is missing or refuses a new file (the reason names
// the folder tried).
bool ConnectExcel();
// Events on and the application visible, when connected.
void RestoreExcelEvents();
// RestoreExcelEvents, then writes every workbook of the session and opens it, and ends the
// session. False (with ExcelLastError) when a workbook could not be written or opened; the
// session ends in any case. True when nothing was held. A workbook that was written but that
// no program opened stays where it was written, and the error (SavedButNotOpenedText) names
// it and the opener's reason in one sentence.
bool DisconnectExcel();
// Ends the session without writing or opening its workbooks, whose reserved files are removed:
// for a workbook that failed half-way and must not be left behind.
void DiscardExcel();
// A new workbook of the session (connecting first when not connected); nullptr on failure,
// reported with "Ошибка создания книги Microsoft Excel!".
TExcelWorkbook* NewWorkbook();
// NewWorkbook into the held workbook reference; true when one is held.
bool CreateWorkbook();

// The session's application and held workbook, or nullptr.
TExcelApplication* ExcelApplication();
TExcelWorkbook* ActiveWorkbook();

// True for no sheet, or when the used range is one cell whose text is empty.
bool IsSheetEmpty(const TExcelSheet* sheet);
// Deletes " ' *; turns / and \ into -, [ into (, ] into ); deletes ? and :; keeps the first 31
// characters; trims blanks at both ends. "History", which a workbook keeps for itself, is empty.
QString ValidSheetName(const QString& name);
// The first empty sheet of the workbook, else a new sheet after the last; named
// ValidSheetName(name) when that is not empty. nullptr on failure, reported with
// "Ошибка создания листа Microsoft Excel!".
TExcelSheet* GetEmptyOrNewSheet(TExcelWorkbook* workbook, const QString& name);
// Sheet `index` (1-based) named ValidSheetName(name) when that is not empty; when there is no
// such sheet or the name is refused, GetEmptyOrNewSheet. nullptr on failure, reported with
// "Ошибка открытия (создания) листа #%d!".
TExcelSheet* OpenSheet(TExcelWorkbook* workbook, int index, const QString& name);
// OpenSheet on the held workbook.
TExcelSheet* OpenActiveWorkbookSheet(int index, const QString& name);
// Orientation 1 portrait, 2 landscape; a failure is reported with "Ошибка установки
// ориентации страницы Microsoft Excel!" (to the report handler with `suppressed` set when
// suppressChannels) and swallowed.
void SetPageOrientation(TExcelSheet* sheet, int orientation, bool suppressChannels);
// Alignment code of the program (0 left, 1 right, 2 centre) → xlRight for 1, xlCenter for 2,
// xlLeft for anything else.
int AlignmentToExcel(int alignment);

// Column format: width (255 for 255.0 or more), font size, both alignments and the number format
// (always put, also when empty).
void FormatColumn(const TExcelRange& column, int horizontalAlignment, int verticalAlignment,
                  double width, int fontSize, const QString& numberFormat);
// Continuous borders of the given weight in the automatic colour around every cell of the range.
void SetRangeBorders(const TExcelRange& range, int weight);
// One cell: the number format only when not empty, the text, font size, the four style flags,
// borders only when weight > 0, both alignments and the wrap flag.
void WriteCell(const TExcelRange& cell, const QString& text, int fontSize, TFontStyles styles,
               int borderWeight, int horizontalAlignment, int verticalAlignment, bool wrapText,
               const QString& numberFormat);
// Range(Cells(firstRow, firstColumn), Cells(lastRow, lastColumn)): the value, font size, the four
// style flags, borders when weight > 0, both alignments and the wrap flag.
void WriteRange(TExcelSheet* sheet, int firstRow, int lastRow, int firstColumn, int lastColumn,
                const TExcelValue& value, int fontSize, TFontStyles styles, int borderWeight,
                int horizontalAlignment, int verticalAlignment, bool wrapText);
// The same range: the value, and borders when weight > 0.
void WriteRangeValues(TExcelSheet* sheet, int firstRow, int lastRow, int firstColumn,
                      int lastColumn, const TExcelValue& value, int borderWeight);

// ---------------------------------------------------------------------------------------------
// Failures caught by the operations.

// Text of the last caught failure: the operation's message, a line break and the reason
// ("Ошибка подключения к Microsoft Excel!\n..."). ConnectExcel empties it first.
QString ExcelLastError();

// Receives every caught failure with the operation's message; `suppressed` is set for an
// orientation failure asked to suppress the channels. The window layer routes it to the
// exception channels. Returns the handler installed before; an empty handler drops reports.
using TExcelReportHandler =
    std::function<void(const std::exception& error, const QString& text, bool suppressed)>;
TExcelReportHandler SetExcelReportHandler(TExcelReportHandler handler);
