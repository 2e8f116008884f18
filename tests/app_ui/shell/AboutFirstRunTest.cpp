// The about box, the first-run dialog and the language menu.

#include "app/core/shell/HelpLinks.h"
#include "app/core/shell/Languages.h"
#include "app/core/shell/MainState.h"
#include "app/ui/shell/LanguageMenu.h"
#include "app/ui/shell/UnitAbout.h"
#include "app/ui/shell/UnitFirstRun.h"
#include "platform/Exceptions.h"
#include "support/RDialogsScripted.h"
#include "support/RLngDLL.h"
#include "support/RSysUtils.h"
#include "support/RVclUtils.h"
#include "support/ui/RActions.h"
#include "tests/common/LanguageModules.h"
#include "tests/common/Screenshot.h"
#include "tests/common/TestHelpers.h"
#include "tests/app_ui/AppUiTestEnv.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QImage>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>
#include <vector>

namespace {

QByteArray& EnglishModule()
{
    static QByteArray module;
    return module;
}

void ExpectLabelsShowInFull(const QWidget& form)
{
    for (const QLabel* label : form.findChildren<QLabel*>()) {
        if (label->wordWrap())
            continue;
        EXPECT_GE(label->contentsRect().width(), label->sizeHint().width() - label->contentsMargins().left()
                                                     - label->contentsMargins().right())
            << label->objectName().toStdString();
    }
}

void ExpectButtonsShowInFull(const QWidget& form)
{
    for (const QPushButton* button : form.findChildren<QPushButton*>()) {
        if (!button->isVisible())
            continue;
        EXPECT_GE(button->width(), button->sizeHint().width()) << button->objectName().toStdString();
    }
}

// The program in a temporary folder with its form state there, every open request recorded.
class AboutFirstRunTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        EnglishModule() = CompileLanguageModule(
            "en_US", {{"FormAbout", "О программе", "About"},
                      {"FormAbout", "Закрыть", "Close"},
                      {"FormAbout", "Версия программы:", "Program version:"},
                      {"FormFirstRun", "Справочная информация", "Help and resources"},
                      {"FormFirstRun", "Блог", "Blog"},
                      {"KelmaMsg", "https://tavrix.invalid/blog/", "https://tavrix.invalid/en/blog/"}});
    }

    void SetUp() override
    {
        ASSERT_TRUE(FDir.isValid());
        ASSERT_FALSE(EnglishModule().isEmpty());
        OverrideAppFileName(FDir.filePath(QStringLiteral("Prog")));
        FState.SetArguments({});
        FState.SetDataDir(FDir.path());
        FPreviousOpener = SetOpenHandler([this](const TOpenRequest& request) { FOpened.push_back(request); });
        FLanguages.Restart = [this] { ++FRestarts; };
    }
    void TearDown() override
    {
        SetOpenHandler(FPreviousOpener);
        DoneLanguages();
        OverrideAppFileName(QString());
    }

    void PutEnglish() { WriteFileBytes(FDir.filePath(QStringLiteral("Prog_ENU.lng")), EnglishModule()); }
    QByteArray FormStateFile() const { return ReadFileBytes(FState.FormStateFileName()); }
    void SwitchFirstRunOn()
    {
        FState.FormState().WriteBool(QStringLiteral("FirstRun"), true);
        FState.Options.Load(FState.FormState());
    }

    QTemporaryDir FDir;
    TMainState FState;
    TLanguages FLanguages{FState};
    int FRestarts = 0;
    TScriptedBoxes FBoxes;
    TOpenHandler FPreviousOpener;
    std::vector<TOpenRequest> FOpened;
};

const struct {
    const char* Name;
    TLinkPage Page;
} kAboutLinks[] = {{"lblWeb1", TLinkPage::MainSite}, {"lblBlog1", TLinkPage::Blog}, {"lblBlog2", TLinkPage::YouTube},
                   {"lblSoc1", TLinkPage::VK},       {"lblSoc2", TLinkPage::OK},    {"lblWeb2", TLinkPage::AuthSite}};

