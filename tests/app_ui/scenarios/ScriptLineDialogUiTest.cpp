// The scenario line dialog.

#include "tests/app_ui/scenarios/ScriptDialogsUiTest.h"

using namespace script_dialogs_test;

namespace {

// ---------------------------------------------------------------------------------------
// The line dialog

TEST_F(ScriptDialogsUiTest, LineDialogShowsTheLineAndWritesItBack)
{
    TFormScript form(Context);
    EXPECT_EQ(form.windowTitle(), U("Элемент сценария"));
    form.LoadLine(U(kLine), 3);
    EXPECT_EQ(form.cbStartCombsType->currentText(), U("Удалить N последних тиражей (для прогнозов)"));
    EXPECT_EQ(form.edDrawsExclude->value(), 5);
    EXPECT_EQ(form.cbResultCombsMode->currentText(), U("Выбрать первую комбинацию в списке"));
    EXPECT_TRUE(form.cbClearStakes->isChecked());
    EXPECT_FALSE(form.cbNewOnly->isChecked());
    EXPECT_EQ(form.edFilters[0]->text(), U("TSD1#SUMS:10,20#LMV:5#SF:1"));
    EXPECT_EQ(form.edFilters[1]->text(), U("BMF7#SUMS:100#LDV:1,2,3#ST:4"));
    EXPECT_TRUE(form.edFilters[2]->text().isEmpty());
    EXPECT_EQ(form.edComments->text(), U("my line"));
    EXPECT_EQ(form.Line(), U(kLine));

    form.cbNewOnly->setChecked(true);
    form.cbResultCombsMode->setCurrentIndex(ActionNone);
    form.edFilters[6]->setText(U("TSD1#SUMS:5#LNO:#SF:1"));
    form.edComments->clear();
    EXPECT_EQ(form.Line(), U("EXCL:5#NONE#CLR#NEX|TSD1#SUMS:10,20#LMV:5#SF:1|BMF7#SUMS:100#LDV:1,2,3#ST:4"
                             "| | | | |TSD1#SUMS:5#LNO:#SF:1|"));

    // A new line starts cleared, with the count of draws the caller gives.
    form.LoadLine(QString(), 7);
    EXPECT_EQ(form.edDrawsExclude->value(), 7);
    EXPECT_EQ(form.cbStartCombsType->currentIndex(), 0);
    EXPECT_EQ(form.cbResultCombsMode->currentIndex(), 0);
    EXPECT_FALSE(form.cbClearStakes->isChecked());
    EXPECT_FALSE(form.cbNewOnly->isChecked());
    EXPECT_TRUE(form.edComments->text().isEmpty());
    for (QLineEdit* edit : form.edFilters)
        EXPECT_TRUE(edit->text().isEmpty());
    EXPECT_EQ(form.Line(), U("FULL:7#RAND| | | | | | | |"));
    EXPECT_EQ(form.cbStartCombsType->count(), 3);
    EXPECT_EQ(form.cbResultCombsMode->count(), 9);
    EXPECT_EQ(form.cbResultCombsMode->itemText(8), U("Не делать ставок (для последовательного выполнения)"));
    EXPECT_EQ(form.edDrawsExclude->maximum(), 2147483647);
}

TEST_F(ScriptDialogsUiTest, LineDialogRefusesABarInACommentOrAFilter)
{
    TFormScript form(Context);
    form.LoadLine(U(kLine), 0);
    form.show();
    form.edComments->setText(U("a|b"));
    EXPECT_FALSE(PressOk(form));
    EXPECT_EQ(Boxes.Last().Text, U("Символ \"|\" не допускается в комментариях и фильтрах!"));
    EXPECT_EQ(form.focusWidget(), form.edComments);
    form.edComments->setText(U("a/b"));
    form.edFilters[3]->setText(U("TSD1#SUMS:10|20#LNO:#SF:1"));
    EXPECT_FALSE(PressOk(form));
    EXPECT_EQ(form.focusWidget(), form.edFilters[3]);
    EXPECT_EQ(Boxes.Boxes().size(), 2);
    form.edFilters[3]->setText(U("TSD1#SUMS:10,20#LNO:#SF:1"));
    EXPECT_TRUE(PressOk(form));
    EXPECT_EQ(GetScriptLineFilter(form.Line(), 4), U("TSD1#SUMS:10,20#LNO:#SF:1"));
    EXPECT_EQ(GetScriptLineComment(form.Line()), U("a/b"));
}

TEST_F(ScriptDialogsUiTest, LineDialogChecksTypedFiltersAsTheFilterDialogDoes)
{
    const QString textual = Textual->Code();
    const struct {
        int Slot;
        QString Typed;
        const char* Refusal;   // nullptr: accepted
    } cases[] = {
        // A draws length typed where the whole step belongs: no method and no lengths.
        {2, U("10-5000"), "Введен некорректный диапазон значений!"},
        {1, U("TSD1#SUMS:0#LNO:#SF:1"), "Введен некорректный диапазон значений!"},
        {4, U("TSD1#SUMS:10#LMV:#SF:1"), "Введен некорректный диапазон значений!"},
        {5, U("TSD1#") + textual + U(":10#LVA:1,2#SF:1"),
         "Для данного вида статистики не доступен режим выделения по списку значений!"},
        {6, U("TMD1#SUMS:10#LMV:3#SC:2"), "В режиме мультивыделения остановка сценария по количеству комбинаций или "
                                          "чисел не может быть выполнена!\nВыберите другой способ останова."},
        {3, U("TSD1#SUMS:0,1#LMV:3#ST:1"), nullptr},
        // A negative length is a window over no draws, as 0 is: refused alone, run beside others.
        {1, U("TSD1#SUMS:-5#LNO:#SF:1"), "Введен некорректный диапазон значений!"},
        {2, U("TSD1#SUMS:5,-1#LNO:#SF:1"), nullptr},
        {7, U("  "), nullptr},   // an empty slot is no filter
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Typed.toStdString());
        Boxes.Clear();
        TFormScript form(Context);
        form.LoadLine(QString(), 0);
        ASSERT_TRUE(ActivateWindow(&form));
        QLineEdit* edit = form.edFilters[std::size_t(c.Slot - 1)];
        edit->setFocus();
        for (const QChar ch : c.Typed)
            TypeKey(edit, ch.unicode(), Qt::NoModifier, QString(ch));
        ASSERT_EQ(edit->text(), c.Typed);
        form.edComments->setFocus();
        if (c.Refusal == nullptr) {
            EXPECT_TRUE(PressOk(form));
            EXPECT_TRUE(Boxes.Boxes().isEmpty());
            continue;
        }
        EXPECT_FALSE(PressOk(form));
        ASSERT_EQ(Boxes.Boxes().size(), 1);
        EXPECT_EQ(Boxes.Last().Text, U(c.Refusal));
        EXPECT_EQ(QApplication::focusWidget(), edit);
        EXPECT_TRUE(form.isVisible());
    }
}

