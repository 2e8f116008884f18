#pragma once

#include <functional>

class QWidget;

// The one refresh rule of the pages that show a computation over the archive (card, layout,
// weekday, draws graph and the statistics table): a page out of sight computes nothing, and a
// forced refresh it missed makes its next refresh run whatever its key. The main window
// refreshes the views when another page becomes the current one, so a page catches up as it
// comes into sight.
//
// A page is in sight while its tab is on and it is its tab control's current page; the current
// page counts as in sight also while the window itself is not shown yet, and so does a page
// that is a window of its own until it is hidden.
bool PageInSight(const QWidget& page, bool tabOn);

// True when the refresh is to run. Otherwise a forced refresh calls resetKey.
bool RefreshInSight(const QWidget& page, bool tabOn, bool force, const std::function<void()>& resetKey);
