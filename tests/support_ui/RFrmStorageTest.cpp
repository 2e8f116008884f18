#include "support/ui/RFrmStorage.h"

#include "support/RSysUtils.h"
#include "support/ui/QorGrid.h"
#include "support/ui/QorListView.h"
#include "support/ui/RVclUtilsUi.h"

#include <QDialog>
#include <QFile>
#include <QTemporaryDir>
#include <QWidget>

#include <gtest/gtest.h>

// Windows with the class names the sections are named after.
class TFormMain : public QWidget {
    Q_OBJECT
};

class TFormFixed : public QDialog {
    Q_OBJECT
};

namespace {

class FormStorage : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(FDir.isValid());
        OverrideAppFileName(FDir.filePath("Tavrix2_2r10"));
        FPreviousMetrics = SetScreenMetricsProc([this] { return FScreen; });
    }
    void TearDown() override
    {
        SetScreenMetricsProc(FPreviousMetrics);
        OverrideAppFileName(QString());
        SetMainForm(nullptr);
    }

    QString FrmFile() const { return FDir.filePath("Tavrix2_2r10.frm"); }
    QByteArray FileBytes() const
    {
        QFile file(FrmFile());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    void WriteFile(const QByteArray& bytes) const
    {
        QFile file(FrmFile());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }

    QTemporaryDir FDir;
    TScreenMetrics FScreen{1920, 1080, 96};
    TScreenMetricsProc FPreviousMetrics;
};

} // namespace

TEST_F(FormStorage, PlacementIsWrittenInTheStoredShapeAndReadBack)
{
    TFormMain form;
    form.setGeometry(100, 120, 400, 300);
    SaveFormPlacement(&form);
    EXPECT_EQ(FileBytes(), QByteArray("[TFormMain]\r\n"
                                      "Flags=0\r\n"
                                      "ShowCmd=1\r\n"
                                      "PixelsPerInch=96\r\n"
                                      "MinMaxPos=-1,-1,-1,-1\r\n"
                                      "MinMaxPos_1920x1080=-1,-1,-1,-1\r\n"
                                      "NormPos=100,120,500,420\r\n"
                                      "NormPos_1920x1080=100,120,500,420\r\n"));

    TFormMain again;
    again.setGeometry(10, 10, 200, 150);
    RestoreFormPlacement(&again, true, true);
    EXPECT_EQ(again.geometry(), QRect(100, 120, 400, 300));
    EXPECT_EQ(again.windowState(), Qt::WindowNoState);
    EXPECT_FALSE(again.isVisible());
}

TEST_F(FormStorage, MissingFileLeavesTheWindowAsDesignedAndReadsDefaults)
{
    TFormMain form;
    form.setGeometry(30, 40, 320, 240);
    RestoreFormPlacement(&form, true, true);
    EXPECT_EQ(form.geometry(), QRect(30, 40, 320, 240));
    EXPECT_EQ(form.windowState(), Qt::WindowNoState);
    EXPECT_EQ(ReadFormInteger(&form, "Language", 1033), 1033);
    EXPECT_TRUE(ReadFormBool(&form, "FirstRun", true));
    EXPECT_FALSE(QFile::exists(FrmFile()));   // reading never creates the file
}

TEST_F(FormStorage, AnotherResolutionUsesItsOwnKeyElseThePlainOne)
{
    WriteFile("[TFormMain]\r\nPixelsPerInch=96\r\nNormPos=100,120,500,420\r\n"
              "NormPos_1920x1080=100,120,500,420\r\n");
    FScreen = {1280, 1024, 96};
    TFormMain form;
    RestoreFormPlacement(&form, false, true);
    EXPECT_EQ(form.geometry(), QRect(100, 120, 400, 300));

    WriteFile("[TFormMain]\r\nPixelsPerInch=96\r\nNormPos=100,120,500,420\r\n"
              "NormPos_1280x1024=50,60,350,260\r\n");
    RestoreFormPlacement(&form, false, true);
    EXPECT_EQ(form.geometry(), QRect(50, 60, 300, 200));
}

TEST_F(FormStorage, AnotherPixelDensityIgnoresThePositionButKeepsTheState)
{
    WriteFile("[TFormMain]\r\nShowCmd=3\r\nPixelsPerInch=96\r\nNormPos=100,120,500,420\r\n");
    FScreen = {1920, 1080, 120};
    TFormMain form;
    form.setGeometry(30, 40, 320, 240);
    RestoreFormPlacement(&form, true, true);
    EXPECT_EQ(form.geometry(), QRect(30, 40, 320, 240));
    EXPECT_TRUE(form.windowState().testFlag(Qt::WindowMaximized));
}

