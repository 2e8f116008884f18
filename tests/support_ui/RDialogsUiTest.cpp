#include "support/ui/RDialogsUi.h"

#include "tests/common/EventCounter.h"
#include "tests/common/Screenshot.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QKeyEvent>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

// Sends a key to the box that is about to be shown modally and returns what the box answered.
int AnswerWithKey(const std::function<int()>& showBox, int key)
{
    QTimer::singleShot(0, [key] {
        QWidget* box = QApplication::activeModalWidget();
        ASSERT_NE(box, nullptr);
        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
        QApplication::sendEvent(box->focusWidget() ? box->focusWidget() : box, &press);
    });
    return showBox();
}

class QtBoxes : public ::testing::Test {
protected:
    void SetUp() override { FPrevious = SetMessageBoxHandler(ShowQtMessageBox); }
    void TearDown() override { SetMessageBoxHandler(FPrevious); }
    TMessageBoxHandler FPrevious;
};

} // namespace

TEST(QtMessageBox, BoxesCarryTitleTextIconButtonsAndDefault)
{
    TBoxRequest question{TBoxIcon::Question, "Подтверждение", "Удалить <b>всё</b>?", TBoxButtons::YesNo, IDNO, 292};
    const auto box = CreateQtMessageBox(question, nullptr);
    EXPECT_EQ(box->windowTitle(), "Подтверждение");
    EXPECT_EQ(box->text(), "Удалить <b>всё</b>?");
    EXPECT_EQ(box->textFormat(), Qt::PlainText);
    EXPECT_EQ(box->icon(), QMessageBox::Question);
    EXPECT_EQ(box->standardButtons(), QMessageBox::Yes | QMessageBox::No);
    EXPECT_EQ(static_cast<QAbstractButton*>(box->defaultButton()), box->button(QMessageBox::No));

    // Characters with which a host would read as "goodcom.exe.invalid" are not shown.
    const QString host = QString::fromUtf16(u"good\u202Eexe.moc\u202C\u200B\u200B.invalid");
    const auto error = CreateQtMessageBox({TBoxIcon::Error, host, "Сбой " + host, TBoxButtons::Ok, IDOK, 16}, nullptr);
    EXPECT_EQ(error->windowTitle() + error->text(), "goodexe.moc.invalidСбой goodexe.moc.invalid");
    EXPECT_EQ(error->icon(), QMessageBox::Critical);
    EXPECT_EQ(error->standardButtons(), QMessageBox::Ok);
    const auto warning = CreateQtMessageBox({TBoxIcon::Exclamation, "Внимание!", "", TBoxButtons::Ok, IDOK, 48}, nullptr);
    EXPECT_EQ(warning->icon(), QMessageBox::Warning);
    const auto info = CreateQtMessageBox({TBoxIcon::Information, "Информация", "", TBoxButtons::Ok, IDOK, 64}, nullptr);
    EXPECT_EQ(info->icon(), QMessageBox::Information);

    // Button codes of the window system.
    question.DefaultButton = IDYES;
    const auto yes = CreateQtMessageBox(question, nullptr);
    EXPECT_EQ(QtMessageBoxResult(*yes), IDCANCEL);   // closed without a button
    yes->button(QMessageBox::Yes)->click();
    EXPECT_EQ(QtMessageBoxResult(*yes), IDYES);
    const auto no = CreateQtMessageBox(question, nullptr);
    no->button(QMessageBox::No)->click();
    EXPECT_EQ(QtMessageBoxResult(*no), IDNO);
    const auto ok = CreateQtMessageBox({TBoxIcon::Error, "Ошибка", "", TBoxButtons::Ok, IDOK, 16}, nullptr);
    ok->button(QMessageBox::Ok)->click();
    EXPECT_EQ(QtMessageBoxResult(*ok), IDOK);
}

