#pragma once

#include "engine/KelmaFilters.h"

// Sub-combinations of the digits of a draw: choices of k digits taken from any positions,
// from neighbouring positions, from a given start position, or in ascending order. A value
// is the tuple of digits, words 1..k of the key. With two digits per draw only k = 2 has
// anything to count; the larger sizes stay in the registry without an implementation.

class TCustomCombValuesStat : public TCustomStat {
public:
    TCustomCombValuesStat(const TStatClass& cls, const TStatList& list, int param, int size);
    QString ValueText(const TStatValueRec& value) const override;   // "3:7"

protected:
    int FSize;   // digits in one sub-combination
};

// The two-digit sub-combinations. Every way of taking them yields one pair per draw; the
// ways differ only in which pair that is.
class TCombPairStat
    : public TCombKeysStat<TCustomCombValuesStat, TKeyMatch::Whole, TCombRows::None> {
public:
    enum class TPairKind { AnyPositions, Neighbours, FromPosition, Ascending };

    TCombPairStat(const TStatClass& cls, const TStatList& list, int param, TPairKind kind);

protected:
    // No key when the start position leaves no pair.
    void KeysOf(TCombWord comb, TStatKeys& keys) const override;

private:
    TPairKind FKind;
};

class TstCombValMix2 : public TCombPairStat {
public:
    TstCombValMix2(const TStatList& list, int param);
};

class TstCombValSeq2 : public TCombPairStat {
public:
    TstCombValSeq2(const TStatList& list, int param);
};

// Param: the start position (1-based).
class TstCombValPos2 : public TCombPairStat {
public:
    TstCombValPos2(const TStatList& list, int param);
};

class TstCombValSort2 : public TCombPairStat {
public:
    TstCombValSort2(const TStatList& list, int param);
};

extern const TStatClass TstCombValMix2Class;
extern const TStatClass TstCombValMix3Class;
extern const TStatClass TstCombValMix4Class;
extern const TStatClass TstCombValSeq2Class;
extern const TStatClass TstCombValSeq3Class;
extern const TStatClass TstCombValSeq4Class;
extern const TStatClass TstCombValPos2Class;
extern const TStatClass TstCombValPos3Class;
extern const TStatClass TstCombValPos4Class;
extern const TStatClass TstCombValSort2Class;
extern const TStatClass TstCombValSort3Class;
extern const TStatClass TstCombValSort4Class;
