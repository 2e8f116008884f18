#include "app/core/ResultsDownload.h"

#include "app/core/ResultsPage.h"
#include "engine/KelmaMsg.h"
#include "platform/Cp1251.h"
#include "platform/DelphiText.h"
#include "platform/Exceptions.h"
#include "platform/ScopeGuard.h"
#include "support/RDateUtils.h"
#include "support/RDialogs.h"
#include "support/RVclUtils.h"

#include <optional>

TResultsDownload::TResultsDownload(TMainState& state, TDrawArchive& archive, TProxySettings& proxy)
    : FState(state), FArchive(archive), FProxy(proxy)
{
}

int TResultsDownload::Execute()
{
    TBusyScope busy(LoadResString(rsDownloadingDraws));
    if (OnShowWait)
        OnShowWait(LoadResString(rsDownloadingDraws));
    TFinally hide([this] {
        if (OnHideWait)
            OnHideWait();
    });
    int total = 0;
    {
        TFinally after([this] {
            if (OnAfterDownload)
                OnAfterDownload();
        });
        total = UpdateDraws();
    }
    return total;
}

int TResultsDownload::UpdateDraws()
{
    int total = 0;
    FAttempt = 1;
    FFailed = false;
    TFinally freeList([this] { FProxy.FreeFoundProxies(); });
    for (;;) {
        try {
            const int fromDate = FState.GetDrawDateInt(0, 0);
            const int today = DateToInt(ClockToday());
            if (fromDate > today)
                break;
            int toDate = IncDateInt(fromDate, 99);
            if (toDate > today)
                toDate = today;
            const size_t stored = FState.FDraws.size();
            const int added = FetchDrawsRange(fromDate, toDate);
            FProxy.StoreFoundProxy();
            if (added <= 0)
                break;
            // A window whose draws cannot be saved is dropped from memory again, so that the
            // list never shows draws the file does not hold; a retry fetches them anew.
            FArchive.SaveAppendedDraws(stored);
            total += added;
            FState.RefreshViews(false);
            if (toDate >= today)
                break;
        } catch (const std::exception& e) {
            ++FAttempt;
            if (FProxy.DropFailedProxy())
                continue;
            const QString question = Format(LoadResString(rsAskRetryDownload), {ExceptionText(e)});
            if (QueryBox(LoadResString(rsErrorCaption), question) != IDYES) {
                FFailed = true;
                break;
            }
        }
    }
    return total;
}

int TResultsDownload::FetchDrawsRange(int fromDate, int toDate)
{
    ShowInStatusBar(Format(LoadResString(rsDownloadingRange),
                           {FormatDrawDate(IntToDate(fromDate)), FormatDrawDate(IntToDate(toDate))}));
    const QString page = HttpGet(ResultsSearchUrl(fromDate, toDate), false);
    const QString table = ResultsTable(page);
    if (table.isEmpty())
        return 0;
    const TDrawsArray found = ParseResultsTable(table, FState.FDraws);
    if (found.empty())
        return 0;
    ShowInStatusBar(LoadResString(rsSavingDrawsFile));
    FArchive.AppendDraws(found);
    return static_cast<int>(found.size());
}

QString TResultsDownload::HttpGet(const QString& address, bool utf8)
{
    std::optional<THttpProxy> proxy;
    if (!FProxy.ApplyProxy(address, FAttempt, proxy)) {
        FFailed = true;
        return QString();
    }
    THttpRequest request;
    request.Url = address;
    request.Proxy = proxy;
    request.FollowRedirects = true;
    request.ConnectTimeoutMs = Timeouts.ConnectMs;
    request.ReadTimeoutMs = Timeouts.ReadMs;
    request.CookieJar = &FCookies;
    const THttpResponse response = HttpExecute(request);
    // Without the UTF-8 flag the bytes are taken as they come, in the program's code page.
    return utf8 ? QString::fromUtf8(response.Body) : DecodeCp1251(response.Body);
}
