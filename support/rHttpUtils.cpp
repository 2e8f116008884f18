#include "support/rHttpUtils.h"
#include "support/rHttpUtilsInflate.h"

#include "platform/Cp1251.h"
#include "platform/DelphiText.h"
#include "platform/Exceptions.h"
#include "platform/ResString.h"
#include "platform/SaveFile.h"
#include "support/RStrUtils.h"

#include <QDeadlineTimer>
#include <QEventLoop>
#include <QFile>
#include <QIODevice>
#include <QNetworkAccessManager>
#include <QNetworkCookieJar>
#include <QNetworkProxy>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QStringDecoder>
#include <QTimer>

#include <algorithm>
#include <limits>
#include <memory>
#include <optional>

const QByteArray kHttpAccept = "text/html,application/xhtml+xml,application/xml;q=0.9,*/*;q=0.8";
const QByteArray kHttpAcceptEncoding = "gzip, deflate, sdch";
const QByteArray kHttpUserAgent = "Mozilla/5.0 (Windows NT 6.1; WOW64) AppleWebKit/537.36 (KHTML, like "
                                  "Gecko) Chrome/47.0.2526.80 Safari/537.36";

namespace {

const TResString STimeout = RESSTR("rHttpUtils", "Превышено время ожидания ответа от сервера \"%s\"!");
const TResString SConnectTimeout =
    RESSTR("rHttpUtils", "Превышено время ожидания соединения с сервером \"%s\"!");
const TResString SHttpRedirect = RESSTR("rHttpUtils", "Сервер \"%s\" перенаправил запрос на другой адрес");
const TResString STooManyRedirects = RESSTR("rHttpUtils", "Слишком много перенаправлений при обращении к \"%s\"!");
const TResString SBadRedirect = RESSTR("rHttpUtils", "Сервер \"%s\" вернул перенаправление без адреса!");
const TResString SInflateError = RESSTR("rHttpUtils", "Ошибка распаковки ответа сервера \"%s\"!");
const TResString SIncomplete = RESSTR("rHttpUtils", "Ответ сервера \"%s\" получен не полностью!");
const TResString SUnknownEncoding =
    RESSTR("rHttpUtils", "Ответ сервера \"%s\" закодирован неизвестным способом (Content-Encoding: %s)!");
const TResString SUnreadable = RESSTR("rHttpUtils", "Ответ сервера \"%s\" не удалось прочитать!");
const TResString SDeadline =
    RESSTR("rHttpUtils", "Сервер \"%s\" не передал ответ за отведённые на запрос %d с!");
const TResString STooLarge =
    RESSTR("rHttpUtils", "Ответ сервера \"%s\" превышает допустимый размер (%d байт)!");
const TResString SRedirectScheme =
    RESSTR("rHttpUtils", "Сервер \"%s\" перенаправил запрос на недопустимый адрес \"%s\"!");
const TResString SRedirectDowngrade = RESSTR(
    "rHttpUtils", "Сервер \"%s\" перенаправил запрос с защищённого соединения на незащищённое \"%s\"!");
const TResString SFormRedirect = RESSTR(
    "rHttpUtils", "Сервер \"%s\" перенаправил отправку данных на другой сервер \"%s\"! Данные туда не отправлены.");

// A host as messages quote it: one that a redirect or the user gave may be of any length.
QString ShownHost(const QUrl& url)
{
    return QuotedExcerpt(url.host(), QuotedHostMax);
}

// What the network stack keeps of a reply before this side has read it. Unbounded, a fast
// server fills memory faster than the cap below is checked.
constexpr qint64 kReadBufferBytes = 256 * 1024;

THttpTimeouts& DefaultTimeouts()
{
    static THttpTimeouts timeouts;
    return timeouts;
}

bool IsRedirect(int status)
{
    return status == 301 || status == 302 || status == 303 || status == 307 || status == 308;
}

QString StatusLine(QNetworkReply* reply, int status)
{
    const QString reason =
        QString::fromLatin1(reply->attribute(QNetworkRequest::HttpReasonPhraseAttribute).toByteArray());
    return QStringLiteral("HTTP/1.1 %1 %2").arg(status).arg(reason).trimmed();
}

struct THop {
    int Status = 0;
    QUrl Location;
    QByteArray ContentType;
};

// One request without following redirects. Fills the response body (or the output device)
// for a 2xx reply.
//
// Two clocks: until the request has gone out (name lookup, connection, TLS handshake, the
// request written) the connect time-out runs from the start; from then on the read time-out
// runs from the last sign of life of the transfer (the request sent, headers, body bytes).
// A third clock, the deadline, runs over the whole request with its redirects: a server that
// sends a byte now and then keeps the read time-out from ever running out, but not this one.
// The body is capped at `limit` bytes after inflation.
// Precise timers: a coarse one may fire up to 5 % early.
struct TLimits {
    int ConnectMs = 0;
    int ReadMs = 0;
    QDeadlineTimer Deadline;
    int DeadlineMs = 0;   // as the message tells it
    qint64 MaxBody = 0;
};

// The most bytes a body may take on the wire: its cap after inflation, with room for what
// compression adds to data that does not compress.
qint64 RawBodyLimit(qint64 maxBody)
{
    return maxBody + maxBody / 16 + 64 * 1024;
}

[[noreturn]] void RaiseDeadline(const QUrl& url, const TLimits& limits)
{
    const int seconds = std::max(1, (limits.DeadlineMs + 500) / 1000);
    throw EHttpError(Format(LoadResString(SDeadline), {ShownHost(url), seconds}), 0, THttpFailure::Deadline);
}

THop RunOnce(QNetworkAccessManager& manager, const QUrl& url, const QByteArray& method,
             const QByteArray& body, const TLimits& limits, QIODevice* output, QByteArray& collected)
{
    const qint64 remaining = limits.Deadline.remainingTime();
    if (remaining == 0)
        RaiseDeadline(url, limits);
    QNetworkRequest request(url);
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::ManualRedirectPolicy);
    request.setRawHeader("Accept", kHttpAccept);
    request.setRawHeader("Accept-Encoding", kHttpAcceptEncoding);
    request.setRawHeader("User-Agent", kHttpUserAgent);
    QNetworkReply* raw = nullptr;
    if (method == "POST") {
        request.setHeader(QNetworkRequest::ContentTypeHeader, QByteArray("application/x-www-form-urlencoded"));
        raw = manager.post(request, body);
    } else {
        raw = manager.get(request);
    }
    std::unique_ptr<QNetworkReply> reply(raw);
    reply->setReadBufferSize(kReadBufferBytes);

