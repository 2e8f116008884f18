#include "support/rHttpUtils.h"

#include "platform/DelphiText.h"
#include "platform/ResString.h"
#include "support/RStrUtils.h"

// What a failed transfer or an error status reads as.

namespace {

const TResString SHostNotFound = RESSTR("rHttpUtils", "Сервер \"%s\" не найден");
const TResString SConnectionRefused = RESSTR("rHttpUtils", "Сервер \"%s\" отказал в соединении");
const TResString SRemoteClosed = RESSTR("rHttpUtils", "Сервер \"%s\" разорвал соединение");
const TResString SNetworkTimeout = RESSTR("rHttpUtils", "Сервер \"%s\" не ответил вовремя");
const TResString SSslFailed =
    RESSTR("rHttpUtils", "Не удалось установить защищённое соединение с сервером \"%s\"");
const TResString SProxyNotFound = RESSTR("rHttpUtils", "Прокси-сервер \"%s\" не найден");
const TResString SProxyRefused = RESSTR("rHttpUtils", "Прокси-сервер \"%s\" отказал в соединении");
const TResString SProxyClosed = RESSTR("rHttpUtils", "Прокси-сервер \"%s\" разорвал соединение");
const TResString SProxyTimeout = RESSTR("rHttpUtils", "Прокси-сервер \"%s\" не ответил вовремя");
const TResString SProxyAuth =
    RESSTR("rHttpUtils", "Прокси-сервер \"%s\" не принял имя пользователя или пароль");
const TResString SProxyError = RESSTR("rHttpUtils", "Ошибка прокси-сервера \"%s\"");
const TResString SNetworkDown = RESSTR("rHttpUtils", "Сеть недоступна");
const TResString SHttpStatus = RESSTR("rHttpUtils", "Сервер \"%s\" ответил ошибкой %d");
const TResString SNetworkError = RESSTR("rHttpUtils", "Ошибка обмена данными с сервером \"%s\"");

// The detail after the program's own text: the system's description, or the status line. Both
// may repeat what a server or the user gave (a host, a status line): quoted short.
QString WithDetail(const QString& text, const QString& detail)
{
    return detail.isEmpty() ? text : text + QLatin1String(" (") + QuotedExcerpt(detail) + QLatin1Char(')');
}

} // namespace

QString HttpErrorText(QNetworkReply::NetworkError error, const QString& fullHost, const QString& proxyHost,
                      const QString& detail)
{
    const QString host = QuotedExcerpt(fullHost, QuotedHostMax);
    const QString proxy = proxyHost.isEmpty() ? host : QuotedExcerpt(proxyHost, QuotedHostMax);
    QString reason = detail;
    // Through a proxy the connection is the proxy's: the network stack reports a refused or
    // lost proxy as a refused or lost server.
    if (!proxyHost.isEmpty()) {
        switch (error) {
        case QNetworkReply::HostNotFoundError:
            // The proxy looks the site up, so the name not found was the proxy's own; the
            // stack's detail names the site's host all the same and is left out.
            error = QNetworkReply::ProxyNotFoundError;
            reason.clear();
            break;
        case QNetworkReply::ConnectionRefusedError:
            error = QNetworkReply::ProxyConnectionRefusedError;
            break;
        case QNetworkReply::RemoteHostClosedError:
            error = QNetworkReply::ProxyConnectionClosedError;
            break;
        case QNetworkReply::TimeoutError:
            error = QNetworkReply::ProxyTimeoutError;
            break;
        default:
            break;
        }
    }
    QString text;
    switch (error) {
    case QNetworkReply::HostNotFoundError:
        text = Format(LoadResString(SHostNotFound), {host});
        break;
    case QNetworkReply::ConnectionRefusedError:
        text = Format(LoadResString(SConnectionRefused), {host});
        break;
    case QNetworkReply::RemoteHostClosedError:
        text = Format(LoadResString(SRemoteClosed), {host});
        break;
    case QNetworkReply::TimeoutError:
        text = Format(LoadResString(SNetworkTimeout), {host});
        break;
    case QNetworkReply::SslHandshakeFailedError:
        text = Format(LoadResString(SSslFailed), {host});
        break;
    case QNetworkReply::ProxyNotFoundError:
        text = Format(LoadResString(SProxyNotFound), {proxy});
        break;
    case QNetworkReply::ProxyConnectionRefusedError:
        text = Format(LoadResString(SProxyRefused), {proxy});
        break;
    case QNetworkReply::ProxyConnectionClosedError:
        text = Format(LoadResString(SProxyClosed), {proxy});
        break;
    case QNetworkReply::ProxyTimeoutError:
        text = Format(LoadResString(SProxyTimeout), {proxy});
        break;
    case QNetworkReply::ProxyAuthenticationRequiredError:
        text = Format(LoadResString(SProxyAuth), {proxy});
        break;
    case QNetworkReply::UnknownProxyError:
        text = Format(LoadResString(SProxyError), {proxy});
        break;
    case QNetworkReply::TemporaryNetworkFailureError:
    case QNetworkReply::NetworkSessionFailedError:
        text = LoadResString(SNetworkDown);
        break;
    default:
        text = Format(LoadResString(SNetworkError), {host});
        break;
    }
    return WithDetail(text, reason);
}

QString HttpStatusText(int status, const QString& host, const QString& statusLine)
{
    return WithDetail(Format(LoadResString(SHttpStatus), {QuotedExcerpt(host, QuotedHostMax), status}), statusLine);
}
