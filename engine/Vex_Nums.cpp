#include "engine/Vex_Nums.h"

#include "engine/KelmaStatList.h"

namespace {

// This game has no extra number: an empty range, so no method is ever made.
void NoExtraRange(const TStatList& /*list*/, int& lo, int& hi)
{
    lo = 1;
    hi = 0;
}

}  // namespace

// ---------------------------------------------------------------------------------------
// Digit classes.

bool IsEvenDigit(int d)
{
    return d % 2 == 0;
}

bool IsSmallDigit(int d)
{
    return d < 5;
}

bool IsPrimeDigit(int d)
{
    if (d == 1)
        return true;
    if (d < 2)
        return false;
    for (int k = 2; k * k <= d; ++k)
        if (d % k == 0)
            return false;
    return true;
}

namespace {

bool IsOddDigit(int d)
{
    return !IsEvenDigit(d);
}

bool IsLargeDigit(int d)
{
    return !IsSmallDigit(d);
}

}  // namespace

// ---------------------------------------------------------------------------------------
// Descriptors.

const TStatClass TstValuesClass{.ClassName = "TstValues", .CodeFormat = "NUMS",
    .CaptionFormat = KELMA_MSG("Числа тиража"), .HelpName = nullptr, .Group = 0,
    .Flags = sfPlainValue, .Available = true, .IsGraph = false, .HasNumericValue = true,
    .ParamRange = nullptr, .Factory = &MakeStat<TstValues>};

const TStatClass TstDigitsClass{.ClassName = "TstDigits", .CodeFormat = "DIGS",
    .CaptionFormat = KELMA_MSG("Цифры тиража"), .HelpName = nullptr, .Group = 0,
    .Flags = sfPlainValue, .Available = true, .IsGraph = false, .HasNumericValue = true,
    .ParamRange = nullptr, .Factory = &MakeStat<TstDigits>};

const TStatClass TstEvenCountClass{.ClassName = "TstEvenCount", .CodeFormat = "EVEN",
    .CaptionFormat = KELMA_MSG("Количество четных чисел в тираже (Ч:Н)"), .HelpName = nullptr,
    .Group = 0, .Flags = sfPlainValue, .Available = true, .IsGraph = true,
    .HasNumericValue = true, .ParamRange = nullptr, .Factory = &MakeStat<TstEvenCount>};

const TStatClass TstEvenValuesClass{.ClassName = "TstEvenValues", .CodeFormat = "EVNV",
    .CaptionFormat = KELMA_MSG("Четные и нечетные числа в тираже (Чн..нЧ)"), .HelpName = nullptr,
    .Group = 0, .Flags = sfShowS | sfPlainValue, .Available = true, .IsGraph = false,
    .HasNumericValue = true, .ParamRange = nullptr, .Factory = &MakeStat<TstEvenValues>};

const TStatClass TstSmallCountClass{.ClassName = "TstSmallCount", .CodeFormat = "SMAL",
    .CaptionFormat = KELMA_MSG("Количество чисел из первой половины диапазона (1П:2П)"),
    .HelpName = nullptr, .Group = 0, .Flags = sfPlainValue, .Available = true, .IsGraph = true,
    .HasNumericValue = true, .ParamRange = nullptr, .Factory = &MakeStat<TstSmallCount>};

const TStatClass TstSmallValuesClass{.ClassName = "TstSmallValues", .CodeFormat = "SMLV",
    .CaptionFormat = KELMA_MSG("Числа из первой половины диапазона (12..12)"),
    .HelpName = nullptr, .Group = 0, .Flags = sfShowS | sfPlainValue, .Available = true,
    .IsGraph = false, .HasNumericValue = true, .ParamRange = nullptr,
    .Factory = &MakeStat<TstSmallValues>};

