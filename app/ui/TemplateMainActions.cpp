// The main window's commands and menus.

#include "app/ui/DrawsPage.h"
#include "app/ui/TemplateMain.h"
#include "app/ui/UnitProxy.h"
#include "platform/ResString.h"
#include "support/ui/RActions.h"

#include "ui_FormMain.h"

#include <QAction>
#include <QMenu>
#include <QToolButton>

namespace {

const TResString SEditProxy = RESSTR("TemplateMain", "Параметры proxy-сервера");
const TResString SExitProgram = RESSTR("TemplateMain", "Выход");
const TResString SDrawsDownload = RESSTR("TemplateMain", "Загрузка");
const TResString SDrawsDownloadHint = RESSTR("TemplateMain", "Загрузка архива тиражей с сайта лотереи");
const TResString SDrawsAdd = RESSTR("TemplateMain", "Добавить");
const TResString SDrawsAddHint = RESSTR("TemplateMain", "Добавить данные тиража вручную");
const TResString SDrawsEdit = RESSTR("TemplateMain", "Изменить");
const TResString SDrawsEditHint = RESSTR("TemplateMain", "Изменить данные тиража вручную");
const TResString SDrawsDel = RESSTR("TemplateMain", "Удалить");
const TResString SDrawsDelHint = RESSTR("TemplateMain", "Удалить выделенные тиражи из списка");
const TResString SDrawsSorted = RESSTR("TemplateMain", "Упорядочить MIN->MAX");
const TResString SDrawsSortedHint = RESSTR("TemplateMain", "Упорядочить числа внутри тиража от меньшего к большему");

struct TActionText {
    const char* Name;
    const TResString* Caption;
    const TResString* Hint;   // none: the command has no hint
};

const TActionText kActionTexts[] = {
    {"EditProxy", &SEditProxy, nullptr},
    {"ExitProgram", &SExitProgram, nullptr},
    {"DrawsDownload", &SDrawsDownload, &SDrawsDownloadHint},
    {"DrawsAdd", &SDrawsAdd, &SDrawsAddHint},
    {"DrawsEdit", &SDrawsEdit, &SDrawsEditHint},
    {"DrawsDel", &SDrawsDel, &SDrawsDelHint},
    {"DrawsSorted", &SDrawsSorted, &SDrawsSortedHint},
};

} // namespace

void TTemplateMain::CreateActions()
{
    TActionRegistry& actions = *FActions;
    actions.Add(QStringLiteral("EditProxy"), QString(), [this] {
        TProxyChoice choice;
        if (EditProxyData(this, FState.FProxy, choice))
            FProxy.ApplyDialog(static_cast<TProxySettings::TMode>(choice.Mode), choice.Server, choice.Port,
                               choice.UserName, choice.Password);
    });
    actions.Add(QStringLiteral("ExitProgram"), QString(), [this] { close(); })
        ->setShortcut(QKeySequence(Qt::ALT | Qt::Key_F4));

    actions.Add(QStringLiteral("DrawsDownload"), QString(), [this] { FDownload.Execute(); })
        ->setShortcut(QKeySequence(Qt::Key_F3));
    actions.Add(QStringLiteral("DrawsAdd"), QString(), [this] { FDrawsPage->DrawsAdd(); });
    actions.Add(QStringLiteral("DrawsEdit"), QString(), [this] { FDrawsPage->DrawsEdit(); },
                [this] { return FDrawsPage->HasSelection(); });
    actions.Add(QStringLiteral("DrawsDel"), QString(), [this] { FDrawsPage->DrawsDel(); },
                [this] { return FDrawsPage->HasSelection(); });
    // Digits of a draw keep their positions in this game: the option is shown, never offered.
    actions.AddToggle(
        QStringLiteral("DrawsSorted"), QString(),
        [this] { return FState.Options.Flag(TMainOptions::SortedDraws); }, [this] { FDrawsPage->DrawsSorted(); },
        [] { return false; });

    TranslateActions();
    // Shortcuts work wherever the focus is in the window.
    addActions(actions.Actions());
    FUi->btnDrawsDownload->setDefaultAction(actions.Action(QStringLiteral("DrawsDownload")));
}

void TTemplateMain::TranslateActions()
{
    for (const TActionText& text : kActionTexts) {
        QAction* action = FActions->Action(QLatin1String(text.Name));
        if (!action)
            continue;
        action->setText(LoadResString(*text.Caption));
        const QString hint = text.Hint ? LoadResString(*text.Hint) : QString();
        action->setToolTip(hint);
        action->setStatusTip(hint);
    }
}

void TTemplateMain::BuildMenus()
{
    const auto action = [this](const char* name) { return FActions->Action(QLatin1String(name)); };
    // Commands join these menus as their workflows are built; a menu holds no command that
    // does not exist yet.
    QMenu* file = FUi->menuFile;
    file->addAction(action("EditProxy"));
    file->addSeparator();
    file->addAction(action("ExitProgram"));

    QMenu* draws = FUi->menuDraws;
    draws->addAction(action("DrawsDownload"));
    draws->addSeparator();
    draws->addAction(action("DrawsAdd"));
    draws->addAction(action("DrawsEdit"));
    draws->addAction(action("DrawsDel"));
    draws->addSeparator();
    draws->addAction(action("DrawsSorted"));
}
