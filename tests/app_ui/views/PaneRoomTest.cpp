// A grid over a lower pane that keeps to its rows while the pane takes the rest.

#include "app/ui/views/PaneRoom.h"

#include <QApplication>
#include <QHeaderView>
#include <QSplitter>
#include <QTableWidget>
#include <QVBoxLayout>

#include <gtest/gtest.h>

namespace {

// A grid of rows over a lower pane in a splitter, as the weekday and layout pages hold them.
TEST(PaneRoom, TheGridKeepsToItsRowsAndTheLowerPaneTakesTheRest)
{
    QWidget page;
    auto* layout = new QVBoxLayout(&page);
    layout->setContentsMargins(0, 0, 0, 0);
    auto* splitter = new QSplitter(Qt::Vertical, &page);
    splitter->setChildrenCollapsible(false);
    auto* grid = new QTableWidget(8, 5, splitter);
    grid->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    grid->verticalHeader()->setDefaultSectionSize(18);
    auto* lower = new QWidget(splitter);
    lower->setMinimumHeight(100);
    splitter->setStretchFactor(1, 1);
    layout->addWidget(splitter);
    KeepGridToItsRows(grid);
    auto* pane = new TLowerPane(splitter, 180);
    const auto show = [&](int height) {
        page.resize(400, height);
        page.show();
        QApplication::processEvents();
    };
    const auto total = [&] { return splitter->contentsRect().height() - splitter->handleWidth(); };
    // Every row in sight and no room under the last one.
    const auto rowsFit = [&] {
        const int last = grid->rowCount() - 1;
        return grid->rowAt(0) == 0 && grid->viewport()->height() == grid->rowViewportPosition(last) + grid->rowHeight(last);
    };

    show(600);
    EXPECT_TRUE(rowsFit());
    EXPECT_EQ(lower->height(), total() - grid->height());
    EXPECT_GT(lower->height(), 180);
    // More rows: the grid shows them all and the lower pane gives way; a taller page goes to
    // the lower pane.
    const int before = lower->height();
    grid->setRowCount(12);
    QApplication::processEvents();
    EXPECT_TRUE(rowsFit());
    EXPECT_EQ(lower->height(), before - 4 * 18);
    show(700);
    EXPECT_EQ(lower->height(), before - 4 * 18 + 100);
    // A page too low for both: the lower pane keeps the height it asks for, the grid scrolls.
    show(330);
    EXPECT_EQ(lower->height(), 180);
    EXPECT_EQ(grid->height(), total() - 180);
    // A height below the pane's minimum (a file written by a squeezed pane) still gets it.
    pane->SetHeight(13);
    EXPECT_EQ(lower->height(), 100);
}

} // namespace
