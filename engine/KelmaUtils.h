#pragma once

#include "engine/Parsing.h"
#include "engine/PrjConst.h"
#include "platform/Cp1251.h"
#include "platform/Currency.h"
#include "platform/DateTime.h"

#include <QString>
#include <QStringList>

#include <array>
#include <cstdint>
#include <cstring>
#include <span>
#include <vector>

// ---------------------------------------------------------------------------------------
// Draw-date text. The main window installs the game's own draw-key functions here when it
// is created; until then the plain "mm/dd/yyyy" forms below are used.

using TDateToTextHook = QString (*)(TDateTime value);
using TTextToDateHook = TDateTime (*)(const QString& text);

extern TDateToTextHook DateToTextHook;
extern TTextToDateHook TextToDateHook;

// True when every digit's text reads back as an integer; combination texts are then padded.
extern const bool DigitTextsNumeric;
// Full path of the help file; set by the language menu, empty until then.
extern QString HelpFileName;

// Empty unless value > 0; otherwise the installed hook, or FormatDrawDateDefault.
QString FormatDrawDate(TDateTime value);
// Empty unless value > 0; otherwise the date as "mm/dd/yyyy" without the time.
QString FormatDrawDateDefault(TDateTime value);
// Blanks around the text are dropped; empty gives 0; otherwise the hook or the default.
TDateTime ParseDrawDate(const QString& text);
// Reads the text through the pattern "mm/dd/yyyy"; an impossible date raises EConvertError.
TDateTime ParseDrawDateDefault(const QString& text);

// ---------------------------------------------------------------------------------------
// Records.

// One draw. Also the record of the draw archive file, 20 bytes each.
struct TDrawRec {
    std::uint32_t Number = 0;
    std::array<std::uint8_t, 2> Digits{};   // digit 1, digit 2
    TShortString<12> Key;                    // "mm/dd/yyyy M" or "mm/dd/yyyy E"
    std::uint8_t Spare = 0;

    bool operator==(const TDrawRec&) const = default;
};

inline constexpr int DrawRecSize = 20;
static_assert(DrawRecSize == 4 + 2 + TShortString<12>::Size + 1);

// Field by field, little-endian, exactly DrawRecSize bytes. Reading clamps the key's
// length byte to 12; the key bytes after the length are kept as they are; the spare byte
// is written as 0.
void WriteDrawRec(const TDrawRec& rec, std::uint8_t* bytes);
TDrawRec ReadDrawRec(const std::uint8_t* bytes);

using TDrawsArray = std::vector<TDrawRec>;   // oldest draw first

// A combination: digit 1 in the low byte, digit 2 in the high byte.
using TCombWord = std::uint16_t;
using TCombsArray = std::vector<TCombWord>;

constexpr TCombWord MakeComb(std::uint8_t digit1, std::uint8_t digit2)
{
    return static_cast<TCombWord>(digit1 | (digit2 << 8));
}
constexpr std::uint8_t CombDigit1(TCombWord comb) { return static_cast<std::uint8_t>(comb & 0xFF); }
constexpr std::uint8_t CombDigit2(TCombWord comb) { return static_cast<std::uint8_t>(comb >> 8); }
// The digits of a combination in position order.
constexpr std::array<int, DrawDigits> CombDigits(TCombWord comb)
{
    return {CombDigit1(comb), CombDigit2(comb)};
}

// Digits of a stake or of a match: Count digits (2 for a plain combination, up to 4).
// Count comes from files, so every reader clamps it to 0..4 before using it as a length.
struct TDigitsRec {
    std::int32_t Count = 0;
    std::array<std::uint8_t, 4> Digits{};

    int UsedCount() const { return Count < 0 ? 0 : (Count > 4 ? 4 : Count); }
    bool operator==(const TDigitsRec&) const = default;
};

inline constexpr int DigitsRecSize = 8;
void WriteDigitsRec(const TDigitsRec& rec, std::uint8_t* bytes);
TDigitsRec ReadDigitsRec(const std::uint8_t* bytes);

using TByteArray = std::vector<std::uint8_t>;
using TIntArray = std::vector<std::int32_t>;

