#include "platform/DecimalDigits.h"
#include "platform/DelphiText.h"

#include <QStringList>

#include <algorithm>
#include <cstdlib>

namespace {

// What one section of a FormatFloat pattern asks for.
struct TSectionInfo {
    int IntPlaceholders = 0;     // '0' and '#' before the decimal point
    int IntZeros = 0;            // placeholders from the first '0' up to the point
    int FracPlaceholders = 0;    // '0' and '#' after the point
    int FracZeros = 0;           // up to and including the last '0' after the point
    bool Thousands = false;
    bool Scientific = false;
};

bool IsQuote(QChar c)
{
    return c == QLatin1Char('\'') || c == QLatin1Char('"');
}

bool IsPlaceholder(QChar c)
{
    return c == QLatin1Char('0') || c == QLatin1Char('#');
}

// Length of an exponent token ("E+00", "e-0" ...) starting at i, 0 when there is none.
qsizetype ExponentTokenLength(const QString& s, qsizetype i, int* digits = nullptr)
{
    if (i + 1 >= s.size() || (s.at(i) != QLatin1Char('E') && s.at(i) != QLatin1Char('e'))
        || (s.at(i + 1) != QLatin1Char('+') && s.at(i + 1) != QLatin1Char('-')))
        return 0;
    qsizetype j = i + 2;
    int count = 0;
    while (j < s.size() && s.at(j) == QLatin1Char('0') && count < 4) {
        ++j;
        ++count;
    }
    if (digits)
        *digits = count;
    return j - i;
}

// Splits at ';' outside quotes.
QStringList SplitSections(const QString& format)
{
    QStringList sections;
    QString current;
    QChar quote;
    for (const QChar c : format) {
        if (!quote.isNull()) {
            if (c == quote)
                quote = QChar();
        } else if (IsQuote(c)) {
            quote = c;
        } else if (c == QLatin1Char(';')) {
            sections.append(current);
            current.clear();
            continue;
        }
        current.append(c);
    }
    sections.append(current);
    return sections;
}

TSectionInfo Analyse(const QString& section)
{
    TSectionInfo info;
    bool afterPoint = false;
    int firstIntZero = -1;   // index among the integer placeholders
    QChar quote;
    for (qsizetype i = 0; i < section.size(); ++i) {
        const QChar c = section.at(i);
        if (!quote.isNull()) {
            if (c == quote)
                quote = QChar();
            continue;
        }
        if (IsQuote(c)) {
            quote = c;
        } else if (IsPlaceholder(c)) {
            if (afterPoint) {
                ++info.FracPlaceholders;
                if (c == QLatin1Char('0'))
                    info.FracZeros = info.FracPlaceholders;
            } else {
                if (c == QLatin1Char('0') && firstIntZero < 0)
                    firstIntZero = info.IntPlaceholders;
                ++info.IntPlaceholders;
            }
        } else if (c == QLatin1Char('.')) {
            afterPoint = true;
        } else if (c == QLatin1Char(',')) {
            if (!afterPoint)
                info.Thousands = true;
        } else if (ExponentTokenLength(section, i) > 0) {
            info.Scientific = true;
            break;   // nothing after the exponent counts as a digit of the number
        }
    }
    if (firstIntZero >= 0)
        info.IntZeros = info.IntPlaceholders - firstIntZero;
    return info;
}

QString Render(const QString& section, const TSectionInfo& info, const TDecimal& m,
               int exponent, bool minus)
{
    const QChar point = DecimalSeparator();
    const QChar group = info.Thousands ? ThousandSeparator() : QChar();
    const int intDigits = std::max(IntegerLength(m), info.IntZeros);
    const int fracPresent = std::max(0, static_cast<int>(m.Digits.size()) - m.Exponent);
    const int fracShown = std::max(info.FracZeros, std::min(fracPresent, info.FracPlaceholders));

    QString out;
    if (minus)
        out.append(QLatin1Char('-'));
    auto putIntDigit = [&](int k) {
        out.append(QLatin1Char(IntegerDigit(m, k)));
        if (!group.isNull() && k > 0 && k % 3 == 0)
            out.append(group);
    };

    int intLeft = info.IntPlaceholders;   // integer placeholders not yet reached
    int fracIndex = 0;
    bool afterPoint = false;
    bool exponentDone = false;
    QChar quote;
    for (qsizetype i = 0; i < section.size(); ++i) {
        const QChar c = section.at(i);
        if (!quote.isNull()) {
            if (c == quote)
                quote = QChar();
            else
                out.append(c);
            continue;
        }
        if (IsQuote(c)) {
            quote = c;
            continue;
        }
        if (exponentDone) {
            out.append(c);
            continue;
        }
        if (IsPlaceholder(c)) {
            if (!afterPoint) {
                const int k = --intLeft;
                if (k == info.IntPlaceholders - 1)   // the first one also takes the surplus digits
                    for (int j = intDigits - 1; j > k; --j)
                        putIntDigit(j);
                if (k < intDigits)
                    putIntDigit(k);
            } else {
                if (fracIndex < fracShown)
                    out.append(QLatin1Char(FractionDigit(m, fracIndex)));
                ++fracIndex;
            }
            continue;
        }
        if (c == QLatin1Char(','))
            continue;
        if (c == QLatin1Char('.') && !afterPoint) {
            afterPoint = true;
            if (info.IntPlaceholders == 0)
                for (int j = intDigits - 1; j >= 0; --j)
                    putIntDigit(j);
            if (fracShown > 0)
                out.append(point);
            continue;
        }
        int expDigits = 0;
        if (const qsizetype len = ExponentTokenLength(section, i, &expDigits)) {
            out.append(c);
            if (section.at(i + 1) == QLatin1Char('+') || exponent < 0)
                out.append(exponent < 0 ? QLatin1Char('-') : QLatin1Char('+'));
            out.append(QString::number(std::abs(exponent)).rightJustified(expDigits, QLatin1Char('0')));
            i += len - 1;
            exponentDone = true;
            continue;
        }
        out.append(c);
    }
    return out;
}

} // namespace

