#include "support/ui/RActions.h"

#include "platform/DelphiText.h"
#include "platform/ResString.h"
#include "support/RDialogs.h"
#include "support/RVclUtils.h"

#include <QAction>
#include <QApplication>
#include <QKeyCombination>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QSet>
#include <QStringList>
#include <QTimer>
#include <QWidget>

#include <algorithm>
#include <exception>
#include <utility>

namespace {

const TResString SDuplicateAction = RESSTR("RActions", "Команда \"%s\" уже зарегистрирована!");
const TResString SShortcutTaken = RESSTR("RActions", "Клавиша %s команды \"%s\" уже назначена команде \"%s\"!");

// What AssignMenuMnemonics keeps on an action: the caption it decorated and the text it set.
constexpr char kPlainProperty[] = "tavrixPlainText";
constexpr char kShownProperty[] = "tavrixShownText";
// Set on a menu once its aboutToShow is connected.
constexpr char kHookedProperty[] = "tavrixMnemonicsHooked";
// The key a command's menu items show: the one it was registered with, also while the focus
// leaves it to another command.
constexpr char kMenuKeyProperty[] = "tavrixMenuKey";

// Names of the keys that the interface language has words for; the others are shown as their
// labels ("Del", "Ins", "F7").
const TResString SKeyUp = RESSTR("RActions", "Вверх");
const TResString SKeyDown = RESSTR("RActions", "Вниз");
const TResString SKeyLeft = RESSTR("RActions", "Влево");
const TResString SKeyRight = RESSTR("RActions", "Вправо");
const TResString SKeyEnter = RESSTR("RActions", "Ввод");
const TResString SKeySpace = RESSTR("RActions", "Пробел");

bool ScopesOverlap(const QWidget* a, const QWidget* b)
{
    return a == b || a->isAncestorOf(b) || b->isAncestorOf(a);
}

// The two Enter keys are one key to the player: the main keyboard's (Return) and the keypad's.
QKeySequence SameEnter(const QKeySequence& key)
{
    if (key.count() != 1 || key[0].key() != Qt::Key_Enter)
        return key;
    return QKeySequence(QKeyCombination(key[0].keyboardModifiers(), Qt::Key_Return));
}

bool SameKey(const QKeySequence& a, const QKeySequence& b)
{
    return SameEnter(a) == SameEnter(b);
}

// What the action's shortcuts hold for a command's key: with Return, the keypad's Enter too.
QList<QKeySequence> DispatchedKeys(const QKeySequence& key)
{
    if (key.isEmpty())
        return {};
    const QKeySequence main = SameEnter(key);
    if (main.count() == 1 && main[0].key() == Qt::Key_Return)
        return {main, QKeySequence(QKeyCombination(main[0].keyboardModifiers(), Qt::Key_Enter))};
    return {main};
}

} // namespace

QString TCommandKey::Text() const
{
    return ByName() ? FName : QStringLiteral("#%1").arg(FId);
}

TActionRegistry::TActionRegistry(QObject* parent, int idleIntervalMs) : QObject(parent)
{
    FIdleTimer = new QTimer(this);
    FIdleTimer->setInterval(idleIntervalMs);
    connect(FIdleTimer, &QTimer::timeout, this, &TActionRegistry::UpdateAll);
    FIdleTimer->start();
    FWaitListener = AddWaitListener([this](int) { UpdateAll(); });
    if (auto* app = qobject_cast<QApplication*>(QCoreApplication::instance()))
        connect(app, &QApplication::focusChanged, this, [this](QWidget*, QWidget* now) { FollowFocus(now); });
}

TActionRegistry::~TActionRegistry()
{
    RemoveWaitListener(FWaitListener);
}

QAction* TActionRegistry::Add(const QString& name, const QString& caption, TExecute execute,
                              TPredicate update, TBusyRule rule)
{
    TCommandSpec spec;
    spec.Name = name;
    spec.Caption = caption;
    spec.Execute = std::move(execute);
    spec.Update = std::move(update);
    spec.Rule = rule;
    return Add(std::move(spec));
}

QAction* TActionRegistry::AddToggle(const QString& name, const QString& caption, TPredicate state,
                                    TExecute execute, TPredicate update, TBusyRule rule)
{
    TCommandSpec spec;
    spec.Name = name;
    spec.Caption = caption;
    spec.Execute = std::move(execute);
    spec.Update = std::move(update);
    spec.State = std::move(state);
    spec.Rule = rule;
    return Add(std::move(spec));
}

