#include "app/core/online/OnlineScripts.h"

#include "app/core/scenarios/ScriptList.h"
#include "tests/app_core/CoreTestEnv.h"
#include "tests/common/ScriptLibraryEnv.h"

#include <gtest/gtest.h>

namespace {

// The library commands over the stand-in, with the dialogs scripted: the properties dialog
// records what it was shown and applies FEdit, the comment prompt answers FComment.
class OnlineScriptsTest : public TCoreTest {
protected:
    OnlineScriptsTest()
    {
        FEnv.AddTwoEntries();
        FLibrary.LanguageId = [] { return LCID(1049); };
        FLibrary.EditProperties = [this](tScriptData& data, bool editable) {
            FShown.append(data);
            FShownEditable.append(editable);
            if (!FEditOk || !editable)
                return false;
            if (FEdit)
                FEdit(data);
            return true;
        };
        FLibrary.AskComment = [this](QString& comment) {
            ++FCommentAsked;
            comment = FComment;
            return FCommentOk;
        };
        FLibrary.ShowRates = [this](const QList<tScriptRate>& rates) { FRatesShown = rates; };
        FLibrary.OnChanged = [this] { ++FChanges; };
    }

    // Loads the catalogue and selects the entry with this id.
    void LoadAndSelect(int id)
    {
        FLibrary.LoadOnlineScripts();
        for (int i = 0; i < FLibrary.Count(); ++i)
            if (FLibrary.Entries().at(i).Id == id)
                FLibrary.SetSelected(i);
        ASSERT_TRUE(FLibrary.SelectedEntry());
        FEnv.Server.ClearRequests();
        FStatuses.clear();
    }
    QList<int> Ids() const
    {
        QList<int> ids;
        for (const tScriptInfo& info : FLibrary.Entries())
            ids.append(info.Id);
        return ids;
    }
    QList<QByteArray> Paths() const
    {
        QList<QByteArray> paths;
        for (const TStandInRequest& request : FEnv.Server.Requests())
            paths.append(request.Path);
        return paths;
    }

    TScriptLibraryEnv FEnv;
    TSwScripts FClient{TScriptLibraryEnv::User()};
    TScriptList FScripts{FDir.path()};
    TOnlineScripts FLibrary{FClient, FScripts};

    QList<tScriptData> FShown;
    QList<bool> FShownEditable;
    bool FEditOk = true;
    std::function<void(tScriptData&)> FEdit;
    QString FComment;
    bool FCommentOk = true;
    int FCommentAsked = 0;
    QList<tScriptRate> FRatesShown;
    int FChanges = 0;
};

} // namespace

TEST_F(OnlineScriptsTest, LoadKeepsTheSelectionOnTheSameEntry)
{
    EXPECT_EQ(FLibrary.FilterIndex(), 2);
    LoadAndSelect(2);
    EXPECT_EQ(FLibrary.Selected(), 1);

    // Entry 1 hidden by the user elsewhere: entry 2 moves up and stays selected.
    FEnv.Site.AddRate(1, {"ivan@example.org", U("Иван"), -1, "", "", "", {}});
    FLibrary.LoadOnlineScripts();
    EXPECT_EQ(Ids(), QList<int>{2});
    EXPECT_EQ(FLibrary.Selected(), 0);
    EXPECT_EQ(FStatuses, QStringList({U("Загрузка online-каталога сценариев..."), ""}));
    ASSERT_EQ(FEnv.Server.Requests().size(), 1);
    EXPECT_EQ(FEnv.Server.Requests().first().Field("fltid"), "1");

    // The filter "Скрытые" (id -1) lists only entry 1: no selection is left.
    FLibrary.SetFilterIndex(0);
    EXPECT_EQ(FEnv.Server.Requests().last().Field("fltid"), "-1");
    EXPECT_EQ(Ids(), QList<int>{1});
    EXPECT_EQ(FLibrary.Selected(), -1);
    FLibrary.SetFilterIndex(9);
    EXPECT_EQ(FLibrary.FilterIndex(), 2);
    EXPECT_EQ(FLibrary.FilterCaptions().size(), 8);
    EXPECT_EQ(FLibrary.FilterCaptions().at(7), U("Новые (24 часа с момента публикации)"));
}

