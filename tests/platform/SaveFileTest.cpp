#include "platform/Exceptions.h"
#include "platform/ReadFile.h"
#include "platform/SaveFile.h"
#include "platform/SysErrorText.h"
#include "tests/common/FileWrites.h"
#include "tests/common/TestHelpers.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cerrno>
#include <ostream>

#include <sys/stat.h>

namespace {

mode_t ModeOf(const QString& path)
{
    struct stat st {};
    if (::lstat(QFile::encodeName(path).constData(), &st) != 0)
        return 0;
    return st.st_mode & 07777;
}

// Everything in the folder, hidden files included.
QStringList Entries(const QString& folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                                  QDir::Name);
}

// The message a failed save of the file must carry for a system error.
QString SaveErrorText(const QString& fileName, int error)
{
    return QString::fromUtf8("Ошибка записи файла \"%1\": %2").arg(fileName, SystemErrorText(error));
}

class SaveFileTest : public ::testing::Test {
protected:
    QString Path(const QString& name) const { return FDir.filePath(name); }
    QTemporaryDir FDir;
};

TEST_F(SaveFileTest, ReplacesTheContentAndKeepsThePermissions)
{
    ASSERT_TRUE(FDir.isValid());
    const QString path = Path("a.dat");
    WriteFileBytes(path, "old content, longer than the new one");
    ASSERT_EQ(::chmod(QFile::encodeName(path).constData(), 0640), 0);

    SaveFileAtomic(path, QByteArray("new\0bytes", 9));
    EXPECT_EQ(ReadFileBytes(path), QByteArray("new\0bytes", 9));
    EXPECT_EQ(ModeOf(path), 0640u);
    EXPECT_EQ(Entries(FDir.path()), QStringList({"a.dat"}));

    // A new file gets the usual mode less the umask; an empty content makes an empty file.
    const mode_t mask = ::umask(022);
    SaveFileAtomic(Path("b.dat"), QByteArray());
    ::umask(mask);
    EXPECT_EQ(ReadFileBytes(Path("b.dat")), QByteArray());
    EXPECT_EQ(ModeOf(Path("b.dat")), 0644u);
    EXPECT_EQ(Entries(FDir.path()), QStringList({"a.dat", "b.dat"}));
}

TEST_F(SaveFileTest, StreamedWritesArriveInOrder)
{
    ASSERT_TRUE(FDir.isValid());
    const QString path = Path("records.dat");
    // Small records around the buffer's size and one block larger than it.
    QByteArray expected;
    {
        TSaveFile file(path);
        EXPECT_EQ(file.FileName(), path);
        for (int i = 0; i < 5000; ++i) {
            const QByteArray record = QByteArray::number(i).rightJustified(20, '.');
            file.Write(record);
            expected += record;
        }
        const QByteArray block(200 * 1024, 'x');
        file.Write(block);
        expected += block;
        file.Write("tail", 4);
        file.Write("", 0);
        expected += "tail";
        // Nothing reaches the target before the commit.
        EXPECT_FALSE(QFile::exists(path));
        EXPECT_TRUE(QFile::exists(TSaveFile::TempFileName(path)));
        file.Commit();
        EXPECT_THROW(file.Write("late", 4), Exception);
        EXPECT_THROW(file.Commit(), Exception);
    }
    EXPECT_EQ(ReadFileBytes(path), expected);
    EXPECT_EQ(Entries(FDir.path()), QStringList({"records.dat"}));
}

TEST_F(SaveFileTest, AbandonedSaveLeavesTheOldFile)
{
    ASSERT_TRUE(FDir.isValid());
    const QString path = Path("a.dat");
    WriteFileBytes(path, "old");
    {
        TSaveFile file(path);
        file.Write("new content", 11);
    }
    EXPECT_EQ(ReadFileBytes(path), "old");
    EXPECT_EQ(Entries(FDir.path()), QStringList({"a.dat"}));
}

