#include "app/core/combs/CombList.h"

#include "engine/KelmaMsg.h"
#include "platform/Cp1251.h"
#include "platform/DelphiText.h"
#include "platform/ReadFile.h"
#include "platform/SaveFile.h"
#include "platform/WordUtils.h"
#include "support/RDialogs.h"
#include "support/RStrUtils.h"
#include "support/RVclUtils.h"

#include <QRegularExpression>
#include <QStringList>

#include <algorithm>
#include <climits>
#include <vector>

namespace {

// The largest combination list read: the 100 combinations a line each are some 700 bytes, and a
// list with every line repeated many times over stays far below.
constexpr qint64 MaxCombsFileBytes = 1024 * 1024;

const TResString SBadDigitLines = RESSTR(
    "CombList",
    "В файле комбинаций \"%s\" пропущено строк с числами вне диапазона от 0 до 9: %d.");

// A word of a file's line as a digit: a word that is no number counts as 0 (that is how the
// file format has always been read, and a list file is not refused for it); a number outside
// 0..9, whatever its length, is no digit (-1).
int FileDigit(const QString& word)
{
    // The integer forms StrToNum reads, at any length: one too long for it is still a number.
    static const QRegularExpression number(QStringLiteral("^[+-]?(\\$[0-9A-Fa-f]+|0[xX][0-9A-Fa-f]+|[0-9]+)$"));
    int value = 0;
    if (!TryStrToInt(word, value))
        return number.match(word).hasMatch() ? -1 : 0;
    return value >= DigitMin && value <= DigitMax ? value : -1;
}

// Reads the two words of a file's line split at the delimiters; false unless there are
// exactly two and both are digits.
enum class TLineKind { NotAPair, BadDigits, Comb };

TLineKind ParseDigitPair(const QString& line, const QString& delimiters, TCombWord& comb)
{
    if (WordCount(line, delimiters) != 2)
        return TLineKind::NotAPair;
    const int d1 = FileDigit(ExtractWord(1, line, delimiters).trimmed());
    const int d2 = FileDigit(ExtractWord(2, line, delimiters).trimmed());
    if (d1 < 0 || d2 < 0)
        return TLineKind::BadDigits;
    comb = MakeComb(static_cast<std::uint8_t>(d1), static_cast<std::uint8_t>(d2));
    return TLineKind::Comb;
}

} // namespace

// ---------------------------------------------------------------------------------------------
// Store.

int CombsUsed(const TCombList& list)
{
    const int size = static_cast<int>(std::min<size_t>(list.Items.size(), INT_MAX));
    return std::clamp(list.Count, 0, size);
}

void SetCombsCapacity(TCombList& list, int n, int count)
{
    if (n > 0 && static_cast<size_t>(n) > list.Items.size())
        list.Items.resize(static_cast<size_t>(n));
    list.Count = std::clamp(count, 0, static_cast<int>(list.Items.size()));
}

void AppendComb(TCombList& list, TCombWord comb)
{
    const int count = CombsUsed(list);
    if (static_cast<size_t>(count) == list.Items.size())
        list.Items.resize(std::max<size_t>(list.Items.size() * 2, CombinationsTotal));
    list.Items[static_cast<size_t>(count)] = comb;
    list.Count = count + 1;
}

void CopyCombList(const TCombList& from, TCombList& to)
{
    const int count = CombsUsed(from);
    if (&from == &to)
        return;
    if (to.Items.size() < static_cast<size_t>(count))
        to.Items.resize(static_cast<size_t>(count));
    std::copy_n(from.Items.begin(), count, to.Items.begin());
    to.Count = count;
}

TCombsArray CombsOf(const TCombList& list)
{
    return TCombsArray(list.Items.begin(), list.Items.begin() + CombsUsed(list));
}

// ---------------------------------------------------------------------------------------------
// Files.

QByteArray CombsToBytes(const TCombsArray& combs)
{
    QString text;
    for (const TCombWord comb : combs)
        text += NumToStr(CombDigit1(comb)) + QLatin1Char(';') + NumToStr(CombDigit2(comb))
                + QLatin1String("\r\n");
    return EncodeCp1251(text);
}

TCombsFileContents CombsFromBytes(const QByteArray& bytes)
{
    static const QString delimiters = QStringLiteral(",;");
    TCombsFileContents contents;
    for (const QString& line : SplitTextLines(DecodeCp1251(bytes))) {
        if (line.isEmpty())
            continue;
        TCombWord comb = 0;
        switch (ParseDigitPair(line, delimiters, comb)) {
        case TLineKind::Comb:
            contents.Combs.push_back(comb);
            break;
        case TLineKind::BadDigits:
            ++contents.BadDigitLines;
            break;
        case TLineKind::NotAPair:
            break;
        }
    }
    return contents;
}

