#include "support/RDialogs.h"
#include "support/RDialogsScripted.h"
#include "support/RLngDLL.h"
#include "support/RSysUtils.h"

#include "platform/Exceptions.h"
#include "tests/common/EventCounter.h"
#include "tests/common/LanguageModules.h"
#include "tests/common/TestHelpers.h"

#include <QCoreApplication>
#include <QDir>
#include <QEvent>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cerrno>
#include <memory>

#include <sys/stat.h>

namespace {

// Qt's own text of the standard Yes button, as message boxes show it.
QString QtYes()
{
    return QCoreApplication::translate("QPlatformTheme", "&Yes");
}

QString ErrorTitle()
{
    TScriptedBoxes boxes;
    ErrorBox("x");
    return boxes.Last().Title;
}

class RLngDLL : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        // An English module that translates one title of the message boxes.
        English = CompileLanguageModule("en_US", {{"RDialogs", "Ошибка", "Error"}});
        ASSERT_GT(English.size(), 16);
    }

    void SetUp() override
    {
        ASSERT_TRUE(FDir.isValid());
        OverrideAppFileName(FDir.filePath("Prog"));
        qApp->installEventFilter(&FChanges);
    }
    void TearDown() override
    {
        qApp->removeEventFilter(&FChanges);
        DoneLanguages();
        OverrideAppFileName(QString());
    }

    void PutModule(const QString& name, const QByteArray& bytes) { WriteFileBytes(FDir.filePath(name), bytes); }

    static QByteArray English;
    QTemporaryDir FDir;
    TEventCounter FChanges{QEvent::LanguageChange};
};

QByteArray RLngDLL::English;

} // namespace

TEST_F(RLngDLL, WithoutModulesOnlyTheBuiltInLanguageExists)
{
    InitLanguages(1049, 1033);
    EXPECT_EQ(GetDefaultLanguage(), 1049u);
    EXPECT_EQ(GetCurrentLanguage(), 1049u);
    EXPECT_EQ(GetLanguages(), QList<LCID>{1049});
    EXPECT_EQ(ErrorTitle(), "Ошибка");
    // No module was loaded: the one change is Qt's own texts turning Russian.
    EXPECT_EQ(FChanges.Count, 1);

    EXPECT_EQ(FindLanguageIndex(1031, 1033), -1);
    EXPECT_EQ(FindLanguageIndex(1031, 1049), 0);
    EXPECT_EQ(LanguageByIndex(0, 7), 1049u);
    EXPECT_EQ(LanguageByIndex(1, 7), 7u);
    EXPECT_EQ(LanguageByIndex(-1, 7), 7u);

    EXPECT_EQ(GetLanguageFileName(1033), FDir.filePath("Prog_ENU.lng"));
    EXPECT_EQ(GetLanguageFileName(1049), FDir.filePath("Prog"));
    OverrideAppFileName(FDir.filePath("Prog.bin"));
    EXPECT_EQ(GetLanguageFileName(1058), FDir.filePath("Prog_UKR.lng"));
}

TEST_F(RLngDLL, AModuleBesideTheProgramSwitchesTheTexts)
{
    PutModule("Prog_ENU.lng", English);
    InitLanguages(1049, 1033);
    EXPECT_EQ(GetCurrentLanguage(), 1033u);
    EXPECT_EQ(GetLanguages(), (QList<LCID>{1033, 1049}));
    EXPECT_EQ(FindLanguageIndex(1031, 1033), 0);
    EXPECT_EQ(FindLanguageIndex(1049, 1033), 1);
    EXPECT_EQ(ErrorTitle(), "Error");
    {
        TScriptedBoxes boxes;
        InfoBox("x");
        EXPECT_EQ(boxes.Last().Title, "Информация");   // not translated: stays built in
    }
    EXPECT_GE(FChanges.Count, 1);

    // Switching to the current language does nothing at all.
    const int changes = FChanges.Count;
    EXPECT_EQ(SetLanguage(1033, true), 1033u);
    EXPECT_EQ(FChanges.Count, changes);

    EXPECT_EQ(SetLanguage(1049, true), 1049u);
    EXPECT_EQ(ErrorTitle(), "Ошибка");
    EXPECT_GT(FChanges.Count, changes);
    EXPECT_EQ(SetLanguage(1033, false), 1033u);
    EXPECT_EQ(ErrorTitle(), "Error");

    QStringList names{"old"};
    FillLanguageNames(names);
    EXPECT_EQ(names, (QStringList{GetLanguageName(1033), GetLanguageName(1049)}));
    EXPECT_NO_THROW(CheckLanguageFile(1033));
    EXPECT_NO_THROW(CheckLanguageFile(1049));
}

TEST_F(RLngDLL, NoLanguageSwitchKeepsTheBuiltInTexts)
{
    PutModule("Prog_ENU.lng", English);
    InitLanguages(1049, 1049);
    EXPECT_EQ(GetCurrentLanguage(), 1049u);
    EXPECT_EQ(GetLanguages(), (QList<LCID>{1033, 1049}));
    EXPECT_EQ(ErrorTitle(), "Ошибка");
    EXPECT_EQ(FChanges.Count, 1);   // Qt's own texts only
}

