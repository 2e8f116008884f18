#include "tests/fixtures/ArchiveFixtures.h"

#include <gtest/gtest.h>

#include <array>

// Later tests and benchmarks depend on these archives staying the same.
TEST(ArchiveFixtures, GeneratedArchiveIsPinned)
{
    const TDrawsArray draws = MakeArchive(6);
    ASSERT_EQ(draws.size(), 6u);
    // The first digits of splitmix64 from seed 1, worked out apart from this code.
    const std::array<std::pair<int, int>, 6> digits = {{{6, 7}, {0, 4}, {0, 3}, {6, 1}, {2, 4}, {9, 5}}};
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(draws[i].Number, std::uint32_t(i + 1));
        EXPECT_EQ(draws[i].Digits[0], digits[i].first) << i;
        EXPECT_EQ(draws[i].Digits[1], digits[i].second) << i;
        EXPECT_EQ(draws[i].Spare, 0);
    }
    EXPECT_EQ(draws[0].Key.Get(), "08/01/2016 M");
    EXPECT_EQ(draws[1].Key.Get(), "08/01/2016 E");
    EXPECT_EQ(draws[2].Key.Get(), "08/02/2016 M");
    EXPECT_EQ(draws[5].Key.Get(), "08/03/2016 E");

    EXPECT_EQ(MakeArchive(6, 1), draws);
    EXPECT_NE(MakeArchive(50, 2), MakeArchive(50, 1));
    EXPECT_TRUE(MakeArchive(0).empty());
    EXPECT_TRUE(MakeArchive(-4).empty());
}

TEST(ArchiveFixtures, LongArchiveKeysAndDigits)
{
    const TDrawsArray draws = MakeArchive(10000, 7);
    std::array<std::array<int, 10>, 2> seen{};
    for (std::size_t i = 0; i < draws.size(); ++i) {
        for (int p = 0; p < 2; ++p) {
            ASSERT_LE(draws[i].Digits[p], 9);
            ++seen[p][draws[i].Digits[p]];
        }
        // Every key reads back as its day, midday first, evening second.
        const TDateTime when = StrToDrawDate(draws[i].Key.Get());
        EXPECT_DOUBLE_EQ(DateOf(when), FirstDrawDate + double(i / 2)) << i;
        EXPECT_EQ(HourOf(when), i % 2 == 0 ? 13 : 19) << i;
    }
    for (int p = 0; p < 2; ++p)
        for (int d = 0; d < 10; ++d)
            EXPECT_GT(seen[p][d], 800) << p << " " << d;   // about 1000 each

    EXPECT_EQ(draws[61].Key.Get(), "08/31/2016 E");
    EXPECT_EQ(draws[62].Key.Get(), "09/01/2016 M");
    EXPECT_EQ(draws[9999].Number, 10000u);
}

TEST(ArchiveFixtures, HandMadeDraws)
{
    const TDrawsArray draws = MakeDraws({{1, 2}, {9, 9}, {0, 5}});
    ASSERT_EQ(draws.size(), 3u);
    EXPECT_EQ(draws[2].Number, 3u);
    EXPECT_EQ(DrawToComb(draws[1]), MakeComb(9, 9));
    EXPECT_EQ(draws[2].Key.Get(), "08/02/2016 M");
    EXPECT_TRUE(MakeDraws({}).empty());

    const QByteArray bytes = ArchiveBytes(MakeDraws({{1, 2}}));
    EXPECT_EQ(bytes, QByteArray("\x01\x00\x00\x00\x01\x02\x0c" "08/01/2016 M" "\x00", 20));
}
