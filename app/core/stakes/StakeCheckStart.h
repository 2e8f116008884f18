#pragma once

#include <QtGlobal>

#include <cstdint>

// Where a stake check starts reading the stakes file: every record before it is sound and none
// waits for its draw (TStakeView::Settled), so a check need not read them again. The stakes
// file keeps one for its handle and tells it about each of its own changes; a change made by
// anything else shows in the file's identity, size or times of change, and the start is then
// forgotten. (Two changes of the same size within one tick of the file system's clock cannot be
// told apart; while the program runs, the file is held against the program's other copies.)
class TStakeCheckStart {
public:
    // The start for the file behind the handle: 0 when the file is not as it was left, never
    // past its last whole record.
    qint64 Get(int handle);
    // A check read from the start to the last record: the next one starts at index.
    void Set(int handle, qint64 index);
    void Forget() { FIndex = 0; }

    // Around a change of the file's own. Before it, a start that the file no longer bears out
    // is forgotten, so that the stamp taken after it never vouches for anyone else's change.
    // Records [first, first + count) that are about to hold `records` move the start back to
    // the first of them that is not settled; without the records (nullptr) to the first of
    // them. Records go only after the last one for a count of 0.
    void BeforeChange(int handle, qint64 first = 0, const char* records = nullptr, qint64 count = 0);
    void AfterChange(int handle);
    // The change failed half-way from record `first` on: those records may be neither the old
    // nor the new ones.
    void ChangeFailed(qint64 first) { FIndex = qMin(FIndex, first); }
    // The file was cut back to `records` records.
    void CutTo(qint64 records) { FIndex = qMin(FIndex, records); }

private:
    struct TStamp {
        bool Valid = false;
        std::uint64_t Device = 0, Inode = 0;
        qint64 Size = 0;
        qint64 ModifiedNs = 0, ChangedNs = 0;
        bool operator==(const TStamp&) const = default;
    };
    static TStamp StampOf(int handle);
    // Forgets the start when the file is not as it was left; returns the file's stamp now.
    TStamp Revalidate(int handle);

    qint64 FIndex = 0;
    TStamp FStamp;
};
