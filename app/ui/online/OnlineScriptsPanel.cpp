#include "app/ui/online/OnlineScriptsPanel.h"

#include "app/core/online/OnlineScripts.h"
#include "app/ui/online/SystemsPage.h"
#include "app/ui/online/UnitScrPublic.h"
#include "app/ui/online/UnitScrRates.h"
#include "engine/KelmaMsg.h"
#include "platform/ResString.h"
#include "support/RLngDLL.h"
#include "support/RVclUtils.h"
#include "support/ui/QorListView.h"
#include "support/ui/RListView.h"

#include <QComboBox>
#include <QEvent>
#include <QInputDialog>
#include <QItemSelectionModel>
#include <QVBoxLayout>

namespace {

const TResString SColumns[] = {
    rsColType,   rsColTitle,     rsColAuthor,  rsColProgram,   rsColVersion,      rsColLanguage, rsColCreated,
    rsColRating, rsColRateCount, rsColOwnRate, rsColDownloads, rsColLastDownload, rsColComments,
};
const QList<int> kWidths{75, 160, 100, 100, 55, 45, 140, 60, 55, 95, 65, 140, 250};
const QList<int> kRightAligned{7, 8, 9, 10};

} // namespace

TOnlineScriptsPanel::TOnlineScriptsPanel(TOnlineScripts& library, TSwScripts& client, QWidget* parent)
    : QWidget(parent), FLibrary(library)
{
    setObjectName(QStringLiteral("pnlOnlineScripts"));
    FFilter = new QComboBox(this);
    FFilter->setObjectName(QStringLiteral("cbOnlineScriptsFilter"));
    FList = new TRListView(this);
    FList->setObjectName(QStringLiteral("lvOnlineScripts"));
    FList->setContextMenuPolicy(Qt::ActionsContextMenu);
    // Public and private entries are told apart by their pictures, as the systems list does.
    FList->setItemDelegate(new TRowImageDelegate(
        [this](int row) { return row >= 0 && row < FList->ItemCount() ? FList->Items()->Item(row).ImageIndex : -1; },
        FList));

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    layout->addWidget(FFilter);
    layout->addWidget(FList, 1);

    TranslateTexts();
    InstallSeams(client);

    connect(FFilter, &QComboBox::currentIndexChanged, this, [this](int index) {
        if (!FFilling && index >= 0)
            FLibrary.SetFilterIndex(index);
    });
    connect(FList->selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] { SelectionChanged(); });
    connect(FList, &QAbstractItemView::doubleClicked, this, [this] {
        if (IsNotWaiting() && FLibrary.SelectedEntry())
            ShowScriptProperties();
    });
    ShowEntries();
}

void TOnlineScriptsPanel::InstallSeams(TSwScripts& client)
{
    FLibrary.OnChanged = [this] { ShowEntries(); };
    FLibrary.OnEntryChanged = [this](int index) { UpdateScriptListItem(index, FLibrary.Entries().at(index)); };
    FLibrary.EditProperties = [this, &client](tScriptData& data, bool editable) {
        return EditScriptProperties(window(), &client, data, GetDefaultLanguage(), editable);
    };
    FLibrary.AskComment = [this](QString& comment) {
        bool ok = false;
        const QString text = QInputDialog::getText(window(), LoadResString(rsRateCommentTitle),
                                                   LoadResString(rsRateCommentPrompt), QLineEdit::Normal, QString(), &ok);
        if (ok)
            comment = text;
        return ok;
    };
    FLibrary.ShowRates = [this](const QList<tScriptRate>& rates) { ShowScriptRatesWindow(window(), rates); };
}

void TOnlineScriptsPanel::TranslateTexts()
{
    QStringList captions;
    for (const TResString& caption : SColumns)
        captions.append(LoadResString(caption));
    SetListColumns(FList, captions, kWidths, kRightAligned);

    FFilling = true;
    FFilter->clear();
    FFilter->addItems(TOnlineScripts::FilterCaptions());
    FFilter->setCurrentIndex(FLibrary.FilterIndex());
    FFilling = false;
}

void TOnlineScriptsPanel::ShowEntries()
{
    FFilling = true;
    FFilter->setCurrentIndex(FLibrary.FilterIndex());
    FList->BeginUpdate();
    FList->Items()->Clear();
    for (const tScriptInfo& info : FLibrary.Entries())
        AddScriptListItem(info);
    FList->SetSelected(FLibrary.Selected());
    FList->EndUpdate();
    FFilling = false;
    if (FLibrary.Selected() >= 0)
        ScrollSelectedIntoView(FList);
}

int TOnlineScriptsPanel::AddScriptListItem(const tScriptInfo& info)
{
    const QStringList texts = ScriptInfoTexts(info);
    TRListItem item;
    item.Caption = texts.first();
    item.SubItems = texts.mid(1);
    item.ImageIndex = ScriptInfoImage(info);
    return FList->Items()->Add(item);
}

void TOnlineScriptsPanel::UpdateScriptListItem(int index, const tScriptInfo& info)
{
    if (index < 0 || index >= FList->ItemCount())
        return;
    const QStringList texts = ScriptInfoTexts(info);
    TRListItem item = FList->Items()->Item(index);
    item.Caption = texts.first();
    item.ImageIndex = ScriptInfoImage(info);
    item.SubItems = texts.mid(1);
    // Ratings and downloads are the server's to count: the row keeps what it showed.
    const QStringList old = FList->Items()->Item(index).SubItems;
    for (int column = 7; column <= 11 && column - 1 < old.size(); ++column)
        item.SubItems[column - 1] = old.at(column - 1);
    FList->Items()->SetItem(index, item);
}

void TOnlineScriptsPanel::SelectionChanged()
{
    if (!FFilling)
        FLibrary.SetSelected(FList->Selected());
}

void TOnlineScriptsPanel::Refresh()
{
    FLibrary.LoadOnlineScripts();
}

void TOnlineScriptsPanel::Download()
{
    FLibrary.Download();
}

void TOnlineScriptsPanel::Rate(int rating)
{
    FLibrary.Rate(rating);
}

void TOnlineScriptsPanel::Hide()
{
    FLibrary.Hide();
}

void TOnlineScriptsPanel::PublishScript()
{
    FLibrary.PublishScript();
}

void TOnlineScriptsPanel::ReplaceScript()
{
    FLibrary.ReplaceScript();
}

void TOnlineScriptsPanel::UnpublishScript()
{
    FLibrary.UnpublishScript();
}

void TOnlineScriptsPanel::ShowScriptProperties()
{
    FLibrary.ShowScriptProperties();
}

void TOnlineScriptsPanel::ShowScriptRates()
{
    FLibrary.ShowScriptRates();
}

void TOnlineScriptsPanel::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::LanguageChange) {
        TranslateTexts();
        ShowEntries();
    }
    QWidget::changeEvent(event);
}
