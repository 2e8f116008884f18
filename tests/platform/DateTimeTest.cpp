#include "platform/DateTime.h"
#include "tests/common/TestHelpers.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <ostream>

namespace {

struct TParts {
    int Y, M, D, H, N, S, Z;
    bool operator==(const TParts&) const = default;
};

void PrintTo(const TParts& p, std::ostream* os)
{
    *os << p.Y << '-' << p.M << '-' << p.D << ' ' << p.H << ':' << p.N << ':' << p.S << '.' << p.Z;
}

TParts Decode(TDateTime value)
{
    TParts p{};
    DecodeDateTime(value, p.Y, p.M, p.D, p.H, p.N, p.S, p.Z);
    return p;
}

TEST(DateTime, DayNumbers)
{
    EXPECT_EQ(EncodeDate(1899, 12, 30), 0.0);
    EXPECT_EQ(EncodeDate(2016, 7, 4), 42555.0);
    EXPECT_EQ(EncodeDate(1900, 1, 1), 2.0);
    EXPECT_EQ(EncodeDate(1899, 12, 29), -1.0);
    EXPECT_EQ(EncodeDate(1, 1, 1), -693593.0);
    EXPECT_EQ(EncodeDate(9999, 12, 31), 2958465.0);
    EXPECT_EQ(Decode(42555), (TParts{2016, 7, 4, 0, 0, 0, 0}));
    EXPECT_EQ(EncodeDate(2016, 2, 29), 42429.0);
}

TEST(DateTime, InvalidDatesAndTimesRaise)
{
    for (auto [y, m, d] : {std::tuple{2016, 2, 30}, {2015, 2, 29}, {1900, 2, 29}, {0, 1, 1}, {10000, 1, 1},
                           {2016, 0, 1}, {2016, 13, 1}, {2016, 4, 31}, {2016, 1, 0}}) {
        TDateTime v = 5;
        EXPECT_FALSE(TryEncodeDate(y, m, d, v));
        EXPECT_EQ(v, 5.0);
    }
    try {
        EncodeDate(2016, 2, 30);
        ADD_FAILURE();
    } catch (const EConvertError& e) {
        EXPECT_EQ(e.Message(), U("Invalid argument to date encode"));
    }
    try {
        EncodeTime(24, 0, 0, 0);
        ADD_FAILURE();
    } catch (const EConvertError& e) {
        EXPECT_EQ(e.Message(), U("Invalid argument to time encode"));
    }
    EXPECT_THROW(EncodeTime(0, 60, 0, 0), EConvertError);
    EXPECT_THROW(EncodeTime(0, 0, 0, 1000), EConvertError);
    EXPECT_THROW(EncodeDateTime(2016, 7, 4, -1, 0, 0, 0), EConvertError);
}

TEST(DateTime, DecodingGoesThroughWholeMilliseconds)
{
    // 13:00 is not exact in binary; a floor of the fraction would give 12:59:59.999.
    const TDateTime midday = 42555 + 13.0 / 24;
    EXPECT_EQ(Decode(midday), (TParts{2016, 7, 4, 13, 0, 0, 0}));
    EXPECT_EQ(HourOf(midday), 13);
    EXPECT_EQ(Decode(EncodeDateTime(2016, 7, 4, 19, 57, 0, 0)), (TParts{2016, 7, 4, 19, 57, 0, 0}));
    // 23:59:59.9996 rounds to the next midnight.
    EXPECT_EQ(Decode(42555 + 86399999.6 / 86400000), (TParts{2016, 7, 5, 0, 0, 0, 0}));
    EXPECT_EQ(Decode(42555 + 86399999.4 / 86400000), (TParts{2016, 7, 4, 23, 59, 59, 999}));
    EXPECT_EQ(EncodeTime(6, 0, 0, 0), 0.25);
}

TEST(DateTime, BeforeTheEpochTheTimeStillCountsForward)
{
    EXPECT_EQ(EncodeDateTime(1899, 12, 29, 6, 0, 0, 0), -1.25);
    EXPECT_EQ(Decode(-1.25), (TParts{1899, 12, 29, 6, 0, 0, 0}));
    EXPECT_EQ(DateOf(-1.25), -1.0);
    EXPECT_EQ(TimeOf(-1.25), 0.25);
    EXPECT_EQ(IncDay(-1.25, 2), 1.25);        // 31 December 1899 06:00
    EXPECT_EQ(IncDay(42555.5, -1), 42554.5);
}

TEST(DateTime, OutOfRangeValuesDecodeAsZeros)
{
    EXPECT_EQ(Decode(1e300), (TParts{0, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(Decode(std::numeric_limits<double>::quiet_NaN()), (TParts{0, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(DayOfWeek(-1e9), 0);
    EXPECT_FALSE(ToQDate(3e6).isValid());
}

TEST(DateTime, WeekdaysPartsAndQtConversions)
{
    EXPECT_EQ(DayOfWeek(0), 7);          // 30 December 1899 was a Saturday
    EXPECT_EQ(DayOfWeek(42555.9), 2);    // 4 July 2016, a Monday
    EXPECT_EQ(DayOfWeek(42561), 1);      // Sunday
    EXPECT_EQ(DateOf(42555.75), 42555.0);
    EXPECT_EQ(TimeOf(42555.75), 0.75);
    EXPECT_EQ(DaysInMonth(2000, 2), 29);
    EXPECT_EQ(DaysInMonth(2100, 2), 28);
    EXPECT_EQ(DaysInMonth(2016, 13), 0);

    EXPECT_EQ(ToQDate(42555.5), QDate(2016, 7, 4));
    EXPECT_EQ(FromQDate(QDate(2016, 7, 4)), 42555.0);
    const QDateTime qdt(QDate(2016, 7, 4), QTime(19, 57, 3, 250));
    EXPECT_EQ(ToQDateTime(FromQDateTime(qdt)), qdt);
    EXPECT_EQ(ToQDateTime(42555 + 13.0 / 24).time(), QTime(13, 0));
    EXPECT_EQ(FromQDate(QDate()), 0.0);
}

TEST(FormatDateTime, PatternLetters)
{
    const TDateTime v = EncodeDateTime(2016, 7, 4, 13, 5, 9, 7);
    EXPECT_EQ(FormatDateTime(U("yyyy.mm.dd hh:nn:ss"), v), U("2016.07.04 13:05:09"));
    EXPECT_EQ(FormatDateTime(U("mm'/'dd'/'yyyy"), v), U("07/04/2016"));
    EXPECT_EQ(FormatDateTime(U("mm/dd/yyyy"), v), U("07.04.2016"));   // the locale's separator
    EXPECT_EQ(FormatDateTime(U("yyyy-mm-dd hh:mm:ss"), v), U("2016-07-04 13:05:09"));
    EXPECT_EQ(FormatDateTime(U("d.m.yy"), v), U("4.7.16"));
    EXPECT_EQ(FormatDateTime(U("h:nn:ss.zzz|z"), v), U("13:05:09.007|7"));
    EXPECT_EQ(FormatDateTime(U("h:nn am/pm"), v), U("1:05 pm"));
    EXPECT_EQ(FormatDateTime(U("hh AM/PM"), EncodeTime(0, 30, 0, 0)), U("12 AM"));
    EXPECT_EQ(FormatDateTime(U("h a/p"), EncodeTime(9, 0, 0, 0)), U("9 a"));
    EXPECT_EQ(FormatDateTime(U("\"Тираж\" dd"), v), U("Тираж 04"));
    EXPECT_EQ(FormatDateTime(U("dddd, d mmmm"), v), U("понедельник, 4 июль"));
}

// An hour takes the twelve-hour clock only from an am/pm marker after it and outside quotes,
// however many hours the pattern holds; a long pattern formats in one pass.
TEST(FormatDateTime, TwelveHourClockFromALaterMarker)
{
    const TDateTime v = EncodeDateTime(2016, 7, 4, 13, 5, 9, 7);
    struct {
        const char* pattern;
        const char* expected;
    } const cases[] = {
        {"h h am/pm h", "1 1 pm 13"},
        {"h 'am/pm' h", "13 am/pm 13"},
        {"h \"a/p\" h a/p", "1 a/p 1 p"},
        {"h 'x", "13 x"},                      // an unterminated quote runs to the end
        {"hh a/p", "01 p"},
        {"h:m a/p h:m", "1:5 p 13:5"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FormatDateTime(U(c.pattern), v), U(c.expected)) << c.pattern;

    QString pattern;
    QString expected;
    for (int i = 0; i < 20000; ++i) {
        pattern += QStringLiteral("h ");
        expected += QStringLiteral("1 ");
    }
    pattern += QStringLiteral("am/pm");
    expected += QStringLiteral("pm");
    EXPECT_EQ(FormatDateTime(pattern, v), expected);
}

} // namespace
