#include "app/ui/scenarios/ScriptPage.h"

#include "engine/KelmaMsg.h"
#include "platform/DelphiText.h"
#include "support/ui/QorListView.h"
#include "support/ui/RStatusBar.h"

namespace {

const TResString kColumnCaptions[ScriptRowColumnCount] = {rsColComments, rsColOptions, rsColFilter1, rsColFilter2,
                                                          rsColFilter3,  rsColFilter4, rsColFilter5, rsColFilter6,
                                                          rsColFilter7};
constexpr int kCommentWidth = 160;
constexpr int kOptionsWidth = 280;
constexpr int kFilterWidth = 200;
// The panels of sbScript: the line count, then the cycle, line, stake counters and the step.
constexpr int kPanelWidths[] = {100, 100, 100, 100, -1};

} // namespace

TScriptPage::TScriptPage(TScriptList& script, const TStatList& methods, TRListView* list, TStatusBar* statusBar,
                         QObject* parent)
    : QObject(parent), FScript(script), FMethods(methods), FList(list), FStatusBar(statusBar)
{
    for (const int width : kPanelWidths)
        FStatusBar->AddPanel(width);
    FStatusBar->setSizeGripEnabled(false);
    FList->SetMultiSelect(true);
    FList->SetOwnerData(true);
    for (int column = 0; column < ScriptRowColumnCount; ++column)
        FList->AddColumn(LoadResString(kColumnCaptions[column]),
                         column == 0 ? kCommentWidth : column == 1 ? kOptionsWidth : kFilterWidth);
    FList->SetOnData([this](int row, int column) {
        const QStringList texts = FScript.RowTexts(row, FMethods);
        return column >= 0 && column < texts.size() ? texts[column] : QString();
    });
    FScript.OnChanged = [this] { UpdateScriptListStatus(); };
    UpdateScriptListStatus();
}

TScriptPage::~TScriptPage()
{
    FScript.OnChanged = nullptr;
    FList->SetOnData(nullptr);
    FList->SetItemCount(0);
}

void TScriptPage::UpdateScriptListStatus()
{
    FList->SetItemCount(FScript.Count());
    FList->Items()->RefreshAll();
    FList->viewport()->update();
    FStatusBar->SetPanelText(LinesPanel, Format(LoadResString(rsStatusLineCount), {FScript.Count()}));
}

void TScriptPage::Apply(const TScriptCommandResult& result)
{
    if (!result.Changed)
        return;
    UpdateScriptListStatus();
    FList->SetSelected(result.Select >= 0 && result.Select < FScript.Count() ? result.Select : -1);
    if (result.Select >= 0 && result.Select < FScript.Count())
        FList->scrollTo(FList->model()->index(result.Select, 0));
}

QList<int> TScriptPage::SelectedRows() const
{
    return FList->SelectedRows();
}

int TScriptPage::Selected() const
{
    return FList->Selected();
}

bool TScriptPage::HasSelection() const
{
    return FList->SelectedCount() > 0;
}
