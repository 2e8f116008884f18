#pragma once

#include <QString>

// True when a running process executes the given program file. A name with a '/' is compared
// with the full path of each process's executable; a bare file name with the file name of the
// executable, without regard to letter case. A program file replaced on disk while it runs
// (a self-update) still counts. excludeSelf leaves out the calling process.
bool IsProcessRunning(const QString& fileName, bool excludeSelf);
