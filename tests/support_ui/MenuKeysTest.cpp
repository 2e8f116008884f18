// What the menus show of the commands' keys, and the keypad's Enter as the second Enter key.

#include "support/ui/RActions.h"

#include "platform/Exceptions.h"
#include "tests/support_ui/KeyInput.h"

#include <QAction>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QListWidget>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QToolButton>

#include <gtest/gtest.h>

namespace {

TActionRegistry::TCommandSpec Spec(const QString& name, const QString& caption, const QKeySequence& key,
                                   QWidget* scope = nullptr, std::function<void()> run = {})
{
    TActionRegistry::TCommandSpec spec;
    spec.Name = name;
    spec.Caption = caption;
    spec.Shortcut = key;
    spec.ShortcutScope = scope;
    spec.Execute = std::move(run);
    return spec;
}

// The key an item of an open menu shows: what follows the tab of its text.
QString ShownKey(const QAction* item)
{
    const QString text = item->text();
    const qsizetype tab = text.indexOf(QLatin1Char('\t'));
    return tab < 0 ? QString() : text.mid(tab + 1);
}

// Two lists and a field in a window, as the main window's pages stand to one another.
class MenuKeys : public ::testing::Test {
protected:
    MenuKeys()
    {
        auto* central = new QWidget;
        auto* layout = new QHBoxLayout(central);
        for (QWidget* widget : {static_cast<QWidget*>(FTable), static_cast<QWidget*>(FScript),
                                static_cast<QWidget*>(FField)})
            layout->addWidget(widget);
        FWindow.setCentralWidget(central);
        FRegistry.SetWindow(&FWindow);
    }

    void Focus(QWidget* widget)
    {
        widget->setFocus();
        QApplication::processEvents();
        ASSERT_EQ(QApplication::focusWidget(), widget);
    }

    QMainWindow FWindow;
    QListWidget* FTable = new QListWidget;
    QListWidget* FScript = new QListWidget;
    QLineEdit* FField = new QLineEdit;
    TActionRegistry FRegistry{nullptr, 60000};
};

} // namespace

