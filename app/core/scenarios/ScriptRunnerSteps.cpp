// The filter steps of the scenario interpreter: the headless statistics table, the row rules
// and the walk over the table's rows.

#include "app/core/scenarios/ScriptRunner.h"

#include "app/core/combs/CombList.h"
#include "app/core/shell/MainState.h"
#include "app/core/stats/MethodChoice.h"
#include "app/core/stats/StatFilter.h"
#include "engine/KelmaMsg.h"
#include "platform/DelphiText.h"
#include "support/RTextCompare.h"

#include <QLocale>

#include <algorithm>
#include <numeric>

namespace {

// ---------------------------------------------------------------------------------------------
// Row rules.

// Columns of TStatValues.
enum : int {
    vcCount, vcCountPercent, vcDeviation, vcDeviationPercent, vcDepth, vcDepthPercent,
    vcWeight, vcPeriodMin, vcPeriod, vcPeriodMax,
};

enum class TRule { Always, AtLeast, AtMost, InList, ValueInList };

struct TLevelRule {
    TRule Rule;
    int Column;
    bool Decimal;
    long double Default;
};

TLevelRule LevelRuleOf(int mode)
{
    constexpr long double none = 65535;
    switch (mode) {
    case LevelLMV: return {TRule::AtLeast, vcDepth, false, 0};
    case LevelLMP: return {TRule::AtLeast, vcDepthPercent, true, 0};
    case LevelLLV: return {TRule::AtMost, vcDepth, false, none};
    case LevelLLP: return {TRule::AtMost, vcDepthPercent, true, none};
    case LevelLDV: return {TRule::InList, vcDepth, false, 0};
    case LevelLDP: return {TRule::InList, vcDepthPercent, true, 0};
    case LevelDMV: return {TRule::AtLeast, vcDeviation, false, 0};
    case LevelDMP: return {TRule::AtLeast, vcDeviationPercent, true, 0};
    case LevelDLV: return {TRule::AtMost, vcDeviation, false, none};
    case LevelDLP: return {TRule::AtMost, vcDeviationPercent, true, none};
    case LevelDDV: return {TRule::InList, vcDeviation, false, 0};
    case LevelDDP: return {TRule::InList, vcDeviationPercent, true, 0};
    case LevelCMV: return {TRule::AtLeast, vcCount, false, 0};
    case LevelCMP: return {TRule::AtLeast, vcCountPercent, true, 0};
    case LevelCLV: return {TRule::AtMost, vcCount, false, none};
    case LevelCLP: return {TRule::AtMost, vcCountPercent, true, none};
    case LevelCDV: return {TRule::InList, vcCount, false, 0};
    case LevelCDP: return {TRule::InList, vcCountPercent, true, 0};
    case LevelWMV: return {TRule::AtLeast, vcWeight, true, 0};
    case LevelWLV: return {TRule::AtMost, vcWeight, true, 0};
    case LevelWDV: return {TRule::InList, vcWeight, true, 0};
    case LevelPIM: return {TRule::AtLeast, vcPeriodMin, false, 0};
    case LevelPIL: return {TRule::AtMost, vcPeriodMin, false, none};
    case LevelPIR: return {TRule::InList, vcPeriodMin, false, 0};
    case LevelPAM: return {TRule::AtLeast, vcPeriod, true, 0};
    case LevelPAL: return {TRule::AtMost, vcPeriod, true, 0};
    case LevelPAR: return {TRule::InList, vcPeriod, true, 0};
    case LevelPXM: return {TRule::AtLeast, vcPeriodMax, false, 0};
    case LevelPXL: return {TRule::AtMost, vcPeriodMax, false, none};
    case LevelPXR: return {TRule::InList, vcPeriodMax, false, 0};
    case LevelLVA: return {TRule::ValueInList, 0, false, 0};
    default: return {TRule::Always, 0, false, 0};
    }
}

// A cell as a number: integers by the integer rules, decimals with "," or "."; nullopt when
// the cell is not a number ("-" for a value the window has not seen).
std::optional<long double> CellNumber(const QString& text, bool decimal)
{
    if (decimal) {
        long double value = 0;
        if (TryStrToFloat(text, value))
            return value;
        return std::nullopt;
    }
    int value = 0;
    if (TryStrToInt(text.trimmed(), value))
        return value;
    return std::nullopt;
}

QStringList ListElements(const QString& text)
{
    QStringList elements;
    for (const QString& piece : QString(text).replace(u';', u',').split(u','))
        elements.append(piece.trimmed());
    return elements;
}

bool InList(const QString& list, const std::optional<long double>& cell, bool decimal)
{
    if (!cell)
        return false;
    for (const QString& element : ListElements(list)) {
        const long double value = decimal ? StrToFloat(element) : StrToInt(element);
        if (value == *cell)
            return true;
    }
    return false;
}

} // namespace

