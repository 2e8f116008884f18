#include "platform/Cp1251.h"
#include "platform/Exceptions.h"
#include "platform/IniFile.h"
#include "platform/SysErrorText.h"
#include "tests/common/TestHelpers.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cerrno>
#include <ostream>
#include <unistd.h>

namespace {

const char* const Sample =
    "; настройки\r\n"
    "[Главная]\r\n"
    "Имя=Значение, с запятой\r\n"
    "  Путь = \"C:\\Программа\"  \r\n"
    "; комментарий\r\n"
    "\r\n"
    "[Other]\r\n"
    "x=1\r\n";

TEST(IniFile, RoundTripIsByteExact)
{
    TMemIniFile ini(QString{});
    ini.LoadFromBytes(Cp(Sample));
    EXPECT_EQ(ini.ToBytes(), Cp(Sample));
    // Even a byte that has no character in the code page survives.
    const QByteArray odd = QByteArray("[A]\r\nk=\x98\xFF\r\n");
    ini.LoadFromBytes(odd);
    EXPECT_EQ(ini.ToBytes(), odd);
}

TEST(IniFile, ValuesAreTrimmedButOtherwiseRaw)
{
    TMemIniFile ini(QString{});
    ini.LoadFromBytes(Cp(Sample));
    EXPECT_EQ(ini.ReadString(U("Главная"), U("Имя"), U("?")), U("Значение, с запятой"));
    EXPECT_EQ(ini.ReadString(U("Главная"), U("Путь"), U("?")), U("\"C:\\Программа\""));
    EXPECT_EQ(ini.ReadString(U("Главная"), U("; комментарий"), U("?")), U("?"));
    EXPECT_EQ(ini.ReadSection(U("Главная")), (QStringList{U("Имя"), U("Путь")}));
    EXPECT_EQ(ini.ReadSections(), (QStringList{U("Главная"), U("Other")}));
    EXPECT_EQ(ini.ReadSectionValues(U("other")), QStringList{U("x=1")});
}

TEST(IniFile, NamesMatchWithoutRegardToCase)
{
    TMemIniFile ini(QString{});
    ini.LoadFromBytes(Cp(Sample));
    EXPECT_EQ(ini.ReadString(U("ГЛАВНАЯ"), U("имя"), U("?")), U("Значение, с запятой"));
    EXPECT_EQ(ini.ReadInteger(U("OTHER"), U("X"), 0), 1);
    EXPECT_TRUE(ini.SectionExists(U("главная")));
    EXPECT_TRUE(ini.ValueExists(U("главная"), U("ПУТЬ")));
    EXPECT_FALSE(ini.ValueExists(U("Нет"), U("Путь")));

    // Rewriting a key keeps its spelling and its place; nothing else moves.
    ini.WriteString(U("главная"), U("ИМЯ"), U("Новое"));
    QByteArray expected = Cp(Sample);
    expected.replace(Cp("Имя=Значение, с запятой"), Cp("Имя=Новое"));
    EXPECT_EQ(ini.ToBytes(), expected);
}

TEST(IniFile, NewKeysAndSectionsGoWhereExpected)
{
    TMemIniFile ini(QString{});
    ini.LoadFromBytes(Cp(Sample));
    ini.WriteString(U("Главная"), U("Ключ"), U("3"));
    ini.WriteInteger(U("Новая"), U("n"), -5);
    QByteArray expected = Cp(Sample);
    expected.replace(Cp("\"  \r\n"), Cp("\"  \r\nКлюч=3\r\n"));
    expected.append(Cp("\r\n[Новая]\r\nn=-5\r\n"));
    EXPECT_EQ(ini.ToBytes(), expected);

    // A section without keys takes a new key after its last non-blank line.
    ini.LoadFromBytes("[A]\r\n;c\r\n\r\n[B]\r\n");
    ini.WriteString(U("A"), U("k"), U("v"));
    EXPECT_EQ(ini.ToBytes(), QByteArray("[A]\r\n;c\r\nk=v\r\n\r\n[B]\r\n"));

    // An empty file gets no leading blank line; one already blank gets no second one.
    TMemIniFile empty(QString{});
    empty.WriteBool(U("S"), U("on"), true);
    EXPECT_EQ(empty.ToBytes(), QByteArray("[S]\r\non=1\r\n"));
    empty.LoadFromBytes("[S]\r\n\r\n");
    empty.WriteBool(U("T"), U("off"), false);
    EXPECT_EQ(empty.ToBytes(), QByteArray("[S]\r\n\r\n[T]\r\noff=0\r\n"));
}

TEST(IniFile, ReadsLfAndUnterminatedLastLine)
{
    TMemIniFile ini(QString{});
    ini.LoadFromBytes("[A]\nx=1\n[B]\r\ny = 2");
    EXPECT_EQ(ini.ReadInteger(U("A"), U("x"), 0), 1);
    EXPECT_EQ(ini.ReadInteger(U("B"), U("y"), 0), 2);
    EXPECT_EQ(ini.ToBytes(), QByteArray("[A]\r\nx=1\r\n[B]\r\ny = 2\r\n"));
}

TEST(IniFile, TypedReadsFallBackToTheDefault)
{
    TMemIniFile ini(QString{});
    ini.LoadFromBytes("[N]\r\nhex=$1F\r\nbad=12abc\r\nempty=\r\nf1=1,5\r\nf2=1.5\r\nb0=0\r\nb2=2\r\nyes=yes\r\n");
    EXPECT_EQ(ini.ReadInteger(U("N"), U("hex"), 0), 31);
    EXPECT_EQ(ini.ReadInteger(U("N"), U("bad"), 7), 7);
    EXPECT_EQ(ini.ReadInteger(U("N"), U("missing"), 7), 7);
    EXPECT_EQ(ini.ReadString(U("N"), U("empty"), U("def")), QString(""));
    EXPECT_EQ(ini.ReadInteger(U("N"), U("empty"), 7), 7);
    EXPECT_EQ(ini.ReadFloat(U("N"), U("f1"), 0), 1.5);
    EXPECT_EQ(ini.ReadFloat(U("N"), U("f2"), 0), 1.5);
    EXPECT_EQ(ini.ReadFloat(U("N"), U("bad"), 2.5), 2.5);
    EXPECT_FALSE(ini.ReadBool(U("N"), U("b0"), true));
    EXPECT_TRUE(ini.ReadBool(U("N"), U("b2"), false));
    EXPECT_TRUE(ini.ReadBool(U("N"), U("yes"), true));
    EXPECT_FALSE(ini.ReadBool(U("N"), U("yes"), false));

    ini.WriteFloat(U("N"), U("f1"), 0.25);
    EXPECT_EQ(ini.ReadString(U("N"), U("f1"), QString()), U("0,25"));
    EXPECT_EQ(ini.ReadFloat(U("N"), U("f1"), 0), 0.25);
}

TEST(IniFile, EraseDeleteAndLineBreaks)
{
    TMemIniFile ini(QString{});
    ini.LoadFromBytes("[A]\r\nk=1\r\nj=2\r\n[B]\r\nk=3\r\n[a]\r\nk=4\r\n");
    ini.DeleteKey(U("B"), U("K"));
    EXPECT_FALSE(ini.ValueExists(U("B"), U("k")));
    ini.EraseSection(U("a"));   // both copies go, so the second does not surface
    EXPECT_FALSE(ini.SectionExists(U("A")));
    EXPECT_EQ(ini.ToBytes(), QByteArray("[B]\r\n"));

    ini.WriteString(U("B"), U("multi"), U("one\r\ntwo\nthree"));
    EXPECT_EQ(ini.ToBytes(), QByteArray("[B]\r\nmulti=one two three\r\n"));
    ini.Clear();
    EXPECT_TRUE(ini.ToBytes().isEmpty());
    EXPECT_TRUE(ini.ReadSections().isEmpty());
}

// A section or key is written trimmed and on one line; every lookup takes the name the same
// way, so a value is found again under the very names it was written with.
TEST(IniFile, NamesAreFoundAsTheyWereWritten)
{
    struct {
        const char* section;
        const char* key;
        const char* file;
    } const cases[] = {
        {"\n", "s", "[]\r\ns=v\r\n"},
        {"S", "a\nb", "[S]\r\na b=v\r\n"},
        {" Sec\r\ntion ", "\tKey ", "[Sec tion]\r\nKey=v\r\n"},
        {"A\rB", "k\r\n", "[A B]\r\nk=v\r\n"},
    };
    for (const auto& c : cases) {
        TMemIniFile ini(QString{});
        ini.WriteString(U(c.section), U(c.key), U("v"));
        EXPECT_TRUE(ini.SectionExists(U(c.section))) << c.file;
        EXPECT_TRUE(ini.ValueExists(U(c.section), U(c.key))) << c.file;
        EXPECT_EQ(ini.ReadString(U(c.section), U(c.key), U("missing")), U("v")) << c.file;
        EXPECT_EQ(ini.ReadSection(U(c.section)).size(), 1) << c.file;
        EXPECT_EQ(ini.ToBytes(), QByteArray(c.file));

        // Written again under the same names: the one value is replaced, not added.
        ini.WriteString(U(c.section), U(c.key), U("w"));
        EXPECT_EQ(ini.ReadSectionValues(U(c.section)).size(), 1) << c.file;
        ini.DeleteKey(U(c.section), U(c.key));
        EXPECT_FALSE(ini.ValueExists(U(c.section), U(c.key))) << c.file;
        ini.EraseSection(U(c.section));
        EXPECT_FALSE(ini.SectionExists(U(c.section))) << c.file;
        EXPECT_TRUE(ini.ToBytes().isEmpty()) << c.file;
    }
}

TEST(IniFile, MissingFileIsEmptyAndIsCreatedOnUpdate)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("Tavrix2_2r10.ini"));
    TMemIniFile ini(path);
    EXPECT_TRUE(ini.ReadSections().isEmpty());
    EXPECT_EQ(ini.ReadString(U("A"), U("b"), U("def")), U("def"));
    ini.WriteString(U("Общие"), U("Язык"), U("Русский"));
    ini.UpdateFile();
    EXPECT_EQ(ReadFileBytes(path), Cp("[Общие]\r\nЯзык=Русский\r\n"));

    TMemIniFile again(path);
    EXPECT_EQ(again.ReadString(U("общие"), U("язык"), QString()), U("Русский"));
}

