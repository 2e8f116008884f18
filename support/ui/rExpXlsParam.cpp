#include "support/ui/rExpXlsParam.h"

#include "platform/DelphiText.h"
#include "platform/IniFile.h"
#include "platform/ResString.h"
#include "platform/WordUtils.h"
#include "support/RMsgRu.h"
#include "support/RVclUtils.h"

#include <QLocale>

namespace {

const QString kRestoreParameters = QStringLiteral("RestoreParameters");
const QString kTitle = QStringLiteral("Title");
const QString kNotes = QStringLiteral("Notes");
const QString kShowCreateTime = QStringLiteral("ShowCreateTime");
const QString kSheetName = QStringLiteral("SheetName");
const QString kPageOrientation = QStringLiteral("PageOrientation");
const QString kBaseFontSize = QStringLiteral("BaseFontSize");

constexpr long double kDefaultExpXlsWidth = 10.0L;
constexpr double kMaxExpXlsWidth = 255.0;

constexpr int kItemFields = 6;

QString ItemKey(int position)
{
    return QStringLiteral("Item_%1").arg(position);
}

// The six fields of a saved column. The writer puts five ";" between them and a field may be
// empty (a column whose table gives it no caption): such a line's fields stand as written. Any
// other line is split as it always was, a run of ";" as one break and none at either end, so
// that every line that was read before is read the same. Empty when neither gives six fields.
QStringList ItemFields(const QString& item)
{
    const QChar separator = QLatin1Char(';');
    QStringList fields = item.split(separator);
    if (fields.size() == kItemFields)
        return fields;
    fields.clear();
    const QString delimiters(separator);
    if (WordCount(item, delimiters) != kItemFields)
        return fields;
    for (int n = 1; n <= kItemFields; ++n)
        fields.append(ExtractWord(n, item, delimiters));
    return fields;
}

// A saved check mark: a number (not 0 is true) or the words True and False; anything else
// keeps the current state.
bool ReadItemBool(const QString& text, bool current)
{
    int number = 0;
    if (TryStrToInt(text, number))
        return number != 0;
    if (text.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0)
        return true;
    if (text.compare(QLatin1String("false"), Qt::CaseInsensitive) == 0)
        return false;
    return current;
}

} // namespace

QString ExpAlignmentName(int code)
{
    // The export's codes are the alignments' own numbers.
    static_assert(kExpAlignLeft == 0 && kExpAlignRight == 1 && kExpAlignCenter == 2);
    return AlignmentName(ValidExpAlignment(code));
}

QStringList ExpAlignmentNames()
{
    return {ExpAlignmentName(kExpAlignLeft), ExpAlignmentName(kExpAlignRight), ExpAlignmentName(kExpAlignCenter)};
}

int ValidExpAlignment(int code)
{
    return code >= kExpAlignLeft && code <= kExpAlignCenter ? code : kExpAlignLeft;
}

QString ExpXlsSection(const QString& formName, const QString& tableName)
{
    const QLocale locale;
    return QStringLiteral("EXPORT_EXCEL_%1.%2").arg(locale.toUpper(formName), locale.toUpper(tableName));
}

QString ExpXlsWidthText(int pixels)
{
    return FormatFloat(QStringLiteral("0.00"), pixels / 8.0L);
}

bool IsExpXlsWidth(double width)
{
    return width >= 0.0 && width <= kMaxExpXlsWidth;
}

double ExpXlsWidth(const QString& widthText)
{
    const auto width = static_cast<double>(StrToFloatAnyDef(widthText, kDefaultExpXlsWidth));
    // A settings file is text anyone may edit: a width no workbook takes must not make every
    // later export of the table fail.
    return width >= 0.0 ? width : static_cast<double>(kDefaultExpXlsWidth);
}

QString FormatExpXlsItem(const TExpXlsColumn& column)
{
    // Joined rather than formatted: a caption may hold "%1" itself.
    const QChar separator = QLatin1Char(';');
    return QString::number(column.SourceIndex) + separator + column.SourceCaption.trimmed() + separator
           + column.Caption + separator + (column.Checked ? QStringLiteral("-1") : QStringLiteral("0"))
           + separator + QString::number(column.AlignCode) + separator + column.WidthText;
}

