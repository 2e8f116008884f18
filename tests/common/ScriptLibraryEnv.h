#pragma once

// The scenario library of the maker's server on a local stand-in, for the tests of the library
// client, its commands and its panel: the server address pointed at the stand-in, a fixed time
// zone (UTC+3, no daylight saving) so that local times are known, and the user "Иван"
// (ivan@example.org) of the program "Tavrix2_2r10" 2.2.10.

#include "app/core/online/SwScripts.h"
#include "support/RSwCommon.h"
#include "tests/common/TestHelpers.h"
#include "tests/standin/HttpStandIn.h"
#include "tests/standin/ScriptServer.h"

#include <QDateTime>
#include <QTimeZone>

#include <ctime>

#include <gtest/gtest.h>

class TScriptLibraryEnv {
public:
    TScriptLibraryEnv() : FHadTz(qEnvironmentVariableIsSet("TZ")), FOldTz(qgetenv("TZ"))
    {
        qputenv("TZ", "MSK-3");
        tzset();
        EXPECT_TRUE(Server.Start());
        qputenv(MakerServerEnv, Server.BaseUrl().toLatin1());
        Site.SetNow(Utc("2016-08-10 09:00:00"));
    }
    ~TScriptLibraryEnv()
    {
        qunsetenv(MakerServerEnv);
        if (FHadTz)
            qputenv("TZ", FOldTz);
        else
            qunsetenv("TZ");
        tzset();
    }
    TScriptLibraryEnv(const TScriptLibraryEnv&) = delete;
    TScriptLibraryEnv& operator=(const TScriptLibraryEnv&) = delete;

    static TUserIdentity User()
    {
        return {"Tavrix2_2r10", "2.2.10", "0123456789ABCDEF0123456789ABCDEF", U("Иван"), "ivan@example.org"};
    }
    static QDateTime Utc(const char* text)
    {
        QDateTime time = QDateTime::fromString(QString::fromLatin1(text), "yyyy-MM-dd HH:mm:ss");
        time.setTimeZone(QTimeZone::utc());
        return time;
    }

    // Two entries: 1 "Чёт-нечет" by Иван (IVAN@example.org), visible only to him, for this
    // program, rated 4 by Иван and 2 by Олег, downloaded twice; 2 "Суммы" by Олег, public,
    // made for another program, never rated or downloaded, without a description.
    void AddTwoEntries()
    {
        TScriptServer::TScript mine;
        mine.Id = 1;
        mine.AuthorName = U("Иван");
        mine.AuthorMail = "IVAN@example.org";
        mine.Lcid = 1049;
        mine.AppName = "Tavrix2_2r10";
        mine.AppVer = "2.2.9";
        mine.AppGuid = "TAVRIX2_2R10";
        mine.Public = false;
        mine.Created = Utc("2016-08-01 21:15:00");
        mine.Title = U("Чёт-нечет");
        mine.Descr = U("Ставки на чётные\nи нечётные");
        mine.Script = U("#1 строка\r\n\r\n#2 строка\r\n");
        mine.Downloads = 2;
        mine.LastDownload = Utc("2016-08-09 23:59:59");
        Site.Add(mine);
        Site.AddRate(1, {"ivan@example.org", U("Иван"), 4, "", "Tavrix2_2r10", "2.2.9", Utc("2016-08-02 10:00:00")});
        Site.AddRate(1, {"oleg@example.org", U("Олег"), 2, U("так себе"), "Kelma", "1.0", Utc("2016-08-03 00:30:00")});

        TScriptServer::TScript other;
        other.Id = 2;
        other.AuthorName = U("Олег");
        other.AuthorMail = "oleg@example.org";
        other.Lcid = 1033;
        other.AppName = "Kelma";
        other.AppVer = "1.0";
        other.AppGuid = "KELMA";
        other.Public = true;
        other.Created = Utc("2016-08-10 08:00:00");
        other.Title = U("Суммы");
        other.Script = "x";
        Site.Add(other);
    }

    THttpStandIn Server;
    TScriptServer Site{Server};

private:
    bool FHadTz;
    QByteArray FOldTz;
};