TEST_F(FormStorage, ShowCommandsMapToStatesAndUnknownOnesKeepTheDefault)
{
    const struct {
        int ShowCmd;
        Qt::WindowStates State;
    } cases[] = {{1, Qt::WindowNoState}, {2, Qt::WindowMinimized}, {3, Qt::WindowMaximized},
                 {5, Qt::WindowNoState}, {6, Qt::WindowMinimized}, {7, Qt::WindowMinimized},
                 {9, Qt::WindowNoState}, {0, Qt::WindowNoState},  {4, Qt::WindowNoState},
                 {8, Qt::WindowNoState}, {10, Qt::WindowNoState}};
    for (const auto& c : cases) {
        WriteFile("[TFormMain]\r\nShowCmd=" + QByteArray::number(c.ShowCmd) + "\r\n");
        TFormMain form;
        SetMainForm(&form);
        RestoreFormPlacement(&form, true, false);
        EXPECT_EQ(form.windowState(), c.State) << "ShowCmd " << c.ShowCmd;
        EXPECT_FALSE(form.isVisible());
        SetMainForm(nullptr);
    }
}

TEST_F(FormStorage, FixedSizeWindowTakesOnlyThePositionAndShortNormPosKeepsTheRest)
{
    WriteFile("[TFormFixed]\r\nNormPos=10,20,500,600\r\n");
    TFormFixed dialog;
    dialog.setFixedSize(200, 100);
    dialog.move(0, 0);
    RestoreFormPlacement(&dialog, false, true);
    EXPECT_EQ(dialog.geometry(), QRect(10, 20, 200, 100));

    // Only two fields: right and bottom stay where the window's edges are now.
    WriteFile("[TFormMain]\r\nNormPos=30,40\r\n");
    TFormMain form;
    form.setGeometry(100, 100, 300, 200);
    RestoreFormPlacement(&form, false, true);
    EXPECT_EQ(form.geometry(), QRect(30, 40, 370, 260));

    // A field that is no number reads as the current edge; blanks separate fields too.
    WriteFile("[TFormMain]\r\nNormPos=x 50\r\n");
    RestoreFormPlacement(&form, false, true);
    EXPECT_EQ(form.geometry(), QRect(30, 50, 370, 250));
    // A rectangle with its right edge left of its left edge is not applied.
    WriteFile("[TFormMain]\r\nNormPos=500,40,100,300\r\n");
    RestoreFormPlacement(&form, false, true);
    EXPECT_EQ(form.geometry(), QRect(30, 50, 370, 250));
}

TEST_F(FormStorage, FlagsAndNumbersKeepOtherSectionsAndLines)
{
    WriteFile("; kept\r\n[TFormOther]\r\nA=1\r\n");
    TFormMain form;
    WriteFormBool(&form, "FirstRun", false);
    WriteFormInteger(&form, "Language", 1049);
    WriteFormBool(&form, "AutoUpdates", true);
    EXPECT_EQ(FileBytes(), QByteArray("; kept\r\n[TFormOther]\r\nA=1\r\n\r\n[TFormMain]\r\n"
                                      "FirstRun=0\r\nLanguage=1049\r\nAutoUpdates=1\r\n"));
    EXPECT_FALSE(ReadFormBool(&form, "FirstRun", true));
    EXPECT_TRUE(ReadFormBool(&form, "AutoUpdates", false));
    EXPECT_EQ(ReadFormInteger(&form, "Language", 0), 1049);

    WriteFile("[TFormMain]\r\nLanguage=English\r\nFirstRun=yes\r\n");
    EXPECT_EQ(ReadFormInteger(&form, "Language", 1033), 1033);
    EXPECT_TRUE(ReadFormBool(&form, "FirstRun", true));
}

namespace {

void FillStatList(TRSortListView& view)
{
    view.setObjectName("lvStat");
    view.AddColumn("Значение", 60);
    view.AddColumn("Выпадений", 70);
    view.AddColumn("Последний", 80);
    view.Items()->Add({"a", {"3", "10"}});
    view.Items()->Add({"b", {"1", "9"}});
    view.Items()->Add({"c", {"2", "2,5"}});
}

QStringList Captions(const TRListView& view)
{
    QStringList result;
    for (int i = 0; i < view.ItemCount(); ++i)
        result << view.Items()->Item(i).Caption;
    return result;
}

} // namespace