bool ReadDigitWord(const QString& word, std::uint8_t& digit)
{
    const QString text = word.trimmed();
    if (text.isEmpty())
        return false;
    int value = 0;
    for (const QChar c : text) {
        if (c < u'0' || c > u'9')
            return false;
        value = value * 10 + (c.unicode() - u'0');
        if (value > DigitMax)
            return false;
    }
    digit = static_cast<std::uint8_t>(value);
    return true;
}

TCombWord PastedLineToComb(const QString& line)
{
    static const QString delimiters = QStringLiteral("\t ,-.:;|");
    std::uint8_t d1 = 0;
    std::uint8_t d2 = 0;
    if (WordCount(line, delimiters) != 2 || !ReadDigitWord(ExtractWord(1, line, delimiters), d1)
        || !ReadDigitWord(ExtractWord(2, line, delimiters), d2))
        throw Exception(Format(LoadResString(rsBadCombination), {QuotedExcerpt(line)}));
    return MakeComb(d1, d2);
}

// ---------------------------------------------------------------------------------------------
// The list.

TCombWord TCombListOps::Comb(int i) const
{
    return i >= 0 && i < Count() ? FState.FCombs.Items[static_cast<size_t>(i)] : TCombWord{0};
}

void TCombListOps::ClearCombs()
{
    FState.FCombs.Clear();
}

bool TCombListOps::CombInList(TCombWord comb) const
{
    const TCombList& combs = FState.FCombs;
    const auto end = combs.Items.begin() + CombsUsed(combs);
    return std::find(combs.Items.begin(), end, comb) != end;
}

void TCombListOps::SaveUndo(bool showStatus)
{
    std::optional<TBusyScope> busy;
    if (showStatus)
        busy.emplace(LoadResString(rsCreatingUndo));
    CopyCombList(FState.FCombs, FState.FUndoCombs);
}

void TCombListOps::RestoreUndo(bool showStatus)
{
    std::optional<TBusyScope> busy;
    if (showStatus)
        busy.emplace(LoadResString(rsUndoing));
    CopyCombList(FState.FUndoCombs, FState.FCombs);
    FState.FUndoCombs.Count = 0;
    RefreshCombsView();
}

void TCombListOps::ClearUndo()
{
    FState.FUndoCombs.Count = 0;
}

void TCombListOps::SaveBuffer(int key1, int key2)
{
    if (FState.FCombsBufferKey[0] == key1 && FState.FCombsBufferKey[1] == key2)
        return;
    ShowInStatusBar(LoadResString(rsCreatingBuffer));
    FState.FCombsBufferKey = {key1, key2};
    CopyCombList(FState.FCombs, FState.FCombsBuffer);
}

bool TCombListOps::LoadBuffer(int key1, int key2)
{
    if (FState.FCombsBufferKey[0] != key1 || FState.FCombsBufferKey[1] != key2
        || CombsUsed(FState.FCombsBuffer) <= 0)
        return false;
    try {
        ShowInStatusBar(LoadResString(rsLoadingBuffer));
        CopyCombList(FState.FCombsBuffer, FState.FCombs);
        RefreshCombsView();
        return true;
    } catch (const std::exception& e) {
        ErrorBox(Format(LoadResString(rsBufferLoadError), {ExceptionText(e)}));
        return false;
    }
}

void TCombListOps::ClearBufferKey()
{
    FState.FCombsBufferKey = {-1, -1};
    FState.FCombsBuffer.Count = 0;
}

void TCombListOps::DeleteCombsOfLastDraws(int n)
{
    if (n < 0)
        n = 0;
    TBusyScope busy(Format(LoadResString(rsDeletingLastDraws), {n}));
    const TCombList& undo = FState.FUndoCombs;
    const int undoCount = CombsUsed(undo);
    const TDrawsArray& draws = FState.FDraws;

    // The n newest draws of the analysed range; an empty range for n = 0 or no draws in it.
    int first = 0;
    int last = -1;
    if (n > 0) {
        last = static_cast<int>(draws.size()) - 1 - FState.DrawsOffset();
        first = n > last ? 0 : last - n + 1;
    }

    TCombList& combs = FState.FCombs;
    SetCombsCapacity(combs, undoCount, 0);
    const int step = std::max(1, undoCount / 100);
    const QString progress = LoadResString(rsDeletingLastDrawsProgress);
    for (int i = 0; i < undoCount; ++i) {
        const TCombWord comb = undo.Items[static_cast<size_t>(i)];
        bool drawn = false;
        for (int j = first; j <= last && !drawn; ++j) {
            const TDrawRec& draw = draws[static_cast<size_t>(j)];
            drawn = draw.Digits[0] == CombDigit1(comb) && draw.Digits[1] == CombDigit2(comb);
        }
        if (!drawn)
            combs.Items[static_cast<size_t>(combs.Count++)] = comb;
        if (i % step == 0)
            ShowInStatusBar(Format(progress, {n, (i + 1) * 100.0 / undoCount}));
    }
    AddFilterHistory(true, LoadResString(rsHistoryLastDraws), IntToStr(n));
    RefreshCombsView();
}

