#include "engine/KelmaUtils.h"

#include "platform/Exceptions.h"

#include <gtest/gtest.h>

#include <limits>

namespace {

TDrawRec Draw(std::uint8_t d1, std::uint8_t d2, std::uint32_t number = 1)
{
    TDrawRec draw;
    draw.Number = number;
    draw.Digits = {d1, d2};
    return draw;
}

TDigitsRec Digits(std::int32_t count, std::array<std::uint8_t, 4> digits)
{
    TDigitsRec rec;
    rec.Count = count;
    rec.Digits = digits;
    return rec;
}

} // namespace

TEST(Counting, BinomialAndStakeCounts)
{
    EXPECT_DOUBLE_EQ(double(BinomialCoef(5, 2)), 10.0);
    EXPECT_DOUBLE_EQ(double(BinomialCoef(10, 3)), 120.0);
    EXPECT_DOUBLE_EQ(double(BinomialCoef(5, 0)), 1.0);
    EXPECT_DOUBLE_EQ(double(BinomialCoef(5, -1)), 1.0);
    EXPECT_DOUBLE_EQ(double(BinomialCoef(2, 2)), 1.0);
    EXPECT_DOUBLE_EQ(double(BinomialCoef(2, 3)), 0.0);
    EXPECT_DOUBLE_EQ(double(BinomialCoef(2, 1000000)), 0.0);

    EXPECT_EQ(StakeCombCount(2, 2), 1);
    EXPECT_EQ(StakeCombCount(1, 2), 1);
    EXPECT_EQ(StakeCombCount(3, 2), 9);
    EXPECT_EQ(StakeCombCount(4, 2), 16);
    EXPECT_EQ(StakeCombCount(10, 2), 100);
    EXPECT_EQ(StakeCombCount(255, 254), std::numeric_limits<std::int64_t>::max());

    EXPECT_EQ(MatchCombCount(10, 2, 0), 81);
    EXPECT_EQ(MatchCombCount(10, 2, 1), 18);
    EXPECT_EQ(MatchCombCount(10, 2, 2), 1);
    EXPECT_EQ(MatchCombCount(10, 2, 3), 0);   // more matches than positions
    EXPECT_EQ(MatchCombCount(2, 2, 2), 1);    // c >= v
    EXPECT_EQ(MatchCombCount(10, 3, 1), 243);

    EXPECT_EQ(MinSum(0, 2), 1);
    EXPECT_EQ(MinSum(1, 3), 6);
    EXPECT_EQ(MinSum(5, 0), 0);
    EXPECT_EQ(MaxSum(9, 2), 17);
    EXPECT_EQ(MaxSum(9, 3), 24);
    EXPECT_EQ(MaxSum(9, -1), 0);
    EXPECT_EQ(ValueCount(0, 9), 10);
    EXPECT_EQ(SumRangeMin, 1);
    EXPECT_EQ(SumRangeMax, 17);
    EXPECT_EQ(SumRangeWidth, 1);
}

TEST(Counting, StatWeight)
{
    TStatWeights defaults{0, -1, 1, false, false};
    // With the defaults the weight is the age minus the deviation.
    EXPECT_DOUBLE_EQ(double(CalcStatWeight(defaults, true, 5, 3, 7, 100, 20)), 5.0);
    EXPECT_DOUBLE_EQ(double(CalcStatWeight(defaults, true, 1, 4, 7, 100, 20)), 10.0);
    EXPECT_DOUBLE_EQ(double(CalcStatWeight(defaults, false, 5, 3, 7, 100, 20)), 7.0);

    TStatWeights percents{1, 1, 1, true, false};
    // 5 of 20 hits = 25 %, deviation 1 of 4 expected = 25 %, age 3 of 6 = 50 %.
    EXPECT_DOUBLE_EQ(double(CalcStatWeight(percents, true, 5, 4, 3, 20, 6)), 100.0);
    // Without the deviation, or with nothing to divide by, the shares are 0.
    EXPECT_DOUBLE_EQ(double(CalcStatWeight(percents, false, 5, 4, 3, 20, 6)), 75.0);
    EXPECT_DOUBLE_EQ(double(CalcStatWeight(percents, true, 5, 0, 3, 0, 0)), 0.0);
    EXPECT_NEAR(double(CalcStatWeight(percents, true, 1, 3, 1, 3, 3)), 100.0 / 3 - 200.0 / 3 + 100.0 / 3, 1e-12);

    TStatWeights deviationOnly{0, 1, 0, false, false};
    EXPECT_DOUBLE_EQ(double(CalcStatWeight(deviationOnly, true, 2, 6, 0, 0, 0)), -4.0);
    deviationOnly.UseAbsValues = true;
    EXPECT_DOUBLE_EQ(double(CalcStatWeight(deviationOnly, true, 2, 6, 0, 0, 0)), 4.0);

    // Results that are not finite numbers become the error value.
    TStatWeights huge{std::numeric_limits<long double>::max(), 0, 0, false, false};
    EXPECT_DOUBLE_EQ(double(CalcStatWeight(huge, false, 2, 0, 0, 0, 0)), -999.99);
    TStatWeights infinite{std::numeric_limits<long double>::infinity(), 0, 0, false, false};
    EXPECT_DOUBLE_EQ(double(CalcStatWeight(infinite, false, 0, 0, 0, 0, 0)), -999.99);
    TStatWeights nan{std::numeric_limits<long double>::quiet_NaN(), 0, 0, false, false};
    EXPECT_DOUBLE_EQ(double(CalcStatWeight(nan, false, 1, 0, 0, 0, 0)), -999.99);
}

