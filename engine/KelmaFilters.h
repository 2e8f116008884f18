#pragma once

#include "engine/KelmaMsg.h"
#include "engine/KelmaUtils.h"

#include <QString>

#include <array>
#include <bit>
#include <cstdint>
#include <memory>
#include <span>
#include <vector>

class TCustomStat;
class TStatList;

// ---------------------------------------------------------------------------------------
// Run state that the statistics-table pass hands to every AddDraw of the pass: one entry
// per value that a series class scans, indexed by the value. The caller passes it empty
// (or zeroed) before the first draw; a class grows it to the size it needs.

struct TSerialRun {
    std::int32_t RunLength = 0;
    std::int32_t DrawNo = 0;
    std::int32_t Age = 0;
    bool operator==(const TSerialRun&) const = default;
};
using TStatScratch = std::vector<TSerialRun>;

// ---------------------------------------------------------------------------------------
// Class-level description of a statistic class. Every class has one constant descriptor,
// defined beside the class in its family's unit; the registry lists them in a fixed order.

// Flag bits of a class.
inline constexpr std::uint8_t sfShowS = 0x01;      // letter S in captions
inline constexpr std::uint8_t sfPlainValue = 0x02; // N: values go into the prefetch files
inline constexpr std::uint8_t sfTwoDraws = 0x04;   // D: needs the reference draw
inline constexpr std::uint8_t sfShowP = 0x08;      // letter P in captions
inline constexpr std::uint8_t sfGraph = 0x10;      // G: added for graph classes

using TStatFactory = std::unique_ptr<TCustomStat> (*)(const TStatList& list, int param);
// Parameter range of a parametric class; it may depend on the engine configuration.
// hi < lo means no method at all.
using TParamRangeFn = void (*)(const TStatList& list, int& lo, int& hi);
// Parameter range of the classes that take a position of the draw: 1 .. DrawDigits.
void PositionParamRange(const TStatList& list, int& lo, int& hi);

struct TStatClass {
    const char* ClassName;          // "TstValues"
    const char* CodeFormat;         // "NUMS", "SUM%d": formatted with the parameter
    TResString CaptionFormat;       // caption template, formatted with the parameter
    const char* HelpName;           // help topic name; nullptr: the code format
    int Group;                      // 0..12
    std::uint8_t Flags;             // sf* bits, without sfGraph
    bool Available;                 // offered for this game
    bool IsGraph;                   // derives from TCustomGraphStat
    bool HasNumericValue;           // a value can be typed as one integer
    TParamRangeFn ParamRange;       // nullptr: not parametric (one method, parameter 0)
    TStatFactory Factory;           // nullptr only for classes that are not offered
    // Builds the caption when it needs more than the parameter (the sum ranges show their
    // share of the draws); nullptr: CaptionFormat formatted with the parameter.
    QString (*CaptionFn)(int param) = nullptr;
};

QString StatClassCode(const TStatClass& cls, int param);
QString StatClassCaption(const TStatClass& cls, int param);
QString StatClassName(const TStatClass& cls);
std::uint8_t StatClassEffectiveFlags(const TStatClass& cls);
bool StatClassIsPlainValue(const TStatClass& cls);
bool StatClassIsParametric(const TStatClass& cls);
// "ms-its:<help file>::/Filters_1049_<name>.htm", or empty while no help file exists.
QString StatClassHelpUrl(const TStatClass& cls, int param);

// Builds a factory for a concrete class whose constructor takes (list, param).
template <class T>
std::unique_ptr<TCustomStat> MakeStat(const TStatList& list, int param)
{
    return std::make_unique<T>(list, param);
}

// A concrete class of a table-driven family: the family's base bound to the class's
// descriptor and to the arguments that set the class apart from its siblings.
template <class Base, const TStatClass& Cls, auto... Args>
class TBoundStat final : public Base {
public:
    TBoundStat(const TStatList& list, int param) : Base(Cls, list, param, Args...) {}

