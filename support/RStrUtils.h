#pragma once

#include <QString>

// first + delimiter + second; when either is empty the other alone.
QString AddDelimStr(const QString& first, const QString& second, const QString& delimiter);

// One-line form of a text with C-style escapes: control characters 0..13 and 27, the double and
// single quote, '?' and the backslash become a backslash sequence ("\r", "\n", "\t", "\0" ...,
// "\e", "\"", "\'", "\?", "\\"); everything else passes unchanged.
QString StrToCStr(const QString& text);
