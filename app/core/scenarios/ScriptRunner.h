#pragma once

// The scenario interpreter: runs the lines of the current scenario against the combination
// list and turns each line into stakes on the next draw. "Прогноз" runs the lines once for the
// current draws offset; "Тест" runs them for each of the N newest offsets, as if those draws
// had not been drawn yet, so that the stakes are scored against known draws.
//
// No window: the statistics table is reached through IScriptTable (the window wraps the core
// table to show it), and the status bar, the stop poll, the stake check and the test-count
// question are seams.

#include "app/core/scenarios/KelmaScr.h"
#include "app/core/stats/StatTable.h"
#include "app/core/stats/StatusCadence.h"
#include "platform/DelphiText.h"
#include "platform/ResString.h"

#include <QLocale>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <memory>
#include <optional>
#include <random>
#include <vector>

class TCombListOps;
class TCombsGen;
class TMainState;
class TScriptList;
class TScriptLog;
class TStakeCommands;
class TStakesFile;
class TStatFilter;

// ---------------------------------------------------------------------------------------------
// The statistics table as a filter step uses it.

class IScriptTable {
public:
    virtual ~IScriptTable() = default;

    // Chooses the method; false when the table does not offer it.
    virtual bool SelectMethod(const TStatMethod& method) = 0;
    virtual void SetDrawsLen(int length) = 0;
    // Sort column (a table column) and direction; rows are read in this order.
    virtual void SetSort(int column, bool descending) = 0;
    virtual int SortColumn() const = 0;
    virtual bool SortDescending() const = 0;
    // Computes the table of the chosen method and length; without force only when what it
    // depends on changed since the last computation.
    virtual void Calc(bool force) = 0;

    // Makes the rows' texts of the columns (a set of table columns) that a step reads; the
    // value column's are always there.
    virtual void MakeTexts(TStatColumns columns) = 0;
    virtual int RowCount() const = 0;
    // The texts of a row in display order (the value number left 0); a column whose texts were
    // not made is empty.
    virtual TStatValues RowValues(int row) const = 0;

    virtual void ClearSelection() = 0;
    // Adds the row to the selection.
    virtual void SelectRow(int row) = 0;
    // Filters the combination list by the selected rows with the statistic, keeping or deleting
    // the combinations that hold one of their values; the caller has taken the undo copy. No
    // selected row: nothing happens.
    virtual void FilterSelected(TCustomStat& stat, bool deleteSelected) = 0;
};

// The table without a window, over the core statistics table and the filter pass.
class TScriptStatTable : public IScriptTable {
public:
    TScriptStatTable(TMainState& state, TStatTable& table, TStatFilter& filter);

    bool SelectMethod(const TStatMethod& method) override;
    void SetDrawsLen(int length) override { FLength = length; }
    void SetSort(int column, bool descending) override;
    int SortColumn() const override { return FSortColumn; }
    bool SortDescending() const override { return FDescending; }
    void Calc(bool force) override;
    void MakeTexts(TStatColumns columns) override { FTable.MakeTexts(columns); }
    int RowCount() const override { return static_cast<int>(FOrder.size()); }
    TStatValues RowValues(int row) const override;
    void ClearSelection() override { FSelected.clear(); }
    void SelectRow(int row) override;
    void FilterSelected(TCustomStat& stat, bool deleteSelected) override;

    // The computed rows in display order (the index into the table's rows).
    const std::vector<int>& Order() const { return FOrder; }

    // How often the table and its filter passes let the window's events through while a run
    // computes.
    static constexpr int StatusInterval = 100;

private:
    void Sort();
    const TCellTextOrder& TextOrder();

    TMainState& FState;
    TStatTable& FTable;
    TStatFilter& FFilter;
    const TStatMethod* FMethod = nullptr;
    QString FCaption;
    int FLength = 0;
    int FSortColumn = scCount;
    bool FDescending = false;
    std::vector<int> FOrder;
    std::vector<int> FSelected;   // display rows
    TStatusCadence FFilterStatus{StatusInterval};
    std::optional<TCellTextOrder> FTextOrder;
    QLocale FTextOrderLocale;
    // The value column's keys, kept while the rows are those of one computation.
    std::vector<TCellTextOrder::TKey> FCaptionKeys;
    std::uint64_t FCaptionKeysOf = 0;
};

// ---------------------------------------------------------------------------------------------
// Row selection.

// Whether a row passes the level rule of a step. At-least and at-most modes compare a column
// with the step's threshold (LevelText read as an integer; a text that is not one raises
// EConvertError); a cell that is not a number reads as the mode's default. List modes look
// the cell up in the list of LevelText; a cell that is not a number matches no element.
bool LevelRuleMatches(const TFilterPart& part, const TStatValues& row);

// Whether the walk of a step ends before a row: `combCount` combinations in the list, `steps`
// counted so far. Single mode tests every stop mode; multi mode all but SC.
bool StopRuleHolds(const TFilterPart& part, const TStatValues& row, int combCount, int steps);

// The table columns a step reads: the value, the columns of its level and stop rules and, for
// the log, those a logged row shows.
TStatColumns StepColumns(const TFilterPart& part, bool logging);

// ---------------------------------------------------------------------------------------------
// The interpreter.

// Texts of the scenario status bar: panels 1 to 4.
struct TScriptStatus {
    QString Cycle;     // "Цикл: %d"
    QString Line;      // "Строка: %d"
    QString Stakes;    // "Ставок: %d"
    QString Filter;    // "Фильтр %d из %d: %s", or a text alone
};

