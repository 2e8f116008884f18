#pragma once

#include "app/core/charts/GraphPoints.h"
#include "app/core/stakes/Ratings.h"

#include <QString>
#include <QStringList>

class TStakesFile;

// The stakes' graphs use the series colours thus: profit per draw green, mean profit per draw
// blue, running total red, matches expected by chance grey.

// How many of the latest checked draws the per-comment stake graphs cover.
inline constexpr int GraphLastDraws = 100;

// Every graph below raises Exception with the "more than one draw" text when there is nothing
// to draw, passes the stakes file's read errors on, and leaves the file's position where it
// found it. Damaged records (counts out of range) are passed over.

// The money result per draw number, for every record with a draw number of at least 0 (checked
// or not), the draws in the order they first occur in the file; per draw three points: its sum
// ("Суммарный профит ставок по тиражу", green, points and labels), the mean of all sums
// ("Среднее значение", blue, a bare line) and the running total ("Накопленное значение", red,
// points and labels).
TGraphPoints StakesProfitByDraws(TStakesFile& stakes);

// The checked stakes of the last GraphLastDraws checked draws whose comment is one of the
// given ones (letter case ignored): per stake a point at its draw number, its matched count
// (profits false) or its balance (profits true), on the series titled with the given comment.
// Fewer than two such draws, or no comment, is nothing to draw.
TGraphPoints StakesByComments(TStakesFile& stakes, const QStringList& comments, bool profits);

// For m = 0, 1, 2 matched positions: the stakes expected to match m positions by chance
// ("Нормальные значения", grey, points without labels), scaled to the largest stake count of
// the selected ratings, then each selected rating's count of stakes with m matches. Rows
// outside the array are passed over; none left is nothing to draw.
TGraphPoints RatingsOverlap(const TRatingsArray& ratings, const QList<int>& selectedRows);
