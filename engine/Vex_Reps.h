#pragma once

#include "engine/KelmaFilters.h"

// Repeats: digits that come again at the same position across draws (group "rep").
//
// Every class loads the newest draw of the analysed range as its reference draw. An earlier
// draw that lies before the start of the archive reads as the empty draw 0,0, so the first
// draws of the archive are compared with zeroes.
//
// Positions are 0-based inside the code (0 = the first drawn digit).

// Digit v at a position counts when the draw `distance` back held there the reference
// draw's digit and the current draw repeats it; both earlier digits are shifted by `shift`
// (wrapped into 0..9) before they are compared.
class TCustomRepValues2Stat : public TCustomValuesStat {
public:
    TCustomRepValues2Stat(const TStatClass& cls, const TStatList& list, int param, int shift,
                          int distance);

    int ValueShift() const { return FShift; }
    int DrawDistance() const { return FDistance; }   // 1 = the previous draw

    // Pre-fills the two digits of the newest draw, shifted.
    void InitValues(int last, TStatDrawArray& table) override;
    int AddDraw(int index, int last, bool sorted, TStatDrawArray& table, TStatScratch& scratch,
                TLastValueArray& lastValues) override;
    // True when a digit of the combination is one of the selected digits.
    bool Test(TCombWord comb, const TStatDrawArray& selected, int last, bool sorted,
              bool exclude) override;

private:
    int FShift;
    int FDistance;
};

// Number of positions (0, 1 or 2) at which a draw repeats the draw `distance` back,
// shifted by `shift`; one value per draw.
class TCustomRepCount2Stat : public TCustomNumbersStat {
public:
    TCustomRepCount2Stat(const TStatClass& cls, const TStatList& list, int param, int shift,
                         int distance);

    int ValueShift() const { return FShift; }
    int DrawDistance() const { return FDistance; }

    // Pre-fills the counts 1 and 2; a count of 0 appears once a draw has it.
    void InitValues(int last, TStatDrawArray& table) override;
    int AddDraw(int index, int last, bool sorted, TStatDrawArray& table, TStatScratch& scratch,
                TLastValueArray& lastValues) override;
    // The combination taken as the draw that follows the newest one.
    bool Test(TCombWord comb, const TStatDrawArray& selected, int last, bool sorted,
              bool exclude) override;

private:
    int FShift;
    int FDistance;
};

// Digits over three draws in a row: with `atMostTwo` off, a digit that the current draw,
// the two draws before it and the reference draw all hold at a position; with it on, a
// digit held by the current draw, the previous one and the reference draw but not by the
// draw two back.
class TRepValues3Stat : public TCustomValuesStat {
public:
    TRepValues3Stat(const TStatClass& cls, const TStatList& list, int param, bool atMostTwo);

    void InitValues(int last, TStatDrawArray& table) override;
    int AddDraw(int index, int last, bool sorted, TStatDrawArray& table, TStatScratch& scratch,
                TLastValueArray& lastValues) override;
    bool Test(TCombWord comb, const TStatDrawArray& selected, int last, bool sorted,
              bool exclude) override;

private:
    bool FAtMostTwo;
};

// Number of positions repeated over three draws in a row (`atMostTwo` off), or repeated
// from the previous draw but not from the draw two back (`atMostTwo` on).
class TRepCount3Stat : public TCustomNumbersStat {
public:
    TRepCount3Stat(const TStatClass& cls, const TStatList& list, int param, bool atMostTwo);

    void InitValues(int last, TStatDrawArray& table) override;
    int AddDraw(int index, int last, bool sorted, TStatDrawArray& table, TStatScratch& scratch,
                TLastValueArray& lastValues) override;
    bool Test(TCombWord comb, const TStatDrawArray& selected, int last, bool sorted,
              bool exclude) override;

private:
    bool FAtMostTwo;
};

extern const TStatClass TstRepValues2Class;
extern const TStatClass TstRepValues3Class;
extern const TStatClass TstRepValues2B3Class;
extern const TStatClass TstRepValues2over1Class;
extern const TStatClass TstRepValues2over2Class;
extern const TStatClass TstRepValues2over3Class;
extern const TStatClass TstRepValues2P1Class;
extern const TStatClass TstRepValues2N1Class;
extern const TStatClass TstRepValues2P2Class;
extern const TStatClass TstRepValues2N2Class;
extern const TStatClass TstRepCount2Class;
extern const TStatClass TstRepCount3Class;
extern const TStatClass TstRepCount2B3Class;
extern const TStatClass TstRepCount2over1Class;
extern const TStatClass TstRepCount2over2Class;
extern const TStatClass TstRepCount2over3Class;
extern const TStatClass TstRepCount2P1Class;
extern const TStatClass TstRepCount2N1Class;
extern const TStatClass TstRepCount2P2Class;
extern const TStatClass TstRepCount2N2Class;

// Value and count classes over two draws: base, descriptor, shift, distance.
using TstRepValues2 = TBoundStat<TCustomRepValues2Stat, TstRepValues2Class, 0, 1>;
using TstRepValues2over1 = TBoundStat<TCustomRepValues2Stat, TstRepValues2over1Class, 0, 2>;
using TstRepValues2over2 = TBoundStat<TCustomRepValues2Stat, TstRepValues2over2Class, 0, 3>;
using TstRepValues2over3 = TBoundStat<TCustomRepValues2Stat, TstRepValues2over3Class, 0, 4>;
using TstRepValues2P1 = TBoundStat<TCustomRepValues2Stat, TstRepValues2P1Class, 1, 1>;
using TstRepValues2N1 = TBoundStat<TCustomRepValues2Stat, TstRepValues2N1Class, -1, 1>;
using TstRepValues2P2 = TBoundStat<TCustomRepValues2Stat, TstRepValues2P2Class, 2, 1>;
using TstRepValues2N2 = TBoundStat<TCustomRepValues2Stat, TstRepValues2N2Class, -2, 1>;

using TstRepCount2 = TBoundStat<TCustomRepCount2Stat, TstRepCount2Class, 0, 1>;
using TstRepCount2over1 = TBoundStat<TCustomRepCount2Stat, TstRepCount2over1Class, 0, 2>;
using TstRepCount2over2 = TBoundStat<TCustomRepCount2Stat, TstRepCount2over2Class, 0, 3>;
using TstRepCount2over3 = TBoundStat<TCustomRepCount2Stat, TstRepCount2over3Class, 0, 4>;
using TstRepCount2P1 = TBoundStat<TCustomRepCount2Stat, TstRepCount2P1Class, 1, 1>;
using TstRepCount2N1 = TBoundStat<TCustomRepCount2Stat, TstRepCount2N1Class, -1, 1>;
using TstRepCount2P2 = TBoundStat<TCustomRepCount2Stat, TstRepCount2P2Class, 2, 1>;
using TstRepCount2N2 = TBoundStat<TCustomRepCount2Stat, TstRepCount2N2Class, -2, 1>;

// Classes over three draws: base, descriptor, "not in the draw two back".
using TstRepValues3 = TBoundStat<TRepValues3Stat, TstRepValues3Class, false>;
using TstRepValues2B3 = TBoundStat<TRepValues3Stat, TstRepValues2B3Class, true>;
using TstRepCount3 = TBoundStat<TRepCount3Stat, TstRepCount3Class, false>;
using TstRepCount2B3 = TBoundStat<TRepCount3Stat, TstRepCount2B3Class, true>;
