// The texts a statistics table makes on request and the numbers it sorts on: a table that made
// a few columns gives, when asked for more, exactly the texts a table that made all of them
// has, and its sort keys read as those texts read.

#include "tests/app_core/stats/StatTableTestEnv.h"

#include "support/RTextCompare.h"

#include <functional>
#include <string>

namespace {

class StatCellsTest : public TStatTableTest {
protected:
    // Each window of the archive, with a table that makes every text and one that makes
    // the columns given, both with norms, computed for every method.
    void ForEachTable(TStatColumns columns,
                      const std::function<void(const TStatMethod&, TStatTable& full, TStatTable& table)>& check);
};

struct TWindow {
    int Draws;
    std::uint64_t Seed;
    int Offset;
    int Length;
};

// Short and long windows, the newest draws and a window with draws after it (the "Факт"
// columns), one of a single draw.
constexpr TWindow Windows[] = {{120, 11, 0, 40}, {300, 12, 17, 150}, {60, 13, 4, 1}};

std::string Name(const TStatMethod& method, int column)
{
    return method.Code().toStdString() + " column " + std::to_string(column);
}

void StatCellsTest::ForEachTable(TStatColumns columns,
                                 const std::function<void(const TStatMethod&, TStatTable&, TStatTable&)>& check)
{
    for (const TWindow& w : Windows) {
        FState.FDraws = MakeArchive(w.Draws, w.Seed);
        FState.SetDrawsOffset(w.Offset);
        TStatTable full(FState);
        TStatTable table(FState);
        NormsFromTheFullSet(full, FState.StatList());
        NormsFromTheFullSet(table, FState.StatList());
        table.SetTextColumns(columns);
        for (const TStatMethod* method : StatTableMethods(FState.StatList())) {
            ASSERT_EQ(full.Calc(method, w.Length, true), TStatCalcResult::Computed);
            ASSERT_EQ(table.Calc(method, w.Length, true), TStatCalcResult::Computed);
            check(*method, full, table);
            if (::testing::Test::HasFatalFailure())
                return;
        }
    }
}

} // namespace

// The ten draws of the hand-worked table (offset 3): a table that made the value alone holds
// nothing else, and the columns asked for afterwards are those worked out by hand.
TEST_F(StatCellsTest, ColumnsAreMadeWhenAskedFor)
{
    FState.SetDrawsOffset(3);
    TStatTable table(FState);
    table.SetTextColumns(0);
    ASSERT_EQ(table.Calc(Method("NUMS"), 100, true), TStatCalcResult::Computed);
    const TStatTableData& data = table.Data();
    EXPECT_EQ(data.TextColumns, StatColumnBit(scValue));
    ASSERT_EQ(data.Rows.size(), 10u);
    const TStatRow& one = data.Rows[1];
    EXPECT_EQ(one.Texts[scValue], QStringLiteral("1"));
    for (int c = 1; c < StatColumnCount; ++c)
        EXPECT_TRUE(one.Texts[static_cast<std::size_t>(c)].isEmpty()) << c;

    table.MakeTexts(StatColumnBit(scCountPercent) | StatColumnBit(scPeriod) | StatColumnBit(scDeltaKrn));
    EXPECT_EQ(data.TextColumns, StatColumnBit(scValue) | StatColumnBit(scCountPercent) | StatColumnBit(scPeriod)
                                    | StatColumnBit(scDeltaKrn));
    EXPECT_EQ(one.Texts[scCountPercent], QStringLiteral("21,42857"));
    EXPECT_EQ(one.Texts[scPeriod], QStringLiteral("2,3333"));
    EXPECT_EQ(one.Texts[scDeltaKrn], QStringLiteral("0"));   // R(5 * 6 / 4) = 8, next draw 8
    EXPECT_TRUE(one.Texts[scCount].isEmpty());
    EXPECT_TRUE(one.Texts[scFact].isEmpty());
    // Digit 0 never came: its period is a dash; digit 2 comes next in draw 9.
    EXPECT_EQ(data.Rows[0].Texts[scPeriod], QStringLiteral("-"));
    EXPECT_EQ(data.Rows[2].Texts[scDeltaKrn], QStringLiteral("+2"));

    // The same key with the same wishes: nothing is computed again, the texts stay.
    EXPECT_EQ(table.Calc(Method("NUMS"), 100, false), TStatCalcResult::Unchanged);
    EXPECT_EQ(data.Rows[1].Texts[scPeriod], QStringLiteral("2,3333"));
    // A new computation makes the value alone again.
    ASSERT_EQ(table.Calc(Method("NUMS"), 100, true), TStatCalcResult::Computed);
    EXPECT_TRUE(data.Rows[1].Texts[scPeriod].isEmpty());
}

