// The "Тест" and "Стоп" commands: offsets, scoring while the test goes, the stop.

#include "tests/app_core/scenarios/ScriptRunnerTestEnv.h"

TEST_F(ScriptRunnerTest, TestOverFiveOffsetsScoresItsStakesAndRatesThem)
{
    // Three draws before each offset k, the digit of the largest count kept, the last
    // combination staked on draw 11 - k:
    //   k=5: draws 3..5 (5,1)(6,7)(1,5): 5 and 1 twice, 5 first: 95 on draw 6 (9,9): 1 match
    //   k=4: draws 4..6: 9 twice: 99 on draw 7 (2,6): none
    //   k=3: draws 5..7: 9: 99 on draw 8 (1,3): none
    //   k=2: draws 6..8: 9: 99 on draw 9 (6,2): none
    //   k=1: draws 7..9 (2,6)(1,3)(6,2): 2 and 6 twice, 6 first: 96 on draw 10 (4,2): none
    FState.StatList().Config().Cost = TCurrency::FromUnits(10);
    FState.StatList().Config().Profits = {{1, TCurrency::FromUnits(90)}};
    SetLines({Line("FULL:0#LAST", {"TSF1#NUMS:3#LNO:#ST:1"}, "test")});
    int asked = 0;
    FRunner.AskTestCount = [&](int largest) {
        asked = largest;
        return 5;
    };
    FRunner.ScriptTest();
    EXPECT_EQ(asked, 9);
    EXPECT_EQ(FState.DrawsOffset(), 0);
    const QString comment = QStringLiteral("01.001: test @ FULL#LAST + TSF#NUMS:3#LNO:#ST:1");

    const std::vector<TStakeRec> records = Records();
    // A separator before the stakes of each offset after the first.
    ASSERT_EQ(records.size(), 9u);
    const int expected[5][4] = {{6, 9, 5, 1}, {7, 9, 9, 0}, {8, 9, 9, 0}, {9, 9, 9, 0}, {10, 9, 6, 0}};
    for (int i = 0; i < 5; ++i) {
        SCOPED_TRACE(i);
        if (i > 0) {
            EXPECT_FALSE(records[static_cast<std::size_t>(2 * i - 1)].IsStake());
        }
        const TStakeRec& rec = records[static_cast<std::size_t>(2 * i)];
        EXPECT_EQ(rec.DrawNumber, expected[i][0]);
        EXPECT_EQ(rec.Digits.Digits[0], expected[i][1]);
        EXPECT_EQ(rec.Digits.Digits[1], expected[i][2]);
        EXPECT_EQ(rec.SelectionSize, 19);
        EXPECT_EQ(rec.Comment.Get(), comment);
        EXPECT_EQ(rec.Checked, 1);
        EXPECT_EQ(rec.Matches.Count, expected[i][3]);
        EXPECT_EQ(rec.Balance, TCurrency::FromUnits(expected[i][3] == 1 ? 80 : -10));
    }
    // Scored after each offset.
    EXPECT_EQ(FChecks, 5);
    ASSERT_EQ(FRatings.size(), 1u);
    EXPECT_EQ(FRatings[0].Comment, comment);
    EXPECT_EQ(FRatings[0].Stakes, 5);
    EXPECT_EQ(FRatings[0].Matched, 1);
    EXPECT_EQ(FRatings[0].MatchCounts[0], 4);
    EXPECT_EQ(FRatings[0].MatchCounts[1], 1);
    EXPECT_EQ(FRatings[0].Balance, TCurrency::FromUnits(40));
    EXPECT_EQ(FRunner.StakeCount(), 5);
}

