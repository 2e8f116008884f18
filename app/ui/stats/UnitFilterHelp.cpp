#include "app/ui/stats/UnitFilterHelp.h"

#include "app/core/stats/Favourites.h"
#include "app/ui/shell/ProgramEnv.h"
#include "engine/KelmaStatList.h"
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

} // namespace

TFormFilterHelp::TFormFilterHelp(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("FormFilterHelp"));
    setWindowTitle(LoadResString(SCaption));
    setSizeGripEnabled(true);
    setWindowFlag(Qt::WindowMaximizeButtonHint, true);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    FBrowser = new QTextBrowser(this);
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
