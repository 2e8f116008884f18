#include "support/RMsgTypes.h"

#include "support/RDateUtils.h"

#include <QDateTime>

#include <gtest/gtest.h>

namespace {

const QString kEmptyTotals =
    QStringLiteral("Всего - 0, обработано - 0, пропущено - 0, предупреждений - 0, ошибок - 0.");

// Fixes the clock for a test and gives it back afterwards.
class TFixedClock {
public:
    explicit TFixedClock(const QDateTime& at)
        : FPrevious(SetClock([at] { return at; })) {}
    ~TFixedClock() { SetClock(FPrevious); }

private:
    TClock FPrevious;
};

TRTransaction Step(const QString& name, TRMsgKind kind, std::int64_t bytes = 0, const QString& text = {})
{
    TRTransaction t;
    InitTransaction(name, t);
    t.Kind = kind;
    t.Bytes = bytes;
    t.Text = text;
    t.EndTime = EncodeDateTime(2024, 3, 5, 9, 5, 7, 0);
    return t;
}

struct TLogLine {
    int Level;
    TRMsgKind Kind;
    QString Text;
};

} // namespace

TEST(RMsgTypes, InitialisersStartCleanAndLogTheHeader)
{
    const TFixedClock clock(QDateTime(QDate(2020, 1, 2), QTime(3, 4, 5)));
    QList<TLogLine> lines;
    const TRMsgLogProc log = [&](int level, TDateTime, TRMsgKind kind, const QString& text) {
        lines.append({level, kind, text});
    };
    TROperation op;
    op.Errors = 7;
    op.Transactions.append(TRTransaction{});
    InitOperationLog(QStringLiteral("Копирование"), op, log);
    EXPECT_EQ(op.Errors, 0);
    EXPECT_TRUE(op.Transactions.isEmpty());
    EXPECT_EQ(op.Kind, TRMsgKind::Ok);
    EXPECT_DOUBLE_EQ(op.StartTime, EncodeDateTime(2020, 1, 2, 3, 4, 5, 0));
    EXPECT_EQ(op.EndTime, 0);

    TRTransaction t;
    InitTransactionLog(QStringLiteral("Шаг"), t, log);
    ASSERT_EQ(lines.size(), 2);
    EXPECT_EQ(lines[0].Level, 2);
    EXPECT_EQ(lines[0].Kind, TRMsgKind::Header);
    EXPECT_EQ(lines[1].Level, 3);
    EXPECT_EQ(lines[1].Text, "Шаг");
}

TEST(RMsgTypes, FinishOperationOfAnEmptyOperationFollowsTheMode)
{
    for (const auto& [mode, kind] : {std::pair{0, TRMsgKind::Ok}, std::pair{1, TRMsgKind::Warning},
                                     std::pair{2, TRMsgKind::Error}}) {
        TROperation op;
        InitOperation(QStringLiteral("op"), op);
        FinishOperation(op, mode);
        EXPECT_EQ(op.Kind, kind) << mode;
        EXPECT_EQ(op.Text, kEmptyTotals);
        EXPECT_NE(op.EndTime, 0);
    }
    // An operation that already met items keeps its kind whatever the mode.
    TROperation op;
    InitOperation(QStringLiteral("op"), op);
    op.Total = 1;
    FinishOperation(op, 2);
    EXPECT_EQ(op.Kind, TRMsgKind::Ok);
}

TEST(RMsgTypes, TotalsCountEachKindAndShowKilobytes)
{
    TROperation op;
    InitOperation(QStringLiteral("op"), op);
    op.Total = 6;
    bool stop = false;
    AddTransaction(Step("a", TRMsgKind::Ok, 2048), op, 0, true, stop, {});
    AddTransaction(Step("b", TRMsgKind::Ok, 512), op, 0, true, stop, {});
    AddTransaction(Step("c", TRMsgKind::Skip, 999), op, 0, true, stop, {});
    AddTransaction(Step("d", TRMsgKind::Warning), op, 0, true, stop, {});
    AddTransaction(Step("e", TRMsgKind::Info), op, 0, true, stop, {});
    AddTransaction(Step("f", TRMsgKind::Error), op, 0, true, stop, {});
    EXPECT_EQ(op.Transactions.size(), 6);
    EXPECT_EQ(op.Bytes, 2560);   // skipped bytes are not counted
    EXPECT_EQ(op.Kind, TRMsgKind::Error);
    EXPECT_FALSE(stop);
    FinishOperation(op, 0);
    EXPECT_EQ(op.Text, QStringLiteral("Всего - 6, обработано - 2 ( 2,50 Kb ), пропущено - 1, "
                                      "предупреждений - 1, ошибок - 1."));

    // Thousands are grouped by the locale.
    TROperation big;
    InitOperation(QStringLiteral("op"), big);
    AddTransaction(Step("a", TRMsgKind::Ok, 1536000), big, 0, true, stop, {});
    big.Total = 1;
    FinishOperation(big, 0);
    EXPECT_EQ(big.Text, QStringLiteral("Всего - 1, обработано - 1 ( 1\u00A0500,00 Kb ), пропущено - 0, "
                                       "предупреждений - 0, ошибок - 0."));
}

