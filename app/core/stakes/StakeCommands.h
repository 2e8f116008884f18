#pragma once

#include "app/core/shell/MainState.h"
#include "app/core/stakes/StakesFile.h"
#include "engine/KelmaStakes.h"

#include <QList>
#include <QString>

#include <cstdint>
#include <functional>
#include <optional>

// The stake commands of the main window: stakes made from the combination list, and the
// deletions. No window: the dialogs, the stake check, the ratings refresh and the grid are
// seams the window fills (and tests script); questions and errors go through the support
// message seam. Every command runs in the busy state and leaves it on every path.
class TStakeCommands {
public:
    TStakeCommands(TMainState& state, TStakesFile& stakes) : FState(state), FStakes(stakes) {}
    TStakeCommands(const TStakeCommands&) = delete;
    TStakeCommands& operator=(const TStakeCommands&) = delete;

    // --- Seams ----------------------------------------------------------------------------
    // The one-stake dialog: the record and the draw count in and out; true on OK.
    std::function<bool(TStakeRec& rec, int& drawCount)> EditStake;
    // The multi-stake dialog: first draw, draw count and comment in and out; true on OK.
    std::function<bool(std::int32_t& drawNumber, int& drawCount, QString& comment)> EditMulti;
    // The delete-by-condition dialog: condition index and matched count in and out.
    std::function<bool(int& condition, int& value)> AskCondition;
    // Scores the stakes against the draws (and reloads what a scoring changed).
    std::function<void()> CheckStakes;
    // The grid follows the file.
    std::function<void(bool resize, bool scroll)> RefreshGrid;
    // Rebuilds the ratings from the stakes, asking first when ratings exist.
    std::function<void()> RefreshRatings;
    // An index in 0..count-1; the default draws it uniformly.
    std::function<int(int count)> RandomIndex;
    // Asked between the blocks of a long batch of stakes; true stops it (a close request).
    std::function<bool()> StopRequested;

    // A batch of stakes for a list is running and may be stopped.
    bool CanStop() const { return FBatchRunning && !FBatchStop; }
    // Stops the running batch after its current block; what was made stays.
    void Stop() { FBatchStop = true; }

    // A batch of stakes for a list goes to the file in blocks of at most this many stakes and
    // about this many bytes.
    static constexpr qint64 BatchBlockStakes = 4096;
    static constexpr qint64 BatchBlockBytes = BatchBlockStakes * StakeRecSize;

    // The draw a new stake is for: the one after the newest draw as seen from the draw
    // offset (1 for an empty archive), within the record's 32-bit range (0 when it is not).
    std::int32_t StakeDrawNumber() const;
    // A manual stake on that draw for the combination (none: no digits), costed at its
    // staked digits, with the list's size as its selection size.
    TStakeRec ManualStake(std::optional<TCombWord> comb) const;

    // Appends a stake (copies for drawCount draws), then checks the stakes and refreshes the
    // grid with resize and scroll. An error is shown and gives false.
    bool CreateStake(const TStakeRec& rec, int drawCount);
    // Appends without checking (the caller checks once after its batch) and refreshes the
    // grid without resize, scrolling to the end unless this is a batch and the option
    // StakesScrollEnabled is off. An error is shown and gives false.
    bool CreateStakes(const TStakeRec& rec, int drawCount, bool batch);

    // The one-stake dialog for the combination (none: an empty stake text), then CreateStake.
    bool AddStake(std::optional<TCombWord> comb);
    // AddStake for a combination drawn at random from the list; nothing for an empty list.
    bool AddRandomStake();
    // The multi-stake dialog, then one stake per combination in the given order with the
    // dialog's draws and comment, appended in blocks with the progress in the status line;
    // stops at the first failure, at Stop or when StopRequested says so. The stakes are checked
    // once at the end unless a failure stopped the batch. True when every stake was made;
    // `made` (when given) gets the number of combinations staked.
    bool AddStakes(const QList<TCombWord>& combs, int* made = nullptr);
    // Deletes the records of grid rows top..bottom (row 1 is record 0) after the question.
    bool DeleteRows(int top, int bottom);
    // The condition dialog, then the deletion by condition.
    bool DeleteByCondition();
    // Every record, after the question; then the ratings refresh with its own question (No
    // keeps the ratings).
    bool ClearAll();

private:
    // Status, the deletion, then the check with reload and the grid; an error is shown.
    bool RunDeletion(const TStakesFile::TKeepTest& keep);

    TMainState& FState;
    TStakesFile& FStakes;
    bool FBatchRunning = false;
    bool FBatchStop = false;
};