TEST_F(OnlineScriptsTest, HiddenPanelEmptiesTheListWithoutAsking)
{
    LoadAndSelect(1);
    const int changes = FChanges;
    FLibrary.SetPanelShown(false);
    EXPECT_TRUE(FLibrary.Entries().isEmpty());
    EXPECT_EQ(FLibrary.Selected(), -1);
    EXPECT_TRUE(FEnv.Server.Requests().isEmpty());
    EXPECT_EQ(FChanges, changes + 1);
    EXPECT_FALSE(FLibrary.CanRefresh());
    FLibrary.SetPanelShown(true);
    EXPECT_EQ(FLibrary.Count(), 2);
}

TEST_F(OnlineScriptsTest, FailedLoadLeavesAnEmptyList)
{
    LoadAndSelect(1);
    FEnv.Site.SetFailure(TScriptServer::TFailure::NoResult, 1);
    FLibrary.LoadOnlineScripts();
    EXPECT_TRUE(FLibrary.Entries().isEmpty());
    EXPECT_EQ(FBoxes.Last().Text,
              U("Ошибка загрузки каталога online-сценариев!\n\nОтвет сервера не содержит результата запроса!"));
}

TEST_F(OnlineScriptsTest, DownloadReplacesTheWholeScenario)
{
    ASSERT_GE(FScripts.AddScriptLine("old line"), 0);
    LoadAndSelect(1);
    ASSERT_TRUE(FLibrary.Download());
    EXPECT_EQ(FScripts.Lines(), QStringList({U("#1 строка"), "", U("#2 строка")}));
    EXPECT_EQ(ReadFileBytes(FScripts.CurrentFileName()), Cp("#1 строка\r\n\r\n#2 строка\r\n"));
    EXPECT_EQ(FStatuses.first(), U("Скачивание сценария из online-каталога..."));
    EXPECT_EQ(Paths(), QList<QByteArray>{"/scripts/scr_getdata.php"});

    // A failed download changes nothing, and neither does an empty script (told as none).
    FEnv.Site.SetFailure(TScriptServer::TFailure::BadBase64, 1);
    EXPECT_FALSE(FLibrary.Download());
    LoadAndSelect(FEnv.Site.Add(TScriptServer::TScript{}));
    EXPECT_FALSE(FLibrary.Download());
    EXPECT_EQ(FBoxes.Last().Text, U("Ошибка загрузки online-сценария!\n\nОтвет сервера не содержит сценария!"));
    EXPECT_EQ(FScripts.Lines(), QStringList({U("#1 строка"), "", U("#2 строка")}));
    EXPECT_EQ(ReadFileBytes(FScripts.CurrentFileName()), Cp("#1 строка\r\n\r\n#2 строка\r\n"));
}

TEST_F(OnlineScriptsTest, RatingAsksForACommentAndReloads)
{
    LoadAndSelect(2);
    FComment = U("Годится");
    ASSERT_TRUE(FLibrary.Rate(5));
    EXPECT_EQ(FCommentAsked, 1);
    EXPECT_EQ(Paths(), QList<QByteArray>({"/scripts/scr_setrate.php", "/scripts/scr_getlist.php"}));
    EXPECT_EQ(FEnv.Server.Requests().first().Field("rate_notes"), U("Годится"));
    EXPECT_EQ(FStatuses.first(), U("Отправка оценки на сервер..."));
    EXPECT_TRUE(FLibrary.RateChecked(5));
    EXPECT_TRUE(FLibrary.CanRemoveRate());

    // Cancelled comment: nothing is sent.
    FEnv.Server.ClearRequests();
    FCommentOk = false;
    EXPECT_FALSE(FLibrary.Rate(3));
    EXPECT_TRUE(FEnv.Server.Requests().isEmpty());

    // Removing the rating asks nothing.
    ASSERT_TRUE(FLibrary.Rate(0));
    EXPECT_EQ(FCommentAsked, 2);
    EXPECT_EQ(FEnv.Server.Requests().first().Field("rate_value"), "0");
    EXPECT_FALSE(FLibrary.CanRemoveRate());
    EXPECT_TRUE(FEnv.Site.Rates(2).isEmpty());
}

TEST_F(OnlineScriptsTest, HideAndFailedRating)
{
    LoadAndSelect(2);
    ASSERT_TRUE(FLibrary.Hide());
    EXPECT_EQ(FCommentAsked, 0);
    EXPECT_EQ(FEnv.Server.Requests().first().Field("rate_value"), "-1");
    EXPECT_EQ(Ids(), QList<int>{1});   // hidden entries leave the default filter

    // A failed rating does not reload the list.
    LoadAndSelect(1);
    FEnv.Site.SetRateAnswer(-2);
    EXPECT_FALSE(FLibrary.Rate(4));
    EXPECT_EQ(Paths(), QList<QByteArray>{"/scripts/scr_setrate.php"});
    EXPECT_EQ(FBoxes.Last().Text, U("Ошибка сохранения оценки online-сценария!\n\nКод возврата: -2"));
}

