#include "app/ui/archive/UnitProxy.h"

#include "app/core/archive/ProxySettings.h"
#include "platform/ResString.h"

#include "ui_FormProxy.h"

#include <QEvent>
#include <QValidator>

#include <algorithm>

namespace {

const TResString SProxyCaption = RESSTR("UnitProxy", "Параметры proxy-сервера");

constexpr int kWidth = 400;
constexpr int kHeight = 270;

// The host field takes only what a host name can hold, as the port field takes only a port: a
// character typed, pasted or read from the settings that no host holds (a blank, a control, one
// that shows nothing or turns the text round) is left out, and the cursor stays after what was kept.
class THostValidator : public QValidator {
public:
    using QValidator::QValidator;

    State validate(QString& input, int& pos) const override
    {
        const QString before = ProxyHostText(input.left(pos));
        input = before + ProxyHostText(input.mid(pos));
        pos = static_cast<int>(before.size());
        return Acceptable;
    }
};

} // namespace

TFormProxy::TFormProxy(QWidget* parent) : TDialogSTemplate(parent), FUi(std::make_unique<Ui::FormProxy>())
{
    setObjectName(QStringLiteral("FormProxy"));
    setWindowTitle(LoadResString(SProxyCaption));
    FUi->setupUi(ClientPanel());
    FUi->edServer->setValidator(new THostValidator(FUi->edServer));
    setFixedSize(kWidth, kHeight);
    for (QRadioButton* button : {FUi->rbProxyOff, FUi->rbProxyAuto, FUi->rbProxyManual})
        connect(button, &QRadioButton::clicked, this, [this] { UpdateEdits(); });
    UpdateEdits();
}

TFormProxy::~TFormProxy() = default;

void TFormProxy::LoadProxy(const TProxy& proxy)
{
    switch (proxy.Mode) {
    case 1:
        FUi->rbProxyAuto->setChecked(true);
        break;
    case 2:
        FUi->rbProxyManual->setChecked(true);
        break;
    default:
        FUi->rbProxyOff->setChecked(true);
        break;
    }
    FUi->edServer->setText(proxy.Server);
    // The port editor knows only real ports; a stored 0 (the automatic mode) shows as its lowest.
    FUi->edPort->setValue(std::clamp(static_cast<int>(proxy.Port), FUi->edPort->minimum(), FUi->edPort->maximum()));
    FUi->edUsername->setText(proxy.UserName);
    FUi->edPassword->setText(proxy.Password);
    UpdateEdits();
}

TProxyChoice TFormProxy::Choice() const
{
    TProxyChoice choice;
    choice.Server = FUi->edServer->text();
    choice.Port = FUi->edPort->value();
    choice.UserName = FUi->edUsername->text();
    choice.Password = FUi->edPassword->text();
    if (FUi->rbProxyManual->isChecked()) {
        choice.Mode = 2;
    } else if (FUi->rbProxyOff->isChecked()) {
        choice.Mode = 0;
    } else {
        choice.Mode = 1;
        choice.Server.clear();
        choice.Port = 0;
    }
    return choice;
}

void TFormProxy::UpdateEdits()
{
    const bool manual = FUi->rbProxyManual->isChecked();
    for (QWidget* edit : {static_cast<QWidget*>(FUi->edServer), static_cast<QWidget*>(FUi->edPort),
                          static_cast<QWidget*>(FUi->edUsername), static_cast<QWidget*>(FUi->edPassword)})
        edit->setEnabled(manual);
}

void TFormProxy::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::LanguageChange)
        FUi->retranslateUi(ClientPanel());
    TDialogSTemplate::changeEvent(event);
}

void TFormProxy::showEvent(QShowEvent* event)
{
    UpdateEdits();
    TDialogSTemplate::showEvent(event);
}

bool EditProxyData(QWidget* owner, const TProxy& proxy, TProxyChoice& choice)
{
    TFormProxy form(owner);
    form.LoadProxy(proxy);
    if (form.exec() != QDialog::Accepted)
        return false;
    choice = form.Choice();
    return true;
}
