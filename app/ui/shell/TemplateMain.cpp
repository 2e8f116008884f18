#include "app/ui/shell/TemplateMain.h"

#include "app/core/stats/EngineSettings.h"
#include "app/core/shell/HelpLinks.h"
#include "app/core/online/OnlineScripts.h"
#include "app/core/stakes/RatingsFromStakes.h"
#include "app/core/scenarios/RatingsToScript.h"
#include "app/core/stakes/StakeCheck.h"
#include "app/core/stakes/StakeGraphs.h"
#include "app/core/stakes/StakesFile.h"
#include "app/core/online/SwScripts.h"
#include "app/core/online/SwSystems.h"
#include "app/core/online/SystemsExchange.h"

#include "app/ui/views/CardPage.h"
#include "app/ui/combs/CombsPage.h"
#include "app/ui/views/DrawsGraphPage.h"
#include "app/ui/archive/DrawsPage.h"
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
#include "app/ui/combs/UnitGenCombs.h"
#include "app/ui/views/UnitGraph.h"
#include "app/ui/shell/UnitAbout.h"
#include "app/ui/stats/UnitConfig.h"
#include "app/ui/scenarios/UnitFilter.h"
#include "app/ui/shell/UnitFirstRun.h"
#include "app/ui/stakes/UnitMulti.h"
#include "app/ui/scenarios/UnitScript.h"
#include "app/ui/stats/UnitShredding.h"
#include "app/ui/stakes/UnitStake.h"
#include "app/ui/stakes/UnitStakeFilter.h"
#include "app/ui/online/UnitSystem.h"
#include "app/ui/stakes/UnitTable.h"
#include "app/ui/stakes/UnitTestCnt.h"
#include "app/ui/views/WeekPage.h"
#include "engine/KelmaMsg.h"
#include "platform/DelphiText.h"
#include "support/RDialogs.h"
#include "support/RLngDLL.h"
#include "support/RSelfUpdate2.h"
#include "support/RSwCommon.h"
#include "support/RVclUtils.h"
#include "support/ui/FormProgress.h"
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
#include <QCloseEvent>
#include <QDateTime>
#include <QHBoxLayout>
#include <QPointer>
#include <QSplitter>
#include <QStatusTipEvent>
#include <QTimer>
#include <QToolButton>

#include <algorithm>

namespace {

// Widths of the status panels; the message panel takes the rest of the line.
constexpr int kPanelWidths[] = {160, 180, 60, 120, 100, 100, -1};
constexpr int kInitIntervalMs = 100;
constexpr int kDefaultLeftPanelWidth = 270;
// The online library's share of the scenario page at the first start.
constexpr int kDefaultLibraryHeight = 200;

const TResString SRegularsTab = RESSTR("TemplateMain", "Регуляры");
const TResString SSystemsTab = RESSTR("TemplateMain", "Системы");
const TResString SStakesPartlyMade =
    RESSTR("TemplateMain", "Ставки сделаны не для всех комбинаций: сделано %d из %d.");
const TResString SDamagedStakes = RESSTR(
    "TemplateMain", "Записей ставок с недопустимыми значениями: %d. Они не проверены и не учтены в рейтинге.");

// Places the second pane of a vertical splitter at the given height; the first pane takes the
// rest and any later growth of the window.
void SetLowerPaneHeight(QSplitter* splitter, int height)
{
    if (height <= 0)
        return;
    const int total = std::max(splitter->height(), height + 100);
    splitter->setSizes({total - height, height});
}

// The options of the main window, kept in its section of the form-state file.
class TFormStateOfWindow : public IFormState {
public:
    explicit TFormStateOfWindow(const QWidget* form) : FForm(form) {}

