// The card page on its own, offscreen: the grid over the archive, its refresh rule, the colours
// it paints and the card's pair of filters.

#include "app/ui/views/CardPage.h"

#include "app/core/combs/CombList.h"
#include "app/core/combs/CombsGen.h"
#include "app/core/shell/MainState.h"
#include "app/core/stats/StatFilter.h"
#include "platform/Exceptions.h"
#include "support/RVclUtils.h"
#include "support/ui/QorGrid.h"
#include "tests/app_ui/AppUiTestEnv.h"
#include "tests/app_ui/views/ViewPageTestEnv.h"
#include "tests/common/Screenshot.h"
#include "tests/common/TestHelpers.h"
#include "tests/fixtures/ArchiveFixtures.h"
#include "tests/fixtures/StatFixtures.h"

#include <QApplication>
#include <QHeaderView>
#include <QImage>
#include <QItemSelectionModel>
#include <QPixmap>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

// Draws 1..5, oldest first; the card rows, newest first:
//   row 1: 8, 9   row 2: 0, 9   row 3: 7   row 4: 3, 4   row 5: 3, 5
TDrawsArray FiveDraws()
{
    return MakeDraws({{3, 5}, {3, 4}, {7, 7}, {0, 9}, {8, 9}});
}

class CardPageTest : public TViewPageTest {
protected:
    TROwnerDrawGrid* Grid() const { return FPage.Grid(); }

    QStringList RowTexts(int row) const
    {
        QStringList texts;
        for (int col = 0; col < Grid()->ColCount(); ++col)
            texts.append(Grid()->GetCellText(col, row));
        return texts;
    }

    // Selects the rectangle of grid cells, the current cell at its top left.
    void Select(int left, int top, int right, int bottom) const
    {
        const QAbstractItemModel* model = Grid()->model();
        const QModelIndex first = model->index(top - 1, left - 1);
        Grid()->selectionModel()->setCurrentIndex(first, QItemSelectionModel::NoUpdate);
        Grid()->selectionModel()->select(QItemSelection(first, model->index(bottom - 1, right - 1)),
                                         QItemSelectionModel::ClearAndSelect);
    }

    // The colour painted at the top-left corner of a data cell (clear of its text).
    QColor PaintedColor(int col, int row) const
    {
        const QImage image = Grid()->viewport()->grab().toImage();
        const QRect rect = Grid()->visualRect(Grid()->model()->index(row - 1, col - 1));
        return image.pixelColor(rect.topLeft() + QPoint(1, 1));
    }

    void ShowPage()
    {
        FPage.resize(300, 400);
        FPage.show();
        ASSERT_TRUE(WaitUntil([&] { return FPage.isVisible(); }));
        QApplication::processEvents();
    }

    TCardPage FPage{FState, FCombs, FFilter};
};

TEST_F(CardPageTest, GridSetUp)
{
    EXPECT_EQ(FPage.objectName(), QString("tsCard"));
    EXPECT_EQ(FPage.findChild<TROwnerDrawGrid*>("sgCard"), Grid());
    EXPECT_EQ(Grid()->ColCount(), 11);
    EXPECT_EQ(Grid()->RowCount(), 2);
    EXPECT_EQ(Grid()->FixedRows(), 1);
    EXPECT_EQ(Grid()->FixedCols(), 1);
    EXPECT_EQ(RowTexts(0), QStringList({"", "0", "1", "2", "3", "4", "5", "6", "7", "8", "9"}));
    for (int col = 1; col <= 10; ++col)
        EXPECT_EQ(Grid()->ColWidth(col), 18) << col;
    EXPECT_EQ(Grid()->ColWidth(0), 54);
    EXPECT_EQ(Grid()->verticalHeader()->sectionSize(0), 18);
    FPage.SetNumberColumnWidth(70);
    EXPECT_EQ(Grid()->ColWidth(0), 70);
    EXPECT_EQ(TCardPage::Caption(), U("Карта"));
}

