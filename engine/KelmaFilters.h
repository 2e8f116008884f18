#pragma once

#include "engine/KelmaMsg.h"
#include "engine/KelmaUtils.h"

#include <QString>

#include <cstdint>
#include <memory>
#include <vector>

class TCustomStat;
class TStatList;

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

// ---------------------------------------------------------------------------------------
// Run state that the statistics-table pass hands to every AddDraw of the pass: one entry
// per value that a series class scans, indexed by the value. The caller passes it empty
// (or zeroed) before the first draw; a class grows it to the size it needs.

struct TSerialRun {
    std::int32_t RunLength = 0;
    std::int32_t DrawNo = 0;
    std::int32_t Age = 0;
};
using TStatScratch = std::vector<TSerialRun>;

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
    virtual void LoadDraws(int index, int index2, bool sorted);
    // Work value zeroed with hit count 1; concrete classes set the key(s) and merge
    // without gap tracking.
    virtual void AddCombination(TCombWord comb, TStatDrawArray& table);
    // Loads the draws and prepares the work value (draw number, age, hit count 1);
    // concrete classes call it first, then set the key(s) and merge with gap tracking.
    // Returns the age: last - index + 1.
    virtual int AddDraw(int index, int last, bool sorted, TStatDrawArray& table,
                        TStatScratch& scratch, TLastValueArray& lastValues);
    // Number of the first draw from `start` on (oldest to newest) whose one-draw table holds
    // the value's key; -1 when none.
    virtual int FindDraw(const TStatValueRec& value, int start, int last, bool sorted);
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

protected:
    // A copy of draw `index` (digits ascending when sorted), or a zeroed record when the
    // index lies outside the archive (index -1 gives the empty draw).
    TDrawRec LoadDrawRec(int index, bool sorted) const;
    int LastDrawIndex() const;   // -1 for a missing or empty archive
    const TDrawsArray* Draws() const { return FDraws; }

    const TStatClass* FClass;
    int FParam;
    const TDrawsArray* FDraws;   // the engine's archive, never a copy
    TDrawRec FDraw;              // the draw being added
    TDrawRec FDraw2;             // the reference draw (D classes)
    TStatValueRec FValue;        // the work value merged into the caller's table
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
