// Commands of the main window's menus that lead out of it: the draws' file exchange, the help
// menu, the languages and the first-run dialog.

#include "app/ui/archive/DrawsPage.h"
#include "app/ui/shell/FormMain.h"
#include "app/ui/shell/ProgramEnv.h"
#include "app/ui/online/OnlineScriptsPanel.h"
#include "app/ui/online/SystemsPage.h"
#include "app/ui/stats/UnitFilterHelp.h"
#include "app/ui/archive/UnitInfo.h"
#include "app/ui/stats/UnitRepeats.h"
#include "platform/Cp1251.h"
#include "support/RDialogsScripted.h"
#include "support/RSysUtils.h"
#include "support/ui/QorListView.h"
#include "support/ui/RActions.h"
#include "support/ui/TmplDialogSimple.h"
#include "support/ui/UnitExpExcel.h"
#include "tests/app_ui/shell/MainWindowTestEnv.h"
#include "tests/common/ScriptLibraryEnv.h"
#include "tests/common/Screenshot.h"
#include "tests/common/TestHelpers.h"
#include "tests/common/XlsxReader.h"
#include "tests/fixtures/ArchiveFixtures.h"
#include "tests/standin/HttpStandIn.h"
#include "tests/standin/ScriptServer.h"
#include "tests/standin/SystemServer.h"
#include "tests/support_ui/KeyInput.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QMap>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QFileInfo>
#include <QSet>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTextBrowser>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

QStringList ActionNames(const QMenu* menu)
{
    QStringList names;
    for (const QAction* action : menu->actions())
        if (!action->isSeparator())
            names.append(action->menu() ? action->menu()->objectName() : action->objectName());
    return names;
}

// The item of a menu that shows the command.
QAction* MenuItem(const QMenu* menu, const QString& command)
{
    for (QAction* action : menu->actions())
        if (action->objectName() == command)
            return action;
    return nullptr;
}

void RestoreServerUrl(const QByteArray& previous)
{
    if (previous.isNull())
        qunsetenv("TAVRIX_SERVER_URL");
    else
        qputenv("TAVRIX_SERVER_URL", previous);
}

class MainMenusTest : public MainWindowTest {
protected:
    MainMenusTest()
    {
        FPreviousOpen = SetOpenHandler([this](const TOpenRequest& request) { FOpened.append(request); });
    }
    ~MainMenusTest() override { SetOpenHandler(FPreviousOpen); }

    std::unique_ptr<TFormMain> Open()
    {
        auto form = MainWindowTest::Open();
        form->Actions()->UpdateAll();
        return form;
    }

    TOpenHandler FPreviousOpen;
    QList<TOpenRequest> FOpened;
};

TEST_F(MainMenusTest, DrawsImportAppendsOnlyNewerDrawsAndSaysWhatItSkipped)
{
    FFolder.WriteArchive(MakeDraws({{1, 2}, {3, 4}, {5, 6}}));
    const QString csv = FFolder.File("more.csv");
    // Draw 4 is new; draw 2 is stored; the 3-field line takes the next number, 5.
    WriteFileBytes(csv, "4;\"08/04/2016 M\";1;2\r\n2;\"x\";1;1\r\n\"08/05/2016 M\";3;4\r\n");
    TScriptedPrompts prompts;
    prompts.Names = {csv};
    auto form = Open();
    ASSERT_TRUE(form->Actions()->Execute(QStringLiteral("DrawsImport")));

    ASSERT_EQ(prompts.Prompts.size(), 1);
    EXPECT_FALSE(prompts.Prompts[0].Save);
    ASSERT_EQ(form->State().FDraws.size(), 5u);
    EXPECT_EQ(form->State().FDraws[3].Number, 4u);
    EXPECT_EQ(form->State().FDraws[4].Number, 5u);
    EXPECT_EQ(form->State().FDraws[4].Digits[0], 3);
    EXPECT_EQ(form->State().FDraws[4].Digits[1], 4);
    EXPECT_EQ(ReadFileBytes(FFolder.DataFile(".ldr")).size(), 5 * 20);
    ASSERT_EQ(FBoxes.Boxes().size(), 1);
    EXPECT_TRUE(FBoxes.Last().Text.contains(U("Добавлено тиражей: 2"))) << FBoxes.Last().Text.toStdString();

    // The export writes what the import reads back: importing it again adds nothing.
    const QString out = FFolder.File("all.csv");
    prompts.Names = {out, out};
    ASSERT_TRUE(form->Actions()->Execute(QStringLiteral("DrawsExport")));
    EXPECT_TRUE(prompts.Prompts.last().Save);
    EXPECT_TRUE(ReadFileBytes(out).startsWith("1;\"" + EncodeCp1251(FixtureDrawKey(0)) + "\";1;2\r\n"))
        << ReadFileBytes(out).left(40).toStdString();
    ASSERT_TRUE(form->Actions()->Execute(QStringLiteral("DrawsImport")));
    EXPECT_EQ(form->State().FDraws.size(), 5u);
}

