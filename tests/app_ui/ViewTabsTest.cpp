// The pages of the archive's views in the main window: their place, their tab toggles and a
// filter pair reached through the window's commands.

#include "app/ui/CardPage.h"
#include "app/ui/FormMain.h"
#include "app/ui/TablesPage.h"
#include "support/RDateUtils.h"
#include "support/RDialogsScripted.h"
#include "support/ui/QorGrid.h"
#include "support/ui/QorListView.h"
#include "support/ui/RActions.h"
#include "tests/app_ui/AppUiTestEnv.h"
#include "tests/common/TestHelpers.h"
#include "tests/fixtures/ArchiveFixtures.h"

#include <QAction>
#include <QTabWidget>

#include <gtest/gtest.h>

namespace {

class ViewTabsTest : public ::testing::Test {
protected:
    ViewTabsTest()
    {
        FPreviousClock = SetClock([] { return QDateTime(QDate(2016, 8, 10), QTime(12, 0)); });
        FFolder.WriteFormState(QStringLiteral("DownloadDrawsOnStart=2\r\nPrefetchsInit=1\r\n"));
        FFolder.WriteArchive(SixDrawArchive());
    }
    ~ViewTabsTest() override { SetClock(FPreviousClock); }

    std::unique_ptr<TFormMain> Open()
    {
        auto form = std::make_unique<TFormMain>(QStringList());
        form->resize(1100, 600);
        form->show();
        EXPECT_TRUE(WaitUntil([&] { return form->Initialized(); }));
        return form;
    }
    static QTabWidget* Pages(const TFormMain& form) { return form.findChild<QTabWidget*>(QStringLiteral("pcMain")); }
    static QStringList ShownTabs(const TFormMain& form)
    {
        QStringList texts;
        for (int i = 0; i < Pages(form)->count(); ++i)
            if (Pages(form)->isTabVisible(i))
                texts << Pages(form)->tabText(i);
        return texts;
    }

    TProgramFolder FFolder;
    TScriptedBoxes FBoxes;
    TClock FPreviousClock;
};

TEST_F(ViewTabsTest, ViewsFollowTheStatisticsPageAndTheirTogglesAreRemembered)
{
    auto form = Open();
    EXPECT_EQ(ShownTabs(*form), QStringList({U("Статистика"), U("Графики"), U("Карта"), U("Схема"), U("Неделя"),
                                             U("Ставки"), U("Рейтинг"), U("Регуляры"), U("Сценарий")}));
    TActionRegistry& actions = *form->Actions();
    ASSERT_TRUE(actions.Execute(QStringLiteral("TabCard")));
    EXPECT_FALSE(ShownTabs(*form).contains(U("Карта")));
    EXPECT_FALSE(form->State().Options.Flag(TMainOptions::TabCard));
    form.reset();

    // The next start hides it too; showing it again makes it the current page.
    form = Open();
    EXPECT_FALSE(ShownTabs(*form).contains(U("Карта")));
    ASSERT_TRUE(form->Actions()->Execute(QStringLiteral("TabCard")));
    EXPECT_EQ(Pages(*form)->currentWidget(), form->CardPage());
    form->Actions()->UpdateAll();
    EXPECT_TRUE(form->Actions()->Action(QStringLiteral("TabCard"))->isChecked());
}

TEST_F(ViewTabsTest, TheCardsFilterPairNarrowsTheListThroughTheWindow)
{
    auto form = Open();
    Pages(*form)->setCurrentWidget(form->CardPage());
    form->CardPage()->RefreshView(true);
    TROwnerDrawGrid* grid = form->CardPage()->Grid();
    // Digit 3 of the newest draw (3, 4): row 1, column 3 + 1.
    const QModelIndex cell = grid->model()->index(0, 3);
    grid->selectionModel()->setCurrentIndex(cell, QItemSelectionModel::ClearAndSelect);
    TActionRegistry& actions = *form->Actions();
    actions.UpdateAll();
    ASSERT_TRUE(actions.Action(QStringLiteral("CardFilter_Include"))->isEnabled());
    ASSERT_TRUE(actions.Execute(QStringLiteral("CardFilter_Include")));
    // The 19 combinations with a 3 in either place stay.
    EXPECT_EQ(form->Combs().Count(), 19);
    ASSERT_FALSE(form->Combs().FilterHistory().isEmpty());
    EXPECT_EQ(form->Combs().FilterHistory().last().Caption, U("Карта"));
    EXPECT_TRUE(FBoxes.Boxes().isEmpty());
}

TEST_F(ViewTabsTest, RegularStakesAreMadeFromTheListAndTheirPageFollowsItsToggle)
{
    auto form = Open();
    const QString file = FFolder.DataFile(".ltb");
    // A rule for the selected combination, named in the dialog.
    form->Tables().EditTable = [](const QStringList&, TTableRec& rec) {
        rec.Comment.Set(QStringLiteral("R"));
        rec.Step = 3;
        return true;
    };
    auto* combs = form->findChild<TRListView*>(QStringLiteral("lvCombs"));
    combs->SetSelected(18);   // 1;8
    ASSERT_TRUE(form->Actions()->Execute(QStringLiteral("TablesAdd")));
    ASSERT_EQ(form->Tables().FTables.size(), 1u);
    EXPECT_EQ(form->Tables().FTables[0].StartComb, C(1, 8));
    EXPECT_EQ(ReadFileBytes(file).size(), TableRecSize);

    // Hidden: the rules go and the file stays as it was; shown again: read back.
    ASSERT_TRUE(form->Actions()->Execute(QStringLiteral("TabTables")));
    EXPECT_FALSE(ShownTabs(*form).contains(U("Регуляры")));
    EXPECT_TRUE(form->Tables().FTables.empty());
    EXPECT_EQ(ReadFileBytes(file).size(), TableRecSize);
    ASSERT_TRUE(form->Actions()->Execute(QStringLiteral("TabTables")));
    EXPECT_EQ(Pages(*form)->currentWidget(), static_cast<QWidget*>(form->TablesPage()));
    ASSERT_EQ(form->Tables().FTables.size(), 1u);
    EXPECT_TRUE(FBoxes.Boxes().isEmpty());
}

} // namespace

