#include "support/rHttpUtils.h"
#include "support/rHttpUtilsInflate.h"

#include "tests/standin/HttpStandIn.h"
#include "tests/common/TestHelpers.h"

#include <QFile>
#include <QHostAddress>
#include <QNetworkCookieJar>
#include <QDir>
#include <QPointer>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <vector>

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <gtest/gtest.h>

namespace {

class HttpTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(FServer.Start());
        FSavedTimeouts = HttpTimeouts();
    }
    void TearDown() override { SetHttpTimeouts(FSavedTimeouts); }

    QString Url(const QString& pathAndQuery) const { return FServer.BaseUrl() + pathAndQuery; }

    THttpStandIn FServer;
    THttpTimeouts FSavedTimeouts;
};

// A local port nobody listens on.
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

TEST_F(HttpTest, StalledServerTimesOut)
{
    FServer.Route("/stall", TStandInReply::WithAction(TReplyAction::Stall));
    SetHttpTimeouts({300, 300});
    try {
        HttpGetText(nullptr, Url("/stall"), kTlsNone, true);
        FAIL() << "no time-out";
    } catch (const EHttpError& e) {
        EXPECT_EQ(e.Message(), QStringLiteral("Превышено время ожидания ответа от сервера \"127.0.0.1\"!"));
        EXPECT_EQ(e.StatusCode(), 0);
    }
    // The request's own time-outs win over the defaults.
    SetHttpTimeouts({60000, 60000});
    THttpRequest request;
    request.Url = Url("/stall");
    request.ConnectTimeoutMs = 200;
    request.ReadTimeoutMs = 200;
    EXPECT_THROW(HttpExecute(request), EHttpError);
}

namespace {

// A listening socket that never accepts and whose queue is already full: the kernel drops the
// opening packet of every further connection, so a client stays in the connection phase.
class TFullListener {
public:
    TFullListener()
    {
        FListener = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof(address);
        if (FListener < 0 || ::bind(FListener, reinterpret_cast<sockaddr*>(&address), length) != 0
            || ::listen(FListener, 0) != 0
            || ::getsockname(FListener, reinterpret_cast<sockaddr*>(&address), &length) != 0)
            return;
        FPort = ntohs(address.sin_port);
        // The first connection fills the queue of length 0 (the kernel allows one more than
        // asked); the others make sure of it.
        for (int i = 0; i < 3; ++i) {
            const int client = ::socket(AF_INET, SOCK_STREAM, 0);
            ::fcntl(client, F_SETFL, O_NONBLOCK);
            ::connect(client, reinterpret_cast<sockaddr*>(&address), sizeof(address));
            FClients.push_back(client);
        }
    }
    ~TFullListener()
    {
        for (const int client : FClients)
            ::close(client);
        if (FListener >= 0)
            ::close(FListener);
    }
    TFullListener(const TFullListener&) = delete;
    TFullListener& operator=(const TFullListener&) = delete;

    int Port() const { return FPort; }

private:
    int FListener = -1;
    int FPort = 0;
    std::vector<int> FClients;
};

// A server that reads one request, waits one step, sends its headers, then the body one byte
// per step: the whole reply takes longer than either time-out, while no pause does.
class TTrickleServer : public QObject {
public:
    TTrickleServer(const QByteArray& body, int stepMs) : FBody(body), FStepMs(stepMs)
    {
        QObject::connect(&FServer, &QTcpServer::newConnection, this, [this] {
            QTcpSocket* socket = FServer.nextPendingConnection();
            QObject::connect(socket, &QTcpSocket::readyRead, this, [this, socket] {
                FRequest += socket->readAll();
                if (FRequest.contains("\r\n\r\n") && !FTimer.isActive())
                    Begin(socket);
            });
        });
        FTimer.setTimerType(Qt::PreciseTimer);
    }
    bool Start() { return FServer.listen(QHostAddress::LocalHost, 0); }
    QString Url() const { return QStringLiteral("http://127.0.0.1:%1/slow").arg(FServer.serverPort()); }

private:
    void Begin(QTcpSocket* socket)
    {
        FSocket = socket;
        QObject::connect(&FTimer, &QTimer::timeout, this, [this] {
            if (!FSocket)
                return FTimer.stop();
            if (!FHeadersSent) {
                FSocket->write("HTTP/1.1 200 OK\r\nContent-Type: text/plain\r\nContent-Length: "
                               + QByteArray::number(FBody.size()) + "\r\n\r\n");
                FHeadersSent = true;
            } else if (FSent < FBody.size()) {
                FSocket->write(FBody.mid(FSent++, 1));
            } else {
                FTimer.stop();
            }
            FSocket->flush();
        });
        FTimer.start(FStepMs);
    }

