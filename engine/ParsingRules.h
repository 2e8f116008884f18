#pragma once

// What the formula evaluator and the compiled formulas share: the error texts, the value check
// and the power, so both give the same values and raise the same errors.

#include "platform/ResString.h"

namespace ParsingRules {

inline constexpr TResString rsParserFloatError = RESSTR("Parsing", "Ошибка в операции с плавающей точкой"); // 61150
inline constexpr TResString rsParserLogError = RESSTR("Parsing", "Выражение под логарифмом меньне нуля");    // 61151
inline constexpr TResString rsParserSqrtError = RESSTR("Parsing", "Выражение под корнем меньне нуля");       // 61152
inline constexpr TResString rsParserDivByZero = RESSTR("Parsing", "Деление на нуль");                        // 61153
inline constexpr TResString rsParserBracketError = RESSTR("Parsing", "Не хватает скобочки");                 // 61154
inline constexpr TResString rsParserSyntaxError = RESSTR("Parsing", "Синтаксическая ошибка");                // 61155

[[noreturn]] void RaiseParserError(const TResString& message);
// The value, or the floating-point error when it is not finite.
long double Checked(long double value);
// b^p as the formulas compute it.
long double Power(long double base, long double exponent);

} // namespace ParsingRules
