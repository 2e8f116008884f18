#include "app/core/views/DrawsGraph.h"

#include "app/core/stats/StatTable.h"
#include "engine/KelmaMsg.h"
#include "engine/PrjConst.h"
#include "platform/DelphiText.h"
#include "platform/Exceptions.h"
#include "support/RVclUtils.h"

#include <algorithm>
#include <memory>

namespace {

// The three bands: the share of the way from the smallest to the largest theoretical count
// (numerator, denominator), its text and its colour.
struct TBandDef {
    int Numerator;
    int Denominator;
    const char* Fraction;
    QRgb Colour;
};
constexpr TBandDef kBands[3] = {
    {1, 3, "1/3", GraphGreen},
    {1, 2, "1/2", GraphBlue},
    {2, 3, "2/3", GraphFuchsia},
};

} // namespace

int MostFrequentValue(const TStatSimpleArray& tally)
{
    if (tally.empty())
        return 0;
    const TStatSimpleRec* best = &tally.front();
    for (const TStatSimpleRec& entry : tally)
        if (entry.Count > best->Count)
            best = &entry;
    return best->Key;
}

TDrawsGraphResult TDrawsGraph::Calc(const TStatMethod* method, int length, bool force)
{
    const TStatTableKey key = MethodWindowKey(FState, method, length);
    if (!force && FKey && *FKey == key)
        return TDrawsGraphResult::Unchanged;
    FKey = key;
    FData = TDrawsGraphData{};

    const TDrawsArray& draws = FState.FDraws;
    const std::int64_t last = static_cast<std::int64_t>(draws.size()) - 1 - FState.DrawsOffset();
    if (!method || last < 0)
        return TDrawsGraphResult::Cleared;

    TBusyScope busy(LoadResString(rsComputingGraphs));
    const std::int64_t first = std::max<std::int64_t>(0, last - std::max(length, 1) + 1);
    const std::unique_ptr<TCustomStat> stat = method->CreateStat(FState.StatList());
    auto* graph = dynamic_cast<TCustomGraphStat*>(stat.get());
    if (!graph)
        return TDrawsGraphResult::Cleared;

    const bool sorted = key.Sorted;
    TDrawsGraphData data;
    data.Points.reserve(static_cast<std::size_t>(last - first + 1));
    TStatSimpleArray tally;
    long double sum = 0;
    try {
        for (std::int64_t i = first; i <= last; ++i) {
            const int value = graph->DrawValue(static_cast<int>(i), static_cast<int>(last), sorted);
            const std::uint32_t number = draws[static_cast<std::size_t>(i)].Number;
            data.Points.push_back({number, value, SumToStr(static_cast<int>(number))});
            AddStatSimple(tally, value, 1);
            sum += value;
        }
    } catch (...) {
        // Nothing was drawn: the next call tries again whatever the key.
        FKey.reset();
        throw;
    }
    data.Mean = static_cast<double>(sum / static_cast<long double>(data.Points.size()));
    data.MostFrequent = MostFrequentValue(tally);
    FData = std::move(data);
    return TDrawsGraphResult::Computed;
}

TStatSimpleArray EnumCombSums()
{
    TStatSimpleArray sums;
    for (int d1 = 0; d1 <= 9; ++d1)
        for (int d2 = 0; d2 <= 9; ++d2)
            AddStatSimple(sums, d1 + d2, 1);
    return sums;
}

TSumDistribution SumDistribution(const TDrawsArray& draws)
{
    TBusyScope busy(LoadResString(rsCollectingStat));
    TSumDistribution d;
    d.Theoretical = EnumCombSums();
    SortStatSimple(d.Theoretical);
    for (const TDrawRec& draw : draws)
        AddStatSimple(d.Actual, int(draw.Digits[0]) + int(draw.Digits[1]), 1);
    SortStatSimple(d.Actual);

    const auto byCount = [](const TStatSimpleRec& a, const TStatSimpleRec& b) { return a.Count < b.Count; };
    const auto [tmin, tmax] = std::minmax_element(d.Theoretical.begin(), d.Theoretical.end(), byCount);
    d.TheoreticalMin = tmin->Count;
    d.TheoreticalMax = tmax->Count;
    d.ActualMax = d.Actual.empty() ? 0 : std::max_element(d.Actual.begin(), d.Actual.end(), byCount)->Count;

    const int span = d.TheoreticalMax - d.TheoreticalMin + 1;
    for (std::size_t k = 0; k < 3; ++k)
        d.Levels[k] = d.TheoreticalMin + kBands[k].Numerator * span / kBands[k].Denominator;

    // The low edges come from the rising half of the curve, the high edges from the falling
    // half; the middle entry belongs to both. An edge still 0 counts as not found yet.
    const int n = static_cast<int>(d.Theoretical.size());
    const int middle = n / 2;
    for (int i = 0; i <= middle && i < n; ++i)
        for (std::size_t k = 0; k < 3; ++k)
            if (d.Low[k] == 0 && d.Theoretical[static_cast<std::size_t>(i)].Count >= d.Levels[k])
                d.Low[k] = d.Theoretical[static_cast<std::size_t>(i)].Key;
    for (int i = n - 1; i >= middle; --i)
        for (std::size_t k = 0; k < 3; ++k)
            if (d.High[k] == 0 && d.Theoretical[static_cast<std::size_t>(i)].Count >= d.Levels[k])
                d.High[k] = d.Theoretical[static_cast<std::size_t>(i)].Key;
    return d;
}

TGraphPoints SumDistributionPoints(const TSumDistribution& d)
{
    TGraphPoints points;
    const QString actual = LoadResString(rsSeriesActualSums);
    for (const TStatSimpleRec& entry : d.Actual)
        points.append({entry.Key, actual, double(entry.Count), true, true, GraphRed});

    const QString theoretical = LoadResString(rsSeriesTheoreticalSums);
    std::array<QString, 3> bandTitles;
    for (std::size_t k = 0; k < 3; ++k)
        bandTitles[k] = Format(LoadResString(rsSeriesSumLevel),
                               {int(k + 1), kBands[k].Fraction, d.Low[k], d.High[k]});
    // The theoretical curve is scaled so that its peak stands as high as the actual one.
    const auto scaled = [&d](int count) {
        return d.TheoreticalMax > 0 ? double(count) / d.TheoreticalMax * d.ActualMax : 0.0;
    };
    for (const TStatSimpleRec& entry : d.Theoretical) {
        points.append({entry.Key, theoretical, scaled(entry.Count), false, false, GraphMaroon});
        for (std::size_t k = 0; k < 3; ++k)
            points.append({entry.Key, bandTitles[k], scaled(d.Levels[k]), false, false, kBands[k].Colour});
    }
    return points;
}
