#pragma once

#include "support/ui/RActions.h"

#include <QKeySequence>
#include <QString>

#include <functional>
#include <utility>

class QWidget;

// A command as the registry tests register it: a name, a caption, a key and where the key
// works, and what it does.
inline TActionRegistry::TCommandSpec TestCommand(const QString& name, const QString& caption,
                                                 const QKeySequence& key = {}, QWidget* scope = nullptr,
                                                 std::function<void()> run = {})
{
    TActionRegistry::TCommandSpec spec;
    spec.Name = name;
    spec.Caption = caption;
    spec.Shortcut = key;
    spec.ShortcutScope = scope;
    spec.Execute = std::move(run);
    return spec;
}
