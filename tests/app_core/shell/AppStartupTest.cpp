#include "tests/app_core/archive/DownloadTestEnv.h"

#include "app/core/archive/DrawFile.h"
#include "platform/IniFile.h"
#include "support/RSelfUpdate2.h"
#include "support/RSysUtils.h"
#include "tests/fixtures/ArchiveFixtures.h"
#include "tests/common/TestHelpers.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QThread>

namespace {

class StartupTest : public TDownloadTest {
protected:
    StartupTest()
    {
        FStartup.IsRunning = [this](const QString& file) {
            FRunningAsked.append(file);
            return FRunningAsked.size() <= FRunningFor;
        };
        FStartup.Sleep = [this](int ms) { FSlept.append(ms); };
        // Every step records itself.
        TStartupSteps& s = FStartup.Steps;
        const auto record = [this](const char* name) { return [this, name] { FSteps.append(name); }; };
        s.SetupLanguage = record("language");
        s.SetupPages = record("pages");
        s.RestoreFormState = record("formstate");
        s.ShowPrefetchColumns = record("prefetchcolumns");
        s.LoadEngineConfig = record("config");
        s.ReadFavorites = record("favorites");
        s.ResetSelections = record("selections");
        s.FillMethodLists = record("methods");
        s.FillExpectedHits = record("expected");
        s.AddVersionToCaption = record("caption");
        s.BuildInitialCombs = record("combs");
        s.LoadRatings = record("ratings");
        s.LoadTables = record("tables");
        s.LoadScript = record("script");
        s.FillOnlineLibrary = record("library");
        s.CheckForUpdate = [this] {
            FSteps.append("update");
            if (FUpdateFails) {   // the program's check at start-up, of a configuration not there
                OverrideAppFileName(DataFile("Tavrix2_2r10"));
                CheckForUpdates(DataFile("missing/Kelma_AU.cfg"), true, 0);
                OverrideAppFileName(QString());
            }
            return FUpdateInstalled;
        };
        s.RebuildAllPrefetchs = [this] {
            FSteps.append("recreate");
            return FPrefetchsWritten;
        };
        s.RefreshPrefetchs = [this](bool force) {
            FSteps.append(force ? "refresh!" : "refresh");
            return FPrefetchsWritten;
        };
        s.ShowFirstRun = record("firstrun");
        s.SaveFormState = record("save");
        s.CloseStakesFile = record("close");
        FState.RegisterView([this](bool force) { FSteps.append(force ? "views!" : "views"); });
    }

    // Create and Init as the window runs them; the steps of Init only.
    TAppStartup::TOutcome Start(const QStringList& arguments)
    {
        FState.SetArguments(arguments);
        EXPECT_TRUE(FStartup.Create());
        FSteps.clear();
        FStatuses.clear();
        return FStartup.Init();
    }

    TAppStartup FStartup{FState, FArchive, FProxy, FDownload};
    QStringList FSteps;
    QStringList FRunningAsked;
    int FRunningFor = 0;   // checks that still find the old copy running
    QList<int> FSlept;
    bool FUpdateInstalled = false;
    bool FUpdateFails = false;
    bool FPrefetchsWritten = true;   // the prefetch steps' answer
};

const QStringList kInteractive = {"combs", "views!", "ratings", "tables", "script", "library", "update",
                                  "refresh", "firstrun"};

} // namespace

TEST_F(StartupTest, RestartWaitsForTheOldCopyAtMostSixHundredOneChecks)
{
    FStartup.ProgramFile = "/opt/copy one/Tavrix2_2r10";
    FState.SetArguments({"/RESTART"});
    FRunningFor = 1000;
    EXPECT_FALSE(FStartup.Create());
    EXPECT_TRUE(FStartup.EndRequested());
    EXPECT_FALSE(FStartup.FormStateRead());
    EXPECT_EQ(FRunningAsked.size(), 601);
    EXPECT_EQ(FRunningAsked.first(), "/opt/copy one/Tavrix2_2r10");   // the full path
    EXPECT_EQ(FSlept, QList<int>(600, 100));
    EXPECT_TRUE(FBoxes.Boxes().isEmpty());
    // Nothing was read or written; shut-down keeps the saved form state as it is.
    EXPECT_TRUE(QDir(FDir.path()).entryList(QDir::Files).isEmpty());
    FSteps.clear();
    FStartup.Destroy();
    EXPECT_EQ(FSteps, QStringList({"close"}));
}

