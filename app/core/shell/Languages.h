#pragma once

#include "support/RLngUtils.h"

#include <QList>
#include <QString>

#include <functional>

class TMainState;

// The interface language of the main window: chosen once at start-up from the stored option
// (or the built-in Russian with the "no-language" switch), with the help file that belongs to
// it, and the list the language menu shows. The menu never switches at run time: choosing
// another language stores it and restarts the program, which comes up in it.
class TLanguages {
public:
    explicit TLanguages(TMainState& state);

    // Sets up the language, the help file and the menu's list. A module that exists but cannot
    // be read does not stop the program: it comes up in the built-in language, and the module's
    // error is returned for the window to show (empty when all went well).
    QString Setup();

    // The languages of the menu, in its order (ascending, the built-in one included).
    const QList<LCID>& Items() const { return FItems; }
    // The menu item's caption and hint.
    static QString Caption(LCID lcid);
    // True for the item shown as chosen: its primary language (low 10 bits) is the current
    // language's, and the current language itself is not another item of the menu (so that of
    // two modules of one language only the one in use is marked).
    bool IsChosen(LCID lcid) const;
    // The menu's command for a language. The current language does nothing (false). Another
    // one must have its module (else raises "Языковый модуль "%s" не найден!"); it is stored
    // as the option "Language" and the program restarts (true).
    bool Choose(LCID lcid);

    // The help file of the current language, looked up where it may be installed.
    const QString& HelpFileName() const { return FHelpFileName; }

    // Ends this copy and starts the program anew with the switch "restart". The window fills
    // it; a failure raises.
    std::function<void()> Restart;

private:
    TMainState& FState;
    QList<LCID> FItems;
    QString FHelpFileName;
};

// The primary language of an LCID: its low 10 bits.
constexpr LCID PrimaryLanguage(LCID lcid)
{
    return lcid & 0x3FF;
}
