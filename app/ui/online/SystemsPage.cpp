#include "app/ui/online/SystemsPage.h"

#include "support/RVclUtils.h"
#include "support/ui/QorListView.h"
#include "support/ui/RListView.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QVBoxLayout>

#include <algorithm>
#include <numeric>
#include <utility>

namespace {

constexpr int kIconSize = 16;
constexpr int kCreatedColumn = 5;
constexpr int kLastDownloadColumn = 8;

struct TColumnLayout {
    int Width;
    Qt::Alignment Alignment;
};

constexpr TColumnLayout kColumns[TSystemsExchange::ColumnCount] = {
    {200, Qt::AlignLeft},   {150, Qt::AlignLeft},  {50, Qt::AlignHCenter}, {50, Qt::AlignHCenter},
    {90, Qt::AlignRight},   {100, Qt::AlignLeft},  {80, Qt::AlignLeft},    {80, Qt::AlignRight},
    {100, Qt::AlignLeft},   {200, Qt::AlignLeft},  {200, Qt::AlignLeft},
};

// A sheet of paper: green for the user's own systems, blue for others', grey for systems
// without an address; a cached system's sheet is filled and carries a tick.
QIcon DrawSystemIcon(const QColor& color, bool cached)
{
    QPixmap pixmap(kIconSize, kIconSize);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setPen(QPen(color.darker(140), 1.2));
    painter.setBrush(cached ? QBrush(color) : QBrush(Qt::white));
    QPainterPath sheet;
    sheet.moveTo(3.5, 1.5);
    sheet.lineTo(10, 1.5);
    sheet.lineTo(12.5, 4);
    sheet.lineTo(12.5, 14.5);
    sheet.lineTo(3.5, 14.5);
    sheet.closeSubpath();
    painter.drawPath(sheet);
    painter.setPen(QPen(cached ? QColor(Qt::white) : color, 1.2));
    for (const qreal y : {5.5, 8.0, 10.5})
        painter.drawLine(QPointF(5.5, y), QPointF(10.5, y));
    if (cached) {
        painter.setPen(QPen(QColor(20, 120, 20), 2.0));
        painter.drawPolyline(QPolygonF({QPointF(8.5, 12), QPointF(11, 14.5), QPointF(15, 9)}));
    }
    return QIcon(pixmap);
}

} // namespace

TRowImageDelegate::TRowImageDelegate(std::function<int(int row)> rowImage, QObject* parent)
    : QStyledItemDelegate(parent), FRowImage(std::move(rowImage))
{
}

QIcon TRowImageDelegate::RowIcon(int image)
{
    static const QColor own(40, 150, 60);
    static const QColor other(40, 90, 200);
    static const QColor none(130, 130, 130);
    switch (image) {
    case TSystemsExchange::riCachedOwn: { static const QIcon icon = DrawSystemIcon(own, true); return icon; }
    case TSystemsExchange::riCachedOther: { static const QIcon icon = DrawSystemIcon(other, true); return icon; }
    case TSystemsExchange::riCachedNoMail: { static const QIcon icon = DrawSystemIcon(none, true); return icon; }
    case TSystemsExchange::riOwn: { static const QIcon icon = DrawSystemIcon(own, false); return icon; }
    case TSystemsExchange::riOther: { static const QIcon icon = DrawSystemIcon(other, false); return icon; }
    case TSystemsExchange::riNoMail: { static const QIcon icon = DrawSystemIcon(none, false); return icon; }
    default:
        return QIcon();
    }
}

void TRowImageDelegate::initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const
{
    QStyledItemDelegate::initStyleOption(option, index);
    if (index.column() != 0)
        return;
    const QIcon icon = RowIcon(FRowImage(index.row()));
    if (icon.isNull())
        return;
    option->features |= QStyleOptionViewItem::HasDecoration;
    option->icon = icon;
    option->decorationSize = QSize(kIconSize, kIconSize);
}

// ---------------------------------------------------------------------------------------------

