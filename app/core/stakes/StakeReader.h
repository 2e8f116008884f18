#pragma once

#include "engine/KelmaStakes.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QtEndian>

#include <cstdint>

class TStakesFile;

// One record of the stakes file read where it lies, in the bytes as stored: a scan that looks
// at a few fields of every record never copies the rest.
class TStakeView {
public:
    explicit TStakeView(const std::uint8_t* bytes) : FBytes(bytes) {}

    const std::uint8_t* Bytes() const { return FBytes; }
    std::int32_t DrawNumber() const { return qFromLittleEndian<qint32>(FBytes + StakeOffset::DrawNumber); }
    bool Checked() const { return FBytes[StakeOffset::Checked] != 0; }
    bool RatingPending() const { return FBytes[StakeOffset::RatingPending] != 0; }
    std::int32_t StakedCount() const { return qFromLittleEndian<qint32>(FBytes + StakeOffset::Digits); }
    std::int32_t MatchedCount() const { return qFromLittleEndian<qint32>(FBytes + StakeOffset::Matches); }
    TDigitsRec Digits() const { return ReadDigitsRec(FBytes + StakeOffset::Digits); }
    TCurrency Balance() const
    {
        return TCurrency::FromRaw(qFromLittleEndian<qint64>(FBytes + StakeOffset::Balance));
    }
    // The comment as stored, its length byte first: equal bytes are the same comment.
    QByteArrayView CommentField() const
    {
        return QByteArrayView(FBytes + StakeOffset::Comment, 1 + FBytes[StakeOffset::Comment]);
    }
    QString Comment() const { return ReadShortString(FBytes + StakeOffset::Comment, StakeRecSize - StakeOffset::Comment); }

    bool IsStake() const { return DrawNumber() > 0; }
    // Counts out of range (TStakeRec::IsDamaged): shown empty, never scored or rated.
    bool IsDamaged() const { return TStakeRec::CountsDamaged(DrawNumber(), StakedCount(), MatchedCount()); }
    // A sound stake of a combination or more that waits for its draw: what a check scores.
    bool AwaitsCheck() const { return !Checked() && IsStake() && StakedCount() >= 2 && !IsDamaged(); }
    // A sound record that no check has to look at again.
    bool Settled() const { return !IsDamaged() && !AwaitsCheck(); }
    // A checked stake whose result counts in the ratings.
    bool IsScored() const { return DrawNumber() >= 0 && Checked() && MatchedCount() >= 0 && !IsDamaged(); }

    // Every field, for the code that needs the whole record.
    TStakeRec Record() const { return ReadStakeRec(FBytes); }

private:
    const std::uint8_t* FBytes;
};

// Streams the records of the stakes file, from a first record on, one block at a time.
// Every loop over the file reads through this, so all of them see the same records in the same
// blocks and tell damaged records apart by the same rule (TStakeView::IsDamaged).
//
//     for (TStakeReader reader(file); reader.NextBlock();)
//         for (qint64 k = 0; k < reader.Count(); ++k)
//             ... reader.At(k) ...
//
// The file is measured once, when the reader is made: records appended during the scan are
// not read.
class TStakeReader {
public:
    // Records read at a time: large enough that the system calls do not count, small enough
    // that a file of any size is never held whole.
    static constexpr qint64 BlockRecords = 2048;

    // Records first .. first + count - 1, or to the end for a negative count or one past it.
    // Raises "Файл ставок не открыт!" when the file is not open. A first record past the end
    // reads nothing.
    explicit TStakeReader(TStakesFile& file, qint64 first = 0, qint64 count = -1);

    // Reads the next block; false once the end is reached. Read errors pass on.
    bool NextBlock();
    // The block read last: records First() .. First() + Count() - 1.
    qint64 First() const { return FFirst; }
    qint64 Count() const { return FCount; }
    // The record after the last one read: the file's record count when the reader was made,
    // or where the asked records end.
    qint64 End() const { return FEnd; }
    // Record First() + k of the block.
    TStakeView At(qint64 k) const { return TStakeView(Data() + k * StakeRecSize); }
    // The bytes of record First() + k, to be changed in place before they are written back.
    std::uint8_t* MutableBytes(qint64 k) { return reinterpret_cast<std::uint8_t*>(FBlock.data()) + k * StakeRecSize; }
    // The stored bytes of records First() + k .. First() + k + n - 1 (with any change made).
    QByteArray Bytes(qint64 k, qint64 n) const
    {
        return FBlock.mid(static_cast<qsizetype>(k * StakeRecSize), static_cast<qsizetype>(n * StakeRecSize));
    }

private:
    const std::uint8_t* Data() const { return reinterpret_cast<const std::uint8_t*>(FBlock.constData()); }

    TStakesFile& FFile;
    qint64 FNext;
    qint64 FEnd;
    qint64 FFirst = 0;
    qint64 FCount = 0;
    QByteArray FBlock;
};
