#pragma once

// What tests of the statistics table over generated archives share: the methods a table
// offers and norms taken from the full combination set.

#include "app/core/stats/PrefetchCache.h"
#include "app/core/stats/StatTable.h"

#include <vector>

// Every available method with a table, in registry order.
inline std::vector<const TStatMethod*> StatTableMethods(const TStatList& list)
{
    std::vector<const TStatMethod*> methods;
    for (int i = 0; i < list.Count(); ++i)
        if (list.IsAvailable(i) && list.HasStatTable(i))
            methods.push_back(&list.Items(i));
    return methods;
}

// The table reads its norms from prefetch bytes built afresh, for the methods that have them.
inline void NormsFromTheFullSet(TStatTable& table, const TStatList& list)
{
    table.SetPrefetchSource([&list](const TStatMethod& method) -> QByteArray {
        if (!StatClassIsPlainValue(method.StatClass()))
            return {};
        return TPrefetchCache::BuildBytes(list, method);
    });
}
