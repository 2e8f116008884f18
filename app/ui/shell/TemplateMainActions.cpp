// The main window's command table, and the menus and buttons built from it.

#include "app/core/shell/HelpLinks.h"
#include "app/ui/views/CardPage.h"
#include "app/ui/combs/CombsPage.h"
#include "app/ui/views/DrawsGraphPage.h"
#include "app/ui/archive/DrawsPage.h"
#include "app/ui/views/LayoutPage.h"
#include "app/ui/online/OnlineScriptsPanel.h"
#include "app/ui/stakes/RatingsPage.h"
#include "app/ui/scenarios/ScriptPage.h"
#include "app/ui/stakes/StakesPage.h"
#include "app/ui/stats/StatPage.h"
#include "app/ui/online/SystemsPage.h"
#include "app/ui/stakes/TablesPage.h"
#include "app/core/online/OnlineScripts.h"
#include "app/core/online/SystemsExchange.h"
#include "app/ui/shell/TemplateMain.h"
#include "app/ui/shell/UnitAbout.h"
#include "app/ui/stats/UnitFilterHelp.h"
#include "app/ui/archive/UnitInfo.h"
#include "app/ui/stats/UnitManager.h"
#include "app/ui/stats/UnitRepeats.h"
#include "app/ui/archive/UnitProxy.h"
#include "app/ui/views/WeekPage.h"
#include "app/core/scenarios/ScriptLog.h"
#include "app/core/stakes/StakesFile.h"
#include "app/core/stakes/StakesLog.h"
#include "platform/ResString.h"
#include "support/RSelfUpdate2.h"
#include "support/RVclUtils.h"
#include "support/ui/QorGrid.h"
#include "support/ui/QorListView.h"
#include "support/ui/RActions.h"
#include "support/ui/rExpXls.h"

#include "ui_FormMain.h"

#include <QAction>
#include <QChartView>
#include <QKeyCombination>
#include <QMenu>
#include <QMenuBar>
#include <QStyle>
#include <QToolButton>

#include <algorithm>
#include <map>

// Where a command shows in a menu. A menu lists its groups in ascending number, a separator
// between two groups; within a group the items keep the order of the table. An item may name the
// command in words of its own (the command's caption otherwise).
struct TTemplateMain::TMenuPlace {
    TCommandMenu Menu = TCommandMenu::None;
    int Group = 0;
    TResString Caption{nullptr, nullptr};
};

// One row per command. Adding a command is adding its row here (and its id to TCommand); the
// registry, the menus and popups, the button and the translation all follow the table.
struct TTemplateMain::TCommandRow {
    using TRun = void (*)(TTemplateMain&);
    using TTest = bool (*)(TTemplateMain&);
    using TScope = QWidget* (*)(TTemplateMain&);
    using TButton = QToolButton* (*)(TTemplateMain&);

    TCommand Id;
    const char* Name;                  // the QAction's objectName
    TResString Caption;                // plain: menus add their mnemonics when they show it
    TResString Hint{nullptr, nullptr}; // Text null: no hint
    QKeyCombination Shortcut = QKeyCombination::fromCombined(0);
    std::vector<TMenuPlace> Menus = {}; // every menu and popup that shows the command
    TRun Execute = nullptr;
    TTest Update = nullptr;            // none: the busy rule alone decides
    TTest State = nullptr;             // set: an option toggle that shows this state
    TActionRegistry::TBusyRule Rule = TActionRegistry::TBusyRule::OnlyWhenIdle;
    // Set for a key that another page's command shares: the key then works only while the focus
    // is inside this widget. None: anywhere in the window.
    TScope ShortcutScope = nullptr;
    TButton Button = nullptr;          // a button that shows the command
    // The command's picture (on an icon button); SP_CustomBase: none.
    QStyle::StandardPixmap Icon = QStyle::SP_CustomBase;
};

