#include "tests/support_ui/ExpXlsTestData.h"

#include <QMenu>

using namespace expxls_test;

// ---------------------------------------------------------------------------------------------
// The export dialog and its column dialog.

TEST_F(ExpXlsWorkbook, TheDialogSavesTheChoicesAndTheNextExportRestoresThem)
{
    TDrawsList list;
    // First export: the date column unchecked (it goes last), the figures renamed.
    ASSERT_TRUE(WithDialog(
        [&] { return ExportListViewToExcel(list.View, U("Тиражи"), U("Тиражи"), "", "", 0, true); },
        [](TFormExpExcel* form) {
            EXPECT_EQ(form->edTitle->text(), U("Тиражи"));
            EXPECT_EQ(form->edRecNum->text(), "3");
            form->lvFields->Items()->setData(form->lvFields->Items()->index(1, 0), Qt::Unchecked, Qt::CheckStateRole);
            QApplication::processEvents();
            TRListItem item = form->lvFields->Items()->Item(1);
            EXPECT_EQ(item.SubItems.value(2), U("Цифры"));
            item.Caption = U("Пара");
            form->lvFields->Items()->SetItem(1, item);
            form->DateCreateCheckBox->setChecked(false);
            form->edPageName->setText("***");   // nothing left once cleaned
        }));
    TXlsxReader xlsx;
    ReadOpened(xlsx);
    EXPECT_EQ(xlsx.SheetNames(), QStringList{U("Лист1")});
    EXPECT_EQ(xlsx.Text(1, "A3"), U("Номер"));
    EXPECT_EQ(xlsx.Text(1, "B3"), U("Пара"));
    EXPECT_EQ(xlsx.Text(1, "C3"), "");

    TMemIniFile ini(IniFile());
    const QString section = "EXPORT_EXCEL_FORMTEST.LVDRAWS";
    EXPECT_EQ(ini.ReadString(section, "RestoreParameters", ""), "1");
    EXPECT_EQ(ini.ReadString(section, "ShowCreateTime", ""), "0");
    EXPECT_EQ(ini.ReadString(section, "SheetName", ""), "***");
    EXPECT_EQ(ini.ReadString(section, "Item_1", ""), U("2;Цифры;Пара;-1;2;9,00"));
    EXPECT_EQ(ini.ReadString(section, "Item_2", ""), U("1;Дата;Дата;0;0;12,50"));

    // The next dialog opens with them; the given title is kept.
    ASSERT_TRUE(WithDialog(
        [&] { return ExportListViewToExcel(list.View, U("Новый"), U("Тиражи"), "", "", 0, true); },
        [](TFormExpExcel* form) {
            EXPECT_EQ(form->edTitle->text(), U("Новый"));
            EXPECT_FALSE(form->DateCreateCheckBox->isChecked());
            const TExpXlsParams params = form->Params();
            ASSERT_EQ(params.Columns.size(), 3u);
            EXPECT_EQ(params.Columns[1].Caption, U("Пара"));
            EXPECT_FALSE(params.Columns[2].Checked);
            form->reject();
        }) == false);
    EXPECT_TRUE(FOpened.isEmpty());
}

