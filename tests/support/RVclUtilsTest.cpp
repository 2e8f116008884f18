#include "support/RVclUtils.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QList>
#include <QMetaObject>

#include <gtest/gtest.h>

#include <cmath>

TEST(RVclUtilsWait, NestedCallsKeepTheBusyStateUntilTheOutermostStop)
{
    QList<int> seen;
    const int id = AddWaitListener([&seen](int count) { seen.append(count); });

    ASSERT_TRUE(IsNotWaiting());
    StartWait();
    StartWait();
    EXPECT_FALSE(IsNotWaiting());
    StopWait();
    EXPECT_FALSE(IsNotWaiting());
    EXPECT_EQ(WaitCount(), 1);
    StopWait();
    EXPECT_TRUE(IsNotWaiting());
    // A surplus stop stays at 0 but is still announced, so the cursor is restored again.
    StopWait();
    EXPECT_EQ(WaitCount(), 0);
    EXPECT_EQ(seen, (QList<int>{1, 2, 1, 0, 0}));

    RemoveWaitListener(id);
    StartWait();
    StopWait();
    EXPECT_EQ(seen.size(), 5);
}

TEST(RVclUtilsWait, EveryListenerIsToldAndOneMayRemoveItselfWhileBeingTold)
{
    QList<QString> calls;
    int selfId = 0;
    selfId = AddWaitListener([&](int count) {
        calls.append(QString("a%1").arg(count));
        RemoveWaitListener(selfId);
    });
    const int second = AddWaitListener([&](int count) { calls.append(QString("b%1").arg(count)); });
    StartWait();
    StopWait();
    RemoveWaitListener(second);
    EXPECT_EQ(calls, (QList<QString>{"a1", "b1", "b0"}));
}

TEST(RVclUtilsStatus, TextGoesToTheSinkAndPendingEventsAreProcessed)
{
    QList<QString> texts;
    const TStatusSink previous = SetStatusSink([&texts](const QString& text) { texts.append(text); });
    bool ran = false;
    QMetaObject::invokeMethod(QCoreApplication::instance(), [&ran] { ran = true; }, Qt::QueuedConnection);
    ShowInStatusBar("( завершено 5 % )");
    EXPECT_TRUE(ran);
    EXPECT_EQ(texts, (QList<QString>{"( завершено 5 % )"}));

    // Without a status line nothing is written, but events are still processed.
    SetStatusSink(nullptr);
    ran = false;
    QMetaObject::invokeMethod(QCoreApplication::instance(), [&ran] { ran = true; }, Qt::QueuedConnection);
    ShowInStatusBar("никуда");
    EXPECT_TRUE(ran);
    EXPECT_EQ(texts.size(), 1);
    SetStatusSink(previous);
}

TEST(RVclUtilsDelay, ProcessesEventsAtLeastOnceAndWaitsTheTime)
{
    bool ran = false;
    QMetaObject::invokeMethod(QCoreApplication::instance(), [&ran] { ran = true; }, Qt::QueuedConnection);
    Delay(0);
    EXPECT_TRUE(ran);

    ran = false;
    QMetaObject::invokeMethod(QCoreApplication::instance(), [&ran] { ran = true; }, Qt::QueuedConnection);
    Delay(-5);
    EXPECT_TRUE(ran);

    QElapsedTimer timer;
    timer.start();
    Delay(60);
    EXPECT_GE(timer.elapsed(), 60);
}

TEST(RVclUtilsText, BooleansAsZeroAndOne)
{
    EXPECT_EQ(BoolToStr01(true), "1");
    EXPECT_EQ(BoolToStr01(false), "0");
    EXPECT_TRUE(StrToBool01("1"));
    for (const char* text : {"0", "", " 1", "1 ", "01", "2", "true", "-1"})
        EXPECT_FALSE(StrToBool01(text)) << text;
}

TEST(RVclUtilsText, FloatWithPointWhateverTheLocale)
{
    // The tests run under the Russian locale, whose decimal separator is a comma.
    EXPECT_EQ(FloatToStrPoint(0.5L), "0.5");
    EXPECT_EQ(FloatToStrPoint(-1234.25L), "-1234.25");
    EXPECT_EQ(FloatToStrPoint(3.0L), "3");
    EXPECT_EQ(FloatToStrPoint(0.1L), "0.1");
}

TEST(RVclUtilsText, LenientFloatReading)
{
    EXPECT_EQ(StrToFloatAnyDef("1 234,5", -1), 1234.5L);
    EXPECT_EQ(StrToFloatAnyDef("1234.5", -1), 1234.5L);
    EXPECT_EQ(StrToFloatAnyDef(" -0,25 руб", -1), -0.25L);
    // A trailing abbreviation dot is a second separator, which spoils the number.
    EXPECT_EQ(StrToFloatAnyDef(" -0,25 руб.", -1), -1.0L);
    EXPECT_EQ(StrToFloatAnyDef("+7", -1), 7.0L);
    EXPECT_EQ(StrToFloatAnyDef("1.2.3", -1), -1.0L);
    EXPECT_EQ(StrToFloatAnyDef("нет цифр", 42), 42.0L);
    EXPECT_EQ(StrToFloatAnyDef("", 42), 42.0L);
    EXPECT_EQ(StrToFloatAnyDef("-", 42), 42.0L);
    // The exponent letter is dropped, which glues the digits together.
    EXPECT_EQ(StrToFloatAnyDef("1E3", -1), 13.0L);
}