    QEventLoop loop;
    QTimer timer;
    timer.setSingleShot(true);
    timer.setTimerType(Qt::PreciseTimer);
    QTimer overall;
    overall.setSingleShot(true);
    overall.setTimerType(Qt::PreciseTimer);
    bool connected = false;
    bool timedOut = false;
    bool overdue = false;
    bool errorStatus = false;
    THttpFailure failureKind = THttpFailure::Other;
    QString failure;
    bool decided = false;
    bool keep = false;
    qint64 received = 0;
    std::unique_ptr<TInflater> inflater;

    const auto alive = [&] {
        connected = true;
        timer.start(limits.ReadMs);
    };
    const auto consume = [&] {
        if (!decided) {
            const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
            keep = status >= 200 && status < 300;
            const QByteArray encoding = reply->rawHeader("Content-Encoding");
            inflater = std::make_unique<TInflater>(encoding, limits.MaxBody);
            decided = true;
            if (keep && !inflater->Readable()) {
                failure = Format(LoadResString(SUnknownEncoding),
                                 {ShownHost(url), QuotedExcerpt(QString::fromLatin1(encoding))});
                reply->abort();
                return;
            }
        }
        const QByteArray chunk = reply->readAll();
        received += chunk.size();
        if (!failure.isEmpty())
            return;
        // The wire bytes are capped too: a body that is never kept (an error page, a redirect)
        // or a compressed stream that inflates to nothing must not run on until the deadline.
        if (received > RawBodyLimit(limits.MaxBody)) {
            failure = Format(LoadResString(STooLarge), {ShownHost(url), limits.MaxBody});
            failureKind = THttpFailure::TooLarge;
            reply->abort();
            return;
        }
        if (!keep || chunk.isEmpty())
            return;
        QByteArray plain;
        if (!inflater->Feed(chunk, plain)) {
            if (inflater->Overflowed()) {
                failure = Format(LoadResString(STooLarge), {ShownHost(url), limits.MaxBody});
                failureKind = THttpFailure::TooLarge;
            } else {
                failure = Format(LoadResString(SInflateError), {ShownHost(url)});
            }
        } else if (output) {
            // The output device's error text names its file and the system's reason.
            if (output->write(plain) != plain.size())
                failure = output->errorString();
        } else {
            collected += plain;
        }
        if (!failure.isEmpty())
            reply->abort();
    };

