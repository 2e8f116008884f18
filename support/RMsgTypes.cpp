#include "support/RMsgTypes.h"

#include "platform/DelphiText.h"
#include "platform/ResString.h"
#include "support/RDateUtils.h"
#include "support/RStrUtils.h"

#include <QDateTime>
#include <QElapsedTimer>
#include <QLocale>
#include <QThread>

#include <algorithm>

namespace {

const TResString STotalsText = RESSTR("RMsgTypes",
    "Всего - %d, обработано - %d, пропущено - %d, предупреждений - %d, ошибок - %d.");
const TResString STotalsBytesText = RESSTR("RMsgTypes",
    "Всего - %d, обработано - %d ( %n Kb ), пропущено - %d, предупреждений - %d, ошибок - %d.");
const TResString SOperationAborted = RESSTR("RMsgTypes",
    "Операция прервана по команде пользователя или системы!");
const TResString SViewerWarning = RESSTR("RMsgTypes",
    "[%s] Предупреждение при выполнении операции \"%s\":\n%s!");
const TResString SViewerError = RESSTR("RMsgTypes",
    "[%s] Ошибка при выполнении операции \"%s\":\n%s!");
const TResString SPauseText = RESSTR("RMsgTypes", "Пауза %d секунд...");

TRViewerMessageSink& ViewerSink()
{
    static TRViewerMessageSink sink;
    return sink;
}

TDateTime CurrentTime()
{
    return ClockNow();
}

// Date and time the way the user's locale writes them ("05.03.2024 9:05:07").
QString DateTimeText(TDateTime value)
{
    const QDateTime dt = ToQDateTime(value);
    const QLocale locale;
    return locale.toString(dt.date(), QLocale::ShortFormat) + QLatin1Char(' ')
           + dt.time().toString(QStringLiteral("H:mm:ss"));
}

void RaiseKind(TRMsgKind& kind, TRMsgKind to)
{
    if (kind < to)
        kind = to;
}

// The viewer's message about a step. The message closes the step's text with its own "!", so a
// text that ends in one (or in a full stop) is taken without it.
QString ViewerText(const TResString& message, const TRTransaction& transaction)
{
    return Format(LoadResString(message),
                  {DateTimeText(transaction.EndTime), transaction.Name, InSentence(transaction.Text)});
}

void Log(const TRMsgLogProc& log, int level, TDateTime time, TRMsgKind kind, const QString& text)
{
    if (log)
        log(level, time, kind, text);
}

} // namespace

QString MsgKindName(TRMsgKind kind)
{
    switch (kind) {
    case TRMsgKind::Header: return QStringLiteral("HEADER");
    case TRMsgKind::Info: return QStringLiteral("INFO");
    case TRMsgKind::Ok: return QStringLiteral("OK");
    case TRMsgKind::Skip: return QStringLiteral("SKIP");
    case TRMsgKind::Warning: return QStringLiteral("WARNING");
    case TRMsgKind::Error: return QStringLiteral("ERROR");
    case TRMsgKind::Stop: return QStringLiteral("STOP");
    }
    return QString();
}

std::uint32_t MsgKindColor(TRMsgKind kind)
{
    switch (kind) {
    case TRMsgKind::Header: return 0x000000;
    case TRMsgKind::Info: return 0x008000;
    case TRMsgKind::Ok: return 0x000080;
    case TRMsgKind::Skip: return 0x808080;
    case TRMsgKind::Warning: return 0x800000;
    case TRMsgKind::Error: return 0x800000;
    case TRMsgKind::Stop: return 0xFF0000;
    }
    return 0x000000;
}

void SetViewerMessageSink(TRViewerMessageSink sink)
{
    ViewerSink() = std::move(sink);
}

void PostViewerMessage(const QString& caption, const QString& text, std::uint32_t color, int fontStyle)
{
    if (ViewerSink())
        ViewerSink()(caption, text, color, fontStyle);
}

QString OperationAbortedText()
{
    return LoadResString(SOperationAborted);
}

void InitTransaction(const QString& name, TRTransaction& transaction)
{
    transaction = TRTransaction{};
    transaction.Name = name;
    transaction.StartTime = CurrentTime();
}

void InitTransactionLog(const QString& name, TRTransaction& transaction, const TRMsgLogProc& log)
{
    InitTransaction(name, transaction);
    Log(log, kLogLevelStep, transaction.StartTime, TRMsgKind::Header, transaction.Name);
}

void InitOperation(const QString& name, TROperation& operation)
{
    operation = TROperation{};
    operation.Name = name;
    operation.StartTime = CurrentTime();
}

void InitOperationLog(const QString& name, TROperation& operation, const TRMsgLogProc& log)
{
    InitOperation(name, operation);
    Log(log, kLogLevelOperation, operation.StartTime, TRMsgKind::Header, operation.Name);
}