TEST_F(CardPageTest, RefreshOnlyWhenTheArchiveChanged)
{
    // An empty archive: one empty row.
    FPage.RefreshView(false);
    EXPECT_EQ(Grid()->RowCount(), 2);
    EXPECT_EQ(RowTexts(1), QStringList(QList<QString>(11)));
    EXPECT_EQ(FStatuses.count(U("Обновление карты тиражей...")), 1);

    // The first draw keeps two rows and is shown all the same.
    FState.FDraws = MakeDraws({{2, 6}});
    FPage.RefreshView(false);
    EXPECT_EQ(RowTexts(1), QStringList({"1", "", "", "2", "", "", "", "6", "", "", ""}));

    FState.FDraws = FiveDraws();
    FPage.RefreshView(false);
    EXPECT_EQ(Grid()->RowCount(), 6);
    EXPECT_EQ(RowTexts(1), QStringList({"5", "", "", "", "", "", "", "", "", "8", "9"}));
    EXPECT_EQ(RowTexts(5), QStringList({"1", "", "", "", "3", "", "5", "", "", "", ""}));
    EXPECT_EQ(Grid()->verticalHeader()->model()->headerData(4, Qt::Vertical).toString(), QString("1"));

    // Unchanged: no busy state, no status; forced: computed again.
    FStatuses.clear();
    FPage.RefreshView(false);
    EXPECT_TRUE(FStatuses.isEmpty());
    FPage.RefreshView(true);
    EXPECT_EQ(FStatuses.count(U("Обновление карты тиражей...")), 1);
    EXPECT_EQ(WaitCount(), 0);

    // A draw edited by hand (same count) is picked up without force.
    FState.FDraws[4].Digits = {1, 1};
    FPage.RefreshView(false);
    EXPECT_EQ(RowTexts(1), QStringList({"5", "", "1", "", "", "", "", "", "", "", ""}));

    // A hidden tab is never computed, not even when forced.
    FState.Options.SetValue(TMainOptions::TabCard, 0);
    FState.FDraws = MakeArchive(20);
    FStatuses.clear();
    FPage.RefreshView(true);
    EXPECT_EQ(Grid()->RowCount(), 6);
    EXPECT_TRUE(FStatuses.isEmpty());
    FState.Options.SetValue(TMainOptions::TabCard, 1);
    FPage.RefreshView(false);
    EXPECT_EQ(Grid()->RowCount(), 21);
}

TEST_F(CardPageTest, PaintedColours)
{
    FState.FDraws = FiveDraws();
    FPage.RefreshView(true);
    ShowPage();
    Grid()->clearSelection();
    Grid()->selectionModel()->clearCurrentIndex();
    const QColor base = Grid()->palette().color(QPalette::Base);
    struct TCase {
        int Col, Row;
        QColor Both, Channels, None;
    };
    const TCase cases[] = {
        // 9 repeated with a neighbour: yellow; repeated alone: lime; 8 beside 9: aqua.
        {10, 1, QColor(255, 255, 0), QColor(0xAA, 0xAA, 0xFF), base},
        {10, 2, QColor(0, 255, 0), QColor(0xAA, 0xAA, 0xFF), base},
        {9, 1, QColor(0, 255, 255), QColor(0xAA, 0xAA, 0xFF), base},
        // 7-7 alone and an empty cell: the channel colour (channels of two digits).
        {8, 3, QColor(0xFF, 0xAA, 0xAA), QColor(0xFF, 0xAA, 0xAA), base},
        {1, 1, QColor(0xAA, 0xFF, 0xAA), QColor(0xAA, 0xFF, 0xAA), base},
    };
    const auto paintWith = [&](bool channels, bool sequences) {
        FState.Options.SetValue(TMainOptions::ColorCard, channels);
        FState.Options.SetValue(TMainOptions::ColorCardSequences, sequences);
        FPage.Repaint();
        QApplication::processEvents();
    };
    paintWith(true, true);
    for (const TCase& c : cases)
        EXPECT_EQ(PaintedColor(c.Col, c.Row), c.Both) << c.Col << "," << c.Row;
    paintWith(true, false);
    for (const TCase& c : cases)
        EXPECT_EQ(PaintedColor(c.Col, c.Row), c.Channels) << c.Col << "," << c.Row;
    paintWith(false, false);
    for (const TCase& c : cases)
        EXPECT_EQ(PaintedColor(c.Col, c.Row), c.None) << c.Col << "," << c.Row;

    // A selected cell is highlighted whatever its colour.
    paintWith(true, true);
    Select(10, 1, 10, 2);
    QApplication::processEvents();
    const QColor highlight = Grid()->palette().color(QPalette::Highlight);
    EXPECT_EQ(PaintedColor(10, 1), highlight);
    EXPECT_EQ(PaintedColor(10, 2), highlight);
    EXPECT_EQ(PaintedColor(9, 1), QColor(0, 255, 255));
}

