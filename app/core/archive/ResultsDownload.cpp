#include "app/core/archive/ResultsDownload.h"

#include "app/core/archive/DrawLookups.h"
#include "app/core/archive/ResultsPage.h"
#include "engine/KelmaMsg.h"
#include "engine/PrjConst.h"
#include "platform/Cp1251.h"
#include "platform/DelphiText.h"
#include "platform/Exceptions.h"
#include "platform/ScopeGuard.h"
#include "support/RDateUtils.h"
#include "support/RDialogs.h"
#include "support/RVclUtils.h"

#include <algorithm>
#include <cstdint>
#include <limits>
#include <optional>
#include <vector>

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
const TResString SLeftAfterMissing = RESSTR(
    "ResultsDownload", "\nпозже дней %s - %s, тиражей которых сайт не выдал (загрузка остановлена): %d");

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
    if (skipped.AfterMissing > 0)
        text += Format(LoadResString(SLeftAfterMissing), {FormatDrawDateDefault(IntToDate(skipped.MissingFrom)),
                                                          FormatDrawDateDefault(IntToDate(skipped.MissingTo)),
                                                          skipped.AfterMissing});
    return text;
}

// The yyyymmdd day of a draw the results page gave (its key is in the stored form).
int DrawDay(const TDrawRec& draw)
{
    return DateToInt(StrToDrawDate(draw.Key.Get()));
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
    const TNewestDraw newest = NewestDraw(FState.FDraws);
    // The first day that can hold a draw not stored yet: the newest stored draw's day after
    // its midday draw, else the day after it.
    int firstDay = fromDate;
    if (newest.Draw && !newest.Draw->Key.Get().endsWith(QLatin1Char(DrawLetterMidday), Qt::CaseInsensitive))
        firstDay = std::max(firstDay, IncDateInt(newest.FromDate, 1));
    // Sites often list a fixed number of rows, newest first: the days a page leaves out before
    // its oldest new draw are asked for again, in shorter ranges, before any draw of the window
    // is stored, or the next window would start after them and they would be lost for good.
    // A shorter range that brings nothing new held no draw; a site that never gives the days
    // stops the download at the bound, storing nothing after them.
    std::vector<TDrawsArray> pages;   // the newest days first
    int askTo = toDate;
    int missingTo = 0;
    for (int requests = 1;; ++requests) {
        const int laterBefore = FSkipped.LaterThanAsked;
        TDrawsArray found = FetchPage(fromDate, askTo, newest.After);
        if (found.empty()) {
            if (pages.empty())
                return 0;
            // A reply that lists days after the asked ones and nothing new in them did not keep
            // to the request: it tells nothing of the asked days.
            if (FSkipped.LaterThanAsked > laterBefore)
                missingTo = askTo;
            break;
        }
        const int oldest = DrawDay(found.front());
        pages.push_back(std::move(found));
        if (oldest <= firstDay)
            break;
        askTo = IncDateInt(oldest, -1);
        if (requests >= ResultsRequestsPerWindow) {
            missingTo = askTo;
            break;
        }
    }
    if (missingTo > 0) {
        for (const TDrawsArray& page : pages)
            FSkipped.AfterMissing += static_cast<int>(page.size());
        FSkipped.MissingFrom = firstDay;
        FSkipped.MissingTo = missingTo;
        FFailed = true;
        return 0;
    }
    // Each page was numbered on from the archive: together they are numbered once more, oldest
    // first, without a gap.
    TDrawsArray draws;
    std::uint64_t number = pages.back().front().Number;
    for (auto page = pages.rbegin(); page != pages.rend(); ++page)
        for (TDrawRec& draw : *page) {
            if (number > std::numeric_limits<std::uint32_t>::max())
                break;
            draw.Number = static_cast<std::uint32_t>(number++);
            draws.push_back(draw);
        }
    ShowInStatusBar(LoadResString(rsSavingDrawsFile));
    FArchive.AppendDraws(draws);
    return static_cast<int>(draws.size());
}

TDrawsArray TResultsDownload::FetchPage(int fromDate, int toDate, TDateTime after)
{
    ShowInStatusBar(Format(LoadResString(rsDownloadingRange),
                           {FormatDrawDate(IntToDate(fromDate)), FormatDrawDate(IntToDate(toDate))}));
    const QString table = ResultsTable(HttpGet(ResultsSearchUrl(fromDate, toDate), false));
    if (table.isEmpty())
        return {};
    TResultsWindow window;
    window.FromDate = fromDate;
    window.ToDate = toDate;
    window.After = after;
    window.Now = ClockNow();
    return ParseResultsTable(table, FState.FDraws, window, &FSkipped);
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
