#pragma once

#include "engine/KelmaStakes.h"
#include "platform/DateTime.h"

#include <QString>
#include <QStringList>

// The stakes logs: one text file per matched count in the data folder, one line per scored
// stake, appended and never read back.
class TStakesLog {
public:
    // folder: the data folder with a trailing '/'.
    explicit TStakesLog(QString folder) : FFolder(std::move(folder)) {}

    // StakesLogEnabled; nothing is written while it is off.
    bool Enabled = false;

    // A log past this size is deleted before the next line goes in.
    static constexpr qint64 MaxFileSize = 268435456;   // 256 MiB

    // "<folder>Tavrix2_2r10-<matched>.log"
    QString FileName(int matched) const;
    // The mask of every stakes log: "Tavrix2_2r10-*.log".
    static QString FileMask();
    // The line without its line end. Values from the record are arguments of the line's
    // format, never a format themselves.
    static QString LineText(const TStakeRec& rec, TDateTime now);

    // Appends the line of a scored stake (nothing while disabled, for an unchecked stake or
    // for one whose matched count is no log's). Returns the texts of the errors met, for the
    // caller to show; the line is still written after a failed deletion.
    QStringList Write(const TStakeRec& rec) const;

private:
    QString FFolder;
};
