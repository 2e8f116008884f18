#pragma once

#include "platform/Exceptions.h"
#include "support/rHttpUtilsLimits.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QNetworkReply>
#include <QUrl>

#include <optional>

class QIODevice;
class QNetworkCookieJar;

// Single synchronous HTTP requests. Each call builds its own client, so no connection, cookie
// or setting survives between calls (unless the caller hands in a cookie jar). The call waits
// in a nested event loop, so the window stays alive meanwhile; every request has time-outs, a
// deadline for the whole of it and a cap on its reply (support/rHttpUtilsLimits.h).
// Replies compressed with gzip or deflate are inflated here. Failures (connection, time-out,
// deadline, a reply past its cap, a reply that cannot be read, HTTP status other than 2xx, TLS)
// raise EHttpError; an error status is told as such, whatever its body.
//
// Redirects lead only to "http://" and "https://" addresses, never from "https://" down to
// "http://", and a POST is never redirected to another scheme, host or port (its form would
// go along); such a redirect is an error. TLS certificates are always checked.

// What kind of failure an EHttpError was, where the caller may care.
enum class THttpFailure {
    Other,
    ConnectTimeout,   // the request did not go out within the connect time-out
    ReadTimeout,      // the transfer then paused longer than the read time-out
    Deadline,         // the whole request took longer than its deadline
    TooLarge,         // the reply grew past its cap
};

class EHttpError : public Exception {
public:
    explicit EHttpError(const QString& message, int statusCode = 0, THttpFailure failure = THttpFailure::Other)
        : Exception(message), FStatusCode(statusCode), FFailure(failure) {}
    // The HTTP status of the reply; 0 when none arrived.
    int StatusCode() const noexcept { return FStatusCode; }
    THttpFailure Failure() const noexcept { return FFailure; }

private:
    int FStatusCode;
    THttpFailure FFailure;
};

// A proxy server; it is used only when the server is not empty and the port is above 0.
struct THttpProxy {
    QString Server;
    int Port = 0;
    QString User;
    QString Password;

    bool Usable() const { return !Server.isEmpty() && Port > 0; }
};

// TLS codes the callers pass. TLS itself always runs with the system's secure defaults (the
// best version both sides support); the code only says whether the caller expects TLS.
constexpr int kTlsNone = 0;
constexpr int kTlsSsl2 = 1;
constexpr int kTlsSsl23 = 2;
constexpr int kTlsSsl3 = 3;
constexpr int kTlsV1 = 4;
constexpr int kTlsV11 = 5;
constexpr int kTlsV12 = 6;

// The three headers every request carries.
extern const QByteArray kHttpAccept;
extern const QByteArray kHttpAcceptEncoding;
extern const QByteArray kHttpUserAgent;

// Time-outs in milliseconds: for the connection (name lookup, connection, TLS handshake, up
// to the request being sent), for every later pause in the transfer, counted from the
// request sent or the last byte received, and for the whole request with its redirects.
struct THttpTimeouts {
    int ConnectMs = HttpConnectTimeoutMs;
    int ReadMs = HttpReadTimeoutMs;
    int DeadlineMs = HttpDeadlineMs;
};
// The time-outs of requests that do not set their own.
void SetHttpTimeouts(const THttpTimeouts& timeouts);
THttpTimeouts HttpTimeouts();

// The general request under the helpers below.
struct THttpRequest {
    QByteArray Method = "GET";          // "GET" or "POST"
    QString Url;
    QStringList FormFields;             // POST: "name=value" lines, sent URL-encoded in this order
    std::optional<THttpProxy> Proxy;
    bool FollowRedirects = true;
    int ConnectTimeoutMs = 0;           // 0: HttpTimeouts()
    int ReadTimeoutMs = 0;
    int DeadlineMs = 0;                 // the whole request, redirects included; 0: HttpTimeouts()
    qint64 MaxBodyBytes = 0;            // the reply body after inflation; 0: HttpTextReplyLimit
    QIODevice* Output = nullptr;        // receives the body of a successful reply when given
    QNetworkCookieJar* CookieJar = nullptr;  // kept by the caller across requests when given
};

struct THttpResponse {
    int StatusCode = 0;
    QByteArray ContentType;
    QUrl FinalUrl;       // after redirects
    QByteArray Body;     // inflated; empty when the request had an Output device
};

