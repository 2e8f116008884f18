#pragma once

#include "engine/KelmaFilters.h"

#include <vector>

// Statistics of the differences between the digits of a draw: between neighbouring
// positions, the largest of them, the spread between the smallest and the largest digit,
// and repeated differences. They are written for draws of any length; with two digits
// there is one neighbouring pair, so several give the same number, |digit 2 - digit 1|.

extern const TStatClass TstDiffTotalClass;
extern const TStatClass TstDiffMaxClass;
extern const TStatClass TstMinMaxDiffsClass;
extern const TStatClass TstDiffSameClass;
extern const TStatClass TstDiffSameCntClass;
// Difference sequences of 2..4 digits: not offered for this game, no implementation.
extern const TStatClass TstCombDiffSeq2Class;
extern const TStatClass TstCombDiffSeq3Class;
extern const TStatClass TstCombDiffSeq4Class;

// |d(i+1) - d(i)| for each pair of neighbouring positions, in position order.
std::vector<int> NeighbourDiffs(TCombWord comb);
// The distinct neighbouring differences with the number of pairs that have each, in the
// order they first occur.
TStatSimpleArray SameDiffCounts(TCombWord comb);

// Every neighbouring difference, one value per pair.
class TstDiffTotal : public TCombKeysStat<TCustomNumbersStat, TKeyMatch::Word1> {
public:
    TstDiffTotal(const TStatList& list, int param);
    void InitValues(int last, TStatDrawArray& table) override;

protected:
    void KeysOf(TCombWord comb, TStatKeys& keys) const override;
};

// A statistic with one difference value per draw, listed in advance from 1 up to a bound.
class TDiffValueStat : public TCombNumberStat<TCustomGraphStat> {
public:
    void InitValues(int last, TStatDrawArray& table) override;

protected:
    TDiffValueStat(const TStatClass& cls, const TStatList& list, int param, int prefillMax);

private:
    int FPrefillMax;
};

// The largest neighbouring difference.
class TstDiffMax : public TDiffValueStat {
public:
    TstDiffMax(const TStatList& list, int param);
    int NumberOf(TCombWord comb) const override;
};

// Largest digit - smallest digit.
class TstMinMaxDiffs : public TDiffValueStat {
public:
    TstMinMaxDiffs(const TStatList& list, int param);
    int NumberOf(TCombWord comb) const override;
};

// The largest number of neighbouring pairs that share one difference.
class TstDiffSameCnt : public TDiffValueStat {
public:
    TstDiffSameCnt(const TStatList& list, int param);
    int NumberOf(TCombWord comb) const override;
};

// (difference, number of pairs with it) for each distinct neighbouring difference.
class TstDiffSame : public TCombKeysStat<TCustomStat, TKeyMatch::Whole> {
public:
    TstDiffSame(const TStatList& list, int param);
    QString ValueText(const TStatValueRec& value) const override;   // "7 x 1"

protected:
    void KeysOf(TCombWord comb, TStatKeys& keys) const override;
};
