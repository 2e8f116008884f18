#include "app/core/archive/ResultsPage.h"

#include "app/core/archive/DrawLookups.h"
#include "engine/PrjConst.h"
#include "platform/DateTime.h"
#include "support/RParse.h"

#include <QSet>
#include <QtGlobal>

#include <algorithm>
#include <cstdint>
#include <limits>
#include <optional>
#include <vector>

namespace {

// The operator's site is not ours: its address is a setting of the build, replaced through
// the environment.
const char* const kOperatorSite = "http://results.operator.invalid";

// "mm%2Fdd%2Fyyyy" of a yyyymmdd date.
QString UrlDate(int date)
{
    return QString::asprintf("%02d%%2F%02d%%2F%04d", (date % 10000) / 100, date % 100, date / 10000);
}

// A result cell that is neither empty nor "-": true with both digits when it is two words
// split by "-", each a single digit 0..9 (ReadDrawDigit) with nothing but blanks around it
// ("-1-5" is no 1-5).
bool ReadResultCell(const QString& cell, std::uint8_t& digit1, std::uint8_t& digit2)
{
    const QStringList words = cell.split(QLatin1Char('-'));
    if (words.size() != 2)
        return false;
    std::uint8_t digits[2] = {0, 0};
    for (int i = 0; i < 2; ++i) {
        const int digit = ReadDrawDigit(words[i].trimmed());
        if (digit < 0)
            return false;
        digits[i] = static_cast<std::uint8_t>(digit);
    }
    digit1 = digits[0];
    digit2 = digits[1];
    return true;
}

// A date cell in the page's form, "mm/dd/yyyy", naming a day that exists.
bool IsResultDate(const QString& cell)
{
    if (cell.size() != 10 || cell.at(2) != QLatin1Char('/') || cell.at(5) != QLatin1Char('/'))
        return false;
    for (const int i : {0, 1, 3, 4, 6, 7, 8, 9})
        if (cell.at(i) < QLatin1Char('0') || cell.at(i) > QLatin1Char('9'))
            return false;
    const int month = cell.mid(0, 2).toInt();
    const int day = cell.mid(3, 2).toInt();
    const int year = cell.mid(6, 4).toInt();
    return IsValidDate(year, month, day);
}

// The yyyymmdd of a cell that IsResultDate accepted.
int DateIntOfCell(const QString& cell)
{
    return cell.mid(6, 4).toInt() * 10000 + cell.mid(0, 2).toInt() * 100 + cell.mid(3, 2).toInt();
}

} // namespace

QString OperatorSiteUrl()
{
    QString site = qEnvironmentVariable(OperatorSiteEnv);
    if (site.isEmpty())
        site = QString::fromLatin1(kOperatorSite);
    while (site.endsWith(QLatin1Char('/')))
        site.chop(1);
    return site;
}

QString ResultsSearchUrl(int fromDate, int toDate)
{
    return OperatorSiteUrl() + QLatin1String(ResultsSearchPath)
           + QLatin1String("?searchTypeIn=range&gameNameIn=PICK2&singleDateIn=&fromDateIn=") + UrlDate(fromDate)
           + QLatin1String("&toDateIn=") + UrlDate(toDate)
           + QLatin1String("&n1In=&n2In=&n3In=&n4In=&n5In=&submitForm=Submit");
}

QString ResultsTable(const QString& page)
{
    const QString section = ExtractBetween(page, QStringLiteral("<section class=\"winningNumbersResults\">"),
                                           QStringLiteral("<footer id=\"footerMain\">"), 0);
    // A page may split its rows over several tables (the newest half first, say): a draw of a
    // table left unread would be taken for one the site does not hold.
    QString rows;
    qsizetype at = 0;
    while (const std::optional<QString> body =
               NextBetween(section, at, QStringLiteral("</thead><tbody>"), QStringLiteral("</tbody></table>"), 0))
        rows += *body;
    return rows;
}

