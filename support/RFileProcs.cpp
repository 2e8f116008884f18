#include "support/RFileProcs.h"

#include "platform/DelphiText.h"
#include "platform/ReadFile.h"
#include "support/RCrc32.h"
#include "support/RDateUtils.h"
#include "support/RFileProcsImpl.h"
#include "support/RSysUtils.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstring>
#include <ctime>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr std::int64_t kTicksPerSecond = 10'000'000;
// 100-ns ticks between 1601-01-01 and 1970-01-01.
constexpr std::int64_t kUnixEpochTicks = 116'444'736'000'000'000LL;

TRfoFailHook& FailHook()
{
    static TRfoFailHook hook;
    return hook;
}

int& LastCodeRef()
{
    static int code = 0;
    return code;
}

QByteArray Native(const QString& name)
{
    return QFile::encodeName(name);
}

// Runs a system call unless a failure is injected for it; keeps the errno of a failure.
template <typename F>
bool Call(TRfoCall call, const QString& name, F&& f)
{
    if (const int injected = rfo::InjectedFailure(call, name)) {
        rfo::SetLastCode(injected);
        errno = injected;
        return false;
    }
    if (f() != 0) {
        rfo::SetLastCode(errno);
        return false;
    }
    rfo::SetLastCode(0);
    return true;
}

bool StatOf(const QString& name, struct stat& st)
{
    return ::stat(Native(name).constData(), &st) == 0;
}

TRFileTime ToFileTime(const struct timespec& ts)
{
    return static_cast<std::int64_t>(ts.tv_sec) * kTicksPerSecond + ts.tv_nsec / 100 + kUnixEpochTicks;
}

struct timespec ToTimespec(TRFileTime time)
{
    std::int64_t ticks = time - kUnixEpochTicks;
    std::int64_t seconds = ticks / kTicksPerSecond;
    std::int64_t rest = ticks % kTicksPerSecond;
    if (rest < 0) {
        rest += kTicksPerSecond;
        --seconds;
    }
    struct timespec ts {};
    ts.tv_sec = static_cast<time_t>(seconds);
    ts.tv_nsec = static_cast<long>(rest * 100);
    return ts;
}

std::int64_t FloorSeconds(TRFileTime time)
{
    std::int64_t s = time / kTicksPerSecond;
    if (time % kTicksPerSecond < 0)
        --s;
    return s;
}

// Matches one mask against a name, letters compared case-folded.
bool WildMatch(const QString& mask, const QString& name)
{
    qsizetype m = 0, n = 0, starM = -1, starN = 0;
    while (n < name.size()) {
        if (m < mask.size() && (mask[m] == QLatin1Char('?')
                                || (mask[m] != QLatin1Char('*')
                                    && mask[m].toCaseFolded() == name[n].toCaseFolded()))) {
            ++m;
            ++n;
        } else if (m < mask.size() && mask[m] == QLatin1Char('*')) {
            starM = m++;
            starN = n;
        } else if (starM >= 0) {
            m = starM + 1;
            n = ++starN;
        } else {
            return false;
        }
    }
    while (m < mask.size() && mask[m] == QLatin1Char('*'))
        ++m;
    return m == mask.size();
}

} // namespace

// ---------------------------------------------------------------------------------------------

