// The main window's life: closing, the form state written at shut-down and read at the next start
// (columns and pane heights whatever page was in sight), a second copy, a download.

#include "tests/app_ui/shell/MainWindowTestEnv.h"

#include "app/core/archive/ResultsPage.h"
#include "app/ui/charts/UnitGraph.h"
#include "app/ui/shell/FrameClose.h"
#include "app/ui/online/OnlineScriptsPanel.h"
#include "app/ui/stakes/TablesPage.h"
#include "engine/KelmaMsg.h"
#include "platform/FolderLock.h"
#include "support/RMsgTypes.h"
#include "support/RSelfUpdate2.h"
#include "support/RVclUtils.h"
#include "support/ui/FormWait.h"
#include "support/ui/QorGrid.h"
#include "support/ui/RActions.h"
#include "support/ui/RFrmStorage.h"
#include "support/ui/RMsgViewer.h"
#include "tests/common/FileWrites.h"
#include "tests/common/Screenshot.h"
#include "tests/fixtures/ArchiveFixtures.h"
#include "tests/standin/HttpStandIn.h"
#include "tests/standin/OperatorSite.h"
#include "tests/support_ui/KeyInput.h"

#include <QApplication>
#include <QDir>
#include <QHeaderView>
#include <QMessageBox>
#include <QMouseEvent>
#include <QSpinBox>
#include <QSplitter>
#include <QTabBar>
#include <QTabWidget>
#include <QTimer>
#include <QWheelEvent>
#include <QWindow>

#include <gtest/gtest.h>

#include <xcb/xcb.h>

