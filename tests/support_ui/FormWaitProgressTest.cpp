#include "support/ui/FormProgress.h"
#include "support/ui/FormWait.h"
#include "support/ui/TmplDialogSimple.h"

#include "platform/Exceptions.h"
#include "support/ui/RVclUtilsUi.h"
#include "tests/common/Screenshot.h"
#include "tests/support_ui/KeyInput.h"

#include <QApplication>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QWindow>

#include <memory>

#include <gtest/gtest.h>

TEST(WaitForm, UpdateBeforeShowDoesNothingAndTextIsCentredInThePanel)
{
    UpdateWaitForm("Загрузка...");
    EXPECT_EQ(WaitForm(), nullptr);

    ShowWaitForm("Загрузка архива тиражей...");
    TFormWait* form = WaitForm();
    ASSERT_NE(form, nullptr);
    EXPECT_TRUE(form->isVisible());
    EXPECT_EQ(form->size(), QSize(355, 77));
    const QLabel* label = form->InfoLabel();
    const int oneLine = label->height();
    EXPECT_EQ(label->x(), 4);
    EXPECT_EQ(label->width(), 346);
    EXPECT_EQ(label->y(), (form->InfoPanel()->height() - oneLine) / 2);

    UpdateWaitForm("Загрузка архива тиражей...\nДиапазон 01.08.2016 - 08.11.2016");
    EXPECT_EQ(WaitForm(), form);   // still the one window
    EXPECT_EQ(form->Text(), "Загрузка архива тиражей...\nДиапазон 01.08.2016 - 08.11.2016");
    EXPECT_GT(label->height(), oneLine);
    EXPECT_LE(label->height(), 53);
    EXPECT_EQ(label->y(), (form->InfoPanel()->height() - label->height()) / 2);

    // Many lines: the label stops growing at 53 pixels and stays centred.
    UpdateWaitForm("1\n2\n3\n4\n5\n6\n7\n8");
    EXPECT_EQ(label->height(), 53);
    EXPECT_EQ(label->y(), (77 - 53) / 2);

    UpdateWaitForm(QString::fromUtf16(u"Попытка 1, proxy good\u202Eexe.moc\u202C\u200B\u200B.invalid : 8080"));
    EXPECT_EQ(form->Text(), "Попытка 1, proxy goodexe.moc.invalid : 8080");

    ShowWaitForm("снова");
    EXPECT_EQ(WaitForm(), form);
    HideWaitForm();
    EXPECT_EQ(WaitForm(), nullptr);
    HideWaitForm();
}

// A host no break can split: its line is shortened in the middle, keeps its port and stays one
// line, so the text keeps the height of any three lines.
TEST(WaitForm, ALineWiderThanTheWindowKeepsItsBeginningAndEnd)
{
    ShowWaitForm("1\n2\n3");
    const QLabel* label = WaitForm()->InfoLabel();
    const int threeLines = label->height();
    UpdateWaitForm("Загрузка архива тиражей...\n\nПопытка 1, proxy " + QString(5000, 'a') + " : 8080");
    const QStringList lines = WaitForm()->Text().split('\n');
    ASSERT_EQ(lines.size(), 3);
    EXPECT_TRUE(lines[2].startsWith("Попытка 1, proxy aaa") && lines[2].endsWith("aaa : 8080")) << lines[2].size();
    EXPECT_LE(label->fontMetrics().horizontalAdvance(lines[2]), label->width());
    EXPECT_EQ(label->height(), threeLines);
    EXPECT_FALSE(SaveScreenshot(WaitForm(), "WaitFormLongProxyHost", WaitForm()->size()).isEmpty());
    HideWaitForm();
}

TEST(WaitForm, StaysAboveTheMainWindowAsItsToolWindow)
{
    QWidget* const previous = MainForm();
    auto main = std::make_unique<QWidget>();
    main->resize(500, 300);
    ASSERT_TRUE(ActivateWindow(main.get()));
    SetMainForm(main.get());

    ShowWaitForm("Загрузка архива тиражей...");
    TFormWait* form = WaitForm();
    ASSERT_NE(form, nullptr);
    EXPECT_TRUE(form->isWindow());
    EXPECT_EQ(form->parentWidget(), main.get());
    // A tool window is kept above the window it belongs to, whichever of the two is clicked.
    EXPECT_EQ(form->windowType(), Qt::Tool);
    EXPECT_TRUE(form->windowFlags().testFlag(Qt::FramelessWindowHint));
    ASSERT_NE(form->windowHandle(), nullptr);
    EXPECT_EQ(form->windowHandle()->transientParent(), main->windowHandle());
    // It does not ask for the focus: the keys of the waiting window stay where they were.
    EXPECT_TRUE(form->testAttribute(Qt::WA_ShowWithoutActivating));
    // The main window made active again (a click on it) leaves the wait window shown.
    ASSERT_TRUE(ActivateWindow(main.get()));
    EXPECT_TRUE(form->isVisible());

    // The main window going away takes the wait window with it.
    main.reset();
    EXPECT_EQ(WaitForm(), nullptr);
    HideWaitForm();
    SetMainForm(previous);
}

