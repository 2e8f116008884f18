#pragma once

#include "app/core/archive/DrawLookups.h"
#include "app/core/stats/ArchiveStamp.h"
#include "app/core/stats/StatFilter.h"
#include "engine/KelmaUtils.h"

#include <QString>

#include <array>
#include <cstdint>
#include <vector>

// The layout of the digits over a window of the archive: how often each digit came out and
// the number of the newest draw it came out in. No window here: the page shows what this
// computes, and every colour is worked out when a cell is painted.

// One digit of a window: its hit count and the number of the newest draw that holds it.
struct TDigitTally {
    int Digit = 0;
    int Count = 0;
    std::int64_t Number = 0;

    bool operator==(const TDigitTally&) const = default;
};
using TDigitTallyList = std::vector<TDigitTally>;

// The draws last down to first, each draw's two digits in draw order: a digit met for the first
// time gets an entry (count 1, that draw's number), a digit met again counts one more. Entries
// are in order of first sighting; a pair such as 5-5 counts 2. A digit outside 0..9 (a damaged
// record) is passed over. Indexes outside the archive are left out.
TDigitTallyList TallyDigits(const TDrawsArray& draws, int first, int last);

// The window that ends `offset` draws before the newest and is `length` draws long, never
// before the oldest draw. Empty (Last < First) when the archive holds nothing at that offset.
struct TDrawWindow {
    int First = 0;
    int Last = -1;
    bool IsEmpty() const { return Last < First; }
};
TDrawWindow LayoutWindow(int drawCount, int offset, int length);

// What a computation depends on: the archive (its length and a fingerprint of its numbers and
// digits, so that a draw edited by hand recomputes), the offset and the window length.
struct TLayoutKey {
    bool Valid = false;
    TArchiveStamp Archive;
    int Offset = 0;
    int Length = 0;
    bool operator==(const TLayoutKey&) const = default;
};

// The colour a cell of the grid is filled with (0xRRGGBB) when it is neither selected nor
// focused. `rowCount` and `colCount` count the header row and column too.
inline constexpr std::uint32_t LayoutColorCurrent = 0x00FF00;    // holds a bracketed digit
inline constexpr std::uint32_t LayoutColorPaleRed = 0xFFEAEA;
inline constexpr std::uint32_t LayoutColorPaleGreen = 0xEAFFEA;
std::uint32_t LayoutCellColor(int col, int row, int rowCount, int colCount, bool hasCurrentDigit,
                              bool gradient);

// The digit grid: rows are the distinct hit counts, largest first; columns the distinct newest
// draw numbers, largest first. Row 0 and column 0 hold the headers; a data cell lists the
// digits with that count and newest draw, joined with ", " in tally order, a digit of the
// current set written as "[d]".
class TLayoutGrid {
public:
    void Clear();
    void Build(const TDrawsArray& draws, int offset, int length, const TDigitSet& current);

    int RowCount() const { return static_cast<int>(FCounts.size()) + 1; }
    int ColCount() const { return static_cast<int>(FNumbers.size()) + 1; }
    // Header texts for row 0 and column 0 (the corner is empty); empty outside the grid.
    QString CellText(int col, int row) const;
    bool HasCurrentDigit(int col, int row) const;
    const TDigitTallyList& Tally() const { return FTally; }

    // The digits of the non-empty cells of a rectangle, column by column from the left and
    // top to bottom within a column, each digit once with its text without brackets.
    TFilterSelection Selection(int left, int top, int right, int bottom) const;

private:
    std::vector<int> FCounts;              // the row of each hit count
    std::vector<std::int64_t> FNumbers;    // the column of each newest draw number
    std::vector<QString> FCells;           // (row - 1) * columns + (col - 1)
    std::vector<bool> FCurrent;            // the cell holds a bracketed digit
    TDigitTallyList FTally;
};

// One row of a compare list: a hit count and the digits that came out that often.
struct TLayoutCompareRow {
    int Count = 0;
    QString Digits;
    bool operator==(const TLayoutCompareRow&) const = default;
};

// A compare list: the window's range as "first - last" draw numbers (empty for an empty
// window) and one row per distinct hit count, largest first, digits in tally order.
struct TLayoutCompareList {
    QString Caption;
    std::vector<TLayoutCompareRow> Rows;
};
TLayoutCompareList LayoutCompareList(const TDrawsArray& draws, int offset, int length);

inline constexpr int LayoutCompareCount = 5;

// The two computations with their keys: the grid follows the archive, the offset and its
// window length; the compare lists follow the archive and the offset only, so a changed
// compare length waits for a forced refresh.
class TLayoutView {
public:
    // False when nothing changed since the last build and no force is given.
    bool NeedsGrid(const TDrawsArray& draws, int offset, int length, bool force) const;
    bool NeedsCompare(const TDrawsArray& draws, int offset, bool force) const;

    void BuildGrid(const TDrawsArray& draws, int offset, int length, const TDigitSet& current);
    void BuildCompare(const TDrawsArray& draws, int offset, const std::array<int, LayoutCompareCount>& lengths);
    // The next refresh computes whatever the key.
    void ResetKeys();

    const TLayoutGrid& Grid() const { return FGrid; }
    const std::array<TLayoutCompareList, LayoutCompareCount>& CompareLists() const { return FCompare; }

private:
    static TLayoutKey MakeKey(const TDrawsArray& draws, int offset, int length);

    TLayoutGrid FGrid;
    std::array<TLayoutCompareList, LayoutCompareCount> FCompare;
    TLayoutKey FGridKey;
    TLayoutKey FCompareKey;
};
