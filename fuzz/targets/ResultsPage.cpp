// The operator's results page: its table is cut out (Exception for a section or table that is
// not closed) and its rows read into draws. Invariants: no draw taken repeats a key among the
// newest stored ones, every draw taken has a key in the stored form and digits 0..9, and the
// new draws are numbered on from the stored count.

#include "app/core/ResultsPage.h"
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
        FuzzCheck(key.size() == 12 && key.at(2) == QLatin1Char('/') && key.at(5) == QLatin1Char('/')
                      && key.at(10) == QLatin1Char(' ') && (key.at(11) == QLatin1Char('M') || key.at(11) == QLatin1Char('E')),
                  "a draw key is not in the stored form");
        FuzzCheck(draw.Digits[0] <= 9 && draw.Digits[1] <= 9, "a digit outside 0..9 is taken");
        FuzzCheck(draw.Number == stored.size() + i + 1, "the new draws are not numbered on");
    }
}

} // namespace

void FuzzResultsPage(const std::uint8_t* data, std::size_t size)
{
    const QString page = QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    CheckDraws(ParseResultsTable(page, StoredDraws()));
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
    };
}
