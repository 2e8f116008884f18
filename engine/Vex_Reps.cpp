#include "engine/Vex_Reps.h"

#include <cstdint>

namespace {

constexpr int RepeatsGroup = 7;

// Every class of the group reads two draws, takes no parameter and has a numeric value.
constexpr TStatClass RepeatsStatClass(const char* className, const char* code, TResString caption,
                                      TStatFactory factory)
{
    return TStatClass{.ClassName = className, .CodeFormat = code, .CaptionFormat = caption,
        .HelpName = nullptr, .Group = RepeatsGroup, .Flags = sfTwoDraws, .Available = true,
        .IsGraph = false, .HasNumericValue = true, .ParamRange = nullptr, .Factory = factory};
}

std::uint8_t DigitAt(TCombWord comb, int position)
{
    return position == 0 ? CombDigit1(comb) : CombDigit2(comb);
}

// Positions at which two combinations hold the same digit.
int SamePositions(TCombWord a, TCombWord b)
{
    int count = 0;
    for (int p = 0; p < DrawDigits; ++p)
        if (DigitAt(a, p) == DigitAt(b, p))
            ++count;
    return count;
}

// Three-draw rule at one position: c the current digit, p1 and p2 the digits one and two
// draws back.
bool RepeatedOverThree(std::uint8_t c, std::uint8_t p1, std::uint8_t p2, bool atMostTwo)
{
    return atMostTwo ? (c == p1 && c != p2) : (c == p1 && c == p2);
}

int CountOverThree(TCombWord c, TCombWord p1, TCombWord p2, bool atMostTwo)
{
    int count = 0;
    for (int p = 0; p < DrawDigits; ++p)
        if (RepeatedOverThree(DigitAt(c, p), DigitAt(p1, p), DigitAt(p2, p), atMostTwo))
            ++count;
    return count;
}

bool CombHasSelectedDigit(TCombWord comb, const TStatDrawArray& selected)
{
    for (int p = 0; p < DrawDigits; ++p)
        if (TCustomStat::HasKeyWord(selected, 1, DigitAt(comb, p)))
            return true;
    return false;
}

// Keys of the two digits of a draw, the rows that the value classes list in advance (one
// row when the digits are equal).
TStatKeys DigitKeys(TCombWord digits)
{
    return {WordKey(CombDigit1(digits)), WordKey(CombDigit2(digits))};
}

}  // namespace

// ---------------------------------------------------------------------------------------
// Two draws: values

TCustomRepValues2Stat::TCustomRepValues2Stat(const TStatClass& cls, const TStatList& list,
                                             int param, int shift, int distance)
    : TCustomValuesStat(cls, list, param), FShift(shift), FDistance(distance)
{
}

void TCustomRepValues2Stat::InitValues(int last, TStatDrawArray& table)
{
    TCustomValuesStat::InitValues(last, table);
    MergeKeys(DigitKeys(ShiftComb(DrawToComb(LoadDrawRec(last, false)), FShift)), table, false);
}

int TCustomRepValues2Stat::AddDraw(int index, int last, bool sorted, TStatDrawArray& table,
                                   TStatScratch& scratch, TLastValueArray& lastValues)
{
    const int age = TCustomValuesStat::AddDraw(index, last, sorted, table, scratch, lastValues);
    const TCombWord current = DrawToComb(FDraw);
    const TCombWord earlier =
        ShiftComb(DrawToComb(LoadDrawRec(IndexBefore(index, FDistance), sorted)), FShift);
    const TCombWord reference = ShiftComb(DrawToComb(FDraw2), FShift);
    for (int p = 0; p < DrawDigits; ++p) {
        const std::uint8_t digit = DigitAt(earlier, p);
        if (digit == DigitAt(reference, p) && digit == DigitAt(current, p))
            MergeKey(WordKey(digit), table, true);
    }
    return age;
}

bool TCustomRepValues2Stat::Test(TCombWord comb, const TStatDrawArray& selected, int /*last*/,
                                 bool /*sorted*/, bool /*exclude*/)
{
    return CombHasSelectedDigit(comb, selected);
}

// ---------------------------------------------------------------------------------------
// Two draws: counts

TCustomRepCount2Stat::TCustomRepCount2Stat(const TStatClass& cls, const TStatList& list,
                                           int param, int shift, int distance)
    : TCustomNumbersStat(cls, list, param), FShift(shift), FDistance(distance)
{
}

void TCustomRepCount2Stat::InitValues(int last, TStatDrawArray& table)
{
    TCustomNumbersStat::InitValues(last, table);
    PrefillWords(1, DrawDigits, table);
}

