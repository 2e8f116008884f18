#pragma once

#include "engine/KelmaStakes.h"
#include "support/ui/TmplDialogSimple.h"

#include <cstdint>

class QLabel;
class QLineEdit;
class QSpinBox;

// What the stake and multi-stake dialogs share: the first draw, the number of consecutive draws
// and the comment, with their labels. OK is accepted only when the derived dialog's own fields
// pass, the comment is not empty and the last draw does not pass the largest draw number.
class TStakeDialogBase : public TDialogSTemplate {
    Q_OBJECT

public:
    static constexpr int MaxCommentLength = 64;
    static constexpr int MaxDrawsCount = 65535;

    QSpinBox* DrawNumberEdit() const { return FDrawNumber; }
    QLineEdit* CommentEdit() const { return FComment; }
    QSpinBox* DrawsCountEdit() const { return FDrawsCount; }
    // The values as OK hands them back; the comment as it is stored: without blanks at either
    // end.
    std::int32_t DrawNumber() const;
    int DrawCount() const;
    QString Comment() const;

public slots:
    void accept() override;

protected:
    explicit TStakeDialogBase(QWidget* parent);

    // The three shared editors and their labels on the client panel (the derived dialog lays
    // them out), and the values put into them: a draw number of at least 1, a count of 1 to
    // MaxDrawsCount.
    void CreateDrawControls();
    void LoadDrawControls(std::int32_t drawNumber, int drawCount, const QString& comment);
    // The derived dialog's own fields before the shared ones; false keeps the dialog open (the
    // derived dialog has told why).
    virtual bool AcceptOwnFields() { return true; }
    // The dialog's texts, again on a change of the interface language: here the shared labels;
    // a derived dialog adds its own after them.
    virtual void TranslateTexts();
    // Sizes the dialog to show every label and value in full, never below its designed width.
    void FitToContents();
    void changeEvent(QEvent* event) override;

    QLabel* FDrawNumberLabel = nullptr;
    QLabel* FDrawsCountLabel = nullptr;
    QLabel* FCommentLabel = nullptr;
    QSpinBox* FDrawNumber = nullptr;
    QSpinBox* FDrawsCount = nullptr;
    QLineEdit* FComment = nullptr;
};

// The dialog of one stake: the first draw, the staked digits as text with their sum beside
// them, the comment and the number of consecutive draws to stake on. OK is accepted only for
// a text of exactly two digits 0..9 besides the shared checks.
class TFormStake : public TStakeDialogBase {
    Q_OBJECT

public:
    explicit TFormStake(QWidget* parent = nullptr);

    // Fills the controls from the record and the draw count.
    void LoadStake(const TStakeRec& rec, int drawCount);
    // Writes the draw number, the comment and the staked digits into the record and the draw
    // count back (call after an accepted OK); every other field stays as it was.
    void StoreStake(TStakeRec& rec, int& drawCount) const;

    QLineEdit* StakeDataEdit() const { return FStakeData; }
    QLineEdit* StakeSumEdit() const { return FStakeSum; }

protected:
    bool AcceptOwnFields() override;
    void TranslateTexts() override;

private:
    void BuildControls();
    void UpdateSum();

    QLabel* FStakeDataLabel = nullptr;
    QLabel* FStakeSumLabel = nullptr;
    QLineEdit* FStakeData = nullptr;
    QLineEdit* FStakeSum = nullptr;
};

// A comment typed into a stake dialog as it is stored: without blanks at either end.
QString StakeCommentText(const QString& typed);

// Makes a comment editor wide enough to show a comment of the longest length in full (measured
// in a letter of middle width), so that a stake's comment is read without scrolling.
void FitCommentEdit(QLineEdit* edit, int maxLength);

// Shows the stake dialog over the record; true on OK with the record and draw count updated.
bool EditStakeData(QWidget* owner, TStakeRec& rec, int& drawCount);