TEST(RMsgTypes, ErrorsCountOnlyOnTheFinalAttemptAndFollowTheOptions)
{
    TROperation op;
    InitOperation(QStringLiteral("op"), op);
    bool stop = false;
    AddTransaction(Step("x", TRMsgKind::Error), op, kTrStopOnError, false, stop, {});
    EXPECT_EQ(op.Errors, 0);
    EXPECT_EQ(op.Kind, TRMsgKind::Ok);
    EXPECT_FALSE(stop);
    EXPECT_EQ(op.Transactions.size(), 1);   // recorded all the same
    AddTransaction(Step("x", TRMsgKind::Error), op, kTrStopOnError, true, stop, {});
    EXPECT_EQ(op.Errors, 1);
    EXPECT_EQ(op.Kind, TRMsgKind::Error);
    EXPECT_TRUE(stop);

    TROperation asWarning;
    InitOperation(QStringLiteral("op"), asWarning);
    stop = false;
    AddTransaction(Step("x", TRMsgKind::Error), asWarning, kTrErrorsAsWarning, true, stop, {});
    EXPECT_EQ(asWarning.Kind, TRMsgKind::Warning);
    EXPECT_EQ(asWarning.Errors, 1);

    TROperation keep;
    InitOperation(QStringLiteral("op"), keep);
    AddTransaction(Step("x", TRMsgKind::Error), keep, kTrErrorsKeepKind, true, stop, {});
    AddTransaction(Step("y", TRMsgKind::Error), keep, kTrErrorsKeepKind, true, stop, {});
    EXPECT_EQ(keep.Kind, TRMsgKind::Ok);
    EXPECT_EQ(keep.Errors, 2);

    // A later warning never lowers an error.
    AddTransaction(Step("z", TRMsgKind::Warning), op, 0, true, stop, {});
    EXPECT_EQ(op.Kind, TRMsgKind::Error);
}

TEST(RMsgTypes, StopStepStopsTheOperationAndKeepsItsText)
{
    TROperation op;
    InitOperation(QStringLiteral("op"), op);
    bool stop = false;
    AddTransaction(Step("x", TRMsgKind::Stop), op, 0, true, stop, {});
    EXPECT_TRUE(stop);
    EXPECT_EQ(op.Kind, TRMsgKind::Stop);
    FinishOperation(op, 2);
    EXPECT_EQ(op.Kind, TRMsgKind::Stop);
    EXPECT_EQ(op.Text, QStringLiteral("Операция прервана по команде пользователя или системы!"));

    TROperation withText;
    InitOperation(QStringLiteral("op"), withText);
    AddTransaction(Step("x", TRMsgKind::Stop), withText, 0, true, stop, {});
    withText.Text = QStringLiteral("своя причина");
    FinishOperation(withText, 0);
    EXPECT_EQ(withText.Text, QStringLiteral("своя причина"));
}

