#pragma once

#include "support/RLngUtils.h"

#include <QList>
#include <QString>
#include <QStringList>

// Interface languages. The built-in texts are the default language (Russian). Another language
// comes as a module beside the program, "<program>_<abbrev>.lng" (a compiled Qt translation);
// switching installs it as the application's translator, which tells every window to re-read
// its texts. Qt's own texts (the buttons of message boxes, ...) follow the current language
// through Qt's translation files.

// Sets default and current language to defaultLcid, finds the modules and switches to wanted
// (a missing module quietly leaves the default language).
void InitLanguages(LCID defaultLcid, LCID wanted);
// Adds to the module list the default language (its texts are built in) and every known language
// whose module file exists, in ascending order.
void ScanLanguages();
LCID GetDefaultLanguage();
LCID GetCurrentLanguage();
// The languages that have a module.
QList<LCID> GetLanguages();
// Replaces the list by the names of the languages that have a module, in the same order.
// Before the first InitLanguages it runs InitLanguages(1049, 1049).
void FillLanguageNames(QStringList& names);
// Index of lcid in the module list; else the index of fallback; else -1.
int FindLanguageIndex(LCID lcid, LCID fallback);
// The module list's entry, or defaultLcid when index is outside the list.
LCID LanguageByIndex(int index, LCID defaultLcid);
// The module file of a language; for the default language the program file itself.
QString GetLanguageFileName(LCID lcid);
// Raises Exception "Языковый модуль "%s" не найден!" when lcid is not the default language and
// its module file does not exist.
void CheckLanguageFile(LCID lcid);
// Switches to lcid and returns the language now current. A language whose module is missing
// leads back to the default language (or raises "... не найден!" with raiseFlag). A module that
// exists but cannot be read raises "Не удалось загрузить языковый модуль ..." in any case.
LCID SetLanguage(LCID lcid, bool raiseFlag);
// Loads the module of lcid and installs it; false when its file is missing (raiseFlag false).
bool LoadLanguageModule(LCID lcid, bool raiseFlag);
// Removes the module translator and Qt's translation, and forgets the languages (the state before InitLanguages).
void DoneLanguages();
