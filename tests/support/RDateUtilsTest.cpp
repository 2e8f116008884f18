#include "support/RDateUtils.h"

#include "platform/Exceptions.h"
#include "tests/common/FixedZone.h"

#include <QByteArray>
#include <QTimeZone>

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>

namespace {


TDateTime At(int y, int m, int d, int h, int n, int s)
{
    return EncodeDateTime(y, m, d, h, n, s, 0);
}

} // namespace

TEST(RDateUtils, IsoTextIsReadAsItStands)
{
    EXPECT_EQ(StrToDateTimeIso("2016-08-01 12:00:00"), At(2016, 8, 1, 12, 0, 0));
    // The separators are not looked at.
    EXPECT_EQ(StrToDateTimeIso("2020/02/29T23:59:58"), At(2020, 2, 29, 23, 59, 58));
}

TEST(RDateUtils, BadIsoTextRaisesConversionErrors)
{
    EXPECT_THROW(StrToDateTimeIso(""), EConvertError);
    EXPECT_THROW(StrToDateTimeIso("2016-08-01"), EConvertError);           // no time fields
    EXPECT_THROW(StrToDateTimeIso("2016-0x-01 12:00:00"), EConvertError);
    EXPECT_THROW(StrToDateTimeIso("2015-02-29 12:00:00"), EConvertError);  // no such day
    EXPECT_THROW(StrToDateTimeIso("2016-08-01 24:00:00"), EConvertError);
    EXPECT_THROW(StrUtcToLocal("2016-13-01 00:00:00"), EConvertError);
}

TEST(RDateUtils, UtcTextBecomesLocalTime)
{
    EXPECT_EQ(StrUtcToLocal(""), 0.0);
    {
        TFixedZone zone("MSK-3");
        EXPECT_EQ(StrUtcToLocal("2016-08-01 12:00:00"), At(2016, 8, 1, 15, 0, 0));
        EXPECT_EQ(StrUtcToLocal("2016-12-31 22:30:00"), At(2017, 1, 1, 1, 30, 0));
    }
    {
        // Central Europe: one hour ahead in winter, two in summer.
        TFixedZone zone("CET-1CEST,M3.5.0,M10.5.0/3");
        EXPECT_EQ(StrUtcToLocal("2016-01-15 12:00:00"), At(2016, 1, 15, 13, 0, 0));
        EXPECT_EQ(StrUtcToLocal("2016-08-01 12:00:00"), At(2016, 8, 1, 14, 0, 0));
        EXPECT_EQ(UtcToLocalTime(At(2016, 3, 27, 0, 59, 59)), At(2016, 3, 27, 1, 59, 59));
        EXPECT_EQ(UtcToLocalTime(At(2016, 3, 27, 1, 0, 0)), At(2016, 3, 27, 3, 0, 0));
    }
    {
        TFixedZone zone("UTC0");
        EXPECT_EQ(UtcToLocalTime(At(1999, 12, 31, 23, 59, 59)), At(1999, 12, 31, 23, 59, 59));
    }
}

TEST(RDateUtils, TheClockCanBeFixed)
{
    const TClock previous = SetClock([] {
        return QDateTime(QDate(2016, 8, 1), QTime(19, 57));
    });
    EXPECT_EQ(ClockNow(), At(2016, 8, 1, 19, 57, 0));
    EXPECT_EQ(ClockToday(), At(2016, 8, 1, 0, 0, 0));
    EXPECT_EQ(ClockCurrentDateTime().date(), QDate(2016, 8, 1));
    SetClock(nullptr);
    EXPECT_GT(ClockNow(), At(2020, 1, 1, 0, 0, 0));
    SetClock(previous);
}
