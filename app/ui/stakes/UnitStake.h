#pragma once

#include "engine/KelmaStakes.h"
#include "support/ui/TmplDialogSimple.h"

class QLabel;
class QLineEdit;
class QSpinBox;

// The dialog of one stake: the first draw, the staked digits as text with their sum beside
// them, the comment and the number of consecutive draws to stake on. OK is accepted only for
// a text of exactly two digits 0..9, a comment that is not empty and a last draw that does not
// pass the largest draw number.
class TFormStake : public TDialogSTemplate {
    Q_OBJECT

public:
    static constexpr int MaxCommentLength = 64;
    static constexpr int MaxDrawsCount = 65535;

    explicit TFormStake(QWidget* parent = nullptr);

    // Fills the controls from the record and the draw count.
    void LoadStake(const TStakeRec& rec, int drawCount);
    // Writes the draw number, the comment and the staked digits into the record and the draw
    // count back (call after an accepted OK); every other field stays as it was.
    void StoreStake(TStakeRec& rec, int& drawCount) const;

    QSpinBox* DrawNumberEdit() const { return FDrawNumber; }
    QLineEdit* StakeDataEdit() const { return FStakeData; }
    QLineEdit* StakeSumEdit() const { return FStakeSum; }
    QLineEdit* CommentEdit() const { return FComment; }
    QSpinBox* DrawsCountEdit() const { return FDrawsCount; }
    // The comment as it is stored: without blanks at either end.
    QString Comment() const;

public slots:
    void accept() override;

protected:
    void changeEvent(QEvent* event) override;

private:
    void BuildControls();
    void TranslateTexts();
    void UpdateSum();
    // Sizes the dialog to show every label and value in full, never below its designed width.
    void FitToContents();

    QLabel* FDrawNumberLabel = nullptr;
    QLabel* FDrawsCountLabel = nullptr;
    QLabel* FStakeDataLabel = nullptr;
    QLabel* FStakeSumLabel = nullptr;
    QLabel* FCommentLabel = nullptr;
    QSpinBox* FDrawNumber = nullptr;
    QSpinBox* FDrawsCount = nullptr;
    QLineEdit* FStakeData = nullptr;
    QLineEdit* FStakeSum = nullptr;
    QLineEdit* FComment = nullptr;
};

// A comment typed into a stake dialog as it is stored: without blanks at either end.
QString StakeCommentText(const QString& typed);

// Makes a comment editor wide enough to show a comment of the longest length in full (measured
// in a letter of middle width), so that a stake's comment is read without scrolling.
void FitCommentEdit(QLineEdit* edit, int maxLength);

// Shows the stake dialog over the record; true on OK with the record and draw count updated.
bool EditStakeData(QWidget* owner, TStakeRec& rec, int& drawCount);
