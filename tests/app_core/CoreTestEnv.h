#pragma once

#include "app/core/shell/AppStartup.h"
#include "app/core/archive/DrawArchive.h"
#include "app/core/shell/MainState.h"
#include "app/core/archive/ProxySettings.h"
#include "app/core/archive/ResultsDownload.h"
#include "app/core/stakes/StakesFile.h"
#include "support/RDateUtils.h"
#include "support/RDialogsScripted.h"
#include "support/RVclUtils.h"
#include "tests/common/TestHelpers.h"

#include <QByteArray>
#include <QDate>
#include <QDateTime>
#include <QFile>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <ostream>
#include <vector>


// The main state in a temporary data folder, with the program's draw-date texts, a fixed
// clock, scripted message boxes and the status line recorded.
class TCoreTest : public ::testing::Test {
protected:
    TCoreTest();
    ~TCoreTest() override;

    void SetToday(const QDate& date) { FNow = QDateTime(date, QTime(12, 0)); }
    QString DataFile(const QString& name) const { return FDir.filePath(name); }
    void WriteArchive(const TDrawsArray& draws);
    // The combination list holds exactly these.
    void SetCombList(const std::vector<TCombWord>& combs);

    QTemporaryDir FDir;
    TMainState FState;
    TDrawArchive FArchive{FState};
    TProxySettings FProxy{FState};
    TResultsDownload FDownload{FState, FArchive, FProxy};
    TScriptedBoxes FBoxes;
    QStringList FStatuses;
    QDateTime FNow{QDate(2016, 8, 10), QTime(12, 0)};

private:
    TClock FPreviousClock;
    TStatusSink FPreviousSink;
};

// Every record of an open stakes file, first to last.
std::vector<TStakeRec> AllStakes(TStakesFile& stakes);
