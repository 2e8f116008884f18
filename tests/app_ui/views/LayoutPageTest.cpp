// The layout page on its own: the grid and compare lists it shows, when it recomputes, its
// colours on screen, the filter pair, its saved sizes, and a picture of a large archive.

#include "app/core/combs/CombList.h"
#include "app/core/combs/CombsGen.h"
#include "app/core/archive/DrawLookups.h"
#include "app/core/shell/MainState.h"
#include "app/core/stats/StatFilter.h"
#include "app/ui/views/LayoutPage.h"
#include "platform/Exceptions.h"
#include "support/RDialogsScripted.h"
#include "support/RVclUtils.h"
#include "support/ui/QorGrid.h"
#include "support/ui/QorListView.h"
#include "tests/app_ui/views/ViewPageTestEnv.h"
#include "tests/common/Screenshot.h"
#include "tests/common/TestHelpers.h"
#include "tests/fixtures/ArchiveFixtures.h"
#include "tests/fixtures/StatFixtures.h"

#include <QApplication>
#include <QCoreApplication>
#include <QHeaderView>
#include <QImage>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QSpinBox>
#include <QSplitter>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>

namespace {

class LayoutPageTest : public TViewPageTest {
protected:
    LayoutPageTest()
    {
        FPage = std::make_unique<TLayoutPage>(FState, FCombs, FFilter, nullptr);
    }
    ~LayoutPageTest() override
    {
        FPage.reset();
    }

    TROwnerDrawGrid* Grid() const { return FPage->Grid(); }

    QStringList GridRows() const { return GridRowTexts(*Grid()); }

    // The header caption and the rows of compare list k, as "count:digits".
    QStringList CompareRows(int k) const
    {
        TRSortListView* list = FPage->CompareList(k);
        QStringList rows{list->Items()->headerData(1, Qt::Horizontal, Qt::DisplayRole).toString()};
        for (int i = 0; i < list->ItemCount(); ++i)
            rows << list->Items()->CellText(i, 0) + QLatin1Char(':') + list->Items()->CellText(i, 1);
        return rows;
    }

    void SelectCells(int left, int top, int right, int bottom)
    {
        QAbstractItemModel* model = Grid()->model();
        // The model counts data cells from 0; the grid counts its header row and column.
        const QItemSelection selection(model->index(top - 1, left - 1), model->index(bottom - 1, right - 1));
        Grid()->selectionModel()->select(selection, QItemSelectionModel::ClearAndSelect);
    }

    static void PressEnter(QWidget* editor)
    {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
        QCoreApplication::sendEvent(editor, &press);
    }

    // Offset 1 over the six-draw archive: draws 1..5 laid out, draw 6 (3,4) bracketed.
    void ShowSixDrawsAtOffsetOne()
    {
        FState.FDraws = SixDrawArchive();
        FState.SetDrawsOffset(1);
        FState.FCurrentDigits = MakeDrawDigitSet(FState.FDraws, 1);
        FPage->LengthEdit()->setValue(100);
        FPage->RefreshView(true);
    }

