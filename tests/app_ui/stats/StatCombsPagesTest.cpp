// The statistics page of the main window, and the combination list it filters, offscreen.

#include "tests/app_ui/stats/StatCombsPagesTestEnv.h"

#include "app/ui/combs/CombsPage.h"
#include "app/ui/shell/FilePrompt.h"
#include "app/ui/stats/StatChart.h"
#include "app/ui/stats/StatPage.h"
#include "app/ui/shell/ProgramEnv.h"
#include "app/ui/combs/UnitGenCombs.h"
#include "platform/Cp1251.h"
#include "support/ui/RActions.h"
#include "support/ui/RClipBrd.h"
#include "support/ui/RStatusBar.h"
#include "tests/common/FileWrites.h"
#include "tests/common/Screenshot.h"
#include "tests/support_ui/KeyInput.h"

#include <QApplication>
#include <QChart>
#include <QChartView>
#include <QCheckBox>
#include <QClipboard>
#include <QGuiApplication>
#include <QComboBox>
#include <QFileInfo>
#include <QLineEdit>
#include <QLineSeries>
#include <QMenu>
#include <QPushButton>
#include <QScrollBar>
#include <QSplitter>
#include <QTabWidget>
#include <QSpinBox>
#include <QTimer>
#include <QToolButton>

#include <gtest/gtest.h>


