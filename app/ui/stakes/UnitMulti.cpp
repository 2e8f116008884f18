#include "app/ui/stakes/UnitMulti.h"

#include "app/core/stakes/StakeInput.h"
#include "app/ui/stakes/UnitStake.h"
#include "engine/KelmaMsg.h"
#include "platform/ResString.h"
#include "support/RDialogs.h"

#include <QEvent>
#include <QGridLayout>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QSpinBox>

#include <algorithm>

namespace {

const TResString SMultiCaption = RESSTR("FormMulti", "Добавление мультиставки");
const TResString SDrawNumber = RESSTR("FormMulti", "Номер тиража:");
const TResString SComment = RESSTR("FormMulti", "Комментарий к ставке:");
const TResString SDrawsCount = RESSTR("FormMulti", "Кол-во тиражей:");

// The least width the dialog takes; longer texts of another language make it wider.
constexpr int kDesignedWidth = 400;

} // namespace

TFormMulti::TFormMulti(QWidget* parent) : TDialogSTemplate(parent)
{
    setObjectName(QStringLiteral("FormMulti"));
    BuildControls();
    TranslateTexts();
    FitToContents();
}

void TFormMulti::BuildControls()
{
    QWidget* panel = ClientPanel();
    auto* grid = NewClientGrid("layMulti", 12, 3);

    FDrawNumber = new QSpinBox(panel);
    FDrawNumber->setObjectName(QStringLiteral("edDrawNumber"));
    FDrawNumber->setRange(1, MaxStakeDrawNumber);
    FDrawsCount = new QSpinBox(panel);
    FDrawsCount->setObjectName(QStringLiteral("edDrawsCount"));
    FDrawsCount->setRange(1, MaxDrawsCount);
    FComment = new QLineEdit(panel);
    FComment->setObjectName(QStringLiteral("edComment"));
    FComment->setMaxLength(MaxCommentLength);

    FDrawNumberLabel = NewBuddyLabel("lblDrawNumber", FDrawNumber);
    FDrawsCountLabel = NewBuddyLabel("lblDrawsCount", FDrawsCount);
    FCommentLabel = NewBuddyLabel("lblComment", FComment);

    grid->addWidget(FDrawNumberLabel, 0, 0);
    grid->addWidget(FDrawsCountLabel, 0, 1);
    grid->addWidget(FDrawNumber, 1, 0);
    grid->addWidget(FDrawsCount, 1, 1);
    grid->addWidget(FCommentLabel, 2, 0, 1, 2);
    grid->addWidget(FComment, 3, 0, 1, 2);
    grid->setColumnStretch(0, 1);
    grid->setColumnStretch(1, 1);
    grid->setRowMinimumHeight(2, 22);
    grid->setRowStretch(4, 1);

    setTabOrder(FDrawNumber, FDrawsCount);
    setTabOrder(FDrawsCount, FComment);
}

void TFormMulti::TranslateTexts()
{
    setWindowTitle(LoadResString(SMultiCaption));
    FDrawNumberLabel->setText(LoadResString(SDrawNumber));
    FDrawsCountLabel->setText(LoadResString(SDrawsCount));
    FCommentLabel->setText(LoadResString(SComment));
}

void TFormMulti::LoadMulti(std::int32_t drawNumber, int drawCount, const QString& comment)
{
    FDrawNumber->setValue(std::max<std::int32_t>(drawNumber, 1));
    FDrawsCount->setValue(std::clamp(drawCount, 1, MaxDrawsCount));
    FComment->setText(comment);
}

std::int32_t TFormMulti::DrawNumber() const
{
    return FDrawNumber->value();
}

int TFormMulti::DrawCount() const
{
    return FDrawsCount->value();
}

QString TFormMulti::Comment() const
{
    return StakeCommentText(FComment->text());
}

void TFormMulti::accept()
{
    if (Comment().isEmpty()) {
        ErrorBox(LoadResString(rsCommentRequired));
        FComment->setFocus();
        return;
    }
    if (!StakeDrawRangeFits(FDrawNumber->value(), FDrawsCount->value())) {
        ErrorBox(StakeDrawRangeError());
        FDrawsCount->setFocus();
        return;
    }
    TDialogSTemplate::accept();
}

void TFormMulti::FitToContents()
{
    FitCommentEdit(FComment, MaxCommentLength);
    FitToLayout(kDesignedWidth);
}

void TFormMulti::changeEvent(QEvent* event)
{
    const bool languageChange = event->type() == QEvent::LanguageChange;
    if (languageChange)
        TranslateTexts();
    TDialogSTemplate::changeEvent(event);
    if (languageChange)
        FitToContents();
}

bool EditMultiStake(QWidget* owner, std::int32_t& drawNumber, int& drawCount, QString& comment)
{
    TFormMulti form(owner);
    form.LoadMulti(drawNumber, drawCount, comment);
    if (form.exec() != QDialog::Accepted)
        return false;
    drawNumber = form.DrawNumber();
    drawCount = form.DrawCount();
    comment = form.Comment();
    return true;
}
