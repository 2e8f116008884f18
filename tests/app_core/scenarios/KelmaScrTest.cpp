#include "app/core/scenarios/KelmaScr.h"
#include "app/core/scenarios/ScriptDialogs.h"

#include "tests/fixtures/StatFixtures.h"

#include <gtest/gtest.h>

#include <climits>
#include <vector>

namespace {

QString Q(const char* text) { return QString::fromUtf8(text); }

// An engine object with channels of one digit, so that the methods CHN1..CHN10 exist and
// CHN1 comes before CHN10 in the list.
class KelmaScrTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        fx.List.Config().ChannelSize = 1;
        fx.List.RebuildMethods();
    }

    const TStatMethod* Method(const char* code) const
    {
        const int i = fx.List.IndexOfCode(Q(code));
        return i < 0 ? nullptr : &fx.List.Items(i);
    }

    TFilterItem Parse(const char* text) const { return ParseFilterItem(Q(text), fx.List); }

    TStatFixture fx;
};

// ---------------------------------------------------------------------------------------
// Words and captions

TEST(KelmaScrWords, WordsOfEveryTableAndNothingOutside)
{
    const char* start[] = {"FULL", "EXCL", "CURR"};
    const char* actions[] = {"RAND", "FIRST", "LAST", "ALL", "SYSA", "SYSC", "STOP", "SKIP", "NONE"};
    const char* levels[] = {"LNO", "LMV", "LMP", "LLV", "LLP", "LDV", "LDP", "DMV", "DMP", "DLV",
                            "DLP", "DDV", "DDP", "CMV", "CMP", "CLV", "CLP", "CDV", "CDP", "WMV",
                            "WLV", "WDV", "PIM", "PIL", "PIR", "PAM", "PAL", "PAR", "PXM", "PXL",
                            "PXR", "LVA"};
    const char* stops[] = {"SF", "SC", "SZ", "ST", "SV", "SP"};
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(StartListWord(i), Q(start[i]));
    for (int i = 0; i < 9; ++i)
        EXPECT_EQ(AmbiguityActionWord(i), Q(actions[i]));
    for (int i = 0; i < 32; ++i)
        EXPECT_EQ(LevelModeWord(i), Q(levels[i]));
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(StopModeWord(i), Q(stops[i]));
    for (const int bad : {-1, 255, INT_MIN}) {
        EXPECT_TRUE(StartListWord(bad).isEmpty());
        EXPECT_TRUE(AmbiguityActionWord(bad).isEmpty());
        EXPECT_TRUE(LevelModeWord(bad).isEmpty());
        EXPECT_TRUE(StopModeWord(bad).isEmpty());
    }
    EXPECT_TRUE(StartListWord(3).isEmpty());
    EXPECT_TRUE(AmbiguityActionWord(9).isEmpty());
    EXPECT_TRUE(LevelModeWord(32).isEmpty());
    EXPECT_TRUE(StopModeWord(6).isEmpty());
    EXPECT_EQ(ClearStakesWord(true), Q("CLR"));
    EXPECT_TRUE(ClearStakesWord(false).isEmpty());
    EXPECT_EQ(NewOnlyWord(true), Q("NEX"));
    EXPECT_TRUE(NewOnlyWord(false).isEmpty());
}

TEST(KelmaScrCaptions, StartAndActionCaptions)
{
    const char* startLong[] = {"Исходный список (рекомендуется для тестов)",
                               "Удалить N последних тиражей (для прогнозов)",
                               "Текущий список (для последовательного выполнения)"};
    const char* startShort[] = {"Исходный список", "Исключить 7 тиражей", "Текущий список"};
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(StartListCaption(i), Q(startLong[i]));
        EXPECT_EQ(StartListShortCaption(i, 7), Q(startShort[i]));
    }
    const char* actionLong[] = {
        "Выбрать одну случайную комбинацию", "Выбрать первую комбинацию в списке",
        "Выбрать последнюю комбинацию в списке", "Выбрать все комбинации (не рекомендуется)",
        "Системная игра [вся система]", "Системная игра [система * комбинации]",
        "Остановить выполнение сценария", "Пропустить (игнорировать) эту ставку",
        "Не делать ставок (для последовательного выполнения)"};
    const char* actionShort[] = {"Случайно", "Первая", "Последняя", "Все", "Система [все]",
                                 "Система [комб]", "Остановить", "Пропустить", "Не делать ставок"};
    for (int i = 0; i < 9; ++i) {
        EXPECT_EQ(AmbiguityActionCaption(i), Q(actionLong[i]));
        EXPECT_EQ(AmbiguityActionShortCaption(i), Q(actionShort[i]));
    }
    EXPECT_TRUE(ClearStakesCaption(false).isEmpty());
    EXPECT_EQ(ClearStakesCaption(true), Q("Удалить ставки"));
    EXPECT_EQ(NewOnlyCaption(false), Q("Все создаваемые ставки"));
    EXPECT_EQ(NewOnlyCaption(true), Q("Только новые ставки"));
}

