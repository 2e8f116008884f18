// The scenario's commands of the main window: its files, its lines, its runs and their log; and
// the wiring they use.

#include "app/ui/shell/CommandRow.h"

#include "app/core/scenarios/ScriptLog.h"
#include "app/ui/scenarios/ScriptPage.h"
#include "app/ui/scenarios/UnitFilter.h"
#include "app/ui/scenarios/UnitScript.h"
#include "app/ui/stakes/StakesPage.h"
#include "app/ui/stakes/UnitTestCnt.h"
#include "app/ui/stats/StatPage.h"
#include "platform/Exceptions.h"
#include "support/RDialogs.h"
#include "support/ui/QorListView.h"
#include "support/ui/RStatusBar.h"

#include "ui_FormMain.h"

#include <QDateTime>

void TTemplateMain::AddScriptRows(std::vector<TCommandRow>& rows)
{
    rows.insert(rows.end(), {
        // The scenario: its files, its lines, and the run log.
        {.Id = TCommand::ScriptOpen,
         .Name = "ScriptOpen",
         .Caption = RESSTR("TemplateMain", "Открыть"),
         .Shortcut = Qt::CTRL | Qt::Key_J,
         .Menus = {{TCommandMenu::Script, 0}},
         .Execute = [](TTemplateMain& w) { w.FScriptPage->Apply(w.FScript->Open()); },
         .ShortcutScope = [](TTemplateMain& w) -> QWidget* { return w.FUi->tsScript; }},
        {.Id = TCommand::ScriptSave,
         .Name = "ScriptSave",
         .Caption = RESSTR("TemplateMain", "Сохранить"),
         .Shortcut = Qt::CTRL | Qt::Key_I,
         .Menus = {{TCommandMenu::Script, 0}},
         .Execute = [](TTemplateMain& w) { w.FScript->Save(); },
         .Update = [](TTemplateMain& w) { return w.FScript->CanSave(); }},
        {.Id = TCommand::ScriptAdd,
         .Name = "ScriptAdd",
         .Caption = RESSTR("TemplateMain", "Добавить фильтры"),
         .Shortcut = Qt::CTRL | Qt::Key_Insert,
         .Menus = {{TCommandMenu::Script, 2}, {TCommandMenu::PopupScript, 0}},
         .Execute = [](TTemplateMain& w) { w.FScriptPage->Apply(w.FScript->Add()); }},
        {.Id = TCommand::ScriptEmpty,
         .Name = "ScriptEmpty",
         .Caption = RESSTR("TemplateMain", "Добавить разделитель"),
         .Shortcut = Qt::CTRL | Qt::ALT | Qt::Key_Insert,
         .Menus = {{TCommandMenu::Script, 2}, {TCommandMenu::PopupScript, 0}},
         .Execute = [](TTemplateMain& w) { w.FScriptPage->Apply(w.FScript->AddSeparator()); },
         .Update = [](TTemplateMain& w) { return w.FScript->CanAddSeparator(); }},
        {.Id = TCommand::ScriptLoad,
         .Name = "ScriptLoad",
         .Caption = RESSTR("TemplateMain", "Добавить сценарий"),
         .Menus = {{TCommandMenu::Script, 2}},
         .Execute = [](TTemplateMain& w) { w.FScriptPage->Apply(w.FScript->Merge()); }},
        {.Id = TCommand::ScriptClone,
         .Name = "ScriptClone",
         .Caption = RESSTR("TemplateMain", "Клонировать"),
         .Shortcut = Qt::CTRL | Qt::Key_K,
         .Menus = {{TCommandMenu::Script, 3}, {TCommandMenu::PopupScript, 0}},
         .Execute = [](TTemplateMain& w) { w.FScriptPage->Apply(w.FScript->Clone(w.FScriptPage->Selected())); },
         .Update = [](TTemplateMain& w) { return w.FScript->CanEdit(w.FScriptPage->Selected()); }},
        {.Id = TCommand::ScriptEdit,
         .Name = "ScriptEdit",
         .Caption = RESSTR("TemplateMain", "Изменить"),
         .Shortcut = Qt::CTRL | Qt::Key_Return,
         .Menus = {{TCommandMenu::Script, 3}, {TCommandMenu::PopupScript, 0}},
         .Execute = [](TTemplateMain& w) { w.FScriptPage->Apply(w.FScript->Edit(w.FScriptPage->Selected())); },
         .Update = [](TTemplateMain& w) { return w.FScript->CanEdit(w.FScriptPage->Selected()); }},
        {.Id = TCommand::ScriptDel,
         .Name = "ScriptDel",
         .Caption = RESSTR("TemplateMain", "Удалить"),
         .Shortcut = Qt::CTRL | Qt::Key_Delete,
         .Menus = {{TCommandMenu::Script, 4}, {TCommandMenu::PopupScript, 1}},
         .Execute = [](TTemplateMain& w) { w.FScriptPage->Apply(w.FScript->Delete(w.FScriptPage->SelectedRows())); },
         .Update = [](TTemplateMain& w) { return w.FScript->CanDelete(w.FScriptPage->SelectedRows()); },
         .ShortcutScope = [](TTemplateMain& w) -> QWidget* { return w.FUi->lvScript; }},
        {.Id = TCommand::ScriptClr,
         .Name = "ScriptClr",
         .Caption = RESSTR("TemplateMain", "Удалить все"),
         .Menus = {{TCommandMenu::Script, 4}, {TCommandMenu::PopupScript, 1}},
         .Execute = [](TTemplateMain& w) { w.FScriptPage->Apply(w.FScript->ClearAll()); },
         .Update = [](TTemplateMain& w) { return w.FScript->CanClearAll(); }},
        {.Id = TCommand::ScriptUp,
         .Name = "ScriptUp",
         .Caption = RESSTR("TemplateMain", "Переместить вверх"),
         .Shortcut = Qt::CTRL | Qt::Key_Up,
         .Menus = {{TCommandMenu::Script, 5}, {TCommandMenu::PopupScript, 2}},
         .Execute = [](TTemplateMain& w) { w.FScriptPage->Apply(w.FScript->MoveUp(w.FScriptPage->Selected())); },
         .Update = [](TTemplateMain& w) { return w.FScript->CanMoveUp(w.FScriptPage->Selected()); }},
        {.Id = TCommand::ScriptDown,
         .Name = "ScriptDown",
         .Caption = RESSTR("TemplateMain", "Переместить вниз"),
         .Shortcut = Qt::CTRL | Qt::Key_Down,
         .Menus = {{TCommandMenu::Script, 5}, {TCommandMenu::PopupScript, 2}},
         .Execute = [](TTemplateMain& w) { w.FScriptPage->Apply(w.FScript->MoveDown(w.FScriptPage->Selected())); },
         .Update = [](TTemplateMain& w) { return w.FScript->CanMoveDown(w.FScriptPage->Selected()); }},
        {.Id = TCommand::ScriptRun,
         .Name = "ScriptRun",
         .Caption = RESSTR("TemplateMain", "Прогноз"),
         .Shortcut = Qt::Key_F10,
         .Menus = {{TCommandMenu::Script, 6}},
         .Execute = [](TTemplateMain& w) { w.RunScript(false); },
         .Update =
             [](TTemplateMain& w) {
                 return w.FScriptRunner->CanRun() && !w.FScript->IsEmpty() && !w.FState.FDraws.empty();
             }},
        {.Id = TCommand::ScriptTest,
         .Name = "ScriptTest",
         .Caption = RESSTR("TemplateMain", "Тест"),
         .Shortcut = Qt::CTRL | Qt::Key_F10,
         .Menus = {{TCommandMenu::Script, 6}},
         .Execute = [](TTemplateMain& w) { w.RunScript(true); },
         .Update = [](TTemplateMain& w) { return w.FScriptRunner->CanTest() && !w.FScript->IsEmpty(); }},
        // Live during the run it stops.
        {.Id = TCommand::ScriptStop,
         .Name = "ScriptStop",
         .Caption = RESSTR("TemplateMain", "Стоп"),
         .Shortcut = Qt::CTRL | Qt::Key_X,
         .Menus = {{TCommandMenu::Script, 6}},
         // It also stops a long batch of stakes for the list, keeping what was made.
         .Execute = [](TTemplateMain& w) {
             if (w.FStakeCommands->CanStop())
                 w.FStakeCommands->Stop();
             else
                 w.FScriptRunner->ScriptStop();
         },
         .Update = [](TTemplateMain& w) { return w.FScriptRunner->CanStop() || w.FStakeCommands->CanStop(); },
         .Rule = TActionRegistry::TBusyRule::Always},
        {.Id = TCommand::LogToggle,
         .Name = "LogToggle",
         .Caption = RESSTR("TemplateMain", "Журнал выполнения сценария"),
         .Menus = {{TCommandMenu::Script, 7}},
         .Execute = [](TTemplateMain& w) { w.ToggleOption(TMainOptions::ScriptLogEnabled); },
         .Update = [](TTemplateMain& w) { return !w.FState.FScriptRunning; },
         .State = [](TTemplateMain& w) { return w.FState.Options.Flag(TMainOptions::ScriptLogEnabled); }},
        {.Id = TCommand::LogsDelete,
         .Name = "LogsDelete",
         .Caption = RESSTR("TemplateMain", "Удалить журналы выполнения сценариев"),
         .Menus = {{TCommandMenu::Script, 7}},
         .Execute = [](TTemplateMain& w) { LogsDelete(w.FState.DataDir()); },
         .Update = [](TTemplateMain& w) { return !w.FState.FScriptRunning; }},
    });
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
