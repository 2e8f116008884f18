#pragma once

#include "app/core/online/SwSystems.h"
#include "tests/app_core/CoreTestEnv.h"
#include "tests/standin/HttpStandIn.h"
#include "tests/standin/SystemServer.h"

#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>

// The core with the maker's server on a local stand-in holding the systems routes, and the
// systems client of a user "Ann O'Neil" <Ann@Example.org> in the temporary data folder.
class TSystemsTest : public TCoreTest {
protected:
    TSystemsTest();
    ~TSystemsTest() override;

    static TUserIdentity Ann();
    // A system as the server keeps it; CSize is the number of lines.
    static TSystemServer::TSystem System(int id, int nums, int olap, const QStringList& lines,
                                         const QString& mail, const QDateTime& createdUtc);
    static QDateTime Utc(int y, int mo, int d, int h, int mi, int s);
    // Files of the cache folder, in name order.
    QStringList CachedFiles() const;
    QString CacheFile(const char* name) const;
    // Requests that reached a path of the server.
    QList<TStandInRequest> RequestsTo(const QByteArray& path) const;
    // The texts of the message boxes shown so far.
    QStringList BoxTexts() const;

    THttpStandIn FServer;
    TSystemServer FSystems{FServer};
    TSwSystems FClient{FDir.path(), Ann(), [] { return 1049u; }};
};

QString U8(const char* text);