bool LevelRuleMatches(const TFilterPart& part, const TStatValues& row)
{
    const TLevelRule rule = LevelRuleOf(part.LevelMode);
    switch (rule.Rule) {
    case TRule::Always:
        return true;
    case TRule::ValueInList:
        for (const QString& element : ListElements(part.LevelText))
            if (StrToInt(element) == row.ValueNumber)
                return true;
        return false;
    case TRule::InList:
        return InList(part.LevelText, CellNumber(row.Columns[static_cast<std::size_t>(rule.Column)], rule.Decimal),
                      rule.Decimal);
    case TRule::AtLeast:
    case TRule::AtMost: {
        const long double threshold = StrToInt(part.LevelText);
        const long double cell = CellNumber(row.Columns[static_cast<std::size_t>(rule.Column)], rule.Decimal)
                                     .value_or(rule.Default);
        return rule.Rule == TRule::AtLeast ? cell >= threshold : cell <= threshold;
    }
    }
    return false;
}

bool StopRuleHolds(const TFilterPart& part, const TStatValues& row, int combCount, int steps)
{
    const long double stop = part.StopValue;
    switch (part.StopMode) {
    case StopSC:
        return !part.MultiSelect && combCount <= part.StopValue;
    case StopSV: {
        const long double count = CellNumber(row.Columns[vcCount], false).value_or(0);
        return part.BottomUp ? count >= stop : count <= stop;
    }
    case StopSP: {
        const long double percent = CellNumber(row.Columns[vcCountPercent], true).value_or(0);
        return part.BottomUp ? percent >= stop : percent <= stop;
    }
    case StopST:
        return steps >= part.StopValue;
    default:
        return false;
    }
}

TStatColumns StepColumns(const TFilterPart& part, bool logging)
{
    TStatColumns columns = StatColumnBit(scValue);
    const TLevelRule rule = LevelRuleOf(part.LevelMode);
    if (rule.Rule == TRule::AtLeast || rule.Rule == TRule::AtMost || rule.Rule == TRule::InList)
        columns |= StatColumnBit(StatValuesColumns[static_cast<std::size_t>(rule.Column)]);
    if (part.StopMode == StopSV)
        columns |= StatColumnBit(StatValuesColumns[vcCount]);
    if (part.StopMode == StopSP)
        columns |= StatColumnBit(StatValuesColumns[vcCountPercent]);
    // A logged row shows the value and the columns up to the weight.
    if (logging)
        for (int c = vcCount; c <= vcWeight; ++c)
            columns |= StatColumnBit(StatValuesColumns[static_cast<std::size_t>(c)]);
    return columns;
}

// ---------------------------------------------------------------------------------------------

TScriptStatTable::TScriptStatTable(TMainState& state, TStatTable& table, TStatFilter& filter)
    : FState(state), FTable(table), FFilter(filter)
{
    // A step reads the value and the columns of its rules, and sorts on numbers; a run
    // computes tables by the thousand, each in a blink.
    FTable.SetTextColumns(StatColumnBit(scValue));
    FTable.SetStatusInterval(StatusInterval);
}

