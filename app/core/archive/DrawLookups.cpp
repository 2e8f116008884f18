#include "app/core/archive/DrawLookups.h"

#include "engine/PrjConst.h"
#include "platform/DateTime.h"

namespace {

// Index of position i, or -1 outside the archive.
qsizetype IndexOfPosition(const TDrawsArray& draws, int i)
{
    const auto count = static_cast<qsizetype>(draws.size());
    if (i < 0 || i >= count)
        return -1;
    return count - 1 - i;
}

} // namespace

TCombWord GetDrawDigits(const TDrawsArray& draws, int i)
{
    const qsizetype index = IndexOfPosition(draws, i);
    if (index < 0)
        return 0;
    return DrawToComb(draws[static_cast<size_t>(index)]);
}

std::int64_t NextDrawNumber(const TDrawsArray& draws, int i)
{
    if (draws.empty())
        return 1;
    const qsizetype index = IndexOfPosition(draws, i);
    if (index < 0)
        return -1;
    return static_cast<std::int64_t>(draws[static_cast<size_t>(index)].Number) + 1;
}

QString GetDrawDigitsText(const TDrawsArray& draws, int i)
{
    if (draws.empty() || i < 1 || i >= static_cast<qsizetype>(draws.size()))
        return QString();
    const TDrawRec& next = draws[static_cast<size_t>(IndexOfPosition(draws, i - 1))];
    return NumToStr(next.Digits[0]) + QLatin1Char(';') + NumToStr(next.Digits[1]);
}

TDigitSet MakeDrawDigitSet(const TDrawsArray& draws, int i)
{
    TDigitSet set;
    if (draws.empty() || i < 1 || i >= static_cast<qsizetype>(draws.size()))
        return set;
    const TDrawRec& next = draws[static_cast<size_t>(IndexOfPosition(draws, i - 1))];
    set.set(next.Digits[0]);
    set.set(next.Digits[1]);
    return set;
}

int GetDrawDateInt(const TDrawsArray& draws, int i, int n)
{
    const qsizetype index = IndexOfPosition(draws, i);
    if (index < 0)
        return FirstDrawDateInt;
    const TDateTime date = ParseDrawDate(draws[static_cast<size_t>(index)].Key.Get());
    return DateToInt(IncDay(date, n));
}

int FindDrawByNumber(const TDrawsArray& draws, std::int64_t number)
{
    if (draws.empty())
        return -1;
    const auto count = static_cast<std::int64_t>(draws.size());
    const std::int64_t last = count - 1;
    const auto numberAt = [&draws](std::int64_t index) {
        return static_cast<std::int64_t>(draws[static_cast<size_t>(index)].Number);
    };
    const std::int64_t firstNumber = numberAt(0);
    const std::int64_t lastNumber = numberAt(last);
    if (number == firstNumber)
        return 0;
    if (number == lastNumber)
        return static_cast<int>(last);

    // Where the number would lie if numbers grew evenly. Edited draws can make the newest
    // number smaller than the oldest; then there is nothing to guess from.
    std::int64_t guess = last;
    const std::int64_t span = lastNumber - firstNumber + 1;
    if (span > 0) {
        const long double ratio = static_cast<long double>(number - firstNumber) / span;
        const long double scaled = count * ratio;
        // Truncated towards zero; a guess outside the archive starts at the newest draw.
        if (scaled > -1 && scaled < last + 1)
            guess = static_cast<std::int64_t>(scaled);
    }
    const std::int64_t atGuess = numberAt(guess);
    if (atGuess == number)
        return static_cast<int>(guess);
    const int step = number > atGuess ? 1 : -1;
    for (std::int64_t i = guess + step; i >= 0 && i <= last; i += step)
        if (numberAt(i) == number)
            return static_cast<int>(i);

    for (std::int64_t i = last; i >= 0; --i)
        if (numberAt(i) == number)
            return static_cast<int>(i);
    return -1;
}

int FindDrawByText(const TDrawsArray& draws, const QString& text, int n)
{
    const auto last = static_cast<qsizetype>(draws.size()) - 1;
    qsizetype lowest = 0;
    if (n > 0 && last - n > 0)
        lowest = last - n;
    for (qsizetype i = last; i >= lowest; --i)
        if (draws[static_cast<size_t>(i)].Key.Get().compare(text, Qt::CaseInsensitive) == 0)
            return static_cast<int>(i);
    return -1;
}

int ReadDrawDigit(const QString& cell)
{
    return cell.size() == 1 && cell[0] >= QLatin1Char('0') && cell[0] <= QLatin1Char('9') ? cell[0].unicode() - '0'
                                                                                           : -1;
}

bool ReadDrawKey(const QString& key, TDateTime& moment)
{
    if (key.size() != 12 || key.at(2) != QLatin1Char('/') || key.at(5) != QLatin1Char('/') || key.at(10) != QLatin1Char(' '))
        return false;
    for (const int i : {0, 1, 3, 4, 6, 7, 8, 9})
        if (key.at(i) < QLatin1Char('0') || key.at(i) > QLatin1Char('9'))
            return false;
    const QChar letter = key.at(11).toUpper();
    if (letter != QLatin1Char(DrawLetterMidday) && letter != QLatin1Char(DrawLetterEvening))
        return false;
    const int month = key.mid(0, 2).toInt();
    const int day = key.mid(3, 2).toInt();
    const int year = key.mid(6, 4).toInt();
    // The years the draw-date text reads; outside them a key reads as day 0.
    if (year < 1901 || year > 2998 || !IsValidDate(year, month, day))
        return false;
    moment = StrToDrawDate(key);
    return true;
}
