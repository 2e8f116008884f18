// Scenario runs: lines, variants, filter steps, start lists and the stakes they make.

#include "tests/app_core/scenarios/ScriptRunnerTestEnv.h"

TEST_F(ScriptRunnerTest, LineWithoutFiltersStakesFromTheStartList)
{
    FState.StatList().Config().Cost = TCurrency::FromUnits(10);
    SetLines({Line("FULL:0#FIRST", {}, "без фильтров")});
    FRunner.ScriptRun();
    const std::vector<TStakeRec> records = Records();
    ASSERT_EQ(records.size(), 1u);
    const TStakeRec& rec = records[0];
    EXPECT_EQ(rec.Origin, soScript);
    EXPECT_EQ(rec.DrawNumber, 11);
    EXPECT_EQ(rec.SelectionSize, 100);
    EXPECT_EQ(rec.Digits.Count, 2);
    EXPECT_EQ(rec.Digits.Digits[0], 0);
    EXPECT_EQ(rec.Digits.Digits[1], 0);
    EXPECT_EQ(rec.Matches.Count, -1);
    EXPECT_EQ(rec.Checked, 0);
    EXPECT_EQ(rec.Balance, TCurrency::FromUnits(-10));
    EXPECT_EQ(rec.Comment.Get(), U("01.000: без фильтров @ FULL#FIRST"));
    EXPECT_EQ(FRunner.StakeCount(), 1);
    EXPECT_EQ(FChecks, 1);
    EXPECT_FALSE(FState.FScriptRunning);
    EXPECT_EQ(FControls, (std::vector<bool>{false, true}));
    EXPECT_EQ(FShown.last(), U("Сценарий завершен!"));
}

TEST_F(ScriptRunnerTest, AmbiguityActions)
{
    // The line starts from the list as it is; one or three combinations are left.
    struct TCase {
        const char* Action;
        std::initializer_list<std::pair<int, int>> List;
        QStringList Staked;
        bool Stops;
    };
    const TCase cases[] = {
        {"SKIP", {{1, 2}, {3, 4}, {5, 6}}, {}, false},
        {"SKIP", {{3, 4}}, {"34"}, false},
        {"STOP", {{3, 4}}, {"34"}, false},
        {"SYSA", {{3, 4}}, {"34"}, false},
        {"SYSC", {{3, 4}}, {"34"}, false},
        {"NONE", {{3, 4}}, {}, false},
        {"NONE", {{1, 2}, {3, 4}, {5, 6}}, {}, false},
        {"FIRST", {{1, 2}, {3, 4}, {5, 6}}, {"12"}, false},
        {"LAST", {{1, 2}, {3, 4}, {5, 6}}, {"56"}, false},
        {"ALL", {{1, 2}, {3, 4}, {5, 6}}, {"12", "34", "56"}, false},
        {"STOP", {{1, 2}, {3, 4}, {5, 6}}, {}, true},
        {"FIRST", {}, {}, false},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(std::string(c.Action) + " of " + std::to_string(c.List.size()));
        FStakes.DeleteStakes([](qint64, const TStakeRec&) { return false; });
        FBoxes.Clear();
        SetList(c.List);
        const QString options = QStringLiteral("CURR:0#") + QString::fromLatin1(c.Action);
        SetOnlyLine(FormatScriptLine({}, options, {}));
        FRunner.ScriptRun();
        QStringList staked;
        for (const TStakeRec& rec : Records())
            if (rec.IsStake())
                staked.append(QStringLiteral("%1%2").arg(rec.Digits.Digits[0]).arg(rec.Digits.Digits[1]));
        EXPECT_EQ(staked, c.Staked);
        if (c.Stops) {
            ASSERT_EQ(FBoxes.Boxes().size(), 1);
            EXPECT_EQ(FBoxes.Last().Text,
                      U("Выполнение сценария прервано, т.к. после применения всех фильтров в списке "
                        "комбинаций их осталось более одной: 3!\n\nФильтры: 01.000: @ CURR#STOP"));
        } else {
            EXPECT_TRUE(FBoxes.Boxes().isEmpty());
        }
        // The run's final block clears the stop flag either way.
        EXPECT_FALSE(FState.FScriptStop);
    }
}

