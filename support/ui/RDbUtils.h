#pragma once

#include <QString>

class QObject;

// The SQL text a component holds in its property "SQL" (a list of lines): true and the lines,
// each followed by a line break. False and an empty text when the component is absent or has
// no such property.
bool GetComponentSQLText(const QObject* component, QString& text);
