#include "app/core/stats/StatTable.h"

#include "app/core/archive/DrawLookups.h"
#include "app/core/shell/MainState.h"
#include "app/core/stats/StatCells.h"
#include "engine/KelmaMsg.h"
#include "platform/DelphiText.h"
#include "support/RVclUtils.h"

#include <QIODevice>

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <limits>
#include <unordered_map>

namespace {

// Expected counts are scaled file counts; a damaged file may hold any count, so the result is
// held within the 32-bit field instead of wrapping.
std::int32_t ScaledCount(std::int32_t count, long double ratio)
{
    const long double scaled = static_cast<long double>(count) * ratio;
    if (!(scaled > std::numeric_limits<std::int32_t>::min()))
        return std::numeric_limits<std::int32_t>::min();
    if (!(scaled < std::numeric_limits<std::int32_t>::max()))
        return std::numeric_limits<std::int32_t>::max();
    return static_cast<std::int32_t>(Round(scaled));
}

// Index of the first value of each key.
std::unordered_map<std::uint64_t, std::size_t> IndexByKey(const TStatDrawArray& values)
{
    std::unordered_map<std::uint64_t, std::size_t> index;
    index.reserve(values.size() * 2);
    for (std::size_t i = 0; i < values.size(); ++i)
        index.emplace(values[i].Key.Packed(), i);
    return index;
}

}  // namespace

// ---------------------------------------------------------------------------------------
// Prefetch files

TStatPrefetch::TState TStatPrefetch::Parse(const QByteArray& bytes, TStatPrefetch& prefetch)
{
    prefetch = TStatPrefetch{};
    if (bytes.isEmpty())
        return TState::None;
    if (bytes.size() % ShemaRecSize != 0)
        return TState::Damaged;
    const auto* data = reinterpret_cast<const std::uint8_t*>(bytes.constData());
    const qsizetype totals = bytes.size() - ShemaRecSize;
    prefetch.Records.reserve(static_cast<std::size_t>(totals / ShemaRecSize));
    for (qsizetype at = 0; at < totals; at += ShemaRecSize)
        prefetch.Records.push_back(ReadShemaRec(data + at));
    const TShemaRec last = ReadShemaRec(data + totals);
    // The totals record is {smallest, largest, 0}: its first two 32-bit fields lie where a
    // record keeps its key.
    prefetch.MinHits = static_cast<std::int32_t>(last.Key.Dword(0));
    prefetch.MaxHits = static_cast<std::int32_t>(last.Key.Dword(1));
    return TState::Valid;
}

TStatPrefetch::TState TStatPrefetch::Read(QIODevice& device, TStatPrefetch& prefetch)
{
    if (!device.isSequential())
        device.seek(0);
    return Parse(device.readAll(), prefetch);
}

// ---------------------------------------------------------------------------------------
// Rows as the scenario interpreter reads them

TStatValues GetStatRowValues(const TStatRow* row)
{
    TStatValues values;
    if (!row)
        return values;
    values.ValueText = row->Texts[scValue];
    for (int i = 0; i < TStatValues::ColumnCount; ++i)
        values.Columns[static_cast<std::size_t>(i)] = row->Texts[StatValuesColumns[static_cast<std::size_t>(i)]];
    return values;
}

std::unique_ptr<TCustomStat> TStatTableData::CreateStat(const TStatList& list) const
{
    if (!StatClass || !StatClass->Factory)
        return nullptr;
    return StatClass->Factory(list, Param);
}

// ---------------------------------------------------------------------------------------
// TStatTable

TStatTable::TStatTable(TMainState& state) : FState(state)
{
}

TStatTable::~TStatTable() = default;

TStatTableKey MethodWindowKey(const TMainState& state, const TStatMethod* method, int length)
{
    TStatTableKey key;
    key.Archive = ArchiveStamp(state.FDraws);
    key.Offset = state.DrawsOffset();
    key.Length = length;
    if (method) {
        key.StatClass = &method->StatClass();
        key.Param = method->Param();
    }
    key.ConfigRevision = state.StatList().ConfigRevision();
    key.Sorted = state.Options.Flag(TMainOptions::SortedDraws);
    return key;
}

TStatCalcResult TStatTable::Calc(const TStatMethod* method, int length, bool force)
{
    const TStatTableKey key = MethodWindowKey(FState, method, length);
    if (!force && FKey && *FKey == key)
        return TStatCalcResult::Unchanged;
    FKey = key;
    ++FGeneration;
    FTexts.reset();
    FData = TStatTableData{};
    if (!method || FState.FDraws.empty())
        return TStatCalcResult::Cleared;

    TBusyScope busy(FStatus.Due() ? LoadResString(rsComputingStat) : QString());
    try {
        Compute(*method, length);
    } catch (...) {
        // A failed computation is not the last computation: the next refresh tries again.
        FKey.reset();
        FTexts.reset();
        FData = TStatTableData{};
        throw;
    }
    return TStatCalcResult::Computed;
}