const std::vector<TTemplateMain::TCommandRow>& TTemplateMain::CommandTable()
{
    static const std::vector<TCommandRow> rows = {
        {.Id = TCommand::EditConfig,
         .Name = "EditConfig",
         .Caption = RESSTR("TemplateMain", "Параметры"),
         .Hint = RESSTR("TemplateMain", "Редактирование параметров системы"),
         .Menus = {{TCommandMenu::File, 1}},
         .Execute = [](TTemplateMain& w) { w.EditConfig(); }},
        {.Id = TCommand::EditShredding,
         .Name = "EditShredding",
         .Caption = RESSTR("TemplateMain", "Формулы шинковки"),
         .Hint = RESSTR("TemplateMain", "Редактирование формул для методов шинковки"),
         .Menus = {{TCommandMenu::File, 1}},
         .Execute = [](TTemplateMain& w) { w.EditShredding(); }},
        {.Id = TCommand::EditProxy,
         .Name = "EditProxy",
         .Caption = RESSTR("TemplateMain", "Параметры proxy-сервера"),
         .Menus = {{TCommandMenu::File, 1}},
         .Execute =
             [](TTemplateMain& w) {
                 TProxyChoice choice;
                 if (EditProxyData(&w, w.FState.FProxy, choice))
                     w.FProxy.ApplyDialog(static_cast<TProxySettings::TMode>(choice.Mode), choice.Server,
                                          choice.Port, choice.UserName, choice.Password);
             }},
        {.Id = TCommand::ExitProgram,
         .Name = "ExitProgram",
         .Caption = RESSTR("TemplateMain", "Выход"),
         .Shortcut = Qt::ALT | Qt::Key_F4,
         .Menus = {{TCommandMenu::File, 2}},
         .Execute = [](TTemplateMain& w) { w.close(); }},

        {.Id = TCommand::DrawsInfo,
         .Name = "DrawsInfo",
         .Caption = RESSTR("TemplateMain", "Сведения о тираже"),
         .Hint = RESSTR("TemplateMain", "Просмотр подробных сведений о тираже"),
         .Menus = {{TCommandMenu::Draws, 0}},
         .Execute = [](TTemplateMain& w) { ShowDrawInfo(w.FState, w.FDrawsPage->SelectedIndex(), &w); },
         .Update = [](TTemplateMain& w) { return w.FDrawsPage->HasSelection(); }},
        {.Id = TCommand::DrawsDownload,
         .Name = "DrawsDownload",
         .Caption = RESSTR("TemplateMain", "Загрузка"),
         .Hint = RESSTR("TemplateMain", "Загрузка архива тиражей с сайта лотереи"),
         .Shortcut = Qt::Key_F3,
         .Menus = {{TCommandMenu::Draws, 0}},
         .Execute = [](TTemplateMain& w) { w.FDownload.Execute(); },
         .Button = [](TTemplateMain& w) { return w.FUi->btnDrawsDownload; }},
        {.Id = TCommand::AutoDownload0,
         .Name = "AutoDownload0",
         .Caption = RESSTR("TemplateMain", "По запросу (по умолчанию)"),
         .Hint = RESSTR("TemplateMain", "Спросить пользователя"),
         .Menus = {{TCommandMenu::AutoDownload, 0}},
         .Execute = [](TTemplateMain& w) { w.SetOption(TMainOptions::DownloadDrawsOnStart, 0); },
         .State = [](TTemplateMain& w) { return w.FState.Options.Value(TMainOptions::DownloadDrawsOnStart) == 0; }},
        {.Id = TCommand::AutoDownload1,
         .Name = "AutoDownload1",
         .Caption = RESSTR("TemplateMain", "Автоматически"),
         .Hint = RESSTR("TemplateMain", "Автоматическая загрузка тиражей при запуске программы"),
         .Menus = {{TCommandMenu::AutoDownload, 0}},
         .Execute = [](TTemplateMain& w) { w.SetOption(TMainOptions::DownloadDrawsOnStart, 1); },
         .State = [](TTemplateMain& w) { return w.FState.Options.Value(TMainOptions::DownloadDrawsOnStart) == 1; }},
        {.Id = TCommand::AutoDownload2,
         .Name = "AutoDownload2",
         .Caption = RESSTR("TemplateMain", "Отключено"),
         .Hint = RESSTR("TemplateMain", "Без автоматической загрузки при запуске программы"),
         .Menus = {{TCommandMenu::AutoDownload, 0}},
         .Execute = [](TTemplateMain& w) { w.SetOption(TMainOptions::DownloadDrawsOnStart, 2); },
         .State = [](TTemplateMain& w) { return w.FState.Options.Value(TMainOptions::DownloadDrawsOnStart) == 2; }},
        {.Id = TCommand::DrawsImport,
         .Name = "DrawsImport",
         .Caption = RESSTR("TemplateMain", "Импорт из CSV-файла"),
         .Hint = RESSTR("TemplateMain", "Импорт списка тиражей из CSV-файла"),
         .Menus = {{TCommandMenu::Draws, 2}},
         .Execute = [](TTemplateMain& w) { w.FDrawsCsv.Import(); }},
        {.Id = TCommand::DrawsExport,
         .Name = "DrawsExport",
         .Caption = RESSTR("TemplateMain", "Экспорт в CSV-файл"),
         .Hint = RESSTR("TemplateMain", "Экспорт списка тиражей в CSV-файл"),
         .Menus = {{TCommandMenu::Draws, 2}},
         .Execute = [](TTemplateMain& w) { w.FDrawsCsv.Export(); },
         .Update = [](TTemplateMain& w) { return w.FDrawsCsv.CanExport(); }},
        {.Id = TCommand::DrawsXlsExport,
         .Name = "DrawsXlsExport",
         .Caption = RESSTR("TemplateMain", "Экспорт в Microsoft Excel"),
         .Hint = RESSTR("TemplateMain", "Экспорт списка тиражей в Microsoft Excel"),
         .Menus = {{TCommandMenu::Draws, 2}},
         .Execute = [](TTemplateMain& w) { w.ExportTable(w.FUi->lvDraws, w.FUi->tsDraws); },
         .Update = [](TTemplateMain& w) { return !w.FState.FDraws.empty(); }},
        {.Id = TCommand::DrawsAdd,
         .Name = "DrawsAdd",
         .Caption = RESSTR("TemplateMain", "Добавить"),
         .Hint = RESSTR("TemplateMain", "Добавить данные тиража вручную"),
         .Menus = {{TCommandMenu::Draws, 3}},
         .Execute = [](TTemplateMain& w) { w.FDrawsPage->DrawsAdd(); }},
        {.Id = TCommand::DrawsEdit,
         .Name = "DrawsEdit",
         .Caption = RESSTR("TemplateMain", "Изменить"),
         .Hint = RESSTR("TemplateMain", "Изменить данные тиража вручную"),
         .Menus = {{TCommandMenu::Draws, 3}},
         .Execute = [](TTemplateMain& w) { w.FDrawsPage->DrawsEdit(); },
         .Update = [](TTemplateMain& w) { return w.FDrawsPage->HasSelection(); }},
        {.Id = TCommand::DrawsDel,
         .Name = "DrawsDel",
         .Caption = RESSTR("TemplateMain", "Удалить"),
         .Hint = RESSTR("TemplateMain", "Удалить выделенные тиражи из списка"),
         .Menus = {{TCommandMenu::Draws, 3}},
         .Execute = [](TTemplateMain& w) { w.FDrawsPage->DrawsDel(); },
         .Update = [](TTemplateMain& w) { return w.FDrawsPage->HasSelection(); },
         .ShortcutScope = [](TTemplateMain& w) -> QWidget* { return w.FUi->lvDraws; }},
        // Digits of a draw keep their positions in this game: the option is shown, never offered.
        {.Id = TCommand::DrawsSorted,
         .Name = "DrawsSorted",
         .Caption = RESSTR("TemplateMain", "Упорядочить MIN->MAX"),
         .Hint = RESSTR("TemplateMain", "Упорядочить числа внутри тиража от меньшего к большему"),
         .Menus = {{TCommandMenu::Draws, 4}},
         .Execute = [](TTemplateMain& w) { w.FDrawsPage->DrawsSorted(); },
         .Update = [](TTemplateMain&) { return false; },
         .State = [](TTemplateMain& w) { return w.FState.Options.Flag(TMainOptions::SortedDraws); }},

        {.Id = TCommand::CombsInfo,
         .Name = "CombsInfo",
         .Caption = RESSTR("TemplateMain", "Сведения о комбинации"),
         .Menus = {{TCommandMenu::Combs, 0}, {TCommandMenu::PopupCombs, 0}},
         .Execute =
             [](TTemplateMain& w) {
                 const QList<int> rows = w.FCombsPage->SelectedRows();
                 if (!rows.isEmpty())
                     ShowCombInfo(w.FState, w.FCombs.Comb(rows.first()), &w);
             },
         .Update = [](TTemplateMain& w) { return w.FCombsPage->HasSelection(); }},
        {.Id = TCommand::CombsCheckNums,
         .Name = "CombsCheckNums",
         .Caption = RESSTR("TemplateMain", "Количество уникальных номеров"),
         .Menus = {{TCommandMenu::Combs, 0}, {TCommandMenu::PopupCombs, 1}},
         .Execute = [](TTemplateMain& w) { w.FCombsPage->CheckNums(); }},
        {.Id = TCommand::CombsFindInDraws,
         .Name = "CombsFindInDraws",
         .Caption = RESSTR("TemplateMain", "Проверить по архиву тиражей"),
         .Shortcut = Qt::CTRL | Qt::Key_F,
         .Menus = {{TCommandMenu::Combs, 0}, {TCommandMenu::PopupCombs, 1}},
         .Execute = [](TTemplateMain& w) { w.FCombsPage->FindInDraws(); },
         .Update = [](TTemplateMain& w) { return w.FCombsPage->HasSelection(); }},
        {.Id = TCommand::CombsGen,
         .Name = "CombsGen",
         .Caption = RESSTR("TemplateMain", "Генерировать"),
         .Shortcut = Qt::Key_F2,
         .Menus = {{TCommandMenu::Combs, 1}},
         .Execute = [](TTemplateMain& w) { w.GenerateCombs(); }},
        {.Id = TCommand::CombsDelExists,
         .Name = "CombsDelExists",
         .Caption = RESSTR("TemplateMain", "Исключить тиражи"),
         .Shortcut = Qt::CTRL | Qt::Key_E,
         .Menus = {{TCommandMenu::Combs, 1}},
         .Execute = [](TTemplateMain& w) { w.FCombsPage->DelExists(); },
         .Update =
             [](TTemplateMain& w) {
                 return w.FCombs.Count() > 0 && !w.FState.FDraws.empty() && w.FUi->edCombsExclude->value() > 0;
             },
         .Button = [](TTemplateMain& w) { return w.FUi->btnCombsDelExists; }},
        {.Id = TCommand::CombsDelSelected,
         .Name = "CombsDelSelected",
         .Caption = RESSTR("TemplateMain", "Удалить выделенные"),
         .Shortcut = Qt::CTRL | Qt::Key_Delete,
         .Menus = {{TCommandMenu::Combs, 1}, {TCommandMenu::PopupCombs, 2}},
         .Execute = [](TTemplateMain& w) { w.FCombsPage->DelSelected(); },
         .Update = [](TTemplateMain& w) { return w.FCombs.Count() > 0 && w.FCombsPage->HasSelection(); },
         .ShortcutScope = [](TTemplateMain& w) -> QWidget* { return w.FUi->lvCombs; }},
        {.Id = TCommand::CombsCopy,
         .Name = "CombsCopy",
         .Caption = RESSTR("TemplateMain", "Копировать в буфер"),
         .Shortcut = Qt::CTRL | Qt::Key_C,
         .Menus = {{TCommandMenu::Combs, 2}, {TCommandMenu::PopupCombs, 3}},
         .Execute = [](TTemplateMain& w) { w.FCombsPage->Copy(); },
         .Update = [](TTemplateMain& w) { return w.FCombs.Count() > 0; }},
        {.Id = TCommand::CombsPaste,
         .Name = "CombsPaste",
         .Caption = RESSTR("TemplateMain", "Вставить из буфера"),
         .Shortcut = Qt::CTRL | Qt::Key_V,
         .Menus = {{TCommandMenu::Combs, 2}, {TCommandMenu::PopupCombs, 3}},
         .Execute = [](TTemplateMain& w) { w.FCombsPage->Paste(); },
         .Update = [](TTemplateMain& w) { return w.FCombsPage->ClipboardHasText(); }},
        {.Id = TCommand::CombsSelectAll,
         .Name = "CombsSelectAll",
         .Caption = RESSTR("TemplateMain", "Выделить все"),
         .Shortcut = Qt::CTRL | Qt::Key_A,
         .Menus = {{TCommandMenu::Combs, 2}, {TCommandMenu::PopupCombs, 3}},
         .Execute = [](TTemplateMain& w) { w.FCombsPage->SelectAll(); },
         .Update = [](TTemplateMain& w) { return w.FCombs.Count() > 0; }},
        {.Id = TCommand::CombsOpen,
         .Name = "CombsOpen",
         .Caption = RESSTR("TemplateMain", "Открыть"),
         .Shortcut = Qt::CTRL | Qt::Key_O,
         .Menus = {{TCommandMenu::Combs, 3}},
         .Execute = [](TTemplateMain& w) { w.FCombsPage->Open(); }},
        {.Id = TCommand::CombsSave,
         .Name = "CombsSave",
         .Caption = RESSTR("TemplateMain", "Сохранить"),
         .Shortcut = Qt::CTRL | Qt::Key_S,
         .Menus = {{TCommandMenu::Combs, 3}},
         .Execute = [](TTemplateMain& w) { w.FCombsPage->Save(); },
         .Update = [](TTemplateMain& w) { return w.FCombs.Count() > 0; }},
        {.Id = TCommand::CombsUndo,
         .Name = "CombsUndo",
         .Caption = RESSTR("TemplateMain", "Отменить"),
         .Shortcut = Qt::CTRL | Qt::Key_Z,
         .Menus = {{TCommandMenu::Combs, 4}, {TCommandMenu::PopupCombs, 4}},
         .Execute = [](TTemplateMain& w) { w.FCombsPage->Undo(); },
         .Update = [](TTemplateMain& w) { return w.FCombs.UndoCount() > 0; }},
        {.Id = TCommand::CombsXlsExport,
         .Name = "CombsXlsExport",
         .Caption = RESSTR("TemplateMain", "Экспорт в Microsoft Excel"),
         .Hint = RESSTR("TemplateMain", "Экспорт списка комбинаций в Microsoft Excel"),
         .Menus = {{TCommandMenu::Combs, 5}},
         .Execute = [](TTemplateMain& w) { w.ExportTable(w.FUi->lvCombs, w.FUi->tsCombs); },
         .Update = [](TTemplateMain& w) { return w.FCombs.Count() > 0; }},

        // The statistics page: its button, its list's and its chart's popup menus.
        {.Id = TCommand::DrawsStatCalc,
         .Name = "DrawsStatCalc",
         .Caption = RESSTR("TemplateMain", "Обновить"),
         .Menus = {{TCommandMenu::PopupDrawsStat, 1}},
         .Execute = [](TTemplateMain& w) { w.CalcStatTable(true); },
         .Update = [](TTemplateMain& w) { return w.FStatPage->CanCalc(); },
         .Button = [](TTemplateMain& w) { return w.FUi->btnDrawsStatCalc; },
         .Icon = QStyle::SP_BrowserReload},
        {.Id = TCommand::DrawsStatShowTotalLine,
         .Name = "DrawsStatShowTotalLine",
         .Caption = RESSTR("TemplateMain", "График идеального распределения"),
         .Menus = {{TCommandMenu::PopupDrawsStatChart, 0}},
         .Execute = [](TTemplateMain& w) { w.FStatPage->ToggleShowTotalLine(); },
         .Update = [](TTemplateMain& w) { return w.FState.Options.Flag(TMainOptions::PrefetchsEnabled); },
         .State = [](TTemplateMain& w) { return w.FState.Options.Flag(TMainOptions::ShowTotalLine); }},
        {.Id = TCommand::DrawsStatePrefetchsEnabled,
         .Name = "DrawsStatePrefetchsEnabled",
         .Caption = RESSTR("TemplateMain", "Использовать сравнение с полным набором комбинаций"),
         .Hint = RESSTR("TemplateMain",
                        "Использовать режим сравнения статистики с распределением по полному набору комбинаций"),
         .Menus = {{TCommandMenu::PopupDrawsStat, 2}},
         .Execute =
             [](TTemplateMain& w) {
                 // Turned on, the cache first gets the files it lacks.
                 if (!w.FState.Options.Flag(TMainOptions::PrefetchsEnabled)) {
                     w.FState.WriteOption(TMainOptions::PrefetchsEnabled, 1);
                     w.FPrefetch.Rebuild(false, 0);
                     w.FState.WriteOption(TMainOptions::PrefetchsEnabled, 0);
                 }
                 w.FStatPage->TogglePrefetchsEnabled();
             },
         .State = [](TTemplateMain& w) { return w.FState.Options.Flag(TMainOptions::PrefetchsEnabled); }},
        // F7 and Ctrl+F7 filter by the selected rows while the table has the focus.
        {.Id = TCommand::StatFilter_Include,
         .Name = "StatFilter_Include",
         .Caption = RESSTR("TemplateMain", "Оставить выделенные"),
         .Hint = RESSTR("TemplateMain", "В списке комбинаций оставить комбинации с выделенными характеристиками"),
         .Shortcut = Qt::Key_F7,
         .Menus = {{TCommandMenu::PopupDrawsStat, 0}},
         .Execute =
             [](TTemplateMain& w) {
                 w.FCombs.SaveUndo(true);
                 w.FilterCombsByStat(nullptr, false);
             },
         .Update = [](TTemplateMain& w) { return w.FCombs.Count() > 0 && w.FStatPage->HasSelection(); },
         .ShortcutScope = [](TTemplateMain& w) -> QWidget* { return w.FUi->lvDrawsStat; }},
        {.Id = TCommand::StatFilter_Exclude,
         .Name = "StatFilter_Exclude",
         .Caption = RESSTR("TemplateMain", "Удалить выделенные"),
         .Hint = RESSTR("TemplateMain", "Из списка комбинаций удалить комбинации с выделенными характеристиками"),
         .Shortcut = Qt::CTRL | Qt::Key_F7,
         .Menus = {{TCommandMenu::PopupDrawsStat, 0}},
         .Execute =
             [](TTemplateMain& w) {
                 w.FCombs.SaveUndo(true);
                 w.FilterCombsByStat(nullptr, true);
             },
         .Update = [](TTemplateMain& w) { return w.FCombs.Count() > 0 && w.FStatPage->HasSelection(); },
         .ShortcutScope = [](TTemplateMain& w) -> QWidget* { return w.FUi->lvDrawsStat; }},

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

        // The views of the archive: their own commands, their filter pairs and the tab toggles.
        {.Id = TCommand::FiltersManager,
         .Name = "FiltersManager",
         .Caption = RESSTR("TemplateMain", "Избранные статистики"),
         .Shortcut = Qt::Key_F7,
         .Menus = {{TCommandMenu::Stat, 0}},
         .Execute =
             [](TTemplateMain& w) { RunFiltersManager(w.FState, [&w] { w.FillStatMethods(true, false); }, &w); },
         .Button = [](TTemplateMain& w) { return w.FUi->btnFiltersManager; }},
        {.Id = TCommand::FiltersReset,
         .Name = "FiltersReset",
         .Caption = RESSTR("TemplateMain", "Все доступные статистики"),
         .Shortcut = Qt::CTRL | Qt::Key_F7,
         .Menus = {{TCommandMenu::Stat, 0}},
         .Execute = [](TTemplateMain& w) { RunFiltersReset(w.FState, [&w] { w.FillStatMethods(true, false); }); }},
        {.Id = TCommand::FiltersInfo,
         .Name = "FiltersInfo",
         .Caption = RESSTR("TemplateMain", "Описание статистики"),
         .Shortcut = Qt::Key_F8,
         .Menus = {{TCommandMenu::Stat, 0}},
         .Execute =
             [](TTemplateMain& w) {
                 if (const TStatMethod* method = w.FStatPage->SelectedMethod())
                     ShowFilterHelp(*method, &w);
             },
         .Update = [](TTemplateMain& w) { return w.FStatPage->SelectedMethod() != nullptr; },
         .Button = [](TTemplateMain& w) { return w.FUi->btnFiltersInfo; },
         .Icon = QStyle::SP_MessageBoxQuestion},
        {.Id = TCommand::DrawsStatExportToExcel,
         .Name = "DrawsStatExportToExcel",
         .Caption = RESSTR("TemplateMain", "Экспорт статистики в Microsoft Excel"),
         .Menus = {{TCommandMenu::Stat, 0}, {TCommandMenu::PopupDrawsStat, 1}},
         .Execute =
             [](TTemplateMain& w) {
                 const QString title = w.FUi->cbDrawsStatType->currentText();
                 ExportListViewToExcel(w.FUi->lvDrawsStat, title, title, QString(), QString(), 0, true);
             },
         .Update = [](TTemplateMain& w) { return w.FUi->lvDrawsStat->ItemCount() > 0; }},
        {.Id = TCommand::AnalyzeRepeats,
         .Name = "AnalyzeRepeats",
         .Caption = RESSTR("TemplateMain", "Количество повторов в зависимости от тиража"),
         .Menus = {{TCommandMenu::Stat, 0}},
         .Execute = [](TTemplateMain& w) { ShowRepeatsForm(w.FState.FDraws, &w); },
         .Update = [](TTemplateMain& w) { return !w.FState.FDraws.empty(); }},
        {.Id = TCommand::TotalSumCombs,
         .Name = "TotalSumCombs",
         .Caption = RESSTR("TemplateMain", "Распределение сумм тиражей и всех возможных комбинаций"),
         .Menus = {{TCommandMenu::Stat, 0}},
         .Execute = [](TTemplateMain& w) { TDrawsGraphPage::ShowSumDistribution(&w, w.FState.FDraws); }},
        {.Id = TCommand::CardXlsExport,
         .Name = "CardXlsExport",
         .Caption = RESSTR("TemplateMain", "Экспорт карты тиражей в Microsoft Excel"),
         .Menus = {{TCommandMenu::PopupCard, 1}},
         .Execute = [](TTemplateMain& w) { w.ExportTable(w.FCardPage->Grid(), w.FCardPage); },
         .Update = [](TTemplateMain& w) { return w.ViewTabShown(w.FCardPage); }},
        {.Id = TCommand::LayoutXlsExport,
         .Name = "LayoutXlsExport",
         .Caption = RESSTR("TemplateMain", "Экспорт схемы в Microsoft Excel"),
         .Menus = {{TCommandMenu::PopupLayout, 2}},
         .Execute = [](TTemplateMain& w) { w.ExportTable(w.FLayoutPage->Grid(), w.FLayoutPage); },
         .Update =
             [](TTemplateMain& w) { return w.ViewTabShown(w.FLayoutPage) && w.FLayoutPage->Grid()->ColCount() > 2; }},
        {.Id = TCommand::DrawsGraphDraw,
         .Name = "DrawsGraphDraw",
         .Caption = RESSTR("TemplateMain", "Обновить"),
         .Menus = {{TCommandMenu::PopupDrawsGraph, 0}},
         .Execute = [](TTemplateMain& w) { w.FDrawsGraphPage->DrawGraphs(true); },
         .Update = [](TTemplateMain& w) { return w.FDrawsGraphPage->CanDraw(); }},
        {.Id = TCommand::CardFilter_Include,
         .Name = "CardFilter_Include",
         .Caption = RESSTR("TemplateMain", "Оставить выделенные"),
         .Hint = RESSTR("TemplateMain", "В списке комбинаций оставить комбинации с выделенными значениями"),
         .Menus = {{TCommandMenu::PopupCard, 0}},
         .Execute = [](TTemplateMain& w) { w.FilterByView([&w] { w.FCardPage->FilterCombs(false); }); },
         .Update = [](TTemplateMain& w) { return w.ViewTabShown(w.FCardPage) && w.FCardPage->CanFilter(); }},
        {.Id = TCommand::CardFilter_Exclude,
         .Name = "CardFilter_Exclude",
         .Caption = RESSTR("TemplateMain", "Удалить выделенные"),
         .Hint = RESSTR("TemplateMain", "Из списка комбинаций удалить комбинации с выделенными  значениями"),
         .Menus = {{TCommandMenu::PopupCard, 0}},
         .Execute = [](TTemplateMain& w) { w.FilterByView([&w] { w.FCardPage->FilterCombs(true); }); },
         .Update = [](TTemplateMain& w) { return w.ViewTabShown(w.FCardPage) && w.FCardPage->CanFilter(); }},
        {.Id = TCommand::LayoutCalc,
         .Name = "LayoutCalc",
         .Caption = RESSTR("TemplateMain", "Обновить"),
         .Hint = RESSTR("TemplateMain", "Пересчитать схему"),
         .Menus = {{TCommandMenu::PopupLayout, 1}},
         .Execute = [](TTemplateMain& w) { w.FLayoutPage->BuildLayout(true); },
         .Update = [](TTemplateMain& w) { return w.FLayoutPage->CanCalc(); }},
        {.Id = TCommand::LayoutCmpCalc,
         .Name = "LayoutCmpCalc",
         .Caption = RESSTR("TemplateMain", "Обновить"),
         .Hint = RESSTR("TemplateMain", "Пересчитать таблицы сравнения"),
         .Execute = [](TTemplateMain& w) { w.FLayoutPage->RefreshLayoutCompare(true); },
         .Update = [](TTemplateMain& w) { return w.FLayoutPage->CanCalc(); }},
        {.Id = TCommand::LayoutFilter_Include,
         .Name = "LayoutFilter_Include",
         .Caption = RESSTR("TemplateMain", "Оставить выделенные"),
         .Hint = RESSTR("TemplateMain", "В списке комбинаций оставить комбинации с выделенными значениями"),
         .Menus = {{TCommandMenu::PopupLayout, 0}},
         .Execute = [](TTemplateMain& w) { w.FilterByView([&w] { w.FLayoutPage->FilterCombs(false); }); },
         .Update = [](TTemplateMain& w) { return w.ViewTabShown(w.FLayoutPage) && w.FLayoutPage->CanFilter(); }},
        {.Id = TCommand::LayoutFilter_Exclude,
         .Name = "LayoutFilter_Exclude",
         .Caption = RESSTR("TemplateMain", "Удалить выделенные"),
         .Hint = RESSTR("TemplateMain", "Из списка комбинаций удалить комбинации с выделенными  значениями"),
         .Menus = {{TCommandMenu::PopupLayout, 0}},
         .Execute = [](TTemplateMain& w) { w.FilterByView([&w] { w.FLayoutPage->FilterCombs(true); }); },
         .Update = [](TTemplateMain& w) { return w.ViewTabShown(w.FLayoutPage) && w.FLayoutPage->CanFilter(); }},
        {.Id = TCommand::WeekStatCalc,
         .Name = "WeekStatCalc",
         .Caption = RESSTR("TemplateMain", "Обновить"),
         .Menus = {{TCommandMenu::PopupWeek, 1}},
         .Execute = [](TTemplateMain& w) { w.FWeekPage->CalcWeekStat(true); },
         .Update = [](TTemplateMain& w) { return w.FWeekPage->CanCalc(); }},
        {.Id = TCommand::ViewWeekChartMode,
         .Name = "ViewWeekChartMode",
         .Caption = RESSTR("TemplateMain", "График по дням недели"),
         .Menus = {{TCommandMenu::PopupWeek, 2}, {TCommandMenu::PopupWeekChart, 0}},
         .Execute =
             [](TTemplateMain& w) {
                 TBusyScope busy;
                 w.FWeekPage->ToggleChartMode();
             },
         .Update = [](TTemplateMain& w) { return w.ViewTabShown(w.FWeekPage); },
         .State = [](TTemplateMain& w) { return w.FWeekPage->ChartByDays(); }},
        {.Id = TCommand::ViewWeekChartType,
         .Name = "ViewWeekChartType",
         .Caption = RESSTR("TemplateMain", "График / диаграмма"),
         .Menus = {{TCommandMenu::PopupWeek, 2}, {TCommandMenu::PopupWeekChart, 0}},
         .Execute =
             [](TTemplateMain& w) {
                 TBusyScope busy;
                 w.FWeekPage->ToggleChartType();
             },
         .Update = [](TTemplateMain& w) { return w.ViewTabShown(w.FWeekPage); },
         .State = [](TTemplateMain& w) { return w.FWeekPage->ChartAsLine(); }},
        {.Id = TCommand::WeekFilter_Include,
         .Name = "WeekFilter_Include",
         .Caption = RESSTR("TemplateMain", "Оставить выделенные"),
         .Hint = RESSTR("TemplateMain", "В списке комбинаций оставить комбинации с выделенными значениями"),
         .Menus = {{TCommandMenu::PopupWeek, 0}},
         .Execute = [](TTemplateMain& w) { w.FilterByView([&w] { w.FWeekPage->FilterCombs(false); }); },
         .Update = [](TTemplateMain& w) { return w.ViewTabShown(w.FWeekPage) && w.FWeekPage->CanFilter(); }},
        {.Id = TCommand::WeekFilter_Exclude,
         .Name = "WeekFilter_Exclude",
         .Caption = RESSTR("TemplateMain", "Удалить выделенные"),
         .Hint = RESSTR("TemplateMain", "Из списка комбинаций удалить комбинации с выделенными  значениями"),
         .Menus = {{TCommandMenu::PopupWeek, 0}},
         .Execute = [](TTemplateMain& w) { w.FilterByView([&w] { w.FWeekPage->FilterCombs(true); }); },
         .Update = [](TTemplateMain& w) { return w.ViewTabShown(w.FWeekPage) && w.FWeekPage->CanFilter(); }},
        {.Id = TCommand::TabGraps,
         .Name = "TabGraps",
         .Caption = RESSTR("TemplateMain", "Вкладка \"Графики\""),
         .Menus = {{TCommandMenu::View, 0}},
         .Execute =
             [](TTemplateMain& w) {
                 w.ToggleViewTab(TMainOptions::TabGraphs, w.FDrawsGraphPage, [&w] { w.FDrawsGraphPage->DrawGraphs(true); });
             },
         .State = [](TTemplateMain& w) { return w.FState.Options.Flag(TMainOptions::TabGraphs); }},
        {.Id = TCommand::TabCard,
         .Name = "TabCard",
         .Caption = RESSTR("TemplateMain", "Вкладка \"Карта\""),
         .Menus = {{TCommandMenu::View, 0}},
         .Execute =
             [](TTemplateMain& w) {
                 w.ToggleViewTab(TMainOptions::TabCard, w.FCardPage, [&w] { w.FCardPage->RefreshView(true); });
             },
         .State = [](TTemplateMain& w) { return w.FState.Options.Flag(TMainOptions::TabCard); }},
        {.Id = TCommand::TabLayout,
         .Name = "TabLayout",
         .Caption = RESSTR("TemplateMain", "Вкладка \"Схема\""),
         .Menus = {{TCommandMenu::View, 0}},
         .Execute =
             [](TTemplateMain& w) {
                 w.ToggleViewTab(TMainOptions::TabLayout, w.FLayoutPage, [&w] {
                     w.FLayoutPage->BuildLayout(true);
                     w.FLayoutPage->RefreshLayoutCompare(true);
                 });
             },
         .State = [](TTemplateMain& w) { return w.FState.Options.Flag(TMainOptions::TabLayout); }},
        {.Id = TCommand::TabWeek,
         .Name = "TabWeek",
         .Caption = RESSTR("TemplateMain", "Вкладка \"Неделя\""),
         .Menus = {{TCommandMenu::View, 0}},
         .Execute =
             [](TTemplateMain& w) {
                 w.ToggleViewTab(TMainOptions::TabWeek, w.FWeekPage, [&w] { w.FWeekPage->CalcWeekStat(true); });
             },
         .State = [](TTemplateMain& w) { return w.FState.Options.Flag(TMainOptions::TabWeek); }},
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
         .Execute =
             [](TTemplateMain& w) {
                 QList<TCombWord> combs;
                 for (const int row : w.FCombsPage->SelectedRows())
                     if (row >= 0 && row < w.FCombs.Count())
                         combs.append(w.FCombs.Comb(row));
                 w.FTables->TablesAdd(combs);
             },
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
        {.Id = TCommand::ViewColorDraws,
         .Name = "ViewColorDraws",
         .Caption = RESSTR("TemplateMain", "Выделять каналы в списке тиражей"),
         .Menus = {{TCommandMenu::View, 1}},
         .Execute = [](TTemplateMain& w) { w.ToggleOption(TMainOptions::ColorDraws, w.FUi->lvDraws->viewport()); },
         .State = [](TTemplateMain& w) { return w.FState.Options.Flag(TMainOptions::ColorDraws); }},
        {.Id = TCommand::ViewColorCombs,
         .Name = "ViewColorCombs",
         .Caption = RESSTR("TemplateMain", "Выделять каналы в списке комбинаций"),
         .Menus = {{TCommandMenu::View, 1}},
         .Execute = [](TTemplateMain& w) { w.ToggleOption(TMainOptions::ColorCombs, w.FUi->lvCombs->viewport()); },
         .State = [](TTemplateMain& w) { return w.FState.Options.Flag(TMainOptions::ColorCombs); }},
        {.Id = TCommand::ViewColorCard,
         .Name = "ViewColorCard",
         .Caption = RESSTR("TemplateMain", "Выделять каналы в карте тиражей"),
         .Menus = {{TCommandMenu::View, 1}},
         .Execute = [](TTemplateMain& w) { w.ToggleOption(TMainOptions::ColorCard, w.FCardPage->Grid()->viewport()); },
         .Update = [](TTemplateMain& w) { return w.ViewTabShown(w.FCardPage); },
         .State = [](TTemplateMain& w) { return w.FState.Options.Flag(TMainOptions::ColorCard); }},
        {.Id = TCommand::ViewColorCardSequences,
         .Name = "ViewColorCardSequences",
         .Caption = RESSTR("TemplateMain", "Выделять последовательности в карте тиражей"),
         .Menus = {{TCommandMenu::View, 1}},
         .Execute =
             [](TTemplateMain& w) {
                 w.ToggleOption(TMainOptions::ColorCardSequences, w.FCardPage->Grid()->viewport());
             },
         .Update = [](TTemplateMain& w) { return w.ViewTabShown(w.FCardPage); },
         .State = [](TTemplateMain& w) { return w.FState.Options.Flag(TMainOptions::ColorCardSequences); }},
        {.Id = TCommand::ViewShemaGradient,
         .Name = "ViewShemaGradient",
         .Caption = RESSTR("TemplateMain", "Градиентная раскраска схемы"),
         .Menus = {{TCommandMenu::View, 1}},
         .Execute =
             [](TTemplateMain& w) { w.ToggleOption(TMainOptions::LayoutGradient, w.FLayoutPage->Grid()->viewport()); },
         .Update = [](TTemplateMain& w) { return w.ViewTabShown(w.FLayoutPage); },
         .State = [](TTemplateMain& w) { return w.FState.Options.Flag(TMainOptions::LayoutGradient); }},
        // The help menu.
        {.Id = TCommand::GetHelp,
         .Name = "GetHelp",
         .Caption = RESSTR("TemplateMain", "Справка"),
         .Hint = RESSTR("TemplateMain", "Вызов файла справки"),
         .Shortcut = Qt::Key_F1,
         .Menus = {{TCommandMenu::Help, 0}},
         .Execute = [](TTemplateMain& w) { OpenHelpFile(w.FLanguages.HelpFileName()); },
         .Update = [](TTemplateMain& w) { return HelpFileExists(w.FLanguages.HelpFileName()); }},
        {.Id = TCommand::About,
         .Name = "About",
         .Caption = RESSTR("TemplateMain", "О программе"),
         .Hint = RESSTR("TemplateMain", "Информация о программе"),
         .Menus = {{TCommandMenu::Help, 0}},
         .Execute = [](TTemplateMain& w) { ShowAboutBox(&w, w.FAppTitle, QCoreApplication::applicationVersion()); }},
        {.Id = TCommand::AutoSelfUpdate,
         .Name = "AutoSelfUpdate",
         .Caption = RESSTR("TemplateMain", "Автоматическое обновление"),
         .Hint = RESSTR("TemplateMain", "Автоматическое обновление программы при запуске"),
         .Menus = {{TCommandMenu::Help, 1}},
         .Execute = [](TTemplateMain& w) { w.ToggleOption(TMainOptions::AutoUpdates); },
         .State = [](TTemplateMain& w) { return w.FState.Options.Flag(TMainOptions::AutoUpdates); }},
        {.Id = TCommand::CheckUpdate,
         .Name = "CheckUpdate",
         .Caption = RESSTR("TemplateMain", "Поиск обновлений"),
         .Hint = RESSTR("TemplateMain", "Искать обновления программы через интернет"),
         .Menus = {{TCommandMenu::Help, 1}},
         .Execute =
             [](TTemplateMain& w) {
                 if (CheckProgramUpdate(false))
                     w.RestartAfterUpdate();
             }},
        {.Id = TCommand::OpenTirmaSite,
         .Name = "OpenTirmaSite",
         .Caption = RESSTR("TemplateMain", "Сайт лотереи"),
         .Hint = RESSTR("TemplateMain", "Открыть сайт лотереи"),
         .Menus = {{TCommandMenu::Help, 2}},
         .Execute = [](TTemplateMain&) { OpenOperatorGamePage(); },
         .Update = [](TTemplateMain&) { return !OperatorGamePage().isEmpty(); }},
        {.Id = TCommand::urlMainSite,
         .Name = "urlMainSite",
         .Caption = RESSTR("TemplateMain", "Официальный сайт проекта"),
         .Hint = RESSTR("TemplateMain", "Официальный сайт проекта"),
         .Menus = {{TCommandMenu::Help, 2}},
         .Execute = [](TTemplateMain&) { OpenLinkPage(TLinkPage::MainSite); }},
        {.Id = TCommand::urlBlog,
         .Name = "urlBlog",
         .Caption = RESSTR("TemplateMain", "Наш блог"),
         .Hint = RESSTR("TemplateMain", "Официальный блог проекта"),
         .Menus = {{TCommandMenu::Help, 2}},
         .Execute = [](TTemplateMain&) { OpenLinkPage(TLinkPage::Blog); }},
        {.Id = TCommand::urlYT,
         .Name = "urlYT",
         .Caption = RESSTR("TemplateMain", "Наш видеоблог"),
         .Hint = RESSTR("TemplateMain", "Видеоблог проекта на сервисе YouTube"),
         .Menus = {{TCommandMenu::Help, 2}},
         .Execute = [](TTemplateMain&) { OpenLinkPage(TLinkPage::YouTube); }},
        {.Id = TCommand::urlAuthText,
         .Name = "urlAuthText",
         .Caption = RESSTR("TemplateMain", "Статьи для начинающих"),
         .Hint = RESSTR("TemplateMain", "Статьи, посвященные освоению программы"),
         .Menus = {{TCommandMenu::Help, 2}},
         .Execute = [](TTemplateMain&) { OpenLinkPage(TLinkPage::AuthText); }},
        {.Id = TCommand::urlVK,
         .Name = "urlVK",
         .Caption = RESSTR("TemplateMain", "Страница в соцсети \"В контакте\""),
         .Hint = RESSTR("TemplateMain", "Страница проекта в социальной сети \"В контакте\""),
         .Menus = {{TCommandMenu::Help, 2}},
         .Execute = [](TTemplateMain&) { OpenLinkPage(TLinkPage::VK); }},
        {.Id = TCommand::urlOK,
         .Name = "urlOK",
         .Caption = RESSTR("TemplateMain", "Страница в соцсети \"Однокласники\""),
         .Hint = RESSTR("TemplateMain", "Страница проекта в социальной сети \"Однокласники\""),
         .Menus = {{TCommandMenu::Help, 2}},
         .Execute = [](TTemplateMain&) { OpenLinkPage(TLinkPage::OK); }},
        {.Id = TCommand::urlAuthSite,
         .Name = "urlAuthSite",
         .Caption = RESSTR("TemplateMain", "Страница автора"),
         .Hint = RESSTR("TemplateMain", "Страница автора программы"),
         .Menus = {{TCommandMenu::Help, 2}},
         .Execute = [](TTemplateMain&) { OpenLinkPage(TLinkPage::AuthSite); }},
        {.Id = TCommand::urlTG,
         .Name = "urlTG",
         .Caption = RESSTR("TemplateMain", "Канал в Telegram"),
         .Hint = RESSTR("TemplateMain", "Канал в Telegram - новости проекта"),
         .Menus = {{TCommandMenu::Help, 2}},
         .Execute = [](TTemplateMain&) { OpenLinkPage(TLinkPage::Telegram); }},
    };
    return rows;
}