TEST_F(StartupTest, RestartGoesOnOnceTheOldCopyHasEnded)
{
    FState.SetArguments({"restart"});
    FRunningFor = 3;
    EXPECT_TRUE(FStartup.Create());
    EXPECT_EQ(FRunningAsked.size(), 4);
    EXPECT_EQ(FSlept.size(), 3);

    // Without the switch nobody is waited for.
    FRunningAsked.clear();
    FState.SetArguments({});
    EXPECT_TRUE(FStartup.Create());
    EXPECT_TRUE(FRunningAsked.isEmpty());
}

TEST_F(StartupTest, CreateRestoresTheStateInOrder)
{
    WriteFileBytes(FState.FormStateFileName(), "[TFormMain]\r\nDownloadDrawsOnStart=2\r\nLanguage=1049\r\n");
    WriteFileBytes(FState.IniFileName(), "[PROXY]\r\nProxyServer=10.0.0.1\r\n");
    DateToTextHook = nullptr;
    FState.FProxy.Mode = 9;
    FState.FCombsBufferKey = {1, 2};
    FState.FScriptStop = true;

    EXPECT_TRUE(FStartup.Create());
    EXPECT_EQ(FSteps, QStringList({"language", "pages", "formstate", "prefetchcolumns", "config", "favorites",
                                   "selections", "methods"}));
    EXPECT_TRUE(FStartup.FormStateRead());
    EXPECT_EQ(DateToTextHook, &DrawDateToStr);
    EXPECT_EQ(FState.Options.Value(TMainOptions::DownloadDrawsOnStart), 2);
    EXPECT_EQ(FState.Options.Value(TMainOptions::Language), 1049);
    EXPECT_EQ(FState.FProxy.Mode, 2);
    EXPECT_EQ(FState.FProxy.Server, "10.0.0.1");
    EXPECT_EQ(FState.FCombsBufferKey, (std::array<std::int32_t, 2>{-1, -1}));
    EXPECT_FALSE(FState.FScriptStop);
    EXPECT_EQ(FState.StatList().Draws(), &FState.FDraws);
    EXPECT_GT(FState.StatList().Count(), 0);
    EXPECT_EQ(TMemIniFile(FState.FormStateFileName()).ReadString("TFormMain", "PrefetchsInit", ""), "1");

    // The first start is recorded once.
    FSteps.clear();
    EXPECT_TRUE(FStartup.Create());
    EXPECT_FALSE(FSteps.contains("prefetchcolumns"));
    EXPECT_TRUE(FBoxes.Boxes().isEmpty());
}

TEST_F(StartupTest, CreateErrors)
{
    // A form-state error is reported and start-up goes on.
    FStartup.Steps.RestoreFormState = [] { throw Exception("boom"); };
    EXPECT_TRUE(FStartup.Create());
    ASSERT_EQ(FBoxes.Boxes().size(), 1);
    EXPECT_EQ(FBoxes.Last().Text, U("Ошибка загрузки параметров программы!\n\nboom"));
    EXPECT_TRUE(FSteps.contains("methods"));

    // Any other error ends the creation: no start-up timer.
    FStartup.Steps.LoadEngineConfig = [] { throw Exception("bang"); };
    EXPECT_FALSE(FStartup.Create());
    EXPECT_FALSE(FStartup.EndRequested());
    EXPECT_EQ(FBoxes.Last().Text, U("Ошибка запуска программы!\n\nbang"));
}

