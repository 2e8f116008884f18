#include "support/RSysUtils.h"

#include "support/RDialogs.h"
#include "support/RStrUtils.h"
#include "support/RSysSpawn.h"

#include "platform/DelphiText.h"
#include "platform/ResString.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <QElapsedTimer>
#include <QThread>

#include <sys/vfs.h>
#include <sys/wait.h>

#include <cerrno>
#include <cstring>
#include <string.h>
#include <utility>

namespace {

const TResString SSysErrorCode = RESSTR("RSysUtils", "SysError #%d: \"%s\"!");
const TResString SSysErrorText = RESSTR("RSysUtils", "\"%s\"!");
const TResString SSysErrorNone = RESSTR("RSysUtils", "%s.");
const TResString SOpenerMissing =
    RESSTR("RSysUtils", "не найдена программа xdg-open, через которую рабочий стол открывает файлы");
const TResString SOpenerNotStarted = RESSTR("RSysUtils", "не удалось запустить программу xdg-open: %s");
const TResString SOpenerNoFile = RESSTR("RSysUtils", "файл не найден");
const TResString SOpenerNoProgram = RESSTR("RSysUtils", "на компьютере нет программы для файлов этого типа");
const TResString SOpenerFailed = RESSTR("RSysUtils", "программа для файлов этого типа не смогла его открыть");
const TResString SOpenerExitCode = RESSTR("RSysUtils", "программа xdg-open завершилась с кодом %d");
const TResString SSavedNotOpened =
    RESSTR("RSysUtils", "Файл \"%s\" сохранён, но ни одна программа его не открыла: %s.");
const TResString SHelpNotOpened = RESSTR("RSysUtils", "Не удалось открыть файл справки \"%s\": %s.");
const TResString SNoHelpViewer =
    RESSTR("RSysUtils", "на компьютере нет программы для просмотра справки в формате CHM");
const TResString SHelpViewerFailed =
    RESSTR("RSysUtils", "ни одна программа для просмотра справки в формате CHM не смогла его открыть");
const TResString SNoBrowser = RESSTR("RSysUtils", "на компьютере нет браузера");
const TResString SBrowserFailed = RESSTR("RSysUtils", "браузер не смог открыть страницу");
const TResString SNoMailProgram = RESSTR("RSysUtils", "на компьютере нет почтовой программы");
const TResString SMailProgramFailed = RESSTR("RSysUtils", "почтовая программа не смогла создать письмо");
const TResString SUrlNotOpened = RESSTR("RSysUtils", "Не удалось открыть страницу \"%s\": %s.");
const TResString SMailNotOpened = RESSTR("RSysUtils", "Не удалось создать письмо на адрес \"%s\": %s.");

QString& AppFileOverride()
{
    static QString fileName;
    return fileName;
}

TOpenHandler& OpenHandler()
{
    static TOpenHandler handler;
    return handler;
}

// Waits up to ms for the process, keeping the window alive; true with its exit code when it
// ended, false (the process left to run on) when it still runs.
bool WaitShortly(TSpawnedProcess& process, int ms, int& exitCode)
{
    QElapsedTimer timer;
    timer.start();
    for (;;) {
        int status = 0;
        const pid_t result = waitpid(process.Pid, &status, WNOHANG);
        if (result == process.Pid) {
            process.Pid = 0;
            exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
            return true;
        }
        if (result < 0 && errno != EINTR) {
            // Nothing can be told of it any more; the start itself went well.
            process.Pid = 0;
            return false;
        }
        if (timer.elapsed() >= ms) {
            ReleaseProcess(process);
            return false;
        }
        if (QCoreApplication::instance())
            QCoreApplication::processEvents();
        QThread::msleep(20);
    }
}

// The reason an opener run gives for its exit code, for what was to be opened: an address
// has a browser or a mail program, a help file a help viewer, not a program for a type of file.
QString OpenerReason(TOpenRequest::TKind kind, int exitCode)
{
    if (kind == TOpenRequest::TKind::HelpTopic && (exitCode == 3 || exitCode == 4))
        return LoadResString(exitCode == 3 ? SNoHelpViewer : SHelpViewerFailed);
    const bool url = kind == TOpenRequest::TKind::Url;
    if (url || kind == TOpenRequest::TKind::MailTo) {
        if (exitCode == 3)
            return LoadResString(url ? SNoBrowser : SNoMailProgram);
        if (exitCode == 4)
            return LoadResString(url ? SBrowserFailed : SMailProgramFailed);
        // Code 2 is a missing file: an address has none.
        return Format(LoadResString(SOpenerExitCode), {exitCode});
    }
    return OpenerExitText(exitCode);
}

// The desktop's own opener: "xdg-open" chooses the program for a file or an address. It hands
// the target on and ends at once on most desktops, with an exit code that tells a failure;
// where it stays until the program it started ends, it is left to run.
void OpenWithDesktop(const TOpenRequest& request)
{
    TSpawnedProcess process;
    try {
        process = SpawnProcess(QString(), QStringLiteral("xdg-open"), {request.Target});
    } catch (const ESystemError& e) {
        if (e.Code() == ENOENT)
            throw EOpenFailed(LoadResString(SOpenerMissing), e.Code());
        throw EOpenFailed(Format(LoadResString(SOpenerNotStarted), {SystemErrorText(e.Code())}), e.Code());
    }
    int exitCode = 0;
    if (WaitShortly(process, OpenerCheckMs, exitCode) && exitCode != 0)
        throw EOpenFailed(OpenerReason(request.Kind, exitCode));
}

void Open(const TOpenRequest& request)
{
    const TOpenHandler& handler = OpenHandler();
    if (handler)
        handler(request);
    else
        OpenWithDesktop(request);
}

// An address that could not be opened is told, with the address, so that the user can take
// it elsewhere; it raises nothing, as a click on a link is all the caller did.
void OpenAddress(const TOpenRequest& request, const QString& address, const TResString& failure)
{
    try {
        Open(request);
    } catch (const std::exception& e) {
        ErrorBox(Format(LoadResString(failure), {QuotedExcerpt(address), InSentence(ExceptionText(e))}));
    }
}

bool StartsWithAny(const QString& text, std::initializer_list<const char*> prefixes)
{
    for (const char* prefix : prefixes)
        if (text.startsWith(QLatin1String(prefix), Qt::CaseInsensitive))
            return true;
    return false;
}

// The file name with its last extension replaced, as ChangeFileExt does: a dot in a folder name
// is not an extension.
QString ChangeFileExt(const QString& fileName, const QString& extension)
{
    const qsizetype slash = fileName.lastIndexOf(QLatin1Char('/'));
    const qsizetype dot = fileName.lastIndexOf(QLatin1Char('.'));
    if (dot > slash)
        return fileName.left(dot) + extension;
    return fileName + extension;
}

// Network file systems: copies to and from them are throttled like UNC paths.
bool IsOnNetworkFileSystem(const QString& path)
{
    QFileInfo info(path);
    QString existing = info.absoluteFilePath();
    while (!existing.isEmpty() && !QFileInfo::exists(existing)) {
        const QString parent = QFileInfo(existing).absolutePath();
        if (parent == existing)
            break;
        existing = parent;
    }
    struct statfs fs {};
    if (existing.isEmpty() || statfs(QFile::encodeName(existing).constData(), &fs) != 0)
        return false;
    switch (static_cast<unsigned long>(fs.f_type)) {
    case 0x6969UL:       // NFS
    case 0x517BUL:       // SMB
    case 0xFF534D42UL:   // CIFS
    case 0xFE534D42UL:   // SMB2
    case 0x564C4146UL:   // AFS ("VLAF")
    case 0x5346414FUL:   // OpenAFS
        return true;
    default:
        return false;
    }
}

} // namespace

