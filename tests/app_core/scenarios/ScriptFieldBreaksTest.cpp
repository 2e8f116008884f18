#include "app/core/scenarios/KelmaScr.h"
#include "app/core/scenarios/ScriptDialogs.h"

#include <gtest/gtest.h>

#include <array>

namespace {

QString Q(const char* text) { return QString::fromUtf8(text); }

} // namespace

// One rule tells a field that can be stored from one that cannot: the line dialog asks it of
// each field, the scenario list of the whole line the dialog hands over.
TEST(ScriptFieldBreaks, CountedInFieldsAndWholeLines)
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
        EXPECT_EQ(ScriptFieldBreakCount(Q(c.Text)), c.Breaks);
        EXPECT_EQ(HoldsScriptFieldBreak(Q(c.Text)), c.Breaks > 0);
    }
}

TEST(ScriptFieldBreaks, AWrittenLineHoldsOnlyTheBreaksBetweenItsFields)
{
    std::array<QString, ScriptFilterCount> filters;
    filters[0] = Q("TSD1#SUMS:10#LNO:#SF:1");
    filters[6] = Q("TSD3#NUMS:5#LMV:2#ST:1");

    // Fields without a break: nine fields, eight breaks, read back as written.
    const QString line = FormatScriptLine(Q("план"), Q("FULL:0#RAND"), filters);
    EXPECT_EQ(ScriptFieldBreakCount(line), ScriptLineFieldBreaks);
    EXPECT_EQ(FindFieldBreak(Q("план"), filters), -1);
    EXPECT_EQ(GetScriptLineComment(line), Q("план"));
    EXPECT_EQ(GetScriptLineFilter(line, 7), filters[6]);
    // Nor does an empty comment or an empty filter list change the count.
    EXPECT_EQ(ScriptFieldBreakCount(FormatScriptLine(QString(), Q("CURR:0#NONE"), {})), ScriptLineFieldBreaks);

    // A break in the comment is one more than the line may hold, and the comment reads back cut.
    const QString cut = FormatScriptLine(Q("a|b"), Q("FULL:0#RAND"), filters);
    EXPECT_EQ(FindFieldBreak(Q("a|b"), filters), 0);
    EXPECT_GT(ScriptFieldBreakCount(cut), ScriptLineFieldBreaks);
    EXPECT_EQ(GetScriptLineComment(cut), Q("a"));

    // So does one in a filter, which the dialog names by its number.
    filters[2] = Q("TSD1#SUMS:10|20#LNO:#SF:1");
    EXPECT_EQ(FindFieldBreak(Q("план"), filters), 3);
    EXPECT_GT(ScriptFieldBreakCount(FormatScriptLine(Q("план"), Q("FULL:0#RAND"), filters)), ScriptLineFieldBreaks);
}