    int ReadInteger(const QString& key, int def) const override { return ReadFormInteger(FForm, key, def); }
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
    for (const int width : kPanelWidths)
        FStatusBar->AddPanel(width);
    FStatusBar->SetTag(MessagePanel);
    FStatusBar->SetPanelText(0, Format(LoadResString(rsStatusDrawCount), {0}));
    FStatusBar->SetPanelText(1, Format(LoadResString(rsStatusNextDraw), {0}));
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
    steps.RebuildAllPrefetchs = [this] { FPrefetch.Rebuild(true, PrefetchAllGroups); };
    steps.RefreshPrefetchs = [this](bool force) { FPrefetch.Rebuild(force, 0); };
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
    try {
        TBusyScope busy(LoadResString(rsLoadingConfig));
        TStatList& engine = FState.StatList();
        engine.LoadCombsGenerateSettings(FState.IniFileName());
        engine.LoadConfig(FState.IniFileName());
        engine.LoadShreddingFormulas(FState.IniFileName());
    } catch (const std::exception& e) {
        ErrorBox(Format(LoadResString(rsConfigReadError), {ExceptionText(e)}));
    }
}

void TTemplateMain::RestoreFormState()
{
    RestoreFormPlacement(this, true, true);
    const int leftWidth = ReadFormInteger(this, QStringLiteral("LeftPanelWidth"), kDefaultLeftPanelWidth);
    if (leftWidth > 0) {
        const int total = std::max(FUi->splMain->width(), leftWidth + FUi->pcMain->minimumWidth());
        FUi->splMain->setSizes({leftWidth, total - leftWidth});
    }
    FUi->edCombsExclude->setValue(ReadFormInteger(this, QStringLiteral("DrawsExclude"), FUi->edCombsExclude->value()));
    FUi->edDrawsStatLen->setValue(ReadFormInteger(this, QStringLiteral("DrawsStatLen"), FUi->edDrawsStatLen->value()));
    SetLowerPaneHeight(FUi->splDrawsStat,
                       ReadFormInteger(this, QStringLiteral("DrawsStatHeight"), TStatPage::DefaultChartHeight));
    SetLowerPaneHeight(FUi->splCombs,
                       ReadFormInteger(this, QStringLiteral("FiltersHeight"), TCombsPage::DefaultFiltersHeight));
    RestoreListViewLayout(this, FUi->lvDraws, false);
    RestoreListViewLayout(this, FUi->lvCombs, false);
    RestoreListViewLayout(this, FUi->lvFilters, false);
    RestoreListViewLayout(this, FUi->lvDrawsStat, false);
    RestoreListViewLayout(this, FUi->lvRatings, false);
    RestoreListViewLayout(this, FUi->lvScript, false);
    RestoreListViewLayout(this, FSystemsPage->List(), false);
    FOnlineScripts->RestorePanelShown(FState.Options.Flag(TMainOptions::ScriptLibraryOn));
    FOnlineScripts->RestoreFilterIndex(FState.Options.Value(TMainOptions::ScriptLibraryFilter));
    FOnlineScriptsPanel->setVisible(FOnlineScripts->PanelShown());
    SetLowerPaneHeight(FSplScripts, ReadFormInteger(this, QStringLiteral("ScriptLibraryHeight"), kDefaultLibraryHeight));
    FOnlineScriptsPanel->ShowEntries();
    FDrawsGraphPage->RestoreState();
    FLayoutPage->RestoreState();
    FWeekPage->RestoreState();
    FCardPage->SetNumberColumnWidth(FUi->lvDraws->ColumnWidth(0));
    ShowViewTabs();
    // The norm columns follow the option whatever widths were stored for them.
    FStatPage->UpdateNormColumns();
    FDrawsPage->Repaint();
}

void TTemplateMain::SaveFormState()
{
    // A copy refused the folder leaves the files there to the copy that holds it.
    if (FAccessRefused)
        return;
    SaveFormPlacement(this);
    WriteFormInteger(this, QStringLiteral("LeftPanelWidth"), FUi->pcLists->width());
    WriteFormInteger(this, QStringLiteral("DrawsExclude"), FUi->edCombsExclude->value());
    WriteFormInteger(this, QStringLiteral("DrawsStatLen"), FUi->edDrawsStatLen->value());
    WriteFormInteger(this, QStringLiteral("DrawsStatHeight"), FUi->crtDrawsStat->height());
    WriteFormInteger(this, QStringLiteral("FiltersHeight"), FUi->lvFilters->height());
    SaveListViewLayout(this, FUi->lvDraws, false);
    SaveListViewLayout(this, FUi->lvCombs, false);
    SaveListViewLayout(this, FUi->lvFilters, false);
    SaveListViewLayout(this, FUi->lvDrawsStat, false);
    SaveListViewLayout(this, FUi->lvRatings, false);
    SaveListViewLayout(this, FUi->lvScript, false);
    SaveListViewLayout(this, FSystemsPage->List(), false);
    if (FOnlineScriptsPanel->isVisible())
        WriteFormInteger(this, QStringLiteral("ScriptLibraryHeight"), FOnlineScriptsPanel->height());
    FState.WriteOption(TMainOptions::ScriptLibraryFilter, FOnlineScripts->FilterIndex());
    FDrawsGraphPage->SaveState();
    FLayoutPage->SaveState();
    FWeekPage->SaveState();
}

// ---------------------------------------------------------------------------------------------
// Stakes file and ratings.

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

void TTemplateMain::ShowStakesCount()
{
    FStatusBar->SetPanelText(4, Format(LoadResString(rsStatusStakes), {static_cast<int>(FStakesFile->RecordCount())}));
}

void TTemplateMain::CheckStakesAndReload()
{
    if (!FStakesFile || !FStakesFile->IsOpen())
        return;
    try {
        TStakesLog log(FState.DataDir());
        log.Enabled = FState.Options.Flag(TMainOptions::StakesLogEnabled);
        TStakeCheck check(*FStakesFile, FState.FDraws, FState.StatList(), *FRatings);
        check.Log = &log;
        const TStakeCheckResult result = check.CheckStakesAndReload([this] { FRatings->SortRatings(); });
        for (const QString& text : result.Errors)
            ErrorBox(text);
        FStakesCheckFailed = FStakesCheckFailed || result.Failed;
        if (result.DamagedCount > 0)
            WarningBox(Format(LoadResString(SDamagedStakes), {result.DamagedCount}));
    } catch (const std::exception& e) {
        ErrorBox(ExceptionText(e));
    }
    FRatingsPage->Repaint();
    ShowStakesCount();
    FStakesPage->Refresh(true, false);
}

void TTemplateMain::RefreshRatings()
{
    FRatingsPage->RefreshFrom(CheckedStakesOf(*FStakesFile));
}

void TTemplateMain::SetupStakeCommands()
{
    TStakeCommands& c = *FStakeCommands;
    c.EditStake = [this](TStakeRec& rec, int& drawCount) { return EditStakeData(this, rec, drawCount); };
    c.EditMulti = [this](std::int32_t& draw, int& drawCount, QString& comment) {
        return EditMultiStake(this, draw, drawCount, comment);
    };
    c.AskCondition = [this](int& condition, int& value) { return AskStakeCondition(this, condition, value); };
    c.CheckStakes = [this] { CheckStakesAndReload(); };
    c.RefreshGrid = [this](bool resize, bool scroll) { FStakesPage->Refresh(resize, scroll); };
    c.RefreshRatings = [this] { RefreshRatings(); };
    c.StopRequested = [this] { return FCloseRequested; };
    // A double click on a draw shows its details, as the command does.
    connect(FUi->lvDraws, &QAbstractItemView::doubleClicked, this, [this](const QModelIndex& index) {
        if (index.isValid() && FActions->CanExecute(TCommand::DrawsInfo))
            FActions->Execute(TCommand::DrawsInfo);
    });
    // A double click on a combination stakes it, as the command does.
    connect(FUi->lvCombs, &QAbstractItemView::doubleClicked, this, [this](const QModelIndex& index) {
        if (index.isValid() && FActions->CanExecute(TCommand::StakeAdd))
            FStakeCommands->AddStake(FCombs.Comb(index.row()));
    });
    connect(FUi->lvRatings, &QAbstractItemView::doubleClicked, this, [this](const QModelIndex& index) {
        if (index.isValid() && FActions->CanExecute(TCommand::RatingsGraphOverlap))
            ShowStakesGraph(TCommand::RatingsGraphOverlap);
    });
}

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

void TTemplateMain::SetupScriptCommands()
{
    TScriptList& script = *FScript;
    script.PromptFile = [this](bool save, const QString& filter, const QString& defaultExt, QString& fileName) {
        return PromptFile(save, filter, defaultExt, fileName);
    };
    script.EditLine = [this](QString& line, const QString& title) {
        return EditScriptLine(this, line, title, FUi->edCombsExclude->value(),
                              FilterDialogContext(*FUi->cbDrawsStatType, FState.StatList(), FUi->edDrawsStatLen->value()));
    };
    // A double click on a line edits it, as the command does.
    connect(FUi->lvScript, &QAbstractItemView::doubleClicked, this, [this](const QModelIndex& index) {
        if (index.isValid() && FActions->CanExecute(TCommand::ScriptEdit))
            FActions->Execute(TCommand::ScriptEdit);
    });
}

void TTemplateMain::SetupPrefetchCache()
{
    const auto norms = [this](const TStatMethod& method) { return FPrefetch.Load(method); };
    FStatTable.SetPrefetchSource(norms);
    FScriptStatTable.SetPrefetchSource(norms);
    // A run without a person shows no window at all.
    if (IsUnattendedRun(FState.Arguments(), qEnvironmentVariable(UnattendedEnv)))
        return;
    TPrefetchCache::TProgress progress;
    progress.Show = [](const QString& text, int maximum) { ShowProgress(text, maximum, false); };
    progress.Step = [] { StepProgress(1); };
    progress.Hide = [] { HideProgress(); };
    FPrefetch.SetProgress(std::move(progress));
}

void TTemplateMain::SettingsChanged(std::uint16_t mask)
{
    FPrefetch.SettingsChanged(mask);
    ResetStatKeys();
    FState.RefreshViews(true);
}

void TTemplateMain::SaveSettings(const std::function<void()>& save)
{
    try {
        TBusyScope busy(LoadResString(rsSavingConfig));
        save();
    } catch (const std::exception& e) {
        ErrorBox(Format(LoadResString(rsConfigWriteError), {ExceptionText(e)}));
    }
}

void TTemplateMain::EditConfig()
{
    TStatList& engine = FState.StatList();
    TConfigData config = engine.Config();
    if (!EditConfigData(this, config))
        return;
    const std::uint16_t mask = ConfigChangeMask(engine.Config(), config);
    engine.Config() = config;
    SaveSettings([&engine, this] { engine.SaveConfig(FState.IniFileName()); });
    // Another channel size makes other methods.
    FillStatMethods(true, true);
    SettingsChanged(mask);
    // The lists colour their digits by channel, at paint time.
    FUi->lvDraws->viewport()->update();
    FUi->lvCombs->viewport()->update();
}

void TTemplateMain::EditShredding()
{
    TStatList& engine = FState.StatList();
    if (!EditShreddingFormulas(this, engine))
        return;
    SaveSettings([&engine, this] { engine.SaveShreddingFormulas(FState.IniFileName()); });
    // A method takes its formula into its caption when it is made: the methods are made anew,
    // so that the lists, the draw details and the exports name the formula in use.
    FillStatMethods(true, true);
    SettingsChanged(ShreddingGroupMask);
}

void TTemplateMain::SetupViewPages()
{
    FDrawsGraphPage = new TDrawsGraphPage(FState);
    FCardPage = new TCardPage(FState, FCombs, FStatFilter);
    FLayoutPage = new TLayoutPage(FState, FCombs, FStatFilter, nullptr);
    FWeekPage = new TWeekPage(FState, FCombs, FStatFilter);
    int index = FUi->pcMain->indexOf(FUi->tsDrawsStat);
    FUi->pcMain->insertTab(++index, FDrawsGraphPage, TDrawsGraphPage::Caption());
    FUi->pcMain->insertTab(++index, FCardPage, TCardPage::Caption());
    FUi->pcMain->insertTab(++index, FLayoutPage, TLayoutPage::Caption());
    FUi->pcMain->insertTab(++index, FWeekPage, TWeekPage::Caption());
    // After the statistics table, in the order of the pages.
    FViewIds = {FState.RegisterView([this](bool force) { FDrawsGraphPage->RefreshView(force); }),
                FState.RegisterView([this](bool force) { FCardPage->RefreshView(force); }),
                FState.RegisterView([this](bool force) { FLayoutPage->RefreshView(force); }),
                FState.RegisterView([this](bool force) { FWeekPage->RefreshView(force); })};
}

void TTemplateMain::ShowViewTabs()
{
    const std::pair<TMainOptions::TOption, QWidget*> tabs[] = {{TMainOptions::TabGraphs, FDrawsGraphPage},
                                                               {TMainOptions::TabCard, FCardPage},
                                                               {TMainOptions::TabLayout, FLayoutPage},
                                                               {TMainOptions::TabWeek, FWeekPage}};
    for (const auto& [option, page] : tabs)
        FUi->pcMain->setTabVisible(FUi->pcMain->indexOf(page), FState.Options.Flag(option));
}

void TTemplateMain::ToggleViewTab(TMainOptions::TOption option, QWidget* page, const std::function<void()>& recompute)
{
    TBusyScope busy;
    const bool visible = !FState.Options.Flag(option);
    FState.WriteOption(option, visible ? 1 : 0);
    FUi->pcMain->setTabVisible(FUi->pcMain->indexOf(page), visible);
    if (visible) {
        FUi->pcMain->setCurrentWidget(page);
        recompute();
    }
}

bool TTemplateMain::ViewTabShown(QWidget* page) const
{
    return FUi->pcMain->isTabVisible(FUi->pcMain->indexOf(page));
}

void TTemplateMain::FilterByView(const std::function<void()>& filter)
{
    try {
        filter();
    } catch (const std::exception& e) {
        ErrorBox(ExceptionText(e));
    }
}

void TTemplateMain::SetupOnlineScripts()
{
    FSwScripts = std::make_unique<TSwScripts>();
    FOnlineScripts = std::make_unique<TOnlineScripts>(*FSwScripts, *FScript);
    // The scenario's lines above, the library below, in one splitter.
    FSplScripts = new QSplitter(Qt::Vertical, FUi->tsScript);
    FSplScripts->setObjectName(QStringLiteral("splScripts"));
    FSplScripts->setChildrenCollapsible(false);
    delete FUi->layScript->replaceWidget(FUi->lvScript, FSplScripts);
    FSplScripts->addWidget(FUi->lvScript);
    FOnlineScriptsPanel = new TOnlineScriptsPanel(*FOnlineScripts, *FSwScripts, FSplScripts);
    FSplScripts->addWidget(FOnlineScriptsPanel);
    FSplScripts->setStretchFactor(0, 1);
    FSplScripts->setStretchFactor(1, 0);
    SetLowerPaneHeight(FSplScripts, kDefaultLibraryHeight);
}

void TTemplateMain::ToggleOnlineScripts()
{
    TBusyScope busy;
    const bool show = !FOnlineScripts->PanelShown();
    FOnlineScriptsPanel->setVisible(show);
    FState.WriteOption(TMainOptions::ScriptLibraryOn, show ? 1 : 0);
    FOnlineScripts->SetPanelShown(show);
}

void TTemplateMain::SetupSystems()
{
    FSwSystems = std::make_unique<TSwSystems>(FState.DataDir(), CurrentUserIdentity(),
                                              [] { return static_cast<std::uint32_t>(GetCurrentLanguage()); });
    FSystems = std::make_unique<TSystemsExchange>(FState, FCombs, *FStakesFile, *FStakeCommands, *FSwSystems);
    FSystems->EditSystemProperties = [this](tSystemData& data, bool editable) {
        return ::EditSystemProperties(this, data, editable);
    };
    FSystemsPage = new TSystemsPage(*FSystems, nullptr);
    FUi->pcMain->insertTab(FUi->pcMain->indexOf(FTablesPage) + 1, FSystemsPage, LoadResString(SSystemsTab));
    FUi->pcMain->setTabVisible(FUi->pcMain->indexOf(FSystemsPage), false);
}

void TTemplateMain::ShowSystemsTab(bool show)
{
    FUi->pcMain->setTabVisible(FUi->pcMain->indexOf(FSystemsPage), show);
    FUi->menuSystems->menuAction()->setVisible(show);
    Action(TCommand::SystemStakeAll)->setVisible(show);
    Action(TCommand::SystemStakeFilter)->setVisible(show);
    FSystemsPage->ShowTab(show);
}

void TTemplateMain::ToggleSystemsTab()
{
    TBusyScope busy(LoadResString(rsPleaseWait));
    const bool show = !FSystems->TabShown();
    FState.WriteOption(TMainOptions::SystemsEnabled, show ? 1 : 0);
    ShowSystemsTab(show);
    if (show)
        FUi->pcMain->setCurrentWidget(FSystemsPage);
}

void TTemplateMain::SetupTables()
{
    FTables = std::make_unique<TRegularStakes>(FState);
    FTablesPage = new TTablesPage(FState, *FTables, nullptr);
    FUi->pcMain->insertTab(FUi->pcMain->indexOf(FUi->tsRatings) + 1, FTablesPage, LoadResString(SRegularsTab));
    TRegularStakes& tables = *FTables;
    tables.EditTable = [this](const QStringList& comments, TTableRec& rec) {
        return EditTableStake(this, comments, rec);
    };
    tables.AskTestCount = [this](int largest) { return ::AskTestCount(this, largest); };
    tables.EditStake = [this](TStakeRec& rec, int& drawCount) { return EditStakeData(this, rec, drawCount); };
    tables.CreateStake = [this](const TStakeRec& rec, int drawCount) {
        return FStakeCommands->CreateStake(rec, drawCount);
    };
    tables.CreateStakes = [this](const TStakeRec& rec, int drawCount, bool batch) {
        return FStakeCommands->CreateStakes(rec, drawCount, batch);
    };
    tables.CheckStakes = [this] { CheckStakesAndReload(); };
    tables.RefreshGrid = [this](bool resize, bool scroll) { FStakesPage->Refresh(resize, scroll); };
    tables.Stakes = FStakesFile.get();
    tables.ClearSelection = [this] { FTablesPage->List()->clearSelection(); };
}

void TTemplateMain::LoadTables()
{
    FUi->pcMain->setTabVisible(FUi->pcMain->indexOf(FTablesPage), FTables->TabShown());
    // The load tells the user itself what it found.
    FTables->LoadTablesFile();
    FTablesPage->Repaint();
}

void TTemplateMain::ToggleTablesTab()
{
    TBusyScope busy;
    if (FTables->TabShown()) {
        FTables->SetTabShown(false);
        FUi->pcMain->setTabVisible(FUi->pcMain->indexOf(FTablesPage), false);
        FTablesPage->Repaint();
        return;
    }
    FState.WriteOption(TMainOptions::TabTables, 1);
    LoadTables();
    FUi->pcMain->setCurrentWidget(FTablesPage);
}

void TTemplateMain::SetupScriptRunner()
{
    FScriptLog = std::make_unique<TScriptLog>(FState.DataDir());
    FScriptLog->Enabled = [this] { return FState.Options.Flag(TMainOptions::ScriptLogEnabled); };
    FScriptTable = std::make_unique<TScriptStatTable>(FState, FScriptStatTable, FStatFilter);
    FScriptRunner = std::make_unique<TScriptRunner>(FState, FCombs, FCombsGen, *FStakesFile, *FStakeCommands,
                                                    *FScript, *FScriptLog, *FScriptTable);
    TScriptRunner& runner = *FScriptRunner;
    runner.SeedRandom(static_cast<std::uint32_t>(QDateTime::currentMSecsSinceEpoch()));
    runner.ProcessEvents = [] { QCoreApplication::processEvents(); };
    runner.ShowStatus = [this](const TScriptStatus& status) {
        FUi->sbScript->SetPanelText(1, status.Cycle);
        FUi->sbScript->SetPanelText(2, status.Line);
        FUi->sbScript->SetPanelText(3, status.Stakes);
        FUi->sbScript->SetPanelText(4, status.Filter);
    };
    runner.CheckStakes = [this] { CheckStakesAndReload(); };
    runner.RefreshStakesGrid = [this] { FStakesPage->Refresh(true, true); };
    runner.AskTestCount = [this](int largest) { return ::AskTestCount(this, largest); };
    runner.SetControlsEnabled = [this](bool enabled) {
        for (QWidget* widget : {FUi->tsDraws, FUi->tsCombs, FUi->tsDrawsStat, static_cast<QWidget*>(FUi->lvScript)})
            widget->setEnabled(enabled);
        FActions->UpdateAll();
    };
    runner.SelectLine = [this](int line) { FUi->lvScript->SetSelected(line); };
}

void TTemplateMain::RunScript(bool test)
{
    try {
        if (test)
            FScriptRunner->ScriptTest();
        else
            FScriptRunner->ScriptRun();
    } catch (const std::exception& e) {
        ErrorBox(ExceptionText(e));
    }
    // The filter steps chose the statistics table's method and length; its sort order is
    // the player's again.
    if (const TStatMethod* method = FScriptRunner->LastStepMethod())
        FStatPage->ShowMethodAndLength(*method, FScriptRunner->LastStepDrawsLen());
    // The run changed the list and the engine's weights in passing: the pages show the state
    // it left.
    ResetStatKeys();
    FState.RefreshViews(true);
    if (FCloseRequested)
        CloseWhenIdle();
}

void TTemplateMain::RatingsToScript()
{
    if (AddRatingsToScript(*FScript, FRatings->FRatings, FRatingsPage->SelectedRows(), FState.StatList()) > 0) {
        FScriptPage->Apply({true, FScript->Count() - 1});
        FUi->pcMain->setCurrentWidget(FUi->tsScript);
    }
}

void TTemplateMain::AddListStakes(bool selectedOnly)
{
    QList<TCombWord> combs;
    if (selectedOnly) {
        for (const int row : FCombsPage->SelectedRows())
            if (row >= 0 && row < FCombs.Count())
                combs.append(FCombs.Comb(row));
    } else {
        for (int i = 0; i < FCombs.Count(); ++i)
            combs.append(FCombs.Comb(i));
    }
    if (combs.isEmpty())
        return;
    int made = 0;
    if (FStakeCommands->AddStakes(combs, &made)) {
        if (selectedOnly)
            FUi->lvCombs->clearSelection();
        return;
    }
    // Stopped by a failure, which was told: the selection stays for another try, and when some
    // stakes were made the user learns how many (a cancel or a first stake that failed made none).
    if (made > 0)
        WarningBox(Format(LoadResString(SStakesPartlyMade), {made, static_cast<int>(combs.size())}));
}

void TTemplateMain::ShowStakesGraph(TCommand command)
{
    TGraphPoints points;
    try {
        TBusyScope busy(LoadResString(rsCreatingCharts));
        QStringList comments;
        for (const int row : FRatingsPage->SelectedRows())
            if (row >= 0 && row < static_cast<int>(FRatings->FRatings.size()))
                comments.append(FRatings->FRatings[static_cast<size_t>(row)].Comment);
        switch (command) {
        case TCommand::StakesGraphDraws:
            points = StakesProfitByDraws(*FStakesFile);
            break;
        case TCommand::StakesGraphOverlap:
        case TCommand::StakesGraphProfits:
            points = StakesByComments(*FStakesFile, comments, command == TCommand::StakesGraphProfits);
            break;
        default:
            points = RatingsOverlap(FRatings->FRatings, FRatingsPage->SelectedRows());
            break;
        }
    } catch (const std::exception& e) {
        ErrorBox(ExceptionText(e));
        return;
    }
    ShowGraph(this, Action(command)->text().remove(QLatin1Char('&')), points);
}

void TTemplateMain::ToggleOption(TMainOptions::TOption option, QWidget* repaint)
{
    TBusyScope busy;
    FState.WriteOption(option, FState.Options.Flag(option) ? 0 : 1);
    if (repaint)
        repaint->update();
}

void TTemplateMain::SetOption(TMainOptions::TOption option, int value)
{
    TBusyScope busy;
    FState.WriteOption(option, value);
}

void TTemplateMain::SetRatingsEffMode(int mode)
{
    TBusyScope busy;
    FRatingsPage->SetEffMode(mode);
}

// ---------------------------------------------------------------------------------------------
// Statistics table and combinations.

void TTemplateMain::CalcStatTable(bool force)
{
    FStatPage->CalcStatTable(force);
}

TStatValues TTemplateMain::GetStatRowValues(int row) const
{
    return FStatPage->GetStatRowValues(row);
}

void TTemplateMain::FilterCombsByStat(TCustomStat* stat, bool deleteSelected)
{
    FStatPage->FilterCombsByStat(stat, deleteSelected);
}

void TTemplateMain::ResetStatKeys()
{
    FStatPage->ResetStatKeys();
    FDrawsGraphPage->ResetKey();
}

void TTemplateMain::FillStatMethods(bool rebuild, bool keepSelection)
{
    FStatPage->FillStatMethods(rebuild, keepSelection);
    FDrawsGraphPage->FillGraphMethods(keepSelection);
}

void TTemplateMain::GenerateCombs()
{
    TCombsGenerateSettings settings = FCombsGen.DefaultSettings();
    bool saveAsDefault = false;
    if (EditGenCombsParams(this, settings, saveAsDefault))
        FCombsGen.Generate(settings, saveAsDefault);
}

void TTemplateMain::FormDestroy()
{
    if (FDestroyed)
        return;
    FDestroyed = true;
    FStartup.Destroy();
}

void TTemplateMain::EndApplication(int exitCode)
{
    if (!FEndRequested)
        FExitCode = exitCode;
    FEndRequested = true;
    // The window closes through the event loop, as a close by the user would.
    QTimer::singleShot(0, this, [this] { CloseWhenIdle(); });
}

void TTemplateMain::CloseWhenIdle()
{
    FCloseRequested = false;
    // A window that was never shown has no event loop to leave: the program's entry looks at
    // EndRequested before it starts one.
    QTimer::singleShot(0, this, [this] {
        if (isVisible())
            close();
    });
}

void TTemplateMain::ScriptStopExecute()
{
    FScriptRunner->ScriptStop();
}

bool TTemplateMain::event(QEvent* event)
{
    // Hints of commands and controls go to the message panel, unless a long operation is
    // using it for its progress.
    if (event->type() == QEvent::StatusTip) {
        if (IsNotWaiting())
            ShowStatus(static_cast<QStatusTipEvent*>(event)->tip());
        return true;
    }
    return QMainWindow::event(event);
}

void TTemplateMain::closeEvent(QCloseEvent* event)
{
    // A running scenario is asked to stop first; the window closes once the run has ended.
    if (FState.FScriptRunning) {
        if (FStartup.CloseQuery([this] { ScriptStopExecute(); }))
            FCloseRequested = true;
        event->ignore();
        return;
    }
    // A long operation runs inside this window's event handling: the close waits for its end.
    if (FInitRunning || !IsNotWaiting()) {
        FCloseRequested = true;
        event->ignore();
        return;
    }
    if (!FStartup.CloseQuery([this] { ScriptStopExecute(); })) {
        event->ignore();
        return;
    }
    event->accept();
}

void TTemplateMain::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::LanguageChange) {
        FUi->retranslateUi(this);
        FAppTitle = windowTitle();
        if (!FCaptionVersion.isEmpty())
            setWindowTitle(windowTitle() + LoadResString(rsCaptionVersion) + FCaptionVersion);
        TranslateActions();
    }
    QMainWindow::changeEvent(event);
}
