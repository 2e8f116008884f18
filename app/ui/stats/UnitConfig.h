#pragma once

#include "app/ui/stats/WeightEdits.h"
#include "engine/KelmaUtils.h"
#include "support/ui/TmplDialogSimple.h"

#include <QStringList>

#include <array>

class QCheckBox;
class QGroupBox;
class QLabel;
class QSpinBox;
class QTableWidget;
class TRFloatEdit;

// The engine settings dialog: the matrix size (fixed for this game), the channel size, the
// cost of a stake, the payout per number of matched positions, the weight coefficients of the
// statistics table and the segment of every digit at either position. OK is refused, with an
// error box, while a payout or the cost lies outside what the settings file keeps (0 to
// 10 000 000 units); a segment cell that does not hold 1..9 is replaced by 1 as soon as it is
// typed.
class TFormConfig : public TDialogSTemplate {
    Q_OBJECT

public:
    explicit TFormConfig(QWidget* parent = nullptr);

    void LoadConfig(const TConfigData& config);
    // The loaded record with the edited fields replaced (call after an accepted OK); the
    // matrix columns and the extended stake pass through as they were loaded.
    TConfigData Config() const;

    // The payout lines "k=amount" as the value list holds them.
    QStringList ProfitLines() const;

    QSpinBox* edMatrixCol = nullptr;
    QSpinBox* edMatrixRow = nullptr;
    QSpinBox* edChannelSize = nullptr;
    TRFloatEdit* edCost = nullptr;
    QSpinBox* edStakeMaxLen = nullptr;
    QTableWidget* edProfits = nullptr;
    QGroupBox* gbCoefficients = nullptr;
    TWeightEdits Weights;
    QTableWidget* sgSegments = nullptr;

public slots:
    void accept() override;

protected:
    void changeEvent(QEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void BuildControls();
    void TranslateTexts();
    void FitToContents();
    // Takes the text typed in a weight or cost edit that still has the focus as its value.
    void TakeTypedValues() const;
    // Replaces a segment cell's text that is not empty and not 1..9 by "1", with the message.
    void CheckSegmentText(QString& text);
    void SegmentItemChanged(int row, int column);

    TConfigData FConfig;
    bool FCheckingSegment = false;
    std::array<QLabel*, 9> FLabels{};
};

// Shows the settings dialog over the record; true and the record replaced on OK.
bool EditConfigData(QWidget* owner, TConfigData& config);