class TScriptRunner {
public:
    TScriptRunner(TMainState& state, TCombListOps& combs, TCombsGen& gen, TStakesFile& stakes,
                  TStakeCommands& stakeCommands, const TScriptList& lines, TScriptLog& log,
                  IScriptTable& table);
    TScriptRunner(const TScriptRunner&) = delete;
    TScriptRunner& operator=(const TScriptRunner&) = delete;

    // --- Seams ----------------------------------------------------------------------------
    // Lets the window handle its pending messages ("Стоп" and the close request among them).
    std::function<void()> ProcessEvents;
    // Writes the status panels of the scenario tab.
    std::function<void(const TScriptStatus& status)> ShowStatus;
    // Scores the stakes and reloads what the scoring changed (the stakes file and ratings).
    std::function<void()> CheckStakes;
    // The stakes grid follows the file.
    std::function<void()> RefreshStakesGrid;
    // The test-count question: a count from 1 to `largest`; below 1 when cancelled.
    std::function<int(int largest)> AskTestCount;
    // Disables (false) or enables (true) the draws, combinations and statistics pages and the
    // scenario list, and updates the commands.
    std::function<void(bool enabled)> SetControlsEnabled;
    // Selects the scenario line alone; -1 clears the selection.
    std::function<void(int line)> SelectLine;

    // Seeds the generator that RAND draws from (the window seeds it from the clock).
    void SeedRandom(std::uint32_t seed) { FRandom.seed(seed); }

    // --- Commands -------------------------------------------------------------------------
    // "Прогноз": the lines once for the current draws offset. Errors pass to the caller after
    // the run's state, controls, sort order, weights and busy state are restored.
    void ScriptRun();
    // "Тест": the lines for each offset from N down to 1. The stakes are scored as in a run:
    // after the lines of each offset, or after each variant with StakesCheckOnLine, so that the
    // ratings and the stakes log follow the test while it goes. After an error the offset goes
    // back to where it was; after a stop it stays at the offset being tested. Errors pass to
    // the caller as above.
    void ScriptTest();
    // "Стоп": asks, then sets the stop flag. True when the run is to stop.
    bool ScriptStop();

    bool CanRun() const;
    bool CanTest() const;
    bool CanStop() const;

    // Run state.
    int Cycle() const { return FCycle; }
    int StakeCount() const { return FStakeCount; }
    const TScriptStatus& Status() const { return FStatus; }
    // The method and draws length that the last filter step of the last run or test chose in
    // the statistics table (what the table is left showing); no method when no step ran.
    const TStatMethod* LastStepMethod() const { return FLastMethod; }
    int LastStepDrawsLen() const { return FLastDrawsLen; }

    // The variants of a line's filters, slot 1 varying slowest; nullopt past MaxFilterVariants.
    static std::optional<std::int64_t> VariantCount(const std::vector<std::vector<TFilterPart>>& slotParts);

private:
    bool IsScriptStopped();
    void ShowScriptStatus(int lineNo, int variantNo, int variantCount, const QString& text);
    void ShowStakeCount(bool fast);
    void Log(const QString& text);
    // The log's texts are made only while the run is logged: a run makes thousands of them.
    void Log(const TResString& text);
    void LogFormat(const TResString& format, std::initializer_list<TVarRec> args);
    void LogBanner(int offset);

    void StartRun();
    // Restores the run's state and closes its log; what became of the log when the desktop
    // did not open it, else empty. A failed run is told as stopped, not as finished.
    QString FinishRun(bool failed);
    // Runs the command's body, then beforeFinish and FinishRun on every path. A failure is
    // logged and passed on, with what became of the log in the same message, so that the
    // failure is the run's one box.
    void RunToTheEnd(const std::function<void()>& body, const std::function<void()>& beforeFinish);
    void RunScenarioLines();
    void RunScenarioLine(int index, const QString& text);
    void RunVariant(int lineIndex, std::int64_t k, std::int64_t count, const TFilterParts& parts);
    void MakeStartList(const TScriptOptions& options);
    void ApplyFilterParts(const TFilterParts& parts);
    void RunStatFilterStep(const TFilterPart& part);
    void FilterByTable(TCustomStat& stat, const TFilterPart& part);
    void RunActionStep(int action, const QString& stepText);
    bool RunStakeStep(TCombWord comb, bool fast);
    void RunSystemStep(bool combined);
    void CheckAllStakes();

    TMainState& FState;
    TCombListOps& FCombs;
    TCombsGen& FGen;
    TStakesFile& FStakes;
    TStakeCommands& FStakeCommands;
    const TScriptList& FLines;
    TScriptLog& FLog;
    IScriptTable& FTable;

    std::mt19937 FRandom{5489u};
    bool FLogging = false;
    int FCycle = 0;
    int FStakeCount = 0;
    TScriptStatus FStatus;
    TStatusCadence FStakeStatus{TScriptStatTable::StatusInterval};
    int FSortColumn = 0;
    bool FSortDescending = false;
    // Weights the table was last computed with in this run; none before the first table.
    std::optional<TStatWeights> FTableWeights;
    const TStatMethod* FLastMethod = nullptr;
    int FLastDrawsLen = 0;

    // The line being run, for the stake comments.
    int FLineNo = 0;
    int FVariantNo = 0;
    bool FNewOnly = false;
    QString FComment;
    QString FStepText;
};
