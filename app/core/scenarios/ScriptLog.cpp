#include "app/core/scenarios/ScriptLog.h"

#include "engine/KelmaMsg.h"
#include "platform/Cp1251.h"
#include "platform/DelphiText.h"
#include "platform/Exceptions.h"
#include "platform/SaveFile.h"
#include "platform/SysErrorText.h"
#include "platform/WordUtils.h"
#include "support/RDateUtils.h"
#include "support/RDialogs.h"
#include "support/RFileProcs.h"
#include "support/RSysUtils.h"
#include "support/RVclUtils.h"

#include <QDir>
#include <QFile>

namespace {

const QLatin1String LogFilePrefix("ScriptLog_");
const QLatin1String LogFileExt(".txt");

// Deleting the logs: this folder only, folders found are left alone, and so are read-only,
// system and hidden files.
constexpr std::uint32_t LogsDeleteOptions = kRfoIgnoreDirs | kRfoSkipReadOnly | kRfoSkipSystem | kRfoSkipHidden;
// The box tells the totals only: each file that could not be deleted is named, with the reason,
// among the messages.
constexpr std::uint8_t LogsDeleteTrOptions = kTrShowInViewer;

// The parts of a moment; the separators are written as they are, whatever the locale's.
struct TStampParts {
    int Year, Month, Day, Hour, Minute, Second;
};

TStampParts StampParts(TDateTime time)
{
    TStampParts p{};
    int msec = 0;
    DecodeDateTime(time, p.Year, p.Month, p.Day, p.Hour, p.Minute, p.Second, msec);
    return p;
}

QString LogError(const QString& reason)
{
    return Format(LoadResString(rsLogWriteError), {reason});
}

}  // namespace

TScriptLog::TScriptLog(const QString& folder) : FFolder(folder) {}

QString TScriptLog::FileMask()
{
    return LogFilePrefix + QLatin1Char('*') + LogFileExt;
}

QString TScriptLog::FileBaseName(TDateTime time)
{
    const TStampParts p = StampParts(time);
    return LogFilePrefix
           + Format(QStringLiteral("%.4d-%.2d-%.2d-%.2d-%.2d-%.2d"),
                    {p.Year, p.Month, p.Day, p.Hour, p.Minute, p.Second})
           + LogFileExt;
}

QByteArray TScriptLog::EntryBytes(const QString& text, bool withTimeStamp, TDateTime time)
{
    QString stamp;
    if (withTimeStamp) {
        const TStampParts p = StampParts(time);
        stamp = Format(QStringLiteral("[%.4d-%.2d-%.2d %.2d:%.2d:%.2d]: "),
                       {p.Year, p.Month, p.Day, p.Hour, p.Minute, p.Second});
    }
    // A text of several lines (an error box's text) becomes as many log lines, each with its
    // stamp and CR LF, so that every line of the file reads the same way; an empty text is one
    // empty line.
    QStringList parts = SplitTextLines(text);
    if (parts.isEmpty())
        parts.append(QString());
    QString lines;
    for (const QString& line : std::as_const(parts)) {
        lines += stamp;
        lines += line;
        lines += QLatin1String("\r\n");
    }
    return EncodeCp1251(lines);
}

void TScriptLog::Open()
{
    FFailed = false;
    FFileName = IsEnabled() ? QDir(FFolder).filePath(FileBaseName(ClockNow())) : QString();
}

QString TScriptLog::Write(const QString& text, bool withTimeStamp)
{
    if (!IsEnabled())
        return {};
    if (FFileName.isEmpty())
        Open();
    if (FFailed)
        return {};
    const QByteArray bytes = EntryBytes(text, withTimeStamp, ClockNow());
    // Two runs within one second share a name: the later one appends to the earlier log.
    try {
        AppendToFile(FFileName, bytes);
        return {};
    } catch (const Exception& e) {
        FFailed = true;
        return LogError(e.Message());
    }
}

QString TScriptLog::Close()
{
    QString error;
    if (IsEnabled() && !FFileName.isEmpty() && QFile::exists(FFileName)) {
        try {
            if (OpenFile)
                OpenFile(FFileName);
            else
                OpenDocument(FFileName);
        } catch (const std::exception& e) {
            // The log is written; only the desktop did not show it.
            error = SavedButNotOpenedText(QDir::toNativeSeparators(FFileName), ExceptionText(e));
        }
    }
    FFileName.clear();
    FFailed = false;
    return error;
}

// ---------------------------------------------------------------------------------------------
// Deleting the logs.

TLogsDeleteResult DeleteLogFiles(const QString& folder, const QString& mask)
{
    TLogsDeleteResult result;
    if (!FindFilesByMask(folder, mask, kRfaAnyFile))
        return result;
    result.Found = true;
    DeleteByMask(QDir(folder).filePath(mask), LogsDeleteOptions, kFinishEmptyOk, LogsDeleteTrOptions, 1, 0, {},
                 result.Operation);
    result.Deleted = result.Operation.Processed;
    for (const TRTransaction& step : result.Operation.Transactions)
        if (step.Kind == TRMsgKind::Error) {
            result.FirstError = TransactionText(step);
            break;
        }
    return result;
}

TLogsDeleteResult DeleteLogFilesCommand(const QString& folder, const QString& mask)
{
    if (!FindFilesByMask(folder, mask, kRfaAnyFile)) {
        InfoBox(LoadResString(rsNoLogFilesFound));
        return {};
    }
    TBusyScope busy(LoadResString(rsSearchingLogFiles));
    TLogsDeleteResult result = DeleteLogFiles(folder, mask);
    const QString text = result.Operation.Name + QLatin1String("\n\n") + result.Operation.Text;
    if (result.Operation.Kind == TRMsgKind::Ok)
        InfoBox(text);
    else
        WarningBox(text);
    return result;
}
