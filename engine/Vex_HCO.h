#pragma once

#include "engine/KelmaFilters.h"

// Ognev characteristic numbers of a draw (OgnevValues): HCO1 the plain difference of the
// two digits, HCO2 the difference with 0 and 1 replaced by the sum, HCO3 a filter that
// proposes digits for the draw after the newest one.

class TCustomOgnevGraphStat : public TCombNumberStat<TCustomGraphStat> {
public:
    TCustomOgnevGraphStat(const TStatClass& cls, const TStatList& list, int param, int mode);

    // The first Ognev number of the two digits in the class's mode.
    int NumberOf(TCombWord comb) const override;

private:
    int FMode;
};

class TstOgnev1 : public TCustomOgnevGraphStat {
public:
    TstOgnev1(const TStatList& list, int param);
};

class TstOgnev2 : public TCustomOgnevGraphStat {
public:
    TstOgnev2(const TStatList& list, int param);
};

// HCO3: only the newest draw of the range adds rows: its Ognev number v in mode 2 and the
// digits it proposes (multiples of v stepping down from v*v or v*v*v). When the archive
// holds the draw after the newest one, a row's hit count tells whether that draw had the
// digit; otherwise it is 0.
class TstOgnev3 : public TCustomStat {
public:
    TstOgnev3(const TStatList& list, int param);
    QString ValueText(const TStatValueRec& value) const override;   // "9 (1)"
    int AddDraw(int index, int last, bool sorted, TStatDrawArray& table, TStatScratch& scratch,
                TLastValueArray& lastValues) override;
    bool Test(TCombWord comb, const TStatDrawArray& selected, int last, bool sorted, bool exclude) override;
};

extern const TStatClass TstOgnev1Class;
extern const TStatClass TstOgnev2Class;
extern const TStatClass TstOgnev3Class;
