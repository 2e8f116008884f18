#pragma once

#include "app/core/archive/DrawLookups.h"
#include "app/core/shell/MainOptions.h"
#include "engine/KelmaStatList.h"
#include "engine/KelmaUtils.h"
#include "platform/FolderLock.h"

#include <QString>
#include <QStringList>

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <utility>
#include <vector>

// True when some argument equals the name, "-", "--", "/" or "\" followed by the name,
// letter case ignored; whole arguments only. The arguments do not include the program.
bool HasSwitch(const QStringList& arguments, const QString& name);

// The switches of batch runs.
inline constexpr char SwitchRestart[] = "restart";
inline constexpr char SwitchLoadOnly[] = "loadonly";
inline constexpr char SwitchFullRecreate[] = "fullrecreate";
inline constexpr char SwitchFullRefresh[] = "fullrefresh";
inline constexpr char SwitchNoLanguage[] = "no-language";

// A list of combinations: room for the game's combinations, of which Count are in use.
struct TCombList {
    int Count = 0;
    TCombsArray Items;

    void Clear()
    {
        Count = 0;
        Items.clear();
    }
    // Room for n combinations, none in use.
    void Reserve(int n)
    {
        Count = 0;
        Items.assign(static_cast<size_t>(n < 0 ? 0 : n), 0);
    }
};

// What the window shows about the archive: the status panels and the offset editor's limit.
struct TDrawsInfo {
    int Count = 0;           // rows of the draw list
    QString CountText;       // panel 0
    QString NextText;        // panel 1
    QString DigitsText;      // panel 2
    int OffsetMax = -1;      // upper limit of the offset editor
};

// The state every workflow of the main window shares: the archive, the look-back offset, the
// combination lists, the run flags, the proxy, the options and the engine object. Windows
// and workflows hold a reference to the one instance; the views register themselves so that
// RefreshViews reaches them in the order they registered.
class TMainState {
public:
    TMainState();
    TMainState(const TMainState&) = delete;
    TMainState& operator=(const TMainState&) = delete;

    // --- Command line and files -------------------------------------------------------
    // The program's arguments without the program itself (default: the application's).
    const QStringList& Arguments() const { return FArguments; }
    void SetArguments(QStringList arguments) { FArguments = std::move(arguments); }
    bool HasSwitch(const QString& name) const { return ::HasSwitch(FArguments, name); }

    // The folder of the data files, with a trailing '/' (default: the program's folder).
    const QString& DataDir() const { return FDataDir; }
    void SetDataDir(const QString& folder);
    QString DrawsFileName() const;       // the archive, ".ldr"
    QString IniFileName() const;         // engine configuration and proxy, ".ini"
    QString FormStateFileName() const;   // ".frm"
    QString FavoritesFileName() const;   // favourite methods and their captions, ".flt"
    QString StakesFileName() const;      // ".lsk"
    QString RatingsFileName() const;     // ".lrt"

    // The hold on the data folder that keeps a second copy out.
    TFolderLock& FolderLock() { return FFolderLock; }

    // --- Archive --------------------------------------------------------------------
    TDrawsArray FDraws;
    TDigitSet FCurrentDigits;   // digits of the draw after the analysed range

    int DrawsOffset() const { return FDrawsOffset; }
    // Stores a new offset (never below 0) and tells the window, the status and the views.
    void SetDrawsOffset(int offset);

    TCombWord GetDrawDigits(int i) const { return ::GetDrawDigits(FDraws, i); }
    std::int64_t NextDrawNumber(int i) const { return ::NextDrawNumber(FDraws, i); }
    QString GetDrawDigitsText(int i) const { return ::GetDrawDigitsText(FDraws, i); }
    void MakeDrawDigitSet(int i) { FCurrentDigits = ::MakeDrawDigitSet(FDraws, i); }
    int GetDrawDateInt(int i, int n) const { return ::GetDrawDateInt(FDraws, i, n); }
    int FindDrawByNumber(std::int64_t number) const { return ::FindDrawByNumber(FDraws, number); }
    int FindDrawByText(const QString& text, int n) const { return ::FindDrawByText(FDraws, text, n); }

    TDrawsInfo DrawsInfo() const;
    // Recomputes FCurrentDigits and hands the texts to OnDrawsInfo; with force the window
    // resets its draw list even when the row count did not change.
    void UpdateDrawsInfo(bool force);
    std::function<void(const TDrawsInfo& info, bool force)> OnDrawsInfo;
    // The offset changed: the window updates its editor and repaints the draw list.
    std::function<void(int offset)> OnDrawsOffsetChanged;

    // --- Combinations ---------------------------------------------------------------
    TCombList FCombs;
    TCombList FUndoCombs;
    TCombList FCombsBuffer;
    std::array<std::int32_t, 2> FCombsBufferKey{-1, -1};   // both -1: the buffer is empty
    int CombCount = 0;                                      // 100 once the program runs
    // Empties the three lists and the buffer key.
    void ClearCombLists();
    // Room for CombCount combinations in each list, none in use.
    void ReserveCombLists();

    // --- Run flags, proxy, options, engine ------------------------------------------
    bool FScriptRunning = false;
    bool FScriptStop = false;
    bool FViewsLocked = false;
    // The settings file could not be read at start-up and the user was told: the engine and
    // the proxy read the same file, and one reason is told once.
    bool FConfigReadErrorTold = false;
    TProxy FProxy;
    TMainOptions Options;

    // Where the options live between runs (default: the form-state file of DataDir).
    IFormState& FormState() { return *FFormState; }
    void SetFormState(std::unique_ptr<IFormState> state);
    // Changes an option and writes it at once.
    void WriteOption(TMainOptions::TOption option, int value);

    // The engine object; it reads FDraws through a pointer, never a copy.
    TStatList& StatList() { return FStatList; }
    const TStatList& StatList() const { return FStatList; }

    // --- Views ----------------------------------------------------------------------
    using TViewRefresh = std::function<void(bool force)>;
    // Views are asked in the order they registered. Returns an id for UnregisterView.
    int RegisterView(TViewRefresh refresh);
    void UnregisterView(int id);
    // Unless FViewsLocked, asks every view; each decides itself whether it must recompute.
    void RefreshViews(bool force);

private:
    QStringList FArguments;
    QString FDataDir;
    TFolderLock FFolderLock;
    int FDrawsOffset = 0;
    std::unique_ptr<IFormState> FFormState;
    bool FOwnFormState = true;   // the default store, which follows DataDir
    TStatList FStatList;
    std::vector<std::pair<int, TViewRefresh>> FViews;
    int FNextViewId = 1;
};
