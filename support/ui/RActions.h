#pragma once

#include <QKeySequence>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>

#include <functional>
#include <memory>
#include <type_traits>
#include <vector>

class QAction;
class QMenu;
class QMenuBar;
class QTimer;
class QWidget;

// Names a registered command: by its id (an int or a window's own enum of commands) or by its
// objectName.
class TCommandKey {
public:
    TCommandKey(int id) : FId(id) {}
    template <typename TEnum>
        requires std::is_enum_v<TEnum>
    TCommandKey(TEnum id) : FId(static_cast<int>(id))
    {
    }
    TCommandKey(const QString& name) : FName(name) {}
    TCommandKey(const char* name) : FName(QString::fromUtf8(name)) {}
    TCommandKey(QLatin1String name) : FName(name) {}

    bool ByName() const { return !FName.isNull(); }
    int Id() const { return FId; }
    const QString& Name() const { return FName; }
    // "#12" or the name, for messages.
    QString Text() const;

private:
    int FId = -1;
    QString FName;
};

// Every command of a window is a QAction kept here, with the handler that runs it and the
// predicate that says whether it may run now. All predicates are evaluated together: at once
// when the busy counter changes, and on a short idle timer for everything else (a selection,
// a loaded file), so a menu item or button never offers a command that cannot run.
//
// A command whose predicate is false, or which runs under the busy rule while a long operation
// is going on, does not start even when its QAction is triggered (the state shown may be a
// tick old). An exception that a handler lets out is shown in an error box.
//
// Asking for a command that is not registered (by id or by name) is a programming error: the
// program stops at once with a message naming it, rather than hand a null action to a menu.
//
// Shortcuts: a command's key works anywhere in the window set with SetWindow, unless the command
// has a shortcut scope; then it works only while the focus is inside that widget. Two commands
// may share a key when both have scopes and neither scope holds the other: the key then runs the
// command of the page or list that has the focus. One command without a scope may share such a
// key too: it runs wherever the focus is outside those scopes. Any other clash is refused when
// the second command is registered. A shared key is set (as the QAction's shortcut, which is what
// Qt dispatches) only on the action of the command it runs where the focus is now, so that a
// key press is never ambiguous. What a menu shows is another matter: every item of a command
// shows the command's key always, whichever command the key runs at the moment (see
// AssignMenuMnemonics). A key with Return also answers to the keypad's Enter.
class TActionRegistry : public QObject {
    Q_OBJECT

public:
    using TExecute = std::function<void()>;
    using TPredicate = std::function<bool()>;

    // How a command relates to the busy state.
    enum class TBusyRule {
        OnlyWhenIdle,   // enabled only while no long operation runs (nearly every command)
        Always,         // no busy condition (stop commands, graph options)
    };

    static constexpr int NoId = -1;

    // Everything a command is registered with.
    struct TCommandSpec {
        int Id = NoId;             // NoId: reached by name only
        QString Name;              // the QAction's objectName; unique
        QString Caption;           // the plain caption (no mnemonic)
        QString Hint;              // tool tip and status tip; may be empty
        QKeySequence Shortcut;
        QWidget* ShortcutScope = nullptr;
        TExecute Execute;
        TPredicate Update;         // empty: the busy rule alone decides
        TPredicate State;          // set: a checkable option toggle that shows this state
        TBusyRule Rule = TBusyRule::OnlyWhenIdle;
    };

    explicit TActionRegistry(QObject* parent = nullptr, int idleIntervalMs = 200);
    ~TActionRegistry() override;

    // Registers a command. Raises Exception for a name or id that is already registered and
    // for a shortcut that clashes with another command's (see above).
    QAction* Add(TCommandSpec spec);
    // Shorthands for a command known by name only.
    QAction* Add(const QString& name, const QString& caption, TExecute execute,
                 TPredicate update = {}, TBusyRule rule = TBusyRule::OnlyWhenIdle);
    // An option toggle: a checkable QAction whose check mark always shows what state() says,
    // whatever the user clicked; execute changes the option.
    QAction* AddToggle(const QString& name, const QString& caption, TPredicate state,
                       TExecute execute, TPredicate update = {},
                       TBusyRule rule = TBusyRule::OnlyWhenIdle);

    // The window whose shortcuts these are: every command without a scope is added to it, also
    // those registered later.
    void SetWindow(QWidget* window);

