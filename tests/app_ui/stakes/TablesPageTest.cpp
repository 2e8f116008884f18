// The regular-stake dialog and the page that lists the rules.

#include "app/ui/stakes/TablesPage.h"
#include "app/ui/stakes/UnitTable.h"
#include "support/RDialogsScripted.h"
#include "support/ui/QorListView.h"
#include "tests/common/Screenshot.h"
#include "tests/common/TestHelpers.h"
#include "tests/support_ui/KeyInput.h"
#include "tests/app_ui/AppUiTestEnv.h"
#include "tests/app_core/stakes/TableRuleData.h"

#include <QApplication>
#include <QHeaderView>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

class TableDialogTest : public ::testing::Test {
protected:
    TScriptedBoxes FBoxes;
    TFormTable FForm;
};

TEST_F(TableDialogTest, TextsAndLimits)
{
    FForm.LoadTable(Rule("Регулярная ставка", 0, 0, 1, false, 1), {});
    EXPECT_EQ(FForm.windowTitle(), U("Добавление регулярной ставки"));
    EXPECT_EQ(FForm.rbUseMyComb->text(), U("Использовать постоянную стартовую комбинацию:"));
    EXPECT_EQ(FForm.rbUseLastDraw->text(), U("Использовать данные предыдущего тиража"));
    EXPECT_EQ(FForm.findChild<QLabel*>(QStringLiteral("lblComment"))->text(), U("Комментарий к ставке:"));
    EXPECT_EQ(FForm.findChild<QLabel*>(QStringLiteral("lblStep"))->text(), U("Шаг:"));
    EXPECT_EQ(FForm.edCombStart->toolTip(), U("Введите числа, разделенные точкой с запятой или запятой"));
    EXPECT_EQ(FForm.edStep->toolTip(), U("Шаг изменения элементов комбинации"));
    EXPECT_EQ(FForm.edStep->minimum(), -9);
    EXPECT_EQ(FForm.edStep->maximum(), 9);
    FForm.edComment->setText(QString(70, QLatin1Char('x')));
    EXPECT_EQ(FForm.edComment->text().size(), 64);

    // A stored step beyond the limits is shown at the nearest limit.
    FForm.LoadTable(Rule("r", 0, 0, -40, false, 1), {});
    EXPECT_EQ(FForm.edStep->value(), -9);
}

TEST_F(TableDialogTest, StartCombinationCanBeTypedOnlyForOneSelectedCombination)
{
    struct {
        int Selected;
        bool UseLastDraw;
        const char* Text;
        bool Enabled;
    } const cases[] = {
        {1, false, "1;8", true}, {1, true, "1;8", false},
        {3, false, "{...Выделенные комбинации...}", false}, {0, false, "{...Выделенные комбинации...}", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Selected * 10 + c.UseLastDraw);
        FForm.LoadTable(Rule("r", 1, 8, 3, c.UseLastDraw, c.Selected), {});
        EXPECT_EQ(FForm.edCombStart->text(), U(c.Text));
        EXPECT_EQ(FForm.edCombStart->isEnabled(), c.Enabled);
        EXPECT_EQ(FForm.rbUseMyComb->isChecked(), !c.UseLastDraw);
    }
    // Switching to the previous draw disables the text, switching back enables it.
    FForm.LoadTable(Rule("r", 1, 8, 3, false, 1), {});
    FForm.rbUseLastDraw->setChecked(true);
    EXPECT_FALSE(FForm.edCombStart->isEnabled());
    FForm.rbUseMyComb->setChecked(true);
    EXPECT_TRUE(FForm.edCombStart->isEnabled());
}

TEST_F(TableDialogTest, OkChecksCombinationThenCommentThenItsUniqueness)
{
    ASSERT_TRUE(ActivateWindow(&FForm));
    struct TCase {
        int Selected;
        bool UseLastDraw;
        const char* Comb;
        const char* Comment;
        const char* Box;   // nullptr: accepted
        QWidget* Focus;
    };
    const TCase cases[] = {
        {1, false, "10;2", "", "Введена некорректная комбинация!", FForm.edCombStart},
        {1, false, "1;2;3", "n", "Введена некорректная комбинация!", FForm.edCombStart},
        {1, false, "1,2", "", "Необходимо ввести комментарий!", FForm.edComment},
        {1, false, "1;2", "Старая", "Запись с таким комментарией уже присутствует в списке!\nВыберите другой комментарий.",
         FForm.edComment},
        {1, false, "1;2", "старая", nullptr, nullptr},
        // The text is not read when it cannot be typed.
        {1, true, "x", "n", nullptr, nullptr},
        {3, false, "{...Выделенные комбинации...}", "n", nullptr, nullptr},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(std::string(c.Comb) + " / " + c.Comment);
        FForm.LoadTable(Rule("r", 0, 0, 1, c.UseLastDraw, c.Selected), {U("Старая"), U("Другая")});
        FBoxes.Clear();
        FForm.edCombStart->setText(U(c.Comb));
        FForm.edComment->setText(U(c.Comment));
        FForm.edStep->setFocus();
        EXPECT_EQ(PressOk(FForm), c.Box == nullptr);
        ASSERT_EQ(FBoxes.Boxes().size(), c.Box ? 1 : 0);
        if (c.Box) {
            EXPECT_EQ(FBoxes.Last().Text, U(c.Box));
            EXPECT_EQ(QApplication::focusWidget(), c.Focus);
        }
    }
}

