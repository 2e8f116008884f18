#include "engine/Vex_Chns.h"

#include "engine/KelmaStatList.h"
#include "platform/DelphiText.h"

#include <algorithm>

namespace {

// The most digits of one draw a channel can hold.
int MostDigitsInChannel(int size)
{
    return std::clamp(size, 0, DrawDigits);
}

}  // namespace

// ---------------------------------------------------------------------------------------
// Descriptors. The pair classes carry their size in the caption text itself: their
// parameter is 0, so a caption formatted with it could not give the size.

const TStatClass TstChannelsClass{.ClassName = "TstChannels", .CodeFormat = "CHAN",
    .CaptionFormat = KELMA_MSG("Каналы"), .HelpName = nullptr, .Group = 3,
    .Flags = sfPlainValue, .Available = true, .IsGraph = false, .HasNumericValue = true,
    .ParamRange = nullptr, .Factory = &MakeStat<TstChannels>};

const TStatClass TstChanValuesClass{.ClassName = "TstChanValues", .CodeFormat = "CHNV",
    .CaptionFormat = KELMA_MSG("Количество чисел в канале"), .HelpName = nullptr, .Group = 3,
    .Flags = sfPlainValue, .Available = true, .IsGraph = false, .HasNumericValue = false,
    .ParamRange = nullptr, .Factory = &MakeStat<TstChanValues>};

const TStatClass TstChanCountClass{.ClassName = "TstChanCount", .CodeFormat = "CHNC",
    .CaptionFormat = KELMA_MSG("Количество каналов в тираже"), .HelpName = nullptr, .Group = 3,
    .Flags = sfPlainValue, .Available = true, .IsGraph = true, .HasNumericValue = true,
    .ParamRange = nullptr, .Factory = &MakeStat<TstChanCount>};

const TStatClass TstCombChnMix2Class{.ClassName = "TstCombChnMix2", .CodeFormat = "KCM2",
    .CaptionFormat = KELMA_MSG("Сочетания из 2 каналов по всем числам тиража"),
    .HelpName = nullptr, .Group = 3, .Flags = sfShowS, .Available = true, .IsGraph = false,
    .HasNumericValue = false, .ParamRange = nullptr, .Factory = &MakeStat<TstCombChnMix2>};

const TStatClass TstCombChnMix3Class{.ClassName = "TstCombChnMix3", .CodeFormat = "KCM3",
    .CaptionFormat = KELMA_MSG("Сочетания из 3 каналов по всем числам тиража"),
    .HelpName = nullptr, .Group = 3, .Flags = sfShowS, .Available = false, .IsGraph = false,
    .HasNumericValue = false, .ParamRange = nullptr, .Factory = nullptr};

const TStatClass TstCombChnMix4Class{.ClassName = "TstCombChnMix4", .CodeFormat = "KCM4",
    .CaptionFormat = KELMA_MSG("Сочетания из 4 каналов по всем числам тиража"),
    .HelpName = nullptr, .Group = 3, .Flags = sfShowS, .Available = false, .IsGraph = false,
    .HasNumericValue = false, .ParamRange = nullptr, .Factory = nullptr};

const TStatClass TstCombChnSeq2Class{.ClassName = "TstCombChnSeq2", .CodeFormat = "KCS2",
    .CaptionFormat = KELMA_MSG("Сочетания из 2 каналов по соседним числам"),
    .HelpName = nullptr, .Group = 3, .Flags = sfShowS, .Available = true, .IsGraph = false,
    .HasNumericValue = false, .ParamRange = nullptr, .Factory = &MakeStat<TstCombChnSeq2>};

const TStatClass TstCombChnSeq3Class{.ClassName = "TstCombChnSeq3", .CodeFormat = "KCS3",
    .CaptionFormat = KELMA_MSG("Сочетания из 3 каналов по соседним числам"),
    .HelpName = nullptr, .Group = 3, .Flags = sfShowS, .Available = false, .IsGraph = false,
    .HasNumericValue = false, .ParamRange = nullptr, .Factory = nullptr};

const TStatClass TstCombChnSeq4Class{.ClassName = "TstCombChnSeq4", .CodeFormat = "KCS4",
    .CaptionFormat = KELMA_MSG("Сочетания из 4 каналов по соседним числам"),
    .HelpName = nullptr, .Group = 3, .Flags = sfShowS, .Available = false, .IsGraph = false,
    .HasNumericValue = false, .ParamRange = nullptr, .Factory = nullptr};

const TStatClass TstChnValCntClass{.ClassName = "TstChnValCnt", .CodeFormat = "CHN%d",
    .CaptionFormat = KELMA_MSG("Количество чисел в %0:d канале"), .HelpName = "CHNx",
    .Group = 3, .Flags = sfPlainValue, .Available = true, .IsGraph = true,
    .HasNumericValue = true, .ParamRange = &ChannelParamRange,
    .Factory = &MakeStat<TstChnValCnt>};

// ---------------------------------------------------------------------------------------
// TstChannels

TstChannels::TstChannels(const TStatList& list, int param)
    : TCombKeysStat(TstChannelsClass, list, param)
{
}

