#include "support/RStrUtils.h"

#include <algorithm>

QString AddDelimStr(const QString& first, const QString& second, const QString& delimiter)
{
    if (first.isEmpty())
        return second;
    if (second.isEmpty())
        return first;
    return first + delimiter + second;
}

QString StrToCStr(const QString& text)
{
    QString result;
    result.reserve(text.size() + text.size() / 4);
    for (const QChar c : text) {
        const char16_t code = c.unicode();
        char escape = 0;
        switch (code) {
        case 7: escape = 'a'; break;
        case 8: escape = 'b'; break;
        case 9: escape = 't'; break;
        case 10: escape = 'n'; break;
        case 11: escape = 'v'; break;
        case 12: escape = 'f'; break;
        case 13: escape = 'r'; break;
        case 27: escape = 'e'; break;
        case '"': escape = '"'; break;
        case '\'': escape = '\''; break;
        case '?': escape = '?'; break;
        case '\\': escape = '\\'; break;
        default:
            if (code <= 6)
                escape = static_cast<char>('0' + code);
            break;
        }
        if (escape) {
            result += QLatin1Char('\\');
            result += QLatin1Char(escape);
        } else {
            result += c;
        }
    }
    return result;
}

QString JoinTextLines(const QStringList& lines)
{
    QString text;
    for (const QString& line : lines)
        text += line + QLatin1String("\r\n");
    return text;
}

bool IsWebAddress(const QString& address)
{
    qsizetype host = 0;
    if (address.startsWith(QLatin1String("http://"), Qt::CaseInsensitive))
        host = 7;
    else if (address.startsWith(QLatin1String("https://"), Qt::CaseInsensitive))
        host = 8;
    else
        return false;
    if (address.size() <= host || address.at(host) == QLatin1Char('/'))
        return false;
    for (const QChar c : address)
        if (c.isSpace() || c.category() == QChar::Other_Control)
            return false;
    return true;
}

QString QuotedExcerpt(const QString& text, int maxChars)
{
    maxChars = std::max(maxChars, 0);
    QString kept;
    kept.reserve(std::min<qsizetype>(text.size(), qsizetype(maxChars) + 1));
    int marks = 0;
    for (qsizetype i = 0; i < text.size();) {
        // One code point: a surrogate pair is taken or left whole.
        const qsizetype width =
            text.at(i).isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate() ? 2 : 1;
        const char32_t code = width == 2 ? QChar::surrogateToUcs4(text.at(i), text.at(i + 1)) : text.at(i).unicode();
        const qsizetype at = i;
        i += width;
        if (!QChar::isMark(code))
            marks = 0;
        else if (++marks > QuotedMarksMax)
            continue;
        if (kept.size() + width > maxChars)
            return kept + QChar(0x2026);
        kept.append(QStringView(text).mid(at, width));
    }
    return kept;
}

QString InSentence(const QString& reason)
{
    QString why = reason.trimmed();
    while (why.endsWith(QLatin1Char('.')) || why.endsWith(QLatin1Char('!')))
        why = why.chopped(1).trimmed();
    return why;
}

bool IsHiddenFormatChar(char16_t code)
{
    return code == 0x061c || (code >= 0x200b && code <= 0x200f) || (code >= 0x202a && code <= 0x202e)
           || (code >= 0x2060 && code <= 0x2064) || (code >= 0x2066 && code <= 0x2069) || code == 0xfeff;
}

QString ShownText(QString text)
{
    text.removeIf([](QChar c) { return IsHiddenFormatChar(c.unicode()); });
    return text;
}

QString TerminalText(const QString& text)
{
    QString result;
    result.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t code = text.at(i).unicode();
        if (code == u'\r') {
            // CR LF or a lone CR: one line break, never a return over the line written.
            result += QLatin1Char('\n');
            if (i + 1 < text.size() && text.at(i + 1) == QLatin1Char('\n'))
                ++i;
        } else if (code == u'\n' || code == u'\t') {
            result += QChar(code);
        } else if (code < 0x20 || (code >= 0x7f && code < 0xa0)) {
            result += QStringLiteral("\\x%1").arg(int(code), 2, 16, QLatin1Char('0'));
        } else if (IsHiddenFormatChar(code)) {
            result += QStringLiteral("\\u%1").arg(int(code), 4, 16, QLatin1Char('0'));
        } else {
            result += QChar(code);
        }
    }
    return result;
}
