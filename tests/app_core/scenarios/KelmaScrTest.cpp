// Scenario step texts: the words and captions of the tables, the lines and their options.

#include "tests/app_core/scenarios/KelmaScrTestEnv.h"

namespace {

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
        EXPECT_EQ(StartListWord(i), U(start[i]));
    for (int i = 0; i < 9; ++i)
        EXPECT_EQ(AmbiguityActionWord(i), U(actions[i]));
    for (int i = 0; i < 32; ++i)
        EXPECT_EQ(LevelModeWord(i), U(levels[i]));
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(StopModeWord(i), U(stops[i]));
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
    EXPECT_EQ(ClearStakesWord(true), U("CLR"));
    EXPECT_TRUE(ClearStakesWord(false).isEmpty());
    EXPECT_EQ(NewOnlyWord(true), U("NEX"));
    EXPECT_TRUE(NewOnlyWord(false).isEmpty());
}

TEST(KelmaScrCaptions, StartAndActionCaptions)
{
    const char* startLong[] = {"Исходный список (рекомендуется для тестов)",
                               "Удалить N последних тиражей (для прогнозов)",
                               "Текущий список (для последовательного выполнения)"};
    const char* startShort[] = {"Исходный список", "Исключить 7 тиражей", "Текущий список"};
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(StartListCaption(i), U(startLong[i]));
        EXPECT_EQ(StartListShortCaption(i, 7), U(startShort[i]));
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
        EXPECT_EQ(AmbiguityActionCaption(i), U(actionLong[i]));
        EXPECT_EQ(AmbiguityActionShortCaption(i), U(actionShort[i]));
    }
    EXPECT_TRUE(ClearStakesCaption(false).isEmpty());
    EXPECT_EQ(ClearStakesCaption(true), U("Удалить ставки"));
    EXPECT_EQ(NewOnlyCaption(false), U("Все создаваемые ставки"));
    EXPECT_EQ(NewOnlyCaption(true), U("Только новые ставки"));
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
        EXPECT_EQ(LevelModeCaption(i), U(levels[i])) << i;
    const char* stops[] = {"Обработать все записи", "Количеству оставшихся комбинаций",
                           "Пока список не будет пуст и откатить на шаг", "Количеству шагов",
                           "Значению в списке статистики",
                           "Процентному соотношению в списке статистики"};
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(StopModeCaption(i), U(stops[i])) << i;
}

TEST(KelmaScrCaptions, IndexOutsideATableIsTheErrorCaption)
{
    const QString error = U("# ERROR #");
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
    filters[0] = U("TSD1#SUMS:10#LNO:#SF:0");
    filters[2] = U("  ");
    filters[3] = U("BMF2#NUMS:5#LMV:3#SC:1");
    const QString line = FormatScriptLine(U("мой план"), U("FULL:0#RAND"), filters);
    EXPECT_EQ(line, U("FULL:0#RAND|TSD1#SUMS:10#LNO:#SF:0| | |BMF2#NUMS:5#LMV:3#SC:1| | | |мой план"));
    EXPECT_EQ(GetScriptLineOptions(line), U("FULL:0#RAND"));
    EXPECT_EQ(GetScriptLineFilter(line, 1), filters[0]);
    EXPECT_TRUE(GetScriptLineFilter(line, 2).isEmpty());
    EXPECT_TRUE(GetScriptLineFilter(line, 3).isEmpty());
    EXPECT_EQ(GetScriptLineFilter(line, 4), filters[3]);
    for (int n = 5; n <= 7; ++n)
        EXPECT_TRUE(GetScriptLineFilter(line, n).isEmpty());
    EXPECT_EQ(GetScriptLineComment(line), U("мой план"));
    // Only filters 1..7 exist: 0 and 8 would be the options and the comment.
    EXPECT_TRUE(GetScriptLineFilter(line, 0).isEmpty());
    EXPECT_TRUE(GetScriptLineFilter(line, 8).isEmpty());
}

TEST(KelmaScrLines, EmptyCommentEndsTheLineWithTheBar)
{
    const QString line = FormatScriptLine(U(" "), U("EXCL:2#LAST"), {});
    EXPECT_EQ(line, U("EXCL:2#LAST| | | | | | | |"));
    EXPECT_TRUE(GetScriptLineComment(line).isEmpty());
    EXPECT_EQ(GetScriptLineOptions(line), U("EXCL:2#LAST"));
}

TEST(KelmaScrLines, EmptyFieldBetweenBarsShiftsTheFollowingOnes)
{
    // Runs of "|" are one break: a hand-edited line with "||" loses a field.
    const QString line = U("FULL:0#RAND||TSD1#SUMS:10#LNO:#SF:0| | | | | |c");
    EXPECT_EQ(GetScriptLineFilter(line, 1), U("TSD1#SUMS:10#LNO:#SF:0"));
    EXPECT_TRUE(GetScriptLineComment(line).isEmpty());
    EXPECT_EQ(GetScriptLineFilter(line, 7), U("c"));
}

