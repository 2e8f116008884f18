#pragma once

#include "app/core/stats/MethodChoice.h"

#include <vector>

class QComboBox;

// Fills a method list with the entries (each holding its method's index as its data), without
// telling the box's listeners, and selects entry `index` when the list has more entries than
// that (-1: none).
void FillMethodBox(QComboBox& box, const std::vector<TMethodEntry>& entries, int index);
