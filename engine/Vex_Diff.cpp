#include "engine/Vex_Diff.h"

#include "engine/KelmaStatList.h"

#include <algorithm>
#include <cstdlib>

namespace {

// Differences of 1 up to the widest spread are listed in advance; 0 (equal digits) appears
// as a row of its own when drawn.
constexpr int LargestDiff = DigitMax - DigitMin;

}  // namespace

// ---------------------------------------------------------------------------------------
// Descriptors.

const TStatClass TstDiffTotalClass{.ClassName = "TstDiffTotal", .CodeFormat = "DIFA",
    .CaptionFormat = KELMA_MSG("Все разности между соседними позициями"), .HelpName = nullptr,
    .Group = 2, .Flags = sfShowS | sfPlainValue, .Available = true, .IsGraph = false,
    .HasNumericValue = true, .ParamRange = nullptr, .Factory = &MakeStat<TstDiffTotal>};

const TStatClass TstDiffMaxClass{.ClassName = "TstDiffMax", .CodeFormat = "DIFM",
    .CaptionFormat = KELMA_MSG("Максимальная разность между соседними позициями"),
    .HelpName = nullptr, .Group = 2, .Flags = sfShowS | sfPlainValue, .Available = true,
    .IsGraph = true, .HasNumericValue = true, .ParamRange = nullptr,
    .Factory = &MakeStat<TstDiffMax>};

const TStatClass TstMinMaxDiffsClass{.ClassName = "TstMinMaxDiffs", .CodeFormat = "DIFD",
    .CaptionFormat = KELMA_MSG("Разность между минимальным и максимальным числом"),
    .HelpName = nullptr, .Group = 2, .Flags = sfPlainValue, .Available = true, .IsGraph = true,
    .HasNumericValue = true, .ParamRange = nullptr, .Factory = &MakeStat<TstMinMaxDiffs>};

const TStatClass TstDiffSameClass{.ClassName = "TstDiffSame", .CodeFormat = "DIFO",
    .CaptionFormat = KELMA_MSG("Одинаковые разности между соседними позициями"),
    .HelpName = nullptr, .Group = 2, .Flags = sfShowS | sfPlainValue, .Available = true,
    .IsGraph = false, .HasNumericValue = false, .ParamRange = nullptr,
    .Factory = &MakeStat<TstDiffSame>};

const TStatClass TstDiffSameCntClass{.ClassName = "TstDiffSameCnt", .CodeFormat = "DIFK",
    .CaptionFormat = KELMA_MSG("Количество одинаковых разностей между соседними позициями"),
    .HelpName = nullptr, .Group = 2, .Flags = sfShowS | sfPlainValue, .Available = true,
    .IsGraph = true, .HasNumericValue = true, .ParamRange = nullptr,
    .Factory = &MakeStat<TstDiffSameCnt>};

// The size is part of the caption text: the parameter of these classes is 0.
const TStatClass TstCombDiffSeq2Class{.ClassName = "TstCombDiffSeq2", .CodeFormat = "KDS2",
    .CaptionFormat = KELMA_MSG("Сочетания из 2 разностей между числами"), .HelpName = nullptr,
    .Group = 2, .Flags = sfShowS, .Available = false, .IsGraph = false,
    .HasNumericValue = false, .ParamRange = nullptr, .Factory = nullptr};

const TStatClass TstCombDiffSeq3Class{.ClassName = "TstCombDiffSeq3", .CodeFormat = "KDS3",
    .CaptionFormat = KELMA_MSG("Сочетания из 3 разностей между числами"), .HelpName = nullptr,
    .Group = 2, .Flags = sfShowS, .Available = false, .IsGraph = false,
    .HasNumericValue = false, .ParamRange = nullptr, .Factory = nullptr};

