// The scenario line dialog, the filter step dialog and the test-count dialog.

#include "app/ui/scenarios/UnitFilter.h"
#include "app/ui/scenarios/UnitScript.h"
#include "app/ui/stakes/UnitTestCnt.h"
#include "support/RDialogsScripted.h"
#include "support/ui/QorFloatEdit.h"
#include "tests/common/Screenshot.h"
#include "tests/fixtures/StatFixtures.h"
#include "tests/support_ui/KeyInput.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QImage>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPointer>
#include <QPushButton>
#include <QSpinBox>
#include <QTimer>
#include <QToolButton>

#include <gtest/gtest.h>

#include <functional>

namespace {

QString Q(const char* text) { return QString::fromUtf8(text); }

// Runs the action on the next dialog of type T that is shown modally, from inside its loop.
template <class T>
void OnNextModal(std::function<void(T*)> action)
{
    auto* timer = new QTimer;
    timer->setInterval(5);
    QObject::connect(timer, &QTimer::timeout, [timer, action] {
        T* dialog = qobject_cast<T*>(QApplication::activeModalWidget());
        if (dialog == nullptr || !dialog->isVisible())
            return;
        timer->stop();
        timer->deleteLater();
        action(dialog);
    });
    timer->start();
}

// Every visible label and check box shows its whole text.
void ExpectNothingClipped(QWidget& form)
{
    for (const QLabel* label : form.findChildren<QLabel*>()) {
        if (label->isVisible()) {
            EXPECT_GE(label->width(), label->sizeHint().width()) << label->objectName().toStdString();
        }
    }
    for (const QCheckBox* box : form.findChildren<QCheckBox*>()) {
        if (box->isVisible()) {
            EXPECT_GE(box->width(), box->sizeHint().width()) << box->objectName().toStdString();
        }
    }
    for (const QComboBox* box : form.findChildren<QComboBox*>()) {
        if (box->isVisible()) {
            EXPECT_GE(box->width(), box->sizeAdjustPolicy() == QComboBox::AdjustToContents ? box->sizeHint().width()
                                                                                           : box->minimumSizeHint().width())
                << box->objectName().toStdString();
        }
    }
}

// The engine with its methods, and the main window's chooser of them with SUMS chosen.
class ScriptDialogsUiTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        fx.List.RebuildMethods();
        fx.List.Config().Weights = {0.5L, -1, 2, true, false};
        for (int i = 0; i < fx.List.Count(); ++i)
            if (fx.List.IsAvailable(i) && fx.List.HasStatTable(i))
                Chooser.addItem(fx.List.MethodCaption(i, true), i);
        Chooser.setCurrentIndex(Chooser.findData(fx.List.IndexOfCode(Q("SUMS"))));
        ASSERT_GE(Chooser.currentIndex(), 0);
        Context = FilterDialogContext(Chooser, fx.List, 250);
        for (const TFilterMethodItem& item : Context.Methods)
            if (!item.Method->HasNumericValue()) {
                Textual = item.Method;
                break;
            }
        ASSERT_NE(Textual, nullptr);
    }

    const TStatMethod* Method(const char* code) const { return &fx.List.Items(fx.List.IndexOfCode(Q(code))); }

    // Presses OK; true when the dialog closed with it.
    static bool PressOk(QDialog& form)
    {
        form.setResult(QDialog::Rejected);
        form.findChild<QPushButton*>(QStringLiteral("OkBtn"))->click();
        return form.result() == QDialog::Accepted;
    }

    TScriptedBoxes Boxes;
    TStatFixture fx;
    QComboBox Chooser;
    TFilterDialogContext Context;
    const TStatMethod* Textual = nullptr;
};

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
    chooser.addItem(Q("no method"));
    chooser.addItem(Q("past the end"), fx.List.Count());
    chooser.addItem(Q("SUMS"), fx.List.IndexOfCode(Q("SUMS")));
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
    EXPECT_EQ(form.windowTitle(), Q("Фильтр"));
    EXPECT_EQ(form.cbDrawsStatType->currentText(), Chooser.currentText());
    EXPECT_EQ(form.edDrawsLen->text(), Q("250"));
    ASSERT_EQ(form.cbDrawsSortOrder->count(), 20);
    EXPECT_EQ(form.cbDrawsSortOrder->currentText(), Q("Количество"));
    EXPECT_EQ(form.cbDrawsSortOrder->itemText(19), Q("+/- КРН"));
    EXPECT_EQ(form.cbDirection->currentText(), Q("Сверху-вниз"));
    EXPECT_EQ(form.cbFilterMode->currentText(), Q("Удалить выделенные"));
    EXPECT_EQ(form.cbFilterMode->itemText(1), Q("Оставить выделенные"));
    ASSERT_EQ(form.cbLevelMode->count(), 32);
    EXPECT_EQ(form.cbLevelMode->currentText(), Q("Весь список (без условий)"));
    EXPECT_EQ(form.cbLevelMode->itemText(31), Q("\"Значения\": из заданного списка значений"));
    ASSERT_EQ(form.cbStopMode->count(), 6);
    EXPECT_EQ(form.cbStopMode->currentText(), Q("Обработать все записи"));
    EXPECT_EQ(form.edStopValue->value(), 1);
    EXPECT_EQ(form.edStopValue->minimum(), 1);
    EXPECT_EQ(form.edStopValue->maximum(), 2147483647);
    EXPECT_FALSE(form.cbMultiSelect->isChecked());
    EXPECT_FALSE(form.cbCDLOverride->isChecked());
    // The engine's weights, shown with three decimals.
    EXPECT_EQ(form.edCoefCount->Value(), 0.5L);
    EXPECT_EQ(form.edCoefDeviation->Value(), -1.0L);
    EXPECT_EQ(form.edCoefLevel->Value(), 2.0L);
    EXPECT_EQ(form.edCoefCount->text(), Q("0,500"));
    EXPECT_TRUE(form.cbCoefPercents->isChecked());
    EXPECT_FALSE(form.cbCoefAbs->isChecked());

    // OK straight away: SUMS over the main window's 250 draws.
    ASSERT_TRUE(PressOk(form));
    EXPECT_EQ(FormatFilterItem(form.FilterItem()), Q("TSD1#SUMS:250#LNO:#SF:1"));
}

