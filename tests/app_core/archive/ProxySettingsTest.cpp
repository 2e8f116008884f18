#include "tests/app_core/archive/DownloadTestEnv.h"

#include "platform/IniFile.h"
#include "tests/common/TestHelpers.h"

#include <QDir>

namespace {

using ProxySettingsTest = TCoreTest;
using ProxyDownloadTest = TDownloadTest;

} // namespace

TEST_F(ProxySettingsTest, SectionRoundTripKeepsTheOtherSections)
{
    WriteFileBytes(FState.IniFileName(), "[GLOBAL]\r\nChannelSize=5\r\n");
    FState.FProxy.Mode = 2;
    FState.FProxy.Server = "proxy.local";
    FState.FProxy.Port = 3128;
    FState.FProxy.UserName = "user";
    FState.FProxy.Password = U("пароль");
    FProxy.SaveProxySettings(true);

    EXPECT_EQ(ReadFileBytes(FState.IniFileName()),
              "[GLOBAL]\r\nChannelSize=5\r\n\r\n[PROXY]\r\nProxyMode=2\r\nProxyServer=proxy.local\r\nProxyPort=3128\r\n"
              "ProxyUsername=user\r\nProxyPassword=" + Cp("пароль") + "\r\n");
    EXPECT_TRUE(FState.FProxy.Loaded);
    EXPECT_EQ(FStatuses, QStringList({U("Сохранение файла конфигурации..."), QString()}));

    TMainState other;
    other.SetDataDir(FDir.path());
    TProxySettings otherProxy(other);
    otherProxy.LoadProxySettings();
    EXPECT_EQ(other.FProxy.Mode, 2);
    EXPECT_EQ(other.FProxy.Server, "proxy.local");
    EXPECT_EQ(other.FProxy.Port, 3128);
    EXPECT_EQ(other.FProxy.UserName, "user");
    EXPECT_EQ(other.FProxy.Password, U("пароль"));
    EXPECT_TRUE(other.FProxy.Loaded);
    EXPECT_TRUE(FBoxes.Boxes().isEmpty());
}

TEST_F(ProxySettingsTest, DefaultsWhenKeysAreMissing)
{
    FState.FProxy.Mode = 1;
    FProxy.LoadProxySettings();   // no file at all
    EXPECT_EQ(FState.FProxy.Mode, 0);
    EXPECT_EQ(FState.FProxy.Port, 80);
    EXPECT_TRUE(FState.FProxy.Server.isEmpty());
    EXPECT_TRUE(FState.FProxy.Loaded);

    // A server without a mode is a fixed proxy; what no host holds (a hidden character written
    // as "?") is left out.
    WriteFileBytes(FState.IniFileName(), "[proxy]\r\nProxyServer=10.1.1.1???\r\nProxyPort=abc\r\n");
    FProxy.LoadProxySettings();
    EXPECT_EQ(FState.FProxy.Mode, 2);
    EXPECT_EQ(FState.FProxy.Server, "10.1.1.1");
    EXPECT_EQ(FState.FProxy.Port, 80);

    WriteFileBytes(FState.IniFileName(), "[PROXY]\r\nProxyMode=1\r\nProxyServer=10.1.1.1\r\nProxyPort=8080\r\n");
    FProxy.LoadProxySettings();
    EXPECT_EQ(FState.FProxy.Mode, 1);
    EXPECT_EQ(FState.FProxy.Port, 8080);
    EXPECT_TRUE(FBoxes.Boxes().isEmpty());
}

