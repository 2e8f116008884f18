#pragma once

#include "app/core/files/RecordFile.h"
#include "engine/KelmaUtils.h"

#include <QByteArray>
#include <QString>

// The archive file: 20-byte draw records one after another, oldest first, no header.

using TDrawFileContents = TRecordFileContents<TDrawRec>;

// The most draws the archive is read with: two draws a day for more than a thousand years,
// 20 MB. A larger file is not an archive.
inline constexpr qint64 MaxDrawRecords = 1'000'000;
inline constexpr qint64 MaxDrawsFileBytes = MaxDrawRecords * DrawRecSize;

// Reads every whole record. A missing file gives Exists false and no draws; a file that
// exists but cannot be read raises Exception.
TDrawFileContents ReadDrawsFile(const QString& fileName);
// Rewrites the file atomically through TSaveFile: the old file stays whole until the new one
// is complete. Raises Exception when the file cannot be written.
void WriteDrawsFile(const QString& fileName, const TDrawsArray& draws);
// The file as it would be written.
QByteArray DrawsToBytes(const TDrawsArray& draws);