TEST(KelmaScrCaptions, LevelAndStopCaptions)
{
    const char* levels[] = {
        "Весь список (без условий)",
        "\"Глубина\": не менее заданного значения",
        "\"Глубина\": не менее заданного процента",
        "\"Глубина\": не более заданного значения",
        "\"Глубина\": не более заданного процента",
        "\"Глубина\": из заданного списка значений",
        "\"Глубина\": из заданного списка процентов",
        "\"Отклонение\": не менее заданного значения",
        "\"Отклонение\": не менее заданного процента",
        "\"Отклонение\": не более заданного значения",
        "\"Отклонение\": не более заданного процента",
        "\"Отклонение\": из заданного списка значений",
        "\"Отклонение\": из заданного списка процентов",
        "\"Количество\": не менее заданного значения",
        "\"Количество\": не менее заданного процента",
        "\"Количество\": не более заданного значения",
        "\"Количество\": не более заданного процента",
        "\"Количество\": из заданного списка значений",
        "\"Количество\": из заданного списка процентов",
        "\"Вес\": не менее заданного значения",
        "\"Вес\": не более заданного значения",
        "\"Вес\": из заданного списка значений",
        "\"Период min\": не менее заданного значения",
        "\"Период min\": не более заданного значения",
        "\"Период min\": из заданного списка значений",
        "\"Период\": не менее заданного значения",
        "\"Период\": не более заданного значения",
        "\"Период\": из заданного списка значений",
        "\"Период max\": не менее заданного значения",
        "\"Период max\": не более заданного значения",
        "\"Период max\": из заданного списка значений",
        "\"Значения\": из заданного списка значений",
    };
    for (int i = 0; i < 32; ++i)
        EXPECT_EQ(LevelModeCaption(i), Q(levels[i])) << i;
    const char* stops[] = {"Обработать все записи", "Количеству оставшихся комбинаций",
                           "Пока список не будет пуст и откатить на шаг", "Количеству шагов",
                           "Значению в списке статистики",
                           "Процентному соотношению в списке статистики"};
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(StopModeCaption(i), Q(stops[i])) << i;
}

TEST(KelmaScrCaptions, IndexOutsideATableIsTheErrorCaption)
{
    const QString error = Q("# ERROR #");
    for (const int bad : {-1, INT_MAX}) {
        EXPECT_EQ(StartListCaption(bad), error);
        EXPECT_EQ(StartListShortCaption(bad, 1), error);
        EXPECT_EQ(AmbiguityActionCaption(bad), error);
        EXPECT_EQ(AmbiguityActionShortCaption(bad), error);
        EXPECT_EQ(LevelModeCaption(bad), error);
        EXPECT_EQ(StopModeCaption(bad), error);
    }
    EXPECT_EQ(StartListCaption(3), error);
    EXPECT_EQ(StartListShortCaption(3, 0), error);
    EXPECT_EQ(AmbiguityActionCaption(9), error);
    EXPECT_EQ(AmbiguityActionShortCaption(9), error);
    EXPECT_EQ(LevelModeCaption(32), error);
    EXPECT_EQ(StopModeCaption(6), error);
}

// ---------------------------------------------------------------------------------------
// Lines