TEST_F(MainMenusTest, DrawsExportNeedsAnArchive)
{
    auto form = Open();
    EXPECT_TRUE(form->Actions()->Action(QStringLiteral("DrawsImport"))->isEnabled());
    EXPECT_FALSE(form->Actions()->Action(QStringLiteral("DrawsExport"))->isEnabled());
}

TEST_F(MainMenusTest, TablesGoToAWorkbookTitledWithTheirTab)
{
    FFolder.WriteArchive(MakeDraws({{1, 2}, {3, 4}}));
    auto form = Open();
    TActionRegistry& actions = *form->Actions();
    // Nothing to send: no stakes, no ratings; the card's export needs its page.
    EXPECT_FALSE(actions.Action(QStringLiteral("StakesXlsExport"))->isEnabled());
    EXPECT_FALSE(actions.Action(QStringLiteral("RatingsXlsExport"))->isEnabled());
    EXPECT_TRUE(actions.Action(QStringLiteral("CardXlsExport"))->isEnabled());
    ASSERT_TRUE(actions.Execute(QStringLiteral("TabCard")));
    actions.UpdateAll();
    EXPECT_FALSE(actions.Action(QStringLiteral("CardXlsExport"))->isEnabled());

    // The draws: the dialog opens with the tab's caption, OK writes and opens the workbook.
    QString title;
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<TFormExpExcel*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        title = dialog->edTitle->text();
        dialog->accept();
    });
    ASSERT_TRUE(actions.Execute(QStringLiteral("DrawsXlsExport")));
    EXPECT_EQ(title, U("Архив тиражей"));
    ASSERT_EQ(FOpened.size(), 1);
    TXlsxReader workbook;
    ASSERT_TRUE(workbook.Open(FOpened[0].Target)) << workbook.Error().toStdString();
    EXPECT_EQ(workbook.SheetNames(), QStringList({U("Архив тиражей")}));
    EXPECT_EQ(workbook.Text(1, "A1"), U("Архив тиражей"));
    // The choices are kept for the next time, per table of this window.
    EXPECT_TRUE(ReadFileBytes(FFolder.File("Tavrix2_2r10.ini")).contains("[EXPORT_EXCEL_FORMMAIN.LVDRAWS]"));

    // Cancel sends nothing.
    QTimer::singleShot(0, [] {
        if (QWidget* dialog = QApplication::activeModalWidget())
            dialog->close();
    });
    ASSERT_TRUE(actions.Execute(QStringLiteral("CombsXlsExport")));
    EXPECT_EQ(FOpened.size(), 1);
    QFile::remove(FOpened[0].Target);
}

TEST_F(MainMenusTest, DetailsRepeatsAndMethodHelpOpenFromTheirMenus)
{
    FFolder.WriteArchive(SixDrawArchive());
    QStringList seen;
    QString firstProperty;
    QString help;
    int repeatsRows = -1;
    const TModalFormHandler previous = SetModalFormHandler([&](QDialog& form) {
        seen.append(QString::fromLatin1(form.metaObject()->className()));
        if (auto* info = qobject_cast<TFormInfo*>(&form))
            firstProperty = info->Props()->Items()->CellText(0, 0);
        if (auto* repeats = qobject_cast<TFormRepeats*>(&form))
            repeatsRows = repeats->List()->Items()->Count();
        if (auto* page = qobject_cast<TFormFilterHelp*>(&form))
            help = page->Browser()->toPlainText();
        return int(QDialog::Rejected);
    });
    auto form = Open();
    TActionRegistry& actions = *form->Actions();
    EXPECT_FALSE(actions.Action(QStringLiteral("DrawsInfo"))->isEnabled());
    auto* draws = form->findChild<TRListView*>(QStringLiteral("lvDraws"));
    draws->setCurrentIndex(draws->model()->index(0, 0));
    actions.UpdateAll();
    ASSERT_TRUE(actions.Execute(QStringLiteral("DrawsInfo")));
    EXPECT_EQ(firstProperty, U("Номер тиража:"));

    // A combination of the list is no draw: no number, no date.
    auto* combs = form->findChild<TRListView*>(QStringLiteral("lvCombs"));
    combs->setCurrentIndex(combs->model()->index(0, 0));
    actions.UpdateAll();
    ASSERT_TRUE(actions.Execute(QStringLiteral("CombsInfo")));
    EXPECT_NE(firstProperty, U("Номер тиража:"));

    ASSERT_TRUE(actions.Execute(QStringLiteral("AnalyzeRepeats")));
    EXPECT_GE(repeatsRows, 0);
    ASSERT_TRUE(actions.Execute(QStringLiteral("FiltersInfo")));
    EXPECT_EQ(help, U("Справочная система не установлена."));
    EXPECT_EQ(seen, QStringList({"TFormInfo", "TFormInfo", "TFormRepeats", "TFormFilterHelp"}));
    SetModalFormHandler(previous);
}

