#include "app/ui/ProgramEnv.h"

#include "app/core/MainState.h"

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

bool IsUnattendedRun(const QStringList& arguments, const QString& unattendedValue)
{
    if (unattendedValue == QLatin1String("1"))
        return true;
    for (const char* name : {SwitchLoadOnly, SwitchFullRecreate, SwitchFullRefresh})
        if (HasSwitch(arguments, QLatin1String(name)))
            return true;
    return false;
}

void InstallProgramEnvironment(const QStringList& arguments)
{
    if (IsUnattendedRun(arguments, qEnvironmentVariable(UnattendedEnv)))
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
