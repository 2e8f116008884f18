#include "tests/app_core/archive/DownloadTestEnv.h"

#include "app/core/archive/DrawFile.h"
#include "app/core/archive/ResultsPage.h"
#include "platform/SaveFile.h"
#include "support/rHttpUtils.h"
#include "tests/fixtures/ArchiveFixtures.h"

#include <algorithm>

namespace {

const QDate kAug1(2016, 8, 1);
const QDate kAug10(2016, 8, 10);

QString Retry(const QString& error)
{
    return QString::fromUtf8("Ошибка загрузки архива тиражей с сайта: \"%1\"\n\nПовторить попытку?").arg(error);
}

using DownloadTest = TDownloadTest;

} // namespace

TEST_F(DownloadTest, EmptyArchiveTakesTwentyDrawsInOneRequest)
{
    QList<bool> refreshes;
    FState.RegisterView([&](bool force) { refreshes.append(force); });
    QStringList wait;
    FDownload.OnShowWait = [&](const QString& text) { wait.append("show " + text); };
    FDownload.OnHideWait = [&] { wait.append("hide"); };

    EXPECT_EQ(FDownload.Execute(), 20);
    EXPECT_FALSE(FDownload.Failed());

    const TDrawsArray expected = SiteDraws(kAug1, kAug10);
    ASSERT_EQ(expected.size(), 20u);
    EXPECT_EQ(expected.front().Key.Get(), "08/01/2016 M");
    EXPECT_EQ(expected.back().Number, 20u);
    EXPECT_EQ(FState.FDraws, expected);
    EXPECT_EQ(ReadFileBytes(FState.DrawsFileName()), DrawsToBytes(expected));

    const QList<TStandInRequest> requests = SiteRequests();
    ASSERT_EQ(requests.size(), 1);
    const TStandInRequest& rq = requests[0];
    EXPECT_EQ(rq.Method, "GET");
    EXPECT_EQ(rq.Target,
              "/site/winningNumberSearch?searchTypeIn=range&gameNameIn=PICK2&singleDateIn=&fromDateIn=08%2F01%2F2016"
              "&toDateIn=08%2F10%2F2016&n1In=&n2In=&n3In=&n4In=&n5In=&submitForm=Submit");
    EXPECT_EQ(rq.Header("Accept"), "text/html,application/xhtml+xml,application/xml;q=0.9,*/*;q=0.8");
    EXPECT_EQ(rq.Header("Accept-Encoding"), "gzip, deflate, sdch");
    EXPECT_EQ(rq.Header("User-Agent"), "Mozilla/5.0 (Windows NT 6.1; WOW64) AppleWebKit/537.36 (KHTML, like Gecko) "
                                       "Chrome/47.0.2526.80 Safari/537.36");
    EXPECT_FALSE(rq.ViaProxy());

    EXPECT_TRUE(FBoxes.Boxes().isEmpty());
    EXPECT_EQ(refreshes, QList<bool>({false}));
    EXPECT_EQ(FAfterDownload, 1);
    EXPECT_EQ(wait, QStringList({QString::fromUtf8("show Загрузка архива тиражей..."), "hide"}));
    EXPECT_EQ(FWaitTexts, QStringList({QString::fromUtf8("Загрузка архива тиражей...")}));
    // The range is shown with this game's draw-date text: midnight reads as an evening.
    EXPECT_TRUE(FStatuses.contains(QString::fromUtf8("Загрузка тиражей 08/01/2016 E - 08/10/2016 E...")));
    EXPECT_EQ(FStatuses.last(), QString());
}

TEST_F(DownloadTest, GzipRepliesAndTheSessionCookie)
{
    FSite.SetGzip(true);
    FSite.SetCookie("sid=42; Path=/");
    EXPECT_EQ(FDownload.Execute(), 20);
    EXPECT_EQ(FState.FDraws, SiteDraws(kAug1, kAug10));

    // The next download of the same program run carries the site's cookie.
    SetToday(QDate(2016, 8, 11));
    EXPECT_EQ(FDownload.Execute(), 2);
    const QList<TStandInRequest> requests = SiteRequests();
    ASSERT_EQ(requests.size(), 2);
    EXPECT_FALSE(requests[0].HasHeader("Cookie"));
    EXPECT_EQ(requests[1].Header("Cookie"), "sid=42");
    EXPECT_EQ(requests[1].Target, SearchTarget(kAug10, QDate(2016, 8, 11)));
}

TEST_F(DownloadTest, WindowsOfOneHundredDays)
{
    SetToday(QDate(2017, 3, 1));
    QList<bool> refreshes;
    FState.RegisterView([&](bool force) { refreshes.append(force); });

    const TDrawsArray expected = SiteDraws(kAug1, QDate(2017, 3, 1));
    EXPECT_EQ(FDownload.Execute(), static_cast<int>(expected.size()));
    EXPECT_EQ(FState.FDraws, expected);

    // Each window starts on the newest stored draw's day, whose draws are asked for again.
    const QList<TStandInRequest> requests = SiteRequests();
    ASSERT_EQ(requests.size(), 3);
    EXPECT_EQ(requests[0].Target, SearchTarget(kAug1, QDate(2016, 11, 8)));
    EXPECT_EQ(requests[1].Target, SearchTarget(QDate(2016, 11, 8), QDate(2017, 2, 15)));
    EXPECT_EQ(requests[2].Target, SearchTarget(QDate(2017, 2, 15), QDate(2017, 3, 1)));
    EXPECT_EQ(refreshes.size(), 3);
    EXPECT_EQ(ReadFileBytes(FState.DrawsFileName()), DrawsToBytes(expected));
}

