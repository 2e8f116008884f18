#include "support/RSysUtils.h"

#include "support/RDialogsScripted.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QList>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

#include <sys/types.h>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <functional>

namespace {

// State letter of a process from /proc ('Z' for a zombie), or 0 when it is gone.
char ProcessState(pid_t pid)
{
    QFile stat(QString("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return 0;
    const QByteArray line = stat.readAll();
    const qsizetype close = line.lastIndexOf(')');
    return close >= 0 && close + 2 < line.size() ? line.at(close + 2) : 0;
}

bool Running(pid_t pid)
{
    const char state = ProcessState(pid);
    return state != 0 && state != 'Z';
}

bool WaitUntil(const std::function<bool()>& done, int ms = 5000)
{
    QElapsedTimer timer;
    timer.start();
    while (!done()) {
        if (timer.elapsed() > ms)
            return false;
        QThread::msleep(10);
    }
    return true;
}

// The pid a child wrote into a file.
pid_t ReadPid(const QString& fileName)
{
    pid_t pid = 0;
    WaitUntil([&] {
        QFile file(fileName);
        if (!file.open(QIODevice::ReadOnly))
            return false;
        pid = file.readAll().trimmed().toInt();
        return pid > 0;
    });
    return pid;
}

QString Quoted(const QString& path)
{
    return "\"" + path + "\"";
}

int GAbortPolls = 0;
void AbortOnThirdPoll(bool& abort)
{
    if (++GAbortPolls >= 3)
        abort = true;
}

void NeverAbort(bool&)
{
    ++GAbortPolls;
}

// Restores the real program file name after a test that pretends to be elsewhere.
struct TAppFileScope {
    explicit TAppFileScope(const QString& fileName) { OverrideAppFileName(fileName); }
    ~TAppFileScope() { OverrideAppFileName(QString()); }
};

struct TOpenScope {
    QList<TOpenRequest> Requests;
    bool Fail = false;
    TOpenHandler Previous;
    TOpenScope()
    {
        Previous = SetOpenHandler([this](const TOpenRequest& request) {
            Requests.append(request);
            if (Fail)
                throw ESystemError("no opener", ENOENT);
        });
    }
    ~TOpenScope() { SetOpenHandler(Previous); }
};

} // namespace

TEST(RSysUtilsErrors, TextsWithAndWithoutTheCode)
{
    // The system's own text, in Russian where the system has it.
    const QString text = SystemErrorText(ENOENT);
    ASSERT_FALSE(text.isEmpty());
    EXPECT_EQ(FormatSysError(ENOENT, true), "SysError #2: \"" + text + "\"!");
    EXPECT_EQ(FormatSysError(ENOENT, false), "\"" + text + "\"!");
    EXPECT_EQ(FormatSysError(0, true), SystemErrorText(0) + ".");
    errno = EACCES;
    EXPECT_TRUE(LastErrorText(true).startsWith("SysError #13: \""));
}

TEST(RSysUtilsErrors, RaiseOnlyForARealCode)
{
    EXPECT_NO_THROW(RaiseSystemError(0));
    try {
        RaiseSystemError(EACCES);
        FAIL() << "must raise";
    } catch (const ESystemError& e) {
        EXPECT_EQ(e.Code(), EACCES);
        EXPECT_EQ(e.Message(), FormatSysError(EACCES, true));
    }
    errno = 0;
    EXPECT_NO_THROW(RaiseLastSystemError());
    errno = ENOSPC;
    EXPECT_THROW(RaiseLastSystemError(), ESystemError);
}

TEST(RSysUtilsFiles, SettingsFilesLieBesideTheProgram)
{
    EXPECT_EQ(GetAppFileName(), QCoreApplication::applicationFilePath());
    EXPECT_TRUE(GetAppDir().endsWith('/'));
    {
        TAppFileScope scope("/opt/v1.2/Tavrix2_2r10");
        EXPECT_EQ(GetAppFileName(), "/opt/v1.2/Tavrix2_2r10");
        EXPECT_EQ(GetMainModuleFileName(), "/opt/v1.2/Tavrix2_2r10");
        EXPECT_EQ(GetAppDir(), "/opt/v1.2/");
        EXPECT_EQ(GetAppIniFileName(), "/opt/v1.2/Tavrix2_2r10.ini");   // a dot in the folder is no extension
        EXPECT_EQ(GetAppFrmFileName(), "/opt/v1.2/Tavrix2_2r10.frm");
    }
    {
        TAppFileScope scope("/opt/app/Program.exe");
        EXPECT_EQ(GetAppIniFileName(), "/opt/app/Program.ini");
    }
    EXPECT_EQ(GetAppFileName(), QCoreApplication::applicationFilePath());
}

TEST(RSysUtilsFiles, NetworkPaths)
{
    EXPECT_TRUE(IsUncPath("//server/share/file"));
    EXPECT_TRUE(IsUncPath("\\\\server\\share"));
    EXPECT_FALSE(IsUncPath("/tmp/file"));
    EXPECT_FALSE(IsUncPath("relative/name"));
    EXPECT_FALSE(IsUncPath(""));
}

TEST(RSysUtilsProcess, ExitCodesOfWaitedProcesses)
{
    EXPECT_EQ(RunProcessWait("", "/bin/sh -c 'exit 3'", SW_SHOWNORMAL, 0, nullptr, true), 3);
    EXPECT_EQ(RunProcessWait("", "sh -c \"exit 0\"", SW_SHOWNORMAL, 60, nullptr, true), 0);
    // Killed by a signal: 128 + the signal, as a shell reports it.
    EXPECT_EQ(RunProcessWait("", "/bin/sh -c 'kill -TERM $$'", SW_SHOW, 0, nullptr, true), 128 + SIGTERM);
    GAbortPolls = 0;
    EXPECT_EQ(RunProcessWait("", "/bin/sh -c 'sleep 0.3; exit 5'", SW_SHOW, 0, NeverAbort, true), 5);
    EXPECT_GE(GAbortPolls, 1);
}

TEST(RSysUtilsProcess, RunsInTheGivenFolder)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString out = dir.filePath("where.txt");
    EXPECT_EQ(RunProcessWait(dir.path(), "/bin/sh -c 'pwd -P > where.txt'", SW_SHOW, 0, nullptr, true), 0);
    QFile file(out);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(QString::fromLocal8Bit(file.readAll().trimmed()), QFileInfo(dir.path()).canonicalFilePath());
}

TEST(RSysUtilsProcess, ProgramPathsWithBlanks)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    ASSERT_TRUE(QDir(dir.path()).mkdir("my tools"));
    const QString script = dir.filePath("my tools/run me");
    QFile file(script);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("#!/bin/sh\nexit $(( $# * 10 + ${1:-0} ))\n");
    file.close();
    file.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);

    EXPECT_EQ(RunProcessWait("", script, SW_SHOW, 0, nullptr, true), 0);
    EXPECT_EQ(RunProcessWait("", script + " 4", SW_SHOW, 0, nullptr, true), 14);
    EXPECT_EQ(RunProcessWait("", Quoted(script) + " 2 x", SW_SHOW, 0, nullptr, true), 22);
    EXPECT_EQ(ShellExecuteWait("open", script, "3", 0, nullptr, true, SW_SHOWDEFAULT), 13);
}

