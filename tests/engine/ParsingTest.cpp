#include "engine/Parsing.h"

#include <gtest/gtest.h>

#include <QString>

#include <cmath>
#include <numbers>

namespace {

const QString kFloatError = QStringLiteral("Ошибка в операции с плавающей точкой");
const QString kLogError = QStringLiteral("Выражение под логарифмом меньне нуля");
const QString kSqrtError = QStringLiteral("Выражение под корнем меньне нуля");
const QString kDivByZero = QStringLiteral("Деление на нуль");
const QString kBracket = QStringLiteral("Не хватает скобочки");
const QString kSyntax = QStringLiteral("Синтаксическая ошибка");

long double Eval(const QString& text)
{
    return GetFormulaValue(text);
}

// The parser's message for the text, or "no error" when it evaluates.
QString ErrorOf(const QString& text)
{
    try {
        GetFormulaValue(text);
    } catch (const ERxParserError& e) {
        return e.Message();
    }
    return QStringLiteral("no error");
}

constexpr long double kPi = std::numbers::pi_v<long double>;

} // namespace

TEST(Parsing, ShreddingFormulaWithDigitsPutIn)
{
    EXPECT_EQ(Eval("(3+5)/(3-5)"), -4.0L);
    EXPECT_EQ(ErrorOf("(4+4)/(4-4)"), kDivByZero);
}

TEST(Parsing, BlanksAndControlCharactersVanishBeforeParsing)
{
    EXPECT_EQ(Eval("2 * 3"), 6.0L);
    EXPECT_EQ(Eval("2*3"), 6.0L);
    EXPECT_EQ(Eval("2 3"), 23.0L);
    EXPECT_EQ(Eval("\t1\r\n+\x01" "2 "), 3.0L);
    EXPECT_EQ(Eval("1 . 5"), 1.5L);
}

TEST(Parsing, OperatorsPrecedenceAndSigns)
{
    EXPECT_EQ(Eval("-2^2"), -4.0L);   // read as 0-2^2
    EXPECT_EQ(Eval("+(3)"), 3.0L);
    EXPECT_EQ(Eval("--2"), 2.0L);     // 0 minus the number -2
    EXPECT_EQ(Eval("2^-1"), 0.5L);
    EXPECT_EQ(Eval("2*-3"), -6.0L);
    EXPECT_EQ(Eval("2+-3"), -1.0L);
    EXPECT_EQ(ErrorOf("2*-(3)"), kSyntax);
    EXPECT_EQ(Eval("2^3^2"), 64.0L);  // left to right
    EXPECT_EQ(Eval("2*3^2"), 36.0L);  // "^" binds no tighter than "*"
    EXPECT_EQ(Eval("2+3*4"), 14.0L);
    EXPECT_EQ(Eval("2-3-4"), -5.0L);
    EXPECT_EQ(Eval("8/4/2"), 1.0L);
    EXPECT_EQ(Eval("((2+3))*(4-1)"), 15.0L);
}

TEST(Parsing, Numbers)
{
    EXPECT_EQ(Eval("$FF"), 255.0L);
    EXPECT_EQ(Eval("$ff"), 255.0L);
    EXPECT_EQ(Eval("$FFFFFFFF"), 4294967295.0L);
    EXPECT_EQ(Eval("$10+1"), 17.0L);
    EXPECT_EQ(ErrorOf("$"), kSyntax);
    EXPECT_EQ(ErrorOf("$123456789"), kSyntax);
    EXPECT_EQ(ErrorOf("$1G"), kSyntax);
    EXPECT_EQ(Eval("1.5E1"), 15.0L);
    EXPECT_EQ(Eval("1.E1"), 10.0L);
    EXPECT_EQ(Eval("1e-1*10"), 1.0L);
    EXPECT_EQ(Eval("2E+2"), 200.0L);
    EXPECT_EQ(Eval("5."), 5.0L);
    EXPECT_EQ(Eval(".5"), 0.5L);
    EXPECT_EQ(Eval("2*-.5"), -1.0L);
    // The locale's decimal separator (a comma in the tests' Russian locale) counts as a point.
    EXPECT_EQ(Eval("1,5*2"), 3.0L);
    EXPECT_EQ(ErrorOf("1.2.3"), kSyntax);
    EXPECT_EQ(ErrorOf("1E5E1"), kSyntax);
    EXPECT_EQ(ErrorOf("1E99999"), kSyntax); // beyond the floating range: not a number
    EXPECT_EQ(Eval("1E-99999"), 0.0L);     // below it: the nearest value
}

