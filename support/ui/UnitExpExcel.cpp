#include "support/ui/UnitExpExcel.h"

#include "platform/DelphiText.h"
#include "platform/IniFile.h"
#include "platform/ResString.h"
#include "support/RDateUtils.h"
#include "support/RDialogs.h"
#include "support/RSysUtils.h"
#include "support/RVclUtils.h"
#include "support/ui/QorFloatEdit.h"
#include "support/ui/QorListView.h"
#include "support/ui/RActions.h"
#include "support/ui/RFrmStorage.h"
#include "support/ui/RListView.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace {

const TResString SCaption = RESSTR("UnitExpExcel", "Экспорт в Microsoft Excel");
const TResString SOkHint = RESSTR("UnitExpExcel", "Начать экспорт");
const TResString SCancelHint = RESSTR("UnitExpExcel", "Закрыть окно");
const TResString SFileBtn = RESSTR("UnitExpExcel", "Параметры");
const TResString SFileBtnHint = RESSTR("UnitExpExcel", "Сохранение параметров экспорта в файле");
const TResString SSaveCheckBox = RESSTR("UnitExpExcel", "Сохранить параметры экспорта в файле конфигурации");
const TResString SPageTabSheet = RESSTR("UnitExpExcel", "Параметры листа");
const TResString SFieldsTabSheet = RESSTR("UnitExpExcel", "Столбцы таблицы");
const TResString STitleLabel = RESSTR("UnitExpExcel", "Наименование отчета:");
const TResString STitleHint = RESSTR("UnitExpExcel", "Название отчета");
const TResString SNotesLabel = RESSTR("UnitExpExcel", "Дополнительные сведения:");
const TResString SNotesHint = RESSTR("UnitExpExcel", "Дополнительная информация");
const TResString SDateCreate =
    RESSTR("UnitExpExcel", "Добавить строку с датой и временем формирования отчета (экспорта).");
const TResString SSheetGroup = RESSTR("UnitExpExcel", " Параметры листа Microsoft Excel ");
const TResString SPageNameLabel = RESSTR("UnitExpExcel", "Наименование листа:");
const TResString SPageNameHint = RESSTR("UnitExpExcel", "Наименование листа");
const TResString SOrientationLabel = RESSTR("UnitExpExcel", "Ориентация:");
const TResString SOrientationHint = RESSTR("UnitExpExcel", "Ориентация страницы");
const TResString SOrientationNone = RESSTR("UnitExpExcel", "Не устанавливать");
const TResString SOrientationPortrait = RESSTR("UnitExpExcel", "Книжная");
const TResString SOrientationLandscape = RESSTR("UnitExpExcel", "Альбомная");
const TResString SFontSizeLabel = RESSTR("UnitExpExcel", "Базовый размер шрифта:");
const TResString SFontSizeHint = RESSTR("UnitExpExcel", "Базовый размер шрифта");
const TResString SSendGroup = RESSTR("UnitExpExcel", " Режим передачи данных ");
const TResString SSendModeLabel = RESSTR("UnitExpExcel", "Число строк:");
const TResString SSendModeHint = RESSTR("UnitExpExcel", "Режим передачи данных в Microsoft Excel");
const TResString SSendAll = RESSTR("UnitExpExcel", "Экспортировать все отображенные записи");
const TResString SSendSelected = RESSTR("UnitExpExcel", "Экспортировать выделенные записи");
const TResString SRecNumHint = RESSTR("UnitExpExcel", "Число строк, которые будут переданы в Microsoft Excel");
const TResString SFieldsLabel = RESSTR("UnitExpExcel", "Перечень экспортируемых полей:");
const TResString SColCaption = RESSTR("UnitExpExcel", "Наименование столбца");
const TResString SColAlign = RESSTR("UnitExpExcel", "Выравнивание");
const TResString SColWidth = RESSTR("UnitExpExcel", "Ширина");
const TResString SColSource = RESSTR("UnitExpExcel", "Физическое поле");
const TResString SOpenFile = RESSTR("UnitExpExcel", "Загрузить из файла");
const TResString SOpenFileHint = RESSTR("UnitExpExcel", "Загрузить параметры экспорта из файла");
const TResString SSaveFile = RESSTR("UnitExpExcel", "Сохранить в файле");
const TResString SSaveFileHint = RESSTR("UnitExpExcel", "Сохранить параметры экспорта в файле");
const TResString SMoveUp = RESSTR("UnitExpExcel", "Вверх");
const TResString SMoveUpHint = RESSTR("UnitExpExcel", "Переместить на одну строку вверх");
const TResString SMoveDown = RESSTR("UnitExpExcel", "Вниз");
const TResString SMoveDownHint = RESSTR("UnitExpExcel", "Переместить на одну строку вниз");
const TResString SRename = RESSTR("UnitExpExcel", "Свойства");
const TResString SRenameHint = RESSTR("UnitExpExcel", "Изменить свойства экспортируемого поля");
const TResString SFileFilter =
    RESSTR("UnitExpExcel", "Файлы параметров экспорта (*.exp)|*.exp|Все файлы (*.*)|*.*");