    // The class is final, so AddDraw below is bound without a virtual call.
    void AddDraws(int first, int last, bool sorted, TStatDrawArray& table, TStatScratch& scratch,
                  TLastValueArray& lastValues) override
    {
        for (int i = first; i <= last; ++i)
            this->AddDraw(i, last, sorted, table, scratch, lastValues);
    }
};

// ---------------------------------------------------------------------------------------
// Keys of a value. A key part holds the low bits of what is put into it, as the stored key
// layout always has.

using TStatKeys = std::vector<TStatKey>;

// The key whose words 1..4 are the 16-bit quarters of `bits`, word 1 the lowest. Made from
// one 64-bit value, the key is stored in one piece; stored word by word and then read whole,
// as the merges of the statistics-table pass read it, it would stall every merge.
inline TStatKey KeyFromBits(std::uint64_t bits)
{
    if constexpr (std::endian::native == std::endian::little)
        return TStatKey{std::bit_cast<std::array<std::uint16_t, 4>>(bits)};
    return TStatKey{{static_cast<std::uint16_t>(bits), static_cast<std::uint16_t>(bits >> 16),
                     static_cast<std::uint16_t>(bits >> 32), static_cast<std::uint16_t>(bits >> 48)}};
}

// Key word 1 (and word 2); the other words 0.
inline TStatKey WordKey(int w1, int w2 = 0)
{
    return KeyFromBits(std::uint64_t{static_cast<std::uint16_t>(w1)}
                       | std::uint64_t{static_cast<std::uint16_t>(w2)} << 16);
}

// Key byte 1 only (the low byte of word 1).
inline TStatKey ByteKey(int b1)
{
    return KeyFromBits(static_cast<std::uint8_t>(b1));
}

// The first 32-bit key word only (words 1 and 2).
inline TStatKey DwordKey(std::uint32_t d1)
{
    return KeyFromBits(d1);
}

// Texts of values that several families share: "3:7", the pair of key words 1 and 2 as
// drawn values; "<text> x <count>", a value with the count in key word 2.
QString PairValueText(const TStatValueRec& value);
QString CountedValueText(const QString& valueText, const TStatValueRec& value);

// Where the keys that AddDraw merges for a draw come from, which tells a caller how the
// draws after a pass can be searched for many values at once (see TCustomStat::Recurrence).
enum class TRecurrence : std::uint8_t {
    // From that draw, the draws before it and the reference draw alone: a search step merges
    // exactly the keys the pass merged for the same draw.
    PerDraw,
    // Also from the run table carried from draw to draw, which a search starts afresh.
    RunState,
    // From the last-value list carried through the pass; a search starts every step with an
    // empty list and so never finds a value.
    Never,
};

// How a filter looks for a value among the selected rows: by key word 1, key byte 1 or the
// first 32-bit key word alone, or by the whole key.
enum class TKeyMatch : std::uint8_t { Word1, Byte1, Dword1, Whole };

// ---------------------------------------------------------------------------------------
// A statistic method, made for one pass over the archive (a statistics table, a table of
// combinations, a filter test or a graph) and freed by the caller.
//
// Calling order:
//   statistics table: InitValues(last, table); AddDraw(i, last, ...) for each draw of the
//                     range, oldest first; then the caller sorts and texts the table;
//   combination table: AddCombination(comb, table) for each combination;
//   filter: LoadDraws(-1, last, sorted) once, then Test(comb, ...) per combination;
//   graph: DrawValue(i, last, sorted) per draw (graph classes only).
class TCustomStat {
public:
    TCustomStat(const TStatClass& cls, const TStatList& list, int param);
    virtual ~TCustomStat() = default;
    TCustomStat(const TCustomStat&) = delete;
    TCustomStat& operator=(const TCustomStat&) = delete;

    const TStatClass& Class() const { return *FClass; }
    int Param() const { return FParam; }
    QString InstanceCaption() const;

    virtual QString ValueText(const TStatValueRec& value) const = 0;
    // Integer of the text; 0 when it is not one.
    virtual int ParseValue(const QString& text) const;
    // ParseValue when the class has numeric values, else 0.
    int ValueFromText(const QString& text) const;

