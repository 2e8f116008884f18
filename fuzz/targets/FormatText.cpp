// Patterns of Format, FormatFloat and FormatDateTime: today they come from the program and
// its translations. Format raises EConvertError for an argument of the wrong kind or a
// missing one; the other two take any pattern. Every call must stay linear in the pattern.
//
// Input: the function, then 8 bytes of a double, then the pattern.

#include "fuzz/FuzzTargets.h"
#include "platform/DateTime.h"
#include "platform/DelphiText.h"

#include <cstring>

void FuzzFormatText(const std::uint8_t* data, std::size_t size)
{
    TFuzzInput in(data, size);
    const std::uint8_t which = in.Byte();
    const std::uint64_t bits = in.Bits(8);
    double value = 0;
    std::memcpy(&value, &bits, sizeof value);
    const QString pattern = QString::fromUtf8(in.Rest());

    switch (which % 4) {
    case 0:
        try {
            Format(pattern, {static_cast<long long>(bits), QStringLiteral("text"), value,
                             TCurrency::FromRaw(static_cast<std::int64_t>(bits)), -1});
        } catch (const EConvertError&) {
        }
        break;
    case 1:
        FormatFloat(pattern, value);
        break;
    case 2:
        FormatDateTime(pattern, value);
        break;
    default:
        // Dates of the program's range only: the integer part as a day, the fraction as a time.
        FormatDateTime(pattern, static_cast<double>(bits % 3000000) - 700000.0 + (bits >> 40) / 16777216.0);
        break;
    }
}

std::vector<QByteArray> SeedsFormatText()
{
    const auto seed = [](char which, double value, const QByteArray& pattern) {
        QByteArray bytes(1, which);
        bytes.append(reinterpret_cast<const char*>(&value), sizeof value);
        return bytes + pattern;
    };
    return {
        seed(0, 1, "%d of %s: %.2f, %m %0:x %-8s|%*d"),
        seed(0, 0, "%n %e %g %u %%"),
        seed(0, 0, "%s %d"),
        seed(1, 1234.5678, "#,##0.00;(#,##0.00);zero"),
        seed(1, -0.000123, "0.###E+00 'quoted' \"text\""),
        seed(2, 42736.5208333, "dd.mm.yyyy hh:nn:ss.zzz am/pm"),
        seed(2, -1.25, "dddd d mmmm yy h:m a/p \"x\" ampm"),
        seed(3, 0, "hh hh hh hh hh hh hh hh hh hh am/pm"),
        seed(2, 1e300, "yyyy/mm/dd"),
    };
}
