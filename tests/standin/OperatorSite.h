#pragma once

#include "tests/standin/HttpStandIn.h"

#include <QByteArray>
#include <QDate>
#include <QHash>
#include <QString>

#include <utility>

// The operator's results-search page for the stand-in server. It answers
// "GET /site/winningNumberSearch?...&fromDateIn=MM%2FDD%2FYYYY&toDateIn=MM%2FDD%2FYYYY..."
// with one table row per day of the range, oldest first: the date, the midday result and the
// evening result, each result "d-d" with digits worked out from the date alone, or "-" for a
// draw not held yet. It can be told to fail in the ways a real site does.
class TOperatorSite {
public:
    enum class TFailure {
        None,
        ServerError,     // "500 Internal Server Error"
        Stall,           // never answers
        Drop,            // the connection is reset without a reply
        NoResults,       // a page without the results section
        UnclosedTable,   // the results table is cut off before its end
        Trickle,         // headers, then one byte of the page every 50 ms, never done
        Endless,         // headers, then page bytes as fast as they go, never done
    };

    // Routes the results path of the server to this site. The site must outlive the server's
    // use of it.
    explicit TOperatorSite(THttpStandIn& server);

    // The digits of a draw, from its date and time of day.
    static std::pair<int, int> DrawDigits(const QDate& date, bool evening);
    // The cell as the page writes it ("4-1"), unless overridden.
    QString Cell(const QDate& date, bool evening) const;

    // The newest draw held so far: later draws of that day show "-", later days are not
    // listed. An invalid date (the default) lists every day of the range in full.
    void SetLastHeld(const QDate& date, bool evening);
    // Replaces one cell with any text ("12-3", "x", "").
    void SetCell(const QDate& date, bool evening, const QString& text);
    // Every page also lists the days from .. to, before the asked ones, whatever was asked (a
    // site that does not keep to the request).
    void SetExtraDays(const QDate& from, const QDate& to);
    // Every asked row is listed this many times one after another (a site that sends a day
    // twice); 1 by default.
    void SetRowCopies(int copies) { FRowCopies = copies; }
    // How the asked rows are listed: oldest first, only the `rows` newest (oldest) of them newest
    // (oldest) first, in a random order (of a fixed seed), or over two tables, the newer half first.
    enum class TRowOrder { OldestFirst, Newest, Oldest, Shuffled, TwoTables };
    void SetRowOrder(TRowOrder order, int rows = 0) { FRowOrder = order; FNewestRows = rows; }
    // Replies gzip-encoded.
    void SetGzip(bool gzip) { FGzip = gzip; }
    // Every page sets this cookie (a whole Set-Cookie value, "sid=42; Path=/").
    void SetCookie(const QByteArray& cookie) { FCookie = cookie; }
    // The next `count` requests fail this way (-1: every request).
    void SetFailure(TFailure failure, int count = -1);

    // The page the site gives for a range.
    QByteArray Page(const QDate& from, const QDate& to) const;
    // Requests answered with a page (failed ones included).
    int RequestCount() const { return FRequests; }

private:
    TStandInReply Answer(const TStandInRequest& request);

    QDate FExtraFrom;
    QDate FExtraTo;
    QDate FLastHeldDate;
    bool FLastHeldEvening = true;
    int FRowCopies = 1;
    TRowOrder FRowOrder = TRowOrder::OldestFirst;
    int FNewestRows = 0;
    bool FGzip = false;
    QByteArray FCookie;
    TFailure FFailure = TFailure::None;
    int FFailuresLeft = 0;
    int FRequests = 0;
    QHash<QString, QString> FCells;   // "MM/dd/yyyy M" -> text
};
