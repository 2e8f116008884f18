#pragma once

#include "engine/KelmaFilters.h"
#include "engine/KelmaStatList.h"

#include <cstdint>

// Matrix segments: every digit has a segment number, separately for each position of a
// draw. The table is copied from the engine configuration when a statistic object is made,
// so a later change of the configuration does not reach an object that already exists.

// Segment of `digit` at `position` (1 or 2); 0 for a position or digit outside the table,
// which no configured segment uses.
inline int SegmentOfDigit(const TMatrixSegments& segments, int position, int digit)
{
    if (position < 1 || position > DrawDigits || digit < DigitMin || digit > DigitMax)
        return 0;
    return segments[static_cast<std::size_t>(position - 1)][static_cast<std::size_t>(digit - DigitMin)];
}

// Range of segment numbers that the table uses: the smallest entry (at most 9) .. the
// largest one (at least 1). Parametric methods over segments make one method per number.
void SegmentParamRange(const TStatList& list, int& lo, int& hi);

// The segment table copied from the configuration, over the base of the statistic's texts.
template <class Base>
class TSegmentsStat : public Base {
public:
    TSegmentsStat(const TStatClass& cls, const TStatList& list, int param)
        : Base(cls, list, param), FMatrixSegments(list.Config().MatrixSegments)
    {
    }

protected:
    int SegmentOf(int position, int digit) const { return SegmentOfDigit(FMatrixSegments, position, digit); }

    TMatrixSegments FMatrixSegments;
};

using TCustomSegmentsStat = TSegmentsStat<TCustomNumbersStat>;
using TCustomSegmentsGraphStat = TSegmentsStat<TCustomGraphStat>;