TEST_F(DownloadTest, DrawNotHeldYetAndTodaysLastDraw)
{
    FSite.SetLastHeld(kAug10, false);
    EXPECT_EQ(FDownload.Execute(), 19);
    EXPECT_EQ(FState.FDraws.back().Key.Get(), "08/10/2016 M");
    EXPECT_EQ(FState.FDraws.back().Number, 19u);

    FSite.SetLastHeld(kAug10, true);
    EXPECT_EQ(FDownload.Execute(), 1);
    EXPECT_EQ(FState.FDraws, SiteDraws(kAug1, kAug10));
    EXPECT_EQ(SiteRequests().last().Target, SearchTarget(kAug10, kAug10));

    // Today's evening draw is stored: one request, both draws of the day skipped, file kept.
    const QByteArray before = ReadFileBytes(FState.DrawsFileName());
    FServer.ClearRequests();
    EXPECT_EQ(FDownload.Execute(), 0);
    EXPECT_EQ(SiteRequests().size(), 1);
    EXPECT_EQ(ReadFileBytes(FState.DrawsFileName()), before);

    EXPECT_TRUE(FBoxes.Boxes().isEmpty());

    // A newest draw dated after today: nothing to ask for, and the user is told why instead of
    // a download that does nothing without a word.
    FState.FDraws.back().Key.Set("08/11/2016 M");
    const TDrawsArray ahead = FState.FDraws;
    FServer.ClearRequests();
    FAfterDownload = 0;
    EXPECT_EQ(FDownload.Execute(), 0);
    EXPECT_TRUE(FDownload.Failed());
    EXPECT_EQ(FState.FDraws, ahead);
    EXPECT_EQ(FAfterDownload, 1);
    EXPECT_TRUE(SiteRequests().isEmpty());
    ASSERT_EQ(FBoxes.Boxes().size(), 1);
    EXPECT_EQ(FBoxes.Last().Icon, TBoxIcon::Error);
    EXPECT_EQ(FBoxes.Last().Text,
              QString::fromUtf8("Последний тираж архива датирован позже сегодняшнего дня (08/10/2016): тираж 20, "
                                "\"08/11/2016 M\".\n\nЗагрузка новых тиражей не выполнялась: она начинается с даты "
                                "последнего тиража. Проверьте дату на компьютере, исправьте дату этого тиража или "
                                "удалите его."));
}

TEST_F(DownloadTest, StoredDrawsAreSkippedAndNumberingGoesOn)
{
    FState.FDraws = MakeArchive(10);   // 08/01/2016 M .. 08/05/2016 E, numbers 1..10
    EXPECT_EQ(FDownload.Execute(), 10);
    ASSERT_EQ(FState.FDraws.size(), 20u);
    EXPECT_EQ(SiteRequests()[0].Target, SearchTarget(QDate(2016, 8, 5), kAug10));
    TDrawsArray expected = MakeArchive(10);
    const TDrawsArray fresh = SiteDraws(QDate(2016, 8, 6), kAug10, 11);
    expected.insert(expected.end(), fresh.begin(), fresh.end());
    EXPECT_EQ(FState.FDraws, expected);
}

TEST_F(DownloadTest, CellsThatAreNotTwoDigitsAreSkipped)
{
    FSite.SetCell(QDate(2016, 8, 3), false, "12-3");   // a digit no table can index
    FSite.SetCell(QDate(2016, 8, 4), true, "x");
    FSite.SetCell(QDate(2016, 8, 5), false, "4-1-2");
    FSite.SetCell(QDate(2016, 8, 6), false, "");
    FSite.SetCell(QDate(2016, 8, 7), true, "-");
    FSite.SetCell(QDate(2016, 8, 8), true, "\" 6 - 2 \"");
    EXPECT_EQ(FDownload.Execute(), 15);

    QStringList keys;
    for (const TDrawRec& d : FState.FDraws) {
        EXPECT_EQ(d.Number, static_cast<std::uint32_t>(keys.size() + 1));
        EXPECT_LE(d.Digits[0], 9);
        EXPECT_LE(d.Digits[1], 9);
        keys.append(d.Key.Get());
    }
    for (const char* skipped : {"08/03/2016 M", "08/04/2016 E", "08/05/2016 M", "08/06/2016 M", "08/07/2016 E"})
        EXPECT_FALSE(keys.contains(skipped)) << skipped;
    const int kept = static_cast<int>(keys.indexOf("08/08/2016 E"));
    ASSERT_GE(kept, 0);
    EXPECT_EQ(FState.FDraws[static_cast<size_t>(kept)].Digits, (std::array<std::uint8_t, 2>{6, 2}));
}

TEST_F(DownloadTest, WindowThatCannotBeSavedIsTakenBackAndAskedAbout)
{
    WriteArchive(MakeArchive(10));
    FState.FDraws = MakeArchive(10);
    const QByteArray before = ReadFileBytes(FState.DrawsFileName());
    QList<int> counts;
    FState.RegisterView([&](bool) { counts.append(static_cast<int>(FState.FDraws.size())); });

    // A folder where the save's temporary file must go: no user can write the file there.
    const QString blocked = TSaveFile::TempFileName(FState.DrawsFileName());
    ASSERT_TRUE(QDir().mkpath(blocked));
    FBoxes.Answer(IDNO);
    EXPECT_EQ(FDownload.Execute(), 0);
    EXPECT_TRUE(FDownload.Failed());
    ASSERT_EQ(FBoxes.Boxes().size(), 1);
    EXPECT_TRUE(FBoxes.Last().Text.startsWith(QString::fromUtf8("Ошибка загрузки архива тиражей с сайта: \"")));
    EXPECT_TRUE(FBoxes.Last().Text.contains(FState.DrawsFileName())) << FBoxes.Last().Text.toStdString();
    // Memory, views and file agree: the ten draws the file holds.
    EXPECT_EQ(FState.FDraws, MakeArchive(10));
    EXPECT_EQ(FState.DrawsInfo().Count, 10);
    EXPECT_TRUE(counts.isEmpty());
    EXPECT_EQ(ReadFileBytes(FState.DrawsFileName()), before);

    // Once the file can be written the same window goes through.
    ASSERT_TRUE(QDir().rmdir(blocked));
    EXPECT_EQ(FDownload.Execute(), 10);
    EXPECT_FALSE(FDownload.Failed());
    EXPECT_EQ(FState.FDraws.size(), 20u);
    EXPECT_EQ(ReadFileBytes(FState.DrawsFileName()), DrawsToBytes(FState.FDraws));
    EXPECT_EQ(counts, QList<int>({20}));
}

