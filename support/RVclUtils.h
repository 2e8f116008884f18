#pragma once

#include <QString>

#include <functional>

// ---------------------------------------------------------------------------------------------
// Busy state. Long operations run on the user-interface thread between StartWait and StopWait;
// commands are enabled only while IsNotWaiting(). Calls nest.

// Adds one to the busy counter.
void StartWait();
// Takes one off the busy counter while it is above 0 (a surplus call leaves it at 0).
void StopWait();
// True when no long operation runs (the counter is 0).
bool IsNotWaiting();
// The counter itself.
int WaitCount();

// The busy state for the length of a scope: entered with an optional status text and left
// (the status cleared) on every path out of the scope, also when it is left by an exception.
class TBusyScope {
public:
    explicit TBusyScope(const QString& status = QString());
    ~TBusyScope();
    TBusyScope(const TBusyScope&) = delete;
    TBusyScope& operator=(const TBusyScope&) = delete;

private:
    bool FShowsStatus;
};

// Told the counter after every StartWait and StopWait (also a surplus StopWait at 0), so the
// window layer can show the hourglass while it is above 0 and re-evaluate its commands.
using TWaitListener = std::function<void(int waitCount)>;
// Returns an id for RemoveWaitListener. Listeners are called in the order they were added.
int AddWaitListener(TWaitListener listener);
void RemoveWaitListener(int id);

// Show, step and hide of a progress display as functions, for a layer that reports its
// progress without knowing windows: the window layer fills them (ScopedProgressFunctions in
// support/ui/FormProgress.h); an empty one shows nothing.
struct TProgressFunctions {
    std::function<void(const QString& text, int maximum)> Show;
    std::function<void()> Step;
    std::function<void()> Hide;
};

// ---------------------------------------------------------------------------------------------
// Status line.

// Receives the texts of ShowInStatusBar; the main window installs it.
using TStatusSink = std::function<void(const QString& text)>;
// Installs a sink (an empty one: texts go nowhere). Returns the sink installed before.
TStatusSink SetStatusSink(TStatusSink sink);
// Hands the text to the status sink, when one is installed, then processes pending events once.
void ShowInStatusBar(const QString& text);

// Processes events in a loop until ms milliseconds have passed; at least once, also for 0.
void Delay(int ms);

// ---------------------------------------------------------------------------------------------
// Text conversions for settings and exchanged values.

// "1" / "0".
QString BoolToStr01(bool value);
// True only for exactly "1".
bool StrToBool01(const QString& text);
// The general float text (up to 15 significant digits) with "." as the decimal separator.
QString FloatToStrPoint(long double value);
// Lenient float reading: digits and '-' are kept, ',' and '.' both act as the decimal
// separator, everything else (blanks, '+', letters, so an exponent too) is dropped; what is
// left must be a number, otherwise the default is returned.
long double StrToFloatAnyDef(const QString& text, long double defaultValue);
