#pragma once

#include "engine/KelmaUtils.h"
#include "platform/Cp1251.h"
#include "platform/Currency.h"

#include <cstdint>

// Where a stake came from.
enum TStakeOrigin : std::uint8_t {
    soBlank = 0,     // separator row between blocks of stakes
    soManual = 1,
    soRegular = 2,
    soScript = 3,
    soSystem = 4,
};

inline constexpr std::uint8_t StakeRecVersion = 2;

// One stake: a record of the stakes file, 304 bytes, little-endian, no header. The gaps
// between the fields are written as zeros.
struct TStakeRec {
    std::uint8_t Version = StakeRecVersion;
    std::uint8_t Origin = soBlank;
    std::int32_t DrawNumber = -1;       // above 0 for a stake, -1 in a separator
    std::uint8_t Checked = 0;           // 1 once scored against its draw
    // 1 while the stake is scored but the ratings file may not count it yet (the byte after
    // the checked one, zero otherwise): a check marks the stakes it scores and clears the
    // marks once the ratings that count them are saved, so an interrupted check can be
    // finished at the next start without rating a stake twice or never.
    std::uint8_t RatingPending = 0;
    std::int32_t SelectionSize = 0;     // combinations in the list when the stake was made
    TDigitsRec Digits;                  // staked digits
    TCombWord DrawResult = 0;           // drawn digits, set when checked
    TDigitsRec Matches{-1, {}};         // matched positions (-1 until checked), digits ascending
    TCurrency Balance;                  // minus the cost until checked, payout minus cost after
    TShortString<255> Comment;          // kept as stored bytes so that a rewrite keeps them exactly

    bool IsStake() const { return DrawNumber > 0; }
    // A stake whose counts cannot be used: staked count outside 1..4 or matched count outside
    // -1..2. The counts index the digit bytes and the rating counters, so such a record is
    // shown empty and never scored or rated.
    bool IsDamaged() const { return CountsDamaged(DrawNumber, Digits.Count, Matches.Count); }
    // The same rule for code that reads the fields straight from the stored bytes.
    static bool CountsDamaged(std::int32_t drawNumber, std::int32_t staked, std::int32_t matched);

    bool operator==(const TStakeRec&) const = default;
};

inline constexpr int StakeRecSize = 304;

// Where the fields lie in a stored record, for code that reads or changes records in place.
namespace StakeOffset {
inline constexpr int Version = 0;
inline constexpr int Origin = 1;
inline constexpr int DrawNumber = 4;
inline constexpr int Checked = 8;
inline constexpr int RatingPending = 9;
inline constexpr int Selection = 12;
inline constexpr int Digits = 16;
inline constexpr int DrawResult = 24;
inline constexpr int Matches = 28;
inline constexpr int Balance = 40;
inline constexpr int Comment = 48;
}  // namespace StakeOffset
static_assert(StakeRecSize == 48 + TShortString<255>::Size);

// The blank separator record: version 2, origin 0, draw number -1, matched count -1,
// everything else zero.
TStakeRec InitStakeRec();

// Field by field into / from exactly StakeRecSize bytes.
void WriteStakeRec(const TStakeRec& rec, std::uint8_t* bytes);
TStakeRec ReadStakeRec(const std::uint8_t* bytes);