    QTcpServer FServer;
    QByteArray FBody;
    int FStepMs;
    QByteArray FRequest;
    QPointer<QTcpSocket> FSocket;
    QTimer FTimer;
    bool FHeadersSent = false;
    qsizetype FSent = 0;
};

} // namespace

TEST_F(HttpTest, ReadTimeOutCountsFromTheRequestSentNotFromTheStart)
{
    // The server takes the request and never answers. A connect time-out far too long to be
    // reached: the request fails by the read time-out, which ran from the request sent.
    FServer.Route("/stall", TStandInReply::WithAction(TReplyAction::Stall));
    THttpRequest request;
    request.Url = Url("/stall");
    request.ConnectTimeoutMs = 600000;
    request.ReadTimeoutMs = 300;
    try {
        HttpExecute(request);
        FAIL() << "no time-out";
    } catch (const EHttpError& e) {
        EXPECT_EQ(e.Failure(), THttpFailure::ReadTimeout);
        EXPECT_EQ(e.Message(), QStringLiteral("Превышено время ожидания ответа от сервера \"127.0.0.1\"!"));
    }
    EXPECT_EQ(FServer.Requests().size(), 1);
}

TEST_F(HttpTest, ConnectTimeOutCoversOnlyTheConnection)
{
    // A server whose queue is full never completes the connection: the connect time-out ends
    // it, although the read time-out is far too long to be reached.
    TFullListener listener;
    ASSERT_GT(listener.Port(), 0);
    THttpRequest request;
    request.Url = QStringLiteral("http://127.0.0.1:%1/").arg(listener.Port());
    request.ConnectTimeoutMs = 300;
    request.ReadTimeoutMs = 600000;
    try {
        HttpExecute(request);
        FAIL() << "no time-out";
    } catch (const EHttpError& e) {
        EXPECT_EQ(e.Failure(), THttpFailure::ConnectTimeout);
        EXPECT_EQ(e.Message(), QStringLiteral("Превышено время ожидания соединения с сервером \"127.0.0.1\"!"));
    }
}