namespace rfo {

int LastCode()
{
    return LastCodeRef();
}

void SetLastCode(int code)
{
    LastCodeRef() = code;
}

int InjectedFailure(TRfoCall call, const QString& name)
{
    return FailHook() ? FailHook()(call, name) : 0;
}

QString IncludeTrailingDelimiter(const QString& path)
{
    return path.endsWith(QLatin1Char('/')) ? path : path + QLatin1Char('/');
}

QString ExcludeTrailingDelimiter(const QString& path)
{
    QString result = path;
    while (result.size() > 1 && result.endsWith(QLatin1Char('/')))
        result.chop(1);
    return result;
}

QString ExtractFilePath(const QString& path)
{
    const qsizetype slash = path.lastIndexOf(QLatin1Char('/'));
    return slash < 0 ? QString() : path.left(slash + 1);
}

QString ExtractFileName(const QString& path)
{
    return path.mid(path.lastIndexOf(QLatin1Char('/')) + 1);
}

QString ExtractFileExt(const QString& path)
{
    const QString name = ExtractFileName(path);
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    return dot < 0 ? QString() : name.mid(dot);
}

bool SameFileName(const QString& a, const QString& b)
{
    if (QDir::cleanPath(a) == QDir::cleanPath(b))
        return true;
    // Two names of one file (a link, "a/../b"): the device and inode tell.
    struct stat sa {}, sb {};
    return StatOf(a, sa) && StatOf(b, sb) && sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
}

bool IsBusyError(int code)
{
    return code == ETXTBSY || code == EBUSY || code == EACCES || code == EPERM;
}

QString ShortenSharedFolders(const QString& source, const QString& target)
{
    const QStringList src = ExtractFilePath(source).split(QLatin1Char('/'));
    QStringList dst = target.split(QLatin1Char('/'));
    // The last folder and the file name of the target always stay readable.
    const qsizetype keep = dst.size() - 2;
    qsizetype i = 0;
    while (i < keep && i < src.size() && src[i] == dst[i]) {
        if (!dst[i].isEmpty())
            dst[i] = QStringLiteral("...");
        ++i;
    }
    return dst.join(QLatin1Char('/'));
}

QStringList WayBelow(const QString& root, const QString& path)
{
    const QString base = IncludeTrailingDelimiter(root);
    if (root.isEmpty() || !path.startsWith(base))
        return {};
    const QString rest = ExcludeTrailingDelimiter(path.mid(base.size()));
    QStringList way;
    for (qsizetype end = 0; end >= 0 && end < rest.size();) {
        end = rest.indexOf(QLatin1Char('/'), end + 1);
        way.append(base + (end < 0 ? rest : rest.left(end)));
    }
    return way;
}

QString LinkBelow(const QString& root, const QString& path)
{
    for (const QString& step : WayBelow(root, path)) {
        struct stat st {};
        if (::lstat(Native(step).constData(), &st) != 0)
            return QString();
        if (S_ISLNK(st.st_mode))
            return step;
    }
    return QString();
}

TRTransaction StartStep(const QString& name, const TRMsgLogProc& log)
{
    TRTransaction step;
    InitTransactionLog(name, step, log);
    return step;
}

void EndStep(TRTransaction& step, TRMsgKind kind, const QString& text)
{
    step.Kind = kind;
    step.Text = text;
    step.EndTime = ClockNow();
}

} // namespace rfo

using namespace rfo;

// ---------------------------------------------------------------------------------------------

bool TRFileList::GetItem(int index, TRFileItem& item) const
{
    if (index < 0 || index >= Count())
        return false;
    item = FItems[index];
    return true;
}

int TRFileList::IndexOf(const QString& name) const
{
    for (int i = 0; i < Count(); ++i)
        if (FItems[i].Name == name)
            return i;
    return -1;
}

void TRFileList::Add(const QString& name, std::uint8_t kind)
{
    if (IndexOf(name) < 0)
        FItems.append(TRFileItem{kind, name});
}

void TRFileList::Delete(int index)
{
    if (index >= 0 && index < Count())
        FItems.removeAt(index);
}

TRfoFailHook SetRfoFailHook(TRfoFailHook hook)
{
    TRfoFailHook previous = std::move(FailHook());
    FailHook() = std::move(hook);
    return previous;
}

bool RfoFileExists(const QString& name)
{
    struct stat st {};
    return StatOf(name, st) && !S_ISDIR(st.st_mode);
}

std::int32_t RfoFileAge(const QString& name)
{
    struct stat st {};
    if (!StatOf(name, st) || S_ISDIR(st.st_mode))
        return -1;
    struct tm local {};
    const time_t t = st.st_mtim.tv_sec;
    if (!localtime_r(&t, &local))
        return -1;
    const int year = local.tm_year + 1900;
    if (year < 1980 || year > 2107)
        return -1;
    const std::uint32_t date = (static_cast<std::uint32_t>(year - 1980) << 9)
                               | (static_cast<std::uint32_t>(local.tm_mon + 1) << 5)
                               | static_cast<std::uint32_t>(local.tm_mday);
    const std::uint32_t tod = (static_cast<std::uint32_t>(local.tm_hour) << 11)
                              | (static_cast<std::uint32_t>(local.tm_min) << 5)
                              | static_cast<std::uint32_t>(local.tm_sec / 2);
    return static_cast<std::int32_t>((date << 16) | tod);
}

