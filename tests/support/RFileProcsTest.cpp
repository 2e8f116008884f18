#include "support/RFileProcs.h"

#include "support/RSysUtils.h"
#include "tests/support/RFileProcsTestHelpers.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdint>
#include <sys/stat.h>

using namespace rfo_test;

namespace {

// The options the log commands delete their logs with.
constexpr std::uint32_t kDeleteLogs = 14340;

} // namespace

TEST(RFileProcs, MasksIgnoreCaseAndStarDotStarMatchesEveryName)
{
    EXPECT_TRUE(MatchesMasks("ScriptLog_2.TXT", "ScriptLog_*.txt"));
    EXPECT_TRUE(MatchesMasks("README", "*.*"));
    EXPECT_TRUE(MatchesMasks("a.b.c", "*.*"));
    EXPECT_TRUE(MatchesMasks("data", "data.*"));
    EXPECT_TRUE(MatchesMasks("prog.~", "*.~*"));
    EXPECT_TRUE(MatchesMasks("Tavrix.~exe", "*.~*"));
    EXPECT_FALSE(MatchesMasks("Tavrix.exe", "*.~*"));
    EXPECT_TRUE(MatchesMasks("a1.log", " *.txt ; a?.log "));
    EXPECT_FALSE(MatchesMasks("a12.log", "*.txt;a?.log"));
    EXPECT_FALSE(MatchesMasks("x.txt", ""));
}

TEST(RFileProcs, FileListKeepsOrderAndDropsDuplicates)
{
    TRFileList list;
    list.Add("/a/x", kRfiFile);
    list.Add("/a/y/", kRfiFolder);
    list.Add("/a/x", kRfiFile);
    list.Add("/a/X", kRfiFile);   // another file on this system
    EXPECT_EQ(list.Count(), 3);
    EXPECT_EQ(list.IndexOf("/a/y/"), 1);
    TRFileItem item;
    EXPECT_FALSE(list.GetItem(3, item));
    EXPECT_FALSE(list.GetItem(-1, item));
    ASSERT_TRUE(list.GetItem(1, item));
    EXPECT_EQ(item.Kind, kRfiFolder);
    list.Delete(7);
    list.Delete(0);
    EXPECT_EQ(list.Count(), 2);
    EXPECT_EQ(list.IndexOf("/a/x"), -1);
}

TEST(RFileProcs, BackupNamesAlwaysEnd)
{
    QTemporaryDir dir;
    const QString exe = dir.filePath("Tavrix.exe");
    WriteFile(exe, "1");
    EXPECT_EQ(FreeBackupFileName(exe), dir.filePath("Tavrix.~exe"));
    WriteFile(dir.filePath("Tavrix.~exe"), "2");
    EXPECT_EQ(FreeBackupFileName(exe), dir.filePath("Tavrix.~~exe"));
    // A name without extension, which would otherwise be tried for ever.
    const QString prog = dir.filePath("prog");
    WriteFile(prog, "3");
    EXPECT_EQ(FreeBackupFileName(prog), dir.filePath("prog.~"));
    WriteFile(dir.filePath("prog.~"), "4");
    EXPECT_EQ(FreeBackupFileName(prog), dir.filePath("prog.~~"));
}

TEST(RFileProcs, ExistenceAgeAndTimes)
{
    QTemporaryDir dir;
    const QString file = dir.filePath("f.dat");
    WriteFile(file, "12345");
    EXPECT_TRUE(RfoFileExists(file));
    EXPECT_FALSE(RfoFileExists(dir.path()));
    EXPECT_FALSE(RfoFileExists(dir.filePath("none")));
    EXPECT_TRUE(RfoDirectoryExists(dir.path()));
    EXPECT_FALSE(RfoDirectoryExists(file));
    EXPECT_EQ(RfoFileAge(dir.path()), -1);
    EXPECT_EQ(RfoGetFileSize(file, false), 5);
    EXPECT_EQ(RfoGetFileSize(dir.filePath("none"), false), -1);
    EXPECT_THROW(RfoGetFileSize(dir.filePath("none"), true), ESystemError);
    EXPECT_THROW(RfoGetFileWriteTime(dir.filePath("none")), ESystemError);

    // 1 August 2016 12:30:46 local: date 36<<9 | 8<<5 | 1, time 12<<11 | 30<<5 | 46/2.
    SetWriteTime(file, EncodeDateTime(2016, 8, 1, 12, 30, 46, 0));
    EXPECT_EQ(RfoFileAge(file), 0x490163D7);
    EXPECT_EQ(ToQDateTime(RfoFileTimeToDateTime(RfoGetFileWriteTime(file))),
              QDateTime(QDate(2016, 8, 1), QTime(12, 30, 46)));
    // Beyond the DOS range's sign bit: the file still exists.
    SetWriteTime(file, EncodeDateTime(2050, 1, 1, 0, 0, 0, 0));
    EXPECT_EQ(RfoFileAge(file), static_cast<std::int32_t>(0x8C210000u));
    EXPECT_TRUE(RfoFileExists(file));

    const TRFileTime t = RfoDateTimeToFileTime(EncodeDateTime(2016, 8, 1, 12, 0, 0, 0));
    EXPECT_EQ(RfoCompareFileTimes(t + 3'000'000, t + 9'000'000), 0);   // .3 s and .9 s
    EXPECT_EQ(RfoCompareFileTimes(t + 9'000'000, t + 10'000'000), -1);
    EXPECT_EQ(RfoCompareFileTimes(t + 10'000'000, t), 1);

    TRFileTime creation = 0, write = 0;
    RfoGetFileTimes(file, creation, write);
    EXPECT_EQ(write, RfoGetFileWriteTime(file));
    EXPECT_NE(creation, 0);
    EXPECT_EQ(RfoSetFileCreationTime(file, t), 0);
}

