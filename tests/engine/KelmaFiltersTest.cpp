#include "engine/KelmaFilters.h"

#include "tests/fixtures/ArchiveFixtures.h"
#include "tests/fixtures/StatFixtures.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <climits>

namespace {

// A minimal statistic for the base behaviour: the value of a draw or combination is its
// first digit (word 1). It counts its AddDraw calls.
class TFirstDigitStat : public TCustomValuesStat {
public:
    TFirstDigitStat(const TStatClass& cls, const TStatList& list, int param)
        : TCustomValuesStat(cls, list, param)
    {
    }
    TFirstDigitStat(const TStatList& list, int param);

    using TCustomStat::IndexBefore;
    using TCustomStat::IndexBeforeNext;
    using TCustomStat::LoadDrawRec;

    void InitValues(int last, TStatDrawArray& table) override
    {
        TCustomValuesStat::InitValues(last, table);
        for (std::uint16_t d = 0; d < 10; ++d) {
            FValue.Key.Words[0] = d;
            MergeStatValue(table, FValue, false);
        }
    }
    void AddCombination(TCombWord comb, TStatDrawArray& table) override
    {
        TCustomValuesStat::AddCombination(comb, table);
        FValue.Key.Words[0] = CombDigit1(comb);
        MergeStatValue(table, FValue, false);
    }
    int AddDraw(int index, int last, bool sorted, TStatDrawArray& table, TStatScratch& scratch,
                TLastValueArray& lastValues) override
    {
        ++AddDrawCalls;
        const int age = TCustomValuesStat::AddDraw(index, last, sorted, table, scratch, lastValues);
        FValue.Key.Words[0] = FDraw.Digits[0];
        MergeStatValue(table, FValue, true);
        return age;
    }
    bool Test(TCombWord comb, const TStatDrawArray& selected, int, bool, bool) override
    {
        return HasKeyWord(selected, 1, CombDigit1(comb));
    }

    const TDrawRec& CurrentDraw() const { return FDraw; }
    const TDrawRec& ReferenceDraw() const { return FDraw2; }
    const TStatValueRec& WorkValue() const { return FValue; }

