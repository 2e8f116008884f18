#include "engine/KelmaUtils.h"

#include "platform/Exceptions.h"

#include <gtest/gtest.h>

#include <array>
#include <limits>

namespace {

constexpr double July4 = 42555.0;
constexpr double At1957 = (19.0 * 60 + 57) / 1440.0;

// Installs the game's draw-key functions for one test and empties the cells afterwards,
// so that tests running later see the start-up state.
struct TDrawHooks {
    TDrawHooks()
    {
        DateToTextHook = &DrawDateToStr;
        TextToDateHook = &StrToDrawDate;
    }
    ~TDrawHooks()
    {
        DateToTextHook = nullptr;
        TextToDateHook = nullptr;
    }
};

TStatValueRec Value(std::uint16_t key, std::uint32_t drawNo, std::uint32_t age, std::int32_t hits = 1)
{
    TStatValueRec v;
    v.Key.Words = {key, 0, 0, 0};
    v.DrawNo = drawNo;
    v.PrevDrawNo = drawNo;
    v.Age = age;
    v.Hits = hits;
    return v;
}

TStatValueRec KeyOnly(std::uint16_t w1, std::uint16_t w2, std::uint16_t w3, std::uint16_t w4)
{
    TStatValueRec v;
    v.Key.Words = {w1, w2, w3, w4};
    return v;
}

} // namespace

// ---------------------------------------------------------------------------------------

TEST(DrawDateText, DefaultsWithoutHooks)
{
    ASSERT_EQ(DateToTextHook, nullptr);
    ASSERT_EQ(TextToDateHook, nullptr);
    EXPECT_TRUE(DigitTextsNumeric);

    EXPECT_EQ(FormatDrawDate(0), "");
    EXPECT_EQ(FormatDrawDate(-5.5), "");
    EXPECT_EQ(FormatDrawDate(July4 + 0.75), "07/04/2016");
    EXPECT_EQ(FormatDrawDateDefault(July4 + 0.75), "07/04/2016");
    EXPECT_EQ(FormatDrawDateDefault(0), "");

    EXPECT_DOUBLE_EQ(ParseDrawDate("   "), 0.0);
    EXPECT_DOUBLE_EQ(ParseDrawDate(""), 0.0);
    // The default reader takes the date only; the letter lies past its pattern.
    EXPECT_DOUBLE_EQ(ParseDrawDate(" 07/04/2016 E "), July4);
    EXPECT_DOUBLE_EQ(ParseDrawDateDefault("07/04/2016"), July4);
    EXPECT_DOUBLE_EQ(ParseDrawDateDefault(""), 0.0);
    EXPECT_THROW(ParseDrawDateDefault("02/30/2016"), EConvertError);
    EXPECT_THROW(ParseDrawDateDefault("7/4/2016"), EConvertError);   // month "7/" reads as 0
    EXPECT_THROW(ParseDrawDateDefault("garbage"), EConvertError);
}

TEST(DrawDateText, InstalledHooksGiveDrawKeys)
{
    const TDrawHooks hooks;
    EXPECT_EQ(FormatDrawDate(0), "");
    EXPECT_EQ(FormatDrawDate(-1), "");
    EXPECT_EQ(FormatDrawDate(July4 + At1957), "07/04/2016 E");
    EXPECT_EQ(FormatDrawDate(July4 + 0.5), "07/04/2016 M");
    EXPECT_DOUBLE_EQ(ParseDrawDate("   "), 0.0);
    EXPECT_NEAR(ParseDrawDate("  07/04/2016 E  "), July4 + At1957, 1e-9);
    EXPECT_NEAR(ParseDrawDate("\t07/04/2016 M"), July4 + 13.0 / 24, 1e-9);
}

// ---------------------------------------------------------------------------------------