TEST_F(ScriptRunnerTest, TestScoresAfterEachOffsetOrEachVariantAsTheOptionSays)
{
    // Three offsets, a line of two variants (lengths 2 and 3, the LAST combination of the
    // digits left after deleting the first row): each check is followed by the rated stakes
    // so far. After each offset the check finds that offset's two stakes; after each variant,
    // the one stake it made.
    SetLines({Line("FULL:0#LAST", {"TSD1#NUMS:2,3#LNO:#ST:1"}, "per")});
    FRunner.AskTestCount = [](int) { return 3; };
    for (const auto& [onLine, expected] : {std::pair{false, std::vector<int>{2, 4, 6}},
                                           std::pair{true, std::vector<int>{1, 2, 3, 4, 5, 6}}}) {
        SCOPED_TRACE(onLine);
        FStakes.DeleteStakes([](qint64, const TStakeRec&) { return false; });
        FRatings.clear();
        FState.Options.SetValue(TMainOptions::StakesCheckOnLine, onLine ? 1 : 0);
        std::vector<int> rated;
        FRunner.CheckStakes = [&] {
            TStakeCheck check(FStakes, FState.FDraws, FState.StatList(), FRatings);
            check.CheckStakesAndReload({});
            int stakes = 0;
            for (const TRatingRec& rating : FRatings)
                stakes += rating.Stakes;
            rated.push_back(stakes);
        };
        FRunner.ScriptTest();
        EXPECT_EQ(rated, expected);
    }
}

TEST_F(ScriptRunnerTest, ClearStakesInATestScoresTheStakesItCuts)
{
    // Every offset's variant clears the file first; the stakes of earlier offsets are scored
    // and rated before they go.
    SetLines({Line("FULL:0#FIRST#CLR")});
    FRunner.AskTestCount = [](int) { return 3; };
    FRunner.ScriptTest();
    ASSERT_EQ(FRatings.size(), 1u);
    EXPECT_EQ(FRatings[0].Stakes, 3);
    EXPECT_EQ(StakeTexts(), QStringList{"00 10 100 01.000: @ FULL#FIRST"});
}

TEST_F(ScriptRunnerTest, StoppedTestLeavesTheOffsetBeingTested)
{
    SetLines({Line("FULL:0#FIRST")});
    FRunner.AskTestCount = [](int) { return 5; };
    FRunner.ProcessEvents = [this] {
        if (FState.DrawsOffset() == 3 && FState.FScriptRunning)
            FState.FScriptStop = true;
    };
    FRunner.ScriptTest();
    EXPECT_EQ(FState.DrawsOffset(), 3);
    EXPECT_FALSE(FState.FScriptStop);
    EXPECT_FALSE(FState.FScriptRunning);
    // Offsets 5 and 4 made their stakes, and they were scored.
    QStringList draws;
    for (const TStakeRec& rec : Records())
        if (rec.IsStake())
            draws.append(QStringLiteral("%1:%2").arg(rec.DrawNumber).arg(rec.Checked));
    EXPECT_EQ(draws, (QStringList{"6:1", "7:1"}));
    EXPECT_EQ(FShown.last(), U("Выполнение сценария прервано!"));
}

TEST_F(ScriptRunnerTest, TestCountIsClampedAndNeedsTwoDraws)
{
    SetLines({Line("FULL:0#FIRST")});
    FRunner.AskTestCount = [](int) { return 50; };
    FRunner.ScriptTest();
    EXPECT_EQ(StakeTexts().size(), 9);
    EXPECT_EQ(Records().front().DrawNumber, 2);

    FRunner.AskTestCount = [](int) { return 0; };
    FRunner.ScriptTest();
    EXPECT_EQ(StakeTexts().size(), 9);

    FState.FDraws.resize(1);
    EXPECT_FALSE(FRunner.CanTest());
    FRunner.AskTestCount = [](int) -> int { throw Exception(QStringLiteral("asked")); };
    EXPECT_NO_THROW(FRunner.ScriptTest());
}

