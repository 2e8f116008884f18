// The real program, run in a folder of its own with no person at the screen.

#include "app/core/archive/ResultsPage.h"
#include "app/ui/shell/ProgramEnv.h"
#include "engine/KelmaMsg.h"
#include "engine/PrjConst.h"
#include "tests/app_ui/AppUiTestEnv.h"
#include "tests/fixtures/ArchiveFixtures.h"
#include "tests/standin/OperatorSite.h"

#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QProcess>
#include <QRegularExpression>
#include <QTimer>

#include <gtest/gtest.h>

#include <grp.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr int kRunTimeoutMs = 120000;

// Message boxes an unattended run wrote to its error output.
int BoxCount(const QString& errors)
{
    int count = 0;
    for (const char* title : {"[Ошибка]", "[Информация]", "[Внимание!]", "[Предупреждение]", "[Подтверждение]"})
        count += static_cast<int>(errors.count(QString::fromUtf8(title)));
    return count;
}

// Its files limited to the given size in the program's process ("ulimit -f"): a write past the
// limit fails with EFBIG, as one on a full disk fails with ENOSPC.
std::function<void()> FileSizeLimit(rlim_t limitBytes)
{
    return [limitBytes] {
        const rlimit limit{limitBytes, limitBytes};
        ::setrlimit(RLIMIT_FSIZE, &limit);
    };
}

class ProgramRunTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(FDir.isValid());
        ASSERT_TRUE(FServer.Start());
        FProgram = FDir.filePath(QLatin1String(ProgramFileName));
        ASSERT_TRUE(QFile::copy(QStringLiteral(TAVRIX_PROGRAM_FILE), FProgram));
        FEnvironment = QProcessEnvironment::systemEnvironment();
        FEnvironment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        FEnvironment.insert(QLatin1String(UnattendedEnv), QStringLiteral("1"));
        FEnvironment.insert(QLatin1String(FixedTodayEnv), QStringLiteral("2016-08-10"));
        FEnvironment.insert(QLatin1String(OperatorSiteEnv), FServer.BaseUrl());
    }

    QString DataFile(const char* extension) const
    {
        return FDir.filePath(QLatin1String(ProgramFileName) + QLatin1String(extension));
    }

    // Every file of the folder with its bytes.
    QMap<QString, QByteArray> Snapshot() const
    {
        QMap<QString, QByteArray> files;
        QDirIterator it(FDir.path(), QDir::Files | QDir::Hidden);
        while (it.hasNext()) {
            const QString path = it.next();
            files.insert(QFileInfo(path).fileName(), ReadFileBytes(path));
        }
        return files;
    }

    QTemporaryDir FDir;
    THttpStandIn FServer;
    TOperatorSite FSite{FServer};
    QString FProgram;
    QProcessEnvironment FEnvironment;
};

TEST(UnattendedRun, BatchSwitchesAndTheSettingTurnItOn)
{
    struct TCase {
        QStringList Arguments;
        const char* Setting;
        bool Unattended;
    };
    const TCase cases[] = {
        {{}, "", false},
        {{}, "1", true},
        {{}, "0", false},
        {{"loadonly"}, "", true},
        {{"-FullRecreate"}, "", true},
        {{"no-language", "/fullrefresh"}, "0", true},
        {{"\\LoadOnly"}, "", true},
        // Only whole arguments count, and the other switches are no batch runs.
        {{"loadonly=1", "xfullrefresh"}, "", false},
        {{"restart", "no-language"}, "", false},
    };
    for (const TCase& c : cases)
        EXPECT_EQ(IsUnattendedRun(c.Arguments, QString::fromLatin1(c.Setting)), c.Unattended)
            << c.Arguments.join(' ').toStdString() << " / " << c.Setting;
}