const TStatClass TstPrimeCountClass{.ClassName = "TstPrimeCount", .CodeFormat = "PRIM",
    .CaptionFormat = KELMA_MSG("Количество простых чисел (П:С)"), .HelpName = nullptr,
    .Group = 0, .Flags = sfPlainValue, .Available = true, .IsGraph = true,
    .HasNumericValue = true, .ParamRange = nullptr, .Factory = &MakeStat<TstPrimeCount>};

const TStatClass TstPrimeValuesClass{.ClassName = "TstPrimeValues", .CodeFormat = "PRMV",
    .CaptionFormat = KELMA_MSG("Простые и составные числа (ПС..СП)"), .HelpName = nullptr,
    .Group = 0, .Flags = sfShowS | sfPlainValue, .Available = true, .IsGraph = false,
    .HasNumericValue = true, .ParamRange = nullptr, .Factory = &MakeStat<TstPrimeValues>};

const TStatClass TstPosValClass{.ClassName = "TstPosVal", .CodeFormat = "POS%d",
    .CaptionFormat = KELMA_MSG("Число в %0:d позиции тиража"), .HelpName = "POSx", .Group = 0,
    .Flags = sfShowS | sfPlainValue, .Available = true, .IsGraph = true,
    .HasNumericValue = true, .ParamRange = &PositionParamRange, .Factory = &MakeStat<TstPosVal>};

const TStatClass TstPosExtClass{.ClassName = "TstPosExt", .CodeFormat = "POE%d",
    .CaptionFormat = KELMA_MSG("Extra (Bonus, Star...) - число (!без фильтра!)"),
    .HelpName = "POSx", .Group = 0, .Flags = 0, .Available = true, .IsGraph = true,
    .HasNumericValue = true, .ParamRange = &NoExtraRange, .Factory = &MakeStat<TstPosExt>};

// ---------------------------------------------------------------------------------------
// TstValues

TstValues::TstValues(const TStatList& list, int param)
    : TCombKeysStat(TstValuesClass, list, param)
{
}

void TstValues::InitValues(int last, TStatDrawArray& table)
{
    TCombKeysStat::InitValues(last, table);
    PrefillWords(DigitMin, DigitMax, table);
}

// One key per digit: a draw with two equal digits counts twice.
void TstValues::KeysOf(TCombWord comb, TStatKeys& keys) const
{
    for (int d : CombDigits(comb))
        keys.push_back(WordKey(d));
}

// ---------------------------------------------------------------------------------------
// TstDigits

TstDigits::TstDigits(const TStatList& list, int param)
    : TCombKeysStat(TstDigitsClass, list, param)
{
}

// The values of the characters of each digit's text, one per character.
void TstDigits::KeysOf(TCombWord comb, TStatKeys& keys) const
{
    for (int d : CombDigits(comb))
        for (const QChar ch : NumToStr(d))
            keys.push_back(WordKey(StrToDigit(QString(ch))));
}

// ---------------------------------------------------------------------------------------
// Counts of digits with a property.

TDigitCountStat::TDigitCountStat(const TStatClass& cls, const TStatList& list, int param,
                                 TDigitPredicate predicate)
    : TCombNumberStat(cls, list, param), FPredicate(predicate)
{
}

int TDigitCountStat::NumberOf(TCombWord comb) const
{
    int count = 0;
    for (int d : CombDigits(comb))
        if (FPredicate(d))
            ++count;
    return count;
}

// Only the counts 1 and 2 are listed in advance; a draw without the property adds 0 as a
// row of its own.
void TDigitCountStat::InitValues(int last, TStatDrawArray& table)
{
    TCombNumberStat::InitValues(last, table);
    PrefillWords(1, DrawDigits, table);
}

TstEvenCount::TstEvenCount(const TStatList& list, int param)
    : TDigitCountStat(TstEvenCountClass, list, param, &IsEvenDigit)
{
}

TstSmallCount::TstSmallCount(const TStatList& list, int param)
    : TDigitCountStat(TstSmallCountClass, list, param, &IsSmallDigit)
{
}

