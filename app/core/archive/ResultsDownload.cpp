#include "app/core/archive/ResultsDownload.h"

#include "app/core/archive/DrawLookups.h"
#include "app/core/archive/ResultsPage.h"
#include "engine/KelmaMsg.h"
#include "platform/Cp1251.h"
#include "platform/DelphiText.h"
#include "platform/Exceptions.h"
#include "platform/ScopeGuard.h"
#include "support/RDateUtils.h"
#include "support/RDialogs.h"
#include "support/RVclUtils.h"

#include <optional>

namespace {

const TResString SBadNewestDate = RESSTR(
    "ResultsDownload",
    "Дата последнего тиража архива не читается: тираж %d, \"%s\".\n\nЗагрузка новых тиражей "
    "остановлена: она начинается с даты последнего тиража. Исправьте дату этого тиража или удалите его.");
const TResString SNewestAfterToday = RESSTR(
    "ResultsDownload",
    "Последний тираж архива датирован позже сегодняшнего дня (%s): тираж %d, \"%s\".\n\nЗагрузка новых "
    "тиражей не выполнялась: она начинается с даты последнего тиража. Проверьте дату на компьютере, "
    "исправьте дату этого тиража или удалите его.");
const TResString SDrawsLeftOut =
    RESSTR("ResultsDownload", "Часть тиражей со страницы результатов не добавлена в архив:\n");
const TResString SLeftOutsideWindow = RESSTR("ResultsDownload", "\nс датой вне запрошенного периода: %d");
const TResString SLeftNotNewer = RESSTR("ResultsDownload", "\nне новее последнего тиража архива: %d");
const TResString SLeftRepeated = RESSTR("ResultsDownload", "\nуже есть в архиве или повторяется на странице: %d");
const TResString SLeftBadCell = RESSTR("ResultsDownload", "\nс результатом не из двух цифр 0..9: %d");
const TResString SLeftNotHeld = RESSTR("ResultsDownload", "\nс датой и временем позже текущих: %d");

// A failure that no retry can mend: the download stops with the message and asks nothing.
class EDownloadStop : public Exception {
public:
    using Exception::Exception;
};

// Where the next window starts: the newest stored draw's day (or the first day of an empty
// archive) and the moment after which a draw is new. A key that does not read as a date would
// start the windows at day 0, which never moves forward: the download stops instead.
struct TNewestDraw {
    int FromDate = FirstDrawDateInt;
    TDateTime After = 0;
    const TDrawRec* Draw = nullptr;   // none for an empty archive
};

TNewestDraw NewestDraw(const TDrawsArray& draws)
{
    TNewestDraw newest;
    if (draws.empty())
        return newest;
    const TDrawRec& draw = draws.back();
    TDateTime moment = 0;
    try {
        moment = ParseDrawDate(draw.Key.Get());
    } catch (const std::exception&) {
        moment = 0;   // "02/30/2026 E": the date-encode error speaks of no draw
    }
    // Day 1 is 31 December 1899; a key whose fields are not a date reads as day 0.
    if (!(moment >= 1))
        throw EDownloadStop(Format(LoadResString(SBadNewestDate), {static_cast<qint64>(draw.Number), draw.Key.Get()}));
    newest.FromDate = DateToInt(moment);
    newest.After = moment;
    newest.Draw = &draw;
    return newest;
}

// What the page left out, one line for each reason that left anything out.
QString LeftOutText(const TResultsSkipped& skipped)
{
    QString text = LoadResString(SDrawsLeftOut);
    const std::pair<int, const TResString*> parts[] = {
        {skipped.OutsideWindow, &SLeftOutsideWindow},
        {skipped.NotNewer, &SLeftNotNewer},
        {skipped.Repeated, &SLeftRepeated},
        {skipped.BadCell, &SLeftBadCell},
        {skipped.NotHeld, &SLeftNotHeld},
    };
    for (const auto& [count, res] : parts)
        if (count > 0)
            text += Format(LoadResString(*res), {count});
    return text;
}

} // namespace

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
    FSkipped = {};
    TFinally freeList([this] { FProxy.FreeFoundProxies(); });
    // The start of the last window that added draws: the next one must start later.
    int productiveFrom = 0;
    for (;;) {
        try {
            const TNewestDraw newest = NewestDraw(FState.FDraws);
            const int fromDate = newest.FromDate;
            const int today = DateToInt(ClockToday());
            // Pages hold no draw after today: a newest draw dated later (a wrong clock, or a
            // date typed wrong) leaves nothing to ask for, and the user is told why.
            if (fromDate > today && newest.Draw)
                throw EDownloadStop(Format(LoadResString(SNewestAfterToday),
                                           {FormatDrawDateDefault(ClockToday()),
                                            static_cast<qint64>(newest.Draw->Number), newest.Draw->Key.Get()}));
            if (fromDate > today || (productiveFrom > 0 && fromDate <= productiveFrom))
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
            productiveFrom = fromDate;
            FState.RefreshViews(false);
            if (toDate >= today)
                break;
        } catch (const EDownloadStop& e) {
            ErrorBox(e.Message());
            FFailed = true;
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
    if (FSkipped.Total() > 0)
        WarningBox(LeftOutText(FSkipped));
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
    TResultsWindow window;
    window.FromDate = fromDate;
    window.ToDate = toDate;
    window.After = NewestDraw(FState.FDraws).After;
    window.Now = ClockNow();
    const TDrawsArray found = ParseResultsTable(table, FState.FDraws, window, &FSkipped);
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
    request.DeadlineMs = Timeouts.DeadlineMs;
    request.MaxBodyBytes = ResultsReplyLimit;
    request.CookieJar = &FCookies;
    const THttpResponse response = HttpExecute(request);
    // Without the UTF-8 flag the bytes are taken as they come, in the program's code page.
    return utf8 ? QString::fromUtf8(response.Body) : DecodeCp1251(response.Body);
}
