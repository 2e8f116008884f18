#include "app/ui/online/UnitScrRates.h"

#include "engine/KelmaMsg.h"
#include "platform/ResString.h"
#include "support/RMsgRu.h"
#include "support/ui/RFrmStorage.h"
#include "support/ui/QorListView.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

const TResString SCaption = RESSTR("FormScrRates", "Оценки пользователей");
const TResString SColumns[] = {rsColName, rsColRate, rsColDate, rsColProgram, rsColVersion, rsColComments};
const QList<int> kWidths{120, 60, 130, 90, 60, 220};

} // namespace

void SetListColumns(TRListView* view, const QStringList& captions, const QList<int>& widths,
                    const QList<int>& rightAligned)
{
    QList<int> current;
    for (int i = 0; i < view->ColumnCount(); ++i)
        current.append(view->ColumnWidth(i));
    view->Items()->ClearColumns();
    for (int i = 0; i < captions.size(); ++i) {
        const int width = i < current.size() ? current.at(i) : widths.value(i, 80);
        view->AddColumn(captions.at(i), width, rightAligned.contains(i) ? Qt::AlignRight : Qt::AlignLeft);
    }
}

TFormScrRates::TFormScrRates(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("FormScrRates"));
    FRates = new TRSortListView(this);
    FRates->setObjectName(QStringLiteral("lvRates"));
    FClose = new QPushButton(this);
    FClose->setObjectName(QStringLiteral("btnClose"));
    FClose->setDefault(true);
    connect(FClose, &QPushButton::clicked, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(FRates, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(FClose);
    layout->addLayout(buttons);
    resize(720, 320);
    TranslateTexts();
    try {
        RestoreListViewLayout(this, FRates, false);
    } catch (const std::exception&) {
        // An unreadable form-state file leaves the designed widths.
    }
}

TFormScrRates::~TFormScrRates()
{
    // The widths are worth keeping, but a failure to store them must not leave a destructor.
    try {
        SaveListViewLayout(this, FRates, false);
    } catch (const std::exception&) {
    }
}

void TFormScrRates::TranslateTexts()
{
    setWindowTitle(LoadResString(SCaption));
    FClose->setText(LoadResString(SCloseCaption));
    QStringList captions;
    for (const TResString& caption : SColumns)
        captions.append(LoadResString(caption));
    SetListColumns(FRates, captions, kWidths, {1});
}

void TFormScrRates::LoadRates(const QList<tScriptRate>& rates)
{
    FRates->BeginUpdate();
    FRates->Items()->Clear();
    for (const tScriptRate& rate : rates) {
        const QStringList texts = ScriptRateTexts(rate);
        TRListItem item;
        item.Caption = texts.first();
        item.SubItems = texts.mid(1);
        FRates->Items()->Add(item);
    }
    FRates->EndUpdate();
}

void TFormScrRates::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::LanguageChange)
        TranslateTexts();
    QDialog::changeEvent(event);
}

void ShowScriptRatesWindow(QWidget* owner, const QList<tScriptRate>& rates)
{
    TFormScrRates form(owner);
    form.LoadRates(rates);
    form.exec();
}