TEST_F(ProgramRunTest, LoadOnlyDownloadsWritesTheArchiveAndEnds)
{
    const TProcessResult run = RunProgram(FProgram, {QStringLiteral("loadonly")}, FDir.path(), FEnvironment, kRunTimeoutMs);
    ASSERT_TRUE(run.Finished) << run.Stderr.toStdString();
    EXPECT_FALSE(run.Crashed);
    EXPECT_EQ(run.ExitCode, 0) << run.Stderr.toStdString();
    // Nobody was asked anything and nothing failed.
    EXPECT_EQ(BoxCount(run.Stderr), 0) << run.Stderr.toStdString();

    // 1 to 10 August 2016, two draws a day, in one request.
    EXPECT_EQ(FSite.RequestCount(), 1);
    const QByteArray file = ReadFileBytes(DataFile(".ldr"));
    ASSERT_EQ(file.size(), 20 * DrawRecSize);
    for (int i = 0; i < 20; ++i) {
        const TDrawRec draw = ReadDrawRec(reinterpret_cast<const std::uint8_t*>(file.constData()) + i * DrawRecSize);
        const QDate date = QDate(2016, 8, 1).addDays(i / 2);
        const bool evening = i % 2 == 1;
        const auto [d1, d2] = TOperatorSite::DrawDigits(date, evening);
        EXPECT_EQ(draw.Number, static_cast<std::uint32_t>(i + 1));
        EXPECT_EQ(draw.Key.Get(), date.toString(QStringLiteral("MM/dd/yyyy")) + (evening ? " E" : " M"));
        EXPECT_EQ(draw.Digits[0], d1) << i;
        EXPECT_EQ(draw.Digits[1], d2) << i;
    }
    // The window closed normally: its state was kept for the next start.
    EXPECT_TRUE(ReadFileBytes(DataFile(".frm")).contains("LeftPanelWidth="));

    // A second run finds everything stored: the overlap day is asked again and adds nothing.
    const TProcessResult again = RunProgram(FProgram, {QStringLiteral("-LOADONLY")}, FDir.path(), FEnvironment, kRunTimeoutMs);
    ASSERT_TRUE(again.Finished);
    EXPECT_EQ(again.ExitCode, 0) << again.Stderr.toStdString();
    EXPECT_EQ(FSite.RequestCount(), 2);
    EXPECT_EQ(ReadFileBytes(DataFile(".ldr")), file);
}

// 300 draws up to 12/28/2016 E on 06/30/2017, a site listing the 7 oldest asked days: all stored.
TEST_F(ProgramRunTest, LoadOnlyFromASiteThatPagesFromTheStart)
{
    FEnvironment.insert(QLatin1String(FixedTodayEnv), QStringLiteral("2017-06-30"));
    TDrawsArray draws = MakeArchive(300);
    WriteFileBytes(DataFile(".ldr"), ArchiveBytes(draws));
    for (QDate day(2016, 12, 29); day <= QDate(2017, 6, 30); day = day.addDays(1))
        for (const bool evening : {false, true}) {
            const auto [d1, d2] = TOperatorSite::DrawDigits(day, evening);
            TDrawRec& draw = draws.emplace_back();
            draw.Number = static_cast<std::uint32_t>(draws.size());
            draw.Digits = {static_cast<std::uint8_t>(d1), static_cast<std::uint8_t>(d2)};
            draw.Key.Set(day.toString(QStringLiteral("MM/dd/yyyy")) + (evening ? " E" : " M"));
        }
    FSite.SetRowOrder(TOperatorSite::TRowOrder::Oldest, 7);
    const TProcessResult run = RunProgram(FProgram, {QStringLiteral("loadonly")}, FDir.path(), FEnvironment, kRunTimeoutMs);
    ASSERT_TRUE(run.Finished) << run.Stderr.toStdString();
    EXPECT_EQ(run.ExitCode, 0) << run.Stderr.toStdString();
    EXPECT_EQ(BoxCount(run.Stderr), 0) << run.Stderr.toStdString();
    EXPECT_EQ(FSite.RequestCount(), 15 + 13);
    EXPECT_EQ(ReadFileBytes(DataFile(".ldr")), ArchiveBytes(draws));
}

