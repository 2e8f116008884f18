#include "tests/app_core/CoreTestEnv.h"

#include "app/core/stakes/Ratings.h"
#include "app/core/stakes/RatingsFile.h"
#include "platform/SaveFile.h"
#include "tests/app_core/stakes/RatingsTestData.h"

#include <QDir>

#include <algorithm>
#include <climits>
#include <random>
#include <stdexcept>

namespace {

// Four ratings whose values differ in every column, so each column orders them one way.
TRatingsArray Four()
{
    return {Rating("alpha", 10, {6, 4, 0}, 50000),      // average 0.4, balance 5.00, per stake 0.50
            Rating("beta", 20, {9, 8, 3}, -40000),      // 0.7, -4.00, -0.20
            Rating("gamma", 5, {2, 1, 2}, 125000),      // 1.0, 12.50, 2.50
            Rating("delta", 40, {34, 5, 1}, 3000)};     // 0.175, 0.30, 0.0075
}

class RatingsTest : public TCoreTest {
protected:
    QString FileName() const { return DataFile("Tavrix2_2r10.lrt"); }
    QStringList FolderFiles() const
    {
        return QDir(FDir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
    }
    TRatings FRatings{FileName()};
};

} // namespace

TEST(RatingsFileTest, RecordIsByteExact)
{
    const TRatingRec rec = Rating("Тест@abc", 100, {80, 18, 2}, -123456);
    QByteArray expected(RatingRecSize, '\0');
    expected[0] = 8;
    expected.replace(1, 8, Cp("Тест@abc"));
    expected.replace(256, 4, QByteArray("\x64\x00\x00\x00", 4));   // 100 stakes
    expected.replace(260, 4, QByteArray("\x16\x00\x00\x00", 4));   // 22 positions
    expected.replace(264, 4, QByteArray("\x50\x00\x00\x00", 4));   // 80
    expected.replace(268, 4, QByteArray("\x12\x00\x00\x00", 4));   // 18
    expected.replace(272, 4, QByteArray("\x02\x00\x00\x00", 4));   // 2
    expected.replace(280, 8, QByteArray("\xC0\x1D\xFE\xFF\xFF\xFF\xFF\xFF", 8));   // -12.3456
    ASSERT_EQ(expected.size(), RatingRecSize);

    const QByteArray bytes = RatingsToBytes({rec});
    EXPECT_EQ(bytes.toHex(), expected.toHex());
    EXPECT_EQ(ReadRatingRec(reinterpret_cast<const std::uint8_t*>(expected.constData())), rec);

    // The counter a third position would use carries nothing: read past, written as zero.
    QByteArray third = expected;
    third.replace(276, 4, QByteArray("\x07\x00\x00\x00", 4));
    const TRatingRec read = ReadRatingRec(reinterpret_cast<const std::uint8_t*>(third.constData()));
    EXPECT_EQ(read, rec);
    EXPECT_EQ(RatingsToBytes({read}), expected);

    // A comment longer than the field is cut to 255 bytes; a length byte past it is clamped.
    TRatingRec longer = rec;
    longer.Comment = QString(300, QChar(u'ж'));
    const QByteArray cut = RatingsToBytes({longer});
    EXPECT_EQ(static_cast<std::uint8_t>(cut[0]), 255);
    EXPECT_EQ(ReadRatingRec(reinterpret_cast<const std::uint8_t*>(cut.constData())).Comment, QString(255, QChar(u'ж')));
}

TEST_F(RatingsTest, LoadSortsAndRewritesTheFile)
{
    // The file holds the ratings in another order and a stray third counter: the load sorts
    // by the default column ("Среднее", descending) and writes the file anew.
    QByteArray stored = RatingsToBytes(Four());
    stored[RatingRecSize + 276] = 9;
    WriteFileBytes(FileName(), stored);
    int viewChanges = 0;
    FRatings.OnViewChanged = [&viewChanges] { ++viewChanges; };

    const TRatingsLoadReport report = FRatings.LoadRatingsFile();
    EXPECT_TRUE(report.FileFound);
    EXPECT_EQ(report.Records, 4);
    EXPECT_FALSE(report.Damaged());
    EXPECT_TRUE(TRatings::DamageText(report, "a.lrt").isEmpty());
    EXPECT_EQ(Comments(FRatings.FRatings), QStringList({"gamma", "beta", "alpha", "delta"}));
    EXPECT_EQ(ReadFileBytes(FileName()), RatingsToBytes(FRatings.FRatings));
    EXPECT_GE(viewChanges, 1);
    EXPECT_EQ(FRatings.StatusPanelText(), U("Рейтинг: 4"));
    EXPECT_TRUE(FStatuses.contains(U("Загрузка файла рейтинга...")));
    EXPECT_TRUE(FStatuses.contains(U("Сортировка рейтинга...")));
    EXPECT_TRUE(FStatuses.contains(U("Сохранение файла рейтинга...")));
    EXPECT_EQ(FolderFiles(), QStringList({"Tavrix2_2r10.lrt"}));

    FRatings.FreeRatings();
    EXPECT_TRUE(FRatings.FRatings.empty());
    EXPECT_EQ(FRatings.StatusPanelText(), U("Рейтинг: 0"));
}

TEST_F(RatingsTest, MissingAndEmptyFiles)
{
    TRatingsLoadReport report = FRatings.LoadRatingsFile();
    EXPECT_FALSE(report.FileFound);
    EXPECT_TRUE(FolderFiles().isEmpty());   // nothing is created at start-up

    WriteFileBytes(FileName(), QByteArray());
    report = FRatings.LoadRatingsFile();
    EXPECT_TRUE(report.FileFound);
    EXPECT_EQ(report.Records, 0);
    EXPECT_FALSE(report.Damaged());
    EXPECT_EQ(ReadFileBytes(FileName()), QByteArray());
}

TEST_F(RatingsTest, SortColumnMinusOneSortsNothingButStillSaves)
{
    FRatings.FRatings = Four();
    FRatings.SortColumn = -1;
    WriteFileBytes(FileName(), "old");
    FRatings.SortRatings();
    EXPECT_EQ(FRatings.FRatings, Four());
    EXPECT_EQ(ReadFileBytes(FileName()), RatingsToBytes(Four()));

    // One rating is not sorted either, and is saved the same way.
    FRatings.FRatings = {Four()[1]};
    FRatings.SortColumn = 3;
    FRatings.SortRatings();
    EXPECT_EQ(ReadFileBytes(FileName()), RatingsToBytes({Four()[1]}));
}

TEST_F(RatingsTest, TruncatedFileKeepsItsWholeRecords)
{
    const QByteArray original = RatingsToBytes(Four()) + QByteArray(100, '\x5A');
    WriteFileBytes(FileName(), original);
    FRatings.SortColumn = 1;
    FRatings.SortDescending = false;

    const TRatingsLoadReport report = FRatings.LoadRatingsFile();
    EXPECT_TRUE(report.Damaged());
    EXPECT_EQ(report.ExtraBytes, 100);
    EXPECT_EQ(report.Records, 4);
    EXPECT_TRUE(report.Repaired);
    EXPECT_EQ(report.BackupFile, FileName() + ".bak");
    EXPECT_EQ(ReadFileBytes(report.BackupFile), original);
    EXPECT_EQ(Comments(FRatings.FRatings), QStringList({"gamma", "alpha", "beta", "delta"}));
    EXPECT_EQ(ReadFileBytes(FileName()), RatingsToBytes(FRatings.FRatings));
    EXPECT_EQ(TRatings::DamageText(report, "a.lrt"),
              U("Файл рейтинга \"a.lrt\" поврежден: последние 100 байт не составляют целой записи и "
                "отброшены, файл записан заново.\n\nКопия исходного файла сохранена как \"%1\".")
                  .arg(report.BackupFile));
}

TEST_F(RatingsTest, FailedCopyOrRewriteLeavesTheDamagedFile)
{
    const QByteArray original = RatingsToBytes(Four()) + QByteArray(5, '\x01');
    struct TCase {
        const char* Name;
        QString Blocked;   // a folder stands here
        QStringList Files;
    };
    const TCase cases[] = {
        {"the copy cannot be written", TSaveFile::TempFileName(FileName() + ".bak"), {"Tavrix2_2r10.lrt"}},
        {"the rewrite fails", TSaveFile::TempFileName(FileName()), {"Tavrix2_2r10.lrt", "Tavrix2_2r10.lrt.bak"}},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        WriteFileBytes(FileName(), original);
        ASSERT_TRUE(QDir().mkpath(c.Blocked));
        const TRatingsLoadReport report = FRatings.LoadRatingsFile();
        ASSERT_TRUE(QDir().rmdir(c.Blocked));
        EXPECT_TRUE(report.Damaged());
        EXPECT_FALSE(report.Repaired);
        EXPECT_FALSE(report.RepairError.isEmpty());
        EXPECT_EQ(FRatings.FRatings.size(), 4u);   // the whole records are used all the same
        EXPECT_EQ(ReadFileBytes(FileName()), original);
        EXPECT_EQ(FolderFiles(), c.Files);
        EXPECT_TRUE(TRatings::DamageText(report, "a.lrt").endsWith(report.RepairError));
    }
}

TEST_F(RatingsTest, FailedSaveKeepsTheOldFileAndRaises)
{
    WriteFileBytes(FileName(), RatingsToBytes({Four()[0]}));
    FRatings.FRatings = Four();
    const QString temp = TSaveFile::TempFileName(FileName());
    ASSERT_TRUE(QDir().mkpath(temp));
    EXPECT_THROW(FRatings.SortRatings(), Exception);
    ASSERT_TRUE(QDir().rmdir(temp));
    EXPECT_EQ(ReadFileBytes(FileName()), RatingsToBytes({Four()[0]}));
}

TEST_F(RatingsTest, CountsOutOfRangeAreMendedAfterACopyAndTold)
{
    constexpr std::int32_t IntMax = std::numeric_limits<std::int32_t>::max();
    struct TCase {
        const char* Name;
        TRatingRec Stored;
        TRatingRec Mended;
    };
    auto raw = [](const char* comment, std::int32_t stakes, std::int32_t matched, std::array<std::int32_t, 3> counts,
                  std::int64_t balanceRaw) {
        TRatingRec r;
        r.Comment = U(comment);
        r.Stakes = stakes;
        r.Matched = matched;
        r.MatchCounts = counts;
        r.Balance = TCurrency::FromRaw(balanceRaw);
        return r;
    };
    const TCase cases[] = {
        {"negative stakes take everything with them", raw("a", -5, 3, {1, 1, 1}, 70000), raw("a", 0, 0, {0, 0, 0}, 0)},
        {"negative counts become zero", raw("b", 10, -2, {-1, 4, 0}, -90000), raw("b", 10, 0, {0, 4, 0}, -90000)},
        {"a counter above the stakes", raw("c", 3, 2, {1, 9, 0}, 10000), raw("c", 3, 2, {1, 3, 0}, 10000)},
        {"more matches than two a stake", raw("d", 2, 5, {0, 0, 2}, 10000), raw("d", 2, 4, {0, 0, 2}, 10000)},
        {"money without stakes", raw("e", 0, 0, {0, 0, 0}, 123), raw("e", 0, 0, {0, 0, 0}, 0)},
    };
    // Sound extremes stay exactly as stored.
    const TRatingRec extreme = raw("z", IntMax, IntMax, {IntMax, IntMax, IntMax},
                                   std::numeric_limits<std::int64_t>::min());
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        TRatingRec rec = c.Stored;
        EXPECT_TRUE(MendRatingRec(rec));
        EXPECT_EQ(rec, c.Mended);
        EXPECT_FALSE(MendRatingRec(rec));
    }
    TRatingRec same = extreme;
    EXPECT_FALSE(MendRatingRec(same));

