#pragma once

#include "app/core/combs/CombList.h"
#include "app/core/shell/MainState.h"
#include "app/core/stakes/StakeCommands.h"
#include "app/core/stakes/StakesFile.h"
#include "app/core/online/SwSystems.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <functional>

// The systems tab without its window: the listed systems (one row each, in the order the list
// shows them), the commands on them, and the system stakes. The dialog is a seam; stakes go
// through the stake commands (their multi-stake dialog, check and grid seams); message boxes
// through the support seam.
class TSystemsExchange {
public:
    TSystemsExchange(TMainState& state, TCombListOps& combs, TStakesFile& stakes, TStakeCommands& stakeCommands,
                     TSwSystems& client);
    TSystemsExchange(const TSystemsExchange&) = delete;
    TSystemsExchange& operator=(const TSystemsExchange&) = delete;

    // Columns of the list: title, author, numbers, block, combinations, created, status,
    // downloads, last download, description, address.
    static constexpr int ColumnCount = 11;
    static QStringList ColumnCaptions();

    // Images of a row by (cached, own, has an address); -1 for the placeholder row.
    enum TRowImage : int {
        riCachedOwn = 47,
        riCachedOther = 46,
        riCachedNoMail = 2,
        riOwn = 39,
        riOther = 45,
        riNoMail = 22,
    };

    // --- Seams ----------------------------------------------------------------------------
    // The system dialog: the system in and out, read-only unless editable; true on OK.
    std::function<bool(tSystemData& data, bool editable)> EditSystemProperties;

    // --- Rows -----------------------------------------------------------------------------
    QList<tSystemInfo>& Rows() { return FRows; }
    const QList<tSystemInfo>& Rows() const { return FRows; }
    int RowCount() const { return static_cast<int>(FRows.size()); }
    bool ValidRow(int row) const { return row >= 0 && row < RowCount(); }
    // The row's cache file exists.
    bool IsCached(int row) const;
    // The row's system is the user's own.
    bool IsOwn(int row) const;
    int RowImage(int row) const;
    QStringList RowTexts(int row) const;
    // The first row of the id, or -1.
    int FindRow(std::int32_t id) const;

    // --- The tab --------------------------------------------------------------------------
    bool TabShown() const { return FTabShown; }
    // Hiding the tab empties the list.
    void SetTabShown(bool shown);

    // --- Commands -------------------------------------------------------------------------
    // The list anew from the server; returns the row of keepId afterwards (-1: none).
    int LoadSystems(std::int32_t keepId);
    // Caches the row's system, keeping it the only cached one for its number count.
    bool DownloadSystem(int row);
    // Publishes a new system of the user's; returns its row, -1 when none was published.
    int AddSystem();
    // The dialog over the row's system (editable when own), then the publication.
    bool EditSystem(int row);
    // Deletes the user's own system on the server, its row and its cache file.
    bool DeleteSystem(int row);
    // The stakes of the cached system for the distinct digits of the combination list; with
    // the filter only the system's combinations that are in the list.
    bool MakeSystemStakes(bool filter);

    // Enabling rules.
    bool CanDelete(int row) const { return FTabShown && IsOwn(row); }
    bool CanMakeStakes() const;

private:
    // The cache after an edit: the old file goes, and a cached system is written anew.
    void RecacheEdited(const tSystemInfo& old, const tSystemData& edited);

    TMainState& FState;
    TCombListOps& FCombs;
    TStakesFile& FStakes;
    TStakeCommands& FStakeCommands;
    TSwSystems& FClient;
    QList<tSystemInfo> FRows;
    bool FTabShown = false;
};