TEST(RFileProcs, ReadOnlyIsTheOwnerWritePermission)
{
    QTemporaryDir dir;
    const QString file = dir.filePath("ro.txt");
    WriteFile(file, "x");
    EXPECT_EQ(RfoGetFileAttr(file) & kRfaReadOnly, 0);
    EXPECT_EQ(RfoGetFileAttr(dir.path()) & kRfaDirectory, kRfaDirectory);
    EXPECT_EQ(RfoGetFileAttr(dir.filePath("none")), -1);
    ASSERT_EQ(RfoSetFileAttr(file, kRfaReadOnly), 0);
    EXPECT_EQ(QFileInfo(file).permissions() & QFileDevice::WriteOwner, 0);
    EXPECT_EQ(RfoGetFileAttr(file) & kRfaReadOnly, kRfaReadOnly);
    ASSERT_EQ(RfoSetFileAttr(file, 0), 0);
    EXPECT_NE(QFileInfo(file).permissions() & QFileDevice::WriteOwner, 0);
    {
        TInjected fail([](TRfoCall call, const QString&) { return call == TRfoCall::SetAttr ? EPERM : 0; });
        EXPECT_EQ(RfoSetFileAttr(file, kRfaReadOnly), EPERM);
    }
}

TEST(RFileProcs, ForceDirsAndExpandFileName)
{
    QTemporaryDir dir;
    const QString deep = dir.filePath("a/b/c");
    EXPECT_TRUE(ForceDirs(deep));
    EXPECT_TRUE(QFileInfo(deep).isDir());
    EXPECT_TRUE(ForceDirs(deep + "/"));
    try {
        ForceDirs(QString());
        FAIL() << "no error for an empty name";
    } catch (const EInOutError& e) {
        EXPECT_EQ(e.ErrorCode(), 3);
        EXPECT_EQ(e.Message(), QStringLiteral("Каталог \"\" не найден!"));
    }
    {
        TInjected fail([](TRfoCall call, const QString&) { return call == TRfoCall::CreateDir ? EACCES : 0; });
        EXPECT_FALSE(ForceDirs(dir.filePath("x/y")));
    }
    const QString saved = QDir::currentPath();
    QDir::setCurrent(dir.path());
    EXPECT_EQ(RfoExpandFileName("a/../b/"), QDir(dir.path()).canonicalPath() + "/b/");
    EXPECT_EQ(RfoExpandFileName("/x/./y/../z"), "/x/z");
    QDir::setCurrent(saved);
}

