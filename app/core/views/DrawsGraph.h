#pragma once

#include "app/core/shell/MainState.h"
#include "app/core/stats/ArchiveStamp.h"
#include "app/core/stats/StatTable.h"
#include "app/core/charts/GraphPoints.h"
#include "engine/KelmaStatList.h"

#include <QString>

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

// One draw of the draws graph: its number and the method's value in it.
struct TDrawsGraphPoint {
    std::int64_t X = 0;   // the draw number
    int Y = 0;
    QString Label;        // the draw number's text

    bool operator==(const TDrawsGraphPoint&) const = default;
};

// What the draws graph shows: the value of a graph method in every draw of the window, the
// mean of those values and the most frequent one (both drawn as flat lines over the window).
struct TDrawsGraphData {
    std::vector<TDrawsGraphPoint> Points;
    double Mean = 0;
    int MostFrequent = 0;
};

enum class TDrawsGraphResult {
    Unchanged,   // same key, no force: the graph shown stands
    Cleared,     // no method, or no draws: an empty chart
    Computed,
};

// The most frequent value of a tally: the entry with the largest count, the first one in
// tally order among equals; 0 for an empty tally.
int MostFrequentValue(const TStatSimpleArray& tally);

// The draws graph without a window. The window of draws ends DrawsOffset draws before the
// newest and holds `length` draws at most.
class TDrawsGraph {
public:
    explicit TDrawsGraph(TMainState& state) : FState(state) {}

    // Without force nothing happens while the archive (its draws included), the offset, the
    // length, the method and the settings its values depend on are those of the last call.
    // A statistic that raises leaves no points, and the error passes on.
    TDrawsGraphResult Calc(const TStatMethod* method, int length, bool force);
    // The next Calc runs whatever the key.
    void ResetKey() { FKey.reset(); }

    const TDrawsGraphData& Data() const { return FData; }

private:
    TMainState& FState;
    std::optional<TStatTableKey> FKey;
    TDrawsGraphData FData;
};

// The distribution of digit sums over the draws of an archive beside that over all the
// combinations of the game, with three bands of sums whose theoretical counts reach one third,
// one half and two thirds of the way from the smallest to the largest count.
struct TSumDistribution {
    TStatSimpleArray Theoretical;   // {sum, combinations}, by sum
    TStatSimpleArray Actual;        // {sum, draws}, by sum
    int TheoreticalMin = 0;
    int TheoreticalMax = 0;
    int ActualMax = 0;
    std::array<int, 3> Levels{};
    std::array<int, 3> Low{};       // the band's lowest sum, 0 when none reaches its level
    std::array<int, 3> High{};      // its highest sum, likewise
};

// The digit sum of every combination, each with count 1, in combination order.
TStatSimpleArray EnumCombSums();
// Over the whole archive (the offset plays no part).
TSumDistribution SumDistribution(const TDrawsArray& draws);
// The graph window's points: the actual counts (red, points and labels), then per sum the
// theoretical count scaled to the actual peak (maroon) and the three band levels (green,
// blue, fuchsia), each as bare lines.
TGraphPoints SumDistributionPoints(const TSumDistribution& distribution);
