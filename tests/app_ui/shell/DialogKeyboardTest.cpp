// Every dialog by keyboard alone: where the focus starts when it opens, Tab going through each
// control (tables included) to OK and Cancel and round to the start again, Enter on a focused
// button pressing that button, and Enter in a numeric field taking the value and pressing OK.

#include "app/core/shell/MainState.h"
#include "app/ui/stats/UnitConfig.h"
#include "app/ui/archive/UnitDraw.h"
#include "app/ui/scenarios/UnitFilter.h"
#include "app/ui/shell/UnitFirstRun.h"
#include "app/ui/combs/UnitGenCombs.h"
#include "app/ui/stats/UnitManager.h"
#include "app/ui/stakes/UnitMulti.h"
#include "app/ui/archive/UnitProxy.h"
#include "app/ui/scenarios/UnitScript.h"
#include "app/ui/shell/EnterKey.h"
#include "app/ui/stats/UnitShredding.h"
#include "app/ui/stakes/UnitStake.h"
#include "app/ui/stakes/UnitStakeFilter.h"
#include "app/ui/online/UnitSystem.h"
#include "app/ui/stakes/UnitTable.h"
#include "app/ui/stakes/UnitTestCnt.h"
#include "app/ui/stats/UnitRepeats.h"
#include "engine/KelmaStatList.h"
#include "support/RDialogsScripted.h"
#include "support/ui/QorFloatEdit.h"
#include "support/ui/UnitExpExcel.h"
#include "tests/app_ui/AppUiTestEnv.h"
#include "tests/common/Screenshot.h"
#include "tests/fixtures/ArchiveFixtures.h"
#include "tests/fixtures/StatFixtures.h"
#include "tests/support_ui/KeyInput.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QToolButton>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

namespace {

// The control that has the focus, by name: the line inside a spin box or a combo box counts
// as the box.
QString FocusName()
{
    const QWidget* focus = QApplication::focusWidget();
    while (focus && (focus->objectName().isEmpty() || focus->objectName().startsWith(QLatin1String("qt_"))))
        focus = focus->parentWidget();
    return focus ? focus->objectName() : QStringLiteral("<none>");
}

// The controls Tab stops at, from the focus on, until it is back where it began; "<stuck>"
// ends the list when 80 presses did not bring it back.
QStringList TabCycle()
{
    QStringList names{FocusName()};
    for (int i = 0; i < 80; ++i) {
        QWidget* focus = QApplication::focusWidget();
        if (focus == nullptr)
            return names << QStringLiteral("<none>");
        TypeKey(focus, Qt::Key_Tab);
        const QString name = FocusName();
        if (name == names.first())
            return names;
        names << name;
    }
    return names << QStringLiteral("<stuck>");
}

struct TDialogCase {
    const char* Name;
    std::function<std::unique_ptr<QDialog>()> Make;
    const char* First;
    QStringList Reached;   // besides OK and Cancel
};

template <class T>
std::unique_ptr<QDialog> Made(std::unique_ptr<T> form)
{
    return std::unique_ptr<QDialog>(std::move(form));
}

class DialogKeyboardTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        // As the main window does for every window of the program.
        InstallButtonEnterKeys(&FEnterKeys);
        fx.List.RebuildMethods();
        for (int i = 0; i < fx.List.Count(); ++i)
            if (fx.List.IsAvailable(i) && fx.List.HasStatTable(i))
                FChooser.addItem(fx.List.MethodCaption(i, true), i);
        FChooser.setCurrentIndex(0);
        FContext = FilterDialogContext(FChooser, fx.List, 250);
    }

    // Every dialog of the program built on the base dialog, made as its command makes it.
    std::vector<TDialogCase> Dialogs()
    {
        return {
            {"settings",
             [] {
                 auto form = std::make_unique<TFormConfig>();
                 TConfigData config;
                 config.MatrixCols = 2;
                 form->LoadConfig(config);
                 return Made(std::move(form));
             },
             "edChannelSize",
             {"edCost", "edProfits", "edCoefCount", "edCoefDeviation", "edCoefLevel", "cbCoefPercents", "cbCoefAbs",
              "sgSegments"}},
            {"shredding", [] { return Made(std::make_unique<TFormShredding>()); }, "edFormula1",
             {"edDigits1", "edFormula3", "edDigits3"}},
            {"stake",
             [] {
                 auto form = std::make_unique<TFormStake>();
                 form->LoadStake(StakeOn(1, 5, 1, 2, "c"), 1);
                 return Made(std::move(form));
             },
             "edDrawNumber", {"edDrawsCount", "edStakeData", "edComment"}},
            {"multi-stake", [] { return Made(std::make_unique<TFormMulti>()); }, "edDrawNumber",
             {"edDrawsCount", "edComment"}},
            {"delete by condition", [] { return Made(std::make_unique<TFormStakeFilter>()); }, "cbCondition",
             {"edValue"}},
            {"regular stake",
             [] {
                 auto form = std::make_unique<TFormTable>();
                 TTableRec rule;
                 rule.StakesMade = 1;
                 form->LoadTable(rule, {});
                 return Made(std::move(form));
             },
             "rbUseMyComb", {"edCombStart", "edComment", "edStep"}},
            {"scenario line",
             [this] {
                 auto form = std::make_unique<TFormScript>(FContext);
                 form->LoadLine(QString(), 0);
                 return Made(std::move(form));
             },
             "cbStartCombsType", {"edDrawsExclude", "cbResultCombsMode", "edFilter1", "btnFilter7", "edComments"}},
            {"filter step", [this] { return Made(std::make_unique<TFormFilter>(FContext)); }, "cbDrawsStatType",
             {"edDrawsLen", "cbLevelMode", "cbStopMode", "edStopValue"}},
            {"draw",
             [] {
                 auto form = std::make_unique<TFormDraw>();
                 form->LoadDraw(Draw(5, 1, 2, "08/09/2016 M"), true);
                 return Made(std::move(form));
             },
             "edDrawNumber", {"edDrawData"}},
            {"proxy",
             [] {
                 auto form = std::make_unique<TFormProxy>();
                 form->LoadProxy(TProxy{});
                 return Made(std::move(form));
             },
             // Tab enters a group of radio buttons once; without a proxy the fields are off.
             "rbProxyOff", {}},
            {"generation", [] { return Made(std::make_unique<TFormGenCombs>()); }, "cbCombsGenerateMode",
             {"cbSaveParameters"}},
            {"test count",
             [] {
                 auto form = std::make_unique<TFormTestCnt>();
                 form->SetLargest(20);
                 return Made(std::move(form));
             },
             "edTestCount", {}},
            {"system",
             [] {
                 auto form = std::make_unique<TFormSystem>();
                 form->LoadSystem(tSystemData{}, true);
                 return Made(std::move(form));
             },
             "edTitle", {"edAuthor", "edNums", "edOlap", "edDescr", "edCombs"}},
            {"favourites", [this] { return Made(std::make_unique<TFormManager>(FState)); }, "tvFilters", {}},
            {"export column", [] { return Made(std::make_unique<TFormExpExcelParam>()); }, "edCaption",
             {"edAlign", "edWidth"}},
            {"export", [] { return Made(std::make_unique<TFormExpExcel>()); }, "edTitle",
             {"edNotes", "DateCreateCheckBox", "edPageName", "edOrientation", "edFontSize", "edSendMode",
              "SaveCheckBox"}},
        };
    }

    QObject FEnterKeys;
    TScriptedBoxes FBoxes;
    TStatFixture fx;
    QComboBox FChooser;
    TFilterDialogContext FContext;
    TMainState FState;
};

} // namespace

