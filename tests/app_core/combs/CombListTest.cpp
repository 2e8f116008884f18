#include "tests/app_core/CoreTestEnv.h"

#include "app/core/combs/CombList.h"
#include "app/core/combs/CombsGen.h"
#include "tests/fixtures/ArchiveFixtures.h"
#include "tests/common/TestHelpers.h"

#include <QDir>
#include <QFileInfo>

#include <utility>
#include <vector>

namespace {

class CombListTest : public TCoreTest {
protected:
    CombListTest()
    {
        FState.CombCount = CombinationsTotal;
        FState.ReserveCombLists();
        FCombs.OnCombsChanged = [this](int count) { FShownCounts.push_back(count); };
    }

    void SetList(std::initializer_list<TCombWord> combs)
    {
        SetCombsCapacity(FState.FCombs, 0, 0);
        for (const TCombWord comb : combs)
            AppendComb(FState.FCombs, comb);
    }
    void SetFullList()
    {
        SetList({});
        for (const TCombWord comb : GenerateCombs(GenFull, {}))
            AppendComb(FState.FCombs, comb);
    }
    QStringList List() const { return CombTexts(CombsOf(FState.FCombs)); }

    TCombListOps FCombs{FState};
    std::vector<int> FShownCounts;
};

} // namespace

// --- Store ------------------------------------------------------------------------------------

TEST(CombStoreTest, CountIsClampedAndTheStoreOnlyGrows)
{
    TCombList list;
    list.Items.assign(4, 0);
    list.Count = 9;   // more than the store holds
    EXPECT_EQ(CombsUsed(list), 4);
    list.Count = -3;
    EXPECT_EQ(CombsUsed(list), 0);

    SetCombsCapacity(list, 2, 1);   // smaller: the store stays
    EXPECT_EQ(list.Items.size(), 4u);
    EXPECT_EQ(list.Count, 1);
    SetCombsCapacity(list, 10, 12);   // the count never passes the store
    EXPECT_EQ(list.Items.size(), 10u);
    EXPECT_EQ(list.Count, 10);

    TCombList copy;
    CopyCombList(list, copy);
    EXPECT_EQ(copy.Count, 10);
    list.Count = 3;
    CopyCombList(list, copy);
    EXPECT_EQ(copy.Count, 3);
    EXPECT_EQ(copy.Items.size(), 10u);
}

// --- Files ------------------------------------------------------------------------------------

TEST_F(CombListTest, FileRoundTripIsByteExact)
{
    SetList({C(3, 7), C(0, 9), C(9, 0), C(3, 7)});
    const QString name = DataFile("list.lcv");
    ASSERT_TRUE(FCombs.WriteCombsFile(name));
    EXPECT_EQ(ReadFileBytes(name), QByteArray("3;7\r\n0;9\r\n9;0\r\n3;7\r\n"));

    SetList({C(1, 1)});
    ASSERT_TRUE(FCombs.ReadCombsFile(name));
    EXPECT_EQ(List(), QStringList({"3;7", "0;9", "9;0", "3;7"}));
    EXPECT_TRUE(FBoxes.Boxes().isEmpty());
}

TEST(CombsFileTest, LinesAreTakenOrLeftOut)
{
    struct Case {
        const char* Bytes;
        QStringList Combs;
        int BadDigitLines;
    };
    const Case cases[] = {
        {"3,7\r\n", {"3;7"}, 0},
        {" 2 ; 8 \r\n", {"2;8"}, 0},
        {"3;7;1\r\n5\r\n\r\n", {}, 0},               // three fields, one field, empty
        {"x;4\r\n", {"0;4"}, 0},                     // not a number: 0
        {";;4,;5;\r\n", {"4;5"}, 0},                 // runs of delimiters are one break
        {"12;3\r\n-1;3\r\n256;1\r\n3;$A\r\n", {}, 4},  // outside 0..9: left out and counted
        {"2;99999999999\r\n-99999999999;1\r\n0;$FFFFFFFFF\r\n", {}, 3},  // at any length
        {"1;2\n3;4\r5;6", {"1;2", "3;4", "5;6"}, 0},  // LF, CR, no break at the end
        {"\xe0;\xe1\r\n", {"0;0"}, 0},               // cp1251 letters are not numbers
        {"1;1\r\n1;1\r\n", {"1;1", "1;1"}, 0},        // duplicates stay
    };
    for (const Case& c : cases) {
        const TCombsFileContents contents = CombsFromBytes(QByteArray(c.Bytes));
        EXPECT_EQ(CombTexts(contents.Combs), c.Combs) << c.Bytes;
        EXPECT_EQ(contents.BadDigitLines, c.BadDigitLines) << c.Bytes;
    }
}

