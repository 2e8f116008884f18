#include "app/core/online/SwScripts.h"

#include "platform/WordUtils.h"
#include "support/RDialogsScripted.h"
#include "support/RStrUtils.h"
#include "support/RVclUtils.h"
#include "tests/common/ScriptLibraryEnv.h"
#include "tests/common/TestHelpers.h"

#include <gtest/gtest.h>

namespace {

const QByteArray kClient = "appid=Tavrix2_2r10&appver=2.2.10&hwdid=0123456789ABCDEF0123456789ABCDEF"
                           "&cl_name=%D0%98%D0%B2%D0%B0%D0%BD&cl_mail=ivan%40example.org&cl_lcid=1049";

class SwScriptsTest : public ::testing::Test {
protected:
    ~SwScriptsTest() override { EXPECT_EQ(WaitCount(), 0); }

    // The body of the only request sent since the last call.
    QByteArray OnlyBody(const QByteArray& path)
    {
        const QList<TStandInRequest> requests = FEnv.Server.Requests();
        FEnv.Server.ClearRequests();
        if (requests.size() != 1 || requests.first().Path != path)
            return "<" + QByteArray::number(requests.size()) + " requests>";
        return requests.first().Body;
    }
    QString LastBox() const { return FBoxes.Last().Text; }

    TScriptLibraryEnv FEnv;
    TScriptedBoxes FBoxes;
    TSwScripts FClient{TScriptLibraryEnv::User()};
};

} // namespace

TEST_F(SwScriptsTest, ListOfTwoRowsMineAndOthersUsableAndNot)
{
    FEnv.AddTwoEntries();
    QList<tScriptInfo> list;
    ASSERT_TRUE(FClient.GetScriptList(list, 1, 1049));
    EXPECT_EQ(OnlyBody("/scripts/scr_getlist.php"), "fltid=1&" + kClient);
    EXPECT_TRUE(FBoxes.Boxes().isEmpty());
    ASSERT_EQ(list.size(), 2);

    const tScriptInfo& mine = list.at(0);
    EXPECT_EQ(mine.Id, 1);
    EXPECT_EQ(mine.ClMail, "IVAN@example.org");
    EXPECT_TRUE(mine.Mine);       // the address without regard to letter case
    EXPECT_TRUE(mine.Usable);     // "TAVRIX2_2R10" is this program
    EXPECT_TRUE(mine.Editable);
    EXPECT_FALSE(mine.Public);
    EXPECT_DOUBLE_EQ(mine.RatingAvg, 3.0);
    EXPECT_EQ(ScriptInfoImage(mine), 39);
    // Times arrive in UTC and show in local time (UTC+3).
    EXPECT_EQ(ScriptInfoTexts(mine),
              QStringList({U("Мой"), U("Чёт-нечет"), U("Иван"), "Tavrix2_2r10", "2.2.9", "RUS", "2016-08-02 00:15:00",
                           "3,000", "2", "4", "2", "2016-08-10 02:59:59", U("Ставки на чётные\nи нечётные")}));

    const tScriptInfo& other = list.at(1);
    EXPECT_FALSE(other.Mine);
    EXPECT_FALSE(other.Usable);
    EXPECT_FALSE(other.Editable);
    EXPECT_EQ(ScriptInfoImage(other), 22);
    EXPECT_EQ(ScriptInfoTexts(other),
              QStringList({U("Общий"), U("Суммы"), U("Олег"), "Kelma", "1.0", "ENU", "2016-08-10 11:00:00", "0,000",
                           "0", "", "0", "", ""}));
}

TEST_F(SwScriptsTest, ListRowsDerivedFlags)
{
    // Universal entries are usable whatever program they name; an empty address is nobody's.
    TScriptServer::TScript universal;
    universal.AuthorName = U("\u202AA\u202C");
    universal.Title = U("Безопасный \u202Egnp.exe\u200E");
    universal.AuthorMail = "";
    universal.Universal = true;
    universal.AppGuid = "OTHER";
    universal.Public = true;
    FEnv.Site.Add(universal);
    FEnv.Site.AddRate(1, {"hw:0123456789ABCDEF0123456789ABCDEF", "x", -1, "", "", "", {}});

    TUserIdentity noMail = TScriptLibraryEnv::User();
    noMail.UserMail.clear();
    FClient.SetIdentity(noMail);
    QList<tScriptInfo> list;
    ASSERT_TRUE(FClient.GetScriptList(list, 0, 1049));
    ASSERT_EQ(list.size(), 1);
    EXPECT_FALSE(list.first().Mine);
    EXPECT_FALSE(list.first().Editable);
    EXPECT_TRUE(list.first().Usable);
    EXPECT_EQ(list.first().RatingYou, -1);
    EXPECT_EQ(ScriptInfoTexts(list.first()).at(3), U("Универсальный"));
    // Direction controls would make a text read as another: they are not shown.
    EXPECT_EQ(ScriptInfoTexts(list.first()).mid(1, 2), QStringList({U("Безопасный gnp.exe"), "A"}));
    EXPECT_EQ(ScriptInfoTexts(list.first()).at(9), U("Скрытый"));

    // Without "key_cl_lcid" the entry takes the caller's language.
    FEnv.Server.Route("/scripts/scr_getlist.php",
                      TStandInReply::Text("<result><row><id>9</id><uniapps>1</uniapps></row></result>"));
    ASSERT_TRUE(FClient.GetScriptList(list, 1, 1058));
    ASSERT_EQ(list.size(), 1);
    EXPECT_EQ(list.first().ClLcid, 1058);
    EXPECT_EQ(list.first().Title, "");
    EXPECT_EQ(ScriptInfoTexts(list.first()).at(6), "");   // no creation time: empty
}

