#pragma once

#include "engine/KelmaUtils.h"

#include <QString>

class QCheckBox;
class QGroupBox;
class TRFloatEdit;

// The editors of the statistics table's weight coefficients, as the settings dialog and the
// filter step dialog show them: the three weights (count, deviation, depth) and the two switches
// (values in %, absolute values). Each dialog lays them out in its own way.
struct TWeightEdits {
    TRFloatEdit* Count = nullptr;
    TRFloatEdit* Deviation = nullptr;
    TRFloatEdit* Level = nullptr;
    QCheckBox* Percents = nullptr;
    QCheckBox* Abs = nullptr;

    // The five editors in the group box, named edCoefCount, edCoefDeviation, edCoefLevel,
    // cbCoefPercents and cbCoefAbs, the weights shown in the display format.
    static TWeightEdits Create(QGroupBox* group, const QString& format);

    void Set(const TStatWeights& weights) const;
    // The weights the editors hold; a weight still being typed counts as its edit would take it
    // on leaving.
    TStatWeights Get() const;
    // Takes the text typed in the weight edit that has the focus as its value: a dialog does so
    // before it closes, since a closed dialog's edits no longer have the focus.
    void TakeTypedValues() const;
};
