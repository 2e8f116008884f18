#include "tests/standin/HttpStandIn.h"
#include "tests/standin/StandInTls.h"

#include <QHostAddress>
#include <QSslServer>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>
#include <QUrl>

#include <zlib.h>

#include <memory>
#include <stdexcept>
#include <utility>

namespace {

QByteArray ReasonPhrase(int status)
{
    switch (status) {
    case 200: return "OK";
    case 301: return "Moved Permanently";
    case 302: return "Found";
    case 303: return "See Other";
    case 307: return "Temporary Redirect";
    case 308: return "Permanent Redirect";
    case 400: return "Bad Request";
    case 403: return "Forbidden";
    case 404: return "Not Found";
    case 407: return "Proxy Authentication Required";
    case 500: return "Internal Server Error";
    case 503: return "Service Unavailable";
    default: return "Status";
    }
}

QString DecodeFormPart(QByteArray part)
{
    part.replace('+', ' ');
    return QString::fromUtf8(QByteArray::fromPercentEncoding(part));
}

} // namespace

QByteArray TStandInRequest::Header(const QByteArray& name) const
{
    for (const auto& header : Headers)
        if (header.first.compare(name, Qt::CaseInsensitive) == 0)
            return header.second;
    return QByteArray();
}

bool TStandInRequest::HasHeader(const QByteArray& name) const
{
    for (const auto& header : Headers)
        if (header.first.compare(name, Qt::CaseInsensitive) == 0)
            return true;
    return false;
}

QString TStandInRequest::Field(const QString& name) const
{
    for (const auto& field : FormFields)
        if (field.first == name)
            return field.second;
    return QString();
}

TStandInReply TStandInReply::Text(const QByteArray& body, const QByteArray& contentType)
{
    TStandInReply reply;
    reply.Headers.append(qMakePair(QByteArray("Content-Type"), QByteArray(contentType)));
    reply.Body = body;
    return reply;
}

TStandInReply TStandInReply::Redirect(int status, const QByteArray& location,
                                      const QList<QByteArray>& cookies)
{
    TStandInReply reply;
    reply.Status = status;
    reply.Headers.append(qMakePair(QByteArray("Location"), QByteArray(location)));
    for (const QByteArray& cookie : cookies)
        reply.Headers.append(qMakePair(QByteArray("Set-Cookie"), QByteArray(cookie)));
    return reply;
}

TStandInReply TStandInReply::Error(int status, const QByteArray& body)
{
    TStandInReply reply = Text(body.isEmpty() ? ReasonPhrase(status) : body, "text/plain");
    reply.Status = status;
    return reply;
}

TStandInReply TStandInReply::WithAction(TReplyAction action)
{
    TStandInReply reply = Text("<html>reply</html>");
    reply.Action = action;
    return reply;
}

TStandInReply TStandInReply::Unending(TReplyAction action, const QByteArray& body, int stepMs)
{
    TStandInReply reply = Text(body);
    reply.Action = action;
    reply.StepMs = stepMs;
    return reply;
}

QByteArray StandInCompress(const QByteArray& data, TBodyEncoding encoding)
{
    if (encoding == TBodyEncoding::Identity)
        return data;
    const int windowBits = encoding == TBodyEncoding::Gzip      ? 16 + MAX_WBITS
                           : encoding == TBodyEncoding::Deflate ? MAX_WBITS
                                                                : -MAX_WBITS;
    z_stream stream{};
    if (deflateInit2(&stream, Z_BEST_COMPRESSION, Z_DEFLATED, windowBits, 8, Z_DEFAULT_STRATEGY) != Z_OK)
        throw std::runtime_error("deflateInit2");
    QByteArray out(static_cast<qsizetype>(deflateBound(&stream, static_cast<uLong>(data.size())) + 64), '\0');
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.constData()));
    stream.avail_in = static_cast<uInt>(data.size());
    stream.next_out = reinterpret_cast<Bytef*>(out.data());
    stream.avail_out = static_cast<uInt>(out.size());
    const int rc = deflate(&stream, Z_FINISH);
    deflateEnd(&stream);
    if (rc != Z_STREAM_END)
        throw std::runtime_error("deflate");
    out.truncate(static_cast<qsizetype>(stream.total_out));
    return out;
}

QList<QPair<QString, QString>> StandInDecodeForm(const QByteArray& body)
{
    QList<QPair<QString, QString>> fields;
    if (body.isEmpty())
        return fields;
    for (const QByteArray& pair : body.split('&')) {
        const qsizetype eq = pair.indexOf('=');
        if (eq < 0)
            fields.append({DecodeFormPart(pair), QString()});
        else
            fields.append({DecodeFormPart(pair.left(eq)), DecodeFormPart(pair.mid(eq + 1))});
    }
    return fields;
}

THttpStandIn::THttpStandIn() : FServer(nullptr)
{
    ListenTo(new QTcpServer(this));
}