TEST(DigitHelpers, GroupsAndColours)
{
    EXPECT_EQ(DigitGroupIndex(0, 2), 1);
    EXPECT_EQ(DigitGroupIndex(1, 2), 1);
    EXPECT_EQ(DigitGroupIndex(2, 2), 2);
    EXPECT_EQ(DigitGroupIndex(9, 2), 5);
    EXPECT_EQ(DigitGroupIndex(9, 3), 4);
    EXPECT_EQ(DigitGroupIndex(9, 10), 1);
    EXPECT_EQ(DigitGroupIndex(3, 0), 0);   // no groups at all
    EXPECT_EQ(DigitGroupIndex(-1, 2), 0);

    EXPECT_EQ(ChannelColor(0, 2), 0x00AAFFAAu);
    EXPECT_EQ(ChannelColor(9, 2), 0x00FFAAAAu);
    EXPECT_EQ(ChannelColor(9, 1), 0x00D5AAFFu);
    EXPECT_EQ(ChannelColor(10, 2), 0x000000FFu);
    EXPECT_EQ(ChannelColor(-1, 2), 0x000000FFu);
    EXPECT_EQ(ChannelColor(5, 0), 0x000000FFu);

    EXPECT_EQ(ShiftDigit(9, 1), 0);
    EXPECT_EQ(ShiftDigit(0, -1), 9);
    EXPECT_EQ(ShiftDigit(5, 0), 5);
    EXPECT_EQ(ShiftDigit(3, 4), 7);
    EXPECT_EQ(ShiftDigit(8, -3), 5);
    EXPECT_EQ(ShiftDigit(7, 9), 6);
    EXPECT_EQ(ShiftComb(MakeComb(9, 0), 1), MakeComb(0, 1));
    EXPECT_EQ(ShiftComb(MakeComb(9, 0), -1), MakeComb(8, 9));
}

TEST(DigitHelpers, MatrixCellsFollowTheColumnCount)
{
    // Three columns: 0 1 2 / 3 4 5 / 6 7 8 / 9.
    EXPECT_EQ(DigitMatrixRow(0, 3), 1);
    EXPECT_EQ(DigitMatrixCol(0, 3), 1);
    EXPECT_EQ(DigitMatrixRow(4, 3), 2);
    EXPECT_EQ(DigitMatrixCol(4, 3), 2);
    EXPECT_EQ(DigitMatrixRow(8, 3), 3);
    EXPECT_EQ(DigitMatrixCol(8, 3), 3);
    EXPECT_EQ(DigitMatrixRow(9, 3), 4);
    EXPECT_EQ(DigitMatrixCol(9, 3), 1);
    // Every cell lies in 1..cols and 1..10 whatever the column count.
    for (int cols = -1; cols <= 12; ++cols) {
        for (int d = 0; d <= 9; ++d) {
            EXPECT_GE(DigitMatrixCol(d, cols), 1);
            EXPECT_LE(DigitMatrixCol(d, cols), std::max(cols, 1));
            EXPECT_GE(DigitMatrixRow(d, cols), 1);
            EXPECT_LE(DigitMatrixRow(d, cols), 10);
        }
    }
    EXPECT_EQ(DigitMatrixRow(7, 0), 8);
    EXPECT_EQ(DigitMatrixCol(7, 10), 8);
    EXPECT_EQ(DigitMatrixRow(10, 3), 0);
    EXPECT_EQ(DigitMatrixCol(-1, 3), 0);
}