TDrawsArray ParseResultsTable(const QString& table, const TDrawsArray& stored, const TResultsWindow& window,
                              TResultsSkipped* skipped, std::vector<int>* listedDays)
{
    TDrawsArray found;
    TResultsSkipped ignored;
    TResultsSkipped& left = skipped ? *skipped : ignored;
    // Numbers go on from the archive; after gaps a count-based number would repeat one.
    std::uint64_t firstNumber = stored.size();
    if (!stored.empty())
        firstNumber = std::max<std::uint64_t>(firstNumber, stored.back().Number);
    QSet<QString> storedKeys;
    storedKeys.reserve(static_cast<qsizetype>(stored.size()));
    for (const TDrawRec& draw : stored)
        storedKeys.insert(draw.Key.Get().toUpper());
    // Keys the page offered so far: a page that lists a day twice must not add it twice.
    QSet<QString> offered;
    struct TOffer {
        TDrawRec Draw;
        TDateTime Moment;
    };
    std::vector<TOffer> offers;
    const QString rowStart = QStringLiteral("<tr");
    const QString rowEnd = QStringLiteral("</tr>");
    const QString cellStart = QStringLiteral("<div>");
    const QString cellEnd = QStringLiteral("</div>");
    const QString notHeld = QStringLiteral("-");
    // The rows are walked by position: the page is never copied, whatever its size.
    qsizetype at = 0;
    while (std::optional<QString> row = NextBetween(table, at, rowStart, rowEnd, 2)) {
        const QString date = CutBetween(*row, cellStart, cellEnd, 1);
        const QString cells[2] = {CutBetween(*row, cellStart, cellEnd, 1), CutBetween(*row, cellStart, cellEnd, 1)};
        if (!IsResultDate(date))
            continue;
        const int day = DateIntOfCell(date);
        const bool inWindow = (window.FromDate <= 0 || day >= window.FromDate) && (window.ToDate <= 0 || day <= window.ToDate);
        if (inWindow && listedDays)
            listedDays->push_back(day);
        const char letters[2] = {DrawLetterMidday, DrawLetterEvening};
        for (int i = 0; i < 2; ++i) {
            TDrawRec draw;
            // The duplicate test looks for the key exactly as it would be stored.
            draw.Key.Set(date + QLatin1Char(' ') + QLatin1Char(letters[i]));
            if (FindDrawByText(stored, draw.Key.Get(), 3) >= 0 || cells[i].isEmpty() || cells[i] == notHeld)
                continue;
            if (!ReadResultCell(cells[i], draw.Digits[0], draw.Digits[1])) {
                ++left.BadCell;
                continue;
            }
            const QString key = draw.Key.Get().toUpper();
            if (offered.contains(key) || storedKeys.contains(key)) {
                ++left.Repeated;
                continue;
            }
            offered.insert(key);
            if (!inWindow) {
                ++left.OutsideWindow;
                left.LaterThanAsked += window.ToDate > 0 && day > window.ToDate ? 1 : 0;
                continue;
            }
            const TDateTime moment = StrToDrawDate(draw.Key.Get());
            if (window.Now > 0 && moment > window.Now) {
                ++left.NotHeld;
                continue;
            }
            offers.push_back({draw, moment});
        }
    }

    // Sites list their days newest first as often as oldest first: the archive takes them in
    // the order they were held, or every draw after the first one taken would look old and be
    // lost, as the next window starts after it.
    // Days outside the years a key can name all read as day 0: the first of them is taken
    // (without a window), the rest are not later than it.
    std::stable_sort(offers.begin(), offers.end(), [](const TOffer& a, const TOffer& b) { return a.Moment < b.Moment; });
    TDateTime after = window.After;
    for (TOffer& offer : offers) {
        if (after > 0 && !(offer.Moment > after)) {
            ++left.NotNewer;
            continue;
        }
        const std::uint64_t number = firstNumber + found.size() + 1;
        if (number > std::numeric_limits<std::uint32_t>::max())
            break;
        offer.Draw.Number = static_cast<std::uint32_t>(number);
        found.push_back(offer.Draw);
        after = offer.Moment;
    }
    return found;
}
