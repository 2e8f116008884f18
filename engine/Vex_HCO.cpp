#include "engine/Vex_HCO.h"

#include "engine/KelmaStatList.h"

#include <array>

namespace {

constexpr int OgnevGroup = 11;

// The mode-2 number is two values when the digits differ by 1: then the row carries the
// sum in word 1, the difference 1 in word 2 and the mark 2 in word 4.
constexpr int TwoValuesMark = 2;

TIntArray OgnevNumbers(std::uint8_t digit1, std::uint8_t digit2, int mode)
{
    const std::array<std::uint8_t, DrawDigits> digits = {digit1, digit2};
    TIntArray values;
    OgnevValues(digits, DrawDigits, mode, values);
    return values;
}

}  // namespace

const TStatClass TstOgnev1Class{.ClassName = "TstOgnev1", .CodeFormat = "HCO1",
    .CaptionFormat = KELMA_MSG("Число Огнева 1 (только разность)"), .HelpName = nullptr,
    .Group = OgnevGroup, .Flags = sfShowS | sfPlainValue, .Available = true, .IsGraph = true,
    .HasNumericValue = true, .ParamRange = nullptr, .Factory = &MakeStat<TstOgnev1>};
const TStatClass TstOgnev2Class{.ClassName = "TstOgnev2", .CodeFormat = "HCO2",
    .CaptionFormat = KELMA_MSG("Число Огнева 2 (разность + сложение, если {0,1})"), .HelpName = nullptr,
    .Group = OgnevGroup, .Flags = sfShowS | sfPlainValue, .Available = true, .IsGraph = true,
    .HasNumericValue = true, .ParamRange = nullptr, .Factory = &MakeStat<TstOgnev2>};
const TStatClass TstOgnev3Class{.ClassName = "TstOgnev3", .CodeFormat = "HCO3",
    .CaptionFormat = KELMA_MSG("Числа Огнева 3 (динамический, только фильтр)"), .HelpName = nullptr,
    .Group = OgnevGroup, .Flags = sfShowS | sfTwoDraws, .Available = true, .IsGraph = false,
    .HasNumericValue = false, .ParamRange = nullptr, .Factory = &MakeStat<TstOgnev3>};

// ---------------------------------------------------------------------------------------
// HCO1, HCO2

TCustomOgnevGraphStat::TCustomOgnevGraphStat(const TStatClass& cls, const TStatList& list, int param, int mode)
    : TCombNumberStat(cls, list, param), FMode(mode)
{
}

int TCustomOgnevGraphStat::NumberOf(TCombWord comb) const
{
    const TIntArray values = OgnevNumbers(CombDigit1(comb), CombDigit2(comb), FMode);
    return values.empty() ? 0 : values.front();
}

TstOgnev1::TstOgnev1(const TStatList& list, int param)
    : TCustomOgnevGraphStat(TstOgnev1Class, list, param, 0)
{
}

TstOgnev2::TstOgnev2(const TStatList& list, int param)
    : TCustomOgnevGraphStat(TstOgnev2Class, list, param, 1)
{
}

// ---------------------------------------------------------------------------------------
// HCO3

TstOgnev3::TstOgnev3(const TStatList& list, int param)
    : TCustomStat(TstOgnev3Class, list, param)
{
}

QString TstOgnev3::ValueText(const TStatValueRec& value) const
{
    QString text = SumToStr(value.Key.Words[0]);
    if (value.Key.Words[3] == TwoValuesMark)
        text += QStringLiteral(" (") + SumToStr(value.Key.Words[1]) + QLatin1Char(')');
    return text;
}

int TstOgnev3::AddDraw(int index, int last, bool sorted, TStatDrawArray& table, TStatScratch& scratch,
                       TLastValueArray& lastValues)
{
    const int age = TCustomStat::AddDraw(index, last, sorted, table, scratch, lastValues);
    if (index != last)
        return age;

    const TIntArray values = OgnevNumbers(FDraw2.Digits[0], FDraw2.Digits[1], 2);
    if (values.empty())
        return age;
    TStatKey key;
    if (values.size() == 2) {
        key.Words = {static_cast<std::uint16_t>(values[1]), static_cast<std::uint16_t>(values[0]), 0,
                     TwoValuesMark};
    } else {
        key.Words = {static_cast<std::uint16_t>(values[0]), 0, 0, 0};
    }

    // The draw after the newest one confirms a proposed digit only when the archive holds
    // it: past the end there is no draw, and an empty record must not confirm the digit 0.
    const bool hasNext = last + 1 <= LastDrawIndex();
    const TDrawRec next = LoadDrawRec(last + 1, false);
    auto mergeProposal = [&](const TStatKey& proposal) {
        FValue.Key = proposal;
        FValue.Hits = hasNext && DrawHasDigit(proposal.Words[0], next) ? 1 : 0;
        MergeValue(table, false);
    };
    mergeProposal(key);

    // Multiples of v below v*v (or v*v*v while the square is under 9) that are digits.
    const int v = key.Words[0];
    int s = v * v >= 9 ? v * v : v * v * v;
    for (; s > v; s -= v)
        if (s >= DigitMin && s <= DigitMax)
            mergeProposal(TStatKey{{static_cast<std::uint16_t>(s), 0, 0, 0}});
    return age;
}

bool TstOgnev3::Test(TCombWord comb, const TStatDrawArray& selected, int, bool, bool)
{
    return HasKeyWord(selected, 1, CombDigit1(comb)) || HasKeyWord(selected, 1, CombDigit2(comb));
}
