#pragma once

#include "engine/KelmaFilters.h"
#include "engine/Vex_Units.h"

// Periods (group "per"): for every value of a draw (a digit, a channel or a matrix segment),
// the number of draws since the value occurred last. A row is the pair (value, period) in
// key words 1 and 2.
//
// The last occurrence of each value lives in the caller's last-value list across the AddDraw
// calls of one pass. A search through FindDraw starts every step with an empty list, so it
// never finds a period.
class TCustomPeriodsStat : public TCustomStat {
public:
    TCustomPeriodsStat(const TStatClass& cls, const TStatList& list, int param, TDigitUnit unit);

    QString ValueText(const TStatValueRec& value) const override;   // "3 x 2", "02 x 5"
    // Called for the draws of the range in increasing order.
    int AddDraw(int index, int last, bool sorted, TStatDrawArray& table, TStatScratch& scratch,
                TLastValueArray& lastValues) override;
    // For each digit of the combination and each selected row of its value with period k:
    // the draw k draws back from the draw after `last` holds the value (without exclude) or
    // lacks it (with exclude).
    bool Test(TCombWord comb, const TStatDrawArray& selected, int last, bool sorted,
              bool exclude) override;
    // A search never finds a period (see above), so it does not read the draws.
    int FindDraw(const TStatValueRec& value, int start, int last, bool sorted) override;
    TRecurrence Recurrence() const override { return TRecurrence::Never; }

    // The value of a digit at a position (1 or 2); negative for none: every channel while
    // the configuration has no channel size, and the segment of a digit outside 0..9.
    int PeriodValueOf(int position, int digit) const;

private:
    bool DrawHasValue(const TDrawRec& draw, int value) const;

    TDigitUnits FUnits;
};

extern const TStatClass TstNumPeriodsClass;
extern const TStatClass TstChnPeriodsClass;
extern const TStatClass TstSgmPeriodsClass;

// The classes of the family: descriptor, unit.
using TstNumPeriods = TBoundStat<TCustomPeriodsStat, TstNumPeriodsClass, TDigitUnit::Digits>;
using TstChnPeriods = TBoundStat<TCustomPeriodsStat, TstChnPeriodsClass, TDigitUnit::Channels>;
using TstSgmPeriods = TBoundStat<TCustomPeriodsStat, TstSgmPeriodsClass, TDigitUnit::Segments>;
