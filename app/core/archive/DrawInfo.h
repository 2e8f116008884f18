#pragma once

#include "engine/KelmaUtils.h"

#include <QString>

#include <cstdint>
#include <vector>

class TMainState;
class TStatList;

// What the information window shows about one draw or one combination: the draw's number and
// date when known, the value of every graph method, and where the combination's digits go in
// the small digit grid (one row per digit 0..9, one column per position up to the grid's width).

// What a caller hands over.
struct TDrawInfoRequest {
    std::int64_t DrawNumber = -1;   // -1: none (a combination from the list)
    QString DateText;               // empty: none
    TCombWord Comb = 0;
    int DrawIndex = -1;             // the draw the combination stands for
    int LastIndex = -1;
    bool Sorted = false;            // the draws' digits read in ascending order
};

// A draw of the archive: its number, key text, digits, and its index as both indexes.
TDrawInfoRequest DrawInfoRequest(const TMainState& state, int index);
// A combination of the list, without number and date. It stands for the draw after the
// analysed range, so the methods that compare with the draw before it compare with the newest
// analysed draw (the archive's last index minus the offset).
TDrawInfoRequest CombInfoRequest(const TMainState& state, TCombWord comb);

struct TDrawInfoRow {
    QString Property;
    QString Value;
    bool operator==(const TDrawInfoRow&) const = default;
};

// "Номер тиража:" and "Дата тиража:" when known, then one row per graph method of the list
// that has a statistics table, in registry order: its caption and its value of the combination.
std::vector<TDrawInfoRow> DrawInfoRows(const TStatList& list, const TDrawInfoRequest& request);

// The digit grid.
inline constexpr int InfoGridRows = 10;
inline constexpr int InfoGridMinCols = 1;
inline constexpr int InfoGridMaxCols = 9;

// The column count the grid starts with: the engine's matrix column count, kept to 1..9.
int InfoGridStartCols(const TStatList& list);

struct TDrawInfoCell {
    int Row = 0;   // the digit
    int Col = 0;   // the position minus 1
    QString Text;
    bool operator==(const TDrawInfoCell&) const = default;
};

// The cells the combination fills in a grid of `cols` columns: position p's digit in column
// p - 1 of that digit's row. A position past the last column, or a digit outside 0..9, has no
// cell: nothing is ever written outside the grid.
std::vector<TDrawInfoCell> DrawInfoCells(TCombWord comb, int cols);