TEST_F(CombListTest, FileLongerThanTheStoreGrowsIt)
{
    QByteArray bytes;
    for (int i = 0; i < 150; ++i)
        bytes += QByteArray::number(i % 10) + ';' + QByteArray::number(i / 10 % 10) + "\r\n";
    const QString name = DataFile("long.lcv");
    WriteFileBytes(name, bytes);
    ASSERT_EQ(FState.FCombs.Items.size(), 100u);

    ASSERT_TRUE(FCombs.ReadCombsFile(name));
    ASSERT_EQ(FCombs.Count(), 150);
    EXPECT_GE(FState.FCombs.Items.size(), 150u);
    EXPECT_EQ(FCombs.Comb(0), C(0, 0));
    EXPECT_EQ(FCombs.Comb(149), C(9, 4));
    ASSERT_TRUE(FCombs.WriteCombsFile(name));
    EXPECT_EQ(ReadFileBytes(name), bytes);
}

TEST_F(CombListTest, OpenToldHowManyLinesWereLeftOut)
{
    const QString name = DataFile("bad.lcv");
    WriteFileBytes(name, "1;2\r\n10;2\r\n3;4\r\n2;99\r\n");
    SetList({C(5, 5)});
    FCombs.AddFilterHistory(true, "f", "v");

    EXPECT_TRUE(FCombs.OpenCombsFile(name));
    EXPECT_EQ(List(), QStringList({"1;2", "3;4"}));
    EXPECT_EQ(FCombs.UndoCount(), 0);
    EXPECT_TRUE(FCombs.FilterHistory().isEmpty());
    ASSERT_EQ(FBoxes.Boxes().size(), 1);
    EXPECT_EQ(FBoxes.Last().Icon, TBoxIcon::Exclamation);
    EXPECT_EQ(FBoxes.Last().Text,
              U("В файле комбинаций \"") + name
                  + U("\" пропущено строк с числами вне диапазона от 0 до 9: 2."));
    EXPECT_TRUE(FStatuses.contains(U("Загрузка файла \"") + name + U("\"...")));
    EXPECT_EQ(FShownCounts.back(), 2);
}

TEST_F(CombListTest, UnreadableFileLeavesTheListEmptyAndOpenPutsItBack)
{
    const QString name = DataFile("missing.lcv");
    SetList({C(1, 2), C(3, 4)});
    EXPECT_FALSE(FCombs.ReadCombsFile(name));
    EXPECT_EQ(FCombs.Count(), 0);
    ASSERT_EQ(FBoxes.Boxes().size(), 1);
    EXPECT_EQ(FBoxes.Last().Icon, TBoxIcon::Error);
    EXPECT_EQ(FBoxes.Last().Text, U("Ошибка чтения файла \"") + name + U("\"!\n\nнет такого файла или папки"));

    SetList({C(1, 2), C(3, 4)});
    FCombs.AddFilterHistory(true, "f", "v");
    EXPECT_FALSE(FCombs.OpenCombsFile(name));
    EXPECT_EQ(List(), QStringList({"1;2", "3;4"}));
    EXPECT_EQ(FCombs.UndoCount(), 0);
    EXPECT_TRUE(FCombs.FilterHistory().isEmpty());
}

