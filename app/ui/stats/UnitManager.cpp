#include "app/ui/stats/UnitManager.h"

#include "app/core/shell/MainState.h"
#include "app/ui/shell/FilePrompt.h"
#include "app/ui/shell/ProgramEnv.h"
#include "app/ui/stats/UnitFilterHelp.h"
#include "engine/KelmaStatList.h"
#include "platform/ResString.h"
#include "support/RVclUtils.h"
#include "support/ui/RFrmStorage.h"

#include <QAction>
#include <QCheckBox>
#include <QGridLayout>
#include <QHeaderView>
#include <QInputDialog>
#include <QLabel>
#include <QMenu>
#include <QPainter>
#include <QPixmap>
#include <QStyle>
#include <QToolButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <exception>

namespace {

const TResString SCaption = RESSTR("UnitManager", "Избранные статистики");
const TResString SWait = RESSTR("UnitManager", "Подождите пожалуйста...");
const TResString SSortOnName = RESSTR("UnitManager", "Упорядочить методы по наименованию");
const TResString SShowGroupName = RESSTR("UnitManager", "Показывать код группы в наименовании");
const TResString SShowFlags = RESSTR("UnitManager", "Показывать признаки методов");
const TResString SRenameTitle = RESSTR("UnitManager", "Переименование");
const TResString SRenamePrompt = RESSTR("UnitManager", "Введите наименование фильтра:");
const TResString SNamesFilter = RESSTR("UnitManager", "Наименования фильтров (*.flt)|*.flt");

struct TActionDef {
    const char* Name;
    TResString Caption;
};
const TActionDef kActions[] = {
    {"CheckNone", RESSTR("UnitManager", "Сбросить все")},
    {"CheckAll", RESSTR("UnitManager", "Выбрать все")},
    {"GroupNone", RESSTR("UnitManager", "Сбросить группу")},
    {"GroupAll", RESSTR("UnitManager", "Выбрать группу")},
    {"Rename", RESSTR("UnitManager", "Переименовать")},
    {"ResetName", RESSTR("UnitManager", "Вернуть")},
    {"Info", RESSTR("UnitManager", "Описание")},
    {"NamesImport", RESSTR("UnitManager", "Импорт названий")},
    {"NamesExport", RESSTR("UnitManager", "Экспорт названий")},
};

constexpr int kMethodRole = Qt::UserRole + 1;   // the method's index; -1 on group items

TTextPromptHandler& TextPromptHandler()
{
    static TTextPromptHandler handler;
    return handler;
}

bool PromptText(QWidget* owner, const QString& title, const QString& prompt, QString& text)
{
    if (TextPromptHandler())
        return TextPromptHandler()(owner, title, prompt, text);
    bool ok = false;
    const QString answer = QInputDialog::getText(owner, title, prompt, QLineEdit::Normal, text, &ok);
    if (ok)
        text = answer;
    return ok;
}

// The pictures of the tree: an empty box, a ticked box, a group.
QIcon BoxIcon(bool ticked)
{
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setPen(QPen(QColor(96, 96, 96), 1));
    painter.setBrush(Qt::white);
    painter.drawRect(QRectF(2.5, 2.5, 11, 11));
    if (ticked) {
        painter.setPen(QPen(QColor(0, 128, 0), 2));
        painter.drawPolyline(QPolygonF({QPointF(4.5, 8), QPointF(7, 11), QPointF(12, 5)}));
    }
    return QIcon(pixmap);
}

} // namespace

TTextPromptHandler SetTextPromptHandler(TTextPromptHandler handler)
{
    TTextPromptHandler previous = std::move(TextPromptHandler());
    TextPromptHandler() = std::move(handler);
    return previous;
}

// ---------------------------------------------------------------------------------------

