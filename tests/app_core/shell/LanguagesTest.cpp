// The interface language chosen at start-up, the language menu's choices, the help file's
// look-up and the pages of the help menu.

#include "app/core/shell/HelpLinks.h"
#include "app/core/shell/Languages.h"
#include "app/core/shell/MainState.h"
#include "app/core/archive/ResultsPage.h"
#include "engine/KelmaMsg.h"
#include "platform/Exceptions.h"
#include "support/RLngDLL.h"
#include "support/RSysUtils.h"
#include "tests/common/LanguageModules.h"
#include "tests/common/TestHelpers.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {

QByteArray& EnglishModule()
{
    static QByteArray module;
    return module;
}

class LanguagesTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        EnglishModule() = CompileLanguageModule(
            "en_US", {{"KelmaMsg", "Инициализация...", "Initialization..."},
                      {"KelmaMsg", "https://tavrix.invalid/blog/", "https://tavrix.invalid/en/blog/"}});
    }

    void SetUp() override
    {
        ASSERT_TRUE(FDir.isValid());
        ASSERT_FALSE(EnglishModule().isEmpty());
        ASSERT_TRUE(QDir(FDir.path()).mkpath(QStringLiteral("app")));
        FProgramDir = FDir.filePath(QStringLiteral("app"));
        OverrideAppFileName(FProgramDir + QStringLiteral("/Prog"));
        FState.SetArguments({});
        FState.SetDataDir(FProgramDir);
        FLanguages.Restart = [this] { ++FRestarts; };
    }
    void TearDown() override
    {
        DoneLanguages();
        OverrideAppFileName(QString());
    }

    QString ProgramFile(const QString& name) const { return FProgramDir + QLatin1Char('/') + name; }
    void PutEnglish(const QString& name = QStringLiteral("Prog_ENU.lng"))
    {
        WriteFileBytes(ProgramFile(name), EnglishModule());
    }
    void StoreLanguage(int lcid) { FState.FormState().WriteInteger(QStringLiteral("Language"), lcid); }
    QByteArray FormStateFile() const { return ReadFileBytes(FState.FormStateFileName()); }

    QTemporaryDir FDir;
    QString FProgramDir;
    TMainState FState;
    TLanguages FLanguages{FState};
    int FRestarts = 0;
};

} // namespace

TEST_F(LanguagesTest, WithoutModulesOnlyRussianWhateverIsStored)
{
    for (const int stored : {1033, 1049, 1058}) {
        StoreLanguage(stored);
        EXPECT_EQ(FLanguages.Setup(), "");
        EXPECT_EQ(GetCurrentLanguage(), 1049u) << stored;
        EXPECT_EQ(FLanguages.Items(), QList<LCID>{1049});
        EXPECT_TRUE(FLanguages.IsChosen(1049));
        EXPECT_EQ(LoadResString(rsInitializing), U("Инициализация..."));
        // No help anywhere: the last place looked at is kept.
        EXPECT_EQ(FLanguages.HelpFileName(), FDir.filePath(QStringLiteral("help/Kelmar_RUS.chm")));
        EXPECT_FALSE(HelpFileExists(FLanguages.HelpFileName()));
        DoneLanguages();
    }
    EXPECT_EQ(TLanguages::Caption(1049), U("Русский (Россия)"));
}

TEST_F(LanguagesTest, EnglishModuleIsUsedByDefaultAndNamesTheHelpFile)
{
    PutEnglish();
    // "Language" absent: English, the default of the option.
    EXPECT_EQ(FLanguages.Setup(), "");
    EXPECT_EQ(GetCurrentLanguage(), 1033u);
    EXPECT_EQ(FLanguages.Items(), (QList<LCID>{1033, 1049}));
    EXPECT_TRUE(FLanguages.IsChosen(1033));
    EXPECT_FALSE(FLanguages.IsChosen(1049));
    EXPECT_EQ(LoadResString(rsInitializing), "Initialization...");
    EXPECT_EQ(LinkAddress(TLinkPage::Blog), "https://tavrix.invalid/en/blog/");
    EXPECT_EQ(FLanguages.HelpFileName(), FDir.filePath(QStringLiteral("help/Kelmar_ENU.chm")));
}