namespace {

TEST_F(MainWindowTest, CloseWhileBusyWaitsForTheLongOperation)
{
    auto form = Open();
    StartWait();
    form->close();
    QApplication::processEvents();
    EXPECT_TRUE(form->isVisible());
    StopWait();
    EXPECT_TRUE(WaitUntil([&] { return !form->isVisible(); }, 5000));
}

// The program's event loop ends with its main window, whatever else is open or going on when it
// closes; a close from the frame while a modal window is open waits for that window. The update
// whose package leaves a player's file, told in the viewer, still starts the new copy.
TEST_F(MainWindowTest, TheProgramEndsWithItsMainWindow)
{
    InstallMessageViewer();
    TSelfUpdateHooks hooks;
    hooks.ConfirmUpdate = [](auto&&...) { return true; };
    const TSelfUpdateHooks previousHooks = SetSelfUpdateHooks(hooks);
    QTemporaryDir server;
    const QString package = server.filePath("setup.sh");
    WriteFileBytes(package, "#!/bin/sh\nprintf '#!/bin/sh\\necho $1 > restarted' > Tavrix2_2r10\n"
                            "chmod +x Tavrix2_2r10\ntouch Tavrix2_2r10.ini\n");
    QFile::setPermissions(package, QFile::ReadOwner | QFile::ExeOwner);
    QDir(server.path()).mkpath("files/autoupdates");
    WriteFileBytes(server.filePath("files/autoupdates/Kelma_AU.cfg"),
                   "[Tavrix2_2r10]\nVerId=9.9.9.9\nOriginalFileName=setup.sh\nDownloadUrl=" + package.toUtf8());

    // The frame's close box while a modal window is open: the window stays until it is gone.
    const auto closeFrame = [](TFormMain& form, const std::function<void()>& closeModal) {
        TFrameCloseFilter frame(form, 1, 2);
        xcb_client_message_event_t close{XCB_CLIENT_MESSAGE, 32, 0, quint32(form.winId()), 1, {.data32 = {2}}};
        frame.nativeEventFilter("xcb_generic_event_t", &close, nullptr);
        QTimer::singleShot(0, &form, [&form, closeModal] { EXPECT_TRUE(form.isVisible()); closeModal(); });
    };
    const std::pair<const char*, std::function<void(TFormMain&)>> cases[] = {
        {"update", [&](TFormMain& form) {
             qputenv("TAVRIX_SERVER_URL", server.path().toUtf8());
             form.Action(TCommand::CheckUpdate)->trigger();
             qunsetenv("TAVRIX_SERVER_URL");
             EXPECT_TRUE(MsgViewer() && MsgViewer()->isVisible() && MsgViewer()->Count() == 1);
         }},
        {"graph", [&](TFormMain& form) {
             QTimer::singleShot(0, &form, [&] {
                 closeFrame(form, [] { QApplication::activeModalWidget()->close(); });
             });
             ShowGraph(&form, QString(), {});
         }},
        {"busy", [](TFormMain& form) { StartWait(); form.close(); StopWait(); }},
        // The download's question after a failed request, a real box, while the frame is closed.
        {"question", [&](TFormMain& form) {
             THttpStandIn server;
             TOperatorSite site{server};
             ASSERT_TRUE(server.Start());
             site.SetFailure(TOperatorSite::TFailure::ServerError);
             qputenv(OperatorSiteEnv, server.BaseUrl().toLatin1());
             const TMessageBoxHandler previous = SetMessageBoxHandler([&](const TBoxRequest& box) {
                 QMessageBox question(QMessageBox::Question, box.Title, box.Text, QMessageBox::Yes | QMessageBox::No);
                 QTimer::singleShot(0, &question, [&] { closeFrame(form, [&] { question.done(QMessageBox::No); }); });
                 return question.exec() == QMessageBox::Yes ? IDYES : IDNO;
             });
             form.Action(TCommand::DrawsDownload)->trigger();
             SetMessageBoxHandler(previous);
             qunsetenv(OperatorSiteEnv);
         }},
    };
    for (const auto& [name, close] : cases) {
        SCOPED_TRACE(name);
        auto form = Open();
        QTimer::singleShot(0, form.get(), [&, close = close] { close(*form); });
        QTimer::singleShot(30000, form.get(), [] { QCoreApplication::exit(-1); });   // a loop that goes on
        EXPECT_EQ(RunMainWindow(*form), 0);
        delete MsgViewer();
    }
    EXPECT_TRUE(WaitUntil([&] { return ReadFileBytes(FFolder.File("restarted")) == "restart\n"; }));
    SetSelfUpdateHooks(previousHooks);
    SetViewerMessageSink(nullptr);
}

// The form state that the main window kept at shut-down before it gathered its values into one
// write, for the window below: the golden bytes of the file. The ten column layouts stand in the
// order they are restored in; the lines of the seven lists kept before the stakes grid, the rules
// and the online library joined them are those they always were.
const char kShutDownFormState[] =
    "[TFormMain]\r\n"
    "DownloadDrawsOnStart=2\r\n"
    "PrefetchsInit=1\r\n"
    "NormPos=40,30,1040,710\r\n"
    "KeptByNobody=7\r\n"
    "Flags=0\r\n"
    "ShowCmd=1\r\n"
    "PixelsPerInch=96\r\n"
    "MinMaxPos=-1,-1,-1,-1\r\n"
    "MinMaxPos_1920x1080=-1,-1,-1,-1\r\n"
    "NormPos_1920x1080=40,30,1040,710\r\n"
    "LeftPanelWidth=320\r\n"
    "DrawsExclude=10\r\n"
    "DrawsStatLen=250\r\n"
    "DrawsStatHeight=208\r\n"
    "FiltersHeight=120\r\n"
    "lvDraws.Column0=54\r\n"
    "lvDraws.Column1=24\r\n"
    "lvDraws.Column2=24\r\n"
    "lvDraws.Column3=30\r\n"
    "lvDraws.Column4=150\r\n"
    "lvCombs.Column0=80\r\n"
    "lvCombs.Column1=30\r\n"
    "lvCombs.Column2=30\r\n"
    "lvCombs.Column3=30\r\n"
    "lvFilters.Column0=169\r\n"
    "lvFilters.Column1=70\r\n"
    "lvFilters.Column2=91\r\n"
    "lvDrawsStat.SortType=1,0\r\n"
    "lvDrawsStat.Column0=120\r\n"
    "lvDrawsStat.Column1=86\r\n"
    "lvDrawsStat.Column2=80\r\n"
    "lvDrawsStat.Column3=0\r\n"
    "lvDrawsStat.Column4=0\r\n"
    "lvDrawsStat.Column5=0\r\n"
    "lvDrawsStat.Column6=80\r\n"
    "lvDrawsStat.Column7=90\r\n"
    "lvDrawsStat.Column8=80\r\n"
    "lvDrawsStat.Column9=91\r\n"
    "lvDrawsStat.Column10=87\r\n"
    "lvDrawsStat.Column11=80\r\n"
    "lvDrawsStat.Column12=90\r\n"
    "lvDrawsStat.Column13=80\r\n"
    "lvDrawsStat.Column14=80\r\n"
    "lvDrawsStat.Column15=80\r\n"
    "lvDrawsStat.Column16=80\r\n"
    "lvDrawsStat.Column17=80\r\n"
    "lvDrawsStat.Column18=80\r\n"
    "lvDrawsStat.Column19=80\r\n"
    "sgStakes.Column0=75\r\n"
    "sgStakes.Column1=82\r\n"
    "sgStakes.Column2=120\r\n"
    "sgStakes.Column3=66\r\n"
    "sgStakes.Column4=142\r\n"
    "sgStakes.Column5=88\r\n"
    "sgStakes.Column6=88\r\n"
    "sgStakes.Column7=60\r\n"
    "sgStakes.Column8=1000\r\n"
    "lvRatings.SortType=3,1\r\n"
    "lvRatings.Column0=200\r\n"
    "lvRatings.Column1=60\r\n"
    "lvRatings.Column2=62\r\n"
    "lvRatings.Column3=64\r\n"
    "lvRatings.Column4=80\r\n"
    "lvRatings.Column5=83\r\n"
    "lvRatings.Column6=30\r\n"
    "lvRatings.Column7=30\r\n"
    "lvRatings.Column8=30\r\n"
    "lvRatings.Column9=70\r\n"
    "lvRatings.Column10=70\r\n"
    "lvRatings.Column11=70\r\n"
    "lvTables.SortType=-1,0\r\n"
    "lvTables.Column0=200\r\n"
    "lvTables.Column1=164\r\n"
    "lvTables.Column2=50\r\n"
    "lvTables.Column3=154\r\n"
    "lvTables.Column4=60\r\n"
    "lvSystems.SortType=2,0\r\n"
    "lvSystems.Column0=200\r\n"
    "lvSystems.Column1=150\r\n"
    "lvSystems.Column2=50\r\n"
    "lvSystems.Column3=50\r\n"
    "lvSystems.Column4=91\r\n"
    "lvSystems.Column5=139\r\n"
    "lvSystems.Column6=80\r\n"
    "lvSystems.Column7=80\r\n"
    "lvSystems.Column8=139\r\n"
    "lvSystems.Column9=200\r\n"
    "lvSystems.Column10=200\r\n"
    "lvScript.Column0=160\r\n"
    "lvScript.Column1=280\r\n"
    "lvScript.Column2=200\r\n"
    "lvScript.Column3=200\r\n"
    "lvScript.Column4=200\r\n"
    "lvScript.Column5=200\r\n"
    "lvScript.Column6=200\r\n"
    "lvScript.Column7=200\r\n"
    "lvScript.Column8=200\r\n"
    "lvOnlineScripts.Column0=75\r\n"
    "lvOnlineScripts.Column1=160\r\n"
    "lvOnlineScripts.Column2=100\r\n"
    "lvOnlineScripts.Column3=100\r\n"
    "lvOnlineScripts.Column4=55\r\n"
    "lvOnlineScripts.Column5=45\r\n"
    "lvOnlineScripts.Column6=140\r\n"
    "lvOnlineScripts.Column7=60\r\n"
    "lvOnlineScripts.Column8=56\r\n"
    "lvOnlineScripts.Column9=96\r\n"
    "lvOnlineScripts.Column10=67\r\n"
    "lvOnlineScripts.Column11=140\r\n"
    "lvOnlineScripts.Column12=250\r\n"
    "ScriptLibraryHeight=200\r\n"
    "ScriptLibraryFilter=2\r\n"
    "DrawsGraphLen=100\r\n"
    "LayoutLen=100\r\n"
    "LayoutCompareLen1=50\r\n"
    "LayoutCompareLen2=100\r\n"
    "LayoutCompareLen3=200\r\n"
    "LayoutCompareLen4=300\r\n"
    "LayoutCompareLen5=400\r\n"
    "LayoutCompareHeight=180\r\n"
    "WeekLen=1000\r\n"
    "WeekHeight=200\r\n"
    "[TFormConfig]\r\n"
    "NormPos=10,20,300,400\r\n";

// Shut-down keeps every value of the window in one atomic write of the form-state file: the
// bytes are those the window wrote value by value, other windows' sections and keys that the
// window does not keep stay where they were; the next start restores them.
TEST_F(MainWindowTest, ShutDownWritesTheWholeFormStateOnceAsBefore)
{
    const TScreenMetricsProc previous =
        SetScreenMetricsProc([] { return TScreenMetrics{1920, 1080, 96, {QRect(0, 0, 1920, 1040)}}; });
    FFolder.WriteArchive(MakeArchive(20));
    WriteFormState(QStringLiteral("NormPos=40,30,1040,710\r\nKeptByNobody=7\r\n"
                                  "[TFormConfig]\r\nNormPos=10,20,300,400\r\n"));
    {
        auto form = Open();
        DrawsList(*form)->SetColumnWidth(4, 150);
        form->findChild<QSplitter*>(QStringLiteral("splMain"))->setSizes({320, 600});
        form->findChild<QSpinBox*>(QStringLiteral("edDrawsStatLen"))->setValue(250);
        TFileWriteCounter writes(FFolder.DataFile(".frm"));
        ASSERT_TRUE(writes.IsValid());
        form.reset();
        EXPECT_EQ(writes.Count(), 1);
    }
    SetScreenMetricsProc(previous);
    const QByteArray saved = ReadFileBytes(FFolder.DataFile(".frm"));
    EXPECT_EQ(saved, QByteArray(kShutDownFormState)) << saved.toStdString();
    EXPECT_TRUE(FBoxes.Boxes().isEmpty());

    // The next start reads the widths back.
    auto form = Open();
    EXPECT_EQ(DrawsList(*form)->ColumnWidth(4), 150);
    EXPECT_EQ(form->findChild<QTabWidget*>(QStringLiteral("pcLists"))->width(), 320);
}

// A first start, or a placement kept at other pixels per inch, fits the free area of a small
// screen; a large one keeps the designed size.
TEST_F(MainWindowTest, APlacementNotKeptForTheScreenFitsItsFreeArea)
{
    const std::pair<QRect, const char*> cases[] = {{QRect(0, 0, 800, 570), ""}, {QRect(0, 0, 1024, 738), ""},
                                                   {QRect(0, 0, 800, 570), "NormPos=0,0,1500,1000\r\nPixelsPerInch=120"}};
    for (const auto& [area, state] : cases) {
        const TScreenMetricsProc previous = SetScreenMetricsProc([area] { return TScreenMetrics{1, 1, 96, {area}}; });
        WriteFormState(QString::fromLatin1(state));
        TFormMain form{QStringList()};
        SetScreenMetricsProc(previous);
        SaveScreenshot(&form, QStringLiteral("MainFirstStart%1").arg(area.width()), form.size());
        EXPECT_TRUE(area.contains(form.frameGeometry())) << area.width();
        EXPECT_EQ(form.size() == QSize(1000, 680), area.width() > 1000) << area.width();
    }
}

// Drags a splitter's handle so that its lower pane is that high.
void SetLowerPane(const TFormMain& form, const char* splitter, int height)
{
    auto* widget = form.findChild<QSplitter*>(QLatin1String(splitter));
    widget->setSizes({widget->height() - height, height});
    QApplication::processEvents();
}

// The columns of the stakes grid, the rules and the online library, and the heights of the
// filter list and the library, come back whatever page was in sight at the close.
TEST_F(MainWindowTest, ColumnsAndPaneHeightsComeBackAsLeftWhateverPageWasInSight)
{
    FFolder.WriteArchive(MakeArchive(20));
    const auto stakes = [](const TFormMain& form) { return Child<TROwnerDrawGrid>(form, "sgStakes"); };
    const auto rules = [](const TFormMain& form) { return form.TablesPage()->List(); };
    const auto library = [](const TFormMain& form) { return form.OnlineScriptsPanel()->LvOnlineScripts(); };
    {
        auto form = Open();
        // Dragged by the user: "№ тиража" and "Название" narrower than their header texts.
        stakes(*form)->horizontalHeader()->resizeSection(0, 41);
        rules(*form)->header()->resizeSection(0, 333);
        library(*form)->header()->resizeSection(1, 47);
        ShowPage(*form, "tsScript");
        SetLowerPane(*form, "splScripts", 150);
        ShowPage(*form, "tsCombs");
        SetLowerPane(*form, "splCombs", 90);
        ShowPage(*form, "tsDraws");
        ShowPage(*form, "tsStakes");
    }
    // The first start closes with neither the library nor the filter list ever in sight; the
    // second shows the library.
    for (const bool showLibrary : {false, true}) {
        auto form = Open();
        ShowPage(*form, "tsStakes");
        EXPECT_EQ(stakes(*form)->ColWidth(0), 41);
        EXPECT_EQ(stakes(*form)->ColWidth(1), 82);   // the header's width, as before
        EXPECT_EQ(rules(*form)->ColumnWidth(0), 333);
        EXPECT_EQ(library(*form)->ColumnWidth(1), 47);
        if (showLibrary) {
            ShowPage(*form, "tsScript");
            EXPECT_EQ(form->OnlineScriptsPanel()->height(), 150);
        }
        form.reset();
        const QByteArray saved = ReadFileBytes(FFolder.DataFile(".frm"));
        EXPECT_TRUE(saved.contains("\r\nFiltersHeight=90\r\n"));
        EXPECT_TRUE(saved.contains("\r\nScriptLibraryHeight=150\r\n"));
    }
    EXPECT_TRUE(FBoxes.Boxes().isEmpty());
}

// Numbers of draws are not sizes: the largest a box takes comes back as it was left.
TEST_F(MainWindowTest, LengthsUpToTheLargestComeBack)
{
    WriteFormState("DrawsExclude=2147483647\r\nDrawsStatLen=2147483647\r\nDrawsGraphLen=2147483647\r\n"
                   "LayoutLen=2147483647\r\nLayoutCompareLen1=2147483647\r\nWeekLen=2147483647\r\n");
    auto form = Open();
    for (const char* page : {"tsDrawsGraph", "tsLayout", "tsWeek"})
        ShowPage(*form, page);
    for (const char* box : {"edCombsExclude", "edDrawsStatLen", "edDrawsGraphLen", "edLayoutLen", "edLayoutCmp1", "edWeekLen"})
        EXPECT_EQ(Child<QSpinBox>(*form, box)->value(), 2147483647) << box;
}

// A form state that cannot be saved is told once, and the file keeps what it held.
TEST_F(MainWindowTest, AFormStateThatCannotBeSavedIsToldOnceAndTheFileIsKept)
{
    FFolder.WriteArchive(MakeArchive(20));
    const QByteArray before = ReadFileBytes(FFolder.DataFile(".frm"));
    {
        auto form = Open();
        // A folder where the temporary file goes: no save can begin.
        ASSERT_TRUE(QDir().mkpath(FFolder.DataFile(".frm.~sav/x")));
    }
    ASSERT_EQ(FBoxes.Boxes().size(), 1);
    EXPECT_EQ(FBoxes.Last().Title, "Ошибка");
    EXPECT_TRUE(FBoxes.Last().Text.startsWith(LoadResString(rsFormStateSaveError).section(QLatin1Char('%'), 0, 0)))
        << FBoxes.Last().Text.toStdString();
    EXPECT_EQ(ReadFileBytes(FFolder.DataFile(".frm")), before);
}

TEST_F(MainWindowTest, ASettingsFileThatCannotBeReadIsToldOnceAndLeavesTheDefaults)
{
    const TConfigData fresh = Open()->State().StatList().Config();
    QFile::remove(FFolder.DataFile(".ini"));
    ASSERT_TRUE(QDir().mkpath(FFolder.DataFile(".ini")));   // a folder where the file should be
    FBoxes.Clear();
    auto form = Open();
    // The engine's settings and the proxy's come from the one file: one box tells its reason.
    ASSERT_EQ(FBoxes.Boxes().size(), 1);
    EXPECT_TRUE(FBoxes.Last().Text.startsWith(U("Ошибка чтения файла конфигурации!\n\n")));
    EXPECT_TRUE(form->State().StatList().Config() == fresh);
}

TEST_F(MainWindowTest, SecondWindowOnAHeldFolderEndsAndWritesNothing)
{
    FFolder.WriteArchive(MakeArchive(20));
    const QByteArray formState = ReadFileBytes(FFolder.DataFile(".frm"));
    TFolderLock other;
    ASSERT_TRUE(other.Acquire(FFolder.Path()));
    {
        auto form = Open({QStringLiteral("loadonly")});
        ASSERT_EQ(FBoxes.Boxes().size(), 1);
        EXPECT_EQ(FBoxes.Last().Title, "Ошибка");
        EXPECT_EQ(FBoxes.Last().Text, LoadResString(rsExclusiveAccessError));
        EXPECT_TRUE(form->EndRequested());
        EXPECT_EQ(form->ExitCode(), 1);
        // The archive of the other copy was not even read.
        EXPECT_TRUE(form->State().FDraws.empty());
        EXPECT_TRUE(WaitUntil([&] { return !form->isVisible(); }, 5000));
    }
    EXPECT_EQ(ReadFileBytes(FFolder.DataFile(".frm")), formState);
}

// The operator's site on a stand-in that answers only when the test lets it.
class TSlowSite {
public:
    TSlowSite()
    {
        EXPECT_TRUE(FServer.Start());
        qputenv(OperatorSiteEnv, FServer.BaseUrl().toLatin1());
        FServer.HoldReplies();
    }
    ~TSlowSite() { qunsetenv(OperatorSiteEnv); }

