#include "engine/Vex_SegmBase.h"

#include "engine/KelmaStatList.h"

#include <algorithm>

void SegmentParamRange(const TStatList& list, int& lo, int& hi)
{
    int smallest = DigitMax;
    int largest = 1;
    for (const auto& row : list.Config().MatrixSegments) {
        for (const std::uint8_t entry : row) {
            smallest = std::min<int>(smallest, entry);
            largest = std::max<int>(largest, entry);
        }
    }
    lo = smallest;
    hi = largest;
}
