#include "support/ui/RMsgViewer.h"

#include "support/RMsgTypes.h"
#include "support/RVclUtils.h"
#include "support/ui/RActions.h"
#include "support/ui/RStatusBar.h"
#include "tests/common/Screenshot.h"

#include <QAction>
#include <QApplication>
#include <QFileInfo>
#include <QImage>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextEdit>

#include <gtest/gtest.h>

namespace {

class MessageViewer : public ::testing::Test {
protected:
    void TearDown() override { delete MsgViewer(); }

    static QStringList Lines()
    {
        QStringList lines;
        for (QTextBlock block = MsgViewer()->MsgList()->document()->begin(); block.isValid(); block = block.next())
            lines << block.text();
        return lines;
    }
    // The colour of the text at the start of a line.
    static QColor LineColor(int line)
    {
        const QTextBlock block = MsgViewer()->MsgList()->document()->findBlockByNumber(line);
        return block.begin().fragment().charFormat().foreground().color();
    }
};

} // namespace

TEST_F(MessageViewer, MessagesAreKeptApartByAnEmptyLineAndCounted)
{
    EXPECT_EQ(MsgViewer(), nullptr);
    AddViewerMessage("", "Первое сообщение", 0x008000, 0);
    TFormMsgViewer* viewer = MsgViewer();
    ASSERT_NE(viewer, nullptr);
    EXPECT_TRUE(viewer->isVisible());
    EXPECT_EQ(viewer->windowTitle(), "Сообщения");
    EXPECT_TRUE(viewer->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_EQ(viewer->StatusBar()->SimpleText(), "Всего сообщений: 1");

    AddViewerMessage("Обновление", "Второе\nв две строки", 0xFF0000, kFontStyleBold);
    EXPECT_EQ(MsgViewer(), viewer);
    EXPECT_EQ(viewer->windowTitle(), "Обновление");
    EXPECT_EQ(Lines(), (QStringList{"Первое сообщение", "", "Второе", "в две строки"}));
    EXPECT_EQ(LineColor(0), QColor(0, 128, 0));
    EXPECT_EQ(LineColor(2), QColor(255, 0, 0));
    EXPECT_EQ(viewer->StatusBar()->SimpleText(), "Всего сообщений: 2");

    // Blanks only: nothing is added, the count is shown again, the caption stays.
    AddViewerMessage("", "  \t ", 0, 0);
    EXPECT_EQ(Lines().size(), 4);
    EXPECT_EQ(viewer->Count(), 2);
    EXPECT_EQ(viewer->windowTitle(), "Обновление");
    EXPECT_EQ(viewer->StatusBar()->SimpleText(), "Всего сообщений: 2");
}

TEST_F(MessageViewer, OperationWarningsAndErrorsArriveInTheColoursOfTheirKinds)
{
    InstallMessageViewer();
    TROperation operation;
    InitOperation("Копирование", operation);
    bool stop = false;
    TRTransaction warning;
    InitTransaction("Копирование файла", warning);
    warning.Kind = TRMsgKind::Warning;
    warning.Text = "Файл занят";
    AddTransaction(warning, operation, kTrShowInViewer, true, stop, {});
    TRTransaction error = warning;
    error.Kind = TRMsgKind::Error;
    error.Text = "Нет доступа!";   // the message's own "!" is not doubled
    AddTransaction(error, operation, kTrShowInViewer, true, stop, {});
    SetViewerMessageSink({});

    ASSERT_NE(MsgViewer(), nullptr);
    EXPECT_EQ(MsgViewer()->Count(), 2);
    const QStringList lines = Lines();
    ASSERT_EQ(lines.size(), 5);
    EXPECT_TRUE(lines[0].contains("Предупреждение при выполнении операции \"Копирование файла\":"));
    EXPECT_EQ(lines[1], "Файл занят!");
    EXPECT_TRUE(lines[3].contains("Ошибка при выполнении операции \"Копирование файла\":"));
    EXPECT_EQ(lines[4], "Нет доступа!");
    EXPECT_EQ(LineColor(0).rgb() & 0xFFFFFF, MsgKindColor(TRMsgKind::Warning));
    EXPECT_EQ(LineColor(3).rgb() & 0xFFFFFF, MsgKindColor(TRMsgKind::Error));
}

TEST_F(MessageViewer, CloseWaitsForTheBusyStateAndFreesTheWindow)
{
    AddViewerMessage("", "Текст", 0, 0);
    TActionRegistry* actions = MsgViewer()->Actions();
    ASSERT_NE(actions->Action("CloseMsgs"), nullptr);
    EXPECT_EQ(actions->Action("CloseMsgs")->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_F4));
    EXPECT_EQ(actions->Action("EditCopy")->toolTip(), "Копировать выделенный фрагмент в бувер обмена");
    EXPECT_FALSE(actions->Action("EditCopy")->isEnabled());
    EXPECT_TRUE(actions->Execute("EditSelectAll"));
    EXPECT_TRUE(actions->Action("EditCopy")->isEnabled());

    StartWait();
    EXPECT_FALSE(actions->Execute("CloseMsgs"));
    StopWait();
    EXPECT_TRUE(actions->Execute("CloseMsgs"));
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(MsgViewer(), nullptr);
}

TEST_F(MessageViewer, ScreenshotShowsTheColouredLines)
{
    AddViewerMessage("", "[05.03.2024 9:05:07] Предупреждение при выполнении операции \"Копирование\":\n"
                         "Файл занят!", MsgKindColor(TRMsgKind::Warning), 0);
    AddViewerMessage("", "Готово: скопировано 12 файлов", MsgKindColor(TRMsgKind::Info), kFontStyleBold);
    // A copy error names long folders: it wraps within the window.
    AddViewerMessage("", "[05.03.2024 9:05:07] Ошибка при выполнении операции \"Копирование \"Tavrix2_2r10\" из "
                         "\"/home/player/Programs/Tavrix2_2r10-data-folder/SelfUpdate\" в "
                         "\".../Tavrix2_2r10-data-folder\"\":\n"
                         "Ошибка записи файла: /home/player/Programs/Tavrix2_2r10-data-folder/Tavrix2_2r10.tmp: "
                         "на устройстве не осталось свободного места!", MsgKindColor(TRMsgKind::Error), 0);
    AddViewerMessage("", "Операция прервана по команде пользователя или системы!", MsgKindColor(TRMsgKind::Stop), 0);
    const QString path = SaveScreenshot(MsgViewer(), "MsgViewer", QSize(600, 260));
    EXPECT_EQ(MsgViewer()->MsgList()->horizontalScrollBar()->maximum(), 0);
    ASSERT_FALSE(path.isEmpty());
    const QImage image(path);
    ASSERT_FALSE(image.isNull());
    EXPECT_EQ(image.size(), QSize(600, 260));
    // Some pixel of the picture is the red of the last line.
    bool red = false;
    for (int y = 0; y < image.height() && !red; ++y)
        for (int x = 0; x < image.width() && !red; ++x)
            red = image.pixelColor(x, y) == QColor(255, 0, 0);
    EXPECT_TRUE(red);
}
