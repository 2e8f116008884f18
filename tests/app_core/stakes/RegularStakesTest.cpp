// Regular stakes: the rules, the stakes they make, the test over past draws and the tab.

#include "tests/app_core/stakes/RegularStakesTestEnv.h"

#include <QFile>

namespace {

TEST_F(RegularStakesTest, RuleStepsFromItsCurrentCombinationOrFromThePreviousDraw)
{
    TTableRec rec = Rule("r", 1, 8, 3);
    QStringList seen;
    for (int i = 0; i < 3; ++i) {
        FTables.NextTableComb(rec, 0);
        seen.append(TableCombText(rec.CurrComb));
    }
    EXPECT_EQ(seen, (QStringList{"4;1", "7;4", "0;7"}));
    EXPECT_EQ(rec.StakesMade, 3);
    EXPECT_EQ(rec.StartComb, C(1, 8));

    // With the last draw: the draw at the offset, shifted; the current combination is ignored.
    TTableRec last = Rule("l", 5, 5, -3, true);
    FTables.NextTableComb(last, 0);   // 9;4
    EXPECT_EQ(last.CurrComb, C(6, 1));
    FTables.NextTableComb(last, 2);   // 7;7
    EXPECT_EQ(last.CurrComb, C(4, 4));
    EXPECT_EQ(last.StakesMade, 2);
}

TEST_F(RegularStakesTest, StakeFromARuleGoesThroughTheDialogAndMovesTheRuleOnOnlyOnOk)
{
    Show(true);
    FState.FCombs.Items = {C(1, 1), C(2, 2), C(3, 3)};
    FState.FCombs.Count = 3;
    FTables.FTables = {Rule("A", 1, 8, 3), Rule("B", 2, 0, -3)};
    FState.SetDrawsOffset(1);

    FTables.EditStake = [](TStakeRec& rec, int& drawCount) {
        EXPECT_EQ(drawCount, 1);
        EXPECT_EQ(rec.Origin, soRegular);
        EXPECT_EQ(rec.DrawNumber, 106);   // after 105, the newest seen from offset 1
        EXPECT_EQ(rec.Comment.Get(), QStringLiteral("B"));
        EXPECT_EQ(rec.SelectionSize, 3);
        EXPECT_EQ(rec.Digits.Count, 2);
        EXPECT_EQ(TableCombText(MakeComb(rec.Digits.Digits[0], rec.Digits.Digits[1])), QStringLiteral("9;7"));
        EXPECT_EQ(rec.Matches.Count, -1);
        EXPECT_EQ(rec.Checked, 0);
        EXPECT_EQ(rec.Balance, TCurrency::FromUnits(-10));
        return false;
    };
    EXPECT_FALSE(FTables.TablesStakeAdd(1));
    EXPECT_EQ(FTables.FTables[1], Rule("B", 2, 0, -3));
    EXPECT_TRUE(FMade.empty());
    EXPECT_FALSE(QFile::exists(FTables.FileName()));

    FTables.EditStake = [](TStakeRec&, int& drawCount) {
        drawCount = 3;
        return true;
    };
    // The stake is appended without a check; the check comes once the rule is saved.
    QStringList steps;
    FTables.CreateStakes = [this, &steps](const TStakeRec& rec, int drawCount, bool batch) {
        EXPECT_FALSE(batch);
        steps << QStringLiteral("append");
        FMade.push_back(rec);
        FDrawCounts.push_back(drawCount);
        return true;
    };
    FTables.CheckStakes = [this, &steps] {
        steps << (FileRecords() == FTables.FTables ? QStringLiteral("check after save") : QStringLiteral("check"));
    };
    EXPECT_TRUE(FTables.TablesStakeAdd(1));
    EXPECT_EQ(FTables.FTables[1].CurrComb, C(9, 7));
    EXPECT_EQ(FTables.FTables[1].StakesMade, 1);
    EXPECT_EQ(FileRecords(), FTables.FTables);
    EXPECT_EQ(StakeTexts(FMade), QStringList{"106:9;7 B"});
    EXPECT_EQ(FDrawCounts, std::vector<int>{3});
    EXPECT_EQ(steps, QStringList({"append", "check after save"}));
    EXPECT_EQ(FRefreshes.back(), std::make_pair(true, true));

    // No row, a row past the end.
    EXPECT_FALSE(FTables.TablesStakeAdd(-1));
    EXPECT_FALSE(FTables.TablesStakeAdd(2));
    EXPECT_EQ(FMade.size(), 1u);
}

TEST_F(RegularStakesTest, TestOverFiveDrawsWithTwoRulesMakesTenStakesAndChecksOnce)
{
    Show(true);
    FTables.FTables = {Rule("A", 1, 8, 3), Rule("skip", 0, 0, 1), Rule("B", 0, 0, -1, true)};
    FState.SetDrawsOffset(0);
    int largest = -1;
    FTables.AskTestCount = [&largest](int l) {
        largest = l;
        return 5;
    };
    EXPECT_TRUE(FTables.TablesStakeTest({2, 0}));
    EXPECT_EQ(largest, 5);
    // Offsets 5 down to 1: the stake is for the draw after the one at the offset; B starts from
    // that draw's digits less one.
    EXPECT_EQ(StakeTexts(FMade), (QStringList{"102:4;1 A", "102:9;0 B", "103:7;4 A", "103:4;8 B",
                                              "104:0;7 A", "104:0;1 B", "105:3;0 A", "105:6;6 B",
                                              "106:6;3 A", "106:2;9 B"}));
    EXPECT_EQ(FChecks, 1);
    EXPECT_EQ(FRefreshes, (std::vector<std::pair<bool, bool>>{{true, true}}));
    EXPECT_EQ(FState.DrawsOffset(), 0);
    EXPECT_FALSE(FState.FViewsLocked);
    EXPECT_EQ(FViewRefreshes, 0);
    EXPECT_EQ(FTables.FTables[0].StakesMade, 5);
    EXPECT_EQ(FTables.FTables[0].CurrComb, C(6, 3));
    EXPECT_EQ(FTables.FTables[1], Rule("skip", 0, 0, 1));
    EXPECT_EQ(FileRecords(), FTables.FTables);
    EXPECT_TRUE(FStatuses.contains(U("Создание ставок по регулярным табличным ставкам...")));
}

TEST_F(RegularStakesTest, TestCountIsClampedAndNeedsTwoDraws)
{
    Show(true);
    FTables.FTables = {Rule("A", 1, 8, 3)};
    FTables.AskTestCount = [](int) { return 100; };
    EXPECT_TRUE(FTables.CanTest(1));
    EXPECT_FALSE(FTables.CanTest(0));
    EXPECT_TRUE(FTables.TablesStakeTest({0}));
    EXPECT_EQ(FMade.size(), 5u);   // six draws: five can be staked on from an earlier one

    FMade.clear();
    FTables.AskTestCount = [](int) { return 0; };
    EXPECT_FALSE(FTables.TablesStakeTest({0}));
    EXPECT_TRUE(FMade.empty());

    FState.FDraws.resize(1);
    EXPECT_FALSE(FTables.CanTest(1));
    bool asked = false;
    FTables.AskTestCount = [&asked](int) {
        asked = true;
        return 1;
    };
    EXPECT_FALSE(FTables.TablesStakeTest({0}));
    EXPECT_FALSE(asked);
    EXPECT_EQ(FChecks, 1);
}

TEST_F(RegularStakesTest, FailureInTheMiddleRestoresOffsetViewsAndBusyState)
{
    Show(true);
    FState.SetDrawsOffset(1);
    FTables.AskTestCount = [](int) { return 4; };
    for (const bool throws : {false, true}) {
        SCOPED_TRACE(throws);
        FTables.FTables = {Rule("A", 1, 8, 3), Rule("B", 2, 0, -3)};
        FMade.clear();
        FBoxes.Clear();
        FTables.CreateStakes = [this, throws](const TStakeRec& rec, int, bool) {
            EXPECT_TRUE(FState.FViewsLocked);
            if (FMade.size() == 3) {
                if (throws)
                    throw Exception(QStringLiteral("disk full"));
                return false;
            }
            FMade.push_back(rec);
            return true;
        };
        EXPECT_FALSE(FTables.TablesStakeTest({0, 1}));
        EXPECT_EQ(FMade.size(), 3u);
        EXPECT_EQ(FChecks, 0);
        EXPECT_EQ(FState.DrawsOffset(), 1);
        EXPECT_FALSE(FState.FViewsLocked);
        EXPECT_TRUE(IsNotWaiting());
        // Each rule moved on by the stakes it made: A twice, B once.
        EXPECT_EQ(FTables.FTables[0].StakesMade, 2);
        EXPECT_EQ(FTables.FTables[1].StakesMade, 1);
        if (throws)
            EXPECT_EQ(FBoxes.Last().Text, QStringLiteral("disk full"));
        else
            EXPECT_TRUE(FBoxes.Boxes().isEmpty());
    }
    // A lock that was on before stays on.
    FState.FViewsLocked = true;
    FTables.TablesStakeTest({0});
    EXPECT_TRUE(FState.FViewsLocked);
}

TEST_F(RegularStakesTest, DamagedRulesAreListedButMakeNoStake)
{
    Show(true);
    TTableRec damaged = Rule("bad", 3, 12, 1);
    damaged.Step = 40;
    FTables.FTables = {damaged};
    EXPECT_EQ(TableRowTexts(damaged), (QStringList{"bad", "3;12", "40", "3;12", "0"}));
    FTables.EditStake = [](TStakeRec&, int&) {
        ADD_FAILURE() << "no dialog for a damaged rule";
        return true;
    };
    EXPECT_FALSE(FTables.TablesStakeAdd(0));
    EXPECT_TRUE(FBoxes.Last().Text.contains(QStringLiteral("\"bad\"")));
    FTables.AskTestCount = [](int) { return 2; };
    FTables.TablesStakeTest({0});
    EXPECT_TRUE(FMade.empty());
    EXPECT_EQ(FTables.FTables[0], damaged);
}

TEST_F(RegularStakesTest, AddMakesOneRulePerSelectedCombinationWithFreeNumbers)
{
    Show(true);
    FTables.FTables = {Rule("Р (2)", 0, 0, 1)};
    QStringList given;
    TTableRec shown;
    FTables.EditTable = [&](const QStringList& comments, TTableRec& rec) {
        given = comments;
        shown = rec;
        rec.Comment.Set(U("Р"));
        rec.Step = -2;
        return true;
    };
    EXPECT_TRUE(FTables.TablesAdd({C(1, 2), C(3, 4), C(5, 6)}));
    EXPECT_EQ(given, QStringList{U("Р (2)")});
    EXPECT_EQ(shown.Comment.Get(), U("Регулярная ставка"));
    EXPECT_EQ(shown.Step, 1);
    EXPECT_EQ(shown.StakesMade, 3);
    EXPECT_EQ(Names(), (QStringList{U("Р (2)"), U("Р (1)"), U("Р (3)"), U("Р (4)")}));
    EXPECT_EQ(FTables.FTables[3], Rule("Р (4)", 5, 6, -2));
    EXPECT_EQ(FileRecords(), FTables.FTables);

    // A fixed start with nothing selected adds nothing.
    EXPECT_TRUE(FTables.TablesAdd({}));
    EXPECT_EQ(FTables.FTables.size(), 4u);

    // One combination: the rule as edited, starting there.
    FTables.EditTable = [](const QStringList&, TTableRec& rec) {
        rec.Comment.Set(QStringLiteral("one"));
        rec.StartComb = C(7, 0);
        return true;
    };
    FTables.TablesAdd({C(1, 1)});
    EXPECT_EQ(FTables.FTables.back(), Rule("one", 7, 0, 1));

    // The last draw: one rule whatever is selected.
    FTables.EditTable = [](const QStringList&, TTableRec& rec) {
        rec.Comment.Set(QStringLiteral("last"));
        rec.UseLastDraw = true;
        return true;
    };
    FTables.TablesAdd({C(1, 1), C(2, 2)});
    EXPECT_EQ(FTables.FTables.back(), Rule("last", 0, 0, 1, true));
    EXPECT_EQ(FTables.FTables.size(), 6u);

    FTables.EditTable = [](const QStringList&, TTableRec&) { return false; };
    EXPECT_FALSE(FTables.TablesAdd({C(1, 1)}));
    EXPECT_EQ(FTables.FTables.size(), 6u);
}

TEST_F(RegularStakesTest, DeleteRemovesTheSelectedRulesAfterTheQuestion)
{
    Show(true);
    FTables.FTables = {Rule("a", 0, 0, 1), Rule("b", 1, 1, 1), Rule("c", 2, 2, 1)};
    int cleared = 0;
    FTables.ClearSelection = [&cleared] { ++cleared; };
    FBoxes.Answer(IDNO);
    EXPECT_FALSE(FTables.TablesDel({0, 2}));
    EXPECT_EQ(Names(), (QStringList{"a", "b", "c"}));
    FBoxes.Answer(IDYES);
    EXPECT_TRUE(FTables.TablesDel({2, 0, 7}));
    EXPECT_EQ(Names(), QStringList{"b"});
    EXPECT_EQ(cleared, 1);
    EXPECT_EQ(FileRecords(), FTables.FTables);

    try {
        FTables.DeleteTable(1);
        ADD_FAILURE() << "no exception";
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message(), U("Запись со индексом 1 в файле данных не найдена!"));
    }
}

