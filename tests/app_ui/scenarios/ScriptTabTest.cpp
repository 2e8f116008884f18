// The scenario page of the main window: the lines from the current scenario file, the line
// commands, and ratings turned back into lines.

#include "app/core/stakes/RatingsFile.h"
#include "app/core/scenarios/ScriptList.h"
#include "app/core/scenarios/ScriptLog.h"
#include "app/core/stakes/StakesFile.h"
#include "app/ui/shell/FormMain.h"
#include "app/ui/scenarios/ScriptPage.h"
#include "app/ui/scenarios/UnitFilter.h"
#include "app/ui/scenarios/UnitScript.h"
#include "app/ui/stakes/UnitTestCnt.h"
#include "platform/Cp1251.h"
#include "support/RDateUtils.h"
#include "support/RDialogsScripted.h"
#include "support/RSysUtils.h"
#include "support/RVclUtils.h"
#include "support/ui/QorListView.h"
#include "support/ui/RActions.h"
#include "support/ui/RStatusBar.h"
#include "tests/app_ui/shell/MainWindowTestEnv.h"
#include "tests/common/Screenshot.h"
#include "tests/common/TestHelpers.h"
#include "tests/fixtures/ArchiveFixtures.h"
#include "tests/support_ui/KeyInput.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QSpinBox>
#include <QTabWidget>
#include <QToolButton>

#include <gtest/gtest.h>

#include <optional>
#include <utility>
#include <vector>

namespace {

const char* const kLineA = "EXCL:5#FIRST#NEX|TSD#SUMS:10#LMV:5#SF:0| | | | | | |Линия А";
const char* const kLineB = "FULL:0#RAND|TSD#SUMS:10#LMV:5#SF:0|TSD#SUMS:20#LMV:3,4#SF:0| | | | | |B";

class ScriptTabTest : public MainWindowTest {
protected:
    ScriptTabTest() { FFolder.WriteArchive(SixDrawArchive()); }

    QString ScriptFile() const { return FFolder.File(QString::fromLatin1(TScriptList::CurrentFileBaseName)); }

