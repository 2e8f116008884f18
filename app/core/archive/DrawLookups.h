#pragma once

#include "engine/KelmaUtils.h"

#include <QString>

#include <bitset>
#include <cstdint>

// Lookups in the draw archive (oldest draw first). "Position" counts from the newest draw:
// position 0 is the last index, position i is index (last index - i).

// The set of digits of one draw, as the views highlight them.
using TDigitSet = std::bitset<256>;

// The date an empty archive is filled from, as yyyymmdd.
inline constexpr int FirstDrawDateInt = 20160801;

// The two digits of the draw at position i; both 0 outside the archive.
TCombWord GetDrawDigits(const TDrawsArray& draws, int i);
// 1 for an empty archive; -1 for a position outside it; else that draw's number plus 1.
std::int64_t NextDrawNumber(const TDrawsArray& draws, int i);
// The digits of the draw one position newer than i ("d;d"), for 1 <= i < count; else empty.
QString GetDrawDigitsText(const TDrawsArray& draws, int i);
// The digits of the same draw as GetDrawDigitsText as a set; empty under the same condition.
TDigitSet MakeDrawDigitSet(const TDrawsArray& draws, int i);
// The date of the draw at position i plus n days, as yyyymmdd; FirstDrawDateInt outside the
// archive. A key that is not a date raises EConvertError.
int GetDrawDateInt(const TDrawsArray& draws, int i, int n);
// Index of the draw with this number, -1 when none has it. Numbers are expected to grow with
// the index, which makes a guess from the first and last numbers a good start; when they do
// not (after edits), the search falls back to every draw.
int FindDrawByNumber(const TDrawsArray& draws, std::int64_t number);
// The moment of a draw key "mm/dd/yyyy M" or "mm/dd/yyyy E" (letter case ignored) that names a
// day of the years 1901..2998; false for any other text. Every draw the program takes in by
// hand, from a page or from a file has such a key: the download starts at the newest one's
// date, and the keys tell draws apart.
bool ReadDrawKey(const QString& key, TDateTime& moment);
// The digit a draw's digit cell, from a page or a file, stands for: a single digit 0..9, -1 for
// any other text. Every table of the program is indexed by the digits; a number read leniently
// ("a" or "" as 0, "05", an entity or a digit of another script) would be stored as a draw.
int ReadDrawDigit(const QString& cell);
// Index of the newest draw whose key equals the text (letter case ignored), -1 when none.
// n > 0 looks only at the newest n + 1 draws; n <= 0 at all of them.
int FindDrawByText(const TDrawsArray& draws, const QString& text, int n);
