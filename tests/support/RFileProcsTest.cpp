#include "support/RFileProcs.h"

#include "support/RSysUtils.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cerrno>
#include <sys/stat.h>

namespace {

void WriteFile(const QString& path, const QByteArray& data)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate)) << path.toStdString();
    file.write(data);
}

QByteArray ReadFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

QByteArray Bytes(int size, int seed)
{
    QByteArray data(size, '\0');
    for (int i = 0; i < size; ++i)
        data[i] = static_cast<char>((i * 31 + seed) & 0xFF);
    return data;
}

void SetWriteTime(const QString& path, TDateTime localTime, int extraMs = 0)
{
    ASSERT_EQ(RfoSetFileWriteTime(path, RfoDateTimeToFileTime(localTime) + extraMs * 10'000LL), 0);
}

// Makes chosen file calls fail while it lives.
class TInjected {
public:
    explicit TInjected(TRfoFailHook hook) : FPrevious(SetRfoFailHook(std::move(hook))) {}
    ~TInjected() { SetRfoFailHook(FPrevious); }

private:
    TRfoFailHook FPrevious;
};

QStringList StepNames(const TROperation& op)
{
    QStringList names;
    for (const TRTransaction& t : op.Transactions)
        names.append(t.Name);
    return names;
}

int CountKind(const TROperation& op, TRMsgKind kind)
{
    int n = 0;
    for (const TRTransaction& t : op.Transactions)
        n += t.Kind == kind;
    return n;
}

// The options the self-update copies its unpacked files with.
constexpr std::uint32_t kSelfUpdateCopy = 116691;
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

TEST(RFileProcs, SingleStepsReportTheirOutcome)
{
    QTemporaryDir dir;
    const QString sub = dir.filePath("sub");
    TRTransaction t = CreateDirStep(sub, true);
    EXPECT_EQ(t.Kind, TRMsgKind::Ok);
    EXPECT_EQ(t.Name, QStringLiteral("Создание каталога \"%1\"").arg(sub));
    EXPECT_EQ(CreateDirStep(sub, true).Text, QStringLiteral("Каталог уже существует."));
    t = CreateDirStep(dir.filePath("no/such"), true);
    EXPECT_EQ(t.Kind, TRMsgKind::Error);
    EXPECT_EQ(t.Text, QStringLiteral("Каталог \"%1/\" не найден!").arg(dir.filePath("no")));
    EXPECT_EQ(CreateDirStep(dir.filePath("no/such"), false).Kind, TRMsgKind::Ok);

    t = DeleteFileStep(dir.filePath("none.txt"), 0);
    EXPECT_EQ(t.Kind, TRMsgKind::Error);
    EXPECT_EQ(t.Text, QStringLiteral("Файл \"%1\" не найден!").arg(dir.filePath("none.txt")));

    const QString ro = dir.filePath("ro.txt");
    WriteFile(ro, "x");
    RfoSetFileAttr(ro, kRfaReadOnly);
    t = DeleteFileStep(ro, kRfoSkipReadOnly);
    EXPECT_EQ(t.Kind, TRMsgKind::Skip);
    EXPECT_EQ(t.Text, QStringLiteral("Файл имеет атрибут ReadOnly (Только чтение)."));
    EXPECT_TRUE(QFile::exists(ro));
    {
        TInjected fail([](TRfoCall call, const QString&) { return call == TRfoCall::SetAttr ? EPERM : 0; });
        t = DeleteFileStep(ro, 0);
        EXPECT_EQ(t.Kind, TRMsgKind::Error);
        EXPECT_EQ(t.Text, QStringLiteral("Ошибка изменения атрибутов файла: %1").arg(FormatSysError(EPERM, true)));
    }
    EXPECT_EQ(DeleteFileStep(ro, 0).Kind, TRMsgKind::Ok);   // the attribute is cleared first
    EXPECT_FALSE(QFile::exists(ro));

    WriteFile(dir.filePath("sub/f"), "x");
    t = DeleteDirStep(sub, kRfoEmptyDirs);
    EXPECT_EQ(t.Kind, TRMsgKind::Skip);
    EXPECT_EQ(t.Text, QStringLiteral("Каталог не пустой!"));
    t = DeleteDirStep(sub, 0);
    EXPECT_EQ(t.Kind, TRMsgKind::Error);
    EXPECT_TRUE(t.Text.startsWith(QStringLiteral("Ошибка удаления каталога \"%1\": SysError #").arg(sub)));
}

TEST(RFileProcs, CopyStepNeverLosesTheTarget)
{
    QTemporaryDir dir;
    const QString src = dir.filePath("src/a.txt");
    WriteFile(src, "source");
    // Onto itself: an error, the file untouched, also under another spelling of its name.
    TRTransaction t = CopyMoveFileStep(src, dir.filePath("src/../src/"), false, kRfoOverwrite, 64, 100, {});
    EXPECT_EQ(t.Kind, TRMsgKind::Error);
    EXPECT_EQ(t.Text, QStringLiteral("Нельзя копировать файл сам в себя!"));
    EXPECT_EQ(ReadFile(src), "source");

    const QString dst = dir.filePath("dst/a.txt");
    WriteFile(dst, "target");
    t = CopyMoveFileStep(src, dir.filePath("dst"), false, 0, 64, 100, {});
    EXPECT_EQ(t.Kind, TRMsgKind::Skip);
    EXPECT_EQ(t.Text, QStringLiteral("Файл с заданными свойствами уже существует."));
    EXPECT_EQ(ReadFile(dst), "target");

    // Same size and time but another content: only the CRC tells them apart.
    WriteFile(dst, "SOURCE");
    SetWriteTime(src, EncodeDateTime(2016, 8, 1, 12, 0, 0, 0));
    SetWriteTime(dst, EncodeDateTime(2016, 8, 1, 12, 0, 0, 0), 400);
    const std::uint32_t byTimeSize = kRfoOverwrite | kRfoSameTime | kRfoSameSize;
    EXPECT_EQ(CopyMoveFileStep(src, dir.filePath("dst"), false, byTimeSize, 64, 100, {}).Kind, TRMsgKind::Skip);
    t = CopyMoveFileStep(src, dir.filePath("dst"), false, byTimeSize | kRfoSameCrc, 64, 100, {});
    EXPECT_EQ(t.Kind, TRMsgKind::Ok);
    EXPECT_EQ(ReadFile(dst), "source");
    EXPECT_EQ(t.Text, QStringLiteral("Успешно скопировано 0,01 Kb."));
    EXPECT_EQ(t.Bytes, 6);
    EXPECT_EQ(CopyMoveFileStep(src, dir.filePath("dst"), false, kRfoOverwrite | kRfoSameSize | kRfoSameCrc, 64,
                               100, {}).Kind,
              TRMsgKind::Skip);

    // A failed write removes the half-written temporary file and leaves the old target.
    WriteFile(dst, "old target");
    {
        TInjected fail([](TRfoCall call, const QString& name) {
            return call == TRfoCall::Write && name.endsWith(".tmp") ? ENOSPC : 0;
        });
        t = CopyMoveFileStep(src, dst, false, kRfoOverwrite | kRfoViaTmp, 64, 100, {});
    }
    EXPECT_EQ(t.Kind, TRMsgKind::Error);
    EXPECT_EQ(t.Text, QStringLiteral("Ошибка записи файла: %1").arg(FormatSysError(ENOSPC, true)));
    EXPECT_EQ(ReadFile(dst), "old target");
    EXPECT_FALSE(QFile::exists(dst + ".tmp"));
}

TEST(RFileProcs, CopyStepNamesShortenSharedFolders)
{
    QTemporaryDir dir;
    const QString root = QDir(dir.path()).canonicalPath();
    WriteFile(root + "/work/a.txt", "x");
    QString shortRoot = root;
    shortRoot.replace(QRegularExpression("[^/]+"), "...");
    TRTransaction t = CopyMoveFileStep(root + "/work/a.txt", root + "/prog/", false, kRfoCreateDirs, 64, 100, {});
    EXPECT_EQ(t.Name, QStringLiteral("Копирование \"a.txt\" из \"%1/work\" в \"%2/prog\"").arg(root, shortRoot));
    t = CopyMoveFileStep(root + "/work/a.txt", root + "/prog/b.txt", true, kRfoCreateDirs, 64, 100, {});
    EXPECT_EQ(t.Name, QStringLiteral("Перемещение \"%1/work/a.txt\" в \"%2/prog/b.txt\"").arg(root, shortRoot));
    EXPECT_EQ(t.Text, QStringLiteral("Успешно перемещено 0,00 Kb."));
    EXPECT_FALSE(QFile::exists(root + "/work/a.txt"));
}

TEST(RFileProcs, SelfUpdateCopyInstallsNewAndChangedFilesOnly)
{
    QTemporaryDir dir;
    const QString work = dir.filePath("prog/SelfUpdate");
    const QString prog = dir.filePath("prog");
    WriteFile(work + "/a.txt", Bytes(1000, 1));
    WriteFile(work + "/b.txt", Bytes(10, 2));
    WriteFile(work + "/sub/c.txt", Bytes(2048, 3));
    WriteFile(work + "/run.sh", "#!/bin/sh\n");
    QFile::setPermissions(work + "/run.sh", QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    WriteFile(prog + "/run.sh", "old");
    // b.txt is already installed with the same time, size and content.
    WriteFile(prog + "/b.txt", Bytes(10, 2));
    for (const QString& name : {QStringLiteral("/a.txt"), QStringLiteral("/b.txt"), QStringLiteral("/sub/c.txt"),
                                QStringLiteral("/run.sh")})
        SetWriteTime(work + name, EncodeDateTime(2016, 8, 1, 12, 30, 46, 0));
    SetWriteTime(prog + "/b.txt", EncodeDateTime(2016, 8, 1, 12, 30, 46, 0));

    QList<int> itemProgress;
    TRfoCallbacks callbacks;
    callbacks.ItemProgress = [&](int level, int index, int count) {
        EXPECT_EQ(level, 3);
        EXPECT_EQ(count, 5);
        itemProgress.append(index);
    };
    TROperation op;
    // The work folder lies inside the target: only "*.*" of the work folder is copied.
    CopyMoveByMask(work, prog, "*.*", false, kSelfUpdateCopy, 2, 9, 1024, 100, 1, 0, callbacks, op);

    EXPECT_EQ(op.Kind, TRMsgKind::Ok) << op.Text.toStdString();
    EXPECT_EQ(op.Total, 5);   // a.txt, b.txt, run.sh, sub/, sub/c.txt
    EXPECT_EQ(op.Processed, 4);
    EXPECT_EQ(op.Skipped, 1);
    // 1000 + 2048 + 10 bytes of run.sh = 3058 bytes.
    EXPECT_EQ(op.Text, QStringLiteral("Всего - 5, обработано - 4 ( 2,99 Kb ), пропущено - 1, "
                                      "предупреждений - 0, ошибок - 0."));
    EXPECT_EQ(op.Name, QStringLiteral("Копирование \"*.*\" из \"%1\" в \"%2\"")
                           .arg(RfoExpandFileName(work), RfoExpandFileName(prog)));
    EXPECT_EQ(op.Transactions[0].Text, QStringLiteral("Найдено 5 файл(ов) и (или) каталог(ов)."));
    EXPECT_EQ(op.Transactions[0].Kind, TRMsgKind::Info);
    EXPECT_EQ(ReadFile(prog + "/a.txt"), Bytes(1000, 1));
    EXPECT_EQ(ReadFile(prog + "/sub/c.txt"), Bytes(2048, 3));
    EXPECT_EQ(ReadFile(prog + "/run.sh"), "#!/bin/sh\n");
    EXPECT_TRUE(QFileInfo(prog + "/run.sh").isExecutable());
    EXPECT_FALSE(QFile::exists(prog + "/run.sh.tmp"));
    EXPECT_EQ(RfoCompareFileTimes(RfoGetFileWriteTime(prog + "/sub/c.txt"),
                                  RfoGetFileWriteTime(work + "/sub/c.txt")), 0);
    EXPECT_EQ(itemProgress, (QList<int>{0, 1, 2, 3, 4, 5}));
}

TEST(RFileProcs, FirstErrorStopsTheCopyAndReachesTheViewer)
{
    QTemporaryDir dir;
    WriteFile(dir.filePath("w/a.txt"), "a");
    WriteFile(dir.filePath("w/b.txt"), "b");
    WriteFile(dir.filePath("p/a.txt"), "old a");
    QStringList viewer;
    SetViewerMessageSink([&](const QString&, const QString& text, std::uint32_t, int) { viewer.append(text); });
    TROperation op;
    {
        TInjected fail([](TRfoCall call, const QString& name) {
            return call == TRfoCall::Write && name.contains("a.txt") ? EIO : 0;
        });
        CopyMoveByMask(dir.filePath("w"), dir.filePath("p"), "*.*", false, kSelfUpdateCopy, 2, 9, 1024, 100, 1, 0,
                       {}, op);
    }
    SetViewerMessageSink({});
    EXPECT_EQ(op.Kind, TRMsgKind::Error);
    EXPECT_EQ(op.Errors, 1);
    EXPECT_EQ(op.Transactions.size(), 2);   // the search and a.txt; b.txt is never tried
    EXPECT_FALSE(QFile::exists(dir.filePath("p/b.txt")));
    EXPECT_EQ(ReadFile(dir.filePath("p/a.txt")), "old a");
    ASSERT_EQ(viewer.size(), 1);
    EXPECT_TRUE(viewer[0].contains(QStringLiteral("Ошибка записи файла: ")));
}

TEST(RFileProcs, FailedStepsAreRetriedAndOnlyTheLastFailureCounts)
{
    QTemporaryDir dir;
    WriteFile(dir.filePath("w/a.txt"), "a");
    int failures = 0;
    TROperation op;
    {
        TInjected fail([&](TRfoCall call, const QString&) {
            if (call != TRfoCall::CreateWrite)
                return 0;
            ++failures;
            return EBUSY;
        });
        CopyMoveByMask(dir.filePath("w"), dir.filePath("p"), "*.txt", false, kRfoCreateDirs | kRfoRetry, 0, 0, 64,
                       100, 3, 0, {}, op);
    }
    EXPECT_EQ(failures, 3);
    const QStringList names = StepNames(op);
    ASSERT_EQ(names.size(), 4);
    EXPECT_FALSE(names[1].contains(QStringLiteral("попытка")));
    EXPECT_TRUE(names[2].endsWith(QStringLiteral(" (попытка 2)")));
    EXPECT_TRUE(names[3].endsWith(QStringLiteral(" (попытка 3)")));
    EXPECT_EQ(op.Errors, 1);
    EXPECT_EQ(op.Kind, TRMsgKind::Error);

    // A failure that clears up on the second attempt leaves the operation OK.
    failures = 0;
    TROperation second;
    {
        TInjected fail([&](TRfoCall call, const QString&) {
            return call == TRfoCall::CreateWrite && ++failures == 1 ? EBUSY : 0;
        });
        CopyMoveByMask(dir.filePath("w"), dir.filePath("p"), "*.txt", false, kRfoCreateDirs | kRfoRetry, 0, 0, 64,
                       100, 3, 0, {}, second);
    }
    EXPECT_EQ(second.Kind, TRMsgKind::Ok);
    EXPECT_EQ(second.Errors, 0);
    EXPECT_EQ(CountKind(second, TRMsgKind::Error), 1);
    EXPECT_EQ(ReadFile(dir.filePath("p/a.txt")), "a");
}

TEST(RFileProcs, AbortDuringTheRetryPauseStopsTheOperation)
{
    QTemporaryDir dir;
    WriteFile(dir.filePath("w/a.txt"), "a");
    WriteFile(dir.filePath("w/b.txt"), "b");
    bool failed = false;
    int askedSinceFailure = 0;
    TRfoCallbacks callbacks;
    // Asked once as the pause begins, then during it.
    callbacks.Abort = [&](bool& abort) { abort = failed && ++askedSinceFailure >= 2; };
    QStringList log;
    callbacks.Log = [&](int, TDateTime, TRMsgKind, const QString& text) { log.append(text); };
    TROperation op;
    {
        TInjected fail([&](TRfoCall call, const QString&) {
            if (call != TRfoCall::CreateWrite)
                return 0;
            failed = true;
            return EIO;
        });
        CopyMoveByMask(dir.filePath("w"), dir.filePath("p"), "*", false, kRfoCreateDirs | kRfoRetry, 0, 0, 64, 100,
                       3, 5, callbacks, op);
    }
    EXPECT_EQ(op.Kind, TRMsgKind::Stop);
    EXPECT_EQ(op.Transactions.constLast().Kind, TRMsgKind::Stop);
    EXPECT_EQ(op.Text, QStringLiteral("Операция прервана по команде пользователя или системы!"));
    EXPECT_TRUE(log.contains(QStringLiteral("Во время выполнения операции произошла ошибка! Повторная попытка ( 1 ) "
                                            "будет предпринята через 5 секунд...")));
    EXPECT_FALSE(QFile::exists(dir.filePath("p/b.txt")));
}

TEST(RFileProcs, BusyTargetIsMovedAsideWhenAllowed)
{
    QTemporaryDir dir;
    const QString prog = dir.filePath("p/prog");
    QDir().mkpath(dir.filePath("p"));
    ASSERT_TRUE(QFile::copy("/bin/sleep", prog));
    WriteFile(dir.filePath("w/prog"), "#!/bin/sh\nexit 0\n");
    QProcess running;
    running.start(prog, {"30"});
    ASSERT_TRUE(running.waitForStarted());

    // Without permission to move it aside, a running program cannot be overwritten.
    TROperation refused;
    CopyMoveByMask(dir.filePath("w"), dir.filePath("p"), "*", false, kRfoOverwrite, 0, 0, 64, 100, 1, 0, {}, refused);
    EXPECT_EQ(refused.Kind, TRMsgKind::Error);
    EXPECT_EQ(refused.Transactions.constLast().Text,
              QStringLiteral("Ошибка создания файла: %1").arg(FormatSysError(ETXTBSY, true)));

    TROperation op;
    CopyMoveByMask(dir.filePath("w"), dir.filePath("p"), "*", false, kRfoOverwrite | kRfoMoveBusy, 0, 0, 64, 100, 1,
                   0, {}, op);
    running.kill();
    running.waitForFinished();
    EXPECT_EQ(op.Kind, TRMsgKind::Ok) << op.Transactions.constLast().Text.toStdString();
    EXPECT_EQ(ReadFile(prog), "#!/bin/sh\nexit 0\n");
    EXPECT_TRUE(QFile::exists(prog + ".~"));

    // Replacing through ".tmp": the old file is moved aside when it cannot be deleted.
    WriteFile(dir.filePath("w/a.txt"), "new");
    WriteFile(dir.filePath("p/a.txt"), "old");
    TROperation viaTmp;
    {
        TInjected fail([](TRfoCall call, const QString& name) {
            return call == TRfoCall::DeleteFile && name.endsWith("p/a.txt") ? EBUSY : 0;
        });
        CopyMoveByMask(dir.filePath("w"), dir.filePath("p"), "a.txt", false,
                       kRfoOverwrite | kRfoViaTmp | kRfoMoveBusy, 0, 0, 64, 100, 1, 0, {}, viaTmp);
    }
    EXPECT_EQ(viaTmp.Kind, TRMsgKind::Ok);
    EXPECT_EQ(ReadFile(dir.filePath("p/a.txt")), "new");
    EXPECT_EQ(ReadFile(dir.filePath("p/a.~txt")), "old");
}

TEST(RFileProcs, MovingATreeRemovesEmptiedFoldersOnly)
{
    QTemporaryDir dir;
    WriteFile(dir.filePath("src/d1/f1"), "1");
    WriteFile(dir.filePath("src/d2/f2"), "2");
    RfoSetFileAttr(dir.filePath("src/d2/f2"), kRfaReadOnly);
    TROperation op;
    CopyMoveByMask(dir.filePath("src"), dir.filePath("dst"), "*", true,
                   kRfoRecursive | kRfoCreateDirs | kRfoSkipReadOnly, 0, 0, 64, 100, 1, 0, {}, op);
    EXPECT_EQ(op.Kind, TRMsgKind::Ok);
    EXPECT_EQ(ReadFile(dir.filePath("dst/d1/f1")), "1");
    EXPECT_FALSE(QFileInfo::exists(dir.filePath("src/d1")));
    EXPECT_TRUE(QFileInfo::exists(dir.filePath("src/d2/f2")));
    EXPECT_TRUE(QFileInfo(dir.filePath("dst/d2")).isDir());
    EXPECT_FALSE(QFileInfo::exists(dir.filePath("dst/d2/f2")));
    EXPECT_EQ(op.Total, 4);
    EXPECT_EQ(op.Processed, 4);   // d1/, f1, removal of d1, d2/
    EXPECT_EQ(op.Skipped, 2);     // f2 and the removal of d2
    EXPECT_EQ(op.Transactions.constLast().Text, QStringLiteral("Каталог не пустой!"));
}

TEST(RFileProcs, FlatCopyAndCopyToAFileName)
{
    QTemporaryDir dir;
    WriteFile(dir.filePath("src/a/x.txt"), "x");
    WriteFile(dir.filePath("src/b/y.txt"), "y");
    TRCopyList copied;
    TROperation op;
    CopyMoveByMask(dir.filePath("src/*"), dir.filePath("flat"), "*.txt", false,
                   kRfoCreateDirs | kRfoFlat | kRfoRecordCopies, 0, 0, 64, 100, 1, 0, {}, op, &copied);
    EXPECT_EQ(op.Kind, TRMsgKind::Ok);
    EXPECT_EQ(ReadFile(dir.filePath("flat/x.txt")), "x");
    EXPECT_EQ(ReadFile(dir.filePath("flat/y.txt")), "y");
    ASSERT_EQ(copied.size(), 2);
    EXPECT_EQ(copied[1].Source, RfoExpandFileName(dir.filePath("src/b/y.txt")));
    EXPECT_EQ(copied[1].Target, RfoExpandFileName(dir.filePath("flat/y.txt")));

    // One file found and a target with an extension: the file gets that name.
    TROperation single;
    CopyMoveByMask(dir.filePath("src/a"), dir.filePath("out/renamed.dat"), "x.txt", false, kRfoCreateDirs, 0, 0,
                   64, 100, 1, 0, {}, single);
    EXPECT_EQ(single.Kind, TRMsgKind::Ok);
    EXPECT_EQ(ReadFile(dir.filePath("out/renamed.dat")), "x");
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