    int AddDrawCalls = 0;
};

const TStatClass TestFirstDigitClass{.ClassName = "TstFirstDigit", .CodeFormat = "NUMS",
    .CaptionFormat = RESSTR("KelmaFiltersTest", "Первое число"), .HelpName = nullptr, .Group = 0,
    .Flags = sfPlainValue, .Available = true, .IsGraph = false, .HasNumericValue = true,
    .ParamRange = nullptr, .Factory = &MakeStat<TFirstDigitStat>};

const TStatClass TestRangeClass{.ClassName = "TstRange", .CodeFormat = "SUM%d",
    .CaptionFormat = RESSTR("KelmaFiltersTest", "Диапазон %d"), .HelpName = nullptr, .Group = 1,
    .Flags = sfPlainValue, .Available = true, .IsGraph = false, .HasNumericValue = false,
    .ParamRange = nullptr, .Factory = nullptr};

const TStatClass TestNamedClass{.ClassName = "TstNamed", .CodeFormat = "SHR%d",
    .CaptionFormat = RESSTR("KelmaFiltersTest", "Шинковка"), .HelpName = "SHRx", .Group = 12,
    .Flags = sfShowS | sfPlainValue, .Available = true, .IsGraph = true, .HasNumericValue = true,
    .ParamRange = nullptr, .Factory = nullptr};

const TStatClass TestTwoDrawsClass{.ClassName = "TstTwoDraws", .CodeFormat = "TWOD",
    .CaptionFormat = RESSTR("KelmaFiltersTest", "Два тиража"), .HelpName = nullptr, .Group = 10,
    .Flags = sfTwoDraws, .Available = true, .IsGraph = false, .HasNumericValue = true,
    .ParamRange = nullptr, .Factory = nullptr};

TFirstDigitStat::TFirstDigitStat(const TStatList& list, int param)
    : TFirstDigitStat(TestFirstDigitClass, list, param)
{
}

// Sum of the digits as a graph value; Test deliberately disagrees with AddCombination for
// the sum 9, so that the consistency helper must report it.
class TSumGraphStat : public TCustomGraphStat {
public:
    TSumGraphStat(const TStatList& list, int param) : TCustomGraphStat(TestNamedClass, list, param) {}
    int ValueOf(TCombWord comb, int, int, bool) override { return CombDigit1(comb) + CombDigit2(comb); }
    bool Test(TCombWord comb, const TStatDrawArray& selected, int last, bool sorted, bool) override
    {
        const int v = ValueOf(comb, -1, last, sorted);
        return v != 9 && HasKeyWord(selected, 1, static_cast<std::uint16_t>(v));
    }
    void AddCombination(TCombWord comb, TStatDrawArray& table) override
    {
        TCustomGraphStat::AddCombination(comb, table);
        FValue.Key.Words[0] = static_cast<std::uint16_t>(ValueOf(comb, -1, 0, false));
        MergeStatValue(table, FValue, false);
    }
};

class TParityMask : public TCustomMaskStat {
public:
    TParityMask(const TStatList& list) : TCustomMaskStat(TestFirstDigitClass, list, 0) {}
    QString ZeroLetter() const override { return QStringLiteral("н"); }
    QString OneLetter() const override { return QStringLiteral("Ч"); }
    bool Test(TCombWord, const TStatDrawArray&, int, bool, bool) override { return false; }
};

class TParityRatio : public TCustomRatioStat {
public:
    TParityRatio(const TStatList& list) : TCustomRatioStat(TestFirstDigitClass, list, 0) {}
    int ValueOf(TCombWord, int, int, bool) override { return 0; }
    bool Test(TCombWord, const TStatDrawArray&, int, bool, bool) override { return false; }
};

// Keys for the shared combination template: each digit with its position in word 2, so
// that the ways a filter can match a key give different answers.
template <TKeyMatch Match, TCombRows Rows = TCombRows::Merged>
class TDigitPositionStat : public TCombKeysStat<TCustomValuesStat, Match, Rows> {
public:
    explicit TDigitPositionStat(const TStatList& list)
        : TCombKeysStat<TCustomValuesStat, Match, Rows>(TestFirstDigitClass, list, 0)
    {
    }

protected:
    void KeysOf(TCombWord comb, TStatKeys& keys) const override
    {
        keys.push_back(WordKey(CombDigit1(comb), 1));
        keys.push_back(WordKey(CombDigit2(comb), 2));
    }
};

TStatValueRec WordValue(std::uint16_t w1)
{
    return StatKeyValue(w1);
}

}  // namespace

TEST(StatClassTest, CodesCaptionsAndFlags)
{
    EXPECT_EQ(StatClassCode(TestRangeClass, 3), "SUM3");
    EXPECT_EQ(StatClassCode(TestFirstDigitClass, 0), "NUMS");
    EXPECT_EQ(StatClassCode(TestFirstDigitClass, 7), "NUMS");
    EXPECT_EQ(StatClassCaption(TestRangeClass, 2), "Диапазон 2");
    EXPECT_EQ(StatClassName(TestRangeClass), "SUM%d");
    EXPECT_EQ(StatClassName(TestNamedClass), "SHRx");

    EXPECT_EQ(StatClassEffectiveFlags(TestFirstDigitClass), 0x02);
    EXPECT_EQ(StatClassEffectiveFlags(TestNamedClass), 0x13);
    EXPECT_TRUE(StatClassIsPlainValue(TestNamedClass));
    EXPECT_FALSE(StatClassIsPlainValue(TestTwoDrawsClass));
}