TEST(Parsing, TruncatedInput)
{
    EXPECT_EQ(ErrorOf(""), kSyntax);
    EXPECT_EQ(ErrorOf("   "), kSyntax);
    EXPECT_EQ(ErrorOf("("), kBracket);
    EXPECT_EQ(ErrorOf("2*"), kSyntax);
    EXPECT_EQ(ErrorOf("2^"), kSyntax);
    EXPECT_EQ(ErrorOf("-"), kSyntax);
    EXPECT_EQ(ErrorOf("SQRT("), kBracket);
    EXPECT_EQ(ErrorOf("SQRT()"), kSyntax);
    EXPECT_EQ(ErrorOf("$"), kSyntax);
    EXPECT_EQ(ErrorOf("1E"), kSyntax);
    EXPECT_EQ(ErrorOf("1E+"), kSyntax);
    EXPECT_EQ(ErrorOf("P"), kSyntax);
    // Anything wrong in a divisor, even a missing one, is reported as division by zero.
    EXPECT_EQ(ErrorOf("2/"), kDivByZero);
}

TEST(Parsing, ParenthesesAndEndOfExpression)
{
    EXPECT_EQ(ErrorOf("(1+2"), kBracket);
    EXPECT_EQ(ErrorOf("1+2)"), kBracket);
    EXPECT_EQ(ErrorOf(")1+2("), kSyntax);
    EXPECT_EQ(Eval("(1)<2"), 1.0L);
    EXPECT_EQ(Eval("(7)=7"), 7.0L);
    EXPECT_EQ(Eval("(7)>"), 7.0L);
    EXPECT_EQ(ErrorOf("1<2"), kSyntax);
    EXPECT_EQ(ErrorOf("(1)#"), kSyntax);
    EXPECT_EQ(ErrorOf("(1<2)"), kSyntax);     // the number itself needs a terminator
    EXPECT_EQ(ErrorOf("((1)<2)"), kBracket);  // the inner expression ends at "<", not at ")"
    EXPECT_EQ(ErrorOf("SQRT((4)=)"), kBracket);
    EXPECT_EQ(ErrorOf("2(3)"), kSyntax);
    EXPECT_EQ(ErrorOf("2×3"), kSyntax);
}

TEST(Parsing, ConstantsAndFunctionNames)
{
    EXPECT_EQ(Eval("PI"), kPi);
    EXPECT_EQ(Eval("E"), std::numbers::e_v<long double>);
    EXPECT_EQ(Eval("2*pi"), 2 * kPi);
    EXPECT_EQ(Eval("E-E"), 0.0L);
    EXPECT_EQ(ErrorOf("PIE"), kSyntax);
    EXPECT_EQ(ErrorOf("E(1)"), kSyntax);
    EXPECT_EQ(ErrorOf("SQRT 4"), kSyntax);
    EXPECT_EQ(ErrorOf("FOO(1)"), kSyntax);
    EXPECT_EQ(Eval("sqrt(16)"), 4.0L);
    EXPECT_EQ(Eval("SQR(3)"), 9.0L);
    EXPECT_EQ(Eval("SQRT(SQR(5))"), 5.0L);
    EXPECT_EQ(Eval("EXP(0)"), 1.0L);
    EXPECT_NEAR(static_cast<double>(Eval("LN(E)")), 1.0, 1e-15);
    EXPECT_NEAR(static_cast<double>(Eval("LOG(1000)")), 3.0, 1e-15);
    EXPECT_EQ(Eval("ABS(-2.5)"), 2.5L);
    EXPECT_EQ(Eval("SIN(0)+TAN(0)+ARCTAN(0)"), 0.0L);
    EXPECT_EQ(Eval("COS(0)"), 1.0L);
    EXPECT_NEAR(static_cast<double>(Eval("ARCTAN(1)*4")), std::numbers::pi, 1e-15);
    EXPECT_EQ(Eval("SIGN(-3)"), -1.0L);
    EXPECT_EQ(Eval("SIGN(0)"), 0.0L);
    EXPECT_EQ(Eval("SIGN(0.1)"), 1.0L);
    EXPECT_EQ(Eval("NOT(5)"), -6.0L);
    EXPECT_EQ(Eval("NOT(5.9)"), -6.0L);
    EXPECT_EQ(Eval("NOT(-1)"), 0.0L);
}