    QObject::connect(&timer, &QTimer::timeout, &loop, [&] {
        timedOut = true;
        reply->abort();
    });
    QObject::connect(&overall, &QTimer::timeout, &loop, [&] {
        overdue = true;
        reply->abort();
    });
    QObject::connect(reply.get(), &QNetworkReply::requestSent, &loop, alive);
    // An error status says what went wrong: its body is not read, so that neither its size nor
    // its pace can put another reason (a reply past its cap, a deadline) before the status. The
    // transfer is stopped once the stack has finished with its headers.
    QObject::connect(reply.get(), &QNetworkReply::metaDataChanged, &loop, [&] {
        alive();
        const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
        if (status >= 300 && !IsRedirect(status)) {
            errorStatus = true;
            loop.quit();
        }
    });
    QObject::connect(reply.get(), &QNetworkReply::uploadProgress, &loop, [&](qint64 sent, qint64) {
        if (sent > 0)
            alive();
    });
    QObject::connect(reply.get(), &QNetworkReply::readyRead, &loop, [&] {
        alive();
        consume();
    });
    QObject::connect(reply.get(), &QNetworkReply::finished, &loop, &QEventLoop::quit);
    timer.start(limits.ConnectMs);
    overall.start(static_cast<int>(std::min<qint64>(remaining, std::numeric_limits<int>::max())));
    if (!reply->isFinished())
        loop.exec();
    timer.stop();
    overall.stop();
    QObject::disconnect(reply.get(), nullptr, &loop, nullptr);
    if (errorStatus && !reply->isFinished())
        reply->abort();

    if (overdue)
        RaiseDeadline(url, limits);
    if (timedOut)
        throw EHttpError(Format(LoadResString(connected ? STimeout : SConnectTimeout), {ShownHost(url)}),
                         0, connected ? THttpFailure::ReadTimeout : THttpFailure::ConnectTimeout);
    if (!failure.isEmpty())
        throw EHttpError(failure, 0, failureKind);

