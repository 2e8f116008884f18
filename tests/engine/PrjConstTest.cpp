#include "engine/PrjConst.h"

#include "platform/Exceptions.h"

#include <gtest/gtest.h>

namespace {

// 4 July 2016 is day 42555 after 30 December 1899.
constexpr double July4 = 42555.0;
constexpr double At1300 = 13.0 / 24.0;
constexpr double At1957 = (19.0 * 60 + 57) / 1440.0;

} // namespace

TEST(PrjConst, GameConstants)
{
    EXPECT_EQ(DigitValues, 10);
    EXPECT_EQ(DrawDigits, 2);
    EXPECT_EQ(CombinationsTotal, 100);
    EXPECT_DOUBLE_EQ(FirstDrawDate, EncodeDate(2016, 8, 1));
    EXPECT_STREQ(ProgramFileName, "Tavrix2_2r10");
}

TEST(PrjConst, ValueTexts)
{
    EXPECT_EQ(NumToStr(0), "0");
    EXPECT_EQ(NumToStr(9), "9");
    EXPECT_EQ(SumToStr(18), "18");
    EXPECT_EQ(ExtToStr(-3), "-3");

    EXPECT_EQ(StrToNum(""), 0);
    EXPECT_EQ(StrToNum("x"), 0);
    EXPECT_EQ(StrToNum("1.5"), 0);
    EXPECT_EQ(StrToNum("1,5"), 0);
    EXPECT_EQ(StrToNum("-3"), -3);
    EXPECT_EQ(StrToNum("17"), 17);
    EXPECT_EQ(StrToNum("99999999999"), 0);   // past 32 bits is not an integer
    EXPECT_EQ(StrToDigit("7"), 7);
    EXPECT_EQ(StrToDigit("a7"), 0);
}

TEST(PrjConst, DrawDateToStrPicksTheLetterByHour)
{
    EXPECT_EQ(DrawDateToStr(July4), "07/04/2016 E");                                   // 00:00
    EXPECT_EQ(DrawDateToStr(July4 + EncodeTime(0, 59, 59, 0)), "07/04/2016 E");
    EXPECT_EQ(DrawDateToStr(July4 + EncodeTime(1, 0, 0, 0)), "07/04/2016 M");
    EXPECT_EQ(DrawDateToStr(July4 + EncodeTime(13, 59, 0, 0)), "07/04/2016 M");
    EXPECT_EQ(DrawDateToStr(July4 + EncodeTime(14, 0, 0, 0)), "07/04/2016 E");
    EXPECT_EQ(DrawDateToStr(July4 + EncodeTime(23, 59, 59, 999)), "07/04/2016 E");
    // The date separator is a literal slash even where the locale uses a dot.
    EXPECT_EQ(DrawDateToStr(EncodeDate(2021, 12, 31) + At1957), "12/31/2021 E");
}

TEST(PrjConst, StrToDrawDateReadsKeys)
{
    EXPECT_NEAR(StrToDrawDate("07/04/2016 M"), July4 + At1300, 1e-9);
    EXPECT_NEAR(StrToDrawDate("07/04/2016 E"), July4 + At1957, 1e-9);
    EXPECT_NEAR(StrToDrawDate("07/04/2016 m"), July4 + At1300, 1e-9);   // case ignored
    EXPECT_NEAR(StrToDrawDate("07/04/2016 e"), July4 + At1957, 1e-9);
    EXPECT_DOUBLE_EQ(StrToDrawDate("07/04/2016"), July4);                // no letter
    EXPECT_DOUBLE_EQ(StrToDrawDate("07/04/2016 X"), July4);              // unknown letter
    EXPECT_DOUBLE_EQ(StrToDrawDate(""), 0.0);

    // Fields out of range give day 0, and the letter's time is still added.
    EXPECT_NEAR(StrToDrawDate("13/04/2016 M"), At1300, 1e-9);
    EXPECT_NEAR(StrToDrawDate("07/04/1900 E"), At1957, 1e-9);
    EXPECT_NEAR(StrToDrawDate("07/00/2016 E"), At1957, 1e-9);
    EXPECT_NEAR(StrToDrawDate("07/04/2999 M"), At1300, 1e-9);
    EXPECT_NEAR(StrToDrawDate("ab/cd/efgh M"), At1300, 1e-9);
    EXPECT_NEAR(StrToDrawDate("01/01/1901 M"), EncodeDate(1901, 1, 1) + At1300, 1e-9);

    // A day the month does not have is the date library's error.
    EXPECT_THROW(StrToDrawDate("02/30/2016 M"), EConvertError);
    EXPECT_THROW(StrToDrawDate("02/29/2015 E"), EConvertError);
    EXPECT_NEAR(StrToDrawDate("02/29/2016 E"), EncodeDate(2016, 2, 29) + At1957, 1e-9);
}

TEST(PrjConst, LatestDrawByIsTheNewestDrawTheClockHasSeen)
{
    const std::pair<int, double> cases[] = {{12 * 60 + 59, July4 - 1 + At1957}, {13 * 60, July4 + At1300},
                                            {19 * 60 + 56, July4 + At1300},     {19 * 60 + 57, July4 + At1957}};
    for (const auto& [minute, expected] : cases)
        EXPECT_NEAR(LatestDrawBy(July4 + minute / 1440.0), expected, 1e-9) << minute;
}

TEST(PrjConst, DrawKeysSurviveARoundTrip)
{
    for (const char* key : {"07/04/2016 M", "07/04/2016 E", "01/01/2000 M", "12/31/2099 E"})
        EXPECT_EQ(DrawDateToStr(StrToDrawDate(key)), key);
}
