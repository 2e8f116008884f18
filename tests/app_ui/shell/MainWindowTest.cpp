// The main window over a generated archive, offscreen.

#include "app/ui/archive/DrawsPage.h"
#include "app/ui/shell/FormMain.h"
#include "app/core/archive/ResultsPage.h"
#include "app/ui/archive/UnitDraw.h"
#include "engine/KelmaMsg.h"
#include "platform/FolderLock.h"
#include "support/RDateUtils.h"
#include "support/RDialogsScripted.h"
#include "support/RVclUtils.h"
#include "support/ui/FormWait.h"
#include "support/ui/QorListView.h"
#include "support/ui/RActions.h"
#include "support/ui/RStatusBar.h"
#include "tests/app_ui/AppUiTestEnv.h"
#include "tests/common/Screenshot.h"
#include "tests/fixtures/ArchiveFixtures.h"
#include "tests/standin/HttpStandIn.h"
#include "tests/standin/OperatorSite.h"
#include "tests/support_ui/KeyInput.h"

#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPushButton>
#include <QSpinBox>
#include <QSplitter>
#include <QStatusTipEvent>
#include <QTimer>
#include <QTabBar>
#include <QToolButton>
#include <QWheelEvent>
#include <QWindow>

#include <gtest/gtest.h>

#include <algorithm>

namespace {

class TProbeDelegate : public TDrawsDelegate {
public:
    using TDrawsDelegate::TDrawsDelegate;

    // The background a cell is painted with; Qt::NoBrush when the list's own.
    QBrush Background(const QModelIndex& index) const
    {
        QStyleOptionViewItem option;
        initStyleOption(&option, index);
        return option.backgroundBrush;
    }
};

QStringList ActionNames(const QMenu* menu)
{
    QStringList names;
    for (const QAction* action : menu->actions())
        if (!action->isSeparator())
            names.append(action->menu() ? action->menu()->objectName() : action->objectName());
    return names;
}

class MainWindowTest : public ::testing::Test {
protected:
    MainWindowTest()
    {
        FPreviousClock = SetClock([] { return QDateTime(QDate(2016, 8, 10), QTime(12, 0)); });
        // Nobody is asked whether to download at start-up, and the first start is behind.
        WriteFormState(QString());
    }
    ~MainWindowTest() override { SetClock(FPreviousClock); }

    void WriteFormState(const QString& more) const
    {
        FFolder.WriteFormState(QStringLiteral("DownloadDrawsOnStart=2\r\nPrefetchsInit=1\r\n") + more);
    }

    // The main window, shown, after its start-up timer has run.
    std::unique_ptr<TFormMain> Open(const QStringList& arguments = {})
    {
        auto form = std::make_unique<TFormMain>(arguments);
        form->resize(1000, 680);
        form->show();
        EXPECT_TRUE(WaitUntil([&] { return form->Initialized(); }));
        return form;
    }

    static TRListView* DrawsList(const TFormMain& form) { return form.findChild<TRListView*>(QStringLiteral("lvDraws")); }
    static QString Cell(const TFormMain& form, int row, int column)
    {
        return DrawsList(form)->Items()->CellText(row, column);
    }

