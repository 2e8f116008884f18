#pragma once

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

// A data file of fixed-size records one after another, without a header (the draw archive,
// the ratings). Records are read and written field by field by the record type's own
// functions; this part only cuts the bytes into records.

template <typename TRec>
struct TRecordFileContents {
    bool Exists = false;
    std::vector<TRec> Records;
    qint64 ExtraBytes = 0;   // bytes after the last whole record (a damaged file)
    QByteArray Original;     // the file as read, kept only when it is damaged
};

// The whole file, read as every file is read (ReadRegularFile, at most maxBytes); none when
// nothing stands at the name. Whatever else stands there (a folder, a pipe, a device, a file
// larger than maxBytes or one that cannot be read) raises Exception with its name and the
// reason; the caller then neither reads nor replaces it.
std::optional<QByteArray> ReadWholeFile(const QString& fileName, qint64 maxBytes);

// A journal holds one short line: a data file's size and the hash of its bytes.
inline constexpr qint64 MaxJournalBytes = 4096;

// Reads every whole record with read(const std::uint8_t*), from a file of at most maxRecords
// records.
template <typename TRec, typename TRead>
TRecordFileContents<TRec> ReadRecordFile(const QString& fileName, int recordSize, qint64 maxRecords, TRead read)
{
    TRecordFileContents<TRec> contents;
    const std::optional<QByteArray> bytes = ReadWholeFile(fileName, maxRecords * recordSize);
    if (!bytes)
        return contents;
    contents.Exists = true;
    const qsizetype records = bytes->size() / recordSize;
    contents.ExtraBytes = bytes->size() % recordSize;
    if (contents.ExtraBytes > 0)
        contents.Original = *bytes;
    contents.Records.reserve(static_cast<size_t>(records));
    const auto* data = reinterpret_cast<const std::uint8_t*>(bytes->constData());
    for (qsizetype i = 0; i < records; ++i)
        contents.Records.push_back(read(data + i * recordSize));
    return contents;
}

// The records as the file holds them, each written by write(const TRec&, std::uint8_t*).
template <typename TRec, typename TWrite>
QByteArray RecordsToBytes(const std::vector<TRec>& records, int recordSize, TWrite write)
{
    QByteArray bytes(static_cast<qsizetype>(records.size()) * recordSize, '\0');
    auto* data = reinterpret_cast<std::uint8_t*>(bytes.data());
    for (size_t i = 0; i < records.size(); ++i)
        write(records[i], data + i * recordSize);
    return bytes;
}

// Keeps a copy of a damaged file's original bytes beside it ("<name>.bak", "<name>.bak2", ...)
// and returns its name. A copy that already holds exactly these bytes is used as it is, so a
// damage that outlives a start is kept once; a copy of other bytes is never overwritten.
// Raises Exception when the copy cannot be written.
QString BackupDamagedFile(const QString& fileName, const QByteArray& original);
// Reads size bytes of a file from an offset into data; raises Exception when it cannot.
using TReadBlock = std::function<void(qint64 offset, char* data, qint64 size)>;
// The same for a file that is never held in memory whole: its size bytes are read block by block.
QString BackupDamagedFile(const QString& fileName, qint64 size, const TReadBlock& read);

// Writes the file atomically unless it already holds exactly these bytes, so that a file
// whose content did not change is never written again (a full disk then costs nothing).
// Returns true when it wrote. Raises Exception when the write fails.
bool SaveFileIfChanged(const QString& fileName, const QByteArray& data);

// What a journal records of a data file: its size and a hash of its bytes, or "absent" when
// there is no file. Two digests are equal only for the same bytes.
QByteArray FileDigest(const std::optional<QByteArray>& bytes);
