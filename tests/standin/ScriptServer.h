#pragma once

#include "tests/standin/HttpStandIn.h"

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QMap>
#include <QString>

// The scenario library of the maker's server for the stand-in: scenarios and ratings in
// memory, the "/scripts/scr_*.php" form posts answered with "<result><row>...</row></result>"
// replies as the real server gives them (titles, descriptions and scripts in Base64 of UTF-8,
// times in UTC). Users are told apart by their e-mail address, or by their machine id when
// they give none. It can be told to fail in the ways a server does.
class TScriptServer {
public:
    struct TScript {
        int Id = 0;
        QString AuthorName;
        QString AuthorMail;
        int Lcid = 1049;
        QString AppName;
        QString AppVer;
        QString AppGuid;
        bool Universal = false;
        bool Public = true;
        QDateTime Created;          // UTC
        QString Title;
        QString Descr;
        QString Script;
        int Downloads = 0;
        QDateTime LastDownload;     // UTC; invalid: never
        QString OwnerKey;           // the user who stored it
    };
    struct TRate {
        QString UserKey;
        QString Name;
        int Rate = 0;               // 1..5, or -1 hidden
        QString Notes;
        QString AppName;
        QString AppVer;
        QDateTime Created;          // UTC
    };

    enum class TFailure {
        None,
        ErrorRow,        // a row with "<error>"
        NoResult,        // a reply without "<result>"
        EmptyResult,     // "<result></result>"
        ServerError,     // "500 Internal Server Error"
        Huge,            // a reply larger than any client accepts
        BadBase64,       // Base64 fields that do not decode
        BadNumber,       // a number that does not fit 32 bits
        FormatText,      // texts full of format specifiers ("%s%n%d")
    };

    // Mounts the routes on the server, which must outlive this object's use.
    explicit TScriptServer(THttpStandIn& server);

    // The server's clock (UTC); the system clock when invalid.
    void SetNow(const QDateTime& utc) { FNow = utc; }
    QDateTime Now() const;

    // Stores an entry as it stands (Id 0: the next free id). Returns the id.
    int Add(TScript script);
    void AddRate(int scriptId, const TRate& rate);
    const QMap<int, TScript>& Scripts() const { return FScripts; }
    QList<TRate> Rates(int scriptId) const { return FRates.value(scriptId); }

    // The next `count` requests fail this way (-1: every one).
    void SetFailure(TFailure failure, int count = -1);
    // Answers of the put, check and rate scripts that the stand-in would not give by itself (a
    // set put answer also leaves the store alone).
    void SetPutAnswer(int idScripts) { FPutAnswer = idScripts; }
    void SetTitleAnswer(int retCode) { FTitleAnswer = retCode; }
    void SetRateAnswer(int resCode) { FRateAnswer = resCode; }

    // Undoes C-style escapes ("\\n", "\\\"", "\\0" ...) as the server does with free texts.
    static QString Unescape(const QString& text);
    static QByteArray Base64(const QString& text);
    static QString UtcText(const QDateTime& utc);

private:
    TStandInReply Answer(const TStandInRequest& request);
    QByteArray List(const TStandInRequest& request);
    QByteArray Data(const TStandInRequest& request);
    QByteArray SetRate(const TStandInRequest& request);
    QByteArray CheckTitle(const TStandInRequest& request);
    QByteArray Put(const TStandInRequest& request);
    QByteArray GetRates(const TStandInRequest& request);
    QByteArray Row(const TScript& script, const QString& userKey) const;
    static QString UserKey(const TStandInRequest& request);
    int OwnRate(int scriptId, const QString& userKey) const;

    QMap<int, TScript> FScripts;
    QMap<int, QList<TRate>> FRates;
    int FNextId = 1;
    QDateTime FNow;
    TFailure FFailure = TFailure::None;
    int FFailuresLeft = 0;
    int FPutAnswer = 0;       // 0: none set
    int FTitleAnswer = -100;  // -100: none set
    int FRateAnswer = -100;
};
