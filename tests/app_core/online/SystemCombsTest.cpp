#include "app/core/online/SystemCombs.h"


#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

QString Q(const char* text) { return QString::fromUtf8(text); }

const char* const kNotLoaded5 =
    "Система для 5 чисел не найдена или не загружена на компьютер!\n\n"
    "Перед системной игрой необходимо предварительно загрузить системы на Ваш компьютер через меню "
    "\"Системы\" - \"Загрузить\".";

class SystemCombsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(FDir.isValid());
        Folder = SystemCacheFolder(FDir.path());
        ASSERT_TRUE(QDir().mkpath(Folder));
    }

    void Write(const char* name, const QByteArray& bytes) const
    {
        QFile file(QDir(Folder).filePath(Q(name)));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        ASSERT_EQ(file.write(bytes), bytes.size());
    }

    // The player's numbers 1, 4, 6, 7, 9.
    const TByteArray Five = {1, 4, 6, 7, 9};
    QTemporaryDir FDir;
    QString Folder;
};

TEST(SystemCacheNames, FolderAndFileNames)
{
    EXPECT_EQ(SystemCacheFolder(Q("/opt/game")), Q("/opt/game/Systems"));
    EXPECT_EQ(SystemCacheName(5, 1, 42), Q("2-05-1_0042.dat"));
    EXPECT_EQ(SystemCacheName(10, 0, 7), Q("2-10-0_0007.dat"));
    EXPECT_EQ(SystemCacheName(3, 0, 123456), Q("2-03-0_123456.dat"));
    EXPECT_EQ(SystemCacheFileName(Q("/opt/game/Systems"), 5, 1, 42), Q("/opt/game/Systems/2-05-1_0042.dat"));
}

TEST_F(SystemCombsTest, EveryLinePlaysTwoOfThePlayersNumbers)
{
    // "2 5" plays the second and the fifth number: 4 and 9. Any of the separators splits.
    Write("2-05-1_0042.dat", "2 5\r\n1*3\r\n04+01\r\n5,5\r\n3/4\r\n2:1\r\n1=2\r\n3\\5\r\n4_2\r\n5|1\r\n2~3\r\n"
                             "1  .  2\r\n2 5 3\r\n");
    TSystemCombs result;
    ASSERT_TRUE(LoadSystemCombs(Folder, Five, result));
    const TCombsArray expected = {MakeComb(4, 9), MakeComb(1, 6), MakeComb(7, 1), MakeComb(9, 9),
                                  MakeComb(6, 7), MakeComb(4, 1), MakeComb(1, 4), MakeComb(6, 9),
                                  MakeComb(7, 4), MakeComb(9, 1), MakeComb(4, 6), MakeComb(1, 4),
                                  MakeComb(4, 9)};
    EXPECT_EQ(result.Combs, expected);
    EXPECT_EQ(result.FileName, QDir(Folder).filePath(Q("2-05-1_0042.dat")));
    EXPECT_EQ(result.SkippedLines, 0);
    EXPECT_TRUE(result.Error.isEmpty());
}

TEST_F(SystemCombsTest, LinesOutsideThePlayersNumbersAreSkippedAndCounted)
{
    // Index 0, index n + 1, a huge index, one word, letters, a number too big for 32 bits:
    // none of them may reach outside the five numbers. Empty lines are passed over.
    Write("2-05-0_0001.dat", "0 1\n1 0\n6 1\n1 6\n99999 2\n3\nx y\n2147483648 1\n\n   \n2 3\n5 4");
    TSystemCombs result;
    ASSERT_TRUE(LoadSystemCombs(Folder, Five, result));
    EXPECT_EQ(result.Combs, (TCombsArray{MakeComb(4, 6), MakeComb(9, 7)}));
    EXPECT_EQ(result.SkippedLines, 8);
}

TEST_F(SystemCombsTest, EveryKindOfLineBreakEndsALine)
{
    // CR LF, LF and a lone CR each end a line, as a typed or pasted list reads; a break at
    // the very end opens no further line.
    struct TCase {
        const char* Text;
        TCombsArray Combs;
    };
    const TCase cases[] = {
        {"1 2\r\n3 4\r\n", {MakeComb(0, 2), MakeComb(4, 6)}},
        {"1 2\n3 4", {MakeComb(0, 2), MakeComb(4, 6)}},
        {"1 2\r3 4\r", {MakeComb(0, 2), MakeComb(4, 6)}},
        {"1 2\r\r\n\n3 4\n\r5 1", {MakeComb(0, 2), MakeComb(4, 6), MakeComb(8, 0)}},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Text);
        Write("2-05-0_0001.dat", c.Text);
        TSystemCombs result;
        ASSERT_TRUE(LoadSystemCombs(Folder, TByteArray{0, 2, 4, 6, 8}, result));
        EXPECT_EQ(result.Combs, c.Combs);
        EXPECT_EQ(result.SkippedLines, 0);
    }
}

