#pragma once

#include "tests/standin/HttpStandIn.h"

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>

// The systems routes of the maker's server for the stand-in: systems kept in memory, listed,
// fetched (which counts a download) and put (published, replaced or deleted) with the paths,
// fields and reply tags of the exchange. It can be told to answer an <error> row, a reply
// without <result>, or a list one line short of its csize.
class TSystemServer {
public:
    struct TSystem {
        int Id = 0;
        int Nums = 0;
        int Olap = 0;
        int CSize = 0;          // as listed; normally the line count of CList
        QString Title;
        QString Author;
        QString Mail;
        QString Descr;
        QString Url;
        QString CList;          // the list text
        QDateTime Created;      // UTC
        int Downloads = 0;
        QDateTime LastDownload; // UTC; invalid: never
    };

    enum class TFailure {
        None,
        ErrorRow,      // one row holding <error>
        NoResult,      // a reply without <result>
        ShortList,     // fetch: the list one line short
        BadBase64,     // fetch: a list that is not Base64
    };

    static constexpr char ListPath[] = "/scripts/sys_getlist.php";
    static constexpr char FetchPath[] = "/scripts/sys_getdata.php";
    static constexpr char PutPath[] = "/scripts/sys_putdata.php";

    // Routes the three paths of the server to this one; it must outlive their use.
    explicit TSystemServer(THttpStandIn& server);

    // Adds a system (an id of 0 takes the next free one); returns its id.
    int Add(TSystem system);
    TSystem* Find(int id);
    const QList<TSystem>& Systems() const { return FSystems; }

    // The time the server stamps new and replaced systems and downloads with (UTC).
    void SetNow(const QDateTime& utc) { FNow = utc; }
    // The next `count` requests to the path fail this way (-1: every request).
    void SetFailure(const QByteArray& path, TFailure failure, int count = -1);
    // Rows put into the list reply as they are, after the systems (untrusted rows).
    void SetExtraListRows(const QByteArray& rows) { FExtraRows = rows; }
    // Answers put requests with this reply instead (empty: the normal one).
    void SetPutReply(const QByteArray& reply) { FPutReply = reply; }

    // The reverse of the client's C-style escaping.
    static QString CUnescape(const QString& text);
    // "yyyy-MM-dd hh:mm:ss".
    static QByteArray UtcText(const QDateTime& utc);

private:
    TStandInReply List(const TStandInRequest& request);
    TStandInReply Fetch(const TStandInRequest& request);
    TStandInReply Put(const TStandInRequest& request);
    // The failure set for the path, counted down; None when there is none.
    TFailure TakeFailure(const QByteArray& path);

    QList<TSystem> FSystems;
    int FNextId = 1;
    QDateTime FNow;
    QByteArray FFailurePath;
    TFailure FFailure = TFailure::None;
    int FFailuresLeft = 0;
    QByteArray FExtraRows;
    QByteArray FPutReply;
};
