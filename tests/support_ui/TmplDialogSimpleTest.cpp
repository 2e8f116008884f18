// The keyboard in the base dialog: where the focus starts, the Tab order, tables inside it.

#include "support/ui/TmplDialogSimple.h"
#include "tests/support_ui/KeyInput.h"

#include <QApplication>
#include <QGridLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>

#include <gtest/gtest.h>

namespace {

// A dialog with a disabled and a hidden field ahead of the ones Tab stops at, and a table in
// the middle.
class TProbeDialog : public TDialogSTemplate {
public:
    TProbeDialog()
    {
        setObjectName("FormProbe");
        QGridLayout* grid = NewClientGrid("layProbe", 8, 6);
        auto add = [this, grid](QWidget* widget, const char* name) {
            widget->setObjectName(QLatin1String(name));
            grid->addWidget(widget, grid->count(), 0);
            return widget;
        };
        add(new QLineEdit(ClientPanel()), "edDisabled")->setEnabled(false);
        add(new QLineEdit(ClientPanel()), "edHidden")->hide();
        First = static_cast<QLineEdit*>(add(new QLineEdit(ClientPanel()), "edFirst"));
        Table = static_cast<QTableWidget*>(add(new QTableWidget(3, 2, ClientPanel()), "sgTable"));
        add(new QSpinBox(ClientPanel()), "edSpin");
        Last = static_cast<QLineEdit*>(add(new QLineEdit(ClientPanel()), "edLast"));
        FitToLayout(300);
    }

    QLineEdit* First = nullptr;
    QTableWidget* Table = nullptr;
    QLineEdit* Last = nullptr;
};

QString FocusName()
{
    const QWidget* focus = QApplication::focusWidget();
    return focus ? focus->objectName() : QStringLiteral("<none>");
}

} // namespace

TEST(BaseDialogKeys, FocusStartsOnTheFirstFieldUnlessTheDialogChoseOne)
{
    const struct {
        const char* Chosen;   // the field the dialog focused before it showed, or none
        const char* Expected;
    } cases[] = {{nullptr, "edFirst"}, {"edLast", "edLast"}, {"CancelBtn", "CancelBtn"}};
    for (const auto& c : cases) {
        TProbeDialog dialog;
        if (c.Chosen)
            dialog.findChild<QWidget*>(QLatin1String(c.Chosen))->setFocus();
        ASSERT_TRUE(ActivateWindow(&dialog));
        EXPECT_EQ(FocusName(), QLatin1String(c.Expected)) << (c.Chosen ? c.Chosen : "none");
    }
}

TEST(BaseDialogKeys, TabGoesThroughTheTableToTheButtonsAndRoundAgain)
{
    TProbeDialog dialog;
    ASSERT_TRUE(ActivateWindow(&dialog));
    dialog.Table->setCurrentCell(1, 1);
    QStringList order{FocusName()};
    for (int i = 0; i < 6; ++i) {
        TypeKey(QApplication::focusWidget(), Qt::Key_Tab);
        order << FocusName();
    }
    EXPECT_EQ(order, QStringList({"edFirst", "sgTable", "edSpin", "edLast", "OkBtn", "CancelBtn", "edFirst"}));
    EXPECT_FALSE(dialog.Table->tabKeyNavigation());
    // The arrow keys still move between the cells; Shift+Tab goes back the same way.
    dialog.Table->setFocus();
    TypeKey(dialog.Table, Qt::Key_Down);
    EXPECT_EQ(dialog.Table->currentRow(), 2);
    TypeKey(dialog.Table, Qt::Key_Backtab, Qt::ShiftModifier);
    EXPECT_EQ(FocusName(), "edFirst");
}
