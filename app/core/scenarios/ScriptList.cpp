#include "app/core/scenarios/ScriptList.h"

#include "app/core/scenarios/KelmaScr.h"
#include "engine/KelmaMsg.h"
#include "platform/Cp1251.h"
#include "platform/DelphiText.h"
#include "platform/Exceptions.h"
#include "platform/ReadFile.h"
#include "platform/WordUtils.h"
#include "platform/SaveFile.h"
#include "support/RDialogs.h"
#include "support/RStrUtils.h"
#include "support/RVclUtils.h"

#include <QDir>
#include <QFile>

#include <algorithm>

namespace {

// The largest scenario file read: a scenario of a thousand lines of a thousand characters each
// is 1 MB, and the ones people write are a small part of that.
constexpr qint64 MaxScriptFileBytes = 16 * 1024 * 1024;

} // namespace

// ---------------------------------------------------------------------------------------------
// Files.

QByteArray ScriptLinesToBytes(const QStringList& lines)
{
    return EncodeCp1251(JoinTextLines(lines));
}

QStringList ScriptLinesFromBytes(const QByteArray& bytes)
{
    return SplitTextLines(DecodeCp1251(bytes));
}

QStringList ScriptRowTexts(const QString& line, const TStatList& methods)
{
    QStringList texts;
    texts.reserve(ScriptRowColumnCount);
    if (IsScriptSeparatorLine(line)) {
        for (int i = 0; i < ScriptRowColumnCount; ++i)
            texts.append(QString());
        return texts;
    }
    texts.append(GetScriptLineComment(line));
    texts.append(ScriptOptionsCaption(ParseScriptOptions(GetScriptLineOptions(line))));
    for (int n = 1; n <= ScriptFilterCount; ++n)
        texts.append(FilterItemText(ParseFilterItem(GetScriptLineFilter(line, n), methods)));
    return texts;
}

// ---------------------------------------------------------------------------------------------
// The list.

TScriptList::TScriptList(const QString& folder)
    : FCurrentFileName(QDir(folder).filePath(QLatin1String(CurrentFileBaseName)))
{
}

QStringList TScriptList::RowTexts(int row, const TStatList& methods) const
{
    return ScriptRowTexts(ValidRow(row) ? FScriptLines.at(row) : QString(), methods);
}

void TScriptList::Changed()
{
    if (OnChanged)
        OnChanged();
}

bool TScriptList::Commit(const QStringList& before)
{
    if (SaveCurrentScript())
        return true;
    FScriptLines = before;
    Changed();
    return false;
}

int TScriptList::AddScriptLine(const QString& text)
{
    const QStringList before = FScriptLines;
    FScriptLines.append(text);
    Changed();
    if (!Commit(before))
        return -1;
    return Count() - 1;
}

bool TScriptList::SetScriptLine(int index, const QString& text)
{
    if (!ValidRow(index))
        throw Exception(Format(LoadResString(rsRecordNotFound), {index}));
    const QStringList before = FScriptLines;
    FScriptLines[index] = text;
    Changed();
    return Commit(before);
}

QString TScriptList::GetScriptLine(int index) const
{
    if (!ValidRow(index))
        throw Exception(Format(LoadResString(rsRecordNotFound), {index}));
    return FScriptLines.at(index);
}

// ---------------------------------------------------------------------------------------------
// Files.

bool TScriptList::LoadScriptFile(const QString& fileName, bool append)
{
    bool ok = false;
    {
        TBusyScope busy(Format(LoadResString(rsLoadingFile), {fileName}));
        try {
            const QByteArray bytes = ReadRegularFile(fileName, MaxScriptFileBytes);
            const QStringList lines = ScriptLinesFromBytes(bytes);
            if (append && !FScriptLines.isEmpty()) {
                if (!lines.isEmpty()) {
                    if (!FScriptLines.last().isEmpty())
                        FScriptLines.append(QString());
                    FScriptLines += lines;
                }
            } else {
                FScriptLines = lines;
            }
            ok = true;
        } catch (const std::exception& e) {
            ErrorBox(Format(LoadResString(rsFileReadError), {fileName, ExceptionText(e)}));
        }
        Changed();
    }
    return ok;
}

bool TScriptList::SaveScriptFile(const QString& fileName)
{
    bool ok = false;
    {
        TBusyScope busy(Format(LoadResString(rsSavingFile), {fileName}));
        try {
            SaveFileAtomic(fileName, ScriptLinesToBytes(FScriptLines));
            ok = true;
        } catch (const std::exception& e) {
            ErrorBox(Format(LoadResString(rsFileWriteError), {fileName, ExceptionText(e)}));
        }
        Changed();
    }
    return ok;
}

bool TScriptList::LoadCurrentScript()
{
    if (!QFile::exists(FCurrentFileName))
        return false;
    return LoadScriptFile(FCurrentFileName, false);
}

