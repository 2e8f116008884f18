#include "app/core/shell/Languages.h"

#include "app/core/shell/HelpLinks.h"
#include "app/core/shell/MainState.h"
#include "platform/Exceptions.h"
#include "support/RLngDLL.h"
#include "support/RSysUtils.h"

TLanguages::TLanguages(TMainState& state) : FState(state)
{
}

QString TLanguages::Setup()
{
    const TOptionDef& option = TMainOptions::Def(TMainOptions::Language);
    LCID wanted = LANG_RUSSIAN_RU;
    if (!FState.HasSwitch(QLatin1String(SwitchNoLanguage)))
        wanted = static_cast<LCID>(FState.FormState().ReadInteger(QLatin1String(option.Key), option.Default));
    // A stored number that names no language would make a module name without its
    // abbreviation; it counts as a language without a module.
    if (GetLanguageAbbrev(wanted).isEmpty())
        wanted = LANG_RUSSIAN_RU;

    QString error;
    try {
        InitLanguages(LANG_RUSSIAN_RU, wanted);
    } catch (const std::exception& e) {
        // The module is there but unreadable: the built-in texts stay (InitLanguages made them
        // current before it tried the module), and the rest of the set-up goes on with them,
        // so that the menu still offers another language.
        error = ExceptionText(e);
    }
    FHelpFileName = FindHelpFile(GetAppDir(), HelpFileTitle(GetCurrentLanguage()));
    FItems = GetLanguages();
    return error;
}

QString TLanguages::Caption(LCID lcid)
{
    return GetLanguageName(lcid);
}

bool TLanguages::IsChosen(LCID lcid) const
{
    const LCID current = GetCurrentLanguage();
    if (PrimaryLanguage(lcid) != PrimaryLanguage(current))
        return false;
    return lcid == current || !FItems.contains(current);
}

bool TLanguages::Choose(LCID lcid)
{
    if (lcid == GetCurrentLanguage())
        return false;
    CheckLanguageFile(lcid);
    FState.WriteOption(TMainOptions::Language, static_cast<int>(lcid));
    if (Restart)
        Restart();
    return true;
}
