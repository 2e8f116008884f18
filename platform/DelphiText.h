#pragma once

#include "platform/Currency.h"
#include "platform/Exceptions.h"

#include <QString>

#include <cstdint>
#include <initializer_list>

// Texts and numbers with the rules of the original run-time library. Separators come from
// the default QLocale (QLocale()); reading accepts both ',' and '.' as decimal separator.

// One argument of Format, of the kind it was given as. A format type that does not fit the
// kind (%d with a float, %f with a string ...) raises EConvertError.
class TVarRec {
public:
    enum class Kind { Integer, Float, String, Currency };

    TVarRec(int v) : FKind(Kind::Integer), FInt(v) {}
    TVarRec(unsigned v) : FKind(Kind::Integer), FInt(v) {}
    TVarRec(long v) : FKind(Kind::Integer), FInt(v) {}
    TVarRec(unsigned long v) : FKind(Kind::Integer), FInt(static_cast<std::int64_t>(v)) {}
    TVarRec(long long v) : FKind(Kind::Integer), FInt(v) {}
    TVarRec(unsigned long long v) : FKind(Kind::Integer), FInt(static_cast<std::int64_t>(v)) {}
    TVarRec(double v) : FKind(Kind::Float), FFloat(v) {}
    TVarRec(long double v) : FKind(Kind::Float), FFloat(v) {}
    TVarRec(TCurrency v) : FKind(Kind::Currency), FInt(v.Raw()) {}
    TVarRec(const QString& v) : FKind(Kind::String), FString(v) {}
    TVarRec(const char* v) : FKind(Kind::String), FString(QString::fromUtf8(v)) {}
    TVarRec(QChar v) : FKind(Kind::String), FString(v) {}

    Kind GetKind() const { return FKind; }
    std::int64_t AsInteger() const { return FInt; }
    long double AsFloat() const { return FKind == Kind::Currency ? FInt / 10000.0L : FFloat; }
    const QString& AsString() const { return FString; }

private:
    Kind FKind;
    std::int64_t FInt = 0;
    long double FFloat = 0;
    QString FString;
};

// Format("%d of %s", {1, name}). Supports %d %u %x %e %f %g %n %m %s
// with index "%1:s", left alignment "-", width, precision (also "*"), and "%%".
// "%.3d" pads with zeros to three digits; "%.2f" gives two decimals; "%n" groups thousands.
// A missing argument or an argument of the wrong kind raises EConvertError.
QString Format(const QString& format, std::initializer_list<TVarRec> args);

// FormatFloat("#,##0.00", x): sections "pos;neg;zero", placeholders '0' and '#', '.', ',',
// exponents "E+00"/"E-00"/"e+00", quoted literals '...' and "...". Separators from the locale.
QString FormatFloat(const QString& format, long double value);

// General float text with 15 significant digits: 0,1 / 1E15 / 1,5E-5 (locale decimal separator).
// The exponent form is used from 1E15 up and below 0,0001 (0,0001 itself stays fixed); the
// rounding works on the decimal text, a half away from zero.
QString FloatToStr(long double value);
// General float text with the given significant digits (FloatToStrF with ffGeneral).
QString FloatToStrGeneral(long double value, int precision);

QString IntToStr(std::int64_t value);
QString IntToHex(std::uint64_t value, int digits);

// Integers: optional blanks before, optional sign, decimal digits or '$'/"0x" hexadecimal;
// 32-bit range. StrToInt raises EConvertError "'%s' не является допустимым целым числом".
// Hexadecimal may fill every bit of the type: "$FFFFFFFF" is -1 for the 32-bit forms.
int StrToInt(const QString& text);
int StrToIntDef(const QString& text, int defaultValue);
bool TryStrToInt(const QString& text, int& value);
std::int64_t StrToInt64(const QString& text);
std::int64_t StrToInt64Def(const QString& text, std::int64_t defaultValue);
bool TryStrToInt64(const QString& text, std::int64_t& value);

// Floats: surrounding blanks ignored, ',' or '.' as decimal separator, optional exponent.
// StrToFloat raises EConvertError "'%s' не является допустимым числом".
long double StrToFloat(const QString& text);
long double StrToFloatDef(const QString& text, long double defaultValue);
bool TryStrToFloat(const QString& text, long double& value);
// The same, except that a number too large for any floating type reads as an infinity of its
// sign rather than as no number: an amount of 5 000 digits is too large, not absent.
bool TryStrToFloatOrInfinity(const QString& text, long double& value);

// Rounds to the nearest integer, a half to the even neighbour (2.5 -> 2, 3.5 -> 4, -2.5 -> -2).
// Round and Trunc raise EInvalidOp for NaN, infinity and values outside the 64-bit range.
std::int64_t Round(long double value);
// Cuts the fraction off (-2.7 -> -2).
std::int64_t Trunc(long double value);
// The fraction with its sign (-2.75 -> -0.75).
long double Frac(long double value);

// The locale's decimal separator and thousands separator as single characters.
QChar DecimalSeparator();
QChar ThousandSeparator();