TEST_F(StartupTest, LoadOnlyDownloadsAndEnds)
{
    EXPECT_EQ(Start({"-LOADONLY"}), TAppStartup::TOutcome::EndApplication);
    // The download refreshes the views once more, after its window with new draws.
    EXPECT_EQ(FSteps, QStringList({"expected", "caption", "combs", "views!", "ratings", "tables", "script", "views"}));
    EXPECT_EQ(ReadFileBytes(FState.DrawsFileName()), DrawsToBytes(SiteDraws(QDate(2016, 8, 1), QDate(2016, 8, 10))));
    EXPECT_TRUE(FBoxes.Boxes().isEmpty());
    EXPECT_EQ(FState.CombCount, 100);
    EXPECT_EQ(FState.FCombs.Items.size(), 100u);
    EXPECT_EQ(FStatuses.first(), U("Инициализация..."));
    EXPECT_TRUE(FState.FolderLock().IsHeld());
}

TEST_F(StartupTest, LoadOnlyWithARefreshDoesBoth)
{
    EXPECT_EQ(Start({"loadonly", "fullrefresh"}), TAppStartup::TOutcome::EndApplication);
    EXPECT_EQ(FState.FDraws.size(), 20u);
    EXPECT_EQ(FSteps.mid(7), QStringList({"views", "update", "refresh!"}));
}

TEST_F(StartupTest, PrefetchSwitchesWithoutDownload)
{
    EXPECT_EQ(Start({"fullrefresh"}), TAppStartup::TOutcome::EndApplication);
    EXPECT_TRUE(SiteRequests().isEmpty());
    EXPECT_EQ(FSteps.mid(FSteps.indexOf("script") + 1), QStringList({"update", "refresh!"}));

    EXPECT_EQ(Start({"fullrecreate"}), TAppStartup::TOutcome::EndApplication);
    EXPECT_EQ(FSteps.mid(FSteps.indexOf("script") + 1), QStringList({"update", "recreate"}));
    EXPECT_TRUE(SiteRequests().isEmpty());
    EXPECT_TRUE(FBoxes.Boxes().isEmpty());
}

TEST_F(StartupTest, DownloadOnStartByTheOption)
{
    // 0: asked; No means no request, and the first-run dialog still follows.
    FBoxes.Answer(IDNO);
    EXPECT_EQ(Start({}), TAppStartup::TOutcome::Run);
    EXPECT_EQ(FSteps.mid(2), kInteractive);
    ASSERT_EQ(FBoxes.Boxes().size(), 1);
    EXPECT_EQ(FBoxes.Last().Title, U("Подтверждение"));
    EXPECT_EQ(FBoxes.Last().Text, U("Обновить список тиражей?\n\nДля выполнения обновления необходимо действующее "
                                    "подключение к сети Интернет."));
    EXPECT_TRUE(SiteRequests().isEmpty());

    FBoxes.Answer(IDYES);
    EXPECT_EQ(Start({}), TAppStartup::TOutcome::Run);
    EXPECT_EQ(SiteRequests().size(), 1);

    // 1: without asking; 2: never.
    FState.WriteOption(TMainOptions::DownloadDrawsOnStart, 1);
    SetToday(QDate(2016, 8, 11));
    EXPECT_EQ(Start({}), TAppStartup::TOutcome::Run);
    EXPECT_EQ(SiteRequests().size(), 2);
    FState.WriteOption(TMainOptions::DownloadDrawsOnStart, 2);
    SetToday(QDate(2016, 8, 12));
    EXPECT_EQ(Start({}), TAppStartup::TOutcome::Run);
    EXPECT_EQ(SiteRequests().size(), 2);
    EXPECT_EQ(FBoxes.Boxes().size(), 2);
    EXPECT_EQ(FState.FDraws.size(), 22u);
}

TEST_F(StartupTest, InstalledUpdateRestarts)
{
    FUpdateInstalled = true;
    EXPECT_EQ(Start({}), TAppStartup::TOutcome::Restart);
    EXPECT_EQ(FSteps.last(), "update");

    FState.WriteOption(TMainOptions::AutoUpdates, 0);
    FState.WriteOption(TMainOptions::DownloadDrawsOnStart, 2);
    EXPECT_EQ(Start({}), TAppStartup::TOutcome::Run);
    EXPECT_FALSE(FSteps.contains("update"));
}

