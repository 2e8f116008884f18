#include "app/ui/views/ViewRefresh.h"

#include <QWidget>

bool PageInSight(const QWidget& page, bool tabOn)
{
    if (!tabOn)
        return false;
    // A page standing as a window of its own counts as its window's current page: in sight
    // until it is hidden on purpose.
    if (page.isWindow())
        return !(page.isHidden() && page.testAttribute(Qt::WA_WState_ExplicitShowHide));
    // A page of a tab control that is not the current one is hidden.
    return page.isVisibleTo(page.window());
}

bool RefreshInSight(const QWidget& page, bool tabOn, bool force, const std::function<void()>& resetKey)
{
    if (PageInSight(page, tabOn))
        return true;
    if (force && resetKey)
        resetKey();
    return false;
}
