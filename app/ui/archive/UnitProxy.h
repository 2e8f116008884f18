#pragma once

#include "engine/KelmaUtils.h"
#include "support/ui/TmplDialogSimple.h"

#include <memory>

namespace Ui {
class FormProxy;
}

// What the proxy dialog hands back on OK.
struct TProxyChoice {
    std::uint8_t Mode = 0;   // 0 none, 1 public-proxy search, 2 fixed
    QString Server;
    int Port = 0;
    QString UserName;
    QString Password;
};

// The proxy dialog: no proxy, automatic search, or a fixed proxy with its four fields, which
// can be edited only while the fixed proxy is chosen.
class TFormProxy : public TDialogSTemplate {
    Q_OBJECT

public:
    explicit TFormProxy(QWidget* parent = nullptr);
    ~TFormProxy() override;

    void LoadProxy(const TProxy& proxy);
    // The choice as OK stores it: the automatic search keeps no server or port; the user name
    // and password stay for the fixed proxy, as with no proxy.
    TProxyChoice Choice() const;

    Ui::FormProxy* Controls() const { return FUi.get(); }

protected:
    void changeEvent(QEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void UpdateEdits();

    std::unique_ptr<Ui::FormProxy> FUi;
};

// Shows the dialog over the settings; true and the choice filled on OK.
bool EditProxyData(QWidget* owner, const TProxy& proxy, TProxyChoice& choice);
