#include "support/ui/QorFloatEdit.h"

#include "platform/Exceptions.h"

#include <QApplication>
#include <QFocusEvent>
#include <QKeyEvent>

#include <gtest/gtest.h>

namespace {

// Counts the refusals it would sound.
class TCountingEdit : public TRFloatEdit {
public:
    int Beeps = 0;

protected:
    void Beep() override { ++Beeps; }
};

class FloatEdit : public ::testing::Test {
protected:
    // Sends one key; returns whether the field kept it (an ignored key goes on to the dialog).
    bool Key(int key, const QString& text, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QKeyEvent event(QEvent::KeyPress, key, modifiers, text);
        QApplication::sendEvent(&FEdit, &event);
        return event.isAccepted();
    }
    void Type(const QString& text)
    {
        for (const QChar c : text)
            Key(c.isDigit() ? Qt::Key_0 + c.digitValue() : 0, QString(c));
    }
    void Enter()
    {
        QFocusEvent event(QEvent::FocusIn);
        QApplication::sendEvent(&FEdit, &event);
    }
    void Leave()
    {
        QFocusEvent event(QEvent::FocusOut);
        QApplication::sendEvent(&FEdit, &event);
    }

    TCountingEdit FEdit;
};

} // namespace

TEST_F(FloatEdit, StartsAtZeroShownWithTwoDecimalsRightAligned)
{
    EXPECT_EQ(FEdit.text(), "0,00");
    EXPECT_EQ(FEdit.Value(), 0.0L);
    EXPECT_TRUE(FEdit.alignment().testFlag(Qt::AlignRight));
    EXPECT_EQ(FEdit.DisplayFormat(), ",0.00");
}

TEST_F(FloatEdit, TypedPointBecomesTheLocaleCommaAndLeavingFormats)
{
    Enter();
    Type("12.5");
    EXPECT_EQ(FEdit.text(), "12,5");
    EXPECT_EQ(FEdit.Value(), 0.0L);   // typing alone changes only the text
    Leave();
    EXPECT_EQ(FEdit.Value(), 12.5L);
    EXPECT_EQ(FEdit.text(), "12,50");
    EXPECT_EQ(FEdit.Beeps, 0);
}

TEST_F(FloatEdit, RefusedKeysSecondSeparatorAndPlusSilentlyOthersWithABeep)
{
    Enter();
    Type("1,2");
    EXPECT_TRUE(Key(Qt::Key_Period, "."));
    EXPECT_TRUE(Key(Qt::Key_Plus, "+"));
    EXPECT_EQ(FEdit.text(), "1,2");
    EXPECT_EQ(FEdit.Beeps, 0);
    EXPECT_TRUE(Key(Qt::Key_A, "a"));
    EXPECT_EQ(FEdit.Beeps, 1);
    EXPECT_TRUE(Key(Qt::Key_C, QString(QChar(3)), Qt::ControlModifier));   // the copy shortcut
    EXPECT_EQ(FEdit.Beeps, 2);
    EXPECT_EQ(FEdit.text(), "1,2");
    FEdit.BeepOnError = false;
    Key(Qt::Key_B, "b");
    EXPECT_EQ(FEdit.Beeps, 2);
    Key(Qt::Key_Backspace, "\b");
    EXPECT_EQ(FEdit.text(), "1,");
}

TEST_F(FloatEdit, MinusAnywhereMakesItNegativeAndGroupSeparatorsAreDropped)
{
    FEdit.setText("12-3");
    FEdit.TextToValue();
    EXPECT_EQ(FEdit.Value(), -123.0L);
    FEdit.setText("1 234,56");
    FEdit.TextToValue();
    EXPECT_EQ(FEdit.Value(), 1234.56L);
    // The field's own display reads back.
    FEdit.SetValue(-9876543.21L);
    EXPECT_EQ(FEdit.text(), QString("-9") + QChar(0xA0) + "876" + QChar(0xA0) + "543,21");
    FEdit.TextToValue();
    EXPECT_EQ(FEdit.Value(), -9876543.21L);
    // Letters and a second separator are dropped too.
    FEdit.setText("x1,5,7");
    FEdit.TextToValue();
    EXPECT_EQ(FEdit.Value(), 1.57L);
}

