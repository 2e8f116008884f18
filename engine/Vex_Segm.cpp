#include "engine/Vex_Segm.h"

#include "engine/KelmaStatList.h"

// Captions of the pair classes carry their size: only the two-position classes exist for
// this game, and a class without a parameter formats its caption with 0.
const TStatClass TstSegmentsClass{.ClassName = "TstSegments", .CodeFormat = "SGMS",
    .CaptionFormat = KELMA_MSG("Сегменты матрицы"), .HelpName = nullptr, .Group = 5,
    .Flags = sfPlainValue, .Available = true, .IsGraph = false, .HasNumericValue = true,
    .ParamRange = nullptr, .Factory = &MakeStat<TstSegments>};
const TStatClass TstSegmValuesClass{.ClassName = "TstSegmValues", .CodeFormat = "SGMV",
    .CaptionFormat = KELMA_MSG("Количество чисел в сегменте матрицы"), .HelpName = nullptr, .Group = 5,
    .Flags = sfPlainValue, .Available = true, .IsGraph = false, .HasNumericValue = false,
    .ParamRange = nullptr, .Factory = &MakeStat<TstSegmValues>};
const TStatClass TstSegmCountClass{.ClassName = "TstSegmCount", .CodeFormat = "SGMC",
    .CaptionFormat = KELMA_MSG("Количество не пустых сегментов в матрице"), .HelpName = nullptr,
    .Group = 5, .Flags = sfPlainValue, .Available = true, .IsGraph = true, .HasNumericValue = true,
    .ParamRange = nullptr, .Factory = &MakeStat<TstSegmCount>};
const TStatClass TstCombSegmMix2Class{.ClassName = "TstCombSegmMix2", .CodeFormat = "KGM2",
    .CaptionFormat = KELMA_MSG("Сочетания из 2 сегментов по всем числам тиража"), .HelpName = nullptr,
    .Group = 5, .Flags = sfShowS, .Available = true, .IsGraph = false, .HasNumericValue = false,
    .ParamRange = nullptr, .Factory = &MakeStat<TstCombSegmMix2>};
const TStatClass TstCombSegmMix3Class{.ClassName = "TstCombSegmMix3", .CodeFormat = "KGM3",
    .CaptionFormat = KELMA_MSG("Сочетания из 3 сегментов по всем числам тиража"), .HelpName = nullptr,
    .Group = 5, .Flags = sfShowS, .Available = false, .IsGraph = false, .HasNumericValue = false,
    .ParamRange = nullptr, .Factory = nullptr};
const TStatClass TstCombSegmMix4Class{.ClassName = "TstCombSegmMix4", .CodeFormat = "KGM4",
    .CaptionFormat = KELMA_MSG("Сочетания из 4 сегментов по всем числам тиража"), .HelpName = nullptr,
    .Group = 5, .Flags = sfShowS, .Available = false, .IsGraph = false, .HasNumericValue = false,
    .ParamRange = nullptr, .Factory = nullptr};
const TStatClass TstCombSegmSeq2Class{.ClassName = "TstCombSegmSeq2", .CodeFormat = "KGS2",
    .CaptionFormat = KELMA_MSG("Сочетания из 2 сегментов по соседним числам"), .HelpName = nullptr,
    .Group = 5, .Flags = sfShowS, .Available = true, .IsGraph = false, .HasNumericValue = false,
    .ParamRange = nullptr, .Factory = &MakeStat<TstCombSegmSeq2>};
const TStatClass TstCombSegmSeq3Class{.ClassName = "TstCombSegmSeq3", .CodeFormat = "KGS3",
    .CaptionFormat = KELMA_MSG("Сочетания из 3 сегментов по соседним числам"), .HelpName = nullptr,
    .Group = 5, .Flags = sfShowS, .Available = false, .IsGraph = false, .HasNumericValue = false,
    .ParamRange = nullptr, .Factory = nullptr};
const TStatClass TstCombSegmSeq4Class{.ClassName = "TstCombSegmSeq4", .CodeFormat = "KGS4",
    .CaptionFormat = KELMA_MSG("Сочетания из 4 сегментов по соседним числам"), .HelpName = nullptr,
    .Group = 5, .Flags = sfShowS, .Available = false, .IsGraph = false, .HasNumericValue = false,
    .ParamRange = nullptr, .Factory = nullptr};
