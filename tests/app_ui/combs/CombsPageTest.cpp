// The combination page of the main window, offscreen: the list, its editors, generation, files.

#include "tests/app_ui/stats/StatCombsPagesTestEnv.h"

#include "app/ui/combs/CombsPage.h"
#include "app/ui/shell/FilePrompt.h"
#include "app/ui/stats/StatChart.h"
#include "app/ui/stats/StatPage.h"
#include "app/ui/archive/UnitInfo.h"
#include "app/ui/combs/UnitGenCombs.h"
#include "platform/Cp1251.h"
#include "support/ui/RActions.h"
#include "support/ui/RClipBrd.h"
#include "support/ui/RStatusBar.h"
#include "tests/common/Screenshot.h"
#include "tests/support_ui/KeyInput.h"

#include <QApplication>
#include <QChart>
#include <QChartView>
#include <QCheckBox>
#include <QClipboard>
#include <QGuiApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QLineSeries>
#include <QMenu>
#include <QPushButton>
#include <QScrollBar>
#include <QSplitter>
#include <QTabWidget>
#include <QSpinBox>
#include <QTimer>
#include <QToolButton>

#include <gtest/gtest.h>


namespace {

// The controls of the generation dialog, by name.
struct TGenControls {
    explicit TGenControls(const QWidget& dialog)
        : cbCombsGenerateMode(dialog.findChild<QComboBox*>(QStringLiteral("cbCombsGenerateMode"))),
          edCombsGenerateParam(dialog.findChild<QLineEdit*>(QStringLiteral("edCombsGenerateParam"))),
          btnCombsGenerateFile(dialog.findChild<QToolButton*>(QStringLiteral("btnCombsGenerateFile"))),
          cbSaveParameters(dialog.findChild<QCheckBox*>(QStringLiteral("cbSaveParameters")))
    {
    }
    QComboBox* cbCombsGenerateMode;
    QLineEdit* edCombsGenerateParam;
    QToolButton* btnCombsGenerateFile;
    QCheckBox* cbSaveParameters;
};

TEST_F(StatCombsPagesTest, TheFirstListComesFromTheSavedGenerationSettings)
{
    // Neither digit among 0, 1 and 2: seven digits in either place.
    WriteFileBytes(FFolder.DataFile(".ini"), "[GLOBAL]\r\nCombsGenerateMode=3\r\nCombsGenerateParameters=0;1;2\r\n");
    auto form = Open();
    EXPECT_EQ(Combs(*form)->ItemCount(), 49);
    EXPECT_EQ(form->StatusBar()->PanelText(3), "Комбинаций: 49");
    EXPECT_EQ(CombTexts(*form).first(), "33");
    // No archive: no table, nothing to compute.
    EXPECT_EQ(StatList(*form)->ItemCount(), 0);
    EXPECT_TRUE(Child<QChartView>(*form, "crtDrawsStat")->chart()->series().isEmpty());
    form->Actions()->UpdateAll();
    EXPECT_FALSE(form->Action(TCommand::DrawsStatCalc)->isEnabled());
}

TEST_F(StatCombsPagesTest, CtrlDelDeletesTheSelectedRowsOfTheListWithTheFocus)
{
    FFolder.WriteArchive(MakeArchive(10));
    auto form = Open();
    Child<QTabWidget>(*form, "pcLists")->setCurrentIndex(1);
    ASSERT_TRUE(ActivateWindow(form.get()));
    TRListView* combs = Combs(*form);
    combs->SetSelected(0);
    combs->SetItemSelected(5, true);
    combs->setFocus();
    form->Actions()->UpdateAll();
    TypeKey(form.get(), Qt::Key_Delete, Qt::ControlModifier);
    EXPECT_EQ(combs->ItemCount(), 98);
    EXPECT_EQ(CombTexts(*form).mid(0, 5), QStringList({"01", "02", "03", "04", "06"}));
    EXPECT_EQ(combs->SelectedCount(), 0);
    ASSERT_EQ(Filters(*form)->ItemCount(), 1);
    EXPECT_EQ(Filters(*form)->Items()->CellText(0, 0), "Выделенные комбинации");
    EXPECT_EQ(Filters(*form)->Items()->CellText(0, 1), "2");
    EXPECT_EQ(Filters(*form)->Items()->Item(0).ImageIndex, 13);
    EXPECT_TRUE(FBoxes.Boxes().isEmpty());

    // Outside the combination list the key deletes nothing: not the selected draws, not the
    // selected combinations.
    combs->SetSelected(0);
    auto* draws = Child<TRListView>(*form, "lvDraws");
    Child<QTabWidget>(*form, "pcLists")->setCurrentIndex(0);
    draws->SetSelected(0);
    draws->setFocus();
    form->Actions()->UpdateAll();
    TypeKey(form.get(), Qt::Key_Delete, Qt::ControlModifier);
    EXPECT_TRUE(FBoxes.Boxes().isEmpty());
    EXPECT_EQ(combs->ItemCount(), 98);
    EXPECT_EQ(form->State().FDraws.size(), 10u);
}

TEST_F(StatCombsPagesTest, EnterInTheExclusionEditorDropsTheNewestDraws)
{
    // The newest draws are 4;5, 4;5 and 9;0.
    FFolder.WriteArchive(MakeDraws({{1, 1}, {9, 0}, {4, 5}, {4, 5}}));
    auto form = Open();
    Child<QTabWidget>(*form, "pcLists")->setCurrentIndex(1);
    ASSERT_TRUE(ActivateWindow(form.get()));
    auto* exclude = Child<QSpinBox>(*form, "edCombsExclude");
    EXPECT_EQ(exclude->value(), TCombsPage::DefaultExclude);
    EXPECT_EQ(Child<QToolButton>(*form, "btnCombsDelExists")->defaultAction(), form->Action(TCommand::CombsDelExists));
    exclude->setFocus();
    exclude->selectAll();
    TypeKey(form.get(), Qt::Key_3, Qt::NoModifier, QStringLiteral("3"));
    TypeKey(form.get(), Qt::Key_Enter);
    EXPECT_EQ(Combs(*form)->ItemCount(), 98);
    EXPECT_FALSE(CombTexts(*form).contains("45"));
    EXPECT_FALSE(CombTexts(*form).contains("90"));
    EXPECT_EQ(Filters(*form)->Items()->CellText(0, 0), "Последние тиражи");
    EXPECT_EQ(Filters(*form)->Items()->CellText(0, 1), "3");
    // 0 draws: the command is off, and Enter does nothing.
    exclude->selectAll();
    TypeKey(form.get(), Qt::Key_0, Qt::NoModifier, QStringLiteral("0"));
    TypeKey(form.get(), Qt::Key_Enter);
    EXPECT_EQ(Filters(*form)->ItemCount(), 1);
}

TEST_F(StatCombsPagesTest, GenerationDialogHandsBackWhatWasChosen)
{
    TScriptedPrompts prompts;
    prompts.Names = {QStringLiteral("/data/mine.lcv")};
    TFormGenCombs dialog;
    const TGenControls controls(dialog);
    const TGenControls* ui = &controls;
    EXPECT_EQ(dialog.windowTitle(), "Создание нового списка комбинаций");
    ASSERT_EQ(ui->cbCombsGenerateMode->count(), 5);
    EXPECT_EQ(ui->cbCombsGenerateMode->itemText(4), "Загрузить список из заранее подготовленного CSV-файла");

    // Each mode enables what it reads: no text for the full list, a file only in mode 4.
    const struct {
        int Mode;
        bool Text;
        bool File;
    } modes[] = {{0, false, false}, {1, true, false}, {2, true, false}, {3, true, false}, {4, true, true}};
    for (const auto& mode : modes) {
        dialog.LoadSettings({static_cast<std::uint8_t>(mode.Mode), QStringLiteral("3;7")}, mode.Mode == 2);
        EXPECT_EQ(ui->cbCombsGenerateMode->currentIndex(), mode.Mode);
        EXPECT_EQ(ui->edCombsGenerateParam->isEnabled(), mode.Text) << mode.Mode;
        EXPECT_EQ(ui->btnCombsGenerateFile->isEnabled(), mode.File) << mode.Mode;
        EXPECT_EQ(dialog.SaveAsDefault(), mode.Mode == 2);
    }
    // A stored mode past the last is the full list.
    dialog.LoadSettings({9, QString()}, false);
    EXPECT_EQ(ui->cbCombsGenerateMode->currentIndex(), 0);

    // "..." asks for a file from the text's name; the chosen name replaces the text.
    dialog.LoadSettings({4, QStringLiteral("/data/old.lcv")}, false);
    ui->btnCombsGenerateFile->click();
    ASSERT_EQ(prompts.Prompts.size(), 1);
    EXPECT_EQ(prompts.Prompts[0].FileName, "/data/old.lcv");
    EXPECT_EQ(prompts.Prompts[0].DefaultExt, "lcv");
    EXPECT_EQ(QtFileFilter(prompts.Prompts[0].Filter), "Файлы комбинаций (*.lcv)");
    ui->cbSaveParameters->setChecked(true);
    EXPECT_EQ(dialog.Settings(), (TCombsGenerateSettings{4, QStringLiteral("/data/mine.lcv")}));
    EXPECT_TRUE(dialog.SaveAsDefault());
    // Settings() hands back what stands (OK checks my numbers), a text longer than a stored
    // text cut.
    ui->cbCombsGenerateMode->setCurrentIndex(1);
    ui->edCombsGenerateParam->setMaxLength(1000);
    ui->edCombsGenerateParam->setText(QString(300, QLatin1Char('x')));
    EXPECT_EQ(dialog.Settings().Parameters.size(), 255);
}

TEST_F(StatCombsPagesTest, GenerateCommandBuildsTheListAndSavesTheDefaultWhenAsked)
{
    auto form = Open();
    QTimer player;
    QObject::connect(&player, &QTimer::timeout, [&] {
        auto* dialog = qobject_cast<TFormGenCombs*>(QApplication::activeModalWidget());
        if (!dialog)
            return;
        EXPECT_EQ(dialog->Settings(), TCombsGenerateSettings{});
        EXPECT_FALSE(dialog->SaveAsDefault());
        const TGenControls ui(*dialog);
        ui.cbCombsGenerateMode->setCurrentIndex(2);
        ui.edCombsGenerateParam->setText(QStringLiteral("3;7"));
        ui.cbSaveParameters->setChecked(true);
        dialog->OkBtn()->click();
    });
    player.start(20);
    EXPECT_TRUE(Run(*form, "CombsGen"));
    player.stop();
    EXPECT_EQ(CombTexts(*form), QStringList({"33", "37", "73", "77"}));
    EXPECT_EQ(form->StatusBar()->PanelText(3), "Комбинаций: 4");
    const QByteArray ini = ReadFileBytes(FFolder.DataFile(".ini"));
    EXPECT_TRUE(ini.contains("CombsGenerateMode=2")) << ini.toStdString();
    EXPECT_TRUE(ini.contains("CombsGenerateParameters=3;7")) << ini.toStdString();
    // A new list starts without an undo copy and without applied filters.
    EXPECT_EQ(form->Combs().UndoCount(), 0);
    EXPECT_FALSE(Run(*form, "CombsUndo"));
}

TEST_F(StatCombsPagesTest, GenerationRefusesMyNumbersThatAreNotDigitsNamingThem)
{
    // In each of the my-numbers modes a word that is not a digit keeps the dialog open on the
    // edit with a box naming it; "3;7" typed over it is built.
    const struct {
        int Mode;
        const char* Typed;
        const char* Refused;
        int Count;
    } cases[] = {
        {GenAnyOf, "|;abc,-1,99999999999", "|", 36},
        {GenOnlyFrom, "3;12", "12", 4},
        {GenNoneOf, " 1 ,2;x", "x", 64},
    };
    auto form = Open();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Typed);
        FBoxes.Clear();
        WhenModal([&](TDialogSTemplate& dialog) {
            const TGenControls ui(dialog);
            const auto type = [&ui](const char* text) {
                for (const QChar ch : U(text))
                    TypeKey(ui.edCombsGenerateParam, ch.unicode(), Qt::NoModifier, QString(ch));
            };
            ui.cbCombsGenerateMode->setCurrentIndex(c.Mode);
            ASSERT_TRUE(ActivateWindow(&dialog));
            ui.edCombsGenerateParam->setFocus();
            type(c.Typed);
            EXPECT_FALSE(PressOk(dialog));
            EXPECT_EQ(FBoxes.Last().Text, U("Некорректное значение в списке моих чисел: \"%1\"!\n\nУкажите цифры от 0 "
                                            "до 9 через точку с запятой или запятую.").arg(U(c.Refused)));
            EXPECT_EQ(QApplication::focusWidget(), ui.edCombsGenerateParam);
            type("3;7");
            EXPECT_TRUE(PressOk(dialog));
        });
        EXPECT_TRUE(Run(*form, "CombsGen"));
        EXPECT_EQ(FBoxes.Boxes().size(), 1);
        EXPECT_EQ(CombTexts(*form).size(), c.Count);
    }
}