TEST_F(ExpXlsWorkbook, DialogControlsCommandsAndParameterFiles)
{
    TDrawsList list;
    list.View->SetMultiSelect(true);
    list.View->SetItemSelected(0, true);
    list.View->SetItemSelected(1, true);
    const auto source = ListViewSource(list.View);
    TFormExpExcel form;
    form.Prepare(*source, U("Тиражи"), U("Лист"), "", U("Заметки"), 1, true);
    EXPECT_EQ(form.windowTitle(), U("Экспорт в Microsoft Excel"));
    EXPECT_EQ(form.edSendMode->currentIndex(), 1);
    EXPECT_EQ(form.edRecNum->text(), "2");
    form.edSendMode->setCurrentIndex(0);
    EXPECT_EQ(form.edRecNum->text(), "3");
    EXPECT_EQ(form.edOrientation->currentIndex(), 1);
    EXPECT_EQ(form.edFontSize->value(), 8);
    EXPECT_TRUE(form.SaveCheckBox->isChecked());
    EXPECT_EQ(form.lvFields->Selected(), 0);

    TActionRegistry* actions = form.Actions();
    actions->UpdateAll();
    EXPECT_FALSE(actions->Action("MoveUp")->isEnabled());
    EXPECT_TRUE(actions->Action("MoveDown")->isEnabled());
    EXPECT_EQ(form.MoveDownBtn->text(), U("Вниз"));
    EXPECT_TRUE(form.MoveDownBtn->isEnabled());
    EXPECT_TRUE(actions->Execute("MoveDown"));
    actions->UpdateAll();
    EXPECT_EQ(form.lvFields->Items()->Item(0).Caption, U("Дата"));
    EXPECT_EQ(form.lvFields->Selected(), 1);
    form.lvFields->SetSelected(2);
    actions->UpdateAll();
    EXPECT_FALSE(actions->Action("MoveDown")->isEnabled());

    // Unchecking a column puts it under the checked ones and selects it.
    form.lvFields->Items()->setData(form.lvFields->Items()->index(0, 0), Qt::Unchecked, Qt::CheckStateRole);
    QApplication::processEvents();
    EXPECT_EQ(form.lvFields->Items()->Item(2).Caption, U("Дата"));
    EXPECT_EQ(form.lvFields->Selected(), 2);

    // Parameter files: saved without RestoreParameters; loading overwrites the title only.
    const QString expFile = FDir.filePath("draws.exp");
    QList<bool> saves;
    QStringList starts;   // in the program's folder; a file to write is named after the sheet
    SetExpFilePrompt([&](QWidget*, const QString& filter, const QString& ext, bool save, QString& fileName) {
        EXPECT_EQ(filter, U("Файлы параметров экспорта (*.exp)|*.exp|Все файлы (*.*)|*.*"));
        EXPECT_EQ(ext, "exp");
        starts << fileName;
        saves << save;
        fileName = expFile;
        return true;
    });
    ASSERT_TRUE(actions->Execute("SaveFile"));
    TMemIniFile saved(expFile);
    EXPECT_FALSE(saved.ValueExists("EXPORT_EXCEL_FORMTEST.LVDRAWS", "RestoreParameters"));
    EXPECT_EQ(saved.ReadString("EXPORT_EXCEL_FORMTEST.LVDRAWS", "Item_2", ""), U("1;Дата;Дата;0;0;12,50"));

    form.edTitle->setText(U("Другой"));
    form.edNotes->setText(U("Свои"));
    form.SaveCheckBox->setChecked(false);
    form.lvFields->Items()->setData(form.lvFields->Items()->index(2, 0), Qt::Checked, Qt::CheckStateRole);
    QApplication::processEvents();
    ASSERT_TRUE(actions->Execute("OpenFile"));
    EXPECT_EQ(saves, QList<bool>({true, false}));
    EXPECT_EQ(form.edTitle->text(), U("Тиражи"));
    EXPECT_EQ(form.edNotes->text(), U("Свои"));
    EXPECT_FALSE(form.SaveCheckBox->isChecked());
    EXPECT_FALSE(form.Params().Columns[2].Checked);
    EXPECT_TRUE(FBoxes.Boxes().isEmpty());
    form.edPageName->setText("?*");
    ASSERT_TRUE(actions->Execute("SaveFile"));
    EXPECT_EQ(starts, QStringList({FDir.filePath(U("Лист.exp")), FDir.path() + '/', FDir.filePath("lvDraws.exp")}));

    // Never into the program's settings: refused, and the same answer again cancels.
    const QByteArray settings = ReadFileBytes(GetAppIniFileName());
    SetExpFilePrompt([&](QWidget*, const QString&, const QString&, bool, QString& fileName) {
        fileName = GetAppIniFileName();
        return true;
    });
    ASSERT_TRUE(actions->Execute("SaveFile"));
    EXPECT_EQ(FBoxes.Boxes().size(), 2);
    EXPECT_EQ(ReadFileBytes(GetAppIniFileName()), settings);
    FBoxes.Clear();

    // A file that cannot be read or written is reported, not taken for an empty one.
    const QString folder = FDir.filePath("folder.exp");
    ASSERT_TRUE(QDir().mkdir(folder));
    LoadExportParams(&form, folder, false, true);
    ASSERT_EQ(FBoxes.Boxes().size(), 1);
    EXPECT_EQ(FBoxes.Last().Text, U("Ошибка загрузки параметров экспорта из файла \"%1\"!").arg(folder));
    const QString missing = FDir.filePath("missing/draws.exp");
    EXPECT_FALSE(SaveExportParams(&form, missing, false));
    ASSERT_EQ(FBoxes.Boxes().size(), 2);
    EXPECT_EQ(FBoxes.Last().Text, U("Ошибка сохранения параметров экспорта в файле \"%1\"!").arg(missing));
    EXPECT_EQ(WaitCount(), 0);
}