    // Clears the work value; concrete classes then merge every possible value with hit
    // count 0, so that values never drawn still appear.
    virtual void InitValues(int last, TStatDrawArray& table);
    // Current draw := draw `index`; for classes with the D flag the reference draw := `index2`.
    virtual void LoadDraws(int index, int index2, bool sorted)
    {
        FDraw = LoadDrawRec(index, sorted);
        if (FClass->Flags & sfTwoDraws)
            FDraw2 = LoadDrawRec(index2, sorted);
    }
    // Work value zeroed with hit count 1; concrete classes set the key(s) and merge
    // without gap tracking.
    virtual void AddCombination(TCombWord comb, TStatDrawArray& table);
    // Loads the draws and prepares the work value (draw number, age, hit count 1);
    // concrete classes call it first, then set the key(s) and merge with gap tracking.
    // Returns the age: last - index + 1.
    virtual int AddDraw(int index, int last, bool sorted, TStatDrawArray& /*table*/,
                        TStatScratch& /*scratch*/, TLastValueArray& /*lastValues*/)
    {
        // Runs for every draw of every pass: kept in the header so that each class's own
        // AddDraw, which calls it first, has it compiled in.
        LoadDraws(index, last, sorted);
        FValue = TStatValueRec{};
        FValue.DrawNo = FDraw.Number;
        FValue.PrevDrawNo = FDraw.Number;
        const int age = last - index + 1;
        FValue.Age = static_cast<std::uint32_t>(age);
        FValue.Hits = 1;
        return age;
    }
    // The statistics-table pass over the draws first..last: AddDraw(i, last, ...) for each
    // i, oldest first. Classes whose AddDraw is final run the loop without a virtual call
    // per draw.
    virtual void AddDraws(int first, int last, bool sorted, TStatDrawArray& table,
                          TStatScratch& scratch, TLastValueArray& lastValues)
    {
        for (int i = first; i <= last; ++i)
            AddDraw(i, last, sorted, table, scratch, lastValues);
    }
    // Number of the first draw from `start` on (oldest to newest) whose one-draw table holds
    // the value's key; -1 when none.
    virtual int FindDraw(const TStatValueRec& value, int start, int last, bool sorted);
    // Where the keys of a draw come from; classes that carry state from draw to draw say so.
    virtual TRecurrence Recurrence() const { return TRecurrence::PerDraw; }
    // True when the combination has one of the selected values.
    virtual bool Test(TCombWord comb, const TStatDrawArray& selected, int last, bool sorted,
                      bool exclude) = 0;

    // Membership tests over a table of values; false for an empty table. Indexes are
    // 1-based as the family code states them; an index out of range gives false.
    static bool HasKey(const TStatDrawArray& table, std::uint16_t w1, std::uint16_t w2,
                       std::uint16_t w3, std::uint16_t w4);
    static bool HasKeyPair(const TStatDrawArray& table, std::uint32_t a, std::uint32_t b);
    static bool HasKeyByte(const TStatDrawArray& table, int k, std::uint8_t v);
    static bool HasKeyWord(const TStatDrawArray& table, int k, std::uint16_t v);
    static bool HasKeyDword(const TStatDrawArray& table, int k, std::uint32_t v);
    // True when one of the keys is in the table, each compared as `match` says.
    static bool HasAnyKey(const TStatDrawArray& table, std::span<const TStatKey> keys, TKeyMatch match);

protected:
    // A copy of draw `index` (digits ascending when sorted), or a zeroed record when the
    // index lies outside the archive (index -1 gives the empty draw).
    TDrawRec LoadDrawRec(int index, bool sorted) const
    {
        // The bound is checked in bytes: the number of 20-byte records would cost a division
        // on every load.
        if (!FDraws || index < 0
            || static_cast<std::size_t>(index) * sizeof(TDrawRec)
                   >= static_cast<std::size_t>(reinterpret_cast<const char*>(std::to_address(FDraws->end()))
                                               - reinterpret_cast<const char*>(FDraws->data())))
            return TDrawRec{};
        TDrawRec draw = (*FDraws)[static_cast<std::size_t>(index)];
        if (sorted)
            SortDrawDigits(draw);
        return draw;
    }
    int LastDrawIndex() const   // -1 for a missing or empty archive
    {
        return FDraws ? static_cast<int>(FDraws->size()) - 1 : -1;
    }
    // Index of the draw n before `index`; -1 (the empty draw) for any index before the
    // archive, so that nothing can overflow.
    static int IndexBefore(int index, int n) { return index >= n ? index - n : -1; }
    // Index of the draw n back from a draw following `last`: last - n + 1; -1 (the empty
    // draw) when that lies outside the int range.
    static int IndexBeforeNext(int last, int n);
    const TDrawsArray* Draws() const { return FDraws; }

