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
    // A quote whose left neighbour is a quote stays, any other quote goes: of every run of quotes
    // one goes, so "" becomes " and a lone " vanishes. Built in one pass: removing in place
    // would move the rest of a long value once for every quote.
    const QStringView inner = QStringView(result).mid(1, result.size() - 2);
    QString unquoted;
    unquoted.reserve(inner.size());
    for (qsizetype i = 0; i < inner.size(); ++i)
        if (inner[i] != quote || (i > 0 && inner[i - 1] == quote))
            unquoted += inner[i];
    return unquoted;
}
