#include "platform/Currency.h"
#include "platform/Exceptions.h"
#include "platform/ResString.h"

#include <cmath>

namespace {
const TResString SInvalidOp = RESSTR("Currency", "Invalid floating point operation");
const TResString SOverflow = RESSTR("Currency", "Floating point overflow");
}

void TCurrency::Overflow()
{
    throw EOverflow(LoadResString(SOverflow));
}

TCurrency TCurrency::FromDouble(long double value)
{
    // Scaled in extended precision and rounded in the default mode: a half goes to the even
    // neighbour, as the floating-point unit did when storing a currency value.
    const long double scaled = std::nearbyint(value * 10000.0L);
    constexpr long double limit = 9223372036854775808.0L;   // 2^63
    if (!(scaled >= -limit && scaled < limit))
        throw EInvalidOp(LoadResString(SInvalidOp));
    return FromRaw(static_cast<std::int64_t>(scaled));
}