    TProgramFolder FFolder;
    TScriptedBoxes FBoxes;
    TClock FPreviousClock;
};

TEST_F(MainWindowTest, ShowsTheArchiveInTheListAndTheStatusLine)
{
    FFolder.WriteArchive(MakeArchive(3000, 7));
    QCoreApplication::setApplicationVersion(QStringLiteral("2.2.10"));
    auto form = Open();
    EXPECT_EQ(form->objectName(), "FormMain");
    EXPECT_TRUE(form->windowTitle().endsWith(QStringLiteral(" версия 2.2.10")));
    EXPECT_TRUE(FBoxes.Boxes().isEmpty()) << FBoxes.Last().Text.toStdString();

    TStatusBar* bar = form->findChild<TStatusBar*>(QStringLiteral("StatusBar"));
    ASSERT_NE(bar, nullptr);
    ASSERT_EQ(bar->PanelCount(), 7);
    EXPECT_EQ(bar->Tag(), 6);
    EXPECT_EQ(bar->PanelText(0), "Архив тиражей: 3000");
    EXPECT_EQ(bar->PanelText(1), "Следующий тираж: 3001");
    EXPECT_EQ(bar->PanelText(2), "");
    // The first list is the full one.
    EXPECT_EQ(bar->PanelText(3), "Комбинаций: 100");
    EXPECT_EQ(bar->PanelText(4), "Ставок: 0");
    EXPECT_EQ(bar->PanelText(5), "Рейтинг: 0");

    TRListView* list = DrawsList(*form);
    ASSERT_NE(list, nullptr);
    EXPECT_TRUE(list->OwnerData());
    EXPECT_TRUE(list->MultiSelect());
    EXPECT_EQ(list->ItemCount(), 3000);
    ASSERT_EQ(list->ColumnCount(), 5);
    const QStringList captions = {"Тираж", "1", "2", "S", "Дата тиража"};
    const int widths[] = {54, 24, 24, 30, 100};
    for (int column = 0; column < 5; ++column) {
        EXPECT_EQ(list->Items()->Column(column).Caption, captions[column]);
        EXPECT_EQ(list->ColumnWidth(column), widths[column]);
    }
    // Row 0 is the newest draw, the last row the oldest.
    const TDrawsArray draws = MakeArchive(3000, 7);
    EXPECT_EQ(Cell(*form, 0, 0), "3000");
    EXPECT_EQ(Cell(*form, 0, 1), QString::number(draws[2999].Digits[0]));
    EXPECT_EQ(Cell(*form, 0, 3), QString::number(draws[2999].Digits[0] + draws[2999].Digits[1]));
    EXPECT_EQ(Cell(*form, 0, 4), FixtureDrawKey(2999));
    EXPECT_EQ(Cell(*form, 2999, 0), "1");
    EXPECT_EQ(Cell(*form, 2999, 4), "08/01/2016 M");

    auto* pages = form->findChild<QTabWidget*>(QStringLiteral("pcLists"));
    ASSERT_NE(pages, nullptr);
    ASSERT_EQ(pages->count(), 2);
    EXPECT_EQ(pages->widget(0)->objectName(), "tsDraws");
    EXPECT_EQ(pages->tabText(0), "Архив тиражей");
    EXPECT_EQ(pages->tabText(1), "Комбинации");
    EXPECT_NE(form->findChild<QTabWidget*>(QStringLiteral("pcMain")), nullptr);
}

TEST_F(MainWindowTest, MenusHoldOnlyRegisteredCommands)
{
    auto form = Open();
    QStringList titles;
    for (const QAction* menu : form->menuBar()->actions())
        if (menu->isVisible())
            titles.append(PlainText(menu));
    EXPECT_EQ(titles, QStringList({"Файл", "Архив тиражей", "Комбинации", "Статистика", "Ставки", "Рейтинг", "Регуляры",
                                   "Сценарий", "Вид", "Справка"}));

    const auto* file = form->findChild<QMenu*>(QStringLiteral("menuFile"));
    const auto* draws = form->findChild<QMenu*>(QStringLiteral("menuDraws"));
    const auto* combs = form->findChild<QMenu*>(QStringLiteral("menuCombs"));
    const auto* stakes = form->findChild<QMenu*>(QStringLiteral("menuStakes"));
    const auto* ratings = form->findChild<QMenu*>(QStringLiteral("menuRatings"));
    const auto* ratingsEff = form->findChild<QMenu*>(QStringLiteral("menuRatingsEff"));
    ASSERT_NE(file, nullptr);
    ASSERT_NE(draws, nullptr);
    ASSERT_NE(combs, nullptr);
    ASSERT_NE(stakes, nullptr);
    ASSERT_NE(ratings, nullptr);
    ASSERT_NE(ratingsEff, nullptr);
    EXPECT_EQ(ActionNames(file), QStringList({"menuLanguages", "EditConfig", "EditShredding", "EditProxy", "ExitProgram"}));
    EXPECT_EQ(ActionNames(draws), QStringList({"DrawsInfo", "DrawsDownload", "menuAutoDownload", "DrawsImport", "DrawsExport",
                                               "DrawsXlsExport", "DrawsAdd", "DrawsEdit", "DrawsDel", "DrawsSorted"}));
    EXPECT_EQ(ActionNames(combs),
              QStringList({"CombsInfo", "CombsCheckNums", "CombsFindInDraws", "CombsGen", "CombsDelExists", "CombsDelSelected",
                           "CombsCopy", "CombsPaste", "CombsSelectAll", "CombsOpen", "CombsSave", "CombsUndo",
                           "CombsXlsExport"}));
    EXPECT_EQ(ActionNames(stakes),
              QStringList({"StakeAdd", "StakeAddRandom", "StakeAddSelected", "StakeAddAll", "SystemStakeFilter",
                           "SystemStakeAll", "StakeDel", "StakeFilter",
                           "StakeClear", "StakesGraphDraws", "StakesXlsExport", "StakesCheckManual", "LogStakes", "LogStakesDelete",
                           "StakesScroll", "StakesCheckLine"}));
    // The efficiency submenu follows the graphs of the ratings menu.
    EXPECT_EQ(ActionNames(ratings), QStringList({"StakesGraphOverlap", "StakesGraphProfits", "RatingsGraphOverlap",
                                                 "menuRatingsEff", "RatingsRefresh", "RatingsToScript", "RatingsExport",
                                                 "RatingsXlsExport"}));
    EXPECT_TRUE(ratings->actions().contains(ratingsEff->menuAction()));
    EXPECT_EQ(ActionNames(ratingsEff), QStringList({"RatingsEffMode0", "RatingsEffMode1", "RatingsEffMode2"}));
    for (const QMenu* menu : {file, draws, combs, stakes, ratings, ratingsEff}) {
        for (QAction* action : menu->actions()) {
            if (!action->isSeparator() && !action->menu()) {
                EXPECT_EQ(form->Actions()->Action(action->objectName()), action) << action->objectName().toStdString();
            }
        }
    }

    const TActionRegistry* actions = form->Actions();
    EXPECT_EQ(actions->Caption("DrawsDownload"), "Загрузка");
    EXPECT_EQ(PlainText(actions->Action("DrawsDownload")), "Загрузка");
    EXPECT_EQ(actions->Action("DrawsDownload")->statusTip(), "Загрузка архива тиражей с сайта лотереи");
    EXPECT_EQ(actions->Action("DrawsDownload")->shortcut(), QKeySequence(Qt::Key_F3));
    EXPECT_EQ(actions->Caption("ExitProgram"), "Выход");
    EXPECT_EQ(actions->Action("ExitProgram")->shortcut(), QKeySequence(Qt::ALT | Qt::Key_F4));
    EXPECT_EQ(actions->Caption("EditProxy"), "Параметры proxy-сервера");
    EXPECT_EQ(actions->Caption("DrawsSorted"), "Упорядочить MIN->MAX");
    auto* button = form->findChild<QToolButton*>(QStringLiteral("btnDrawsDownload"));
    EXPECT_EQ(button->defaultAction(), actions->Action("DrawsDownload"));
    EXPECT_EQ(form->Action(TCommand::DrawsDownload), actions->Action("DrawsDownload"));
    // The button shows the caption itself, without the menu's mnemonic.
    EXPECT_EQ(button->text(), "Загрузка");
}

TEST_F(MainWindowTest, MenusAndTheirItemsHaveMnemonicsOfTheirOwn)
{
    auto form = Open();
    const auto shown = [](const QWidget* menuOrBar) {
        QStringList texts;
        for (const QAction* action : menuOrBar->actions())
            if (!action->isSeparator() && action->isVisible())
                texts.append(action->text());
        return texts;
    };
    EXPECT_EQ(shown(form->menuBar()), QStringList({"&Файл", "&Архив тиражей", "&Комбинации", "&Статистика", "С&тавки",
                                                   "&Рейтинг", "Р&егуляры", "С&ценарий", "&Вид", "С&правка"}));
    const auto* file = form->findChild<QMenu*>(QStringLiteral("menuFile"));
    const auto* draws = form->findChild<QMenu*>(QStringLiteral("menuDraws"));
    EXPECT_EQ(shown(file), QStringList({"&Язык интерфейса", "&Параметры", "&Формулы шинковки", "Параметры &proxy-сервера",
                                        "&Выход"}));
    EXPECT_EQ(shown(draws), QStringList({"&Сведения о тираже", "&Загрузка", "&Автозагрузка при запуске программы", "&Импорт из CSV-файла",
                                         "&Экспорт в CSV-файл", "Экспорт &в Microsoft Excel", "&Добавить", "Из&менить", "&Удалить",
                                         "Упорядочить &MIN->MAX"}));

    // Alt and the underlined letter open the menu.
    ASSERT_TRUE(ActivateWindow(form.get()));
    TypeKey(form.get(), QChar(u'А').unicode(), Qt::AltModifier, QStringLiteral("а"));
    EXPECT_EQ(QApplication::activePopupWidget(), draws);
    if (QWidget* popup = QApplication::activePopupWidget())
        popup->close();

    // The captions the program compares stay as they are, and so does the form-state file.
    for (QAction* action : form->Actions()->Actions()) {
        EXPECT_FALSE(form->Actions()->Caption(action->objectName()).contains('&')) << action->objectName().toStdString();
        EXPECT_EQ(PlainText(action), form->Actions()->Caption(action->objectName()));
    }
    form.reset();
    EXPECT_FALSE(ReadFileBytes(FFolder.DataFile(".frm")).contains('&'));
}

// Keys that two commands may share: each runs the command of the page or list that has the
// focus, and neither command is reached by that key elsewhere.
struct TSharedKey {
    QKeySequence Key;
    const char* Reason;
};
const TSharedKey kSharedKeys[] = {
    {QKeySequence(Qt::CTRL | Qt::Key_Delete),
     "deletes the selected rows of the list that has the focus: combinations, stakes, scenario lines"},
    {QKeySequence(Qt::CTRL | Qt::Key_J), "opens a scenario file on the scenario page, the system game elsewhere"},
    {QKeySequence(Qt::Key_F7),
     "keeps the combinations of the selected characteristics in the statistics table, opens the "
     "favourite methods elsewhere"},
    {QKeySequence(Qt::CTRL | Qt::Key_F7),
     "drops the combinations of the selected characteristics in the statistics table, resets the "
     "favourite methods elsewhere"},
};

TEST_F(MainWindowTest, EveryCommandHasAUniqueNameACaptionAndAKeyOfItsOwn)
{
    auto form = Open();
    const TActionRegistry* actions = form->Actions();
    const QList<QAction*> all = actions->Actions();
    ASSERT_FALSE(all.isEmpty());
    QSet<QString> names;
    QMap<QString, QList<const QAction*>> byKey;
    for (const QAction* action : all) {
        const QString name = action->objectName();
        EXPECT_FALSE(name.isEmpty());
        EXPECT_FALSE(names.contains(name)) << name.toStdString();
        names.insert(name);
        EXPECT_EQ(actions->Action(name), action) << name.toStdString();
        EXPECT_FALSE(actions->Caption(name).trimmed().isEmpty()) << name.toStdString();
        // The key as registered: a shared one is shown only where it runs the command.
        if (!actions->Key(name).isEmpty())
            byKey[actions->Key(name).toString(QKeySequence::PortableText)].append(action);
    }
    for (auto it = byKey.cbegin(); it != byKey.cend(); ++it) {
        if (it->size() < 2)
            continue;
        const bool allowed = std::any_of(std::begin(kSharedKeys), std::end(kSharedKeys), [&](const TSharedKey& shared) {
            return shared.Key.toString(QKeySequence::PortableText) == it.key();
        });
        EXPECT_TRUE(allowed) << it.key().toStdString() << " is shared";
        // A shared key works only inside its command's page or list, but for one command that
        // takes it everywhere else.
        const auto windowWide = std::count_if(it->begin(), it->end(), [](const QAction* action) {
            return action->shortcutContext() != Qt::WidgetWithChildrenShortcut;
        });
        EXPECT_LE(windowWide, 1) << it.key().toStdString();
    }
    // Alt+F4 closes the window.
    ASSERT_EQ(byKey.value("Alt+F4").size(), 1);
    EXPECT_EQ(byKey.value("Alt+F4").first(), form->Action(TCommand::ExitProgram));
}

using MainWindowDeathTest = MainWindowTest;

TEST_F(MainWindowDeathTest, AskingForACommandWithoutARowStopsTheProgram)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    auto form = Open();
    EXPECT_DEATH(form->Action(static_cast<TCommand>(-7)), "command #-7 is not registered");
    EXPECT_DEATH(form->Actions()->Execute(QStringLiteral("DrawsFromNowhere")), "command DrawsFromNowhere is not registered");
}

