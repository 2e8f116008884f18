#include "tests/app_core/CoreTestEnv.h"

#include "app/core/combs/CombList.h"
#include "app/core/combs/CombsGen.h"
#include "app/core/scenarios/KelmaScr.h"
#include "app/core/scenarios/ScriptList.h"
#include "app/core/scenarios/ScriptLog.h"
#include "app/core/scenarios/ScriptRunner.h"
#include "app/core/stakes/StakeCheck.h"
#include "app/core/stakes/StakeCommands.h"
#include "app/core/stakes/StakesFile.h"
#include "app/core/stats/StatFilter.h"
#include "app/core/stats/StatTable.h"
#include "app/core/online/SystemCombs.h"
#include "platform/Cp1251.h"
#include "support/RTextCompare.h"
#include "tests/fixtures/ArchiveFixtures.h"
#include "tests/fixtures/StatFixtures.h"

#include <QDir>
#include <QFile>

#include <iterator>

#include <functional>
#include <initializer_list>
#include <utility>
#include <vector>

// The archive of the tests: ten draws numbered 1..10,
//   1:(1,2) 2:(3,4) 3:(5,1) 4:(6,7) 5:(1,5) 6:(9,9) 7:(2,6) 8:(1,3) 9:(6,2) 10:(4,2).
// Over all ten draws the digits have these counts and depths (1 = seen in the newest draw):
//   digit  0  1  2  3  4  5  6  7  8  9
//   count  0  4  4  2  2  2  3  1  0  2
//   depth  -  3  1  3  1  6  2  7  -  5
// Sorted by count, largest first, equal counts by the digit, largest first, the rows run
//   2 1 6 9 5 4 3 7 8 0.
// A NUMS filter keeps or deletes the combinations holding the digit of the row.

namespace {

TDrawsArray TenDraws()
{
    return MakeDraws({{1, 2}, {3, 4}, {5, 1}, {6, 7}, {1, 5}, {9, 9}, {2, 6}, {1, 3}, {6, 2}, {4, 2}});
}

// A line as the scenario list stores it.
QString Line(const char* options, std::initializer_list<const char*> filters = {}, const char* comment = "")
{
    std::array<QString, ScriptFilterCount> fields;
    std::size_t i = 0;
    for (const char* filter : filters)
        fields[i++] = QString::fromUtf8(filter);
    return FormatScriptLine(QString::fromUtf8(comment), QString::fromUtf8(options), fields);
}

// A stake in short: digits, list size and comment.
QString StakeText(const TStakeRec& rec)
{
    return QStringLiteral("%1%2 %3 %4 %5")
        .arg(rec.Digits.Digits[0])
        .arg(rec.Digits.Digits[1])
        .arg(rec.DrawNumber)
        .arg(rec.SelectionSize)
        .arg(rec.Comment.Get());
}

class ScriptRunnerTest : public TCoreTest {
protected:
    ScriptRunnerTest()
    {
        ApplyDefaultStatSettings(FState.StatList());
        FState.StatList().RebuildMethods();
        FState.FDraws = TenDraws();
        FState.CombCount = CombinationsTotal;
        FState.ReserveCombLists();
        FStakes.Open();
        FLog.OpenFile = [this](const QString& fileName) { FOpenedLogs.append(fileName); };
        FRunner.CheckStakes = [this] {
            ++FChecks;
            TStakeCheck check(FStakes, FState.FDraws, FState.StatList(), FRatings);
            check.CheckStakesAndReload({});
        };
        FRunner.ShowStatus = [this](const TScriptStatus& status) { FShown.append(status.Filter); };
        FRunner.SetControlsEnabled = [this](bool enabled) { FControls.push_back(enabled); };
    }

    void SetLines(std::initializer_list<QString> lines)
    {
        for (const QString& line : lines)
            ASSERT_GE(FLines.AddScriptLine(line), 0);
    }

    void SetOnlyLine(const QString& line)
    {
        if (FLines.IsEmpty())
            ASSERT_GE(FLines.AddScriptLine(line), 0);
        else
            ASSERT_TRUE(FLines.SetScriptLine(0, line));
    }

    void SetList(std::initializer_list<std::pair<int, int>> combs)
    {
        SetCombsCapacity(FState.FCombs, 0, 0);
        for (const auto& [d1, d2] : combs)
            AppendComb(FState.FCombs, C(d1, d2));
    }

    std::vector<TStakeRec> Records() { return AllStakes(FStakes); }

