#include "app/ui/shell/LanguageMenu.h"

#include "app/core/shell/Languages.h"
#include "platform/ScopeGuard.h"
#include "support/ui/RActions.h"

#include <QAction>
#include <QActionGroup>
#include <QMenu>

void FillLanguageMenu(QMenu* menu, TActionRegistry& registry, TLanguages& languages)
{
    // The group marks its items as radio items; which one is marked is the registry's to say,
    // from the language in use, never from the click.
    auto* group = menu->findChild<QActionGroup*>(QStringLiteral("grpLanguages"), Qt::FindDirectChildrenOnly);
    if (!group) {
        group = new QActionGroup(menu);
        group->setObjectName(QStringLiteral("grpLanguages"));
        group->setExclusionPolicy(QActionGroup::ExclusionPolicy::ExclusiveOptional);
    }
    for (QAction* action : group->actions()) {
        menu->removeAction(action);
        group->removeAction(action);
    }
    for (const LCID lcid : languages.Items()) {
        const QString name = QStringLiteral("lngOther%1").arg(lcid);
        QAction* action = nullptr;
        if (registry.Contains(name)) {
            action = registry.Action(name);
        } else {
            TActionRegistry::TCommandSpec spec;
            spec.Name = name;
            spec.Caption = TLanguages::Caption(lcid);
            spec.Hint = spec.Caption;
            spec.Execute = [&languages, &registry, lcid] {
                // The group moved the mark to the clicked item; put it back where the language
                // in use says, also when the choice failed or changed nothing.
                const TFinally refresh([&registry] { registry.UpdateAll(); });
                languages.Choose(lcid);
            };
            spec.State = [&languages, lcid] { return languages.IsChosen(lcid); };
            action = registry.Add(std::move(spec));
        }
        action->setData(lcid);
        group->addAction(action);
        menu->addAction(action);
    }
    registry.UpdateAll();
}
