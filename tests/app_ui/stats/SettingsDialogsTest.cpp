// The engine settings dialog and the shredding formulas dialog.

#include "app/core/stats/EngineSettings.h"
#include "app/ui/stats/UnitConfig.h"
#include "app/ui/stats/UnitShredding.h"
#include "engine/KelmaStatList.h"
#include "support/RDialogsScripted.h"
#include "support/ui/QorFloatEdit.h"
#include "tests/common/ModalBoxes.h"
#include "tests/common/Screenshot.h"
#include "tests/common/TestHelpers.h"
#include "tests/support_ui/KeyInput.h"
#include "tests/app_ui/AppUiTestEnv.h"

#include <QApplication>
#include <QCheckBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>

namespace {

const char* const kBadSegment12 = "Некорректное значение: 12!\n\nУкажите любое число от 1 до 9";

TConfigData GivenConfig()
{
    TConfigData config;
    config.MatrixCols = 3;
    config.ChannelSize = 2;
    config.Cost = TCurrency::FromRaw(12500);
    config.MaxStake = 4;
    config.Profits = {{0, TCurrency::FromRaw(25000)}};
    config.Weights = {1.5L, -1, 2, true, false};
    config.MatrixSegments = StrToSegments(QStringLiteral("12345678919876543212"));
    return config;
}

// Types each character as the key that makes it.
void TypeText(QWidget* widget, const QString& text)
{
    for (const QChar c : text)
        TypeKey(widget, c.toUpper().unicode(), Qt::NoModifier, QString(c));
}

// Enter in a cell editor commits its text once the events have run.
void CommitCell(QWidget* editor)
{
    TypeKey(editor, Qt::Key_Return);
    QApplication::processEvents();
}

QString Cell(const QTableWidget* grid, int row, int column)
{
    const QTableWidgetItem* item = grid->item(row, column);
    return item ? item->text() : QStringLiteral("<none>");
}

QLabel* Label(const QWidget& form, const char* name)
{
    return form.findChild<QLabel*>(QLatin1String(name));
}

class ConfigDialogTest : public ::testing::Test {
protected:
    TScriptedBoxes FBoxes;
    TFormConfig FForm;
};

} // namespace

TEST_F(ConfigDialogTest, TextsAndLimits)
{
    FForm.LoadConfig(GivenConfig());
    EXPECT_EQ(FForm.windowTitle(), U("Параметры системы"));
    const std::pair<const char*, const char*> labels[] = {
        {"lblMatrixCol", "Размер матрицы:"},  {"lblChannelSize", "Размер канала:"}, {"lblCost", "Стоимость ставки:"},
        {"lblStakeMaxLen", "Расширенная ставка:"}, {"lblProfits", "Размеры выигрышей:"},
        {"lblCoefCount", "Количество:"},      {"lblCoefDeviation", "Отклонение:"},  {"lblCoefLevel", "Глубина:"},
        {"lblSegments", "Сегменты матрицы:"},
    };
    for (const auto& [name, text] : labels) {
        const QLabel* label = Label(FForm, name);
        ASSERT_NE(label, nullptr) << name;
        EXPECT_EQ(label->text(), U(text)) << name;
    }
    EXPECT_EQ(FForm.edMatrixCol->toolTip(), U("Количество столбцов"));
    EXPECT_EQ(FForm.edMatrixRow->toolTip(), U("Количество строк"));
    EXPECT_EQ(FForm.edChannelSize->toolTip(), U("Ширина канала"));
    EXPECT_EQ(FForm.edCost->toolTip(), U("Стоимость одной ставки"));
    EXPECT_EQ(FForm.gbCoefficients->title(), U(" Коэффициенты для поля \"Вес\" "));
    EXPECT_EQ(FForm.Weights.Percents->text(), U("Использовать значения в %"));
    EXPECT_EQ(FForm.Weights.Abs->text(), U("Использовать абсолютные значения"));
    EXPECT_EQ(FForm.edProfits->horizontalHeaderItem(0)->text(), U("Совпадений"));
    EXPECT_EQ(FForm.edProfits->horizontalHeaderItem(1)->text(), U("Сумма выигрыша"));

    EXPECT_FALSE(FForm.edMatrixCol->isEnabled());
    EXPECT_EQ(FForm.edMatrixCol->value(), 3);
    EXPECT_EQ(FForm.edMatrixCol->minimum(), 1);
    EXPECT_EQ(FForm.edMatrixCol->maximum(), 10);
    EXPECT_TRUE(FForm.edMatrixRow->isReadOnly());
    EXPECT_EQ(FForm.edMatrixRow->value(), 10);
    EXPECT_EQ(FForm.edChannelSize->minimum(), 1);
    EXPECT_EQ(FForm.edChannelSize->maximum(), 10);
    EXPECT_TRUE(FForm.edStakeMaxLen->isHidden());
    EXPECT_TRUE(Label(FForm, "lblStakeMaxLen")->isHidden());
    EXPECT_EQ(FForm.edCost->text(), "1,25");
    EXPECT_EQ(FForm.Weights.Count->text(), "1,500");
    EXPECT_EQ(FForm.Weights.Deviation->text(), "-1,000");
    EXPECT_TRUE(FForm.Weights.Percents->isChecked());
    EXPECT_FALSE(FForm.Weights.Abs->isChecked());
}