// One rule tells a field that can be stored from one that cannot: the line dialog asks it of
// each field, the scenario list of the whole line the dialog hands over.
TEST(KelmaScrLines, FieldBreaksCountedInFieldsAndWholeLines)
{
    struct TCase {
        const char* Text;
        qsizetype Breaks;
    };
    const TCase cases[] = {
        {"", 0},
        {"мой план: a # b : c", 0},
        {"TSD1#SUMS:10-20#LMV:5#SF:1", 0},
        {"|", 1},
        {"a|b", 1},
        {"||", 2},
        {"|a|", 2},
        {"FULL:0#RAND| | | | | | | |", 8},
        {"FULL:0#RAND| | | | | | | |a|b", 9},
        // Look-alikes of the bar are other characters.
        {"a\xc2\xa6" "b \xef\xbd\x9c c \xe2\x88\xa3", 0},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Text);
        EXPECT_EQ(ScriptFieldBreakCount(U(c.Text)), c.Breaks);
        EXPECT_EQ(HoldsScriptFieldBreak(U(c.Text)), c.Breaks > 0);
    }
}

// A written line holds only the breaks between its fields; a bar in a comment or a filter is
// one more than the line may hold.
TEST(KelmaScrLines, AWrittenLineHoldsOnlyTheBreaksBetweenItsFields)
{
    std::array<QString, ScriptFilterCount> filters;
    filters[0] = U("TSD1#SUMS:10#LNO:#SF:1");
    filters[6] = U("TSD3#NUMS:5#LMV:2#ST:1");
    EXPECT_EQ(ScriptFieldBreakCount(FormatScriptLine(U("план"), U("FULL:0#RAND"), filters)), ScriptLineFieldBreaks);
    EXPECT_EQ(ScriptFieldBreakCount(FormatScriptLine(QString(), U("CURR:0#NONE"), {})), ScriptLineFieldBreaks);

    const QString cut = FormatScriptLine(U("a|b"), U("FULL:0#RAND"), filters);
    EXPECT_GT(ScriptFieldBreakCount(cut), ScriptLineFieldBreaks);
    EXPECT_EQ(GetScriptLineComment(cut), U("a"));   // the comment reads back cut

    filters[2] = U("TSD1#SUMS:10|20#LNO:#SF:1");
    EXPECT_GT(ScriptFieldBreakCount(FormatScriptLine(U("план"), U("FULL:0#RAND"), filters)), ScriptLineFieldBreaks);
}

TEST(KelmaScrLines, OnlyBlankLinesAreSeparators)
{
    EXPECT_TRUE(IsScriptSeparatorLine(QString()));
    EXPECT_TRUE(IsScriptSeparatorLine(U("   \t ")));
    EXPECT_FALSE(IsScriptSeparatorLine(U(" | | | | | | | |")));
    EXPECT_FALSE(IsScriptSeparatorLine(U("FULL:0#RAND| | | | | | | |")));
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
        EXPECT_EQ(ParseScriptOptions(U(c.Text)), c.Expected) << c.Text;
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
    EXPECT_EQ(FormatScriptOptions({}), U("FULL:0#RAND"));
    const TScriptOptions all{5, StartExcl, ActionFirst, true, true};
    EXPECT_EQ(FormatScriptOptions(all), U("EXCL:5#FIRST#CLR#NEX"));
    EXPECT_EQ(FormatScriptOptions({3, StartCurr, ActionNone, false, true}), U("CURR:3#NONE#NEX"));

    EXPECT_EQ(ScriptOptionsCommentText(all), U("EXCL:5#FIRST#NEX"));
    EXPECT_EQ(ScriptOptionsCommentText({4, StartFull, ActionSysA, true, false}), U("FULL#SYSA"));
    EXPECT_EQ(ScriptOptionsCommentText({4, StartCurr, ActionLast, false, true}), U("CURR#LAST#NEX"));

    EXPECT_EQ(ScriptOptionsCaption({5, StartExcl, ActionFirst, true, false}),
              U("Исключить 5 тиражей; Первая; Удалить ставки; Все создаваемые ставки"));
    EXPECT_EQ(ScriptOptionsCaption({0, StartFull, ActionRand, false, true}),
              U("Исходный список; Случайно; Только новые ставки"));
    EXPECT_EQ(ScriptOptionsCaption({0, 3, 9, false, false}),
              U("# ERROR #; # ERROR #; Все создаваемые ставки"));
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
        EXPECT_EQ(AppendDelimited(U(c.Text), U(c.Word), U("; ")), U(c.Expected));
}

}  // namespace
