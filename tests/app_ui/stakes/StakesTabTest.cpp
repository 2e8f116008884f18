// The stakes page of the main window: the grid read from the stakes file, and the manual check.

#include "app/core/archive/ResultsPage.h"
#include "app/core/combs/CombList.h"
#include "app/core/stakes/StakeCommands.h"
#include "app/core/stakes/StakesFile.h"
#include "app/ui/shell/FormMain.h"
#include "app/ui/shell/ProgramEnv.h"
#include "app/ui/stakes/StakesPage.h"
#include "app/ui/charts/UnitGraph.h"
#include "platform/DelphiText.h"
#include "support/RDialogsScripted.h"
#include "support/ui/QorGrid.h"
#include "support/ui/QorListView.h"
#include "support/RVclUtils.h"
#include "support/ui/RActions.h"
#include "support/ui/RStatusBar.h"
#include "tests/app_ui/shell/MainWindowTestEnv.h"
#include "tests/common/Screenshot.h"
#include "tests/common/TestHelpers.h"
#include "tests/fixtures/ArchiveFixtures.h"
#include "tests/standin/HttpStandIn.h"
#include "tests/standin/OperatorSite.h"
#include "tests/support_ui/KeyInput.h"

#include <QAction>
#include <QAbstractSeries>
#include <QChart>
#include <QFile>
#include <QFileInfo>
#include <QItemSelectionModel>
#include <QTabWidget>

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace {

TStakeRec Stake(std::uint8_t origin, std::int32_t draw, int d1, int d2, const char* comment)
{
    return StakeOn(origin, draw, d1, d2, comment);
}

TStakeRec Damaged()
{
    TStakeRec rec = Stake(soManual, 3, 1, 1, "damaged");
    rec.Digits.Count = 9;
    return rec;
}

// A separator, three stakes checked against the fixture's draws 2, 3 and 4 (1,2 / 3,7 / 4,4) with
// two, one and no matched positions, a separator, a stake for a draw not stored yet and a
// damaged record.
std::vector<TStakeRec> PreparedStakes()
{
    return {InitStakeRec(),
            Scored(Stake(soManual, 2, 1, 2, "Линия A"), 1, 2, {2, {1, 2}}, 890),
            Scored(Stake(soRegular, 3, 3, 8, "B"), 3, 7, {1, {3}}, 40),
            Scored(Stake(soScript, 4, 0, 5, "C"), 4, 4, {0, {}}, -10),
            InitStakeRec(),
            Stake(soSystem, 40, 6, 6, "D"),
            Damaged()};
}

class StakesTabTest : public MainWindowTest {
protected:
    StakesTabTest() { FFolder.WriteArchive(SixDrawArchive()); }

    QString StakesFile() const { return FFolder.DataFile(".lsk"); }

    std::unique_ptr<TFormMain> Open()
    {
        auto form = MainWindowTest::Open({}, QSize(1100, 600));
        auto* pages = form->findChild<QTabWidget*>(QStringLiteral("pcMain"));
        pages->setCurrentWidget(form->findChild<QWidget*>(QStringLiteral("tsStakes")));
        return form;
    }

    static TROwnerDrawGrid* Grid(const TFormMain& form)
    {
        return form.findChild<TROwnerDrawGrid*>(QStringLiteral("sgStakes"));
    }
    static QStringList Row(const TFormMain& form, int row)
    {
        QStringList texts;
        for (int col = 0; col < StakeColumnCount; ++col)
            texts.append(Grid(form)->GetCellText(col, row));
        return texts;
    }
};

TEST_F(StakesTabTest, GridShowsEveryRecordOfTheFile)
{
    WriteFileBytes(StakesFile(), StakeBytes(PreparedStakes()));
    auto form = Open();
    TROwnerDrawGrid* grid = Grid(*form);
    ASSERT_NE(grid, nullptr);
    EXPECT_EQ(grid->RowCount(), 8);
    EXPECT_EQ(grid->FixedRows(), 1);
    EXPECT_EQ(grid->ColCount(), 9);
    EXPECT_EQ(form->StatusBar()->PanelText(TStakesPage::CountPanel), U("Ставок: 7"));

    const QStringList empty(StakeColumnCount, QString());
    EXPECT_EQ(Row(*form, 0), QStringList({U("№ тиража"), U("Вид ставки"), U("Моя ставка"), U("Выборка"),
                                          U("Результаты тиража"), U("Совпадений"), U("Совпадения"), U("Профит"),
                                          U("Комментарий")}));
    EXPECT_EQ(Row(*form, 1), empty);
    EXPECT_EQ(Row(*form, 2),
              QStringList({"2", U("Вручную"), "1;2", "100", "1;2", "2", "1 2", "890,00", U("Линия A")}));
    EXPECT_EQ(Row(*form, 3), QStringList({"3", U("Регуляр"), "3;8", "100", "3;7", "1", "3", "40,00", "B"}));
    EXPECT_EQ(Row(*form, 4), QStringList({"4", U("Сценарий"), "0;5", "100", "4;4", "0", "", "-10,00", "C"}));
    EXPECT_EQ(Row(*form, 5), empty);
    EXPECT_EQ(Row(*form, 6), QStringList({"40", U("Система"), "6;6", "100", "", "", "", "-10,00", "D"}));
    EXPECT_EQ(Row(*form, 7), empty);
    EXPECT_EQ(grid->GetCellText(9, 2), "ACol=9, ARow=2");
    // Painting reads the records without moving the file's position.
    form->StakesFile().SetPosition(608);
    grid->repaint();
    EXPECT_EQ(form->StakesFile().Position(), 608);
    EXPECT_TRUE(FBoxes.Boxes().isEmpty());
}

TEST_F(StakesTabTest, AnEmptyFileAndRowsPastTheFileShowEmptyRows)
{
    auto form = Open();
    TROwnerDrawGrid* grid = Grid(*form);
    // No stakes: one empty row under the header.
    EXPECT_EQ(grid->RowCount(), 2);
    EXPECT_EQ(Row(*form, 1), QStringList(StakeColumnCount, QString()));
    EXPECT_EQ(form->StatusBar()->PanelText(TStakesPage::CountPanel), U("Ставок: 0"));
    // Nothing to check.
    form->Actions()->UpdateAll();
    EXPECT_FALSE(form->Actions()->Action("StakesCheckManual")->isEnabled());

    // A row past the end of the file (the file shrank under the grid) reads nothing and shows empty.
    form->StakesFile().WriteStake(TStakesFile::soFromBeginning, 0, Stake(soManual, 40, 1, 2, "x"));
    form->StakesPage()->Refresh(true, false);
    ASSERT_EQ(grid->RowCount(), 2);
    EXPECT_EQ(Row(*form, 1)[0], "40");
    grid->SetRowCount(4);
    EXPECT_EQ(Row(*form, 2), QStringList(StakeColumnCount, QString()));
    EXPECT_EQ(Row(*form, 3), QStringList(StakeColumnCount, QString()));
    grid->repaint();
}

TEST_F(StakesTabTest, CtrlF5ScoresAStakeWhoseDrawIsStored)
{
    // Draw 5 is 4,5: the stake 4;9 matches the first position. Draw 40 is not stored.
    WriteFileBytes(StakesFile(), StakeBytes({Stake(soManual, 5, 4, 9, "A"), Stake(soManual, 40, 1, 1, "B")}));
    auto form = Open();
    QAction* action = form->Actions()->Action("StakesCheckManual");
    ASSERT_NE(action, nullptr);
    EXPECT_EQ(action->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_F5));
    EXPECT_EQ(form->Actions()->Caption("StakesCheckManual"), U("Проверить ставки"));
    EXPECT_EQ(Row(*form, 1)[4], "");

    ASSERT_TRUE(ActivateWindow(form.get()));
    TypeKey(form.get(), Qt::Key_F5, Qt::ControlModifier);
    ASSERT_TRUE(WaitUntil([&] { return !Row(*form, 1)[4].isEmpty(); }, 3000));

    const TStakeRec scored = form->StakesFile().ReadStake(TStakesFile::soFromBeginning, 0);
    EXPECT_EQ(scored.Checked, 1);
    EXPECT_EQ(scored.Matches, (TDigitsRec{1, {4, 0, 0, 0}}));
    EXPECT_EQ(Row(*form, 1), QStringList({"5", U("Вручную"), "4;9", "100", "4;5", "1", "4",
                                          Format(QStringLiteral("%.2f"), {scored.Balance}), "A"}));
    EXPECT_EQ(Row(*form, 2), QStringList({"40", U("Вручную"), "1;1", "100", "", "", "", "-10,00", "B"}));
    EXPECT_EQ(Grid(*form)->RowCount(), 3);
    EXPECT_TRUE(FBoxes.Boxes().isEmpty());
}