TEST_F(DownloadTest, NoUsablePublicProxyIsAFailedDownload)
{
    FServer.Route("/proxylist/", TStandInReply::Text(ProxyListPage({})));
    FState.FProxy.Mode = 1;
    EXPECT_EQ(FDownload.Execute(), 0);
    EXPECT_TRUE(SiteRequests().isEmpty());
    EXPECT_TRUE(FDownload.Failed());
}

TEST_F(DownloadTest, PageWithoutResultsEndsQuietly)
{
    FSite.SetFailure(TOperatorSite::TFailure::NoResults);
    EXPECT_EQ(FDownload.Execute(), 0);
    EXPECT_TRUE(FBoxes.Boxes().isEmpty());
    EXPECT_EQ(SiteRequests().size(), 1);
    EXPECT_FALSE(QFile::exists(FState.DrawsFileName()));
    EXPECT_EQ(FAfterDownload, 1);
    EXPECT_FALSE(FDownload.Failed());
}

TEST_F(DownloadTest, FailedRequestAskedYesThenNo)
{
    FSite.SetFailure(TOperatorSite::TFailure::ServerError);
    FBoxes.Answer(IDYES);
    FBoxes.Answer(IDNO);
    EXPECT_EQ(FDownload.Execute(), 0);

    EXPECT_EQ(SiteRequests().size(), 2);
    ASSERT_EQ(FBoxes.Boxes().size(), 2);
    for (const TBoxRequest& box : FBoxes.Boxes()) {
        EXPECT_EQ(box.Title, QString::fromUtf8("Ошибка"));
        EXPECT_EQ(box.Text, Retry(QString::fromUtf8("Сервер \"127.0.0.1\" ответил ошибкой 500 "
                                                    "(HTTP/1.1 500 Internal Server Error)")));
        EXPECT_EQ(box.Buttons, TBoxButtons::YesNo);
    }
    EXPECT_EQ(FDownload.Attempt(), 3);
    EXPECT_TRUE(FDownload.Failed());
    EXPECT_TRUE(FState.FDraws.empty());
    EXPECT_FALSE(QFile::exists(FState.DrawsFileName()));
    // The stakes check runs after a failed download too.
    EXPECT_EQ(FAfterDownload, 1);
}

TEST_F(DownloadTest, RetryAfterAFailureGoesOn)
{
    FSite.SetFailure(TOperatorSite::TFailure::ServerError, 1);
    FBoxes.Answer(IDYES);
    EXPECT_EQ(FDownload.Execute(), 20);
    EXPECT_FALSE(FDownload.Failed());   // the retry got it all
    EXPECT_EQ(FBoxes.Boxes().size(), 1);
    EXPECT_EQ(FState.FDraws, SiteDraws(kAug1, kAug10));

    // A results table that is cut off is an error of the window as well.
    FSite.SetFailure(TOperatorSite::TFailure::UnclosedTable, 1);
    SetToday(QDate(2016, 8, 12));
    FBoxes.Answer(IDNO);
    EXPECT_EQ(FDownload.Execute(), 0);
    ASSERT_EQ(FBoxes.Boxes().size(), 2);
    EXPECT_TRUE(FBoxes.Last().Text.startsWith(
        QString::fromUtf8("Ошибка загрузки архива тиражей с сайта: \"Не удалось найти пару идентификаторов "
                          "\"</thead><tbody>\" - \"</tbody></table>\" в тексте\n\n[")))
        << FBoxes.Last().Text.toStdString();
    EXPECT_EQ(FState.FDraws.size(), 20u);
}

TEST_F(DownloadTest, StalledSiteTimesOut)
{
    // The connection has 5 s, and the reply may then pause 10 s at a time.
    const TResultsDownload fresh(FState, FArchive, FProxy);
    EXPECT_EQ(fresh.Timeouts.ConnectMs, 5000);
    EXPECT_EQ(fresh.Timeouts.ReadMs, 10000);

    // A site that takes the request and never answers is given up by the read time-out,
    // counted from the request sent: the connect time-out here could never be reached.
    FDownload.Timeouts = {600000, 300};
    FSite.SetFailure(TOperatorSite::TFailure::Stall, 1);
    FBoxes.Answer(IDNO);
    EXPECT_EQ(FDownload.Execute(), 0);
    EXPECT_TRUE(FDownload.Failed());
    ASSERT_EQ(FBoxes.Boxes().size(), 1);
    EXPECT_EQ(FBoxes.Last().Text, Retry(QString::fromUtf8("Превышено время ожидания ответа от сервера \"127.0.0.1\"!")));
}

