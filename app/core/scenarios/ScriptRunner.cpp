// The scenario interpreter: the commands, the lines and their variants, the start list and
// the stakes.

#include "app/core/scenarios/ScriptRunner.h"

#include "app/core/combs/CombList.h"
#include "app/core/combs/CombsGen.h"
#include "app/core/shell/MainState.h"
#include "app/core/scenarios/ScriptList.h"
#include "app/core/scenarios/ScriptLog.h"
#include "app/core/stakes/StakeCommands.h"
#include "app/core/stakes/StakesFile.h"
#include "app/core/online/SystemCombs.h"
#include "engine/KelmaMsg.h"
#include "platform/DelphiText.h"
#include "platform/Exceptions.h"
#include "platform/ResString.h"
#include "support/RDialogs.h"
#include "support/RVclUtils.h"

#include <algorithm>
#include <exception>
#include <utility>

namespace {

const QString DashLine = QStringLiteral(
    "----------------------------------------------------------------------------------------------");
const QString EqualsLine = QStringLiteral(
    "==============================================================================================");

const TResString SLogRunFailed = RESSTR("ScriptRunner", "{ERROR} %s");

// Runs an action when the scope ends, on every path.
template <typename F>
class TFinally {
public:
    explicit TFinally(F action) : FAction(std::move(action)) {}
    ~TFinally() noexcept(false)
    {
        // An error of the action itself is not to hide the one already on its way.
        if (std::uncaught_exceptions() > FUncaught) {
            try {
                FAction();
            } catch (...) {
            }
        } else {
            FAction();
        }
    }
    TFinally(const TFinally&) = delete;
    TFinally& operator=(const TFinally&) = delete;

private:
    F FAction;
    int FUncaught = std::uncaught_exceptions();
};

// The code of a filter's method as the line writes it: word 2 up to its ":".
QString WrittenMethodCode(const TFilterItem& item)
{
    const qsizetype colon = item.MethodCode.indexOf(u':');
    return (colon < 0 ? item.MethodCode : item.MethodCode.left(colon)).trimmed();
}

QString DigitsText(TCombWord comb)
{
    return QString::number(CombDigit1(comb)) + u';' + QString::number(CombDigit2(comb));
}

} // namespace

TScriptRunner::TScriptRunner(TMainState& state, TCombListOps& combs, TCombsGen& gen, TStakesFile& stakes,
                             TStakeCommands& stakeCommands, const TScriptList& lines, TScriptLog& log,
                             IScriptTable& table)
    : FState(state), FCombs(combs), FGen(gen), FStakes(stakes), FStakeCommands(stakeCommands), FLines(lines),
      FLog(log), FTable(table)
{
}

// ---------------------------------------------------------------------------------------------
// Seams and state.

bool TScriptRunner::IsScriptStopped()
{
    if (ProcessEvents)
        ProcessEvents();
    return FState.FScriptStop;
}

void TScriptRunner::ShowScriptStatus(int lineNo, int variantNo, int variantCount, const QString& text)
{
    FStatus.Cycle = Format(LoadResString(rsStatusCycle), {FCycle});
    FStatus.Line = Format(LoadResString(rsStatusLine), {lineNo});
    FStatus.Stakes = Format(LoadResString(rsStatusStakes), {FStakeCount});
    FStatus.Filter = variantCount != 0 ? Format(LoadResString(rsStatusFilterOf), {variantNo, variantCount, text}) : text;
    if (ShowStatus)
        ShowStatus(FStatus);
    if (ProcessEvents)
        ProcessEvents();
}

void TScriptRunner::ShowStakeCount(bool fast)
{
    // Staking a whole list or system would spend its time on the status bar.
    if (fast && FStakeStatusTimer.isValid() && FStakeStatusTimer.elapsed() < 100)
        return;
    FStakeStatusTimer.start();
    FStatus.Stakes = Format(LoadResString(rsStatusStakes), {FStakeCount});
    if (ShowStatus)
        ShowStatus(FStatus);
}

void TScriptRunner::Log(const QString& text)
{
    if (!FLogging)
        return;
    const QString error = FLog.Write(text);
    if (!error.isEmpty())
        ErrorBox(error);
}

