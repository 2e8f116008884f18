#include "support/RLngUtils.h"

#include <gtest/gtest.h>

TEST(RLngUtils, AbbreviationsCodePagesAndCharsets)
{
    EXPECT_EQ(GetLanguageAbbrev(1049), "RUS");
    EXPECT_EQ(GetLanguageAbbrev(1033), "ENU");
    EXPECT_EQ(GetLanguageAbbrev(1058), "UKR");
    EXPECT_EQ(GetLanguageAbbrev(2057), "ENG");
    EXPECT_EQ(GetLanguageAbbrev(0x10000u | 1049u), "RUS");   // only the low 16 bits count
    EXPECT_EQ(GetLanguageAbbrev(0), "");
    EXPECT_EQ(GetLanguageAbbrev(9999), "");

    EXPECT_EQ(GetAnsiCodePage(1049), 1251);
    EXPECT_EQ(GetAnsiCodePage(1033), 1252);
    EXPECT_EQ(GetAnsiCodePage(1029), 1250);
    EXPECT_EQ(GetAnsiCodePage(9999), 0);

    EXPECT_EQ(GetLocaleCharset(1049), 204);
    EXPECT_EQ(GetLocaleCharset(1058), 204);
    EXPECT_EQ(GetLocaleCharset(1033), 0);
    EXPECT_EQ(GetLocaleCharset(1032), 161);
    EXPECT_EQ(GetLocaleCharset(1067), 1);   // Armenian has no 8-bit code page
    EXPECT_EQ(GetLocaleCharset(9999), 1);
}

TEST(RLngUtils, NamesInTheirOwnLanguage)
{
    EXPECT_EQ(GetLanguageName(1049), "Русский (Россия)");
    EXPECT_EQ(GetLanguageName(1058), "Українська (Україна)");
    EXPECT_TRUE(GetLanguageName(1033).contains("English"));
    EXPECT_EQ(GetLanguageName(9999), "");
}

TEST(RLngUtils, KnownLocalesAreAscendingAndAbbreviated)
{
    const QList<LCID> ids = GetKnownLocales();
    ASSERT_FALSE(ids.isEmpty());
    EXPECT_TRUE(ids.contains(1049u));
    EXPECT_TRUE(ids.contains(1033u));
    for (qsizetype i = 0; i < ids.size(); ++i) {
        EXPECT_EQ(GetLanguageAbbrev(ids[i]).size(), 3) << ids[i];
        if (i > 0) {
            EXPECT_LT(ids[i - 1], ids[i]);
        }
    }
}

TEST(RLngUtils, QtLocalesOfTheLanguages)
{
    const struct {
        LCID Id;
        QLocale::Language Language;
        QLocale::Territory Territory;
    } cases[] = {
        {1049, QLocale::Russian, QLocale::Russia},
        {1033, QLocale::English, QLocale::UnitedStates},
        {2057, QLocale::English, QLocale::UnitedKingdom},
        {1058, QLocale::Ukrainian, QLocale::Ukraine},
        {0x10000u | 1031u, QLocale::German, QLocale::Germany},
    };
    for (const auto& c : cases) {
        const QLocale locale = GetLanguageLocale(c.Id);
        EXPECT_EQ(locale.language(), c.Language) << c.Id;
        EXPECT_EQ(locale.territory(), c.Territory) << c.Id;
    }
    EXPECT_EQ(GetLanguageLocale(9999), QLocale::c());
    EXPECT_EQ(GetLanguageLocale(0), QLocale::c());
}
