#include "app/ui/stats/StatPage.h"

#include "app/ui/shell/EnterKey.h"
#include "app/ui/stats/StatChart.h"
#include "app/ui/stats/MethodBox.h"
#include "app/ui/views/ViewRefresh.h"
#include "engine/KelmaMsg.h"
#include "platform/Exceptions.h"
#include "support/RDialogs.h"
#include "support/RLngDLL.h"
#include "support/RVclUtils.h"
#include "support/ui/QorListView.h"

#include <QChartView>
#include <QComboBox>
#include <QSignalBlocker>
#include <QSpinBox>

#include <algorithm>
#include <limits>
#include <utility>

namespace {

struct TColumnDef {
    TResString Caption;
    int Width;
    Qt::Alignment Alignment;
};

constexpr Qt::Alignment kRight = Qt::AlignRight;
constexpr Qt::Alignment kCentre = Qt::AlignHCenter;

const TColumnDef kColumns[StatColumnCount] = {
    {rsColValue, 120, Qt::AlignLeft},
    {rsColCount, 80, kRight},
    {rsColCountPercent, 80, kRight},
    {rsColNorm, 80, kRight},
    {rsColDeviation, 80, kRight},
    {rsColDeviationPercent, 80, kRight},
    {rsColDepth, 80, kRight},
    {rsColDepthPercent, 80, kRight},
    {rsColWeight, 80, kRight},
    {rsColLastDraw, 80, kCentre},
    {rsColPeriodMin, 80, kRight},
    {rsColPeriod, 80, kRight},
    {rsColPeriodMax, 80, kRight},
    {rsColExpectedPrd, 80, kCentre},
    {rsColExpectedStf, 80, kCentre},
    {rsColExpectedKrn, 80, kCentre},
    {rsColFact, 80, kCentre},
    {rsColDeltaPrd, 80, kCentre},
    {rsColDeltaStf, 80, kCentre},
    {rsColDeltaKrn, 80, kCentre},
};

// The norm and deviation columns, shown only with norms from the full combination set.
constexpr int kNormColumns[] = {scNorm, scDeviation, scDeviationPercent};

QString LanguageAbbrev()
{
    return GetLanguageAbbrev(GetCurrentLanguage());
}

} // namespace

TStatPage::TStatPage(TMainState& state, TStatTable& table, TStatFilter& filter, const TStatPageControls& controls,
                     QObject* parent)
    : QObject(parent), FState(state), FTable(table), FFilter(filter), FControls(controls)
{
    SetupList();
    FControls.Length->setRange(1, std::numeric_limits<int>::max());
    FControls.Length->setValue(DefaultLength);
    InitStatChart(FControls.Chart);
    connect(FControls.Methods, &QComboBox::currentIndexChanged, this, [this] { RecalcByUser(); });
    InstallEnterHandler(FControls.Length, [this] { RecalcByUser(); });
    FViewId = FState.RegisterView([this](bool force) { Refresh(force); });
}

TStatPage::~TStatPage()
{
    FState.UnregisterView(FViewId);
    // The list goes with the window; its items must not point at freed rows meanwhile.
    FControls.List->Items()->Clear();
}

void TStatPage::SetupList()
{
    TRSortListView* list = FControls.List;
    list->SetMultiSelect(true);
    for (const TColumnDef& column : kColumns)
        list->AddColumn(LoadResString(column.Caption), column.Width, column.Alignment);
    list->SetSortColumn(scCount);
    list->SetSortDirection(sdAscending);
    UpdateNormColumns();
}

QChart* TStatPage::Chart() const
{
    return FControls.Chart->chart();
}

void TStatPage::Refresh(bool force)
{
    // The page has no tab of its own to turn off.
    if (!RefreshInSight(*FControls.Page, true, force, [this] { FTable.ResetKey(); }))
        return;
    CalcStatTable(force);
}

void TStatPage::BindStatList()
{
    TStatList& list = FState.StatList();
    list.SetDraws(&FState.FDraws);
    list.RebuildMethods();
    QString error;
    if (!list.LoadFilterSettings(FState.FavoritesFileName(), true, LanguageAbbrev(), &error))
        ErrorBox(error);
}

void TStatPage::FillStatMethods(bool rebuild, bool keepSelection)
{
    QComboBox* box = FControls.Methods;
    TStatList& list = FState.StatList();
    {
        const QSignalBlocker blocker(box);
        const int remembered = keepSelection ? box->currentIndex() : 0;
        if (rebuild) {
            const QString fileName = FState.FavoritesFileName();
            QString error;
            if (!list.SaveFilterSettings(fileName, true, false, LanguageAbbrev(), &error))
                ErrorBox(error);
            list.RebuildMethods();
            list.SelectAllFavorites();
            if (!list.LoadFilterSettings(fileName, true, LanguageAbbrev(), &error))
                ErrorBox(error);
        }
        FillMethodBox(*box, OfferedMethods(list, TMethodUse::Table), remembered);
    }
    // The same item index may now name another method; the table is keyed by the method, so
    // this computes only when the method shown is no longer the one chosen.
    Refresh(false);
}

const TStatMethod* TStatPage::SelectedMethod() const
{
    const QComboBox* box = FControls.Methods;
    if (box->currentIndex() < 0)
        return nullptr;
    bool ok = false;
    const int index = box->currentData().toInt(&ok);
    const TStatList& list = FState.StatList();
    if (!ok || index < 0 || index >= list.Count())
        return nullptr;
    return &list.Items(index);
}