TEST_F(TableDialogTest, AcceptedDialogWritesNameFlagStepAndTypedStart)
{
    TTableRec rec = Rule("Регулярная ставка", 0, 0, 1, false, 1);
    FForm.LoadTable(rec, {});
    FForm.edCombStart->setText(QStringLiteral(" 7 , 3 "));
    FForm.edComment->setText(U("Моя"));
    FForm.edStep->setValue(-4);
    ASSERT_TRUE(PressOk(FForm));
    FForm.StoreTable(rec);
    TTableRec expected = Rule("Моя", 7, 3, -4, false, 1);
    expected.CurrComb = 0;
    EXPECT_EQ(rec, expected);

    // Several combinations: the start is left as it was.
    rec = Rule("r", 0, 0, 1, false, 3);
    FForm.LoadTable(rec, {});
    FForm.rbUseLastDraw->setChecked(true);
    ASSERT_TRUE(PressOk(FForm));
    FForm.StoreTable(rec);
    EXPECT_EQ(rec, Rule("r", 0, 0, 1, true, 3));
}

class TablesPageTest : public ::testing::Test {
protected:
    TablesPageTest()
    {
        FState.SetDataDir(FDir.path());
        FState.Options.SetValue(TMainOptions::TabTables, 1);
    }
    QString Cell(int row, int column) const
    {
        const QAbstractItemModel* model = FPage.List()->model();
        return model->data(model->index(row, column), Qt::DisplayRole).toString();
    }
    QStringList Column(int column) const
    {
        QStringList texts;
        for (int row = 0; row < FPage.List()->ItemCount(); ++row)
            texts.append(Cell(row, column));
        return texts;
    }

    QTemporaryDir FDir;
    TScriptedBoxes FBoxes;
    TMainState FState;
    TRegularStakes FTables{FState};
    TTablesPage FPage{FState, FTables, nullptr};
};

TEST_F(TablesPageTest, ColumnsAndRows)
{
    TRSortListView* list = FPage.List();
    EXPECT_EQ(list->objectName(), QStringLiteral("lvTables"));
    const char* const captions[] = {"Комментарий", "Стартовая комбинация", "Шаг", "Текущая комбинация", "Ставок"};
    ASSERT_EQ(list->ColumnCount(), 5);
    for (int column = 0; column < 5; ++column)
        EXPECT_EQ(list->model()->headerData(column, Qt::Horizontal, Qt::DisplayRole).toString(), U(captions[column]));
    // The given widths, or what a header needs to show its caption whole.
    EXPECT_EQ(list->ColumnWidth(0), std::max(200, list->HeaderTextWidth(0)));
    EXPECT_EQ(list->ColumnWidth(1), std::max(150, list->HeaderTextWidth(1)));
    EXPECT_EQ(list->ColumnWidth(3), std::max(150, list->HeaderTextWidth(3)));

    TTableRec moved = Rule("Вверх", 1, 8, 3, false, 2);
    moved.CurrComb = C(7, 4);
    FTables.FTables = {moved, Rule("Назад", 2, 0, -3, true)};
    FPage.Repaint();
    ASSERT_EQ(list->ItemCount(), 2);
    const QStringList first = {Cell(0, 0), Cell(0, 1), Cell(0, 2), Cell(0, 3), Cell(0, 4)};
    EXPECT_EQ(first, (QStringList{U("Вверх"), "1;8", "3", "7;4", "2"}));
    EXPECT_EQ(Cell(1, 2), QStringLiteral("-3"));

    list->SetItemSelected(1, true);
    EXPECT_TRUE(FPage.HasSelection());
    EXPECT_EQ(FPage.SelectedRows(), QList<int>{1});

    // A deletion clears the selection and the list follows the rules.
    FBoxes.Answer(IDYES);
    EXPECT_TRUE(FTables.TablesDel(FPage.SelectedRows()));
    EXPECT_EQ(list->ItemCount(), 1);
    EXPECT_FALSE(FPage.HasSelection());

    // A hidden tab shows no rows.
    FState.Options.SetValue(TMainOptions::TabTables, 0);
    FPage.Repaint();
    EXPECT_EQ(list->ItemCount(), 0);
}

TEST_F(TablesPageTest, HeaderClickSortsTheRulesAndTheirFile)
{
    FTables.FTables = {Rule("b", 1, 1, 3), Rule("a", 2, 2, -2), Rule("c", 3, 3, 0)};
    FPage.Repaint();
    emit FPage.List()->header()->sectionClicked(2);
    EXPECT_EQ(Column(2), (QStringList{"-2", "0", "3"}));
    emit FPage.List()->header()->sectionClicked(2);
    EXPECT_EQ(Column(2), (QStringList{"3", "0", "-2"}));
    emit FPage.List()->header()->sectionClicked(0);
    EXPECT_EQ(Column(0), (QStringList{"a", "b", "c"}));
    const auto stored = ReadRecordFile<TTableRec>(FTables.FileName(), TableRecSize, 1000, ReadTableRec).Records;
    EXPECT_EQ(stored, FTables.FTables);
}

TEST_F(TablesPageTest, Screenshot)
{
    TTableRec moved = Rule("Регуляр +3", 1, 8, 3, false, 3);
    moved.CurrComb = C(0, 7);
    FTables.FTables = {moved, Rule("Предыдущий тираж -1", 0, 0, -1, true), Rule("Регулярная ставка (1)", 4, 5, 2)};
    FPage.Repaint();
    const QString path = SaveScreenshot(&FPage, QStringLiteral("TablesPage"), QSize(640, 240));
    ASSERT_FALSE(path.isEmpty());
    EXPECT_FALSE(QImage(path).isNull());

    TFormTable form;
    form.LoadTable(Rule("Регулярная ставка", 1, 8, 1, false, 1), {});
    const QString dialog = SaveScreenshot(&form, QStringLiteral("FormTable"), form.size());
    ASSERT_FALSE(dialog.isEmpty());
}

} // namespace