void THttpStandIn::ListenTo(QTcpServer* server)
{
    delete FServer;
    FServer = server;
    // A TLS server hands a connection over once its handshake is done.
    QObject::connect(FServer, &QTcpServer::newConnection, this, [this] { OnNewConnection(); });
    QObject::connect(FServer, &QTcpServer::pendingConnectionAvailable, this, [this] { OnNewConnection(); });
}

THttpStandIn::~THttpStandIn()
{
    FServer->close();
    const auto connections = FConnections;
    FConnections.clear();
    for (const TConnection& connection : connections) {
        if (!connection.Socket)
            continue;
        QObject::disconnect(connection.Socket, nullptr, this, nullptr);
        connection.Socket->abort();
    }
}

bool THttpStandIn::Start()
{
    return FServer->listen(QHostAddress::LocalHost, 0);
}

bool THttpStandIn::StartTls()
{
    auto* server = new QSslServer(this);
    QSslConfiguration tls = QSslConfiguration::defaultConfiguration();
    tls.setLocalCertificate(StandInCertificate());
    tls.setPrivateKey(StandInPrivateKey());
    tls.setPeerVerifyMode(QSslSocket::VerifyNone);
    server->setSslConfiguration(tls);
    ListenTo(server);
    FTls = true;
    return FServer->listen(QHostAddress::LocalHost, 0);
}

quint16 THttpStandIn::Port() const
{
    return FServer->serverPort();
}

QString THttpStandIn::BaseUrl() const
{
    return (FTls ? QStringLiteral("https://") : QStringLiteral("http://")) + Authority();
}

QString THttpStandIn::Authority() const
{
    return QStringLiteral("127.0.0.1:%1").arg(Port());
}

void THttpStandIn::Route(const QByteArray& path, TStandInHandler handler)
{
    FRoutes.insert(path, std::move(handler));
}

void THttpStandIn::Route(const QByteArray& path, const TStandInReply& reply)
{
    FRoutes.insert(path, [reply](const TStandInRequest&) { return reply; });
}

void THttpStandIn::SetFallback(TStandInHandler handler)
{
    FFallback = std::move(handler);
}

void THttpStandIn::RequireProxyAuth(const QString& user, const QString& password)
{
    FProxyAuth = "Basic " + (user + QLatin1Char(':') + password).toUtf8().toBase64();
}

void THttpStandIn::OnNewConnection()
{
    while (QTcpSocket* socket = FServer->nextPendingConnection()) {
        ++FConnectionCount;
        FConnections.insert(socket, TConnection{socket, QByteArray(), false});
        QObject::connect(socket, &QTcpSocket::readyRead, this, [this, socket] { OnReadyRead(socket); });
        QObject::connect(socket, &QTcpSocket::disconnected, this, [this, socket] {
            FConnections.remove(socket);
            socket->deleteLater();
        });
    }
}

void THttpStandIn::OnReadyRead(QTcpSocket* socket)
{
    auto it = FConnections.find(socket);
    if (it == FConnections.end())
        return;
    it->Buffer += socket->readAll();
    TStandInRequest request;
    while (!it->Stalled && !it->Waiting && TakeRequest(it->Buffer, request)) {
        FRequests.append(request);
        const TStandInReply reply = Answer(request);
        if (reply.Action == TReplyAction::Stall) {
            it->Stalled = true;
            return;
        }
        if (reply.Action == TReplyAction::Drop) {
            socket->abort();
            return;
        }
        if (FHolding) {
            it->Waiting = true;
            FHeld.append(THeldReply{socket, request, reply});
            return;
        }
        if (!Deliver(socket, request, reply))
            return;
        request = TStandInRequest{};
    }
}

bool THttpStandIn::Deliver(QTcpSocket* socket, const TStandInRequest& request, const TStandInReply& reply)
{
    if (reply.Action == TReplyAction::Trickle || reply.Action == TReplyAction::Endless) {
        Stream(socket, reply);
        return false;
    }
    Send(socket, request, reply);
    if (reply.Action != TReplyAction::Normal
        || request.Header("Connection").compare("close", Qt::CaseInsensitive) == 0) {
        socket->disconnectFromHost();
        return false;
    }
    return true;
}

void THttpStandIn::HoldReplies()
{
    FHolding = true;
}

void THttpStandIn::ReleaseReplies()
{
    FHolding = false;
    const QList<THeldReply> held = std::exchange(FHeld, {});
    for (const THeldReply& reply : held) {
        if (!reply.Socket)
            continue;
        const auto it = FConnections.find(reply.Socket.data());
        if (it == FConnections.end())
            continue;
        it->Waiting = false;
        // Requests that came in behind the held one are answered now.
        if (Deliver(reply.Socket, reply.Request, reply.Reply))
            OnReadyRead(reply.Socket);
    }
}

