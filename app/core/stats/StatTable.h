#pragma once

#include "engine/KelmaStatList.h"

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
// below it. The window's table (TTemplateMain.CalcStatTable), the scenario interpreter and
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

// One row: its own copy of the value (with the expected count) and the texts of its columns.
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
    int ArchiveLength = 0;
    std::uint64_t ArchiveFingerprint = 0;   // numbers and digits of every draw
    int Offset = 0;
    int Length = 0;
    const TStatClass* StatClass = nullptr;
    int Param = 0;
    std::uint64_t ConfigRevision = 0;   // settings the values depend on (not the weights)
    bool Sorted = false;
    bool operator==(const TStatTableKey&) const = default;
};

// Fingerprint of the draw numbers and digits.
std::uint64_t DrawsFingerprint(const TDrawsArray& draws);

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

    // The prefetch file of a method: its bytes, empty for none. Asked only when a table is
    // computed; without a source the table has no norms.
    using TPrefetchSource = std::function<QByteArray(const TStatMethod& method)>;
    void SetPrefetchSource(TPrefetchSource source) { FPrefetchSource = std::move(source); }
    void SetNextSearch(TStatNextSearch search) { FNextSearch = search; }

    // Computes the table of the method (nullptr: none selected) over `length` draws. Without
    // force nothing happens while the key is that of the last computation. Runs in the busy
    // state with the status "Анализ тиражей и расчет статистики...".
    TStatCalcResult Calc(const TStatMethod* method, int length, bool force);
    // The next computation runs whatever the key.
    void ResetKey() { FKey.reset(); }

    TStatTableKey MakeKey(const TStatMethod* method, int length) const;
    const TStatTableData& Data() const { return FData; }

private:
    void Compute(const TStatMethod& method, int length);

    TMainState& FState;
    TPrefetchSource FPrefetchSource;
    TStatNextSearch FNextSearch = TStatNextSearch::OnePass;
    std::optional<TStatTableKey> FKey;
    TStatTableData FData;
};