TEST_F(ConfigDialogTest, SegmentsGridIsTwoByTenWhateverTheMatrixColumns)
{
    for (const int columns : {1, 3, 10, 200}) {
        TConfigData config = GivenConfig();
        config.MatrixCols = columns;
        FForm.LoadConfig(config);
        ASSERT_EQ(FForm.sgSegments->columnCount(), 2) << columns;
        ASSERT_EQ(FForm.sgSegments->rowCount(), 10) << columns;
        // Position 1 runs down the first column, position 2 down the second.
        EXPECT_EQ(Cell(FForm.sgSegments, 0, 0), "1");
        EXPECT_EQ(Cell(FForm.sgSegments, 9, 0), "1");
        EXPECT_EQ(Cell(FForm.sgSegments, 0, 1), "9");
        EXPECT_EQ(Cell(FForm.sgSegments, 9, 1), "2");
        EXPECT_EQ(FForm.sgSegments->item(4, 1)->textAlignment(), int(Qt::AlignCenter));
        const TConfigData back = FForm.Config();
        EXPECT_EQ(back.MatrixSegments, config.MatrixSegments) << columns;
        EXPECT_EQ(back.MatrixCols, columns) << "the matrix size passes through";
    }
}

TEST_F(ConfigDialogTest, PayoutTableOfOneEntryShowsThreeLinesAndSavesThree)
{
    FForm.LoadConfig(GivenConfig());
    ASSERT_EQ(FForm.edProfits->rowCount(), 3);
    EXPECT_EQ(FForm.ProfitLines(), (QStringList{"0=2,50", "1=0,00", "2=0,00"}));
    // The number of matches is not edited; the amount is.
    EXPECT_FALSE(FForm.edProfits->item(1, 0)->flags() & Qt::ItemIsEditable);
    EXPECT_TRUE(FForm.edProfits->item(1, 1)->flags() & Qt::ItemIsEditable);

    FForm.edProfits->item(2, 1)->setText(QStringLiteral("90,5"));
    FForm.edProfits->item(1, 1)->setText(QStringLiteral("abc"));
    EXPECT_TRUE(PressOk(FForm));
    EXPECT_TRUE(FBoxes.Boxes().isEmpty());
    const TProfitsArray expected = {
        {0, TCurrency::FromRaw(25000)}, {1, TCurrency()}, {2, TCurrency::FromRaw(905000)}};
    EXPECT_EQ(FForm.Config().Profits, expected);
}

