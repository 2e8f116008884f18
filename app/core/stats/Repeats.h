#pragma once

#include "engine/KelmaUtils.h"

#include <QString>

#include <cstdint>
#include <functional>
#include <vector>

// How often the recent draws repeat earlier ones: for each of the newest `length` draws, the
// earlier draws within `depth` draws back that have one or both of its digits in the same
// positions, grouped by the number of such positions. The whole archive counts; the look-back
// offset of the views plays no part.

inline constexpr int RepeatsDefaultLength = 100;
inline constexpr int RepeatsDefaultDepth = 100;

// One row: a draw, a number of matching positions (1 or 2), and the earlier draws with exactly
// that many, newest first.
struct TRepeatsRow {
    int DrawIndex = 0;
    std::uint32_t DrawNumber = 0;
    int Matches = 0;
    std::vector<std::uint32_t> Draws;

    int Count() const { return static_cast<int>(Draws.size()); }
    // The earlier draws' numbers separated by one blank.
    QString DrawsText() const;
};

struct TRepeatsResult {
    // Newest draw first; the rows of one draw in the order their match counts were first
    // met, searching from the draw just before it backwards.
    std::vector<TRepeatsRow> Rows;
    int MaxMatches = 0;   // the most matching positions met at all
};

// Called once per analysed draw (for a progress gauge).
using TRepeatsStep = std::function<void()>;

// The number of draws the analysis runs over: length draws back from the newest, never before
// the oldest. 0 for an empty archive.
int RepeatsDrawCount(const TDrawsArray& draws, int length);

// Lengths and depths below 1 count as 1.
TRepeatsResult AnalyzeRepeats(const TDrawsArray& draws, int length, int depth,
                              const TRepeatsStep& step = {});

// A chart point: the draw number and how many earlier draws repeat it.
struct TRepeatsPoint {
    std::uint32_t DrawNumber = 0;
    int Count = 0;
    bool operator==(const TRepeatsPoint&) const = default;
};

// The points of the series of each match count 1 .. MaxMatches (index k - 1), oldest draw
// first (the rows taken from the last to the first).
std::vector<std::vector<TRepeatsPoint>> RepeatsSeries(const TRepeatsResult& result);
