#include "engine/Vex_Seqn.h"

#include "engine/KelmaStatList.h"

#include <algorithm>
#include <array>
#include <cstdlib>

const TStatClass TstSequenceLenClass{.ClassName = "TstSequenceLen", .CodeFormat = "SEQL",
    .CaptionFormat = KELMA_MSG("Длина последовательности в тираже"), .HelpName = nullptr, .Group = 6,
    .Flags = sfShowS | sfPlainValue, .Available = true, .IsGraph = false, .HasNumericValue = true,
    .ParamRange = nullptr, .Factory = &MakeStat<TstSequenceLen>};
const TStatClass TstSequenceCntClass{.ClassName = "TstSequenceCnt", .CodeFormat = "SEQS",
    .CaptionFormat = KELMA_MSG("Количество последовательностей в тираже"), .HelpName = nullptr,
    .Group = 6, .Flags = sfShowS | sfPlainValue, .Available = true, .IsGraph = true,
    .HasNumericValue = true, .ParamRange = nullptr, .Factory = &MakeStat<TstSequenceCnt>};
const TStatClass TstSequenceLenMaxClass{.ClassName = "TstSequenceLenMax", .CodeFormat = "LENS",
    .CaptionFormat = KELMA_MSG("Макс. длина последовательности в тираже"), .HelpName = nullptr,
    .Group = 6, .Flags = sfShowS | sfPlainValue, .Available = true, .IsGraph = true,
    .HasNumericValue = true, .ParamRange = nullptr, .Factory = &MakeStat<TstSequenceLenMax>};

namespace {

using TDigits = std::array<int, DrawDigits>;

TDigits DigitsOf(TCombWord comb)
{
    return {CombDigit1(comb), CombDigit2(comb)};
}

TDigits DigitsOf(const TDrawRec& draw)
{
    return {draw.Digits[0], draw.Digits[1]};
}

// Does the pair (previous, next) continue a run? Statistics take only a rise of 1; the
// graph values take a step of 1 either way.
bool Continues(int previous, int next, bool eitherWay)
{
    return eitherWay ? std::abs(next - previous) == 1 : next - previous == 1;
}

// Length of every run, in position order.
std::vector<int> RunLengths(const TDigits& x)
{
    std::vector<int> lengths;
    int length = 1;
    for (std::size_t i = 1; i < x.size(); ++i) {
        if (Continues(x[i - 1], x[i], false)) {
            ++length;
        } else {
            lengths.push_back(length);
            length = 1;
        }
    }
    lengths.push_back(length);
    return lengths;
}

// Number of runs of length 2 or more.
int SequenceCount(const TDigits& x, bool eitherWay)
{
    int steps = 0;
    int count = 0;
    for (std::size_t i = 1; i < x.size(); ++i) {
        if (Continues(x[i - 1], x[i], eitherWay)) {
            ++steps;
            if (i + 1 == x.size())
                ++count;
        } else {
            if (steps > 0)
                ++count;
            steps = 0;
        }
    }
    return count;
}

// Length of the longest run; `longest` is the answer when no pair continues a run.
int LongestRun(const TDigits& x, bool eitherWay, int longest)
{
    int length = 1;
    for (std::size_t i = 1; i < x.size(); ++i) {
        if (Continues(x[i - 1], x[i], eitherWay)) {
            ++length;
            longest = std::max(longest, length);
        } else {
            length = 1;
        }
    }
    return longest;
}

void MergeWord(TStatValueRec& work, int value, TStatDrawArray& table, bool trackGaps)
{
    work.Key = TStatKey{{static_cast<std::uint16_t>(value), 0, 0, 0}};
    MergeStatValue(table, work, trackGaps);
}

void PrefillWords(TStatValueRec& work, std::initializer_list<int> values, TStatDrawArray& table)
{
    for (const int value : values)
        MergeWord(work, value, table, false);
}

}  // namespace

// ---------------------------------------------------------------------------------------
// SEQL

TstSequenceLen::TstSequenceLen(const TStatList& list, int param)
    : TCustomNumbersStat(TstSequenceLenClass, list, param)
{
}

void TstSequenceLen::InitValues(int last, TStatDrawArray& table)
{
    TCustomNumbersStat::InitValues(last, table);
    PrefillWords(FValue, {1, 2}, table);
}

