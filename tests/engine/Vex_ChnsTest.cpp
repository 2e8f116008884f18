#include "engine/Vex_Chns.h"

#include "tests/fixtures/ArchiveFixtures.h"
#include "tests/fixtures/StatFixtures.h"

#include <gtest/gtest.h>

TEST(VexChns, ChannelTableOfSixDraws)
{
    // Channels (size 2): 2,3 / 1,2 / 2,4 / 3,3 / 3,3 / 2,3; draw numbers 1..6.
    TStatFixture fx(SixDrawArchive());
    TstChannels stat(fx.List, 0);
    const TStatDrawArray table = RunStatTable(stat, 0, fx.LastIndex());
    ASSERT_EQ(table.size(), 5u);
    for (int c = 1; c <= 5; ++c)
        EXPECT_EQ(table[std::size_t(c - 1)].Key.Byte(0), c);

    const TStatValueRec* two = FindStatValue(table, 2);
    EXPECT_EQ(two->Hits, 4);
    EXPECT_EQ(two->DrawNo, 6u);
    EXPECT_EQ(two->Age, 1u);
    EXPECT_EQ(two->MinGap, 1);
    EXPECT_EQ(two->MaxGap, 3);
    const TStatValueRec* three = FindStatValue(table, 3);
    EXPECT_EQ(three->Hits, 6);
    EXPECT_EQ(three->MinGap, 1);
    EXPECT_EQ(three->MaxGap, 3);
    EXPECT_EQ(FindStatValue(table, 1)->Age, 5u);
    EXPECT_EQ(FindStatValue(table, 4)->DrawNo, 3u);
    EXPECT_EQ(HitsOf(table, 5), 0);
}

TEST(VexChns, ChannelsOfSingleDraws)
{
    const TStatDrawArray t34 = OneDrawTable(TstChannelsClass, 3, 4);
    EXPECT_EQ(HitsOf(t34, 2), 1);
    EXPECT_EQ(HitsOf(t34, 3), 1);
    EXPECT_EQ(HitsOf(t34, 1), 0);
    EXPECT_EQ(HitsOf(OneDrawTable(TstChannelsClass, 4, 5), 3), 2);

    TStatFixture fx;
    TstChannels stat(fx.List, 0);
    EXPECT_EQ(stat.ValueText(StatKeyValue(1)), QStringLiteral("01 [0-1]"));
    EXPECT_EQ(stat.ValueText(StatKeyValue(5)), QStringLiteral("05 [8-9]"));
    EXPECT_EQ(stat.ParseValue(QStringLiteral("01 [0-1]")), 1);
    EXPECT_EQ(stat.ValueFromText(QStringLiteral("04 [6-7]")), 4);
    EXPECT_EQ(stat.ParseValue(QStringLiteral("x [0-1]")), 0);

    // A channel passes a combination with it at either position.
    const TCombsArray kept = FilterCombs(stat, {StatKeyValue(1)}, 0);
    EXPECT_EQ(kept.size(), 36u);
}

TEST(VexChns, ChannelSizeThree)
{
    TStatFixture fx;
    fx.List.Config().ChannelSize = 3;
    TstChannels stat(fx.List, 0);
    EXPECT_EQ(stat.ValueText(StatKeyValue(1)), QStringLiteral("01 [0-2]"));
    EXPECT_EQ(stat.ValueText(StatKeyValue(2)), QStringLiteral("02 [3-5]"));
    EXPECT_EQ(stat.ValueText(StatKeyValue(3)), QStringLiteral("03 [6-8]"));
    EXPECT_EQ(stat.ValueText(StatKeyValue(4)), QStringLiteral("04 [9-11]"));
    EXPECT_EQ(RunStatTable(stat, 0, -1).size(), 4u);

    int lo = 0, hi = 0;
    ChannelParamRange(fx.List, lo, hi);
    EXPECT_EQ(lo, 1);
    EXPECT_EQ(hi, 4);
    fx.List.Config().ChannelSize = 2;
    ChannelParamRange(fx.List, lo, hi);
    EXPECT_EQ(hi, 5);
    // A size below 1 gives no channel method at all.
    fx.List.Config().ChannelSize = 0;
    ChannelParamRange(fx.List, lo, hi);
    EXPECT_EQ(lo, 0);
    EXPECT_EQ(hi, -1);

    // The object keeps the size it was made with.
    EXPECT_EQ(stat.ChannelSize(), 3);
    EXPECT_EQ(stat.ValueText(StatKeyValue(4)), QStringLiteral("04 [9-11]"));
}

