#include "app/ui/stakes/RatingsPage.h"

#include "app/ui/shell/FilePrompt.h"
#include "engine/KelmaMsg.h"
#include "platform/DelphiText.h"
#include "platform/Exceptions.h"
#include "support/RDialogs.h"
#include "support/ui/QorListView.h"
#include "support/ui/RStatusBar.h"

namespace {

struct TColumnLayout {
    int Width;
    Qt::Alignment Alignment;
};

// Comment, stakes, matched, average, profit, average profit, the three counters and the three
// efficiency figures.
constexpr TColumnLayout kColumns[RatingColumnCount] = {
    {200, Qt::AlignLeft},  {60, Qt::AlignHCenter}, {60, Qt::AlignHCenter}, {60, Qt::AlignHCenter},
    {80, Qt::AlignRight},  {80, Qt::AlignRight},   {30, Qt::AlignHCenter}, {30, Qt::AlignHCenter},
    {30, Qt::AlignHCenter}, {70, Qt::AlignHCenter}, {70, Qt::AlignHCenter}, {70, Qt::AlignHCenter},
};

} // namespace

TRatingsPage::TRatingsPage(TMainState& state, TRatings& ratings, TRSortListView* list, TStatusBar* statusBar,
                           QObject* parent)
    : QObject(parent), FState(state), FRatings(ratings), FList(list), FStatusBar(statusBar)
{
    SetupList();
    FRatings.OnViewChanged = [this] { Repaint(); };
}

TRatingsPage::~TRatingsPage()
{
    FRatings.OnViewChanged = nullptr;
    FList->OnOwnerSort = nullptr;
    FList->SetOnData(nullptr);
    FList->SetItemCount(0);
}

void TRatingsPage::SetupList()
{
    FList->SetMultiSelect(true);
    FList->SetOwnerData(true);
    const QStringList captions = RatingColumnCaptions();
    for (int column = 0; column < RatingColumnCount; ++column)
        FList->AddColumn(captions[column], kColumns[column].Width, kColumns[column].Alignment);
    FList->SetOnData([this](int row, int column) {
        const QStringList texts = FRatings.RowTexts(row, EffMode());
        return column >= 0 && column < texts.size() ? texts[column] : QString();
    });
    // The list starts with the ratings' sort state; the handler comes after it, so that setting
    // it sorts nothing yet.
    FList->SetSortColumn(FRatings.SortColumn);
    FList->SetSortDirection(FRatings.SortDescending ? sdDescending : sdAscending);
    FList->OnOwnerSort = [this](TRSortListView*, int column, TSortDirection direction) {
        Sort(column, direction == sdDescending);
    };
}

void TRatingsPage::Sort(int column, bool descending)
{
    FRatings.SortColumn = column;
    FRatings.SortDescending = descending;
    if (!FLoaded)
        return;
    try {
        FRatings.SortRatings();
    } catch (const std::exception& e) {
        ErrorBox(ExceptionText(e));
        Repaint();
    }
}

void TRatingsPage::Load()
{
    const TRatingsLoadReport report = FRatings.LoadRatingsFile();
    FLoaded = true;
    const QString damage = TRatings::DamageText(report, FRatings.FileName());
    if (!damage.isEmpty())
        WarningBox(damage);
    Repaint();
}

void TRatingsPage::Repaint()
{
    FList->SetItemCount(static_cast<int>(FRatings.FRatings.size()));
    FList->Items()->RefreshAll();
    FList->viewport()->update();
    FStatusBar->SetPanelText(CountPanel, FRatings.StatusPanelText());
}

bool TRatingsPage::HasSelection() const
{
    return FList->SelectedCount() > 0;
}

QList<int> TRatingsPage::SelectedRows() const
{
    return FList->SelectedRows();
}

int TRatingsPage::EffMode() const
{
    return FState.Options.Value(TMainOptions::RatingsEffMode);
}

void TRatingsPage::SetEffMode(int mode)
{
    FState.WriteOption(TMainOptions::RatingsEffMode, mode);
    Repaint();
}

void TRatingsPage::RefreshFrom(const TCheckedStakeSource& stakes)
{
    try {
        FRatings.RefreshRatings(stakes);
    } catch (const std::exception& e) {
        ErrorBox(ExceptionText(e));
    }
    Repaint();
}

void TRatingsPage::ExportCsv(QWidget* owner)
{
    TFilePrompt prompt;
    prompt.Filter = LoadResString(rsCsvFilesFilter);
    prompt.DefaultExt = QStringLiteral("csv");
    prompt.Save = true;
    QString fileName;
    if (!PromptForFileName(owner, prompt, fileName))
        return;
    try {
        FRatings.ExportRatingsCsv(fileName);
    } catch (const std::exception& e) {
        ErrorBox(ExceptionText(e));
    }
}