TEST(StatClassTest, HelpUrlNeedsAnExistingHelpFile)
{
    const QString saved = HelpFileName;
    HelpFileName.clear();
    EXPECT_TRUE(StatClassHelpUrl(TestRangeClass, 3).isEmpty());

    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    HelpFileName = dir.filePath(QStringLiteral("Kelmar_RUS.chm"));
    EXPECT_TRUE(StatClassHelpUrl(TestRangeClass, 3).isEmpty());

    QFile file(HelpFileName);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    EXPECT_EQ(StatClassHelpUrl(TestRangeClass, 3),
              "ms-its:" + HelpFileName + "::/Filters_1049_SUM3.htm");
    EXPECT_EQ(StatClassHelpUrl(TestNamedClass, 2),
              "ms-its:" + HelpFileName + "::/Filters_1049_SHRx.htm");
    HelpFileName = saved;
}

TEST(CustomStatTest, LoadDrawRecOutsideTheArchiveIsEmpty)
{
    TStatFixture fx(MakeDraws({{7, 2}, {1, 9}}));
    TFirstDigitStat stat(fx.List, 0);
    EXPECT_EQ(stat.LoadDrawRec(-1, false), TDrawRec{});
    EXPECT_EQ(stat.LoadDrawRec(2, false), TDrawRec{});
    EXPECT_EQ(stat.LoadDrawRec(1, false), fx.Draws[1]);

    const TDrawRec sorted = stat.LoadDrawRec(0, true);
    EXPECT_EQ(sorted.Number, 1u);
    EXPECT_EQ(sorted.Digits[0], 2);
    EXPECT_EQ(sorted.Digits[1], 7);
    EXPECT_EQ(sorted.Key, fx.Draws[0].Key);
    EXPECT_EQ(fx.Draws[0].Digits[0], 7);   // the archive itself is never sorted

    TStatFixture empty;
    TFirstDigitStat onEmpty(empty.List, 0);
    for (int i : {-1, 0, 1})
        EXPECT_EQ(onEmpty.LoadDrawRec(i, true), TDrawRec{});

    TStatList unbound;
    TFirstDigitStat onUnbound(unbound, 0);
    EXPECT_EQ(onUnbound.LoadDrawRec(0, false), TDrawRec{});
    EXPECT_EQ(onUnbound.FindDraw(WordValue(0), 0, 0, false), -1);
}

TEST(CustomStatTest, AddDrawAgesAndWorkValue)
{
    TStatFixture fx(MakeArchive(100, 7));
    TFirstDigitStat stat(fx.List, 0);
    TStatDrawArray table;
    TStatScratch scratch;
    TLastValueArray lastValues;

    EXPECT_EQ(stat.AddDraw(99, 99, false, table, scratch, lastValues), 1);
    EXPECT_EQ(stat.WorkValue().DrawNo, 100u);
    EXPECT_EQ(stat.WorkValue().PrevDrawNo, 100u);
    EXPECT_EQ(stat.WorkValue().Age, 1u);
    EXPECT_EQ(stat.WorkValue().Hits, 1);

    EXPECT_EQ(stat.AddDraw(0, 99, false, table, scratch, lastValues), 100);
    EXPECT_EQ(stat.WorkValue().DrawNo, 1u);
    EXPECT_EQ(stat.AddDraw(40, 59, false, table, scratch, lastValues), 20);
}

