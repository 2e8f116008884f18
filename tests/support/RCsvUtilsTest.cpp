#include "support/RCsvUtils.h"

#include <gtest/gtest.h>

TEST(RCsvUtils, EnclosingQuotesAreRemovedAndDoubledOnesUndoubled)
{
    EXPECT_EQ(CsvUnquote("  \"say \"\"hi\"\" now\"  "), "say \"hi\" now");
    EXPECT_EQ(CsvUnquote("\"\""), "");
    EXPECT_EQ(CsvUnquote("\"a\"b\""), "ab");            // a lone quote inside disappears
    EXPECT_EQ(CsvUnquote("\t\"08/01/2016 M\"\r\n"), "08/01/2016 M");
}

TEST(RCsvUtils, TextWithoutEnclosingQuotesIsOnlyTrimmed)
{
    EXPECT_EQ(CsvUnquote("  plain \"x\" text \n"), "plain \"x\" text");
    EXPECT_EQ(CsvUnquote("\""), "\"");                  // shorter than two characters
    EXPECT_EQ(CsvUnquote("\"open"), "\"open");
    EXPECT_EQ(CsvUnquote("close\""), "close\"");
    EXPECT_EQ(CsvUnquote(" \x01 "), "");
    EXPECT_EQ(CsvUnquote(""), "");
}
