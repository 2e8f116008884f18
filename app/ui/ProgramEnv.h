#pragma once

#include "support/RDialogs.h"

#include <QDate>
#include <QString>
#include <QStringList>

// How the program is set up before its main window is made, and the environment switches for
// runs without a person at the screen (tests, scheduled batch runs).

// "1": no box waits for an answer. Each box is written to the error output as one entry,
// "[title] text", and answered at once: OK boxes with OK, questions with No, since nobody
// agreed to anything. The batch switches ("loadonly", "fullrecreate", "fullrefresh") turn this
// on by themselves: they are meant for scheduled runs.
inline constexpr char UnattendedEnv[] = "TAVRIX_UNATTENDED";
// "yyyy-mm-dd": the program's clock says it is noon of that day (for tests of the download).
inline constexpr char FixedTodayEnv[] = "TAVRIX_TODAY";

// The entry an unattended box writes: "[title] text" and a line end.
QString UnattendedBoxEntry(const TBoxRequest& box);
// The answer an unattended box gets.
int UnattendedBoxAnswer(const TBoxRequest& box);
// Writes the entry to the error output and returns the answer.
int ShowUnattendedBox(const TBoxRequest& box);

// The date of FixedTodayEnv's value; an invalid date for any other text.
QDate ParseFixedToday(const QString& text);

// True when no box may wait for a person: UnattendedEnv's value is "1", or the arguments
// (without the program) hold a batch switch.
bool IsUnattendedRun(const QStringList& arguments, const QString& unattendedValue);

// Installs the message boxes (Qt's, or the unattended ones) and, when asked for, the fixed
// clock. Call once the application object exists; the arguments are the program's, without
// the program itself.
void InstallProgramEnvironment(const QStringList& arguments);
