#include "app/ui/stakes/TablesPage.h"

#include "platform/Exceptions.h"
#include "support/RDialogs.h"
#include "support/ui/QorListView.h"

#include <QVBoxLayout>

#include <algorithm>
#include <numeric>

namespace {

struct TColumnLayout {
    int Width;
    Qt::Alignment Alignment;
};

// Comment, start combination, step, current combination, stakes made.
constexpr TColumnLayout kColumns[TableColumnCount] = {
    {200, Qt::AlignLeft}, {150, Qt::AlignHCenter}, {50, Qt::AlignHCenter},
    {150, Qt::AlignHCenter}, {60, Qt::AlignHCenter},
};

} // namespace

TTablesPage::TTablesPage(TMainState& state, TRegularStakes& tables, QWidget* parent)
    : QWidget(parent), FState(state), FTables(tables)
{
    setObjectName(QStringLiteral("tsTables"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    lvTables = new TRSortListView(this);
    lvTables->setObjectName(QStringLiteral("lvTables"));
    layout->addWidget(lvTables);

    lvTables->SetMultiSelect(true);
    lvTables->SetOwnerData(true);
    const QStringList captions = TableColumnCaptions();
    for (int column = 0; column < TableColumnCount; ++column)
        lvTables->AddColumn(captions[column], kColumns[column].Width, kColumns[column].Alignment);
    lvTables->SetOnData([this](int row, int column) {
        if (row < 0 || static_cast<size_t>(row) >= FTables.FTables.size())
            return QString();
        const QStringList texts = TableRowTexts(FTables.FTables[static_cast<size_t>(row)]);
        return column >= 0 && column < texts.size() ? texts[column] : QString();
    });
    // The rules keep the order of their file until a header is clicked.
    lvTables->SetSortColumn(-1);
    lvTables->OnOwnerSort = [this](TRSortListView*, int column, TSortDirection direction) {
        Sort(column, direction == sdDescending);
    };

    FTables.OnViewChanged = [this] { Repaint(); };
    FTables.ClearSelection = [this] { lvTables->SetSelected(-1); };
    Repaint();
}

TTablesPage::~TTablesPage()
{
    FTables.OnViewChanged = nullptr;
    FTables.ClearSelection = nullptr;
    lvTables->OnOwnerSort = nullptr;
    lvTables->SetOnData(nullptr);
    lvTables->SetItemCount(0);
}

void TTablesPage::Repaint()
{
    const int count = FTables.TabShown() ? static_cast<int>(FTables.FTables.size()) : 0;
    lvTables->SetItemCount(count);
    lvTables->Items()->RefreshAll();
    lvTables->viewport()->update();
}

bool TTablesPage::HasSelection() const
{
    return lvTables->SelectedCount() > 0;
}

QList<int> TTablesPage::SelectedRows() const
{
    return lvTables->SelectedRows();
}

void TTablesPage::Sort(int column, bool descending)
{
    TTablesArray& rules = FTables.FTables;
    if (column < 0 || column >= TableColumnCount || rules.size() < 2)
        return;
    std::vector<QString> keys;
    keys.reserve(rules.size());
    for (const TTableRec& rec : rules)
        keys.push_back(TableRowTexts(rec)[column]);
    std::vector<size_t> order(rules.size());
    std::iota(order.begin(), order.end(), size_t{0});
    std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) {
        const int compare = CompareListTexts(keys[a], keys[b]);
        return descending ? compare > 0 : compare < 0;
    });
    TTablesArray sorted;
    sorted.reserve(rules.size());
    for (const size_t i : order)
        sorted.push_back(rules[i]);
    rules = std::move(sorted);
    lvTables->SetSelected(-1);
    try {
        FTables.SaveTablesFile();
    } catch (const std::exception& e) {
        ErrorBox(ExceptionText(e));
    }
    Repaint();
}
