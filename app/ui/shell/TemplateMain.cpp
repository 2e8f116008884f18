#include "app/ui/shell/TemplateMain.h"

#include "app/core/shell/HelpLinks.h"
#include "app/core/online/OnlineScripts.h"
#include "app/core/stakes/StakesFile.h"
#include "app/core/online/SwScripts.h"
#include "app/core/online/SwSystems.h"
#include "app/core/online/SystemsExchange.h"

#include "app/ui/views/CardPage.h"
#include "app/ui/combs/CombsPage.h"
#include "app/ui/views/DrawsGraphPage.h"
#include "app/ui/archive/DrawsPage.h"
#include "app/ui/shell/EnterKey.h"
#include "app/ui/shell/FilePrompt.h"
#include "app/ui/shell/LanguageMenu.h"
#include "app/ui/online/OnlineScriptsPanel.h"
#include "app/ui/shell/ProgramEnv.h"
#include "app/ui/views/LayoutPage.h"
#include "app/ui/stakes/RatingsPage.h"
#include "app/ui/scenarios/ScriptPage.h"
#include "app/ui/stakes/StakesPage.h"
#include "app/ui/stats/StatPage.h"
#include "app/ui/online/SystemsPage.h"
#include "app/ui/stakes/TablesPage.h"
#include "app/ui/shell/UnitFirstRun.h"
#include "app/ui/views/WeekPage.h"
#include "engine/KelmaMsg.h"
#include "platform/DelphiText.h"
#include "support/RDialogs.h"
#include "support/RLngDLL.h"
#include "support/RSelfUpdate2.h"
#include "support/RVclUtils.h"
#include "support/ui/FormWait.h"
#include "support/ui/RActions.h"
#include "support/ui/RFrmStorage.h"
#include "support/ui/UnitExpExcel.h"
#include "support/ui/rExpXls.h"
#include "support/ui/RStatusBar.h"
#include "support/ui/RVclUtilsUi.h"

#include "platform/Exceptions.h"
#include "ui_FormMain.h"

#include <QApplication>
#include <QChartView>
#include <QDateTime>
#include <QHBoxLayout>
#include <QPointer>
#include <QSplitter>
#include <QTimer>
#include <QToolButton>

#include <algorithm>
#include <limits>

namespace {

// Widths of the status panels; the message panel takes the rest of the line.
constexpr int kPanelWidths[] = {160, 180, 60, 120, 100, 100, -1};
// The counts of the panels go up to seven digits.
constexpr int kLargestPanelCount = 9999999;
constexpr int kInitIntervalMs = 100;

// The options of the main window, kept in its section of the form-state file.
class TFormStateOfWindow : public IFormState {
public:
    explicit TFormStateOfWindow(const QWidget* form) : FForm(form) {}

    int ReadInteger(const QString& key, int def) const override { return ReadFormInteger(FForm, key, def); }
    int ReadCount(const QString& key, int def) const override
    {
        return ReadFormInteger(FForm, key, def, 0, std::numeric_limits<int>::max());
    }
    bool ReadBool(const QString& key, bool def) const override { return ReadFormBool(FForm, key, def); }
    void WriteInteger(const QString& key, int value) override { WriteFormInteger(FForm, key, value); }
    void WriteBool(const QString& key, bool value) override { WriteFormBool(FForm, key, value); }

private:
    const QWidget* FForm;
};

// The file dialog of the window's commands, starting at `initial` when it is given.
bool AskFileName(QWidget* owner, bool save, const QString& filter, const QString& defaultExt, const QString& initial,
                 QString& fileName)
{
    TFilePrompt prompt;
    prompt.Filter = filter;
    prompt.DefaultExt = defaultExt;
    prompt.FileName = initial;
    prompt.Save = save;
    return PromptForFileName(owner, prompt, fileName);
}

} // namespace