    QStringList StakeTexts()
    {
        QStringList texts;
        for (const TStakeRec& rec : Records())
            if (rec.IsStake())
                texts.append(StakeText(rec));
        return texts;
    }

    // The entries of the log without their time stamps.
    QStringList LogLines()
    {
        const QStringList files = QDir(FDir.path()).entryList({TScriptLog::FileMask()}, QDir::Files);
        if (files.size() != 1)
            return {QStringLiteral("<%1 logs>").arg(files.size())};
        const QString text = DecodeCp1251(ReadFileBytes(FDir.filePath(files.first())));
        QStringList lines = text.split(QStringLiteral("\r\n"));
        if (!lines.isEmpty() && lines.last().isEmpty())
            lines.removeLast();
        const QString stamp = QStringLiteral("[2016-08-10 12:00:00]: ");
        for (QString& line : lines) {
            if (line.startsWith(stamp))
                line.remove(0, stamp.size());
            else
                line.prepend(QStringLiteral("<no stamp>"));
        }
        return lines;
    }

    TScriptList FLines{FDir.path()};
    TScriptLog FLog{FDir.path()};
    TCombListOps FCombs{FState};
    TCombsGen FGen{FCombs};
    TStakesFile FStakes{FState.StakesFileName()};
    TStakeCommands FStakeCommands{FState, FStakes};
    TStatTable FTable{FState};
    TStatFilter FFilter{FCombs};
    TScriptStatTable FScriptTable{FState, FTable, FFilter};
    TScriptRunner FRunner{FState, FCombs, FGen, FStakes, FStakeCommands, FLines, FLog, FScriptTable};
    TRatingsArray FRatings;
    QStringList FOpenedLogs;
    QStringList FShown;
    std::vector<bool> FControls;
    int FChecks = 0;
};

}  // namespace

// ---------------------------------------------------------------------------------------------
// Row rules.

struct TLevelCase {
    const char* Name;
    int Mode;
    const char* LevelText;
    std::array<const char*, TStatValues::ColumnCount> Columns;
    int ValueNumber;
    bool Expected;
};

// Columns: count, count %, deviation, deviation %, depth, depth %, weight, period min,
// period, period max.
TEST(ScriptLevelRule, ModesCompareTheirColumn)
{
    const std::array<const char*, 10> seen{"4", "20,00000", "-1", "-12,5", "3", "50,00", "3,50", "2", "2,3333", "5"};
    const std::array<const char*, 10> unseen{"0", "0,00000", "-", "-", "-", "-", "-", "-", "-", "-"};
    const TLevelCase cases[] = {
        {"LNO with no text", LevelLNO, "", seen, 0, true},
        {"LMV at the threshold", LevelLMV, "3", seen, 0, true},
        {"LMV above the depth", LevelLMV, "4", seen, 0, false},
        {"LMV of an unseen value reads 0", LevelLMV, "0", unseen, 0, true},
        {"LLV of an unseen value reads 65535", LevelLLV, "1000", unseen, 0, false},
        {"LLV below the depth", LevelLLV, "2", seen, 0, false},
        {"LMP decimal depth %", LevelLMP, "50", seen, 0, true},
        {"LLP decimal depth %", LevelLLP, "49", seen, 0, false},
        {"LDV in the list", LevelLDV, "1,3,5", seen, 0, true},
        {"LDV not in the list", LevelLDV, "1,2", seen, 0, false},
        {"LDV of an unseen value matches nothing", LevelLDV, "0,1,2", unseen, 0, false},
        {"LDP decimal equality", LevelLDP, "10,50", seen, 0, true},
        {"DMV negative deviation", LevelDMV, "-1", seen, 0, true},
        {"DLV negative deviation", LevelDLV, "-2", seen, 0, false},
        {"DDP unseen", LevelDDP, "0", unseen, 0, false},
        {"CMV count", LevelCMV, "4", seen, 0, true},
        {"CLV count", LevelCLV, "3", seen, 0, false},
        {"CMP count %", LevelCMP, "20", seen, 0, true},
        {"CDV count list", LevelCDV, "0;4", seen, 0, true},
        {"CDV count 0 of an unseen value", LevelCDV, "0", unseen, 0, true},
        {"WMV weight", LevelWMV, "3", seen, 0, true},
        {"WLV weight", LevelWLV, "3", seen, 0, false},
        {"WLV unseen weight reads 0", LevelWLV, "0", unseen, 0, true},
        {"WDV decimal list", LevelWDV, "3", seen, 0, false},
        {"PIM period min", LevelPIM, "2", seen, 0, true},
        {"PIL unseen reads 65535", LevelPIL, "9", unseen, 0, false},
        {"PIR list", LevelPIR, "2", seen, 0, true},
        {"PAM period", LevelPAM, "2", seen, 0, true},
        {"PAL period", LevelPAL, "2", seen, 0, false},
        {"PAR decimal list", LevelPAR, "2", seen, 0, false},
        {"PXM period max", LevelPXM, "6", seen, 0, false},
        {"PXL period max", LevelPXL, "5", seen, 0, true},
        {"PXR list", LevelPXR, "4,5", seen, 0, true},
        {"LVA value number in the list", LevelLVA, "7,12", seen, 12, true},
        {"LVA value number not in the list", LevelLVA, "7,13", seen, 12, false},
    };
    for (const TLevelCase& c : cases) {
        TFilterPart part;
        part.LevelMode = static_cast<std::uint8_t>(c.Mode);
        part.LevelText = QString::fromUtf8(c.LevelText);
        TStatValues row;
        row.ValueNumber = c.ValueNumber;
        for (std::size_t i = 0; i < row.Columns.size(); ++i)
            row.Columns[i] = QString::fromUtf8(c.Columns[i]);
        EXPECT_EQ(LevelRuleMatches(part, row), c.Expected) << c.Name;
    }
}

