#include "app/ui/archive/DrawsPage.h"

#include "app/ui/archive/UnitDraw.h"
#include "engine/KelmaMsg.h"
#include "support/RVclUtils.h"
#include "support/ui/QorListView.h"
#include "support/ui/RStatusBar.h"
#include "support/ui/RVclUtilsUi.h"

#include <QHeaderView>
#include <QSignalBlocker>
#include <QSpinBox>

#include <algorithm>

namespace {

// The draw's key follows the columns it shares with the combination list.
constexpr int colKey = DigitRowColumnCount;

// The status panels the archive writes into.
constexpr int kPanelCount = 0;
constexpr int kPanelNext = 1;
constexpr int kPanelDigits = 2;

QString CellText(const TDrawRow& row, int column)
{
    return column == colKey ? row.Key : DigitRowCellText(row, column);
}

} // namespace

TDrawsPage::TDrawsPage(TMainState& state, TDrawArchive& archive, TRListView* list, QSpinBox* offsetEditor,
                       TStatusBar* statusBar, QObject* parent)
    : QObject(parent), FState(state), FArchive(archive), FList(list), FOffsetEditor(offsetEditor), FStatusBar(statusBar)
{
    FList->SetOwnerData(true);
    FList->SetMultiSelect(true);
    // The digit columns are narrower than a header section may be by default.
    FList->header()->setMinimumSectionSize(16);
    FList->AddColumn(LoadResString(rsColDraw), 54, Qt::AlignLeft);
    FList->AddColumn(LoadResString(SColDigit1), 24, Qt::AlignCenter);
    FList->AddColumn(LoadResString(SColDigit2), 24, Qt::AlignCenter);
    FList->AddColumn(LoadResString(SColSum), 30, Qt::AlignCenter);
    FList->AddColumn(LoadResString(rsColDrawDate), 100, Qt::AlignLeft);
    FList->SetOnData([this](int row, int column) { return CellText(FArchive.DrawRow(row), column); });
    FList->setItemDelegate(new TDrawsDelegate(FArchive, FList));

    FOffsetEditor->setRange(0, 0);
    FOffsetEditor->setValue(FState.DrawsOffset());
    connect(FOffsetEditor, &QSpinBox::valueChanged, this, &TDrawsPage::OffsetEdited);
}

void TDrawsPage::ShowDrawsInfo(const TDrawsInfo& info, bool force)
{
    if (force || FList->ItemCount() != info.Count)
        FList->SetItemCount(info.Count);
    Repaint();
    FStatusBar->SetPanelText(kPanelCount, info.CountText);
    FStatusBar->SetPanelText(kPanelNext, info.NextText);
    FStatusBar->SetPanelText(kPanelDigits, info.DigitsText);
    // An empty archive leaves the editor at 0 rather than below its lower limit.
    const QSignalBlocker blocker(FOffsetEditor);
    FOffsetEditor->setMaximum(std::max(0, info.OffsetMax));
}

void TDrawsPage::ShowDrawsOffset(int offset)
{
    if (FOffsetEditor->value() != offset) {
        const QSignalBlocker blocker(FOffsetEditor);
        FOffsetEditor->setValue(offset);
    }
    Repaint();
}

void TDrawsPage::Repaint()
{
    FList->Items()->RefreshAll();
    FList->viewport()->update();
}

void TDrawsPage::OffsetEdited(int value)
{
    // Every analysis of a long operation reads the offset: the editor cannot move it meanwhile
    // (its input is held off by the window; this covers any other way a value gets in).
    if (!IsNotWaiting()) {
        const QSignalBlocker blocker(FOffsetEditor);
        FOffsetEditor->setValue(FState.DrawsOffset());
        return;
    }
    FState.SetDrawsOffset(value);
}

int TDrawsPage::SelectedIndex() const
{
    return FArchive.IndexOfRow(FList->Selected());
}

QList<int> TDrawsPage::SelectedIndexes() const
{
    QList<int> indexes;
    for (const int row : FList->SelectedRows()) {
        const int index = FArchive.IndexOfRow(row);
        if (index >= 0)
            indexes.append(index);
    }
    return indexes;
}

bool TDrawsPage::HasSelection() const
{
    return SelectedIndex() >= 0;
}

void TDrawsPage::DrawsAdd()
{
    TDrawRec draw = FArchive.NewDrawRecord();
    const auto check = [this](const TDrawRec& d) { return FArchive.CheckDraw(d, -1); };
    if (EditDrawData(LoadResString(rsEnterNextDraw), draw, true, check))
        FArchive.AddDraw(draw);
}

void TDrawsPage::DrawsEdit()
{
    const int index = SelectedIndex();
    if (index < 0)
        return;
    TDrawRec draw = FState.FDraws[static_cast<size_t>(index)];
    const auto check = [this, index](const TDrawRec& d) { return FArchive.CheckDraw(d, index); };
    if (EditDrawData(LoadResString(rsEnterNextDraw), draw, true, check))
        FArchive.EditDraw(index, draw);
}

void TDrawsPage::DrawsDel()
{
    if (FArchive.DeleteDraws(SelectedIndexes()))
        FList->clearSelection();
}

void TDrawsPage::DrawsSorted()
{
    FArchive.ToggleSortedDraws();
    Repaint();
}
