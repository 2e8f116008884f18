// The online library panel over the stand-in, and its two dialogs.

#include "app/core/online/OnlineScripts.h"
#include "app/core/scenarios/ScriptList.h"
#include "app/ui/online/OnlineScriptsPanel.h"
#include "app/ui/online/UnitScrPublic.h"
#include "app/ui/online/UnitScrRates.h"
#include "support/RDateUtils.h"
#include "support/RDialogsScripted.h"
#include "support/RVclUtils.h"
#include "support/ui/QorListView.h"
#include "tests/app_ui/AppUiTestEnv.h"
#include "tests/common/ScriptLibraryEnv.h"
#include "tests/common/MarkingTranslator.h"
#include "tests/common/Screenshot.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

QStringList Headers(const TRListView* view)
{
    QStringList captions;
    for (int i = 0; i < view->ColumnCount(); ++i)
        captions.append(view->Items()->Column(i).Caption);
    return captions;
}

QStringList Row(const TRListView* view, int row)
{
    QStringList texts;
    for (int i = 0; i < view->ColumnCount(); ++i)
        texts.append(view->Items()->CellText(row, i));
    return texts;
}

class ScrPublicDialogTest : public ::testing::Test {
protected:
    ScrPublicDialogTest() { FEnv.AddTwoEntries(); }

    // Presses OK; true when the dialog accepted.
    bool PressOk(TFormScrPublic& form)
    {
        form.setResult(QDialog::Rejected);
        form.OkBtn()->click();
        return form.result() == QDialog::Accepted;
    }

    TScriptLibraryEnv FEnv;
    TScriptedBoxes FBoxes;
    TSwScripts FClient{TScriptLibraryEnv::User()};
};

class OnlineScriptsPanelTest : public ::testing::Test {
protected:
    OnlineScriptsPanelTest()
    {
        FEnv.AddTwoEntries();
        FLibrary.LanguageId = [] { return LCID(1049); };
    }
    ~OnlineScriptsPanelTest() override { EXPECT_EQ(WaitCount(), 0); }

    TScriptLibraryEnv FEnv;
    TScriptedBoxes FBoxes;
    QTemporaryDir FDir;
    TSwScripts FClient{TScriptLibraryEnv::User()};
    TScriptList FScripts{FDir.path()};
    TOnlineScripts FLibrary{FClient, FScripts};
    TOnlineScriptsPanel FPanel{FLibrary, FClient};
};

} // namespace

TEST_F(ScrPublicDialogTest, OkChecksTitleThenFreeTitleThenAuthor)
{
    TFormScrPublic form(&FClient);
    tScriptData data = tScriptData::New("", 1049);
    form.LoadData(data, 1049, true);
    form.show();
    EXPECT_TRUE(form.OkBtn()->isVisible());
    EXPECT_EQ(form.windowTitle(), U("Свойства сценария"));
    EXPECT_EQ(form.OkBtn()->toolTip(), U("Отправить сценарий на сервер"));
    EXPECT_EQ(form.CancelBtn()->toolTip(), U("Закрыть окно"));
    EXPECT_TRUE(form.AppModeButton(0)->text().startsWith(U("Только в \"")));
    EXPECT_EQ(form.AppModeButton(1)->text(), U("В любом приложении Kelmar"));
    EXPECT_EQ(form.EdTitle()->maxLength(), 64);
    EXPECT_EQ(form.EdClName()->maxLength(), 64);

    // Title and author both empty: the title is named first, and no request is made.
    EXPECT_FALSE(PressOk(form));
    EXPECT_EQ(FBoxes.Last().Text, U("Название сценария должно быть указано обязательно!"));
    EXPECT_EQ(form.focusWidget(), form.EdTitle());
    EXPECT_TRUE(FEnv.Server.Requests().isEmpty());

    // A title the server knows (any letter case, blanks trimmed).
    form.EdTitle()->setText(U("  суммы "));
    EXPECT_FALSE(PressOk(form));
    EXPECT_EQ(FBoxes.Last().Text, U("Сценарий с таким названием уже существует!\nВыберите другое название."));
    EXPECT_EQ(form.focusWidget(), form.EdTitle());
    ASSERT_EQ(FEnv.Server.Requests().size(), 1);
    EXPECT_EQ(FEnv.Server.Requests().first().Field("scr_title"), U("суммы"));

    // A failed check shows its own error only.
    FEnv.Site.SetFailure(TScriptServer::TFailure::ServerError, 1);
    const int boxes = FBoxes.Boxes().size();
    EXPECT_FALSE(PressOk(form));
    EXPECT_EQ(FBoxes.Boxes().size(), boxes + 1);
    EXPECT_TRUE(FBoxes.Last().Text.startsWith(U("Ошибка проверки уникальности online-сценария!")));

    form.EdTitle()->setText(U("Новый"));
    EXPECT_FALSE(PressOk(form));
    EXPECT_EQ(FBoxes.Last().Text, U("Имя автора должно быть указано обязательно!"));
    EXPECT_EQ(form.focusWidget(), form.EdClName());

    form.EdClName()->setText(U(" Пётр "));
    form.ViewModeButton(1)->setChecked(true);
    form.AppModeButton(1)->setChecked(true);
    form.EdDescr()->setPlainText("line 1\nline 2");
    EXPECT_TRUE(PressOk(form));
    const tScriptData back = form.Data();
    EXPECT_EQ(back.Id, -1);
    EXPECT_EQ(back.ClName, U("Пётр"));
    EXPECT_EQ(back.Title, U("Новый"));
    EXPECT_EQ(back.Descr, "line 1\nline 2");
    EXPECT_FALSE(back.Public);
    EXPECT_TRUE(back.Universal);
    EXPECT_EQ(back.ClLcid, 1049);
}

