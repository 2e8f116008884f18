#include "support/RKrnlUtils.h"
#include "support/RSysUtils.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

#include <csignal>
#include <sys/types.h>

namespace {

bool WaitFor(bool wanted, const QString& name, int ms = 5000)
{
    QElapsedTimer timer;
    timer.start();
    while (IsProcessRunning(name, true) != wanted) {
        if (timer.elapsed() > ms)
            return false;
        QThread::msleep(20);
    }
    return true;
}

pid_t ReadPid(const QString& fileName)
{
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < 5000) {
        QFile file(fileName);
        if (file.open(QIODevice::ReadOnly)) {
            const pid_t pid = file.readAll().trimmed().toInt();
            if (pid > 0)
                return pid;
        }
        QThread::msleep(10);
    }
    return 0;
}

} // namespace

TEST(RKrnlUtils, FindsAProgramByItsFullPathOrItsFileName)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    // Longer than the 15 characters a process name keeps.
    const QString base = QFileInfo(dir.path()).canonicalFilePath() + "/";
    const QString program = base + "Long_Program_Name_Beyond_15";
    ASSERT_TRUE(QFile::copy("/bin/sleep", program));
    const QString pidFile = dir.filePath("pid");
    RunProcessWait("", "/bin/sh -c 'echo $$ > \"" + pidFile + "\"; exec \"" + program + "\" 30'", SW_SHOW, 0,
                   nullptr, false);
    const pid_t pid = ReadPid(pidFile);
    ASSERT_GT(pid, 0);

    ASSERT_TRUE(WaitFor(true, program));
    EXPECT_TRUE(IsProcessRunning(program, false));
    EXPECT_TRUE(IsProcessRunning("Long_Program_Name_Beyond_15", true));
    EXPECT_TRUE(IsProcessRunning("long_program_name_beyond_15", true));   // a bare name: any letter case
    EXPECT_FALSE(IsProcessRunning(base + "long_program_name_beyond_15", true));
    EXPECT_FALSE(IsProcessRunning("Long_Program_Name_Beyond_1", true));
    EXPECT_FALSE(IsProcessRunning(base + "other/Long_Program_Name_Beyond_15", true));
    EXPECT_FALSE(IsProcessRunning("", true));

    // Replaced on disk while running, as by an update: still that program.
    ASSERT_TRUE(QFile::remove(program));
    EXPECT_TRUE(IsProcessRunning(program, true));

    ASSERT_EQ(kill(pid, SIGKILL), 0);
    EXPECT_TRUE(WaitFor(false, program));
    EXPECT_FALSE(IsProcessRunning("Long_Program_Name_Beyond_15", true));
}

TEST(RKrnlUtils, TheCallingProcessCounts)
{
    EXPECT_TRUE(IsProcessRunning(QCoreApplication::applicationFilePath(), false));
    EXPECT_TRUE(IsProcessRunning(QFileInfo(QCoreApplication::applicationFilePath()).fileName(), false));
}
