// The regular stake record: its bytes, the step of its combination and its name.

#include "tests/app_core/stakes/TableRuleData.h"

#include <gtest/gtest.h>

namespace {

QByteArray RecordBytes(const TTableRec& rec)
{
    return TablesToBytes({rec});
}

TEST(TableRecTest, FieldsSitAtTheirOffsetsLittleEndian)
{
    TTableRec rec = Rule("Рег 1", 1, 8, -3, true, 258);
    rec.CurrComb = C(4, 1);
    QByteArray expected(TableRecSize, '\0');
    expected[0] = 5;
    expected.replace(1, 5, QByteArray("\xD0\xE5\xE3\x20\x31", 5));
    expected[256] = 1;
    expected[257] = 1;
    expected[258] = 8;
    expected[259] = 4;
    expected[260] = 1;
    expected.replace(264, 4, QByteArray("\xFD\xFF\xFF\xFF", 4));
    expected.replace(268, 4, QByteArray("\x02\x01\x00\x00", 4));
    const QByteArray bytes = RecordBytes(rec);
    ASSERT_EQ(bytes.size(), TableRecSize);
    EXPECT_EQ(bytes.toHex(), expected.toHex());
    EXPECT_EQ(ReadTableRec(reinterpret_cast<const std::uint8_t*>(expected.constData())), rec);

    // Any non-zero flag byte reads as set; the gap bytes are never read.
    expected[256] = 7;
    expected[262] = 0x55;
    EXPECT_EQ(ReadTableRec(reinterpret_cast<const std::uint8_t*>(expected.constData())), rec);
}

TEST(TableRecTest, ShiftWrapsIntoZeroToNineForEveryStep)
{
    // From 2;0, worked out by hand.
    const char* const expected[] = {"3;1", "4;2", "5;3", "6;4", "7;5", "8;6", "9;7", "0;8", "1;9", "2;0",
                                    "3;1", "4;2", "5;3", "6;4", "7;5", "8;6", "9;7", "0;8", "1;9"};
    for (int step = -9; step <= 9; ++step)
        EXPECT_EQ(TableCombText(ShiftTableComb(C(2, 0), step)), QLatin1String(expected[step + 9])) << step;

    // Ten shifts by any step come back to the start, every combination staying in 0..9.
    for (int step = -9; step <= 9; ++step)
        for (int d1 = 0; d1 <= 9; ++d1)
            for (int d2 = 0; d2 <= 9; ++d2) {
                TCombWord comb = C(d1, d2);
                for (int i = 0; i < 10; ++i) {
                    comb = ShiftTableComb(comb, step);
                    ASSERT_LE(CombDigit1(comb), 9);
                    ASSERT_LE(CombDigit2(comb), 9);
                }
                ASSERT_EQ(comb, C(d1, d2)) << step << " " << d1 << d2;
            }
}

TEST(TableRecTest, DamagedRulesAreStepsOutsideNineAndDigitsAboveNine)
{
    struct {
        int Step;
        TCombWord Start;
        TCombWord Current;
        bool Damaged;
    } const cases[] = {
        {9, C(9, 9), C(0, 0), false}, {-9, C(0, 0), C(9, 9), false}, {10, C(1, 1), C(1, 1), true},
        {-10, C(1, 1), C(1, 1), true}, {1, C(10, 1), C(1, 1), true}, {1, C(1, 1), C(1, 255), true},
    };
    for (const auto& c : cases) {
        TTableRec rec = Rule("r", 0, 0, c.Step);
        rec.StartComb = c.Start;
        rec.CurrComb = c.Current;
        EXPECT_EQ(rec.IsDamaged(), c.Damaged) << c.Step;
    }
}

TEST(TableRecTest, NumberedNamesSkipTakenOnes)
{
    EXPECT_EQ(UniqueTableName(U("Р"), 1, {}), U("Р (1)"));
    EXPECT_EQ(UniqueTableName(U("Р"), 2, {U("Р (2)"), U("Р (3)"), U("Р (5)")}), U("Р (4)"));
}

} // namespace
