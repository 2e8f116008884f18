// The self-update against configurations, packages and servers that try to make the program run,
// fetch or delete what they should not. The user always answers "install".

#include "support/RSelfUpdate2.h"

#include "support/RCrc32.h"
#include "support/RMsgTypes.h"
#include "support/RSwCommon.h"
#include "support/rHttpUtils.h"
#include "support/rHttpUtilsLimits.h"
#include "tests/standin/HttpStandIn.h"
#include "tests/standin/StandInTls.h"
#include "tests/support/SelfUpdateTestEnv.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

#include <sys/stat.h>

using namespace selfupdatetest;

namespace {

const char kConfigPath[] = "/files/autoupdates/Kelma_AU.cfg";

// A check as the program makes it, with the maker's server played by the stand-in.
int CheckAt(const THttpStandIn& server, LCID lcid = 0)
{
    qputenv(MakerServerEnv, server.BaseUrl().toUtf8());
    const int result = CheckForUpdates(SelfUpdateConfigAddress(), false, lcid);
    qunsetenv(MakerServerEnv);
    return result;
}

// A shell script that leaves a mark when it runs.
QByteArray MarkingScript(const QString& marker)
{
    return "#!/bin/sh\nprintf pwned > '" + marker.toUtf8() + "'\nexit 0\n";
}

// A configuration that is a shell script at the same time: run as a package, it leaves a mark.
QByteArray ScriptConfig(const QString& marker, const QString& downloadUrl)
{
    return MarkingScript(marker) + "[" + kProgram + "]\r\nVerId=2.2.10.12\r\nDescription=x\r\nDownloadUrl="
           + downloadUrl.toUtf8() + "\r\nOriginalFileName=setup.sh\r\n";
}

void Sparse(const QString& path, qint64 size)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadWrite));
    ASSERT_TRUE(file.resize(size));
}

const QString kSearchError = QStringLiteral("Ошибка поиска обновлений!\n\n");
const QString kInstallError = QStringLiteral("Ошибка установки обновления!\n\n");

} // namespace

TEST_F(SelfUpdateTest, ConfigurationFromTheWebTakesOnlyATlsPackageFromItsOwnServer)
{
    THttpStandIn server;
    ASSERT_TRUE(server.Start());
    const QString marker = FRoot.filePath("pwned");
    Package(MarkingScript(marker));
    // The systems cache holds text from the server as well.
    Put(FProg + "Systems/2-05-1_0042.dat", ScriptConfig(marker, ""), true);
    const QString packages[] = {
        FProg + "SelfUpdates.inf",   // the configuration itself, as saved beside the program
        FProg + "Systems/2-05-1_0042.dat",
        FPackage,
        "file://" + FPackage,
        "http://127.0.0.1:1/setup.upd",
        // Over plain http the configuration is anybody's: never a package from elsewhere.
        "https://other.example/setup.upd",
        "https://127.0.0.1@other.example/setup.upd",
        "https://127.0.0.1.other.example/setup.upd",
    };
    for (const QString& package : packages) {
        server.Route(kConfigPath, TStandInReply::Text(ScriptConfig(marker, package), "text/plain"));
        EXPECT_EQ(CheckAt(server), kSuFailed) << package.toStdString();
        EXPECT_EQ(TakeBoxes(), QStringList{kSearchError
                                           + QStringLiteral("Настройки обновления, полученные по сети, могут указывать "
                                                            "пакет обновления только по адресу \"https://\" на "
                                                            "сервере \"127.0.0.1\": \"%1\".")
                                                 .arg(package)});
        EXPECT_FALSE(QFile::exists(marker)) << package.toStdString();
    }
    EXPECT_TRUE(FInformer.isEmpty());
    EXPECT_EQ(FFetched, QStringList(std::size(packages), server.BaseUrl() + QLatin1String(kConfigPath)));
    EXPECT_EQ(ProgramFolder(), (QStringList{"Systems", kProgram, "readme.txt"}));
}

