#include "engine/KelmaUtils.h"

#include "engine/KelmaMsg.h"
#include "platform/DelphiText.h"
#include "platform/WordUtils.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

// Counts are whole numbers computed in floating point; anything past the 64-bit range is
// held at its largest value instead of being converted undefined.
std::int64_t RoundCount(long double value)
{
    constexpr long double limit = 9223372036854775807.0L;
    if (!(value < limit))
        return std::numeric_limits<std::int64_t>::max();
    if (!(value > -limit))
        return std::numeric_limits<std::int64_t>::min();
    return Round(value);
}

bool IsDigit(int d)
{
    return d >= DigitMin && d <= DigitMax;
}

// Channel colours, 0x00BBGGRR, for channels 1 to 19.
constexpr std::array<std::uint32_t, 19> ChannelColors = {
    0x00AAFFAA, 0x00AAFFFF, 0x00FFFFAA, 0x00AAAAFF, 0x00FFAAAA, 0x00AAD5FF, 0x00FFAAD5,
    0x00D4D4D4, 0x00FFD5AA, 0x00D5AAFF, 0x00D5FFD5, 0x00D5FFFF, 0x00FFFFD5, 0x00D5D5FF,
    0x00FFD5D5, 0x00D5EAFF, 0x00FFD5EA, 0x00E9E9E9, 0x00FFEAD5,
};

constexpr std::uint32_t ColorRed = 0x000000FF;

} // namespace

// ---------------------------------------------------------------------------------------
// Counting and weights

long double BinomialCoef(int n, int k)
{
    if (k <= 0)
        return 1;
    // Past n one factor is zero, and so is every product after it.
    if (n >= 0 && k > n)
        return 0;
    long double result = 1;
    for (int i = 1; i <= k; ++i) {
        result = result * (static_cast<long double>(n) - i + 1) / i;
        if (!std::isfinite(result))
            break;
    }
    return result;
}

std::int64_t StakeCombCount(std::uint8_t k, std::uint8_t n)
{
    if (k <= n)
        return 1;
    return RoundCount(std::pow(static_cast<long double>(k), static_cast<long double>(n)));
}

std::int64_t MatchCombCount(std::uint8_t v, std::uint8_t n, std::uint8_t c)
{
    if (c >= v)
        return 1;
    const long double others = std::pow(static_cast<long double>(v) - 1, static_cast<long double>(n - c));
    return RoundCount(BinomialCoef(n, c) * others);
}

long double CalcStatWeight(const TStatWeights& weights, bool useDeviation, int hits, int expected,
                           int age, std::int64_t totalHits, int largestAge)
{
    // Differences and the products by 100 are taken in 64 bits: no table is large enough
    // for the 32-bit results to differ, and a wrap would only be a wrong weight.
    const std::int64_t deviation = useDeviation ? std::int64_t(hits) - expected : 0;

    long double ch;
    long double dh;
    long double ah;
    if (weights.UsePercents) {
        ch = totalHits == 0 ? 0.0L : static_cast<long double>(std::int64_t(hits) * 100) / totalHits;
        dh = (!useDeviation || expected == 0) ? 0.0L : static_cast<long double>(deviation * 100) / expected;
        ah = largestAge == 0 ? 0.0L : static_cast<long double>(std::int64_t(age) * 100) / largestAge;
    } else {
        ch = hits;
        dh = static_cast<long double>(deviation);
        ah = age;
    }
    if (weights.UseAbsValues) {
        ch = std::fabs(ch);
        dh = std::fabs(dh);
        ah = std::fabs(ah);
    }

    const long double result = weights.Count * ch + weights.Deviation * dh + weights.Level * ah;
    // Huge coefficients overflow and an infinite one times 0 is undefined; neither traps
    // here, so the error value is given explicitly.
    if (!std::isfinite(result))
        return -999.99L;
    return result;
}

// ---------------------------------------------------------------------------------------
// Digits, channels, segments and the draw matrix

