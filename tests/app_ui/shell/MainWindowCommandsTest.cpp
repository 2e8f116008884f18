// The main window's commands: menus, captions, keys, and the busy state.

#include "tests/app_ui/shell/MainWindowTestEnv.h"

#include "tests/common/TestHelpers.h"

#include "support/RVclUtils.h"
#include "support/ui/RActions.h"
#include "support/ui/RStatusBar.h"
#include "tests/fixtures/ArchiveFixtures.h"
#include "tests/support_ui/KeyInput.h"

#include <QAction>
#include <QApplication>
#include <QMap>
#include <QMenu>
#include <QMenuBar>
#include <QSet>
#include <QStatusTipEvent>
#include <QTemporaryDir>
#include <QToolButton>

#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>

namespace {

// The captions and keys of a few commands, and the download button that shows the download command.
TEST_F(MainWindowTest, CommandCaptionsKeysAndTheDownloadButton)
{
    auto form = Open();
    const TActionRegistry* actions = form->Actions();
    EXPECT_EQ(actions->Caption("DrawsDownload"), "Загрузка");
    EXPECT_EQ(PlainText(actions->Action("DrawsDownload")), "Загрузка");
    EXPECT_EQ(actions->Action("DrawsDownload")->statusTip(), "Загрузка архива тиражей с сайта лотереи");
    EXPECT_EQ(actions->Action("DrawsDownload")->shortcut(), QKeySequence(Qt::Key_F3));
    EXPECT_EQ(actions->Caption("ExitProgram"), "Выход");
    EXPECT_EQ(actions->Action("ExitProgram")->shortcut(), QKeySequence(Qt::ALT | Qt::Key_F4));
    EXPECT_EQ(actions->Caption("EditProxy"), "Параметры proxy-сервера");
    EXPECT_EQ(actions->Caption("DrawsSorted"), "Упорядочить MIN->MAX");
    auto* button = form->findChild<QToolButton*>(QStringLiteral("btnDrawsDownload"));
    EXPECT_EQ(button->defaultAction(), actions->Action("DrawsDownload"));
    EXPECT_EQ(form->Action(TCommand::DrawsDownload), actions->Action("DrawsDownload"));
    // The button shows the caption itself, without the menu's mnemonic.
    EXPECT_EQ(button->text(), "Загрузка");
}

TEST_F(MainWindowTest, MenusAndTheirItemsHaveMnemonicsOfTheirOwn)
{
    auto form = Open();
    const auto shown = [](const QWidget* menuOrBar) {
        QStringList texts;
        for (const QAction* action : menuOrBar->actions())
            if (!action->isSeparator() && action->isVisible())
                texts.append(action->text());
        return texts;
    };
    EXPECT_EQ(shown(form->menuBar()), QStringList({"&Файл", "&Архив тиражей", "&Комбинации", "&Статистика", "С&тавки",
                                                   "&Рейтинг", "Р&егуляры", "С&ценарий", "&Вид", "С&правка"}));
    const auto* file = form->findChild<QMenu*>(QStringLiteral("menuFile"));
    const auto* draws = form->findChild<QMenu*>(QStringLiteral("menuDraws"));
    // An item with a key shows it after a tab.
    EXPECT_EQ(shown(file), QStringList({"&Язык интерфейса", "&Параметры", "&Формулы шинковки", "Параметры &proxy-сервера",
                                        "&Выход\tAlt+F4"}));
    EXPECT_EQ(shown(draws), QStringList({"&Сведения о тираже", "&Загрузка\tF3", "&Автозагрузка при запуске программы", "&Импорт из CSV-файла",
                                         "&Экспорт в CSV-файл", "Экспорт &в Microsoft Excel", "&Добавить", "Из&менить", "&Удалить",
                                         "Упорядочить &MIN->MAX"}));

    // Alt and the underlined letter open the menu.
    ASSERT_TRUE(ActivateWindow(form.get()));
    TypeKey(form.get(), QChar(u'А').unicode(), Qt::AltModifier, QStringLiteral("а"));
    EXPECT_EQ(QApplication::activePopupWidget(), draws);
    if (QWidget* popup = QApplication::activePopupWidget())
        popup->close();

    // The captions the program compares stay as they are, and so does the form-state file.
    for (QAction* action : form->Actions()->Actions()) {
        EXPECT_FALSE(form->Actions()->Caption(action->objectName()).contains('&')) << action->objectName().toStdString();
        EXPECT_EQ(PlainText(action), form->Actions()->Caption(action->objectName()));
    }
    form.reset();
    EXPECT_FALSE(ReadFileBytes(FFolder.DataFile(".frm")).contains('&'));
}

// Keys that two commands may share: each runs the command of the page or list that has the
// focus, and neither command is reached by that key elsewhere.
struct TSharedKey {
    QKeySequence Key;
    const char* Reason;
};
const TSharedKey kSharedKeys[] = {
    {QKeySequence(Qt::CTRL | Qt::Key_Delete),
     "deletes the selected rows of the list that has the focus: combinations, stakes, scenario lines"},
    {QKeySequence(Qt::CTRL | Qt::Key_J), "opens a scenario file on the scenario page, the system game elsewhere"},
    {QKeySequence(Qt::Key_F7),
     "keeps the combinations of the selected characteristics in the statistics table, opens the "
     "favourite methods elsewhere"},
    {QKeySequence(Qt::CTRL | Qt::Key_F7),
     "drops the combinations of the selected characteristics in the statistics table, resets the "
     "favourite methods elsewhere"},
};

TEST_F(MainWindowTest, EveryCommandHasAUniqueNameACaptionAndAKeyOfItsOwn)
{
    auto form = Open();
    const TActionRegistry* actions = form->Actions();
    const QList<QAction*> all = actions->Actions();
    ASSERT_FALSE(all.isEmpty());
    QSet<QString> names;
    QMap<QString, QList<const QAction*>> byKey;
    for (const QAction* action : all) {
        const QString name = action->objectName();
        EXPECT_FALSE(name.isEmpty());
        EXPECT_FALSE(names.contains(name)) << name.toStdString();
        names.insert(name);
        EXPECT_EQ(actions->Action(name), action) << name.toStdString();
        EXPECT_FALSE(actions->Caption(name).trimmed().isEmpty()) << name.toStdString();
        // The key as registered: a shared one is shown only where it runs the command.
        if (!actions->Key(name).isEmpty())
            byKey[actions->Key(name).toString(QKeySequence::PortableText)].append(action);
    }
    for (auto it = byKey.cbegin(); it != byKey.cend(); ++it) {
        if (it->size() < 2)
            continue;
        const bool allowed = std::any_of(std::begin(kSharedKeys), std::end(kSharedKeys), [&](const TSharedKey& shared) {
            return shared.Key.toString(QKeySequence::PortableText) == it.key();
        });
        EXPECT_TRUE(allowed) << it.key().toStdString() << " is shared";
        // A shared key works only inside its command's page or list, but for one command that
        // takes it everywhere else.
        const auto windowWide = std::count_if(it->begin(), it->end(), [](const QAction* action) {
            return action->shortcutContext() != Qt::WidgetWithChildrenShortcut;
        });
        EXPECT_LE(windowWide, 1) << it.key().toStdString();
    }
    // Alt+F4 closes the window.
    ASSERT_EQ(byKey.value("Alt+F4").size(), 1);
    EXPECT_EQ(byKey.value("Alt+F4").first(), form->Action(TCommand::ExitProgram));
}

using MainWindowDeathTest = MainWindowTest;

TEST_F(MainWindowDeathTest, AskingForACommandWithoutARowStopsTheProgram)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    auto form = Open();
    EXPECT_DEATH(form->Action(static_cast<TCommand>(-7)), "command #-7 is not registered");
    EXPECT_DEATH(form->Actions()->Execute(QStringLiteral("DrawsFromNowhere")), "command DrawsFromNowhere is not registered");
}

