// Texts shown whole: every column header of the main window's pages and of the dialogs holds
// its caption, the property names of the information window hold theirs, the legends of the
// graphs name every series in full, and the generation dialog shows its check box whole.
// Pictures of each page and window are kept for a person to look at.

#include "app/core/views/DrawsGraph.h"
#include "app/ui/charts/ChartLegend.h"
#include "app/ui/views/DrawsGraphPage.h"
#include "app/ui/shell/FormMain.h"
#include "app/ui/shell/ProgramEnv.h"
#include "app/ui/stats/UnitConfig.h"
#include "app/ui/combs/UnitGenCombs.h"
#include "app/ui/charts/UnitGraph.h"
#include "app/ui/archive/UnitInfo.h"
#include "app/ui/stats/UnitRepeats.h"
#include "app/ui/online/UnitScrRates.h"
#include "engine/KelmaStatList.h"
#include "support/RDialogsScripted.h"
#include "support/ui/QorListView.h"
#include "support/ui/UnitExpExcel.h"
#include "tests/app_ui/shell/MainWindowTestEnv.h"
#include "tests/common/Screenshot.h"
#include "tests/fixtures/ArchiveFixtures.h"

#include <QApplication>
#include <QChart>
#include <QCheckBox>
#include <QFontMetrics>
#include <QHeaderView>
#include <QLabel>
#include <QLegend>
#include <QStyle>
#include <QTabWidget>
#include <QTableWidget>

#include <gtest/gtest.h>

#include <memory>

namespace {

// Every section of the shown horizontal headers in the window holds its caption: the
// caption's width in the header's font and the style's margin on either side. Returns how
// many captions were measured.
int ExpectHeadersFit(const QWidget& window, const std::string& where)
{
    int measured = 0;
    for (const QHeaderView* header : window.findChildren<QHeaderView*>()) {
        if (header->orientation() != Qt::Horizontal || !header->isVisible() || header->model() == nullptr)
            continue;
        const QFontMetrics metrics(header->font());
        const int margin = header->style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, header);
        const QString table = header->parentWidget() ? header->parentWidget()->objectName() : QString();
        for (int i = 0; i < header->count(); ++i) {
            if (header->isSectionHidden(i) || header->sectionSize(i) == 0)
                continue;
            const QString caption = header->model()->headerData(i, Qt::Horizontal, Qt::DisplayRole).toString();
            if (caption.isEmpty())
                continue;
            ++measured;
            EXPECT_GE(header->sectionSize(i), metrics.horizontalAdvance(caption) + 2 * margin)
                << where << ": " << table.toStdString() << " \"" << caption.toStdString() << "\"";
        }
    }
    return measured;
}

// Every name of a chart legend panel shows whole: on one line, or wrapped onto as many lines
// as it needs.
void ExpectLegendWhole(const TChartLegend* legend, int series, const std::string& where)
{
    ASSERT_NE(legend, nullptr) << where;
    ASSERT_EQ(legend->Labels().size(), series) << where;
    for (const QLabel* label : legend->Labels()) {
        const QRect needed = label->fontMetrics().boundingRect(QRect(0, 0, label->width(), 10000),
                                                               Qt::TextWordWrap, label->text());
        EXPECT_GE(label->height(), needed.height()) << where << ": " << label->text().toStdString();
        EXPECT_GE(label->width(), std::min(label->fontMetrics().horizontalAdvance(label->text()), legend->width() / 2))
            << where << ": " << label->text().toStdString();
    }
}

void ExpectPropertyNamesWhole(TFormInfo& form)
{
    form.show();
    QApplication::processEvents();
    TRListView* props = form.Props();
    ExpectHeadersFit(form, "information");
    ASSERT_GT(props->ItemCount(), 5);
    const QFontMetrics metrics(props->font());
    for (int row = 0; row < props->ItemCount(); ++row) {
        const QString name = props->Items()->CellText(row, 0);
        EXPECT_GE(props->ColumnWidth(0), metrics.horizontalAdvance(name)) << name.toStdString();
    }
    // The window grew with the column: the values stay in view.
    EXPECT_GE(props->viewport()->width(), props->ColumnWidth(0) + props->ColumnWidth(1));
    SaveScreenshot(&form, QStringLiteral("FitFormInfo"), form.size());
}

class HeaderFitTest : public MainWindowTest {};

} // namespace

