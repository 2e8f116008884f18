#pragma once

#include "engine/KelmaUtils.h"

#include <QString>

// The operator's results-search page: the request for a range of dates and the rows of its
// results table.

// The operator's results site, without a trailing '/'. The environment variable
// TAVRIX_OPERATOR_URL replaces it (tests point it at a local stand-in).
QString OperatorSiteUrl();
inline constexpr char OperatorSiteEnv[] = "TAVRIX_OPERATOR_URL";
inline constexpr char ResultsSearchPath[] = "/site/winningNumberSearch";

// The search address for the dates from .. to (yyyymmdd).
QString ResultsSearchUrl(int fromDate, int toDate);
// The body of the results table cut out of the page; empty when the page has no results
// section. A section or table that is not closed raises Exception.
QString ResultsTable(const QString& page);
// The draws of the table rows that are not stored yet, in page order (midday before evening
// within a row), numbered on from the stored count. A row is read only when its date cell is
// a date "mm/dd/yyyy"; a draw is taken when no draw with its key is among the newest four
// stored ones and its cell holds two digits 0..9 split by "-"; empty cells and "-" (a draw
// not held yet) are skipped.
TDrawsArray ParseResultsTable(const QString& table, const TDrawsArray& stored);