TEST(DrawRec, WritesTwentyBytesLittleEndian)
{
    TDrawRec rec;
    rec.Number = 1234567;   // 0x0012D687
    rec.Digits = {3, 7};
    rec.Key.Set("07/04/2016 M");

    std::array<std::uint8_t, DrawRecSize> bytes{};
    bytes.fill(0xCC);
    WriteDrawRec(rec, bytes.data());
    const std::array<std::uint8_t, DrawRecSize> expected = {
        0x87, 0xD6, 0x12, 0x00, 3, 7, 12,
        '0', '7', '/', '0', '4', '/', '2', '0', '1', '6', ' ', 'M',
        0x00};
    EXPECT_EQ(bytes, expected);
    EXPECT_EQ(ReadDrawRec(bytes.data()), rec);
    EXPECT_EQ(ReadDrawRec(bytes.data()).Key.Get(), "07/04/2016 M");
}

TEST(DrawRec, KeepsCyrillicKeysAndExtremeValues)
{
    TDrawRec rec;
    rec.Number = 0xFFFFFFFFu;
    rec.Digits = {9, 0};
    rec.Key.Set(QString::fromUtf8("Тираж"));
    rec.Spare = 0x5A;

    std::array<std::uint8_t, DrawRecSize> bytes{};
    WriteDrawRec(rec, bytes.data());
    const std::array<std::uint8_t, DrawRecSize> expected = {
        0xFF, 0xFF, 0xFF, 0xFF, 9, 0, 5, 0xD2, 0xE8, 0xF0, 0xE0, 0xE6, 0, 0, 0, 0, 0, 0, 0, 0x00};
    EXPECT_EQ(bytes, expected);   // the spare byte is stored as 0 whatever it held
    const TDrawRec back = ReadDrawRec(bytes.data());
    EXPECT_EQ(back.Number, rec.Number);
    EXPECT_EQ(back.Digits, rec.Digits);
    EXPECT_EQ(back.Key, rec.Key);
    EXPECT_EQ(back.Key.Get(), QString::fromUtf8("Тираж"));

    // A text longer than the field is cut to 12 bytes.
    rec.Key.Set("07/04/2016 M and more");
    WriteDrawRec(rec, bytes.data());
    EXPECT_EQ(bytes[6], 12);
    EXPECT_EQ(ReadDrawRec(bytes.data()).Key.Get(), "07/04/2016 M");
}

TEST(DrawRec, ClampsADamagedLengthByte)
{
    std::array<std::uint8_t, DrawRecSize> bytes = {
        5, 0, 0, 0, 1, 2, 200,
        'A', 'B', 'C', 'D', 'E', 'F', 'G', 'H', 'I', 'J', 'K', 'L',
        0};
    const TDrawRec rec = ReadDrawRec(bytes.data());
    EXPECT_EQ(rec.Number, 5u);
    EXPECT_EQ(rec.Key.Bytes[0], 12);
    EXPECT_EQ(rec.Key.Get(), "ABCDEFGHIJKL");

    std::array<std::uint8_t, DrawRecSize> written{};
    WriteDrawRec(rec, written.data());
    bytes[6] = 12;
    EXPECT_EQ(written, bytes);

    // Bytes after a short key carry no meaning but are written back as they were read.
    std::array<std::uint8_t, DrawRecSize> shortKey = bytes;
    shortKey[6] = 2;
    WriteDrawRec(ReadDrawRec(shortKey.data()), written.data());
    EXPECT_EQ(written, shortKey);
    EXPECT_EQ(ReadDrawRec(shortKey.data()).Key.Get(), "AB");
}

TEST(Records, DigitsAndShemaBytes)
{
    TDigitsRec digits;
    digits.Count = 2;
    digits.Digits = {3, 7, 0, 0};
    std::array<std::uint8_t, DigitsRecSize> d{};
    WriteDigitsRec(digits, d.data());
    EXPECT_EQ(d, (std::array<std::uint8_t, 8>{2, 0, 0, 0, 3, 7, 0, 0}));
    EXPECT_EQ(ReadDigitsRec(d.data()), digits);

    digits.Count = -1;   // not checked yet
    WriteDigitsRec(digits, d.data());
    EXPECT_EQ(d, (std::array<std::uint8_t, 8>{0xFF, 0xFF, 0xFF, 0xFF, 3, 7, 0, 0}));
    EXPECT_EQ(ReadDigitsRec(d.data()).Count, -1);
    EXPECT_EQ(ReadDigitsRec(d.data()).UsedCount(), 0);
    digits.Count = 1000;
    EXPECT_EQ(digits.UsedCount(), 4);

    TShemaRec shema;
    shema.Key.Words = {0x0102, 3, 0, 0xFFFF};
    shema.Hits = -2;
    std::array<std::uint8_t, ShemaRecSize> s{};
    WriteShemaRec(shema, s.data());
    EXPECT_EQ(s, (std::array<std::uint8_t, 12>{0x02, 0x01, 0x03, 0x00, 0x00, 0x00, 0xFF, 0xFF,
                                               0xFE, 0xFF, 0xFF, 0xFF}));
    EXPECT_EQ(ReadShemaRec(s.data()), shema);
}

