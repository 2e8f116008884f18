#include "platform/Currency.h"
#include "platform/DelphiText.h"
#include "tests/common/TestHelpers.h"

#include <gtest/gtest.h>

#include <limits>
#include <ostream>

namespace {

TEST(StrToInt, AcceptedForms)
{
    EXPECT_EQ(StrToInt(U(" 12")), 12);
    EXPECT_EQ(StrToInt(U("+5")), 5);
    EXPECT_EQ(StrToInt(U("-0")), 0);
    EXPECT_EQ(StrToInt(U("007")), 7);
    EXPECT_EQ(StrToInt(U("-$FF")), -255);
    EXPECT_EQ(StrToInt(U("$ff")), 255);
    EXPECT_EQ(StrToInt(U("0x1A")), 26);
    EXPECT_EQ(StrToInt(U("0X1a")), 26);
    EXPECT_EQ(StrToInt(U("2147483647")), 2147483647);
    EXPECT_EQ(StrToInt(U("-2147483648")), std::numeric_limits<int>::min());
    EXPECT_EQ(StrToInt(U("$FFFFFFFF")), -1);   // all 32 bits, two's complement
    EXPECT_EQ(StrToInt(U("$80000000")), std::numeric_limits<int>::min());
}

TEST(StrToInt, RejectedForms)
{
    for (const char* bad : {"12 ", "", " ", "-", "+", "$", "0x", "1 2", "12a", "1.0", "--1", "2147483648",
                            "-2147483649", "$100000000", "99999999999999999999", "１２"}) {
        int value = 99;
        EXPECT_FALSE(TryStrToInt(U(bad), value)) << bad;
        EXPECT_EQ(value, 99) << bad;
        EXPECT_EQ(StrToIntDef(U(bad), -7), -7) << bad;
    }
    try {
        StrToInt(U("12 "));
        ADD_FAILURE();
    } catch (const EConvertError& e) {
        EXPECT_EQ(e.Message(), U("'12 ' не является допустимым целым числом"));
    }
}

TEST(StrToInt64, FullRange)
{
    EXPECT_EQ(StrToInt64(U("2147483648")), 2147483648LL);
    EXPECT_EQ(StrToInt64(U("9223372036854775807")), std::numeric_limits<std::int64_t>::max());
    EXPECT_EQ(StrToInt64(U("-9223372036854775808")), std::numeric_limits<std::int64_t>::min());
    EXPECT_EQ(StrToInt64(U("$FFFFFFFFFFFFFFFF")), -1);
    EXPECT_EQ(StrToInt64Def(U("9223372036854775808"), 3), 3);
    EXPECT_EQ(StrToInt64Def(U("$10000000000000000"), 3), 3);
    EXPECT_THROW(StrToInt64(U("x")), EConvertError);
}

TEST(StrToFloat, BothSeparatorsExactlyOnce)
{
    EXPECT_EQ(StrToFloat(U("1,5")), 1.5L);
    EXPECT_EQ(StrToFloat(U(" 1.5 ")), 1.5L);
    EXPECT_EQ(StrToFloat(U(",5")), 0.5L);
    EXPECT_EQ(StrToFloat(U("2.")), 2.0L);
    EXPECT_EQ(StrToFloat(U("+7")), 7.0L);
    EXPECT_EQ(StrToFloat(U("-2,5E3")), -2500.0L);
    EXPECT_EQ(StrToFloat(U("1e-2")), 0.01L);
    EXPECT_EQ(StrToFloat(U("1E-6000")), 0.0L);
    for (const char* bad : {"", "  ", ".", ",", "1,5,0", "1.2.3", "1,234.5", "1e", "1e+", "abc", "1 5",
                            "1E5000", "inf", "nan", "0x10", "$10", "--1"}) {
        long double value = 9;
        EXPECT_FALSE(TryStrToFloat(U(bad), value)) << bad;
        EXPECT_EQ(value, 9.0L) << bad;
    }
    EXPECT_EQ(StrToFloatDef(U("x"), 2.5L), 2.5L);
    try {
        StrToFloat(U("abc"));
        ADD_FAILURE();
    } catch (const EConvertError& e) {
        EXPECT_EQ(e.Message(), U("'abc' не является допустимым числом"));
    }
}

TEST(Rounding, HalvesGoToEven)
{
    EXPECT_EQ(Round(2.5L), 2);
    EXPECT_EQ(Round(3.5L), 4);
    EXPECT_EQ(Round(-2.5L), -2);
    EXPECT_EQ(Round(-3.5L), -4);
    EXPECT_EQ(Round(0.5L), 0);
    EXPECT_EQ(Round(2.4999L), 2);
    EXPECT_EQ(Round(-2.6L), -3);
    EXPECT_EQ(Trunc(2.7L), 2);
    EXPECT_EQ(Trunc(-2.7L), -2);
    EXPECT_EQ(Frac(-2.75L), -0.75L);
    EXPECT_EQ(Frac(2.75L), 0.75L);
    EXPECT_EQ(Frac(3.0L), 0.0L);
}

TEST(Rounding, NoIntegerForNanOrHugeValues)
{
    EXPECT_THROW(Round(std::numeric_limits<long double>::quiet_NaN()), EInvalidOp);
    EXPECT_THROW(Round(1e19L), EInvalidOp);
    EXPECT_THROW(Trunc(-std::numeric_limits<long double>::infinity()), EInvalidOp);
    EXPECT_EQ(Round(-9223372036854775808.0L), std::numeric_limits<std::int64_t>::min());
}

TEST(Currency, FromDoubleHalvesToEvenAtTheFourthDecimal)
{
    // 1/32 and 3/32 are exact binary fractions lying on a half ten-thousandth.
    EXPECT_EQ(TCurrency::FromDouble(0.03125L).Raw(), 312);
    EXPECT_EQ(TCurrency::FromDouble(0.09375L).Raw(), 938);
    EXPECT_EQ(TCurrency::FromDouble(-0.03125L).Raw(), -312);
    EXPECT_EQ(TCurrency::FromDouble(1.2345).Raw(), 12345);
    EXPECT_EQ(TCurrency::FromDouble(-7.0).Raw(), -70000);
    EXPECT_THROW(TCurrency::FromDouble(std::numeric_limits<long double>::quiet_NaN()), EInvalidOp);
    EXPECT_THROW(TCurrency::FromDouble(1e16L), EInvalidOp);
}

TEST(Currency, ArithmeticIsExact)
{
    TCurrency sum;
    for (int i = 0; i < 10; ++i)
        sum += TCurrency::FromDouble(0.1);
    EXPECT_EQ(sum, TCurrency::FromUnits(1));
    EXPECT_EQ((TCurrency::FromRaw(15) * 3 - TCurrency::FromRaw(5)).Raw(), 40);
    EXPECT_LT(-TCurrency::FromUnits(1), TCurrency());
}

// Money that leaves the 64-bit range raises instead of wrapping round to a wrong amount.
TEST(Currency, OverflowRaises)
{
    const TCurrency most = TCurrency::FromRaw(std::numeric_limits<std::int64_t>::max());
    const TCurrency least = TCurrency::FromRaw(std::numeric_limits<std::int64_t>::min());
    const TCurrency one = TCurrency::FromRaw(1);
    EXPECT_THROW(most + one, EOverflow);
    EXPECT_THROW(least - one, EOverflow);
    EXPECT_THROW(-least, EOverflow);
    EXPECT_THROW(TCurrency::FromUnits(50000000000000LL) * 65025, EOverflow);
    EXPECT_THROW(TCurrency::FromUnits(std::numeric_limits<std::int64_t>::max() / 1000), EOverflow);
    TCurrency sum = most;
    EXPECT_THROW(sum += one, EOverflow);
    EXPECT_EQ(sum, most);   // left as it was
    // The edges themselves are reachable.
    EXPECT_EQ((least + most).Raw(), -1);
    EXPECT_EQ((-most - one), least);
    EXPECT_EQ((TCurrency::FromRaw(-3) * -3).Raw(), 9);
}

TEST(Separators, FollowTheLocale)
{
    EXPECT_EQ(DecimalSeparator(), QLatin1Char(','));
    EXPECT_EQ(ThousandSeparator(), QChar(0x00A0));
    EXPECT_EQ(IntToStr(-42), U("-42"));
    EXPECT_EQ(IntToHex(255, 4), U("00FF"));
    EXPECT_EQ(IntToHex(0xABCDEF, 2), U("ABCDEF"));
}

} // namespace
