#pragma once

#include "platform/DateTime.h"

#include <QList>
#include <QString>

#include <cstdint>
#include <functional>

// Results of long operations (copying and deleting by mask, the self-update): every step is
// a transaction with a kind of result; an operation collects its steps and adds them up.

// Kinds of result, in order of severity: adding results never lowers an operation's kind.
enum class TRMsgKind : std::uint8_t {
    Header = 0,
    Info = 1,
    Ok = 2,
    Skip = 3,
    Warning = 4,
    Error = 5,
    Stop = 6,
};

// "HEADER", "INFO", "OK", "SKIP", "WARNING", "ERROR", "STOP".
QString MsgKindName(TRMsgKind kind);
// The colour a kind is shown in, as 0xRRGGBB.
std::uint32_t MsgKindColor(TRMsgKind kind);

// Levels of the lines a log callback receives.
constexpr int kLogLevelOperation = 2;
constexpr int kLogLevelStep = 3;

// Options of AddTransaction (bits of one byte).
constexpr std::uint8_t kTrStopOnError = 1;       // an ERROR sets the caller's stop flag
constexpr std::uint8_t kTrErrorsKeepKind = 2;    // errors are counted but leave the kind alone
constexpr std::uint8_t kTrErrorsAsWarning = 4;   // errors raise the kind only to WARNING
constexpr std::uint8_t kTrShowInViewer = 8;      // warnings and errors go to the message viewer

// What FinishOperation makes of an operation that met no item.
constexpr int kFinishEmptyOk = 0;
constexpr int kFinishEmptyWarning = 1;
constexpr int kFinishEmptyError = 2;

struct TRTransaction {
    QString Name;
    QString Text;
    TDateTime StartTime = 0;
    TDateTime EndTime = 0;
    TRMsgKind Kind = TRMsgKind::Ok;
    std::int64_t Bytes = 0;
};

using TRTransactions = QList<TRTransaction>;

struct TROperation {
    QString Name;
    QString Text;
    TDateTime StartTime = 0;
    TDateTime EndTime = 0;
    TRMsgKind Kind = TRMsgKind::Ok;
    std::int64_t Bytes = 0;
    std::int32_t Total = 0;
    std::int32_t Processed = 0;
    std::int32_t Skipped = 0;
    std::int32_t Warnings = 0;
    std::int32_t Errors = 0;
    TRTransactions Transactions;
};

// Optional callbacks; an empty function is simply not called.
using TRMsgLogProc = std::function<void(int level, TDateTime time, TRMsgKind kind, const QString& text)>;
using TRAbortProc = std::function<void(bool& abort)>;
using TRPercentQueryProc = std::function<void(std::uint8_t& percent)>;

// The message viewer is a window; the window layer installs the sink that shows the lines.
// Without a sink, viewer messages are dropped.
using TRViewerMessageSink =
    std::function<void(const QString& caption, const QString& text, std::uint32_t color, int fontStyle)>;
void SetViewerMessageSink(TRViewerMessageSink sink);
void PostViewerMessage(const QString& caption, const QString& text, std::uint32_t color, int fontStyle);

void InitTransaction(const QString& name, TRTransaction& transaction);
void InitTransactionLog(const QString& name, TRTransaction& transaction, const TRMsgLogProc& log);
void InitOperation(const QString& name, TROperation& operation);
void InitOperationLog(const QString& name, TROperation& operation, const TRMsgLogProc& log);

// Adds one step's result to the operation. An ERROR counts only when `final` is true (the
// caller's last attempt at the step); earlier attempts are recorded but not counted.
void AddTransaction(const TRTransaction& transaction, TROperation& operation, std::uint8_t options,
                    bool final, bool& stop, const TRMsgLogProc& log);

// Writes the totals text and the end time. `emptyMode` is one of kFinishEmpty*.
void FinishOperation(TROperation& operation, int emptyMode);
void FinishOperationLog(TROperation& operation, int emptyMode, const TRMsgLogProc& log);

// "Name - Text".
QString TransactionText(const TRTransaction& transaction);

// True when the flag is already set; otherwise asks the callback and returns the flag.
bool AskAbort(bool& abort, const TRAbortProc& abortProc);
// Abort tests: an abort turns the step (operation) into STOP with the interruption text.
bool CheckTransactionAbort(TRTransaction& transaction, const TRAbortProc& abortProc);
bool CheckOperationAbort(TROperation& operation, bool& stop, const TRAbortProc& abortProc);

// Sleeps for the given seconds in steps of at most 100 ms, asking the abort callback before
// each step. Events are not processed meanwhile. An empty text logs "Пауза %d секунд...".
void OperationPause(int seconds, bool& stop, const QString& text, const TRAbortProc& abortProc,
                    const TRMsgLogProc& log);

// Lets the callback replace the percentage, then keeps it within 1..100.
std::uint8_t AskPercent(std::uint8_t percent, const TRPercentQueryProc& query);

// The interruption text, shared with the file operations.
QString OperationAbortedText();