TstPrimeCount::TstPrimeCount(const TStatList& list, int param)
    : TDigitCountStat(TstPrimeCountClass, list, param, &IsPrimeDigit)
{
}

// ---------------------------------------------------------------------------------------
// Per-position patterns.

TDigitMaskStat::TDigitMaskStat(const TStatClass& cls, const TStatList& list, int param,
                               TDigitPredicate bitSet, TResString zeroLetter,
                               TResString oneLetter)
    : TCombKeysStat(cls, list, param), FBitSet(bitSet), FZeroLetter(zeroLetter),
      FOneLetter(oneLetter)
{
}

QString TDigitMaskStat::ZeroLetter() const
{
    return LoadResString(FZeroLetter);
}

QString TDigitMaskStat::OneLetter() const
{
    return LoadResString(FOneLetter);
}

std::uint32_t TDigitMaskStat::MaskOf(TCombWord comb) const
{
    std::uint32_t mask = 0;
    for (int d : CombDigits(comb))
        mask = mask * 2 + (FBitSet(d) ? 1 : 0);
    return mask;
}

void TDigitMaskStat::KeysOf(TCombWord comb, TStatKeys& keys) const
{
    keys.push_back(DwordKey(MaskOf(comb)));
}

TstEvenValues::TstEvenValues(const TStatList& list, int param)
    : TDigitMaskStat(TstEvenValuesClass, list, param, &IsOddDigit, rsLetterEven,
                     rsLetterOdd)
{
}

TstSmallValues::TstSmallValues(const TStatList& list, int param)
    : TDigitMaskStat(TstSmallValuesClass, list, param, &IsLargeDigit, rsLetterSmall,
                     rsLetterLarge)
{
}

void TstSmallValues::InitValues(int /*last*/, TStatDrawArray& /*table*/)
{
}

TstPrimeValues::TstPrimeValues(const TStatList& list, int param)
    : TDigitMaskStat(TstPrimeValuesClass, list, param, &IsPrimeDigit, rsLetterComposite,
                     rsLetterPrime)
{
}

// ---------------------------------------------------------------------------------------
// TstPosVal

TstPosVal::TstPosVal(const TStatList& list, int param)
    : TCombKeysStat(TstPosValClass, list, param)
{
}

bool TstPosVal::HasPosition() const
{
    return FParam >= 1 && FParam <= DrawDigits;
}

int TstPosVal::DigitAt(TCombWord comb) const
{
    return FParam == 1 ? CombDigit1(comb) : CombDigit2(comb);
}

QString TstPosVal::ValueText(const TStatValueRec& value) const
{
    return NumToStr(value.Key.Words[0]);
}

void TstPosVal::InitValues(int last, TStatDrawArray& table)
{
    TCombKeysStat::InitValues(last, table);
    PrefillWords(DigitMin, DigitMax, table);
}

void TstPosVal::KeysOf(TCombWord comb, TStatKeys& keys) const
{
    if (HasPosition())
        keys.push_back(WordKey(DigitAt(comb)));
}

int TstPosVal::ValueOf(TCombWord comb, int /*index*/, int /*last*/, bool /*sorted*/)
{
    return HasPosition() ? DigitAt(comb) : 0;
}

// ---------------------------------------------------------------------------------------
// TstPosExt

TstPosExt::TstPosExt(const TStatList& list, int param)
    : TCustomGraphStat(TstPosExtClass, list, param)
{
}

QString TstPosExt::ValueText(const TStatValueRec& value) const
{
    return ExtToStr(value.Key.Words[0]);
}

bool TstPosExt::Test(TCombWord /*comb*/, const TStatDrawArray& /*selected*/, int /*last*/,
                     bool /*sorted*/, bool /*exclude*/)
{
    return false;
}

int TstPosExt::ValueOf(TCombWord /*comb*/, int /*index*/, int /*last*/, bool /*sorted*/)
{
    return 0;
}
