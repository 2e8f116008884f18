// Operations of the spreadsheet layer over the session's in-memory workbooks.

#include "support/RMsExcel.h"

#include "support/RSysUtils.h"

#include "platform/DelphiText.h"
#include "platform/ResString.h"
#include "platform/SysErrorText.h"

#include <QDir>
#include <QFile>
#include <QTemporaryFile>

namespace {

const TResString SConnectFailed = RESSTR("RMsExcel", "Ошибка подключения к Microsoft Excel!");
const TResString SWorkbookFailed = RESSTR("RMsExcel", "Ошибка создания книги Microsoft Excel!");
const TResString SSheetFailed = RESSTR("RMsExcel", "Ошибка создания листа Microsoft Excel!");
const TResString SOpenSheetFailed = RESSTR("RMsExcel", "Ошибка открытия (создания) листа #%d!");
const TResString SOrientationFailed =
    RESSTR("RMsExcel", "Ошибка установки ориентации страницы Microsoft Excel!");
const TResString SNoWorkbook =
    RESSTR("RMsExcel", "Рабочая книга Microsoft Excel не создана или не активна");
const TResString SNoSheet = RESSTR("RMsExcel", "Лист Microsoft Excel не задан");
const TResString SNoTempFolder =
    RESSTR("RMsExcel", "Временная папка \"%s\" недоступна для записи: %s");
const TResString SSaveFailed =
    RESSTR("RMsExcel", "Ошибка сохранения книги Microsoft Excel в файле \"%s\"!");

struct TSession {
    std::unique_ptr<TExcelApplication> Application;
    TExcelWorkbook* Workbook = nullptr;
};

TSession& Session()
{
    static TSession session;
    return session;
}

QString& LastError()
{
    static QString text;
    return text;
}

TExcelReportHandler& ReportHandler()
{
    static TExcelReportHandler handler;
    return handler;
}

void Report(const std::exception& error, const QString& text, bool suppressed = false)
{
    const QString reason = ExceptionText(error);
    LastError() = reason.isEmpty() ? text : text + QLatin1Char('\n') + reason;
    if (const TExcelReportHandler& handler = ReportHandler())
        handler(error, text, suppressed);
}

// A failure whose text already holds the error's reason.
void ReportWhole(const std::exception& error, const QString& text)
{
    LastError() = text;
    if (const TExcelReportHandler& handler = ReportHandler())
        handler(error, text, false);
}

// The folder the session's workbooks are written to; raises when it is missing or refuses a
// new file. Qt names a missing folder with an empty path, which must never stand for the current
// folder: the message then names the folder Qt was given.
QString CheckedTempFolder()
{
    QString folder = QDir::tempPath();
    if (folder.isEmpty()) {
        folder = qEnvironmentVariable("TMPDIR");
        if (folder.isEmpty())
            folder = QStringLiteral("/tmp");
    }
    QTemporaryFile probe(folder + QStringLiteral("/" TAVRIX_PROGRAM_NAME "-XXXXXX.tmp"));
    if (!probe.open())
        throw EExcelError(Format(LoadResString(SNoTempFolder), {folder, FileErrorText(probe)}));
    return folder;
}

TExcelSheet& CheckedSheet(TExcelSheet* sheet)
{
    if (!sheet)
        throw EExcelError(LoadResString(SNoSheet));
    return *sheet;
}

} // namespace

// ---------------------------------------------------------------------------------------------

bool ConnectExcel()
{
    LastError().clear();
    DisconnectExcel();
    try {
        auto application = std::make_unique<TExcelApplication>();
        application->TempFolder = CheckedTempFolder();
        application->EnableEvents = false;
        Session().Application = std::move(application);
    } catch (const std::exception& error) {
        Report(error, LoadResString(SConnectFailed));
    }
    return Session().Application != nullptr;
}

void RestoreExcelEvents()
{
    if (TExcelApplication* application = Session().Application.get()) {
        application->EnableEvents = true;
        application->Visible = true;
    }
}

