#pragma once

#include "app/core/shell/AppStartup.h"
#include "app/ui/shell/Commands.h"
#include "app/core/combs/CombList.h"
#include "app/core/combs/CombsGen.h"
#include "app/core/archive/DrawArchive.h"
#include "app/core/archive/DrawsCsv.h"
#include "app/core/shell/Languages.h"
#include "app/core/shell/MainState.h"
#include "app/core/archive/ProxySettings.h"
#include "app/core/stakes/Ratings.h"
#include "app/core/stats/PrefetchCache.h"
#include "app/core/stakes/RegularStakes.h"
#include "app/core/scenarios/ScriptList.h"
#include "app/core/scenarios/ScriptLog.h"
#include "app/core/scenarios/ScriptRunner.h"
#include "app/core/stakes/StakeCommands.h"
#include "app/core/stakes/StakesFile.h"
#include "app/core/archive/ResultsDownload.h"
#include "app/core/stats/StatFilter.h"
#include "app/core/stats/StatTable.h"
#include "platform/ResString.h"

#include <QMainWindow>
#include <QPointer>
#include <QStringList>

#include <array>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <vector>

namespace Ui {
class FormMain;
}

class QAction;
class QMenu;
class QTimer;
class QSplitter;
class TActionRegistry;
class TOnlineScripts;
class TOnlineScriptsPanel;
class TSwScripts;
class TSwSystems;
class TSystemsExchange;
class TSystemsPage;
class TRListView;
class TROwnerDrawGrid;
class TCombsPage;
class TDrawsPage;
class TStatPage;
class TRatingsPage;
class TStakesPage;
class TScriptPage;
class TCardPage;
class TLayoutPage;
class TWeekPage;
class TDrawsGraphPage;
class TTablesPage;
class TStatusBar;
class TKeptPaneHeight;

// The program's main window: it owns the shared state and the workflow objects of the core,
// shows them, and wires every command to them. Start-up and shut-down are run by the core
// (TAppStartup); the window supplies the steps that need it.
class TTemplateMain : public QMainWindow {
    Q_OBJECT

public:
    // The arguments stand for the command line (the application's when none are given).
    explicit TTemplateMain(std::optional<QStringList> arguments = std::nullopt, QWidget* parent = nullptr);
    ~TTemplateMain() override;

    TMainState& State() { return FState; }
    TDrawArchive& Archive() { return FArchive; }
    TResultsDownload& Download() { return FDownload; }
    TSystemsPage* SystemsPage() const { return FSystemsPage; }
    TOnlineScriptsPanel* OnlineScriptsPanel() const { return FOnlineScriptsPanel; }
    TSystemsExchange& Systems() { return *FSystems; }
    TActionRegistry* Actions() const { return FActions; }
    // The command's action; an id without a row stops the program.
    QAction* Action(TCommand command) const;
    TStatusBar* StatusBar() const { return FStatusBar; }
    TCombListOps& Combs() { return FCombs; }
    TStatTable& StatTable() { return FStatTable; }
    TStatPage* StatPage() const { return FStatPage; }
    TStakesPage* StakesPage() const { return FStakesPage; }
    TRatings& Ratings() { return *FRatings; }
    // The stakes file, open from the start-up timer to shut-down.
    TStakesFile& StakesFile() { return *FStakesFile; }
    TStakeCommands& StakeCommands() { return *FStakeCommands; }
    TScriptList& Script() { return *FScript; }
    TScriptRunner& ScriptRunner() { return *FScriptRunner; }
    TCardPage* CardPage() const { return FCardPage; }
    TLayoutPage* LayoutPage() const { return FLayoutPage; }
    TWeekPage* WeekPage() const { return FWeekPage; }
    TRegularStakes& Tables() { return *FTables; }
    TTablesPage* TablesPage() const { return FTablesPage; }
    Ui::FormMain* Controls() const { return FUi.get(); }

    // The status panel of messages.
    static constexpr int MessagePanel = 6;
    void ShowStatus(const QString& text);

    // True once the program has to end without going on (a batch run is done, a second copy
    // was refused, the restart wait ran out); ExitCode is what the process returns then.
    bool EndRequested() const { return FEndRequested; }
    int ExitCode() const { return FExitCode; }
    // True once the one-shot start-up timer has done its work.
    bool Initialized() const { return FInitialized; }

    // The statistics page and the draws graph together: the next computation runs whatever the
    // key; the method lists are filled again.
    void ResetStatKeys();
    void FillStatMethods(bool rebuild, bool keepSelection);
    // Asks for the generation settings and builds the new list (the command CombsGen).
    void GenerateCombs();

signals:
    // The window has closed for good: the program ends with it, with ExitCode (RunMainWindow).
    void Closed();

protected:
    // The window's creation: the core's start-up with this window's steps; starts the timer.
    void FormCreate();
    // The one-shot start-up timer.
    void tmrInitTimer();
    // Asks a running scenario to stop; the close goes on only when it stops.
    virtual void ScriptStopExecute();
    // The window's destruction: the core's shut-down (the form state saved unless the start
    // ended early). Called by the window class while it is still whole, so that the form
    // state goes to its own section.
    void FormDestroy();

