#include "engine/KelmaStatList.h"

#include "platform/DelphiText.h"
#include "platform/Exceptions.h"
#include "platform/IniFile.h"

#include <algorithm>
#include <exception>

// The engine's settings: the configuration file beside the program (sections GLOBAL,
// STAKES, CDL, SHREDDING; the main window keeps its proxy section in the same file) and the
// favourites files. Every call opens the file in memory, so a load never writes and a save
// rewrites the whole file at once, keeping sections and keys that belong to others.

namespace {

const QString SecGlobal = QStringLiteral("GLOBAL");
const QString SecStakes = QStringLiteral("STAKES");
const QString SecCdl = QStringLiteral("CDL");
const QString SecShredding = QStringLiteral("SHREDDING");
const QString SecFilters = QStringLiteral("FILTERS");

constexpr int DefaultMatrixCols = 3;
constexpr int DefaultChannelSize = 2;
constexpr int DefaultMaxStake = 2;
constexpr int DefaultFormulaDigits = 2;
constexpr int MaxGenerateParameters = 255;

// A payout entry exists per number of matched positions (a byte); a count far beyond that
// is a damaged file, and reading it as it stands would exhaust memory at start-up.
constexpr int MaxProfitEntries = 1024;

// A stake's cost per combination and a payout are read only within this many units: a stake
// of every digit covers 65 025 combinations, and the balances of a large file of stakes must
// still sum inside the money type. A value beyond it (or below zero) is a damaged file and
// reads as a missing one.
constexpr long double MaxStakeMoney = 10000000.0L;

const char DefaultFormula1[] = "n1/n2";
const char DefaultFormula2[] = "n2/n1";
const char DefaultFormula3[] = "(n1+n2)/(n1-n2)";

// Floats are read with either decimal separator and kept in extended precision.
long double ReadExtended(const TMemIniFile& ini, const QString& section, const QString& ident,
                         long double def)
{
    if (!ini.ValueExists(section, ident))
        return def;
    long double value = 0;
    return TryStrToFloat(ini.ReadString(section, ident, QString()), value) ? value : def;
}

void WriteExtended(TMemIniFile& ini, const QString& section, const QString& ident,
                   long double value)
{
    ini.WriteString(section, ident, FloatToStr(value));
}

TCurrency ReadStakeMoney(const TMemIniFile& ini, const QString& section, const QString& ident)
{
    const long double value = ReadExtended(ini, section, ident, 0);
    if (!(value >= 0 && value <= MaxStakeMoney))
        return TCurrency();
    return TCurrency::FromDouble(value);
}

void WriteCurrency(TMemIniFile& ini, const QString& section, const QString& ident, TCurrency value)
{
    WriteExtended(ini, section, ident, value.ToDouble());
}

QString ProfitKey(int index, const char* field)
{
    return QStringLiteral("Profit_%1_%2").arg(index).arg(QLatin1String(field));
}

QString StringsSection(const QString& languageAbbrev)
{
    return Format(QStringLiteral("STRINGS_%s"), {languageAbbrev});
}

TConfigData ReadConfig(const TMemIniFile& ini)
{
    TConfigData config;

    // Columns, channels and segments divide and index the digits: values that cannot
    // describe a matrix or a channel fall back to their defaults.
    config.MatrixCols = ini.ReadInteger(SecGlobal, QStringLiteral("MatrixCols"), DefaultMatrixCols);
    if (config.MatrixCols < 1)
        config.MatrixCols = DefaultMatrixCols;
    config.MatrixSegments = StrToSegments(ini.ReadString(SecGlobal, QStringLiteral("MatrixSegments"), QString()));
    for (auto& row : config.MatrixSegments)
        for (std::uint8_t& entry : row)
            if (entry < 1 || entry > 9)
                entry = 1;
    config.ChannelSize = ini.ReadInteger(SecGlobal, QStringLiteral("ChannelSize"), DefaultChannelSize);
    if (config.ChannelSize < 1)
        config.ChannelSize = DefaultChannelSize;

    config.Cost = ReadStakeMoney(ini, SecStakes, QStringLiteral("Cost"));
    config.MaxStake = ini.ReadInteger(SecStakes, QStringLiteral("MaxStake"), DefaultMaxStake);
    const int profits = std::clamp(ini.ReadInteger(SecStakes, QStringLiteral("Profits"), 0), 0,
                                   MaxProfitEntries);
    config.Profits.resize(static_cast<std::size_t>(profits));
    for (int i = 0; i < profits; ++i) {
        TProfitRec& entry = config.Profits[static_cast<std::size_t>(i)];
        entry.Matches = static_cast<std::uint8_t>(ini.ReadInteger(SecStakes, ProfitKey(i, "Overlap"), 0));
        entry.Amount = ReadStakeMoney(ini, SecStakes, ProfitKey(i, "Profit"));
    }

    config.Weights.Count = ReadExtended(ini, SecCdl, QStringLiteral("Count"), 0);
    config.Weights.Deviation = ReadExtended(ini, SecCdl, QStringLiteral("Deviation"), -1);
    config.Weights.Level = ReadExtended(ini, SecCdl, QStringLiteral("Level"), 1);
    config.Weights.UsePercents = ini.ReadBool(SecCdl, QStringLiteral("UsePercents"), false);
    config.Weights.UseAbsValues = ini.ReadBool(SecCdl, QStringLiteral("UseAbsValues"), false);

    return config;
}

// A configuration that cannot be read leaves the values a fresh folder gets: the engine's own
// zeros are no settings (a matrix of one column, weights of 0, segments 0), and everything it
// computes would be wrong for the whole run. The defaults are what a file without the keys
// reads as; the error still reaches the caller, which tells it.
template <typename TRead>
void ReadOrDefaults(const QString& iniFileName, TRead&& read)
{
    read(TMemIniFile(QString()));
    read(TMemIniFile(iniFileName));
}

}  // namespace

