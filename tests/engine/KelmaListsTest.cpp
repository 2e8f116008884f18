#include "engine/KelmaUtils.h"

#include "platform/Exceptions.h"

#include <gtest/gtest.h>

TEST(IntLists, ParseIntValues)
{
    TIntArray list = {42};
    ParseIntValues("1,3,5", list);
    EXPECT_EQ(list, (TIntArray{1, 3, 5}));
    ParseIntValues("1-5;2", list);
    EXPECT_EQ(list, (TIntArray{1, 3, 5}));
    ParseIntValues("-3-3;3", list);
    EXPECT_EQ(list, (TIntArray{-3, 0, 3}));
    ParseIntValues("1-5", list);   // no step
    EXPECT_TRUE(list.empty());
    list = {42};
    ParseIntValues("", list);
    EXPECT_TRUE(list.empty());
    ParseIntValues(" 7 ; -2 ,, 0 ", list);
    EXPECT_EQ(list, (TIntArray{7, -2, 0}));
    ParseIntValues("$10", list);   // hexadecimal, as integers are read everywhere
    EXPECT_EQ(list, (TIntArray{16}));
}

TEST(IntLists, ListForm)
{
    TIntArray list = {42};
    EXPECT_FALSE(StrToIntList("", list));
    EXPECT_EQ(list, (TIntArray{42}));   // no word: untouched
    EXPECT_FALSE(StrToIntList(";,;", list));
    EXPECT_EQ(list, (TIntArray{42}));
    EXPECT_FALSE(StrToIntList("1,x,3", list));
    EXPECT_TRUE(list.empty());          // a bad word: emptied
    list = {42};
    EXPECT_FALSE(StrToIntList("1, ,3", list));
    EXPECT_TRUE(list.empty());
    EXPECT_TRUE(StrToIntList("4", list));
    EXPECT_EQ(list, (TIntArray{4}));

    EXPECT_EQ(IntListToStr({1, -2, 30}, ";"), "1;-2;30");
    EXPECT_EQ(IntListToStr({}, ";"), "");
    EXPECT_EQ(IntListToStr({5}, ", "), "5");
}

TEST(IntLists, RangeForm)
{
    TIntArray list;
    StrToIntRange("1-5,2", list);
    EXPECT_EQ(list, (TIntArray{1, 3, 5}));
    StrToIntRange(" 2 - 4 ; 1 ", list);
    EXPECT_EQ(list, (TIntArray{2, 3, 4}));
    StrToIntRange("1-6;2", list);   // the last step falls short of hi
    EXPECT_EQ(list, (TIntArray{1, 3, 5}));
    StrToIntRange("5-1;-2", list);
    EXPECT_EQ(list, (TIntArray{5, 3, 1}));
    StrToIntRange("-5--1;2", list);
    EXPECT_EQ(list, (TIntArray{-5, -3, -1}));
    StrToIntRange("3-3;7", list);
    EXPECT_EQ(list, (TIntArray{3}));

    for (const char* empty : {"1-5;0", "5-1;2", "1-5", "15;2", "a-5;1", "1-b;1", "1-5;c", "-5;1", ""}) {
        list = {42};
        StrToIntRange(empty, list);
        EXPECT_TRUE(list.empty()) << empty;
    }

    // Ranges too long to be meant are refused instead of filling memory.
    list = {42};
    StrToIntRange("0-2000000000;1", list);
    EXPECT_TRUE(list.empty());
    StrToIntRange("-2147483648-2147483647;1", list);
    EXPECT_TRUE(list.empty());
    StrToIntRange("1-100001;1", list);
    EXPECT_TRUE(list.empty());
    StrToIntRange("1-100000;1", list);
    ASSERT_EQ(list.size(), 100000u);
    EXPECT_EQ(list.back(), 100000);
    StrToIntRange("-2147483648-2147483647;1000000000", list);
    EXPECT_EQ(list, (TIntArray{-2147483647 - 1, -1147483648, -147483648, 852516352, 1852516352}));
}

TEST(DateInts, ConvertAndStep)
{
    EXPECT_EQ(DateToInt(EncodeDate(2016, 7, 4) + 0.83), 20160704);
    EXPECT_EQ(DateToInt(EncodeDate(1999, 12, 31)), 19991231);
    EXPECT_DOUBLE_EQ(IntToDate(20160704), 42555.0);
    EXPECT_THROW(IntToDate(20160230), EConvertError);
    EXPECT_THROW(IntToDate(20161300), EConvertError);
    EXPECT_THROW(IntToDate(-1), EConvertError);

    EXPECT_EQ(IncDateInt(20160228, 1), 20160229);
    EXPECT_EQ(IncDateInt(20161231, 1), 20170101);
    EXPECT_EQ(IncDateInt(20160301, -1), 20160229);
    EXPECT_EQ(IncDateInt(20160801, 99), 20161108);
    EXPECT_EQ(IncDateInt(20160230, 0), 20160230);   // no step: not even read
    EXPECT_THROW(IncDateInt(20160230, 1), EConvertError);
}

