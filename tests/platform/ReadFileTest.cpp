#include "platform/ReadFile.h"
#include "tests/common/TestHelpers.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cerrno>

#include <sys/stat.h>

// Whatever stands at a file's name, the read returns at once: the bytes of a regular file within
// the bound, or the reason alone in Russian with the system's error number (0 when it has none).
TEST(ReadFile, OnlyARegularFileWithinTheBoundIsRead)
{
    QTemporaryDir dir;
    const auto path = [&](const char* name) { return dir.filePath(QLatin1String(name)); };
    const QByteArray bytes("a\r\nb\0c", 6);
    WriteFileBytes(path("file"), bytes);
    ASSERT_TRUE(QFile::link(path("file"), path("link")) && QFile::link(QStringLiteral("/dev/zero"), path("zero")));
    ASSERT_EQ(::mkfifo(QFile::encodeName(path("fifo")).constData(), 0600), 0);
    QFile large(path("large"));
    ASSERT_TRUE(large.open(QIODevice::WriteOnly) && large.resize((1 << 20) + 1));
    const char* notRegular = "это не обычный файл, а канал или устройство";
    const struct {
        QString Name;
        int Code;   // -1: read
        const char* Reason;
    } cases[] = {
        {path("file"), -1, ""},
        {path("link"), -1, ""},
        {path("fifo"), 0, notRegular},
        {path("zero"), 0, notRegular},
        {dir.path(), EISDIR, "на месте файла находится каталог"},
        {path("large"), 0, "размер файла превышает допустимый (1048576 байт)"},
        {path("missing"), ENOENT, "нет такого файла или папки"},
        {QString(), ENOENT, "нет такого файла или папки"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name.toStdString());
        try {
            EXPECT_EQ(ReadRegularFile(c.Name, 1 << 20), bytes);
            EXPECT_EQ(c.Code, -1);
        } catch (const EFileReadError& e) {
            EXPECT_EQ(e.Code(), c.Code);
            EXPECT_EQ(e.Message(), U(c.Reason));
        }
    }
    // Missing rights name reading (the system's own words name reading and writing).
    EXPECT_EQ(ReadErrorText(EACCES), U("нет прав на чтение этого файла"));
}
