#include "support/ui/RActions.h"

#include "platform/Exceptions.h"
#include "support/RDialogsScripted.h"
#include "support/RVclUtils.h"
#include "tests/support_ui/KeyInput.h"
#include "tests/support_ui/TestCommands.h"

#include <QAction>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QListWidget>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QThread>
#include <QToolButton>

#include <gtest/gtest.h>

TEST(ActionRegistry, BusyCounterDisablesAtOnceAndZeroEnablesAgain)
{
    TActionRegistry registry(nullptr, 60000);   // the idle timer plays no part here
    int runs = 0;
    QAction* download = registry.Add("DrawsDownload", "Загрузить", [&runs] { ++runs; });
    QAction* stop = registry.Add("ScriptStop", "Остановить", [] {}, {}, TActionRegistry::TBusyRule::Always);
    EXPECT_EQ(download->objectName(), "DrawsDownload");
    EXPECT_EQ(registry.Action("DrawsDownload"), download);
    EXPECT_FALSE(registry.Contains("Nothing"));
    EXPECT_TRUE(download->isEnabled());

    StartWait();
    EXPECT_FALSE(download->isEnabled());
    EXPECT_TRUE(stop->isEnabled());
    // Neither the action nor a direct call starts the command while busy.
    download->trigger();
    EXPECT_FALSE(registry.Execute("DrawsDownload"));
    EXPECT_EQ(runs, 0);
    EXPECT_TRUE(registry.Execute("ScriptStop"));
    StartWait();
    StopWait();
    EXPECT_FALSE(download->isEnabled());
    StopWait();
    EXPECT_TRUE(download->isEnabled());
    download->trigger();
    EXPECT_EQ(runs, 1);
    EXPECT_TRUE(registry.CanExecute("DrawsDownload"));
}

TEST(ActionRegistry, PredicatesAreReadOnTheIdleTimerAndBeforeEveryRun)
{
    TActionRegistry registry(nullptr, 10);
    bool haveDraws = false;
    int runs = 0;
    QAction* action = registry.Add("DrawsExport", "Экспорт", [&runs] { ++runs; }, [&haveDraws] { return haveDraws; });
    EXPECT_FALSE(action->isEnabled());
    haveDraws = true;
    QElapsedTimer timer;
    timer.start();
    while (!action->isEnabled() && timer.elapsed() < 5000) {
        QCoreApplication::processEvents();
        QThread::msleep(2);
    }
    EXPECT_TRUE(action->isEnabled());
    // The shown state may be a tick old; the predicate is asked again when the command is run.
    haveDraws = false;
    action->trigger();
    EXPECT_EQ(runs, 0);
    EXPECT_FALSE(action->isEnabled());
}

TEST(ActionRegistry, ToggleShowsItsOptionWhateverWasClicked)
{
    TActionRegistry registry(nullptr, 60000);
    bool option = false;
    QAction* toggle = registry.AddToggle("OptionAutoUpdates", "Автообновление", [&option] { return option; },
                                         [&option] {
                                             StartWait();
                                             option = !option;
                                             StopWait();
                                         });
    EXPECT_TRUE(toggle->isCheckable());
    EXPECT_FALSE(toggle->isChecked());
    toggle->trigger();
    EXPECT_TRUE(option);
    EXPECT_TRUE(toggle->isChecked());
    // Refused while busy: the check mark stays with the option.
    StartWait();
    toggle->trigger();
    StopWait();
    EXPECT_TRUE(option);
    EXPECT_TRUE(toggle->isChecked());
    option = false;   // changed elsewhere (a scenario, a restore)
    registry.UpdateAll();
    EXPECT_FALSE(toggle->isChecked());
}

TEST(ActionRegistry, FailingCommandIsShownInAnErrorBoxAndNamesAreUnique)
{
    TScriptedBoxes boxes;
    TActionRegistry registry(nullptr, 60000);
    registry.Add("StakesCheck", "Проверить", [] { throw Exception("Файл ставок не открыт!"); });
    EXPECT_TRUE(registry.Execute("StakesCheck"));
    ASSERT_EQ(boxes.Boxes().size(), 1);
    EXPECT_EQ(boxes.Last().Title, "Ошибка");
    EXPECT_EQ(boxes.Last().Text, "Файл ставок не открыт!");
    EXPECT_TRUE(IsNotWaiting());
    EXPECT_THROW(registry.Add("StakesCheck", "Ещё раз", [] {}), Exception);
    EXPECT_EQ(registry.Actions().size(), 1);
}

