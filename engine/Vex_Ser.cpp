#include "engine/Vex_Ser.h"

#include "engine/Vex_ChnsBase.h"
#include "engine/Vex_SegmBase.h"

#include <array>
#include <cstddef>
#include <cstdint>

namespace {

constexpr int SeriesGroup = 8;

}  // namespace

// ---------------------------------------------------------------------------------------
// TCustomSerialStat

TCustomSerialStat::TCustomSerialStat(const TStatClass& cls, const TStatList& list, int param,
                                     TDigitUnit unit, bool groups)
    : TCustomStat(cls, list, param), FUnits(unit, list), FGroups(groups)
{
    switch (unit) {
    case TDigitUnit::Digits:
        FLoValue = DigitMin;
        FHiValue = DigitMax;
        break;
    case TDigitUnit::Channels:
        // A configuration without a channel size (not loaded yet) has no channels, and
        // nothing is scanned.
        FLoValue = 1;
        FHiValue = ChannelCount(FUnits.ChannelSize());
        break;
    case TDigitUnit::Segments:
        SegmentParamRange(list, FLoValue, FHiValue);
        break;
    }
}

QString TCustomSerialStat::ValueText(const TStatValueRec& value) const
{
    return CountedValueText(FUnits.ValueText(value.Key.Words[0]), value);
}

int TCustomSerialStat::AddDraw(int index, int last, bool sorted, TStatDrawArray& table,
                               TStatScratch& scratch, TLastValueArray& lastValues)
{
    const int age = TCustomStat::AddDraw(index, last, sorted, table, scratch, lastValues);
    if (FHiValue < FLoValue || FLoValue < 0)
        return age;
    // One entry per value, indexed by the value: channels run up to 10 with a channel size
    // of 1, segments up to the largest number in the table.
    if (scratch.size() < static_cast<std::size_t>(FHiValue) + 1)
        scratch.resize(static_cast<std::size_t>(FHiValue) + 1);
    // The values of the draw's and the reference draw's positions, worked out once for the
    // scan below; -1 (no value of the scan) where a position has none.
    const std::array<int, DrawDigits> values{SerialValueOf(1, FDraw.Digits[0]),
                                             SerialValueOf(2, FDraw.Digits[1])};
    // The reference draw is the same for every draw of a pass: its values are worked out
    // again only when its digits change.
    if (!FReferenceKnown || FDraw2.Digits[0] != FReferenceDigits[0]
        || FDraw2.Digits[1] != FReferenceDigits[1]) {
        FReferenceValues = ReferenceValues();
        FReferenceDigits = FDraw2.Digits;
        FReferenceKnown = true;
    }
    const std::array<int, DrawDigits>& reference = FReferenceValues;
    for (int v = FLoValue; v <= FHiValue; ++v) {
        TSerialRun& run = scratch[static_cast<std::size_t>(v)];
        const bool has = values[0] == v || values[1] == v;
        const bool referenceHas = reference[0] == v || reference[1] == v;
        if (FGroups == has) {
            ++run.RunLength;
            run.DrawNo = static_cast<std::int32_t>(FDraw.Number);
            run.Age = age;
            // The newest draw closes nothing: its open run is recorded as it stands.
            if (index == last && referenceHas)
                RecordRun(v, run, table);
        } else {
            if (run.RunLength > 0 && referenceHas)
                RecordRun(v, run, table);
            run = TSerialRun{};
        }
    }
    return age;
}

bool TCustomSerialStat::Test(TCombWord comb, const TStatDrawArray& selected, int /*last*/,
                             bool /*sorted*/, bool /*exclude*/)
{
    const int values[DrawDigits] = {SerialValueOf(1, CombDigit1(comb)),
                                    SerialValueOf(2, CombDigit2(comb))};
    for (const TStatValueRec& row : selected)
        for (const int value : values)
            if (value >= 0 && row.Key.Words[0] == value)
                return true;
    return false;
}

bool TCustomSerialStat::ReferenceHas(int value) const
{
    switch (FUnits.Unit()) {
    case TDigitUnit::Digits:
        return DrawHasDigit(value, FDraw2);
    case TDigitUnit::Channels:
        return FUnits.ChannelSize() >= 1 && DrawHasChannel(value, FDraw2, FUnits.ChannelSize());
    case TDigitUnit::Segments:
        break;
    }
    return DrawHasSegment(value, FDraw2, FUnits.Segments());
}

