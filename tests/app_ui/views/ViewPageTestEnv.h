#pragma once

#include "app/core/combs/CombList.h"
#include "app/core/shell/MainState.h"
#include "app/core/stats/StatFilter.h"
#include "support/RVclUtils.h"

#include <QStringList>
#include <QTemporaryDir>

#include <gtest/gtest.h>

class TROwnerDrawGrid;

// What a view page works on, without the main window: a state of its own in a temporary
// folder with the default engine settings, the combination list, the filter pass, and the
// status line recorded. The busy state must be left when the test ends.
class TViewPageTest : public ::testing::Test {
protected:
    TViewPageTest();
    ~TViewPageTest() override;

    // The list := all 100 combinations.
    void FullList();
    // Every row of the grid, its cells joined by '|'.
    static QStringList GridRowTexts(const TROwnerDrawGrid& grid);

    QTemporaryDir FDir;
    TMainState FState;
    TCombListOps FCombs{FState};
    TStatFilter FFilter{FCombs};
    QStringList FStatuses;

private:
    TStatusSink FPreviousSink;
};