TEST_F(MainWindowTest, BusyStateDisablesEveryCommandAndSelectionEnablesRowCommands)
{
    FFolder.WriteArchive(MakeArchive(50));
    WriteFormState(QStringLiteral("SortedDraws=1\r\n"));
    auto form = Open();
    TActionRegistry* actions = form->Actions();
    actions->UpdateAll();
    for (const char* name : {"EditProxy", "ExitProgram", "DrawsDownload", "DrawsAdd"})
        EXPECT_TRUE(actions->Action(name)->isEnabled()) << name;
    // Without a selected row there is nothing to edit or delete; the digit order is shown only.
    for (const char* name : {"DrawsEdit", "DrawsDel", "DrawsSorted"})
        EXPECT_FALSE(actions->Action(name)->isEnabled()) << name;
    EXPECT_TRUE(actions->Action("DrawsSorted")->isChecked());

    DrawsList(*form)->SetSelected(4);
    actions->UpdateAll();
    EXPECT_TRUE(actions->Action("DrawsEdit")->isEnabled());
    EXPECT_TRUE(actions->Action("DrawsDel")->isEnabled());

    StartWait();
    for (QAction* action : actions->Actions())
        EXPECT_FALSE(action->isEnabled()) << action->objectName().toStdString();
    EXPECT_FALSE(actions->Execute("DrawsDel"));
    StopWait();
    EXPECT_TRUE(actions->Action("DrawsDel")->isEnabled());
    EXPECT_TRUE(actions->Action("DrawsDownload")->isEnabled());
    EXPECT_FALSE(actions->Action("DrawsSorted")->isEnabled());
}

