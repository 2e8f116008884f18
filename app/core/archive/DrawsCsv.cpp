#include "app/core/archive/DrawsCsv.h"

#include "app/core/archive/DrawLookups.h"
#include "engine/PrjConst.h"
#include "platform/Cp1251.h"
#include "platform/DelphiText.h"
#include "platform/Exceptions.h"
#include "platform/ReadFile.h"
#include "platform/ResString.h"
#include "platform/SaveFile.h"
#include "platform/SysErrorText.h"
#include "support/RDateUtils.h"
#include "support/RDialogs.h"
#include "support/RVclUtils.h"

#include <QHash>
#include <QIODevice>
#include <QSet>

#include <algorithm>
#include <array>
#include <limits>
#include <vector>

namespace {

const TResString SImporting = RESSTR("DrawsCsv", "Импорт тиражей из файла \"%s\"...");
const TResString SExporting = RESSTR("DrawsCsv", "Экспорт тиражей в файл \"%s\"...");
const TResString SFilter = RESSTR("DrawsCsv", "Файлы тиражей (*.csv)|*.csv");
const TResString SOpenError = RESSTR("DrawsCsv", "Не удалось открыть файл \"%s\"\n\n%s");
const TResString SReadError = RESSTR("DrawsCsv", "Ошибка чтения файла \"%s\"\n\n%s");
const TResString SAdded = RESSTR("DrawsCsv", "Добавлено тиражей: %d");
const TResString SSkipped = RESSTR("DrawsCsv", "Пропущено строк: %d");
const TResString SSkippedFormat = RESSTR("DrawsCsv", "неверный формат строки: %d");
const TResString SSkippedDigits = RESSTR("DrawsCsv", "цифры вне 0..9: %d");
const TResString SSkippedBadDate = RESSTR("DrawsCsv", "дата тиража не читается: %d");
const TResString SSkippedFuture = RESSTR("DrawsCsv", "дата и время тиража позже текущих: %d");
const TResString SSkippedStored = RESSTR("DrawsCsv", "тираж уже есть в архиве: %d");
const TResString SSkippedConflict =
    RESSTR("DrawsCsv", "тираж с теми же датой и временем уже есть в архиве с другими числами: %d");
const TResString SSkippedOlder = RESSTR("DrawsCsv", "тираж старше последнего тиража архива: %d");
const TResString SSkippedNumber = RESSTR("DrawsCsv", "номер тиража не больше номера последнего тиража архива: %d");

constexpr int MaxKeyLength = 12;
constexpr qint64 ReadChunk = 64 * 1024;

// Blanks, tabs and the other control characters: they separate fields, as ';' does.
bool IsSeparatorChar(QChar c)
{
    return c.unicode() >= 1 && c.unicode() <= 32;
}

// A line of nothing but characters 0..32.
bool IsBlankLine(const QString& line)
{
    for (const QChar c : line)
        if (c.unicode() > 32)
            return false;
    return true;
}

// The key as the archive keeps it, for comparison without regard to letter case.
QString KeyOf(const TDrawRec& draw)
{
    return draw.Key.Get().toUpper();
}

}  // namespace

QStringList SplitDrawsCsvLine(const QString& line)
{
    // A NUL ends the text, as it ends a C string.
    const qsizetype nul = line.indexOf(QChar(0));
    const qsizetype end = nul < 0 ? line.size() : nul;
    QStringList fields;
    qsizetype at = 0;
    while (at < end && IsSeparatorChar(line[at]))
        ++at;
    while (at < end) {
        QString field;
        if (line[at] == QLatin1Char('"')) {
            ++at;
            while (at < end) {
                if (line[at] == QLatin1Char('"')) {
                    if (at + 1 < end && line[at + 1] == QLatin1Char('"')) {
                        field += QLatin1Char('"');
                        at += 2;
                        continue;
                    }
                    ++at;
                    break;
                }
                field += line[at++];
            }
        } else {
            const qsizetype start = at;
            while (at < end && line[at] != QLatin1Char(';') && !IsSeparatorChar(line[at]))
                ++at;
            field = line.mid(start, at - start);
        }
        fields.append(field);
        while (at < end && IsSeparatorChar(line[at]))
            ++at;
        if (at < end && line[at] == QLatin1Char(';')) {
            if (at + 1 == end)
                fields.append(QString());
            ++at;
            while (at < end && IsSeparatorChar(line[at]))
                ++at;
        }
    }
    return fields;
}

