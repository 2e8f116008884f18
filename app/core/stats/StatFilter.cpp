#include "app/core/stats/StatFilter.h"

#include "engine/KelmaMsg.h"
#include "platform/Exceptions.h"
#include "support/RStrUtils.h"
#include "support/RVclUtils.h"

#include <algorithm>

void TFilterSelection::Add(const TStatValueRec& value, const QString& text)
{
    Values.push_back(value);
    Text = AddDelimStr(Text, text, QStringLiteral("; "));
}

bool TFilterSelection::AddDigit(int digit, const QString& text)
{
    const TStatKey key = WordKey(digit);
    for (const TStatValueRec& value : Values)
        if (value.Key == key)
            return false;
    TStatValueRec value;
    value.Key = key;
    Add(value, text);
    return true;
}

void TStatFilter::FilterCombs(TCustomStat& stat, const TFilterSelection& selection,
                              const QString& caption, bool deleteSelected, bool showStatus)
{
    TBusyScope busy(showStatus ? LoadResString(rsFilteringCombs) : QString());
    TMainState& state = FCombs.State();
    TCombList& combs = state.FCombs;
    TCombList& undo = state.FUndoCombs;
    const int undoCount = CombsUsed(undo);
    SetCombsCapacity(combs, undoCount, 0);
    if (undoCount > 0) {
        try {
            const int last = std::max(0, static_cast<int>(state.FDraws.size()) - 1 - state.DrawsOffset());
            const bool sorted = state.Options.Flag(TMainOptions::SortedDraws);
            stat.LoadDraws(-1, last, sorted);
            // The store holds room for every combination of the undo copy, so the loop only
            // tests and copies.
            const TStatDrawArray& selected = selection.Values;
            const TCombWord* from = undo.Items.data();
            TCombWord* to = combs.Items.data();
            int kept = 0;
            for (int i = 0; i < undoCount; ++i) {
                const TCombWord comb = from[i];
                if (stat.Test(comb, selected, last, sorted, deleteSelected) != deleteSelected)
                    to[kept++] = comb;
            }
            combs.Count = kept;
            FCombs.AddFilterHistory(deleteSelected, caption, selection.Text);
        } catch (...) {
            // A list rebuilt half-way matches no filter: it goes back to what the pass started
            // from. Nothing is left to undo, and the error goes on to the caller.
            CopyCombList(undo, combs);
            undo.Count = 0;
            FCombs.RefreshCombsView();
            throw;
        }
    }
    FCombs.RefreshCombsView();
}

void TStatFilter::FilterCombsByStat(TCustomStat* stat, const TStatMethod* method,
                                    const TFilterSelection& selection, const QString& caption,
                                    bool deleteSelected)
{
    if (stat) {
        FilterCombs(*stat, selection, caption, deleteSelected);
        return;
    }
    const std::unique_ptr<TCustomStat> own = FCombs.State().StatList().CreateSelectedStat(
        method, QLatin1String(MethodChooserName));
    FilterCombs(*own, selection, caption, deleteSelected);
}

void TStatFilter::RequireValues(const TFilterSelection& selection)
{
    if (selection.IsEmpty())
        throw Exception(LoadResString(rsNoValuesInSelection));
}
