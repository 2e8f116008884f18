#include "platform/DelphiText.h"
#include "platform/ResString.h"

#include <QLocale>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>
#include <optional>
#include <string>

namespace {

const TResString SInvalidInteger = RESSTR("DelphiText", "'%s' не является допустимым целым числом");
const TResString SInvalidFloat = RESSTR("DelphiText", "'%s' не является допустимым числом");
const TResString SInvalidOp = RESSTR("DelphiText", "Invalid floating point operation");

bool IsBlank(QChar c)
{
    return c == QLatin1Char(' ') || c == QLatin1Char('\t');
}

int HexValue(QChar c)
{
    const char16_t u = c.unicode();
    if (u >= '0' && u <= '9')
        return u - '0';
    if (u >= 'a' && u <= 'f')
        return u - 'a' + 10;
    if (u >= 'A' && u <= 'F')
        return u - 'A' + 10;
    return -1;
}

// Blanks before, sign, decimal or '$'/"0x" hexadecimal digits, nothing after. Decimal values
// are range checked against the signed type; hexadecimal ones may use every bit of it, the
// pattern then being read as two's complement ($FFFFFFFF is -1 for 32 bits), which is how stored
// hexadecimal values are meant.
std::optional<std::int64_t> ParseInteger(const QString& text, int bits)
{
    const qsizetype n = text.size();
    qsizetype i = 0;
    while (i < n && IsBlank(text.at(i)))
        ++i;
    bool negative = false;
    if (i < n && (text.at(i) == QLatin1Char('-') || text.at(i) == QLatin1Char('+'))) {
        negative = text.at(i) == QLatin1Char('-');
        ++i;
    }
    bool hex = false;
    if (i < n && text.at(i) == QLatin1Char('$')) {
        hex = true;
        ++i;
    } else if (i + 1 < n && text.at(i) == QLatin1Char('0')
               && (text.at(i + 1) == QLatin1Char('x') || text.at(i + 1) == QLatin1Char('X'))) {
        hex = true;
        i += 2;
    }
    if (i >= n)
        return std::nullopt;

    const std::uint64_t signedMax = bits == 32 ? 0x7FFFFFFFull : 0x7FFFFFFFFFFFFFFFull;
    const std::uint64_t limit = hex ? (bits == 32 ? 0xFFFFFFFFull : ~0ull)
                                    : signedMax + (negative ? 1 : 0);
    const unsigned base = hex ? 16 : 10;
    std::uint64_t magnitude = 0;
    for (; i < n; ++i) {
        const int digit = HexValue(text.at(i));
        if (digit < 0 || static_cast<unsigned>(digit) >= base)
            return std::nullopt;
        if (magnitude > (limit - static_cast<unsigned>(digit)) / base)
            return std::nullopt;
        magnitude = magnitude * base + static_cast<unsigned>(digit);
    }

    std::uint64_t pattern = negative ? 0 - magnitude : magnitude;
    if (bits == 32) {
        const auto low = static_cast<std::uint32_t>(pattern);
        return static_cast<std::int64_t>(static_cast<std::int32_t>(low));
    }
    return static_cast<std::int64_t>(pattern);
}

// Sign, digits with at most one ',' or '.', optional exponent; the text is trimmed first. A
// number too large for the type is none, or with overflowToInfinity an infinity of its sign.
std::optional<long double> ParseFloat(const QString& text, bool overflowToInfinity = false)
{
    const QString t = text.trimmed();
    std::string ascii;
    ascii.reserve(t.size());
    qsizetype i = 0;
    const qsizetype n = t.size();
    auto at = [&](qsizetype k) { return k < n ? t.at(k).unicode() : char16_t(0); };

    if (at(i) == '+' || at(i) == '-')
        ascii.push_back(static_cast<char>(at(i++)));
    int mantissaDigits = 0;
    bool separatorSeen = false;
    for (; i < n; ++i) {
        const char16_t c = at(i);
        if (c >= '0' && c <= '9') {
            ascii.push_back(static_cast<char>(c));
            ++mantissaDigits;
        } else if ((c == ',' || c == '.') && !separatorSeen) {
            separatorSeen = true;
            ascii.push_back('.');
        } else {
            break;
        }
    }
    if (mantissaDigits == 0)
        return std::nullopt;
    bool negativeExponent = false;
    if (i < n && (at(i) == 'e' || at(i) == 'E')) {
        ascii.push_back('e');
        ++i;
        if (at(i) == '+' || at(i) == '-') {
            negativeExponent = at(i) == '-';
            ascii.push_back(static_cast<char>(at(i++)));
        }
        int exponentDigits = 0;
        for (; i < n && at(i) >= '0' && at(i) <= '9'; ++i, ++exponentDigits)
            ascii.push_back(static_cast<char>(at(i)));
        if (exponentDigits == 0)
            return std::nullopt;
    }
    if (i != n)
        return std::nullopt;

    // from_chars does not take a leading '+'.
    const char* first = ascii.data() + (ascii[0] == '+' ? 1 : 0);
    long double value = 0;
    const auto res = std::from_chars(first, ascii.data() + ascii.size(), value);
    if (res.ec == std::errc::result_out_of_range) {
        if (!negativeExponent && !overflowToInfinity)
            return std::nullopt;           // overflow
        if (!negativeExponent)
            return ascii[0] == '-' ? -std::numeric_limits<long double>::infinity()
                                   : std::numeric_limits<long double>::infinity();
        return ascii[0] == '-' ? -0.0L : 0.0L;   // underflow reads as zero
    }
    if (res.ec != std::errc() || res.ptr != ascii.data() + ascii.size() || !std::isfinite(value))
        return std::nullopt;
    return value;
}

[[noreturn]] void RaiseInvalid(const TResString& res, const QString& text)
{
    throw EConvertError(Format(LoadResString(res), {text}));
}

// The value as a 64-bit integer, or EInvalidOp when it has none.
void CheckIntegral(long double value)
{
    constexpr long double limit = 9223372036854775808.0L;   // 2^63
    if (!(value >= -limit && value < limit))
        throw EInvalidOp(LoadResString(SInvalidOp));
}

QChar FirstChar(const QString& s)
{
    return s.isEmpty() ? QChar() : s.at(0);
}

} // namespace