TEST_F(FormStorage, ListLayoutWithSortAndFlagsRoundTrips)
{
    TFormMain form;
    TRSortListView saved(&form);
    FillStatList(saved);
    saved.SetColumnWidth(0, 90);
    saved.SetColumnWidth(1, 0);
    saved.SetGridLines(true);
    saved.SetMultiSelect(true);
    saved.SetSortColumn(2);
    saved.SetSortDirection(sdDescending);
    SaveListViewLayout(&form, &saved, true);
    EXPECT_EQ(FileBytes(), QByteArray("[TFormMain]\r\nlvStat.GridLines=1\r\nlvStat.MultiSelect=1\r\n"
                                      "lvStat.SortType=2,1\r\nlvStat.Column0=90\r\nlvStat.Column1=0\r\n"
                                      "lvStat.Column2=80\r\n"));

    TRSortListView restored(&form);
    FillStatList(restored);
    RestoreListViewLayout(&form, &restored, true);
    EXPECT_TRUE(restored.GridLines());
    EXPECT_TRUE(restored.MultiSelect());
    EXPECT_EQ(restored.SortColumn(), 2);
    EXPECT_EQ(restored.SortDirection(), sdDescending);
    EXPECT_EQ(Captions(restored), (QStringList{"a", "b", "c"}));   // 10, 9, 2,5 descending
    EXPECT_EQ(restored.ColumnWidth(0), 90);
    EXPECT_EQ(restored.ColumnWidth(1), 0);
    EXPECT_TRUE(restored.isColumnHidden(1));
    EXPECT_EQ(restored.ColumnWidth(2), 80);

    // Without the flags flag the flags are neither written nor read.
    TRSortListView plain(&form);
    FillStatList(plain);
    RestoreListViewLayout(&form, &plain, false);
    EXPECT_FALSE(plain.GridLines());
    EXPECT_FALSE(plain.MultiSelect());
}

TEST_F(FormStorage, StaleSortColumnAndBadWidthsArePassedOverInsteadOfFailing)
{
    WriteFile("[TFormMain]\r\nlvStat.SortType=7,1\r\nlvStat.Column0=-5\r\nlvStat.Column1=33\r\n"
              "lvStat.Column5=99\r\n");
    TFormMain form;
    TRSortListView view(&form);
    FillStatList(view);
    EXPECT_NO_THROW(RestoreListViewLayout(&form, &view, false));
    EXPECT_EQ(view.SortColumn(), 0);
    EXPECT_EQ(view.SortDirection(), sdDescending);
    EXPECT_EQ(Captions(view), (QStringList{"c", "b", "a"}));
    EXPECT_EQ(view.ColumnWidth(0), 60);
    EXPECT_EQ(view.ColumnWidth(1), 33);

    WriteFile("[TFormMain]\r\nlvStat.SortType=1,4\r\n");
    RestoreListViewLayout(&form, &view, false);
    EXPECT_EQ(view.SortColumn(), 1);
    EXPECT_EQ(view.SortDirection(), sdDescending);   // 4 is no direction
    EXPECT_EQ(Captions(view), (QStringList{"a", "c", "b"}));

    // One field only: the direction stays.
    WriteFile("[TFormMain]\r\nlvStat.SortType= -1 \r\n");
    RestoreListViewLayout(&form, &view, false);
    EXPECT_EQ(view.SortColumn(), -1);
}

TEST_F(FormStorage, GridColumnsRoundTripIncludingTheFixedColumn)
{
    TFormMain form;
    TROwnerDrawGrid grid(&form);
    grid.setObjectName("sgStakes");
    grid.SetColCount(3);
    grid.SetColWidth(0, 40);
    grid.SetColWidth(1, 60);
    grid.SetColWidth(2, 120);
    SaveGridLayout(&form, &grid);
    EXPECT_EQ(FileBytes(), QByteArray("[TFormMain]\r\nsgStakes.Column0=40\r\nsgStakes.Column1=60\r\n"
                                      "sgStakes.Column2=120\r\n"));
    TROwnerDrawGrid other(&form);
    other.setObjectName("sgStakes");
    other.SetColCount(3);
    RestoreGridLayout(&form, &other);
    EXPECT_EQ(other.ColWidth(0), 40);
    EXPECT_EQ(other.ColWidth(1), 60);
    EXPECT_EQ(other.ColWidth(2), 120);
}

#include "RFrmStorageTest.moc"
