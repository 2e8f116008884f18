// The row rules of a filter step: its level and stop rules and the columns it has made.

#include "app/core/scenarios/ScriptRunner.h"

#include "platform/Exceptions.h"

#include <gtest/gtest.h>

#include <array>
#include <vector>

struct TLevelCase {
    const char* Name;
    int Mode;
    const char* LevelText;
    std::array<const char*, TStatValues::ColumnCount> Columns;
    int ValueNumber;
    bool Expected;
};

// Columns: count, count %, deviation, deviation %, depth, depth %, weight, period min,
// period, period max.
TEST(ScriptLevelRule, ModesCompareTheirColumn)
{
    const std::array<const char*, 10> seen{"4", "20,00000", "-1", "-12,5", "3", "50,00", "3,50", "2", "2,3333", "5"};
    const std::array<const char*, 10> unseen{"0", "0,00000", "-", "-", "-", "-", "-", "-", "-", "-"};
    const TLevelCase cases[] = {
        {"LNO with no text", LevelLNO, "", seen, 0, true},
        {"LMV at the threshold", LevelLMV, "3", seen, 0, true},
        {"LMV above the depth", LevelLMV, "4", seen, 0, false},
        {"LMV of an unseen value reads 0", LevelLMV, "0", unseen, 0, true},
        {"LLV of an unseen value reads 65535", LevelLLV, "1000", unseen, 0, false},
        {"LLV below the depth", LevelLLV, "2", seen, 0, false},
        {"LMP decimal depth %", LevelLMP, "50", seen, 0, true},
        {"LLP decimal depth %", LevelLLP, "49", seen, 0, false},
        {"LDV in the list", LevelLDV, "1,3,5", seen, 0, true},
        {"LDV not in the list", LevelLDV, "1,2", seen, 0, false},
        {"LDV of an unseen value matches nothing", LevelLDV, "0,1,2", unseen, 0, false},
        {"LDP decimal equality", LevelLDP, "10,50", seen, 0, true},
        {"DMV negative deviation", LevelDMV, "-1", seen, 0, true},
        {"DLV negative deviation", LevelDLV, "-2", seen, 0, false},
        {"DDP unseen", LevelDDP, "0", unseen, 0, false},
        {"CMV count", LevelCMV, "4", seen, 0, true},
        {"CLV count", LevelCLV, "3", seen, 0, false},
        {"CMP count %", LevelCMP, "20", seen, 0, true},
        {"CDV count list", LevelCDV, "0;4", seen, 0, true},
        {"CDV count 0 of an unseen value", LevelCDV, "0", unseen, 0, true},
        {"WMV weight", LevelWMV, "3", seen, 0, true},
        {"WLV weight", LevelWLV, "3", seen, 0, false},
        {"WLV unseen weight reads 0", LevelWLV, "0", unseen, 0, true},
        {"WDV decimal list", LevelWDV, "3", seen, 0, false},
        {"PIM period min", LevelPIM, "2", seen, 0, true},
        {"PIL unseen reads 65535", LevelPIL, "9", unseen, 0, false},
        {"PIR list", LevelPIR, "2", seen, 0, true},
        {"PAM period", LevelPAM, "2", seen, 0, true},
        {"PAL period", LevelPAL, "2", seen, 0, false},
        {"PAR decimal list", LevelPAR, "2", seen, 0, false},
        {"PXM period max", LevelPXM, "6", seen, 0, false},
        {"PXL period max", LevelPXL, "5", seen, 0, true},
        {"PXR list", LevelPXR, "4,5", seen, 0, true},
        {"LVA value number in the list", LevelLVA, "7,12", seen, 12, true},
        {"LVA value number not in the list", LevelLVA, "7,13", seen, 12, false},
    };
    for (const TLevelCase& c : cases) {
        TFilterPart part;
        part.LevelMode = static_cast<std::uint8_t>(c.Mode);
        part.LevelText = QString::fromUtf8(c.LevelText);
        TStatValues row;
        row.ValueNumber = c.ValueNumber;
        for (std::size_t i = 0; i < row.Columns.size(); ++i)
            row.Columns[i] = QString::fromUtf8(c.Columns[i]);
        EXPECT_EQ(LevelRuleMatches(part, row), c.Expected) << c.Name;
    }
}

