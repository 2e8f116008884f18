#pragma once

#include "support/ui/TmplDialogSimple.h"

class QComboBox;
class QLabel;
class QSpinBox;

// The dialog that asks which stakes to delete: a comparison and the number of matches it
// compares the stakes' matched count with.
class TFormStakeFilter : public TDialogSTemplate {
    Q_OBJECT

public:
    // Conditions 0..4: equal, greater, not less, less, not greater.
    static constexpr int ConditionCount = 5;
    // A stake matches at most both digits of its combination.
    static constexpr int MaxMatches = 2;

    explicit TFormStakeFilter(QWidget* parent = nullptr);

    void LoadCondition(int condition, int value);
    int Condition() const;
    int Value() const;

    QComboBox* ConditionBox() const { return FCondition; }
    QSpinBox* ValueEdit() const { return FValue; }

protected:
    void changeEvent(QEvent* event) override;

private:
    void BuildControls();
    void TranslateTexts();
    void FitToContents();

    QLabel* FConditionLabel = nullptr;
    QComboBox* FCondition = nullptr;
    QSpinBox* FValue = nullptr;
};

// Shows the dialog starting from the condition and value given; true on OK with the chosen
// condition (0..4) and value (0..2).
bool AskStakeCondition(QWidget* owner, int& condition, int& value);
