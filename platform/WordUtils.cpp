#include "platform/WordUtils.h"

namespace {

bool IsDelimiter(QChar c, const QString& delimiters)
{
    return delimiters.contains(c);
}

} // namespace

int WordCount(const QString& text, const QString& delimiters)
{
    int count = 0;
    bool inWord = false;
    for (const QChar c : text) {
        const bool delimiter = IsDelimiter(c, delimiters);
        if (!delimiter && !inWord)
            ++count;
        inWord = !delimiter;
    }
    return count;
}

int WordPosition(int n, const QString& text, const QString& delimiters)
{
    if (n < 1)
        return -1;
    int count = 0;
    bool inWord = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const bool delimiter = IsDelimiter(text.at(i), delimiters);
        if (!delimiter && !inWord && ++count == n)
            return static_cast<int>(i);
        inWord = !delimiter;
    }
    return -1;
}

QString ExtractWord(int n, const QString& text, const QString& delimiters)
{
    const int start = WordPosition(n, text, delimiters);
    if (start < 0)
        return QString();
    qsizetype end = start;
    while (end < text.size() && !IsDelimiter(text.at(end), delimiters))
        ++end;
    return text.mid(start, end - start);
}

QStringList SplitTextLines(const QString& text)
{
    QStringList lines;
    qsizetype start = 0;
    const qsizetype length = text.size();
    for (qsizetype i = 0; i < length; ++i) {
        const QChar c = text.at(i);
        if (c != QLatin1Char('\r') && c != QLatin1Char('\n'))
            continue;
        lines.append(text.mid(start, i - start));
        if (c == QLatin1Char('\r') && i + 1 < length && text.at(i + 1) == QLatin1Char('\n'))
            ++i;
        start = i + 1;
    }
    if (start < length)
        lines.append(text.mid(start));
    return lines;
}