    // A further menu item for a command, under a caption of its own (a command that a second
    // menu names in other words). It is enabled and checked as the command is and runs it; it
    // has the command's objectName and hint, and shows the command's key in its menu, but holds
    // no shortcut: the key stays with the command's action, so that it is never ambiguous.
    // Owned by parent.
    QAction* AddMenuItem(const TCommandKey& key, const QString& caption, QObject* parent);

    // The command's action; stops the program when it is not registered.
    QAction* Action(const TCommandKey& key) const;
    bool Contains(const TCommandKey& key) const;
    QList<QAction*> Actions() const;
    // The plain caption, as registered or last set by SetTexts.
    QString Caption(const TCommandKey& key) const;
    // The command's key as registered; its action holds it only where the key runs it.
    QKeySequence Key(const TCommandKey& key) const;
    // New caption and hint (the interface language changed). Mnemonics of menus are chosen
    // again by whoever owns the menus (AssignMenuMnemonics).
    void SetTexts(const TCommandKey& key, const QString& caption, const QString& hint);

    // True when the command may start now (its rule and its predicate hold).
    bool CanExecute(const TCommandKey& key) const;
    // Runs the command when it may start now; false when it did not run (disabled).
    bool Execute(const TCommandKey& key);

    // Evaluates every predicate and sets the enabled and checked states.
    void UpdateAll();

private:
    struct TEntry {
        int Id = NoId;
        QString Name;
        QString Caption;
        QWidget* Scope = nullptr;
        QKeySequence Key;
        QAction* Action = nullptr;
        TExecute Run;
        TPredicate Update;
        TPredicate State;   // toggles only
        TBusyRule Rule = TBusyRule::OnlyWhenIdle;
        std::vector<QPointer<QAction>> Items;   // AddMenuItem's items
    };

    TEntry* Find(const TCommandKey& key) const;
    // Find, or stop the program.
    TEntry& Get(const TCommandKey& key) const;
    void CheckShortcut(const TCommandSpec& spec) const;
    bool Allowed(const TEntry& entry) const;
    void Refresh(TEntry& entry);
    // Caption, hint and shown key of the command's action.
    static void ShowTexts(QAction* action, const QString& caption, const QString& hint, const QKeySequence& key);
    bool Run(TEntry& entry);
    // Sets each shared key on the one action it runs with the focus where it is: a window-wide
    // key is off while the focus is in a scope that shares it, a scoped one is off outside its
    // scope.
    void FollowFocus(const QWidget* focus);
    bool KeyShared(const TEntry& entry) const;

    std::vector<std::unique_ptr<TEntry>> FEntries;
    QWidget* FWindow = nullptr;
    QTimer* FIdleTimer = nullptr;
    int FWaitListener = 0;
};

// ---------------------------------------------------------------------------------------------
// Menu mnemonics. Every item of a menu gets an underlined letter (Alt+letter on the menu bar,
// the letter alone inside an open menu), unique within its menu as far as the captions allow:
// the first letter of the first word when free, else the first letter of a later word, else any
// free letter or digit of the caption; an item whose letters are all taken gets none. Only the
// text shown by the QAction carries the '&' (a literal '&' of the caption is doubled); the
// caption itself, which the program compares and stores, stays as it was: PlainText gives it.
// The same text shows the item's key after a tab, in the names MenuKeyText gives: the key its
// command was registered with (whether or not the key runs it where the focus is now), or else
// the action's own shortcut.

// Chooses the mnemonics of the actions of one menu or menu bar (submenu titles included). Run
// again after the captions change (a language switch); a caption that did not change keeps its
// letter as long as its neighbours do.
void AssignMenuMnemonics(QWidget* menuOrBar);
// Assigns them on the menu bar and in all its menus now, and again in each menu each time it
// opens, so that items added later (lists filled at start-up) get theirs.
void InstallMenuMnemonics(QMenuBar* bar);
// The same for a popup menu: its letters and keys are chosen again each time it opens (its
// actions may be shared with a menu bar that names them apart).
void InstallMenuMnemonics(QMenu* popup);
// The caption of an action without its mnemonic and without the key its menu shows.
QString PlainText(const QAction* action);
// A key as the menus show it: the modifiers as the keyboard labels them and the keys the
// interface language has words for in those words ("Ctrl+Вверх", "Ctrl+Ввод", "Ctrl+Del", "F7").
QString MenuKeyText(const QKeySequence& key);
// The letter a text underlines (the one after a single '&'); a null QChar when none.
QChar MnemonicOf(const QString& text);