TTemplateMain::TTemplateMain(std::optional<QStringList> arguments, QWidget* parent)
    : QMainWindow(parent), FUi(std::make_unique<Ui::FormMain>())
{
    if (arguments)
        FState.SetArguments(*arguments);
    FUi->setupUi(this);
    FAppTitle = windowTitle();
    // The window uses the desktop's menu font; Qt's Unicode text needs no character set.
    setFont(QApplication::font("QMenu"));
    // The left page control keeps its width when the window is resized.
    FUi->splMain->setStretchFactor(0, 0);
    FUi->splMain->setStretchFactor(1, 1);
    CreateStatusBar();

    // The status line and the hourglass follow this window from now on, and while a long
    // operation runs the window takes no input but its live commands.
    SetMainForm(this);
    InstallStatusLine();
    InstallHourglass();
    InstallBusyInputGuard(this);

    FState.SetFormState(std::make_unique<TFormStateOfWindow>(this));
    FDrawsPage = new TDrawsPage(FState, FArchive, FUi->lvDraws, FUi->edDrawsOffset, FStatusBar, this);
    FState.OnDrawsInfo = [this](const TDrawsInfo& info, bool force) { FDrawsPage->ShowDrawsInfo(info, force); };
    FState.OnDrawsOffsetChanged = [this](int offset) { FDrawsPage->ShowDrawsOffset(offset); };
    FCombsPage = new TCombsPage(FCombs, FUi->lvCombs, FUi->lvFilters, FUi->edCombsExclude, FStatusBar, this);
    FUi->splCombs->setStretchFactor(0, 1);
    FUi->splCombs->setStretchFactor(1, 0);
    FStatPage = new TStatPage(FState, FStatTable, FStatFilter,
                              {FUi->tsDrawsStat, FUi->cbDrawsStatType, FUi->edDrawsStatLen, FUi->lvDrawsStat,
                               FUi->crtDrawsStat},
                              this);
    FUi->splDrawsStat->setStretchFactor(0, 1);
    FUi->splDrawsStat->setStretchFactor(1, 0);
    SetLowerPaneHeight(FUi->splDrawsStat, TStatPage::DefaultChartHeight);
    SetupViewPages();
    SetupPrefetchCache();
    FStakesFile = std::make_unique<TStakesFile>(FState.StakesFileName());
    FRatings = std::make_unique<TRatings>(FState.RatingsFileName(), FStakesFile.get());
    FRatingsPage = new TRatingsPage(FState, *FRatings, FUi->lvRatings, FStatusBar, this);
    FStakesPage = new TStakesPage(*FStakesFile, FUi->sgStakes, FStatusBar, this);
    FStakeCommands = std::make_unique<TStakeCommands>(FState, *FStakesFile);
    SetupStakeCommands();
    FScript = std::make_unique<TScriptList>(FState.DataDir());
    FScriptPage = new TScriptPage(*FScript, FState.StatList(), FUi->lvScript, FUi->sbScript, this);
    SetupTables();
    SetupSystems();
    SetupOnlineScripts();
    FDrawsCsv.PromptFile = [this](bool save, const QString& filter, const QString& defaultExt, QString& fileName) {
        return PromptFile(save, filter, defaultExt, fileName);
    };
    SetupScriptCommands();
    // The export dialog's parameter files are asked for as every other file of the window.
    SetExpFilePrompt([](QWidget* owner, const QString& filter, const QString& ext, bool save, QString& fileName) {
        return AskFileName(owner, save, filter, ext, fileName, fileName);
    });
    SetupScriptRunner();
    SetLowerPaneHeight(FUi->splCombs, TCombsPage::DefaultFiltersHeight);

    FDownload.OnShowWait = [](const QString& text) { ShowWaitForm(text); };
    FDownload.OnHideWait = [] { HideWaitForm(); };
    FProxy.OnWaitText = [](const QString& text) { UpdateWaitForm(text); };
    // Every download ends by scoring the stakes against the draws it brought.
    FDownload.OnAfterDownload = [this] { CheckStakesAndReload(); };

    // A page of pcMain that comes into view computes itself when it has to.
    connect(FUi->pcMain, &QTabWidget::currentChanged, this, [this] { FState.RefreshViews(false); });

    // Enter presses the focused button in this window and in every dialog it opens.
    InstallButtonEnterKeys(this);
    FActions = new TActionRegistry(this);
    CreateActions();
    CreatePopupMenus();
    BuildMenus();
    // The systems menu and the system stakes show only while system play is on.
    ShowSystemsTab(false);
    // The layout's two recomputes as buttons beside their editors.
    for (const auto& [row, command] : {std::pair{FLayoutPage->LayoutTools(), TCommand::LayoutCalc},
                                       std::pair{FLayoutPage->CompareTools(), TCommand::LayoutCmpCalc}}) {
        auto* button = new QToolButton(FLayoutPage);
        button->setDefaultAction(Action(command));
        button->setToolButtonStyle(Qt::ToolButtonTextOnly);
        row->addWidget(button);
    }
    // The method list and the length editor compute when the command that computes may run.
    FStatPage->CanRecalc = [this] { return FActions->CanExecute(TCommand::DrawsStatCalc); };
    FCombsPage->CanDelExists = [this] { return FActions->CanExecute(TCommand::CombsDelExists); };

    FInitTimer = new QTimer(this);
    FInitTimer->setObjectName(QStringLiteral("tmrInit"));
    FInitTimer->setSingleShot(true);
    FInitTimer->setInterval(kInitIntervalMs);
    connect(FInitTimer, &QTimer::timeout, this, &TTemplateMain::tmrInitTimer);

    // A close asked for while a long operation runs waits until it is over.
    const QPointer<TTemplateMain> self(this);
    FWaitListener = AddWaitListener([self](int count) {
        if (self && count == 0 && self->FCloseRequested && !self->FInitRunning)
            self->CloseWhenIdle();
    });
}

