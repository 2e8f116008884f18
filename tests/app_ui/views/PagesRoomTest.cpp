// The main window at 800 x 600 and 1600 x 1000, also after a session that closed before the
// weekday and layout pages were shown: every page has the room for its grids, charts, lists,
// texts and status counts, and a picture of every page is kept for a person to look at.

#include "app/ui/charts/ChartAxes.h"
#include "app/ui/views/LayoutPage.h"
#include "app/ui/views/WeekPage.h"
#include "engine/KelmaMsg.h"
#include "platform/DelphiText.h"
#include "support/ui/QorGrid.h"
#include "support/ui/RStatusBar.h"
#include "tests/app_ui/shell/MainWindowTestEnv.h"
#include "tests/common/ChartLabels.h"
#include "tests/common/Screenshot.h"
#include "tests/fixtures/ArchiveFixtures.h"

#include <QAbstractButton>
#include <QApplication>
#include <QChart>
#include <QChartView>
#include <QFontMetrics>
#include <QLabel>
#include <QSplitter>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QTabWidget>
#include <QValueAxis>

#include <gtest/gtest.h>

#include <string>
#include <utility>

namespace {

const QSize kSizes[] = {QSize(800, 600), QSize(1600, 1000)};

// What a session leaves in the form-state file when it closed before the weekday and layout
// pages were ever shown: their squeezed heights.
const char kSqueezedHeights[] = "WeekHeight=13\r\nLayoutCompareHeight=13\r\n";

std::string Where(QSize size, bool squeezed)
{
    return std::to_string(size.width()) + "x" + std::to_string(size.height()) + (squeezed ? " squeezed" : "");
}

void Settle()
{
    for (int pass = 0; pass < 3; ++pass) {
        QApplication::sendPostedEvents();
        QApplication::processEvents();
    }
}

// Every row of the grid in sight and no room under the last one.
void ExpectRowsFitExactly(const QTableView& grid, const std::string& where)
{
    const int last = grid.model()->rowCount() - 1;
    ASSERT_GE(last, 0) << where;
    EXPECT_EQ(grid.rowAt(0), 0) << where;
    EXPECT_EQ(grid.viewport()->height(), grid.rowViewportPosition(last) + grid.rowHeight(last)) << where;
}

// The panel shows the whole text: its advance in the panel's font, with the indent a framed
// label keeps, inside the frame.
void ExpectPanelWhole(const QLabel* label, const QString& text, const std::string& where)
{
    ASSERT_NE(label, nullptr) << where;
    const QFontMetrics metrics(label->font());
    EXPECT_GE(label->contentsRect().width(),
              metrics.horizontalAdvance(text) + metrics.horizontalAdvance(QLatin1Char('x')) / 2)
        << where << ": \"" << text.toStdString() << "\" in " << label->width();
}

class PagesRoomTest : public MainWindowTest {
protected:
    std::unique_ptr<TFormMain> OpenAt(QSize size, bool squeezed)
    {
        FFolder.WriteArchive(MakeArchive(3000, 5));
        WriteFormState(squeezed ? QString::fromLatin1(kSqueezedHeights) : QString());
        auto form = Open({}, size);
        EXPECT_EQ(form->size(), size);
        return form;
    }

