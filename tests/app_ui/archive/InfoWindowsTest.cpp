// The windows of the statistics menu: the information window for a draw and for a
// combination with its digit grid, the repeats window with its list, chart and kept state,
// the favourites dialog with its commands, and the method help window.

#include "app/core/shell/MainState.h"
#include "app/ui/stats/UnitFilterHelp.h"
#include "app/ui/archive/UnitInfo.h"
#include "app/ui/stats/UnitManager.h"
#include "app/ui/stats/UnitRepeats.h"
#include "app/ui/shell/ProgramEnv.h"
#include "engine/KelmaStatList.h"
#include "platform/IniFile.h"
#include "support/RDialogsScripted.h"
#include "support/RLngDLL.h"
#include "support/RLngUtils.h"
#include "support/RVclUtils.h"
#include "support/ui/QorListView.h"
#include "support/ui/RVclUtilsUi.h"
#include "tests/app_ui/AppUiTestEnv.h"
#include "tests/common/Screenshot.h"
#include "tests/fixtures/ArchiveFixtures.h"

#include <QAction>
#include <QChart>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QLineSeries>
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QTextBrowser>
#include <QTreeWidget>

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <climits>
#include <functional>

namespace {

QString CellText(const QTableWidget* grid, int row, int col)
{
    const QTableWidgetItem* item = grid->item(row, col);
    return item ? item->text() : QStringLiteral("<no cell>");
}

// The grid's non-empty cells as "row:col=text".
QStringList FilledCells(const QTableWidget* grid)
{
    QStringList cells;
    for (int r = 0; r < grid->rowCount(); ++r)
        for (int c = 0; c < grid->columnCount(); ++c)
            if (!CellText(grid, r, c).isEmpty())
                cells.append(QStringLiteral("%1:%2=%3").arg(r).arg(c).arg(CellText(grid, r, c)));
    return cells;
}

class InfoWindowsTest : public ::testing::Test {
protected:
    InfoWindowsTest()
    {
        FState.SetDataDir(FFolder.Path());
        TStatList& list = FState.StatList();
        list.SetDraws(&FState.FDraws);
        list.LoadShreddingFormulas(FFolder.File(QStringLiteral("none.ini")));
        list.Config().MatrixCols = 3;
        list.Config().ChannelSize = 2;
        list.RebuildMethods();
        FPreviousHandler = SetModalFormHandler([this](QDialog& form) {
            ++FShown;
            return FOnShow ? FOnShow(form) : int(QDialog::Rejected);
        });
    }
    ~InfoWindowsTest() override
    {
        SetModalFormHandler(FPreviousHandler);
        EXPECT_EQ(WaitCount(), 0);
    }

    int GraphMethodCount() const
    {
        int count = 0;
        for (int i = 0; i < FState.StatList().Count(); ++i)
            count += FState.StatList().IsGraph(i) ? 1 : 0;
        return count;
    }
    TStatMethod& Method(const char* code)
    {
        return FState.StatList().Items(FState.StatList().IndexOfCode(QString::fromLatin1(code)));
    }
    static QString Strings()
    {
        return QStringLiteral("STRINGS_") + GetLanguageAbbrev(GetCurrentLanguage());
    }