    // Merges the work value under one key, or under each of several in turn (a key listed
    // twice counts twice: the second merge, from the same draw, records a gap of 0).
    void MergeKey(const TStatKey& key, TStatDrawArray& table, bool trackGaps)
    {
        FValue.Key = key;
        MergeValue(table, trackGaps);
    }
    // Merges the work value as it stands (MergeStatValue).
    void MergeValue(TStatDrawArray& table, bool trackGaps) { FIndex.Merge(table, FValue, trackGaps); }
    void MergeKeys(std::span<const TStatKey> keys, TStatDrawArray& table, bool trackGaps)
    {
        for (const TStatKey& key : keys)
            MergeKey(key, table, trackGaps);
    }
    // Rows listed in advance with hit count 0: the values lo..hi in key word 1.
    void PrefillWords(int lo, int hi, TStatDrawArray& table);

    const TStatClass* FClass;
    int FParam;
    const TDrawsArray* FDraws;   // the engine's archive, never a copy
    TDrawRec FDraw;              // the draw being added
    TDrawRec FDraw2;             // the reference draw (D classes)
    TStatValueRec FValue;        // the work value merged into the caller's table

private:
    TStatValueIndex FIndex;      // finds the elements of the table merged into
};

// ---------------------------------------------------------------------------------------
// Abstract bases that give the common value texts.

// Graph classes: each draw or combination has one integer value.
class TCustomGraphStat : public TCustomStat {
public:
    using TCustomStat::TCustomStat;
    QString ValueText(const TStatValueRec& value) const override;   // SumToStr(word 1)
    // The value of a combination (a graph point).
    virtual int ValueOf(TCombWord comb, int index, int last, bool sorted) = 0;
    // Draw `index` (digits sorted when asked) as a combination, through ValueOf.
    int DrawValue(int index, int last, bool sorted);
};

class TCustomValuesStat : public TCustomStat {
public:
    using TCustomStat::TCustomStat;
    QString ValueText(const TStatValueRec& value) const override;   // NumToStr(word 1)
};

class TCustomNumbersStat : public TCustomStat {
public:
    using TCustomStat::TCustomStat;
    QString ValueText(const TStatValueRec& value) const override;   // SumToStr(word 1)
};

// Count w of positions with a property, shown as "w:(2-w)".
class TCustomRatioStat : public TCustomGraphStat {
public:
    using TCustomGraphStat::TCustomGraphStat;
    QString ValueText(const TStatValueRec& value) const override;
    int ParseValue(const QString& text) const override;   // the number before ':'
};

// Per-position pattern of a property: bit 1 of the mask is position 1, bit 0 position 2.
class TCustomMaskStat : public TCustomStat {
public:
    using TCustomStat::TCustomStat;
    virtual QString ZeroLetter() const = 0;   // letter of a position without the property
    virtual QString OneLetter() const = 0;    // letter of a position with it
    QString ValueText(const TStatValueRec& value) const override;   // "Чн (001)"
    int ParseValue(const QString& text) const override;
    // Merges the masks 0..3 with hit count 0.
    void InitValues(int last, TStatDrawArray& table) override;
};