TEST_F(ViewTabsTest, ViewOptionsAreWrittenAtOnceAndNeedTheirPage)
{
    auto form = Open();
    TActionRegistry& actions = *form->Actions();
    const auto stored = [&](TMainOptions::TOption option) {
        TMainOptions options;
        options.Load(form->State().FormState());
        return options.Value(option);
    };
    for (const auto& [name, option] : {std::pair{"ViewColorDraws", TMainOptions::ColorDraws},
                                       std::pair{"ViewColorCombs", TMainOptions::ColorCombs},
                                       std::pair{"ViewColorCard", TMainOptions::ColorCard},
                                       std::pair{"ViewColorCardSequences", TMainOptions::ColorCardSequences},
                                       std::pair{"ViewShemaGradient", TMainOptions::LayoutGradient},
                                       std::pair{"AutoSelfUpdate", TMainOptions::AutoUpdates}}) {
        SCOPED_TRACE(name);
        const QString command = QString::fromLatin1(name);
        ASSERT_TRUE(form->State().Options.Flag(option));
        ASSERT_TRUE(actions.Execute(command));
        actions.UpdateAll();
        EXPECT_FALSE(actions.Action(command)->isChecked());
        EXPECT_EQ(stored(option), 0);
    }

    // With the card page hidden its colour options cannot change, and they keep their values.
    ASSERT_TRUE(actions.Execute(QStringLiteral("TabCard")));
    actions.UpdateAll();
    EXPECT_FALSE(actions.Action(QStringLiteral("ViewColorCard"))->isEnabled());
    EXPECT_FALSE(actions.Execute(QStringLiteral("ViewColorCardSequences")));
    EXPECT_EQ(stored(TMainOptions::ColorCard), 0);
    EXPECT_TRUE(actions.Action(QStringLiteral("ViewShemaGradient"))->isEnabled());

    // The start-up download: one of three, shown as chosen and written at once.
    for (const int value : {1, 2, 0}) {
        const QString command = QStringLiteral("AutoDownload%1").arg(value);
        ASSERT_TRUE(actions.Execute(command));
        actions.UpdateAll();
        EXPECT_EQ(stored(TMainOptions::DownloadDrawsOnStart), value);
        for (int other = 0; other < 3; ++other)
            EXPECT_EQ(actions.Action(QStringLiteral("AutoDownload%1").arg(other))->isChecked(), other == value);
    }
}
