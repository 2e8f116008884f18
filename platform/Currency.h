#pragma once

#include <QtGlobal>

#include <compare>
#include <cstdint>

// Money: a signed 64-bit count of ten-thousandths, exact under addition and subtraction.
class TCurrency {
public:
    constexpr TCurrency() = default;
    static constexpr TCurrency FromRaw(std::int64_t raw) { TCurrency c; c.FRaw = raw; return c; }
    static constexpr TCurrency FromUnits(std::int64_t units) { return FromRaw(units * 10000); }
    // Nearest ten-thousandth, a half to the even neighbour. NaN, infinity or a value beyond
    // the 64-bit range raises EInvalidOp.
    static TCurrency FromDouble(long double value);

    constexpr std::int64_t Raw() const { return FRaw; }
    long double ToDouble() const { return FRaw / 10000.0L; }

    constexpr TCurrency operator+(TCurrency o) const { return FromRaw(FRaw + o.FRaw); }
    constexpr TCurrency operator-(TCurrency o) const { return FromRaw(FRaw - o.FRaw); }
    constexpr TCurrency operator-() const { return FromRaw(-FRaw); }
    constexpr TCurrency operator*(std::int64_t n) const { return FromRaw(FRaw * n); }
    TCurrency& operator+=(TCurrency o) { FRaw += o.FRaw; return *this; }
    TCurrency& operator-=(TCurrency o) { FRaw -= o.FRaw; return *this; }
    constexpr auto operator<=>(const TCurrency&) const = default;

private:
    std::int64_t FRaw = 0;
};
