#pragma once

#include <QList>
#include <QObject>
#include <QString>

#include <functional>
#include <memory>
#include <vector>

class QAction;
class QTimer;

// Every command of a window is a QAction kept here, with the handler that runs it and the
// predicate that says whether it may run now. All predicates are evaluated together: at once
// when the busy counter changes, and on a short idle timer for everything else (a selection,
// a loaded file), so a menu item or button never offers a command that cannot run.
//
// A command whose predicate is false, or which runs under the busy rule while a long operation
// is going on, does not start even when its QAction is triggered (the state shown may be a
// tick old). An exception that a handler lets out is shown in an error box.
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

    explicit TActionRegistry(QObject* parent = nullptr, int idleIntervalMs = 200);
    ~TActionRegistry() override;

    // Registers a command. The QAction's objectName is the name; update may be empty (the
    // command then depends on the busy rule alone). Raises Exception for a name that is
    // already registered.
    QAction* Add(const QString& name, const QString& caption, TExecute execute,
                 TPredicate update = {}, TBusyRule rule = TBusyRule::OnlyWhenIdle);
    // Registers an option toggle: a checkable QAction whose check mark always shows what
    // state() says, whatever the user clicked; execute changes the option.
    QAction* AddToggle(const QString& name, const QString& caption, TPredicate state,
                       TExecute execute, TPredicate update = {},
                       TBusyRule rule = TBusyRule::OnlyWhenIdle);

    QAction* Action(const QString& name) const;
    QList<QAction*> Actions() const;

    // True when the command may start now (its rule and its predicate hold).
    bool CanExecute(const QString& name) const;
    // Runs the command when it may start now; false when it did not run (unknown or disabled).
    bool Execute(const QString& name);

    // Evaluates every predicate and sets the enabled and checked states.
    void UpdateAll();

private:
    struct TEntry {
        QString Name;
        QAction* Action = nullptr;
        TExecute Run;
        TPredicate Update;
        TPredicate State;   // toggles only
        TBusyRule Rule = TBusyRule::OnlyWhenIdle;
    };

    TEntry* Find(const QString& name) const;
    QAction* Register(std::unique_ptr<TEntry> entry, const QString& caption);
    bool Allowed(const TEntry& entry) const;
    void Refresh(TEntry& entry);
    bool Run(TEntry& entry);

    std::vector<std::unique_ptr<TEntry>> FEntries;
    QTimer* FIdleTimer = nullptr;
    int FWaitListener = 0;
};