void TScriptRunner::LogBanner(int offset)
{
    if (!FLogging)
        return;
    Log(EqualsLine);
    Log(Format(LoadResString(rsLogScriptOffset), {offset}));
    Log(EqualsLine);
}

bool TScriptRunner::CanRun() const
{
    return !FState.FScriptRunning && IsNotWaiting();
}

bool TScriptRunner::CanTest() const
{
    return CanRun() && FState.FDraws.size() >= 2;
}

bool TScriptRunner::CanStop() const
{
    return FState.FScriptRunning && !FState.FScriptStop;
}

// ---------------------------------------------------------------------------------------------
// Commands.

void TScriptRunner::StartRun()
{
    FLogging = FLog.IsEnabled();
    if (FLogging) {
        FLog.Open();
        Log(LoadResString(rsLogScriptStart));
    }
    FState.FScriptRunning = true;
    FState.FScriptStop = false;
    FStakeCount = 0;
    FTableWeights.reset();
    FLastMethod = nullptr;
    FLastDrawsLen = 0;
    ShowScriptStatus(0, 0, 0, LoadResString(rsRunningScript));
    if (SetControlsEnabled)
        SetControlsEnabled(false);
    FSortColumn = FTable.SortColumn();
    FSortDescending = FTable.SortDescending();
}

QString TScriptRunner::FinishRun()
{
    const bool stopped = FState.FScriptStop;
    FCycle = 0;
    FState.FScriptRunning = false;
    FState.FScriptStop = false;
    if (!stopped)
        ShowScriptStatus(0, 0, 0, LoadResString(rsScriptFinished));
    FTable.SetSort(FSortColumn, FSortDescending);
    if (SetControlsEnabled)
        SetControlsEnabled(true);
    QString notice;
    if (FLogging) {
        Log(LoadResString(rsLogScriptEnd));
        notice = FLog.Close();
    }
    FLogging = false;
    return notice;
}

void TScriptRunner::RunToTheEnd(const std::function<void()>& body, const std::function<void()>& beforeFinish)
{
    std::exception_ptr failure;
    QString failureText;
    try {
        body();
    } catch (const std::exception& e) {
        failure = std::current_exception();
        failureText = ExceptionText(e);
    } catch (...) {
        failure = std::current_exception();
    }
    // The log tells why the run ended. A log that cannot take the entry is not worth a box
    // before the failure's own.
    if (failure && FLogging && !failureText.isEmpty())
        FLog.Write(Format(LoadResString(SLogRunFailed), {failureText}));

    QString notice;
    try {
        if (beforeFinish)
            beforeFinish();
        notice = FinishRun();
    } catch (...) {
        // The failure of the run is the one to tell.
        if (!failure)
            throw;
    }
    if (!failure) {
        if (!notice.isEmpty())
            ErrorBox(notice);
        return;
    }
    if (notice.isEmpty() || failureText.isEmpty()) {
        if (!notice.isEmpty())
            ErrorBox(notice);
        std::rethrow_exception(failure);
    }
    // One box for a failed run: the failure first, then what became of its log.
    throw Exception(failureText + QStringLiteral("\n\n") + notice);
}

void TScriptRunner::ScriptRun()
{
    if (FState.FScriptRunning)
        return;
    TBusyScope busy(LoadResString(rsRunningScript));
    // Nothing edits the archive while a run holds the busy state.
    const TArchiveStampScope archive(FState.FDraws);
    FCycle = 1;
    StartRun();
    RunToTheEnd(
        [this] {
            LogBanner(FState.DrawsOffset());
            RunScenarioLines();
        },
        {});
}

void TScriptRunner::ScriptTest()
{
    if (FState.FScriptRunning || FState.FDraws.size() < 2)
        return;
    const int largest = static_cast<int>(FState.FDraws.size()) - 1;
    int count = AskTestCount ? AskTestCount(largest) : 0;
    count = std::min(count, largest);
    if (count < 1)
        return;

    TBusyScope busy(LoadResString(rsRunningScript));
    const TArchiveStampScope archive(FState.FDraws);
    FCycle = 0;
    StartRun();
    const int offset = FState.DrawsOffset();
    const auto offsets = [this, count] {
        for (int k = count; k >= 1; --k) {
            ++FCycle;
            ShowScriptStatus(0, 0, 0, LoadResString(rsRunningScript));
            if (IsScriptStopped())
                break;
            FState.SetDrawsOffset(k);
            if (IsScriptStopped())
                break;
            LogBanner(k);
            if (IsScriptStopped())
                break;
            RunScenarioLines();
        }
    };
    RunToTheEnd(offsets, [this, offset] {
        // After "Стоп" the offset stays at the one being tested; after an error it goes back,
        // so that later forecasts and stakes are for the right draw.
        if (!FState.FScriptStop && FState.DrawsOffset() != offset)
            FState.SetDrawsOffset(offset);
    });
}

