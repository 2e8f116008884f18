#pragma once

#include "engine/KelmaUtils.h"

#include <QString>
#include <QStringList>

#include <cstdint>
#include <limits>

// What the stake dialogs read from the user's text and numbers, apart from any window.

// The words of a stake text: split at "," and ";" (a run of them is one break), each trimmed.
QStringList StakeWords(const QString& text);

// The sum the stake dialog shows beside the text: the words read as whole numbers, a word that
// is not one counting 0. Added in 64 bits, so that long texts of large numbers cannot overflow.
std::int64_t StakeSum(const QString& text);

// True when the text is a combination: exactly two words, each a whole number 0..9. Then
// digits holds count 2 and the two digits, digit 1 first; otherwise digits is left as it was.
bool ParseStakeDigits(const QString& text, TDigitsRec& digits);

// The staked digits as the stake dialog shows them: the used digits joined by ";".
QString StakeDigitsText(const TDigitsRec& digits);

// The largest draw number a stake can name.
inline constexpr std::int32_t MaxStakeDrawNumber = std::numeric_limits<std::int32_t>::max();

// A stake for drawCount consecutive draws starting at firstDraw numbers its last copy
// firstDraw + drawCount - 1; it fits while that stays within 1..MaxStakeDrawNumber. A count
// below 1 stands for one draw.
bool StakeDrawRangeFits(std::int64_t firstDraw, std::int64_t drawCount);

// The error shown when the last draw of a stake would pass the largest draw number.
QString StakeDrawRangeError();