TEST(ScriptLevelRule, ThresholdThatIsNoNumberRaises)
{
    TFilterPart part;
    part.LevelMode = LevelLMV;
    part.LevelText = QStringLiteral("x");
    EXPECT_THROW(LevelRuleMatches(part, TStatValues{}), Exception);
}

TEST(ScriptStopRule, EachModeInBothDirections)
{
    TStatValues row;
    row.Columns[0] = QStringLiteral("3");
    row.Columns[1] = QStringLiteral("15,5");
    struct TCase {
        const char* Name;
        std::uint32_t Mode;
        std::int32_t Value;
        bool BottomUp;
        bool Multi;
        int Combs;
        int Steps;
        bool Expected;
    } cases[] = {
        {"SF never", StopSF, 0, false, false, 0, 99, false},
        {"SZ never", StopSZ, 0, false, false, 0, 99, false},
        {"SC at the count", StopSC, 5, false, false, 5, 0, true},
        {"SC above", StopSC, 5, false, false, 6, 0, false},
        {"SC not in multi mode", StopSC, 5, false, true, 1, 0, false},
        {"SV top-down at most", StopSV, 3, false, false, 50, 0, true},
        {"SV top-down above", StopSV, 2, false, false, 50, 0, false},
        {"SV bottom-up at least", StopSV, 3, true, false, 50, 0, true},
        {"SV bottom-up below", StopSV, 4, true, false, 50, 0, false},
        {"SP top-down decimal", StopSP, 15, false, false, 50, 0, false},
        {"SP top-down at most", StopSP, 16, false, false, 50, 0, true},
        {"SP bottom-up", StopSP, 15, true, false, 50, 0, true},
        {"ST reached", StopST, 2, false, false, 50, 2, true},
        {"ST not yet", StopST, 2, false, true, 50, 1, false},
    };
    for (const TCase& c : cases) {
        TFilterPart part;
        part.StopMode = c.Mode;
        part.StopValue = c.Value;
        part.BottomUp = c.BottomUp;
        part.MultiSelect = c.Multi;
        EXPECT_EQ(StopRuleHolds(part, row, c.Combs, c.Steps), c.Expected) << c.Name;
    }
}

TEST(ScriptStatTexts, NumbersAsNumbersCommaDecimalsAndTheDashFirst)
{
    EXPECT_LT(CompareCellTexts(QStringLiteral("9"), QStringLiteral("10")), 0);
    EXPECT_LT(CompareCellTexts(QStringLiteral("2,5"), QStringLiteral("2,75")), 0);
    EXPECT_EQ(CompareCellTexts(QStringLiteral("3,00"), QStringLiteral("3")), 0);
    EXPECT_LT(CompareCellTexts(QStringLiteral("-1"), QStringLiteral("0")), 0);
    EXPECT_GT(CompareCellTexts(QStringLiteral("1000"), QStringLiteral("-")), 0);
    EXPECT_GT(CompareCellTexts(QStringLiteral("b"), QStringLiteral("A")), 0);
}

// ---------------------------------------------------------------------------------------------
// Runs.

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
    EXPECT_NE(FShown.last(), U("Сценарий завершен!"));
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

