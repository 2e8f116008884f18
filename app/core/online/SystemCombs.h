#pragma once

// The local cache of systems: the folder "Systems" beside the program, the names of its files,
// and turning a cached system into combinations of the player's own numbers.
//
// A system file holds one combination per line as two 1-based indexes into the player's
// numbers ("2 5" plays the second and the fifth number).

#include "engine/KelmaUtils.h"

#include <QString>
#include <QStringList>

// Length of the combinations systems are made for.
inline constexpr int SystemCombLength = 2;

// The largest system file read, cached or chosen by the player: a system pairs a handful of
// numbers, some tens of lines of a few bytes each.
inline constexpr qint64 MaxSystemFileBytes = 1024 * 1024;

// "<program folder>/Systems".
QString SystemCacheFolder(const QString& programFolder);
// "2-05-1_0042.dat" for a system of 5 numbers, block 1 and id 42.
QString SystemCacheName(int nums, int olap, int id);
// The cache file of a system in the folder.
QString SystemCacheFileName(const QString& folder, int nums, int olap, int id);

// Characters that separate the two indexes of a system line.
QString SystemLineDelimiters();

// The file name patterns of the cached systems for a number count: "2-05-*_*.dat".
QString SystemCacheMask(int nums);

// A system's list as it is published: one line per combination, two indexes "%.2d %.2d".
struct TSystemList {
    QStringList Lines;
    int Nums = 0;     // the largest index used: the count of numbers the system plays
    int CSize = 0;    // the number of lines
};

// Tidies a typed or pasted list: every line trimmed; a line kept only when it splits into
// exactly two words that are whole numbers of at least 1 (an index 0 names none of the
// player's numbers), rewritten as the two numbers of two digits each, separated by a blank.
TSystemList NormalizeSystemList(const QString& text);

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