TEST_F(HttpTest, ASlowReplyThatKeepsComingIsNotCutOff)
{
    // The server answers one step after the request, then sends a byte per step. The step is
    // longer than the connect time-out, which must have stopped once the request was out, and
    // far shorter than the read time-out, which starts again with every byte; the reply as a
    // whole outlasts both.
    const QByteArray body = "012";
    TTrickleServer slow(body, 700);
    ASSERT_TRUE(slow.Start());
    THttpRequest request;
    request.Url = slow.Url();
    request.ConnectTimeoutMs = 400;
    request.ReadTimeoutMs = 2000;
    EXPECT_EQ(HttpExecute(request).Body, body);
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
        {QNetworkReply::HostNotFoundError, "proxy.example", "Прокси-сервер \"proxy.example\" не найден (detail)"},
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

namespace {

// One row of a list page as the site writes it: the first half of the address reversed, the
// rest as Base64 in hexadecimal escapes, the port before the page's shift.
QByteArray ProxyRow(const QString& address, int port)
{
    const qsizetype cut = address.lastIndexOf(QLatin1Char('.'));
    QString first = address.left(cut);
    std::reverse(first.begin(), first.end());
    QByteArray escaped;
    for (const char c : address.mid(cut).toLatin1().toBase64())
        escaped += "\\x" + QByteArray::number(static_cast<unsigned char>(c), 16);
    return "<tr><td><script>var s = '" + first.toLatin1() + "'.split('').reverse().join(''); var t = atob('"
           + escaped + "'); var pp = (" + QByteArray::number(port)
           + " - 0); document.write(s + t + ':' + pp);</script></td><td>HTTP</td></tr>\n";
}

QByteArray ProxyPage(int firstIndex, int rows, int shift, int port = 8000)
{
    QByteArray page = "<html><div style=\"display:none\" data-shift=\"" + QByteArray::number(shift)
                      + "\"></div><table><thead><tr><th>IP</th></tr></thead><tbody>\n";
    for (int i = 0; i < rows; ++i)
        page += ProxyRow(QStringLiteral("10.0.%1.%2").arg((firstIndex + i) / 100).arg((firstIndex + i) % 100),
                         port + (firstIndex + i) % 2);
    return page + "</tbody></table></html>";
}

class ProxyListTest : public HttpTest {
protected:
    void SetUp() override
    {
        HttpTest::SetUp();
        qputenv("TAVRIX_PROXYLIST_URL", Url("/list/").toLatin1());
    }
    void TearDown() override
    {
        qunsetenv("TAVRIX_PROXYLIST_URL");
        HttpTest::TearDown();
    }
    // Serves pages of 15 rows up to `total` rows, the offset taken from the query.
    void ServeRows(int total, int shift, int port = 8000)
    {
        FServer.Route("/list/", [=](const TStandInRequest& rq) {
            int offset = 0;
            for (const QByteArray& part : rq.Query.split('&'))
                if (part.startsWith("offset="))
                    offset = part.mid(7).toInt();
            return TStandInReply::Text(ProxyPage(offset, std::clamp(total - offset, 0, 15), shift, port));
        });
    }
};

} // namespace

TEST(rHttpUtils, ProxyListQueryInItsFixedOrder)
{
    // The search of the main window: a response time of 10 ms is 0 whole seconds.
    EXPECT_EQ(ProxyListQuery(kProxyHttp | kProxyHttps, 0, "", 75, 10, 1),
              "protocol=http&protocol=https&min_uptime=75&max_response_time=0");
    EXPECT_EQ(ProxyListQuery(15, 1 | 4, "RU; ua ,US", 0, 2500, 3),
              "protocol=http&protocol=https&protocol=socks4&protocol=socks5&anonlvl=1&anonlvl=3&country=RU"
              "&country=ua&country=US&max_response_time=2&offset=30");
    EXPECT_EQ(ProxyListQuery(0, 0, "", 0, 0, 1), "");
}

TEST(rHttpUtils, ProxyListPageRows)
{
    QStringList list;
    EXPECT_EQ(ParseProxyListPage(ProxyPage(0, 3, 80), 0, list), 3);
    EXPECT_EQ(list, (QStringList{"10.0.0.0:8080", "10.0.0.1:8081", "10.0.0.2:8080"}));
    // Rows of another port are counted but not listed.
    list.clear();
    EXPECT_EQ(ParseProxyListPage(ProxyPage(0, 3, 80), 8081, list), 3);
    EXPECT_EQ(list, QStringList{"10.0.0.1:8081"});
    // No table: no rows.
    EXPECT_EQ(ParseProxyListPage("<html>busy</html>", 0, list), 0);

    QByteArray cut = ProxyPage(0, 2, 0);
    cut.chop(QByteArray("</tbody></table></html>").size());
    EXPECT_THROW(ParseProxyListPage(cut, 0, list), Exception);
    QByteArray badPort = ProxyPage(0, 1, 0);
    badPort.replace("(8000 - 0)", "(80x0 - 0)");
    EXPECT_THROW(ParseProxyListPage(badPort, 0, list), EConvertError);
}

// The port is the row's number plus the page's offset; a sum outside 1..65535, also one past
// the 32-bit range, makes the page as unreadable as a port that is not a number.
TEST(rHttpUtils, ProxyListPortOutOfRange)
{
    QStringList list;
    const QByteArray fuzzed = QByteArray::fromHex(
        "003c74626f64793e3c74723e3c7363726970743e7070203d2824374646464646464620643b3c2f7363726970743e3c6469"
        "76207374796c653d22646973706c61793a6e6f6e652220646174612d3d2235223c2f6469763e3c2f74626f64793e");
    EXPECT_THROW(ParseProxyListPage(QString::fromLatin1(fuzzed.mid(1)), 0, list), EConvertError);
    EXPECT_TRUE(list.isEmpty());

    struct {
        int port;
        int shift;
        bool valid;
    } const cases[] = {
        {65535, 0, true}, {65530, 5, true}, {1, 0, true}, {65536, 0, false}, {65535, 1, false},
        {0, 0, false},    {5, -5, false},   {-1, 0, false}, {2147483647, 5, false}, {-2147483647, -5, false},
    };
    for (const auto& c : cases) {
        QByteArray page = ProxyPage(0, 1, c.shift);
        page.replace("(8000 - 0)", "(" + QByteArray::number(c.port) + " - 0)");
        list.clear();
        if (c.valid) {
            EXPECT_EQ(ParseProxyListPage(page, 0, list), 1) << c.port << " " << c.shift;
            EXPECT_EQ(list, QStringList{QStringLiteral("10.0.0.0:%1").arg(c.port + c.shift)});
        } else {
            EXPECT_THROW(ParseProxyListPage(page, 0, list), EConvertError) << c.port << " " << c.shift;
        }
    }
}

TEST_F(ProxyListTest, PagesAreReadUntilEnoughEntries)
{
    ServeRows(100, 1000);
    QStringList list{"stale:1"};
    FetchProxyList(list, kProxyHttp | kProxyHttps, 0, "", 0, 75, 10, 30);
    ASSERT_EQ(list.size(), 30);
    EXPECT_EQ(list.first(), "10.0.0.0:9000");
    EXPECT_EQ(list.last(), "10.0.0.29:9001");
    ASSERT_EQ(FServer.Requests().size(), 2);
    const QByteArray query = "/list/?protocol=http&protocol=https&min_uptime=75&max_response_time=0";
    EXPECT_EQ(FServer.Requests()[0].Target, query);
    EXPECT_EQ(FServer.Requests()[1].Target, query + "&offset=15");
}

TEST_F(ProxyListTest, ShortPageOrPageLimitEndsTheSearch)
{
    // Only every second row has the port, so 30 entries would take four pages; the third is short.
    ServeRows(34, 0);
    QStringList list;
    FetchProxyList(list, kProxyHttp, 0, "", 8001, 0, 0, 30);
    EXPECT_EQ(FServer.Requests().size(), 3);
    EXPECT_EQ(list.size(), 17);

    // A site that never runs out of rows, none of them wanted.
    FServer.ClearRequests();
    ServeRows(100000, 0);
    FetchProxyList(list, kProxyHttp, 0, "", 1, 0, 0, 30);
    EXPECT_TRUE(list.isEmpty());
    EXPECT_EQ(FServer.Requests().size(), kProxyListMaxPages);

    // An empty reply ends it too.
    FServer.ClearRequests();
    FServer.Route("/list/", TStandInReply::Text(""));
    FetchProxyList(list, kProxyHttp, 0, "", 0, 0, 0, 30);
    EXPECT_EQ(FServer.Requests().size(), 1);
}

// A reply that never ends is cut off: by the deadline when it trickles (every byte restarts the
// read time-out), by the cap when it pours. The whole request, redirects included, has one
// deadline; the cap counts the body after inflation.
TEST_F(HttpTest, RepliesThatNeverEndAreCutOff)
{
    FServer.Route("/trickle", TStandInReply::Unending(TReplyAction::Trickle, "<tr>", 40));
    FServer.Route("/pour", TStandInReply::Unending(TReplyAction::Endless, "<tr><td>1</td></tr>"));
    FServer.Route("/hop", TStandInReply::Redirect(302, "/hop2"));
    FServer.Route("/hop2", TStandInReply::Redirect(302, "/trickle"));
    // 3 MB of zeros compress to a few kilobytes: a small body that unpacks past the cap.
    TStandInReply bomb = TStandInReply::Text(QByteArray(3 * 1024 * 1024, '\0'));
    bomb.Encoding = TBodyEncoding::Gzip;
    FServer.Route("/bomb", bomb);
    TStandInReply fits = TStandInReply::Text(QByteArray(1000, 'a'));
    fits.Encoding = TBodyEncoding::Gzip;
    FServer.Route("/fits", fits);

    struct TCase {
        const char* Path;
        int DeadlineMs;
        qint64 Cap;
        THttpFailure Failure;
        QString Message;
    };
    const TCase cases[] = {
        {"/trickle", 500, 0, THttpFailure::Deadline,
         QString::fromUtf8("Сервер \"127.0.0.1\" не передал ответ за отведённые на запрос 1 с!")},
        {"/trickle", 2100, 0, THttpFailure::Deadline,
         QString::fromUtf8("Сервер \"127.0.0.1\" не передал ответ за отведённые на запрос 2 с!")},
        // The deadline runs over the redirects as one.
        {"/hop", 500, 0, THttpFailure::Deadline,
         QString::fromUtf8("Сервер \"127.0.0.1\" не передал ответ за отведённые на запрос 1 с!")},
        {"/pour", 0, 0, THttpFailure::TooLarge,
         QString::fromUtf8("Ответ сервера \"127.0.0.1\" превышает допустимый размер (4194304 байт)!")},
        {"/pour", 0, 100000, THttpFailure::TooLarge,
         QString::fromUtf8("Ответ сервера \"127.0.0.1\" превышает допустимый размер (100000 байт)!")},
        {"/bomb", 0, 1024 * 1024, THttpFailure::TooLarge,
         QString::fromUtf8("Ответ сервера \"127.0.0.1\" превышает допустимый размер (1048576 байт)!")},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Path);
        THttpRequest request;
        request.Url = Url(QLatin1String(c.Path));
        request.ConnectTimeoutMs = 5000;
        request.ReadTimeoutMs = 5000;
        request.DeadlineMs = c.DeadlineMs;
        request.MaxBodyBytes = c.Cap;
        try {
            HttpExecute(request);
            ADD_FAILURE() << "the reply was taken";
        } catch (const EHttpError& e) {
            EXPECT_EQ(e.Failure(), c.Failure);
            EXPECT_EQ(e.Message(), c.Message);
        }
    }

    // At the cap exactly, the body is taken; the same through the file download.
    THttpRequest request;
    request.Url = Url("/fits");
    request.MaxBodyBytes = 1000;
    EXPECT_EQ(HttpExecute(request).Body, QByteArray(1000, 'a'));
    request.MaxBodyBytes = 999;
    EXPECT_THROW(HttpExecute(request), EHttpError);

    // The limits the program's requests take when they name none.
    EXPECT_EQ(THttpTimeouts{}.DeadlineMs, HttpDeadlineMs);
    EXPECT_EQ(HttpDeadlineMs, 60000);
    EXPECT_EQ(HttpTextReplyLimit, 4 * 1024 * 1024);
}

