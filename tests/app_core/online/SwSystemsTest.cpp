#include "app/core/online/SwSystems.h"

#include "app/core/online/SystemCombs.h"
#include "platform/Cp1251.h"
#include "tests/app_core/online/SystemsTestEnv.h"
#include "tests/common/FixedZone.h"

#include <QFileInfo>

#include <cstdlib>
#include <ctime>

namespace {

using SwSystemsTest = TSystemsTest;

const QByteArray kClientTail = "appid=Tavrix2_2r10&appver=2.2.10.0&hwdid=0123456789ABCDEF0123456789ABCDEF";

// Bob's system as the put request tests send it.
tSystemData BobsSystem()
{
    tSystemData data;
    data.Id = 0;
    data.Nums = 5;
    data.Olap = 1;
    data.CSize = 2;
    data.Title = U8("Ab \"c\"?");
    data.Descr = U8("line1\r\nline2");
    data.CList = U8("01 02\r\n03 05\r\n");
    data.Url = U8("http://x.org/a b?c=1");
    data.Author = U8("Bob");
    data.ClMail = U8("bob@x.org");
    return data;
}


TEST_F(SwSystemsTest, RequestBodiesByteForByte)
{
    QList<tSystemInfo> rows;
    ASSERT_TRUE(FClient.GetSystemList(rows));
    tSystemData bob = BobsSystem();
    FClient.PutSystemData(bob, false);
    bob.Id = 7;
    FClient.PutSystemData(bob, true);
    bob.Title = U8("Три");
    FClient.GetSystemData(bob);

    const QList<TStandInRequest> requests = FServer.Requests();
    ASSERT_EQ(requests.size(), 4);
    EXPECT_EQ(requests[0].Method, "POST");
    EXPECT_EQ(requests[0].Path, "/scripts/sys_getlist.php");
    EXPECT_EQ(requests[0].Body,
              "comblen=2&maxnums=10&" + kClientTail + "&cl_name=Ann+O%5C%27Neil&cl_mail=Ann%40Example.org&cl_lcid=1049");
    // Title and description C-escaped, the list C-escaped and then Base64, the address as it
    // is, and the system's author where the list names the user.
    EXPECT_EQ(requests[1].Path, "/scripts/sys_putdata.php");
    EXPECT_EQ(requests[1].Body,
              "del_mode=0&sys_id=0&nums=5&clen=2&olap=1&title=Ab+%5C%22c%5C%22%5C%3F&descr=line1%5Cr%5Cnline2"
              "&csize=2&clist=MDEgMDJcclxuMDMgMDVcclxu&url=http%3A%2F%2Fx.org%2Fa+b%3Fc%3D1&"
                  + kClientTail + "&cl_name=Bob&cl_mail=bob%40x.org&cl_lcid=1049");
    EXPECT_EQ(requests[2].Body,
              "del_mode=1&sys_id=7&nums=5&clen=2&olap=1&title=Ab+%5C%22c%5C%22%5C%3F&descr=line1%5Cr%5Cnline2"
              "&csize=2&clist=&url=http%3A%2F%2Fx.org%2Fa+b%3Fc%3D1&"
                  + kClientTail + "&cl_name=Bob&cl_mail=bob%40x.org&cl_lcid=1049");
    EXPECT_EQ(requests[3].Path, "/scripts/sys_getdata.php");
    EXPECT_EQ(requests[3].Body, "sys_id=7");
    EXPECT_EQ(FStatuses, QStringList({U8("Сохранение \"Ab \"c\"?\"..."), QString(), U8("Удаление \"Ab \"c\"?\"..."),
                                      QString(), U8("Загрузка \"Три\"..."), QString()}));
}

TEST_F(SwSystemsTest, PublishedSystemReadsBackAsSent)
{
    tSystemData bob = BobsSystem();
    const std::int32_t id = FClient.PutSystemData(bob, false);
    ASSERT_EQ(id, 1);
    const TSystemServer::TSystem* stored = FSystems.Find(1);
    ASSERT_NE(stored, nullptr);
    EXPECT_EQ(stored->Title, bob.Title);
    EXPECT_EQ(stored->Descr, bob.Descr);
    EXPECT_EQ(stored->CList, bob.CList);
    EXPECT_EQ(stored->Author, U8("Bob"));

    QList<tSystemInfo> rows;
    ASSERT_TRUE(FClient.GetSystemList(rows));
    ASSERT_EQ(rows.size(), 1);
    EXPECT_EQ(rows[0].Title, bob.Title);
    EXPECT_EQ(rows[0].Descr, bob.Descr);
    EXPECT_EQ(rows[0].Url, bob.Url);
    EXPECT_EQ(FClient.GetSystemData(rows[0]), bob.CList);
    EXPECT_TRUE(FBoxes.Boxes().isEmpty());
}

TEST_F(SwSystemsTest, ListRowsWithLocalTimesAndOwnership)
{
    const TFixedZone moscow("Europe/Moscow");
    TSystemServer::TSystem mine = System(42, 5, 1, {"1 2", "2 3", "4 5"}, U8("ann@example.org"),
                                         Utc(2016, 8, 1, 21, 30, 5));
    mine.Title = U8("Система «Треугольник»");
    mine.Downloads = 3;
    mine.LastDownload = Utc(2016, 8, 9, 23, 59, 59);
    mine.Url = U8("https://example.org/s42");
    FSystems.Add(mine);
    FSystems.Add(System(7, 3, 0, {"1 2", "2 3", "1 3"}, U8("bob@x.org"), Utc(2015, 12, 31, 22, 0, 0)));

    QList<tSystemInfo> rows;
    ASSERT_TRUE(FClient.GetSystemList(rows));
    ASSERT_EQ(rows.size(), 2);
    const tSystemInfo& a = rows[0];
    EXPECT_EQ(a.Id, 42);
    EXPECT_EQ(a.Nums, 5);
    EXPECT_EQ(a.Olap, 1);
    EXPECT_EQ(a.CSize, 3);
    EXPECT_EQ(a.Title, U8("Система «Треугольник»"));
    EXPECT_EQ(a.Author, U8("ann"));
    EXPECT_EQ(a.ClMail, U8("ann@example.org"));
    EXPECT_EQ(a.Descr, U8("Описание 42"));
    EXPECT_EQ(a.Downloads, 3);
    EXPECT_EQ(a.Url, U8("https://example.org/s42"));
    // Held in local time: Moscow is three hours ahead of UTC.
    EXPECT_EQ(a.Created.toString(U8("yyyy-MM-dd hh:mm:ss")), U8("2016-08-02 00:30:05"));
    EXPECT_EQ(a.LastDownload.toString(U8("yyyy-MM-dd hh:mm:ss")), U8("2016-08-10 02:59:59"));
    EXPECT_EQ(rows[1].Created.toString(U8("yyyy-MM-dd hh:mm:ss")), U8("2016-01-01 01:00:00"));
    EXPECT_FALSE(rows[1].LastDownload.isValid());

    // Ownership: the address without regard to letter case, and never by two empty addresses.
    EXPECT_TRUE(SystemIsOwn(a, U8("Ann@Example.org")));
    EXPECT_FALSE(SystemIsOwn(rows[1], U8("Ann@Example.org")));
    tSystemInfo anonymous = a;
    anonymous.ClMail.clear();
    EXPECT_FALSE(SystemIsOwn(anonymous, QString()));
    EXPECT_FALSE(SystemIsOwn(anonymous, U8("  ")));
    EXPECT_FALSE(SystemIsOwn(a, QString()));
}

TEST_F(SwSystemsTest, ReplyWithoutResultEmptyResultAndErrorRow)
{
    QList<tSystemInfo> rows;
    FSystems.Add(System(7, 3, 0, {"1 2"}, U8("bob@x.org"), Utc(2016, 1, 1, 0, 0, 0)));

    FSystems.SetFailure(TSystemServer::ListPath, TSystemServer::TFailure::NoResult, 1);
    ASSERT_TRUE(FClient.GetSystemList(rows));
    ASSERT_EQ(rows.size(), 1);
    EXPECT_EQ(rows[0].Id, -1);
    EXPECT_EQ(rows[0].Title, U8("Список систем не доступен!"));
    EXPECT_EQ(rows[0].Nums, 0);
    EXPECT_FALSE(rows[0].Created.isValid());
    EXPECT_TRUE(FBoxes.Boxes().isEmpty());

    rows.clear();
    FSystems.SetFailure(TSystemServer::ListPath, TSystemServer::TFailure::ErrorRow, 1);
    EXPECT_FALSE(FClient.GetSystemList(rows));
    EXPECT_TRUE(rows.isEmpty());
    ASSERT_EQ(FBoxes.Boxes().size(), 1);
    EXPECT_EQ(FBoxes.Last().Icon, TBoxIcon::Error);
    EXPECT_TRUE(FBoxes.Last().Text.startsWith(U8("Ошибка загрузки списка систем!\n\n")));
    EXPECT_GT(FBoxes.Last().Text.size(), U8("Ошибка загрузки списка систем!\n\n").size());

    // A server with no systems answers an empty result: an empty list, no placeholder.
    FSystems.SetFailure(TSystemServer::ListPath, TSystemServer::TFailure::None);
    FServer.Route(TSystemServer::ListPath, TStandInReply::Text("<result></result>"));
    EXPECT_TRUE(FClient.GetSystemList(rows));
    EXPECT_TRUE(rows.isEmpty());
    EXPECT_EQ(FBoxes.Boxes().size(), 1);

    // The server is not there at all.
    qputenv(MakerServerEnv, "http://127.0.0.1:1");
    EXPECT_FALSE(FClient.GetSystemList(rows));
    EXPECT_EQ(FBoxes.Boxes().size(), 2);
    EXPECT_TRUE(FBoxes.Last().Text.startsWith(U8("Ошибка загрузки списка систем!\n\n")));
}

TEST_F(SwSystemsTest, BadValuesFailTheListAndKeepTheRowsReadBefore)
{
    struct TCase {
        const char* Row;
        const char* Names;   // what the error text must quote
    };
    const TCase cases[] = {
        {"<row><id>9</id><title>@@@</title></row>", "title"},
        {"<row><id>99999999999</id></row>", "id"},
        {"<row><id>9</id><nums>five</nums></row>", "nums"},
        {"<row><id>9</id><created>2016-13-45 99:00:00</created></row>", "created"},
        {"<row><id>9</id><descr>0J/RgNC4\xff</descr></row>", "descr"},
    };
    FSystems.Add(System(7, 3, 0, {"1 2"}, U8("bob@x.org"), Utc(2016, 1, 1, 0, 0, 0)));
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Row);
        FBoxes.Clear();
        FSystems.SetExtraListRows(c.Row);
        QList<tSystemInfo> rows;
        EXPECT_FALSE(FClient.GetSystemList(rows));
        ASSERT_EQ(rows.size(), 1);
        EXPECT_EQ(rows[0].Id, 7);
        ASSERT_EQ(FBoxes.Boxes().size(), 1);
        EXPECT_TRUE(FBoxes.Last().Text.startsWith(U8("Ошибка загрузки списка систем!\n\n")));
        EXPECT_TRUE(FBoxes.Last().Text.contains(QString::fromLatin1(c.Names))) << FBoxes.Last().Text.toStdString();
    }

    // A download count that is not a number reads as none; format characters in a reply are
    // only text.
    FBoxes.Clear();
    FSystems.SetExtraListRows("<row><id>9</id><downloads>many</downloads><author>%s%d%n</author></row>");
    QList<tSystemInfo> rows;
    ASSERT_TRUE(FClient.GetSystemList(rows));
    ASSERT_EQ(rows.size(), 2);
    EXPECT_EQ(rows[1].Downloads, 0);
    EXPECT_EQ(rows[1].Author, U8("%s%d%n"));
    EXPECT_TRUE(FBoxes.Boxes().isEmpty());
}