THttpResponse HttpExecute(const THttpRequest& request);

// What a message quotes of a host name: a real one (at most 253 characters) is seldom longer,
// and a longer one typed or found must not push the reason out of the box.
inline constexpr int QuotedHostMax = 64;

// The program's own text for a failed transfer, followed by the system's detail in brackets:
// "Сервер "host" отказал в соединении (Connection refused)"; the host as QuotedExcerpt's
// QuotedHostMax characters, the detail as its QuotedTextMax. Proxy errors name the proxy
// (proxyHost; the host when empty); with a proxy in use (proxyHost not empty), a connection
// that was not found, refused, lost or timed out was the proxy's.
QString HttpErrorText(QNetworkReply::NetworkError error, const QString& host, const QString& proxyHost,
                      const QString& detail);
// The same for a reply with an error status: "Сервер "host" ответил ошибкой 404 (HTTP/1.1 404
// Not Found)".
QString HttpStatusText(int status, const QString& host, const QString& statusLine);
// The body as text, in the charset the reply names (UTF-8 when it names none).
QString HttpResponseText(const THttpResponse& response);

// The address up to and including its last "/"; empty when there is none.
QString UrlBasePath(const QString& url);
// query + "&" + parameter; either one empty gives the other.
QString AddUrlParam(const QString& query, const QString& parameter);
// True for an address beginning with "https://" (any letter case).
bool IsHttpsUrl(const QString& url);
// Form fields ("name=value" lines) as an application/x-www-form-urlencoded body (UTF-8).
QByteArray EncodeFormFields(const QStringList& fields);

// GET into a file, following redirects, within deadlineMs (0: HttpTimeouts()) and maxBytes. The
// target is replaced only once the whole reply has arrived; when the request fails an existing
// file stays as it was and no partial file is left.
void HttpGetToStream(const THttpProxy* proxy, const QString& url, const QString& fileName, int tlsCode,
                     qint64 maxBytes = HttpFileReplyLimit, int deadlineMs = HttpFileDeadlineMs);
void HttpDownloadFile(const QString& url, const QString& fileName, bool https,
                      qint64 maxBytes = HttpFileReplyLimit, int deadlineMs = HttpFileDeadlineMs);
QString HttpGetText(const THttpProxy* proxy, const QString& url, int tlsCode, bool followRedirects);
QString HttpPostForm(const THttpProxy* proxy, const QString& url, const QStringList& fields,
                     bool followRedirects, int tlsCode);
QString HttpPostFormTls(const QString& url, const QStringList& fields, bool https, bool followRedirects);
QString HttpPostFormAuto(const QString& url, const QStringList& fields, bool followRedirects);

// ---------------------------------------------------------------------------------------------
// Public proxy list.

// Protocol set bits.
constexpr int kProxyHttp = 1;
constexpr int kProxyHttps = 2;
constexpr int kProxySocks4 = 4;
constexpr int kProxySocks5 = 8;
// Anonymity levels 1..4 as bits 1, 2, 4, 8.

// Rows per page of the list site; a shorter page is the last one.
constexpr int kProxyListPageRows = 15;
// Pages read at most by one FetchProxyList, whatever the wanted count.
constexpr int kProxyListMaxPages = 20;

// The list site's root page; the environment variable TAVRIX_PROXYLIST_URL replaces it.
QString ProxyListSiteUrl();
// The query of one page (1-based), without "?".
QString ProxyListQuery(int protocols, int anonymity, const QString& countries, int minUptime,
                       int maxResponseMs, int page);
// Reads the rows of one list page into list ("address:port"), keeping only the wanted port
// when it is not 0. A row whose port is not a number in 1..65535 is skipped; skipped (when
// given) receives the reason of the last such row. Returns the number of rows, also of those
// filtered out or skipped. Raises when the table body is cut off.
int ParseProxyListPage(const QString& page, int wantedPort, QStringList& list, QString* skipped = nullptr);
// Clears list and fills it from the list site, page by page, until it holds wantedCount
// entries, a page has fewer than kProxyListPageRows rows, or kProxyListMaxPages were read.
// Raises the reason of a skipped row when rows were skipped and none was taken.
void FetchProxyList(QStringList& list, int protocols, int anonymity, const QString& countries,
                    int port, int minUptime, int maxResponseMs, int wantedCount);