TEST_F(ConfigDialogTest, PayoutValueTakesDigitsAndTheSeparatorOnly)
{
    FForm.LoadConfig(GivenConfig());
    ASSERT_TRUE(ActivateWindow(&FForm));
    FForm.edProfits->setCurrentCell(1, 1);
    FForm.edProfits->editItem(FForm.edProfits->item(1, 1));
    auto* editor = FForm.edProfits->findChild<QLineEdit*>();
    ASSERT_NE(editor, nullptr);
    editor->selectAll();
    TypeText(editor, QStringLiteral("1a2-.5 "));
    EXPECT_EQ(editor->text(), "12,5");
    CommitCell(editor);
    EXPECT_EQ(Cell(FForm.edProfits, 1, 1), "12,5");
    EXPECT_EQ(FForm.Config().Profits.at(1).Amount, TCurrency::FromRaw(125000));
}

TEST_F(ConfigDialogTest, SegmentCellOutsideOneToNineBecomesOneWithTheMessage)
{
    FForm.LoadConfig(GivenConfig());
    FForm.sgSegments->item(3, 1)->setText(QStringLiteral("12"));
    ASSERT_EQ(FBoxes.Boxes().size(), 1);
    EXPECT_EQ(FBoxes.Last().Text, U(kBadSegment12));
    EXPECT_EQ(FBoxes.Last().Title, U("Ошибка"));
    EXPECT_EQ(Cell(FForm.sgSegments, 3, 1), "1");

    // A valid value and an emptied cell pass without a message; the empty cell reads as 1.
    FForm.sgSegments->item(0, 0)->setText(QStringLiteral("7"));
    FForm.sgSegments->item(1, 0)->setText(QString());
    EXPECT_EQ(FBoxes.Boxes().size(), 1);
    EXPECT_TRUE(PressOk(FForm));
    EXPECT_EQ(SegmentsToStr(FForm.Config().MatrixSegments), "71345678919871543212");
}

TEST_F(ConfigDialogTest, TypedSegmentIsCheckedAtEveryKey)
{
    FForm.LoadConfig(GivenConfig());
    ASSERT_TRUE(ActivateWindow(&FForm));
    // Any key starts editing a segment cell; making it current does already.
    FForm.sgSegments->setCurrentCell(5, 0);
    auto* editor = FForm.sgSegments->findChild<QLineEdit*>();
    ASSERT_NE(editor, nullptr);
    editor->selectAll();
    TypeText(editor, QStringLiteral("x1"));   // the letter is refused without a message
    EXPECT_TRUE(FBoxes.Boxes().isEmpty());
    TypeText(editor, QStringLiteral("2"));
    ASSERT_EQ(FBoxes.Boxes().size(), 1);
    EXPECT_EQ(FBoxes.Last().Text, U(kBadSegment12));
    EXPECT_EQ(editor->text(), "1");
    TypeKey(editor, Qt::Key_Backspace);
    TypeText(editor, QStringLiteral("0"));
    ASSERT_EQ(FBoxes.Boxes().size(), 2);
    EXPECT_EQ(editor->text(), "1");
    TypeKey(editor, Qt::Key_Backspace);
    TypeText(editor, QStringLiteral("8"));
    CommitCell(editor);
    EXPECT_EQ(FBoxes.Boxes().size(), 2);
    EXPECT_EQ(Cell(FForm.sgSegments, 5, 0), "8");
    EXPECT_EQ(FForm.Config().MatrixSegments[0][5], 8);
}

