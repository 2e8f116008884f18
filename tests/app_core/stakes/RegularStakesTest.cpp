#include "app/core/stakes/RegularStakes.h"

#include "tests/app_core/CoreTestEnv.h"

#include "platform/SaveFile.h"

#include <QDir>

#include <QFile>

#include <vector>

namespace {

TTableRec Rule(const char* name, int d1, int d2, int step, bool useLastDraw = false, int made = 0)
{
    TTableRec rec;
    rec.Comment.Set(U(name));
    rec.UseLastDraw = useLastDraw;
    rec.StartComb = C(d1, d2);
    rec.CurrComb = C(d1, d2);
    rec.Step = step;
    rec.StakesMade = made;
    return rec;
}

QByteArray RecordBytes(const TTableRec& rec)
{
    return TablesToBytes({rec});
}

class RegularStakesTest : public TCoreTest {
protected:
    RegularStakesTest()
    {
        FState.StatList().Config().Cost = TCurrency::FromUnits(10);
        // Draws 101..106, oldest first.
        FState.FDraws = {Draw(101, 0, 1, "x"), Draw(102, 5, 9, "x"), Draw(103, 1, 2, "x"),
                         Draw(104, 7, 7, "x"), Draw(105, 3, 0, "x"), Draw(106, 9, 4, "x")};
        FTables.CreateStakes = [this](const TStakeRec& rec, int drawCount, bool batch) {
            EXPECT_EQ(drawCount, 1);
            EXPECT_TRUE(batch);
            EXPECT_TRUE(FState.FViewsLocked);
            EXPECT_FALSE(IsNotWaiting());
            FMade.push_back(rec);
            return true;
        };
        FTables.CreateStake = [this](const TStakeRec& rec, int drawCount) {
            FMade.push_back(rec);
            FDrawCounts.push_back(drawCount);
            return true;
        };
        FTables.CheckStakes = [this] {
            EXPECT_TRUE(FState.FViewsLocked);
            ++FChecks;
        };
        FTables.RefreshGrid = [this](bool resize, bool scroll) { FRefreshes.push_back({resize, scroll}); };
        FViewId = FState.RegisterView([this](bool) { ++FViewRefreshes; });
    }
    ~RegularStakesTest() override { FState.UnregisterView(FViewId); }

    void Show(bool shown) { FState.Options.SetValue(TMainOptions::TabTables, shown ? 1 : 0); }
    QStringList Names() const { return FTables.Comments(); }
    std::vector<TTableRec> FileRecords() const
    {
        return ReadRecordFile<TTableRec>(FTables.FileName(), TableRecSize, ReadTableRec).Records;
    }
    static QStringList StakeTexts(const std::vector<TStakeRec>& stakes)
    {
        QStringList texts;
        for (const TStakeRec& s : stakes)
            texts.append(QStringLiteral("%1:%2;%3 %4").arg(s.DrawNumber).arg(s.Digits.Digits[0])
                             .arg(s.Digits.Digits[1]).arg(s.Comment.Get()));
        return texts;
    }