TEST_F(MainWindowTest, HintsGoToTheMessagePanelUnlessALongOperationUsesIt)
{
    auto form = Open();
    QStatusTipEvent hint(QStringLiteral("Добавить данные тиража вручную"));
    QApplication::sendEvent(form.get(), &hint);
    EXPECT_EQ(form->StatusBar()->PanelText(6), "Добавить данные тиража вручную");

    StartWait();
    ShowInStatusBar(QStringLiteral("Сохранение файла тиражей..."));
    QStatusTipEvent later(QStringLiteral("Удалить выделенные тиражи из списка"));
    QApplication::sendEvent(form.get(), &later);
    EXPECT_EQ(form->StatusBar()->PanelText(6), "Сохранение файла тиражей...");
    StopWait();
}

TEST_F(MainWindowTest, OffsetEditorMovesTheCurrentDrawAndItsColours)
{
    // Channel size 2 (the default): digits 0 and 1 are channel 1, 8 and 9 channel 5.
    FFolder.WriteArchive(MakeDraws({{0, 9}, {1, 8}, {2, 7}, {3, 6}, {4, 5}, {5, 4}, {9, 0}, {7, 2}, {8, 1}, {6, 3}}));
    auto form = Open();
    auto* offset = form->findChild<QSpinBox*>(QStringLiteral("edDrawsOffset"));
    ASSERT_NE(offset, nullptr);
    EXPECT_EQ(offset->minimum(), 0);
    EXPECT_EQ(offset->maximum(), 9);
    TStatusBar* bar = form->StatusBar();
    EXPECT_EQ(bar->PanelText(1), "Следующий тираж: 11");

    offset->setValue(3);
    EXPECT_EQ(form->State().DrawsOffset(), 3);
    // Row 3 is draw 7, so the next one is 8; panel 2 shows the digits of the draw in row 2.
    EXPECT_EQ(bar->PanelText(1), "Следующий тираж: 8");
    EXPECT_EQ(bar->PanelText(2), "7;2");
    EXPECT_TRUE(form->State().FCurrentDigits.test(7));
    EXPECT_TRUE(form->State().FCurrentDigits.test(2));
    EXPECT_EQ(form->State().FCurrentDigits.count(), 2u);

    TRListView* list = DrawsList(*form);
    const TProbeDelegate probe(form->Archive(), nullptr);
    const auto cell = [list](int row, int column) { return list->model()->index(row, column); };
    const QColor lightRed(255, 170, 170);
    EXPECT_EQ(probe.Background(cell(3, 0)).color(), lightRed);
    EXPECT_EQ(probe.Background(cell(3, 4)).color(), lightRed);
    EXPECT_EQ(probe.Background(cell(0, 0)).color(), QColor(Qt::white));
    // Row 3 holds 9;0: the digit cells take their channels' colours, the current row or not.
    EXPECT_EQ(probe.Background(cell(3, 1)).color(), QColor(0xAA, 0xAA, 0xFF));
    EXPECT_EQ(probe.Background(cell(3, 2)).color(), QColor(0xAA, 0xFF, 0xAA));

    // The offset set elsewhere (a look-back test) moves the editor.
    form->State().SetDrawsOffset(5);
    EXPECT_EQ(offset->value(), 5);
    EXPECT_EQ(probe.Background(cell(3, 0)).color(), QColor(Qt::white));
    EXPECT_EQ(probe.Background(cell(5, 0)).color(), lightRed);
}

