#pragma once

#include "engine/KelmaFilters.h"

// Shredding methods: one of the user's three formulas (variables n1, n2 of the combination,
// p1, p2 of the draw before it and t1, t2 of the draw before that) evaluated per draw, of
// which a number of fraction digits is kept as the value (ShreddingValue).
//
// The value is kept in the whole first 32-bit word of the key, so that values of five
// digits and more do not wrap at 65536; values up to 65535 sit in word 1 as before.
class TstShreddingStat : public TCustomGraphStat {
public:
    TstShreddingStat(const TStatList& list, int param);
    QString ValueText(const TStatValueRec& value) const override;
    int ValueOf(TCombWord comb, int index, int last, bool sorted) override;
    int AddDraw(int index, int last, bool sorted, TStatDrawArray& table, TStatScratch& scratch,
                TLastValueArray& lastValues) override;
    // The previous draws of a combination are taken as 0,0.
    void AddCombination(TCombWord comb, TStatDrawArray& table) override;
    // The combination is taken as the draw after `last`.
    bool Test(TCombWord comb, const TStatDrawArray& selected, int last, bool sorted, bool exclude) override;

    const QString& Formula() const { return FFormula; }
    int Digits() const { return FDigits; }

private:
    // The formula's value for `comb` whose previous draw is `previous`.
    int ShreddingOf(TCombWord comb, int previous, bool sorted) const;

    QString FFormula;
    int FDigits;
    TShreddingFormula FShredding;   // the formula parsed once for the object's passes
};

void ShreddingParamRange(const TStatList& list, int& lo, int& hi);

extern const TStatClass TstShreddingStatClass;
