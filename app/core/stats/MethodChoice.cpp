#include "app/core/stats/MethodChoice.h"

#include <algorithm>

bool OffersMethod(const TStatList& list, int index, TMethodUse use)
{
    if (index < 0 || index >= list.Count())
        return false;
    if (!list.IsAvailable(index) || !list.HasStatTable(index) || !list.IsFavorite(index))
        return false;
    return use != TMethodUse::Graph || list.IsGraph(index);
}

std::vector<TMethodEntry> OfferedMethods(const TStatList& list, TMethodUse use)
{
    std::vector<TMethodEntry> entries;
    for (int i = 0; i < list.Count(); ++i)
        if (OffersMethod(list, i, use))
            entries.push_back({list.MethodCaption(i, true), i});
    if (list.Ordered)
        std::stable_sort(entries.begin(), entries.end(), [](const TMethodEntry& a, const TMethodEntry& b) {
            return QString::localeAwareCompare(a.Caption, b.Caption) < 0;
        });
    return entries;
}