bool DisconnectExcel()
{
    RestoreExcelEvents();
    std::unique_ptr<TExcelApplication> application = std::move(Session().Application);
    Session().Workbook = nullptr;
    if (!application)
        return true;
    bool done = true;
    for (const auto& workbook : application->Workbooks()) {
        const QString fileName = workbook->FileName();
        try {
            workbook->SaveAs(fileName, application->TempFolder);
        } catch (const std::exception& error) {
            // The file was made empty for this workbook alone: nothing of the user's is lost.
            QFile::remove(fileName);
            Report(error, Format(LoadResString(SSaveFailed), {fileName}));
            done = false;
            continue;
        }
        try {
            OpenDocument(fileName);
        } catch (const std::exception& error) {
            // The workbook is whole on disk: the user is told where, and what did not happen.
            ReportWhole(error, SavedButNotOpenedText(fileName, ExceptionText(error)));
            done = false;
        }
    }
    return done;
}

void DiscardExcel()
{
    RestoreExcelEvents();
    const std::unique_ptr<TExcelApplication> application = std::move(Session().Application);
    Session().Workbook = nullptr;
    if (!application)
        return;
    for (const auto& workbook : application->Workbooks())
        QFile::remove(workbook->FileName());
}

TExcelWorkbook* NewWorkbook()
{
    if (!Session().Application && !ConnectExcel())
        return nullptr;
    try {
        return Session().Application->AddWorkbook();
    } catch (const std::exception& error) {
        Report(error, LoadResString(SWorkbookFailed));
        return nullptr;
    }
}

bool CreateWorkbook()
{
    TExcelWorkbook* workbook = NewWorkbook();
    Session().Workbook = workbook;
    return workbook != nullptr;
}

TExcelApplication* ExcelApplication()
{
    return Session().Application.get();
}

TExcelWorkbook* ActiveWorkbook()
{
    return Session().Workbook;
}

// ---------------------------------------------------------------------------------------------

bool IsSheetEmpty(const TExcelSheet* sheet)
{
    if (!sheet)
        return true;
    // The used cell itself is looked at (not always the first cell of the sheet), so that a
    // sheet whose one value stands elsewhere is never taken for empty and written over.
    const TExcelSheet::TUsedRange used = sheet->UsedRange();
    if (used.FirstRow != used.LastRow || used.FirstColumn != used.LastColumn)
        return false;
    const TExcelCell* cell = sheet->Cell(used.FirstRow, used.FirstColumn);
    return !cell || cell->DisplayText().isEmpty();
}

QString ValidSheetName(const QString& name)
{
    QString result;
    result.reserve(name.size());
    for (const QChar c : name) {
        switch (c.unicode()) {
        case u'"':
        case u'\'':
        case u'*':
        case u'?':
        case u':':
            break;
        case u'/':
        case u'\\':
            result += QLatin1Char('-');
            break;
        case u'[':
            result += QLatin1Char('(');
            break;
        case u']':
            result += QLatin1Char(')');
            break;
        default:
            result += c;
        }
    }
    result.truncate(kExcelMaxSheetName);
    // Blanks and control characters at both ends go.
    qsizetype first = 0;
    qsizetype last = result.size();
    while (first < last && result.at(first).unicode() <= u' ')
        ++first;
    while (last > first && result.at(last - 1).unicode() <= u' ')
        --last;
    result = result.mid(first, last - first);
    // A workbook keeps this name for a sheet of its own: stored, it would fail every export of
    // the table, so it is no name at all.
    if (result.compare(QLatin1String("History"), Qt::CaseInsensitive) == 0)
        return QString();
    return result;
}

TExcelSheet* GetEmptyOrNewSheet(TExcelWorkbook* workbook, const QString& name)
{
    try {
        if (!workbook)
            throw EExcelError(LoadResString(SNoWorkbook));
        TExcelSheet* result = nullptr;
        if (workbook->SheetCount() == 0) {
            result = workbook->AddSheet();
        } else {
            const int count = workbook->SheetCount();
            for (int i = 1; i <= count && !result; ++i)
                if (IsSheetEmpty(workbook->Sheet(i)))
                    result = workbook->Sheet(i);
            if (!result)
                result = workbook->AddSheet(workbook->Sheet(workbook->SheetCount()));
        }
        // A name that is nothing once cleaned leaves the sheet its own name, as no name does.
        const QString valid = ValidSheetName(name);
        if (!valid.isEmpty())
            workbook->RenameSheet(result, valid);
        return result;
    } catch (const std::exception& error) {
        Report(error, LoadResString(SSheetFailed));
        return nullptr;
    }
}