TEST_F(DialogKeyboardTest, FocusStartsOnTheFirstFieldAndTabReachesEveryControlAndTheButtons)
{
    const std::vector<TDialogCase> cases = Dialogs();
    for (const TDialogCase& c : cases) {
        SCOPED_TRACE(c.Name);
        const std::unique_ptr<QDialog> form = c.Make();
        ASSERT_TRUE(ActivateWindow(form.get()));
        EXPECT_EQ(FocusName(), QLatin1String(c.First));
        // A picture of the dialog as it opens, its first field focused.
        SaveScreenshot(form.get(), QStringLiteral("Keys") + form->objectName(), form->size());
        const QStringList cycle = TabCycle();
        EXPECT_FALSE(cycle.contains(QStringLiteral("<stuck>"))) << cycle.join(QLatin1Char(' ')).toStdString();
        EXPECT_FALSE(cycle.contains(QStringLiteral("<none>"))) << cycle.join(QLatin1Char(' ')).toStdString();
        for (const QString& name : c.Reached + QStringList{"OkBtn", "CancelBtn"})
            EXPECT_TRUE(cycle.contains(name)) << name.toStdString() << " in " << cycle.join(QLatin1Char(' ')).toStdString();
        // The buttons come after the dialog's own controls.
        const auto ok = cycle.indexOf(QStringLiteral("OkBtn"));
        for (const QString& name : c.Reached)
            EXPECT_LT(cycle.indexOf(name), ok) << name.toStdString();
        EXPECT_EQ(cycle.indexOf(QStringLiteral("CancelBtn")), ok + 1);
        form->hide();
    }
}