TEST_F(SwScriptsTest, ListFailuresShowTheMessageAndLeaveNothing)
{
    FEnv.AddTwoEntries();
    const QString head = U("Ошибка загрузки каталога online-сценариев!\n\n");
    struct TCase {
        TScriptServer::TFailure Failure;
        const char* Detail;
    };
    const TCase cases[] = {
        {TScriptServer::TFailure::ErrorRow, "Сервер не смог выполнить запрос!"},
        {TScriptServer::TFailure::NoResult, "Ответ сервера не содержит результата запроса!"},
        {TScriptServer::TFailure::Huge, "Ответ сервера превышает допустимый размер (4194304 байт)!"},
        {TScriptServer::TFailure::BadBase64, "Значение \"title\" в ответе сервера повреждено!"},
        {TScriptServer::TFailure::BadNumber, "Значение \"id\" в ответе сервера не является числом: \"99999999999\""},
        {TScriptServer::TFailure::FormatText, "Значение \"id\" в ответе сервера не является числом: \"%s%n%d\""},
    };
    for (const TCase& c : cases) {
        FEnv.Site.SetFailure(c.Failure, 1);
        QList<tScriptInfo> list{tScriptInfo{}};
        EXPECT_FALSE(FClient.GetScriptList(list, 1, 1049)) << c.Detail;
        EXPECT_TRUE(list.isEmpty()) << c.Detail;
        EXPECT_EQ(LastBox(), head + U(c.Detail));
        EXPECT_EQ(FBoxes.Last().Icon, TBoxIcon::Error);
    }
    // An empty result is an empty catalogue, not an error.
    FEnv.Site.SetFailure(TScriptServer::TFailure::EmptyResult, 1);
    const int boxes = FBoxes.Boxes().size();
    QList<tScriptInfo> list;
    EXPECT_TRUE(FClient.GetScriptList(list, 1, 1049));
    EXPECT_TRUE(list.isEmpty());
    EXPECT_EQ(FBoxes.Boxes().size(), boxes);

    FEnv.Site.SetFailure(TScriptServer::TFailure::ServerError, 1);
    EXPECT_FALSE(FClient.GetScriptList(list, 1, 1049));
    EXPECT_TRUE(LastBox().startsWith(head));
    EXPECT_TRUE(LastBox().contains("500"));
}

TEST_F(SwScriptsTest, ScriptDataReplacesTheLines)
{
    FEnv.AddTwoEntries();
    QStringList lines{"old"};
    ASSERT_TRUE(FClient.GetScriptData(1, lines));
    EXPECT_EQ(OnlyBody("/scripts/scr_getdata.php"), "scr_id=1");
    EXPECT_EQ(lines, QStringList({U("#1 строка"), "", U("#2 строка")}));
    EXPECT_EQ(FEnv.Site.Scripts().value(1).Downloads, 3);

    // No such entry (an error row), and a reply without a script: the lines stay.
    lines = QStringList{"old"};
    EXPECT_FALSE(FClient.GetScriptData(77, lines));
    EXPECT_EQ(LastBox(), U("Ошибка загрузки online-сценария!\n\nСервер не смог выполнить запрос!"));
    FEnv.Site.SetFailure(TScriptServer::TFailure::EmptyResult, 1);
    EXPECT_FALSE(FClient.GetScriptData(1, lines));
    EXPECT_EQ(LastBox(), U("Ошибка загрузки online-сценария!\n\nОтвет сервера не содержит сценария!"));
    FEnv.Site.SetFailure(TScriptServer::TFailure::BadBase64, 1);
    EXPECT_FALSE(FClient.GetScriptData(1, lines));
    EXPECT_EQ(lines, QStringList{"old"});
}