// The message about a typed segment is a real modal box here: it takes the focus from the cell
// editor while it is open, which scripted boxes never do.
TEST(ConfigDialogUnderARealBox, BadSegmentShowsOneMessageAndTheCellKeepsOne)
{
    const struct {
        const char* Typed;
        int Row;
        int Column;
        const char* Message;
    } cases[] = {
        {"12", 3, 1, kBadSegment12},
        {"0", 6, 0, "Некорректное значение: 0!\n\nУкажите любое число от 1 до 9"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Typed);
        TModalBoxes boxes;
        TFormConfig form;
        form.LoadConfig(GivenConfig());
        ASSERT_TRUE(ActivateWindow(&form));
        form.sgSegments->setCurrentCell(c.Row, c.Column);
        const QPointer<QLineEdit> editor = form.sgSegments->findChild<QLineEdit*>();
        ASSERT_FALSE(editor.isNull());
        editor->selectAll();
        TypeText(editor, QString::fromLatin1(c.Typed));
        QApplication::processEvents();

        ASSERT_EQ(boxes.Boxes.size(), 1);
        EXPECT_EQ(boxes.Boxes.first().Text, U(c.Message));
        EXPECT_EQ(boxes.MostOpen, 1);
        EXPECT_TRUE(boxes.EveryBoxActive);
        ASSERT_TRUE(form.isVisible());
        // The editor outlived the box and holds the correction; Enter writes it to the cell.
        ASSERT_FALSE(editor.isNull());
        EXPECT_EQ(editor->text(), "1");
        ASSERT_TRUE(ActivateWindow(&form));
        CommitCell(editor);
        EXPECT_EQ(Cell(form.sgSegments, c.Row, c.Column), "1");

        // The dialog goes on working: another cell takes a good value and OK keeps both.
        form.sgSegments->setCurrentCell(9, 1);
        auto* next = form.sgSegments->findChild<QLineEdit*>();
        ASSERT_NE(next, nullptr);
        next->selectAll();
        TypeText(next, QStringLiteral("7"));
        CommitCell(next);
        EXPECT_EQ(boxes.Boxes.size(), 1);
        ASSERT_TRUE(PressOk(form));
        const TConfigData config = form.Config();
        EXPECT_EQ(config.MatrixSegments[std::size_t(c.Column)][std::size_t(c.Row)], 1);
        EXPECT_EQ(config.MatrixSegments[1][9], 7);
    }
}

TEST_F(ConfigDialogTest, OkReplacesTheEditedFieldsAndKeepsTheRest)
{
    const TConfigData given = GivenConfig();
    FForm.LoadConfig(given);
    FForm.edChannelSize->setValue(3);
    FForm.edCost->SetValue(2.5L);
    FForm.Weights.Level->SetValue(0.25L);
    FForm.Weights.Abs->setChecked(true);
    FForm.sgSegments->item(9, 1)->setText(QStringLiteral("4"));
    ASSERT_TRUE(PressOk(FForm));
    const TConfigData edited = FForm.Config();

    TConfigData expected = given;
    expected.ChannelSize = 3;
    expected.Cost = TCurrency::FromRaw(25000);
    expected.Profits = {{0, TCurrency::FromRaw(25000)}, {1, TCurrency()}, {2, TCurrency()}};
    expected.Weights.Level = 0.25L;
    expected.Weights.UseAbsValues = true;
    expected.MatrixSegments[1][9] = 4;
    EXPECT_EQ(edited, expected);
    EXPECT_EQ(ConfigChangeMask(given, edited), ChannelsGroupMask | SegmentsGroupMask);
}