int TCustomRepCount2Stat::AddDraw(int index, int last, bool sorted, TStatDrawArray& table,
                                  TStatScratch& scratch, TLastValueArray& lastValues)
{
    const int age = TCustomNumbersStat::AddDraw(index, last, sorted, table, scratch, lastValues);
    const TCombWord earlier =
        ShiftComb(DrawToComb(LoadDrawRec(IndexBefore(index, FDistance), sorted)), FShift);
    MergeKey(WordKey(SamePositions(DrawToComb(FDraw), earlier)), table, true);
    return age;
}

bool TCustomRepCount2Stat::Test(TCombWord comb, const TStatDrawArray& selected, int last,
                                bool sorted, bool /*exclude*/)
{
    const TCombWord earlier =
        ShiftComb(DrawToComb(LoadDrawRec(IndexBeforeNext(last, FDistance), sorted)), FShift);
    return HasKeyWord(selected, 1, static_cast<std::uint16_t>(SamePositions(comb, earlier)));
}

// ---------------------------------------------------------------------------------------
// Three draws

TRepValues3Stat::TRepValues3Stat(const TStatClass& cls, const TStatList& list, int param,
                                 bool atMostTwo)
    : TCustomValuesStat(cls, list, param), FAtMostTwo(atMostTwo)
{
}

void TRepValues3Stat::InitValues(int last, TStatDrawArray& table)
{
    TCustomValuesStat::InitValues(last, table);
    MergeKeys(DigitKeys(DrawToComb(LoadDrawRec(last, false))), table, false);
}

int TRepValues3Stat::AddDraw(int index, int last, bool sorted, TStatDrawArray& table,
                             TStatScratch& scratch, TLastValueArray& lastValues)
{
    const int age = TCustomValuesStat::AddDraw(index, last, sorted, table, scratch, lastValues);
    const TCombWord current = DrawToComb(FDraw);
    const TCombWord reference = DrawToComb(FDraw2);
    const TCombWord prev1 = DrawToComb(LoadDrawRec(IndexBefore(index, 1), sorted));
    const TCombWord prev2 = DrawToComb(LoadDrawRec(IndexBefore(index, 2), sorted));
    for (int p = 0; p < DrawDigits; ++p) {
        const std::uint8_t digit = DigitAt(current, p);
        if (digit == DigitAt(reference, p)
            && RepeatedOverThree(digit, DigitAt(prev1, p), DigitAt(prev2, p), FAtMostTwo))
            MergeKey(WordKey(digit), table, true);
    }
    return age;
}

bool TRepValues3Stat::Test(TCombWord comb, const TStatDrawArray& selected, int /*last*/,
                           bool /*sorted*/, bool /*exclude*/)
{
    return CombHasSelectedDigit(comb, selected);
}

TRepCount3Stat::TRepCount3Stat(const TStatClass& cls, const TStatList& list, int param,
                               bool atMostTwo)
    : TCustomNumbersStat(cls, list, param), FAtMostTwo(atMostTwo)
{
}

void TRepCount3Stat::InitValues(int last, TStatDrawArray& table)
{
    TCustomNumbersStat::InitValues(last, table);
    PrefillWords(1, DrawDigits, table);
}

int TRepCount3Stat::AddDraw(int index, int last, bool sorted, TStatDrawArray& table,
                            TStatScratch& scratch, TLastValueArray& lastValues)
{
    const int age = TCustomNumbersStat::AddDraw(index, last, sorted, table, scratch, lastValues);
    const TCombWord prev1 = DrawToComb(LoadDrawRec(IndexBefore(index, 1), sorted));
    const TCombWord prev2 = DrawToComb(LoadDrawRec(IndexBefore(index, 2), sorted));
    MergeKey(WordKey(CountOverThree(DrawToComb(FDraw), prev1, prev2, FAtMostTwo)), table, true);
    return age;
}

bool TRepCount3Stat::Test(TCombWord comb, const TStatDrawArray& selected, int last, bool sorted,
                          bool /*exclude*/)
{
    // The combination stands for the draw after `last`: its two predecessors are the newest
    // draw and the one before it.
    const TCombWord prev1 = DrawToComb(LoadDrawRec(IndexBeforeNext(last, 1), sorted));
    const TCombWord prev2 = DrawToComb(LoadDrawRec(IndexBeforeNext(last, 2), sorted));
    return HasKeyWord(selected, 1,
                      static_cast<std::uint16_t>(CountOverThree(comb, prev1, prev2, FAtMostTwo)));
}

// ---------------------------------------------------------------------------------------
// Descriptors. The codes are stored in users' scenarios and favourites: never change one.
// The classes take no parameter, so each caption holds its number of skipped draws or its
// shift as plain text.

