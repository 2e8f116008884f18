#pragma once

#include <QString>

class QIODevice;

// The system's reason for a failed call (an errno value) as the user reads it. The reasons a
// user meets with files (no room, no rights, a read-only disk, a folder in the way, a file too
// large, a missing file or folder ...) are told in the program's own words; any other as the C
// library has it in Russian where the system has a Russian locale installed, else as "системная
// ошибка N" followed by the library's English words.
QString SystemErrorText(int code);
// The reason of a file's last failure in the same words. Qt words a failed system call as the C
// library does, in English on a machine without Russian messages: such a text is told as the
// system's reason it stands for, and so is a folder in a file's place; any other of Qt's own
// is kept.
QString FileErrorText(const QIODevice& file);
