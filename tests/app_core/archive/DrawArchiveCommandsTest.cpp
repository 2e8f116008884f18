#include "tests/app_core/CoreTestEnv.h"

#include "app/core/archive/DrawFile.h"
#include "platform/SaveFile.h"
#include "tests/fixtures/ArchiveFixtures.h"
#include "tests/common/TestHelpers.h"

#include <QDir>

#include <cerrno>
#include <functional>

// Finding draws in the archive and the commands that change it.

namespace {

// Draws with the given numbers, keys of consecutive fixture draws, digits from the number.
TDrawsArray Numbered(std::initializer_list<std::uint32_t> numbers)
{
    TDrawsArray draws;
    int i = 0;
    for (const std::uint32_t n : numbers) {
        draws.push_back(Draw(n, n % 10, (n / 10) % 10, ""));
        draws.back().Key.Set(FixtureDrawKey(i++));
    }
    return draws;
}

QList<std::uint32_t> NumbersOf(const TDrawsArray& draws)
{
    QList<std::uint32_t> numbers;
    for (const TDrawRec& d : draws)
        numbers.append(d.Number);
    return numbers;
}

using DrawLookupTest = TCoreTest;
using DrawCommandTest = TCoreTest;

} // namespace

TEST_F(DrawLookupTest, EmptyArchive)
{
    EXPECT_EQ(FState.NextDrawNumber(0), 1);
    EXPECT_EQ(FState.NextDrawNumber(5), 1);
    EXPECT_EQ(FState.GetDrawDateInt(0, 0), 20160801);
    EXPECT_EQ(FState.GetDrawDateInt(0, 10), 20160801);
    EXPECT_EQ(FState.FindDrawByNumber(1), -1);
    EXPECT_EQ(FState.FindDrawByText("08/01/2016 M", 0), -1);
    EXPECT_EQ(FState.GetDrawDigits(0), 0);
    EXPECT_TRUE(FState.GetDrawDigitsText(0).isEmpty());

    const TDrawsInfo info = FState.DrawsInfo();
    EXPECT_EQ(info.CountText, QString::fromUtf8("Архив тиражей: 0"));
    EXPECT_EQ(info.NextText, QString::fromUtf8("Следующий тираж: 1"));
    EXPECT_TRUE(info.DigitsText.isEmpty());
    EXPECT_EQ(info.OffsetMax, -1);
    // The first draw added by hand gets number 1.
    EXPECT_EQ(FArchive.NewDrawRecord().Number, 1u);
}

TEST_F(DrawLookupTest, PositionsCountFromTheNewestDraw)
{
    // Ten draws numbered 1..10 from 08/01/2016 M to 08/05/2016 E.
    FState.FDraws = MakeDraws({{0, 1}, {1, 2}, {2, 3}, {3, 4}, {4, 5}, {5, 6}, {6, 7}, {7, 8}, {8, 9}, {9, 0}});
    EXPECT_EQ(FState.GetDrawDigits(0), MakeComb(9, 0));
    EXPECT_EQ(FState.GetDrawDigits(9), MakeComb(0, 1));
    EXPECT_EQ(FState.GetDrawDigits(10), 0);
    EXPECT_EQ(FState.GetDrawDigits(-1), 0);
    EXPECT_EQ(FState.NextDrawNumber(0), 11);
    EXPECT_EQ(FState.NextDrawNumber(9), 2);
    EXPECT_EQ(FState.NextDrawNumber(10), -1);
    EXPECT_EQ(FState.NextDrawNumber(-1), -1);
    EXPECT_EQ(FState.GetDrawDateInt(0, 0), 20160805);
    EXPECT_EQ(FState.GetDrawDateInt(0, 99), 20161112);
    EXPECT_EQ(FState.GetDrawDateInt(9, 0), 20160801);
    EXPECT_EQ(FState.GetDrawDateInt(10, 0), 20160801);
    EXPECT_TRUE(FState.GetDrawDigitsText(0).isEmpty());
    EXPECT_EQ(FState.GetDrawDigitsText(1), "9;0");
    EXPECT_EQ(FState.GetDrawDigitsText(9), "1;2");
    EXPECT_TRUE(FState.GetDrawDigitsText(10).isEmpty());

    // Offset 3: row 3 is the current draw, panel 1 its number plus 1, panel 2 the digits of row 2.
    QList<TDrawsInfo> infos;
    QList<int> offsets;
    FState.OnDrawsInfo = [&](const TDrawsInfo& info, bool) { infos.append(info); };
    FState.OnDrawsOffsetChanged = [&](int offset) { offsets.append(offset); };
    QList<bool> refreshes;
    FState.RegisterView([&](bool force) { refreshes.append(force); });
    FState.SetDrawsOffset(3);
    ASSERT_EQ(infos.size(), 1);
    EXPECT_EQ(infos[0].CountText, QString::fromUtf8("Архив тиражей: 10"));
    EXPECT_EQ(infos[0].NextText, QString::fromUtf8("Следующий тираж: 8"));
    EXPECT_EQ(infos[0].DigitsText, "7;8");
    EXPECT_EQ(infos[0].OffsetMax, 9);
    EXPECT_EQ(offsets, QList<int>({3}));
    EXPECT_EQ(refreshes, QList<bool>({false}));
    TDigitSet expected;
    expected.set(7);
    expected.set(8);
    EXPECT_EQ(FState.FCurrentDigits, expected);

    // The same offset again changes nothing; below 0 counts as 0, which empties the set.
    FState.SetDrawsOffset(3);
    EXPECT_EQ(infos.size(), 1);
    FState.SetDrawsOffset(-4);
    EXPECT_EQ(FState.DrawsOffset(), 0);
    EXPECT_EQ(offsets, QList<int>({3, 0}));
    EXPECT_TRUE(FState.FCurrentDigits.none());
    EXPECT_TRUE(infos.last().DigitsText.isEmpty());
}