bool RfoDirectoryExists(const QString& name)
{
    struct stat st {};
    return StatOf(name, st) && S_ISDIR(st.st_mode);
}

bool RfoDirectoryIsEmpty(const QString& name)
{
    DIR* dir = ::opendir(Native(name).constData());
    if (!dir)
        return false;
    bool empty = true;
    while (const dirent* entry = ::readdir(dir)) {
        if (std::strcmp(entry->d_name, ".") != 0 && std::strcmp(entry->d_name, "..") != 0) {
            empty = false;
            break;
        }
    }
    ::closedir(dir);
    return empty;
}

bool RfoDeleteFile(const QString& name)
{
    return Call(TRfoCall::DeleteFile, name, [&] { return ::unlink(Native(name).constData()); });
}

bool RfoMoveFile(const QString& from, const QString& to)
{
    return Call(TRfoCall::MoveFile, from,
                [&] { return ::rename(Native(from).constData(), Native(to).constData()); });
}

bool RfoCreateDir(const QString& name)
{
    return Call(TRfoCall::CreateDir, name,
                [&] { return ::mkdir(Native(ExcludeTrailingDelimiter(name)).constData(), 0777); });
}

bool RfoRemoveDir(const QString& name)
{
    return Call(TRfoCall::RemoveDir, name,
                [&] { return ::rmdir(Native(ExcludeTrailingDelimiter(name)).constData()); });
}

int RfoGetFileAttr(const QString& name)
{
    struct stat st {};
    if (!StatOf(name, st))
        return -1;
    int attributes = S_ISDIR(st.st_mode) ? kRfaDirectory : kRfaArchive;
    if (!(st.st_mode & S_IWUSR))
        attributes |= kRfaReadOnly;
    return attributes;
}

int RfoSetFileAttr(const QString& name, int attributes)
{
    struct stat st {};
    // What a link points to may lie anywhere: its permissions are not ours to change.
    if (::lstat(Native(name).constData(), &st) == 0 && S_ISLNK(st.st_mode))
        return 0;
    if (!StatOf(name, st))
        return errno;
    mode_t mode = st.st_mode & 07777;
    if (attributes & kRfaReadOnly)
        mode &= static_cast<mode_t>(~(S_IWUSR | S_IWGRP | S_IWOTH));
    else
        mode |= S_IWUSR;
    if (!Call(TRfoCall::SetAttr, name, [&] { return ::chmod(Native(name).constData(), mode); }))
        return LastCode();
    return 0;
}

