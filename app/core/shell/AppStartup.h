#pragma once

#include "app/core/archive/DrawArchive.h"
#include "app/core/shell/MainState.h"
#include "app/core/archive/ProxySettings.h"
#include "app/core/archive/ResultsDownload.h"

#include <QString>

#include <functional>

// Steps of start-up and shut-down that belong to the windows or to the workflows; the window
// layer fills them. An empty step is skipped.
struct TStartupSteps {
    // While the main window is created.
    std::function<void()> SetupLanguage;        // interface language and help file
    std::function<void()> SetupPages;           // page and grid set-up of the workflows
    std::function<void()> RestoreFormState;     // placement, sizes, column layouts
    std::function<void()> ShowPrefetchColumns;  // after the first start was recorded
    std::function<void()> LoadEngineConfig;
    std::function<void()> ReadFavorites;
    std::function<void()> ResetSelections;
    std::function<void()> FillMethodLists;
    // The one-shot start-up timer.
    std::function<void()> FillExpectedHits;
    std::function<void()> AddVersionToCaption;
    std::function<bool()> OpenStakesFile;       // false: no exclusive access
    // Checks the open stakes file (and repairs it, telling the user); false after its own
    // message when the file cannot be read: the program then ends.
    std::function<bool()> LoadStakesFile;
    std::function<void()> BuildInitialCombs;
    std::function<void()> LoadRatings;
    std::function<void()> LoadTables;
    std::function<void()> LoadScript;
    std::function<void()> FillOnlineLibrary;
    std::function<void()> LoadSystems;          // the systems tab, when it is on (not in batch runs)
    // True: an update was installed. A check that failed leaves its report for
    // TakeUpdateCheckReport (support/RSelfUpdate2.h).
    std::function<bool()> CheckForUpdate;
    // The prefetch files; false when one could not be written (told to the user).
    std::function<bool()> RebuildAllPrefetchs;
    std::function<bool(bool force)> RefreshPrefetchs;
    std::function<void()> ShowFirstRun;
    // Shut-down.
    std::function<void()> SaveFormState;
    std::function<void()> CloseStakesFile;
};

// The program's start-up and shut-down without windows: the window layer calls Create when
// the main window is made, Init from its one-shot timer, and Destroy when it goes; each
// returns what the window has to do next. Batch switches run on this alone.
class TAppStartup {
public:
    TAppStartup(TMainState& state, TDrawArchive& archive, TProxySettings& proxy, TResultsDownload& download);

    enum class TOutcome {
        Run,              // the program goes on interactively
        EndApplication,   // a batch run is done, or the program may not run
        Restart,          // an update was installed: RestartProgram, then end
    };

    TStartupSteps Steps;

    // The main window's creation. False when the start-up timer must not start: an error
    // (shown), the restart wait ran out or the program's folder cannot be written (then
    // EndRequested()).
    bool Create();
    // The start-up timer's work. A batch run ("loadonly", "fullrecreate", "fullrefresh")
    // always ends the application: also after an error, since nobody is there to go on.
    TOutcome Init();
    // A close request: a running scenario is asked to stop first (stopCommand asks the user).
    // True when the window may close.
    bool CloseQuery(const std::function<void()>& stopCommand);
    // The main window's destruction. The form state is saved only when it was read at
    // start-up, so an early end does not overwrite it with defaults.
    void Destroy();

    bool EndRequested() const { return FEndRequested; }
    bool FormStateRead() const { return FFormStateRead; }
    // True when Create refused the folder because the program cannot write there.
    bool FolderRefused() const { return FFolderRefused; }
    // True when one of the batch switches is given.
    bool BatchRun() const;
    // What the process returns when the start-up ends it: 0 when the run did its job, 1 when
    // the folder was refused, start-up failed, a batch download did not succeed, the update
    // check of a batch run failed or a prefetch file of "fullrecreate" or "fullrefresh" could
    // not be written.
    int ExitCode() const { return FFailed ? 1 : 0; }

    // Whether a file can be created in the folder. Tests replace it; the default tries it
    // (see FolderIsWritable), since permission bits say nothing for a privileged user.
    std::function<bool(const QString& folder)> CanWrite;

    // The "restart" wait: the program file it waits for and how it looks and waits. Tests
    // replace them.
    QString ProgramFile;
    std::function<bool(const QString& programFile)> IsRunning;
    std::function<void(int ms)> Sleep;
    static constexpr int RestartChecks = 601;
    static constexpr int RestartStepMs = 100;

private:
    // True when no other copy of the program ran on past the restart wait.
    bool WaitForOldCopy();
    // Takes the hold on the folder at creation. False (with the one message shown) when the
    // folder cannot be held or written for any reason but a second copy holding it: that copy
    // is refused later, with the exclusive-access message.
    bool TakeFolder();
    bool TakeExclusiveAccess();
    // The download of a batch run or of the start-up; false when it did not succeed.
    bool Download();

    TMainState& FState;
    TDrawArchive& FArchive;
    TProxySettings& FProxy;
    TResultsDownload& FDownload;
    bool FEndRequested = false;
    bool FFormStateRead = false;
    bool FFolderRefused = false;
    bool FFailed = false;
};

// True when a file can be created in the folder: one is created under a unique name and
// removed again at once.
bool FolderIsWritable(const QString& folder);

// Removes the temporary files that saves interrupted by a kill or a crash left behind
// ("<file>.~sav"): those of the program's own files in the data folder, of the prefetch files
// and of the systems cache, and what an installation of an update that did not finish left
// (RemoveUpdateLeftovers). Call only while this copy holds the folder, when no save of
// another copy can be running. Returns the names removed.
QStringList RemoveStaleSaves(const QString& dataDir);

// Starts the program anew with the switch "restart", from its own folder, without waiting.
// Raises ESystemError when the start fails. The caller ends this copy afterwards.
void RestartProgram(const QString& programFile);
// The game's draw-key texts become the engine's date-to-text and text-to-date functions.
void InstallDrawDateHooks();