TEST_F(ScriptRunnerTest, ThresholdModesMakeOneVariantPerValueAndListModesOne)
{
    // Deleting every row of depth at least 1, 2, 3 leaves the digits {0,7,8}... see below;
    // the window is the whole archive for both lengths.
    //   LMV:1 deletes 2 1 6 9 5 4 3 7: {0,8} is left, 4 combinations;
    //   LMV:2 deletes 1 6 9 5 3 7: {0,2,4,8}, 16;
    //   LMV:3 deletes 1 9 5 3 7: {0,2,4,6,8}, 25.
    SetLines({Line("FULL:0#LAST", {"TSD1#NUMS:10,20#LMV:1,2,3#SF:0"}, "lmv")});
    FRunner.ScriptRun();
    EXPECT_EQ(StakeTexts(), (QStringList{
                                "88 11 4 01.001: lmv @ FULL#LAST + TSD#NUMS:10#LMV:1#SF:0",
                                "88 11 16 01.002: lmv @ FULL#LAST + TSD#NUMS:10#LMV:2#SF:0",
                                "88 11 25 01.003: lmv @ FULL#LAST + TSD#NUMS:10#LMV:3#SF:0",
                                "88 11 4 01.004: lmv @ FULL#LAST + TSD#NUMS:20#LMV:1#SF:0",
                                "88 11 16 01.005: lmv @ FULL#LAST + TSD#NUMS:20#LMV:2#SF:0",
                                "88 11 25 01.006: lmv @ FULL#LAST + TSD#NUMS:20#LMV:3#SF:0",
                            }));
    EXPECT_TRUE(FShown.contains(U("Фильтр 6 из 6: TSD#NUMS:20#LMV:3#SF:0")));
}

TEST_F(ScriptRunnerTest, ListModeTestsTheWholeList)
{
    // Depth 1, 2 or 3: the digits 2 4 6 1 3 go, {0,5,7,8,9} is left.
    SetLines({Line("FULL:0#LAST", {"TSD1#NUMS:10,20#LDV:1,2,3#SF:0"})});
    FRunner.ScriptRun();
    EXPECT_EQ(StakeTexts(), (QStringList{
                                "99 11 25 01.001: @ FULL#LAST + TSD#NUMS:10#LDV:1,2,3#SF:0",
                                "99 11 25 01.002: @ FULL#LAST + TSD#NUMS:20#LDV:1,2,3#SF:0",
                            }));
}

TEST_F(ScriptRunnerTest, StepCountsSuccessfulStepsAloneAndEveryRowInMultiMode)
{
    // Depth 3 has the digits 1 and 3, met as the second and the seventh row. One at a time,
    // ST:2 deletes both (64 left); several at once, ST:2 ends after the second row visited,
    // with 1 alone selected (81 left).
    SetLines({Line("FULL:0#FIRST", {"TSD1#NUMS:10#LDV:3#ST:2"}),
              Line("FULL:0#FIRST", {"TMD1#NUMS:10#LDV:3#ST:2"})});
    FRunner.ScriptRun();
    EXPECT_EQ(StakeTexts(), (QStringList{"00 11 64 01.001: @ FULL#FIRST + TSD#NUMS:10#LDV:3#ST:2",
                                         "00 11 81 02.001: @ FULL#FIRST + TMD#NUMS:10#LDV:3#ST:2"}));
}

TEST_F(ScriptRunnerTest, UndoneStepIsNotCounted)
{
    // From {22, 13}: row 2 leaves {13} (step 1), row 1 would empty the list and is undone,
    // row 6 deletes nothing (step 2), and the walk ends: three filter passes.
    SetList({{2, 2}, {1, 3}});
    SetLines({Line("CURR:0#FIRST", {"TSD1#NUMS:10#LNO:#ST:2"})});
    FRunner.ScriptRun();
    EXPECT_EQ(FCombs.FilterHistory().size(), 3);
    EXPECT_EQ(StakeTexts(), QStringList{"13 11 1 01.001: @ CURR#FIRST + TSD#NUMS:10#LNO:#ST:2"});
}

