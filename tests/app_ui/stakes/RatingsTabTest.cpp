// The ratings page of the main window and the stakes file held from start-up, offscreen.

#include "app/core/stakes/RatingsFile.h"
#include "app/core/archive/ResultsPage.h"
#include "app/core/scenarios/ScriptList.h"
#include "app/core/stakes/StakesFile.h"
#include "app/ui/shell/FilePrompt.h"
#include "app/ui/shell/FormMain.h"
#include "app/ui/shell/ProgramEnv.h"
#include "app/ui/stakes/RatingsPage.h"
#include "app/ui/charts/UnitGraph.h"
#include "engine/KelmaMsg.h"
#include "platform/SaveFile.h"
#include "support/RDialogs.h"
#include "support/RDialogsScripted.h"
#include "support/RVclUtils.h"
#include "support/ui/QorListView.h"
#include "support/ui/RActions.h"
#include "support/ui/RStatusBar.h"
#include "tests/app_ui/shell/MainWindowTestEnv.h"
#include "tests/common/Screenshot.h"
#include "tests/fixtures/ArchiveFixtures.h"
#include "tests/standin/OperatorSite.h"
#include "tests/support_ui/KeyInput.h"

#include <QAction>
#include <QFile>
#include <QFileInfo>
#include <QHeaderView>
#include <QMenu>
#include <QTabWidget>
#include <QMouseEvent>

#include <gtest/gtest.h>

#include <vector>

namespace {

TRatingRec Rating(const char* comment, std::int32_t stakes, std::array<std::int32_t, 3> counts, std::int64_t balanceRaw)
{
    TRatingRec r;
    r.Comment = U(comment);
    r.Stakes = stakes;
    r.MatchCounts = counts;
    r.Matched = counts[1] + 2 * counts[2];
    r.Balance = TCurrency::FromRaw(balanceRaw);
    return r;
}

// Averages 0.75, 1.0 and 0.2 matched positions per stake.
TRatingsArray ThreeRatings()
{
    return {Rating("Линия A", 4, {2, 1, 1}, 150000), Rating("C", 10, {8, 2, 0}, -100000),
            Rating("линия b", 2, {0, 2, 0}, -20000)};
}

TStakeRec Stake(std::int32_t draw, int matched, std::int64_t balanceUnits, const char* comment)
{
    TStakeRec rec = StakeOn(soScript, draw, 3, 7, comment, balanceUnits);
    rec.Checked = matched >= 0 ? 1 : 0;
    rec.Matches.Count = matched;
    return rec;
}

QStringList FileComments(const QString& fileName)
{
    QStringList comments;
    for (const TRatingRec& r : ReadRatingsFile(fileName).Records)
        comments << r.Comment;
    return comments;
}

class RatingsTabTest : public MainWindowTest {
protected:
    RatingsTabTest() { FFolder.WriteArchive(MakeArchive(30)); }

    QString RatingsFile() const { return FFolder.DataFile(".lrt"); }
    QString StakesFile() const { return FFolder.DataFile(".lsk"); }