TEST_F(MainWindowTest, WithoutColouringOnlyTheCurrentDrawIsMarkedAndSortedDigitsAreShown)
{
    FFolder.WriteArchive(MakeDraws({{3, 6}, {7, 2}}));
    WriteFormState(QStringLiteral("ColorDraws=0\r\nSortedDraws=1\r\n"));
    auto form = Open();
    TRListView* list = DrawsList(*form);
    const TProbeDelegate probe(form->Archive(), nullptr);
    EXPECT_EQ(probe.Background(list->model()->index(0, 0)).color(), QColor(255, 170, 170));
    EXPECT_EQ(probe.Background(list->model()->index(0, 1)).color(), QColor(255, 170, 170));
    EXPECT_EQ(probe.Background(list->model()->index(1, 1)).style(), Qt::NoBrush);
    // 7;2 is shown (and summed) in ascending order; the stored draw keeps its order.
    EXPECT_EQ(Cell(*form, 0, 1), "2");
    EXPECT_EQ(Cell(*form, 0, 2), "7");
    EXPECT_EQ(Cell(*form, 0, 3), "9");
    EXPECT_EQ(form->State().FDraws[1].Digits[0], 7);
}

TEST_F(MainWindowTest, DrawsDelRemovesTheSelectedRowsByIndex)
{
    // After an edit, two draws carry the number 8: the rows name the draws, not the numbers.
    TDrawsArray draws = MakeArchive(10);
    draws[3].Number = 8;
    FFolder.WriteArchive(draws);
    auto form = Open();
    TRListView* list = DrawsList(*form);
    list->SetItemSelected(0, true);   // index 9
    list->SetItemSelected(6, true);   // index 3, the second number 8

    FBoxes.Answer(IDNO);
    EXPECT_TRUE(form->Actions()->Execute(QStringLiteral("DrawsDel")));
    EXPECT_EQ(form->State().FDraws, draws);
    EXPECT_EQ(ReadFileBytes(FFolder.DataFile(".ldr")), ArchiveBytes(draws));

    FBoxes.Answer(IDYES);
    EXPECT_TRUE(form->Actions()->Execute(QStringLiteral("DrawsDel")));
    EXPECT_EQ(FBoxes.Last().Text, "Удалить все выделенные записи (всего будет удалено 2 записи(ей))?");
    TDrawsArray expected = draws;
    expected.erase(expected.begin() + 9);
    expected.erase(expected.begin() + 3);
    EXPECT_EQ(form->State().FDraws, expected);
    EXPECT_EQ(ReadFileBytes(FFolder.DataFile(".ldr")), ArchiveBytes(expected));
    EXPECT_EQ(list->ItemCount(), 8);
    EXPECT_EQ(list->SelectedCount(), 0);
    EXPECT_EQ(form->StatusBar()->PanelText(0), "Архив тиражей: 8");
    EXPECT_EQ(form->StatusBar()->PanelText(1), "Следующий тираж: 10");
    EXPECT_TRUE(IsNotWaiting());
}