TEST_F(ScriptRunnerTest, StepThatEmptiesTheListIsUndoneAndTheWalkGoesOnUnlessSZ)
{
    // Keeping row by row from {12, 34}: 2 leaves {12}, 1 keeps it, and each later row would
    // empty it. SF walks all ten rows; SZ ends at the first undo (row 6).
    for (const auto& [stop, passes] : {std::pair{"SF:0", 10}, std::pair{"SZ:0", 3}}) {
        SCOPED_TRACE(stop);
        FCombs.ClearFilterHistory();
        SetList({{1, 2}, {3, 4}});
        SetOnlyLine(FormatScriptLine({}, QStringLiteral("CURR:0#ALL"),
                                     {QStringLiteral("TSF1#NUMS:10#LNO:#") + QString::fromLatin1(stop)}));
        FRunner.ScriptRun();
        EXPECT_EQ(FCombs.FilterHistory().size(), passes);
        EXPECT_EQ(CombTexts(CombsOf(FState.FCombs)), QStringList{"1;2"});
    }
}

TEST_F(ScriptRunnerTest, LaterStepsAreSkippedOnceFewerThanTwoRemain)
{
    // Filter 1 keeps 5 alone: {55}. Filter 2 would make ten passes; it is not run. From
    // {12, 34, 55, 56} filter 1 leaves two and filter 2 walks all ten rows: 6 keeps 56 and 5
    // keeps it; every other row would empty the list and is undone.
    SetList({{1, 2}, {3, 4}, {5, 5}});
    SetLines({Line("CURR:0#ALL", {"TSF1#NUMS:10#LVA:5#SF:0", "TSF1#NUMS:10#LNO:#SF:0"})});
    FRunner.ScriptRun();
    EXPECT_EQ(FCombs.FilterHistory().size(), 1);
    EXPECT_EQ(StakeTexts(), QStringList{"55 11 1 01.001: @ CURR#ALL + TSF#NUMS:10#LVA:5#SF:0 + TSF#NUMS:10#LNO:#SF:0"});

    FCombs.ClearFilterHistory();
    SetList({{1, 2}, {3, 4}, {5, 5}, {5, 6}});
    FRunner.ScriptRun();
    EXPECT_EQ(FCombs.FilterHistory().size(), 11);
    EXPECT_EQ(CombTexts(CombsOf(FState.FCombs)), QStringList{"5;6"});
}

TEST_F(ScriptRunnerTest, DescendingDepthWalksTheDeepestValuesBeforeTheUnseenOnes)
{
    // Sorted by depth, deepest first: 7 (7), 5 (6), 9 (5), 3 and 1 (3), 6 (2), 4 and 2 (1),
    // and last 8 and 0, which the window has not seen ("-"). Three steps delete 7, 5 and 9:
    // {0,1,2,3,4,6,8} are left, 49 combinations from 00 to 88.
    SetLines({Line("FULL:0#FIRST", {"TSD6#NUMS:10#LNO:#ST:3"}), Line("FULL:0#LAST", {"TSD6#NUMS:10#LNO:#ST:3"})});
    FRunner.ScriptRun();
    EXPECT_EQ(StakeTexts(), (QStringList{"00 11 49 01.001: @ FULL#FIRST + TSD#NUMS:10#LNO:#ST:3",
                                         "88 11 49 02.001: @ FULL#LAST + TSD#NUMS:10#LNO:#ST:3"}));
}