TEST_F(OnlineScriptsTest, PublishAddsAndSelectsTheNewEntry)
{
    LoadAndSelect(2);
    EXPECT_FALSE(FLibrary.CanUpload());   // no scenario yet
    ASSERT_GE(FScripts.AddScriptLine("line1"), 0);
    ASSERT_GE(FScripts.AddScriptLine("line2"), 0);
    EXPECT_TRUE(FLibrary.CanUpload());
    FStatuses.clear();

    FEdit = [](tScriptData& data) {
        data.Title = U("Новый");
        data.Descr = "d";
        data.Universal = true;
        data.ClName = U("Пётр");
    };
    ASSERT_TRUE(FLibrary.PublishScript());
    ASSERT_EQ(FShown.size(), 1);
    EXPECT_EQ(FShown.first().Id, -1);
    EXPECT_EQ(FShown.first().ClName, U("Иван"));
    EXPECT_EQ(FShown.first().ClLcid, 1049);
    EXPECT_TRUE(FShown.first().Public);
    EXPECT_FALSE(FShown.first().Universal);
    EXPECT_TRUE(FShownEditable.first());
    EXPECT_EQ(FStatuses.first(), U("Сохранение сценария в базе данных..."));

    EXPECT_EQ(Ids(), QList<int>({1, 2, 3}));
    EXPECT_EQ(FLibrary.Selected(), 2);
    const tScriptInfo& info = *FLibrary.SelectedEntry();
    EXPECT_EQ(info.Title, U("Новый"));
    EXPECT_EQ(info.AppName, "Tavrix2_2r10");
    EXPECT_EQ(info.AppVer, "2.2.10");
    // The author is the name that went with the scenario.
    EXPECT_EQ(info.ClName, U("Пётр"));
    EXPECT_EQ(FEnv.Site.Scripts().value(3).AuthorName, U("Пётр"));
    EXPECT_EQ(info.ClMail, "ivan@example.org");
    EXPECT_EQ(info.Created, FNow);
    EXPECT_TRUE(info.Mine && info.Usable && info.Editable && info.Universal);
    EXPECT_EQ(FEnv.Site.Scripts().value(3).Script, "line1\r\nline2\r\n");

    // Cancelled, or refused by the server: nothing is added.
    FEditOk = false;
    EXPECT_FALSE(FLibrary.PublishScript());
    FEditOk = true;
    FEnv.Site.SetPutAnswer(-5);
    EXPECT_FALSE(FLibrary.PublishScript());
    EXPECT_EQ(FLibrary.Count(), 3);
}

TEST_F(OnlineScriptsTest, ReplaceRewritesTheOwnEntry)
{
    ASSERT_GE(FScripts.AddScriptLine("new text"), 0);
    LoadAndSelect(2);
    EXPECT_FALSE(FLibrary.CanReplace());   // somebody else's
    EXPECT_FALSE(FLibrary.ReplaceScript());
    EXPECT_TRUE(FShown.isEmpty());

    LoadAndSelect(1);
    EXPECT_TRUE(FLibrary.CanReplace());
    QList<int> rewritten;
    FLibrary.OnEntryChanged = [&](int index) { rewritten.append(index); };
    FEdit = [](tScriptData& data) {
        data.Title = U("Чёт");
        data.ClName = U("Пётр");
    };
    ASSERT_TRUE(FLibrary.ReplaceScript());
    EXPECT_EQ(FShown.first().Id, 1);
    EXPECT_EQ(FShown.first().Title, U("Чёт-нечет"));
    ASSERT_EQ(Paths(), QList<QByteArray>{"/scripts/scr_putscript.php"});
    EXPECT_EQ(FEnv.Server.Requests().first().Field("scr_id"), "1");
    EXPECT_EQ(FEnv.Site.Scripts().value(1).Script, "new text\r\n");
    EXPECT_EQ(FLibrary.SelectedEntry()->Title, U("Чёт"));
    EXPECT_EQ(FLibrary.SelectedEntry()->ClName, U("Пётр"));
    EXPECT_EQ(FEnv.Site.Scripts().value(1).AuthorName, U("Пётр"));
    EXPECT_EQ(FLibrary.SelectedEntry()->Created, FNow);
    EXPECT_EQ(FLibrary.Count(), 2);
    EXPECT_EQ(rewritten, QList<int>{0});
}