TEST(CustomStatTest, StatisticsTableOfASmallArchive)
{
    // First digits 3 1 3 4 4 3 in draws 1..6.
    TStatFixture fx(SixDrawArchive());
    TFirstDigitStat stat(fx.List, 0);
    const TStatDrawArray table = RunStatTable(stat, 0, 5);
    ASSERT_EQ(table.size(), 10u);

    const TStatValueRec* three = FindStatValue(table, 3);
    ASSERT_NE(three, nullptr);
    EXPECT_EQ(three->Hits, 3);
    EXPECT_EQ(three->DrawNo, 6u);
    EXPECT_EQ(three->Age, 1u);
    EXPECT_EQ(three->MinGap, 2);
    EXPECT_EQ(three->MaxGap, 3);

    const TStatValueRec* one = FindStatValue(table, 1);
    EXPECT_EQ(one->Hits, 1);
    EXPECT_EQ(one->DrawNo, 2u);
    EXPECT_EQ(one->Age, 5u);
    EXPECT_EQ(one->MinGap, 0);

    const TStatValueRec* four = FindStatValue(table, 4);
    EXPECT_EQ(four->Hits, 2);
    EXPECT_EQ(four->Age, 2u);
    EXPECT_EQ(four->MinGap, 1);
    EXPECT_EQ(four->MaxGap, 1);

    const TStatValueRec* zero = FindStatValue(table, 0);
    EXPECT_EQ(zero->Hits, 0);
    EXPECT_EQ(zero->Age, 0u);
    EXPECT_EQ(zero->DrawNo, 0u);

    // A window of the three newest draws, with last = 4 (two draws before the newest).
    const TStatDrawArray window = RunStatTable(stat, 2, 4);
    EXPECT_EQ(FindStatValue(window, 4)->Hits, 2);
    EXPECT_EQ(FindStatValue(window, 4)->Age, 1u);
    EXPECT_EQ(FindStatValue(window, 3)->Age, 3u);
    EXPECT_EQ(FindStatValue(window, 1)->Hits, 0);
}

TEST(CustomStatTest, FindDrawSearchesFromOlderToNewer)
{
    TStatFixture fx(SixDrawArchive());
    TFirstDigitStat stat(fx.List, 0);

    EXPECT_EQ(stat.FindDraw(WordValue(3), 0, 5, false), 1);
    EXPECT_EQ(stat.FindDraw(WordValue(3), 1, 5, false), 3);
    EXPECT_EQ(stat.FindDraw(WordValue(3), 3, 5, false), 6);
    EXPECT_EQ(stat.FindDraw(WordValue(4), -5, 5, false), 4);
    EXPECT_EQ(stat.FindDraw(WordValue(9), 0, 5, false), -1);
    // With sorted draws the 5,2 of draw 2 has the first digit 2.
    TStatFixture other(MakeDraws({{7, 8}, {5, 2}}));
    TFirstDigitStat onOther(other.List, 0);
    EXPECT_EQ(onOther.FindDraw(WordValue(2), 0, 1, false), -1);
    EXPECT_EQ(onOther.FindDraw(WordValue(2), 0, 1, true), 2);

    // Another key word must match too.
    EXPECT_EQ(stat.FindDraw(StatKeyValue(3, 1), 0, 5, false), -1);

    stat.AddDrawCalls = 0;
    EXPECT_EQ(stat.FindDraw(WordValue(3), 6, 5, false), -1);
    EXPECT_EQ(stat.FindDraw(WordValue(3), 100, 5, false), -1);
    EXPECT_EQ(stat.AddDrawCalls, 0);
}

TEST(CustomStatTest, OnlyTwoDrawClassesLoadTheReferenceDraw)
{
    TStatFixture fx(MakeDraws({{3, 5}, {1, 2}, {8, 6}}));
    TFirstDigitStat plain(fx.List, 0);
    plain.LoadDraws(-1, 2, true);
    EXPECT_EQ(plain.CurrentDraw(), TDrawRec{});
    EXPECT_EQ(plain.ReferenceDraw(), TDrawRec{});

    TFirstDigitStat twoDraws(TestTwoDrawsClass, fx.List, 0);
    twoDraws.LoadDraws(-1, 2, true);
    EXPECT_EQ(twoDraws.CurrentDraw(), TDrawRec{});
    EXPECT_EQ(twoDraws.ReferenceDraw().Number, 3u);
    EXPECT_EQ(twoDraws.ReferenceDraw().Digits[0], 6);   // sorted
    EXPECT_EQ(twoDraws.ReferenceDraw().Digits[1], 8);

    // AddDraw takes the reference draw from Last, the newest draw of the range.
    TStatDrawArray table;
    TStatScratch scratch;
    TLastValueArray lastValues;
    twoDraws.AddDraw(0, 1, false, table, scratch, lastValues);
    EXPECT_EQ(twoDraws.CurrentDraw().Number, 1u);
    EXPECT_EQ(twoDraws.ReferenceDraw().Number, 2u);
}

