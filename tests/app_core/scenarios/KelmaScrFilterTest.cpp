// Scenario step texts: filters read and written.

#include "tests/app_core/scenarios/KelmaScrTestEnv.h"

namespace {

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
        EXPECT_EQ(item.LevelValue, U(c.LevelValue));
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
    ASSERT_LT(fx.List.IndexOfCode(U("CHN1")), fx.List.IndexOfCode(U("CHN10")));

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
        EXPECT_EQ(item.MethodCode, U(c.Word));
        EXPECT_EQ(item.Method, c.Code ? Method(c.Code) : nullptr);
        EXPECT_EQ(item.DrawsLen, U(c.DrawsLen));
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
    EXPECT_EQ(FormatFilterItem(Parse("BMFX")), U("BMF1"));
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
        EXPECT_EQ(FilterItemText(Parse(c.Text)), U(c.Expected)) << c.Text;
}

TEST_F(KelmaScrTest, FilterRoundTripsWithOwnWeights)
{
    TFilterItem item;
    item.Used = 1;
    item.Method = Method("SUMS");
    item.MethodCode = U("SUMS:10,20");
    item.DrawsLen = U("10,20");
    item.LevelMode = LevelWLV;
    item.LevelValue = U("1-9;2");
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
    EXPECT_EQ(FormatFilterItem(item), U("BSF10#SUMS:10,20#WLV:1-9;2#SV:12#1.5:-0.25:0.1:1:0"));

    // A weight far from 1 is still written without an exponent and reads back exactly.
    item.Weights = {1e-7L, 12345678.5L, -3e10L, false, true};
    const QString text = FormatFilterItem(item);
    EXPECT_FALSE(text.contains(u'e'));
    EXPECT_EQ(ParseFilterItem(text, fx.List), item) << text.toStdString();
}

TEST_F(KelmaScrTest, UnknownMethodSurvivesUnchanged)
{
    const QString text = U("TMF3#OTHER7:10-20;5#CMP:50#SP:10");
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
    parts[0].LevelValue = U("5");
    parts[2].Used = 1;
    parts[2].Method = Method("CHN10");
    parts[2].DrawsLen = 20;
    parts[2].BottomUp = parts[2].MultiSelect = parts[2].KeepSelected = true;
    parts[2].LevelMode = LevelLDV;
    parts[2].LevelValue = U("1-3;1");
    parts[2].StopMode = StopST;
    parts[2].StopValue = 2;
    parts[2].OwnWeights = true;
    parts[2].Weights = {1, 0, 0, false, true};

    EXPECT_EQ(FormatFilterPart(parts[0]), U("TSD#SUMS:10#LMV:5#SF:0"));
    EXPECT_TRUE(FormatFilterPart(parts[1]).isEmpty());
    const QString step = FilterPartsText(parts);
    EXPECT_EQ(step, U("TSD#SUMS:10#LMV:5#SF:0 + BMF#CHN10:20#LDV:1-3;1#ST:2#1:0:0:0:1"));
    EXPECT_TRUE(FilterPartsText(TFilterParts{}).isEmpty());

    const QString options = ScriptOptionsCommentText({5, StartExcl, ActionFirst, false, true});
    EXPECT_EQ(StakeCommentText(3, 2, U("abc"), options + U(" + ") + step),
              U("03.002: abc @ EXCL:5#FIRST#NEX + TSD#SUMS:10#LMV:5#SF:0 + "
                "BMF#CHN10:20#LDV:1-3;1#ST:2#1:0:0:0:1"));
    EXPECT_EQ(StakeCommentText(12, 0, QString(), U("FULL#RAND")), U("12.000: @ FULL#RAND"));
    EXPECT_EQ(StakeCommentText(1, 1234, U("x y"), U("s")), U("01.1234: x y @ s"));
}

}  // namespace
