#include "platform/FolderLock.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cerrno>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// Exit codes of the probe process.
constexpr int kProbeTook = 0;
constexpr int kProbeRefused = 1;
constexpr int kProbeFailed = 2;

// Tries the hold from a separate process, the way a second copy of the program would.
int ProbeFromOtherProcess(const QString& folder)
{
    const pid_t pid = ::fork();
    if (pid < 0)
        return -1;
    if (pid == 0) {
        TFolderLock lock;
        const bool took = lock.Acquire(folder);
        ::_exit(took ? kProbeTook : (lock.HeldElsewhere() ? kProbeRefused : kProbeFailed));
    }
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

void WriteFile(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    ASSERT_EQ(f.write(bytes), bytes.size());
}

} // namespace

TEST(FolderLockTest, SecondHolderIsRefusedUntilTheFirstLetsGo)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());

    TFolderLock first;
    ASSERT_TRUE(first.Acquire(dir.path()));
    EXPECT_TRUE(first.IsHeld());

    // Another holder inside the same process counts as a second copy as well.
    TFolderLock second;
    EXPECT_FALSE(second.Acquire(dir.path()));
    EXPECT_FALSE(second.IsHeld());
    EXPECT_TRUE(second.HeldElsewhere());
    EXPECT_EQ(ProbeFromOtherProcess(dir.path()), kProbeRefused);

    first.Release();
    EXPECT_FALSE(first.IsHeld());
    EXPECT_TRUE(second.Acquire(dir.path()));
    EXPECT_EQ(ProbeFromOtherProcess(dir.path()), kProbeRefused);
    second.Release();
    EXPECT_EQ(ProbeFromOtherProcess(dir.path()), kProbeTook);

    // The destructor lets go too.
    {
        TFolderLock scoped;
        ASSERT_TRUE(scoped.Acquire(dir.path()));
        EXPECT_EQ(ProbeFromOtherProcess(dir.path()), kProbeRefused);
    }
    EXPECT_EQ(ProbeFromOtherProcess(dir.path()), kProbeTook);
}

TEST(FolderLockTest, HoldSurvivesFilesReplacedByRename)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString data = dir.filePath("data.lsk");
    WriteFile(data, "old");

    TFolderLock lock;
    ASSERT_TRUE(lock.Acquire(dir.path()));
    // A rewrite through a temporary file replaces the file's inode.
    const QString temp = dir.filePath("data.~tmp");
    WriteFile(temp, "new");
    ASSERT_EQ(::rename(QFile::encodeName(temp).constData(), QFile::encodeName(data).constData()), 0);

    EXPECT_EQ(ProbeFromOtherProcess(dir.path()), kProbeRefused);
}

TEST(FolderLockTest, FolderThatCannotBeOpened)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());

    TFolderLock lock;
    EXPECT_FALSE(lock.Acquire(dir.filePath("missing")));
    EXPECT_EQ(lock.Error(), ENOENT);
    EXPECT_FALSE(lock.HeldElsewhere());

    const QString file = dir.filePath("plain.txt");
    WriteFile(file, "x");
    EXPECT_FALSE(lock.Acquire(file));
    EXPECT_EQ(lock.Error(), ENOTDIR);

    // A failed attempt does not keep an earlier hold either: Acquire starts afresh.
    ASSERT_TRUE(lock.Acquire(dir.path()));
    EXPECT_FALSE(lock.Acquire(dir.filePath("missing")));
    EXPECT_FALSE(lock.IsHeld());
    EXPECT_EQ(ProbeFromOtherProcess(dir.path()), kProbeTook);
}

TEST(FolderLockTest, ProgramsStartedByTheHolderDoNotInheritTheHold)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());

    TFolderLock lock;
    ASSERT_TRUE(lock.Acquire(dir.path()));
    QProcess child;
    child.start("sleep", {"30"});
    ASSERT_TRUE(child.waitForStarted());

    lock.Release();
    // Had the started program inherited the descriptor, it would still hold the folder.
    EXPECT_EQ(ProbeFromOtherProcess(dir.path()), kProbeTook);

    child.kill();
    child.waitForFinished();
}
