#pragma once

#include <QList>
#include <QLocale>
#include <QString>

#include <cstdint>

// A language as the window system identifies it (a locale id; only the low 16 bits count),
// e.g. 1049 Russian, 1033 English (United States), 1058 Ukrainian.
using LCID = std::uint32_t;

constexpr LCID LANG_RUSSIAN_RU = 1049;
constexpr LCID LANG_ENGLISH_US = 1033;

// Three-letter abbreviation ("RUS", "ENU", "UKR"); empty for an unknown locale.
QString GetLanguageAbbrev(LCID lcid);
// Display name of the language in that language ("Русский (Россия)"); empty when unknown.
QString GetLanguageName(LCID lcid);
// The locale's 8-bit code page (1251 for Russian); 0 when it has none or is unknown.
int GetAnsiCodePage(LCID lcid);
// The font character set of the locale's code page (204 for 1251); 1 (the default character
// set) when there is none.
int GetLocaleCharset(LCID lcid);
// The same locale as Qt names it (ru_RU for 1049); the "C" locale for an unknown id.
QLocale GetLanguageLocale(LCID lcid);
// Every locale id this program knows, in ascending order.
QList<LCID> GetKnownLocales();