bool TScriptList::SaveCurrentScript()
{
    return SaveScriptFile(FCurrentFileName);
}

// ---------------------------------------------------------------------------------------------
// Commands.

TScriptCommandResult TScriptList::Open()
{
    QString fileName;
    if (!PromptFile
        || !PromptFile(false, LoadResString(rsScriptFilesFilter), QLatin1String(FileDefaultExt), fileName))
        return {};
    const QStringList before = FScriptLines;
    if (!LoadScriptFile(fileName, false) || !Commit(before))
        return {};
    return {true, -1};
}

TScriptCommandResult TScriptList::Merge()
{
    QString fileName;
    if (!PromptFile
        || !PromptFile(false, LoadResString(rsScriptFilesFilter), QLatin1String(FileDefaultExt), fileName))
        return {};
    const QStringList before = FScriptLines;
    if (!LoadScriptFile(fileName, true) || !Commit(before))
        return {};
    return {true, -1};
}

bool TScriptList::Save()
{
    if (!CanSave())
        return false;
    QString fileName;
    if (!PromptFile
        || !PromptFile(true, LoadResString(rsScriptFilesFilter), QLatin1String(FileDefaultExt), fileName))
        return false;
    return SaveScriptFile(fileName);
}

bool TScriptList::AcceptDialogLine(const QString& line) const
{
    // A "|" typed into a comment or a filter would cut the line into other fields, and a line
    // break would make two lines of the file.
    if (ScriptFieldBreakCount(line) <= ScriptLineFieldBreaks && !line.contains(QLatin1Char('\r'))
        && !line.contains(QLatin1Char('\n')))
        return true;
    ErrorBox(Format(LoadResString(rsCannotAddLine), {QuotedExcerpt(line)}));
    return false;
}

TScriptCommandResult TScriptList::AppendFromDialog(const QString& start)
{
    QString line = start;
    if (!EditLine || !EditLine(line, LoadResString(rsNewLineTitle)) || !AcceptDialogLine(line))
        return {};
    const int index = AddScriptLine(line);
    if (index < 0)
        return {};
    return {true, index};
}

TScriptCommandResult TScriptList::Add()
{
    return AppendFromDialog(QString());
}

TScriptCommandResult TScriptList::AddSeparator()
{
    if (!CanAddSeparator())
        return {};
    const int index = AddScriptLine(QString());
    if (index < 0)
        return {};
    return {true, index};
}

bool TScriptList::CanEdit(int row) const
{
    return ValidRow(row) && !IsScriptSeparatorLine(FScriptLines.at(row));
}

TScriptCommandResult TScriptList::Clone(int row)
{
    if (!CanEdit(row))
        return {};
    return AppendFromDialog(FScriptLines.at(row));
}

TScriptCommandResult TScriptList::Edit(int row)
{
    if (!CanEdit(row))
        return {};
    QString line = FScriptLines.at(row);
    if (!EditLine || !EditLine(line, LoadResString(rsEditLineTitle)) || !AcceptDialogLine(line))
        return {};
    if (!SetScriptLine(row, line))
        return {};
    return {true, row};
}

bool TScriptList::CanDelete(const QList<int>& rows) const
{
    return std::any_of(rows.begin(), rows.end(), [this](int row) { return ValidRow(row); });
}

TScriptCommandResult TScriptList::Delete(const QList<int>& rows)
{
    QList<int> doomed;
    for (const int row : rows)
        if (ValidRow(row) && !doomed.contains(row))
            doomed.append(row);
    if (doomed.isEmpty() || !DeleteQuery(static_cast<int>(doomed.size())))
        return {};
    // From the last row to the first, so that each index still names the line selected.
    std::sort(doomed.begin(), doomed.end(), std::greater<int>());
    const QStringList before = FScriptLines;
    {
        TBusyScope busy(LoadResString(rsDeletingLines));
        for (const int row : doomed)
            FScriptLines.removeAt(row);
        Changed();
    }
    if (!Commit(before))
        return {};
    return {true, -1};
}

TScriptCommandResult TScriptList::ClearAll()
{
    if (!CanClearAll() || !DeleteQuery(Count()))
        return {};
    const QStringList before = FScriptLines;
    {
        TBusyScope busy(LoadResString(rsDeletingLines));
        FScriptLines.clear();
        Changed();
    }
    if (!Commit(before))
        return {};
    return {true, -1};
}

TScriptCommandResult TScriptList::Swap(int row, int other)
{
    const QStringList before = FScriptLines;
    FScriptLines.swapItemsAt(row, other);
    Changed();
    if (!Commit(before))
        return {};
    return {true, other};
}

TScriptCommandResult TScriptList::MoveUp(int row)
{
    if (!CanMoveUp(row))
        return {};
    return Swap(row, row - 1);
}

TScriptCommandResult TScriptList::MoveDown(int row)
{
    if (!CanMoveDown(row))
        return {};
    return Swap(row, row + 1);
}