TTemplateMain::~TTemplateMain()
{
    RemoveWaitListener(FWaitListener);
    // The pages hold the workflow objects, which go before the window's children do.
    for (const int id : FViewIds)
        FState.UnregisterView(id);
    delete FStakesPage;
    FStakesPage = nullptr;
    delete FScriptPage;
    FScriptPage = nullptr;
    delete FTablesPage;
    FTablesPage = nullptr;
    delete FSystemsPage;
    FSystemsPage = nullptr;
    delete FOnlineScriptsPanel;
    FOnlineScriptsPanel = nullptr;
    delete FCardPage;
    FCardPage = nullptr;
    delete FLayoutPage;
    FLayoutPage = nullptr;
    delete FWeekPage;
    FWeekPage = nullptr;
    delete FDrawsGraphPage;
    FDrawsGraphPage = nullptr;
    delete FRatingsPage;
    FRatingsPage = nullptr;
    delete FStatPage;
    FStatPage = nullptr;
    delete FCombsPage;
    FCombsPage = nullptr;
    FState.OnDrawsInfo = nullptr;
    FState.OnDrawsOffsetChanged = nullptr;
    FDownload.OnShowWait = nullptr;
    FDownload.OnHideWait = nullptr;
    FProxy.OnWaitText = nullptr;
    HideWaitForm();
    if (MainForm() == this)
        SetMainForm(nullptr);
}

void TTemplateMain::CreateStatusBar()
{
    FStatusBar = new TStatusBar(this);
    setStatusBar(FStatusBar);
    // Each count panel is as wide as its text with the largest count, in the current language.
    const auto sample = [](const TResString& format) {
        return [&format] { return Format(LoadResString(format), {kLargestPanelCount}); };
    };
    const TResString* const counts[] = {&rsStatusDrawCount, &rsStatusNextDraw, nullptr, &rsStatusCombCount,
                                        &rsStatusStakes, &rsStatusRatingCount, nullptr};
    static_assert(std::size(counts) == std::size(kPanelWidths));
    for (std::size_t i = 0; i < std::size(kPanelWidths); ++i)
        FStatusBar->AddPanel(kPanelWidths[i], counts[i] ? sample(*counts[i]) : TStatusBar::TSampleText());
    FStatusBar->SetTag(MessagePanel);
    FStatusBar->SetPanelText(0, Format(LoadResString(rsStatusDrawCount), {0}));
    FStatusBar->SetPanelText(1, FState.DrawsInfo().NextText);
    FStatusBar->SetPanelText(2, QStringLiteral(" "));
    FStatusBar->SetPanelText(3, Format(LoadResString(rsStatusCombCount), {0}));
    FStatusBar->SetPanelText(4, Format(LoadResString(rsStatusStakes), {0}));
    FStatusBar->SetPanelText(5, Format(LoadResString(rsStatusRatingCount), {0}));
}

void TTemplateMain::ShowStatus(const QString& text)
{
    FStatusBar->SetPanelText(MessagePanel, text);
    QApplication::processEvents();
}

void TTemplateMain::SetLowerPaneHeight(QSplitter* splitter, int height)
{
    if (height <= 0)
        return;
    const int total = std::max(splitter->height(), height + 100);
    splitter->setSizes({total - height, height});
}

