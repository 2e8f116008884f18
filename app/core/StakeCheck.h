#pragma once

#include "app/core/StakesFile.h"
#include "app/core/StakesLog.h"
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
    QStringList Errors;      // texts to show, in order: log errors, the check's own, the reopen's
};

// Scores the stakes of the stakes file against the archive. A stake is scored once: its
// record is written back in place first, and only when that write succeeded is it added to
// the ratings and the log, so a stake whose write failed is neither rated now nor twice later.
// The file is read in blocks of records, and the scored records of a block go back with one
// write: a write per stake would cost more than the scoring itself.
class TStakeCheck {
public:
    TStakeCheck(TStakesFile& file, const TDrawsArray& draws, const TStatList& stats,
                TRatingsArray& ratings)
        : FFile(file), FDraws(draws), FStats(stats), FRatings(ratings)
    {}
    virtual ~TStakeCheck() = default;

    // The stakes log, when there is one.
    const TStakesLog* Log = nullptr;

    // Every unchecked stake (draw number above 0, at least two staked digits, sound counts)
    // whose draw is stored is scored: checked, draw result, matched digits, balance from the
    // configured cost and payouts. Stakes in file order; separators and checked stakes are
    // skipped. Runs in the busy state with the progress in the status line; an error stops
    // the check where it is and is returned as "Ошибка проверки ставок!...".
    TStakeCheckResult CheckStakes();
    // CheckStakes; when a stake was scored the stakes file is reopened and afterScored runs
    // (the ratings re-sort, which saves and shows them). Nothing else happens otherwise.
    TStakeCheckResult CheckStakesAndReload(const std::function<void()>& afterScored);

protected:
    // Writes records back to their place in the file, from record `first` on.
    virtual void WriteScored(qint64 first, const QByteArray& records);

private:
    TStakesFile& FFile;
    const TDrawsArray& FDraws;
    const TStatList& FStats;
    TRatingsArray& FRatings;
};
