#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QObject>
#include <QPair>
#include <QPointer>
#include <QString>

#include <functional>

class QTcpServer;
class QTcpSocket;

// A small HTTP/1.1 server on 127.0.0.1 for tests. It lives in the thread that creates it and is
// served by that thread's event loop, which the program's synchronous requests keep running
// (they wait in a nested loop). Replies come from a table of paths with fixed replies or
// handler callbacks; every request is recorded. Requests with an absolute target
// ("GET http://host/path") are answered as a plain HTTP proxy would forward them: by the same
// route table, so one stand-in serves as proxy and origin at once.

using THeaderList = QList<QPair<QByteArray, QByteArray>>;

struct TStandInRequest {
    QByteArray Method;
    QByteArray Target;    // as sent: "/path?query" or "http://host:port/path?query"
    QByteArray Path;      // without the query
    QByteArray Query;     // without the "?"
    THeaderList Headers;  // in the order received
    QByteArray Body;
    // Fields of an "application/x-www-form-urlencoded" body, in order, decoded (UTF-8).
    QList<QPair<QString, QString>> FormFields;

    // The first header of that name (letter case ignored); empty when missing.
    QByteArray Header(const QByteArray& name) const;
    bool HasHeader(const QByteArray& name) const;
    QString Field(const QString& name) const;
    bool ViaProxy() const { return Target.startsWith("http://") || Target.startsWith("https://"); }
};

enum class TBodyEncoding { Identity, Gzip, Deflate, RawDeflate };

enum class TReplyAction {
    Normal,       // the reply, connection kept open
    Close,        // the reply, then the connection is closed
    Stall,        // nothing is ever answered; the connection stays open
    Drop,         // the connection is reset without a reply
    DropMidBody,  // status, headers and half of the body, then the connection is closed
    Trickle,      // status and headers, then one byte of the body every StepMs, never done
    Endless,      // status and headers, then body bytes as fast as they are taken, never done
};

struct TStandInReply {
    int Status = 200;
    QByteArray Reason;   // empty: the usual phrase for the status
    THeaderList Headers;
    QByteArray Body;
    TBodyEncoding Encoding = TBodyEncoding::Identity;
    TReplyAction Action = TReplyAction::Normal;
    int StepMs = 100;   // Trickle: the pause between bytes
    QByteArray Raw;   // when not empty, sent as it is in place of all above: a broken reply

    static TStandInReply Text(const QByteArray& body,
                              const QByteArray& contentType = "text/html; charset=utf-8");
    // A redirect to location; each cookie is a whole Set-Cookie value ("sid=42; Path=/").
    static TStandInReply Redirect(int status, const QByteArray& location,
                                  const QList<QByteArray>& cookies = {});
    static TStandInReply Error(int status, const QByteArray& body = QByteArray());
    static TStandInReply WithAction(TReplyAction action);
    // A reply that never ends: Trickle (a byte every stepMs) or Endless (as fast as it goes).
    // The headers announce a body far longer than any test waits for; Body is repeated.
    static TStandInReply Unending(TReplyAction action, const QByteArray& body = "<tr>", int stepMs = 100);
};

using TStandInHandler = std::function<TStandInReply(const TStandInRequest&)>;

class THttpStandIn : public QObject {
public:
    THttpStandIn();
    ~THttpStandIn() override;

    // Listens on an ephemeral port of 127.0.0.1; false when that fails.
    bool Start();
    // The same over TLS, with the stand-ins' own certificate (tests/standin/StandInTls.h),
    // which a client accepts only while the test trusts it.
    bool StartTls();
    quint16 Port() const;
    // "http://127.0.0.1:<port>", or "https://..." after StartTls
    QString BaseUrl() const;
    // "127.0.0.1:<port>", the authority a request through the stand-in proxy names.
    QString Authority() const;

    // Routes match the path exactly (without the query). A later route for a path replaces
    // an earlier one.
    void Route(const QByteArray& path, TStandInHandler handler);
    void Route(const QByteArray& path, const TStandInReply& reply);
    // Answers paths without a route (default: 404).
    void SetFallback(TStandInHandler handler);

    // Proxy requests without these Basic credentials get "407 Proxy Authentication Required".
    void RequireProxyAuth(const QString& user, const QString& password);

    // A slow server: from HoldReplies on, every request is recorded and answered by its route
    // as usual, but the reply is kept back (and later requests on that connection wait behind
    // it) until ReleaseReplies sends them in order. The client waits as long as the test says,
    // not for a time.
    void HoldReplies();
    void ReleaseReplies();
    // Requests whose replies are kept back.
    int HeldCount() const { return static_cast<int>(FHeld.size()); }

    const QList<TStandInRequest>& Requests() const { return FRequests; }
    void ClearRequests() { FRequests.clear(); }
    int ConnectionCount() const { return FConnectionCount; }
    // Bytes of Trickle and Endless replies that the connections took so far: what a client that
    // stopped at its cap let in (the system's socket buffers included).
    qint64 StreamedBytes() const { return FStreamed; }

private:
    struct TConnection {
        QPointer<QTcpSocket> Socket;
        QByteArray Buffer;
        bool Stalled = false;
        bool Waiting = false;   // its reply is held
    };
    struct THeldReply {
        QPointer<QTcpSocket> Socket;
        TStandInRequest Request;
        TStandInReply Reply;
    };

    void OnNewConnection();
    void OnReadyRead(QTcpSocket* socket);
    // Parses one complete request from the buffer; false when more bytes are needed.
    bool TakeRequest(QByteArray& buffer, TStandInRequest& request);
    TStandInReply Answer(const TStandInRequest& request);
    void Send(QTcpSocket* socket, const TStandInRequest& request, const TStandInReply& reply);
    // Keeps writing the body of a Trickle or Endless reply until the client goes.
    void Stream(QTcpSocket* socket, const TStandInReply& reply);
    // Sends the reply and closes the connection when the reply or the request asks for it;
    // false when the connection is done.
    bool Deliver(QTcpSocket* socket, const TStandInRequest& request, const TStandInReply& reply);

    void ListenTo(QTcpServer* server);

    QTcpServer* FServer;
    bool FTls = false;
    qint64 FStreamed = 0;
    QHash<QByteArray, TStandInHandler> FRoutes;
    TStandInHandler FFallback;
    QByteArray FProxyAuth;
    QList<TStandInRequest> FRequests;
    QHash<QTcpSocket*, TConnection> FConnections;
    int FConnectionCount = 0;
    bool FHolding = false;
    QList<THeldReply> FHeld;
};

// Compression as servers send it, for building replies and for checking the client's
// decompression.
QByteArray StandInCompress(const QByteArray& data, TBodyEncoding encoding);
// application/x-www-form-urlencoded decoding ('+' is a blank, %XX a byte, UTF-8).
QList<QPair<QString, QString>> StandInDecodeForm(const QByteArray& body);