TEST(RSysUtilsProcess, AFailedStartReportsItsOwnError)
{
    try {
        RunProcessWait("", "/nonexistent/program arg", SW_SHOW, 0, nullptr, true);
        FAIL() << "must raise";
    } catch (const ESystemError& e) {
        EXPECT_EQ(e.Code(), ENOENT);
        EXPECT_EQ(e.Message(), FormatSysError(ENOENT, true));
    }
    try {
        RunProcessWait("/nonexistent/folder", "/bin/true", SW_SHOW, 0, nullptr, false);
        FAIL() << "must raise";
    } catch (const ESystemError& e) {
        EXPECT_EQ(e.Code(), ENOENT);
    }
    QTemporaryDir dir;
    const QString plain = dir.filePath("data.txt");
    QFile file(plain);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    try {
        RunProcessWait("", plain, SW_SHOW, 0, nullptr, true);
        FAIL() << "must raise";
    } catch (const ESystemError& e) {
        EXPECT_EQ(e.Code(), EACCES);
    }
    EXPECT_THROW(RunProcessWait("", "   ", SW_SHOW, 0, nullptr, true), ESystemError);
}

TEST(RSysUtilsProcess, TimeOutEndsTheProcessAndEverythingItStarted)
{
    QTemporaryDir dir;
    const QString pidFile = dir.filePath("pid");
    const QString command = "/bin/sh -c 'sleep 30 & echo $! > " + Quoted(pidFile) + "; wait'";
    try {
        RunProcessWait("", command, SW_SHOW, 1, nullptr, true);
        FAIL() << "must time out";
    } catch (const ESystemError& e) {
        EXPECT_EQ(e.Message(), "Ожидание завершения процесса (файла) \"sh -c 'sleep 30 & echo $! > "
                                   + Quoted(pidFile) + "; wait'\" прервано в связи с превышением времени ожидания!");
    }
    const pid_t sleeper = ReadPid(pidFile);
    ASSERT_GT(sleeper, 0);
    EXPECT_TRUE(WaitUntil([&] { return !Running(sleeper); }));
}

