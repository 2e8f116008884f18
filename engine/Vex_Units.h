#pragma once

#include "engine/KelmaFilters.h"
#include "engine/Vex_ChnsBase.h"
#include "engine/Vex_SegmBase.h"

#include <array>
#include <cstddef>
#include <cstdint>

// What the families that compare draws (series, periods, chains) follow at each position of
// a draw: the digit itself, its channel or its matrix segment.
enum class TDigitUnit : std::uint8_t { Digits, Channels, Segments };

// A unit with the configuration it needs. The channel size and the segment table are copied
// when a statistic is made, so a later change of the configuration does not reach a
// statistic that already exists.
class TDigitUnits {
public:
    TDigitUnits(TDigitUnit unit, const TStatList& list);

    TDigitUnit Unit() const { return FUnit; }
    int ChannelSize() const { return FChannelSize; }
    const TMatrixSegments& Segments() const { return FSegments; }

    // The value of a digit at a position (1 or 2): the digit, its channel (0 with a channel
    // size below 1) or its segment (0 for a position or digit outside the table).
    int ValueOf(int position, int digit) const
    {
        // Every digit a draw record can hold has its value worked out in advance: the
        // families that compare draws ask for several per draw.
        if (static_cast<unsigned>(position - 1) < unsigned(DrawDigits) && static_cast<unsigned>(digit) < 256u)
            return FValues[static_cast<std::size_t>(position - 1)][static_cast<std::size_t>(digit)];
        return ComputeValueOf(position, digit);
    }
    // The text of a value: "3" for a digit, "03" for a channel, "3" for a segment.
    QString ValueText(int value) const;

private:
    int ComputeValueOf(int position, int digit) const
    {
        switch (FUnit) {
        case TDigitUnit::Digits:
            return digit;
        case TDigitUnit::Channels:
            return ChannelOfDigit(digit, FChannelSize);
        case TDigitUnit::Segments:
            break;
        }
        return SegmentOfDigit(FSegments, position, digit);
    }

    TDigitUnit FUnit;
    int FChannelSize;
    TMatrixSegments FSegments;
    std::array<std::array<std::int16_t, 256>, DrawDigits> FValues;   // ValueOf of position, digit
};