TEST_F(StartupTest, SecondCopyIsRefused)
{
    WriteArchive(MakeArchive(5));
    const QByteArray archive = ReadFileBytes(FState.DrawsFileName());
    TFolderLock firstCopy;
    ASSERT_TRUE(firstCopy.Acquire(FDir.path()));

    EXPECT_EQ(Start({"loadonly"}), TAppStartup::TOutcome::EndApplication);
    ASSERT_EQ(FBoxes.Boxes().size(), 1);
    EXPECT_EQ(FBoxes.Last().Icon, TBoxIcon::Error);
    EXPECT_EQ(FBoxes.Last().Text,
              U("Невозможно получить монопольный доступ к файлам данных!\n\nВозможные причины данной ошибки: \n\n"
                "1) Вы пытаетесь запустить вторую копию программы из одного и того же каталога. Корректная работа "
                "нескольких копий программы возможна только из разных каталогов.\n\n2) Для программы нет прав на "
                "запись в том каталоге, где она расположена, или в её файлах данных: архив тиражей, ставки и "
                "настройки хранятся рядом с файлом программы, в том же каталоге. Проверьте права на этот каталог и "
                "на файлы в нём (в том числе на файл ставок) либо скопируйте программу в каталог, доступный для "
                "записи, и запустите её оттуда.\n\nПрограмма будет закрыта!"));
    EXPECT_TRUE(FState.FDraws.empty());
    EXPECT_TRUE(SiteRequests().isEmpty());
    EXPECT_EQ(ReadFileBytes(FState.DrawsFileName()), archive);
    EXPECT_EQ(FSteps, QStringList({"expected", "caption"}));
    EXPECT_EQ(FStartup.ExitCode(), 1);
    // A second copy is not mistaken for a folder that cannot be written.
    EXPECT_FALSE(FStartup.FolderRefused());
    // On a fresh folder the refused copy wrote no form state, and shut-down saves none either.
    EXPECT_FALSE(QFileInfo::exists(FState.FormStateFileName()));
    FSteps.clear();
    FStartup.Destroy();
    EXPECT_FALSE(FSteps.contains("save"));
    EXPECT_FALSE(QFileInfo::exists(FState.FormStateFileName()));

    // The stakes file that cannot be opened ends the start the same way.
    firstCopy.Release();
    FStartup.Steps.OpenStakesFile = [] { return false; };
    EXPECT_EQ(Start({}), TAppStartup::TOutcome::EndApplication);
    EXPECT_EQ(FBoxes.Boxes().size(), 2);
}

TEST_F(StartupTest, DamagedArchiveIsReportedAndStartGoesOn)
{
    WriteFileBytes(FState.DrawsFileName(), ArchiveBytes(MakeArchive(3)) + "xy");
    FState.WriteOption(TMainOptions::DownloadDrawsOnStart, 2);
    EXPECT_EQ(Start({}), TAppStartup::TOutcome::Run);
    ASSERT_EQ(FBoxes.Boxes().size(), 1);
    EXPECT_EQ(FBoxes.Last().Icon, TBoxIcon::Exclamation);
    EXPECT_TRUE(FBoxes.Last().Text.contains(FState.DrawsFileName() + ".bak"));
    EXPECT_EQ(FState.FDraws, MakeArchive(3));
    EXPECT_EQ(FSteps.last(), "firstrun");
}

TEST_F(StartupTest, InitErrorLeavesTheWindowWithWhatWasLoaded)
{
    WriteArchive(MakeArchive(4));
    FStartup.Steps.BuildInitialCombs = [] { throw Exception("boom"); };
    EXPECT_EQ(Start({}), TAppStartup::TOutcome::Run);
    EXPECT_EQ(FBoxes.Last().Text, U("Ошибка инициализации программы!\n\nboom"));
    EXPECT_EQ(FState.FDraws, MakeArchive(4));
    EXPECT_EQ(FSteps, QStringList({"expected", "caption"}));
    EXPECT_TRUE(SiteRequests().isEmpty());
    EXPECT_EQ(FStartup.ExitCode(), 0);

    // A batch run has nobody to leave a window to: it ends, and says it failed.
    for (const char* batchSwitch : {"loadonly", "/FullRefresh", "fullrecreate"}) {
        FBoxes.Clear();
        EXPECT_EQ(Start({batchSwitch}), TAppStartup::TOutcome::EndApplication) << batchSwitch;
        EXPECT_EQ(FBoxes.Boxes().size(), 1);
        EXPECT_EQ(FStartup.ExitCode(), 1) << batchSwitch;
    }
    EXPECT_TRUE(SiteRequests().isEmpty());
}

