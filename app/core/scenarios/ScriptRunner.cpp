// The scenario interpreter: its seams, its state and the commands.

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

const QString EqualsLine = QStringLiteral(
    "==============================================================================================");

const TResString SLogRunFailed = RESSTR("ScriptRunner", "{ERROR} %s");

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
    if (!fast)
        FStakeStatus.Restart();
    else if (!FStakeStatus.Due())
        return;
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

void TScriptRunner::Log(const TResString& text)
{
    if (FLogging)
        Log(LoadResString(text));
}

void TScriptRunner::LogFormat(const TResString& format, std::initializer_list<TVarRec> args)
{
    if (FLogging)
        Log(Format(LoadResString(format), args));
}

void TScriptRunner::LogBanner(int offset)
{
    if (!FLogging)
        return;
    Log(EqualsLine);
    LogFormat(rsLogScriptOffset, {offset});
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
        Log(rsLogScriptStart);
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

QString TScriptRunner::FinishRun(bool failed)
{
    const bool stopped = FState.FScriptStop || failed;
    FCycle = 0;
    FState.FScriptRunning = false;
    FState.FScriptStop = false;
    // The status row tells how the run ended: a stopped or failed one would otherwise go on
    // showing the cycle and step it ended at, or be told as finished.
    ShowScriptStatus(0, 0, 0, LoadResString(stopped ? rsScriptStopped : rsScriptFinished));
    FTable.SetSort(FSortColumn, FSortDescending);
    if (SetControlsEnabled)
        SetControlsEnabled(true);
    QString notice;
    if (FLogging) {
        Log(rsLogScriptEnd);
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
        notice = FinishRun(failure != nullptr);
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
    Log(rsLogScriptAborted);
    FState.FScriptStop = true;
    if (SetControlsEnabled)
        SetControlsEnabled(false);
    return true;
}
