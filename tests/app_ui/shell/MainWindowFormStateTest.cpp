// What the main window keeps of what the user set across a close and a start: the columns of the
// stakes grid, of the rules and of the online library, and the library's height, whatever page
// was in sight at the close.

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
    form.findChild<QTabWidget*>(QStringLiteral("pcMain"))->setCurrentWidget(form.findChild<QWidget*>(QLatin1String(page)));
    QApplication::processEvents();
}

TEST_F(MainWindowTest, ColumnsAndTheLibraryHeightComeBackAsLeftWhateverPageWasInSight)
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
        auto* splitter = Child<QSplitter>(*form, "splScripts");
        splitter->setSizes({splitter->height() - 150, 150});
        QApplication::processEvents();
        ASSERT_EQ(form->OnlineScriptsPanel()->height(), 150);
        ShowPage(*form, "tsStakes");
    }
    // The first start closes without the library's page ever in sight; the second shows it.
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
        EXPECT_TRUE(ReadFileBytes(FFolder.DataFile(".frm")).contains("\r\nScriptLibraryHeight=150\r\n"));
    }
    EXPECT_TRUE(FBoxes.Boxes().isEmpty());
}

} // namespace
