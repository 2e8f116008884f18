#include "app/core/online/SystemsExchange.h"

#include "app/core/online/SystemCombs.h"
#include "tests/app_core/online/SystemsTestEnv.h"

#include <QDir>
#include <QFileInfo>

#include <vector>

namespace {

const QString kAnnMail = U8("ann@example.org");

class SystemsExchangeTest : public TSystemsTest {
protected:
    SystemsExchangeTest()
    {
        FState.StatList().Config().Cost = TCurrency::FromUnits(10);
        FState.FDraws = {Draw(101, 0, 1, "x"), Draw(102, 5, 9, "x"), Draw(103, 1, 2, "x")};
        FCommands.CheckStakes = [this] { ++FChecks; };
        FCommands.RefreshGrid = [this](bool resize, bool scroll) { FRefreshes.push_back({resize, scroll}); };
        FExchange.SetTabShown(true);
    }

    void OpenStakes(const std::vector<TStakeRec>& records)
    {
        WriteFileBytes(FStakes.FileName(), StakeBytes(records));
        FStakes.Open();
    }
    void SetList(const std::vector<TCombWord>& combs) { SetCombList(combs); }
    std::vector<TStakeRec> Records() { return AllStakes(FStakes); }
    static TStakeRec SystemStake(std::int32_t draw, int d1, int d2, const char* comment, int selection)
    {
        return StakeOn(soSystem, draw, d1, d2, comment, -10, selection);
    }
    // Loads the list and caches the rows of these ids.
    void LoadAndCache(std::initializer_list<int> ids)
    {
        FExchange.LoadSystems(-1);
        for (const int id : ids)
            ASSERT_TRUE(FExchange.DownloadSystem(FExchange.FindRow(id)));
    }