TEST_F(ProxySettingsTest, DialogChoices)
{
    FProxy.ApplyDialog(TProxySettings::ModeAuto, "host", 5, "u", "p");
    TMemIniFile ini(FState.IniFileName());
    EXPECT_EQ(ini.ReadSectionValues("PROXY"), QStringList({"ProxyMode=1", "ProxyServer=", "ProxyPort=0",
                                                           "ProxyUsername=u", "ProxyPassword=p"}));
    EXPECT_TRUE(FState.FProxy.Loaded);

    FProxy.ApplyDialog(TProxySettings::ModeManual, "host", 5, "u", "p");
    ini = TMemIniFile(FState.IniFileName());
    EXPECT_EQ(ini.ReadSectionValues("PROXY"), QStringList({"ProxyMode=2", "ProxyServer=host", "ProxyPort=5",
                                                           "ProxyUsername=u", "ProxyPassword=p"}));
    // Switching the proxy off keeps the fields for the next time it is switched on.
    FProxy.ApplyDialog(TProxySettings::ModeOff, "host", 5, "u", "p");
    ini = TMemIniFile(FState.IniFileName());
    EXPECT_EQ(ini.ReadString("PROXY", "ProxyMode", ""), "0");
    EXPECT_EQ(ini.ReadString("PROXY", "ProxyServer", ""), "host");
}

TEST_F(ProxySettingsTest, FileErrorsAreShownAndLeaveTheDefaults)
{
    ASSERT_TRUE(QDir().mkpath(FState.IniFileName()));   // a folder where the file should be
    FState.FProxy.Mode = 2;
    FState.FProxy.Server = "gone";
    FProxy.LoadProxySettings();
    ASSERT_EQ(FBoxes.Boxes().size(), 1);
    EXPECT_TRUE(FBoxes.Last().Text.startsWith(U("Ошибка чтения файла конфигурации!\n\n")));
    EXPECT_EQ(FBoxes.Last().Icon, TBoxIcon::Error);
    EXPECT_EQ(FState.FProxy.Mode, 0);
    EXPECT_EQ(FState.FProxy.Server, "");
    EXPECT_EQ(FState.FProxy.Port, 80);

    FState.FProxy.Loaded = false;   // a proxy chosen since
    FProxy.StoreFoundProxy();
    ASSERT_EQ(FBoxes.Boxes().size(), 2);
    EXPECT_EQ(FBoxes.Last().Text, U("Ошибка записи в файл конфигурации!\n\nНе удалось записать файл \"")
                                      + FState.IniFileName()
                                      + U("\": его нынешнее содержимое не читается, а запись заново стерла бы остальные "
                                          "настройки в нем."));
    EXPECT_FALSE(FState.FProxy.Loaded);
    // Without progress the status line is left alone.
    EXPECT_FALSE(FStatuses.contains(U("Сохранение файла конфигурации...")));
}

TEST_F(ProxySettingsTest, WhichProxyARequestUses)
{
    QStringList texts;
    FProxy.OnWaitText = [&](const QString& text) { texts.append(text); };
    std::optional<THttpProxy> proxy;

    EXPECT_TRUE(FProxy.ApplyProxy("http://x/", 1, proxy));
    EXPECT_FALSE(proxy.has_value());
    EXPECT_EQ(texts.last(), U("Загрузка архива тиражей..."));

    FState.FProxy.Mode = 2;
    FState.FProxy.Server = "10.0.0.2";
    FState.FProxy.Port = 3128;
    FState.FProxy.UserName = "u";
    EXPECT_TRUE(FProxy.ApplyProxy("http://x/", 4, proxy));
    ASSERT_TRUE(proxy.has_value());
    EXPECT_EQ(proxy->Server, "10.0.0.2");
    EXPECT_EQ(proxy->Port, 3128);
    EXPECT_EQ(proxy->User, "u");
    EXPECT_EQ(texts.last(), U("Загрузка архива тиражей...\n\nПопытка 4, proxy 10.0.0.2 : 3128"));

    FState.FProxy.Server = QString(5000, 'h');   // quoted short; the request still has it whole
    EXPECT_TRUE(FProxy.ApplyProxy("http://x/", 2, proxy));
    EXPECT_EQ(proxy->Server.size(), 5000);
    EXPECT_EQ(texts.last(), U("Загрузка архива тиражей...\n\nПопытка 2, proxy %1… : 3128").arg(QString(64, 'h')));

    FState.FProxy.Server.clear();
    EXPECT_TRUE(FProxy.ApplyProxy("http://x/", 1, proxy));
    EXPECT_FALSE(proxy->Usable());
    EXPECT_EQ(texts.last(), U("Загрузка архива тиражей..."));

    FState.FProxy.Mode = 7;   // not a mode: no proxy
    FState.FProxy.Server = "10.0.0.2";
    EXPECT_TRUE(FProxy.ApplyProxy("http://x/", 1, proxy));
    EXPECT_FALSE(proxy.has_value());
    FState.FProxy.Mode = 1;   // a found proxy never gets the fixed proxy's user name
    EXPECT_TRUE(FProxy.ApplyProxy("http://x/", 1, proxy));
    EXPECT_TRUE(proxy->User.isEmpty());
    EXPECT_TRUE(FBoxes.Boxes().isEmpty());
}

