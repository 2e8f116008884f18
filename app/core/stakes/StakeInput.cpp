#include "app/core/stakes/StakeInput.h"

#include "engine/PrjConst.h"
#include "platform/DelphiText.h"
#include "platform/ResString.h"
#include "platform/WordUtils.h"

#include <algorithm>

namespace {

const TResString SLastDrawTooLarge = RESSTR("StakeInput", "Номер последнего тиража превышает %d!");

const QString& StakeDelimiters()
{
    static const QString delimiters = QStringLiteral(",;");
    return delimiters;
}

} // namespace

QStringList StakeWords(const QString& text)
{
    QStringList words;
    const int count = WordCount(text, StakeDelimiters());
    words.reserve(count);
    for (int n = 1; n <= count; ++n)
        words.append(ExtractWord(n, text, StakeDelimiters()).trimmed());
    return words;
}

std::int64_t StakeSum(const QString& text)
{
    std::int64_t sum = 0;
    for (const QString& word : StakeWords(text))
        sum += StrToNum(word);
    return sum;
}

bool ParseStakeDigits(const QString& text, TDigitsRec& digits)
{
    const QStringList words = StakeWords(text);
    if (words.size() != 2)
        return false;
    TDigitsRec parsed;
    parsed.Count = 2;
    for (int i = 0; i < 2; ++i) {
        // A word that is not a number is refused rather than read as 0: "a;1" is a typing
        // slip, not the combination 0;1.
        int value = 0;
        if (!TryStrToInt(words[i], value) || value < DigitMin || value > DigitMax)
            return false;
        parsed.Digits[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(value);
    }
    digits = parsed;
    return true;
}

QString StakeDigitsText(const TDigitsRec& digits)
{
    QStringList parts;
    for (int i = 0; i < digits.UsedCount(); ++i)
        parts.append(QString::number(digits.Digits[static_cast<std::size_t>(i)]));
    return parts.join(QLatin1Char(';'));
}

bool StakeDrawRangeFits(std::int64_t firstDraw, std::int64_t drawCount)
{
    const std::int64_t count = std::max<std::int64_t>(drawCount, 1);
    if (firstDraw < 1 || firstDraw > MaxStakeDrawNumber || count > MaxStakeDrawNumber)
        return false;
    return firstDraw + count - 1 <= MaxStakeDrawNumber;
}

QString StakeDrawRangeError()
{
    return Format(LoadResString(SLastDrawTooLarge), {MaxStakeDrawNumber});
}