bool TScriptRunner::ScriptStop()
{
    if (!CanStop())
        return false;
    if (ConfirmBoxDefNo(LoadResString(rsAskStopScript)) != IDYES)
        return false;
    Log(LoadResString(rsLogScriptAborted));
    FState.FScriptStop = true;
    if (SetControlsEnabled)
        SetControlsEnabled(false);
    return true;
}

// ---------------------------------------------------------------------------------------------
// Lines.

void TScriptRunner::CheckAllStakes()
{
    if (CheckStakes)
        CheckStakes();
    if (RefreshStakesGrid)
        RefreshStakesGrid();
}

void TScriptRunner::RunScenarioLines()
{
    if (FStakes.HasStakes() && FStakes.ReadStake(TStakesFile::soFromEnd, -1).DrawNumber > 0)
        FStakes.AppendStake(InitStakeRec(), 1);

    FCombs.ClearBufferKey();
    TStatList& list = FState.StatList();
    list.BackupWeights();
    TFinally restore([this, &list] {
        list.RestoreWeights();
        FCombs.ClearBufferKey();
    });

    const QStringList& lines = FLines.Lines();
    for (int i = 0; i < lines.size(); ++i) {
        if (IsScriptStopped())
            break;
        const QString& text = lines[i];
        // A line of blanks separates groups of lines; it holds nothing to run.
        if (text.isEmpty() || IsScriptSeparatorLine(text))
            continue;
        if (SelectLine)
            SelectLine(i);
        if (FLogging) {
            Log(DashLine);
            Log(Format(LoadResString(rsLogRunningLine), {i + 1, text}));
            Log(DashLine);
        }
        RunScenarioLine(i, text);
        if (SelectLine)
            SelectLine(-1);
        if (IsScriptStopped())
            break;
    }
    if (!FState.Options.Flag(TMainOptions::StakesCheckOnLine))
        CheckAllStakes();
}

std::optional<std::int64_t> TScriptRunner::VariantCount(const std::vector<std::vector<TFilterPart>>& slotParts)
{
    if (slotParts.empty())
        return 0;
    std::int64_t count = 1;
    for (const auto& slot : slotParts) {
        count *= static_cast<std::int64_t>(slot.size());
        if (count > MaxFilterVariants)
            return std::nullopt;
    }
    return count;
}

