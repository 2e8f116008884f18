#include "app/core/archive/ResultsPage.h"

#include "app/core/archive/DrawLookups.h"
#include "engine/PrjConst.h"
#include "platform/DateTime.h"
#include "platform/WordUtils.h"
#include "support/RParse.h"

#include <QSet>
#include <QtGlobal>

#include <algorithm>
#include <cstdint>
#include <limits>

namespace {

// The operator's site is not ours: its address is a setting of the build, replaced through
// the environment.
const char* const kOperatorSite = "http://results.operator.invalid";

// "mm%2Fdd%2Fyyyy" of a yyyymmdd date.
QString UrlDate(int date)
{
    return QString::asprintf("%02d%%2F%02d%%2F%04d", (date % 10000) / 100, date % 100, date / 10000);
}

// A cell such as "4-1": true with both digits when it holds two words that are digits 0..9.
bool ReadResultCell(const QString& cell, std::uint8_t& digit1, std::uint8_t& digit2)
{
    const QString dash = QStringLiteral("-");
    if (cell.isEmpty() || cell == dash || WordCount(cell, dash) != 2)
        return false;
    const int d1 = StrToNum(ExtractWord(1, cell, dash).trimmed());
    const int d2 = StrToNum(ExtractWord(2, cell, dash).trimmed());
    // Every table of the program is indexed by the digits, so nothing else may enter.
    if (d1 < DigitMin || d1 > DigitMax || d2 < DigitMin || d2 > DigitMax)
        return false;
    digit1 = static_cast<std::uint8_t>(d1);
    digit2 = static_cast<std::uint8_t>(d2);
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
    return ExtractBetween2(page, QStringLiteral("<section class=\"winningNumbersResults\">"),
                           QStringLiteral("<footer id=\"footerMain\">"), 0, QStringLiteral("</thead><tbody>"),
                           QStringLiteral("</tbody></table>"));
}

TDrawsArray ParseResultsTable(const QString& table, const TDrawsArray& stored, const TResultsWindow& window,
                              TResultsSkipped* skipped)
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
    TDateTime after = window.After;
    QString rest = table;
    const QString rowStart = QStringLiteral("<tr");
    const QString cellStart = QStringLiteral("<div>");
    const QString cellEnd = QStringLiteral("</div>");
    while (rest.contains(rowStart, Qt::CaseInsensitive)) {
        QString row = CutBetween(rest, rowStart, QStringLiteral("</tr>"), 2);
        const QString date = CutBetween(row, cellStart, cellEnd, 1);
        const QString cells[2] = {CutBetween(row, cellStart, cellEnd, 1), CutBetween(row, cellStart, cellEnd, 1)};
        if (!IsResultDate(date))
            continue;
        const int day = DateIntOfCell(date);
        const bool inWindow = (window.FromDate <= 0 || day >= window.FromDate) && (window.ToDate <= 0 || day <= window.ToDate);
        const char letters[2] = {DrawLetterMidday, DrawLetterEvening};
        for (int i = 0; i < 2; ++i) {
            TDrawRec draw;
            // The duplicate test looks for the key exactly as it would be stored.
            draw.Key.Set(date + QLatin1Char(' ') + QLatin1Char(letters[i]));
            if (FindDrawByText(stored, draw.Key.Get(), 3) >= 0 || !ReadResultCell(cells[i], draw.Digits[0], draw.Digits[1]))
                continue;
            const QString key = draw.Key.Get().toUpper();
            if (offered.contains(key) || storedKeys.contains(key)) {
                ++left.Repeated;
                continue;
            }
            offered.insert(key);
            if (!inWindow) {
                ++left.OutsideWindow;
                continue;
            }
            const TDateTime moment = StrToDrawDate(draw.Key.Get());
            if (after > 0 && !(moment > after)) {
                ++left.NotNewer;
                continue;
            }
            const std::uint64_t number = firstNumber + found.size() + 1;
            if (number > std::numeric_limits<std::uint32_t>::max())
                break;
            draw.Number = static_cast<std::uint32_t>(number);
            found.push_back(draw);
            after = moment;
        }
    }
    return found;
}
