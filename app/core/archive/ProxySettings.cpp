#include "app/core/archive/ProxySettings.h"

#include "engine/KelmaMsg.h"
#include "platform/DelphiText.h"
#include "platform/Exceptions.h"
#include "platform/IniFile.h"
#include "support/RDialogs.h"
#include "support/RStrUtils.h"
#include "support/RVclUtils.h"

#include <memory>

namespace {

const QString kSection = QString::fromLatin1(ProxySection);
const QString kMode = QStringLiteral("ProxyMode");
const QString kServer = QStringLiteral("ProxyServer");
const QString kPort = QStringLiteral("ProxyPort");
const QString kUserName = QStringLiteral("ProxyUsername");
const QString kPassword = QStringLiteral("ProxyPassword");

// What a host name can hold: letters and decimal digits of any script (a name of another
// alphabet is looked up in its ASCII form) with the marks those scripts write, '-', '.', the '_'
// that names of local networks hold, and the ':', '[' and ']' of an IPv6 address.
bool IsProxyHostChar(char32_t code)
{
    if (code < 0x80)
        return (code >= 'a' && code <= 'z') || (code >= 'A' && code <= 'Z') || (code >= '0' && code <= '9')
               || code == '-' || code == '.' || code == '_' || code == ':' || code == '[' || code == ']';
    switch (QChar::category(code)) {
    case QChar::Letter_Uppercase:
    case QChar::Letter_Lowercase:
    case QChar::Letter_Titlecase:
    case QChar::Letter_Modifier:
    case QChar::Letter_Other:
    case QChar::Mark_NonSpacing:
    case QChar::Mark_SpacingCombining:
    case QChar::Number_DecimalDigit:
        return true;
    default:
        return false;
    }
}

// "host:port" of the list site; false when the entry has no host, a host with a character no
// host name holds, or no valid port.
bool SplitProxyEntry(const QString& entry, QString& server, int& port)
{
    const qsizetype colon = entry.indexOf(QLatin1Char(':'));
    server = (colon < 0 ? entry : entry.left(colon)).trimmed();
    port = 0;
    if (colon < 0 || server.isEmpty() || ProxyHostText(server) != server)
        return false;
    return TryStrToInt(entry.mid(colon + 1).trimmed(), port) && port > 0 && port <= 65535;
}

} // namespace

QString ProxyHostText(const QString& text)
{
    QString host;
    host.reserve(text.size());
    for (qsizetype i = 0; i < text.size();) {
        // One code point: a letter beyond the first plane is a surrogate pair.
        const qsizetype width =
            text.at(i).isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate() ? 2 : 1;
        const char32_t code = width == 2 ? QChar::surrogateToUcs4(text.at(i), text.at(i + 1)) : text.at(i).unicode();
        if (IsProxyHostChar(code))
            host.append(QStringView(text).mid(i, width));
        i += width;
    }
    return host;
}

void TProxySettings::LoadProxySettings()
{
    TBusyScope busy(LoadResString(rsLoadingConfig));
    const auto read = [this](const TMemIniFile& ini) {
        TProxy& proxy = FState.FProxy;
        const QString server = ini.ReadString(kSection, kServer, QString());
        const int mode = ini.ReadInteger(kSection, kMode, server.isEmpty() ? ModeOff : ModeManual);
        proxy.Server = ProxyHostText(server);
        proxy.Port = ini.ReadInteger(kSection, kPort, 80);
        proxy.UserName = ini.ReadString(kSection, kUserName, QString());
        proxy.Password = ini.ReadString(kSection, kPassword, QString());
        proxy.Mode = static_cast<std::uint8_t>(mode);
        proxy.Loaded = true;
    };
    try {
        read(TMemIniFile(FState.IniFileName()));
    } catch (const std::exception& e) {
        // A file that cannot be read leaves what a fresh folder gives (no proxy, port 80), as
        // the engine's settings from the same file do; nothing is written back over it then.
        read(TMemIniFile(QString()));
        if (!FState.FConfigReadErrorTold)
            ErrorBox(Format(LoadResString(rsConfigReadError), {ExceptionText(e)}));
        FState.FConfigReadErrorTold = true;
    }
}