void TScriptRunner::RunScenarioLine(int index, const QString& text)
{
    FCombs.ClearUndo();
    TFinally clearUndo([this] { FCombs.ClearUndo(); });

    const TScriptOptions options = ParseScriptOptions(GetScriptLineOptions(text));
    if (IsScriptStopped())
        return;

    std::vector<TFilterItem> items;
    for (int n = 1; n <= ScriptFilterCount; ++n) {
        const QString field = GetScriptLineFilter(text, n);
        if (field.trimmed().isEmpty())
            continue;
        TFilterItem item = ParseFilterItem(field, FState.StatList());
        // A code no method of this program has (a line from another variant of it) cannot
        // be run: the run ends naming the code as the line writes it.
        if (!item.Method)
            throw Exception(Format(LoadResString(rsMethodNotFound), {WrittenMethodCode(item), field.trimmed()}));
        items.push_back(std::move(item));
    }
    if (IsScriptStopped())
        return;

    const int lineNo = index + 1;
    Log(LoadResString(rsCreatingFilterVariants));
    ShowScriptStatus(lineNo, 0, 0, LoadResString(rsCreatingFilterVariants));
    // Each slot's variants are made once; a variant of the line is one pick per slot, so the
    // cross product is walked without holding it in memory.
    std::vector<std::vector<TFilterPart>> slotParts;
    std::optional<std::int64_t> counted;
    try {
        for (const TFilterItem& item : items) {
            slotParts.push_back(ExpandFilterItem(item));
            if (IsScriptStopped())
                return;
        }
        counted = VariantCount(slotParts);
    } catch (const ETooManyFilterVariants&) {
    }
    if (!counted) {
        FState.FScriptStop = true;
        ErrorBox(LoadResString(rsTooManyFilterVariants));
        return;
    }
    const std::int64_t count = *counted;
    Log(Format(LoadResString(rsLogVariantsCreated), {count}));
    if (IsScriptStopped())
        return;

    FLineNo = lineNo;
    FNewOnly = options.NewOnly;
    FComment = GetScriptLineComment(text);
    const QString optionsText = ScriptOptionsCommentText(options);

    if (count == 0) {
        TFinally check([this] {
            if (FState.Options.Flag(TMainOptions::StakesCheckOnLine))
                CheckAllStakes();
        });
        Log(LoadResString(rsLogNoFilters));
        Log(QString());
        ShowScriptStatus(lineNo, 0, 0, optionsText);
        Log(LoadResString(rsLogMakingStartList));
        MakeStartList(options);
        Log(Format(LoadResString(rsLogCombCount), {FCombs.Count()}));
        if (IsScriptStopped())
            return;
        FVariantNo = 0;
        RunActionStep(options.ResultCombsMode, optionsText);
        return;
    }

    for (std::int64_t k = 1; k <= count; ++k) {
        if (IsScriptStopped())
            return;
        TFilterParts parts{};
        std::int64_t rest = k - 1;
        for (std::size_t s = slotParts.size(); s-- > 0;) {
            const auto size = static_cast<std::int64_t>(slotParts[s].size());
            parts[s] = slotParts[s][static_cast<std::size_t>(rest % size)];
            rest /= size;
        }
        TFinally check([this] {
            if (FState.Options.Flag(TMainOptions::StakesCheckOnLine))
                CheckAllStakes();
        });
        const QString partsText = FilterPartsText(parts);
        if (FLogging) {
            Log(QString());
            Log(DashLine);
            Log(Format(LoadResString(rsLogApplyingFilterSet), {k, partsText}));
            Log(DashLine);
        }
        ShowScriptStatus(lineNo, static_cast<int>(k), static_cast<int>(count), partsText);
        Log(LoadResString(rsLogMakingStartList));
        MakeStartList(options);
        Log(Format(LoadResString(rsLogCombCount), {FCombs.Count()}));
        if (IsScriptStopped())
            return;
        ApplyFilterParts(parts);
        if (IsScriptStopped())
            return;
        FVariantNo = static_cast<int>(k);
        RunActionStep(options.ResultCombsMode, optionsText + QStringLiteral(" + ") + partsText);
        if (IsScriptStopped())
            return;
        Log(DashLine);
    }
}

void TScriptRunner::MakeStartList(const TScriptOptions& options)
{
    if (options.StartCombsType == StartFull || options.StartCombsType == StartExcl)
        FGen.BuildCombs(false, FGen.DefaultSettings());
    if (IsScriptStopped())
        return;
    if (options.StartCombsType == StartExcl && options.DrawsExclude > 0) {
        const int offset = FState.DrawsOffset();
        if (!FCombs.LoadBuffer(offset, options.DrawsExclude)) {
            FCombs.SaveUndo(false);
            FCombs.DeleteCombsOfLastDraws(options.DrawsExclude);
            FCombs.SaveBuffer(offset, options.DrawsExclude);
        }
    }
    if (IsScriptStopped())
        return;
    if (options.ClearStakes) {
        if (FStakes.IsOpen())
            FStakes.DeleteStakes([](qint64, const TStakeRec&) { return false; });
        if (RefreshStakesGrid)
            RefreshStakesGrid();
    }
}

void TScriptRunner::ApplyFilterParts(const TFilterParts& parts)
{
    for (const TFilterPart& part : parts) {
        if (part.Used == 0)
            continue;
        if (FCombs.Count() < 2 || IsScriptStopped())
            return;
        RunStatFilterStep(part);
    }
}

// ---------------------------------------------------------------------------------------------
// Stakes.