// Columns made later, also after the weights changed, are those a table making all of them
// at once has: the weights are those of the computation.
TEST_F(StatCellsTest, LaterTextsEqualThoseOfAFullTable)
{
    ForEachTable(StatColumnBit(scCount), [this](const TStatMethod& method, TStatTable& full, TStatTable& lazy) {
        const TStatWeights weights = FState.StatList().Config().Weights;
        FState.StatList().Config().Weights.Count = 5;
        // Two steps, the second overlapping the first.
        lazy.MakeTexts(StatColumnBit(scWeight) | StatColumnBit(scFact));
        lazy.MakeTexts(AllStatColumns);
        FState.StatList().Config().Weights = weights;
        ASSERT_EQ(lazy.Data().TextColumns, AllStatColumns);
        ASSERT_EQ(lazy.Data().Rows.size(), full.Data().Rows.size()) << method.Code().toStdString();
        for (std::size_t r = 0; r < full.Data().Rows.size(); ++r)
            for (int c = 0; c < StatColumnCount; ++c)
                ASSERT_EQ(lazy.Data().Rows[r].Texts[static_cast<std::size_t>(c)],
                          full.Data().Rows[r].Texts[static_cast<std::size_t>(c)])
                    << Name(method, c) << " row " << r;
    });
}

// The sort keys of every column are what the text order reads in the column's texts: the
// same number, the same text, and a number only where the text is one.
TEST_F(StatCellsTest, SortKeysReadAsTheTexts)
{
    const TCellTextOrder order;
    ForEachTable(0, [&order](const TStatMethod& method, TStatTable& full, TStatTable& bare) {
        for (int c = 0; c < StatColumnCount; ++c) {
            const std::vector<TCellTextOrder::TKey> keys = bare.SortKeys(c, order);
            ASSERT_EQ(keys.size(), full.Data().Rows.size()) << Name(method, c);
            for (std::size_t r = 0; r < keys.size(); ++r) {
                const TCellTextOrder::TKey text = order.Key(full.Data().Rows[r].Texts[static_cast<std::size_t>(c)]);
                ASSERT_EQ(keys[r].Text, text.Text) << Name(method, c) << " row " << r;
                ASSERT_EQ(keys[r].IsNumber, text.IsNumber) << Name(method, c) << " row " << r;
                ASSERT_EQ(keys[r].Number, text.Number) << Name(method, c) << " row " << r;
            }
        }
        // The keys asked for made no texts.
        EXPECT_EQ(bare.Data().TextColumns, StatColumnBit(scValue));
    });
    // No computation, or a column outside the table: no rows to key.
    TStatTable none(FState);
    EXPECT_TRUE(none.SortKeys(scCount, order).empty());
}

// The status line shows every computation, or, with an interval, at most one in each.
TEST_F(StatCellsTest, StatusOfTablesComputedInAQuickRow)
{
    FState.FDraws = MakeArchive(50, 2);
    const QString computing = U("Анализ тиражей и расчет статистики...");
    for (const int interval : {0, 3600 * 1000}) {
        TStatTable table(FState);
        table.SetStatusInterval(interval);
        FStatuses.clear();
        for (int i = 0; i < 3; ++i)
            ASSERT_EQ(table.Calc(Method("NUMS"), 20 + i, false), TStatCalcResult::Computed);
        EXPECT_EQ(FStatuses.count(computing), interval == 0 ? 3 : 1) << interval;
        // A status shown is cleared again.
        EXPECT_EQ(FStatuses.count(QString()), FStatuses.count(computing)) << interval;
        EXPECT_TRUE(IsNotWaiting());
    }
}
