#pragma once

#include "support/RDialogs.h"

#include <QDate>
#include <QString>
#include <QStringList>

#include <functional>

class QDialog;
class TTemplateMain;

// How the program is set up before its main window is made, and the environment switches for
// runs without a person at the screen (tests, scheduled batch runs).

// "1": no box waits for an answer; each is shown as an unattended box (ShowUnattendedBox in
// support/RDialogs.h: written to the error output, OK boxes answered OK, questions No). The
// batch switches ("loadonly", "fullrecreate", "fullrefresh") turn this
// on by themselves: they are meant for scheduled runs.
inline constexpr char UnattendedEnv[] = "TAVRIX_UNATTENDED";
// "yyyy-mm-dd": the program's clock says it is 20:00 of that day, after both its draws (for tests
// of the download).
inline constexpr char FixedTodayEnv[] = "TAVRIX_TODAY";

// The date of FixedTodayEnv's value; an invalid date for any other text.
QDate ParseFixedToday(const QString& text);

// True when no box may wait for a person: UnattendedEnv's value is "1", or the arguments
// (without the program) hold a batch switch.
bool IsUnattendedRun(const QStringList& arguments, const QString& unattendedValue);

// Installs the message boxes (Qt's, or the unattended ones) and, when asked for, the fixed
// clock. Call once the application object exists; the arguments are the program's, without
// the program itself.
void InstallProgramEnvironment(const QStringList& arguments);

// Shows the main window and runs the program's event loop until that window closes, whatever
// other windows are open then; returns the exit status the window set (TTemplateMain::ExitCode).
int RunMainWindow(TTemplateMain& form);

// Makes the interface's dates, month and day names and file-dialog dates Russian whatever the
// machine's locale, as every text of the program is: Qt takes them from the system locale
// (time and messages). Numbers, money and sorting keep the machine's own conventions, so the
// decimal separator and everything written with it stay as they were. The process's own
// environment, which the C library and started programs read, is left as it was. Call before
// the application object exists: Qt reads the system locale once.
void UseRussianInterfaceLocale();

// A data file that reaches the process's file-size limit ("ulimit -f") would end the program
// by a signal, without a word; ignored, the write fails instead and the save reports it. Call
// first thing.
void IgnoreFileSizeSignal();

// How the program's modal windows (information, repeats, favourites, method help, graphs) are
// shown: Qt's modal loop by default; a run without a person at the screen shows the window,
// lets it paint and closes it. Tests install their own to look at a window and answer it. The
// result is the dialog's result code.
using TModalFormHandler = std::function<int(QDialog& form)>;
// Installs the handler (an empty one: the default again). Returns the one installed before.
TModalFormHandler SetModalFormHandler(TModalFormHandler handler);
int ExecModalForm(QDialog& form);
