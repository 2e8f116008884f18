// The stakes' and the ratings' commands of the main window, and the wiring they use: the stake
// commands' dialogs, the check of the stakes against the draws, the graphs.

#include "app/ui/shell/CommandRow.h"

#include "app/core/scenarios/RatingsToScript.h"
#include "app/core/stakes/RatingsFromStakes.h"
#include "app/core/stakes/StakeCheck.h"
#include "app/core/stakes/StakeGraphs.h"
#include "app/core/stakes/StakesLog.h"
#include "app/ui/combs/CombsPage.h"
#include "app/ui/scenarios/ScriptPage.h"
#include "app/ui/stakes/RatingsPage.h"
#include "app/ui/stakes/StakesPage.h"
#include "app/ui/stakes/UnitMulti.h"
#include "app/ui/stakes/UnitStake.h"
#include "app/ui/stakes/UnitStakeFilter.h"
#include "app/ui/charts/UnitGraph.h"
#include "engine/KelmaMsg.h"
#include "platform/DelphiText.h"
#include "platform/Exceptions.h"
#include "support/RDialogs.h"
#include "support/RVclUtils.h"
#include "support/ui/QorGrid.h"
#include "support/ui/RStatusBar.h"

#include "ui_FormMain.h"

namespace {

const TResString SStakesPartlyMade =
    RESSTR("TemplateMain", "Ставки сделаны не для всех комбинаций: сделано %d из %d.");
const TResString SDamagedStakes = RESSTR(
    "TemplateMain", "Записей ставок с недопустимыми значениями: %d. Они не проверены и не учтены в рейтинге.");

} // namespace

