// The regular stakes file: damaged files and counts at load, and the journal that keeps the
// rules and the stakes file in step.

#include "tests/app_core/stakes/RegularStakesTestEnv.h"

#include "platform/SaveFile.h"

#include <QDir>
#include <QFile>

namespace {

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

} // namespace
