#include "app/core/scenarios/ScriptLog.h"

#include "support/RFileProcs.h"
#include "tests/app_core/CoreTestEnv.h"

#include <QDir>
#include <QFileInfo>

namespace {

class ScriptLogTest : public TCoreTest {
protected:
    ScriptLogTest()
    {
        FNow = QDateTime(QDate(2016, 8, 10), QTime(9, 5, 7));
        FLog.Enabled = [this] { return FEnabled; };
        FLog.OpenFile = [this](const QString& name) {
            if (!FOpenError.isEmpty())
                throw Exception(FOpenError);
            FOpened.append(name);
        };
    }

    QStringList LogFiles() const
    {
        return QDir(FDir.path()).entryList({U("ScriptLog_*")}, QDir::Files, QDir::Name);
    }

    bool FEnabled = true;
    QString FOpenError;
    QStringList FOpened;
    TScriptLog FLog{FDir.path()};
};

TEST_F(ScriptLogTest, EntriesAreStampedLinesInCp1251WithCrLf)
{
    FLog.Open();
    const QString name = DataFile(U("ScriptLog_2016-08-10-09-05-07.txt"));
    EXPECT_EQ(FLog.FileName(), QDir(FDir.path()).filePath(U("ScriptLog_2016-08-10-09-05-07.txt")));
    // Nothing is written before the first entry.
    EXPECT_FALSE(QFile::exists(name));

    EXPECT_EQ(FLog.Write(U("### ЗАПУСК")), QString());
    FNow = QDateTime(QDate(2016, 8, 10), QTime(23, 59, 59));
    EXPECT_EQ(FLog.Write(U("Создано 8 вариантов фильтров.")), QString());
    FNow = QDateTime(QDate(2016, 8, 11), QTime(0, 0, 0));
    EXPECT_EQ(FLog.Write(QString()), QString());
    EXPECT_EQ(FLog.Write(U("без отметки"), false), QString());

    const QByteArray expected = "[2016-08-10 09:05:07]: ### " + Cp("ЗАПУСК") + "\r\n"
                                + "[2016-08-10 23:59:59]: " + Cp("Создано 8 вариантов фильтров.") + "\r\n"
                                + "[2016-08-11 00:00:00]: \r\n" + Cp("без отметки") + "\r\n";
    EXPECT_EQ(ReadFileBytes(name), expected);
    // The log keeps the name it was opened with.
    EXPECT_EQ(LogFiles(), QStringList{U("ScriptLog_2016-08-10-09-05-07.txt")});

    // At the end the desktop opens it, and the name is gone.
    EXPECT_EQ(FLog.Close(), QString());
    EXPECT_EQ(FOpened, QStringList{name});
    EXPECT_TRUE(FLog.FileName().isEmpty());
    EXPECT_TRUE(FBoxes.Boxes().isEmpty());
}

TEST_F(ScriptLogTest, NameAndStampFromTheClock)
{
    struct TCase {
        QDateTime Time;
        const char* Name;
        const char* Stamp;
    };
    const TCase cases[] = {
        {QDateTime(QDate(2016, 1, 2), QTime(3, 4, 5)), "ScriptLog_2016-01-02-03-04-05.txt", "[2016-01-02 03:04:05]: x\r\n"},
        {QDateTime(QDate(1999, 12, 31), QTime(23, 59, 59, 999)), "ScriptLog_1999-12-31-23-59-59.txt",
         "[1999-12-31 23:59:59]: x\r\n"},
        {QDateTime(QDate(2024, 2, 29), QTime(12, 0)), "ScriptLog_2024-02-29-12-00-00.txt", "[2024-02-29 12:00:00]: x\r\n"},
    };
    for (const TCase& c : cases) {
        const TDateTime time = FromQDateTime(c.Time);
        EXPECT_EQ(TScriptLog::FileBaseName(time), U(c.Name));
        EXPECT_EQ(TScriptLog::EntryBytes(U("x"), true, time), QByteArray(c.Stamp));
        EXPECT_EQ(TScriptLog::EntryBytes(U("x"), false, time), QByteArray("x\r\n"));
    }
    // Each line of a text of several lines (an error box's) is a stamped line of its own.
    EXPECT_EQ(TScriptLog::EntryBytes(U("a\nb\r\n"), true, FromQDateTime(cases[0].Time)),
              QByteArray("[2016-01-02 03:04:05]: a\r\n[2016-01-02 03:04:05]: b\r\n"));
    // A character the code page cannot hold is written as '?'.
    EXPECT_EQ(TScriptLog::EntryBytes(U("a\u4e2db"), false, 0), QByteArray("a?b\r\n"));
    EXPECT_EQ(TScriptLog::FileMask(), U("ScriptLog_*.txt"));
}

TEST_F(ScriptLogTest, WriteOpensTheLogWhenNoneIsOpenAndTwoRunsInOneSecondShareIt)
{
    EXPECT_EQ(FLog.Write(U("a")), QString());
    EXPECT_EQ(FLog.FileName(), QDir(FDir.path()).filePath(U("ScriptLog_2016-08-10-09-05-07.txt")));
    EXPECT_EQ(FLog.Close(), QString());
    FLog.Open();
    EXPECT_EQ(FLog.Write(U("b")), QString());
    EXPECT_EQ(FLog.Close(), QString());
    EXPECT_EQ(ReadFileBytes(DataFile(U("ScriptLog_2016-08-10-09-05-07.txt"))),
              QByteArray("[2016-08-10 09:05:07]: a\r\n[2016-08-10 09:05:07]: b\r\n"));
    EXPECT_EQ(FOpened.size(), 2);
}

TEST_F(ScriptLogTest, NothingIsWrittenWhileTheOptionIsOff)
{
    FEnabled = false;
    FLog.Open();
    EXPECT_TRUE(FLog.FileName().isEmpty());
    EXPECT_EQ(FLog.Write(U("a")), QString());
    EXPECT_EQ(FLog.Close(), QString());
    EXPECT_TRUE(LogFiles().isEmpty());
    EXPECT_TRUE(FOpened.isEmpty());

    // No option function at all is off as well.
    TScriptLog bare(FDir.path());
    bare.Open();
    EXPECT_EQ(bare.Write(U("a")), QString());
    EXPECT_TRUE(LogFiles().isEmpty());

    // A log with nothing written is not handed to the desktop.
    FEnabled = true;
    FLog.Open();
    EXPECT_EQ(FLog.Close(), QString());
    EXPECT_TRUE(FOpened.isEmpty());
}

TEST_F(ScriptLogTest, LogThatCannotBeWrittenIsReportedOncePerRun)
{
    const QString folder = DataFile(U("gone"));
    TScriptLog log(folder);
    log.Enabled = [] { return true; };
    int opened = 0;
    log.OpenFile = [&opened](const QString&) { ++opened; };

    log.Open();
    const QString first = log.Write(U("a"));
    EXPECT_TRUE(first.startsWith(U("Ошибка записи журнала: "))) << first.toStdString();
    EXPECT_TRUE(first.endsWith(U("!"))) << first.toStdString();
    EXPECT_TRUE(log.Failed());
    // The rest of the run is dropped silently, even once the folder is there.
    ASSERT_TRUE(QDir().mkpath(folder));
    EXPECT_EQ(log.Write(U("b")), QString());
    EXPECT_EQ(log.Write(U("c")), QString());
    EXPECT_FALSE(QFile::exists(log.FileName()));
    EXPECT_EQ(log.Close(), QString());
    EXPECT_EQ(opened, 0);

    // The next run writes again.
    log.Open();
    EXPECT_FALSE(log.Failed());
    EXPECT_EQ(log.Write(U("d")), QString());
    EXPECT_EQ(ReadFileBytes(log.FileName()), QByteArray("[2016-08-10 09:05:07]: d\r\n"));

    // A failing next run is reported again, once.
    ASSERT_TRUE(QDir(folder).removeRecursively());
    log.Open();
    EXPECT_FALSE(log.Write(U("e")).isEmpty());
    EXPECT_TRUE(log.Write(U("f")).isEmpty());
    // No box is shown by the log itself: the caller shows the text.
    EXPECT_TRUE(FBoxes.Boxes().isEmpty());
}

TEST_F(ScriptLogTest, DesktopFailureAtTheEndSaysTheLogWasSavedAndWhereAndWhyItWasNotShown)
{
    // The log is written; what failed is only the desktop's opening of it. Whatever the
    // reason ends with, the sentence ends once.
    struct TCase {
        const char* Reason;
        const char* Why;
    } cases[] = {
        {"нет программы для файлов этого типа", "нет программы для файлов этого типа"},
        {"SysError #2: \"Нет такого файла или каталога\"!", "SysError #2: \"Нет такого файла или каталога\""},
        {"программа завершилась с ошибкой.", "программа завершилась с ошибкой"},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Reason);
        FLog.Open();
        EXPECT_EQ(FLog.Write(U("a")), QString());
        const QString fileName = FLog.FileName();
        FOpenError = U(c.Reason);
        EXPECT_EQ(FLog.Close(), U("Файл \"") + QDir::toNativeSeparators(fileName)
                                    + U("\" сохранён, но ни одна программа его не открыла: ") + U(c.Why) + U("."));
        EXPECT_TRUE(FLog.FileName().isEmpty());
        EXPECT_TRUE(QFileInfo::exists(fileName));
    }
}