TEST(Segments, TextForm)
{
    TMatrixSegments segments = StrToSegments("11112222");
    for (int d = 0; d < 10; ++d)
        EXPECT_EQ(segments[0][d], d < 4 ? 1 : (d < 8 ? 2 : 1)) << d;
    for (int d = 0; d < 10; ++d)
        EXPECT_EQ(segments[1][d], 1) << d;
    EXPECT_EQ(SegmentsToStr(segments), "11112222111111111111");

    segments = StrToSegments("");
    EXPECT_EQ(SegmentsToStr(segments), "11111111111111111111");

    segments = StrToSegments("0123456789x9876543210extra");
    EXPECT_EQ(segments[0][0], 0);
    EXPECT_EQ(segments[0][9], 9);
    EXPECT_EQ(segments[1][0], 1);   // 'x'
    EXPECT_EQ(segments[1][1], 9);
    EXPECT_EQ(segments[1][9], 1);
    EXPECT_EQ(SegmentsToStr(segments), "01234567891987654321");

    segments[0][0] = 12;   // an entry is written as its decimal text
    EXPECT_EQ(SegmentsToStr(segments).left(3), "121");
}

TEST(ValueCells, SingleRowMatrix)
{
    int row = -5;
    int col = -5;
    GetValueCell(0, 9, 3, 7, row, col);
    EXPECT_EQ(row, 2);
    EXPECT_EQ(col, 7);
    GetValueCell(1, 9, 0, 1, row, col);
    EXPECT_EQ(row, -1);
    EXPECT_EQ(col, 0);
    for (int v = 0; v <= 9; ++v) {
        EXPECT_EQ(ValueRowNo(v), 0);
        EXPECT_EQ(ValueColNo(v), v + 1);
    }
    EXPECT_EQ(ValueAtCell(0, 4), 4);
    EXPECT_EQ(ValueAtCell(1, 4), 5);
}

TEST(Ognev, Modes)
{
    const std::array<std::uint8_t, 2> same = {4, 4};
    const std::array<std::uint8_t, 2> next = {4, 5};
    TIntArray list;
    OgnevValues(same, 2, 0, list);
    EXPECT_EQ(list, (TIntArray{0}));
    OgnevValues(same, 2, 1, list);
    EXPECT_EQ(list, (TIntArray{8}));
    OgnevValues(same, 2, 2, list);
    EXPECT_EQ(list, (TIntArray{8}));
    OgnevValues(next, 2, 0, list);
    EXPECT_EQ(list, (TIntArray{1}));
    OgnevValues(next, 2, 1, list);
    EXPECT_EQ(list, (TIntArray{9}));
    OgnevValues(next, 2, 2, list);
    EXPECT_EQ(list, (TIntArray{1, 9}));

    const std::array<std::uint8_t, 2> apart = {9, 2};
    OgnevValues(apart, 2, 1, list);
    EXPECT_EQ(list, (TIntArray{7}));
    OgnevValues(apart, 2, 2, list);
    EXPECT_EQ(list, (TIntArray{7}));

    // More digits are first reduced to the differences of neighbours: 1 4 9 -> 3 5 -> 2.
    const std::array<std::uint8_t, 3> three = {1, 4, 9};
    OgnevValues(three, 3, 0, list);
    EXPECT_EQ(list, (TIntArray{2}));

    // Too few digits give no value; a count past the digits given reads only those.
    OgnevValues(next, 1, 0, list);
    EXPECT_TRUE(list.empty());
    OgnevValues(next, 5, 0, list);
    EXPECT_EQ(list, (TIntArray{1}));
}

TEST(Shredding, FormulaValues)
{
    const TCombWord none = MakeComb(0, 0);
    EXPECT_EQ(ShreddingValue(MakeComb(3, 4), none, none, 2, "n1/n2"), 75);
    EXPECT_EQ(ShreddingValue(MakeComb(5, 0), none, none, 2, "n1/n2"), 0);   // division by zero
    EXPECT_EQ(ShreddingValue(MakeComb(3, 4), none, none, 2, "N1/N2"), 75);   // letters any case
    EXPECT_EQ(ShreddingValue(MakeComb(1, 3), none, none, 3, "n1/n2"), 333);
    EXPECT_EQ(ShreddingValue(MakeComb(1, 3), none, none, 0, "n1/n2"), 0);
    EXPECT_EQ(ShreddingValue(MakeComb(3, 4), none, none, 2, "-n1/n2"), 75);  // |x|
    EXPECT_EQ(ShreddingValue(MakeComb(8, 4), none, none, 2, "n1/n2"), 0);    // whole number
    // p and t are the two further combinations: (3 + 4) / 8 = 0.875.
    EXPECT_EQ(ShreddingValue(MakeComb(3, 9), MakeComb(0, 4), MakeComb(8, 0), 3, "(n1+p2)/t1"), 875);
    EXPECT_EQ(ShreddingValue(MakeComb(3, 4), none, none, 2, "n1/"), 0);      // parser error
    EXPECT_EQ(ShreddingValue(MakeComb(3, 4), none, none, 2, ""), 0);
    // Digits past what an integer holds overflow to 0 instead of a wrapped number.
    EXPECT_EQ(ShreddingValue(MakeComb(1, 3), none, none, 30, "n1/n2"), 0);
}
