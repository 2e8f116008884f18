#include "platform/FolderLock.h"

#include <QFile>

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

TFolderLock::~TFolderLock()
{
    Release();
}

bool TFolderLock::Acquire(const QString& folder)
{
    Release();
    FError = 0;
    FFolder = folder;
    const QByteArray path = QFile::encodeName(folder);
    // O_CLOEXEC: a copy started by this one (the restart after an update) must not inherit
    // the hold, or it would lock itself out.
    const int fd = ::open(path.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) {
        FError = errno;
        return false;
    }
    int rc;
    do {
        rc = ::flock(fd, LOCK_EX | LOCK_NB);
    } while (rc != 0 && errno == EINTR);
    if (rc != 0) {
        FError = errno;
        ::close(fd);
        return false;
    }
    FHandle = fd;
    return true;
}

void TFolderLock::Release()
{
    if (FHandle < 0)
        return;
    // Closing the only descriptor of the open file ends the hold.
    ::close(FHandle);
    FHandle = -1;
}

bool TFolderLock::HeldElsewhere() const
{
    return FError == EWOULDBLOCK || FError == EAGAIN;
}
