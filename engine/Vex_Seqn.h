#pragma once

#include "engine/KelmaFilters.h"

// Sequences inside one draw: runs of positions whose digits rise by exactly 1 from one
// position to the next, in the draw's digit order (ascending when the caller sorts). There
// is no wrap from 9 to 0.

// SEQL: the length of every run (a draw without a sequence counts two runs of length 1).
class TstSequenceLen : public TCombKeysStat<TCustomNumbersStat, TKeyMatch::Word1> {
public:
    TstSequenceLen(const TStatList& list, int param);
    void InitValues(int last, TStatDrawArray& table) override;

protected:
    void KeysOf(TCombWord comb, TStatKeys& keys) const override;
};

// SEQS: the number of runs of length 2 or more. The graph value also counts a falling
// step of 1 (5,4 is drawn as 1).
class TstSequenceCnt : public TCombKeysStat<TCustomGraphStat, TKeyMatch::Word1> {
public:
    TstSequenceCnt(const TStatList& list, int param);
    void InitValues(int last, TStatDrawArray& table) override;
    int ValueOf(TCombWord comb, int index, int last, bool sorted) override;

protected:
    void KeysOf(TCombWord comb, TStatKeys& keys) const override;
};

// LENS: the length of the longest run (1 without a sequence). The graph value counts a
// step of 1 either way and is 0 without one: 2 for a pair one apart, 0 otherwise.
class TstSequenceLenMax : public TCombKeysStat<TCustomGraphStat, TKeyMatch::Word1> {
public:
    TstSequenceLenMax(const TStatList& list, int param);
    void InitValues(int last, TStatDrawArray& table) override;
    int ValueOf(TCombWord comb, int index, int last, bool sorted) override;

protected:
    void KeysOf(TCombWord comb, TStatKeys& keys) const override;
};

extern const TStatClass TstSequenceLenClass;
extern const TStatClass TstSequenceCntClass;
extern const TStatClass TstSequenceLenMaxClass;
