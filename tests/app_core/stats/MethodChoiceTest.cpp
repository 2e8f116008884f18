#include "app/core/stats/MethodChoice.h"

#include "tests/fixtures/StatFixtures.h"

#include <gtest/gtest.h>

#include <set>

namespace {

std::set<int> Indexes(const std::vector<TMethodEntry>& entries)
{
    std::set<int> indexes;
    for (const TMethodEntry& entry : entries)
        indexes.insert(entry.Index);
    return indexes;
}

} // namespace

// The table lists offer the favourites with a table; the graph list those of them that are
// graph methods; a method the user took off the favourites is in neither.
TEST(MethodChoice, FavouritesWithATableAndTheGraphMethodsAmongThem)
{
    TStatFixture fx;
    ApplyDefaultStatSettings(fx.List);
    fx.List.RebuildMethods();
    // The first graph method of the registry.
    int graphMethod = 0;
    while (graphMethod < fx.List.Count() && !(fx.List.IsGraph(graphMethod) && fx.List.HasStatTable(graphMethod)))
        ++graphMethod;
    ASSERT_LT(graphMethod, fx.List.Count());

    const std::vector<TMethodEntry> table = OfferedMethods(fx.List, TMethodUse::Table);
    const std::vector<TMethodEntry> graph = OfferedMethods(fx.List, TMethodUse::Graph);
    ASSERT_FALSE(graph.empty());
    EXPECT_LT(graph.size(), table.size());
    int previous = -1;
    for (const TMethodEntry& entry : table) {
        // Registry order while the engine does not order by caption.
        EXPECT_GT(entry.Index, previous);
        previous = entry.Index;
        EXPECT_TRUE(fx.List.HasStatTable(entry.Index));
        EXPECT_EQ(entry.Caption, fx.List.MethodCaption(entry.Index, true));
    }
    for (const TMethodEntry& entry : graph) {
        EXPECT_TRUE(fx.List.IsGraph(entry.Index));
        EXPECT_TRUE(Indexes(table).count(entry.Index));
    }
    EXPECT_TRUE(Indexes(graph).count(graphMethod));

    // Off the favourites.
    fx.List.AllFavorites = false;
    for (int i = 0; i < fx.List.Count(); ++i)
        fx.List.Items(i).Enabled = i != graphMethod;
    EXPECT_FALSE(OffersMethod(fx.List, graphMethod, TMethodUse::Table));
    EXPECT_FALSE(OffersMethod(fx.List, graphMethod, TMethodUse::Graph));
    EXPECT_FALSE(Indexes(OfferedMethods(fx.List, TMethodUse::Table)).count(graphMethod));
    EXPECT_EQ(OfferedMethods(fx.List, TMethodUse::Table).size(), table.size() - 1);

    // Indexes outside the engine are never offered.
    for (const int index : {-1, fx.List.Count(), fx.List.Count() + 10})
        EXPECT_FALSE(OffersMethod(fx.List, index, TMethodUse::Table)) << index;
}

// Ordered by caption, equal captions keeping the registry order.
TEST(MethodChoice, OrderedByCaption)
{
    TStatFixture fx;
    ApplyDefaultStatSettings(fx.List);
    fx.List.RebuildMethods();
    fx.List.Ordered = true;
    const std::vector<TMethodEntry> entries = OfferedMethods(fx.List, TMethodUse::Table);
    ASSERT_GT(entries.size(), 2u);
    for (std::size_t i = 1; i < entries.size(); ++i) {
        const int order = QString::localeAwareCompare(entries[i - 1].Caption, entries[i].Caption);
        EXPECT_LE(order, 0) << i;
        if (order == 0) {
            EXPECT_LT(entries[i - 1].Index, entries[i].Index) << i;
        }
    }
    fx.List.Ordered = false;
    EXPECT_EQ(Indexes(OfferedMethods(fx.List, TMethodUse::Table)), Indexes(entries));
}