    TScriptedBoxes FBoxes;
    std::unique_ptr<TLayoutPage> FPage;
};

TEST_F(LayoutPageTest, ControlsCarryTheirNamesAndDefaults)
{
    for (const char* name : {"sgLayout", "edLayoutLen", "pnlLayoutCompare", "pnlLayoutLists", "edLayoutCmp1",
                             "edLayoutCmp5", "lvLayoutCmp1", "lvLayoutCmp5", "splLayoutCmp1", "splLayoutCmp4"})
        EXPECT_NE(FPage->findChild<QWidget*>(QLatin1String(name)), nullptr) << name;
    EXPECT_EQ(FPage->LengthEdit()->value(), 100);
    const int lengths[] = {50, 100, 200, 300, 400};
    for (int k = 0; k < LayoutCompareCount; ++k) {
        EXPECT_EQ(FPage->CompareLengthEdit(k)->value(), lengths[k]);
        EXPECT_EQ(FPage->CompareList(k)->Items()->headerData(0, Qt::Horizontal, Qt::DisplayRole).toString(),
                  U("Кол-во"));
    }
    EXPECT_EQ(TLayoutPage::Caption(), U("Схема"));
    // An empty archive: headers and one empty cell, no range on the lists.
    FPage->RefreshView(true);
    EXPECT_EQ(GridRows(), QStringList({"|", "|"}));
    EXPECT_EQ(CompareRows(0), QStringList({""}));
    EXPECT_FALSE(FPage->CanCalc());
    EXPECT_FALSE(FPage->CanExport());
}

TEST_F(LayoutPageTest, GridAndListsOfASmallArchive)
{
    FState.FDraws = MakeDraws({{3, 7}});
    FPage->LengthEdit()->setValue(1);
    FPage->RefreshView(true);
    EXPECT_EQ(GridRows(), QStringList({"|1", "1|3, 7"}));
    EXPECT_TRUE(FStatuses.contains(U("Построение схемы выпадения номеров...")));
    EXPECT_EQ(Grid()->ColWidth(0), 50);
    const int textWidth = Grid()->fontMetrics().horizontalAdvance(QStringLiteral("3, 7")) + 10;
    EXPECT_EQ(Grid()->ColWidth(1), std::max(40, textWidth));
    EXPECT_EQ(Grid()->verticalHeader()->defaultSectionSize(), 18);
    EXPECT_TRUE(FPage->CanCalc());
    EXPECT_FALSE(FPage->CanExport());

    ShowSixDrawsAtOffsetOne();
    EXPECT_EQ(GridRows(), QStringList({"|5|3|2", "3|[4]||", "2|5|[3]|", "1||7|1, 2"}));
    EXPECT_TRUE(FPage->CanExport());
    // Draws 1..5 with lengths 50, 100, ...: every list holds the whole window.
    for (int k = 0; k < LayoutCompareCount; ++k)
        EXPECT_EQ(CompareRows(k), QStringList({"1 - 5", "3:4", "2:5, 3", "1:7, 1, 2"})) << k;
}

TEST_F(LayoutPageTest, RecomputesOnlyWhenItsKeyChanged)
{
    FState.FDraws = SixDrawArchive();
    FPage->RefreshView(false);
    EXPECT_EQ(GridRows(), QStringList({"|6|5|3|2", "4|4|||", "3|3|||", "2||5||", "1|||7|1, 2"}));
    EXPECT_EQ(CompareRows(0), QStringList({"1 - 6", "4:4", "3:3", "2:5", "1:7, 1, 2"}));

    // Nothing changed: no work, not even the status.
    FStatuses.clear();
    FPage->RefreshView(false);
    EXPECT_TRUE(FStatuses.isEmpty());

    // The grid's length is part of its key; the compare lengths are not part of theirs.
    FPage->LengthEdit()->setValue(2);
    FPage->CompareLengthEdit(0)->setValue(3);
    FPage->RefreshView(false);
    EXPECT_EQ(GridRows(), QStringList({"|6|5", "2|4|", "1|3|5"}));
    EXPECT_EQ(CompareRows(0).first(), QString("1 - 6"));
    // Enter in any compare editor recomputes all five lists.
    FPage->CompareLengthEdit(1)->setValue(2);
    PressEnter(FPage->CompareLengthEdit(4));
    EXPECT_EQ(CompareRows(0), QStringList({"4 - 6", "4:4", "1:3, 5"}));
    EXPECT_EQ(CompareRows(1), QStringList({"5 - 6", "2:4", "1:3, 5"}));

    // A draw edited by hand (same count) recomputes both.
    FState.FDraws[5].Digits = {9, 9};
    FPage->RefreshView(false);
    EXPECT_EQ(GridRows(), QStringList({"|6|5", "2|9|", "1||4, 5"}));
    EXPECT_EQ(CompareRows(1), QStringList({"5 - 6", "2:9", "1:4, 5"}));

    // Enter in the grid's editor builds with the new length.
    FPage->LengthEdit()->setValue(1);
    PressEnter(FPage->LengthEdit());
    EXPECT_EQ(GridRows(), QStringList({"|6", "2|9"}));

    // A hidden tab computes nothing.
    FState.Options.SetValue(TMainOptions::TabLayout, 0);
    FState.FDraws = MakeDraws({{3, 7}});
    FStatuses.clear();
    FPage->RefreshView(true);
    EXPECT_TRUE(FStatuses.isEmpty());
    EXPECT_EQ(GridRows(), QStringList({"|6", "2|9"}));
    EXPECT_FALSE(FPage->CanCalc());
    EXPECT_FALSE(FPage->CanExport());
    // Shown again, a refresh catches up.
    FState.Options.SetValue(TMainOptions::TabLayout, 1);
    FPage->RefreshView(false);
    EXPECT_EQ(GridRows(), QStringList({"|1", "1|3, 7"}));
}

TEST_F(LayoutPageTest, CellsArePaintedWithTheirColours)
{
    ShowSixDrawsAtOffsetOne();
    FPage->resize(600, 500);
    FPage->show();
    QApplication::processEvents();
    Grid()->clearSelection();
    Grid()->selectionModel()->clearCurrentIndex();

    const auto colourAt = [this](int col, int row) {
        const QImage image = Grid()->viewport()->grab().toImage();
        const QRect rect = Grid()->visualRect(Grid()->model()->index(row - 1, col - 1));
        return QColor(image.pixel(rect.left() + 1, rect.top() + 1)).rgb() & 0xFFFFFF;
    };
    // 4 rows and 4 columns with their headers.
    EXPECT_EQ(colourAt(1, 1), 0x00FF00u);                           // [4]
    EXPECT_EQ(colourAt(2, 1), LayoutCellColor(2, 1, 4, 4, false, true));
    EXPECT_EQ(colourAt(2, 1), 0xD8B28Bu);   // 216.25, 177.5, 138.75
    EXPECT_EQ(colourAt(3, 3), 0x8B8BD8u);   // 138.75, 138.75, 216.25
    FState.Options.SetValue(TMainOptions::LayoutGradient, 0);
    FPage->UpdateColors();
    QApplication::processEvents();
    EXPECT_EQ(colourAt(1, 1), 0x00FF00u);
    EXPECT_EQ(colourAt(3, 3), 0xEAFFEAu);   // both in the first block
    EXPECT_EQ(colourAt(2, 1), 0xEAFFEAu);
}

TEST_F(LayoutPageTest, FilterPairKeepsOrRemovesTheSelectedDigits)
{
    ShowSixDrawsAtOffsetOne();
    // An empty list: the pair is off whatever is selected.
    SelectCells(1, 1, 3, 3);
    EXPECT_FALSE(FPage->CanFilter());

    struct Case {
        int left, top, right, bottom;
        bool remove;
        int count;
        const char* values;
    };
    const Case cases[] = {
        // "[4]" and "5": 4 and 5 in either place keep 36 of 100.
        {1, 1, 1, 2, false, 36, "4; 5"},
        {1, 1, 1, 2, true, 64, "4; 5"},
        // "1, 2" and the bracketed 3 of the column before it.
        {2, 2, 3, 3, false, 64, "3; 7; 1; 2"},
        // The whole grid: every digit that came out.
        {1, 1, 3, 3, true, 16, "4; 5; 3; 7; 1; 2"},
    };
    for (const Case& c : cases) {
        FullList();
        FCombs.ClearFilterHistory();
        SelectCells(c.left, c.top, c.right, c.bottom);
        ASSERT_TRUE(FPage->CanFilter());
        FPage->FilterCombs(c.remove);
        EXPECT_EQ(FCombs.Count(), c.count) << c.values;
        EXPECT_EQ(FCombs.UndoCount(), 100);
        ASSERT_EQ(FCombs.FilterHistory().size(), 1);
        EXPECT_EQ(FCombs.FilterHistory().first().Caption, U("Схема"));
        EXPECT_EQ(FCombs.FilterHistory().first().Values, QString(c.values));
    }

    // Empty cells only: the error, the list as it was, no history row.
    FullList();
    FCombs.ClearFilterHistory();
    SelectCells(2, 1, 3, 1);
    ASSERT_TRUE(FPage->CanFilter());
    try {
        FPage->FilterCombs(false);
        ADD_FAILURE() << "no error for an empty selection";
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message(), U("В выделенном диапазоне нет значений для фильтра!"));
    }
    EXPECT_EQ(FCombs.Count(), 100);
    EXPECT_EQ(FCombs.UndoCount(), 100);
    EXPECT_TRUE(FCombs.FilterHistory().isEmpty());