TEST_F(MainWindowTest, BusyStateDisablesEveryCommandAndSelectionEnablesRowCommands)
{
    FFolder.WriteArchive(MakeArchive(50));
    WriteFormState(QStringLiteral("SortedDraws=1\r\n"));
    auto form = Open();
    TActionRegistry* actions = form->Actions();
    actions->UpdateAll();
    for (const char* name : {"EditProxy", "ExitProgram", "DrawsDownload", "DrawsAdd"})
        EXPECT_TRUE(actions->Action(name)->isEnabled()) << name;
    // Without a selected row there is nothing to edit or delete; the digit order is shown only.
    for (const char* name : {"DrawsEdit", "DrawsDel", "DrawsSorted"})
        EXPECT_FALSE(actions->Action(name)->isEnabled()) << name;
    EXPECT_TRUE(actions->Action("DrawsSorted")->isChecked());

    DrawsList(*form)->SetSelected(4);
    actions->UpdateAll();
    EXPECT_TRUE(actions->Action("DrawsEdit")->isEnabled());
    EXPECT_TRUE(actions->Action("DrawsDel")->isEnabled());

    StartWait();
    for (QAction* action : actions->Actions())
        EXPECT_FALSE(action->isEnabled()) << action->objectName().toStdString();
    EXPECT_FALSE(actions->Execute("DrawsDel"));
    StopWait();
    EXPECT_TRUE(actions->Action("DrawsDel")->isEnabled());
    EXPECT_TRUE(actions->Action("DrawsDownload")->isEnabled());
    EXPECT_FALSE(actions->Action("DrawsSorted")->isEnabled());
}