TEST(KelmaScrLines, WrittenLineReadsBackFieldForField)
{
    std::array<QString, ScriptFilterCount> filters;
    filters[0] = Q("TSD1#SUMS:10#LNO:#SF:0");
    filters[2] = Q("  ");
    filters[3] = Q("BMF2#NUMS:5#LMV:3#SC:1");
    const QString line = FormatScriptLine(Q("мой план"), Q("FULL:0#RAND"), filters);
    EXPECT_EQ(line, Q("FULL:0#RAND|TSD1#SUMS:10#LNO:#SF:0| | |BMF2#NUMS:5#LMV:3#SC:1| | | |мой план"));
    EXPECT_EQ(GetScriptLineOptions(line), Q("FULL:0#RAND"));
    EXPECT_EQ(GetScriptLineFilter(line, 1), filters[0]);
    EXPECT_TRUE(GetScriptLineFilter(line, 2).isEmpty());
    EXPECT_TRUE(GetScriptLineFilter(line, 3).isEmpty());
    EXPECT_EQ(GetScriptLineFilter(line, 4), filters[3]);
    for (int n = 5; n <= 7; ++n)
        EXPECT_TRUE(GetScriptLineFilter(line, n).isEmpty());
    EXPECT_EQ(GetScriptLineComment(line), Q("мой план"));
    // Only filters 1..7 exist: 0 and 8 would be the options and the comment.
    EXPECT_TRUE(GetScriptLineFilter(line, 0).isEmpty());
    EXPECT_TRUE(GetScriptLineFilter(line, 8).isEmpty());
}

TEST(KelmaScrLines, EmptyCommentEndsTheLineWithTheBar)
{
    const QString line = FormatScriptLine(Q(" "), Q("EXCL:2#LAST"), {});
    EXPECT_EQ(line, Q("EXCL:2#LAST| | | | | | | |"));
    EXPECT_TRUE(GetScriptLineComment(line).isEmpty());
    EXPECT_EQ(GetScriptLineOptions(line), Q("EXCL:2#LAST"));
}

TEST(KelmaScrLines, EmptyFieldBetweenBarsShiftsTheFollowingOnes)
{
    // Runs of "|" are one break: a hand-edited line with "||" loses a field.
    const QString line = Q("FULL:0#RAND||TSD1#SUMS:10#LNO:#SF:0| | | | | |c");
    EXPECT_EQ(GetScriptLineFilter(line, 1), Q("TSD1#SUMS:10#LNO:#SF:0"));
    EXPECT_TRUE(GetScriptLineComment(line).isEmpty());
    EXPECT_EQ(GetScriptLineFilter(line, 7), Q("c"));
}

TEST(KelmaScrLines, OnlyBlankLinesAreSeparators)
{
    EXPECT_TRUE(IsScriptSeparatorLine(QString()));
    EXPECT_TRUE(IsScriptSeparatorLine(Q("   \t ")));
    EXPECT_FALSE(IsScriptSeparatorLine(Q(" | | | | | | | |")));
    EXPECT_FALSE(IsScriptSeparatorLine(Q("FULL:0#RAND| | | | | | | |")));
}

// ---------------------------------------------------------------------------------------
// Options

TEST(KelmaScrOptions, ParseCases)
{
    struct TCase {
        const char* Text;
        TScriptOptions Expected;
    };
    const TCase cases[] = {
        {"", {}},
        {"EXCL:5#FIRST#CLR", {5, StartExcl, ActionFirst, true, false}},
        {"EXCL#FIRST", {0, StartExcl, ActionFirst, false, false}},
        {"excl:3#first", {3, StartExcl, ActionFirst, false, false}},
        {"EXCLUDE:4#ALL", {4, StartExcl, ActionAll, false, false}},
        {"CURR:x#LAST", {0, StartCurr, ActionLast, false, false}},
        {"FULL:0#RAND#NEX#CLR", {0, StartFull, ActionRand, true, true}},
        {"FULL:0#RAND#CLR#NEX", {0, StartFull, ActionRand, true, true}},
        {"FULL:0#RAND#XYZ#nex", {0, StartFull, ActionRand, false, true}},
        {" EXCL:2 # none # clr ", {2, StartExcl, ActionNone, true, false}},
        // The action word must match whole; the start word only begins the first word.
        {"FULL:0#RANDOM", {0, StartFull, ActionRand, false, false}},
        {"FULL:0#SYSC", {0, StartFull, ActionSysC, false, false}},
        {"WHAT:7#SKIP", {7, StartFull, ActionSkip, false, false}},
        {"EXCL:-3#STOP", {-3, StartExcl, ActionStop, false, false}},
    };
    for (const TCase& c : cases)
        EXPECT_EQ(ParseScriptOptions(Q(c.Text)), c.Expected) << c.Text;
}

