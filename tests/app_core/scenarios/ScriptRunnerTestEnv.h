#pragma once

#include "tests/app_core/CoreTestEnv.h"

#include "app/core/combs/CombList.h"
#include "app/core/combs/CombsGen.h"
#include "app/core/scenarios/KelmaScr.h"
#include "app/core/scenarios/ScriptList.h"
#include "app/core/scenarios/ScriptLog.h"
#include "app/core/scenarios/ScriptRunner.h"
#include "app/core/stakes/StakeCheck.h"
#include "app/core/stakes/StakeCommands.h"
#include "app/core/stakes/StakesFile.h"
#include "app/core/stats/StatFilter.h"
#include "app/core/stats/StatTable.h"
#include "app/core/online/SystemCombs.h"
#include "tests/app_core/stats/StatTableTestEnv.h"
#include "platform/Cp1251.h"
#include "support/RTextCompare.h"
#include "tests/fixtures/ArchiveFixtures.h"
#include "tests/fixtures/StatFixtures.h"

#include <QDir>
#include <QFile>

#include <iterator>

#include <functional>
#include <initializer_list>
#include <utility>
#include <vector>

// The scenario interpreter over a small archive, its lines, log, stakes and table, with the
// stake check, the status and the controls recorded.
//
// The archive of the tests: TenDraws(), ten draws numbered 1..10,
//   1:(1,2) 2:(3,4) 3:(5,1) 4:(6,7) 5:(1,5) 6:(9,9) 7:(2,6) 8:(1,3) 9:(6,2) 10:(4,2).
// Over all ten draws the digits have these counts and depths (1 = seen in the newest draw):
//   digit  0  1  2  3  4  5  6  7  8  9
//   count  0  4  4  2  2  2  3  1  0  2
//   depth  -  3  1  3  1  6  2  7  -  5
// Sorted by count, largest first, equal counts by the digit, largest first, the rows run
//   2 1 6 9 5 4 3 7 8 0.
// A NUMS filter keeps or deletes the combinations holding the digit of the row.


// A line as the scenario list stores it.
inline QString Line(const char* options, std::initializer_list<const char*> filters = {}, const char* comment = "")
{
    std::array<QString, ScriptFilterCount> fields;
    std::size_t i = 0;
    for (const char* filter : filters)
        fields[i++] = QString::fromUtf8(filter);
    return FormatScriptLine(QString::fromUtf8(comment), QString::fromUtf8(options), fields);
}

// A stake in short: digits, list size and comment.
inline QString StakeText(const TStakeRec& rec)
{
    return QStringLiteral("%1%2 %3 %4 %5")
        .arg(rec.Digits.Digits[0])
        .arg(rec.Digits.Digits[1])
        .arg(rec.DrawNumber)
        .arg(rec.SelectionSize)
        .arg(rec.Comment.Get());
}

class ScriptRunnerTest : public TCoreTest {
protected:
    ScriptRunnerTest()
    {
        ApplyDefaultStatSettings(FState.StatList());
        FState.StatList().RebuildMethods();
        FState.FDraws = TenDraws();
        FState.CombCount = CombinationsTotal;
        FState.ReserveCombLists();
        FStakes.Open();
        FLog.OpenFile = [this](const QString& fileName) { FOpenedLogs.append(fileName); };
        FRunner.CheckStakes = [this] {
            ++FChecks;
            TStakeCheck check(FStakes, FState.FDraws, FState.StatList(), FRatings);
            check.CheckStakesAndReload({});
        };
        FRunner.ShowStatus = [this](const TScriptStatus& status) { FShown.append(status.Filter); };
        FRunner.SetControlsEnabled = [this](bool enabled) { FControls.push_back(enabled); };
    }

    void SetLines(std::initializer_list<QString> lines)
    {
        for (const QString& line : lines)
            ASSERT_GE(FLines.AddScriptLine(line), 0);
    }

    void SetOnlyLine(const QString& line)
    {
        if (FLines.IsEmpty())
            ASSERT_GE(FLines.AddScriptLine(line), 0);
        else
            ASSERT_TRUE(FLines.SetScriptLine(0, line));
    }

    void SetList(std::initializer_list<std::pair<int, int>> combs)
    {
        SetCombsCapacity(FState.FCombs, 0, 0);
        for (const auto& [d1, d2] : combs)
            AppendComb(FState.FCombs, C(d1, d2));
    }

    std::vector<TStakeRec> Records() { return AllStakes(FStakes); }

    QStringList StakeTexts()
    {
        QStringList texts;
        for (const TStakeRec& rec : Records())
            if (rec.IsStake())
                texts.append(StakeText(rec));
        return texts;
    }

    // The entries of the log without their time stamps.
    QStringList LogLines()
    {
        const QStringList files = QDir(FDir.path()).entryList({TScriptLog::FileMask()}, QDir::Files);
        if (files.size() != 1)
            return {QStringLiteral("<%1 logs>").arg(files.size())};
        const QString text = DecodeCp1251(ReadFileBytes(FDir.filePath(files.first())));
        QStringList lines = text.split(QStringLiteral("\r\n"));
        if (!lines.isEmpty() && lines.last().isEmpty())
            lines.removeLast();
        const QString stamp = QStringLiteral("[2016-08-10 12:00:00]: ");
        for (QString& line : lines) {
            if (line.startsWith(stamp))
                line.remove(0, stamp.size());
            else
                line.prepend(QStringLiteral("<no stamp>"));
        }
        return lines;
    }

    TScriptList FLines{FDir.path()};
    TScriptLog FLog{FDir.path()};
    TCombListOps FCombs{FState};
    TCombsGen FGen{FCombs};
    TStakesFile FStakes{FState.StakesFileName()};
    TStakeCommands FStakeCommands{FState, FStakes};
    TStatTable FTable{FState};
    TStatFilter FFilter{FCombs};
    TScriptStatTable FScriptTable{FState, FTable, FFilter};
    TScriptRunner FRunner{FState, FCombs, FGen, FStakes, FStakeCommands, FLines, FLog, FScriptTable};
    TRatingsArray FRatings;
    QStringList FOpenedLogs;
    QStringList FShown;
    std::vector<bool> FControls;
    int FChecks = 0;
};