TEST_F(DownloadTest, RefusedConnectionIsToldInRussianWithTheDetail)
{
    qputenv(OperatorSiteEnv, QByteArray("http://127.0.0.1:") + QByteArray::number(ClosedLocalPort()));
    FBoxes.Answer(IDNO);
    EXPECT_EQ(FDownload.Execute(), 0);
    EXPECT_TRUE(FDownload.Failed());
    ASSERT_EQ(FBoxes.Boxes().size(), 1);
    EXPECT_EQ(FBoxes.Last().Text, Retry(QString::fromUtf8("Сервер \"127.0.0.1\" отказал в соединении (Connection refused)")));
    EXPECT_FALSE(QFile::exists(FState.DrawsFileName()));
}

TEST(ResultsPageTest, AddressAndTableCuts)
{
    qunsetenv(OperatorSiteEnv);
    EXPECT_TRUE(ResultsSearchUrl(20161231, 20170102).startsWith(OperatorSiteUrl() + "/site/winningNumberSearch?"));
    qputenv(OperatorSiteEnv, "http://127.0.0.1:9/");
    EXPECT_EQ(ResultsSearchUrl(20161231, 20170102),
              "http://127.0.0.1:9/site/winningNumberSearch?searchTypeIn=range&gameNameIn=PICK2&singleDateIn="
              "&fromDateIn=12%2F31%2F2016&toDateIn=01%2F02%2F2017&n1In=&n2In=&n3In=&n4In=&n5In=&submitForm=Submit");
    qunsetenv(OperatorSiteEnv);

    // Markers are found without regard to letter case; rows may carry attributes.
    const QString page = "<SECTION class=\"winningNumbersResults\"><table><thead></thead><TBODY>"
                         "<tr><td><div>08/01/2016</div><div>1-2</div><div>3-4</div></tr>"
                         "<TR id=\"r\"><div>08/02/2016</div><DIV>5-6</DIV></TR>"
                         "</tbody></table></section><footer id=\"footerMain\">";
    const QString table = ResultsTable(page);
    const TDrawsArray draws = ParseResultsTable(table, {});
    ASSERT_EQ(draws.size(), 3u);
    EXPECT_EQ(draws[2].Key.Get(), "08/02/2016 M");
    EXPECT_EQ(draws[2].Digits, (std::array<std::uint8_t, 2>{5, 6}));
    EXPECT_TRUE(ResultsTable("<html><footer id=\"footerMain\"></html>").isEmpty());
    EXPECT_TRUE(ResultsTable("").isEmpty());
    EXPECT_THROW(ResultsTable("<section class=\"winningNumbersResults\"><tbody>"), Exception);
}

// A row is read only when its date cell holds a date in the page's form, so nothing after the
// date can make a stored draw's key look new.
TEST(ResultsPageTest, RowsNeedADateCellInThePageForm)
{
    TDrawsArray stored(2);
    stored[0].Number = 1;
    stored[0].Key.Set(QStringLiteral("07/01/2016 M"));
    stored[1].Number = 2;
    stored[1].Key.Set(QStringLiteral("07/01/2016 E"));

    // The row a page could send: a date cell with the evening letter after the date.
    const QByteArray fuzzed = QByteArray::fromHex("3c74723c6469763e30372f30312f3230313620453c2f6469763e3c6469763e332d333c2f6469763e");
    EXPECT_TRUE(ParseResultsTable(QString::fromLatin1(fuzzed), stored).empty());

    struct {
        const char* date;
        bool taken;
    } const cases[] = {
        {"07/02/2016", true},
        {"07/01/2016 E", false},
        {"07/02/2016 E", false},
        {" 07/02/2016 ", true},               // the cell's blanks are cut off
        {"7/2/2016", false},
        {"07/02/16", false},
        {"13/02/2016", false},
        {"02/30/2016", false},
        {"02/29/2016", true},
        {"07-02-2016", false},
        {"", false},
    };
    for (const auto& c : cases) {
        const QString row = QStringLiteral("<tr><div>%1</div><div>4-5</div></tr>").arg(QLatin1String(c.date));
        const TDrawsArray found = ParseResultsTable(row, stored);
        ASSERT_EQ(found.size(), c.taken ? 1u : 0u) << c.date;
        if (c.taken) {
            EXPECT_EQ(found[0].Key.Get(), QLatin1String(c.date).trimmed() + QStringLiteral(" M"));
            EXPECT_EQ(found[0].Number, 3u);
        }
    }
    // A date already stored is still skipped per draw: the evening is new, the midday is not.
    const TDrawsArray evening = ParseResultsTable(
        QStringLiteral("<tr><div>07/01/2016</div><div>1-1</div><div>2-2</div></tr>"), {stored[0]});
    ASSERT_EQ(evening.size(), 1u);
    EXPECT_EQ(evening[0].Key.Get(), QStringLiteral("07/01/2016 E"));
    EXPECT_EQ(evening[0].Digits, (std::array<std::uint8_t, 2>{2, 2}));
}

// A newest stored key that does not read as a draw date would start the windows at day 0 of
// the calendar for ever. The download stops before any request, in Russian, naming the draw.
TEST_F(DownloadTest, NewestKeyThatIsNoDateStopsTheDownload)
{
    const char* const keys[] = {
        "13/05/2016 E",   // month 13: every field read as 0
        "02/30/2016 E",   // a day the month does not have: the date encoder raises
        "01/01/1900 M",   // before the first year a key may name
        "garbage",
        "",
    };
    for (const char* key : keys) {
        SCOPED_TRACE(key);
        FBoxes.Clear();
        FServer.ClearRequests();
        TDrawsArray draws = MakeArchive(10);
        draws.back().Key.Set(QString::fromLatin1(key));
        FState.FDraws = draws;

        EXPECT_EQ(FDownload.Execute(), 0);
        EXPECT_TRUE(FDownload.Failed());
        EXPECT_TRUE(SiteRequests().isEmpty());
        EXPECT_EQ(FState.FDraws, draws);
        EXPECT_FALSE(QFile::exists(FState.DrawsFileName()));
        ASSERT_EQ(FBoxes.Boxes().size(), 1);
        EXPECT_EQ(FBoxes.Last().Icon, TBoxIcon::Error);
        EXPECT_EQ(FBoxes.Last().Text,
                  QString::fromUtf8("Дата последнего тиража архива не читается: тираж 10, \"%1\".\n\nЗагрузка новых "
                                    "тиражей остановлена: она начинается с даты последнего тиража. Исправьте дату "
                                    "этого тиража или удалите его.")
                      .arg(QString::fromLatin1(key)));
        // The stakes are still checked: nothing new came, nothing is scored wrongly.
        EXPECT_EQ(FAfterDownload, 1);
        FAfterDownload = 0;
    }
}