    TProgramFolder FFolder;
    TMainState FState;
    int FShown = 0;
    std::function<int(QDialog&)> FOnShow;
    TModalFormHandler FPreviousHandler;
};

// ---------------------------------------------------------------------------------------
// Information window

TEST_F(InfoWindowsTest, CombinationShowsMethodRowsAndItsDigitsInTheGrid)
{
    FState.FDraws = SixDrawArchive();
    bool checked = false;
    FOnShow = [&](QDialog& dialog) {
        auto& form = dynamic_cast<TFormInfo&>(dialog);
        EXPECT_EQ(form.windowTitle(), U("Подробная информация"));
        TRListView* props = form.Props();
        EXPECT_EQ(props->objectName(), QStringLiteral("lvProps"));
        // At least the given width, and every property name in full.
        EXPECT_GE(props->ColumnWidth(0), 235);
        EXPECT_GE(props->ColumnWidth(0), props->ItemsTextWidth(0));
        EXPECT_EQ(props->ColumnWidth(1), 120);
        EXPECT_EQ(props->Items()->Column(0).Caption, U("Свойство"));
        EXPECT_EQ(props->Items()->Column(1).Caption, U("Значение"));
        // A combination of the list: no number or date rows, one row per graph method.
        EXPECT_EQ(props->ItemCount(), GraphMethodCount());
        for (int i = 0; i < props->ItemCount(); ++i) {
            EXPECT_NE(props->Items()->CellText(i, 0), U("Номер тиража:"));
            EXPECT_NE(props->Items()->CellText(i, 0), U("Дата тиража:"));
        }
        EXPECT_EQ(props->Items()->CellText(0, 0), U("Количество четных чисел в тираже (Ч:Н)"));
        EXPECT_EQ(props->Items()->CellText(0, 1), QStringLiteral("1"));   // 3-8: one even digit

        QSpinBox* cols = form.Cols();
        QTableWidget* grid = form.Card();
        EXPECT_EQ(cols->objectName(), QStringLiteral("seCols"));
        EXPECT_EQ(cols->minimum(), 1);
        EXPECT_EQ(cols->maximum(), 9);
        EXPECT_EQ(cols->value(), 3);   // the matrix columns
        EXPECT_EQ(grid->rowCount(), 10);
        EXPECT_EQ(grid->columnCount(), 3);
        EXPECT_EQ(FilledCells(grid), (QStringList{QStringLiteral("3:0=3"), QStringLiteral("8:1=8")}));
        // Each row in the colour of its digit's channel; texts centred.
        for (int d = 0; d < 10; ++d)
            EXPECT_EQ(grid->item(d, 2)->background().color(), ColorFromBgr(ChannelColor(d, 2))) << d;
        EXPECT_EQ(grid->item(3, 0)->textAlignment(), int(Qt::AlignCenter));
        EXPECT_FALSE(SaveScreenshot(&form, QStringLiteral("FormInfo"), QSize(720, 520)).isEmpty());

        cols->setValue(2);
        EXPECT_EQ(grid->columnCount(), 2);
        EXPECT_EQ(FilledCells(grid), (QStringList{QStringLiteral("3:0=3"), QStringLiteral("8:1=8")}));
        // One column: only the first digit, nothing written outside the grid.
        cols->setValue(1);
        EXPECT_EQ(grid->columnCount(), 1);
        EXPECT_EQ(FilledCells(grid), QStringList{QStringLiteral("3:0=3")});
        // A pair writes its digit into both columns of its row.
        cols->setValue(2);
        form.SetCombination(C(5, 5));
        EXPECT_EQ(FilledCells(grid), (QStringList{QStringLiteral("5:0=5"), QStringLiteral("5:1=5")}));
        checked = true;
        return int(QDialog::Rejected);
    };
    ShowCombInfo(FState, C(3, 8));
    EXPECT_TRUE(checked);
    EXPECT_EQ(FShown, 1);
}

TEST_F(InfoWindowsTest, DrawStartsWithItsNumberAndDate)
{
    FState.FDraws = SixDrawArchive();
    FOnShow = [&](QDialog& dialog) {
        auto& form = dynamic_cast<TFormInfo&>(dialog);
        TRListModel* items = form.Props()->Items();
        EXPECT_EQ(form.Props()->ItemCount(), GraphMethodCount() + 2);
        EXPECT_EQ(items->CellText(0, 0), U("Номер тиража:"));
        EXPECT_EQ(items->CellText(0, 1), QStringLiteral("3"));
        EXPECT_EQ(items->CellText(1, 0), U("Дата тиража:"));
        EXPECT_EQ(items->CellText(1, 1), FixtureDrawKey(2));
        EXPECT_EQ(FilledCells(form.Card()), (QStringList{QStringLiteral("3:0=3"), QStringLiteral("7:1=7")}));
        return int(QDialog::Rejected);
    };
    ShowDrawInfo(FState, 2);   // 3-7
    EXPECT_EQ(FShown, 1);
    ShowDrawInfo(FState, 6);   // no such draw: no window
    EXPECT_EQ(FShown, 1);
}

// ---------------------------------------------------------------------------------------
// Repeats window

TEST_F(InfoWindowsTest, RepeatsListChartAndKeptLengths)
{
    // 3-5, 1-2, 3-7, 4-4, 3-5, 9-0, 3-2.
    const TDrawsArray draws = MakeDraws({{3, 5}, {1, 2}, {3, 7}, {4, 4}, {3, 5}, {9, 0}, {3, 2}});
    FOnShow = [&](QDialog& dialog) {
        auto& form = dynamic_cast<TFormRepeats&>(dialog);
        EXPECT_EQ(form.windowTitle(), U("Количество повторов в зависимости от тиража"));
        EXPECT_EQ(form.DrawsLen()->value(), 100);
        EXPECT_EQ(form.Deep()->value(), 100);
        EXPECT_EQ(form.CalcButton()->text(), U("Рассчитать"));
        TRListView* list = form.List();
        EXPECT_EQ(list->Items()->Column(3).Caption, U("Список тиражей"));
        EXPECT_EQ(list->ColumnWidth(3), 2000);
        // The whole archive: draw 6 and the oldest have no rows, draw 5 has two.
        EXPECT_EQ(list->ItemCount(), 4);
        const QStringList row0{list->Items()->CellText(0, 0), list->Items()->CellText(0, 1),
                               list->Items()->CellText(0, 2), list->Items()->CellText(0, 3)};
        EXPECT_EQ(row0, (QStringList{QStringLiteral("7"), QStringLiteral("1"), QStringLiteral("4"),
                                     QStringLiteral("5 3 2 1")}));
        EXPECT_EQ(list->Items()->CellText(2, 1), QStringLiteral("2"));
        EXPECT_EQ(list->Items()->CellText(2, 3), QStringLiteral("1"));

        EXPECT_EQ(form.Chart()->series().size(), 2);
        QLineSeries* one = form.Series(1);
        QLineSeries* two = form.Series(2);
        if (!one || !two) {
            ADD_FAILURE() << "no series of 1 or 2 matches";
            return int(QDialog::Rejected);
        }
        EXPECT_EQ(one->name(), U("Совпадений: 1"));
        EXPECT_EQ(two->name(), U("Совпадений: 2"));
        EXPECT_EQ(one->points(), (QList<QPointF>{{3, 1}, {5, 1}, {7, 4}}));
        EXPECT_EQ(two->points(), (QList<QPointF>{{5, 1}}));
        EXPECT_TRUE(one->isVisible());
        EXPECT_FALSE(one->pointLabelsVisible());
        EXPECT_EQ(one->markerSize(), 2);

        // Another length and depth, run by the button.
        form.DrawsLen()->setValue(3);
        form.Deep()->setValue(2);
        form.CalcButton()->click();
        EXPECT_EQ(list->ItemCount(), 2);   // 7 with 5; 5 with 3
        EXPECT_EQ(list->Items()->CellText(0, 3), QStringLiteral("5"));
        EXPECT_EQ(form.Chart()->series().size(), 1);
        return int(QDialog::Rejected);
    };
    ShowRepeatsForm(draws);
    EXPECT_EQ(FShown, 1);

    // The lengths are kept for the next window.
    const TMemIniFile frm(FFolder.DataFile(QStringLiteral(".frm")));
    EXPECT_EQ(frm.ReadInteger(QStringLiteral("TFormRepeats"), QStringLiteral("DrawsLength"), 0), 3);
    EXPECT_EQ(frm.ReadInteger(QStringLiteral("TFormRepeats"), QStringLiteral("DrawsDeep"), 0), 2);
    EXPECT_GT(frm.ReadInteger(QStringLiteral("TFormRepeats"), QStringLiteral("GraphHeight"), 0), 0);
    TFormRepeats again(draws);
    EXPECT_EQ(again.DrawsLen()->value(), 3);
    EXPECT_EQ(again.Deep()->value(), 2);
    // So are the largest the boxes take.
    {
        TFormRepeats largest(draws);
        largest.DrawsLen()->setValue(INT_MAX);
        largest.Deep()->setValue(INT_MAX);
    }
    EXPECT_EQ(TFormRepeats(draws).DrawsLen()->value(), INT_MAX);
    EXPECT_EQ(TFormRepeats(draws).Deep()->value(), INT_MAX);
}

TEST_F(InfoWindowsTest, RepeatsScreenshotOfALongerArchive)
{
    const TDrawsArray draws = MakeArchive(300, 7);
    TFormRepeats form(draws);
    form.RefreshAnalyze();
    EXPECT_GT(form.List()->ItemCount(), 50);
    EXPECT_EQ(form.Chart()->series().size(), 2);
    EXPECT_FALSE(SaveScreenshot(&form, QStringLiteral("FormRepeats"), QSize(900, 620)).isEmpty());
}

TEST_F(InfoWindowsTest, EmptyArchiveGivesNoRowsAndNoSeries)
{
    const TDrawsArray draws;
    TFormRepeats form(draws);
    form.RefreshAnalyze();
    EXPECT_EQ(form.List()->ItemCount(), 0);
    EXPECT_TRUE(form.Chart()->series().isEmpty());
}

// ---------------------------------------------------------------------------------------
// Favourites

TEST_F(InfoWindowsTest, AllUntickedAndConfirmedLeavesEveryMethodAFavourite)
{
    FState.StatList().SetFavoritesText(QStringLiteral("SUMS,POS1"));
    FOnShow = [&](QDialog& dialog) {
        auto& form = dynamic_cast<TFormManager&>(dialog);
        EXPECT_EQ(form.windowTitle(), U("Избранные статистики"));
        EXPECT_EQ(form.CountLabel()->text(), U("всего %1 методов").arg(FState.StatList().Count()));
        QTreeWidget* tree = form.Filters();
        EXPECT_EQ(tree->topLevelItem(0)->text(0), U("{ num } Числа тиража"));
        EXPECT_EQ(tree->currentItem(), tree->topLevelItem(0));
        // A group is selected: the group commands work, the method commands do not.
        EXPECT_TRUE(form.Action(QStringLiteral("GroupAll"))->isEnabled());
        EXPECT_FALSE(form.Action(QStringLiteral("Rename"))->isEnabled());
        EXPECT_FALSE(form.Action(QStringLiteral("Info"))->isEnabled());
        EXPECT_FALSE(SaveScreenshot(&form, QStringLiteral("FormManager"), QSize(700, 600)).isEmpty());
        form.Action(QStringLiteral("CheckNone"))->trigger();
        return int(QDialog::Accepted);
    };
    EXPECT_TRUE(EditFavoriteMethods(FState));
    EXPECT_TRUE(FState.StatList().AllFavorites);
    for (int i = 0; i < FState.StatList().Count(); ++i)
        EXPECT_TRUE(FState.StatList().IsFavorite(i)) << i;
}

TEST_F(InfoWindowsTest, ClicksTicksRenamesAndOptionsReachTheListOnlyOnOk)
{
    TScriptedBoxes boxes;
    QStringList answers{U("сумма тиража: ВСЕ значения"), U("Первое")};
    const TTextPromptHandler previous = SetTextPromptHandler(
        [&](QWidget*, const QString& title, const QString& prompt, QString& text) {
            EXPECT_EQ(title, U("Переименование"));
            EXPECT_EQ(prompt, U("Введите наименование фильтра:"));
            if (answers.isEmpty())
                return false;
            text = answers.takeFirst();
            return true;
        });
    Method("SUMS").UserCaption = U("Старое имя");
    int result = QDialog::Rejected;
    FOnShow = [&](QDialog& dialog) {
        auto& form = dynamic_cast<TFormManager&>(dialog);
        QTreeWidget* tree = form.Filters();
        QTreeWidgetItem* sums = form.MethodItem(FState.StatList().IndexOfCode(QStringLiteral("SUMS")));
        QTreeWidgetItem* pos1 = form.MethodItem(FState.StatList().IndexOfCode(QStringLiteral("POS1")));
        if (!sums || !pos1) {
            ADD_FAILURE() << "methods missing in the tree";
            return int(QDialog::Rejected);
        }
        EXPECT_EQ(sums->text(0), U("Старое имя"));
        tree->setCurrentItem(sums);
        EXPECT_TRUE(form.Action(QStringLiteral("Rename"))->isEnabled());
        form.Action(QStringLiteral("Rename"))->trigger();
        EXPECT_EQ(sums->text(0), U("сумма тиража: ВСЕ значения"));
        tree->setCurrentItem(pos1);
        form.Action(QStringLiteral("Rename"))->trigger();
        EXPECT_EQ(pos1->text(0), U("Первое"));
        // A click on a method toggles it; on a group it does nothing.
        emit tree->itemClicked(pos1, 0);
        emit tree->itemClicked(sums->parent(), 0);
        form.findChild<QCheckBox*>(QStringLiteral("cbSortOnName"))->setChecked(true);
        // While busy no command of the dialog is offered.
        StartWait();
        EXPECT_FALSE(form.Action(QStringLiteral("CheckAll"))->isEnabled());
        StopWait();
        EXPECT_TRUE(form.Action(QStringLiteral("CheckAll"))->isEnabled());
        return result;
    };
    EXPECT_FALSE(EditFavoriteMethods(FState));   // cancelled: nothing stored
    EXPECT_EQ(Method("SUMS").UserCaption, U("Старое имя"));
    EXPECT_FALSE(FState.StatList().Ordered);
    EXPECT_TRUE(FState.StatList().AllFavorites);

    answers = QStringList{U("сумма тиража: ВСЕ значения"), U("Первое")};
    result = QDialog::Accepted;
    EXPECT_TRUE(EditFavoriteMethods(FState));
    EXPECT_EQ(Method("SUMS").UserCaption, QString());   // the built-in caption again
    EXPECT_EQ(Method("POS1").UserCaption, U("Первое"));
    EXPECT_TRUE(FState.StatList().Ordered);
    EXPECT_FALSE(FState.StatList().IsFavorite(FState.StatList().IndexOfCode(QStringLiteral("POS1"))));
    EXPECT_TRUE(FState.StatList().IsFavorite(FState.StatList().IndexOfCode(QStringLiteral("SUMS"))));
    EXPECT_TRUE(boxes.Boxes().isEmpty());
    SetTextPromptHandler(previous);
}

TEST_F(InfoWindowsTest, NamesExportWritesEveryMethod)
{
    TScriptedPrompts prompts;
    const QString names = FFolder.File(QStringLiteral("names.flt"));
    prompts.Names = QStringList{names};
    FOnShow = [&](QDialog& dialog) {
        auto& form = dynamic_cast<TFormManager&>(dialog);
        form.Action(QStringLiteral("NamesExport"))->trigger();
        return int(QDialog::Rejected);
    };
    EditFavoriteMethods(FState);
    ASSERT_EQ(prompts.Prompts.size(), 1);
    EXPECT_EQ(prompts.Prompts[0].Filter, U("Наименования фильтров (*.flt)|*.flt"));
    EXPECT_EQ(prompts.Prompts[0].DefaultExt, QStringLiteral("flt"));
    EXPECT_TRUE(prompts.Prompts[0].Save);
    const TMemIniFile ini(names);
    EXPECT_EQ(ini.ReadSection(Strings()).size(), FState.StatList().Count());
    EXPECT_EQ(ini.ReadString(Strings(), QStringLiteral("POS2"), {}), U("Число в 2 позиции тиража"));
}

TEST_F(InfoWindowsTest, ManagerAndResetCommandsSaveRefillAndRefreshWithForce)
{
    TScriptedBoxes boxes;
    std::vector<bool> refreshes;
    FState.RegisterView([&](bool force) { refreshes.push_back(force); });
    int refills = 0;
    const TRefillMethodLists refill = [&] { ++refills; };

    FOnShow = [](QDialog&) { return int(QDialog::Rejected); };
    RunFiltersManager(FState, refill);
    EXPECT_EQ(refills, 0);
    EXPECT_FALSE(QFile::exists(FState.FavoritesFileName()));

    FOnShow = [](QDialog& dialog) {
        auto& form = dynamic_cast<TFormManager&>(dialog);
        form.Action(QStringLiteral("CheckNone"))->trigger();
        form.Filters()->setCurrentItem(form.Filters()->topLevelItem(1));
        form.Action(QStringLiteral("GroupAll"))->trigger();
        return int(QDialog::Accepted);
    };
    RunFiltersManager(FState, refill);
    EXPECT_EQ(refills, 1);
    EXPECT_EQ(refreshes, std::vector<bool>{true});
    EXPECT_FALSE(FState.StatList().AllFavorites);
    EXPECT_FALSE(TMemIniFile(FState.FavoritesFileName())
                     .ReadString(QStringLiteral("FILTERS"), QStringLiteral("Favorites"), {})
                     .isEmpty());

    boxes.Answer(IDYES);
    RunFiltersReset(FState, refill);
    EXPECT_EQ(boxes.Last().Text, U("Вы действительно хотите сбросить список избранных фильтров?"));
    EXPECT_TRUE(FState.StatList().AllFavorites);
    EXPECT_EQ(refills, 2);
    EXPECT_EQ(refreshes, (std::vector<bool>{true, true}));
}

// ---------------------------------------------------------------------------------------
// Method help

TEST_F(InfoWindowsTest, MethodHelpShowsTheInstalledPageOrSaysItIsMissing)
{
    const QString saved = HelpFileName;
    QString shownText;
    FOnShow = [&](QDialog& dialog) {
        auto& form = dynamic_cast<TFormFilterHelp&>(dialog);
        EXPECT_EQ(form.windowTitle(), U("Описание методики расчета"));
        form.Browser()->grab();   // lays the page out, its pictures loaded
        shownText = form.Browser()->toPlainText();
        return int(QDialog::Rejected);
    };
    HelpFileName.clear();
    ShowFilterHelp(Method("SUMS"));
    EXPECT_EQ(shownText, U("Справочная система не установлена."));

    // The help file with its pages in the folder beside it.
    HelpFileName = FFolder.File(QStringLiteral("Kelmar_RUS.chm"));
    WriteFileBytes(HelpFileName, "chm");
    ASSERT_TRUE(QDir().mkpath(FFolder.File(QStringLiteral("Kelmar_RUS"))));
    WriteFileBytes(FFolder.File(QStringLiteral("Kelmar_RUS/Filters_1049_SUMS.htm")),
                   "<html><body><h1>Sum of the draw</h1><p>Both digits added.</p></body></html>");
    ShowFilterHelp(Method("SUMS"));
    EXPECT_TRUE(shownText.contains(QStringLiteral("Sum of the draw"))) << shownText.toStdString();
    // A picture of the page that is a pipe nobody writes to is not waited for.
    ASSERT_EQ(::mkfifo(QFile::encodeName(FFolder.File(QStringLiteral("Kelmar_RUS/pipe.png"))).constData(), 0600), 0);
    WriteFileBytes(FFolder.File(QStringLiteral("Kelmar_RUS/Filters_1049_SUMS.htm")), "<p>Sum<img src=\"pipe.png\"></p>");
    ShowFilterHelp(Method("SUMS"));
    EXPECT_EQ(shownText, QString::fromUtf16(u"Sum\uFFFC"));
    // A method whose page is missing.
    ShowFilterHelp(Method("POS1"));
    EXPECT_EQ(shownText, U("Справочная система не установлена."));
    EXPECT_EQ(FShown, 4);
    HelpFileName = saved;
}

}  // namespace