TEST(Records, StatKeyViews)
{
    TStatKey key;
    key.Words = {0x1234, 0x5678, 0x9ABC, 0xDEF0};
    EXPECT_EQ(key.Byte(0), 0x34);
    EXPECT_EQ(key.Byte(1), 0x12);
    EXPECT_EQ(key.Byte(2), 0x78);
    EXPECT_EQ(key.Byte(7), 0xDE);
    EXPECT_EQ(key.Byte(8), 0);
    EXPECT_EQ(key.Byte(-1), 0);
    EXPECT_EQ(key.Dword(0), 0x56781234u);
    EXPECT_EQ(key.Dword(1), 0xDEF09ABCu);
    EXPECT_EQ(key.Dword(2), 0u);

    key.SetByte(3, 0xAA);
    EXPECT_EQ(key.Words[1], 0xAA78);
    key.SetByte(4, 0x01);
    EXPECT_EQ(key.Words[2], 0x9A01);
    key.SetDword(1, 0x11223344);
    EXPECT_EQ(key.Words[2], 0x3344);
    EXPECT_EQ(key.Words[3], 0x1122);
    const TStatKey before = key;
    key.SetByte(8, 0xFF);
    key.SetByte(-1, 0xFF);
    key.SetDword(2, 0xFFFFFFFF);
    EXPECT_EQ(key, before);
}

// ---------------------------------------------------------------------------------------

TEST(MergeStatValue, KeepsTheMostRecentAge)
{
    TStatDrawArray table;
    MergeStatValue(table, Value(4, 20, 5), false);
    MergeStatValue(table, Value(4, 22, 3), false);
    ASSERT_EQ(table.size(), 1u);
    EXPECT_EQ(table[0].Age, 3u);
    EXPECT_EQ(table[0].DrawNo, 22u);
    EXPECT_EQ(table[0].Hits, 2);

    table.clear();
    MergeStatValue(table, Value(4, 22, 3), false);
    MergeStatValue(table, Value(4, 20, 5), false);
    EXPECT_EQ(table[0].Age, 3u);
    EXPECT_EQ(table[0].DrawNo, 22u);

    // Age 0 (not seen) never replaces a seen value; a stored 0 is always replaced.
    MergeStatValue(table, Value(4, 99, 0), false);
    EXPECT_EQ(table[0].Age, 3u);
    EXPECT_EQ(table[0].DrawNo, 22u);
    table.clear();
    MergeStatValue(table, Value(4, 0, 0, 0), false);
    MergeStatValue(table, Value(4, 30, 7), false);
    EXPECT_EQ(table[0].Age, 7u);
    EXPECT_EQ(table[0].DrawNo, 30u);
    EXPECT_EQ(table[0].Hits, 1);

    // On equal ages the later call wins.
    MergeStatValue(table, Value(4, 31, 7), false);
    EXPECT_EQ(table[0].DrawNo, 31u);
}

