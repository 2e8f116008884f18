#pragma once

#include <QString>

// A form field as the program escapes free text for the maker's server (backslash and n, r, t,
// a digit 0..6, another backslash, ...), back to the text. A lone backslash at the end stays.
QString StandInCUnescape(const QString& text);
