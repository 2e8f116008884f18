#include "app/core/online/SwTexts.h"

namespace {

// "HH": the hour of the day, 0 to 23, whatever the locale says of AM and PM.
const QString kTimeFormat = QStringLiteral("yyyy-MM-dd HH:mm:ss");

} // namespace

QString SwTimeText(const QDateTime& time)
{
    return time.isValid() ? time.toString(kTimeFormat) : QString();
}

QDateTime SwTimeFromText(const QString& text)
{
    return QDateTime::fromString(text, kTimeFormat);
}

QString SwBoxText(QString text)
{
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return text;
}
