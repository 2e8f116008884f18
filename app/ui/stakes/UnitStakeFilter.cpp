#include "app/ui/stakes/UnitStakeFilter.h"

#include "engine/KelmaMsg.h"
#include "platform/ResString.h"

#include <QComboBox>
#include <QEvent>
#include <QGridLayout>
#include <QLabel>
#include <QLayout>
#include <QPushButton>
#include <QSpinBox>

#include <algorithm>

namespace {

const TResString SFilterCaption = RESSTR("FormStakeFilter", "Удаление по условию");
const TResString SCondition = RESSTR("FormStakeFilter", "Выберите условие:");
const TResString SOkHint = RESSTR("FormStakeFilter", "Удалить ставки");

// The least width the dialog takes; longer texts of another language make it wider.
constexpr int kDesignedWidth = 320;

} // namespace

TFormStakeFilter::TFormStakeFilter(QWidget* parent) : TDialogSTemplate(parent)
{
    setObjectName(QStringLiteral("FormStakeFilter"));
    BuildControls();
    TranslateTexts();
    FitToContents();
}

void TFormStakeFilter::BuildControls()
{
    QWidget* panel = ClientPanel();
    auto* grid = NewClientGrid("layStakeFilter", 8, 3);

    FCondition = new QComboBox(panel);
    FCondition->setObjectName(QStringLiteral("cbCondition"));
    // The items are refilled in every language; the box follows their widths each time.
    FCondition->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    FValue = new QSpinBox(panel);
    FValue->setObjectName(QStringLiteral("edValue"));
    FValue->setRange(0, MaxMatches);
    FConditionLabel = new QLabel(panel);
    FConditionLabel->setObjectName(QStringLiteral("lblCondition"));
    FConditionLabel->setBuddy(FCondition);

    // The comparison and the number of matches read as one line: "Более [ > ]  1".
    grid->addWidget(FConditionLabel, 0, 0, 1, 2);
    grid->addWidget(FCondition, 1, 0);
    grid->addWidget(FValue, 1, 1);
    grid->setColumnStretch(0, 1);
    grid->setRowStretch(2, 1);
}

void TFormStakeFilter::TranslateTexts()
{
    setWindowTitle(LoadResString(SFilterCaption));
    FConditionLabel->setText(LoadResString(SCondition));
    SetHint(OkBtn(), LoadResString(SOkHint));

    const int current = std::max(FCondition->currentIndex(), 0);
    FCondition->clear();
    for (const TResString& item : {rsCondEqual, rsCondGreater, rsCondNotLess, rsCondLess, rsCondNotGreater})
        FCondition->addItem(LoadResString(item));
    FCondition->setCurrentIndex(current);
}

void TFormStakeFilter::LoadCondition(int condition, int value)
{
    FCondition->setCurrentIndex(std::clamp(condition, 0, ConditionCount - 1));
    FValue->setValue(std::clamp(value, 0, MaxMatches));
}

int TFormStakeFilter::Condition() const
{
    return std::max(FCondition->currentIndex(), 0);
}

int TFormStakeFilter::Value() const
{
    return FValue->value();
}

void TFormStakeFilter::FitToContents()
{
    FitToLayout(kDesignedWidth);
}

void TFormStakeFilter::changeEvent(QEvent* event)
{
    const bool languageChange = event->type() == QEvent::LanguageChange;
    TDialogSTemplate::changeEvent(event);
    // After the base: the OK hint of this dialog replaces the base dialog's one.
    if (languageChange) {
        TranslateTexts();
        FitToContents();
    }
}

bool AskStakeCondition(QWidget* owner, int& condition, int& value)
{
    TFormStakeFilter form(owner);
    form.LoadCondition(condition, value);
    if (form.exec() != QDialog::Accepted)
        return false;
    condition = form.Condition();
    value = form.Value();
    return true;
}
