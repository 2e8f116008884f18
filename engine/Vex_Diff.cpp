#include "engine/Vex_Diff.h"

#include "engine/KelmaStatList.h"
#include "platform/DelphiText.h"

#include <algorithm>
#include <cstdlib>

namespace {

// Differences of 1 up to the widest spread are listed in advance; 0 (equal digits) appears
// as a row of its own when drawn.
constexpr int LargestDiff = DigitMax - DigitMin;

std::array<int, DrawDigits> DigitsOf(TCombWord comb)
{
    return {CombDigit1(comb), CombDigit2(comb)};
}

void SetWordKey(TStatValueRec& value, int w1, int w2 = 0)
{
    value.Key = TStatKey{};
    value.Key.Words[0] = static_cast<std::uint16_t>(w1);
    value.Key.Words[1] = static_cast<std::uint16_t>(w2);
}

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
    const auto digits = DigitsOf(comb);
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
    : TCustomNumbersStat(TstDiffTotalClass, list, param)
{
}

void TstDiffTotal::InitValues(int last, TStatDrawArray& table)
{
    TCustomNumbersStat::InitValues(last, table);
    for (int diff = 1; diff <= LargestDiff; ++diff) {
        SetWordKey(FValue, diff);
        MergeStatValue(table, FValue, false);
    }
}

void TstDiffTotal::MergeDiffs(TCombWord comb, TStatDrawArray& table, bool trackGaps)
{
    for (int diff : NeighbourDiffs(comb)) {
        SetWordKey(FValue, diff);
        MergeStatValue(table, FValue, trackGaps);
    }
}

void TstDiffTotal::AddCombination(TCombWord comb, TStatDrawArray& table)
{
    TCustomNumbersStat::AddCombination(comb, table);
    MergeDiffs(comb, table, false);
}

int TstDiffTotal::AddDraw(int index, int last, bool sorted, TStatDrawArray& table,
                          TStatScratch& scratch, TLastValueArray& lastValues)
{
    const int age = TCustomNumbersStat::AddDraw(index, last, sorted, table, scratch, lastValues);
    MergeDiffs(DrawToComb(FDraw), table, true);
    return age;
}

bool TstDiffTotal::Test(TCombWord comb, const TStatDrawArray& selected, int /*last*/,
                        bool /*sorted*/, bool /*exclude*/)
{
    for (int diff : NeighbourDiffs(comb))
        if (HasKeyWord(selected, 1, static_cast<std::uint16_t>(diff)))
            return true;
    return false;
}

// ---------------------------------------------------------------------------------------
// One difference value per draw.

TDiffValueStat::TDiffValueStat(const TStatClass& cls, const TStatList& list, int param,
                               int prefillMax)
    : TCustomGraphStat(cls, list, param), FPrefillMax(prefillMax)
{
}

void TDiffValueStat::MergeValue(int value, TStatDrawArray& table, bool trackGaps)
{
    SetWordKey(FValue, value);
    MergeStatValue(table, FValue, trackGaps);
}

void TDiffValueStat::InitValues(int last, TStatDrawArray& table)
{
    TCustomGraphStat::InitValues(last, table);
    for (int v = 1; v <= FPrefillMax; ++v)
        MergeValue(v, table, false);
}

void TDiffValueStat::AddCombination(TCombWord comb, TStatDrawArray& table)
{
    TCustomGraphStat::AddCombination(comb, table);
    MergeValue(DiffValueOf(comb), table, false);
}

int TDiffValueStat::AddDraw(int index, int last, bool sorted, TStatDrawArray& table,
                            TStatScratch& scratch, TLastValueArray& lastValues)
{
    const int age = TCustomGraphStat::AddDraw(index, last, sorted, table, scratch, lastValues);
    MergeValue(DiffValueOf(DrawToComb(FDraw)), table, true);
    return age;
}

bool TDiffValueStat::Test(TCombWord comb, const TStatDrawArray& selected, int /*last*/,
                          bool /*sorted*/, bool /*exclude*/)
{
    return HasKeyWord(selected, 1, static_cast<std::uint16_t>(DiffValueOf(comb)));
}

int TDiffValueStat::ValueOf(TCombWord comb, int /*index*/, int /*last*/, bool /*sorted*/)
{
    return DiffValueOf(comb);
}

TstDiffMax::TstDiffMax(const TStatList& list, int param)
    : TDiffValueStat(TstDiffMaxClass, list, param, LargestDiff)
{
}

int TstDiffMax::DiffValueOf(TCombWord comb) const
{
    const std::vector<int> diffs = NeighbourDiffs(comb);
    return diffs.empty() ? 0 : *std::max_element(diffs.begin(), diffs.end());
}

TstMinMaxDiffs::TstMinMaxDiffs(const TStatList& list, int param)
    : TDiffValueStat(TstMinMaxDiffsClass, list, param, LargestDiff)
{
}

int TstMinMaxDiffs::DiffValueOf(TCombWord comb) const
{
    const auto digits = DigitsOf(comb);
    const auto [lo, hi] = std::minmax_element(digits.begin(), digits.end());
    return *hi - *lo;
}

// With two digits there is one pair, so the count is always 1: only 1 is listed in advance.
TstDiffSameCnt::TstDiffSameCnt(const TStatList& list, int param)
    : TDiffValueStat(TstDiffSameCntClass, list, param, 1)
{
}

int TstDiffSameCnt::DiffValueOf(TCombWord comb) const
{
    int largest = 0;
    for (const TStatSimpleRec& e : SameDiffCounts(comb))
        largest = std::max(largest, e.Count);
    return largest;
}

// ---------------------------------------------------------------------------------------
// TstDiffSame

TstDiffSame::TstDiffSame(const TStatList& list, int param)
    : TCustomStat(TstDiffSameClass, list, param)
{
}

QString TstDiffSame::ValueText(const TStatValueRec& value) const
{
    return Format(QStringLiteral("%0:d x %1:d"),
                  {int(value.Key.Words[0]), int(value.Key.Words[1])});
}

void TstDiffSame::MergePairs(TCombWord comb, TStatDrawArray& table, bool trackGaps)
{
    for (const TStatSimpleRec& e : SameDiffCounts(comb)) {
        SetWordKey(FValue, e.Key, e.Count);
        MergeStatValue(table, FValue, trackGaps);
    }
}

void TstDiffSame::AddCombination(TCombWord comb, TStatDrawArray& table)
{
    TCustomStat::AddCombination(comb, table);
    MergePairs(comb, table, false);
}

int TstDiffSame::AddDraw(int index, int last, bool sorted, TStatDrawArray& table,
                         TStatScratch& scratch, TLastValueArray& lastValues)
{
    const int age = TCustomStat::AddDraw(index, last, sorted, table, scratch, lastValues);
    MergePairs(DrawToComb(FDraw), table, true);
    return age;
}

bool TstDiffSame::Test(TCombWord comb, const TStatDrawArray& selected, int /*last*/,
                       bool /*sorted*/, bool /*exclude*/)
{
    for (const TStatSimpleRec& e : SameDiffCounts(comb))
        if (HasKey(selected, static_cast<std::uint16_t>(e.Key), static_cast<std::uint16_t>(e.Count),
                   0, 0))
            return true;
    return false;
}
