#include "app/core/archive/DrawArchive.h"

#include "app/core/archive/DrawFile.h"
#include "app/core/archive/DrawLookups.h"
#include "app/core/files/RecordFile.h"
#include "engine/KelmaMsg.h"
#include "engine/PrjConst.h"
#include "platform/DelphiText.h"
#include "platform/Exceptions.h"
#include "platform/WordUtils.h"
#include "support/RDateUtils.h"
#include "support/RDialogs.h"
#include "support/RVclUtils.h"

#include <algorithm>
#include <cstddef>

namespace {

const TResString SArchiveRepaired = RESSTR(
    "DrawArchive", "Файл тиражей \"%s\" поврежден: %s, файл записан заново.\n\nКопия исходного файла сохранена как \"%s\".");
const TResString SArchiveNotRepaired = RESSTR(
    "DrawArchive", "Файл тиражей \"%s\" поврежден: %s. Исправить файл не удалось, он оставлен как есть.\n\n%s");
const TResString STornDropped = RESSTR("DrawArchive", "последние %d байт не составляют целой записи и отброшены");
const TResString STornIgnored = RESSTR("DrawArchive", "последние %d байт не составляют целой записи и не учитываются");
const TResString SBadDigitsDropped =
    RESSTR("DrawArchive", "записи(ей) с числами вне диапазона 0..9 пропущены и удалены: %d (%s)");
const TResString SBadDigitsIgnored =
    RESSTR("DrawArchive", "записи(ей) с числами вне диапазона 0..9 пропущены: %d (%s)");
const TResString SNumberNotAbovePrevious = RESSTR(
    "DrawArchive", "Номер тиража %d должен быть больше номера предыдущего тиража архива (тираж %d, \"%s\")!\n\n"
                   "Укажите больший номер тиража.");
const TResString SNumberNotBelowNext = RESSTR(
    "DrawArchive", "Номер тиража %d должен быть меньше номера следующего тиража архива (тираж %d, \"%s\")!\n\n"
                   "Укажите меньший номер тиража.");

// How many skipped draws the message names; the count tells the rest.
constexpr int kNamedBadDraws = 5;

bool HasBadDigits(const TDrawRec& draw)
{
    return draw.Digits[0] > DigitMax || draw.Digits[1] > DigitMax;
}

void CheckDigits(const TDrawRec& draw)
{
    if (draw.Digits[0] > DigitMax || draw.Digits[1] > DigitMax)
        throw Exception(LoadResString(rsBadCombinationEntered));
}

// The archive's order, which every change of it keeps: numbers and moments rise strictly from
// each draw to the next. The draw, whose key reads as `moment`, follows `before` and precedes
// `after` (either may be missing); `newest` says it is added after every stored draw. A
// neighbour whose key does not read sets no bound on the moment, so that a damaged key can be
// mended draw by draw.
TDrawCheck CheckDrawOrder(const TDrawRec& draw, TDateTime moment, const TDrawRec* before, const TDrawRec* after,
                          bool newest)
{
    const auto refuse = [&draw](TDrawRefusal refusal, const TResString& text, const TDrawRec& other, bool byNumber) {
        const TVarRec first = byNumber ? TVarRec(static_cast<qint64>(draw.Number)) : TVarRec(draw.Key.Get());
        return TDrawCheck{refusal,
                          Format(LoadResString(text), {first, static_cast<qint64>(other.Number), other.Key.Get()})};
    };
    if (before && !(draw.Number > before->Number))
        return newest ? refuse(TDrawRefusal::NumberNotAbove, rsDrawNumberNotAbove, *before, true)
                      : refuse(TDrawRefusal::NumberOutOfOrder, SNumberNotAbovePrevious, *before, true);
    if (after && !(draw.Number < after->Number))
        return refuse(TDrawRefusal::NumberOutOfOrder, SNumberNotBelowNext, *after, true);
    TDateTime at = 0;
    if (before && ReadDrawKey(before->Key.Get(), at) && !(moment > at))
        return newest ? refuse(TDrawRefusal::NotNewer, rsDrawNotNewer, *before, false)
                      : refuse(TDrawRefusal::OutOfOrder, rsDrawNotAfterPrevious, *before, false);
    if (after && ReadDrawKey(after->Key.Get(), at) && !(moment < at))
        return refuse(TDrawRefusal::OutOfOrder, rsDrawNotBeforeNext, *after, false);
    // Numbers start at 1. A draw that follows another is held above that one's number already;
    // this bounds the oldest draw and the first one of an empty archive.
    if (draw.Number < 1)
        return {TDrawRefusal::BadNumber, Format(LoadResString(rsDrawBadNumber), {static_cast<qint64>(draw.Number)})};
    return {};
}

} // namespace