TEST_F(DialogKeyboardTest, TabLeavesThePayoutTableAndShiftTabComesBack)
{
    TFormConfig form;
    form.LoadConfig(TConfigData{});
    ASSERT_TRUE(ActivateWindow(&form));
    form.edProfits->setFocus();
    form.edProfits->setCurrentCell(0, 1);
    // Thirty presses in the old table went round its cells for ever.
    TypeKey(form.edProfits, Qt::Key_Tab);
    EXPECT_EQ(FocusName(), "edCoefCount");
    TypeKey(QApplication::focusWidget(), Qt::Key_Backtab, Qt::ShiftModifier);
    EXPECT_EQ(FocusName(), "edProfits");
    // The arrows still go from cell to cell.
    TypeKey(form.edProfits, Qt::Key_Down);
    EXPECT_EQ(form.edProfits->currentRow(), 1);
    EXPECT_EQ(FocusName(), "edProfits");

    // From a cell being edited, Tab keeps what was typed and goes on to the next control too.
    form.edProfits->setCurrentCell(2, 1);
    form.edProfits->editItem(form.edProfits->item(2, 1));
    auto* editor = form.edProfits->findChild<QLineEdit*>();
    ASSERT_NE(editor, nullptr);
    editor->selectAll();
    TypeKey(editor, Qt::Key_5, Qt::NoModifier, QStringLiteral("5"));
    TypeKey(editor, Qt::Key_Tab);
    EXPECT_EQ(FocusName(), "edCoefCount");
    EXPECT_EQ(form.edProfits->item(2, 1)->text(), "5");

    // The segments grid edits a cell as soon as it is current; Tab still leaves it for OK.
    form.sgSegments->setFocus();
    form.sgSegments->setCurrentCell(9, 1);
    ASSERT_NE(form.sgSegments->findChild<QLineEdit*>(), nullptr);
    TypeKey(QApplication::focusWidget(), Qt::Key_Tab);
    EXPECT_EQ(FocusName(), "OkBtn");
    TypeKey(QApplication::focusWidget(), Qt::Key_Backtab, Qt::ShiftModifier);
    EXPECT_EQ(FocusName(), "sgSegments");
}

TEST_F(DialogKeyboardTest, AFocusTheDialogChoseStays)
{
    // A read-only system offers Close alone, and starts on it.
    TFormSystem system;
    system.LoadSystem(tSystemData{}, false);
    ASSERT_TRUE(ActivateWindow(&system));
    EXPECT_EQ(FocusName(), "CancelBtn");

    TFormStake stake;
    stake.CommentEdit()->setFocus();
    ASSERT_TRUE(ActivateWindow(&stake));
    EXPECT_EQ(FocusName(), "edComment");
}

namespace {

// The push and tool buttons of a window that a press can reach now.
QList<QAbstractButton*> PressableButtons(const QWidget* window)
{
    QList<QAbstractButton*> buttons;
    for (QAbstractButton* button : window->findChildren<QAbstractButton*>())
        if ((qobject_cast<QPushButton*>(button) || qobject_cast<QToolButton*>(button)) && button->isVisibleTo(window)
            && button->isEnabled())
            buttons.append(button);
    return buttons;
}

} // namespace

// Enter (either Enter key) on whichever button has the focus presses that button, and only it:
// the dialog's default button is not pressed too. What a button does is left out here: only its
// press is counted.
TEST_F(DialogKeyboardTest, EnterPressesTheFocusedButtonOfEveryDialog)
{
    std::vector<TDialogCase> cases = Dialogs();
    cases.push_back({"first run", [] { return Made(std::make_unique<TFormFirstRun>(QString())); }, "", {}});
    const TDrawsArray draws = SixDrawArchive();
    cases.push_back({"repeats", [&draws] { return Made(std::make_unique<TFormRepeats>(draws)); }, "", {}});
    QStringList pressed;
    int key = 0;
    for (const TDialogCase& c : cases) {
        SCOPED_TRACE(c.Name);
        const std::unique_ptr<QDialog> form = c.Make();
        ASSERT_TRUE(ActivateWindow(form.get()));
        for (QAbstractButton* button : PressableButtons(form.get())) {
            // A tool button runs its action by itself, not through a connection.
            if (auto* tool = qobject_cast<QToolButton*>(button))
                tool->setDefaultAction(nullptr);
            QObject::disconnect(button, &QAbstractButton::clicked, nullptr, nullptr);
            int clicks = 0;
            QObject::connect(button, &QAbstractButton::clicked, button, [&clicks] { ++clicks; });
            button->setFocus();
            QApplication::processEvents();
            ASSERT_EQ(QApplication::focusWidget(), button) << button->objectName().toStdString();
            // The main keyboard's Enter and the keypad's in turn.
            if (++key % 2 == 0)
                TypeKey(button, Qt::Key_Return);
            else
                TypeKey(button, Qt::Key_Enter, Qt::KeypadModifier);
            EXPECT_EQ(clicks, 1) << button->objectName().toStdString();
            EXPECT_TRUE(form->isVisible()) << button->objectName().toStdString();
            EXPECT_NE(form->result(), QDialog::Accepted) << button->objectName().toStdString();
            pressed.append(QLatin1String(c.Name) + QLatin1Char(':') + button->objectName());
        }
        form->hide();
    }
    // Among them the buttons that took only Space before: Cancel, the scenario line's filter
    // buttons, the favourites' tool buttons, the export dialog's file button, the first-run
    // pages, the repeats' recompute.
    for (const char* name : {"settings:CancelBtn", "scenario line:btnFilter1", "scenario line:btnFilter7",
                             "favourites:btnNamesImport", "export:FileBtn", "first run:btnBlog",
                             "repeats:btnDrawsStatCalc"})
        EXPECT_TRUE(pressed.contains(QLatin1String(name))) << name << " in " << pressed.join(' ').toStdString();
}