TEST_F(CombListTest, FailedWriteIsReported)
{
    SetList({C(1, 2)});
    const QString name = DataFile("no-such-folder/list.lcv");
    EXPECT_FALSE(FCombs.SaveCombsFile(name));
    ASSERT_EQ(FBoxes.Boxes().size(), 1);
    EXPECT_TRUE(FBoxes.Last().Text.startsWith(U("Ошибка записи в файл \"") + name + U("\"!\n\n")));
    EXPECT_TRUE(FBoxes.Last().Text.endsWith(U(": нет такого файла или папки")));   // in Russian
    EXPECT_FALSE(QFile::exists(name));
    EXPECT_TRUE(FStatuses.contains(U("Сохранение файла \"") + name + U("\"...")));

    // A folder in place of the file: the write fails and the folder is as it was.
    const QString folder = DataFile("taken.lcv");
    ASSERT_TRUE(QDir().mkdir(folder));
    EXPECT_FALSE(FCombs.WriteCombsFile(folder));
    EXPECT_TRUE(QFileInfo(folder).isDir());
}

// --- Paste and copy ---------------------------------------------------------------------------

TEST_F(CombListTest, PasteTakesEveryLineOrNone)
{
    struct Case {
        const char* Text;
        bool Complete;
        QStringList Expected;   // the list after the paste
        const char* Error;      // the box, or nullptr
    };
    const QStringList before{"5;5", "6;6"};
    const Case cases[] = {
        {"1 2\r\n3-4\n5:6\r7|8\n9\t0\n", true, {"1;2", "3;4", "5;6", "7;8", "9;0"}, nullptr},
        {"07 03", true, {"7;3"}, nullptr},
        {"1 2\n3 4\nfoo\n5 6", false, before, "Некорректная комбинация: \"foo\"!"},
        {"1 2\n12,3", false, before, "Некорректная комбинация: \"12,3\"!"},
        {"1 2\n\n3 4", false, before, "Некорректная комбинация: \"\"!"},
        {"1 2 3", false, before, "Некорректная комбинация: \"1 2 3\"!"},
        // A word that is not a digit is refused, never read as 0.
        {"1 2\nx 5", false, before, "Некорректная комбинация: \"x 5\"!"},
        {"+1 2", false, before, "Некорректная комбинация: \"+1 2\"!"},
        {"$5 1", false, before, "Некорректная комбинация: \"$5 1\"!"},
        {"007 0", true, {"7;0"}, nullptr},
    };
    for (const Case& c : cases) {
        SetList({C(5, 5), C(6, 6)});
        FCombs.SaveUndo(false);
        FCombs.ClearFilterHistory();
        FCombs.AddFilterHistory(true, "f", "v");
        FBoxes.Clear();

        EXPECT_EQ(FCombs.PasteText(U(c.Text)), c.Complete) << c.Text;
        EXPECT_EQ(List(), c.Expected) << c.Text;
        EXPECT_EQ(FCombs.UndoCount(), 0) << c.Text;
        EXPECT_EQ(FCombs.FilterHistory().size(), c.Complete ? 0 : 1) << c.Text;
        if (c.Error) {
            ASSERT_EQ(FBoxes.Boxes().size(), 1) << c.Text;
            EXPECT_EQ(FBoxes.Last().Text, U(c.Error));
        } else {
            EXPECT_TRUE(FBoxes.Boxes().isEmpty()) << c.Text;
        }
    }
    // A long paste is quoted only in part: the box stays within the screen.
    EXPECT_FALSE(FCombs.PasteText(QString(5000, u'7')));
    EXPECT_EQ(FBoxes.Last().Text, U("Некорректная комбинация: \"") + QString(200, u'7') + U("…\"!"));
}

TEST_F(CombListTest, PasteOfNothingChangesNothing)
{
    SetList({C(5, 5)});
    FCombs.SaveUndo(false);
    EXPECT_FALSE(FCombs.PasteText(QString()));
    EXPECT_EQ(List(), QStringList({"5;5"}));
    EXPECT_EQ(FCombs.UndoCount(), 1);
}

TEST_F(CombListTest, PasteLongerThanTheStoreGrowsIt)
{
    QString text;
    for (int i = 0; i < 250; ++i)
        text += QString::number(i % 10) + QLatin1Char(' ') + QString::number(i / 10 % 10) + QLatin1Char('\n');
    ASSERT_TRUE(FCombs.PasteText(text));
    ASSERT_EQ(FCombs.Count(), 250);
    EXPECT_EQ(FCombs.Comb(249), C(9, 4));
}