TEST_F(ScriptRunnerTest, SumRangeWithBothRowsSelectedTestsTheRangeRow)
{
    // Range 3 holds the sums 16..18: 79 88 89 97 98 99. Selecting both rows (LNO, several at
    // once) selects the range's row, so keeping leaves those six and deleting the other 94.
    struct TCase {
        const char* Filter;
        const char* Action;
        const char* Staked;
    } cases[] = {
        {"TMF1#SUM3:10#LNO:#SF:0", "FIRST", "79 11 6 01.001: @ FULL#FIRST + TMF#SUM3:10#LNO:#SF:0"},
        {"TMF1#SUM3:10#LNO:#SF:0", "LAST", "99 11 6 01.001: @ FULL#LAST + TMF#SUM3:10#LNO:#SF:0"},
        {"TMD1#SUM3:10#LNO:#SF:0", "LAST", "96 11 94 01.001: @ FULL#LAST + TMD#SUM3:10#LNO:#SF:0"},
        {"TMD1#SUM1:10#LNO:#SF:0", "LAST", "92 11 72 01.001: @ FULL#LAST + TMD#SUM1:10#LNO:#SF:0"},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Filter);
        FStakes.DeleteStakes([](qint64, const TStakeRec&) { return false; });
        SetOnlyLine(FormatScriptLine({}, QStringLiteral("FULL:0#") + QString::fromLatin1(c.Action),
                                     {QString::fromLatin1(c.Filter)}));
        FRunner.ScriptRun();
        EXPECT_EQ(StakeTexts(), QStringList{QString::fromUtf8(c.Staked)});
    }
}

TEST_F(ScriptRunnerTest, CurrNarrowsOneListAcrossVariantsFullStartsAnew)
{
    // CLV:3 deletes 6 (the first row of count 3 at most), CLV:2 deletes 9.
    SetLines({Line("CURR:0#FIRST", {"TSD1#NUMS:10#CLV:3,2#ST:1"}), Line("FULL:0#FIRST", {"TSD1#NUMS:10#CLV:3,2#ST:1"})});
    FGen.BuildCombs(false, FGen.DefaultSettings());
    FRunner.ScriptRun();
    EXPECT_EQ(StakeTexts(), (QStringList{
                                "00 11 81 01.001: @ CURR#FIRST + TSD#NUMS:10#CLV:3#ST:1",
                                "00 11 64 01.002: @ CURR#FIRST + TSD#NUMS:10#CLV:2#ST:1",
                                "00 11 81 02.001: @ FULL#FIRST + TSD#NUMS:10#CLV:3#ST:1",
                                "00 11 81 02.002: @ FULL#FIRST + TSD#NUMS:10#CLV:2#ST:1",
                            }));
}

TEST_F(ScriptRunnerTest, ClearStakesBeforeEachVariantLeavesTheLastVariantsStakes)
{
    ASSERT_NO_THROW(FStakes.AppendStake(StakeOn(soManual, 11, 5, 5, "hand"), 1));
    SetLines({Line("FULL:0#FIRST#CLR", {"TSD1#NUMS:10,20#LVA:0#SF:0"})});
    FRunner.ScriptRun();
    const std::vector<TStakeRec> records = Records();
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(StakeText(records[0]), "11 11 81 01.002: @ FULL#FIRST + TSD#NUMS:20#LVA:0#SF:0");
}

TEST_F(ScriptRunnerTest, ExclListComesFromTheBufferTheSecondTime)
{
    // EXCL:1 removes the newest draw's combination 42. Before the second line the buffer is
    // changed behind the run's back: the second line takes its list from there.
    SetLines({Line("EXCL:1#LAST"), Line("EXCL:1#LAST"), Line("EXCL:2#FIRST")});
    FRunner.SelectLine = [this](int line) {
        if (line == 1) {
            ASSERT_EQ(FState.FCombsBufferKey, (std::array<std::int32_t, 2>{0, 1}));
            ASSERT_EQ(CombsUsed(FState.FCombsBuffer), 99);
            SetCombsCapacity(FState.FCombsBuffer, 1, 1);
            FState.FCombsBuffer.Items[0] = C(7, 7);
        }
    };
    FRunner.ScriptRun();
    // EXCL:2 is another key: 42 and 62 go.
    EXPECT_EQ(StakeTexts(), (QStringList{"99 11 99 01.000: @ EXCL:1#LAST", "77 11 1 02.000: @ EXCL:1#LAST",
                                         "00 11 98 03.000: @ EXCL:2#FIRST"}));
    // The key is forgotten at the end of the run.
    EXPECT_EQ(FState.FCombsBufferKey, (std::array<std::int32_t, 2>{-1, -1}));
}

