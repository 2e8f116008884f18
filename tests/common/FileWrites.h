#pragma once

#include <QByteArray>
#include <QFile>
#include <QFileInfo>
#include <QString>

#include <sys/inotify.h>
#include <sys/resource.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <csignal>
#include <cstring>

// Counts how often a file is written: each atomic save renames its temporary file over the
// target (one "moved to" of the target's name), a plain write closes the target after writing.
// Seen by the kernel, not through any seam of the code under test, so a save that goes around
// the helpers is counted too. Events from the construction on.
class TFileWriteCounter {
public:
    explicit TFileWriteCounter(const QString& fileName)
        : FName(QFile::encodeName(QFileInfo(fileName).fileName())),
          FHandle(inotify_init1(IN_NONBLOCK | IN_CLOEXEC))
    {
        if (FHandle >= 0)
            FWatch = inotify_add_watch(FHandle, QFile::encodeName(QFileInfo(fileName).absolutePath()).constData(),
                                       IN_MOVED_TO | IN_CLOSE_WRITE);
    }
    ~TFileWriteCounter()
    {
        if (FHandle >= 0)
            close(FHandle);
    }
    TFileWriteCounter(const TFileWriteCounter&) = delete;
    TFileWriteCounter& operator=(const TFileWriteCounter&) = delete;

    bool IsValid() const { return FHandle >= 0 && FWatch >= 0; }

    // The writes of the file so far.
    int Count()
    {
        alignas(inotify_event) char buffer[16 * (sizeof(inotify_event) + NAME_MAX + 1)];
        for (;;) {
            const ssize_t got = read(FHandle, buffer, sizeof(buffer));
            if (got <= 0)
                break;
            for (ssize_t at = 0; at < got;) {
                inotify_event event;
                std::memcpy(&event, buffer + at, sizeof(event));
                const char* name = buffer + at + sizeof(inotify_event);
                if (event.len > 0 && FName == QByteArray(name))
                    ++FCount;
                at += static_cast<ssize_t>(sizeof(inotify_event) + event.len);
            }
        }
        return FCount;
    }

private:
    QByteArray FName;
    int FHandle = -1;
    int FWatch = -1;
    int FCount = 0;
};

// Writes that find no room, for every user and without a mount: two ways the system itself
// refuses them.

// Files may not grow beyond the limit while this lives: a write past it fails with EFBIG (the
// signal that would end the process is ignored meanwhile). The limit is the process's, so it
// holds for every file the code under test writes, and for its helpers' temporary files.
class TFileSizeLimit {
public:
    explicit TFileSizeLimit(rlim_t bytes)
    {
        ::getrlimit(RLIMIT_FSIZE, &FOld);
        FOldSignal = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = FOld;
        limit.rlim_cur = bytes;
        FActive = ::setrlimit(RLIMIT_FSIZE, &limit) == 0;
    }
    ~TFileSizeLimit()
    {
        ::setrlimit(RLIMIT_FSIZE, &FOld);
        std::signal(SIGXFSZ, FOldSignal);
    }
    TFileSizeLimit(const TFileSizeLimit&) = delete;
    TFileSizeLimit& operator=(const TFileSizeLimit&) = delete;

    bool Active() const { return FActive; }

private:
    rlimit FOld{};
    void (*FOldSignal)(int) = nullptr;
    bool FActive = false;
};

// The file becomes a link to the system's always-full device: whatever opens the name and
// writes through it gets ENOSPC, as on a full disk. False when the link cannot be made.
inline bool PointAtFullDevice(const QString& fileName)
{
    if (!QFileInfo::exists(QStringLiteral("/dev/full")))
        return false;
    QFile::remove(fileName);
    return QFile::link(QStringLiteral("/dev/full"), fileName);
}
