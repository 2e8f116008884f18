#pragma once

#include "engine/KelmaFilters.h"

// Sequences inside one draw: runs of positions whose digits rise by exactly 1 from one
// position to the next, in the draw's digit order (ascending when the caller sorts). There
// is no wrap from 9 to 0.

// SEQL: the length of every run (a draw without a sequence counts two runs of length 1).
class TstSequenceLen : public TCustomNumbersStat {
public:
    TstSequenceLen(const TStatList& list, int param);
    void InitValues(int last, TStatDrawArray& table) override;
    int AddDraw(int index, int last, bool sorted, TStatDrawArray& table, TStatScratch& scratch,
                TLastValueArray& lastValues) override;
    void AddCombination(TCombWord comb, TStatDrawArray& table) override;
    bool Test(TCombWord comb, const TStatDrawArray& selected, int last, bool sorted, bool exclude) override;

private:
    void MergeValues(TCombWord comb, TStatDrawArray& table, bool trackGaps);
};

// SEQS: the number of runs of length 2 or more. The graph value also counts a falling
// step of 1 (5,4 is drawn as 1).
class TstSequenceCnt : public TCustomGraphStat {
public:
    TstSequenceCnt(const TStatList& list, int param);
    void InitValues(int last, TStatDrawArray& table) override;
    int ValueOf(TCombWord comb, int index, int last, bool sorted) override;
    int AddDraw(int index, int last, bool sorted, TStatDrawArray& table, TStatScratch& scratch,
                TLastValueArray& lastValues) override;
    void AddCombination(TCombWord comb, TStatDrawArray& table) override;
    bool Test(TCombWord comb, const TStatDrawArray& selected, int last, bool sorted, bool exclude) override;
};

// LENS: the length of the longest run (1 without a sequence). The graph value counts a
// step of 1 either way and is 0 without one: 2 for a pair one apart, 0 otherwise.
class TstSequenceLenMax : public TCustomGraphStat {
public:
    TstSequenceLenMax(const TStatList& list, int param);
    void InitValues(int last, TStatDrawArray& table) override;
    int ValueOf(TCombWord comb, int index, int last, bool sorted) override;
    int AddDraw(int index, int last, bool sorted, TStatDrawArray& table, TStatScratch& scratch,
                TLastValueArray& lastValues) override;
    void AddCombination(TCombWord comb, TStatDrawArray& table) override;
    bool Test(TCombWord comb, const TStatDrawArray& selected, int last, bool sorted, bool exclude) override;
};

extern const TStatClass TstSequenceLenClass;
extern const TStatClass TstSequenceCntClass;
extern const TStatClass TstSequenceLenMaxClass;
