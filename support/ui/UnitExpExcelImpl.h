#pragma once

// Shared inside the UnitExpExcel unit only: the dialog built and the dialog's choices.

#include "support/ui/RListItems.h"
#include "support/ui/UnitExpExcel.h"

// A column list row's record: the source column and its alignment code.
struct TFormExpExcel::TFieldData : TRItemData {
    int AlignCode = kExpAlignLeft;

    TFieldData(int sourceIndex, int alignCode) : TRItemData(sourceIndex), AlignCode(alignCode) {}
};

// Sub-items of a column list row.
inline constexpr int kSubAlign = 0;
inline constexpr int kSubWidth = 1;
inline constexpr int kSubSource = 2;