TEST(KelmaScrOptions, FormatAndParseAreExactInversesOverAllValues)
{
    for (int start = 0; start < StartListCount; ++start)
        for (int action = 0; action < AmbiguityActionCount; ++action)
            for (const int draws : {INT_MIN, -1, 0, 1, 9, 10, 12345, INT_MAX})
                for (const bool clear : {false, true})
                    for (const bool newOnly : {false, true}) {
                        const TScriptOptions options{draws, std::uint8_t(start),
                                                     std::uint8_t(action), clear, newOnly};
                        const QString text = FormatScriptOptions(options);
                        EXPECT_EQ(ParseScriptOptions(text), options) << text.toStdString();
                        EXPECT_EQ(FormatScriptOptions(ParseScriptOptions(text)), text);
                    }
}

TEST(KelmaScrOptions, Texts)
{
    EXPECT_EQ(FormatScriptOptions({}), Q("FULL:0#RAND"));
    const TScriptOptions all{5, StartExcl, ActionFirst, true, true};
    EXPECT_EQ(FormatScriptOptions(all), Q("EXCL:5#FIRST#CLR#NEX"));
    EXPECT_EQ(FormatScriptOptions({3, StartCurr, ActionNone, false, true}), Q("CURR:3#NONE#NEX"));

    EXPECT_EQ(ScriptOptionsCommentText(all), Q("EXCL:5#FIRST#NEX"));
    EXPECT_EQ(ScriptOptionsCommentText({4, StartFull, ActionSysA, true, false}), Q("FULL#SYSA"));
    EXPECT_EQ(ScriptOptionsCommentText({4, StartCurr, ActionLast, false, true}), Q("CURR#LAST#NEX"));

    EXPECT_EQ(ScriptOptionsCaption({5, StartExcl, ActionFirst, true, false}),
              Q("Исключить 5 тиражей; Первая; Удалить ставки; Все создаваемые ставки"));
    EXPECT_EQ(ScriptOptionsCaption({0, StartFull, ActionRand, false, true}),
              Q("Исходный список; Случайно; Только новые ставки"));
    EXPECT_EQ(ScriptOptionsCaption({0, 3, 9, false, false}),
              Q("# ERROR #; # ERROR #; Все создаваемые ставки"));
}

TEST(KelmaScrOptions, AppendDelimited)
{
    struct TCase {
        const char *Text, *Word, *Expected;
    };
    const TCase cases[] = {
        {"", "", ""}, {"a", "", "a"}, {"", "b", "b"}, {"a", "b", "a; b"}, {"a; b", "c", "a; b; c"},
    };
    for (const TCase& c : cases)
        EXPECT_EQ(AppendDelimited(Q(c.Text), Q(c.Word), Q("; ")), Q(c.Expected));
}

// ---------------------------------------------------------------------------------------
// Filters

TEST_F(KelmaScrTest, EmptyFilterIsUnusedAndWritesNothing)
{
    EXPECT_EQ(Parse(""), TFilterItem{});
    EXPECT_EQ(Parse("   "), TFilterItem{});
    EXPECT_TRUE(FormatFilterItem(TFilterItem{}).isEmpty());
    TFilterItem unused = Parse("TSD1#SUMS:10#LNO:#SF:0");
    unused.Used = 0;
    EXPECT_TRUE(FilterItemText(unused).isEmpty());
}

TEST_F(KelmaScrTest, FirstWordLettersAndSortColumn)
{
    struct TCase {
        const char* Word;
        int Sort;
        bool BottomUp, Multi, Keep;
    };
    const TCase cases[] = {
        {"TSD1", 1, false, false, false},
        {"tsd1", 1, false, false, false},
        {"bmf4", 4, false, false, false},
        {"BMF", 1, true, true, true},
        {"BMF7", 7, true, true, true},
        {"BMFX", 1, true, true, true},
        {"TMD0", 0, false, true, false},
        {"BSF9", 9, true, false, true},
        {"TSD10", 10, false, false, false},
        {"TSD19", 19, false, false, false},
        {"TSD20", 1, false, false, false},
        {"TSD012", 12, false, false, false},
        {"TSD99999999999999", 1, false, false, false},
        {"TSD3X", 3, false, false, false},
        {"TS", 1, false, false, false},
    };
    for (const TCase& c : cases) {
        const TFilterItem item = Parse((std::string(c.Word) + "#SUMS:10#LNO:#SF:0").c_str());
        SCOPED_TRACE(c.Word);
        EXPECT_EQ(item.Used, 1u);
        EXPECT_EQ(item.SortOrder, c.Sort);
        EXPECT_EQ(item.BottomUp, c.BottomUp);
        EXPECT_EQ(item.MultiSelect, c.Multi);
        EXPECT_EQ(item.KeepSelected, c.Keep);
    }
}