// ---------------------------------------------------------------------------------------------
// Start-up and shut-down.

void TTemplateMain::InstallSteps()
{
    TStartupSteps& steps = FStartup.Steps;
    steps.SetupLanguage = [this] { SetupLanguage(); };
    // Pages of the analysis views and their grids are set up here as they join the window.
    steps.SetupPages = nullptr;
    steps.RestoreFormState = [this] { RestoreFormState(); };
    steps.ShowPrefetchColumns = [this] { FStatPage->UpdateNormColumns(); };
    steps.LoadEngineConfig = [this] { LoadEngineConfig(); };
    steps.ReadFavorites = [this] { FStatPage->BindStatList(); };
    steps.FillMethodLists = [this] { FillStatMethods(false, false); };
    steps.AddVersionToCaption = [this] {
        FCaptionVersion = QCoreApplication::applicationVersion();
        setWindowTitle(windowTitle() + LoadResString(rsCaptionVersion) + FCaptionVersion);
    };
    steps.OpenStakesFile = [this] { return OpenStakesFile(); };
    steps.LoadStakesFile = [this] { return LoadStakesFile(); };
    steps.BuildInitialCombs = [this] { FCombsGen.BuildCombs(true, FCombsGen.DefaultSettings()); };
    steps.LoadRatings = [this] { FRatingsPage->Load(); };
    steps.LoadTables = [this] { LoadTables(); };
    steps.LoadSystems = [this] {
        if (FState.Options.Flag(TMainOptions::SystemsEnabled))
            ShowSystemsTab(true);
    };
    steps.RebuildAllPrefetchs = [this] { return FPrefetch.Rebuild(true, PrefetchAllGroups); };
    steps.RefreshPrefetchs = [this](bool force) { return FPrefetch.Rebuild(force, 0); };
    steps.LoadScript = [this] { FScript->LoadCurrentScript(); };
    steps.FillOnlineLibrary = [this] {
        FOnlineScriptsPanel->CbOnlineScriptsFilter()->setEnabled(true);
        // Without a server the list stays empty until the user asks for it.
        if (MakerServerConfigured())
            FOnlineScripts->LoadOnlineScripts();
    };
    // Steps left empty here are skipped by the start-up sequence.
    // With only the placeholder address there is nothing to look at before the user asks.
    steps.CheckForUpdate = [] { return !qEnvironmentVariableIsEmpty(MakerServerEnv) && CheckProgramUpdate(true); };
    steps.ShowFirstRun = [this] { ShowFirstRunDialog(this, FState, FLanguages.HelpFileName()); };
    steps.SaveFormState = [this] { SaveFormState(); };
    steps.CloseStakesFile = [this] { CloseStakesFile(); };
}

void TTemplateMain::FormCreate()
{
    InstallSteps();
    if (FStartup.Create()) {
        FInitTimer->start();
        return;
    }
    // The restart wait ran out, or the folder cannot be written: this copy ends before it
    // wrote anything, and it leaves the form state alone at shut-down too.
    if (FStartup.EndRequested()) {
        FAccessRefused = FStartup.FolderRefused();
        EndApplication(1);
    }
}

void TTemplateMain::tmrInitTimer()
{
    FInitTimer->stop();
    FInitRunning = true;
    const TAppStartup::TOutcome outcome = FStartup.Init();
    FInitRunning = false;
    FInitialized = true;
    switch (outcome) {
    case TAppStartup::TOutcome::Run:
        if (FCloseRequested && IsNotWaiting())
            CloseWhenIdle();
        break;
    case TAppStartup::TOutcome::EndApplication:
        // Without the folder this copy may not write there: not even its form state.
        FAccessRefused = !FState.FolderLock().IsHeld();
        EndApplication(FAccessRefused || FStakesCheckFailed ? 1 : FStartup.ExitCode());
        break;
    case TAppStartup::TOutcome::Restart:
        try {
            RestartProgram(FStartup.ProgramFile);
            EndApplication(0);
        } catch (const std::exception& e) {
            ErrorBox(Format(LoadResString(rsInitError), {ExceptionText(e)}));
            // Nobody is there to go on with a batch run.
            if (FStartup.BatchRun())
                EndApplication(1);
        }
        break;
    }
}

