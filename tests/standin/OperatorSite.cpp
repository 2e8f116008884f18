#include "tests/standin/OperatorSite.h"

#include <QUrlQuery>

#include <algorithm>
#include <random>

namespace {

const QString kDateFormat = QStringLiteral("MM/dd/yyyy");

QString CellKey(const QDate& date, bool evening)
{
    return date.toString(kDateFormat) + (evening ? QStringLiteral(" E") : QStringLiteral(" M"));
}

QDate QueryDate(const TStandInRequest& request, const char* field)
{
    const QUrlQuery query(QString::fromLatin1(request.Query));
    return QDate::fromString(query.queryItemValue(QString::fromLatin1(field), QUrl::FullyDecoded), kDateFormat);
}

} // namespace

TOperatorSite::TOperatorSite(THttpStandIn& server)
{
    server.Route("/site/winningNumberSearch", [this](const TStandInRequest& request) { return Answer(request); });
}

std::pair<int, int> TOperatorSite::DrawDigits(const QDate& date, bool evening)
{
    // A multiplicative hash of the day number: fixed on every machine, and neighbouring
    // draws differ.
    std::uint64_t x = static_cast<std::uint64_t>(date.toJulianDay()) * 2 + (evening ? 1 : 0);
    x = (x ^ (x >> 7)) * 0x9E3779B97F4A7C15ULL;
    x ^= x >> 29;
    return {static_cast<int>((x >> 11) % 10), static_cast<int>((x >> 37) % 10)};
}

QString TOperatorSite::Cell(const QDate& date, bool evening) const
{
    const auto custom = FCells.constFind(CellKey(date, evening));
    if (custom != FCells.constEnd())
        return *custom;
    if (FLastHeldDate.isValid() && date == FLastHeldDate && evening && !FLastHeldEvening)
        return QStringLiteral("-");
    const auto [d1, d2] = DrawDigits(date, evening);
    return QStringLiteral("%1-%2").arg(d1).arg(d2);
}

void TOperatorSite::SetLastHeld(const QDate& date, bool evening)
{
    FLastHeldDate = date;
    FLastHeldEvening = evening;
}

void TOperatorSite::SetCell(const QDate& date, bool evening, const QString& text)
{
    FCells.insert(CellKey(date, evening), text);
}

void TOperatorSite::SetExtraDays(const QDate& from, const QDate& to)
{
    FExtraFrom = from;
    FExtraTo = to;
}

void TOperatorSite::SetFailure(TFailure failure, int count)
{
    FFailure = failure;
    FFailuresLeft = count;
}

QByteArray TOperatorSite::Page(const QDate& from, const QDate& to) const
{
    QByteArray page =
        "<!DOCTYPE html>\n<html><head><meta charset=\"utf-8\"><title>Winning numbers</title></head>\n"
        "<body><header id=\"headerMain\"><nav><a href=\"/\">Home</a></nav></header>\n"
        "<section class=\"winningNumbersResults\">\n<h2>Search results</h2>\n"
        "<table class=\"results\"><thead><tr><th>Date</th><th>Midday</th><th>Evening</th></tr>"
        "</thead><tbody>";
    const auto row = [this](const QDate& day) {
        return "\n<tr class=\"row\"><td><div>" + day.toString(kDateFormat).toLatin1() + "</div></td>"
               "<td><div>" + Cell(day, false).toUtf8() + "</div></td>"
               "<td><div>" + Cell(day, true).toUtf8() + "</div></td></tr>";
    };
    QList<QByteArray> rows, asked;
    for (QDate day = FExtraFrom; day.isValid() && day <= FExtraTo; day = day.addDays(1))
        rows.append(row(day));
    for (QDate day = from; day.isValid() && day <= to; day = day.addDays(1)) {
        if (FLastHeldDate.isValid() && day > FLastHeldDate)
            break;
        for (int copy = 0; copy < FRowCopies; ++copy)
            asked.append(row(day));
    }
    if (FRowOrder == TRowOrder::Newest)
        asked = QList<QByteArray>(asked.rbegin(), asked.rbegin() + std::min<qsizetype>(FNewestRows, asked.size()));
    if (FRowOrder == TRowOrder::Oldest)
        asked = asked.mid(0, FNewestRows);
    if (FRowOrder == TRowOrder::Shuffled)
        std::shuffle(asked.begin(), asked.end(), std::mt19937(7));
    rows += asked;
    const qsizetype half = FRowOrder == TRowOrder::TwoTables ? rows.size() / 2 : 0;
    page += rows.mid(half).join();
    if (half > 0)
        page += "</tbody></table>\n<table class=\"results\"><thead><tr><th>Date</th></tr></thead><tbody>" + rows.mid(0, half).join();
    page += "</tbody></table>\n</section>\n"
            "<footer id=\"footerMain\"><p>Results are unofficial.</p></footer>\n</body></html>\n";
    return page;
}

TStandInReply TOperatorSite::Answer(const TStandInRequest& request)
{
    ++FRequests;
    TFailure failure = TFailure::None;
    if (FFailure != TFailure::None && FFailuresLeft != 0) {
        failure = FFailure;
        if (FFailuresLeft > 0)
            --FFailuresLeft;
    }
    const QDate from = QueryDate(request, "fromDateIn");
    const QDate to = QueryDate(request, "toDateIn");

    TStandInReply reply;
    switch (failure) {
    case TFailure::ServerError:
        return TStandInReply::Error(500, "<html><body>Internal error</body></html>");
    case TFailure::Stall:
        return TStandInReply::WithAction(TReplyAction::Stall);
    case TFailure::Drop:
        return TStandInReply::WithAction(TReplyAction::Drop);
    case TFailure::Trickle:
        return TStandInReply::Unending(TReplyAction::Trickle, Page(from, to), 50);
    case TFailure::Endless:
        return TStandInReply::Unending(TReplyAction::Endless, Page(from, to));
    case TFailure::NoResults:
        reply = TStandInReply::Text("<html><body><p>The service is not available.</p>"
                                    "<footer id=\"footerMain\"></footer></body></html>");
        break;
    case TFailure::UnclosedTable: {
        QByteArray page = Page(from, to);
        page.replace("</tbody></table>", "</tbody>");
        reply = TStandInReply::Text(page);
        break;
    }
    case TFailure::None:
        if (request.Method != "GET" || !from.isValid() || !to.isValid())
            return TStandInReply::Error(400, "<html><body>Bad request</body></html>");
        reply = TStandInReply::Text(Page(from, to));
        break;
    }
    if (FGzip)
        reply.Encoding = TBodyEncoding::Gzip;
    if (!FCookie.isEmpty())
        reply.Headers.append(qMakePair(QByteArray("Set-Cookie"), FCookie));
    return reply;
}