TEST_F(ScriptRunnerTest, NewOnlySkipsAStakeThatExists)
{
    ASSERT_NO_THROW(FStakes.AppendStake(StakeOn(soManual, 11, 0, 0, "hand"), 1));
    SetLines({Line("FULL:0#FIRST#NEX"), Line("FULL:0#LAST#NEX"), Line("FULL:0#FIRST")});
    FRunner.ScriptRun();
    const std::vector<TStakeRec> records = Records();
    // The hand-made stake, the separator before the run's stakes, then 99 and the second 00.
    ASSERT_EQ(records.size(), 4u);
    EXPECT_FALSE(records[1].IsStake());
    EXPECT_EQ(StakeText(records[2]), "99 11 100 02.000: @ FULL#LAST#NEX");
    EXPECT_EQ(StakeText(records[3]), "00 11 100 03.000: @ FULL#FIRST");
    EXPECT_EQ(FRunner.StakeCount(), 2);
}

TEST_F(ScriptRunnerTest, StepWithOwnWeightsRecomputesTheWeightColumn)
{
    // Filter 1 weighs by count and deletes 5; filter 2 has the same method, length and offset
    // but weighs by depth: depth 6 or more are 5 and 7, so 7 goes too (64 left). Weights
    // kept from filter 1 (count) would find no row of weight 6.
    const TStatWeights before = FState.StatList().Config().Weights;
    SetLines({Line("FULL:0#FIRST", {"TSD1#NUMS:10#LVA:5#SF:0#1:0:0:0:0", "TSD1#NUMS:10#WMV:6#SF:0#0:0:1:0:0"})});
    FRunner.ScriptRun();
    ASSERT_EQ(StakeTexts().size(), 1);
    EXPECT_TRUE(StakeTexts()[0].startsWith(QStringLiteral("00 11 64 ")));
    EXPECT_EQ(FState.StatList().Config().Weights, before);
}

TEST_F(ScriptRunnerTest, SeparatorLineIsNotRun)
{
    SetLines({QStringLiteral("   "), Line("FULL:0#FIRST")});
    FRunner.ScriptRun();
    EXPECT_EQ(StakeTexts(), QStringList{"00 11 100 02.000: @ FULL#FIRST"});
}

TEST_F(ScriptRunnerTest, TooManyVariantsStopsTheRunWithTheBox)
{
    SetLines({Line("FULL:0#FIRST", {"TSD1#NUMS:1-1000;1#LNO:#SF:0", "TSD1#NUMS:1-1000;1#LNO:#SF:0",
                                             "TSD1#NUMS:1,2#LNO:#SF:0"}),
              Line("FULL:0#FIRST")});
    FRunner.ScriptRun();
    EXPECT_TRUE(StakeTexts().isEmpty());
    ASSERT_EQ(FBoxes.Boxes().size(), 1);
    EXPECT_TRUE(FBoxes.Last().Text.startsWith(U("Вы задали слишком много вариантов фильтров")));
    EXPECT_FALSE(FState.FScriptStop);
}

TEST_F(ScriptRunnerTest, UnknownMethodEndsTheRunNamingTheCodeAndRestoresWeights)
{
    const TStatWeights before = FState.StatList().Config().Weights;
    SetLines({Line("FULL:0#NONE", {"TSD1#NUMS:10#LNO:#ST:1#5:5:5:0:0"}), Line("FULL:0#FIRST", {"TSD1#XYZ9:10#LNO:#SF:0"})});
    FRunner.AskTestCount = [](int) { return 3; };
    FState.SetDrawsOffset(1);
    try {
        FRunner.ScriptTest();
        ADD_FAILURE() << "no error";
    } catch (const Exception& e) {
        EXPECT_TRUE(e.Message().startsWith(U("Метод расчета статистики \"XYZ9\" на найден!\nTSD1#XYZ9:10#LNO:#SF:0\n")))
            << e.Message().toStdString();
    }
    // The offset goes back to where it was; weights, flags and controls are restored.
    EXPECT_EQ(FState.DrawsOffset(), 1);
    EXPECT_EQ(FState.StatList().Config().Weights, before);
    EXPECT_FALSE(FState.FScriptRunning);
    EXPECT_EQ(FControls, (std::vector<bool>{false, true}));
    EXPECT_TRUE(StakeTexts().isEmpty());
}

