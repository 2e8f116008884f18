#include "platform/ReadFile.h"
#include "tests/common/TestHelpers.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cerrno>

#include <sys/stat.h>
#include <unistd.h>

// Whatever stands at a file's name, the read returns at once: the bytes of a regular file within
// the bound, or the reason alone in Russian with the system's error number (0 when the system
// has none for it).
TEST(ReadFile, OnlyARegularFileWithinTheBoundIsRead)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const auto path = [&](const char* name) { return dir.filePath(QLatin1String(name)); };
    const QByteArray bytes("a\r\nb\0c", 6);
    WriteFileBytes(path("file"), bytes);
    ASSERT_TRUE(QFile::link(path("file"), path("link")));
    ASSERT_EQ(::mkfifo(QFile::encodeName(path("fifo")).constData(), 0600), 0);
    ASSERT_TRUE(QFile::link(QStringLiteral("/dev/zero"), path("zero")));
    QFile large(path("large"));
    ASSERT_TRUE(large.open(QIODevice::WriteOnly) && large.resize((1 << 20) + 1));
    large.close();
    WriteFileBytes(path("locked"), bytes);
    ASSERT_TRUE(QFile::setPermissions(path("locked"), QFileDevice::WriteOwner));
    const bool root = ::geteuid() == 0;   // reads a file whatever its rights

    const char* notRegular = "это не обычный файл, а канал или устройство";
    const struct {
        QString Name;
        qint64 Bound;
        int Code;   // -1: read
        const char* Reason;
    } cases[] = {
        {path("file"), 6, -1, ""},
        {path("link"), 6, -1, ""},
        {path("file"), 5, 0, "размер файла превышает допустимый (5 байт)"},
        {path("fifo"), 100, 0, notRegular},
        {path("zero"), 100, 0, notRegular},
        {dir.path(), 100, EISDIR, "на месте файла находится каталог"},
        {path("large"), 1 << 20, 0, "размер файла превышает допустимый (1048576 байт)"},
        {path("missing"), 100, ENOENT, "нет такого файла или папки"},
        {QString(), 100, ENOENT, "нет такого файла или папки"},
        {path("locked"), 100, root ? -1 : EACCES, root ? "" : "нет прав на чтение этого файла"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name.toStdString());
        try {
            EXPECT_EQ(ReadRegularFile(c.Name, c.Bound), bytes);
            EXPECT_EQ(c.Code, -1);
        } catch (const EFileReadError& e) {
            EXPECT_EQ(e.Code(), c.Code);
            EXPECT_EQ(e.Message(), U(c.Reason));
        }
    }
    // Missing rights name reading, the rest are the system's own words.
    EXPECT_EQ(ReadErrorText(EPERM), U("нет прав на чтение этого файла"));
    EXPECT_EQ(ReadErrorText(ENOSPC), U("на диске нет свободного места"));
}
