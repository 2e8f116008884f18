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
const TResString SLeftNotGiven =
    RESSTR("ResultsDownload", "\nза дни %s - %s сайт не выдал тиражей (загрузка остановлена)");
const TResString SNotGivenAtBound = RESSTR(
    "ResultsDownload", "\nза дни %s - %s сайт не выдал тиражей (загрузка остановлена на пределе в %d запросов)");
const TResString SLeftAtBound = RESSTR("ResultsDownload",
                                       "\nпозже дней %s - %s, запрошенных, но не выданных сайтом (загрузка "
                                       "остановлена на пределе в %d запросов): %d");

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
    if (skipped.MissingTo <= 0)
        return text;
    const QString from = FormatDrawDateDefault(IntToDate(skipped.MissingFrom));
    const QString to = FormatDrawDateDefault(IntToDate(skipped.MissingTo));
    if (skipped.MissingAtBound > 0 && skipped.AfterMissing > 0)
        text += Format(LoadResString(SLeftAtBound), {from, to, skipped.MissingAtBound, skipped.AfterMissing});
    else if (skipped.MissingAtBound > 0)
        text += Format(LoadResString(SNotGivenAtBound), {from, to, skipped.MissingAtBound});
    else if (skipped.AfterMissing > 0)
        text += Format(LoadResString(SLeftAfterMissing), {from, to, skipped.AfterMissing});
    else
        text += Format(LoadResString(SLeftNotGiven), {from, to});
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
            // A window that stopped short of days the site would not give ends the download.
            if (toDate >= today || FFailed)
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
    // Days the site would not give leave the archive short of today: the download failed.
    if (FSkipped.MissingTo > 0)
        ErrorBox(LeftOutText(FSkipped));
    else if (FSkipped.Total() > 0)
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
    // Sites list a fixed number of rows, the newest or the oldest of the asked days: the days a
    // page leaves out before or after the days it lists are asked for again, in shorter ranges
    // and the oldest first, before any draw of the window is stored, or the next window would
    // start after them and they would be lost for good. A range whose reply lists none of its
    // days held no draw, unless the reply lists days after the asked ones instead: that site
    // does not keep to the request. Such days, and the days still left out at the bound of
    // requests, are told, and no draw after them is stored.
    struct TRange {
        int From = 0;
        int To = 0;
    };
    std::vector<TRange> left;   // days left out and not asked for again yet, the oldest first
    TDrawsArray got;            // the new draws of every page
    std::optional<TRange> notGiven;
    bool atBound = false;
    TRange asked{fromDate, toDate};
    int requests = 1;
    for (;; ++requests) {
        const int laterBefore = FSkipped.LaterThanAsked;
        std::vector<int> listed;
        const TDrawsArray found = FetchPage(asked.From, asked.To, newest.After, listed);
        const int from = std::max(asked.From, firstDay);
        if (found.empty() && FSkipped.LaterThanAsked > laterBefore && from <= asked.To) {
            notGiven = TRange{from, asked.To};
            break;
        }
        got.insert(got.end(), found.begin(), found.end());
        // The days the page gave. Before them only a page that brought new draws tells of a gap
        // (a row of the newest stored day says nothing of the days after it); after them any
        // page does, even one of stored days only, as a site that lists one day a page gives.
        int oldest = 0;
        int newestListed = 0;
        for (const int day : listed) {
            newestListed = std::max(newestListed, day);
            if (day >= from)
                oldest = oldest > 0 ? std::min(oldest, day) : day;
        }
        if (!found.empty() && oldest > from)
            left.push_back({from, IncDateInt(oldest, -1)});
        if (newestListed > 0 && newestListed < asked.To)
            left.push_back({std::max(IncDateInt(newestListed, 1), from), asked.To});
        std::sort(left.begin(), left.end(), [](const TRange& a, const TRange& b) { return a.From < b.From; });
        if (left.empty())
            break;
        if (requests >= ResultsRequestsPerWindow) {
            notGiven = left.front();
            atBound = true;
            break;
        }
        asked = left.front();
        left.erase(left.begin());
    }

    // Each page was numbered on from the archive: together they are put in draw order and
    // numbered once more, without a gap, up to the first day the site did not give.
    std::stable_sort(got.begin(), got.end(), [](const TDrawRec& a, const TDrawRec& b) {
        return StrToDrawDate(a.Key.Get()) < StrToDrawDate(b.Key.Get());
    });
    size_t kept = got.size();
    if (notGiven) {
        kept = static_cast<size_t>(std::find_if(got.begin(), got.end(),
                                                [&](const TDrawRec& d) { return DrawDay(d) >= notGiven->From; })
                                   - got.begin());
        FSkipped.AfterMissing += static_cast<int>(got.size() - kept);
        FSkipped.MissingFrom = notGiven->From;
        FSkipped.MissingTo = notGiven->To;
        FSkipped.MissingAtBound = atBound ? requests : 0;
        FFailed = true;
    }
    if (kept == 0)
        return 0;
    TDrawsArray draws;
    std::uint64_t number = std::min_element(got.begin(), got.end(), [](const TDrawRec& a, const TDrawRec& b) {
                               return a.Number < b.Number;
                           })->Number;
    for (size_t i = 0; i < kept && number <= std::numeric_limits<std::uint32_t>::max(); ++i) {
        draws.push_back(got[i]);
        draws.back().Number = static_cast<std::uint32_t>(number++);
    }
    ShowInStatusBar(LoadResString(rsSavingDrawsFile));
    FArchive.AppendDraws(draws);
    return static_cast<int>(draws.size());
}

TDrawsArray TResultsDownload::FetchPage(int fromDate, int toDate, TDateTime after, std::vector<int>& listedDays)
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
    return ParseResultsTable(table, FState.FDraws, window, &FSkipped, &listedDays);
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