TEST_F(ScriptDialogsUiTest, LineCommentIsStoredWithoutBlanksAtEitherEnd)
{
    TFormScript form(Context);
    form.LoadLine(QString(), 0);
    ASSERT_TRUE(ActivateWindow(&form));
    form.edComments->setFocus();
    for (const QChar ch : U("  ночной прогон  "))
        TypeKey(form.edComments, ch.unicode(), Qt::NoModifier, QString(ch));
    ASSERT_TRUE(PressOk(form));
    EXPECT_EQ(form.Line(), U("FULL:0#RAND| | | | | | | |ночной прогон"));
    EXPECT_EQ(GetScriptLineComment(form.Line()), U("ночной прогон"));
}

TEST_F(ScriptDialogsUiTest, FilterButtonsEditTheirOwnFilter)
{
    TFormScript form(Context);
    form.LoadLine(U(kLine), 0);
    QList<TFilterItem> seen;
    bool answer = false;
    form.FilterEditor = [&](TFilterItem& item) {
        seen.append(item);
        item.Used = 1;
        item.LevelValue = U("9");
        item.MethodCode.clear();
        return answer;
    };

    // Cancel in the filter dialog leaves the edit alone.
    form.btnFilters[1]->click();
    ASSERT_EQ(seen.size(), 1);
    EXPECT_EQ(seen[0].Method, Method("SUMS"));
    EXPECT_EQ(seen[0].SortOrder, 7);
    EXPECT_EQ(seen[0].LevelValue, U("1,2,3"));
    EXPECT_EQ(form.edFilters[1]->text(), U("BMF7#SUMS:100#LDV:1,2,3#ST:4"));

    answer = true;
    form.btnFilters[1]->click();
    EXPECT_EQ(form.edFilters[1]->text(), U("BMF7#SUMS:100#LDV:9#ST:4"));
    EXPECT_EQ(form.edFilters[0]->text(), U("TSD1#SUMS:10,20#LMV:5#SF:1"));

    // An empty slot opens on an empty step; a double click opens it as well.
    QMouseEvent click(QEvent::MouseButtonDblClick, QPointF(5, 5), QPointF(5, 5), Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QApplication::sendEvent(form.edFilters[4], &click);
    ASSERT_EQ(seen.size(), 3);
    EXPECT_EQ(seen[2].Used, 0u);
    // A step without a method is written as its first word alone: the rest could not be read back.
    EXPECT_EQ(form.edFilters[4]->text(), U("TSD0"));
    EXPECT_EQ(form.btnFilters[6]->text(), U("..."));
    EXPECT_EQ(form.btnFilters[6]->toolTip(), U("Редактировать фильтр"));
}

TEST_F(ScriptDialogsUiTest, FilterButtonOpensTheFilterDialogOnItsText)
{
    TFormScript form(Context);
    form.LoadLine(QString(), 0);
    form.edFilters[2]->setText(U("tsd1#sums:10, 20#lmv:5#sf:1"));
    WhenModal([](TDialogSTemplate& dialog) {
        auto* filter = static_cast<TFormFilter*>(&dialog);
        // The list edit holds no blanks.
        EXPECT_EQ(filter->edDrawsLen->text(), U("10,20"));
        filter->OkBtn()->click();
    });
    form.btnFilters[2]->click();
    // The text comes back in its written form: letters of word 1 as read, words upper case.
    EXPECT_EQ(form.edFilters[2]->text(), U("TSD1#SUMS:10,20#LMV:5#SF:1"));

    WhenModal([chosen = Chooser.currentText()](TDialogSTemplate& dialog) {
        auto* filter = static_cast<TFormFilter*>(&dialog);
        EXPECT_EQ(filter->edDrawsLen->text(), U("250"));
        EXPECT_EQ(filter->cbDrawsStatType->currentText(), chosen);
        filter->CancelBtn()->click();
    });
    form.btnFilters[5]->click();
    EXPECT_TRUE(form.edFilters[5]->text().isEmpty());
}

TEST_F(ScriptDialogsUiTest, EditScriptLineCancelKeepsTheLine)
{
    QString line = U(kLine);
    WhenModal([](TDialogSTemplate& dialog) {
        auto* form = static_cast<TFormScript*>(&dialog);
        EXPECT_EQ(form->windowTitle(), U("Редактирование строки"));
        form->edComments->setText(U("changed"));
        form->CancelBtn()->click();
    });
    EXPECT_FALSE(EditScriptLine(nullptr, line, U("Редактирование строки"), 0, Context));
    EXPECT_EQ(line, U(kLine));

    WhenModal([](TDialogSTemplate& form) { form.OkBtn()->click(); });
    EXPECT_TRUE(EditScriptLine(nullptr, line, U("Редактирование строки"), 0, Context));
    EXPECT_EQ(line, U(kLine));

    QString fresh;
    WhenModal([](TDialogSTemplate& dialog) {
        auto* form = static_cast<TFormScript*>(&dialog);
        EXPECT_EQ(form->windowTitle(), U("Создание новой строки"));
        form->cbStartCombsType->setCurrentIndex(StartExcl);
        form->edComments->setText(U("new"));
        form->OkBtn()->click();
    });
    EXPECT_TRUE(EditScriptLine(nullptr, fresh, U("Создание новой строки"), 12, Context));
    EXPECT_EQ(fresh, U("EXCL:12#RAND| | | | | | | |new"));
}

} // namespace