const TResString SLoadError = RESSTR("UnitExpExcel", "Ошибка загрузки параметров экспорта из файла \"%s\"!");
const TResString SSaveError = RESSTR("UnitExpExcel", "Ошибка сохранения параметров экспорта в файле \"%s\"!");

const TResString SParamCaption = RESSTR("UnitExpExcel", "Параметры поля");
const TResString SParamCaptionLabel = RESSTR("UnitExpExcel", "Заголовок столбца:");
const TResString SParamCaptionHint = RESSTR("UnitExpExcel", "Заголовок столбца");
const TResString SParamAlignLabel = RESSTR("UnitExpExcel", "Выравнивание данных:");
const TResString SParamAlignHint = RESSTR("UnitExpExcel", "Выравнивание данных");
const TResString SParamWidthLabel = RESSTR("UnitExpExcel", "Ширина:");
const TResString SParamWidthHint = RESSTR("UnitExpExcel", "Ширина столбца");
const TResString SParamBadWidth =
    RESSTR("UnitExpExcel", "Недопустимая ширина столбца: %s!\n\nУкажите число от 0 до 255");

constexpr int kClientWidth = 492;
constexpr int kClientHeight = 435;
constexpr int kParamWidth = 347;

// Sub-items of a column list row.
constexpr int kSubAlign = 0;
constexpr int kSubWidth = 1;
constexpr int kSubSource = 2;

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
    dialog.setDirectory(start.isDir() ? start.absoluteFilePath() : start.absolutePath());
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

// A push button that shows and runs an action.
void BindButton(QPushButton* button, QAction* action)
{
    const auto sync = [button, action] {
        button->setText(action->text());
        button->setToolTip(action->toolTip());
        button->setEnabled(action->isEnabled());
    };
    sync();
    QObject::connect(action, &QAction::changed, button, sync);
    QObject::connect(button, &QPushButton::clicked, action, &QAction::trigger);
}

QLabel* NewLabel(const TResString& text, QWidget* buddy, QWidget* parent)
{
    auto* label = new QLabel(LoadResString(text), parent);
    label->setBuddy(buddy);
    return label;
}

} // namespace

struct TFormExpExcel::TFieldData : TRItemData {
    int AlignCode = kExpAlignLeft;

    TFieldData(int sourceIndex, int alignCode) : TRItemData(sourceIndex), AlignCode(alignCode) {}
};

TFormExpExcel::TFormExpExcel(QWidget* parent) : TDialogSTemplate(parent)
{
    setObjectName(QStringLiteral("FormExpExcel"));
    setWindowTitle(LoadResString(SCaption));
    OkBtn()->setToolTip(LoadResString(SOkHint));
    CancelBtn()->setToolTip(LoadResString(SCancelHint));
    CreateControls();
    CreateActions();
    // The dialog opens on the sheet page, whose first field is the title; the check box under
    // the pages comes after the controls on them.
    edTitle->setFocus();
    setTabOrder(RenameBtn, SaveCheckBox);
    RestoreListViewLayout(this, lvFields, true);
    // The designed size, wider where the interface language's texts need it to show them whole.
    layout()->activate();
    const QSize wanted = sizeHint();
    setFixedSize(std::max(kClientWidth, wanted.width()), std::max(kClientHeight, wanted.height()));
}

TFormExpExcel::~TFormExpExcel()
{
    // The column layout is a convenience: a form-state file that cannot be written costs nothing
    // more than the layout.
    try {
        SaveListViewLayout(this, lvFields, true);
    } catch (const std::exception&) {
    }
    lvFields->Items()->Clear();
}