// A page that holds rows the request did not ask for (a garbage page of 1900, days after
// today) or draws older than the newest stored one: none of them is appended, and the user is
// told how many were left out.
TEST_F(DownloadTest, RowsOutsideTheWindowOrNotNewerAreLeftOutAndTold)
{
    // 08/01 M .. 08/04 E, then 08/05 E with the midday draw of that day missing.
    TDrawsArray stored = MakeArchive(9);
    stored.back().Key.Set("08/05/2016 E");
    FState.FDraws = stored;
    FSite.SetExtraDays(QDate(1900, 1, 1), QDate(1900, 1, 10));   // 20 draws of 1900
    SetToday(QDate(2016, 8, 8));

    EXPECT_EQ(FDownload.Execute(), 6);   // 08/06 .. 08/08, two a day
    EXPECT_FALSE(FDownload.Failed());
    TDrawsArray expected = stored;
    const TDrawsArray fresh = SiteDraws(QDate(2016, 8, 6), QDate(2016, 8, 8), 10);
    expected.insert(expected.end(), fresh.begin(), fresh.end());
    EXPECT_EQ(FState.FDraws, expected);
    EXPECT_EQ(ReadFileBytes(FState.DrawsFileName()), DrawsToBytes(expected));
    EXPECT_EQ(SiteRequests().size(), 1);

    // The midday draw of 08/05 is older than the stored evening draw of that day.
    EXPECT_EQ(FDownload.Skipped().OutsideWindow, 20);
    EXPECT_EQ(FDownload.Skipped().NotNewer, 1);
    ASSERT_EQ(FBoxes.Boxes().size(), 1);
    EXPECT_EQ(FBoxes.Last().Title, QString::fromUtf8("Предупреждение"));
    EXPECT_EQ(FBoxes.Last().Text, QString::fromUtf8("Часть тиражей со страницы результатов не добавлена в архив:\n\n"
                                                    "с датой вне запрошенного периода: 20\n"
                                                    "не новее последнего тиража архива: 1"));

    // A quiet site again: nothing left out, nothing told.
    FSite.SetExtraDays(QDate(), QDate());
    FBoxes.Clear();
    SetToday(QDate(2016, 8, 9));
    EXPECT_EQ(FDownload.Execute(), 2);
    EXPECT_EQ(FDownload.Skipped().OutsideWindow, 0);
    EXPECT_EQ(FDownload.Skipped().NotNewer, 0);
    EXPECT_TRUE(FBoxes.Boxes().isEmpty());
}

// A garbage page that answers every window with the same old rows cannot keep the download
// going: nothing it sends is new, so the first window adds nothing and the loop ends.
TEST_F(DownloadTest, SiteAnsweringOnlyOldRowsEndsWithNothingAdded)
{
    FState.FDraws = MakeArchive(10);
    FSite.SetExtraDays(QDate(2016, 7, 1), QDate(2016, 7, 31));
    FSite.SetLastHeld(QDate(2016, 8, 5), true);   // nothing after the stored draws
    EXPECT_EQ(FDownload.Execute(), 0);
    // The page lists the newest stored day and none after it: those are asked for once more.
    EXPECT_EQ(SiteRequests().size(), 2);
    EXPECT_FALSE(FDownload.Failed());
    EXPECT_EQ(FState.FDraws, MakeArchive(10));
    EXPECT_EQ(FDownload.Skipped().OutsideWindow, 2 * 62);
}

TEST_F(DownloadTest, RepliesThatNeverEndAreCutOff)
{
    // The defaults of the results page.
    const TResultsDownload fresh(FState, FArchive, FProxy);
    EXPECT_EQ(fresh.Timeouts.DeadlineMs, 60000);
    EXPECT_EQ(ResultsReplyLimit, 4 * 1024 * 1024);

    struct TCase {
        TOperatorSite::TFailure Failure;
        int DeadlineMs;
        QString Error;
    };
    const TCase cases[] = {
        // A byte every 50 ms restarts the read time-out each time; the deadline still ends it.
        {TOperatorSite::TFailure::Trickle, 800,
         QString::fromUtf8("Сервер \"127.0.0.1\" не передал ответ за отведённые на запрос 1 с!")},
        // Megabytes without end: the reply is cut at its cap, long before memory runs short.
        {TOperatorSite::TFailure::Endless, 60000,
         QString::fromUtf8("Ответ сервера \"127.0.0.1\" превышает допустимый размер (4194304 байт)!")},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Error.toStdString());
        FDownload.Timeouts = {2000, 2000, c.DeadlineMs};
        FBoxes.Clear();
        FSite.SetFailure(c.Failure, 1);
        FBoxes.Answer(IDNO);
        EXPECT_EQ(FDownload.Execute(), 0);
        EXPECT_TRUE(FDownload.Failed());
        ASSERT_EQ(FBoxes.Boxes().size(), 1);
        EXPECT_EQ(FBoxes.Last().Text, Retry(c.Error));
        EXPECT_TRUE(FState.FDraws.empty());
    }
}

