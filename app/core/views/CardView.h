#pragma once

#include "app/core/stats/ArchiveStamp.h"
#include "app/core/stats/StatFilter.h"
#include "engine/KelmaUtils.h"

#include <QString>

#include <cstdint>
#include <optional>
#include <vector>

// What the card was last computed from: the archive's stamp, so that a draw edited by hand
// (same count) is noticed as well.
struct TCardKey {
    bool Valid = false;
    TArchiveStamp Archive;

    bool operator==(const TCardKey&) const = default;
};

// How the cells are coloured: the options ColorCard and ColorCardSequences and the engine's
// channel size.
struct TCardColoring {
    bool Channels = true;
    bool Sequences = true;
    int ChannelSize = 0;
};

// Colours of the sequence marks, 0x00BBGGRR.
inline constexpr std::uint32_t CardRepeatColor = 0x0000FF00;         // lime: repeated from a neighbouring draw
inline constexpr std::uint32_t CardNeighbourColor = 0x00FFFF00;      // aqua: a neighbouring digit in the draw
inline constexpr std::uint32_t CardRepeatNeighbourColor = 0x0000FFFF;   // yellow: both

// The card of the draw archive without a window: one row per draw, newest first, one column per
// digit. Grid coordinates: row 0 holds the digit captions, column 0 the draw numbers; row r >= 1
// is the draw High - r + 1, and column d + 1 holds digit d when that draw has it. An empty
// archive is one empty row. The card keeps a compact copy of the archive taken at its last
// refresh (number and a bit per digit of each draw), so texts and colours are worked out on
// demand from what is shown, whatever happens to the archive in between.
class TCardView {
public:
    static constexpr int ColCount = 11;
    static constexpr int FirstDigitCol = 1;
    static constexpr int LastDigitCol = 10;

    static TCardKey KeyOf(const TDrawsArray& draws);

    // Takes the archive afresh when forced or when its key differs from the last one; true
    // when it did.
    bool Refresh(const TDrawsArray& draws, bool force);
    // The next refresh takes the archive whatever its key.
    void ResetKey() { FKey = TCardKey(); }
    const TCardKey& Key() const { return FKey; }

    // Draws plus the caption row; 2 for an empty archive.
    int RowCount() const { return static_cast<int>(FRows.size()) + 1 < 2 ? 2 : static_cast<int>(FRows.size()) + 1; }

    // The text of a cell; empty outside the card.
    QString CellText(int col, int row) const;
    // Whether data row `row` holds digit d (false outside the card).
    bool HasDigit(int row, int d) const;
    // The fill of a data cell (row >= 1, column 1..10) that is neither selected nor focused;
    // none: the grid's own colour (also for the caption row and the number column).
    std::optional<std::uint32_t> CellColor(int col, int row, const TCardColoring& coloring) const;

    // The digits of the cells in the rectangle, column by column from the left and top down
    // within a column: each non-empty cell's digit once, with its text. The rectangle is cut to
    // the digit columns and the data rows.
    TFilterSelection Selection(int left, int top, int right, int bottom) const;

private:
    struct TRow {
        std::uint32_t Number = 0;
        std::uint16_t Digits = 0;   // bit d: digit d came out
    };

    std::uint16_t DigitsOf(int row) const;

    std::vector<TRow> FRows;   // row r of the grid at index r - 1
    TCardKey FKey;
};
