#pragma once

#include "support/RVclUtils.h"

#include <QString>
#include <QWidget>

#include <memory>

class QFrame;
class QLabel;
class QProgressBar;
class QPushButton;

// The progress window: a borderless box in the middle of the screen with a message, a gauge
// and an optional stop button. There is at most one; it is reached through the functions below.
class TFormProgress : public QWidget {
    Q_OBJECT

public:
    explicit TFormProgress(QWidget* parent = nullptr);

    // Shows or hides the stop button; the window grows to make room for it.
    void SetStopVisible(bool visible);
    // The gauge runs from 0 to maximum (a negative maximum counts as 0) and starts empty.
    void SetMaximum(int maximum);
    int Maximum() const { return FMaximum; }

    QLabel* Text() const { return FText; }
    QProgressBar* Gauge() const { return FGauge; }
    QPushButton* BtnStop() const { return FBtnStop; }

private:
    QFrame* FPanel = nullptr;
    QLabel* FText = nullptr;
    QProgressBar* FGauge = nullptr;
    QPushButton* FBtnStop = nullptr;
    int FMaximum = 0;
};

// Creates and shows the progress window with the text, a gauge from 0 to maximum and, with
// showStop, the stop button. Raises Exception "Окно индикатора уже создано!" when a progress
// window exists already (that window stays).
void ShowProgress(const QString& text, int maximum, bool showStop);
// A new text; nothing when there is no progress window.
void SetProgressText(const QString& text);
// Advances the gauge by step, never beyond its maximum; nothing when there is no window.
void StepProgress(int step);
// Frees the progress window when there is one.
void HideProgress();
// The progress window, or none.
TFormProgress* ProgressForm();
// True when the user pressed the stop button of the progress window.
bool ProgressStopRequested();

// The progress window for the length of a scope, hidden again on every way out of it (an
// exception too). A progress window that is up already belongs to an enclosing operation: the
// scope leaves it as it is, neither raising nor hiding it, and its own steps go nowhere.
class TProgressScope {
public:
    TProgressScope(const QString& text, int maximum, bool showStop = false);
    ~TProgressScope();
    TProgressScope(const TProgressScope&) = delete;
    TProgressScope& operator=(const TProgressScope&) = delete;

    // True while the window shown is this scope's own.
    bool Owns() const { return FOwns; }
    // Advances this scope's own window; nothing for an enclosing operation's window.
    void Step(int step = 1) const;
    // Hides this scope's own window before the scope ends; later calls and the end do nothing.
    void Hide();

private:
    bool FOwns = false;
};

// The progress functions of this window, for a lower layer that reports its progress without
// knowing windows: each show opens a progress scope (ending the one before), hide ends it.
TProgressFunctions ScopedProgressFunctions();
