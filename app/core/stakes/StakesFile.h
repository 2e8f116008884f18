#pragma once

#include "app/core/stakes/StakeCheckStart.h"
#include "engine/KelmaStakes.h"
#include "platform/Exceptions.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <functional>
#include <vector>

// The stakes file is held by another holder (a second copy of the program in the folder).
class EStakesFileHeld : public Exception {
public:
    using Exception::Exception;
};

// What the start-up load found and did.
struct TStakesLoadReport {
    QString FileName;
    qint64 OriginalSize = 0;
    bool OldVersion = false;     // the first byte was not the record version: the file was emptied
    qint64 DroppedBytes = 0;     // a torn last append: the bytes after the last whole record
    QString BackupFile;          // the copy of the original kept before either repair
    bool Repaired() const { return OldVersion || DroppedBytes > 0; }
};

// The stakes file, open for the whole run and held exclusively. Stakes are never held in
// memory: every operation works on the file. One record is cached, keyed by its byte position
// in the file; every write refreshes it and every reopen or rewrite drops it.
//
// Every operation that fails raises Exception whose message is the complete text to show the
// user; nothing is swallowed, and a failed read never yields a made-up record.
class TStakesFile {
public:
    enum TSeekOrigin { soFromBeginning = 0, soFromCurrent = 1, soFromEnd = 2 };

    static constexpr char BaseName[] = "Tavrix2_2r10.lsk";

    explicit TStakesFile(QString fileName);
    ~TStakesFile();
    TStakesFile(const TStakesFile&) = delete;
    TStakesFile& operator=(const TStakesFile&) = delete;

    const QString& FileName() const { return FFileName; }
    bool IsOpen() const { return FHandle >= 0; }

    // Opens the file for reading and writing (creating it when missing) and takes an
    // exclusive hold on it; a file held by another holder is refused with EStakesFileHeld.
    // Any other failure raises a text that names the file and gives the reason. The cache is
    // emptied and the position set to 0.
    void Open();
    // Start-up: opens the file and checks it. A file whose first byte is not the record
    // version is emptied; a file of the right version whose size is not a whole number of
    // records lost its last append half-way and keeps its whole records. Either repair first
    // keeps a copy of the original beside the file; when the copy cannot be made the file is
    // left alone and the load fails. Raises "Ошибка чтения файла ставок!..." on any error.
    TStakesLoadReport Load();
    // The texts that tell the user about a repair, in the order they are shown; none when the
    // file was sound.
    static QStringList LoadMessages(const TStakesLoadReport& report);
    // Raises "Ошибка записи в файл ставок!..." when the system reports an error on closing.
    void Close();
    // Close and open again; raises "Ошибка записи в файл ставок!..." on failure.
    void Reopen();

    qint64 Size() const;                         // bytes; 0 while closed
    qint64 RecordCount() const { return Size() / StakeRecSize; }
    bool HasStakes() const { return IsOpen() && Size() > 0; }
    qint64 Position() const { return FPosition; }
    void SetPosition(qint64 position) { FPosition = position; }

    // The record at index x 304 bytes from the origin; the position then follows it.
    // Raises "Ошибка чтения записи из файла ставок!..." (the record-not-found text for a
    // position outside the file).
    TStakeRec ReadStake(TSeekOrigin origin, qint64 index);
    // Writes the record at index x 304 bytes from the origin; the end of the file is allowed
    // (appends). Raises "Ошибка добавления записи в файл ставок!...".
    void WriteStake(TSeekOrigin origin, qint64 index, const TStakeRec& rec);
    // Whole records [first, first + count) as they are stored, into a buffer that is resized to
    // fit, so that a scan reuses one buffer; scans read through TStakeReader.
    void ReadRecordsInto(qint64 first, qint64 count, QByteArray& into);
    // Replaces whole records from record `first` on with the given bytes, in place. Raises
    // "Ошибка добавления записи в файл ставок!..." (the record-not-found text for a range
    // outside the file).
    void WriteRecordBytes(qint64 first, const QByteArray& records);

    // Appends a stake; for a draw count k >= 2 one copy per draw (draw numbers d .. d+k-1),
    // each preceded by a separator when the file's last record is then a stake. All copies
    // go to the file together: a failure leaves the file as it was. Raises
    // "Ошибка добавления записи в файл ставок!..." (also for a checked record and for draw
    // numbers past the 32-bit range).
    void AppendStake(const TStakeRec& rec, int drawCount);
    // AppendStake for each record in turn, with the bytes of all of them going to the file
    // in one write: the file ends exactly as after those appends one by one, or, on any
    // failure, as it was. Nothing is written when one record is refused.
    void AppendStakes(const std::vector<TStakeRec>& recs, int drawCount);
    // Cuts the file back to `size` bytes (never lengthens it).
    void Truncate(qint64 size);

    // Clears the rating marks (RatingPending) of the records [first, first + count) that
    // carry one, writing back only the stretches that changed. Returns how many it cleared.
    qint64 ClearRatingMarks(qint64 first, qint64 count);
    // Changes whenever records may have moved to other indexes (a load that cut the file, a
    // deletion): indexes remembered under another value no longer name the same records.
    int Layout() const { return FLayout; }

    // Where a stake check starts reading (TStakeCheckStart): the check sets it when it has
    // read to the end. This object's own writes move it back as far as they must; it is
    // forgotten at a load or a deletion, and whenever the file is found changed by anything
    // else, closing and opening again in between or not.
    qint64 CheckStart() { return FCheckStart.Get(FHandle); }
    void SetCheckStart(qint64 index) { FCheckStart.Set(FHandle, index); }

    // True when a record for the draw number has the same staked digits.
    bool StakeExists(std::int32_t drawNumber, const TDigitsRec& digits);

    // Positions the file so that reading forward covers the stakes of the last n checked
    // draws; returns how many such draws there are (at most n).
    int SeekLastCheckedDraws(int n);

    // Rewrites the file without the records the keep-test refuses, through a temporary file
    // that is renamed over the original only once it is complete; any failure before then
    // leaves the original untouched and open. Returns the number of records dropped. Raises
    // "Ошибка удаления записи из файла ставок!...".
    using TKeepTest = std::function<bool(qint64 index, const TStakeRec& rec)>;
    qint64 DeleteStakes(const TKeepTest& keep);
    // Separators are always kept; the others are dropped when their matched count m and the
    // value v satisfy: 0 m = v, 1 m > v, 2 m >= v, 3 m < v, 4 m <= v.
    static bool KeptByCondition(const TStakeRec& rec, int condition, int value);
    qint64 DeleteStakesByCondition(int condition, int value);

private:
    void RequireOpen() const;
    qint64 SeekBase(TSeekOrigin origin) const;
    void ReadAt(qint64 position, void* data, qint64 size) const;
    void WriteAt(qint64 position, const void* data, qint64 size);
    static int OpenHeld(const QString& fileName);   // raises as Open does
    // The bytes of the records as AppendStake would write them after a file whose last
    // record is (or is not) a stake; lastIsStake follows the records.
    static void AppendBytes(std::vector<std::uint8_t>& bytes, const TStakeRec& rec, int drawCount,
                            bool& lastIsStake);
    bool LastIsStake(qint64 size) const;
    // Writes over bytes of the file, keeping the check start right.
    void WriteInPlace(qint64 position, const void* data, qint64 size);

    QString FFileName;
    int FHandle = -1;
    qint64 FPosition = 0;
    qint64 FCachePosition = -1;   // byte position of the cached record; -1: nothing cached
    TStakeRec FCache;
    int FLayout = 0;
    TStakeCheckStart FCheckStart;
};
