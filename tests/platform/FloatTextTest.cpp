#include "platform/DelphiText.h"
#include "tests/common/TestHelpers.h"

#include <gtest/gtest.h>

#include <limits>
#include <ostream>

namespace {

TEST(FormatFloat, FixedDecimals)
{
    EXPECT_EQ(FormatFloat(U("0.00"), 1.125), U("1,13"));   // exact half: away from zero
    EXPECT_EQ(FormatFloat(U("0.00"), -1.125), U("-1,13"));
    EXPECT_EQ(FormatFloat(U("0.00"), 1.005), U("1,00"));   // 1.00499... as a double
    EXPECT_EQ(FormatFloat(U("0.00"), 0), U("0,00"));
    EXPECT_EQ(FormatFloat(U("0"), 2.5), U("3"));
    EXPECT_EQ(FormatFloat(U("0"), -2.5), U("-3"));
    EXPECT_EQ(FormatFloat(U("000"), 7), U("007"));
    EXPECT_EQ(FormatFloat(U("0.00"), -0.001), U("0,00"));  // no sign once rounded to zero
}

TEST(FormatFloat, Grouping)
{
    EXPECT_EQ(FormatFloat(U("#,##0.00"), 1234567.891), U("1\u00A0234\u00A0567,89"));
    EXPECT_EQ(FormatFloat(U("#,##0.00"), -1234.5), U("-1\u00A0234,50"));
    EXPECT_EQ(FormatFloat(U("#,##0.00"), 0.5), U("0,50"));
    EXPECT_EQ(FormatFloat(U("#,##0"), 999.5), U("1\u00A0000"));
    EXPECT_EQ(FormatFloat(U(",0.00"), 1234.5), U("1\u00A0234,50"));
    EXPECT_EQ(FormatFloat(U("0.00"), 1234567.0), U("1234567,00"));
}

TEST(FormatFloat, OptionalDecimals)
{
    EXPECT_EQ(FormatFloat(U("0.##"), 1.5), U("1,5"));
    EXPECT_EQ(FormatFloat(U("0.##"), 2), U("2"));
    EXPECT_EQ(FormatFloat(U("0.##"), 1.999), U("2"));
    EXPECT_EQ(FormatFloat(U("0.0#"), 1.25), U("1,25"));
    EXPECT_EQ(FormatFloat(U("0.0#"), 3), U("3,0"));
    EXPECT_EQ(FormatFloat(U("#.##"), 0.5), U(",5"));
}

TEST(FormatFloat, Sections)
{
    const QString f = U("0.0;(0.0);zero");
    EXPECT_EQ(FormatFloat(f, 1.25), U("1,3"));
    EXPECT_EQ(FormatFloat(f, -1.25), U("(1,3)"));
    EXPECT_EQ(FormatFloat(f, 0), U("zero"));
    EXPECT_EQ(FormatFloat(f, -0.04), U("zero"));
    EXPECT_EQ(FormatFloat(f, 0.04), U("zero"));
    EXPECT_EQ(FormatFloat(U("0.0;(0.0)"), -0.04), U("0,0"));
    EXPECT_EQ(FormatFloat(U("0.0;;zero"), -2), U("-2,0"));   // empty negative section
    EXPECT_EQ(FormatFloat(U("0.0;-0.0;"), 0), U("0,0"));     // empty zero section
    EXPECT_EQ(FormatFloat(U("'a;b' 0"), 4), U("a;b 4"));     // ';' inside quotes
}

TEST(FormatFloat, Exponent)
{
    EXPECT_EQ(FormatFloat(U("0.00E+00"), 1234.5), U("1,23E+03"));
    EXPECT_EQ(FormatFloat(U("0.00E+00"), 0.000123), U("1,23E-04"));
    EXPECT_EQ(FormatFloat(U("0.00E-00"), 1234.5), U("1,23E03"));
    EXPECT_EQ(FormatFloat(U("0.00E-00"), 0.000123), U("1,23E-04"));
    EXPECT_EQ(FormatFloat(U("0.00e+000"), -99.96), U("-1,00e+002"));
    EXPECT_EQ(FormatFloat(U("0.00E+00"), 0), U("0,00E+00"));
    EXPECT_EQ(FormatFloat(U("00.0E+0"), 1234.5), U("12,3E+2"));
}

TEST(FormatFloat, LiteralsAndSpecialValues)
{
    EXPECT_EQ(FormatFloat(U("'Сумма: '0.00' руб.'"), 5), U("Сумма: 5,00 руб."));
    EXPECT_EQ(FormatFloat(U("\"x\"0"), 7), U("x7"));
    EXPECT_EQ(FormatFloat(U("0.0 %"), 12.34), U("12,3 %"));
    EXPECT_EQ(FormatFloat(U("0.00"), std::numeric_limits<long double>::infinity()), U("INF"));
    EXPECT_EQ(FormatFloat(U("0.00"), std::numeric_limits<long double>::quiet_NaN()), U("NAN"));
    EXPECT_EQ(FormatFloat(QString(), 0.5), U("0,5"));
}

TEST(FloatToStr, FifteenSignificantDigits)
{
    EXPECT_EQ(FloatToStr(0.1), U("0,1"));
    EXPECT_EQ(FloatToStr(100), U("100"));
    EXPECT_EQ(FloatToStr(1.0 / 3), U("0,333333333333333"));
    EXPECT_EQ(FloatToStr(2.0 / 3), U("0,666666666666667"));
    EXPECT_EQ(FloatToStr(123456789012345.0), U("123456789012345"));
    EXPECT_EQ(FloatToStr(-2.5), U("-2,5"));
    EXPECT_EQ(FloatToStr(-0.0), U("0"));
    EXPECT_EQ(FloatToStr(0.0001), U("0,0001"));
}

TEST(FloatToStr, ExponentForm)
{
    EXPECT_EQ(FloatToStr(1E15), U("1E15"));
    EXPECT_EQ(FloatToStr(1234567890123456.0), U("1,23456789012346E15"));
    EXPECT_EQ(FloatToStr(1.5E-5), U("1,5E-5"));
    EXPECT_EQ(FloatToStr(-1E-10), U("-1E-10"));
    EXPECT_EQ(FloatToStr(1E100), U("1E100"));
    EXPECT_EQ(FloatToStr(999999999999999.9), U("1E15"));   // rounds up into the next decade
    EXPECT_EQ(FloatToStr(std::numeric_limits<double>::quiet_NaN()), U("NAN"));
    EXPECT_EQ(FloatToStr(std::numeric_limits<double>::infinity()), U("INF"));
    EXPECT_EQ(FloatToStr(-std::numeric_limits<double>::infinity()), U("-INF"));
    EXPECT_EQ(FloatToStrGeneral(2.0 / 3, 4), U("0,6667"));
    EXPECT_EQ(FloatToStrGeneral(123456.0, 4), U("1,235E5"));
}

} // namespace
