#include "app/ui/stats/MethodBox.h"

#include <QComboBox>
#include <QSignalBlocker>

void FillMethodBox(QComboBox& box, const std::vector<TMethodEntry>& entries, int index)
{
    const QSignalBlocker blocker(&box);
    box.clear();
    for (const TMethodEntry& entry : entries)
        box.addItem(entry.Caption, entry.Index);
    // A remembered -1 (nothing was chosen) leaves nothing chosen, as before the fill.
    if (box.count() > index)
        box.setCurrentIndex(index);
}
