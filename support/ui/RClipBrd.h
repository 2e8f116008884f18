#pragma once

#include <QString>

// Puts the text on the clipboard; the empty text leaves the clipboard as it was.
void SetClipboardWideText(const QString& text);
// The clipboard's text; empty when it holds none.
QString GetClipboardWideText();