TEST(RSysUtilsProcess, AbortLeavesTheProcessRunningButReleasesIt)
{
    QTemporaryDir dir;
    const QString pidFile = dir.filePath("pid");
    GAbortPolls = 0;
    try {
        RunProcessWait("", "/bin/sh -c 'echo $$ > " + Quoted(pidFile) + "; exec sleep 30'", SW_SHOW, 0,
                       AbortOnThirdPoll, true);
        FAIL() << "must be aborted";
    } catch (const ESystemError& e) {
        EXPECT_TRUE(e.Message().startsWith("Ожидание завершения процесса (файла) \"sh -c 'echo $$ > "));
        EXPECT_TRUE(e.Message().endsWith("; exec sleep 30'\" прервано!"));
    }
    EXPECT_EQ(GAbortPolls, 3);
    const pid_t child = ReadPid(pidFile);
    ASSERT_GT(child, 0);
    EXPECT_TRUE(Running(child));
    ASSERT_EQ(kill(child, SIGKILL), 0);
    // Our own child: only a reaper of ours can take it off the process table.
    EXPECT_TRUE(WaitUntil([&] { return ProcessState(child) == 0; }));
}

TEST(RSysUtilsProcess, WithoutWaitingTheChildIsReleasedToo)
{
    QTemporaryDir dir;
    const QString pidFile = dir.filePath("pid");
    EXPECT_EQ(RunProcessWait(dir.path(), "/bin/sh -c 'echo $$ > pid; sleep 0.2'", SW_SHOW, 0, nullptr, false), 0);
    const pid_t child = ReadPid(pidFile);
    ASSERT_GT(child, 0);
    EXPECT_TRUE(WaitUntil([&] { return ProcessState(child) == 0; }));
}

TEST(RSysUtilsOpen, AddressesGetTheirScheme)
{
    TOpenScope opened;
    OpenUrl("example.com/page");
    OpenUrl("HTTPS://Example.com");
    OpenUrl("ftps://files.example.com");
    OpenUrl("Ftp://files.example.com");
    OpenUrl("www.example.com/http://x");
    OpenMailTo("user@example.com");
    OpenMailTo("MAILTO:user@example.com");

    ASSERT_EQ(opened.Requests.size(), 7);
    const QStringList expected{"http://example.com/page", "HTTPS://Example.com", "ftps://files.example.com",
                               "Ftp://files.example.com", "http://www.example.com/http://x",
                               "mailto:user@example.com", "MAILTO:user@example.com"};
    for (int i = 0; i < 7; ++i) {
        EXPECT_EQ(opened.Requests[i].Target, expected[i]);
        EXPECT_EQ(opened.Requests[i].Kind, i < 5 ? TOpenRequest::TKind::Url : TOpenRequest::TKind::MailTo);
    }
}

TEST(RSysUtilsOpen, DocumentsAndHelpFiles)
{
    TOpenScope opened;
    OpenDocument("/opt/help/Kelmar_RUS.CHM", "topic.htm");
    OpenDocument("/opt/help/Kelmar_RUS.chm");
    OpenDocument("/tmp/report.xlsx");
    ASSERT_EQ(opened.Requests.size(), 3);
    EXPECT_EQ(opened.Requests[0].Kind, TOpenRequest::TKind::HelpTopic);
    EXPECT_EQ(opened.Requests[0].Target, "/opt/help/Kelmar_RUS.CHM");
    EXPECT_EQ(opened.Requests[0].Topic, "topic.htm");
    EXPECT_EQ(opened.Requests[1].Kind, TOpenRequest::TKind::HelpTopic);
    EXPECT_EQ(opened.Requests[1].Topic, "");
    EXPECT_EQ(opened.Requests[2].Kind, TOpenRequest::TKind::Document);
    EXPECT_EQ(opened.Requests[2].Target, "/tmp/report.xlsx");
}

