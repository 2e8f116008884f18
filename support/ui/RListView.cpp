#include "support/ui/RListView.h"

#include "support/ui/QorListView.h"

namespace {

bool ValidItem(const TRListView* view, int item)
{
    return view && !view->OwnerData() && item >= 0 && item < view->ItemCount();
}

// Brackets a batch of item changes.
class TUpdateScope {
public:
    explicit TUpdateScope(TRListView* view) : FView(view) { FView->BeginUpdate(); }
    ~TUpdateScope() { FView->EndUpdate(); }
    TUpdateScope(const TUpdateScope&) = delete;
    TUpdateScope& operator=(const TUpdateScope&) = delete;

private:
    TRListView* FView;
};

// Inserts a copy of the item at `to` and deletes the original; returns the copy's index.
int MoveItem(TRListView* view, int from, int to)
{
    TRListModel* items = view->Items();
    TRListItem copy = items->Item(from);
    const int inserted = items->Insert(to, copy);
    const int old = from < inserted ? from : from + 1;
    items->SetData(old, nullptr);
    items->Delete(old);
    return old < inserted ? inserted - 1 : inserted;
}

void MoveSelectedBy(TRListView* view, int delta)
{
    if (!view)
        return;
    const int selected = view->Selected();
    const int target = selected + delta;
    if (selected < 0 || !ValidItem(view, target))
        return;
    SwapItems(view, selected, target);
    view->SetSelected(target);
    ScrollSelectedIntoView(view);
}

} // namespace

int ItemDataIndex(const TRListView* view, int item)
{
    if (!ValidItem(view, item))
        return -1;
    const TRItemData* data = view->Items()->Item(item).Data;
    return data ? data->Index : -1;
}

int FindItemByData(const TRListView* view, int id)
{
    if (!view || view->OwnerData())
        return -1;
    for (int i = 0; i < view->ItemCount(); ++i)
        if (ItemDataIndex(view, i) == id)
            return i;
    return -1;
}

void SwapItems(TRListView* view, int a, int b)
{
    if (!ValidItem(view, a) || !ValidItem(view, b))
        return;
    TUpdateScope update(view);
    TRListModel* items = view->Items();
    const TRListItem first = items->Item(a);
    items->SetItem(a, items->Item(b));
    items->SetItem(b, first);
}

void MoveSelectedUp(TRListView* view)
{
    MoveSelectedBy(view, -1);
}

void MoveSelectedDown(TRListView* view)
{
    MoveSelectedBy(view, 1);
}

int MoveItemTo(TRListView* view, int item, int newIndex)
{
    if (!ValidItem(view, item) || newIndex < 0)
        return -1;
    TUpdateScope update(view);
    return MoveItem(view, item, newIndex);
}

int LastLeadingChecked(const TRListView* view)
{
    if (!view || view->OwnerData())
        return -1;
    int last = -1;
    while (last + 1 < view->ItemCount() && view->Items()->Item(last + 1).Checked)
        ++last;
    return last;
}

void MoveCheckedToTop(TRListView* view)
{
    if (!view || view->OwnerData())
        return;
    TUpdateScope update(view);
    int i = 0;
    while (i < view->ItemCount()) {
        if (!view->Items()->Item(i).Checked) {
            ++i;
            continue;
        }
        const int place = LastLeadingChecked(view) + 1;
        if (i <= place) {
            ++i;
            continue;
        }
        const bool wasSelected = view->IsItemSelected(i);
        const int moved = MoveItem(view, i, place);
        if (wasSelected)
            view->SetItemSelected(moved, true);
        // The item now at i was visited already and is unchecked: i stays.
    }
}

void ScrollItemIntoView(TRListView* view, int item)
{
    if (!ValidItem(view, item))
        return;
    const int rows = view->VisibleRowCount();
    if (rows <= 0)
        return;
    int top = view->TopIndex();
    while (item < top && top > 0) {
        view->ScrollLines(-1);
        const int now = view->TopIndex();
        if (now == top)
            break;
        top = now;
    }
    while (top + rows <= item && top + rows < view->ItemCount()) {
        view->ScrollLines(1);
        const int now = view->TopIndex();
        if (now == top)
            break;
        top = now;
    }
}

void ScrollSelectedIntoView(TRListView* view)
{
    if (view)
        ScrollItemIntoView(view, view->Selected());
}