TEST(Parsing, RoundingFunctions)
{
    EXPECT_EQ(Eval("INT(2.5)"), 2.0L);
    EXPECT_EQ(Eval("ROUND(2.5)"), 2.0L);
    EXPECT_EQ(Eval("INT(3.5)"), 4.0L);
    EXPECT_EQ(Eval("ROUND(-2.5)"), -2.0L);
    EXPECT_EQ(Eval("ROUND(-3.5)"), -4.0L);
    EXPECT_EQ(Eval("ROUND(2.6)"), 3.0L);
    EXPECT_EQ(Eval("TRUNC(-2.7)"), -2.0L);
    EXPECT_EQ(Eval("TRUNC(2.7)"), 2.0L);
    EXPECT_EQ(Eval("FRAC(-2.75)"), -0.75L);
    EXPECT_EQ(Eval("FRAC(1E30)"), 0.0L);
    // Beyond 64-bit integers the conversion fails instead of giving a wrapped value.
    EXPECT_EQ(ErrorOf("ROUND(1E30)"), kFloatError);
    EXPECT_EQ(ErrorOf("TRUNC(-1E19)"), kFloatError);
    EXPECT_EQ(ErrorOf("NOT(1E19)"), kFloatError);
}

// The 64-bit range is checked on the whole value the function makes, in long double, where
// the formula's number is already rounded to 64 significant bits: next to 2^63 the steps are
// halves below it and ones above it, and -2^63 itself fits.
TEST(Parsing, IntegerFunctionsAtTheEdgesOf64Bits)
{
    constexpr long double kMax = 9223372036854775807.0L;   // 2^63 - 1
    constexpr long double kMin = -9223372036854775808.0L;  // -2^63
    struct TCase {
        const char* Text;
        long double Value;   // when no error
        bool Fails;
    };
    const TCase cases[] = {
        // 2^63 - 0.5 rounds (half to even) to 2^63, but cuts to 2^63 - 1.
        {"INT(9223372036854775807.5)", 0, true},
        {"ROUND(9223372036854775807.5)", 0, true},
        {"TRUNC(9223372036854775807.5)", kMax, false},
        {"NOT(9223372036854775807.5)", kMin, false},
        {"FRAC(9223372036854775807.5)", 0.5L, false},
        {"INT(9223372036854775807)", kMax, false},
        {"INT(9223372036854775806.5)", kMax - 1, false},
        // .7 is read as the nearest half, .8 as 2^63 itself.
        {"TRUNC(9223372036854775807.7)", kMax, false},
        {"TRUNC(9223372036854775807.8)", 0, true},
        {"NOT(9223372036854775808)", 0, true},
        // The negative end: -2^63 fits, the next whole value below it does not.
        {"INT(-9223372036854775808)", kMin, false},
        {"TRUNC(-9223372036854775808)", kMin, false},
        {"NOT(-9223372036854775808)", kMax, false},
        {"INT(-9223372036854775809)", 0, true},
        {"TRUNC(-9223372036854775808.9)", 0, true},     // read as -2^63 - 1
        {"ROUND(-9223372036854775808.9)", 0, true},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Text);
        if (c.Fails) {
            EXPECT_EQ(ErrorOf(c.Text), kFloatError);
        } else {
            EXPECT_EQ(ErrorOf(c.Text), QStringLiteral("no error"));
            EXPECT_EQ(Eval(c.Text), c.Value);
        }
    }
    // Inside a larger formula the error is still the parser's own.
    EXPECT_EQ(ErrorOf("1+INT(9223372036854775807.5)*0"), kFloatError);
}