    bool event(QEvent* event) override;
    // The window closes only between operations and questions: a close asked for while a long
    // operation runs, the start-up is at work or a modal window (a question, a dialog) waits for
    // the user is carried out once that is over.
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    struct TMenuPlace;
    struct TCommandRow;   // both in CommandRow.h
    // The command table: every command of the window; within a group of a menu, in its order.
    // Assembled once from the rows of the workflows.
    static const std::vector<TCommandRow>& CommandTable();
    // Each workflow's commands, appended in their order. Each is defined beside the workflow's
    // page (app/ui/<workflow>/*CommandRows.cpp), with the functions that only its commands call.
    static void AddShellRows(std::vector<TCommandRow>& rows);
    static void AddStatRows(std::vector<TCommandRow>& rows);
    static void AddArchiveRows(std::vector<TCommandRow>& rows);
    static void AddCombRows(std::vector<TCommandRow>& rows);
    static void AddViewRows(std::vector<TCommandRow>& rows);
    static void AddStakeRows(std::vector<TCommandRow>& rows);
    static void AddTableRows(std::vector<TCommandRow>& rows);
    static void AddScriptRows(std::vector<TCommandRow>& rows);
    static void AddOnlineRows(std::vector<TCommandRow>& rows);
    // The menu (or popup menu) of the window; null for None.
    QMenu* Menu(TCommandMenu menu) const;

    // Places the second pane of a vertical splitter at the given height; the first pane takes
    // the rest and any later growth of the window.
    static void SetLowerPaneHeight(QSplitter* splitter, int height);
    // The online library's share of the scenario page at the first start.
    static constexpr int DefaultLibraryHeight = 200;

    void CreateStatusBar();
    void CreateActions();
    void TranslateActions();
    void BuildMenus();
    void InstallSteps();
    void LoadEngineConfig();
    void RestoreFormState();
    void SaveFormState();
    // The lists and the grid whose column layouts the form state keeps, in the order they are
    // stored.
    std::array<QWidget*, 10> KeptLayouts() const;
    void SetupLanguage();
    void EndApplication(int exitCode);
    void CloseWhenIdle();
    // True while a modal window is open; the window then watches it, to close once it is gone.
    bool WaitForModalWindow();
    // The popup menus, empty, each opening over its widget; BuildMenus fills them.
    void CreatePopupMenus();
    // Names the menu items that show a command under their own caption.
    void TranslateMenuItems();
    bool OpenStakesFile();
    bool LoadStakesFile();
    void CloseStakesFile();
    void ShowStakesCount();
    // Scores the stakes against the stored draws; when any was scored the stakes file is
    // reopened and the ratings re-sorted and saved; the stakes grid follows the file. Errors
    // are shown, never passed on.
    void CheckStakesAndReload();
    void RefreshRatings();
    // The stake commands' dialogs, check and grid.
    void SetupStakeCommands();
    // The scenario list's file prompts and line dialog.
    void SetupScriptCommands();
    // The prefetch cache as the norms of every statistics table, with its progress window.
    void SetupPrefetchCache();
    // The settings dialogs: an accepted change is saved, the cache files of the groups it hits
    // are rebuilt (or dropped while the cache is off), and every view is computed anew.
    void EditConfig();
    void EditShredding();
    void SettingsChanged(std::uint16_t mask);
    // Writes settings to the settings file in the busy state; an error is shown.
    void SaveSettings(const std::function<void()>& save);
    // The pages of the archive's views, placed after the statistics page and kept in step by
    // RefreshViews.
    void SetupViewPages();
    // Shows or hides the pages of the views as their options say.
    void ShowViewTabs();
    // A view page's tab toggle: busy, the option inverted and written; a page that comes into
    // view is computed anew and made the current page.
    void ToggleViewTab(TMainOptions::TOption option, QWidget* page, const std::function<void()>& recompute);
    // Whether a view's page is shown (its tab option is on).
    bool ViewTabShown(QWidget* page) const;
    // A view's filter pair: the undo copy and the pass; errors are shown.
    void FilterByView(const std::function<void()>& filter);
    // The regular stakes' page after the ratings, and their seams.
    void SetupTables();
    // Loads the rules while their page is shown; a damaged file is told.
    void LoadTables();
    // The page toggle: shown, the rules are read and the page comes into view; hidden, they go.
    void ToggleTablesTab();
    // The interpreter's table, log, status panels and seams.
    void SetupScriptRunner();
    // "Прогноз" (test off) or "Тест" (on); an error is shown once the run has ended.
    void RunScript(bool test);
    // The selected ratings as scenario lines; the scenario page comes into view when any was added.
    void RatingsToScript();
    // Stakes for the selected rows of the combination list, or for the whole list. The selection
    // is cleared once every stake was made; a failure keeps it and tells how many were made.
    void AddListStakes(bool selectedOnly);
    // Builds a graph's points in the busy state and shows them in the graph window; nothing to
    // draw and read errors are shown.
    void ShowStakesGraph(TCommand command);
    // Inverts an on/off option in the busy state, writes it at once and repaints the list or
    // grid that shows it.
    void ToggleOption(TMainOptions::TOption option, QWidget* repaint = nullptr);
    void SetOption(TMainOptions::TOption option, int value);
    // Sends a list or grid to a workbook, titled with the caption of the tab that holds it.
    void ExportTable(TRListView* list, QWidget* page);
    void ExportTable(TROwnerDrawGrid* grid, QWidget* page);
    QString TabCaption(QWidget* page) const;
    void SetupSystems();
    // The online scenario library under the scenario's lines.
    void SetupOnlineScripts();
    void ToggleOnlineScripts();
    // Shows or hides the systems tab, its menu and the two system-stake commands; shown: the
    // list is loaded.
    void ShowSystemsTab(bool show);
    void ToggleSystemsTab();
    // Restarts the program after an installed update; a start that fails is shown.
    void RestartAfterUpdate();
    // The file dialog of the window's commands.
    bool PromptFile(bool save, const QString& filter, const QString& defaultExt, QString& fileName);
    // An option toggle: busy around the change, written at once.
    void SetRatingsEffMode(int mode);