TEST_F(ProgramRunTest, FailedDownloadIsNotRetriedWithoutAPerson)
{
    // The batch switch alone keeps every box from waiting.
    FEnvironment.remove(QLatin1String(UnattendedEnv));
    FSite.SetFailure(TOperatorSite::TFailure::ServerError);
    const TProcessResult run = RunProgram(FProgram, {QStringLiteral("loadonly")}, FDir.path(), FEnvironment, kRunTimeoutMs);
    ASSERT_TRUE(run.Finished);
    // The run did not do its job, and says so.
    EXPECT_EQ(run.ExitCode, 1);
    // The retry question was written out and answered No: one request, no archive.
    EXPECT_EQ(FSite.RequestCount(), 1);
    EXPECT_EQ(run.Stderr.count(QStringLiteral("Повторить попытку?")), 1) << run.Stderr.toStdString();
    EXPECT_EQ(BoxCount(run.Stderr), 1);
    EXPECT_TRUE(run.Stderr.contains(QStringLiteral("Сервер \"127.0.0.1\" ответил ошибкой 500 "
                                                   "(HTTP/1.1 500 Internal Server Error)")))
        << run.Stderr.toStdString();
    EXPECT_FALSE(QFile::exists(DataFile(".ldr")));
}

TEST_F(ProgramRunTest, RefreshWithATruncatedArchiveEndsByItself)
{
    // Three whole records and 7 bytes of a fourth; no person and no unattended setting: the
    // batch switch must be enough for the warning to go to the error output.
    FEnvironment.remove(QLatin1String(UnattendedEnv));
    QByteArray archive;
    for (int i = 0; i < 3; ++i) {
        TDrawRec draw;
        draw.Number = static_cast<std::uint32_t>(i + 1);
        draw.Digits = {static_cast<std::uint8_t>(i), static_cast<std::uint8_t>(9 - i)};
        draw.Key.Set(QStringLiteral("08/0%1/2016 M").arg(i + 1));
        std::uint8_t bytes[DrawRecSize];
        WriteDrawRec(draw, bytes);
        archive.append(reinterpret_cast<const char*>(bytes), DrawRecSize);
    }
    WriteFileBytes(DataFile(".ldr"), archive + "1234567");

    const TProcessResult run = RunProgram(FProgram, {QStringLiteral("fullrefresh")}, FDir.path(), FEnvironment, kRunTimeoutMs);
    ASSERT_TRUE(run.Finished) << run.Stderr.toStdString();
    EXPECT_FALSE(run.Crashed);
    EXPECT_EQ(run.ExitCode, 0) << run.Stderr.toStdString();
    EXPECT_EQ(BoxCount(run.Stderr), 1) << run.Stderr.toStdString();
    const QString warning = QStringLiteral("[Предупреждение] ");
    ASSERT_TRUE(run.Stderr.contains(warning)) << run.Stderr.toStdString();
    EXPECT_TRUE(run.Stderr.mid(run.Stderr.indexOf(warning)).contains(DataFile(".ldr")));
    // The whole records are kept and nothing was downloaded.
    EXPECT_TRUE(ReadFileBytes(DataFile(".ldr")).startsWith(archive));
    EXPECT_EQ(FSite.RequestCount(), 0);
}