TEST(RSysUtilsOpen, FailuresAreRaisedForFilesAndToldForAddresses)
{
    TOpenScope opened;
    TScriptedBoxes boxes;
    opened.Fail = true;
    EXPECT_NO_THROW(OpenUrl("example.com"));
    EXPECT_NO_THROW(OpenMailTo("a@b.c"));
    EXPECT_THROW(OpenDocument("/tmp/report.xlsx"), ESystemError);
    EXPECT_THROW(OpenHelpTopic("/tmp/help.chm", ""), ESystemError);
    EXPECT_EQ(opened.Requests.size(), 4);
    EXPECT_EQ(boxes.Boxes().size(), 2);
}

// The desktop's own opener as the program runs it: a missing xdg-open, or one that ends with an
// error, is reported in Russian with the reason; one that opened the file (or still runs after
// the check, waiting for the program it started) is success.
TEST(RSysUtilsOpen, DesktopOpenerFailuresAreToldInRussian)
{
    QTemporaryDir bin;
    ASSERT_TRUE(bin.isValid());
    const QByteArray savedPath = qgetenv("PATH");
    const TOpenHandler previous = SetOpenHandler(nullptr);
    const QString document = bin.filePath("book.xlsx");
    QFile(document).open(QIODevice::WriteOnly);
    const QString help = bin.filePath("help.chm");
    QFile(help).open(QIODevice::WriteOnly);

    struct TCase {
        const char* Script;   // xdg-open's body; nullptr: there is none
        const char* Error;    // empty: success
        const char* UrlError = nullptr;   // for a web page, when it is another
        const char* HelpError = nullptr;  // for a help file, when it is another
    } const cases[] = {
        {nullptr, "не найдена программа xdg-open, через которую рабочий стол открывает файлы"},
        {"exit 3", "на компьютере нет программы для файлов этого типа", "на компьютере нет браузера",
         "на компьютере нет программы для просмотра справки в формате CHM"},
        {"exit 4", "программа для файлов этого типа не смогла его открыть", "браузер не смог открыть страницу",
         "ни одна программа для просмотра справки в формате CHM не смогла его открыть"},
        {"exit 2", "файл не найден", "программа xdg-open завершилась с кодом 2"},
        {"exit 9", "программа xdg-open завершилась с кодом 9"},
        {"kill -9 $$", "программа xdg-open завершилась с кодом 137"},
        {"test -f \"$1\" && exit 0; exit 5", "", "программа xdg-open завершилась с кодом 5"},
    };
    TScriptedBoxes boxes;
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Script ? c.Script : "no xdg-open");
        const QString opener = bin.filePath("xdg-open");
        QFile::remove(opener);
        if (c.Script) {
            QFile file(opener);
            ASSERT_TRUE(file.open(QIODevice::WriteOnly));
            file.write(QByteArray("#!/bin/sh\n") + c.Script + "\n");
            file.close();
            file.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        }
        qputenv("PATH", QFile::encodeName(bin.path()) + ":/usr/bin:/bin");
        // The opener is looked for in the folder alone when there is one to find.
        if (!c.Script)
            qputenv("PATH", QFile::encodeName(bin.path()));
        try {
            OpenDocument(document);
            EXPECT_STREQ(c.Error, "");
        } catch (const EOpenFailed& e) {
            EXPECT_EQ(e.Message(), QString::fromUtf8(c.Error));
        }
        try {
            OpenDocument(help);
            EXPECT_STREQ(c.Error, "");
        } catch (const EOpenFailed& e) {
            EXPECT_EQ(e.Message(), QString::fromUtf8(c.HelpError ? c.HelpError : c.Error));
        }
        OpenUrl("example.com");
        EXPECT_EQ(boxes.Last().Text, QString::fromUtf8("Не удалось открыть страницу \"example.com\": %1.")
                                         .arg(QString::fromUtf8(c.UrlError ? c.UrlError : c.Error)));
    }
    qputenv("PATH", savedPath);
    SetOpenHandler(previous);

    // The text the commands that write a document show: one sentence, no doubled marks.
    EXPECT_EQ(SavedButNotOpenedText("/tmp/a.xlsx", QString::fromUtf8("файл не найден")),
              QString::fromUtf8("Файл \"/tmp/a.xlsx\" сохранён, но ни одна программа его не открыла: файл не найден."));
    EXPECT_EQ(SavedButNotOpenedText("a.log", QString::fromUtf8("SysError #2: \"Нет такого файла\"!")),
              QString::fromUtf8("Файл \"a.log\" сохранён, но ни одна программа его не открыла: SysError #2: "
                                "\"Нет такого файла\"."));
}
