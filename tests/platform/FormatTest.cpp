#include "platform/DelphiText.h"
#include "tests/common/TestHelpers.h"

#include <gtest/gtest.h>

#include <limits>
#include <ostream>

namespace {

TEST(Format, IntegersWithPrecisionAndWidth)
{
    EXPECT_EQ(Format(U("%.2d"), {7}), U("07"));
    EXPECT_EQ(Format(U("%.3d.%.2d"), {5, 9}), U("005.09"));
    EXPECT_EQ(Format(U("%.3d"), {-5}), U("-005"));
    EXPECT_EQ(Format(U("%.2d"), {123}), U("123"));
    EXPECT_EQ(Format(U("%.d|%d"), {0, 0}), U("0|0"));
    EXPECT_EQ(Format(U("[%4d][%-4d]"), {-7, 7}), U("[  -7][7   ]"));
    EXPECT_EQ(Format(U("%6.3d"), {42}), U("   042"));
    EXPECT_EQ(Format(U("%d"), {std::numeric_limits<long long>::min()}), U("-9223372036854775808"));
    EXPECT_EQ(Format(U("%D"), {12}), U("12"));
}

TEST(Format, UnsignedAndHexUseTheBitPattern)
{
    EXPECT_EQ(Format(U("%x"), {255}), U("FF"));
    EXPECT_EQ(Format(U("%.8x"), {0xBEEF}), U("0000BEEF"));
    EXPECT_EQ(Format(U("%x"), {-1}), U("FFFFFFFF"));
    EXPECT_EQ(Format(U("%x"), {-4294967296LL}), U("FFFFFFFF00000000"));
    EXPECT_EQ(Format(U("%u"), {-1}), U("4294967295"));
    EXPECT_EQ(Format(U("%u"), {3000000000U}), U("3000000000"));
}

TEST(Format, IndexSpecifiersMoveTheArgumentCounter)
{
    EXPECT_EQ(Format(U("%0:s-%1:d-%0:s"), {U("a"), 5}), U("a-5-a"));
    // After "%0:s" the next plain specifier takes argument 1.
    EXPECT_EQ(Format(U("%1:s %0:s %s"), {U("x"), U("y")}), U("y x y"));
    EXPECT_EQ(Format(U("%0:.2d:%0:.3d"), {7}), U("07:007"));
}

TEST(Format, StringsWidthAndCut)
{
    EXPECT_EQ(Format(U("%5s|%-5s|"), {U("ab"), U("cd")}), U("   ab|cd   |"));
    EXPECT_EQ(Format(U("%.3s"), {U("abcdef")}), U("abc"));
    EXPECT_EQ(Format(U("%2s"), {U("long")}), U("long"));
    EXPECT_EQ(Format(U("Тираж № %d от %s"), {12, U("07/04/2016 M")}), U("Тираж № 12 от 07/04/2016 M"));
    EXPECT_EQ(Format(U("%s"), {QChar(0x2116)}), U("№"));
    EXPECT_EQ(Format(U("100%% %s%%"), {U("x")}), U("100% x%"));
    EXPECT_EQ(Format(U("no specifiers"), {}), U("no specifiers"));
}

TEST(Format, StarTakesWidthAndPrecisionFromArguments)
{
    EXPECT_EQ(Format(U("%*d|"), {5, 42}), U("   42|"));
    EXPECT_EQ(Format(U("%-*d|"), {4, 1}), U("1   |"));
    EXPECT_EQ(Format(U("%.*f"), {1, 2.25}), U("2,3"));
}

TEST(Format, FixedAndNumberRoundTheDecimalTextHalfAway)
{
    EXPECT_EQ(Format(U("%.1f"), {2.25}), U("2,3"));
    EXPECT_EQ(Format(U("%.1f"), {-2.25}), U("-2,3"));
    EXPECT_EQ(Format(U("%.1f"), {0.35}), U("0,3"));      // 0.34999... as a double
    EXPECT_EQ(Format(U("%.2f"), {2.675}), U("2,67"));    // 2.67499... as a double
    EXPECT_EQ(Format(U("%f"), {1.0}), U("1,00"));
    EXPECT_EQ(Format(U("%.0f"), {2.5}), U("3"));
    EXPECT_EQ(Format(U("%.3f"), {9.9996}), U("10,000"));
    EXPECT_EQ(Format(U("%.2f"), {-0.001}), U("0,00"));   // no "-0,00"
    EXPECT_EQ(Format(U("%8.2f|"), {3.14159}), U("    3,14|"));
    EXPECT_EQ(Format(U("%n"), {1234567.891}), U("1\u00A0234\u00A0567,89"));
    EXPECT_EQ(Format(U("%.3n"), {-1234.5}), U("-1\u00A0234,500"));
    EXPECT_EQ(Format(U("%.0n"), {999.5}), U("1\u00A0000"));
    EXPECT_EQ(Format(U("%n Kb"), {0.5}), U("0,50 Kb"));
}

TEST(Format, CurrencyArgumentsAreExact)
{
    // 2.675 cannot be held by a double, but a currency value holds it exactly.
    EXPECT_EQ(Format(U("%.2f"), {TCurrency::FromRaw(26750)}), U("2,68"));
    EXPECT_EQ(Format(U("%f"), {TCurrency::FromUnits(-3)}), U("-3,00"));
    EXPECT_EQ(Format(U("%.4n"), {TCurrency::FromRaw(123456789)}), U("12\u00A0345,6789"));
}

TEST(Format, ExponentAndGeneral)
{
    EXPECT_EQ(Format(U("%e"), {1000.0}), U("1,00000000000000E+003"));
    EXPECT_EQ(Format(U("%.3e"), {-0.00123}), U("-1,23E-003"));
    EXPECT_EQ(Format(U("%.2e"), {9.99}), U("1,0E+001"));
    EXPECT_EQ(Format(U("%.3e"), {0.0}), U("0,00E+000"));
    EXPECT_EQ(Format(U("%g"), {1234.5}), U("1234,5"));
    EXPECT_EQ(Format(U("%g"), {1.0 / 3}), U("0,333333333333333"));
    EXPECT_EQ(Format(U("%.3g"), {2.0 / 3}), U("0,667"));
}

TEST(Format, MoneyUsesTheLocaleCurrencyPattern)
{
    EXPECT_EQ(Format(U("%m"), {1234.5}), U("1\u00A0234,50\u00A0₽"));
    EXPECT_EQ(Format(U("%m"), {TCurrency::FromRaw(-12355)}), U("-1,24\u00A0₽"));
}

TEST(Format, SpecialFloats)
{
    EXPECT_EQ(Format(U("%f"), {std::numeric_limits<double>::quiet_NaN()}), U("NAN"));
    EXPECT_EQ(Format(U("%.2n"), {-std::numeric_limits<double>::infinity()}), U("-INF"));
}

void ExpectInvalid(const QString& format, std::initializer_list<TVarRec> args)
{
    try {
        Format(format, args);
        ADD_FAILURE() << "no error for " << format.toStdString();
    } catch (const EConvertError& e) {
        EXPECT_EQ(e.Message(), U("Format '") + format + U("' invalid or incompatible with argument"));
    }
}

TEST(Format, MismatchesAndMissingArgumentsRaise)
{
    ExpectInvalid(U("%d"), {1.5});
    ExpectInvalid(U("%d"), {TCurrency::FromUnits(1)});
    ExpectInvalid(U("%x"), {U("ff")});
    ExpectInvalid(U("%s"), {5});
    ExpectInvalid(U("%f"), {5});
    ExpectInvalid(U("%n"), {U("1")});
    ExpectInvalid(U("%d"), {});
    ExpectInvalid(U("%d %d"), {1});
    ExpectInvalid(U("%2:d"), {1, 2});
    ExpectInvalid(U("%*d"), {U("5"), 1});
    ExpectInvalid(U("trailing %"), {1});
    ExpectInvalid(U("%5"), {1});
    ExpectInvalid(U("%k"), {1});
    ExpectInvalid(U("%99999999999d"), {1});
}

} // namespace
