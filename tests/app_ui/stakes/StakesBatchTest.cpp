// The main window when stakes cannot be scored, rated or made to the end: a batch run whose
// ratings cannot be saved, a stakes file that cannot be opened, a long batch of list stakes
// stopped by a close request. Offscreen.

#include "app/core/combs/CombList.h"
#include "app/core/stakes/RatingsFile.h"
#include "app/core/stakes/RegularStakes.h"
#include "app/core/archive/ResultsPage.h"
#include "app/core/stakes/StakeCommands.h"
#include "app/core/stakes/StakesFile.h"
#include "app/ui/shell/FormMain.h"
#include "engine/KelmaMsg.h"
#include "platform/SaveFile.h"
#include "support/RDialogsScripted.h"
#include "support/ui/QorListView.h"
#include "support/ui/RActions.h"
#include "tests/app_ui/shell/MainWindowTestEnv.h"
#include "tests/common/TestHelpers.h"
#include "tests/fixtures/ArchiveFixtures.h"
#include "tests/standin/HttpStandIn.h"
#include "tests/standin/OperatorSite.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

class StakesBatchTest : public MainWindowTest {
protected:
    StakesBatchTest() { FFolder.WriteArchive(MakeArchive(30)); }

    QString RatingsFile() const { return FFolder.DataFile(".lrt"); }
    QString StakesFile() const { return FFolder.DataFile(".lsk"); }
    QStringList BoxTexts() const
    {
        QStringList texts;
        for (const TBoxRequest& box : FBoxes.Boxes())
            texts << box.Text;
        return texts;
    }
};

TEST_F(StakesBatchTest, LoadOnlyWithoutRoomForTheRatingsFailsAndTheNextStartCountsTheStakeOnce)
{
    // Ten draws up to 08/05 E; the download brings draw 11, which the stake is for.
    FFolder.WriteArchive(MakeArchive(10));
    const auto [d1, d2] = TOperatorSite::DrawDigits(QDate(2016, 8, 6), false);
    TStakeRec stake = StakeOn(soScript, 11, d1, d2, "Линия A", -10);
    SaveFileAtomic(StakesFile(), StakeBytes({InitStakeRec(), stake}));
    TRatingRec old;
    old.Comment = U("линия a");
    old.Stakes = 3;
    old.MatchCounts = {3, 0, 0};
    old.Balance = TCurrency::FromUnits(-30);
    WriteRatingsFile(RatingsFile(), {old});
    const QByteArray ratingsBefore = ReadFileBytes(RatingsFile());
    THttpStandIn server;
    ASSERT_TRUE(server.Start());
    TOperatorSite site(server);
    qputenv(OperatorSiteEnv, server.BaseUrl().toLatin1());

    // The disk has no room for a new ratings file.
    const QString temp = TSaveFile::TempFileName(RatingsFile());
    ASSERT_TRUE(QDir().mkpath(temp));
    {
        auto form = Open({QStringLiteral("loadonly")});
        EXPECT_TRUE(WaitUntil([&] { return form->EndRequested(); }));
        EXPECT_EQ(form->ExitCode(), 1);
        const QStringList texts = BoxTexts();
        ASSERT_EQ(texts.size(), 1) << texts.join("\n|").toStdString();
        EXPECT_TRUE(texts[0].startsWith(U("Рейтинг не сохранен!"))) << texts[0].toStdString();
        EXPECT_FALSE(texts[0].contains(QLatin1String("overflow")));
    }
    qunsetenv(OperatorSiteEnv);
    ASSERT_TRUE(QDir().rmdir(temp));
    EXPECT_EQ(ReadFileBytes(RatingsFile()), ratingsBefore);
    // The stake is scored and marked as not rated yet.
    QByteArray scored = ReadFileBytes(StakesFile());
    ASSERT_EQ(scored.size(), 2 * StakeRecSize);
    EXPECT_EQ(scored[StakeRecSize + 8], 1);
    EXPECT_EQ(scored[StakeRecSize + StakeOffset::RatingPending], 1);

    // The next start with room counts it, once, and says so.
    FBoxes.Clear();
    {
        auto form = Open();
        const QStringList texts = BoxTexts();
        ASSERT_EQ(texts.size(), 1) << texts.join("\n|").toStdString();
        EXPECT_EQ(texts[0], U("Прошлая проверка ставок была прервана до сохранения рейтинга: проверенные тогда "
                              "ставки (1) добавлены в рейтинг."));
    }
    const TRatingsArray ratings = ReadRatingsFile(RatingsFile()).Records;
    ASSERT_EQ(ratings.size(), 1u);
    EXPECT_EQ(ratings[0].Stakes, 4);
    EXPECT_EQ(ratings[0].MatchCounts, (std::array<std::int32_t, 3>{3, 0, 1}));
    scored = ReadFileBytes(StakesFile());
    EXPECT_EQ(scored[StakeRecSize + StakeOffset::RatingPending], 0);
    EXPECT_FALSE(QFile::exists(RatingsFile() + ".~chk"));

    // And a third start finds nothing to add.
    FBoxes.Clear();
    Open();
    EXPECT_TRUE(FBoxes.Boxes().isEmpty());
    EXPECT_EQ(ReadRatingsFile(RatingsFile()).Records, ratings);
}