TEST(ActionRegistry, CommandMayDestroyTheRegistryThatRunsIt)
{
    auto* registry = new TActionRegistry(nullptr, 60000);
    registry->Add("FileExit", "Выход", [&registry] {
        delete registry;
        registry = nullptr;
    });
    QAction* action = registry->Action("FileExit");
    action->trigger();
    EXPECT_EQ(registry, nullptr);
}

namespace {

enum class TTestCommand { DrawsDownload = 3, CombsDelSelected, ScriptDel };

TActionRegistry::TCommandSpec Spec(int id, const QString& name, const QKeySequence& shortcut = {},
                                   QWidget* scope = nullptr, std::function<void()> run = {})
{
    TActionRegistry::TCommandSpec spec = TestCommand(name, name, shortcut, scope, std::move(run));
    spec.Id = id;
    return spec;
}

} // namespace

TEST(ActionRegistry, CommandsAreFoundByIdAndByNameWithTheirTexts)
{
    TActionRegistry registry(nullptr, 60000);
    TActionRegistry::TCommandSpec spec = Spec(static_cast<int>(TTestCommand::DrawsDownload), "DrawsDownload",
                                              QKeySequence(Qt::Key_F3));
    spec.Caption = "Загрузка";
    spec.Hint = "Загрузка архива тиражей с сайта лотереи";
    QAction* download = registry.Add(spec);
    EXPECT_EQ(registry.Action(TTestCommand::DrawsDownload), download);
    EXPECT_EQ(registry.Action(3), download);
    EXPECT_EQ(registry.Action("DrawsDownload"), download);
    EXPECT_EQ(download->text(), "Загрузка");
    EXPECT_EQ(download->toolTip(), "Загрузка архива тиражей с сайта лотереи");
    EXPECT_EQ(download->statusTip(), "Загрузка архива тиражей с сайта лотереи");
    EXPECT_EQ(download->shortcut(), QKeySequence(Qt::Key_F3));
    EXPECT_FALSE(registry.Contains(TTestCommand::ScriptDel));

    // Another language: new texts, same action.
    registry.SetTexts(TTestCommand::DrawsDownload, "Download", "Download the draws");
    EXPECT_EQ(registry.Caption("DrawsDownload"), "Download");
    EXPECT_EQ(download->text(), "Download");
    EXPECT_EQ(download->statusTip(), "Download the draws");

    // An id, like a name, is taken once.
    EXPECT_THROW(registry.Add(Spec(3, "DrawsLoad")), Exception);
    EXPECT_EQ(registry.Actions().size(), 1);
    // Commands known by name only have no id to clash.
    registry.Add("EditProxy", "Параметры proxy-сервера", [] {});
    registry.Add("ExitProgram", "Выход", [] {});
    EXPECT_EQ(registry.Actions().size(), 3);
}

TEST(ActionRegistryDeathTest, AskingForACommandThatIsNotRegisteredStopsTheProgram)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    const auto registry = [] {
        auto* result = new TActionRegistry(nullptr, 60000);
        result->Add(Spec(static_cast<int>(TTestCommand::DrawsDownload), "DrawsDownload"));
        return result;
    };
    EXPECT_DEATH(registry()->Action(TTestCommand::ScriptDel), "command #5 is not registered");
    EXPECT_DEATH(registry()->Action("DrawsLoad"), "command DrawsLoad is not registered");
    EXPECT_DEATH(registry()->Execute(99), "command #99 is not registered");
    EXPECT_DEATH(registry()->CanExecute("Nothing"), "command Nothing is not registered");
    EXPECT_DEATH(registry()->SetTexts(TActionRegistry::NoId, "x", "y"), "command #-1 is not registered");
}

