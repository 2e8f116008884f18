// The main window's command table, and the menus and buttons built from it.

#include "app/ui/DrawsPage.h"
#include "app/ui/TemplateMain.h"
#include "app/ui/UnitProxy.h"
#include "platform/ResString.h"
#include "support/ui/RActions.h"

#include "ui_FormMain.h"

#include <QAction>
#include <QKeyCombination>
#include <QMenu>
#include <QMenuBar>
#include <QToolButton>

// One row per command. Adding a command is adding its row here (and its id to TCommand); the
// registry, the menus, the button and the translation all follow the table.
struct TTemplateMain::TCommandRow {
    using TRun = void (*)(TTemplateMain&);
    using TTest = bool (*)(TTemplateMain&);
    using TScope = QWidget* (*)(TTemplateMain&);
    using TButton = QToolButton* (*)(TTemplateMain&);

    TCommand Id;
    const char* Name;                  // the QAction's objectName
    TResString Caption;                // plain: menus add their mnemonics when they show it
    TResString Hint{nullptr, nullptr}; // Text null: no hint
    QKeyCombination Shortcut = QKeyCombination::fromCombined(0);
    TCommandMenu Menu = TCommandMenu::None;
    bool GroupStart = false;           // a separator before the item in its menu
    TRun Execute = nullptr;
    TTest Update = nullptr;            // none: the busy rule alone decides
    TTest State = nullptr;             // set: an option toggle that shows this state
    TActionRegistry::TBusyRule Rule = TActionRegistry::TBusyRule::OnlyWhenIdle;
    // Set for a key that another page's command shares: the key then works only while the focus
    // is inside this widget. None: anywhere in the window.
    TScope ShortcutScope = nullptr;
    TButton Button = nullptr;          // a button that shows the command
};

const std::vector<TTemplateMain::TCommandRow>& TTemplateMain::CommandTable()
{
    static const std::vector<TCommandRow> rows = {
        {.Id = TCommand::EditProxy,
         .Name = "EditProxy",
         .Caption = RESSTR("TemplateMain", "Параметры proxy-сервера"),
         .Menu = TCommandMenu::File,
         .Execute =
             [](TTemplateMain& w) {
                 TProxyChoice choice;
                 if (EditProxyData(&w, w.FState.FProxy, choice))
                     w.FProxy.ApplyDialog(static_cast<TProxySettings::TMode>(choice.Mode), choice.Server,
                                          choice.Port, choice.UserName, choice.Password);
             }},
        {.Id = TCommand::ExitProgram,
         .Name = "ExitProgram",
         .Caption = RESSTR("TemplateMain", "Выход"),
         .Shortcut = Qt::ALT | Qt::Key_F4,
         .Menu = TCommandMenu::File,
         .GroupStart = true,
         .Execute = [](TTemplateMain& w) { w.close(); }},

        {.Id = TCommand::DrawsDownload,
         .Name = "DrawsDownload",
         .Caption = RESSTR("TemplateMain", "Загрузка"),
         .Hint = RESSTR("TemplateMain", "Загрузка архива тиражей с сайта лотереи"),
         .Shortcut = Qt::Key_F3,
         .Menu = TCommandMenu::Draws,
         .Execute = [](TTemplateMain& w) { w.FDownload.Execute(); },
         .Button = [](TTemplateMain& w) { return w.FUi->btnDrawsDownload; }},
        {.Id = TCommand::DrawsAdd,
         .Name = "DrawsAdd",
         .Caption = RESSTR("TemplateMain", "Добавить"),
         .Hint = RESSTR("TemplateMain", "Добавить данные тиража вручную"),
         .Menu = TCommandMenu::Draws,
         .GroupStart = true,
         .Execute = [](TTemplateMain& w) { w.FDrawsPage->DrawsAdd(); }},
        {.Id = TCommand::DrawsEdit,
         .Name = "DrawsEdit",
         .Caption = RESSTR("TemplateMain", "Изменить"),
         .Hint = RESSTR("TemplateMain", "Изменить данные тиража вручную"),
         .Menu = TCommandMenu::Draws,
         .Execute = [](TTemplateMain& w) { w.FDrawsPage->DrawsEdit(); },
         .Update = [](TTemplateMain& w) { return w.FDrawsPage->HasSelection(); }},
        {.Id = TCommand::DrawsDel,
         .Name = "DrawsDel",
         .Caption = RESSTR("TemplateMain", "Удалить"),
         .Hint = RESSTR("TemplateMain", "Удалить выделенные тиражи из списка"),
         .Menu = TCommandMenu::Draws,
         .Execute = [](TTemplateMain& w) { w.FDrawsPage->DrawsDel(); },
         .Update = [](TTemplateMain& w) { return w.FDrawsPage->HasSelection(); }},
        // Digits of a draw keep their positions in this game: the option is shown, never offered.
        {.Id = TCommand::DrawsSorted,
         .Name = "DrawsSorted",
         .Caption = RESSTR("TemplateMain", "Упорядочить MIN->MAX"),
         .Hint = RESSTR("TemplateMain", "Упорядочить числа внутри тиража от меньшего к большему"),
         .Menu = TCommandMenu::Draws,
         .GroupStart = true,
         .Execute = [](TTemplateMain& w) { w.FDrawsPage->DrawsSorted(); },
         .Update = [](TTemplateMain&) { return false; },
         .State = [](TTemplateMain& w) { return w.FState.Options.Flag(TMainOptions::SortedDraws); }},
    };
    return rows;
}

