// The system dialog and the systems tab filled from the stand-in of the maker's server.

#include "app/core/online/SystemCombs.h"
#include "app/core/online/SystemsExchange.h"
#include "app/ui/online/SystemsPage.h"
#include "app/ui/online/UnitSystem.h"
#include "support/RDateUtils.h"
#include "support/RDialogsScripted.h"
#include "support/RSwCommon.h"
#include "support/RSysUtils.h"
#include "support/RVclUtils.h"
#include "support/ui/QorListView.h"
#include "support/ui/RClipBrd.h"
#include "tests/app_ui/AppUiTestEnv.h"
#include "tests/common/MarkingTranslator.h"
#include "tests/common/Screenshot.h"
#include "tests/common/TestHelpers.h"
#include "tests/standin/HttpStandIn.h"
#include "tests/standin/SystemServer.h"
#include "tests/support_ui/KeyInput.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QHeaderView>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimeZone>
#include <QToolButton>

#include <gtest/gtest.h>

namespace {

QDateTime Local(int y, int mo, int d, int h, int mi, int s)
{
    return QDateTime(QDate(y, mo, d), QTime(h, mi, s));
}

tSystemData GivenSystem()
{
    tSystemData data;
    data.Id = 42;
    data.Nums = 5;
    data.Olap = 1;
    data.CSize = 3;
    data.Title = U("Пятёрка");
    data.Author = U("Ann");
    data.ClMail = U("ann@example.org");
    data.Descr = U("Пять чисел\nв трёх строках");
    data.Created = Local(2016, 8, 2, 0, 30, 5);
    data.Downloads = 12;
    data.LastDownload = Local(2016, 8, 10, 2, 59, 59);
    data.Url = U("https://example.org/s42");
    data.CList = U("01 02\r\n02 03\r\n04 05\r\n");
    return data;
}

class SystemDialogTest : public ::testing::Test {
protected:
    SystemDialogTest()
    {
        FPreviousClock = SetClock([] { return Local(2016, 8, 10, 12, 0, 0); });
        FPreviousOpen = SetOpenHandler([this](const TOpenRequest& request) { FOpened.append(request.Target); });
    }
    ~SystemDialogTest() override
    {
        SetClock(FPreviousClock);
        SetOpenHandler(FPreviousOpen);
    }

    QString Label(const char* name) const { return FForm.findChild<QLabel*>(QString::fromLatin1(name))->text(); }

