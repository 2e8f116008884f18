// The operator's results page: its table is cut out (Exception for a section or table that is
// not closed) and its rows read into draws. Invariants: no draw taken repeats a stored key or
// one taken before it, every draw taken has a key in the stored form, digits 0..9 and a moment
// after the one taken before it, the new draws are numbered on from the stored count, and with
// a window every draw taken lies in its days, after its moment and not after its clock, and
// every draw offered is either taken or counted once.

#include "app/core/archive/ResultsPage.h"
#include "engine/PrjConst.h"
#include "fuzz/FuzzTargets.h"

namespace {

const TDrawsArray& StoredDraws()
{
    static const TDrawsArray draws = [] {
        TDrawsArray stored;
        const char* keys[] = {"06/30/2016 M", "06/30/2016 E", "07/01/2016 M", "07/01/2016 E"};
        for (const char* key : keys) {
            TDrawRec draw;
            draw.Number = static_cast<std::uint32_t>(stored.size() + 1);
            draw.Digits = {3, static_cast<std::uint8_t>(stored.size())};
            draw.Key.Set(QLatin1String(key));
            stored.push_back(draw);
        }
        return stored;
    }();
    return draws;
}

void CheckDraws(const TDrawsArray& found)
{
    const TDrawsArray& stored = StoredDraws();
    for (size_t i = 0; i < found.size(); ++i) {
        const TDrawRec& draw = found[i];
        const QString key = draw.Key.Get();
        for (const TDrawRec& old : stored)
            FuzzCheck(old.Key.Get().compare(key, Qt::CaseInsensitive) != 0, "a stored draw is taken again");
        if (i > 0)
            FuzzCheck(StrToDrawDate(key) > StrToDrawDate(found[i - 1].Key.Get()),
                      "a draw is taken that is not later than the one before it");
        FuzzCheck(key.size() == 12 && key.at(2) == QLatin1Char('/') && key.at(5) == QLatin1Char('/')
                      && key.at(10) == QLatin1Char(' ') && (key.at(11) == QLatin1Char('M') || key.at(11) == QLatin1Char('E')),
                  "a draw key is not in the stored form");
        FuzzCheck(draw.Digits[0] <= 9 && draw.Digits[1] <= 9, "a digit outside 0..9 is taken");
        FuzzCheck(draw.Number == stored.size() + i + 1, "the new draws are not numbered on");
    }
}

// The window of a download that starts on the newest stored draw's day.
void CheckWindow(const QString& table)
{
    TResultsWindow window;
    window.FromDate = 20160701;
    window.ToDate = 20160710;
    window.After = StrToDrawDate(QStringLiteral("07/01/2016 E"));
    window.Now = StrToDrawDate(QStringLiteral("07/10/2016 M"));
    TResultsSkipped skipped;
    const TDrawsArray found = ParseResultsTable(table, StoredDraws(), window, &skipped);
    CheckDraws(found);
    for (const TDrawRec& draw : found) {
        const QString key = draw.Key.Get();
        const int day = key.mid(6, 4).toInt() * 10000 + key.mid(0, 2).toInt() * 100 + key.mid(3, 2).toInt();
        FuzzCheck(day >= window.FromDate && day <= window.ToDate, "a draw outside the asked days is taken");
        FuzzCheck(StrToDrawDate(key) > window.After, "a draw not newer than the newest stored one is taken");
        FuzzCheck(!(StrToDrawDate(key) > window.Now), "a draw not held yet is taken");
    }
    // Without a window every draw offered is taken or counted too, under the same keys.
    TResultsSkipped openSkipped;
    const TDrawsArray open = ParseResultsTable(table, StoredDraws(), {}, &openSkipped);
    FuzzCheck(openSkipped.OutsideWindow == 0 && openSkipped.NotHeld == 0, "a draw is outside no window");
    FuzzCheck(openSkipped.Repeated == skipped.Repeated && openSkipped.BadCell == skipped.BadCell,
              "repeated keys and bad cells are counted by the window");
    FuzzCheck(open.size() + static_cast<size_t>(openSkipped.Total()) == found.size() + static_cast<size_t>(skipped.Total()),
              "a draw the window left out is not counted once");
}

} // namespace

void FuzzResultsPage(const std::uint8_t* data, std::size_t size)
{
    const QString page = QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    CheckDraws(ParseResultsTable(page, StoredDraws()));
    CheckWindow(page);
    try {
        CheckDraws(ParseResultsTable(ResultsTable(page), StoredDraws()));
    } catch (const Exception&) {
    }
}

std::vector<QByteArray> SeedsResultsPage()
{
    return {
        "<section class=\"winningNumbersResults\"><table><thead></thead><tbody>"
        "<tr><td><div>07/02/2016</div></td><td><div>1-2</div></td><td><div>3-4</div></td></tr>"
        "<tr><td><div>07/01/2016</div></td><td><div>5-6</div></td><td><div>-</div></td></tr>"
        "</tbody></table></section><footer id=\"footerMain\">",
        "<SECTION class=\"winningNumbersResults\"><TBODY><TR id=\"r\"><DIV>07/03/2016</DIV><DIV>9 - 0</DIV></TR>"
        "</tbody></table></section><footer id=\"footerMain\">",
        "<tr><div>13/45/2016</div><div>1-1</div><div>2-2</div></tr><tr><div>07/04/2016</div><div>10-1</div></tr>",
        "<section class=\"winningNumbersResults\"><tbody><tr><div>07/05/2016</div>",
        "<html><footer id=\"footerMain\"></html>",
        // Rows split over two tables, the newer ones first; the second table not closed.
        "<section class=\"winningNumbersResults\"><table><thead></thead><tbody><tr><div>07/04/2016</div><div>1-1</div>"
        "</tr></tbody></table><table><thead></thead><tbody><tr><div>07/03/2016</div><div>2-2</div></tr></tbody></table>"
        "<table><thead></thead><tbody><tr></section><footer id=\"footerMain\">",
        "<tr><div>01/05/1900</div><div>1-2</div><div>3-4</div></tr><tr><div>07/01/2016</div><div>5-5</div><div>6-6</div></tr>"
        "<tr><div>07/11/2016</div><div>7-7</div><div>8-8</div></tr>",
        // Every day twice, a stored day further back, and a day out of order.
        "<tr><div>07/02/2016</div><div>1-2</div><div>3-4</div></tr><tr><div>07/02/2016</div><div>1-2</div><div>3-4</div></tr>"
        "<tr><div>06/30/2016</div><div>5-5</div><div>6-6</div></tr><tr><div>07/04/2016</div><div>7-7</div><div>-</div></tr>"
        "<tr><div>07/03/2016</div><div>8-8</div><div>9-9</div></tr><tr><div>07/04/2016</div><div>-</div><div>0-0</div></tr>",
        // Newest first, today's evening ahead of the clock, and cells that are no two digits.
        "<tr><div>07/10/2016</div><div>1-1</div><div>2-2</div></tr><tr><div>07/03/2016</div><div>-1-5</div>"
        "<div>1.5-2</div></tr><tr><div>07/02/2016</div><div>&#49;-&#50;</div><div>99999999999999999999-1</div></tr>"
        "<tr><div>07/02/2016</div><div>\xEF\xBC\x91-\xEF\xBC\x92</div><div>3 - 4</div></tr>",
    };
}