TEST_F(ScrPublicDialogTest, ReadOnlyOffersOnlyCancel)
{
    TFormScrPublic form(&FClient);
    tScriptData data = tScriptData::New(U("\u202EгелО"), 1049);
    data.Id = 2;
    data.Title = U("Суммы\u2066");
    data.Public = false;
    data.Universal = true;
    form.LoadData(data, 1049, false);
    form.show();
    // Another user's texts are shown without direction controls.
    EXPECT_EQ(form.EdClName()->text() + form.EdTitle()->text(), U("гелОСуммы"));
    EXPECT_FALSE(form.OkBtn()->isVisible());
    EXPECT_TRUE(form.EdClName()->isReadOnly());
    EXPECT_TRUE(form.EdTitle()->isReadOnly());
    EXPECT_TRUE(form.EdDescr()->isReadOnly());
    EXPECT_FALSE(form.CbClLcid()->isEnabled());
    EXPECT_FALSE(form.ViewModeButton(0)->isEnabled());
    EXPECT_FALSE(form.AppModeButton(0)->isEnabled());
    EXPECT_TRUE(form.ViewModeButton(1)->isChecked());
    EXPECT_TRUE(form.AppModeButton(1)->isChecked());
    EXPECT_EQ(form.focusWidget(), form.CancelBtn());
    EXPECT_FALSE(form.TryAccept());
    EXPECT_TRUE(FEnv.Server.Requests().isEmpty());
    EXPECT_TRUE(FBoxes.Boxes().isEmpty());
    EXPECT_FALSE(SaveScreenshot(&form, QStringLiteral("FormScrPublic"), form.size()).isEmpty());
}

TEST(ScrRates, ListsTheRatingsAsSent)
{
    TFormScrRates form;
    tScriptRate rate;
    rate.ClName = U("Олег");
    rate.Rate = "2";
    rate.Created = QDateTime(QDate(2016, 8, 3), QTime(3, 30));
    rate.AppName = "Kelma";
    rate.AppVer = "1.0";
    rate.Notes = U("так себе");
    form.LoadRates({rate, tScriptRate{}});
    EXPECT_EQ(form.windowTitle(), U("Оценки пользователей"));
    EXPECT_EQ(form.CloseBtn()->text(), U("Закрыть"));
    EXPECT_EQ(Headers(form.LvRates()),
              QStringList({U("Имя"), U("Оценка"), U("Дата"), U("Программа"), U("Версия"), U("Комментарии")}));
    ASSERT_EQ(form.LvRates()->ItemCount(), 2);
    EXPECT_EQ(Row(form.LvRates(), 0),
              QStringList({U("Олег"), "2", "2016-08-03 03:30:00", "Kelma", "1.0", U("так себе")}));
    EXPECT_EQ(Row(form.LvRates(), 1), QStringList({"", "", "", "", "", ""}));
}