QString DrawToCsvLine(const TDrawRec& draw)
{
    QString key = draw.Key.Get();
    key.replace(QLatin1Char('"'), QLatin1String("\"\""));
    return QString::number(draw.Number) + QLatin1String(";\"") + key + QLatin1String("\";")
           + QString::number(draw.Digits[0]) + QLatin1Char(';') + QString::number(draw.Digits[1]);
}

QByteArray DrawsToCsvBytes(const TDrawsArray& draws)
{
    QString text;
    text.reserve(static_cast<qsizetype>(draws.size()) * 24);
    for (const TDrawRec& draw : draws)
        text += DrawToCsvLine(draw) + QLatin1String("\r\n");
    return EncodeCp1251(text);
}

TDrawsImportPlan PlanDrawsImport(const TDrawsArray& stored, const QByteArray& fileBytes, TDateTime now)
{
    TDrawsImportPlan plan;
    // A sound line: its number (0 for a 3-field line, numbered at its turn) and its draw.
    struct TOffer {
        std::int64_t Number = 0;
        TDrawRec Draw;
        TDateTime Moment = 0;
    };
    std::vector<TOffer> offers;

    // Line breaks are CR, LF or both; the empty lines between CR and LF are blank.
    const QByteArray bom("\xEF\xBB\xBF");
    const QString text = DecodeCp1251(fileBytes.startsWith(bom) ? fileBytes.mid(bom.size()) : fileBytes);
    qsizetype start = 0;
    while (start <= text.size()) {
        qsizetype stop = start;
        while (stop < text.size() && text[stop] != QLatin1Char('\r') && text[stop] != QLatin1Char('\n'))
            ++stop;
        const QString line = text.mid(start, stop - start);
        start = stop + 1;
        if (IsBlankLine(line))
            continue;
        ++plan.Lines;

        const QStringList fields = SplitDrawsCsvLine(line);
        if (fields.size() != 3 && fields.size() != 4) {
            ++plan.SkippedFormat;
            continue;
        }
        const qsizetype first = fields.size() - 3;   // the key's field
        TOffer offer;
        if (fields.size() == 4) {
            // The record holds an unsigned 32-bit number: what export writes reads back.
            if (!TryStrToInt64(fields[0], offer.Number))
                offer.Number = 0;
            if (offer.Number <= 0 || offer.Number > std::numeric_limits<std::uint32_t>::max()) {
                ++plan.SkippedFormat;
                continue;
            }
        }
        const int digit1 = ReadDrawDigit(fields[first + 1]);
        const int digit2 = ReadDrawDigit(fields[first + 2]);
        if (digit1 < 0 || digit2 < 0) {
            ++plan.SkippedDigits;
            continue;
        }
        offer.Draw.Digits = {static_cast<std::uint8_t>(digit1), static_cast<std::uint8_t>(digit2)};
        offer.Draw.Key.Set(fields[first].left(MaxKeyLength));
        if (!ReadDrawKey(offer.Draw.Key.Get(), offer.Moment)) {
            ++plan.SkippedBadDate;
            continue;
        }
        if (offer.Moment > now) {
            ++plan.SkippedFuture;
            continue;
        }
        offers.push_back(offer);
    }

    // A file may list the newest draw first: taken in file order, every draw after the first
    // would look old. Lines of one moment keep their file order, so the first of them is the
    // one taken.
    std::stable_sort(offers.begin(), offers.end(), [](const TOffer& a, const TOffer& b) { return a.Moment < b.Moment; });
    // The keys held, stored or added, with their digits.
    QHash<QString, std::array<std::uint8_t, 2>> keys;
    QSet<std::uint32_t> numbers;
    for (const TDrawRec& draw : stored) {
        keys.insert(KeyOf(draw), draw.Digits);
        numbers.insert(draw.Number);
    }
    std::int64_t newest = stored.empty() ? 0 : stored.back().Number;
    TDateTime newestMoment = 0;
    if (!stored.empty() && !ReadDrawKey(stored.back().Key.Get(), newestMoment))
        newestMoment = 0;
    for (TOffer& offer : offers) {
        const std::int64_t number = offer.Number > 0 ? offer.Number : newest + 1;
        const QString key = KeyOf(offer.Draw);
        const auto held = keys.constFind(key);
        if (held != keys.cend() && *held != offer.Draw.Digits) {
            ++plan.SkippedConflict;
            continue;
        }
        if (held != keys.cend() || (offer.Number > 0 && numbers.contains(static_cast<std::uint32_t>(number)))) {
            ++plan.SkippedStored;
            continue;
        }
        if (!(offer.Moment > newestMoment)) {
            ++plan.SkippedOlder;
            continue;
        }
        // A 3-field line's number may be stored when edits left the numbers out of order.
        if (number <= newest || number > std::numeric_limits<std::uint32_t>::max()
            || numbers.contains(static_cast<std::uint32_t>(number))) {
            ++plan.SkippedNumber;
            continue;
        }
        offer.Draw.Number = static_cast<std::uint32_t>(number);
        plan.Added.push_back(offer.Draw);
        keys.insert(key, offer.Draw.Digits);
        numbers.insert(offer.Draw.Number);
        newest = number;
        newestMoment = offer.Moment;
    }
    return plan;
}