TEST(MenuKeyText, KeysAreNamedAsTheMenusOfTheProgramNameThem)
{
    const struct {
        QKeySequence Key;
        const char* Shown;
    } cases[] = {
        {QKeySequence(Qt::CTRL | Qt::Key_Up), "Ctrl+Вверх"},
        {QKeySequence(Qt::CTRL | Qt::Key_Down), "Ctrl+Вниз"},
        // Either Enter key is "Ввод", as the arrows are named in words.
        {QKeySequence(Qt::CTRL | Qt::Key_Return), "Ctrl+Ввод"},
        {QKeySequence(Qt::CTRL | Qt::Key_Enter), "Ctrl+Ввод"},
        {QKeySequence(Qt::Key_Space), "Пробел"},
        {QKeySequence(Qt::Key_Left), "Влево"},
        {QKeySequence(Qt::Key_Right), "Вправо"},
        // Keys named by their labels keep them, modifiers in the keyboard's order.
        {QKeySequence(Qt::CTRL | Qt::Key_Delete), "Ctrl+Del"},
        {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Delete), "Ctrl+Shift+Del"},
        {QKeySequence(Qt::CTRL | Qt::ALT | Qt::Key_Insert), "Ctrl+Alt+Ins"},
        {QKeySequence(Qt::ALT | Qt::Key_F4), "Alt+F4"},
        {QKeySequence(Qt::Key_F7), "F7"},
        {QKeySequence(Qt::CTRL | Qt::Key_J), "Ctrl+J"},
        {QKeySequence(Qt::ALT | Qt::Key_D), "Alt+D"},
        {QKeySequence(QKeyCombination(Qt::ControlModifier, Qt::Key_K), QKeyCombination(Qt::Key_Up)), "Ctrl+K, Вверх"},
        {QKeySequence(), ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(MenuKeyText(c.Key), QString::fromUtf8(c.Shown)) << c.Shown;
}

// F7 and Ctrl+Del each belong to two commands: a key runs the one that fits the focus, and yet
// every item shows its command's key wherever the focus is. A caption stays a caption.
TEST_F(MenuKeys, EveryItemShowsItsKeyWhereverTheFocusIs)
{
    const QKeySequence f7(Qt::Key_F7);
    const QKeySequence ctrlDel(Qt::CTRL | Qt::Key_Delete);
    FRegistry.Add(Spec("FiltersManager", "Избранные статистики", f7));
    FRegistry.Add(Spec("StatFilter_Include", "Оставить", f7, FTable));
    FRegistry.Add(Spec("ScriptDel", "Удалить", ctrlDel, FScript));
    FRegistry.Add(Spec("CombsDelSelected", "Удалить выделенные", ctrlDel, FField));
    FRegistry.Add(Spec("ScriptEdit", "Изменить", QKeySequence(Qt::CTRL | Qt::Key_Return), FScript));
    FRegistry.Add(Spec("CombsInfo", "Сведения", QKeySequence()));
    QMenu* menu = FWindow.menuBar()->addMenu("Команды");
    for (QAction* action : FRegistry.Actions())
        menu->addAction(action);
    QMenu popup;
    popup.addAction(FRegistry.Action("StatFilter_Include"));
    popup.addAction(FRegistry.Action("ScriptDel"));
    QObject::connect(&popup, &QMenu::aboutToShow, &popup, [&popup] { AssignMenuMnemonics(&popup); });
    InstallMenuMnemonics(FWindow.menuBar());
    ASSERT_TRUE(ActivateWindow(&FWindow));

    const QStringList keys{"F7", "F7", "Ctrl+Del", "Ctrl+Del", "Ctrl+Ввод", ""};
    for (QWidget* focus : {static_cast<QWidget*>(FTable), static_cast<QWidget*>(FScript),
                           static_cast<QWidget*>(FField)}) {
        Focus(focus);
        for (QMenu* open : {menu, &popup}) {
            open->popup(QPoint(10, 10));
            QApplication::processEvents();
            QStringList shown;
            for (const QAction* item : open->actions())
                shown.append(ShownKey(item));
            open->hide();
            EXPECT_EQ(shown, open == menu ? keys : QStringList({"F7", "Ctrl+Del"})) << focus->metaObject()->className();
        }
        // The key works only where it runs the command: the table's F7 is off outside the table.
        EXPECT_EQ(FRegistry.Action("StatFilter_Include")->shortcut().isEmpty(), focus != FTable);
        EXPECT_EQ(FRegistry.Action("FiltersManager")->shortcut().isEmpty(), focus == FTable);
    }
    // What the program compares and what a button or a tip shows is the caption alone.
    for (QAction* action : FRegistry.Actions()) {
        EXPECT_EQ(PlainText(action), FRegistry.Caption(action->objectName()));
        EXPECT_FALSE(action->iconText().contains('\t')) << action->objectName().toStdString();
        EXPECT_FALSE(action->toolTip().contains('\t')) << action->objectName().toStdString();
    }
    QToolButton button;
    button.setDefaultAction(FRegistry.Action("ScriptDel"));
    EXPECT_EQ(button.text(), "Удалить");
    EXPECT_EQ(button.toolTip(), "Удалить");

    // Another language: new captions, the keys stay and show again when the menu opens.
    FRegistry.SetTexts("ScriptDel", "Delete", "Delete the lines");
    EXPECT_EQ(PlainText(FRegistry.Action("ScriptDel")), "Delete");
    popup.popup(QPoint(10, 10));
    QApplication::processEvents();
    EXPECT_EQ(FRegistry.Action("ScriptDel")->text(), "&Delete\tCtrl+Del");
    popup.hide();
}

// A second item of a command under words of its own shows the command's key; the key itself
// stays with the command, where the focus lets it run.
TEST_F(MenuKeys, AnItemInWordsOfItsOwnShowsTheCommandsKeyButHoldsNone)
{
    const QKeySequence ctrlJ(Qt::CTRL | Qt::Key_J);
    int systems = 0;
    int opens = 0;
    FRegistry.Add(Spec("SystemsOn", "Системная игра", ctrlJ, nullptr, [&] { ++systems; }));
    FRegistry.Add(Spec("ScriptOpen", "Открыть", ctrlJ, FScript, [&] { ++opens; }));
    QMenu* view = FWindow.menuBar()->addMenu("Вид");
    QAction* tab = FRegistry.AddMenuItem("SystemsOn", "Вкладка \"Системы\"", view);
    view->addAction(tab);
    InstallMenuMnemonics(FWindow.menuBar());
    ASSERT_TRUE(ActivateWindow(&FWindow));

    for (QWidget* focus : {static_cast<QWidget*>(FScript), static_cast<QWidget*>(FTable)}) {
        Focus(focus);
        view->popup(QPoint(10, 10));
        QApplication::processEvents();
        EXPECT_EQ(tab->text(), "&Вкладка \"Системы\"\tCtrl+J");
        EXPECT_EQ(PlainText(tab), "Вкладка \"Системы\"");
        view->hide();
        EXPECT_TRUE(tab->shortcut().isEmpty());
        TypeKey(&FWindow, Qt::Key_J, Qt::ControlModifier);
    }
    EXPECT_EQ(opens, 1);
    EXPECT_EQ(systems, 1);
}

// Ctrl with the keypad's Enter does what Ctrl with Return does, also for a key that follows the
// focus; the two are one key to the clash check.
TEST_F(MenuKeys, KeypadEnterRunsWhatReturnRuns)
{
    int edits = 0;
    int renames = 0;
    const QKeySequence ctrlReturn(Qt::CTRL | Qt::Key_Return);
    FRegistry.Add(Spec("ScriptEdit", "Изменить", ctrlReturn, FScript, [&] { ++edits; }));
    FRegistry.Add(Spec("Rename", "Свойства", ctrlReturn, FTable, [&] { ++renames; }));
    EXPECT_THROW(FRegistry.Add(Spec("Other", "Другая", QKeySequence(Qt::CTRL | Qt::Key_Enter), FScript)), Exception);
    ASSERT_TRUE(ActivateWindow(&FWindow));

    const struct {
        QWidget* Focus;
        int Key;
        Qt::KeyboardModifiers Modifiers;
        int Edits;
        int Renames;
    } presses[] = {
        {FScript, Qt::Key_Enter, Qt::ControlModifier | Qt::KeypadModifier, 1, 0},
        {FScript, Qt::Key_Return, Qt::ControlModifier, 2, 0},
        {FTable, Qt::Key_Enter, Qt::ControlModifier | Qt::KeypadModifier, 2, 1},
        // Enter alone, on either keyboard, is no command's.
        {FTable, Qt::Key_Enter, Qt::KeypadModifier, 2, 1},
        {FField, Qt::Key_Enter, Qt::ControlModifier | Qt::KeypadModifier, 2, 1},
    };
    for (const auto& press : presses) {
        Focus(press.Focus);
        TypeKey(&FWindow, press.Key, press.Modifiers);
        EXPECT_EQ(edits, press.Edits);
        EXPECT_EQ(renames, press.Renames);
    }
    EXPECT_EQ(FRegistry.Key("ScriptEdit"), ctrlReturn);
}
