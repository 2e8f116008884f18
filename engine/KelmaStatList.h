#pragma once

#include "engine/KelmaFilters.h"

#include <QString>

#include <array>
#include <cstdint>
#include <memory>
#include <span>
#include <vector>

// The fixed table of all statistic classes, in registry order (143 entries).
std::span<const TStatClass* const> StatRegistry();

// Group caption "{ num } Числа тиража"; "#ERROR#" outside 0..12.
QString StatGroupCaption(int group);
QString StatGroupCode(int group);
inline constexpr int StatGroupCount = 13;

// One selectable method: a class and its parameter.
class TStatMethod {
public:
    TStatMethod(const TStatClass& statClass, int param, QString extraText = {});

    const TStatClass& StatClass() const { return *FClass; }
    int Param() const { return FParam; }

    bool Enabled = true;        // a favourite
    QString UserCaption;        // from the favourites file; empty when none
    QString ExtraText;          // shredding methods: the formula of the parameter

    QString Code() const;
    QString Caption() const;
    QString DisplayCaption() const;   // the user caption, else Caption
    QString FullCaption() const;      // DisplayCaption; shredding methods with their formula
    QString HelpUrl() const;
    bool HasNumericValue() const;
    std::unique_ptr<TCustomStat> CreateStat(const TStatList& list) const;

private:
    const TStatClass* FClass;
    int FParam;
};

// The engine object: the selectable methods, the engine configuration, the shredding
// formulas, the generation settings and the favourite options. It reads the draw archive
// through a pointer to the main state's archive vector, never a copy.
class TStatList {
public:
    TStatList();

    // Methods.
    int Count() const { return static_cast<int>(FMethods.size()); }
    TStatMethod& Items(int i) { return *FMethods.at(i); }
    const TStatMethod& Items(int i) const { return *FMethods.at(i); }
    bool IsAvailable(int i) const;
    bool HasStatTable(int i) const;
    bool IsGraph(int i) const;
    bool IsPlainValue(int i) const;
    bool IsFavorite(int i) const;
    QString MethodCaption(int i, bool withFlags) const;
    std::unique_ptr<TCustomStat> CreateStat(int i) const;
    // The statistic of a chosen method; raises Exception "Не выбран метод расчета
    // статистики (cb: %s)!" with the chooser's name when no method is chosen.
    std::unique_ptr<TCustomStat> CreateSelectedStat(const TStatMethod* method,
                                                    const QString& chooserName) const;
    // Index of the method with this code (letter case ignored), -1 when none.
    int IndexOfCode(const QString& code) const;
    // Resets the favourite options and lists the methods of the offered classes of the
    // registry: one per parameter of a parametric class, one with parameter 0 otherwise.
    void RebuildMethods();
    // The same over another table of classes (tests and tools).
    void RebuildMethods(std::span<const TStatClass* const> classes);

    // The archive.
    const TDrawsArray* Draws() const { return FDraws; }
    void SetDraws(const TDrawsArray* draws) { FDraws = draws; }

    // Configuration.
    TConfigData& Config() { return FConfig; }
    const TConfigData& Config() const { return FConfig; }
    void ClearProfits() { FConfig.Profits.clear(); }
    void BackupWeights() { FSavedWeights = FConfig.Weights; }
    void RestoreWeights() { FConfig.Weights = FSavedWeights; }
    void ApplyWeights(bool ownWeights, const TStatWeights& weights);
    // Money result of a stake of k digits with m matched positions (m < 0: not scored yet).
    TCurrency StakeBalance(int k, int m) const;

    // Favourites.
    bool Ordered = false;
    bool ShowGroupName = true;
    bool ShowMethodFlags = true;
    bool AllFavorites = true;
    void SelectAllFavorites();
    void CheckAllFavorites();
    QString FavoritesText() const;
    void SetFavoritesText(const QString& text);

    // Generation settings and shredding formulas.
    std::uint8_t CombsGenerateMode = 0;
    QString CombsGenerateParameters;   // at most 255 characters
    QString Formula1, Formula2, Formula3;
    std::uint8_t Formula1Digits = 0, Formula2Digits = 0, Formula3Digits = 0;
    QString Formula(int n) const;          // 1..3, empty otherwise
    int FormulaDigits(int n) const;

    // Revision of the settings that statistic values depend on: matrix columns, channel size,
    // matrix segments and the shredding formulas with their digits (not the weights, the cost
    // or the payouts). It grows by one each time a call finds them changed since the call
    // before, however they were changed, so a view that keeps the revision of its last
    // computation knows when that computation is out of date.
    std::uint64_t ConfigRevision() const;

    // Settings files. The configuration calls let read and write errors pass to the caller;
    // the favourites calls return false with the error text in errorText.
    void LoadConfig(const QString& iniFileName);
    void SaveConfig(const QString& iniFileName) const;
    void LoadCombsGenerateSettings(const QString& iniFileName);
    void SaveCombsGenerateSettings(const QString& iniFileName) const;
    void LoadShreddingFormulas(const QString& iniFileName);
    void SaveShreddingFormulas(const QString& iniFileName) const;
    // languageAbbrev: the current interface language ("RUS", "ENU", ...).
    bool LoadFilterSettings(const QString& fileName, bool withOptions,
                            const QString& languageAbbrev, QString* errorText = nullptr);
    bool SaveFilterSettings(const QString& fileName, bool withOptions, bool allCaptions,
                            const QString& languageAbbrev, QString* errorText = nullptr) const;

private:
    std::vector<std::unique_ptr<TStatMethod>> FMethods;
    const TDrawsArray* FDraws = nullptr;
    TConfigData FConfig;
    TStatWeights FSavedWeights;

    struct TValueSettings {
        std::int32_t MatrixCols = 0;
        std::int32_t ChannelSize = 0;
        TMatrixSegments MatrixSegments{};
        std::array<QString, 3> Formulas;
        std::array<std::uint8_t, 3> Digits{};
        bool operator==(const TValueSettings&) const = default;
    };
    TValueSettings ValueSettings() const;
    mutable TValueSettings FSeenSettings;   // as the last ConfigRevision call found them
    mutable std::uint64_t FConfigRevision = 0;
};