TEST_F(CardPageTest, FiltersBySelectedDigits)
{
    FState.FDraws = FiveDraws();
    FPage.RefreshView(true);
    FullList();
    struct TCase {
        int Left, Top, Right, Bottom;
        bool Delete;
        const char* Values;
        int Count;
        std::vector<int> Digits;
    };
    const TCase cases[] = {
        // 3 and 4: the combinations holding either in any position.
        {4, 4, 5, 5, false, "3; 4", 36, {3, 4}},
        {4, 4, 5, 5, true, "3; 4", 64, {3, 4}},
        // 3 in two draws is taken once.
        {4, 4, 4, 5, false, "3", 19, {3}},
        // Empty cells in the rectangle add nothing.
        {1, 1, 10, 1, false, "8; 9", 36, {8, 9}},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Values);
        FullList();
        Select(c.Left, c.Top, c.Right, c.Bottom);
        ASSERT_TRUE(FPage.CanFilter());
        FPage.FilterCombs(c.Delete);
        EXPECT_EQ(FCombs.Count(), c.Count);
        EXPECT_EQ(FCombs.UndoCount(), 100);
        for (int i = 0; i < FCombs.Count(); ++i) {
            const TCombWord comb = FCombs.Comb(i);
            bool has = false;
            for (const int d : c.Digits)
                has = has || CombDigit1(comb) == d || CombDigit2(comb) == d;
            EXPECT_EQ(has, !c.Delete) << CombToStr(comb).toStdString();
        }
        ASSERT_FALSE(FCombs.FilterHistory().isEmpty());
        const TFilterHistoryRow& row = FCombs.FilterHistory().last();
        EXPECT_EQ(row.Caption, U("Карта"));
        EXPECT_EQ(row.Values, QString(c.Values));
        EXPECT_EQ(row.Count, c.Count);
        EXPECT_EQ(WaitCount(), 0);
    }
}

TEST_F(CardPageTest, FilterEdgeCases)
{
    FState.FDraws = FiveDraws();
    FPage.RefreshView(true);

    // No combinations, or no cell: the pair is disabled.
    Select(4, 4, 5, 5);
    EXPECT_FALSE(FPage.CanFilter());
    FullList();
    EXPECT_TRUE(FPage.CanFilter());
    Grid()->clearSelection();
    Grid()->selectionModel()->clearCurrentIndex();
    EXPECT_FALSE(FPage.CanFilter());

    // A selection of empty cells: the error, the list and the applied filters as they were.
    Select(2, 1, 3, 3);
    ASSERT_TRUE(FPage.CanFilter());
    const int historyRows = static_cast<int>(FCombs.FilterHistory().size());
    try {
        FPage.FilterCombs(false);
        ADD_FAILURE() << "no error for an empty selection";
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message(), U("В выделенном диапазоне нет значений для фильтра!"));
    }
    EXPECT_EQ(FCombs.Count(), 100);
    EXPECT_EQ(FCombs.UndoCount(), 100);
    EXPECT_EQ(FCombs.FilterHistory().size(), historyRows);
    EXPECT_EQ(WaitCount(), 0);

    // Filtering an empty list leaves it empty and logs nothing.
    FCombs.ClearCombs();
    Select(4, 4, 5, 5);
    FPage.FilterCombs(false);
    EXPECT_EQ(FCombs.Count(), 0);
    EXPECT_EQ(FCombs.FilterHistory().size(), historyRows);
}

TEST_F(CardPageTest, ThreeThousandDrawsScreenshot)
{
    FState.FDraws = MakeArchive(3000);
    FPage.RefreshView(false);
    EXPECT_EQ(Grid()->RowCount(), 3001);
    EXPECT_EQ(Grid()->verticalHeader()->model()->headerData(0, Qt::Vertical).toString(), QString("3000"));
    Select(3, 2, 5, 4);
    EXPECT_FALSE(SaveScreenshot(&FPage, QStringLiteral("CardPage"), QSize(280, 480)).isEmpty());
    // The newest draw at the top, then the others in turn.
    const TDrawRec& newest = FState.FDraws.back();
    EXPECT_EQ(Grid()->GetCellText(newest.Digits[0] + 1, 1), QString::number(newest.Digits[0]));
    EXPECT_EQ(Grid()->GetCellText(newest.Digits[1] + 1, 1), QString::number(newest.Digits[1]));
}

TEST_F(CardPageTest, TenThousandDrawsToTheOldest)
{
    FState.FDraws = MakeArchive(10000, 7);
    FPage.RefreshView(false);
    ShowPage();
    Grid()->scrollToBottom();
    QApplication::processEvents();
    const QModelIndex last = Grid()->model()->index(9999, 0);
    EXPECT_TRUE(Grid()->viewport()->rect().intersects(Grid()->visualRect(last)));
    EXPECT_EQ(Grid()->verticalHeader()->model()->headerData(9999, Qt::Vertical).toString(), QString("1"));
    const TDrawRec& oldest = FState.FDraws.front();
    EXPECT_EQ(Grid()->GetCellText(oldest.Digits[0] + 1, 10000), QString::number(oldest.Digits[0]));
    // Painted in its colours down to the last row.
    EXPECT_NE(PaintedColor(1, 10000), Grid()->palette().color(QPalette::Base));
}

} // namespace