TEST_F(ConfigDialogTest, AmountsTooLargeToKeepAreRefused)
{
    FForm.LoadConfig(GivenConfig());
    FForm.edProfits->item(2, 1)->setText(QStringLiteral("922337203685478"));
    EXPECT_FALSE(PressOk(FForm));
    ASSERT_EQ(FBoxes.Boxes().size(), 1);
    EXPECT_EQ(FBoxes.Last().Text, U("Слишком большая сумма выигрыша: 922337203685478!"));
    EXPECT_EQ(FForm.edProfits->currentRow(), 2);

    // Fits the money type, but the settings file keeps no more than 10 000 000.
    FForm.edProfits->item(1, 1)->setText(QStringLiteral("10000000,01"));
    FForm.edProfits->item(2, 1)->setText(QStringLiteral("10000000"));
    EXPECT_FALSE(PressOk(FForm));
    ASSERT_EQ(FBoxes.Boxes().size(), 2);
    EXPECT_EQ(FBoxes.Last().Text, U("Слишком большая сумма выигрыша: 10000000,01!"));
    EXPECT_EQ(FForm.edProfits->currentRow(), 1);
    FForm.edProfits->item(1, 1)->setText(QStringLiteral("-3"));   // pasted past the editor
    EXPECT_FALSE(PressOk(FForm));
    ASSERT_EQ(FBoxes.Boxes().size(), 3);
    EXPECT_EQ(FBoxes.Last().Text, U("Отрицательная сумма выигрыша: -3!"));
    FForm.edProfits->item(1, 1)->setText(QStringLiteral("7"));

    const struct {
        long double Cost;
        const char* Message;
    } costs[] = {
        {1e16L, "Слишком большая стоимость ставки: 1E16!"},
        {10000000.5L, "Слишком большая стоимость ставки: 10000000,5!"},
        {-1, "Отрицательная стоимость ставки: -1!"},
    };
    for (const auto& cost : costs) {
        FBoxes.Clear();
        FForm.edCost->SetValue(cost.Cost);
        EXPECT_FALSE(PressOk(FForm)) << cost.Message;
        ASSERT_EQ(FBoxes.Boxes().size(), 1) << cost.Message;
        EXPECT_EQ(FBoxes.Last().Text, U(cost.Message));
    }

    FBoxes.Clear();
    FForm.edCost->SetValue(10000000);
    EXPECT_TRUE(PressOk(FForm));
    EXPECT_TRUE(FBoxes.Boxes().isEmpty());
    EXPECT_EQ(FForm.Config().Cost.Raw(), 100000000000LL);
    EXPECT_EQ(FForm.Config().Profits.at(1).Amount.Raw(), 70000);
    EXPECT_EQ(FForm.Config().Profits.at(2).Amount.Raw(), 100000000000LL);
    for (const QString& amount : {QStringLiteral("1e15"), QString(300, '9'), QString(5000, '9')}) {
        FForm.edProfits->item(2, 1)->setText(amount);
        EXPECT_FALSE(PressOk(FForm)) << amount.size();
        EXPECT_TRUE(FBoxes.Last().Text.startsWith(U("Слишком большая сумма выигрыша: ") + amount.left(4)));
    }
}

TEST(ConfigDialogFunctions, EditConfigDataChangesTheRecordOnlyOnOk)
{
    TScriptedBoxes boxes;
    const TConfigData given = GivenConfig();
    TConfigData config = given;
    WhenModal([](TDialogSTemplate& dialog) {
        auto& form = static_cast<TFormConfig&>(dialog);
        form.edChannelSize->setValue(5);
        form.edProfits->item(0, 1)->setText(QStringLiteral("1"));
        form.sgSegments->item(0, 0)->setText(QStringLiteral("9"));
        dialog.CancelBtn()->click();
    });
    EXPECT_FALSE(EditConfigData(nullptr, config));
    EXPECT_EQ(config, given);

    WhenModal([](TDialogSTemplate& dialog) {
        static_cast<TFormConfig&>(dialog).edChannelSize->setValue(5);
        dialog.OkBtn()->click();
    });
    EXPECT_TRUE(EditConfigData(nullptr, config));
    EXPECT_EQ(config.ChannelSize, 5);
    EXPECT_EQ(config.Profits.size(), 3u);
    EXPECT_EQ(ConfigChangeMask(given, config), ChannelsGroupMask);
    EXPECT_TRUE(boxes.Boxes().isEmpty());
}