TEST_F(ProgramRunTest, CacheSwitchesBuildTheNormFilesWithoutAWindowAndEnd)
{
    FEnvironment.remove(QLatin1String(UnattendedEnv));
    const QDir cache(FDir.filePath(QStringLiteral("Prefetchs")));
    const auto files = [&] { return cache.entryList({QStringLiteral("*.dfc")}, QDir::Files, QDir::Name); };

    // "fullrecreate" writes every file, each of whole 12-byte records, and the program ends.
    TProcessResult run = RunProgram(FProgram, {QStringLiteral("fullrecreate")}, FDir.path(), FEnvironment, kRunTimeoutMs);
    ASSERT_TRUE(run.Finished) << run.Stderr.toStdString();
    EXPECT_FALSE(run.Crashed);
    EXPECT_EQ(run.ExitCode, 0) << run.Stderr.toStdString();
    EXPECT_EQ(BoxCount(run.Stderr), 0) << run.Stderr.toStdString();
    const QStringList built = files();
    ASSERT_GE(built.size(), 40);
    for (const QString& name : built) {
        const qint64 size = QFileInfo(cache.filePath(name)).size();
        EXPECT_TRUE(size >= 24 && size % 12 == 0) << name.toStdString() << " " << size;
    }

    // "fullrefresh" brings back a missing file and leaves the others as they are.
    const QString gone = cache.filePath(built.first());
    const QByteArray goneBytes = ReadFileBytes(gone);
    const QByteArray kept = ReadFileBytes(cache.filePath(built.last()));
    ASSERT_TRUE(QFile::remove(gone));
    WriteFileBytes(cache.filePath(built.last()), kept);
    run = RunProgram(FProgram, {QStringLiteral("fullrefresh")}, FDir.path(), FEnvironment, kRunTimeoutMs);
    ASSERT_TRUE(run.Finished) << run.Stderr.toStdString();
    EXPECT_EQ(run.ExitCode, 0) << run.Stderr.toStdString();
    EXPECT_EQ(files(), built);
    EXPECT_EQ(ReadFileBytes(gone), goneBytes);
    EXPECT_EQ(ReadFileBytes(cache.filePath(built.last())), kept);
}