TEST_F(KelmaScrTest, LevelAndStopWords)
{
    struct TCase {
        const char* Tail;
        int Level;
        const char* LevelValue;
        std::uint32_t Stop;
        int StopValue;
    };
    const TCase cases[] = {
        {"", LevelLNO, "", StopSF, 0},
        {"#LMV:5", LevelLMV, "5", StopSF, 0},
        {"#lmv: 5 #sc:3", LevelLMV, "5", StopSC, 3},
        {"#LDV:1,2,3#SF", LevelLDV, "1,2,3", StopSF, 1},
        {"#LNO:#SF:", LevelLNO, "", StopSF, 1},
        {"#LVA:7;9#SZ:x", LevelLVA, "7;9", StopSZ, 1},
        {"#PXR:1-5;2#ST:-4", LevelPXR, "1-5;2", StopST, -4},
        {"#XYZ:5#QQ:3", LevelLNO, "", StopSF, 0},
        {"#WDV:1.5#SPX:8", LevelWDV, "1.5", StopSP, 8},
    };
    for (const TCase& c : cases) {
        const TFilterItem item = Parse((std::string("TSD1#SUMS:10") + c.Tail).c_str());
        SCOPED_TRACE(c.Tail);
        EXPECT_EQ(item.LevelMode, c.Level);
        EXPECT_EQ(item.LevelValue, Q(c.LevelValue));
        EXPECT_EQ(item.StopMode, c.Stop);
        EXPECT_EQ(item.StopValue, c.StopValue);
        EXPECT_FALSE(item.OwnWeights);
    }
}

TEST_F(KelmaScrTest, OwnWeightsAreReadLeniently)
{
    struct TCase {
        const char* Word;
        long double Count, Deviation, Level;
        bool Percents, Abs;
    };
    const TCase cases[] = {
        {"1:-1:1:0:0", 1, -1, 1, false, false},
        {"1.5:-0,25:x:1:1", 1.5L, -0.25L, 0, true, true},
        {"2a.5:1.2.3:--1:11:yes", 2.5L, 0, 0, false, false},
        {"0.1", 0.1L, 0, 0, false, false},
    };
    for (const TCase& c : cases) {
        const TFilterItem item = Parse((std::string("TSD1#SUMS:10#LNO:#SF:0#") + c.Word).c_str());
        SCOPED_TRACE(c.Word);
        EXPECT_TRUE(item.OwnWeights);
        EXPECT_EQ(item.Weights.Count, c.Count);
        EXPECT_EQ(item.Weights.Deviation, c.Deviation);
        EXPECT_EQ(item.Weights.Level, c.Level);
        EXPECT_EQ(item.Weights.UsePercents, c.Percents);
        EXPECT_EQ(item.Weights.UseAbsValues, c.Abs);
    }
}

TEST_F(KelmaScrTest, MethodByExactCodeBeforePrefix)
{
    ASSERT_NE(Method("CHN1"), nullptr);
    ASSERT_NE(Method("CHN10"), nullptr);
    ASSERT_LT(fx.List.IndexOfCode(Q("CHN1")), fx.List.IndexOfCode(Q("CHN10")));

    struct TCase {
        const char* Word;
        const char* Code;   // nullptr: no method
        const char* DrawsLen;
    };
    const TCase cases[] = {
        {"CHN10:100", "CHN10", "100"},
        {"chn10:100", "CHN10", "100"},
        {"CHN1:100", "CHN1", "100"},
        {"CHN10", "CHN10", ""},
        // No code equals the word: the first method whose code begins it wins.
        {"CHN10X:5", "CHN1", "5"},
        {"NUMSX:10", "NUMS", "10"},
        {"sums:10,20", "SUMS", "10,20"},
        {"ZZZZ:10", nullptr, "10"},
        {":SUMS:10", nullptr, "10"},
    };
    for (const TCase& c : cases) {
        const TFilterItem item = Parse((std::string("TSD1#") + c.Word + "#LNO:#SF:0").c_str());
        SCOPED_TRACE(c.Word);
        EXPECT_EQ(item.MethodCode, Q(c.Word));
        EXPECT_EQ(item.Method, c.Code ? Method(c.Code) : nullptr);
        EXPECT_EQ(item.DrawsLen, Q(c.DrawsLen));
    }
    EXPECT_EQ(Parse("TSD1##LNO:#SF:0").Method, nullptr);
}