void TFormExpExcel::CreateControls()
{
    auto* clientLayout = new QVBoxLayout(ClientPanel());
    clientLayout->setContentsMargins(8, 8, 8, 4);
    PageControl = new QTabWidget(ClientPanel());
    PageControl->setObjectName(QStringLiteral("PageControl"));
    clientLayout->addWidget(PageControl, 1);
    SaveCheckBox = new QCheckBox(LoadResString(SSaveCheckBox), ClientPanel());
    SaveCheckBox->setObjectName(QStringLiteral("SaveCheckBox"));
    SaveCheckBox->setChecked(true);
    clientLayout->addWidget(SaveCheckBox);

    // First page: the sheet.
    PageTabSheet = new QWidget;
    PageTabSheet->setObjectName(QStringLiteral("PageTabSheet"));
    auto* page = new QVBoxLayout(PageTabSheet);
    edTitle = new QLineEdit(PageTabSheet);
    edTitle->setObjectName(QStringLiteral("edTitle"));
    edTitle->setToolTip(LoadResString(STitleHint));
    edNotes = new QLineEdit(PageTabSheet);
    edNotes->setObjectName(QStringLiteral("edNotes"));
    edNotes->setToolTip(LoadResString(SNotesHint));
    DateCreateCheckBox = new QCheckBox(LoadResString(SDateCreate), PageTabSheet);
    DateCreateCheckBox->setObjectName(QStringLiteral("DateCreateCheckBox"));
    DateCreateCheckBox->setChecked(true);
    page->addWidget(NewLabel(STitleLabel, edTitle, PageTabSheet));
    page->addWidget(edTitle);
    page->addWidget(NewLabel(SNotesLabel, edNotes, PageTabSheet));
    page->addWidget(edNotes);
    page->addWidget(DateCreateCheckBox);

    auto* sheetGroup = new QGroupBox(LoadResString(SSheetGroup), PageTabSheet);
    auto* sheetGrid = new QGridLayout(sheetGroup);
    edPageName = new QLineEdit(sheetGroup);
    edPageName->setObjectName(QStringLiteral("edPageName"));
    edPageName->setMaxLength(128);
    edPageName->setToolTip(LoadResString(SPageNameHint));
    edOrientation = new QComboBox(sheetGroup);
    edOrientation->setObjectName(QStringLiteral("edOrientation"));
    edOrientation->addItems({LoadResString(SOrientationNone), LoadResString(SOrientationPortrait),
                             LoadResString(SOrientationLandscape)});
    edOrientation->setToolTip(LoadResString(SOrientationHint));
    edFontSize = new QSpinBox(sheetGroup);
    edFontSize->setObjectName(QStringLiteral("edFontSize"));
    edFontSize->setRange(1, 100);
    edFontSize->setValue(8);
    edFontSize->setToolTip(LoadResString(SFontSizeHint));
    sheetGrid->addWidget(NewLabel(SPageNameLabel, edPageName, sheetGroup), 0, 0);
    sheetGrid->addWidget(edPageName, 0, 1, 1, 2);
    sheetGrid->addWidget(NewLabel(SOrientationLabel, edOrientation, sheetGroup), 1, 0);
    sheetGrid->addWidget(edOrientation, 1, 1);
    sheetGrid->addWidget(NewLabel(SFontSizeLabel, edFontSize, sheetGroup), 2, 0);
    sheetGrid->addWidget(edFontSize, 2, 1);
    sheetGrid->setColumnStretch(2, 1);
    page->addWidget(sheetGroup);

    auto* sendGroup = new QGroupBox(LoadResString(SSendGroup), PageTabSheet);
    auto* sendRow = new QHBoxLayout(sendGroup);
    edSendMode = new QComboBox(sendGroup);
    edSendMode->setObjectName(QStringLiteral("edSendMode"));
    edSendMode->addItems({LoadResString(SSendAll), LoadResString(SSendSelected)});
    edSendMode->setToolTip(LoadResString(SSendModeHint));
    edSendMode->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    edRecNum = new QLineEdit(sendGroup);
    edRecNum->setObjectName(QStringLiteral("edRecNum"));
    edRecNum->setReadOnly(true);
    edRecNum->setAlignment(Qt::AlignRight);
    edRecNum->setFixedWidth(80);
    edRecNum->setToolTip(LoadResString(SRecNumHint));
    sendRow->addWidget(NewLabel(SSendModeLabel, edSendMode, sendGroup));
    sendRow->addWidget(edSendMode, 1);
    sendRow->addWidget(edRecNum);
    page->addWidget(sendGroup);
    page->addStretch(1);
    PageControl->addTab(PageTabSheet, LoadResString(SPageTabSheet));
    connect(edSendMode, &QComboBox::currentIndexChanged, this, [this] { UpdateRecNum(); });

    // Second page: the columns.
    FieldsTabSheet = new QWidget;
    FieldsTabSheet->setObjectName(QStringLiteral("FieldsTabSheet"));
    auto* fields = new QVBoxLayout(FieldsTabSheet);
    lvFields = new TRListView(FieldsTabSheet);
    lvFields->setObjectName(QStringLiteral("lvFields"));
    lvFields->SetCheckboxes(true);
    lvFields->SetGridLines(true);
    lvFields->SetColumnClick(false);
    lvFields->setEditTriggers(QAbstractItemView::NoEditTriggers);
    lvFields->AddColumn(LoadResString(SColCaption), 250);
    lvFields->AddColumn(LoadResString(SColAlign), 134, Qt::AlignHCenter);
    lvFields->AddColumn(LoadResString(SColWidth), 60, Qt::AlignHCenter);
    lvFields->AddColumn(LoadResString(SColSource), 150);
    fields->addWidget(NewLabel(SFieldsLabel, lvFields, FieldsTabSheet));
    fields->addWidget(lvFields, 1);
    auto* buttons = new QHBoxLayout;
    MoveUpBtn = new QPushButton(FieldsTabSheet);
    MoveUpBtn->setObjectName(QStringLiteral("MoveUpBtn"));
    MoveDownBtn = new QPushButton(FieldsTabSheet);
    MoveDownBtn->setObjectName(QStringLiteral("MoveDownBtn"));
    RenameBtn = new QPushButton(FieldsTabSheet);
    RenameBtn->setObjectName(QStringLiteral("RenameBtn"));
    for (QPushButton* button : {MoveUpBtn, MoveDownBtn, RenameBtn}) {
        button->setAutoDefault(false);
        buttons->addWidget(button);
    }
    buttons->addStretch(1);
    fields->addLayout(buttons);
    PageControl->addTab(FieldsTabSheet, LoadResString(SFieldsTabSheet));
    connect(PageControl, &QTabWidget::currentChanged, this, [this](int index) {
        if (index == 0)
            edTitle->setFocus();
        else
            lvFields->setFocus();
    });

    // The file commands sit at the left of the button panel.
    FileBtn = new QPushButton(LoadResString(SFileBtn), ButtonsPanel());
    FileBtn->setObjectName(QStringLiteral("FileBtn"));
    FileBtn->setToolTip(LoadResString(SFileBtnHint));
    FileBtn->setAutoDefault(false);
    FileBtn->setFixedSize(97, 25);
    if (auto* row = qobject_cast<QHBoxLayout*>(ButtonsPanel()->layout())) {
        row->insertSpacing(0, 12);
        row->insertWidget(1, FileBtn);
    }
    FilePopupMenu = new QMenu(this);
    FilePopupMenu->setObjectName(QStringLiteral("FilePopupMenu"));
    connect(FileBtn, &QPushButton::clicked, this,
            [this] { FilePopupMenu->popup(FileBtn->mapToGlobal(QPoint(0, FileBtn->height()))); });
}