QString FloatToStrGeneral(long double value, int precision)
{
    precision = std::clamp(precision, 1, 18);
    TDecimal d = ToDecimal(value);
    RoundToSignificant(d, precision);
    return GeneralText(d, precision, 0, DecimalSeparator());
}

QString FloatToStr(long double value)
{
    return FloatToStrGeneral(value, 15);
}

QString FormatFloat(const QString& format, long double value)
{
    if (format.isEmpty())
        return FloatToStr(value);
    TDecimal d = ToDecimal(value);
    if (d.IsSpecial())
        return SpecialText(d);

    const QStringList sections = SplitSections(format);
    auto sectionAt = [&](int index) {
        return index < sections.size() ? sections.at(index) : QString();
    };
    // A missing or empty negative section means the positive one with a minus sign;
    // a missing or empty zero section means the positive one.
    QString section = sections.at(0);
    bool minus = false;
    if (d.IsZero() && !sectionAt(2).isEmpty()) {
        section = sectionAt(2);
    } else if (d.Negative) {
        if (sectionAt(1).isEmpty())
            minus = true;
        else
            section = sectionAt(1);
    }

    TSectionInfo info = Analyse(section);
    if (!info.Scientific && d.Exponent > 18)
        return FloatToStrGeneral(value, 18);

    const bool wasZero = d.IsZero();
    if (info.Scientific)
        RoundToSignificant(d, std::max(1, info.IntPlaceholders + info.FracPlaceholders));
    else
        RoundToDecimals(d, info.FracPlaceholders);
    if (d.IsZero() && !wasZero) {
        // A value that rounds away to nothing is shown as zero, in the zero section when
        // there is one, and never with a minus sign.
        section = !sectionAt(2).isEmpty() ? sectionAt(2) : sections.at(0);
        info = Analyse(section);
        minus = false;
        d = TDecimal();
    }

    int exponent = 0;
    if (info.Scientific && !d.IsZero()) {
        exponent = d.Exponent - info.IntPlaceholders;
        d.Exponent = info.IntPlaceholders;
    }
    return Render(section, info, d, exponent, minus);
}
