// The draws graph page on its own: the method list, the three lines of a small archive, when
// it draws, the show-marks box, its saved length, the sum distribution window, and a picture of
// a large archive.

#include "app/core/shell/MainState.h"
#include "app/ui/views/DrawsGraphPage.h"
#include "app/ui/charts/UnitGraph.h"
#include "app/ui/shell/ProgramEnv.h"
#include "support/RDialogsScripted.h"
#include "support/RVclUtils.h"
#include "tests/app_ui/AppUiTestEnv.h"
#include "tests/common/ChartLabels.h"
#include "tests/common/Screenshot.h"
#include "tests/common/TestHelpers.h"
#include "tests/fixtures/ArchiveFixtures.h"
#include "tests/fixtures/StatFixtures.h"

#include <QChart>
#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QLineSeries>
#include <QSpinBox>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>

namespace {

QString U(const char* text)
{
    return QString::fromUtf8(text);
}

QList<double> Ys(const QLineSeries* series)
{
    QList<double> ys;
    for (const QPointF& point : series->points())
        ys.append(point.y());
    return ys;
}

class DrawsGraphPageTest : public ::testing::Test {
protected:
    DrawsGraphPageTest()
    {
        FState.SetDataDir(FDir.path());
        FState.SetArguments({});
        ApplyDefaultStatSettings(FState.StatList());
        FState.StatList().RebuildMethods();
        FPreviousSink = SetStatusSink([this](const QString& text) { FStatuses.append(text); });
        FPage = std::make_unique<TDrawsGraphPage>(FState, nullptr);
        FPage->resize(800, 500);
        FPage->show();
        FPage->FillGraphMethods(false);
    }
    ~DrawsGraphPageTest() override
    {
        FPage.reset();
        SetStatusSink(std::move(FPreviousSink));
        EXPECT_EQ(WaitCount(), 0);
    }

    // Chooses the method with the code; the page redraws as the user's choice does.
    void Choose(const char* code)
    {
        const int method = FState.StatList().IndexOfCode(QString::fromLatin1(code));
        const int item = FPage->Methods()->findData(method);
        ASSERT_GE(item, 0) << code;
        FPage->Methods()->setCurrentIndex(-1);
        FPage->Methods()->setCurrentIndex(item);
    }

    QLineSeries* Series(int i) const
    {
        return qobject_cast<QLineSeries*>(FPage->Chart()->series().value(i));
    }

