#include "platform/WordUtils.h"
#include "tests/common/TestHelpers.h"

#include <gtest/gtest.h>

#include <ostream>

namespace {

TEST(WordUtils, RunsOfDelimitersAreOneBreak)
{
    const QString text = QStringLiteral("  12,,7 ; 305;");
    const QString delims = QStringLiteral(" ,;");
    EXPECT_EQ(WordCount(text, delims), 3);
    EXPECT_EQ(ExtractWord(1, text, delims), QStringLiteral("12"));
    EXPECT_EQ(ExtractWord(2, text, delims), QStringLiteral("7"));
    EXPECT_EQ(ExtractWord(3, text, delims), QStringLiteral("305"));
    EXPECT_EQ(WordPosition(1, text, delims), 2);
    EXPECT_EQ(WordPosition(3, text, delims), 10);
}

TEST(WordUtils, OutOfRangeAndEmptyInput)
{
    const QString delims = QStringLiteral(" ");
    EXPECT_EQ(ExtractWord(4, QStringLiteral("a b c"), delims), QString());
    EXPECT_EQ(ExtractWord(0, QStringLiteral("a b c"), delims), QString());
    EXPECT_EQ(ExtractWord(-1, QStringLiteral("a b c"), delims), QString());
    EXPECT_EQ(WordPosition(0, QStringLiteral("a"), delims), -1);
    EXPECT_EQ(WordCount(QString(), delims), 0);
    EXPECT_EQ(WordCount(QStringLiteral("   "), delims), 0);
    // No delimiters: the whole text is one word.
    EXPECT_EQ(WordCount(QStringLiteral("a b"), QString()), 1);
    EXPECT_EQ(ExtractWord(1, QStringLiteral("a b"), QString()), QStringLiteral("a b"));
    EXPECT_EQ(ExtractWord(2, QString::fromUtf8("Тираж №5"), QString::fromUtf8("№ ")), QStringLiteral("5"));
}

} // namespace
