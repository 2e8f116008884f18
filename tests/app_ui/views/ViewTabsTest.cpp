// The pages of the archive's views in the main window: their place, their tab toggles and a
// filter pair reached through the window's commands.

#include "app/core/stakes/StakesFile.h"
#include "app/ui/views/CardPage.h"
#include "app/ui/views/LayoutPage.h"
#include "app/ui/shell/FormMain.h"
#include "app/ui/stakes/TablesPage.h"
#include "app/ui/views/WeekPage.h"
#include "support/RDialogsScripted.h"
#include "support/ui/QorGrid.h"
#include "support/ui/QorListView.h"
#include "support/ui/RActions.h"
#include "tests/app_ui/shell/MainWindowTestEnv.h"
#include "tests/common/TestHelpers.h"
#include "tests/fixtures/ArchiveFixtures.h"

#include <QAction>
#include <QMenu>
#include <QToolButton>
#include <QTabWidget>

#include <gtest/gtest.h>

namespace {

class ViewTabsTest : public MainWindowTest {
protected:
    ViewTabsTest() { FFolder.WriteArchive(SixDrawArchive()); }

    std::unique_ptr<TFormMain> Open() { return MainWindowTest::Open({}, QSize(1100, 600)); }
    static QTabWidget* Pages(const TFormMain& form) { return form.findChild<QTabWidget*>(QStringLiteral("pcMain")); }
    static QStringList ShownTabs(const TFormMain& form)
    {
        QStringList texts;
        for (int i = 0; i < Pages(form)->count(); ++i)
            if (Pages(form)->isTabVisible(i))
                texts << Pages(form)->tabText(i);
        return texts;
    }
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

// A stake from a rule is made for the first of the selected rules, in list order: with two
// selected, one dialog, one stake, and only that rule moves on.
TEST_F(ViewTabsTest, StakeFromARuleIsMadeForTheFirstOfTheSelectedRules)
{
    auto form = Open();
    TActionRegistry& actions = *form->Actions();
    const auto rule = [](const char* name, int d1, int d2, int step) {
        TTableRec rec;
        rec.Comment.Set(U(name));
        rec.StartComb = C(d1, d2);
        rec.CurrComb = C(d1, d2);
        rec.Step = step;
        return rec;
    };
    form->Tables().FTables = {rule("R1", 1, 8, 3), rule("R2", 2, 0, -3), rule("R3", 5, 5, 1)};
    form->TablesPage()->Repaint();
    QStringList dialogs;
    form->Tables().EditStake = [&](TStakeRec& rec, int&) {
        dialogs << rec.Comment.Get();
        return true;
    };
    TRListView* list = form->TablesPage()->List();
    struct TCase {
        QList<int> Selected;
        bool Enabled;
    };
    for (const TCase& c : {TCase{{}, false}, TCase{{1}, true}, TCase{{2, 1}, true}}) {
        list->clearSelection();
        for (const int row : c.Selected)
            list->SetItemSelected(row, true);
        actions.UpdateAll();
        EXPECT_EQ(actions.Action(QStringLiteral("TablesStakeAdd"))->isEnabled(), c.Enabled) << c.Selected.size();
    }
    const qint64 before = form->StakesFile().RecordCount();
    ASSERT_TRUE(actions.Execute(QStringLiteral("TablesStakeAdd")));
    EXPECT_EQ(dialogs, QStringList({"R2"}));
    ASSERT_EQ(form->StakesFile().RecordCount(), before + 1);
    const TStakeRec stake = form->StakesFile().ReadStake(TStakesFile::soFromBeginning, before);
    EXPECT_EQ(stake.Comment.Get(), "R2");
    EXPECT_EQ(stake.Origin, soRegular);
    // 2;0 moved by -3 is 9;7.
    EXPECT_EQ(stake.Digits.Count, 2);
    EXPECT_EQ(stake.Digits.Digits[0], 9);
    EXPECT_EQ(stake.Digits.Digits[1], 7);
    const TTablesArray& rules = form->Tables().FTables;
    EXPECT_EQ(rules[0], rule("R1", 1, 8, 3));
    EXPECT_EQ(rules[1].CurrComb, C(9, 7));
    EXPECT_EQ(rules[1].StakesMade, 1);
    EXPECT_EQ(rules[2], rule("R3", 5, 5, 1));
    EXPECT_TRUE(FBoxes.Boxes().isEmpty());
}

// The weekday and layout pages: their popups, the layout's two buttons, and commands that need
// their page shown.
TEST_F(ViewTabsTest, WeekAndLayoutCommandsSitInTheirPopupsAndNeedTheirPage)
{
    auto form = Open();
    TActionRegistry& actions = *form->Actions();
    const auto popup = [&](const char* name) {
        QStringList names;
        if (const auto* menu = form->findChild<QMenu*>(QLatin1String(name)))
            for (const QAction* action : menu->actions())
                if (!action->isSeparator())
                    names << action->objectName();
        return names;
    };
    EXPECT_EQ(popup("pmWeek"), QStringList({"WeekFilter_Include", "WeekFilter_Exclude", "WeekStatCalc",
                                            "ViewWeekChartMode", "ViewWeekChartType"}));
    EXPECT_EQ(popup("pmWeekChart"), QStringList({"ViewWeekChartMode", "ViewWeekChartType"}));
    EXPECT_EQ(popup("pmLayout"), QStringList({"LayoutFilter_Include", "LayoutFilter_Exclude", "LayoutCalc",
                                              "LayoutXlsExport"}));

    // The layout's recomputes read "Обновить" and say in their hints what they compute.
    for (const auto& [command, hint] : {std::pair{"LayoutCalc", "Пересчитать схему"},
                                        std::pair{"LayoutCmpCalc", "Пересчитать таблицы сравнения"}}) {
        SCOPED_TRACE(command);
        QAction* action = actions.Action(QLatin1String(command));
        const QList<QToolButton*> buttons = form->LayoutPage()->findChildren<QToolButton*>();
        const auto button = std::find_if(buttons.begin(), buttons.end(),
                                         [&](const QToolButton* b) { return b->defaultAction() == action; });
        ASSERT_NE(button, buttons.end());
        EXPECT_EQ((*button)->text(), U("Обновить"));
        EXPECT_EQ((*button)->toolTip(), U(hint));
        EXPECT_EQ(action->statusTip(), U(hint));
    }

    // The chart toggles of the grid's popup write their options.
    const bool byDays = form->WeekPage()->ChartByDays();
    const bool asLine = form->WeekPage()->ChartAsLine();
    for (QAction* item : form->findChild<QMenu*>(QStringLiteral("pmWeek"))->actions())
        if (item->objectName().startsWith(QLatin1String("ViewWeekChart")))
            item->trigger();
    EXPECT_NE(form->WeekPage()->ChartByDays(), byDays);
    EXPECT_NE(form->WeekPage()->ChartAsLine(), asLine);
    EXPECT_EQ(form->State().Options.Value(TMainOptions::WeekChartMode), byDays ? 0 : 1);

    // Each page's own commands are offered only while its tab is shown.
    struct TCase {
        const char* Toggle;
        QStringList Commands;
    };
    const TCase cases[] = {{"TabWeek", {"WeekStatCalc", "ViewWeekChartMode", "ViewWeekChartType"}},
                           {"TabLayout", {"LayoutCalc", "LayoutCmpCalc", "ViewShemaGradient"}}};
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Toggle);
        for (const bool shown : {true, false, true}) {
            actions.UpdateAll();
            for (const QString& command : c.Commands)
                EXPECT_EQ(actions.Action(command)->isEnabled(), shown) << command.toStdString() << shown;
            ASSERT_TRUE(actions.Execute(QLatin1String(c.Toggle)));
        }
        ASSERT_TRUE(actions.Execute(QLatin1String(c.Toggle)));
    }
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