TEST_F(LanguagesTest, StoredRussianOrTheSwitchKeepTheBuiltInTexts)
{
    PutEnglish();
    StoreLanguage(1049);
    EXPECT_EQ(FLanguages.Setup(), "");
    EXPECT_EQ(GetCurrentLanguage(), 1049u);
    EXPECT_EQ(FLanguages.Items(), (QList<LCID>{1033, 1049}));
    DoneLanguages();

    StoreLanguage(1033);
    for (const char* argument : {"no-language", "-NO-LANGUAGE", "/no-language"}) {
        FState.SetArguments({QString::fromLatin1(argument)});
        EXPECT_EQ(FLanguages.Setup(), "");
        EXPECT_EQ(GetCurrentLanguage(), 1049u) << argument;
        EXPECT_TRUE(FLanguages.HelpFileName().endsWith(QStringLiteral("/Kelmar_RUS.chm")));
        DoneLanguages();
    }
}

TEST_F(LanguagesTest, HelpFileIsLookedUpInThreePlacesInOrder)
{
    PutEnglish();
    const QString own = ProgramFile(QStringLiteral("Kelmar_ENU.chm"));
    const QString inHelp = ProgramFile(QStringLiteral("help/Kelmar_ENU.chm"));
    const QString beside = FDir.filePath(QStringLiteral("help/Kelmar_ENU.chm"));
    ASSERT_TRUE(QDir(FProgramDir).mkpath(QStringLiteral("help")));
    ASSERT_TRUE(QDir(FDir.path()).mkpath(QStringLiteral("help")));

    // Files are added from the last place to the first: each time the nearer one wins.
    WriteFileBytes(ProgramFile(QStringLiteral("help/Kelmar_RUS.chm")), "other language");
    EXPECT_EQ(FindHelpFile(FProgramDir + QLatin1Char('/'), HelpFileTitle(1033)), beside);
    WriteFileBytes(beside, "x");
    EXPECT_EQ(FindHelpFile(FProgramDir, HelpFileTitle(1033)), beside);
    WriteFileBytes(inHelp, "x");
    EXPECT_EQ(FindHelpFile(FProgramDir + QLatin1Char('/'), HelpFileTitle(1033)), inHelp);
    // A folder of the help file's name is not the help file.
    ASSERT_TRUE(QDir(FProgramDir).mkpath(QStringLiteral("Kelmar_ENU.chm")));
    EXPECT_EQ(FindHelpFile(FProgramDir, HelpFileTitle(1033)), inHelp);
    ASSERT_TRUE(QDir(FProgramDir).rmdir(QStringLiteral("Kelmar_ENU.chm")));
    WriteFileBytes(own, "x");
    EXPECT_EQ(FindHelpFile(FProgramDir, HelpFileTitle(1033)), own);

    EXPECT_EQ(FLanguages.Setup(), "");
    EXPECT_EQ(FLanguages.HelpFileName(), own);
    EXPECT_TRUE(HelpFileExists(own));
    EXPECT_FALSE(HelpFileExists(QString()));

    // A program in the root folder looks in "/help" last.
    EXPECT_EQ(FindHelpFile(QStringLiteral("/"), QStringLiteral("none-such.chm")), "/help/none-such.chm");
}

TEST_F(LanguagesTest, ChoosingTheCurrentLanguageDoesNothing)
{
    PutEnglish();
    EXPECT_EQ(FLanguages.Setup(), "");
    const QByteArray before = FormStateFile();
    EXPECT_FALSE(FLanguages.Choose(1033));
    EXPECT_EQ(FRestarts, 0);
    EXPECT_EQ(FormStateFile(), before);
}