TEST(VexChns, BadChannelSizesStaySafe)
{
    TStatFixture fx(MakeDraws({{9, 0}}));
    fx.List.Config().ChannelSize = 0;
    TstChanValues values(fx.List, 0);
    EXPECT_EQ(HitsOf(RunStatTable(values, 0, 0), 0, 2), 1);
    fx.List.Config().ChannelSize = 2000000000;
    TstChannels huge(fx.List, 0);
    EXPECT_EQ(HitsOf(RunStatTable(huge, 0, 0), 1), 2);
    EXPECT_FALSE(huge.ValueText(StatKeyValue(3)).isEmpty());
    TstChnValCnt count(fx.List, 1);
    EXPECT_EQ(RunStatTable(count, 0, 0).size(), 10u);
}

TEST(VexChns, DigitsPerChannel)
{
    // Draw 3;4 with size 2 adds one value per channel.
    const TStatDrawArray table = OneDrawTable(TstChanValuesClass, 3, 4);
    ASSERT_EQ(table.size(), 15u);   // five channels with the counts 0, 1, 2
    for (auto [c, k] : {std::pair{1, 0}, {2, 1}, {3, 1}, {4, 0}, {5, 0}})
        EXPECT_EQ(HitsOf(table, std::uint16_t(c), std::uint16_t(k)), 1) << c << " x " << k;
    EXPECT_EQ(HitsOf(table, 2, 0), 0);

    TStatFixture fx;
    TstChanValues stat(fx.List, 0);
    EXPECT_EQ(stat.ValueText(StatKeyValue(2, 1)), QStringLiteral("02 [2-3] x 1"));
    // Channel 5 holding both digits: 8;8, 8;9, 9;8, 9;9.
    EXPECT_EQ(FilterCombs(stat, {StatKeyValue(5, 2)}, 0).size(), 4u);
    // Every combination has channel 3 with some count: all pass.
    EXPECT_EQ(FilterCombs(stat, {StatKeyValue(3, 0), StatKeyValue(3, 1), StatKeyValue(3, 2)}, 0)
                  .size(),
              100u);
}

TEST(VexChns, ChannelCounts)
{
    EXPECT_EQ(HitsOf(OneDrawTable(TstChanCountClass, 2, 3), 1), 1);
    EXPECT_EQ(HitsOf(OneDrawTable(TstChanCountClass, 1, 2), 2), 1);
    // With channels of one digit only the count 1 is listed in advance.
    TStatFixture single(MakeDraws({{1, 2}}));
    single.List.Config().ChannelSize = 1;
    EXPECT_EQ(ClassTable(single, TstChanCountClass).size(), 2u);

    EXPECT_EQ(HitsOf(OneDrawTable(TstChnValCntClass, 2, 3, 2), 2), 1);
    const TStatDrawArray chn1 = OneDrawTable(TstChnValCntClass, 2, 3, 1);
    ASSERT_EQ(chn1.size(), 3u);   // 1, 2, then the drawn 0
    EXPECT_EQ(chn1.back().Key.Words[0], 0);
    EXPECT_EQ(chn1.back().Hits, 1);

    TStatFixture fx;
    TstChnValCnt chn2(fx.List, 2);
    EXPECT_EQ(chn2.ValueOf(MakeComb(2, 3), 0, 0, false), 2);
    EXPECT_EQ(StatClassCode(TstChnValCntClass, 2), QStringLiteral("CHN2"));
    EXPECT_EQ(StatClassCaption(TstChnValCntClass, 2),
              QStringLiteral("Количество чисел в 2 канале"));
}

TEST(VexChns, FullSetDistributions)
{
    TStatFixture fx;
    const TCombsArray all = AllCombinations();

    // Each channel holds two digits: 10 combinations have one at position 1 and 10 at
    // position 2 per digit, so 40 merges per channel over the 100 combinations.
    TstChannels channels(fx.List, 0);
    const TStatDrawArray table = CombTable(channels, all);
    ASSERT_EQ(table.size(), 5u);
    for (std::uint16_t c = 1; c <= 5; ++c)
        EXPECT_EQ(HitsOf(table, c), 40) << "channel " << c;

    TstChanCount count(fx.List, 0);
    const TStatDrawArray counts = CombTable(count, all);
    EXPECT_EQ(HitsOf(counts, 1), 20);
    EXPECT_EQ(HitsOf(counts, 2), 80);

    for (int c = 1; c <= 5; ++c) {
        TstChnValCnt chn(fx.List, c);
        const TStatDrawArray per = CombTable(chn, all);
        EXPECT_EQ(HitsOf(per, 0), 64);
        EXPECT_EQ(HitsOf(per, 1), 32);
        EXPECT_EQ(HitsOf(per, 2), 4);
    }
}