TEST_F(ConfigDialogTest, ScreenshotShowsEveryTextInFull)
{
    TConfigData config = GivenConfig();
    config.Profits = {{0, TCurrency()}, {1, TCurrency::FromUnits(10)}, {2, TCurrency::FromUnits(900)}};
    FForm.LoadConfig(config);
    const QString path = SaveScreenshot(&FForm, QStringLiteral("FormConfig"), FForm.size());
    ASSERT_FALSE(path.isEmpty());
    for (const QLabel* label : FForm.findChildren<QLabel*>()) {
        if (label->isVisible()) {
            EXPECT_GE(label->contentsRect().width(), label->fontMetrics().horizontalAdvance(label->text()))
                << label->objectName().toStdString();
        }
    }
    // Every segment cell is in view without scrolling.
    const QRect view = FForm.sgSegments->viewport()->rect();
    EXPECT_TRUE(view.contains(FForm.sgSegments->visualItemRect(FForm.sgSegments->item(9, 1))));
    EXPECT_TRUE(FForm.edProfits->viewport()->rect().contains(
        FForm.edProfits->visualItemRect(FForm.edProfits->item(2, 1))));
    EXPECT_EQ(QImage(path).size(), FForm.size() * FForm.devicePixelRatio());
}

// ---------------------------------------------------------------------------------------

TEST(ShreddingDialog, FieldsTextsAndLimits)
{
    TStatList list;
    list.Formula1 = QStringLiteral("n1/n2");
    list.Formula2 = QStringLiteral("n2*p1");
    list.Formula3 = QStringLiteral("(n1+n2)/(n1-n2)");
    list.Formula1Digits = 2;
    list.Formula2Digits = 5;
    list.Formula3Digits = 1;

    TFormShredding form;
    form.LoadFormulas(list);
    EXPECT_EQ(form.windowTitle(), U("Методы шинковки"));
    for (int i = 0; i < 3; ++i) {
        const QString n = QString::number(i + 1);
        const auto* label = form.findChild<QLabel*>(QStringLiteral("lblFormula") + n);
        ASSERT_NE(label, nullptr);
        EXPECT_EQ(label->text(), U("Формула ") + n + QLatin1Char(':'));
        EXPECT_EQ(label->buddy(), form.edFormula[std::size_t(i)]);
        EXPECT_EQ(form.edFormula[std::size_t(i)]->objectName(), QStringLiteral("edFormula") + n);
        EXPECT_EQ(form.edFormula[std::size_t(i)]->toolTip(), U("Используемая формула"));
        EXPECT_EQ(form.edDigits[std::size_t(i)]->objectName(), QStringLiteral("edDigits") + n);
        EXPECT_EQ(form.edDigits[std::size_t(i)]->toolTip(), U("Количество используемых знаков после запятой"));
        EXPECT_EQ(form.edDigits[std::size_t(i)]->minimum(), 1);
        EXPECT_EQ(form.edDigits[std::size_t(i)]->maximum(), 5);
    }
    EXPECT_EQ(form.lblInfo->text(), U("Используемые переменные:\nn1, n2, n3, ..., nX - числа текущего тиража\n"
                                      "p1, p2, p3, ..., pX - числа предыдущего тиража"));
    EXPECT_EQ(form.edFormula[1]->text(), "n2*p1");
    EXPECT_EQ(form.edDigits[1]->value(), 5);
    EXPECT_EQ(form.edDigits[2]->value(), 1);

    // Stored digits outside 1..5 show within the limits.
    list.Formula1Digits = 0;
    list.Formula3Digits = 9;
    form.LoadFormulas(list);
    EXPECT_EQ(form.edDigits[0]->value(), 1);
    EXPECT_EQ(form.edDigits[2]->value(), 5);
}

TEST(ShreddingDialog, TypedDecimalsOutsideOneToFiveShowAndBecomeTheNearestLimit)
{
    const struct {
        const char* Typed;
        int Stored;
    } cases[] = {{"9", 5}, {"0", 1}, {"4", 4}, {"77", 5}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Typed);
        TScriptedBoxes boxes;
        TStatList list;
        list.Formula2Digits = 2;
        TFormShredding form;
        form.LoadFormulas(list);
        ASSERT_TRUE(ActivateWindow(&form));
        QSpinBox* digits = form.edDigits[1];
        digits->setFocus();
        digits->selectAll();
        TypeText(digits, QString::fromLatin1(c.Typed));
        // On view as typed, not dropped without a word.
        EXPECT_EQ(digits->text(), QString::fromLatin1(c.Typed));
        ASSERT_TRUE(PressOk(form));
        EXPECT_EQ(digits->text(), QString::number(c.Stored));
        form.StoreFormulas(list);
        EXPECT_EQ(list.Formula2Digits, c.Stored);
        EXPECT_TRUE(boxes.Boxes().isEmpty());
    }
}

