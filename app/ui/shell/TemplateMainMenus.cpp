// The main window's command table assembled from the workflows' rows, and the menus and buttons
// built from it.

#include "app/ui/shell/CommandRow.h"

#include "app/ui/views/CardPage.h"
#include "app/ui/views/DrawsGraphPage.h"
#include "app/ui/views/LayoutPage.h"
#include "app/ui/online/OnlineScriptsPanel.h"
#include "app/ui/online/SystemsPage.h"
#include "app/ui/stakes/TablesPage.h"
#include "app/ui/views/WeekPage.h"
#include "platform/ResString.h"
#include "support/ui/QorGrid.h"
#include "support/ui/QorListView.h"
#include "support/ui/RActions.h"

#include "ui_FormMain.h"

#include <QAction>
#include <QChartView>
#include <QMenu>
#include <QMenuBar>
#include <QStyle>
#include <QToolButton>

#include <algorithm>
#include <map>

const std::vector<TTemplateMain::TCommandRow>& TTemplateMain::CommandTable()
{
    // A menu keeps the items of one group in the order of the table, and some groups gather
    // commands of several workflows (the settings of the File menu, the tabs and the colours of
    // the View menu, the system stakes among the stakes): the workflows come in the order that
    // keeps each such group as it is shown.
    static const std::vector<TCommandRow> rows = [] {
        std::vector<TCommandRow> all;
        for (const auto add : {&AddShellRows, &AddStatRows, &AddArchiveRows, &AddCombRows, &AddViewRows, &AddStakeRows,
                               &AddTableRows, &AddScriptRows, &AddOnlineRows})
            add(all);
        return all;
    }();
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
        InstallMenuMnemonics(menu);
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
