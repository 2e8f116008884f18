#include "engine/Vex_Chain.h"

#include <cstdint>

// ---------------------------------------------------------------------------------------
// Descriptors of the transitions of digits, channels and segments.

const TStatClass TstChain2DrawsAllClass = ChainStatClass("TstChain2DrawsAll", "SDV2",
    KELMA_MSG("Переходы чисел между 2 тиражами без учета позиции"), sfTwoDraws,
    &MakeStat<TstChain2DrawsAll>);
const TStatClass TstChain2DrawsPosClass = ChainStatClass("TstChain2DrawsPos", "SDP2",
    KELMA_MSG("Переходы чисел между 2 тиражами с учетом позиции"), sfShowS | sfTwoDraws,
    &MakeStat<TstChain2DrawsPos>);
const TStatClass TstChain2PosClass = ChainStatClass("TstChain2Pos", "SDN%d",
    KELMA_MSG("Переходы чисел между 2 тиражами в %d позиции"), sfShowS | sfTwoDraws,
    &MakeStat<TstChain2Pos>, "SDNx", &PositionParamRange);
const TStatClass TstChain3DrawsPosClass = ChainStatClass("TstChain3DrawsPos", "SDP3",
    KELMA_MSG("Переходы чисел между 3 тиражами с учетом позиции"), sfShowS | sfTwoDraws,
    &MakeStat<TstChain3DrawsPos>);
const TStatClass TstChain3PosClass = ChainStatClass("TstChain3Pos", "SDM%d",
    KELMA_MSG("Переходы чисел между 3 тиражами в %d позиции"), sfShowS | sfTwoDraws,
    &MakeStat<TstChain3Pos>, "SDMx", &PositionParamRange);

const TStatClass TstChain2ChannelsAllClass = ChainStatClass("TstChain2ChannelsAll", "SCV2",
    KELMA_MSG("Переходы каналов между 2 тиражами без учета позиции"), sfTwoDraws,
    &MakeStat<TstChain2ChannelsAll>);
const TStatClass TstChain2ChannelsPosClass = ChainStatClass("TstChain2ChannelsPos", "SCP2",
    KELMA_MSG("Переходы каналов между 2 тиражами с учетом позиции"), sfShowS | sfTwoDraws,
    &MakeStat<TstChain2ChannelsPos>);
const TStatClass TstChain2ChannelClass = ChainStatClass("TstChain2Channel", "SCN%d",
    KELMA_MSG("Переходы каналов между 2 тиражами в %d позиции"), sfShowS | sfTwoDraws,
    &MakeStat<TstChain2Channel>, "SCNx", &PositionParamRange);
const TStatClass TstChain3ChannelsPosClass = ChainStatClass("TstChain3ChannelsPos", "SCP3",
    KELMA_MSG("Переходы каналов между 3 тиражами с учетом позиции"), sfShowS | sfTwoDraws,
    &MakeStat<TstChain3ChannelsPos>);
const TStatClass TstChain3ChannelClass = ChainStatClass("TstChain3Channel", "SCM%d",
    KELMA_MSG("Переходы каналов между 3 тиражами в %d позиции"), sfShowS | sfTwoDraws,
    &MakeStat<TstChain3Channel>, "SCMx", &PositionParamRange);

const TStatClass TstChain2SegmentsAllClass = ChainStatClass("TstChain2SegmentsAll", "SSV2",
    KELMA_MSG("Переходы сегментов между 2 тиражами без учета позиции"), sfTwoDraws,
    &MakeStat<TstChain2SegmentsAll>);
const TStatClass TstChain2SegmentsPosClass = ChainStatClass("TstChain2SegmentsPos", "SSP2",
    KELMA_MSG("Переходы сегментов между 2 тиражами с учетом позиции"), sfShowS | sfTwoDraws,
    &MakeStat<TstChain2SegmentsPos>);
const TStatClass TstChain2SegmentClass = ChainStatClass("TstChain2Segment", "SSN%d",
    KELMA_MSG("Переходы сегментов между 2 тиражами в %d позиции"), sfShowS | sfTwoDraws,
    &MakeStat<TstChain2Segment>, "SSNx", &PositionParamRange);
const TStatClass TstChain3SegmentsPosClass = ChainStatClass("TstChain3SegmentsPos", "SSP3",
    KELMA_MSG("Переходы сегментов между 3 тиражами с учетом позиции"), sfShowS | sfTwoDraws,
    &MakeStat<TstChain3SegmentsPos>);
const TStatClass TstChain3SegmentClass = ChainStatClass("TstChain3Segment", "SSM%d",
    KELMA_MSG("Переходы сегментов между 3 тиражами в %d позиции"), sfShowS | sfTwoDraws,
    &MakeStat<TstChain3Segment>, "SSMx", &PositionParamRange);