    TRatingsArray stored{extreme};
    for (const TCase& c : cases)
        stored.push_back(c.Stored);
    const QByteArray original = RatingsToBytes(stored);
    WriteFileBytes(FileName(), original);
    FRatings.SortColumn = -1;
    const TRatingsLoadReport report = FRatings.LoadRatingsFile();
    EXPECT_EQ(report.MendedRecords, 5);
    EXPECT_FALSE(report.Damaged());
    EXPECT_TRUE(report.Repaired);
    EXPECT_EQ(ReadFileBytes(report.BackupFile), original);
    TRatingsArray mended{extreme};
    for (const TCase& c : cases)
        mended.push_back(c.Mended);
    EXPECT_EQ(FRatings.FRatings, mended);
    EXPECT_EQ(ReadFileBytes(FileName()), RatingsToBytes(mended));
    EXPECT_EQ(TRatings::DamageText(report, "a.lrt"),
              U("Файл рейтинга \"a.lrt\": в записях (5) счетчики или сумма выходили за допустимые пределы и "
                "исправлены: отрицательные значения заменены нулем, счетчики ограничены числом ставок, у "
                "рейтинга без ставок обнулены счетчики и сумма.\n\nКопия исходного файла сохранена как \"%1\".")
                  .arg(report.BackupFile));