void TDrawArchive::AppendDraws(const TDrawsArray& draws)
{
    const TDrawRec* before = FState.FDraws.empty() ? nullptr : &FState.FDraws.back();
    for (const TDrawRec& draw : draws) {
        CheckDigits(draw);
        TDateTime moment = 0;
        if (!ReadDrawKey(draw.Key.Get(), moment))
            throw Exception(Format(LoadResString(rsDrawBadDate), {draw.Key.Get()}));
        const TDrawCheck check = CheckDrawOrder(draw, moment, before, nullptr, true);
        if (check.Refused())
            throw Exception(check.Message);
        before = &draw;
    }
    FState.FDraws.insert(FState.FDraws.end(), draws.begin(), draws.end());
}

TArchiveLoadReport TDrawArchive::LoadDrawsFile()
{
    TArchiveLoadReport report;
    const QString fileName = FState.DrawsFileName();
    {
        TBusyScope busy(LoadResString(rsLoadingDrawsFile));
        TDrawFileContents contents = ReadDrawsFile(fileName);
        if (!contents.Exists)
            return report;
        report.FileFound = true;
        report.ExtraBytes = contents.ExtraBytes;
        TDrawsArray sound;
        sound.reserve(contents.Records.size());
        for (const TDrawRec& draw : contents.Records) {
            if (HasBadDigits(draw))
                report.BadDigitDraws.append(QString::number(draw.Number) + QLatin1Char(' ') + draw.Key.Get());
            else
                sound.push_back(draw);
        }
        contents.Records = std::move(sound);
        report.Records = static_cast<int>(contents.Records.size());
        if (report.Damaged()) {
            // The copy comes first: the rewrite drops the damaged bytes for good.
            try {
                // Only a torn file's bytes were kept by the read; a copy must hold the original.
                if (contents.ExtraBytes == 0)
                    contents.Original = ReadWholeFile(fileName, MaxDrawsFileBytes).value_or(QByteArray());
                report.BackupFile = BackupDamagedFile(fileName, contents.Original);
                WriteDrawsFile(fileName, contents.Records);
                report.Repaired = true;
            } catch (const std::exception& e) {
                report.RepairError = ExceptionText(e);
            }
        }
        FState.FDraws = std::move(contents.Records);
        FState.UpdateDrawsInfo(true);
    }
    return report;
}

QString TDrawArchive::DamageText(const TArchiveLoadReport& report, const QString& fileName)
{
    if (!report.Damaged())
        return QString();
    QStringList parts;
    if (report.ExtraBytes > 0)
        parts.append(Format(LoadResString(report.Repaired ? STornDropped : STornIgnored), {report.ExtraBytes}));
    if (!report.BadDigitDraws.isEmpty()) {
        QStringList named = report.BadDigitDraws.mid(0, kNamedBadDraws);
        if (report.BadDigitDraws.size() > kNamedBadDraws)
            named.append(QStringLiteral("..."));
        parts.append(Format(LoadResString(report.Repaired ? SBadDigitsDropped : SBadDigitsIgnored),
                            {static_cast<int>(report.BadDigitDraws.size()), named.join(QStringLiteral(", "))}));
    }
    const QString what = parts.join(QStringLiteral("; "));
    if (report.Repaired)
        return Format(LoadResString(SArchiveRepaired), {fileName, what, report.BackupFile});
    return Format(LoadResString(SArchiveNotRepaired), {fileName, what, report.RepairError});
}

void TDrawArchive::SaveDrawsFile()
{
    TBusyScope busy(LoadResString(rsSavingDrawsFile));
    WriteDrawsFile(FState.DrawsFileName(), FState.FDraws);
    FState.UpdateDrawsInfo(true);
}