TEST_F(SwScriptsTest, RatingSendsNotesAndChecksTheCode)
{
    FEnv.AddTwoEntries();
    EXPECT_TRUE(FClient.SetScriptRate(2, 5, 1049, U("Отлично \"да\"\n")));
    EXPECT_EQ(OnlyBody("/scripts/scr_setrate.php"),
              "scr_id=2&rate_value=5&rate_notes=%D0%9E%D1%82%D0%BB%D0%B8%D1%87%D0%BD%D0%BE+%5C%22%D0%B4%D0%B0%5C%22%5Cn&"
                  + kClient);
    ASSERT_EQ(FEnv.Site.Rates(2).size(), 1);
    EXPECT_EQ(FEnv.Site.Rates(2).first().Notes, U("Отлично \"да\"\n"));

    FEnv.Site.SetRateAnswer(-3);
    EXPECT_FALSE(FClient.SetScriptRate(2, 0, 1049, ""));
    EXPECT_EQ(LastBox(), U("Ошибка сохранения оценки online-сценария!\n\nКод возврата: -3"));
    FEnv.Site.SetRateAnswer(-100);
    // No row: the code reads as -1.
    FEnv.Site.SetFailure(TScriptServer::TFailure::EmptyResult, 1);
    EXPECT_FALSE(FClient.SetScriptRate(2, 0, 1049, ""));
    EXPECT_EQ(LastBox(), U("Ошибка сохранения оценки online-сценария!\n\nКод возврата: -1"));
    FEnv.Site.SetFailure(TScriptServer::TFailure::FormatText, 1);
    EXPECT_FALSE(FClient.SetScriptRate(2, 0, 1049, ""));
    EXPECT_TRUE(LastBox().endsWith(U("не является числом: \"%s%n\""))) << LastBox().toStdString();
}

TEST_F(SwScriptsTest, TitleCheck)
{
    FEnv.AddTwoEntries();
    bool failed = true;
    EXPECT_TRUE(FClient.CheckScriptTitle(-1, U("Мой 'лучший'?"), &failed));
    EXPECT_FALSE(failed);
    EXPECT_EQ(OnlyBody("/scripts/scr_chktitle.php"),
              "scr_id=-1&scr_title=%D0%9C%D0%BE%D0%B9+%5C%27%D0%BB%D1%83%D1%87%D1%88%D0%B8%D0%B9%5C%27%5C%3F");
    EXPECT_FALSE(FClient.CheckScriptTitle(-1, U("суммы"), &failed));   // taken by entry 2
    EXPECT_FALSE(failed);
    EXPECT_TRUE(FClient.CheckScriptTitle(2, U("Суммы"), &failed));     // its own title
    EXPECT_TRUE(FBoxes.Boxes().isEmpty());

    FEnv.Site.SetFailure(TScriptServer::TFailure::ErrorRow, 1);
    EXPECT_FALSE(FClient.CheckScriptTitle(-1, "x", &failed));
    EXPECT_TRUE(failed);
    EXPECT_EQ(LastBox(), U("Ошибка проверки уникальности online-сценария!\n\nСервер не смог выполнить запрос!"));
}

TEST_F(SwScriptsTest, PutStoresTheScenarioByteForByte)
{
    tScriptData data = tScriptData::New(U("Иван Петров"), 1058);
    EXPECT_EQ(data.Id, -1);
    EXPECT_TRUE(data.Public);
    EXPECT_FALSE(data.Universal);
    data.Title = U("Мой \"лучший\"");
    data.Descr = "a\\b\r\nc";
    EXPECT_EQ(FClient.PutScript(data, JoinTextLines({"L1", "", "L2 50%"})), 1);
    EXPECT_EQ(OnlyBody("/scripts/scr_putscript.php"),
              "del_mode=0&scr_id=-1&scr_uniapps=0&scr_publics=1&scr_title=%D0%9C%D0%BE%D0%B9+%5C%22%D0%BB%D1%83%D1%87%D1%88"
              "%D0%B8%D0%B9%5C%22&scr_descr=a%5C%5Cb%5Cr%5Cnc&scr_script=L1%5Cr%5Cn%5Cr%5CnL2+50%25%5Cr%5Cn&appid=Tavrix2_2r10"
              "&appver=2.2.10&hwdid=0123456789ABCDEF0123456789ABCDEF&cl_name=%D0%98%D0%B2%D0%B0%D0%BD+%D0%9F%D0%B5%D1%82"
              "%D1%80%D0%BE%D0%B2&cl_mail=ivan%40example.org&cl_lcid=1058");
    const TScriptServer::TScript stored = FEnv.Site.Scripts().value(1);
    EXPECT_EQ(stored.Script, "L1\r\n\r\nL2 50%\r\n");
    EXPECT_EQ(stored.Descr, "a\\b\r\nc");
    EXPECT_EQ(stored.AuthorName, U("Иван Петров"));

    // Failures give 0.
    for (const auto failure : {TScriptServer::TFailure::ErrorRow, TScriptServer::TFailure::EmptyResult,
                               TScriptServer::TFailure::BadNumber}) {
        FEnv.Site.SetFailure(failure, 1);
        EXPECT_EQ(FClient.PutScript(data, "x"), 0);
        EXPECT_TRUE(LastBox().startsWith(U("Ошибка сохранения online-сценария в базе данных!\n\n")));
    }
}