namespace {

// The favourites button says less than its menu item.
constexpr TResString rsFavouritesButton = RESSTR("TemplateMain", "Избранное");

QString HintText(const TResString& hint)
{
    return hint.Text ? LoadResString(hint) : QString();
}

} // namespace

QAction* TTemplateMain::Action(TCommand command) const
{
    return FActions->Action(command);
}

QMenu* TTemplateMain::Menu(TCommandMenu menu) const
{
    switch (menu) {
    case TCommandMenu::File:
        return FUi->menuFile;
    case TCommandMenu::Languages:
        return FUi->menuLanguages;
    case TCommandMenu::Draws:
        return FUi->menuDraws;
    case TCommandMenu::AutoDownload:
        return FUi->menuAutoDownload;
    case TCommandMenu::Combs:
        return FUi->menuCombs;
    case TCommandMenu::Stakes:
        return FUi->menuStakes;
    case TCommandMenu::Ratings:
        return FUi->menuRatings;
    case TCommandMenu::RatingsEff:
        return FUi->menuRatingsEff;
    case TCommandMenu::Script:
        return FUi->menuScript;
    case TCommandMenu::ScriptLibrary:
        return FUi->menuScriptLibrary;
    case TCommandMenu::ScriptLibraryRate:
        return FUi->menuScriptLibraryRate;
    case TCommandMenu::Stat:
        return FUi->menuStat;
    case TCommandMenu::Tables:
        return FUi->menuTables;
    case TCommandMenu::Systems:
        return FUi->menuSystems;
    case TCommandMenu::View:
        return FUi->menuView;
    case TCommandMenu::Help:
        return FUi->menuHelp;
    case TCommandMenu::None:
        return nullptr;
    default:
        break;
    }
    const auto popup = FPopupMenus.find(menu);
    return popup != FPopupMenus.end() ? popup->second : nullptr;
}

