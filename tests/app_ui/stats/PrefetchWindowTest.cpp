// The cache of norms through the main window: which files the settings and shredding dialogs
// rewrite or delete, and the statistics page with the norms and the ideal line.

#include "app/core/stats/EngineSettings.h"
#include "app/core/stats/PrefetchCache.h"
#include "app/ui/shell/FormMain.h"
#include "app/ui/stats/UnitConfig.h"
#include "app/ui/stats/UnitShredding.h"
#include "support/RDialogsScripted.h"
#include "support/ui/QorListView.h"
#include "support/ui/RActions.h"
#include "tests/app_ui/shell/MainWindowTestEnv.h"
#include "tests/common/Screenshot.h"
#include "tests/fixtures/ArchiveFixtures.h"

#include <QApplication>
#include <QChart>
#include <QChartView>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>
#include <set>

namespace {

// A sound file that no build of a real method gives: one record {FFFF FFFF 0 0; 7}, then the
// totals {7, 7, 0}.
QByteArray SentinelFile()
{
    return QByteArray::fromHex("ffffffff0000000007000000"
                               "070000000700000000000000");
}

class PrefetchWindowTest : public MainWindowTest {
protected:
    PrefetchWindowTest() { FFolder.WriteArchive(MakeArchive(40)); }

    std::unique_ptr<TFormMain> Open(bool prefetchsEnabled)
    {
        WriteFormState(QStringLiteral("ShowTotalLine=1\r\nPrefetchsEnabled=%1\r\n").arg(prefetchsEnabled ? 1 : 0));
        auto form = MainWindowTest::Open();
        FCache = std::make_unique<TPrefetchCache>(form->State());
        return form;
    }

    // Runs the action on the next modal dialog once its loop has started, then presses the
    // button the action returns.
    static void WhenModal(const std::function<QPushButton*(TDialogSTemplate&)>& action)
    {
        QTimer::singleShot(0, [action] {
            auto* dialog = qobject_cast<TDialogSTemplate*>(QApplication::activeModalWidget());
            ASSERT_NE(dialog, nullptr);
            if (QPushButton* button = action(*dialog))
                button->click();
        });
    }

    const TStatList& List(TFormMain& form) const { return form.State().StatList(); }

    // Every plain-valued method's file overwritten with the sentinel.
    void FillWithSentinels(TFormMain& form) const
    {
        const TStatList& list = List(form);
        QDir().mkpath(FCache->FolderName());
        for (int i = 0; i < list.Count(); ++i)
            if (list.IsPlainValue(i))
                WriteFileBytes(FCache->FileName(list.Items(i)), SentinelFile());
    }

    // The groups of the methods whose file no longer holds the sentinel, and of those whose file
    // is gone.
    std::set<int> Groups(TFormMain& form, bool missing) const
    {
        std::set<int> groups;
        const TStatList& list = List(form);
        for (int i = 0; i < list.Count(); ++i) {
            if (!list.IsPlainValue(i))
                continue;
            const QString name = FCache->FileName(list.Items(i));
            const bool gone = !QFileInfo::exists(name);
            if (missing ? gone : (!gone && ReadFileBytes(name) != SentinelFile()))
                groups.insert(list.Items(i).StatClass().Group);
        }
        return groups;
    }
    std::set<int> Rewritten(TFormMain& form) const { return Groups(form, false); }
    std::set<int> Missing(TFormMain& form) const { return Groups(form, true); }

    const TStatMethod& Method(TFormMain& form, const char* code) const
    {
        const int i = List(form).IndexOfCode(QString::fromLatin1(code));
        EXPECT_GE(i, 0) << code;
        return List(form).Items(i);
    }