TEST(ActionRegistry, KeysMayBeSharedOnlyBetweenCommandsOfSeparatePages)
{
    QWidget window;
    auto* pageA = new QWidget(&window);
    auto* listInA = new QListWidget(pageA);
    auto* pageB = new QWidget(&window);
    QWidget* const none = nullptr;
    struct TCase {
        const char* What;
        QWidget* First;
        QWidget* Second;
        bool Accepted;
    };
    const TCase cases[] = {
        {"both window-wide", none, none, false},
        {"window-wide, then scoped", none, pageA, true},
        {"scoped, then window-wide", pageA, none, true},
        {"the same page", pageA, pageA, false},
        {"a page and a list on it", pageA, listInA, false},
        {"a list and its page", listInA, pageA, false},
        {"two pages", pageA, pageB, true},
        {"a list and another page", listInA, pageB, true},
    };
    const QKeySequence ctrlDel(Qt::CTRL | Qt::Key_Delete);
    for (const TCase& c : cases) {
        TActionRegistry registry(nullptr, 60000);
        registry.Add(Spec(1, "CombsDelSelected", ctrlDel, c.First));
        bool accepted = true;
        try {
            registry.Add(Spec(2, "ScriptDel", ctrlDel, c.Second));
        } catch (const Exception& e) {
            accepted = false;
            EXPECT_EQ(e.Message(), "Клавиша Ctrl+Del команды \"ScriptDel\" уже назначена команде \"CombsDelSelected\"!");
        }
        EXPECT_EQ(accepted, c.Accepted) << c.What;
        EXPECT_EQ(registry.Contains("ScriptDel"), c.Accepted) << c.What;
        // Another key never clashes.
        registry.Add(Spec(3, "ScriptOpen", QKeySequence(Qt::CTRL | Qt::Key_J), c.Second));
    }
}

// F7 keeps the selected rows while the statistics table has the focus, and opens the favourites
// anywhere else; a second command of the whole window cannot take the key too.
TEST(ActionRegistry, WindowWideCommandTakesASharedKeyOutsideTheScopedOnes)
{
    QMainWindow window;
    auto* central = new QWidget;
    auto* layout = new QHBoxLayout(central);
    auto* table = new QListWidget;
    auto* other = new QLineEdit;
    layout->addWidget(table);
    layout->addWidget(other);
    window.setCentralWidget(central);

    TActionRegistry registry(nullptr, 60000);
    registry.SetWindow(&window);
    int keeps = 0;
    int favourites = 0;
    const QKeySequence f7(Qt::Key_F7);
    registry.Add(Spec(1, "FiltersManager", f7, nullptr, [&] { ++favourites; }));
    registry.Add(Spec(2, "StatFilter_Include", f7, table, [&] { ++keeps; }));
    EXPECT_THROW(registry.Add(Spec(3, "Other", f7, nullptr)), Exception);
    ASSERT_TRUE(ActivateWindow(&window));

    struct TCase {
        QWidget* Focus;
        int Keeps;
        int Favourites;
    };
    const TCase cases[] = {{table, 1, 0}, {other, 1, 1}, {table, 2, 1}};
    for (const TCase& c : cases) {
        c.Focus->setFocus();
        QApplication::processEvents();
        ASSERT_EQ(QApplication::focusWidget(), c.Focus);
        TypeKey(&window, Qt::Key_F7);
        EXPECT_EQ(keeps, c.Keeps);
        EXPECT_EQ(favourites, c.Favourites);
    }
}

