#include "support/ui/RVclUtilsUi.h"

#include "support/RVclUtils.h"
#include "support/ui/RStatusBar.h"

#include <QApplication>
#include <QMainWindow>
#include <QMetaObject>

#include <gtest/gtest.h>

namespace {

// The main window with a status bar of four panels, as the program's main window has.
class StatusLine : public ::testing::Test {
protected:
    void SetUp() override
    {
        FBar = new TStatusBar(&FWindow);
        for (int width : {120, 200, 80, -1})
            FBar->AddPanel(width);
        FWindow.setStatusBar(FBar);
        SetMainForm(&FWindow);
        FPrevious = SetStatusSink({});
        InstallStatusLine();
    }
    void TearDown() override
    {
        SetStatusSink(FPrevious);
        SetMainForm(nullptr);
    }

    QMainWindow FWindow;
    TStatusBar* FBar = nullptr;
    TStatusSink FPrevious;
};

} // namespace

TEST_F(StatusLine, TextGoesToThePanelNamedByTheTagOrToTheSimpleText)
{
    EXPECT_EQ(FBar->objectName(), "StatusBar");
    FBar->SetTag(2);
    ShowInStatusBar("( завершено 42 % )");
    EXPECT_EQ(FBar->PanelText(2), "( завершено 42 % )");
    EXPECT_EQ(FBar->PanelText(0), "");
    EXPECT_EQ(FBar->PanelText(1), "");

    FBar->SetSimplePanel(true);
    ShowInStatusBar("Подождите пожалуйста...");
    EXPECT_EQ(FBar->SimpleText(), "Подождите пожалуйста...");
    EXPECT_EQ(FBar->PanelText(2), "( завершено 42 % )");

    // A tag past the last panel writes nothing and raises nothing.
    FBar->SetSimplePanel(false);
    FBar->SetTag(9);
    EXPECT_NO_THROW(ShowInStatusBar("x"));
    for (int i = 0; i < FBar->PanelCount(); ++i)
        EXPECT_NE(FBar->PanelText(i), "x");
}

TEST_F(StatusLine, WithoutAStatusBarOrMainWindowNothingIsWrittenButEventsAreProcessed)
{
    FBar->setObjectName("OtherBar");
    bool ran = false;
    QMetaObject::invokeMethod(qApp, [&ran] { ran = true; }, Qt::QueuedConnection);
    ShowInStatusBar("текст");
    EXPECT_TRUE(ran);
    EXPECT_EQ(FBar->PanelText(0), "");

    SetMainForm(nullptr);
    ran = false;
    QMetaObject::invokeMethod(qApp, [&ran] { ran = true; }, Qt::QueuedConnection);
    ShowInStatusBar("текст");
    EXPECT_TRUE(ran);
}

TEST(Hourglass, HeldOnceWhileBusyAndGoneAtZero)
{
    ASSERT_TRUE(IsNotWaiting());
    ASSERT_EQ(QApplication::overrideCursor(), nullptr);
    InstallHourglass();
    InstallHourglass();   // a second install adds nothing
    StartWait();
    ASSERT_NE(QApplication::overrideCursor(), nullptr);
    EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
    StartWait();
    StopWait();
    EXPECT_TRUE(HourglassShown());
    StopWait();
    EXPECT_FALSE(HourglassShown());
    // One override only was pushed, so none is left.
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    StopWait();   // surplus
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);

    StartWait();
    RemoveHourglass();   // taking it away while busy gives the cursor back
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    StopWait();
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}