// The popups name their keys as the program's menus do, and the buttons that share their
// commands keep the bare captions.
TEST_F(ExpXlsWorkbook, PopupsShowTheirKeysInTheProgramsWordsAndButtonsTheirCaptions)
{
    TDrawsList list;
    const auto source = ListViewSource(list.View);
    TFormExpExcel form;
    form.Prepare(*source, U("Тиражи"), U("Лист"), "", U("Заметки"), 1, true);
    const struct {
        QMenu* Menu;
        QStringList Keys;
    } popups[] = {
        {form.FilePopupMenu, {"Ctrl+O", "Ctrl+S"}},
        {form.FieldsPopupMenu, {U("Ctrl+Вверх"), U("Ctrl+Вниз"), U("Ctrl+Ввод")}},
    };
    for (const auto& popup : popups) {
        emit popup.Menu->aboutToShow();
        QStringList keys;
        for (const QAction* item : popup.Menu->actions())
            if (!item->isSeparator())
                keys << item->text().section(QLatin1Char('\t'), 1);
        EXPECT_EQ(keys, popup.Keys);
    }
    EXPECT_EQ(form.MoveUpBtn->text(), U("Вверх"));
    EXPECT_EQ(form.MoveDownBtn->text(), U("Вниз"));
    EXPECT_EQ(form.RenameBtn->text(), U("Свойства"));
}

TEST_F(ExpXlsWorkbook, TheColumnDialogRenamesAlignsAndSizes)
{
    TDrawsList list;
    const auto source = ListViewSource(list.View);
    TFormExpExcel form;
    form.Prepare(*source, U("Тиражи"), U("Лист"), "", "", 0, false);
    // No row is selected: the selected rows are no choice (they would be one empty row).
    ASSERT_TRUE(ActivateWindow(&form));
    form.edSendMode->setFocus();
    TypeKey(form.edSendMode, Qt::Key_Down);
    EXPECT_EQ(form.edSendMode->currentIndex(), 0);
    EXPECT_FALSE(form.SaveCheckBox->isEnabled());
    EXPECT_FALSE(form.SaveCheckBox->isChecked());
    form.Actions()->UpdateAll();
    EXPECT_FALSE(form.Actions()->Action("SaveFile")->isEnabled());
    form.lvFields->SetSelected(1);
    QTimer::singleShot(0, [] {
        auto* dialog = qobject_cast<TFormExpExcelParam*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        EXPECT_EQ(dialog->windowTitle(), U("Параметры поля"));
        EXPECT_EQ(dialog->edCaption->text(), U("Дата"));
        EXPECT_EQ(dialog->edAlign->currentIndex(), 0);
        EXPECT_EQ(dialog->edWidth->Value(), 12.5L);
        dialog->edCaption->setText(U("Когда"));
        dialog->edAlign->setCurrentIndex(2);
        dialog->edWidth->SetValue(7.126L);
        dialog->accept();
    });
    ASSERT_TRUE(form.Actions()->Execute("Rename"));
    const TRListItem& item = form.lvFields->Items()->Item(1);
    EXPECT_EQ(item.Caption, U("Когда"));
    EXPECT_EQ(item.SubItems, QStringList({U("по центру"), U("7,13"), U("Дата")}));
    EXPECT_EQ(form.Params().Columns[1].AlignCode, kExpAlignCenter);
}

