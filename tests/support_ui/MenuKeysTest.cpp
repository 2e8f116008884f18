// What the menus show of the commands' keys, and the keypad's Enter as the second Enter key.

#include "support/ui/RActions.h"

#include "platform/Exceptions.h"
#include "tests/common/TestHelpers.h"
#include "tests/support_ui/KeyInput.h"
#include "tests/support_ui/TestCommands.h"

#include <QAction>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QListWidget>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QToolButton>

#include <gtest/gtest.h>

#include <initializer_list>

namespace {

// Two lists and a field in a window, as the main window's pages stand to one another.
class MenuKeys : public ::testing::Test {
protected:
    MenuKeys()
    {
        auto* central = new QWidget;
        auto* layout = new QHBoxLayout(central);
        for (QWidget* widget : std::initializer_list<QWidget*>{FTable, FScript, FField})
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
        {QKeySequence(Qt::CTRL | Qt::Key_J), "Ctrl+J"},
        {QKeySequence(QKeyCombination(Qt::ControlModifier, Qt::Key_K), QKeyCombination(Qt::Key_Up)), "Ctrl+K, Вверх"},
        {QKeySequence(), ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(MenuKeyText(c.Key), QString::fromUtf8(c.Shown)) << c.Shown;
}

// What a menu shows after the tab is the registered key; what a button or a tip shows, and what
// the program compares, is the caption alone, also after a new language. (Which key an item of
// the main window shows wherever the focus is: MainMenusTest.)
TEST_F(MenuKeys, ItemsShowTheKeyAndTheCaptionStaysACaption)
{
    FRegistry.Add(TestCommand("ScriptEdit", "Изменить", QKeySequence(Qt::CTRL | Qt::Key_Return), FScript));
    FRegistry.Add(TestCommand("CombsInfo", "Сведения", QKeySequence()));
    QMenu* menu = FWindow.menuBar()->addMenu("Команды");
    for (QAction* action : FRegistry.Actions())
        menu->addAction(action);
    InstallMenuMnemonics(FWindow.menuBar());
    ASSERT_TRUE(ActivateWindow(&FWindow));
    Focus(FField);
    menu->popup(QPoint(10, 10));
    QApplication::processEvents();
    EXPECT_EQ(FRegistry.Action("ScriptEdit")->text(), U("&Изменить\tCtrl+Ввод"));
    EXPECT_EQ(FRegistry.Action("CombsInfo")->text(), U("&Сведения"));
    menu->hide();
    for (QAction* action : FRegistry.Actions()) {
        EXPECT_EQ(PlainText(action), FRegistry.Caption(action->objectName()));
        EXPECT_FALSE(action->toolTip().contains('\t')) << action->objectName().toStdString();
    }
    QToolButton button;
    button.setDefaultAction(FRegistry.Action("ScriptEdit"));
    EXPECT_EQ(button.text(), U("Изменить"));

    // Another language: a new caption, the same key when the menu opens again.
    FRegistry.SetTexts("ScriptEdit", "Edit", "Edit the line");
    EXPECT_EQ(PlainText(FRegistry.Action("ScriptEdit")), "Edit");
    menu->popup(QPoint(10, 10));
    QApplication::processEvents();
    EXPECT_EQ(FRegistry.Action("ScriptEdit")->text(), U("&Edit\tCtrl+Ввод"));
    menu->hide();
}

// Ctrl with the keypad's Enter does what Ctrl with Return does, also for a key that follows the
// focus; the two are one key to the clash check.
TEST_F(MenuKeys, KeypadEnterRunsWhatReturnRuns)
{
    int edits = 0;
    int renames = 0;
    const QKeySequence ctrlReturn(Qt::CTRL | Qt::Key_Return);
    FRegistry.Add(TestCommand("ScriptEdit", "Изменить", ctrlReturn, FScript, [&] { ++edits; }));
    FRegistry.Add(TestCommand("Rename", "Свойства", ctrlReturn, FTable, [&] { ++renames; }));
    EXPECT_THROW(FRegistry.Add(TestCommand("Other", "Другая", QKeySequence(Qt::CTRL | Qt::Key_Enter), FScript)), Exception);
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