// ---------------------------------------------------------------------------------------
// Statistics whose values depend on one combination alone (a draw counts as the combination
// of its digits). The combination table merges the values of each combination, the
// statistics table those of each draw with gap tracking, and a filter keeps a combination
// when one of its values is selected. A concrete class only lists the keys (or gives the
// one number).

// Whether a combination table gets rows. The pair statistics leave it empty: their rows
// only come from draws.
enum class TCombRows : std::uint8_t { Merged, None };

template <class Base, TKeyMatch Match, TCombRows Rows = TCombRows::Merged>
class TCombKeysStat : public Base {
public:
    using Base::Base;

    void AddCombination(TCombWord comb, TStatDrawArray& table) override
    {
        Base::AddCombination(comb, table);
        if constexpr (Rows == TCombRows::Merged)
            this->MergeKeys(KeysOfComb(comb), table, false);
    }

    int AddDraw(int index, int last, bool sorted, TStatDrawArray& table, TStatScratch& scratch,
                TLastValueArray& lastValues) override final
    {
        const int age = Base::AddDraw(index, last, sorted, table, scratch, lastValues);
        this->MergeKeys(KeysOfComb(DrawToComb(this->FDraw)), table, true);
        return age;
    }

    // AddDraw for each draw. While the pass runs, nothing but its own merges changes the
    // table, and they only append: the element a key was merged into stays the first with
    // that key and keeps its place, so the place is remembered per key of a combination and
    // later draws of that combination merge there directly.
    void AddDraws(int first, int last, bool sorted, TStatDrawArray& table, TStatScratch& scratch,
                  TLastValueArray& lastValues) override
    {
        std::vector<std::int32_t> places;   // for each entry of FCachedKeys; -1 not known yet
        for (int i = first; i <= last; ++i) {
            Base::AddDraw(i, last, sorted, table, scratch, lastValues);
            const TCombWord comb = DrawToComb(this->FDraw);
            const std::span<const TStatKey> keys = KeysOfComb(comb);
            const std::size_t slot = CacheSlot(comb);
            if (slot >= CombinationsTotal) {
                this->MergeKeys(keys, table, true);
                continue;
            }
            if (places.size() < FCachedKeys.size())
                places.resize(FCachedKeys.size(), -1);
            std::int32_t* place = places.data() + FCachedBegin[slot];
            for (std::size_t k = 0; k < keys.size(); ++k) {
                this->FValue.Key = keys[k];
                if (place[k] >= 0) {
                    MergeIntoStatValue(table[static_cast<std::size_t>(place[k])], this->FValue, true);
                } else {
                    this->MergeValue(table, true);
                    place[k] = static_cast<std::int32_t>(FindStatKey(table, keys[k].Packed()) - table.data());
                }
            }
        }
    }

    bool Test(TCombWord comb, const TStatDrawArray& selected, int /*last*/, bool /*sorted*/,
              bool /*exclude*/) override
    {
        return TCustomStat::HasAnyKey(selected, KeysOfComb(comb), Match);
    }

protected:
    // Appends the keys of the combination's values, in the order they are merged.
    virtual void KeysOf(TCombWord comb, TStatKeys& keys) const = 0;

private:
    // The combination's place among the 100 of digits 0..9; CombinationsTotal for others.
    static std::size_t CacheSlot(TCombWord comb)
    {
        const unsigned d1 = CombDigit1(comb);
        const unsigned d2 = CombDigit2(comb);
        return d1 > DigitMax || d2 > DigitMax ? CombinationsTotal : d1 * DigitValues + d2;
    }

    // The keys depend on the combination and the object's settings alone, so those of the
    // 100 combinations of digits 0..9 are worked out once per object, when first asked for.
    std::span<const TStatKey> KeysOfComb(TCombWord comb)
    {
        const std::size_t slot = CacheSlot(comb);
        if (slot >= CombinationsTotal) {
            FKeys.clear();
            KeysOf(comb, FKeys);
            return FKeys;
        }
        if (FCachedCount[slot] < 0) {
            const std::size_t begin = FCachedKeys.size();
            KeysOf(comb, FCachedKeys);
            FCachedBegin[slot] = static_cast<std::uint32_t>(begin);
            FCachedCount[slot] = static_cast<std::int32_t>(FCachedKeys.size() - begin);
        }
        return {FCachedKeys.data() + FCachedBegin[slot], static_cast<std::size_t>(FCachedCount[slot])};
    }

