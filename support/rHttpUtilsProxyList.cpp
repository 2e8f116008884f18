// The public proxy list: query of a list page and reading its rows.

#include "support/rHttpUtils.h"

#include "platform/DelphiText.h"
#include "platform/ResString.h"
#include "support/RParse.h"
#include "support/RStrUtils.h"

#include <QByteArray>

namespace {

// The list site is not ours; its address is a setting. TAVRIX_PROXYLIST_URL replaces it (the
// tests point it at a local stand-in).
const char* const kProxyListSite = "http://proxylist.invalid/";
const char* const kProxyListEnv = "TAVRIX_PROXYLIST_URL";

const TResString SInvalidPort =
    RESSTR("rHttpUtils", "Порт \"%s\" в строке списка proxy-серверов не является числом от 1 до 65535");

// "\x4d\x54" -> "MT". A chunk that is not a hexadecimal number of one byte gives nothing.
QString DecodeHexEscapes(const QString& text)
{
    QString result;
    const QStringList chunks = text.split(QStringLiteral("\\x"), Qt::SkipEmptyParts);
    for (const QString& chunk : chunks) {
        bool ok = false;
        const uint code = chunk.trimmed().toUInt(&ok, 16);
        if (ok && code <= 0xFF)
            result += QChar(static_cast<char16_t>(code));
    }
    return result;
}

QString Reversed(const QString& text)
{
    QString result;
    result.reserve(text.size());
    for (qsizetype i = text.size() - 1; i >= 0; --i)
        result += text[i];
    return result;
}

} // namespace

QString ProxyListSiteUrl()
{
    const QByteArray custom = qgetenv(kProxyListEnv);
    return custom.isEmpty() ? QString::fromLatin1(kProxyListSite) : QString::fromLocal8Bit(custom);
}

QString ProxyListQuery(int protocols, int anonymity, const QString& countries, int minUptime,
                       int maxResponseMs, int page)
{
    static const char* const protocolNames[] = {"http", "https", "socks4", "socks5"};
    QString query;
    for (int i = 0; i < 4; ++i)
        if (protocols & (1 << i))
            query = AddUrlParam(query, Format(QStringLiteral("protocol=%s"), {protocolNames[i]}));
    for (int i = 0; i < 4; ++i)
        if (anonymity & (1 << i))
            query = AddUrlParam(query, Format(QStringLiteral("anonlvl=%d"), {i + 1}));
    QString separated = countries;
    separated.replace(QLatin1Char(';'), QLatin1Char(','));
    for (const QString& part : separated.split(QLatin1Char(','))) {
        const QString country = part.trimmed();
        if (!country.isEmpty())
            query = AddUrlParam(query, Format(QStringLiteral("country=%s"), {country}));
    }
    if (minUptime > 0)
        query = AddUrlParam(query, Format(QStringLiteral("min_uptime=%d"), {minUptime}));
    if (maxResponseMs > 0)
        query = AddUrlParam(query, Format(QStringLiteral("max_response_time=%d"), {maxResponseMs / 1000}));
    if (page > 1)
        query = AddUrlParam(query, Format(QStringLiteral("offset=%d"), {(page - 1) * kProxyListPageRows}));
    return query;
}

int ParseProxyListPage(const QString& page, int wantedPort, QStringList& list, QString* skipped)
{
    QString body = ExtractBetween(page, QStringLiteral("<tbody>"), QStringLiteral("</tbody>"), 0);
    const int portOffset = StrToIntDef(
        ExtractBetween2(page, QStringLiteral("<div style=\"display:none\" data-"), QStringLiteral("</div>"), 0,
                        QStringLiteral("=\""), QStringLiteral("\"")),
        0);
    int rows = 0;
    for (;;) {
        const QString row = CutField(body, QStringLiteral("<tr>"));
        if (row.isEmpty())
            break;
        const QString script = ExtractBetween(row, QStringLiteral("<script>"), QStringLiteral("</script>"), 1);
        // The address comes in two halves: the first written backwards, the second as Base64
        // of hexadecimal escapes.
        const QString first = Reversed(ExtractBetween(
            ExtractBetween(script, QStringLiteral("var"), QStringLiteral("split"), 1), QStringLiteral("'"),
            QStringLiteral("'"), 1));
        const QString second = QString::fromLatin1(QByteArray::fromBase64(
            DecodeHexEscapes(ExtractBetween(script, QStringLiteral("atob('"), QStringLiteral("'"), 1)).toLatin1()));
        // The sum is taken in 64 bits: both parts come from the page. A row whose port is not a
        // number, or lands outside 1..65535, is skipped; the other rows of the page still serve.
        const QString portText = ExtractBetween(
            ExtractBetween(script, QStringLiteral("pp ="), QStringLiteral(";"), 1), QStringLiteral("("),
            QStringLiteral(" "), 1);
        int rowPort = 0;
        const bool number = TryStrToInt(portText, rowPort);
        const std::int64_t sum = std::int64_t(rowPort) + portOffset;
        ++rows;
        if (!number || sum < 1 || sum > 65535) {
            if (skipped)
                *skipped = Format(LoadResString(SInvalidPort), {QuotedExcerpt(number ? IntToStr(sum) : portText)});
            continue;
        }
        const int port = static_cast<int>(sum);
        if (wantedPort == 0 || wantedPort == port)
            list.append(Format(QStringLiteral("%s:%d"), {first + second, port}));
    }
    return rows;
}

void FetchProxyList(QStringList& list, int protocols, int anonymity, const QString& countries,
                    int port, int minUptime, int maxResponseMs, int wantedCount)
{
    list.clear();
    QString skipped;
    for (int page = 1; page <= kProxyListMaxPages; ++page) {
        const QString query = ProxyListQuery(protocols, anonymity, countries, minUptime, maxResponseMs, page);
        QString url = ProxyListSiteUrl();
        if (!query.isEmpty())
            url += QLatin1Char('?') + query;
        const QString reply = HttpGetText(nullptr, url, kTlsNone, true);
        const int rows = reply.isEmpty() ? 0 : ParseProxyListPage(reply, port, list, &skipped);
        if (list.size() >= wantedCount || rows < kProxyListPageRows)
            break;
    }
    // Nothing found, and rows were skipped: their reason says more than "none found".
    if (list.isEmpty() && !skipped.isEmpty())
        throw EConvertError(skipped);
}