    std::unique_ptr<Ui::FormMain> FUi;
    TMainState FState;
    TDrawArchive FArchive{FState};
    TDrawsCsvExchange FDrawsCsv{FState, FArchive};
    TLanguages FLanguages{FState};
    QString FAppTitle; // the caption in the current language, without the version
    TProxySettings FProxy{FState};
    TResultsDownload FDownload{FState, FArchive, FProxy};
    TAppStartup FStartup{FState, FArchive, FProxy, FDownload};
    TCombListOps FCombs{FState};
    TCombsGen FCombsGen{FCombs};
    TStatFilter FStatFilter{FCombs};
    TStatTable FStatTable{FState};
    TPrefetchCache FPrefetch{FState};
    std::unique_ptr<TStakesFile> FStakesFile;
    std::unique_ptr<TRatings> FRatings;
    std::unique_ptr<TStakeCommands> FStakeCommands;
    std::unique_ptr<TScriptList> FScript;
    std::unique_ptr<TRegularStakes> FTables;
    std::unique_ptr<TScriptLog> FScriptLog;
    // The interpreter computes its tables apart from the statistics page's table.
    TStatTable FScriptStatTable{FState};
    std::unique_ptr<TScriptStatTable> FScriptTable;
    std::unique_ptr<TScriptRunner> FScriptRunner;
    TActionRegistry* FActions = nullptr;
    TStatusBar* FStatusBar = nullptr;
    TDrawsPage* FDrawsPage = nullptr;
    TCombsPage* FCombsPage = nullptr;
    TStatPage* FStatPage = nullptr;
    TRatingsPage* FRatingsPage = nullptr;
    TStakesPage* FStakesPage = nullptr;
    TScriptPage* FScriptPage = nullptr;
    std::unique_ptr<TSwScripts> FSwScripts;
    std::unique_ptr<TOnlineScripts> FOnlineScripts;
    TOnlineScriptsPanel* FOnlineScriptsPanel = nullptr;
    QSplitter* FSplScripts = nullptr;
    // The heights of the filter list and the online library, kept while out of sight.
    TKeptPaneHeight* FFiltersHeight = nullptr;
    TKeptPaneHeight* FLibraryHeight = nullptr;
    std::unique_ptr<TSwSystems> FSwSystems;
    std::unique_ptr<TSystemsExchange> FSystems;
    TSystemsPage* FSystemsPage = nullptr;
    TCardPage* FCardPage = nullptr;
    TLayoutPage* FLayoutPage = nullptr;
    TWeekPage* FWeekPage = nullptr;
    TDrawsGraphPage* FDrawsGraphPage = nullptr;
    TTablesPage* FTablesPage = nullptr;
    std::vector<int> FViewIds;   // the views' registrations with the state
    std::map<TCommandMenu, QMenu*> FPopupMenus;
    // Menu items with a caption of their own, and that caption.
    std::vector<std::pair<QAction*, TResString>> FMenuItems;
    QTimer* FInitTimer = nullptr;
    QString FCaptionVersion;   // empty until the start-up timer added it to the caption
    int FWaitListener = 0;
    bool FEndRequested = false;
    int FExitCode = 0;
    bool FInitRunning = false;
    bool FInitialized = false;
    bool FCloseRequested = false;
    QPointer<QWidget> FModalWindow;   // the modal window a close waits for
    bool FAccessRefused = false;
    bool FStakesCheckFailed = false;   // a stake check or its ratings save failed: a batch run ends with 1
    bool FDestroyed = false;
};