TEST_F(StakesTabTest, ADownloadThatScoresAStakeShowsItChecked)
{
    // Ten draws up to 08/05 E; today is 08/10. The stake is for draw 11, 08/06 M, not stored yet.
    FFolder.WriteArchive(MakeArchive(10));
    const auto [d1, d2] = TOperatorSite::DrawDigits(QDate(2016, 8, 6), false);
    WriteFileBytes(StakesFile(), StakeBytes({Stake(soScript, 11, d1, d2, "A")}));
    THttpStandIn server;
    ASSERT_TRUE(server.Start());
    TOperatorSite site(server);
    qputenv(OperatorSiteEnv, server.BaseUrl().toLatin1());
    auto form = Open();
    EXPECT_EQ(Row(*form, 1)[4], "");

    ASSERT_TRUE(form->Actions()->Execute(QStringLiteral("DrawsDownload")));
    const QString drawn = QString::number(d1) + ";" + QString::number(d2);
    const QString matched = QString::number(std::min(d1, d2)) + " " + QString::number(std::max(d1, d2));
    const QStringList row = Row(*form, 1);
    EXPECT_EQ(row.mid(0, 7), QStringList({"11", U("Сценарий"), drawn, "100", drawn, "2", matched}));
    EXPECT_EQ(Grid(*form)->RowCount(), 2);
    EXPECT_TRUE(FBoxes.Boxes().isEmpty());
    qunsetenv(OperatorSiteEnv);
}