TEST_F(KelmaScrTest, AFilterOfOneWordIsWrittenAsThatWordAndReadsBackTheSame)
{
    for (const char* text : {"BMFX", "TSD#", "T", "tsd1"}) {
        SCOPED_TRACE(text);
        const QString written = FormatFilterItem(Parse(text));
        EXPECT_FALSE(written.contains(u'#')) << written.toStdString();
        EXPECT_EQ(FormatFilterItem(ParseFilterItem(written, fx.List)), written);
    }
    EXPECT_EQ(FormatFilterItem(Parse("BMFX")), Q("BMF1"));
}

TEST_F(KelmaScrTest, FilterTextsAreNormalised)
{
    struct TCase {
        const char *Text, *Expected;
    };
    const TCase cases[] = {
        {"TSD1#SUMS:10,20#LMV:5#SF:1", "TSD1#SUMS:10,20#LMV:5#SF:1"},
        {"tsd1#sums:10#lmv:5", "TSD1#SUMS:10#LMV:5#SF:0"},
        {"BMF#NUMSX: 7 #LDV: 1,2 #SC", "BMF1#NUMS:7#LDV:1,2#SC:1"},
        {"TSD15#CHN10:30#LNO:#ST:2#0.5:-1:2:1:0", "TSD15#CHN10:30#LNO:#ST:2#0.5:-1:2:1:0"},
        {"BSD25#ZZZZ: 9#what", "BSD1#ZZZZ: 9#LNO:#SF:0"},
        {"TSD1#SUMS:10#LNO:#SF:0#1,25:0:0:x:1", "TSD1#SUMS:10#LNO:#SF:0#1.25:0:0:0:1"},
    };
    for (const TCase& c : cases)
        EXPECT_EQ(FilterItemText(Parse(c.Text)), Q(c.Expected)) << c.Text;
}

TEST_F(KelmaScrTest, FilterRoundTripsWithOwnWeights)
{
    TFilterItem item;
    item.Used = 1;
    item.Method = Method("SUMS");
    item.MethodCode = Q("SUMS:10,20");
    item.DrawsLen = Q("10,20");
    item.LevelMode = LevelWLV;
    item.LevelValue = Q("1-9;2");
    item.StopMode = StopSV;
    item.StopValue = 12;
    item.OwnWeights = true;
    item.Weights = {1.5L, -0.25L, 0.1L, true, false};
    for (int sort = 0; sort <= MaxSortColumn; ++sort)
        for (const bool flag : {false, true}) {
            item.SortOrder = sort;
            item.BottomUp = flag;
            item.MultiSelect = !flag;
            item.KeepSelected = flag;
            const QString text = FormatFilterItem(item);
            EXPECT_EQ(ParseFilterItem(text, fx.List), item) << text.toStdString();
        }
    item.SortOrder = 10;
    EXPECT_EQ(FormatFilterItem(item), Q("BSF10#SUMS:10,20#WLV:1-9;2#SV:12#1.5:-0.25:0.1:1:0"));

    // A weight far from 1 is still written without an exponent and reads back exactly.
    item.Weights = {1e-7L, 12345678.5L, -3e10L, false, true};
    const QString text = FormatFilterItem(item);
    EXPECT_FALSE(text.contains(u'e'));
    EXPECT_EQ(ParseFilterItem(text, fx.List), item) << text.toStdString();
}

TEST_F(KelmaScrTest, UnknownMethodSurvivesUnchanged)
{
    const QString text = Q("TMF3#OTHER7:10-20;5#CMP:50#SP:10");
    const TFilterItem item = ParseFilterItem(text, fx.List);
    EXPECT_EQ(item.Method, nullptr);
    EXPECT_EQ(FilterItemText(item), text);
    EXPECT_EQ(ParseFilterItem(FilterItemText(item), fx.List), item);
}

