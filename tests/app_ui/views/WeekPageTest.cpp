// The weekday page on its own: the grid it shows and its tints on screen, when it counts, the
// chart of the current cell with its two toggles, the filter pair, its saved sizes, and a
// picture of a large archive.

#include "app/core/shell/AppStartup.h"
#include "app/core/combs/CombList.h"
#include "app/core/combs/CombsGen.h"
#include "app/core/shell/MainState.h"
#include "app/core/stats/StatFilter.h"
#include "app/ui/views/WeekPage.h"
#include "platform/Exceptions.h"
#include "support/RDialogsScripted.h"
#include "support/RVclUtils.h"
#include "support/ui/QorGrid.h"
#include "tests/app_ui/views/ViewPageTestEnv.h"
#include "tests/common/Screenshot.h"
#include "tests/common/TestHelpers.h"
#include "tests/fixtures/ArchiveFixtures.h"
#include "tests/fixtures/StatFixtures.h"

#include <QBarSeries>
#include <QBarSet>
#include <QChart>
#include <QCoreApplication>
#include <QHeaderView>
#include <QImage>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QLineSeries>
#include <QSpinBox>
#include <QSplitter>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>

namespace {

QString U(const char* text)
{
    return QString::fromUtf8(text);
}

TDrawRec Draw(std::uint32_t number, int d1, int d2, const char* key)
{
    TDrawRec draw;
    draw.Number = number;
    draw.Digits = {std::uint8_t(d1), std::uint8_t(d2)};
    draw.Key.Set(QString::fromLatin1(key));
    return draw;
}

// Monday 3-5 and 1-2, Tuesday 5-5 and 0-9, Sunday 4-4, and a draw without a date.
TDrawsArray SmallWeek()
{
    return {Draw(1, 3, 5, "08/01/2016 M"), Draw(2, 1, 2, "08/01/2016 E"), Draw(3, 5, 5, "08/02/2016 M"),
            Draw(4, 0, 9, "08/02/2016 E"), Draw(5, 4, 4, "08/07/2016 M"), Draw(6, 7, 7, "")};
}

class WeekPageTest : public TViewPageTest {
protected:
    WeekPageTest()
    {
        InstallDrawDateHooks();
        FPage = std::make_unique<TWeekPage>(FState, FCombs, FFilter, nullptr);
        FPage->resize(700, 600);
        FPage->show();
    }
    ~WeekPageTest() override
    {
        FPage.reset();
    }

    TROwnerDrawGrid* Grid() const { return FPage->Grid(); }

    QStringList GridRows() const { return GridRowTexts(*Grid()); }

    void SelectCells(int left, int top, int right, int bottom)
    {
        QAbstractItemModel* model = Grid()->model();
        const QItemSelection selection(model->index(top - 1, left - 1), model->index(bottom - 1, right - 1));
        Grid()->selectionModel()->select(selection, QItemSelectionModel::ClearAndSelect);
    }

    // The values of the chart's one series, bars or line.
    std::vector<double> ChartValues() const
    {
        std::vector<double> values;
        const QList<QAbstractSeries*> series = FPage->Chart()->series();
        if (series.size() != 1)
            return values;
        if (auto* bars = qobject_cast<QBarSeries*>(series.first())) {
            QBarSet* set = bars->barSets().value(0);
            for (int i = 0; set && i < set->count(); ++i)
                values.push_back(set->at(i));
        } else if (auto* line = qobject_cast<QLineSeries*>(series.first())) {
            for (const QPointF& point : line->points())
                values.push_back(point.y());
        }
        return values;
    }

    // The colour painted inside a cell, away from its text.
    QColor CellColour(int col, int row)
    {
        const QImage image = Grid()->viewport()->grab().toImage();
        const QRect rect = Grid()->visualRect(Grid()->model()->index(row - 1, col - 1));
        return image.pixelColor(rect.left() + 2, rect.bottom() - 2);
    }

