#include "engine/Vex_Chain.h"

namespace {

constexpr int ModeAll = 0;        // every transition, and (d -> 0) when there is none
constexpr int ModeSuccess = 1;    // transitions only
constexpr int ModeFailure = 2;    // (d -> 0) only
constexpr int ModeCount = 3;      // (d -> number of transitions)

}  // namespace

const TStatClass TstChainChannels2InsideAllClass = ChainStatClass("TstChainChannels2InsideAll",
    "SDA2", KELMA_MSG("Переходы чисел в пределах каналов (все)"), sfTwoDraws,
    &MakeStat<TstChainChannels2InsideAll>);
const TStatClass TstChainChannels2InsideSucClass = ChainStatClass("TstChainChannels2InsideSuc",
    "SDG2", KELMA_MSG("Переходы чисел в пределах каналов (N-M, удачные)"), sfTwoDraws,
    &MakeStat<TstChainChannels2InsideSuc>);
const TStatClass TstChainChannels2InsideBadClass = ChainStatClass("TstChainChannels2InsideBad",
    "SDZ2", KELMA_MSG("Переходы чисел в пределах каналов (N-0, не удачные)"), sfTwoDraws,
    &MakeStat<TstChainChannels2InsideBad>);
const TStatClass TstChainChannels2InsideCntClass = ChainStatClass("TstChainChannels2InsideCnt",
    "SDC2", KELMA_MSG("Переходы чисел в пределах каналов (количество)"), sfTwoDraws,
    &MakeStat<TstChainChannels2InsideCnt>);

TCustomChainChannels2Inside::TCustomChainChannels2Inside(const TStatClass& cls,
                                                         const TStatList& list, int param, int mode)
    : TCustomChainStat(cls, list, param, TDigitUnit::Channels, 2), FMode(mode)
{
}

QString TCustomChainChannels2Inside::WordText(std::uint16_t word) const
{
    return FMode == ModeCount ? SumToStr(word) : TCustomChainStat::WordText(word);
}

int TCustomChainChannels2Inside::AddDraw(int index, int last, bool sorted, TStatDrawArray& table,
                                         TStatScratch& scratch, TLastValueArray& lastValues)
{
    const int age = TCustomChainStat::AddDraw(index, last, sorted, table, scratch, lastValues);
    // Which digit comes first plays no part here: P1 is read as drawn.
    if (!LoadHistory(index, last, false))
        return age;
    for (int q = 1; q <= DrawDigits; ++q) {
        const std::uint8_t from = DigitAt(FPrev1, q);
        if (!DrawHasDigit(from, FDraw2))
            continue;
        const int channel = UnitOf(q, from);
        FValue.Key.Words = {from, 0, 0, 0};
        for (int p = 1; p <= DrawDigits; ++p) {
            const std::uint8_t to = DigitAt(FDraw, p);
            if (UnitOf(p, to) != channel)
                continue;
            if (FMode == ModeCount) {
                ++FValue.Key.Words[1];
            } else {
                FValue.Key.Words[1] = to;
                if (FMode != ModeFailure)
                    MergeValue(table, true);
            }
        }
        // Word 2 is still 0 when no digit of C fell into the channel, and also when the last
        // one that did was the digit 0: both count as (d -> 0).
        if (FMode == ModeCount)
            MergeValue(table, true);
        else if (FValue.Key.Words[1] == 0 && FMode != ModeSuccess)
            MergeValue(table, true);
    }
    return age;
}

bool TCustomChainChannels2Inside::Test(TCombWord comb, const TStatDrawArray& selected, int last,
                                       bool /*sorted*/, bool /*exclude*/)
{
    // A count row (d, n) keeps a combination that has a digit in d's channel, whatever n:
    // the rows with n >= 1 are exactly the draws that had one. A row (d, 0) with d other
    // than 0 is read the same way in every mode; any other row names the digit itself.
    const TDrawRec newest = LoadDrawRec(last, false);
    for (int q = 1; q <= DrawDigits; ++q) {
        const int from = DigitAt(newest, q);
        const int channel = UnitOf(q, from);
        for (int p = 1; p <= DrawDigits; ++p) {
            const int to = DigitAt(comb, p);
            for (const TStatValueRec& row : selected) {
                const auto& words = row.Key.Words;
                if (words[0] != from)
                    continue;
                const bool byChannel = FMode == ModeCount || (words[1] == 0 && words[0] != 0);
                if (byChannel ? UnitOf(p, to) == channel : words[1] == to)
                    return true;
            }
        }
    }
    return false;
}
