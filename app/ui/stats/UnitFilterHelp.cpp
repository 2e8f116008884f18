#include "app/ui/stats/UnitFilterHelp.h"

#include "app/core/stats/Favourites.h"
#include "app/ui/shell/ProgramEnv.h"
#include "engine/KelmaStatList.h"
#include "platform/ReadFile.h"
#include "platform/ResString.h"
#include "support/ui/RFrmStorage.h"

#include <QFileInfo>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

#include <exception>

namespace {

const TResString SCaption = RESSTR("UnitFilterHelp", "Описание методики расчета");
const TResString SNotInstalled = RESSTR("UnitFilterHelp", "Справочная система не установлена.");

// The largest help page or picture shown: pages of a few KiB, pictures of some tens.
constexpr qint64 MaxHelpResourceBytes = 16 * 1024 * 1024;

// A text browser that reads the pages and pictures of the help as every file is read: a pipe
// or a device put in place of a linked page or a picture would otherwise hold the window or
// fill the memory. Only files of the help's folders are read, nothing from elsewhere.
class THelpBrowser : public QTextBrowser {
public:
    using QTextBrowser::QTextBrowser;

    QVariant loadResource(int /*type*/, const QUrl& name) override
    {
        // A name of the page is taken from the page's own folder, as the browser takes it.
        const QUrl base = source().isEmpty() ? QUrl::fromLocalFile(searchPaths().value(0) + QLatin1Char('/')) : source();
        const QUrl url = name.isRelative() ? base.resolved(name) : name;
        // Empty bytes, not nothing: given nothing, the document would open the file itself.
        if (!url.isLocalFile())
            return QByteArray();
        try {
            return ReadRegularFile(url.toLocalFile(), MaxHelpResourceBytes);
        } catch (const EFileReadError&) {
            return QByteArray();   // shown as a missing page or picture
        }
    }
};

} // namespace

TFormFilterHelp::TFormFilterHelp(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("FormFilterHelp"));
    setWindowTitle(LoadResString(SCaption));
    setSizeGripEnabled(true);
    setWindowFlag(Qt::WindowMaximizeButtonHint, true);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    FBrowser = new THelpBrowser(this);
    FBrowser->setObjectName(QStringLiteral("wbHelp"));
    // Links between the help pages are followed inside the window; nothing is sent elsewhere.
    FBrowser->setOpenLinks(true);
    FBrowser->setOpenExternalLinks(false);
    layout->addWidget(FBrowser);
    resize(640, 480);
    try {
        RestoreFormPlacement(this, true, true);
    } catch (const std::exception&) {
    }
}

TFormFilterHelp::~TFormFilterHelp()
{
    try {
        SaveFormPlacement(this);
    } catch (const std::exception&) {
    }
}

bool TFormFilterHelp::Navigate(const QString& helpUrl)
{
    const QString page = MethodHelpPageFile(helpUrl);
    if (page.isEmpty()) {
        FBrowser->clear();
        FBrowser->setPlainText(LoadResString(SNotInstalled));
        return false;
    }
    FBrowser->setSearchPaths({QFileInfo(page).absolutePath()});
    FBrowser->setSource(QUrl::fromLocalFile(page));
    return true;
}

void ShowFilterHelp(const TStatMethod& method, QWidget* owner)
{
    TFormFilterHelp form(owner);
    form.Navigate(method.HelpUrl());
    ExecModalForm(form);
}