TEST_F(ScriptLogTest, DeletingLogsTakesOnlyLogFilesOfTheFolder)
{
    EXPECT_FALSE(DeleteScenarioLogs(FDir.path()).Found);
    EXPECT_FALSE(LogsDelete(FDir.path()).Found);
    ASSERT_EQ(FBoxes.Boxes().size(), 1);
    EXPECT_EQ(FBoxes.Last().Text, U("Файлы журналов не найдены!"));
    EXPECT_EQ(FBoxes.Last().Icon, TBoxIcon::Information);

    for (const char* name : {"ScriptLog_2016-01-01-00-00-00.txt", "ScriptLog_b.TXT", "ScriptLog_c.txt",
                             "ScriptLog_d.log", "other.txt", "sub/ScriptLog_e.txt"}) {
        QDir().mkpath(QFileInfo(DataFile(U(name))).path());
        WriteFileBytes(DataFile(U(name)), "x");
    }
    RfoSetFileAttr(DataFile(U("ScriptLog_c.txt")), kRfaReadOnly);

    FBoxes.Clear();
    const TLogsDeleteResult result = LogsDelete(FDir.path());
    EXPECT_TRUE(result.Found);
    EXPECT_EQ(result.Deleted, 2);
    EXPECT_EQ(result.FirstError, QString());
    EXPECT_EQ(QDir(FDir.path()).entryList(QDir::Files, QDir::Name),
              (QStringList{U("ScriptLog_c.txt"), U("ScriptLog_d.log"), U("other.txt")}));
    EXPECT_TRUE(QFile::exists(DataFile(U("sub/ScriptLog_e.txt"))));
    ASSERT_EQ(FBoxes.Boxes().size(), 1);
    EXPECT_EQ(FBoxes.Last().Icon, TBoxIcon::Information);
    EXPECT_EQ(FBoxes.Last().Text, result.Operation.Name + U("\n\n") + result.Operation.Text);
    EXPECT_TRUE(FBoxes.Last().Text.endsWith(
        U("Всего - 3, обработано - 2, пропущено - 1, предупреждений - 0, ошибок - 0.")))
        << FBoxes.Last().Text.toStdString();
    EXPECT_TRUE(FStatuses.contains(U("Поиск файлов журналов...")));

    // A log's name on a link to a folder: an error that the messages name, with its reason.
    const QString link = DataFile(U("ScriptLog_x.txt"));
    ASSERT_TRUE(QFile::link(FDir.path(), link));
    QStringList viewer;
    SetViewerMessageSink([&](const QString&, const QString& text, std::uint32_t, int) { viewer.append(text); });
    const TLogsDeleteResult linked = DeleteScenarioLogs(FDir.path());
    SetViewerMessageSink({});
    EXPECT_EQ(linked.Operation.Errors, 1);
    EXPECT_TRUE(QFileInfo(link).isSymLink());
    ASSERT_EQ(viewer.size(), 1);
    EXPECT_EQ(viewer[0].section(U("] "), 1), U("Ошибка при выполнении операции \"Удаление файла \"%1\"\":\n"
                                                 "\"%1\" - ссылка на каталог, а не файл!").arg(link));
}

}  // namespace
