#include "engine/Vex_Per.h"

#include <cstddef>
#include <cstdint>

namespace {

constexpr int PeriodsGroup = 9;

bool IsDigitValue(int digit)
{
    return digit >= DigitMin && digit <= DigitMax;
}

}  // namespace

// ---------------------------------------------------------------------------------------
// TCustomPeriodsStat

TCustomPeriodsStat::TCustomPeriodsStat(const TStatClass& cls, const TStatList& list, int param,
                                       TDigitUnit unit)
    : TCustomStat(cls, list, param), FUnits(unit, list)
{
}

QString TCustomPeriodsStat::ValueText(const TStatValueRec& value) const
{
    return CountedValueText(FUnits.ValueText(value.Key.Words[0]), value);
}

int TCustomPeriodsStat::PeriodValueOf(int position, int digit) const
{
    switch (FUnits.Unit()) {
    case TDigitUnit::Digits:
        break;
    case TDigitUnit::Channels:
        // A configuration without a channel size (not loaded yet) has no channels.
        if (FUnits.ChannelSize() < 1)
            return -1;
        break;
    case TDigitUnit::Segments:
        // A digit outside 0..9 has no entry in the table.
        if (!IsDigitValue(digit))
            return -1;
        break;
    }
    return FUnits.ValueOf(position, digit);
}

int TCustomPeriodsStat::AddDraw(int index, int last, bool sorted, TStatDrawArray& table,
                                TStatScratch& scratch, TLastValueArray& lastValues)
{
    const int age = TCustomStat::AddDraw(index, last, sorted, table, scratch, lastValues);
    for (int p = 1; p <= DrawDigits; ++p) {
        const int value = PeriodValueOf(p, FDraw.Digits[static_cast<std::size_t>(p - 1)]);
        if (value < 0)
            continue;
        TLastValueRec occurrence;
        occurrence.DrawNo = FDraw.Number;
        occurrence.Key.Words[0] = static_cast<std::uint16_t>(value);
        // A value held at both positions meets itself at distance 0 the second time and
        // counts once.
        const int distance = UpdateLastValue(occurrence, lastValues);
        if (distance > 0) {
            FValue.Key.Words[0] = static_cast<std::uint16_t>(value);
            FValue.Key.Words[1] = static_cast<std::uint16_t>(distance);
            MergeValue(table, true);
        }
    }
    return age;
}

bool TCustomPeriodsStat::Test(TCombWord comb, const TStatDrawArray& selected, int last,
                              bool /*sorted*/, bool exclude)
{
    for (int p = 1; p <= DrawDigits; ++p) {
        const int value = PeriodValueOf(p, p == 1 ? CombDigit1(comb) : CombDigit2(comb));
        if (value < 0)
            continue;
        for (const TStatValueRec& row : selected) {
            if (row.Key.Words[0] != value)
                continue;
            // Positions count for segments, so the earlier draw is read as it was drawn.
            const TDrawRec earlier = LoadDrawRec(IndexBeforeNext(last, row.Key.Words[1]), false);
            if (DrawHasValue(earlier, value) != exclude)
                return true;
        }
    }
    return false;
}

int TCustomPeriodsStat::FindDraw(const TStatValueRec& /*value*/, int /*start*/, int /*last*/,
                                 bool /*sorted*/)
{
    // Every step of a search starts with an empty last-value list: the first occurrence of a
    // value has no distance and the second, at the other position of the same draw, has
    // distance 0. Nothing is ever merged.
    return -1;
}

bool TCustomPeriodsStat::DrawHasValue(const TDrawRec& draw, int value) const
{
    for (int p = 1; p <= DrawDigits; ++p)
        if (PeriodValueOf(p, draw.Digits[static_cast<std::size_t>(p - 1)]) == value)
            return true;
    return false;
}

// ---------------------------------------------------------------------------------------
// Descriptors. The codes are stored in users' scenarios and favourites: never change one.

const TStatClass TstNumPeriodsClass{.ClassName = "TstNumPeriods", .CodeFormat = "PRDV",
    .CaptionFormat = KELMA_MSG("Периоды повторения чисел"),
    .HelpName = nullptr, .Group = PeriodsGroup, .Flags = sfShowP, .Available = true,
    .IsGraph = false, .HasNumericValue = false, .ParamRange = nullptr,
    .Factory = &MakeStat<TstNumPeriods>};

const TStatClass TstChnPeriodsClass{.ClassName = "TstChnPeriods", .CodeFormat = "PRDC",
    .CaptionFormat = KELMA_MSG("Периоды повторения каналов"),
    .HelpName = nullptr, .Group = PeriodsGroup, .Flags = sfShowP, .Available = true,
    .IsGraph = false, .HasNumericValue = false, .ParamRange = nullptr,
    .Factory = &MakeStat<TstChnPeriods>};

const TStatClass TstSgmPeriodsClass{.ClassName = "TstSgmPeriods", .CodeFormat = "PRDG",
    .CaptionFormat = KELMA_MSG("Периоды повторения сегментов"),
    .HelpName = nullptr, .Group = PeriodsGroup, .Flags = sfShowP, .Available = true,
    .IsGraph = false, .HasNumericValue = false, .ParamRange = nullptr,
    .Factory = &MakeStat<TstSgmPeriods>};