    std::unique_ptr<TPrefetchCache> FCache;
};

TEST_F(PrefetchWindowTest, SettingsDialogRewritesOnlyTheGroupsItChanges)
{
    auto form = Open(true);
    const int channelSize = List(*form).Config().ChannelSize;
    ASSERT_EQ(channelSize, 2);
    FillWithSentinels(*form);

    // OK with nothing changed: no file rewritten.
    WhenModal([](TDialogSTemplate& dialog) { return dialog.OkBtn(); });
    ASSERT_TRUE(Run(*form, "EditConfig"));
    EXPECT_TRUE(Rewritten(*form).empty());
    EXPECT_TRUE(Missing(*form).empty());

    // Cancel after a change: nothing.
    WhenModal([](TDialogSTemplate& dialog) {
        static_cast<TFormConfig&>(dialog).edChannelSize->setValue(3);
        return dialog.CancelBtn();
    });
    ASSERT_TRUE(Run(*form, "EditConfig"));
    EXPECT_EQ(List(*form).Config().ChannelSize, 2);
    EXPECT_TRUE(Rewritten(*form).empty());

    // The channel size alone: the channels group's files, built from the new size.
    WhenModal([](TDialogSTemplate& dialog) {
        static_cast<TFormConfig&>(dialog).edChannelSize->setValue(3);
        return dialog.OkBtn();
    });
    ASSERT_TRUE(Run(*form, "EditConfig"));
    EXPECT_EQ(List(*form).Config().ChannelSize, 3);
    EXPECT_EQ(Rewritten(*form), (std::set<int>{ChannelsGroup}));
    EXPECT_TRUE(Missing(*form).empty());
    const TStatMethod& chan = Method(*form, "CHAN");
    EXPECT_EQ(ReadFileBytes(FCache->FileName(chan)), TPrefetchCache::BuildBytes(List(*form), chan));
    EXPECT_TRUE(ReadFileBytes(FFolder.DataFile(QStringLiteral(".ini"))).contains("ChannelSize=3"));

    // A segment cell: the segments group only.
    FillWithSentinels(*form);
    WhenModal([](TDialogSTemplate& dialog) {
        static_cast<TFormConfig&>(dialog).sgSegments->item(4, 1)->setText(QStringLiteral("7"));
        return dialog.OkBtn();
    });
    ASSERT_TRUE(Run(*form, "EditConfig"));
    EXPECT_EQ(List(*form).Config().MatrixSegments[1][4], 7);
    EXPECT_EQ(Rewritten(*form), (std::set<int>{SegmentsGroup}));
    EXPECT_TRUE(FBoxes.Boxes().isEmpty());
}

TEST_F(PrefetchWindowTest, ShreddingDialogRewritesOnlyTheShreddingGroup)
{
    auto form = Open(true);
    FillWithSentinels(*form);
    WhenModal([](TDialogSTemplate& dialog) { return dialog.CancelBtn(); });
    ASSERT_TRUE(Run(*form, "EditShredding"));
    EXPECT_TRUE(Rewritten(*form).empty());

    WhenModal([](TDialogSTemplate& dialog) {
        static_cast<TFormShredding&>(dialog).edFormula[0]->setText(QStringLiteral("n1+n2"));
        return dialog.OkBtn();
    });
    ASSERT_TRUE(Run(*form, "EditShredding"));
    EXPECT_EQ(Rewritten(*form), (std::set<int>{ShreddingGroup}));
    EXPECT_TRUE(Missing(*form).empty());
    EXPECT_TRUE(FBoxes.Boxes().isEmpty());
}

// With the option off nothing is built, but the changed group's files go, so that switching it
// on later builds them from the new settings instead of reading stale norms.
TEST_F(PrefetchWindowTest, AChangeWhileTheOptionIsOffDeletesTheChangedGroupsFiles)
{
    auto form = Open(false);
    FillWithSentinels(*form);
    WhenModal([](TDialogSTemplate& dialog) {
        static_cast<TFormConfig&>(dialog).edChannelSize->setValue(4);
        return dialog.OkBtn();
    });
    ASSERT_TRUE(Run(*form, "EditConfig"));
    EXPECT_EQ(Missing(*form), (std::set<int>{ChannelsGroup}));
    EXPECT_TRUE(Rewritten(*form).empty());

    ASSERT_TRUE(Run(*form, "DrawsStatePrefetchsEnabled"));
    EXPECT_TRUE(Missing(*form).empty());
    EXPECT_EQ(Rewritten(*form), (std::set<int>{ChannelsGroup}));
    const TStatMethod& chan = Method(*form, "CHAN");
    EXPECT_EQ(ReadFileBytes(FCache->FileName(chan)), TPrefetchCache::BuildBytes(List(*form), chan));
    EXPECT_TRUE(FBoxes.Boxes().isEmpty());
}

// The cache folder's name is taken by a file: each command that builds the files says so once,
// not once a file, and the table goes on without norms.
TEST_F(PrefetchWindowTest, FilesThatCannotBeWrittenAreToldOnce)
{
    auto form = Open(false);
    const QString folder = QDir::cleanPath(FCache->FolderName());
    QDir(folder).removeRecursively();
    WriteFileBytes(folder, "x");
    const TStatList& list = List(*form);
    int first = 0;
    while (!list.IsPlainValue(first))
        ++first;
    const QString boxStart = U("Ошибка создания файла данных для полного набора вариантов!\n\nИмя файла: ");

    ASSERT_TRUE(Run(*form, "DrawsStatePrefetchsEnabled"));
    ASSERT_EQ(FBoxes.Boxes().size(), 1);
    EXPECT_TRUE(FBoxes.Last().Text.startsWith(boxStart + FCache->FileName(list.Items(first)) + U("\n\n")))
        << FBoxes.Last().Text.toStdString();
    EXPECT_TRUE(form->State().Options.Flag(TMainOptions::PrefetchsEnabled));
    EXPECT_FALSE(form->StatTable().Data().HasExpected);

    // A settings change tries again (the missing files first): once more one box.
    FBoxes.Clear();
    WhenModal([](TDialogSTemplate& dialog) {
        static_cast<TFormConfig&>(dialog).edChannelSize->setValue(3);
        return dialog.OkBtn();
    });
    ASSERT_TRUE(Run(*form, "EditConfig"));
    ASSERT_EQ(FBoxes.Boxes().size(), 1);
    EXPECT_TRUE(FBoxes.Last().Text.startsWith(boxStart + FCache->FileName(list.Items(first))))
        << FBoxes.Last().Text.toStdString();
}

// SUMS over 40 draws with the ideal distribution drawn beside the counts.
TEST_F(PrefetchWindowTest, StatisticsPageWithNormsAndTheIdealLine)
{
    auto form = Open(true);
    auto* methods = form->findChild<QComboBox*>(QStringLiteral("cbDrawsStatType"));
    ASSERT_NE(methods, nullptr);
    const int sums = methods->findData(List(*form).IndexOfCode(QStringLiteral("SUMS")));
    ASSERT_GE(sums, 0);
    methods->setCurrentIndex(sums);

    const TStatTableData& data = form->StatTable().Data();
    ASSERT_TRUE(data.HasExpected);
    ASSERT_TRUE(data.HasIdeal);
    // The full set has 10 combinations of the sum 9 at most: the ideal point of the sum s is
    // (10 - |s - 9|) times the ratio, the window's largest count over 10.
    ASSERT_EQ(data.Ideal.size(), 19u);
    const double ratio = static_cast<double>(data.Ratio);
    EXPECT_GT(ratio, 0);
    EXPECT_DOUBLE_EQ(data.Ideal[0].Y, 1 * ratio);
    EXPECT_DOUBLE_EQ(data.Ideal[9].Y, 10 * ratio);
    EXPECT_EQ(data.Ideal[9].Label, QStringLiteral("9"));
    EXPECT_DOUBLE_EQ(data.Ideal[18].Y, 1 * ratio);

    auto* list = form->findChild<TRSortListView*>(QStringLiteral("lvDrawsStat"));
    ASSERT_NE(list, nullptr);
    for (int column : {3, 4, 5})
        EXPECT_EQ(list->ColumnWidth(column), std::max(80, list->HeaderTextWidth(column))) << column;
    QStringList seriesNames;
    for (const QAbstractSeries* series : form->findChild<QChartView*>(QStringLiteral("crtDrawsStat"))->chart()->series())
        seriesNames.append(series->name());
    EXPECT_TRUE(seriesNames.contains(QStringLiteral("Все возможные комбинации"))) << seriesNames.join('|').toStdString();
    EXPECT_FALSE(SaveScreenshot(form.get(), QStringLiteral("StatPageNorms"), QSize(1000, 680)).isEmpty());
}

} // namespace
