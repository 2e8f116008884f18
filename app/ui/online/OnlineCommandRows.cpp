// The online workflow's commands of the main window: the scenario library under the scenario's
// lines, and system play with its page; and the wiring they use.

#include "app/ui/shell/CommandRow.h"

#include "app/core/online/OnlineScripts.h"
#include "app/core/online/SwScripts.h"
#include "app/core/online/SwSystems.h"
#include "app/core/online/SystemsExchange.h"
#include "app/ui/online/OnlineScriptsPanel.h"
#include "app/ui/online/SystemsPage.h"
#include "app/ui/online/UnitSystem.h"
#include "app/ui/scenarios/ScriptPage.h"
#include "app/ui/stakes/TablesPage.h"
#include "support/RLngDLL.h"
#include "support/RSwCommon.h"
#include "support/RVclUtils.h"

#include "ui_FormMain.h"

#include <QSplitter>

namespace {

const TResString SSystemsTab = RESSTR("TemplateMain", "Системы");

} // namespace

void TTemplateMain::AddOnlineRows(std::vector<TCommandRow>& rows)
{
    rows.insert(rows.end(), {
        {.Id = TCommand::SystemStakeFilter,
         .Name = "SystemStakeFilter",
         .Caption = RESSTR("TemplateMain", "Cистемная игра по списку комбинаций"),
         .Shortcut = Qt::ALT | Qt::Key_J,
         .Menus = {{TCommandMenu::Stakes, 0}},
         .Execute = [](TTemplateMain& w) { w.FSystems->MakeSystemStakes(true); },
         .Update = [](TTemplateMain& w) { return w.FSystems->CanMakeStakes(); }},
        {.Id = TCommand::SystemStakeAll,
         .Name = "SystemStakeAll",
         .Caption = RESSTR("TemplateMain", "Cистемная игра по списку системы"),
         .Shortcut = Qt::CTRL | Qt::ALT | Qt::Key_J,
         .Menus = {{TCommandMenu::Stakes, 0}},
         .Execute = [](TTemplateMain& w) { w.FSystems->MakeSystemStakes(false); },
         .Update = [](TTemplateMain& w) { return w.FSystems->CanMakeStakes(); }},
        {.Id = TCommand::ScriptLibrary,
         .Name = "ScriptLibrary",
         .Caption = RESSTR("TemplateMain", "Online каталог сценариев"),
         .Shortcut = Qt::CTRL | Qt::Key_L,
         .Menus = {{TCommandMenu::ScriptLibrary, 0}},
         .Execute = [](TTemplateMain& w) { w.ToggleOnlineScripts(); },
         .State = [](TTemplateMain& w) { return w.FOnlineScripts->PanelShown(); }},
        {.Id = TCommand::ScriptLibraryRefresh,
         .Name = "ScriptLibraryRefresh",
         .Caption = RESSTR("TemplateMain", "Обновить"),
         .Menus = {{TCommandMenu::ScriptLibrary, 5}, {TCommandMenu::PopupOnlineScripts, 0}},
         .Execute = [](TTemplateMain& w) { w.FOnlineScriptsPanel->Refresh(); },
         .Update = [](TTemplateMain& w) { return w.FOnlineScripts->CanRefresh(); }},
        {.Id = TCommand::ScriptLibraryDownload,
         .Name = "ScriptLibraryDownload",
         .Caption = RESSTR("TemplateMain", "Скачать из каталога"),
         .Menus = {{TCommandMenu::ScriptLibrary, 1}, {TCommandMenu::PopupOnlineScripts, 0}},
         .Execute =
             [](TTemplateMain& w) {
                 if (w.FOnlineScripts->Download())
                     w.FScriptPage->Apply({true, -1});
             },
         .Update = [](TTemplateMain& w) { return w.FOnlineScripts->CanDownload(); }},
        {.Id = TCommand::ScriptLibraryRate1,
         .Name = "ScriptLibraryRate1",
         .Caption = RESSTR("TemplateMain", "[ 1 ] - Бесполезно"),
         .Menus = {{TCommandMenu::ScriptLibraryRate, 0}, {TCommandMenu::PopupOnlineScripts, 1}},
         .Execute = [](TTemplateMain& w) { w.FOnlineScripts->Rate(1); },
         .Update = [](TTemplateMain& w) { return w.FOnlineScripts->CanRate(); },
         .State = [](TTemplateMain& w) { return w.FOnlineScripts->RateChecked(1); }},
        {.Id = TCommand::ScriptLibraryRate2,
         .Name = "ScriptLibraryRate2",
         .Caption = RESSTR("TemplateMain", "[ 2 ] - Плохо"),
         .Menus = {{TCommandMenu::ScriptLibraryRate, 0}, {TCommandMenu::PopupOnlineScripts, 1}},
         .Execute = [](TTemplateMain& w) { w.FOnlineScripts->Rate(2); },
         .Update = [](TTemplateMain& w) { return w.FOnlineScripts->CanRate(); },
         .State = [](TTemplateMain& w) { return w.FOnlineScripts->RateChecked(2); }},
        {.Id = TCommand::ScriptLibraryRate3,
         .Name = "ScriptLibraryRate3",
         .Caption = RESSTR("TemplateMain", "[ 3 ] - Удовлетворительно"),
         .Menus = {{TCommandMenu::ScriptLibraryRate, 0}, {TCommandMenu::PopupOnlineScripts, 1}},
         .Execute = [](TTemplateMain& w) { w.FOnlineScripts->Rate(3); },
         .Update = [](TTemplateMain& w) { return w.FOnlineScripts->CanRate(); },
         .State = [](TTemplateMain& w) { return w.FOnlineScripts->RateChecked(3); }},
        {.Id = TCommand::ScriptLibraryRate4,
         .Name = "ScriptLibraryRate4",
         .Caption = RESSTR("TemplateMain", "[ 4 ] - Хорошо"),
         .Menus = {{TCommandMenu::ScriptLibraryRate, 0}, {TCommandMenu::PopupOnlineScripts, 1}},
         .Execute = [](TTemplateMain& w) { w.FOnlineScripts->Rate(4); },
         .Update = [](TTemplateMain& w) { return w.FOnlineScripts->CanRate(); },
         .State = [](TTemplateMain& w) { return w.FOnlineScripts->RateChecked(4); }},
        {.Id = TCommand::ScriptLibraryRate5,
         .Name = "ScriptLibraryRate5",
         .Caption = RESSTR("TemplateMain", "[ 5 ] - Отлично"),
         .Menus = {{TCommandMenu::ScriptLibraryRate, 0}, {TCommandMenu::PopupOnlineScripts, 1}},
         .Execute = [](TTemplateMain& w) { w.FOnlineScripts->Rate(5); },
         .Update = [](TTemplateMain& w) { return w.FOnlineScripts->CanRate(); },
         .State = [](TTemplateMain& w) { return w.FOnlineScripts->RateChecked(5); }},
        {.Id = TCommand::ScriptLibraryHide,
         .Name = "ScriptLibraryHide",
         .Caption = RESSTR("TemplateMain", "Скрыть сценарий"),
         .Menus = {{TCommandMenu::ScriptLibraryRate, 1}, {TCommandMenu::PopupOnlineScripts, 1}},
         .Execute = [](TTemplateMain& w) { w.FOnlineScripts->Hide(); },
         .Update = [](TTemplateMain& w) { return w.FOnlineScripts->CanRate(); },
         .State = [](TTemplateMain& w) { return w.FOnlineScripts->RateChecked(-1); }},
        {.Id = TCommand::ScriptLibraryRate0,
         .Name = "ScriptLibraryRate0",
         .Caption = RESSTR("TemplateMain", "Удалить оценку"),
         .Menus = {{TCommandMenu::ScriptLibraryRate, 1}, {TCommandMenu::PopupOnlineScripts, 1}},
         .Execute = [](TTemplateMain& w) { w.FOnlineScripts->Rate(0); },
         .Update = [](TTemplateMain& w) { return w.FOnlineScripts->CanRemoveRate(); }},
        {.Id = TCommand::ScriptLibraryUpload,
         .Name = "ScriptLibraryUpload",
         .Caption = RESSTR("TemplateMain", "Опубликовать"),
         .Menus = {{TCommandMenu::ScriptLibrary, 2}, {TCommandMenu::PopupOnlineScripts, 2}},
         .Execute = [](TTemplateMain& w) { w.FOnlineScripts->PublishScript(); },
         .Update = [](TTemplateMain& w) { return w.FOnlineScripts->CanUpload(); }},
        {.Id = TCommand::ScriptLibraryReplace,
         .Name = "ScriptLibraryReplace",
         .Caption = RESSTR("TemplateMain", "Изменить"),
         .Menus = {{TCommandMenu::ScriptLibrary, 2}, {TCommandMenu::PopupOnlineScripts, 2}},
         .Execute = [](TTemplateMain& w) { w.FOnlineScripts->ReplaceScript(); },
         .Update = [](TTemplateMain& w) { return w.FOnlineScripts->CanReplace(); }},
        {.Id = TCommand::ScriptLibraryDelete,
         .Name = "ScriptLibraryDelete",
         .Caption = RESSTR("TemplateMain", "Удалить"),
         .Menus = {{TCommandMenu::ScriptLibrary, 2}, {TCommandMenu::PopupOnlineScripts, 2}},
         .Execute = [](TTemplateMain& w) { w.FOnlineScripts->UnpublishScript(); },
         .Update = [](TTemplateMain& w) { return w.FOnlineScripts->CanDelete(); }},
        {.Id = TCommand::ScriptLibraryView,
         .Name = "ScriptLibraryView",
         .Caption = RESSTR("TemplateMain", "Свойства сценария"),
         .Menus = {{TCommandMenu::ScriptLibrary, 1}, {TCommandMenu::PopupOnlineScripts, 3}},
         .Execute = [](TTemplateMain& w) { w.FOnlineScripts->ShowScriptProperties(); },
         .Update = [](TTemplateMain& w) { return w.FOnlineScripts->CanRate(); }},
        {.Id = TCommand::ScriptLibraryRates,
         .Name = "ScriptLibraryRates",
         .Caption = RESSTR("TemplateMain", "Просмотр оценок"),
         .Menus = {{TCommandMenu::ScriptLibrary, 4}, {TCommandMenu::PopupOnlineScripts, 3}},
         .Execute = [](TTemplateMain& w) { w.FOnlineScripts->ShowScriptRates(); },
         .Update = [](TTemplateMain& w) { return w.FOnlineScripts->CanRate(); }},
        // System play.
        {.Id = TCommand::SystemsOn,
         .Name = "SystemsOn",
         .Caption = RESSTR("TemplateMain", "Системная игра"),
         .Shortcut = Qt::CTRL | Qt::Key_J,
         // Among the tabs the same toggle says what it shows.
         .Menus = {{TCommandMenu::Systems, 0},
                   {TCommandMenu::View, 0, RESSTR("TemplateMain", "Вкладка \"Системы\"")}},
         .Execute = [](TTemplateMain& w) { w.ToggleSystemsTab(); },
         .State = [](TTemplateMain& w) { return w.FSystems->TabShown(); }},
        {.Id = TCommand::SystemsDownload,
         .Name = "SystemsDownload",
         .Caption = RESSTR("TemplateMain", "Загрузить"),
         .Menus = {{TCommandMenu::Systems, 1}, {TCommandMenu::PopupSystems, 0}},
         .Execute = [](TTemplateMain& w) { w.FSystemsPage->DownloadSelected(); },
         .Update = [](TTemplateMain& w) { return w.FSystems->TabShown() && w.FSystemsPage->HasSelection(); }},
        {.Id = TCommand::SystemsRefresh,
         .Name = "SystemsRefresh",
         .Caption = RESSTR("TemplateMain", "Обновить"),
         .Menus = {{TCommandMenu::Systems, 1}, {TCommandMenu::PopupSystems, 0}},
         .Execute = [](TTemplateMain& w) { w.FSystemsPage->LoadSystems(); },
         .Update = [](TTemplateMain& w) { return w.FSystems->TabShown(); }},
        {.Id = TCommand::SystemsAdd,
         .Name = "SystemsAdd",
         .Caption = RESSTR("TemplateMain", "Добавить"),
         .Menus = {{TCommandMenu::Systems, 2}, {TCommandMenu::PopupSystems, 1}},
         .Execute = [](TTemplateMain& w) { w.FSystemsPage->AddSystem(); },
         .Update = [](TTemplateMain& w) { return w.FSystems->TabShown(); }},
        {.Id = TCommand::SystemsProp,
         .Name = "SystemsProp",
         .Caption = RESSTR("TemplateMain", "Свойства"),
         .Menus = {{TCommandMenu::Systems, 2}, {TCommandMenu::PopupSystems, 1}},
         .Execute = [](TTemplateMain& w) { w.FSystemsPage->EditSelected(); },
         .Update = [](TTemplateMain& w) { return w.FSystems->TabShown() && w.FSystemsPage->SelectedRow() >= 0; }},
        {.Id = TCommand::SystemsDel,
         .Name = "SystemsDel",
         .Caption = RESSTR("TemplateMain", "Удалить"),
         .Menus = {{TCommandMenu::Systems, 2}, {TCommandMenu::PopupSystems, 1}},
         .Execute = [](TTemplateMain& w) { w.FSystemsPage->DeleteSelected(); },
         .Update = [](TTemplateMain& w) { return w.FSystemsPage->CanDeleteSelected(); }},
    });
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
    SetLowerPaneHeight(FSplScripts, DefaultLibraryHeight);
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
