#pragma once

#include "engine/KelmaFilters.h"

// Periods (group "per"): for every value of a draw (a digit, a channel or a matrix segment),
// the number of draws since the value occurred last. A row is the pair (value, period) in
// key words 1 and 2.
//
// The last occurrence of each value lives in the caller's last-value list across the AddDraw
// calls of one pass. A search through FindDraw starts every step with an empty list, so it
// never finds a period.
class TCustomPeriodsStat : public TCustomStat {
public:
    using TCustomStat::TCustomStat;

    // Called for the draws of the range in increasing order.
    int AddDraw(int index, int last, bool sorted, TStatDrawArray& table, TStatScratch& scratch,
                TLastValueArray& lastValues) override;
    // For each digit of the combination and each selected row of its value with period k:
    // the draw k draws back from the draw after `last` holds the value (without exclude) or
    // lacks it (with exclude).
    bool Test(TCombWord comb, const TStatDrawArray& selected, int last, bool sorted,
              bool exclude) override;

    // The value of a digit at a position (1 or 2); negative for none.
    virtual int PeriodValueOf(int position, int digit) const = 0;

protected:
    // "<value text> x <period>"
    static QString RowText(const QString& valueText, const TStatValueRec& value);

private:
    bool DrawHasValue(const TDrawRec& draw, int value) const;
};

extern const TStatClass TstNumPeriodsClass;
extern const TStatClass TstChnPeriodsClass;
extern const TStatClass TstSgmPeriodsClass;

class TstNumPeriods final : public TCustomPeriodsStat {
public:
    TstNumPeriods(const TStatList& list, int param);
    QString ValueText(const TStatValueRec& value) const override;   // "3 x 2"
    int PeriodValueOf(int position, int digit) const override;
};

// Channels of the channel size copied from the configuration.
class TstChnPeriods final : public TCustomPeriodsStat {
public:
    TstChnPeriods(const TStatList& list, int param);
    int ChannelSize() const { return FChannelSize; }
    QString ValueText(const TStatValueRec& value) const override;   // "02 x 5"
    int PeriodValueOf(int position, int digit) const override;

private:
    int FChannelSize;
};

// Segments of the segment table copied from the configuration.
class TstSgmPeriods final : public TCustomPeriodsStat {
public:
    TstSgmPeriods(const TStatList& list, int param);
    QString ValueText(const TStatValueRec& value) const override;   // "1 x 3"
    int PeriodValueOf(int position, int digit) const override;

private:
    TMatrixSegments FSegments;
};