TEST_F(MainMenusTest, SystemPlayShowsItsTabMenuAndStakesAndIsRemembered)
{
    THttpStandIn server;
    ASSERT_TRUE(server.Start());
    TSystemServer systems{server};
    TScriptServer library{server};
    TSystemServer::TSystem system;
    system.Nums = 5;
    system.Olap = 1;
    system.CSize = 2;
    system.Title = QStringLiteral("A");
    system.Author = QStringLiteral("Ann");
    system.CList = QStringLiteral("1 2\r\n2 3\r\n");
    system.Created = QDateTime(QDate(2016, 8, 1), QTime(10, 0), Qt::UTC);
    systems.Add(system);
    const QByteArray previous = qgetenv("TAVRIX_SERVER_URL");
    qputenv("TAVRIX_SERVER_URL", server.BaseUrl().toLatin1());
    const auto pages = [](const TFormMain& form) { return form.findChild<QTabWidget*>(QStringLiteral("pcMain")); };
    {
        auto form = Open();
        TActionRegistry& actions = *form->Actions();
        const auto* menu = form->findChild<QMenu*>(QStringLiteral("menuSystems"));
        ASSERT_NE(menu, nullptr);
        EXPECT_FALSE(menu->menuAction()->isVisible());
        EXPECT_FALSE(actions.Action(QStringLiteral("SystemStakeAll"))->isVisible());
        EXPECT_FALSE(pages(*form)->isTabVisible(pages(*form)->indexOf(form->SystemsPage())));

        ASSERT_TRUE(actions.Execute(QStringLiteral("SystemsOn")));
        EXPECT_TRUE(menu->menuAction()->isVisible());
        EXPECT_TRUE(actions.Action(QStringLiteral("SystemStakeFilter"))->isVisible());
        EXPECT_EQ(pages(*form)->currentWidget(), form->SystemsPage());
        EXPECT_EQ(form->SystemsPage()->List()->ItemCount(), 1);
        actions.UpdateAll();
        EXPECT_TRUE(actions.Action(QStringLiteral("SystemsOn"))->isChecked());
        // The view menu shows the same toggle among the tabs.
        QAction* tab = MenuItem(form->findChild<QMenu*>(QStringLiteral("menuView")), QStringLiteral("SystemsOn"));
        ASSERT_NE(tab, nullptr);
        EXPECT_NE(tab, actions.Action(QStringLiteral("SystemsOn")));
        EXPECT_EQ(PlainText(tab), U("Вкладка \"Системы\""));
        EXPECT_TRUE(tab->isChecked());
        EXPECT_FALSE(SaveScreenshot(form.get(), QStringLiteral("SystemsTab"), QSize(1100, 700)).isEmpty());
    }
    // The next start shows the tab again, filled, without making it the current page.
    {
        auto form = Open();
        EXPECT_TRUE(pages(*form)->isTabVisible(pages(*form)->indexOf(form->SystemsPage())));
        EXPECT_NE(pages(*form)->currentWidget(), form->SystemsPage());
        EXPECT_EQ(form->SystemsPage()->List()->ItemCount(), 1);
        QAction* tab = MenuItem(form->findChild<QMenu*>(QStringLiteral("menuView")), QStringLiteral("SystemsOn"));
        ASSERT_NE(tab, nullptr);
        tab->trigger();
        EXPECT_FALSE(tab->isChecked());
        EXPECT_FALSE(form->Actions()->Action(QStringLiteral("SystemsOn"))->isChecked());
        EXPECT_EQ(form->SystemsPage()->List()->ItemCount(), 0);
        EXPECT_FALSE(form->findChild<QMenu*>(QStringLiteral("menuSystems"))->menuAction()->isVisible());
    }
    EXPECT_TRUE(FBoxes.Boxes().isEmpty());
    RestoreServerUrl(previous);
}