TEST_F(KelmaScrTest, PartsTextsAndStakeComment)
{
    TFilterParts parts{};
    parts[0].Used = 1;
    parts[0].Method = Method("SUMS");
    parts[0].DrawsLen = 10;
    parts[0].SortOrder = 4;   // not written for a part
    parts[0].LevelMode = LevelLMV;
    parts[0].LevelValue = Q("5");
    parts[2].Used = 1;
    parts[2].Method = Method("CHN10");
    parts[2].DrawsLen = 20;
    parts[2].BottomUp = parts[2].MultiSelect = parts[2].KeepSelected = true;
    parts[2].LevelMode = LevelLDV;
    parts[2].LevelValue = Q("1-3;1");
    parts[2].StopMode = StopST;
    parts[2].StopValue = 2;
    parts[2].OwnWeights = true;
    parts[2].Weights = {1, 0, 0, false, true};

    EXPECT_EQ(FormatFilterPart(parts[0]), Q("TSD#SUMS:10#LMV:5#SF:0"));
    EXPECT_TRUE(FormatFilterPart(parts[1]).isEmpty());
    const QString step = FilterPartsText(parts);
    EXPECT_EQ(step, Q("TSD#SUMS:10#LMV:5#SF:0 + BMF#CHN10:20#LDV:1-3;1#ST:2#1:0:0:0:1"));
    EXPECT_TRUE(FilterPartsText(TFilterParts{}).isEmpty());

    const QString options = ScriptOptionsCommentText({5, StartExcl, ActionFirst, false, true});
    EXPECT_EQ(StakeCommentText(3, 2, Q("abc"), options + Q(" + ") + step),
              Q("03.002: abc @ EXCL:5#FIRST#NEX + TSD#SUMS:10#LMV:5#SF:0 + "
                "BMF#CHN10:20#LDV:1-3;1#ST:2#1:0:0:0:1"));
    EXPECT_EQ(StakeCommentText(12, 0, QString(), Q("FULL#RAND")), Q("12.000: @ FULL#RAND"));
    EXPECT_EQ(StakeCommentText(1, 1234, Q("x y"), Q("s")), Q("01.1234: x y @ s"));
}

// ---------------------------------------------------------------------------------------
// Variants of one filter

TEST_F(KelmaScrTest, ThresholdModeMakesOneVariantPerLengthAndLevel)
{
    const TFilterItem item = Parse("BSF2#SUMS:10,20#LMV:1,2,3#ST:4#1:2:3:1:0");
    const std::vector<TFilterPart> parts = ExpandFilterItem(item);
    ASSERT_EQ(parts.size(), 6u);
    EXPECT_EQ(FilterItemVariantCount(item), 6);
    const int lengths[] = {10, 10, 10, 20, 20, 20};
    const char* levels[] = {"1", "2", "3", "1", "2", "3"};
    for (std::size_t i = 0; i < parts.size(); ++i) {
        EXPECT_EQ(parts[i].DrawsLen, lengths[i]);
        EXPECT_EQ(parts[i].LevelText, Q(levels[i]));
        EXPECT_EQ(parts[i].LevelValue, Q(levels[i]));
        EXPECT_EQ(parts[i].Method, Method("SUMS"));
        EXPECT_EQ(parts[i].SortOrder, 2);
        EXPECT_TRUE(parts[i].BottomUp);
        EXPECT_FALSE(parts[i].MultiSelect);
        EXPECT_TRUE(parts[i].KeepSelected);
        EXPECT_EQ(parts[i].StopMode, StopST);
        EXPECT_EQ(parts[i].StopValue, 4);
        EXPECT_TRUE(parts[i].OwnWeights);
        EXPECT_EQ(parts[i].Weights, item.Weights);
    }
    EXPECT_EQ(FormatFilterPart(parts[4]), Q("BSF#SUMS:20#LMV:2#ST:4#1:2:3:1:0"));
}

TEST_F(KelmaScrTest, ListModesKeepTheWholeListInOneVariant)
{
    struct TCase {
        const char* Tail;
        std::size_t Count;
        const char *LevelText, *LevelValue;
    };
    const TCase cases[] = {
        {"LDV:1,2,3", 2, "1,2,3", "1,2,3"},
        {"LDV:1-3;1", 2, "1,2,3", "1-3;1"},
        {"CDP: 4 ; 6", 2, "4,6", "4 ; 6"},
        {"LVA:7", 2, "7", "7"},
        {"LNO:", 2, "", ""},
        // LNO ignores whatever stands after it.
        {"LNO:abc", 2, "abc", "abc"},
        // The weight and period lists are run value by value.
        {"WDV:1,2", 4, "1", "1"},
        {"PXR:5-7;1", 6, "5", "5"},
    };
    for (const TCase& c : cases) {
        const TFilterItem item = Parse((std::string("TSD1#NUMS:10,20#") + c.Tail).c_str());
        SCOPED_TRACE(c.Tail);
        const std::vector<TFilterPart> parts = ExpandFilterItem(item);
        ASSERT_EQ(parts.size(), c.Count);
        EXPECT_EQ(FilterItemVariantCount(item), std::int64_t(c.Count));
        EXPECT_EQ(parts[0].LevelText, Q(c.LevelText));
        EXPECT_EQ(parts[0].LevelValue, Q(c.LevelValue));
        EXPECT_EQ(parts[0].DrawsLen, 10);
        EXPECT_EQ(parts.back().DrawsLen, 20);
    }
}