TEST(DigitHelpers, Membership)
{
    const TDrawRec draw = Draw(3, 8);
    EXPECT_TRUE(DrawHasDigit(3, draw));
    EXPECT_TRUE(DrawHasDigit(8, draw));
    EXPECT_FALSE(DrawHasDigit(4, draw));
    EXPECT_TRUE(DrawHasChannel(2, draw, 2));    // 3 lies in channel 2
    EXPECT_TRUE(DrawHasChannel(5, draw, 2));    // 8 in channel 5
    EXPECT_FALSE(DrawHasChannel(3, draw, 2));
    EXPECT_TRUE(CombHasDigit(7, MakeComb(1, 7)));
    EXPECT_FALSE(CombHasDigit(2, MakeComb(1, 7)));

    TMatrixSegments segments{};
    segments[0][3] = 2;
    segments[1][3] = 5;
    segments[1][8] = 4;
    EXPECT_TRUE(DrawHasSegment(2, draw, segments));    // position 1, digit 3
    EXPECT_TRUE(DrawHasSegment(4, draw, segments));    // position 2, digit 8
    EXPECT_FALSE(DrawHasSegment(5, draw, segments));   // digit 3 is not at position 2
    EXPECT_FALSE(DrawHasSegment(0, Draw(200, 250), segments));   // bad digits are no segment

    TByteArray bytes;
    ByteArrayAddUnique(bytes, 4);
    ByteArrayAddUnique(bytes, 4);
    ByteArrayAppend(bytes, 4);
    ByteArrayAddUnique(bytes, 1);
    EXPECT_EQ(bytes, (TByteArray{4, 4, 1}));
    EXPECT_TRUE(ByteArrayContains(bytes, 1));
    EXPECT_FALSE(ByteArrayContains(bytes, 0));
    EXPECT_FALSE(ByteArrayContains({}, 0));
}

TEST(DigitHelpers, DistinctDigitsAndSorting)
{
    const TCombsArray combs = {MakeComb(5, 3), MakeComb(3, 7), MakeComb(7, 5), MakeComb(0, 1)};
    TByteArray digits = {9, 9};
    CollectDistinctDigits(combs, 3, digits);
    EXPECT_EQ(digits, (TByteArray{5, 3, 7}));
    EXPECT_EQ(CountDistinctDigits(combs, 3), 3);
    EXPECT_EQ(CountDistinctDigits(combs, 4), 5);
    EXPECT_EQ(CountDistinctDigits(combs, 1000), 5);   // n past the list reads the list only
    EXPECT_EQ(CountDistinctDigits(combs, 0), 0);
    EXPECT_EQ(CountDistinctDigits(combs, -3), 0);

    // Stops at ten: a digit past the tenth is never collected.
    TCombsArray all;
    for (int i = 0; i < 5; ++i)
        all.push_back(MakeComb(std::uint8_t(2 * i), std::uint8_t(2 * i + 1)));
    all.push_back(MakeComb(12, 13));
    CollectDistinctDigits(all, 6, digits);
    EXPECT_EQ(digits, (TByteArray{0, 1, 2, 3, 4, 5, 6, 7, 8, 9}));

    TCombWord comb = MakeComb(7, 3);
    SortCombDigits(comb);
    EXPECT_EQ(comb, MakeComb(3, 7));
    TDrawRec draw = Draw(9, 2);
    SortDrawDigits(draw);
    EXPECT_EQ(draw.Digits, (std::array<std::uint8_t, 2>{2, 9}));

    TDigitsRec rec = Digits(3, {9, 1, 5, 0});
    SortDigitRec(rec);
    EXPECT_EQ(rec.Digits, (std::array<std::uint8_t, 4>{1, 5, 9, 0}));   // only the first three
    rec = Digits(77, {4, 3, 2, 1});
    SortDigitRec(rec);
    EXPECT_EQ(rec.Digits, (std::array<std::uint8_t, 4>{1, 2, 3, 4}));
    rec = Digits(-1, {4, 3, 2, 1});
    SortDigitRec(rec);
    EXPECT_EQ(rec.Digits, (std::array<std::uint8_t, 4>{4, 3, 2, 1}));

    TIntArray list = {3, -1, 7, 3, 0};
    SortIntListDesc(list);
    EXPECT_EQ(list, (TIntArray{7, 3, 3, 0, -1}));
}