// The key of a statistic value: four 16-bit words, also addressed as 8 bytes or as two
// 32-bit words in little-endian order (byte 0 is the low byte of word 0; dword 0 holds
// word 0 in its low half and word 1 in its high half). Indexes are 0-based; an index out
// of range reads 0 and writes nothing.
struct TStatKey {
    std::array<std::uint16_t, 4> Words{};

    std::uint8_t Byte(int index) const;
    void SetByte(int index, std::uint8_t value);
    std::uint32_t Dword(int index) const;
    void SetDword(int index, std::uint32_t value);

    // Every table lookup compares keys, so the eight bytes are compared as one word rather
    // than through a library call.
    std::uint64_t Packed() const
    {
        std::uint64_t packed;
        std::memcpy(&packed, Words.data(), sizeof packed);
        return packed;
    }
    bool operator==(const TStatKey& other) const { return Packed() == other.Packed(); }
};

// One value of a statistic table.
struct TStatValueRec {
    std::uint32_t DrawNo = 0;       // newest draw with the value (0 in a combination table)
    std::uint32_t Age = 0;          // 1 = newest draw of the range, 0 = not seen
    std::uint32_t PrevDrawNo = 0;   // draw merged last: the base of the next gap
    std::uint16_t MinGap = 0;       // 0 = none yet
    std::uint16_t MaxGap = 0;
    std::int32_t Hits = 0;
    std::int32_t Expected = 0;      // set by the statistics table only, never by a merge
    TStatKey Key;

    bool operator==(const TStatValueRec&) const = default;
};

using TStatDrawArray = std::vector<TStatValueRec>;

struct TStatSimpleRec {
    std::int32_t Key = 0;
    std::int32_t Count = 0;
    bool operator==(const TStatSimpleRec&) const = default;
};
using TStatSimpleArray = std::vector<TStatSimpleRec>;

// Compact form of a table value, as kept in the prefetch files (12 bytes).
struct TShemaRec {
    TStatKey Key;
    std::int32_t Hits = 0;
    bool operator==(const TShemaRec&) const = default;
};
using TShemaArray = std::vector<TShemaRec>;

inline constexpr int ShemaRecSize = 12;
static_assert(ShemaRecSize == 4 * 2 + 4);
void WriteShemaRec(const TShemaRec& rec, std::uint8_t* bytes);
TShemaRec ReadShemaRec(const std::uint8_t* bytes);

struct TLastValueRec {
    std::uint32_t DrawNo = 0;
    TStatKey Key;
    bool operator==(const TLastValueRec&) const = default;
};
using TLastValueArray = std::vector<TLastValueRec>;

// Money result per draw.
struct TProfitDrawRec {
    std::int32_t DrawNo = 0;
    TCurrency Amount;
    bool operator==(const TProfitDrawRec&) const = default;
};
using TProfitDrawArray = std::vector<TProfitDrawRec>;

// One rating: the stakes that share a comment, held in memory. Its file form is written
// by the ratings store.
inline constexpr int RatingMatchCounters = 3;   // stakes with 0, 1 and 2 matched positions

struct TRatingRec {
    QString Comment;
    std::int32_t Stakes = 0;
    std::int32_t Matched = 0;                                // sum of matched positions
    std::array<std::int32_t, RatingMatchCounters> MatchCounts{};
    TCurrency Balance;
    bool operator==(const TRatingRec&) const = default;
};
using TRatingsArray = std::vector<TRatingRec>;

// Row-weight coefficients of the statistics table.
struct TStatWeights {
    long double Count = 0;
    long double Deviation = 0;
    long double Level = 0;
    bool UsePercents = false;
    bool UseAbsValues = false;
    bool operator==(const TStatWeights&) const = default;
};

struct TProfitRec {
    std::uint8_t Matches = 0;   // matched positions
    TCurrency Amount;
    bool operator==(const TProfitRec&) const = default;
};
using TProfitsArray = std::vector<TProfitRec>;

// Segment number of each digit 0..9, first for position 1, then for position 2.
using TMatrixSegments = std::array<std::array<std::uint8_t, DigitValues>, DrawDigits>;