TEST_F(OnlineScriptsPanelTest, TextsFollowTheLanguageModule)
{
    TFormScrRates rates;
    const QStringList panelColumns = Headers(FPanel.LvOnlineScripts());
    const QStringList rateColumns = Headers(rates.LvRates());
    const QString close = rates.CloseBtn()->text();
    const QString filter = FPanel.CbOnlineScriptsFilter()->itemText(7);
    {
        // The columns, the filter and the close button are texts of the message tables.
        const TMarkingModule module({"KelmaMsg", "RMsgRu"});
        QCoreApplication::sendPostedEvents(nullptr, QEvent::LanguageChange);
        EXPECT_EQ(Headers(FPanel.LvOnlineScripts()), TMarkingModule::Marked(panelColumns));
        EXPECT_EQ(FPanel.CbOnlineScriptsFilter()->itemText(7), TMarkingModule::Marked(filter));
        EXPECT_EQ(Headers(rates.LvRates()), TMarkingModule::Marked(rateColumns));
        EXPECT_EQ(rates.CloseBtn()->text(), TMarkingModule::Marked(close));
    }
    QCoreApplication::sendPostedEvents(nullptr, QEvent::LanguageChange);
    EXPECT_EQ(Headers(FPanel.LvOnlineScripts()), panelColumns);
    EXPECT_EQ(FPanel.CbOnlineScriptsFilter()->itemText(7), filter);
    EXPECT_EQ(Headers(rates.LvRates()), rateColumns);
    EXPECT_EQ(rates.CloseBtn()->text(), U("Закрыть"));
}

TEST_F(OnlineScriptsPanelTest, ShowsTheCatalogueFromTheServer)
{
    EXPECT_EQ(FPanel.objectName(), "pnlOnlineScripts");
    EXPECT_EQ(FPanel.LvOnlineScripts()->objectName(), "lvOnlineScripts");
    EXPECT_EQ(FPanel.CbOnlineScriptsFilter()->objectName(), "cbOnlineScriptsFilter");
    EXPECT_EQ(Headers(FPanel.LvOnlineScripts()),
              QStringList({U("Тип"), U("Название"), U("Автор"), U("Программа"), U("Версия"), U("Язык"), U("Создан"),
                           U("Рейтинг"), U("Оценок"), U("Ваша оценка"), U("Загрузок"), U("Последняя"),
                           U("Комментарии")}));
    QComboBox* filter = FPanel.CbOnlineScriptsFilter();
    ASSERT_EQ(filter->count(), 8);
    EXPECT_EQ(filter->itemText(0), U("Скрытые"));
    EXPECT_EQ(filter->itemText(2), U("Все, кроме скрытых (по умолчанию)"));
    EXPECT_EQ(filter->currentIndex(), 2);
    EXPECT_EQ(FPanel.LvOnlineScripts()->ItemCount(), 0);

    FPanel.Refresh();
    TRListView* list = FPanel.LvOnlineScripts();
    ASSERT_EQ(list->ItemCount(), 2);
    EXPECT_EQ(Row(list, 0).mid(0, 7), QStringList({U("Мой"), U("Чёт-нечет"), U("Иван"), "Tavrix2_2r10", "2.2.9",
                                                   "RUS", "2016-08-02 00:15:00"}));
    EXPECT_EQ(Row(list, 1).at(0), U("Общий"));
    EXPECT_EQ(list->Items()->Item(0).ImageIndex, 39);
    EXPECT_EQ(list->Items()->Item(1).ImageIndex, 22);
    EXPECT_EQ(list->Selected(), -1);

    // A click selects the entry in the library; a reload keeps it.
    list->SetSelected(1);
    EXPECT_EQ(FLibrary.Selected(), 1);
    FPanel.Refresh();
    EXPECT_EQ(list->Selected(), 1);

    const QString path = SaveScreenshot(&FPanel, QStringLiteral("OnlineScriptsPanel"), QSize(1100, 200));
    EXPECT_FALSE(path.isEmpty());
}