TEST_F(KelmaScrTest, BadListsAreErrorsOfTheFilter)
{
    const char* texts[] = {
        "TSD1#SUMS:#LNO:#SF:0",
        "TSD1#SUMS#LNO:#SF:0",
        "TSD1#SUMS:ten#LNO:#SF:0",
        "TSD1#SUMS:1-2000000000;1#LNO:#SF:0",
        "TSD1#SUMS:-1,10#LNO:#SF:0",
        "TSD1#SUMS:-5#LNO:#SF:0",
        "TSD1#SUMS:10;-2147483648#LNO:#SF:0",
        "TSD1#SUMS:10#LMV:#SF:0",
        "TSD1#SUMS:10#LDV:a,b#SF:0",
        "TSD1#SUMS:10#LMV:1-2000000000;1#SF:0",
    };
    for (const char* text : texts) {
        const TFilterItem item = Parse(text);
        SCOPED_TRACE(text);
        const QString expected = Q("Некорректное описание фильтра: ") + FilterItemText(item) + Q("!");
        try {
            ExpandFilterItem(item);
            ADD_FAILURE() << "no error";
        } catch (const ETooManyFilterVariants&) {
            ADD_FAILURE() << "too many variants instead of a bad filter";
        } catch (const Exception& e) {
            EXPECT_EQ(e.Message(), expected);
        }
        EXPECT_THROW(FilterItemVariantCount(item), Exception);
    }
    try {
        ExpandFilterItem(Parse("tsd1#sums: #lno"));
        ADD_FAILURE() << "no error";
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message(), Q("Некорректное описание фильтра: TSD1#SUMS:#LNO:#SF:0!"));
    }
}

TEST_F(KelmaScrTest, ZeroLengthTheDialogAcceptsIsAVariantOfItsOwn)
{
    // What the filter dialog lets through, the run expands: a length of 0 is a window of no
    // draws. The dialog refuses 0 alone.
    struct TCase {
        const char* Text;
        bool DialogAccepts;
        std::vector<int> Lengths;
    } cases[] = {
        {"TSD1#SUMS:0,1#LNO:#SF:0", true, {0, 1}},
        {"TSD1#SUMS:0-20;10#LNO:#SF:0", true, {0, 10, 20}},
        {"TSD1#SUMS:5;0#LMV:1,2#SF:0", true, {5, 5, 0, 0}},
        {"TSD1#SUMS:0#LNO:#SF:0", false, {0}},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Text);
        const TFilterItem item = Parse(c.Text);
        EXPECT_EQ(CheckFilterItem(item).Ok(), c.DialogAccepts);
        std::vector<int> lengths;
        for (const TFilterPart& part : ExpandFilterItem(item))
            lengths.push_back(part.DrawsLen);
        EXPECT_EQ(lengths, c.Lengths);
        EXPECT_EQ(FilterItemVariantCount(item), std::int64_t(c.Lengths.size()));
    }
}

TEST_F(KelmaScrTest, TooManyVariantsAreRefusedBeforeBuilding)
{
    // 100 000 lengths × 100 levels: counted, never built.
    const TFilterItem item = Parse("TSD1#SUMS:1-100000;1#LMV:1-100;1#SF:0");
    EXPECT_EQ(FilterItemVariantCount(item), 10000000);
    EXPECT_THROW(ExpandFilterItem(item), ETooManyFilterVariants);
    // A list mode keeps its list in one variant, so the same lists are fine there.
    EXPECT_EQ(FilterItemVariantCount(Parse("TSD1#SUMS:1-100000;1#LDV:1-100;1#SF:0")), 100000);
}

}  // namespace