const TStatClass TstRepValues2Class = RepeatsStatClass("TstRepValues2", "RPV2",
    KELMA_MSG("Повторяющиеся числа в 2-х тиражах подряд"), &MakeStat<TstRepValues2>);

const TStatClass TstRepValues3Class = RepeatsStatClass("TstRepValues3", "RPV3",
    KELMA_MSG("Повторяющиеся числа в 3-х тиражах подряд"), &MakeStat<TstRepValues3>);

const TStatClass TstRepValues2B3Class = RepeatsStatClass("TstRepValues2B3", "PRL2",
    KELMA_MSG("Повторяющиеся числа не более чем в 2-х тиражах"), &MakeStat<TstRepValues2B3>);

const TStatClass TstRepValues2over1Class = RepeatsStatClass("TstRepValues2over1", "PRV2O1",
    KELMA_MSG("Повторяющиеся числа в 2-х тиражах через 1 тираж(а)"), &MakeStat<TstRepValues2over1>);

const TStatClass TstRepValues2over2Class = RepeatsStatClass("TstRepValues2over2", "PRV2O2",
    KELMA_MSG("Повторяющиеся числа в 2-х тиражах через 2 тираж(а)"), &MakeStat<TstRepValues2over2>);

const TStatClass TstRepValues2over3Class = RepeatsStatClass("TstRepValues2over3", "PRV2O3",
    KELMA_MSG("Повторяющиеся числа в 2-х тиражах через 3 тираж(а)"), &MakeStat<TstRepValues2over3>);

const TStatClass TstRepValues2P1Class = RepeatsStatClass("TstRepValues2P1", "PRV+1",
    KELMA_MSG("Данные предыдущего тиража + 1"), &MakeStat<TstRepValues2P1>);

const TStatClass TstRepValues2N1Class = RepeatsStatClass("TstRepValues2N1", "PRV-1",
    KELMA_MSG("Данные предыдущего тиража - 1"), &MakeStat<TstRepValues2N1>);

const TStatClass TstRepValues2P2Class = RepeatsStatClass("TstRepValues2P2", "PRV+2",
    KELMA_MSG("Данные предыдущего тиража + 2"), &MakeStat<TstRepValues2P2>);

const TStatClass TstRepValues2N2Class = RepeatsStatClass("TstRepValues2N2", "PRV-2",
    KELMA_MSG("Данные предыдущего тиража - 2"), &MakeStat<TstRepValues2N2>);

const TStatClass TstRepCount2Class = RepeatsStatClass("TstRepCount2", "RPC2",
    KELMA_MSG("Количество повторов в 2-х тиражах подряд"), &MakeStat<TstRepCount2>);

const TStatClass TstRepCount3Class = RepeatsStatClass("TstRepCount3", "RPC3",
    KELMA_MSG("Количество повторов в 3-х тиражах подряд"), &MakeStat<TstRepCount3>);

const TStatClass TstRepCount2B3Class = RepeatsStatClass("TstRepCount2B3", "PRB2",
    KELMA_MSG("Количество повторов не более чем в 2-х тиражах"), &MakeStat<TstRepCount2B3>);

const TStatClass TstRepCount2over1Class = RepeatsStatClass("TstRepCount2over1", "RPO1",
    KELMA_MSG("Количество повторов в 2-х тиражах через 1 тираж(а)"), &MakeStat<TstRepCount2over1>);

const TStatClass TstRepCount2over2Class = RepeatsStatClass("TstRepCount2over2", "PRC2O2",
    KELMA_MSG("Количество повторов в 2-х тиражах через 2 тираж(а)"), &MakeStat<TstRepCount2over2>);

const TStatClass TstRepCount2over3Class = RepeatsStatClass("TstRepCount2over3", "PRC2O3",
    KELMA_MSG("Количество повторов в 2-х тиражах через 3 тираж(а)"), &MakeStat<TstRepCount2over3>);

const TStatClass TstRepCount2P1Class = RepeatsStatClass("TstRepCount2P1", "PRC+1",
    KELMA_MSG("Количество совпадений \"значений + 1\""), &MakeStat<TstRepCount2P1>);

const TStatClass TstRepCount2N1Class = RepeatsStatClass("TstRepCount2N1", "PRC-1",
    KELMA_MSG("Количество совпадений \"значений - 1\""), &MakeStat<TstRepCount2N1>);

const TStatClass TstRepCount2P2Class = RepeatsStatClass("TstRepCount2P2", "PRC+2",
    KELMA_MSG("Количество совпадений \"значений + 2\""), &MakeStat<TstRepCount2P2>);

const TStatClass TstRepCount2N2Class = RepeatsStatClass("TstRepCount2N2", "PRC-2",
    KELMA_MSG("Количество совпадений \"значений - 2\""), &MakeStat<TstRepCount2N2>);
