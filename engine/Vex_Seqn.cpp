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

}  // namespace

// ---------------------------------------------------------------------------------------
// SEQL

TstSequenceLen::TstSequenceLen(const TStatList& list, int param)
    : TCombKeysStat(TstSequenceLenClass, list, param)
{
}

void TstSequenceLen::InitValues(int last, TStatDrawArray& table)
{
    TCombKeysStat::InitValues(last, table);
    PrefillWords(1, 2, table);
}

void TstSequenceLen::KeysOf(TCombWord comb, TStatKeys& keys) const
{
    for (const int length : RunLengths(CombDigits(comb)))
        keys.push_back(WordKey(length));
}

// ---------------------------------------------------------------------------------------
// SEQS

TstSequenceCnt::TstSequenceCnt(const TStatList& list, int param)
    : TCombKeysStat(TstSequenceCntClass, list, param)
{
}

void TstSequenceCnt::InitValues(int last, TStatDrawArray& table)
{
    TCombKeysStat::InitValues(last, table);
    PrefillWords(0, 1, table);
}

int TstSequenceCnt::ValueOf(TCombWord comb, int, int, bool)
{
    return SequenceCount(CombDigits(comb), true);
}

void TstSequenceCnt::KeysOf(TCombWord comb, TStatKeys& keys) const
{
    keys.push_back(WordKey(SequenceCount(CombDigits(comb), false)));
}

// ---------------------------------------------------------------------------------------
// LENS

TstSequenceLenMax::TstSequenceLenMax(const TStatList& list, int param)
    : TCombKeysStat(TstSequenceLenMaxClass, list, param)
{
}

void TstSequenceLenMax::InitValues(int last, TStatDrawArray& table)
{
    TCombKeysStat::InitValues(last, table);
    PrefillWords(1, 2, table);
}

int TstSequenceLenMax::ValueOf(TCombWord comb, int, int, bool)
{
    return LongestRun(CombDigits(comb), true, 0);
}

void TstSequenceLenMax::KeysOf(TCombWord comb, TStatKeys& keys) const
{
    keys.push_back(WordKey(LongestRun(CombDigits(comb), false, 1)));
}