// ---------------------------------------------------------------------------------------
// Configuration

void TStatList::LoadConfig(const QString& iniFileName)
{
    ReadOrDefaults(iniFileName, [this](const TMemIniFile& ini) { FConfig = ReadConfig(ini); });
}

void TStatList::SaveConfig(const QString& iniFileName) const
{
    TMemIniFile ini = TMemIniFile::ForRewrite(iniFileName);
    ini.WriteInteger(SecGlobal, QStringLiteral("MatrixCols"), FConfig.MatrixCols);
    ini.WriteString(SecGlobal, QStringLiteral("MatrixSegments"), SegmentsToStr(FConfig.MatrixSegments));
    ini.WriteInteger(SecGlobal, QStringLiteral("ChannelSize"), FConfig.ChannelSize);

    WriteCurrency(ini, SecStakes, QStringLiteral("Cost"), FConfig.Cost);
    ini.WriteInteger(SecStakes, QStringLiteral("MaxStake"), FConfig.MaxStake);
    ini.WriteInteger(SecStakes, QStringLiteral("Profits"), static_cast<int>(FConfig.Profits.size()));
    for (std::size_t i = 0; i < FConfig.Profits.size(); ++i) {
        const int n = static_cast<int>(i);
        ini.WriteInteger(SecStakes, ProfitKey(n, "Overlap"), FConfig.Profits[i].Matches);
        WriteCurrency(ini, SecStakes, ProfitKey(n, "Profit"), FConfig.Profits[i].Amount);
    }

    WriteExtended(ini, SecCdl, QStringLiteral("Count"), FConfig.Weights.Count);
    WriteExtended(ini, SecCdl, QStringLiteral("Deviation"), FConfig.Weights.Deviation);
    WriteExtended(ini, SecCdl, QStringLiteral("Level"), FConfig.Weights.Level);
    ini.WriteInteger(SecCdl, QStringLiteral("UsePercents"), FConfig.Weights.UsePercents ? 1 : 0);
    ini.WriteInteger(SecCdl, QStringLiteral("UseAbsValues"), FConfig.Weights.UseAbsValues ? 1 : 0);
    ini.UpdateFile();
}

void TStatList::LoadCombsGenerateSettings(const QString& iniFileName)
{
    ReadOrDefaults(iniFileName, [this](const TMemIniFile& ini) {
        CombsGenerateMode = static_cast<std::uint8_t>(ini.ReadInteger(SecGlobal, QStringLiteral("CombsGenerateMode"), 0));
        CombsGenerateParameters = ini.ReadString(SecGlobal, QStringLiteral("CombsGenerateParameters"), QString())
                                      .left(MaxGenerateParameters);
    });
}

