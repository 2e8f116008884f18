#include "support/RStrUtils.h"

#include <gtest/gtest.h>

TEST(RStrUtils, AddDelimStrJoinsOnlyNonEmptyParts)
{
    EXPECT_EQ(AddDelimStr("a", "", ";"), "a");
    EXPECT_EQ(AddDelimStr("", "b", ";"), "b");
    EXPECT_EQ(AddDelimStr("", "", ";"), "");
    EXPECT_EQ(AddDelimStr("a", "b", "; "), "a; b");
    EXPECT_EQ(AddDelimStr("*.lcv", "*.txt", ";"), "*.lcv;*.txt");
}

TEST(RStrUtils, StrToCStrEscapesControlsQuotesAndBackslash)
{
    EXPECT_EQ(StrToCStr("\r\n"), "\\r\\n");
    EXPECT_EQ(StrToCStr("\t"), "\\t");
    EXPECT_EQ(StrToCStr("Ж"), "Ж");
    EXPECT_EQ(StrToCStr(QString("a") + QChar(0) + QChar(1) + QChar(6) + "b"), "a\\0\\1\\6b");
    EXPECT_EQ(StrToCStr("\a\b\v\f\x1b"), "\\a\\b\\v\\f\\e");
    EXPECT_EQ(StrToCStr("\"q\" 'a' ?"), "\\\"q\\\" \\'a\\' \\?");
    EXPECT_EQ(StrToCStr("C:\\dir"), "C:\\\\dir");
    // Other control characters and everything above the backslash pass unchanged.
    const QString untouched = QString(QChar(14)) + QChar(26) + QChar(28) + QChar(31) + "]^_`{|}~ АЯ";
    EXPECT_EQ(StrToCStr(untouched), untouched);
    EXPECT_EQ(StrToCStr(""), "");
}
