#pragma once

#include "engine/KelmaFilters.h"
#include "engine/KelmaStatList.h"

// Channels: groups of ChannelSize consecutive digits, numbered from 1 (with size 2: 0-1 is
// channel 1, 2-3 channel 2, ..., 8-9 channel 5). The size is copied from the engine
// configuration when a statistic object is made, so a later change of the configuration
// does not reach an object that already exists. A size below 1 puts every digit into
// channel 0 and gives no channel numbers at all.

// Channel of digit d; 0 when size < 1.
inline int ChannelOfDigit(int d, int size)
{
    return DigitGroupIndex(d, size);
}
// Number of channels: the channel of the largest digit (0 when size < 1).
int ChannelCount(int size);
// Parameter range of the methods that take a channel: 1 .. ChannelCount, or 0..-1 (no
// method) when the configured size is below 1.
void ChannelParamRange(const TStatList& list, int& lo, int& hi);
// "01 [0-1]": the channel number and its first and last digit. The last channel is always
// written with its full width (size 3: "04 [9-11]").
QString ChannelText(int channel, int size);

// The channel size copied from the configuration, over the base of the statistic's texts.
template <class Base>
class TChannelsStat : public Base {
public:
    TChannelsStat(const TStatClass& cls, const TStatList& list, int param)
        : Base(cls, list, param), FChannelSize(list.Config().ChannelSize)
    {
    }
    int ChannelSize() const { return FChannelSize; }

protected:
    int ChannelOf(int d) const { return ChannelOfDigit(d, FChannelSize); }

    int FChannelSize;
};

using TCustomChannelsStat = TChannelsStat<TCustomNumbersStat>;
using TCustomChannelsGraphStat = TChannelsStat<TCustomGraphStat>;