TEST_F(DrawLookupTest, FindDrawByNumber)
{
    FState.FDraws = Numbered({1, 2, 3, 4, 5, 6, 7, 8, 9, 10});
    for (int n = 1; n <= 10; ++n)
        EXPECT_EQ(FState.FindDrawByNumber(n), n - 1) << n;
    EXPECT_EQ(FState.FindDrawByNumber(0), -1);
    EXPECT_EQ(FState.FindDrawByNumber(11), -1);
    EXPECT_EQ(FState.FindDrawByNumber(-5), -1);
    EXPECT_EQ(FState.FindDrawByNumber(std::int64_t(1) << 40), -1);

    // A gap: a number inside it is not there; numbers past it are found by the walk.
    FState.FDraws = Numbered({1, 2, 3, 4, 5, 100, 101, 102});
    EXPECT_EQ(FState.FindDrawByNumber(50), -1);
    EXPECT_EQ(FState.FindDrawByNumber(4), 3);
    EXPECT_EQ(FState.FindDrawByNumber(101), 6);
    EXPECT_EQ(FState.FindDrawByNumber(5), 4);

    // After edits numbers need not grow: the guess is useless and the full search finds them.
    FState.FDraws = Numbered({5, 6, 7, 1, 2});
    EXPECT_EQ(FState.FindDrawByNumber(1), 3);
    EXPECT_EQ(FState.FindDrawByNumber(7), 2);
    EXPECT_EQ(FState.FindDrawByNumber(9), -1);
    // Last number one below the first: the guess would divide by zero.
    FState.FDraws = Numbered({3, 7, 2});
    EXPECT_EQ(FState.FindDrawByNumber(7), 1);
    EXPECT_EQ(FState.FindDrawByNumber(4), -1);
    // Repeated numbers: one of them is found.
    FState.FDraws = Numbered({1, 2, 2, 3});
    EXPECT_EQ(FState.FDraws[static_cast<size_t>(FState.FindDrawByNumber(2))].Number, 2u);
    FState.FDraws = Numbered({4});
    EXPECT_EQ(FState.FindDrawByNumber(4), 0);
    EXPECT_EQ(FState.FindDrawByNumber(3), -1);
}

TEST_F(DrawLookupTest, FindDrawByText)
{
    FState.FDraws = MakeArchive(10);   // 08/01/2016 M .. 08/05/2016 E
    EXPECT_EQ(FState.FindDrawByText("08/05/2016 E", 0), 9);
    EXPECT_EQ(FState.FindDrawByText("08/05/2016 e", 3), 9);
    EXPECT_EQ(FState.FindDrawByText("08/01/2016 M", 0), 0);
    EXPECT_EQ(FState.FindDrawByText("08/01/2016 M", -1), 0);
    EXPECT_EQ(FState.FindDrawByText("08/06/2016 M", 0), -1);
    EXPECT_EQ(FState.FindDrawByText("08/01/2016", 0), -1);   // whole keys only
    // n = 3 looks at the newest four draws: indexes 6..9.
    EXPECT_EQ(FState.FindDrawByText("08/04/2016 M", 3), 6);
    EXPECT_EQ(FState.FindDrawByText("08/03/2016 E", 3), -1);
    EXPECT_EQ(FState.FindDrawByText("08/03/2016 E", 4), 5);
    // A limit beyond the archive searches all of it.
    EXPECT_EQ(FState.FindDrawByText("08/01/2016 M", 50), 0);
    // The same key twice: the newer one.
    FState.FDraws.push_back(FState.FDraws[2]);
    EXPECT_EQ(FState.FindDrawByText(FixtureDrawKey(2), 0), 10);
}

