#include "support/ui/UnitExpExcel.h"
#include "support/ui/UnitExpExcelImpl.h"

#include "platform/DelphiText.h"
#include "platform/IniFile.h"
#include "platform/ResString.h"
#include "support/RDateUtils.h"
#include "support/RDialogs.h"
#include "support/RMsExcel.h"
#include "support/ROwnFiles.h"
#include "support/RSysUtils.h"
#include "support/RVclUtils.h"
#include "support/ui/QorFloatEdit.h"
#include "support/ui/QorListView.h"
#include "support/ui/RActions.h"
#include "support/ui/RListView.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QStandardItemModel>
#include <QTabWidget>

#include <algorithm>

// The export dialog's choices: filled for a table, read back, kept in parameter files, and the
// column dialog that changes one column.

namespace {

const TResString SFileFilter =
    RESSTR("UnitExpExcel", "Файлы параметров экспорта (*.exp)|*.exp|Все файлы (*.*)|*.*");
const TResString SLoadError = RESSTR("UnitExpExcel", "Ошибка загрузки параметров экспорта из файла \"%s\"!");
const TResString SSaveError = RESSTR("UnitExpExcel", "Ошибка сохранения параметров экспорта в файле \"%s\"!");
const TResString SNoColumns =
    RESSTR("UnitExpExcel", "Не отмечено ни одного столбца для экспорта!\n\nОтметьте хотя бы один столбец таблицы.");

const TResString SParamCaption = RESSTR("UnitExpExcel", "Параметры поля");
const TResString SParamCaptionLabel = RESSTR("UnitExpExcel", "Заголовок столбца:");
const TResString SParamCaptionHint = RESSTR("UnitExpExcel", "Заголовок столбца");
const TResString SParamAlignLabel = RESSTR("UnitExpExcel", "Выравнивание данных:");
const TResString SParamAlignHint = RESSTR("UnitExpExcel", "Выравнивание данных");
const TResString SParamWidthLabel = RESSTR("UnitExpExcel", "Ширина:");
const TResString SParamWidthHint = RESSTR("UnitExpExcel", "Ширина столбца");
const TResString SParamBadCaption =
    RESSTR("UnitExpExcel", "Недопустимый заголовок столбца!\n\nЗаголовок не может содержать символ \";\"");
const TResString SParamEmptyCaption =
    RESSTR("UnitExpExcel", "Недопустимый заголовок столбца!\n\nЗаголовок не может быть пустым");
const TResString SParamBadWidth =
    RESSTR("UnitExpExcel", "Недопустимая ширина столбца: %s!\n\nУкажите число от 0 до 255");

constexpr int kParamWidth = 347;

TExpFilePrompt& FilePrompt()
{
    static TExpFilePrompt prompt;
    return prompt;
}

bool QtFilePrompt(QWidget* owner, const QString& filter, const QString& defaultExt, bool save, QString& fileName)
{
    QFileDialog dialog(owner);
    // "Description (*.ext)|*.ext|..." pairs: Qt takes the descriptions, whose patterns it reads
    // from the brackets; "*.*" would ask for a dot in the name, which "all files" does not mean.
    QStringList filters;
    const QStringList parts = filter.split(QLatin1Char('|'));
    for (int i = 0; i + 1 < parts.size(); i += 2)
        filters.append(QString(parts[i]).replace(QLatin1String("(*.*)"), QLatin1String("(*)")));
    dialog.setNameFilters(filters);
    dialog.setDefaultSuffix(defaultExt);
    const QFileInfo start(fileName);
    dialog.setDirectory(start.absolutePath());
    dialog.selectFile(start.fileName());
    if (save) {
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setFileMode(QFileDialog::AnyFile);
        dialog.setOption(QFileDialog::DontConfirmOverwrite, true);
    } else {
        dialog.setAcceptMode(QFileDialog::AcceptOpen);
        dialog.setFileMode(QFileDialog::ExistingFile);
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return false;
    fileName = dialog.selectedFiles().first();
    return true;
}

} // namespace

void TFormExpExcel::Prepare(const TExpXlsSource& source, const QString& title, const QString& sheetName,
                            const QString& header, const QString& notes, int orientation, bool useSettings)
{
    TBusyScope busy;
    FFormName = source.FormName();
    FTableName = source.TableName();
    FHeader = header;
    edTitle->setText(title);
    edNotes->setText(notes);
    edOrientation->setCurrentIndex(orientation >= 0 && orientation <= 2 ? orientation : 0);
    edFontSize->setValue(8);
    edPageName->setText(sheetName);
    SaveCheckBox->setEnabled(useSettings);
    SaveCheckBox->setChecked(useSettings);
    FileBtn->setVisible(useSettings);

    FShownCount = source.ShownCount();
    FSelectedCount = source.SelectedCount();
    edSendMode->setCurrentIndex(source.SelectionOffered() ? 1 : 0);
    // With no row selected the choice of the selected rows would write one empty row.
    const std::vector<int> selected = source.ExportRows(true);
    const bool anySelected = std::any_of(selected.begin(), selected.end(), [](int row) { return row >= 0; });
    if (auto* model = qobject_cast<QStandardItemModel*>(edSendMode->model()))
        if (QStandardItem* item = model->item(1))
            item->setEnabled(anySelected);
    UpdateRecNum();

    SetColumns(ExpXlsColumnsOf(source));
    if (useSettings)
        LoadExportParams(this, GetAppIniFileName(), true, false);
    FFilling = true;
    MoveCheckedToTop(lvFields);
    FFilling = false;
    RememberChecks();
    if (lvFields->ItemCount() > 0)
        lvFields->SetSelected(0);
    FActions->UpdateAll();
}

QString TFormExpExcel::Section() const
{
    return ExpXlsSection(FFormName, FTableName);
}

void TFormExpExcel::UpdateRecNum()
{
    edRecNum->setText(QString::number(edSendMode->currentIndex() == 1 ? FSelectedCount : FShownCount));
}

void TFormExpExcel::SetColumns(const std::vector<TExpXlsColumn>& columns)
{
    FFilling = true;
    lvFields->BeginUpdate();
    lvFields->Items()->Clear();
    std::vector<std::unique_ptr<TFieldData>> records;
    for (const TExpXlsColumn& column : columns) {
        records.push_back(std::make_unique<TFieldData>(column.SourceIndex, ValidExpAlignment(column.AlignCode)));
        TRListItem item;
        item.Caption = column.Caption;
        item.Checked = column.Checked;
        item.SubItems = {ExpAlignmentName(column.AlignCode), column.WidthText, column.SourceCaption};
        item.Data = records.back().get();
        lvFields->Items()->Add(item);
    }
    FFieldData = std::move(records);
    lvFields->EndUpdate();
    FFilling = false;
    RememberChecks();
}

std::vector<TExpXlsColumn> TFormExpExcel::Columns() const
{
    std::vector<TExpXlsColumn> columns;
    for (int i = 0; i < lvFields->ItemCount(); ++i) {
        const TRListItem& item = lvFields->Items()->Item(i);
        const auto* record = static_cast<const TFieldData*>(item.Data);
        TExpXlsColumn column;
        column.Caption = item.Caption;
        column.Checked = item.Checked;
        column.AlignCode = record ? record->AlignCode : kExpAlignLeft;
        column.WidthText = item.SubItems.value(kSubWidth);
        column.SourceCaption = item.SubItems.value(kSubSource);
        column.SourceIndex = record ? record->Index : -1;
        columns.push_back(column);
    }
    return columns;
}

TExpXlsParams TFormExpExcel::Params() const
{
    TExpXlsParams params;
    params.RestoreParameters = SaveCheckBox->isChecked();
    params.Title = edTitle->text();
    params.Notes = edNotes->text();
    params.ShowCreateTime = DateCreateCheckBox->isChecked();
    params.SheetName = edPageName->text();
    params.PageOrientation = edOrientation->currentIndex();
    params.BaseFontSize = edFontSize->value();
    params.Columns = Columns();
    return params;
}

void TFormExpExcel::SetParams(const TExpXlsParams& params)
{
    SaveCheckBox->setChecked(params.RestoreParameters);
    edTitle->setText(params.Title);
    edNotes->setText(params.Notes);
    DateCreateCheckBox->setChecked(params.ShowCreateTime);
    edPageName->setText(params.SheetName);
    edOrientation->setCurrentIndex(params.PageOrientation >= 0 && params.PageOrientation <= 2 ? params.PageOrientation : 0);
    edFontSize->setValue(params.BaseFontSize);
    const int selected = lvFields->Selected();
    const TRItemData* record = selected >= 0 ? lvFields->Items()->Item(selected).Data : nullptr;
    const int sourceIndex = record ? record->Index : -1;
    SetColumns(params.Columns);
    if (sourceIndex >= 0) {
        const int row = FindItemByData(lvFields, sourceIndex);
        if (row >= 0)
            lvFields->SetSelected(row);
    }
}

TExpXlsRequest TFormExpExcel::Request() const
{
    TExpXlsRequest request;
    request.Header = FHeader;
    request.Params = Params();
    request.SelectedOnly = edSendMode->currentIndex() == 1;
    return request;
}

void TFormExpExcel::accept()
{
    // With no column checked the sheet would hold its title lines and none of the rows.
    const std::vector<TExpXlsColumn> columns = Columns();
    if (std::none_of(columns.begin(), columns.end(), [](const TExpXlsColumn& column) { return column.Checked; })) {
        ErrorBox(LoadResString(SNoColumns));
        PageControl->setCurrentWidget(FieldsTabSheet);
        lvFields->setFocus();
        return;
    }
    TDialogSTemplate::accept();
}

void TFormExpExcel::OpenFileExecute()
{
    // The program's folder with no file named in it: a prompt starts in the folder of the name.
    QString fileName = QFileInfo(GetAppIniFileName()).absolutePath() + QLatin1Char('/');
    if (!(FilePrompt() ? FilePrompt() : QtFilePrompt)(this, LoadResString(SFileFilter), QStringLiteral("exp"), false,
                                                        fileName))
        return;
    LoadExportParams(this, fileName, false, true);
}

void TFormExpExcel::SaveFileExecute()
{
    // Named after the sheet, cleaned as the sheet's name is; the table's name when nothing is left.
    QString name = ValidSheetName(edPageName->text());
    if (name.isEmpty())
        name = FTableName;
    QString fileName = QFileInfo(GetAppIniFileName()).absolutePath() + QLatin1Char('/') + name + QStringLiteral(".exp");
    const auto ask = [this](QString& name) {
        return (FilePrompt() ? FilePrompt() : QtFilePrompt)(this, LoadResString(SFileFilter), QStringLiteral("exp"),
                                                            true, name);
    };
    if (!AskWritableFileName(ask, fileName))
        return;
    SaveExportParams(this, fileName, false);
}

void TFormExpExcel::RenameExecute()
{
    const int row = lvFields->Selected();
    if (row < 0)
        return;
    TFormExpExcelParam dialog(this);
    {
        TBusyScope busy;
        const TRListItem& item = lvFields->Items()->Item(row);
        const auto* record = static_cast<const TFieldData*>(item.Data);
        dialog.edCaption->setText(item.Caption);
        dialog.edAlign->setCurrentIndex(record ? record->AlignCode : kExpAlignLeft);
        dialog.edWidth->SetValue(ExpXlsWidth(item.SubItems.value(kSubWidth)));
    }
    if (dialog.exec() != QDialog::Accepted)
        return;
    TBusyScope busy;
    TRListItem item = lvFields->Items()->Item(row);
    if (auto* record = static_cast<TFieldData*>(item.Data))
        record->AlignCode = ValidExpAlignment(dialog.edAlign->currentIndex());
    item.Caption = dialog.edCaption->text();
    while (item.SubItems.size() <= kSubSource)
        item.SubItems.append(QString());
    item.SubItems[kSubAlign] = dialog.edAlign->currentText();
    item.SubItems[kSubWidth] = FormatFloat(QStringLiteral("0.00"), dialog.edWidth->Value());
    FFilling = true;
    lvFields->Items()->SetItem(row, item);
    FFilling = false;
}

TFormExpExcelParam::TFormExpExcelParam(QWidget* parent) : TDialogSTemplate(parent)
{
    setObjectName(QStringLiteral("FormExpExcelParam"));
    setWindowTitle(LoadResString(SParamCaption));
    QGridLayout* grid = NewClientGrid("ParamGrid", 8, 6);
    edCaption = new QLineEdit(ClientPanel());
    edCaption->setObjectName(QStringLiteral("edCaption"));
    edCaption->setToolTip(LoadResString(SParamCaptionHint));
    edAlign = new QComboBox(ClientPanel());
    edAlign->setObjectName(QStringLiteral("edAlign"));
    edAlign->addItems(ExpAlignmentNames());
    edAlign->setToolTip(LoadResString(SParamAlignHint));
    edWidth = new TRFloatEdit(ClientPanel());
    edWidth->setObjectName(QStringLiteral("edWidth"));
    edWidth->SetDisplayFormat(QStringLiteral(",0.00"));
    edWidth->setToolTip(LoadResString(SParamWidthHint));
    QLabel* captionLabel = NewBuddyLabel("lblCaption", edCaption);
    captionLabel->setText(LoadResString(SParamCaptionLabel));
    QLabel* alignLabel = NewBuddyLabel("lblAlign", edAlign);
    alignLabel->setText(LoadResString(SParamAlignLabel));
    QLabel* widthLabel = NewBuddyLabel("lblWidth", edWidth);
    widthLabel->setText(LoadResString(SParamWidthLabel));
    grid->addWidget(captionLabel, 0, 0);
    grid->addWidget(edCaption, 1, 0, 1, 2);
    grid->addWidget(alignLabel, 2, 0);
    grid->addWidget(widthLabel, 2, 1);
    grid->addWidget(edAlign, 3, 0);
    grid->addWidget(edWidth, 3, 1);
    grid->setRowStretch(4, 1);
    FitToLayout(kParamWidth);
}

void TFormExpExcelParam::accept()
{
    // The settings keep a column's fields between ";": a caption holding one would cost the
    // column all its saved settings at the next opening. A caption of blanks is none at all:
    // the sheet would show an empty caption cell.
    const QString caption = edCaption->text();
    const bool blank = caption.trimmed().isEmpty();
    if (blank || caption.contains(QLatin1Char(';'))) {
        ErrorBox(LoadResString(blank ? SParamEmptyCaption : SParamBadCaption));
        edCaption->setFocus();
        edCaption->selectAll();
        return;
    }
    // A width still being typed counts as the field would take it on leaving.
    if (edWidth->hasFocus())
        edWidth->TextToValue();
    const double width = static_cast<double>(edWidth->Value());
    if (!IsExpXlsWidth(width)) {
        ErrorBox(Format(LoadResString(SParamBadWidth), {FloatToStr(edWidth->Value())}));
        edWidth->setFocus();
        edWidth->selectAll();
        return;
    }
    TDialogSTemplate::accept();
}

void LoadExportParams(TFormExpExcel* form, const QString& fileName, bool restore, bool overwriteTitle)
{
    TBusyScope busy;
    try {
        const TMemIniFile ini(fileName);
        TExpXlsParams params = form->Params();
        ReadExpXlsParams(ini, form->Section(), params, restore, overwriteTitle);
        form->SetParams(params);
    } catch (const std::exception&) {
        ErrorBox(Format(LoadResString(SLoadError), {fileName}));
    }
}

bool SaveExportParams(TFormExpExcel* form, const QString& fileName, bool writeRestore)
{
    TBusyScope busy;
    try {
        TMemIniFile ini(fileName);
        WriteExpXlsParams(ini, form->Section(), form->Params(), writeRestore);
        ini.UpdateFile();
        return true;
    } catch (const std::exception&) {
        ErrorBox(Format(LoadResString(SSaveError), {fileName}));
        return false;
    }
}

TExpFilePrompt SetExpFilePrompt(TExpFilePrompt prompt)
{
    TExpFilePrompt previous = std::move(FilePrompt());
    FilePrompt() = std::move(prompt);
    return previous;
}

bool ExportWithDialog(const TExpXlsSource& source, const QString& title, const QString& sheetName,
                      const QString& header, const QString& notes, int orientation, bool useSettings)
{
    std::unique_ptr<TFormExpExcel> form;
    {
        TBusyScope busy;
        form = std::make_unique<TFormExpExcel>(QApplication::activeWindow());
        form->Prepare(source, title, sheetName, header, notes, orientation, useSettings);
    }
    if (form->exec() != QDialog::Accepted)
        return false;
    TExpXlsPlan plan;
    {
        TBusyScope busy;
        if (useSettings)
            SaveExportParams(form.get(), GetAppIniFileName(), true);
        plan = BuildExportPlan(source, form->Request(), ClockCurrentDateTime());
    }
    form.reset();
    return WriteExportPlan(plan);
}
