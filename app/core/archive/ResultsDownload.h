#pragma once

#include "app/core/archive/DrawArchive.h"
#include "app/core/shell/MainState.h"
#include "app/core/archive/ProxySettings.h"
#include "app/core/archive/ResultsPage.h"
#include "support/rHttpUtils.h"

#include <QNetworkCookieJar>
#include <QString>

#include <functional>
#include <vector>

// The most requests one window of 100 days may take: the asked dates, then shorter ranges for
// days a page left out at either end. A site that lists at least 5 days a page fills a window
// within it.
inline constexpr int ResultsRequestsPerWindow = 20;

// The download of new draws from the operator's results pages: windows of 100 days from the
// newest stored draw up to today, each window asked for, parsed and saved, failures retried.
// The requests share one cookie store for the object's life, as one browser session would.
class TResultsDownload {
public:
    TResultsDownload(TMainState& state, TDrawArchive& archive, TProxySettings& proxy);

    // The download command: busy state and wait window around UpdateDraws, then the after-
    // download step whatever happened. Returns the number of draws added.
    int Execute();
    // The loop over the windows; returns the number of draws added.
    int UpdateDraws();
    // One window, dates as yyyymmdd: the page asked for (and shorter ranges for the days it left
    // out) and the new draws appended to the archive (the caller saves it, and takes them back
    // when the save fails), up to the first day the site would not give, which fails the
    // download. Returns their number.
    int FetchDrawsRange(int fromDate, int toDate);
    // GET through the configured proxy, with the client's time-outs; the empty text without a
    // request when the automatic proxy search found nothing.
    QString HttpGet(const QString& address, bool utf8);

    // The attempt counter of the current download (shown with the proxy in the wait window).
    int Attempt() const { return FAttempt; }
    // True when the last download ended by an error that was not retried, or found no usable
    // proxy: what it stored before that is kept, but it did not get up to today.
    bool Failed() const { return FFailed; }
    // Draws the pages of the last download offered but that were not appended (see
    // TResultsWindow); the user is told of them at the end.
    const TResultsSkipped& Skipped() const { return FSkipped; }

    // Time-outs of the download's requests (support/rHttpUtilsLimits.h): the connection has
    // 5 s, the reply may then pause up to 10 s at a time, and the whole page has 60 s. Tests
    // shorten them.
    THttpTimeouts Timeouts{ResultsConnectTimeoutMs, ResultsReadTimeoutMs, ResultsDeadlineMs};

    // The wait window of the window layer.
    std::function<void(const QString& text)> OnShowWait;
    std::function<void()> OnHideWait;
    // Runs after every download, also after one that failed (the stakes check).
    std::function<void()> OnAfterDownload;

private:
    // The new draws of one page for the dates from .. to, numbered on from the archive, and the
    // days of its rows within those dates.
    TDrawsArray FetchPage(int fromDate, int toDate, TDateTime after, std::vector<int>& listedDays);

    TMainState& FState;
    TDrawArchive& FArchive;
    TProxySettings& FProxy;
    QNetworkCookieJar FCookies;
    int FAttempt = 1;
    bool FFailed = false;
    TResultsSkipped FSkipped;
};
