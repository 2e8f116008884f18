// The points of the stake and rating graphs, worked out by hand from prepared stakes files.

#include "app/core/stakes/StakeGraphs.h"

#include "app/core/stakes/StakesFile.h"
#include "platform/Exceptions.h"
#include "platform/SaveFile.h"
#include "tests/common/TestHelpers.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>
#include <vector>

namespace {

const char kNeedsTwoDraws[] =
    "Для построения графиков необходимо, чтобы в выделенном диапазоне данных было более одного тиража!";

// A point as one readable text: x, title, y, then "P" / "L" for symbols and labels and the colour.
QString Text(const TGraphPoint& p)
{
    return QStringLiteral("%1|%2|%3|%4%5|%6")
        .arg(p.X)
        .arg(p.Title)
        .arg(p.Y, 0, 'g', 12)
        .arg(p.ShowPoints ? "P" : "-")
        .arg(p.ShowLabels ? "L" : "-")
        .arg(p.Colour, 0, 16);
}

QStringList Texts(const TGraphPoints& points)
{
    QStringList texts;
    for (const TGraphPoint& p : points)
        texts.append(Text(p));
    return texts;
}

QStringList Lines(const std::vector<const char*>& utf8)
{
    QStringList lines;
    for (const char* line : utf8)
        lines.append(U(line));
    return lines;
}

TStakeRec Checked(std::int32_t draw, const char* comment, int matched, std::int64_t balanceUnits)
{
    TDigitsRec matches{matched, {}};
    for (int i = 0; i < matched; ++i)
        matches.Digits[static_cast<size_t>(i)] = static_cast<std::uint8_t>(i + 1);
    return Scored(StakeOn(soScript, draw, 1, 2, comment), 1, 2, matches, balanceUnits);
}

// Raises with the "more than one draw" text.
void ExpectNothingToDraw(const std::function<void()>& graph)
{
    try {
        graph();
        ADD_FAILURE() << "no error raised";
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message(), U(kNeedsTwoDraws));
    }
}

class StakeGraphsTest : public ::testing::Test {
protected:
    // Writes the records as the stakes file and opens it.
    TStakesFile& Prepare(const std::vector<TStakeRec>& records)
    {
        const QString path = FDir.filePath(QString::fromLatin1(TStakesFile::BaseName));
        SaveFileAtomic(path, StakeBytes(records));
        FFile = std::make_unique<TStakesFile>(path);
        FFile->Open();
        return *FFile;
    }

    QTemporaryDir FDir;
    std::unique_ptr<TStakesFile> FFile;
};

TEST_F(StakeGraphsTest, ProfitPerDrawInFirstOccurrenceOrderWithMeanAndRunningTotal)
{
    TStakeRec halfUnit = Checked(10, "beta", 0, 0);
    halfUnit.Balance = TCurrency::FromRaw(-75000);   // -7.5
    TStakeRec damaged = Checked(11, "Alpha", 2, 1000);
    damaged.Digits.Count = 9;
    TStakesFile& file = Prepare({
        Checked(10, "Alpha", 1, 40),
        halfUnit,
        InitStakeRec(),                          // separator: draw -1, no point
        Checked(11, "ALPHA", 2, 80),
        StakeOn(soManual, 9, 3, 4, "Alpha"),     // not checked yet: minus its cost counts
        damaged,                                 // never drawn
        Checked(10, "gamma", 0, -10),            // joins the first draw's sum
        StakeOn(soManual, 0, 5, 6, "zero", -5),  // draw number 0 still counts
        InitStakeRec(),
    });
    file.SetPosition(3 * StakeRecSize);

    // Sums 22.5, 80, -10, -5: mean 87.5 / 4 = 21.875; running 22.5, 102.5, 92.5, 87.5.
    EXPECT_EQ(Texts(StakesProfitByDraws(file)), Lines({
                                                    "10|Суммарный профит ставок по тиражу|22.5|PL|ff008000",
                                                    "10|Среднее значение|21.875|--|ff0000ff",
                                                    "10|Накопленное значение|22.5|PL|ffff0000",
                                                    "11|Суммарный профит ставок по тиражу|80|PL|ff008000",
                                                    "11|Среднее значение|21.875|--|ff0000ff",
                                                    "11|Накопленное значение|102.5|PL|ffff0000",
                                                    "9|Суммарный профит ставок по тиражу|-10|PL|ff008000",
                                                    "9|Среднее значение|21.875|--|ff0000ff",
                                                    "9|Накопленное значение|92.5|PL|ffff0000",
                                                    "0|Суммарный профит ставок по тиражу|-5|PL|ff008000",
                                                    "0|Среднее значение|21.875|--|ff0000ff",
                                                    "0|Накопленное значение|87.5|PL|ffff0000",
                                                }));
    EXPECT_EQ(file.Position(), 3 * StakeRecSize);
}