TEST_F(ProgramRunTest, FolderThatCannotBeWrittenGetsOneMessageAndNothingWritten)
{
    // Permission bits do not hold back a privileged user: then the program runs as the
    // unprivileged "nobody", for whom the read-only folder is really read-only.
    const bool privileged = ::geteuid() == 0;
    constexpr int kNoUser = 97;
    const QFile::Permissions readOnly = QFile::ReadOwner | QFile::ExeOwner | QFile::ReadGroup | QFile::ExeGroup
                                        | QFile::ReadOther | QFile::ExeOther;
    ASSERT_TRUE(QFile::setPermissions(FDir.path(), readOnly));
    const QMap<QString, QByteArray> before = Snapshot();
    FEnvironment.remove(QLatin1String(UnattendedEnv));

    QProcess process;
    process.setProgram(FProgram);
    process.setArguments({QStringLiteral("loadonly")});
    process.setWorkingDirectory(FDir.path());
    process.setProcessEnvironment(FEnvironment);
    if (privileged)
        process.setChildProcessModifier([] {
            constexpr gid_t nobody = 65534;
            if (::setgroups(0, nullptr) != 0 || ::setgid(nobody) != 0 || ::setuid(nobody) != 0)
                ::_exit(kNoUser);
        });
    process.start();
    const bool finished = process.waitForFinished(kRunTimeoutMs);
    QFile::setPermissions(FDir.path(), readOnly | QFile::WriteOwner);
    if (!finished)
        process.kill();
    ASSERT_TRUE(finished);
    if (privileged && process.exitCode() == kNoUser)
        GTEST_SKIP() << "cannot run the program as an unprivileged user";
    const QString errors = QString::fromUtf8(process.readAllStandardError());

    EXPECT_EQ(process.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(process.exitCode(), 1) << errors.toStdString();
    EXPECT_EQ(BoxCount(errors), 1) << errors.toStdString();
    EXPECT_TRUE(errors.contains(QStringLiteral("[Ошибка] Программа не может записывать файлы в свой каталог:\n\n")
                                + FDir.path() + QStringLiteral("\n\n")))
        << errors.toStdString();
    EXPECT_EQ(Snapshot(), before);
    EXPECT_EQ(FSite.RequestCount(), 0);
}

TEST_F(ProgramRunTest, SecondCopyInTheSameFolderIsRefused)
{
    // The first copy runs with a person's window; it asks whether to download (answered No)
    // only after it holds the folder, so that question tells the test it is there.
    QProcess first;
    first.setProgram(FProgram);
    first.setWorkingDirectory(FDir.path());
    first.setProcessEnvironment(FEnvironment);
    QString firstErrors;
    QObject::connect(&first, &QProcess::readyReadStandardError,
                     [&] { firstErrors += QString::fromUtf8(first.readAllStandardError()); });
    first.start();
    const QString question = LoadResString(rsAskDownloadDraws);
    ASSERT_TRUE(WaitUntil([&] { return firstErrors.contains(question) || first.state() == QProcess::NotRunning; },
                          kRunTimeoutMs))
        << firstErrors.toStdString();
    ASSERT_EQ(first.state(), QProcess::Running) << firstErrors.toStdString();
    const QMap<QString, QByteArray> before = Snapshot();

    const TProcessResult second =
        RunProgram(FProgram, {QStringLiteral("loadonly")}, FDir.path(), FEnvironment, kRunTimeoutMs);
    ASSERT_TRUE(second.Finished);
    EXPECT_FALSE(second.Crashed);
    EXPECT_EQ(second.ExitCode, 1);
    EXPECT_TRUE(second.Stderr.contains(QStringLiteral("[Ошибка] ") + LoadResString(rsExclusiveAccessError)))
        << second.Stderr.toStdString();

    // The second copy neither downloaded nor wrote anything, and the first goes on.
    EXPECT_EQ(FSite.RequestCount(), 0);
    EXPECT_EQ(Snapshot(), before);
    EXPECT_EQ(first.state(), QProcess::Running);
    first.kill();
    WaitUntil([&] { return first.state() == QProcess::NotRunning; }, 10000);
}

// A form-state file that cannot be read (a folder in its place stops even a privileged user)
// costs the windows their stored state, never the batch run: it downloads, says what it could
// not read, and ends with its status.
TEST_F(ProgramRunTest, UnreadableFormStateStillEndsABatchRunWithItsStatus)
{
    FEnvironment.remove(QLatin1String(UnattendedEnv));
    ASSERT_TRUE(QDir().mkpath(DataFile(".frm")));
    const TProcessResult run = RunProgram(FProgram, {QStringLiteral("loadonly")}, FDir.path(), FEnvironment, kRunTimeoutMs);
    ASSERT_TRUE(run.Finished) << run.Stderr.toStdString();
    EXPECT_FALSE(run.Crashed);
    EXPECT_EQ(run.ExitCode, 0) << run.Stderr.toStdString();
    EXPECT_EQ(FSite.RequestCount(), 1);
    EXPECT_EQ(ReadFileBytes(DataFile(".ldr")).size(), 20 * DrawRecSize);
    // Told once at start-up, and once more by the shut-down's save, which could not write.
    const QString unread = U("файл параметров программы \"%1\": на месте файла находится каталог").arg(DataFile(".frm"));
    EXPECT_EQ(run.Stderr.count(unread), 2) << run.Stderr.toStdString();
    EXPECT_EQ(run.Stderr.count(U("Не удалось записать ") + unread), 1) << run.Stderr.toStdString();
    EXPECT_TRUE(QFileInfo(DataFile(".frm")).isDir());
}

// Whatever numbers the form-state file holds, the batch run ends with its status.
TEST_F(ProgramRunTest, FormStateOfExtremeNumbersStillEndsABatchRun)
{
    FEnvironment.remove(QLatin1String(UnattendedEnv));
    for (const char* value : {"2147483647", "-2147483648", "0"}) {
        SCOPED_TRACE(value);
        QByteArray text = "[TFormMain]\r\n";
        for (const char* key : {"Flags", "ShowCmd", "PixelsPerInch", "LeftPanelWidth", "DrawsExclude", "DrawsStatLen",
                                "DrawsStatHeight", "DrawsGraphLen", "FiltersHeight", "LayoutLen", "LayoutCompareLen1",
                                "WeekLen", "WeekHeight", "LayoutCompareHeight", "ScriptLibraryHeight",
                                "ScriptLibraryFilter", "WeekChartMode", "RatingsEffMode", "Language",
                                "DownloadDrawsOnStart", "lvDraws.Column0", "lvDrawsStat.Column1", "sgStakes.Column2"})
            text += QByteArray(key) + '=' + value + "\r\n";
        const QByteArray v(value);
        text += "NormPos=" + v + ',' + v + ',' + v + ',' + v + "\r\nMinMaxPos=" + v + ',' + v + ',' + v + ',' + v
                + "\r\nlvDrawsStat.SortType=" + v + ',' + v + "\r\n";
        WriteFileBytes(DataFile(".frm"), text);
        QFile::remove(DataFile(".ldr"));
        const TProcessResult run =
            RunProgram(FProgram, {QStringLiteral("loadonly")}, FDir.path(), FEnvironment, kRunTimeoutMs);
        ASSERT_TRUE(run.Finished) << run.Stderr.toStdString();
        EXPECT_FALSE(run.Crashed) << run.Stderr.toStdString();
        EXPECT_EQ(run.ExitCode, 0) << run.Stderr.toStdString();
        EXPECT_EQ(ReadFileBytes(DataFile(".ldr")).size(), 20 * DrawRecSize);
    }
}

// An archive whose newest key does not read as a date: the batch run asks the site nothing,
// says which draw it is in Russian, and fails. The temporary files of earlier saves that were
// killed half-way are gone.
TEST_F(ProgramRunTest, NewestDrawWithoutADateEndsTheBatchRunWithItsMessage)
{
    FEnvironment.remove(QLatin1String(UnattendedEnv));
    QByteArray archive;
    for (int i = 0; i < 3; ++i) {
        TDrawRec draw;
        draw.Number = static_cast<std::uint32_t>(i + 1);
        draw.Digits = {1, 2};
        draw.Key.Set(i < 2 ? QStringLiteral("08/0%1/2016 M").arg(i + 1) : QStringLiteral("13/03/2016 E"));
        std::uint8_t bytes[DrawRecSize];
        WriteDrawRec(draw, bytes);
        archive.append(reinterpret_cast<const char*>(bytes), DrawRecSize);
    }
    WriteFileBytes(DataFile(".ldr"), archive);
    WriteFileBytes(DataFile(".ldr.~sav"), "half a save");
    ASSERT_TRUE(QDir().mkpath(FDir.filePath(QStringLiteral("Prefetchs"))));
    const QString stalePrefetch = FDir.filePath(QStringLiteral("Prefetchs/Tavrix2_2r10_101.dfc.~sav"));
    WriteFileBytes(stalePrefetch, "half");

    const TProcessResult run = RunProgram(FProgram, {QStringLiteral("loadonly")}, FDir.path(), FEnvironment, kRunTimeoutMs);
    ASSERT_TRUE(run.Finished) << run.Stderr.toStdString();
    EXPECT_FALSE(run.Crashed);
    EXPECT_EQ(run.ExitCode, 1);
    EXPECT_EQ(FSite.RequestCount(), 0);
    EXPECT_EQ(BoxCount(run.Stderr), 1) << run.Stderr.toStdString();
    EXPECT_TRUE(run.Stderr.contains(QStringLiteral("[Ошибка] Дата последнего тиража архива не читается: тираж 3, "
                                                   "\"13/03/2016 E\".")))
        << run.Stderr.toStdString();
    EXPECT_EQ(ReadFileBytes(DataFile(".ldr")), archive);
    EXPECT_FALSE(QFile::exists(DataFile(".ldr.~sav")));
    EXPECT_FALSE(QFile::exists(stalePrefetch));
}

// Past the process's file-size limit a write fails: the save reports it and the run ends with
// a failure, instead of the system ending the program without a word.
TEST_F(ProgramRunTest, FileSizeLimitFailsTheSaveInsteadOfKillingTheProgram)
{
    FEnvironment.remove(QLatin1String(UnattendedEnv));
    // 100 days: 200 draws, 4000 bytes of archive against a limit of 2000.
    FEnvironment.insert(QLatin1String(FixedTodayEnv), QStringLiteral("2016-11-08"));
    const TProcessResult run =
        RunProgram(FProgram, {QStringLiteral("loadonly")}, FDir.path(), FEnvironment, kRunTimeoutMs, FileSizeLimit(2000));
    ASSERT_TRUE(run.Finished);
    const QString& errors = run.Stderr;
    EXPECT_FALSE(run.Crashed) << errors.toStdString();
    EXPECT_EQ(run.ExitCode, 1) << errors.toStdString();
    EXPECT_TRUE(errors.contains(QStringLiteral("Ошибка записи файла \"") + DataFile(".ldr") + QStringLiteral("\": ")))
        << errors.toStdString();
    EXPECT_FALSE(QFile::exists(DataFile(".ldr")));
    EXPECT_FALSE(QFile::exists(DataFile(".ldr.~sav")));
}

// "fullrecreate" where the files find no room: the first file refused stops the rebuild with one
// message naming it and the reason, the files written before it are whole, and the run fails.
TEST_F(ProgramRunTest, RecreateWithoutRoomStopsAtTheFirstFileAndFails)
{
    FEnvironment.remove(QLatin1String(UnattendedEnv));
    const QDir cache(FDir.filePath(QStringLiteral("Prefetchs")));
    // The first method's file (the digits: 11 records of 12 bytes) fits, some later one does
    // not, and neither does the form state written at the end.
    const TProcessResult run =
        RunProgram(FProgram, {QStringLiteral("fullrecreate")}, FDir.path(), FEnvironment, kRunTimeoutMs, FileSizeLimit(150));
    ASSERT_TRUE(run.Finished);
    EXPECT_FALSE(run.Crashed) << run.Stderr.toStdString();
    EXPECT_EQ(run.ExitCode, 1) << run.Stderr.toStdString();

    const QString created = QStringLiteral("[Ошибка] Ошибка создания файла данных для полного набора вариантов!");
    EXPECT_EQ(run.Stderr.count(created), 1) << run.Stderr.toStdString();
    EXPECT_EQ(BoxCount(run.Stderr), 2) << run.Stderr.toStdString();
    EXPECT_TRUE(run.Stderr.contains(QStringLiteral("[Ошибка] Ошибка сохранения параметров программы!")))
        << run.Stderr.toStdString();
    const qsizetype at = run.Stderr.indexOf(created);
    const QString message = run.Stderr.mid(at, run.Stderr.indexOf(QStringLiteral("\n["), at) - at);
    static const QRegularExpression named(QStringLiteral("Имя файла: (\\S+\\.dfc)\n\nОшибка записи файла \"(\\S+)\": "));
    const QRegularExpressionMatch match = named.match(message);
    ASSERT_TRUE(match.hasMatch()) << message.toStdString();
    EXPECT_EQ(match.captured(1), match.captured(2));
    EXPECT_FALSE(QFileInfo::exists(match.captured(1)));

    const QStringList written = cache.entryList(QDir::Files | QDir::Hidden, QDir::Name);
    EXPECT_TRUE(written.contains(QLatin1String(ProgramFileName) + QStringLiteral("_NUMS.dfc")))
        << written.join(' ').toStdString();
    EXPECT_LT(written.size(), 40);
    for (const QString& name : written) {
        EXPECT_TRUE(name.endsWith(QStringLiteral(".dfc"))) << name.toStdString();
        const qint64 size = QFileInfo(cache.filePath(name)).size();
        EXPECT_TRUE(size >= 24 && size <= 150 && size % 12 == 0) << name.toStdString() << " " << size;
    }
}

// A pipe without a writer, a link to a device without end or a file far larger than its kind
// holds, at the name of a file the start-up reads: a batch run tells it at once and ends with its
// status (the settings take their defaults; an unread archive, ratings or stakes end the run), and
// nothing is written in its place.
TEST_F(ProgramRunTest, WhatIsNoFileOfItsSizeIsToldAndTheBatchRunEnds)
{
    FEnvironment.remove(QLatin1String(UnattendedEnv));
    const char* initError = "[Ошибка] Ошибка инициализации программы!\n\nОшибка чтения файла \"%1\"!\n\n";
    const struct {
        const char* Extension;
        const char* Told;
        int ExitCode;
    } files[] = {
        {".ini", "[Ошибка] Ошибка чтения файла конфигурации!\n\nНе удалось прочитать файл \"%1\": ", 0},
        {".frm", "[Предупреждение] Не удалось прочитать файл параметров программы \"%1\": ", 0},
        {".flt", "[Ошибка] Ошибка загрузки списка фильтров!\n\nНе удалось прочитать файл \"%1\": ", 0},
        {".lss", "[Ошибка] Ошибка чтения файла \"%1\"!\n\n", 0},
        {".ltb", "[Ошибка] Ошибка чтения файла \"%1\"!\n\n", 0},
        {".ldr", initError, 1},
        {".lrt", initError, 1},
        {".lsk", "[Ошибка] Не удалось открыть файл ставок \"%1\": ", 1},   // never read whole: any size will do
    };
    constexpr qint64 largeSize = qint64{128} << 20;
    for (const auto& file : files)
        for (const int kind : {S_IFIFO, S_IFLNK, S_IFREG}) {
            const QString name = DataFile(file.Extension);
            const QByteArray native = QFile::encodeName(name);
            if (kind == S_IFREG && name.endsWith(QLatin1String(".lsk")))
                continue;
            SCOPED_TRACE(std::string(file.Extension) + " " + std::to_string(kind));
            QFile::remove(name);   // as an earlier run wrote it
            ASSERT_TRUE(kind == S_IFIFO   ? ::mkfifo(native.constData(), 0600) == 0
                        : kind == S_IFLNK ? QFile::link(QStringLiteral("/dev/zero"), name)
                                          : QFile(name).open(QIODevice::WriteOnly) && QFile(name).resize(largeSize));
            const int requests = FSite.RequestCount();
            const TProcessResult run =
                RunProgram(FProgram, {QStringLiteral("loadonly")}, FDir.path(), FEnvironment, kRunTimeoutMs);
            ASSERT_TRUE(run.Finished);
            EXPECT_FALSE(run.Crashed) << run.Stderr.toStdString();
            EXPECT_EQ(run.ExitCode, file.ExitCode) << run.Stderr.toStdString();
            const QString reason = kind == S_IFREG ? U("размер файла превышает допустимый (")
                                                   : U("это не обычный файл, а канал или устройство");
            EXPECT_TRUE(run.Stderr.contains(U(file.Told).arg(name) + reason)) << run.Stderr.toStdString();
            EXPECT_EQ(FSite.RequestCount(), requests + (file.ExitCode == 0 ? 1 : 0));
            struct stat st {};
            EXPECT_TRUE(::lstat(native.constData(), &st) == 0 && (st.st_mode & S_IFMT) == static_cast<mode_t>(kind)
                        && (kind != S_IFREG || st.st_size == largeSize));
            QFile::remove(name);
            QFile::remove(DataFile(".ldr"));
        }
}

} // namespace