const struct {
    const char* Name;
    const char* Text;
} kAboutCaptions[] = {{"lblVersionCaption", "Версия программы:"},
                      {"lblWebCaption", "Официальный сайт проекта:"},
                      {"lblBlogCaption", "Наш блог:"},
                      {"lblSocCaption", "Наши страницы в соцсетях:"},
                      {"lblUpdatesCaption", "Здесь Вы сможете скачать последние обновления:"},
                      {"lblMailCaption", "Вопросы и пожелания направлять по адресу:"}};

const struct {
    const char* Name;
    const char* Text;
    TLinkPage Page;
} kFirstRunButtons[] = {
    {"btnOnlineManuals", "Статьи на сайте автора - для начинающих и не только", TLinkPage::AuthText},
    {"btnBlog", "Блог", TLinkPage::Blog},
    {"btnYoutube", "Канал на YouTube", TLinkPage::YouTube},
    {"btnVK", "Группа в соцсети \"В Контакте\"", TLinkPage::VK},
    {"btnOK", "Группа в соцсети \"Однокласники\"", TLinkPage::OK},
    {"btnTelegram", "Канал в Telegram - новости проекта", TLinkPage::Telegram},
};

} // namespace

// ---------------------------------------------------------------------------------------------
// About box.

TEST_F(AboutFirstRunTest, AboutBoxShowsTitleVersionAndEveryAddress)
{
    // A title with format characters is shown as it is.
    TFormAbout form(U("Таврикс 100%s %d"), QStringLiteral("2.2.10"));
    EXPECT_EQ(form.windowTitle(), U("О программе"));
    EXPECT_TRUE(form.OkBtn()->isHidden());
    EXPECT_EQ(form.CancelBtn()->text(), U("Закрыть"));
    EXPECT_EQ(form.TitleLabel()->text(), U("Таврикс 100%s %d"));
    EXPECT_EQ(form.VersionLabel()->text(), "2.2 ( 2.2.10 )");
    for (const auto& caption : kAboutCaptions) {
        auto* label = form.findChild<QLabel*>(QLatin1String(caption.Name));
        ASSERT_NE(label, nullptr) << caption.Name;
        EXPECT_EQ(label->text(), U(caption.Text)) << caption.Name;
    }
    for (const auto& link : kAboutLinks) {
        QLabel* label = form.LinkLabel(link.Name);
        ASSERT_NE(label, nullptr) << link.Name;
        EXPECT_EQ(label->text(), QStringLiteral("<a href=\"%1\">%1</a>").arg(LinkAddress(link.Page))) << link.Name;
    }
    ASSERT_NE(form.LinkLabel("lblMail"), nullptr);
    EXPECT_TRUE(form.LinkLabel("lblMail")->text().contains(ContactMail()));
}

TEST_F(AboutFirstRunTest, AClickOnAnAddressOpensItsPageOrTheMail)
{
    TFormAbout form(QStringLiteral("T"), QStringLiteral("1.0.0"));
    for (const auto& link : kAboutLinks) {
        FOpened.clear();
        emit form.LinkLabel(link.Name)->linkActivated(LinkAddress(link.Page));
        ASSERT_EQ(FOpened.size(), 1u) << link.Name;
        EXPECT_EQ(FOpened[0].Kind, TOpenRequest::TKind::Url) << link.Name;
        EXPECT_EQ(FOpened[0].Target, LinkAddress(link.Page)) << link.Name;
    }
    FOpened.clear();
    emit form.LinkLabel("lblMail")->linkActivated(ContactMail());
    ASSERT_EQ(FOpened.size(), 1u);
    EXPECT_EQ(FOpened[0].Kind, TOpenRequest::TKind::MailTo);
    EXPECT_EQ(FOpened[0].Target, QStringLiteral("mailto:") + ContactMail());
}

