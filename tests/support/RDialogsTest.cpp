#include "support/RDialogs.h"
#include "support/RDialogsScripted.h"

#include <gtest/gtest.h>

namespace {

TBoxRequest Box(TBoxIcon icon, const char* title, const QString& text, TBoxButtons buttons,
                int defaultButton, int flags)
{
    return TBoxRequest{icon, QString::fromUtf8(title), text, buttons, defaultButton, flags};
}

} // namespace

TEST(RDialogs, OkBoxesCarryTheirTitleIconAndFlags)
{
    TScriptedBoxes boxes;
    EXPECT_EQ(ErrorBox("Диск полон"), IDOK);
    EXPECT_EQ(InfoBox("Готово"), IDOK);
    EXPECT_EQ(AttentionBox("Осторожно"), IDOK);
    EXPECT_EQ(WarningBox("Файл занят"), IDOK);

    ASSERT_EQ(boxes.Boxes().size(), 4);
    EXPECT_EQ(boxes.Boxes()[0], Box(TBoxIcon::Error, "Ошибка", "Диск полон", TBoxButtons::Ok, IDOK, 16));
    EXPECT_EQ(boxes.Boxes()[1], Box(TBoxIcon::Information, "Информация", "Готово", TBoxButtons::Ok, IDOK, 64));
    EXPECT_EQ(boxes.Boxes()[2], Box(TBoxIcon::Exclamation, "Внимание!", "Осторожно", TBoxButtons::Ok, IDOK, 48));
    EXPECT_EQ(boxes.Boxes()[3], Box(TBoxIcon::Exclamation, "Предупреждение", "Файл занят", TBoxButtons::Ok, IDOK, 48));
    EXPECT_EQ(boxes.Unanswered(), 4);
}

TEST(RDialogs, QuestionsReturnTheButtonPressedAndKnowTheirDefault)
{
    TScriptedBoxes boxes;
    boxes.Answer(IDNO);
    boxes.Answer(IDYES);
    boxes.Answer(IDNO);
    boxes.Answer(IDCANCEL);
    EXPECT_EQ(QueryBox("Загрузка", "Повторить?"), IDNO);
    EXPECT_EQ(QueryBoxDefNo("Загрузка", "Прервать?"), IDYES);
    EXPECT_EQ(ConfirmBox("Сохранить?"), IDNO);
    EXPECT_EQ(ConfirmBoxDefNo("Заменить?"), IDCANCEL);
    EXPECT_EQ(boxes.Unanswered(), 0);
    EXPECT_EQ(boxes.Pending(), 0);

    ASSERT_EQ(boxes.Boxes().size(), 4);
    EXPECT_EQ(boxes.Boxes()[0], Box(TBoxIcon::Question, "Загрузка", "Повторить?", TBoxButtons::YesNo, IDYES, 36));
    EXPECT_EQ(boxes.Boxes()[1], Box(TBoxIcon::Question, "Загрузка", "Прервать?", TBoxButtons::YesNo, IDNO, 292));
    EXPECT_EQ(boxes.Boxes()[2], Box(TBoxIcon::Question, "Подтверждение", "Сохранить?", TBoxButtons::YesNo, IDYES, 36));
    EXPECT_EQ(boxes.Boxes()[3], Box(TBoxIcon::Question, "Подтверждение", "Заменить?", TBoxButtons::YesNo, IDNO, 292));
}

TEST(RDialogs, TextsWithPercentSignsAndLineBreaksPassUnchanged)
{
    TScriptedBoxes boxes;
    const QString text = "100 %d %s\nвторая строка";
    ErrorBox(text);
    QueryBox("%s", text);
    EXPECT_EQ(boxes.Boxes()[0].Text, text);
    EXPECT_EQ(boxes.Boxes()[1].Title, "%s");
}

TEST(RDialogs, DeleteQueryAsksForOneOrSeveralRecordsWithNoAsDefault)
{
    TScriptedBoxes boxes;
    boxes.Answer(IDYES);
    EXPECT_TRUE(DeleteQuery(1));
    boxes.Answer(IDNO);
    EXPECT_FALSE(DeleteQuery(5));
    EXPECT_FALSE(DeleteQuery(0));      // unanswered: Enter presses No
    boxes.Answer(IDCANCEL);
    EXPECT_FALSE(DeleteQuery(-3));

    ASSERT_EQ(boxes.Boxes().size(), 4);
    EXPECT_EQ(boxes.Boxes()[0], Box(TBoxIcon::Question, "Предупреждение", "Удалить выделенную запись?",
                                    TBoxButtons::YesNo, IDNO, 292));
    EXPECT_EQ(boxes.Boxes()[1].Text,
              "Удалить все выделенные записи (всего будет удалено 5 записи(ей))?");
    EXPECT_EQ(boxes.Boxes()[1].DefaultButton, IDNO);
    EXPECT_EQ(boxes.Boxes()[2].Text,
              "Удалить все выделенные записи (всего будет удалено 0 записи(ей))?");
    EXPECT_EQ(boxes.Boxes()[3].Text,
              "Удалить все выделенные записи (всего будет удалено -3 записи(ей))?");
    EXPECT_EQ(boxes.Unanswered(), 1);
}

TEST(RDialogs, ScriptedBoxesNestAndRestoreTheBackEndBefore)
{
    TScriptedBoxes outer;
    {
        TScriptedBoxes inner;
        inner.Answer(IDNO);
        EXPECT_EQ(ConfirmBox("внутри"), IDNO);
        EXPECT_EQ(inner.Boxes().size(), 1);
    }
    outer.Answer(IDYES);
    EXPECT_EQ(ConfirmBox("снаружи"), IDYES);
    ASSERT_EQ(outer.Boxes().size(), 1);
    EXPECT_EQ(outer.Last().Text, "снаружи");
}

TEST(RDialogs, WithoutABackEndABoxIsWrittenOutAndNoQuestionIsAgreedTo)
{
    const TMessageBoxHandler previous = SetMessageBoxHandler(nullptr);
    testing::internal::CaptureStderr();
    EXPECT_EQ(InfoBox("нет окон"), IDOK);
    // Yes is this question's default button, but nobody pressed it: a retry question answered
    // Yes without a person would repeat for ever.
    EXPECT_EQ(QueryBox("Ошибка", "Повторить попытку?"), IDNO);
    EXPECT_EQ(QueryBoxDefNo("вопрос", "нет?"), IDNO);
    EXPECT_FALSE(DeleteQuery(2));
    const std::string written = testing::internal::GetCapturedStderr();
    SetMessageBoxHandler(previous);
    EXPECT_EQ(QString::fromStdString(written),
              "[Информация] нет окон\n[Ошибка] Повторить попытку?\n[вопрос] нет?\n"
              "[Предупреждение] Удалить все выделенные записи (всего будет удалено 2 записи(ей))?\n");
}
