// Keys of the main window typed as the player types them: Ctrl with either Enter key on a
// scenario line, and Enter on a focused button of the window.

#include "app/core/scenarios/ScriptList.h"
#include "app/ui/shell/FormMain.h"
#include "app/ui/shell/ProgramEnv.h"
#include "app/ui/stats/UnitFilterHelp.h"
#include "support/ui/QorListView.h"
#include "support/ui/TmplDialogSimple.h"
#include "tests/app_ui/shell/MainWindowTestEnv.h"
#include "tests/common/TestHelpers.h"
#include "tests/fixtures/ArchiveFixtures.h"
#include "tests/support_ui/KeyInput.h"

#include <QApplication>
#include <QToolButton>

#include <gtest/gtest.h>

namespace {

class MainWindowKeysTest : public MainWindowTest {
protected:
    MainWindowKeysTest() { FFolder.WriteArchive(SixDrawArchive()); }
};

// The scenario line's edit key is Ctrl with Enter: the keypad's Enter opens the line dialog as
// Return does; Enter without Ctrl does not.
TEST_F(MainWindowKeysTest, CtrlWithEitherEnterKeyEditsTheSelectedScenarioLine)
{
    WriteFileBytes(FFolder.File(QString::fromLatin1(TScriptList::CurrentFileBaseName)),
                   ScriptLinesToBytes({QStringLiteral("EXCL:5#FIRST#NEX|TSD#SUMS:10#LMV:5#SF:0| | | | | | |A")}));
    auto form = Open();
    ShowPage(*form, "tsScript");
    auto* lines = form->findChild<TRListView*>(QStringLiteral("lvScript"));
    ASSERT_EQ(lines->ItemCount(), 1);
    lines->SetSelected(0);
    // The commands read the new selection (the idle tick would, a moment later).
    form->Actions()->UpdateAll();
    ASSERT_TRUE(ActivateWindow(form.get()));
    lines->setFocus();
    QApplication::processEvents();

    const struct {
        int Key;
        Qt::KeyboardModifiers Modifiers;
        bool Opens;
    } presses[] = {
        {Qt::Key_Enter, Qt::ControlModifier | Qt::KeypadModifier, true},
        {Qt::Key_Return, Qt::ControlModifier, true},
        {Qt::Key_Enter, Qt::KeypadModifier, false},
    };
    for (const auto& press : presses) {
        QString title;
        if (press.Opens)
            WhenModal([&title](TDialogSTemplate& dialog) {
                title = dialog.windowTitle();
                dialog.reject();
            });
        TypeKey(lines, press.Key, press.Modifiers);
        EXPECT_EQ(title, press.Opens ? U("Редактирование строки") : QString()) << press.Key;
        ASSERT_TRUE(ActivateWindow(form.get()));
        lines->setFocus();
        QApplication::processEvents();
    }
}

// A button of the window itself takes Enter as Space once it has the focus: here the method
// description beside the statistics table.
TEST_F(MainWindowKeysTest, EnterOnAFocusedButtonOfTheWindowPressesIt)
{
    QStringList shown;
    const TModalFormHandler previous = SetModalFormHandler([&shown](QDialog& dialog) {
        shown.append(QString::fromLatin1(dialog.metaObject()->className()));
        return int(QDialog::Rejected);
    });
    auto form = Open();
    ASSERT_TRUE(ActivateWindow(form.get()));
    auto* info = form->findChild<QToolButton*>(QStringLiteral("btnFiltersInfo"));
    ASSERT_NE(info, nullptr);
    form->Actions()->UpdateAll();
    ASSERT_TRUE(info->isEnabled());
    info->setFocus();
    QApplication::processEvents();
    ASSERT_EQ(QApplication::focusWidget(), info);
    TypeKey(info, Qt::Key_Return);
    EXPECT_EQ(shown, QStringList({"TFormFilterHelp"}));
    TypeKey(info, Qt::Key_Enter, Qt::KeypadModifier);
    EXPECT_EQ(shown, QStringList({"TFormFilterHelp", "TFormFilterHelp"}));
    SetModalFormHandler(previous);
}

} // namespace
