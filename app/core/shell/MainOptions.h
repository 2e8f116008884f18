#pragma once

#include <QString>

#include <array>
#include <span>

// Where the main window keeps its options between runs: the form-state file, section of the
// window's class. The window layer backs this with its form-state storage; batch runs and
// tests use TIniFormState below. Booleans are stored as "1" and "0".
class IFormState {
public:
    virtual ~IFormState() = default;
    // The default when the key is missing or its value is not an integer.
    virtual int ReadInteger(const QString& key, int def) const = 0;
    // A number of draws, which may be anything up to INT_MAX where a stored size would be
    // damage: the window layer reads sizes within a window's limits and counts within 0..INT_MAX.
    virtual int ReadCount(const QString& key, int def) const { return ReadInteger(key, def); }
    virtual bool ReadBool(const QString& key, bool def) const = 0;
    // Written to the file at once.
    virtual void WriteInteger(const QString& key, int value) = 0;
    virtual void WriteBool(const QString& key, bool value) = 0;
};

// Form state in an ini-format file: every call opens the file afresh and a write rewrites it
// whole, so nothing stays open between calls. Read errors give the defaults' caller an
// Exception, as do write errors.
class TIniFormState : public IFormState {
public:
    TIniFormState(QString fileName, QString section);

    int ReadInteger(const QString& key, int def) const override;
    bool ReadBool(const QString& key, bool def) const override;
    void WriteInteger(const QString& key, int value) override;
    void WriteBool(const QString& key, bool value) override;

    const QString& FileName() const { return FFileName; }
    const QString& Section() const { return FSection; }

private:
    QString FFileName;
    QString FSection;
};

// The form-state section of the main window.
inline constexpr char MainFormSection[] = "TFormMain";

enum class TOptionType { Integer, Boolean };

struct TOptionDef {
    const char* Key;
    TOptionType Type;
    int Default;       // booleans: 0 or 1
    int Choices = 0;   // an integer chosen from 0..Choices-1 (a menu's items); 0: any integer
};

// The main window's options: one value per key of the table, defaults until read.
class TMainOptions {
public:
    enum TOption : int {
        DownloadDrawsOnStart,   // 0 ask, 1 always, 2 never
        AutoUpdates,
        ColorDraws,
        ColorCombs,
        ColorCard,
        ColorCardSequences,
        LayoutGradient,
        SortedDraws,
        WeekChartMode,
        WeekChartType,
        ScriptLogEnabled,
        StakesLogEnabled,
        StakesScrollEnabled,
        StakesCheckOnLine,
        PrefetchsEnabled,
        ShowTotalLine,
        RatingsEffMode,
        ScriptLibraryOn,
        ScriptLibraryFilter,
        TabGraphs,
        TabCard,
        TabLayout,
        TabWeek,
        TabTables,
        SystemsEnabled,
        Language,
        FirstRun,
        PrefetchsInit,
        OptionCount
    };

    static std::span<const TOptionDef> Table();
    static const TOptionDef& Def(TOption option);

    TMainOptions();   // every option at its default

    int Value(TOption option) const { return FValues.at(option); }
    bool Flag(TOption option) const { return FValues.at(option) != 0; }
    // Changes the value in memory only. An integer outside the option's choices becomes its
    // default, so that its menu always ticks one item; a Boolean is 1 for anything but 0.
    void SetValue(TOption option, int value);

    // Reads every key of the table (missing keys and non-numbers give the defaults) and takes
    // each value as SetValue does.
    void Load(const IFormState& state);
    // Changes one option and writes its key at once, as the commands that change options do.
    void Write(IFormState& state, TOption option, int value);

    // The first start: when "PrefetchsInit" reads false, writes "PrefetchsInit" = true and
    // "PrefetchsEnabled" = the current option. True when it did.
    bool InitFirstStart(IFormState& state);

private:
    std::array<int, OptionCount> FValues;
};
