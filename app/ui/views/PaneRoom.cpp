#include "app/ui/views/PaneRoom.h"

#include <QEvent>
#include <QHeaderView>
#include <QScrollBar>
#include <QSplitter>
#include <QTableView>

#include <algorithm>

namespace {

// The height a table view gives its column headers (QTableView lays them out so).
int HeaderHeight(const QHeaderView* header)
{
    if (header->isHidden())
        return 0;
    return std::clamp(header->sizeHint().height(), header->minimumHeight(), header->maximumHeight());
}

bool HorizontalBarShown(const QTableView* grid)
{
    switch (grid->horizontalScrollBarPolicy()) {
    case Qt::ScrollBarAlwaysOn: return true;
    case Qt::ScrollBarAlwaysOff: return false;
    default: return grid->horizontalScrollBar()->maximum() > grid->horizontalScrollBar()->minimum();
    }
}

// Watches the grid and sets its maximum height again whenever what it is made of changed.
class TGridRowsCap : public QObject {
public:
    explicit TGridRowsCap(QTableView* grid) : QObject(grid), FGrid(grid)
    {
        grid->installEventFilter(this);
        const auto update = [this] { Update(); };
        connect(grid->horizontalScrollBar(), &QScrollBar::rangeChanged, this, update);
        connect(grid->verticalHeader(), &QHeaderView::sectionCountChanged, this, update);
        connect(grid->verticalHeader(), &QHeaderView::sectionResized, this, update);
        connect(grid->horizontalHeader(), &QHeaderView::geometriesChanged, this, update);
        Update();
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched == FGrid) {
            switch (event->type()) {
            case QEvent::Resize:
            case QEvent::Show:
            case QEvent::FontChange:
            case QEvent::StyleChange:
            case QEvent::LayoutRequest: Update(); break;
            default: break;
            }
        }
        return QObject::eventFilter(watched, event);
    }

private:
    void Update()
    {
        // Below the view's least size the frame and scroll bars would cover the rows anyway.
        const int cap = std::max(GridRowsHeight(FGrid), FGrid->minimumSizeHint().height());
        if (FGrid->maximumHeight() != cap)
            FGrid->setMaximumHeight(cap);
    }

    QTableView* FGrid;
};

} // namespace

int GridRowsHeight(const QTableView* grid)
{
    int height = HeaderHeight(grid->horizontalHeader()) + grid->verticalHeader()->length() + 2 * grid->frameWidth();
    if (HorizontalBarShown(grid))
        height += grid->horizontalScrollBar()->sizeHint().height();
    return height;
}

void KeepGridToItsRows(QTableView* grid)
{
    new TGridRowsCap(grid);
}

TLowerPane::TLowerPane(QSplitter* splitter, int height) : QObject(splitter), FSplitter(splitter), FHeight(height)
{
    splitter->installEventFilter(this);
    // A pane the user drags to a height asks for that height from then on.
    connect(splitter, &QSplitter::splitterMoved, this, [this] {
        if (FSplitter->count() > 1)
            FHeight = FSplitter->sizes().value(1);
    });
}

int TLowerPane::LowerMinimum() const
{
    const QWidget* lower = FSplitter->widget(1);
    return lower ? std::max(lower->minimumHeight(), lower->minimumSizeHint().height()) : 0;
}

void TLowerPane::SetHeight(int height)
{
    // A height under the pane's least one (a file written while the pane was squeezed) is kept
    // as it came; the pane still gets its least height.
    if (height <= 0)
        return;
    FHeight = height;
    Arrange();
}

void TLowerPane::Arrange()
{
    if (FArranging || FSplitter->count() != 2 || !FSplitter->isVisible())
        return;
    const int total = FSplitter->contentsRect().height() - FSplitter->handleWidth();
    if (total <= 0)
        return;
    const QWidget* upper = FSplitter->widget(0);
    const int upperMinimum = std::max(upper->minimumHeight(), upper->minimumSizeHint().height());
    const int lowerMinimum = LowerMinimum();
    // The upper pane gets its rows at most and leaves the lower one its height; the lower pane
    // takes the rest. A page too low for both minimums keeps the upper pane's.
    int upperHeight = std::min(upper->maximumHeight(), total - std::max(FHeight, lowerMinimum));
    upperHeight = std::max(upperHeight, std::min(upperMinimum, total));
    const QList<int> sizes{upperHeight, total - upperHeight};
    if (FSplitter->sizes() == sizes)
        return;
    FArranging = true;
    FSplitter->setSizes(sizes);
    FArranging = false;
}

bool TLowerPane::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == FSplitter) {
        switch (event->type()) {
        case QEvent::Show:
        case QEvent::Resize:
        // The upper pane's rows changed its maximum height.
        case QEvent::LayoutRequest: Arrange(); break;
        default: break;
        }
    }
    return QObject::eventFilter(watched, event);
}
