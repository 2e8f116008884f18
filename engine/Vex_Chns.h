#pragma once

#include "engine/Vex_ChnsBase.h"


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
class TstChannels : public TCombKeysStat<TCustomChannelsStat, TKeyMatch::Byte1> {
public:
    TstChannels(const TStatList& list, int param);
    QString ValueText(const TStatValueRec& value) const override;   // "01 [0-1]"
    // The number before the first blank, so that a typed channel number selects it.
    int ParseValue(const QString& text) const override;
    void InitValues(int last, TStatDrawArray& table) override;

protected:
    void KeysOf(TCombWord comb, TStatKeys& keys) const override;
};

// For every channel: (channel, number of digits in it), including the count 0, so a draw
// adds one value per channel.
class TstChanValues : public TCombKeysStat<TCustomChannelsStat, TKeyMatch::Whole> {
public:
    TstChanValues(const TStatList& list, int param);
    QString ValueText(const TStatValueRec& value) const override;   // "01 [0-1] x 2"
    void InitValues(int last, TStatDrawArray& table) override;

    // Every channel from that of the smallest to that of the largest digit, with its count,
    // in channel order (a damaged digit outside 0..9 adds its channel at the end).
    TStatSimpleArray ChannelCounts(TCombWord comb) const;

protected:
    void KeysOf(TCombWord comb, TStatKeys& keys) const override;
};

// Number of different channels among the digits.
class TstChanCount : public TCombNumberStat<TCustomChannelsGraphStat> {
public:
    TstChanCount(const TStatList& list, int param);
    void InitValues(int last, TStatDrawArray& table) override;
    int NumberOf(TCombWord comb) const override;
};

// Pairs of channels (channel of the earlier position, channel of the later one) as key
// words 1 and 2: every pair of positions, or only neighbouring ones. With two digits both
// give the one pair of the draw. A combination list adds no rows.
class TChannelPairStat
    : public TCombKeysStat<TCustomChannelsStat, TKeyMatch::Whole, TCombRows::None> {
public:
    QString ValueText(const TStatValueRec& value) const override;   // "4:1"

protected:
    TChannelPairStat(const TStatClass& cls, const TStatList& list, int param, bool neighboursOnly);
    void KeysOf(TCombWord comb, TStatKeys& keys) const override;

private:
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
class TstChnValCnt : public TCombNumberStat<TCustomChannelsGraphStat> {
public:
    TstChnValCnt(const TStatList& list, int param);
    void InitValues(int last, TStatDrawArray& table) override;
    int NumberOf(TCombWord comb) const override;
};
