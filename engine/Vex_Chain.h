#pragma once

#include "engine/KelmaFilters.h"
#include "engine/Vex_Units.h"

#include <cstddef>
#include <cstdint>

// Chains (group "mov"): transitions between consecutive draws. Each class asks what came
// after past draws that looked like the newest draw of the analysed range (the reference
// draw R), or like the two newest draws (R2, R). For a draw C of the range it reads the
// draw before it (P1) and, for chains of three draws, the one before that (P2); only when
// they agree with R (and R2) is the transition counted.
//
// A value is a key of two words (from, to) or three words (from, from, to); word 1 is the
// oldest. The filter test asks whether a combination holds the "to" part of a selected row.
// AddCombination is not overridden: the base merges nothing, so a combination list has no
// rows for these classes.
//
// Transitions follow digits, channels (ChannelSize consecutive digits, copied from the
// configuration) or matrix segments (MatrixSegments, copied likewise). Positions are
// 1-based here, as the method parameters count them.

// Which positions a transition is taken at.
enum class TChainPositions : std::uint8_t {
    Any,     // a from value at any position of P1, matched anywhere in R, to every position of C
    Each,    // position by position
    Param,   // only the position given as the method's parameter
};

class TCustomChainStat : public TCustomStat {
public:
    // drawCount: 2 for (P1 -> C), 3 for (P2, P1 -> C).
    TCustomChainStat(const TStatClass& cls, const TStatList& list, int param, TDigitUnit unit,
                     int drawCount);

    TDigitUnit Unit() const { return FUnits.Unit(); }
    int DrawCount() const { return FDrawCount; }
    int ChannelSize() const { return FUnits.ChannelSize(); }

    // "a -> b" or "a-b -> c", each word in the text of the unit.
    QString ValueText(const TStatValueRec& value) const override;

    // The value of a digit at a position (1 or 2): the digit, its channel or its segment.
    int UnitOf(int position, int digit) const { return FUnits.ValueOf(position, digit); }

protected:
    // Text of one key word.
    virtual QString WordText(std::uint16_t word) const;
    // Loads P1 (and P2, R2 for chains of three draws). False when the archive does not
    // reach far enough back: the first draw (and for three draws the second) has no chain.
    bool LoadHistory(int index, int last, bool sorted);
    // 1-based index of the key word that holds the "to" value.
    int ToWord() const { return FDrawCount; }

    // A draw outside the archive has number 0, a damaged record may hold one that reads as
    // negative: neither takes part in a chain.
    static bool IsRealDraw(const TDrawRec& draw) { return static_cast<std::int32_t>(draw.Number) >= 1; }
    static std::uint8_t DigitAt(const TDrawRec& draw, int position)
    {
        return draw.Digits[static_cast<std::size_t>(position - 1)];
    }
    static std::uint8_t DigitAt(TCombWord comb, int position)
    {
        return position == 1 ? CombDigit1(comb) : CombDigit2(comb);
    }

    TDigitUnits FUnits;
    int FDrawCount;
    TDrawRec FPrev1;   // P1: the draw before the current one
    TDrawRec FPrev2;   // P2: two draws before (chains of three draws)
    TDrawRec FRef2;    // R2: the draw before the reference draw (chains of three draws)
};

// Transitions of digits, channels or segments (SDV2 ... SSM%d).
class TChainTransitionStat : public TCustomChainStat {
public:
    TChainTransitionStat(const TStatClass& cls, const TStatList& list, int param,
                         TDigitUnit unit, int drawCount, TChainPositions positions);

    TChainPositions Positions() const { return FPositions; }

    int AddDraw(int index, int last, bool sorted, TStatDrawArray& table, TStatScratch& scratch,
                TLastValueArray& lastValues) override;
    // True when the value of a digit of the combination at its position is the "to" word of a
    // selected row (at whichever position the row was counted).
    bool Test(TCombWord comb, const TStatDrawArray& selected, int last, bool sorted,
              bool exclude) override;

private:
    bool UsesPosition(int position) const;

    TChainPositions FPositions;
};