TEST_F(StatCombsPagesTest, FilesAndTheClipboardGoThroughTheList)
{
    auto form = Open();
    TScriptedPrompts prompts;
    TRListView* combs = Combs(*form);

    // Save: the selected rows do not matter, the whole list is written.
    const QString saved = FFolder.File(QStringLiteral("list.lcv"));
    prompts.Names = {saved};
    combs->SetSelected(3);
    ASSERT_TRUE(Run(*form, "CombsDelSelected"));
    ASSERT_TRUE(Run(*form, "CombsSave"));
    ASSERT_EQ(prompts.Prompts.size(), 1);
    EXPECT_TRUE(prompts.Prompts[0].Save);
    const QByteArray bytes = ReadFileBytes(saved);
    EXPECT_TRUE(bytes.startsWith("0;0\r\n0;1\r\n0;2\r\n0;4\r\n")) << bytes.left(40).toStdString();
    EXPECT_EQ(bytes.count("\r\n"), 99);

    // Open: a line with a number outside 0..9 is left out and told; the history starts anew.
    const QString other = FFolder.File(QStringLiteral("other.lcv"));
    WriteFileBytes(other, "3,7\r\n12;3\r\n1;2;3\r\n 5 ; 0 \r\n");
    prompts.Names = {other};
    ASSERT_TRUE(Run(*form, "CombsOpen"));
    EXPECT_FALSE(prompts.Prompts[1].Save);
    EXPECT_EQ(CombTexts(*form), QStringList({"37", "50"}));
    EXPECT_EQ(Filters(*form)->ItemCount(), 0);
    ASSERT_EQ(FBoxes.Boxes().size(), 1);
    EXPECT_TRUE(FBoxes.Last().Text.contains("пропущено строк с числами вне диапазона от 0 до 9: 1")) << FBoxes.Last().Text.toStdString();
    // A cancelled prompt does nothing.
    ASSERT_TRUE(Run(*form, "CombsOpen"));
    EXPECT_EQ(combs->ItemCount(), 2);

    // Copy the selected rows; paste a text whose third line is bad: the list stays.
    combs->SetSelected(1);
    ASSERT_TRUE(Run(*form, "CombsCopy"));
    EXPECT_EQ(GetClipboardWideText(), "05 00\n");
    // Paste is offered while the clipboard holds text.
    QGuiApplication::clipboard()->clear();
    form->Actions()->UpdateAll();
    EXPECT_FALSE(form->Action(TCommand::CombsPaste)->isEnabled());
    SetClipboardWideText(QStringLiteral("1 2\n3-4\n12,3\n"));
    form->Actions()->UpdateAll();
    EXPECT_TRUE(form->Action(TCommand::CombsPaste)->isEnabled());
    ASSERT_TRUE(Run(*form, "CombsPaste"));
    EXPECT_EQ(CombTexts(*form), QStringList({"37", "50"}));
    EXPECT_EQ(FBoxes.Boxes().size(), 2);
    SetClipboardWideText(QStringLiteral("1 2\r\n3-4"));
    ASSERT_TRUE(Run(*form, "CombsPaste"));
    EXPECT_EQ(CombTexts(*form), QStringList({"12", "34"}));
    EXPECT_EQ(form->StatusBar()->PanelText(3), "Комбинаций: 2");
}

