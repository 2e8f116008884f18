#include "support/rHttpUtils.h"

#include "tests/support/HttpTestFixture.h"

#include <algorithm>

#include <gtest/gtest.h>

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
    // A row whose port is not a number is skipped; the other rows still serve.
    QByteArray badPort = ProxyPage(0, 2, 0);
    badPort.replace("(8000 - 0)", "(80x0 - 0)");
    list.clear();
    EXPECT_EQ(ParseProxyListPage(badPort, 0, list), 2);
    EXPECT_EQ(list, QStringList{"10.0.0.1:8001"});
}

// The port is the row's number plus the page's offset; a row whose sum lies outside 1..65535,
// also one past the 32-bit range, is skipped as one whose port is not a number.
TEST(rHttpUtils, ProxyListPortOutOfRange)
{
    QStringList list;
    const QByteArray fuzzed = QByteArray::fromHex(
        "003c74626f64793e3c74723e3c7363726970743e7070203d2824374646464646464620643b3c2f7363726970743e3c6469"
        "76207374796c653d22646973706c61793a6e6f6e652220646174612d3d2235223c2f6469763e3c2f74626f64793e");
    EXPECT_EQ(ParseProxyListPage(QString::fromLatin1(fuzzed.mid(1)), 0, list), 1);
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
        EXPECT_EQ(ParseProxyListPage(page, 0, list), 1) << c.port << " " << c.shift;
        EXPECT_EQ(list, c.valid ? QStringList{QStringLiteral("10.0.0.0:%1").arg(c.port + c.shift)} : QStringList());
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
