#include "engine/Vex_Chns.h"

#include "engine/KelmaStatList.h"
#include "platform/DelphiText.h"

#include <algorithm>

namespace {

std::array<int, DrawDigits> DigitsOf(TCombWord comb)
{
    return {CombDigit1(comb), CombDigit2(comb)};
}

void SetWordKey(TStatValueRec& value, int w1, int w2 = 0)
{
    value.Key = TStatKey{};
    value.Key.Words[0] = static_cast<std::uint16_t>(w1);
    value.Key.Words[1] = static_cast<std::uint16_t>(w2);
}

void SetByteKey(TStatValueRec& value, int b1)
{
    value.Key = TStatKey{};
    value.Key.SetByte(0, static_cast<std::uint8_t>(b1));
}

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
    : TCustomChannelsStat(TstChannelsClass, list, param)
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
    TCustomChannelsStat::InitValues(last, table);
    for (int d = DigitMin; d <= DigitMax; ++d) {
        SetByteKey(FValue, ChannelOf(d));
        MergeStatValue(table, FValue, false);
    }
}

void TstChannels::MergeChannels(TCombWord comb, TStatDrawArray& table, bool trackGaps)
{
    for (int d : DigitsOf(comb)) {
        SetByteKey(FValue, ChannelOf(d));
        MergeStatValue(table, FValue, trackGaps);
    }
}

void TstChannels::AddCombination(TCombWord comb, TStatDrawArray& table)
{
    TCustomChannelsStat::AddCombination(comb, table);
    MergeChannels(comb, table, false);
}

int TstChannels::AddDraw(int index, int last, bool sorted, TStatDrawArray& table,
                         TStatScratch& scratch, TLastValueArray& lastValues)
{
    const int age = TCustomChannelsStat::AddDraw(index, last, sorted, table, scratch, lastValues);
    MergeChannels(DrawToComb(FDraw), table, true);
    return age;
}

bool TstChannels::Test(TCombWord comb, const TStatDrawArray& selected, int /*last*/,
                       bool /*sorted*/, bool /*exclude*/)
{
    for (int d : DigitsOf(comb))
        if (HasKeyByte(selected, 1, static_cast<std::uint8_t>(ChannelOf(d))))
            return true;
    return false;
}

// ---------------------------------------------------------------------------------------
// TstChanValues

TstChanValues::TstChanValues(const TStatList& list, int param)
    : TCustomChannelsStat(TstChanValuesClass, list, param)
{
}

QString TstChanValues::ValueText(const TStatValueRec& value) const
{
    return Format(QStringLiteral("%0:s x %1:d"),
                  {ChannelText(value.Key.Words[0], FChannelSize), int(value.Key.Words[1])});
}

void TstChanValues::InitValues(int last, TStatDrawArray& table)
{
    TCustomChannelsStat::InitValues(last, table);
    const int most = MostDigitsInChannel(FChannelSize);
    for (int c = ChannelOf(DigitMin); c <= ChannelOf(DigitMax); ++c)
        for (int k = 0; k <= most; ++k) {
            SetWordKey(FValue, c, k);
            MergeStatValue(table, FValue, false);
        }
}

TStatSimpleArray TstChanValues::ChannelCounts(TCombWord comb) const
{
    TStatSimpleArray counts;
    for (int c = ChannelOf(DigitMin); c <= ChannelOf(DigitMax); ++c)
        AddStatSimple(counts, c, 0);
    for (int d : DigitsOf(comb))
        AddStatSimple(counts, ChannelOf(d), 1);
    return counts;
}

void TstChanValues::MergeCounts(TCombWord comb, TStatDrawArray& table, bool trackGaps)
{
    for (const TStatSimpleRec& e : ChannelCounts(comb)) {
        SetWordKey(FValue, e.Key, e.Count);
        MergeStatValue(table, FValue, trackGaps);
    }
}

void TstChanValues::AddCombination(TCombWord comb, TStatDrawArray& table)
{
    TCustomChannelsStat::AddCombination(comb, table);
    MergeCounts(comb, table, false);
}

int TstChanValues::AddDraw(int index, int last, bool sorted, TStatDrawArray& table,
                           TStatScratch& scratch, TLastValueArray& lastValues)
{
    const int age = TCustomChannelsStat::AddDraw(index, last, sorted, table, scratch, lastValues);
    MergeCounts(DrawToComb(FDraw), table, true);
    return age;
}

bool TstChanValues::Test(TCombWord comb, const TStatDrawArray& selected, int /*last*/,
                         bool /*sorted*/, bool /*exclude*/)
{
    for (const TStatSimpleRec& e : ChannelCounts(comb))
        if (HasKey(selected, static_cast<std::uint16_t>(e.Key),
                   static_cast<std::uint16_t>(e.Count), 0, 0))
            return true;
    return false;
}

// ---------------------------------------------------------------------------------------
// TstChanCount

TstChanCount::TstChanCount(const TStatList& list, int param)
    : TCustomChannelsGraphStat(TstChanCountClass, list, param)
{
}

int TstChanCount::CountOf(TCombWord comb) const
{
    std::vector<int> channels;
    for (int d : DigitsOf(comb)) {
        const int c = ChannelOf(d);
        if (std::find(channels.begin(), channels.end(), c) == channels.end())
            channels.push_back(c);
    }
    return static_cast<int>(channels.size());
}

