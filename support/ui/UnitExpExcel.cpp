#include "support/ui/UnitExpExcel.h"
#include "support/ui/UnitExpExcelImpl.h"

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

constexpr int kClientWidth = 492;
constexpr int kClientHeight = 435;

// A push button that shows and runs an action.
void BindButton(QPushButton* button, QAction* action)
{
    const auto sync = [button, action] {
        button->setText(PlainText(action));
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
    InstallMenuMnemonics(FilePopupMenu);
    InstallMenuMnemonics(FieldsPopupMenu);
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