// The engine configuration; zeroed until the settings file is loaded.
struct TConfigData {
    std::int32_t MatrixCols = 0;
    std::int32_t ChannelSize = 0;
    TCurrency Cost;
    std::int32_t MaxStake = 0;
    TProfitsArray Profits;
    TStatWeights Weights;
    TMatrixSegments MatrixSegments{};
    bool operator==(const TConfigData&) const = default;
};

// Proxy settings of the main window's download client.
struct TProxy {
    std::uint8_t Mode = 0;          // 0 none, 1 public-proxy search, 2 fixed
    QString Server;
    std::int32_t Port = 0;
    QString UserName;
    QString Password;
    bool Loaded = false;            // values are those of the settings file
    QStringList FoundProxies;       // "host:port", first = the one in use
};

// ---------------------------------------------------------------------------------------
// Table operations.

// The first element with the key, or nullptr.
inline TStatValueRec* FindStatKey(TStatDrawArray& table, std::uint64_t packedKey)
{
    TStatValueRec* e = table.data();
    const std::size_t n = table.size();
    if (n <= 32) {
        // Small tables are read whole, without a branch per element: where the key lies
        // changes from draw to draw, and a mispredicted loop exit costs more than the
        // elements after it.
        std::size_t found = n;
        for (std::size_t i = n; i-- > 0;)
            found = e[i].Key.Packed() == packedKey ? i : found;
        return found < n ? e + found : nullptr;
    }
    TStatValueRec* const end = e + n;
    // Four keys per step with one branch: tables of a hundred values and more (pairs,
    // periods) are scanned for every value of every draw.
    while (end - e >= 4) {
        const bool any = (e[0].Key.Packed() == packedKey) | (e[1].Key.Packed() == packedKey)
                         | (e[2].Key.Packed() == packedKey) | (e[3].Key.Packed() == packedKey);
        if (any)
            break;
        e += 4;
    }
    while (e != end && e->Key.Packed() != packedKey)
        ++e;
    return e == end ? nullptr : e;
}

// The part of MergeStatValue that updates the element found for the value's key.
inline void MergeIntoStatValue(TStatValueRec& e, const TStatValueRec& value, bool trackGaps)
{
    e.Hits += value.Hits;

    // Keep the most recent occurrence whatever order the draws come in.
    if (e.Age == 0 || (value.Age >= 1 && value.Age <= e.Age)) {
        e.DrawNo = value.DrawNo;
        e.Age = value.Age;
    }

    if (trackGaps && value.DrawNo >= 1 && e.PrevDrawNo >= 1) {
        const std::int64_t gap = value.DrawNo >= e.PrevDrawNo ? std::int64_t(value.DrawNo) - e.PrevDrawNo
                                                              : std::int64_t(e.PrevDrawNo) - value.DrawNo;
        // Gaps are kept in 16 bits; a longer one is held at the largest that fits rather
        // than wrapping round to a small number.
        const auto stored = static_cast<std::uint16_t>(gap < 0xFFFF ? gap : 0xFFFF);
        if (gap < e.MinGap || e.MinGap == 0)
            e.MinGap = stored;
        if (gap > e.MaxGap || e.MaxGap == 0)
            e.MaxGap = stored;
    }

    e.PrevDrawNo = value.DrawNo;
}

// Merges one observation into a table (linear search on the whole key). Every statistic
// pass calls it for every value of every draw, so it is compiled into its callers.
inline void MergeStatValue(TStatDrawArray& table, const TStatValueRec& value, bool trackGaps)
{
    if (TStatValueRec* e = FindStatKey(table, value.Key.Packed())) {
        MergeIntoStatValue(*e, value, trackGaps);
        return;
    }
    TStatValueRec added = value;
    added.Expected = 0;
    table.push_back(added);
}

// MergeStatValue for one statistic object that merges into the same large table many times
// (the statistics-table pass): the element of a key is found through a hash index instead of
// a scan. The index belongs to the last table merged into and is built again whenever a
// merge meets another table or the table's size changed in between; a position it gives is
// used only when the element there has the key, and a key it does not know is looked for by
// the plain scan. So it gives MergeStatValue's result as long as nobody changes the keys of
// a table in place between two merges (the passes only append to their tables).
class TStatValueIndex {
public:
    void Merge(TStatDrawArray& table, const TStatValueRec& value, bool trackGaps)
    {
        if (table.size() < IndexFrom)
            MergeStatValue(table, value, trackGaps);
        else
            MergeIndexed(table, value, trackGaps);
    }

private:
    // Smaller tables are scanned: the scan is as fast as a lookup there.
    static constexpr std::size_t IndexFrom = 24;
    static constexpr std::uint32_t Empty = 0xFFFFFFFFu;