    // A torn file with mended records tells both, the copy once.
    WriteFileBytes(FileName(), original + "xyz");
    const TRatingsLoadReport torn = FRatings.LoadRatingsFile();
    EXPECT_EQ(torn.MendedRecords, 5);
    EXPECT_EQ(torn.ExtraBytes, 3);
    EXPECT_EQ(TRatings::DamageText(torn, "a.lrt").count(U("Копия исходного файла")), 1);
}

TEST_F(RatingsTest, UnchangedFileIsNotWrittenAgain)
{
    // Sorted already: with no room for a new file the load still succeeds and writes nothing.
    FRatings.FRatings = Four();
    FRatings.SortRatings();
    const QByteArray sorted = ReadFileBytes(FileName());
    const QString temp = TSaveFile::TempFileName(FileName());
    ASSERT_TRUE(QDir().mkpath(temp));
    TRatings again(FileName());
    TRatingsLoadReport report;
    EXPECT_NO_THROW(report = again.LoadRatingsFile());
    EXPECT_TRUE(report.SaveError.isEmpty());
    EXPECT_TRUE(TRatings::DamageText(report, "a.lrt").isEmpty());
    EXPECT_NO_THROW(again.SortRatings());

    // A new order must be written: the failure is told, the file and the ratings stay whole.
    WriteFileBytes(FileName(), RatingsToBytes(Four()));
    report = again.LoadRatingsFile();
    ASSERT_TRUE(QDir().rmdir(temp));
    EXPECT_FALSE(report.SaveError.isEmpty());
    EXPECT_EQ(again.FRatings.size(), 4u);
    EXPECT_EQ(ReadFileBytes(FileName()), RatingsToBytes(Four()));
    EXPECT_EQ(TRatings::DamageText(report, "a.lrt"),
              U("Файл рейтинга \"a.lrt\" не удалось сохранить.\n\n") + report.SaveError);
    EXPECT_NE(sorted, RatingsToBytes(Four()));
}