    // The pair needs a selection within the data columns and a visible tab.
    Grid()->clearSelection();
    Grid()->selectionModel()->clearCurrentIndex();
    EXPECT_FALSE(FPage->CanFilter());
    SelectCells(1, 1, 1, 1);
    FState.Options.SetValue(TMainOptions::TabLayout, 0);
    EXPECT_FALSE(FPage->CanFilter());
}

TEST_F(LayoutPageTest, SizesAreKeptInTheFormState)
{
    TIniFormState file(FState.FormStateFileName(), QString::fromLatin1(MainFormSection));
    file.WriteInteger(QStringLiteral("LayoutLen"), 7);
    file.WriteInteger(QStringLiteral("LayoutCompareLen3"), 33);
    file.WriteInteger(QStringLiteral("LayoutCompareHeight"), 120);
    FPage->RestoreState();
    EXPECT_EQ(FPage->LengthEdit()->value(), 7);
    EXPECT_EQ(FPage->CompareLengthEdit(0)->value(), 50);   // missing: kept
    EXPECT_EQ(FPage->CompareLengthEdit(2)->value(), 33);
    ShowSixDrawsAtOffsetOne();
    FPage->resize(800, 600);
    FPage->show();
    QApplication::processEvents();
    // The compare panel takes the page beyond the grid's rows; the file keeps the height asked
    // for (PagesRoomTest measures the room at the main window's sizes).
    EXPECT_GT(FPage->ComparePanel()->height(), 120);

    FPage->LengthEdit()->setValue(12);
    FPage->CompareLengthEdit(4)->setValue(444);
    FPage->SaveState();
    EXPECT_EQ(file.ReadInteger(QStringLiteral("LayoutLen"), 0), 12);
    EXPECT_EQ(file.ReadInteger(QStringLiteral("LayoutCompareLen1"), 0), 50);
    EXPECT_EQ(file.ReadInteger(QStringLiteral("LayoutCompareLen5"), 0), 444);
    EXPECT_EQ(file.ReadInteger(QStringLiteral("LayoutCompareHeight"), 0), 120);
}

TEST_F(LayoutPageTest, CompareListsShareThePanelWidthInFifths)
{
    FPage->resize(1003, 500);
    FPage->show();
    QApplication::processEvents();
    auto* lists = FPage->findChild<QSplitter*>(QStringLiteral("pnlLayoutLists"));
    ASSERT_NE(lists, nullptr);
    const int width = lists->width();
    const int each = width / 5 - lists->handleWidth();
    const QList<int> sizes = lists->sizes();
    ASSERT_EQ(sizes.size(), 5);
    for (int k = 0; k < 4; ++k)
        EXPECT_EQ(sizes[k], each) << k;
    EXPECT_EQ(sizes[4], width - 4 * (width / 5));
}

TEST_F(LayoutPageTest, ScreenshotOfALargeArchive)
{
    FState.FDraws = MakeArchive(3000);
    FState.SetDrawsOffset(3);
    FState.FCurrentDigits = MakeDrawDigitSet(FState.FDraws, 3);
    FPage->RefreshView(true);
    EXPECT_GT(Grid()->RowCount(), 2);
    EXPECT_FALSE(SaveScreenshot(FPage.get(), QStringLiteral("LayoutPage"), QSize(900, 600)).isEmpty());
}

} // namespace