TEST(CombTexts, ConversionsAndTexts)
{
    const TCombWord comb = MakeComb(7, 3);
    EXPECT_EQ(comb, 0x0307);
    EXPECT_EQ(DrawToComb(Draw(7, 3)), comb);
    EXPECT_EQ(CombToDigitRec(comb), Digits(2, {7, 3, 0, 0}));
    EXPECT_EQ(CombToStr(comb), "7;3");
    EXPECT_EQ(CombToDisplayStr(comb), "07 03");
    EXPECT_EQ(CombToDisplayStr(MakeComb(0, 9)), "00 09");

    EXPECT_EQ(DigitRecToStr(Digits(2, {3, 7, 0, 0}), ";"), "3;7");
    EXPECT_EQ(DigitRecToStr(Digits(3, {1, 2, 3, 0}), ", "), "1, 2, 3");
    EXPECT_EQ(DigitRecToStr(Digits(0, {1, 2, 3, 4}), ";"), "");
    EXPECT_EQ(DigitRecToStr(Digits(-1, {1, 2, 3, 4}), ";"), "");
    EXPECT_EQ(DigitRecToStr(Digits(1000, {1, 2, 3, 4}), ";"), "1;2;3;4");

    TDrawRec draw = Draw(3, 7, 12);
    draw.Key.Set("07/04/2016 M");
    EXPECT_EQ(DrawToText(draw), QString::fromUtf8("Тираж № 12 от 07/04/2016 M, значения: 3;7"));

    EXPECT_EQ(StakeOriginCaption(1), QString::fromUtf8("Вручную"));
    EXPECT_EQ(StakeOriginCaption(2), QString::fromUtf8("Регуляр"));
    EXPECT_EQ(StakeOriginCaption(3), QString::fromUtf8("Сценарий"));
    EXPECT_EQ(StakeOriginCaption(4), QString::fromUtf8("Система"));
    EXPECT_EQ(StakeOriginCaption(0), "");
    EXPECT_EQ(StakeOriginCaption(5), "");

    EXPECT_EQ(DeviationText("5", 3), "+2");
    EXPECT_EQ(DeviationText("3", 3), "0");
    EXPECT_EQ(DeviationText("1", 3), "-2");
    EXPECT_EQ(DeviationText("0", 0), "0");
    EXPECT_EQ(DeviationText("x", 3), "-");
    EXPECT_EQ(DeviationText("", 3), "-");
    EXPECT_EQ(DeviationText("-1", 0), "-");
}

TEST(CombTexts, StrToComb)
{
    EXPECT_EQ(StrToComb("3-4"), MakeComb(3, 4));
    EXPECT_EQ(StrToComb("3;4"), MakeComb(3, 4));
    EXPECT_EQ(StrToComb(" 3 | 4 "), MakeComb(3, 4));
    EXPECT_EQ(StrToComb("0\t9"), MakeComb(0, 9));
    EXPECT_EQ(StrToComb("1..2"), MakeComb(1, 2));    // a run of delimiters is one break
    EXPECT_EQ(StrToComb("12,3"), MakeComb(12, 3));   // no range check
    EXPECT_EQ(StrToComb("x:3"), MakeComb(0, 3));     // a word that is no number reads as 0

    for (const char* bad : {"3 4 5", "3", "", " ;; ", "1-2-3"}) {
        try {
            StrToComb(bad);
            ADD_FAILURE() << bad;
        } catch (const Exception& e) {
            EXPECT_EQ(e.Message(), QString::fromUtf8("Некорректная комбинация: \"%1\"!").arg(bad));
        }
    }
}

TEST(CombTexts, Matches)
{
    EXPECT_EQ(CombMatchCount(Draw(3, 7), MakeComb(3, 7)), 2);
    EXPECT_EQ(CombMatchCount(Draw(3, 7), MakeComb(7, 3)), 0);
    EXPECT_EQ(CombMatchCount(Draw(3, 7), MakeComb(3, 1)), 1);
    EXPECT_EQ(DrawMatchCount(Draw(3, 7), Draw(0, 7)), 1);
    EXPECT_EQ(DrawMatchCount(Draw(5, 5), Draw(5, 5)), 2);

    EXPECT_EQ(GetDrawMatches(Draw(7, 3), Draw(7, 3)), Digits(2, {3, 7, 0, 0}));
    EXPECT_EQ(GetDrawMatches(Draw(3, 7), Draw(1, 7)), Digits(1, {7, 0, 0, 0}));
    EXPECT_EQ(GetDrawMatches(Draw(3, 7), Draw(7, 3)), Digits(0, {0, 0, 0, 0}));

    EXPECT_TRUE(DigitRecsMatch(Digits(2, {3, 7, 0, 0}), Digits(2, {3, 7, 0, 0})));
    EXPECT_TRUE(DigitRecsMatch(Digits(2, {3, 7, 1, 0}), Digits(2, {3, 7, 9, 9})));   // past count
    EXPECT_FALSE(DigitRecsMatch(Digits(2, {3, 7, 0, 0}), Digits(2, {7, 3, 0, 0})));
    EXPECT_FALSE(DigitRecsMatch(Digits(2, {3, 7, 0, 0}), Digits(1, {3, 7, 0, 0})));
    EXPECT_TRUE(DigitRecsMatch(Digits(0, {1, 0, 0, 0}), Digits(0, {2, 0, 0, 0})));
    EXPECT_TRUE(DigitRecsMatch(Digits(-1, {1, 0, 0, 0}), Digits(-1, {2, 0, 0, 0})));
}