void TFormExpExcel::CreateActions()
{
    FActions = new TActionRegistry(this);
    FActions->SetWindow(this);
    const auto selected = [this] { return lvFields->Selected(); };
    const auto listChange = [this](void (*move)(TRListView*)) {
        {
            TBusyScope busy;
            move(lvFields);
            MoveCheckedToTop(lvFields);
        }
        lvFields->setFocus();
    };

    const auto add = [this](const char* name, const TResString& caption, const TResString& hint,
                            const QKeySequence& key, TActionRegistry::TExecute execute,
                            TActionRegistry::TPredicate update) {
        TActionRegistry::TCommandSpec spec;
        spec.Name = QLatin1String(name);
        spec.Caption = LoadResString(caption);
        spec.Hint = LoadResString(hint);
        spec.Shortcut = key;
        spec.Execute = std::move(execute);
        spec.Update = std::move(update);
        FActions->Add(std::move(spec));
    };
    add("OpenFile", SOpenFile, SOpenFileHint, QKeySequence(Qt::CTRL | Qt::Key_O), [this] { OpenFileExecute(); },
        [this] { return SaveCheckBox->isEnabled(); });
    add("SaveFile", SSaveFile, SSaveFileHint, QKeySequence(Qt::CTRL | Qt::Key_S), [this] { SaveFileExecute(); },
        [this] { return SaveCheckBox->isEnabled(); });
    add("MoveUp", SMoveUp, SMoveUpHint, QKeySequence(Qt::CTRL | Qt::Key_Up),
        [listChange] { listChange(&MoveSelectedUp); }, [selected] { return selected() > 0; });
    add("MoveDown", SMoveDown, SMoveDownHint, QKeySequence(Qt::CTRL | Qt::Key_Down),
        [listChange] { listChange(&MoveSelectedDown); },
        [this, selected] { return selected() >= 0 && selected() < lvFields->ItemCount() - 1; });
    add("Rename", SRename, SRenameHint, QKeySequence(Qt::CTRL | Qt::Key_Return), [this] { RenameExecute(); },
        [selected] { return selected() >= 0; });

    FilePopupMenu->addAction(FActions->Action("OpenFile"));
    FilePopupMenu->addAction(FActions->Action("SaveFile"));
    FieldsPopupMenu = new QMenu(this);
    FieldsPopupMenu->setObjectName(QStringLiteral("FieldsPopupMenu"));
    FieldsPopupMenu->addAction(FActions->Action("MoveUp"));
    FieldsPopupMenu->addAction(FActions->Action("MoveDown"));
    FieldsPopupMenu->addSeparator();
    FieldsPopupMenu->addAction(FActions->Action("Rename"));
    FieldsPopupMenu->setDefaultAction(FActions->Action("Rename"));
    lvFields->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(lvFields, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& pos) { FieldsPopupMenu->popup(lvFields->viewport()->mapToGlobal(pos)); });
    BindButton(MoveUpBtn, FActions->Action("MoveUp"));
    BindButton(MoveDownBtn, FActions->Action("MoveDown"));
    BindButton(RenameBtn, FActions->Action("Rename"));

    connect(lvFields, &QAbstractItemView::doubleClicked, this, [this] {
        if (FActions->CanExecute("Rename"))
            FActions->Execute("Rename");
    });
    // A check mark changed by the user (mouse or space bar): that row becomes the selected one
    // and the checked rows are put first again, once the list has finished with the click.
    connect(lvFields->Items(), &QAbstractItemModel::dataChanged, this,
            [this](const QModelIndex& topLeft, const QModelIndex&, const QList<int>&) {
                if (FFilling || !topLeft.isValid())
                    return;
                const int row = topLeft.row();
                const TRItemData* record = lvFields->Items()->Item(row).Data;
                const bool checked = lvFields->Items()->Item(row).Checked;
                if (record && static_cast<size_t>(row) < FCheckStates.size() &&
                    FCheckStates[static_cast<size_t>(row)] != checked) {
                    QMetaObject::invokeMethod(this, [this, record] { CheckChanged(record); },
                                              Qt::QueuedConnection);
                }
                RememberChecks();
            });
    FActions->UpdateAll();
}