TExcelSheet* OpenSheet(TExcelWorkbook* workbook, int index, const QString& name)
{
    try {
        if (!workbook)
            throw EExcelError(LoadResString(SNoWorkbook));
        try {
            TExcelSheet* sheet = workbook->Sheet(index);
            const QString valid = ValidSheetName(name);
            if (!valid.isEmpty())
                workbook->RenameSheet(sheet, valid);
            return sheet;
        } catch (const EExcelError&) {
            // No such sheet, or a name the workbook refuses: an empty or a new sheet instead.
            return GetEmptyOrNewSheet(workbook, name);
        }
    } catch (const std::exception& error) {
        Report(error, Format(LoadResString(SOpenSheetFailed), {index}));
        return nullptr;
    }
}

TExcelSheet* OpenActiveWorkbookSheet(int index, const QString& name)
{
    return OpenSheet(Session().Workbook, index, name);
}

void SetPageOrientation(TExcelSheet* sheet, int orientation, bool suppressChannels)
{
    try {
        CheckedSheet(sheet).SetOrientation(orientation);
    } catch (const std::exception& error) {
        Report(error, LoadResString(SOrientationFailed), suppressChannels);
    }
}

int AlignmentToExcel(int alignment)
{
    switch (alignment) {
    case 1:
        return xlRight;
    case 2:
        return xlCenter;
    default:
        return xlLeft;
    }
}

// ---------------------------------------------------------------------------------------------

void FormatColumn(const TExcelRange& column, int horizontalAlignment, int verticalAlignment,
                  double width, int fontSize, const QString& numberFormat)
{
    // 255 characters is the widest column; a wider (or not-a-number) width is sent as 255.
    column.SetColumnWidth(width < 255.0 ? width : 255);
    column.SetFontSize(fontSize);
    column.SetHorizontalAlignment(horizontalAlignment);
    column.SetVerticalAlignment(verticalAlignment);
    column.SetNumberFormat(numberFormat);
}

void SetRangeBorders(const TExcelRange& range, int weight)
{
    range.SetBorderWeight(weight);
}

void WriteCell(const TExcelRange& cell, const QString& text, int fontSize, TFontStyles styles,
               int borderWeight, int horizontalAlignment, int verticalAlignment, bool wrapText,
               const QString& numberFormat)
{
    if (!numberFormat.isEmpty())
        cell.SetNumberFormat(numberFormat);
    cell.SetValue(text);
    cell.SetFontSize(fontSize);
    cell.SetFontStyles(styles);
    if (borderWeight > 0)
        SetRangeBorders(cell, borderWeight);
    cell.SetHorizontalAlignment(horizontalAlignment);
    cell.SetVerticalAlignment(verticalAlignment);
    cell.SetWrapText(wrapText);
}

void WriteRange(TExcelSheet* sheet, int firstRow, int lastRow, int firstColumn, int lastColumn,
                const TExcelValue& value, int fontSize, TFontStyles styles, int borderWeight,
                int horizontalAlignment, int verticalAlignment, bool wrapText)
{
    const TExcelRange range = CheckedSheet(sheet).Range(firstRow, lastRow, firstColumn, lastColumn);
    range.SetValue(value);
    range.SetFontSize(fontSize);
    range.SetFontStyles(styles);
    if (borderWeight > 0)
        SetRangeBorders(range, borderWeight);
    range.SetHorizontalAlignment(horizontalAlignment);
    range.SetVerticalAlignment(verticalAlignment);
    range.SetWrapText(wrapText);
}

void WriteRangeValues(TExcelSheet* sheet, int firstRow, int lastRow, int firstColumn,
                      int lastColumn, const TExcelValue& value, int borderWeight)
{
    const TExcelRange range = CheckedSheet(sheet).Range(firstRow, lastRow, firstColumn, lastColumn);
    range.SetValue(value);
    if (borderWeight > 0)
        SetRangeBorders(range, borderWeight);
}

// ---------------------------------------------------------------------------------------------

QString ExcelLastError()
{
    return LastError();
}

TExcelReportHandler SetExcelReportHandler(TExcelReportHandler handler)
{
    return std::exchange(ReportHandler(), std::move(handler));
}
