#include "engine/Vex_Units.h"

#include "platform/DelphiText.h"

TDigitUnits::TDigitUnits(TDigitUnit unit, const TStatList& list)
    : FUnit(unit), FChannelSize(list.Config().ChannelSize), FSegments(list.Config().MatrixSegments)
{
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
