#include "engine/Vex_Cmbv.h"

#include "engine/KelmaStatList.h"

#include <utility>

namespace {

// Start positions of a sub-combination of `Size` digits: 1 .. digits of a draw - Size + 1
// (empty for the sizes a two-digit draw cannot hold).
template <int Size>
void StartPositionRange(const TStatList&, int& lo, int& hi)
{
    lo = 1;
    hi = DrawDigits - Size + 1;
}

// A size that this game does not offer: a registry row only.
constexpr TStatClass NotOffered(const char* className, const char* code, TResString caption,
                                std::uint8_t flags, const char* helpName = nullptr,
                                TParamRangeFn range = nullptr)
{
    return TStatClass{.ClassName = className, .CodeFormat = code, .CaptionFormat = caption,
        .HelpName = helpName, .Group = 0, .Flags = flags, .Available = false, .IsGraph = false,
        .HasNumericValue = false, .ParamRange = range, .Factory = nullptr};
}

}  // namespace

// Captions of the sized classes carry their size: a class without a parameter formats its
// caption with 0.
const TStatClass TstCombValMix2Class{.ClassName = "TstCombValMix2", .CodeFormat = "KNM2",
    .CaptionFormat = KELMA_MSG("Сочетания из 2 чисел по всем числам тиража"), .HelpName = nullptr,
    .Group = 0, .Flags = sfShowS, .Available = true, .IsGraph = false, .HasNumericValue = false,
    .ParamRange = nullptr, .Factory = &MakeStat<TstCombValMix2>};
const TStatClass TstCombValMix3Class = NotOffered("TstCombValMix3", "KNM3",
    KELMA_MSG("Сочетания из 3 чисел по всем числам тиража"), sfShowS);
const TStatClass TstCombValMix4Class = NotOffered("TstCombValMix4", "KNM4",
    KELMA_MSG("Сочетания из 4 чисел по всем числам тиража"), sfShowS);
const TStatClass TstCombValSeq2Class{.ClassName = "TstCombValSeq2", .CodeFormat = "KNS2",
    .CaptionFormat = KELMA_MSG("Сочетания из 2 соседних чисел тиража"), .HelpName = nullptr,
    .Group = 0, .Flags = sfShowS, .Available = true, .IsGraph = false, .HasNumericValue = false,
    .ParamRange = nullptr, .Factory = &MakeStat<TstCombValSeq2>};
const TStatClass TstCombValSeq3Class = NotOffered("TstCombValSeq3", "KNS3",
    KELMA_MSG("Сочетания из 3 соседних чисел тиража"), sfShowS);
const TStatClass TstCombValSeq4Class = NotOffered("TstCombValSeq4", "KNS4",
    KELMA_MSG("Сочетания из 4 соседних чисел тиража"), sfShowS);
const TStatClass TstCombValPos2Class{.ClassName = "TstCombValPos2", .CodeFormat = "KNP2%d",
    .CaptionFormat = KELMA_MSG("Сочетания из 2-х чисел тиража начиная с %0:d позиции"),
    .HelpName = "KNP2", .Group = 0, .Flags = sfShowS, .Available = true, .IsGraph = false,
    .HasNumericValue = false, .ParamRange = &StartPositionRange<2>, .Factory = &MakeStat<TstCombValPos2>};
const TStatClass TstCombValPos3Class = NotOffered("TstCombValPos3", "KNP3%d",
    KELMA_MSG("Сочетания из 3-х чисел тиража начиная с %0:d позиции"), sfShowS, "KNP3",
    &StartPositionRange<3>);
const TStatClass TstCombValPos4Class = NotOffered("TstCombValPos4", "KNP4%d",
    KELMA_MSG("Сочетания из 4-х чисел тиража начиная с %0:d позиции"), sfShowS, "KNP4",
    &StartPositionRange<4>);
const TStatClass TstCombValSort2Class{.ClassName = "TstCombValSort2", .CodeFormat = "KNO2",
    .CaptionFormat = KELMA_MSG("Сочетания из 2 чисел тиража по возрастанию"), .HelpName = nullptr,
    .Group = 0, .Flags = 0, .Available = true, .IsGraph = false, .HasNumericValue = false,
    .ParamRange = nullptr, .Factory = &MakeStat<TstCombValSort2>};
const TStatClass TstCombValSort3Class = NotOffered("TstCombValSort3", "KNO3",
    KELMA_MSG("Сочетания из 3 чисел тиража по возрастанию"), 0);
const TStatClass TstCombValSort4Class = NotOffered("TstCombValSort4", "KNO4",
    KELMA_MSG("Сочетания из 4 чисел тиража по возрастанию"), 0);

// ---------------------------------------------------------------------------------------

TCustomCombValuesStat::TCustomCombValuesStat(const TStatClass& cls, const TStatList& list, int param, int size)
    : TCustomStat(cls, list, param), FSize(size)
{
}

QString TCustomCombValuesStat::ValueText(const TStatValueRec& value) const
{
    QString text;
    for (int i = 0; i < FSize && i < static_cast<int>(value.Key.Words.size()); ++i) {
        if (i > 0)
            text += QLatin1Char(':');
        text += NumToStr(value.Key.Words[static_cast<std::size_t>(i)]);
    }
    return text;
}

TCombPairStat::TCombPairStat(const TStatClass& cls, const TStatList& list, int param, TPairKind kind)
    : TCombKeysStat(cls, list, param, 2), FKind(kind)
{
}

void TCombPairStat::KeysOf(TCombWord comb, TStatKeys& keys) const
{
    const std::uint16_t digits[DrawDigits] = {CombDigit1(comb), CombDigit2(comb)};
    int start = 1;
    if (FKind == TPairKind::FromPosition) {
        start = Param();
        if (start < 1 || start + 1 > DrawDigits)
            return;
    }
    std::uint16_t first = digits[start - 1];
    std::uint16_t second = digits[start];
    if (FKind == TPairKind::Ascending && first > second)
        std::swap(first, second);
    keys.push_back(WordKey(first, second));
}

TstCombValMix2::TstCombValMix2(const TStatList& list, int param)
    : TCombPairStat(TstCombValMix2Class, list, param, TPairKind::AnyPositions)
{
}

TstCombValSeq2::TstCombValSeq2(const TStatList& list, int param)
    : TCombPairStat(TstCombValSeq2Class, list, param, TPairKind::Neighbours)
{
}

TstCombValPos2::TstCombValPos2(const TStatList& list, int param)
    : TCombPairStat(TstCombValPos2Class, list, param, TPairKind::FromPosition)
{
}

TstCombValSort2::TstCombValSort2(const TStatList& list, int param)
    : TCombPairStat(TstCombValSort2Class, list, param, TPairKind::Ascending)
{
}
