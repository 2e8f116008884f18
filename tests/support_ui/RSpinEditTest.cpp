#include "support/ui/RSpinEdit.h"
#include "tests/support_ui/KeyInput.h"

#include <QApplication>
#include <QLineEdit>
#include <QVBoxLayout>

#include <gtest/gtest.h>

namespace {

void TypeText(QWidget* widget, const QString& text)
{
    for (const QChar c : text)
        TypeKey(widget, c.unicode(), Qt::NoModifier, QString(c));
}

} // namespace

TEST(SpinEdit, ANumberOutsideTheLimitsShowsAndBecomesTheNearestLimit)
{
    const struct {
        const char* Typed;
        const char* Shown;   // while still being typed
        int Value;           // once taken
    } cases[] = {
        {"9", "9", 5},
        {"0", "0", 1},
        {"3", "3", 3},
        {"-7", "7", 5},   // no minus sign where the limits are not below 0
        {"42", "42", 5},
        {"123456789012345678901234", "123456789012345678901234", 5},
        {"x", "", 2},   // not a number: refused, the value stays
    };
    for (const bool byEnter : {true, false}) {
        for (const auto& c : cases) {
            SCOPED_TRACE(std::string(c.Typed) + (byEnter ? " / Enter" : " / Tab"));
            QWidget window;
            auto* layout = new QVBoxLayout(&window);
            auto* spin = new TRSpinEdit(&window);
            spin->setRange(1, 5);
            spin->setValue(2);
            auto* next = new QLineEdit(&window);
            layout->addWidget(spin);
            layout->addWidget(next);
            ASSERT_TRUE(ActivateWindow(&window));
            spin->setFocus();
            spin->selectAll();
            TypeKey(spin, Qt::Key_Delete);
            TypeText(spin, QString::fromLatin1(c.Typed));
            EXPECT_EQ(spin->text(), QString::fromLatin1(c.Shown));
            TypeKey(spin, byEnter ? Qt::Key_Return : Qt::Key_Tab);
            EXPECT_EQ(spin->value(), c.Value);
            EXPECT_EQ(spin->text(), QString::number(c.Value));
        }
    }
}

TEST(SpinEdit, InterpretTextTakesWhatIsTypedWithoutLeavingTheField)
{
    TRSpinEdit spin;
    spin.setRange(1, 5);
    spin.setValue(2);
    ASSERT_TRUE(ActivateWindow(&spin));
    spin.selectAll();
    TypeText(&spin, QStringLiteral("8"));
    EXPECT_EQ(spin.value(), 2);
    spin.interpretText();
    EXPECT_EQ(spin.value(), 5);
}