namespace {

TEST_F(StatCombsPagesTest, StartUpBuildsTheListAndShowsTheFirstMethodsTable)
{
    FFolder.WriteArchive(ThreeDraws());
    auto form = Open();
    EXPECT_TRUE(FBoxes.Boxes().isEmpty());

    // The full list: 00, 01, ..., 99, numbered from 1, with their sums.
    TRListView* combs = Combs(*form);
    ASSERT_EQ(combs->ItemCount(), 100);
    EXPECT_EQ(form->StatusBar()->PanelText(3), "Комбинаций: 100");
    const QStringList captions = {"№ п.п.", "1", "2", "S"};
    const int widths[] = {80, 30, 30, 30};
    for (int column = 0; column < 4; ++column) {
        EXPECT_EQ(combs->Items()->Column(column).Caption, captions[column]);
        EXPECT_EQ(combs->ColumnWidth(column), widths[column]);
    }
    EXPECT_EQ(combs->Items()->CellText(0, 0), "1");
    EXPECT_EQ(combs->Items()->CellText(37, 1), "3");
    EXPECT_EQ(combs->Items()->CellText(37, 2), "7");
    EXPECT_EQ(combs->Items()->CellText(37, 3), "10");
    EXPECT_EQ(combs->Items()->CellText(99, 0), "100");
    EXPECT_EQ(Filters(*form)->ItemCount(), 0);
    EXPECT_EQ(form->Combs().UndoCount(), 0);

    // The first offered method, its table sorted by the count ascending (equal counts by value)
    // and the norm columns hidden without the full-set comparison.
    auto* methods = Child<QComboBox>(*form, "cbDrawsStatType");
    ASSERT_GT(methods->count(), 100);
    EXPECT_EQ(methods->currentIndex(), 0);
    EXPECT_EQ(methods->currentText(), "{ num } Числа тиража [ N ]");
    TRSortListView* stat = StatList(*form);
    EXPECT_EQ(stat->SortColumn(), 1);
    EXPECT_EQ(stat->SortDirection(), sdAscending);
    EXPECT_TRUE(stat->MultiSelect());
    ASSERT_EQ(stat->ColumnCount(), 20);
    EXPECT_EQ(stat->Items()->Column(16).Caption, "Факт");
    EXPECT_EQ(stat->ColumnWidth(0), 120);
    for (int column : {3, 4, 5})
        EXPECT_EQ(stat->ColumnWidth(column), 0) << column;
    EXPECT_EQ(stat->ColumnWidth(6), 80);
    EXPECT_EQ(Column(stat, 0), QStringList({"0", "5", "6", "7", "8", "9", "2", "3", "4", "1"}));
    EXPECT_EQ(Column(stat, 1), QStringList({"0", "0", "0", "0", "0", "0", "1", "1", "1", "3"}));
    const int one = StatRow(*form, "1");
    EXPECT_EQ(stat->Items()->CellText(one, 2), "50,00000");
    EXPECT_EQ(stat->Items()->CellText(one, 6), "1");   // seen in the newest draw
    EXPECT_EQ(form->StatPage()->GetStatRowValues(one).ValueText, "1");
    EXPECT_EQ(form->StatPage()->GetStatRowValues(one).Columns[0], "3");
    EXPECT_TRUE(form->StatPage()->GetStatRowValues(99).ValueText.isEmpty());

    // The chart: one green series over the ten values, labelled by them.
    QChart* chart = Child<QChartView>(*form, "crtDrawsStat")->chart();
    ASSERT_EQ(chart->series().size(), 1);
    auto* actual = qobject_cast<QLineSeries*>(chart->series().first());
    ASSERT_NE(actual, nullptr);
    EXPECT_EQ(actual->name(), "Фактические данные");
    EXPECT_EQ(actual->pen().color(), StatActualColor);
    EXPECT_EQ(actual->pen().width(), StatActualWidth);
    EXPECT_TRUE(actual->pointsVisible());
    EXPECT_FALSE(actual->pointLabelsVisible());
    EXPECT_EQ(actual->count(), 10);
    EXPECT_EQ(actual->at(1).y(), 3);   // the values in key order: 0, 1, 2, ...
}

TEST_F(StatCombsPagesTest, AnotherMethodEnterInTheLengthAndARefillEachComputeTheTableShown)
{
    FFolder.WriteArchive(ThreeDraws());
    // Two favourite methods, their captions without the group.
    WriteFileBytes(FFolder.DataFile(".flt"), "[FILTERS]\r\nFavorites=NUMS,SUMS\r\nShowGroupName=0\r\n");
    auto form = Open();
    auto* methods = Child<QComboBox>(*form, "cbDrawsStatType");
    ASSERT_EQ(methods->count(), 2);
    const QString numbers = QStringLiteral("Числа тиража [ N ]");
    const QString sums = QStringLiteral("Сумма тиража: все значения [ NG ]");
    EXPECT_EQ(methods->itemText(0), numbers);
    EXPECT_EQ(methods->itemText(1), sums);
    EXPECT_EQ(StatList(*form)->ItemCount(), 10);

    // Choosing the sums computes their table: the sums 3, 4 and 5 of the three draws.
    methods->setCurrentIndex(1);
    const auto seen = [&] {
        QStringList values;
        for (int row = 0; row < StatList(*form)->ItemCount(); ++row)
            if (StatList(*form)->Items()->CellText(row, 1) != "0")
                values.append(StatList(*form)->Items()->CellText(row, 0));
        return values;
    };
    EXPECT_EQ(seen(), QStringList({"3", "4", "5"}));
    EXPECT_EQ(form->StatPage()->ShownCaption(), sums);

    // Enter in the length editor: the two newest draws only.
    auto* length = Child<QSpinBox>(*form, "edDrawsStatLen");
    EXPECT_EQ(length->maximum(), 2147483647);
    ASSERT_TRUE(ActivateWindow(form.get()));
    length->setFocus();
    length->selectAll();
    TypeKey(form.get(), Qt::Key_2, Qt::NoModifier, QStringLiteral("2"));
    EXPECT_EQ(seen().size(), 3);   // typing alone computes nothing
    TypeKey(form.get(), Qt::Key_Return);
    EXPECT_EQ(seen(), QStringList({"4", "5"}));
    // A length below the limits is no value.
    length->selectAll();
    TypeKey(form.get(), Qt::Key_0, Qt::NoModifier, QStringLiteral("0"));
    TypeKey(form.get(), Qt::Key_Return);
    EXPECT_EQ(form->StatTable().Data().Length, 2);

    // The numbers chosen, then the list refilled in caption order: the same index now names
    // the sums, which are computed and shown under their own caption, and a filter tests the
    // combinations with them.
    methods->setCurrentIndex(0);
    EXPECT_EQ(form->StatPage()->ShownCaption(), numbers);
    form->State().StatList().Ordered = true;
    form->FillStatMethods(false, true);
    EXPECT_EQ(methods->currentIndex(), 0);
    EXPECT_EQ(methods->currentText(), sums);
    EXPECT_EQ(form->StatPage()->ShownCaption(), sums);
    EXPECT_EQ(seen(), QStringList({"4", "5"}));
    StatList(*form)->SetSelected(StatRow(*form, "4"));
    ASSERT_TRUE(Run(*form, "StatFilter_Include"));
    EXPECT_EQ(CombTexts(*form), QStringList({"04", "13", "22", "31", "40"}));
    EXPECT_EQ(Filters(*form)->Items()->CellText(0, 0), sums);

    // Methods made anew (as the settings commands do) keep the favourites through their file.
    methods->setCurrentIndex(1);
    form->FillStatMethods(true, true);
    ASSERT_EQ(methods->count(), 2);
    EXPECT_EQ(methods->currentText(), numbers);
    EXPECT_EQ(form->StatPage()->ShownCaption(), numbers);
    EXPECT_TRUE(ReadFileBytes(FFolder.DataFile(".flt")).contains("Favorites=NUMS,SUMS"));
}

TEST_F(StatCombsPagesTest, KeysOfTheTableFilterTheListAndUndoTakesItBack)
{
    FFolder.WriteArchive(ThreeDraws());
    auto form = Open();
    ASSERT_TRUE(ActivateWindow(form.get()));
    TRSortListView* stat = StatList(*form);
    stat->SetSelected(StatRow(*form, "1"));
    stat->SetItemSelected(StatRow(*form, "3"), true);

    // F7 keeps the selected rows in the table only; elsewhere it opens the favourite methods
    // (the commands' states follow the selection at the next idle moment, long before a person
    // presses a key).
    form->Actions()->UpdateAll();
    QStringList opened;
    const TModalFormHandler previous = SetModalFormHandler([&](QDialog& dialog) {
        opened.append(QString::fromLatin1(dialog.metaObject()->className()));
        return int(QDialog::Rejected);
    });
    Combs(*form)->setFocus();
    TypeKey(form.get(), Qt::Key_F7);
    EXPECT_EQ(Combs(*form)->ItemCount(), 100);
    EXPECT_EQ(opened, QStringList({"TFormManager"}));
    SetModalFormHandler(previous);
    stat->setFocus();
    TypeKey(form.get(), Qt::Key_F7);
    // Keep: the 36 combinations with a 1 or a 3.
    EXPECT_EQ(Combs(*form)->ItemCount(), 36);
    EXPECT_EQ(form->StatusBar()->PanelText(3), "Комбинаций: 36");
    for (const QString& comb : CombTexts(*form))
        EXPECT_TRUE(comb.contains('1') || comb.contains('3')) << comb.toStdString();
    TRListView* filters = Filters(*form);
    ASSERT_EQ(filters->ItemCount(), 1);
    EXPECT_EQ(filters->Items()->Column(0).Caption, "Примененные фильтры");
    EXPECT_EQ(filters->Items()->CellText(0, 0), "{ num } Числа тиража [ N ]");
    // The values as the table listed them, top to bottom.
    EXPECT_EQ(filters->Items()->CellText(0, 1), "3; 1");
    EXPECT_EQ(filters->Items()->CellText(0, 2), "36");
    EXPECT_EQ(filters->Items()->Item(0).ImageIndex, 12);

    // Ctrl+F7 removes the combinations with a 1 from what is left.
    stat->SetSelected(StatRow(*form, "1"));
    form->Actions()->UpdateAll();
    TypeKey(form.get(), Qt::Key_F7, Qt::ControlModifier);
    EXPECT_EQ(CombTexts(*form), QStringList({"03", "23", "30", "32", "33", "34", "35", "36", "37", "38", "39", "43",
                                              "53", "63", "73", "83", "93"}));
    ASSERT_EQ(filters->ItemCount(), 2);
    EXPECT_EQ(filters->Items()->Item(1).ImageIndex, 13);

    // One undo, then the command waits for the next change.
    ASSERT_TRUE(Run(*form, "CombsUndo"));
    EXPECT_EQ(Combs(*form)->ItemCount(), 36);
    EXPECT_EQ(filters->ItemCount(), 1);
    form->Actions()->UpdateAll();
    EXPECT_FALSE(form->Action(TCommand::CombsUndo)->isEnabled());
}

TEST_F(StatCombsPagesTest, PopupsAndOptionTogglesOfTheStatisticsPage)
{
    FFolder.WriteArchive(MakeArchive(40));
    auto form = Open();
    const auto names = [&](const char* owner, const char* menu) {
        QStringList list;
        for (const QAction* action : Child<QWidget>(*form, owner)->findChild<QMenu*>(QLatin1String(menu))->actions())
            if (!action->isSeparator())
                list.append(action->objectName());
        return list;
    };
    EXPECT_EQ(names("lvDrawsStat", "pmDrawsStat"),
              QStringList({"StatFilter_Include", "StatFilter_Exclude", "DrawsStatCalc", "DrawsStatExportToExcel",
                           "DrawsStatePrefetchsEnabled"}));
    EXPECT_EQ(names("crtDrawsStat", "pmDrawsStatChart"), QStringList({"DrawsStatShowTotalLine"}));
    // The list commands, then the stakes made from the list.
    EXPECT_EQ(names("lvCombs", "pmCombs").size(), 12);
    EXPECT_EQ(names("lvCombs", "pmCombs").first(), "CombsInfo");
    EXPECT_EQ(names("lvCombs", "pmCombs").mid(8),
              QStringList({"StakeAdd", "StakeAddRandom", "StakeAddSelected", "StakeAddAll"}));
    EXPECT_EQ(form->Actions()->Key(TCommand::StatFilter_Include), QKeySequence(Qt::Key_F7));
    EXPECT_EQ(form->Action(TCommand::CombsGen)->shortcut(), QKeySequence(Qt::Key_F2));

    TActionRegistry* actions = form->Actions();
    actions->UpdateAll();
    EXPECT_TRUE(form->Action(TCommand::DrawsStatCalc)->isEnabled());
    EXPECT_FALSE(form->Action(TCommand::StatFilter_Include)->isEnabled());   // no row selected
    EXPECT_FALSE(form->Action(TCommand::DrawsStatShowTotalLine)->isEnabled());
    EXPECT_TRUE(form->Action(TCommand::DrawsStatShowTotalLine)->isChecked());
    EXPECT_FALSE(form->Action(TCommand::DrawsStatePrefetchsEnabled)->isChecked());

    // The comparison with the full set shows the norm columns.
    ASSERT_TRUE(Run(*form, "DrawsStatePrefetchsEnabled"));
    for (int column : {3, 4, 5})
        EXPECT_EQ(StatList(*form)->ColumnWidth(column), std::max(80, StatList(*form)->HeaderTextWidth(column))) << column;
    actions->UpdateAll();
    EXPECT_TRUE(form->Action(TCommand::DrawsStatePrefetchsEnabled)->isChecked());
    ASSERT_TRUE(Run(*form, "DrawsStatShowTotalLine"));
    EXPECT_TRUE(ReadFileBytes(FFolder.DataFile(".frm")).contains("ShowTotalLine=0"));
    ASSERT_TRUE(Run(*form, "DrawsStatePrefetchsEnabled"));
    EXPECT_EQ(StatList(*form)->ColumnWidth(4), 0);
}

// Either way the toggle writes its option once; switched on, the cache gets its files first
// (a digit's norm over 40 draws of two digits each is 8), switched off they stay for the next time.
TEST_F(StatCombsPagesTest, ThePrefetchToggleWritesItsOptionOnce)
{
    FFolder.WriteArchive(MakeArchive(40));
    auto form = Open();
    const QString cacheFile = FFolder.File(QStringLiteral("Prefetchs/Tavrix2_2r10_NUMS.dfc"));
    const struct {
        const char* Written;
        const char* Norm;
    } steps[] = {{"PrefetchsEnabled=1", "8"}, {"PrefetchsEnabled=0", "-"}};
    for (const auto& step : steps) {
        TFileWriteCounter writes(FFolder.DataFile(".frm"));
        ASSERT_TRUE(writes.IsValid());
        ASSERT_TRUE(Run(*form, "DrawsStatePrefetchsEnabled"));
        EXPECT_EQ(writes.Count(), 1) << step.Written;
        EXPECT_TRUE(ReadFileBytes(FFolder.DataFile(".frm")).contains(step.Written)) << step.Written;
        EXPECT_EQ(StatList(*form)->Items()->CellText(0, 3), step.Norm) << step.Written;
        EXPECT_TRUE(QFileInfo::exists(cacheFile)) << step.Written;
    }
}

TEST_F(StatCombsPagesTest, CommandsCarryTheirCaptionsAndKeys)
{
    auto form = Open();
    const struct {
        const char* Name;
        const char* Caption;
        QKeySequence Key;
    } commands[] = {
        {"CombsOpen", "Открыть", QKeySequence(Qt::CTRL | Qt::Key_O)},
        {"CombsSave", "Сохранить", QKeySequence(Qt::CTRL | Qt::Key_S)},
        {"CombsUndo", "Отменить", QKeySequence(Qt::CTRL | Qt::Key_Z)},
        {"CombsDelExists", "Исключить тиражи", QKeySequence(Qt::CTRL | Qt::Key_E)},
        {"CombsDelSelected", "Удалить выделенные", QKeySequence(Qt::CTRL | Qt::Key_Delete)},
        {"CombsSelectAll", "Выделить все", QKeySequence(Qt::CTRL | Qt::Key_A)},
        {"CombsCopy", "Копировать в буфер", QKeySequence(Qt::CTRL | Qt::Key_C)},
        {"CombsPaste", "Вставить из буфера", QKeySequence(Qt::CTRL | Qt::Key_V)},
        {"CombsCheckNums", "Количество уникальных номеров", QKeySequence()},
        {"CombsFindInDraws", "Проверить по архиву тиражей", QKeySequence(Qt::CTRL | Qt::Key_F)},
        {"CombsGen", "Генерировать", QKeySequence(Qt::Key_F2)},
        {"DrawsStatCalc", "Обновить", QKeySequence()},
        {"DrawsStatShowTotalLine", "График идеального распределения", QKeySequence()},
        {"DrawsStatePrefetchsEnabled", "Использовать сравнение с полным набором комбинаций", QKeySequence()},
        {"StatFilter_Include", "Оставить выделенные", QKeySequence(Qt::Key_F7)},
        {"StatFilter_Exclude", "Удалить выделенные", QKeySequence(Qt::CTRL | Qt::Key_F7)},
        {"DrawsDel", "Удалить", QKeySequence()},
    };
    for (const auto& command : commands) {
        EXPECT_EQ(form->Actions()->Caption(QLatin1String(command.Name)), QString::fromUtf8(command.Caption))
            << command.Name;
        EXPECT_EQ(form->Actions()->Key(QLatin1String(command.Name)), command.Key) << command.Name;
    }
    EXPECT_EQ(form->Action(TCommand::StatFilter_Exclude)->statusTip(),
              "Из списка комбинаций удалить комбинации с выделенными характеристиками");
    // The refresh button shows its picture only.
    auto* calc = Child<QToolButton>(*form, "btnDrawsStatCalc");
    EXPECT_EQ(calc->defaultAction(), form->Action(TCommand::DrawsStatCalc));
    EXPECT_EQ(calc->toolButtonStyle(), Qt::ToolButtonIconOnly);
    EXPECT_FALSE(calc->icon().isNull());
}

TEST_F(StatCombsPagesTest, SizesOfThePagesAreKept)
{
    FFolder.WriteArchive(MakeArchive(40));
    int filtersWidth = 0;
    {
        auto form = Open();
        Child<QSpinBox>(*form, "edDrawsStatLen")->setValue(250);
        Child<QSpinBox>(*form, "edCombsExclude")->setValue(4);
        StatList(*form)->SetSortColumn(6);
        Child<QSplitter>(*form, "splDrawsStat")->setSizes({200, 250});
        // The given width, or what the header needs to show its caption whole.
        filtersWidth = Child<TRListView>(*form, "lvFilters")->ColumnWidth(0);
        EXPECT_EQ(filtersWidth, std::max(100, Child<TRListView>(*form, "lvFilters")->HeaderTextWidth(0)));
    }
    const QByteArray saved = ReadFileBytes(FFolder.DataFile(".frm"));
    const QByteArray filtersKey = "lvFilters.Column0=" + QByteArray::number(filtersWidth);
    for (const char* key : {"DrawsStatLen=250", "DrawsExclude=4", "DrawsStatHeight=250", "lvDrawsStat.SortType=6,0",
                            "lvCombs.Column0=80", filtersKey.constData(), "FiltersHeight="})
        EXPECT_TRUE(saved.contains(key)) << key << "\n" << saved.toStdString();
    auto form = Open();
    EXPECT_EQ(Child<QSpinBox>(*form, "edDrawsStatLen")->value(), 250);
    EXPECT_EQ(Child<QSpinBox>(*form, "edCombsExclude")->value(), 4);
    EXPECT_EQ(StatList(*form)->SortColumn(), 6);
    EXPECT_EQ(Child<QChartView>(*form, "crtDrawsStat")->height(), 250);
    EXPECT_EQ(form->StatTable().Data().Length, 40);
}

TEST_F(StatCombsPagesTest, Screenshots)
{
    FFolder.WriteArchive(MakeArchive(3000, 5));
    auto form = Open();
    auto* methods = Child<QComboBox>(*form, "cbDrawsStatType");
    const int sums = methods->findData(form->State().StatList().IndexOfCode(QStringLiteral("SUMS")));
    ASSERT_GE(sums, 0);
    methods->setCurrentIndex(sums);
    ASSERT_GE(StatList(*form)->ItemCount(), 17);
    EXPECT_FALSE(SaveScreenshot(form.get(), QStringLiteral("StatPage"), QSize(1000, 680)).isEmpty());

    // The combinations of the sums 8 to 10 kept, shown on the combination page.
    for (const char* sum : {"8", "9", "10"})
        StatList(*form)->SetItemSelected(StatRow(*form, QLatin1String(sum)), true);
    ASSERT_TRUE(Run(*form, "StatFilter_Include"));
    EXPECT_EQ(Combs(*form)->ItemCount(), 9 + 10 + 9);
    Child<QTabWidget>(*form, "pcLists")->setCurrentIndex(1);
    EXPECT_FALSE(SaveScreenshot(form.get(), QStringLiteral("CombsPage"), QSize(1000, 680)).isEmpty());
}

} // namespace
