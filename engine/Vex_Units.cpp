#include "engine/Vex_Units.h"

#include "platform/DelphiText.h"

TDigitUnits::TDigitUnits(TDigitUnit unit, const TStatList& list)
    : FUnit(unit), FChannelSize(list.Config().ChannelSize), FSegments(list.Config().MatrixSegments)
{
    // Every value fits: digits and segments are bytes, and a channel is at most 256.
    for (int p = 1; p <= DrawDigits; ++p)
        for (int d = 0; d < 256; ++d)
            FValues[static_cast<std::size_t>(p - 1)][static_cast<std::size_t>(d)] =
                static_cast<std::int16_t>(ComputeValueOf(p, d));
}

QString TDigitUnits::ValueText(int value) const
{
    switch (FUnit) {
    case TDigitUnit::Digits:
        return NumToStr(value);
    case TDigitUnit::Channels:
        return Format(QStringLiteral("%.2d"), {value});
    case TDigitUnit::Segments:
        break;
    }
    return SumToStr(value);
}
