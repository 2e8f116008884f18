#include "engine/Vex_Per.h"

#include "engine/KelmaStatList.h"
#include "engine/Vex_ChnsBase.h"
#include "engine/Vex_SegmBase.h"
#include "platform/DelphiText.h"

#include <cstddef>
#include <cstdint>
#include <limits>

namespace {

constexpr int PeriodsGroup = 9;

// Index of the draw that lies n draws back from a draw following `last`: last - n + 1.
// Outside the int range it is no draw at all (the empty draw).
int IndexBeforeNext(int last, int n)
{
    const std::int64_t index = std::int64_t(last) - n + 1;
    if (index < 0 || index > std::numeric_limits<int>::max())
        return -1;
    return static_cast<int>(index);
}

bool IsDigitValue(int digit)
{
    return digit >= DigitMin && digit <= DigitMax;
}

}  // namespace

// ---------------------------------------------------------------------------------------
// TCustomPeriodsStat

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
            MergeStatValue(table, FValue, true);
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

QString TCustomPeriodsStat::RowText(const QString& valueText, const TStatValueRec& value)
{
    return Format(QStringLiteral("%0:s x %1:d"), {valueText, int(value.Key.Words[1])});
}

bool TCustomPeriodsStat::DrawHasValue(const TDrawRec& draw, int value) const
{
    for (int p = 1; p <= DrawDigits; ++p)
        if (PeriodValueOf(p, draw.Digits[static_cast<std::size_t>(p - 1)]) == value)
            return true;
    return false;
}

// ---------------------------------------------------------------------------------------
// Digits, channels, segments

TstNumPeriods::TstNumPeriods(const TStatList& list, int param)
    : TCustomPeriodsStat(TstNumPeriodsClass, list, param)
{
}

QString TstNumPeriods::ValueText(const TStatValueRec& value) const
{
    return RowText(NumToStr(value.Key.Words[0]), value);
}

int TstNumPeriods::PeriodValueOf(int /*position*/, int digit) const
{
    return digit;
}

TstChnPeriods::TstChnPeriods(const TStatList& list, int param)
    : TCustomPeriodsStat(TstChnPeriodsClass, list, param), FChannelSize(list.Config().ChannelSize)
{
}

QString TstChnPeriods::ValueText(const TStatValueRec& value) const
{
    return RowText(Format(QStringLiteral("%.2d"), {int(value.Key.Words[0])}), value);
}

int TstChnPeriods::PeriodValueOf(int /*position*/, int digit) const
{
    // A configuration without a channel size (not loaded yet) has no channels.
    return FChannelSize < 1 ? -1 : ChannelOfDigit(digit, FChannelSize);
}

TstSgmPeriods::TstSgmPeriods(const TStatList& list, int param)
    : TCustomPeriodsStat(TstSgmPeriodsClass, list, param), FSegments(list.Config().MatrixSegments)
{
}

QString TstSgmPeriods::ValueText(const TStatValueRec& value) const
{
    return RowText(SumToStr(value.Key.Words[0]), value);
}

int TstSgmPeriods::PeriodValueOf(int position, int digit) const
{
    // A digit outside 0..9 has no entry in the table.
    return IsDigitValue(digit) ? SegmentOfDigit(FSegments, position, digit) : -1;
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