void TCombListOps::DeleteSelectedCombs(const QList<int>& rows)
{
    TBusyScope busy(LoadResString(rsDeletingSelectedCombs));
    const TCombList& undo = FState.FUndoCombs;
    const int undoCount = CombsUsed(undo);
    std::vector<bool> selected(static_cast<size_t>(undoCount), false);
    int selectedCount = 0;
    for (const int row : rows)
        if (row >= 0 && row < undoCount && !selected[static_cast<size_t>(row)]) {
            selected[static_cast<size_t>(row)] = true;
            ++selectedCount;
        }

    TCombList& combs = FState.FCombs;
    SetCombsCapacity(combs, undoCount, 0);
    for (int i = 0; i < undoCount; ++i)
        if (!selected[static_cast<size_t>(i)])
            combs.Items[static_cast<size_t>(combs.Count++)] = undo.Items[static_cast<size_t>(i)];
    AddFilterHistory(true, LoadResString(rsHistorySelectedCombs), IntToStr(selectedCount));
    RefreshCombsView();
}

// ---------------------------------------------------------------------------------------------
// Files.

bool TCombListOps::ReadCombsFile(const QString& fileName, int* badDigitLines)
{
    if (badDigitLines)
        *badDigitLines = 0;
    TCombList& combs = FState.FCombs;
    combs.Count = 0;
    try {
        const QByteArray bytes = ReadRegularFile(fileName, MaxCombsFileBytes);
        const TCombsFileContents contents = CombsFromBytes(bytes);
        const int count = static_cast<int>(contents.Combs.size());
        SetCombsCapacity(combs, count, 0);
        std::copy(contents.Combs.begin(), contents.Combs.end(), combs.Items.begin());
        combs.Count = count;
        if (badDigitLines)
            *badDigitLines = contents.BadDigitLines;
        return true;
    } catch (const std::exception& e) {
        combs.Count = 0;
        ErrorBox(Format(LoadResString(rsFileReadError), {fileName, ExceptionText(e)}));
        return false;
    }
}

bool TCombListOps::WriteCombsFile(const QString& fileName)
{
    try {
        SaveFileAtomic(fileName, CombsToBytes(CombsOf(FState.FCombs)));
        return true;
    } catch (const std::exception& e) {
        ErrorBox(Format(LoadResString(rsFileWriteError), {fileName, ExceptionText(e)}));
        return false;
    }
}

QString TCombListOps::BadDigitLinesText(const QString& fileName, int count)
{
    return count > 0 ? Format(LoadResString(SBadDigitLines), {fileName, count}) : QString();
}

// ---------------------------------------------------------------------------------------------
// Commands.

bool TCombListOps::OpenCombsFile(const QString& fileName)
{
    SaveUndo(true);
    bool ok = false;
    int badDigitLines = 0;
    {
        TBusyScope busy(Format(LoadResString(rsLoadingFile), {fileName}));
        ok = ReadCombsFile(fileName, &badDigitLines);
        if (!ok)
            RestoreUndo(false);
        ClearUndo();
        ClearFilterHistory();
        RefreshCombsView();
    }
    if (badDigitLines > 0)
        WarningBox(BadDigitLinesText(fileName, badDigitLines));
    return ok;
}

bool TCombListOps::SaveCombsFile(const QString& fileName)
{
    TBusyScope busy(Format(LoadResString(rsSavingFile), {fileName}));
    return WriteCombsFile(fileName);
}

void TCombListOps::Undo()
{
    RestoreUndo(true);
    RemoveLastFilterHistory();
}

void TCombListOps::DeleteLastDraws(int n)
{
    SaveUndo(true);
    DeleteCombsOfLastDraws(n);
}

void TCombListOps::DeleteSelected(const QList<int>& rows)
{
    SaveUndo(true);
    DeleteSelectedCombs(rows);
}

