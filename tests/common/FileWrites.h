#pragma once

#include <QByteArray>
#include <QFile>
#include <QFileInfo>
#include <QString>

#include <sys/inotify.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
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