TEST_F(SaveFileTest, StaleTemporaryFileIsReplaced)
{
    ASSERT_TRUE(FDir.isValid());
    const QString path = Path("a.dat");
    WriteFileBytes(path, "old");
    WriteFileBytes(TSaveFile::TempFileName(path), "left by an interrupted save, longer than the rest");
    SaveFileAtomic(path, "new");
    EXPECT_EQ(ReadFileBytes(path), "new");
    EXPECT_EQ(Entries(FDir.path()), QStringList({"a.dat"}));
}

TEST_F(SaveFileTest, RenameOntoAFolderFailsAndSaysWhy)
{
    ASSERT_TRUE(FDir.isValid());
    // A folder holding a file stands at the target's name: no user can rename a file over it.
    const QString path = Path("a.dat");
    ASSERT_TRUE(QDir().mkpath(path));
    WriteFileBytes(path + "/inside", "kept");
    try {
        SaveFileAtomic(path, "new");
        ADD_FAILURE() << "no error";
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message(), SaveErrorText(path, EISDIR));
    }
    EXPECT_EQ(ReadFileBytes(path + "/inside"), "kept");
    EXPECT_EQ(Entries(FDir.path()), QStringList({"a.dat"}));
}

TEST_F(SaveFileTest, FailuresLeaveTheOldFileByteForByte)
{
    ASSERT_TRUE(FDir.isValid());
    const QByteArray old("old\r\ncontent\0", 13);
    struct TCase {
        const char* Name;
        int Error;   // the reason the message must give
    };
    const TCase cases[] = {
        {"folder at the temporary name", EISDIR},
        {"file larger than the process may write", EFBIG},
        {"name too long for a temporary file beside it", ENAMETOOLONG},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        QString path = Path("a.dat");
        if (c.Error == ENAMETOOLONG)
            path = Path(QString(252, QLatin1Char('n')));
        WriteFileBytes(path, old);
        if (c.Error == EISDIR) {
            ASSERT_TRUE(QDir().mkpath(TSaveFile::TempFileName(path) + "/x"));
        }
        try {
            if (c.Error == EFBIG) {
                TFileSizeLimit limit(old.size());
                ASSERT_TRUE(limit.Active());
                SaveFileAtomic(path, QByteArray(100, 'z'));
            } else {
                SaveFileAtomic(path, "new");
            }
            ADD_FAILURE() << "no error";
        } catch (const Exception& e) {
            EXPECT_EQ(e.Message(), SaveErrorText(path, c.Error));
        }
        EXPECT_EQ(ReadFileBytes(path), old);
        if (c.Error == EISDIR) {
            EXPECT_TRUE(QDir().rmpath(TSaveFile::TempFileName(path) + "/x"));
        }
        EXPECT_EQ(Entries(FDir.path()), QStringList({QFileInfo(path).fileName()}));
        ASSERT_TRUE(QFile::remove(path));
    }

    // A folder that does not exist: nothing is created anywhere.
    const QString missing = Path("no/such/a.dat");
    try {
        SaveFileAtomic(missing, "new");
        ADD_FAILURE() << "no error";
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message(), SaveErrorText(missing, ENOENT));
    }
    EXPECT_TRUE(Entries(FDir.path()).isEmpty());
}

TEST_F(SaveFileTest, WriteFailureAbandonsTheSave)
{
    ASSERT_TRUE(FDir.isValid());
    const QString path = Path("a.dat");
    WriteFileBytes(path, "old");
    {
        TSaveFile file(path);
        TFileSizeLimit limit(10);
        ASSERT_TRUE(limit.Active());
        // Larger than the buffer, so the write reaches the disk at once.
        EXPECT_THROW(file.Write(QByteArray(100 * 1024, 'z')), Exception);
        EXPECT_FALSE(QFile::exists(TSaveFile::TempFileName(path)));
        EXPECT_THROW(file.Write("more", 4), Exception);
        EXPECT_THROW(file.Commit(), Exception);
    }
    EXPECT_EQ(ReadFileBytes(path), "old");
    EXPECT_EQ(Entries(FDir.path()), QStringList({"a.dat"}));
}

