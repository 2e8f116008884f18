#pragma once

#include "platform/Currency.h"

#include <QByteArray>
#include <QChar>
#include <QString>

// Decimal digits of a value, the way the original run-time library formatted floats: the
// binary value is first written with 18 significant digits, and every later rounding works on
// that decimal text, a half going away from zero. Shared by Format, FormatFloat and FloatToStr.
struct TDecimal {
    bool Negative = false;
    bool Nan = false;
    bool Infinite = false;
    QByteArray Digits;   // significant digits '0'..'9', no leading or trailing zeros; empty = 0
    int Exponent = 0;    // value = 0.Digits x 10^Exponent

    bool IsZero() const { return !Nan && !Infinite && Digits.isEmpty(); }
    bool IsSpecial() const { return Nan || Infinite; }
};

TDecimal ToDecimal(long double value);
TDecimal ToDecimal(TCurrency value);             // exact

// Keep `decimals` digits after the decimal point (may be negative: tens, hundreds ...).
void RoundToDecimals(TDecimal& d, int decimals);
// Keep at most `count` significant digits (count >= 1).
void RoundToSignificant(TDecimal& d, int count);

// "NAN", "INF" or "-INF".
QString SpecialText(const TDecimal& d);

// The digit at position k of the integer part counted from the decimal point leftwards
// (k = 0 is the units), '0' when the value has no such digit.
char IntegerDigit(const TDecimal& d, int k);
// The digit at position k after the decimal point (k = 0 is the tenths).
char FractionDigit(const TDecimal& d, int k);
// The number of digits of the integer part (0 for a value below 1).
int IntegerLength(const TDecimal& d);

// Integer part with optional grouping by three, at least minDigits digits.
QString IntegerText(const TDecimal& d, int minDigits, QChar groupSeparator);
// Fixed text without sign: integer part, then exactly `decimals` digits after the separator.
QString FixedText(const TDecimal& d, int decimals, QChar decimalSeparator, QChar groupSeparator);
// Mantissa d.ddd (exactly `digits` significant digits, padded with zeros) without sign.
QString MantissaText(const TDecimal& d, int digits, QChar decimalSeparator);
// General form (shortest of fixed and scientific), sign included; d already rounded to
// `precision` significant digits.
QString GeneralText(const TDecimal& d, int precision, int minExponentDigits, QChar decimalSeparator);
