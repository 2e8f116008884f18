// The in-memory workbook of the spreadsheet layer and its writer to .xlsx (libxlsxwriter).

#include "support/RMsExcel.h"

#include "support/RMsgRu.h"
#include "support/RSysUtils.h"

#include "platform/DelphiText.h"
#include "platform/ResString.h"
#include "platform/SysErrorText.h"

#include <QFile>
#include <QRegularExpression>
#include <QTemporaryFile>

#include <xlsxwriter.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <map>

namespace {

const TResString SNoSheet = RESSTR("RMsExcel", "Лист Microsoft Excel не задан");
const TResString SBadCell = RESSTR("RMsExcel", "Недопустимая ячейка: строка %d, столбец %d");
const TResString SBadSheetIndex = RESSTR("RMsExcel", "Листа #%d нет в рабочей книге");
const TResString SBadSheetName = RESSTR("RMsExcel", "Недопустимое имя листа \"%s\"");
const TResString SSheetNameTaken = RESSTR("RMsExcel", "Лист с именем \"%s\" уже есть в рабочей книге");
const TResString SBadFontSize = RESSTR("RMsExcel", "Недопустимый размер шрифта %d");
const TResString SBadAlignment = RESSTR("RMsExcel", "Недопустимое выравнивание %d");
const TResString SBadBorder = RESSTR("RMsExcel", "Недопустимая толщина границы %d");
const TResString SBadWidth = RESSTR("RMsExcel", "Недопустимая ширина столбца %s");
const TResString SBadOrientation = RESSTR("RMsExcel", "Недопустимая ориентация страницы %d");
const TResString SWholeColumnValue = RESSTR("RMsExcel", "Значение нельзя записать в целый столбец");
const TResString SNoTempFile = RESSTR("RMsExcel", "Не удалось создать файл в папке \"%s\": %s");
const TResString SWriteFailed = RESSTR("RMsExcel", "Ошибка записи книги: %s");
const TResString SDefaultSheetName = RESSTR("RMsExcel", "Лист%d");

[[noreturn]] void Raise(const TResString& text, std::initializer_list<TVarRec> args)
{
    throw EExcelError(Format(LoadResString(text), args));
}

bool IsHorizontal(int alignment)
{
    return alignment == xlHAlignGeneral || alignment == xlLeft || alignment == xlRight
           || alignment == xlCenter;
}

bool IsVertical(int alignment)
{
    return alignment == xlTop || alignment == xlCenter || alignment == xlBottom;
}

// A text the spreadsheet reads as a number: an optional minus, an integer part without a
// leading zero before another digit (so "07" and a key like "0012" stay texts), an optional
// fraction after ',' or '.', and no more digits than a double keeps exactly.
std::optional<double> PlainNumber(const QString& text)
{
    static const QRegularExpression pattern(QStringLiteral("^-?(0|[1-9][0-9]*)([.,][0-9]+)?$"));
    if (text.size() > 17 || !pattern.match(text).hasMatch())
        return std::nullopt;
    int digits = 0;
    for (QChar c : text)
        digits += c.isDigit() ? 1 : 0;
    if (digits > 15)
        return std::nullopt;
    QString plain = text;
    plain.replace(QLatin1Char(','), QLatin1Char('.'));
    const double value = plain.toDouble();
    return value == 0.0 ? 0.0 : value;   // no negative zero
}

QString CutText(const QString& text)
{
    if (text.size() <= kExcelMaxTextLength)
        return text;
    const int length = text.at(kExcelMaxTextLength - 1).isHighSurrogate() ? kExcelMaxTextLength - 1
                                                                            : kExcelMaxTextLength;
    return text.left(length);
}

} // namespace

// ---------------------------------------------------------------------------------------------

TExcelFormat TExcelFormat::MergedWith(const TExcelFormat& over) const
{
    TExcelFormat result = *this;
    if (over.FontSize)
        result.FontSize = over.FontSize;
    if (over.FontStyles)
        result.FontStyles = over.FontStyles;
    if (over.BorderWeight)
        result.BorderWeight = over.BorderWeight;
    if (over.HorizontalAlignment)
        result.HorizontalAlignment = over.HorizontalAlignment;
    if (over.VerticalAlignment)
        result.VerticalAlignment = over.VerticalAlignment;
    if (over.WrapText)
        result.WrapText = over.WrapText;
    if (over.NumberFormat)
        result.NumberFormat = over.NumberFormat;
    return result;
}

QString TExcelCell::DisplayText() const
{
    switch (Kind) {
    case TKind::Number:
        return QString::number(Number, 'g', 15);
    case TKind::Text:
        return Text;
    case TKind::Empty:
        break;
    }
    return QString();
}

