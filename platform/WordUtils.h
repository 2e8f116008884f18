#pragma once

#include <QString>

// Words of a text between delimiter characters: a run of delimiters counts as one break,
// leading and trailing delimiters give no empty word. Words are numbered from 1.
int WordCount(const QString& text, const QString& delimiters);
// The n-th word, or the empty text when there are fewer words (or n < 1).
QString ExtractWord(int n, const QString& text, const QString& delimiters);
// Index (0-based) of the first character of the n-th word, or -1.
int WordPosition(int n, const QString& text, const QString& delimiters);
