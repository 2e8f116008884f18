// The main window over a generated archive, offscreen: the draw list, its editors and its status line.

#include "tests/app_ui/shell/MainWindowTestEnv.h"

#include "app/ui/archive/DrawsPage.h"
#include "app/ui/archive/UnitDraw.h"
#include "support/RVclUtils.h"
#include "support/ui/RActions.h"
#include "support/ui/RStatusBar.h"
#include "tests/common/Screenshot.h"
#include "tests/fixtures/ArchiveFixtures.h"

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

class TProbeDelegate : public TDrawsDelegate {
public:
    using TDrawsDelegate::TDrawsDelegate;

    // The background a cell is painted with; Qt::NoBrush when the list's own.
    QBrush Background(const QModelIndex& index) const
    {
        QStyleOptionViewItem option;
        initStyleOption(&option, index);
        return option.backgroundBrush;
    }
};

TEST_F(MainWindowTest, ShowsTheArchiveInTheListAndTheStatusLine)
{
    FFolder.WriteArchive(MakeArchive(3000, 7));
    QCoreApplication::setApplicationVersion(QStringLiteral("2.2.10"));
    auto form = Open();
    EXPECT_EQ(form->objectName(), "FormMain");
    EXPECT_TRUE(form->windowTitle().endsWith(QStringLiteral(" версия 2.2.10")));
    EXPECT_TRUE(FBoxes.Boxes().isEmpty()) << FBoxes.Last().Text.toStdString();

    TStatusBar* bar = form->findChild<TStatusBar*>(QStringLiteral("StatusBar"));
    ASSERT_NE(bar, nullptr);
    ASSERT_EQ(bar->PanelCount(), 7);
    EXPECT_EQ(bar->Tag(), 6);
    EXPECT_EQ(bar->PanelText(0), "Архив тиражей: 3000");
    EXPECT_EQ(bar->PanelText(1), "Следующий тираж: 3001");
    EXPECT_EQ(bar->PanelText(2), "");
    // The first list is the full one.
    EXPECT_EQ(bar->PanelText(3), "Комбинаций: 100");
    EXPECT_EQ(bar->PanelText(4), "Ставок: 0");
    EXPECT_EQ(bar->PanelText(5), "Рейтинг: 0");

    TRListView* list = DrawsList(*form);
    ASSERT_NE(list, nullptr);
    EXPECT_TRUE(list->OwnerData());
    EXPECT_TRUE(list->MultiSelect());
    EXPECT_EQ(list->ItemCount(), 3000);
    ASSERT_EQ(list->ColumnCount(), 5);
    const QStringList captions = {"Тираж", "1", "2", "S", "Дата тиража"};
    const int widths[] = {54, 24, 24, 30, 100};
    for (int column = 0; column < 5; ++column) {
        EXPECT_EQ(list->Items()->Column(column).Caption, captions[column]);
        EXPECT_EQ(list->ColumnWidth(column), widths[column]);
    }
    // Row 0 is the newest draw, the last row the oldest.
    const TDrawsArray draws = MakeArchive(3000, 7);
    EXPECT_EQ(Cell(*form, 0, 0), "3000");
    EXPECT_EQ(Cell(*form, 0, 1), QString::number(draws[2999].Digits[0]));
    EXPECT_EQ(Cell(*form, 0, 3), QString::number(draws[2999].Digits[0] + draws[2999].Digits[1]));
    EXPECT_EQ(Cell(*form, 0, 4), FixtureDrawKey(2999));
    EXPECT_EQ(Cell(*form, 2999, 0), "1");
    EXPECT_EQ(Cell(*form, 2999, 4), "08/01/2016 M");

    auto* pages = form->findChild<QTabWidget*>(QStringLiteral("pcLists"));
    ASSERT_NE(pages, nullptr);
    ASSERT_EQ(pages->count(), 2);
    EXPECT_EQ(pages->widget(0)->objectName(), "tsDraws");
    EXPECT_EQ(pages->tabText(0), "Архив тиражей");
    EXPECT_EQ(pages->tabText(1), "Комбинации");
    EXPECT_NE(form->findChild<QTabWidget*>(QStringLiteral("pcMain")), nullptr);
}

