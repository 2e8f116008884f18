#include "support/rHttpUtils.h"

#include "tests/support/HttpTestFixture.h"

#include <QDir>
#include <QFile>
#include <QNetworkCookieJar>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

// A page of text long enough for compression to matter.
QByteArray LongPage()
{
    QByteArray page = "<html><body>";
    for (int i = 0; i < 3000; ++i)
        page += "<tr><td>" + QByteArray::number(i) + "</td><td>Тираж</td></tr>\n";
    return page + "</body></html>";
}

} // namespace

TEST(rHttpUtils, AddressHelpers)
{
    EXPECT_EQ(UrlBasePath("https://host/files/autoupdates/Kelma_AU.cfg"), "https://host/files/autoupdates/");
    EXPECT_EQ(UrlBasePath("no-slash"), "");
    EXPECT_EQ(AddUrlParam("", "a=1"), "a=1");
    EXPECT_EQ(AddUrlParam("a=1", ""), "a=1");
    EXPECT_EQ(AddUrlParam("a=1", "b=2"), "a=1&b=2");
    EXPECT_TRUE(IsHttpsUrl("HTTPS://HOST/"));
    EXPECT_FALSE(IsHttpsUrl("http://host/"));
    EXPECT_FALSE((THttpProxy{"", 8080, "", ""}.Usable()));
    EXPECT_FALSE((THttpProxy{"proxy", 0, "", ""}.Usable()));
    EXPECT_TRUE((THttpProxy{"proxy", 3128, "", ""}.Usable()));
}

TEST(rHttpUtils, FormEncodingKeepsOrderAndPlusSigns)
{
    EXPECT_EQ(EncodeFormFields({"appid=Tavrix", "title=AAA+BBB/CCC==", "cl_name=Иван Петров", "empty=", "flag",
                                "expr=a=b&c"}),
              QByteArray("appid=Tavrix&title=AAA%2BBBB%2FCCC%3D%3D&cl_name=%D0%98%D0%B2%D0%B0%D0%BD+"
                         "%D0%9F%D0%B5%D1%82%D1%80%D0%BE%D0%B2&empty=&flag&expr=a%3Db%26c"));
    EXPECT_EQ(EncodeFormFields({}), QByteArray());
}

TEST_F(HttpTest, GetSendsTheFixedHeadersAndTheExactTarget)
{
    FServer.Route("/site/winningNumberSearch", TStandInReply::Text("Тиражи: 1-2"));
    const QString target = "/site/winningNumberSearch?searchTypeIn=range&gameNameIn=PICK2&singleDateIn="
                           "&fromDateIn=08%2F01%2F2016&toDateIn=11%2F08%2F2016&submitForm=Submit";
    EXPECT_EQ(HttpGetText(nullptr, Url(target), kTlsNone, true), QStringLiteral("Тиражи: 1-2"));
    ASSERT_EQ(FServer.Requests().size(), 1);
    const TStandInRequest& rq = FServer.Requests()[0];
    EXPECT_EQ(rq.Method, "GET");
    EXPECT_EQ(rq.Target, target.toLatin1());
    EXPECT_EQ(rq.Header("Accept"), "text/html,application/xhtml+xml,application/xml;q=0.9,*/*;q=0.8");
    EXPECT_EQ(rq.Header("Accept-Encoding"), "gzip, deflate, sdch");
    EXPECT_EQ(rq.Header("User-Agent"), "Mozilla/5.0 (Windows NT 6.1; WOW64) AppleWebKit/537.36 (KHTML, like Gecko) "
                                       "Chrome/47.0.2526.80 Safari/537.36");
    EXPECT_FALSE(rq.HasHeader("Proxy-Authorization"));
}

TEST_F(HttpTest, TextFollowsTheCharsetOfTheReply)
{
    FServer.Route("/cp1251", TStandInReply::Text("\xD2\xE8\xF0\xE0\xE6", "text/html; charset=windows-1251"));
    FServer.Route("/plain", TStandInReply::Text("\xD0\xA2\xD0\xB8\xD1\x80\xD0\xB0\xD0\xB6", "text/plain"));
    EXPECT_EQ(HttpGetText(nullptr, Url("/cp1251"), kTlsNone, true), QStringLiteral("Тираж"));
    EXPECT_EQ(HttpGetText(nullptr, Url("/plain"), kTlsNone, true), QStringLiteral("Тираж"));
}