    static void ShowPage(TFormMain& form, QWidget* page)
    {
        Child<QTabWidget>(form, "pcMain")->setCurrentWidget(page);
        Settle();
    }
};

TEST_F(PagesRoomTest, WeekdayChartLayoutListsAndStatusPanelsHaveTheirRoom)
{
    const QStringList digits{"0", "1", "2", "3", "4", "5", "6", "7", "8", "9"};
    const QStringList days{U("пн"), U("вт"), U("ср"), U("чт"), U("пт"), U("сб"), U("вс")};
    for (const QSize size : kSizes) {
        for (const bool squeezed : {false, true}) {
            const std::string where = Where(size, squeezed);
            auto form = OpenAt(size, squeezed);

            // The weekday grid shows its rows, the chart the rest of the page, every label whole.
            auto* week = form->findChild<TWeekPage*>();
            ASSERT_NE(week, nullptr);
            ShowPage(*form, week);
            ExpectRowsFitExactly(*week->Grid(), where);
            QChartView* view = week->ChartView();
            EXPECT_GE(view->height(), ChartReadableHeight(week->Chart(), 5)) << where;
            EXPECT_EQ(week->Grid()->height() + week->Splitter()->handleWidth() + view->height(),
                      week->Splitter()->contentsRect().height())
                << where;
            const auto* counts = qobject_cast<QValueAxis*>(week->Chart()->axes(Qt::Vertical).value(0));
            ASSERT_NE(counts, nullptr) << where;
            EXPECT_GE(AxisTicks(*counts).size(), 3) << where;
            EXPECT_EQ(ChartAxisLabels(*view, Qt::AlignLeft), TickTexts(AxisTicks(*counts))) << where;
            EXPECT_EQ(ChartAxisLabels(*view, Qt::AlignBottom), digits) << where;
            EXPECT_FALSE(ChartHasCutLabel(*view)) << where;
            ASSERT_TRUE(Run(*form, "ViewWeekChartMode"));
            Settle();
            EXPECT_EQ(ChartAxisLabels(*view, Qt::AlignBottom), days) << where;
            EXPECT_FALSE(ChartHasCutLabel(*view)) << where;

            // The layout grid shows its rows; its few rows leave the compare lists most of the
            // page (0.6 of it at 600 pixels, more on a taller screen), each list all its rows.
            auto* layout = form->findChild<TLayoutPage*>();
            ASSERT_NE(layout, nullptr);
            ShowPage(*form, layout);
            ExpectRowsFitExactly(*layout->Grid(), where);
            const double share = double(layout->ComparePanel()->height()) / layout->height();
            EXPECT_GE(share, size.height() >= 1000 ? 0.75 : 0.6) << where << ": " << share;
            for (int k = 0; k < LayoutCompareCount; ++k) {
                TRSortListView* list = layout->CompareList(k);
                ASSERT_GT(list->ItemCount(), 3) << where << " list " << k;
                const QRect last = list->visualRect(list->model()->index(list->ItemCount() - 1, 0));
                EXPECT_LE(last.bottom(), list->viewport()->height()) << where << " list " << k;
            }

            // Seven-digit stakes show whole at either width; wide, every count panel has the
            // room for seven digits before its count grows.
            auto* bar = form->findChild<TStatusBar*>(QStringLiteral("StatusBar"));
            ASSERT_NE(bar, nullptr);
            const std::pair<int, const TResString*> countPanels[] = {
                {0, &rsStatusDrawCount}, {1, &rsStatusNextDraw}, {3, &rsStatusCombCount}, {5, &rsStatusRatingCount}};
            for (const auto& [panel, format] : countPanels)
                if (size.width() >= 1600)
                    ExpectPanelWhole(bar->PanelLabel(panel), Format(LoadResString(*format), {9999999}), where);
            const QString stakes = Format(LoadResString(rsStatusStakes), {9999999});
            bar->SetPanelText(4, stakes);
            Settle();
            EXPECT_EQ(form->width(), size.width()) << where;
            ExpectPanelWhole(bar->PanelLabel(4), stakes, where);
            for (const int panel : {0, 1, 3, 5})
                ExpectPanelWhole(bar->PanelLabel(panel), bar->PanelText(panel), where);
            // The longest hint of the commands is read whole, over the counts if need be.
            QString hint;
            for (const QAction* action : form->findChildren<QAction*>())
                hint = action->statusTip().size() > hint.size() ? action->statusTip() : hint;
            QStatusTipEvent tip(hint);
            QApplication::sendEvent(form.get(), &tip);
            Settle();
            const QLabel* shown = bar->PanelLabel(6);
            for (const QLabel* label : bar->findChildren<QLabel*>())
                shown = label->isVisible() && label->text() == hint && label->width() > shown->width() ? label : shown;
            ExpectPanelWhole(shown, hint, where);
            SaveScreenshot(form.get(), QStringLiteral("MainHint%1").arg(size.width()), size);
        }
    }
}

// Every page at both sizes, after a session that left squeezed heights behind: the labels,
// buttons and boxes over its lists and charts hold their texts (none narrower than its text or
// past the window's edge), and its picture is kept. The stakes panel shows a file of 200003.
TEST_F(PagesRoomTest, EveryPageShowsItsTextsWholeAndIsPictured)
{
    for (const QSize size : kSizes) {
        auto form = OpenAt(size, true);
        ASSERT_TRUE(Run(*form, "SystemsOn"));
        form->findChild<TStatusBar*>(QStringLiteral("StatusBar"))
            ->SetPanelText(4, Format(LoadResString(rsStatusStakes), {200003}));
        QStringList pages;
        int measured = 0;
        for (QTabWidget* tabs : form->findChildren<QTabWidget*>()) {
            for (int i = 0; i < tabs->count(); ++i) {
                if (!tabs->isTabVisible(i))
                    continue;
                tabs->setCurrentIndex(i);
                Settle();
                const QString page = tabs->widget(i)->objectName();
                pages << page;
                const std::string where = Where(size, true) + " " + page.toStdString();
                for (const QWidget* widget : tabs->widget(i)->findChildren<QWidget*>()) {
                    const auto* label = qobject_cast<const QLabel*>(widget);
                    const auto* button = qobject_cast<const QAbstractButton*>(widget);
                    const QString text = label ? label->text() : button ? button->text() : QString();
                    if (!widget->isVisible() || text.trimmed().isEmpty() || qobject_cast<QStatusBar*>(widget->parent()))
                        continue;
                    ++measured;
                    EXPECT_GE(widget->width(), widget->minimumSizeHint().width()) << where << ": " << text.toStdString();
                    EXPECT_LT(widget->mapTo(form.get(), QPoint(widget->width() - 1, 0)).x(), form->width())
                        << where << ": " << text.toStdString();
                }
                const QString name = QStringLiteral("Main%1x%2_%3").arg(size.width()).arg(size.height()).arg(page);
                EXPECT_FALSE(SaveScreenshot(form.get(), name, size).isEmpty()) << name.toStdString();
            }
        }
        EXPECT_GE(measured, 10);
        for (const char* page : {"tsDraws", "tsCombs", "tsDrawsStat", "tsDrawsGraph", "tsCard", "tsLayout", "tsWeek",
                                 "tsStakes", "tsRatings", "tsTables", "tsSystems", "tsScript"})
            EXPECT_TRUE(pages.contains(QLatin1String(page))) << page;
    }
}

} // namespace
