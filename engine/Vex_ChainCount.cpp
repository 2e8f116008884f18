#include "engine/Vex_Chain.h"

#include "engine/KelmaStatList.h"
#include "engine/Vex_ChnsBase.h"
#include "engine/Vex_SegmBase.h"

#include <algorithm>

const TStatClass TstChain2CnlCntClass = ChainStatClass("TstChain2CnlCnt", "SC2C%d",
    KELMA_MSG("Переходы кол-ва чисел в %d канале между 2 тиражами"), sfTwoDraws,
    &MakeStat<TstChain2CnlCnt>, "SC2Cx", &ChannelParamRange);
const TStatClass TstChain3CnlCntClass = ChainStatClass("TstChain3CnlCnt", "SC3C%d",
    KELMA_MSG("Переходы кол-ва чисел в %d канале между 3 тиражами"), sfTwoDraws,
    &MakeStat<TstChain3CnlCnt>, "SC3Cx", &ChannelParamRange);
const TStatClass TstChain2SgmCntClass = ChainStatClass("TstChain2SgmCnt", "SS2C%d",
    KELMA_MSG("Переходы кол-ва чисел в %d сегменте между 2 тиражами"), sfTwoDraws,
    &MakeStat<TstChain2SgmCnt>, "SS2Cx", &SegmentParamRange);
const TStatClass TstChain3SgmCntClass = ChainStatClass("TstChain3SgmCnt", "SS3C%d",
    KELMA_MSG("Переходы кол-ва чисел в %d сегменте между 3 тиражами"), sfTwoDraws,
    &MakeStat<TstChain3SgmCnt>, "SS3Cx", &SegmentParamRange);

TChainCountStat::TChainCountStat(const TStatClass& cls, const TStatList& list, int param,
                                 TDigitUnit unit, int drawCount)
    : TCustomChainStat(cls, list, param, unit, drawCount)
{
}

int TChainCountStat::CountOf(const TDrawRec& draw) const
{
    int count = 0;
    for (int p = 1; p <= DrawDigits; ++p)
        if (UnitOf(p, DigitAt(draw, p)) == FParam)
            ++count;
    return count;
}

QString TChainCountStat::WordText(std::uint16_t word) const
{
    return SumToStr(word);
}

void TChainCountStat::InitValues(int last, TStatDrawArray& table)
{
    TCustomChainStat::InitValues(last, table);
    const int newest = CountOf(LoadDrawRec(last, false));
    int toWord = 1;
    if (FDrawCount >= 3) {
        FValue.Key.Words[0] = static_cast<std::uint16_t>(CountOf(LoadDrawRec(IndexBefore(last, 1), false)));
        FValue.Key.Words[1] = static_cast<std::uint16_t>(newest);
        toWord = 2;
    } else {
        FValue.Key.Words[0] = static_cast<std::uint16_t>(newest);
    }
    // A channel holds up to ChannelSize digits: every count up to it may follow. Segments
    // offer only the count 0 in advance. The size comes from the settings file, so the rows
    // stop at the number of digits there are (a larger channel cannot hold more).
    const int largest = Unit() == TDigitUnit::Channels ? std::min(ChannelSize(), DigitValues) : 0;
    for (int n = 0; n <= largest; ++n) {
        FValue.Key.Words[static_cast<std::size_t>(toWord)] = static_cast<std::uint16_t>(n);
        MergeValue(table, false);
    }
}

int TChainCountStat::AddDraw(int index, int last, bool /*sorted*/, TStatDrawArray& table,
                             TStatScratch& scratch, TLastValueArray& lastValues)
{
    // A segment count depends on the positions of the digits, so every draw is read in its
    // drawn order whatever the caller's sorting: the reference draw and the earlier draws
    // must be compared in the same order, and the pre-filled rows use it too.
    const int age = TCustomChainStat::AddDraw(index, last, false, table, scratch, lastValues);
    if (!LoadHistory(index, last, false))
        return age;
    const int prev1 = CountOf(FPrev1);
    if (prev1 != CountOf(FDraw2))
        return age;
    const int current = CountOf(FDraw);
    if (FDrawCount >= 3) {
        const int prev2 = CountOf(FPrev2);
        if (prev2 != CountOf(FRef2))
            return age;
        FValue.Key.Words = {static_cast<std::uint16_t>(prev2), static_cast<std::uint16_t>(prev1),
                            static_cast<std::uint16_t>(current), 0};
    } else {
        FValue.Key.Words = {static_cast<std::uint16_t>(prev1), static_cast<std::uint16_t>(current), 0, 0};
    }
    MergeValue(table, true);
    return age;
}

bool TChainCountStat::Test(TCombWord comb, const TStatDrawArray& selected, int /*last*/,
                           bool /*sorted*/, bool /*exclude*/)
{
    int count = 0;
    for (int p = 1; p <= DrawDigits; ++p)
        if (UnitOf(p, DigitAt(comb, p)) == FParam)
            ++count;
    return HasKeyWord(selected, ToWord(), static_cast<std::uint16_t>(count));
}
