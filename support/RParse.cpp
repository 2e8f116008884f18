#include "support/RParse.h"

#include "support/RCsvUtils.h"
#include "support/RStrUtils.h"

#include "platform/DelphiText.h"
#include "platform/Exceptions.h"
#include "platform/ResString.h"

#include <utility>

namespace {

const TResString SPairNotFound =
    RESSTR("RParse", "Не удалось найти пару идентификаторов \"%1:s\" - \"%2:s\" в тексте\n\n[%0:s]!");

struct TMatch {
    bool StartFound = false;
    QString Value;
    qsizetype ConsumedTo = 0;   // index just past what a cut removes
};

// An empty marker is never found, as with the classic Pos.
qsizetype FindMarker(const QString& text, const QString& marker, qsizetype from)
{
    if (marker.isEmpty() || from > text.size())
        return -1;
    return text.indexOf(marker, from, Qt::CaseInsensitive);
}

TMatch Match(const QString& text, const QString& startMarker, const QString& endMarker, int mode,
            qsizetype from = 0)
{
    TMatch match;
    const qsizetype found = FindMarker(text, startMarker, from);
    if (found < 0)
        return match;
    match.StartFound = true;
    const qsizetype start = found + startMarker.size();
    if (endMarker.isEmpty()) {
        match.Value = CsvUnquote(text.mid(start));
        match.ConsumedTo = text.size();
        return match;
    }
    const qsizetype end = FindMarker(text, endMarker, start);
    if (end >= 0) {
        match.Value = CsvUnquote(text.mid(start, end - start));
        match.ConsumedTo = end + endMarker.size();
        return match;
    }
    // The text may be a whole page of megabytes: the message quotes where the element that
    // lacks its end begins, and no more of it than a message may quote.
    if (mode == 0)
        throw Exception(Format(LoadResString(SPairNotFound),
                               {QuotedExcerpt(text.mid(found)), startMarker, endMarker}));
    // Nothing after an unterminated element can be complete, so it is consumed in both other
    // modes: a loop of cuts over a truncated reply ends instead of finding the same start again.
    if (mode == 2)
        match.Value = CsvUnquote(text.mid(start));
    match.ConsumedTo = text.size();
    return match;
}

} // namespace

QString ExtractBetween(const QString& text, const QString& startMarker, const QString& endMarker,
                       int mode)
{
    return Match(text, startMarker, endMarker, mode).Value;
}

QString CutBetween(QString& text, const QString& startMarker, const QString& endMarker, int mode)
{
    TMatch match = Match(text, startMarker, endMarker, mode);
    if (match.StartFound)
        text.remove(0, match.ConsumedTo);
    return match.Value;
}

std::optional<QString> NextBetween(const QString& text, qsizetype& from, const QString& startMarker,
                                   const QString& endMarker, int mode)
{
    TMatch match = Match(text, startMarker, endMarker, mode, from);
    if (!match.StartFound)
        return std::nullopt;
    from = match.ConsumedTo;
    return std::move(match.Value);
}

QString CutField(QString& text, const QString& marker)
{
    const qsizetype found = FindMarker(text, marker, 0);
    if (found < 0)
        return QString();
    const qsizetype start = found + marker.size();
    // The next marker is looked for from one character past the field's start.
    qsizetype next = FindMarker(text, marker, start + 1);
    if (next < 0)
        next = text.size();
    const QString value = CsvUnquote(text.mid(start, next - start));
    text.remove(0, next);
    return value;
}

QString ExtractBetween2(const QString& text, const QString& outerStart, const QString& outerEnd,
                        int mode, const QString& innerStart, const QString& innerEnd)
{
    return ExtractBetween(ExtractBetween(text, outerStart, outerEnd, mode), innerStart, innerEnd,
                          mode);
}