    const QString proxyHost = manager.proxy().type() == QNetworkProxy::NoProxy ? QString() : manager.proxy().hostName();
    THop hop;
    hop.Status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    hop.ContentType = reply->header(QNetworkRequest::ContentTypeHeader).toByteArray();
    if (hop.Status == 0)
        throw EHttpError(HttpErrorText(reply->error(), url.host(), proxyHost, reply->errorString()));
    if (IsRedirect(hop.Status)) {
        reply->readAll();
        hop.Location = reply->attribute(QNetworkRequest::RedirectionTargetAttribute).toUrl();
        if (hop.Location.isEmpty())
            throw EHttpError(Format(LoadResString(SBadRedirect), {ShownHost(url)}), hop.Status);
        hop.Location = url.resolved(hop.Location);
        return hop;
    }
    if (hop.Status == 407)
        throw EHttpError(HttpErrorText(QNetworkReply::ProxyAuthenticationRequiredError, url.host(), proxyHost,
                                       StatusLine(reply.get(), hop.Status)),
                         hop.Status);
    if (hop.Status < 200 || hop.Status >= 300)
        throw EHttpError(HttpStatusText(hop.Status, url.host(), StatusLine(reply.get(), hop.Status)), hop.Status);
    consume();
    if (!failure.isEmpty())
        throw EHttpError(failure, hop.Status, failureKind);
    // A transfer cut off after the headers. The stack does not always report a connection
    // closed too early, so the bytes are counted against the announced length as well.
    if (reply->error() != QNetworkReply::NoError)
        throw EHttpError(HttpErrorText(reply->error(), url.host(), proxyHost, reply->errorString()), hop.Status);
    const QVariant announced = reply->header(QNetworkRequest::ContentLengthHeader);
    if (announced.isValid() && announced.toLongLong() != received)
        throw EHttpError(Format(LoadResString(SIncomplete), {ShownHost(url)}), hop.Status);
    if (inflater && !inflater->Complete())
        throw EHttpError(Format(LoadResString(SInflateError), {ShownHost(url)}), hop.Status);
    // The network stack takes a chunk size it cannot read (past 64 bits, not hexadecimal) for the
    // last chunk and ends the body there without a word. A compressed body cut short is caught
    // above; one cut before its first byte leaves a chunked reply without a body, which no server
    // the program asks sends: it is refused rather than taken for an empty page.
    if (received == 0 && reply->rawHeader("Transfer-Encoding").toLower().contains("chunked"))
        throw EHttpError(Format(LoadResString(SUnreadable), {ShownHost(url)}), hop.Status);
    return hop;
}

int DefaultPort(const QUrl& url)
{
    return url.port(url.scheme().compare(QLatin1String("https"), Qt::CaseInsensitive) == 0 ? 443 : 80);
}

bool SameOrigin(const QUrl& a, const QUrl& b)
{
    return a.scheme().compare(b.scheme(), Qt::CaseInsensitive) == 0
           && a.host().compare(b.host(), Qt::CaseInsensitive) == 0 && DefaultPort(a) == DefaultPort(b);
}

// Where a redirect may lead. Only to the web: a "file:" or "data:" address would read this
// machine or the reply itself. Never from TLS to plain HTTP: whoever sits on the plain leg could
// swap what comes back. A form goes nowhere but the server it was posted to: a 307 or 308
// elsewhere would hand its fields (the user's name, e-mail, machine hash, a scenario's text) to
// whatever address the reply names; a 301 to 303 elsewhere goes on without them but is refused
// all the same, since the answer to the form would come from a stranger. The message names the
// other side by scheme, host and port only.
void CheckRedirect(const QUrl& from, const QUrl& to, const QUrl& origin, bool posted)
{
    const QString scheme = to.scheme().toLower();
    const QString where =
        to.toString(QUrl::RemoveUserInfo | QUrl::RemovePath | QUrl::RemoveQuery | QUrl::RemoveFragment);
    if (scheme != QLatin1String("http") && scheme != QLatin1String("https"))
        throw EHttpError(
            Format(LoadResString(SRedirectScheme), {ShownHost(from), QuotedExcerpt(scheme) + QLatin1Char(':')}));
    if (from.scheme().compare(QLatin1String("https"), Qt::CaseInsensitive) == 0 && scheme != QLatin1String("https"))
        throw EHttpError(Format(LoadResString(SRedirectDowngrade), {ShownHost(from), where}));
    if (posted && !SameOrigin(origin, to))
        throw EHttpError(Format(LoadResString(SFormRedirect), {ShownHost(from), where}));
}

QByteArray EncodeFormPart(const QString& text)
{
    // Letters, digits and "*-._" stay, a blank becomes "+", everything else "%XX" of its UTF-8
    // bytes, so that a "+" of a Base64 value arrives as "+".
    QByteArray encoded = text.toUtf8().toPercentEncoding(" *", QByteArray(), '%');
    encoded.replace(' ', '+');
    return encoded;
}

