#pragma once

#include "app/core/stats/ArchiveStamp.h"
#include "app/core/stats/StatusCadence.h"
#include "engine/KelmaStatList.h"
#include "support/RTextCompare.h"

#include <QByteArray>
#include <QString>

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

class QIODevice;
class TMainState;

// The statistics table: one statistic method over a window of the archive that ends
// DrawsOffset draws before the newest draw. One row per value with its count, share, norm,
// deviation, depth, weight, periods and expected next occurrence; the points of the chart
// below it. The statistics page's table, the scenario interpreter and
// the benchmarks all compute it here.

// Columns of the table.
enum TStatColumn : int {
    scValue,              // "Значение"
    scCount,              // "Количество"
    scCountPercent,       // "Кол-во в %"
    scNorm,               // "Норма"
    scDeviation,          // "Отклонение"
    scDeviationPercent,   // "Откл-ие в %"
    scDepth,              // "Глубина"
    scDepthPercent,       // "Глубина в %"
    scWeight,             // "Вес"
    scLastDraw,           // "Посл. тираж"
    scPeriodMin,          // "Период min"
    scPeriod,             // "Период"
    scPeriodMax,          // "Период max"
    scExpectedPrd,        // "Ожд. ПРД"
    scExpectedStf,        // "Ожд. СТФ"
    scExpectedKrn,        // "Ожд. КРН"
    scFact,               // "Факт"
    scDeltaPrd,           // "+/- ПРД"
    scDeltaStf,           // "+/- СТФ"
    scDeltaKrn,           // "+/- КРН"
    StatColumnCount
};

// A set of columns: bit c for column c.
using TStatColumns = std::uint32_t;
constexpr TStatColumns StatColumnBit(int column) { return TStatColumns(1) << column; }
inline constexpr TStatColumns AllStatColumns = (TStatColumns(1) << StatColumnCount) - 1;

// A method's distribution over the full combination set, in the form its prefetch file holds
// it: 12-byte records {key: four 16-bit words; count: 32-bit}, little-endian, sorted by key,
// then the totals record {smallest count, largest count, 0}.
struct TStatPrefetch {
    TShemaArray Records;
    std::int32_t MinHits = 0;
    std::int32_t MaxHits = 0;

    enum class TState { None, Valid, Damaged };
    // None for no bytes; Damaged when the length is not a whole number of records.
    static TState Parse(const QByteArray& bytes, TStatPrefetch& prefetch);
    // The device's whole content, read from its start.
    static TState Read(QIODevice& device, TStatPrefetch& prefetch);
};

// One row: its own copy of the value (with the expected count) and the texts of its columns
// (those the table was asked to make; the others are empty).
struct TStatRow {
    TStatValueRec Value;
    std::array<QString, StatColumnCount> Texts;
};

// One row as the scenario interpreter compares it with a step's thresholds: the value text,
// the value number (0 here: the interpreter sets it) and the columns 1, 2, 4 to 8 and 10 to 12.
struct TStatValues {
    static constexpr int ColumnCount = 10;
    QString ValueText;
    std::int32_t ValueNumber = 0;
    std::array<QString, ColumnCount> Columns;
};

// The table columns of TStatValues, in its order, and the set of them with the value column.
inline constexpr std::array<int, TStatValues::ColumnCount> StatValuesColumns{
    scCount, scCountPercent, scDeviation, scDeviationPercent, scDepth,
    scDepthPercent, scWeight, scPeriodMin, scPeriod, scPeriodMax};
inline constexpr TStatColumns StatValuesColumnSet = [] {
    TStatColumns set = StatColumnBit(scValue);
    for (const int column : StatValuesColumns)
        set |= StatColumnBit(column);
    return set;
}();

// Cleared values when row is nullptr; otherwise its texts.
TStatValues GetStatRowValues(const TStatRow* row);

struct TStatChartPoint {
    double X = 0;
    double Y = 0;
    QString Label;
};

// Everything one computation produced.
struct TStatTableData {
    // The statistic that produced the rows: filters test the selected rows with it.
    const TStatClass* StatClass = nullptr;
    int Param = 0;
    // The window: draws First..Last, Length of them (0 when First > Last).
    int First = 0;
    int Last = -1;
    int Length = 0;
    TStatValuesSummary Summary;
    // Norms from a prefetch file: Ratio scales its counts to the window's counts.
    bool HasExpected = false;
    long double Ratio = 0;
    // The prefetch file given was damaged and was not used.
    bool PrefetchDamaged = false;
    std::vector<TStatRow> Rows;   // in the order the statistic listed its values
    TStatColumns TextColumns = 0;   // the columns whose texts the rows hold
    // The chart, drawn only for at least two values: the actual counts ("Фактические данные")
    // and, with norms and the ideal line on, the scaled full-set counts ("Все возможные
    // комбинации").
    bool HasChart = false;
    std::vector<TStatChartPoint> Actual;
    bool HasIdeal = false;
    std::vector<TStatChartPoint> Ideal;

