#include "app/core/stakes/StakeCommands.h"

#include "tests/app_core/CoreTestEnv.h"

#include <limits>
#include <vector>

namespace {

class StakeCommandsTest : public TCoreTest {
protected:
    StakeCommandsTest()
    {
        FState.StatList().Config().Cost = TCurrency::FromUnits(10);
        FState.FDraws = {Draw(101, 0, 1, "x"), Draw(102, 5, 9, "x"), Draw(103, 1, 2, "x")};
        FCommands.CheckStakes = [this] { ++FChecks; };
        FCommands.RefreshGrid = [this](bool resize, bool scroll) { FRefreshes.push_back({resize, scroll}); };
        FCommands.RefreshRatings = [this] { ++FRatingRefreshes; };
    }
    ~StakeCommandsTest() override { EXPECT_EQ(WaitCount(), 0); }

    void Start(const std::vector<TStakeRec>& records)
    {
        if (FStakes.IsOpen())
            FStakes.Close();
        WriteFileBytes(FStakes.FileName(), StakeBytes(records));
        FStakes.Open();
    }
    void SetList(const std::vector<TCombWord>& combs) { SetCombList(combs); }
    std::vector<TStakeRec> Records() { return AllStakes(FStakes); }
    // A manual stake as the commands make it, for the expectations.
    static TStakeRec Manual(std::int32_t draw, int d1, int d2, int selection, const char* comment = nullptr)
    {
        TStakeRec rec = StakeOn(soManual, draw, d1, d2, comment ? comment : "Ставка \"вручную\"", -10, selection);
        return rec;
    }

