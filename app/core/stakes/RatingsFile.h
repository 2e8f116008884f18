#pragma once

#include "app/core/files/RecordFile.h"
#include "engine/KelmaUtils.h"

#include <QByteArray>
#include <QString>

#include <cstdint>

// The ratings file: 288-byte rating records one after another, no header, little-endian.
//   0  256  comment, short string (length byte, up to 255 cp1251 bytes)
// 256    4  stakes
// 260    4  matched positions in all
// 264   12  stakes with 0, 1 and 2 matched positions
// 276    4  a counter for a third position: always zero, two positions never reach it
// 280    8  balance, Currency (value x 10000)
inline constexpr int RatingRecSize = 288;
inline constexpr int RatingCommentSize = 256;
static_assert(RatingCommentSize + 4 + 4 + 4 * (RatingMatchCounters + 1) + 8 == RatingRecSize);

void WriteRatingRec(const TRatingRec& rec, std::uint8_t* bytes);
// The unused counter is not read: it carries nothing a rating can hold.
TRatingRec ReadRatingRec(const std::uint8_t* bytes);

// Puts the counts of a rating read from a file back into the range a rating can have: no
// count below zero, no counter above the stakes, no more matched positions than two per
// stake, and nothing at all (money included) in a rating without stakes. True when it
// changed something.
bool MendRatingRec(TRatingRec& rec);

using TRatingsFileContents = TRecordFileContents<TRatingRec>;
// The most ratings the file is read with, one per comment of the stakes scored: a quarter of a
// million is past what any list of them can show usefully, and 72 MB.
inline constexpr qint64 MaxRatingRecords = 250'000;
inline constexpr qint64 MaxRatingsFileBytes = MaxRatingRecords * RatingRecSize;
// The whole records of the file's bytes; extraBytes (when given) gets the bytes after them.
TRatingsArray RatingsFromBytes(const QByteArray& bytes, qint64* extraBytes = nullptr);

// Reads every whole record. A missing file gives Exists false; a file that exists but cannot
// be read raises Exception.
TRatingsFileContents ReadRatingsFile(const QString& fileName);
// The file as it would be written.
QByteArray RatingsToBytes(const TRatingsArray& ratings);
// Rewrites the file atomically: the old file stays whole until the new one is complete.
// Raises Exception when the file cannot be written.
void WriteRatingsFile(const QString& fileName, const TRatingsArray& ratings);
