#include "support/RSysSpawn.h"

#include "platform/DelphiText.h"
#include "platform/ResString.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QThread>

#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <thread>
#include <vector>

extern char** environ;

namespace {

const TResString SWaitAborted =
    RESSTR("RSysUtils", "Ожидание завершения процесса (файла) \"%s\" прервано!");
const TResString SWaitTimedOut =
    RESSTR("RSysUtils", "Ожидание завершения процесса (файла) \"%s\" прервано в связи с "
                        "превышением времени ожидания!");

constexpr int PollIntervalMs = 100;

bool IsExecutableFile(const QString& path)
{
    const QFileInfo info(path);
    return info.isFile() && info.isExecutable();
}

int ExitCodeOf(int status)
{
    if (WIFEXITED(status))
        return WEXITSTATUS(status);
    if (WIFSIGNALED(status))
        return 128 + WTERMSIG(status);
    return status;
}

// Releases the process when the waiting ends by an exception from outside (an abort procedure
// or an event handler that throws).
class TProcessGuard {
public:
    explicit TProcessGuard(TSpawnedProcess& process) : FProcess(process) {}
    ~TProcessGuard() { ReleaseProcess(FProcess); }
    TProcessGuard(const TProcessGuard&) = delete;
    TProcessGuard& operator=(const TProcessGuard&) = delete;

private:
    TSpawnedProcess& FProcess;
};

void Reap(pid_t pid, int& status)
{
    while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
}

} // namespace

QStringList SplitArguments(const QString& parameters)
{
    // Words as a shell reads them: blanks separate; '...' is literal; in "..." and outside
    // quotes a backslash takes the next character literally; quoted parts join their neighbours.
    QStringList words;
    QString word;
    bool inWord = false;
    QChar quote;
    for (qsizetype i = 0; i < parameters.size(); ++i) {
        const QChar c = parameters.at(i);
        if (quote == QLatin1Char('\'')) {
            if (c == quote)
                quote = QChar();
            else
                word += c;
        } else if (c == QLatin1Char('\\') && i + 1 < parameters.size()
                   && (quote.isNull() || parameters.at(i + 1) == QLatin1Char('"')
                       || parameters.at(i + 1) == QLatin1Char('\\'))) {
            word += parameters.at(++i);
            inWord = true;
        } else if (quote == QLatin1Char('"')) {
            if (c == quote)
                quote = QChar();
            else
                word += c;
        } else if (c == QLatin1Char('\'') || c == QLatin1Char('"')) {
            quote = c;
            inWord = true;
        } else if (c.isSpace()) {
            if (inWord)
                words.append(word);
            word.clear();
            inWord = false;
        } else {
            word += c;
            inWord = true;
        }
    }
    if (inWord)
        words.append(word);
    return words;
}

QString AddArguments(const QString& name, const QString& parameters)
{
    const QString trimmed = parameters.trimmed();
    return trimmed.isEmpty() ? name : name + QLatin1Char(' ') + trimmed;
}

TCommandLine SplitCommandLine(const QString& commandLine)
{
    TCommandLine command;
    const QString text = commandLine.trimmed();
    if (!text.startsWith(QLatin1Char('"')) && !text.startsWith(QLatin1Char('\''))) {
        for (qsizetype end = text.indexOf(QLatin1Char(' ')); ; end = text.indexOf(QLatin1Char(' '), end + 1)) {
            const QString candidate = end < 0 ? text : text.left(end);
            if (candidate.contains(QLatin1Char('/')) && IsExecutableFile(candidate)) {
                const QString rest = end < 0 ? QString() : text.mid(end + 1);
                command.Program = candidate;
                command.Arguments = SplitArguments(rest);
                command.DisplayName = AddArguments(QFileInfo(candidate).fileName(), rest);
                return command;
            }
            if (end < 0)
                break;
        }
    }
    QStringList parts = SplitArguments(text);
    if (!parts.isEmpty())
        command.Program = parts.takeFirst();
    command.Arguments = parts;
    command.DisplayName = AddArguments(QFileInfo(command.Program).fileName(), parts.join(QLatin1Char(' ')));
    return command;
}

TSpawnedProcess SpawnProcess(const QString& folder, const QString& program,
                             const QStringList& arguments)
{
    if (program.isEmpty())
        RaiseSystemError(ENOENT);

    std::vector<QByteArray> storage;
    storage.reserve(arguments.size() + 1);
    storage.push_back(QFile::encodeName(program));
    for (const QString& argument : arguments)
        storage.push_back(QFile::encodeName(argument));
    std::vector<char*> argv;
    for (QByteArray& bytes : storage)
        argv.push_back(bytes.data());
    argv.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    const QByteArray folderName = QFile::encodeName(folder);
    if (!folder.isEmpty())
        posix_spawn_file_actions_addchdir_np(&actions, folderName.constData());

    // A group of its own, so that a time-out ends everything it started; signal handling and
    // the signal mask start from the defaults, not from whatever this program has set up.
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    sigset_t signalSet;
    sigemptyset(&signalSet);
    posix_spawnattr_setsigmask(&attributes, &signalSet);
    sigfillset(&signalSet);
    sigdelset(&signalSet, SIGKILL);
    sigdelset(&signalSet, SIGSTOP);
    posix_spawnattr_setsigdefault(&attributes, &signalSet);
    posix_spawnattr_setpgroup(&attributes, 0);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETPGROUP | POSIX_SPAWN_SETSIGMASK
                                              | POSIX_SPAWN_SETSIGDEF);

    pid_t pid = 0;
    const int error = posix_spawnp(&pid, argv[0], &actions, &attributes, argv.data(), environ);
    posix_spawnattr_destroy(&attributes);
    posix_spawn_file_actions_destroy(&actions);
    RaiseSystemError(error);
    return TSpawnedProcess{pid};
}

void ReleaseProcess(TSpawnedProcess& process)
{
    const pid_t pid = process.Pid;
    process.Pid = 0;
    if (pid <= 0)
        return;
    int status = 0;
    if (waitpid(pid, &status, WNOHANG) == pid)
        return;
    std::thread([pid] {
        int ended = 0;
        Reap(pid, ended);
    }).detach();
}

int WaitForProcess(TSpawnedProcess& process, const QString& displayName, int timeoutSec,
                   TAbortProc abortProc)
{
    TProcessGuard guard(process);
    QElapsedTimer timer;
    timer.start();
    bool abort = false;
    for (;;) {
        int status = 0;
        const pid_t result = waitpid(process.Pid, &status, WNOHANG);
        if (result == process.Pid) {
            process.Pid = 0;
            return ExitCodeOf(status);
        }
        if (result < 0) {
            if (errno == EINTR)
                continue;
            // The exit code cannot be read: say so rather than inventing one.
            const int error = errno;
            process.Pid = 0;
            RaiseSystemError(error);
        }

        if (QCoreApplication::instance())
            QCoreApplication::processEvents();
        if (abortProc) {
            abortProc(abort);
            if (abort)
                throw ESystemError(Format(LoadResString(SWaitAborted), {displayName}));
        }
        QThread::msleep(PollIntervalMs);
        if (timeoutSec > 0 && timer.elapsed() > qint64(timeoutSec) * 1000) {
            killpg(process.Pid, SIGKILL);
            kill(process.Pid, SIGKILL);
            Reap(process.Pid, status);
            process.Pid = 0;
            throw ESystemError(Format(LoadResString(SWaitTimedOut), {displayName}));
        }
    }
}