TEST(QtMessageBox, TextsTooBigForTheScreenAreShortenedAndTheButtonsStayInReach)
{
    const QString question = "\n\nПовторить попытку?";
    const struct {
        const char* Name;
        QString Text;
        QString Ending;   // the rows that end the box: its last lines, after "…" for what was left out
    } cases[] = {
        {"unbroken paste", QString(5000, 'x') + question, "…" + question},
        {"page of 3.5 MB", "<tbody>" + QString("<td>7-3</td> ").repeated(270'000) + question, "…" + question},
        {"thousands of lines", QString("12 34\n").repeated(3000) + "Готово", "12 34\nГотово"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        const auto box = CreateQtMessageBox({TBoxIcon::Question, "Ошибка", c.Text, TBoxButtons::YesNo, IDYES, 36}, nullptr);
        box->show();
        QApplication::processEvents();
        EXPECT_TRUE(box->screen()->availableGeometry().contains(box->frameGeometry())) << box->height() << " px tall";
        for (const QAbstractButton* button : box->buttons())
            EXPECT_TRUE(box->rect().contains(QRect(button->mapTo(box.get(), QPoint()), button->size())));
        EXPECT_TRUE(box->text().endsWith(c.Ending) && box->text().contains("…\n")) << box->text().toStdString();
        if (c.Name == std::string("unbroken paste")) {
            EXPECT_FALSE(SaveScreenshot(box.get(), "long-message-box", box->size()).isEmpty());
        }
    }
}

TEST_F(QtBoxes, EnterTakesTheDefaultButtonAndEscapeAnswersNoOrOk)
{
    EXPECT_FALSE(AnswerWithKey([] { return DeleteQuery(5) ? IDYES : IDNO; }, Qt::Key_Return) == IDYES);
    EXPECT_EQ(AnswerWithKey([] { return ConfirmBox("Продолжить?"); }, Qt::Key_Return), IDYES);
    EXPECT_EQ(AnswerWithKey([] { return QueryBoxDefNo("Вопрос", "Продолжить?"); }, Qt::Key_Return), IDNO);
    EXPECT_EQ(AnswerWithKey([] { return QueryBox("Вопрос", "Продолжить?"); }, Qt::Key_Escape), IDNO);
    EXPECT_EQ(AnswerWithKey([] { return ErrorBox("Сбой"); }, Qt::Key_Escape), IDOK);
    EXPECT_EQ(AnswerWithKey([] { return InfoBox("Готово"); }, Qt::Key_Return), IDOK);
}

TEST(ModalWindow, ShownAndClosedAtOnceWhenNobodyIsThereOtherwiseItsOwnLoop)
{
    struct TCase {
        const char* Name;
        bool NobodyThere;
        bool AcceptInLoop;   // what a person does in the window's loop
        int Result;
        bool LoopRan;
    } const cases[] = {
        {"a person accepts", false, true, QDialog::Accepted, true},
        {"a person closes it", false, false, QDialog::Rejected, true},
        // Nobody there: no loop that could wait for ever, and no answer that nobody gave.
        {"nobody there", true, true, QDialog::Rejected, false},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        QDialog form;
        TEventCounter shown(QEvent::Show);
        form.installEventFilter(&shown);
        bool loopRan = false;
        // Whatever the case, a window still open here is answered, so a failure cannot hang.
        QTimer::singleShot(0, &form, [&] {
            if (QApplication::activeModalWidget() != &form)
                return;
            loopRan = true;
            if (c.AcceptInLoop)
                form.accept();
            else
                form.reject();
        });
        EXPECT_EQ(ExecModalWindow(form, c.NobodyThere), c.Result);
        EXPECT_EQ(shown.Count, 1);
        EXPECT_EQ(loopRan, c.LoopRan);
        EXPECT_FALSE(form.isVisible());
        QApplication::processEvents();   // the timer of a window closed at once goes off harmlessly
        EXPECT_EQ(loopRan, c.LoopRan);
    }
}