    static TRSortListView* List(const TFormMain& form)
    {
        return form.findChild<TRSortListView*>(QStringLiteral("lvRatings"));
    }
    static QStringList Column(const TFormMain& form, int column)
    {
        QStringList texts;
        const TRSortListView* list = List(form);
        for (int row = 0; row < list->ItemCount(); ++row)
            texts.append(list->Items()->CellText(row, column));
        return texts;
    }
    static QStringList Row(const TFormMain& form, int row)
    {
        QStringList texts;
        const TRSortListView* list = List(form);
        for (int column = 0; column < list->ColumnCount(); ++column)
            texts.append(list->Items()->CellText(row, column));
        return texts;
    }
    static void ClickHeader(const TFormMain& form, int column)
    {
        QHeaderView* header = List(form)->header();
        const QPoint at(header->sectionViewportPosition(column) + header->sectionSize(column) / 2, header->height() / 2);
        for (const QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
            QMouseEvent event(type, at, header->viewport()->mapToGlobal(at), Qt::LeftButton,
                              type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton, Qt::NoModifier);
            QApplication::sendEvent(header->viewport(), &event);
        }
    }
};

TEST_F(RatingsTabTest, StartUpShowsTheRatingsFileSortedByAverageDescending)
{
    WriteRatingsFile(RatingsFile(), ThreeRatings());
    SaveFileAtomic(StakesFile(), StakeBytes({Stake(5, 1, 80, "x"), InitStakeRec(), Stake(6, -1, -10, "x")}));
    auto form = Open();
    EXPECT_TRUE(FBoxes.Boxes().isEmpty());

    auto* pages = form->findChild<QTabWidget*>(QStringLiteral("pcMain"));
    auto* page = form->findChild<QWidget*>(QStringLiteral("tsRatings"));
    ASSERT_NE(page, nullptr);
    EXPECT_EQ(pages->tabText(pages->indexOf(page)), "Рейтинг");

    const TRSortListView* list = List(*form);
    ASSERT_NE(list, nullptr);
    EXPECT_TRUE(list->OwnerData());
    EXPECT_TRUE(list->MultiSelect());
    ASSERT_EQ(list->ColumnCount(), 12);
    const QStringList captions = {"Комментарий", "Ставок", "Угадано", "Среднее", "Профит", "Ср. профит",
                                  "0",           "1",      "2",       "E0",      "E1",     "E2"};
    const int widths[] = {200, 60, 60, 60, 80, 80, 30, 30, 30, 70, 70, 70};
    for (int column = 0; column < 12; ++column) {
        EXPECT_EQ(list->Items()->Column(column).Caption, captions[column]) << column;
        EXPECT_EQ(list->ColumnWidth(column), std::max(widths[column], list->HeaderTextWidth(column))) << column;
    }
    EXPECT_EQ(list->SortColumn(), 3);
    EXPECT_EQ(list->SortDirection(), sdDescending);

    EXPECT_EQ(Column(*form, 0), QStringList({"линия b", "Линия A", "C"}));
    // 4 stakes: 2, 1 and 1 of them with 0, 1 and 2 matches; E = share - expected share in %.
    EXPECT_EQ(Row(*form, 1), QStringList({"Линия A", "4", "3", "0,750", "15,00", "3,75", "2", "1", "1", "-31,000%",
                                          "7,000%", "24,000%"}));
    EXPECT_EQ(form->StatusBar()->PanelText(5), "Рейтинг: 3");
    // Three records, the separator among them.
    EXPECT_EQ(form->StatusBar()->PanelText(4), "Ставок: 3");
    // The sort at start-up saved the file in the order shown.
    EXPECT_EQ(FileComments(RatingsFile()), Column(*form, 0));
    EXPECT_TRUE(form->StakesFile().IsOpen());
}

TEST_F(RatingsTabTest, ClickingAColumnHeaderSortsThroughTheRatingsAndSavesTheOrder)
{
    WriteRatingsFile(RatingsFile(), ThreeRatings());
    auto form = Open();
    auto* pages = form->findChild<QTabWidget*>(QStringLiteral("pcMain"));
    pages->setCurrentWidget(form->findChild<QWidget*>(QStringLiteral("tsRatings")));

    // Another column sorts ascending first, the same column again the other way round; the
    // ratings' own sort state follows the list's, and every sort saves the file in its order.
    ClickHeader(*form, 1);
    EXPECT_EQ(List(*form)->SortColumn(), 1);
    EXPECT_EQ(form->Ratings().SortColumn, 1);
    EXPECT_FALSE(form->Ratings().SortDescending);
    EXPECT_EQ(Column(*form, 1), QStringList({"2", "4", "10"}));
    EXPECT_EQ(FileComments(RatingsFile()), QStringList({"линия b", "Линия A", "C"}));

    ClickHeader(*form, 1);
    EXPECT_TRUE(form->Ratings().SortDescending);
    EXPECT_EQ(Column(*form, 1), QStringList({"10", "4", "2"}));
    EXPECT_EQ(FileComments(RatingsFile()), QStringList({"C", "Линия A", "линия b"}));

    // The profits compare by their hundredths.
    ClickHeader(*form, 4);
    EXPECT_EQ(Column(*form, 4), QStringList({"-10,00", "-2,00", "15,00"}));
    // The average profit of two ratings is equal: either order, the third one last.
    ClickHeader(*form, 5);
    ClickHeader(*form, 5);
    EXPECT_EQ(Column(*form, 5).value(0), "3,75");
    EXPECT_EQ(form->StatusBar()->PanelText(5), "Рейтинг: 3");

    // The sort state is kept with the column layout and comes back at the next start.
    ClickHeader(*form, 4);
    form.reset();
    auto again = Open();
    EXPECT_EQ(List(*again)->SortColumn(), 4);
    EXPECT_EQ(List(*again)->SortDirection(), sdAscending);
    EXPECT_EQ(Column(*again, 4), QStringList({"-10,00", "-2,00", "15,00"}));
}

TEST_F(RatingsTabTest, RefreshAsksFirstAndYesRebuildsFromTheStakesFile)
{
    WriteRatingsFile(RatingsFile(), ThreeRatings());
    TStakeRec damaged = Stake(7, 1, 5, "Линия A");
    damaged.Matches.Count = 7;
    SaveFileAtomic(StakesFile(), StakeBytes({
                                     Stake(5, 2, 890, "Линия A"),
                                     InitStakeRec(),
                                     Stake(6, 0, -10, "ЛИНИЯ a"),
                                     Stake(6, -1, -10, "новая"),   // not scored yet
                                     damaged,                      // never rated
                                 }));
    auto form = Open();
    ASSERT_TRUE(FBoxes.Boxes().isEmpty());
    const QString question = LoadResString(rsAskRefreshRatings);

    FBoxes.Answer(IDNO);
    EXPECT_TRUE(Run(*form, "RatingsRefresh"));
    ASSERT_EQ(FBoxes.Boxes().size(), 1);
    EXPECT_EQ(FBoxes.Last().Text, question);
    EXPECT_EQ(Column(*form, 0), QStringList({"линия b", "Линия A", "C"}));

    FBoxes.Answer(IDYES);
    EXPECT_TRUE(Run(*form, "RatingsRefresh"));
    ASSERT_EQ(FBoxes.Boxes().size(), 2);
    ASSERT_EQ(List(*form)->ItemCount(), 1);
    EXPECT_EQ(Row(*form, 0), QStringList({"Линия A", "2", "2", "1,000", "880,00", "440,00", "1", "0", "1", "-31,000%",
                                          "-18,000%", "49,000%"}));
    EXPECT_EQ(form->StatusBar()->PanelText(5), "Рейтинг: 1");
    EXPECT_EQ(FileComments(RatingsFile()), QStringList({"Линия A"}));

    // F5 runs it too; with ratings it asks again.
    FBoxes.Answer(IDNO);
    ASSERT_TRUE(ActivateWindow(form.get()));
    TypeKey(form.get(), Qt::Key_F5);
    EXPECT_TRUE(WaitUntil([&] { return FBoxes.Boxes().size() == 3; }, 3000));
}

TEST_F(RatingsTabTest, CsvExportWritesTheExactBytesThroughTheFilePrompt)
{
    WriteRatingsFile(RatingsFile(), ThreeRatings());
    auto form = Open();
    TScriptedPrompts prompts;
    const QString target = FFolder.File("ratings.csv");
    prompts.Names << target;
    EXPECT_TRUE(Run(*form, "RatingsExport"));
    ASSERT_EQ(prompts.Prompts.size(), 1);
    EXPECT_EQ(prompts.Prompts[0].Filter, "CSV-файлы (*.csv)|*.csv");
    EXPECT_EQ(prompts.Prompts[0].DefaultExt, "csv");
    EXPECT_TRUE(prompts.Prompts[0].Save);
    EXPECT_EQ(ReadFileBytes(target),
              Cp("\"Комментарий\";\"Ставок\";\"Угадано\";\"Среднее\";\"Профит\";\"Ср. профит\";"
                 "\"0\";\"1\";\"2\";\"E0\";\"E1\";\"E2\"\r\n"
                 "\"линия b\";2;2;1,000;-2,00;-1,00;0;2;0\r\n"
                 "\"Линия A\";4;3;0,750;15,00;3,75;2;1;1\r\n"
                 "\"C\";10;2;0,200;-10,00;-1,00;8;2;0\r\n"));

    // A cancelled prompt writes nothing.
    ASSERT_TRUE(QFile::remove(target));
    EXPECT_TRUE(Run(*form, "RatingsExport"));
    EXPECT_FALSE(QFile::exists(target));
    EXPECT_TRUE(FBoxes.Boxes().isEmpty());
}

TEST_F(RatingsTabTest, ExportNeedsRatingsAndRefreshNeedsTheStakesFile)
{
    auto form = Open();
    TActionRegistry* actions = form->Actions();
    actions->UpdateAll();
    EXPECT_FALSE(actions->Action("RatingsExport")->isEnabled());
    EXPECT_TRUE(actions->Action("RatingsRefresh")->isEnabled());
    EXPECT_EQ(actions->Action("RatingsRefresh")->shortcut(), QKeySequence(Qt::Key_F5));
    // The list's popup holds the menu's commands and the graphs of the selected ratings.
    const auto* popup = form->findChild<QMenu*>(QStringLiteral("pmRatings"));
    ASSERT_NE(popup, nullptr);
    QStringList names;
    for (const QAction* action : popup->actions())
        if (!action->isSeparator())
            names << action->objectName();
    EXPECT_EQ(names, QStringList({"RatingsRefresh", "StakesGraphOverlap", "StakesGraphProfits", "RatingsGraphOverlap",
                                  "RatingsToScript", "RatingsExport", "RatingsXlsExport", "RatingsEffMode0",
                                  "RatingsEffMode1", "RatingsEffMode2"}));
    // A new, empty stakes file was created and is held.
    EXPECT_TRUE(QFile::exists(StakesFile()));
    EXPECT_EQ(form->StatusBar()->PanelText(4), "Ставок: 0");
    // Without ratings the refresh asks nothing.
    EXPECT_TRUE(Run(*form, "RatingsRefresh"));
    EXPECT_TRUE(FBoxes.Boxes().isEmpty());
    EXPECT_EQ(form->StatusBar()->PanelText(5), "Рейтинг: 0");
}

struct TEffCase {
    const char* Command;
    int Mode;
    const char* E0;
    const char* E1;
};

// The graphs of the selected ratings open while a scenario runs (the run lets events through),
// and the run goes on to make and score its stakes as it would have without them.
TEST_F(RatingsTabTest, RatingGraphsOpenDuringAScenarioRunAndLeaveItsStakesAlone)
{
    // Scored stakes of two comments over the last three draws (28 to 30).
    std::vector<TStakeRec> stakes;
    for (const std::int32_t draw : {28, 29, 30}) {
        stakes.push_back(Stake(draw, 1, 40, "A"));
        stakes.push_back(Stake(draw, 0, -10, "B"));
    }
    WriteFileBytes(StakesFile(), StakeBytes(stakes));
    const QByteArray before = ReadFileBytes(StakesFile());
    WriteFileBytes(FFolder.File(QString::fromLatin1(TScriptList::CurrentFileBaseName)),
                   ScriptLinesToBytes({U("FULL:0#RAND|TSD#SUMS:10#LMV:5#SF:0| | | | | | |X"),
                                       U("FULL:0#RAND|TSD#SUMS:10#LMV:5#SF:0| | | | | | |Y")}));
    WriteFormState(QStringLiteral("StakesCheckOnLine=1\r\n"));
    auto form = Open();
    ASSERT_TRUE(Run(*form, "RatingsRefresh"));
    ASSERT_EQ(List(*form)->ItemCount(), 2);
    List(*form)->selectAll();

    QStringList shown;
    const TModalFormHandler previous = SetModalFormHandler(GraphWindowHandler([&](TFormGraph& graph) {
        shown << graph.windowTitle();
    }));
    TActionRegistry& actions = *form->Actions();
    const char* const graphs[] = {"StakesGraphOverlap", "StakesGraphProfits", "RatingsGraphOverlap"};
    // Each time the run has written to the stakes file, while it goes on.
    int opened = 0;
    qint64 seen = qint64(stakes.size());
    form->ScriptRunner().ProcessEvents = [&] {
        if (!form->State().FScriptRunning || form->StakesFile().RecordCount() == seen)
            return;
        seen = form->StakesFile().RecordCount();
        ++opened;
        actions.UpdateAll();
        for (const char* name : graphs) {
            EXPECT_TRUE(actions.Action(QLatin1String(name))->isEnabled()) << name;
            EXPECT_TRUE(actions.Execute(QLatin1String(name))) << name;
        }
        EXPECT_FALSE(actions.Action(QStringLiteral("StakesGraphDraws"))->isEnabled());
    };
    ASSERT_TRUE(Run(*form, "ScriptRun"));
    SetModalFormHandler(previous);
    EXPECT_TRUE(FBoxes.Boxes().isEmpty()) << FBoxes.Last().Text.toStdString();
    // Both lines' stakes were written while the run went on.
    EXPECT_GE(opened, 2);
    ASSERT_EQ(shown.size(), 3 * opened);
    EXPECT_EQ(shown.mid(0, 3), QStringList({U("График совпадений ставок"), U("График профита ставок"),
                                            U("Количество совпадений")}));

    // The stored stakes are as they were, and each line made its one stake for draw 31 under its
    // own comment (with nothing but separators between); the run's check left the new stakes for
    // a draw not yet stored unscored.
    const QByteArray after = ReadFileBytes(StakesFile());
    EXPECT_EQ(after.left(before.size()), before);
    QStringList comments;
    for (qint64 i = qint64(stakes.size()); i < form->StakesFile().RecordCount(); ++i) {
        const TStakeRec rec = form->StakesFile().ReadStake(TStakesFile::soFromBeginning, i);
        if (!rec.IsStake()) {
            EXPECT_EQ(rec, InitStakeRec()) << i;
            continue;
        }
        EXPECT_EQ(rec.DrawNumber, 31) << i;
        EXPECT_EQ(rec.Origin, soScript) << i;
        EXPECT_EQ(rec.Checked, 0) << i;
        comments << rec.Comment.Get();
    }
    EXPECT_EQ(comments, QStringList({U("01.001: X @ FULL#RAND + TSD#SUMS:10#LMV:5#SF:0"),
                                     U("02.001: Y @ FULL#RAND + TSD#SUMS:10#LMV:5#SF:0")}));
    EXPECT_FALSE(form->State().FScriptRunning);
    EXPECT_EQ(WaitCount(), 0);
    EXPECT_EQ(Column(*form, 1), QStringList({"3", "3"}));
}

TEST_F(RatingsTabTest, EfficiencyModesChangeTheEColumnsAndWriteTheOption)
{
    // 100 stakes, 20 of them with one match: 20 % against the 18 % chance gives.
    WriteRatingsFile(RatingsFile(), {Rating("D", 100, {79, 20, 1}, 0)});
    auto form = Open();
    EXPECT_EQ(Row(*form, 0).mid(9, 2), QStringList({"-2,000%", "2,000%"}));   // default mode 1
    const TEffCase cases[] = {
        {"RatingsEffMode2", 2, "97,531%", "111,111%"},
        {"RatingsEffMode0", 0, "81", "18"},
        {"RatingsEffMode1", 1, "-2,000%", "2,000%"},
    };
    TActionRegistry* actions = form->Actions();
    for (const TEffCase& c : cases) {
        EXPECT_TRUE(Run(*form, c.Command)) << c.Command;
        const QStringList row = Row(*form, 0);
        EXPECT_EQ(row[9], c.E0) << c.Command;
        EXPECT_EQ(row[10], c.E1) << c.Command;
        EXPECT_TRUE(ReadFileBytes(FFolder.DataFile(".frm")).contains(QByteArray("RatingsEffMode=") + QByteArray::number(c.Mode)))
            << c.Command;
        actions->UpdateAll();
        for (const char* name : {"RatingsEffMode0", "RatingsEffMode1", "RatingsEffMode2"})
            EXPECT_EQ(actions->Action(name)->isChecked(), QLatin1String(name) == QLatin1String(c.Command)) << name;
    }
    // The other columns do not change with the mode.
    EXPECT_EQ(Row(*form, 0).mid(0, 9), QStringList({"D", "100", "22", "0,220", "0,00", "0,00", "79", "20", "1"}));

    // The option comes back at the next start.
    Run(*form, "RatingsEffMode2");
    form.reset();
    auto again = Open();
    EXPECT_EQ(Row(*again, 0)[10], "111,111%");
}

TEST_F(RatingsTabTest, DamagedFilesAtStartUpAreToldAndKeepTheirWholeRecords)
{
    QByteArray ratings = RatingsToBytes(ThreeRatings());
    ratings.append("\x01\x02\x03", 3);
    WriteFileBytes(RatingsFile(), ratings);
    QByteArray stakes = StakeBytes({Stake(5, 1, 80, "x"), Stake(6, -1, -10, "x")});
    stakes.append(QByteArray(100, '\x07'));   // a torn last append
    WriteFileBytes(StakesFile(), stakes);

    auto form = Open();
    EXPECT_FALSE(form->EndRequested());
    QStringList texts;
    for (const TBoxRequest& box : FBoxes.Boxes())
        texts << box.Text;
    ASSERT_EQ(texts.size(), 3) << texts.join("\n|").toStdString();
    // The stakes file is checked first, right after it was taken.
    EXPECT_TRUE(texts[0].contains(StakesFile())) << texts[0].toStdString();
    EXPECT_TRUE(texts[2].contains(RatingsFile())) << texts[2].toStdString();
    EXPECT_EQ(form->StatusBar()->PanelText(4), "Ставок: 2");
    EXPECT_EQ(form->StatusBar()->PanelText(5), "Рейтинг: 3");
    EXPECT_EQ(QFileInfo(StakesFile()).size(), 2 * StakeRecSize);
    EXPECT_EQ(QFileInfo(RatingsFile()).size(), 3 * RatingRecSize);
}

TEST_F(RatingsTabTest, AStakesFileHeldElsewhereEndsTheProgramWithTheAccessMessage)
{
    WriteRatingsFile(RatingsFile(), ThreeRatings());
    const QByteArray ratingsBefore = ReadFileBytes(RatingsFile());
    TStakesFile other(StakesFile());
    other.Open();
    auto form = Open();
    ASSERT_EQ(FBoxes.Boxes().size(), 1);
    EXPECT_EQ(FBoxes.Last().Text, LoadResString(rsExclusiveAccessError));
    EXPECT_TRUE(form->EndRequested());
    EXPECT_EQ(form->ExitCode(), 1);
    EXPECT_TRUE(WaitUntil([&] { return !form->isVisible(); }, 5000));
    // Nothing went on: neither the archive nor the ratings were read, nor the ratings rewritten.
    EXPECT_TRUE(form->State().FDraws.empty());
    EXPECT_EQ(List(*form)->ItemCount(), 0);
    EXPECT_EQ(ReadFileBytes(RatingsFile()), ratingsBefore);
}

TEST_F(RatingsTabTest, ShutDownReleasesTheStakesFile)
{
    auto form = Open();
    TStakesFile other(StakesFile());
    EXPECT_ANY_THROW(other.Open());
    form.reset();
    EXPECT_NO_THROW(other.Open());
}

TEST_F(RatingsTabTest, Screenshot)
{
    TRatingsArray ratings = ThreeRatings();
    ratings.push_back(Rating("01.001: тест @ KNM2 + KSM2", 100, {79, 20, 1}, -123450000));
    ratings.push_back(Rating("Ставка \"вручную\"", 0, {0, 0, 0}, 0));
    WriteRatingsFile(RatingsFile(), ratings);
    auto form = Open();
    auto* pages = form->findChild<QTabWidget*>(QStringLiteral("pcMain"));
    pages->setCurrentWidget(form->findChild<QWidget*>(QStringLiteral("tsRatings")));
    List(*form)->SetItemSelected(1, true);
    const QString path = SaveScreenshot(form.get(), QStringLiteral("FormMainRatings"), QSize(1100, 600));
    EXPECT_FALSE(path.isEmpty());
}

} // namespace

