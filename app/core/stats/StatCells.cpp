#include "app/core/stats/StatCells.h"

#include "app/core/stats/StatNextDraws.h"
#include "engine/KelmaMsg.h"
#include "platform/DelphiText.h"

#include <cmath>
#include <limits>

namespace {

const QString& Dash()
{
    static const QString dash = QStringLiteral("-");
    return dash;
}

TStatCell DashCell()
{
    return TStatCell{};
}

TStatCell IntegerCell(std::int64_t value)
{
    TStatCell cell;
    cell.Kind = TStatCell::TKind::Integer;
    cell.Integer = value;
    return cell;
}

TStatCell DecimalCell(int decimals, long double value)
{
    TStatCell cell;
    cell.Kind = TStatCell::TKind::Decimal;
    cell.Decimals = decimals;
    cell.Decimal = value;
    return cell;
}

TStatCell TextCell()
{
    TStatCell cell;
    cell.Kind = TStatCell::TKind::Text;
    return cell;
}

constexpr TStatColumns FactColumns = StatColumnBit(scFact) | StatColumnBit(scDeltaPrd) | StatColumnBit(scDeltaStf)
                                     | StatColumnBit(scDeltaKrn);

// The expectation column a difference column is read from.
constexpr int ExpectationOf(int difference)
{
    return difference - scDeltaPrd + scExpectedPrd;
}

} // namespace

TStatTexts::TStatTexts(std::unique_ptr<TCustomStat> stat, const TStatTableData& data, const TStatWeights& weights,
                       bool sorted, TStatNextSearch search)
    : FStat(std::move(stat)), FSummary(data.Summary), FHasExpected(data.HasExpected), FLength(data.Length),
      FLast(data.Last), FWeights(weights), FSorted(sorted), FSearch(search)
{
}

TStatTexts::~TStatTexts() = default;

TStatTexts::TDecimalText& TStatTexts::Decimal(int decimals, long double value)
{
    static constexpr char formats[][6] = {"%.0f", "%.1f", "%.2f", "%.3f", "%.4f", "%.5f"};
    // The value exactly: the fraction's bits as an integer and the binary exponent. A value
    // that is not finite has no such form; its few texts are keyed apart.
    int exponent = 0;
    std::uint64_t mantissa = 0;
    if (std::isfinite(value)) {
        const long double fraction = std::frexp(std::fabs(value), &exponent);
        mantissa = static_cast<std::uint64_t>(std::ldexp(fraction, std::numeric_limits<long double>::digits));
    } else {
        exponent = std::numeric_limits<int>::max() / 32 - (std::isnan(value) ? 1 : 0);
    }
    const TValueKey key{mantissa, (exponent * 2 + (std::signbit(value) ? 1 : 0)) * 8 + decimals};
    auto it = FDecimals.find(key);
    if (it == FDecimals.end())
        it = FDecimals.emplace(key, TDecimalText{Format(QLatin1String(formats[decimals]), {value}), std::nullopt})
                 .first;
    return it->second;
}

TStatCell TStatTexts::Cell(const TStatRow& row, std::size_t index, int column) const
{
    const TStatValueRec& v = row.Value;
    const std::int32_t hits = v.Hits;
    const std::int64_t total = FSummary.TotalHits;

    switch (column) {
    case scValue:
        return TextCell();
    case scCount:
        return IntegerCell(hits);
    case scCountPercent:
        if (total == 0)
            return DashCell();
        return DecimalCell(5, static_cast<long double>(std::int64_t(hits) * 100) / total);
    case scNorm:
    case scDeviation:
    case scDeviationPercent: {
        if (!FHasExpected)
            return DashCell();
        const std::int64_t deviation = std::int64_t(hits) - v.Expected;
        if (column == scNorm)
            return IntegerCell(v.Expected);
        if (column == scDeviation)
            return IntegerCell(deviation);
        if (v.Expected == 0)
            return DecimalCell(5, hits == 0 ? 0.0L : 100.0L);
        return DecimalCell(5, static_cast<long double>(deviation * 100) / v.Expected);
    }
    default:
        break;
    }

    // A value the window has not seen has nothing further to show.
    if (v.Age == 0)
        return DashCell();
    const std::uint32_t maxAge = FSummary.MaxAge;
    const long double drawNo = v.DrawNo;
    switch (column) {
    case scDepth:
        return IntegerCell(v.Age);
    case scDepthPercent:
        return DecimalCell(2, static_cast<long double>(std::int64_t(v.Age) * 100) / maxAge);
    case scWeight:
        return DecimalCell(2, CalcStatWeight(FWeights, FHasExpected, hits, v.Expected, static_cast<int>(v.Age),
                                             total, static_cast<int>(maxAge)));
    case scLastDraw:
        return IntegerCell(v.DrawNo);
    case scPeriodMin:
    case scPeriod:
    case scPeriodMax:
    case scExpectedPrd: {
        if (hits < 2)
            return DashCell();
        const long double period = static_cast<long double>(FLength) / hits;
        if (column == scPeriodMin)
            return IntegerCell(v.MinGap);
        if (column == scPeriod)
            return DecimalCell(4, period);
        if (column == scPeriodMax)
            return IntegerCell(v.MaxGap);
        return IntegerCell(Round(period + drawNo));
    }
    case scExpectedStf:
        if (hits <= 0)
            return DashCell();
        return IntegerCell(Round((std::int64_t(hits) + 1) * drawNo / hits));
    case scExpectedKrn:
        if (hits <= 0)
            return DashCell();
        return IntegerCell(Round((std::int64_t(hits) + 2) * (drawNo + 1) / (std::int64_t(hits) + 1)));
    default:
        break;
    }

    const int fact = FFactsFound && index < FFacts.size() ? FFacts[index] : -1;
    if (fact < 0)
        return DashCell();
    if (column == scFact)
        return IntegerCell(fact);
    return TextCell();
}