TEST_F(ProxySettingsTest, FoundProxiesAreTakenInTurn)
{
    TProxy& p = FState.FProxy;
    p.Mode = 1;
    p.Loaded = true;
    // A host that would read as another one is no host the site could mean.
    p.FoundProxies = {"nothing", "host:port", QString::fromUtf16(u"good\u202Eexe.moc:80"), " 10.0.0.1 : 8080 ",
                      "10.0.0.3:3128"};
    EXPECT_TRUE(FProxy.SelectPublicProxy("http://x/"));
    EXPECT_EQ(p.Server, "10.0.0.1");
    EXPECT_EQ(p.Port, 8080);
    EXPECT_FALSE(p.Loaded);
    EXPECT_EQ(p.FoundProxies.size(), 2);

    EXPECT_TRUE(FProxy.DropFailedProxy());
    EXPECT_TRUE(p.Server.isEmpty());
    EXPECT_EQ(p.Port, 0);
    EXPECT_EQ(p.FoundProxies, QStringList({"10.0.0.3:3128"}));
    EXPECT_FALSE(FProxy.DropFailedProxy());
    EXPECT_TRUE(p.FoundProxies.isEmpty());
    EXPECT_FALSE(FProxy.DropFailedProxy());

    p.FoundProxies = {"a:0", "b:70000"};
    EXPECT_FALSE(FProxy.SelectPublicProxy("http://x/"));
    ASSERT_EQ(FBoxes.Boxes().size(), 1);
    EXPECT_EQ(FBoxes.Last().Text, U("Ошибка автоматического выбора proxy сервера!\n\nb:70000"));

    // A fixed proxy is never dropped.
    p.Mode = 2;
    p.Server = "fixed";
    p.FoundProxies = {"x:1"};
    EXPECT_FALSE(FProxy.DropFailedProxy());
    EXPECT_EQ(p.Server, "fixed");
}

TEST_F(ProxyDownloadTest, FixedProxyCarriesTheRequest)
{
    FState.FProxy.Mode = 2;
    FState.FProxy.Server = "127.0.0.1";
    FState.FProxy.Port = FServer.Port();
    EXPECT_EQ(FDownload.Execute(), 20);
    ASSERT_EQ(SiteRequests().size(), 1);
    EXPECT_TRUE(SiteRequests()[0].ViaProxy());
    EXPECT_EQ(SiteRequests()[0].Target, "http://" + FServer.Authority().toLatin1() + SearchTarget(QDate(2016, 8, 1),
                                                                                                 QDate(2016, 8, 10)));
    EXPECT_EQ(FWaitTexts, QStringList({U("Загрузка архива тиражей...\n\nПопытка 1, proxy 127.0.0.1 : %1")
                                           .arg(FServer.Port())}));
}