TEST_F(SystemCombsTest, FileWithoutAUsableLineGivesNothing)
{
    Write("2-04-0_0003.dat", "5 6\r\n0 0\r\n\r\n");
    TSystemCombs result;
    EXPECT_FALSE(LoadSystemCombs(Folder, TByteArray{0, 2, 4, 8}, result));
    EXPECT_TRUE(result.Combs.empty());
    EXPECT_EQ(result.SkippedLines, 2);
    EXPECT_EQ(result.FileName, QDir(Folder).filePath(Q("2-04-0_0003.dat")));
    EXPECT_EQ(result.Error,
              Q("В файле системы \"%1\" нет ни одной комбинации!").arg(result.FileName));

    Write("2-03-0_0004.dat", "");
    EXPECT_FALSE(LoadSystemCombs(Folder, TByteArray{1, 2, 3}, result));
    EXPECT_EQ(result.SkippedLines, 0);
    EXPECT_FALSE(result.Error.isEmpty());
}

TEST_F(SystemCombsTest, TheFirstSystemForTheNumberCountInNameOrderIsUsed)
{
    Write("2-05-1_0002.dat", "1 2\n");
    Write("2-05-0_0007.dat", "3 4\n");
    // Not systems for five numbers, or not system files at all.
    Write("2-50-0_0001.dat", "1 1\n");
    Write("2-05-0_0001.txt", "1 1\n");
    Write("3-05-0_0001.dat", "1 1\n");
    Write("2-05-00001.dat", "1 1\n");
    TSystemCombs result;
    ASSERT_TRUE(LoadSystemCombs(Folder, Five, result));
    EXPECT_EQ(result.FileName, QDir(Folder).filePath(Q("2-05-0_0007.dat")));
    EXPECT_EQ(result.Combs, (TCombsArray{MakeComb(6, 7)}));
}

TEST_F(SystemCombsTest, NoSystemForTheNumberCountIsTheMessageToLoadOne)
{
    Write("2-04-0_0001.dat", "1 2\n");
    Write("2-06-0_0001.dat", "1 2\n");
    TSystemCombs result;
    result.SkippedLines = 3;
    EXPECT_FALSE(LoadSystemCombs(Folder, Five, result));
    EXPECT_EQ(result.Error, Q(kNotLoaded5));
    EXPECT_TRUE(result.FileName.isEmpty());
    EXPECT_TRUE(result.Combs.empty());
    EXPECT_EQ(result.SkippedLines, 0);

    // A missing folder is the same: nothing has been loaded.
    EXPECT_FALSE(LoadSystemCombs(QDir(FDir.path()).filePath(Q("nowhere")), Five, result));
    EXPECT_EQ(result.Error, Q(kNotLoaded5));
    EXPECT_FALSE(LoadSystemCombs(Folder, TByteArray{}, result));
    EXPECT_TRUE(result.Error.startsWith(Q("Система для 0 чисел")));
}

TEST(SystemListNormalization, LinesBecomeTwoNumbersOfTwoDigits)
{
    struct TCase {
        const char* Text;
        QStringList Lines;
        int Nums;
    };
    const TCase cases[] = {
        {"7;12", {"07 12"}, 12},
        // nums is the largest index: 7 for these two lines.
        {"01 05\r\n03 07\r\n", {"01 05", "03 07"}, 7},
        // Not the span of the indexes (which would be 3): a system for four numbers.
        {"02 03\n03 04", {"02 03", "03 04"}, 4},
        {"  1 2  \r\n\r\n1 2 3\r5\nx y\n0 4\n4 0\n1,,2\n3 - 4\n99999999999 1\n\t2|1\t\n10~10",
         {"01 02", "01 02", "03 04", "02 01", "10 10"}, 10},
        {"1*2\n2+3\n3,4\n4.5\n5/6\n6:7\n7=8\n8\\9\n9_1\n1|3\n3~5",
         {"01 02", "02 03", "03 04", "04 05", "05 06", "06 07", "07 08", "08 09", "09 01", "01 03", "03 05"}, 9},
        {"", {}, 0},
        {"\r\n  \r\nabc\r\n", {}, 0},
        {"123 4", {"123 04"}, 123},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Text);
        const TSystemList list = NormalizeSystemList(Q(c.Text));
        EXPECT_EQ(list.Lines, c.Lines);
        EXPECT_EQ(list.Nums, c.Nums);
        EXPECT_EQ(list.CSize, c.Lines.size());
    }
    EXPECT_EQ(SystemCacheMask(5), Q("2-05-*_*.dat"));
}

} // namespace
