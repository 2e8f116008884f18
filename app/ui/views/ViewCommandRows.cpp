// The commands of the archive's views (graphs, card, layout, weekdays) in the main window, their
// pages' tabs and filters; and the wiring they use.

#include "app/ui/shell/CommandRow.h"

#include "app/ui/views/CardPage.h"
#include "app/ui/views/DrawsGraphPage.h"
#include "app/ui/views/LayoutPage.h"
#include "app/ui/views/WeekPage.h"
#include "platform/Exceptions.h"
#include "support/RDialogs.h"
#include "support/RVclUtils.h"
#include "support/ui/QorGrid.h"

#include "ui_FormMain.h"

void TTemplateMain::AddViewRows(std::vector<TCommandRow>& rows)
{
    rows.insert(rows.end(), {
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
    });
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