void TTemplateMain::CreateActions()
{
    for (const TCommandRow& row : CommandTable()) {
        TActionRegistry::TCommandSpec spec;
        spec.Id = static_cast<int>(row.Id);
        spec.Name = QString::fromLatin1(row.Name);
        spec.Caption = LoadResString(row.Caption);
        spec.Hint = HintText(row.Hint);
        spec.Shortcut = QKeySequence(row.Shortcut);
        spec.ShortcutScope = row.ShortcutScope ? row.ShortcutScope(*this) : nullptr;
        if (row.Execute)
            spec.Execute = [this, run = row.Execute] { run(*this); };
        if (row.Update)
            spec.Update = [this, test = row.Update] { return test(*this); };
        if (row.State)
            spec.State = [this, state = row.State] { return state(*this); };
        spec.Rule = row.Rule;
        QAction* action = FActions->Add(std::move(spec));
        if (row.Icon != QStyle::SP_CustomBase)
            action->setIcon(style()->standardIcon(row.Icon));
        if (row.Button)
            row.Button(*this)->setDefaultAction(action);
    }
    Action(TCommand::FiltersManager)->setIconText(LoadResString(rsFavouritesButton));
    // Keys without a scope work wherever the focus is in the window.
    FActions->SetWindow(this);
}

