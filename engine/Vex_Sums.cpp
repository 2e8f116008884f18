#include "engine/Vex_Sums.h"

#include "engine/KelmaStatList.h"
#include "engine/Vex_Nums.h"
#include "platform/DelphiText.h"

#include <array>

namespace {

// The caption shows the range's share of the draws as well, so SumRangeCaption builds it.
constexpr TResString rsSumsRangeCaption = KELMA_MSG("Сумма тиража: диапазон %d (%d/%d)");
constexpr TResString rsSumsOthersText = KELMA_MSG("Остальные");

struct TSumRange {
    int Lo, Hi;       // inclusive bounds
    int Num, Den;     // share of the draws shown in the caption
};

// The ranges were chosen for draws of more digits; with two digits (sums up to 18) they
// are open at the top.
constexpr std::array<TSumRange, 3> SumRanges{{{12, 33, 1, 3}, {14, 31, 1, 2}, {16, 29, 2, 3}}};

void SumRangeParams(const TStatList& /*list*/, int& lo, int& hi)
{
    lo = 1;
    hi = static_cast<int>(SumRanges.size());
}

int CombSum(TCombWord comb)
{
    return CombDigit1(comb) + CombDigit2(comb);
}

int DrawSum(const TDrawRec& draw)
{
    return draw.Digits[0] + draw.Digits[1];
}

int Sign(int v)
{
    return v > 0 ? 1 : (v < 0 ? -1 : 0);
}

// Signed values live in a 32-bit key word as their two's complement.
std::uint32_t ToKey(int v)
{
    return static_cast<std::uint32_t>(v);
}

int FromKey(std::uint32_t v)
{
    return static_cast<std::int32_t>(v);
}

TStatKey SignedKey(int v)
{
    return DwordKey(ToKey(v));
}

}  // namespace

// ---------------------------------------------------------------------------------------
// Descriptors.

const TStatClass TstSumValuesClass{.ClassName = "TstSumValues", .CodeFormat = "SUMS",
    .CaptionFormat = KELMA_MSG("Сумма тиража: все значения"), .HelpName = nullptr, .Group = 1,
    .Flags = sfPlainValue, .Available = true, .IsGraph = true, .HasNumericValue = true,
    .ParamRange = nullptr, .Factory = &MakeStat<TstSumValues>};

const TStatClass TstSumRangesClass{.ClassName = "TstSumRanges", .CodeFormat = "SUM%d",
    .CaptionFormat = rsSumsRangeCaption, .HelpName = nullptr, .Group = 1,
    .Flags = sfPlainValue, .Available = true, .IsGraph = true, .HasNumericValue = false,
    .ParamRange = &SumRangeParams, .Factory = &MakeStat<TstSumRanges>,
    .CaptionFn = &SumRangeCaption};

const TStatClass TstSumChangeClass{.ClassName = "TstSumChange", .CodeFormat = "SUMC",
    .CaptionFormat = KELMA_MSG("Сумма тиража: изменения (точно)"), .HelpName = nullptr,
    .Group = 1, .Flags = sfTwoDraws, .Available = true, .IsGraph = true,
    .HasNumericValue = false, .ParamRange = nullptr, .Factory = &MakeStat<TstSumChange>};

const TStatClass TstSumChangeSomeClass{.ClassName = "TstSumChangeSome", .CodeFormat = "SUMV",
    .CaptionFormat = KELMA_MSG("Сумма тиража: изменения (диапазон)"), .HelpName = nullptr,
    .Group = 1, .Flags = sfTwoDraws, .Available = true, .IsGraph = false,
    .HasNumericValue = false, .ParamRange = nullptr, .Factory = &MakeStat<TstSumChangeSome>};

const TStatClass TstSumTrendClass{.ClassName = "TstSumTrend", .CodeFormat = "SUMT",
    .CaptionFormat = KELMA_MSG("Сумма тиража: направление изменения"), .HelpName = nullptr,
    .Group = 1, .Flags = sfTwoDraws, .Available = true, .IsGraph = true,
    .HasNumericValue = false, .ParamRange = nullptr, .Factory = &MakeStat<TstSumTrend>};

const TStatClass TstSumEvenValuesClass{.ClassName = "TstSumEvenValues", .CodeFormat = "SUME",
    .CaptionFormat = KELMA_MSG("Сумма тиража: только четные"), .HelpName = nullptr, .Group = 1,
    .Flags = sfPlainValue, .Available = true, .IsGraph = true, .HasNumericValue = true,
    .ParamRange = nullptr, .Factory = &MakeStat<TstSumEvenValues>};

const TStatClass TstSumPrimeValuesClass{.ClassName = "TstSumPrimeValues", .CodeFormat = "SUMP",
    .CaptionFormat = KELMA_MSG("Сумма тиража: только простые"), .HelpName = nullptr, .Group = 1,
    .Flags = sfPlainValue, .Available = true, .IsGraph = true, .HasNumericValue = true,
    .ParamRange = nullptr, .Factory = &MakeStat<TstSumPrimeValues>};