// ---------------------------------------------------------------------------------------------

TExcelRange::TExcelRange(TExcelSheet* sheet, int firstRow, int lastRow, int firstColumn,
                         int lastColumn, bool wholeColumns)
    : FSheet(sheet), FFirstRow(firstRow), FLastRow(lastRow), FFirstColumn(firstColumn),
      FLastColumn(lastColumn), FWholeColumns(wholeColumns)
{
    if (IsEmpty())
        return;
    if (firstRow < 1 || lastRow > kExcelMaxRows)
        Raise(SBadCell, {firstRow < 1 ? firstRow : lastRow, firstColumn});
    if (firstColumn < 1 || lastColumn > kExcelMaxColumns)
        Raise(SBadCell, {firstRow, firstColumn < 1 ? firstColumn : lastColumn});
}

TExcelSheet& TExcelRange::CheckedSheet() const
{
    if (!FSheet)
        Raise(SNoSheet, {});
    return *FSheet;
}

template <typename F>
void TExcelRange::ForEachFormat(F&& apply) const
{
    TExcelSheet& sheet = CheckedSheet();
    if (IsEmpty())
        return;
    if (FWholeColumns) {
        for (int c = FFirstColumn; c <= FLastColumn; ++c)
            apply(sheet.ColumnAt(c).Format);
        for (auto& [key, cell] : sheet.FCells)
            if (key.second >= FFirstColumn && key.second <= FLastColumn)
                apply(cell.Format);
        return;
    }
    for (int r = FFirstRow; r <= FLastRow; ++r)
        for (int c = FFirstColumn; c <= FLastColumn; ++c)
            apply(sheet.CellAt(r, c).Format);
}

void TExcelRange::SetValue(const TExcelValue& value) const
{
    TExcelSheet& sheet = CheckedSheet();
    if (FWholeColumns)
        Raise(SWholeColumnValue, {});
    if (IsEmpty())
        return;
    for (int r = FFirstRow; r <= FLastRow; ++r) {
        for (int c = FFirstColumn; c <= FLastColumn; ++c) {
            QString text;
            if (!value.IsArray()) {
                text = value.Text();
            } else {
                const qsizetype i = r - FFirstRow;
                const qsizetype j = c - FFirstColumn;
                if (i < value.Rows().size() && j < value.Rows().at(i).size())
                    text = value.Rows().at(i).at(j);
            }
            TExcelCell& cell = sheet.CellAt(r, c);
            const TExcelColumn* column = sheet.Column(c);
            const TExcelFormat format =
                column ? column->Format.MergedWith(cell.Format) : cell.Format;
            const bool keepText = format.NumberFormat.value_or(QString()) == QLatin1String("@");
            cell.Text.clear();
            cell.Number = 0.0;
            if (text.isEmpty()) {
                cell.Kind = TExcelCell::TKind::Empty;
            } else if (const auto number = keepText ? std::nullopt : PlainNumber(text)) {
                cell.Kind = TExcelCell::TKind::Number;
                cell.Number = *number;
            } else {
                cell.Kind = TExcelCell::TKind::Text;
                cell.Text = CutText(text);
            }
        }
    }
}

void TExcelRange::SetFontSize(int size) const
{
    if (size < 1 || size > 409)
        Raise(SBadFontSize, {size});
    ForEachFormat([size](TExcelFormat& f) { f.FontSize = size; });
}

void TExcelRange::SetFontStyles(TFontStyles styles) const
{
    const TFontStyles known = styles & (fsBold | fsItalic | fsUnderline | fsStrikeOut);
    ForEachFormat([known](TExcelFormat& f) { f.FontStyles = known; });
}

void TExcelRange::SetBorderWeight(int weight) const
{
    if (weight == xlMedium)
        weight = xlMediumWeight;
    if (weight < xlHairline || weight > xlThick)
        Raise(SBadBorder, {weight});
    ForEachFormat([weight](TExcelFormat& f) { f.BorderWeight = weight; });
}

void TExcelRange::SetHorizontalAlignment(int alignment) const
{
    if (!IsHorizontal(alignment))
        Raise(SBadAlignment, {alignment});
    ForEachFormat([alignment](TExcelFormat& f) { f.HorizontalAlignment = alignment; });
}

void TExcelRange::SetVerticalAlignment(int alignment) const
{
    if (!IsVertical(alignment))
        Raise(SBadAlignment, {alignment});
    ForEachFormat([alignment](TExcelFormat& f) { f.VerticalAlignment = alignment; });
}