void TTemplateMain::TranslateActions()
{
    for (const TCommandRow& row : CommandTable())
        FActions->SetTexts(row.Id, LoadResString(row.Caption), HintText(row.Hint));
    Action(TCommand::FiltersManager)->setIconText(LoadResString(rsFavouritesButton));
    TranslateMenuItems();
    // New captions, new letters.
    InstallMenuMnemonics(menuBar());
}

void TTemplateMain::TranslateMenuItems()
{
    for (const auto& [item, caption] : FMenuItems)
        item->setText(LoadResString(caption));
}

void TTemplateMain::BuildMenus()
{
    struct TItem {
        int Group;
        int Order;   // the table's row; a submenu heads its group
        QAction* Action;
    };
    std::map<QMenu*, std::vector<TItem>> items;
    // The submenus: where each stands in its parent.
    const struct {
        TCommandMenu Menu;
        TCommandMenu Parent;
        int Group;
    } submenus[] = {{TCommandMenu::Languages, TCommandMenu::File, 0},
                    {TCommandMenu::AutoDownload, TCommandMenu::Draws, 1},
                    {TCommandMenu::RatingsEff, TCommandMenu::Ratings, 1},
                    {TCommandMenu::ScriptLibrary, TCommandMenu::Script, 1},
                    {TCommandMenu::ScriptLibraryRate, TCommandMenu::ScriptLibrary, 3}};
    for (const auto& sub : submenus)
        items[Menu(sub.Parent)].push_back({sub.Group, -1, Menu(sub.Menu)->menuAction()});
    int order = 0;
    for (const TCommandRow& row : CommandTable()) {
        for (const TMenuPlace& place : row.Menus) {
            QMenu* menu = Menu(place.Menu);
            Q_ASSERT(menu);
            QAction* action = Action(row.Id);
            if (place.Caption.Text) {
                action = FActions->AddMenuItem(row.Id, LoadResString(place.Caption), menu);
                FMenuItems.emplace_back(action, place.Caption);
            }
            items[menu].push_back({place.Group, order, action});
        }
        ++order;
    }
    for (auto& [menu, list] : items) {
        std::stable_sort(list.begin(), list.end(), [](const TItem& a, const TItem& b) {
            return a.Group != b.Group ? a.Group < b.Group : a.Order < b.Order;
        });
        for (size_t i = 0; i < list.size(); ++i) {
            if (i > 0 && list[i].Group != list[i - 1].Group)
                menu->addSeparator();
            menu->addAction(list[i].Action);
        }
    }
    InstallMenuMnemonics(menuBar());
}