const TStatClass TstSgmValCntClass{.ClassName = "TstSgmValCnt", .CodeFormat = "SGM%d",
    .CaptionFormat = KELMA_MSG("Количество чисел в %0:d сегменте матрицы"), .HelpName = "SGMx",
    .Group = 5, .Flags = sfPlainValue, .Available = true, .IsGraph = true, .HasNumericValue = true,
    .ParamRange = &SegmentParamRange, .Factory = &MakeStat<TstSgmValCnt>};

// ---------------------------------------------------------------------------------------
// SGMS

TstSegments::TstSegments(const TStatList& list, int param)
    : TCombKeysStat(TstSegmentsClass, list, param)
{
}

void TstSegments::InitValues(int last, TStatDrawArray& table)
{
    TCombKeysStat::InitValues(last, table);
    // Entries that share a number merge into one row.
    for (const auto& row : FMatrixSegments)
        for (const std::uint8_t segment : row)
            MergeKey(WordKey(segment), table, false);
}

void TstSegments::KeysOf(TCombWord comb, TStatKeys& keys) const
{
    keys.push_back(WordKey(SegmentOf(1, CombDigit1(comb))));
    keys.push_back(WordKey(SegmentOf(2, CombDigit2(comb))));
}

// ---------------------------------------------------------------------------------------
// SGMV

TstSegmValues::TstSegmValues(const TStatList& list, int param)
    : TCombKeysStat(TstSegmValuesClass, list, param)
{
}

QString TstSegmValues::ValueText(const TStatValueRec& value) const
{
    return CountedValueText(SumToStr(value.Key.Words[0]), value);
}

TStatSimpleArray TstSegmValues::SegmentCounts(TCombWord comb) const
{
    TStatSimpleArray counts;
    for (const auto& row : FMatrixSegments)
        for (const std::uint8_t segment : row)
            AddStatSimple(counts, segment, 0);
    AddStatSimple(counts, SegmentOf(1, CombDigit1(comb)), 1);
    AddStatSimple(counts, SegmentOf(2, CombDigit2(comb)), 1);
    return counts;
}

void TstSegmValues::KeysOf(TCombWord comb, TStatKeys& keys) const
{
    for (const TStatSimpleRec& pair : SegmentCounts(comb))
        keys.push_back(WordKey(pair.Key, pair.Count));
}

// ---------------------------------------------------------------------------------------
// SGMC

TstSegmCount::TstSegmCount(const TStatList& list, int param)
    : TCombNumberStat(TstSegmCountClass, list, param)
{
}

int TstSegmCount::NumberOf(TCombWord comb) const
{
    TByteArray segments;
    ByteArrayAddUnique(segments, static_cast<std::uint8_t>(SegmentOf(1, CombDigit1(comb))));
    ByteArrayAddUnique(segments, static_cast<std::uint8_t>(SegmentOf(2, CombDigit2(comb))));
    return static_cast<int>(segments.size());
}

// ---------------------------------------------------------------------------------------
// KGM2, KGS2

QString TSegmPairStat::ValueText(const TStatValueRec& value) const
{
    return PairValueText(value);
}

void TSegmPairStat::KeysOf(TCombWord comb, TStatKeys& keys) const
{
    keys.push_back(WordKey(SegmentOf(1, CombDigit1(comb)), SegmentOf(2, CombDigit2(comb))));
}

TstCombSegmMix2::TstCombSegmMix2(const TStatList& list, int param)
    : TSegmPairStat(TstCombSegmMix2Class, list, param)
{
}

TstCombSegmSeq2::TstCombSegmSeq2(const TStatList& list, int param)
    : TSegmPairStat(TstCombSegmSeq2Class, list, param)
{
}

// ---------------------------------------------------------------------------------------
// SGM%d

TstSgmValCnt::TstSgmValCnt(const TStatList& list, int param)
    : TCombNumberStat(TstSgmValCntClass, list, param)
{
}

int TstSgmValCnt::NumberOf(TCombWord comb) const
{
    return int(SegmentOf(1, CombDigit1(comb)) == Param()) + int(SegmentOf(2, CombDigit2(comb)) == Param());
}