// Transitions of the number of positions whose digit lies in channel or segment k (the
// parameter): SC2C%d, SC3C%d, SS2C%d, SS3C%d. Positions play no part, so every draw is
// read in its drawn order.
class TChainCountStat : public TCustomChainStat {
public:
    TChainCountStat(const TStatClass& cls, const TStatList& list, int param, TDigitUnit unit,
                    int drawCount);

    // Pre-fills the rows that can follow the draw `last`, with hit count 0.
    void InitValues(int last, TStatDrawArray& table) override;
    int AddDraw(int index, int last, bool sorted, TStatDrawArray& table, TStatScratch& scratch,
                TLastValueArray& lastValues) override;
    // True when the combination's count is the "to" word of a selected row.
    bool Test(TCombWord comb, const TStatDrawArray& selected, int last, bool sorted,
              bool exclude) override;

    int CountOf(const TDrawRec& draw) const;

protected:
    QString WordText(std::uint16_t word) const override;   // SumToStr
};

// Transitions of a digit of P1 that R also holds to the digits of C in the same channel
// (SDA2, SDG2, SDZ2, SDC2). Word 2 = 0 stands both for "no digit of C in the channel" and
// for a transition to the digit 0; the rows and the filter keep that double meaning.
class TCustomChainChannels2Inside : public TCustomChainStat {
public:
    // Modes: 0 every transition and (d -> 0) for none, 1 transitions only, 2 (d -> 0) only,
    // 3 (d -> number of C's digits in d's channel).
    TCustomChainChannels2Inside(const TStatClass& cls, const TStatList& list, int param, int mode);

    int InsideMode() const { return FMode; }

    int AddDraw(int index, int last, bool sorted, TStatDrawArray& table, TStatScratch& scratch,
                TLastValueArray& lastValues) override;
    // Compares the combination with the newest draw `last`, read again in drawn order: a row
    // (d, x) matches a digit c of the combination when d is a digit of that draw and c = x,
    // or, for the count rows and for the rows (d, 0) with d other than 0, when c lies in d's
    // channel.
    bool Test(TCombWord comb, const TStatDrawArray& selected, int last, bool sorted,
              bool exclude) override;

protected:
    QString WordText(std::uint16_t word) const override;   // "%.2d"; counts as SumToStr

private:
    int FMode;
};

// Descriptor of a class of the family: all are offered, none has a numeric value.
constexpr TStatClass ChainStatClass(const char* className, const char* code, TResString caption,
                                    std::uint8_t flags, TStatFactory factory,
                                    const char* helpName = nullptr, TParamRangeFn range = nullptr)
{
    constexpr int chainGroup = 10;
    return TStatClass{.ClassName = className, .CodeFormat = code, .CaptionFormat = caption,
        .HelpName = helpName, .Group = chainGroup, .Flags = flags, .Available = true,
        .IsGraph = false, .HasNumericValue = false, .ParamRange = range, .Factory = factory};
}

extern const TStatClass TstChain2DrawsAllClass;
extern const TStatClass TstChain2DrawsPosClass;
extern const TStatClass TstChain2PosClass;
extern const TStatClass TstChain3DrawsPosClass;
extern const TStatClass TstChain3PosClass;
extern const TStatClass TstChain2ChannelsAllClass;
extern const TStatClass TstChain2ChannelsPosClass;
extern const TStatClass TstChain2ChannelClass;
extern const TStatClass TstChain3ChannelsPosClass;
extern const TStatClass TstChain3ChannelClass;
extern const TStatClass TstChain2CnlCntClass;
extern const TStatClass TstChain3CnlCntClass;
extern const TStatClass TstChainChannels2InsideAllClass;
extern const TStatClass TstChainChannels2InsideSucClass;
extern const TStatClass TstChainChannels2InsideBadClass;
extern const TStatClass TstChainChannels2InsideCntClass;
extern const TStatClass TstChain2SegmentsAllClass;
extern const TStatClass TstChain2SegmentsPosClass;
extern const TStatClass TstChain2SegmentClass;
extern const TStatClass TstChain3SegmentsPosClass;
extern const TStatClass TstChain3SegmentClass;
extern const TStatClass TstChain2SgmCntClass;
extern const TStatClass TstChain3SgmCntClass;

