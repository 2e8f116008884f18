#include "support/ui/QorFloatEdit.h"

#include "platform/DelphiText.h"
#include "support/RDialogs.h"

#include <QApplication>
#include <QKeyEvent>
#include <QKeySequence>

#include <exception>

namespace {

// Characters of a key as the field sees them; control characters of shortcuts included.
QChar KeyChar(const QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_Backspace:
        return QChar(8);
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return QChar(13);
    case Qt::Key_Escape:
        return QChar(27);
    case Qt::Key_Delete:
        return QChar();   // an editing key, not a character
    default:
        break;
    }
    const QString text = event->text();
    if (!text.isEmpty())
        return text.at(0);
    // A shortcut with Ctrl reaches the field as its control character (Ctrl+C is 3).
    if (event->modifiers().testFlag(Qt::ControlModifier) && event->key() >= Qt::Key_A && event->key() <= Qt::Key_Z)
        return QChar(event->key() - Qt::Key_A + 1);
    return QChar();
}

} // namespace

TRFloatEdit::TRFloatEdit(QWidget* parent) : QLineEdit(parent)
{
    setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    resize(121, 25);
    connect(this, &QLineEdit::textChanged, this, [this] {
        // A failing handler must not unwind through Qt's signal delivery.
        try {
            NotifyChange();
        } catch (const Exception& e) {
            ErrorBox(e.Message());
        } catch (const std::exception& e) {
            ErrorBox(ExceptionText(e));
        }
    });
    UpdateText();
}

void TRFloatEdit::NotifyChange()
{
    if (OnChange)
        OnChange(this);
}

void TRFloatEdit::SetValue(long double value)
{
    if (value != FValue) {
        FValue = value;
        UpdateText();
    }
    NotifyChange();
}

void TRFloatEdit::SetDisplayFormat(const QString& format)
{
    if (format == FDisplayFormat)
        return;
    FDisplayFormat = format;
    UpdateText();
}

void TRFloatEdit::UpdateText()
{
    FTyped = false;
    if (!FormatOnEdit && hasFocus())
        setText(FloatToStr(FValue));
    else if (FDisplayFormat.isEmpty())
        setText(FloatToStr(FValue));
    else
        setText(FormatFloat(FDisplayFormat, FValue));
}

bool TRFloatEdit::TextToValue()
{
    const QString current = text();
    const QChar decimal = DecimalSeparator();
    const bool negative = current.contains(QLatin1Char('-'));
    QString plain;
    bool hasDecimal = false;
    for (const QChar c : current) {
        if (c >= QLatin1Char('0') && c <= QLatin1Char('9')) {
            plain += c;
        } else if (c == decimal && !hasDecimal) {
            plain += c;
            hasDecimal = true;
        }
    }
    const long double remembered = FValue;
    try {
        long double value = StrToFloat(plain);
        FValue = negative ? -value : value;
        NotifyChange();
        return true;
    } catch (...) {
        if (BeepOnError)
            Beep();
        if (UndoOnError)
            FValue = remembered;
        return false;
    }
}

void TRFloatEdit::keyPressEvent(QKeyEvent* event)
{
    // Selecting the text changes nothing in it: the line editor's own key, not a character.
    if (event->matches(QKeySequence::SelectAll)) {
        QLineEdit::keyPressEvent(event);
        return;
    }
    QChar key = KeyChar(event);
    // Keys without a character (arrows, Delete, Home ...) are the line editor's own.
    if (key.isNull()) {
        QLineEdit::keyPressEvent(event);
        return;
    }
    const QChar decimal = DecimalSeparator();
    if (key == QLatin1Char(',') || key == QLatin1Char('.'))
        key = decimal;

    const bool allowed = key == QChar(8) || key == QChar(13) || key == QChar(27) || key == QLatin1Char('+')
                         || key == QLatin1Char('-') || (key >= QLatin1Char('0') && key <= QLatin1Char('9'))
                         || key == decimal;
    if (!allowed) {
        if (BeepOnError)
            Beep();
        FTyped = false;
        event->accept();
        return;
    }
    if (key == QLatin1Char('+') || (key == decimal && text().contains(decimal))) {
        FTyped = false;
        event->accept();
        return;
    }
    if (key == QChar(13)) {
        // The typed text becomes the value at once, so that the dialog's default button, which
        // the key goes on to, finds it taken: one Enter both commits and accepts. A text that
        // cannot be taken keeps the key here; the field shows the value that stays.
        const bool taken = TextToValue();
        if (FormatOnEdit || !taken) {
            UpdateText();
            selectAll();
        }
        if (taken)
            event->ignore();
        else
            event->accept();
        return;
    }
    if (key == QChar(27)) {
        const bool consumed = FTyped;
        UpdateText();
        selectAll();
        if (consumed)
            event->accept();
        else
            event->ignore();   // passes on: the dialog closes
        return;
    }
    FTyped = true;
    if (event->text().isEmpty() || key != event->text().at(0)) {
        // The separator typed as ',' or '.' goes in as the locale's own.
        QKeyEvent replaced(event->type(), event->key(), event->modifiers(), QString(key),
                           event->isAutoRepeat(), static_cast<ushort>(event->count()));
        QLineEdit::keyPressEvent(&replaced);
        event->setAccepted(replaced.isAccepted());
        return;
    }
    QLineEdit::keyPressEvent(event);
}

void TRFloatEdit::focusInEvent(QFocusEvent* event)
{
    QLineEdit::focusInEvent(event);
    UpdateText();
    selectAll();
}

void TRFloatEdit::focusOutEvent(QFocusEvent* event)
{
    TextToValue();
    UpdateText();
    QLineEdit::focusOutEvent(event);
}

void TRFloatEdit::Beep()
{
    QApplication::beep();
}
