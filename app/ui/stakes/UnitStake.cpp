#include "app/ui/stakes/UnitStake.h"

#include "app/core/stakes/StakeInput.h"
#include "engine/KelmaMsg.h"
#include "platform/ResString.h"
#include "support/RDialogs.h"

#include <QEvent>
#include <QFontMetrics>
#include <QGridLayout>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QSpinBox>

#include <algorithm>

namespace {

// The stake dialog's texts; among them the labels every stake dialog shares (the draw, the
// count, the comment).
const TResString SStakeCaption = RESSTR("FormStake", "Добавление ставки");
const TResString SDrawNumber = RESSTR("FormStake", "Номер тиража:");
const TResString SDrawNumberHint = RESSTR("FormStake", "Номер первого тиража");
const TResString SStakeData = RESSTR("FormStake", "Ставка:");
const TResString SStakeDataHint = RESSTR("FormStake", "Введите числа, разделенные точкой с запятой или запятой");
const TResString SComment = RESSTR("FormStake", "Комментарий к ставке:");
const TResString SDrawsCount = RESSTR("FormStake", "Кол-во тиражей:");
const TResString SDrawsCountHint = RESSTR(
    "FormStake", "Количество тиражей, на которые нужно сделать ставку (начиная с указанного)");
const TResString SStakeSum = RESSTR("FormStake", "Сумма:");

// The least width the dialog takes; longer texts of another language make it wider.
constexpr int kDesignedWidth = 400;

} // namespace

TStakeDialogBase::TStakeDialogBase(QWidget* parent) : TDialogSTemplate(parent) {}

void TStakeDialogBase::CreateDrawControls()
{
    QWidget* panel = ClientPanel();
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
}

void TStakeDialogBase::LoadDrawControls(std::int32_t drawNumber, int drawCount, const QString& comment)
{
    FDrawNumber->setValue(std::max<std::int32_t>(drawNumber, 1));
    FComment->setText(comment);
    FDrawsCount->setValue(std::clamp(drawCount, 1, MaxDrawsCount));
}

std::int32_t TStakeDialogBase::DrawNumber() const
{
    return FDrawNumber->value();
}

int TStakeDialogBase::DrawCount() const
{
    return FDrawsCount->value();
}

void TStakeDialogBase::TranslateTexts()
{
    FDrawNumberLabel->setText(LoadResString(SDrawNumber));
    FDrawsCountLabel->setText(LoadResString(SDrawsCount));
    FCommentLabel->setText(LoadResString(SComment));
}

QString TStakeDialogBase::Comment() const
{
    return StakeCommentText(FComment->text());
}