TEST_F(DrawCommandTest, AddAndEditSaveAndRefresh)
{
    QList<bool> refreshes;
    FState.RegisterView([&](bool force) { refreshes.append(force); });

    TDrawRec draw = FArchive.NewDrawRecord();
    EXPECT_EQ(draw, Draw(1, 0, 0, ""));
    draw.Digits = {4, 2};
    draw.Key.Set(MakeDrawKey(EncodeDate(2016, 8, 1), EncodeTime(13, 59, 0, 0)));
    FArchive.AddDraw(draw);
    EXPECT_EQ(ReadFileBytes(FState.DrawsFileName()), DrawsToBytes({Draw(1, 4, 2, "08/01/2016 M")}));
    EXPECT_EQ(FArchive.NewDrawRecord(), Draw(2, 0, 0, "08/01/2016 E"));
    EXPECT_EQ(refreshes, QList<bool>({false}));

    // Digits that no table of the program can index are refused before anything changes.
    TDrawRec bad = FArchive.NewDrawRecord();
    bad.Digits = {10, 2};
    EXPECT_THROW(FArchive.AddDraw(bad), Exception);
    EXPECT_THROW(FArchive.EditDraw(0, bad), Exception);
    EXPECT_EQ(FState.FDraws.size(), 1u);

    // Editing keeps the index.
    FArchive.AddDraw(Draw(2, 5, 5, "08/01/2016 E"));
    EXPECT_EQ(FArchive.NewDrawRecord(), Draw(3, 0, 0, "08/02/2016 M"));
    FArchive.EditDraw(0, Draw(1, 1, 1, "08/01/2016 M"));
    EXPECT_EQ(NumbersOf(FState.FDraws), QList<std::uint32_t>({1, 2}));
    EXPECT_EQ(ReadFileBytes(FState.DrawsFileName()), DrawsToBytes(FState.FDraws));
    EXPECT_THROW(FArchive.EditDraw(2, Draw(3, 1, 1, "")), Exception);
    EXPECT_EQ(refreshes.size(), 3);

    // Appending checks every record, its digits and its order, before it takes any.
    EXPECT_THROW(FArchive.AppendDraws({Draw(3, 1, 2, "08/02/2016 M"), Draw(4, 1, 12, "08/02/2016 E")}),
                 Exception);
    EXPECT_THROW(FArchive.AppendDraws({Draw(3, 1, 2, "08/02/2016 M"), Draw(3, 1, 2, "08/02/2016 E")}), Exception);
    EXPECT_THROW(FArchive.AppendDraws({Draw(3, 1, 2, "08/02/2016 E"), Draw(4, 1, 2, "08/02/2016 M")}), Exception);
    EXPECT_EQ(NumbersOf(FState.FDraws), QList<std::uint32_t>({1, 2}));
    FArchive.AppendDraws({Draw(3, 1, 2, "08/02/2016 M"), Draw(4, 9, 0, "08/02/2016 E")});
    EXPECT_EQ(NumbersOf(FState.FDraws), QList<std::uint32_t>({1, 2, 3, 4}));
}

