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

// The options the self-update copies its unpacked files with.
constexpr std::uint32_t kSelfUpdateCopy = 116691;

QByteArray Bytes(int size, int seed)
{
    QByteArray data(size, '\0');
    for (int i = 0; i < size; ++i)
        data[i] = static_cast<char>((i * 31 + seed) & 0xFF);
    return data;
}

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

} // namespace

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
    EXPECT_EQ(ReadFileBytes(src), "source");

    const QString dst = dir.filePath("dst/a.txt");
    WriteFile(dst, "target");
    t = CopyMoveFileStep(src, dir.filePath("dst"), false, 0, 64, 100, {});
    EXPECT_EQ(t.Kind, TRMsgKind::Skip);
    EXPECT_EQ(t.Text, QStringLiteral("Файл с заданными свойствами уже существует."));
    EXPECT_EQ(ReadFileBytes(dst), "target");

    // Same size and time but another content: only the CRC tells them apart.
    WriteFile(dst, "SOURCE");
    SetWriteTime(src, EncodeDateTime(2016, 8, 1, 12, 0, 0, 0));
    SetWriteTime(dst, EncodeDateTime(2016, 8, 1, 12, 0, 0, 0), 400);
    const std::uint32_t byTimeSize = kRfoOverwrite | kRfoSameTime | kRfoSameSize;
    EXPECT_EQ(CopyMoveFileStep(src, dir.filePath("dst"), false, byTimeSize, 64, 100, {}).Kind, TRMsgKind::Skip);
    t = CopyMoveFileStep(src, dir.filePath("dst"), false, byTimeSize | kRfoSameCrc, 64, 100, {});
    EXPECT_EQ(t.Kind, TRMsgKind::Ok);
    EXPECT_EQ(ReadFileBytes(dst), "source");
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
    EXPECT_EQ(ReadFileBytes(dst), "old target");
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
    EXPECT_EQ(ReadFileBytes(prog + "/a.txt"), Bytes(1000, 1));
    EXPECT_EQ(ReadFileBytes(prog + "/sub/c.txt"), Bytes(2048, 3));
    EXPECT_EQ(ReadFileBytes(prog + "/run.sh"), "#!/bin/sh\n");
    EXPECT_TRUE(QFileInfo(prog + "/run.sh").isExecutable());
    EXPECT_FALSE(QFile::exists(prog + "/run.sh.tmp"));
    EXPECT_EQ(RfoCompareFileTimes(RfoGetFileWriteTime(prog + "/sub/c.txt"),
                                  RfoGetFileWriteTime(work + "/sub/c.txt")), 0);
    EXPECT_EQ(itemProgress, (QList<int>{0, 1, 2, 3, 4, 5}));
}

TEST(RFileProcs, CopyByMaskTakesRegularFilesAndFoldersOnlyAndWritesThroughNoLink)
{
    const QString notRegular = QStringLiteral("\"%1\" не является обычным файлом.");
    const struct {
        const char* Entry;   // the entry the copy's error names
        char Kind;           // a link to the folder outside (to its file for a ".txt"), or a pipe
    } cases[] = {
        {"w/up.txt", 'l'},
        {"w/pipe", 'p'},   // read, it would wait for ever
        {"p/sub", 'l'},    // with an empty folder w/sub/deeper to create there
    };
    for (const auto& c : cases) {
        QTemporaryDir dir;
        const QString outside = dir.filePath("outside");
        const QString entry = dir.filePath(c.Entry);
        WriteFile(outside + "/secret.txt", "secret");
        WriteFile(dir.filePath("w/a.txt"), "a");
        ASSERT_TRUE(QDir().mkpath(dir.filePath("p")) && QDir().mkpath(dir.filePath("w/sub/deeper")));
        ASSERT_TRUE(c.Kind != 'l' || QFile::link(entry.endsWith(".txt") ? outside + "/secret.txt" : outside, entry));
        ASSERT_TRUE(c.Kind != 'p' || ::mkfifo(QFile::encodeName(entry).constData(), 0600) == 0);
        if (c.Kind == 'p') {
            EXPECT_EQ(CopyMoveFileStep(entry, dir.filePath("p/"), false, 0, 64, 100, {}).Text, notRegular.arg(entry));
        }
        TROperation op;
        CopyMoveByMask(dir.filePath("w"), dir.filePath("p"), "*.*", false, kSelfUpdateCopy, 2, 9, 1024, 100, 1, 0, {}, op);
        EXPECT_EQ(op.Errors, 1);
        EXPECT_EQ(op.Transactions.constLast().Text,
                  c.Kind == 'p' || entry.endsWith(".txt")
                      ? notRegular.arg(entry)
                      : QStringLiteral("Путь проходит через ссылку \"%1\": по ссылкам файлы не копируются.").arg(entry));
        EXPECT_EQ(QDir(outside).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList{"secret.txt"});
        EXPECT_EQ(QDir(dir.filePath("p")).entryList(QDir::Files), QStringList{"a.txt"});
    }
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
    EXPECT_EQ(ReadFileBytes(dir.filePath("p/a.txt")), "old a");
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
    EXPECT_EQ(ReadFileBytes(dir.filePath("p/a.txt")), "a");
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
    EXPECT_EQ(ReadFileBytes(prog), "#!/bin/sh\nexit 0\n");
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
    EXPECT_EQ(ReadFileBytes(dir.filePath("p/a.txt")), "new");
    EXPECT_EQ(ReadFileBytes(dir.filePath("p/a.~txt")), "old");
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
    EXPECT_EQ(ReadFileBytes(dir.filePath("dst/d1/f1")), "1");
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
    EXPECT_EQ(ReadFileBytes(dir.filePath("flat/x.txt")), "x");
    EXPECT_EQ(ReadFileBytes(dir.filePath("flat/y.txt")), "y");
    ASSERT_EQ(copied.size(), 2);
    EXPECT_EQ(copied[1].Source, RfoExpandFileName(dir.filePath("src/b/y.txt")));
    EXPECT_EQ(copied[1].Target, RfoExpandFileName(dir.filePath("flat/y.txt")));

    // One file found and a target with an extension: the file gets that name.
    TROperation single;
    CopyMoveByMask(dir.filePath("src/a"), dir.filePath("out/renamed.dat"), "x.txt", false, kRfoCreateDirs, 0, 0,
                   64, 100, 1, 0, {}, single);
    EXPECT_EQ(single.Kind, TRMsgKind::Ok);
    EXPECT_EQ(ReadFileBytes(dir.filePath("out/renamed.dat")), "x");
}