void TFormExpExcel::RememberChecks()
{
    FCheckStates.clear();
    for (int i = 0; i < lvFields->ItemCount(); ++i)
        FCheckStates.push_back(lvFields->Items()->Item(i).Checked);
}

void TFormExpExcel::CheckChanged(const TRItemData* record)
{
    for (int i = 0; i < lvFields->ItemCount(); ++i) {
        if (lvFields->Items()->Item(i).Data != record)
            continue;
        lvFields->SetSelected(i);
        {
            TBusyScope busy;
            FFilling = true;
            MoveCheckedToTop(lvFields);
            FFilling = false;
            RememberChecks();
        }
        ScrollSelectedIntoView(lvFields);
        return;
    }
}

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

void TFormExpExcel::OpenFileExecute()
{
    QString fileName = QFileInfo(GetAppIniFileName()).absolutePath();
    if (!(FilePrompt() ? FilePrompt() : QtFilePrompt)(this, LoadResString(SFileFilter), QStringLiteral("exp"), false,
                                                        fileName))
        return;
    LoadExportParams(this, fileName, false, true);
}

void TFormExpExcel::SaveFileExecute()
{
    QString fileName = QFileInfo(GetAppIniFileName()).absolutePath();
    if (!(FilePrompt() ? FilePrompt() : QtFilePrompt)(this, LoadResString(SFileFilter), QStringLiteral("exp"), true,
                                                        fileName))
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
