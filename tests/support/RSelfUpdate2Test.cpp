#include "support/RSelfUpdate2.h"

#include "platform/Cp1251.h"
#include "support/RCrc32.h"
#include "support/RDialogsScripted.h"
#include "support/RFileProcs.h"
#include "support/RSysUtils.h"
#include "support/RVclUtils.h"
#include "tests/standin/HttpStandIn.h"
#include "tests/support/SelfUpdateTestEnv.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cerrno>

using namespace selfupdatetest;

TEST(RSelfUpdate2, BuildIsTheFourthFieldOfAnySeparator)
{
    const struct {
        const char* Version;
        int Build;
    } cases[] = {
        {"2.2.10.11", 11}, {"1,0,3,12", 12}, {"1-0-3-7", 7}, {"1_0_3_ 9 ", 9}, {"1.0.3", 0},
        {"1.0.3.x", 0},    {"", 0},          {"1.2.3.4.5", 4}, {"1.2.3.12/", 0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(CompareVersionBuild(QString::fromUtf8(c.Version)), c.Build) << c.Version;
}

TEST(RSelfUpdate2, VersionsAndNamesFromTheConfigurationAreChecked)
{
    EXPECT_TRUE(IsValidVersionId("2.2.10.12"));
    EXPECT_TRUE(IsValidVersionId("0.0.0.0"));
    for (const char* bad : {"2.2.10", "2,2,10,12", "2.2.10.12 ", "../2.2.10.12", "2.2.10.12.1", "1.2.3.1234567890", ""})
        EXPECT_FALSE(IsValidVersionId(QString::fromUtf8(bad))) << bad;

    EXPECT_TRUE(IsPlainFileName("setup.sh"));
    EXPECT_TRUE(IsPlainFileName("a..b"));
    for (const char* bad : {"", ".", "..", "../setup.sh", "/bin/sh", "sub/a.txt", "..\\a.txt", "C:\\a.exe"})
        EXPECT_FALSE(IsPlainFileName(QString::fromUtf8(bad))) << bad;

    EXPECT_EQ(UpdateListNames(" a.txt ;; b.txt;  "), (QStringList{"a.txt", "b.txt"}));
    EXPECT_TRUE(UpdateListNames(" ; ").isEmpty());
}

TEST(RSelfUpdate2, ConfigurationRecordReadsTheProgramSectionAndTheGlobalLists)
{
    QTemporaryDir dir;
    const QString file = dir.filePath("cfg.inf");
    Put(file, "[globaloptions]\r\nDeleteBefore=g1\r\nDeleteAfter=g2\r\nExecBefore=g3\r\nExecAfter=g4\r\n"
              "[PROG]\r\nVerId=1.2.3.4\r\nDownloadUrl=/p.upd\r\nDeleteBefore=o1\r\nExecAfter=o4\r\n");
    TrSU_VerData data;
    ReadUpdateVersion(file, "prog", "9.9.9.9", data);
    EXPECT_EQ(data.VerId, "1.2.3.4");
    EXPECT_EQ(data.DownloadUrl, "/p.upd");
    EXPECT_EQ(data.Description, "");
    EXPECT_EQ(data.GlobalDeleteBefore, "g1");
    EXPECT_EQ(data.GlobalDeleteAfter, "g2");
    EXPECT_EQ(data.GlobalExecBefore, "g3");
    EXPECT_EQ(data.GlobalExecAfter, "g4");
    EXPECT_EQ(data.DeleteBefore, "o1");
    EXPECT_EQ(data.ExecAfter, "o4");
    EXPECT_EQ(data.ExecBefore, "");

    TrSU_VerData other;
    ReadUpdateVersion(file, "another", "9.9.9.9", other);
    EXPECT_EQ(other.VerId, "9.9.9.9");
    EXPECT_TRUE(other.DownloadUrl.isEmpty());
    EXPECT_EQ(other.GlobalExecAfter, "g4");
}

TEST(RSelfUpdate2, FetchCopiesFilesIntoNewFoldersAndReportsMissingOnes)
{
    QTemporaryDir dir;
    Put(dir.filePath("src.upd"), "abc");
    EXPECT_EQ(FetchUpdateFile(dir.filePath("src.upd"), dir.filePath("new/sub/dst.upd")), 1);
    EXPECT_EQ(Get(dir.filePath("new/sub/dst.upd")), "abc");
    EXPECT_THROW(FetchUpdateFile(dir.filePath("none.upd"), dir.filePath("x.upd")), Exception);
    EXPECT_FALSE(QFile::exists(dir.filePath("x.upd")));

    EXPECT_EQ(UpdateDescriptionBase("https://host/files/autoupdates/Kelma_AU.cfg"),
              "https://host/files/autoupdates/UpdDescr/");
    EXPECT_EQ(UpdateDescriptionBase("/srv/mirror/Kelma_AU.cfg"), "/srv/mirror/UpdDescr/");
}

TEST(RSelfUpdate2, DescriptionIsTriedUnderTheLanguageNamesInOrder)
{
    const struct {
        QStringList Present;
        LCID Lcid;
        const char* Expected;
    } cases[] = {
        {{"UpdDescr_ENU_1.0.0.5.txt", "UpdDescr_1033_1.0.0.5.txt", "UpdDescr_1.0.0.5.txt"}, 1033, "UpdDescr_ENU"},
        {{"UpdDescr_1033_1.0.0.5.txt", "UpdDescr_1.0.0.5.txt"}, 1033, "UpdDescr_1033"},
        {{"UpdDescr_1.0.0.5.txt"}, 1033, "UpdDescr"},
        // Language 0 asks only for the plain name.
        {{"UpdDescr_ENU_1.0.0.5.txt", "UpdDescr_1033_1.0.0.5.txt"}, 0, "< Описание обновления не доступно >"},
        {{}, 1049, "< Описание обновления не доступно >"},
    };
    for (const auto& c : cases) {
        QTemporaryDir dir;
        const QString base = dir.filePath("UpdDescr") + "/";
        for (const QString& name : c.Present)
            Put(base + name, name.left(name.lastIndexOf('_')).toUtf8() + "\r\n");
        TrSU_VerData data;
        data.VerId = "1.0.0.5";
        QStringList description{"stale"};
        LoadUpdateDescription(description, data, base, dir.filePath("local"), c.Lcid);
        EXPECT_EQ(description, QStringList{QString::fromUtf8(c.Expected)}) << c.Present.join(',').toStdString();
        EXPECT_FALSE(QFile::exists(dir.filePath("local/UpdDescr_1.0.0.5.txt")));
    }
}

TEST(RSelfUpdate2, DescriptionInTheCyrillicCodePageOrUtf8)
{
    QTemporaryDir dir;
    const QString base = dir.filePath("d") + "/";
    TrSU_VerData data;
    data.VerId = "1.0.0.5";
    QStringList description;
    Put(base + "UpdDescr_1.0.0.5.txt", EncodeCp1251(QStringLiteral("Исправления\r\nНовый отчёт\r\n")));
    LoadUpdateDescription(description, data, base, dir.path(), 0);
    EXPECT_EQ(description, (QStringList{QStringLiteral("Исправления"), QStringLiteral("Новый отчёт")}));
    Put(base + "UpdDescr_1.0.0.5.txt", "\xEF\xBB\xBF" + QStringLiteral("Строка\nвторая").toUtf8());
    LoadUpdateDescription(description, data, base, dir.path(), 0);
    EXPECT_EQ(description, (QStringList{QStringLiteral("Строка"), QStringLiteral("вторая")}));
}

TEST_F(SelfUpdateTest, OnlyTheBuildFieldDecidesWhetherAVersionIsNewer)
{
    FAccept = false;
    const struct {
        const char* VerId;
        bool Offered;
    } cases[] = {
        {"2.2.3.12", true},    // third field lower, build higher
        {"2.2.99.11", false},  // equal build
        {"3.0.0.10", false},   // older build
    };
    for (const auto& c : cases) {
        Config(StandardSection(c.VerId, ""));
        FInformer.clear();
        FBoxes.Clear();
        EXPECT_EQ(Check(), kSuNothingInstalled) << c.VerId;
        if (c.Offered) {
            ASSERT_EQ(FInformer.size(), 1) << c.VerId;
            EXPECT_EQ(FInformer[0].Current, "2.2.10.11");
            EXPECT_EQ(FInformer[0].New, QStringLiteral("Весенний выпуск"));
            EXPECT_TRUE(FBoxes.Boxes().isEmpty());
        } else {
            EXPECT_TRUE(FInformer.isEmpty()) << c.VerId;
            ASSERT_EQ(FBoxes.Boxes().size(), 1);
            EXPECT_EQ(FBoxes.Last().Text, QStringLiteral("Обновлений не найдено!"));
            EXPECT_EQ(FBoxes.Last().Icon, TBoxIcon::Information);
        }
        EXPECT_FALSE(QFile::exists(FProg + "SelfUpdates.inf"));
        EXPECT_EQ(Get(FProg + kProgram), "old program");
    }
    EXPECT_EQ(PackageFetches(), 0);
}

TEST_F(SelfUpdateTest, NoSectionOrNoPackageMeansNoUpdate)
{
    Put(FConfig, "[AnotherProgram]\r\nVerId=9.9.9.99\r\nDownloadUrl=/x.upd\r\n");
    EXPECT_EQ(Check(), kSuNothingInstalled);
    Config("VerId=2.2.10.12\r\nDownloadUrl=\r\n");
    EXPECT_EQ(Check(), kSuNothingInstalled);
    ASSERT_EQ(FBoxes.Boxes().size(), 2);
    EXPECT_EQ(FBoxes.Boxes()[1].Text, QStringLiteral("Обновлений не найдено!"));
    // Silently nothing is said.
    EXPECT_EQ(Check(true), kSuNothingInstalled);
    EXPECT_EQ(FBoxes.Boxes().size(), 2);
    EXPECT_TRUE(FInformer.isEmpty());
    EXPECT_EQ(FProgressTexts, QStringList(3, QStringLiteral("Поиск доступных обновлений...")));
    EXPECT_EQ(FProgressMax, (QList<int>{5, 5, 5}));
    EXPECT_EQ(FProgressSteps, (QList<int>{5, 5, 5}));
    EXPECT_EQ(FProgressHidden, 3);
    EXPECT_TRUE(IsNotWaiting());
}

TEST_F(SelfUpdateTest, MissingConfigurationIsASearchErrorShownUnlessSilent)
{
    EXPECT_EQ(Check(), kSuFailed);
    ASSERT_EQ(FBoxes.Boxes().size(), 1);
    EXPECT_EQ(FBoxes.Last().Icon, TBoxIcon::Error);
    EXPECT_TRUE(FBoxes.Last().Text.startsWith(QStringLiteral("Ошибка поиска обновлений!\n\n")));
    EXPECT_TRUE(FBoxes.Last().Text.contains("Kelma_AU.cfg"));
    EXPECT_EQ(Check(true), kSuFailed);
    EXPECT_EQ(FBoxes.Boxes().size(), 1);
}

TEST_F(SelfUpdateTest, InstallsReplacesTheRunningProgramAndRemovesItsBackupAtTheNextCheck)
{
    Package(kPackage);
    Put(FProg + "old.dat", "old data");
    Put(FProg + "junk.log", "junk");
    const QString crc = FileCrc32Hex(FPackage).toLower();
    Config(StandardSection("2.2.10.12", crc.toUtf8()) + "DeleteBefore=old.dat\r\nExecAfter=after.sh\r\n",
           "DeleteAfter=junk.log; missing.txt\r\n");
    Put(FMirror + "UpdDescr/UpdDescr_ENU_2.2.10.12.txt", "Faster\r\nSmaller\r\n");

    EXPECT_EQ(Check(false, 1033), kSuInstalled);

    ASSERT_EQ(FInformer.size(), 1);
    EXPECT_EQ(FInformer[0].Description, (QStringList{"Faster", "Smaller"}));
    EXPECT_EQ(PackageFetches(), 1);
    ASSERT_EQ(FBoxes.Boxes().size(), 1);
    EXPECT_EQ(FBoxes.Last().Icon, TBoxIcon::Exclamation);
    EXPECT_EQ(FBoxes.Last().Text, QStringLiteral("Установка обновления \"Весенний выпуск\" успешно выполнена.\n\n"
                                                 "Для завершения установки необходимо перезапустить программу!"));
    EXPECT_EQ(FProgressTexts, (QStringList{QStringLiteral("Поиск доступных обновлений..."),
                                           QStringLiteral("Загрузка и установка обновления \"2.2.10.12\"...")}));
    EXPECT_EQ(FProgressMax, (QList<int>{5, 14}));
    EXPECT_EQ(FProgressSteps, (QList<int>{5, 13}));

    EXPECT_EQ(Get(FProg + kProgram), "new program");
    EXPECT_TRUE(QFileInfo(FProg + kProgram).isExecutable());
    // The running program's file was moved aside; every other replaced file is gone.
    EXPECT_EQ(Get(FProg + kProgram + ".~"), "old program");
    EXPECT_EQ(Get(FProg + "readme.txt"), "readme 2");
    EXPECT_EQ(Get(FProg + "data/zz.txt"), "zz");
    EXPECT_EQ(Get(FProg + "after.txt"), "after");
    EXPECT_EQ(ProgramFolder(), (QStringList{kProgram, QString(kProgram) + ".~", "after.sh", "after.txt", "data",
                                            "readme.txt"}));

    // The next check finds nothing newer and removes the backup.
    FRunning = "2.2.10.12";
    FBoxes.Clear();
    EXPECT_EQ(Check(true), kSuNothingInstalled);
    EXPECT_FALSE(QFile::exists(FProg + kProgram + ".~"));
    EXPECT_TRUE(FBoxes.Boxes().isEmpty());
    EXPECT_TRUE(IsNotWaiting());
}

TEST_F(SelfUpdateTest, WrongChecksumIsDownloadedThreeTimesThenFails)
{
    Package(kPackage);
    Config(StandardSection("2.2.10.12", "0BADC0DE"));
    EXPECT_EQ(Check(), kSuFailed);
    EXPECT_EQ(PackageFetches(), 3);
    ASSERT_EQ(FBoxes.Boxes().size(), 1);
    EXPECT_EQ(FBoxes.Last().Icon, TBoxIcon::Error);
    EXPECT_EQ(FBoxes.Last().Text, QStringLiteral("Ошибка установки обновления!\n\n"
                                                 "Неверная контрольная сумма скачанного файла."));
    EXPECT_EQ(Get(FProg + kProgram), "old program");
    // The failed download goes with the work folder.
    EXPECT_EQ(ProgramFolder(), (QStringList{kProgram, "readme.txt"}));
}

TEST_F(SelfUpdateTest, PackageFailuresLeaveTheProgramFolderAlone)
{
    const QString elsewhere = FRoot.filePath("elsewhere");
    // What a package would write there, and what undoing it would delete.
    Put(elsewhere + "/2.txt", "victim");
    Put(FRoot.filePath("outside.txt"), "outside");
    const QByteArray program = "#!/bin/sh\nprintf new > Tavrix2_2r10\n";
    const QString notEntry = QStringLiteral("Пакет обновления не установлен: \"%1\" в нём - не файл и не каталог, а "
                                            "ссылка, канал или устройство.");
    const struct {
        QByteArray Script;
        QString Error;
        QString Link = QString();   // a folder of the program folder that is a link elsewhere
        QString Swap = QString();   // ... that becomes one while the first file is copied
    } cases[] = {
        {"#!/bin/sh\nprintf x > Tavrix2_2r10\nexit 3\n", QStringLiteral("Программа \"setup.sh\" завершилась с кодом 3.")},
        {"#!/bin/sh\nexit 0\n", QStringLiteral("Файл \"%1SelfUpdate/*.*\" не найден!")},
        {program + "ln -s '" + FRoot.filePath("outside.txt").toUtf8() + "' lnk_up.txt\n", notEntry.arg("lnk_up.txt")},
        {program + "mkfifo pipe\n", notEntry.arg("pipe")},   // read, it would wait for ever
        {program + "mkdir -p sub/deeper/deepest\n",
         QStringLiteral("Каталог обновления \"sub\" не создан: путь к нему в каталоге программы проходит через "
                        "ссылку \"%1sub\"."),
         "sub"},
        {program + "mkdir a b && printf 1 > a/1.txt && printf 2 > b/2.txt\n",
         QStringLiteral("Копирование \"*.*\" из \"%1SelfUpdate\" в \"%1\" - Всего - 5, обработано - 2 ( 0,00 Kb ), "
                        "пропущено - 0, предупреждений - 0, ошибок - 1."),
         "", "b"},
    };
    for (const auto& c : cases) {
        Package(c.Script);
        Config(StandardSection("2.2.10.12", FileCrc32Hex(FPackage).toUtf8()) + "DeleteBefore=readme.txt\r\n");
        ASSERT_TRUE(c.Link.isEmpty() || QFile::link(elsewhere, FProg + c.Link));
        ASSERT_TRUE(c.Swap.isEmpty() || QDir().mkpath(FProg + c.Swap));
        const TRfoFailHook previous = SetRfoFailHook([&](TRfoCall call, const QString& name) {
            if (!c.Swap.isEmpty() && call == TRfoCall::CreateWrite && name == FProg + "a/1.txt") {
                EXPECT_TRUE(QDir(FProg + c.Swap).removeRecursively() && QFile::link(elsewhere, FProg + c.Swap));
            }
            return 0;
        });
        FBoxes.Clear();
        EXPECT_EQ(Check(), kSuFailed);
        SetRfoFailHook(previous);
        ASSERT_EQ(FBoxes.Boxes().size(), 1);
        EXPECT_EQ(FBoxes.Last().Text, QStringLiteral("Ошибка установки обновления!\n\n") + QString(c.Error).replace("%1", FProg));
        EXPECT_EQ(Get(FProg + kProgram), "old program");
        EXPECT_EQ(Get(FProg + "readme.txt"), "readme 1");
        QFile::remove(FProg + c.Link + c.Swap);
        EXPECT_EQ(ProgramFolder(), (QStringList{kProgram, "readme.txt"})) << c.Script.toStdString();
        EXPECT_EQ(QDir(elsewhere).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList{"2.txt"});
        EXPECT_EQ(Get(elsewhere + "/2.txt"), "victim");
    }
}

TEST_F(SelfUpdateTest, FailedCopyPutsBackEveryReplacedAndDeletedFile)
{
    Put(FProg + "old.dat", "old data");
    Config(StandardSection("2.2.10.12", "") + "DeleteBefore=old.dat\r\n");
    // The copy goes by name: after.sh, data/zz.txt, readme.txt, the program file, then fails on
    // the last file, when everything else has been replaced.
    Package(QByteArray(kPackage).replace("exit 0", "printf z > zlast.txt\nexit 0"));
    int written = 0;
    const TRfoFailHook previous = SetRfoFailHook([&](TRfoCall call, const QString& name) {
        if (call != TRfoCall::CreateWrite || !name.startsWith(FProg) || name.contains("/SelfUpdate/")
            || name.endsWith("SelfUpdates.inf"))
            return 0;
        ++written;
        return name.endsWith("zlast.txt") ? EIO : 0;
    });
    const int result = Check();
    SetRfoFailHook(previous);

    EXPECT_EQ(result, kSuFailed);
    EXPECT_EQ(written, 5);
    ASSERT_EQ(FBoxes.Boxes().size(), 1);
    EXPECT_TRUE(FBoxes.Last().Text.startsWith(QStringLiteral("Ошибка установки обновления!\n\nКопирование \"*.*\"")))
        << FBoxes.Last().Text.toStdString();
    EXPECT_EQ(Get(FProg + kProgram), "old program");
    EXPECT_EQ(Get(FProg + "readme.txt"), "readme 1");
    EXPECT_EQ(Get(FProg + "old.dat"), "old data");
    EXPECT_EQ(ProgramFolder(), (QStringList{kProgram, "old.dat", "readme.txt"}));
}

TEST_F(SelfUpdateTest, ConfigurationsNamingFilesOutsideTheFoldersAreRefused)
{
    Package(kPackage);
    const struct {
        QByteArray Lines;
        QByteArray Global;
        QString Error;
    } cases[] = {
        {"VerId=2.2.10.12\r\nDownloadUrl=/p.upd\r\nOriginalFileName=../../evil.sh\r\n", "",
         QStringLiteral("Недопустимое имя файла \"../../evil.sh\" в настройках обновления.")},
        {"VerId=2.2.10.12\r\nDownloadUrl=/p.upd\r\nOriginalFileName=s.sh\r\nDeleteAfter=a.txt;../x.txt\r\n", "",
         QStringLiteral("Недопустимое имя файла \"../x.txt\" в настройках обновления.")},
        {"VerId=2.2.10.12\r\nDownloadUrl=/p.upd\r\nOriginalFileName=s.sh\r\n", "ExecBefore=/bin/rm\r\n",
         QStringLiteral("Недопустимое имя файла \"/bin/rm\" в настройках обновления.")},
        {"VerId=2.2.10.12\r\nDownloadUrl=/p.upd\r\nOriginalFileName=\r\n", "",
         QStringLiteral("Недопустимое имя файла \"\" в настройках обновления.")},
        {"VerId=2_2_10_12\r\nDownloadUrl=/p.upd\r\nOriginalFileName=s.sh\r\n", "",
         QStringLiteral("Недопустимый номер версии \"2_2_10_12\" в настройках обновления.")},
        {"VerId=2.2.10.12\r\nDownloadUrl=http://host/p.upd\r\nOriginalFileName=s.sh\r\n", "",
         QStringLiteral("Пакет обновления принимается только по адресу \"https://\" или из локального файла: "
                        "\"http://host/p.upd\".")},
    };
    for (const auto& c : cases) {
        Config(c.Lines, c.Global);
        FBoxes.Clear();
        EXPECT_EQ(Check(), kSuFailed);
        ASSERT_EQ(FBoxes.Boxes().size(), 1);
        EXPECT_EQ(FBoxes.Last().Text, QStringLiteral("Ошибка поиска обновлений!\n\n") + c.Error);
        EXPECT_EQ(Check(true), kSuFailed);
        EXPECT_EQ(FBoxes.Boxes().size(), 1);
    }
    EXPECT_TRUE(FInformer.isEmpty());
    EXPECT_EQ(ProgramFolder(), (QStringList{kProgram, "readme.txt"}));
}

TEST_F(SelfUpdateTest, ConfigurationAndDescriptionOverHttpWithAnHttpsPackage)
{
    THttpStandIn server;
    ASSERT_TRUE(server.Start());
    // A configuration from the web may name only an "https://" package (never fetched here:
    // the user declines).
    FPackage = "https://127.0.0.1:1/setup-12.sh";
    server.Route("/files/autoupdates/Kelma_AU.cfg",
                 TStandInReply::Text("[" + QByteArray(kProgram) + "]\r\n" + StandardSection("2.2.10.12", ""),
                                     "text/plain"));
    server.Route("/files/autoupdates/UpdDescr/UpdDescr_1049_2.2.10.12.txt",
                 TStandInReply::Text(EncodeCp1251(QStringLiteral("Описание")), "text/plain"));
    FAccept = false;
    qputenv("TAVRIX_SERVER_URL", server.BaseUrl().toUtf8() + "/");
    const int result = CheckForUpdates(SelfUpdateConfigAddress(), false, 1049);
    qunsetenv("TAVRIX_SERVER_URL");

    EXPECT_EQ(result, kSuNothingInstalled);
    ASSERT_EQ(FInformer.size(), 1);
    EXPECT_EQ(FInformer[0].Description, QStringList{QStringLiteral("Описание")});
    QStringList paths;
    for (const TStandInRequest& request : server.Requests())
        paths.append(QString::fromUtf8(request.Path));
    EXPECT_EQ(paths, (QStringList{"/files/autoupdates/Kelma_AU.cfg",
                                  "/files/autoupdates/UpdDescr/UpdDescr_RUS_2.2.10.12.txt",
                                  "/files/autoupdates/UpdDescr/UpdDescr_1049_2.2.10.12.txt"}));
    EXPECT_FALSE(QFile::exists(FProg + "SelfUpdates.inf"));
    EXPECT_FALSE(QFile::exists(FProg + "UpdDescr_2.2.10.12.txt"));
}