TEST_F(HttpTest, PostSendsTheFieldsInOrder)
{
    FServer.Route("/scripts/get_list.php", TStandInReply::Text("<result>ok</result>"));
    const QStringList fields{"appid=Tavrix2_2r10", "appver=2.2.10.7", "script=QUJD+/de==", "cl_name=Иван Петров",
                             "cl_lcid=1049"};
    EXPECT_EQ(HttpPostFormAuto(Url("/scripts/get_list.php"), fields, true), "<result>ok</result>");
    ASSERT_EQ(FServer.Requests().size(), 1);
    const TStandInRequest& rq = FServer.Requests()[0];
    EXPECT_EQ(rq.Method, "POST");
    EXPECT_TRUE(rq.Header("Content-Type").startsWith("application/x-www-form-urlencoded"));
    ASSERT_EQ(rq.FormFields.size(), 5);
    EXPECT_EQ(rq.FormFields[0], qMakePair(QStringLiteral("appid"), QStringLiteral("Tavrix2_2r10")));
    EXPECT_EQ(rq.FormFields[2], qMakePair(QStringLiteral("script"), QStringLiteral("QUJD+/de==")));
    EXPECT_EQ(rq.FormFields[3].second, QStringLiteral("Иван Петров"));
    EXPECT_EQ(rq.FormFields[4].first, QStringLiteral("cl_lcid"));
}

TEST_F(HttpTest, CompressedRepliesAreInflated)
{
    const QByteArray page = LongPage();
    for (const TBodyEncoding encoding : {TBodyEncoding::Gzip, TBodyEncoding::Deflate, TBodyEncoding::RawDeflate}) {
        TStandInReply reply = TStandInReply::Text(page);
        reply.Encoding = encoding;
        FServer.Route("/page", reply);
        const QString text = HttpGetText(nullptr, Url("/page"), kTlsNone, true);
        EXPECT_EQ(text.toUtf8(), page) << static_cast<int>(encoding);
    }
    // The compressed body really was smaller on the wire: the stand-in compressed it.
    EXPECT_LT(StandInCompress(page, TBodyEncoding::Gzip).size(), page.size() / 4);

    TStandInReply damaged = TStandInReply::Text("\x1f\x8b\x08\x00 not a gzip stream at all");
    damaged.Headers.append(qMakePair(QByteArray("Content-Encoding"), QByteArray("gzip")));
    FServer.Route("/damaged", damaged);
    EXPECT_THROW(HttpGetText(nullptr, Url("/damaged"), kTlsNone, true), EHttpError);
}

TEST_F(HttpTest, RedirectCarriesItsCookie)
{
    FServer.Route("/start", TStandInReply::Redirect(302, "/next?x=1", {"sid=42; Path=/"}));
    FServer.Route("/next", [](const TStandInRequest& rq) { return TStandInReply::Text("cookie " + rq.Header("Cookie")); });
    EXPECT_EQ(HttpGetText(nullptr, Url("/start"), kTlsNone, true), "cookie sid=42");
    ASSERT_EQ(FServer.Requests().size(), 2);
    EXPECT_EQ(FServer.Requests()[1].Target, "/next?x=1");

    // A form posted to a moved address arrives there as a GET, as browsers do.
    FServer.ClearRequests();
    FServer.Route("/post", TStandInReply::Redirect(303, FServer.BaseUrl().toLatin1() + "/next"));
    EXPECT_EQ(HttpPostForm(nullptr, Url("/post"), {"a=1"}, true, kTlsNone), "cookie ");   // no cookie: a new client
    EXPECT_EQ(FServer.Requests()[1].Method, "GET");

    // Not following: the redirect is an error with its status.
    try {
        HttpGetText(nullptr, Url("/start"), kTlsNone, false);
        FAIL() << "redirect followed";
    } catch (const EHttpError& e) {
        EXPECT_EQ(e.StatusCode(), 302);
    }

    // Endless redirects end.
    FServer.Route("/loop", TStandInReply::Redirect(302, "/loop"));
    EXPECT_THROW(HttpGetText(nullptr, Url("/loop"), kTlsNone, true), EHttpError);
}

