#pragma once

// The row type of the main window's command table, for the files that add rows to it.

#include "app/ui/shell/TemplateMain.h"
#include "platform/ResString.h"
#include "support/ui/RActions.h"

#include <QKeyCombination>
#include <QStyle>

#include <vector>

class QToolButton;
class QWidget;

// Where a command shows in a menu. A menu lists its groups in ascending number, a separator
// between two groups; within a group the items keep the order of the table. An item may name the
// command in words of its own (the command's caption otherwise).
struct TTemplateMain::TMenuPlace {
    TCommandMenu Menu = TCommandMenu::None;
    int Group = 0;
    TResString Caption{nullptr, nullptr};
};

// One row per command. Adding a command is adding its row to its workflow's rows (and its id to
// TCommand); the registry, the menus and popups, the button and the translation all follow the
// table.
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
    std::vector<TMenuPlace> Menus = {}; // every menu and popup that shows the command
    TRun Execute = nullptr;
    TTest Update = nullptr;            // none: the busy rule alone decides
    TTest State = nullptr;             // set: an option toggle that shows this state
    TActionRegistry::TBusyRule Rule = TActionRegistry::TBusyRule::OnlyWhenIdle;
    // Set for a key that another page's command shares: the key then works only while the focus
    // is inside this widget. None: anywhere in the window.
    TScope ShortcutScope = nullptr;
    TButton Button = nullptr;          // a button that shows the command
    // The command's picture (on an icon button); SP_CustomBase: none.
    QStyle::StandardPixmap Icon = QStyle::SP_CustomBase;
};
