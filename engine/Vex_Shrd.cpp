#include "engine/Vex_Shrd.h"

#include "engine/KelmaStatList.h"

// One method per formula of the engine object.
void ShreddingParamRange(const TStatList&, int& lo, int& hi)
{
    lo = 1;
    hi = 3;
}

const TStatClass TstShreddingStatClass{.ClassName = "TstShreddingStat", .CodeFormat = "SHR%d",
    .CaptionFormat = KELMA_MSG("Метод шинковки %0:d: %%s"), .HelpName = "SHRx", .Group = 12,
    .Flags = sfShowS | sfPlainValue, .Available = true, .IsGraph = true, .HasNumericValue = true,
    .ParamRange = &ShreddingParamRange, .Factory = &MakeStat<TstShreddingStat>};

TstShreddingStat::TstShreddingStat(const TStatList& list, int param)
    : TCustomGraphStat(TstShreddingStatClass, list, param),
      FFormula(list.Formula(param)),
      FDigits(param >= 1 && param <= 3 ? list.FormulaDigits(param) : 0),
      FShredding(FFormula, FDigits)
{
}

QString TstShreddingStat::ValueText(const TStatValueRec& value) const
{
    return SumToStr(static_cast<int>(value.Key.Dword(0)));
}

int TstShreddingStat::ShreddingOf(TCombWord comb, int previous, bool sorted) const
{
    const TCombWord p = DrawToComb(LoadDrawRec(previous, sorted));
    const TCombWord t = DrawToComb(LoadDrawRec(previous - 1, sorted));
    return FShredding.Value(comb, p, t);
}

int TstShreddingStat::ValueOf(TCombWord comb, int index, int, bool sorted)
{
    return ShreddingOf(comb, index - 1, sorted);
}

int TstShreddingStat::AddDraw(int index, int last, bool sorted, TStatDrawArray& table, TStatScratch& scratch,
                              TLastValueArray& lastValues)
{
    const int age = TCustomGraphStat::AddDraw(index, last, sorted, table, scratch, lastValues);
    const int value = ShreddingOf(DrawToComb(FDraw), index - 1, sorted);
    MergeKey(DwordKey(static_cast<std::uint32_t>(value)), table, true);
    return age;
}

void TstShreddingStat::AddCombination(TCombWord comb, TStatDrawArray& table)
{
    TCustomGraphStat::AddCombination(comb, table);
    const int value = FShredding.Value(comb, 0, 0);
    MergeKey(DwordKey(static_cast<std::uint32_t>(value)), table, false);
}

bool TstShreddingStat::Test(TCombWord comb, const TStatDrawArray& selected, int last, bool sorted, bool)
{
    return HasKeyDword(selected, 1, static_cast<std::uint32_t>(ShreddingOf(comb, last, sorted)));
}