TEST_F(ProxyDownloadTest, FailingPublicProxyIsReplacedWithoutAsking)
{
    const int dead = ClosedLocalPort();   // and a row whose port is not a number, passed over
    QByteArray list = ProxyListPage({{"127.0.0.1", dead}, {"10.9.9.9", 1}, {"127.0.0.1", FServer.Port()}});
    FServer.Route("/proxylist/", TStandInReply::Text(list.replace("(1 - 0)", "(99999999999 - 0)")));
    FState.FProxy.Mode = 1;
    FState.FProxy.UserName = "user";
    FState.FProxy.Password = "secret";

    EXPECT_EQ(FDownload.Execute(), 20);
    EXPECT_TRUE(FBoxes.Boxes().isEmpty());
    ASSERT_EQ(SiteRequests().size(), 1);
    EXPECT_TRUE(SiteRequests()[0].ViaProxy());

    // One list request, with the response time in the site's unit (seconds).
    int listRequests = 0;
    for (const TStandInRequest& rq : FServer.Requests())
        if (rq.Path == "/proxylist/") {
            ++listRequests;
            EXPECT_EQ(rq.Query, "protocol=http&protocol=https&min_uptime=75&max_response_time=10");
        }
    EXPECT_EQ(listRequests, 1);
    EXPECT_EQ(FDownload.Attempt(), 2);
    EXPECT_TRUE(FWaitTexts.contains(U("Загрузка архива тиражей...\n\nПоиск proxy-серверов")));
    EXPECT_TRUE(FWaitTexts.contains(U("Загрузка архива тиражей...\n\nПопытка 1, proxy 127.0.0.1 : %1").arg(dead)));
    EXPECT_EQ(FWaitTexts.last(), U("Загрузка архива тиражей...\n\nПопытка 2, proxy 127.0.0.1 : %1").arg(FServer.Port()));

    // The proxy that worked is kept for the next start; the found list is gone.
    const TMemIniFile ini(FState.IniFileName());
    EXPECT_EQ(ini.ReadString("PROXY", "ProxyMode", ""), "1");
    EXPECT_EQ(ini.ReadString("PROXY", "ProxyServer", ""), "127.0.0.1");
    EXPECT_EQ(ini.ReadInteger("PROXY", "ProxyPort", 0), FServer.Port());
    EXPECT_EQ(ini.ReadString("PROXY", "ProxyUsername", ""), "user");
    EXPECT_EQ(ini.ReadString("PROXY", "ProxyPassword", ""), "secret");
    EXPECT_TRUE(FState.FProxy.FoundProxies.isEmpty());
    EXPECT_TRUE(FState.FProxy.Loaded);
}

TEST_F(ProxyDownloadTest, NoPublicProxyFoundMeansNoRequest)
{
    FServer.Route("/proxylist/", TStandInReply::Text(ProxyListPage({})));
    FState.FProxy.Mode = 1;
    EXPECT_EQ(FDownload.Execute(), 0);
    EXPECT_TRUE(SiteRequests().isEmpty());
    ASSERT_EQ(FBoxes.Boxes().size(), 1);
    EXPECT_EQ(FBoxes.Last().Text, U("Ошибка получения списка proxy-серверов!\n\n"
                                    "Не найдено ни одного proxy-сервера с заданными параметрами"));

    // Only unreadable rows: the reason names the row's port.
    FServer.Route("/proxylist/",
                  TStandInReply::Text(ProxyListPage({{"10.9.9.9", 1}}).replace("(1 - 0)", "(zz8000 - 0)")));
    EXPECT_EQ(FDownload.Execute(), 0);
    EXPECT_EQ(FBoxes.Last().Text, U("Ошибка получения списка proxy-серверов!\n\n"
                                    "Порт \"zz8000\" в строке списка proxy-серверов не является числом от 1 до 65535"));
}

TEST_F(ProxyDownloadTest, HttpsAddressesAskForHttpsProxiesOnly)
{
    FServer.Route("/proxylist/", TStandInReply::Text(ProxyListPage({{"10.0.0.9", 443}})));
    EXPECT_TRUE(FProxy.FindPublicProxy("HTTPS://example/"));
    EXPECT_EQ(FState.FProxy.FoundProxies, QStringList({"10.0.0.9:443"}));
    ASSERT_FALSE(FServer.Requests().isEmpty());
    EXPECT_EQ(FServer.Requests().last().Query, "protocol=https&min_uptime=75&max_response_time=10");
}