TEST_F(SaveFileTest, SymbolicLinkKeepsPointingAtTheNewContent)
{
    ASSERT_TRUE(FDir.isValid());
    ASSERT_TRUE(QDir().mkpath(Path("real")));
    const QString real = Path("real/a.dat");
    WriteFileBytes(real, "old");
    ASSERT_TRUE(QFile::link(real, Path("a.dat")));
    SaveFileAtomic(Path("a.dat"), "new");
    EXPECT_TRUE(QFileInfo(Path("a.dat")).isSymLink());
    EXPECT_EQ(ReadFileBytes(real), "new");
    EXPECT_EQ(Entries(Path("real")), QStringList({"a.dat"}));
    EXPECT_EQ(Entries(FDir.path()), QStringList({"a.dat", "real"}));

    // A link to a pipe (as to a device) is replaced itself; what it pointed to stays as it was.
    ASSERT_EQ(::mkfifo(QFile::encodeName(Path("real/pipe")).constData(), 0600), 0);
    ASSERT_TRUE(QFile::link(Path("real/pipe"), Path("b.dat")));
    SaveFileAtomic(Path("b.dat"), "new");
    EXPECT_EQ(QFileInfo(Path("b.dat")).symLinkTarget(), QString());
    EXPECT_EQ(ReadFileBytes(Path("b.dat")), "new");
    struct stat st {};
    EXPECT_TRUE(::stat(QFile::encodeName(Path("real/pipe")).constData(), &st) == 0 && S_ISFIFO(st.st_mode));
}

} // namespace

// What a whole read gives back: the bytes as stored, or at once the reason alone in Russian with
// the system's error number (0 when it has none) for whatever else stands at the name (the
// callers put the file's name into their own messages).
TEST_F(SaveFileTest, WholeReadGivesTheBytesOrTheSystemsReason)
{
    const QByteArray bytes("a\r\nb\0c", 6);
    SaveFileAtomic(Path("data.bin"), bytes);
    EXPECT_EQ(ReadRegularFile(Path("data.bin"), bytes.size()), bytes);
    ASSERT_TRUE(QFile::link(Path("data.bin"), Path("link")) && QFile::link(QStringLiteral("/dev/zero"), Path("zero")));
    EXPECT_EQ(ReadRegularFile(Path("link"), bytes.size()), bytes);
    ASSERT_EQ(::mkfifo(QFile::encodeName(Path("fifo")).constData(), 0600), 0);
    QFile large(Path("large"));
    ASSERT_TRUE(large.open(QIODevice::WriteOnly) && large.resize(1025));

    const char* notRegular = "это не обычный файл, а канал или устройство";
    const struct {
        QString Name;
        int Code;
        const char* Reason;
    } cases[] = {
        {Path("missing.bin"), ENOENT, "нет такого файла или папки"},
        {FDir.path(), EISDIR, "на месте файла находится каталог"},
        {Path("fifo"), 0, notRegular},   // without a writer
        {Path("zero"), 0, notRegular},
        {Path("large"), 0, "размер файла превышает допустимый (1024 байт)"},
        {QString(), ENOENT, "нет такого файла или папки"},
    };
    for (const auto& c : cases) {
        try {
            ReadRegularFile(c.Name, 1024);
            ADD_FAILURE() << "no exception for " << c.Name.toStdString();
        } catch (const EFileReadError& e) {
            EXPECT_EQ(e.Code(), c.Code) << c.Name.toStdString();
            EXPECT_EQ(e.Message(), QString::fromUtf8(c.Reason)) << c.Name.toStdString();
        }
    }
    // Missing rights name reading; the system's own words name reading and writing.
    EXPECT_EQ(ReadErrorText(EACCES), QString::fromUtf8("нет прав на чтение этого файла"));
}