    TScriptedBoxes FBoxes;
    TFormSystem FForm;
    TClock FPreviousClock;
    TOpenHandler FPreviousOpen;
    QStringList FOpened;
};

TEST_F(SystemDialogTest, TextsAndLoadedFields)
{
    FForm.LoadSystem(GivenSystem(), true);
    EXPECT_EQ(FForm.windowTitle(), U("Система"));
    const std::pair<const char*, const char*> labels[] = {
        {"lblTitle", "Наименование:"}, {"lblDescr", "Описание:"},        {"lblAuthor", "Автор:"},
        {"lblURL", "Ссылка:"},         {"lblCombs", "Список комбинаций:"}, {"lblCreated", "Создана:"},
        {"lblCSize", "Комбинаций:"},   {"lblDownloads", "Загрузок:"},      {"lblLastDownload", "Последняя:"},
        {"lblNums", "Числа:"},         {"lblCLen", "Длина:"},              {"lblOlap", "Блок:"},
    };
    for (const auto& [name, text] : labels)
        EXPECT_EQ(Label(name), U(text)) << name;
    EXPECT_EQ(FForm.btnURL->toolTip(), U("Открыть ссылку в браузере"));
    EXPECT_EQ(FForm.actCombsCopy->text(), U("Копировать в буфер обмена"));
    EXPECT_EQ(FForm.actCombsPaste->text(), U("Вставить из буфера обмена"));
    EXPECT_EQ(FForm.actCombsSelectAll->text(), U("Выделить все"));
    EXPECT_EQ(FForm.actCombsLoad->text(), U("Загрузить из файла"));
    EXPECT_EQ(FForm.actCombsSave->text(), U("Сохранить в файле"));

    EXPECT_EQ(FForm.edTitle->text(), U("Пятёрка"));
    EXPECT_EQ(FForm.edNums->text(), U("5"));
    EXPECT_EQ(FForm.edCLen->text(), U("2"));
    EXPECT_EQ(FForm.edOlap->text(), U("1"));
    EXPECT_EQ(FForm.edCSize->text(), U("3"));
    EXPECT_EQ(FForm.edDescr->toPlainText(), U("Пять чисел\nв трёх строках"));
    EXPECT_EQ(FForm.edAuthor->text(), U("Ann"));
    EXPECT_EQ(FForm.edURL->text(), U("https://example.org/s42"));
    EXPECT_EQ(FForm.edCreated->text(), U("2016-08-02 00:30:05"));
    EXPECT_EQ(FForm.edLastDownload->text(), U("2016-08-10 02:59:59"));
    EXPECT_EQ(FForm.edDownloads->text(), U("12"));
    EXPECT_EQ(FForm.edCombs->toPlainText(), U("01 02\n02 03\n04 05\n"));
    EXPECT_EQ(FForm.edCombs->lineWrapMode(), QPlainTextEdit::NoWrap);
    for (QLineEdit* edit : {FForm.edCreated, FForm.edCSize, FForm.edDownloads, FForm.edLastDownload, FForm.edCLen})
        EXPECT_TRUE(edit->isReadOnly()) << edit->objectName().toStdString();
    EXPECT_FALSE(FForm.edNums->isReadOnly());
    EXPECT_TRUE(FForm.OkBtn()->isVisibleTo(&FForm));

    // A system never downloaded shows no last download.
    tSystemData fresh;
    FForm.LoadSystem(fresh, true);
    EXPECT_EQ(FForm.edCreated->text(), QString());
    EXPECT_EQ(FForm.edLastDownload->text(), QString());
    EXPECT_FALSE(FForm.btnURL->isEnabled());
    FForm.edURL->setText(U("x"));
    EXPECT_TRUE(FForm.btnURL->isEnabled());
}

TEST_F(SystemDialogTest, SharedTextsFollowTheLanguageModule)
{
    // The title, the labels the scenario dialog shares, and the list commands the other
    // windows share are fetched from the message tables.
    FForm.LoadSystem(GivenSystem(), false);
    const auto shown = [this] {
        return QStringList{FForm.windowTitle(),           Label("lblAuthor"),
                           Label("lblDescr"),              FForm.actCombsSelectAll->text(),
                           FForm.actCombsLoad->text(),     FForm.actCombsSave->text(),
                           FForm.CancelBtn()->text()};
    };
    const QStringList russian = {U("Система"),         U("Автор:"),           U("Описание:"), U("Выделить все"),
                                 U("Загрузить из файла"), U("Сохранить в файле"), U("Закрыть окно")};
    EXPECT_EQ(shown(), russian);
    {
        const TMarkingModule module({"KelmaMsg", "RMsgRu"});
        QCoreApplication::sendPostedEvents(nullptr, QEvent::LanguageChange);
        EXPECT_EQ(shown(), TMarkingModule::Marked(russian));
        // A label of the dialog's own stays as it was.
        EXPECT_EQ(Label("lblTitle"), U("Наименование:"));
    }
    QCoreApplication::sendPostedEvents(nullptr, QEvent::LanguageChange);
    EXPECT_EQ(shown(), russian);
}

TEST_F(SystemDialogTest, LeavingTheListTidiesItAndCountsNumbersAndLines)
{
    FForm.LoadSystem(GivenSystem(), true);
    ASSERT_TRUE(ActivateWindow(&FForm));
    FForm.edCombs->setFocus();
    QApplication::processEvents();
    FForm.edCombs->setPlainText(U("7;12\n\n  1 5 \nthree words here\n"));
    FForm.edTitle->setFocus();
    QApplication::processEvents();
    EXPECT_EQ(FForm.edCombs->toPlainText(), U("07 12\n01 05"));
    EXPECT_EQ(FForm.edNums->text(), U("12"));
    EXPECT_EQ(FForm.edCSize->text(), U("2"));

    FForm.edCombs->setPlainText(U("01 05\n03 07"));
    FForm.NormalizeCombs();
    EXPECT_EQ(FForm.edNums->text(), U("7"));
    EXPECT_EQ(FForm.edCSize->text(), U("2"));

    FForm.edCombs->setPlainText(U("nothing"));
    FForm.NormalizeCombs();
    EXPECT_EQ(FForm.edCombs->toPlainText(), QString());
    EXPECT_EQ(FForm.edNums->text(), U("0"));
    EXPECT_EQ(FForm.edCSize->text(), U("0"));
    FForm.hide();
}

TEST_F(SystemDialogTest, OkChecksInOrder)
{
    FForm.LoadSystem(tSystemData{}, true);
    FForm.edOlap->setText(U("2"));
    struct TStep {
        const char* Message;
        QWidget* Focus;
        std::function<void()> Fix;
    };
    const TStep steps[] = {
        {"Название системы должно быть указано обязательно!", FForm.edTitle,
         [&] { FForm.edTitle->setText(U(" Тройка ")); }},
        {"Указано недопустмое количество используемых чисел!", FForm.edNums, [&] { FForm.edNums->setText(U("3")); }},
        {"Указан недопустмый размер блока!", FForm.edOlap, [&] { FForm.edOlap->setText(U("1")); }},
        {"Имя автора должно быть указано обязательно!", FForm.edAuthor, [&] { FForm.edAuthor->setText(U("Ann")); }},
        {"Описание системы должно быть указано обязательно!", FForm.edDescr,
         [&] { FForm.edDescr->setPlainText(U("Три числа")); }},
        {"Содержимое системы должно быть указано обязательно!", FForm.edCombs,
         [&] { FForm.edCombs->setPlainText(U("1 2\n2 3")); }},
    };
    for (const TStep& step : steps) {
        SCOPED_TRACE(step.Message);
        FBoxes.Clear();
        EXPECT_FALSE(PressOk(FForm));
        ASSERT_EQ(FBoxes.Boxes().size(), 1);
        EXPECT_EQ(FBoxes.Last().Text, U(step.Message));
        EXPECT_EQ(FBoxes.Last().Icon, TBoxIcon::Error);
        EXPECT_EQ(FForm.focusWidget(), step.Focus);
        step.Fix();
    }
    FBoxes.Clear();
    EXPECT_TRUE(PressOk(FForm));
    EXPECT_TRUE(FBoxes.Boxes().isEmpty());
    EXPECT_EQ(FForm.edNums->text(), U("3"));
    EXPECT_EQ(FForm.edCSize->text(), U("2"));

    // The numbers of a list are its largest index, whatever was typed: eleven is too many,
    // and a list of blanks is no list.
    for (const char* list : {"1 11", "   \n\n"}) {
        FBoxes.Clear();
        FForm.edNums->setText(U("3"));
        FForm.edCombs->setPlainText(U(list));
        EXPECT_FALSE(PressOk(FForm));
        ASSERT_EQ(FBoxes.Boxes().size(), 1);
        EXPECT_EQ(FBoxes.Last().Text, U(list[0] == '1' ? "Указано недопустмое количество используемых чисел!"
                                                       : "Содержимое системы должно быть указано обязательно!"));
    }
}

TEST_F(SystemDialogTest, ResultTakesNumsAndCSizeFromTheList)
{
    tSystemData given = GivenSystem();
    FForm.LoadSystem(given, true);
    FForm.edNums->setText(U("9"));
    FForm.edCombs->setPlainText(U("1-2\n2.4\n3 3\n"));
    ASSERT_TRUE(PressOk(FForm));
    tSystemData result;
    FForm.StoreSystem(result);
    EXPECT_EQ(result.Id, 42);
    EXPECT_EQ(result.ClMail, U("ann@example.org"));
    EXPECT_EQ(result.Nums, 4);
    EXPECT_EQ(result.CSize, 3);
    EXPECT_EQ(result.Olap, 1);
    EXPECT_EQ(result.CList, U("01 02\r\n02 04\r\n03 03\r\n"));
    EXPECT_EQ(result.Title, given.Title);
    EXPECT_EQ(result.Descr, given.Descr);
    EXPECT_EQ(result.Url, given.Url);
    EXPECT_EQ(result.Created, given.Created);
    EXPECT_EQ(result.Downloads, 12);
    EXPECT_EQ(result.LastDownload, given.LastDownload);

    // A new system takes the current time as its creation time.
    tSystemData fresh;
    fresh.Id = -1;
    TFormSystem form;
    form.LoadSystem(fresh, true);
    form.StoreSystem(fresh);
    EXPECT_EQ(fresh.Created, Local(2016, 8, 10, 12, 0, 0));
    EXPECT_FALSE(fresh.LastDownload.isValid());
    EXPECT_EQ(fresh.Id, -1);
}

TEST_F(SystemDialogTest, ReadOnlyForOthersSystems)
{
    FForm.LoadSystem(GivenSystem(), false);
    EXPECT_FALSE(FForm.OkBtn()->isVisibleTo(&FForm));
    EXPECT_EQ(FForm.CancelBtn()->text(), U("Закрыть окно"));
    EXPECT_EQ(FForm.focusWidget(), FForm.CancelBtn());
    for (QLineEdit* edit : {FForm.edTitle, FForm.edNums, FForm.edOlap, FForm.edAuthor, FForm.edURL})
        EXPECT_TRUE(edit->isReadOnly()) << edit->objectName().toStdString();
    EXPECT_TRUE(FForm.edDescr->isReadOnly());
    EXPECT_TRUE(FForm.edCombs->isReadOnly());
    EXPECT_EQ(FForm.edTitle->palette().color(QPalette::Base), FForm.ClientPanel()->palette().color(QPalette::Window));
    // The address can still be opened.
    EXPECT_TRUE(FForm.btnURL->isEnabled());

    // Leaving the list leaves it as it is, and OK cannot accept.
    ASSERT_TRUE(ActivateWindow(&FForm));
    FForm.edCombs->setFocus();
    QApplication::processEvents();
    FForm.edTitle->setFocus();
    QApplication::processEvents();
    EXPECT_EQ(FForm.edCombs->toPlainText(), U("01 02\n02 03\n04 05\n"));
    FForm.accept();
    EXPECT_NE(FForm.result(), QDialog::Accepted);
    FForm.UpdateCombsMenu();
    EXPECT_FALSE(FForm.actCombsPaste->isEnabled());
    EXPECT_FALSE(FForm.actCombsLoad->isEnabled());
    EXPECT_TRUE(FForm.actCombsSave->isEnabled());
    FForm.hide();
}

TEST_F(SystemDialogTest, NumberFieldsTakeOnlyDigits)
{
    FForm.LoadSystem(GivenSystem(), true);
    ASSERT_TRUE(ActivateWindow(&FForm));
    for (QLineEdit* edit : {FForm.edNums, FForm.edOlap}) {
        edit->setFocus();
        edit->clear();
        TypeKey(edit, Qt::Key_A, Qt::NoModifier, U("a"));
        TypeKey(edit, Qt::Key_7, Qt::NoModifier, U("7"));
        TypeKey(edit, Qt::Key_Minus, Qt::NoModifier, U("-"));
        TypeKey(edit, Qt::Key_3, Qt::NoModifier, U("3"));
        EXPECT_EQ(edit->text(), U("73")) << edit->objectName().toStdString();
        TypeKey(edit, Qt::Key_Backspace);
        EXPECT_EQ(edit->text(), U("7"));
    }
    FForm.hide();
}

TEST_F(SystemDialogTest, OnlyWebAddressesAreOpened)
{
    FForm.LoadSystem(GivenSystem(), false);
    FForm.btnURL->click();
    EXPECT_EQ(FOpened, QStringList({U("https://example.org/s42")}));
    EXPECT_TRUE(FBoxes.Boxes().isEmpty());

    tSystemData hostile = GivenSystem();
    for (const char* url : {"file:///etc/passwd", "/usr/bin/xterm", "javascript:alert(1)", "http://a b"}) {
        hostile.Url = U(url);
        TFormSystem form;
        form.LoadSystem(hostile, false);
        form.btnURL->click();
    }
    EXPECT_EQ(FOpened.size(), 1);
    ASSERT_EQ(FBoxes.Boxes().size(), 4);
    EXPECT_EQ(FBoxes.Last().Text, U("Открыть можно только ссылку, начинающуюся с \"http://\" или \"https://\"!"));
}

TEST_F(SystemDialogTest, ListMenuClipboardAndFiles)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    FForm.LoadSystem(GivenSystem(), true);
    FForm.UpdateCombsMenu();
    EXPECT_FALSE(FForm.actCombsCopy->isEnabled());   // nothing selected
    EXPECT_TRUE(FForm.actCombsSelectAll->isEnabled());
    EXPECT_TRUE(FForm.actCombsLoad->isEnabled());
    EXPECT_TRUE(FForm.actCombsSave->isEnabled());

