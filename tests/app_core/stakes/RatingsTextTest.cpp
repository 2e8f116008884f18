#include "tests/app_core/CoreTestEnv.h"

#include "app/core/stakes/Ratings.h"
#include "app/core/stakes/RatingsFile.h"
#include "tests/app_core/stakes/RatingsTestData.h"

#include <stdexcept>

namespace {

TCheckedStake Stake(const char* comment, int matched, std::int64_t balanceRaw)
{
    return {U(comment), matched, TCurrency::FromRaw(balanceRaw)};
}

// A stakes file stand-in: hands its stakes to the sink, and can fail after some of them.
TCheckedStakeSource Source(QList<TCheckedStake> stakes, int failAfter = -1, int* calls = nullptr)
{
    return [stakes, failAfter, calls](const TCheckedStakeSink& sink) {
        if (calls)
            ++*calls;
        for (int i = 0; i < stakes.size(); ++i) {
            if (i == failAfter)
                throw Exception(QStringLiteral("read error"));
            sink(stakes[i]);
        }
    };
}

class RatingsRefreshTest : public TCoreTest {
protected:
    QString FileName() const { return DataFile("Tavrix2_2r10.lrt"); }
    TRatings FRatings{FileName()};
};

} // namespace

TEST(RatingsTextTest, EfficiencyInTheThreeModes)
{
    const TExpectedHits hits = MakeExpectedHits();
    // 100 stakes: 78 without a match, 20 with one, 2 with two.
    const TRatingRec hundred = Rating("r", 100, {78, 20, 2}, 0);
    // 7 stakes: chance gives 5.67, 1.26 and 0.07 of them.
    const TRatingRec seven = Rating("r", 7, {7, 0, 0}, 0);
    struct TCase {
        const TRatingRec* Rating;
        int Mode;
        QStringList Texts;   // E0, E1, E2
    };
    const TCase cases[] = {
        {&hundred, 0, {"81", "18", "1"}},
        {&hundred, 1, {"-3,000%", "2,000%", "1,000%"}},          // 78-81, 20-18, 2-1
        {&hundred, 2, {"96,296%", "111,111%", "200,000%"}},      // 7800/81, 2000/18, 200/1
        {&seven, 0, {"6", "1", "0"}},
        {&seven, 1, {"19,000%", "-18,000%", "-1,000%"}},         // 100-81, 0-18, 0-1
        {&seven, 2, {"123,457%", "0,000%", "0,000%"}},           // 700/5.67
        {&hundred, 5, {"-3,000%", "2,000%", "1,000%"}},          // an unknown mode shows the default
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Mode);
        QStringList texts;
        for (int m = 0; m < 3; ++m)
            texts << RatingEfficiencyText(*c.Rating, m, c.Mode, hits);
        EXPECT_EQ(texts, c.Texts);
    }
    // Without stakes the cells stay empty in every mode.
    for (int mode = 0; mode < 3; ++mode)
        EXPECT_TRUE(RatingEfficiencyText(Rating("r", 0, {0, 0, 0}, 0), 1, mode, hits).isEmpty());
}

TEST(RatingsTextTest, RowTexts)
{
    const TExpectedHits hits = MakeExpectedHits();
    struct TCase {
        const char* Name;
        TRatingRec Rating;
        int Mode;
        QStringList Texts;
    };
    const TCase cases[] = {
        {"three stakes", Rating("01.002:Линия@X", 3, {1, 2, 0}, 100000), 2,
         {U("01.002:Линия@X"), "3", "2", "0,667", "10,00", "3,33", "1", "2", "0", "41,152%", "370,370%",
          "0,000%"}},
        {"a loss", Rating("m", 4, {4, 0, 0}, -250000), 0,
         {"m", "4", "0", "0,000", "-25,00", "-6,25", "4", "0", "0", "3", "1", "0"}},
        {"no stakes", Rating("z", 0, {0, 0, 0}, 0), 1, {"z", "0", "0", "", "0,00", "", "0", "0", "0", "", "", ""}},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        EXPECT_EQ(RatingRowTexts(c.Rating, c.Mode, hits), c.Texts);
    }
}

TEST(RatingsTextTest, AverageBalanceRoundsHalvesToEven)
{
    struct TCase {
        std::int64_t Raw;
        std::int32_t Stakes;
        std::int64_t Expected;
    };
    const TCase cases[] = {
        {5, 2, 2}, {7, 2, 4}, {-5, 2, -2}, {-7, 2, -4}, {10, 3, 3}, {20, 3, 7}, {-20, 3, -7},
        {LLONG_MAX, 1, LLONG_MAX}, {LLONG_MIN, 2, LLONG_MIN / 2},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Raw);
        EXPECT_EQ(AverageBalance(Rating("r", c.Stakes, {0, 0, 0}, c.Raw)).Raw(), c.Expected);
    }
}