TEST_F(StatCombsPagesTest, CombinationCellsTakeTheirChannelColours)
{
    auto form = Open();
    const QModelIndex number = Combs(*form)->model()->index(9, 0);
    const QModelIndex first = Combs(*form)->model()->index(9, 1);
    const QModelIndex second = Combs(*form)->model()->index(9, 2);
    struct TProbe : TCombsDelegate {
        using TCombsDelegate::TCombsDelegate;
        QBrush Background(const QModelIndex& index) const
        {
            QStyleOptionViewItem option;
            initStyleOption(&option, index);
            return option.backgroundBrush;
        }
    } probe(form->Combs(), nullptr);
    // Row 9 is 0;9: channel size 2 puts 0 in the first channel, 9 in the fifth.
    EXPECT_EQ(probe.Background(number).color(), QColor(Qt::white));
    EXPECT_EQ(probe.Background(first).color(), QColor(0xAA, 0xFF, 0xAA));
    EXPECT_EQ(probe.Background(second).color(), QColor(0xAA, 0xAA, 0xFF));
    form->State().Options.SetValue(TMainOptions::ColorCombs, 0);
    EXPECT_EQ(probe.Background(first).style(), Qt::NoBrush);

    // The three pictures of the applied filters differ from each other.
    const QImage undo = TFilterHistoryDelegate::HistoryIcon(11).pixmap(16).toImage();
    const QImage plain = TFilterHistoryDelegate::HistoryIcon(12).pixmap(16).toImage();
    const QImage success = TFilterHistoryDelegate::HistoryIcon(13).pixmap(16).toImage();
    EXPECT_FALSE(undo.isNull());
    EXPECT_NE(undo, plain);
    EXPECT_NE(plain, success);
    EXPECT_TRUE(TFilterHistoryDelegate::HistoryIcon(14).isNull());
}

