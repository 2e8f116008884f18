#pragma once

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

// Merges one observation into a table (linear search on the whole key).
void MergeStatValue(TStatDrawArray& table, const TStatValueRec& value, bool trackGaps);
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
int UpdateLastValue(const TLastValueRec& value, TLastValueArray& list);
void AddProfitDraw(TProfitDrawArray& list, std::int32_t drawNo, TCurrency amount);
// Adds one scored stake to the rating of its comment (letter case ignored). A stake not yet
// scored (matched < 0) and a matched count the counters cannot hold are ignored.
void AddRatingResult(TRatingsArray& ratings, const QString& comment, int matched, TCurrency balance);

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
int DigitGroupIndex(int d, int w);
// 0x00BBGGRR colour of the digit's channel; pure red for a digit outside 0..9.
std::uint32_t ChannelColor(int d, int w);
int ShiftDigit(int d, int k);
TCombWord ShiftComb(TCombWord comb, int k);

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

TCombWord DrawToComb(const TDrawRec& draw);
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

// Values the range form may produce at most; a longer range gives the empty list.
inline constexpr int IntRangeMaxValues = 100000;

bool StrToIntList(const QString& text, TIntArray& list);
void StrToIntRange(const QString& text, TIntArray& list);
void ParseIntValues(const QString& text, TIntArray& list);
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
