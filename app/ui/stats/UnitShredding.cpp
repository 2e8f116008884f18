#include "app/ui/stats/UnitShredding.h"

#include "app/core/stats/EngineSettings.h"
#include "engine/KelmaMsg.h"
#include "engine/KelmaStatList.h"
#include "platform/ResString.h"
#include "support/ui/RSpinEdit.h"

#include <QEvent>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QSpinBox>

#include <algorithm>

namespace {

const TResString SCaption = RESSTR("FormShredding", "Методы шинковки");
const TResString SFormula1 = RESSTR("FormShredding", "Формула 1:");
const TResString SFormula2 = RESSTR("FormShredding", "Формула 2:");
const TResString SFormula3 = RESSTR("FormShredding", "Формула 3:");
const TResString SFormulaHint = RESSTR("FormShredding", "Используемая формула");
const TResString SDigitsHint = RESSTR("FormShredding", "Количество используемых знаков после запятой");

const std::array<const TResString*, TFormShredding::FormulaCount> kFormulaLabels = {&SFormula1, &SFormula2,
                                                                                     &SFormula3};
constexpr int kDesignedWidth = 420;

} // namespace

TFormShredding::TFormShredding(QWidget* parent) : TDialogSTemplate(parent)
{
    setObjectName(QStringLiteral("FormShredding"));
    BuildControls();
    TranslateTexts();
    FitToContents();
}

void TFormShredding::BuildControls()
{
    QWidget* panel = ClientPanel();
    auto* grid = NewClientGrid("layShredding", 8, 6);
    for (int i = 0; i < FormulaCount; ++i) {
        const QString n = QString::number(i + 1);
        auto* formula = new QLineEdit(panel);
        formula->setObjectName(QStringLiteral("edFormula") + n);
        // A count typed outside 1..5 shows, and becomes the nearest limit, rather than being
        // dropped without a word.
        auto* digits = new TRSpinEdit(panel);
        digits->setObjectName(QStringLiteral("edDigits") + n);
        digits->setRange(MinFormulaDigits, MaxFormulaDigits);
        edFormula[std::size_t(i)] = formula;
        edDigits[std::size_t(i)] = digits;
        FLabels[std::size_t(i)] = NewBuddyLabel(qPrintable(QStringLiteral("lblFormula") + n), formula);
        grid->addWidget(FLabels[std::size_t(i)], i, 0);
        grid->addWidget(formula, i, 1);
        grid->addWidget(digits, i, 2);
    }
    lblInfo = new QLabel(panel);
    lblInfo->setObjectName(QStringLiteral("lblInfo"));
    grid->addWidget(lblInfo, FormulaCount, 0, 1, 3);
    grid->setColumnStretch(1, 1);
    grid->setRowStretch(FormulaCount + 1, 1);
}

void TFormShredding::TranslateTexts()
{
    setWindowTitle(LoadResString(SCaption));
    for (int i = 0; i < FormulaCount; ++i) {
        FLabels[std::size_t(i)]->setText(LoadResString(*kFormulaLabels[std::size_t(i)]));
        SetHint(edFormula[std::size_t(i)], LoadResString(SFormulaHint));
        SetHint(edDigits[std::size_t(i)], LoadResString(SDigitsHint));
    }
    lblInfo->setText(LoadResString(rsShreddingVariablesInfo));
}

void TFormShredding::LoadFormulas(const TStatList& list)
{
    for (int i = 0; i < FormulaCount; ++i) {
        edFormula[std::size_t(i)]->setText(list.Formula(i + 1));
        edDigits[std::size_t(i)]->setValue(list.FormulaDigits(i + 1));
    }
}

void TFormShredding::StoreFormulas(TStatList& list) const
{
    list.Formula1 = edFormula[0]->text();
    list.Formula2 = edFormula[1]->text();
    list.Formula3 = edFormula[2]->text();
    list.Formula1Digits = static_cast<std::uint8_t>(edDigits[0]->value());
    list.Formula2Digits = static_cast<std::uint8_t>(edDigits[1]->value());
    list.Formula3Digits = static_cast<std::uint8_t>(edDigits[2]->value());
}

void TFormShredding::accept()
{
    // OK pressed while a count is still being typed takes it as the field would on leaving.
    for (QSpinBox* digits : edDigits)
        digits->interpretText();
    TDialogSTemplate::accept();
}

void TFormShredding::FitToContents()
{
    FitToLayout(kDesignedWidth);
}

void TFormShredding::changeEvent(QEvent* event)
{
    TDialogSTemplate::changeEvent(event);
    if (event->type() == QEvent::LanguageChange) {
        TranslateTexts();
        FitToContents();
    }
}

bool EditShreddingFormulas(QWidget* owner, TStatList& list)
{
    TFormShredding form(owner);
    form.LoadFormulas(list);
    if (form.exec() != QDialog::Accepted)
        return false;
    form.StoreFormulas(list);
    return true;
}