void TStatList::SaveCombsGenerateSettings(const QString& iniFileName) const
{
    TMemIniFile ini = TMemIniFile::ForRewrite(iniFileName);
    ini.WriteInteger(SecGlobal, QStringLiteral("CombsGenerateMode"), CombsGenerateMode);
    ini.WriteString(SecGlobal, QStringLiteral("CombsGenerateParameters"),
                    CombsGenerateParameters.left(MaxGenerateParameters));
    ini.UpdateFile();
}

void TStatList::LoadShreddingFormulas(const QString& iniFileName)
{
    ReadOrDefaults(iniFileName, [this](const TMemIniFile& ini) {
        const auto digits = [&](const char* key) {
            return static_cast<std::uint8_t>(ini.ReadInteger(SecShredding, QLatin1String(key), DefaultFormulaDigits));
        };
        Formula1 = ini.ReadString(SecShredding, QStringLiteral("Formula1"), QLatin1String(DefaultFormula1));
        Formula2 = ini.ReadString(SecShredding, QStringLiteral("Formula2"), QLatin1String(DefaultFormula2));
        Formula3 = ini.ReadString(SecShredding, QStringLiteral("Formula3"), QLatin1String(DefaultFormula3));
        Formula1Digits = digits("Formula1Digits");
        Formula2Digits = digits("Formula2Digits");
        Formula3Digits = digits("Formula3Digits");
    });
}

void TStatList::SaveShreddingFormulas(const QString& iniFileName) const
{
    TMemIniFile ini = TMemIniFile::ForRewrite(iniFileName);
    ini.WriteString(SecShredding, QStringLiteral("Formula1"), Formula1);
    ini.WriteString(SecShredding, QStringLiteral("Formula2"), Formula2);
    ini.WriteString(SecShredding, QStringLiteral("Formula3"), Formula3);
    ini.WriteInteger(SecShredding, QStringLiteral("Formula1Digits"), Formula1Digits);
    ini.WriteInteger(SecShredding, QStringLiteral("Formula2Digits"), Formula2Digits);
    ini.WriteInteger(SecShredding, QStringLiteral("Formula3Digits"), Formula3Digits);
    ini.UpdateFile();
}

// ---------------------------------------------------------------------------------------
// Favourites

bool TStatList::LoadFilterSettings(const QString& fileName, bool withOptions,
                                   const QString& languageAbbrev, QString* errorText)
{
    try {
        const TMemIniFile ini(fileName);
        const QString strings = StringsSection(languageAbbrev);
        if (withOptions) {
            SetFavoritesText(ini.ReadString(SecFilters, QStringLiteral("Favorites"), FavoritesText()));
            Ordered = ini.ReadBool(SecFilters, QStringLiteral("Ordered"), Ordered);
            ShowGroupName = ini.ReadBool(SecFilters, QStringLiteral("ShowGroupName"), ShowGroupName);
            ShowMethodFlags = ini.ReadBool(SecFilters, QStringLiteral("ShowMethodFlags"), ShowMethodFlags);
        }
        for (auto& method : FMethods)
            method->UserCaption = ini.ReadString(strings, method->Code(), QString()).trimmed();
        return true;
    } catch (const std::exception& e) {
        if (errorText)
            *errorText = Format(LoadResString(rsFiltersLoadError), {ExceptionText(e)});
        return false;
    }
}

bool TStatList::SaveFilterSettings(const QString& fileName, bool withOptions, bool allCaptions,
                                   const QString& languageAbbrev, QString* errorText) const
{
    try {
        TMemIniFile ini = TMemIniFile::ForRewrite(fileName);
        const QString strings = StringsSection(languageAbbrev);
        if (withOptions) {
            ini.WriteString(SecFilters, QStringLiteral("Favorites"), FavoritesText());
            ini.WriteBool(SecFilters, QStringLiteral("Ordered"), Ordered);
            ini.WriteBool(SecFilters, QStringLiteral("ShowGroupName"), ShowGroupName);
            ini.WriteBool(SecFilters, QStringLiteral("ShowMethodFlags"), ShowMethodFlags);
        }
        ini.EraseSection(strings);
        for (const auto& method : FMethods) {
            if (allCaptions)
                ini.WriteString(strings, method->Code(), method->DisplayCaption());
            else if (!method->UserCaption.isEmpty())
                ini.WriteString(strings, method->Code(), method->UserCaption);
        }
        ini.UpdateFile();
        return true;
    } catch (const std::exception& e) {
        if (errorText)
            *errorText = Format(LoadResString(rsFiltersSaveError), {ExceptionText(e)});
        return false;
    }
}
