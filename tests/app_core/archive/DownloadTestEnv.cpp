#include "tests/app_core/archive/DownloadTestEnv.h"

#include "app/core/archive/ResultsPage.h"

#include <QHostAddress>
#include <QTcpServer>

TDownloadTest::TDownloadTest()
{
    SetToday(FNow.date());
    EXPECT_TRUE(FServer.Start());
    qputenv(OperatorSiteEnv, FServer.BaseUrl().toLatin1());
    qputenv("TAVRIX_PROXYLIST_URL", (FServer.BaseUrl() + "/proxylist/").toLatin1());
    FProxy.LoadProxySettings();
    FProxy.OnWaitText = [this](const QString& text) { FWaitTexts.append(text); };
    FDownload.OnAfterDownload = [this] { ++FAfterDownload; };
    FStatuses.clear();
}

TDownloadTest::~TDownloadTest()
{
    qunsetenv(OperatorSiteEnv);
    qunsetenv("TAVRIX_PROXYLIST_URL");
}

TDrawsArray TDownloadTest::SiteDraws(const QDate& from, const QDate& to, int firstNumber)
{
    TDrawsArray draws;
    for (QDate day = from; day <= to; day = day.addDays(1))
        for (const bool evening : {false, true}) {
            TDrawRec draw;
            draw.Number = static_cast<std::uint32_t>(firstNumber + static_cast<int>(draws.size()));
            const auto [d1, d2] = TOperatorSite::DrawDigits(day, evening);
            draw.Digits = {static_cast<std::uint8_t>(d1), static_cast<std::uint8_t>(d2)};
            draw.Key.Set(day.toString("MM/dd/yyyy") + (evening ? " E" : " M"));
            draws.push_back(draw);
        }
    return draws;
}

QList<TStandInRequest> TDownloadTest::SiteRequests() const
{
    QList<TStandInRequest> requests;
    for (const TStandInRequest& request : FServer.Requests())
        if (request.Path == ResultsSearchPath)
            requests.append(request);
    return requests;
}

QByteArray TDownloadTest::SearchTarget(const QDate& from, const QDate& to)
{
    return "/site/winningNumberSearch?searchTypeIn=range&gameNameIn=PICK2&singleDateIn=&fromDateIn="
           + from.toString("MM'%2F'dd'%2F'yyyy").toLatin1() + "&toDateIn="
           + to.toString("MM'%2F'dd'%2F'yyyy").toLatin1()
           + "&n1In=&n2In=&n3In=&n4In=&n5In=&submitForm=Submit";
}

QByteArray TDownloadTest::ProxyListPage(const QList<QPair<QString, int>>& entries)
{
    // The list site hides each address in a script: the first part written backwards, the
    // rest as Base64 in hexadecimal escapes.
    QByteArray rows;
    for (const auto& [host, port] : entries) {
        const QString first = host.left(3);
        QString reversed;
        for (qsizetype i = first.size() - 1; i >= 0; --i)
            reversed += first[i];
        QByteArray escaped;
        for (const char c : host.mid(3).toLatin1().toBase64())
            escaped += "\\x" + QByteArray::number(static_cast<unsigned char>(c), 16);
        rows += "<tr><td><script>var a = '" + reversed.toLatin1() + "'.split('').reverse().join('');"
                "var b = atob('" + escaped + "');document.write(a + b);var pp = (" +
                QByteArray::number(port) + " - 0);</script></td><td>HTTP</td></tr>\n";
    }
    return "<html><body><table><thead><tr><th>IP</th></tr></thead><tbody>\n" + rows +
           "</tbody></table></body></html>";
}