TEST(IniFile, UpdateKeepsUnrelatedTextOnDisk)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("a.ini"));
    WriteFileBytes(path, Cp(Sample));
    {
        TMemIniFile ini(path);
        ini.WriteString(U("Other"), U("x"), U("2"));
        ini.UpdateFile();
    }
    QByteArray expected = Cp(Sample);
    expected.replace("x=1", "x=2");
    EXPECT_EQ(ReadFileBytes(path), expected);
}

TEST(IniFile, FailedUpdateLeavesTheOldFileAndSaysSo)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    // A name so long that the temporary file beside it cannot be created, whoever runs the test.
    const QString path = dir.filePath(QString(250, QLatin1Char('n')) + QStringLiteral(".ini"));
    WriteFileBytes(path, "[A]\r\nk=old\r\n");
    TMemIniFile ini(path);
    ini.WriteString(U("A"), U("k"), U("new"));
    try {
        ini.UpdateFile();
        ADD_FAILURE() << "no error";
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message(), U("Ошибка записи файла \"%1\": %2").arg(path, SystemErrorText(ENAMETOOLONG)));
    }
    EXPECT_EQ(ReadFileBytes(path), QByteArray("[A]\r\nk=old\r\n"));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files).size(), 1);
}

TEST(IniFile, UnwritableFolderLeavesTheOldFile)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("a.ini"));
    WriteFileBytes(path, "[A]\r\nk=old\r\n");
    TMemIniFile ini(path);
    ini.WriteString(U("A"), U("k"), U("new"));
    ASSERT_TRUE(QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::ExeOwner));
    if (access(QFile::encodeName(dir.path()).constData(), W_OK) == 0) {
        QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        GTEST_SKIP() << "permissions are not enforced for this user";
    }
    EXPECT_THROW(ini.UpdateFile(), Exception);
    QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    EXPECT_EQ(ReadFileBytes(path), QByteArray("[A]\r\nk=old\r\n"));
}

TEST(IniFile, UnreadableExistingFileRaises)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    // A folder where the file should be: it exists but cannot be read as a file.
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("x.ini")));
    EXPECT_THROW(TMemIniFile(dir.filePath(QStringLiteral("x.ini"))), Exception);
}

} // namespace