TEST_F(StatCombsPagesTest, AHundredThousandRowsAreShownByNeed)
{
    auto form = Open();
    form->Combs().SaveUndo(false);
    TCombList& list = form->State().FCombs;
    for (int i = 0; i < 100000 - 100; ++i)
        AppendComb(list, MakeComb(static_cast<std::uint8_t>(i % 10), static_cast<std::uint8_t>(i / 10 % 10)));
    form->Combs().RefreshCombsView();
    TRListView* combs = Combs(*form);
    Child<QTabWidget>(*form, "pcLists")->setCurrentIndex(1);
    ASSERT_EQ(combs->ItemCount(), 100000);
    EXPECT_EQ(form->StatusBar()->PanelText(3), "Комбинаций: 100000");
    combs->scrollToBottom();
    QApplication::processEvents();
    EXPECT_TRUE(combs->viewport()->rect().intersects(combs->visualRect(combs->model()->index(99999, 0))));
    EXPECT_GT(combs->TopIndex(), 99900);
    EXPECT_EQ(combs->Items()->CellText(99999, 0), "100000");
    ASSERT_TRUE(Run(*form, "CombsSelectAll"));
    EXPECT_EQ(combs->SelectedCount(), 100000);
    ASSERT_TRUE(Run(*form, "CombsDelSelected"));
    EXPECT_EQ(combs->ItemCount(), 0);
    EXPECT_EQ(form->StatusBar()->PanelText(3), "Комбинаций: 0");
}

} // namespace