void TActionRegistry::CheckShortcut(const TCommandSpec& spec) const
{
    if (spec.Shortcut.isEmpty())
        return;
    const auto windowWide = [&] {
        return std::any_of(FEntries.begin(), FEntries.end(),
                           [&](const auto& entry) { return SameKey(entry->Key, spec.Shortcut) && !entry->Scope; });
    };
    for (const auto& entry : FEntries) {
        if (!SameKey(entry->Key, spec.Shortcut))
            continue;
        // Two scoped commands on separate pages: the focus tells which one the key runs.
        if (spec.ShortcutScope && entry->Scope && !ScopesOverlap(spec.ShortcutScope, entry->Scope))
            continue;
        // One command of the whole window beside them: it takes the key outside their scopes.
        if (spec.ShortcutScope && !entry->Scope)
            continue;
        if (!spec.ShortcutScope && entry->Scope && !windowWide())
            continue;
        throw Exception(Format(LoadResString(SShortcutTaken),
                               {spec.Shortcut.toString(QKeySequence::PortableText), spec.Name, entry->Name}));
    }
}

QAction* TActionRegistry::Add(TCommandSpec spec)
{
    if (Find(spec.Name) || (spec.Id != NoId && Find(spec.Id)))
        throw Exception(Format(LoadResString(SDuplicateAction), {spec.Name}));
    CheckShortcut(spec);

    auto entry = std::make_unique<TEntry>();
    entry->Id = spec.Id;
    entry->Name = spec.Name;
    entry->Caption = spec.Caption;
    entry->Scope = spec.ShortcutScope;
    entry->Key = spec.Shortcut;
    entry->Run = std::move(spec.Execute);
    entry->Update = std::move(spec.Update);
    entry->State = std::move(spec.State);
    entry->Rule = spec.Rule;

    auto* action = new QAction(this);
    action->setObjectName(spec.Name);
    action->setCheckable(static_cast<bool>(entry->State));
    ShowTexts(action, spec.Caption, spec.Hint, spec.Shortcut);
    action->setShortcuts(DispatchedKeys(spec.Shortcut));
    if (entry->Scope) {
        // Live only while the focus is inside the scope; the menus that show the action do not
        // widen that (Qt matches a menu's action through the menu bar, which never has focus).
        action->setShortcutContext(Qt::WidgetWithChildrenShortcut);
        entry->Scope->addAction(action);
    } else if (FWindow) {
        FWindow->addAction(action);
    }
    entry->Action = action;
    TEntry* raw = entry.get();
    FEntries.push_back(std::move(entry));
    connect(action, &QAction::triggered, this, [this, raw] { Run(*raw); });
    Refresh(*raw);
    FollowFocus(QApplication::focusWidget());
    return action;
}

bool TActionRegistry::KeyShared(const TEntry& entry) const
{
    return std::any_of(FEntries.begin(), FEntries.end(),
                       [&](const auto& other) { return other.get() != &entry && SameKey(other->Key, entry.Key); });
}

void TActionRegistry::FollowFocus(const QWidget* focus)
{
    const auto holdsFocus = [focus](const QWidget* scope) {
        return focus && (scope == focus || scope->isAncestorOf(focus));
    };
    for (const auto& entry : FEntries) {
        if (entry->Key.isEmpty())
            continue;
        bool live = true;
        if (entry->Scope) {
            // Outside its scope the key runs another command (or none): the menus show it there.
            live = holdsFocus(entry->Scope) || !KeyShared(*entry);
        } else {
            live = std::none_of(FEntries.begin(), FEntries.end(), [&](const auto& scoped) {
                return scoped->Scope && SameKey(scoped->Key, entry->Key) && holdsFocus(scoped->Scope);
            });
        }
        const QList<QKeySequence> keys = live ? DispatchedKeys(entry->Key) : QList<QKeySequence>();
        if (entry->Action->shortcuts() != keys)
            entry->Action->setShortcuts(keys);
    }
}

void TActionRegistry::SetWindow(QWidget* window)
{
    FWindow = window;
    if (!FWindow)
        return;
    for (const auto& entry : FEntries)
        if (!entry->Scope)
            FWindow->addAction(entry->Action);
}