TEST_F(AboutFirstRunTest, AboutBoxClosesWithItsOneButton)
{
    bool shown = false;
    WhenModal([&shown](TDialogSTemplate& dialog) {
        shown = true;
        EXPECT_EQ(dialog.objectName(), "FormAbout");
        dialog.CancelBtn()->click();
    });
    ShowAboutBox(nullptr, QStringLiteral("T"), QStringLiteral("1.0.0"));
    EXPECT_TRUE(shown);
    EXPECT_TRUE(FOpened.empty());
}

TEST_F(AboutFirstRunTest, AboutBoxFollowsTheInterfaceLanguage)
{
    PutEnglish();
    TFormAbout form(QStringLiteral("T"), QStringLiteral("1.0.0"));
    InitLanguages(1049, 1033);
    ASSERT_EQ(GetCurrentLanguage(), 1033u);
    QApplication::processEvents();
    EXPECT_EQ(form.windowTitle(), "About");
    EXPECT_EQ(form.CancelBtn()->text(), "Close");
    EXPECT_EQ(form.findChild<QLabel*>(QStringLiteral("lblVersionCaption"))->text(), "Program version:");
    EXPECT_TRUE(form.LinkLabel("lblBlog1")->text().contains(QStringLiteral("https://tavrix.invalid/en/blog/")));
    DoneLanguages();
    QApplication::processEvents();
    EXPECT_EQ(form.windowTitle(), U("О программе"));
    EXPECT_EQ(form.CancelBtn()->text(), U("Закрыть"));
    EXPECT_TRUE(form.LinkLabel("lblBlog1")->text().contains(QStringLiteral("https://tavrix.invalid/blog/")));
}

TEST_F(AboutFirstRunTest, AboutBoxScreenshot)
{
    TFormAbout form(U("Таврикс"), QStringLiteral("2.2.10"));
    const QString path = SaveScreenshot(&form, QStringLiteral("FormAbout"), form.size());
    ASSERT_FALSE(path.isEmpty());
    ExpectLabelsShowInFull(form);
    ExpectButtonsShowInFull(form);
    EXPECT_EQ(QImage(path).size(), form.size() * form.devicePixelRatio());
}

// ---------------------------------------------------------------------------------------------
// First-run dialog.

TEST_F(AboutFirstRunTest, FirstRunDialogIsNotShownUnlessSwitchedOn)
{
    bool shown = false;
    QTimer::singleShot(0, [&shown] {
        if (QWidget* modal = QApplication::activeModalWidget()) {
            shown = true;
            modal->close();
        }
    });
    FState.Options.Load(FState.FormState());
    EXPECT_FALSE(ShowFirstRunDialog(nullptr, FState, QString()));
    QApplication::processEvents();
    EXPECT_FALSE(shown);
    EXPECT_EQ(FormStateFile(), "<missing>");
}

TEST_F(AboutFirstRunTest, WithoutHelpItsButtonIsOffAndTheBoxStopsTheDialog)
{
    SwitchFirstRunOn();
    bool shown = false;
    WhenModal([&shown](TDialogSTemplate& dialog) {
        shown = true;
        auto& form = static_cast<TFormFirstRun&>(dialog);
        EXPECT_EQ(form.windowTitle(), U("Справочная информация"));
        EXPECT_TRUE(form.OkBtn()->isHidden());
        EXPECT_EQ(form.CancelBtn()->text(), U("Закрыть"));
        EXPECT_EQ(form.findChild<QLabel*>(QStringLiteral("lblInfo"))->text(),
                  U("Если Вы запускаете программу в первый раз, рекомендуем Вам ознакомится со справочной "
                    "инфомацией:"));
        EXPECT_EQ(form.findChild<QLabel*>(QStringLiteral("lblBlogs"))->text(),
                  U("Полезные ресурсы, включая видеоруководства и новости проекта:"));
        QPushButton* help = form.Button("btnOpenHelpFile");
        ASSERT_NE(help, nullptr);
        EXPECT_EQ(help->text(), U("Открыть файл встроенной справочной системы"));
        EXPECT_FALSE(help->isEnabled());
        EXPECT_EQ(form.HelpFile(), "");
        EXPECT_EQ(form.DisableBox()->text(), U("Больше не показывать данный диалог"));
        EXPECT_FALSE(form.DisableBox()->isChecked());
        form.DisableBox()->setChecked(true);
        form.CancelBtn()->click();
    });
    EXPECT_TRUE(ShowFirstRunDialog(nullptr, FState, FDir.filePath(QStringLiteral("help/Kelmar_RUS.chm"))));
    EXPECT_TRUE(shown);
    EXPECT_EQ(FormStateFile(), "[TFormMain]\r\nFirstRun=0\r\n");
    EXPECT_FALSE(FirstRunDue(FState));
}