TEST_F(SelfUpdateTest, LocalPackageIsARegularFileWithinTheDownloadCap)
{
    Package(kPackage);
    const QString pipe = FRoot.filePath("pipe.upd");
    ASSERT_EQ(::mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
    const QString zeroLink = FRoot.filePath("zero.upd");
    ASSERT_TRUE(QFile::link("/dev/zero", zeroLink));
    const QString huge = FRoot.filePath("huge.upd");
    Sparse(huge, HttpFileReplyLimit + 1);
    const QString unread = QStringLiteral("Не удалось прочитать файл \"%1\": ");
    const QString notRegular = unread + QStringLiteral("это не обычный файл, а канал или устройство.");
    const struct {
        QString Source;
        QString Error;
    } cases[] = {
        {"/dev/zero", notRegular},   // read for ever
        {zeroLink, notRegular},
        {pipe, notRegular},          // waits for ever for a writer
        {QFileInfo(FPackage).path(), unread + QStringLiteral("на месте файла находится каталог.")},
        {huge, unread + QStringLiteral("размер файла превышает допустимый (134217728 байт).")},
    };
    for (const auto& c : cases) {
        Config("VerId=2.2.10.12\r\nDownloadUrl=" + c.Source.toUtf8() + "\r\nOriginalFileName=setup.sh\r\n");
        FFetched.clear();
        EXPECT_EQ(Check(), kSuFailed) << c.Source.toStdString();
        EXPECT_EQ(TakeBoxes(), QStringList{kInstallError + QString(c.Error).arg(c.Source)});
        EXPECT_EQ(FFetched.count(c.Source), 3);
        EXPECT_EQ(Get(FProg + kProgram), "old program");
    }
}

TEST_F(SelfUpdateTest, ConfigurationIsReadWithinTheServerReplyCap)
{
    // From the web: an endless configuration stops at the cap of the server's replies.
    THttpStandIn server;
    ASSERT_TRUE(server.Start());
    server.Route(kConfigPath, TStandInReply::Unending(TReplyAction::Endless, "[Tavrix2_2r10]\r\nVerId=1.1.1.1\r\n"));
    EXPECT_EQ(CheckAt(server), kSuFailed);
    EXPECT_EQ(TakeBoxes(), QStringList{kSearchError + QStringLiteral("Ответ сервера \"127.0.0.1\" превышает "
                                                                     "допустимый размер (4194304 байт)!")});
    EXPECT_LT(server.StreamedBytes(), 4 * SwReplyLimit);
    // From a folder: the same cap.
    Config(StandardSection("2.2.10.12", ""));
    Sparse(FConfig, SwReplyLimit + 1);
    EXPECT_EQ(Check(), kSuFailed);
    EXPECT_EQ(TakeBoxes(), QStringList{kSearchError + QStringLiteral("Не удалось прочитать файл \"%1\": размер файла "
                                                                     "превышает допустимый (4194304 байт).")
                                                          .arg(FConfig)});
    EXPECT_TRUE(FInformer.isEmpty());
    EXPECT_FALSE(QFile::exists(FProg + "SelfUpdates.inf"));
}

TEST_F(SelfUpdateTest, PackageOverTlsStaysOnTlsToTheEnd)
{
    const TTrustStandIns trust;
    THttpStandIn maker;
    ASSERT_TRUE(maker.StartTls());
    THttpStandIn plain;
    ASSERT_TRUE(plain.Start());
    const QString marker = FRoot.filePath("pwned");
    // Whoever sits on a plain leg answers with a package of his own.
    plain.SetFallback([&](const TStandInRequest&) { return TStandInReply::Text(MarkingScript(marker), "text/plain"); });
    maker.Route("/pkg/mirror.upd", TStandInReply::Text(kPackage, "application/octet-stream"));
    maker.Route(kConfigPath, TStandInReply::Text("[" + QByteArray(kProgram) + "]\r\nVerId=2.2.10.12\r\nDescription=x\r\n"
                                                 "DownloadUrl=" + maker.BaseUrl().toUtf8() + "/pkg/setup.upd\r\n"
                                                 "OriginalFileName=setup.sh\r\n",
                                                 "text/plain"));
    const struct {
        QByteArray Location;
        int Result;
        QString Box;
    } cases[] = {
        {plain.BaseUrl().toUtf8() + "/pkg/setup.upd", kSuFailed,
         kInstallError + QStringLiteral("Сервер \"127.0.0.1\" перенаправил запрос с защищённого соединения на "
                                        "незащищённое \"%1\"!")
                             .arg(plain.BaseUrl())},
        // Within TLS a redirect is followed.
        {"/pkg/mirror.upd", kSuInstalled,
         QStringLiteral("Установка обновления \"x\" успешно выполнена.\n\n"
                        "Для завершения установки необходимо перезапустить программу!")},
    };
    for (const auto& c : cases) {
        maker.Route("/pkg/setup.upd", TStandInReply::Redirect(302, c.Location));
        EXPECT_EQ(CheckAt(maker), c.Result) << c.Location.toStdString();
        EXPECT_EQ(TakeBoxes(), QStringList{c.Box});
    }
    EXPECT_TRUE(plain.Requests().isEmpty());
    EXPECT_FALSE(QFile::exists(marker));
    EXPECT_EQ(Get(FProg + kProgram), "new program");
}

TEST_F(SelfUpdateTest, DeleteListsNeverTouchTheProgramsDataFiles)
{
    Package(kPackage);
    const QStringList data{"Tavrix2_2r10.ldr",      "Tavrix2_2r10.lsk",     "Tavrix2_2r10.lrt",
                           "Tavrix2_2r10.ini",      "Tavrix2_2r10.frm",     "Tavrix2_2r10.ltb",
                           "Tavrix2_2r10.lss",      "Tavrix2_2r10.flt",     "Tavrix2_2r10.ldr.bak",
                           "TAVRIX2_2R10.LDR.BAK2", "Tavrix2_2r10.ldr.~sav", "Tavrix2_2r10.lrt.~chk",
                           "Systems/2-05-1_0042.dat", "Tavrix2_2r10-2.log",  "mine.lsc",
                           "list.lcv.~sav",         "ScriptLog_2016-08-01-10-00-00.txt",          "draws.csv",
                           "saved.flt",             "table.exp",            "Tavrix2_2r10_ENU.lng",
                           "Kelmar_RUS.chm",        "Prefetchs/Tavrix2_2r10_KNM2.dfc"};
    for (const QString& name : data)
        Put(FProg + name, name.toUtf8());
    Put(FProg + "old.txt", "old");
    Put(FProg + "notes.ldr", "another program's archive");
    Put(FProg + "junk.log", "junk");
    Config(StandardSection("2.2.10.12", "")
               + "DeleteBefore=*.ini; *.frm; Tavrix2_2r10.l*; old.txt\r\n"
                 "DeleteAfter=*.ldr; *.bak*; *.~*; Systems; *.l?t; *.log; Tavrix2_2r10; *.lsc; *.lcv*; "
                 "ScriptLog_*.txt; *.csv; *.exp; *.lng; *.chm; Prefetchs\r\n",
           "DeleteBefore=*.lss;*.flt\r\nDeleteAfter=Tavrix2_2r10.lsk\r\n");

    EXPECT_EQ(Check(), kSuInstalled);
    for (const QString& name : data)
        EXPECT_EQ(Get(FProg + name), name.toUtf8()) << name.toStdString();
    // Masks still reach everything else.
    for (const char* gone : {"old.txt", "notes.ldr", "junk.log"})
        EXPECT_FALSE(QFile::exists(FProg + gone)) << gone;
    EXPECT_EQ(Get(FProg + kProgram), "new program");

    // The next check removes the installation's backups, not the data's own copies.
    FRunning = "2.2.10.12";
    EXPECT_EQ(Check(true), kSuNothingInstalled);
    EXPECT_FALSE(QFile::exists(FProg + kProgram + ".~"));
    for (const QString& name : data)
        EXPECT_EQ(Get(FProg + name), name.toUtf8()) << name.toStdString();
}

TEST_F(SelfUpdateTest, CopyLeavesThePlayersFilesAndReplacesWhatAnUpdateBrings)
{
    const struct {
        const char* Name;
        bool Replaced;
        bool Held = true;   // the program folder holds one before
    } files[] = {
        {"Tavrix2_2r10.ldr", false}, {"Tavrix2_2r10.lsk", false}, {"Tavrix2_2r10.ini", false},
        {"Tavrix2_2r10.frm", false}, {"Tavrix2_2r10.ldr.~sav", false}, {"mine.lsc", false},
        {"Prefetchs/Tavrix2_2r10_KNM2.dfc", false}, {"Systems/2-05-1_0042.dat", false},
        {"Tavrix2_2r10", true}, {"Tavrix2_2r10_ENU.lng", true}, {"Kelmar_RUS.chm", true}, {"readme.txt", true},
        {"mylist.lcv", false, false},
    };
    QByteArray script = "#!/bin/sh\n";
    for (const auto& f : files) {
        if (f.Held)
            Put(FProg + f.Name, "old");
        script += "mkdir -p \"$(dirname '" + QByteArray(f.Name) + "')\" && printf new > '" + f.Name + "'\n";
    }
    Package(script);
    Config(StandardSection("2.2.10.12", ""));
    QStringList viewer;
    SetViewerMessageSink([&](const QString&, const QString& text, std::uint32_t, int) { viewer.append(text); });
    EXPECT_EQ(Check(), kSuInstalled);
    SetViewerMessageSink({});
    for (const auto& f : files)
        EXPECT_EQ(Get(FProg + f.Name), f.Replaced ? "new" : (f.Held ? "old" : "<missing>")) << f.Name;
    EXPECT_EQ(viewer, (QStringList{QStringLiteral("Файлы пользователя обновлением не заменяются, оставлены как есть: "
                                                  "Prefetchs/, Systems/, Tavrix2_2r10.frm, Tavrix2_2r10.ini, "
                                                  "Tavrix2_2r10.ldr, Tavrix2_2r10.ldr.~sav, Tavrix2_2r10.lsk, mine.lsc."),
                                   QStringLiteral("Файлы пользователя из пакета обновления не установлены: mylist.lcv.")}));
}

TEST_F(SelfUpdateTest, LeftoversInTheWorkFolderGoWithoutFollowingLinks)
{
    Package(kPackage);
    Config(StandardSection("2.2.10.12", ""));
    const QString work = FProg + "SelfUpdate/";
    const QString outside = FRoot.filePath("outside");
    Put(outside + "/keep.txt", "keep");
    // Installed as usual, and nothing outside the work folder touched.
    const auto installsLeavingOutsideAlone = [&] {
        FBoxes.Clear();
        EXPECT_EQ(Check(), kSuInstalled);
        ASSERT_EQ(FBoxes.Boxes().size(), 1);
        EXPECT_EQ(FBoxes.Last().Icon, TBoxIcon::Exclamation);
        EXPECT_EQ(QDir(outside).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList{"keep.txt"});
        EXPECT_EQ(Get(outside + "/keep.txt"), "keep");
    };

    // Folders, a folder without write permission, and links to a folder, a file and nowhere.
    Put(work + "left/deeper/old.txt", "old");
    ASSERT_TRUE(QFile::setPermissions(work + "left/deeper", QFile::ReadOwner | QFile::ExeOwner));
    ASSERT_TRUE(QFile::link(outside, work + "folder-link"));
    ASSERT_TRUE(QFile::link(outside + "/keep.txt", work + "file-link"));
    ASSERT_TRUE(QFile::link(FRoot.filePath("nowhere"), work + "dangling"));
    installsLeavingOutsideAlone();
    EXPECT_FALSE(QFileInfo::exists(work));

    // The work folder itself a link: the link goes, not what it points to.
    ASSERT_TRUE(QFile::link(outside, FProg + "SelfUpdate"));
    installsLeavingOutsideAlone();
    EXPECT_FALSE(QFileInfo(FProg + "SelfUpdate").isSymLink());
}

TEST_F(SelfUpdateTest, ConfigurationAndDescriptionsStopAtTheDeadlineOfOneServerReply)
{
    THttpStandIn server;
    ASSERT_TRUE(server.Start());
    const THttpTimeouts saved = HttpTimeouts();
    SetHttpTimeouts({saved.ConnectMs, saved.ReadMs, 1000});
    FAccept = false;
    const QByteArray config = "[Tavrix2_2r10]\r\nVerId=2.2.10.12\r\nDownloadUrl=https://127.0.0.1:1/p\r\nOriginalFileName=s\r\n";
    // A byte now and then keeps the read time-out from running out, not the deadline.
    server.SetFallback([](const TStandInRequest&) { return TStandInReply::Unending(TReplyAction::Trickle); });
    server.Route(kConfigPath, TStandInReply::Unending(TReplyAction::Trickle, config));
    EXPECT_EQ(CheckAt(server), kSuFailed);
    EXPECT_EQ(TakeBoxes(), QStringList{kSearchError + QStringLiteral("Сервер \"127.0.0.1\" не передал ответ за "
                                                                     "отведённые на запрос 1 с!")});
    // The three names of a description share that one deadline.
    server.Route(kConfigPath, TStandInReply::Text(config, "text/plain"));
    server.ClearRequests();
    EXPECT_EQ(CheckAt(server, 1049), kSuNothingInstalled);
    SetHttpTimeouts(saved);
    ASSERT_EQ(FInformer.size(), 1);
    EXPECT_EQ(FInformer[0].Description, QStringList{QStringLiteral("< Описание обновления не доступно >")});
    EXPECT_EQ(server.Requests().size(), 2);
}

TEST_F(SelfUpdateTest, NoWriteFollowsALinkPlantedInTheProgramFolder)
{
    const TTrustStandIns trust;
    THttpStandIn maker;
    ASSERT_TRUE(maker.StartTls());
    maker.Route(kConfigPath, TStandInReply::Text("[Tavrix2_2r10]\r\nVerId=2.2.10.12\r\nOriginalFileName=setup.sh\r\n"
                                                 "DeleteAfter=notes.txt\r\nDownloadUrl="
                                                     + maker.BaseUrl().toUtf8() + "/setup.upd\r\n",
                                                 "text/plain"));
    maker.Route("/files/autoupdates/UpdDescr/UpdDescr_2.2.10.12.txt", TStandInReply::Text("text", "text/plain"));
    maker.Route("/setup.upd", TStandInReply::Text(kPackage, "application/octet-stream"));
    // Each a link to a read-only file outside (none yet for the file the copy adds): the copy's
    // temporary file, the downloads, a file the copy replaces, one it adds, one the list deletes.
    const QString added = "data/zz.txt";
    const QString links[] = {"readme.txt.tmp", "SelfUpdates.inf", "UpdDescr_2.2.10.12.txt", "after.sh", added, "notes.txt"};
    for (const QString& name : links) {
        const QString outside = FRoot.filePath(QFileInfo(name).fileName() + ".outside");
        if (name != added) {
            Put(outside, "outside");
            ASSERT_TRUE(QFile::setPermissions(outside, QFile::ReadOwner));
        }
        QFile::remove(FProg + name);
        ASSERT_TRUE(QFile::link(outside, FProg + name));
        EXPECT_EQ(CheckAt(maker), kSuInstalled) << name.toStdString();
        EXPECT_FALSE(QFileInfo(FProg + name).isSymLink()) << name.toStdString();
        EXPECT_EQ(Get(outside), name == added ? "<missing>" : "outside") << name.toStdString();
        EXPECT_FALSE(QFile::permissions(outside).testFlag(QFile::WriteOwner)) << name.toStdString();
    }
    // A link at a folder's name: nothing is written where it leads, and nothing is installed.
    const QString elsewhere = FRoot.filePath("elsewhere");
    ASSERT_TRUE(QDir().mkpath(elsewhere));
    ASSERT_TRUE(QDir(FProg + "data").removeRecursively());
    ASSERT_TRUE(QFile::link(elsewhere, FProg + "data"));
    Put(FProg + "readme.txt", "readme 1");
    FBoxes.Clear();
    EXPECT_EQ(CheckAt(maker), kSuFailed);
    EXPECT_EQ(TakeBoxes(), QStringList{kInstallError + QStringLiteral("Файл обновления \"data/zz.txt\" не записан: путь "
                                                                      "к нему в каталоге программы проходит через "
                                                                      "ссылку \"%1data\".")
                                                           .arg(FProg)});
    EXPECT_TRUE(QDir(elsewhere).isEmpty());
    EXPECT_EQ(Get(FProg + "readme.txt"), "readme 1");
}