template <typename TUndo>
void TDrawArchive::SaveOrUndo(TUndo undo)
{
    try {
        SaveDrawsFile();
    } catch (...) {
        // The list, the panels and the file must agree: the change is taken back before the
        // error is reported, or the draw would look saved and be gone after a restart.
        undo(FState.FDraws);
        FState.UpdateDrawsInfo(true);
        throw;
    }
}

void TDrawArchive::SaveDrawsFileOrRestore(TDrawsArray previous)
{
    SaveOrUndo([&previous](TDrawsArray& draws) { draws = std::move(previous); });
}

void TDrawArchive::SaveAppendedDraws(size_t previousCount)
{
    SaveOrUndo([previousCount](TDrawsArray& draws) {
        if (draws.size() > previousCount)
            draws.erase(draws.begin() + static_cast<std::ptrdiff_t>(previousCount), draws.end());
    });
}

void TDrawArchive::DeleteDrawRecord(int index)
{
    TDrawsArray& draws = FState.FDraws;
    if (index < 0 || index >= static_cast<int>(draws.size()))
        throw Exception(Format(LoadResString(rsRecordNotFound), {index}));
    draws.erase(draws.begin() + index);
}

TDrawRec TDrawArchive::NewDrawRecord() const
{
    TDrawRec draw;
    draw.Number = static_cast<std::uint32_t>(FState.NextDrawNumber(0));
    TDateTime newest = 0;
    if (!FState.FDraws.empty() && ReadDrawKey(FState.FDraws.back().Key.Get(), newest)) {
        const TDateTime next = DrawAfter(newest);
        draw.Key.Set(MakeDrawKey(next, next));
    }
    return draw;
}

TDrawCheck TDrawArchive::CheckDraw(const TDrawRec& draw, int index) const
{
    const TDrawsArray& draws = FState.FDraws;
    const QString key = draw.Key.Get();
    const auto refuse = [](TDrawRefusal refusal, const QString& message) { return TDrawCheck{refusal, message}; };
    // The others, newest first: the number and the key are looked for among every one of them.
    for (qsizetype i = static_cast<qsizetype>(draws.size()) - 1; i >= 0; --i) {
        const TDrawRec& other = draws[static_cast<size_t>(i)];
        if (i != index && other.Number == draw.Number)
            return refuse(TDrawRefusal::NumberTaken, Format(LoadResString(rsDrawNumberTaken),
                                                            {static_cast<qint64>(draw.Number), other.Key.Get()}));
    }
    TDateTime moment = 0;
    if (!ReadDrawKey(key, moment))
        return refuse(TDrawRefusal::BadDate, Format(LoadResString(rsDrawBadDate), {key}));
    // Today's evening draw is not held in the morning: its key's time counts, not only its day.
    if (moment > ClockNow())
        return refuse(TDrawRefusal::DateAfterToday, Format(LoadResString(rsDrawDateAfterToday), {key}));
    for (qsizetype i = static_cast<qsizetype>(draws.size()) - 1; i >= 0; --i) {
        const TDrawRec& other = draws[static_cast<size_t>(i)];
        if (i != index && other.Key.Get().compare(key, Qt::CaseInsensitive) == 0)
            return refuse(TDrawRefusal::KeyTaken,
                          Format(LoadResString(rsDrawKeyTaken), {key, static_cast<qint64>(other.Number)}));
    }
    const auto at = [&draws](qsizetype i) {
        return i >= 0 && i < static_cast<qsizetype>(draws.size()) ? &draws[static_cast<size_t>(i)] : nullptr;
    };
    const qsizetype before = index < 0 ? static_cast<qsizetype>(draws.size()) - 1 : index - 1;
    return CheckDrawOrder(draw, moment, at(before), index < 0 ? nullptr : at(index + 1), index < 0);
}

void TDrawArchive::AddDraw(const TDrawRec& draw)
{
    CheckDigits(draw);
    const TDrawCheck check = CheckDraw(draw, -1);
    if (check.Refused())
        throw Exception(check.Message);
    FState.FDraws.push_back(draw);
    SaveAppendedDraws(FState.FDraws.size() - 1);
    FState.RefreshViews(false);
}

