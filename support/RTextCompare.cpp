#include "support/RTextCompare.h"

#include <QLocale>

#include <charconv>
#include <cmath>
#include <string>

namespace {

int Sign(int value)
{
    return (value > 0) - (value < 0);
}

} // namespace

bool ReadPlainNumber(const QString& text, long double& value)
{
    qsizetype i = 0;
    const qsizetype n = text.size();
    while (i < n && text[i] == QLatin1Char(' '))
        ++i;
    std::string plain;
    auto digits = [&] {
        qsizetype count = 0;
        while (i < n && text[i] >= QLatin1Char('0') && text[i] <= QLatin1Char('9')) {
            plain += static_cast<char>(text[i].unicode());
            ++i;
            ++count;
        }
        return count;
    };
    if (i < n && (text[i] == QLatin1Char('+') || text[i] == QLatin1Char('-'))) {
        if (text[i] == QLatin1Char('-'))
            plain += '-';
        ++i;
    }
    qsizetype mantissa = digits();
    if (i < n && text[i] == QLatin1Char('.')) {
        plain += '.';
        ++i;
        mantissa += digits();
    }
    if (mantissa == 0)
        return false;
    if (i < n && (text[i] == QLatin1Char('e') || text[i] == QLatin1Char('E'))) {
        plain += 'e';
        ++i;
        if (i < n && (text[i] == QLatin1Char('+') || text[i] == QLatin1Char('-')))
            plain += static_cast<char>(text[i++].unicode());
        if (digits() == 0)
            return false;
    }
    if (i != n)
        return false;
    long double result = 0;
    const char* first = plain.data();
    const char* last = first + plain.size();
    const auto [end, error] = std::from_chars(first, last, result);
    if (end != last)
        return false;
    if (error == std::errc::result_out_of_range) {
        // Beyond the float range: still a number, only too large or too small to hold.
        const bool negative = plain.front() == '-';
        const bool tiny = plain.find("e-") != std::string::npos;
        result = tiny ? 0.0L : HUGE_VALL;
        if (negative)
            result = -result;
    }
    value = result;
    return true;
}

TCellTextOrder::TCellTextOrder(bool sortKeys) : FCollator(QLocale()), FSortKeys(sortKeys)
{
    FCollator.setCaseSensitivity(Qt::CaseInsensitive);
    FCollator.setNumericMode(false);
}

TCellTextOrder::TKey TCellTextOrder::Key(const QString& text) const
{
    TKey key;
    key.Text = text;
    const qsizetype comma = text.indexOf(QLatin1Char(','));
    if (comma >= 0) {
        QString numeric = text;
        numeric[comma] = QLatin1Char('.');
        key.IsNumber = ReadPlainNumber(numeric, key.Number);
    } else {
        key.IsNumber = ReadPlainNumber(text, key.Number);
    }
    if (!key.IsNumber && FSortKeys)
        key.SortKey = FCollator.sortKey(text);
    return key;
}

int TCellTextOrder::Compare(const TKey& a, const TKey& b) const
{
    if (a.IsNumber && b.IsNumber)
        return (a.Number > b.Number) - (a.Number < b.Number);
    if (a.SortKey && b.SortKey)
        return Sign(a.SortKey->compare(*b.SortKey));
    return Sign(FCollator.compare(a.Text, b.Text));
}

int CompareCellTexts(const QString& a, const QString& b)
{
    return TCellTextOrder().Compare(a, b);
}
