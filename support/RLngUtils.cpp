#include "support/RLngUtils.h"

#include <algorithm>
#include <array>

namespace {

struct TLocaleInfo {
    LCID Id;
    const char* Abbrev;    // the window system's three-letter language abbreviation
    const char* Locale;    // the same locale for Qt
    int CodePage;          // its 8-bit code page; 0 for locales written in Unicode only
};

// The locales the program can be translated into, in ascending order of id.
constexpr std::array<TLocaleInfo, 64> Locales{{
    {1025, "ARA", "ar_SA", 1256},
    {1026, "BGR", "bg_BG", 1251},
    {1027, "CAT", "ca_ES", 1252},
    {1028, "CHT", "zh_TW", 950},
    {1029, "CSY", "cs_CZ", 1250},
    {1030, "DAN", "da_DK", 1252},
    {1031, "DEU", "de_DE", 1252},
    {1032, "ELL", "el_GR", 1253},
    {1033, "ENU", "en_US", 1252},
    {1034, "ESP", "es_ES", 1252},
    {1035, "FIN", "fi_FI", 1252},
    {1036, "FRA", "fr_FR", 1252},
    {1037, "HEB", "he_IL", 1255},
    {1038, "HUN", "hu_HU", 1250},
    {1039, "ISL", "is_IS", 1252},
    {1040, "ITA", "it_IT", 1252},
    {1041, "JPN", "ja_JP", 932},
    {1042, "KOR", "ko_KR", 949},
    {1043, "NLD", "nl_NL", 1252},
    {1044, "NOR", "nb_NO", 1252},
    {1045, "PLK", "pl_PL", 1250},
    {1046, "PTB", "pt_BR", 1252},
    {1048, "ROM", "ro_RO", 1250},
    {1049, "RUS", "ru_RU", 1251},
    {1050, "HRV", "hr_HR", 1250},
    {1051, "SKY", "sk_SK", 1250},
    {1052, "SQI", "sq_AL", 1250},
    {1053, "SVE", "sv_SE", 1252},
    {1054, "THA", "th_TH", 874},
    {1055, "TRK", "tr_TR", 1254},
    {1057, "IND", "id_ID", 1252},
    {1058, "UKR", "uk_UA", 1251},
    {1059, "BEL", "be_BY", 1251},
    {1060, "SLV", "sl_SI", 1250},
    {1061, "ETI", "et_EE", 1257},
    {1062, "LVI", "lv_LV", 1257},
    {1063, "LTH", "lt_LT", 1257},
    {1064, "TAJ", "tg_TJ", 1251},
    {1065, "FAR", "fa_IR", 1256},
    {1066, "VIT", "vi_VN", 1258},
    {1067, "HYE", "hy_AM", 0},
    {1068, "AZE", "az_AZ", 1254},
    {1071, "MKI", "mk_MK", 1251},
    {1079, "KAT", "ka_GE", 0},
    {1081, "HIN", "hi_IN", 0},
    {1086, "MSL", "ms_MY", 1252},
    {1087, "KKZ", "kk_KZ", 1251},
    {1088, "KYR", "ky_KG", 1251},
    {1091, "UZB", "uz_UZ", 1254},
    {1092, "TTT", "tt_RU", 1251},
    {1104, "MON", "mn_MN", 1251},
    {2052, "CHS", "zh_CN", 936},
    {2055, "DES", "de_CH", 1252},
    {2057, "ENG", "en_GB", 1252},
    {2060, "FRB", "fr_BE", 1252},
    {2067, "NLB", "nl_BE", 1252},
    {2070, "PTG", "pt_PT", 1252},
    {3079, "DEA", "de_AT", 1252},
    {3081, "ENA", "en_AU", 1252},
    {3082, "ESN", "es_ES", 1252},
    {3084, "FRC", "fr_CA", 1252},
    {4105, "ENC", "en_CA", 1252},
    {5129, "ENZ", "en_NZ", 1252},
    {6153, "ENI", "en_IE", 1252},
}};

static_assert(std::is_sorted(Locales.begin(), Locales.end(),
                             [](const TLocaleInfo& a, const TLocaleInfo& b) { return a.Id < b.Id; }));

const TLocaleInfo* Find(LCID lcid)
{
    const LCID id = lcid & 0xFFFFu;
    const auto it = std::lower_bound(Locales.begin(), Locales.end(), id,
                                     [](const TLocaleInfo& info, LCID value) { return info.Id < value; });
    return it != Locales.end() && it->Id == id ? &*it : nullptr;
}

// Font character sets of the 8-bit code pages.
int CharsetOfCodePage(int codePage)
{
    switch (codePage) {
    case 874: return 222;    // Thai
    case 932: return 128;    // Shift-JIS
    case 936: return 134;    // GB2312
    case 949: return 129;    // Hangul
    case 950: return 136;    // Big5
    case 1250: return 238;   // East European
    case 1251: return 204;   // Russian
    case 1252: return 0;     // ANSI
    case 1253: return 161;   // Greek
    case 1254: return 162;   // Turkish
    case 1255: return 177;   // Hebrew
    case 1256: return 178;   // Arabic
    case 1257: return 186;   // Baltic
    case 1258: return 163;   // Vietnamese
    default: return 1;       // the default character set
    }
}

} // namespace

QString GetLanguageAbbrev(LCID lcid)
{
    const TLocaleInfo* info = Find(lcid);
    return info ? QString::fromLatin1(info->Abbrev) : QString();
}

QString GetLanguageName(LCID lcid)
{
    if (!Find(lcid))
        return QString();
    const QLocale locale = GetLanguageLocale(lcid);
    QString name = locale.nativeLanguageName();
    if (name.isEmpty())
        return QString();
    name[0] = name[0].toUpper();
    const QString territory = locale.nativeTerritoryName();
    return territory.isEmpty() ? name : name + QStringLiteral(" (") + territory + QLatin1Char(')');
}

int GetAnsiCodePage(LCID lcid)
{
    const TLocaleInfo* info = Find(lcid);
    return info ? info->CodePage : 0;
}

int GetLocaleCharset(LCID lcid)
{
    return CharsetOfCodePage(GetAnsiCodePage(lcid));
}

QLocale GetLanguageLocale(LCID lcid)
{
    const TLocaleInfo* info = Find(lcid);
    return info ? QLocale(QString::fromLatin1(info->Locale)) : QLocale::c();
}

QList<LCID> GetKnownLocales()
{
    QList<LCID> ids;
    ids.reserve(static_cast<qsizetype>(Locales.size()));
    for (const TLocaleInfo& info : Locales)
        ids.append(info.Id);
    return ids;
}