TEST_F(HttpTest, CookieJarOfTheCallerSurvivesTheRequest)
{
    FServer.Route("/login", TStandInReply::Redirect(302, "/home", {"user=7; Path=/"}));
    FServer.Route("/home", [](const TStandInRequest& rq) { return TStandInReply::Text(rq.Header("Cookie")); });
    QNetworkCookieJar jar;
    THttpRequest request;
    request.Url = Url("/login");
    request.CookieJar = &jar;
    EXPECT_EQ(HttpExecute(request).Body, "user=7");
    request.Url = Url("/home");
    EXPECT_EQ(HttpExecute(request).Body, "user=7");   // the jar kept it between requests
    EXPECT_EQ(jar.parent(), nullptr);
}

TEST_F(HttpTest, ProxyWithCredentials)
{
    FServer.RequireProxyAuth("user", "pass");
    FServer.Route("/path", TStandInReply::Text("via proxy"));
    const THttpProxy proxy{"127.0.0.1", FServer.Port(), "user", "pass"};
    EXPECT_EQ(HttpGetText(&proxy, "http://origin.invalid/path?q=1", kTlsNone, true), "via proxy");
    const TStandInRequest& last = FServer.Requests().constLast();
    EXPECT_EQ(last.Target, "http://origin.invalid/path?q=1");
    EXPECT_EQ(last.Header("Proxy-Authorization"), "Basic dXNlcjpwYXNz");

    const THttpProxy wrong{"127.0.0.1", FServer.Port(), "user", "nope"};
    EXPECT_THROW(HttpGetText(&wrong, "http://origin.invalid/path", kTlsNone, true), EHttpError);

    // An unusable proxy is ignored: the request goes straight to the server.
    FServer.ClearRequests();
    const THttpProxy empty{"", FServer.Port(), "user", "pass"};
    EXPECT_EQ(HttpGetText(&empty, Url("/path"), kTlsNone, true), "via proxy");
    EXPECT_EQ(FServer.Requests()[0].Target, "/path");
}

TEST_F(HttpTest, FailuresReadInRussianWithTheSystemsDetail)
{
    const int closed = ClosedLocalPort();
    try {
        HttpGetText(nullptr, QStringLiteral("http://127.0.0.1:%1/").arg(closed), kTlsNone, true);
        FAIL() << "no error";
    } catch (const EHttpError& e) {
        EXPECT_EQ(e.Message(), QStringLiteral("Сервер \"127.0.0.1\" отказал в соединении (Connection refused)"));
        EXPECT_EQ(e.StatusCode(), 0);
    }

    // A proxy nobody listens on is named as the proxy.
    const THttpProxy deadProxy{"127.0.0.1", closed, "", ""};
    try {
        HttpGetText(&deadProxy, "http://origin.invalid/path", kTlsNone, true);
        FAIL() << "no error";
    } catch (const EHttpError& e) {
        EXPECT_TRUE(e.Message().startsWith(QStringLiteral("Прокси-сервер \"127.0.0.1\" отказал в соединении (")))
            << e.Message().toStdString();
    }

    FServer.RequireProxyAuth("user", "pass");
    FServer.Route("/path", TStandInReply::Text("via proxy"));
    const THttpProxy wrong{"127.0.0.1", FServer.Port(), "user", "nope"};
    try {
        HttpGetText(&wrong, "http://origin.invalid/path", kTlsNone, true);
        FAIL() << "no error";
    } catch (const EHttpError& e) {
        EXPECT_TRUE(e.Message().startsWith(
            QStringLiteral("Прокси-сервер \"127.0.0.1\" не принял имя пользователя или пароль (")))
            << e.Message().toStdString();
    }

    FServer.Route("/drop", TStandInReply::WithAction(TReplyAction::Drop));
    try {
        HttpGetText(nullptr, Url("/drop"), kTlsNone, true);
        FAIL() << "no error";
    } catch (const EHttpError& e) {
        EXPECT_TRUE(e.Message().startsWith(QStringLiteral("Сервер \"127.0.0.1\" разорвал соединение (")))
            << e.Message().toStdString();
    }

    FServer.Route("/moved", TStandInReply::Redirect(302, "/path"));
    try {
        HttpGetText(nullptr, Url("/moved"), kTlsNone, false);
        FAIL() << "redirect followed";
    } catch (const EHttpError& e) {
        EXPECT_EQ(e.Message(), QStringLiteral("Сервер \"127.0.0.1\" перенаправил запрос на другой адрес (HTTP/1.1 302)"));
    }
}

