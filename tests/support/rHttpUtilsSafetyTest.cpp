// Where redirects may lead, TLS certificates, and replies that never end. (Forms redirected
// elsewhere: tests/app_core/online/SwFormRedirectTest.cpp.)

#include "support/rHttpUtils.h"

#include "tests/standin/StandInThread.h"
#include "tests/standin/StandInTls.h"
#include "tests/support/HttpTestFixture.h"

#include <QThread>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

// The reply's text, or the error's.
QString GetOrError(const QString& url)
{
    try {
        return HttpGetText(nullptr, url, kTlsNone, true);
    } catch (const EHttpError& e) {
        return e.Message();
    }
}

} // namespace

TEST_F(HttpTest, RedirectsStayOnTheWebAndNeverLeaveTls)
{
    THttpStandIn tls;
    ASSERT_TRUE(tls.StartTls());
    tls.Route("/there", TStandInReply::Text("over TLS"));
    FServer.Route("/there", TStandInReply::Text("over plain HTTP"));

    // Certificates are checked: nobody trusts the stand-in's own.
    EXPECT_TRUE(GetOrError(tls.BaseUrl() + "/there")
                    .startsWith(QStringLiteral("Не удалось установить защищённое соединение с сервером \"127.0.0.1\"")));

    const TTrustStandIns trust;
    const struct {
        THttpStandIn* From;
        QByteArray Location;
        QString Result;
    } cases[] = {
        {&tls, "/there", "over TLS"},
        {&FServer, tls.BaseUrl().toUtf8() + "/there", "over TLS"},
        {&tls, FServer.BaseUrl().toUtf8() + "/there",
         QStringLiteral("Сервер \"127.0.0.1\" перенаправил запрос с защищённого соединения на незащищённое \"%1\"!")
             .arg(FServer.BaseUrl())},
        {&FServer, "file:///etc/passwd",
         QStringLiteral("Сервер \"127.0.0.1\" перенаправил запрос на недопустимый адрес \"file:\"!")},
        {&tls, "data:text/plain,hello",
         QStringLiteral("Сервер \"127.0.0.1\" перенаправил запрос на недопустимый адрес \"data:\"!")},
    };
    for (const auto& c : cases) {
        c.From->Route("/start", TStandInReply::Redirect(302, c.Location));
        EXPECT_EQ(GetOrError(c.From->BaseUrl() + "/start"), c.Result) << c.Location.toStdString();
    }
    for (const TStandInRequest& request : FServer.Requests())
        EXPECT_EQ(request.Path, "/start");
}

TEST(HttpReplyCap, EndlessReplyIsAbortedSoonAfterItsCap)
{
    // The server pours from a thread of its own, as fast as the connection takes it.
    TStandInThread server;
    ASSERT_TRUE(server.Start());
    server.Configure([](THttpStandIn& s) {
        TStandInReply failing = TStandInReply::Unending(TReplyAction::Endless, "oops");
        failing.Status = 500;
        s.Route("/pour", TStandInReply::Unending(TReplyAction::Endless, "<tr><td>1</td></tr>"));
        s.Route("/failing", failing);
    });
    // The client's thread is busy now and then, as a window's thread is with painting: the
    // network stack must not take in what the server pours meanwhile.
    QTimer busy;
    busy.setInterval(20);
    QObject::connect(&busy, &QTimer::timeout, [] { QThread::msleep(50); });
    for (const char* path : {"/pour", "/failing"}) {
        THttpRequest request;
        request.Url = server.BaseUrl() + QLatin1String(path);
        const qint64 before = server.StreamedBytes();
        busy.start();
        try {
            HttpExecute(request);
            ADD_FAILURE() << path << ": taken whole";
        } catch (const EHttpError& e) {
            // An error status is told by its status, whatever the size of what comes with it.
            const bool failing = QByteArray(path) == "/failing";
            EXPECT_EQ(e.Failure(), failing ? THttpFailure::Other : THttpFailure::TooLarge) << path;
            EXPECT_EQ(e.Message().contains(QStringLiteral("ответил ошибкой 500")), failing) << path;
        }
        busy.stop();
        // What the server got rid of: the cap, the reply's bounded buffer and the system's
        // socket buffers; with a buffer without bounds, tens or hundreds of megabytes.
        const qint64 sent = server.StreamedBytes() - before;
        EXPECT_LT(sent, 4 * HttpTextReplyLimit) << path;
    }
}