const TStatClass TstSum2To3Class{.ClassName = "TstSum2To3", .CodeFormat = "S2T3",
    .CaptionFormat = KELMA_MSG("Сумма двух чисел тиража равна третьему числу"),
    .HelpName = nullptr, .Group = 1, .Flags = sfPlainValue, .Available = true, .IsGraph = true,
    .HasNumericValue = true, .ParamRange = nullptr, .Factory = &MakeStat<TstSum2To3>};

// ---------------------------------------------------------------------------------------
// Sum ranges.

bool SumRangeBounds(int range, int& lo, int& hi)
{
    if (range < 1 || range > static_cast<int>(SumRanges.size())) {
        lo = 1;
        hi = 0;
        return false;
    }
    lo = SumRanges[static_cast<std::size_t>(range - 1)].Lo;
    hi = SumRanges[static_cast<std::size_t>(range - 1)].Hi;
    return true;
}

QString SumRangeCaption(int range)
{
    int num = 0, den = 0;
    if (range >= 1 && range <= static_cast<int>(SumRanges.size())) {
        num = SumRanges[static_cast<std::size_t>(range - 1)].Num;
        den = SumRanges[static_cast<std::size_t>(range - 1)].Den;
    }
    return Format(LoadResString(rsSumsRangeCaption), {range, num, den});
}

// ---------------------------------------------------------------------------------------
// TSumValueStat

void TSumValueStat::PrefillRange(int lo, int hi, TStatDrawArray& table)
{
    for (int v = lo; v <= hi; ++v)
        MergeKey(SignedKey(v), table, false);
}

void TSumValueStat::KeysOf(TCombWord comb, TStatKeys& keys) const
{
    keys.push_back(SignedKey(SumValueOf(comb)));
}

int TSumValueStat::ValueOf(TCombWord comb, int /*index*/, int /*last*/, bool /*sorted*/)
{
    return SumValueOf(comb);
}

// ---------------------------------------------------------------------------------------
// Plain sums.

TstSumValues::TstSumValues(const TStatList& list, int param)
    : TSumValueStat(TstSumValuesClass, list, param)
{
}

void TstSumValues::InitValues(int last, TStatDrawArray& table)
{
    TSumValueStat::InitValues(last, table);
    PrefillRange(SumRangeMin, SumRangeMax, table);
}

int TstSumValues::SumValueOf(TCombWord comb) const
{
    return CombSum(comb);
}

TstSumRanges::TstSumRanges(const TStatList& list, int param)
    : TSumValueStat(TstSumRangesClass, list, param)
{
}

QString TstSumRanges::ValueText(const TStatValueRec& value) const
{
    int lo = 0, hi = 0;
    if (value.Key.Dword(0) == 1 && SumRangeBounds(FParam, lo, hi))
        return Format(QStringLiteral("%d-%d"), {lo, hi});
    return LoadResString(rsSumsOthersText);
}

void TstSumRanges::InitValues(int last, TStatDrawArray& table)
{
    TSumValueStat::InitValues(last, table);
    PrefillRange(0, 1, table);
}

int TstSumRanges::SumValueOf(TCombWord comb) const
{
    int lo = 0, hi = 0;
    SumRangeBounds(FParam, lo, hi);
    const int sum = CombSum(comb);
    return sum >= lo && sum <= hi ? 1 : 0;
}

bool TstSumRanges::Test(TCombWord comb, const TStatDrawArray& selected, int /*last*/, bool /*sorted*/,
                        bool /*exclude*/)
{
    const bool inRange = SumValueOf(comb) == 1;
    return HasKeyDword(selected, 1, 1) ? inRange : !inRange;
}

TstSumEvenValues::TstSumEvenValues(const TStatList& list, int param)
    : TSumValueStat(TstSumEvenValuesClass, list, param)
{
}

int TstSumEvenValues::SumValueOf(TCombWord comb) const
{
    int sum = 0;
    for (int d : CombDigits(comb))
        if (IsEvenDigit(d))
            sum += d;
    return sum;
}

TstSumPrimeValues::TstSumPrimeValues(const TStatList& list, int param)
    : TSumValueStat(TstSumPrimeValuesClass, list, param)
{
}

int TstSumPrimeValues::SumValueOf(TCombWord comb) const
{
    int sum = 0;
    for (int d : CombDigits(comb))
        if (IsPrimeDigit(d))
            sum += d;
    return sum;
}

TstSum2To3::TstSum2To3(const TStatList& list, int param)
    : TSumValueStat(TstSum2To3Class, list, param)
{
}

int TstSum2To3::SumValueOf(TCombWord comb) const
{
    const auto digits = CombDigits(comb);
    int count = 0;
    for (int i = 0; i < DrawDigits; ++i)
        for (int j = 0; j < DrawDigits; ++j)
            for (int k = 0; k < DrawDigits; ++k)
                if (i != j && j != k && i != k && digits[i] + digits[j] == digits[k])
                    ++count;
    return count;
}

