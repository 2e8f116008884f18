// The statistics workflow's commands of the main window: the engine settings, the statistics
// table's page and popups, the favourite methods; and the wiring they use.

#include "app/ui/shell/CommandRow.h"

#include "app/core/stats/EngineSettings.h"
#include "app/ui/shell/ProgramEnv.h"
#include "app/ui/stats/StatPage.h"
#include "app/ui/stats/UnitConfig.h"
#include "app/ui/stats/UnitFilterHelp.h"
#include "app/ui/stats/UnitManager.h"
#include "app/ui/stats/UnitRepeats.h"
#include "app/ui/stats/UnitShredding.h"
#include "app/ui/views/DrawsGraphPage.h"
#include "engine/KelmaMsg.h"
#include "platform/DelphiText.h"
#include "platform/Exceptions.h"
#include "support/RDialogs.h"
#include "support/RVclUtils.h"
#include "support/ui/FormProgress.h"
#include "support/ui/QorListView.h"
#include "support/ui/rExpXls.h"

#include "ui_FormMain.h"

void TTemplateMain::AddStatRows(std::vector<TCommandRow>& rows)
{
    rows.insert(rows.end(), {
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
        // The statistics page: its button, its list's and its chart's popup menus.
        {.Id = TCommand::DrawsStatCalc,
         .Name = "DrawsStatCalc",
         .Caption = RESSTR("TemplateMain", "Обновить"),
         .Menus = {{TCommandMenu::PopupDrawsStat, 1}},
         .Execute = [](TTemplateMain& w) { w.FStatPage->CalcStatTable(true); },
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
                 // Turned on, the cache first gets the files it lacks; the page then writes the
                 // option, once.
                 if (!w.FState.Options.Flag(TMainOptions::PrefetchsEnabled))
                     w.FPrefetch.Rebuild(true, 0);
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
                 w.FStatPage->FilterCombsByStat(nullptr, false);
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
                 w.FStatPage->FilterCombsByStat(nullptr, true);
             },
         .Update = [](TTemplateMain& w) { return w.FCombs.Count() > 0 && w.FStatPage->HasSelection(); },
         .ShortcutScope = [](TTemplateMain& w) -> QWidget* { return w.FUi->lvDrawsStat; }},
        // The statistics menu: the favourite methods, the method's description, the exports.
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
    });
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

void TTemplateMain::SetupPrefetchCache()
{
    const auto norms = [this](const TStatMethod& method) { return FPrefetch.Load(method); };
    FStatTable.SetPrefetchSource(norms);
    FScriptStatTable.SetPrefetchSource(norms);
    // A run without a person shows no window at all.
    if (IsUnattendedRun(FState.Arguments(), qEnvironmentVariable(UnattendedEnv)))
        return;
    FPrefetch.SetProgress(ScopedProgressFunctions());
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