QString IntToStr(std::int64_t value)
{
    return QString::number(static_cast<qlonglong>(value));
}

QString IntToHex(std::uint64_t value, int digits)
{
    return QString::number(static_cast<qulonglong>(value), 16).toUpper()
        .rightJustified(std::clamp(digits, 0, 64), QLatin1Char('0'));
}

bool TryStrToInt(const QString& text, int& value)
{
    const auto parsed = ParseInteger(text, 32);
    if (parsed)
        value = static_cast<int>(*parsed);
    return parsed.has_value();
}

int StrToInt(const QString& text)
{
    int value = 0;
    if (!TryStrToInt(text, value))
        RaiseInvalid(SInvalidInteger, text);
    return value;
}

int StrToIntDef(const QString& text, int defaultValue)
{
    int value = 0;
    return TryStrToInt(text, value) ? value : defaultValue;
}

bool TryStrToInt64(const QString& text, std::int64_t& value)
{
    const auto parsed = ParseInteger(text, 64);
    if (parsed)
        value = *parsed;
    return parsed.has_value();
}

std::int64_t StrToInt64(const QString& text)
{
    std::int64_t value = 0;
    if (!TryStrToInt64(text, value))
        RaiseInvalid(SInvalidInteger, text);
    return value;
}

std::int64_t StrToInt64Def(const QString& text, std::int64_t defaultValue)
{
    std::int64_t value = 0;
    return TryStrToInt64(text, value) ? value : defaultValue;
}

bool TryStrToFloat(const QString& text, long double& value)
{
    const auto parsed = ParseFloat(text);
    if (parsed)
        value = *parsed;
    return parsed.has_value();
}

bool TryStrToFloatOrInfinity(const QString& text, long double& value)
{
    const auto parsed = ParseFloat(text, true);
    if (parsed)
        value = *parsed;
    return parsed.has_value();
}

long double StrToFloat(const QString& text)
{
    long double value = 0;
    if (!TryStrToFloat(text, value))
        RaiseInvalid(SInvalidFloat, text);
    return value;
}

long double StrToFloatDef(const QString& text, long double defaultValue)
{
    long double value = 0;
    return TryStrToFloat(text, value) ? value : defaultValue;
}

std::int64_t Round(long double value)
{
    // The default rounding mode: nearest, a half to the even neighbour.
    const long double r = std::nearbyint(value);
    CheckIntegral(r);
    return static_cast<std::int64_t>(r);
}

std::int64_t Trunc(long double value)
{
    const long double r = std::trunc(value);
    CheckIntegral(r);
    return static_cast<std::int64_t>(r);
}

long double Frac(long double value)
{
    if (std::isinf(value))
        return std::numeric_limits<long double>::quiet_NaN();
    return value - std::trunc(value);
}

QChar DecimalSeparator()
{
    const QChar c = FirstChar(QLocale().decimalPoint());
    return c.isNull() ? QLatin1Char('.') : c;
}

QChar ThousandSeparator()
{
    return FirstChar(QLocale().groupSeparator());
}
