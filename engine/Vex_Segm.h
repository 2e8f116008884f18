#pragma once

#include "engine/Vex_SegmBase.h"

// Matrix segments of draws and combinations: which segments occur, how many digits each
// holds, how many segments a draw covers, pairs of segments and the digits of one segment.

// SGMS: the segment of each position (two merges per draw, one hit each).
class TstSegments : public TCombKeysStat<TCustomSegmentsStat, TKeyMatch::Word1> {
public:
    TstSegments(const TStatList& list, int param);
    void InitValues(int last, TStatDrawArray& table) override;

protected:
    void KeysOf(TCombWord comb, TStatKeys& keys) const override;
};

// SGMV: (segment, number of digits in it) for every segment of the table, 0 included.
class TstSegmValues : public TCombKeysStat<TCustomSegmentsStat, TKeyMatch::Whole> {
public:
    TstSegmValues(const TStatList& list, int param);
    QString ValueText(const TStatValueRec& value) const override;   // "2 x 1"

    // The segments of the table in the order of first appearance, with the digits of the
    // combination counted into them.
    TStatSimpleArray SegmentCounts(TCombWord comb) const;

protected:
    void KeysOf(TCombWord comb, TStatKeys& keys) const override;
};

// SGMC: number of different segments among the positions (1 or 2).
class TstSegmCount : public TCombNumberStat<TCustomSegmentsGraphStat> {
public:
    TstSegmCount(const TStatList& list, int param);
    int NumberOf(TCombWord comb) const override;
};

// KGM2, KGS2: the pair (segment of position 1, segment of position 2) of a draw. With two
// positions "all positions" and "neighbouring positions" give the same single pair. Their
// combination tables stay empty, as for every pair statistic.
class TSegmPairStat
    : public TCombKeysStat<TCustomSegmentsStat, TKeyMatch::Whole, TCombRows::None> {
public:
    using TCombKeysStat::TCombKeysStat;
    QString ValueText(const TStatValueRec& value) const override;   // "1:2"

protected:
    void KeysOf(TCombWord comb, TStatKeys& keys) const override;
};

class TstCombSegmMix2 : public TSegmPairStat {
public:
    TstCombSegmMix2(const TStatList& list, int param);
};

class TstCombSegmSeq2 : public TSegmPairStat {
public:
    TstCombSegmSeq2(const TStatList& list, int param);
};

// SGM%d: number of positions whose digit lies in segment Param.
class TstSgmValCnt : public TCombNumberStat<TCustomSegmentsGraphStat> {
public:
    TstSgmValCnt(const TStatList& list, int param);
    int NumberOf(TCombWord comb) const override;
};

extern const TStatClass TstSegmentsClass;
extern const TStatClass TstSegmValuesClass;
extern const TStatClass TstSegmCountClass;
extern const TStatClass TstCombSegmMix2Class;
extern const TStatClass TstCombSegmMix3Class;   // not offered: no three positions
extern const TStatClass TstCombSegmMix4Class;   // not offered
extern const TStatClass TstCombSegmSeq2Class;
extern const TStatClass TstCombSegmSeq3Class;   // not offered
extern const TStatClass TstCombSegmSeq4Class;   // not offered
extern const TStatClass TstSgmValCntClass;