    std::unique_ptr<TFormMain> Open()
    {
        auto form = MainWindowTest::Open({}, QSize(1100, 600));
        Pages(*form)->setCurrentWidget(form->findChild<QWidget*>(QStringLiteral("tsScript")));
        return form;
    }
    static QTabWidget* Pages(const TFormMain& form) { return form.findChild<QTabWidget*>(QStringLiteral("pcMain")); }
    static TRListView* List(const TFormMain& form) { return form.findChild<TRListView*>(QStringLiteral("lvScript")); }
    static QString Lines(const TFormMain& form)
    {
        return form.findChild<TStatusBar*>(QStringLiteral("sbScript"))->PanelText(TScriptPage::LinesPanel);
    }
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

// The archive of these tests: draws 1..6, (3,5) (1,2) (3,7) (4,4) (4,5) (3,4); the stakes go
// on draw 7.

TEST_F(ScriptTabTest, AfterARunTheStatisticsPageShowsTheLastStepsMethodAndLengthInThePlayersOrder)
{
    // The player's page: SUMS over 1000 draws, sorted by depth, deepest first.
    WriteFileBytes(ScriptFile(), ScriptLinesToBytes({U("FULL:0#FIRST|TSD1#SUMS:5#LNO:#ST:1| | | | | | |A"),
                                                     U("FULL:0#FIRST|TSD1#NUMS:3#LNO:#ST:1| | | | | | |B")}));
    auto form = Open();
    auto* methods = form->findChild<QComboBox*>(QStringLiteral("cbDrawsStatType"));
    auto* length = form->findChild<QSpinBox*>(QStringLiteral("edDrawsStatLen"));
    auto* table = form->findChild<TRSortListView*>(QStringLiteral("lvDrawsStat"));
    const TStatList& list = form->State().StatList();
    const QString nums = list.MethodCaption(list.IndexOfCode(QStringLiteral("NUMS")), true);
    methods->setCurrentIndex(methods->findText(list.MethodCaption(list.IndexOfCode(QStringLiteral("SUMS")), true)));
    ASSERT_GE(methods->currentIndex(), 0);
    table->SetSortColumn(6);
    table->SetSortDirection(sdDescending);

    ASSERT_TRUE(ActivateWindow(form.get()));
    TypeKey(form.get(), Qt::Key_F10);
    ASSERT_EQ(form->StakesFile().RecordCount(), 2);
    EXPECT_EQ(methods->currentText(), nums);
    EXPECT_EQ(length->value(), 3);
    EXPECT_EQ(table->SortColumn(), 6);
    EXPECT_EQ(table->SortDirection(), sdDescending);

    // The page shows NUMS over draws 4..6, (4,4) (4,5) (3,4), deepest first: 5 at depth 2, then
    // 4 and 3 at depth 1, then the digits not seen there.
    Pages(*form)->setCurrentWidget(form->findChild<QWidget*>(QStringLiteral("tsDrawsStat")));
    ASSERT_TRUE(WaitUntil([&] { return table->ItemCount() == 10; }));
    QStringList captions;
    for (int i = 0; i < table->ItemCount(); ++i)
        captions.append(table->Items()->Item(i).Caption);
    EXPECT_EQ(captions, QStringList({"5", "4", "3", "9", "8", "7", "6", "2", "1", "0"}));
}

TEST_F(ScriptTabTest, TestScoresTheStakesOfEachOffsetWhileItGoes)
{
    // Three offsets, one stake each; the ratings follow each offset's check.
    WriteFileBytes(ScriptFile(), ScriptLinesToBytes({U("FULL:0#FIRST| | | | | | | |T")}));
    auto form = Open();
    std::vector<std::pair<int, int>> seen;   // offset, stakes rated when its lines start
    int offset = form->State().DrawsOffset();
    form->ScriptRunner().ProcessEvents = [&] {
        if (form->State().DrawsOffset() != offset) {
            offset = form->State().DrawsOffset();
            int rated = 0;
            for (const TRatingRec& rating : form->Ratings().FRatings)
                rated += rating.Stakes;
            seen.emplace_back(offset, rated);
            EXPECT_EQ(form->findChild<TRListView*>(QStringLiteral("lvRatings"))->ItemCount(), rated > 0 ? 1 : 0);
        }
        QCoreApplication::processEvents();
    };
    WhenModal([](TDialogSTemplate& dialog) {
        auto* count = qobject_cast<TFormTestCnt*>(&dialog);
        ASSERT_NE(count, nullptr);
        count->edTestCount->setValue(3);
        EXPECT_TRUE(PressOk(dialog));
    });
    ASSERT_TRUE(form->Actions()->Execute(QStringLiteral("ScriptTest")));
    EXPECT_EQ(seen, (std::vector<std::pair<int, int>>{{3, 0}, {2, 1}, {1, 2}, {0, 3}}));
    ASSERT_EQ(form->Ratings().FRatings.size(), 1u);
    EXPECT_EQ(form->Ratings().FRatings[0].Stakes, 3);
    EXPECT_EQ(form->State().DrawsOffset(), 0);
}

TEST_F(ScriptTabTest, DrawsLengthsTheFilterDialogAcceptsRunIncludingZero)
{
    auto form = Open();
    const TStatList& list = form->State().StatList();
    const QString nums = list.MethodCaption(list.IndexOfCode(QStringLiteral("NUMS")), true);
    // Ctrl+Ins: the line dialog; its first "..." opens the filter dialog, where the lengths
    // "0,1" pass the check.
    WhenModal([&](TDialogSTemplate& dialog) {
        auto* line = qobject_cast<TFormScript*>(&dialog);
        ASSERT_NE(line, nullptr);
        line->cbResultCombsMode->setCurrentIndex(1);   // FIRST
        line->edComments->setText(QStringLiteral("Z"));
        bool filterAccepted = false;
        WhenModal([&](TDialogSTemplate& inner) {
            auto* filter = qobject_cast<TFormFilter*>(&inner);
            ASSERT_NE(filter, nullptr);
            filter->cbDrawsStatType->setCurrentIndex(filter->cbDrawsStatType->findText(nums));
            filter->edDrawsLen->setText(QStringLiteral("0,1"));
            filter->cbStopMode->setCurrentIndex(3);   // ST
            filter->edStopValue->setValue(1);
            filterAccepted = PressOk(inner);
        });
        line->btnFilters[0]->click();
        EXPECT_TRUE(filterAccepted);
        EXPECT_EQ(line->edFilters[0]->text(), QStringLiteral("TSD1#NUMS:0,1#LNO:#ST:1"));
        EXPECT_TRUE(PressOk(dialog));
    });
    TRListView* lines = List(*form);
    lines->setFocus();
    ASSERT_TRUE(ActivateWindow(form.get()));
    TypeKey(lines, Qt::Key_Insert, Qt::ControlModifier);
    ASSERT_EQ(form->Script().Count(), 1);

    // Length 0: no rows, the whole list. Length 1: the newest draw (3,4); 4 comes first of
    // the rows of count 1 and is deleted.
    ASSERT_TRUE(ActivateWindow(form.get()));
    TypeKey(form.get(), Qt::Key_F10);
    EXPECT_TRUE(FBoxes.Boxes().isEmpty());
    QStringList stakes;
    for (qint64 i = 0; i < form->StakesFile().RecordCount(); ++i) {
        const TStakeRec rec = form->StakesFile().ReadStake(TStakesFile::soFromBeginning, i);
        stakes.append(QStringLiteral("%1%2 %3 %4 %5")
                          .arg(rec.Digits.Digits[0])
                          .arg(rec.Digits.Digits[1])
                          .arg(rec.DrawNumber)
                          .arg(rec.SelectionSize)
                          .arg(rec.Comment.Get()));
    }
    EXPECT_EQ(stakes, QStringList({"00 7 100 01.001: Z @ FULL#FIRST + TSD#NUMS:0#LNO:#ST:1",
                                   "00 7 81 01.002: Z @ FULL#FIRST + TSD#NUMS:1#LNO:#ST:1"}));
}

TEST_F(ScriptTabTest, AfterStopTheStatusRowSaysTheScenarioWasStoppedWithTheCycleCleared)
{
    // Ctrl+X, answered Yes, in the second line of the one run, or of the second offset tested.
    WriteFileBytes(ScriptFile(), ScriptLinesToBytes({U("FULL:0#FIRST| | | | | | | |A"), U("FULL:0#LAST| | | | | | | |B")}));
    for (const auto& [command, cycle] : {std::pair{"ScriptRun", 1}, std::pair{"ScriptTest", 2}}) {
        SCOPED_TRACE(command);
        FBoxes.Clear();
        auto form = Open();
        auto* status = form->findChild<TStatusBar*>(QStringLiteral("sbScript"));
        bool stopped = false;
        form->ScriptRunner().ProcessEvents = [&] {
            QCoreApplication::processEvents();
            if (stopped || form->ScriptRunner().Cycle() != cycle || status->PanelText(2) != U("Строка: 2"))
                return;
            stopped = true;
            FBoxes.Answer(IDYES);
            ASSERT_TRUE(ActivateWindow(form.get()));   // the test-count dialog has gone
            TypeKey(form.get(), Qt::Key_X, Qt::ControlModifier);
        };
        if (cycle == 2) {
            WhenModal([](TDialogSTemplate& dialog) {
                qobject_cast<TFormTestCnt*>(&dialog)->edTestCount->setValue(3);
                EXPECT_TRUE(PressOk(dialog));
            });
        }
        ASSERT_TRUE(Run(*form, command));
        ASSERT_TRUE(stopped);
        ASSERT_EQ(FBoxes.Boxes().size(), 1);
        EXPECT_EQ(FBoxes.Last().Text, U("Остановить выполнение сценария?"));
        EXPECT_EQ(status->PanelText(1), U("Цикл: 0"));
        EXPECT_EQ(status->PanelText(2), U("Строка: 0"));
        EXPECT_EQ(status->PanelText(4), U("Выполнение сценария прервано!"));
        EXPECT_TRUE(List(*form)->isEnabled());
        form->Actions()->UpdateAll();
        EXPECT_FALSE(form->Actions()->Action(QStringLiteral("ScriptStop"))->isEnabled());
    }
}

namespace {

// The scenario log of the folder without its time stamps; empty when there is none.
QStringList LogEntries(const TProgramFolder& folder)
{
    const QStringList files = QDir(folder.Path()).entryList({TScriptLog::FileMask()}, QDir::Files);
    if (files.size() != 1)
        return {};
    QStringList lines = DecodeCp1251(ReadFileBytes(folder.File(files.first()))).split(QStringLiteral("\r\n"));
    for (QString& line : lines)
        line.remove(0, line.indexOf(QStringLiteral("]: ")) + 3);
    return lines;
}

// The desktop's opener that opens nothing.
class TNoOpener {
public:
    TNoOpener()
    {
        FPrevious = SetOpenHandler([](const TOpenRequest&) {
            throw Exception(U("нет программы для файлов этого типа"));
        });
    }
    ~TNoOpener() { SetOpenHandler(FPrevious); }

private:
    TOpenHandler FPrevious;
};

} // namespace

TEST_F(ScriptTabTest, LogThatNoProgramOpenedIsToldOnceAsSavedAndWhere)
{
    FFolder.WriteFormState(QStringLiteral("DownloadDrawsOnStart=2\r\nPrefetchsInit=1\r\nScriptLogEnabled=1\r\n"));
    WriteFileBytes(ScriptFile(), ScriptLinesToBytes({U("FULL:0#FIRST| | | | | | | |L")}));
    TNoOpener opener;
    auto form = Open();
    ASSERT_TRUE(form->Actions()->Execute(QStringLiteral("ScriptRun")));
    const QString log = QDir::toNativeSeparators(FFolder.File(TScriptLog::FileBaseName(ClockNow())));
    ASSERT_EQ(FBoxes.Boxes().size(), 1);
    EXPECT_EQ(FBoxes.Last().Text, U("Файл \"") + log
                                      + U("\" сохранён, но ни одна программа его не открыла: нет программы для файлов "
                                          "этого типа."));
    EXPECT_EQ(LogEntries(FFolder).value(0), U("### ЗАПУСК СЦЕНАРИЯ ##########################################################################"));
    EXPECT_EQ(form->StakesFile().RecordCount(), 1);
}

TEST_F(ScriptTabTest, BadFilterIsTheOnlyBoxAndTheLogRecordsIt)
{
    FFolder.WriteFormState(QStringLiteral("DownloadDrawsOnStart=2\r\nPrefetchsInit=1\r\nScriptLogEnabled=1\r\n"));
    WriteFileBytes(ScriptFile(), ScriptLinesToBytes({U("FULL:0#FIRST|TSD1#NUMS:#LNO:#SF:0| | | | | | |X")}));
    const QString failure = U("Некорректное описание фильтра: TSD1#NUMS:#LNO:#SF:0!");
    for (const bool opens : {true, false}) {
        SCOPED_TRACE(opens);
        for (const QString& file : QDir(FFolder.Path()).entryList({TScriptLog::FileMask()}, QDir::Files))
            QFile::remove(FFolder.File(file));
        FBoxes.Clear();
        std::optional<TNoOpener> opener;
        TOpenHandler previous;
        if (opens)
            previous = SetOpenHandler([](const TOpenRequest&) {});
        else
            opener.emplace();
        {
            auto form = Open();
            ASSERT_TRUE(ActivateWindow(form.get()));
            TypeKey(form.get(), Qt::Key_F10);
            EXPECT_FALSE(form->State().FScriptRunning);
            EXPECT_EQ(form->StakesFile().RecordCount(), 0);
        }
        if (opens)
            SetOpenHandler(previous);
        ASSERT_EQ(FBoxes.Boxes().size(), 1);
        EXPECT_TRUE(FBoxes.Last().Text.startsWith(failure)) << FBoxes.Last().Text.toStdString();
        EXPECT_EQ(FBoxes.Last().Text == failure, opens);
        EXPECT_TRUE(LogEntries(FFolder).contains(U("{ERROR} ") + failure));
    }
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