// The default button keeps its rule: Enter in a field presses OK. Enter on a focused Cancel
// closes without taking anything, where it used to press OK.
TEST_F(DialogKeyboardTest, EnterInAFieldPressesOkAndOnCancelPressesCancel)
{
    const struct {
        const char* Focus;
        int Key;
        QDialog::DialogCode Result;
    } cases[] = {
        {"edTestCount", Qt::Key_Return, QDialog::Accepted},
        {"CancelBtn", Qt::Key_Return, QDialog::Rejected},
        {"CancelBtn", Qt::Key_Enter, QDialog::Rejected},
        {"OkBtn", Qt::Key_Enter, QDialog::Accepted},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Focus);
        TFormTestCnt form;
        form.SetLargest(20);
        ASSERT_TRUE(ActivateWindow(&form));
        form.findChild<QWidget*>(QLatin1String(c.Focus))->setFocus();
        QApplication::processEvents();
        form.setResult(-1);
        TypeKey(QApplication::focusWidget(), c.Key, c.Key == Qt::Key_Enter ? Qt::KeypadModifier : Qt::NoModifier);
        EXPECT_FALSE(form.isVisible());
        EXPECT_EQ(form.result(), c.Result);
    }
}

// A calculator-style field: Ctrl+A selects its text, the number typed over it is taken by one
// Enter, which also presses OK; the dialog then holds the value typed.
TEST_F(DialogKeyboardTest, OneEnterInANumericFieldTakesTheValueAndAcceptsTheDialog)
{
    struct TCase {
        const char* Name;
        std::function<std::unique_ptr<QDialog>()> Make;
        const char* Field;
        std::function<long double(QDialog&)> Taken;   // the value the accepted dialog holds
    };
    const auto settings = [] {
        auto form = std::make_unique<TFormConfig>();
        TConfigData config;
        config.MatrixCols = 2;
        form->LoadConfig(config);
        return Made(std::move(form));
    };
    const TCase cases[] = {
        {"stake cost", settings, "edCost",
         [](QDialog& form) {
             return static_cast<long double>(static_cast<TFormConfig&>(form).Config().Cost.ToDouble());
         }},
        {"level weight", settings, "edCoefLevel",
         [](QDialog& form) { return static_cast<TFormConfig&>(form).Config().Weights.Level; }},
        {"column width",
         [] {
             auto form = std::make_unique<TFormExpExcelParam>();
             form->edCaption->setText(QStringLiteral("Дата"));
             return Made(std::move(form));
         },
         "edWidth",
         [](QDialog& form) { return static_cast<TFormExpExcelParam&>(form).edWidth->Value(); }},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        const std::unique_ptr<QDialog> form = c.Make();
        ASSERT_TRUE(ActivateWindow(form.get()));
        auto* field = form->findChild<TRFloatEdit*>(QLatin1String(c.Field));
        ASSERT_NE(field, nullptr);
        field->setFocus();
        QApplication::processEvents();
        field->deselect();
        TypeKey(field, Qt::Key_A, Qt::ControlModifier, QString(QChar(1)));
        EXPECT_EQ(field->selectedText(), field->text());
        EXPECT_FALSE(field->text().isEmpty());
        TypeKey(field, Qt::Key_7, Qt::NoModifier, QStringLiteral("7"));
        TypeKey(field, Qt::Key_Period, Qt::NoModifier, QStringLiteral("."));
        TypeKey(field, Qt::Key_5, Qt::NoModifier, QStringLiteral("5"));
        EXPECT_EQ(field->text(), "7,5");
        form->setResult(-1);
        TypeKey(field, Qt::Key_Return);
        EXPECT_EQ(form->result(), QDialog::Accepted);
        EXPECT_FALSE(form->isVisible());
        EXPECT_EQ(c.Taken(*form), 7.5L);
    }
    EXPECT_TRUE(FBoxes.Boxes().isEmpty());
}