TEST_F(ScriptRunnerTest, NegativeDrawsLengthIsAStepOverNoDrawsAsZeroIs)
{
    // No rows, the whole list, as length 0 (see below); the comment keeps the length as the
    // line writes it, the log and the statistics page get the draws the window holds.
    FLog.Enabled = [] { return true; };
    const struct {
        const char* Lengths;
        QStringList Stakes;
    } cases[] = {
        {"-1,1", {"99 11 100 01.001: @ FULL#LAST + TSD#NUMS:-1#LNO:#ST:1", "99 11 81 01.002: @ FULL#LAST + TSD#NUMS:1#LNO:#ST:1"}},
        {"-2147483648", {"99 11 100 01.001: @ FULL#LAST + TSD#NUMS:-2147483648#LNO:#ST:1"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Lengths);
        FStakes.DeleteStakes([](qint64, const TStakeRec&) { return false; });
        SetOnlyLine(Line("FULL:0#LAST", {(std::string("TSD1#NUMS:") + c.Lengths + "#LNO:#ST:1").c_str()}));
        EXPECT_NO_THROW(FRunner.ScriptRun());
        EXPECT_TRUE(FBoxes.Boxes().isEmpty());
        EXPECT_EQ(StakeTexts(), c.Stakes);
        EXPECT_EQ(FRunner.LastStepDrawsLen(), c.Stakes.size() == 1 ? 0 : 1);
    }
    EXPECT_TRUE(LogLines().contains(U("Анализ тиражей и расчет статистики \"Числа тиража\" для выборки в 0 тиражей...")));
}

TEST_F(ScriptRunnerTest, DrawsLengthZeroIsAStepWithoutRows)
{
    // Length 0: no rows, nothing deleted, the whole list. Length 1: the newest draw 4;2, the
    // rows of count 1 are 4 and 2 (4 first when sorted descending), and one step deletes 4.
    SetLines({Line("FULL:0#LAST", {"TSD1#NUMS:0,1#LNO:#ST:1"})});
    FRunner.ScriptRun();
    EXPECT_EQ(StakeTexts(), (QStringList{"99 11 100 01.001: @ FULL#LAST + TSD#NUMS:0#LNO:#ST:1",
                                         "99 11 81 01.002: @ FULL#LAST + TSD#NUMS:1#LNO:#ST:1"}));
}

TEST_F(ScriptRunnerTest, SystemStepsStakeTheCachedSystem)
{
    // The list {12, 23, 31} plays the numbers 1, 2, 3; the system of three numbers pairs
    // them as 1-2, 2-3, 1-3, staked with their digits in ascending order. Combined with the
    // list, 13 is left out: the list holds 31.
    const QString folder = SystemCacheFolder(FState.DataDir());
    ASSERT_TRUE(QDir().mkpath(folder));
    WriteFileBytes(SystemCacheFileName(folder, 3, 1, 7), "1 2\r\n3 2\r\n1 3\r\n");
    for (const auto& [action, staked] :
         {std::pair{"SYSA", QStringList{"12", "23", "13"}}, std::pair{"SYSC", QStringList{"12", "23"}}}) {
        SCOPED_TRACE(action);
        FStakes.DeleteStakes([](qint64, const TStakeRec&) { return false; });
        SetList({{1, 2}, {2, 3}, {3, 1}});
        SetOnlyLine(FormatScriptLine({}, QStringLiteral("CURR:0#") + QString::fromLatin1(action), {}));
        FRunner.ScriptRun();
        QStringList digits;
        for (const TStakeRec& rec : Records())
            if (rec.IsStake())
                digits.append(QStringLiteral("%1%2").arg(rec.Digits.Digits[0]).arg(rec.Digits.Digits[1]));
        EXPECT_EQ(digits, staked);
    }
    EXPECT_TRUE(FBoxes.Boxes().isEmpty());
}

TEST_F(ScriptRunnerTest, SystemThatIsNotCachedIsLoggedWithoutABox)
{
    FLog.Enabled = [] { return true; };
    SetList({{1, 2}, {2, 3}, {3, 1}});
    SetLines({Line("CURR:0#SYSA", {"TSD1#NUMS:10,20#LVA:0#SF:0"})});
    FRunner.ScriptRun();
    EXPECT_TRUE(StakeTexts().isEmpty());
    EXPECT_TRUE(FBoxes.Boxes().isEmpty());
    int failures = 0;
    for (const QString& line : LogLines())
        if (line.startsWith(U("{#} Системная игра для 3 чисел [ОШИБКА]: \"Система для 3 чисел не найдена")))
            ++failures;
    EXPECT_EQ(failures, 2);
}

TEST_F(ScriptRunnerTest, RandomStakeFollowsTheSeed)
{
    SetLines({Line("FULL:0#RAND"), Line("FULL:0#RAND"), Line("FULL:0#RAND")});
    FRunner.SeedRandom(42);
    FRunner.ScriptRun();
    const QStringList first = StakeTexts();
    FStakes.DeleteStakes([](qint64, const TStakeRec&) { return false; });
    FRunner.SeedRandom(42);
    FRunner.ScriptRun();
    EXPECT_EQ(StakeTexts(), first);
    ASSERT_EQ(first.size(), 3);
    EXPECT_FALSE(first[0].left(2) == first[1].left(2) && first[1].left(2) == first[2].left(2));
}

TEST_F(ScriptRunnerTest, MethodTheTableDoesNotOfferEndsTheRun)
{
    TStatList& list = FState.StatList();
    const int nums = list.IndexOfCode(QStringLiteral("NUMS"));
    ASSERT_GE(nums, 0);
    list.AllFavorites = false;
    list.Items(nums).Enabled = false;
    SetLines({Line("FULL:0#FIRST", {"TSD1#NUMS:10#LNO:#SF:0"})});
    try {
        FRunner.ScriptRun();
        ADD_FAILURE() << "no error";
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message(), U("Метод расчета статистики \"NUMS\" на найден!\n") + list.Items(nums).FullCaption()
                                   + U("\n\nВозможно, Вы отключили данных метод расчета либо использовали сценарий "
                                       "от другой модификации программы."));
    }
    EXPECT_TRUE(StakeTexts().isEmpty());
}