// Stand-in rows for the keys the main window lets two pages share (Ctrl+Del deletes in the
// combination list or in the scenario list, whichever has the focus).
TEST(ActionRegistry, SharedKeyRunsTheCommandOfTheListThatHasTheFocus)
{
    QMainWindow window;
    auto* central = new QWidget;
    auto* layout = new QHBoxLayout(central);
    auto* combs = new QListWidget;
    auto* scriptPage = new QWidget;
    auto* scriptLayout = new QHBoxLayout(scriptPage);
    auto* script = new QListWidget;
    scriptLayout->addWidget(script);
    auto* other = new QLineEdit;
    layout->addWidget(combs);
    layout->addWidget(scriptPage);
    layout->addWidget(other);
    window.setCentralWidget(central);

    TActionRegistry registry(nullptr, 60000);
    int combsRuns = 0;
    int scriptRuns = 0;
    int downloads = 0;
    const QKeySequence ctrlDel(Qt::CTRL | Qt::Key_Delete);
    registry.Add(Spec(static_cast<int>(TTestCommand::CombsDelSelected), "CombsDelSelected", ctrlDel, combs,
                      [&] { ++combsRuns; }));
    // The scope may be a whole page: the key works in any of its controls.
    registry.Add(Spec(static_cast<int>(TTestCommand::ScriptDel), "ScriptDel", ctrlDel, scriptPage,
                      [&] { ++scriptRuns; }));
    registry.SetWindow(&window);
    registry.Add(Spec(static_cast<int>(TTestCommand::DrawsDownload), "DrawsDownload", QKeySequence(Qt::Key_F3),
                      nullptr, [&] { ++downloads; }));
    // The commands also sit in a menu of the window; that does not widen their keys.
    QMenu* edit = window.menuBar()->addMenu("Правка");
    edit->addAction(registry.Action(TTestCommand::CombsDelSelected));
    edit->addAction(registry.Action(TTestCommand::ScriptDel));
    ASSERT_TRUE(ActivateWindow(&window));

    struct TCase {
        QWidget* Focus;
        int Combs;
        int Script;
    };
    const TCase cases[] = {{combs, 1, 0}, {script, 1, 1}, {other, 1, 1}, {combs, 2, 1}};
    int presses = 0;
    for (const TCase& c : cases) {
        c.Focus->setFocus();
        QApplication::processEvents();
        ASSERT_EQ(QApplication::focusWidget(), c.Focus);
        TypeKey(&window, Qt::Key_Delete, Qt::ControlModifier);
        // A key of the whole window works whatever has the focus (also one registered later).
        TypeKey(&window, Qt::Key_F3);
        ++presses;
        EXPECT_EQ(combsRuns, c.Combs) << presses;
        EXPECT_EQ(scriptRuns, c.Script) << presses;
        EXPECT_EQ(downloads, presses);
    }

    // While busy the keys of idle-only commands run nothing.
    StartWait();
    TypeKey(&window, Qt::Key_Delete, Qt::ControlModifier);
    TypeKey(&window, Qt::Key_F3);
    StopWait();
    EXPECT_EQ(combsRuns, 2);
    EXPECT_EQ(downloads, presses);
}

// A key that two commands share is set only on the action it runs where the focus is now, so
// that Qt never finds it ambiguous (what the menus show is MenuKeysTest's). A key of one command
// alone stays on it wherever the focus is.
TEST(ActionRegistry, SharedKeyIsHeldOnlyByTheCommandItRunsWhereTheFocusIs)
{
    QMainWindow window;
    auto* central = new QWidget;
    auto* layout = new QHBoxLayout(central);
    auto* table = new QListWidget;
    auto* combs = new QListWidget;
    auto* scriptPage = new QWidget;
    auto* scriptLayout = new QHBoxLayout(scriptPage);
    auto* script = new QListWidget;
    scriptLayout->addWidget(script);
    auto* other = new QLineEdit;
    for (QWidget* widget : {static_cast<QWidget*>(table), static_cast<QWidget*>(combs), scriptPage,
                            static_cast<QWidget*>(other)})
        layout->addWidget(widget);
    window.setCentralWidget(central);

    TActionRegistry registry(nullptr, 60000);
    registry.SetWindow(&window);
    const QKeySequence f7(Qt::Key_F7);
    const QKeySequence ctrlDel(Qt::CTRL | Qt::Key_Delete);
    const QKeySequence ctrlJ(Qt::CTRL | Qt::Key_J);
    int keeps = 0;
    int favourites = 0;
    int opens = 0;
    int systems = 0;
    registry.Add(Spec(1, "FiltersManager", f7, nullptr, [&] { ++favourites; }));
    registry.Add(Spec(2, "StatFilter_Include", f7, table, [&] { ++keeps; }));
    registry.Add(Spec(3, "CombsDelSelected", ctrlDel, combs));
    registry.Add(Spec(4, "ScriptDel", ctrlDel, scriptPage));
    registry.Add(Spec(5, "ScriptOpen", ctrlJ, scriptPage, [&] { ++opens; }));
    registry.Add(Spec(6, "SystemsOn", ctrlJ, nullptr, [&] { ++systems; }));
    registry.Add(Spec(7, "CombsGen", QKeySequence(Qt::Key_F2)));
    registry.Add(Spec(8, "CombsFind", QKeySequence(Qt::CTRL | Qt::Key_K), combs));
    ASSERT_TRUE(ActivateWindow(&window));

    // The keys held, in the order of the commands above; "" for none.
    struct TCase {
        QWidget* Focus;
        QStringList Shown;
    };
    const TCase cases[] = {
        {table, {"", "F7", "", "", "", "Ctrl+J", "F2", "Ctrl+K"}},
        {combs, {"F7", "", "Ctrl+Del", "", "", "Ctrl+J", "F2", "Ctrl+K"}},
        {script, {"F7", "", "", "Ctrl+Del", "Ctrl+J", "", "F2", "Ctrl+K"}},
        {other, {"F7", "", "", "", "", "Ctrl+J", "F2", "Ctrl+K"}},
        {table, {"", "F7", "", "", "", "Ctrl+J", "F2", "Ctrl+K"}},
    };
    for (const TCase& c : cases) {
        c.Focus->setFocus();
        QApplication::processEvents();
        ASSERT_EQ(QApplication::focusWidget(), c.Focus);
        QStringList shown;
        for (const QAction* action : registry.Actions())
            shown.append(action->shortcut().toString(QKeySequence::PortableText));
        EXPECT_EQ(shown, c.Shown) << c.Focus->metaObject()->className();
        // The keys as registered stay whatever is held.
        EXPECT_EQ(registry.Key("ScriptOpen"), ctrlJ);
        EXPECT_EQ(registry.Key("SystemsOn"), ctrlJ);
    }

    // The keys run what holds them.
    script->setFocus();
    QApplication::processEvents();
    TypeKey(&window, Qt::Key_J, Qt::ControlModifier);
    other->setFocus();
    QApplication::processEvents();
    TypeKey(&window, Qt::Key_J, Qt::ControlModifier);
    TypeKey(&window, Qt::Key_F7);
    table->setFocus();
    QApplication::processEvents();
    TypeKey(&window, Qt::Key_F7);
    EXPECT_EQ(opens, 1);
    EXPECT_EQ(systems, 1);
    EXPECT_EQ(favourites, 1);
    EXPECT_EQ(keeps, 1);
}