    // A statistic object of the class and parameter that produced the rows.
    std::unique_ptr<TCustomStat> CreateStat(const TStatList& list) const;
};

// What a computation depends on. A refresh without force recomputes only when it changed.
struct TStatTableKey {
    TArchiveStamp Archive;
    int Offset = 0;
    int Length = 0;
    const TStatClass* StatClass = nullptr;
    int Param = 0;
    std::uint64_t ConfigRevision = 0;   // settings the values depend on (not the weights)
    bool Sorted = false;
    bool operator==(const TStatTableKey&) const = default;
};

// The key of a method's computation over a window of draws: the statistics table and the draws
// graph recompute only when it changes.
TStatTableKey MethodWindowKey(const TMainState& state, const TStatMethod* method, int length);

// The texts of one computation, made as they are asked for. Rows share many of their decimal
// texts (the same count gives the same share and period, the same age the same depth share and,
// with the usual weights, the same weight), and a decimal text costs far more than a lookup, so
// each is made once for each value.
class TStatTexts;

// How the "Факт" column is searched: one walk shared by all values, or one FindDraw per value.
// Both give the same texts; the second is the plain form the first is checked against.
enum class TStatNextSearch { OnePass, PerValue };

enum class TStatCalcResult {
    Unchanged,   // same key, no force: the last computation stands
    Cleared,     // no method, or an empty archive: no rows
    Computed,
};

class TStatTable {
public:
    explicit TStatTable(TMainState& state);
    ~TStatTable();
    TStatTable(const TStatTable&) = delete;
    TStatTable& operator=(const TStatTable&) = delete;

    // The prefetch file of a method: its bytes, empty for none. Asked only when a table is
    // computed; without a source the table has no norms.
    using TPrefetchSource = std::function<QByteArray(const TStatMethod& method)>;
    void SetPrefetchSource(TPrefetchSource source) { FPrefetchSource = std::move(source); }
    void SetNextSearch(TStatNextSearch search) { FNextSearch = search; }
    // The columns whose texts a computation makes (all unless set): a reader of a few columns
    // does not pay for the others, and asks for more with MakeTexts. The value column is always
    // made.
    void SetTextColumns(TStatColumns columns) { FTextColumns = columns | StatColumnBit(scValue); }
    // The status line shows the computation, letting the window's events through, at most once
    // in this many milliseconds (0: every time). Tables computed in a quick row would otherwise
    // spend their time on the window.
    void SetStatusInterval(int ms) { FStatus.SetInterval(ms); }

    // Computes the table of the method (nullptr: none selected) over `length` draws. Without
    // force nothing happens while the key is that of the last computation. Runs in the busy
    // state with the status "Анализ тиражей и расчет статистики...".
    TStatCalcResult Calc(const TStatMethod* method, int length, bool force);
    // The next computation runs whatever the key.
    void ResetKey() { FKey.reset(); }

    const TStatTableData& Data() const { return FData; }
    // Counts the computations (and clearings) of the rows: what a reader derived from the rows
    // holds while the count stays.
    std::uint64_t Generation() const { return FGeneration; }

    // Makes the texts of the columns of the set that the rows do not hold yet, as the last
    // computation would have made them (with its weights; the "Факт" columns search the
    // archive as it is now).
    void MakeTexts(TStatColumns columns);

    // The rows' cells of one column, read as the text order reads their texts (numbers as
    // numbers), whether or not the texts were made; in row order. Asked after the archive
    // changed, the "Факт" columns follow the archive as it is then.
    std::vector<TCellTextOrder::TKey> SortKeys(int column, const TCellTextOrder& order);

private:
    void Compute(const TStatMethod& method, int length);

    TMainState& FState;
    TPrefetchSource FPrefetchSource;
    TStatNextSearch FNextSearch = TStatNextSearch::OnePass;
    TStatColumns FTextColumns = AllStatColumns;
    TStatusCadence FStatus;
    std::optional<TStatTableKey> FKey;
    TStatTableData FData;
    std::uint64_t FGeneration = 0;
    std::unique_ptr<TStatTexts> FTexts;
};
