#pragma once

class TRListView;

// Operations on the items of a report list. Items are named by their index; -1 stands for
// "no item". An item's data record moves with the item and is never left on two items.

// The identifier at the head of the item's data record; -1 when the item or its record is absent.
int ItemDataIndex(const TRListView* view, int item);
// The first item whose ItemDataIndex is id (-1 finds the first item without a record), or -1.
int FindItemByData(const TRListView* view, int id);
// Exchanges everything two items hold (caption, sub-items, check mark, image, data record);
// nothing when either does not exist.
void SwapItems(TRListView* view, int a, int b);
// Moves the selected item one place up (down), keeps it selected and scrolls it into view;
// nothing for the first (last) item or without a selection.
void MoveSelectedUp(TRListView* view);
void MoveSelectedDown(TRListView* view);
// Moves an item so that it is inserted before the item now at newIndex; returns where it ends:
// newIndex, or newIndex - 1 when it stood before that place. -1 (and nothing moves) when the
// item does not exist or newIndex < 0.
int MoveItemTo(TRListView* view, int item, int newIndex);
// The last item of the unbroken run of checked items from the top; -1 when the first item is
// not checked or the list is empty.
int LastLeadingChecked(const TRListView* view);
// Puts every checked item first and every unchecked item after them, each group in the order
// it had; the selection follows a moved item.
void MoveCheckedToTop(TRListView* view);
// Scrolls line by line until the item is on the first or last whole line, whichever side it
// came from; nothing when it is already in view.
void ScrollItemIntoView(TRListView* view, int item);
void ScrollSelectedIntoView(TRListView* view);