TEST_F(RLngDLL, AMissingModuleFallsBackOrRaisesOnRequest)
{
    PutModule("Prog_ENU.lng", English);
    InitLanguages(1049, 1033);
    ASSERT_EQ(GetCurrentLanguage(), 1033u);

    const QString german = FDir.filePath("Prog_DEU.lng");
    try {
        SetLanguage(1031, true);
        FAIL() << "must raise";
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message(), "Языковый модуль \"" + german + "\" не найден!");
    }
    EXPECT_EQ(GetCurrentLanguage(), 1033u);
    EXPECT_EQ(ErrorTitle(), "Error");

    EXPECT_EQ(SetLanguage(1031, false), 1049u);
    EXPECT_EQ(GetCurrentLanguage(), 1049u);
    EXPECT_EQ(ErrorTitle(), "Ошибка");

    EXPECT_THROW(CheckLanguageFile(1031), Exception);
    EXPECT_FALSE(LoadLanguageModule(1031, false));
}

TEST_F(RLngDLL, AFallbackToTheDefaultLanguageEnds)
{
    // English is the default here and has no file; a missing Russian module leads back to it.
    InitLanguages(1033, 1049);
    EXPECT_EQ(GetCurrentLanguage(), 1033u);
    EXPECT_EQ(SetLanguage(1058, false), 1033u);
    EXPECT_EQ(GetLanguages(), QList<LCID>{1033});
}

TEST_F(RLngDLL, ADamagedModuleRaisesEvenWithoutTheRaiseFlag)
{
    const QString file = FDir.filePath("Prog_UKR.lng");
    for (const QByteArray& bytes : {QByteArray("MZ\x90\x00 not a translation", 23), QByteArray(),
                                    English.left(English.size() / 2)}) {
        PutModule("Prog_UKR.lng", bytes);
        try {
            InitLanguages(1049, 1058);
            FAIL() << "must raise for " << bytes.size() << " bytes";
        } catch (const Exception& e) {
            EXPECT_EQ(e.Message(), "Не удалось загрузить языковый модуль \"" + file + "\"!\n\n"
                                       "файл повреждён или имеет неизвестный формат");
        }
        EXPECT_EQ(GetCurrentLanguage(), 1049u);
        EXPECT_EQ(ErrorTitle(), "Ошибка");
    }
    // A device or a pipe in the module's place is refused, never read or waited on.
    for (const bool fifo : {false, true}) {
        QFile::remove(file);
        ASSERT_TRUE(fifo ? ::mkfifo(QFile::encodeName(file).constData(), 0600) == 0 : QFile::link("/dev/zero", file));
        EXPECT_THROW(InitLanguages(1049, 1058), Exception);
        EXPECT_EQ(GetCurrentLanguage(), 1049u);
    }

    // While another module is in use, a failed switch keeps it.
    PutModule("Prog_ENU.lng", English);
    InitLanguages(1049, 1033);
    EXPECT_THROW(SetLanguage(1058, false), Exception);
    EXPECT_EQ(GetCurrentLanguage(), 1033u);
    EXPECT_EQ(ErrorTitle(), "Error");
}

TEST_F(RLngDLL, ANameListBeforeInitialisationStartsWithRussian)
{
    QStringList names;
    FillLanguageNames(names);
    EXPECT_EQ(GetDefaultLanguage(), 1049u);
    EXPECT_EQ(GetCurrentLanguage(), 1049u);
    EXPECT_EQ(names, QStringList{"Русский (Россия)"});
}

TEST_F(RLngDLL, QtOwnTextsFollowTheCurrentLanguage)
{
    ASSERT_EQ(QtYes(), "&Yes");   // nothing installed yet

    // Built-in Russian, without any module: Qt's buttons are Russian too.
    InitLanguages(1049, 1049);
    EXPECT_EQ(QtYes(), "&Да");
    EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "Cancel"), "Отмена");

    PutModule("Prog_ENU.lng", English);
    const struct {
        LCID Wanted;
        LCID Current;
        const char* Yes;
        const char* Title;
    } switches[] = {
        {1033, 1033, "&Yes", "Error"},
        {1049, 1049, "&Да", "Ошибка"},
        {1033, 1033, "&Yes", "Error"},
        {1031, 1049, "&Да", "Ошибка"},   // no German module: back to Russian, Qt's texts with it
    };
    for (const auto& s : switches) {
        EXPECT_EQ(SetLanguage(s.Wanted, false), s.Current) << s.Wanted;
        EXPECT_EQ(QtYes(), QString::fromUtf8(s.Yes)) << s.Wanted;
        EXPECT_EQ(ErrorTitle(), QString::fromUtf8(s.Title)) << s.Wanted;
    }

    // A start in English, and again in Russian: the texts do not stay behind from before.
    InitLanguages(1049, 1033);
    EXPECT_EQ(QtYes(), "&Yes");
    InitLanguages(1049, 1049);
    EXPECT_EQ(QtYes(), "&Да");

    // Re-initialising into the language already shown sends no change to the windows.
    const int changes = FChanges.Count;
    InitLanguages(1049, 1049);
    EXPECT_EQ(FChanges.Count, changes);

    DoneLanguages();
    EXPECT_EQ(QtYes(), "&Yes");
}

TEST_F(RLngDLL, QtOwnTextsStayWithTheLanguageWhenASwitchRaises)
{
    PutModule("Prog_ENU.lng", English);
    PutModule("Prog_UKR.lng", QByteArray("damaged"));
    // The start falls on the damaged Ukrainian module and stays Russian, with Qt's texts.
    EXPECT_THROW(InitLanguages(1049, 1058), Exception);
    EXPECT_EQ(GetCurrentLanguage(), 1049u);
    EXPECT_EQ(QtYes(), "&Да");

    EXPECT_EQ(SetLanguage(1033, true), 1033u);
    EXPECT_THROW(SetLanguage(1058, true), Exception);
    EXPECT_EQ(GetCurrentLanguage(), 1033u);
    EXPECT_EQ(QtYes(), "&Yes");
}