    TRegularStakes FTables{FState};
    std::vector<TStakeRec> FMade;
    std::vector<int> FDrawCounts;
    int FChecks = 0;
    int FViewRefreshes = 0;
    int FViewId = 0;
    std::vector<std::pair<bool, bool>> FRefreshes;
};

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

TEST_F(RegularStakesTest, RuleStepsFromItsCurrentCombinationOrFromThePreviousDraw)
{
    TTableRec rec = Rule("r", 1, 8, 3);
    QStringList seen;
    for (int i = 0; i < 3; ++i) {
        FTables.NextTableComb(rec, 0);
        seen.append(TableCombText(rec.CurrComb));
    }
    EXPECT_EQ(seen, (QStringList{"4;1", "7;4", "0;7"}));
    EXPECT_EQ(rec.StakesMade, 3);
    EXPECT_EQ(rec.StartComb, C(1, 8));

    // With the last draw: the draw at the offset, shifted; the current combination is ignored.
    TTableRec last = Rule("l", 5, 5, -3, true);
    FTables.NextTableComb(last, 0);   // 9;4
    EXPECT_EQ(last.CurrComb, C(6, 1));
    FTables.NextTableComb(last, 2);   // 7;7
    EXPECT_EQ(last.CurrComb, C(4, 4));
    EXPECT_EQ(last.StakesMade, 2);
}

TEST_F(RegularStakesTest, StakeFromARuleGoesThroughTheDialogAndMovesTheRuleOnOnlyOnOk)
{
    Show(true);
    FState.FCombs.Items = {C(1, 1), C(2, 2), C(3, 3)};
    FState.FCombs.Count = 3;
    FTables.FTables = {Rule("A", 1, 8, 3), Rule("B", 2, 0, -3)};
    FState.SetDrawsOffset(1);

    FTables.EditStake = [](TStakeRec& rec, int& drawCount) {
        EXPECT_EQ(drawCount, 1);
        EXPECT_EQ(rec.Origin, soRegular);
        EXPECT_EQ(rec.DrawNumber, 106);   // after 105, the newest seen from offset 1
        EXPECT_EQ(rec.Comment.Get(), QStringLiteral("B"));
        EXPECT_EQ(rec.SelectionSize, 3);
        EXPECT_EQ(rec.Digits.Count, 2);
        EXPECT_EQ(TableCombText(MakeComb(rec.Digits.Digits[0], rec.Digits.Digits[1])), QStringLiteral("9;7"));
        EXPECT_EQ(rec.Matches.Count, -1);
        EXPECT_EQ(rec.Checked, 0);
        EXPECT_EQ(rec.Balance, TCurrency::FromUnits(-10));
        return false;
    };
    EXPECT_FALSE(FTables.TablesStakeAdd(1));
    EXPECT_EQ(FTables.FTables[1], Rule("B", 2, 0, -3));
    EXPECT_TRUE(FMade.empty());
    EXPECT_FALSE(QFile::exists(FTables.FileName()));

    FTables.EditStake = [](TStakeRec&, int& drawCount) {
        drawCount = 3;
        return true;
    };
    // The stake is appended without a check; the check comes once the rule is saved.
    QStringList steps;
    FTables.CreateStakes = [this, &steps](const TStakeRec& rec, int drawCount, bool batch) {
        EXPECT_FALSE(batch);
        steps << QStringLiteral("append");
        FMade.push_back(rec);
        FDrawCounts.push_back(drawCount);
        return true;
    };
    FTables.CheckStakes = [this, &steps] {
        steps << (FileRecords() == FTables.FTables ? QStringLiteral("check after save") : QStringLiteral("check"));
    };
    EXPECT_TRUE(FTables.TablesStakeAdd(1));
    EXPECT_EQ(FTables.FTables[1].CurrComb, C(9, 7));
    EXPECT_EQ(FTables.FTables[1].StakesMade, 1);
    EXPECT_EQ(FileRecords(), FTables.FTables);
    EXPECT_EQ(StakeTexts(FMade), QStringList{"106:9;7 B"});
    EXPECT_EQ(FDrawCounts, std::vector<int>{3});
    EXPECT_EQ(steps, QStringList({"append", "check after save"}));
    EXPECT_EQ(FRefreshes.back(), std::make_pair(true, true));

    // No row, a row past the end.
    EXPECT_FALSE(FTables.TablesStakeAdd(-1));
    EXPECT_FALSE(FTables.TablesStakeAdd(2));
    EXPECT_EQ(FMade.size(), 1u);
}

TEST_F(RegularStakesTest, TestOverFiveDrawsWithTwoRulesMakesTenStakesAndChecksOnce)
{
    Show(true);
    FTables.FTables = {Rule("A", 1, 8, 3), Rule("skip", 0, 0, 1), Rule("B", 0, 0, -1, true)};
    FState.SetDrawsOffset(0);
    int largest = -1;
    FTables.AskTestCount = [&largest](int l) {
        largest = l;
        return 5;
    };
    EXPECT_TRUE(FTables.TablesStakeTest({2, 0}));
    EXPECT_EQ(largest, 5);
    // Offsets 5 down to 1: the stake is for the draw after the one at the offset; B starts from
    // that draw's digits less one.
    EXPECT_EQ(StakeTexts(FMade), (QStringList{"102:4;1 A", "102:9;0 B", "103:7;4 A", "103:4;8 B",
                                              "104:0;7 A", "104:0;1 B", "105:3;0 A", "105:6;6 B",
                                              "106:6;3 A", "106:2;9 B"}));
    EXPECT_EQ(FChecks, 1);
    EXPECT_EQ(FRefreshes, (std::vector<std::pair<bool, bool>>{{true, true}}));
    EXPECT_EQ(FState.DrawsOffset(), 0);
    EXPECT_FALSE(FState.FViewsLocked);
    EXPECT_EQ(FViewRefreshes, 0);
    EXPECT_EQ(FTables.FTables[0].StakesMade, 5);
    EXPECT_EQ(FTables.FTables[0].CurrComb, C(6, 3));
    EXPECT_EQ(FTables.FTables[1], Rule("skip", 0, 0, 1));
    EXPECT_EQ(FileRecords(), FTables.FTables);
    EXPECT_TRUE(FStatuses.contains(U("Создание ставок по регулярным табличным ставкам...")));
}

TEST_F(RegularStakesTest, TestCountIsClampedAndNeedsTwoDraws)
{
    Show(true);
    FTables.FTables = {Rule("A", 1, 8, 3)};
    FTables.AskTestCount = [](int) { return 100; };
    EXPECT_TRUE(FTables.CanTest(1));
    EXPECT_FALSE(FTables.CanTest(0));
    EXPECT_TRUE(FTables.TablesStakeTest({0}));
    EXPECT_EQ(FMade.size(), 5u);   // six draws: five can be staked on from an earlier one

    FMade.clear();
    FTables.AskTestCount = [](int) { return 0; };
    EXPECT_FALSE(FTables.TablesStakeTest({0}));
    EXPECT_TRUE(FMade.empty());

    FState.FDraws.resize(1);
    EXPECT_FALSE(FTables.CanTest(1));
    bool asked = false;
    FTables.AskTestCount = [&asked](int) {
        asked = true;
        return 1;
    };
    EXPECT_FALSE(FTables.TablesStakeTest({0}));
    EXPECT_FALSE(asked);
    EXPECT_EQ(FChecks, 1);
}

TEST_F(RegularStakesTest, FailureInTheMiddleRestoresOffsetViewsAndBusyState)
{
    Show(true);
    FState.SetDrawsOffset(1);
    FTables.AskTestCount = [](int) { return 4; };
    for (const bool throws : {false, true}) {
        SCOPED_TRACE(throws);
        FTables.FTables = {Rule("A", 1, 8, 3), Rule("B", 2, 0, -3)};
        FMade.clear();
        FBoxes.Clear();
        FTables.CreateStakes = [this, throws](const TStakeRec& rec, int, bool) {
            EXPECT_TRUE(FState.FViewsLocked);
            if (FMade.size() == 3) {
                if (throws)
                    throw Exception(QStringLiteral("disk full"));
                return false;
            }
            FMade.push_back(rec);
            return true;
        };
        EXPECT_FALSE(FTables.TablesStakeTest({0, 1}));
        EXPECT_EQ(FMade.size(), 3u);
        EXPECT_EQ(FChecks, 0);
        EXPECT_EQ(FState.DrawsOffset(), 1);
        EXPECT_FALSE(FState.FViewsLocked);
        EXPECT_TRUE(IsNotWaiting());
        // Each rule moved on by the stakes it made: A twice, B once.
        EXPECT_EQ(FTables.FTables[0].StakesMade, 2);
        EXPECT_EQ(FTables.FTables[1].StakesMade, 1);
        if (throws)
            EXPECT_EQ(FBoxes.Last().Text, QStringLiteral("disk full"));
        else
            EXPECT_TRUE(FBoxes.Boxes().isEmpty());
    }
    // A lock that was on before stays on.
    FState.FViewsLocked = true;
    FTables.TablesStakeTest({0});
    EXPECT_TRUE(FState.FViewsLocked);
}

TEST_F(RegularStakesTest, DamagedRulesAreListedButMakeNoStake)
{
    Show(true);
    TTableRec damaged = Rule("bad", 3, 12, 1);
    damaged.Step = 40;
    FTables.FTables = {damaged};
    EXPECT_EQ(TableRowTexts(damaged), (QStringList{"bad", "3;12", "40", "3;12", "0"}));
    FTables.EditStake = [](TStakeRec&, int&) {
        ADD_FAILURE() << "no dialog for a damaged rule";
        return true;
    };
    EXPECT_FALSE(FTables.TablesStakeAdd(0));
    EXPECT_TRUE(FBoxes.Last().Text.contains(QStringLiteral("\"bad\"")));
    FTables.AskTestCount = [](int) { return 2; };
    FTables.TablesStakeTest({0});
    EXPECT_TRUE(FMade.empty());
    EXPECT_EQ(FTables.FTables[0], damaged);
}

TEST_F(RegularStakesTest, AddMakesOneRulePerSelectedCombinationWithFreeNumbers)
{
    Show(true);
    FTables.FTables = {Rule("Р (2)", 0, 0, 1)};
    QStringList given;
    TTableRec shown;
    FTables.EditTable = [&](const QStringList& comments, TTableRec& rec) {
        given = comments;
        shown = rec;
        rec.Comment.Set(U("Р"));
        rec.Step = -2;
        return true;
    };
    EXPECT_TRUE(FTables.TablesAdd({C(1, 2), C(3, 4), C(5, 6)}));
    EXPECT_EQ(given, QStringList{U("Р (2)")});
    EXPECT_EQ(shown.Comment.Get(), U("Регулярная ставка"));
    EXPECT_EQ(shown.Step, 1);
    EXPECT_EQ(shown.StakesMade, 3);
    EXPECT_EQ(Names(), (QStringList{U("Р (2)"), U("Р (1)"), U("Р (3)"), U("Р (4)")}));
    EXPECT_EQ(FTables.FTables[3], Rule("Р (4)", 5, 6, -2));
    EXPECT_EQ(FileRecords(), FTables.FTables);

    // A fixed start with nothing selected adds nothing.
    EXPECT_TRUE(FTables.TablesAdd({}));
    EXPECT_EQ(FTables.FTables.size(), 4u);

    // One combination: the rule as edited, starting there.
    FTables.EditTable = [](const QStringList&, TTableRec& rec) {
        rec.Comment.Set(QStringLiteral("one"));
        rec.StartComb = C(7, 0);
        return true;
    };
    FTables.TablesAdd({C(1, 1)});
    EXPECT_EQ(FTables.FTables.back(), Rule("one", 7, 0, 1));

    // The last draw: one rule whatever is selected.
    FTables.EditTable = [](const QStringList&, TTableRec& rec) {
        rec.Comment.Set(QStringLiteral("last"));
        rec.UseLastDraw = true;
        return true;
    };
    FTables.TablesAdd({C(1, 1), C(2, 2)});
    EXPECT_EQ(FTables.FTables.back(), Rule("last", 0, 0, 1, true));
    EXPECT_EQ(FTables.FTables.size(), 6u);

    FTables.EditTable = [](const QStringList&, TTableRec&) { return false; };
    EXPECT_FALSE(FTables.TablesAdd({C(1, 1)}));
    EXPECT_EQ(FTables.FTables.size(), 6u);
}

TEST_F(RegularStakesTest, DeleteRemovesTheSelectedRulesAfterTheQuestion)
{
    Show(true);
    FTables.FTables = {Rule("a", 0, 0, 1), Rule("b", 1, 1, 1), Rule("c", 2, 2, 1)};
    int cleared = 0;
    FTables.ClearSelection = [&cleared] { ++cleared; };
    FBoxes.Answer(IDNO);
    EXPECT_FALSE(FTables.TablesDel({0, 2}));
    EXPECT_EQ(Names(), (QStringList{"a", "b", "c"}));
    FBoxes.Answer(IDYES);
    EXPECT_TRUE(FTables.TablesDel({2, 0, 7}));
    EXPECT_EQ(Names(), QStringList{"b"});
    EXPECT_EQ(cleared, 1);
    EXPECT_EQ(FileRecords(), FTables.FTables);

    try {
        FTables.DeleteTable(1);
        ADD_FAILURE() << "no exception";
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message(), U("Запись со индексом 1 в файле данных не найдена!"));
    }
}

