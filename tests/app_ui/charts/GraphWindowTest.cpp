// The graph window: series by title, the value labels and the show-marks box, colours, the
// kept placement, and a stake graph shown through the window handler.

#include "app/core/stakes/StakeGraphs.h"
#include "app/core/stakes/StakesFile.h"
#include "app/ui/shell/ProgramEnv.h"
#include "app/ui/charts/UnitGraph.h"
#include "platform/IniFile.h"
#include "platform/SaveFile.h"
#include "support/RSysUtils.h"
#include "tests/app_ui/AppUiTestEnv.h"
#include "tests/common/Screenshot.h"

#include <QApplication>
#include <QChart>
#include <QCheckBox>
#include <QChartView>
#include <QDir>
#include <QImage>
#include <QLegend>
#include <QLineSeries>
#include <QScreen>
#include <QTimer>
#include <QValueAxis>

#include <gtest/gtest.h>

namespace {

QList<QPointF> Points(const QLineSeries* series)
{
    return series ? series->points() : QList<QPointF>();
}

QValueAxis* Axis(const TFormGraph& form, Qt::Orientation orientation)
{
    const QList<QAbstractAxis*> axes = form.Chart()->axes(orientation);
    return axes.isEmpty() ? nullptr : qobject_cast<QValueAxis*>(axes.first());
}

class GraphWindowTest : public ::testing::Test {
protected:
    // The window keeps its placement in the form-state file of this folder.
    TProgramFolder FFolder;
};

TEST_F(GraphWindowTest, TitlesDifferingInCaseAddToOneSeries)
{
    TFormGraph form;
    EXPECT_EQ(form.windowTitle(), U("График"));
    AddGraphPoint(&form, 1, U("Профит"), 2.5, true, true, 0);
    AddGraphPoint(&form, 2, U("ПРОФИТ"), -3, false, false, GraphRed);
    AddGraphPoint(&form, 2, U("другой"), 7, true, true, 0);
    form.UpdateChart();
    ASSERT_EQ(form.Chart()->series().size(), 2);
    QLineSeries* first = form.FindSeries(U("профит"));
    ASSERT_NE(first, nullptr);
    // The series keeps the title and the look of its first point.
    EXPECT_EQ(first->name(), U("Профит"));
    EXPECT_TRUE(first->pointsVisible());
    EXPECT_EQ(Points(first), (QList<QPointF>{{1, 2.5}, {2, -3}}));
    EXPECT_EQ(Points(form.FindSeries(U("Другой"))), (QList<QPointF>{{2, 7}}));
    EXPECT_EQ(form.FindSeries(U("нет такого")), nullptr);

    // The axes take in every point: draws 1 and 2 as whole numbers, values -3 to 7.
    QValueAxis* x = Axis(form, Qt::Horizontal);
    QValueAxis* y = Axis(form, Qt::Vertical);
    ASSERT_TRUE(x && y);
    EXPECT_LT(x->min(), 1);
    EXPECT_GT(x->max(), 2);
    EXPECT_EQ(x->labelFormat(), QStringLiteral("%.0f"));
    EXPECT_LT(y->min(), -3);
    EXPECT_GT(y->max(), 7);
}

TEST_F(GraphWindowTest, OnlySeriesMadeWithLabelsFollowTheShowMarksBox)
{
    TFormGraph form;
    form.AddPoints({{1, U("с метками"), 5, true, true, 0}, {1, U("без меток"), 3, true, false, GraphGrey},
                    {2, U("С МЕТКАМИ"), 6, false, false, 0}});
    QCheckBox* box = form.ShowMarks();
    ASSERT_EQ(box->objectName(), QStringLiteral("cbShowMarks"));
    EXPECT_EQ(box->parentWidget()->objectName(), QStringLiteral("pnlDrawsGraph"));
    EXPECT_EQ(box->text(), U("Отображать метки на графиках"));
    EXPECT_TRUE(box->isChecked());
    QLineSeries* labelled = form.FindSeries(U("с метками"));
    QLineSeries* bare = form.FindSeries(U("без меток"));
    ASSERT_TRUE(labelled && bare);
    EXPECT_TRUE(labelled->pointLabelsVisible());
    EXPECT_FALSE(bare->pointLabelsVisible());

    box->click();
    EXPECT_FALSE(labelled->pointLabelsVisible());
    EXPECT_FALSE(bare->pointLabelsVisible());
    // A labelled series made while the box is clear waits for the box like the others.
    form.AddPoints({{3, U("поздняя"), 1, true, true, 0}});
    QLineSeries* late = form.FindSeries(U("поздняя"));
    ASSERT_NE(late, nullptr);
    EXPECT_FALSE(late->pointLabelsVisible());
    box->click();
    EXPECT_TRUE(labelled->pointLabelsVisible());
    EXPECT_TRUE(late->pointLabelsVisible());
    EXPECT_FALSE(bare->pointLabelsVisible());
}

// After each click on the box the screen shows the window as drawn afresh: all labels go or come.
TEST_F(GraphWindowTest, TheBoxTakesEveryLabelOffTheScreenAndBack)
{
    TFormGraph form;
    form.AddPoints({{1, QStringLiteral("a"), 50, true, true, 0}, {3, QStringLiteral("a"), 50, true, true, 0},
                    {1, QStringLiteral("b"), 10, true, true, 0}, {3, QStringLiteral("b"), 90, true, true, 0}});
    SaveScreenshot(&form, QStringLiteral("FormGraphMarks"), QSize(600, 400));
    const auto image = [](const QPixmap& picture) { return picture.toImage().convertToFormat(QImage::Format_RGB32); };
    for (const bool ticked : {false, true, false}) {
        form.ShowMarks()->click();
        QApplication::processEvents();
        EXPECT_EQ(image(form.screen()->grabWindow(form.winId())), image(form.grab())) << ticked;
        // The next click starts from the whole window on the screen.
        form.ChartView()->viewport()->repaint();
    }
}

TEST_F(GraphWindowTest, ColourZeroKeepsTheChartsOwnColour)
{
    // The colours a chart gives three series by itself.
    QChart reference;
    QList<QColor> own;
    for (int i = 0; i < 3; ++i) {
        auto* series = new QLineSeries(&reference);
        reference.addSeries(series);
        own.append(series->pen().color());
    }
    ASSERT_NE(own[0], own[2]);

    TFormGraph form;
    form.AddPoints({{0, QStringLiteral("a"), 1, true, true, 0},
                    {0, QStringLiteral("b"), 2, true, true, GraphRed},
                    {0, QStringLiteral("c"), 3, false, true, 0}});
    const QLineSeries* a = form.FindSeries(QStringLiteral("a"));
    const QLineSeries* b = form.FindSeries(QStringLiteral("b"));
    const QLineSeries* c = form.FindSeries(QStringLiteral("c"));
    ASSERT_TRUE(a && b && c);
    EXPECT_EQ(a->pen().color(), own[0]);
    EXPECT_EQ(b->pen().color(), QColor(255, 0, 0));
    EXPECT_EQ(c->pen().color(), own[2]);
    for (const QLineSeries* series : {a, b, c}) {
        EXPECT_EQ(series->pen().width(), 2);
        EXPECT_EQ(series->markerSize(), 3);
    }
    EXPECT_FALSE(c->pointsVisible());
}

TEST_F(GraphWindowTest, PlacementIsKeptForTheNextWindow)
{
    {
        TFormGraph form;
        form.show();
        form.setGeometry(60, 50, 420, 300);
        WaitUntil([&] { return form.geometry() == QRect(60, 50, 420, 300); }, 2000);
    }
    TMemIniFile ini(GetAppFrmFileName());
    EXPECT_FALSE(ini.ReadString(QStringLiteral("TFormGraph"), QStringLiteral("NormPos"), QString()).isEmpty());

    TFormGraph next;
    EXPECT_EQ(next.size(), QSize(420, 300));
}

TEST_F(GraphWindowTest, UnusableFormStateFileCostsOnlyThePlacement)
{
    // A folder where the file should be can be neither read nor written.
    ASSERT_TRUE(QDir().mkpath(GetAppFrmFileName()));
    EXPECT_NO_THROW({
        TFormGraph form;
        form.AddPoints({{1, QStringLiteral("a"), 1, true, true, 0}});
        EXPECT_EQ(form.size(), QSize(720, 480));
    });
}

TEST_F(GraphWindowTest, StakeGraphShownThroughTheHandler)
{
    // Six draws of scored and waiting stakes: profits that go up and down.
    std::vector<TStakeRec> records;
    const int balances[][3] = {{-10, -10, 70}, {-10, -10, -10}, {80, -10, -10}, {-10, 70, -10}, {-10, -10, -10},
                               {890, -10, -10}};
    for (int d = 0; d < 6; ++d) {
        records.push_back(InitStakeRec());
        for (int i = 0; i < 3; ++i)
            records.push_back(Scored(StakeOn(soScript, 2120 + d, i, i + 1, "Alpha"), 1, 2, {0, {}}, balances[d][i]));
    }
    records.push_back(StakeOn(soManual, 2126, 4, 5, "Alpha"));
    const QString path = FFolder.DataFile(QStringLiteral(".lsk"));
    SaveFileAtomic(path, StakeBytes(records));
    TStakesFile file(path);
    file.Open();

    int shown = 0;
    QString screenshot;
    const TModalFormHandler previous = SetModalFormHandler(GraphWindowHandler([&](TFormGraph& form) {
        ++shown;
        EXPECT_EQ(form.windowTitle(), U("Суммарный профит по тиражам"));
        EXPECT_EQ(form.Chart()->series().size(), 3);
        EXPECT_EQ(form.Chart()->legend()->alignment(), Qt::AlignBottom);
        EXPECT_TRUE(form.Chart()->title().isEmpty());
        const QLineSeries* running = form.FindSeries(U("Накопленное значение"));
        ASSERT_NE(running, nullptr);
        // 50, -30, 60, 50, -30, 870, then -10 for the waiting stake of draw 2126.
        EXPECT_EQ(Points(running), (QList<QPointF>{{2120, 50}, {2121, 20}, {2122, 80}, {2123, 130},
                                                   {2124, 100}, {2125, 970}, {2126, 960}}));
        screenshot = SaveScreenshot(&form, QStringLiteral("FormGraphProfit"), QSize(800, 500));
    }));
    ShowGraph(nullptr, U("Суммарный профит по тиражам"), StakesProfitByDraws(file));
    SetModalFormHandler(previous);
    EXPECT_EQ(shown, 1);
    ASSERT_FALSE(screenshot.isEmpty());
    EXPECT_EQ(QImage(screenshot).size(), QSize(800, 500));
}

TEST_F(GraphWindowTest, RunWithoutAPersonDoesNotWaitForTheWindow)
{
    qputenv(UnattendedEnv, "1");
    // Should the window wait after all, the guard closes it and the test fails instead of hanging.
    bool waited = false;
    QTimer guard;
    guard.setSingleShot(true);
    QObject::connect(&guard, &QTimer::timeout, [&waited] {
        if (QWidget* modal = QApplication::activeModalWidget()) {
            waited = true;
            modal->close();
        }
    });
    guard.start(5000);
    ShowGraph(nullptr, QStringLiteral("x"), {{1, QStringLiteral("a"), 1, true, true, 0}});
    qunsetenv(UnattendedEnv);
    EXPECT_FALSE(waited);
}

} // namespace
