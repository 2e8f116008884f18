#include "tests/app_ui/views/ViewPageTestEnv.h"

#include "app/core/combs/CombsGen.h"
#include "engine/KelmaUtils.h"
#include "support/ui/QorGrid.h"
#include "tests/fixtures/StatFixtures.h"

TViewPageTest::TViewPageTest()
{
    FState.SetDataDir(FDir.path());
    FState.SetArguments({});
    FState.CombCount = CombinationsTotal;
    FState.ReserveCombLists();
    FState.StatList().Config() = DefaultStatConfig();   // channels of two digits
    FPreviousSink = SetStatusSink([this](const QString& text) { FStatuses.append(text); });
}

TViewPageTest::~TViewPageTest()
{
    SetStatusSink(std::move(FPreviousSink));
    EXPECT_EQ(WaitCount(), 0);
}

void TViewPageTest::FullList()
{
    SetCombsCapacity(FState.FCombs, 0, 0);
    for (const TCombWord comb : GenerateCombs(GenFull, {}))
        AppendComb(FState.FCombs, comb);
}

QStringList TViewPageTest::GridRowTexts(const TROwnerDrawGrid& grid)
{
    QStringList rows;
    for (int row = 0; row < grid.RowCount(); ++row) {
        QStringList cells;
        for (int col = 0; col < grid.ColCount(); ++col)
            cells << grid.GetCellText(col, row);
        rows << cells.join(QLatin1Char('|'));
    }
    return rows;
}