QString OpenerExitText(int exitCode)
{
    switch (exitCode) {
    case 2:
        return LoadResString(SOpenerNoFile);
    case 3:
        return LoadResString(SOpenerNoProgram);
    case 4:
        return LoadResString(SOpenerFailed);
    default:
        return Format(LoadResString(SOpenerExitCode), {exitCode});
    }
}

QString SavedButNotOpenedText(const QString& fileName, const QString& reason)
{
    return Format(LoadResString(SSavedNotOpened), {fileName, InSentence(reason)});
}

QString HelpNotOpenedText(const QString& helpFile, const QString& reason)
{
    return Format(LoadResString(SHelpNotOpened), {helpFile, InSentence(reason)});
}

QString FormatSysError(int code, bool withCode)
{
    const QString text = SystemErrorText(code);
    if (code == 0)
        return Format(LoadResString(SSysErrorNone), {text});
    if (withCode)
        return Format(LoadResString(SSysErrorCode), {code, text});
    return Format(LoadResString(SSysErrorText), {text});
}

QString LastErrorText(bool withCode)
{
    return FormatSysError(errno, withCode);
}

void RaiseSystemError(int code)
{
    if (code != 0)
        throw ESystemError(FormatSysError(code, true), code);
}

void RaiseLastSystemError()
{
    RaiseSystemError(errno);
}