bool THttpStandIn::TakeRequest(QByteArray& buffer, TStandInRequest& request)
{
    const qsizetype headEnd = buffer.indexOf("\r\n\r\n");
    if (headEnd < 0)
        return false;
    const QList<QByteArray> lines = buffer.left(headEnd).split('\n');
    THeaderList headers;
    qsizetype contentLength = 0;
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const QByteArray line = lines[i].trimmed();
        const qsizetype colon = line.indexOf(':');
        if (colon <= 0)
            continue;
        headers.append({line.left(colon).trimmed(), line.mid(colon + 1).trimmed()});
        if (headers.last().first.compare("Content-Length", Qt::CaseInsensitive) == 0)
            contentLength = headers.last().second.toLongLong();
    }
    if (buffer.size() < headEnd + 4 + contentLength)
        return false;

    const QList<QByteArray> requestLine = lines[0].trimmed().split(' ');
    request.Method = requestLine.value(0);
    request.Target = requestLine.value(1);
    request.Headers = headers;
    request.Body = buffer.mid(headEnd + 4, contentLength);
    buffer.remove(0, headEnd + 4 + contentLength);

    QByteArray pathAndQuery = request.Target;
    if (request.ViaProxy()) {
        const qsizetype slash = pathAndQuery.indexOf('/', pathAndQuery.indexOf("://") + 3);
        pathAndQuery = slash < 0 ? QByteArray("/") : pathAndQuery.mid(slash);
    }
    const qsizetype question = pathAndQuery.indexOf('?');
    request.Path = question < 0 ? pathAndQuery : pathAndQuery.left(question);
    request.Query = question < 0 ? QByteArray() : pathAndQuery.mid(question + 1);
    if (request.Header("Content-Type").startsWith("application/x-www-form-urlencoded"))
        request.FormFields = StandInDecodeForm(request.Body);
    return true;
}

TStandInReply THttpStandIn::Answer(const TStandInRequest& request)
{
    if (!FProxyAuth.isEmpty() && request.ViaProxy() && request.Header("Proxy-Authorization") != FProxyAuth) {
        TStandInReply reply = TStandInReply::Error(407);
        reply.Headers.append(qMakePair(QByteArray("Proxy-Authenticate"), QByteArray("Basic realm=\"standin\"")));
        return reply;
    }
    const auto route = FRoutes.constFind(request.Path);
    if (route != FRoutes.constEnd())
        return (*route)(request);
    if (FFallback)
        return FFallback(request);
    return TStandInReply::Error(404);
}

void THttpStandIn::Send(QTcpSocket* socket, const TStandInRequest& request, const TStandInReply& reply)
{
    if (!reply.Raw.isEmpty()) {
        socket->write(reply.Raw);
        return;
    }
    const QByteArray body = StandInCompress(reply.Body, reply.Encoding);
    QByteArray head = "HTTP/1.1 " + QByteArray::number(reply.Status) + ' '
                      + (reply.Reason.isEmpty() ? ReasonPhrase(reply.Status) : reply.Reason) + "\r\n";
    for (const auto& header : reply.Headers)
        head += header.first + ": " + header.second + "\r\n";
    if (reply.Encoding == TBodyEncoding::Gzip)
        head += "Content-Encoding: gzip\r\n";
    else if (reply.Encoding != TBodyEncoding::Identity)
        head += "Content-Encoding: deflate\r\n";
    head += "Content-Length: " + QByteArray::number(body.size()) + "\r\n";
    if (reply.Action != TReplyAction::Normal)
        head += "Connection: close\r\n";
    head += "\r\n";
    socket->write(head);
    if (request.Method == "HEAD")
        return;
    socket->write(reply.Action == TReplyAction::DropMidBody ? body.left(body.size() / 2) : body);
}

void THttpStandIn::Stream(QTcpSocket* socket, const TStandInReply& reply)
{
    // A body announced far longer than any test waits for, so the client never sees its end.
    QByteArray head = "HTTP/1.1 " + QByteArray::number(reply.Status) + ' ' + ReasonPhrase(reply.Status) + "\r\n";
    for (const auto& header : reply.Headers)
        head += header.first + ": " + header.second + "\r\n";
    head += "Content-Length: 1000000000000\r\n\r\n";
    socket->write(head);
    const QByteArray unit = reply.Body.isEmpty() ? QByteArray("x") : reply.Body;
    if (reply.Action == TReplyAction::Trickle) {
        // The timer belongs to the socket and goes with it.
        auto* timer = new QTimer(socket);
        timer->setTimerType(Qt::PreciseTimer);
        auto next = std::make_shared<qsizetype>(0);
        QObject::connect(timer, &QTimer::timeout, socket, [this, socket, unit, next] {
            socket->write(unit.mid(*next % unit.size(), 1));
            ++*next;
            ++FStreamed;
        });
        timer->start(reply.StepMs);
        return;
    }
    QByteArray block;
    while (block.size() < 64 * 1024)
        block += unit;
    const auto refill = [socket, block] {
        while (socket->state() == QAbstractSocket::ConnectedState && socket->bytesToWrite() < 4 * block.size())
            socket->write(block);
    };
    QObject::connect(socket, &QTcpSocket::bytesWritten, socket, [this, refill](qint64 bytes) {
        FStreamed += bytes;
        refill();
    });
    refill();
}