TEST(RFileProcs, DeleteLogsSkipsReadOnlyAndLeavesOtherFiles)
{
    QTemporaryDir dir;
    for (const char* name : {"ScriptLog_1.txt", "ScriptLog_2.TXT", "ScriptLog_3.txt", "other.txt"})
        WriteFile(dir.filePath(name), "x");
    RfoSetFileAttr(dir.filePath("ScriptLog_3.txt"), kRfaReadOnly);
    QDir().mkpath(dir.filePath("ScriptLog_dir.txt"));
    EXPECT_TRUE(FindFilesByMask(dir.path(), "ScriptLog_*.txt", kRfaAnyFile));
    EXPECT_FALSE(FindFilesByMask(dir.path(), "*.log", kRfaAnyFile));

    TROperation op;
    DeleteByMask(dir.filePath("ScriptLog_*.txt"), kDeleteLogs, 0, 0, 1, 0, {}, op);
    EXPECT_EQ(op.Kind, TRMsgKind::Ok);
    EXPECT_EQ(op.Name, QStringLiteral("Удаление \"%1\"").arg(RfoExpandFileName(dir.filePath("ScriptLog_*.txt"))));
    EXPECT_EQ(op.Text, QStringLiteral("Всего - 3, обработано - 2, пропущено - 1, предупреждений - 0, ошибок - 0."));
    EXPECT_FALSE(QFile::exists(dir.filePath("ScriptLog_1.txt")));
    EXPECT_FALSE(QFile::exists(dir.filePath("ScriptLog_2.TXT")));
    EXPECT_TRUE(QFile::exists(dir.filePath("ScriptLog_3.txt")));
    EXPECT_TRUE(QFile::exists(dir.filePath("other.txt")));
    EXPECT_TRUE(QFileInfo(dir.filePath("ScriptLog_dir.txt")).isDir());
}

TEST(RFileProcs, DeleteByMaskOfAWholeFolderAndOfBackups)
{
    QTemporaryDir dir;
    const QString work = dir.filePath("SelfUpdate");
    WriteFile(work + "/a.bin", "a");
    WriteFile(work + "/sub/deeper/b.bin", "b");
    WriteFile(dir.filePath("keep.exe"), "k");
    WriteFile(dir.filePath("Tavrix.~exe"), "1");
    WriteFile(dir.filePath("prog.~"), "2");

    TROperation backups;
    DeleteByMask(dir.filePath("*.~*"), 0, 0, 0, 1, 0, {}, backups);
    EXPECT_EQ(backups.Processed, 2);
    EXPECT_FALSE(QFile::exists(dir.filePath("Tavrix.~exe")));
    EXPECT_TRUE(QFile::exists(dir.filePath("keep.exe")));

    TROperation op;
    DeleteByMask(work + "/", kRfoRecursive, 0, 0, 1, 0, {}, op);
    EXPECT_EQ(op.Kind, TRMsgKind::Ok);
    EXPECT_EQ(op.Total, 5);   // a.bin, b.bin, deeper/, sub/, SelfUpdate/ - contents first
    EXPECT_EQ(op.Processed, 5);
    EXPECT_FALSE(QFileInfo::exists(work));
    EXPECT_TRUE(QFile::exists(dir.filePath("keep.exe")));
}

TEST(RFileProcs, DeleteEmptyFoldersDeepestFirst)
{
    QTemporaryDir dir;
    QDir().mkpath(dir.filePath("t/a"));
    QDir().mkpath(dir.filePath("t/b/c"));
    WriteFile(dir.filePath("t/b/file"), "x");
    TROperation op;
    DeleteByMask(dir.filePath("t/*"), kRfoEmptyDirs | kRfoRecursive, 0, 0, 1, 0, {}, op);
    EXPECT_EQ(op.Transactions[0].Text, QStringLiteral("Найдено 3 каталог(ов)."));
    EXPECT_FALSE(QFileInfo::exists(dir.filePath("t/a")));
    EXPECT_FALSE(QFileInfo::exists(dir.filePath("t/b/c")));
    EXPECT_TRUE(QFile::exists(dir.filePath("t/b/file")));
    EXPECT_EQ(op.Processed, 2);
    EXPECT_EQ(op.Skipped, 1);
}

TEST(RFileProcs, NothingFoundFollowsTheFinishMode)
{
    QTemporaryDir dir;
    TROperation op;
    DeleteByMask(dir.filePath("*.none"), 0, 2, 0, 1, 0, {}, op);
    EXPECT_EQ(op.Kind, TRMsgKind::Error);
    // The empty search is itself the one error.
    EXPECT_EQ(op.Text, QStringLiteral("Всего - 0, обработано - 0, пропущено - 0, предупреждений - 0, ошибок - 1."))
        << op.Text.toStdString();
    EXPECT_EQ(op.Transactions[0].Text, QStringLiteral("Найдено 0 файл(ов) и (или) каталог(ов)."));

    TROperation missing;
    CopyMoveByMask(dir.filePath("no/such"), dir.filePath("x"), "*", false, 0, 1, 0, 64, 100, 1, 0, {}, missing);
    EXPECT_EQ(missing.Kind, TRMsgKind::Warning);
    EXPECT_EQ(missing.Warnings, 1);
    EXPECT_EQ(missing.Transactions[0].Text,
              QStringLiteral("Каталог \"%1\" не найден!").arg(RfoExpandFileName(dir.filePath("no/such"))));
}