void TTemplateMain::AddStakeRows(std::vector<TCommandRow>& rows)
{
    rows.insert(rows.end(), {
        // The stakes: made from the combination list, deleted, checked, drawn.
        {.Id = TCommand::StakeAdd,
         .Name = "StakeAdd",
         .Caption = RESSTR("TemplateMain", "Сделать ставку"),
         .Shortcut = Qt::Key_F4,
         .Menus = {{TCommandMenu::Stakes, 0}, {TCommandMenu::PopupCombs, 5}},
         .Execute =
             [](TTemplateMain& w) {
                 const QList<int> rows = w.FCombsPage->SelectedRows();
                 std::optional<TCombWord> comb;
                 if (!rows.isEmpty() && rows.first() >= 0 && rows.first() < w.FCombs.Count())
                     comb = w.FCombs.Comb(rows.first());
                 w.FStakeCommands->AddStake(comb);
             },
         .Update = [](TTemplateMain& w) { return w.FStakesFile->IsOpen(); }},
        {.Id = TCommand::StakeAddRandom,
         .Name = "StakeAddRandom",
         .Caption = RESSTR("TemplateMain", "Сделать случайную ставку"),
         .Shortcut = Qt::CTRL | Qt::Key_F4,
         .Menus = {{TCommandMenu::Stakes, 0}, {TCommandMenu::PopupCombs, 5}},
         .Execute = [](TTemplateMain& w) { w.FStakeCommands->AddRandomStake(); },
         .Update = [](TTemplateMain& w) { return w.FCombs.Count() > 0 && w.FStakesFile->IsOpen(); }},
        // Alt+F4 closes the window, and Ctrl+Alt+F4 switches a Linux desktop to a text console
        // before the window ever sees it: the two list stakes have no key.
        {.Id = TCommand::StakeAddSelected,
         .Name = "StakeAddSelected",
         .Caption = RESSTR("TemplateMain", "Сделать ставки для выделенных комбинаций"),
         .Menus = {{TCommandMenu::Stakes, 0}, {TCommandMenu::PopupCombs, 5}},
         .Execute = [](TTemplateMain& w) { w.AddListStakes(true); },
         .Update = [](TTemplateMain& w) { return w.FCombsPage->HasSelection() && w.FStakesFile->IsOpen(); }},
        {.Id = TCommand::StakeAddAll,
         .Name = "StakeAddAll",
         .Caption = RESSTR("TemplateMain", "Сделать ставки для всех комбинаций"),
         .Menus = {{TCommandMenu::Stakes, 0}, {TCommandMenu::PopupCombs, 5}},
         .Execute = [](TTemplateMain& w) { w.AddListStakes(false); },
         .Update = [](TTemplateMain& w) { return w.FCombs.Count() > 0 && w.FStakesFile->IsOpen(); }},
        {.Id = TCommand::StakeDel,
         .Name = "StakeDel",
         .Caption = RESSTR("TemplateMain", "Удалить ставку"),
         .Shortcut = Qt::CTRL | Qt::Key_Delete,
         .Menus = {{TCommandMenu::Stakes, 1}, {TCommandMenu::PopupStakes, 0}},
         .Execute =
             [](TTemplateMain& w) {
                 const TGridRect selection = w.FUi->sgStakes->Selection();
                 w.FStakeCommands->DeleteRows(selection.Top, selection.Bottom);
             },
         .Update =
             [](TTemplateMain& w) { return w.FStakesFile->HasStakes() && w.FUi->sgStakes->Selection().Top >= 1; },
         .ShortcutScope = [](TTemplateMain& w) -> QWidget* { return w.FUi->sgStakes; }},
        {.Id = TCommand::StakeFilter,
         .Name = "StakeFilter",
         .Caption = RESSTR("TemplateMain", "Удалить по условию"),
         .Shortcut = Qt::ALT | Qt::Key_D,
         .Menus = {{TCommandMenu::Stakes, 1}, {TCommandMenu::PopupStakes, 0}},
         .Execute = [](TTemplateMain& w) { w.FStakeCommands->DeleteByCondition(); },
         .Update = [](TTemplateMain& w) { return w.FStakesFile->HasStakes(); }},
        {.Id = TCommand::StakeClear,
         .Name = "StakeClear",
         .Caption = RESSTR("TemplateMain", "Удалить все ставки"),
         .Shortcut = Qt::CTRL | Qt::SHIFT | Qt::Key_Delete,
         .Menus = {{TCommandMenu::Stakes, 1}, {TCommandMenu::PopupStakes, 0}},
         .Execute = [](TTemplateMain& w) { w.FStakeCommands->ClearAll(); },
         .Update = [](TTemplateMain& w) { return w.FStakesFile->HasStakes(); }},
        {.Id = TCommand::StakesGraphDraws,
         .Name = "StakesGraphDraws",
         .Caption = RESSTR("TemplateMain", "Суммарный профит по тиражам"),
         .Shortcut = Qt::Key_F6,
         .Menus = {{TCommandMenu::Stakes, 2}, {TCommandMenu::PopupStakes, 2}},
         .Execute = [](TTemplateMain& w) { w.ShowStakesGraph(TCommand::StakesGraphDraws); },
         .Update = [](TTemplateMain& w) { return w.FStakesFile->HasStakes(); }},
        {.Id = TCommand::StakesXlsExport,
         .Name = "StakesXlsExport",
         .Caption = RESSTR("TemplateMain", "Экспорт ставок в Microsoft Excel"),
         .Menus = {{TCommandMenu::Stakes, 2}},
         .Execute = [](TTemplateMain& w) { w.ExportTable(w.FUi->sgStakes, w.FUi->tsStakes); },
         .Update = [](TTemplateMain& w) { return w.FStakesFile->HasStakes(); }},
        {.Id = TCommand::StakesCheckManual,
         .Name = "StakesCheckManual",
         .Caption = RESSTR("TemplateMain", "Проверить ставки"),
         .Shortcut = Qt::CTRL | Qt::Key_F5,
         .Menus = {{TCommandMenu::Stakes, 3}, {TCommandMenu::PopupStakes, 1}},
         .Execute = [](TTemplateMain& w) { w.CheckStakesAndReload(); },
         .Update = [](TTemplateMain& w) { return w.FStakesFile->HasStakes(); }},
        {.Id = TCommand::LogStakes,
         .Name = "LogStakes",
         .Caption = RESSTR("TemplateMain", "Журналы ставок"),
         .Menus = {{TCommandMenu::Stakes, 4}},
         .Execute = [](TTemplateMain& w) { w.ToggleOption(TMainOptions::StakesLogEnabled); },
         .State = [](TTemplateMain& w) { return w.FState.Options.Flag(TMainOptions::StakesLogEnabled); }},
        {.Id = TCommand::LogStakesDelete,
         .Name = "LogStakesDelete",
         .Caption = RESSTR("TemplateMain", "Удалить журналы ставок"),
         .Menus = {{TCommandMenu::Stakes, 4}},
         .Execute = [](TTemplateMain& w) { DeleteLogFilesCommand(w.FState.DataDir(), TStakesLog::FileMask()); }},
        {.Id = TCommand::StakesScroll,
         .Name = "StakesScroll",
         .Caption = RESSTR("TemplateMain", "Прокручивать список при добавлении"),
         .Menus = {{TCommandMenu::Stakes, 5}},
         .Execute = [](TTemplateMain& w) { w.ToggleOption(TMainOptions::StakesScrollEnabled); },
         .State = [](TTemplateMain& w) { return w.FState.Options.Flag(TMainOptions::StakesScrollEnabled); }},
        {.Id = TCommand::StakesCheckLine,
         .Name = "StakesCheckLine",
         .Caption = RESSTR("TemplateMain", "Проверять ставки после каждой строки сценария"),
         .Menus = {{TCommandMenu::Stakes, 5}, {TCommandMenu::Script, 8}},
         .Execute = [](TTemplateMain& w) { w.ToggleOption(TMainOptions::StakesCheckOnLine); },
         .State = [](TTemplateMain& w) { return w.FState.Options.Flag(TMainOptions::StakesCheckOnLine); }},
        // The ratings: the graphs of the selected ratings, the efficiency submenu, then refresh
        // and export. The graphs of the ratings may be looked at while a scenario runs: they put
        // the stakes file's position back where they found it.
        {.Id = TCommand::StakesGraphOverlap,
         .Name = "StakesGraphOverlap",
         .Caption = RESSTR("TemplateMain", "График совпадений ставок"),
         .Shortcut = Qt::CTRL | Qt::Key_F6,
         .Menus = {{TCommandMenu::Ratings, 0}, {TCommandMenu::PopupRatings, 1}},
         .Execute = [](TTemplateMain& w) { w.ShowStakesGraph(TCommand::StakesGraphOverlap); },
         .Update = [](TTemplateMain& w) { return w.FStakesFile->HasStakes() && w.FRatingsPage->HasSelection(); },
         .Rule = TActionRegistry::TBusyRule::Always},
        {.Id = TCommand::StakesGraphProfits,
         .Name = "StakesGraphProfits",
         .Caption = RESSTR("TemplateMain", "График профита ставок"),
         .Shortcut = Qt::ALT | Qt::Key_F6,
         .Menus = {{TCommandMenu::Ratings, 0}, {TCommandMenu::PopupRatings, 1}},
         .Execute = [](TTemplateMain& w) { w.ShowStakesGraph(TCommand::StakesGraphProfits); },
         .Update = [](TTemplateMain& w) { return w.FStakesFile->HasStakes() && w.FRatingsPage->HasSelection(); },
         .Rule = TActionRegistry::TBusyRule::Always},
        {.Id = TCommand::RatingsGraphOverlap,
         .Name = "RatingsGraphOverlap",
         .Caption = RESSTR("TemplateMain", "Количество совпадений"),
         .Menus = {{TCommandMenu::Ratings, 0}, {TCommandMenu::PopupRatings, 1}},
         .Execute = [](TTemplateMain& w) { w.ShowStakesGraph(TCommand::RatingsGraphOverlap); },
         .Update = [](TTemplateMain& w) { return w.FRatingsPage->HasSelection(); },
         .Rule = TActionRegistry::TBusyRule::Always},
        {.Id = TCommand::RatingsEffMode0,
         .Name = "RatingsEffMode0",
         .Caption = RESSTR("TemplateMain", "Ожидаемые значения совпадений"),
         .Menus = {{TCommandMenu::RatingsEff, 0}, {TCommandMenu::PopupRatings, 4}},
         .Execute = [](TTemplateMain& w) { w.SetRatingsEffMode(0); },
         .State = [](TTemplateMain& w) { return w.FRatingsPage->EffMode() == 0; }},
        {.Id = TCommand::RatingsEffMode1,
         .Name = "RatingsEffMode1",
         .Caption = RESSTR("TemplateMain", "Абсолютные значения эффективности"),
         .Menus = {{TCommandMenu::RatingsEff, 0}, {TCommandMenu::PopupRatings, 4}},
         .Execute = [](TTemplateMain& w) { w.SetRatingsEffMode(1); },
         .State = [](TTemplateMain& w) { return w.FRatingsPage->EffMode() == 1; }},
        {.Id = TCommand::RatingsEffMode2,
         .Name = "RatingsEffMode2",
         .Caption = RESSTR("TemplateMain", "Относительные значения эффективности"),
         .Menus = {{TCommandMenu::RatingsEff, 0}, {TCommandMenu::PopupRatings, 4}},
         .Execute = [](TTemplateMain& w) { w.SetRatingsEffMode(2); },
         .State = [](TTemplateMain& w) { return w.FRatingsPage->EffMode() == 2; }},
        {.Id = TCommand::RatingsRefresh,
         .Name = "RatingsRefresh",
         .Caption = RESSTR("TemplateMain", "Обновить рейтинг"),
         .Shortcut = Qt::Key_F5,
         .Menus = {{TCommandMenu::Ratings, 2}, {TCommandMenu::PopupRatings, 0}},
         .Execute = [](TTemplateMain& w) { w.RefreshRatings(); },
         .Update = [](TTemplateMain& w) { return w.FStakesFile->IsOpen(); }},
        {.Id = TCommand::RatingsToScript,
         .Name = "RatingsToScript",
         .Caption = RESSTR("TemplateMain", "Добавить в сценарий"),
         .Menus = {{TCommandMenu::Ratings, 2}, {TCommandMenu::PopupRatings, 2}},
         .Execute = [](TTemplateMain& w) { w.RatingsToScript(); },
         .Update = [](TTemplateMain& w) { return w.FRatingsPage->HasSelection(); }},
        {.Id = TCommand::RatingsExport,
         .Name = "RatingsExport",
         .Caption = RESSTR("TemplateMain", "Экспорт рейтинга в CSV-файл"),
         .Menus = {{TCommandMenu::Ratings, 3}, {TCommandMenu::PopupRatings, 3}},
         .Execute = [](TTemplateMain& w) { w.FRatingsPage->ExportCsv(&w); },
         .Update = [](TTemplateMain& w) { return w.FRatingsPage->HasRatings(); }},
        {.Id = TCommand::RatingsXlsExport,
         .Name = "RatingsXlsExport",
         .Caption = RESSTR("TemplateMain", "Экспорт рейтинга в Microsoft Excel"),
         .Menus = {{TCommandMenu::Ratings, 3}, {TCommandMenu::PopupRatings, 3}},
         .Execute = [](TTemplateMain& w) { w.ExportTable(w.FUi->lvRatings, w.FUi->tsRatings); },
         .Update = [](TTemplateMain& w) { return w.FRatingsPage->HasRatings(); }},
    });
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

void TTemplateMain::ShowStakesCount()
{
    FStatusBar->SetPanelText(4, Format(LoadResString(rsStatusStakes), {static_cast<int>(FStakesFile->RecordCount())}));
}

void TTemplateMain::AddListStakes(bool selectedOnly)
{
    QList<TCombWord> combs;
    if (selectedOnly)
        combs = FCombsPage->SelectedCombs();
    else
        for (int i = 0; i < FCombs.Count(); ++i)
            combs.append(FCombs.Comb(i));
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
    ShowGraph(this, PlainText(Action(command)), points);
}

void TTemplateMain::RatingsToScript()
{
    if (AddRatingsToScript(*FScript, FRatings->FRatings, FRatingsPage->SelectedRows(), FState.StatList()) > 0) {
        FScriptPage->Apply({true, FScript->Count() - 1});
        FUi->pcMain->setCurrentWidget(FUi->tsScript);
    }
}

void TTemplateMain::SetRatingsEffMode(int mode)
{
    TBusyScope busy;
    FRatingsPage->SetEffMode(mode);
}
