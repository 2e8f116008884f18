#pragma once

#include "support/ui/TmplDialogSimple.h"

class QLabel;
class QSpinBox;

// Asks how many of the newest draws a test runs over: from 1 to the largest value the caller
// allows, 10 to start with (or the largest, when that is smaller).
class TFormTestCnt : public TDialogSTemplate {
    Q_OBJECT

public:
    explicit TFormTestCnt(QWidget* parent = nullptr);

    void SetLargest(int largest);
    int TestCount() const;

    QSpinBox* edTestCount = nullptr;

protected:
    void changeEvent(QEvent* event) override;

private:
    void TranslateTexts();

    QLabel* FLabel = nullptr;
};

// The count chosen, or 0 on Cancel; 0 at once, without a dialog, when largest is below 1.
int AskTestCount(QWidget* owner, int largest);