void TExcelRange::SetWrapText(bool wrap) const
{
    ForEachFormat([wrap](TExcelFormat& f) { f.WrapText = wrap; });
}

void TExcelRange::SetNumberFormat(const QString& format) const
{
    ForEachFormat([&format](TExcelFormat& f) { f.NumberFormat = format; });
}

void TExcelRange::SetColumnWidth(double width) const
{
    TExcelSheet& sheet = CheckedSheet();
    if (!(width >= 0.0 && width <= 255.0))
        Raise(SBadWidth, {FloatToStr(width)});
    if (FLastColumn < FFirstColumn)
        return;
    for (int c = FFirstColumn; c <= FLastColumn; ++c)
        sheet.ColumnAt(c).Width = width;
}

// ---------------------------------------------------------------------------------------------

void TExcelSheet::SetOrientation(int orientation)
{
    if (orientation != xlPortrait && orientation != xlLandscape)
        Raise(SBadOrientation, {orientation});
    FOrientation = orientation;
}

TExcelRange TExcelSheet::Cells(int row, int column)
{
    if (row < 1 || row > kExcelMaxRows || column < 1 || column > kExcelMaxColumns)
        Raise(SBadCell, {row, column});
    return TExcelRange(this, row, row, column, column);
}

TExcelRange TExcelSheet::Range(int firstRow, int lastRow, int firstColumn, int lastColumn)
{
    return TExcelRange(this, firstRow, lastRow, firstColumn, lastColumn);
}

TExcelRange TExcelSheet::Columns(int column)
{
    return TExcelRange(this, 1, kExcelMaxRows, column, column, true);
}

const TExcelCell* TExcelSheet::Cell(int row, int column) const
{
    const auto it = FCells.find({row, column});
    return it == FCells.end() ? nullptr : &it->second;
}

const TExcelColumn* TExcelSheet::Column(int column) const
{
    const auto it = FColumns.find(column);
    return it == FColumns.end() ? nullptr : &it->second;
}

TExcelCell& TExcelSheet::CellAt(int row, int column)
{
    return FCells[{row, column}];
}

TExcelColumn& TExcelSheet::ColumnAt(int column)
{
    return FColumns[column];
}

TExcelSheet::TUsedRange TExcelSheet::UsedRange() const
{
    if (FCells.empty())
        return {};
    TUsedRange used{kExcelMaxRows, kExcelMaxColumns, 1, 1};
    for (const auto& entry : FCells) {
        const auto [row, column] = entry.first;
        used.FirstRow = std::min(used.FirstRow, row);
        used.LastRow = std::max(used.LastRow, row);
        used.FirstColumn = std::min(used.FirstColumn, column);
        used.LastColumn = std::max(used.LastColumn, column);
    }
    return used;
}

// ---------------------------------------------------------------------------------------------

TExcelWorkbook::TExcelWorkbook(const QString& fileName) : FFileName(fileName)
{
    AddSheet();
}

TExcelSheet* TExcelWorkbook::Sheet(int index) const
{
    if (index < 1 || index > SheetCount())
        Raise(SBadSheetIndex, {index});
    return FSheets[static_cast<std::size_t>(index - 1)].get();
}

TExcelSheet* TExcelWorkbook::AddSheet(TExcelSheet* after)
{
    auto taken = [this](const QString& name) {
        for (const auto& sheet : FSheets)
            if (sheet->Name().compare(name, Qt::CaseInsensitive) == 0)
                return true;
        return false;
    };
    int n = SheetCount() + 1;
    QString name = Format(LoadResString(SDefaultSheetName), {n});
    while (taken(name))
        name = Format(LoadResString(SDefaultSheetName), {++n});
    auto position = FSheets.begin();
    for (auto it = FSheets.begin(); it != FSheets.end(); ++it)
        if (it->get() == after)
            position = it + 1;
    return FSheets.insert(position, std::make_unique<TExcelSheet>(name))->get();
}

void TExcelWorkbook::RenameSheet(TExcelSheet* sheet, const QString& name)
{
    if (!Holds(sheet))
        Raise(SNoSheet, {});
    static const QRegularExpression forbidden(QStringLiteral("[:\\\\/?*\\[\\]]"));
    if (name.isEmpty() || name.size() > kExcelMaxSheetName || name.contains(forbidden)
        || name.startsWith(QLatin1Char('\'')) || name.endsWith(QLatin1Char('\''))
        || name.compare(QLatin1String("History"), Qt::CaseInsensitive) == 0)
        Raise(SBadSheetName, {name});
    for (const auto& other : FSheets)
        if (other.get() != sheet && other->Name().compare(name, Qt::CaseInsensitive) == 0)
            Raise(SSheetNameTaken, {name});
    sheet->FName = name;
}

