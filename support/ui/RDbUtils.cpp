#include "support/ui/RDbUtils.h"

#include <QObject>
#include <QStringList>
#include <QVariant>

bool GetComponentSQLText(const QObject* component, QString& text)
{
    text.clear();
    if (!component)
        return false;
    const QVariant value = component->property("SQL");
    if (!value.isValid() || value.typeId() != QMetaType::QStringList)
        return false;
    for (const QString& line : value.toStringList())
        text += line + QLatin1Char('\n');
    return true;
}