int DigitGroupIndexOf(int d, int w)
{
    if (w < 1)
        return 0;
    // (d + 1) / w rounded up, also for a negative d.
    const std::int64_t x = std::int64_t(d) + 1;
    const std::int64_t q = x / w;
    return static_cast<int>((x % w != 0 && x > 0) ? q + 1 : q);
}

std::uint32_t ChannelColor(int d, int w)
{
    if (!IsDigit(d))
        return ColorRed;
    int channel = DigitGroupIndex(d, w);
    while (channel > int(ChannelColors.size()))
        channel -= int(ChannelColors.size());
    if (channel < 1)
        return ColorRed;
    return ChannelColors[channel - 1];
}

int DigitMatrixRow(int d, int cols)
{
    if (!IsDigit(d))
        return 0;
    return d / std::max(cols, 1) + 1;
}

int DigitMatrixCol(int d, int cols)
{
    if (!IsDigit(d))
        return 0;
    return d % std::max(cols, 1) + 1;
}

bool DrawHasDigit(int d, const TDrawRec& draw)
{
    return draw.Digits[0] == d || draw.Digits[1] == d;
}

bool DrawHasChannel(int g, const TDrawRec& draw, int w)
{
    return DigitGroupIndex(draw.Digits[0], w) == g || DigitGroupIndex(draw.Digits[1], w) == g;
}

bool DrawHasSegment(int s, const TDrawRec& draw, const TMatrixSegments& segments)
{
    for (int p = 0; p < DrawDigits; ++p) {
        const int digit = draw.Digits[p];
        if (IsDigit(digit) && segments[p][digit] == s)
            return true;
    }
    return false;
}

bool CombHasDigit(int d, TCombWord comb)
{
    return CombDigit1(comb) == d || CombDigit2(comb) == d;
}

bool ByteArrayContains(const TByteArray& list, std::uint8_t value)
{
    return std::find(list.begin(), list.end(), value) != list.end();
}

void ByteArrayAddUnique(TByteArray& list, std::uint8_t value)
{
    if (!ByteArrayContains(list, value))
        list.push_back(value);
}

void ByteArrayAppend(TByteArray& list, std::uint8_t value)
{
    list.push_back(value);
}

void CollectDistinctDigits(const TCombsArray& combs, int n, TByteArray& digits)
{
    digits.clear();
    const int last = static_cast<int>(std::min<std::int64_t>(n, static_cast<std::int64_t>(combs.size())));
    for (int i = 0; i < last && digits.size() < std::size_t(DigitValues); ++i) {
        ByteArrayAddUnique(digits, CombDigit1(combs[i]));
        if (digits.size() < std::size_t(DigitValues))
            ByteArrayAddUnique(digits, CombDigit2(combs[i]));
    }
}

int CountDistinctDigits(const TCombsArray& combs, int n)
{
    if (n < 1)
        return 0;
    TByteArray digits;
    CollectDistinctDigits(combs, n, digits);
    return static_cast<int>(digits.size());
}

void SortCombDigits(TCombWord& comb)
{
    if (CombDigit1(comb) > CombDigit2(comb))
        comb = MakeComb(CombDigit2(comb), CombDigit1(comb));
}

void SortDrawDigits(TDrawRec& draw)
{
    if (draw.Digits[0] > draw.Digits[1])
        std::swap(draw.Digits[0], draw.Digits[1]);
}

void SortDigitRec(TDigitsRec& rec)
{
    const int count = rec.UsedCount();
    for (int i = 1; i < count; ++i) {
        const std::uint8_t item = rec.Digits[i];
        int j = i;
        while (j > 0 && rec.Digits[j - 1] > item) {
            rec.Digits[j] = rec.Digits[j - 1];
            --j;
        }
        rec.Digits[j] = item;
    }
}