TEST(Parsing, Power)
{
    EXPECT_EQ(Eval("2^10"), 1024.0L);
    EXPECT_EQ(Eval("10^-2"), 1.0L / 100);
    EXPECT_EQ(Eval("(-2)^3"), -8.0L);
    EXPECT_EQ(Eval("(0-2)^2"), 4.0L);
    EXPECT_EQ(Eval("0^0"), 1.0L);
    EXPECT_EQ(Eval("0^2.5"), 0.0L);
    EXPECT_EQ(Eval("1.5^2"), 2.25L);
    EXPECT_NEAR(static_cast<double>(Eval("2^0.5")), std::sqrt(2.0), 1e-15);
    EXPECT_EQ(Eval("1^2147483647"), 1.0L);
    EXPECT_EQ(Eval("(-1)^2147483647"), -1.0L);
    EXPECT_EQ(ErrorOf("0^-1"), kFloatError);
    EXPECT_EQ(ErrorOf("(-8)^(1/3)"), kFloatError);
    EXPECT_EQ(ErrorOf("0^-0.5"), kFloatError);
    EXPECT_EQ(ErrorOf("10^5000"), kFloatError);
    EXPECT_EQ(ErrorOf("(-1)^1E10"), kFloatError); // too large to multiply out: through the logarithm
}

TEST(Parsing, ErrorsOfFunctionsAndOperations)
{
    EXPECT_EQ(ErrorOf("SQRT(-1)"), kSqrtError);
    EXPECT_EQ(Eval("SQRT(0)"), 0.0L);
    EXPECT_EQ(ErrorOf("LN(0)"), kLogError);
    EXPECT_EQ(ErrorOf("LOG(-1)"), kLogError);
    EXPECT_EQ(ErrorOf("1/0"), kDivByZero);
    EXPECT_EQ(ErrorOf("1/(2-2)"), kDivByZero);
    EXPECT_EQ(ErrorOf("1/SQRT(-1)"), kDivByZero);
    EXPECT_EQ(ErrorOf("SQRT(-1)/2"), kSqrtError);
    EXPECT_EQ(ErrorOf("1E4000/1E-4000"), kDivByZero);
    EXPECT_EQ(ErrorOf("1E4000*1E4000"), kFloatError);
    EXPECT_EQ(ErrorOf("1E4932+1E4932"), kFloatError);
    EXPECT_EQ(ErrorOf("0-1E4932-1E4932"), kFloatError);
    EXPECT_EQ(ErrorOf("EXP(100000)"), kFloatError);
    EXPECT_EQ(ErrorOf("SQR(1E3000)"), kFloatError);
    EXPECT_EQ(ErrorOf("ARCSIN(2)"), kFloatError);
    EXPECT_EQ(ErrorOf("ARCCOS(-1.5)"), kFloatError);
    // A parser error inside a function passes unchanged.
    EXPECT_EQ(ErrorOf("ABS(SQRT(-4))"), kSqrtError);
}

TEST(Parsing, ArcSinAndArcCosOverTheWholeDomain)
{
    EXPECT_EQ(Eval("ARCSIN(1)"), kPi / 2);
    EXPECT_EQ(Eval("ARCSIN(-1)"), -kPi / 2);
    EXPECT_EQ(Eval("ARCSIN(0)"), 0.0L);
    EXPECT_NEAR(static_cast<double>(Eval("ARCSIN(0.5)")), std::numbers::pi / 6, 1e-15);
    EXPECT_EQ(Eval("ARCCOS(1)"), 0.0L);
    EXPECT_EQ(Eval("ARCCOS(-1)"), kPi);
    EXPECT_EQ(Eval("ARCCOS(0)"), kPi / 2);
}

TEST(Parsing, DeepNesting)
{
    const int depth = 500;
    EXPECT_EQ(Eval(QString(depth, '(') + "1+1" + QString(depth, ')')), 2.0L);
    QString roots;
    for (int i = 0; i < 200; ++i)
        roots += "SQRT(";
    EXPECT_EQ(Eval(roots + "1" + QString(200, ')')), 1.0L);
    // A hostile depth is refused instead of exhausting the stack.
    const int huge = 200000;
    EXPECT_EQ(ErrorOf(QString(huge, '(') + "1" + QString(huge, ')')), kSyntax);
}

TEST(Parsing, ParserKeepsNoStateBetweenTexts)
{
    TRxMathParser parser;
    EXPECT_THROW(parser.Evaluate("(((1/0"), ERxParserError);
    EXPECT_THROW(parser.Evaluate("SQRT(SQRT(-1))"), ERxParserError);
    EXPECT_EQ(parser.Evaluate("2+2"), 4.0L);
    EXPECT_EQ(parser.Evaluate("-1"), -1.0L);
}