// ---------------------------------------------------------------------------------------
// Transitions: what followed the draws whose sum was like the newest draw's. Draws that do
// not follow such a draw add nothing. A combination list has no previous draw, so these
// classes keep the inherited AddCombination, which merges nothing.

TstSumChange::TstSumChange(const TStatList& list, int param)
    : TCustomGraphStat(TstSumChangeClass, list, param)
{
}

QString TstSumChange::ValueText(const TStatValueRec& value) const
{
    const int p = FromKey(value.Key.Dword(0));
    const int s = FromKey(value.Key.Dword(1));
    if (p > s)
        return Format(QStringLiteral("- %0:.2d : %1:d - %0:d = %2:d"), {p - s, p, s});
    return Format(QStringLiteral("+%0:.2d : %1:d + %0:d = %2:d"), {s - p, p, s});
}

int TstSumChange::AddDraw(int index, int last, bool sorted, TStatDrawArray& table,
                          TStatScratch& scratch, TLastValueArray& lastValues)
{
    const int age = TCustomGraphStat::AddDraw(index, last, sorted, table, scratch, lastValues);
    const int p = DrawSum(LoadDrawRec(index - 1, false));
    if (p == DrawSum(FDraw2)) {
        TStatKey key = SignedKey(p);
        key.SetDword(1, ToKey(DrawSum(FDraw)));
        MergeKey(key, table, true);
    }
    return age;
}

bool TstSumChange::Test(TCombWord comb, const TStatDrawArray& selected, int last, bool sorted,
                        bool /*exclude*/)
{
    LoadDraws(last, last, sorted);
    return HasKeyDword(selected, 2, ToKey(CombSum(comb)));
}

int TstSumChange::ValueOf(TCombWord comb, int index, int /*last*/, bool /*sorted*/)
{
    return CombSum(comb) - DrawSum(LoadDrawRec(index - 1, false));
}

TstSumChangeSome::TstSumChangeSome(const TStatList& list, int param)
    : TCustomStat(TstSumChangeSomeClass, list, param)
{
}

QString TstSumChangeSome::ValueText(const TStatValueRec& value) const
{
    const int d = FromKey(value.Key.Dword(0));
    if (d >= 0)
        return Format(QStringLiteral("+%0:.2d"), {d});
    return Format(QStringLiteral("- %0:.2d"), {-d});
}

int TstSumChangeSome::AddDraw(int index, int last, bool sorted, TStatDrawArray& table,
                              TStatScratch& scratch, TLastValueArray& lastValues)
{
    const int age = TCustomStat::AddDraw(index, last, sorted, table, scratch, lastValues);
    const int p = DrawSum(LoadDrawRec(index - 1, false));
    const int r = DrawSum(FDraw2);
    if (p >= r - SumRangeWidth && p <= r + SumRangeWidth)
        MergeKey(SignedKey(DrawSum(FDraw) - p), table, true);
    return age;
}

bool TstSumChangeSome::Test(TCombWord comb, const TStatDrawArray& selected, int last,
                            bool sorted, bool /*exclude*/)
{
    LoadDraws(last, last, sorted);
    return HasKeyDword(selected, 1, ToKey(CombSum(comb) - DrawSum(FDraw2)));
}

TstSumTrend::TstSumTrend(const TStatList& list, int param)
    : TCustomGraphStat(TstSumTrendClass, list, param)
{
}

QString TstSumTrend::ValueText(const TStatValueRec& value) const
{
    const int v = FromKey(value.Key.Dword(0));
    return v > 0 ? QStringLiteral("+") : (v < 0 ? QStringLiteral("-") : QStringLiteral("="));
}

void TstSumTrend::InitValues(int last, TStatDrawArray& table)
{
    TCustomGraphStat::InitValues(last, table);
    for (int v : {0, 1, -1})
        MergeKey(SignedKey(v), table, false);
}

int TstSumTrend::AddDraw(int index, int last, bool sorted, TStatDrawArray& table,
                         TStatScratch& scratch, TLastValueArray& lastValues)
{
    const int age = TCustomGraphStat::AddDraw(index, last, sorted, table, scratch, lastValues);
    const int p = DrawSum(LoadDrawRec(index - 1, false));
    if (p == DrawSum(FDraw2))
        MergeKey(SignedKey(Sign(DrawSum(FDraw) - p)), table, true);
    return age;
}

bool TstSumTrend::Test(TCombWord comb, const TStatDrawArray& selected, int last, bool sorted,
                       bool /*exclude*/)
{
    LoadDraws(last, last, sorted);
    return HasKeyDword(selected, 1, ToKey(Sign(CombSum(comb) - DrawSum(FDraw2))));
}

int TstSumTrend::ValueOf(TCombWord comb, int index, int /*last*/, bool /*sorted*/)
{
    return Sign(CombSum(comb) - DrawSum(LoadDrawRec(index - 1, false)));
}
