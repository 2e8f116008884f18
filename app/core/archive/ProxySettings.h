#pragma once

#include "app/core/shell/MainState.h"
#include "support/rHttpUtils.h"

#include <QString>

#include <functional>
#include <optional>

// The proxy of the results download: the settings in section PROXY of the settings file, the
// proxy a request goes through, and the search for public proxies with its fall-back to the
// next found one. Works on the state's FProxy.
class TProxySettings {
public:
    explicit TProxySettings(TMainState& state) : FState(state) {}

    enum TMode : std::uint8_t { ModeOff = 0, ModeAuto = 1, ModeManual = 2 };

    // Reads the section; an error is shown in an error box and leaves the defaults of a file
    // without the section (no proxy, port 80).
    void LoadProxySettings();
    // Writes the section; errors are shown in an error box.
    void SaveProxySettings(bool showProgress);
    // After a window of the download: writes a proxy chosen automatically (or dropped).
    void StoreFoundProxy();

    // The proxy for a request to the address; attempt is the download's attempt counter shown
    // in the wait window. False when the automatic search found no proxy: then no request
    // should be made.
    bool ApplyProxy(const QString& address, int attempt, std::optional<THttpProxy>& proxy);
    bool SelectPublicProxy(const QString& address);
    bool FindPublicProxy(const QString& address);
    // After a failed request in the automatic mode: forgets the proxy in use and drops it from
    // the found list. True when another found proxy remains to be tried. The automatic mode
    // keeps the fixed proxy's user name and password stored, and never hands them to a proxy.
    bool DropFailedProxy();
    void FreeFoundProxies() { FState.FProxy.FoundProxies.clear(); }

    // The proxy dialog's OK: the choice and the four fields, then saved with progress.
    void ApplyDialog(TMode mode, const QString& server, int port, const QString& userName,
                     const QString& password);

    // Texts for the wait window ("Загрузка архива тиражей..." with the proxy in use).
    std::function<void(const QString& text)> OnWaitText;

    // What the public-proxy search asks the list site for.
    static constexpr int SearchMinUptime = 75;
    static constexpr int SearchMaxResponseMs = 10000;   // the site takes whole seconds: 10
    static constexpr int SearchWantedCount = 30;

private:
    void ShowWaitText(const QString& text);

    TMainState& FState;
};

// The characters of the text that a proxy's host name can hold, in their order: every host
// the settings file, the dialog or the list site gives is taken so. Controls, blanks and the
// characters that show nothing or turn the text round are none of them.
QString ProxyHostText(const QString& text);

// Section and keys of the settings file.
inline constexpr char ProxySection[] = "PROXY";