TEST_F(DrawCommandTest, DeleteByArchiveIndex)
{
    // Numbers repeat after an edit: the rows shown as "2" are two different draws.
    FState.FDraws = Numbered({1, 2, 2, 3});
    FState.FDraws[2].Digits = {7, 7};
    FArchive.SaveDrawsFile();

    // Declined: nothing happens.
    FBoxes.Answer(IDNO);
    EXPECT_FALSE(FArchive.DeleteDraws({2}));
    EXPECT_EQ(FState.FDraws.size(), 4u);

    // Row 1 (second newest) is archive index 2.
    EXPECT_EQ(FArchive.IndexOfRow(1), 2);
    EXPECT_EQ(FArchive.IndexOfRow(4), -1);
    FBoxes.Answer(IDYES);
    EXPECT_TRUE(FArchive.DeleteDraws({FArchive.IndexOfRow(1)}));
    ASSERT_EQ(FState.FDraws.size(), 3u);
    EXPECT_EQ(NumbersOf(FState.FDraws), QList<std::uint32_t>({1, 2, 3}));
    EXPECT_NE(FState.FDraws[1].Digits[0], 7);
    EXPECT_EQ(ReadFileBytes(FState.DrawsFileName()), DrawsToBytes(FState.FDraws));
    EXPECT_EQ(FBoxes.Boxes().size(), 2);
    EXPECT_EQ(FBoxes.Last().Buttons, TBoxButtons::YesNo);

    // Several rows in any order, one given twice.
    FState.FDraws = Numbered({1, 2, 3, 4, 5, 6});
    FBoxes.Answer(IDYES);
    EXPECT_TRUE(FArchive.DeleteDraws({1, 4, 1}));
    EXPECT_EQ(NumbersOf(FState.FDraws), QList<std::uint32_t>({1, 3, 4, 6}));

    // One index outside the archive: nothing is deleted, the file stays, the busy state ends.
    const QByteArray before = ReadFileBytes(FState.DrawsFileName());
    FBoxes.Answer(IDYES);
    try {
        FArchive.DeleteDraws({0, 9});
        ADD_FAILURE() << "no error";
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message(), QString::fromUtf8("Запись со индексом 9 в файле данных не найдена!"));
    }
    EXPECT_EQ(NumbersOf(FState.FDraws), QList<std::uint32_t>({1, 3, 4, 6}));
    EXPECT_EQ(ReadFileBytes(FState.DrawsFileName()), before);
    EXPECT_TRUE(IsNotWaiting());
    EXPECT_TRUE(FStatuses.last().isEmpty());
    EXPECT_THROW(FArchive.DeleteDrawRecord(-1), Exception);
}

TEST_F(DrawCommandTest, DrawDialogTexts)
{
    std::uint8_t d1 = 0;
    std::uint8_t d2 = 0;
    for (const char* good : {"3,7", "3;7", "3 ; 7", " 3 , 7 "}) {
        EXPECT_TRUE(ParseDrawDigitsText(good, d1, d2)) << good;
        EXPECT_EQ(d1, 3);
        EXPECT_EQ(d2, 7);
    }
    EXPECT_TRUE(ParseDrawDigitsText("0;9", d1, d2));
    for (const char* bad : {"3", "3;7;1", "10;2", "a;b", "", "3;-1", "3;7x"})
        EXPECT_FALSE(ParseDrawDigitsText(bad, d1, d2)) << bad;
    EXPECT_EQ(DrawDigitsText(Draw(1, 0, 9, "")), "0;9");

    const TDateTime day = EncodeDate(2016, 8, 1);
    EXPECT_EQ(MakeDrawKey(day, EncodeTime(1, 0, 0, 0)), "08/01/2016 M");
    EXPECT_EQ(MakeDrawKey(day, EncodeTime(13, 59, 0, 0)), "08/01/2016 M");
    EXPECT_EQ(MakeDrawKey(day, EncodeTime(14, 0, 0, 0)), "08/01/2016 E");
    EXPECT_EQ(MakeDrawKey(day, EncodeTime(0, 30, 0, 0)), "08/01/2016 E");
    // Only the date part of the date and the time part of the time count.
    EXPECT_EQ(MakeDrawKey(day + 0.9, EncodeDate(2020, 1, 1) + EncodeTime(9, 0, 0, 0)), "08/01/2016 M");
}

