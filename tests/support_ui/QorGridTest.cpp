#include "support/ui/QorGrid.h"

#include <QApplication>
#include <QFontMetrics>
#include <QHeaderView>
#include <QLineEdit>
#include <QMap>
#include <QPainter>
#include <QStyle>

#include <gtest/gtest.h>

TEST(OwnerDrawGrid, WithoutAHandlerEveryCellIsEmpty)
{
    TROwnerDrawGrid grid;
    grid.SetColCount(3);
    grid.SetRowCount(4);
    EXPECT_EQ(grid.GetCellText(1, 1), "");
    EXPECT_EQ(grid.model()->index(0, 0).data().toString(), "");
    EXPECT_EQ(grid.model()->headerData(0, Qt::Horizontal).toString(), "");
}

TEST(OwnerDrawGrid, CellsAreAskedInGridCoordinatesWithTheHeaderAsRowZero)
{
    TROwnerDrawGrid grid;
    grid.SetFixedCols(0);
    grid.SetColCount(2);
    grid.SetRowCount(3);   // the header and two data rows
    int asked = 0;
    grid.OnGetCellText = [&asked](TROwnerDrawGrid*, int col, int row, QString& value) {
        ++asked;
        value = row == 0 ? QString("Колонка %1").arg(col) : QString("%1:%2").arg(col).arg(row);
    };
    EXPECT_EQ(grid.model()->rowCount(), 2);
    EXPECT_EQ(grid.model()->columnCount(), 2);
    EXPECT_EQ(grid.model()->headerData(1, Qt::Horizontal).toString(), "Колонка 1");
    EXPECT_EQ(grid.model()->index(0, 1).data().toString(), "1:1");
    EXPECT_EQ(grid.model()->index(1, 0).data().toString(), "0:2");
    EXPECT_TRUE(grid.horizontalHeader()->isVisibleTo(&grid));
    EXPECT_FALSE(grid.verticalHeader()->isVisibleTo(&grid));
    // Nothing is kept: a changed text shows the next time the cell is asked.
    const int before = asked;
    grid.model()->index(0, 0).data();
    EXPECT_EQ(asked, before + 1);

    // Growing keeps the current cell.
    grid.SetCurrentCell(1, 2);
    grid.SetRowCount(10);
    EXPECT_EQ(grid.Col(), 1);
    EXPECT_EQ(grid.Row(), 2);
    EXPECT_EQ(grid.model()->rowCount(), 9);
}

TEST(OwnerDrawGrid, EditedTextIsWrittenBackOnlyWhenItChanged)
{
    TROwnerDrawGrid grid;
    grid.SetFixedCols(0);
    grid.SetColCount(2);
    grid.SetRowCount(3);
    QMap<QPair<int, int>, QString> cells{{{1, 1}, "5"}};
    QStringList log;
    grid.OnGetCellText = [&cells](TROwnerDrawGrid*, int col, int row, QString& value) { value = cells.value({col, row}); };
    grid.OnSetCellText = [&](TROwnerDrawGrid*, int col, int row, const QString& value) {
        log << QString("set %1,%2=%3").arg(col).arg(row).arg(value);
        cells[{col, row}] = value;
    };
    grid.OnSetEditText = [&log](TROwnerDrawGrid*, int col, int row, const QString& value) {
        log << QString("edit %1,%2=%3").arg(col).arg(row).arg(value);
    };
    grid.OnGetEditText = [](TROwnerDrawGrid*, int, int, QString& value) { value += "!"; };

    EXPECT_EQ(grid.GetEditText(1, 1), "5!");
    EXPECT_TRUE(grid.model()->setData(grid.model()->index(0, 1), "5", Qt::EditRole));
    EXPECT_TRUE(grid.model()->setData(grid.model()->index(0, 1), "7", Qt::EditRole));
    EXPECT_EQ(log, (QStringList{"edit 1,1=5", "set 1,1=7", "edit 1,1=7"}));
    EXPECT_EQ(grid.GetCellText(1, 1), "7");
}

