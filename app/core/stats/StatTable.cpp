#include "app/core/stats/StatTable.h"

#include "app/core/archive/DrawLookups.h"
#include "app/core/shell/MainState.h"
#include "app/core/stats/StatNextDraws.h"
#include "engine/KelmaMsg.h"
#include "platform/DelphiText.h"
#include "support/RVclUtils.h"

#include <QIODevice>

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstddef>
#include <cstring>
#include <limits>
#include <unordered_map>

namespace {

const QString& Dash()
{
    static const QString dash = QStringLiteral("-");
    return dash;
}

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

// The texts of the rows of one table. Rows share many of their decimal texts (the same
// count gives the same share and period, the same age the same depth share and, with the
// usual weights, the same weight), and a decimal text costs far more than a lookup, so each
// text is made once per table for each value.
class TRowTexts {
public:
    TRowTexts(const TCustomStat& stat, const TStatTableData& data, const TStatWeights& weights)
        : FStat(stat), FData(data), FWeights(weights)
    {
    }

    // `fact` is the number of the next draw with the value, -1 for none.
    void Fill(TStatRow& row, int fact);

private:
    // Format("%.<decimals>f", value), decimals 0..5.
    QString Fixed(int decimals, long double value);

    struct TKey {
        std::uint64_t Mantissa;
        int Exponent;   // with the sign and the decimals folded in
        bool operator==(const TKey&) const = default;
    };
    struct THash {
        std::size_t operator()(const TKey& k) const
        {
            return std::hash<std::uint64_t>()(k.Mantissa ^ (std::uint64_t(std::uint32_t(k.Exponent)) << 40));
        }
    };

