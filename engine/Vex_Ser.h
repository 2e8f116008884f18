#pragma once

#include "engine/KelmaFilters.h"

// Series (group "ser"): runs of consecutive draws that contain a value (groups) or lack it
// (pauses). The value is a digit, a channel or a matrix segment. A row is the pair
// (value, run length) in key words 1 and 2; rows exist only for the values of the newest
// draw of the range, the reference draw.
//
// The run of each value lives in the caller's TStatScratch, indexed by the value itself,
// across the AddDraw calls of one pass; the class grows the table to hold its largest value.

class TCustomSerialStat : public TCustomStat {
public:
    // groups: true counts runs of draws with the value, false runs without it.
    TCustomSerialStat(const TStatClass& cls, const TStatList& list, int param, bool groups);

    bool Groups() const { return FGroups; }
    int LoValue() const { return FLoValue; }
    int HiValue() const { return FHiValue; }

    // Called for the draws of the range in increasing order up to `last`; a run still open
    // at the newest draw is recorded with its length so far.
    int AddDraw(int index, int last, bool sorted, TStatDrawArray& table, TStatScratch& scratch,
                TLastValueArray& lastValues) override;
    // True when a digit of the combination has the value of a selected row; the run length
    // plays no part.
    bool Test(TCombWord comb, const TStatDrawArray& selected, int last, bool sorted,
              bool exclude) override;

    // The value of a digit at a position (1 or 2).
    virtual int SerialValueOf(int position, int digit) const = 0;
    // The reference draw has the value.
    virtual bool ReferenceHas(int value) const = 0;

protected:
    // "<value text> x <run length>"
    QString RowText(const QString& valueText, const TStatValueRec& value) const;

    bool FGroups;
    int FLoValue = 0;
    int FHiValue = -1;   // below FLoValue: no value to scan

private:
    bool DrawHasValue(const TDrawRec& draw, int value) const;
    void RecordRun(int value, const TSerialRun& run, TStatDrawArray& table);
};

// Digits 0..9.
class TValuesSerialStat : public TCustomSerialStat {
public:
    TValuesSerialStat(const TStatClass& cls, const TStatList& list, int param, bool groups);
    QString ValueText(const TStatValueRec& value) const override;   // "3 x 2"
    int SerialValueOf(int position, int digit) const override;
    bool ReferenceHas(int value) const override;
};

// Channels 1 .. ceil(10 / channel size), the channel size copied from the configuration.
class TChannelsSerialStat : public TCustomSerialStat {
public:
    TChannelsSerialStat(const TStatClass& cls, const TStatList& list, int param, bool groups);
    int ChannelSize() const { return FChannelSize; }
    QString ValueText(const TStatValueRec& value) const override;   // "03 x 2"
    int SerialValueOf(int position, int digit) const override;
    bool ReferenceHas(int value) const override;

private:
    int FChannelSize;
};

// Matrix segments, the segment table copied from the configuration.
class TSegmentsSerialStat : public TCustomSerialStat {
public:
    TSegmentsSerialStat(const TStatClass& cls, const TStatList& list, int param, bool groups);
    QString ValueText(const TStatValueRec& value) const override;   // "1 x 4"
    int SerialValueOf(int position, int digit) const override;
    bool ReferenceHas(int value) const override;

private:
    TMatrixSegments FSegments;
};

extern const TStatClass TstNumGroupsClass;
extern const TStatClass TstNumPausesClass;
extern const TStatClass TstChnGroupsClass;
extern const TStatClass TstChnPausesClass;
extern const TStatClass TstSgmGroupsClass;
extern const TStatClass TstSgmPausesClass;

class TstNumGroups final : public TValuesSerialStat {
public:
    TstNumGroups(const TStatList& list, int param)
        : TValuesSerialStat(TstNumGroupsClass, list, param, true) {}
};

class TstNumPauses final : public TValuesSerialStat {
public:
    TstNumPauses(const TStatList& list, int param)
        : TValuesSerialStat(TstNumPausesClass, list, param, false) {}
};

class TstChnGroups final : public TChannelsSerialStat {
public:
    TstChnGroups(const TStatList& list, int param)
        : TChannelsSerialStat(TstChnGroupsClass, list, param, true) {}
};

class TstChnPauses final : public TChannelsSerialStat {
public:
    TstChnPauses(const TStatList& list, int param)
        : TChannelsSerialStat(TstChnPausesClass, list, param, false) {}
};

class TstSgmGroups final : public TSegmentsSerialStat {
public:
    TstSgmGroups(const TStatList& list, int param)
        : TSegmentsSerialStat(TstSgmGroupsClass, list, param, true) {}
};

class TstSgmPauses final : public TSegmentsSerialStat {
public:
    TstSgmPauses(const TStatList& list, int param)
        : TSegmentsSerialStat(TstSgmPausesClass, list, param, false) {}
};