TEST_F(HeaderFitTest, EveryPageOfTheMainWindow)
{
    FFolder.WriteArchive(MakeArchive(300, 5));
    auto form = Open({}, QSize(1100, 720));
    ASSERT_TRUE(form->Initialized());

    int measured = 0;
    QStringList pages;
    for (QTabWidget* tabs : form->findChildren<QTabWidget*>()) {
        for (int i = 0; i < tabs->count(); ++i) {
            if (!tabs->isTabVisible(i))
                continue;
            tabs->setCurrentIndex(i);
            QApplication::processEvents();
            const QString page = tabs->widget(i)->objectName();
            pages << page;
            measured += ExpectHeadersFit(*form, page.toStdString());
            SaveScreenshot(form.get(), QStringLiteral("MainPage_") + page, form->size());
            if (auto* graphs = qobject_cast<TDrawsGraphPage*>(tabs->widget(i))) {
                if (!graphs->Chart()->series().isEmpty())
                    ExpectLegendWhole(graphs->Legend(), int(graphs->Chart()->series().size()), "graphs page");
            }
        }
    }
    // The draws, combinations, filters, statistics, stakes, ratings and scenario tables at least.
    EXPECT_GE(measured, 30) << pages.join(QLatin1Char(' ')).toStdString();
    for (const char* page : {"tsDraws", "tsCombs", "tsDrawsStat", "tsStakes", "tsRatings", "tsScript"})
        EXPECT_TRUE(pages.contains(QLatin1String(page))) << page;
}

TEST_F(HeaderFitTest, DialogsAndWindows)
{
    TStatList list;
    list.RebuildMethods();

    TFormConfig config;
    config.LoadConfig(TConfigData{});
    config.show();
    EXPECT_GE(ExpectHeadersFit(config, "settings"), 2);
    SaveScreenshot(&config, QStringLiteral("FitFormConfig"), config.size());

    TFormExpExcel exportForm;
    exportForm.PageControl->setCurrentIndex(1);
    exportForm.show();
    EXPECT_EQ(ExpectHeadersFit(exportForm, "export"), 4);
    SaveScreenshot(&exportForm, QStringLiteral("FitExportColumns"), exportForm.size());

    const TDrawsArray draws = MakeArchive(60, 3);
    TFormRepeats repeats(draws);
    repeats.RefreshAnalyze();
    repeats.show();
    EXPECT_GE(ExpectHeadersFit(repeats, "repeats"), 3);
    SaveScreenshot(&repeats, QStringLiteral("FitFormRepeats"), repeats.size());

    TFormScrRates rates;
    rates.show();
    ExpectHeadersFit(rates, "script rates");

    // The generation dialog's check box is the longest text it has.
    TFormGenCombs generation;
    generation.show();
    auto* save = generation.findChild<QCheckBox*>(QStringLiteral("cbSaveParameters"));
    ASSERT_NE(save, nullptr);
    EXPECT_GE(save->width(), save->sizeHint().width());
    SaveScreenshot(&generation, QStringLiteral("FitFormGenCombs"), generation.size());
}

TEST_F(HeaderFitTest, PropertyNamesOfTheInformationWindowShowWhole)
{
    TMainState state;
    state.FDraws = MakeArchive(40, 2);
    state.StatList().RebuildMethods();
    int shown = 0;
    const TModalFormHandler previous = SetModalFormHandler([&](QDialog& dialog) {
        ++shown;
        ExpectPropertyNamesWhole(dynamic_cast<TFormInfo&>(dialog));
        return int(QDialog::Rejected);
    });
    ShowDrawInfo(state, 5);
    SetModalFormHandler(previous);
    EXPECT_EQ(shown, 1);
}

TEST_F(HeaderFitTest, SumDistributionLegendNamesEverySeriesWhole)
{
    int shown = 0;
    const TModalFormHandler previous = SetModalFormHandler(GraphWindowHandler([&](TFormGraph& form) {
        ++shown;
        for (const QSize size : {QSize(1000, 560), QSize(720, 480), QSize(360, 480)}) {
            form.resize(size);
            form.show();
            QApplication::processEvents();
            EXPECT_FALSE(form.Chart()->legend()->isVisible());
            ExpectLegendWhole(form.Legend(), 5, std::to_string(size.width()));
            SaveScreenshot(&form, QStringLiteral("FitSumDistribution%1").arg(size.width()), size);
        }
        // Wide enough, the names stand in two columns; narrow, one under the other.
        form.resize(1000, 560);
        QApplication::processEvents();
        EXPECT_EQ(form.Legend()->ColumnCount(), 2);
        form.resize(360, 480);
        QApplication::processEvents();
        EXPECT_EQ(form.Legend()->ColumnCount(), 1);
    }));
    TDrawsGraphPage::ShowSumDistribution(nullptr, MakeArchive(200, 4));
    SetModalFormHandler(previous);
    EXPECT_EQ(shown, 1);
}
