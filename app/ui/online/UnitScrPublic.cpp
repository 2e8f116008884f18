#include "app/ui/online/UnitScrPublic.h"

#include "engine/KelmaMsg.h"
#include "platform/DelphiText.h"
#include "platform/ResString.h"
#include "support/RDialogs.h"
#include "support/RLngDLL.h"
#include "support/RMsgRu.h"
#include "support/RStrUtils.h"
#include "support/RSysUtils.h"
#include "support/RSwCommon.h"

#include <QComboBox>
#include <QEvent>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace {

const TResString SCaption = RESSTR("FormScrPublic", "Свойства сценария");
const TResString SOkHint = RESSTR("FormScrPublic", "Отправить сценарий на сервер");
const TResString SClLcid = RESSTR("FormScrPublic", "Язык:");
const TResString STitle = RESSTR("FormScrPublic", "Название:");
const TResString SViewMode = RESSTR("FormScrPublic", " Доступность ");
const TResString SViewAll = RESSTR("FormScrPublic", "Сценарий виден всем пользователям");
const TResString SViewMine = RESSTR("FormScrPublic", "Сценарий виден только мне");
const TResString SAppMode = RESSTR("FormScrPublic", " Применяемость ");
const TResString SAppAny = RESSTR("FormScrPublic", "В любом приложении Kelmar");

constexpr int kDesignedWidth = 460;
constexpr int kDescrHeight = 120;

void SetReadOnly(QWidget* edit, bool readOnly)
{
    // A read-only edit takes the window's background, so that it does not look editable.
    QPalette palette = edit->palette();
    palette.setColor(QPalette::Base, readOnly ? edit->window()->palette().color(QPalette::Window)
                                              : QPalette().color(QPalette::Base));
    edit->setPalette(palette);
}

} // namespace

TFormScrPublic::TFormScrPublic(TSwScripts* client, QWidget* parent) : TDialogSTemplate(parent), FClient(client)
{
    setObjectName(QStringLiteral("FormScrPublic"));
    BuildControls();
    TranslateTexts();
    FitToLayout(kDesignedWidth);
}

void TFormScrPublic::BuildControls()
{
    QWidget* panel = ClientPanel();
    auto* grid = NewClientGrid("layScrPublic", 8, 6);

    FClName = new QLineEdit(panel);
    FClName->setObjectName(QStringLiteral("edClName"));
    FClName->setMaxLength(MaxTextLength);
    FClLcid = new QComboBox(panel);
    FClLcid->setObjectName(QStringLiteral("cbClLcid"));
    FTitle = new QLineEdit(panel);
    FTitle->setObjectName(QStringLiteral("edTitle"));
    FTitle->setMaxLength(MaxTextLength);
    FDescr = new QPlainTextEdit(panel);
    FDescr->setObjectName(QStringLiteral("edDescr"));
    FDescr->setMinimumHeight(kDescrHeight);

    FViewMode = new QGroupBox(panel);
    FViewMode->setObjectName(QStringLiteral("rgViewMode"));
    FAppMode = new QGroupBox(panel);
    FAppMode->setObjectName(QStringLiteral("rgAppMode"));
    for (int i = 0; i < 2; ++i) {
        FViewModes[i] = new QRadioButton(FViewMode);
        FViewModes[i]->setObjectName(QStringLiteral("rbViewMode%1").arg(i));
        FAppModes[i] = new QRadioButton(FAppMode);
        FAppModes[i]->setObjectName(QStringLiteral("rbAppMode%1").arg(i));
    }
    auto* viewLayout = new QVBoxLayout(FViewMode);
    auto* appLayout = new QVBoxLayout(FAppMode);
    for (int i = 0; i < 2; ++i) {
        viewLayout->addWidget(FViewModes[i]);
        appLayout->addWidget(FAppModes[i]);
    }
    FViewModes[0]->setChecked(true);
    FAppModes[0]->setChecked(true);

    FClNameLabel = NewBuddyLabel("lblClName", FClName);
    FClLcidLabel = NewBuddyLabel("lblClLcid", FClLcid);
    FTitleLabel = NewBuddyLabel("lblTitle", FTitle);
    FDescrLabel = NewBuddyLabel("lblDescr", FDescr);

    grid->addWidget(FClNameLabel, 0, 0);
    grid->addWidget(FClName, 0, 1);
    grid->addWidget(FClLcidLabel, 0, 2);
    grid->addWidget(FClLcid, 0, 3);
    grid->addWidget(FTitleLabel, 1, 0);
    grid->addWidget(FTitle, 1, 1, 1, 3);
    grid->addWidget(FViewMode, 2, 0, 1, 2);
    grid->addWidget(FAppMode, 2, 2, 1, 2);
    grid->addWidget(FDescrLabel, 3, 0, 1, 4);
    grid->addWidget(FDescr, 4, 0, 1, 4);
    grid->setColumnStretch(1, 1);
    grid->setRowStretch(4, 1);
}

