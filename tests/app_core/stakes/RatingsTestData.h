#pragma once

#include "engine/KelmaUtils.h"
#include "tests/common/TestHelpers.h"

#include <QStringList>

#include <array>
#include <cstdint>

// A rating whose matched total follows from its counters.
inline TRatingRec Rating(const char* comment, std::int32_t stakes, std::array<std::int32_t, 3> counts,
                         std::int64_t balanceRaw)
{
    TRatingRec r;
    r.Comment = U(comment);
    r.Stakes = stakes;
    r.MatchCounts = counts;
    r.Matched = counts[1] + 2 * counts[2];
    r.Balance = TCurrency::FromRaw(balanceRaw);
    return r;
}

inline QStringList Comments(const TRatingsArray& ratings)
{
    QStringList out;
    for (const TRatingRec& r : ratings)
        out << r.Comment;
    return out;
}
