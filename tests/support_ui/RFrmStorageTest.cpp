#include "support/ui/RFrmStorage.h"

#include "platform/Exceptions.h"
#include "support/RDialogsScripted.h"
#include "support/RSysUtils.h"
#include "support/ui/QorGrid.h"
#include "support/ui/QorListView.h"
#include "support/ui/RVclUtilsUi.h"
#include "tests/support_ui/FormStorageTestEnv.h"

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QWidget>

#include <gtest/gtest.h>

#include <functional>

// Windows with the class names the sections are named after.
class TFormMain : public QWidget {
    Q_OBJECT
};

class TFormFixed : public QDialog {
    Q_OBJECT
};

namespace {

class FormStorage : public TFormStorageFixture {};

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
    FScreen = {1280, 1024, 96, {QRect(0, 0, 1280, 984)}};
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
    FScreen = {1920, 1080, 120, {QRect(0, 0, 1920, 1040)}};
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

TEST_F(FormStorage, PlacementComesBackWholeOnTheWorkArea)
{
    // A panel 30 pixels high along the top of a 1920 x 1080 screen.
    FScreen.WorkAreas = {QRect(0, 30, 1920, 1050)};
    const struct {
        const char* NormPos;
        QRect Expected;
    } cases[] = {
        {"100,120,500,420", QRect(100, 120, 400, 300)},          // on the screen: exactly as stored
        {"1520,780,1920,1080", QRect(1520, 780, 400, 300)},      // touching the right and bottom edges
        {"0,30,1920,1080", QRect(0, 30, 1920, 1050)},            // the whole work area
        {"1521,781,1921,1081", QRect(1520, 780, 400, 300)},      // one pixel past them
        {"1900,200,2300,500", QRect(1520, 200, 400, 300)},       // saved at the right edge
        {"300,1070,700,1370", QRect(300, 780, 400, 300)},        // at the bottom edge
        {"2500,1500,2900,1800", QRect(1520, 780, 400, 300)},     // past both: off every screen
        {"-300,-50,100,250", QRect(0, 30, 400, 300)},            // negative: title bar above the top
        {"100,10,500,310", QRect(100, 30, 400, 300)},            // under the panel
        {"0,0,5010,5010", QRect(0, 30, 1920, 1050)},             // a damaged file's huge window
        {"-2000,-2000,3010,3010", QRect(0, 30, 1920, 1050)},
        {"1000,500,3000,900", QRect(0, 500, 1920, 400)},         // too wide only
        {"-2147483648,-2147483648,2147483647,2147483647", QRect(0, 30, 1920, 1050)},
        {"2147483000,2147483000,2147483600,2147483300", QRect(1320, 780, 600, 300)},
    };
    for (const auto& c : cases) {
        WriteFile(QByteArray("[TFormMain]\r\nPixelsPerInch=96\r\nNormPos=") + c.NormPos + "\r\n");
        TFormMain form;
        form.setGeometry(10, 40, 200, 150);
        RestoreFormPlacement(&form, true, true);
        EXPECT_EQ(form.geometry(), c.Expected) << c.NormPos;
        EXPECT_TRUE(FScreen.WorkAreas.first().contains(form.frameGeometry())) << c.NormPos;
    }
}

TEST_F(FormStorage, ALargeDialogOfFixedSizeKeepsItsTitleBarOnTheScreen)
{
    FScreen.WorkAreas = {QRect(0, 0, 800, 600)};
    WriteFile("[TFormFixed]\r\nPixelsPerInch=96\r\nNormPos=-100,700,0,0\r\n");
    TFormFixed dialog;
    dialog.setFixedSize(1000, 700);
    RestoreFormPlacement(&dialog, false, true);
    EXPECT_EQ(dialog.geometry(), QRect(0, 0, 1000, 700));
}

TEST(PlaceOnWorkArea, ChoosesTheScreenAndCountsTheFrame)
{
    const QList<QRect> screens = {QRect(0, 0, 1920, 1040), QRect(1920, -200, 1280, 984)};
    const QMargins titled(4, 30, 4, 4);
    const struct {
        QRect Wanted;
        QMargins Frame;
        QSize Minimum;
        QRect Expected;
    } cases[] = {
        // On the second screen it stays there, also partly above the first one's top.
        {QRect(2000, -150, 600, 400), {}, {}, QRect(2000, -150, 600, 400)},
        // Mostly on the second screen: pulled wholly onto it.
        {QRect(1800, 100, 600, 400), {}, {}, QRect(1920, 100, 600, 400)},
        // Mostly on the first: pulled onto the first.
        {QRect(1500, 100, 600, 400), {}, {}, QRect(1320, 100, 600, 400)},
        // Past the right edge of the second screen, and its bottom.
        {QRect(3100, 500, 600, 400), {}, {}, QRect(2600, 384, 600, 400)},
        // Beside the second screen but below it: on no screen.
        {QRect(3100, 900, 600, 400), {}, {}, QRect(1320, 640, 600, 400)},
        // Off every screen: the first (primary) one.
        {QRect(-5000, 4000, 600, 400), {}, {}, QRect(0, 640, 600, 400)},
        // With a frame the title bar and borders come onto the screen too.
        {QRect(-10, -10, 600, 400), titled, {}, QRect(0, 0, 600, 400)},
        {QRect(1500, 900, 600, 400), titled, {}, QRect(1312, 606, 600, 400)},
        // Too large: the client area is cut so that client and frame fill the work area.
        {QRect(0, 0, 5010, 5010), titled, {}, QRect(0, 0, 1912, 1006)},
        // A window that cannot be made that small keeps its corner on the screen.
        {QRect(500, 500, 5010, 5010), titled, QSize(2500, 1200), QRect(0, 0, 2500, 1200)},
        {QRect(500, 500, 300, 200), {}, QSize(400, 250), QRect(500, 500, 400, 250)},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(PlaceOnWorkArea(c.Wanted, c.Frame, c.Minimum, screens), c.Expected)
            << c.Wanted.x() << "," << c.Wanted.y() << " " << c.Wanted.width() << "x" << c.Wanted.height();
    }
    EXPECT_EQ(PlaceOnWorkArea(QRect(-50, -50, 10, 10), {}, {}, {}), QRect(-50, -50, 10, 10));
}

TEST_F(FormStorage, AShownWindowRoundTripsItsFramePosition)
{
    FScreen.WorkAreas = {QRect(0, 0, 800, 800)};
    TFormMain form;
    form.resize(300, 200);
    form.move(40, 50);
    form.show();
    QApplication::processEvents();
    // Left and top are the frame's, right and bottom add the client area's size.
    const QRect client = form.geometry();
    SaveFormPlacement(&form);
    EXPECT_TRUE(FileBytes().contains("NormPos=40,50,340,250\r\n")) << FileBytes().constData();
    ASSERT_EQ(form.pos(), QPoint(40, 50));

    // Placed at the top-left corner, the window's frame (not its client area) starts there.
    WriteFile("[TFormMain]\r\nPixelsPerInch=96\r\nNormPos=-20,-20,280,180\r\n");
    RestoreFormPlacement(&form, false, true);
    QApplication::processEvents();
    EXPECT_EQ(form.pos(), QPoint(0, 0));
    EXPECT_EQ(form.size(), QSize(300, 200));
    EXPECT_EQ(form.frameGeometry().topLeft(), QPoint(0, 0));
    EXPECT_EQ(form.geometry().topLeft(), client.topLeft() - QPoint(40, 50));
    form.hide();
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
    // Captions that fit the given widths: a narrower width would be widened to its caption.
    view.AddColumn("Знач", 60);
    view.AddColumn("Выпад", 70);
    view.AddColumn("Посл", 80);
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

// A stored grid width is the user's: exact, even below the header text's width, and kept when
// the grid is shown. What does not fit the grid leaves its own width, still fitted to the header.
TEST_F(FormStorage, GridWidthsAreExactAndWhatDoesNotFitIsPassedOver)
{
    WriteFile("[TFormMain]\r\ng.Column0=41\r\ng.Column1=abc\r\ng.Column2=-5\r\ng.Column3=2000000\r\n"
              "g.Column5=70\r\n");
    TFormMain form;
    TROwnerDrawGrid grid(&form);
    grid.setObjectName("g");
    grid.SetFixedCols(0);
    grid.SetColCount(5);
    grid.OnGetCellText = [](TROwnerDrawGrid*, int, int row, QString& value) {
        value = row == 0 ? QString::fromUtf8("Результаты тиража") : QString();
    };
    for (int col = 0; col < 5; ++col)
        grid.SetColWidth(col, 30);
    const int fitted = grid.HeaderTextWidth(0);
    ASSERT_GT(fitted, 41);
    RestoreGridLayout(&form, &grid);
    form.show();
    // Column 4 has no key; Column5 names no column of the grid.
    const int expected[] = {41, fitted, fitted, fitted, fitted};
    for (int col = 0; col < 5; ++col)
        EXPECT_EQ(grid.ColWidth(col), expected[col]) << col;
}

#include "RFrmStorageTest.moc"

// A form-state file that cannot be read (a folder in its place stops even a privileged user):
// windows take their defaults and the user is told once; nothing replaces it.
// Once it reads again, a later failure is told again.
TEST_F(FormStorage, UnreadableFileIsToldOnceAndReadsAsDefaults)
{
    TScriptedBoxes boxes;
    ASSERT_TRUE(QDir().mkpath(FrmFile()));
    TFormMain form;
    form.setGeometry(10, 20, 300, 200);

    struct TRead {
        const char* Name;
        std::function<bool()> Check;
    } const reads[] = {
        {"integer", [&] { return ReadFormInteger(&form, "Language", 1033) == 1033; }},
        {"boolean", [&] { return ReadFormBool(&form, "AutoUpdates", true); }},
        {"placement", [&] {
             RestoreFormPlacement(&form, true, true);
             return form.geometry() == QRect(10, 20, 300, 200);
         }},
    };
    for (const TRead& read : reads)
        EXPECT_TRUE(read.Check()) << read.Name;
    ASSERT_EQ(boxes.Boxes().size(), 1);
    EXPECT_EQ(boxes.Last().Icon, TBoxIcon::Exclamation);
    EXPECT_EQ(boxes.Last().Text,
              QString::fromUtf8("Не удалось прочитать файл параметров программы \"%1\": на месте файла находится "
                                "каталог\n\nПоложение и размеры окон, ширина столбцов и параметры программы взяты по "
                                "умолчанию.")
                  .arg(FrmFile()));
    // Told once: single changes are dropped; the batch of the shut-down says it could not write.
    EXPECT_NO_THROW(WriteFormInteger(&form, "Language", 1049));
    EXPECT_NO_THROW(SaveFormPlacement(&form));
    try {
        TFormStorageBatch batch;
        ADD_FAILURE() << "a batch opened";
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message(), QString::fromUtf8("Не удалось записать файл параметров программы \"%1\": на месте "
                                                 "файла находится каталог").arg(FrmFile()));
    }
    EXPECT_TRUE(QFileInfo(FrmFile()).isDir());
    EXPECT_EQ(boxes.Boxes().size(), 1);

    ASSERT_TRUE(QDir().rmdir(FrmFile()));
    WriteFormInteger(&form, "Language", 1049);
    EXPECT_EQ(ReadFormInteger(&form, "Language", 1033), 1049);
    ASSERT_TRUE(QFile::remove(FrmFile()));
    ASSERT_TRUE(QDir().mkpath(FrmFile()));
    EXPECT_EQ(ReadFormInteger(&form, "Language", 1033), 1033);
    EXPECT_EQ(boxes.Boxes().size(), 2);
}

// No size, length or option of a window comes near Qt's largest widget size; a stored number
// beyond it is damage and reads as the default (the windows add to what they read).
TEST_F(FormStorage, NumbersBeyondAnyWindowSizeReadAsTheDefault)
{
    struct TCase {
        const char* Stored;
        int Read;
    } const cases[] = {
        {"16777215", 16777215}, {"16777216", -1},   {"-16777215", -16777215}, {"-16777216", -1},
        {"2147483647", -1},     {"-2147483648", -1}, {"$FFFFFF", 16777215},    {"0", 0},
    };
    TFormMain form;
    for (const TCase& c : cases) {
        WriteFile(QByteArray("[TFormMain]\r\nLeftPanelWidth=") + c.Stored + "\r\n");
        EXPECT_EQ(ReadFormInteger(&form, "LeftPanelWidth", -1), c.Read) << c.Stored;
    }
}
