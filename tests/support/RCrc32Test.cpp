#include "support/RCrc32.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

QString WriteFile(const QTemporaryDir& dir, const QString& name, const QByteArray& data)
{
    const QString path = dir.filePath(name);
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(data);
    return path;
}

} // namespace

TEST(RCrc32, KnownChecksums)
{
    EXPECT_EQ(BufferCrc32("abc", 3), 0x352441C2u);
    EXPECT_EQ(BufferCrc32("123456789", 9), 0xCBF43926u);
    EXPECT_EQ(BufferCrc32("", 0), 0u);
    // Fed in two pieces, the running value gives the same result.
    std::uint32_t running = UpdateCrc32(0xFFFFFFFFu, "1234", 4);
    running = UpdateCrc32(running, "56789", 5);
    EXPECT_EQ(~running, 0xCBF43926u);
}

TEST(RCrc32, FilesOfEveryBlockBoundary)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    EXPECT_EQ(FileCrc32Hex(WriteFile(dir, "abc.txt", "abc")), "352441C2");
    EXPECT_EQ(FileCrc32Hex(WriteFile(dir, "empty", QByteArray())), "00000000");
    // Leading zeros are kept: the CRC of these bytes is below 0x10000000.
    const QByteArray small = QByteArray::fromHex("00000000");
    EXPECT_EQ(FileCrc32Hex(WriteFile(dir, "zeros", small)), "2144DF1C");

    // Exactly one block, one block and a byte, several blocks: the same as the whole buffer.
    for (const int size : {32768, 32769, 100000}) {
        QByteArray data(size, '\0');
        for (int i = 0; i < size; ++i)
            data[i] = static_cast<char>((i * 7 + i / 256) & 0xFF);
        const QString name = WriteFile(dir, QStringLiteral("f%1").arg(size), data);
        EXPECT_EQ(FileCrc32(name), BufferCrc32(data.constData(), static_cast<std::size_t>(data.size()))) << size;
    }
}

TEST(RCrc32, MissingFileRaisesOpenError)
{
    QTemporaryDir dir;
    EXPECT_THROW(FileCrc32(dir.filePath("missing.bin")), EFOpenError);
    EXPECT_THROW(FileCrc32Hex(dir.path()), Exception);   // a folder cannot be read as a file
}
