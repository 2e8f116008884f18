#pragma once

// What tests of the statistics table share: the main state with the default settings over ten
// draws, the methods a table offers and norms taken from the full combination set.

#include "app/core/stats/PrefetchCache.h"
#include "app/core/stats/StatTable.h"
#include "tests/app_core/CoreTestEnv.h"
#include "tests/fixtures/ArchiveFixtures.h"
#include "tests/fixtures/StatFixtures.h"

#include <vector>

// Ten draws numbered 1..10. With the offset 3 the window ends at draw 7:
//   digit 1 in draws 1, 3, 5 (three times), 3 in draw 2 (once), 0 and 8 never;
//   the sorted pairs of draws 3..7 are 1:5 (draws 3 and 5), 6:7, 9:9 and 2:6.
inline TDrawsArray TenDraws()
{
    return MakeDraws({{1, 2}, {3, 4}, {5, 1}, {6, 7}, {1, 5}, {9, 9}, {2, 6}, {1, 3}, {6, 2}, {4, 2}});
}

// The main state with the default statistic settings, its methods built, over the ten draws.
class TStatTableTest : public TCoreTest {
protected:
    TStatTableTest()
    {
        ApplyDefaultStatSettings(FState.StatList());
        FState.StatList().RebuildMethods();
        FState.FDraws = TenDraws();
    }

    const TStatMethod* Method(const char* code) const { return MethodByCode(FState.StatList(), code); }
};

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