bool TExcelWorkbook::Holds(const TExcelSheet* sheet) const
{
    for (const auto& own : FSheets)
        if (own.get() == sheet)
            return true;
    return false;
}

// ---------------------------------------------------------------------------------------------
// Writing.

namespace {

lxw_format_alignments HorizontalOf(int alignment)
{
    switch (alignment) {
    case xlLeft: return LXW_ALIGN_LEFT;
    case xlRight: return LXW_ALIGN_RIGHT;
    case xlCenter: return LXW_ALIGN_CENTER;
    default: return LXW_ALIGN_NONE;
    }
}

lxw_format_alignments VerticalOf(int alignment)
{
    switch (alignment) {
    case xlTop: return LXW_ALIGN_VERTICAL_TOP;
    case xlCenter: return LXW_ALIGN_VERTICAL_CENTER;
    case xlBottom: return LXW_ALIGN_VERTICAL_BOTTOM;
    default: return LXW_ALIGN_NONE;
    }
}

lxw_format_borders BorderOf(int weight)
{
    switch (weight) {
    case xlHairline: return LXW_BORDER_HAIR;
    case xlThin: return LXW_BORDER_THIN;
    case xlMediumWeight: return LXW_BORDER_MEDIUM;
    case xlThick: return LXW_BORDER_THICK;
    default: return LXW_BORDER_NONE;
    }
}

// One writer format per distinct set of properties.
class TFormatCache {
public:
    explicit TFormatCache(lxw_workbook* workbook) : FWorkbook(workbook) {}

    // nullptr for a format that sets nothing (the writer's default).
    lxw_format* Get(const TExcelFormat& f)
    {
        if (f == TExcelFormat{})
            return nullptr;
        const QString key = QStringLiteral("%1|%2|%3|%4|%5|%6|%7")
                                .arg(f.FontSize.value_or(0))
                                .arg(f.FontStyles.value_or(0))
                                .arg(f.BorderWeight.value_or(0))
                                .arg(f.HorizontalAlignment.value_or(0))
                                .arg(f.VerticalAlignment.value_or(0))
                                .arg(f.WrapText.value_or(false) ? 1 : 0)
                                .arg(f.NumberFormat.value_or(QString()));
        const auto it = FFormats.find(key);
        if (it != FFormats.end())
            return it->second;
        lxw_format* format = workbook_add_format(FWorkbook);
        if (!format)
            Raise(SWriteFailed, {QStringLiteral("format")});
        if (f.FontSize)
            format_set_font_size(format, *f.FontSize);
        const TFontStyles styles = f.FontStyles.value_or(0);
        if (styles & fsBold)
            format_set_bold(format);
        if (styles & fsItalic)
            format_set_italic(format);
        if (styles & fsUnderline)
            format_set_underline(format, LXW_UNDERLINE_SINGLE);
        if (styles & fsStrikeOut)
            format_set_font_strikeout(format);
        if (f.BorderWeight)
            format_set_border(format, BorderOf(*f.BorderWeight));
        if (f.HorizontalAlignment && HorizontalOf(*f.HorizontalAlignment) != LXW_ALIGN_NONE)
            format_set_align(format, HorizontalOf(*f.HorizontalAlignment));
        if (f.VerticalAlignment && VerticalOf(*f.VerticalAlignment) != LXW_ALIGN_NONE)
            format_set_align(format, VerticalOf(*f.VerticalAlignment));
        if (f.WrapText.value_or(false))
            format_set_text_wrap(format);
        if (f.NumberFormat && !f.NumberFormat->isEmpty())
            format_set_num_format(format, f.NumberFormat->toUtf8().constData());
        FFormats.emplace(key, format);
        return format;
    }

private:
    lxw_workbook* FWorkbook;
    std::map<QString, lxw_format*> FFormats;
};

// The writer's failures in the program's words, its own text after them. Only its file and
// archive failures come with a system error number; a full disk is told as such, whichever
// step of the writing met it.
QString WriteFailureText(lxw_error error, int systemError)
{
    const QString own = QString::fromUtf8(lxw_strerror(error));
    const TResString* step = nullptr;
    switch (error) {
    case LXW_ERROR_MEMORY_MALLOC_FAILED:
        return LoadResString(SBookNoMemory) + QStringLiteral(" (") + own + QLatin1Char(')');
    case LXW_ERROR_CREATING_XLSX_FILE: step = &SBookCreateFailed; break;
    case LXW_ERROR_CREATING_TMPFILE: step = &SBookTempFailed; break;
    case LXW_ERROR_READING_TMPFILE: step = &SBookTempReadFailed; break;
    case LXW_ERROR_ZIP_FILE_OPERATION:
    case LXW_ERROR_ZIP_PARAMETER_ERROR:
    case LXW_ERROR_ZIP_BAD_ZIP_FILE:
    case LXW_ERROR_ZIP_INTERNAL_ERROR:
    case LXW_ERROR_ZIP_FILE_ADD:
    case LXW_ERROR_ZIP_CLOSE: step = &SBookPackFailed; break;
    default:
        // A value the writer refuses: our checks come first, so its own text is the detail.
        return own;
    }
    QString reason;
    switch (systemError) {
    case ENOSPC:
    case EDQUOT:
    case EFBIG: reason = SystemErrorText(systemError); break;
    case 0: reason = LoadResString(*step); break;
    default: reason = LoadResString(*step) + QStringLiteral(": ") + SystemErrorText(systemError); break;
    }
    return reason + QStringLiteral(" (") + own + QLatin1Char(')');
}

void Check(lxw_error error, int systemError = 0)
{
    if (error != LXW_NO_ERROR)
        Raise(SWriteFailed, {WriteFailureText(error, systemError)});
}

} // namespace