TEST_F(StakeGraphsTest, ProfitPerDrawReadsPastItsBlocks)
{
    // 4100 stakes of 1 unit each, record i for draw i % 7 + 1, then one for draw 50: records
    // past the first block of the read count too.
    std::vector<TStakeRec> many;
    for (int i = 0; i < 4100; ++i)
        many.push_back(StakeOn(soScript, i % 7 + 1, 1, 2, "bulk", 1));
    many.push_back(StakeOn(soScript, 50, 1, 2, "last", -3));
    TStakesFile& file = Prepare(many);
    const TGraphPoints points = StakesProfitByDraws(file);
    ASSERT_EQ(points.size(), 8 * 3);
    // 4100 = 585 x 7 + 5: draws 1 to 5 have 586 stakes, 6 and 7 have 585.
    EXPECT_EQ(Text(points[0]), U("1|Суммарный профит ставок по тиражу|586|PL|ff008000"));
    EXPECT_EQ(Text(points[6 * 3]), U("7|Суммарный профит ставок по тиражу|585|PL|ff008000"));
    EXPECT_EQ(Text(points[7 * 3]), U("50|Суммарный профит ставок по тиражу|-3|PL|ff008000"));
    EXPECT_EQ(Text(points[7 * 3 + 1]), U("50|Среднее значение|512.125|--|ff0000ff"));
    EXPECT_EQ(Text(points[7 * 3 + 2]), U("50|Накопленное значение|4097|PL|ffff0000"));
}

TEST_F(StakeGraphsTest, ProfitPerDrawWithoutADrawIsNothingToDraw)
{
    TStakeRec damaged = Checked(4, "x", 1, 10);
    damaged.Matches.Count = 7;
    for (const std::vector<TStakeRec>& records :
         {std::vector<TStakeRec>{}, std::vector<TStakeRec>{InitStakeRec(), InitStakeRec()},
          std::vector<TStakeRec>{damaged}}) {
        TStakesFile& file = Prepare(records);
        file.SetPosition(StakeRecSize);
        ExpectNothingToDraw([&] { StakesProfitByDraws(file); });
        EXPECT_EQ(file.Position(), StakeRecSize);
    }
    // A closed file says so rather than drawing nothing.
    TStakesFile& file = Prepare({Checked(1, "x", 1, 10)});
    file.Close();
    try {
        StakesProfitByDraws(file);
        ADD_FAILURE() << "no error raised";
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message(), U("Файл ставок не открыт!"));
    }
}

// Draws 1 .. 102, one "Alpha" stake each, matching d % 3 positions, balance 70 for two matches
// and -10 otherwise; around them stakes the graphs must pass over.
std::vector<TStakeRec> CommentStakes()
{
    std::vector<TStakeRec> records;
    for (int d = 1; d <= 102; ++d) {
        records.push_back(Checked(d, "Alpha", d % 3, d % 3 == 2 ? 70 : -10));
        if (d == 3)
            records.push_back(Checked(d, "beta", 2, 70));   // not selected
        if (d == 101) {
            records.push_back(Checked(d, "alpha", 1, 5));    // same rating, other case
            records.push_back(InitStakeRec());
        }
    }
    TStakeRec damaged = Checked(102, "Alpha", 2, 500);
    damaged.Digits.Count = 0;
    records.push_back(damaged);
    records.push_back(StakeOn(soScript, 103, 1, 2, "Alpha"));   // not checked yet
    return records;
}

