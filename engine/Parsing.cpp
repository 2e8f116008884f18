#include "engine/Parsing.h"

#include "engine/ParsingRules.h"

#include "platform/DelphiText.h"
#include "platform/ResString.h"

#include <QByteArray>
#include <QStringView>

#include <array>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <locale.h>
#include <numbers>

using namespace ParsingRules;

namespace {

// Parentheses and function calls nest by recursion; a formula is a line or two, so this bound
// only stops a hostile text from exhausting the stack.
constexpr int kMaxNesting = 1000;

// 2^63: from here on a long double has no fraction and no longer fits a 64-bit integer.
constexpr long double kInt64Limit = 9223372036854775808.0L;

bool IsDigit(QChar c)
{
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

// Value of an upper-case hexadecimal digit, -1 for any other character.
int HexDigitValue(QChar c)
{
    if (IsDigit(c))
        return c.unicode() - u'0';
    if (c >= QLatin1Char('A') && c <= QLatin1Char('F'))
        return c.unicode() - u'A' + 10;
    return -1;
}

// The collected text of a number: [sign] digits [. digits] [E [sign] digits]. It is read in the
// "C" locale, whatever the process locale says about separators.
bool TextToExtended(const QByteArray& text, long double& value)
{
    qsizetype i = 0;
    const qsizetype n = text.size();
    auto digits = [&]() {
        const qsizetype from = i;
        while (i < n && text[i] >= '0' && text[i] <= '9')
            ++i;
        return i > from;
    };
    if (i < n && (text[i] == '+' || text[i] == '-'))
        ++i;
    if (!digits())
        return false;
    if (i < n && text[i] == '.') {
        ++i;
        if (!digits())
            return false;
    }
    if (i < n && text[i] == 'E') {
        ++i;
        if (i < n && (text[i] == '+' || text[i] == '-'))
            ++i;
        if (!digits())
            return false;
    }
    if (i != n)
        return false;

    static const locale_t cLocale = newlocale(LC_ALL_MASK, "C", locale_t(nullptr));
    if (!cLocale)
        return false;
    const long double result = strtold_l(text.constData(), nullptr, cLocale);
    // Too large for the type: not a number. Too small: the nearest value (0) is kept.
    if (!std::isfinite(result))
        return false;
    value = result;
    return true;
}

enum class TFunc {
    ArcTan, Cos, Sin, Tan, Abs, Exp, Ln, Log, Sqrt, Sqr, Int, Frac, Trunc, Round,
    ArcSin, ArcCos, Sign, Not
};

struct TFuncEntry {
    const char16_t* Name;
    TFunc Func;
};

// Searched in this order; a name counts only when "(" follows it, so SQRT( is never SQR.
constexpr std::array<TFuncEntry, 18> kFunctions{{
    {u"ARCTAN", TFunc::ArcTan}, {u"COS", TFunc::Cos},     {u"SIN", TFunc::Sin},
    {u"TAN", TFunc::Tan},       {u"ABS", TFunc::Abs},     {u"EXP", TFunc::Exp},
    {u"LN", TFunc::Ln},         {u"LOG", TFunc::Log},     {u"SQRT", TFunc::Sqrt},
    {u"SQR", TFunc::Sqr},       {u"INT", TFunc::Int},     {u"FRAC", TFunc::Frac},
    {u"TRUNC", TFunc::Trunc},   {u"ROUND", TFunc::Round}, {u"ARCSIN", TFunc::ArcSin},
    {u"ARCCOS", TFunc::ArcCos}, {u"SIGN", TFunc::Sign},   {u"NOT", TFunc::Not},
}};

// Integer conversions work in 64 bits: a whole value outside [-2^63, 2^63) is a floating error,
// as an integer store of it would be. The range is checked on the value after rounding or
// cutting, where the check is exact: 2^63 - 0.5 cuts to 2^63 - 1 but rounds (half to even) to
// 2^63, and -2^63 itself fits.
std::int64_t WholeToInt64(long double whole)
{
    if (!(whole >= -kInt64Limit && whole < kInt64Limit))
        RaiseParserError(rsParserFloatError);
    return static_cast<std::int64_t>(whole);
}

long double ApplyFunction(TFunc func, long double x)
{
    constexpr long double pi = std::numbers::pi_v<long double>;
    switch (func) {
    case TFunc::ArcTan:
        return Checked(std::atan(x));
    case TFunc::Cos:
        return Checked(std::cos(x));
    case TFunc::Sin:
        return Checked(std::sin(x));
    case TFunc::Tan: {
        const long double c = std::cos(x);
        if (c == 0)
            RaiseParserError(rsParserDivByZero);
        return Checked(std::sin(x) / c);
    }
    case TFunc::Abs:
        return std::fabs(x);
    case TFunc::Exp:
        return Checked(std::exp(x));
    case TFunc::Ln:
        if (x <= 0)
            RaiseParserError(rsParserLogError);
        return Checked(std::log(x));
    case TFunc::Log:
        if (x <= 0)
            RaiseParserError(rsParserLogError);
        return Checked(std::log(x) / std::log(10.0L));
    case TFunc::Sqrt:
        if (x < 0)
            RaiseParserError(rsParserSqrtError);
        return Checked(std::sqrt(x));
    case TFunc::Sqr:
        return Checked(x * x);
    case TFunc::Int:
    case TFunc::Round:
        // The default rounding mode: a half to the even neighbour.
        return static_cast<long double>(WholeToInt64(std::nearbyint(x)));
    case TFunc::Trunc:
        return static_cast<long double>(WholeToInt64(std::trunc(x)));
    case TFunc::Frac:
        // From 2^63 on a long double holds no fraction.
        return std::fabs(x) < kInt64Limit ? Frac(x) : 0.0L;
    case TFunc::ArcSin:
        // Both ends of the domain are exact; the quotient below is infinite there.
        if (x == 1)
            return pi / 2;
        if (x == -1)
            return -pi / 2;
        return Checked(std::atan(Checked(x / std::sqrt(1 - x * x))));
    case TFunc::ArcCos:
        if (x == 1)
            return 0;
        if (x == -1)
            return pi;
        return Checked(pi / 2 - std::atan(Checked(x / std::sqrt(1 - x * x))));
    case TFunc::Sign:
        return x > 0 ? 1 : (x < 0 ? -1 : 0);
    case TFunc::Not:
        return static_cast<long double>(~WholeToInt64(std::trunc(x)));
    }
    RaiseParserError(rsParserFloatError);
}

} // namespace

namespace ParsingRules {

[[noreturn]] void RaiseParserError(const TResString& message)
{
    throw ERxParserError(LoadResString(message));
}

long double Checked(long double value)
{
    if (!std::isfinite(value))
        RaiseParserError(rsParserFloatError);
    return value;
}

// b^p. Whole exponents multiply by repeated squaring, which is exact where the product is;
// the rest goes through the logarithm, so a negative base needs a whole exponent.
long double Power(long double base, long double exponent)
{
    if (exponent == 0)
        return 1;
    if (base == 0 && exponent > 0)
        return 0;
    const long double magnitude = std::fabs(exponent);
    if (exponent == std::trunc(exponent) && magnitude <= 2147483647.0L) {
        auto n = static_cast<std::uint32_t>(magnitude);
        long double result = 1;
        long double square = base;
        while (n != 0) {
            if (n & 1u)
                result *= square;
            n >>= 1;
            if (n != 0)
                square *= square;
        }
        if (exponent < 0)
            result = 1 / result;
        return Checked(result);
    }
    return Checked(std::exp(exponent * std::log(base)));
}

} // namespace ParsingRules

// ---------------------------------------------------------------------------------------
// TRxFormulaText

QChar TRxFormulaText::CharAt(qsizetype index) const
{
    return index >= 0 && index < FText.size() ? FText.at(index) : QChar(u'\0');
}

QChar TRxFormulaText::Current() const
{
    return CharAt(FPos);
}

bool TRxFormulaText::IsTerminator(QChar c) const
{
    switch (c.unicode()) {
    case u'\0':
    case u')':
    case u'*':
    case u'+':
    case u'-':
    case u'/':
    case u'^':
        return true;
    default:
        return false;
    }
}

void TRxFormulaText::EnterNesting()
{
    if (++FDepth > kMaxNesting)
        RaiseParserError(rsParserSyntaxError);
}

void TRxFormulaText::LeaveNesting()
{
    if (Current() != QLatin1Char(')'))
        RaiseParserError(rsParserBracketError);
    ++FPos;
    --FDepth;
}

void TRxFormulaText::EndExpression() const
{
    // Comparison signs and the comma only end an expression; what follows them is not read.
    switch (Current().unicode()) {
    case u'\0':
    case u')':
    case u',':
    case u'<':
    case u'=':
    case u'>':
        return;
    default:
        RaiseParserError(rsParserSyntaxError);
    }
}

void TRxFormulaText::Prepare(const QString& text)
{
    FText.clear();
    FText.reserve(text.size() + 2);
    FPos = 0;
    FDepth = 0;

    qsizetype balance = 0;
    for (const QChar c : text) {
        if (c == QLatin1Char('('))
            ++balance;
        else if (c == QLatin1Char(')'))
            --balance;
        // Blanks and control characters go, also inside numbers: "2 3" is 23.
        if (c.unicode() > u' ')
            FText.append(c.unicode() < 128 ? c.toUpper() : c);
    }
    if (balance != 0)
        RaiseParserError(rsParserBracketError);

    // A sign at the very start works on the whole first term: -2^2 is 0-2^2.
    if (!FText.isEmpty() && (FText.at(0) == QLatin1Char('+') || FText.at(0) == QLatin1Char('-')))
        FText.prepend(QLatin1Char('0'));
    FText.append(QChar(u'\0'));
}

bool TRxFormulaText::GetHexNumber(long double& value)
{
    const qsizetype start = FPos;
    ++FPos; // '$'
    std::uint32_t number = 0;
    int count = 0;
    for (int digit = HexDigitValue(Current()); digit >= 0; digit = HexDigitValue(Current())) {
        if (count < 8)
            number = number * 16u + static_cast<std::uint32_t>(digit);
        ++count;
        ++FPos;
    }
    if (count < 1 || count > 8 || !IsTerminator(Current())) {
        FPos = start;
        return false;
    }
    value = number;
    return true;
}

bool TRxFormulaText::GetNumber(long double& value)
{
    if (Current() == QLatin1Char('$'))
        return GetHexNumber(value);

    const QChar separator = DecimalSeparator();
    auto isPoint = [&](QChar c) { return c == QLatin1Char('.') || c == separator; };
    QChar c = Current();
    if (!(c == QLatin1Char('+') || c == QLatin1Char('-') || isPoint(c) || IsDigit(c)))
        return false;

    const qsizetype start = FPos;
    QByteArray number;
    if (c == QLatin1Char('+') || c == QLatin1Char('-')) {
        number.append(c.toLatin1());
        ++FPos;
    }
    if (isPoint(Current())) {
        number.append("0.");
        ++FPos;
    }
    bool hasExponent = false;
    for (;;) {
        c = Current();
        if (IsDigit(c)) {
            number.append(c.toLatin1());
        } else if (isPoint(c)) {
            number.append('.');
        } else if (c == QLatin1Char('E')) {
            if (number.endsWith('.'))
                number.append('0');
            number.append('E');
            hasExponent = true;
            const QChar next = CharAt(FPos + 1);
            if (next == QLatin1Char('+') || next == QLatin1Char('-')) {
                number.append(next.toLatin1());
                ++FPos;
            }
        } else {
            break;
        }
        ++FPos;
    }
    if (number.endsWith('.') && !hasExponent)
        number.append('0');

    if (!TextToExtended(number, value) || !IsTerminator(Current())) {
        FPos = start;
        return false;
    }
    return true;
}

bool TRxFormulaText::GetConst(long double& value)
{
    const QStringView rest = QStringView(FText).mid(FPos);
    if (rest.startsWith(u"PI") && IsTerminator(CharAt(FPos + 2))) {
        FPos += 2;
        value = std::numbers::pi_v<long double>;
        return true;
    }
    if (rest.startsWith(u'E') && IsTerminator(CharAt(FPos + 1))) {
        FPos += 1;
        value = std::numbers::e_v<long double>;
        return true;
    }
    return false;
}

int TRxFormulaText::FunctionAt() const
{
    const QStringView rest = QStringView(FText).mid(FPos);
    for (std::size_t f = 0; f < kFunctions.size(); ++f) {
        const QStringView name(kFunctions[f].Name);
        if (rest.startsWith(name) && CharAt(FPos + name.size()) == QLatin1Char('('))
            return static_cast<int>(f);
    }
    return -1;
}

qsizetype TRxFormulaText::FunctionNameLength(int function)
{
    return QStringView(kFunctions[static_cast<std::size_t>(function)].Name).size();
}

long double TRxFormulaText::ApplyFunction(int function, long double x)
{
    // A parser error passes as it is; whatever else goes wrong inside a function is the
    // parser's floating error, never an error of another kind escaping the formula's value.
    try {
        return ::ApplyFunction(kFunctions[static_cast<std::size_t>(function)].Func, x);
    } catch (const ERxParserError&) {
        throw;
    } catch (const std::exception&) {
        RaiseParserError(rsParserFloatError);
    }
}

// ---------------------------------------------------------------------------------------
// TRxMathParser

long double TRxMathParser::Evaluate(const QString& text)
{
    Prepare(text);
    return Expression();
}

long double TRxMathParser::Expression()
{
    long double result = Term();
    for (;;) {
        const QChar c = Current();
        if (c == QLatin1Char('+')) {
            ++FPos;
            const long double right = Term();
            result = Checked(result + right);
        } else if (c == QLatin1Char('-')) {
            ++FPos;
            const long double right = Term();
            result = Checked(result - right);
        } else {
            break;
        }
    }
    EndExpression();
    return result;
}

long double TRxMathParser::Term()
{
    long double result = Factor();
    for (;;) {
        const QChar c = Current();
        if (c == QLatin1Char('*')) {
            ++FPos;
            const long double right = Factor();
            result = Checked(result * right);
        } else if (c == QLatin1Char('/')) {
            ++FPos;
            // Whatever goes wrong with the divisor or the division is reported as division by zero.
            long double divisor = 0;
            try {
                divisor = Factor();
            } catch (const Exception&) {
                RaiseParserError(rsParserDivByZero);
            }
            if (divisor == 0)
                RaiseParserError(rsParserDivByZero);
            const long double quotient = result / divisor;
            if (!std::isfinite(quotient))
                RaiseParserError(rsParserDivByZero);
            result = quotient;
        } else if (c == QLatin1Char('^')) {
            ++FPos;
            const long double exponent = Factor();
            result = Power(result, exponent);
        } else {
            return result;
        }
    }
}

long double TRxMathParser::Factor()
{
    long double value = 0;
    if (Current() == QLatin1Char('(')) {
        EnterNesting();
        ++FPos;
        value = Expression();
        LeaveNesting();
        return value;
    }
    if (GetNumber(value) || GetConst(value) || GetFunction(value))
        return value;
    RaiseParserError(rsParserSyntaxError);
}

bool TRxMathParser::GetFunction(long double& value)
{
    const int function = FunctionAt();
    if (function < 0)
        return false;
    EnterNesting();
    FPos += FunctionNameLength(function) + 1;
    const long double argument = Expression();
    LeaveNesting();
    value = ApplyFunction(function, argument);
    return true;
}

long double GetFormulaValue(const QString& text)
{
    TRxMathParser parser;
    return parser.Evaluate(text);
}