void TProxySettings::SaveProxySettings(bool showProgress)
{
    std::unique_ptr<TBusyScope> busy;
    if (showProgress)
        busy = std::make_unique<TBusyScope>(LoadResString(rsSavingConfig));
    try {
        TMemIniFile ini = TMemIniFile::ForRewrite(FState.IniFileName());
        TProxy& proxy = FState.FProxy;
        ini.WriteInteger(kSection, kMode, proxy.Mode);
        ini.WriteString(kSection, kServer, proxy.Server);
        ini.WriteInteger(kSection, kPort, proxy.Port);
        ini.WriteString(kSection, kUserName, proxy.UserName);
        ini.WriteString(kSection, kPassword, proxy.Password);
        ini.UpdateFile();
        // Only a written file holds these values; after a failed write the next window of a
        // download tries again.
        proxy.Loaded = true;
    } catch (const std::exception& e) {
        ErrorBox(Format(LoadResString(rsConfigWriteError), {ExceptionText(e)}));
    }
}

void TProxySettings::StoreFoundProxy()
{
    if (!FState.FProxy.Loaded)
        SaveProxySettings(false);
}

bool TProxySettings::ApplyProxy(const QString& address, int attempt, std::optional<THttpProxy>& proxy)
{
    TProxy& settings = FState.FProxy;
    bool usable = true;
    proxy.reset();
    if (settings.Mode == ModeAuto && settings.Server.isEmpty())
        usable = SelectPublicProxy(address);
    // The user name and password are the fixed proxy's: a public proxy never sees them.
    if (usable && settings.Mode == ModeAuto)
        proxy = THttpProxy{settings.Server, settings.Port, QString(), QString()};
    else if (usable && settings.Mode == ModeManual)
        proxy = THttpProxy{settings.Server, settings.Port, settings.UserName, settings.Password};

    if (settings.Mode != ModeOff && !settings.Server.isEmpty())
        ShowWaitText(Format(LoadResString(rsDownloadingDrawsDetail),
                            {Format(LoadResString(rsProxyAttempt),
                                    {attempt, QuotedExcerpt(settings.Server, QuotedHostMax), settings.Port})}));
    else
        ShowWaitText(LoadResString(rsDownloadingDraws));
    return usable;
}

bool TProxySettings::SelectPublicProxy(const QString& address)
{
    TProxy& settings = FState.FProxy;
    if (settings.FoundProxies.isEmpty() && !FindPublicProxy(address))
        return false;
    // An entry the list site wrote wrongly is dropped in favour of the next one.
    QString lastBad;
    while (!settings.FoundProxies.isEmpty()) {
        QString server;
        int port = 0;
        if (SplitProxyEntry(settings.FoundProxies.first(), server, port)) {
            // The fixed proxy's user name and password stay stored for when it is chosen again.
            settings.Server = server;
            settings.Port = port;
            settings.Loaded = false;
            return true;
        }
        lastBad = settings.FoundProxies.takeFirst();
    }
    ErrorBox(Format(LoadResString(rsProxyAutoSelectError), {lastBad}));
    return false;
}

bool TProxySettings::FindPublicProxy(const QString& address)
{
    ShowWaitText(Format(LoadResString(rsDownloadingDrawsDetail), {LoadResString(rsSearchingProxies)}));
    QStringList& list = FState.FProxy.FoundProxies;
    try {
        const int protocols = IsHttpsUrl(address) ? kProxyHttps : (kProxyHttp | kProxyHttps);
        FetchProxyList(list, protocols, 0, QString(), 0, SearchMinUptime, SearchMaxResponseMs, SearchWantedCount);
        if (list.isEmpty())
            throw Exception(LoadResString(rsNoProxyFound));
    } catch (const std::exception& e) {
        ErrorBox(Format(LoadResString(rsProxyListError), {ExceptionText(e)}));
        return false;
    }
    return true;
}

bool TProxySettings::DropFailedProxy()
{
    TProxy& settings = FState.FProxy;
    if (settings.Mode != ModeAuto)
        return false;
    settings.Server.clear();
    settings.Port = 0;
    settings.Loaded = false;
    if (settings.FoundProxies.isEmpty())
        return false;
    settings.FoundProxies.removeFirst();
    return !settings.FoundProxies.isEmpty();
}

void TProxySettings::ApplyDialog(TMode mode, const QString& server, int port, const QString& userName,
                                 const QString& password)
{
    TProxy& settings = FState.FProxy;
    settings.Server = ProxyHostText(server);
    settings.Port = port;
    settings.UserName = userName;
    settings.Password = password;
    settings.Loaded = false;
    if (mode == ModeManual) {
        settings.Mode = ModeManual;
    } else if (mode == ModeOff) {
        settings.Mode = ModeOff;
    } else {
        settings.Mode = ModeAuto;
        settings.Server.clear();
        settings.Port = 0;
    }
    SaveProxySettings(true);
}

void TProxySettings::ShowWaitText(const QString& text)
{
    if (OnWaitText)
        OnWaitText(text);
}