TEST(rHttpUtils, ErrorTextsOfTheCommonFailures)
{
    struct TCase {
        QNetworkReply::NetworkError Error;
        const char* Proxy;
        const char* Expected;
    };
    const TCase cases[] = {
        {QNetworkReply::HostNotFoundError, "", "Сервер \"site.example\" не найден (detail)"},
        {QNetworkReply::ConnectionRefusedError, "", "Сервер \"site.example\" отказал в соединении (detail)"},
        {QNetworkReply::RemoteHostClosedError, "", "Сервер \"site.example\" разорвал соединение (detail)"},
        {QNetworkReply::TimeoutError, "", "Сервер \"site.example\" не ответил вовремя (detail)"},
        {QNetworkReply::SslHandshakeFailedError, "",
         "Не удалось установить защищённое соединение с сервером \"site.example\" (detail)"},
        {QNetworkReply::ProxyNotFoundError, "proxy.example", "Прокси-сервер \"proxy.example\" не найден (detail)"},
        {QNetworkReply::ProxyConnectionRefusedError, "proxy.example",
         "Прокси-сервер \"proxy.example\" отказал в соединении (detail)"},
        {QNetworkReply::ProxyConnectionClosedError, "proxy.example",
         "Прокси-сервер \"proxy.example\" разорвал соединение (detail)"},
        {QNetworkReply::ProxyTimeoutError, "proxy.example", "Прокси-сервер \"proxy.example\" не ответил вовремя (detail)"},
        {QNetworkReply::ProxyAuthenticationRequiredError, "proxy.example",
         "Прокси-сервер \"proxy.example\" не принял имя пользователя или пароль (detail)"},
        {QNetworkReply::UnknownProxyError, "proxy.example", "Ошибка прокси-сервера \"proxy.example\" (detail)"},
        {QNetworkReply::TemporaryNetworkFailureError, "", "Сеть недоступна (detail)"},
        {QNetworkReply::ProtocolFailure, "", "Ошибка обмена данными с сервером \"site.example\" (detail)"},
        // Through a proxy, the connection that failed was the proxy's.
        {QNetworkReply::ConnectionRefusedError, "proxy.example",
         "Прокси-сервер \"proxy.example\" отказал в соединении (detail)"},
        {QNetworkReply::HostNotFoundError, "proxy.example", "Прокси-сервер \"proxy.example\" не найден"},
        {QNetworkReply::SslHandshakeFailedError, "proxy.example",
         "Не удалось установить защищённое соединение с сервером \"site.example\" (detail)"},
    };
    for (const TCase& c : cases)
        EXPECT_EQ(HttpErrorText(c.Error, "site.example", c.Proxy, "detail"), QString::fromUtf8(c.Expected))
            << static_cast<int>(c.Error) << " " << c.Proxy;
    // Without a proxy its errors name the host; without a detail nothing is bracketed.
    EXPECT_EQ(HttpErrorText(QNetworkReply::ProxyNotFoundError, "site.example", "", ""),
              QStringLiteral("Прокси-сервер \"site.example\" не найден"));
    EXPECT_EQ(HttpStatusText(503, "site.example", "HTTP/1.1 503 Service Unavailable"),
              QStringLiteral("Сервер \"site.example\" ответил ошибкой 503 (HTTP/1.1 503 Service Unavailable)"));
    // A host too long to be real is quoted short: the reason after it stays in the box.
    EXPECT_EQ(HttpErrorText(QNetworkReply::ProxyTimeoutError, "site.example", QString(5000, 'p'), "detail"),
              "Прокси-сервер \"" + QString(64, 'p') + "…\" не ответил вовремя (detail)");
    // A host name is data, never a format.
    EXPECT_EQ(HttpStatusText(500, "%s%d", ""), QStringLiteral("Сервер \"%s%d\" ответил ошибкой 500"));
}

