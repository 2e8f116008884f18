#pragma once

#include "support/ui/TmplDialogSimple.h"

#include <array>

class QLabel;
class QLineEdit;
class QSpinBox;
class TStatList;

// The dialog of the three shredding formulas, each with the number of decimals it keeps, and
// a note on the variables a formula may use. The formulas are not tested here: one that does
// not evaluate fails where its method is computed. A number of decimals typed outside 1..5
// becomes the nearest of them.
class TFormShredding : public TDialogSTemplate {
    Q_OBJECT

public:
    static constexpr int FormulaCount = 3;

    explicit TFormShredding(QWidget* parent = nullptr);

    void LoadFormulas(const TStatList& list);
    // Stores the three formulas and their digits in the engine (call after an accepted OK).
    void StoreFormulas(TStatList& list) const;

    std::array<QLineEdit*, FormulaCount> edFormula{};
    std::array<QSpinBox*, FormulaCount> edDigits{};
    QLabel* lblInfo = nullptr;

public slots:
    void accept() override;

protected:
    void changeEvent(QEvent* event) override;

private:
    void BuildControls();
    void TranslateTexts();
    void FitToContents();

    std::array<QLabel*, FormulaCount> FLabels{};
};

// Shows the shredding dialog over the engine's formulas; true and the six values stored in the
// engine on OK.
bool EditShreddingFormulas(QWidget* owner, TStatList& list);