TEST_F(RegularStakesTest, DamagedFileKeepsItsWholeRecordsAndACopy)
{
    Show(true);
    const TTablesArray rules = {Rule("a", 1, 2, 3), Rule("b", 4, 5, -6, true, 7)};
    struct {
        int Extra;
        size_t Records;
    } const cases[] = {{0, 2}, {100, 2}, {271, 2}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Extra);
        QFile::remove(FTables.FileName() + ".bak");
        FBoxes.Clear();
        const QByteArray original = TablesToBytes(rules) + QByteArray(c.Extra, '\x11');
        WriteFileBytes(FTables.FileName(), original);
        const TTablesLoadReport report = FTables.LoadTablesFile();
        EXPECT_TRUE(report.Loaded);
        EXPECT_EQ(FTables.FTables, rules);
        EXPECT_EQ(report.ExtraBytes, c.Extra);
        if (c.Extra == 0) {
            EXPECT_TRUE(FBoxes.Boxes().isEmpty());
            EXPECT_FALSE(QFile::exists(FTables.FileName() + ".bak"));
            continue;
        }
        EXPECT_EQ(ReadFileBytes(report.BackupFile), original);
        ASSERT_EQ(FBoxes.Boxes().size(), 1);
        EXPECT_TRUE(FBoxes.Last().Text.contains(QString::number(c.Extra)));
        // The next save writes the whole records only.
        FTables.SaveTablesFile();
        EXPECT_EQ(ReadFileBytes(FTables.FileName()), TablesToBytes(rules));
    }

    // Shorter than one record: no rules, the bytes still copied.
    WriteFileBytes(FTables.FileName(), QByteArray(50, '\x22'));
    QFile::remove(FTables.FileName() + ".bak");
    FTables.LoadTablesFile();
    EXPECT_TRUE(FTables.FTables.empty());
    EXPECT_EQ(ReadFileBytes(FTables.FileName() + ".bak"), QByteArray(50, '\x22'));
}

