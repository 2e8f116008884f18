#include "app/core/stats/EngineSettings.h"

#include "engine/KelmaMsg.h"
#include "platform/DelphiText.h"
#include "platform/Exceptions.h"
#include "platform/ResString.h"
#include "support/RStrUtils.h"

#include <cmath>
#include <limits>

namespace {

const TResString SProfitTooLarge = RESSTR("EngineSettings", "Слишком большая сумма выигрыша: %s!");
const TResString SCostTooLarge = RESSTR("EngineSettings", "Слишком большая стоимость ставки: %s!");
const TResString SProfitNegative = RESSTR("EngineSettings", "Отрицательная сумма выигрыша: %s!");
const TResString SCostNegative = RESSTR("EngineSettings", "Отрицательная стоимость ставки: %s!");

// The matched positions of a payout entry are a byte.
constexpr int MaxProfitMatches = std::numeric_limits<std::uint8_t>::max();

} // namespace

std::uint16_t ConfigChangeMask(const TConfigData& before, const TConfigData& after)
{
    std::uint16_t mask = 0;
    if (before.MatrixCols != after.MatrixCols)
        mask |= MatrixGroupMask;
    if (before.ChannelSize != after.ChannelSize)
        mask |= ChannelsGroupMask;
    // The segments are compared in their stored text form, as the settings file keeps them.
    if (SegmentsToStr(before.MatrixSegments).compare(SegmentsToStr(after.MatrixSegments), Qt::CaseInsensitive) != 0)
        mask |= SegmentsGroupMask;
    return mask;
}

// ---------------------------------------------------------------------------------------
// Payouts

QStringList ProfitsToLines(const TProfitsArray& profits)
{
    QStringList lines;
    for (int k = 0; k < ProfitLineCount; ++k) {
        // A stake's balance takes the first entry for its matched positions; the line shows
        // that entry, whatever its place in the table, so that saving an unchanged table pays
        // the same amounts as before.
        TCurrency amount;
        for (const TProfitRec& profit : profits) {
            if (profit.Matches == k) {
                amount = profit.Amount;
                break;
            }
        }
        lines << Format(QStringLiteral("%d=%.2f"), {k, amount});
    }
    return lines;
}

std::optional<TCurrency> MoneyFromValue(long double value)
{
    if (std::isnan(value))
        return std::nullopt;
    try {
        return TCurrency::FromDouble(value);
    } catch (const EInvalidOp&) {
        return std::nullopt;
    }
}

std::optional<TCurrency> StakeMoneyFromValue(long double value)
{
    const std::optional<TCurrency> money = MoneyFromValue(value);
    if (!money || money->Raw() < 0 || *money > TCurrency::FromUnits(MaxStakeMoney))
        return std::nullopt;
    return money;
}

std::optional<TProfitsArray> LinesToProfits(const QStringList& lines, int* badLine)
{
    TProfitsArray profits;
    profits.reserve(static_cast<std::size_t>(lines.size()));
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QString& line = lines.at(i);
        const qsizetype eq = line.indexOf(QLatin1Char('='));
        const QString name = eq < 0 ? line : line.left(eq);
        const QString valueText = eq < 0 ? QString() : line.mid(eq + 1);

        TProfitRec entry;
        int matches = 0;
        if (TryStrToInt(name, matches) && matches >= 0 && matches <= MaxProfitMatches)
            entry.Matches = static_cast<std::uint8_t>(matches);
        long double value = 0;
        if (TryStrToFloatOrInfinity(valueText, value) && !std::isnan(value)) {
            const std::optional<TCurrency> amount = StakeMoneyFromValue(value);
            if (!amount) {
                if (badLine != nullptr)
                    *badLine = static_cast<int>(i);
                return std::nullopt;
            }
            entry.Amount = *amount;
        }
        profits.push_back(entry);
    }
    return profits;
}

QString ProfitTooLargeMessage(const QString& valueText)
{
    return Format(LoadResString(SProfitTooLarge), {QuotedExcerpt(valueText)});
}

QString CostTooLargeMessage(long double value)
{
    return Format(LoadResString(SCostTooLarge), {FloatToStr(value)});
}

QString ProfitRefusedMessage(const QString& valueText)
{
    long double value = 0;
    if (TryStrToFloatOrInfinity(valueText, value) && value < 0)
        return Format(LoadResString(SProfitNegative), {QuotedExcerpt(valueText)});
    return ProfitTooLargeMessage(valueText);
}

QString CostRefusedMessage(long double value)
{
    if (value < 0)
        return Format(LoadResString(SCostNegative), {FloatToStr(value)});
    return CostTooLargeMessage(value);
}

QString TypedProfitText(const QString& text)
{
    const QChar separator = DecimalSeparator();
    QString out;
    out.reserve(text.size());
    for (const QChar c : text) {
        if (c == QLatin1Char(',') || c == QLatin1Char('.') || c == separator)
            out += separator;
        else if (c >= QLatin1Char('0') && c <= QLatin1Char('9'))
            out += c;
    }
    return out;
}

// ---------------------------------------------------------------------------------------
// Segments grid

bool IsSegmentCellChar(QChar c)
{
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

bool IsSegmentCellText(const QString& text)
{
    if (text.isEmpty())
        return true;
    int value = 0;
    return TryStrToInt(text, value) && value >= MinSegment && value <= MaxSegment;
}

int SegmentCellValue(const QString& text)
{
    int value = 0;
    if (TryStrToInt(text, value) && value >= MinSegment && value <= MaxSegment)
        return value;
    return MinSegment;
}

QString BadSegmentMessage(const QString& text)
{
    return Format(LoadResString(rsBadSegmentValue), {QuotedExcerpt(text)});
}

std::array<QString, SegmentCellCount> SegmentsToCells(const TMatrixSegments& segments)
{
    std::array<QString, SegmentCellCount> cells;
    for (int col = 0; col < SegmentColumns; ++col)
        for (int row = 0; row < SegmentRows; ++row)
            cells[static_cast<std::size_t>(col * SegmentRows + row)] =
                QString::number(segments[static_cast<std::size_t>(col)][static_cast<std::size_t>(row)]);
    return cells;
}

TMatrixSegments CellsToSegments(const std::array<QString, SegmentCellCount>& cells)
{
    TMatrixSegments segments{};
    for (int col = 0; col < SegmentColumns; ++col)
        for (int row = 0; row < SegmentRows; ++row)
            segments[static_cast<std::size_t>(col)][static_cast<std::size_t>(row)] = static_cast<std::uint8_t>(
                SegmentCellValue(cells[static_cast<std::size_t>(col * SegmentRows + row)]));
    return segments;
}

// ---------------------------------------------------------------------------------------
// Limits

bool IsChannelSize(int size)
{
    return size >= MinChannelSize && size <= MaxChannelSize;
}
