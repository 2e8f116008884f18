#include "app/core/stakes/StakeCommands.h"

#include "app/core/combs/CombList.h"
#include "engine/KelmaMsg.h"
#include "platform/DelphiText.h"
#include "platform/Exceptions.h"
#include "platform/ResString.h"
#include "platform/ScopeGuard.h"
#include "support/RDialogs.h"
#include "support/RVclUtils.h"

#include <QRandomGenerator>

#include <algorithm>
#include <limits>
#include <vector>

namespace {

const TResString SCreatingStakesProgress = RESSTR("StakeCommands", "Создание ставок ( завершено %.0f %% )...");

}  // namespace

std::int32_t TStakeCommands::StakeDrawNumber() const
{
    const std::int64_t next = FState.NextDrawNumber(FState.DrawsOffset());
    if (next < 1 || next > std::numeric_limits<std::int32_t>::max())
        return 0;
    return static_cast<std::int32_t>(next);
}

TStakeRec TStakeCommands::ManualStake(std::optional<TCombWord> comb) const
{
    TStakeRec rec = InitStakeRec();
    rec.Origin = soManual;
    rec.DrawNumber = StakeDrawNumber();
    rec.Comment.Set(LoadResString(rsManualStakeComment));
    rec.Checked = 0;
    rec.SelectionSize = CombsUsed(FState.FCombs);
    if (comb) {
        rec.Digits.Count = DrawDigits;
        rec.Digits.Digits[0] = CombDigit1(*comb);
        rec.Digits.Digits[1] = CombDigit2(*comb);
    }
    rec.Matches.Count = -1;
    rec.Balance = FState.StatList().StakeBalance(rec.Digits.Count, -1);
    return rec;
}

bool TStakeCommands::CreateStake(const TStakeRec& rec, int drawCount)
{
    try {
        TBusyScope busy(LoadResString(rsCreatingStake));
        FStakes.AppendStake(rec, drawCount);
    } catch (const Exception& e) {
        ErrorBox(e.Message());
        return false;
    }
    if (CheckStakes)
        CheckStakes();
    if (RefreshGrid)
        RefreshGrid(true, true);
    return true;
}

bool TStakeCommands::CreateStakes(const TStakeRec& rec, int drawCount, bool batch)
{
    try {
        TBusyScope busy(LoadResString(rsCreatingStakes));
        FStakes.AppendStake(rec, drawCount);
    } catch (const Exception& e) {
        ErrorBox(e.Message());
        return false;
    }
    const bool scroll = !batch || FState.Options.Flag(TMainOptions::StakesScrollEnabled);
    if (RefreshGrid)
        RefreshGrid(false, scroll);
    return true;
}

bool TStakeCommands::AddStake(std::optional<TCombWord> comb)
{
    TStakeRec rec = ManualStake(comb);
    const int costedDigits = rec.Digits.Count;
    int drawCount = 1;
    if (!EditStake || !EditStake(rec, drawCount))
        return false;
    // A stake typed into a dialog opened without a combination was costed at no digits: cost
    // it at the digits it now has, as it would have been from a list row.
    if (rec.Digits.Count != costedDigits)
        rec.Balance = FState.StatList().StakeBalance(rec.Digits.Count, -1);
    return CreateStake(rec, drawCount);
}

bool TStakeCommands::AddRandomStake()
{
    const int count = CombsUsed(FState.FCombs);
    if (count <= 0)
        return false;
    int index = RandomIndex ? RandomIndex(count) : QRandomGenerator::global()->bounded(count);
    if (index < 0 || index >= count)
        index = 0;
    return AddStake(FState.FCombs.Items[static_cast<size_t>(index)]);
}