    TStakesFile FStakes{DataFile(QString::fromLatin1(TStakesFile::BaseName))};
    TStakeCommands FCommands{FState, FStakes};
    TCombListOps FCombs{FState};
    TSystemsExchange FExchange{FState, FCombs, FStakes, FCommands, FClient};
    int FChecks = 0;
    std::vector<std::pair<bool, bool>> FRefreshes;
};

TEST_F(SystemsExchangeTest, RowsShowTheirColumnsAndImages)
{
    TSystemServer::TSystem own = System(42, 5, 1, {"1 2", "2 3", "4 5"}, kAnnMail.toUpper(), Utc(2016, 8, 1, 9, 30, 5));
    own.Downloads = 12;
    own.LastDownload = Utc(2016, 8, 9, 10, 0, 0);
    own.Url = U8("https://example.org/42");
    FSystems.Add(own);
    FSystems.Add(System(7, 3, 0, {"1 2", "2 3", "1 3"}, U8("bob@x.org"), Utc(2016, 1, 1, 0, 0, 0)));
    FSystems.Add(System(8, 4, 0, {"1 2"}, QString(), Utc(2016, 1, 2, 0, 0, 0)));
    // Listed, but its block size names no file the program reads.
    FSystems.Add(System(9, 4, 3, {"1 2"}, kAnnMail, Utc(2016, 1, 3, 0, 0, 0)));

    EXPECT_EQ(FExchange.LoadSystems(-1), -1);
    ASSERT_EQ(FExchange.RowCount(), 4);
    EXPECT_EQ(FStatuses, QStringList({U8("Загрузка списка систем..."), QString()}));

    const QString created = Utc(2016, 8, 1, 9, 30, 5).toLocalTime().toString(U8("yyyy-MM-dd hh:mm:ss"));
    const QString last = Utc(2016, 8, 9, 10, 0, 0).toLocalTime().toString(U8("yyyy-MM-dd hh:mm:ss"));
    EXPECT_EQ(FExchange.RowTexts(0), QStringList({U8("Система 42"), U8("ANN"), U8("05"), U8("1"), U8("3"), created,
                                                  QString(), U8("12"), last, U8("Описание 42"),
                                                  U8("https://example.org/42")}));
    EXPECT_EQ(FExchange.RowTexts(1)[8], QString());   // never downloaded

    // Images by (cached, own, has an address) before and after caching.
    EXPECT_EQ(FExchange.RowImage(0), TSystemsExchange::riOwn);
    EXPECT_EQ(FExchange.RowImage(1), TSystemsExchange::riOther);
    EXPECT_EQ(FExchange.RowImage(2), TSystemsExchange::riNoMail);
    for (int row = 0; row < 3; ++row)
        ASSERT_TRUE(FExchange.DownloadSystem(row));
    EXPECT_EQ(FExchange.RowImage(0), TSystemsExchange::riCachedOwn);
    EXPECT_EQ(FExchange.RowImage(1), TSystemsExchange::riCachedOther);
    EXPECT_EQ(FExchange.RowImage(2), TSystemsExchange::riCachedNoMail);
    EXPECT_EQ(FExchange.RowTexts(0)[6], U8("Загружена"));

    // The refused row is listed but cannot be cached.
    EXPECT_FALSE(FExchange.DownloadSystem(3));
    EXPECT_EQ(FExchange.RowImage(3), TSystemsExchange::riOwn);
    EXPECT_EQ(CachedFiles(), QStringList({U8("2-03-0_0007.dat"), U8("2-04-0_0008.dat"), U8("2-05-1_0042.dat")}));

    // Deleting is for the user's own rows only, and only with an address.
    EXPECT_TRUE(FExchange.CanDelete(0));
    EXPECT_FALSE(FExchange.CanDelete(1));
    EXPECT_FALSE(FExchange.CanDelete(2));
    FClient.SetIdentity({});
    EXPECT_FALSE(FExchange.CanDelete(2));
    EXPECT_EQ(FExchange.RowImage(2), TSystemsExchange::riCachedNoMail);
    EXPECT_EQ(FExchange.RowImage(0), TSystemsExchange::riCachedOther);

    // Reloading finds the remembered system again.
    EXPECT_EQ(FExchange.LoadSystems(8), 2);
    EXPECT_EQ(FExchange.LoadSystems(1000), -1);
}

TEST_F(SystemsExchangeTest, PlaceholderRowHasOnlyItsTitle)
{
    FSystems.SetFailure(TSystemServer::ListPath, TSystemServer::TFailure::NoResult);
    FExchange.LoadSystems(-1);
    ASSERT_EQ(FExchange.RowCount(), 1);
    QStringList expected(TSystemsExchange::ColumnCount, QString());
    expected[0] = U8("Список систем не доступен!");
    EXPECT_EQ(FExchange.RowTexts(0), expected);
    EXPECT_EQ(FExchange.RowImage(0), -1);
    EXPECT_FALSE(FExchange.DownloadSystem(0));
    EXPECT_FALSE(FExchange.EditSystem(0));
    EXPECT_FALSE(FExchange.DeleteSystem(0));
    EXPECT_TRUE(FServer.Requests().size() == 1);

    // Hiding the tab empties the list.
    FExchange.SetTabShown(false);
    EXPECT_EQ(FExchange.RowCount(), 0);
    EXPECT_FALSE(FExchange.CanDelete(0));
}

TEST_F(SystemsExchangeTest, SecondSystemForTheSameNumberCountReplacesTheFirst)
{
    FSystems.Add(System(11, 5, 0, {"1 2"}, QString(), Utc(2016, 1, 1, 0, 0, 0)));
    FSystems.Add(System(12, 5, 1, {"2 3"}, QString(), Utc(2016, 1, 2, 0, 0, 0)));
    FSystems.Add(System(13, 4, 0, {"3 4"}, QString(), Utc(2016, 1, 3, 0, 0, 0)));
    LoadAndCache({11, 13});
    // A file for five numbers that no listed row names (left by an earlier run).
    WriteFileBytes(CacheFile("2-05-0_0099.dat"), "1 5\r\n");
    EXPECT_EQ(CachedFiles(), QStringList({U8("2-04-0_0013.dat"), U8("2-05-0_0011.dat"), U8("2-05-0_0099.dat")}));

    ASSERT_TRUE(FExchange.DownloadSystem(FExchange.FindRow(12)));
    EXPECT_EQ(CachedFiles(), QStringList({U8("2-04-0_0013.dat"), U8("2-05-1_0012.dat")}));
    EXPECT_TRUE(FExchange.RowTexts(FExchange.FindRow(11))[6].isEmpty());
    EXPECT_EQ(FExchange.RowTexts(FExchange.FindRow(12))[6], U8("Загружена"));
    EXPECT_EQ(FExchange.RowTexts(FExchange.FindRow(13))[6], U8("Загружена"));

    // A failed download keeps what was cached: the one line of system 11 arrives as none.
    FSystems.SetFailure(TSystemServer::FetchPath, TSystemServer::TFailure::ShortList, 1);
    EXPECT_FALSE(FExchange.DownloadSystem(FExchange.FindRow(11)));
    EXPECT_EQ(CachedFiles(), QStringList({U8("2-04-0_0013.dat"), U8("2-05-1_0012.dat")}));
    EXPECT_EQ(BoxTexts(), QStringList({U8("Ошибка загрузки системы #11!\n\n"
                                          "Количество скачанных комбинаций ( 0 ) отличается от ожидаемого значения ( 1 )")}));
}

TEST_F(SystemsExchangeTest, AddPublishesTheUsersSystemAndKeepsItsId)
{
    FSystems.Add(System(5, 3, 0, {"1 2"}, QString(), Utc(2016, 1, 1, 0, 0, 0)));
    FExchange.LoadSystems(-1);
    tSystemData offered;
    FExchange.EditSystemProperties = [&](tSystemData& data, bool editable) {
        EXPECT_TRUE(editable);
        offered = data;
        data.Title = U8("Новая");
        data.Descr = U8("Для трёх");
        data.Nums = 3;
        data.CSize = 2;
        data.CList = U8("01 02\r\n02 03\r\n");
        data.Created = Utc(2016, 8, 10, 12, 0, 0);
        return true;
    };
    EXPECT_EQ(FExchange.AddSystem(), 1);
    EXPECT_EQ(offered.Id, 0);
    EXPECT_EQ(offered.Author, U8("Ann O'Neil"));
    EXPECT_EQ(offered.ClMail, U8("Ann@Example.org"));
    ASSERT_EQ(FExchange.RowCount(), 2);
    EXPECT_EQ(FExchange.Rows()[1].Id, 6);
    EXPECT_EQ(FExchange.Rows()[1].Title, U8("Новая"));
    EXPECT_TRUE(FExchange.IsOwn(1));
    ASSERT_NE(FSystems.Find(6), nullptr);
    EXPECT_EQ(FSystems.Find(6)->CList, U8("01 02\r\n02 03\r\n"));
    EXPECT_EQ(FSystems.Find(6)->Mail, U8("Ann@Example.org"));

    // A server that answers 0 (or nothing) has not published anything.
    for (const char* reply : {"<result><row><id_systems>0</id_systems></row></result>", "<result></result>"}) {
        FSystems.SetPutReply(reply);
        EXPECT_EQ(FExchange.AddSystem(), -1);
        EXPECT_EQ(FExchange.RowCount(), 2);
    }
    // Cancelled: no request.
    FServer.ClearRequests();
    FExchange.EditSystemProperties = [](tSystemData&, bool) { return false; };
    EXPECT_EQ(FExchange.AddSystem(), -1);
    EXPECT_TRUE(FServer.Requests().isEmpty());
}

TEST_F(SystemsExchangeTest, EditingOwnSystemRewritesItsCacheOthersAreOnlyShown)
{
    FSystems.Add(System(21, 3, 0, {"1 2", "2 3"}, kAnnMail, Utc(2016, 1, 1, 0, 0, 0)));
    FSystems.Add(System(22, 4, 0, {"1 2"}, U8("bob@x.org"), Utc(2016, 1, 2, 0, 0, 0)));
    LoadAndCache({21, 22});
    FServer.ClearRequests();

    // Someone else's system: read-only, nothing is published.
    bool shownEditable = true;
    QString shownList;
    FExchange.EditSystemProperties = [&](tSystemData& data, bool editable) {
        shownEditable = editable;
        shownList = data.CList;
        data.Title = U8("чужая");
        return true;
    };
    EXPECT_FALSE(FExchange.EditSystem(FExchange.FindRow(22)));
    EXPECT_FALSE(shownEditable);
    EXPECT_EQ(shownList, U8("1 2\r\n"));
    EXPECT_TRUE(RequestsTo(TSystemServer::PutPath).isEmpty());
    EXPECT_EQ(FSystems.Find(22)->Title, U8("Система 22"));

    // The own system grows to four numbers: its old cache file goes, the new one replaces
    // the cached system for four numbers.
    FExchange.EditSystemProperties = [&](tSystemData& data, bool editable) {
        EXPECT_TRUE(editable);
        data.Title = U8("Правленая");
        data.Nums = 4;
        data.CSize = 3;
        data.CList = U8("01 02\r\n02 03\r\n03 04\r\n");
        return true;
    };
    const int row = FExchange.FindRow(21);
    ASSERT_TRUE(FExchange.EditSystem(row));
    EXPECT_EQ(FExchange.Rows()[row].Title, U8("Правленая"));
    EXPECT_EQ(FExchange.Rows()[row].Nums, 4);
    EXPECT_EQ(FSystems.Find(21)->CList, U8("01 02\r\n02 03\r\n03 04\r\n"));
    EXPECT_EQ(CachedFiles(), QStringList({U8("2-04-0_0021.dat")}));
    EXPECT_EQ(ReadFileBytes(CacheFile("2-04-0_0021.dat")), QByteArray("01 02\r\n02 03\r\n03 04\r\n"));
    EXPECT_TRUE(FBoxes.Boxes().isEmpty());

    // A failed publication changes neither the row nor the cache.
    FSystems.SetFailure(TSystemServer::PutPath, TSystemServer::TFailure::ErrorRow, 1);
    FExchange.EditSystemProperties = [](tSystemData& data, bool) {
        data.Title = U8("Не сохранится");
        return true;
    };
    EXPECT_FALSE(FExchange.EditSystem(row));
    EXPECT_EQ(FExchange.Rows()[row].Title, U8("Правленая"));
    EXPECT_EQ(CachedFiles(), QStringList({U8("2-04-0_0021.dat")}));
}

TEST_F(SystemsExchangeTest, DeleteOnlyOwnAfterTheQuestion)
{
    FSystems.Add(System(31, 3, 0, {"1 2"}, kAnnMail, Utc(2016, 1, 1, 0, 0, 0)));
    FSystems.Add(System(32, 4, 0, {"1 2"}, U8("bob@x.org"), Utc(2016, 1, 2, 0, 0, 0)));
    LoadAndCache({31});

    EXPECT_FALSE(FExchange.DeleteSystem(FExchange.FindRow(32)));
    EXPECT_EQ(BoxTexts(), QStringList({U8("Вы можете удалять только свои системы!")}));

    FBoxes.Clear();
    FBoxes.Answer(IDNO);
    EXPECT_FALSE(FExchange.DeleteSystem(FExchange.FindRow(31)));
    ASSERT_EQ(FBoxes.Boxes().size(), 1);
    EXPECT_EQ(FBoxes.Last().Text, U8("Вы действительно хотите удалить систему \"Система 31\"?"));
    EXPECT_EQ(FBoxes.Last().DefaultButton, IDNO);
    EXPECT_EQ(FExchange.RowCount(), 2);

    // The server refuses: the row and its file stay.
    FBoxes.Answer(IDYES);
    FSystems.SetFailure(TSystemServer::PutPath, TSystemServer::TFailure::ErrorRow, 1);
    EXPECT_FALSE(FExchange.DeleteSystem(FExchange.FindRow(31)));
    EXPECT_EQ(FExchange.RowCount(), 2);
    EXPECT_EQ(CachedFiles(), QStringList({U8("2-03-0_0031.dat")}));

    FBoxes.Answer(IDYES);
    EXPECT_TRUE(FExchange.DeleteSystem(FExchange.FindRow(31)));
    EXPECT_EQ(FExchange.RowCount(), 1);
    EXPECT_EQ(FExchange.Rows()[0].Id, 32);
    EXPECT_TRUE(CachedFiles().isEmpty());
    EXPECT_EQ(FSystems.Find(31), nullptr);
    const QList<TStandInRequest> puts = RequestsTo(TSystemServer::PutPath);
    ASSERT_EQ(puts.size(), 2);
    EXPECT_EQ(puts[1].Field(U8("del_mode")), U8("1"));
    EXPECT_EQ(puts[1].Field(U8("sys_id")), U8("31"));
    EXPECT_EQ(puts[1].Field(U8("clist")), QString());
}

TEST_F(SystemsExchangeTest, SystemStakesWithAndWithoutTheFilter)
{
    // The list {13, 31, 55}: the player's numbers are 1, 3, 5 and the system for three is used.
    FSystems.Add(System(3, 3, 0, {"1 2", "2 1", "3 3", "1 3"}, QString(), Utc(2016, 1, 1, 0, 0, 0)));
    LoadAndCache({3});
    SetList({C(1, 3), C(3, 1), C(5, 5)});
    OpenStakes({StakeOn(soManual, 103, 7, 7, "x", -10, 1)});
    ASSERT_TRUE(FExchange.CanMakeStakes());

    QString offered;
    std::int32_t offeredDraw = 0;
    FCommands.EditMulti = [&](std::int32_t& draw, int& count, QString& comment) {
        offered = comment;
        offeredDraw = draw;
        EXPECT_EQ(count, 1);
        return true;
    };
    FStatuses.clear();
    ASSERT_TRUE(FExchange.MakeSystemStakes(false));
    EXPECT_EQ(offered, U8("Системная игра для 3 чисел [вся система]: 2-03-0_0003"));
    EXPECT_EQ(offeredDraw, 104);
    const char* whole = "Системная игра для 3 чисел [вся система]: 2-03-0_0003";
    std::vector<TStakeRec> expected = {StakeOn(soManual, 103, 7, 7, "x", -10, 1), InitStakeRec(),
                                       SystemStake(104, 1, 3, whole, 4), SystemStake(104, 1, 3, whole, 4),
                                       SystemStake(104, 5, 5, whole, 4), SystemStake(104, 1, 5, whole, 4)};
    EXPECT_EQ(Records(), expected);
    EXPECT_EQ(FChecks, 1);
    ASSERT_FALSE(FRefreshes.empty());
    EXPECT_EQ(FRefreshes.back(), std::make_pair(true, true));
    EXPECT_EQ(FStatuses.first(), U8("Подождите пожалуйста..."));
    EXPECT_TRUE(FStatuses.contains(U8("Создание ставок...")));

    // With the filter only combinations of the list: 1;5 is not in it. The selection size is
    // the list's count, and the dialog's draw and comment are used.
    FCommands.EditMulti = [&](std::int32_t& draw, int&, QString& comment) {
        offered = comment;
        draw = 110;
        comment = U8("мой");
        return true;
    };
    ASSERT_TRUE(FExchange.MakeSystemStakes(true));
    EXPECT_EQ(offered, U8("Системная игра для 3 чисел [комбинации]: 2-03-0_0003"));
    expected.push_back(InitStakeRec());
    for (const auto& [d1, d2] : {std::pair{1, 3}, std::pair{1, 3}, std::pair{5, 5}})
        expected.push_back(SystemStake(110, d1, d2, "мой", 3));
    EXPECT_EQ(Records(), expected);
    EXPECT_EQ(FChecks, 2);
    EXPECT_TRUE(FBoxes.Boxes().isEmpty());

    // A list whose system combinations are all filtered out makes nothing, not even a blank.
    SetList({C(3, 3), C(1, 1), C(5, 1)});
    ASSERT_TRUE(FExchange.MakeSystemStakes(true));
    EXPECT_EQ(Records(), expected);
    EXPECT_EQ(FChecks, 2);

    // Cancelled dialog: nothing.
    FCommands.EditMulti = [](std::int32_t&, int&, QString&) { return false; };
    EXPECT_FALSE(FExchange.MakeSystemStakes(false));
    EXPECT_EQ(Records(), expected);
}

TEST_F(SystemsExchangeTest, SystemStakesNeedACachedSystemAndSkipForeignLines)
{
    OpenStakes({});
    SetList({C(1, 2), C(3, 4)});
    FCommands.EditMulti = [](std::int32_t&, int&, QString&) { return true; };
    EXPECT_FALSE(FExchange.MakeSystemStakes(false));
    EXPECT_EQ(BoxTexts(), QStringList({U8("Система для 4 чисел не найдена или не загружена на компьютер!\n\n"
                                          "Перед системной игрой необходимо предварительно загрузить системы на Ваш "
                                          "компьютер через меню \"Системы\" - \"Загрузить\".")}));
    EXPECT_TRUE(Records().empty());

    // Lines naming index 0 or a fifth number are skipped and counted, never read.
    FBoxes.Clear();
    ASSERT_TRUE(QDir().mkpath(FClient.CacheFolder()));
    WriteFileBytes(CacheFile("2-04-0_0005.dat"), "0 1\r\n1 5\r\n4 1\r\n");
    ASSERT_TRUE(FExchange.MakeSystemStakes(false));
    EXPECT_EQ(BoxTexts(), QStringList({U8("В системе \"2-04-0_0005\" пропущено строк, не подходящих для 4 чисел: 2")}));
    const char* comment = "Системная игра для 4 чисел [вся система]: 2-04-0_0005";
    EXPECT_EQ(Records(), (std::vector<TStakeRec>{SystemStake(104, 1, 4, comment, 1)}));

    // Enabling: the tab, a list and an open stakes file.
    EXPECT_TRUE(FExchange.CanMakeStakes());
    SetList({});
    EXPECT_FALSE(FExchange.CanMakeStakes());
    SetList({C(1, 2)});
    FExchange.SetTabShown(false);
    EXPECT_FALSE(FExchange.CanMakeStakes());
    FExchange.SetTabShown(true);
    FStakes.Close();
    EXPECT_FALSE(FExchange.CanMakeStakes());
}

} // namespace