void TFormScrPublic::TranslateTexts()
{
    setWindowTitle(LoadResString(SCaption));
    SetHint(OkBtn(), LoadResString(SOkHint));
    SetHint(CancelBtn(), LoadResString(SCloseWindowCaption));
    FClNameLabel->setText(LoadResString(rsAuthorLabel));
    FClLcidLabel->setText(LoadResString(SClLcid));
    FTitleLabel->setText(LoadResString(STitle));
    FDescrLabel->setText(LoadResString(rsDescrLabel));
    FViewMode->setTitle(LoadResString(SViewMode));
    FViewModes[0]->setText(LoadResString(SViewAll));
    FViewModes[1]->setText(LoadResString(SViewMine));
    FAppMode->setTitle(LoadResString(SAppMode));
    FAppModes[0]->setText(Format(LoadResString(rsAppModeOnlyIn), {QFileInfo(GetAppFileName()).completeBaseName()}));
    FAppModes[1]->setText(LoadResString(SAppAny));

    const int current = FClLcid->currentIndex();
    QStringList names;
    FillLanguageNames(names);
    FLanguages = GetLanguages();
    FClLcid->clear();
    FClLcid->addItems(names);
    FClLcid->setCurrentIndex(current);
}

void TFormScrPublic::LoadData(const tScriptData& data, LCID defaultLcid, bool editable)
{
    FData = data;
    FEditable = editable;
    // Another user's texts are shown without direction controls; the user's own, which go back
    // to the server, as they are.
    const auto shown = [editable](const QString& text) { return editable ? text : ShownText(text); };
    FClName->setText(shown(data.ClName));
    FTitle->setText(shown(data.Title));
    FDescr->setPlainText(shown(data.Descr));
    FClLcid->setCurrentIndex(FindLanguageIndex(static_cast<LCID>(data.ClLcid), defaultLcid));
    FViewModes[data.Public ? 0 : 1]->setChecked(true);
    FAppModes[data.Universal ? 1 : 0]->setChecked(true);

    FClName->setReadOnly(!editable);
    FTitle->setReadOnly(!editable);
    FDescr->setReadOnly(!editable);
    for (QWidget* edit : {static_cast<QWidget*>(FClName), static_cast<QWidget*>(FTitle), static_cast<QWidget*>(FDescr)})
        SetReadOnly(edit, !editable);
    FClLcid->setEnabled(editable);
    FViewMode->setEnabled(editable);
    FAppMode->setEnabled(editable);
    OkBtn()->setVisible(editable);
    OkBtn()->setDefault(editable);
    CancelBtn()->setDefault(!editable);
    if (editable)
        FTitle->setFocus();
    else
        CancelBtn()->setFocus();
}

tScriptData TFormScrPublic::Data() const
{
    tScriptData data = FData;
    data.ClName = FClName->text().trimmed();
    data.ClLcid = static_cast<std::int32_t>(LanguageByIndex(FClLcid->currentIndex(), static_cast<LCID>(FData.ClLcid)));
    data.Title = FTitle->text().trimmed();
    data.Descr = FDescr->toPlainText();
    data.Public = FViewModes[0]->isChecked();
    data.Universal = FAppModes[1]->isChecked();
    return data;
}

bool TFormScrPublic::TryAccept()
{
    if (!FEditable)
        return false;
    const tScriptData data = Data();
    if (data.Title.isEmpty()) {
        ErrorBox(LoadResString(rsTitleRequired));
        FTitle->setFocus();
        return false;
    }
    if (FClient) {
        bool failed = false;
        if (!FClient->CheckScriptTitle(data.Id, data.Title, &failed)) {
            // A failed check was shown already; only a title the server knows is "taken".
            if (!failed)
                ErrorBox(LoadResString(rsTitleTaken));
            FTitle->setFocus();
            return false;
        }
    }
    if (data.ClName.isEmpty()) {
        ErrorBox(LoadResString(rsAuthorRequired));
        FClName->setFocus();
        return false;
    }
    FData = data;
    TDialogSTemplate::accept();
    return true;
}

void TFormScrPublic::accept()
{
    TryAccept();
}

void TFormScrPublic::changeEvent(QEvent* event)
{
    const bool languageChange = event->type() == QEvent::LanguageChange;
    TDialogSTemplate::changeEvent(event);
    if (languageChange) {
        TranslateTexts();
        FitToLayout(kDesignedWidth);
    }
}

bool EditScriptProperties(QWidget* owner, TSwScripts* client, tScriptData& data, LCID defaultLcid, bool editable)
{
    TFormScrPublic form(client, owner);
    form.LoadData(data, defaultLcid, editable);
    if (form.exec() != QDialog::Accepted || !editable)
        return false;
    data = form.Data();
    return true;
}
