#pragma once

// The local cache of systems: the folder "Systems" beside the program, the names of its files,
// and turning a cached system into combinations of the player's own numbers.
//
// A system file holds one combination per line as two 1-based indexes into the player's
// numbers ("2 5" plays the second and the fifth number).

#include "engine/KelmaUtils.h"

#include <QString>

// Length of the combinations systems are made for.
inline constexpr int SystemCombLength = 2;

// "<program folder>/Systems".
QString SystemCacheFolder(const QString& programFolder);
// "2-05-1_0042.dat" for a system of 5 numbers, block 1 and id 42.
QString SystemCacheName(int nums, int olap, int id);
// The cache file of a system in the folder.
QString SystemCacheFileName(const QString& folder, int nums, int olap, int id);

// Characters that separate the two indexes of a system line.
QString SystemLineDelimiters();

// What reading a cached system gave.
struct TSystemCombs {
    TCombsArray Combs;
    QString FileName;       // the file read; empty when none was found
    int SkippedLines = 0;   // lines without two indexes within the player's numbers
    QString Error;          // why nothing could be staked; empty on success
};

// Reads the first cached system (in name order) for as many numbers as the player gave:
// every line whose first two words are indexes 1..n makes the combination of those two
// numbers; empty lines are passed over, other lines skipped and counted. True when at least
// one combination was made; otherwise Error tells why (no such system, or none of its lines
// could be used).
bool LoadSystemCombs(const QString& folder, const TByteArray& numbers, TSystemCombs& result);
