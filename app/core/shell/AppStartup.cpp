#include "app/core/shell/AppStartup.h"

#include "engine/KelmaMsg.h"
#include "engine/PrjConst.h"
#include "platform/DelphiText.h"
#include "platform/Exceptions.h"
#include "platform/SaveFile.h"
#include "support/RDialogs.h"
#include "support/RKrnlUtils.h"
#include "support/RSelfUpdate2.h"
#include "support/RSysUtils.h"
#include "support/RVclUtils.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>

#include <utility>

namespace {

const TResString SFolderNotWritable = RESSTR(
    "AppStartup",
    "Программа не может записывать файлы в свой каталог:\n\n%s\n\nАрхив тиражей, ставки и настройки "
    "хранятся рядом с программой, поэтому ей нужен каталог, доступный для записи. Скопируйте "
    "программу в такой каталог и запустите её оттуда.\n\nПрограмма будет закрыта!");

void Run(const std::function<void()>& step)
{
    if (step)
        step();
}

} // namespace

bool FolderIsWritable(const QString& folder)
{
    // The probe is created with O_EXCL under a unique name, so it never touches a data file.
    QTemporaryFile probe(QDir(folder).filePath(QStringLiteral(".write-probe-XXXXXX")));
    probe.setAutoRemove(true);
    return probe.open();
}

QStringList RemoveStaleSaves(const QString& dataDir)
{
    const QString suffix = QLatin1String(TSaveFile::TempSuffix);
    const QString own = QLatin1String(ProgramFileName) + QLatin1Char('*') + suffix;
    // The data folder may hold other programs' files; the cache folders hold only ours.
    const std::pair<const char*, QString> places[] = {
        {"", own},
        {"Prefetchs", own},
        {"Systems", QLatin1Char('*') + suffix},
    };
    QStringList removed;
    for (const auto& [folder, mask] : places) {
        const QDir dir(QDir(dataDir).filePath(QLatin1String(folder)));
        for (const QFileInfo& info : dir.entryInfoList({mask}, QDir::Files | QDir::Hidden | QDir::System)) {
            // A link is never followed out of the folder: only the entry itself goes.
            if (QFile::remove(info.filePath()))
                removed.append(info.filePath());
        }
    }
    // An update killed half-way: its package, what it unpacked and the copy's temporary files
    // would keep the disk full.
    removed.append(RemoveUpdateLeftovers(dataDir));
    return removed;
}

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
    : CanWrite(&FolderIsWritable),
      ProgramFile(GetAppFileName()),
      // The same program file by its full path: copies in other folders do not block this one.
      IsRunning([](const QString& file) { return IsProcessRunning(file, true); }),
      Sleep([](int ms) { Delay(ms); }),
      FState(state),
      FArchive(archive),
      FProxy(proxy),
      FDownload(download)
{
}

bool TAppStartup::BatchRun() const
{
    return FState.HasSwitch(QLatin1String(SwitchLoadOnly)) || FState.HasSwitch(QLatin1String(SwitchFullRecreate))
           || FState.HasSwitch(QLatin1String(SwitchFullRefresh));
}

bool TAppStartup::Create()
{
    InstallDrawDateHooks();
    FFailed = false;
    FFolderRefused = false;
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
        // step of the start-up timer. A folder nobody can write to ends the program here, with
        // one message and before the first write.
        if (!TakeFolder()) {
            FEndRequested = true;
            return false;
        }
        const bool folderHeld = FState.FolderLock().IsHeld();
        if (folderHeld)
            RemoveStaleSaves(FState.DataDir());
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

bool TAppStartup::TakeFolder()
{
    TFolderLock& lock = FState.FolderLock();
    if (lock.IsHeld())
        return true;
    if (lock.Acquire(FState.DataDir())) {
        if (!CanWrite || CanWrite(FState.DataDir()))
            return true;
        lock.Release();
    } else if (lock.HeldElsewhere()) {
        return true;
    }
    FFolderRefused = true;
    FFailed = true;
    ErrorBox(Format(LoadResString(SFolderNotWritable), {QDir::toNativeSeparators(QDir::cleanPath(FState.DataDir()))}));
    return false;
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
    const bool batch = loadOnly || fullRecreate || fullRefresh;
    try {
        ShowInStatusBar(LoadResString(rsInitializing));
        FState.CombCount = CombinationsTotal;
        FState.ReserveCombLists();
        Run(Steps.FillExpectedHits);
        Run(Steps.AddVersionToCaption);
        FState.SetDrawsOffset(0);

        if (!TakeExclusiveAccess()) {
            ErrorBox(LoadResString(rsExclusiveAccessError));
            FFailed = true;
            return TOutcome::EndApplication;
        }
        if (Steps.LoadStakesFile && !Steps.LoadStakesFile()) {
            FFailed = true;
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
        if (!loadOnly && !fullRecreate && !fullRefresh) {
            Run(Steps.FillOnlineLibrary);
            Run(Steps.LoadSystems);
        }

        if (loadOnly) {
            if (!Download())
                FFailed = true;
            if (!fullRecreate && !fullRefresh)
                return TOutcome::EndApplication;
        }
        if (FState.Options.Flag(TMainOptions::AutoUpdates) && Steps.CheckForUpdate) {
            TakeUpdateCheckReport();   // an earlier check's, not this one's
            if (Steps.CheckForUpdate())
                return TOutcome::Restart;
            // The check at start-up is silent; a batch run that could not check says so, since
            // nobody would notice otherwise, and goes on with its job, failed all the same.
            const std::optional<TUpdateCheckReport> report = TakeUpdateCheckReport();
            if (batch && report && report->Result == kSuFailed) {
                if (!report->HeldBack.isEmpty())
                    ErrorBox(report->HeldBack);
                FFailed = true;
            }
        }
        if (fullRecreate) {
            if (Steps.RebuildAllPrefetchs && !Steps.RebuildAllPrefetchs())
                FFailed = true;
            return TOutcome::EndApplication;
        }
        // Without a batch switch a file that could not be written has been told about, and
        // the program goes on without its norms.
        if (Steps.RefreshPrefetchs && !Steps.RefreshPrefetchs(fullRefresh) && fullRefresh)
            FFailed = true;
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
        // A window left open for nobody would wait for ever.
        if (batch) {
            FFailed = true;
            return TOutcome::EndApplication;
        }
    }
    return TOutcome::Run;
}

bool TAppStartup::TakeExclusiveAccess()
{
    // The hold on the folder keeps a second copy out; a folder that cannot be written to since
    // the window was created would fail every save later, so it is refused here as well.
    if (!FState.FolderLock().IsHeld() && !FState.FolderLock().Acquire(FState.DataDir()))
        return false;
    if (CanWrite && !CanWrite(FState.DataDir()))
        return false;
    return !Steps.OpenStakesFile || Steps.OpenStakesFile();
}

bool TAppStartup::Download()
{
    FDownload.Execute();
    return !FDownload.Failed();
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