TFormManager::TFormManager(TMainState& state, QWidget* parent) : TDialogSTemplate(parent), FState(state)
{
    setObjectName(QStringLiteral("FormManager"));
    setWindowTitle(LoadResString(SCaption));
    setSizeGripEnabled(true);
    FImages = {BoxIcon(false), BoxIcon(true), style()->standardIcon(QStyle::SP_DirIcon)};

    QGridLayout* grid = NewClientGrid("layManager", 8, 6);
    FFilters = new QTreeWidget(ClientPanel());
    FFilters->setObjectName(QStringLiteral("tvFilters"));
    FFilters->setHeaderHidden(true);
    FFilters->setColumnCount(1);
    FFilters->setSelectionMode(QAbstractItemView::SingleSelection);
    FFilters->setContextMenuPolicy(Qt::CustomContextMenu);
    FFilters->setUniformRowHeights(true);
    FFilters->setMinimumSize(420, 360);

    auto* buttons = new QWidget(ClientPanel());
    buttons->setObjectName(QStringLiteral("pnlButtons"));
    auto* buttonsLayout = new QVBoxLayout(buttons);
    buttonsLayout->setContentsMargins(0, 0, 0, 0);
    buttonsLayout->setSpacing(4);
    FPopup = new QMenu(this);
    FPopup->setObjectName(QStringLiteral("pmFilters"));
    int n = 0;
    for (const TActionDef& def : kActions) {
        auto* action = new QAction(LoadResString(def.Caption), this);
        action->setObjectName(QString::fromLatin1(def.Name));
        addAction(action);
        // Groups of the popup menu and the buttons: ticks, group ticks, names, help, files.
        if (n == 2 || n == 4 || n == 6 || n == 7) {
            FPopup->addSeparator();
            buttonsLayout->addSpacing(8);
        }
        FPopup->addAction(action);
        auto* button = new QToolButton(buttons);
        button->setObjectName(QStringLiteral("btn") + action->objectName());
        button->setDefaultAction(action);
        button->setToolButtonStyle(Qt::ToolButtonTextOnly);
        button->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
        buttonsLayout->addWidget(button);
        ++n;
    }
    buttonsLayout->addStretch(1);

    FCount = new QLabel(ClientPanel());
    FCount->setObjectName(QStringLiteral("lblCount"));
    FSortOnName = new QCheckBox(LoadResString(SSortOnName), ClientPanel());
    FSortOnName->setObjectName(QStringLiteral("cbSortOnName"));
    FShowGroupName = new QCheckBox(LoadResString(SShowGroupName), ClientPanel());
    FShowGroupName->setObjectName(QStringLiteral("cbShowGroupName"));
    FShowFlags = new QCheckBox(LoadResString(SShowFlags), ClientPanel());
    FShowFlags->setObjectName(QStringLiteral("cbShowFlags"));

    grid->addWidget(FFilters, 0, 0);
    grid->addWidget(buttons, 0, 1);
    grid->addWidget(FCount, 1, 0, 1, 2);
    grid->addWidget(FSortOnName, 2, 0, 1, 2);
    grid->addWidget(FShowGroupName, 3, 0, 1, 2);
    grid->addWidget(FShowFlags, 4, 0, 1, 2);
    grid->setRowStretch(0, 1);
    grid->setColumnStretch(0, 1);

    connect(Action(QStringLiteral("CheckNone")), &QAction::triggered, this, [this] { CheckAllNodes(false); });
    connect(Action(QStringLiteral("CheckAll")), &QAction::triggered, this, [this] { CheckAllNodes(true); });
    connect(Action(QStringLiteral("GroupNone")), &QAction::triggered, this, [this] { CheckSelectedGroup(false); });
    connect(Action(QStringLiteral("GroupAll")), &QAction::triggered, this, [this] { CheckSelectedGroup(true); });
    connect(Action(QStringLiteral("Rename")), &QAction::triggered, this, [this] { RenameSelected(); });
    connect(Action(QStringLiteral("ResetName")), &QAction::triggered, this, [this] { ResetSelectedName(); });
    connect(Action(QStringLiteral("Info")), &QAction::triggered, this, [this] { InfoSelected(); });
    connect(Action(QStringLiteral("NamesImport")), &QAction::triggered, this, [this] { NamesImport(); });
    connect(Action(QStringLiteral("NamesExport")), &QAction::triggered, this, [this] { NamesExport(); });
    connect(FFilters, &QTreeWidget::itemClicked, this, [this](QTreeWidgetItem* item) { ItemClicked(item); });
    connect(FFilters, &QTreeWidget::itemDoubleClicked, this, [this](QTreeWidgetItem* item) { ItemClicked(item); });
    connect(FFilters, &QTreeWidget::itemSelectionChanged, this, [this] { UpdateActions(); });
    connect(FFilters, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
        UpdateActions();
        FPopup->popup(FFilters->viewport()->mapToGlobal(at));
    });
    FWaitListener = AddWaitListener([this](int) { UpdateActions(); });

    SetOptions(GetFavoritesOptions(FState.StatList()));
    UpdateActions();
    resize(640, 560);
    try {
        RestoreFormPlacement(this, true, true);
    } catch (const std::exception&) {
    }
}

