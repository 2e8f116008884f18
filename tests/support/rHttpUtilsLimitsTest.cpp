#include "support/rHttpUtils.h"
#include "support/rHttpUtilsInflate.h"

#include "tests/support/HttpTestFixture.h"

#include <QHostAddress>
#include <QPointer>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <gtest/gtest.h>

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

// A request that sets no time-outs takes the defaults; one that sets its own keeps them. The
// defaults' deadline is short, so that a time-out taken from the wrong side fails fast.
TEST_F(HttpTest, RequestsTakeTheDefaultTimeOutsUnlessTheySetTheirOwn)
{
    FServer.Route("/stall", TStandInReply::WithAction(TReplyAction::Stall));
    SetHttpTimeouts({300, 300, 2000});
    try {
        HttpGetText(nullptr, Url("/stall"), kTlsNone, true);
        FAIL() << "no time-out";
    } catch (const EHttpError& e) {
        EXPECT_EQ(e.Failure(), THttpFailure::ReadTimeout);
    }
    SetHttpTimeouts({60000, 60000, 2000});
    THttpRequest request;
    request.Url = Url("/stall");
    request.ConnectTimeoutMs = 200;
    request.ReadTimeoutMs = 200;
    try {
        HttpExecute(request);
        FAIL() << "no time-out";
    } catch (const EHttpError& e) {
        EXPECT_EQ(e.Failure(), THttpFailure::ReadTimeout);
    }
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

// A reply that never ends is cut off: by the deadline when it trickles (every byte restarts the
// read time-out), by the cap when it pours. The whole request, redirects included, has one
// deadline; the cap counts the body after inflation. A reply that cannot be read fails too.
TEST_F(HttpTest, RepliesThatNeverEndOrCannotBeReadFail)
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
    TStandInReply chunk;
    chunk.Raw = "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\nFFFFFFFFFFFFFFFF\r\n<html></html>\r\n0\r\n\r\n";
    FServer.Route("/chunk", chunk);
    TStandInReply twice = TStandInReply::Text(StandInCompress(fits.Body, TBodyEncoding::Gzip));
    twice.Headers.append(qMakePair(QByteArray("Content-Encoding"), QByteArray("gzip, gzip")));
    FServer.Route("/twice", twice);

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
        {"/chunk", 0, 0, THttpFailure::Other, QString::fromUtf8("Ответ сервера \"127.0.0.1\" не удалось прочитать!")},
        {"/twice", 0, 0, THttpFailure::Other,
         QString::fromUtf8("Ответ сервера \"127.0.0.1\" закодирован неизвестным способом (Content-Encoding: gzip, gzip)!")},
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