TEST_F(ScriptRunnerTest, LogOfOneSmallRun)
{
    FLog.Enabled = [] { return true; };
    SetList({{1, 2}, {3, 4}});
    SetLines({Line("CURR:0#FIRST", {"TSF1#NUMS:10#LDV:1#SF:0"}, "log"), Line("FULL:0#SKIP")});
    FRunner.ScriptRun();
    // Line 1 keeps 2 (one left), then 4 would empty the list and is undone; line 2 has no
    // filters and skips its hundred combinations.
    const char* const expected[] = {
        "### ЗАПУСК СЦЕНАРИЯ ##########################################################################",
        "==============================================================================================",
        "=== Выполнение сценария для смещения 000000 ==================================================",
        "==============================================================================================",
        "----------------------------------------------------------------------------------------------",
        "Выполнение строки 001: \"CURR:0#FIRST|TSF1#NUMS:10#LDV:1#SF:0| | | | | | |log\"",
        "----------------------------------------------------------------------------------------------",
        "Создание всех вариантов фильтров...",
        "Создано 1 вариантов фильтров.",
        "",
        "----------------------------------------------------------------------------------------------",
        "Применение набора фильтров 001: \"TSF#NUMS:10#LDV:1#SF:0\"",
        "----------------------------------------------------------------------------------------------",
        "Создание начального списка комбинаций...",
        "Количество комбинаций в списке: 2",
        "Анализ тиражей и расчет статистики \"Числа тиража\" для выборки в 10 тиражей...",
        "< [2] кол-во: 4 (20,00000 %), отклонение: - (- %), глубина: 1 (14,29 %), вес: 1,00 >",
        "< [1] кол-во: 4 (20,00000 %), отклонение: - (- %), глубина: 3 (42,86 %), вес: 3,00 >",
        "< [6] кол-во: 3 (15,00000 %), отклонение: - (- %), глубина: 2 (28,57 %), вес: 2,00 >",
        "< [9] кол-во: 2 (10,00000 %), отклонение: - (- %), глубина: 5 (71,43 %), вес: 5,00 >",
        "< [5] кол-во: 2 (10,00000 %), отклонение: - (- %), глубина: 6 (85,71 %), вес: 6,00 >",
        "< [4] кол-во: 2 (10,00000 %), отклонение: - (- %), глубина: 1 (14,29 %), вес: 1,00 >",
        "< [3] кол-во: 2 (10,00000 %), отклонение: - (- %), глубина: 3 (42,86 %), вес: 3,00 >",
        "< [7] кол-во: 1 (5,00000 %), отклонение: - (- %), глубина: 7 (100,00 %), вес: 7,00 >",
        "< [8] кол-во: 0 (0,00000 %), отклонение: - (- %), глубина: - (- %), вес: - >",
        "< [0] кол-во: 0 (0,00000 %), отклонение: - (- %), глубина: - (- %), вес: - >",
        "Шаг 001. Выделение строки: < [2] кол-во: 4 (20,00000 %), отклонение: - (- %), глубина: 1 (14,29 %), вес: 1,00 >",
        "Оставляем выделенные значения...",
        "Количество комбинаций в списке: 1",
        "Шаг 002. Выделение строки: < [4] кол-во: 2 (10,00000 %), отклонение: - (- %), глубина: 1 (14,29 %), вес: 1,00 >",
        "Оставляем выделенные значения...",
        "Количество комбинаций в списке: 0",
        "{UNDO} Откат изменений...",
        "{*} Добавление ставки, режим: \"Выбрать первую комбинацию в списке\"",
        "{+} Ставка на тираж 11 добавлена в список ставок: [1;2]",
        "----------------------------------------------------------------------------------------------",
        "----------------------------------------------------------------------------------------------",
        "Выполнение строки 002: \"FULL:0#SKIP| | | | | | | |\"",
        "----------------------------------------------------------------------------------------------",
        "Создание всех вариантов фильтров...",
        "Создано 0 вариантов фильтров.",
        "{ERROR} Фильтры не применялись!",
        "",
        "Создание начального списка комбинаций...",
        "Количество комбинаций в списке: 100",
        "{*} Добавление ставки, режим: \"Пропустить (игнорировать) эту ставку\"",
        "{-} Ставка игнорирована!",
        "### ЗАВЕРШЕНИЕ СЦЕНАРИЯ ######################################################################",
    };
    const QStringList lines = LogLines();
    ASSERT_EQ(lines.size(), static_cast<qsizetype>(std::size(expected)));
    for (qsizetype i = 0; i < lines.size(); ++i)
        EXPECT_EQ(lines[i], U(expected[i])) << i;
    EXPECT_EQ(FOpenedLogs.size(), 1);
}

