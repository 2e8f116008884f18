#include "engine/Vex_ChnsBase.h"

#include "engine/KelmaStatList.h"
#include "platform/DelphiText.h"

#include <algorithm>
#include <climits>

int ChannelCount(int size)
{
    return ChannelOfDigit(DigitMax, size);
}

void ChannelParamRange(const TStatList& list, int& lo, int& hi)
{
    const int size = list.Config().ChannelSize;
    if (size < 1) {
        lo = 0;
        hi = -1;
        return;
    }
    lo = 1;
    hi = ChannelCount(size);
}

QString ChannelText(int channel, int size)
{
    // Computed in 64 bits: the size comes from the settings file and may be anything.
    const auto clampToInt = [](std::int64_t v) {
        return static_cast<int>(std::clamp<std::int64_t>(v, INT_MIN, INT_MAX));
    };
    const std::int64_t first = (std::int64_t(channel) - 1) * size;
    const std::int64_t last = std::int64_t(channel) * size - 1;
    return Format(QStringLiteral("%.2d [%s-%s]"),
                  {channel, NumToStr(clampToInt(first)), NumToStr(clampToInt(last))});
}