// Numbers go on from the archive's newest number when draws were taken out of its middle
// (deleted, or skipped as damaged): counting the draws would give a stored number again.
TEST(ResultsPageTest, NumbersGoOnFromTheNewestNumber)
{
    struct TCase {
        std::initializer_list<std::uint32_t> Stored;
        std::uint32_t First;
    } const cases[] = {
        {{}, 1},
        {{1, 2, 3}, 4},
        {{1, 2, 5}, 6},        // a gap: the count would give 4, then 5 again
        {{7, 8}, 9},
        {{5, 3, 2}, 4},        // numbers out of order after edits: the count, as before
    };
    const QString row = QStringLiteral("<tr><div>09/01/2016</div><div>1-2</div><div>3-4</div></tr>");
    for (const TCase& c : cases) {
        TDrawsArray stored;
        int day = 1;
        for (const std::uint32_t n : c.Stored) {
            TDrawRec draw;
            draw.Number = n;
            draw.Key.Set(QStringLiteral("08/%1/2016 E").arg(day++, 2, 10, QLatin1Char('0')));
            stored.push_back(draw);
        }
        const TDrawsArray found = ParseResultsTable(row, stored);
        ASSERT_EQ(found.size(), 2u);
        EXPECT_EQ(found[0].Number, c.First);
        EXPECT_EQ(found[1].Number, c.First + 1);
    }
}

TEST(ResultsPageTest, WindowLetsInOnlyAskedDaysAndNewerDraws)
{
    const TDateTime eveningOf5th = StrToDrawDate(QStringLiteral("08/05/2016 E"));
    const TDateTime middayOf5th = StrToDrawDate(QStringLiteral("08/05/2016 M"));
    struct TCase {
        const char* Name;
        TResultsWindow Window;
        const char* Taken;   // keys taken, in order
        int Outside;
        int NotNewer;
    } const cases[] = {
        {"no window", {}, "08/04 M,08/04 E,08/05 M,08/05 E,08/06 M,08/06 E", 0, 0},
        {"from the 5th", {20160805, 0, 0}, "08/05 M,08/05 E,08/06 M,08/06 E", 2, 0},
        {"up to the 5th", {0, 20160805, 0}, "08/04 M,08/04 E,08/05 M,08/05 E", 2, 0},
        {"the 5th only", {20160805, 20160805, 0}, "08/05 M,08/05 E", 4, 0},
        {"after the 5th's midday", {20160805, 20160806, middayOf5th}, "08/05 E,08/06 M,08/06 E", 2, 1},
        {"after the 5th's evening", {20160805, 20160806, eveningOf5th}, "08/06 M,08/06 E", 2, 2},
        {"a window after every row", {20160901, 20161001, 0}, "", 6, 0},
    };
    const QString table = QStringLiteral("<tr><div>08/04/2016</div><div>1-1</div><div>2-2</div></tr>"
                                         "<tr><div>08/05/2016</div><div>3-3</div><div>4-4</div></tr>"
                                         "<tr><div>08/06/2016</div><div>5-5</div><div>-</div></tr>"
                                         "<tr><div>08/06/2016</div><div>-</div><div>6-6</div></tr>");
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        TResultsSkipped skipped;
        const TDrawsArray found = ParseResultsTable(table, {}, c.Window, &skipped);
        QStringList keys;
        for (const TDrawRec& d : found)
            keys.append(d.Key.Get().mid(0, 5) + d.Key.Get().mid(10));
        EXPECT_EQ(keys.join(','), QLatin1String(c.Taken));
        EXPECT_EQ(skipped.OutsideWindow, c.Outside);
        EXPECT_EQ(skipped.NotNewer, c.NotNewer);
        for (size_t i = 0; i < found.size(); ++i)
            EXPECT_EQ(found[i].Number, i + 1);
    }
}

// A page that lists a day more than once, or a day the archive holds further back: every key
// comes in once, the numbers run on without a gap, and the copies are counted and told.
TEST_F(DownloadTest, KeysThePageRepeatsOrTheArchiveHoldsComeInOnce)
{
    const auto renumbered = [](TDrawsArray draws, std::uint32_t first) {
        for (TDrawRec& d : draws)
            d.Number = first++;
        return draws;
    };
    // Draw 4 was once edited to the key of 08/07 M.
    TDrawsArray edited = MakeArchive(10);
    edited[3].Key.Set("08/07/2016 M");
    TDrawsArray withoutThatKey = SiteDraws(QDate(2016, 8, 6), kAug10, 11);
    withoutThatKey.erase(withoutThatKey.begin() + 2);
    struct TCase {
        const char* Name;
        TDrawsArray Stored;
        QDate Today;
        int Copies;
        TDrawsArray Fresh;   // what the download appends
        int Repeated;
        int Requests;
    };
    const TCase cases[] = {
        // 08/05 is stored (the newest day, asked for again): both of its copies pass quietly.
        {"every row twice", MakeArchive(10), kAug10, 2, SiteDraws(QDate(2016, 8, 6), kAug10, 11), 10, 1},
        // Three windows: 100 days, then 99 and 14 new days after the day each starts on.
        {"every row three times, from an empty archive", {}, QDate(2017, 3, 1), 3,
         SiteDraws(kAug1, QDate(2017, 3, 1)), (200 + 198 + 28) * 2, 3},
        {"a key held further back", edited, kAug10, 1, renumbered(withoutThatKey, 11), 1, 1},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        FBoxes.Clear();
        FServer.ClearRequests();
        FState.FDraws = c.Stored;
        SetToday(c.Today);
        FSite.SetRowCopies(c.Copies);

        EXPECT_EQ(FDownload.Execute(), static_cast<int>(c.Fresh.size()));
        EXPECT_FALSE(FDownload.Failed());
        TDrawsArray expected = c.Stored;
        expected.insert(expected.end(), c.Fresh.begin(), c.Fresh.end());
        EXPECT_EQ(FState.FDraws, expected);
        EXPECT_EQ(SiteRequests().size(), c.Requests);
        // The box names every reason with a count: the copies are all told as repeated.
        ASSERT_EQ(FBoxes.Boxes().size(), 1);
        EXPECT_EQ(FBoxes.Last().Icon, TBoxIcon::Exclamation);
        EXPECT_EQ(FBoxes.Last().Text, QString::fromUtf8("Часть тиражей со страницы результатов не добавлена в архив:\n\n"
                                                        "уже есть в архиве или повторяется на странице: %1")
                                          .arg(c.Repeated));
    }
}