// A second menu may name a command in words of its own: its item is not a second command.
TEST(ActionRegistry, MenuItemOfACommandShowsItsStateAndRunsIt)
{
    TActionRegistry registry(nullptr, 60000);
    bool shown = false;
    int runs = 0;
    TActionRegistry::TCommandSpec spec = Spec(1, "SystemsOn", QKeySequence(Qt::CTRL | Qt::Key_J), nullptr, [&] {
        ++runs;
        shown = !shown;
    });
    spec.Caption = "Системная игра";
    spec.Hint = "Показать системы";
    spec.State = [&shown] { return shown; };
    QAction* command = registry.Add(std::move(spec));
    QMenu view;
    QAction* item = registry.AddMenuItem(1, "Вкладка \"Системы\"", &view);
    view.addAction(item);

    EXPECT_EQ(item->objectName(), "SystemsOn");
    EXPECT_EQ(item->parent(), &view);
    EXPECT_EQ(item->text(), "Вкладка \"Системы\"");
    EXPECT_EQ(item->statusTip(), "Показать системы");
    EXPECT_TRUE(item->isCheckable());
    // The key is the command's: one action holds it, so that it is never ambiguous.
    EXPECT_TRUE(item->shortcut().isEmpty());
    EXPECT_EQ(registry.Actions(), QList<QAction*>({command}));

    struct TStep {
        const char* What;
        QAction* Clicked;
        bool Busy;
        int Runs;
        bool Checked;
    };
    const TStep steps[] = {
        {"the item", item, false, 1, true},
        {"the command", command, false, 2, false},
        {"the item while busy", item, true, 2, false},
        {"the item again", item, false, 3, true},
    };
    for (const TStep& step : steps) {
        if (step.Busy)
            StartWait();
        EXPECT_EQ(item->isEnabled(), !step.Busy) << step.What;
        step.Clicked->trigger();
        EXPECT_EQ(runs, step.Runs) << step.What;
        EXPECT_EQ(item->isChecked(), step.Checked) << step.What;
        EXPECT_EQ(command->isChecked(), step.Checked) << step.What;
        if (step.Busy)
            StopWait();
    }
    // The option changed elsewhere: both follow at the next update.
    shown = false;
    registry.UpdateAll();
    EXPECT_FALSE(item->isChecked());

    // Another language: the hint follows the command, the caption is the menu's to set.
    registry.SetTexts(1, "System game", "Show the systems");
    EXPECT_EQ(item->statusTip(), "Show the systems");
    EXPECT_EQ(item->text(), "Вкладка \"Системы\"");
    AssignMenuMnemonics(&view);
    EXPECT_EQ(PlainText(item), "Вкладка \"Системы\"");
}