    const TCustomStat& FStat;
    const TStatTableData& FData;
    const TStatWeights& FWeights;
    std::unordered_map<TKey, QString, THash> FTexts;
};

QString TRowTexts::Fixed(int decimals, long double value)
{
    static constexpr char formats[][6] = {"%.0f", "%.1f", "%.2f", "%.3f", "%.4f", "%.5f"};
    const QLatin1String format(formats[decimals]);
    if (!std::isfinite(value))
        return Format(format, {value});
    // The value exactly: the fraction's bits as an integer and the binary exponent.
    int exponent = 0;
    const long double fraction = std::frexp(std::fabs(value), &exponent);
    const auto mantissa = static_cast<std::uint64_t>(std::ldexp(fraction, std::numeric_limits<long double>::digits));
    const TKey key{mantissa, (exponent * 2 + (std::signbit(value) ? 1 : 0)) * 8 + decimals};
    auto it = FTexts.find(key);
    if (it == FTexts.end())
        it = FTexts.emplace(key, Format(format, {value})).first;
    return it->second;
}

void TRowTexts::Fill(TStatRow& row, int fact)
{
    const TStatValueRec& v = row.Value;
    auto& t = row.Texts;
    const std::int32_t hits = v.Hits;
    const std::int64_t total = FData.Summary.TotalHits;

    t[scValue] = FStat.ValueText(v);
    t[scCount] = IntToStr(hits);
    t[scCountPercent] = total == 0 ? Dash()
                                   : Fixed(5, static_cast<long double>(std::int64_t(hits) * 100) / total);
    if (FData.HasExpected) {
        const std::int64_t deviation = std::int64_t(hits) - v.Expected;
        t[scNorm] = IntToStr(v.Expected);
        t[scDeviation] = IntToStr(deviation);
        if (v.Expected == 0)
            t[scDeviationPercent] = Fixed(5, hits == 0 ? 0.0L : 100.0L);
        else
            t[scDeviationPercent] = Fixed(5, static_cast<long double>(deviation * 100) / v.Expected);
    } else {
        t[scNorm] = t[scDeviation] = t[scDeviationPercent] = Dash();
    }

    if (v.Age == 0) {
        for (int c = scDepth; c < StatColumnCount; ++c)
            t[c] = Dash();
        return;
    }
    const std::uint32_t maxAge = FData.Summary.MaxAge;
    t[scDepth] = IntToStr(v.Age);
    t[scDepthPercent] = Fixed(2, static_cast<long double>(std::int64_t(v.Age) * 100) / maxAge);
    t[scWeight] = Fixed(2, CalcStatWeight(FWeights, FData.HasExpected, hits, v.Expected,
                                          static_cast<int>(v.Age), total, static_cast<int>(maxAge)));
    t[scLastDraw] = IntToStr(v.DrawNo);

    const long double drawNo = v.DrawNo;
    if (hits < 2) {
        t[scPeriodMin] = t[scPeriod] = t[scPeriodMax] = t[scExpectedPrd] = Dash();
    } else {
        const long double period = static_cast<long double>(FData.Length) / hits;
        t[scPeriodMin] = IntToStr(v.MinGap);
        t[scPeriod] = Fixed(4, period);
        t[scPeriodMax] = IntToStr(v.MaxGap);
        t[scExpectedPrd] = IntToStr(Round(period + drawNo));
    }
    if (hits <= 0) {
        t[scExpectedStf] = t[scExpectedKrn] = Dash();
    } else {
        t[scExpectedStf] = IntToStr(Round((std::int64_t(hits) + 1) * drawNo / hits));
        t[scExpectedKrn] = IntToStr(Round((std::int64_t(hits) + 2) * (drawNo + 1) / (std::int64_t(hits) + 1)));
    }

    if (fact < 0) {
        t[scFact] = t[scDeltaPrd] = t[scDeltaStf] = t[scDeltaKrn] = Dash();
        return;
    }
    t[scFact] = IntToStr(fact);
    t[scDeltaPrd] = DeviationText(t[scExpectedPrd], fact);
    t[scDeltaStf] = DeviationText(t[scExpectedStf], fact);
    t[scDeltaKrn] = DeviationText(t[scExpectedKrn], fact);
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
    static constexpr std::array<int, TStatValues::ColumnCount> columns{
        scCount, scCountPercent, scDeviation, scDeviationPercent, scDepth,
        scDepthPercent, scWeight, scPeriodMin, scPeriod, scPeriodMax};
    for (int i = 0; i < TStatValues::ColumnCount; ++i)
        values.Columns[static_cast<std::size_t>(i)] = row->Texts[columns[static_cast<std::size_t>(i)]];
    return values;
}

std::unique_ptr<TCustomStat> TStatTableData::CreateStat(const TStatList& list) const
{
    if (!StatClass || !StatClass->Factory)
        return nullptr;
    return StatClass->Factory(list, Param);
}

std::uint64_t DrawsFingerprint(const TDrawsArray& draws)
{
    // FNV-1a over one 64-bit word per draw (its number and its two digits), in four lanes so
    // that the multiplications of neighbouring draws do not wait for each other; the lanes
    // are folded at the end.
    static_assert(offsetof(TDrawRec, Number) == 0 && offsetof(TDrawRec, Digits) == 4
                  && sizeof(TDrawRec) >= 8);
    constexpr std::uint64_t basis = 14695981039346656037ull;
    constexpr std::uint64_t prime = 1099511628211ull;
    constexpr std::uint64_t numberAndDigits = 0xFFFFFFFFFFFFull;
    const auto word = [](const TDrawRec& draw) {
        std::uint64_t w;
        std::memcpy(&w, &draw, sizeof w);
        if constexpr (std::endian::native != std::endian::little)
            w = std::uint64_t(draw.Number) | std::uint64_t(draw.Digits[0]) << 32
                | std::uint64_t(draw.Digits[1]) << 40;
        return w & numberAndDigits;
    };
    std::uint64_t a = basis, b = basis, c = basis, d = basis;
    const std::size_t n = draws.size();
    const TDrawRec* p = draws.data();
    std::size_t i = 0;
    for (; i + 4 <= n; i += 4) {
        a = (a ^ word(p[i])) * prime;
        b = (b ^ word(p[i + 1])) * prime;
        c = (c ^ word(p[i + 2])) * prime;
        d = (d ^ word(p[i + 3])) * prime;
    }
    for (; i < n; ++i)
        a = (a ^ word(p[i])) * prime;
    std::uint64_t hash = n;
    for (const std::uint64_t lane : {a, b, c, d})
        hash = (hash ^ lane) * prime;
    return hash;
}

// ---------------------------------------------------------------------------------------
// TStatTable

TStatTable::TStatTable(TMainState& state) : FState(state)
{
}

TStatTableKey TStatTable::MakeKey(const TStatMethod* method, int length) const
{
    TStatTableKey key;
    key.ArchiveLength = static_cast<int>(FState.FDraws.size());
    key.ArchiveFingerprint = DrawsFingerprint(FState.FDraws);
    key.Offset = FState.DrawsOffset();
    key.Length = length;
    if (method) {
        key.StatClass = &method->StatClass();
        key.Param = method->Param();
    }
    key.ConfigRevision = FState.StatList().ConfigRevision();
    key.Sorted = FState.Options.Flag(TMainOptions::SortedDraws);
    return key;
}

TStatCalcResult TStatTable::Calc(const TStatMethod* method, int length, bool force)
{
    const TStatTableKey key = MakeKey(method, length);
    if (!force && FKey && *FKey == key)
        return TStatCalcResult::Unchanged;
    FKey = key;
    FData = TStatTableData{};
    if (!method || FState.FDraws.empty())
        return TStatCalcResult::Cleared;

    TBusyScope busy(LoadResString(rsComputingStat));
    try {
        Compute(*method, length);
    } catch (...) {
        // A failed computation is not the last computation: the next refresh tries again.
        FKey.reset();
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

    const std::unique_ptr<TCustomStat> stat = method.CreateStat(list);
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
    const std::vector<int> facts = FNextSearch == TStatNextSearch::OnePass
                                       ? FindNextDraws(*stat, draws, values, data.Last, sorted)
                                       : FindNextDrawsPerValue(*stat, draws, values, data.Last, sorted);
    TRowTexts texts(*stat, data, list.Config().Weights);
    data.Rows.resize(values.size());
    for (std::size_t i = 0; i < values.size(); ++i) {
        data.Rows[i].Value = values[i];
        texts.Fill(data.Rows[i], facts[i]);
    }

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
                                          stat->ValueText(ShemaToStatValue(record))});
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
}
