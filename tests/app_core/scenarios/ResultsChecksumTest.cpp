// Checksums of what the statistics tables and the scenario interpreter produce over generated
// archives: every column text of every offered method's table (with and without norms), the
// order a scenario step walks the rows in for every sort column and direction, and the stakes
// of a scenario test. The figures were taken from a build whose tables formatted every text and
// sorted by parsing the texts; a faster way to the same results must keep them.

#include "tests/app_core/scenarios/ScriptRunnerTestEnv.h"
#include "tests/app_core/stats/StatTableTestEnv.h"

#include <QCryptographicHash>

#include <string>

namespace {

class TChecksum {
public:
    void Add(const QString& text)
    {
        FHash.addData(text.toUtf8());
        FHash.addData(QByteArrayView("\x1f", 1));
    }
    void Add(double value) { Add(QString::number(value, 'g', 17)); }
    std::string Hex() const { return FHash.result().toHex().left(16).toStdString(); }

private:
    QCryptographicHash FHash{QCryptographicHash::Sha1};
};

class ResultsChecksumTest : public TCoreTest {
protected:
    ResultsChecksumTest()
    {
        ApplyDefaultStatSettings(FState.StatList());
        FState.StatList().Config().Cost = TCurrency::FromUnits(10);
        FState.StatList().Config().Profits = {{1, TCurrency::FromUnits(9)}, {2, TCurrency::FromUnits(90)}};
        FState.StatList().RebuildMethods();
        FState.CombCount = CombinationsTotal;
        FState.ReserveCombLists();
    }
};

struct TArchiveCase {
    int Draws;
    std::uint64_t Seed;
    int Offset;
    int Length;
};

constexpr TArchiveCase ArchiveCases[] = {
    {400, 7, 0, 1},
    {400, 7, 0, 60},
    {400, 7, 37, 250},
    {400, 7, 5, 1000},
    {900, 2024, 12, 100},
};

} // namespace

// Every column text and chart point of every method's table.
TEST_F(ResultsChecksumTest, EveryTableOfEveryMethod)
{
    for (const bool norms : {false, true}) {
        TChecksum sum;
        TStatTable table(FState);
        if (norms)
            NormsFromTheFullSet(table, FState.StatList());
        for (const TArchiveCase& c : ArchiveCases) {
            FState.FDraws = MakeArchive(c.Draws, c.Seed);
            FState.SetDrawsOffset(c.Offset);
            for (const TStatMethod* method : StatTableMethods(FState.StatList())) {
                ASSERT_EQ(table.Calc(method, c.Length, true), TStatCalcResult::Computed) << method->Code().toStdString();
                const TStatTableData& data = table.Data();
                sum.Add(method->Code());
                for (const TStatRow& row : data.Rows)
                    for (const QString& text : row.Texts)
                        sum.Add(text);
                for (const auto* points : {&data.Actual, &data.Ideal})
                    for (const TStatChartPoint& point : *points) {
                        sum.Add(point.X);
                        sum.Add(point.Y);
                        sum.Add(point.Label);
                    }
            }
        }
        EXPECT_EQ(sum.Hex(), norms ? "91072ebcdd46f6c5" : "ccb500fcdf5fa05f")
            << "norms " << norms;
    }
}

// The order a step walks the rows in, for every sort column in both directions.
TEST_F(ResultsChecksumTest, RowOrderOfEveryColumnBothWays)
{
    TChecksum sum;
    TStatTable table(FState);
    NormsFromTheFullSet(table, FState.StatList());
    TCombListOps combs(FState);
    TStatFilter filter(combs);
    TScriptStatTable script(FState, table, filter);
    for (const TArchiveCase& c : ArchiveCases) {
        FState.FDraws = MakeArchive(c.Draws, c.Seed);
        FState.SetDrawsOffset(c.Offset);
        for (const TStatMethod* method : StatTableMethods(FState.StatList())) {
            if (!script.SelectMethod(*method))
                continue;
            script.SetDrawsLen(c.Length);
            script.Calc(true);
            script.MakeTexts(StatValuesColumnSet);
            for (int column = 0; column < StatColumnCount; ++column)
                for (const bool descending : {false, true}) {
                    script.SetSort(column, descending);
                    sum.Add(method->Code() + QString::number(column) + (descending ? u'D' : u'A'));
                    for (int row = 0; row < script.RowCount(); ++row) {
                        const TStatValues values = script.RowValues(row);
                        sum.Add(values.ValueText);
                        for (const QString& text : values.Columns)
                            sum.Add(text);
                    }
                }
        }
    }
    EXPECT_EQ(sum.Hex(), "35fec6cdb55a1993");
}

// A scenario test over 12 offsets with single and multiple selection, both walking directions,
// threshold and list modes and stop rules: the stakes it makes and how they were scored.
using ScenarioChecksumTest = ScriptRunnerTest;

TEST_F(ScenarioChecksumTest, ScenarioTestStakes)
{
    FState.StatList().Config().Cost = TCurrency::FromUnits(10);
    FState.StatList().Config().Profits = {{1, TCurrency::FromUnits(9)}, {2, TCurrency::FromUnits(90)}};
    FState.StatList().RebuildMethods();
    FState.FDraws = MakeArchive(1500, 2024);
    SetLines({
        Line("FULL:0#FIRST", {"TSD1#NUMS:50,100#LNO:#ST:2", "TSD1#DIFA:30,60#LNO:#ST:1", "TSD1#CHAN:20,40#LNO:#ST:1"}, "t"),
        Line("EXCL:3#RAND", {"TSF1#NUMS:20,40#LDV:1,2,3#ST:3", "TSD2#DIFA:50,100#LNO:#ST:2", "TSD1#CHAN:10,30#LNO:#ST:1"}, "t"),
        Line("FULL:0#LAST", {"BSD1#NUMS:100,200#LNO:#ST:2", "TSD1#CHAN:50,80#LNO:#ST:1", "TSD1#DIFA:20,25#LNO:#ST:1"}, "t"),
        Line("FULL:0#ALL", {"TMD7#NUMS:30#LMV:2#ST:4", "BSF5#SUMS:40#LLP:60#SV:3", "TSD8#DIFA:25#WMV:0#SC:6"}, "t"),
        Line("FULL:0#FIRST", {"TSD11#NUMS:80#PAM:5#SP:5", "BMF16#CHAN:40#CDV:1,2,3,4#ST:3"}, "t"),
    });
    FRunner.AskTestCount = [](int) { return 12; };
    FRunner.SeedRandom(3);
    FRunner.ScriptTest();

    TChecksum sum;
    int count = 0;
    for (const TStakeRec& rec : Records()) {
        sum.Add(QStringLiteral("%1 %2%3 %4 %5 %6 %7")
                    .arg(rec.DrawNumber)
                    .arg(rec.Digits.Digits[0])
                    .arg(rec.Digits.Digits[1])
                    .arg(rec.SelectionSize)
                    .arg(rec.Checked)
                    .arg(rec.Matches.Count)
                    .arg(rec.Comment.Get()));
        ++count;
    }
    EXPECT_GT(count, 12);
    EXPECT_EQ(sum.Hex(), "eeedccfce793bbff") << count << " records";
}
