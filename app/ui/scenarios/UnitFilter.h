#pragma once

#include "app/core/scenarios/ScriptDialogs.h"
#include "app/ui/stats/WeightEdits.h"
#include "support/ui/TmplDialogSimple.h"

#include <array>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QSpinBox;
class TRFloatEdit;

// The dialog of one filter step of a scenario line: the method and its draws lengths, the
// column the table is sorted by, the walk's direction, what happens to the selected rows, the
// rule that selects them (with the step's own weights for the "Вес" rules) and when the walk
// stops. OK keeps the dialog open, with an error box, until the step can be run.
class TFormFilter : public TDialogSTemplate {
    Q_OBJECT

public:
    explicit TFormFilter(const TFilterDialogContext& context, QWidget* parent = nullptr);

    // A record without a filter keeps the presets of the context.
    void LoadFilterItem(const TFilterItem& item);
    // The record the controls describe.
    TFilterItem FilterItem() const;

    QComboBox* cbDrawsStatType = nullptr;
    QLineEdit* edDrawsLen = nullptr;
    QComboBox* cbDrawsSortOrder = nullptr;
    QComboBox* cbDirection = nullptr;
    QComboBox* cbFilterMode = nullptr;
    QCheckBox* cbMultiSelect = nullptr;
    QComboBox* cbLevelMode = nullptr;
    QLineEdit* edLevelValue = nullptr;
    QGroupBox* gbCoefficients = nullptr;
    QCheckBox* cbCDLOverride = nullptr;
    TWeightEdits Weights;
    QComboBox* cbStopMode = nullptr;
    QSpinBox* edStopValue = nullptr;

public slots:
    void accept() override;

protected:
    void changeEvent(QEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void BuildControls();
    void TranslateTexts();
    void SetPresets();
    void SetWeights(const TStatWeights& weights);
    // The weight override only for the "Вес" rules; the weights only while it is on.
    void UpdateEnabling();
    void FitToContents();

    TFilterDialogContext FContext;
    // The captions of the controls, in the order of the dialog (see the .cpp).
    std::array<QLabel*, 12> FLabels{};
};

// Shows the filter dialog over the record; true and the record rebuilt from the controls on OK.
bool EditFilterItem(QWidget* owner, TFilterItem& item, const TFilterDialogContext& context);

// The context of the filter dialog from the main window's method chooser (each entry holding
// its method's index in the engine), its draws length and the engine's weights.
TFilterDialogContext FilterDialogContext(const QComboBox& methods, const TStatList& list, int drawsLen);