namespace {

QString HintText(const TResString& hint)
{
    return hint.Text ? LoadResString(hint) : QString();
}

} // namespace

QAction* TTemplateMain::Action(TCommand command) const
{
    return FActions->Action(command);
}

QMenu* TTemplateMain::Menu(TCommandMenu menu) const
{
    switch (menu) {
    case TCommandMenu::File:
        return FUi->menuFile;
    case TCommandMenu::Draws:
        return FUi->menuDraws;
    case TCommandMenu::None:
        break;
    }
    return nullptr;
}

void TTemplateMain::CreateActions()
{
    for (const TCommandRow& row : CommandTable()) {
        TActionRegistry::TCommandSpec spec;
        spec.Id = static_cast<int>(row.Id);
        spec.Name = QString::fromLatin1(row.Name);
        spec.Caption = LoadResString(row.Caption);
        spec.Hint = HintText(row.Hint);
        spec.Shortcut = QKeySequence(row.Shortcut);
        spec.ShortcutScope = row.ShortcutScope ? row.ShortcutScope(*this) : nullptr;
        if (row.Execute)
            spec.Execute = [this, run = row.Execute] { run(*this); };
        if (row.Update)
            spec.Update = [this, test = row.Update] { return test(*this); };
        if (row.State)
            spec.State = [this, state = row.State] { return state(*this); };
        spec.Rule = row.Rule;
        QAction* action = FActions->Add(std::move(spec));
        if (row.Button)
            row.Button(*this)->setDefaultAction(action);
    }
    // Keys without a scope work wherever the focus is in the window.
    FActions->SetWindow(this);
}

void TTemplateMain::TranslateActions()
{
    for (const TCommandRow& row : CommandTable())
        FActions->SetTexts(row.Id, LoadResString(row.Caption), HintText(row.Hint));
    // New captions, new letters.
    InstallMenuMnemonics(menuBar());
}

void TTemplateMain::BuildMenus()
{
    // A menu holds the commands of its rows, in the table's order.
    for (const TCommandRow& row : CommandTable()) {
        QMenu* menu = Menu(row.Menu);
        if (!menu)
            continue;
        if (row.GroupStart && !menu->isEmpty())
            menu->addSeparator();
        menu->addAction(Action(row.Id));
    }
    InstallMenuMnemonics(menuBar());
}