TEST_F(StartupTest, BatchExitCodeTellsWhetherTheRunDidItsJob)
{
    struct TCase {
        const char* Name;
        QStringList Arguments;
        TOperatorSite::TFailure Failure;
        int ExitCode;
        int Boxes;
        bool Refreshed;
        bool PrefetchsWritten = true;
        bool UpdateFails = false;
    };
    const TCase cases[] = {
        {"download done", {"loadonly"}, TOperatorSite::TFailure::None, 0, 0, false},
        {"server error, not retried", {"loadonly"}, TOperatorSite::TFailure::ServerError, 1, 1, false},
        // The refresh after a failed download still runs; the run failed all the same.
        {"failed download before a refresh", {"loadonly", "fullrefresh"}, TOperatorSite::TFailure::ServerError, 1, 1,
         true},
        {"page without results", {"loadonly"}, TOperatorSite::TFailure::NoResults, 0, 0, false},
        {"refresh only", {"fullrefresh"}, TOperatorSite::TFailure::ServerError, 0, 0, true},
        // A prefetch file that could not be written fails the run (its step told the user).
        {"refresh that could not write", {"fullrefresh"}, TOperatorSite::TFailure::None, 1, 0, true, false},
        {"recreate that could not write", {"fullrecreate"}, TOperatorSite::TFailure::None, 1, 0, false, false},
        {"recreate done", {"fullrecreate"}, TOperatorSite::TFailure::None, 0, 0, false},
        // A silent check that failed is told, and the run goes on with its job.
        {"update check failed", {"fullrefresh"}, TOperatorSite::TFailure::None, 1, 1, true, true, true},
    };
    for (const TCase& c : cases) {
        FBoxes.Clear();
        // The retry question of an unattended run takes No.
        for (int i = 0; i < c.Boxes; ++i)
            FBoxes.Answer(IDNO);
        FSite.SetFailure(c.Failure);
        FPrefetchsWritten = c.PrefetchsWritten;
        FUpdateFails = c.UpdateFails;
        EXPECT_EQ(Start(c.Arguments), TAppStartup::TOutcome::EndApplication) << c.Name;
        EXPECT_EQ(FStartup.ExitCode(), c.ExitCode) << c.Name;
        EXPECT_EQ(FBoxes.Boxes().size(), c.Boxes) << c.Name;
        EXPECT_EQ(FBoxes.Pending(), 0) << c.Name;
        EXPECT_TRUE(FStartup.BatchRun()) << c.Name;
        EXPECT_EQ(FSteps.contains("refresh!"), c.Refreshed) << c.Name;
    }
    FState.SetArguments({});
    EXPECT_FALSE(FStartup.BatchRun());

    EXPECT_TRUE(FBoxes.Last().Text.startsWith(U("Ошибка поиска обновлений!\n\n"))) << FBoxes.Last().Text.toStdString();
    // Without a switch the failed refresh was told, and the program goes on without norms.
    FPrefetchsWritten = false;
    FState.WriteOption(TMainOptions::DownloadDrawsOnStart, 2);
    FBoxes.Clear();
    EXPECT_EQ(Start({}), TAppStartup::TOutcome::Run);
    EXPECT_EQ(FSteps.mid(FSteps.indexOf("refresh")), QStringList({"refresh", "firstrun"}));
    EXPECT_EQ(FStartup.ExitCode(), 0);
    EXPECT_TRUE(FBoxes.Boxes().isEmpty());
}