TEST_F(StakesTabTest, StakeCommandsFollowTheListTheGridAndTheFile)
{
    auto form = Open();
    TActionRegistry& actions = *form->Actions();
    const auto enabled = [&](const char* name) {
        actions.UpdateAll();
        return actions.Action(QString::fromLatin1(name))->isEnabled();
    };
    // The start-up list holds every combination; the file has no stakes yet.
    ASSERT_EQ(form->Combs().Count(), 100);
    EXPECT_TRUE(enabled("StakeAdd"));
    EXPECT_TRUE(enabled("StakeAddRandom"));
    EXPECT_TRUE(enabled("StakeAddAll"));
    EXPECT_FALSE(enabled("StakeAddSelected"));
    for (const char* name : {"StakeDel", "StakeFilter", "StakeClear", "StakesGraphDraws"})
        EXPECT_FALSE(enabled(name)) << name;

    // F4 stakes the selected combination for the draw after the newest one (the fixture's
    // draw 6) through the dialog, which the test answers.
    QList<std::pair<int, int>> edited;
    form->StakeCommands().EditStake = [&](TStakeRec& rec, int& drawCount) {
        edited.append({rec.DrawNumber, rec.Digits.Count > 0 ? rec.Digits.Digits[0] * 10 + rec.Digits.Digits[1] : -1});
        EXPECT_EQ(drawCount, 1);
        return true;
    };
    auto* combs = form->findChild<TRListView*>(QStringLiteral("lvCombs"));
    ASSERT_NE(combs, nullptr);
    combs->selectionModel()->select(combs->model()->index(37, 0),
                                    QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    EXPECT_TRUE(enabled("StakeAddSelected"));
    ASSERT_TRUE(actions.Execute(QStringLiteral("StakeAdd")));
    ASSERT_EQ(edited, (QList<std::pair<int, int>>{{7, 37}}));
    EXPECT_EQ(Row(*form, 1).mid(0, 4), QStringList({"7", U("Вручную"), "3;7", "100"}));
    EXPECT_EQ(form->StatusBar()->PanelText(TStakesPage::CountPanel), U("Ставок: 1"));

    // A double click on a combination does the same.
    combs->doubleClicked(combs->model()->index(5, 0));
    ASSERT_EQ(edited.size(), 2);
    EXPECT_EQ(edited.last(), std::make_pair(7, 5));
    EXPECT_EQ(Grid(*form)->RowCount(), 3);

    for (const char* name : {"StakeDel", "StakeFilter", "StakeClear", "StakesGraphDraws"})
        EXPECT_TRUE(enabled(name)) << name;
    // Ctrl+Del deletes the grid's selected rows after the question.
    Grid(*form)->SetCurrentCell(0, 1);
    FBoxes.Answer(IDYES);
    ASSERT_TRUE(actions.Execute(QStringLiteral("StakeDel")));
    EXPECT_EQ(Grid(*form)->RowCount(), 2);
    EXPECT_EQ(Row(*form, 1)[2], "0;5");
    EXPECT_EQ(form->StakesFile().RecordCount(), 1);
}

TEST_F(StakesTabTest, ClearingAllStakesAsksBeforeTheRatingsGo)
{
    for (const int answer : {IDNO, IDYES}) {
        SCOPED_TRACE(answer);
        WriteFileBytes(StakesFile(), StakeBytes(PreparedStakes()));
        QFile::remove(FFolder.DataFile(".lrt"));
        auto form = Open();
        // Ratings from the three checked stakes; there were none, so no question.
        ASSERT_TRUE(form->Actions()->Execute(QStringLiteral("RatingsRefresh")));
        ASSERT_EQ(form->Ratings().FRatings.size(), 3u);
        ASSERT_TRUE(FBoxes.Boxes().isEmpty());

        FBoxes.Answer(IDYES);    // delete every stake
        FBoxes.Answer(answer);   // and the ratings?
        ASSERT_TRUE(form->Actions()->Execute(QStringLiteral("StakeClear")));
        EXPECT_EQ(FBoxes.Boxes().size(), 2);
        EXPECT_EQ(ReadFileBytes(StakesFile()), QByteArray());
        EXPECT_EQ(Grid(*form)->RowCount(), 2);
        EXPECT_EQ(form->StatusBar()->PanelText(TStakesPage::CountPanel), U("Ставок: 0"));
        EXPECT_EQ(form->Ratings().FRatings.size(), answer == IDNO ? 3u : 0u);
        form.reset();
        FBoxes.Clear();
    }
}

// The profit graph waits while another command runs; the graphs of the selected ratings may be
// looked at meanwhile (a scenario run is the long one), as they leave the stakes file as it was.
TEST_F(StakesTabTest, ProfitGraphWaitsWhileAnotherCommandRunsAndRatingGraphsDoNot)
{
    WriteFileBytes(StakesFile(), StakeBytes(PreparedStakes()));
    auto form = Open();
    ASSERT_TRUE(form->Actions()->Execute(QStringLiteral("RatingsRefresh")));
    auto* ratings = form->findChild<TRSortListView*>(QStringLiteral("lvRatings"));
    ASSERT_NE(ratings, nullptr);
    ratings->selectAll();
    const std::pair<const char*, bool> graphs[] = {{"StakesGraphDraws", false},
                                                   {"StakesGraphOverlap", true},
                                                   {"StakesGraphProfits", true},
                                                   {"RatingsGraphOverlap", true}};
    TActionRegistry& actions = *form->Actions();
    actions.UpdateAll();
    for (const auto& [name, whileBusy] : graphs)
        EXPECT_TRUE(actions.Action(name)->isEnabled()) << name;
    StartWait();
    actions.UpdateAll();
    for (const auto& [name, whileBusy] : graphs)
        EXPECT_EQ(actions.Action(name)->isEnabled(), whileBusy) << name;
    StopWait();
}

TEST_F(StakesTabTest, GraphCommandsShowTheirPointsUnderTheirCaption)
{
    WriteFileBytes(StakesFile(), StakeBytes(PreparedStakes()));
    auto form = Open();
    QStringList shown;
    const TModalFormHandler previous = SetModalFormHandler(GraphWindowHandler([&](TFormGraph& graph) {
        QStringList titles;
        for (QAbstractSeries* series : graph.Chart()->series())
            titles << series->name();
        shown << graph.windowTitle() + ": " + titles.join(QLatin1String(", "));
    }));
    ASSERT_TRUE(ActivateWindow(form.get()));
    TypeKey(form.get(), Qt::Key_F6);
    ASSERT_EQ(shown.size(), 1);
    EXPECT_EQ(shown[0], U("Суммарный профит по тиражам: Суммарный профит ставок по тиражу, Среднее значение, "
                          "Накопленное значение"));

    // The rating graphs draw the selected ratings; a double click on a rating shows its overlap.
    ASSERT_TRUE(form->Actions()->Execute(QStringLiteral("RatingsRefresh")));
    auto* ratings = form->findChild<TRSortListView*>(QStringLiteral("lvRatings"));
    ratings->selectAll();
    ASSERT_TRUE(form->Actions()->Execute(QStringLiteral("StakesGraphProfits")));
    ASSERT_EQ(shown.size(), 2);
    EXPECT_TRUE(shown[1].startsWith(U("График профита ставок: "))) << shown[1].toStdString();
    ratings->doubleClicked(ratings->model()->index(0, 0));
    ASSERT_EQ(shown.size(), 3);
    EXPECT_TRUE(shown[2].startsWith(U("Количество совпадений: Нормальные значения, "))) << shown[2].toStdString();
    EXPECT_TRUE(FBoxes.Boxes().isEmpty());
    SetModalFormHandler(previous);
}

TEST_F(StakesTabTest, StakesLogOptionsAreWrittenAtOnceAndTheLogsDeletedOnRequest)
{
    auto form = Open();
    TActionRegistry& actions = *form->Actions();
    for (const auto& [name, option] : {std::pair{"LogStakes", TMainOptions::StakesLogEnabled},
                                       std::pair{"StakesScroll", TMainOptions::StakesScrollEnabled},
                                       std::pair{"StakesCheckLine", TMainOptions::StakesCheckOnLine}}) {
        SCOPED_TRACE(name);
        const bool before = form->State().Options.Flag(option);
        ASSERT_TRUE(actions.Execute(QString::fromLatin1(name)));
        EXPECT_NE(form->State().Options.Flag(option), before);
        actions.UpdateAll();
        EXPECT_EQ(actions.Action(QString::fromLatin1(name))->isChecked(), !before);
        // Written at once: a fresh read of the options sees the change.
        TMainOptions stored;
        stored.Load(form->State().FormState());
        EXPECT_EQ(stored.Flag(option), !before);
    }

    // No log yet: the user is told. Then two logs go and another file stays.
    ASSERT_TRUE(actions.Execute(QStringLiteral("LogStakesDelete")));
    ASSERT_EQ(FBoxes.Boxes().size(), 1);
    EXPECT_EQ(FBoxes.Last().Text, U("Файлы журналов не найдены!"));
    WriteFileBytes(FFolder.File("Tavrix2_2r10-0.log"), "a\r\n");
    WriteFileBytes(FFolder.File("Tavrix2_2r10-2.log"), "b\r\n");
    WriteFileBytes(FFolder.File("Tavrix2_2r10-2.txt"), "c\r\n");
    ASSERT_TRUE(actions.Execute(QStringLiteral("LogStakesDelete")));
    EXPECT_EQ(FBoxes.Boxes().size(), 2);
    EXPECT_FALSE(QFile::exists(FFolder.File("Tavrix2_2r10-0.log")));
    EXPECT_FALSE(QFile::exists(FFolder.File("Tavrix2_2r10-2.log")));
    EXPECT_TRUE(QFile::exists(FFolder.File("Tavrix2_2r10-2.txt")));
}

// Stakes for the selected combinations clear the selection once every stake was made. A failure
// on the way stops the command: what was made stays, the selection stays for another try, and the
// user is told how many were made.
TEST_F(StakesTabTest, ListStakesClearTheSelectionOnlyWhenEveryStakeWasMade)
{
    enum class TLoss { None, BeforeTheFirst, AfterSome };
    struct TCase {
        const char* Command;
        int ListSize;
        bool Accept;   // the multi-stake dialog
        TLoss Loss;    // the stakes file is lost
        int SelectedAfter;   // of the five selected rows
    };
    const TCase cases[] = {
        {"StakeAddSelected", 100, true, TLoss::None, 0},
        {"StakeAddSelected", 100, false, TLoss::None, 5},
        {"StakeAddSelected", 100, true, TLoss::BeforeTheFirst, 5},
        // Enough entries to be written in more than one go.
        {"StakeAddAll", 10000, true, TLoss::AfterSome, 5},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(testing::Message() << c.Command << " over " << c.ListSize << ", loss " << int(c.Loss));
        auto form = Open();
        TCombList& list = form->State().FCombs;
        for (int i = 100; i < c.ListSize; ++i)
            AppendComb(list, MakeComb(static_cast<std::uint8_t>(i % 10), static_cast<std::uint8_t>(i / 10 % 10)));
        form->Combs().RefreshCombsView();
        ASSERT_EQ(form->Combs().Count(), c.ListSize);
        TStakeCommands& commands = form->StakeCommands();
        commands.EditMulti = [&](std::int32_t&, int&, QString&) {
            if (c.Loss == TLoss::BeforeTheFirst)
                form->StakesFile().Close();
            return c.Accept;
        };
        const qint64 before = form->StakesFile().RecordCount();
        qint64 lostAt = -1;
        const auto refresh = commands.RefreshGrid;
        commands.RefreshGrid = [&](bool resize, bool scroll) {
            if (!resize && c.Loss == TLoss::AfterSome && lostAt < 0) {
                lostAt = form->StakesFile().RecordCount();
                form->StakesFile().Close();
            }
            refresh(resize, scroll);
        };
        auto* combs = form->findChild<TRListView*>(QStringLiteral("lvCombs"));
        for (int row = 2; row < 7; ++row)
            combs->SetItemSelected(row, true);
        form->Actions()->UpdateAll();
        ASSERT_TRUE(form->Actions()->Execute(QLatin1String(c.Command)));

        const qint64 made = QFileInfo(StakesFile()).size() / StakeRecSize - before;
        switch (c.Loss) {
        case TLoss::None:
            EXPECT_EQ(made, c.Accept ? 5 : 0);
            break;
        case TLoss::BeforeTheFirst:
            // The failure's own error says it all: nothing was made.
            EXPECT_EQ(made, 0);
            ASSERT_EQ(FBoxes.Boxes().size(), 1);
            break;
        case TLoss::AfterSome:
            ASSERT_GT(lostAt, before);
            EXPECT_EQ(made, lostAt - before);
            ASSERT_EQ(FBoxes.Boxes().size(), 2);
            EXPECT_EQ(FBoxes.Last().Text, U("Ставки сделаны не для всех комбинаций: сделано %1 из %2.")
                                              .arg(made)
                                              .arg(c.ListSize));
            break;
        }
        if (c.Loss == TLoss::None) {
            EXPECT_TRUE(FBoxes.Boxes().isEmpty());
        }
        EXPECT_EQ(combs->SelectedCount(), c.SelectedAfter);
        form.reset();
        FBoxes.Clear();
    }
}

TEST_F(StakesTabTest, Screenshot)
{
    std::vector<TStakeRec> records = PreparedStakes();
    records.push_back(Scored(Stake(soSystem, 5, 5, 4, "E"), 4, 5, {0, {}}, -10));
    records.push_back(Stake(soScript, 41, 2, 7, "F"));
    records.push_back(Stake(soRegular, 41, 3, 3, "G"));
    WriteFileBytes(StakesFile(), StakeBytes(records));
    auto form = Open();
    Grid(*form)->SetCurrentCell(0, 3);
    const QString path = SaveScreenshot(form.get(), QStringLiteral("FormMainStakes"), QSize(1100, 600));
    EXPECT_FALSE(path.isEmpty());
}

} // namespace
