#pragma once

#include <QtGlobal>

#include <compare>
#include <cstdint>

// Money: a signed 64-bit count of ten-thousandths, exact under addition and subtraction.
// An operation whose result leaves the 64-bit range raises EOverflow instead of wrapping.
class TCurrency {
public:
    constexpr TCurrency() = default;
    static constexpr TCurrency FromRaw(std::int64_t raw) { TCurrency c; c.FRaw = raw; return c; }
    static constexpr TCurrency FromUnits(std::int64_t units) { return FromRaw(Mul(units, 10000)); }
    // Nearest ten-thousandth, a half to the even neighbour. NaN, infinity or a value beyond
    // the 64-bit range raises EInvalidOp.
    static TCurrency FromDouble(long double value);

    constexpr std::int64_t Raw() const { return FRaw; }
    long double ToDouble() const { return FRaw / 10000.0L; }

    constexpr TCurrency operator+(TCurrency o) const { return FromRaw(Add(FRaw, o.FRaw)); }
    constexpr TCurrency operator-(TCurrency o) const { return FromRaw(Sub(FRaw, o.FRaw)); }
    constexpr TCurrency operator-() const { return FromRaw(Sub(0, FRaw)); }
    constexpr TCurrency operator*(std::int64_t n) const { return FromRaw(Mul(FRaw, n)); }
    TCurrency& operator+=(TCurrency o) { FRaw = Add(FRaw, o.FRaw); return *this; }
    TCurrency& operator-=(TCurrency o) { FRaw = Sub(FRaw, o.FRaw); return *this; }
    constexpr auto operator<=>(const TCurrency&) const = default;

private:
    [[noreturn]] static void Overflow();
    static constexpr std::int64_t Add(std::int64_t a, std::int64_t b)
    {
        std::int64_t r = 0;
        if (__builtin_add_overflow(a, b, &r))
            Overflow();
        return r;
    }
    static constexpr std::int64_t Sub(std::int64_t a, std::int64_t b)
    {
        std::int64_t r = 0;
        if (__builtin_sub_overflow(a, b, &r))
            Overflow();
        return r;
    }
    static constexpr std::int64_t Mul(std::int64_t a, std::int64_t b)
    {
        std::int64_t r = 0;
        if (__builtin_mul_overflow(a, b, &r))
            Overflow();
        return r;
    }

    std::int64_t FRaw = 0;
};