TEST_F(ScriptDialogsUiTest, FilterTextsComeBackAsTheyWentIn)
{
    const QString textual = Textual->Code();
    const QString cases[] = {
        Q("TSD1#SUMS:10,20#LMV:5#SF:1"),
        Q("BMF7#SUMS:100#LDV:1,2,3#ST:4"),
        Q("TSF0#SUMS:1-10;3#WMV:2#SV:3#1.5:-1:0.25:1:0"),
        Q("BSD19#SUMS:50#LVA:1,5#SZ:1"),
        Q("TMD9#") + textual + Q(":30#LNO:#SP:70"),
        Q("BSF3#") + textual + Q(":7#WDV:0,1#SC:2#0:0:0:0:1"),
        // Own weights on a rule that does not use them are kept as they were.
        Q("TSD1#SUMS:10#LMV:4#SF:1#3:2:1:0:0"),
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
    form.LoadFilterItem(ParseFilterItem(Q("TSD1#SUMS:10#LNO:#SF:1"), fx.List));
    form.show();

    form.edDrawsLen->setText(Q("0"));
    EXPECT_FALSE(PressOk(form));
    EXPECT_EQ(Boxes.Last().Text, Q("Введен некорректный диапазон значений!"));
    EXPECT_EQ(form.focusWidget(), form.edDrawsLen);
    form.edDrawsLen->setText(Q("0,1"));
    EXPECT_TRUE(PressOk(form));

    // The value list by values needs a method with numeric values: refused on OK only.
    form.show();
    form.cbDrawsStatType->setCurrentIndex(FindFilterMethodItem(Context.Methods, Textual));
    form.cbLevelMode->setCurrentIndex(LevelLVA);
    form.edLevelValue->setText(Q("1,2"));
    EXPECT_FALSE(PressOk(form));
    EXPECT_EQ(Boxes.Last().Text, Q("Для данного вида статистики не доступен режим выделения по списку значений!"));
    EXPECT_EQ(form.focusWidget(), form.cbLevelMode);
    form.cbDrawsStatType->setCurrentIndex(FindFilterMethodItem(Context.Methods, Method("SUMS")));
    EXPECT_TRUE(PressOk(form));

    form.show();
    form.cbLevelMode->setCurrentIndex(LevelLMV);
    form.edLevelValue->clear();
    EXPECT_FALSE(PressOk(form));
    EXPECT_EQ(form.focusWidget(), form.edLevelValue);
    form.edLevelValue->setText(Q("3"));

    form.cbMultiSelect->setChecked(true);
    form.cbStopMode->setCurrentIndex(StopSC);
    EXPECT_FALSE(PressOk(form));
    EXPECT_EQ(Boxes.Last().Text, Q("В режиме мультивыделения остановка сценария по количеству комбинаций или "
                                   "чисел не может быть выполнена!\nВыберите другой способ останова."));
    EXPECT_EQ(form.focusWidget(), form.cbStopMode);
    EXPECT_TRUE(form.isVisible());
    form.cbStopMode->setCurrentIndex(StopST);
    EXPECT_TRUE(PressOk(form));
    EXPECT_EQ(FormatFilterItem(form.FilterItem()), Q("TMD1#SUMS:0,1#LMV:3#ST:1"));
    EXPECT_EQ(Boxes.Boxes().size(), 4);
}

TEST_F(ScriptDialogsUiTest, OwnWeightsOnlyForTheWeightRules)
{
    TFormFilter form(Context);
    form.LoadFilterItem(TFilterItem{});
    EXPECT_FALSE(form.cbCDLOverride->isEnabled());
    EXPECT_FALSE(form.edCoefCount->isEnabled());

    for (const int mode : {int(LevelWMV), int(LevelWLV), int(LevelWDV)}) {
        form.cbLevelMode->setCurrentIndex(mode);
        EXPECT_TRUE(form.cbCDLOverride->isEnabled()) << mode;
        form.cbCDLOverride->setChecked(false);
        for (QWidget* control : std::initializer_list<QWidget*>{form.edCoefCount, form.edCoefDeviation,
                                                                 form.edCoefLevel, form.cbCoefPercents, form.cbCoefAbs})
            EXPECT_FALSE(control->isEnabled()) << control->objectName().toStdString();
        form.cbCDLOverride->click();
        for (QWidget* control : std::initializer_list<QWidget*>{form.edCoefCount, form.edCoefDeviation,
                                                                 form.edCoefLevel, form.cbCoefPercents, form.cbCoefAbs})
            EXPECT_TRUE(control->isEnabled()) << control->objectName().toStdString();
    }
    form.cbLevelMode->setCurrentIndex(LevelLMV);
    EXPECT_FALSE(form.cbCDLOverride->isEnabled());
    EXPECT_FALSE(form.edCoefLevel->isEnabled());

    // A step without own weights shows the engine's; with them, its own.
    form.LoadFilterItem(ParseFilterItem(Q("TSD1#SUMS:10#WLV:1#SF:1"), fx.List));
    EXPECT_FALSE(form.cbCDLOverride->isChecked());
    EXPECT_TRUE(form.cbCDLOverride->isEnabled());
    EXPECT_EQ(form.edCoefCount->Value(), 0.5L);
    EXPECT_FALSE(form.edCoefCount->isEnabled());
    form.LoadFilterItem(ParseFilterItem(Q("TSD1#SUMS:10#WLV:1#SF:1#7.25:0:-3:0:1"), fx.List));
    EXPECT_TRUE(form.cbCDLOverride->isChecked());
    EXPECT_EQ(form.edCoefCount->Value(), 7.25L);
    EXPECT_EQ(form.edCoefLevel->Value(), -3.0L);
    EXPECT_FALSE(form.cbCoefPercents->isChecked());
    EXPECT_TRUE(form.cbCoefAbs->isChecked());
    EXPECT_TRUE(form.edCoefCount->isEnabled());
}

TEST_F(ScriptDialogsUiTest, ListEditsDropWhatTheyCannotHold)
{
    TFormFilter form(Context);
    form.show();
    for (QLineEdit* edit : {form.edDrawsLen, form.edLevelValue}) {
        edit->clear();
        edit->setFocus();
        for (const QChar c : Q("1a0 |#:,2-5;х")) {
            QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
            QApplication::sendEvent(edit, &press);
        }
        EXPECT_EQ(edit->text(), Q("10,2-5;")) << edit->objectName().toStdString();
        QKeyEvent backspace(QEvent::KeyPress, Qt::Key_Backspace, Qt::NoModifier);
        QApplication::sendEvent(edit, &backspace);
        EXPECT_EQ(edit->text(), Q("10,2-5"));
        // Pasted text keeps what it can.
        edit->insert(Q(" 7|x"));
        EXPECT_EQ(edit->text(), Q("10,2-57"));
    }
}

TEST_F(ScriptDialogsUiTest, FilterDialogCancelLeavesTheStepAndOkReplacesIt)
{
    const TFilterItem before = ParseFilterItem(Q("TSD2#SUMS:10#LMV:5#SF:1"), fx.List);
    TFilterItem item = before;
    OnNextModal<TFormFilter>([](TFormFilter* form) {
        form->edDrawsLen->setText(Q("99"));
        form->CancelBtn()->click();
    });
    EXPECT_FALSE(EditFilterItem(nullptr, item, Context));
    EXPECT_EQ(item, before);

    OnNextModal<TFormFilter>([](TFormFilter* form) {
        form->edDrawsLen->setText(Q("99"));
        form->cbDirection->setCurrentIndex(1);
        form->OkBtn()->click();
    });
    EXPECT_TRUE(EditFilterItem(nullptr, item, Context));
    EXPECT_EQ(FormatFilterItem(item), Q("BSD2#SUMS:99#LMV:5#SF:1"));
    EXPECT_TRUE(item.MethodCode.isEmpty());
}

// ---------------------------------------------------------------------------------------
// The line dialog

const char* const kLine = "EXCL:5#FIRST#CLR|TSD1#SUMS:10,20#LMV:5#SF:1|BMF7#SUMS:100#LDV:1,2,3#ST:4| | | | | |my line";

TEST_F(ScriptDialogsUiTest, LineDialogShowsTheLineAndWritesItBack)
{
    TFormScript form(Context);
    EXPECT_EQ(form.windowTitle(), Q("Элемент сценария"));
    form.LoadLine(Q(kLine), 3);
    EXPECT_EQ(form.cbStartCombsType->currentText(), Q("Удалить N последних тиражей (для прогнозов)"));
    EXPECT_EQ(form.edDrawsExclude->value(), 5);
    EXPECT_EQ(form.cbResultCombsMode->currentText(), Q("Выбрать первую комбинацию в списке"));
    EXPECT_TRUE(form.cbClearStakes->isChecked());
    EXPECT_FALSE(form.cbNewOnly->isChecked());
    EXPECT_EQ(form.edFilters[0]->text(), Q("TSD1#SUMS:10,20#LMV:5#SF:1"));
    EXPECT_EQ(form.edFilters[1]->text(), Q("BMF7#SUMS:100#LDV:1,2,3#ST:4"));
    EXPECT_TRUE(form.edFilters[2]->text().isEmpty());
    EXPECT_EQ(form.edComments->text(), Q("my line"));
    EXPECT_EQ(form.Line(), Q(kLine));

    form.cbNewOnly->setChecked(true);
    form.cbResultCombsMode->setCurrentIndex(ActionNone);
    form.edFilters[6]->setText(Q("TSD1#SUMS:5#LNO:#SF:1"));
    form.edComments->clear();
    EXPECT_EQ(form.Line(), Q("EXCL:5#NONE#CLR#NEX|TSD1#SUMS:10,20#LMV:5#SF:1|BMF7#SUMS:100#LDV:1,2,3#ST:4"
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
    EXPECT_EQ(form.Line(), Q("FULL:7#RAND| | | | | | | |"));
    EXPECT_EQ(form.cbStartCombsType->count(), 3);
    EXPECT_EQ(form.cbResultCombsMode->count(), 9);
    EXPECT_EQ(form.cbResultCombsMode->itemText(8), Q("Не делать ставок (для последовательного выполнения)"));
    EXPECT_EQ(form.edDrawsExclude->maximum(), 2147483647);
}

TEST_F(ScriptDialogsUiTest, LineDialogRefusesABarInACommentOrAFilter)
{
    TFormScript form(Context);
    form.LoadLine(Q(kLine), 0);
    form.show();
    form.edComments->setText(Q("a|b"));
    EXPECT_FALSE(PressOk(form));
    EXPECT_EQ(Boxes.Last().Text, Q("Символ \"|\" не допускается в комментариях и фильтрах!"));
    EXPECT_EQ(form.focusWidget(), form.edComments);
    form.edComments->setText(Q("a/b"));
    form.edFilters[3]->setText(Q("TSD1#SUMS:10|20#LNO:#SF:1"));
    EXPECT_FALSE(PressOk(form));
    EXPECT_EQ(form.focusWidget(), form.edFilters[3]);
    EXPECT_EQ(Boxes.Boxes().size(), 2);
    form.edFilters[3]->setText(Q("TSD1#SUMS:10,20#LNO:#SF:1"));
    EXPECT_TRUE(PressOk(form));
    EXPECT_EQ(GetScriptLineFilter(form.Line(), 4), Q("TSD1#SUMS:10,20#LNO:#SF:1"));
    EXPECT_EQ(GetScriptLineComment(form.Line()), Q("a/b"));
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
        {2, Q("10-5000"), "Введен некорректный диапазон значений!"},
        {1, Q("TSD1#SUMS:0#LNO:#SF:1"), "Введен некорректный диапазон значений!"},
        {4, Q("TSD1#SUMS:10#LMV:#SF:1"), "Введен некорректный диапазон значений!"},
        {5, Q("TSD1#") + textual + Q(":10#LVA:1,2#SF:1"),
         "Для данного вида статистики не доступен режим выделения по списку значений!"},
        {6, Q("TMD1#SUMS:10#LMV:3#SC:2"), "В режиме мультивыделения остановка сценария по количеству комбинаций или "
                                          "чисел не может быть выполнена!\nВыберите другой способ останова."},
        {3, Q("TSD1#SUMS:0,1#LMV:3#ST:1"), nullptr},
        {7, Q("  "), nullptr},   // an empty slot is no filter
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
        EXPECT_EQ(Boxes.Last().Text, Q(c.Refusal));
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
    for (const QChar ch : Q("  ночной прогон  "))
        TypeKey(form.edComments, ch.unicode(), Qt::NoModifier, QString(ch));
    ASSERT_TRUE(PressOk(form));
    EXPECT_EQ(form.Line(), Q("FULL:0#RAND| | | | | | | |ночной прогон"));
    EXPECT_EQ(GetScriptLineComment(form.Line()), Q("ночной прогон"));
}

TEST_F(ScriptDialogsUiTest, FilterButtonsEditTheirOwnFilter)
{
    TFormScript form(Context);
    form.LoadLine(Q(kLine), 0);
    QList<TFilterItem> seen;
    bool answer = false;
    form.FilterEditor = [&](TFilterItem& item) {
        seen.append(item);
        item.Used = 1;
        item.LevelValue = Q("9");
        item.MethodCode.clear();
        return answer;
    };

    // Cancel in the filter dialog leaves the edit alone.
    form.btnFilters[1]->click();
    ASSERT_EQ(seen.size(), 1);
    EXPECT_EQ(seen[0].Method, Method("SUMS"));
    EXPECT_EQ(seen[0].SortOrder, 7);
    EXPECT_EQ(seen[0].LevelValue, Q("1,2,3"));
    EXPECT_EQ(form.edFilters[1]->text(), Q("BMF7#SUMS:100#LDV:1,2,3#ST:4"));

    answer = true;
    form.btnFilters[1]->click();
    EXPECT_EQ(form.edFilters[1]->text(), Q("BMF7#SUMS:100#LDV:9#ST:4"));
    EXPECT_EQ(form.edFilters[0]->text(), Q("TSD1#SUMS:10,20#LMV:5#SF:1"));

    // An empty slot opens on an empty step; a double click opens it as well.
    QMouseEvent click(QEvent::MouseButtonDblClick, QPointF(5, 5), QPointF(5, 5), Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QApplication::sendEvent(form.edFilters[4], &click);
    ASSERT_EQ(seen.size(), 3);
    EXPECT_EQ(seen[2].Used, 0u);
    // A step without a method is written as its first word alone: the rest could not be read back.
    EXPECT_EQ(form.edFilters[4]->text(), Q("TSD0"));
    EXPECT_EQ(form.btnFilters[6]->text(), Q("..."));
    EXPECT_EQ(form.btnFilters[6]->toolTip(), Q("Редактировать фильтр"));
}

TEST_F(ScriptDialogsUiTest, FilterButtonOpensTheFilterDialogOnItsText)
{
    TFormScript form(Context);
    form.LoadLine(QString(), 0);
    form.edFilters[2]->setText(Q("tsd1#sums:10, 20#lmv:5#sf:1"));
    OnNextModal<TFormFilter>([](TFormFilter* filter) {
        // The list edit holds no blanks.
        EXPECT_EQ(filter->edDrawsLen->text(), Q("10,20"));
        filter->OkBtn()->click();
    });
    form.btnFilters[2]->click();
    // The text comes back in its written form: letters of word 1 as read, words upper case.
    EXPECT_EQ(form.edFilters[2]->text(), Q("TSD1#SUMS:10,20#LMV:5#SF:1"));

    OnNextModal<TFormFilter>([chosen = Chooser.currentText()](TFormFilter* filter) {
        EXPECT_EQ(filter->edDrawsLen->text(), Q("250"));
        EXPECT_EQ(filter->cbDrawsStatType->currentText(), chosen);
        filter->CancelBtn()->click();
    });
    form.btnFilters[5]->click();
    EXPECT_TRUE(form.edFilters[5]->text().isEmpty());
}

TEST_F(ScriptDialogsUiTest, EditScriptLineCancelKeepsTheLine)
{
    QString line = Q(kLine);
    OnNextModal<TFormScript>([](TFormScript* form) {
        EXPECT_EQ(form->windowTitle(), Q("Редактирование строки"));
        form->edComments->setText(Q("changed"));
        form->CancelBtn()->click();
    });
    EXPECT_FALSE(EditScriptLine(nullptr, line, Q("Редактирование строки"), 0, Context));
    EXPECT_EQ(line, Q(kLine));

    OnNextModal<TFormScript>([](TFormScript* form) { form->OkBtn()->click(); });
    EXPECT_TRUE(EditScriptLine(nullptr, line, Q("Редактирование строки"), 0, Context));
    EXPECT_EQ(line, Q(kLine));

    QString fresh;
    OnNextModal<TFormScript>([](TFormScript* form) {
        EXPECT_EQ(form->windowTitle(), Q("Создание новой строки"));
        form->cbStartCombsType->setCurrentIndex(StartExcl);
        form->edComments->setText(Q("new"));
        form->OkBtn()->click();
    });
    EXPECT_TRUE(EditScriptLine(nullptr, fresh, Q("Создание новой строки"), 12, Context));
    EXPECT_EQ(fresh, Q("EXCL:12#RAND| | | | | | | |new"));
}

// ---------------------------------------------------------------------------------------
// The test count

TEST(TestCountDialog, CountRunsFromOneToTheLargest)
{
    TFormTestCnt form;
    EXPECT_EQ(form.windowTitle(), Q("Количество тестов"));
    EXPECT_TRUE(form.windowFlags().testFlag(Qt::Tool));
    EXPECT_EQ(form.findChild<QLabel*>(QStringLiteral("lblTestCount"))->text(), Q("Укажите количество тестов:"));
    EXPECT_EQ(form.edTestCount->toolTip(),
              Q("Укажите количество последних тиражей, на которых будет производится тестирование"));
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

    OnNextModal<TFormTestCnt>([](TFormTestCnt* form) {
        EXPECT_EQ(form->TestCount(), 3);
        form->OkBtn()->click();
    });
    EXPECT_EQ(AskTestCount(nullptr, 3), 3);

    OnNextModal<TFormTestCnt>([](TFormTestCnt* form) {
        form->edTestCount->setValue(25);
        form->OkBtn()->click();
    });
    EXPECT_EQ(AskTestCount(nullptr, 100), 25);

    OnNextModal<TFormTestCnt>([](TFormTestCnt* form) {
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
    filter.LoadFilterItem(ParseFilterItem(Q("BMF3#SUMS:10,20,30#WDV:1,2#ST:3#1.5:-1:0.25:1:0"), fx.List));
    const QString filterPath = SaveScreenshot(&filter, QStringLiteral("FormFilter"), filter.size());
    ASSERT_FALSE(filterPath.isEmpty());
    ExpectNothingClipped(filter);
    EXPECT_EQ(QImage(filterPath).size(), filter.size() * filter.devicePixelRatio());

    TFormScript script(Context);
    script.setWindowTitle(Q("Редактирование строки"));
    script.LoadLine(Q(kLine), 0);
    const QString scriptPath = SaveScreenshot(&script, QStringLiteral("FormScript"), script.size());
    ASSERT_FALSE(scriptPath.isEmpty());
    ExpectNothingClipped(script);

    TFormTestCnt count;
    count.SetLargest(500);
    ASSERT_FALSE(SaveScreenshot(&count, QStringLiteral("FormTestCnt"), count.size()).isEmpty());
    ExpectNothingClipped(count);
}

} // namespace
