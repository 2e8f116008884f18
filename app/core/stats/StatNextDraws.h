#pragma once

#include "engine/KelmaFilters.h"

#include <vector>

// The next occurrence of the values of a statistics table: for each value seen in the window
// ending at draw `last`, the number of the first draw after the value's last draw that has
// it again, searched to the end of the archive (the statistics table's "Факт" column).
//
// A value's search starts at the index after its last draw (looked up by number, as
// FindDrawByNumber finds it) and asks TCustomStat::FindDraw; a value whose hit count is not
// above 0 is not searched. Results are draw numbers, -1 for none.

// One FindDraw per value: each search runs from its own start to the end of the archive.
std::vector<int> FindNextDrawsPerValue(TCustomStat& stat, const TDrawsArray& draws,
                                       const TStatDrawArray& values, int last, bool sorted);

// The same results from one forward walk over the draws that all searches share. A class
// whose draw keys depend on the draw alone (TRecurrence::PerDraw) needs no step inside the
// window for a value whose last draw lies where its age says: no draw between that one and
// `last` has the value, so its search starts after the window. Searches that start elsewhere,
// and those of classes with run state, walk in step from their own starts and are merged once
// their run tables agree, from where on they cannot differ.
std::vector<int> FindNextDraws(TCustomStat& stat, const TDrawsArray& draws,
                               const TStatDrawArray& values, int last, bool sorted);
