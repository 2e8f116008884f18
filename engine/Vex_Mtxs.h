#pragma once

#include "engine/KelmaFilters.h"

// The draw matrix: the digits 0..9 laid out in rows of MatrixCols columns (digit d in row
// d div MatrixCols + 1, column d mod MatrixCols + 1). For this game only the pair classes
// are offered; the other matrix classes stay in the registry without an implementation.

class TCustomMatrixStat : public TCustomNumbersStat {
public:
    TCustomMatrixStat(const TStatClass& cls, const TStatList& list, int param);

protected:
    // 1..MatrixCols and 1..MatrixValues; 0 for a value that is not a digit.
    int ColumnOf(int digit) const { return DigitMatrixCol(digit, FMatrixCols); }
    int RowOf(int digit) const { return DigitMatrixRow(digit, FMatrixCols); }

    int FMatrixCols;     // 1..MatrixValues
    int FMatrixValues;   // number of digit values
};

// KFM2, KFS2, KRM2, KRS2: the pair (column or row of position 1, that of position 2) of a
// draw. With two positions "all positions" and "neighbouring positions" give the same pair.
// Their combination tables stay empty, as for every pair statistic.
class TMatrixPairStat
    : public TCombKeysStat<TCustomMatrixStat, TKeyMatch::Whole, TCombRows::None> {
public:
    TMatrixPairStat(const TStatClass& cls, const TStatList& list, int param, bool byRows);
    QString ValueText(const TStatValueRec& value) const override;   // "1:3"

protected:
    void KeysOf(TCombWord comb, TStatKeys& keys) const override;

private:
    int CellOf(int digit) const;

    bool FByRows;
};

class TstCombColMix2 : public TMatrixPairStat {
public:
    TstCombColMix2(const TStatList& list, int param);
};

class TstCombColSeq2 : public TMatrixPairStat {
public:
    TstCombColSeq2(const TStatList& list, int param);
};

class TstCombRowMix2 : public TMatrixPairStat {
public:
    TstCombRowMix2(const TStatList& list, int param);
};

class TstCombRowSeq2 : public TMatrixPairStat {
public:
    TstCombRowSeq2(const TStatList& list, int param);
};

// Parameter ranges of the one-column and one-row counts: 1..MatrixCols (none below 1) and
// 1..the number of digit values.
void MatrixColParamRange(const TStatList& list, int& lo, int& hi);
void MatrixRowParamRange(const TStatList& list, int& lo, int& hi);

extern const TStatClass TstColumnsClass;
extern const TStatClass TstRowsClass;
extern const TStatClass TstColValuesClass;
extern const TStatClass TstRowValuesClass;
extern const TStatClass TstColCountClass;
extern const TStatClass TstRowCountClass;
extern const TStatClass TstColMaskClass;
extern const TStatClass TstRowMaskClass;
extern const TStatClass TstColAjacentClass;
extern const TStatClass TstRowAjacentClass;
extern const TStatClass TstColAjacentCntClass;
extern const TStatClass TstRowAjacentCntClass;
extern const TStatClass TstCombColMix2Class;
extern const TStatClass TstCombColMix3Class;
extern const TStatClass TstCombColMix4Class;
extern const TStatClass TstCombColSeq2Class;
extern const TStatClass TstCombColSeq3Class;
extern const TStatClass TstCombColSeq4Class;
extern const TStatClass TstCombRowMix2Class;
extern const TStatClass TstCombRowMix3Class;
extern const TStatClass TstCombRowMix4Class;
extern const TStatClass TstCombRowSeq2Class;
extern const TStatClass TstCombRowSeq3Class;
extern const TStatClass TstCombRowSeq4Class;
extern const TStatClass TstColValCntClass;
extern const TStatClass TstRowValCntClass;