std::int64_t RfoGetFileSize(const QString& name, bool raiseError)
{
    // Opened without waiting: a pipe without a writer would hold the open for ever.
    const int fd = ::open(Native(name).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    struct stat st {};
    if (fd < 0 || ::fstat(fd, &st) != 0) {
        const int code = errno;
        if (fd >= 0)
            ::close(fd);
        if (raiseError)
            RaiseSystemError(code);
        return -1;
    }
    ::close(fd);
    return static_cast<std::int64_t>(st.st_size);
}

TRFileTime RfoGetFileWriteTime(const QString& name)
{
    struct stat st {};
    if (!StatOf(name, st))
        RaiseSystemError(errno);
    return ToFileTime(st.st_mtim);
}

void RfoGetFileTimes(const QString& name, TRFileTime& creationTime, TRFileTime& writeTime)
{
    writeTime = RfoGetFileWriteTime(name);
    const QDateTime birth = QFileInfo(name).birthTime();
    creationTime = birth.isValid()
                       ? birth.toMSecsSinceEpoch() * 10'000 + kUnixEpochTicks
                       : writeTime;
}

int RfoSetFileCreationTime(const QString&, TRFileTime)
{
    return 0;
}

int RfoSetFileWriteTime(const QString& name, TRFileTime time)
{
    struct timespec times[2];
    times[0].tv_sec = 0;
    times[0].tv_nsec = UTIME_OMIT;
    times[1] = ToTimespec(time);
    if (!Call(TRfoCall::SetTimes, name,
              [&] { return ::utimensat(AT_FDCWD, Native(name).constData(), times, 0); }))
        return LastCode();
    return 0;
}

int RfoSetFileTimes(const QString& name, TRFileTime, TRFileTime writeTime)
{
    return RfoSetFileWriteTime(name, writeTime);
}

TDateTime RfoFileTimeToDateTime(TRFileTime time)
{
    const std::int64_t ms = (time - kUnixEpochTicks) / 10'000;
    return FromQDateTime(QDateTime::fromMSecsSinceEpoch(ms).toLocalTime());
}

TRFileTime RfoDateTimeToFileTime(TDateTime time)
{
    return ToQDateTime(time).toMSecsSinceEpoch() * 10'000 + kUnixEpochTicks;
}

int RfoCompareFileTimes(TRFileTime a, TRFileTime b)
{
    const std::int64_t sa = FloorSeconds(a);
    const std::int64_t sb = FloorSeconds(b);
    return sa < sb ? -1 : (sa > sb ? 1 : 0);
}

bool RfoFilesEqual(const QString& a, const QString& b, bool withTime)
{
    if (!RfoFileExists(a) || !RfoFileExists(b))
        return false;
    try {
        if (RfoGetFileSize(a, true) != RfoGetFileSize(b, true))
            return false;
        if (withTime && RfoCompareFileTimes(RfoGetFileWriteTime(a), RfoGetFileWriteTime(b)) != 0)
            return false;
        return FileCrc32(a) == FileCrc32(b);
    } catch (const Exception&) {
        return false;
    }
}

bool ForceDirs(const QString& dir)
{
    if (dir.isEmpty())
        throw EInOutError(3, Format(LoadResString(SDirNotFound), {dir}));
    const QString path = ExcludeTrailingDelimiter(RfoExpandFileName(dir));
    if (path == QLatin1String("/") || RfoDirectoryExists(path))
        return true;
    const QString parent = ExtractFilePath(path);
    if (!parent.isEmpty() && parent != path && !ForceDirs(parent))
        return false;
    return RfoCreateDir(path) || RfoDirectoryExists(path);
}

QString RfoExpandFileName(const QString& name)
{
    const QString absolute = QDir::isAbsolutePath(name) ? name : QDir::current().absoluteFilePath(name);
    QString clean = QDir::cleanPath(absolute);
    if ((name.endsWith(QLatin1Char('/')) || name.isEmpty()) && !clean.endsWith(QLatin1Char('/')))
        clean += QLatin1Char('/');
    return clean;
}

QString FreeBackupFileName(const QString& name)
{
    // A name without extension gets one to work on, so that the loop always ends on a name
    // that "*.~*" finds again.
    QString result = name;
    if (ExtractFileExt(result).isEmpty()) {
        result += QStringLiteral(".~");
    } else {
        result.insert(result.size() - ExtractFileExt(result).size() + 1, QLatin1Char('~'));
    }
    while (QFileInfo::exists(result) || QFileInfo(result).isSymLink())
        result.insert(result.size() - ExtractFileExt(result).size() + 1, QLatin1Char('~'));
    return result;
}

bool MatchesMasks(const QString& fileName, const QString& masks)
{
    for (const QString& part : masks.split(QLatin1Char(';'))) {
        const QString mask = part.trimmed();
        if (mask.isEmpty())
            continue;
        if (WildMatch(mask, fileName))
            return true;
        // "name.*" also stands for "name" without any extension.
        if (mask.endsWith(QLatin1String(".*")) && WildMatch(mask.left(mask.size() - 2), fileName))
            return true;
    }
    return false;
}

int RfoCreateNewFile(const QString& name, unsigned mode)
{
    struct stat st {};
    if (::lstat(Native(name).constData(), &st) == 0 && !S_ISDIR(st.st_mode) && !RfoDeleteFile(name))
        return -1;
    if (const int injected = InjectedFailure(TRfoCall::CreateWrite, name)) {
        SetLastCode(injected);
        return -1;
    }
    const int fd = ::open(Native(name).constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC,
                          static_cast<mode_t>(mode));
    SetLastCode(fd < 0 ? errno : 0);
    return fd;
}

void RfoCheckRegularFile(const QString& name, qint64 maxBytes)
{
    // The one rule of every read: opened as the read would open it, and let go at once.
    try {
        ::close(OpenRegularFile(name, maxBytes));
    } catch (const EFileReadError& e) {
        if (e.Code() != ENOENT)
            throw Exception(Format(LoadResString(SFileNotReadable), {name, e.Message()}));
    }
}