TEST_F(AboutFirstRunTest, FirstRunButtonsOpenTheHelpAndThePages)
{
    SwitchFirstRunOn();
    const QString help = FDir.filePath(QStringLiteral("Kelmar_RUS.chm"));
    WriteFileBytes(help, "x");
    WhenModal([this, help](TDialogSTemplate& dialog) {
        auto& form = static_cast<TFormFirstRun&>(dialog);
        EXPECT_EQ(form.HelpFile(), help);
        QPushButton* helpButton = form.Button("btnOpenHelpFile");
        ASSERT_TRUE(helpButton->isEnabled());
        helpButton->click();
        ASSERT_EQ(FOpened.size(), 1u);
        EXPECT_EQ(FOpened[0].Kind, TOpenRequest::TKind::HelpTopic);
        EXPECT_EQ(FOpened[0].Target, help);
        for (const auto& button : kFirstRunButtons) {
            FOpened.clear();
            QPushButton* page = form.Button(button.Name);
            ASSERT_NE(page, nullptr) << button.Name;
            EXPECT_EQ(page->text(), U(button.Text)) << button.Name;
            page->click();
            ASSERT_EQ(FOpened.size(), 1u) << button.Name;
            EXPECT_EQ(FOpened[0].Kind, TOpenRequest::TKind::Url);
            EXPECT_EQ(FOpened[0].Target, LinkAddress(button.Page)) << button.Name;
        }
        // Closed without the box ticked: it comes again next time.
        form.reject();
    });
    const QByteArray before = FormStateFile();
    EXPECT_TRUE(ShowFirstRunDialog(nullptr, FState, help));
    EXPECT_EQ(FormStateFile(), before);
    EXPECT_TRUE(FirstRunDue(FState));
}

TEST_F(AboutFirstRunTest, HelpThatCannotBeOpenedIsReported)
{
    const QString help = FDir.filePath(QStringLiteral("Kelmar_RUS.chm"));
    WriteFileBytes(help, "x");
    SetOpenHandler([](const TOpenRequest&) { throw Exception(QStringLiteral("no viewer")); });
    TFormFirstRun form(help);
    form.Button("btnOpenHelpFile")->click();
    ASSERT_EQ(FBoxes.Boxes().size(), 1);
    EXPECT_EQ(FBoxes.Last().Text, U("Не удалось открыть файл справки \"%1\": no viewer.").arg(help));
    EXPECT_EQ(FBoxes.Last().Icon, TBoxIcon::Error);
}

TEST_F(AboutFirstRunTest, FirstRunDialogScreenshot)
{
    TFormFirstRun form{QString()};
    const QString path = SaveScreenshot(&form, QStringLiteral("FormFirstRun"), form.size());
    ASSERT_FALSE(path.isEmpty());
    ExpectButtonsShowInFull(form);
    for (const auto& button : kFirstRunButtons)
        EXPECT_GE(form.Button(button.Name)->width(), form.Button(button.Name)->sizeHint().width());
    // Each wrapped label shows its text whole at the dialog's width.
    for (const char* name : {"lblInfo", "lblBlogs"}) {
        auto* label = form.findChild<QLabel*>(QLatin1String(name));
        EXPECT_GE(label->height(), label->heightForWidth(label->width())) << name;
    }
}

// ---------------------------------------------------------------------------------------------
// Language menu.