QAction* TActionRegistry::AddMenuItem(const TCommandKey& key, const QString& caption, QObject* parent)
{
    TEntry& entry = Get(key);
    auto* item = new QAction(parent);
    item->setObjectName(entry.Name);
    item->setCheckable(entry.Action->isCheckable());
    ShowTexts(item, caption, entry.Action->statusTip(), entry.Key);
    entry.Items.emplace_back(item);
    TEntry* raw = &entry;
    connect(item, &QAction::triggered, this, [this, raw] { Run(*raw); });
    Refresh(entry);
    return item;
}

TActionRegistry::TEntry* TActionRegistry::Find(const TCommandKey& key) const
{
    for (const auto& entry : FEntries)
        if (key.ByName() ? entry->Name == key.Name() : (key.Id() != NoId && entry->Id == key.Id()))
            return entry.get();
    return nullptr;
}

TActionRegistry::TEntry& TActionRegistry::Get(const TCommandKey& key) const
{
    TEntry* entry = Find(key);
    if (!entry)
        qFatal("TActionRegistry: command %s is not registered", qUtf8Printable(key.Text()));
    return *entry;
}

QAction* TActionRegistry::Action(const TCommandKey& key) const
{
    return Get(key).Action;
}

bool TActionRegistry::Contains(const TCommandKey& key) const
{
    return Find(key) != nullptr;
}

QList<QAction*> TActionRegistry::Actions() const
{
    QList<QAction*> result;
    for (const auto& entry : FEntries)
        result.append(entry->Action);
    return result;
}

QString TActionRegistry::Caption(const TCommandKey& key) const
{
    return Get(key).Caption;
}

QKeySequence TActionRegistry::Key(const TCommandKey& key) const
{
    return Get(key).Key;
}

void TActionRegistry::SetTexts(const TCommandKey& key, const QString& caption, const QString& hint)
{
    TEntry& entry = Get(key);
    entry.Caption = caption;
    ShowTexts(entry.Action, caption, hint, entry.Key);
    for (const QPointer<QAction>& item : entry.Items) {
        if (item) {
            item->setToolTip(hint.isEmpty() ? PlainText(item) : hint);
            item->setStatusTip(hint);
        }
    }
}

void TActionRegistry::ShowTexts(QAction* action, const QString& caption, const QString& hint, const QKeySequence& key)
{
    action->setText(caption);
    // The menus add a mnemonic and the key to the text; a button and a tip show the caption alone.
    action->setIconText(caption);
    action->setToolTip(hint.isEmpty() ? caption : hint);
    action->setStatusTip(hint);
    action->setProperty(kMenuKeyProperty, key.isEmpty() ? QVariant() : QVariant::fromValue(SameEnter(key)));
}

bool TActionRegistry::Allowed(const TEntry& entry) const
{
    if (entry.Rule == TBusyRule::OnlyWhenIdle && !IsNotWaiting())
        return false;
    return !entry.Update || entry.Update();
}

void TActionRegistry::Refresh(TEntry& entry)
{
    const bool allowed = Allowed(entry);
    const bool checked = entry.State && entry.State();
    entry.Action->setEnabled(allowed);
    if (entry.State)
        entry.Action->setChecked(checked);
    for (const QPointer<QAction>& item : entry.Items) {
        if (!item)
            continue;
        item->setEnabled(allowed);
        if (entry.State)
            item->setChecked(checked);
    }
}

void TActionRegistry::UpdateAll()
{
    for (const auto& entry : FEntries)
        Refresh(*entry);
}

bool TActionRegistry::CanExecute(const TCommandKey& key) const
{
    return Allowed(Get(key));
}