TEST_F(SwSystemsTest, DownloadWritesTheCacheFileWithTheCreatedTime)
{
    const QDateTime created = Utc(2016, 8, 1, 21, 30, 5);
    FSystems.Add(System(42, 5, 1, {"1 2", "2 3", "4 5"}, U8("ann@example.org"), created));
    QList<tSystemInfo> rows;
    ASSERT_TRUE(FClient.GetSystemList(rows));
    ASSERT_EQ(rows.size(), 1);
    EXPECT_FALSE(FClient.IsCached(rows[0]));

    FStatuses.clear();
    ASSERT_TRUE(FClient.StoreSystemList(rows[0]));
    EXPECT_EQ(CachedFiles(), QStringList({U8("2-05-1_0042.dat")}));
    EXPECT_EQ(FClient.CacheFileName(rows[0]), CacheFile("2-05-1_0042.dat"));
    EXPECT_EQ(ReadFileBytes(CacheFile("2-05-1_0042.dat")), QByteArray("1 2\r\n2 3\r\n4 5\r\n"));
    EXPECT_EQ(QFileInfo(CacheFile("2-05-1_0042.dat")).lastModified().toSecsSinceEpoch(), created.toSecsSinceEpoch());
    EXPECT_TRUE(FClient.IsCurrent(rows[0]));
    EXPECT_EQ(FStatuses, QStringList({U8("Загрузка \"Система 42\"..."), QString()}));
    EXPECT_EQ(FSystems.Find(42)->Downloads, 1);

    // The system as the player's numbers read it: index 2 and 5 of 1, 4, 6, 7, 9 is 4;9.
    TSystemCombs combs;
    ASSERT_TRUE(LoadSystemCombs(FClient.CacheFolder(), TByteArray{1, 4, 6, 7, 9}, combs));
    EXPECT_EQ(combs.Combs, (TCombsArray{MakeComb(1, 4), MakeComb(4, 6), MakeComb(7, 9)}));

    EXPECT_TRUE(FClient.DeleteCachedSystemFile(rows[0]));
    EXPECT_TRUE(CachedFiles().isEmpty());
    EXPECT_TRUE(FClient.DeleteCachedSystemFile(rows[0]));
    EXPECT_TRUE(FBoxes.Boxes().isEmpty());
}

