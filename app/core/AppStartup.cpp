#include "app/core/AppStartup.h"

#include "engine/KelmaMsg.h"
#include "platform/DelphiText.h"
#include "platform/Exceptions.h"
#include "support/RDialogs.h"
#include "support/RKrnlUtils.h"
#include "support/RSysUtils.h"
#include "support/RVclUtils.h"

#include <QFileInfo>

namespace {

void Run(const std::function<void()>& step)
{
    if (step)
        step();
}

} // namespace

void InstallDrawDateHooks()
{
    DateToTextHook = &DrawDateToStr;
    TextToDateHook = &StrToDrawDate;
}

void RestartProgram(const QString& programFile)
{
    const QString commandLine = QLatin1Char('"') + programFile + QLatin1String("\" ") + QLatin1String(SwitchRestart);
    RunProcessWait(QFileInfo(programFile).absolutePath(), commandLine, SW_SHOWNORMAL, 0, nullptr, false);
}

TAppStartup::TAppStartup(TMainState& state, TDrawArchive& archive, TProxySettings& proxy,
                         TResultsDownload& download)
    : ProgramFile(GetAppFileName()),
      // The same program file by its full path: copies in other folders do not block this one.
      IsRunning([](const QString& file) { return IsProcessRunning(file, true); }),
      Sleep([](int ms) { Delay(ms); }),
      FState(state),
      FArchive(archive),
      FProxy(proxy),
      FDownload(download)
{
}

bool TAppStartup::Create()
{
    InstallDrawDateHooks();
    try {
        FState.FProxy = TProxy{};
        FState.ClearCombLists();
        if (FState.HasSwitch(QLatin1String(SwitchRestart)) && !WaitForOldCopy()) {
            FEndRequested = true;
            return false;
        }
        Run(Steps.SetupLanguage);
        FState.FCombsBufferKey = {-1, -1};
        FState.FScriptRunning = false;
        FState.FScriptStop = false;
        FState.FViewsLocked = false;
        Run(Steps.SetupPages);

        // The folder is held before anything is written into it: a second copy started in
        // the same folder reads the form state but writes nothing, and is refused at the first
        // step of the start-up timer.
        const bool folderHeld = FState.FolderLock().IsHeld() || FState.FolderLock().Acquire(FState.DataDir());
        try {
            FFormStateRead = true;
            FState.Options.Load(FState.FormState());
            Run(Steps.RestoreFormState);
            if (folderHeld && FState.Options.InitFirstStart(FState.FormState()))
                Run(Steps.ShowPrefetchColumns);
        } catch (const std::exception& e) {
            ErrorBox(Format(LoadResString(rsFormStateLoadError), {ExceptionText(e)}));
        }

        Run(Steps.LoadEngineConfig);
        FProxy.LoadProxySettings();
        FState.StatList().SetDraws(&FState.FDraws);
        FState.StatList().RebuildMethods();
        Run(Steps.ReadFavorites);
        Run(Steps.ResetSelections);
        Run(Steps.FillMethodLists);
    } catch (const std::exception& e) {
        ErrorBox(Format(LoadResString(rsStartError), {ExceptionText(e)}));
        return false;
    }
    return true;
}

bool TAppStartup::WaitForOldCopy()
{
    for (int checks = 1; IsRunning(ProgramFile); ++checks) {
        if (checks >= RestartChecks)
            return false;
        Sleep(RestartStepMs);
    }
    return true;
}

TAppStartup::TOutcome TAppStartup::Init()
{
    const bool loadOnly = FState.HasSwitch(QLatin1String(SwitchLoadOnly));
    const bool fullRecreate = FState.HasSwitch(QLatin1String(SwitchFullRecreate));
    const bool fullRefresh = FState.HasSwitch(QLatin1String(SwitchFullRefresh));
    try {
        ShowInStatusBar(LoadResString(rsInitializing));
        FState.CombCount = CombinationsTotal;
        FState.ReserveCombLists();
        Run(Steps.FillExpectedHits);
        Run(Steps.AddVersionToCaption);
        FState.SetDrawsOffset(0);

        if (!TakeExclusiveAccess()) {
            ErrorBox(LoadResString(rsExclusiveAccessError));
            return TOutcome::EndApplication;
        }

        const TArchiveLoadReport report = FArchive.LoadDrawsFile();
        if (report.Damaged())
            WarningBox(TDrawArchive::DamageText(report, FState.DrawsFileName()));

        Run(Steps.BuildInitialCombs);
        FState.RefreshViews(true);
        Run(Steps.LoadRatings);
        Run(Steps.LoadTables);
        Run(Steps.LoadScript);
        if (!loadOnly && !fullRecreate && !fullRefresh)
            Run(Steps.FillOnlineLibrary);

        if (loadOnly) {
            Download();
            if (!fullRecreate && !fullRefresh)
                return TOutcome::EndApplication;
        }
        if (FState.Options.Flag(TMainOptions::AutoUpdates) && Steps.CheckForUpdate && Steps.CheckForUpdate())
            return TOutcome::Restart;
        if (fullRecreate) {
            Run(Steps.RebuildAllPrefetchs);
            return TOutcome::EndApplication;
        }
        if (Steps.RefreshPrefetchs)
            Steps.RefreshPrefetchs(fullRefresh);
        if (fullRefresh)
            return TOutcome::EndApplication;

        switch (FState.Options.Value(TMainOptions::DownloadDrawsOnStart)) {
        case 0:
            if (ConfirmBox(LoadResString(rsAskDownloadDraws)) == IDYES)
                Download();
            break;
        case 1:
            Download();
            break;
        default:
            break;
        }
        Run(Steps.ShowFirstRun);
    } catch (const std::exception& e) {
        ErrorBox(Format(LoadResString(rsInitError), {ExceptionText(e)}));
    }
    return TOutcome::Run;
}

bool TAppStartup::TakeExclusiveAccess()
{
    // The hold on the folder keeps a second copy out; a folder the program cannot write to
    // would fail it later with every save, so it is refused here with the same message.
    if (!FState.FolderLock().IsHeld() && !FState.FolderLock().Acquire(FState.DataDir()))
        return false;
    if (!QFileInfo(FState.DataDir()).isWritable())
        return false;
    return !Steps.OpenStakesFile || Steps.OpenStakesFile();
}

void TAppStartup::Download()
{
    FDownload.Execute();
}

bool TAppStartup::CloseQuery(const std::function<void()>& stopCommand)
{
    if (FState.FScriptRunning && !FState.FScriptStop && stopCommand)
        stopCommand();
    return !FState.FScriptRunning || FState.FScriptStop;
}

void TAppStartup::Destroy()
{
    try {
        // A copy that never held the folder leaves the files of the copy that does alone.
        if (FFormStateRead && FState.FolderLock().IsHeld()) {
            try {
                Run(Steps.SaveFormState);
            } catch (const std::exception& e) {
                ErrorBox(Format(LoadResString(rsFormStateSaveError), {ExceptionText(e)}));
            }
        }
        FState.ClearCombLists();
        FState.FDraws.clear();
        Run(Steps.CloseStakesFile);
    } catch (const std::exception& e) {
        ErrorBox(Format(LoadResString(rsShutdownError), {ExceptionText(e)}));
    }
}