bool TScriptStatTable::SelectMethod(const TStatMethod& method)
{
    const TStatList& list = FState.StatList();
    for (int i = 0; i < list.Count(); ++i) {
        if (&list.Items(i) != &method)
            continue;
        if (!OffersMethod(list, i, TMethodUse::Table))
            return false;
        if (FMethod != &method) {
            FMethod = &method;
            FCaption = list.MethodCaption(i, true);
        }
        return true;
    }
    return false;
}

void TScriptStatTable::SetSort(int column, bool descending)
{
    if (column == FSortColumn && descending == FDescending)
        return;
    FSortColumn = column;
    FDescending = descending;
    Sort();
}

void TScriptStatTable::Calc(bool force)
{
    const TStatCalcResult result = FTable.Calc(FMethod, FLength, force);
    if (result == TStatCalcResult::Unchanged)
        return;
    Sort();
}

const TCellTextOrder& TScriptStatTable::TextOrder()
{
    // The collation follows the locale; making one is dear, so it is kept while the locale is.
    const QLocale locale;
    if (!FTextOrder || !(FTextOrderLocale == locale)) {
        FTextOrder.emplace();
        FTextOrderLocale = locale;
        FCaptionKeys.clear();
    }
    return *FTextOrder;
}

void TScriptStatTable::Sort()
{
    // A selection names display rows, which a new order would give other values.
    FSelected.clear();
    const std::vector<TStatRow>& rows = FTable.Data().Rows;
    FOrder.resize(rows.size());
    std::iota(FOrder.begin(), FOrder.end(), 0);
    if (FSortColumn < 0 || FSortColumn >= StatColumnCount || rows.empty())
        return;
    // The order of the window's list views, so that a step walks the rows as the page would
    // show them. The keys come from the numbers behind the texts, read as the texts would be.
    const TCellTextOrder& order = TextOrder();
    const std::vector<TCellTextOrder::TKey> columnKeys = FTable.SortKeys(FSortColumn, order);
    if (FCaptionKeys.empty() || FCaptionKeysOf != FTable.Generation()) {
        FCaptionKeys = FTable.SortKeys(scValue, order);
        FCaptionKeysOf = FTable.Generation();
    }
    const std::vector<TCellTextOrder::TKey>& captionKeys = FCaptionKeys;
    // Equal texts are ordered by the value text; equal values keep the table's order.
    std::stable_sort(FOrder.begin(), FOrder.end(), [&](int a, int b) {
        const auto ia = static_cast<std::size_t>(a);
        const auto ib = static_cast<std::size_t>(b);
        int result = order.Compare(columnKeys[ia], columnKeys[ib]);
        if (result == 0)
            result = order.Compare(captionKeys[ia], captionKeys[ib]);
        if (FDescending)
            result = -result;
        return result < 0;
    });
}

TStatValues TScriptStatTable::RowValues(int row) const
{
    if (row < 0 || row >= RowCount())
        return GetStatRowValues(nullptr);
    return GetStatRowValues(&FTable.Data().Rows[static_cast<std::size_t>(FOrder[static_cast<std::size_t>(row)])]);
}

void TScriptStatTable::SelectRow(int row)
{
    if (row < 0 || row >= RowCount())
        return;
    if (std::find(FSelected.begin(), FSelected.end(), row) == FSelected.end())
        FSelected.push_back(row);
}

void TScriptStatTable::FilterSelected(TCustomStat& stat, bool deleteSelected)
{
    TFilterSelection selection;
    std::vector<int> rows = FSelected;
    std::sort(rows.begin(), rows.end());
    for (const int row : rows) {
        const TStatRow& data = FTable.Data().Rows[static_cast<std::size_t>(FOrder[static_cast<std::size_t>(row)])];
        selection.Add(data.Value, data.Texts[scValue]);
    }
    if (selection.IsEmpty())
        return;
    FFilter.FilterCombs(stat, selection, FCaption, deleteSelected, FFilterStatus.Due());
}

// ---------------------------------------------------------------------------------------------
// The filter step.

