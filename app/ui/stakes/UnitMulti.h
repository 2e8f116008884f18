#pragma once

#include "app/ui/stakes/UnitStake.h"

#include <cstdint>

// The dialog of stakes for several combinations at once: the first draw, the comment and the
// number of consecutive draws, with the shared checks of the stake dialogs on OK.
class TFormMulti : public TStakeDialogBase {
    Q_OBJECT

public:
    explicit TFormMulti(QWidget* parent = nullptr);

    void LoadMulti(std::int32_t drawNumber, int drawCount, const QString& comment);

protected:
    void TranslateTexts() override;

private:
    void BuildControls();
};

// Shows the dialog; true on OK with the draw number, draw count and comment as entered.
bool EditMultiStake(QWidget* owner, std::int32_t& drawNumber, int& drawCount, QString& comment);