// ---------------------------------------------------------------------------------------
// TCustomChainStat

TCustomChainStat::TCustomChainStat(const TStatClass& cls, const TStatList& list, int param,
                                   TDigitUnit unit, int drawCount)
    : TCustomStat(cls, list, param),
      FUnits(unit, list),
      FDrawCount(drawCount >= 3 ? 3 : 2)
{
}

QString TCustomChainStat::ValueText(const TStatValueRec& value) const
{
    const auto& words = value.Key.Words;
    if (FDrawCount >= 3)
        return WordText(words[0]) + QLatin1Char('-') + WordText(words[1]) + QStringLiteral(" -> ")
               + WordText(words[2]);
    return WordText(words[0]) + QStringLiteral(" -> ") + WordText(words[1]);
}

QString TCustomChainStat::WordText(std::uint16_t word) const
{
    return FUnits.ValueText(word);
}

bool TCustomChainStat::LoadHistory(int index, int last, bool sorted)
{
    FPrev1 = LoadDrawRec(IndexBefore(index, 1), sorted);
    // Chains of two draws never read P2 and R2.
    if (FDrawCount < 3)
        return IsRealDraw(FPrev1);
    FPrev2 = TDrawRec{};
    FRef2 = TDrawRec{};
    if (!IsRealDraw(FPrev1))
        return false;
    FPrev2 = LoadDrawRec(IndexBefore(index, 2), sorted);
    FRef2 = LoadDrawRec(IndexBefore(last, 1), sorted);
    return IsRealDraw(FPrev2);
}

// ---------------------------------------------------------------------------------------
// TChainTransitionStat

TChainTransitionStat::TChainTransitionStat(const TStatClass& cls, const TStatList& list, int param,
                                           TDigitUnit unit, int drawCount, TChainPositions positions)
    : TCustomChainStat(cls, list, param, unit,
                       // A from value taken at any position only exists for two draws.
                       positions == TChainPositions::Any ? 2 : drawCount),
      FPositions(positions)
{
}

bool TChainTransitionStat::UsesPosition(int position) const
{
    return FPositions != TChainPositions::Param || position == FParam;
}

int TChainTransitionStat::AddDraw(int index, int last, bool sorted, TStatDrawArray& table,
                                  TStatScratch& scratch, TLastValueArray& lastValues)
{
    const int age = TCustomChainStat::AddDraw(index, last, sorted, table, scratch, lastValues);
    if (!LoadHistory(index, last, sorted))
        return age;

    if (FPositions == TChainPositions::Any) {
        // Each from value of P1 that R holds anywhere goes to both values of C; a value that
        // P1 holds twice is counted twice.
        for (int q = 1; q <= DrawDigits; ++q) {
            const int from = UnitOf(q, DigitAt(FPrev1, q));
            bool inReference = false;
            for (int p = 1; p <= DrawDigits; ++p)
                inReference = inReference || UnitOf(p, DigitAt(FDraw2, p)) == from;
            if (!inReference)
                continue;
            FValue.Key.Words[0] = static_cast<std::uint16_t>(from);
            for (int p = 1; p <= DrawDigits; ++p) {
                FValue.Key.Words[1] = static_cast<std::uint16_t>(UnitOf(p, DigitAt(FDraw, p)));
                MergeValue(table, true);
            }
        }
        return age;
    }

    for (int p = 1; p <= DrawDigits; ++p) {
        if (!UsesPosition(p))
            continue;
        const int from1 = UnitOf(p, DigitAt(FPrev1, p));
        if (from1 != UnitOf(p, DigitAt(FDraw2, p)))
            continue;
        const int to = UnitOf(p, DigitAt(FDraw, p));
        if (FDrawCount >= 3) {
            const int from2 = UnitOf(p, DigitAt(FPrev2, p));
            if (from2 != UnitOf(p, DigitAt(FRef2, p)))
                continue;
            FValue.Key.Words = {static_cast<std::uint16_t>(from2), static_cast<std::uint16_t>(from1),
                                static_cast<std::uint16_t>(to), 0};
        } else {
            FValue.Key.Words = {static_cast<std::uint16_t>(from1), static_cast<std::uint16_t>(to), 0, 0};
        }
        MergeValue(table, true);
    }
    return age;
}

bool TChainTransitionStat::Test(TCombWord comb, const TStatDrawArray& selected, int /*last*/,
                                bool /*sorted*/, bool /*exclude*/)
{
    for (int p = 1; p <= DrawDigits; ++p)
        if (HasKeyWord(selected, ToWord(), static_cast<std::uint16_t>(UnitOf(p, DigitAt(comb, p)))))
            return true;
    return false;
}
