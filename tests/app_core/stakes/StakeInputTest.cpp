#include "app/core/stakes/StakeInput.h"
#include "tests/common/TestHelpers.h"

#include <gtest/gtest.h>

#include <optional>

namespace {

struct TStakeTextCase {
    const char* Text;
    QStringList Words;
    std::int64_t Sum;
    // The combination the text gives, when it is one.
    std::optional<std::pair<int, int>> Digits;
};

} // namespace

TEST(StakeInputTest, WordsSumAndCombinationOfATable)
{
    using P = std::pair<int, int>;
    const TStakeTextCase cases[] = {
        {"1;2", {"1", "2"}, 3, P{1, 2}},
        {"1,2", {"1", "2"}, 3, P{1, 2}},
        {" 3 ; 4 ", {"3", "4"}, 7, P{3, 4}},
        {"0;9", {"0", "9"}, 9, P{0, 9}},
        {"9,0", {"9", "0"}, 9, P{9, 0}},
        // A run of delimiters is one break; leading and trailing ones give no word.
        {";5;;6,", {"5", "6"}, 11, P{5, 6}},
        {"7 ,; 7", {"7", "7"}, 14, P{7, 7}},
        {"10;2", {"10", "2"}, 12, std::nullopt},
        {"1;2;3", {"1", "2", "3"}, 6, std::nullopt},
        {"", {}, 0, std::nullopt},
        {";", {}, 0, std::nullopt},
        {"5", {"5"}, 5, std::nullopt},
        // A word that is not a whole number counts 0 in the sum and spoils the combination.
        {"a;1", {"a", "1"}, 1, std::nullopt},
        {"1.5;2", {"1.5", "2"}, 2, std::nullopt},
        {"-1;2", {"-1", "2"}, 1, std::nullopt},
        {" ;2", {"", "2"}, 2, std::nullopt},
        {"3 4;5", {"3 4", "5"}, 5, std::nullopt},
        // Sums are not bounded by the 32-bit range.
        {"2147483647;2147483647", {"2147483647", "2147483647"}, 4294967294LL, std::nullopt},
        {"-2147483648,-2147483648", {"-2147483648", "-2147483648"}, -4294967296LL, std::nullopt},
        // Beyond the 32-bit range a word is not a number at all.
        {"2147483648;1", {"2147483648", "1"}, 1, std::nullopt},
    };
    for (const TStakeTextCase& c : cases) {
        const QString text = QString::fromUtf8(c.Text);
        EXPECT_EQ(StakeWords(text), c.Words) << c.Text;
        EXPECT_EQ(StakeSum(text), c.Sum) << c.Text;
        TDigitsRec digits{4, {8, 8, 8, 8}};
        const TDigitsRec before = digits;
        const bool ok = ParseStakeDigits(text, digits);
        EXPECT_EQ(ok, c.Digits.has_value()) << c.Text;
        if (c.Digits) {
            EXPECT_EQ(digits.Count, 2) << c.Text;
            EXPECT_EQ(digits.Digits[0], c.Digits->first) << c.Text;
            EXPECT_EQ(digits.Digits[1], c.Digits->second) << c.Text;
            EXPECT_EQ(digits.Digits[2], 0) << c.Text;
            EXPECT_EQ(digits.Digits[3], 0) << c.Text;
        } else {
            EXPECT_EQ(digits, before) << "a refused text leaves the digits: " << c.Text;
        }
    }
}

TEST(StakeInputTest, DigitsTextShowsOnlyTheUsedDigits)
{
    const std::pair<TDigitsRec, const char*> cases[] = {
        {{2, {3, 7, 9, 9}}, "3;7"},
        {{1, {5, 1, 1, 1}}, "5"},
        {{4, {1, 2, 3, 0}}, "1;2;3;0"},
        {{0, {1, 2, 3, 4}}, ""},
        // Counts from a damaged record never reach past the four digit bytes.
        {{-1, {1, 2, 3, 4}}, ""},
        {{9, {1, 2, 3, 4}}, "1;2;3;4"},
    };
    for (const auto& [digits, text] : cases)
        EXPECT_EQ(StakeDigitsText(digits), QString::fromLatin1(text)) << text;
    // What the dialog shows, it reads back as the same combination.
    TDigitsRec back;
    ASSERT_TRUE(ParseStakeDigits(StakeDigitsText({2, {0, 9, 0, 0}}), back));
    EXPECT_EQ(back, (TDigitsRec{2, {0, 9, 0, 0}}));
}

TEST(StakeInputTest, LastDrawOfAStakeStaysWithinTheLargestDrawNumber)
{
    const std::int64_t max = 2147483647;
    struct TCase {
        std::int64_t First;
        std::int64_t Count;
        bool Fits;
    };
    const TCase cases[] = {
        {max, 1, true},
        {max, 2, false},
        {max - 1, 2, true},
        {max - 1, 3, false},
        {max - 65534, 65535, true},
        {max - 65533, 65535, false},
        {1, 65535, true},
        {1, max, true},
        {2, max, false},
        // A count below 1 is one draw.
        {max, 0, true},
        {max, -5, true},
        // Draw numbers start at 1 and end at the largest 32-bit number.
        {0, 1, false},
        {-1, 1, false},
        {max + 1, 1, false},
    };
    for (const TCase& c : cases)
        EXPECT_EQ(StakeDrawRangeFits(c.First, c.Count), c.Fits) << c.First << " + " << c.Count;
    EXPECT_EQ(StakeDrawRangeError(), U("Номер последнего тиража превышает 2147483647!"));
}