TEST_F(RatingsTabTest, ADownloadScoresTheStakesOfTheDrawsItBroughtOnce)
{
    // Ten draws up to 08/05 E; today is 08/10. The stake is for draw 11, 08/06 M, not stored yet.
    FFolder.WriteArchive(MakeArchive(10));
    const auto [d1, d2] = TOperatorSite::DrawDigits(QDate(2016, 8, 6), false);
    TStakeRec stake = Stake(11, -1, -10, "Линия A");
    stake.Digits = {2, {std::uint8_t(d1), std::uint8_t(d2), 0, 0}};
    SaveFileAtomic(StakesFile(), StakeBytes({InitStakeRec(), stake}));
    THttpStandIn server;
    ASSERT_TRUE(server.Start());
    TOperatorSite site(server);
    qputenv(OperatorSiteEnv, server.BaseUrl().toLatin1());
    auto form = Open();
    EXPECT_EQ(List(*form)->ItemCount(), 0);

    ASSERT_TRUE(Run(*form, "DrawsDownload"));
    EXPECT_EQ(form->State().FDraws.size(), 20u);
    const QByteArray scored = ReadFileBytes(StakesFile());
    ASSERT_EQ(scored.size(), 2 * StakeRecSize);
    const TStakeRec rec = ReadStakeRec(reinterpret_cast<const std::uint8_t*>(scored.constData()) + StakeRecSize);
    EXPECT_EQ(rec.Checked, 1);
    EXPECT_EQ(rec.Matches.Count, 2);
    EXPECT_EQ(rec.DrawResult, MakeComb(std::uint8_t(d1), std::uint8_t(d2)));
    const TRatingsArray ratings = ReadRatingsFile(RatingsFile()).Records;
    ASSERT_EQ(ratings.size(), 1u);
    EXPECT_EQ(ratings[0].Comment, U("Линия A"));
    EXPECT_EQ(ratings[0].Stakes, 1);
    EXPECT_EQ(ratings[0].MatchCounts, (std::array<std::int32_t, 3>{0, 0, 1}));
    EXPECT_EQ(ratings[0].Balance, rec.Balance);
    EXPECT_EQ(List(*form)->ItemCount(), 1);
    EXPECT_TRUE(FBoxes.Boxes().isEmpty());

    // Nothing new: the stake is not scored again and neither file changes.
    const QByteArray rated = ReadFileBytes(RatingsFile());
    ASSERT_TRUE(Run(*form, "DrawsDownload"));
    EXPECT_EQ(ReadFileBytes(StakesFile()), scored);
    EXPECT_EQ(ReadFileBytes(RatingsFile()), rated);
    qunsetenv(OperatorSiteEnv);
}
