#pragma once

#include "app/core/files/RecordFile.h"
#include "engine/KelmaUtils.h"

#include <QByteArray>
#include <QString>

// The archive file: 20-byte draw records one after another, oldest first, no header.

using TDrawFileContents = TRecordFileContents<TDrawRec>;

// Reads every whole record. A missing file gives Exists false and no draws; a file that
// exists but cannot be read raises Exception.
TDrawFileContents ReadDrawsFile(const QString& fileName);
// Rewrites the file atomically through TSaveFile: the old file stays whole until the new one
// is complete. Raises Exception when the file cannot be written.
void WriteDrawsFile(const QString& fileName, const TDrawsArray& draws);
// The file as it would be written.
QByteArray DrawsToBytes(const TDrawsArray& draws);