TEST(MergeStatValue, TracksGapsBetweenOccurrences)
{
    TStatDrawArray table;
    for (const std::uint32_t draw : {10u, 14u, 15u})
        MergeStatValue(table, Value(1, draw, 100 - draw), true);
    ASSERT_EQ(table.size(), 1u);
    EXPECT_EQ(table[0].MinGap, 1);
    EXPECT_EQ(table[0].MaxGap, 4);
    EXPECT_EQ(table[0].PrevDrawNo, 15u);
    EXPECT_EQ(table[0].Hits, 3);

    table.clear();
    for (const std::uint32_t draw : {10u, 14u, 15u})
        MergeStatValue(table, Value(1, draw, 100 - draw), false);
    EXPECT_EQ(table[0].MinGap, 0);
    EXPECT_EQ(table[0].MaxGap, 0);
    EXPECT_EQ(table[0].PrevDrawNo, 15u);

    // Draws fed newest first still give positive gaps.
    table.clear();
    for (const std::uint32_t draw : {15u, 9u})
        MergeStatValue(table, Value(1, draw, 100 - draw), true);
    EXPECT_EQ(table[0].MinGap, 6);
    EXPECT_EQ(table[0].MaxGap, 6);

    // A combination table (draw number 0) has no gaps.
    table.clear();
    MergeStatValue(table, Value(1, 0, 0), true);
    MergeStatValue(table, Value(1, 0, 0), true);
    EXPECT_EQ(table[0].MaxGap, 0);
    EXPECT_EQ(table[0].Hits, 2);

    // A gap longer than 16 bits is held at the largest one, not wrapped to a small one.
    table.clear();
    MergeStatValue(table, Value(1, 1, 2), true);
    MergeStatValue(table, Value(1, 70002, 1), true);
    EXPECT_EQ(table[0].MaxGap, 0xFFFF);
    EXPECT_EQ(table[0].MinGap, 0xFFFF);
}

TEST(MergeStatValue, NeverTouchesTheExpectedCount)
{
    TStatDrawArray table;
    TStatValueRec first = Value(2, 5, 1);
    first.Expected = 9;
    MergeStatValue(table, first, true);
    EXPECT_EQ(table[0].Expected, 0);   // a new element starts at 0

    table[0].Expected = 7;
    TStatValueRec second = Value(2, 6, 1);
    second.Expected = 3;
    MergeStatValue(table, second, true);
    EXPECT_EQ(table[0].Expected, 7);

    // Keys differing only in the last word are different values.
    TStatValueRec other = Value(2, 6, 1);
    other.Key.Words[3] = 1;
    MergeStatValue(table, other, true);
    EXPECT_EQ(table.size(), 2u);
}

TEST(StatTables, CompareAndSort)
{
    EXPECT_LT(CompareStatValues(KeyOnly(1, 0, 0, 0), KeyOnly(1, 0, 0, 1)), 0);
    EXPECT_LT(CompareStatValues(KeyOnly(0, 5, 0, 0), KeyOnly(1, 0, 0, 0)), 0);
    EXPECT_GT(CompareStatValues(KeyOnly(0xFFFF, 0, 0, 0), KeyOnly(0, 0xFFFF, 0, 0)), 0);
    EXPECT_EQ(CompareStatValues(KeyOnly(3, 2, 1, 0), KeyOnly(3, 2, 1, 0)), 0);

    TStatDrawArray table = {KeyOnly(2, 0, 0, 0), KeyOnly(1, 0, 0, 1), KeyOnly(1, 0, 0, 0),
                            KeyOnly(2, 0, 0, 0), KeyOnly(0, 9, 0, 0)};
    for (std::size_t i = 0; i < table.size(); ++i)
        table[i].Hits = int(i);   // marks the original order
    SortStatValues(table);
    std::vector<int> order;
    for (const auto& v : table)
        order.push_back(v.Hits);
    EXPECT_EQ(order, (std::vector<int>{4, 2, 1, 0, 3}));   // equal keys keep their order
}

TEST(StatTables, Summary)
{
    const TStatValuesSummary empty = GetStatValuesSummary({});
    EXPECT_EQ(empty.TotalHits, 0);
    EXPECT_EQ(empty.MinHits, 2147483647);
    EXPECT_EQ(empty.MaxHits, 0);
    EXPECT_EQ(empty.MaxAge, 0u);

    const TStatDrawArray table = {Value(0, 0, 0, 3), Value(1, 0, 4, 0), Value(2, 0, 2, 5),
                                  Value(3, 0, 0, 2147483647)};
    const TStatValuesSummary s = GetStatValuesSummary(table);
    EXPECT_EQ(s.TotalHits, 8 + 2147483647LL);   // no 32-bit wrap
    EXPECT_EQ(s.MinHits, 0);
    EXPECT_EQ(s.MaxHits, 2147483647);
    EXPECT_EQ(s.MaxAge, 4u);
}