void TStakeDialogBase::accept()
{
    if (!AcceptOwnFields())
        return;
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

void TStakeDialogBase::FitToContents()
{
    FitCommentEdit(FComment, MaxCommentLength);
    // The dialog's layout keeps the panel's last size hint until told that it changed.
    FitToLayout(kDesignedWidth);
}

void TStakeDialogBase::changeEvent(QEvent* event)
{
    const bool languageChange = event->type() == QEvent::LanguageChange;
    if (languageChange)
        TranslateTexts();
    TDialogSTemplate::changeEvent(event);
    // Texts of another language have other widths.
    if (languageChange)
        FitToContents();
}

// ---------------------------------------------------------------------------------------------

TFormStake::TFormStake(QWidget* parent) : TStakeDialogBase(parent)
{
    setObjectName(QStringLiteral("FormStake"));
    BuildControls();
    TranslateTexts();
    connect(FStakeData, &QLineEdit::textChanged, this, [this] { UpdateSum(); });
    UpdateSum();
    FitToContents();
}

void TFormStake::BuildControls()
{
    QWidget* panel = ClientPanel();
    auto* grid = NewClientGrid("layStake", 12, 3);

    CreateDrawControls();
    FStakeData = new QLineEdit(panel);
    FStakeData->setObjectName(QStringLiteral("edStakeData"));
    FStakeSum = new QLineEdit(panel);
    FStakeSum->setObjectName(QStringLiteral("edStakeSum"));
    FStakeSum->setReadOnly(true);
    FStakeSum->setFocusPolicy(Qt::NoFocus);
    FStakeDataLabel = NewBuddyLabel("lblStakeData", FStakeData);
    FStakeSumLabel = NewBuddyLabel("lblStakeSum", FStakeSum);

    // Two columns: the draw and the staked digits on the left, how many draws and the sum on
    // the right; the comment spans both.
    grid->addWidget(FDrawNumberLabel, 0, 0);
    grid->addWidget(FDrawsCountLabel, 0, 1);
    grid->addWidget(FDrawNumber, 1, 0);
    grid->addWidget(FDrawsCount, 1, 1);
    grid->addWidget(FStakeDataLabel, 2, 0);
    grid->addWidget(FStakeSumLabel, 2, 1);
    grid->addWidget(FStakeData, 3, 0);
    grid->addWidget(FStakeSum, 3, 1);
    grid->addWidget(FCommentLabel, 4, 0, 1, 2);
    grid->addWidget(FComment, 5, 0, 1, 2);
    grid->setColumnStretch(0, 3);
    grid->setColumnStretch(1, 2);
    grid->setRowMinimumHeight(2, 22);
    grid->setRowMinimumHeight(4, 22);
    grid->setRowStretch(6, 1);

    setTabOrder(FDrawNumber, FDrawsCount);
    setTabOrder(FDrawsCount, FStakeData);
    setTabOrder(FStakeData, FComment);
}

void TFormStake::TranslateTexts()
{
    TStakeDialogBase::TranslateTexts();
    setWindowTitle(LoadResString(SStakeCaption));
    FStakeDataLabel->setText(LoadResString(SStakeData));
    FStakeSumLabel->setText(LoadResString(SStakeSum));
    SetHint(FDrawNumber, LoadResString(SDrawNumberHint));
    SetHint(FStakeData, LoadResString(SStakeDataHint));
    SetHint(FDrawsCount, LoadResString(SDrawsCountHint));
}

void TFormStake::LoadStake(const TStakeRec& rec, int drawCount)
{
    FStakeData->setText(StakeDigitsText(rec.Digits));
    LoadDrawControls(rec.DrawNumber, drawCount, rec.Comment.Get());
}

void TFormStake::StoreStake(TStakeRec& rec, int& drawCount) const
{
    rec.DrawNumber = DrawNumber();
    // An unchanged comment keeps its stored bytes exactly.
    const QString comment = Comment();
    if (comment != rec.Comment.Get())
        rec.Comment.Set(comment);
    ParseStakeDigits(FStakeData->text(), rec.Digits);
    drawCount = DrawCount();
}

void TFormStake::UpdateSum()
{
    FStakeSum->setText(QString::number(StakeSum(FStakeData->text())));
}

bool TFormStake::AcceptOwnFields()
{
    TDigitsRec digits;
    if (ParseStakeDigits(FStakeData->text(), digits))
        return true;
    ErrorBox(LoadResString(rsBadCombinationEntered));
    FStakeData->setFocus();
    return false;
}

QString StakeCommentText(const QString& typed)
{
    // Blanks around a comment are never meant: they would tell two comments apart that read
    // the same (the regular stakes and ratings are keyed by it).
    return typed.trimmed();
}

void FitCommentEdit(QLineEdit* edit, int maxLength)
{
    edit->ensurePolished();
    const QFontMetrics metrics = edit->fontMetrics();
    // A line editor's size hint is 17 "x" plus its frame and margins; the same frame and
    // margins around the comment's width.
    const int chrome = edit->sizeHint().width() - metrics.horizontalAdvance(QLatin1Char('x')) * 17;
    edit->setMinimumWidth(metrics.horizontalAdvance(QString(maxLength, QChar(0x043E))) + std::max(chrome, 0));
}

bool EditStakeData(QWidget* owner, TStakeRec& rec, int& drawCount)
{
    TFormStake form(owner);
    form.LoadStake(rec, drawCount);
    if (form.exec() != QDialog::Accepted)
        return false;
    form.StoreStake(rec, drawCount);
    return true;
}