// Every menu of the menu bar, item by item (submenus by name), in the order the player finds them.
TEST_F(MainMenusTest, EveryMenuHoldsItsCommandsInTheirOrder)
{
    auto form = Open();
    struct TCase {
        const char* Menu;
        const char* Title;
        QStringList Items;
    };
    const TCase cases[] = {
        {"menuFile", "Файл", {"menuLanguages", "EditConfig", "EditShredding", "EditProxy", "ExitProgram"}},
        {"menuLanguages", "Язык интерфейса", {"lngOther1049"}},
        {"menuDraws", "Архив тиражей",
         {"DrawsInfo", "DrawsDownload", "menuAutoDownload", "DrawsImport", "DrawsExport", "DrawsXlsExport", "DrawsAdd",
          "DrawsEdit", "DrawsDel", "DrawsSorted"}},
        {"menuAutoDownload", "Автозагрузка при запуске программы", {"AutoDownload0", "AutoDownload1", "AutoDownload2"}},
        {"menuCombs", "Комбинации",
         {"CombsInfo", "CombsCheckNums", "CombsFindInDraws", "CombsGen", "CombsDelExists", "CombsDelSelected",
          "CombsCopy", "CombsPaste", "CombsSelectAll", "CombsOpen", "CombsSave", "CombsUndo", "CombsXlsExport"}},
        {"menuStat", "Статистика",
         {"FiltersManager", "FiltersReset", "FiltersInfo", "DrawsStatExportToExcel", "AnalyzeRepeats",
          "TotalSumCombs"}},
        {"menuStakes", "Ставки",
         {"StakeAdd", "StakeAddRandom", "StakeAddSelected", "StakeAddAll", "SystemStakeFilter", "SystemStakeAll",
          "StakeDel", "StakeFilter", "StakeClear", "StakesGraphDraws", "StakesXlsExport", "StakesCheckManual",
          "LogStakes", "LogStakesDelete", "StakesScroll", "StakesCheckLine"}},
        {"menuRatings", "Рейтинг",
         {"StakesGraphOverlap", "StakesGraphProfits", "RatingsGraphOverlap", "menuRatingsEff", "RatingsRefresh",
          "RatingsToScript", "RatingsExport", "RatingsXlsExport"}},
        {"menuRatingsEff", "Эффективность (столбцы E0..n)", {"RatingsEffMode0", "RatingsEffMode1", "RatingsEffMode2"}},
        {"menuTables", "Регуляры", {"TablesAdd", "TablesDel", "TablesStakeAdd", "TablesStakeTest"}},
        {"menuSystems", "Системы",
         {"SystemsOn", "SystemsDownload", "SystemsRefresh", "SystemsAdd", "SystemsProp", "SystemsDel"}},
        {"menuScript", "Сценарий",
         {"ScriptOpen", "ScriptSave", "menuScriptLibrary", "ScriptAdd", "ScriptEmpty", "ScriptLoad", "ScriptClone",
          "ScriptEdit", "ScriptDel", "ScriptClr", "ScriptUp", "ScriptDown", "ScriptRun", "ScriptTest", "ScriptStop",
          "LogToggle", "LogsDelete", "StakesCheckLine"}},
        {"menuScriptLibrary", "Online-каталог сценариев",
         {"ScriptLibrary", "ScriptLibraryDownload", "ScriptLibraryView", "ScriptLibraryUpload", "ScriptLibraryReplace",
          "ScriptLibraryDelete", "menuScriptLibraryRate", "ScriptLibraryRates", "ScriptLibraryRefresh"}},
        {"menuScriptLibraryRate", "Оценить",
         {"ScriptLibraryRate1", "ScriptLibraryRate2", "ScriptLibraryRate3", "ScriptLibraryRate4",
          "ScriptLibraryRate5", "ScriptLibraryHide", "ScriptLibraryRate0"}},
        {"menuView", "Вид",
         {"TabGraps", "TabCard", "TabLayout", "TabWeek", "TabTables", "SystemsOn", "ViewColorDraws", "ViewColorCombs",
          "ViewColorCard", "ViewColorCardSequences", "ViewShemaGradient"}},
        {"menuHelp", "Справка",
         {"GetHelp", "About", "AutoSelfUpdate", "CheckUpdate", "OpenTirmaSite", "urlMainSite", "urlBlog", "urlYT",
          "urlAuthText", "urlVK", "urlOK", "urlAuthSite", "urlTG"}},
    };
    QStringList bar;
    for (const QAction* action : form->menuBar()->actions())
        bar.append(action->menu()->objectName());
    EXPECT_EQ(bar, QStringList({"menuFile", "menuDraws", "menuCombs", "menuStat", "menuStakes", "menuRatings",
                                "menuTables", "menuSystems", "menuScript", "menuView", "menuHelp"}));
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Menu);
        const auto* menu = form->findChild<QMenu*>(QLatin1String(c.Menu));
        ASSERT_NE(menu, nullptr);
        EXPECT_EQ(PlainText(menu->menuAction()), U(c.Title));
        EXPECT_EQ(ActionNames(menu), c.Items);
        // Each item is the registered command of its name; the view menu's tab of the systems is
        // an item of its own that runs that command (see SystemPlayShowsItsTabMenuAndStakes...).
        for (QAction* item : menu->actions()) {
            const bool systemsTab =
                QLatin1String(c.Menu) == QLatin1String("menuView") && item->objectName() == "SystemsOn";
            if (!item->isSeparator() && !item->menu() && !systemsTab) {
                EXPECT_EQ(form->Actions()->Action(item->objectName()), item) << item->objectName().toStdString();
            }
        }
        // No group is empty: a separator stands between two items.
        const QList<QAction*> items = menu->actions();
        for (qsizetype i = 0; i < items.size(); ++i) {
            if (items[i]->isSeparator()) {
                EXPECT_TRUE(i > 0 && i + 1 < items.size() && !items[i + 1]->isSeparator()) << i;
            }
        }
    }

    // A command in two menus is one command: both items run it and show its state.
    TActionRegistry& actions = *form->Actions();
    const auto* stakes = form->findChild<QMenu*>(QStringLiteral("menuStakes"));
    const auto* script = form->findChild<QMenu*>(QStringLiteral("menuScript"));
    EXPECT_EQ(MenuItem(stakes, "StakesCheckLine"), actions.Action(QStringLiteral("StakesCheckLine")));
    EXPECT_EQ(MenuItem(script, "StakesCheckLine"), actions.Action(QStringLiteral("StakesCheckLine")));
    EXPECT_EQ(MenuItem(form->findChild<QMenu*>(QStringLiteral("menuSystems")), "SystemsOn"),
              actions.Action(QStringLiteral("SystemsOn")));
    EXPECT_EQ(PlainText(actions.Action(QStringLiteral("SystemsOn"))), U("Системная игра"));
    EXPECT_FALSE(actions.Contains(QStringLiteral("SystemsTab")));
}