void TTemplateMain::SetupLanguage()
{
    // "no-language" or the stored "Language"; a missing module leaves the built-in Russian.
    const QString error = FLanguages.Setup();
    FLanguages.Restart = [this] {
        RestartProgram(FStartup.ProgramFile);
        EndApplication(0);
    };
    FillLanguageMenu(FUi->menuLanguages, *FActions, FLanguages);
    // A module that exists but cannot be read: the program goes on in Russian and says so.
    if (!error.isEmpty())
        ErrorBox(error);
}

void TTemplateMain::LoadEngineConfig()
{
    QString error;
    {
        TBusyScope busy(LoadResString(rsLoadingConfig));
        TStatList& engine = FState.StatList();
        const QString file = FState.IniFileName();
        // Every part is read, so that each takes its defaults when the file cannot be read;
        // the reason is the same for all of them and is told once.
        for (const auto load : {&TStatList::LoadCombsGenerateSettings, &TStatList::LoadConfig,
                                &TStatList::LoadShreddingFormulas}) {
            try {
                (engine.*load)(file);
            } catch (const std::exception& e) {
                if (error.isEmpty())
                    error = ExceptionText(e);
            }
        }
    }
    if (!error.isEmpty()) {
        ErrorBox(Format(LoadResString(rsConfigReadError), {error}));
        FState.FConfigReadErrorTold = true;
    }
}

// ---------------------------------------------------------------------------------------------
// The stakes file, open from start-up to shut-down.

bool TTemplateMain::OpenStakesFile()
{
    // The file is held exclusively for the whole run: a holder elsewhere refuses this copy.
    try {
        FStakesFile->Open();
    } catch (const EStakesFileHeld&) {
        return false;
    } catch (const std::exception& e) {
        // Not a second copy: the file and the reason are told before the start-up gives up.
        ErrorBox(ExceptionText(e));
        return false;
    }
    return true;
}

bool TTemplateMain::LoadStakesFile()
{
    bool loaded = true;
    {
        TBusyScope busy(LoadResString(rsLoadingStakesFile));
        try {
            const TStakesLoadReport report = FStakesFile->Load();
            for (const QString& text : TStakesFile::LoadMessages(report))
                WarningBox(text);
        } catch (const std::exception& e) {
            ErrorBox(ExceptionText(e));
            loaded = false;
        }
        ShowStakesCount();
        FStakesPage->Refresh(true, false);
    }
    ShowStatus(QString());
    return loaded;
}

void TTemplateMain::CloseStakesFile()
{
    if (!FStakesFile || !FStakesFile->IsOpen())
        return;
    {
        TBusyScope busy(LoadResString(rsSavingStakesFile));
        try {
            FStakesFile->Close();
        } catch (const std::exception& e) {
            ErrorBox(ExceptionText(e));
        }
    }
    if (FRatings)
        FRatings->FreeRatings();
}

// ---------------------------------------------------------------------------------------------
// What the commands of several workflows share.

void TTemplateMain::RestartAfterUpdate()
{
    try {
        RestartProgram(FStartup.ProgramFile);
        EndApplication(0);
    } catch (const std::exception& e) {
        ErrorBox(ExceptionText(e));
    }
}

QString TTemplateMain::TabCaption(QWidget* page) const
{
    for (const QTabWidget* tabs : {FUi->pcLists, FUi->pcMain})
        if (const int index = tabs->indexOf(page); index >= 0)
            return tabs->tabText(index);
    return QString();
}

void TTemplateMain::ExportTable(TRListView* list, QWidget* page)
{
    const QString title = TabCaption(page);
    ExportListViewToExcel(list, title, title, QString(), QString(), 0, true);
}

void TTemplateMain::ExportTable(TROwnerDrawGrid* grid, QWidget* page)
{
    const QString title = TabCaption(page);
    ExportOwnerDrawGridToExcel(grid, title, title, QString(), QString(), 0, true);
}

bool TTemplateMain::PromptFile(bool save, const QString& filter, const QString& defaultExt, QString& fileName)
{
    return AskFileName(this, save, filter, defaultExt, QString(), fileName);
}

void TTemplateMain::ToggleOption(TMainOptions::TOption option, QWidget* repaint)
{
    TBusyScope busy;
    FState.WriteOption(option, FState.Options.Flag(option) ? 0 : 1);
    if (repaint)
        repaint->update();
}
