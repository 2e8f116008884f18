#pragma once

#include "app/core/stakes/Ratings.h"
#include "app/core/stakes/StakesFile.h"
#include "app/core/stakes/StakesLog.h"
#include "engine/KelmaStatList.h"
#include "engine/KelmaUtils.h"

#include <QString>
#include <QStringList>

#include <functional>

// What a check did.
struct TStakeCheckResult {
    bool Scored = false;     // at least one stake was scored
    int ScoredCount = 0;
    int DamagedCount = 0;    // records whose counts are out of range: never scored or rated
    // The check stopped on an error, the stakes file could not be reopened or the ratings
    // could not be saved (the stakes log's errors aside): a batch run ends with a failure.
    bool Failed = false;
    // Texts to show, in order: the stakes log's (all in one text, each distinct error once),
    // the check's own, the reopen's, the ratings'.
    QStringList Errors;
};

// Scores the stakes of the stakes file against the archive. A stake is scored once: its
// record is written back in place first, and only when that write succeeded is it added to
// the ratings and the log, so a stake whose write failed is neither rated now nor twice later.
// The file is read in blocks of records, and the scored records of a block go back with one
// write: a write per stake would cost more than the scoring itself. A check reads from the
// file's check start on (TStakesFile::CheckStart), so that checking after every scenario line
// costs what the stakes still waiting cost, not what the whole file does.
//
// Given the main window's ratings (whose stakes file is this one), the check also marks every
// stake it scores, so that the ratings file counts it exactly once whatever stops the program
// before the ratings are saved (see TRatings).
class TStakeCheck {
public:
    // Ratings in memory only: nothing is marked and nothing is saved.
    TStakeCheck(TStakesFile& file, const TDrawsArray& draws, const TStatList& stats,
                TRatingsArray& ratings)
        : FFile(file), FDraws(draws), FStats(stats), FRatings(ratings)
    {}
    TStakeCheck(TStakesFile& file, const TDrawsArray& draws, const TStatList& stats, TRatings& ratings)
        : FFile(file), FDraws(draws), FStats(stats), FRatings(ratings.FRatings),
          FOwner(ratings.Stakes() == &file ? &ratings : nullptr)
    {}
    virtual ~TStakeCheck() = default;

    // The stakes log, when there is one.
    const TStakesLog* Log = nullptr;
    // Called at every point of TCheckPoint (tests stop the process there).
    std::function<void(TCheckPoint point)> Checkpoint;

    // Every unchecked stake (draw number above 0, at least two staked digits, sound counts)
    // whose draw is stored is scored: checked, draw result, matched digits, balance from the
    // configured cost and payouts. Stakes in file order; separators and checked stakes are
    // skipped. Runs in the busy state with the progress in the status line; an error stops
    // the check where it is and is returned as "Ошибка проверки ставок!...".
    TStakeCheckResult CheckStakes();
    // CheckStakes; when a stake was scored the stakes file is reopened and afterScored runs
    // (the ratings re-sort, which saves and shows them). Nothing else happens otherwise. With
    // the main window's ratings a failed save is one of the result's errors; the stakes stay
    // marked and are counted by the next save or the next start.
    TStakeCheckResult CheckStakesAndReload(const std::function<void()>& afterScored);

protected:
    // Writes records back to their place in the file, from record `first` on.
    virtual void WriteScored(qint64 first, const QByteArray& records);

private:
    void Point(TCheckPoint point) const
    {
        if (Checkpoint)
            Checkpoint(point);
    }

    TStakesFile& FFile;
    const TDrawsArray& FDraws;
    const TStatList& FStats;
    TRatingsArray& FRatings;
    TRatings* FOwner = nullptr;
};
