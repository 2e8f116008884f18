#pragma once

#include "support/RVclUtils.h"

#include <QString>

// The busy state around one long step: entered with an optional status text, and left (the
// status cleared) on every path out of the scope, also when the step raises.
class TBusyScope {
public:
    explicit TBusyScope(const QString& status = QString()) : FShowsStatus(!status.isEmpty())
    {
        StartWait();
        if (FShowsStatus)
            ShowInStatusBar(status);
    }
    ~TBusyScope()
    {
        if (FShowsStatus)
            ShowInStatusBar(QString());
        StopWait();
    }
    TBusyScope(const TBusyScope&) = delete;
    TBusyScope& operator=(const TBusyScope&) = delete;

private:
    bool FShowsStatus;
};