// The rows of one page are checked against the other rows of the same page, not only against
// the stored draws: a key once, and the draws taken in draw order.
TEST(ResultsPageTest, RowsAreCheckedAgainstTheRowsBeforeThem)
{
    TDrawsArray stored = MakeArchive(10);   // 08/01 M .. 08/05 E
    stored[2].Key.Set("08/09/2016 M");      // edited out of order, far from the newest four
    const TDateTime newest = StrToDrawDate(QStringLiteral("08/05/2016 E"));
    const QString r6 = QStringLiteral("<tr><div>08/06/2016</div><div>1-1</div><div>2-2</div></tr>");
    const QString r7 = QStringLiteral("<tr><div>08/07/2016</div><div>3-3</div><div>4-4</div></tr>");
    const QString r7e = QStringLiteral("<tr><div>08/07/2016</div><div>-</div><div>5-5</div></tr>");
    const QString r5 = QStringLiteral("<tr><div>08/05/2016</div><div>6-6</div><div>7-7</div></tr>");
    const QString r9 = QStringLiteral("<tr><div>08/09/2016</div><div>8-8</div><div>9-9</div></tr>");
    struct TCase {
        const char* Name;
        QString Table;
        TDateTime After;
        const char* Taken;
        int Repeated, NotNewer;
    } const cases[] = {
        {"in order", r6 + r7, newest, "08/06 M,08/06 E,08/07 M,08/07 E", 0, 0},
        {"a row twice", r6 + r6 + r7, newest, "08/06 M,08/06 E,08/07 M,08/07 E", 2, 0},
        {"a row twice, the evening differing", r7 + r7e, newest, "08/07 M,08/07 E", 1, 0},
        {"the stored newest day twice: quiet", r5 + r5 + r6, newest, "08/06 M,08/06 E", 0, 0},
        {"a day listed after a later one: draw order", r7 + r6, newest, "08/06 M,08/06 E,08/07 M,08/07 E", 0, 0},
        {"the same without a stored bound", r7 + r6, 0, "08/06 M,08/06 E,08/07 M,08/07 E", 0, 0},
        {"a key stored further back", r6 + r9, newest, "08/06 M,08/06 E,08/09 E", 1, 0},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        TResultsWindow window;
        window.After = c.After;
        TResultsSkipped skipped;
        const TDrawsArray found = ParseResultsTable(c.Table, stored, window, &skipped);
        QStringList keys;
        for (size_t i = 0; i < found.size(); ++i) {
            keys.append(found[i].Key.Get().mid(0, 5) + found[i].Key.Get().mid(10));
            EXPECT_EQ(found[i].Number, 11 + i);
        }
        EXPECT_EQ(keys.join(','), QLatin1String(c.Taken));
        EXPECT_EQ(skipped.Repeated, c.Repeated);
        EXPECT_EQ(skipped.NotNewer, c.NotNewer);
        EXPECT_EQ(skipped.OutsideWindow, 0);
    }
}

// The player's archive (300 draws up to 12/28/2016 E) on 01/10/2017 and a site that lists its
// days newest first: the draws come in draw order, numbered on without a gap; draws not held
// yet and cells that are no two digits are left out and told ("" and "-" pass quietly).
TEST_F(DownloadTest, PageRowsNewestFirstAndCellsThatAreNoDraws)
{
    FServer.Route(ResultsSearchPath, [this](const TStandInRequest&) {
        const QByteArray page = FSite.Page(QDate(2016, 12, 28), QDate(2017, 1, 10));
        const qsizetype first = page.indexOf("\n<tr") + 1, end = page.indexOf("</tbody>");
        QList<QByteArray> rows = page.mid(first, end - first).split('\n');
        std::reverse(rows.begin(), rows.end());
        return TStandInReply::Text(page.left(first) + rows.join('\n') + page.mid(end));
    });
    // The midday cells of 12/30 .. 01/05 (full-width digits fourth).
    const char* const cells[] = {"99999999999999999999-1", "&#49;-&#50;", "1.5-2", "\xEF\xBC\x91-\xEF\xBC\x92", "-1-5", "", "-"};
    const struct {
        int Hour;   // today's draws are held at 13:00 and 19:57
        bool BadCells;
        const char* Told;
    } cases[] = {{23, false, ""}, {12, false, "с датой и временем позже текущих: 2"},
                 {23, true, "с результатом не из двух цифр 0..9: 5"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Told);
        FBoxes.Clear();
        FState.FDraws = MakeArchive(300);
        FNow = QDateTime(QDate(2017, 1, 10), QTime(c.Hour, 0));
        TDrawsArray expected = MakeArchive(300);
        const TDrawsArray site = SiteDraws(QDate(2016, 12, 29), QDate(2017, 1, 10));   // two a day
        for (size_t i = 0; i < site.size(); ++i) {
            const bool badCell = c.BadCells && i % 2 == 0 && i / 2 >= 1 && i / 2 <= 7;
            if (badCell)
                FSite.SetCell(QDate(2016, 12, 29).addDays(i / 2), false, U(cells[i / 2 - 1]));
            if (!badCell && (c.Hour >= 13 || i < 24)) {
                expected.push_back(site[i]);
                expected.back().Number = static_cast<std::uint32_t>(expected.size());
            }
        }
        EXPECT_EQ(FDownload.Execute(), static_cast<int>(expected.size()) - 300);
        EXPECT_EQ(FState.FDraws, expected);
        ASSERT_EQ(FBoxes.Boxes().size(), *c.Told ? 1 : 0);
        EXPECT_EQ(FBoxes.Last().Text, *c.Told ? U("Часть тиражей со страницы результатов не добавлена в архив:\n\n")
                                                    + U(c.Told) : QString());
    }
}