    void MergeIndexed(TStatDrawArray& table, const TStatValueRec& value, bool trackGaps);
    std::size_t Slot(std::uint64_t key) const
    {
        return static_cast<std::size_t>((key * 0x9E3779B97F4A7C15ull) >> FShift);
    }
    std::uint32_t Find(std::uint64_t key) const;
    void Add(std::uint64_t key, std::uint32_t position);
    void Put(std::uint64_t key, std::uint32_t position);
    void Resize(std::size_t size);   // a power of 2
    void Rebuild(const TStatDrawArray& table);

    struct TSlot {
        std::uint64_t Key;
        std::uint32_t Position;
    };
    const TStatDrawArray* FTable = nullptr;
    std::size_t FIndexed = 0;
    std::vector<TSlot> FSlots;
    std::size_t FCount = 0;
    unsigned FShift = 64;
};
// Key words 1..4 compared in turn, as unsigned 16-bit differences.
int CompareStatValues(const TStatValueRec& a, const TStatValueRec& b);
// Ascending by key; equal keys keep their order.
void SortStatValues(TStatDrawArray& table);

struct TStatValuesSummary {
    std::int64_t TotalHits = 0;
    std::int32_t MinHits = 2147483647;
    std::int32_t MaxHits = 0;
    std::uint32_t MaxAge = 0;
};
TStatValuesSummary GetStatValuesSummary(const TStatDrawArray& table);

void AddStatSimple(TStatSimpleArray& table, std::int32_t key, std::int32_t count);
void SortStatSimple(TStatSimpleArray& table);

TShemaRec StatValueToShema(const TStatValueRec& value);
TStatValueRec ShemaToStatValue(const TShemaRec& shema);

// Draws since the key was seen last (and the stored draw moves on); -1 for a new key.
inline int UpdateLastValue(const TLastValueRec& value, TLastValueArray& list)
{
    // The periods pass calls this for every digit of every draw over a list of a few values:
    // the list is read whole, without a branch per element (see FindStatKey).
    const std::uint64_t key = value.Key.Packed();
    TLastValueRec* e = list.data();
    const std::size_t n = list.size();
    std::size_t found = n;
    if (n <= 32) {
        for (std::size_t i = n; i-- > 0;)
            found = e[i].Key.Packed() == key ? i : found;
    } else {
        for (std::size_t i = 0; i < n && found == n; ++i)
            found = e[i].Key.Packed() == key ? i : found;
    }
    if (found < n) {
        const auto diff = static_cast<int>(std::int64_t(value.DrawNo) - std::int64_t(e[found].DrawNo));
        e[found].DrawNo = value.DrawNo;
        return diff;
    }
    list.push_back(value);
    return -1;
}
// Totals of counts and money stop at the ends of their range instead of wrapping or raising:
// a rating or a graph sum that reached the end keeps it, and nothing that follows is lost
// because one addition could not be done.
TCurrency SaturatingAdd(TCurrency a, TCurrency b);
std::int32_t SaturatingAdd(std::int32_t a, std::int32_t b);

void AddProfitDraw(TProfitDrawArray& list, std::int32_t drawNo, TCurrency amount);
// Adds one scored stake to the rating of its comment (letter case ignored). A stake not yet
// scored (matched < 0) and a matched count the counters cannot hold are ignored. Every total
// saturates, so the addition never fails.
void AddRatingResult(TRatingsArray& ratings, const QString& comment, int matched, TCurrency balance);
// The same for a rating already found; false (and nothing added) for a matched count the
// counters cannot hold.
bool AddRatingResultTo(TRatingRec& rating, int matched, TCurrency balance);

// ---------------------------------------------------------------------------------------
// Counting and weights.

