#pragma once

#include "engine/KelmaUtils.h"

#include <cstddef>
#include <cstdint>

// What the statistics table and the views remember of the archive they were computed from, so
// that a refresh without force recomputes only after a change: the number of draws and a
// fingerprint of every draw's number and digits (a draw edited by hand keeps the count), and for
// the views that read the dates, a fingerprint of the draws' date keys as well.
//
// A fingerprint reads the whole archive. Where many keys are made while the archive cannot
// change (a refresh of every view, a scenario run), a TArchiveStampScope takes it once for all.

struct TArchiveStamp {
    std::size_t Count = 0;
    std::uint64_t Fingerprint = 0;
    bool operator==(const TArchiveStamp&) const = default;
};

// The fingerprint of the numbers and digits read afresh, whatever scope is open.
std::uint64_t DrawsFingerprint(const TDrawsArray& draws);

// The number of draws and the fingerprint of their numbers and digits.
TArchiveStamp ArchiveStamp(const TDrawsArray& draws);
// The fingerprint of the date keys.
std::uint64_t ArchiveKeysFingerprint(const TDrawsArray& draws);

// While it lives, the archive it names is taken to stand still: its fingerprints are read at
// most once and handed to every key made in the meantime. The holder promises that nothing
// edits a draw in between; an archive that was replaced, grown or shrunk is still noticed and
// read afresh. Scopes nest; an inner scope over another archive holds nothing.
class TArchiveStampScope {
public:
    explicit TArchiveStampScope(const TDrawsArray& draws);
    ~TArchiveStampScope();
    TArchiveStampScope(const TArchiveStampScope&) = delete;
    TArchiveStampScope& operator=(const TArchiveStampScope&) = delete;

private:
    bool FHolds = false;
};