// The scenario's table sorts the rows it is given, also after its statistics table was
// computed by another caller: the value keys it keeps belong to one computation.
TEST_F(ScriptRunnerTest, TableSortsTheRowsOfTheLatestComputation)
{
    const TStatList& list = FState.StatList();
    const TStatMethod& nums = *MethodByCode(list, "NUMS");
    const TStatMethod& sums = *MethodByCode(list, "SUMS");
    ASSERT_TRUE(FScriptTable.SelectMethod(nums));
    FScriptTable.SetDrawsLen(10);
    FScriptTable.SetSort(scCount, true);
    FScriptTable.Calc(true);
    ASSERT_EQ(FScriptTable.RowCount(), 10);
    EXPECT_EQ(FScriptTable.RowValues(0).ValueText, QStringLiteral("2"));

    ASSERT_EQ(FTable.Calc(&sums, 10, true), TStatCalcResult::Computed);
    const std::size_t rows = FTable.Data().Rows.size();
    ASSERT_GT(rows, 10u);
    FScriptTable.SetSort(scValue, false);
    ASSERT_EQ(FScriptTable.Order().size(), rows);
    // The sums read as numbers, smallest first.
    for (std::size_t i = 1; i < rows; ++i)
        EXPECT_LT(FTable.Data().Rows[static_cast<std::size_t>(FScriptTable.Order()[i - 1])].Texts[scValue].toInt(),
                  FTable.Data().Rows[static_cast<std::size_t>(FScriptTable.Order()[i])].Texts[scValue].toInt())
            << i;
}
