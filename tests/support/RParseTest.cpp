#include "support/RParse.h"

#include "platform/Exceptions.h"
#include "support/RStrUtils.h"

#include <gtest/gtest.h>

TEST(RParseExtract, MarkersAreFoundWithoutRegardToCase)
{
    EXPECT_EQ(ExtractBetween("<td> 12 </td>", "<TD>", "</TD>", 0), "12");
    EXPECT_EQ(ExtractBetween("<TD>\"07\"</TD>", "<td>", "</td>", 0), "07");
    EXPECT_EQ(ExtractBetween("ключ=Значение;", "КЛЮЧ=", ";", 0), "Значение");
    // The first start marker and the first end marker after it.
    EXPECT_EQ(ExtractBetween("]x[a]b[c]", "[", "]", 0), "a");
    EXPECT_EQ(ExtractBetween("[]", "[", "]", 0), "");
}

TEST(RParseExtract, MissingEndMarkerDependsOnTheMode)
{
    const QString text = "row: <b>tail text";
    try {
        ExtractBetween(text, "<b>", "</b>", 0);
        FAIL() << "mode 0 must raise";
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message(), "Не удалось найти пару идентификаторов \"<b>\" - \"</b>\" в тексте\n\n"
                               "[<b>tail text]!");
    }
    // A page of megabytes is quoted from the start marker on, and only so much of it.
    try {
        ExtractBetween("<head>" + QString(1 << 20, 'x') + "<b>" + QString(5000, 'y'), "<b>", "</b>", 0);
        FAIL() << "mode 0 must raise";
    } catch (const Exception& e) {
        EXPECT_TRUE(e.Message().endsWith("[<b>" + QString(QuotedTextMax - 3, 'y') + QChar(0x2026) + "]!"));
    }
    EXPECT_EQ(ExtractBetween(text, "<b>", "</b>", 1), "");
    EXPECT_EQ(ExtractBetween(text, "<b>", "</b>", 2), "tail text");
    // An empty end marker takes the rest in every mode.
    EXPECT_EQ(ExtractBetween(text, "<B>", "", 0), "tail text");
}

TEST(RParseExtract, MissingStartMarkerGivesEmptyTextInEveryMode)
{
    for (int mode : {0, 1, 2}) {
        EXPECT_EQ(ExtractBetween("a</b>", "<b>", "</b>", mode), "") << mode;
        EXPECT_EQ(ExtractBetween("", "<b>", "</b>", mode), "") << mode;
        EXPECT_EQ(ExtractBetween("<b>x</b>", "", "</b>", mode), "") << mode;
    }
}

TEST(RParseExtract, EndMarkerBeforeTheStartDoesNotCount)
{
    EXPECT_EQ(ExtractBetween("</b> <b>x", "<b>", "</b>", 1), "");
    EXPECT_THROW(ExtractBetween("</b> <b>x", "<b>", "</b>", 0), Exception);
}

TEST(RParseExtract, NestedPair)
{
    const QString page = "<html><SECTION class=r><table><tbody><tr>1</tr></tbody></table></section>"
                         "<tbody>outside</tbody></html>";
    EXPECT_EQ(ExtractBetween2(page, "<section class=r>", "</section>", 0, "<tbody>", "</tbody>"),
              "<tr>1</tr>");
    EXPECT_EQ(ExtractBetween2(page, "<nav>", "</nav>", 0, "<tbody>", "</tbody>"), "");
    // The inner end missing raises in mode 0, naming the inner markers and the outer result.
    try {
        ExtractBetween2(page, "<section class=r>", "</section>", 0, "<table>", "</div>");
        FAIL() << "mode 0 must raise";
    } catch (const Exception& e) {
        EXPECT_TRUE(e.Message().startsWith("Не удалось найти пару идентификаторов \"<table>\" - \"</div>\""));
        EXPECT_TRUE(e.Message().endsWith("[<table><tbody><tr>1</tr></tbody></table>]!"));
    }
}

TEST(RParseCut, WalksThroughRepeatedElements)
{
    QString text = "<table><TR><td>1</td></tr><tr> \"2\" </TR> after";
    EXPECT_EQ(CutBetween(text, "<tr>", "</tr>", 0), "<td>1</td>");
    EXPECT_EQ(text, "<tr> \"2\" </TR> after");
    EXPECT_EQ(CutBetween(text, "<tr>", "</tr>", 0), "2");
    EXPECT_EQ(text, " after");
    EXPECT_EQ(CutBetween(text, "<tr>", "</tr>", 0), "");
    EXPECT_EQ(text, " after");
}

TEST(RParseCut, UnterminatedElementDependsOnTheMode)
{
    QString text = "<tr>1</tr><tr>2";
    EXPECT_EQ(CutBetween(text, "<tr>", "</tr>", 0), "1");
    const QString rest = text;
    EXPECT_THROW(CutBetween(text, "<tr>", "</tr>", 0), Exception);
    EXPECT_EQ(text, rest);                       // nothing removed when it raises

    QString inMode1 = rest;
    EXPECT_EQ(CutBetween(inMode1, "<tr>", "</tr>", 1), "");
    EXPECT_EQ(inMode1, "");                      // consumed: a loop of cuts ends here
    QString inMode2 = rest;
    EXPECT_EQ(CutBetween(inMode2, "<tr>", "</tr>", 2), "2");
    EXPECT_EQ(inMode2, "");

    QString emptyEnd = "a=<b> x ";
    EXPECT_EQ(CutBetween(emptyEnd, "<b>", "", 0), "x");
    EXPECT_EQ(emptyEnd, "");
}

TEST(RParseCut, FieldsFromOneMarkerToTheNext)
{
    QString text = "head<tr>a<tr> \"b\" <TR>c";
    EXPECT_EQ(CutField(text, "<tr>"), "a");
    EXPECT_EQ(text, "<tr> \"b\" <TR>c");
    EXPECT_EQ(CutField(text, "<tr>"), "b");
    EXPECT_EQ(text, "<TR>c");
    EXPECT_EQ(CutField(text, "<tr>"), "c");
    EXPECT_EQ(text, "");
    EXPECT_EQ(CutField(text, "<tr>"), "");

    QString none = "no rows";
    EXPECT_EQ(CutField(none, "<tr>"), "");
    EXPECT_EQ(none, "no rows");
}