TEST_F(ScriptRunnerTest, StopCommandAsksAndSetsTheFlag)
{
    EXPECT_FALSE(FRunner.CanStop());
    SetLines({Line("FULL:0#FIRST"), Line("FULL:0#LAST")});
    bool asked = false;
    FRunner.SelectLine = [&](int line) {
        if (line != 0 || asked)
            return;
        asked = true;
        EXPECT_TRUE(FRunner.CanStop());
        FBoxes.Answer(IDNO);
        EXPECT_FALSE(FRunner.ScriptStop());
        FBoxes.Answer(IDYES);
        EXPECT_TRUE(FRunner.ScriptStop());
        EXPECT_FALSE(FRunner.CanStop());
    };
    FRunner.ScriptRun();
    EXPECT_TRUE(asked);
    ASSERT_EQ(FBoxes.Boxes().size(), 2);
    EXPECT_EQ(FBoxes.Last().Text, U("Остановить выполнение сценария?"));
    // The line under way finishes its step; the next line is not run.
    EXPECT_EQ(StakeTexts(), QStringList{});
    EXPECT_FALSE(FState.FScriptStop);
}

TEST_F(ScriptRunnerTest, StatusRowTellsHowTheRunEndedWithTheCycleCleared)
{
    // STOP and too many variants stop a run as "Стоп" does (the window's tests press it).
    const struct {
        QString FirstLine;
        const char* Shown;
    } cases[] = {
        {Line("FULL:0#FIRST"), "Сценарий завершен!"},
        {Line("FULL:0#STOP"), "Выполнение сценария прервано!"},
        {Line("FULL:0#FIRST", {"TSD1#NUMS:1-1000;1#LNO:#SF:0", "TSD1#NUMS:1-1000;1#LNO:#SF:0", "TSD1#NUMS:1,2#LNO:#SF:0"}),
         "Выполнение сценария прервано!"},
    };
    SetLines({Line("FULL:0#FIRST"), Line("FULL:0#LAST")});
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Shown);
        ASSERT_TRUE(FLines.SetScriptLine(0, c.FirstLine));
        FRunner.ScriptRun();
        EXPECT_EQ(FRunner.Status().Cycle, U("Цикл: 0"));
        EXPECT_EQ(FRunner.Status().Line, U("Строка: 0"));
        EXPECT_EQ(FShown.last(), U(c.Shown));
    }
    // A run that fails on its way is not told as finished either.
    ASSERT_TRUE(FLines.SetScriptLine(0, Line("FULL:0#FIRST")));
    FRunner.CheckStakes = [] { throw Exception(QStringLiteral("check failed")); };
    EXPECT_THROW(FRunner.ScriptRun(), Exception);
    EXPECT_EQ(FRunner.Status().Cycle, U("Цикл: 0"));
    EXPECT_EQ(FShown.last(), U("Выполнение сценария прервано!"));
}

TEST_F(ScriptRunnerTest, StakesAreCheckedAfterEachVariantOrOnceAfterTheLines)
{
    SetLines({Line("FULL:0#FIRST", {"TSD1#NUMS:10,20#LVA:0#SF:0"}), Line("FULL:0#LAST")});
    for (const auto& [onLine, checks] : {std::pair{1, 3}, std::pair{0, 1}}) {
        SCOPED_TRACE(onLine);
        FState.Options.SetValue(TMainOptions::StakesCheckOnLine, onLine);
        FChecks = 0;
        FRunner.ScriptRun();
        EXPECT_EQ(FChecks, checks);
    }
    // The table's sort order is put back after the run.
    EXPECT_EQ(FScriptTable.SortColumn(), scCount);
    EXPECT_FALSE(FScriptTable.SortDescending());
}

TEST_F(ScriptRunnerTest, FailedCheckInATestEndsItAndStillRestoresTheRunState)
{
    // The check after the first offset fails: the second offset is not run.
    SetLines({Line("FULL:0#FIRST")});
    FRunner.AskTestCount = [](int) { return 2; };
    FRunner.CheckStakes = [] { throw Exception(QStringLiteral("check failed")); };
    FState.SetDrawsOffset(4);
    EXPECT_THROW(FRunner.ScriptTest(), Exception);
    EXPECT_FALSE(FState.FScriptRunning);
    EXPECT_EQ(FState.DrawsOffset(), 4);
    EXPECT_EQ(FControls, (std::vector<bool>{false, true}));
    EXPECT_EQ(StakeTexts().size(), 1);
}