TEST_F(HttpTest, DroppedConnectionsAndErrorStatusesRaise)
{
    FServer.Route("/drop", TStandInReply::WithAction(TReplyAction::Drop));
    TStandInReply half = TStandInReply::Text(LongPage());
    half.Action = TReplyAction::DropMidBody;
    FServer.Route("/half", half);
    FServer.Route("/error", TStandInReply::Error(503));
    EXPECT_THROW(HttpGetText(nullptr, Url("/drop"), kTlsNone, true), EHttpError);
    EXPECT_THROW(HttpGetText(nullptr, Url("/half"), kTlsNone, true), EHttpError);
    try {
        HttpGetText(nullptr, Url("/missing"), kTlsNone, true);
        FAIL() << "no error for 404";
    } catch (const EHttpError& e) {
        EXPECT_EQ(e.StatusCode(), 404);
        EXPECT_EQ(e.Message(), QStringLiteral("Сервер \"127.0.0.1\" ответил ошибкой 404 (HTTP/1.1 404 Not Found)"));
    }
    try {
        HttpPostFormAuto(Url("/error"), {"a=1"}, true);
        FAIL() << "no error for 503";
    } catch (const EHttpError& e) {
        EXPECT_EQ(e.StatusCode(), 503);
    }
}

TEST_F(HttpTest, DownloadWritesTheWholeFileOrNothing)
{
    QByteArray package(200000, '\0');
    for (int i = 0; i < package.size(); ++i)
        package[i] = static_cast<char>((i * 13) & 0xFF);
    TStandInReply reply;
    reply.Headers.append(qMakePair(QByteArray("Content-Type"), QByteArray("application/octet-stream")));
    reply.Body = package;
    reply.Encoding = TBodyEncoding::Gzip;
    FServer.Route("/files/pkg.upd", reply);

    QTemporaryDir dir;
    const QString file = dir.filePath("SelfUpdate_2.2.10.8.upd");
    {
        QFile existing(file);
        ASSERT_TRUE(existing.open(QIODevice::WriteOnly));
        existing.write(QByteArray(300000, 'x'));   // longer than the download: must be cut
    }
    HttpDownloadFile(Url("/files/pkg.upd"), file, false);
    QFile result(file);
    ASSERT_TRUE(result.open(QIODevice::ReadOnly));
    EXPECT_EQ(result.readAll(), package);
    result.close();

    TStandInReply half = reply;
    half.Action = TReplyAction::DropMidBody;
    half.Encoding = TBodyEncoding::Identity;
    FServer.Route("/files/half.upd", half);
    const QString broken = dir.filePath("broken.upd");
    EXPECT_THROW(HttpDownloadFile(Url("/files/half.upd"), broken, false), EHttpError);
    EXPECT_FALSE(QFile::exists(broken));
    EXPECT_THROW(HttpDownloadFile(Url("/files/none.upd"), broken, false), EHttpError);
    EXPECT_FALSE(QFile::exists(broken));
    // A failed download over an existing file leaves that file as it was, and no temporary
    // file behind.
    EXPECT_THROW(HttpDownloadFile(Url("/files/half.upd"), file, false), EHttpError);
    ASSERT_TRUE(result.open(QIODevice::ReadOnly));
    EXPECT_EQ(result.readAll(), package);
    result.close();
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList({"SelfUpdate_2.2.10.8.upd"}));
    EXPECT_THROW(HttpDownloadFile(Url("/files/pkg.upd"), dir.filePath("no/such/folder/x"), false), EHttpError);
}
