#include "app/core/stats/StatNextDraws.h"

#include "app/core/archive/DrawLookups.h"

#include <algorithm>
#include <cstddef>
#include <utility>

namespace {

// Searches that walk in step: one run table, the values still looked for.
struct TSearchGroup {
    TStatScratch Scratch;
    std::vector<int> Pending;   // indexes into the values
};

}  // namespace

std::vector<int> FindNextDrawsPerValue(TCustomStat& stat, const TDrawsArray& draws,
                                       const TStatDrawArray& values, int last, bool sorted)
{
    std::vector<int> result(values.size(), -1);
    for (std::size_t v = 0; v < values.size(); ++v) {
        const TStatValueRec& value = values[v];
        if (value.Hits <= 0)
            continue;
        const int found = FindDrawByNumber(draws, value.DrawNo);
        result[v] = stat.FindDraw(value, found + 1, last, sorted);
    }
    return result;
}

std::vector<int> FindNextDraws(TCustomStat& stat, const TDrawsArray& draws,
                               const TStatDrawArray& values, int last, bool sorted)
{
    std::vector<int> result(values.size(), -1);
    const TRecurrence recurrence = stat.Recurrence();
    if (recurrence == TRecurrence::Never)
        return result;
    const int lastIndex = static_cast<int>(draws.size()) - 1;

    // (start index, value index) of every search that can find something.
    std::vector<std::pair<int, int>> searches;
    for (std::size_t v = 0; v < values.size(); ++v) {
        const TStatValueRec& value = values[v];
        if (value.Hits <= 0)
            continue;
        const int found = FindDrawByNumber(draws, value.DrawNo);
        int start = found + 1;
        // The pass left the value at the draw its age names, and no later draw of the window
        // merged it (that would have lowered the age): nothing to look at before last + 1.
        if (recurrence == TRecurrence::PerDraw && value.Age >= 1
            && std::int64_t(found) == std::int64_t(last) + 1 - std::int64_t(value.Age))
            start = std::max(start, last + 1);
        if (start > lastIndex)
            continue;
        searches.emplace_back(start, static_cast<int>(v));
    }
    std::stable_sort(searches.begin(), searches.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });

    std::vector<TSearchGroup> groups;
    TStatDrawArray table;
    TLastValueArray lastValues;
    std::size_t next = 0;
    int i = searches.empty() ? lastIndex + 1 : searches.front().first;
    while (i <= lastIndex) {
        if (next < searches.size() && searches[next].first == i) {
            // A search starts with an empty run table; a group whose table is still empty is
            // in the same state.
            auto fresh = std::find_if(groups.begin(), groups.end(),
                                      [](const TSearchGroup& g) { return g.Scratch.empty(); });
            if (fresh == groups.end())
                fresh = groups.insert(groups.end(), TSearchGroup{});
            for (; next < searches.size() && searches[next].first == i; ++next)
                fresh->Pending.push_back(searches[next].second);
        }
        if (groups.empty()) {
            if (next >= searches.size())
                break;
            i = searches[next].first;   // nothing walks until the next search starts
            continue;
        }

        for (TSearchGroup& group : groups) {
            table.clear();
            lastValues.clear();
            stat.AddDraw(i, last, sorted, table, group.Scratch, lastValues);
            if (table.empty())
                continue;
            std::erase_if(group.Pending, [&](int v) {
                for (const TStatValueRec& element : table) {
                    if (element.Key == values[static_cast<std::size_t>(v)].Key) {
                        result[static_cast<std::size_t>(v)] = static_cast<int>(element.DrawNo);
                        return true;
                    }
                }
                return false;
            });
        }
        std::erase_if(groups, [](const TSearchGroup& g) { return g.Pending.empty(); });
        // Groups whose run tables agree see the same tables from here on.
        for (std::size_t a = 0; a < groups.size(); ++a) {
            for (std::size_t b = groups.size() - 1; b > a; --b) {
                if (groups[b].Scratch != groups[a].Scratch)
                    continue;
                groups[a].Pending.insert(groups[a].Pending.end(), groups[b].Pending.begin(),
                                         groups[b].Pending.end());
                groups.erase(groups.begin() + static_cast<std::ptrdiff_t>(b));
            }
        }
        ++i;
    }
    return result;
}
