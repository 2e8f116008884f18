#pragma once

// What the tests of the scenario line dialog, the filter step dialog and the test-count dialog
// share: the engine with its methods and the main window's chooser of them.

#include "app/ui/scenarios/UnitFilter.h"
#include "app/ui/scenarios/UnitScript.h"
#include "app/ui/stakes/UnitTestCnt.h"
#include "support/RDialogsScripted.h"
#include "support/ui/QorFloatEdit.h"
#include "tests/app_ui/AppUiTestEnv.h"
#include "tests/common/Screenshot.h"
#include "tests/fixtures/StatFixtures.h"
#include "tests/support_ui/KeyInput.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QImage>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPointer>
#include <QPushButton>
#include <QSpinBox>
#include <QToolButton>

#include <gtest/gtest.h>

namespace script_dialogs_test {

// Every visible label and check box shows its whole text.
inline void ExpectNothingClipped(QWidget& form)
{
    for (const QLabel* label : form.findChildren<QLabel*>()) {
        if (label->isVisible()) {
            EXPECT_GE(label->width(), label->sizeHint().width()) << label->objectName().toStdString();
        }
    }
    for (const QCheckBox* box : form.findChildren<QCheckBox*>()) {
        if (box->isVisible()) {
            EXPECT_GE(box->width(), box->sizeHint().width()) << box->objectName().toStdString();
        }
    }
    for (const QComboBox* box : form.findChildren<QComboBox*>()) {
        if (box->isVisible()) {
            EXPECT_GE(box->width(), box->sizeAdjustPolicy() == QComboBox::AdjustToContents ? box->sizeHint().width()
                                                                                           : box->minimumSizeHint().width())
                << box->objectName().toStdString();
        }
    }
}

// The engine with its methods, and the main window's chooser of them with SUMS chosen.
class ScriptDialogsUiTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        fx.List.RebuildMethods();
        fx.List.Config().Weights = {0.5L, -1, 2, true, false};
        for (int i = 0; i < fx.List.Count(); ++i)
            if (fx.List.IsAvailable(i) && fx.List.HasStatTable(i))
                Chooser.addItem(fx.List.MethodCaption(i, true), i);
        Chooser.setCurrentIndex(Chooser.findData(fx.List.IndexOfCode(U("SUMS"))));
        ASSERT_GE(Chooser.currentIndex(), 0);
        Context = FilterDialogContext(Chooser, fx.List, 250);
        for (const TFilterMethodItem& item : Context.Methods)
            if (!item.Method->HasNumericValue()) {
                Textual = item.Method;
                break;
            }
        ASSERT_NE(Textual, nullptr);
    }

    const TStatMethod* Method(const char* code) const { return &fx.List.Items(fx.List.IndexOfCode(U(code))); }

    // Presses OK; true when the dialog closed with it.
    static bool PressOk(QDialog& form)
    {
        form.setResult(QDialog::Rejected);
        form.findChild<QPushButton*>(QStringLiteral("OkBtn"))->click();
        return form.result() == QDialog::Accepted;
    }

    TScriptedBoxes Boxes;
    TStatFixture fx;
    QComboBox Chooser;
    TFilterDialogContext Context;
    const TStatMethod* Textual = nullptr;
};

// A line with two filter steps and a comment.
inline constexpr char kLine[] = "EXCL:5#FIRST#CLR|TSD1#SUMS:10,20#LMV:5#SF:1|BMF7#SUMS:100#LDV:1,2,3#ST:4| | | | | |my line";

} // namespace script_dialogs_test