TEST_F(SwSystemsTest, WrongLineCountOrBadListIsNeverCached)
{
    FSystems.Add(System(42, 5, 1, {"1 2", "2 3", "4 5"}, QString(), Utc(2016, 8, 1, 0, 0, 0)));
    QList<tSystemInfo> rows;
    ASSERT_TRUE(FClient.GetSystemList(rows));

    FSystems.SetFailure(TSystemServer::FetchPath, TSystemServer::TFailure::ShortList, 1);
    EXPECT_FALSE(FClient.StoreSystemList(rows[0]));
    EXPECT_TRUE(CachedFiles().isEmpty());
    EXPECT_EQ(BoxTexts(), QStringList({U8("Ошибка загрузки системы #42!\n\n"
                                          "Количество скачанных комбинаций ( 2 ) отличается от ожидаемого значения ( 3 )")}));

    FBoxes.Clear();
    FSystems.SetFailure(TSystemServer::FetchPath, TSystemServer::TFailure::BadBase64, 1);
    EXPECT_FALSE(FClient.StoreSystemList(rows[0]));
    ASSERT_EQ(FBoxes.Boxes().size(), 1);
    EXPECT_TRUE(FBoxes.Last().Text.startsWith(U8("Ошибка загрузки системы #42!\n\n")));
    EXPECT_TRUE(FBoxes.Last().Text.contains(U8("clist")));

    FBoxes.Clear();
    FSystems.SetFailure(TSystemServer::FetchPath, TSystemServer::TFailure::ErrorRow, 1);
    EXPECT_TRUE(FClient.GetSystemData(rows[0]).isEmpty());
    ASSERT_EQ(FBoxes.Boxes().size(), 1);
    EXPECT_TRUE(FBoxes.Last().Text.startsWith(U8("Ошибка загрузки системы #42!\n\n")));
    EXPECT_TRUE(CachedFiles().isEmpty());
    EXPECT_EQ(WaitCount(), 0);
}