    TStatKeys FKeys;         // keys of a combination outside the cache
    TStatKeys FCachedKeys;   // keys of the combinations asked for so far, one run each
    std::array<std::uint32_t, CombinationsTotal> FCachedBegin{};
    std::array<std::int32_t, CombinationsTotal> FCachedCount = [] {
        std::array<std::int32_t, CombinationsTotal> counts;
        counts.fill(-1);   // not worked out yet
        return counts;
    }();
};

// A graph statistic with one integer per combination: the value in key word 1 (a filter
// compares word 1 alone) and the graph point. With its one key it merges and tests the key
// directly: the statistics-table pass runs this for every draw.
template <class Base>
class TCombNumberStat : public Base {
public:
    using Base::Base;

    virtual int NumberOf(TCombWord comb) const = 0;

    void AddCombination(TCombWord comb, TStatDrawArray& table) override
    {
        Base::AddCombination(comb, table);
        this->MergeKey(WordKey(CachedNumber(comb)), table, false);
    }

    int AddDraw(int index, int last, bool sorted, TStatDrawArray& table, TStatScratch& scratch,
                TLastValueArray& lastValues) override final
    {
        const int age = Base::AddDraw(index, last, sorted, table, scratch, lastValues);
        this->MergeKey(WordKey(CachedNumber(DrawToComb(this->FDraw))), table, true);
        return age;
    }

    // AddDraw for each draw, merging a combination's value directly into the element it was
    // merged into before (see TCombKeysStat::AddDraws).
    void AddDraws(int first, int last, bool sorted, TStatDrawArray& table, TStatScratch& scratch,
                  TLastValueArray& lastValues) override
    {
        std::array<std::int32_t, CombinationsTotal> places;
        places.fill(-1);
        for (int i = first; i <= last; ++i) {
            Base::AddDraw(i, last, sorted, table, scratch, lastValues);
            const TCombWord comb = DrawToComb(this->FDraw);
            this->FValue.Key = WordKey(CachedNumber(comb));
            const unsigned d1 = CombDigit1(comb);
            const unsigned d2 = CombDigit2(comb);
            if (d1 > DigitMax || d2 > DigitMax) {
                this->MergeValue(table, true);
                continue;
            }
            std::int32_t& place = places[d1 * DigitValues + d2];
            if (place >= 0) {
                MergeIntoStatValue(table[static_cast<std::size_t>(place)], this->FValue, true);
            } else {
                this->MergeValue(table, true);
                place = static_cast<std::int32_t>(FindStatKey(table, this->FValue.Key.Packed()) - table.data());
            }
        }
    }

    bool Test(TCombWord comb, const TStatDrawArray& selected, int /*last*/, bool /*sorted*/,
              bool /*exclude*/) override
    {
        return TCustomStat::HasKeyWord(selected, 1, static_cast<std::uint16_t>(CachedNumber(comb)));
    }

    int ValueOf(TCombWord comb, int /*index*/, int /*last*/, bool /*sorted*/) override
    {
        return CachedNumber(comb);
    }

private:
    // NumberOf depends on the combination and the object's settings alone: worked out once
    // per combination of digits 0..9.
    int CachedNumber(TCombWord comb)
    {
        const unsigned d1 = CombDigit1(comb);
        const unsigned d2 = CombDigit2(comb);
        if (d1 > DigitMax || d2 > DigitMax)
            return NumberOf(comb);
        const std::size_t slot = d1 * DigitValues + d2;
        if (!FKnown[slot]) {
            FNumbers[slot] = NumberOf(comb);
            FKnown[slot] = true;
        }
        return FNumbers[slot];
    }

    std::array<int, CombinationsTotal> FNumbers{};
    std::array<bool, CombinationsTotal> FKnown{};
};
