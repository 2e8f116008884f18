#include "app/core/shell/HelpLinks.h"

#include "app/core/shell/MainState.h"
#include "app/core/archive/ResultsPage.h"
#include "engine/KelmaMsg.h"
#include "platform/DelphiText.h"
#include "platform/Exceptions.h"
#include "support/RSysUtils.h"

#include <QDir>
#include <QFileInfo>
#include <QStringList>

#include <array>

namespace {

// The project's pages. They are entries of the message table so that a language module can
// lead to pages in its language; the host is a reserved name that resolves nowhere until the
// pages are published.
constexpr std::array<TResString, 8> kLinkAddresses = {
    KELMA_MSG("https://tavrix.invalid/"),
    KELMA_MSG("https://tavrix.invalid/download/"),
    KELMA_MSG("https://tavrix.invalid/articles/"),
    KELMA_MSG("https://tavrix.invalid/blog/"),
    KELMA_MSG("https://tavrix.invalid/video/"),
    KELMA_MSG("https://tavrix.invalid/vk/"),
    KELMA_MSG("https://tavrix.invalid/ok/"),
    KELMA_MSG("https://tavrix.invalid/telegram/"),
};
constexpr TResString kContactMail = KELMA_MSG("support@tavrix.invalid");

} // namespace

QString HelpFileTitle(LCID lcid)
{
    return Format(QStringLiteral("Kelmar_%s.chm"), {GetLanguageAbbrev(lcid)});
}

QString FindHelpFile(const QString& programDir, const QString& title)
{
    const QString folder = QDir::cleanPath(programDir);
    QString parent = QFileInfo(folder).path();
    // The root folder has no parent: its own help folder stands in for it.
    if (parent.isEmpty() || folder == QLatin1String("/"))
        parent = folder;
    const auto join = [](const QString& dir, const QString& name) {
        return dir.endsWith(QLatin1Char('/')) ? dir + name : dir + QLatin1Char('/') + name;
    };
    const QStringList places = {join(folder, title), join(join(folder, QStringLiteral("help")), title),
                                join(join(parent, QStringLiteral("help")), title)};
    for (const QString& place : places)
        if (QFileInfo(place).isFile())
            return place;
    return places.last();
}

bool HelpFileExists(const QString& helpFile)
{
    return !helpFile.isEmpty() && QFileInfo(helpFile).isFile();
}

void OpenHelpFile(const QString& helpFile)
{
    // The reason alone ("no viewer") does not say what was to be opened: the sentence names the
    // file, as the links name their page.
    try {
        OpenDocument(helpFile);
    } catch (const std::exception& e) {
        throw Exception(HelpNotOpenedText(helpFile, ExceptionText(e)));
    }
}

QString LinkAddress(TLinkPage page)
{
    return LoadResString(kLinkAddresses.at(static_cast<size_t>(page)));
}

void OpenLinkPage(TLinkPage page)
{
    OpenUrl(LinkAddress(page));
}

QString ContactMail()
{
    return LoadResString(kContactMail);
}

void OpenContactMail()
{
    OpenMailTo(ContactMail());
}

QString OperatorGamePage()
{
    return OperatorSiteUrl() + QLatin1Char('/');
}

void OpenOperatorGamePage()
{
    const QString address = OperatorGamePage();
    if (!address.isEmpty())
        OpenUrl(address);
}

QString AboutVersionText(const QString& programVersion)
{
    const QStringList numbers = programVersion.split(QLatin1Char('.'));
    const QString product = numbers.size() > 2 ? numbers.mid(0, 2).join(QLatin1Char('.')) : programVersion;
    return Format(QStringLiteral("%s ( %s )"), {product, programVersion});
}

bool FirstRunDue(const TMainState& state)
{
    return state.Options.Flag(TMainOptions::FirstRun);
}

void DisableFirstRun(TMainState& state)
{
    state.WriteOption(TMainOptions::FirstRun, 0);
}