TEST_F(ScriptRunnerTest, NegativeDrawsLengthIsAFaultyFilter)
{
    SetLines({Line("FULL:0#FIRST", {"TSD1#NUMS:5,-1#LNO:#SF:0"})});
    try {
        FRunner.ScriptRun();
        ADD_FAILURE() << "no error";
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message(), U("Некорректное описание фильтра: TSD1#NUMS:5,-1#LNO:#SF:0!"));
    }
    EXPECT_TRUE(StakeTexts().isEmpty());
    EXPECT_FALSE(FState.FScriptRunning);
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

TEST_F(ScriptRunnerTest, LogThatCannotBeWrittenIsReportedOnceAndTheRunGoesOn)
{
    FLog.Enabled = [] { return true; };
    // A folder where the log file would go.
    ASSERT_TRUE(QDir(FDir.path()).mkdir(TScriptLog::FileBaseName(ClockNow())));
    SetLines({Line("FULL:0#FIRST"), Line("FULL:0#LAST")});
    FRunner.ScriptRun();
    ASSERT_EQ(FBoxes.Boxes().size(), 1);
    EXPECT_TRUE(FBoxes.Last().Text.startsWith(U("Ошибка записи журнала: "))) << FBoxes.Last().Text.toStdString();
    EXPECT_EQ(StakeTexts().size(), 2);
}

TEST_F(ScriptRunnerTest, FailedRunIsLoggedAndItsErrorIsTheOnlyMessage)
{
    // A bad filter in the second line ends the run: the log records why, and the error is
    // the one message, followed by what became of the log when the desktop did not show it.
    FLog.Enabled = [] { return true; };
    SetLines({Line("FULL:0#FIRST"), Line("FULL:0#FIRST", {"TSD1#NUMS:#LNO:#SF:0"})});
    const QString failure = U("Некорректное описание фильтра: TSD1#NUMS:#LNO:#SF:0!");
    for (const bool opens : {true, false}) {
        SCOPED_TRACE(opens);
        for (const QString& file : QDir(FDir.path()).entryList({TScriptLog::FileMask()}, QDir::Files))
            QFile::remove(FDir.filePath(file));
        FLog.OpenFile = [opens](const QString&) {
            if (!opens)
                throw Exception(U("нет программы для файлов этого типа"));
        };
        QString message;
        try {
            FRunner.ScriptRun();
            ADD_FAILURE() << "no error";
        } catch (const Exception& e) {
            message = e.Message();
        }
        const QStringList log = LogLines();
        ASSERT_GE(log.size(), 2);
        EXPECT_EQ(log[log.size() - 2], U("{ERROR} ") + failure);
        EXPECT_EQ(log.last(), U("### ЗАВЕРШЕНИЕ СЦЕНАРИЯ ######################################################################"));
        if (opens) {
            EXPECT_EQ(message, failure);
        } else {
            const QString logName = QDir(FDir.path()).entryList({TScriptLog::FileMask()}, QDir::Files).value(0);
            EXPECT_EQ(message, failure + U("\n\nФайл \"") + QDir::toNativeSeparators(FDir.filePath(logName))
                                   + U("\" сохранён, но ни одна программа его не открыла: нет программы для файлов "
                                       "этого типа."));
        }
        EXPECT_TRUE(FBoxes.Boxes().isEmpty());
        EXPECT_FALSE(FState.FScriptRunning);
    }
}

TEST_F(ScriptRunnerTest, LogTheDesktopDidNotShowIsToldOnceAfterTheRun)
{
    FLog.Enabled = [] { return true; };
    FLog.OpenFile = [](const QString&) { throw Exception(U("нет программы для файлов этого типа")); };
    SetLines({Line("FULL:0#FIRST")});
    FRunner.ScriptRun();
    ASSERT_EQ(FBoxes.Boxes().size(), 1);
    EXPECT_TRUE(FBoxes.Last().Text.startsWith(U("Файл \""))) << FBoxes.Last().Text.toStdString();
    EXPECT_TRUE(FBoxes.Last().Text.endsWith(U("\" сохранён, но ни одна программа его не открыла: нет программы для "
                                               "файлов этого типа.")));
    EXPECT_EQ(StakeTexts().size(), 1);
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
