#include "support/ui/rExpXls.h"

#include "platform/DateTime.h"
#include "platform/DelphiText.h"
#include "platform/ResString.h"
#include "support/RDateUtils.h"
#include "support/RDialogs.h"
#include "support/RMsExcel.h"
#include "support/RVclUtils.h"
#include "support/ui/FormProgress.h"
#include "support/ui/QorGrid.h"
#include "support/ui/QorListView.h"
#include "support/ui/UnitExpExcel.h"

#include <QLocale>
#include <QTableWidget>

#include <algorithm>

namespace {

const TResString SCreatedLine = RESSTR("rExpXls", "Отчет построен: %s.");
const TResString SCallExcel = RESSTR("rExpXls", "Вызов Microsoft Excel...");
const TResString SCreateWorkbook = RESSTR("rExpXls", "Создание рабочей книги...");
const TResString SCreateSheet = RESSTR("rExpXls", "Создание листа...");
const TResString SFormatSheet = RESSTR("rExpXls", "Форматирование листа...");
const TResString SPrepareData = RESSTR("rExpXls", "Подготовка данных для экспорта...");
const TResString SSendData = RESSTR("rExpXls", "Передача данных в Microsoft Excel...");
const TResString SExportError = RESSTR("rExpXls", "Ошибка экспорта данных в Microsoft Excel!\n%s");

// Border weights of the caption row and of the data.
constexpr int kCaptionBorder = 3;
constexpr int kDataBorder = 2;

// The name of the window a table sits in (the table's own when it has none above it).
QString WindowName(const QWidget* widget)
{
    return widget->window()->objectName();
}

int AlignmentCode(Qt::Alignment alignment)
{
    if (alignment & Qt::AlignRight)
        return kExpAlignRight;
    if (alignment & Qt::AlignHCenter)
        return kExpAlignCenter;
    return kExpAlignLeft;
}

std::vector<int> RowRange(int first, int last)
{
    std::vector<int> rows;
    for (int row = first; row <= last; ++row)
        rows.push_back(row);
    return rows;
}

class TListViewSource : public TExpXlsSource {
public:
    explicit TListViewSource(const TRListView* view) : FView(view) {}

    QString FormName() const override { return WindowName(FView); }
    QString TableName() const override { return FView->objectName(); }
    int ColumnCount() const override { return FView->ColumnCount(); }
    QString ColumnCaption(int column) const override { return FView->Items()->Column(column).Caption; }
    int ColumnWidth(int column) const override { return FView->ColumnWidth(column); }
    int ColumnAlignment(int column) const override
    {
        return AlignmentCode(FView->Items()->Column(column).Alignment);
    }
    int ShownCount() const override { return FView->ItemCount(); }
    int SelectedCount() const override { return SelectionOffered() ? FView->SelectedCount() : 1; }
    bool SelectionOffered() const override { return FView->MultiSelect() && FView->SelectedCount() > 1; }
    std::vector<int> ExportRows(bool selectedOnly) const override
    {
        if (!selectedOnly)
            return RowRange(0, FView->ItemCount() - 1);
        if (FView->MultiSelect()) {
            // No selected row exports the "nothing selected" row -1, as a single-select list does.
            const QList<int> selected = FView->SelectedRows();
            if (selected.isEmpty())
                return {-1};
            return std::vector<int>(selected.begin(), selected.end());
        }
        return {FView->Selected()};
    }
    QString CellText(int column, int row) const override { return FView->Items()->CellText(row, column); }

private:
    const TRListView* FView;
};

// Grids number their rows from 1: row 0 holds the captions and is never data.
class TGridSource : public TExpXlsSource {
public:
    int ColumnAlignment(int) const override { return kExpAlignLeft; }
    QString ColumnCaption(int column) const override { return CellText(column, 0); }
    int ShownCount() const override { return std::max(0, GridRowCount() - 1); }
    int SelectedCount() const override
    {
        const TGridRect rect = Selection();
        return rect.Bottom > rect.Top ? rect.Bottom - rect.Top + 1 : 1;
    }
    bool SelectionOffered() const override
    {
        const TGridRect rect = Selection();
        return rect.Bottom > rect.Top;
    }
    std::vector<int> ExportRows(bool selectedOnly) const override
    {
        if (!selectedOnly)
            return RowRange(1, GridRowCount() - 1);
        const TGridRect rect = Selection();
        std::vector<int> rows = RowRange(rect.Top, std::max(rect.Top, rect.Bottom));
        for (int& row : rows) {
            if (row < 1 || row >= GridRowCount())
                row = -1;
        }
        return rows;
    }

protected:
    virtual int GridRowCount() const = 0;
    virtual TGridRect Selection() const = 0;
};

class TOwnerDrawGridSource : public TGridSource {
public:
    explicit TOwnerDrawGridSource(const TROwnerDrawGrid* grid) : FGrid(grid) {}