TEST_F(MainWindowTest, OffsetEditorMovesTheCurrentDrawAndItsColours)
{
    // Without draws the next one is 1, as the draw dialog proposes.
    EXPECT_EQ(Open()->StatusBar()->PanelText(1), "Следующий тираж: 1");
    // Channel size 2 (the default): digits 0 and 1 are channel 1, 8 and 9 channel 5.
    FFolder.WriteArchive(MakeDraws({{0, 9}, {1, 8}, {2, 7}, {3, 6}, {4, 5}, {5, 4}, {9, 0}, {7, 2}, {8, 1}, {6, 3}}));
    auto form = Open();
    auto* offset = form->findChild<QSpinBox*>(QStringLiteral("edDrawsOffset"));
    ASSERT_NE(offset, nullptr);
    EXPECT_EQ(offset->minimum(), 0);
    EXPECT_EQ(offset->maximum(), 9);
    TStatusBar* bar = form->StatusBar();
    EXPECT_EQ(bar->PanelText(1), "Следующий тираж: 11");

    offset->setValue(3);
    EXPECT_EQ(form->State().DrawsOffset(), 3);
    // Row 3 is draw 7, so the next one is 8; panel 2 shows the digits of the draw in row 2.
    EXPECT_EQ(bar->PanelText(1), "Следующий тираж: 8");
    EXPECT_EQ(bar->PanelText(2), "7;2");
    EXPECT_TRUE(form->State().FCurrentDigits.test(7));
    EXPECT_TRUE(form->State().FCurrentDigits.test(2));
    EXPECT_EQ(form->State().FCurrentDigits.count(), 2u);

    TRListView* list = DrawsList(*form);
    const TProbeDelegate probe(form->Archive(), nullptr);
    const auto cell = [list](int row, int column) { return list->model()->index(row, column); };
    const QColor lightRed(255, 170, 170);
    EXPECT_EQ(probe.Background(cell(3, 0)).color(), lightRed);
    EXPECT_EQ(probe.Background(cell(3, 4)).color(), lightRed);
    EXPECT_EQ(probe.Background(cell(0, 0)).color(), QColor(Qt::white));
    // Row 3 holds 9;0: the digit cells take their channels' colours, the current row or not.
    EXPECT_EQ(probe.Background(cell(3, 1)).color(), QColor(0xAA, 0xAA, 0xFF));
    EXPECT_EQ(probe.Background(cell(3, 2)).color(), QColor(0xAA, 0xFF, 0xAA));

    // The offset set elsewhere (a look-back test) moves the editor.
    form->State().SetDrawsOffset(5);
    EXPECT_EQ(offset->value(), 5);
    EXPECT_EQ(probe.Background(cell(3, 0)).color(), QColor(Qt::white));
    EXPECT_EQ(probe.Background(cell(5, 0)).color(), lightRed);
}

TEST_F(MainWindowTest, WithoutColouringOnlyTheCurrentDrawIsMarkedAndSortedDigitsAreShown)
{
    FFolder.WriteArchive(MakeDraws({{3, 6}, {7, 2}}));
    WriteFormState(QStringLiteral("ColorDraws=0\r\nSortedDraws=1\r\n"));
    auto form = Open();
    TRListView* list = DrawsList(*form);
    const TProbeDelegate probe(form->Archive(), nullptr);
    EXPECT_EQ(probe.Background(list->model()->index(0, 0)).color(), QColor(255, 170, 170));
    EXPECT_EQ(probe.Background(list->model()->index(0, 1)).color(), QColor(255, 170, 170));
    EXPECT_EQ(probe.Background(list->model()->index(1, 1)).style(), Qt::NoBrush);
    // 7;2 is shown (and summed) in ascending order; the stored draw keeps its order.
    EXPECT_EQ(Cell(*form, 0, 1), "2");
    EXPECT_EQ(Cell(*form, 0, 2), "7");
    EXPECT_EQ(Cell(*form, 0, 3), "9");
    EXPECT_EQ(form->State().FDraws[1].Digits[0], 7);
}