TEST_F(OnlineScriptsPanelTest, FilterBoxReloadsAndDoubleClickShowsProperties)
{
    FPanel.Refresh();
    FEnv.Server.ClearRequests();
    FPanel.CbOnlineScriptsFilter()->setCurrentIndex(3);
    EXPECT_EQ(FLibrary.FilterIndex(), 3);
    ASSERT_EQ(FEnv.Server.Requests().size(), 1);
    EXPECT_EQ(FEnv.Server.Requests().first().Field("fltid"), "2");
    EXPECT_EQ(FPanel.LvOnlineScripts()->ItemCount(), 1);   // only mine

    QList<bool> editable;
    FLibrary.EditProperties = [&](tScriptData& data, bool canEdit) {
        editable.append(canEdit);
        EXPECT_EQ(data.Title, U("Чёт-нечет"));
        return false;
    };
    TRListView* list = FPanel.LvOnlineScripts();
    list->SetSelected(0);
    emit list->doubleClicked(list->model()->index(0, 1));
    EXPECT_EQ(editable, QList<bool>{false});
}

TEST_F(OnlineScriptsPanelTest, DeletingAnEntryRemovesItsRow)
{
    FPanel.Refresh();
    FPanel.LvOnlineScripts()->SetSelected(0);
    FBoxes.Answer(IDYES);
    FPanel.UnpublishScript();
    ASSERT_EQ(FPanel.LvOnlineScripts()->ItemCount(), 1);
    EXPECT_EQ(Row(FPanel.LvOnlineScripts(), 0).at(1), U("Суммы"));
    EXPECT_EQ(FPanel.LvOnlineScripts()->Selected(), 0);
}

TEST_F(OnlineScriptsPanelTest, PublishedAndReplacedRowsNameTheAuthorThatWasSent)
{
    // In the properties dialog the author's name is changed to Пётр: the server is sent that
    // name, and the rows show it.
    ASSERT_GE(FScripts.AddScriptLine("line"), 0);
    FPanel.Refresh();
    TRListView* list = FPanel.LvOnlineScripts();
    const auto typeAuthor = [](const char* title) {
        WhenModal([title](TDialogSTemplate& dialog) {
            auto* form = qobject_cast<TFormScrPublic*>(&dialog);
            ASSERT_NE(form, nullptr);
            form->EdTitle()->setText(U(title));
            form->EdClName()->setText(U("Пётр"));
            EXPECT_TRUE(PressOk(*form));
        });
    };

    typeAuthor("Новый");
    FPanel.PublishScript();
    ASSERT_EQ(list->ItemCount(), 3);
    ASSERT_EQ(list->Selected(), 2);
    EXPECT_EQ(Row(list, 2).mid(0, 3), QStringList({U("Мой"), U("Новый"), U("Пётр")}));
    EXPECT_EQ(FLibrary.SelectedEntry()->ClMail, "ivan@example.org");

    list->SetSelected(0);
    typeAuthor("Чёт");
    FPanel.ReplaceScript();
    EXPECT_EQ(Row(list, 0).mid(0, 3), QStringList({U("Мой"), U("Чёт"), U("Пётр")}));
    EXPECT_TRUE(FBoxes.Boxes().isEmpty());
}

TEST_F(OnlineScriptsPanelTest, ReplacingRewritesThePropertiesOfTheRow)
{
    const TClock previous = SetClock([] { return QDateTime(QDate(2016, 8, 10), QTime(14, 0, 5)); });
    ASSERT_GE(FScripts.AddScriptLine("line"), 0);
    FPanel.Refresh();
    FPanel.LvOnlineScripts()->SetSelected(0);
    FLibrary.EditProperties = [](tScriptData& data, bool) {
        data.Title = U("Чёт");
        data.Descr = "new";
        data.Universal = true;
        data.Public = true;
        return true;
    };
    FPanel.ReplaceScript();
    SetClock(previous);
    EXPECT_EQ(Row(FPanel.LvOnlineScripts(), 0),
              QStringList({U("Мой"), U("Чёт"), U("Иван"), U("Универсальный"), "2.2.9", "RUS", "2016-08-10 14:00:05",
                           "3,000", "2", "4", "2", "2016-08-10 02:59:59", "new"}));
    EXPECT_EQ(FPanel.LvOnlineScripts()->Items()->Item(0).ImageIndex, 22);
    EXPECT_EQ(FPanel.LvOnlineScripts()->Selected(), 0);
}