TEST_F(MainWindowTest, HintsGoToTheMessagePanelUnlessALongOperationUsesIt)
{
    auto form = Open();
    QStatusTipEvent hint(QStringLiteral("Добавить данные тиража вручную"));
    QApplication::sendEvent(form.get(), &hint);
    EXPECT_EQ(form->StatusBar()->PanelText(6), "Добавить данные тиража вручную");

    StartWait();
    ShowInStatusBar(QStringLiteral("Сохранение файла тиражей..."));
    QStatusTipEvent later(QStringLiteral("Удалить выделенные тиражи из списка"));
    QApplication::sendEvent(form.get(), &later);
    EXPECT_EQ(form->StatusBar()->PanelText(6), "Сохранение файла тиражей...");
    StopWait();
}

// Whatever a command saves, it never writes over a file the program keeps: the name is refused
// and asked for again; the same refused name twice cancels.
TEST_F(MainWindowTest, SavesNeverWriteOverTheProgramsOwnFiles)
{
    FFolder.WriteArchive(MakeDraws({{1, 2}, {3, 4}}));
    const QByteArray archive = ReadFileBytes(FFolder.DataFile(".ldr"));
    QTemporaryDir elsewhere;
    const QString viaLink = elsewhere.filePath("prog");
    ASSERT_TRUE(QFile::link(FFolder.Path(), viaLink));
    const struct {
        QStringList Names;
        int Refused;
        int Asked;
        QString Written;   // none: the export was cancelled
    } cases[] = {
        {{FFolder.DataFile(".ldr")}, 1, 2, ""},
        {{FFolder.DataFile(".ldr"), FFolder.DataFile(".ldr"), elsewhere.filePath("never.csv")}, 2, 2, ""},
        {{viaLink + "/Tavrix2_2r10.ini", FFolder.File("mine.csv")}, 1, 2, FFolder.File("mine.csv")},
        {{FFolder.File("Prefetchs/draws.csv")}, 1, 2, ""},
        {{FFolder.File("Tavrix2_2r10.lsc")}, 0, 1, FFolder.File("Tavrix2_2r10.lsc")},
        {{elsewhere.filePath("Tavrix2_2r10.ldr")}, 0, 1, elsewhere.filePath("Tavrix2_2r10.ldr")},
    };
    auto form = Open();
    for (const auto& c : cases) {
        TScriptedPrompts prompts;
        prompts.Names = c.Names;
        FBoxes.Clear();
        ASSERT_TRUE(Run(*form, "DrawsExport"));
        ASSERT_EQ(FBoxes.Boxes().size(), c.Refused) << c.Names[0].toStdString();
        if (c.Refused > 0) {
            EXPECT_EQ(FBoxes.Last().Text, QStringLiteral("Файл \"%1\" программа хранит для себя (архив тиражей, ставки, "
                                                         "настройки и другие её данные), записывать в него нельзя.\n\n"
                                                         "Выберите другое имя файла.")
                                              .arg(c.Names[0]));
        }
        EXPECT_EQ(prompts.Prompts.size(), c.Asked);
        EXPECT_TRUE(c.Written.isEmpty() || ReadFileBytes(c.Written).startsWith("1;")) << c.Written.toStdString();
        EXPECT_EQ(ReadFileBytes(FFolder.DataFile(".ldr")), archive);
    }
    EXPECT_FALSE(QFile::exists(elsewhere.filePath("never.csv")));
}

} // namespace
