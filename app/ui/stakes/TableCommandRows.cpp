// The regular stakes' commands of the main window, their page and the wiring they use.

#include "app/ui/shell/CommandRow.h"

#include "app/ui/combs/CombsPage.h"
#include "app/ui/stakes/StakesPage.h"
#include "app/ui/stakes/TablesPage.h"
#include "app/ui/stakes/UnitStake.h"
#include "app/ui/stakes/UnitTable.h"
#include "app/ui/stakes/UnitTestCnt.h"
#include "support/RVclUtils.h"
#include "support/ui/QorListView.h"

#include "ui_FormMain.h"

namespace {

const TResString SRegularsTab = RESSTR("TemplateMain", "Регуляры");

} // namespace

void TTemplateMain::AddTableRows(std::vector<TCommandRow>& rows)
{
    rows.insert(rows.end(), {
        {.Id = TCommand::TabTables,
         .Name = "TabTables",
         .Caption = RESSTR("TemplateMain", "Вкладка \"Регуляры\""),
         .Menus = {{TCommandMenu::View, 0}},
         .Execute = [](TTemplateMain& w) { w.ToggleTablesTab(); },
         .State = [](TTemplateMain& w) { return w.FTables->TabShown(); }},
        // Regular stakes.
        {.Id = TCommand::TablesAdd,
         .Name = "TablesAdd",
         .Caption = RESSTR("TemplateMain", "Добавить регулярную ставку"),
         .Menus = {{TCommandMenu::Tables, 0}, {TCommandMenu::PopupTables, 0}},
         .Execute = [](TTemplateMain& w) { w.FTables->TablesAdd(w.FCombsPage->SelectedCombs()); },
         .Update = [](TTemplateMain& w) { return w.FTables->CanAdd(); }},
        {.Id = TCommand::TablesDel,
         .Name = "TablesDel",
         .Caption = RESSTR("TemplateMain", "Удалить регулярную ставку"),
         .Menus = {{TCommandMenu::Tables, 0}, {TCommandMenu::PopupTables, 0}},
         .Execute = [](TTemplateMain& w) { w.FTables->TablesDel(w.FTablesPage->SelectedRows()); },
         .Update =
             [](TTemplateMain& w) {
                 return w.FTables->CanDelete(static_cast<int>(w.FTablesPage->SelectedRows().size()));
             }},
        // One stake, with its dialog, from the first of the selected rules (the rule in sight
        // when several are selected: the others are left as they are).
        {.Id = TCommand::TablesStakeAdd,
         .Name = "TablesStakeAdd",
         .Caption = RESSTR("TemplateMain", "Сделать ставку по регуляру"),
         .Menus = {{TCommandMenu::Tables, 1}, {TCommandMenu::PopupTables, 1}},
         .Execute =
             [](TTemplateMain& w) {
                 const QList<int> rows = w.FTablesPage->SelectedRows();
                 if (!rows.isEmpty())
                     w.FTables->TablesStakeAdd(rows.first());
             },
         .Update =
             [](TTemplateMain& w) { return !w.FTablesPage->SelectedRows().isEmpty() && w.FTables->CanStake(1); }},
        {.Id = TCommand::TablesStakeTest,
         .Name = "TablesStakeTest",
         .Caption = RESSTR("TemplateMain", "Тест регуляров"),
         .Menus = {{TCommandMenu::Tables, 1}, {TCommandMenu::PopupTables, 1}},
         .Execute = [](TTemplateMain& w) { w.FTables->TablesStakeTest(w.FTablesPage->SelectedRows()); },
         .Update =
             [](TTemplateMain& w) {
                 return w.FTables->CanTest(static_cast<int>(w.FTablesPage->SelectedRows().size()));
             }},
    });
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