TEST_F(LanguagesTest, ChoosingAnotherLanguageStoresItAndRestarts)
{
    PutEnglish();
    EXPECT_EQ(FLanguages.Setup(), "");
    EXPECT_TRUE(FLanguages.Choose(1049));
    EXPECT_EQ(FRestarts, 1);
    EXPECT_EQ(FormStateFile(), "[TFormMain]\r\nLanguage=1049\r\n");
    EXPECT_EQ(FState.Options.Value(TMainOptions::Language), 1049);
    // The language in use changes only with the new copy.
    EXPECT_EQ(GetCurrentLanguage(), 1033u);

    DoneLanguages();
    StoreLanguage(1049);
    EXPECT_EQ(FLanguages.Setup(), "");
    EXPECT_TRUE(FLanguages.Choose(1033));
    EXPECT_EQ(FRestarts, 2);
    EXPECT_EQ(FormStateFile(), "[TFormMain]\r\nLanguage=1033\r\n");
}

TEST_F(LanguagesTest, ChoosingALanguageWhoseModuleIsGoneRaisesAndChangesNothing)
{
    PutEnglish();
    StoreLanguage(1049);
    EXPECT_EQ(FLanguages.Setup(), "");
    ASSERT_TRUE(QFile::remove(ProgramFile(QStringLiteral("Prog_ENU.lng"))));
    const QByteArray before = FormStateFile();
    try {
        FLanguages.Choose(1033);
        ADD_FAILURE() << "no exception";
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message(), U("Языковый модуль \"") + ProgramFile(QStringLiteral("Prog_ENU.lng"))
                                   + U("\" не найден!"));
    }
    EXPECT_EQ(FRestarts, 0);
    EXPECT_EQ(FormStateFile(), before);
}

TEST_F(LanguagesTest, AnotherVariantOfTheLanguageInUseShowsAsChosen)
{
    PutEnglish();
    PutEnglish(QStringLiteral("Prog_ENG.lng"));
    StoreLanguage(2057);
    EXPECT_EQ(FLanguages.Setup(), "");
    EXPECT_EQ(GetCurrentLanguage(), 2057u);
    EXPECT_EQ(FLanguages.Items(), (QList<LCID>{1033, 1049, 2057}));
    // Both are English; the one in use is the item marked.
    EXPECT_TRUE(FLanguages.IsChosen(2057));
    EXPECT_FALSE(FLanguages.IsChosen(1033));
    EXPECT_FALSE(FLanguages.IsChosen(1049));
    EXPECT_TRUE(FLanguages.HelpFileName().endsWith(QStringLiteral("/Kelmar_ENG.chm")));

    // A menu of British English only while American English is in use: the item is marked.
    TLanguages britishOnly(FState);
    ASSERT_TRUE(QFile::remove(ProgramFile(QStringLiteral("Prog_ENU.lng"))));
    EXPECT_EQ(britishOnly.Setup(), "");
    PutEnglish();
    InitLanguages(1049, 1033);
    ASSERT_EQ(GetCurrentLanguage(), 1033u);
    EXPECT_EQ(britishOnly.Items(), (QList<LCID>{1049, 2057}));
    EXPECT_TRUE(britishOnly.IsChosen(2057));
    EXPECT_FALSE(britishOnly.IsChosen(1049));
}

TEST_F(LanguagesTest, UnreadableModuleLeavesTheProgramInRussianWithAMessage)
{
    WriteFileBytes(ProgramFile(QStringLiteral("Prog_ENU.lng")), "not a translation");
    const QString error = FLanguages.Setup();
    EXPECT_TRUE(error.startsWith(U("Не удалось загрузить языковый модуль \"")
                                 + ProgramFile(QStringLiteral("Prog_ENU.lng")) + U("\"!\n\n")))
        << error.toStdString();
    EXPECT_EQ(GetCurrentLanguage(), 1049u);
    // The rest of the set-up went on: the menu offers both, the help is the Russian one.
    EXPECT_EQ(FLanguages.Items(), (QList<LCID>{1033, 1049}));
    EXPECT_TRUE(FLanguages.IsChosen(1049));
    EXPECT_TRUE(FLanguages.HelpFileName().endsWith(QStringLiteral("/Kelmar_RUS.chm")));
}