TEST(RatingsSortTest, EveryColumnBothWays)
{
    struct TCase {
        int Column;
        QStringList Ascending;
    };
    const TCase cases[] = {
        {0, {"alpha", "beta", "delta", "gamma"}},
        {1, {"gamma", "alpha", "beta", "delta"}},   // 5, 10, 20, 40 stakes
        {2, {"alpha", "gamma", "delta", "beta"}},   // 4, 5, 7, 14 positions
        {3, {"delta", "alpha", "beta", "gamma"}},   // 0.175, 0.4, 0.7, 1.0
        {4, {"beta", "delta", "alpha", "gamma"}},   // -4.00, 0.30, 5.00, 12.50
        {5, {"beta", "delta", "alpha", "gamma"}},   // -0.20, 0.0075, 0.50, 2.50
        {6, {"gamma", "alpha", "beta", "delta"}},   // 2, 6, 9, 34
        {7, {"gamma", "alpha", "delta", "beta"}},   // 1, 4, 5, 8
        {8, {"alpha", "delta", "gamma", "beta"}},   // 0, 1, 2, 3
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Column);
        const QStringList& ascending = c.Ascending;
        TRatingsArray ratings = Four();
        QuickSortRatings(ratings, c.Column, false);
        EXPECT_EQ(Comments(ratings), ascending);
        QuickSortRatings(ratings, c.Column, true);
        QStringList descending = ascending;
        std::reverse(descending.begin(), descending.end());
        EXPECT_EQ(Comments(ratings), descending);
    }
}

TEST(RatingsSortTest, EqualRowsFollowTheMiddlePivotPartition)
{
    // Worked by hand through the partition: with every pair equal (a column past the last)
    // the scans stop at once and each round swaps from both ends.
    TRatingsArray ratings = Four();   // alpha beta gamma delta
    QuickSortRatings(ratings, 9, false);
    EXPECT_EQ(Comments(ratings), QStringList({"gamma", "delta", "alpha", "beta"}));

    // A rating without stakes equals every other one. [zero, alpha, gamma] by stakes: the
    // pivot alpha; zero stops the left scan, gamma (5 < 10) stops the right one; they swap.
    TRatingsArray withZero = {Rating("zero", 0, {0, 0, 0}, 0), Four()[0], Four()[2]};
    QuickSortRatings(withZero, 1, false);
    EXPECT_EQ(Comments(withZero), QStringList({"gamma", "alpha", "zero"}));
}