QString GetAppFileName()
{
    if (!AppFileOverride().isEmpty())
        return AppFileOverride();
    if (QCoreApplication::instance())
        return QCoreApplication::applicationFilePath();
    return QFile::symLinkTarget(QStringLiteral("/proc/self/exe"));
}

QString GetMainModuleFileName()
{
    return GetAppFileName();
}

QString GetAppDir()
{
    const QString fileName = GetAppFileName();
    return fileName.left(fileName.lastIndexOf(QLatin1Char('/')) + 1);
}

QString GetAppIniFileName()
{
    return ChangeFileExt(GetMainModuleFileName(), QStringLiteral(".ini"));
}

QString GetAppFrmFileName()
{
    return ChangeFileExt(GetMainModuleFileName(), QStringLiteral(".frm"));
}

void OverrideAppFileName(const QString& fileName)
{
    AppFileOverride() = fileName.isEmpty() ? QString() : QFileInfo(fileName).absoluteFilePath();
}

bool IsUncPath(const QString& path)
{
    if (path.startsWith(QLatin1String("//")) || path.startsWith(QLatin1String("\\\\")))
        return true;
    return !path.isEmpty() && IsOnNetworkFileSystem(path);
}

int RunProcessWait(const QString& folder, const QString& commandLine, int /*showCommand*/,
                   int timeoutSec, TAbortProc abortProc, bool wait)
{
    const TCommandLine command = SplitCommandLine(commandLine);
    TSpawnedProcess process = SpawnProcess(folder, command.Program, command.Arguments);
    if (!wait) {
        ReleaseProcess(process);
        return 0;
    }
    return WaitForProcess(process, command.DisplayName, timeoutSec, abortProc);
}

int ShellExecuteWait(const QString& /*verb*/, const QString& fileName, const QString& parameters,
                     int timeoutSec, TAbortProc abortProc, bool wait, int /*showCommand*/)
{
    const QFileInfo info(fileName);
    if (!(info.isFile() && info.isExecutable())) {
        Open({TOpenRequest::TKind::Document, fileName, QString()});
        return 0;
    }
    TCommandLine command;
    command.Program = fileName;
    command.Arguments = SplitArguments(parameters);
    command.DisplayName = AddArguments(info.fileName(), parameters);
    TSpawnedProcess process = SpawnProcess(QString(), command.Program, command.Arguments);
    if (!wait) {
        ReleaseProcess(process);
        return 0;
    }
    return WaitForProcess(process, command.DisplayName, timeoutSec, abortProc);
}

TOpenHandler SetOpenHandler(TOpenHandler handler)
{
    return std::exchange(OpenHandler(), std::move(handler));
}

void OpenDocument(const QString& fileName, const QString& helpTopic)
{
    if (fileName.endsWith(QLatin1String(".chm"), Qt::CaseInsensitive))
        OpenHelpTopic(fileName, helpTopic);
    else
        ShellExecuteWait(QStringLiteral("open"), fileName, QString(), 0, nullptr, false,
                         SW_SHOWDEFAULT);
}

void OpenHelpTopic(const QString& helpFile, const QString& topic)
{
    Open({TOpenRequest::TKind::HelpTopic, helpFile, topic});
}

void OpenUrl(const QString& address)
{
    const bool hasScheme = StartsWithAny(address, {"http://", "https://", "ftp://", "ftps://"});
    OpenAddress({TOpenRequest::TKind::Url, hasScheme ? address : QStringLiteral("http://") + address, QString()},
                address, SUrlNotOpened);
}

void OpenMailTo(const QString& address)
{
    const bool hasScheme = address.startsWith(QLatin1String("mailto:"), Qt::CaseInsensitive);
    OpenAddress({TOpenRequest::TKind::MailTo, hasScheme ? address : QStringLiteral("mailto:") + address, QString()},
                address, SMailNotOpened);
}
