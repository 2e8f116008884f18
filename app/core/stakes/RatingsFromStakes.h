#pragma once

#include "app/core/stakes/Ratings.h"

class TStakesFile;

// The stakes of the open stakes file as the ratings refresh reads them: every record from the
// start, in file order, of which the checked stakes with a draw number of at least 0 and sound
// counts reach the sink. A damaged record (counts out of range) is never rated; an unchecked
// stake has nothing to rate yet. A read error passes on, so the refresh keeps the old ratings.
// The source reads the file each time it is called; the file must outlive it.
TCheckedStakeSource CheckedStakesOf(TStakesFile& file);
// The same for the checked stakes that carry a rating mark (a check marked them and the
// ratings file may not count them yet).
TCheckedStakeSource MarkedStakesOf(TStakesFile& file);
