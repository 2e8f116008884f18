#pragma once

#include <QString>
#include <QStringList>

// first + delimiter + second; when either is empty the other alone.
QString AddDelimStr(const QString& first, const QString& second, const QString& delimiter);

// One-line form of a text with C-style escapes: control characters 0..13 and 27, the double and
// single quote, '?' and the backslash become a backslash sequence ("\r", "\n", "\t", "\0" ...,
// "\e", "\"", "\'", "\?", "\\"); everything else passes unchanged.
QString StrToCStr(const QString& text);

// The lines as one text, each followed by CR LF, as a string list writes its text; the inverse
// of SplitTextLines (platform/WordUtils.h).
QString JoinTextLines(const QStringList& lines);

// Only web pages are handed to the desktop or fetched over HTTP: "http://" or "https://" (any
// letter case) followed by a host, without blanks or control characters anywhere. Anything
// else (another scheme, a path, a bare "https://") is not a web address.
bool IsWebAddress(const QString& address);

// What a message may quote of a text that a server, a file or a paste gave: at most maxChars
// characters (never half of a surrogate pair), followed by "…" when the text was longer, so that
// a page or a file cannot make a message box taller than the screen. A character keeps at most
// QuotedMarksMax combining marks; more would stack up over the lines above it.
inline constexpr int QuotedTextMax = 200;
inline constexpr int QuotedMarksMax = 2;
QString QuotedExcerpt(const QString& text, int maxChars = QuotedTextMax);

// An error's text to stand inside a sentence that ends it itself: trimmed, without an ending
// full stop or exclamation mark.
QString InSentence(const QString& reason);

// Characters that change how a text reads without being seen: the controls of bidirectional
// text (U+061C, U+200E, U+200F, U+202A..U+202E, U+2066..U+2069) and the characters of no width
// (U+200B..U+200D, U+2060..U+2064, U+FEFF).
bool IsHiddenFormatChar(char16_t code);
// A text as boxes, windows and lists show it: without those characters, with which a name would
// read as another text ("Безопасный \u202Egnp.exe" shows as "Безопасный exe.png", a host
// "good\u202Eexe.moc\u202C.invalid" as "goodcom.exe.invalid").
QString ShownText(QString text);

// A text as a terminal may be given it: its line breaks (LF, CR LF and a lone CR alike) become
// LF and tabs stay, while every other control character (C0, DEL, C1) and the hidden format
// characters above, which would move the cursor, recolour, erase, reorder or hide what the
// program writes, stand as "\xNN" or "\uNNNN".
QString TerminalText(const QString& text);