// A key that two commands share runs the one of the page or list that has the focus: only that
// command's action holds it, so no key press is ambiguous. Yet every item of every menu and popup
// shows the key of its command, in the same words, whichever list has the focus. Keys that the
// desktop takes for itself (Ctrl+Alt+F1..F12 switch to a text console) are on no command.
TEST_F(MainMenusTest, EveryItemShowsItsKeyWhichOnlyTheCommandOfTheFocusHolds)
{
    auto form = Open();
    ASSERT_TRUE(ActivateWindow(form.get()));
    // The system play's menu is shown while it is on.
    ASSERT_TRUE(form->Actions()->Execute(QStringLiteral("SystemsOn")));
    TActionRegistry& actions = *form->Actions();
    // Every item of every menu and popup, with the command it runs.
    QList<QAction*> items;
    for (const QMenu* menu : form->findChildren<QMenu*>())
        for (QAction* action : menu->actions())
            if (!action->isSeparator() && !action->menu() && !items.contains(action))
                items.append(action);
    ASSERT_GT(items.size(), 100);
    // The key each item shows; items of commands without a key show none.
    const QMap<QString, QString> keys = {
        {"ExitProgram", "Alt+F4"}, {"DrawsDownload", "F3"}, {"CombsFindInDraws", "Ctrl+F"}, {"CombsGen", "F2"},
        {"CombsDelExists", "Ctrl+E"}, {"CombsDelSelected", "Ctrl+Del"}, {"CombsCopy", "Ctrl+C"},
        {"CombsPaste", "Ctrl+V"}, {"CombsSelectAll", "Ctrl+A"}, {"CombsOpen", "Ctrl+O"}, {"CombsSave", "Ctrl+S"},
        {"CombsUndo", "Ctrl+Z"}, {"FiltersManager", "F7"}, {"FiltersReset", "Ctrl+F7"}, {"FiltersInfo", "F8"},
        {"StatFilter_Include", "F7"}, {"StatFilter_Exclude", "Ctrl+F7"}, {"StakeAdd", "F4"},
        {"StakeAddRandom", "Ctrl+F4"}, {"SystemStakeFilter", "Alt+J"}, {"SystemStakeAll", "Ctrl+Alt+J"},
        {"StakeDel", "Ctrl+Del"}, {"StakeFilter", "Alt+D"}, {"StakeClear", "Ctrl+Shift+Del"},
        {"StakesGraphDraws", "F6"}, {"StakesCheckManual", "Ctrl+F5"}, {"StakesGraphOverlap", "Ctrl+F6"},
        {"StakesGraphProfits", "Alt+F6"}, {"RatingsRefresh", "F5"}, {"SystemsOn", "Ctrl+J"},
        {"ScriptOpen", "Ctrl+J"}, {"ScriptSave", "Ctrl+I"}, {"ScriptLibrary", "Ctrl+L"}, {"ScriptAdd", "Ctrl+Ins"},
        {"ScriptEmpty", "Ctrl+Alt+Ins"}, {"ScriptClone", "Ctrl+K"}, {"ScriptEdit", "Ctrl+Ввод"},
        {"ScriptDel", "Ctrl+Del"}, {"ScriptUp", "Ctrl+Вверх"}, {"ScriptDown", "Ctrl+Вниз"}, {"ScriptRun", "F10"},
        {"ScriptTest", "Ctrl+F10"}, {"ScriptStop", "Ctrl+X"}, {"GetHelp", "F1"},
    };

    struct TCase {
        const char* Page;    // of pcMain or pcLists, brought into view first
        const char* Focus;
        QStringList Held;    // "command=key" of the shared keys
    };
    const TCase cases[] = {
        {"tsScript", "lvScript",
         {"ScriptOpen=Ctrl+J", "SystemsOn=", "FiltersManager=F7", "StatFilter_Include=", "ScriptDel=Ctrl+Del",
          "CombsDelSelected=", "StakeDel="}},
        {"tsDrawsStat", "lvDrawsStat",
         {"ScriptOpen=", "SystemsOn=Ctrl+J", "FiltersManager=", "StatFilter_Include=F7", "ScriptDel=",
          "CombsDelSelected=", "StakeDel="}},
        {"tsCombs", "lvCombs",
         {"ScriptOpen=", "SystemsOn=Ctrl+J", "FiltersManager=F7", "StatFilter_Include=", "ScriptDel=",
          "CombsDelSelected=Ctrl+Del", "StakeDel="}},
        {"tsStakes", "sgStakes",
         {"ScriptOpen=", "SystemsOn=Ctrl+J", "FiltersManager=F7", "StatFilter_Include=", "ScriptDel=",
          "CombsDelSelected=", "StakeDel=Ctrl+Del"}},
        {"tsDraws", "lvDraws",
         {"ScriptOpen=", "SystemsOn=Ctrl+J", "FiltersManager=F7", "StatFilter_Include=", "ScriptDel=",
          "CombsDelSelected=", "StakeDel="}},
    };
    QSet<QString> seen;
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Focus);
        ShowPage(*form, c.Page);
        auto* focus = form->findChild<QWidget*>(QLatin1String(c.Focus));
        focus->setFocus();
        QApplication::processEvents();
        ASSERT_EQ(QApplication::focusWidget(), focus);
        QStringList held;
        for (const QString& entry : c.Held) {
            const QString name = entry.section('=', 0, 0);
            held.append(name + '=' + actions.Action(name)->shortcut().toString(QKeySequence::PortableText));
        }
        EXPECT_EQ(held, c.Held);
        // No key held by two items that run different commands.
        QMap<QString, QString> commandOfKey;
        for (const QAction* item : items) {
            const QString key = item->shortcut().toString(QKeySequence::PortableText);
            if (key.isEmpty())
                continue;
            EXPECT_FALSE(key.startsWith("Ctrl+Alt+F")) << item->objectName().toStdString();
            const QString other = commandOfKey.value(key, item->objectName());
            EXPECT_EQ(other, item->objectName()) << key.toStdString();
            commandOfKey.insert(key, item->objectName());
        }
        for (QMenu* menu : form->findChildren<QMenu*>()) {
            // Open as the player opens it: the menu lays out its items then.
            menu->popup(form->mapToGlobal(QPoint(20, 20)));
            QApplication::processEvents();
            for (const QAction* item : menu->actions()) {
                if (item->isSeparator() || item->menu())
                    continue;
                const QString text = item->text();
                const QString shown = text.contains('\t') ? text.section('\t', 1) : QString();
                EXPECT_EQ(shown, keys.value(item->objectName()))
                    << menu->objectName().toStdString() << ": " << item->objectName().toStdString();
                // The caption the program compares has no key in it.
                EXPECT_FALSE(PlainText(item).contains('\t')) << item->objectName().toStdString();
                seen.insert(item->objectName());
            }
            if (QLatin1String(c.Focus) == QLatin1String("lvCombs") && menu->objectName() == "menuScript")
                SaveScreenshot(menu, QStringLiteral("MenuKeysScript"), menu->sizeHint());
            menu->hide();
        }
    }
    for (auto it = keys.cbegin(); it != keys.cend(); ++it)
        EXPECT_TRUE(seen.contains(it.key())) << it.key().toStdString();
    EXPECT_TRUE(actions.Action(QStringLiteral("StakeAddAll"))->shortcut().isEmpty());
    EXPECT_TRUE(actions.Action(QStringLiteral("StakeAddSelected"))->shortcut().isEmpty());
}