TEST(MenuMnemonics, EachItemGetsALetterOfItsOwnWithinItsMenu)
{
    struct TCase {
        QStringList Captions;
        QStringList Shown;
    };
    const TCase cases[] = {
        {{"Файл", "Архив тиражей"}, {"&Файл", "&Архив тиражей"}},
        // The first letter when free, else the first letter of a later word.
        {{"Загрузка", "Добавить", "Изменить", "Удалить", "Упорядочить MIN->MAX"},
         {"&Загрузка", "&Добавить", "&Изменить", "&Удалить", "Упорядочить &MIN->MAX"}},
        {{"Экспорт", "Экспорт в Excel", "Экспорт сейчас"}, {"&Экспорт", "Экспорт &в Excel", "Экспорт &сейчас"}},
        // Letters are compared without case; with every word start taken, any free letter.
        {{"Открыть", "объединить"}, {"&Открыть", "о&бъединить"}},
        // A literal '&' stays one.
        {{"Вход & выход", "Выход"}, {"&Вход && выход", "В&ыход"}},
        // Digits count; an item whose letters are all taken, or that has none, gets no mnemonic.
        {{"1 день", "10 дней"}, {"&1 день", "10 &дней"}},
        {{"Аб", "Ба", "аб", "-"}, {"&Аб", "&Ба", "аб", "-"}},
    };
    for (const TCase& c : cases) {
        QMenu menu;
        for (const QString& caption : c.Captions) {
            menu.addAction(caption);
            menu.addSeparator();   // separators take no letter
        }
        AssignMenuMnemonics(&menu);
        QStringList shown;
        QStringList plain;
        for (const QAction* action : menu.actions()) {
            if (!action->isSeparator()) {
                shown.append(action->text());
                plain.append(PlainText(action));
            }
        }
        EXPECT_EQ(shown, c.Shown) << c.Captions.join('|').toStdString();
        EXPECT_EQ(plain, c.Captions);
        // Assigning again changes nothing.
        AssignMenuMnemonics(&menu);
        for (const QAction* action : menu.actions()) {
            if (!action->isSeparator()) {
                EXPECT_TRUE(c.Shown.contains(action->text())) << action->text().toStdString();
            }
        }
    }
    EXPECT_EQ(MnemonicOf("Упорядочить &MIN->MAX"), QChar('M'));
    EXPECT_EQ(MnemonicOf("&Вход && выход"), QChar(u'В'));
    EXPECT_EQ(MnemonicOf("Вход && выход"), QChar());
    EXPECT_EQ(MnemonicOf("аб&"), QChar());
}

TEST(MenuMnemonics, LaterItemsAndNewCaptionsGetTheirsAndButtonsShowThePlainCaption)
{
    QMenuBar bar;
    QMenu* file = bar.addMenu("Файл");
    QMenu* languages = file->addMenu("Язык интерфейса");
    QAction* exit = file->addAction("Выход");
    QMenu* draws = bar.addMenu("Архив тиражей");
    InstallMenuMnemonics(&bar);
    EXPECT_EQ(file->title(), "&Файл");
    EXPECT_EQ(draws->title(), "&Архив тиражей");
    EXPECT_EQ(languages->title(), "&Язык интерфейса");
    EXPECT_EQ(exit->text(), "&Выход");

    // The list of languages is filled later: its items get letters when the menu opens.
    languages->addAction("Русский");
    languages->addAction("English");
    languages->addAction("Eesti");
    emit languages->aboutToShow();
    QStringList items;
    for (const QAction* action : languages->actions())
        items.append(action->text());
    EXPECT_EQ(items, QStringList({"&Русский", "&English", "Ee&sti"}));

    // A new caption (another interface language) replaces the old one and its letter.
    file->setTitle("File");
    exit->setText("Exit");
    InstallMenuMnemonics(&bar);
    EXPECT_EQ(file->title(), "&File");
    EXPECT_EQ(PlainText(file->menuAction()), "File");
    EXPECT_EQ(exit->text(), "&Exit");
    EXPECT_EQ(PlainText(exit), "Exit");

    // A button that shows a command shows its caption without the mnemonic, and takes no key
    // from it.
    QToolButton button;
    button.setDefaultAction(exit);
    EXPECT_EQ(button.text(), "Exit");
}
