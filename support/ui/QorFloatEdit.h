#pragma once

#include <QLineEdit>
#include <QString>

#include <functional>

// A one-line field for a floating-point value. It takes only the keys that can form a number,
// keeps the value as an extended float and shows it through a FormatFloat pattern (",0.00":
// grouped thousands and two decimals, in the locale's separators). The typed text becomes the
// value when the field is left or when Enter is pressed; Enter then goes on to the dialog's
// default button, unless the text could not be taken. Ctrl+A selects the text.
class TRFloatEdit : public QLineEdit {
    Q_OBJECT

public:
    explicit TRFloatEdit(QWidget* parent = nullptr);

    long double Value() const { return FValue; }
    // Stores the value and shows it when it differs; OnChange is told in any case.
    void SetValue(long double value);
    QString DisplayFormat() const { return FDisplayFormat; }
    void SetDisplayFormat(const QString& format);

    bool BeepOnError = true;
    // When the typed text cannot be taken (or OnChange fails on it), the value stays as it was.
    bool UndoOnError = true;
    // Enter shows the value it took formatted; off, the value shows unformatted while the field
    // has the focus.
    bool FormatOnEdit = true;

    // Told when the value is set or the text changes. What it raises while the typed text is
    // taken counts as a failure of that text; elsewhere it is shown in an error box.
    std::function<void(TRFloatEdit* sender)> OnChange;

    // Shows the value (formatted, or plain while being edited without FormatOnEdit).
    void UpdateText();
    // Takes the text as the value: '-' anywhere makes it negative; digits and the first decimal
    // separator are kept and everything else (group separators, blanks, letters) is dropped.
    // False when the text holds no number or OnChange refused it (the refusal is sounded).
    bool TextToValue();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    // Sounds the refusal of a key or of a text.
    virtual void Beep();

private:
    void NotifyChange();

    long double FValue = 0;
    QString FDisplayFormat = QStringLiteral(",0.00");
    bool FTyped = false;
};