bool ApplyExpXlsItem(std::vector<TExpXlsColumn>& columns, int position, const QString& item)
{
    const QStringList fields = ItemFields(item);
    if (position < 0 || position >= static_cast<int>(columns.size()) || fields.isEmpty())
        return false;
    const int index = StrToIntDef(fields[0].trimmed(), -1);
    const QString key = fields[1].trimmed();
    const QString& caption = fields[2];
    // A blank caption is no dialog's choice: it stands only for a column that has none of its own.
    if (caption.trimmed().isEmpty() && !key.isEmpty())
        return false;

    // The first column with the saved source index, as the list looks its rows up; it counts
    // only when its source caption is the saved one, so a changed table ignores the entry.
    int found = -1;
    for (int i = 0; i < static_cast<int>(columns.size()); ++i) {
        if (columns[static_cast<size_t>(i)].SourceIndex == index) {
            found = i;
            break;
        }
    }
    if (found < 0 || columns[static_cast<size_t>(found)].SourceCaption.compare(key, Qt::CaseInsensitive) != 0)
        return false;

    TExpXlsColumn column = columns[static_cast<size_t>(found)];
    columns.erase(columns.begin() + found);
    column.Caption = caption;
    column.Checked = ReadItemBool(fields[3].trimmed(), column.Checked);
    column.AlignCode = ValidExpAlignment(StrToIntDef(fields[4].trimmed(), column.AlignCode));
    column.WidthText = fields[5].trimmed();
    // The list shows the width the column will get, an empty field included.
    if (!(StrToFloatAnyDef(column.WidthText, -1) >= 0))
        column.WidthText = FormatFloat(QStringLiteral("0.00"), kDefaultExpXlsWidth);
    columns.insert(columns.begin() + position, column);
    return true;
}

void ReadExpXlsParams(const TMemIniFile& ini, const QString& section, TExpXlsParams& params,
                      bool restore, bool overwriteTitle)
{
    if (!ini.SectionExists(section))
        return;
    if (restore) {
        params.RestoreParameters = ini.ReadBool(section, kRestoreParameters, params.RestoreParameters);
        if (!params.RestoreParameters)
            return;
    }
    if (overwriteTitle || params.Title.trimmed().isEmpty())
        params.Title = ini.ReadString(section, kTitle, params.Title);
    if (params.Notes.trimmed().isEmpty())
        params.Notes = ini.ReadString(section, kNotes, params.Notes);
    params.ShowCreateTime = ini.ReadBool(section, kShowCreateTime, params.ShowCreateTime);
    params.SheetName = ini.ReadString(section, kSheetName, params.SheetName);
    params.PageOrientation = ini.ReadInteger(section, kPageOrientation, params.PageOrientation);
    if (params.PageOrientation < 0 || params.PageOrientation > 2)
        params.PageOrientation = 0;
    params.BaseFontSize = ini.ReadInteger(section, kBaseFontSize, params.BaseFontSize);
    for (int i = 0; i < static_cast<int>(params.Columns.size()); ++i) {
        const QString item = ini.ReadString(section, ItemKey(i), QString());
        if (!item.isEmpty())
            ApplyExpXlsItem(params.Columns, i, item);
    }
}

void WriteExpXlsParams(TMemIniFile& ini, const QString& section, const TExpXlsParams& params, bool writeRestore)
{
    ini.EraseSection(section);
    if (writeRestore)
        ini.WriteBool(section, kRestoreParameters, params.RestoreParameters);
    ini.WriteString(section, kTitle, params.Title);
    ini.WriteString(section, kNotes, params.Notes);
    ini.WriteBool(section, kShowCreateTime, params.ShowCreateTime);
    ini.WriteString(section, kSheetName, params.SheetName);
    ini.WriteInteger(section, kPageOrientation, params.PageOrientation);
    ini.WriteInteger(section, kBaseFontSize, params.BaseFontSize);
    for (int i = 0; i < static_cast<int>(params.Columns.size()); ++i)
        ini.WriteString(section, ItemKey(i), FormatExpXlsItem(params.Columns[static_cast<size_t>(i)]));
}
