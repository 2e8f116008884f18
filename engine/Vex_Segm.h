#pragma once

#include "engine/Vex_SegmBase.h"

// Matrix segments of draws and combinations: which segments occur, how many digits each
// holds, how many segments a draw covers, pairs of segments and the digits of one segment.

// SGMS: the segment of each position (two merges per draw, one hit each).
class TstSegments : public TCustomSegmentsStat {
public:
    TstSegments(const TStatList& list, int param);
    void InitValues(int last, TStatDrawArray& table) override;
    int AddDraw(int index, int last, bool sorted, TStatDrawArray& table, TStatScratch& scratch,
                TLastValueArray& lastValues) override;
    void AddCombination(TCombWord comb, TStatDrawArray& table) override;
    bool Test(TCombWord comb, const TStatDrawArray& selected, int last, bool sorted, bool exclude) override;

private:
    void MergeValues(TCombWord comb, TStatDrawArray& table, bool trackGaps);
};

// SGMV: (segment, number of digits in it) for every segment of the table, 0 included.
class TstSegmValues : public TCustomSegmentsStat {
public:
    TstSegmValues(const TStatList& list, int param);
    QString ValueText(const TStatValueRec& value) const override;   // "2 x 1"
    int AddDraw(int index, int last, bool sorted, TStatDrawArray& table, TStatScratch& scratch,
                TLastValueArray& lastValues) override;
    void AddCombination(TCombWord comb, TStatDrawArray& table) override;
    bool Test(TCombWord comb, const TStatDrawArray& selected, int last, bool sorted, bool exclude) override;

    // The segments of the table in the order of first appearance, with the digits of the
    // combination counted into them.
    TStatSimpleArray SegmentCounts(TCombWord comb) const;

private:
    void MergeValues(TCombWord comb, TStatDrawArray& table, bool trackGaps);
};

// SGMC: number of different segments among the positions (1 or 2).
class TstSegmCount : public TCustomSegmentsGraphStat {
public:
    TstSegmCount(const TStatList& list, int param);
    int ValueOf(TCombWord comb, int index, int last, bool sorted) override;
    int AddDraw(int index, int last, bool sorted, TStatDrawArray& table, TStatScratch& scratch,
                TLastValueArray& lastValues) override;
    void AddCombination(TCombWord comb, TStatDrawArray& table) override;
    bool Test(TCombWord comb, const TStatDrawArray& selected, int last, bool sorted, bool exclude) override;

private:
    int CountOf(TCombWord comb) const;
};

// KGM2, KGS2: the pair (segment of position 1, segment of position 2) of a draw. With two
// positions "all positions" and "neighbouring positions" give the same single pair. Their
// combination tables stay empty, as for every pair statistic.
class TSegmPairStat : public TCustomSegmentsStat {
public:
    using TCustomSegmentsStat::TCustomSegmentsStat;
    QString ValueText(const TStatValueRec& value) const override;   // "1:2"
    int AddDraw(int index, int last, bool sorted, TStatDrawArray& table, TStatScratch& scratch,
                TLastValueArray& lastValues) override;
    bool Test(TCombWord comb, const TStatDrawArray& selected, int last, bool sorted, bool exclude) override;
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
class TstSgmValCnt : public TCustomSegmentsGraphStat {
public:
    TstSgmValCnt(const TStatList& list, int param);
    int ValueOf(TCombWord comb, int index, int last, bool sorted) override;
    int AddDraw(int index, int last, bool sorted, TStatDrawArray& table, TStatScratch& scratch,
                TLastValueArray& lastValues) override;
    void AddCombination(TCombWord comb, TStatDrawArray& table) override;
    bool Test(TCombWord comb, const TStatDrawArray& selected, int last, bool sorted, bool exclude) override;

private:
    int CountOf(TCombWord comb) const;
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
