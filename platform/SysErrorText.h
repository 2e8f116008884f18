#pragma once

#include <QString>

class QIODevice;

// The system's reason for a failed call (an errno value) as the user reads it, always in the
// program's own Russian words: every code the system has (files, processes, the network,
// starting a program ...), and "системная ошибка N" for a number it does not have. The reasons
// a user meets with files (no room, no rights, a read-only disk, a folder in the way) say what
// to look at.
QString SystemErrorText(int code);
// The reason of a file's last failure in the same words. Qt words a failed system call as the C
// library does, in English on a machine without Russian messages: such a text is told as the
// system's reason it stands for, and so is a folder in a file's place; any other of Qt's own
// is kept.
QString FileErrorText(const QIODevice& file);
