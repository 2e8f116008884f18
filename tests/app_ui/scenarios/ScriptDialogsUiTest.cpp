// The filter step dialog and the test-count dialog.

#include "tests/app_ui/scenarios/ScriptDialogsUiTest.h"

using namespace script_dialogs_test;

namespace {

TEST_F(ScriptDialogsUiTest, ContextFollowsTheMainWindowsChooser)
{
    ASSERT_EQ(int(Context.Methods.size()), Chooser.count());
    EXPECT_EQ(Context.StatList, &fx.List);
    EXPECT_EQ(Context.Methods[std::size_t(Context.CurrentMethod)].Method, Method("SUMS"));
    EXPECT_EQ(Context.Methods[std::size_t(Context.CurrentMethod)].Caption, Chooser.currentText());
    EXPECT_EQ(Context.DrawsLen, 250);
    EXPECT_EQ(Context.Weights, fx.List.Config().Weights);

    // An entry without a method index is left out, and the current one follows.
    QComboBox chooser;
    chooser.addItem(U("no method"));
    chooser.addItem(U("past the end"), fx.List.Count());
    chooser.addItem(U("SUMS"), fx.List.IndexOfCode(U("SUMS")));
    chooser.setCurrentIndex(2);
    const TFilterDialogContext context = FilterDialogContext(chooser, fx.List, 1);
    ASSERT_EQ(context.Methods.size(), 1u);
    EXPECT_EQ(context.CurrentMethod, 0);
    EXPECT_EQ(context.Methods[0].Method, Method("SUMS"));
}

TEST_F(ScriptDialogsUiTest, FilterDialogShowsThePresetsForAnEmptyStep)
{
    TFormFilter form(Context);
    form.LoadFilterItem(TFilterItem{});
    EXPECT_EQ(form.windowTitle(), U("Фильтр"));
    EXPECT_EQ(form.cbDrawsStatType->currentText(), Chooser.currentText());
    EXPECT_EQ(form.edDrawsLen->text(), U("250"));
    ASSERT_EQ(form.cbDrawsSortOrder->count(), 20);
    EXPECT_EQ(form.cbDrawsSortOrder->currentText(), U("Количество"));
    EXPECT_EQ(form.cbDrawsSortOrder->itemText(19), U("+/- КРН"));
    EXPECT_EQ(form.cbDirection->currentText(), U("Сверху-вниз"));
    EXPECT_EQ(form.cbFilterMode->currentText(), U("Удалить выделенные"));
    EXPECT_EQ(form.cbFilterMode->itemText(1), U("Оставить выделенные"));
    ASSERT_EQ(form.cbLevelMode->count(), 32);
    EXPECT_EQ(form.cbLevelMode->currentText(), U("Весь список (без условий)"));
    EXPECT_EQ(form.cbLevelMode->itemText(31), U("\"Значения\": из заданного списка значений"));
    ASSERT_EQ(form.cbStopMode->count(), 6);
    EXPECT_EQ(form.cbStopMode->currentText(), U("Обработать все записи"));
    EXPECT_EQ(form.edStopValue->value(), 1);
    EXPECT_EQ(form.edStopValue->minimum(), 1);
    EXPECT_EQ(form.edStopValue->maximum(), 2147483647);
    EXPECT_FALSE(form.cbMultiSelect->isChecked());
    EXPECT_FALSE(form.cbCDLOverride->isChecked());
    // The engine's weights, shown with three decimals.
    EXPECT_EQ(form.Weights.Count->Value(), 0.5L);
    EXPECT_EQ(form.Weights.Deviation->Value(), -1.0L);
    EXPECT_EQ(form.Weights.Level->Value(), 2.0L);
    EXPECT_EQ(form.Weights.Count->text(), U("0,500"));
    EXPECT_TRUE(form.Weights.Percents->isChecked());
    EXPECT_FALSE(form.Weights.Abs->isChecked());

    // OK straight away: SUMS over the main window's 250 draws.
    ASSERT_TRUE(PressOk(form));
    EXPECT_EQ(FormatFilterItem(form.FilterItem()), U("TSD1#SUMS:250#LNO:#SF:1"));
}

TEST_F(ScriptDialogsUiTest, FilterTextsComeBackAsTheyWentIn)
{
    const QString textual = Textual->Code();
    const QString cases[] = {
        U("TSD1#SUMS:10,20#LMV:5#SF:1"),
        U("BMF7#SUMS:100#LDV:1,2,3#ST:4"),
        U("TSF0#SUMS:1-10;3#WMV:2#SV:3#1.5:-1:0.25:1:0"),
        U("BSD19#SUMS:50#LVA:1,5#SZ:1"),
        U("TMD9#") + textual + U(":30#LNO:#SP:70"),
        U("BSF3#") + textual + U(":7#WDV:0,1#SC:2#0:0:0:0:1"),
        // Own weights on a rule that does not use them are kept as they were.
        U("TSD1#SUMS:10#LMV:4#SF:1#3:2:1:0:0"),
    };
    for (const QString& text : cases) {
        const TFilterItem item = ParseFilterItem(text, fx.List);
        TFormFilter form(Context);
        form.LoadFilterItem(item);
        ASSERT_TRUE(PressOk(form)) << text.toStdString();
        const TFilterItem back = form.FilterItem();
        EXPECT_EQ(FormatFilterItem(back), text);
        EXPECT_EQ(back.Method, item.Method);
        if (item.OwnWeights) {
            EXPECT_EQ(back.Weights, item.Weights) << text.toStdString();
        }
    }
    EXPECT_TRUE(Boxes.Boxes().isEmpty());
}

TEST_F(ScriptDialogsUiTest, FilterOkRefusesWhatCannotBeRun)
{
    TFormFilter form(Context);
    form.LoadFilterItem(ParseFilterItem(U("TSD1#SUMS:10#LNO:#SF:1"), fx.List));
    form.show();

    form.edDrawsLen->setText(U("0"));
    EXPECT_FALSE(PressOk(form));
    EXPECT_EQ(Boxes.Last().Text, U("Введен некорректный диапазон значений!"));
    EXPECT_EQ(form.focusWidget(), form.edDrawsLen);
    form.edDrawsLen->setText(U("0,1"));
    EXPECT_TRUE(PressOk(form));

    // The value list by values needs a method with numeric values: refused on OK only.
    form.show();
    form.cbDrawsStatType->setCurrentIndex(FindFilterMethodItem(Context.Methods, Textual));
    form.cbLevelMode->setCurrentIndex(LevelLVA);
    form.edLevelValue->setText(U("1,2"));
    EXPECT_FALSE(PressOk(form));
    EXPECT_EQ(Boxes.Last().Text, U("Для данного вида статистики не доступен режим выделения по списку значений!"));
    EXPECT_EQ(form.focusWidget(), form.cbLevelMode);
    form.cbDrawsStatType->setCurrentIndex(FindFilterMethodItem(Context.Methods, Method("SUMS")));
    EXPECT_TRUE(PressOk(form));

    form.show();
    form.cbLevelMode->setCurrentIndex(LevelLMV);
    form.edLevelValue->clear();
    EXPECT_FALSE(PressOk(form));
    EXPECT_EQ(form.focusWidget(), form.edLevelValue);
    form.edLevelValue->setText(U("3"));

    form.cbMultiSelect->setChecked(true);
    form.cbStopMode->setCurrentIndex(StopSC);
    EXPECT_FALSE(PressOk(form));
    EXPECT_EQ(Boxes.Last().Text, U("В режиме мультивыделения остановка сценария по количеству комбинаций или "
                                   "чисел не может быть выполнена!\nВыберите другой способ останова."));
    EXPECT_EQ(form.focusWidget(), form.cbStopMode);
    EXPECT_TRUE(form.isVisible());
    form.cbStopMode->setCurrentIndex(StopST);
    EXPECT_TRUE(PressOk(form));
    EXPECT_EQ(FormatFilterItem(form.FilterItem()), U("TMD1#SUMS:0,1#LMV:3#ST:1"));
    EXPECT_EQ(Boxes.Boxes().size(), 4);
}

TEST_F(ScriptDialogsUiTest, OwnWeightsOnlyForTheWeightRules)
{
    TFormFilter form(Context);
    form.LoadFilterItem(TFilterItem{});
    EXPECT_FALSE(form.cbCDLOverride->isEnabled());
    EXPECT_FALSE(form.Weights.Count->isEnabled());

    for (const int mode : {int(LevelWMV), int(LevelWLV), int(LevelWDV)}) {
        form.cbLevelMode->setCurrentIndex(mode);
        EXPECT_TRUE(form.cbCDLOverride->isEnabled()) << mode;
        form.cbCDLOverride->setChecked(false);
        for (QWidget* control : std::initializer_list<QWidget*>{form.Weights.Count, form.Weights.Deviation,
                                                                 form.Weights.Level, form.Weights.Percents, form.Weights.Abs})
            EXPECT_FALSE(control->isEnabled()) << control->objectName().toStdString();
        form.cbCDLOverride->click();
        for (QWidget* control : std::initializer_list<QWidget*>{form.Weights.Count, form.Weights.Deviation,
                                                                 form.Weights.Level, form.Weights.Percents, form.Weights.Abs})
            EXPECT_TRUE(control->isEnabled()) << control->objectName().toStdString();
    }
    form.cbLevelMode->setCurrentIndex(LevelLMV);
    EXPECT_FALSE(form.cbCDLOverride->isEnabled());
    EXPECT_FALSE(form.Weights.Level->isEnabled());

    // A step without own weights shows the engine's; with them, its own.
    form.LoadFilterItem(ParseFilterItem(U("TSD1#SUMS:10#WLV:1#SF:1"), fx.List));
    EXPECT_FALSE(form.cbCDLOverride->isChecked());
    EXPECT_TRUE(form.cbCDLOverride->isEnabled());
    EXPECT_EQ(form.Weights.Count->Value(), 0.5L);
    EXPECT_FALSE(form.Weights.Count->isEnabled());
    form.LoadFilterItem(ParseFilterItem(U("TSD1#SUMS:10#WLV:1#SF:1#7.25:0:-3:0:1"), fx.List));
    EXPECT_TRUE(form.cbCDLOverride->isChecked());
    EXPECT_EQ(form.Weights.Count->Value(), 7.25L);
    EXPECT_EQ(form.Weights.Level->Value(), -3.0L);
    EXPECT_FALSE(form.Weights.Percents->isChecked());
    EXPECT_TRUE(form.Weights.Abs->isChecked());
    EXPECT_TRUE(form.Weights.Count->isEnabled());
}

TEST_F(ScriptDialogsUiTest, ListEditsDropWhatTheyCannotHold)
{
    TFormFilter form(Context);
    form.show();
    for (QLineEdit* edit : {form.edDrawsLen, form.edLevelValue}) {
        edit->clear();
        edit->setFocus();
        for (const QChar c : U("1a0 |#:,2-5;х")) {
            QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
            QApplication::sendEvent(edit, &press);
        }
        EXPECT_EQ(edit->text(), U("10,2-5;")) << edit->objectName().toStdString();
        QKeyEvent backspace(QEvent::KeyPress, Qt::Key_Backspace, Qt::NoModifier);
        QApplication::sendEvent(edit, &backspace);
        EXPECT_EQ(edit->text(), U("10,2-5"));
        // Pasted text keeps what it can.
        edit->insert(U(" 7|x"));
        EXPECT_EQ(edit->text(), U("10,2-57"));
    }
}

TEST_F(ScriptDialogsUiTest, FilterDialogCancelLeavesTheStepAndOkReplacesIt)
{
    const TFilterItem before = ParseFilterItem(U("TSD2#SUMS:10#LMV:5#SF:1"), fx.List);
    TFilterItem item = before;
    WhenModal([](TDialogSTemplate& dialog) {
        auto* form = static_cast<TFormFilter*>(&dialog);
        form->edDrawsLen->setText(U("99"));
        form->CancelBtn()->click();
    });
    EXPECT_FALSE(EditFilterItem(nullptr, item, Context));
    EXPECT_EQ(item, before);

    WhenModal([](TDialogSTemplate& dialog) {
        auto* form = static_cast<TFormFilter*>(&dialog);
        form->edDrawsLen->setText(U("99"));
        form->cbDirection->setCurrentIndex(1);
        form->OkBtn()->click();
    });
    EXPECT_TRUE(EditFilterItem(nullptr, item, Context));
    EXPECT_EQ(FormatFilterItem(item), U("BSD2#SUMS:99#LMV:5#SF:1"));
    EXPECT_TRUE(item.MethodCode.isEmpty());
}

// ---------------------------------------------------------------------------------------
// The test count

TEST(TestCountDialog, CountRunsFromOneToTheLargest)
{
    TFormTestCnt form;
    EXPECT_EQ(form.windowTitle(), U("Количество тестов"));
    EXPECT_TRUE(form.windowFlags().testFlag(Qt::Tool));
    EXPECT_EQ(form.findChild<QLabel*>(QStringLiteral("lblTestCount"))->text(), U("Укажите количество тестов:"));
    EXPECT_EQ(form.edTestCount->toolTip(),
              U("Укажите количество последних тиражей, на которых будет производится тестирование"));
    form.SetLargest(4999);
    EXPECT_EQ(form.edTestCount->minimum(), 1);
    EXPECT_EQ(form.edTestCount->maximum(), 4999);
    EXPECT_EQ(form.TestCount(), 10);
    form.edTestCount->setValue(6000);
    EXPECT_EQ(form.TestCount(), 4999);
    form.edTestCount->setValue(0);
    EXPECT_EQ(form.TestCount(), 1);
    form.SetLargest(4);
    EXPECT_EQ(form.edTestCount->maximum(), 4);
    EXPECT_EQ(form.TestCount(), 4);
}

TEST(TestCountDialog, AskTestCountGivesTheCountOrZero)
{
    // Nothing to test: no dialog at all (a dialog here would wait for ever).
    EXPECT_EQ(AskTestCount(nullptr, 0), 0);
    EXPECT_EQ(AskTestCount(nullptr, -7), 0);

    WhenModal([](TDialogSTemplate& dialog) {
        auto* form = static_cast<TFormTestCnt*>(&dialog);
        EXPECT_EQ(form->TestCount(), 3);
        form->OkBtn()->click();
    });
    EXPECT_EQ(AskTestCount(nullptr, 3), 3);

    WhenModal([](TDialogSTemplate& dialog) {
        auto* form = static_cast<TFormTestCnt*>(&dialog);
        form->edTestCount->setValue(25);
        form->OkBtn()->click();
    });
    EXPECT_EQ(AskTestCount(nullptr, 100), 25);

    WhenModal([](TDialogSTemplate& dialog) {
        auto* form = static_cast<TFormTestCnt*>(&dialog);
        form->edTestCount->setValue(25);
        form->CancelBtn()->click();
    });
    EXPECT_EQ(AskTestCount(nullptr, 100), 0);
}

// ---------------------------------------------------------------------------------------
// Pictures

TEST_F(ScriptDialogsUiTest, ScreenshotsOfTheFilterAndTheLineDialogs)
{
    TFormFilter filter(Context);
    filter.LoadFilterItem(ParseFilterItem(U("BMF3#SUMS:10,20,30#WDV:1,2#ST:3#1.5:-1:0.25:1:0"), fx.List));
    const QString filterPath = SaveScreenshot(&filter, QStringLiteral("FormFilter"), filter.size());
    ASSERT_FALSE(filterPath.isEmpty());
    ExpectNothingClipped(filter);
    EXPECT_EQ(QImage(filterPath).size(), filter.size() * filter.devicePixelRatio());

    TFormScript script(Context);
    script.setWindowTitle(U("Редактирование строки"));
    script.LoadLine(U(kLine), 0);
    const QString scriptPath = SaveScreenshot(&script, QStringLiteral("FormScript"), script.size());
    ASSERT_FALSE(scriptPath.isEmpty());
    ExpectNothingClipped(script);

    TFormTestCnt count;
    count.SetLargest(500);
    ASSERT_FALSE(SaveScreenshot(&count, QStringLiteral("FormTestCnt"), count.size()).isEmpty());
    ExpectNothingClipped(count);
}

} // namespace
