#include "platform/DecimalDigits.h"

#include <charconv>
#include <cmath>
#include <cstdlib>

namespace {

void Normalize(TDecimal& d)
{
    qsizetype start = 0;
    while (start < d.Digits.size() && d.Digits[start] == '0')
        ++start;
    if (start > 0) {
        d.Digits.remove(0, start);
        d.Exponent -= static_cast<int>(start);
    }
    qsizetype end = d.Digits.size();
    while (end > 0 && d.Digits[end - 1] == '0')
        --end;
    d.Digits.truncate(end);
    if (d.Digits.isEmpty())
        d.Exponent = 0;
}

// Cuts the digits to `keep` and rounds the cut half away from zero.
void RoundAt(TDecimal& d, int keep)
{
    if (d.IsSpecial() || keep >= d.Digits.size())
        return;
    if (keep < 0) {
        d.Digits.clear();
        d.Exponent = 0;
        return;
    }
    const bool up = d.Digits[keep] >= '5';
    d.Digits.truncate(keep);
    if (up) {
        int i = keep - 1;
        while (i >= 0 && d.Digits[i] == '9') {
            d.Digits[i] = '0';
            --i;
        }
        if (i >= 0) {
            d.Digits[i] = static_cast<char>(d.Digits[i] + 1);
        } else {
            d.Digits.prepend('1');
            ++d.Exponent;
        }
    }
    Normalize(d);
}

} // namespace

TDecimal ToDecimal(long double value)
{
    TDecimal d;
    if (std::isnan(value)) {
        d.Nan = true;
        return d;
    }
    d.Negative = std::signbit(value);
    if (std::isinf(value)) {
        d.Infinite = true;
        return d;
    }
    if (value == 0) {
        d.Negative = false;
        return d;
    }
    // d.ddddddddddddddddde+X: 18 significant digits, correctly rounded from the binary value.
    char buf[64];
    const auto res = std::to_chars(buf, buf + sizeof buf, std::fabs(value),
                                   std::chars_format::scientific, 17);
    const char* end = res.ptr;
    const char* e = buf;
    while (e < end && *e != 'e')
        ++e;
    for (const char* p = buf; p < e; ++p)
        if (*p >= '0' && *p <= '9')
            d.Digits.append(*p);
    int exp10 = 0;
    if (e < end)
        std::from_chars(e + 1 + (e[1] == '+' ? 1 : 0), end, exp10);
    d.Exponent = exp10 + 1;
    Normalize(d);
    return d;
}

TDecimal ToDecimal(TCurrency value)
{
    TDecimal d;
    const std::int64_t raw = value.Raw();
    d.Negative = raw < 0;
    std::uint64_t magnitude = raw < 0 ? 0 - static_cast<std::uint64_t>(raw) : static_cast<std::uint64_t>(raw);
    d.Digits = QByteArray::number(static_cast<qulonglong>(magnitude));
    d.Exponent = static_cast<int>(d.Digits.size()) - 4;
    Normalize(d);
    if (d.Digits.isEmpty())
        d.Negative = false;
    return d;
}

void RoundToDecimals(TDecimal& d, int decimals)
{
    if (d.IsZero() || d.IsSpecial())
        return;
    // Guard against overflow for absurd requests; the digits are at most a few dozen.
    if (decimals > 4000)
        return;
    RoundAt(d, decimals < -4000 ? -1 : d.Exponent + decimals);
}

void RoundToSignificant(TDecimal& d, int count)
{
    RoundAt(d, count < 1 ? 1 : count);
}

QString SpecialText(const TDecimal& d)
{
    if (d.Nan)
        return QStringLiteral("NAN");
    return d.Negative ? QStringLiteral("-INF") : QStringLiteral("INF");
}

char IntegerDigit(const TDecimal& d, int k)
{
    const int index = d.Exponent - 1 - k;
    if (index < 0 || index >= d.Digits.size())
        return '0';
    return d.Digits[index];
}

char FractionDigit(const TDecimal& d, int k)
{
    const int index = d.Exponent + k;
    if (index < 0 || index >= d.Digits.size())
        return '0';
    return d.Digits[index];
}

int IntegerLength(const TDecimal& d)
{
    return d.IsZero() || d.Exponent < 0 ? 0 : d.Exponent;
}

QString IntegerText(const TDecimal& d, int minDigits, QChar groupSeparator)
{
    const int length = std::max(IntegerLength(d), minDigits);
    QString out;
    out.reserve(length + length / 3);
    for (int k = length - 1; k >= 0; --k) {
        out.append(QLatin1Char(IntegerDigit(d, k)));
        if (!groupSeparator.isNull() && k > 0 && k % 3 == 0)
            out.append(groupSeparator);
    }
    return out;
}

QString FixedText(const TDecimal& d, int decimals, QChar decimalSeparator, QChar groupSeparator)
{
    QString out = IntegerText(d, 1, groupSeparator);
    if (decimals > 0) {
        out.append(decimalSeparator);
        for (int k = 0; k < decimals; ++k)
            out.append(QLatin1Char(FractionDigit(d, k)));
    }
    return out;
}

QString MantissaText(const TDecimal& d, int digits, QChar decimalSeparator)
{
    QString out;
    for (int i = 0; i < digits; ++i) {
        if (i == 1)
            out.append(decimalSeparator);
        out.append(QLatin1Char(i < d.Digits.size() ? d.Digits[i] : '0'));
    }
    return out;
}

QString GeneralText(const TDecimal& d, int precision, int minExponentDigits, QChar decimalSeparator)
{
    if (d.IsSpecial())
        return SpecialText(d);
    if (d.IsZero())
        return QStringLiteral("0");
    QString out;
    if (d.Negative)
        out.append(QLatin1Char('-'));
    const int count = static_cast<int>(d.Digits.size());
    if (d.Exponent > precision || d.Exponent < -3) {
        out.append(MantissaText(d, count, decimalSeparator));
        const int exponent = d.Exponent - 1;
        out.append(QLatin1Char('E'));
        if (exponent < 0)
            out.append(QLatin1Char('-'));
        out.append(QString::number(std::abs(exponent)).rightJustified(minExponentDigits, QLatin1Char('0')));
        return out;
    }
    if (d.Exponent <= 0) {
        out.append(QLatin1Char('0'));
        out.append(decimalSeparator);
        out.append(QString(-d.Exponent, QLatin1Char('0')));
        out.append(QString::fromLatin1(d.Digits));
        return out;
    }
    out.append(IntegerText(d, 1, QChar()));
    if (count > d.Exponent) {
        out.append(decimalSeparator);
        out.append(QString::fromLatin1(d.Digits.mid(d.Exponent)));
    }
    return out;
}