TEST(VexChns, ChannelPairs)
{
    const TStatDrawArray mix = OneDrawTable(TstCombChnMix2Class, 7, 0);
    ASSERT_EQ(mix.size(), 1u);
    TStatFixture fx;
    TstCombChnMix2 stat(fx.List, 0);
    EXPECT_EQ(stat.ValueText(mix[0]), QStringLiteral("4:1"));
    EXPECT_EQ(HitsOf(OneDrawTable(TstCombChnSeq2Class, 7, 0), 4, 1), 1);
    // The order of positions counts.
    EXPECT_EQ(FilterCombs(stat, {StatKeyValue(4, 1)}, 0),
              (TCombsArray{MakeComb(6, 0), MakeComb(7, 0), MakeComb(6, 1), MakeComb(7, 1)}));
    // A combination list adds no rows.
    EXPECT_TRUE(CombTable(stat, AllCombinations()).empty());
    EXPECT_EQ(StatClassCode(TstCombChnMix2Class, 0), QStringLiteral("KCM2"));
    EXPECT_FALSE(TstCombChnMix3Class.Available);
    EXPECT_FALSE(TstCombChnSeq4Class.Available);
}

TEST(VexChns, ValuesAgreeWithTest)
{
    for (int size : {2, 3, 1}) {
        TStatFixture fx;
        fx.List.Config().ChannelSize = size;
        for (const TStatClass* cls : {&TstChannelsClass, &TstChanValuesClass, &TstChanCountClass}) {
            auto stat = cls->Factory(fx.List, 0);
            EXPECT_EQ(CombTestMismatches(*stat, -1).toStdString(), "")
                << cls->ClassName << " size " << size;
        }
        int lo = 0, hi = 0;
        ChannelParamRange(fx.List, lo, hi);
        for (int c = lo; c <= hi; ++c) {
            TstChnValCnt stat(fx.List, c);
            EXPECT_EQ(CombTestMismatches(stat, -1).toStdString(), "") << "CHN" << c;
        }
    }
    TStatFixture pairs;
    EXPECT_EQ(DrawTestMismatches(TstCombChnMix2Class, pairs).toStdString(), "");
    EXPECT_EQ(DrawTestMismatches(TstCombChnSeq2Class, pairs).toStdString(), "");
}

TEST(VexChns, Descriptors)
{
    struct TExpected {
        const TStatClass* Cls;
        const char* Code;
        std::uint8_t Flags;
        bool Available, Graph, Numeric;
    };
    for (const TExpected& e : {TExpected{&TstChannelsClass, "CHAN", 2, true, false, true},
                               {&TstChanValuesClass, "CHNV", 2, true, false, false},
                               {&TstChanCountClass, "CHNC", 2, true, true, true},
                               {&TstCombChnMix2Class, "KCM2", 1, true, false, false},
                               {&TstCombChnMix3Class, "KCM3", 1, false, false, false},
                               {&TstCombChnMix4Class, "KCM4", 1, false, false, false},
                               {&TstCombChnSeq2Class, "KCS2", 1, true, false, false},
                               {&TstCombChnSeq3Class, "KCS3", 1, false, false, false},
                               {&TstCombChnSeq4Class, "KCS4", 1, false, false, false},
                               {&TstChnValCntClass, "CHN3", 2, true, true, true}}) {
        EXPECT_EQ(StatClassCode(*e.Cls, 3), QString::fromLatin1(e.Code));
        EXPECT_EQ(e.Cls->Group, 3) << e.Code;
        EXPECT_EQ(e.Cls->Flags, e.Flags) << e.Code;
        EXPECT_EQ(e.Cls->Available, e.Available) << e.Code;
        EXPECT_EQ(e.Cls->IsGraph, e.Graph) << e.Code;
        EXPECT_EQ(e.Cls->HasNumericValue, e.Numeric) << e.Code;
        EXPECT_EQ(e.Cls->Factory != nullptr, e.Available) << e.Code;
    }
    EXPECT_EQ(StatClassCaption(TstCombChnMix2Class, 0),
              QStringLiteral("Сочетания из 2 каналов по всем числам тиража"));
    EXPECT_EQ(StatClassCaption(TstCombChnSeq2Class, 0),
              QStringLiteral("Сочетания из 2 каналов по соседним числам"));
    EXPECT_EQ(StatClassName(TstChnValCntClass), QStringLiteral("CHNx"));
}