void TDrawArchive::EditDraw(int index, const TDrawRec& draw)
{
    CheckDigits(draw);
    if (index < 0 || index >= static_cast<int>(FState.FDraws.size()))
        throw Exception(Format(LoadResString(rsRecordNotFound), {index}));
    const TDrawCheck check = CheckDraw(draw, index);
    if (check.Refused())
        throw Exception(check.Message);
    TDrawRec& stored = FState.FDraws[static_cast<size_t>(index)];
    const TDrawRec previous = stored;
    stored = draw;
    SaveOrUndo([index, &previous](TDrawsArray& draws) { draws[static_cast<size_t>(index)] = previous; });
    FState.RefreshViews(false);
}

bool TDrawArchive::DeleteDraws(const QList<int>& indexes)
{
    if (indexes.isEmpty() || !DeleteQuery(static_cast<int>(indexes.size())))
        return false;
    TBusyScope busy(LoadResString(rsDeletingDraws));
    for (const int index : indexes)
        if (index < 0 || index >= static_cast<int>(FState.FDraws.size()))
            throw Exception(Format(LoadResString(rsRecordNotFound), {index}));
    TDrawsArray previous = FState.FDraws;
    QList<int> order = indexes;
    std::sort(order.begin(), order.end(), std::greater<int>());
    order.erase(std::unique(order.begin(), order.end()), order.end());
    for (const int index : order)
        DeleteDrawRecord(index);
    FState.UpdateDrawsInfo(false);
    SaveDrawsFileOrRestore(std::move(previous));
    FState.RefreshViews(false);
    return true;
}

int TDrawArchive::IndexOfRow(int row) const
{
    const int count = static_cast<int>(FState.FDraws.size());
    if (row < 0 || row >= count)
        return -1;
    return count - 1 - row;
}

void TDrawArchive::ToggleSortedDraws()
{
    {
        TBusyScope busy;
        FState.WriteOption(TMainOptions::SortedDraws, !FState.Options.Flag(TMainOptions::SortedDraws));
    }
    FState.RefreshViews(true);
}

TDrawRow TDrawArchive::DrawRow(int row) const
{
    TDrawRow result;
    const int index = IndexOfRow(row);
    if (index < 0)
        return result;
    TDrawRec draw = FState.FDraws[static_cast<size_t>(index)];
    if (FState.Options.Flag(TMainOptions::SortedDraws))
        SortDrawDigits(draw);
    result.Number = QString::number(draw.Number);
    result.Digit1 = NumToStr(draw.Digits[0]);
    result.Digit2 = NumToStr(draw.Digits[1]);
    result.Sum = SumToStr(draw.Digits[0] + draw.Digits[1]);
    result.Key = draw.Key.Get();
    result.Current = row == FState.DrawsOffset();
    if (result.Current)
        result.Background = CurrentDrawColor;
    if (FState.Options.Flag(TMainOptions::ColorDraws)) {
        if (!result.Current)
            result.Background = PlainDrawColor;
        const int channel = FState.StatList().Config().ChannelSize;
        result.DigitColor1 = ChannelColor(draw.Digits[0], channel);
        result.DigitColor2 = ChannelColor(draw.Digits[1], channel);
    }
    return result;
}

bool ParseDrawDigitsText(const QString& text, std::uint8_t& digit1, std::uint8_t& digit2)
{
    const QString delimiters = QStringLiteral(",;");
    if (WordCount(text, delimiters) != 2)
        return false;
    int values[2] = {0, 0};
    for (int i = 0; i < 2; ++i) {
        const QString word = ExtractWord(i + 1, text, delimiters).trimmed();
        if (!TryStrToInt(word, values[i]) || values[i] < DigitMin || values[i] > DigitMax)
            return false;
    }
    digit1 = static_cast<std::uint8_t>(values[0]);
    digit2 = static_cast<std::uint8_t>(values[1]);
    return true;
}

QString DrawDigitsText(const TDrawRec& draw)
{
    return NumToStr(draw.Digits[0]) + QLatin1Char(';') + NumToStr(draw.Digits[1]);
}

QString MakeDrawKey(TDateTime date, TDateTime time)
{
    TShortString<12> key;
    key.Set(FormatDrawDate(DateOf(date) + TimeOf(time)));
    return key.Get();
}