TEST(ShreddingDialog, EditStoresTheSixValuesOnlyOnOk)
{
    TStatList list;
    list.Formula1 = QStringLiteral("n1/n2");
    list.Formula2 = QStringLiteral("n2/n1");
    list.Formula3 = QStringLiteral("n1*n2");
    list.Formula1Digits = 2;
    list.Formula2Digits = 2;
    list.Formula3Digits = 2;

    WhenModal([](TDialogSTemplate& dialog) {
        auto& form = static_cast<TFormShredding&>(dialog);
        form.edFormula[0]->setText(QStringLiteral("n1+n2"));
        form.edDigits[0]->setValue(4);
        dialog.CancelBtn()->click();
    });
    EXPECT_FALSE(EditShreddingFormulas(nullptr, list));
    EXPECT_EQ(list.Formula1, "n1/n2");
    EXPECT_EQ(list.Formula1Digits, 2);

    // A formula that does not evaluate is kept as typed.
    WhenModal([](TDialogSTemplate& dialog) {
        auto& form = static_cast<TFormShredding&>(dialog);
        form.edFormula[1]->setText(QStringLiteral("n1+"));
        form.edFormula[2]->setText(QString());
        form.edDigits[0]->setValue(4);
        form.edDigits[2]->setValue(5);
        dialog.OkBtn()->click();
    });
    EXPECT_TRUE(EditShreddingFormulas(nullptr, list));
    EXPECT_EQ(list.Formula1, "n1/n2");
    EXPECT_EQ(list.Formula2, "n1+");
    EXPECT_EQ(list.Formula3, "");
    EXPECT_EQ(list.Formula1Digits, 4);
    EXPECT_EQ(list.Formula2Digits, 2);
    EXPECT_EQ(list.Formula3Digits, 5);
}

TEST(ShreddingDialog, ScreenshotShowsEveryTextInFull)
{
    TStatList list;
    list.Formula1 = QStringLiteral("(n1+n2)/(n1-n2)");
    list.Formula1Digits = 3;
    TFormShredding form;
    form.LoadFormulas(list);
    const QString path = SaveScreenshot(&form, QStringLiteral("FormShredding"), form.size());
    ASSERT_FALSE(path.isEmpty());
    for (const QLabel* label : form.findChildren<QLabel*>()) {
        // The note on the variables has three lines; each shows in full.
        for (const QString& line : label->text().split(QLatin1Char('\n')))
            EXPECT_GE(label->contentsRect().width(), label->fontMetrics().horizontalAdvance(line))
                << label->objectName().toStdString();
    }
}

// Text typed into an edit counts once the edit is left; Get leaves it for the edit that has the
// focus only, since the others took theirs when they lost it.
TEST(WeightEdits, OnlyTheFocusedEditTakesItsTypedText)
{
    QWidget window;
    auto* group = new QGroupBox(&window);
    const TWeightEdits edits = TWeightEdits::Create(group, QStringLiteral(",0.000"));
    const TStatWeights given{1.5L, -1, 2, true, false};
    ASSERT_TRUE(ActivateWindow(&window));
    edits.Set(given);
    edits.Level->setFocus();
    ASSERT_TRUE(edits.Level->hasFocus());
    edits.Level->setText(QStringLiteral("2,5"));
    edits.Deviation->setText(QStringLiteral("9"));
    TStatWeights expected = given;
    expected.Level = 2.5L;
    EXPECT_EQ(edits.Get(), expected);
}