void TStatPage::ShowMethodAndLength(const TStatMethod& method, int length)
{
    const TStatList& list = FState.StatList();
    for (int i = 0; i < list.Count(); ++i) {
        if (&list.Items(i) != &method)
            continue;
        const int item = FControls.Methods->findData(i);
        if (item >= 0) {
            const QSignalBlocker blocker(FControls.Methods);
            FControls.Methods->setCurrentIndex(item);
        }
        break;
    }
    const QSignalBlocker blocker(FControls.Length);
    FControls.Length->setValue(std::clamp(length, FControls.Length->minimum(), FControls.Length->maximum()));
}

bool TStatPage::CanCalc() const
{
    return !FState.FDraws.empty() && SelectedMethod() != nullptr;
}

void TStatPage::ClearView()
{
    FControls.List->Items()->Clear();
    FRowData.clear();
    ClearStatChart(Chart());
    FShownCaption.clear();
}

void TStatPage::CalcStatTable(bool force)
{
    TStatCalcResult result = TStatCalcResult::Unchanged;
    try {
        result = FTable.Calc(SelectedMethod(), FControls.Length->value(), force);
    } catch (...) {
        ClearView();
        throw;
    }
    if (result == TStatCalcResult::Unchanged)
        return;
    ClearView();
    if (result != TStatCalcResult::Computed)
        return;
    TBusyScope busy;
    FShownCaption = FControls.Methods->currentText();
    ShowTable(FTable.Data());
    ShowStatChart(Chart(), FTable.Data());
}

void TStatPage::ShowTable(const TStatTableData& data)
{
    TRSortListView* list = FControls.List;
    list->BeginUpdate();
    FRowData.reserve(data.Rows.size());
    for (const TStatRow& row : data.Rows) {
        FRowData.push_back(std::make_unique<TStatRowData>(row));
        TRListItem item;
        item.Caption = row.Texts[scValue];
        for (int column = scValue + 1; column < StatColumnCount; ++column)
            item.SubItems.append(row.Texts[static_cast<size_t>(column)]);
        item.Data = FRowData.back().get();
        list->Items()->Add(item);
    }
    list->SortItems();
    list->EndUpdate();
}

void TStatPage::ResetStatKeys()
{
    FTable.ResetKey();
}

void TStatPage::UpdateNormColumns()
{
    const bool shown = FState.Options.Flag(TMainOptions::PrefetchsEnabled);
    for (const int column : kNormColumns) {
        if (!shown)
            FControls.List->SetColumnWidth(column, 0);
        else if (FControls.List->ColumnWidth(column) == 0)
            FControls.List->SetFittedColumnWidth(column, kColumns[column].Width);
    }
}

TStatValues TStatPage::GetStatRowValues(int row) const
{
    const TRListModel* items = FControls.List->Items();
    if (row < 0 || row >= items->Count())
        return ::GetStatRowValues(nullptr);
    const auto* data = static_cast<const TStatRowData*>(items->Item(row).Data);
    return ::GetStatRowValues(data ? &data->Row : nullptr);
}

TFilterSelection TStatPage::Selection() const
{
    TFilterSelection selection;
    const TRListModel* items = FControls.List->Items();
    for (const int row : FControls.List->SelectedRows()) {
        if (const auto* data = static_cast<const TStatRowData*>(items->Item(row).Data))
            selection.Add(data->Row.Value, data->Row.Texts[scValue]);
    }
    return selection;
}

bool TStatPage::HasSelection() const
{
    return FControls.List->SelectedCount() > 0;
}

void TStatPage::FilterCombsByStat(TCustomStat* stat, bool deleteSelected)
{
    const TFilterSelection selection = Selection();
    if (selection.IsEmpty())
        return;
    const QString caption = FShownCaption.isEmpty() ? FControls.Methods->currentText() : FShownCaption;
    if (stat) {
        FFilter.FilterCombs(*stat, selection, caption, deleteSelected);
        return;
    }
    // The rows were made by the statistic of the last computation, which need not be the
    // method chosen now: the values are tested by the statistic they belong to.
    const std::unique_ptr<TCustomStat> own = FTable.Data().CreateStat(FState.StatList());
    FFilter.FilterCombsByStat(own.get(), own ? nullptr : SelectedMethod(), selection, caption, deleteSelected);
}

void TStatPage::ToggleShowTotalLine()
{
    TBusyScope busy(LoadResString(rsCreatingCharts));
    FState.WriteOption(TMainOptions::ShowTotalLine, !FState.Options.Flag(TMainOptions::ShowTotalLine));
    ClearStatChart(Chart());
    CalcStatTable(true);
}

void TStatPage::TogglePrefetchsEnabled()
{
    TBusyScope busy;
    FState.WriteOption(TMainOptions::PrefetchsEnabled, !FState.Options.Flag(TMainOptions::PrefetchsEnabled));
    UpdateNormColumns();
    CalcStatTable(true);
}

void TStatPage::RecalcByUser()
{
    if (CanRecalc && !CanRecalc())
        return;
    try {
        CalcStatTable(false);
    } catch (const std::exception& e) {
        ErrorBox(ExceptionText(e));
    }
}
