#pragma once

// The regular stakes over the main state in a temporary data folder, with every stake they
// make and every check and refresh they ask for recorded.

#include "app/core/stakes/RegularStakes.h"

#include "tests/app_core/CoreTestEnv.h"
#include "tests/app_core/stakes/TableRuleData.h"

#include <utility>
#include <vector>

class RegularStakesTest : public TCoreTest {
protected:
    RegularStakesTest()
    {
        FState.StatList().Config().Cost = TCurrency::FromUnits(10);
        // Draws 101..106, oldest first.
        FState.FDraws = {Draw(101, 0, 1, "x"), Draw(102, 5, 9, "x"), Draw(103, 1, 2, "x"),
                         Draw(104, 7, 7, "x"), Draw(105, 3, 0, "x"), Draw(106, 9, 4, "x")};
        FTables.CreateStakes = [this](const TStakeRec& rec, int drawCount, bool batch) {
            EXPECT_EQ(drawCount, 1);
            EXPECT_TRUE(batch);
            EXPECT_TRUE(FState.FViewsLocked);
            EXPECT_FALSE(IsNotWaiting());
            FMade.push_back(rec);
            return true;
        };
        FTables.CreateStake = [this](const TStakeRec& rec, int drawCount) {
            FMade.push_back(rec);
            FDrawCounts.push_back(drawCount);
            return true;
        };
        FTables.CheckStakes = [this] {
            EXPECT_TRUE(FState.FViewsLocked);
            ++FChecks;
        };
        FTables.RefreshGrid = [this](bool resize, bool scroll) { FRefreshes.push_back({resize, scroll}); };
        FViewId = FState.RegisterView([this](bool) { ++FViewRefreshes; });
    }
    ~RegularStakesTest() override { FState.UnregisterView(FViewId); }

    void Show(bool shown) { FState.Options.SetValue(TMainOptions::TabTables, shown ? 1 : 0); }
    QStringList Names() const { return FTables.Comments(); }
    std::vector<TTableRec> FileRecords() const
    {
        return ReadRecordFile<TTableRec>(FTables.FileName(), TableRecSize, 1000, ReadTableRec).Records;
    }
    static QStringList StakeTexts(const std::vector<TStakeRec>& stakes)
    {
        QStringList texts;
        for (const TStakeRec& s : stakes)
            texts.append(QStringLiteral("%1:%2;%3 %4").arg(s.DrawNumber).arg(s.Digits.Digits[0])
                             .arg(s.Digits.Digits[1]).arg(s.Comment.Get()));
        return texts;
    }

    TRegularStakes FTables{FState};
    std::vector<TStakeRec> FMade;
    std::vector<int> FDrawCounts;
    int FChecks = 0;
    int FViewRefreshes = 0;
    int FViewId = 0;
    std::vector<std::pair<bool, bool>> FRefreshes;
};
