#include "app/ui/stats/WeightEdits.h"

#include "support/ui/QorFloatEdit.h"

#include <QCheckBox>
#include <QGroupBox>

TWeightEdits TWeightEdits::Create(QGroupBox* group, const QString& format)
{
    auto floatEdit = [&](const char* name) {
        auto* edit = new TRFloatEdit(group);
        edit->setObjectName(QLatin1String(name));
        edit->SetDisplayFormat(format);
        return edit;
    };
    auto check = [&](const char* name) {
        auto* box = new QCheckBox(group);
        box->setObjectName(QLatin1String(name));
        return box;
    };
    TWeightEdits edits;
    edits.Count = floatEdit("edCoefCount");
    edits.Deviation = floatEdit("edCoefDeviation");
    edits.Level = floatEdit("edCoefLevel");
    edits.Percents = check("cbCoefPercents");
    edits.Abs = check("cbCoefAbs");
    return edits;
}

void TWeightEdits::Set(const TStatWeights& weights) const
{
    Count->SetValue(weights.Count);
    Deviation->SetValue(weights.Deviation);
    Level->SetValue(weights.Level);
    Percents->setChecked(weights.UsePercents);
    Abs->setChecked(weights.UseAbsValues);
}

TStatWeights TWeightEdits::Get() const
{
    TakeTypedValues();
    TStatWeights weights;
    weights.Count = Count->Value();
    weights.Deviation = Deviation->Value();
    weights.Level = Level->Value();
    weights.UsePercents = Percents->isChecked();
    weights.UseAbsValues = Abs->isChecked();
    return weights;
}

void TWeightEdits::TakeTypedValues() const
{
    for (TRFloatEdit* edit : {Count, Deviation, Level})
        if (edit->hasFocus())
            edit->TextToValue();
}