TEST(CustomStatTest, MembershipTests)
{
    const TStatDrawArray empty;
    EXPECT_FALSE(TCustomStat::HasKey(empty, 0, 0, 0, 0));
    EXPECT_FALSE(TCustomStat::HasKeyWord(empty, 1, 0));
    EXPECT_FALSE(TCustomStat::HasKeyByte(empty, 1, 0));
    EXPECT_FALSE(TCustomStat::HasKeyDword(empty, 1, 0));
    EXPECT_FALSE(TCustomStat::HasKeyPair(empty, 0, 0));

    const TStatDrawArray table{StatKeyValue(0x0201, 0x0403, 0x0605, 0x0807), StatKeyValue(9)};
    EXPECT_TRUE(TCustomStat::HasKey(table, 0x0201, 0x0403, 0x0605, 0x0807));
    EXPECT_FALSE(TCustomStat::HasKey(table, 0x0201, 0x0403, 0x0605, 0));
    EXPECT_TRUE(TCustomStat::HasKey(table, 9, 0, 0, 0));

    // Bytes 1..8 run through the words low byte first.
    for (int k = 1; k <= 8; ++k)
        EXPECT_TRUE(TCustomStat::HasKeyByte(table, k, static_cast<std::uint8_t>(k))) << k;
    EXPECT_FALSE(TCustomStat::HasKeyByte(table, 9, 0));
    EXPECT_FALSE(TCustomStat::HasKeyByte(table, 0, 9));

    EXPECT_TRUE(TCustomStat::HasKeyWord(table, 3, 0x0605));
    EXPECT_FALSE(TCustomStat::HasKeyWord(table, 2, 0x0605));
    EXPECT_FALSE(TCustomStat::HasKeyWord(table, 5, 0));
    EXPECT_FALSE(TCustomStat::HasKeyWord(table, 0, 9));

    EXPECT_TRUE(TCustomStat::HasKeyDword(table, 1, 0x04030201u));
    EXPECT_TRUE(TCustomStat::HasKeyDword(table, 2, 0x08070605u));
    EXPECT_FALSE(TCustomStat::HasKeyDword(table, 2, 0x04030201u));
    EXPECT_FALSE(TCustomStat::HasKeyDword(table, 3, 0));

    EXPECT_TRUE(TCustomStat::HasKeyPair(table, 0x04030201u, 0x08070605u));
    EXPECT_TRUE(TCustomStat::HasKeyPair(table, 9, 0));
    EXPECT_FALSE(TCustomStat::HasKeyPair(table, 0x08070605u, 0x04030201u));
}