    // Copy puts the whole list on the clipboard, whatever part is selected.
    QTextCursor cursor = FForm.edCombs->textCursor();
    cursor.setPosition(0);
    cursor.setPosition(2, QTextCursor::KeepAnchor);
    FForm.edCombs->setTextCursor(cursor);
    FForm.UpdateCombsMenu();
    ASSERT_TRUE(FForm.actCombsCopy->isEnabled());
    FForm.actCombsCopy->trigger();
    EXPECT_EQ(GetClipboardWideText(), U("01 02\n02 03\n04 05\n"));

    SetClipboardWideText(U("3;4\n4;5"));
    FForm.UpdateCombsMenu();
    ASSERT_TRUE(FForm.actCombsPaste->isEnabled());
    FForm.actCombsPaste->trigger();
    EXPECT_EQ(FForm.edCombs->toPlainText(), U("3;4\n4;5"));

    TScriptedPrompts prompts;
    const QString saved = dir.filePath(U("system.txt"));
    prompts.Names = {saved};
    FForm.actCombsSave->trigger();
    EXPECT_EQ(ReadFileBytes(saved), QByteArray("3;4\r\n4;5\r\n"));
    ASSERT_EQ(prompts.Prompts.size(), 1);
    EXPECT_TRUE(prompts.Prompts[0].Save);

