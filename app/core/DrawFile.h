#pragma once

#include "engine/KelmaUtils.h"

#include <QString>

// The archive file: 20-byte draw records one after another, oldest first, no header.

struct TDrawFileContents {
    bool Exists = false;
    TDrawsArray Draws;
    qint64 ExtraBytes = 0;   // bytes after the last whole record (a damaged file)
};

// Reads every whole record. A missing file gives Exists false and no draws; a file that
// exists but cannot be read raises Exception.
TDrawFileContents ReadDrawsFile(const QString& fileName);
// Rewrites the file atomically: the old file stays whole until the new one is complete.
// Raises Exception when the file cannot be written.
void WriteDrawsFile(const QString& fileName, const TDrawsArray& draws);
// The file as it would be written.
QByteArray DrawsToBytes(const TDrawsArray& draws);
// Copies the file beside itself under a name not used yet ("<name>.bak", "<name>.bak2", ...)
// and returns that name. Raises Exception when the copy fails.
QString BackupDrawsFile(const QString& fileName);