TEST_F(MainWindowTest, DrawsAddTakesTheDialogsDrawAsTheNewest)
{
    FFolder.WriteArchive(MakeArchive(10));
    auto form = Open();
    int refused = 0;
    bool checked = false;
    // The dialog is modal: the test plays the person from a timer.
    QTimer player;
    QObject::connect(&player, &QTimer::timeout, [&] {
        auto* dialog = qobject_cast<TFormDraw*>(QApplication::activeModalWidget());
        if (!dialog)
            return;
        auto* digits = dialog->findChild<QLineEdit*>(QStringLiteral("edDrawData"));
        auto* number = dialog->findChild<QSpinBox*>(QStringLiteral("edDrawNumber"));
        if (!checked) {
            checked = true;
            EXPECT_EQ(dialog->windowTitle(), "Введите данные следующего тиража");
            EXPECT_EQ(number->value(), 11);
            EXPECT_EQ(digits->text(), "0;0");
            // A digit above 9 is refused and the dialog stays.
            digits->setText(QStringLiteral("10;2"));
            dialog->OkBtn()->click();
            refused = FBoxes.Boxes().size();
            EXPECT_TRUE(dialog->isVisible());
        }
        digits->setText(QStringLiteral(" 4 , 1 "));
        dialog->OkBtn()->click();
    });
    player.start(20);
    EXPECT_TRUE(form->Actions()->Execute(QStringLiteral("DrawsAdd")));
    player.stop();

    EXPECT_EQ(refused, 1);
    ASSERT_GE(FBoxes.Boxes().size(), 1);
    EXPECT_EQ(FBoxes.Boxes().first().Text, "Введена некорректная комбинация!");
    ASSERT_EQ(form->State().FDraws.size(), 11u);
    const TDrawRec& added = form->State().FDraws.back();
    EXPECT_EQ(added.Number, 11u);
    EXPECT_EQ(added.Digits[0], 4);
    EXPECT_EQ(added.Digits[1], 1);
    // Noon of the clock's day is the midday draw.
    EXPECT_EQ(added.Key.Get(), "08/10/2016 M");
    EXPECT_EQ(ReadFileBytes(FFolder.DataFile(".ldr")).size(), 11 * DrawRecSize);
    EXPECT_EQ(Cell(*form, 0, 0), "11");
}

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