bool TActionRegistry::Execute(const TCommandKey& key)
{
    return Run(Get(key));
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

// ---------------------------------------------------------------------------------------------
// Menu mnemonics.

namespace {

QChar Folded(QChar ch)
{
    return ch.toLower();
}

// Where the mnemonic of a caption goes, given the letters already taken in its menu; -1 when
// every letter of it is taken.
qsizetype ChooseMnemonic(const QString& caption, const QSet<QChar>& used)
{
    const auto free = [&](qsizetype i) { return caption[i].isLetterOrNumber() && !used.contains(Folded(caption[i])); };
    QList<qsizetype> wordStarts;
    for (qsizetype i = 0; i < caption.size(); ++i)
        if (caption[i].isLetterOrNumber() && (i == 0 || !caption[i - 1].isLetterOrNumber()))
            wordStarts.append(i);
    for (const qsizetype i : wordStarts)
        if (free(i))
            return i;
    for (qsizetype i = 0; i < caption.size(); ++i)
        if (free(i))
            return i;
    return -1;
}

QString Decorate(const QString& caption, qsizetype at)
{
    QString shown;
    shown.reserve(caption.size() + 2);
    for (qsizetype i = 0; i < caption.size(); ++i) {
        if (i == at || caption[i] == QLatin1Char('&'))
            shown += QLatin1Char('&');
        shown += caption[i];
    }
    return shown;
}

void WalkMenus(QWidget* menuOrBar);

// Connects the menu's aboutToShow once: the menu gets its letters again each time it opens.
void HookMenu(QMenu* menu)
{
    if (menu->property(kHookedProperty).toBool())
        return;
    menu->setProperty(kHookedProperty, true);
    QObject::connect(menu, &QMenu::aboutToShow, menu, [menu] { WalkMenus(menu); });
}

// The letters of this menu or bar and of every submenu under it.
void WalkMenus(QWidget* menuOrBar)
{
    AssignMenuMnemonics(menuOrBar);
    for (QAction* action : menuOrBar->actions()) {
        if (QMenu* submenu = action->menu<QMenu*>()) {
            HookMenu(submenu);
            WalkMenus(submenu);
        }
    }
}

// The key an item shows after a tab; empty when it has none.
QString ShownKey(const QAction* action)
{
    const QVariant registered = action->property(kMenuKeyProperty);
    const QKeySequence key = registered.isValid() ? registered.value<QKeySequence>() : action->shortcut();
    return key.isEmpty() ? QString() : QLatin1Char('\t') + MenuKeyText(key);
}

QString KeyName(Qt::Key key)
{
    switch (key) {
    case Qt::Key_Up:
        return LoadResString(SKeyUp);
    case Qt::Key_Down:
        return LoadResString(SKeyDown);
    case Qt::Key_Left:
        return LoadResString(SKeyLeft);
    case Qt::Key_Right:
        return LoadResString(SKeyRight);
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return LoadResString(SKeyEnter);
    case Qt::Key_Space:
        return LoadResString(SKeySpace);
    default:
        return QKeySequence(key).toString(QKeySequence::PortableText);
    }
}

} // namespace

QString MenuKeyText(const QKeySequence& key)
{
    QStringList chords;
    for (int i = 0; i < key.count(); ++i) {
        const Qt::KeyboardModifiers modifiers = key[i].keyboardModifiers();
        QString text;
        // In the order the keyboard's own labels are read out.
        const std::pair<Qt::KeyboardModifier, const char*> names[] = {{Qt::ControlModifier, "Ctrl+"},
                                                                      {Qt::AltModifier, "Alt+"},
                                                                      {Qt::ShiftModifier, "Shift+"},
                                                                      {Qt::MetaModifier, "Meta+"}};
        for (const auto& [modifier, name] : names)
            if (modifiers.testFlag(modifier))
                text += QLatin1String(name);
        chords.append(text + KeyName(key[i].key()));
    }
    return chords.join(QLatin1String(", "));
}

QString PlainText(const QAction* action)
{
    const QVariant shown = action->property(kShownProperty);
    if (shown.isValid() && shown.toString() == action->text())
        return action->property(kPlainProperty).toString();
    // Set by someone else since: a new caption (a key after a tab is not part of it).
    const QString text = action->text();
    const qsizetype tab = text.indexOf(QLatin1Char('\t'));
    return tab < 0 ? text : text.left(tab);
}

QChar MnemonicOf(const QString& text)
{
    for (qsizetype i = 0; i + 1 < text.size(); ++i) {
        if (text[i] != QLatin1Char('&'))
            continue;
        if (text[i + 1] != QLatin1Char('&'))
            return text[i + 1];
        ++i;   // "&&" is a literal '&'
    }
    return QChar();
}

void AssignMenuMnemonics(QWidget* menuOrBar)
{
    QSet<QChar> used;
    for (QAction* action : menuOrBar->actions()) {
        if (action->isSeparator())
            continue;
        const QString plain = PlainText(action);
        const qsizetype at = ChooseMnemonic(plain, used);
        if (at >= 0)
            used.insert(Folded(plain[at]));
        const QString shown = Decorate(plain, at) + ShownKey(action);
        // The caption is kept before the text changes: whoever listens to the change may ask.
        action->setProperty(kPlainProperty, plain);
        action->setProperty(kShownProperty, shown);
        if (action->text() != shown)
            action->setText(shown);
    }
}

void InstallMenuMnemonics(QMenuBar* bar)
{
    WalkMenus(bar);
}

void InstallMenuMnemonics(QMenu* popup)
{
    HookMenu(popup);
}
