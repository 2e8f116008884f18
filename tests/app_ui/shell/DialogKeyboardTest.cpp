// Every dialog by keyboard alone: where the focus starts when it opens, and Tab going through
// each control (tables included) to OK and Cancel and round to the start again.

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
#include "app/ui/stats/UnitShredding.h"
#include "app/ui/stakes/UnitStake.h"
#include "app/ui/stakes/UnitStakeFilter.h"
#include "app/ui/online/UnitSystem.h"
#include "app/ui/stakes/UnitTable.h"
#include "app/ui/stakes/UnitTestCnt.h"
#include "engine/KelmaStatList.h"
#include "support/RDialogsScripted.h"
#include "support/ui/UnitExpExcel.h"
#include "tests/app_ui/AppUiTestEnv.h"
#include "tests/common/Screenshot.h"
#include "tests/fixtures/StatFixtures.h"
#include "tests/support_ui/KeyInput.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QTableWidget>

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

class DialogKeyboardTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        fx.List.RebuildMethods();
        for (int i = 0; i < fx.List.Count(); ++i)
            if (fx.List.IsAvailable(i) && fx.List.HasStatTable(i))
                FChooser.addItem(fx.List.MethodCaption(i, true), i);
        FChooser.setCurrentIndex(0);
        FContext = FilterDialogContext(FChooser, fx.List, 250);
    }

    TScriptedBoxes FBoxes;
    TStatFixture fx;
    QComboBox FChooser;
    TFilterDialogContext FContext;
    TMainState FState;
};

template <class T>
std::unique_ptr<QDialog> Made(std::unique_ptr<T> form)
{
    return std::unique_ptr<QDialog>(std::move(form));
}

} // namespace

TEST_F(DialogKeyboardTest, FocusStartsOnTheFirstFieldAndTabReachesEveryControlAndTheButtons)
{
    const std::vector<TDialogCase> cases = {
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