    QTemporaryDir FDir;
    TMainState FState;
    TScriptedBoxes FBoxes;
    QStringList FStatuses;
    TStatusSink FPreviousSink;
    std::unique_ptr<TDrawsGraphPage> FPage;
};

TEST_F(DrawsGraphPageTest, ControlsAndTheListOfGraphMethods)
{
    EXPECT_EQ(FPage->objectName(), QStringLiteral("tsDrawsGraph"));
    for (const char* name : {"cbDrawsGraphType", "edDrawsGraphLen", "cbDrawsGraphShowMarks", "crtDrawsGraph"})
        EXPECT_NE(FPage->findChild<QWidget*>(QLatin1String(name)), nullptr) << name;
    EXPECT_EQ(TDrawsGraphPage::Caption(), U("Графики"));
    EXPECT_EQ(FPage->ShowMarks()->text(), U("Отображать метки на графике"));
    EXPECT_FALSE(FPage->ShowMarks()->isChecked());
    EXPECT_EQ(FPage->LengthEdit()->value(), 100);
    EXPECT_EQ(FPage->LengthEdit()->maximum(), 2147483647);

    // Every favourite graph method with a table, in registry order, and nothing else.
    const TStatList& list = FState.StatList();
    QList<int> expected;
    for (int i = 0; i < list.Count(); ++i)
        if (list.IsAvailable(i) && list.HasStatTable(i) && list.IsFavorite(i) && list.IsGraph(i))
            expected.append(i);
    ASSERT_GT(expected.size(), 1);
    ASSERT_EQ(FPage->Methods()->count(), expected.size());
    for (int item = 0; item < expected.size(); ++item) {
        EXPECT_EQ(FPage->Methods()->itemData(item).toInt(), expected[item]);
        EXPECT_EQ(FPage->Methods()->itemText(item), list.MethodCaption(expected[item], true));
    }
    EXPECT_EQ(FPage->Methods()->currentIndex(), 0);
    EXPECT_EQ(FPage->SelectedMethod(), &list.Items(expected[0]));
    EXPECT_GE(FPage->Methods()->findData(list.IndexOfCode(QStringLiteral("SUMS"))), 0);
    EXPECT_LT(FPage->Methods()->findData(list.IndexOfCode(QStringLiteral("NUMS"))), 0);

    // A refill keeps the item index when asked, else takes the first.
    FPage->Methods()->setCurrentIndex(1);
    FPage->FillGraphMethods(true);
    EXPECT_EQ(FPage->Methods()->currentIndex(), 1);
    FPage->FillGraphMethods(false);
    EXPECT_EQ(FPage->Methods()->currentIndex(), 0);

    // No archive: nothing to draw.
    EXPECT_FALSE(FPage->CanDraw());
    FState.FDraws = SixDrawArchive();
    EXPECT_TRUE(FPage->CanDraw());
}

TEST_F(DrawsGraphPageTest, ValuesMeanAndMostFrequentOfASmallArchive)
{
    FState.FDraws = SixDrawArchive();   // digit sums 8, 3, 10, 8, 9, 7
    Choose("SUMS");
    const QList<QAbstractSeries*> series = FPage->Chart()->series();
    ASSERT_EQ(series.size(), 3);
    EXPECT_EQ(series[0]->name(), FPage->Methods()->currentText());
    EXPECT_EQ(series[1]->name(), U("Среднее значение"));
    EXPECT_EQ(series[2]->name(), U("Наиболее часто встречающееся значение"));
    EXPECT_EQ(Series(0)->points(), (QList<QPointF>{{1, 8}, {2, 3}, {3, 10}, {4, 8}, {5, 9}, {6, 7}}));
    EXPECT_EQ(Ys(Series(1)), QList<double>(6, 7.5));
    EXPECT_EQ(Ys(Series(2)), QList<double>(6, 8));
    EXPECT_EQ(Series(1)->points().first().x(), 1);
    EXPECT_EQ(Series(2)->points().last().x(), 6);
    EXPECT_EQ(Series(0)->pen().color(), QColor(0, 128, 0));
    EXPECT_EQ(Series(0)->pen().width(), 2);
    EXPECT_TRUE(Series(0)->pointsVisible());
    EXPECT_FALSE(Series(0)->pointLabelsVisible());
    EXPECT_EQ(Series(1)->pen().color(), QColor(0, 0, 255));
    EXPECT_FALSE(Series(1)->pointsVisible());
    EXPECT_EQ(Series(2)->pen().color(), QColor(255, 0, 0));
    EXPECT_TRUE(FStatuses.contains(U("Анализ тиражей и построение графиков...")));

    // Enter in the length editor draws the newest four: 10, 8, 9, 7, all once: 10 met first.
    FPage->LengthEdit()->setValue(4);
    QKeyEvent press(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QCoreApplication::sendEvent(FPage->LengthEdit(), &press);
    EXPECT_EQ(Ys(Series(0)), (QList<double>{10, 8, 9, 7}));
    EXPECT_EQ(Ys(Series(1)), QList<double>(4, 8.5));
    EXPECT_EQ(Ys(Series(2)), QList<double>(4, 10));
}

TEST_F(DrawsGraphPageTest, ShowMarksFollowTheBox)
{
    FPage->ShowMarks()->click();   // no series yet: nothing happens
    FPage->ShowMarks()->click();
    FState.FDraws = SixDrawArchive();
    Choose("SUMS");
    FPage->ShowMarks()->click();
    EXPECT_TRUE(Series(0)->pointLabelsVisible());
    EXPECT_FALSE(Series(1)->pointLabelsVisible());
    // A new drawing takes the box's state.
    FPage->DrawGraphs(true);
    EXPECT_TRUE(Series(0)->pointLabelsVisible());
    FPage->ShowMarks()->click();
    EXPECT_FALSE(Series(0)->pointLabelsVisible());

    // Thirty draws of 0, 1 or 2 even digits: the points at the top of the axis are labelled too.
    FState.FDraws = MakeArchive(30);
    Choose("EVEN");
    EXPECT_GE(LabelRowsOverThePlot(*FPage->ChartView(), *Series(0)), QFontMetrics(Series(0)->pointLabelsFont()).capHeight());
    SaveScreenshot(FPage.get(), QStringLiteral("DrawsGraphMarks"), QSize(800, 500));
}

TEST_F(DrawsGraphPageTest, DrawsOnlyWhenItsKeyChangedAndInSight)
{
    FState.FDraws = SixDrawArchive();
    Choose("SUMS");
    FStatuses.clear();
    FPage->RefreshView(false);
    EXPECT_TRUE(FStatuses.isEmpty());

    // A draw edited by hand (same count) is drawn again.
    FState.FDraws[5].Digits = {9, 9};
    FPage->RefreshView(false);
    EXPECT_EQ(Series(0)->points().last(), QPointF(6, 18));

    // Another method is not drawn while a long operation runs.
    StartWait();
    Choose("SUME");
    StopWait();
    EXPECT_EQ(Series(0)->points().last(), QPointF(6, 18));
    FPage->DrawGraphs(false);
    EXPECT_EQ(Series(0)->name(), FPage->Methods()->currentText());

    // The tab switched off draws nothing; a missed forced drawing runs when it is back.
    FState.Options.SetValue(TMainOptions::TabGraphs, 0);
    FStatuses.clear();
    FPage->RefreshView(true);
    EXPECT_TRUE(FStatuses.isEmpty());
    FState.Options.SetValue(TMainOptions::TabGraphs, 1);
    FPage->RefreshView(false);
    EXPECT_FALSE(FStatuses.isEmpty());

    // An empty archive with the tab in sight: the chart is emptied and nothing else happens.
    FState.FDraws.clear();
    FStatuses.clear();
    FPage->RefreshView(false);
    EXPECT_TRUE(FPage->Chart()->series().isEmpty());
    EXPECT_TRUE(FStatuses.isEmpty());

    // No method chosen: an empty chart too.
    FState.FDraws = SixDrawArchive();
    FPage->Methods()->clear();
    FPage->DrawGraphs(true);
    EXPECT_TRUE(FPage->Chart()->series().isEmpty());
    EXPECT_FALSE(FPage->CanDraw());
}

TEST_F(DrawsGraphPageTest, LengthGoesToTheFormState)
{
    FState.FormState().WriteInteger(QStringLiteral("DrawsGraphLen"), 321);
    FPage->RestoreState();
    EXPECT_EQ(FPage->LengthEdit()->value(), 321);
    FPage->LengthEdit()->setValue(45);
    FPage->SaveState();
    EXPECT_EQ(FState.FormState().ReadInteger(QStringLiteral("DrawsGraphLen"), 0), 45);
}

TEST_F(DrawsGraphPageTest, SumDistributionWindow)
{
    int shown = 0;
    QStringList names;
    QList<double> theoretical, actual, level1;
    const TModalFormHandler previous = SetModalFormHandler(GraphWindowHandler([&](TFormGraph& form) {
        ++shown;
        EXPECT_EQ(form.windowTitle(), U("Распределение сумм тиражей и всех возможных комбинаций"));
        names.clear();
        for (const QAbstractSeries* series : form.Chart()->series())
            names.append(series->name());
        const auto ys = [&form](const QString& title) {
            const QLineSeries* series = form.FindSeries(title);
            return series ? Ys(series) : QList<double>();
        };
        theoretical = ys(U("Теоретическое распределение сумм (по комбинациям)"));
        actual = ys(U("Фактическое распределение сумм (по тиражам)"));
        level1 = ys(U("Диапазон 1 (от 1/3 и выше по оси Y) - суммы 3-15"));
        if (shown == 2)
            SaveScreenshot(&form, QStringLiteral("SumDistribution"), QSize(800, 500));
    }));

    // An empty archive: the theoretical curve and the levels, all at height 0.
    TDrawsGraphPage::ShowSumDistribution(FPage.get(), {});
    EXPECT_EQ(names, (QStringList{U("Теоретическое распределение сумм (по комбинациям)"),
                                  U("Диапазон 1 (от 1/3 и выше по оси Y) - суммы 3-15"),
                                  U("Диапазон 2 (от 1/2 и выше по оси Y) - суммы 5-13"),
                                  U("Диапазон 3 (от 2/3 и выше по оси Y) - суммы 6-12")}));
    EXPECT_EQ(theoretical, QList<double>(19, 0));
    EXPECT_EQ(level1, QList<double>(19, 0));
    EXPECT_TRUE(FStatuses.contains(U("Идет сбор статистики....")));

    // The whole archive, whatever the offset.
    FState.FDraws = MakeArchive(3000);
    FState.SetDrawsOffset(2000);
    TDrawsGraphPage::ShowSumDistribution(FPage.get(), FState.FDraws);
    SetModalFormHandler(previous);
    EXPECT_EQ(shown, 2);
    EXPECT_EQ(names.size(), 5);
    double total = 0;
    double peak = 0;
    for (const double y : actual) {
        total += y;
        peak = std::max(peak, y);
    }
    EXPECT_EQ(total, 3000);
    // The theoretical peak (sum 9) stands as high as the actual one.
    ASSERT_EQ(theoretical.size(), 19);
    EXPECT_DOUBLE_EQ(theoretical[9], peak);
    EXPECT_DOUBLE_EQ(level1[0], 4.0 / 10 * peak);
}

TEST_F(DrawsGraphPageTest, ScreenshotOfALargeArchive)
{
    FState.FDraws = MakeArchive(3000);
    Choose("SUMS");
    FPage->DrawGraphs(true);
    EXPECT_EQ(Series(0)->points().size(), 100);
    EXPECT_FALSE(SaveScreenshot(FPage.get(), QStringLiteral("DrawsGraphPage"), QSize(900, 500)).isEmpty());
}

} // namespace