TEST_F(StartupTest, FolderThatCannotBeWrittenEndsWithOneMessageAndWritesNothing)
{
    // A folder nobody may write to, as the program finds it by trying: no form state, no
    // archive, no lock left behind, and shut-down saves nothing either.
    QStringList probed;
    FStartup.CanWrite = [&](const QString& folder) {
        probed.append(folder);
        return false;
    };
    FState.SetArguments({"loadonly"});
    EXPECT_FALSE(FStartup.Create());
    EXPECT_TRUE(FStartup.EndRequested());
    EXPECT_TRUE(FStartup.FolderRefused());
    EXPECT_FALSE(FStartup.FormStateRead());
    EXPECT_EQ(FStartup.ExitCode(), 1);
    EXPECT_EQ(probed, QStringList({FState.DataDir()}));
    ASSERT_EQ(FBoxes.Boxes().size(), 1);
    EXPECT_EQ(FBoxes.Last().Icon, TBoxIcon::Error);
    EXPECT_EQ(FBoxes.Last().Text,
              U("Программа не может записывать файлы в свой каталог:\n\n%1\n\nАрхив тиражей, ставки и настройки "
                "хранятся рядом с программой, поэтому ей нужен каталог, доступный для записи. Скопируйте "
                "программу в такой каталог и запустите её оттуда.\n\nПрограмма будет закрыта!")
                  .arg(FDir.path()));
    EXPECT_FALSE(FState.FolderLock().IsHeld());
    EXPECT_EQ(FSteps, QStringList({"language", "pages"}));
    FStartup.Destroy();
    EXPECT_FALSE(FSteps.contains("save"));
    EXPECT_EQ(FBoxes.Boxes().size(), 1);
    EXPECT_TRUE(QDir(FDir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot).isEmpty());
    EXPECT_TRUE(SiteRequests().isEmpty());
}

TEST_F(StartupTest, FolderUnderAFileIsRefusedForEveryUser)
{
    // No user, root included, can create a folder's file beneath a plain file.
    const QString file = DataFile("plain.txt");
    WriteFileBytes(file, "x");
    FState.SetDataDir(file + "/program");
    EXPECT_FALSE(FStartup.Create());
    EXPECT_TRUE(FStartup.FolderRefused());
    ASSERT_EQ(FBoxes.Boxes().size(), 1);
    EXPECT_TRUE(FBoxes.Last().Text.contains("\n\n" + file + "/program\n\n")) << FBoxes.Last().Text.toStdString();
    EXPECT_EQ(QDir(FDir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
              QStringList({"plain.txt"}));
    EXPECT_EQ(ReadFileBytes(file), "x");
}

TEST(FolderIsWritable, TriesAndLeavesNothing)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    EXPECT_TRUE(FolderIsWritable(dir.path()));
    EXPECT_TRUE(FolderIsWritable(dir.path() + "/"));
    EXPECT_TRUE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot).isEmpty());
    EXPECT_FALSE(FolderIsWritable(dir.filePath("missing")));
    WriteFileBytes(dir.filePath("file"), "x");
    EXPECT_FALSE(FolderIsWritable(dir.filePath("file")));
    EXPECT_FALSE(FolderIsWritable(dir.filePath("file/sub")));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
              QStringList({"file"}));
}

TEST_F(StartupTest, CloseAndShutDown)
{
    int asked = 0;
    EXPECT_TRUE(FStartup.CloseQuery([&] { ++asked; }));
    EXPECT_EQ(asked, 0);

    // A running scenario: the stop command asks; No keeps the window open.
    FState.FScriptRunning = true;
    EXPECT_FALSE(FStartup.CloseQuery([&] { ++asked; }));
    EXPECT_TRUE(FStartup.CloseQuery([&] {
        ++asked;
        FState.FScriptStop = true;
    }));
    EXPECT_EQ(asked, 2);
    EXPECT_TRUE(FStartup.CloseQuery([&] { ++asked; }));
    EXPECT_EQ(asked, 2);

    EXPECT_TRUE(FStartup.Create());
    FState.FDraws = MakeArchive(3);
    FSteps.clear();
    FStartup.Steps.SaveFormState = [] { throw Exception("boom"); };
    FStartup.Destroy();
    EXPECT_EQ(FBoxes.Last().Text, U("Ошибка сохранения параметров программы!\n\nboom"));
    EXPECT_EQ(FSteps, QStringList({"close"}));
    EXPECT_TRUE(FState.FDraws.empty());
}