TEST_F(SwScriptsTest, DeleteFailureIsNeverADeletion)
{
    FEnv.AddTwoEntries();
    tScriptInfo entry;
    entry.Id = 1;
    entry.ClName = U("Иван");
    entry.ClLcid = 1049;
    entry.Universal = true;
    entry.Title = U("Чёт-нечет");
    tScriptData data = tScriptData::FromInfo(entry);
    const int boxes = FBoxes.Boxes().size();
    for (const auto failure : {TScriptServer::TFailure::ErrorRow, TScriptServer::TFailure::EmptyResult,
                               TScriptServer::TFailure::NoResult, TScriptServer::TFailure::ServerError}) {
        FEnv.Site.SetFailure(failure, 1);
        EXPECT_EQ(FClient.DeleteScript(data), -1);
        EXPECT_TRUE(LastBox().startsWith(U("Ошибка удаления online-сценария из базы данных!\n\n")));
    }
    EXPECT_EQ(FBoxes.Boxes().size(), boxes + 4);
    EXPECT_TRUE(FEnv.Site.Scripts().contains(1));
    FEnv.Server.ClearRequests();

    data.Public = false;
    EXPECT_EQ(FClient.DeleteScript(data), 0);
    EXPECT_EQ(OnlyBody("/scripts/scr_putscript.php"),
              "del_mode=1&scr_id=1&scr_uniapps=1&scr_publics=0&scr_title=%D0%A7%D1%91%D1%82-%D0%BD%D0%B5%D1%87%D0%B5%D1%82"
              "&scr_descr=&"
                  + kClient);
    EXPECT_FALSE(FEnv.Site.Scripts().contains(1));
    // Somebody else's entry: the server answers its refusal, which is not 0.
    data.Id = 2;
    EXPECT_NE(FClient.DeleteScript(data), 0);
    EXPECT_TRUE(FEnv.Site.Scripts().contains(2));
}

TEST_F(SwScriptsTest, RatesRowsInLocalTime)
{
    FEnv.AddTwoEntries();
    QList<tScriptRate> rates;
    ASSERT_TRUE(FClient.GetScriptRates(1, rates));
    EXPECT_EQ(OnlyBody("/scripts/scr_getrates.php"), "scr_id=1");
    ASSERT_EQ(rates.size(), 2);
    EXPECT_EQ(ScriptRateTexts(rates.at(0)),
              QStringList({U("Иван"), "4", "2016-08-02 13:00:00", "Tavrix2_2r10", "2.2.9", ""}));
    EXPECT_EQ(ScriptRateTexts(rates.at(1)),
              QStringList({U("Олег"), "2", "2016-08-03 03:30:00", "Kelma", "1.0", U("так себе")}));

    EXPECT_FALSE(FClient.GetScriptRates(5, rates));
    EXPECT_TRUE(rates.isEmpty());
    EXPECT_EQ(LastBox(), U("Ошибка просмотра оценок online-сценария!\n\nСервер не смог выполнить запрос!"));
}

TEST_F(SwScriptsTest, UnreachableServer)
{
    qputenv(MakerServerEnv, QByteArray("http://127.0.0.1:") + QByteArray::number(ClosedLocalPort()));
    QList<tScriptInfo> list;
    EXPECT_FALSE(FClient.GetScriptList(list, 1, 1049));
    EXPECT_TRUE(LastBox().startsWith(U("Ошибка загрузки каталога online-сценариев!\n\n")));
    EXPECT_GT(LastBox().size(), U("Ошибка загрузки каталога online-сценариев!\n\n").size());
}

TEST(SwScriptsData, ConversionsBothWays)
{
    tScriptInfo info;
    info.Id = 7;
    info.ClName = "A";
    info.ClMail = "a@b";
    info.ClLcid = 1033;
    info.Universal = true;
    info.Public = false;
    info.Title = "T";
    info.Descr = "D";
    const tScriptData data = tScriptData::FromInfo(info);
    EXPECT_EQ(data.Id, 7);
    EXPECT_EQ(data.ClName, "A");
    EXPECT_EQ(data.ClLcid, 1033);
    EXPECT_TRUE(data.Universal);
    EXPECT_FALSE(data.Public);
    tScriptInfo back;
    back.Id = 3;
    data.ToInfo(back);
    EXPECT_EQ(back.Id, 3);   // the id is not copied back
    EXPECT_EQ(back.Title, "T");
    EXPECT_EQ(back.Descr, "D");
    EXPECT_EQ(back.ClMail, "");
}
