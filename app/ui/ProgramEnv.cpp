#include "app/ui/ProgramEnv.h"

#include "app/core/MainState.h"
#include "support/RDateUtils.h"
#include "support/ui/FormUpdateInformer.h"
#include "support/ui/RDialogsUi.h"
#include "support/ui/RMsgViewer.h"

#include <QDateTime>
#include <QTime>

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
    else {
        InstallQtMessageBoxes();
        // The update check may show its progress and ask before it installs; a batch run never waits.
        InstallSelfUpdateWindows();
    }
    InstallMessageViewer();

    const QDate today = ParseFixedToday(qEnvironmentVariable(FixedTodayEnv));
    if (today.isValid()) {
        const QDateTime noon(today, QTime(12, 0));
        SetClock([noon] { return noon; });
    }
}
