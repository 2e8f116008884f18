#include "app/ui/ProgramEnv.h"

#include "support/RDateUtils.h"
#include "support/ui/RDialogsUi.h"
#include "support/ui/RMsgViewer.h"

#include <QDateTime>
#include <QTime>

#include <cstdio>

QString UnattendedBoxEntry(const TBoxRequest& box)
{
    return QLatin1Char('[') + box.Title + QLatin1String("] ") + box.Text + QLatin1Char('\n');
}

int UnattendedBoxAnswer(const TBoxRequest& box)
{
    return box.Buttons == TBoxButtons::YesNo ? IDNO : IDOK;
}

int ShowUnattendedBox(const TBoxRequest& box)
{
    const QByteArray entry = UnattendedBoxEntry(box).toUtf8();
    std::fwrite(entry.constData(), 1, static_cast<size_t>(entry.size()), stderr);
    std::fflush(stderr);
    return UnattendedBoxAnswer(box);
}

QDate ParseFixedToday(const QString& text)
{
    return QDate::fromString(text.trimmed(), QStringLiteral("yyyy-MM-dd"));
}

void InstallProgramEnvironment()
{
    if (qEnvironmentVariable(UnattendedEnv) == QLatin1String("1"))
        SetMessageBoxHandler(ShowUnattendedBox);
    else
        InstallQtMessageBoxes();
    InstallMessageViewer();

    const QDate today = ParseFixedToday(qEnvironmentVariable(FixedTodayEnv));
    if (today.isValid()) {
        const QDateTime noon(today, QTime(12, 0));
        SetClock([noon] { return noon; });
    }
}