QString DecodeText(const QByteArray& body, const QByteArray& contentType)
{
    QByteArray charset;
    for (const QByteArray& part : contentType.split(';')) {
        const QByteArray item = part.trimmed();
        if (item.toLower().startsWith("charset="))
            charset = item.mid(8).trimmed().toLower().replace('"', "");
    }
    if (charset == "windows-1251" || charset == "cp1251" || charset == "cp-1251")
        return DecodeCp1251(body);
    if (!charset.isEmpty() && charset != "utf-8" && charset != "utf8") {
        QStringDecoder decoder(charset.constData());
        if (decoder.isValid())
            return decoder.decode(body);
    }
    return QString::fromUtf8(body);
}

QString TextRequest(const THttpProxy* proxy, const QString& url, const QByteArray& method,
                    const QStringList& fields, bool followRedirects)
{
    THttpRequest request;
    request.Method = method;
    request.Url = url;
    request.FormFields = fields;
    if (proxy)
        request.Proxy = *proxy;
    request.FollowRedirects = followRedirects;
    return HttpResponseText(HttpExecute(request));
}

} // namespace

void SetHttpTimeouts(const THttpTimeouts& timeouts)
{
    DefaultTimeouts() = timeouts;
}

THttpTimeouts HttpTimeouts()
{
    return DefaultTimeouts();
}

QByteArray EncodeFormFields(const QStringList& fields)
{
    QByteArray body;
    for (const QString& line : fields) {
        if (!body.isEmpty())
            body += '&';
        const qsizetype eq = line.indexOf(QLatin1Char('='));
        if (eq < 0)
            body += EncodeFormPart(line);
        else
            body += EncodeFormPart(line.left(eq)) + '=' + EncodeFormPart(line.mid(eq + 1));
    }
    return body;
}

THttpResponse HttpExecute(const THttpRequest& request)
{
    const THttpTimeouts defaults = HttpTimeouts();
    TLimits limits;
    limits.ConnectMs = request.ConnectTimeoutMs > 0 ? request.ConnectTimeoutMs : defaults.ConnectMs;
    limits.ReadMs = request.ReadTimeoutMs > 0 ? request.ReadTimeoutMs : defaults.ReadMs;
    limits.DeadlineMs = request.DeadlineMs > 0 ? request.DeadlineMs : defaults.DeadlineMs;
    limits.Deadline = QDeadlineTimer(limits.DeadlineMs, Qt::PreciseTimer);
    limits.MaxBody = request.MaxBodyBytes > 0 ? request.MaxBodyBytes : HttpTextReplyLimit;

    QNetworkAccessManager manager;
    // No system proxy either: a request goes direct unless the caller names a proxy.
    if (request.Proxy && request.Proxy->Usable())
        manager.setProxy(QNetworkProxy(QNetworkProxy::HttpProxy, request.Proxy->Server,
                                       static_cast<quint16>(request.Proxy->Port), request.Proxy->User,
                                       request.Proxy->Password));
    else
        manager.setProxy(QNetworkProxy::NoProxy);
    if (request.CookieJar) {
        // The manager would adopt the jar and delete it with itself; the caller keeps it.
        QObject* parent = request.CookieJar->parent();
        manager.setCookieJar(request.CookieJar);
        request.CookieJar->setParent(parent);
    }

    QByteArray method = request.Method.toUpper();
    QByteArray body = method == "POST" ? EncodeFormFields(request.FormFields) : QByteArray();
    QUrl url(request.Url);
    const QUrl origin = url;
    const bool posted = method == "POST";
    THttpResponse response;
    for (int redirects = 0;; ++redirects) {
        const THop hop = RunOnce(manager, url, method, body, limits, request.Output, response.Body);
        response.StatusCode = hop.Status;
        response.ContentType = hop.ContentType;
        response.FinalUrl = url;
        if (!IsRedirect(hop.Status))
            break;
        if (!request.FollowRedirects)
            throw EHttpError(Format(LoadResString(SHttpRedirect), {ShownHost(url)})
                                 + QStringLiteral(" (HTTP/1.1 %1)").arg(hop.Status),
                             hop.Status);
        if (redirects >= HttpMaxRedirects)
            throw EHttpError(Format(LoadResString(STooManyRedirects), {ShownHost(QUrl(request.Url))}), hop.Status);
        CheckRedirect(url, hop.Location, origin, posted);
        // As browsers do: 301, 302 and 303 continue with GET; 307 and 308 repeat the request.
        if (hop.Status <= 303 && method == "POST") {
            method = "GET";
            body.clear();
        }
        url = hop.Location;
    }
    return response;
}