    WriteFileBytes(dir.filePath(U("other.txt")), "1 2\r\n2 3\r\n3 4");
    prompts.Names = {dir.filePath(U("other.txt"))};
    FForm.actCombsLoad->trigger();
    EXPECT_EQ(FForm.edCombs->toPlainText(), U("1 2\n2 3\n3 4"));
    EXPECT_FALSE(prompts.Prompts[1].Save);

    FForm.edCombs->clear();
    FForm.UpdateCombsMenu();
    EXPECT_FALSE(FForm.actCombsSelectAll->isEnabled());
    EXPECT_FALSE(FForm.actCombsSave->isEnabled());
}

// ---------------------------------------------------------------------------------------------

class SystemsPageTest : public ::testing::Test {
protected:
    SystemsPageTest()
    {
        EXPECT_TRUE(FServer.Start());
        qputenv(MakerServerEnv, FServer.BaseUrl().toLatin1());
        FExchange.SetTabShown(true);
        const auto utc = [](int m, int d, int h) { return QDateTime(QDate(2016, m, d), QTime(h, 15, 0), Qt::UTC); };
        Add(42, 5, 1, {"1 2", "2 3", "4 5"}, U("ann@example.org"), U("Пятёрка «Классика»"), U("Ann O'Neil"), utc(8, 1, 9));
        Add(7, 3, 0, {"1 2", "2 3", "1 3"}, U("bob@x.org"), U("Треугольник"), U("Боб"), utc(7, 12, 18));
        Add(8, 4, 0, {"1 2", "3 4"}, QString(), U("Квадрат"), U("Гость"), utc(6, 3, 7));
        Add(9, 10, 1, {"1 10", "2 9", "3 8", "4 7", "5 6"}, U("ann@example.org"), U("Десятка"), U("Ann O'Neil"),
            utc(8, 5, 20));
        FServer.ClearRequests();
    }
    ~SystemsPageTest() override { qunsetenv(MakerServerEnv); }