// The player's archive (300 draws up to 12/28/2016 E) on 06/30/2017, and sites that leave days out
// of a page: every draw they give is stored in draw order and numbered on, none ahead of a gap.
TEST_F(DownloadTest, DaysAPageLeavesOutAreAskedForAgain)
{
    using O = TOperatorSite::TRowOrder;
    const QDate first(2016, 12, 29), gapEnd(2017, 1, 5), today(2017, 6, 30);
    const struct {
        const char* Name;
        O Order;
        int Rows;
        QDate ListedFrom, ListedTo;   // listed whatever is asked, and nothing held after 12/28
        bool Gap;                     // 12/29 .. 01/05 listed without draws
        int Requests;       // 30 newest: 03/08 .., 02/06 .., 01/07 .., 12/29 .. 01/06; 06/01 .., 05/02 .., 04/07 ..
        const char* Told;   // "": every draw the site holds is stored
        int Kept = 0;       // when told: the days after 12/28 stored before the download stopped
    } cases[] = {
        {"the 30 newest days of each range", O::Newest, 30, {}, {}, false, 7, ""},
        {"two tables, the newest half first", O::TwoTables, 0, {}, {}, false, 2, ""},
        {"the newest day of each range only", O::Newest, 1, {}, {}, false, ResultsRequestsPerWindow,
         "позже дней 12/29/2016 - 03/17/2017, запрошенных, но не выданных сайтом (загрузка остановлена на пределе "
         "в 20 запросов): 40"},
        {"the same page whatever is asked", O::OldestFirst, 0, QDate(2017, 3, 1), QDate(2017, 3, 10), false, 2,
         "с датой вне запрошенного периода: 20\n"
         "позже дней 12/29/2016 - 02/28/2017, тиражей которых сайт не выдал (загрузка остановлена): 20"},
        {"the 7 oldest days of each range", O::Oldest, 7, {}, {}, false, 15 + 13, ""},   // 12/28 .., 01/04 ..; 04/06 ..
        {"its 30 newest days whatever is asked, a window behind", O::OldestFirst, 0, QDate(2017, 6, 1), today, false, 1,
         "с датой вне запрошенного периода: 60\nза дни 12/29/2016 - 04/06/2017 сайт не выдал тиражей (загрузка "
         "остановлена)"},
        {"the oldest day of each range only", O::Oldest, 1, {}, {}, false, ResultsRequestsPerWindow,   // 12/28, 12/29 ..
         "за дни 01/17/2017 - 04/06/2017 сайт не выдал тиражей (загрузка остановлена на пределе в 20 запросов)", 19},
        {"days without draws at a window's start", O::Newest, 30, {}, {}, true, 7, ""},   // the last: cells stay
    };
    SetToday(today);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        FBoxes.Clear();
        FServer.ClearRequests();
        FState.FDraws = MakeArchive(300);
        FSite.SetRowOrder(c.Order, c.Rows);
        FSite.SetLastHeld(c.ListedFrom.isValid() ? QDate(2016, 12, 28) : QDate(), true);
        FSite.SetExtraDays(c.ListedFrom, c.ListedTo);
        for (QDate day = first; c.Gap && day <= gapEnd; day = day.addDays(1))
            for (const bool evening : {false, true})
                FSite.SetCell(day, evening, "");
        TDrawsArray expected = MakeArchive(300);
        const TDrawsArray fresh = SiteDraws(c.Gap ? gapEnd.addDays(1) : first, today, 301);
        expected.insert(expected.end(), fresh.begin(), *c.Told ? fresh.begin() + 2 * c.Kept : fresh.end());
        EXPECT_EQ(FDownload.Execute(), static_cast<int>(expected.size()) - 300);
        EXPECT_EQ(FState.FDraws, expected);
        EXPECT_EQ(SiteRequests().size(), c.Requests);
        EXPECT_EQ(FDownload.Failed(), *c.Told != 0);
        EXPECT_EQ(FBoxes.Last().Icon, *c.Told ? TBoxIcon::Error : TBoxIcon::Information);   // none: the default
        ASSERT_EQ(FBoxes.Boxes().size(), *c.Told ? 1 : 0);
        EXPECT_EQ(FBoxes.Last().Text, *c.Told ? U("Часть тиражей со страницы результатов не добавлена в архив:\n\n")
                                                    + U(c.Told) : QString());
    }
}

// A page at the reply cap, 42 000 days in random order, read as any page (bench_results_page times it).
TEST_F(DownloadTest, PageAtTheReplyCap)
{
    FSite.SetRowOrder(TOperatorSite::TRowOrder::Shuffled);
    const QByteArray page = FSite.Page(kAug1, kAug1.addDays(41999));
    EXPECT_EQ(ParseResultsTable(ResultsTable(QString::fromLatin1(page)), {}), SiteDraws(kAug1, kAug1.addDays(41999)));
}