TEST_F(DrawCommandTest, ListRowsAndSortedDigits)
{
    FState.FDraws = MakeDraws({{1, 2}, {8, 3}, {5, 5}});
    FState.StatList().Config().ChannelSize = 5;
    FState.SetDrawsOffset(1);

    TDrawRow row = FArchive.DrawRow(1);
    EXPECT_EQ(row.Number, "2");
    EXPECT_EQ(row.Digit1, "8");
    EXPECT_EQ(row.Digit2, "3");
    EXPECT_EQ(row.Sum, "11");
    EXPECT_EQ(row.Key, "08/01/2016 E");
    EXPECT_TRUE(row.Current);
    EXPECT_EQ(row.Background, CurrentDrawColor);
    EXPECT_EQ(row.DigitColor1, ChannelColor(8, 5));
    EXPECT_EQ(row.DigitColor2, ChannelColor(3, 5));
    EXPECT_EQ(FArchive.DrawRow(0).Background, PlainDrawColor);
    EXPECT_TRUE(FArchive.DrawRow(3).Number.isEmpty());

    // Without colouring only the current row keeps its light red.
    FState.Options.SetValue(TMainOptions::ColorDraws, 0);
    EXPECT_EQ(FArchive.DrawRow(1).Background, CurrentDrawColor);
    EXPECT_FALSE(FArchive.DrawRow(0).Background.has_value());
    EXPECT_FALSE(FArchive.DrawRow(0).DigitColor1.has_value());

    // Sorted digits are shown ascending; the stored draw keeps its order.
    QList<bool> refreshes;
    FState.RegisterView([&](bool force) { refreshes.append(force); });
    FArchive.ToggleSortedDraws();
    EXPECT_TRUE(FState.Options.Flag(TMainOptions::SortedDraws));
    EXPECT_EQ(refreshes, QList<bool>({true}));
    EXPECT_EQ(FArchive.DrawRow(1).Digit1, "3");
    EXPECT_EQ(FArchive.DrawRow(1).Digit2, "8");
    EXPECT_EQ(FState.FDraws[1].Digits[0], 8);
    EXPECT_TRUE(ReadFileBytes(FState.FormStateFileName()).contains("SortedDraws=1"));
}