const TStatClass TstCombDiffSeq4Class{.ClassName = "TstCombDiffSeq4", .CodeFormat = "KDS4",
    .CaptionFormat = KELMA_MSG("Сочетания из 4 разностей между числами"), .HelpName = nullptr,
    .Group = 2, .Flags = sfShowS, .Available = false, .IsGraph = false,
    .HasNumericValue = false, .ParamRange = nullptr, .Factory = nullptr};

// ---------------------------------------------------------------------------------------
// Differences of a combination.

std::vector<int> NeighbourDiffs(TCombWord comb)
{
    const auto digits = CombDigits(comb);
    std::vector<int> diffs;
    for (std::size_t i = 0; i + 1 < digits.size(); ++i)
        diffs.push_back(std::abs(digits[i + 1] - digits[i]));
    return diffs;
}

TStatSimpleArray SameDiffCounts(TCombWord comb)
{
    TStatSimpleArray counts;
    for (int diff : NeighbourDiffs(comb))
        AddStatSimple(counts, diff, 1);
    return counts;
}

// ---------------------------------------------------------------------------------------
// TstDiffTotal

TstDiffTotal::TstDiffTotal(const TStatList& list, int param)
    : TCombKeysStat(TstDiffTotalClass, list, param)
{
}

void TstDiffTotal::InitValues(int last, TStatDrawArray& table)
{
    TCombKeysStat::InitValues(last, table);
    PrefillWords(1, LargestDiff, table);
}

void TstDiffTotal::KeysOf(TCombWord comb, TStatKeys& keys) const
{
    for (int diff : NeighbourDiffs(comb))
        keys.push_back(WordKey(diff));
}

// ---------------------------------------------------------------------------------------
// One difference value per draw.

TDiffValueStat::TDiffValueStat(const TStatClass& cls, const TStatList& list, int param,
                               int prefillMax)
    : TCombNumberStat(cls, list, param), FPrefillMax(prefillMax)
{
}

void TDiffValueStat::InitValues(int last, TStatDrawArray& table)
{
    TCombNumberStat::InitValues(last, table);
    PrefillWords(1, FPrefillMax, table);
}

TstDiffMax::TstDiffMax(const TStatList& list, int param)
    : TDiffValueStat(TstDiffMaxClass, list, param, LargestDiff)
{
}

int TstDiffMax::NumberOf(TCombWord comb) const
{
    const std::vector<int> diffs = NeighbourDiffs(comb);
    return diffs.empty() ? 0 : *std::max_element(diffs.begin(), diffs.end());
}

TstMinMaxDiffs::TstMinMaxDiffs(const TStatList& list, int param)
    : TDiffValueStat(TstMinMaxDiffsClass, list, param, LargestDiff)
{
}

int TstMinMaxDiffs::NumberOf(TCombWord comb) const
{
    const auto digits = CombDigits(comb);
    const auto [lo, hi] = std::minmax_element(digits.begin(), digits.end());
    return *hi - *lo;
}

// With two digits there is one pair, so the count is always 1: only 1 is listed in advance.
TstDiffSameCnt::TstDiffSameCnt(const TStatList& list, int param)
    : TDiffValueStat(TstDiffSameCntClass, list, param, 1)
{
}

int TstDiffSameCnt::NumberOf(TCombWord comb) const
{
    int largest = 0;
    for (const TStatSimpleRec& e : SameDiffCounts(comb))
        largest = std::max(largest, e.Count);
    return largest;
}

// ---------------------------------------------------------------------------------------
// TstDiffSame

TstDiffSame::TstDiffSame(const TStatList& list, int param)
    : TCombKeysStat(TstDiffSameClass, list, param)
{
}

QString TstDiffSame::ValueText(const TStatValueRec& value) const
{
    return CountedValueText(SumToStr(value.Key.Words[0]), value);
}

void TstDiffSame::KeysOf(TCombWord comb, TStatKeys& keys) const
{
    for (const TStatSimpleRec& e : SameDiffCounts(comb))
        keys.push_back(WordKey(e.Key, e.Count));
}