TEST_F(RegularStakesTest, GarbageCountsAreMendedOrToldAtLoad)
{
    Show(true);
    TTableRec negative = Rule("neg", 1, 2, 3, false, -4);
    TTableRec badStep = Rule("step", 1, 2, 3);
    badStep.Step = -10;
    TTableRec badDigit = Rule("digit", 1, 2, 3);
    badDigit.CurrComb = C(1, 10);
    const TTableRec sound = Rule("ok", 5, 5, 1, true, 2147483647);
    const QByteArray original = TablesToBytes({negative, badStep, badDigit, sound});
    WriteFileBytes(FTables.FileName(), original);
    const TTablesLoadReport report = FTables.LoadTablesFile();
    EXPECT_EQ(report.MendedRules, 1);
    EXPECT_EQ(report.DamagedRules, 2);
    negative.StakesMade = 0;
    EXPECT_EQ(FTables.FTables, (TTablesArray{negative, badStep, badDigit, sound}));
    EXPECT_EQ(ReadFileBytes(report.BackupFile), original);
    ASSERT_EQ(FBoxes.Boxes().size(), 1);
    EXPECT_EQ(FBoxes.Last().Text,
              U("Файл регулярных ставок \"%1\": у регулярных ставок (1) число сделанных ставок было отрицательным "
                "и заменено нулем.\n\nКопия исходного файла сохранена как \"%2\".\n\nФайл регулярных ставок "
                "\"%1\": регулярные ставки (2) повреждены (шаг вне -9..9 или цифра вне 0..9) и не используются.")
                  .arg(FTables.FileName(), report.BackupFile));
    // The file is written mended at the next save, and only when something changed.
    FTables.SaveTablesFile();
    EXPECT_EQ(ReadFileBytes(FTables.FileName()), TablesToBytes(FTables.FTables));
    const QString temp = TSaveFile::TempFileName(FTables.FileName());
    ASSERT_TRUE(QDir().mkpath(temp));
    EXPECT_NO_THROW(FTables.SaveTablesFile());
    ASSERT_TRUE(QDir().rmdir(temp));
}