// Smallest and largest sum of k different values from lo up / up to hi; 0 when k < 1.
constexpr int MinSum(int lo, int k)
{
    return k < 1 ? 0 : static_cast<int>(std::int64_t(k) * lo + std::int64_t(k) * (k - 1) / 2);
}
constexpr int MaxSum(int hi, int k)
{
    return k < 1 ? 0 : static_cast<int>(std::int64_t(k) * hi - std::int64_t(k) * (k - 1) / 2);
}
constexpr int ValueCount(int lo, int hi) { return static_cast<int>(std::int64_t(hi) - lo + 1); }

// Sum ranges of the sum-range statistic.
inline constexpr int SumRangeMin = MinSum(DigitMin, DrawDigits);                  // 1
inline constexpr int SumRangeMax = MaxSum(DigitMax, DrawDigits);                  // 17
inline constexpr int SumRangeWidth = (SumRangeMax - SumRangeMin) / 10;           // 1

long double BinomialCoef(int n, int k);
// Combinations a stake of k digits covers on n positions.
std::int64_t StakeCombCount(std::uint8_t k, std::uint8_t n);
// Combinations that agree with a given one in exactly c of n positions, v values each.
std::int64_t MatchCombCount(std::uint8_t v, std::uint8_t n, std::uint8_t c);
// Row weight of the statistics table; -999.99 when the result is not a finite number.
long double CalcStatWeight(const TStatWeights& weights, bool useDeviation, int hits, int expected,
                           int age, std::int64_t totalHits, int largestAge);

// ---------------------------------------------------------------------------------------
// Digits, channels, segments and the draw matrix.

// 1-based group of digit d for groups of w digits; 0 when w < 1.
int DigitGroupIndexOf(int d, int w);

namespace kelma_detail {
// Groups of the digits a draw record can hold (0..255) for the group sizes 1..10: channel
// tests run for every draw of a pass, and a table spares them the division.
inline constexpr int GroupTableSizes = 10;
inline constexpr auto DigitGroupTable = [] {
    std::array<std::array<std::uint16_t, 256>, GroupTableSizes> table{};
    for (int w = 1; w <= GroupTableSizes; ++w)
        for (int d = 0; d < 256; ++d)
            table[static_cast<std::size_t>(w - 1)][static_cast<std::size_t>(d)] =
                static_cast<std::uint16_t>((d + w) / w);
    return table;
}();
}  // namespace kelma_detail

inline int DigitGroupIndex(int d, int w)
{
    if (static_cast<unsigned>(d) < 256u && static_cast<unsigned>(w - 1) < unsigned(kelma_detail::GroupTableSizes))
        return kelma_detail::DigitGroupTable[static_cast<std::size_t>(w - 1)][static_cast<std::size_t>(d)];
    return DigitGroupIndexOf(d, w);
}
// 0x00BBGGRR colour of the digit's channel; pure red for a digit outside 0..9.
std::uint32_t ChannelColor(int d, int w);
// d + k with one wrap past 9 or below 0; d itself for k = 0.
inline int ShiftDigit(int d, int k)
{
    if (k == 0)
        return d;
    const int sum = d + k;
    if (k > 0 && sum > 9)
        return sum - 10;
    if (k < 0 && sum < 0)
        return sum + 10;
    return sum;
}
inline TCombWord ShiftComb(TCombWord comb, int k)
{
    return MakeComb(static_cast<std::uint8_t>(ShiftDigit(CombDigit1(comb), k)),
                    static_cast<std::uint8_t>(ShiftDigit(CombDigit2(comb), k)));
}

// Cell of digit d in a matrix of `cols` columns, rows and columns numbered from 1:
// row d div cols + 1, column d mod cols + 1. 0 for a digit outside 0..9; fewer than one
// column counts as one.
int DigitMatrixRow(int d, int cols);
int DigitMatrixCol(int d, int cols);

bool DrawHasDigit(int d, const TDrawRec& draw);
bool DrawHasChannel(int g, const TDrawRec& draw, int w);
bool DrawHasSegment(int s, const TDrawRec& draw, const TMatrixSegments& segments);
bool CombHasDigit(int d, TCombWord comb);