TEST_F(OnlineScriptsTest, UnpublishAsksAndKeepsTheEntryUnlessDeleted)
{
    LoadAndSelect(1);
    FBoxes.Answer(IDNO);
    EXPECT_FALSE(FLibrary.UnpublishScript());
    EXPECT_EQ(FBoxes.Last().Text, U("Вы действительно хотите удалить сценарий \"Чёт-нечет\"?"));
    EXPECT_EQ(FBoxes.Last().DefaultButton, IDNO);
    EXPECT_TRUE(FEnv.Server.Requests().isEmpty());

    // A failed request (no row in the reply) is not a deletion: the entry stays.
    FEnv.Site.SetFailure(TScriptServer::TFailure::EmptyResult, 1);
    FBoxes.Answer(IDYES);
    EXPECT_FALSE(FLibrary.UnpublishScript());
    EXPECT_EQ(Ids(), QList<int>({1, 2}));
    // The server refusing with another id: the entry stays.
    FEnv.Site.SetPutAnswer(7);
    FBoxes.Answer(IDYES);
    EXPECT_FALSE(FLibrary.UnpublishScript());
    EXPECT_EQ(Ids(), QList<int>({1, 2}));
    FEnv.Site.SetPutAnswer(0);

    FBoxes.Answer(IDYES);
    FStatuses.clear();
    ASSERT_TRUE(FLibrary.UnpublishScript());
    EXPECT_EQ(Ids(), QList<int>{2});
    EXPECT_EQ(FLibrary.Selected(), 0);
    EXPECT_EQ(FStatuses.first(), U("Удаление сценария из базы данных..."));
    EXPECT_FALSE(FEnv.Site.Scripts().contains(1));
}

TEST_F(OnlineScriptsTest, PropertiesAndRates)
{
    LoadAndSelect(1);
    ASSERT_TRUE(FLibrary.ShowScriptProperties());
    ASSERT_EQ(FShown.size(), 1);
    EXPECT_FALSE(FShownEditable.first());
    EXPECT_EQ(FShown.first().Title, U("Чёт-нечет"));
    EXPECT_TRUE(FEnv.Server.Requests().isEmpty());

    ASSERT_TRUE(FLibrary.ShowScriptRates());
    ASSERT_EQ(FRatesShown.size(), 2);
    EXPECT_EQ(FRatesShown.at(1).Notes, U("так себе"));
    FEnv.Site.SetFailure(TScriptServer::TFailure::ErrorRow, 1);
    FRatesShown.clear();
    EXPECT_FALSE(FLibrary.ShowScriptRates());
    EXPECT_TRUE(FRatesShown.isEmpty());
}

TEST_F(OnlineScriptsTest, WhenCommandsAreEnabled)
{
    ASSERT_GE(FScripts.AddScriptLine("x"), 0);
    struct TCase {
        int SelectId;   // 0: none
        bool Panel;
        bool Download, RemoveRate, Rate, Upload, Replace, Delete;
    };
    // Entry 1 is mine, usable and rated by me; entry 2 is neither mine nor usable.
    const TCase cases[] = {
        {1, true, true, true, true, true, true, true},
        {2, true, false, false, true, true, false, false},
        {0, true, false, false, false, true, false, false},
    };
    for (const TCase& c : cases) {
        FLibrary.LoadOnlineScripts();
        FLibrary.SetSelected(c.SelectId - 1);
        EXPECT_EQ(FLibrary.CanRefresh(), c.Panel);
        EXPECT_EQ(FLibrary.CanDownload(), c.Download) << c.SelectId;
        EXPECT_EQ(FLibrary.CanRemoveRate(), c.RemoveRate) << c.SelectId;
        EXPECT_EQ(FLibrary.CanRate(), c.Rate) << c.SelectId;
        EXPECT_EQ(FLibrary.CanUpload(), c.Upload) << c.SelectId;
        EXPECT_EQ(FLibrary.CanReplace(), c.Replace) << c.SelectId;
        EXPECT_EQ(FLibrary.CanDelete(), c.Delete) << c.SelectId;
    }
    FLibrary.SetSelected(0);
    EXPECT_TRUE(FLibrary.RateChecked(4));
    EXPECT_FALSE(FLibrary.RateChecked(-1));
    FLibrary.SetPanelShown(false);
    EXPECT_FALSE(FLibrary.CanUpload() || FLibrary.CanRate() || FLibrary.CanDownload() || FLibrary.CanRefresh());
}
