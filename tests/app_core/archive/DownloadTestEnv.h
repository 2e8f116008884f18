#pragma once

#include "tests/app_core/CoreTestEnv.h"
#include "tests/standin/HttpStandIn.h"
#include "tests/standin/OperatorSite.h"

#include <QDate>
#include <QList>
#include <QPair>

// The core with the operator's site on a local stand-in, the archive empty, the proxy
// settings read (none) and today 08/10/2016.
class TDownloadTest : public TCoreTest {
protected:
    TDownloadTest();
    ~TDownloadTest() override;

    // The site lists every draw of the asked days: the clock stands late in the evening, after
    // both draws of the day are held.
    void SetToday(const QDate& date) { FNow = QDateTime(date, QTime(23, 0)); }

    // The draws the site holds for the days from .. to, numbered from firstNumber.
    static TDrawsArray SiteDraws(const QDate& from, const QDate& to, int firstNumber = 1);
    // The requests that reached the results page.
    QList<TStandInRequest> SiteRequests() const;
    // The search target for a range, as the program must send it.
    static QByteArray SearchTarget(const QDate& from, const QDate& to);

    // A page of the public proxy list holding these "host:port" entries.
    static QByteArray ProxyListPage(const QList<QPair<QString, int>>& entries);
    // A local port nobody listens on.

    THttpStandIn FServer;
    TOperatorSite FSite{FServer};
    QStringList FWaitTexts;
    int FAfterDownload = 0;
};