TEST_F(MainMenusTest, OnlineLibraryFillsAtStartUpAndItsPanelIsRemembered)
{
    TScriptLibraryEnv library;
    library.AddTwoEntries();
    const auto listRequests = [&] {
        return std::count_if(library.Server.Requests().begin(), library.Server.Requests().end(),
                             [](const TStandInRequest& request) { return request.Path == "/scripts/scr_getlist.php"; });
    };
    int shown = 0;
    {
        auto form = Open();
        TRListView* list = form->OnlineScriptsPanel()->LvOnlineScripts();
        shown = list->ItemCount();
        EXPECT_GT(shown, 0);
        EXPECT_EQ(listRequests(), 1);
        TActionRegistry& actions = *form->Actions();
        EXPECT_TRUE(actions.Action(QStringLiteral("ScriptLibrary"))->isChecked());
        ASSERT_TRUE(actions.Execute(QStringLiteral("ScriptLibrary")));
        EXPECT_FALSE(form->OnlineScriptsPanel()->isVisibleTo(form.get()));
        EXPECT_EQ(list->ItemCount(), 0);
    }
    // Hidden at the next start: the catalogue is not asked for until it is shown again.
    auto form = Open();
    EXPECT_FALSE(form->OnlineScriptsPanel()->isVisibleTo(form.get()));
    EXPECT_EQ(listRequests(), 1);
    ASSERT_TRUE(form->Actions()->Execute(QStringLiteral("ScriptLibrary")));
    EXPECT_EQ(form->OnlineScriptsPanel()->LvOnlineScripts()->ItemCount(), shown);
    EXPECT_TRUE(FBoxes.Boxes().isEmpty());
    auto* pages = form->findChild<QTabWidget*>(QStringLiteral("pcMain"));
    pages->setCurrentWidget(form->findChild<QWidget*>(QStringLiteral("tsScript")));
    EXPECT_FALSE(SaveScreenshot(form.get(), QStringLiteral("ScriptTabWithLibrary"), QSize(1100, 700)).isEmpty());
}