QByteArray ReadDrawsCsv(QIODevice& device, const QString& fileName)
{
    QByteArray bytes;
    QByteArray chunk(ReadChunk, Qt::Uninitialized);
    for (;;) {
        const qint64 n = device.read(chunk.data(), ReadChunk);
        if (n < 0)
            throw Exception(Format(LoadResString(SReadError), {fileName, FileErrorText(device)}));
        if (n == 0)
            break;
        bytes.append(chunk.constData(), static_cast<qsizetype>(n));
    }
    return bytes;
}

QByteArray ReadDrawsCsvFile(const QString& fileName)
{
    try {
        return ReadRegularFile(fileName, MaxDrawsCsvBytes);
    } catch (const EFileReadError& e) {
        throw Exception(Format(LoadResString(SOpenError), {fileName, e.Message()}));
    }
}

QString DrawsImportReport(const TDrawsImportPlan& plan)
{
    QString text = Format(LoadResString(SAdded), {static_cast<int>(plan.Added.size())});
    if (plan.Skipped() == 0)
        return text;
    text += QLatin1String("\n\n") + Format(LoadResString(SSkipped), {plan.Skipped()});
    const std::pair<int, const TResString*> parts[] = {
        {plan.SkippedFormat, &SSkippedFormat},
        {plan.SkippedDigits, &SSkippedDigits},
        {plan.SkippedBadDate, &SSkippedBadDate},
        {plan.SkippedFuture, &SSkippedFuture},
        {plan.SkippedStored, &SSkippedStored},
        {plan.SkippedConflict, &SSkippedConflict},
        {plan.SkippedOlder, &SSkippedOlder},
        {plan.SkippedNumber, &SSkippedNumber},
    };
    for (const auto& [count, res] : parts)
        if (count > 0)
            text += QLatin1String("\n- ") + Format(LoadResString(*res), {count});
    return text;
}

QString TDrawsCsvExchange::FileFilter()
{
    return LoadResString(SFilter);
}

QString TDrawsCsvExchange::DefaultExt()
{
    return QStringLiteral("csv");
}

std::optional<TDrawsImportPlan> TDrawsCsvExchange::Import()
{
    QString fileName;
    if (!PromptFile || !PromptFile(false, FileFilter(), DefaultExt(), fileName))
        return std::nullopt;
    TDrawsImportPlan plan;
    {
        TBusyScope busy(Format(LoadResString(SImporting), {fileName}));
        // The whole file first: a read error part-way leaves the archive as it was.
        const QByteArray bytes = OpenFile ? ReadDrawsCsv(*OpenFile(fileName), fileName) : ReadDrawsCsvFile(fileName);
        plan = PlanDrawsImport(FState.FDraws, bytes, ClockNow());
        const size_t before = FState.FDraws.size();
        FArchive.AppendDraws(plan.Added);
        FArchive.SaveAppendedDraws(before);
        if (!plan.Added.empty())
            FState.RefreshViews(false);
    }
    InfoBox(DrawsImportReport(plan));
    return plan;
}

bool TDrawsCsvExchange::Export()
{
    QString fileName;
    if (!PromptFile || !PromptFile(true, FileFilter(), DefaultExt(), fileName))
        return false;
    TBusyScope busy(Format(LoadResString(SExporting), {fileName}));
    SaveFileAtomic(fileName, DrawsToCsvBytes(FState.FDraws));
    return true;
}