bool ByteArrayContains(const TByteArray& list, std::uint8_t value);
void ByteArrayAddUnique(TByteArray& list, std::uint8_t value);
void ByteArrayAppend(TByteArray& list, std::uint8_t value);

int CountDistinctDigits(const TCombsArray& combs, int n);
void CollectDistinctDigits(const TCombsArray& combs, int n, TByteArray& digits);

void SortCombDigits(TCombWord& comb);
void SortDrawDigits(TDrawRec& draw);
void SortDigitRec(TDigitsRec& rec);
void SortIntListDesc(TIntArray& list);

// ---------------------------------------------------------------------------------------
// Draws, combinations and stakes.

inline TCombWord DrawToComb(const TDrawRec& draw)
{
    return MakeComb(draw.Digits[0], draw.Digits[1]);
}
TDigitsRec CombToDigitRec(TCombWord comb);
QString CombToStr(TCombWord comb);          // "7;3"
QString CombToDisplayStr(TCombWord comb);   // "07 03"
// Two words at tab, blank , - . : ; | ; raises Exception "Некорректная комбинация" otherwise.
TCombWord StrToComb(const QString& text);
QString DigitRecToStr(const TDigitsRec& rec, const QString& separator);
QString DrawToText(const TDrawRec& draw);
int CombMatchCount(const TDrawRec& draw, TCombWord comb);
int DrawMatchCount(const TDrawRec& a, const TDrawRec& b);
TDigitsRec GetDrawMatches(const TDrawRec& a, const TDrawRec& b);
bool DigitRecsMatch(const TDigitsRec& a, const TDigitsRec& b);
QString StakeOriginCaption(int origin);
QString DeviationText(const QString& text, int n);

// ---------------------------------------------------------------------------------------
// Lists, dates and tables.

// Values the range form may produce at most; a longer range gives the empty list, and tooLong
// (when given) tells it apart from a text that is no range.
inline constexpr int IntRangeMaxValues = 100000;

bool StrToIntList(const QString& text, TIntArray& list);
void StrToIntRange(const QString& text, TIntArray& list, bool* tooLong = nullptr);
void ParseIntValues(const QString& text, TIntArray& list, bool* tooLong = nullptr);
QString IntListToStr(const TIntArray& list, const QString& separator);

int DateToInt(TDateTime date);
TDateTime IntToDate(int n);
int IncDateInt(int n, int days);

QString SegmentsToStr(const TMatrixSegments& segments);
TMatrixSegments StrToSegments(const QString& text);

void GetValueCell(int lo, int hi, int rowNo, int value, int& row, int& col);
int ValueRowNo(int value);
int ValueColNo(int value);
int ValueAtCell(int lo, int column);

// Ognev characteristic number of `count` digits in mode 0, 1 or 2.
void OgnevValues(std::span<const std::uint8_t> digits, int count, int mode, TIntArray& list);
// Value of a shredding formula over the combinations N, P and T; 0 on any error.
int ShreddingValue(TCombWord n, TCombWord p, TCombWord t, int digits, const QString& formula);

// A shredding formula prepared for many combinations: Value gives ShreddingValue's result,
// but the text is parsed once instead of once per value. A formula whose variables are not
// numbers of their own ("2n1" is the number 23 for n1 = 3) is evaluated as text each time.
class TShreddingFormula {
public:
    TShreddingFormula(const QString& formula, int digits);
    int Value(TCombWord n, TCombWord p, TCombWord t) const;

private:
    // Variables in the order the text's are replaced: n1, p1, t1, n2, p2, t2.
    static constexpr int VariableCount = 6;
    using TDigits = std::array<std::uint8_t, VariableCount>;
    int Compute(const TDigits& digits) const;

    QString FFormula;
    int FDigits;
    TRxFormulaProgram FProgram;
    TRxFormulaProgram::TCompiled FCompiled;
    // Values already computed, for formulas of up to three variables with digits 0..9:
    // index = the used variables' digits as a decimal number; kUnknown where not computed.
    static constexpr int kUnknown = -1;
    std::array<int, 3> FCacheVariables{};
    int FCacheVariableCount = -1;   // -1: no cache
    mutable std::vector<int> FCache;
};
