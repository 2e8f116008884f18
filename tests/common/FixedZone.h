#pragma once

#include <QByteArray>
#include <QtGlobal>

#include <ctime>

// Runs a test under a fixed time zone (a TZ value) and puts the previous one back.
class TFixedZone {
public:
    explicit TFixedZone(const char* zone) : FHad(qEnvironmentVariableIsSet("TZ")), FOld(qgetenv("TZ"))
    {
        qputenv("TZ", zone);
        tzset();
    }
    ~TFixedZone()
    {
        if (FHad)
            qputenv("TZ", FOld);
        else
            qunsetenv("TZ");
        tzset();
    }
    TFixedZone(const TFixedZone&) = delete;
    TFixedZone& operator=(const TFixedZone&) = delete;

private:
    bool FHad;
    QByteArray FOld;
};