void TExcelWorkbook::SaveAs(const QString& fileName, const QString& tempFolder) const
{
    const QByteArray path = QFile::encodeName(fileName);
    QByteArray folder = QFile::encodeName(tempFolder);
    lxw_workbook_options options{};
    options.constant_memory = LXW_FALSE;
    options.tmpdir = folder.isEmpty() ? nullptr : folder.data();
    options.use_zip64 = LXW_FALSE;
    lxw_workbook* workbook = workbook_new_opt(path.constData(), &options);
    if (!workbook)
        Raise(SWriteFailed, {fileName});
    try {
        TFormatCache formats(workbook);
        for (const auto& sheet : FSheets) {
            lxw_worksheet* worksheet =
                workbook_add_worksheet(workbook, sheet->Name().toUtf8().constData());
            if (!worksheet)
                Raise(SBadSheetName, {sheet->Name()});
            if (sheet->Orientation() == xlPortrait)
                worksheet_set_portrait(worksheet);
            else if (sheet->Orientation() == xlLandscape)
                worksheet_set_landscape(worksheet);
            for (const auto& [index, column] : sheet->ColumnMap()) {
                lxw_format* format = formats.Get(column.Format);
                if (!column.Width && !format)
                    continue;
                const auto c = static_cast<lxw_col_t>(index - 1);
                Check(worksheet_set_column(worksheet, c, c, column.Width.value_or(LXW_DEF_COL_WIDTH),
                                           format));
            }
            for (const auto& [key, cell] : sheet->CellMap()) {
                const TExcelColumn* column = sheet->Column(key.second);
                const TExcelFormat merged =
                    column ? column->Format.MergedWith(cell.Format) : cell.Format;
                lxw_format* format = formats.Get(merged);
                const auto r = static_cast<lxw_row_t>(key.first - 1);
                const auto c = static_cast<lxw_col_t>(key.second - 1);
                switch (cell.Kind) {
                case TExcelCell::TKind::Number:
                    Check(worksheet_write_number(worksheet, r, c, cell.Number, format));
                    break;
                case TExcelCell::TKind::Text:
                    Check(worksheet_write_string(worksheet, r, c, cell.Text.toUtf8().constData(),
                                                 format));
                    break;
                case TExcelCell::TKind::Empty:
                    if (format)
                        Check(worksheet_write_blank(worksheet, r, c, format));
                    break;
                }
            }
        }
    } catch (...) {
        lxw_workbook_free(workbook);
        throw;
    }
    // The file is written only here; the system's error number of a failed write is read
    // before anything else can change it.
    errno = 0;
    const lxw_error closed = workbook_close(workbook);
    Check(closed, errno);
}

// ---------------------------------------------------------------------------------------------

TExcelWorkbook* TExcelApplication::AddWorkbook()
{
    // The file is made here, exclusively, so that its name is this workbook's alone and no
    // existing file is ever written over.
    QTemporaryFile file(TempFolder + QStringLiteral("/" TAVRIX_PROGRAM_NAME "-XXXXXX.xlsx"));
    file.setAutoRemove(false);
    if (TempFolder.isEmpty() || !file.open())
        Raise(SNoTempFile, {TempFolder, FileErrorText(file)});
    const QString fileName = file.fileName();
    file.close();
    FWorkbooks.push_back(std::make_unique<TExcelWorkbook>(fileName));
    return FWorkbooks.back().get();
}
