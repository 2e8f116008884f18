#pragma once

#include <QString>

#include <optional>

// Cutting values out of server replies and web pages by their surrounding markers.
// Markers are found without regard to letter case. Every value found is passed through
// CsvUnquote (trimmed, one pair of enclosing double quotes removed).
//
// Mode, when the start marker is found but the end marker is not after it:
//   0 - raise Exception "Не удалось найти пару идентификаторов ..." naming both markers and an excerpt
//       of the text from the start marker on (see QuotedExcerpt);
//   1 - give the empty text;
//   2 - take the rest of the text.
// A missing start marker gives the empty text in every mode. An empty end marker always
// takes the rest of the text.

// The text between the first start marker and the first end marker after it.
QString ExtractBetween(const QString& text, const QString& startMarker, const QString& endMarker,
                       int mode);

// As ExtractBetween, and removes from text everything up to the end of the end marker, so
// that repeated calls walk through repeated elements (rows of a table, records of a reply).
// Where the end marker is missing (modes 1 and 2) the rest of the text is consumed. A missing
// start marker leaves the text as it was; mode 0 raises before anything is removed.
QString CutBetween(QString& text, const QString& startMarker, const QString& endMarker, int mode);

// As CutBetween on the text from position `from` on, the text left as it is: `from` moves past
// what the cut would remove. Nothing (and `from` unchanged) when no start marker follows it. A
// walk through a page of repeated elements this way costs time in proportion to the page, where
// cuts that shorten the text may copy its rest at every element.
std::optional<QString> NextBetween(const QString& text, qsizetype& from, const QString& startMarker,
                                   const QString& endMarker, int mode);

// The text from one marker to its next occurrence (or to the end of the text); the text then
// begins at that next occurrence. A missing marker changes nothing and gives the empty text.
QString CutField(QString& text, const QString& marker);

// ExtractBetween with the outer pair, then with the inner pair on what was found, same mode.
QString ExtractBetween2(const QString& text, const QString& outerStart, const QString& outerEnd,
                        int mode, const QString& innerStart, const QString& innerEnd);