// Regular stakes over a real stakes file with the journal.
class RegularJournalTest : public RegularStakesTest {
protected:
    RegularJournalTest()
    {
        Show(true);
        FStakes.Load();
        FTables.Stakes = &FStakes;
        FTables.CreateStakes = [this](const TStakeRec& rec, int drawCount, bool) {
            FStakes.AppendStake(rec, drawCount);
            return true;
        };
        FTables.FTables = {Rule("A", 1, 8, 3), Rule("B", 2, 0, -3)};
        FTables.SaveTablesFile();
    }
    TStakesFile FStakes{DataFile(QString::fromLatin1(TStakesFile::BaseName))};
};

TEST_F(RegularJournalTest, RulesThatCannotBeSavedTakeTheirStakesBack)
{
    FStakes.AppendStake(StakeOn(soManual, 90, 1, 1, "before", -10), 1);
    const QByteArray stakesBefore = ReadFileBytes(FStakes.FileName());
    const TTablesArray rulesBefore = FTables.FTables;
    FTables.AskTestCount = [](int) { return 3; };
    FTables.EditStake = [](TStakeRec&, int&) { return true; };
    const QString temp = TSaveFile::TempFileName(FTables.FileName());
    ASSERT_TRUE(QDir().mkpath(temp));
    for (const bool test : {true, false}) {
        SCOPED_TRACE(test ? "test over past draws" : "one stake from a rule");
        FBoxes.Clear();
        EXPECT_FALSE(test ? FTables.TablesStakeTest({0, 1}) : FTables.TablesStakeAdd(1));
        EXPECT_EQ(ReadFileBytes(FStakes.FileName()), stakesBefore);
        EXPECT_EQ(FTables.FTables, rulesBefore);
        EXPECT_FALSE(QFile::exists(FTables.JournalFileName()));
        EXPECT_EQ(FChecks, 0);
        ASSERT_EQ(FBoxes.Boxes().size(), 1);
        EXPECT_TRUE(FBoxes.Last().Text.contains(FTables.FileName()));
    }
    ASSERT_TRUE(QDir().rmdir(temp));
    EXPECT_TRUE(FTables.TablesStakeTest({0, 1}));
    EXPECT_EQ(FStakes.RecordCount(), 1 + 6);
    EXPECT_FALSE(QFile::exists(FTables.JournalFileName()));
}

