#pragma once

#include "app/core/combs/CombList.h"
#include "engine/KelmaStatList.h"

#include <QString>

// The values chosen on screen for a filter: only their keys count for the test; their texts,
// joined by "; ", go into the applied-filters list.
struct TFilterSelection {
    TStatDrawArray Values;
    QString Text;

    bool IsEmpty() const { return Values.empty(); }
    void Add(const TStatValueRec& value, const QString& text);
    // A drawn digit as the value {digit, 0, 0, 0}; a digit already chosen is skipped, text
    // included. True when it was added.
    bool AddDigit(int digit, const QString& text);
};

// The filter pass that keeps or removes the combinations holding a chosen value of a statistic.
// The statistics table, the card, the layout and the weekday views gather their selections
// their own way and share this pass; the caller takes the undo copy first (SaveUndo), and the
// pass rebuilds the list from it.
class TStatFilter {
public:
    explicit TStatFilter(TCombListOps& combs) : FCombs(combs) {}

    // Rebuilds the list from the undo copy: a combination stays when the statistic's test
    // finds one of the selected values in it (deleteSelected off) or finds none (on). The
    // statistic sees the window that ends DrawsOffset draws before the newest. Adds a row to
    // the applied filters unless the undo copy is empty. A statistic that raises leaves the
    // list as the undo copy holds it (the undo copy is then used up) and the error passes on.
    // Without showStatus the busy state goes without its status text (and so without letting
    // the window's events through).
    void FilterCombs(TCustomStat& stat, const TFilterSelection& selection, const QString& caption,
                     bool deleteSelected, bool showStatus = true);
    // The same with a given statistic, or without one the method's statistic made for the pass
    // (no method: the error "Не выбран метод расчета статистики ...").
    void FilterCombsByStat(TCustomStat* stat, const TStatMethod* method,
                           const TFilterSelection& selection, const QString& caption,
                           bool deleteSelected);
    // The grids' selections must hold a value: raises "В выделенном диапазоне нет значений
    // для фильтра!" for an empty one.
    static void RequireValues(const TFilterSelection& selection);

    // The name of the method chooser, given in the error for a missing method.
    static constexpr char MethodChooserName[] = "cbDrawsStatType";

private:
    TCombListOps& FCombs;
};
