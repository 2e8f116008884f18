// What the main window keeps of what the user set across a close and a start: the columns of the
// stakes grid, of the rules and of the online library, and the heights of the filter list and
// the library, whatever page was in sight at the close.

#include "tests/app_ui/shell/MainWindowTestEnv.h"

#include "app/ui/online/OnlineScriptsPanel.h"
#include "app/ui/stakes/TablesPage.h"
#include "support/ui/QorGrid.h"
#include "tests/fixtures/ArchiveFixtures.h"

#include <QApplication>
#include <QHeaderView>
#include <QSplitter>
#include <QTabWidget>

#include <gtest/gtest.h>

namespace {

void ShowPage(const TFormMain& form, const char* page)
{
    QWidget* widget = form.findChild<QWidget*>(QLatin1String(page));
    qobject_cast<QTabWidget*>(widget->parentWidget()->parentWidget())->setCurrentWidget(widget);
    QApplication::processEvents();
}

// Drags a splitter's handle so that its lower pane is that high.
void SetLowerPane(const TFormMain& form, const char* splitter, int height)
{
    auto* widget = form.findChild<QSplitter*>(QLatin1String(splitter));
    widget->setSizes({widget->height() - height, height});
    QApplication::processEvents();
}

TEST_F(MainWindowTest, ColumnsAndPaneHeightsComeBackAsLeftWhateverPageWasInSight)
{
    FFolder.WriteArchive(MakeArchive(20));
    const auto stakes = [](const TFormMain& form) { return Child<TROwnerDrawGrid>(form, "sgStakes"); };
    const auto rules = [](const TFormMain& form) { return form.TablesPage()->List(); };
    const auto library = [](const TFormMain& form) { return form.OnlineScriptsPanel()->LvOnlineScripts(); };
    {
        auto form = Open();
        // Dragged by the user: "№ тиража" and "Название" narrower than their header texts.
        stakes(*form)->horizontalHeader()->resizeSection(0, 41);
        rules(*form)->header()->resizeSection(0, 333);
        library(*form)->header()->resizeSection(1, 47);
        ShowPage(*form, "tsScript");
        SetLowerPane(*form, "splScripts", 150);
        ASSERT_EQ(form->OnlineScriptsPanel()->height(), 150);
        ShowPage(*form, "tsCombs");
        SetLowerPane(*form, "splCombs", 90);
        ASSERT_EQ(Child<QWidget>(*form, "lvFilters")->height(), 90);
        ShowPage(*form, "tsDraws");
        ShowPage(*form, "tsStakes");
    }
    // The first start closes with neither the library nor the filter list ever in sight; the
    // second shows the library.
    for (const bool showLibrary : {false, true}) {
        auto form = Open();
        ShowPage(*form, "tsStakes");
        EXPECT_EQ(stakes(*form)->ColWidth(0), 41);
        EXPECT_EQ(stakes(*form)->ColWidth(1), 82);   // the header's width, as before
        EXPECT_EQ(rules(*form)->ColumnWidth(0), 333);
        EXPECT_EQ(library(*form)->ColumnWidth(1), 47);
        if (showLibrary) {
            ShowPage(*form, "tsScript");
            EXPECT_EQ(form->OnlineScriptsPanel()->height(), 150);
        }
        form.reset();
        const QByteArray saved = ReadFileBytes(FFolder.DataFile(".frm"));
        EXPECT_TRUE(saved.contains("\r\nFiltersHeight=90\r\n"));
        EXPECT_TRUE(saved.contains("\r\nScriptLibraryHeight=150\r\n"));
    }
    EXPECT_TRUE(FBoxes.Boxes().isEmpty());
}

} // namespace
