#include "engine/Vex_Segm.h"

#include "engine/KelmaStatList.h"
#include "platform/DelphiText.h"

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
    : TCustomSegmentsStat(TstSegmentsClass, list, param)
{
}

void TstSegments::InitValues(int last, TStatDrawArray& table)
{
    TCustomSegmentsStat::InitValues(last, table);
    // Entries that share a number merge into one row.
    for (const auto& row : FMatrixSegments) {
        for (const std::uint8_t segment : row) {
            FValue.Key = TStatKey{{segment, 0, 0, 0}};
            MergeStatValue(table, FValue, false);
        }
    }
}

void TstSegments::MergeValues(TCombWord comb, TStatDrawArray& table, bool trackGaps)
{
    const int digits[DrawDigits] = {CombDigit1(comb), CombDigit2(comb)};
    for (int p = 1; p <= DrawDigits; ++p) {
        FValue.Key = TStatKey{{static_cast<std::uint16_t>(SegmentOf(p, digits[p - 1])), 0, 0, 0}};
        MergeStatValue(table, FValue, trackGaps);
    }
}

int TstSegments::AddDraw(int index, int last, bool sorted, TStatDrawArray& table, TStatScratch& scratch,
                         TLastValueArray& lastValues)
{
    const int age = TCustomSegmentsStat::AddDraw(index, last, sorted, table, scratch, lastValues);
    MergeValues(DrawToComb(FDraw), table, true);
    return age;
}

void TstSegments::AddCombination(TCombWord comb, TStatDrawArray& table)
{
    TCustomSegmentsStat::AddCombination(comb, table);
    MergeValues(comb, table, false);
}

bool TstSegments::Test(TCombWord comb, const TStatDrawArray& selected, int, bool, bool)
{
    return HasKeyWord(selected, 1, static_cast<std::uint16_t>(SegmentOf(1, CombDigit1(comb))))
           || HasKeyWord(selected, 1, static_cast<std::uint16_t>(SegmentOf(2, CombDigit2(comb))));
}

// ---------------------------------------------------------------------------------------
// SGMV

TstSegmValues::TstSegmValues(const TStatList& list, int param)
    : TCustomSegmentsStat(TstSegmValuesClass, list, param)
{
}