TFormManager::~TFormManager()
{
    RemoveWaitListener(FWaitListener);
    try {
        SaveFormPlacement(this);
    } catch (const std::exception&) {
    }
}

QAction* TFormManager::Action(const QString& name) const
{
    return findChild<QAction*>(name, Qt::FindDirectChildrenOnly);
}

TFavoritesOptions TFormManager::Options() const
{
    return {FSortOnName->isChecked(), FShowGroupName->isChecked(), FShowFlags->isChecked()};
}

void TFormManager::SetOptions(const TFavoritesOptions& options)
{
    FSortOnName->setChecked(options.Ordered);
    FShowGroupName->setChecked(options.ShowGroupName);
    FShowFlags->setChecked(options.ShowMethodFlags);
}

void TFormManager::FillTree()
{
    const TBusyScope busy(LoadResString(SWait));
    FTree.Fill(FState.StatList());
    ShowTree();
}

void TFormManager::ShowTree()
{
    FFilters->setUpdatesEnabled(false);
    FFilters->clear();
    FCount->setText(FavoritesCountText(FState.StatList()));
    for (const TFavoriteGroupNode& group : FTree.Groups()) {
        auto* groupItem = new QTreeWidgetItem(FFilters, QStringList{group.Text});
        groupItem->setIcon(0, FImages[imgGroup]);
        groupItem->setData(0, kMethodRole, -1);
        for (const TFavoriteMethodNode& node : group.Methods) {
            auto* item = new QTreeWidgetItem(groupItem, QStringList{node.Text});
            item->setIcon(0, FImages[node.Ticked ? imgTicked : imgUnticked]);
            item->setData(0, kMethodRole, node.MethodIndex);
        }
    }
    FFilters->expandAll();
    FFilters->setUpdatesEnabled(true);
    if (FFilters->topLevelItemCount() > 0)
        FFilters->setCurrentItem(FFilters->topLevelItem(0));
    UpdateActions();
}

std::pair<int, int> TFormManager::NodeOf(const QTreeWidgetItem* item) const
{
    if (!item)
        return {-1, -1};
    if (const QTreeWidgetItem* parent = item->parent())
        return {FFilters->indexOfTopLevelItem(const_cast<QTreeWidgetItem*>(parent)), parent->indexOfChild(const_cast<QTreeWidgetItem*>(item))};
    return {FFilters->indexOfTopLevelItem(const_cast<QTreeWidgetItem*>(item)), -1};
}

std::pair<int, int> TFormManager::SelectedNode() const
{
    const QList<QTreeWidgetItem*> selected = FFilters->selectedItems();
    return NodeOf(selected.isEmpty() ? nullptr : selected.first());
}

int TFormManager::SelectedGroup() const
{
    return SelectedNode().first;
}

QTreeWidgetItem* TFormManager::MethodItem(int methodIndex) const
{
    for (int g = 0; g < FFilters->topLevelItemCount(); ++g) {
        QTreeWidgetItem* group = FFilters->topLevelItem(g);
        for (int m = 0; m < group->childCount(); ++m)
            if (group->child(m)->data(0, kMethodRole).toInt() == methodIndex)
                return group->child(m);
    }
    return nullptr;
}

void TFormManager::SyncItem(int group, int method)
{
    const TFavoriteMethodNode* node = FTree.Method(group, method);
    QTreeWidgetItem* groupItem = FFilters->topLevelItem(group);
    QTreeWidgetItem* item = groupItem ? groupItem->child(method) : nullptr;
    if (!node || !item)
        return;
    item->setText(0, node->Text);
    item->setIcon(0, FImages[node->Ticked ? imgTicked : imgUnticked]);
}