    void Add(int id, int nums, int olap, const QStringList& lines, const QString& mail, const QString& title,
             const QString& author, const QDateTime& created)
    {
        TSystemServer::TSystem s;
        s.Id = id;
        s.Nums = nums;
        s.Olap = olap;
        s.CSize = static_cast<int>(lines.size());
        s.Title = title;
        s.Author = author;
        s.Mail = mail;
        s.Descr = U("Система на %1 чисел").arg(nums);
        s.CList = lines.join(U("\r\n")) + U("\r\n");
        s.Created = created;
        s.Downloads = id * 3;
        s.LastDownload = id == 8 ? QDateTime() : created.addDays(2);
        s.Url = id == 42 ? U("https://example.org/systems/42") : QString();
        FSystems.Add(s);
    }
    QStringList Column(int column) const
    {
        QStringList texts;
        for (int row = 0; row < FPage.List()->ItemCount(); ++row)
            texts.append(FPage.List()->Items()->CellText(row, column));
        return texts;
    }

    QTemporaryDir FDir;
    TScriptedBoxes FBoxes;
    THttpStandIn FServer;
    TSystemServer FSystems{FServer};
    TMainState FState;
    TCombListOps FCombs{FState};
    TStakesFile FStakes{FDir.filePath(U("stakes.lsk"))};
    TStakeCommands FCommands{FState, FStakes};
    TSwSystems FClient{FDir.path(), {U("Tavrix2_2r10"), U("2.2.10.0"), U("ABC"), U("Ann O'Neil"), U("Ann@Example.org")},
                       [] { return 1049u; }};
    TSystemsExchange FExchange{FState, FCombs, FStakes, FCommands, FClient};
    TSystemsPage FPage{FExchange, nullptr};
};

