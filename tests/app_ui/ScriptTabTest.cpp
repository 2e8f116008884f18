// The scenario page of the main window: the lines from the current scenario file, the line
// commands, and ratings turned back into lines.

#include "app/core/RatingsFile.h"
#include "app/core/ScriptList.h"
#include "app/core/StakesFile.h"
#include "app/ui/FormMain.h"
#include "app/ui/ScriptPage.h"
#include "support/RDateUtils.h"
#include "support/RDialogsScripted.h"
#include "support/RVclUtils.h"
#include "support/ui/QorListView.h"
#include "support/ui/RActions.h"
#include "support/ui/RStatusBar.h"
#include "tests/app_ui/AppUiTestEnv.h"
#include "tests/common/Screenshot.h"
#include "tests/common/TestHelpers.h"
#include "tests/fixtures/ArchiveFixtures.h"
#include "tests/support_ui/KeyInput.h"

#include <QTabWidget>

#include <gtest/gtest.h>

namespace {

const char* const kLineA = "EXCL:5#FIRST#NEX|TSD#SUMS:10#LMV:5#SF:0| | | | | | |Линия А";
const char* const kLineB = "FULL:0#RAND|TSD#SUMS:10#LMV:5#SF:0|TSD#SUMS:20#LMV:3,4#SF:0| | | | | |B";

class ScriptTabTest : public ::testing::Test {
protected:
    ScriptTabTest()
    {
        FPreviousClock = SetClock([] { return QDateTime(QDate(2016, 8, 10), QTime(12, 0)); });
        FFolder.WriteFormState(QStringLiteral("DownloadDrawsOnStart=2\r\nPrefetchsInit=1\r\n"));
        FFolder.WriteArchive(SixDrawArchive());
    }
    ~ScriptTabTest() override { SetClock(FPreviousClock); }

    QString ScriptFile() const { return FFolder.File(QString::fromLatin1(TScriptList::CurrentFileBaseName)); }

    std::unique_ptr<TFormMain> Open()
    {
        auto form = std::make_unique<TFormMain>(QStringList());
        form->resize(1100, 600);
        form->show();
        EXPECT_TRUE(WaitUntil([&] { return form->Initialized(); }));
        Pages(*form)->setCurrentWidget(form->findChild<QWidget*>(QStringLiteral("tsScript")));
        return form;
    }
    static QTabWidget* Pages(const TFormMain& form) { return form.findChild<QTabWidget*>(QStringLiteral("pcMain")); }
    static TRListView* List(const TFormMain& form) { return form.findChild<TRListView*>(QStringLiteral("lvScript")); }
    static QString Lines(const TFormMain& form)
    {
        return form.findChild<TStatusBar*>(QStringLiteral("sbScript"))->PanelText(TScriptPage::LinesPanel);
    }