TEST(ProgressForm, SecondShowRaisesAndTheFirstWindowStays)
{
    ShowProgress("Экспорт...", 10, false);
    TFormProgress* form = ProgressForm();
    ASSERT_NE(form, nullptr);
    EXPECT_EQ(form->size(), QSize(416, 74));
    EXPECT_FALSE(form->BtnStop()->isVisibleTo(form));
    try {
        ShowProgress("Другое", 5, false);
        ADD_FAILURE() << "no exception";
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message(), "Окно индикатора уже создано!");
    }
    EXPECT_EQ(ProgressForm(), form);
    EXPECT_EQ(form->Text()->text(), "Экспорт...");
    HideProgress();
    EXPECT_EQ(ProgressForm(), nullptr);
}

TEST(ProgressForm, StepsStopAtTheMaximumAndCallsWithoutAWindowDoNothing)
{
    StepProgress(3);
    SetProgressText("ничего");
    HideProgress();
    EXPECT_EQ(ProgressForm(), nullptr);

    ShowProgress("Подготовка", 10, false);
    QProgressBar* gauge = ProgressForm()->Gauge();
    EXPECT_EQ(gauge->value(), 0);
    StepProgress(4);
    EXPECT_EQ(gauge->value(), 4);
    StepProgress(4);
    StepProgress(4);
    EXPECT_EQ(gauge->value(), 10);
    SetProgressText("Запись");
    EXPECT_EQ(ProgressForm()->Text()->text(), "Запись");
    HideProgress();

    // An empty gauge stays empty.
    ShowProgress("Пусто", 0, false);
    StepProgress(1);
    EXPECT_EQ(ProgressForm()->Gauge()->value(), 0);
    HideProgress();
}

TEST(ProgressForm, StopButtonMakesRoomAndAClickAsksToStop)
{
    ShowProgress("Обновление", 3, true);
    TFormProgress* form = ProgressForm();
    EXPECT_EQ(form->size(), QSize(416, 105));
    EXPECT_TRUE(form->BtnStop()->isVisible());
    EXPECT_EQ(form->BtnStop()->text(), "Отмена");
    EXPECT_EQ(form->BtnStop()->toolTip(), "Прервать операцию");
    EXPECT_FALSE(ProgressStopRequested());
    form->BtnStop()->click();
    EXPECT_TRUE(ProgressStopRequested());
    HideProgress();
    EXPECT_FALSE(ProgressStopRequested());
}

TEST(BaseDialog, ButtonsSitOnTheirPanelAndEnterAcceptsEscapeRejects)
{
    TDialogSTemplate dialog;
    EXPECT_EQ(dialog.OkBtn()->text(), "ОК");
    EXPECT_EQ(dialog.OkBtn()->toolTip(), "Сохранить изменения");
    EXPECT_EQ(dialog.CancelBtn()->text(), "Отмена");
    EXPECT_EQ(dialog.CancelBtn()->toolTip(), "Отменить изменения и закрыть окно");
    EXPECT_TRUE(dialog.OkBtn()->isDefault());
    EXPECT_EQ(dialog.OkBtn()->geometry(), QRect(12, 12, 97, 25));
    EXPECT_EQ(dialog.CancelBtn()->geometry(), QRect(112, 12, 97, 25));
    EXPECT_EQ(dialog.ButtonsPanel()->height(), 49);

    auto press = [&dialog](int key) {
        QTimer::singleShot(0, &dialog, [&dialog, key] {
            QKeyEvent down(QEvent::KeyPress, key, Qt::NoModifier);
            QApplication::sendEvent(&dialog, &down);
        });
        return dialog.exec();
    };
    EXPECT_EQ(press(Qt::Key_Return), QDialog::Accepted);
    EXPECT_EQ(press(Qt::Key_Escape), QDialog::Rejected);
}