TEST_F(RegularStakesTest, HiddenTabNeitherLoadsNorWritesTheFile)
{
    const QByteArray original = TablesToBytes({Rule("a", 1, 2, 3)});
    WriteFileBytes(FTables.FileName(), original);
    Show(false);
    EXPECT_FALSE(FTables.LoadTablesFile().Loaded);
    EXPECT_TRUE(FTables.FTables.empty());
    FTables.FTables = {Rule("x", 0, 0, 1)};
    FTables.SaveTablesFile();
    EXPECT_EQ(ReadFileBytes(FTables.FileName()), original);

    // Showing the tab loads the file and writes the option; hiding it empties the rules.
    FTables.SetTabShown(true);
    EXPECT_EQ(FTables.FTables, TTablesArray{Rule("a", 1, 2, 3)});
    EXPECT_TRUE(FState.FormState().ReadBool(QStringLiteral("TabTables"), false));
    FTables.SetTabShown(false);
    EXPECT_TRUE(FTables.FTables.empty());
    EXPECT_FALSE(FState.FormState().ReadBool(QStringLiteral("TabTables"), true));
    EXPECT_EQ(ReadFileBytes(FTables.FileName()), original);

    // A missing file: nothing to load, no message.
    QFile::remove(FTables.FileName());
    Show(true);
    EXPECT_FALSE(FTables.LoadTablesFile().Loaded);
    EXPECT_TRUE(FBoxes.Boxes().isEmpty());
}

} // namespace