    QString FormName() const override { return WindowName(FGrid); }
    QString TableName() const override { return FGrid->objectName(); }
    int ColumnCount() const override { return FGrid->ColCount(); }
    int ColumnWidth(int column) const override { return FGrid->ColWidth(column); }
    QString CellText(int column, int row) const override
    {
        if (row < 0 || column < 0 || column >= FGrid->ColCount())
            return QString();
        return FGrid->GetCellText(column, row);
    }

protected:
    int GridRowCount() const override { return FGrid->RowCount(); }
    TGridRect Selection() const override { return FGrid->Selection(); }

private:
    const TROwnerDrawGrid* FGrid;
};

// A table widget keeps its texts: grid row 0 is its header, grid row r its row r - 1.
class TStringGridSource : public TGridSource {
public:
    explicit TStringGridSource(const QTableWidget* grid) : FGrid(grid) {}

    QString FormName() const override { return WindowName(FGrid); }
    QString TableName() const override { return FGrid->objectName(); }
    int ColumnCount() const override { return FGrid->columnCount(); }
    int ColumnWidth(int column) const override { return FGrid->columnWidth(column); }
    QString CellText(int column, int row) const override
    {
        if (row < 0 || column < 0 || column >= FGrid->columnCount())
            return QString();
        const QTableWidgetItem* item =
            row == 0 ? FGrid->horizontalHeaderItem(column) : FGrid->item(row - 1, column);
        return item ? item->text() : QString();
    }

protected:
    int GridRowCount() const override { return FGrid->rowCount() + 1; }
    TGridRect Selection() const override
    {
        const QList<QTableWidgetSelectionRange> ranges = FGrid->selectedRanges();
        if (ranges.isEmpty()) {
            const int row = FGrid->currentRow();
            return row < 0 ? TGridRect{} : TGridRect{FGrid->currentColumn(), row + 1, FGrid->currentColumn(), row + 1};
        }
        TGridRect rect{ranges.first().leftColumn(), ranges.first().topRow(), ranges.first().rightColumn(),
                       ranges.first().bottomRow()};
        for (const QTableWidgetSelectionRange& range : ranges) {
            rect.Left = std::min(rect.Left, range.leftColumn());
            rect.Right = std::max(rect.Right, range.rightColumn());
            rect.Top = std::min(rect.Top, range.topRow());
            rect.Bottom = std::max(rect.Bottom, range.bottomRow());
        }
        rect.Top += 1;
        rect.Bottom += 1;
        return rect;
    }

private:
    const QTableWidget* FGrid;
};

} // namespace

std::unique_ptr<TExpXlsSource> ListViewSource(const TRListView* view)
{
    return std::make_unique<TListViewSource>(view);
}

std::unique_ptr<TExpXlsSource> StringGridSource(const QTableWidget* grid)
{
    return std::make_unique<TStringGridSource>(grid);
}

std::unique_ptr<TExpXlsSource> OwnerDrawGridSource(const TROwnerDrawGrid* grid)
{
    return std::make_unique<TOwnerDrawGridSource>(grid);
}

std::vector<TExpXlsColumn> ExpXlsColumnsOf(const TExpXlsSource& source)
{
    std::vector<TExpXlsColumn> columns;
    for (int i = 0; i < source.ColumnCount(); ++i) {
        TExpXlsColumn column;
        column.Caption = source.ColumnCaption(i);
        column.Checked = true;
        column.AlignCode = ValidExpAlignment(source.ColumnAlignment(i));
        column.WidthText = ExpXlsWidthText(source.ColumnWidth(i));
        column.SourceCaption = column.Caption;
        column.SourceIndex = i;
        columns.push_back(column);
    }
    return columns;
}

QString ExpXlsCreatedLine(const QDateTime& moment)
{
    const QLocale locale;
    const QString text = locale.toString(moment.date(), QLocale::ShortFormat) + QLatin1Char(' ')
                         + FormatDateTime(QStringLiteral("h:nn:ss"), FromQDateTime(moment));
    return Format(LoadResString(SCreatedLine), {text});
}

TExpXlsPlan BuildExportPlan(const TExpXlsSource& source, const TExpXlsRequest& request, const QDateTime& now)
{
    const TExpXlsParams& params = request.Params;
    TExpXlsPlan plan;
    plan.SheetName = params.SheetName;
    plan.Orientation = params.PageOrientation;
    plan.BaseFontSize = params.BaseFontSize;
    plan.ListCount = static_cast<int>(params.Columns.size());

    const bool hasNotes = !params.Notes.trimmed().isEmpty();
    const int headerRows = request.Header.isEmpty() ? 0 : 2;
    const int noteRows = (hasNotes ? 1 : 0) + (params.ShowCreateTime ? 1 : 0);
    plan.CaptionRow = headerRows + noteRows + 3;

    std::vector<int> exported;   // source columns, in the order they are written
    for (const TExpXlsColumn& column : params.Columns) {
        if (!column.Checked)
            continue;
        exported.push_back(column.SourceIndex);
        plan.Formats.push_back({static_cast<int>(exported.size()), ValidExpAlignment(column.AlignCode),
                                ExpXlsWidth(column.WidthText)});
        plan.Captions.append(column.Caption);
    }

    const int base = params.BaseFontSize;
    if (!request.Header.isEmpty())
        // A base size of 1 or 2 would ask for a header font of no size at all.
        plan.Titles.push_back({1, request.Header, std::max(1, base - 2), kExpStyleItalic});
    plan.Titles.push_back({headerRows + 1, params.Title, base + 4, kExpStyleBold});
    if (hasNotes)
        plan.Titles.push_back({headerRows + 2, params.Notes, base, kExpStyleBold});
    if (params.ShowCreateTime)
        plan.Titles.push_back({headerRows + noteRows + 1, ExpXlsCreatedLine(now), base, kExpStyleItalic});

    for (int row : source.ExportRows(request.SelectedOnly)) {
        QStringList values;
        for (int column : exported)
            values.append(row < 0 ? QString() : source.CellText(column, row));
        plan.Data.push_back(values);
    }
    return plan;
}