TEST(StatTables, SimpleCounts)
{
    TStatSimpleArray table;
    AddStatSimple(table, 5, 2);
    AddStatSimple(table, 5, 3);
    AddStatSimple(table, 5, 0);    // nothing for an existing key
    AddStatSimple(table, 5, -4);
    AddStatSimple(table, -1, 0);   // a new key is appended even with 0
    AddStatSimple(table, 3, 1);
    EXPECT_EQ(table, (TStatSimpleArray{{5, 5}, {-1, 0}, {3, 1}}));
    SortStatSimple(table);
    EXPECT_EQ(table, (TStatSimpleArray{{-1, 0}, {3, 1}, {5, 5}}));
}

TEST(StatTables, ShemaConversions)
{
    TStatValueRec v = Value(7, 40, 3, 12);
    v.Key.Words[2] = 9;
    v.MinGap = 2;
    v.Expected = 4;
    const TShemaRec shema = StatValueToShema(v);
    EXPECT_EQ(shema.Key, v.Key);
    EXPECT_EQ(shema.Hits, 12);

    const TStatValueRec back = ShemaToStatValue(shema);
    TStatValueRec expected;
    expected.Key = v.Key;
    expected.Hits = 12;
    EXPECT_EQ(back, expected);
}

TEST(StatTables, LastValuesProfitsAndRatings)
{
    TLastValueArray last;
    TLastValueRec a;
    a.DrawNo = 10;
    a.Key.Words = {3, 0, 0, 0};
    EXPECT_EQ(UpdateLastValue(a, last), -1);
    a.DrawNo = 17;
    EXPECT_EQ(UpdateLastValue(a, last), 7);
    EXPECT_EQ(last.size(), 1u);
    EXPECT_EQ(last[0].DrawNo, 17u);
    TLastValueRec b = a;
    b.Key.Words[1] = 1;
    EXPECT_EQ(UpdateLastValue(b, last), -1);
    EXPECT_EQ(last.size(), 2u);

    TProfitDrawArray profits;
    AddProfitDraw(profits, 5, TCurrency::FromRaw(-100000));
    AddProfitDraw(profits, 6, TCurrency::FromUnits(3));
    AddProfitDraw(profits, 5, TCurrency::FromUnits(50));
    EXPECT_EQ(profits, (TProfitDrawArray{{5, TCurrency::FromUnits(40)}, {6, TCurrency::FromUnits(3)}}));

    TRatingsArray ratings;
    AddRatingResult(ratings, "01.001:line@step", -1, TCurrency::FromUnits(-10));   // unscored
    EXPECT_TRUE(ratings.empty());
    AddRatingResult(ratings, "01.001:line@step", 1, TCurrency::FromUnits(-10));
    AddRatingResult(ratings, "01.001:LINE@Step", 2, TCurrency::FromUnits(490));
    AddRatingResult(ratings, QString::fromUtf8("Ставка \"вручную\""), 0, TCurrency::FromUnits(-10));
    AddRatingResult(ratings, QString::fromUtf8("СТАВКА \"ВРУЧНУЮ\""), 0, TCurrency::FromUnits(-10));
    // Damaged counts past the counters are left out.
    AddRatingResult(ratings, "01.001:line@step", 3, TCurrency::FromUnits(1000));
    AddRatingResult(ratings, "new", 7, TCurrency::FromUnits(1000));
    ASSERT_EQ(ratings.size(), 2u);

    EXPECT_EQ(ratings[0].Comment, "01.001:line@step");
    EXPECT_EQ(ratings[0].Stakes, 2);
    EXPECT_EQ(ratings[0].Matched, 3);
    EXPECT_EQ(ratings[0].MatchCounts, (std::array<std::int32_t, 3>{0, 1, 1}));
    EXPECT_EQ(ratings[0].Balance, TCurrency::FromUnits(480));

    EXPECT_EQ(ratings[1].Stakes, 2);
    EXPECT_EQ(ratings[1].Matched, 0);
    EXPECT_EQ(ratings[1].MatchCounts, (std::array<std::int32_t, 3>{2, 0, 0}));
    EXPECT_EQ(ratings[1].Balance, TCurrency::FromUnits(-20));
}

