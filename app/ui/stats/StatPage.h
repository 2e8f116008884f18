#pragma once

#include "app/core/shell/MainState.h"
#include "app/core/stats/StatFilter.h"
#include "app/core/stats/StatTable.h"
#include "support/ui/RListItems.h"

#include <QObject>

#include <functional>
#include <memory>
#include <vector>

class QChart;
class QChartView;
class QComboBox;
class QSpinBox;
class QWidget;
class TRSortListView;

// What a row of lvDrawsStat carries: its own copy of the value (with its expected count) and
// of the texts it shows, so that a filter reads the row as it was computed whatever happens to
// the table afterwards.
struct TStatRowData : TRItemData {
    explicit TStatRowData(const TStatRow& row) : Row(row) {}
    TStatRow Row;
};

// The widgets of the statistics page.
struct TStatPageControls {
    QWidget* Page = nullptr;               // tsDrawsStat
    QComboBox* Methods = nullptr;          // cbDrawsStatType
    QSpinBox* Length = nullptr;            // edDrawsStatLen
    TRSortListView* List = nullptr;        // lvDrawsStat
    QChartView* Chart = nullptr;           // crtDrawsStat
};

// The statistics page: the method list, the window length, the table of the chosen method and
// its chart. The computation is the core's TStatTable; the page shows what it produced, hands
// the selected rows to the statistic filter and keeps the method lists filled.
class TStatPage : public QObject {
    Q_OBJECT

public:
    TStatPage(TMainState& state, TStatTable& table, TStatFilter& filter, const TStatPageControls& controls,
              QObject* parent);
    ~TStatPage() override;

    // The view's place in RefreshViews: a page out of sight computes nothing (a forced refresh
    // it missed makes its next refresh run whatever the key).
    void Refresh(bool force);

    // Binds the engine to the archive and reads the favourites file (<program>.flt).
    void BindStatList();
    // Fills the method list: with rebuild the methods are made anew (favourites kept through
    // the favourites file); with keepSelection the same item index is chosen again. The table
    // is then computed again when the chosen method differs from the one shown.
    void FillStatMethods(bool rebuild, bool keepSelection);
    // The method of the chosen item; nullptr when none.
    const TStatMethod* SelectedMethod() const;
    // Chooses the method's item and the window length without computing (the caller refreshes
    // the views): what the table is left at after a scenario's filter steps. The length is held
    // within the editor's limits; a method the list does not offer leaves the choice as it is.
    void ShowMethodAndLength(const TStatMethod& method, int length);

    // Computes and shows the table; without force nothing happens while the key is unchanged.
    // Errors of the computation pass on with the list and the chart empty.
    void CalcStatTable(bool force);
    // The next computation runs whatever the key.
    void ResetStatKeys();
    // Columns 3 to 5 (norm and deviation) are shown only with PrefetchsEnabled.
    void UpdateNormColumns();

    // The row as the scenario interpreter compares it; cleared values for a row outside the list.
    TStatValues GetStatRowValues(int row) const;
    // The values of the selected rows, top to bottom, with their texts.
    TFilterSelection Selection() const;
    bool HasSelection() const;
    // Keeps or removes the combinations that have a selected value, tested with the statistic
    // given or, without one, with the statistic that produced the rows shown. The undo copy is
    // the caller's (SaveUndo).
    void FilterCombsByStat(TCustomStat* stat, bool deleteSelected);

    // Commands.
    bool CanCalc() const;
    void ToggleShowTotalLine();
    void TogglePrefetchsEnabled();

    // Runs the method change and Enter in the length editor through this check (the enabling
    // rule of DrawsStatCalc); set by the window.
    std::function<bool()> CanRecalc;

    // Default sizes of the page.
    static constexpr int DefaultLength = 1000;
    static constexpr int DefaultChartHeight = 200;

    QChart* Chart() const;
    // The caption of the method whose rows are shown.
    const QString& ShownCaption() const { return FShownCaption; }

private:
    void SetupList();
    void ClearView();
    void ShowTable(const TStatTableData& data);
    void ShowChart(const TStatTableData& data);
    void RecalcByUser();

    TMainState& FState;
    TStatTable& FTable;
    TStatFilter& FFilter;
    TStatPageControls FControls;
    std::vector<std::unique_ptr<TStatRowData>> FRowData;
    QString FShownCaption;
    int FViewId = 0;
};