TEST(RMsgTypes, WarningsAndFinalErrorsReachTheViewerAndTheLog)
{
    struct TViewerLine {
        QString Caption, Text;
        std::uint32_t Color;
    };
    QList<TViewerLine> viewer;
    SetViewerMessageSink([&](const QString& caption, const QString& text, std::uint32_t color, int) {
        viewer.append({caption, text, color});
    });
    QList<TLogLine> lines;
    const TRMsgLogProc log = [&](int level, TDateTime, TRMsgKind kind, const QString& text) {
        lines.append({level, kind, text});
    };
    TROperation op;
    InitOperation(QStringLiteral("op"), op);
    bool stop = false;
    AddTransaction(Step("Удаление", TRMsgKind::Warning, 0, "занят"), op, kTrShowInViewer, true, stop, log);
    AddTransaction(Step("Копия", TRMsgKind::Error, 0, "нет места"), op, kTrShowInViewer, false, stop, log);
    AddTransaction(Step("Копия", TRMsgKind::Error, 0, "нет места"), op, kTrShowInViewer, true, stop, log);
    AddTransaction(Step("Без окна", TRMsgKind::Error, 0, "x"), op, 0, true, stop, log);
    SetViewerMessageSink({});

    ASSERT_EQ(viewer.size(), 2);
    EXPECT_EQ(viewer[0].Caption, QString());
    EXPECT_EQ(viewer[0].Text,
              QStringLiteral("[05.03.2024 9:05:07] Предупреждение при выполнении операции \"Удаление\":\nзанят!"));
    EXPECT_EQ(viewer[0].Color, 0x800000u);
    EXPECT_EQ(viewer[1].Text,
              QStringLiteral("[05.03.2024 9:05:07] Ошибка при выполнении операции \"Копия\":\nнет места!"));

    ASSERT_EQ(lines.size(), 4);
    EXPECT_EQ(lines[1].Level, 3);
    EXPECT_EQ(lines[1].Kind, TRMsgKind::Error);
    EXPECT_EQ(lines[1].Text, QStringLiteral("Копия - нет места"));
}

TEST(RMsgTypes, AbortTests)
{
    int asked = 0;
    const TRAbortProc yes = [&](bool& abort) {
        ++asked;
        abort = true;
    };
    const TRAbortProc no = [&](bool&) { ++asked; };

    bool flag = false;
    EXPECT_FALSE(AskAbort(flag, no));
    EXPECT_FALSE(AskAbort(flag, {}));
    EXPECT_TRUE(AskAbort(flag, yes));
    EXPECT_TRUE(flag);
    asked = 0;
    EXPECT_TRUE(AskAbort(flag, yes));
    EXPECT_EQ(asked, 0);   // a set flag is not asked again

    TRTransaction t = Step("x", TRMsgKind::Ok);
    EXPECT_FALSE(CheckTransactionAbort(t, no));
    EXPECT_TRUE(CheckTransactionAbort(t, yes));
    EXPECT_EQ(t.Kind, TRMsgKind::Stop);
    EXPECT_EQ(t.Text, QStringLiteral("Операция прервана по команде пользователя или системы!"));

    TROperation op;
    InitOperation(QStringLiteral("op"), op);
    bool stop = true;
    asked = 0;
    EXPECT_TRUE(CheckOperationAbort(op, stop, yes));
    EXPECT_EQ(asked, 0);
    EXPECT_EQ(op.Kind, TRMsgKind::Ok);   // the stop flag alone does not change the kind
    stop = false;
    EXPECT_FALSE(CheckOperationAbort(op, stop, no));
    EXPECT_TRUE(CheckOperationAbort(op, stop, yes));
    EXPECT_TRUE(stop);
    EXPECT_EQ(op.Kind, TRMsgKind::Stop);
}

TEST(RMsgTypes, PauseEndsOnAbortAndLogsItsText)
{
    QList<TLogLine> lines;
    const TRMsgLogProc log = [&](int level, TDateTime, TRMsgKind kind, const QString& text) {
        lines.append({level, kind, text});
    };
    int asked = 0;
    const TRAbortProc abortThird = [&](bool& abort) { abort = ++asked >= 3; };
    bool stop = false;
    OperationPause(5, stop, QString(), abortThird, log);
    EXPECT_TRUE(stop);
    EXPECT_EQ(asked, 3);
    ASSERT_EQ(lines.size(), 1);
    EXPECT_EQ(lines[0].Kind, TRMsgKind::Header);
    EXPECT_EQ(lines[0].Text, QStringLiteral("Пауза 5 секунд..."));

    // Nothing happens for 0 seconds or an operation already stopped.
    lines.clear();
    asked = 0;
    OperationPause(0, stop, QStringLiteral("x"), abortThird, log);
    OperationPause(5, stop, QStringLiteral("x"), abortThird, log);
    EXPECT_TRUE(lines.isEmpty());
    EXPECT_EQ(asked, 0);
}

TEST(RMsgTypes, AskPercentKeepsOneToHundred)
{
    EXPECT_EQ(AskPercent(0, {}), 1);
    EXPECT_EQ(AskPercent(250, {}), 100);
    EXPECT_EQ(AskPercent(40, {}), 40);
    EXPECT_EQ(AskPercent(40, [](std::uint8_t& p) { p = 0; }), 1);
    EXPECT_EQ(AskPercent(40, [](std::uint8_t& p) { p = 75; }), 75);
}