TEST(OwnerDrawGrid, OpenEditorFollowsTheOwnerButNotItsOwnWriteBack)
{
    TROwnerDrawGrid grid;
    grid.SetFixedCols(0);
    grid.SetColCount(2);
    grid.SetRowCount(3);
    grid.SetEditing(true);
    QString cell = "старое";
    grid.OnGetCellText = [&cell](TROwnerDrawGrid*, int col, int row, QString& value) {
        if (col == 0 && row == 1)
            value = cell;
    };
    grid.OnSetCellText = [&cell](TROwnerDrawGrid*, int, int, const QString& value) { cell = value; };
    grid.resize(300, 200);
    grid.show();
    QApplication::processEvents();
    grid.SetCurrentCell(0, 1);
    grid.edit(grid.currentIndex());
    QApplication::processEvents();
    auto* editor = grid.viewport()->findChild<QLineEdit*>();
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(editor->text(), "старое");
    grid.SetCellText(0, 1, "новое");
    EXPECT_EQ(editor->text(), "новое");
}

TEST(OwnerDrawGrid, DefaultDrawingThenTheOwnersDrawing)
{
    TROwnerDrawGrid grid;
    grid.SetColCount(2);
    grid.SetRowCount(2);
    grid.SetColWidth(1, 80);
    grid.OnGetCellText = [](TROwnerDrawGrid*, int col, int row, QString& value) {
        value = QString("%1/%2").arg(col).arg(row);
    };
    QStringList drawn;
    grid.OnDrawCell = [&drawn](TROwnerDrawGrid*, int col, int row, QPainter* painter, const QRect& rect, TGridDrawState) {
        drawn << QString("%1/%2").arg(col).arg(row);
        painter->fillRect(rect, QColor(0, 0, 255));
    };
    grid.resize(300, 200);
    grid.show();
    const QImage image = grid.grab().toImage();
    EXPECT_EQ(drawn, (QStringList{"1/1"}));   // the one data cell; the fixed row and column are headers
    const QRect cell = grid.visualRect(grid.model()->index(0, 0));
    const QPoint inside = grid.viewport()->mapTo(&grid, cell.center());
    EXPECT_EQ(image.pixelColor(inside), QColor(0, 0, 255));
}

TEST(OwnerDrawGrid, ColumnsWidenToTheirHeaderTextsOnceTheOwnerGivesThem)
{
    TROwnerDrawGrid grid;
    grid.SetFixedCols(0);
    grid.SetColCount(4);
    grid.SetRowCount(2);
    // The widths come before the texts, as a page sets its grid up.
    const int given[] = {60, 60, 200, 40};
    for (int col = 0; col < 4; ++col)
        grid.SetColWidth(col, given[col]);
    for (int col = 0; col < 4; ++col)
        EXPECT_EQ(grid.ColWidth(col), given[col]) << col;

    const QStringList captions = {QString::fromUtf8("№ тиража"), QString::fromUtf8("Результаты тиража"),
                                  QString::fromUtf8("Комментарий"), QString()};
    grid.OnGetCellText = [&captions](TROwnerDrawGrid*, int col, int row, QString& value) {
        value = row == 0 ? captions.value(col) : QString();
    };
    grid.FitColumnsToHeaders();
    QFont bold = grid.horizontalHeader()->font();
    bold.setBold(true);
    const int margins = 2 * grid.style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, grid.horizontalHeader());
    const int resultsNeed = QFontMetrics(bold).horizontalAdvance(captions[1]) + margins;
    ASSERT_GT(resultsNeed, 60);
    EXPECT_GE(grid.ColWidth(1), resultsNeed);
    EXPECT_EQ(grid.ColWidth(1), grid.HeaderTextWidth(1));
    EXPECT_EQ(grid.ColWidth(2), 200);   // wide enough already
    EXPECT_EQ(grid.ColWidth(3), 40);    // no text

    // Resized by hand: the rule leaves the column alone from then on.
    grid.horizontalHeader()->resizeSection(1, 45);
    grid.FitColumnsToHeaders();
    EXPECT_EQ(grid.ColWidth(1), 45);

    // A header of fixed sections keeps the widths it was given.
    grid.horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    grid.SetColWidth(0, 40);
    EXPECT_EQ(grid.ColWidth(0), 40);
}