TEST_F(FloatEdit, TextWithoutANumberBeepsAndShowsThePreviousValue)
{
    FEdit.SetValue(42);
    Enter();
    FEdit.clear();
    Leave();
    EXPECT_EQ(FEdit.Beeps, 1);
    EXPECT_EQ(FEdit.Value(), 42.0L);
    EXPECT_EQ(FEdit.text(), "42,00");
}

TEST_F(FloatEdit, EscapeIsKeptOnlyAfterTypingAndEnterTakesTheTextAndGoesOn)
{
    FEdit.SetValue(5);
    Enter();
    EXPECT_FALSE(Key(Qt::Key_Escape, "\x1b"));   // nothing typed: the dialog closes
    Type("7");
    EXPECT_EQ(FEdit.text(), "7");
    EXPECT_TRUE(Key(Qt::Key_Escape, "\x1b"));
    EXPECT_EQ(FEdit.text(), "5,00");
    EXPECT_EQ(FEdit.Value(), 5.0L);

    // Enter takes what was typed and goes on to the dialog's default button at once.
    Type("8");
    EXPECT_FALSE(Key(Qt::Key_Return, "\r"));
    EXPECT_EQ(FEdit.Value(), 8.0L);
    EXPECT_EQ(FEdit.text(), "8,00");
    EXPECT_EQ(FEdit.selectedText(), "8,00");
    Type("9");
    EXPECT_FALSE(Key(Qt::Key_Enter, "\r", Qt::KeypadModifier));
    EXPECT_EQ(FEdit.Value(), 9.0L);
    EXPECT_FALSE(Key(Qt::Key_Return, "\r"));   // nothing typed since: on it goes too
    EXPECT_EQ(FEdit.Beeps, 0);

    // A text that is no number keeps the key: the field shows the value that stays.
    FEdit.clear();
    EXPECT_TRUE(Key(Qt::Key_Return, "\r"));
    EXPECT_EQ(FEdit.Beeps, 1);
    EXPECT_EQ(FEdit.Value(), 9.0L);
    EXPECT_EQ(FEdit.text(), "9,00");
    EXPECT_EQ(FEdit.selectedText(), "9,00");

    // Unformatted while edited: Enter takes the text all the same.
    FEdit.FormatOnEdit = false;
    FEdit.setText("12,5");
    EXPECT_FALSE(Key(Qt::Key_Return, "\r"));
    EXPECT_EQ(FEdit.Value(), 12.5L);
}

TEST_F(FloatEdit, CtrlASelectsTheWholeTextAndTheClipboardKeysStayRefused)
{
    FEdit.SetValue(1234.5L);
    FEdit.deselect();
    EXPECT_TRUE(Key(Qt::Key_A, QString(QChar(1)), Qt::ControlModifier));
    EXPECT_EQ(FEdit.selectedText(), FEdit.text());
    EXPECT_EQ(FEdit.Beeps, 0);
    EXPECT_TRUE(Key(Qt::Key_V, QString(QChar(22)), Qt::ControlModifier));
    EXPECT_EQ(FEdit.Beeps, 1);
    EXPECT_EQ(FEdit.Value(), 1234.5L);
}

TEST_F(FloatEdit, SameValueStillTellsAndAFailingHandlerUndoesTheValue)
{
    FEdit.SetValue(3);
    int changes = 0;
    FEdit.OnChange = [&changes](TRFloatEdit*) { ++changes; };
    FEdit.SetValue(3);
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(FEdit.text(), "3,00");

    FEdit.OnChange = [](TRFloatEdit* sender) {
        if (sender->Value() > 100)
            throw Exception("Слишком много");
    };
    FEdit.setText("250");
    FEdit.TextToValue();
    EXPECT_EQ(FEdit.Beeps, 1);
    EXPECT_EQ(FEdit.Value(), 3.0L);
    FEdit.UndoOnError = false;
    FEdit.TextToValue();
    EXPECT_EQ(FEdit.Value(), 250.0L);
}

TEST_F(FloatEdit, DisplayFormatAndPlainTextWhileEditing)
{
    FEdit.SetValue(1234.5L);
    FEdit.SetDisplayFormat("0.0");
    EXPECT_EQ(FEdit.text(), "1234,5");
    FEdit.SetDisplayFormat("");
    EXPECT_EQ(FEdit.text(), "1234,5");
    FEdit.SetDisplayFormat(",0.000");
    EXPECT_EQ(FEdit.text(), QString("1") + QChar(0xA0) + "234,500");
}
