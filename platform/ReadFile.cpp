#include "platform/ReadFile.h"

#include "platform/DelphiText.h"
#include "platform/ResString.h"
#include "platform/SysErrorText.h"

#include <QFile>

#include <cerrno>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const TResString SNotRegular = RESSTR("ReadFile", "это не обычный файл, а канал или устройство");
const TResString STooLarge = RESSTR("ReadFile", "размер файла превышает допустимый (%d байт)");
const TResString SNoReadRights = RESSTR("ReadFile", "нет прав на чтение этого файла");

[[noreturn]] void RaiseCode(int code)
{
    throw EFileReadError(ReadErrorText(code), code);
}

[[noreturn]] void RaiseTooLarge(qint64 maxBytes)
{
    throw EFileReadError(Format(LoadResString(STooLarge), {maxBytes}), 0);
}

// A regular file of at most maxBytes; a folder is told as the system tells it.
void CheckKind(const struct stat& st, qint64 maxBytes)
{
    if (S_ISDIR(st.st_mode))
        RaiseCode(EISDIR);
    if (!S_ISREG(st.st_mode))
        throw EFileReadError(LoadResString(SNotRegular), 0);
    if (st.st_size > maxBytes)
        RaiseTooLarge(maxBytes);
}

struct TDescriptor {
    int Fd = -1;
    ~TDescriptor()
    {
        if (Fd >= 0)
            ::close(Fd);
    }
    int Release()
    {
        const int fd = Fd;
        Fd = -1;
        return fd;
    }
};

} // namespace

QString ReadErrorText(int code)
{
    if (code == EACCES || code == EPERM)
        return LoadResString(SNoReadRights);
    return SystemErrorText(code);
}

int OpenRegularFile(const QString& fileName, qint64 maxBytes)
{
    if (fileName.isEmpty())
        RaiseCode(ENOENT);
    const QByteArray name = QFile::encodeName(fileName);
    // What stands at the name is looked at before it is opened: opening a device can do
    // something of its own, opening a pipe lets a writer waiting on it go on, and a socket
    // cannot be opened at all. The descriptor is looked at again, since the name may have
    // been replaced in between.
    struct stat st {};
    if (::stat(name.constData(), &st) != 0)
        RaiseCode(errno);
    CheckKind(st, maxBytes);
    TDescriptor file;
    file.Fd = ::open(name.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (file.Fd < 0)
        RaiseCode(errno);
    CheckRegularFile(file.Fd, maxBytes);
    // Reads of a regular file do not wait anyway; the flag only kept the open from waiting.
    const int flags = ::fcntl(file.Fd, F_GETFL);
    if (flags >= 0)
        ::fcntl(file.Fd, F_SETFL, flags & ~O_NONBLOCK);
    return file.Release();
}

void CheckRegularFile(int fd, qint64 maxBytes)
{
    struct stat st {};
    if (::fstat(fd, &st) != 0)
        RaiseCode(errno);
    CheckKind(st, maxBytes);
}

QByteArray ReadRegularFile(const QString& fileName, qint64 maxBytes)
{
    TDescriptor file;
    file.Fd = OpenRegularFile(fileName, maxBytes);
    QByteArray data;
    char buffer[65536];
    for (;;) {
        const ssize_t count = ::read(file.Fd, buffer, sizeof buffer);
        if (count < 0 && errno == EINTR)
            continue;
        if (count < 0)
            RaiseCode(errno);
        if (count == 0)
            return data;
        if (data.size() + count > maxBytes)
            RaiseTooLarge(maxBytes);
        data.append(buffer, static_cast<qsizetype>(count));
    }
}
