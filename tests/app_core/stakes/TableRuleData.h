#pragma once

#include "app/core/stakes/RegularStakes.h"
#include "tests/common/TestHelpers.h"

// A regular stake rule that starts at, and stands on, d1;d2.
inline TTableRec Rule(const char* name, int d1, int d2, int step, bool useLastDraw = false, int made = 0)
{
    TTableRec rec;
    rec.Comment.Set(U(name));
    rec.UseLastDraw = useLastDraw;
    rec.StartComb = C(d1, d2);
    rec.CurrComb = C(d1, d2);
    rec.Step = step;
    rec.StakesMade = made;
    return rec;
}