TEST_F(SwSystemsTest, RowsOutsideTheCacheRangesAreListedButNeverStored)
{
    struct TCase {
        int Id, Nums, Olap;
    };
    const TCase refused[] = {{0, 5, 0}, {-5, 5, 0}, {9, 2, 0}, {9, 11, 0}, {9, 300, 0}, {9, 5, 2}, {9, 5, -1}};
    for (const TCase& c : refused) {
        SCOPED_TRACE(testing::Message() << c.Id << " " << c.Nums << " " << c.Olap);
        tSystemInfo info;
        info.Id = c.Id;
        info.Nums = c.Nums;
        info.Olap = c.Olap;
        info.CSize = 1;
        EXPECT_FALSE(SystemCacheable(info));
        EXPECT_TRUE(FClient.CacheFileName(info).isEmpty());
        FBoxes.Clear();
        FServer.ClearRequests();
        EXPECT_FALSE(FClient.StoreSystemList(info));
        EXPECT_TRUE(FServer.Requests().isEmpty());
        EXPECT_EQ(FBoxes.Boxes().size(), 1);
        EXPECT_FALSE(FClient.IsCached(info));
    }
    EXPECT_TRUE(CachedFiles().isEmpty());
    EXPECT_FALSE(QFileInfo::exists(FClient.CacheFolder()));

    // Rows like these still reach the list.
    FSystems.SetExtraListRows("<row><id>9</id><nums>300</nums><olap>0</olap></row>"
                              "<row><id>-3</id><nums>5</nums><olap>0</olap></row>");
    QList<tSystemInfo> rows;
    ASSERT_TRUE(FClient.GetSystemList(rows));
    ASSERT_EQ(rows.size(), 2);
    EXPECT_EQ(rows[0].Nums, 300);
    EXPECT_EQ(rows[1].Id, -3);

    tSystemInfo edge;
    edge.Id = 1;
    for (const auto& [nums, olap] : {std::pair{3, 0}, std::pair{10, 1}}) {
        edge.Nums = nums;
        edge.Olap = olap;
        EXPECT_TRUE(SystemCacheable(edge));
    }
}