void TstSequenceLen::MergeValues(TCombWord comb, TStatDrawArray& table, bool trackGaps)
{
    for (const int length : RunLengths(DigitsOf(comb)))
        MergeWord(FValue, length, table, trackGaps);
}

int TstSequenceLen::AddDraw(int index, int last, bool sorted, TStatDrawArray& table, TStatScratch& scratch,
                            TLastValueArray& lastValues)
{
    const int age = TCustomNumbersStat::AddDraw(index, last, sorted, table, scratch, lastValues);
    MergeValues(DrawToComb(FDraw), table, true);
    return age;
}

void TstSequenceLen::AddCombination(TCombWord comb, TStatDrawArray& table)
{
    TCustomNumbersStat::AddCombination(comb, table);
    MergeValues(comb, table, false);
}

bool TstSequenceLen::Test(TCombWord comb, const TStatDrawArray& selected, int, bool, bool)
{
    const std::vector<int> lengths = RunLengths(DigitsOf(comb));
    return std::any_of(lengths.begin(), lengths.end(), [&](int length) {
        return HasKeyWord(selected, 1, static_cast<std::uint16_t>(length));
    });
}

// ---------------------------------------------------------------------------------------
// SEQS

TstSequenceCnt::TstSequenceCnt(const TStatList& list, int param)
    : TCustomGraphStat(TstSequenceCntClass, list, param)
{
}

void TstSequenceCnt::InitValues(int last, TStatDrawArray& table)
{
    TCustomGraphStat::InitValues(last, table);
    PrefillWords(FValue, {0, 1}, table);
}

int TstSequenceCnt::ValueOf(TCombWord comb, int, int, bool)
{
    return SequenceCount(DigitsOf(comb), true);
}

int TstSequenceCnt::AddDraw(int index, int last, bool sorted, TStatDrawArray& table, TStatScratch& scratch,
                            TLastValueArray& lastValues)
{
    const int age = TCustomGraphStat::AddDraw(index, last, sorted, table, scratch, lastValues);
    MergeWord(FValue, SequenceCount(DigitsOf(FDraw), false), table, true);
    return age;
}

void TstSequenceCnt::AddCombination(TCombWord comb, TStatDrawArray& table)
{
    TCustomGraphStat::AddCombination(comb, table);
    MergeWord(FValue, SequenceCount(DigitsOf(comb), false), table, false);
}

bool TstSequenceCnt::Test(TCombWord comb, const TStatDrawArray& selected, int, bool, bool)
{
    return HasKeyWord(selected, 1, static_cast<std::uint16_t>(SequenceCount(DigitsOf(comb), false)));
}

// ---------------------------------------------------------------------------------------
// LENS

TstSequenceLenMax::TstSequenceLenMax(const TStatList& list, int param)
    : TCustomGraphStat(TstSequenceLenMaxClass, list, param)
{
}

void TstSequenceLenMax::InitValues(int last, TStatDrawArray& table)
{
    TCustomGraphStat::InitValues(last, table);
    PrefillWords(FValue, {1, 2}, table);
}

int TstSequenceLenMax::ValueOf(TCombWord comb, int, int, bool)
{
    return LongestRun(DigitsOf(comb), true, 0);
}

int TstSequenceLenMax::AddDraw(int index, int last, bool sorted, TStatDrawArray& table, TStatScratch& scratch,
                               TLastValueArray& lastValues)
{
    const int age = TCustomGraphStat::AddDraw(index, last, sorted, table, scratch, lastValues);
    MergeWord(FValue, LongestRun(DigitsOf(FDraw), false, 1), table, true);
    return age;
}

void TstSequenceLenMax::AddCombination(TCombWord comb, TStatDrawArray& table)
{
    TCustomGraphStat::AddCombination(comb, table);
    MergeWord(FValue, LongestRun(DigitsOf(comb), false, 1), table, false);
}

bool TstSequenceLenMax::Test(TCombWord comb, const TStatDrawArray& selected, int, bool, bool)
{
    return HasKeyWord(selected, 1, static_cast<std::uint16_t>(LongestRun(DigitsOf(comb), false, 1)));
}