TEST_F(CombListTest, CopyGivesTheDisplayTextOfTheRows)
{
    SetList({C(7, 3), C(1, 0), C(9, 9)});
    EXPECT_EQ(FCombs.CopyText({2, 0, 7}), QString("09 09\n07 03\n"));
    EXPECT_EQ(FCombs.CopyText({}), QString());
    // What is copied pastes back.
    ASSERT_TRUE(FCombs.PasteText(FCombs.CopyText({0, 1, 2})));
    EXPECT_EQ(List(), QStringList({"7;3", "1;0", "9;9"}));
}

// --- Exclusion of draws and of rows -----------------------------------------------------------

TEST_F(CombListTest, ExcludingDrawsCountsBackFromTheOffset)
{
    // Oldest first: 1;2  3;4  5;6  7;8; 2;1 is never drawn in this order.
    FState.FDraws = MakeDraws({{1, 2}, {3, 4}, {5, 6}, {7, 8}});
    struct Case {
        int Offset;
        int N;
        QStringList Removed;
    };
    const Case cases[] = {
        {0, 0, {}},
        {0, 2, {"5;6", "7;8"}},
        {0, 10, {"1;2", "3;4", "5;6", "7;8"}},
        {1, 2, {"3;4", "5;6"}},
        {1, 10, {"1;2", "3;4", "5;6"}},
        {3, 1, {"1;2"}},
        {4, 3, {}},   // the offset is past the oldest draw: nothing is in the range
    };
    for (const Case& c : cases) {
        FState.SetDrawsOffset(c.Offset);
        SetFullList();
        AppendComb(FState.FCombs, C(5, 6));   // a duplicate goes as well
        FCombs.ClearFilterHistory();
        FStatuses.clear();

        FCombs.DeleteLastDraws(c.N);
        const QStringList list = List();
        EXPECT_EQ(list.size(), 101 - c.Removed.size() - (c.Removed.contains("5;6") ? 1 : 0))
            << c.Offset << " " << c.N;
        for (const QString& removed : c.Removed)
            EXPECT_FALSE(list.contains(removed)) << removed.toStdString();
        EXPECT_TRUE(list.contains("2;1"));
        EXPECT_EQ(FCombs.UndoCount(), 101);
        ASSERT_EQ(FCombs.FilterHistory().size(), 1);
        EXPECT_EQ(FCombs.FilterHistory()[0],
                  (TFilterHistoryRow{U("Последние тиражи"), QString::number(c.N), static_cast<int>(list.size()),
                                     HistoryImageSuccess}));
        EXPECT_TRUE(FStatuses.contains(U("Удаление из списка комбинаций %1 последних тиражей...").arg(c.N)));
        EXPECT_TRUE(FStatuses.contains(
            U("Удаление из списка комбинаций %1 последних тиражей ( завершено 100 % )...").arg(c.N)));
    }
}

TEST_F(CombListTest, ExcludingDrawsKeepsTheListOrder)
{
    FState.FDraws = MakeDraws({{0, 1}});
    SetList({C(9, 9), C(0, 1), C(1, 0), C(0, 1), C(4, 4)});
    FCombs.DeleteLastDraws(1);
    EXPECT_EQ(List(), QStringList({"9;9", "1;0", "4;4"}));
}

TEST_F(CombListTest, DeletingSelectedRowsIgnoresRowsOutsideTheList)
{
    SetList({C(1, 1), C(2, 2), C(3, 3), C(4, 4)});
    FCombs.DeleteSelected({3, 0, 3, 9, -1});
    EXPECT_EQ(List(), QStringList({"2;2", "3;3"}));
    ASSERT_EQ(FCombs.FilterHistory().size(), 1);
    EXPECT_EQ(FCombs.FilterHistory()[0],
              (TFilterHistoryRow{U("Выделенные комбинации"), "2", 2, HistoryImageSuccess}));
    EXPECT_TRUE(FStatuses.contains(U("Удаление выделенных комбинаций...")));
    EXPECT_TRUE(FStatuses.contains(U("Создание файла отката...")));
}

