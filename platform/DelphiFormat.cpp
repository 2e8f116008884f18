#include "platform/DecimalDigits.h"
#include "platform/DelphiText.h"
#include "platform/ResString.h"

#include <QLocale>

#include <algorithm>
#include <cstdlib>

namespace {

const TResString SInvalidFormat =
    RESSTR("DelphiText", "Format '%s' invalid or incompatible with argument");

// Widths and precisions above this are taken for a broken format rather than padded out.
constexpr int MaxFieldNumber = 65536;

class TFormatter {
public:
    TFormatter(const QString& format, std::initializer_list<TVarRec> args)
        : FFormat(format), FArgs(args.begin()), FCount(static_cast<int>(args.size()))
    {
    }

    QString Run();

private:
    [[noreturn]] void Invalid() const
    {
        // Substituted by hand: a broken translation of this very text must not recurse.
        QString message = LoadResString(SInvalidFormat);
        const qsizetype at = message.indexOf(QLatin1String("%s"));
        if (at >= 0)
            message.replace(at, 2, FFormat);
        throw EConvertError(message);
    }

    QChar Peek() const { return FPos < FFormat.size() ? FFormat.at(FPos) : QChar(); }
    bool IsDigit(QChar c) const { return c >= QLatin1Char('0') && c <= QLatin1Char('9'); }

    const TVarRec& NextArg()
    {
        if (FNext < 0 || FNext >= FCount)
            Invalid();
        return FArgs[FNext++];
    }

    // A number written in the format or '*' taken from the argument list; -1 when absent.
    int ReadNumber()
    {
        if (Peek() == QLatin1Char('*')) {
            ++FPos;
            const TVarRec& arg = NextArg();
            if (arg.GetKind() != TVarRec::Kind::Integer)
                Invalid();
            const std::int64_t v = arg.AsInteger();
            if (v > MaxFieldNumber)
                Invalid();
            return v < 0 ? 0 : static_cast<int>(v);
        }
        if (!IsDigit(Peek()))
            return -1;
        int value = 0;
        while (IsDigit(Peek())) {
            value = value * 10 + (Peek().unicode() - '0');
            if (value > MaxFieldNumber)
                Invalid();
            ++FPos;
        }
        return value;
    }

    QString Convert(QChar type, const TVarRec& arg, int precision);
    QString IntegerText(QChar type, const TVarRec& arg, int precision);
    QString FloatText(QChar type, const TVarRec& arg, int precision);