TEST_F(SystemsPageTest, ListFilledFromTheServerSortedByNumbers)
{
    const QStringList captions = {U("Название"), U("Автор"), U("Числа"), U("Блок"), U("Комбинаций"), U("Дата создания"),
                                  U("Статус"), U("Загрузок"), U("Последняя"), U("Комментарии"), U("Ссылка")};
    ASSERT_EQ(FPage.List()->ColumnCount(), 11);
    for (int column = 0; column < 11; ++column)
        EXPECT_EQ(FPage.List()->model()->headerData(column, Qt::Horizontal).toString(), captions[column]);
    EXPECT_EQ(FPage.List()->ColumnWidth(0), 200);
    EXPECT_EQ(FPage.List()->ColumnWidth(1), 150);
    EXPECT_GE(FPage.List()->ColumnWidth(5), 100);
    EXPECT_EQ(FPage.List()->ColumnWidth(10), 200);
    EXPECT_TRUE(FPage.List()->MultiSelect());

    FPage.LoadSystems();
    EXPECT_EQ(Column(2), QStringList({U("03"), U("04"), U("05"), U("10")}));
    EXPECT_EQ(Column(0), QStringList({U("Треугольник"), U("Квадрат"), U("Пятёрка «Классика»"), U("Десятка")}));
    EXPECT_EQ(FExchange.RowImage(2), TSystemsExchange::riOwn);
    EXPECT_TRUE(FBoxes.Boxes().isEmpty());

    // Header clicks sort by that column, the second one the other way round.
    emit FPage.List()->header()->sectionClicked(7);
    EXPECT_EQ(Column(7), QStringList({U("21"), U("24"), U("27"), U("126")}));
    emit FPage.List()->header()->sectionClicked(7);
    EXPECT_EQ(Column(7), QStringList({U("126"), U("27"), U("24"), U("21")}));

    // A reload keeps the selected system selected.
    FPage.List()->SetSelected(Column(0).indexOf(U("Квадрат")));
    Add(11, 3, 0, {"1 2"}, QString(), U("Ещё одна"), U("Гость"), QDateTime(QDate(2016, 8, 9), QTime(1, 0), Qt::UTC));
    FPage.LoadSystems();
    EXPECT_EQ(FPage.List()->ItemCount(), 5);
    ASSERT_EQ(FPage.SelectedRows().size(), 1);
    EXPECT_EQ(FExchange.Rows()[FPage.SelectedRow()].Id, 8);

    // Hidden: empty.
    FPage.ShowTab(false);
    EXPECT_EQ(FPage.List()->ItemCount(), 0);
    FPage.ShowTab(true);
    EXPECT_EQ(FPage.List()->ItemCount(), 5);
}

