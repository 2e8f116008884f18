// The scenario interpreter: the lines and their variants, the start list and the stakes.

#include "app/core/scenarios/ScriptRunner.h"

#include "app/core/combs/CombList.h"
#include "app/core/combs/CombsGen.h"
#include "app/core/online/SystemCombs.h"
#include "app/core/scenarios/ScriptList.h"
#include "app/core/shell/MainState.h"
#include "app/core/stakes/StakeCommands.h"
#include "app/core/stakes/StakesFile.h"
#include "engine/KelmaMsg.h"
#include "platform/DelphiText.h"
#include "platform/Exceptions.h"
#include "platform/ResString.h"
#include "support/RDialogs.h"
#include "support/RStrUtils.h"

#include <algorithm>
#include <exception>
#include <utility>

namespace {

const QString DashLine = QStringLiteral(
    "----------------------------------------------------------------------------------------------");
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
            LogFormat(rsLogRunningLine, {i + 1, text});
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
            throw Exception(Format(LoadResString(rsMethodNotFound), {QuotedExcerpt(WrittenMethodCode(item)), QuotedExcerpt(field.trimmed())}));
        items.push_back(std::move(item));
    }
    if (IsScriptStopped())
        return;

    const int lineNo = index + 1;
    Log(rsCreatingFilterVariants);
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
    LogFormat(rsLogVariantsCreated, {count});
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
        Log(rsLogNoFilters);
        Log(QString());
        ShowScriptStatus(lineNo, 0, 0, optionsText);
        Log(rsLogMakingStartList);
        MakeStartList(options);
        LogFormat(rsLogCombCount, {FCombs.Count()});
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
            LogFormat(rsLogApplyingFilterSet, {k, partsText});
            Log(DashLine);
        }
        ShowScriptStatus(lineNo, static_cast<int>(k), static_cast<int>(count), partsText);
        Log(rsLogMakingStartList);
        MakeStartList(options);
        LogFormat(rsLogCombCount, {FCombs.Count()});
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
    LogFormat(rsLogAddStake, {AmbiguityActionCaption(action)});
    const int count = FCombs.Count();
    if (count == 0 || action == ActionNone)
        return;
    if (count > 1 && action == ActionStop) {
        FState.FScriptStop = true;
        Log(rsLogScriptStopped);
        AttentionBox(Format(LoadResString(rsScriptAmbiguousStop),
                            {count, StakeCommentText(FLineNo, FVariantNo, FComment, stepText)}));
        return;
    }
    if (count > 1 && action == ActionSkip) {
        Log(rsLogStakeSkipped);
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
        LogFormat(rsLogStakeExists, {rec.DrawNumber, DigitsText(comb)});
    } else if (FStakeCommands.CreateStakes(rec, 1, fast)) {
        LogFormat(rsLogStakeAdded, {rec.DrawNumber, DigitsText(comb)});
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
        LogFormat(rsLogSystemError, {count, system.Error});
        return;
    }
    LogFormat(combined ? rsLogSystemCombined : rsLogSystemWhole, {count, system.FileName});
    for (const TCombWord comb : system.Combs) {
        const std::uint8_t a = CombDigit1(comb);
        const std::uint8_t b = CombDigit2(comb);
        const TCombWord sorted = MakeComb(std::min(a, b), std::max(a, b));
        if (combined && !FCombs.CombInList(sorted))
            continue;
        RunStakeStep(sorted, true);
    }
}