    TScriptedBoxes FBoxes;
    std::unique_ptr<TWeekPage> FPage;
};

TEST_F(WeekPageTest, ControlsCarryTheirNamesAndDefaults)
{
    EXPECT_EQ(FPage->objectName(), QStringLiteral("tsWeek"));
    for (const char* name : {"sgWeek", "edWeekLen", "crtWeek", "splWeek"})
        EXPECT_NE(FPage->findChild<QWidget*>(QLatin1String(name)), nullptr) << name;
    EXPECT_EQ(TWeekPage::Caption(), U("Неделя"));
    EXPECT_EQ(FPage->LengthEdit()->value(), 1000);
    EXPECT_EQ(FPage->LengthEdit()->maximum(), 2147483647);
    EXPECT_EQ(FPage->LengthEdit()->minimum(), 1);
    EXPECT_EQ(Grid()->ColCount(), 11);
    EXPECT_EQ(Grid()->RowCount(), 8);
    EXPECT_EQ(Grid()->ColWidth(3), 30);
    EXPECT_EQ(Grid()->verticalHeader()->defaultSectionSize(), 18);

    // An empty archive: the headers only, no cell tinted.
    FPage->RefreshView(true);
    const QStringList rows = GridRows();
    EXPECT_EQ(rows.first(), QStringLiteral("|0|1|2|3|4|5|6|7|8|9"));
    EXPECT_EQ(rows[1], U("пн||||||||||"));
    EXPECT_EQ(rows[7], U("вс||||||||||"));
    EXPECT_EQ(FPage->View().MaxCount(), 0);
    EXPECT_EQ(CellColour(5, 5), Grid()->palette().color(QPalette::Base));
    EXPECT_FALSE(FPage->CanCalc());
    EXPECT_FALSE(FPage->CanFilter());
}

TEST_F(WeekPageTest, CountsAndTintsOnScreen)
{
    FState.FDraws = SmallWeek();
    FPage->RefreshView(false);
    EXPECT_EQ(GridRows(), QStringList({QStringLiteral("|0|1|2|3|4|5|6|7|8|9"),
                                       U("пн||1|1|1||1||||"),
                                       U("вт|1|||||2||||1"),
                                       U("ср||||||||||"),
                                       U("чт||||||||||"),
                                       U("пт||||||||||"),
                                       U("сб||||||||||"),
                                       U("вс|||||2|||||")}));
    EXPECT_TRUE(FStatuses.contains(U("Построение статистики по дням недели...")));
    EXPECT_TRUE(FPage->CanCalc());
    // The largest count is pure red, a count of half of it (127.5 rounds to 128) pink, an empty
    // cell stays white.
    Grid()->SetCurrentCell(10, 7);
    Grid()->selectionModel()->clearSelection();
    EXPECT_EQ(CellColour(6, 2), QColor(255, 0, 0));
    EXPECT_EQ(CellColour(5, 7), QColor(255, 0, 0));
    EXPECT_EQ(CellColour(2, 1), QColor(255, 127, 127));
    EXPECT_EQ(CellColour(1, 1), Grid()->palette().color(QPalette::Base));
    // A selected cell shows the highlight whatever its count.
    SelectCells(6, 2, 6, 2);
    EXPECT_EQ(CellColour(6, 2), Grid()->palette().color(QPalette::Highlight));
}

TEST_F(WeekPageTest, CountsOnlyWhenItsKeyChangedAndInSight)
{
    FState.FDraws = SmallWeek();
    FPage->RefreshView(false);
    FStatuses.clear();
    FPage->RefreshView(false);
    EXPECT_TRUE(FStatuses.isEmpty());

    // A draw edited by hand (same count) is counted again.
    FState.FDraws[0].Digits = {8, 8};
    FPage->RefreshView(false);
    EXPECT_EQ(Grid()->GetCellText(9, 1), QStringLiteral("2"));

    // Enter in the length editor counts the new window: the newest two draws.
    FPage->LengthEdit()->setValue(2);
    QKeyEvent press(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QCoreApplication::sendEvent(FPage->LengthEdit(), &press);
    EXPECT_EQ(Grid()->GetCellText(5, 7), QStringLiteral("2"));
    EXPECT_EQ(Grid()->GetCellText(9, 1), QString());

    // Out of sight nothing is counted; a forced refresh missed there runs when it comes back.
    FState.Options.SetValue(TMainOptions::TabWeek, 0);
    FState.FDraws = MakeDraws({{6, 6}});
    FStatuses.clear();
    FPage->RefreshView(true);
    EXPECT_TRUE(FStatuses.isEmpty());
    EXPECT_EQ(Grid()->GetCellText(7, 1), QString());
    FState.Options.SetValue(TMainOptions::TabWeek, 1);
    FPage->hide();
    FPage->RefreshView(false);
    EXPECT_TRUE(FStatuses.isEmpty());
    FPage->show();
    FPage->RefreshView(false);
    EXPECT_EQ(Grid()->GetCellText(7, 1), QStringLiteral("2"));
}

TEST_F(WeekPageTest, ChartOfTheCurrentCellAndItsToggles)
{
    FState.FDraws = SmallWeek();
    FPage->RefreshView(true);
    // The Tuesday row by digits, as bars.
    Grid()->SetCurrentCell(6, 2);
    EXPECT_EQ(ChartValues(), (std::vector<double>{1, 0, 0, 0, 0, 2, 0, 0, 0, 1}));
    EXPECT_NE(qobject_cast<QBarSeries*>(FPage->Chart()->series().value(0)), nullptr);

    // By days: the column of digit 5; the option is written at once.
    FPage->ToggleChartMode();
    EXPECT_TRUE(FPage->ChartByDays());
    EXPECT_EQ(FState.FormState().ReadInteger(QStringLiteral("WeekChartMode"), -1), 1);
    EXPECT_EQ(ChartValues(), (std::vector<double>{1, 2, 0, 0, 0, 0, 0}));

    // As a line, green.
    FPage->ToggleChartType();
    EXPECT_EQ(FState.FormState().ReadInteger(QStringLiteral("WeekChartType"), -1), 1);
    auto* line = qobject_cast<QLineSeries*>(FPage->Chart()->series().value(0));
    ASSERT_NE(line, nullptr);
    EXPECT_EQ(line->pen().color(), QColor(0, 128, 0));
    EXPECT_TRUE(line->pointsVisible());
    EXPECT_EQ(ChartValues(), (std::vector<double>{1, 2, 0, 0, 0, 0, 0}));

    // Another cell redraws at once without counting again: the archive changed meanwhile.
    FState.FDraws.clear();
    Grid()->SetCurrentCell(5, 7);
    EXPECT_EQ(ChartValues(), (std::vector<double>{0, 0, 0, 0, 0, 0, 2}));

    // A mode past 1 goes back to 0 (by digits); the toggles leave the busy state.
    FState.Options.SetValue(TMainOptions::WeekChartMode, 5);
    FPage->ToggleChartMode();
    EXPECT_EQ(FState.Options.Value(TMainOptions::WeekChartMode), 0);
    EXPECT_EQ(ChartValues().size(), 10u);
    FPage->ToggleChartType();
    EXPECT_NE(qobject_cast<QBarSeries*>(FPage->Chart()->series().value(0)), nullptr);
}

TEST_F(WeekPageTest, FilterKeepsOrRemovesTheDigitsOfTheSelectedColumns)
{
    FState.FDraws = SmallWeek();
    FPage->RefreshView(true);
    const struct {
        bool Remove;
        int Count;
    } cases[] = {{false, 36}, {true, 64}};
    for (const auto& c : cases) {
        FullList();
        EXPECT_TRUE(FPage->CanFilter());
        // Columns of digits 0 and 1, whatever weekday rows.
        SelectCells(1, 3, 2, 6);
        FPage->FilterCombs(c.Remove);
        EXPECT_EQ(FCombs.Count(), c.Count);
        EXPECT_EQ(FCombs.UndoCount(), 100);
        for (int i = 0; i < FCombs.Count(); ++i) {
            const TCombWord comb = FCombs.Comb(i);
            const bool has = CombDigit1(comb) <= 1 || CombDigit2(comb) <= 1;
            EXPECT_EQ(has, !c.Remove);
        }
        const TFilterHistoryRow row = FCombs.FilterHistory().last();
        EXPECT_EQ(row.Caption, U("Неделя"));
        EXPECT_EQ(row.Values, QStringLiteral("0; 1"));
    }
    EXPECT_EQ(WaitCount(), 0);

    // An empty list stays empty and adds no line.
    const qsizetype lines = FCombs.FilterHistory().size();
    SetCombsCapacity(FState.FCombs, 0, 0);
    EXPECT_FALSE(FPage->CanFilter());
    FPage->FilterCombs(false);
    EXPECT_EQ(FCombs.Count(), 0);
    EXPECT_EQ(FCombs.FilterHistory().size(), lines);
}

TEST_F(WeekPageTest, SizesGoToTheFormState)
{
    FState.FormState().WriteInteger(QStringLiteral("WeekLen"), 250);
    FState.FormState().WriteInteger(QStringLiteral("WeekHeight"), 180);
    FPage->RestoreState();
    EXPECT_EQ(FPage->LengthEdit()->value(), 250);
    FPage->LengthEdit()->setValue(77);
    FPage->SaveState();
    EXPECT_EQ(FState.FormState().ReadInteger(QStringLiteral("WeekLen"), 0), 77);
    EXPECT_EQ(FState.FormState().ReadInteger(QStringLiteral("WeekHeight"), 0), 180);

    // Values out of the editor's range are brought within it.
    FState.FormState().WriteInteger(QStringLiteral("WeekLen"), -5);
    FPage->RestoreState();
    EXPECT_EQ(FPage->LengthEdit()->value(), 1);
}

TEST_F(WeekPageTest, ScreenshotOfALargeArchive)
{
    FState.FDraws = MakeArchive(3000);
    FPage->LengthEdit()->setValue(3000);
    FPage->RefreshView(true);
    Grid()->SetCurrentCell(4, 3);
    EXPECT_EQ(FPage->View().Count(3, 2) + FPage->View().Count(3, 3) > 0, true);
    EXPECT_FALSE(SaveScreenshot(FPage.get(), QStringLiteral("WeekPage"), QSize(700, 520)).isEmpty());
}

} // namespace
