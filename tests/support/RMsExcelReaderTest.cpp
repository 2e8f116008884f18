#include "tests/support/RMsExcelFixture.h"

// ---------------------------------------------------------------------------------------------
// The reader itself: stored entries, damaged and truncated archives.

namespace {

void Put16(QByteArray& b, quint32 v)
{
    b.append(char(v & 0xff)).append(char(v >> 8 & 0xff));
}
void Put32(QByteArray& b, quint32 v)
{
    Put16(b, v & 0xffff);
    Put16(b, v >> 16);
}

// A zip archive of one stored entry.
QByteArray StoredZip(const QByteArray& name, const QByteArray& data, quint32 crc)
{
    QByteArray zip;
    Put32(zip, 0x04034b50);
    Put16(zip, 20); Put16(zip, 0); Put16(zip, 0); Put16(zip, 0); Put16(zip, 0);
    Put32(zip, crc); Put32(zip, data.size()); Put32(zip, data.size());
    Put16(zip, name.size()); Put16(zip, 0);
    zip += name;
    zip += data;
    const quint32 dir = zip.size();
    Put32(zip, 0x02014b50);
    Put16(zip, 20); Put16(zip, 20); Put16(zip, 0); Put16(zip, 0); Put16(zip, 0); Put16(zip, 0);
    Put32(zip, crc); Put32(zip, data.size()); Put32(zip, data.size());
    Put16(zip, name.size()); Put16(zip, 0); Put16(zip, 0); Put16(zip, 0); Put16(zip, 0);
    Put32(zip, 0); Put32(zip, 0);
    zip += name;
    const quint32 dirSize = zip.size() - dir;
    Put32(zip, 0x06054b50);
    Put16(zip, 0); Put16(zip, 0); Put16(zip, 1); Put16(zip, 1);
    Put32(zip, dirSize); Put32(zip, dir); Put16(zip, 0);
    return zip;
}

} // namespace

TEST(XlsxReader, StoredEntriesAndBadArchives)
{
    // CRC-32 of "hello" is 0x3610a686.
    TZipReader zip;
    ASSERT_TRUE(zip.Load(StoredZip("a.txt", "hello", 0x3610a686u))) << qPrintable(zip.Error());
    EXPECT_EQ(zip.Names(), QStringList{"a.txt"});
    EXPECT_EQ(zip.Entry("a.txt").value_or("<none>"), "hello");
    EXPECT_FALSE(zip.Entry("b.txt").has_value());

    // A wrong CRC, a cut archive, and bytes that are no archive at all.
    ASSERT_TRUE(zip.Load(StoredZip("a.txt", "hello", 0x3610a687u)));
    EXPECT_FALSE(zip.Entry("a.txt").has_value());
    const QByteArray good = StoredZip("a.txt", "hello", 0x3610a686u);
    EXPECT_FALSE(zip.Load(good.left(good.size() - 5)));
    EXPECT_FALSE(zip.Load("PK not really a zip"));
    EXPECT_FALSE(zip.Load(QByteArray()));
}

TEST_F(RMsExcel, ReaderRefusesADamagedWorkbook)
{
    TExcelSheet* sheet = StartSheet();
    ASSERT_NE(sheet, nullptr);
    // A text that does not pack into a handful of bytes.
    QString text;
    for (int i = 0; i < 400; ++i)
        text += QString::number(i * 7919 % 10007) + QLatin1Char(' ');
    sheet->Cells(1, 1).SetValue(text);
    Opened.clear();
    ASSERT_TRUE(DisconnectExcel());
    ASSERT_EQ(Opened.size(), 1);
    const QByteArray bytes = ReadFileBytes(Opened.first());
    TXlsxReader x;
    ASSERT_TRUE(x.Open(Opened.first())) << qPrintable(x.Error());
    EXPECT_EQ(x.Text(1, "A1"), text);

    // Truncated: the end record is gone.
    const QString cut = Temp + QStringLiteral("/cut.xlsx");
    WriteFileBytes(cut, bytes.left(bytes.size() / 2));
    EXPECT_FALSE(x.Open(cut));
    // One byte of the shared strings' packed data changed: inflation or the CRC catches it.
    TZipReader zip;
    ASSERT_TRUE(zip.Load(bytes));
    // The local header's name is followed by the packed data (no extra field).
    const qsizetype at = bytes.indexOf("xl/sharedStrings.xml") + 20 + 10;
    QByteArray damaged = bytes;
    damaged[at] = char(damaged[at] ^ 0x55);
    const QString bad = Temp + QStringLiteral("/bad.xlsx");
    WriteFileBytes(bad, damaged);
    EXPECT_FALSE(x.Open(bad));
}