TEST(RatingsTextTest, CsvExportIsByteExact)
{
    const TRatingsArray ratings = {Rating("Он сказал \"да\"@A", 3, {1, 2, 0}, 100000),
                                   Rating("пусто", 0, {0, 0, 0}, -5000)};
    const QByteArray expected = Cp("\"Комментарий\";\"Ставок\";\"Угадано\";\"Среднее\";\"Профит\";\"Ср. профит\";"
                                   "\"0\";\"1\";\"2\";\"E0\";\"E1\";\"E2\"\r\n"
                                   "\"Он сказал \"\"да\"\"@A\";3;2;0,667;10,00;3,33;1;2;0\r\n"
                                   "\"пусто\";0;0;;-0,50;;0;0;0\r\n");
    EXPECT_EQ(RatingsCsvBytes(ratings), expected);
    EXPECT_EQ(RatingsCsvBytes({}), Cp("\"Комментарий\";\"Ставок\";\"Угадано\";\"Среднее\";\"Профит\";"
                                      "\"Ср. профит\";\"0\";\"1\";\"2\";\"E0\";\"E1\";\"E2\"\r\n"));
}

TEST_F(RatingsRefreshTest, CsvExportWritesTheFile)
{
    FRatings.FRatings = {Rating("a", 1, {0, 1, 0}, 20000)};
    const QString csv = DataFile("out.csv");
    FRatings.ExportRatingsCsv(csv);
    EXPECT_EQ(ReadFileBytes(csv), RatingsCsvBytes(FRatings.FRatings));
    EXPECT_TRUE(FStatuses.contains(U("Экспорт в CSV-файл...")));
}

TEST(RatingsTextTest, ScriptLineFromAComment)
{
    struct TCase {
        const char* Comment;
        const char* Line;
    };
    const TCase cases[] = {
        {"01.002: моя линия @ A + B", "A|B| | | | | | |01.002: моя линия"},
        {"X + Y", "X|Y| | | | | | |"},   // no "@": the whole text is the step, the comment empty
        {"@шаг", "шаг| | | | | | | |"},
        {"c @ a@b", "a@b| | | | | | | |c"},                 // only the first "@" splits
        {"", "| | | | | | | | |"},
        {"a||b", "a||b| | | | | | |"},                    // empty fields do not count
        {"1|2|3|4|5|6|7|8", "1|2|3|4|5|6|7|8|"},          // eight fields: nothing to pad
        {"1|2|3|4|5|6|7|8|9", "1|2|3|4|5|6|7|8|9|"},
        {"c@1|2|3|4|5|6|7|8|9", "1|2|3|4|5|6|7|8|9|c"},
        {"A+B", "A+B| | | | | | | |"},                     // only " + " with its blanks is a separator
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Comment);
        EXPECT_EQ(RatingScriptLine(U(c.Comment)), U(c.Line));
    }
}

TEST_F(RatingsRefreshTest, RebuildsFromTheStakesWithoutAskingWhenEmpty)
{
    const TCheckedStakeSource stakes = Source({Stake("Линия@A", 1, 20000), Stake("линия@a", 0, -10000),
                                               Stake("B", 2, 90000), Stake("B", 7, 50000),
                                               Stake("C", -1, 0)});
    EXPECT_TRUE(FRatings.RefreshRatings(stakes));
    EXPECT_TRUE(FBoxes.Boxes().isEmpty());
    // The damaged count 7 and the unchecked stake stay out; letter case joins the first two.
    ASSERT_EQ(FRatings.FRatings.size(), 2u);
    EXPECT_EQ(FRatings.FRatings[0], Rating("B", 1, {0, 0, 1}, 90000));          // average 2.0
    EXPECT_EQ(FRatings.FRatings[1], Rating("Линия@A", 2, {1, 1, 0}, 10000));     // average 0.5
    EXPECT_EQ(ReadFileBytes(FileName()), RatingsToBytes(FRatings.FRatings));
    EXPECT_TRUE(FStatuses.contains(U("Обновление рейтинга...")));
}

TEST_F(RatingsRefreshTest, AsksBeforeReplacingRatings)
{
    const TRatingsArray old = {Rating("old", 5, {5, 0, 0}, 0)};
    const QString question = U("Пересчитать рейтинг только по текущим ставкам?\n\n"
                               "Накопленные ранее данные по удаленным ставкам будут потеряны.");
    int calls = 0;
    const TCheckedStakeSource stakes = Source({Stake("new", 1, 0)}, -1, &calls);

    FRatings.FRatings = old;
    FBoxes.Answer(IDNO);
    EXPECT_FALSE(FRatings.RefreshRatings(stakes));
    EXPECT_EQ(FBoxes.Last().Text, question);
    EXPECT_EQ(calls, 0);
    EXPECT_EQ(FRatings.FRatings, old);

    FBoxes.Answer(IDYES);
    EXPECT_TRUE(FRatings.RefreshRatings(stakes));
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(Comments(FRatings.FRatings), QStringList({"new"}));

    // No stakes left: Yes empties the ratings and the file.
    FBoxes.Answer(IDYES);
    EXPECT_TRUE(FRatings.RefreshRatings(Source({})));
    EXPECT_TRUE(FRatings.FRatings.empty());
    EXPECT_EQ(ReadFileBytes(FileName()), QByteArray());
}

TEST_F(RatingsRefreshTest, ReadErrorKeepsTheOldRatings)
{
    const TRatingsArray old = {Rating("old", 5, {5, 0, 0}, 0)};
    FRatings.FRatings = old;
    FRatings.SaveRatingsFile();
    FBoxes.Answer(IDYES);
    EXPECT_THROW(FRatings.RefreshRatings(Source({Stake("a", 1, 0), Stake("b", 1, 0)}, 1)), Exception);
    EXPECT_EQ(FRatings.FRatings, old);
    EXPECT_EQ(ReadFileBytes(FileName()), RatingsToBytes(old));
}