void SortIntListDesc(TIntArray& list)
{
    for (std::size_t i = 1; i < list.size(); ++i) {
        const std::int32_t item = list[i];
        std::size_t j = i;
        while (j > 0 && list[j - 1] < item) {
            list[j] = list[j - 1];
            --j;
        }
        list[j] = item;
    }
}

// ---------------------------------------------------------------------------------------
// Draws, combinations and stakes

TDigitsRec CombToDigitRec(TCombWord comb)
{
    TDigitsRec rec;
    rec.Count = 2;
    rec.Digits[0] = CombDigit1(comb);
    rec.Digits[1] = CombDigit2(comb);
    return rec;
}

QString CombToStr(TCombWord comb)
{
    return NumToStr(CombDigit1(comb)) + QLatin1Char(';') + NumToStr(CombDigit2(comb));
}

QString CombToDisplayStr(TCombWord comb)
{
    auto text = [](int digit) {
        const QString s = NumToStr(digit);
        return DigitTextsNumeric ? s.rightJustified(2, QLatin1Char('0')) : s;
    };
    return text(CombDigit1(comb)) + QLatin1Char(' ') + text(CombDigit2(comb));
}

TCombWord StrToComb(const QString& text)
{
    const QString delimiters = QStringLiteral("\t ,-.:;|");
    if (WordCount(text, delimiters) != 2)
        throw Exception(Format(LoadResString(rsBadCombination), {text}));
    // No range check here: callers that need digits 0..9 check them.
    const auto d1 = static_cast<std::uint8_t>(StrToNum(ExtractWord(1, text, delimiters).trimmed()));
    const auto d2 = static_cast<std::uint8_t>(StrToNum(ExtractWord(2, text, delimiters).trimmed()));
    return MakeComb(d1, d2);
}

QString DigitRecToStr(const TDigitsRec& rec, const QString& separator)
{
    QString result;
    for (int i = 0; i < rec.UsedCount(); ++i) {
        if (i > 0)
            result += separator;
        result += NumToStr(rec.Digits[i]);
    }
    return result;
}

QString DrawToText(const TDrawRec& draw)
{
    const QString digits = NumToStr(draw.Digits[0]) + QLatin1Char(';') + NumToStr(draw.Digits[1]);
    return Format(LoadResString(rsDrawText), {draw.Number, draw.Key.Get(), digits});
}

int CombMatchCount(const TDrawRec& draw, TCombWord comb)
{
    return int(draw.Digits[0] == CombDigit1(comb)) + int(draw.Digits[1] == CombDigit2(comb));
}

int DrawMatchCount(const TDrawRec& a, const TDrawRec& b)
{
    return int(a.Digits[0] == b.Digits[0]) + int(a.Digits[1] == b.Digits[1]);
}

TDigitsRec GetDrawMatches(const TDrawRec& a, const TDrawRec& b)
{
    TDigitsRec rec;
    for (int p = 0; p < DrawDigits; ++p) {
        if (a.Digits[p] == b.Digits[p])
            rec.Digits[rec.Count++] = a.Digits[p];
    }
    SortDigitRec(rec);
    return rec;
}

bool DigitRecsMatch(const TDigitsRec& a, const TDigitsRec& b)
{
    if (a.Count != b.Count)
        return false;
    const int count = a.UsedCount();
    return std::equal(a.Digits.begin(), a.Digits.begin() + count, b.Digits.begin());
}

QString StakeOriginCaption(int origin)
{
    switch (origin) {
    case 1: return LoadResString(rsOriginManual);
    case 2: return LoadResString(rsOriginRegular);
    case 3: return LoadResString(rsOriginScript);
    case 4: return LoadResString(rsOriginSystem);
    default: return QString();
    }
}

QString DeviationText(const QString& text, int n)
{
    int value = 0;
    if (!TryStrToInt(text, value) || value < 0)
        return QStringLiteral("-");
    const std::int64_t d = std::int64_t(value) - n;
    return d > 0 ? QLatin1Char('+') + QString::number(d) : QString::number(d);
}
