#pragma once

#include "platform/Exceptions.h"

#include <QByteArray>
#include <QString>

// The one way the program reads a file: every settings file, record file, list, module and
// package file is read through here, so that whatever stands at a file's name cannot hold the
// program. Only a regular file is read (a link to one is followed); it is opened without
// waiting, so a pipe without a writer never blocks the open; and it is read only up to the size
// its kind of file can hold, so a device such as /dev/zero behind a link never fills the memory.

// A file that could not be read. The message is the reason alone, in Russian, for the caller
// to put into its own sentence that names the file; Code() is the system's error number, or 0
// when the file is not a regular one or is larger than its kind allows.
class EFileReadError : public Exception {
public:
    EFileReadError(const QString& reason, int code) : Exception(reason), FCode(code) {}
    int Code() const noexcept { return FCode; }

private:
    int FCode;
};

// The reason of a failed read of a file in the user's words: like SystemErrorText, but missing
// rights name reading ("нет прав на чтение этого файла") rather than reading and writing.
QString ReadErrorText(int code);

// Opens a file for reading as described above and returns its descriptor, blocking again for
// the reads that follow; the caller closes it. Raises EFileReadError for anything that is not a
// regular file of at most maxBytes, or cannot be opened.
int OpenRegularFile(const QString& fileName, qint64 maxBytes);

// The same rule for a file the caller opens itself (for writing too): raises EFileReadError
// unless the descriptor is a regular file of at most maxBytes.
void CheckRegularFile(int fd, qint64 maxBytes);

// Reads a whole file opened by OpenRegularFile. The limit holds for what is read, not only for
// the size seen at the open, so a file that grows while it is read is refused too.
QByteArray ReadRegularFile(const QString& fileName, qint64 maxBytes);