TEST_F(ExpXlsWorkbook, TheColumnDialogRefusesWhatTheSettingsOrTheWorkbookCannotTake)
{
    const char* const badCaption = "Недопустимый заголовок столбца!\n\nЗаголовок не может содержать символ \";\"";
    const struct {
        const char* Typed;
        const char* Refusal;   // nullptr: accepted
        long double Width;
        const char* Caption = "Дата";
    } cases[] = {
        {"-5", "Недопустимая ширина столбца: -5!\n\nУкажите число от 0 до 255", 0},
        {"255,5", "Недопустимая ширина столбца: 255,5!\n\nУкажите число от 0 до 255", 0},
        {"1000", "Недопустимая ширина столбца: 1000!\n\nУкажите число от 0 до 255", 0},
        {"12", badCaption, 0, "Дата;время"},
        {"12", "Недопустимый заголовок столбца!\n\nЗаголовок не может быть пустым", 0, ""},
        {"12", "Недопустимый заголовок столбца!\n\nЗаголовок не может быть пустым", 0, "  "},
        {"0", nullptr, 0},
        {"255", nullptr, 255},
        {"12,5", nullptr, 12.5L},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Typed);
        FBoxes.Clear();
        TFormExpExcelParam dialog;
        dialog.edCaption->setText(U(c.Caption));
        dialog.edWidth->SetValue(12.5L);
        ASSERT_TRUE(ActivateWindow(&dialog));
        dialog.edWidth->setFocus();
        dialog.edWidth->selectAll();
        for (const QChar ch : U(c.Typed))
            TypeKey(dialog.edWidth, ch.unicode(), Qt::NoModifier, QString(ch));
        dialog.setResult(QDialog::Rejected);
        dialog.OkBtn()->click();
        if (c.Refusal == nullptr) {
            EXPECT_EQ(dialog.result(), QDialog::Accepted);
            EXPECT_TRUE(FBoxes.Boxes().isEmpty());
            EXPECT_EQ(dialog.edWidth->Value(), c.Width);
            continue;
        }
        EXPECT_EQ(dialog.result(), QDialog::Rejected);
        ASSERT_EQ(FBoxes.Boxes().size(), 1);
        EXPECT_EQ(FBoxes.Last().Text, U(c.Refusal));
        const bool captionRefused = U(c.Refusal).startsWith(U("Недопустимый заголовок"));
        const QWidget* field = captionRefused ? static_cast<QWidget*>(dialog.edCaption) : dialog.edWidth;
        EXPECT_EQ(QApplication::focusWidget(), field);
    }
}

// No column checked: OK says so and the dialog stays open, so that nothing is written.
TEST_F(ExpXlsWorkbook, AnExportOfNoColumnIsRefused)
{
    TDrawsList list;
    EXPECT_FALSE(WithDialog([&] { return ExportListViewToExcel(list.View, "T", "T", "", "", 0, true); },
                            [](TFormExpExcel* form) {
                                for (int row = 0; row < 3; ++row)
                                    form->lvFields->Items()->setData(form->lvFields->Items()->index(row, 0),
                                                                     Qt::Unchecked, Qt::CheckStateRole);
                                form->OkBtn()->click();
                                form->reject();
                            }));
    EXPECT_EQ(FBoxes.Boxes().value(0).Text.section('\n', 0, 0), U("Не отмечено ни одного столбца для экспорта!"));
}

TEST_F(ExpXlsWorkbook, ScreenshotsOfBothPages)
{
    TDrawsList list;
    const auto source = ListViewSource(list.View);
    TFormExpExcel form;
    form.Prepare(*source, U("Архив тиражей"), U("Тиражи"), "", "", 0, true);
    form.PageControl->setCurrentIndex(0);
    EXPECT_FALSE(SaveScreenshot(&form, "ExportDialogSheet", form.size()).isEmpty());
    form.PageControl->setCurrentIndex(1);
    EXPECT_FALSE(SaveScreenshot(&form, "ExportDialogColumns", form.size()).isEmpty());
    // At least the designed size; wider where a text wants it.
    EXPECT_GE(form.width(), 492);
    EXPECT_GE(form.height(), 435);

    TFormExpExcelParam column(&form);
    column.edCaption->setText(U("Дата"));
    column.edAlign->setCurrentIndex(1);
    column.edWidth->SetValue(12.5L);
    EXPECT_FALSE(SaveScreenshot(&column, "ExportColumnDialog", column.size()).isEmpty());
    EXPECT_GE(column.width(), 347);
}