// The inflater stops at its limit inside one chunk: a small compressed chunk never unpacks
// into more memory than the cap allows.
TEST(rHttpUtils, InflaterStopsAtItsLimit)
{
    const QByteArray zeros(2 * 1024 * 1024, '\0');
    const QByteArray packed = StandInCompress(zeros, TBodyEncoding::Gzip);
    ASSERT_LT(packed.size(), 10000);

    struct TCase {
        qint64 Limit;
        bool Taken;
    } const cases[] = {{-1, true}, {zeros.size(), true}, {zeros.size() - 1, false}, {50000, false}, {0, false}};
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Limit);
        TInflater inflater("gzip", c.Limit);
        QByteArray out;
        EXPECT_EQ(inflater.Feed(packed, out), c.Taken);
        EXPECT_EQ(inflater.Overflowed(), !c.Taken);
        if (c.Taken) {
            EXPECT_EQ(out, zeros);
            EXPECT_TRUE(inflater.Complete());
        } else {
            EXPECT_LE(out.size(), c.Limit);
            EXPECT_FALSE(inflater.Feed(packed, out));   // nothing more once stopped
        }
    }
    // Plain bodies count the same way.
    TInflater plain("", 4);
    QByteArray out;
    EXPECT_TRUE(plain.Feed("abcd", out));
    EXPECT_FALSE(plain.Feed("e", out));
    EXPECT_EQ(out, "abcd");
}