QString TstChannels::ValueText(const TStatValueRec& value) const
{
    return ChannelText(value.Key.Byte(0), FChannelSize);
}

int TstChannels::ParseValue(const QString& text) const
{
    const qsizetype blank = text.indexOf(QLatin1Char(' '));
    return StrToIntDef(blank < 0 ? text : text.left(blank), 0);
}

void TstChannels::InitValues(int last, TStatDrawArray& table)
{
    TCombKeysStat::InitValues(last, table);
    for (int d = DigitMin; d <= DigitMax; ++d)
        MergeKey(ByteKey(ChannelOf(d)), table, false);
}

void TstChannels::KeysOf(TCombWord comb, TStatKeys& keys) const
{
    for (int d : CombDigits(comb))
        keys.push_back(ByteKey(ChannelOf(d)));
}

// ---------------------------------------------------------------------------------------
// TstChanValues

TstChanValues::TstChanValues(const TStatList& list, int param)
    : TCombKeysStat(TstChanValuesClass, list, param)
{
}

QString TstChanValues::ValueText(const TStatValueRec& value) const
{
    return CountedValueText(ChannelText(value.Key.Words[0], FChannelSize), value);
}

void TstChanValues::InitValues(int last, TStatDrawArray& table)
{
    TCombKeysStat::InitValues(last, table);
    const int most = MostDigitsInChannel(FChannelSize);
    for (int c = ChannelOf(DigitMin); c <= ChannelOf(DigitMax); ++c)
        for (int k = 0; k <= most; ++k)
            MergeKey(WordKey(c, k), table, false);
}

TStatSimpleArray TstChanValues::ChannelCounts(TCombWord comb) const
{
    TStatSimpleArray counts;
    for (int c = ChannelOf(DigitMin); c <= ChannelOf(DigitMax); ++c)
        AddStatSimple(counts, c, 0);
    for (int d : CombDigits(comb))
        AddStatSimple(counts, ChannelOf(d), 1);
    return counts;
}

void TstChanValues::KeysOf(TCombWord comb, TStatKeys& keys) const
{
    for (const TStatSimpleRec& e : ChannelCounts(comb))
        keys.push_back(WordKey(e.Key, e.Count));
}

// ---------------------------------------------------------------------------------------
// TstChanCount

TstChanCount::TstChanCount(const TStatList& list, int param)
    : TCombNumberStat(TstChanCountClass, list, param)
{
}

int TstChanCount::NumberOf(TCombWord comb) const
{
    std::vector<int> channels;
    for (int d : CombDigits(comb)) {
        const int c = ChannelOf(d);
        if (std::find(channels.begin(), channels.end(), c) == channels.end())
            channels.push_back(c);
    }
    return static_cast<int>(channels.size());
}

// Listed in advance: 1 up to the smaller of the channel size and 2.
void TstChanCount::InitValues(int last, TStatDrawArray& table)
{
    TCombNumberStat::InitValues(last, table);
    PrefillWords(1, MostDigitsInChannel(FChannelSize), table);
}

// ---------------------------------------------------------------------------------------
// Channel pairs

TChannelPairStat::TChannelPairStat(const TStatClass& cls, const TStatList& list, int param,
                                   bool neighboursOnly)
    : TCombKeysStat(cls, list, param), FNeighboursOnly(neighboursOnly)
{
}

QString TChannelPairStat::ValueText(const TStatValueRec& value) const
{
    return PairValueText(value);
}

void TChannelPairStat::KeysOf(TCombWord comb, TStatKeys& keys) const
{
    const auto digits = CombDigits(comb);
    for (std::size_t i = 0; i < digits.size(); ++i)
        for (std::size_t j = i + 1; j < digits.size(); ++j)
            if (!FNeighboursOnly || j == i + 1)
                keys.push_back(WordKey(ChannelOf(digits[i]), ChannelOf(digits[j])));
}

TstCombChnMix2::TstCombChnMix2(const TStatList& list, int param)
    : TChannelPairStat(TstCombChnMix2Class, list, param, false)
{
}

TstCombChnSeq2::TstCombChnSeq2(const TStatList& list, int param)
    : TChannelPairStat(TstCombChnSeq2Class, list, param, true)
{
}

// ---------------------------------------------------------------------------------------
// TstChnValCnt

TstChnValCnt::TstChnValCnt(const TStatList& list, int param)
    : TCombNumberStat(TstChnValCntClass, list, param)
{
}

int TstChnValCnt::NumberOf(TCombWord comb) const
{
    int count = 0;
    for (int d : CombDigits(comb))
        if (ChannelOf(d) == FParam)
            ++count;
    return count;
}

// Listed in advance: 1 up to the channel size (a size beyond the ten digits lists no more
// than ten rows). 0, a draw without a digit in the channel, appears as a row of its own.
void TstChnValCnt::InitValues(int last, TStatDrawArray& table)
{
    TCombNumberStat::InitValues(last, table);
    PrefillWords(1, std::min(FChannelSize, DigitValues), table);
}