void TStatTable::Compute(const TStatMethod& method, int length)
{
    const TDrawsArray& draws = FState.FDraws;
    const TStatList& list = FState.StatList();
    const bool sorted = FState.Options.Flag(TMainOptions::SortedDraws);

    TStatTableData data;
    data.StatClass = &method.StatClass();
    data.Param = method.Param();
    const std::int64_t last = std::int64_t(draws.size()) - 1 - FState.DrawsOffset();
    // No length (a scenario's text may give any number) is an empty window.
    const std::int64_t first = length < 1 ? last + 1 : std::max<std::int64_t>(0, last - length + 1);
    data.Last = static_cast<int>(std::max<std::int64_t>(last, -1));
    data.First = static_cast<int>(first);
    data.Length = static_cast<int>(std::max<std::int64_t>(0, last - first + 1));

    std::unique_ptr<TCustomStat> stat = method.CreateStat(list);
    TStatPrefetch prefetch;
    TStatPrefetch::TState prefetchState = TStatPrefetch::TState::None;
    if (FPrefetchSource)
        prefetchState = TStatPrefetch::Parse(FPrefetchSource(method), prefetch);
    data.PrefetchDamaged = prefetchState == TStatPrefetch::TState::Damaged;

    // The pass over the window.
    TStatDrawArray values;
    if (first <= last) {
        stat->InitValues(data.Last, values);
        TStatScratch scratch;
        TLastValueArray lastValues;
        stat->AddDraws(data.First, data.Last, sorted, values, scratch, lastValues);
    }
    data.Summary = GetStatValuesSummary(values);

    // Norms: the full-set counts scaled to the window's largest count, or to the middle of
    // its range when the full set is flat (every count the same).
    if (prefetchState == TStatPrefetch::TState::Valid && prefetch.MaxHits > 0) {
        data.HasExpected = true;
        if (prefetch.MinHits == prefetch.MaxHits)
            data.Ratio = (static_cast<long double>(data.Summary.MinHits) + data.Summary.MaxHits) / 2
                         / prefetch.MaxHits;
        else
            data.Ratio = static_cast<long double>(data.Summary.MaxHits) / prefetch.MaxHits;
    }
    const auto byKey = IndexByKey(values);
    if (data.HasExpected) {
        for (const TShemaRec& record : prefetch.Records) {
            const auto it = byKey.find(record.Key.Packed());
            if (it != byKey.end())
                values[it->second].Expected = ScaledCount(record.Hits, data.Ratio);
        }
    }

    // Rows.
    data.Rows.resize(values.size());
    for (std::size_t i = 0; i < values.size(); ++i)
        data.Rows[i].Value = values[i];
    auto texts = std::make_unique<TStatTexts>(std::move(stat), data, list.Config().Weights, sorted, FNextSearch);
    texts->Fill(data.Rows, FTextColumns, draws);
    data.TextColumns = FTextColumns;
    const TCustomStat& shown = texts->Stat();

    // Chart.
    if (values.size() >= 2) {
        data.HasChart = true;
        if (data.HasExpected) {
            data.HasIdeal = FState.Options.Flag(TMainOptions::ShowTotalLine);
            double k = 0;
            for (const TShemaRec& record : prefetch.Records) {
                ++k;
                if (data.HasIdeal)
                    data.Ideal.push_back({k, static_cast<double>(record.Hits * data.Ratio),
                                          shown.ValueText(ShemaToStatValue(record))});
                const auto it = byKey.find(record.Key.Packed());
                if (it != byKey.end())
                    data.Actual.push_back({k, static_cast<double>(values[it->second].Hits),
                                           data.Rows[it->second].Texts[scValue]});
            }
        } else {
            // Rows are in the statistic's order, the chart in key order; each point takes the
            // text of its value's row.
            SortStatValues(values);
            for (std::size_t i = 0; i < values.size(); ++i)
                data.Actual.push_back({static_cast<double>(i), static_cast<double>(values[i].Hits),
                                       data.Rows[byKey.at(values[i].Key.Packed())].Texts[scValue]});
        }
    }
    FData = std::move(data);
    FTexts = std::move(texts);
}

void TStatTable::MakeTexts(TStatColumns columns)
{
    columns &= AllStatColumns & ~FData.TextColumns;
    if (!FTexts || columns == 0)
        return;
    FTexts->Fill(FData.Rows, columns, FState.FDraws, FData.TextColumns);
    FData.TextColumns |= columns;
}

std::vector<TCellTextOrder::TKey> TStatTable::SortKeys(int column, const TCellTextOrder& order)
{
    if (!FTexts || column < 0 || column >= StatColumnCount)
        return std::vector<TCellTextOrder::TKey>(FData.Rows.size());
    return FTexts->SortKeys(FData.Rows, column, order, FState.FDraws);
}
