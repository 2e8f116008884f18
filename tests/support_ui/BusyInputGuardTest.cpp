#include "support/RVclUtils.h"
#include "support/ui/RVclUtilsUi.h"
#include "tests/support_ui/KeyInput.h"

#include <QAction>
#include <QContextMenuEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>
#include <QWheelEvent>

#include <gtest/gtest.h>

#include <functional>

namespace {

void Mouse(QWidget* widget, QEvent::Type type, const QPoint& at)
{
    QMouseEvent event(type, at, widget->mapToGlobal(at), Qt::LeftButton,
                      type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(widget, &event);
}

void Click(QWidget* widget, const QPoint& at)
{
    Mouse(widget, QEvent::MouseButtonPress, at);
    Mouse(widget, QEvent::MouseButtonRelease, at);
}

// A window like the program's: a menu, an offset editor with its label, a list, a button, a
// text field, and a stop button that stays live.
class BusyInputGuardTest : public ::testing::Test {
protected:
    BusyInputGuardTest()
    {
        auto* central = new QWidget;
        auto* layout = new QVBoxLayout(central);
        auto* label = new QLabel("&Offset");
        FOffset = new QSpinBox;
        FOffset->setRange(0, 9);
        label->setBuddy(FOffset);
        FList = new QListWidget;
        FList->addItems({"1", "2", "3", "4", "5"});
        FList->setContextMenuPolicy(Qt::CustomContextMenu);
        QObject::connect(FList, &QWidget::customContextMenuRequested, [this] { ++FContextMenus; });
        FButton = new QPushButton("Add");
        QObject::connect(FButton, &QPushButton::clicked, [this] { ++FClicks; });
        FStop = new QPushButton("Stop");
        QObject::connect(FStop, &QPushButton::clicked, [this] { ++FStops; });
        SetLiveWhileBusy(FStop);
        FEdit = new QLineEdit;
        for (QWidget* widget : std::initializer_list<QWidget*>{label, FOffset, FList, FButton, FStop, FEdit})
            layout->addWidget(widget);
        FWindow.setCentralWidget(central);
        FMenu = FWindow.menuBar()->addMenu("Scenario");
        // A command meant for long work: its key works whatever the focus holds.
        auto* stop = new QAction("Stop", &FWindow);
        stop->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_X));
        QObject::connect(stop, &QAction::triggered, [this] { ++FStops; });
        FWindow.addAction(stop);
        FMenu->addAction(stop);
        InstallBusyInputGuard(&FWindow);
        InstallBusyInputGuard(&FWindow);   // once is enough; twice changes nothing
        FWindow.resize(300, 400);
    }

    ~BusyInputGuardTest() override
    {
        while (!IsNotWaiting())
            StopWait();
    }

    QMainWindow FWindow;
    QMenu* FMenu = nullptr;
    QSpinBox* FOffset = nullptr;
    QListWidget* FList = nullptr;
    QPushButton* FButton = nullptr;
    QPushButton* FStop = nullptr;
    QLineEdit* FEdit = nullptr;
    int FClicks = 0;
    int FStops = 0;
    int FContextMenus = 0;
};

