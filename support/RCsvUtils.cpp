#include "support/RCsvUtils.h"

namespace {

// Blanks and every control character count as padding, as in the classic Trim.
QString TrimControls(const QString& text)
{
    qsizetype first = 0;
    qsizetype last = text.size() - 1;
    while (first <= last && text.at(first).unicode() <= 32)
        ++first;
    while (last >= first && text.at(last).unicode() <= 32)
        --last;
    return text.mid(first, last - first + 1);
}

} // namespace

QString CsvUnquote(const QString& text)
{
    QString result = TrimControls(text);
    const QChar quote = QLatin1Char('"');
    if (result.size() < 2 || result.front() != quote || result.back() != quote)
        return result;
    result = result.mid(1, result.size() - 2);
    // From the end backwards: a quote whose left neighbour is a quote stays (and that neighbour is
    // then looked at on its own), any other quote goes, so "" becomes " and a lone " vanishes.
    for (qsizetype i = result.size() - 1; i >= 0; --i) {
        if (result.at(i) != quote)
            continue;
        if (i > 0 && result.at(i - 1) == quote)
            continue;
        result.remove(i, 1);
    }
    return result;
}