    const QString& FFormat;
    const TVarRec* FArgs;
    int FCount;
    qsizetype FPos = 0;
    int FNext = 0;
};

QString TFormatter::Run()
{
    QString out;
    out.reserve(FFormat.size() + 16);
    const qsizetype n = FFormat.size();
    while (FPos < n) {
        const QChar c = FFormat.at(FPos++);
        if (c != QLatin1Char('%')) {
            out.append(c);
            continue;
        }
        if (Peek() == QLatin1Char('%')) {
            out.append(QLatin1Char('%'));
            ++FPos;
            continue;
        }
        int number = ReadNumber();
        if (Peek() == QLatin1Char(':')) {
            ++FPos;
            FNext = number < 0 ? 0 : number;
            number = -1;
        }
        bool left = false;
        if (number < 0 && Peek() == QLatin1Char('-')) {
            left = true;
            ++FPos;
        }
        const int width = number >= 0 ? number : ReadNumber();
        int precision = -1;
        if (Peek() == QLatin1Char('.')) {
            ++FPos;
            precision = std::max(ReadNumber(), 0);
        }
        if (FPos >= n)
            Invalid();
        const QChar type = FFormat.at(FPos++).toLower();
        QString text = Convert(type, NextArg(), precision);
        if (width > text.size())
            text = left ? text.leftJustified(width, QLatin1Char(' '))
                        : text.rightJustified(width, QLatin1Char(' '));
        out.append(text);
    }
    return out;
}

QString TFormatter::Convert(QChar type, const TVarRec& arg, int precision)
{
    switch (type.unicode()) {
    case 'd':
    case 'u':
    case 'x':
        if (arg.GetKind() != TVarRec::Kind::Integer)
            Invalid();
        return IntegerText(type, arg, precision);
    case 'e':
    case 'f':
    case 'g':
    case 'n':
    case 'm':
        if (arg.GetKind() != TVarRec::Kind::Float && arg.GetKind() != TVarRec::Kind::Currency)
            Invalid();
        return FloatText(type, arg, precision);
    case 's':
        if (arg.GetKind() != TVarRec::Kind::String)
            Invalid();
        return precision >= 0 ? arg.AsString().left(precision) : arg.AsString();
    default:
        Invalid();
    }
}

QString TFormatter::IntegerText(QChar type, const TVarRec& arg, int precision)
{
    const std::int64_t v = arg.AsInteger();
    // A negative value shown unsigned is the bit pattern of its own width: 32 bits for
    // what fits in an int, 64 bits otherwise.
    const bool fits32 = v >= INT32_MIN && v <= INT32_MAX;
    const std::uint64_t pattern = fits32 ? static_cast<std::uint32_t>(static_cast<std::int32_t>(v))
                                         : static_cast<std::uint64_t>(v);
    QString digits;
    bool negative = false;
    if (type == QLatin1Char('d')) {
        negative = v < 0;
        const std::uint64_t magnitude = negative ? 0 - static_cast<std::uint64_t>(v) : static_cast<std::uint64_t>(v);
        digits = QString::number(static_cast<qulonglong>(magnitude));
    } else if (type == QLatin1Char('u')) {
        digits = QString::number(static_cast<qulonglong>(pattern));
    } else {
        digits = QString::number(static_cast<qulonglong>(pattern), 16).toUpper();
    }
    if (precision > digits.size())
        digits = digits.rightJustified(precision, QLatin1Char('0'));
    return negative ? QLatin1Char('-') + digits : digits;
}

QString TFormatter::FloatText(QChar type, const TVarRec& arg, int precision)
{
    TDecimal d = arg.GetKind() == TVarRec::Kind::Currency ? ToDecimal(TCurrency::FromRaw(arg.AsInteger()))
                                                          : ToDecimal(arg.AsFloat());
    if (d.IsSpecial())
        return SpecialText(d);
    const QChar point = DecimalSeparator();

    if (type == QLatin1Char('e') || type == QLatin1Char('g')) {
        const int digits = std::clamp(precision < 0 ? 15 : precision, 1, 18);
        RoundToSignificant(d, digits);
        if (type == QLatin1Char('g'))
            return GeneralText(d, digits, 3, point);
        QString out = d.Negative && !d.IsZero() ? QStringLiteral("-") : QString();
        out.append(MantissaText(d, digits, point));
        const int exponent = d.IsZero() ? 0 : d.Exponent - 1;
        out.append(exponent < 0 ? QStringLiteral("E-") : QStringLiteral("E+"));
        out.append(QString::number(std::abs(exponent)).rightJustified(3, QLatin1Char('0')));
        return out;
    }

    const int decimals = std::min(precision < 0 ? 2 : precision, 18);
    // Beyond 18 integer digits the fixed forms switch to the general one: the stored texts
    // expect it.
    if (d.Exponent > 18)
        return GeneralText(d, 18, 0, point);
    RoundToDecimals(d, decimals);
    const bool negative = d.Negative && !d.IsZero();
    const QChar group = type == QLatin1Char('f') ? QChar() : ThousandSeparator();
    const QString number = FixedText(d, decimals, point, group);
    if (type != QLatin1Char('m'))
        return negative ? QLatin1Char('-') + number : number;

    // Money: the locale's own placement of sign and currency symbol around the number.
    const QLocale locale;
    QString pattern = locale.toCurrencyString(negative ? -1.0 : 1.0, locale.currencySymbol(), 0);
    const qsizetype one = pattern.indexOf(QLatin1Char('1'));
    if (one < 0)
        return negative ? QLatin1Char('-') + number : number;
    return pattern.replace(one, 1, number);
}

} // namespace

QString Format(const QString& format, std::initializer_list<TVarRec> args)
{
    TFormatter formatter(format, args);
    return formatter.Run();
}