TEST(RatingsSortTest, ComparisonRoundsAndNeverOverflows)
{
    struct TCase {
        const char* Name;
        TRatingRec A, B;
        int Column;
        int Expected;
    };
    auto avg = [](std::int32_t stakes, std::int32_t matched) {
        TRatingRec r = Rating("x", stakes, {0, 0, 0}, 0);
        r.Matched = matched;
        return r;
    };
    auto money = [](std::int32_t stakes, std::int64_t raw) { return Rating("x", stakes, {0, 0, 0}, raw); };
    const TCase cases[] = {
        {"averages 0.504 and 0.5 differ by less than a hundredth", avg(1000, 504), avg(1000, 500), 3, 0},
        {"0.506 and 0.5", avg(1000, 506), avg(1000, 500), 3, 1},
        {"0.494 and 0.5", avg(1000, 494), avg(1000, 500), 3, -1},
        {"balances half a hundredth apart", money(1, 50), money(1, 0), 4, 0},
        {"balances just over half a hundredth apart", money(1, 51), money(1, 0), 4, 1},
        {"balances at the ends of the range", money(1, LLONG_MIN), money(1, LLONG_MAX), 4, -1},
        {"balances at the ends of the range, reversed", money(1, LLONG_MAX), money(1, LLONG_MIN), 4, 1},
        {"per-stake balances 0.0049 apart", money(10, 490), money(10, 0), 5, 0},
        {"per-stake balances 0.0051 apart", money(10, 510), money(10, 0), 5, 1},
        {"stake counts at the ends of the range", avg(INT_MIN, 0), avg(INT_MAX, 0), 1, -1},
        {"matched totals at the ends of the range", avg(1, INT_MAX), avg(1, INT_MIN), 2, 1},
        {"no stakes on one side", avg(0, 5), avg(3, 1), 2, 0},
        {"no stakes on the other side", money(3, 1000000), money(0, 0), 4, 0},
        {"no stakes, comments", Rating("a", 0, {0, 0, 0}, 0), Rating("b", 1, {1, 0, 0}, 0), 0, 0},
        {"a column past the last", avg(1, 2), avg(1, 1), 12, 0},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        EXPECT_EQ(CompareRatings(c.A, c.B, c.Column), c.Expected);
        EXPECT_EQ(CompareRatings(c.B, c.A, c.Column), -c.Expected);
    }
}

TEST(RatingsSortTest, InconsistentComparisonsStayInBoundsAndKeepEveryRating)
{
    // Many zero-stake rows, ties and extreme values: the comparison is far from an order.
    std::mt19937 random(12);
    TRatingsArray ratings;
    for (int i = 0; i < 3000; ++i) {
        const int kind = static_cast<int>(random() % 5);
        const std::int32_t stakes = kind == 0 ? 0 : kind == 1 ? INT_MAX : static_cast<std::int32_t>(random() % 7);
        TRatingRec r = Rating("", stakes, {static_cast<std::int32_t>(random() % 3), 1, static_cast<std::int32_t>(random() % 2)},
                              kind == 1 ? LLONG_MIN + i : static_cast<std::int64_t>(random() % 500));
        r.Comment = QString::number(i);
        ratings.push_back(r);
    }
    for (int column = 0; column <= 9; ++column) {
        for (const bool descending : {false, true}) {
            SCOPED_TRACE(column * 2 + descending);
            TRatingsArray sorted = ratings;
            QuickSortRatings(sorted, column, descending);
            QStringList before = Comments(ratings), after = Comments(sorted);
            before.sort();
            after.sort();
            EXPECT_EQ(after, before);
        }
    }
    // Where the comparison is an order (every row has stakes) the result is sorted.
    TRatingsArray positive;
    for (TRatingRec r : ratings) {
        if (r.Stakes > 0)
            positive.push_back(r);
    }
    QuickSortRatings(positive, 1, false);
    EXPECT_TRUE(std::is_sorted(positive.begin(), positive.end(),
                               [](const TRatingRec& a, const TRatingRec& b) { return a.Stakes < b.Stakes; }));
}