// The player's archive of 300 draws (08/01/2016 M .. 12/28/2016 E) on 01/10/2017 at noon: what
// adding a draw as the newest or changing one in place may not bring in. A refused command
// changes neither the archive nor its file.
TEST_F(DrawCommandTest, AddAndEditRefuseADrawTheArchiveHoldsOrCannotRead)
{
    SetToday(QDate(2017, 1, 10));
    const TDrawsArray archive = MakeArchive(300);
    const QString numberTaken = U("В архиве уже есть тираж с номером %1 (\"%2\")!\n\nУкажите другой номер тиража.");
    const QString keyTaken =
        U("В архиве уже есть тираж с датой и временем \"%1\" (тираж %2)!\n\nУкажите другие дату или время тиража.");
    const QString notNewer = U("Новый тираж \"%1\" должен быть позже последнего тиража архива (тираж 300, "
                               "\"12/28/2016 E\")!\n\nУкажите более поздние дату или время тиража.");
    const QString badDate = U("Некорректная дата тиража: \"%1\"!\n\nУкажите дату с 1901 по 2998 год.");
    const QString afterToday =
        U("Дата и время тиража \"%1\" позже текущих!\n\nТираж еще не проведен: укажите дату и время не позже текущих.");
    const QString numberNotAbove = U("Номер нового тиража %1 должен быть больше номера последнего тиража архива "
                                     "(тираж 300, \"12/28/2016 E\")!\n\nУкажите больший номер тиража.");
    const QString notAfter = U("Тираж \"%1\" должен быть позже предыдущего тиража архива (тираж %2, \"%3\")!\n\n"
                               "Укажите более поздние дату или время тиража.");
    const QString notBefore = U("Тираж \"%1\" должен быть раньше следующего тиража архива (тираж %2, \"%3\")!\n\n"
                                "Укажите более ранние дату или время тиража.");
    const QString numberOrder = U("Номер тиража %1 должен быть %2 номера %3 тиража архива (тираж %4, \"%5\")!\n\n"
                                  "Укажите %6 номер тиража.");
    struct TCase {
        const char* Name;
        int Index;   // -1: added as the newest
        std::uint32_t Number;
        const char* Key;
        TDrawRefusal Refusal;
        QString Message;
    };
    const TCase cases[] = {
        {"add: the newest number", -1, 300, "12/29/2016 M", TDrawRefusal::NumberTaken,
         numberTaken.arg(300).arg("12/28/2016 E")},
        {"add: the newest key", -1, 301, "12/28/2016 E", TDrawRefusal::KeyTaken, keyTaken.arg("12/28/2016 E").arg(300)},
        {"add: a key in another letter case", -1, 301, "08/01/2016 m", TDrawRefusal::KeyTaken,
         keyTaken.arg("08/01/2016 m").arg(1)},
        {"add: before the newest", -1, 301, "07/31/2016 E", TDrawRefusal::NotNewer, notNewer.arg("07/31/2016 E")},
        {"add: a date that does not read", -1, 301, "13/45/2016 E", TDrawRefusal::BadDate, badDate.arg("13/45/2016 E")},
        {"add: a day the month lacks", -1, 301, "02/30/2017 M", TDrawRefusal::BadDate, badDate.arg("02/30/2017 M")},
        {"add: tomorrow", -1, 301, "01/11/2017 M", TDrawRefusal::DateAfterToday, afterToday.arg("01/11/2017 M")},
        {"add: the next number, a later day", -1, 301, "12/29/2016 M", TDrawRefusal::None, {}},
        {"add: yesterday's evening, after a gap", -1, 305, "01/09/2017 E", TDrawRefusal::None, {}},
        {"add: today's evening at noon", -1, 301, "01/10/2017 E", TDrawRefusal::DateAfterToday,
         afterToday.arg("01/10/2017 E")},
        {"add: a free number below the newest", -1, 0, "12/29/2016 M", TDrawRefusal::NumberNotAbove,
         numberNotAbove.arg(0)},
        {"edit the newest: unchanged", 299, 300, "12/28/2016 E", TDrawRefusal::None, {}},
        {"edit the newest: the number before it", 299, 299, "12/28/2016 E", TDrawRefusal::NumberTaken,
         numberTaken.arg(299).arg("12/28/2016 M")},
        {"edit the newest: the key before it", 299, 300, "12/28/2016 M", TDrawRefusal::KeyTaken,
         keyTaken.arg("12/28/2016 M").arg(299)},
        {"edit the newest: an earlier free day", 299, 300, "07/31/2016 E", TDrawRefusal::OutOfOrder,
         notAfter.arg("07/31/2016 E").arg(299).arg("12/28/2016 M")},
        {"edit the newest: tomorrow", 299, 300, "01/11/2017 E", TDrawRefusal::DateAfterToday,
         afterToday.arg("01/11/2017 E")},
        {"edit 296: a day after the draw after it", 295, 296, "01/09/2017 M", TDrawRefusal::OutOfOrder,
         notBefore.arg("01/09/2017 M").arg(297).arg("12/27/2016 M")},
        {"edit the oldest: the newest number", 0, 300, "08/01/2016 M", TDrawRefusal::NumberTaken,
         numberTaken.arg(300).arg("12/28/2016 E")},
        {"edit 150: the next free number", 149, 301, "10/14/2016 E", TDrawRefusal::NumberOutOfOrder,
         numberOrder.arg(301).arg(U("меньше"), U("следующего")).arg(151).arg("10/15/2016 M", U("меньший"))},
        {"edit 150: a free number below 149", 149, 0, "10/14/2016 E", TDrawRefusal::NumberOutOfOrder,
         numberOrder.arg(0).arg(U("больше"), U("предыдущего")).arg(149).arg("10/14/2016 M", U("больший"))},
        {"edit the oldest: number 0", 0, 0, "08/01/2016 M", TDrawRefusal::BadNumber,
         U("Некорректный номер тиража: 0!\n\nУкажите номер от 1 до 2147483647.")},
    };
    FState.FDraws = archive;
    FArchive.SaveDrawsFile();
    const QByteArray file = ReadFileBytes(FState.DrawsFileName());
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        const TDrawRec draw = Draw(c.Number, 1, 2, c.Key);
        const TDrawCheck check = FArchive.CheckDraw(draw, c.Index);
        EXPECT_EQ(check.Refusal, c.Refusal);
        EXPECT_EQ(check.Message, c.Message);
        if (c.Refusal == TDrawRefusal::None)
            continue;
        try {
            if (c.Index < 0)
                FArchive.AddDraw(draw);
            else
                FArchive.EditDraw(c.Index, draw);
            ADD_FAILURE() << "no error";
        } catch (const Exception& e) {
            EXPECT_EQ(e.Message(), c.Message);
        }
        EXPECT_EQ(FState.FDraws, archive);
        EXPECT_EQ(ReadFileBytes(FState.DrawsFileName()), file);
    }

    // A newest key that does not read (a damaged archive) sets no bound: the next draw mends it.
    FState.FDraws.back().Key.Set(QStringLiteral("13/45/2016 E"));
    EXPECT_FALSE(FArchive.CheckDraw(Draw(301, 1, 2, "07/31/2016 E"), -1).Refused());
    // An empty archive takes any readable day up to today.
    FState.FDraws.clear();
    EXPECT_FALSE(FArchive.CheckDraw(Draw(1, 1, 2, "01/01/1901 M"), -1).Refused());
    EXPECT_EQ(FArchive.CheckDraw(Draw(1, 1, 2, "12/31/1900 E"), -1).Refusal, TDrawRefusal::BadDate);
}