// Digits.
using TstChain2DrawsAll = TBoundStat<TChainTransitionStat, TstChain2DrawsAllClass,
                                     TDigitUnit::Digits, 2, TChainPositions::Any>;
using TstChain2DrawsPos = TBoundStat<TChainTransitionStat, TstChain2DrawsPosClass,
                                     TDigitUnit::Digits, 2, TChainPositions::Each>;
using TstChain2Pos = TBoundStat<TChainTransitionStat, TstChain2PosClass,
                                TDigitUnit::Digits, 2, TChainPositions::Param>;
using TstChain3DrawsPos = TBoundStat<TChainTransitionStat, TstChain3DrawsPosClass,
                                     TDigitUnit::Digits, 3, TChainPositions::Each>;
using TstChain3Pos = TBoundStat<TChainTransitionStat, TstChain3PosClass,
                                TDigitUnit::Digits, 3, TChainPositions::Param>;

// Channels.
using TstChain2ChannelsAll = TBoundStat<TChainTransitionStat, TstChain2ChannelsAllClass,
                                        TDigitUnit::Channels, 2, TChainPositions::Any>;
using TstChain2ChannelsPos = TBoundStat<TChainTransitionStat, TstChain2ChannelsPosClass,
                                        TDigitUnit::Channels, 2, TChainPositions::Each>;
using TstChain2Channel = TBoundStat<TChainTransitionStat, TstChain2ChannelClass,
                                    TDigitUnit::Channels, 2, TChainPositions::Param>;
using TstChain3ChannelsPos = TBoundStat<TChainTransitionStat, TstChain3ChannelsPosClass,
                                        TDigitUnit::Channels, 3, TChainPositions::Each>;
using TstChain3Channel = TBoundStat<TChainTransitionStat, TstChain3ChannelClass,
                                    TDigitUnit::Channels, 3, TChainPositions::Param>;
using TstChain2CnlCnt = TBoundStat<TChainCountStat, TstChain2CnlCntClass, TDigitUnit::Channels, 2>;
using TstChain3CnlCnt = TBoundStat<TChainCountStat, TstChain3CnlCntClass, TDigitUnit::Channels, 3>;

// Digits inside their channels.
using TstChainChannels2InsideAll =
    TBoundStat<TCustomChainChannels2Inside, TstChainChannels2InsideAllClass, 0>;
using TstChainChannels2InsideSuc =
    TBoundStat<TCustomChainChannels2Inside, TstChainChannels2InsideSucClass, 1>;
using TstChainChannels2InsideBad =
    TBoundStat<TCustomChainChannels2Inside, TstChainChannels2InsideBadClass, 2>;
using TstChainChannels2InsideCnt =
    TBoundStat<TCustomChainChannels2Inside, TstChainChannels2InsideCntClass, 3>;

// Segments.
using TstChain2SegmentsAll = TBoundStat<TChainTransitionStat, TstChain2SegmentsAllClass,
                                        TDigitUnit::Segments, 2, TChainPositions::Any>;
using TstChain2SegmentsPos = TBoundStat<TChainTransitionStat, TstChain2SegmentsPosClass,
                                        TDigitUnit::Segments, 2, TChainPositions::Each>;
using TstChain2Segment = TBoundStat<TChainTransitionStat, TstChain2SegmentClass,
                                    TDigitUnit::Segments, 2, TChainPositions::Param>;
using TstChain3SegmentsPos = TBoundStat<TChainTransitionStat, TstChain3SegmentsPosClass,
                                        TDigitUnit::Segments, 3, TChainPositions::Each>;
using TstChain3Segment = TBoundStat<TChainTransitionStat, TstChain3SegmentClass,
                                    TDigitUnit::Segments, 3, TChainPositions::Param>;
using TstChain2SgmCnt = TBoundStat<TChainCountStat, TstChain2SgmCntClass, TDigitUnit::Segments, 2>;
using TstChain3SgmCnt = TBoundStat<TChainCountStat, TstChain3SgmCntClass, TDigitUnit::Segments, 3>;
