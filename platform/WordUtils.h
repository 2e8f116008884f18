#pragma once

#include <QString>
#include <QStringList>

// Words of a text between delimiter characters: a run of delimiters counts as one break,
// leading and trailing delimiters give no empty word. Words are numbered from 1.
int WordCount(const QString& text, const QString& delimiters);
// The n-th word, or the empty text when there are fewer words (or n < 1).
QString ExtractWord(int n, const QString& text, const QString& delimiters);
// Index (0-based) of the first character of the n-th word, or -1.
int WordPosition(int n, const QString& text, const QString& delimiters);

// The lines of a text as a string list takes them: breaks at CR LF, LF or CR; a break at the very
// end opens no further line, so "a\r\n" is one line and "\r\n" one empty line.
QStringList SplitTextLines(const QString& text);