TEST_F(MainMenusTest, HelpMenuOpensTheHelpFileOnlyWhenItIsThere)
{
    auto form = Open();
    const auto* help = form->findChild<QMenu*>(QStringLiteral("menuHelp"));
    ASSERT_NE(help, nullptr);
    EXPECT_EQ(ActionNames(help).mid(0, 4), QStringList({"GetHelp", "About", "AutoSelfUpdate", "CheckUpdate"}));
    EXPECT_EQ(ActionNames(help).mid(ActionNames(help).indexOf("OpenTirmaSite")),
              QStringList({"OpenTirmaSite", "urlMainSite", "urlBlog", "urlYT", "urlAuthText", "urlVK", "urlOK",
                           "urlAuthSite", "urlTG"}));
    EXPECT_FALSE(form->Actions()->Action(QStringLiteral("GetHelp"))->isEnabled());
    EXPECT_EQ(form->Actions()->Action(QStringLiteral("GetHelp"))->shortcut(), QKeySequence(Qt::Key_F1));

    // A page opens in the browser, at a secure address.
    ASSERT_TRUE(form->Actions()->Execute(QStringLiteral("urlBlog")));
    ASSERT_EQ(FOpened.size(), 1);
    EXPECT_EQ(FOpened[0].Kind, TOpenRequest::TKind::Url);
    EXPECT_TRUE(FOpened[0].Target.startsWith("https://")) << FOpened[0].Target.toStdString();
    form.reset();

    // The help file is looked up at start-up; with it beside the program the command opens it.
    WriteFileBytes(FFolder.File("Kelmar_RUS.chm"), "help");
    form = Open();
    ASSERT_TRUE(form->Actions()->Execute(QStringLiteral("GetHelp")));
    ASSERT_EQ(FOpened.size(), 2);
    EXPECT_EQ(QFileInfo(FOpened[1].Target).fileName(), "Kelmar_RUS.chm");
}