TEST_F(RegularJournalTest, AStartFinishesARunThatWasCutShort)
{
    const QByteArray rules = ReadFileBytes(FTables.FileName());
    const TStakeRec kept = StakeOn(soManual, 90, 1, 1, "before", -10);
    const TStakeRec made = StakeOn(soRegular, 91, 4, 1, "A", -10);
    struct TCase {
        const char* Name;
        bool RulesSaved;
        bool MadeChecked;
        std::vector<TStakeRec> After;
        int Removed;
    };
    const TCase cases[] = {
        {"rules not saved: the stakes go", false, false, {kept}, 2},
        {"rules saved: the stakes stay", true, false, {kept, made, made}, 0},
        {"a checked stake is never cut", false, true, {kept, made, Scored(made, 4, 1, {2, {1, 4}}, 80)}, 0},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        FBoxes.Clear();
        FStakes.Close();
        WriteFileBytes(FStakes.FileName(), StakeBytes({kept}));
        WriteFileBytes(FTables.JournalFileName(),
                       QByteArray::number(StakeRecSize) + ' ' + FileDigest(rules) + '\n');
        WriteFileBytes(FStakes.FileName(),
                       StakeBytes({kept, made, c.MadeChecked ? Scored(made, 4, 1, {2, {1, 4}}, 80) : made}));
        WriteFileBytes(FTables.FileName(), c.RulesSaved ? TablesToBytes({Rule("A", 4, 1, 3)}) : rules);
        FStakes.Load();
        const TTablesLoadReport report = FTables.LoadTablesFile();
        EXPECT_EQ(report.RemovedStakes, c.Removed);
        EXPECT_EQ(ReadFileBytes(FStakes.FileName()), StakeBytes(c.After));
        EXPECT_FALSE(QFile::exists(FTables.JournalFileName()));
        if (c.Removed > 0) {
            ASSERT_EQ(FBoxes.Boxes().size(), 1);
            EXPECT_EQ(FBoxes.Last().Text,
                      U("Прошлое создание ставок по регулярам было прервано до сохранения регулярных ставок: "
                        "сделанные тогда ставки (2) удалены из файла ставок, регулярные ставки остались прежними."));
        } else {
            EXPECT_TRUE(FBoxes.Boxes().isEmpty());
        }
    }
}

TEST_F(RegularStakesTest, HiddenTabNeitherLoadsNorWritesTheFile)
{
    const QByteArray original = TablesToBytes({Rule("a", 1, 2, 3)});
    WriteFileBytes(FTables.FileName(), original);
    Show(false);
    EXPECT_FALSE(FTables.LoadTablesFile().Loaded);
    EXPECT_TRUE(FTables.FTables.empty());
    FTables.FTables = {Rule("x", 0, 0, 1)};
    FTables.SaveTablesFile();
    EXPECT_EQ(ReadFileBytes(FTables.FileName()), original);

    // Showing the tab loads the file and writes the option; hiding it empties the rules.
    FTables.SetTabShown(true);
    EXPECT_EQ(FTables.FTables, TTablesArray{Rule("a", 1, 2, 3)});
    EXPECT_TRUE(FState.FormState().ReadBool(QStringLiteral("TabTables"), false));
    FTables.SetTabShown(false);
    EXPECT_TRUE(FTables.FTables.empty());
    EXPECT_FALSE(FState.FormState().ReadBool(QStringLiteral("TabTables"), true));
    EXPECT_EQ(ReadFileBytes(FTables.FileName()), original);

    // A missing file: nothing to load, no message.
    QFile::remove(FTables.FileName());
    Show(true);
    EXPECT_FALSE(FTables.LoadTablesFile().Loaded);
    EXPECT_TRUE(FBoxes.Boxes().isEmpty());
}

} // namespace