TEST_F(CombListTest, UndoWorksOnceAndTakesItsHistoryRow)
{
    FState.FDraws = MakeDraws({{1, 2}});
    SetList({C(1, 2), C(2, 1)});
    FCombs.AddFilterHistory(false, "earlier", "x");
    FCombs.DeleteLastDraws(1);
    ASSERT_EQ(List(), QStringList({"2;1"}));
    ASSERT_EQ(FCombs.FilterHistory().size(), 2);
    EXPECT_EQ(FCombs.UndoCount(), 2);

    FCombs.Undo();
    EXPECT_EQ(List(), QStringList({"1;2", "2;1"}));
    EXPECT_EQ(FCombs.UndoCount(), 0);   // the command is disabled now
    ASSERT_EQ(FCombs.FilterHistory().size(), 1);
    EXPECT_EQ(FCombs.FilterHistory()[0].Caption, QString("earlier"));
    EXPECT_TRUE(FStatuses.contains(U("Отмена изменений...")));
    EXPECT_EQ(FShownCounts.back(), 2);
}

// --- Buffer -----------------------------------------------------------------------------------

TEST_F(CombListTest, BufferIsKeyedByTwoNumbers)
{
    SetList({C(1, 1), C(2, 2)});
    EXPECT_FALSE(FCombs.LoadBuffer(-1, -1));   // nothing in it yet
    FCombs.SaveBuffer(3, 2);
    EXPECT_EQ(FState.FCombsBufferKey, (std::array<std::int32_t, 2>{3, 2}));
    EXPECT_TRUE(FStatuses.contains(U("Создание буфера комбинаций...")));

    SetList({C(9, 9)});
    FCombs.SaveBuffer(3, 2);   // same keys: the buffer keeps what it holds
    EXPECT_FALSE(FCombs.LoadBuffer(3, 1));
    EXPECT_FALSE(FCombs.LoadBuffer(2, 2));
    EXPECT_EQ(List(), QStringList({"9;9"}));
    EXPECT_TRUE(FCombs.LoadBuffer(3, 2));
    EXPECT_EQ(List(), QStringList({"1;1", "2;2"}));
    EXPECT_TRUE(FStatuses.contains(U("Загрузка буфера комбинаций...")));

    FCombs.ClearBufferKey();
    EXPECT_EQ(FState.FCombsBufferKey, (std::array<std::int32_t, 2>{-1, -1}));
    EXPECT_EQ(FState.FCombsBuffer.Count, 0);
    EXPECT_FALSE(FCombs.LoadBuffer(3, 2));

    // An empty list under a key is not loaded back.
    SetList({});
    FCombs.SaveBuffer(5, 5);
    SetList({C(4, 4)});
    EXPECT_FALSE(FCombs.LoadBuffer(5, 5));
    EXPECT_EQ(List(), QStringList({"4;4"}));
    EXPECT_TRUE(FBoxes.Boxes().isEmpty());
}

// --- Questions about the list -----------------------------------------------------------------

TEST_F(CombListTest, DistinctDigitsOverTheWholeList)
{
    struct Case {
        std::vector<TCombWord> Combs;
        int Expected;
    };
    const Case cases[] = {
        {{}, 0},
        {{C(3, 3)}, 1},
        {{C(1, 2), C(2, 3), C(3, 1)}, 3},
        {GenerateCombs(GenFull, {}), 10},
    };
    for (const Case& c : cases) {
        SetList({});
        for (const TCombWord comb : c.Combs)
            AppendComb(FState.FCombs, comb);
        EXPECT_EQ(FCombs.CountDistinctDigits(), c.Expected);
    }
    SetList({C(1, 2), C(2, 3)});
    FCombs.CheckNums();
    ASSERT_EQ(FBoxes.Boxes().size(), 1);
    EXPECT_EQ(FBoxes.Last().Icon, TBoxIcon::Information);
    EXPECT_EQ(FBoxes.Last().Text, U("В текущем списке комбинаций содержится 3 уникальных номеров"));
}