void TScriptRunner::RunActionStep(int action, const QString& stepText)
{
    FStepText = stepText;
    Log(Format(LoadResString(rsLogAddStake), {AmbiguityActionCaption(action)}));
    const int count = FCombs.Count();
    if (count == 0 || action == ActionNone)
        return;
    if (count > 1 && action == ActionStop) {
        FState.FScriptStop = true;
        Log(LoadResString(rsLogScriptStopped));
        AttentionBox(Format(LoadResString(rsScriptAmbiguousStop),
                            {count, StakeCommentText(FLineNo, FVariantNo, FComment, stepText)}));
        return;
    }
    if (count > 1 && action == ActionSkip) {
        Log(LoadResString(rsLogStakeSkipped));
        return;
    }
    if (IsScriptStopped())
        return;
    if (count == 1) {
        RunStakeStep(FCombs.Comb(0), false);
    } else {
        switch (action) {
        case ActionRand: {
            std::uniform_int_distribution<int> pick(0, count - 1);
            RunStakeStep(FCombs.Comb(pick(FRandom)), false);
            break;
        }
        case ActionFirst:
            RunStakeStep(FCombs.Comb(0), false);
            break;
        case ActionLast:
            RunStakeStep(FCombs.Comb(count - 1), false);
            break;
        case ActionAll:
            for (int i = 0; i < count; ++i) {
                if (IsScriptStopped())
                    break;
                RunStakeStep(FCombs.Comb(i), true);
            }
            break;
        case ActionSysA:
            RunSystemStep(false);
            break;
        case ActionSysC:
            RunSystemStep(true);
            break;
        default:
            return;
        }
    }
    ShowStakeCount(false);
    if (RefreshStakesGrid)
        RefreshStakesGrid();
}

bool TScriptRunner::RunStakeStep(TCombWord comb, bool fast)
{
    TStakeRec rec = InitStakeRec();
    rec.Origin = soScript;
    rec.DrawNumber = FStakeCommands.StakeDrawNumber();
    rec.Comment.Set(StakeCommentText(FLineNo, FVariantNo, FComment, FStepText).left(255));
    rec.Checked = 0;
    rec.SelectionSize = FCombs.Count();
    rec.Digits.Count = DrawDigits;
    rec.Digits.Digits[0] = CombDigit1(comb);
    rec.Digits.Digits[1] = CombDigit2(comb);
    rec.Matches.Count = -1;
    rec.Balance = FState.StatList().StakeBalance(rec.Digits.Count, -1);

    bool staked = false;
    if (FNewOnly && FStakes.StakeExists(rec.DrawNumber, rec.Digits)) {
        Log(Format(LoadResString(rsLogStakeExists), {rec.DrawNumber, DigitsText(comb)}));
    } else if (FStakeCommands.CreateStakes(rec, 1, fast)) {
        Log(Format(LoadResString(rsLogStakeAdded), {rec.DrawNumber, DigitsText(comb)}));
        ++FStakeCount;
        staked = true;
    }
    ShowStakeCount(fast);
    return staked;
}

void TScriptRunner::RunSystemStep(bool combined)
{
    TByteArray numbers;
    for (int i = 0; i < FCombs.Count() && numbers.size() < 10; ++i) {
        const TCombWord comb = FCombs.Comb(i);
        for (const std::uint8_t digit : {CombDigit1(comb), CombDigit2(comb)})
            if (!ByteArrayContains(numbers, digit))
                numbers.push_back(digit);
    }
    const int count = static_cast<int>(numbers.size());
    TSystemCombs system;
    if (!LoadSystemCombs(SystemCacheFolder(FState.DataDir()), numbers, system)) {
        Log(Format(LoadResString(rsLogSystemError), {count, system.Error}));
        return;
    }
    Log(Format(LoadResString(combined ? rsLogSystemCombined : rsLogSystemWhole), {count, system.FileName}));
    for (const TCombWord comb : system.Combs) {
        const std::uint8_t a = CombDigit1(comb);
        const std::uint8_t b = CombDigit2(comb);
        const TCombWord sorted = MakeComb(std::min(a, b), std::max(a, b));
        if (combined && !FCombs.CombInList(sorted))
            continue;
        RunStakeStep(sorted, true);
    }
}