TEST_F(MainMenusTest, UpdateSearchReportsAMissingConfigurationAndNoUpdate)
{
    // The configuration comes from a folder that stands for the maker's server.
    QTemporaryDir server;
    const QByteArray previous = qgetenv("TAVRIX_SERVER_URL");
    qputenv("TAVRIX_SERVER_URL", server.path().toUtf8());
    auto form = Open();
    ASSERT_TRUE(form->Actions()->Execute(QStringLiteral("CheckUpdate")));
    ASSERT_EQ(FBoxes.Boxes().size(), 1);
    EXPECT_TRUE(FBoxes.Last().Text.startsWith(U("Ошибка поиска обновлений!"))) << FBoxes.Last().Text.toStdString();

    QDir(server.path()).mkpath(QStringLiteral("files/autoupdates"));
    WriteFileBytes(server.filePath("files/autoupdates/Kelma_AU.cfg"), "[Other]\r\nVerId=9.9.9.99\r\nDownloadUrl=/x\r\n");
    ASSERT_TRUE(form->Actions()->Execute(QStringLiteral("CheckUpdate")));
    ASSERT_EQ(FBoxes.Boxes().size(), 2);
    EXPECT_EQ(FBoxes.Last().Text, U("Обновлений не найдено!"));
    EXPECT_TRUE(form->isVisible());
    RestoreServerUrl(previous);
}

TEST_F(MainMenusTest, AboutBoxShowsTheProgramsTitleAndVersion)
{
    auto form = Open();
    QString title;
    QTimer::singleShot(0, [&] {
        QWidget* dialog = QApplication::activeModalWidget();
        ASSERT_NE(dialog, nullptr);
        title = dialog->objectName();
        dialog->close();
    });
    ASSERT_TRUE(form->Actions()->Execute(QStringLiteral("About")));
    EXPECT_EQ(title, "FormAbout");
}

TEST_F(MainMenusTest, LanguageMenuHoldsTheBuiltInRussianWithoutModules)
{
    auto form = Open();
    const auto* languages = form->findChild<QMenu*>(QStringLiteral("menuLanguages"));
    ASSERT_NE(languages, nullptr);
    ASSERT_EQ(ActionNames(languages), QStringList({"lngOther1049"}));
    EXPECT_TRUE(languages->actions().first()->isChecked());
}

TEST_F(MainMenusTest, FirstRunDialogComesOnlyWhenSwitchedOnAndCanBeSwitchedOff)
{
    WriteFormState(QStringLiteral("FirstRun=1\r\n"));
    QString shown;
    // The dialog comes last in the start-up; tick "do not show again" and close it.
    std::function<void()> answer;
    answer = [&] {
        auto* dialog = QApplication::activeModalWidget();
        if (!dialog) {
            QTimer::singleShot(20, answer);
            return;
        }
        shown = dialog->objectName();
        if (auto* box = dialog->findChild<QCheckBox*>(QStringLiteral("cbDisable")))
            box->setChecked(true);
        dialog->close();
    };
    QTimer::singleShot(0, answer);
    auto form = Open();
    EXPECT_EQ(shown, "FormFirstRun");
    form.reset();
    EXPECT_FALSE(ReadFileBytes(FFolder.DataFile(".frm")).contains("FirstRun=1"));
}

} // namespace
