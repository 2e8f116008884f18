#pragma once

#include "engine/KelmaUtils.h"

#include <QByteArray>
#include <QString>

// The archive file: 20-byte draw records one after another, oldest first, no header.

struct TDrawFileContents {
    bool Exists = false;
    TDrawsArray Draws;
    qint64 ExtraBytes = 0;   // bytes after the last whole record (a damaged file)
    QByteArray Original;     // the file as read, kept only when it is damaged
};

// Reads every whole record. A missing file gives Exists false and no draws; a file that
// exists but cannot be read raises Exception.
TDrawFileContents ReadDrawsFile(const QString& fileName);
// Rewrites the file atomically through TSaveFile: the old file stays whole until the new one
// is complete. Raises Exception when the file cannot be written.
void WriteDrawsFile(const QString& fileName, const TDrawsArray& draws);
// The file as it would be written.
QByteArray DrawsToBytes(const TDrawsArray& draws);
// Keeps a copy of a damaged file's original bytes beside it ("<name>.bak", "<name>.bak2", ...)
// and returns its name. A copy that already holds exactly these bytes is used as it is, so a
// damage that outlives a start is kept once; a copy of other bytes is never overwritten.
// Raises Exception when the copy cannot be written.
QString BackupDrawsFile(const QString& fileName, const QByteArray& original);
