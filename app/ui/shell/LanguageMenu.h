#pragma once

class QMenu;
class TActionRegistry;
class TLanguages;

// Fills the language menu: one radio item per language of the list, in its order, each a
// command of the registry named "lngOther<LCID>" with the LCID as the action's data. Its caption
// and hint are the language's own name; it is offered while no long operation runs, shows as
// chosen by TLanguages::IsChosen and runs TLanguages::Choose. Items of an earlier fill are
// replaced.
void FillLanguageMenu(QMenu* menu, TActionRegistry& registry, TLanguages& languages);
