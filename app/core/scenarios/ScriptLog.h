#pragma once

#include "platform/DateTime.h"
#include "support/RMsgTypes.h"

#include <QByteArray>
#include <QString>

#include <functional>

// The log of a scenario run: one text file per run, "ScriptLog_<time opened>.txt" in the data
// folder, cp1251, every entry one line ended by CR LF. The file is opened and closed for every
// entry, so that the log survives a crash up to its last entry. A log that cannot be written
// is reported once; the rest of the run goes on without it.
class TScriptLog {
public:
    // folder: the data folder the logs are written to.
    explicit TScriptLog(const QString& folder);
    TScriptLog(const TScriptLog&) = delete;
    TScriptLog& operator=(const TScriptLog&) = delete;

    // "ScriptLog_*.txt": every log file.
    static QString FileMask();
    // The log opened at `time` (local): "ScriptLog_yyyy-mm-dd-hh-nn-ss.txt".
    static QString FileBaseName(TDateTime time);
    // One entry: "[yyyy-mm-dd hh:nn:ss]: " and the text when stamped, then CR LF; cp1251. Each
    // line of a text of several lines is written so.
    static QByteArray EntryBytes(const QString& text, bool withTimeStamp, TDateTime time);

    // --- Seams ----------------------------------------------------------------------------
    // The option ScriptLogEnabled; no function: the log is off.
    std::function<bool()> Enabled;
    // Opens a file with the desktop's program for its type; raises when it cannot.
    std::function<void(const QString& fileName)> OpenFile;

    bool IsEnabled() const { return Enabled && Enabled(); }
    // The current log file; empty when no log is open.
    const QString& FileName() const { return FFileName; }

    // When the log is on, a new file name from the clock (nothing is written yet); otherwise
    // no name. Either way a failure reported before is forgotten.
    void Open();
    // Appends an entry stamped with the clock when asked, opening the log first when none is.
    // Nothing while the log is off. Returns the error text "Ошибка записи журнала: %s!" for
    // the first entry that cannot be written; that entry and every later one until the next
    // Open are dropped, and an empty text is returned for them.
    QString Write(const QString& text, bool withTimeStamp = true);
    // When the log is on and its file exists, hands the file to OpenFile; then no name. When
    // no program opened it, the text that says so and where the log was saved; else empty.
    QString Close();
    // True after a failure reported by Write, until the next Open.
    bool Failed() const { return FFailed; }

private:
    QString FFolder;
    QString FFileName;
    bool FFailed = false;
};

// ---------------------------------------------------------------------------------------------
// Deleting the logs.

struct TLogsDeleteResult {
    bool Found = false;   // some file matched the mask
    int Deleted = 0;      // files deleted
    QString FirstError;   // the text of the first step that failed; empty when none did
    TROperation Operation;
};

// Deletes every file of the folder that matches the mask (not its subfolders; folders,
// read-only, system and hidden files are left alone). Nothing is done when no file matches.
TLogsDeleteResult DeleteLogFiles(const QString& folder, const QString& mask);
// The command that deletes logs: in the busy state with its status, deletes the matching files
// and tells the operation's name and totals in an information box, or a warning box when some
// step did not succeed; "Файлы журналов не найдены!" when there are none.
TLogsDeleteResult DeleteLogFilesCommand(const QString& folder, const QString& mask);

// The scenario logs.
inline TLogsDeleteResult DeleteScenarioLogs(const QString& folder)
{
    return DeleteLogFiles(folder, TScriptLog::FileMask());
}
inline TLogsDeleteResult LogsDelete(const QString& folder)
{
    return DeleteLogFilesCommand(folder, TScriptLog::FileMask());
}