void TTemplateMain::CreatePopupMenus()
{
    // The commands of a popup enable themselves as in the menu bar.
    const auto popup = [this](TCommandMenu id, QWidget* owner, QWidget* area, const char* name) {
        auto* menu = new QMenu(owner);
        menu->setObjectName(QLatin1String(name));
        FPopupMenus[id] = menu;
        // The actions are shared with the menu bar: the letters are chosen again for this menu
        // whenever it opens.
        connect(menu, &QMenu::aboutToShow, menu, [menu] { AssignMenuMnemonics(menu); });
        owner->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(owner, &QWidget::customContextMenuRequested, menu, [this, menu, area](const QPoint& at) {
            FActions->UpdateAll();
            menu->popup(area->mapToGlobal(at));
        });
    };
    popup(TCommandMenu::PopupDrawsStat, FUi->lvDrawsStat, FUi->lvDrawsStat->viewport(), "pmDrawsStat");
    popup(TCommandMenu::PopupDrawsStatChart, FUi->crtDrawsStat, FUi->crtDrawsStat, "pmDrawsStatChart");
    popup(TCommandMenu::PopupCombs, FUi->lvCombs, FUi->lvCombs->viewport(), "pmCombs");
    popup(TCommandMenu::PopupStakes, FUi->sgStakes, FUi->sgStakes->viewport(), "pmStakes");
    popup(TCommandMenu::PopupScript, FUi->lvScript, FUi->lvScript->viewport(), "pmScript");
    popup(TCommandMenu::PopupCard, FCardPage->Grid(), FCardPage->Grid()->viewport(), "pmCard");
    popup(TCommandMenu::PopupLayout, FLayoutPage->Grid(), FLayoutPage->Grid()->viewport(), "pmLayout");
    popup(TCommandMenu::PopupWeek, FWeekPage->Grid(), FWeekPage->Grid()->viewport(), "pmWeek");
    popup(TCommandMenu::PopupWeekChart, FWeekPage->ChartView(), FWeekPage->ChartView(), "pmWeekChart");
    popup(TCommandMenu::PopupDrawsGraph, FDrawsGraphPage->ChartView(), FDrawsGraphPage->ChartView(), "pmDrawsGraph");
    popup(TCommandMenu::PopupOnlineScripts, FOnlineScriptsPanel->LvOnlineScripts(),
          FOnlineScriptsPanel->LvOnlineScripts()->viewport(), "pmOnlineScripts");
    popup(TCommandMenu::PopupSystems, FSystemsPage->List(), FSystemsPage->List()->viewport(), "pmSystems");
    popup(TCommandMenu::PopupTables, FTablesPage->List(), FTablesPage->List()->viewport(), "pmTables");
    popup(TCommandMenu::PopupRatings, FUi->lvRatings, FUi->lvRatings->viewport(), "pmRatings");
}