void AddTransaction(const TRTransaction& transaction, TROperation& operation, std::uint8_t options,
                    bool final, bool& stop, const TRMsgLogProc& log)
{
    operation.Transactions.append(transaction);
    switch (transaction.Kind) {
    case TRMsgKind::Ok:
        ++operation.Processed;
        operation.Bytes += transaction.Bytes;
        break;
    case TRMsgKind::Skip:
        ++operation.Skipped;
        break;
    case TRMsgKind::Warning:
        ++operation.Warnings;
        RaiseKind(operation.Kind, TRMsgKind::Warning);
        if (options & kTrShowInViewer)
            PostViewerMessage(QString(), ViewerText(SViewerWarning, transaction), MsgKindColor(TRMsgKind::Warning), 0);
        break;
    case TRMsgKind::Error:
        if (final) {
            ++operation.Errors;
            if (!(options & kTrErrorsKeepKind))
                RaiseKind(operation.Kind,
                          (options & kTrErrorsAsWarning) ? TRMsgKind::Warning : TRMsgKind::Error);
            stop = (options & kTrStopOnError) != 0;
            if (options & kTrShowInViewer)
                PostViewerMessage(QString(), ViewerText(SViewerError, transaction), MsgKindColor(TRMsgKind::Error), 0);
        }
        break;
    case TRMsgKind::Stop:
        stop = true;
        operation.Kind = TRMsgKind::Stop;
        break;
    case TRMsgKind::Header:
    case TRMsgKind::Info:
        break;
    }
    Log(log, kLogLevelStep, transaction.EndTime, transaction.Kind, TransactionText(transaction));
}

void FinishOperation(TROperation& operation, int emptyMode)
{
    if (operation.Kind != TRMsgKind::Stop) {
        if (operation.Total == 0) {
            if (emptyMode == kFinishEmptyWarning)
                RaiseKind(operation.Kind, TRMsgKind::Warning);
            else if (emptyMode == kFinishEmptyError)
                RaiseKind(operation.Kind, TRMsgKind::Error);
        }
        if (operation.Bytes != 0)
            operation.Text = Format(LoadResString(STotalsBytesText),
                                    {operation.Total, operation.Processed,
                                     static_cast<long double>(operation.Bytes) / 1024.0L,
                                     operation.Skipped, operation.Warnings, operation.Errors});
        else
            operation.Text = Format(LoadResString(STotalsText),
                                    {operation.Total, operation.Processed, operation.Skipped,
                                     operation.Warnings, operation.Errors});
    } else if (operation.Text.isEmpty()) {
        operation.Text = OperationAbortedText();
    }
    operation.EndTime = CurrentTime();
}

void FinishOperationLog(TROperation& operation, int emptyMode, const TRMsgLogProc& log)
{
    FinishOperation(operation, emptyMode);
    Log(log, kLogLevelOperation, operation.EndTime, operation.Kind, operation.Text);
}

QString TransactionText(const TRTransaction& transaction)
{
    return Format(QStringLiteral("%0:s - %1:s"), {transaction.Name, transaction.Text});
}

bool AskAbort(bool& abort, const TRAbortProc& abortProc)
{
    if (abort)
        return true;
    if (abortProc)
        abortProc(abort);
    return abort;
}

bool CheckTransactionAbort(TRTransaction& transaction, const TRAbortProc& abortProc)
{
    if (transaction.Kind == TRMsgKind::Stop)
        return true;
    bool abort = false;
    if (abortProc)
        abortProc(abort);
    if (abort) {
        transaction.Kind = TRMsgKind::Stop;
        transaction.Text = OperationAbortedText();
        transaction.EndTime = CurrentTime();
    }
    return abort;
}

bool CheckOperationAbort(TROperation& operation, bool& stop, const TRAbortProc& abortProc)
{
    if (operation.Kind == TRMsgKind::Stop || stop)
        return true;
    bool abort = false;
    if (abortProc)
        abortProc(abort);
    if (abort) {
        operation.Kind = TRMsgKind::Stop;
        operation.Text = OperationAbortedText();
        operation.EndTime = CurrentTime();
        stop = true;
    }
    return abort;
}

void OperationPause(int seconds, bool& stop, const QString& text, const TRAbortProc& abortProc,
                    const TRMsgLogProc& log)
{
    if (seconds <= 0 || AskAbort(stop, abortProc))
        return;
    Log(log, kLogLevelStep, CurrentTime(), TRMsgKind::Header,
        text.isEmpty() ? Format(LoadResString(SPauseText), {seconds}) : text);
    QElapsedTimer timer;
    timer.start();
    const qint64 total = static_cast<qint64>(seconds) * 1000;
    while (!AskAbort(stop, abortProc)) {
        const qint64 remaining = total - timer.elapsed();
        if (remaining <= 0)
            break;
        QThread::msleep(static_cast<unsigned long>(std::min<qint64>(100, remaining)));
    }
}

std::uint8_t AskPercent(std::uint8_t percent, const TRPercentQueryProc& query)
{
    if (query)
        query(percent);
    if (percent == 0)
        return 1;
    return percent > 100 ? 100 : percent;
}
