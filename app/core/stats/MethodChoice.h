#pragma once

#include "engine/KelmaStatList.h"

#include <QString>

#include <vector>

// The methods the user may choose for a statistics table (the statistics page and a scenario's
// filter steps) and for the draws graph: available, with a table, among the favourites, and for
// the graph also graph methods.
enum class TMethodUse { Table, Graph };

bool OffersMethod(const TStatList& list, int index, TMethodUse use);

// One entry of a method list: the caption with its flag letters and the method's index in the
// engine.
struct TMethodEntry {
    QString Caption;
    int Index = 0;
};

// The offered methods in registry order, or by caption when the engine orders them (Ordered).
std::vector<TMethodEntry> OfferedMethods(const TStatList& list, TMethodUse use);