TEST_F(MainWindowTest, FormStateIsSavedAtDestructionAndRestoredAtCreation)
{
    FFolder.WriteArchive(MakeArchive(20));
    {
        auto form = Open();
        DrawsList(*form)->SetColumnWidth(4, 150);
        form->findChild<QSplitter*>(QStringLiteral("splMain"))->setSizes({320, 600});
    }
    const QByteArray saved = ReadFileBytes(FFolder.DataFile(".frm"));
    EXPECT_TRUE(saved.contains("lvDraws.Column4=150")) << saved.toStdString();
    EXPECT_TRUE(saved.contains("LeftPanelWidth=320")) << saved.toStdString();
    // The options read at start-up stay as they were.
    EXPECT_TRUE(saved.contains("DownloadDrawsOnStart=2"));

    auto form = Open();
    EXPECT_EQ(DrawsList(*form)->ColumnWidth(4), 150);
    EXPECT_EQ(form->findChild<QTabWidget*>(QStringLiteral("pcLists"))->width(), 320);
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

TEST_F(MainWindowTest, Screenshot)
{
    FFolder.WriteArchive(MakeArchive(3000, 11));
    auto form = Open();
    form->State().SetDrawsOffset(2);
    const QString path = SaveScreenshot(form.get(), QStringLiteral("FormMain"), QSize(1000, 680));
    EXPECT_FALSE(path.isEmpty());
}

} // namespace
