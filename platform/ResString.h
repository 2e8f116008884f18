#pragma once

#include <QCoreApplication>
#include <QString>

// A text shown to the user, kept in the unit that uses it. The text is looked up through Qt's
// translation function each time it is used, never cached, so that a language module loaded
// later replaces it everywhere. The built-in texts are Russian.
struct TResString {
    const char* Context;   // the unit that owns the text, e.g. "KelmaMsg"
    const char* Text;      // the built-in (Russian) text, UTF-8
};

// Declares a text of a unit: RESSTR("KelmaMsg", "Вручную"). lupdate finds it through
// QT_TRANSLATE_NOOP.
#define RESSTR(context, text) TResString{context, QT_TRANSLATE_NOOP(context, text)}

inline QString LoadResString(const TResString& res)
{
    return QCoreApplication::translate(res.Context, res.Text);
}