    TStakesFile FStakes{DataFile(QString::fromLatin1(TStakesFile::BaseName))};
    TStakeCommands FCommands{FState, FStakes};
    int FChecks = 0;
    int FRatingRefreshes = 0;
    std::vector<std::pair<bool, bool>> FRefreshes;
};

TEST_F(StakeCommandsTest, NewStakeIsForTheDrawAfterTheNewestSeenFromTheOffset)
{
    SetList({C(1, 2), C(3, 4), C(5, 6)});
    EXPECT_EQ(FCommands.StakeDrawNumber(), 104);
    EXPECT_EQ(FCommands.ManualStake(C(3, 4)), Manual(104, 3, 4, 3));

    FState.SetDrawsOffset(2);
    EXPECT_EQ(FCommands.StakeDrawNumber(), 102);

    // Without a combination: no digits.
    EXPECT_EQ(FCommands.ManualStake(std::nullopt).Digits.Count, 0);

    FState.FDraws.clear();
    FState.SetDrawsOffset(0);
    EXPECT_EQ(FCommands.StakeDrawNumber(), 1);
    // A newest draw at the top of the 32-bit range has no next draw a record can hold.
    FState.FDraws = {Draw(std::numeric_limits<std::int32_t>::max(), 1, 1, "x")};
    EXPECT_EQ(FCommands.StakeDrawNumber(), 0);
}

TEST_F(StakeCommandsTest, StakeForThreeDrawsIsWrittenAsSeparatorStakeTriplesAndCheckedOnce)
{
    const TStakeRec earlier = Manual(103, 1, 1, 1);
    Start({earlier});
    SetList({C(7, 8)});
    FCommands.EditStake = [](TStakeRec& rec, int& drawCount) {
        EXPECT_EQ(rec.Digits.Count, 2);
        EXPECT_EQ(drawCount, 1);
        rec.Comment.Set(U("мой"));
        drawCount = 3;
        return true;
    };
    ASSERT_TRUE(FCommands.AddStake(C(7, 8)));

    const TStakeRec sep = InitStakeRec();
    EXPECT_EQ(Records(), (std::vector<TStakeRec>{earlier, sep, Manual(104, 7, 8, 1, "мой"), sep,
                                                 Manual(105, 7, 8, 1, "мой"), sep, Manual(106, 7, 8, 1, "мой")}));
    EXPECT_EQ(FChecks, 1);
    EXPECT_EQ(FRefreshes, (std::vector<std::pair<bool, bool>>{{true, true}}));
}

TEST_F(StakeCommandsTest, StakeTypedIntoAnEmptyDialogCostsItsDigits)
{
    Start({});
    FCommands.EditStake = [](TStakeRec& rec, int&) {
        rec.Digits = {2, {4, 4}};
        return true;
    };
    ASSERT_TRUE(FCommands.AddStake(std::nullopt));
    EXPECT_EQ(Records(), (std::vector<TStakeRec>{Manual(104, 4, 4, 0)}));
}

TEST_F(StakeCommandsTest, CancelledOrRefusedStakeLeavesTheFileAlone)
{
    Start({Manual(104, 1, 1, 5)});
    const QByteArray before = ReadFileBytes(FStakes.FileName());

    FCommands.EditStake = [](TStakeRec&, int&) { return false; };
    EXPECT_FALSE(FCommands.AddStake(C(1, 2)));

    // A draw count past the 32-bit draw numbers is refused by the file, with the error shown.
    FCommands.EditStake = [](TStakeRec& rec, int& drawCount) {
        rec.DrawNumber = std::numeric_limits<std::int32_t>::max();
        drawCount = 2;
        return true;
    };
    EXPECT_FALSE(FCommands.AddStake(C(1, 2)));
    EXPECT_EQ(FBoxes.Boxes().size(), 1);

    EXPECT_EQ(ReadFileBytes(FStakes.FileName()), before);
    EXPECT_EQ(FChecks, 0);
    EXPECT_TRUE(FRefreshes.empty());
}

TEST_F(StakeCommandsTest, RandomStakeTakesTheDrawnIndexAndNeedsAList)
{
    Start({});
    FCommands.EditStake = [](TStakeRec&, int&) { return true; };
    FCommands.RandomIndex = [](int count) {
        EXPECT_EQ(count, 3);
        return 2;
    };
    EXPECT_FALSE(FCommands.AddRandomStake());
    EXPECT_EQ(FStakes.RecordCount(), 0);

    SetList({C(1, 2), C(3, 4), C(5, 6)});
    ASSERT_TRUE(FCommands.AddRandomStake());
    EXPECT_EQ(Records(), (std::vector<TStakeRec>{Manual(104, 5, 6, 3)}));
}

TEST_F(StakeCommandsTest, StakesForEveryCombinationAreCheckedOnceAtTheEnd)
{
    Start({});
    std::vector<TCombWord> all;
    for (int i = 0; i < 100; ++i)
        all.push_back(C(i / 10, i % 10));
    SetList(all);
    FCommands.EditMulti = [](std::int32_t& draw, int& count, QString& comment) {
        EXPECT_EQ(draw, 104);
        EXPECT_EQ(count, 1);
        EXPECT_EQ(comment, U("Ставка \"вручную\""));
        draw = 200;
        comment = U("все");
        return true;
    };
    FState.Options.SetValue(TMainOptions::StakesScrollEnabled, 0);
    ASSERT_TRUE(FCommands.AddStakes(QList<TCombWord>(all.begin(), all.end())));

    const std::vector<TStakeRec> records = Records();
    ASSERT_EQ(records.size(), 100u);
    EXPECT_EQ(records[0], Manual(200, 0, 0, 100, "все"));
    EXPECT_EQ(records[99], Manual(200, 9, 9, 100, "все"));
    EXPECT_EQ(FChecks, 1);
    // The stakes go to the file in one block, which refreshes the grid without resizing; the
    // batch ends with resize and scroll.
    ASSERT_EQ(FRefreshes.size(), 2u);
    EXPECT_EQ(FRefreshes.front(), std::make_pair(false, false));
    EXPECT_EQ(FRefreshes.back(), std::make_pair(true, true));

    FState.Options.SetValue(TMainOptions::StakesScrollEnabled, 1);
    FRefreshes.clear();
    ASSERT_TRUE(FCommands.AddStakes({C(1, 1)}));
    EXPECT_EQ(FRefreshes.front(), std::make_pair(false, true));
}

TEST_F(StakeCommandsTest, LongBatchGoesInBlocksWithProgressAndStopsKeepingWhatWasMade)
{
    // 10 000 list entries: blocks of 4096, 4096 and 1808 stakes.
    QList<TCombWord> combs;
    for (int i = 0; i < 10000; ++i)
        combs.append(C(i % 10, i / 10 % 10));
    std::vector<TStakeRec> all;
    for (const TCombWord comb : combs)
        all.push_back(Manual(300, CombDigit1(comb), CombDigit2(comb), 0, "много"));
    FCommands.EditMulti = [](std::int32_t& draw, int&, QString& comment) {
        draw = 300;
        comment = U("много");
        return true;
    };
    struct TCase {
        const char* Name;
        int StopAfterBlocks;   // 0: never
        bool ByCommand;        // Stop, else StopRequested
        int Made;
    };
    const TCase cases[] = {
        {"to the end", 0, false, 10000},
        {"stopped by the command", 1, true, 4096},
        {"stopped by a close request", 2, false, 8192},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        Start({});
        FChecks = 0;
        FRefreshes.clear();
        FStatuses.clear();
        int blocks = 0;
        FCommands.RefreshGrid = [&](bool resize, bool scroll) {
            FRefreshes.push_back({resize, scroll});
            if (resize)
                return;
            ++blocks;
            EXPECT_TRUE(FCommands.CanStop());
            if (c.ByCommand && blocks == c.StopAfterBlocks)
                FCommands.Stop();
        };
        FCommands.StopRequested = [&] { return !c.ByCommand && blocks == c.StopAfterBlocks; };
        int made = -1;
        EXPECT_EQ(FCommands.AddStakes(combs, &made), c.Made == 10000);
        EXPECT_EQ(made, c.Made);
        EXPECT_FALSE(FCommands.CanStop());
        EXPECT_TRUE(Records() == std::vector<TStakeRec>(all.begin(), all.begin() + c.Made));
        // What was made is checked once.
        EXPECT_EQ(FChecks, 1);
        EXPECT_EQ(FRefreshes.back(), std::make_pair(true, true));
        EXPECT_EQ(blocks, (c.Made + 4095) / 4096);
        QStringList progress;
        for (const QString& text : FStatuses)
            if (text.contains(U("завершено")))
                progress << text;
        const QStringList allProgress{U("Создание ставок ( завершено 40 % )..."),
                                      U("Создание ставок ( завершено 81 % )...")};
        EXPECT_EQ(progress, allProgress.mid(0, c.Made == 10000 ? 2 : c.StopAfterBlocks));
        EXPECT_EQ(WaitCount(), 0);
    }
}

TEST_F(StakeCommandsTest, BatchStopsAtTheFirstFailureWithoutACheck)
{
    Start({});
    FCommands.EditMulti = [](std::int32_t& draw, int& count, QString&) {
        draw = std::numeric_limits<std::int32_t>::max();
        count = 2;
        return true;
    };
    EXPECT_FALSE(FCommands.AddStakes({C(1, 2), C(3, 4)}));
    EXPECT_EQ(FBoxes.Boxes().size(), 1);
    EXPECT_EQ(FStakes.RecordCount(), 0);
    EXPECT_EQ(FChecks, 0);
}

TEST_F(StakeCommandsTest, DeletionsAskFirstAndKeepWhatTheyShould)
{
    const TStakeRec sep = InitStakeRec();
    const TStakeRec unchecked = Manual(104, 1, 2, 5);
    const TStakeRec none = Scored(Manual(102, 1, 2, 5), 5, 9, {0, {}}, -10);
    const TStakeRec one = Scored(Manual(102, 5, 2, 5), 5, 9, {1, {5}}, 40);
    const TStakeRec two = Scored(Manual(102, 5, 9, 5), 5, 9, {2, {5, 9}}, 890);
    Start({sep, unchecked, none, sep, one, two});

    // The question comes first, for the rows selected; No changes nothing.
    FBoxes.Answer(IDNO);
    EXPECT_FALSE(FCommands.DeleteRows(2, 3));
    EXPECT_TRUE(FBoxes.Last().Text.contains(QLatin1String("2")));
    EXPECT_EQ(FStakes.RecordCount(), 6);

    FBoxes.Answer(IDYES);
    ASSERT_TRUE(FCommands.DeleteRows(2, 3));   // records 1 and 2
    EXPECT_EQ(Records(), (std::vector<TStakeRec>{sep, sep, one, two}));
    EXPECT_EQ(FChecks, 1);
    EXPECT_EQ(FRefreshes.back(), std::make_pair(true, false));

    // Condition 3 ("less than") with value 1 drops the unchecked and unmatched stakes, never the
    // separators.
    Start({sep, unchecked, none, sep, one, two});
    FCommands.AskCondition = [](int& condition, int& value) {
        EXPECT_EQ(condition, 0);
        EXPECT_EQ(value, 0);
        condition = 3;
        value = 1;
        return true;
    };
    ASSERT_TRUE(FCommands.DeleteByCondition());
    EXPECT_EQ(Records(), (std::vector<TStakeRec>{sep, sep, one, two}));

    FCommands.AskCondition = [](int&, int&) { return false; };
    EXPECT_FALSE(FCommands.DeleteByCondition());
    EXPECT_EQ(FStakes.RecordCount(), 4);
}

TEST_F(StakeCommandsTest, ClearingAllStakesThenOffersTheRatingsRefresh)
{
    Start({Manual(104, 1, 2, 5), Manual(104, 3, 4, 5)});

    FBoxes.Answer(IDNO);
    EXPECT_FALSE(FCommands.ClearAll());
    EXPECT_EQ(FStakes.RecordCount(), 2);
    EXPECT_EQ(FRatingRefreshes, 0);

    FBoxes.Answer(IDYES);
    ASSERT_TRUE(FCommands.ClearAll());
    EXPECT_EQ(ReadFileBytes(FStakes.FileName()), QByteArray());
    EXPECT_TRUE(FStakes.IsOpen());
    // The ratings refresh asks its own question; the commands leave that to it.
    EXPECT_EQ(FRatingRefreshes, 1);
    EXPECT_EQ(FChecks, 0);

    // Nothing to clear: no question at all.
    FBoxes.Clear();
    EXPECT_FALSE(FCommands.ClearAll());
    EXPECT_TRUE(FBoxes.Boxes().isEmpty());
}

} // namespace