TEST_F(LanguagesTest, StoredNumberOfNoLanguageCountsAsAMissingModule)
{
    // A module without an abbreviation in its name must never be taken for a stored number
    // that names no language.
    PutEnglish(QStringLiteral("Prog_.lng"));
    for (const int stored : {12345, -1, 0}) {
        StoreLanguage(stored);
        EXPECT_EQ(FLanguages.Setup(), "") << stored;
        EXPECT_EQ(GetCurrentLanguage(), 1049u) << stored;
        EXPECT_EQ(LoadResString(rsInitializing), U("Инициализация..."));
        DoneLanguages();
    }
}

// ---------------------------------------------------------------------------------------------
// Pages, versions and the first run.

class HelpLinksTest : public LanguagesTest {
protected:
    void SetUp() override
    {
        LanguagesTest::SetUp();
        FPreviousOpener = SetOpenHandler([this](const TOpenRequest& request) { FOpened.push_back(request); });
    }
    void TearDown() override
    {
        SetOpenHandler(FPreviousOpener);
        qunsetenv(OperatorSiteEnv);
        LanguagesTest::TearDown();
    }

    TOpenHandler FPreviousOpener;
    std::vector<TOpenRequest> FOpened;
};

TEST_F(HelpLinksTest, EveryPageHasItsOwnSecureAddressAndOpensInTheBrowser)
{
    const TLinkPage pages[] = {TLinkPage::MainSite, TLinkPage::AuthSite, TLinkPage::AuthText, TLinkPage::Blog,
                               TLinkPage::YouTube,  TLinkPage::VK,       TLinkPage::OK,       TLinkPage::Telegram};
    QStringList seen;
    for (const TLinkPage page : pages) {
        const QString address = LinkAddress(page);
        EXPECT_TRUE(address.startsWith(QStringLiteral("https://"))) << address.toStdString();
        EXPECT_FALSE(seen.contains(address)) << address.toStdString();
        seen.append(address);
        OpenLinkPage(page);
        ASSERT_FALSE(FOpened.empty());
        EXPECT_EQ(FOpened.back().Kind, TOpenRequest::TKind::Url);
        EXPECT_EQ(FOpened.back().Target, address);
    }
    EXPECT_EQ(FOpened.size(), std::size(pages));

    OpenContactMail();
    EXPECT_EQ(FOpened.back().Kind, TOpenRequest::TKind::MailTo);
    EXPECT_EQ(FOpened.back().Target, QStringLiteral("mailto:") + ContactMail());
    EXPECT_TRUE(ContactMail().contains(QLatin1Char('@')));
}

TEST_F(HelpLinksTest, OperatorPageIsOnTheOperatorSite)
{
    qputenv(OperatorSiteEnv, "http://127.0.0.1:8765//");
    EXPECT_EQ(OperatorGamePage(), "http://127.0.0.1:8765/");
    OpenOperatorGamePage();
    ASSERT_EQ(FOpened.size(), 1u);
    EXPECT_EQ(FOpened[0].Target, "http://127.0.0.1:8765/");
}

TEST_F(HelpLinksTest, VersionTextShowsProductAndFileVersion)
{
    const struct {
        const char* Version;
        const char* Text;
    } cases[] = {{"2.2.10", "2.2 ( 2.2.10 )"}, {"2.2.10.31", "2.2 ( 2.2.10.31 )"}, {"3.1", "3.1 ( 3.1 )"},
                 {"", " (  )"}};
    for (const auto& c : cases)
        EXPECT_EQ(AboutVersionText(QString::fromLatin1(c.Version)), c.Text) << c.Version;
}

TEST_F(HelpLinksTest, FirstRunIsDueOnlyWhenSwitchedOnAndSwitchedOffForGood)
{
    FState.Options.Load(FState.FormState());
    EXPECT_FALSE(FirstRunDue(FState));   // absent: no dialog

    FState.FormState().WriteBool(QStringLiteral("FirstRun"), true);
    FState.Options.Load(FState.FormState());
    EXPECT_TRUE(FirstRunDue(FState));
    DisableFirstRun(FState);
    EXPECT_FALSE(FirstRunDue(FState));
    EXPECT_EQ(FormStateFile(), "[TFormMain]\r\nFirstRun=0\r\n");
}