void TScriptRunner::RunStatFilterStep(const TFilterPart& part)
{
    if (!part.Method)
        return;
    const TStatMethod& method = *part.Method;
    FTable.ClearSelection();
    if (!FTable.SelectMethod(method))
        throw Exception(Format(LoadResString(rsMethodNotFound), {method.Code(), method.FullCaption()}));
    FTable.SetSort(part.SortOrder, true);
    // The stake comments keep the length as the line writes it; the table, the log and the
    // statistics page get the draws the window holds.
    const int length = StepWindowLength(part.DrawsLen);
    FTable.SetDrawsLen(length);
    FLastMethod = &method;
    FLastDrawsLen = length;
    LogFormat(rsLogComputingStat, {method.FullCaption(), length});

    // The table's key does not hold the weights: a step whose weights differ from those of
    // the last table recomputes, or the weight column would be stale.
    TStatList& list = FState.StatList();
    list.ApplyWeights(part.OwnWeights, part.Weights);
    const TStatWeights weights = list.Config().Weights;
    const bool force = !FTableWeights || !(*FTableWeights == weights);
    FTableWeights.reset();
    FTable.Calc(force);
    FTableWeights = weights;
    FTable.MakeTexts(StepColumns(part, FLogging));
    if (IsScriptStopped())
        return;

    std::unique_ptr<TCustomStat> stat = method.CreateStat(list);
    if (!stat)
        return;
    FilterByTable(*stat, part);
}

namespace {

QString RowText(const TStatValues& row)
{
    const auto& c = row.Columns;
    return Format(LoadResString(rsLogStatRow), {row.ValueText, c[vcCount], c[vcCountPercent], c[vcDeviation],
                                                c[vcDeviationPercent], c[vcDepth], c[vcDepthPercent], c[vcWeight]});
}

QString SelectText(int step, const TStatValues& row)
{
    const auto& c = row.Columns;
    return Format(LoadResString(rsLogSelectRow), {step, row.ValueText, c[vcCount], c[vcCountPercent], c[vcDeviation],
                                                  c[vcDeviationPercent], c[vcDepth], c[vcDepthPercent], c[vcWeight]});
}

} // namespace

void TScriptRunner::FilterByTable(TCustomStat& stat, const TFilterPart& part)
{
    const int count = FTable.RowCount();
    std::vector<TStatValues> rows;
    rows.reserve(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i)
        rows.push_back(FTable.RowValues(i));
    if (FLogging)
        for (const TStatValues& row : rows)
            Log(RowText(row));
    if (IsScriptStopped())
        return;
    for (TStatValues& row : rows)
        row.ValueNumber = stat.ValueFromText(row.ValueText);

    const QString keepText = LoadResString(part.KeepSelected ? rsLogKeepSelected : rsLogDeleteSelected);
    const auto filter = [&] {
        FCombs.SaveUndo(false);
        FTable.FilterSelected(stat, !part.KeepSelected);
        LogFormat(rsLogCombCount, {FCombs.Count()});
        FTable.ClearSelection();
    };
    const auto undoWhenEmpty = [&] {
        if (FCombs.Count() > 0)
            return false;
        Log(rsLogUndo);
        FCombs.RestoreUndo(false);
        return true;
    };

    int steps = 0;
    for (int j = 0; j < count; ++j) {
        const int r = part.BottomUp ? count - 1 - j : j;
        const TStatValues& row = rows[static_cast<std::size_t>(r)];
        if (IsScriptStopped())
            return;
        if (StopRuleHolds(part, row, FCombs.Count(), steps))
            break;
        if (part.MultiSelect) {
            if (LevelRuleMatches(part, row)) {
                FTable.SelectRow(r);
                if (FLogging)
                    Log(SelectText(steps + 1, row));
            }
            ++steps;
            continue;
        }
        if (!LevelRuleMatches(part, row))
            continue;
        FTable.ClearSelection();
        FTable.SelectRow(r);
        if (FLogging) {
            Log(SelectText(steps + 1, row));
            Log(keepText);
        }
        filter();
        if (undoWhenEmpty()) {
            if (part.StopMode == StopSZ)
                break;
            continue;
        }
        ++steps;
    }
    if (!part.MultiSelect || IsScriptStopped())
        return;
    Log(keepText);
    filter();
    undoWhenEmpty();
}