void TFormManager::SyncAll()
{
    for (int g = 0; g < static_cast<int>(FTree.Groups().size()); ++g)
        for (int m = 0; m < static_cast<int>(FTree.Groups()[static_cast<std::size_t>(g)].Methods.size()); ++m)
            SyncItem(g, m);
}

void TFormManager::UpdateActions()
{
    const bool idle = IsNotWaiting();
    const bool hasNodes = FFilters->topLevelItemCount() > 0;
    const auto [group, method] = SelectedNode();
    const bool selected = group >= 0;
    const bool methodSelected = selected && method >= 0;
    const auto set = [&](const char* name, bool enabled) {
        if (QAction* action = Action(QString::fromLatin1(name)))
            action->setEnabled(idle && enabled);
    };
    set("CheckNone", hasNodes);
    set("CheckAll", hasNodes);
    set("GroupNone", selected);
    set("GroupAll", selected);
    set("Rename", methodSelected);
    set("ResetName", methodSelected);
    set("Info", methodSelected);
    set("NamesImport", true);
    set("NamesExport", true);
}

void TFormManager::ItemClicked(QTreeWidgetItem* item)
{
    const auto [group, method] = NodeOf(item);
    if (method < 0 || !IsNotWaiting())
        return;
    FTree.Toggle(group, method);
    SyncItem(group, method);
}

void TFormManager::CheckAllNodes(bool ticked)
{
    FTree.CheckAll(ticked);
    SyncAll();
}

void TFormManager::CheckSelectedGroup(bool ticked)
{
    const int group = SelectedGroup();
    FTree.CheckGroup(group, ticked);
    SyncAll();
}

void TFormManager::RenameSelected()
{
    const auto [group, method] = SelectedNode();
    const TFavoriteMethodNode* node = FTree.Method(group, method);
    if (!node)
        return;
    QString text = node->Text;
    if (!PromptText(this, LoadResString(SRenameTitle), LoadResString(SRenamePrompt), text))
        return;
    FTree.Rename(group, method, text);
    SyncItem(group, method);
}

void TFormManager::ResetSelectedName()
{
    const auto [group, method] = SelectedNode();
    FTree.ResetName(group, method, FState.StatList());
    SyncItem(group, method);
}

void TFormManager::InfoSelected()
{
    const auto [group, method] = SelectedNode();
    const TFavoriteMethodNode* node = FTree.Method(group, method);
    if (node && node->MethodIndex >= 0 && node->MethodIndex < FState.StatList().Count())
        ShowFilterHelp(FState.StatList().Items(node->MethodIndex), this);
}

void TFormManager::NamesImport()
{
    TFilePrompt prompt;
    prompt.Filter = LoadResString(SNamesFilter);
    prompt.DefaultExt = QStringLiteral("flt");
    prompt.FileName = FState.DataDir();
    QString fileName;
    if (!PromptForFileName(this, prompt, fileName))
        return;
    const TBusyScope busy(LoadResString(SWait));
    ImportFavoriteNames(FState.StatList(), FTree, fileName);
    ShowTree();
}

void TFormManager::NamesExport()
{
    TFilePrompt prompt;
    prompt.Filter = LoadResString(SNamesFilter);
    prompt.DefaultExt = QStringLiteral("flt");
    prompt.FileName = FState.DataDir();
    prompt.Save = true;
    QString fileName;
    if (!PromptForFileName(this, prompt, fileName))
        return;
    const TBusyScope busy(LoadResString(SWait));
    ExportFavoriteNames(FState.StatList(), FTree, fileName, FState.FavoritesFileName());
}

// ---------------------------------------------------------------------------------------

bool EditFavoriteMethods(TMainState& state, QWidget* owner)
{
    TFormManager form(state, owner);
    form.FillTree();
    form.SetOptions(GetFavoritesOptions(state.StatList()));
    if (ExecModalForm(form) != QDialog::Accepted)
        return false;
    ApplyFavoritesDialog(state.StatList(), form.Tree(), form.Options());
    return true;
}

void RunFiltersManager(TMainState& state, const TRefillMethodLists& refill, QWidget* owner)
{
    if (EditFavoriteMethods(state, owner))
        ApplyFavorites(state, refill);
}

void RunFiltersReset(TMainState& state, const TRefillMethodLists& refill)
{
    ResetFavorites(state, refill);
}
