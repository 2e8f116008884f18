#pragma once

#include "app/core/stakes/RegularStakes.h"
#include "support/ui/TmplDialogSimple.h"

#include <QStringList>

class QLabel;
class QLineEdit;
class QRadioButton;
class QSpinBox;

// The dialog of a regular stake: a fixed start combination or the previous draw, the name and
// the step. The record's stakes-made field tells how many combinations are selected: only with
// exactly one can the start combination be typed; with several, one rule is made per
// combination. OK is accepted only for a typed combination of two digits 0..9 (when it can be
// typed) and a name that is neither empty nor one of the names already in use.
class TFormTable : public TDialogSTemplate {
    Q_OBJECT

public:
    static constexpr int MaxCommentLength = 64;

    explicit TFormTable(QWidget* parent = nullptr);

    // Fills the controls from the record; the names are those the new one must not repeat.
    void LoadTable(const TTableRec& rec, const QStringList& comments);
    // Writes the name, the use-last-draw flag, the step and (when it could be typed) the start
    // combination into the record (call after an accepted OK).
    void StoreTable(TTableRec& rec) const;

    QRadioButton* rbUseMyComb = nullptr;
    QRadioButton* rbUseLastDraw = nullptr;
    QLineEdit* edCombStart = nullptr;
    QLineEdit* edComment = nullptr;
    QSpinBox* edStep = nullptr;

public slots:
    void accept() override;

protected:
    void changeEvent(QEvent* event) override;

private:
    void TranslateTexts();
    void UpdateControls();
    bool CombTyped() const;

    QLabel* FCommentLabel = nullptr;
    QLabel* FStepLabel = nullptr;
    QStringList FComments;
    bool FSingleComb = false;   // exactly one combination selected
};

// Shows the dialog over the record; true on OK with the record updated.
bool EditTableStake(QWidget* owner, const QStringList& comments, TTableRec& rec);