QString TStatTexts::CellText(const TStatRow& row, std::size_t index, int column, const QString* expectation)
{
    const TStatCell cell = Cell(row, index, column);
    if (cell.Kind != TStatCell::TKind::Text)
        return Text(cell);
    return TextOfText(row, index, column, expectation);
}

QString TStatTexts::TextOfText(const TStatRow& row, std::size_t index, int column, const QString* expectation)
{
    if (column == scValue)
        return FStat->ValueText(row.Value);
    // A difference, read from its expectation's text as the column shows it.
    const int expected = ExpectationOf(column);
    const QString expectationText = expectation ? *expectation : Text(Cell(row, index, expected));
    return DeviationText(expectationText, FFacts[index]);
}

QString TStatTexts::Text(const TStatCell& cell)
{
    switch (cell.Kind) {
    case TStatCell::TKind::Dash:
        return Dash();
    case TStatCell::TKind::Integer:
        return IntToStr(cell.Integer);
    case TStatCell::TKind::Decimal:
        return Decimal(cell.Decimals, cell.Decimal).Text;
    case TStatCell::TKind::Text:
        break;
    }
    return QString();
}

void TStatTexts::FindFacts(const std::vector<TStatRow>& rows, TStatColumns columns, const TDrawsArray& draws)
{
    if (FFactsFound || (columns & FactColumns) == 0)
        return;
    TStatDrawArray values;
    values.reserve(rows.size());
    for (const TStatRow& row : rows)
        values.push_back(row.Value);
    FFacts = FSearch == TStatNextSearch::OnePass ? FindNextDraws(*FStat, draws, values, FLast, FSorted)
                                                 : FindNextDrawsPerValue(*FStat, draws, values, FLast, FSorted);
    FFactsFound = true;
}

void TStatTexts::Fill(std::vector<TStatRow>& rows, TStatColumns columns, const TDrawsArray& draws, TStatColumns made)
{
    FindFacts(rows, columns, draws);
    made |= columns;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        auto& texts = rows[i].Texts;
        for (int c = 0; c < StatColumnCount; ++c) {
            if ((columns & StatColumnBit(c)) == 0)
                continue;
            // A difference is read from its expectation's text; one made already serves. The
            // columns are made in order, so the expectations come first.
            const TStatCell cell = Cell(rows[i], i, c);
            if (cell.Kind != TStatCell::TKind::Text) {
                texts[static_cast<std::size_t>(c)] = Text(cell);
                continue;
            }
            const int expected = ExpectationOf(c);
            const bool reuse = c >= scDeltaPrd && (made & StatColumnBit(expected)) != 0;
            texts[static_cast<std::size_t>(c)] =
                TextOfText(rows[i], i, c, reuse ? &texts[static_cast<std::size_t>(expected)] : nullptr);
        }
    }
}

std::vector<TCellTextOrder::TKey> TStatTexts::SortKeys(const std::vector<TStatRow>& rows, int column,
                                                       const TCellTextOrder& order, const TDrawsArray& draws)
{
    FindFacts(rows, StatColumnBit(column), draws);
    std::vector<TCellTextOrder::TKey> keys;
    keys.reserve(rows.size());
    for (std::size_t i = 0; i < rows.size(); ++i) {
        // The value column's texts are always made.
        if (column == scValue) {
            keys.push_back(order.Key(rows[i].Texts[scValue]));
            continue;
        }
        const TStatCell cell = Cell(rows[i], i, column);
        switch (cell.Kind) {
        case TStatCell::TKind::Dash:
            keys.push_back(order.Key(Dash()));
            break;
        case TStatCell::TKind::Integer: {
            // IntToStr's text reads back as exactly its number.
            TCellTextOrder::TKey key;
            key.IsNumber = true;
            key.Number = static_cast<long double>(cell.Integer);
            key.Text = IntToStr(cell.Integer);
            keys.push_back(std::move(key));
            break;
        }
        case TStatCell::TKind::Decimal: {
            TDecimalText& text = Decimal(cell.Decimals, cell.Decimal);
            if (!text.Key)
                text.Key = order.Key(text.Text);
            keys.push_back(*text.Key);
            break;
        }
        case TStatCell::TKind::Text:
            keys.push_back(order.Key(CellText(rows[i], i, column)));
            break;
        }
    }
    return keys;
}