TEST_F(CombListTest, FindInDrawsListsNewestFirstAndStopsAfter26)
{
    FState.FDraws = MakeDraws({{3, 4}, {4, 3}, {3, 4}, {1, 1}});
    FState.SetDrawsOffset(2);   // the whole archive is searched, whatever the offset
    EXPECT_EQ(FCombs.FindInDrawsText(C(3, 4)),
              U("Выделенная комбинация найдена в следующих тиражах:\n\n"
                "Тираж № 3 от ") + FixtureDrawKey(2) + U(", значения: 3;4\n"
                "Тираж № 1 от ") + FixtureDrawKey(0) + U(", значения: 3;4"));
    EXPECT_EQ(FCombs.FindInDrawsText(C(2, 2)), U("Выделенная комбинация не найдена архиве тиражей!"));

    TDrawsArray many;
    for (int i = 0; i < 40; ++i)
        many.push_back(MakeDraws({{7, 7}})[0]);
    for (int i = 0; i < 40; ++i)
        many[static_cast<size_t>(i)].Number = static_cast<std::uint32_t>(i + 1);
    FState.FDraws = many;
    const QStringList lines = FCombs.FindInDrawsText(C(7, 7)).split('\n');
    ASSERT_EQ(lines.size(), 2 + 26);
    EXPECT_TRUE(lines[2].startsWith(U("Тираж № 40 ")));
    EXPECT_TRUE(lines.last().startsWith(U("Тираж № 15 ")));

    SetList({C(7, 7)});
    FCombs.FindInDraws(0);
    EXPECT_EQ(FBoxes.Boxes().size(), 1);
    FCombs.FindInDraws(1);   // no such row: nothing to tell
    EXPECT_EQ(FBoxes.Boxes().size(), 1);
}

TEST_F(CombListTest, CombInListComparesBothDigits)
{
    SetList({C(1, 2), C(5, 5)});
    FState.FCombs.Items[2] = C(3, 3);   // in the store, but not in use
    EXPECT_TRUE(FCombs.CombInList(C(1, 2)));
    EXPECT_FALSE(FCombs.CombInList(C(2, 1)));
    EXPECT_FALSE(FCombs.CombInList(C(3, 3)));
}

// --- Applied filters and display --------------------------------------------------------------

TEST_F(CombListTest, HistoryRowsCarryTheCountAfterTheStep)
{
    int changes = 0;
    FCombs.OnHistoryChanged = [&] { ++changes; };
    SetList({C(1, 1), C(2, 2), C(3, 3)});
    FCombs.AddFilterHistory(true, "A", "1; 2");
    SetList({C(1, 1)});
    FCombs.AddFilterHistory(false, "B", "");
    FCombs.AddUndoHistory();
    const QList<TFilterHistoryRow> expected{
        {"A", "1; 2", 3, 13},
        {"B", "", 1, 12},
        {U("Отмена последней операции"), "", 1, 11},
    };
    EXPECT_EQ(FCombs.FilterHistory(), expected);
    FCombs.RemoveLastFilterHistory();
    EXPECT_EQ(FCombs.FilterHistory().size(), 2);
    FCombs.ClearFilterHistory();
    FCombs.RemoveLastFilterHistory();   // nothing left: nothing happens
    EXPECT_TRUE(FCombs.FilterHistory().isEmpty());
    EXPECT_EQ(changes, 5);
}

TEST_F(CombListTest, RowsShowNumberDigitsSumAndChannelColours)
{
    SetList({C(0, 9), C(4, 5)});
    FCombs.RefreshCombsView();
    EXPECT_EQ(FShownCounts.back(), 2);
    EXPECT_EQ(FCombs.CombCountText(), U("Комбинаций: 2"));

    FState.StatList().Config().ChannelSize = 2;
    FState.Options.SetValue(TMainOptions::ColorCombs, 0);
    TCombRow row = FCombs.CombRow(1);
    EXPECT_EQ(row.Number, "2");
    EXPECT_EQ(row.Digit1, "4");
    EXPECT_EQ(row.Digit2, "5");
    EXPECT_EQ(row.Sum, "9");
    EXPECT_FALSE(row.Background.has_value());
    EXPECT_FALSE(row.DigitColor1.has_value());

    FState.Options.SetValue(TMainOptions::ColorCombs, 1);
    row = FCombs.CombRow(0);
    EXPECT_EQ(row.Background, CombsPlainColor);
    EXPECT_EQ(row.DigitColor1, 0x00AAFFAAu);   // digit 0: channel 1
    EXPECT_EQ(row.DigitColor2, 0x00FFAAAAu);   // digit 9: channel 5
    EXPECT_EQ(FCombs.CombRow(2).Number, QString());
}
