#pragma once

#include "engine/KelmaFilters.h"

// Statistics of the drawn digits one by one: the digits themselves, their parity, their half
// of the range and whether they are prime (as a count and as a per-position pattern), and
// the digit at a given position.

// Digit classes shared with other families. A value outside 0..9 (a damaged archive) is
// classified by the same rule, never used as an index.
bool IsEvenDigit(int d);    // 0, 2, 4, 6, 8
bool IsSmallDigit(int d);   // the first half of the range: 0..4
// 1 and the primes: 1 counts as prime here, 0 and the composites do not.
bool IsPrimeDigit(int d);

extern const TStatClass TstValuesClass;
extern const TStatClass TstDigitsClass;
extern const TStatClass TstEvenCountClass;
extern const TStatClass TstEvenValuesClass;
extern const TStatClass TstSmallCountClass;
extern const TStatClass TstSmallValuesClass;
extern const TStatClass TstPrimeCountClass;
extern const TStatClass TstPrimeValuesClass;
extern const TStatClass TstPosValClass;
extern const TStatClass TstPosExtClass;

// The drawn digits: two values per draw. Also the statistic of the card, layout and weekday
// filters, which create it directly.
class TstValues : public TCombKeysStat<TCustomValuesStat, TKeyMatch::Word1> {
public:
    TstValues(const TStatList& list, int param);
    void InitValues(int last, TStatDrawArray& table) override;

protected:
    void KeysOf(TCombWord comb, TStatKeys& keys) const override;
};

// The characters of each digit's text, read back one by one (for this game the digits).
class TstDigits : public TCombKeysStat<TCustomNumbersStat, TKeyMatch::Word1> {
public:
    TstDigits(const TStatList& list, int param);

protected:
    void KeysOf(TCombWord comb, TStatKeys& keys) const override;
};

// Number of digits with a property, shown as "with:without".
class TDigitCountStat : public TCombNumberStat<TCustomRatioStat> {
public:
    using TDigitPredicate = bool (*)(int d);

    void InitValues(int last, TStatDrawArray& table) override;
    int NumberOf(TCombWord comb) const override;

protected:
    TDigitCountStat(const TStatClass& cls, const TStatList& list, int param,
                    TDigitPredicate predicate);

private:
    TDigitPredicate FPredicate;
};

class TstEvenCount : public TDigitCountStat {
public:
    TstEvenCount(const TStatList& list, int param);
};

class TstSmallCount : public TDigitCountStat {
public:
    TstSmallCount(const TStatList& list, int param);
};

class TstPrimeCount : public TDigitCountStat {
public:
    TstPrimeCount(const TStatList& list, int param);
};

// Per-position pattern of a property: position 1 is the high bit of the mask.
class TDigitMaskStat : public TCombKeysStat<TCustomMaskStat, TKeyMatch::Dword1> {
public:
    using TDigitPredicate = bool (*)(int d);

    QString ZeroLetter() const override;
    QString OneLetter() const override;

    std::uint32_t MaskOf(TCombWord comb) const;

protected:
    TDigitMaskStat(const TStatClass& cls, const TStatList& list, int param,
                   TDigitPredicate bitSet, TResString zeroLetter, TResString oneLetter);
    void KeysOf(TCombWord comb, TStatKeys& keys) const override;

private:
    TDigitPredicate FBitSet;
    TResString FZeroLetter;
    TResString FOneLetter;
};

// Bit set for an odd digit: "Ч" even, "н" odd.
class TstEvenValues : public TDigitMaskStat {
public:
    TstEvenValues(const TStatList& list, int param);
};

// Bit set for a digit above 4: "1" small, "2" large. Its table lists only the masks that
// occurred: nothing is pre-filled.
class TstSmallValues : public TDigitMaskStat {
public:
    TstSmallValues(const TStatList& list, int param);
    void InitValues(int last, TStatDrawArray& table) override;
};

// Bit set for a prime digit: "С" composite, "П" prime.
class TstPrimeValues : public TDigitMaskStat {
public:
    TstPrimeValues(const TStatList& list, int param);
};

// The digit at position Param (1 or 2). A position outside the draw has no value.
class TstPosVal : public TCombKeysStat<TCustomGraphStat, TKeyMatch::Word1> {
public:
    TstPosVal(const TStatList& list, int param);
    QString ValueText(const TStatValueRec& value) const override;   // NumToStr
    void InitValues(int last, TStatDrawArray& table) override;
    int ValueOf(TCombWord comb, int index, int last, bool sorted) override;

protected:
    void KeysOf(TCombWord comb, TStatKeys& keys) const override;

private:
    bool HasPosition() const;
    int DigitAt(TCombWord comb) const;
};

// The extra number of a draw. Draws of this game carry none, so the class has no parameter
// in range, never gets a method, counts nothing and never passes a combination.
class TstPosExt : public TCustomGraphStat {
public:
    TstPosExt(const TStatList& list, int param);
    QString ValueText(const TStatValueRec& value) const override;   // ExtToStr
    bool Test(TCombWord comb, const TStatDrawArray& selected, int last, bool sorted,
              bool exclude) override;
    int ValueOf(TCombWord comb, int index, int last, bool sorted) override;
};