TEST_F(BusyInputGuardTest, PagesTakeNoInputWhileBusyAndAllAgainAfterwards)
{
    ASSERT_TRUE(ActivateWindow(&FWindow));
    // Each input returns whether it changed anything.
    struct TInput {
        const char* What;
        std::function<bool()> Try;
    };
    const TInput inputs[] = {
        {"wheel on the offset editor",
         [&] {
             const int before = FOffset->value();
             QWheelEvent wheel(QPointF(5, 5), FOffset->mapToGlobal(QPointF(5, 5)), QPoint(), QPoint(0, 120),
                               Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
             QApplication::sendEvent(FOffset, &wheel);
             return FOffset->value() != before;
         }},
        {"arrow key in the offset editor",
         [&] {
             FOffset->setFocus();
             const int before = FOffset->value();
             TypeKey(&FWindow, Qt::Key_Up);
             return FOffset->value() != before;
         }},
        {"typing into the text field",
         [&] {
             FEdit->setFocus();
             const QString before = FEdit->text();
             TypeKey(&FWindow, Qt::Key_5, Qt::NoModifier, "5");
             return FEdit->text() != before;
         }},
        {"the label's mnemonic moves the focus to the editor",
         [&] {
             FEdit->setFocus();
             TypeKey(&FWindow, Qt::Key_O, Qt::AltModifier);
             return QApplication::focusWidget() == FOffset;
         }},
        {"a click on a row of the list",
         [&] {
             const int before = FList->currentRow();
             const int row = (before + 2) % FList->count();
             Click(FList->viewport(), FList->visualItemRect(FList->item(row)).center());
             return FList->currentRow() != before;
         }},
        {"a click on a button",
         [&] {
             const int before = FClicks;
             Click(FButton, FButton->rect().center());
             return FClicks != before;
         }},
        {"the list's context menu",
         [&] {
             const int before = FContextMenus;
             QContextMenuEvent menu(QContextMenuEvent::Mouse, QPoint(5, 5), FList->viewport()->mapToGlobal(QPoint(5, 5)));
             QApplication::sendEvent(FList->viewport(), &menu);
             return FContextMenus != before;
         }},
    };

    for (const TInput& input : inputs)
        EXPECT_TRUE(input.Try()) << "idle: " << input.What;
    EXPECT_FALSE(InputBlockedByWait(FOffset));

    StartWait();
    StartWait();   // nested waits hold it once
    EXPECT_TRUE(InputBlockedByWait(FOffset));
    EXPECT_TRUE(InputBlockedByWait(FList->viewport()));
    EXPECT_FALSE(InputBlockedByWait(FStop));
    EXPECT_FALSE(InputBlockedByWait(FWindow.menuBar()));
    for (const TInput& input : inputs)
        EXPECT_FALSE(input.Try()) << "busy: " << input.What;
    StopWait();
    for (const TInput& input : inputs)
        EXPECT_FALSE(input.Try()) << "still busy: " << input.What;
    StopWait();

    EXPECT_FALSE(InputBlockedByWait(FOffset));
    for (const TInput& input : inputs)
        EXPECT_TRUE(input.Try()) << "idle again: " << input.What;
}

TEST_F(BusyInputGuardTest, CommandsForLongWorkAndOtherWindowsStayLive)
{
    ASSERT_TRUE(ActivateWindow(&FWindow));
    // Idle, the text field claims Ctrl+X for itself (cut).
    FEdit->setFocus();
    TypeKey(&FWindow, Qt::Key_X, Qt::ControlModifier);
    EXPECT_EQ(FStops, 0);

    StartWait();
    // Busy, the field claims nothing: the key reaches the stop command.
    TypeKey(&FWindow, Qt::Key_X, Qt::ControlModifier);
    EXPECT_EQ(FStops, 1);
    // The stop button marked live takes its click.
    Click(FStop, FStop->rect().center());
    EXPECT_EQ(FStops, 2);
    // The menu bar opens its menus: their commands decide themselves whether they run.
    Click(FWindow.menuBar(), FWindow.menuBar()->actionGeometry(FMenu->menuAction()).center());
    EXPECT_EQ(QApplication::activePopupWidget(), FMenu);
    FMenu->close();

    // Another window (a message box, a dialog) takes input as usual.
    QWidget dialog;
    auto* field = new QLineEdit(&dialog);
    ASSERT_TRUE(ActivateWindow(&dialog));
    field->setFocus();
    TypeKey(&dialog, Qt::Key_7, Qt::NoModifier, "7");
    EXPECT_EQ(field->text(), "7");
    EXPECT_FALSE(InputBlockedByWait(field));
    StopWait();
}

TEST_F(BusyInputGuardTest, AButtonPressedBeforeTheWaitIsLetGoWithoutAClick)
{
    ASSERT_TRUE(ActivateWindow(&FWindow));
    Mouse(FButton, QEvent::MouseButtonPress, FButton->rect().center());
    EXPECT_TRUE(FButton->isDown());
    StartWait();
    EXPECT_FALSE(FButton->isDown());
    Mouse(FButton, QEvent::MouseButtonRelease, FButton->rect().center());
    EXPECT_EQ(FClicks, 0);
    StopWait();
    Click(FButton, FButton->rect().center());
    EXPECT_EQ(FClicks, 1);
}

} // namespace