    THttpStandIn FServer;
    TOperatorSite FSite{FServer};
};

TEST_F(MainWindowTest, DownloadKeepsTheWindowFromInputAndFromOtherCommandsUntilItEnds)
{
    // Ten draws up to 08/05 E; today is 08/10.
    FFolder.WriteArchive(MakeArchive(10));
    TSlowSite site;
    auto form = Open();
    ASSERT_TRUE(ActivateWindow(form.get()));
    auto* offset = form->findChild<QSpinBox*>(QStringLiteral("edDrawsOffset"));
    auto* pages = form->findChild<QTabWidget*>(QStringLiteral("pcLists"));
    TRListView* list = DrawsList(*form);
    ASSERT_EQ(offset->maximum(), 9);
    const auto wheel = [offset] {
        QWheelEvent event(QPointF(5, 5), offset->mapToGlobal(QPointF(5, 5)), QPoint(), QPoint(0, 120), Qt::NoButton,
                          Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(offset, &event);
    };
    const auto click = [](QWidget* widget, const QPoint& at) {
        for (const QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
            QMouseEvent event(type, at, widget->mapToGlobal(at), Qt::LeftButton,
                              type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton, Qt::NoModifier);
            QApplication::sendEvent(widget, &event);
        }
    };
    const auto rowCentre = [list](int row) { return list->visualRect(list->model()->index(row, 0)).center(); };

    // Idle, the same inputs do what they are for.
    wheel();
    EXPECT_EQ(form->State().DrawsOffset(), 1);
    offset->setFocus();
    TypeKey(form.get(), Qt::Key_Down);
    EXPECT_EQ(form->State().DrawsOffset(), 0);
    click(list->viewport(), rowCentre(0));
    ASSERT_EQ(list->SelectedRows(), QList<int>({0}));

    struct TDuring {
        bool Probed = false;
        bool Busy = false;
        bool WaitShown = false;
        bool WaitOverWindow = false;
        bool WaitStaysShown = false;
        int Offset = -1;
        int EditorValue = -1;
        QList<int> Selected;
        int Page = -1;
        bool AddRan = true;
        int Requests = 0;
    } during;
    QTimer probe;
    QObject::connect(&probe, &QTimer::timeout, [&] {
        if (during.Probed || site.FServer.HeldCount() == 0)
            return;
        // The first request waits for its reply: the download is inside its nested event loop.
        during.Probed = true;
        during.Busy = !IsNotWaiting();
        const TFormWait* wait = WaitForm();
        during.WaitShown = wait && wait->isVisible();
        during.WaitOverWindow = wait && wait->parentWidget() == form.get() && wait->windowType() == Qt::Tool
                                && wait->windowHandle()->transientParent() == form->windowHandle();
        // The user clicks the main window: it becomes active, the wait window stays.
        ActivateWindow(form.get());
        during.WaitStaysShown = WaitForm() && WaitForm()->isVisible();

        // The offset editor: its keys, a typed value, the wheel, a value set on it.
        offset->setFocus();
        TypeKey(form.get(), Qt::Key_Up);
        TypeKey(form.get(), Qt::Key_PageUp);
        TypeKey(form.get(), Qt::Key_5, Qt::NoModifier, QStringLiteral("5"));
        TypeKey(form.get(), Qt::Key_Return);
        wheel();
        offset->setValue(4);
        during.Offset = form->State().DrawsOffset();
        during.EditorValue = offset->value();
        // The draw list and the pages.
        click(list->viewport(), rowCentre(3));
        during.Selected = list->SelectedRows();
        click(pages->tabBar(), pages->tabBar()->tabRect(1).center());
        during.Page = pages->currentIndex();

        // Other commands: by key, by their actions, directly.
        TypeKey(form.get(), Qt::Key_F3);
        form->Action(TCommand::DrawsDownload)->trigger();
        form->Action(TCommand::DrawsDel)->trigger();
        during.AddRan = form->Actions()->Execute(TCommand::DrawsAdd);
        QApplication::processEvents();
        during.Requests = site.FServer.Requests().size();
        site.FServer.ReleaseReplies();
    });
    probe.start(5);
    // The download starts by its key, as a person starts it; the key returns when it is over.
    offset->setFocus();
    TypeKey(form.get(), Qt::Key_F3);
    probe.stop();

    ASSERT_TRUE(during.Probed);
    EXPECT_TRUE(during.Busy);
    EXPECT_TRUE(during.WaitShown);
    EXPECT_TRUE(during.WaitOverWindow);
    EXPECT_TRUE(during.WaitStaysShown);
    EXPECT_EQ(during.Offset, 0);
    EXPECT_EQ(during.EditorValue, 0);
    EXPECT_EQ(during.Selected, QList<int>({0}));
    EXPECT_EQ(during.Page, 0);
    EXPECT_FALSE(during.AddRan);
    EXPECT_EQ(during.Requests, 1);
    // Neither the deletion's question nor an error was shown.
    EXPECT_TRUE(FBoxes.Boxes().isEmpty());

    // The download ended normally: 08/05 to 08/10 gave the ten draws from 08/06 M on.
    const QList<TStandInRequest> requests = site.FServer.Requests();
    ASSERT_FALSE(requests.isEmpty());
    EXPECT_TRUE(requests[0].Query.contains("fromDateIn=08%2F05%2F2016&toDateIn=08%2F10%2F2016"));
    ASSERT_EQ(form->State().FDraws.size(), 20u);
    EXPECT_EQ(form->State().FDraws[10].Key.Get(), "08/06/2016 M");
    EXPECT_EQ(form->State().FDraws[10].Number, 11u);
    EXPECT_EQ(form->State().FDraws.back().Key.Get(), "08/10/2016 E");
    EXPECT_EQ(ReadFileBytes(FFolder.DataFile(".ldr")).size(), 20 * DrawRecSize);
    EXPECT_TRUE(IsNotWaiting());
    EXPECT_EQ(WaitForm(), nullptr);
    EXPECT_EQ(form->State().DrawsOffset(), 0);

    // Idle again, the editor moves the offset.
    wheel();
    EXPECT_EQ(form->State().DrawsOffset(), 1);
}

} // namespace
