// Scenario step texts: the variants one filter expands into.

#include "tests/app_core/scenarios/KelmaScrTestEnv.h"

#include <climits>

namespace {

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
        EXPECT_EQ(parts[i].LevelText, U(levels[i]));
        EXPECT_EQ(parts[i].LevelValue, U(levels[i]));
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
    EXPECT_EQ(FormatFilterPart(parts[4]), U("BSF#SUMS:20#LMV:2#ST:4#1:2:3:1:0"));
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
        EXPECT_EQ(parts[0].LevelText, U(c.LevelText));
        EXPECT_EQ(parts[0].LevelValue, U(c.LevelValue));
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
        "TSD1#SUMS:10#LMV:#SF:0",
        "TSD1#SUMS:10#LDV:a,b#SF:0",
    };
    for (const char* text : texts) {
        const TFilterItem item = Parse(text);
        SCOPED_TRACE(text);
        const QString expected = U("Некорректное описание фильтра: ") + FilterItemText(item) + U("!");
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
        EXPECT_EQ(e.Message(), U("Некорректное описание фильтра: TSD1#SUMS:#LNO:#SF:0!"));
    }
}

TEST_F(KelmaScrTest, LengthsOverNoDrawsTheDialogAcceptsAreVariantsOfTheirOwn)
{
    // What the filter dialog lets through, the run expands: a length of 0, or a negative one,
    // is a window of no draws, kept as the line writes it. The dialog refuses one alone.
    struct TCase {
        const char* Text;
        bool DialogAccepts;
        std::vector<int> Lengths;
    } cases[] = {
        {"TSD1#SUMS:0,1#LNO:#SF:0", true, {0, 1}},
        {"TSD1#SUMS:0-20;10#LNO:#SF:0", true, {0, 10, 20}},
        {"TSD1#SUMS:5;0#LMV:1,2#SF:0", true, {5, 5, 0, 0}},
        {"TSD1#SUMS:5,-1#LNO:#SF:0", true, {5, -1}},
        {"TSD1#SUMS:10;-2147483648#LNO:#SF:0", true, {10, INT_MIN}},
        {"TSD1#SUMS:0#LNO:#SF:0", false, {0}},
        {"TSD1#SUMS:-5#LNO:#SF:0", false, {-5}},
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
    // Well-formed ranges past what a list may hold ask for too many variants as well.
    for (const char* text : {"TSD1#NUMS:1-2000000000;1#LNO:#SF:1", "TSD1#SUMS:10#LDV:2000000000-1,-1#SF:0"})
        EXPECT_THROW(ExpandFilterItem(Parse(text)), ETooManyFilterVariants) << text;
    // A list mode keeps its list in one variant, so the same lists are fine there.
    EXPECT_EQ(FilterItemVariantCount(Parse("TSD1#SUMS:1-100000;1#LDV:1-100;1#SF:0")), 100000);
}

}  // namespace
