#include "support/ui/RActions.h"

#include "platform/DelphiText.h"
#include "platform/ResString.h"
#include "support/RDialogs.h"
#include "support/RVclUtils.h"

#include <QAction>
#include <QPointer>
#include <QTimer>

#include <exception>

namespace {

const TResString SDuplicateAction = RESSTR("RActions", "Команда \"%s\" уже зарегистрирована!");

} // namespace

TActionRegistry::TActionRegistry(QObject* parent, int idleIntervalMs) : QObject(parent)
{
    FIdleTimer = new QTimer(this);
    FIdleTimer->setInterval(idleIntervalMs);
    connect(FIdleTimer, &QTimer::timeout, this, &TActionRegistry::UpdateAll);
    FIdleTimer->start();
    FWaitListener = AddWaitListener([this](int) { UpdateAll(); });
}

TActionRegistry::~TActionRegistry()
{
    RemoveWaitListener(FWaitListener);
}

QAction* TActionRegistry::Add(const QString& name, const QString& caption, TExecute execute,
                              TPredicate update, TBusyRule rule)
{
    auto entry = std::make_unique<TEntry>();
    entry->Name = name;
    entry->Run = std::move(execute);
    entry->Update = std::move(update);
    entry->Rule = rule;
    return Register(std::move(entry), caption);
}

QAction* TActionRegistry::AddToggle(const QString& name, const QString& caption, TPredicate state,
                                    TExecute execute, TPredicate update, TBusyRule rule)
{
    auto entry = std::make_unique<TEntry>();
    entry->Name = name;
    entry->Run = std::move(execute);
    entry->Update = std::move(update);
    entry->State = std::move(state);
    entry->Rule = rule;
    return Register(std::move(entry), caption);
}

QAction* TActionRegistry::Register(std::unique_ptr<TEntry> entry, const QString& caption)
{
    if (Find(entry->Name))
        throw Exception(Format(LoadResString(SDuplicateAction), {entry->Name}));
    auto* action = new QAction(caption, this);
    action->setObjectName(entry->Name);
    action->setCheckable(static_cast<bool>(entry->State));
    entry->Action = action;
    TEntry* raw = entry.get();
    FEntries.push_back(std::move(entry));
    connect(action, &QAction::triggered, this, [this, raw] { Run(*raw); });
    Refresh(*raw);
    return action;
}

TActionRegistry::TEntry* TActionRegistry::Find(const QString& name) const
{
    for (const auto& entry : FEntries)
        if (entry->Name == name)
            return entry.get();
    return nullptr;
}

QAction* TActionRegistry::Action(const QString& name) const
{
    const TEntry* entry = Find(name);
    return entry ? entry->Action : nullptr;
}

QList<QAction*> TActionRegistry::Actions() const
{
    QList<QAction*> result;
    for (const auto& entry : FEntries)
        result.append(entry->Action);
    return result;
}

bool TActionRegistry::Allowed(const TEntry& entry) const
{
    if (entry.Rule == TBusyRule::OnlyWhenIdle && !IsNotWaiting())
        return false;
    return !entry.Update || entry.Update();
}

void TActionRegistry::Refresh(TEntry& entry)
{
    entry.Action->setEnabled(Allowed(entry));
    if (entry.State)
        entry.Action->setChecked(entry.State());
}

void TActionRegistry::UpdateAll()
{
    for (const auto& entry : FEntries)
        Refresh(*entry);
}

bool TActionRegistry::CanExecute(const QString& name) const
{
    const TEntry* entry = Find(name);
    return entry && Allowed(*entry);
}

bool TActionRegistry::Execute(const QString& name)
{
    TEntry* entry = Find(name);
    return entry && Run(*entry);
}

bool TActionRegistry::Run(TEntry& entry)
{
    bool ran = false;
    const QPointer<TActionRegistry> alive(this);
    if (Allowed(entry)) {
        ran = true;
        // The handler runs inside the event loop: what it lets out is shown, as any failed
        // command is, and must not unwind through Qt.
        // A copy: the command may free the registry, and with it the handler it runs in.
        const TExecute run = entry.Run;
        try {
            if (run)
                run();
        } catch (const Exception& e) {
            ErrorBox(e.Message());
        } catch (const std::exception& e) {
            ErrorBox(ExceptionText(e));
        }
    }
    // A command may close the window that owns the registry.
    if (!alive)
        return ran;
    // A click on a toggle flips its check mark; the option decides what is shown.
    Refresh(entry);
    return ran;
}