TSystemsPage::TSystemsPage(TSystemsExchange& systems, QWidget* parent) : QWidget(parent), FSystems(systems)
{
    setObjectName(QStringLiteral("tsSystems"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    lvSystems = new TRSortListView(this);
    lvSystems->setObjectName(QStringLiteral("lvSystems"));
    layout->addWidget(lvSystems);

    lvSystems->SetMultiSelect(true);
    lvSystems->SetOwnerData(true);
    const QStringList captions = TSystemsExchange::ColumnCaptions();
    // A time column is at least as wide as a whole time in the list's font.
    const int timeWidth = lvSystems->fontMetrics().horizontalAdvance(QStringLiteral("2016-12-31 23:59:59")) + 12;
    for (int column = 0; column < TSystemsExchange::ColumnCount; ++column) {
        const bool time = column == kCreatedColumn || column == kLastDownloadColumn;
        lvSystems->AddColumn(captions[column], time ? std::max(kColumns[column].Width, timeWidth) : kColumns[column].Width,
                             kColumns[column].Alignment);
    }
    lvSystems->SetOnData([this](int row, int column) {
        const QStringList texts = FSystems.RowTexts(row);
        return column >= 0 && column < texts.size() ? texts[column] : QString();
    });
    lvSystems->setItemDelegate(new TRowImageDelegate([this](int row) { return FSystems.RowImage(row); }, lvSystems));
    lvSystems->OnOwnerSort = [this](TRSortListView*, int column, TSortDirection direction) {
        Sort(column, direction == sdDescending);
    };
    // The numbers column, ascending.
    lvSystems->SetSortColumn(2);
    lvSystems->SetSortDirection(sdAscending);
    connect(lvSystems, &QAbstractItemView::doubleClicked, this, [this](const QModelIndex& index) {
        if (index.isValid() && IsNotWaiting())
            EditSelected();
    });
    Repaint();
}

TSystemsPage::~TSystemsPage()
{
    lvSystems->OnOwnerSort = nullptr;
    lvSystems->SetOnData(nullptr);
    lvSystems->SetItemCount(0);
}

void TSystemsPage::Repaint()
{
    lvSystems->SetItemCount(FSystems.RowCount());
    lvSystems->Items()->RefreshAll();
    lvSystems->viewport()->update();
}

bool TSystemsPage::HasSelection() const
{
    return lvSystems->SelectedCount() > 0;
}

int TSystemsPage::SelectedRow() const
{
    const int row = lvSystems->Selected();
    return FSystems.ValidRow(row) ? row : -1;
}

QList<int> TSystemsPage::SelectedRows() const
{
    QList<int> rows;
    for (const int row : lvSystems->SelectedRows())
        if (FSystems.ValidRow(row))
            rows.append(row);
    return rows;
}

void TSystemsPage::Sort(int column, bool descending)
{
    QList<tSystemInfo>& rows = FSystems.Rows();
    if (column < 0 || column >= TSystemsExchange::ColumnCount || rows.size() < 2)
        return;
    std::vector<QStringList> texts;
    texts.reserve(static_cast<size_t>(rows.size()));
    for (int row = 0; row < rows.size(); ++row)
        texts.push_back(FSystems.RowTexts(row));
    std::vector<size_t> order(texts.size());
    std::iota(order.begin(), order.end(), size_t{0});
    // Rows without a text in the column (the placeholder) come last; equal texts go by title.
    std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) {
        const QString& ta = texts[a][column];
        const QString& tb = texts[b][column];
        if (ta.isEmpty() != tb.isEmpty())
            return tb.isEmpty();
        int compare = CompareListTexts(ta, tb);
        if (compare == 0)
            compare = CompareListTexts(texts[a][0], texts[b][0]);
        return descending ? compare > 0 : compare < 0;
    });
    QList<tSystemInfo> sorted;
    sorted.reserve(rows.size());
    for (const size_t i : order)
        sorted.append(rows[static_cast<qsizetype>(i)]);
    rows = std::move(sorted);
    lvSystems->SetSelected(-1);
    Repaint();
}

void TSystemsPage::SortAndSelect(std::int32_t id)
{
    Sort(lvSystems->SortColumn(), lvSystems->SortDirection() == sdDescending);
    Repaint();
    const int row = id > 0 ? FSystems.FindRow(id) : -1;
    lvSystems->SetSelected(row);
    if (row >= 0)
        ScrollSelectedIntoView(lvSystems);
}

void TSystemsPage::LoadSystems()
{
    const int selected = SelectedRow();
    const std::int32_t keepId = FSystems.TabShown() && selected >= 0 ? FSystems.Rows()[selected].Id : -1;
    lvSystems->SetSelected(-1);
    lvSystems->SetItemCount(0);
    FSystems.LoadSystems(keepId);
    SortAndSelect(keepId);
}

void TSystemsPage::DownloadSelected()
{
    TBusyScope busy;
    const int focused = lvSystems->currentIndex().isValid() ? lvSystems->currentIndex().row() : -1;
    for (const int row : SelectedRows()) {
        if (!FSystems.DownloadSystem(row))
            continue;
        if (row != focused)
            lvSystems->SetItemSelected(row, false);
        // The status of every row of the number count changed with it.
        Repaint();
    }
}

void TSystemsPage::AddSystem()
{
    const int row = FSystems.AddSystem();
    Repaint();
    if (row >= 0) {
        lvSystems->SetSelected(row);
        ScrollSelectedIntoView(lvSystems);
    }
}

void TSystemsPage::EditSelected()
{
    if (FSystems.EditSystem(SelectedRow()))
        Repaint();
}

void TSystemsPage::DeleteSelected()
{
    const int row = SelectedRow();
    if (!FSystems.DeleteSystem(row))
        return;
    lvSystems->SetSelected(-1);
    Repaint();
    if (FSystems.RowCount() > 0) {
        lvSystems->SetSelected(std::min(row, FSystems.RowCount() - 1));
        ScrollSelectedIntoView(lvSystems);
    }
}

void TSystemsPage::ShowTab(bool shown)
{
    lvSystems->SetSelected(-1);
    FSystems.SetTabShown(shown);
    if (shown)
        LoadSystems();
    else
        Repaint();
}
