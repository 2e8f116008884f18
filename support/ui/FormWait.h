#pragma once

#include <QString>
#include <QWidget>

class QFrame;
class QLabel;

// The wait window: a borderless box in the middle of the screen with one centred message,
// shown while a long operation (the draws download) keeps the program busy. There is at most
// one; it is reached through the functions below. It is a tool window of the main window
// (MainForm) when there is one, so it stays above it until it is hidden.
class TFormWait : public QWidget {
    Q_OBJECT

public:
    explicit TFormWait(QWidget* parent = nullptr);

    // Sets the message (as ShownText shows it) and centres it vertically in the panel; a line
    // wider than the panel is shortened in its middle ("…").
    void SetText(const QString& text);
    QString Text() const;

    QFrame* InfoPanel() const { return FInfoPanel; }
    QLabel* InfoLabel() const { return FInfoLabel; }

private:
    QFrame* FInfoPanel = nullptr;
    QLabel* FInfoLabel = nullptr;
};

// Shows the wait window (creating it, over the main window, when there is none) with the text, paints it at once,
// brings it to the front and processes pending events.
void ShowWaitForm(const QString& text);
// A new text for a shown wait window; nothing when there is none.
void UpdateWaitForm(const QString& text);
// Frees the wait window when there is one.
void HideWaitForm();
// The wait window, or none.
TFormWait* WaitForm();
