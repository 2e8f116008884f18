#pragma once

#include <QString>

// A CSV field as written: trimmed of blanks and control characters; when enclosed in double
// quotes, the quotes are removed, a doubled quote inside becomes one and a lone one is dropped.
QString CsvUnquote(const QString& text);