namespace {

// Builds the sheet of a held workbook; raises what the spreadsheet layer raises. Empty when the
// sheet was written, else the message to show.
QString WriteSheet(const TExpXlsPlan& plan)
{
    SetProgressText(LoadResString(SCreateWorkbook));
    StepProgress(1);
    if (!CreateWorkbook())
        return ExcelLastError();
    SetProgressText(LoadResString(SCreateSheet));
    StepProgress(1);
    TExcelSheet* sheet = OpenActiveWorkbookSheet(1, plan.SheetName);
    if (!sheet)
        return ExcelLastError();

    SetProgressText(LoadResString(SFormatSheet));
    if (plan.Orientation > 0)
        SetPageOrientation(sheet, plan.Orientation, false);
    StepProgress(1);
    const int base = plan.BaseFontSize;
    for (const TExpXlsColumnFormat& format : plan.Formats) {
        FormatColumn(sheet->Columns(format.Column), AlignmentToExcel(format.AlignCode), xlCenter, format.Width,
                     base, QString());
        StepProgress(1);
    }
    StepProgress(plan.ListCount - static_cast<int>(plan.Formats.size()));   // the unchecked rows
    for (const TExpXlsTitleLine& line : plan.Titles)
        WriteCell(sheet->Cells(line.Row, 1), line.Text, line.FontSize, line.Style, 0, xlLeft, xlCenter, false,
                  QString());
    StepProgress(1);

    const int columns = plan.ColumnCount();
    StepProgress(plan.ListCount);
    WriteRange(sheet, plan.CaptionRow, plan.CaptionRow, 1, columns, TExcelValue(TExcelArray{plan.Captions}), base,
               0, kCaptionBorder, xlCenter, xlCenter, true);
    SetProgressText(LoadResString(SPrepareData));

    TExcelArray data;
    for (const QStringList& row : plan.Data) {
        data.append(row);
        StepProgress(1);
    }
    SetProgressText(LoadResString(SSendData));
    WriteRangeValues(sheet, plan.CaptionRow + 1, plan.CaptionRow + plan.RowCount(), 1, columns, TExcelValue(data),
                     kDataBorder);
    StepProgress(1);
    return QString();
}

} // namespace

bool WriteExportPlan(const TExpXlsPlan& plan)
{
    TBusyScope busy;
    TProgressScope progress(LoadResString(SCallExcel), 2 * plan.ListCount + plan.RowCount() + 5);
    QString error;
    if (!ConnectExcel()) {
        error = ExcelLastError();
    } else {
        try {
            error = WriteSheet(plan);
        } catch (const std::exception& e) {
            error = Format(LoadResString(SExportError), {ExceptionText(e)});
        }
        // A workbook that failed half-way goes, file and all; a whole one goes to the
        // spreadsheet program.
        if (!error.isEmpty())
            DiscardExcel();
        else if (!DisconnectExcel())
            error = ExcelLastError();
    }
    progress.Hide();
    if (!error.isEmpty()) {
        ErrorBox(error);
        return false;
    }
    return true;
}

bool ExportTableToExcel(const TExpXlsSource& source, const TExpXlsRequest& request)
{
    return WriteExportPlan(BuildExportPlan(source, request, ClockCurrentDateTime()));
}

bool ExportListViewToExcel(TRListView* view, const QString& title, const QString& sheetName, const QString& header,
                           const QString& notes, int orientation, bool useSettings)
{
    return ExportWithDialog(*ListViewSource(view), title, sheetName, header, notes, orientation, useSettings);
}

bool ExportStringGridToExcel(QTableWidget* grid, const QString& title, const QString& sheetName,
                             const QString& header, const QString& notes, int orientation, bool useSettings)
{
    return ExportWithDialog(*StringGridSource(grid), title, sheetName, header, notes, orientation, useSettings);
}

bool ExportOwnerDrawGridToExcel(TROwnerDrawGrid* grid, const QString& title, const QString& sheetName,
                                const QString& header, const QString& notes, int orientation, bool useSettings)
{
    return ExportWithDialog(*OwnerDrawGridSource(grid), title, sheetName, header, notes, orientation, useSettings);
}