    TProgramFolder FFolder;
    TScriptedBoxes FBoxes;
    TClock FPreviousClock;
};

TEST_F(ScriptTabTest, StartUpShowsTheCurrentScenarioAndCommandsKeepItsFile)
{
    WriteFileBytes(ScriptFile(), ScriptLinesToBytes({U(kLineA), QString(), U(kLineB)}));
    auto form = Open();
    TRListView* list = List(*form);
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(Pages(*form)->tabText(Pages(*form)->indexOf(form->findChild<QWidget*>(QStringLiteral("tsScript")))),
              U("Сценарий"));
    ASSERT_EQ(list->ItemCount(), 3);
    EXPECT_EQ(Lines(*form), U("Строк: 3"));
    EXPECT_EQ(list->Items()->CellText(0, 0), U("Линия А"));
    EXPECT_EQ(list->Items()->CellText(0, 2), U("TSD1#SUMS:10#LMV:5#SF:0"));
    EXPECT_EQ(list->Items()->CellText(1, 0), QString());
    EXPECT_EQ(list->Items()->CellText(2, 3), U("TSD1#SUMS:20#LMV:3,4#SF:0"));

    // The separator cannot be edited; a real line can, and Ctrl+Down moves it.
    TActionRegistry& actions = *form->Actions();
    list->SetSelected(1);
    actions.UpdateAll();
    EXPECT_FALSE(actions.Action(QStringLiteral("ScriptEdit"))->isEnabled());
    list->SetSelected(0);
    actions.UpdateAll();
    EXPECT_TRUE(actions.Action(QStringLiteral("ScriptEdit"))->isEnabled());
    list->setFocus();
    ASSERT_TRUE(ActivateWindow(form.get()));
    TypeKey(list, Qt::Key_Down, Qt::ControlModifier);
    EXPECT_EQ(form->Script().Lines(), QStringList({QString(), U(kLineA), U(kLineB)}));
    EXPECT_EQ(list->Selected(), 1);

    // Ctrl+Ins adds the dialog's line and selects it; the file follows every change.
    form->Script().EditLine = [](QString& line, const QString& title) {
        EXPECT_EQ(title, U("Создание новой строки"));
        line = U("FULL:0#RAND|TSD#SUMS:10#LMV:1#SF:0| | | | | | |C");
        return true;
    };
    TypeKey(list, Qt::Key_Insert, Qt::ControlModifier);
    ASSERT_EQ(list->ItemCount(), 4);
    EXPECT_EQ(list->Selected(), 3);
    EXPECT_EQ(Lines(*form), U("Строк: 4"));
    EXPECT_EQ(ReadFileBytes(ScriptFile()), ScriptLinesToBytes(form->Script().Lines()));

    // Ctrl+Del in the list deletes the selected lines after the question.
    list->SetSelected(0);
    list->SetItemSelected(2, true);
    FBoxes.Answer(IDYES);
    actions.UpdateAll();
    EXPECT_TRUE(actions.Action(QStringLiteral("ScriptDel"))->isEnabled());
    TypeKey(list, Qt::Key_Delete, Qt::ControlModifier);
    EXPECT_EQ(FBoxes.Boxes().size(), 1);
    EXPECT_EQ(form->Script().Lines(), QStringList({U(kLineA), U("FULL:0#RAND|TSD#SUMS:10#LMV:1#SF:0| | | | | | |C")}));
    EXPECT_EQ(ReadFileBytes(ScriptFile()), ScriptLinesToBytes(form->Script().Lines()));
}

TEST_F(ScriptTabTest, SelectedRatingsBecomeLinesAndTheScenarioPageComesIntoView)
{
    TRatingRec runnable;
    runnable.Comment = U("03.002: abc @ EXCL:5#FIRST#NEX + TSD#SUMS:10#LMV:5#SF:0");
    runnable.Stakes = 3;
    TRatingRec manual;
    manual.Comment = U("Ставка \"вручную\"");
    manual.Stakes = 3;
    WriteRatingsFile(FFolder.DataFile(".lrt"), {runnable, manual});
    auto form = Open();
    Pages(*form)->setCurrentWidget(form->findChild<QWidget*>(QStringLiteral("tsRatings")));
    auto* ratings = form->findChild<TRListView*>(QStringLiteral("lvRatings"));
    ratings->selectAll();

    ASSERT_TRUE(form->Actions()->Execute(QStringLiteral("RatingsToScript")));
    EXPECT_EQ(form->Script().Lines(),
              QStringList({U("EXCL:5#FIRST#NEX|TSD#SUMS:10#LMV:5#SF:0| | | | | | |03.002: abc")}));
    ASSERT_EQ(FBoxes.Boxes().size(), 1);
    EXPECT_EQ(FBoxes.Last().Text, U("Строку\n\nСтавка \"вручную\"\n\nневозможно добавить в сценарий!"));
    EXPECT_EQ(Pages(*form)->currentWidget()->objectName(), QStringLiteral("tsScript"));
    EXPECT_EQ(List(*form)->Selected(), 0);
}

TEST_F(ScriptTabTest, F10RunsTheScenarioForTheNextDrawAndStakesUnderTheLinesComment)
{
    // One filter with one value: one variant, one stake.
    WriteFileBytes(ScriptFile(), ScriptLinesToBytes({U("FULL:0#RAND|TSD#SUMS:10#LMV:5#SF:0| | | | | | |B")}));
    auto form = Open();
    TActionRegistry& actions = *form->Actions();
    actions.UpdateAll();
    EXPECT_TRUE(actions.Action(QStringLiteral("ScriptRun"))->isEnabled());
    EXPECT_TRUE(actions.Action(QStringLiteral("ScriptTest"))->isEnabled());
    EXPECT_FALSE(actions.Action(QStringLiteral("ScriptStop"))->isEnabled());

    ASSERT_TRUE(ActivateWindow(form.get()));
    TypeKey(form.get(), Qt::Key_F10);
    // One stake on the draw after the newest, made by the scenario under its line's comment.
    ASSERT_EQ(form->StakesFile().RecordCount(), 1);
    const TStakeRec stake = form->StakesFile().ReadStake(TStakesFile::soFromBeginning, 0);
    EXPECT_EQ(stake.Origin, soScript);
    EXPECT_EQ(stake.DrawNumber, 7);
    EXPECT_EQ(stake.Comment.Get(), QStringLiteral("01.001: B @ FULL#RAND + TSD#SUMS:10#LMV:5#SF:0"));
    EXPECT_EQ(form->findChild<TStatusBar*>(QStringLiteral("sbScript"))->PanelText(3), U("Ставок: 1"));
    // The run has ended: the pages and the list are back.
    EXPECT_FALSE(form->State().FScriptRunning);
    EXPECT_TRUE(List(*form)->isEnabled());
    EXPECT_EQ(WaitCount(), 0);
}

TEST_F(ScriptTabTest, ACloseRequestDuringARunAsksToStopAndClosesWhenTheRunHasEnded)
{
    WriteFileBytes(ScriptFile(), ScriptLinesToBytes({U("FULL:0#RAND|TSD#SUMS:10#LMV:5#SF:0| | | | | | |A"),
                                                     U("FULL:0#RAND|TSD#SUMS:10#LMV:5#SF:0| | | | | | |B")}));
    auto form = Open();
    // The user closes the window while the run lets events through, and agrees to stop it.
    bool asked = false;
    form->ScriptRunner().ProcessEvents = [&] {
        if (asked)
            return;
        asked = true;
        EXPECT_TRUE(form->State().FScriptRunning);
        FBoxes.Answer(IDYES);
        EXPECT_FALSE(form->close());
        EXPECT_TRUE(form->isVisible());
    };
    ASSERT_TRUE(form->Actions()->Execute(QStringLiteral("ScriptRun")));
    ASSERT_TRUE(asked);
    ASSERT_EQ(FBoxes.Boxes().size(), 1);
    EXPECT_EQ(FBoxes.Last().Text, U("Остановить выполнение сценария?"));
    // The run stopped before the second line, and the window closed once it had ended.
    EXPECT_LE(form->StakesFile().RecordCount(), 1);
    EXPECT_TRUE(WaitUntil([&] { return !form->isVisible(); }));
}

TEST_F(ScriptTabTest, Screenshot)
{
    WriteFileBytes(ScriptFile(), ScriptLinesToBytes({U(kLineA), QString(), U(kLineB),
                                                     U("FULL:0#NONE#CLR|TSD#SUMS:10#LMV:5#SF:0| | | | | | |D")}));
    auto form = Open();
    List(*form)->SetSelected(2);
    const QString path = SaveScreenshot(form.get(), QStringLiteral("FormMainScript"), QSize(1100, 600));
    EXPECT_FALSE(path.isEmpty());
}

} // namespace