TEST(ScriptLevelRule, ThresholdThatIsNoNumberRaises)
{
    TFilterPart part;
    part.LevelMode = LevelLMV;
    part.LevelText = QStringLiteral("x");
    EXPECT_THROW(LevelRuleMatches(part, TStatValues{}), Exception);
}

TEST(ScriptStopRule, EachModeInBothDirections)
{
    TStatValues row;
    row.Columns[0] = QStringLiteral("3");
    row.Columns[1] = QStringLiteral("15,5");
    struct TCase {
        const char* Name;
        std::uint32_t Mode;
        std::int32_t Value;
        bool BottomUp;
        bool Multi;
        int Combs;
        int Steps;
        bool Expected;
    } cases[] = {
        {"SF never", StopSF, 0, false, false, 0, 99, false},
        {"SZ never", StopSZ, 0, false, false, 0, 99, false},
        {"SC at the count", StopSC, 5, false, false, 5, 0, true},
        {"SC above", StopSC, 5, false, false, 6, 0, false},
        {"SC not in multi mode", StopSC, 5, false, true, 1, 0, false},
        {"SV top-down at most", StopSV, 3, false, false, 50, 0, true},
        {"SV top-down above", StopSV, 2, false, false, 50, 0, false},
        {"SV bottom-up at least", StopSV, 3, true, false, 50, 0, true},
        {"SV bottom-up below", StopSV, 4, true, false, 50, 0, false},
        {"SP top-down decimal", StopSP, 15, false, false, 50, 0, false},
        {"SP top-down at most", StopSP, 16, false, false, 50, 0, true},
        {"SP bottom-up", StopSP, 15, true, false, 50, 0, true},
        {"ST reached", StopST, 2, false, false, 50, 2, true},
        {"ST not yet", StopST, 2, false, true, 50, 1, false},
    };
    for (const TCase& c : cases) {
        TFilterPart part;
        part.StopMode = c.Mode;
        part.StopValue = c.Value;
        part.BottomUp = c.BottomUp;
        part.MultiSelect = c.Multi;
        EXPECT_EQ(StopRuleHolds(part, row, c.Combs, c.Steps), c.Expected) << c.Name;
    }
}

// The columns a step has the table make: the value, its level rule's column, its stop rule's,
// and for the log the columns up to the weight.
TEST(ScriptStepColumns, ValueRuleColumnsAndTheLoggedOnes)
{
    struct TCase {
        int Level;
        std::uint32_t Stop;
        bool Logging;
        std::vector<int> Columns;
    };
    const std::vector<int> logged{scValue, scCount, scCountPercent, scDeviation, scDeviationPercent,
                                  scDepth, scDepthPercent, scWeight};
    const TCase cases[] = {
        {LevelLNO, StopSF, false, {scValue}},
        {LevelLVA, StopST, false, {scValue}},
        {LevelLMV, StopSF, false, {scValue, scDepth}},
        {LevelLLP, StopSZ, false, {scValue, scDepthPercent}},
        {LevelDDP, StopSV, false, {scValue, scDeviationPercent, scCount}},
        {LevelCMV, StopSV, false, {scValue, scCount}},
        {LevelWDV, StopSP, false, {scValue, scWeight, scCountPercent}},
        {LevelPIM, StopSC, false, {scValue, scPeriodMin}},
        {LevelPAR, StopSF, false, {scValue, scPeriod}},
        {LevelPXL, StopSF, false, {scValue, scPeriodMax}},
        {LevelLNO, StopSF, true, logged},
        {LevelPAM, StopSP, true, [&] { auto c = logged; c.push_back(scPeriod); return c; }()},
    };
    for (const TCase& c : cases) {
        TFilterPart part;
        part.LevelMode = c.Level;
        part.StopMode = c.Stop;
        TStatColumns expected = 0;
        for (const int column : c.Columns)
            expected |= StatColumnBit(column);
        EXPECT_EQ(StepColumns(part, c.Logging), expected) << c.Level << " " << c.Stop << " " << c.Logging;
    }
}
