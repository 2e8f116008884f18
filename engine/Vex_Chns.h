#pragma once

#include "engine/Vex_ChnsBase.h"

#include <utility>
#include <vector>

// Statistics of the channels of the drawn digits: the channels themselves, how many digits
// fall in each channel, how many different channels a draw has, pairs of channels, and the
// number of digits in one given channel.

extern const TStatClass TstChannelsClass;
extern const TStatClass TstChanValuesClass;
extern const TStatClass TstChanCountClass;
extern const TStatClass TstCombChnMix2Class;
extern const TStatClass TstCombChnMix3Class;   // not offered, no implementation
extern const TStatClass TstCombChnMix4Class;   // not offered, no implementation
extern const TStatClass TstCombChnSeq2Class;
extern const TStatClass TstCombChnSeq3Class;   // not offered, no implementation
extern const TStatClass TstCombChnSeq4Class;   // not offered, no implementation
extern const TStatClass TstChnValCntClass;

// The channel of each digit (key byte 1), one value per digit.
class TstChannels : public TCustomChannelsStat {
public:
    TstChannels(const TStatList& list, int param);
    QString ValueText(const TStatValueRec& value) const override;   // "01 [0-1]"
    // The number before the first blank, so that a typed channel number selects it.
    int ParseValue(const QString& text) const override;
    void InitValues(int last, TStatDrawArray& table) override;
    void AddCombination(TCombWord comb, TStatDrawArray& table) override;
    int AddDraw(int index, int last, bool sorted, TStatDrawArray& table, TStatScratch& scratch,
                TLastValueArray& lastValues) override;
    bool Test(TCombWord comb, const TStatDrawArray& selected, int last, bool sorted,
              bool exclude) override;

private:
    void MergeChannels(TCombWord comb, TStatDrawArray& table, bool trackGaps);
};

// For every channel: (channel, number of digits in it), including the count 0, so a draw
// adds one value per channel.
class TstChanValues : public TCustomChannelsStat {
public:
    TstChanValues(const TStatList& list, int param);
    QString ValueText(const TStatValueRec& value) const override;   // "01 [0-1] x 2"
    void InitValues(int last, TStatDrawArray& table) override;
    void AddCombination(TCombWord comb, TStatDrawArray& table) override;
    int AddDraw(int index, int last, bool sorted, TStatDrawArray& table, TStatScratch& scratch,
                TLastValueArray& lastValues) override;
    bool Test(TCombWord comb, const TStatDrawArray& selected, int last, bool sorted,
              bool exclude) override;

    // Every channel from that of the smallest to that of the largest digit, with its count,
    // in channel order (a damaged digit outside 0..9 adds its channel at the end).
    TStatSimpleArray ChannelCounts(TCombWord comb) const;

private:
    void MergeCounts(TCombWord comb, TStatDrawArray& table, bool trackGaps);
};

// Number of different channels among the digits.
class TstChanCount : public TCustomChannelsGraphStat {
public:
    TstChanCount(const TStatList& list, int param);
    void InitValues(int last, TStatDrawArray& table) override;
    void AddCombination(TCombWord comb, TStatDrawArray& table) override;
    int AddDraw(int index, int last, bool sorted, TStatDrawArray& table, TStatScratch& scratch,
                TLastValueArray& lastValues) override;
    bool Test(TCombWord comb, const TStatDrawArray& selected, int last, bool sorted,
              bool exclude) override;
    int ValueOf(TCombWord comb, int index, int last, bool sorted) override;

    int CountOf(TCombWord comb) const;
};

// Pairs of channels (channel of the earlier position, channel of the later one) as key
// words 1 and 2: every pair of positions, or only neighbouring ones. With two digits both
// give the one pair of the draw. A combination list adds no rows: the inherited
// AddCombination merges nothing.
class TChannelPairStat : public TCustomChannelsStat {
public:
    QString ValueText(const TStatValueRec& value) const override;   // "4:1"
    int AddDraw(int index, int last, bool sorted, TStatDrawArray& table, TStatScratch& scratch,
                TLastValueArray& lastValues) override;
    bool Test(TCombWord comb, const TStatDrawArray& selected, int last, bool sorted,
              bool exclude) override;

protected:
    TChannelPairStat(const TStatClass& cls, const TStatList& list, int param, bool neighboursOnly);

private:
    std::vector<std::pair<int, int>> PairsOf(TCombWord comb) const;

    bool FNeighboursOnly;
};

class TstCombChnMix2 : public TChannelPairStat {
public:
    TstCombChnMix2(const TStatList& list, int param);
};

class TstCombChnSeq2 : public TChannelPairStat {
public:
    TstCombChnSeq2(const TStatList& list, int param);
};

// Number of digits in channel Param.
class TstChnValCnt : public TCustomChannelsGraphStat {
public:
    TstChnValCnt(const TStatList& list, int param);
    void InitValues(int last, TStatDrawArray& table) override;
    void AddCombination(TCombWord comb, TStatDrawArray& table) override;
    int AddDraw(int index, int last, bool sorted, TStatDrawArray& table, TStatScratch& scratch,
                TLastValueArray& lastValues) override;
    bool Test(TCombWord comb, const TStatDrawArray& selected, int last, bool sorted,
              bool exclude) override;
    int ValueOf(TCombWord comb, int index, int last, bool sorted) override;

    int CountOf(TCombWord comb) const;
};