TEST_F(AboutFirstRunTest, WithoutModulesTheMenuHoldsOnlyRussian)
{
    FState.FormState().WriteInteger(QStringLiteral("Language"), 1033);
    EXPECT_EQ(FLanguages.Setup(), "");
    TActionRegistry registry(nullptr, 60000);
    QMenu menu;
    FillLanguageMenu(&menu, registry, FLanguages);
    ASSERT_EQ(menu.actions().size(), 1);
    QAction* russian = menu.actions().at(0);
    EXPECT_EQ(russian->objectName(), "lngOther1049");
    EXPECT_EQ(russian->text(), U("Русский (Россия)"));
    EXPECT_EQ(russian->toolTip(), U("Русский (Россия)"));
    EXPECT_EQ(russian->data().toUInt(), 1049u);
    EXPECT_TRUE(russian->isChecked());
}

TEST_F(AboutFirstRunTest, TheMenuSwitchesByRestartingOnly)
{
    PutEnglish();
    EXPECT_EQ(FLanguages.Setup(), "");
    ASSERT_EQ(GetCurrentLanguage(), 1033u);
    TActionRegistry registry(nullptr, 60000);
    QMenu menu;
    FillLanguageMenu(&menu, registry, FLanguages);
    ASSERT_EQ(menu.actions().size(), 2);
    QAction* english = menu.actions().at(0);
    QAction* russian = menu.actions().at(1);
    EXPECT_EQ(english->objectName(), "lngOther1033");
    EXPECT_EQ(russian->objectName(), "lngOther1049");
    ASSERT_NE(english->actionGroup(), nullptr);
    EXPECT_TRUE(english->actionGroup()->isExclusive());   // drawn as radio items
    EXPECT_EQ(russian->actionGroup(), english->actionGroup());
    EXPECT_TRUE(english->isChecked());
    EXPECT_FALSE(russian->isChecked());

    // The language in use again: nothing is written, nothing restarts, the mark stays.
    english->trigger();
    EXPECT_EQ(FRestarts, 0);
    EXPECT_EQ(FormStateFile(), "<missing>");
    EXPECT_TRUE(english->isChecked());

    // While a long operation runs the items are off.
    StartWait();
    EXPECT_FALSE(russian->isEnabled());
    russian->trigger();
    EXPECT_EQ(FRestarts, 0);
    StopWait();
    EXPECT_TRUE(russian->isEnabled());

    russian->trigger();
    EXPECT_EQ(FRestarts, 1);
    EXPECT_EQ(FormStateFile(), "[TFormMain]\r\nLanguage=1049\r\n");
    // Until the new copy runs, the language in use stays marked.
    EXPECT_TRUE(english->isChecked());
    EXPECT_FALSE(russian->isChecked());
    EXPECT_TRUE(FBoxes.Boxes().isEmpty());

    // A second fill replaces the items.
    FillLanguageMenu(&menu, registry, FLanguages);
    EXPECT_EQ(menu.actions().size(), 2);
}

TEST_F(AboutFirstRunTest, AMissingModuleIsReportedAndTheMarkStays)
{
    PutEnglish();
    FState.FormState().WriteInteger(QStringLiteral("Language"), 1049);
    EXPECT_EQ(FLanguages.Setup(), "");
    TActionRegistry registry(nullptr, 60000);
    QMenu menu;
    FillLanguageMenu(&menu, registry, FLanguages);
    ASSERT_TRUE(QFile::remove(FDir.filePath(QStringLiteral("Prog_ENU.lng"))));
    const QByteArray before = FormStateFile();

    QAction* english = registry.Action("lngOther1033");
    english->trigger();
    EXPECT_EQ(FRestarts, 0);
    EXPECT_EQ(FormStateFile(), before);
    ASSERT_EQ(FBoxes.Boxes().size(), 1);
    EXPECT_EQ(FBoxes.Last().Text,
              U("Языковый модуль \"") + FDir.filePath(QStringLiteral("Prog_ENU.lng")) + U("\" не найден!"));
    EXPECT_FALSE(english->isChecked());
    EXPECT_TRUE(registry.Action("lngOther1049")->isChecked());
}