// Listed in advance: 1 up to the smaller of the channel size and 2.
void TstChanCount::InitValues(int last, TStatDrawArray& table)
{
    TCustomChannelsGraphStat::InitValues(last, table);
    for (int v = 1; v <= MostDigitsInChannel(FChannelSize); ++v) {
        SetWordKey(FValue, v);
        MergeStatValue(table, FValue, false);
    }
}

void TstChanCount::AddCombination(TCombWord comb, TStatDrawArray& table)
{
    TCustomChannelsGraphStat::AddCombination(comb, table);
    SetWordKey(FValue, CountOf(comb));
    MergeStatValue(table, FValue, false);
}

int TstChanCount::AddDraw(int index, int last, bool sorted, TStatDrawArray& table,
                          TStatScratch& scratch, TLastValueArray& lastValues)
{
    const int age =
        TCustomChannelsGraphStat::AddDraw(index, last, sorted, table, scratch, lastValues);
    SetWordKey(FValue, CountOf(DrawToComb(FDraw)));
    MergeStatValue(table, FValue, true);
    return age;
}

bool TstChanCount::Test(TCombWord comb, const TStatDrawArray& selected, int /*last*/,
                        bool /*sorted*/, bool /*exclude*/)
{
    return HasKeyWord(selected, 1, static_cast<std::uint16_t>(CountOf(comb)));
}

int TstChanCount::ValueOf(TCombWord comb, int /*index*/, int /*last*/, bool /*sorted*/)
{
    return CountOf(comb);
}

// ---------------------------------------------------------------------------------------
// Channel pairs

TChannelPairStat::TChannelPairStat(const TStatClass& cls, const TStatList& list, int param,
                                   bool neighboursOnly)
    : TCustomChannelsStat(cls, list, param), FNeighboursOnly(neighboursOnly)
{
}

QString TChannelPairStat::ValueText(const TStatValueRec& value) const
{
    return NumToStr(value.Key.Words[0]) + QLatin1Char(':') + NumToStr(value.Key.Words[1]);
}

std::vector<std::pair<int, int>> TChannelPairStat::PairsOf(TCombWord comb) const
{
    const auto digits = DigitsOf(comb);
    std::vector<std::pair<int, int>> pairs;
    for (std::size_t i = 0; i < digits.size(); ++i)
        for (std::size_t j = i + 1; j < digits.size(); ++j)
            if (!FNeighboursOnly || j == i + 1)
                pairs.emplace_back(ChannelOf(digits[i]), ChannelOf(digits[j]));
    return pairs;
}

int TChannelPairStat::AddDraw(int index, int last, bool sorted, TStatDrawArray& table,
                              TStatScratch& scratch, TLastValueArray& lastValues)
{
    const int age = TCustomChannelsStat::AddDraw(index, last, sorted, table, scratch, lastValues);
    for (const auto& [first, second] : PairsOf(DrawToComb(FDraw))) {
        SetWordKey(FValue, first, second);
        MergeStatValue(table, FValue, true);
    }
    return age;
}

bool TChannelPairStat::Test(TCombWord comb, const TStatDrawArray& selected, int /*last*/,
                            bool /*sorted*/, bool /*exclude*/)
{
    for (const auto& [first, second] : PairsOf(comb))
        if (HasKey(selected, static_cast<std::uint16_t>(first), static_cast<std::uint16_t>(second),
                   0, 0))
            return true;
    return false;
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
    : TCustomChannelsGraphStat(TstChnValCntClass, list, param)
{
}

int TstChnValCnt::CountOf(TCombWord comb) const
{
    int count = 0;
    for (int d : DigitsOf(comb))
        if (ChannelOf(d) == FParam)
            ++count;
    return count;
}

// Listed in advance: 1 up to the channel size (a size beyond the ten digits lists no more
// than ten rows). 0, a draw without a digit in the channel, appears as a row of its own.
void TstChnValCnt::InitValues(int last, TStatDrawArray& table)
{
    TCustomChannelsGraphStat::InitValues(last, table);
    const int most = std::min(FChannelSize, DigitValues);
    for (int v = 1; v <= most; ++v) {
        SetWordKey(FValue, v);
        MergeStatValue(table, FValue, false);
    }
}

void TstChnValCnt::AddCombination(TCombWord comb, TStatDrawArray& table)
{
    TCustomChannelsGraphStat::AddCombination(comb, table);
    SetWordKey(FValue, CountOf(comb));
    MergeStatValue(table, FValue, false);
}

int TstChnValCnt::AddDraw(int index, int last, bool sorted, TStatDrawArray& table,
                          TStatScratch& scratch, TLastValueArray& lastValues)
{
    const int age =
        TCustomChannelsGraphStat::AddDraw(index, last, sorted, table, scratch, lastValues);
    SetWordKey(FValue, CountOf(DrawToComb(FDraw)));
    MergeStatValue(table, FValue, true);
    return age;
}

bool TstChnValCnt::Test(TCombWord comb, const TStatDrawArray& selected, int /*last*/,
                        bool /*sorted*/, bool /*exclude*/)
{
    return HasKeyWord(selected, 1, static_cast<std::uint16_t>(CountOf(comb)));
}

int TstChnValCnt::ValueOf(TCombWord comb, int /*index*/, int /*last*/, bool /*sorted*/)
{
    return CountOf(comb);
}
