#pragma once

#include "support/ui/TmplDialogSimple.h"

#include <cstdint>

class QLabel;
class QLineEdit;
class QSpinBox;

// The dialog of stakes for several combinations at once: the first draw, the comment and the
// number of consecutive draws. OK is accepted only with a comment and a last draw that does not
// pass the largest draw number.
class TFormMulti : public TDialogSTemplate {
    Q_OBJECT

public:
    static constexpr int MaxCommentLength = 64;
    static constexpr int MaxDrawsCount = 65535;

    explicit TFormMulti(QWidget* parent = nullptr);

    void LoadMulti(std::int32_t drawNumber, int drawCount, const QString& comment);
    // The values as OK hands them back.
    std::int32_t DrawNumber() const;
    int DrawCount() const;
    QString Comment() const;

    QSpinBox* DrawNumberEdit() const { return FDrawNumber; }
    QLineEdit* CommentEdit() const { return FComment; }
    QSpinBox* DrawsCountEdit() const { return FDrawsCount; }

public slots:
    void accept() override;

protected:
    void changeEvent(QEvent* event) override;

private:
    void BuildControls();
    void TranslateTexts();
    void FitToContents();

    QLabel* FDrawNumberLabel = nullptr;
    QLabel* FDrawsCountLabel = nullptr;
    QLabel* FCommentLabel = nullptr;
    QSpinBox* FDrawNumber = nullptr;
    QSpinBox* FDrawsCount = nullptr;
    QLineEdit* FComment = nullptr;
};

// Shows the dialog; true on OK with the draw number, draw count and comment as entered.
bool EditMultiStake(QWidget* owner, std::int32_t& drawNumber, int& drawCount, QString& comment);
