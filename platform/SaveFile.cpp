#include "platform/SaveFile.h"

#include "platform/DelphiText.h"
#include "platform/Exceptions.h"
#include "platform/ReadFile.h"
#include "platform/ResString.h"
#include "platform/ScopeGuard.h"
#include "platform/SysErrorText.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <limits>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const TResString SSaveError = RESSTR("SaveFile", "Ошибка записи файла \"%s\": %s");

// Small record writes are gathered into one system call per this many bytes.
constexpr qsizetype BufferSize = 64 * 1024;

// Writes everything or returns the error number (0 on success).
int WriteAll(int handle, const char* data, qint64 size)
{
    while (size > 0) {
        const ssize_t done = ::write(handle, data, static_cast<size_t>(size));
        if (done < 0) {
            if (errno == EINTR)
                continue;
            return errno;
        }
        if (done == 0)
            return EIO;
        data += done;
        size -= done;
    }
    return 0;
}

// The rename is in the folder's own record only once the folder is flushed too. The new
// content is in place by then, so a failure here is not reported as a failed save.
void SyncFolderOf(const QByteArray& path)
{
    const qsizetype slash = path.lastIndexOf('/');
    const QByteArray folder = slash < 0 ? QByteArray(".") : slash == 0 ? QByteArray("/") : path.left(slash);
    const int handle = ::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (handle < 0)
        return;
    ::fsync(handle);
    ::close(handle);
}

} // namespace

QString TSaveFile::TempFileName(const QString& fileName)
{
    return fileName + QLatin1String(TempSuffix);
}

TSaveFile::TSaveFile(const QString& fileName)
    : FFileName(fileName)
{
    QString target = fileName;
    const QFileInfo info(fileName);
    if (info.isSymLink()) {
        const QString resolved = info.canonicalFilePath();   // empty for a dangling link
        // A link to a device or a pipe is replaced itself: a save never puts a file in the
        // place of a device node.
        struct stat pointed {};
        if (!resolved.isEmpty() && ::stat(QFile::encodeName(resolved).constData(), &pointed) == 0
            && (S_ISREG(pointed.st_mode) || S_ISDIR(pointed.st_mode)))
            target = resolved;
    }
    FTarget = QFile::encodeName(target);
    FTemp = QFile::encodeName(TempFileName(target));

    struct stat old {};
    const bool keepMode = ::stat(FTarget.constData(), &old) == 0 && S_ISREG(old.st_mode);

    // A temporary file left by an interrupted save holds nothing anyone needs.
    if (::unlink(FTemp.constData()) != 0 && errno != ENOENT)
        Fail(errno);
    FHandle = ::open(FTemp.constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
    if (FHandle < 0)
        Fail(errno);
    FTempCreated = true;
    if (keepMode && ::fchmod(FHandle, old.st_mode & 07777) != 0)
        Fail(errno);
    FBuffer.reserve(BufferSize);
}

TSaveFile::~TSaveFile()
{
    if (!FDone)
        Discard();
}

void TSaveFile::Write(const char* data, qint64 size)
{
    if (FDone)
        Fail(EBADF);
    if (size <= 0)
        return;
    if (FBuffer.size() + size > BufferSize) {
        FlushBuffer();
        if (size >= BufferSize) {
            if (const int error = WriteAll(FHandle, data, size))
                Fail(error);
            return;
        }
    }
    FBuffer.append(data, static_cast<qsizetype>(size));
}

void TSaveFile::FlushBuffer()
{
    if (FBuffer.isEmpty())
        return;
    const int error = WriteAll(FHandle, FBuffer.constData(), FBuffer.size());
    FBuffer.clear();
    if (error)
        Fail(error);
}

void TSaveFile::Commit()
{
    if (FDone)
        Fail(EBADF);
    FlushBuffer();
    if (::fsync(FHandle) != 0)
        Fail(errno);
    const int handle = FHandle;
    FHandle = -1;
    if (::close(handle) != 0)
        Fail(errno);
    if (::rename(FTemp.constData(), FTarget.constData()) != 0)
        Fail(errno);
    FTempCreated = false;
    FDone = true;
    SyncFolderOf(FTarget);
}

void TSaveFile::Fail(int error)
{
    Discard();
    throw Exception(Format(LoadResString(SSaveError), {FFileName, SystemErrorText(error)}));
}

void TSaveFile::Discard() noexcept
{
    if (FHandle >= 0)
        ::close(FHandle);
    FHandle = -1;
    if (FTempCreated)
        ::unlink(FTemp.constData());
    FTempCreated = false;
    FBuffer.clear();
    FDone = true;
}

void AppendToFile(const QString& fileName, const QByteArray& bytes)
{
    const int handle = ::open(QFile::encodeName(fileName).constData(),
                              O_WRONLY | O_APPEND | O_CREAT | O_NONBLOCK | O_NOCTTY | O_CLOEXEC, 0666);
    if (handle < 0)
        throw Exception(SystemErrorText(errno));
    const TFinally closer([handle] { ::close(handle); });
    CheckRegularFile(handle, std::numeric_limits<qint64>::max());
    if (const int error = WriteAll(handle, bytes.constData(), bytes.size()))
        throw Exception(SystemErrorText(error));
}

void SaveFileAtomic(const QString& fileName, const QByteArray& data)
{
    TSaveFile file(fileName);
    file.Write(data);
    file.Commit();
}
