#pragma once

// Starting and waiting for child processes; the private half of RSysUtils.

#include "support/RSysUtils.h"

#include <QString>
#include <QStringList>

#include <sys/types.h>

struct TCommandLine {
    QString Program;
    QStringList Arguments;
    QString DisplayName;   // program file name without folder, then the arguments
};

// Splits a command line into program and arguments (as a shell splits words: blanks, quotes, backslashes).
// An unquoted program path that contains blanks is recognised as the shortest prefix that
// names an existing executable file, as the window system does.
TCommandLine SplitCommandLine(const QString& commandLine);
// Arguments of a parameter text, split as in a command line.
QStringList SplitArguments(const QString& parameters);
// "name parameters", or the name alone for empty parameters.
QString AddArguments(const QString& name, const QString& parameters);

struct TSpawnedProcess {
    pid_t Pid = 0;
};

// Starts program (looked up on PATH when it has no '/') with the arguments in folder (empty:
// the current one), in a process group of its own. Raises ESystemError with the errno of the
// failure: a missing program or folder is reported by the start itself.
TSpawnedProcess SpawnProcess(const QString& folder, const QString& program,
                             const QStringList& arguments);
// Lets the process run on; it is reaped when it ends, so no zombie stays behind.
void ReleaseProcess(TSpawnedProcess& process);
// Polls every 100 ms, processing events and asking abortProc, until the process ends, and
// returns its exit code (128 + signal for a killed process). An abort raises ESystemError and
// releases the running process; a time-out kills its process group and raises ESystemError.
int WaitForProcess(TSpawnedProcess& process, const QString& displayName, int timeoutSec,
                   TAbortProc abortProc);