TEST_F(StakesBatchTest, AStakesFileThatCannotBeOpenedIsNamedBeforeTheProgramEnds)
{
    ASSERT_TRUE(QDir().mkpath(StakesFile()));
    auto form = Open();
    const QStringList texts = BoxTexts();
    ASSERT_EQ(texts.size(), 2) << texts.join("\n|").toStdString();
    EXPECT_EQ(texts[0], U("Не удалось открыть файл ставок \"%1\": на месте файла находится каталог").arg(StakesFile()));
    EXPECT_EQ(texts[1], LoadResString(rsExclusiveAccessError));
    EXPECT_TRUE(form->EndRequested());
    EXPECT_EQ(form->ExitCode(), 1);
}

TEST_F(StakesBatchTest, ClosingTheWindowStopsALongBatchOfListStakesKeepingWhatWasMade)
{
    auto form = Open();
    TCombList& list = form->State().FCombs;
    for (int i = 100; i < 9000; ++i)
        AppendComb(list, MakeComb(static_cast<std::uint8_t>(i % 10), static_cast<std::uint8_t>(i / 10 % 10)));
    form->Combs().RefreshCombsView();
    TStakeCommands& commands = form->StakeCommands();
    commands.EditMulti = [](std::int32_t&, int&, QString&) { return true; };
    // The user closes the window while the first block is being written.
    bool closeAsked = false;
    const auto refresh = commands.RefreshGrid;
    commands.RefreshGrid = [&](bool resize, bool scroll) {
        if (!closeAsked) {
            closeAsked = true;
            QTimer::singleShot(0, form.get(), [&form] { form->close(); });
        }
        refresh(resize, scroll);
    };
    ASSERT_TRUE(form->Actions()->Execute(QLatin1String("StakeAddAll")));
    EXPECT_EQ(QFileInfo(StakesFile()).size(), TStakeCommands::BatchBlockStakes * StakeRecSize);
    EXPECT_EQ(BoxTexts(), QStringList{U("Ставки сделаны не для всех комбинаций: сделано 4096 из 9000.")});
    EXPECT_TRUE(WaitUntil([&] { return !form->isVisible(); }, 5000));
}

TEST_F(StakesBatchTest, WhatTheRulesFileLoadFoundIsToldOnce)
{
    TTableRec rule;
    rule.Comment.Set(U("правило"));
    rule.Step = 1;
    rule.StakesMade = -7;
    SaveFileAtomic(FFolder.DataFile(".ltb"), TablesToBytes({rule}));
    auto form = Open();
    const QStringList texts = BoxTexts();
    ASSERT_EQ(texts.size(), 1) << texts.join("\n|").toStdString();
    EXPECT_TRUE(texts[0].startsWith(U("Файл регулярных ставок"))) << texts[0].toStdString();
    EXPECT_EQ(form->Tables().FTables.at(0).StakesMade, 0);
}

}  // namespace
