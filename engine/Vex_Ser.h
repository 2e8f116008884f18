#pragma once

#include "engine/KelmaFilters.h"
#include "engine/Vex_Units.h"

#include <array>

// Series (group "ser"): runs of consecutive draws that contain a value (groups) or lack it
// (pauses). The value is a digit, a channel or a matrix segment. A row is the pair
// (value, run length) in key words 1 and 2; rows exist only for the values of the newest
// draw of the range, the reference draw.
//
// The run of each value lives in the caller's TStatScratch, indexed by the value itself,
// across the AddDraw calls of one pass; the class grows the table to hold its largest value.

class TCustomSerialStat : public TCustomStat {
public:
    // groups: true counts runs of draws with the value, false runs without it. The values
    // scanned are the digits 0..9, the channels 1 .. ceil(10 / channel size) or the segment
    // numbers the table uses.
    TCustomSerialStat(const TStatClass& cls, const TStatList& list, int param, TDigitUnit unit,
                      bool groups);

    bool Groups() const { return FGroups; }
    int LoValue() const { return FLoValue; }
    int HiValue() const { return FHiValue; }

    QString ValueText(const TStatValueRec& value) const override;   // "3 x 2", "03 x 2"
    // Called for the draws of the range in increasing order up to `last`; a run still open
    // at the newest draw is recorded with its length so far.
    int AddDraw(int index, int last, bool sorted, TStatDrawArray& table, TStatScratch& scratch,
                TLastValueArray& lastValues) override;
    // True when a digit of the combination has the value of a selected row; the run length
    // plays no part.
    bool Test(TCombWord comb, const TStatDrawArray& selected, int last, bool sorted,
              bool exclude) override;
    TRecurrence Recurrence() const override { return TRecurrence::RunState; }

    // The value of a digit at a position (1 or 2).
    int SerialValueOf(int position, int digit) const { return FUnits.ValueOf(position, digit); }
    // The reference draw has the value.
    bool ReferenceHas(int value) const;

private:
    // The values ReferenceHas looks for at the reference draw's positions, -1 for none.
    std::array<int, DrawDigits> ReferenceValues() const;
    void RecordRun(int value, const TSerialRun& run, TStatDrawArray& table);

    TDigitUnits FUnits;
    // ReferenceValues of the reference draw with these digits, once known.
    bool FReferenceKnown = false;
    std::array<std::uint8_t, DrawDigits> FReferenceDigits{};
    std::array<int, DrawDigits> FReferenceValues{};
    bool FGroups;
    int FLoValue = 0;
    int FHiValue = -1;   // below FLoValue: no value to scan
};

extern const TStatClass TstNumGroupsClass;
extern const TStatClass TstNumPausesClass;
extern const TStatClass TstChnGroupsClass;
extern const TStatClass TstChnPausesClass;
extern const TStatClass TstSgmGroupsClass;
extern const TStatClass TstSgmPausesClass;

// The classes of the family: descriptor, unit, groups (true) or pauses (false).
using TstNumGroups = TBoundStat<TCustomSerialStat, TstNumGroupsClass, TDigitUnit::Digits, true>;
using TstNumPauses = TBoundStat<TCustomSerialStat, TstNumPausesClass, TDigitUnit::Digits, false>;
using TstChnGroups = TBoundStat<TCustomSerialStat, TstChnGroupsClass, TDigitUnit::Channels, true>;
using TstChnPauses = TBoundStat<TCustomSerialStat, TstChnPausesClass, TDigitUnit::Channels, false>;
using TstSgmGroups = TBoundStat<TCustomSerialStat, TstSgmGroupsClass, TDigitUnit::Segments, true>;
using TstSgmPauses = TBoundStat<TCustomSerialStat, TstSgmPausesClass, TDigitUnit::Segments, false>;
