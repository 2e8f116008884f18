#pragma once

#include "engine/KelmaFilters.h"

// Statistics of the sum of the two digits (0..18): all sums, fixed sum ranges, the sums of
// the even or the prime digits only, and how the sum moved from one draw to the next after
// draws like the newest one of the range.

extern const TStatClass TstSumValuesClass;
extern const TStatClass TstSumRangesClass;
extern const TStatClass TstSumChangeClass;
extern const TStatClass TstSumChangeSomeClass;
extern const TStatClass TstSumTrendClass;
extern const TStatClass TstSumEvenValuesClass;
extern const TStatClass TstSumPrimeValuesClass;
extern const TStatClass TstSum2To3Class;

// Bounds of sum range 1..3; false (and an empty range) for any other number.
bool SumRangeBounds(int range, int& lo, int& hi);
// Caption of the sum-range method of the given range, with the share of the draws that
// range holds: "Сумма тиража: диапазон 1 (1/3)".
QString SumRangeCaption(int range);

// A statistic whose value is one integer per draw or combination; the integer is kept in
// the key's first 32-bit word (signed values as their two's complement).
class TSumValueStat : public TCombKeysStat<TCustomGraphStat, TKeyMatch::Whole> {
public:
    int ValueOf(TCombWord comb, int index, int last, bool sorted) override;

    // The value of a combination.
    virtual int SumValueOf(TCombWord comb) const = 0;

protected:
    using TCombKeysStat::TCombKeysStat;
    void KeysOf(TCombWord comb, TStatKeys& keys) const override;
    // Merges the values lo..hi with hit count 0.
    void PrefillRange(int lo, int hi, TStatDrawArray& table);
};

// Every sum; the sums 1..17 are listed in advance, 0 and 18 appear when drawn.
class TstSumValues : public TSumValueStat {
public:
    TstSumValues(const TStatList& list, int param);
    void InitValues(int last, TStatDrawArray& table) override;
    int SumValueOf(TCombWord comb) const override;
};

// 1 when the sum lies in range Param, 0 when it does not. The filter asks only whether the
// range's row (1) is selected: then a combination passes when its sum lies in the range,
// otherwise when it lies outside. Selecting both rows is selecting the range, so that a
// scenario gives the same stakes wherever it runs.
class TstSumRanges : public TSumValueStat {
public:
    TstSumRanges(const TStatList& list, int param);
    QString ValueText(const TStatValueRec& value) const override;
    void InitValues(int last, TStatDrawArray& table) override;
    int SumValueOf(TCombWord comb) const override;
    bool Test(TCombWord comb, const TStatDrawArray& selected, int last, bool sorted, bool exclude) override;
};

class TstSumEvenValues : public TSumValueStat {
public:
    TstSumEvenValues(const TStatList& list, int param);
    int SumValueOf(TCombWord comb) const override;
};

class TstSumPrimeValues : public TSumValueStat {
public:
    TstSumPrimeValues(const TStatList& list, int param);
    int SumValueOf(TCombWord comb) const override;
};

// Ordered triples of different positions where two digits add up to the third; with two
// positions there are none, so the value is always 0.
class TstSum2To3 : public TSumValueStat {
public:
    TstSum2To3(const TStatList& list, int param);
    int SumValueOf(TCombWord comb) const override;
};

// The sum after a draw whose sum equals the newest draw's: key (previous sum, this sum).
class TstSumChange : public TCustomGraphStat {
public:
    TstSumChange(const TStatList& list, int param);
    QString ValueText(const TStatValueRec& value) const override;
    int AddDraw(int index, int last, bool sorted, TStatDrawArray& table, TStatScratch& scratch,
                TLastValueArray& lastValues) override;
    bool Test(TCombWord comb, const TStatDrawArray& selected, int last, bool sorted,
              bool exclude) override;
    int ValueOf(TCombWord comb, int index, int last, bool sorted) override;
};

// The change of the sum after a draw whose sum lies within the sum-range width of the
// newest draw's sum.
class TstSumChangeSome : public TCustomStat {
public:
    TstSumChangeSome(const TStatList& list, int param);
    QString ValueText(const TStatValueRec& value) const override;
    int AddDraw(int index, int last, bool sorted, TStatDrawArray& table, TStatScratch& scratch,
                TLastValueArray& lastValues) override;
    bool Test(TCombWord comb, const TStatDrawArray& selected, int last, bool sorted,
              bool exclude) override;
};

// The direction of the sum (+1, 0, -1) after a draw whose sum equals the newest draw's.
class TstSumTrend : public TCustomGraphStat {
public:
    TstSumTrend(const TStatList& list, int param);
    QString ValueText(const TStatValueRec& value) const override;
    void InitValues(int last, TStatDrawArray& table) override;
    int AddDraw(int index, int last, bool sorted, TStatDrawArray& table, TStatScratch& scratch,
                TLastValueArray& lastValues) override;
    bool Test(TCombWord comb, const TStatDrawArray& selected, int last, bool sorted,
              bool exclude) override;
    int ValueOf(TCombWord comb, int index, int last, bool sorted) override;
};