QString HttpResponseText(const THttpResponse& response)
{
    return DecodeText(response.Body, response.ContentType);
}

QString UrlBasePath(const QString& url)
{
    const qsizetype slash = url.lastIndexOf(QLatin1Char('/'));
    return slash < 0 ? QString() : url.left(slash + 1);
}

QString AddUrlParam(const QString& query, const QString& parameter)
{
    if (query.isEmpty())
        return parameter;
    if (parameter.isEmpty())
        return query;
    return query + QLatin1Char('&') + parameter;
}

bool IsHttpsUrl(const QString& url)
{
    return url.startsWith(QLatin1String("https://"), Qt::CaseInsensitive);
}

namespace {

// Lets the transfer write its body into an atomic save.
class TSaveFileDevice : public QIODevice {
public:
    explicit TSaveFileDevice(TSaveFile& file) : FFile(file) { open(QIODevice::WriteOnly); }

protected:
    qint64 readData(char*, qint64) override { return -1; }
    qint64 writeData(const char* data, qint64 size) override
    {
        try {
            FFile.Write(data, size);
            return size;
        } catch (const Exception& e) {
            setErrorString(e.Message());
            return -1;
        }
    }

private:
    TSaveFile& FFile;
};

} // namespace

void HttpGetToStream(const THttpProxy* proxy, const QString& url, const QString& fileName, int /*tlsCode*/,
                     qint64 maxBytes, int deadlineMs)
{
    // The body goes through the atomic save: the target is replaced only once the whole reply
    // has arrived, so a failed download leaves an existing file as it was.
    // A file that cannot be written fails the download like any other transfer error.
    std::optional<TSaveFile> file;
    try {
        file.emplace(fileName);
    } catch (const Exception& e) {
        throw EHttpError(e.Message());
    }
    TSaveFileDevice device(*file);
    THttpRequest request;
    request.Url = url;
    if (proxy)
        request.Proxy = *proxy;
    request.FollowRedirects = true;
    request.Output = &device;
    request.DeadlineMs = deadlineMs;
    request.MaxBodyBytes = maxBytes;
    HttpExecute(request);
    try {
        file->Commit();
    } catch (const Exception& e) {
        throw EHttpError(e.Message());
    }
}

void HttpDownloadFile(const QString& url, const QString& fileName, bool https, qint64 maxBytes, int deadlineMs)
{
    HttpGetToStream(nullptr, url, fileName, https ? kTlsV1 : kTlsNone, maxBytes, deadlineMs);
}

QString HttpGetText(const THttpProxy* proxy, const QString& url, int /*tlsCode*/, bool followRedirects)
{
    return TextRequest(proxy, url, "GET", {}, followRedirects);
}

QString HttpPostForm(const THttpProxy* proxy, const QString& url, const QStringList& fields,
                     bool followRedirects, int /*tlsCode*/)
{
    return TextRequest(proxy, url, "POST", fields, followRedirects);
}

QString HttpPostFormTls(const QString& url, const QStringList& fields, bool https, bool followRedirects)
{
    return HttpPostForm(nullptr, url, fields, followRedirects, https ? kTlsV1 : kTlsNone);
}

QString HttpPostFormAuto(const QString& url, const QStringList& fields, bool followRedirects)
{
    return HttpPostFormTls(url, fields, IsHttpsUrl(url), followRedirects);
}