std::array<int, DrawDigits> TCustomSerialStat::ReferenceValues() const
{
    std::array<int, DrawDigits> values{-1, -1};
    for (int p = 0; p < DrawDigits; ++p) {
        const int digit = FDraw2.Digits[static_cast<std::size_t>(p)];
        switch (FUnits.Unit()) {
        case TDigitUnit::Digits:
            values[static_cast<std::size_t>(p)] = digit;
            break;
        case TDigitUnit::Channels:
            if (FUnits.ChannelSize() >= 1)
                values[static_cast<std::size_t>(p)] = DigitGroupIndex(digit, FUnits.ChannelSize());
            break;
        case TDigitUnit::Segments:
            if (digit >= DigitMin && digit <= DigitMax)
                values[static_cast<std::size_t>(p)] =
                    FUnits.Segments()[static_cast<std::size_t>(p)][static_cast<std::size_t>(digit)];
            break;
        }
    }
    return values;
}

void TCustomSerialStat::RecordRun(int value, const TSerialRun& run, TStatDrawArray& table)
{
    FValue.Key.Words[0] = static_cast<std::uint16_t>(value);
    FValue.Key.Words[1] = static_cast<std::uint16_t>(run.RunLength);
    FValue.DrawNo = static_cast<std::uint32_t>(run.DrawNo);
    FValue.PrevDrawNo = static_cast<std::uint32_t>(run.DrawNo);
    FValue.Age = static_cast<std::uint32_t>(run.Age);
    MergeValue(table, true);
}

// ---------------------------------------------------------------------------------------
// Descriptors. The codes are stored in users' scenarios and favourites: never change one.

const TStatClass TstNumGroupsClass{.ClassName = "TstNumGroups", .CodeFormat = "GRPV",
    .CaptionFormat = KELMA_MSG("Повторы чисел в нескольких тиражах подряд"),
    .HelpName = nullptr, .Group = SeriesGroup, .Flags = sfTwoDraws, .Available = true,
    .IsGraph = false, .HasNumericValue = false, .ParamRange = nullptr,
    .Factory = &MakeStat<TstNumGroups>};

const TStatClass TstNumPausesClass{.ClassName = "TstNumPauses", .CodeFormat = "GRPP",
    .CaptionFormat = KELMA_MSG("Интервалы между повторениями чисел"),
    .HelpName = nullptr, .Group = SeriesGroup, .Flags = sfTwoDraws, .Available = true,
    .IsGraph = false, .HasNumericValue = false, .ParamRange = nullptr,
    .Factory = &MakeStat<TstNumPauses>};

const TStatClass TstChnGroupsClass{.ClassName = "TstChnGroups", .CodeFormat = "GRCV",
    .CaptionFormat = KELMA_MSG("Повторы каналов в нескольких тиражах подряд"),
    .HelpName = nullptr, .Group = SeriesGroup, .Flags = sfTwoDraws, .Available = true,
    .IsGraph = false, .HasNumericValue = false, .ParamRange = nullptr,
    .Factory = &MakeStat<TstChnGroups>};

const TStatClass TstChnPausesClass{.ClassName = "TstChnPauses", .CodeFormat = "GRCP",
    .CaptionFormat = KELMA_MSG("Интервалы между повторениями каналов"),
    .HelpName = nullptr, .Group = SeriesGroup, .Flags = sfTwoDraws, .Available = true,
    .IsGraph = false, .HasNumericValue = false, .ParamRange = nullptr,
    .Factory = &MakeStat<TstChnPauses>};

const TStatClass TstSgmGroupsClass{.ClassName = "TstSgmGroups", .CodeFormat = "GRSV",
    .CaptionFormat = KELMA_MSG("Повторы сегментов в нескольких тиражах подряд"),
    .HelpName = nullptr, .Group = SeriesGroup, .Flags = sfTwoDraws, .Available = true,
    .IsGraph = false, .HasNumericValue = false, .ParamRange = nullptr,
    .Factory = &MakeStat<TstSgmGroups>};

const TStatClass TstSgmPausesClass{.ClassName = "TstSgmPauses", .CodeFormat = "GRSP",
    .CaptionFormat = KELMA_MSG("Интервалы между повторениями сегментов"),
    .HelpName = nullptr, .Group = SeriesGroup, .Flags = sfTwoDraws, .Available = true,
    .IsGraph = false, .HasNumericValue = false, .ParamRange = nullptr,
    .Factory = &MakeStat<TstSgmPauses>};