TEST_F(StakeGraphsTest, CommentGraphsCoverTheLastHundredCheckedDrawsLetterCaseIgnored)
{
    TStakesFile& file = Prepare(CommentStakes());
    file.SetPosition(5 * StakeRecSize);
    const TGraphPoints overlap = StakesByComments(file, {U("ALPHA"), U("nobody")}, false);
    const TGraphPoints profits = StakesByComments(file, {U("ALPHA")}, true);
    EXPECT_EQ(file.Position(), 5 * StakeRecSize);

    // Draws 1 and 2 are older than the last hundred; draw 101 has its second stake.
    QStringList expectOverlap;
    QStringList expectProfits;
    for (int d = 3; d <= 102; ++d) {
        const int m = d % 3;
        expectOverlap.append(QStringLiteral("%1|ALPHA|%2|PL|0").arg(d).arg(m));
        expectProfits.append(QStringLiteral("%1|ALPHA|%2|PL|0").arg(d).arg(m == 2 ? 70 : -10));
        if (d == 101) {
            expectOverlap.append(QStringLiteral("101|ALPHA|1|PL|0"));
            expectProfits.append(QStringLiteral("101|ALPHA|5|PL|0"));
        }
    }
    EXPECT_EQ(Texts(overlap), expectOverlap);
    EXPECT_EQ(Texts(profits), expectProfits);

    // Two selected comments: each stake goes to the series of the comment it matches.
    EXPECT_EQ(Texts(StakesByComments(file, {U("Beta"), U("alpha")}, true)).mid(0, 2),
              QStringList({QStringLiteral("3|alpha|-10|PL|0"), QStringLiteral("3|Beta|70|PL|0")}));
}

TEST_F(StakeGraphsTest, CommentGraphsNeedACommentAndTwoCheckedDraws)
{
    const QStringList alpha{U("Alpha")};
    // One checked draw (the stake for draw 6 is not checked, the separator is no draw).
    TStakesFile& file = Prepare({Checked(5, "Alpha", 1, 5), Checked(5, "Alpha", 0, -10), InitStakeRec(),
                                 StakeOn(soScript, 6, 1, 2, "Alpha")});
    file.SetPosition(2 * StakeRecSize);
    for (const bool profits : {false, true}) {
        ExpectNothingToDraw([&] { StakesByComments(file, alpha, profits); });
        EXPECT_EQ(file.Position(), 2 * StakeRecSize);
        ExpectNothingToDraw([&] { StakesByComments(file, {}, profits); });
        EXPECT_EQ(file.Position(), 2 * StakeRecSize);
    }
    // The second checked draw is enough, whoever made its stake.
    TStakesFile& two = Prepare({Checked(5, "Alpha", 1, 5), Checked(6, "other", 0, -10)});
    EXPECT_EQ(Texts(StakesByComments(two, alpha, false)), QStringList({QStringLiteral("5|Alpha|1|PL|0")}));
}

TRatingRec Rating(const char* comment, std::int32_t stakes, std::array<std::int32_t, 3> counts)
{
    TRatingRec r;
    r.Comment = U(comment);
    r.Stakes = stakes;
    r.MatchCounts = counts;
    r.Matched = counts[1] + 2 * counts[2];
    return r;
}

TEST_F(StakeGraphsTest, RatingsOverlapScalesTheNormalSeriesToTheLargestSelectedRating)
{
    const TRatingsArray ratings = {
        Rating("small", 50, {40, 9, 1}),
        Rating("big", 250, {200, 46, 4}),
        Rating("unselected", 1000, {810, 180, 10}),
    };
    // Rows in selection order; a row outside the array is passed over. 250 / 100 times
    // 81, 18 and 1.
    EXPECT_EQ(Texts(RatingsOverlap(ratings, {1, 7, 0})), Lines({
                                                             "0|Нормальные значения|202.5|P-|ff808080",
                                                             "0|big|200|PL|0",
                                                             "0|small|40|PL|0",
                                                             "1|Нормальные значения|45|P-|ff808080",
                                                             "1|big|46|PL|0",
                                                             "1|small|9|PL|0",
                                                             "2|Нормальные значения|2.5|P-|ff808080",
                                                             "2|big|4|PL|0",
                                                             "2|small|1|PL|0",
                                                         }));
    ExpectNothingToDraw([&] { RatingsOverlap(ratings, {}); });
    ExpectNothingToDraw([&] { RatingsOverlap(ratings, {3, -1}); });
}

} // namespace