TEST_F(SystemsPageTest, DownloadMarksRowsAndDeselectsAllButTheFocusedOne)
{
    FPage.LoadSystems();
    const int five = FExchange.FindRow(42);
    const int three = FExchange.FindRow(7);
    FPage.List()->SetSelected(five);
    FPage.List()->SetItemSelected(three, true);
    FPage.DownloadSelected();
    EXPECT_EQ(Column(6)[five], U("Загружена"));
    EXPECT_EQ(Column(6)[three], U("Загружена"));
    EXPECT_EQ(FPage.SelectedRows(), QList<int>({five}));
    EXPECT_EQ(QDir(SystemCacheFolder(FDir.path())).entryList(QDir::Files, QDir::Name),
              QStringList({U("2-03-0_0007.dat"), U("2-05-1_0042.dat")}));
    EXPECT_TRUE(FPage.CanDeleteSelected());
    FPage.List()->SetSelected(three);
    EXPECT_FALSE(FPage.CanDeleteSelected());
    EXPECT_EQ(WaitCount(), 0);
}

TEST_F(SystemsPageTest, Screenshot)
{
    FPage.LoadSystems();
    FPage.List()->SetSelected(FExchange.FindRow(42));
    FPage.DownloadSelected();
    FPage.List()->SetSelected(FExchange.FindRow(8));
    FPage.DownloadSelected();
    FPage.List()->SetSelected(FExchange.FindRow(7));
    const QString path = SaveScreenshot(&FPage, QStringLiteral("SystemsPage"), QSize(1000, 220));
    ASSERT_FALSE(path.isEmpty());
    EXPECT_FALSE(QImage(path).isNull());

    TFormSystem form;
    tSystemData data;
    static_cast<tSystemInfo&>(data) = FExchange.Rows()[FExchange.FindRow(42)];
    data.CList = FClient.GetSystemData(data);
    form.LoadSystem(data, true);
    const QString dialog = SaveScreenshot(&form, QStringLiteral("FormSystem"), form.size());
    ASSERT_FALSE(dialog.isEmpty());
    TFormSystem readOnly;
    readOnly.LoadSystem(data, false);
    ASSERT_FALSE(SaveScreenshot(&readOnly, QStringLiteral("FormSystemReadOnly"), readOnly.size()).isEmpty());
}

} // namespace
