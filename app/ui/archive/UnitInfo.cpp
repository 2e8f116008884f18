#include "app/ui/archive/UnitInfo.h"

#include "app/core/shell/MainState.h"
#include "app/ui/shell/ProgramEnv.h"
#include "engine/KelmaMsg.h"
#include "engine/KelmaStatList.h"
#include "platform/ResString.h"
#include "support/RMsgRu.h"
#include "support/RVclUtils.h"
#include "support/ui/QorListView.h"
#include "support/ui/RVclUtilsUi.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>

#include <algorithm>

namespace {

const TResString SCaption = RESSTR("UnitInfo", "Подробная информация");
const TResString SCols = RESSTR("UnitInfo", "Количество столбцов:");

constexpr int kPropertyWidth = 235;
constexpr int kValueWidth = 120;
constexpr int kCellSize = 24;

} // namespace

TFormInfo::TFormInfo(const TStatList& list, QWidget* parent) : QDialog(parent), FList(list)
{
    setObjectName(QStringLiteral("FormInfo"));
    setWindowTitle(LoadResString(SCaption));
    setSizeGripEnabled(true);

    auto* layout = new QGridLayout(this);
    layout->setContentsMargins(8, 8, 8, 8);
    layout->setHorizontalSpacing(8);
    layout->setVerticalSpacing(6);

    FProps = new TRListView(this);
    FProps->setObjectName(QStringLiteral("lvProps"));
    FProps->AddColumn(LoadResString(rsColProperty), kPropertyWidth);
    FProps->AddColumn(LoadResString(rsColValue), kValueWidth, Qt::AlignHCenter);
    FProps->SetColumnClick(false);
    FProps->SetGridLines(true);
    FProps->setMinimumWidth(kPropertyWidth + kValueWidth + 24);

    FCols = new QSpinBox(this);
    FCols->setObjectName(QStringLiteral("seCols"));
    FCols->setRange(InfoGridMinCols, InfoGridMaxCols);
    FCols->setValue(InfoGridStartCols(list));
    FColsLabel = new QLabel(LoadResString(SCols), this);
    FColsLabel->setObjectName(QStringLiteral("lblCols"));
    FColsLabel->setBuddy(FCols);

    FCard = new QTableWidget(InfoGridRows, FCols->value(), this);
    FCard->setObjectName(QStringLiteral("sgCard"));
    FCard->horizontalHeader()->hide();
    FCard->verticalHeader()->hide();
    FCard->horizontalHeader()->setDefaultSectionSize(kCellSize);
    FCard->verticalHeader()->setDefaultSectionSize(kCellSize);
    FCard->horizontalHeader()->setMinimumSectionSize(kCellSize);
    FCard->verticalHeader()->setMinimumSectionSize(kCellSize);
    FCard->setEditTriggers(QAbstractItemView::NoEditTriggers);
    FCard->setSelectionMode(QAbstractItemView::NoSelection);
    FCard->setFocusPolicy(Qt::NoFocus);
    FCard->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    FCard->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);

    auto* buttons = new QDialogButtonBox(this);
    QPushButton* close = buttons->addButton(LoadResString(SCloseCaption), QDialogButtonBox::RejectRole);
    close->setObjectName(QStringLiteral("btnClose"));
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    layout->addWidget(FProps, 0, 0, 3, 1);
    layout->addWidget(FColsLabel, 0, 1);
    layout->addWidget(FCols, 1, 1);
    layout->addWidget(FCard, 2, 1, Qt::AlignTop | Qt::AlignLeft);
    layout->addWidget(buttons, 3, 0, 1, 2);
    layout->setColumnStretch(0, 1);
    layout->setRowStretch(2, 1);

    connect(FCols, &QSpinBox::valueChanged, this, [this] { BuildGrid(); });
    BuildGrid();
    resize(kPropertyWidth + kValueWidth + 40 + InfoGridMaxCols * kCellSize + 40, 520);
}

void TFormInfo::SetCombination(TCombWord comb)
{
    FComb = comb;
    BuildGrid();
}

void TFormInfo::AddRow(const TDrawInfoRow& row)
{
    TRListItem item;
    item.Caption = row.Property;
    item.SubItems = QStringList{row.Value};
    FProps->Items()->Add(item);
}

void TFormInfo::FitPropertyColumn()
{
    const int before = FProps->ColumnWidth(0);
    FProps->SetFittedColumnWidth(0, std::max(kPropertyWidth, FProps->ItemsTextWidth(0)));
    const int wider = FProps->ColumnWidth(0) - before;
    if (wider <= 0)
        return;
    FProps->setMinimumWidth(FProps->minimumWidth() + wider);
    resize(width() + wider, height());
}

void TFormInfo::BuildGrid()
{
    const int cols = FCols->value();
    FCard->clearContents();
    FCard->setColumnCount(cols);
    FCard->setRowCount(InfoGridRows);
    const int channelSize = FList.Config().ChannelSize;
    for (int r = 0; r < InfoGridRows; ++r) {
        const QColor colour = ColorFromBgr(ChannelColor(r, channelSize));
        for (int c = 0; c < cols; ++c) {
            auto* item = new QTableWidgetItem;
            item->setBackground(colour);
            item->setTextAlignment(Qt::AlignCenter);
            FCard->setItem(r, c, item);
        }
    }
    for (const TDrawInfoCell& cell : DrawInfoCells(FComb, cols))
        FCard->item(cell.Row, cell.Col)->setText(cell.Text);
    const int frame = 2 * FCard->frameWidth();
    FCard->setFixedSize(cols * kCellSize + frame, InfoGridRows * kCellSize + frame);
}

// ---------------------------------------------------------------------------------------

void ShowInfoForm(const TStatList& list, const TDrawInfoRequest& request, QWidget* owner)
{
    TFormInfo form(list, owner);
    {
        const TBusyScope busy;
        form.SetCombination(request.Comb);
        form.Props()->BeginUpdate();
        for (const TDrawInfoRow& row : DrawInfoRows(list, request))
            form.AddRow(row);
        form.Props()->EndUpdate();
        form.FitPropertyColumn();
    }
    ExecModalForm(form);
}

void ShowDrawInfo(TMainState& state, int drawIndex, QWidget* owner)
{
    if (drawIndex < 0 || drawIndex >= static_cast<int>(state.FDraws.size()))
        return;
    ShowInfoForm(state.StatList(), DrawInfoRequest(state, drawIndex), owner);
}

void ShowCombInfo(TMainState& state, TCombWord comb, QWidget* owner)
{
    ShowInfoForm(state.StatList(), CombInfoRequest(state, comb), owner);
}