bool TStakeCommands::AddStakes(const QList<TCombWord>& combs, int* madeCount)
{
    if (madeCount)
        *madeCount = 0;
    TStakeRec rec = ManualStake(std::nullopt);
    std::int32_t drawNumber = rec.DrawNumber;
    int drawCount = 1;
    QString comment = rec.Comment.Get();
    if (!EditMulti || !EditMulti(drawNumber, drawCount, comment))
        return false;

    bool made = true;
    bool stopped = false;
    {
        TBusyScope busy(LoadResString(rsCreatingStakes));
        FBatchRunning = true;
        FBatchStop = false;
        TFinally ended([this] { FBatchRunning = false; });
        // A stake for k draws takes up to 2k records with its separators.
        const qint64 stakeBytes = qint64(std::max(drawCount, 1)) * (drawCount > 1 ? 2 : 1) * StakeRecSize;
        const qsizetype blockStakes = static_cast<qsizetype>(std::clamp<qint64>(BatchBlockBytes / stakeBytes, 1, BatchBlockStakes));
        const bool scroll = FState.Options.Flag(TMainOptions::StakesScrollEnabled);
        const qsizetype total = combs.size();
        TStakeRec stake = ManualStake(std::nullopt);
        stake.DrawNumber = drawNumber;
        stake.Comment.Set(comment);
        stake.Digits.Count = DrawDigits;
        stake.Balance = FState.StatList().StakeBalance(DrawDigits, -1);
        std::vector<TStakeRec> block;
        block.reserve(static_cast<size_t>(std::min(blockStakes, total)));
        qsizetype done = 0;
        int shownPercent = 0;
        while (done < total) {
            block.clear();
            for (qsizetype i = done; i < total && qsizetype(block.size()) < blockStakes; ++i) {
                stake.Digits.Digits[0] = CombDigit1(combs[i]);
                stake.Digits.Digits[1] = CombDigit2(combs[i]);
                block.push_back(stake);
            }
            try {
                FStakes.AppendStakes(block, drawCount);
            } catch (const Exception& e) {
                ErrorBox(e.Message());
                made = false;
                break;
            }
            done += static_cast<qsizetype>(block.size());
            if (madeCount)
                *madeCount = static_cast<int>(done);
            if (RefreshGrid)
                RefreshGrid(false, scroll);
            // The status line lets the window process its messages: a stop or a close request
            // is seen here, between two blocks, and what was made stays.
            const int percent = static_cast<int>(done * 100 / total);
            if (percent > shownPercent && done < total) {
                shownPercent = percent;
                ShowInStatusBar(Format(LoadResString(SCreatingStakesProgress), {static_cast<long double>(percent)}));
            }
            if (done < total && (FBatchStop || (StopRequested && StopRequested()))) {
                stopped = true;
                break;
            }
        }
        if (done > 0 && (made || stopped)) {
            if (CheckStakes)
                CheckStakes();
            if (RefreshGrid)
                RefreshGrid(true, true);
        }
    }
    return made && !stopped;
}

bool TStakeCommands::RunDeletion(const TStakesFile::TKeepTest& keep)
{
    bool deleted = false;
    {
        TBusyScope busy(LoadResString(rsDeletingStakes));
        try {
            FStakes.DeleteStakes(keep);
            deleted = true;
        } catch (const Exception& e) {
            ErrorBox(e.Message());
        }
        if (deleted && CheckStakes)
            CheckStakes();
    }
    if (RefreshGrid)
        RefreshGrid(true, false);
    return deleted;
}

bool TStakeCommands::DeleteRows(int top, int bottom)
{
    if (top < 1 || bottom < top || !FStakes.HasStakes())
        return false;
    if (!DeleteQuery(bottom - top + 1))
        return false;
    return RunDeletion([top, bottom](qint64 index, const TStakeRec&) {
        const qint64 row = index + 1;
        return row < top || row > bottom;
    });
}

bool TStakeCommands::DeleteByCondition()
{
    if (!FStakes.HasStakes())
        return false;
    int condition = 0;
    int value = 0;
    if (!AskCondition || !AskCondition(condition, value))
        return false;
    return RunDeletion([condition, value](qint64, const TStakeRec& rec) {
        return TStakesFile::KeptByCondition(rec, condition, value);
    });
}

bool TStakeCommands::ClearAll()
{
    if (!FStakes.HasStakes())
        return false;
    const qint64 records = FStakes.RecordCount();
    if (!DeleteQuery(static_cast<int>(std::min<qint64>(records, std::numeric_limits<int>::max()))))
        return false;
    bool cleared = false;
    {
        TBusyScope busy(LoadResString(rsDeletingStakes));
        // The empty file replaces the old one whole: a failure keeps every stake.
        try {
            FStakes.DeleteStakes([](qint64, const TStakeRec&) { return false; });
            cleared = true;
        } catch (const Exception& e) {
            ErrorBox(e.Message());
        }
    }
    if (RefreshGrid)
        RefreshGrid(false, false);
    if (cleared && RefreshRatings)
        RefreshRatings();
    return cleared;
}
