#include "app/ui/stakes/UnitTable.h"

#include "app/core/stakes/StakeInput.h"
#include "app/ui/stakes/UnitStake.h"
#include "engine/KelmaMsg.h"
#include "platform/ResString.h"
#include "support/RDialogs.h"

#include <QEvent>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QSpinBox>

#include <algorithm>

namespace {

const TResString SCaption = RESSTR("FormTable", "Добавление регулярной ставки");
const TResString SUseMyComb = RESSTR("FormTable", "Использовать постоянную стартовую комбинацию:");
const TResString SCombHint = RESSTR("FormTable", "Введите числа, разделенные точкой с запятой или запятой");
const TResString SUseLastDraw = RESSTR("FormTable", "Использовать данные предыдущего тиража");
const TResString SComment = RESSTR("FormTable", "Комментарий к ставке:");
const TResString SStep = RESSTR("FormTable", "Шаг:");
const TResString SStepHint = RESSTR("FormTable", "Шаг изменения элементов комбинации");

constexpr int kDesignedWidth = 400;
constexpr int kMaxStep = 9;

} // namespace

TFormTable::TFormTable(QWidget* parent) : TDialogSTemplate(parent)
{
    setObjectName(QStringLiteral("FormTable"));
    QWidget* panel = ClientPanel();
    QGridLayout* grid = NewClientGrid("layTable", 12, 3);

    rbUseMyComb = new QRadioButton(panel);
    rbUseMyComb->setObjectName(QStringLiteral("rbUseMyComb"));
    edCombStart = new QLineEdit(panel);
    edCombStart->setObjectName(QStringLiteral("edCombStart"));
    rbUseLastDraw = new QRadioButton(panel);
    rbUseLastDraw->setObjectName(QStringLiteral("rbUseLastDraw"));
    edComment = new QLineEdit(panel);
    edComment->setObjectName(QStringLiteral("edComment"));
    edComment->setMaxLength(MaxCommentLength);
    edStep = new QSpinBox(panel);
    edStep->setObjectName(QStringLiteral("edStep"));
    edStep->setMinimumWidth(60);   // room for "-9"
    FCommentLabel = NewBuddyLabel("lblComment", edComment);
    FStepLabel = NewBuddyLabel("lblStep", edStep);

    grid->addWidget(rbUseMyComb, 0, 0, 1, 2);
    grid->addWidget(edCombStart, 1, 0, 1, 2);
    grid->addWidget(rbUseLastDraw, 2, 0, 1, 2);
    grid->addWidget(FCommentLabel, 3, 0);
    grid->addWidget(FStepLabel, 3, 1);
    grid->addWidget(edComment, 4, 0);
    grid->addWidget(edStep, 4, 1);
    grid->setColumnStretch(0, 4);
    grid->setColumnStretch(1, 1);
    grid->setRowMinimumHeight(2, 24);
    grid->setRowStretch(5, 1);

    setTabOrder(rbUseMyComb, edCombStart);
    setTabOrder(edCombStart, rbUseLastDraw);
    setTabOrder(rbUseLastDraw, edComment);
    setTabOrder(edComment, edStep);

    connect(rbUseMyComb, &QRadioButton::toggled, this, [this] { UpdateControls(); });
    TranslateTexts();
    rbUseMyComb->setChecked(true);
    UpdateControls();
    FitCommentEdit(edComment, MaxCommentLength);
    FitToLayout(kDesignedWidth);
}

void TFormTable::TranslateTexts()
{
    setWindowTitle(LoadResString(SCaption));
    rbUseMyComb->setText(LoadResString(SUseMyComb));
    rbUseLastDraw->setText(LoadResString(SUseLastDraw));
    FCommentLabel->setText(LoadResString(SComment));
    FStepLabel->setText(LoadResString(SStep));
    SetHint(edCombStart, LoadResString(SCombHint));
    SetHint(edStep, LoadResString(SStepHint));
    if (!FSingleComb)
        edCombStart->setText(LoadResString(rsSelectedCombsMarker));
}

void TFormTable::LoadTable(const TTableRec& rec, const QStringList& comments)
{
    FComments = comments;
    FSingleComb = rec.StakesMade == 1;
    edCombStart->setText(FSingleComb ? TableCombText(rec.StartComb) : LoadResString(rsSelectedCombsMarker));
    edComment->setText(rec.Comment.Get());
    edStep->setRange(-kMaxStep, kMaxStep);
    edStep->setValue(std::clamp<std::int32_t>(rec.Step, -kMaxStep, kMaxStep));
    (rec.UseLastDraw ? rbUseLastDraw : rbUseMyComb)->setChecked(true);
    UpdateControls();
}

bool TFormTable::CombTyped() const
{
    return rbUseMyComb->isChecked() && FSingleComb;
}

void TFormTable::UpdateControls()
{
    edCombStart->setEnabled(CombTyped());
}

void TFormTable::StoreTable(TTableRec& rec) const
{
    // An unchanged name keeps its stored bytes exactly.
    const QString comment = StakeCommentText(edComment->text());
    if (comment != rec.Comment.Get())
        rec.Comment.Set(comment);
    rec.UseLastDraw = rbUseLastDraw->isChecked();
    rec.Step = edStep->value();
    TDigitsRec digits;
    if (FSingleComb && ParseStakeDigits(edCombStart->text(), digits))
        rec.StartComb = MakeComb(digits.Digits[0], digits.Digits[1]);
}

void TFormTable::accept()
{
    TDigitsRec digits;
    if (CombTyped() && !ParseStakeDigits(edCombStart->text(), digits)) {
        ErrorBox(LoadResString(rsBadCombinationEntered));
        edCombStart->setFocus();
        return;
    }
    const QString comment = StakeCommentText(edComment->text());
    if (comment.isEmpty()) {
        ErrorBox(LoadResString(rsCommentRequired));
        edComment->setFocus();
        return;
    }
    if (FComments.contains(comment)) {
        ErrorBox(LoadResString(rsCommentTaken));
        edComment->setFocus();
        return;
    }
    TDialogSTemplate::accept();
}

void TFormTable::changeEvent(QEvent* event)
{
    TDialogSTemplate::changeEvent(event);
    if (event->type() == QEvent::LanguageChange)
        TranslateTexts();
}

bool EditTableStake(QWidget* owner, const QStringList& comments, TTableRec& rec)
{
    TFormTable form(owner);
    form.LoadTable(rec, comments);
    if (form.exec() != QDialog::Accepted)
        return false;
    form.StoreTable(rec);
    return true;
}