TEST(CustomStatTest, ValueTextsOfTheBases)
{
    TStatFixture fx;

    TParityRatio ratio(fx.List);
    EXPECT_EQ(ratio.ValueText(WordValue(2)), "2:0");
    EXPECT_EQ(ratio.ValueText(WordValue(0)), "0:2");
    EXPECT_EQ(ratio.ParseValue(QStringLiteral("1:1")), 1);
    EXPECT_EQ(ratio.ParseValue(QStringLiteral("2:0")), 2);
    EXPECT_EQ(ratio.ParseValue(QStringLiteral("x:1")), 0);
    EXPECT_EQ(ratio.ValueFromText(QStringLiteral("1:1")), 1);

    TParityMask mask(fx.List);
    TStatValueRec v;
    v.Key.SetDword(0, 1);
    EXPECT_EQ(mask.ValueText(v), "нЧ (001)");
    v.Key.SetDword(0, 2);
    EXPECT_EQ(mask.ValueText(v), "Чн (002)");
    v.Key.SetDword(0, 3);
    EXPECT_EQ(mask.ValueText(v), "ЧЧ (003)");
    EXPECT_EQ(mask.ParseValue(QStringLiteral("Чн (002)")), 2);
    EXPECT_EQ(mask.ParseValue(QStringLiteral("нЧ")), 1);
    EXPECT_EQ(mask.ParseValue(QStringLiteral("Ч")), 2);
    EXPECT_EQ(mask.ParseValue(QString()), 0);

    TStatDrawArray table;
    mask.InitValues(0, table);
    ASSERT_EQ(table.size(), 4u);
    for (std::uint32_t m = 0; m < 4; ++m) {
        EXPECT_EQ(table[m].Key.Dword(0), m);
        EXPECT_EQ(table[m].Hits, 0);
    }

    TFirstDigitStat values(fx.List, 0);
    EXPECT_EQ(values.ValueText(WordValue(7)), NumToStr(7));
    EXPECT_EQ(values.ParseValue(QStringLiteral("12")), 12);
    EXPECT_EQ(values.ParseValue(QStringLiteral("abc")), 0);

    TFirstDigitStat noNumbers(TestRangeClass, fx.List, 0);
    EXPECT_EQ(noNumbers.ValueFromText(QStringLiteral("12")), 0);
    EXPECT_EQ(noNumbers.InstanceCaption(), "Диапазон 0");
}

TEST(CustomStatTest, GraphDrawValueAndTheConsistencyHelper)
{
    TStatFixture fx(MakeDraws({{3, 5}, {9, 2}}));
    TSumGraphStat graph(fx.List, 0);
    EXPECT_EQ(graph.DrawValue(0, 1, false), 8);
    EXPECT_EQ(graph.DrawValue(1, 1, true), 11);
    EXPECT_EQ(graph.DrawValue(5, 1, false), 0);   // outside the archive: the empty draw
    EXPECT_EQ(graph.ValueText(WordValue(11)), SumToStr(11));

    // The helper must notice a Test that disagrees with AddCombination (the sum 9).
    const QString problems = CombTestMismatches(graph, 1);
    EXPECT_FALSE(problems.isEmpty());
    EXPECT_TRUE(problems.contains(QStringLiteral("merged 1, Test 0"))) << problems.toStdString();

    TFirstDigitStat good(fx.List, 0);
    EXPECT_EQ(CombTestMismatches(good, 1).toStdString(), "");
    EXPECT_EQ(FilterCombs(good, {WordValue(3)}, 1).size(), 10u);
    EXPECT_EQ(FilterCombs(good, {WordValue(3)}, 1, false, true).size(), 90u);
    EXPECT_EQ(CombTable(good, AllCombinations()).size(), 10u);
}

TEST(CustomStatTest, DrawIndexesBeforeADraw)
{
    EXPECT_EQ(TFirstDigitStat::IndexBefore(5, 2), 3);
    EXPECT_EQ(TFirstDigitStat::IndexBefore(1, 2), -1);
    EXPECT_EQ(TFirstDigitStat::IndexBefore(INT_MIN, 1), -1);
    // n draws back from the draw after `last`.
    EXPECT_EQ(TFirstDigitStat::IndexBeforeNext(5, 1), 5);
    EXPECT_EQ(TFirstDigitStat::IndexBeforeNext(5, 6), 0);
    EXPECT_EQ(TFirstDigitStat::IndexBeforeNext(5, 7), -1);
    EXPECT_EQ(TFirstDigitStat::IndexBeforeNext(INT_MAX, 0), -1);
    EXPECT_EQ(TFirstDigitStat::IndexBeforeNext(INT_MIN, INT_MAX), -1);
}

