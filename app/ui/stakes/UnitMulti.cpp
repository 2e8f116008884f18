#include "app/ui/stakes/UnitMulti.h"

#include "platform/ResString.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QSpinBox>

namespace {

const TResString SMultiCaption = RESSTR("FormMulti", "Добавление мультиставки");

} // namespace

TFormMulti::TFormMulti(QWidget* parent) : TStakeDialogBase(parent)
{
    setObjectName(QStringLiteral("FormMulti"));
    BuildControls();
    TranslateTexts();
    FitToContents();
}

void TFormMulti::BuildControls()
{
    auto* grid = NewClientGrid("layMulti", 12, 3);
    CreateDrawControls();
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
    TStakeDialogBase::TranslateTexts();
    setWindowTitle(LoadResString(SMultiCaption));
}

void TFormMulti::LoadMulti(std::int32_t drawNumber, int drawCount, const QString& comment)
{
    LoadDrawControls(drawNumber, drawCount, comment);
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
