#pragma once

#include "engine/KelmaUtils.h"

#include <QString>

#include <vector>

// The operator's results-search page: the request for a range of dates and the rows of its
// results table.

// The operator's results site, without a trailing '/'. The environment variable
// TAVRIX_OPERATOR_URL replaces it (tests point it at a local stand-in).
QString OperatorSiteUrl();
inline constexpr char OperatorSiteEnv[] = "TAVRIX_OPERATOR_URL";
inline constexpr char ResultsSearchPath[] = "/site/winningNumberSearch";

// The search address for the dates from .. to (yyyymmdd).
QString ResultsSearchUrl(int fromDate, int toDate);
// The bodies of the results tables cut out of the page, one after another; empty when the page
// has no results section. A section or table that is not closed raises Exception.
QString ResultsTable(const QString& page);
// What a page may add: rows dated within the asked window, draws later than the newest stored
// one and held by the clock. A site is not trusted to keep to the request, and a draw appended
// out of order would move the archive's newest date backwards (the next window would never
// move forward).
struct TResultsWindow {
    int FromDate = 0;     // yyyymmdd; 0: no lower bound
    int ToDate = 0;       // yyyymmdd; 0: no upper bound
    TDateTime After = 0;  // only draws held later than this moment; 0: any
    TDateTime Now = 0;    // only draws held by this moment; 0: any
};
// Draws of the page that were left out (the stored draws of the newest day, which every window
// asks for again, are not counted).
struct TResultsSkipped {
    int OutsideWindow = 0;   // rows dated before or after the asked dates
    int NotNewer = 0;        // not later than the newest stored draw
    int Repeated = 0;        // a key stored further back, or one the page gave already
    int BadCell = 0;         // a result that is not two digits 0..9
    int NotHeld = 0;         // a draw whose time of day is still ahead of the clock
    int LaterThanAsked = 0;  // of OutsideWindow, the rows dated after the asked dates
    // Draws got but not stored, as the site would not give the days MissingFrom .. MissingTo
    // (yyyymmdd) before them: no draw is stored ahead of one the site may still hold.
    int AfterMissing = 0;
    int MissingFrom = 0;
    int MissingTo = 0;
    // The requests of the window when it stopped at their bound with those days asked for and
    // not given; 0 when the site listed other days instead.
    int MissingAtBound = 0;
    int Total() const { return OutsideWindow + NotNewer + Repeated + BadCell + NotHeld + AfterMissing; }
};

// The draws of the table rows that are not stored yet, in draw order (by date, midday before
// evening) whatever order the page lists them in, numbered on from the archive: from its
// count or, when the numbers ran ahead of the count (draws deleted or skipped), from its
// newest number. A row is read only when its date cell is a date "mm/dd/yyyy". Empty cells
// and "-" (a draw not held yet) are passed over quietly, and so is a draw whose key is among
// the newest four stored ones; any other cell must be two words split by "-", each one digit
// 0..9 (blanks around them aside), or it is counted as a bad cell. A draw whose key the page
// offered before or the archive holds further back is counted as repeated (the archive never
// holds one key twice); the rest are taken when the window lets them in (counted in skipped
// when not). listedDays receives the day (yyyymmdd) of every row within the window, whatever its
// cells hold: the days the page gave.
TDrawsArray ParseResultsTable(const QString& table, const TDrawsArray& stored, const TResultsWindow& window = {},
                              TResultsSkipped* skipped = nullptr, std::vector<int>* listedDays = nullptr);