TEST_F(StartupTest, RestartStartsTheProgramAgainFromItsFolder)
{
    // A stand-in program that notes its arguments and folder.
    const QString folder = DataFile("with blank");
    ASSERT_TRUE(QDir().mkpath(folder));
    const QString program = folder + "/Tavrix2_2r10";
    const QString note = DataFile("note.txt");
    WriteFileBytes(program, "#!/bin/sh\necho \"$* $(pwd)\" > \"" + note.toUtf8() + ".tmp\"\nmv \"" + note.toUtf8() +
                                ".tmp\" \"" + note.toUtf8() + "\"\n");
    ASSERT_TRUE(QFile::setPermissions(program, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));

    RestartProgram(program);
    QElapsedTimer timer;
    timer.start();
    while (!QFile::exists(note) && timer.elapsed() < 10000)
        QThread::msleep(20);
    EXPECT_EQ(ReadFileBytes(note), "restart " + folder.toUtf8() + "\n");

    EXPECT_THROW(RestartProgram(DataFile("missing")), Exception);
}

// Saves killed half-way leave their temporary files behind. The copy that holds the folder
// removes those of the program's own files when it starts; a second copy, which does not hold
// the folder, touches nothing; other programs' files stay.
TEST_F(StartupTest, StaleTemporariesOfOwnFilesGoAtStart)
{
    struct TFile {
        const char* Path;
        bool Removed;
    } const files[] = {
        {"Tavrix2_2r10.ldr.~sav", true},
        {"Tavrix2_2r10.frm.~sav", true},
        {"Tavrix2_2r10.ldr.bak.~sav", true},
        {"Prefetchs/Tavrix2_2r10_101.dfc.~sav", true},
        {"Systems/system 1.lst.~sav", true},
        {"Tavrix2_2r10.ldr", false},
        {"Prefetchs/Tavrix2_2r10_101.dfc", false},
        {"Other.ini.~sav", false},             // another program's, beside ours
        {"Prefetchs/notes.txt.~sav", false},
        {"Scripts/Tavrix2_2r10.lss.~sav", false},   // a folder the program does not keep
        // An update killed during its copy: the work folder and the copy's temporary files.
        {"SelfUpdate/SelfUpdate_2.2.10.12.upd", true},
        {"SelfUpdate/Tavrix2_2r10", true},
        {"Tavrix2_2r10.tmp", true},
        {"notes.txt.tmp", false},   // not the copy's: the work folder holds no "notes.txt"
    };
    const auto writeAll = [&] {
        for (const TFile& f : files) {
            const QString path = FDir.filePath(QLatin1String(f.Path));
            QDir().mkpath(QFileInfo(path).absolutePath());
            WriteFileBytes(path, "x");
        }
    };
    const auto left = [&] {
        QStringList present;
        for (const TFile& f : files)
            if (QFileInfo::exists(FDir.filePath(QLatin1String(f.Path))))
                present.append(QLatin1String(f.Path));
        return present;
    };
    QStringList all;
    QStringList kept;
    for (const TFile& f : files) {
        all.append(QLatin1String(f.Path));
        if (!f.Removed)
            kept.append(QLatin1String(f.Path));
    }

    // A second copy in the same folder: the first one's saves may be running.
    writeAll();
    {
        TFolderLock firstCopy;
        ASSERT_TRUE(firstCopy.Acquire(FDir.path()));
        FState.SetArguments({});
        EXPECT_TRUE(FStartup.Create());
        EXPECT_EQ(left(), all);
    }

    FState.FolderLock().Release();
    FState.SetArguments({});
    EXPECT_TRUE(FStartup.Create());
    EXPECT_TRUE(FState.FolderLock().IsHeld());
    EXPECT_EQ(left(), kept);

    // The function on its own says what it removed.
    writeAll();
    QStringList removed = RemoveStaleSaves(FState.DataDir());
    for (QString& path : removed)
        path = QDir(FDir.path()).relativeFilePath(path);
    removed.sort();
    QStringList expected;
    for (const TFile& f : files)
        if (f.Removed)
            expected.append(QLatin1String(f.Path));
    expected.sort();
    EXPECT_EQ(removed, expected);
}