TEST(CombKeysStatTest, CombinationAndStatisticsTables)
{
    TStatFixture fx(MakeDraws({{3, 5}, {1, 3}, {3, 7}}));
    TDigitPositionStat<TKeyMatch::Whole> stat(fx.List);

    // Each key of each combination once, without draw data.
    const TStatDrawArray combs = CombTable(stat, {MakeComb(3, 5), MakeComb(3, 3)});
    ASSERT_EQ(combs.size(), 3u);
    EXPECT_EQ(HitsOf(combs, 3, 1), 2);
    EXPECT_EQ(HitsOf(combs, 5, 2), 1);
    EXPECT_EQ(HitsOf(combs, 3, 2), 1);
    EXPECT_EQ(FindStatValue(combs, 3, 1)->DrawNo, 0u);
    EXPECT_EQ(FindStatValue(combs, 3, 1)->MaxGap, 0);

    // Draws 1..3: (3,1) in draws 1 and 3, (3,2) in draw 2.
    const TStatDrawArray table = RunStatTable(stat, 0, 2);
    ASSERT_EQ(table.size(), 5u);
    const TStatValueRec* first = FindStatValue(table, 3, 1);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->Hits, 2);
    EXPECT_EQ(first->DrawNo, 3u);
    EXPECT_EQ(first->Age, 1u);
    EXPECT_EQ(first->MinGap, 2);
    EXPECT_EQ(first->MaxGap, 2);
    EXPECT_EQ(FindStatValue(table, 3, 2)->Age, 2u);
    EXPECT_EQ(stat.FindDraw(StatKeyValue(3, 2), 0, 2, false), 2);
    // Sorted, draw 3 reads 3,7 and draw 1 3,5: the same keys.
    EXPECT_EQ(RunStatTable(stat, 0, 2, true).size(), 5u);

    // A pair statistic gets no rows from combinations, the same rows from draws.
    TDigitPositionStat<TKeyMatch::Whole, TCombRows::None> pairs(fx.List);
    EXPECT_TRUE(CombTable(pairs, AllCombinations()).empty());
    EXPECT_EQ(RunStatTable(pairs, 0, 2), table);
}

TEST(CombKeysStatTest, FilterComparesThePartOfTheKeyTheClassNames)
{
    TStatFixture fx;
    TDigitPositionStat<TKeyMatch::Word1> byWord(fx.List);
    TDigitPositionStat<TKeyMatch::Byte1> byByte(fx.List);
    TDigitPositionStat<TKeyMatch::Dword1> byDword(fx.List);
    TDigitPositionStat<TKeyMatch::Whole> byKey(fx.List);
    const TCombWord comb = MakeComb(3, 5);   // keys (3,1) and (5,2)
    auto passes = [&](TCustomStat& stat, const TStatValueRec& row) {
        return stat.Test(comb, {row}, 0, false, false);
    };

    // (3,2): word 1 and byte 1 agree with the key (3,1), the 32-bit word does not.
    EXPECT_TRUE(passes(byWord, StatKeyValue(3, 2)));
    EXPECT_TRUE(passes(byByte, StatKeyValue(3, 2)));
    EXPECT_FALSE(passes(byDword, StatKeyValue(3, 2)));
    EXPECT_FALSE(passes(byKey, StatKeyValue(3, 2)));
    // (5,2,0,7): only words 3 and 4 differ from the key (5,2).
    EXPECT_TRUE(passes(byDword, StatKeyValue(5, 2, 0, 7)));
    EXPECT_FALSE(passes(byKey, StatKeyValue(5, 2, 0, 7)));
    // Word 1 = 0x0105: byte 1 is 5, word 1 is not.
    EXPECT_TRUE(passes(byByte, StatKeyValue(0x0105, 2)));
    EXPECT_FALSE(passes(byWord, StatKeyValue(0x0105, 2)));

    const std::initializer_list<TCustomStat*> all{&byWord, &byByte, &byDword, &byKey};
    for (TCustomStat* stat : all) {
        EXPECT_TRUE(passes(*stat, StatKeyValue(5, 2)));
        EXPECT_FALSE(passes(*stat, StatKeyValue(4, 1)));
        EXPECT_FALSE(stat->Test(comb, {}, 0, false, false));
    }
}