TEST(StatTables, RatingTotalsStopAtTheEndsOfTheirRange)
{
    constexpr std::int32_t IntMax = std::numeric_limits<std::int32_t>::max();
    constexpr std::int64_t RawMax = std::numeric_limits<std::int64_t>::max();
    constexpr std::int64_t RawMin = std::numeric_limits<std::int64_t>::min();
    struct TCase {
        const char* Name;
        std::int32_t Stakes, Matched, Counter1;   // the rating before; the stake matches one position
        std::int64_t BalanceRaw, StakeRaw;
        std::int32_t WantStakes, WantMatched, WantCounter1;
        std::int64_t WantBalanceRaw;
    };
    const TCase cases[] = {
        {"ordinary", 10, 4, 4, 500000, 400000, 11, 5, 5, 900000},
        {"stakes at the top", IntMax, 7, 7, 0, 400000, IntMax, 8, 8, 400000},
        {"matched total at the top", 20, IntMax, 3, 0, 400000, 21, IntMax, 4, 400000},
        {"counter at the top", IntMax - 5, 9, IntMax, 0, 400000, IntMax - 4, 10, IntMax, 400000},
        {"money at the top", 3, 1, 1, RawMax, 1, 4, 2, 2, RawMax},
        {"money one short of the top", 3, 1, 1, RawMax - 1, 1, 4, 2, 2, RawMax},
        {"a loss at the bottom", 3, 1, 1, RawMin, -100000, 4, 2, 2, RawMin},
        {"a loss taken from the top", 3, 1, 1, RawMax, -100000, 4, 2, 2, RawMax - 100000},
        {"a win taken from the bottom", 3, 1, 1, RawMin, 100000, 4, 2, 2, RawMin + 100000},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        TRatingsArray ratings(1);
        ratings[0].Comment = "r";
        ratings[0].Stakes = c.Stakes;
        ratings[0].Matched = c.Matched;
        ratings[0].MatchCounts = {0, c.Counter1, 0};
        ratings[0].Balance = TCurrency::FromRaw(c.BalanceRaw);
        EXPECT_NO_THROW(AddRatingResult(ratings, "R", 1, TCurrency::FromRaw(c.StakeRaw)));
        ASSERT_EQ(ratings.size(), 1u);
        EXPECT_EQ(ratings[0].Stakes, c.WantStakes);
        EXPECT_EQ(ratings[0].Matched, c.WantMatched);
        EXPECT_EQ(ratings[0].MatchCounts, (std::array<std::int32_t, 3>{0, c.WantCounter1, 0}));
        EXPECT_EQ(ratings[0].Balance.Raw(), c.WantBalanceRaw);
    }

    // Two stakes that each won the largest amount: the new rating stops at the top.
    TRatingsArray fresh;
    AddRatingResult(fresh, "max", 2, TCurrency::FromRaw(RawMax));
    AddRatingResult(fresh, "MAX", 2, TCurrency::FromRaw(RawMax));
    ASSERT_EQ(fresh.size(), 1u);
    EXPECT_EQ(fresh[0].Stakes, 2);
    EXPECT_EQ(fresh[0].Matched, 4);
    EXPECT_EQ(fresh[0].Balance.Raw(), RawMax);

    // The per-draw sums of the stake graphs stop the same way.
    TProfitDrawArray profits;
    AddProfitDraw(profits, 9, TCurrency::FromRaw(RawMax));
    EXPECT_NO_THROW(AddProfitDraw(profits, 9, TCurrency::FromRaw(RawMax)));
    AddProfitDraw(profits, 8, TCurrency::FromRaw(RawMin));
    EXPECT_NO_THROW(AddProfitDraw(profits, 8, TCurrency::FromRaw(-1)));
    EXPECT_EQ(profits, (TProfitDrawArray{{9, TCurrency::FromRaw(RawMax)}, {8, TCurrency::FromRaw(RawMin)}}));
}