QString TstSegmValues::ValueText(const TStatValueRec& value) const
{
    return Format(QStringLiteral("%0:d x %1:d"), {int(value.Key.Words[0]), int(value.Key.Words[1])});
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

void TstSegmValues::MergeValues(TCombWord comb, TStatDrawArray& table, bool trackGaps)
{
    for (const TStatSimpleRec& pair : SegmentCounts(comb)) {
        FValue.Key = TStatKey{{static_cast<std::uint16_t>(pair.Key), static_cast<std::uint16_t>(pair.Count), 0, 0}};
        MergeStatValue(table, FValue, trackGaps);
    }
}

int TstSegmValues::AddDraw(int index, int last, bool sorted, TStatDrawArray& table, TStatScratch& scratch,
                           TLastValueArray& lastValues)
{
    const int age = TCustomSegmentsStat::AddDraw(index, last, sorted, table, scratch, lastValues);
    MergeValues(DrawToComb(FDraw), table, true);
    return age;
}

void TstSegmValues::AddCombination(TCombWord comb, TStatDrawArray& table)
{
    TCustomSegmentsStat::AddCombination(comb, table);
    MergeValues(comb, table, false);
}

bool TstSegmValues::Test(TCombWord comb, const TStatDrawArray& selected, int, bool, bool)
{
    for (const TStatSimpleRec& pair : SegmentCounts(comb))
        if (HasKey(selected, static_cast<std::uint16_t>(pair.Key), static_cast<std::uint16_t>(pair.Count), 0, 0))
            return true;
    return false;
}

// ---------------------------------------------------------------------------------------
// SGMC

TstSegmCount::TstSegmCount(const TStatList& list, int param)
    : TCustomSegmentsGraphStat(TstSegmCountClass, list, param)
{
}

int TstSegmCount::CountOf(TCombWord comb) const
{
    TByteArray segments;
    ByteArrayAddUnique(segments, static_cast<std::uint8_t>(SegmentOf(1, CombDigit1(comb))));
    ByteArrayAddUnique(segments, static_cast<std::uint8_t>(SegmentOf(2, CombDigit2(comb))));
    return static_cast<int>(segments.size());
}

int TstSegmCount::ValueOf(TCombWord comb, int, int, bool)
{
    return CountOf(comb);
}

int TstSegmCount::AddDraw(int index, int last, bool sorted, TStatDrawArray& table, TStatScratch& scratch,
                          TLastValueArray& lastValues)
{
    const int age = TCustomSegmentsGraphStat::AddDraw(index, last, sorted, table, scratch, lastValues);
    FValue.Key = TStatKey{{static_cast<std::uint16_t>(CountOf(DrawToComb(FDraw))), 0, 0, 0}};
    MergeStatValue(table, FValue, true);
    return age;
}

void TstSegmCount::AddCombination(TCombWord comb, TStatDrawArray& table)
{
    TCustomSegmentsGraphStat::AddCombination(comb, table);
    FValue.Key = TStatKey{{static_cast<std::uint16_t>(CountOf(comb)), 0, 0, 0}};
    MergeStatValue(table, FValue, false);
}

bool TstSegmCount::Test(TCombWord comb, const TStatDrawArray& selected, int, bool, bool)
{
    return HasKeyWord(selected, 1, static_cast<std::uint16_t>(CountOf(comb)));
}

// ---------------------------------------------------------------------------------------
// KGM2, KGS2

QString TSegmPairStat::ValueText(const TStatValueRec& value) const
{
    return NumToStr(value.Key.Words[0]) + QLatin1Char(':') + NumToStr(value.Key.Words[1]);
}

int TSegmPairStat::AddDraw(int index, int last, bool sorted, TStatDrawArray& table, TStatScratch& scratch,
                           TLastValueArray& lastValues)
{
    const int age = TCustomSegmentsStat::AddDraw(index, last, sorted, table, scratch, lastValues);
    FValue.Key = TStatKey{{static_cast<std::uint16_t>(SegmentOf(1, FDraw.Digits[0])),
                           static_cast<std::uint16_t>(SegmentOf(2, FDraw.Digits[1])), 0, 0}};
    MergeStatValue(table, FValue, true);
    return age;
}

bool TSegmPairStat::Test(TCombWord comb, const TStatDrawArray& selected, int, bool, bool)
{
    return HasKey(selected, static_cast<std::uint16_t>(SegmentOf(1, CombDigit1(comb))),
                  static_cast<std::uint16_t>(SegmentOf(2, CombDigit2(comb))), 0, 0);
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
    : TCustomSegmentsGraphStat(TstSgmValCntClass, list, param)
{
}

int TstSgmValCnt::CountOf(TCombWord comb) const
{
    return int(SegmentOf(1, CombDigit1(comb)) == Param()) + int(SegmentOf(2, CombDigit2(comb)) == Param());
}

int TstSgmValCnt::ValueOf(TCombWord comb, int, int, bool)
{
    return CountOf(comb);
}

int TstSgmValCnt::AddDraw(int index, int last, bool sorted, TStatDrawArray& table, TStatScratch& scratch,
                          TLastValueArray& lastValues)
{
    const int age = TCustomSegmentsGraphStat::AddDraw(index, last, sorted, table, scratch, lastValues);
    FValue.Key = TStatKey{{static_cast<std::uint16_t>(CountOf(DrawToComb(FDraw))), 0, 0, 0}};
    MergeStatValue(table, FValue, true);
    return age;
}

void TstSgmValCnt::AddCombination(TCombWord comb, TStatDrawArray& table)
{
    TCustomSegmentsGraphStat::AddCombination(comb, table);
    FValue.Key = TStatKey{{static_cast<std::uint16_t>(CountOf(comb)), 0, 0, 0}};
    MergeStatValue(table, FValue, false);
}

bool TstSgmValCnt::Test(TCombWord comb, const TStatDrawArray& selected, int, bool, bool)
{
    return HasKeyWord(selected, 1, static_cast<std::uint16_t>(CountOf(comb)));
}
