// Number and date texts with the program's conversion rules: integers (decimal and '$'
// hexadecimal), floats with either decimal separator, money, calendar dates. The raising forms
// raise EConvertError (EInvalidOp for a float with no integer or money counterpart).
// Invariants: a value written as text reads back as the same value.

#include "fuzz/FuzzTargets.h"
#include "platform/DateTime.h"
#include "platform/DelphiText.h"

#include <cmath>

void FuzzNumberText(const std::uint8_t* data, std::size_t size)
{
    TFuzzInput in(data, size);
    const int year = static_cast<int>(in.Bits(2)) % 10002;
    const int month = in.Byte() % 14;
    const int day = in.Byte() % 33;
    const QString text = QString::fromUtf8(in.Rest());

    int i32 = 0;
    if (TryStrToInt(text, i32)) {
        FuzzCheck(StrToInt(text) == i32, "StrToInt and TryStrToInt differ");
        FuzzCheck(StrToInt(IntToStr(i32)) == i32, "an integer's text reads back as another integer");
    } else {
        try {
            StrToInt(text);
            FuzzCheck(false, "StrToInt takes a text that TryStrToInt refuses");
        } catch (const EConvertError&) {
        }
    }
    FuzzCheck(StrToIntDef(text, -7) == (TryStrToInt(text, i32) ? i32 : -7), "StrToIntDef differs");

    std::int64_t i64 = 0;
    if (TryStrToInt64(text, i64)) {
        FuzzCheck(StrToInt64(IntToStr(i64)) == i64, "a 64-bit integer's text reads back as another");
        FuzzCheck(StrToInt64(QLatin1Char('$') + IntToHex(static_cast<std::uint64_t>(i64), 16)) == i64,
                  "a hexadecimal text reads back as another integer");
    }

    long double f = 0;
    if (TryStrToFloat(text, f)) {
        FuzzCheck(StrToFloat(text) == f || (std::isnan(f) && std::isnan(StrToFloat(text))),
                  "StrToFloat and TryStrToFloat differ");
        if (std::isfinite(f) && (f == 0 || std::fabs(f) > 1e-4900L)) {
            // Fifteen significant digits: the text of the value read from its own text is the same.
            const QString shown = FloatToStr(f);
            long double back = 0;
            FuzzCheck(TryStrToFloat(shown, back), "a float's text does not read back");
            if (std::isfinite(back))
                FuzzCheck(FloatToStr(back) == shown, "a float's text reads back as another value");
        }
        try {
            const std::int64_t r = Round(f);
            FuzzCheck(std::fabs(static_cast<long double>(r) - f) <= 0.5L, "Round is more than a half away");
            const std::int64_t t = Trunc(f);
            FuzzCheck(std::fabs(static_cast<long double>(t)) <= std::fabs(f), "Trunc grows the value");
        } catch (const EInvalidOp&) {
        }
        try {
            const TCurrency money = TCurrency::FromDouble(f);
            FuzzCheck(TCurrency::FromDouble(money.ToDouble()) == money, "money does not survive its float form");
        } catch (const EInvalidOp&) {
        }
    } else {
        FuzzCheck(StrToFloatDef(text, 2.5L) == 2.5L, "StrToFloatDef takes a text TryStrToFloat refuses");
    }

    TDateTime date = 0;
    if (TryEncodeDate(year, month, day, date)) {
        int y = 0, m = 0, d = 0;
        DecodeDate(date, y, m, d);
        FuzzCheck(y == year && m == month && d == day, "a date decodes as another date");
        FuzzCheck(FromQDate(ToQDate(date)) == date, "a date changes through its calendar form");
    } else {
        FuzzCheck(!IsValidDate(year, month, day), "a valid date is refused");
    }
}

std::vector<QByteArray> SeedsNumberText()
{
    const auto seed = [](int year, int month, int day, const QByteArray& text) {
        return QByteArray(1, char(year & 0xFF)) + char(year >> 8) + char(month) + char(day) + text;
    };
    return {
        seed(2016, 7, 1, "42"),
        seed(2000, 2, 29, " -2147483648"),
        seed(1900, 2, 29, "$7FFFFFFF"),
        seed(9999, 12, 31, "0x1F"),
        seed(1, 1, 1, "1,5E-5"),
        seed(2017, 13, 1, "123456789012345678"),
        seed(1899, 12, 30, "3.14159265358979"),
        seed(2024, 4, 31, "-0,0001"),
        seed(2024, 1, 0, "1E4000"),
        seed(2020, 6, 15, "abc"),
    };
}