TEST_F(MainWindowTest, DrawsDelRemovesTheSelectedRowsByIndex)
{
    // After an edit, two draws carry the number 8: the rows name the draws, not the numbers.
    TDrawsArray draws = MakeArchive(10);
    draws[3].Number = 8;
    FFolder.WriteArchive(draws);
    auto form = Open();
    TRListView* list = DrawsList(*form);
    list->SetItemSelected(0, true);   // index 9
    list->SetItemSelected(6, true);   // index 3, the second number 8

    FBoxes.Answer(IDNO);
    EXPECT_TRUE(form->Actions()->Execute(QStringLiteral("DrawsDel")));
    EXPECT_EQ(form->State().FDraws, draws);
    EXPECT_EQ(ReadFileBytes(FFolder.DataFile(".ldr")), ArchiveBytes(draws));

    FBoxes.Answer(IDYES);
    EXPECT_TRUE(form->Actions()->Execute(QStringLiteral("DrawsDel")));
    EXPECT_EQ(FBoxes.Last().Text, "Удалить все выделенные записи (всего будет удалено 2 записи(ей))?");
    TDrawsArray expected = draws;
    expected.erase(expected.begin() + 9);
    expected.erase(expected.begin() + 3);
    EXPECT_EQ(form->State().FDraws, expected);
    EXPECT_EQ(ReadFileBytes(FFolder.DataFile(".ldr")), ArchiveBytes(expected));
    EXPECT_EQ(list->ItemCount(), 8);
    EXPECT_EQ(list->SelectedCount(), 0);
    EXPECT_EQ(form->StatusBar()->PanelText(0), "Архив тиражей: 8");
    EXPECT_EQ(form->StatusBar()->PanelText(1), "Следующий тираж: 10");
    EXPECT_TRUE(IsNotWaiting());
}

TEST_F(MainWindowTest, DrawsAddTakesTheDialogsDrawAsTheNewest)
{
    FFolder.WriteArchive(MakeArchive(10));
    auto form = Open();
    int refused = 0;
    bool checked = false;
    // The dialog is modal: the test plays the person from a timer.
    QTimer player;
    QObject::connect(&player, &QTimer::timeout, [&] {
        auto* dialog = qobject_cast<TFormDraw*>(QApplication::activeModalWidget());
        if (!dialog)
            return;
        auto* digits = dialog->findChild<QLineEdit*>(QStringLiteral("edDrawData"));
        auto* number = dialog->findChild<QSpinBox*>(QStringLiteral("edDrawNumber"));
        if (!checked) {
            checked = true;
            EXPECT_EQ(dialog->windowTitle(), "Введите данные следующего тиража");
            EXPECT_EQ(number->value(), 11);
            EXPECT_EQ(digits->text(), "0;0");
            // A digit above 9 is refused and the dialog stays.
            digits->setText(QStringLiteral("10;2"));
            dialog->OkBtn()->click();
            refused = FBoxes.Boxes().size();
            EXPECT_TRUE(dialog->isVisible());
        }
        digits->setText(QStringLiteral(" 4 , 1 "));
        dialog->OkBtn()->click();
    });
    player.start(20);
    EXPECT_TRUE(form->Actions()->Execute(QStringLiteral("DrawsAdd")));
    player.stop();

    EXPECT_EQ(refused, 1);
    ASSERT_GE(FBoxes.Boxes().size(), 1);
    EXPECT_EQ(FBoxes.Boxes().first().Text, "Введена некорректная комбинация!");
    ASSERT_EQ(form->State().FDraws.size(), 11u);
    const TDrawRec& added = form->State().FDraws.back();
    EXPECT_EQ(added.Number, 11u);
    EXPECT_EQ(added.Digits[0], 4);
    EXPECT_EQ(added.Digits[1], 1);
    // The draw after the newest stored one (08/05/2016 E), though the clock has seen later ones.
    EXPECT_EQ(added.Key.Get(), "08/06/2016 M");
    EXPECT_EQ(ReadFileBytes(FFolder.DataFile(".ldr")).size(), 11 * DrawRecSize);
    EXPECT_EQ(Cell(*form, 0, 0), "11");
}

TEST_F(MainWindowTest, Screenshot)
{
    FFolder.WriteArchive(MakeArchive(3000, 11));
    auto form = Open();
    form->State().SetDrawsOffset(2);
    const QString path = SaveScreenshot(form.get(), QStringLiteral("FormMain"), QSize(1000, 680));
    EXPECT_FALSE(path.isEmpty());
}

} // namespace
