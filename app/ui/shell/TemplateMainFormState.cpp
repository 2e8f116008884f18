// The main window's form state: what the window restores at start-up and saves at shut-down.

#include "app/ui/shell/TemplateMain.h"

#include "app/core/online/OnlineScripts.h"
#include "app/ui/combs/CombsPage.h"
#include "app/ui/online/OnlineScriptsPanel.h"
#include "app/ui/online/SystemsPage.h"
#include "app/ui/stakes/TablesPage.h"
#include "app/ui/stats/StatPage.h"
#include "app/ui/views/CardPage.h"
#include "app/ui/views/DrawsGraphPage.h"
#include "app/ui/views/LayoutPage.h"
#include "app/ui/views/WeekPage.h"
#include "app/ui/archive/DrawsPage.h"
#include "support/ui/QorGrid.h"
#include "support/ui/QorListView.h"
#include "support/ui/RFrmStorage.h"

#include "ui_FormMain.h"

#include <QChartView>
#include <QSplitter>

#include <algorithm>
#include <limits>

namespace {

constexpr int kDefaultLeftPanelWidth = 270;

// A stored pane height that no pane can have gives way to the designed one.
int PaneHeight(int stored, int designed)
{
    return stored > 0 ? stored : designed;
}

} // namespace

std::array<QWidget*, 10> TTemplateMain::KeptLayouts() const
{
    return {FUi->lvDraws, FUi->lvCombs, FUi->lvFilters, FUi->lvDrawsStat, FUi->sgStakes, FUi->lvRatings,
            FTablesPage->List(), FSystemsPage->List(), FUi->lvScript, FOnlineScriptsPanel->LvOnlineScripts()};
}

void TTemplateMain::RestoreFormState()
{
    // Watched from now on: the window comes into sight only after this.
    FFiltersHeight = new TKeptPaneHeight(FUi->lvFilters);
    FLibraryHeight = new TKeptPaneHeight(FOnlineScriptsPanel);
    RestoreFormPlacement(this, true, true);
    const int leftWidth = ReadFormInteger(this, QStringLiteral("LeftPanelWidth"), kDefaultLeftPanelWidth);
    if (leftWidth > 0) {
        const int total = std::max(FUi->splMain->width(), leftWidth + FUi->pcMain->minimumWidth());
        FUi->splMain->setSizes({leftWidth, total - leftWidth});
    }
    // Numbers of draws, not sizes: anything up to the boxes' INT_MAX comes back.
    const int most = std::numeric_limits<int>::max();
    FUi->edCombsExclude->setValue(
        ReadFormInteger(this, QStringLiteral("DrawsExclude"), FUi->edCombsExclude->value(), 0, most));
    FUi->edDrawsStatLen->setValue(
        ReadFormInteger(this, QStringLiteral("DrawsStatLen"), FUi->edDrawsStatLen->value(), 0, most));
    SetLowerPaneHeight(FUi->splDrawsStat,
                       ReadFormInteger(this, QStringLiteral("DrawsStatHeight"), TStatPage::DefaultChartHeight));
    const int filtersHeight = PaneHeight(
        ReadFormInteger(this, QStringLiteral("FiltersHeight"), TCombsPage::DefaultFiltersHeight),
        TCombsPage::DefaultFiltersHeight);
    SetLowerPaneHeight(FUi->splCombs, filtersHeight);
    FFiltersHeight->SetPlaced(filtersHeight);
    for (QWidget* kept : KeptLayouts()) {
        if (auto* grid = qobject_cast<TROwnerDrawGrid*>(kept))
            RestoreGridLayout(this, grid);
        else
            RestoreListViewLayout(this, qobject_cast<TRListView*>(kept), false);
    }
    FOnlineScripts->RestorePanelShown(FState.Options.Flag(TMainOptions::ScriptLibraryOn));
    FOnlineScripts->RestoreFilterIndex(FState.Options.Value(TMainOptions::ScriptLibraryFilter));
    FOnlineScriptsPanel->setVisible(FOnlineScripts->PanelShown());
    const int libraryHeight =
        PaneHeight(ReadFormInteger(this, QStringLiteral("ScriptLibraryHeight"), DefaultLibraryHeight),
                   DefaultLibraryHeight);
    SetLowerPaneHeight(FSplScripts, libraryHeight);
    FLibraryHeight->SetPlaced(libraryHeight);
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
    // Every value below, the pages' and the options' too, goes to one copy of the file, written
    // once at the end: one write instead of one a value, and never half of them.
    TFormStorageBatch batch;
    SaveFormPlacement(this);
    WriteFormInteger(this, QStringLiteral("LeftPanelWidth"), FUi->pcLists->width());
    WriteFormInteger(this, QStringLiteral("DrawsExclude"), FUi->edCombsExclude->value());
    WriteFormInteger(this, QStringLiteral("DrawsStatLen"), FUi->edDrawsStatLen->value());
    WriteFormInteger(this, QStringLiteral("DrawsStatHeight"), FUi->crtDrawsStat->height());
    // The panes' heights whatever page is in sight: a page out of sight is not laid out. A
    // height never known (the restore failed before it) leaves the stored one.
    if (const int height = FFiltersHeight ? FFiltersHeight->Height() : 0; height > 0)
        WriteFormInteger(this, QStringLiteral("FiltersHeight"), height);
    for (const QWidget* kept : KeptLayouts()) {
        if (const auto* grid = qobject_cast<const TROwnerDrawGrid*>(kept))
            SaveGridLayout(this, grid);
        else
            SaveListViewLayout(this, qobject_cast<const TRListView*>(kept), false);
    }
    if (const int height = FLibraryHeight ? FLibraryHeight->Height() : 0; height > 0)
        WriteFormInteger(this, QStringLiteral("ScriptLibraryHeight"), height);
    FState.WriteOption(TMainOptions::ScriptLibraryFilter, FOnlineScripts->FilterIndex());
    FDrawsGraphPage->SaveState();
    FLayoutPage->SaveState();
    FWeekPage->SaveState();
    batch.Save();
}