QString TCombListOps::CopyText(const QList<int>& rows) const
{
    QString text;
    for (const int row : rows)
        if (row >= 0 && row < Count())
            text += CombToDisplayStr(Comb(row)) + QLatin1Char('\n');
    return text;
}

bool TCombListOps::PasteText(const QString& text)
{
    TBusyScope busy(LoadResString(rsPleaseWait));
    const QStringList lines = SplitTextLines(text);
    if (lines.isEmpty())
        return false;
    SaveUndo(false);
    bool complete = false;
    TCombList& combs = FState.FCombs;
    try {
        SetCombsCapacity(combs, static_cast<int>(lines.size()), 0);
        for (const QString& line : lines)
            combs.Items[static_cast<size_t>(combs.Count++)] = PastedLineToComb(line);
        complete = true;
    } catch (const std::exception& e) {
        ErrorBox(ExceptionText(e));
        CopyCombList(FState.FUndoCombs, combs);
    }
    ClearUndo();
    if (complete)
        ClearFilterHistory();
    RefreshCombsView();
    return complete;
}

int TCombListOps::CountDistinctDigits() const
{
    return ::CountDistinctDigits(FState.FCombs.Items, Count());
}

QString TCombListOps::DistinctDigitsText() const
{
    return Format(LoadResString(rsUniqueNumbersInfo), {CountDistinctDigits()});
}

void TCombListOps::CheckNums()
{
    TBusyScope busy(LoadResString(rsPleaseWait));
    InfoBox(DistinctDigitsText());
}

QString TCombListOps::FindInDrawsText(TCombWord comb) const
{
    // More than 25 draws found ends the search: the box lists at most 26.
    constexpr int MaxListed = 25;
    QStringList found;
    const TDrawsArray& draws = FState.FDraws;
    for (auto draw = draws.rbegin(); draw != draws.rend() && found.size() <= MaxListed; ++draw)
        if (draw->Digits[0] == CombDigit1(comb) && draw->Digits[1] == CombDigit2(comb))
            found.append(DrawToText(*draw));
    if (found.isEmpty())
        return LoadResString(rsCombNotFoundInDraws);
    return LoadResString(rsCombFoundInDraws) + QLatin1String("\n\n") + found.join(QLatin1Char('\n'));
}

void TCombListOps::FindInDraws(int row)
{
    if (row < 0 || row >= Count())
        return;
    TBusyScope busy(LoadResString(rsSearchingDraws));
    InfoBox(FindInDrawsText(Comb(row)));
}

// ---------------------------------------------------------------------------------------------
// Applied filters.

void TCombListOps::SetFilterHistory(const QList<TFilterHistoryRow>& rows)
{
    FHistory = rows;
    HistoryChanged();
}

void TCombListOps::ClearFilterHistory()
{
    FHistory.clear();
    HistoryChanged();
}

void TCombListOps::AddFilterHistory(bool success, const QString& caption, const QString& values)
{
    FHistory.append({caption, values, Count(), success ? HistoryImageSuccess : HistoryImagePlain});
    HistoryChanged();
}

void TCombListOps::AddUndoHistory()
{
    FHistory.append({LoadResString(rsHistoryUndo), QString(), Count(), HistoryImageUndo});
    HistoryChanged();
}

void TCombListOps::RemoveLastFilterHistory()
{
    if (FHistory.isEmpty())
        return;
    FHistory.removeLast();
    HistoryChanged();
}

void TCombListOps::HistoryChanged()
{
    if (OnHistoryChanged)
        OnHistoryChanged();
}

// ---------------------------------------------------------------------------------------------
// Display.

void TCombListOps::RefreshCombsView()
{
    if (OnCombsChanged)
        OnCombsChanged(Count());
}

QString TCombListOps::CombCountText() const
{
    return Format(LoadResString(rsStatusCombCount), {Count()});
}

TCombRow TCombListOps::CombRow(int i) const
{
    TCombRow row;
    if (i < 0 || i >= Count())
        return row;
    const TCombWord comb = Comb(i);
    row.Number = QString::number(i + 1);
    row.Digit1 = NumToStr(CombDigit1(comb));
    row.Digit2 = NumToStr(CombDigit2(comb));
    row.Sum = SumToStr(CombDigit1(comb) + CombDigit2(comb));
    if (FState.Options.Flag(TMainOptions::ColorCombs)) {
        const int channel = FState.StatList().Config().ChannelSize;
        row.Background = CombsPlainColor;
        row.DigitColor1 = ChannelColor(CombDigit1(comb), channel);
        row.DigitColor2 = ChannelColor(CombDigit2(comb), channel);
    }
    return row;
}
