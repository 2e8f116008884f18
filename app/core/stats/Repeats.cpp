#include "app/core/stats/Repeats.h"

#include "engine/PrjConst.h"

#include <algorithm>

QString TRepeatsRow::DrawsText() const
{
    QString text;
    for (std::size_t i = 0; i < Draws.size(); ++i) {
        if (i > 0)
            text += QLatin1Char(' ');
        text += SumToStr(static_cast<int>(Draws[i]));
    }
    return text;
}

int RepeatsDrawCount(const TDrawsArray& draws, int length)
{
    const std::int64_t count = static_cast<std::int64_t>(draws.size());
    return static_cast<int>(std::min<std::int64_t>(count, std::max(length, 1)));
}

TRepeatsResult AnalyzeRepeats(const TDrawsArray& draws, int length, int depth, const TRepeatsStep& step)
{
    TRepeatsResult result;
    const std::int64_t last = static_cast<std::int64_t>(draws.size()) - 1;
    const std::int64_t first = std::max<std::int64_t>(0, last - std::max(length, 1) + 1);
    const std::int64_t deep = std::max(depth, 1);
    for (std::int64_t i = last; i >= first; --i) {
        const TDrawRec& draw = draws[static_cast<std::size_t>(i)];
        const std::size_t ownRows = result.Rows.size();
        const std::int64_t start = std::max<std::int64_t>(0, i - deep);
        for (std::int64_t j = i - 1; j >= start; --j) {
            const TDrawRec& earlier = draws[static_cast<std::size_t>(j)];
            const int m = DrawMatchCount(draw, earlier);
            result.MaxMatches = std::max(result.MaxMatches, m);
            if (m == 0)
                continue;
            auto row = std::find_if(result.Rows.begin() + static_cast<std::ptrdiff_t>(ownRows), result.Rows.end(),
                                    [m](const TRepeatsRow& r) { return r.Matches == m; });
            if (row == result.Rows.end()) {
                result.Rows.push_back({static_cast<int>(i), draw.Number, m, {earlier.Number}});
            } else {
                row->Draws.push_back(earlier.Number);
            }
        }
        if (step)
            step();
    }
    return result;
}

std::vector<std::vector<TRepeatsPoint>> RepeatsSeries(const TRepeatsResult& result)
{
    std::vector<std::vector<TRepeatsPoint>> series(static_cast<std::size_t>(std::max(result.MaxMatches, 0)));
    for (auto row = result.Rows.rbegin(); row != result.Rows.rend(); ++row) {
        if (row->Matches < 1 || row->Matches > result.MaxMatches)
            continue;
        series[static_cast<std::size_t>(row->Matches - 1)].push_back({row->DrawNumber, row->Count()});
    }
    return series;
}
