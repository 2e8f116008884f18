#pragma once

#include <QString>

// The system's reason for a failed call (an errno value) as the user reads it. The reasons a
// user can act on (no room, no rights, a read-only disk, a folder in the way, a file too large)
// are told in the program's own words; any other as the C library has it, in Russian where the
// system has a Russian locale installed, else in English.
QString SystemErrorText(int code);