TEST_F(SwSystemsTest, ChangedCreatedTimeDownloadsAgainWhenTheListIsLoaded)
{
    FSystems.Add(System(42, 5, 1, {"1 2", "2 3"}, QString(), Utc(2016, 8, 1, 0, 0, 0)));
    FSystems.Add(System(43, 4, 0, {"1 2"}, QString(), Utc(2016, 8, 2, 0, 0, 0)));
    QList<tSystemInfo> rows;
    ASSERT_TRUE(FClient.GetSystemList(rows));
    ASSERT_TRUE(FClient.StoreSystemList(rows[0]));
    ASSERT_TRUE(FClient.StoreSystemList(rows[1]));
    FServer.ClearRequests();

    // Unchanged: nothing is fetched.
    rows.clear();
    ASSERT_TRUE(FClient.GetSystemList(rows));
    EXPECT_TRUE(RequestsTo(TSystemServer::FetchPath).isEmpty());

    // The author replaced system 42 on the server.
    TSystemServer::TSystem* changed = FSystems.Find(42);
    changed->Created = Utc(2016, 8, 5, 10, 0, 0);
    changed->CList = U8("1 2\r\n3 5\r\n");
    rows.clear();
    ASSERT_TRUE(FClient.GetSystemList(rows));
    const QList<TStandInRequest> fetches = RequestsTo(TSystemServer::FetchPath);
    ASSERT_EQ(fetches.size(), 1);
    EXPECT_EQ(fetches[0].Body, "sys_id=42");
    EXPECT_EQ(ReadFileBytes(CacheFile("2-05-1_0042.dat")), QByteArray("1 2\r\n3 5\r\n"));
    EXPECT_EQ(QFileInfo(CacheFile("2-05-1_0042.dat")).lastModified().toSecsSinceEpoch(),
              Utc(2016, 8, 5, 10, 0, 0).toSecsSinceEpoch());
    EXPECT_TRUE(FBoxes.Boxes().isEmpty());
}

TEST_F(SwSystemsTest, PutResultIsTheFirstIdAndFailuresAreMinusOne)
{
    tSystemData bob = BobsSystem();
    FSystems.SetFailure(TSystemServer::PutPath, TSystemServer::TFailure::ErrorRow, 1);
    EXPECT_EQ(FClient.PutSystemData(bob, false), -1);
    ASSERT_EQ(FBoxes.Boxes().size(), 1);
    EXPECT_TRUE(FBoxes.Last().Text.startsWith(U8("Ошибка сохранения системы #0!\n\n")));

    struct TCase {
        const char* Reply;
        std::int32_t Id;
        int Boxes;
    };
    const TCase cases[] = {
        {"<result><row><id_systems>-1</id_systems></row><row><id_systems>12</id_systems></row></result>", 12, 0},
        {"<result><row><id_systems>0</id_systems></row></result>", 0, 0},
        // Rows without an id are no answer, least of all a deletion's 0.
        {"<result><row><other>1</other></row></result>", -1, 0},
        {"<result></result>", -1, 0},
        {"<result><row><id_systems>x</id_systems></row></result>", -1, 1},
        {"no result", -1, 1},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Reply);
        FBoxes.Clear();
        FSystems.SetPutReply(c.Reply);
        EXPECT_EQ(FClient.PutSystemData(bob, true), c.Id);
        EXPECT_EQ(FBoxes.Boxes().size(), c.Boxes);
    }
}

} // namespace
