#pragma once

#include "support/RDialogs.h"

#include <QDate>
#include <QString>
#include <QStringList>

// How the program is set up before its main window is made, and the environment switches for
// runs without a person at the screen (tests, scheduled batch runs).

// "1": no box waits for an answer; each is shown as an unattended box (ShowUnattendedBox in
// support/RDialogs.h: written to the error output, OK boxes answered OK, questions No). The
// batch switches ("loadonly", "fullrecreate", "fullrefresh") turn this
// on by themselves: they are meant for scheduled runs.
inline constexpr char UnattendedEnv[] = "TAVRIX_UNATTENDED";
// "yyyy-mm-dd": the program's clock says it is noon of that day (for tests of the download).
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
