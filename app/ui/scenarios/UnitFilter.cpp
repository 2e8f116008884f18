#include "app/ui/scenarios/UnitFilter.h"

#include "engine/KelmaMsg.h"
#include "platform/ResString.h"
#include "support/RDialogs.h"
#include "support/ui/RVclUtilsUi.h"
#include "support/ui/QorFloatEdit.h"

#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QValidator>

#include <algorithm>
#include <climits>

namespace {

const TResString SCaption = RESSTR("UnitFilter", "Фильтр");
const TResString SDrawsStatType = RESSTR("UnitFilter", "Тип фильтра:");
const TResString SDrawsLen = RESSTR("UnitFilter", "Количество тиражей:");
const TResString SSortOrder = RESSTR("UnitFilter", "Сортировать по столбцу:");
const TResString SDirection = RESSTR("UnitFilter", "Направление:");
const TResString SFilterMode = RESSTR("UnitFilter", "Режим фильтра:");
const TResString SMultiSelect = RESSTR("UnitFilter",
    "Использовать режим одновременного выделения нескольких значений в списке");
const TResString SLevelMode = RESSTR("UnitFilter", "Режим выделения значений в списке статистики:");
const TResString SLevelValue = RESSTR("UnitFilter", "Значения:");
const TResString SCoefficients = RESSTR("UnitFilter", " Коэффициенты для расчета значений \"Вес\" ");
const TResString SCDLOverride = RESSTR("UnitFilter",
    "Использовать приведенные ниже коэффициенты для расчета значений \"Вес\"");
const TResString SCoefCount = RESSTR("UnitFilter", "Количество:");
const TResString SCoefDeviation = RESSTR("UnitFilter", "Отклонение:");
const TResString SCoefLevel = RESSTR("UnitFilter", "Глубина:");
const TResString SCoefPercents = RESSTR("UnitFilter", "Использовать значения в %");
const TResString SCoefAbs = RESSTR("UnitFilter", "Использовать абсолютные значения");
const TResString SStopMode = RESSTR("UnitFilter", "Остановка по:");
const TResString SStopValue = RESSTR("UnitFilter", "Значение:");

// The labels of the dialog, in the order of FLabels.
enum TLabelIndex {
    lblDrawsStatType, lblDrawsLen, lblDrawsSortOrder, lblDirection, lblFilterMode, lblLevelMode,
    lblLevelValue, lblCoefCount, lblCoefDeviation, lblCoefLevel, lblStopMode, lblStopValue,
};
const std::array<const TResString*, 12> kLabelTexts = {
    &SDrawsStatType, &SDrawsLen, &SSortOrder, &SDirection, &SFilterMode, &SLevelMode,
    &SLevelValue, &SCoefCount, &SCoefDeviation, &SCoefLevel, &SStopMode, &SStopValue,
};
const std::array<const char*, 12> kLabelNames = {
    "lblDrawsStatType", "lblDrawsLen", "lblDrawsSortOrder", "lblDirection", "lblFilterMode", "lblLevelMode",
    "lblLevelValue", "lblCoefCount", "lblCoefDeviation", "lblCoefLevel", "lblStopMode", "lblStopValue",
};

// The columns of the statistics table, in its order: the sort column of a step is their index.
const std::array<const TResString*, 20> kSortColumns = {
    &rsColValue, &rsColCount, &rsColCountPercent, &rsColNorm, &rsColDeviation, &rsColDeviationPercent,
    &rsColDepth, &rsColDepthPercent, &rsColWeight, &rsColLastDraw, &rsColPeriodMin, &rsColPeriod,
    &rsColPeriodMax, &rsColExpectedPrd, &rsColExpectedStf, &rsColExpectedKrn, &rsColFact, &rsColDeltaPrd,
    &rsColDeltaStf, &rsColDeltaKrn,
};

constexpr int kDesignedWidth = 600;
const QString kWeightFormat = QStringLiteral("0.000");

// The draws-length and level-value edits take digits and the list signs only. Characters
// they cannot hold are dropped from whatever reaches them (typed, pasted or loaded) instead
// of refusing the whole change.
class TFilterListValidator : public QValidator {
public:
    using QValidator::QValidator;
    State validate(QString& input, int& pos) const override
    {
        int removedBeforeCursor = 0;
        for (qsizetype i = 0; i < input.size() && i < pos; ++i)
            if (!IsFilterListChar(input.at(i)))
                ++removedBeforeCursor;
        input = KeepFilterListChars(input);
        pos = std::clamp(pos - removedBeforeCursor, 0, int(input.size()));
        return Acceptable;
    }
};

} // namespace

TFormFilter::TFormFilter(const TFilterDialogContext& context, QWidget* parent)
    : TDialogSTemplate(parent), FContext(context)
{
    setObjectName(QStringLiteral("FormFilter"));
    BuildControls();
    TranslateTexts();
    SetPresets();
    FitToContents();
}

void TFormFilter::BuildControls()
{
    QWidget* panel = ClientPanel();
    for (std::size_t i = 0; i < FLabels.size(); ++i) {
        FLabels[i] = new QLabel(panel);
        FLabels[i]->setObjectName(QLatin1String(kLabelNames[i]));
    }
    // Every list is as wide as its longest caption, but the methods: their captions can be
    // long, and the row gives them the whole width of the dialog.
    auto combo = [panel](const char* name) {
        auto* box = new QComboBox(panel);
        box->setObjectName(QLatin1String(name));
        box->setSizeAdjustPolicy(QComboBox::AdjustToContents);
        return box;
    };
    auto listEdit = [panel](const char* name) {
        auto* edit = new QLineEdit(panel);
        edit->setObjectName(QLatin1String(name));
        edit->setValidator(new TFilterListValidator(edit));
        return edit;
    };
    auto check = [](QWidget* owner, const char* name) {
        auto* box = new QCheckBox(owner);
        box->setObjectName(QLatin1String(name));
        return box;
    };

    cbDrawsStatType = combo("cbDrawsStatType");
    cbDrawsStatType->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    cbDrawsStatType->setMinimumContentsLength(30);
    cbDrawsStatType->setMaxVisibleItems(24);
    for (const TFilterMethodItem& item : FContext.Methods)
        cbDrawsStatType->addItem(item.Caption);
    edDrawsLen = listEdit("edDrawsLen");
    cbDrawsSortOrder = combo("cbDrawsSortOrder");
    cbDrawsSortOrder->setMaxVisibleItems(int(kSortColumns.size()));
    cbDirection = combo("cbDirection");
    cbFilterMode = combo("cbFilterMode");
    cbMultiSelect = check(panel, "cbMultiSelect");
    cbLevelMode = combo("cbLevelMode");
    cbLevelMode->setMaxVisibleItems(LevelModeCount);
    edLevelValue = listEdit("edLevelValue");

    gbCoefficients = new QGroupBox(panel);
    gbCoefficients->setObjectName(QStringLiteral("gbCoefficients"));
    cbCDLOverride = check(gbCoefficients, "cbCDLOverride");
    Weights = TWeightEdits::Create(gbCoefficients, kWeightFormat);
    for (const int i : {lblCoefCount, lblCoefDeviation, lblCoefLevel})
        FLabels[std::size_t(i)]->setParent(gbCoefficients);

    auto* weights = new QGridLayout(gbCoefficients);
    weights->setContentsMargins(10, 6, 10, 8);
    weights->setVerticalSpacing(4);
    weights->addWidget(cbCDLOverride, 0, 0, 1, 6);
    weights->addWidget(FLabels[lblCoefCount], 1, 0);
    weights->addWidget(Weights.Count, 1, 1);
    weights->addWidget(FLabels[lblCoefDeviation], 1, 2);
    weights->addWidget(Weights.Deviation, 1, 3);
    weights->addWidget(FLabels[lblCoefLevel], 1, 4);
    weights->addWidget(Weights.Level, 1, 5);
    weights->addWidget(Weights.Percents, 2, 0, 1, 3);
    weights->addWidget(Weights.Abs, 2, 3, 1, 3);
    for (const int column : {1, 3, 5})
        weights->setColumnStretch(column, 1);

    cbStopMode = combo("cbStopMode");
    edStopValue = new QSpinBox(panel);
    edStopValue->setObjectName(QStringLiteral("edStopValue"));
    edStopValue->setRange(1, INT_MAX);

    auto* grid = NewClientGrid("layFilter", 8, 6);
    grid->addWidget(FLabels[lblDrawsStatType], 0, 0);
    grid->addWidget(cbDrawsStatType, 0, 1, 1, 3);
    grid->addWidget(FLabels[lblDrawsLen], 1, 0);
    grid->addWidget(edDrawsLen, 1, 1);
    grid->addWidget(FLabels[lblDrawsSortOrder], 1, 2);
    grid->addWidget(cbDrawsSortOrder, 1, 3);
    grid->addWidget(FLabels[lblDirection], 2, 0);
    grid->addWidget(cbDirection, 2, 1);
    grid->addWidget(FLabels[lblFilterMode], 2, 2);
    grid->addWidget(cbFilterMode, 2, 3);
    grid->addWidget(cbMultiSelect, 3, 0, 1, 4);
    grid->addWidget(FLabels[lblLevelMode], 4, 0, 1, 4);
    grid->addWidget(cbLevelMode, 5, 0, 1, 2);
    grid->addWidget(FLabels[lblLevelValue], 5, 2);
    grid->addWidget(edLevelValue, 5, 3);
    grid->addWidget(gbCoefficients, 6, 0, 1, 4);
    grid->addWidget(FLabels[lblStopMode], 7, 0);
    grid->addWidget(cbStopMode, 7, 1);
    grid->addWidget(FLabels[lblStopValue], 7, 2);
    grid->addWidget(edStopValue, 7, 3);
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(3, 1);
    grid->setRowStretch(8, 1);

    FLabels[lblDrawsStatType]->setBuddy(cbDrawsStatType);
    FLabels[lblDrawsLen]->setBuddy(edDrawsLen);
    FLabels[lblDrawsSortOrder]->setBuddy(cbDrawsSortOrder);
    FLabels[lblDirection]->setBuddy(cbDirection);
    FLabels[lblFilterMode]->setBuddy(cbFilterMode);
    FLabels[lblLevelMode]->setBuddy(cbLevelMode);
    FLabels[lblLevelValue]->setBuddy(edLevelValue);
    FLabels[lblCoefCount]->setBuddy(Weights.Count);
    FLabels[lblCoefDeviation]->setBuddy(Weights.Deviation);
    FLabels[lblCoefLevel]->setBuddy(Weights.Level);
    FLabels[lblStopMode]->setBuddy(cbStopMode);
    FLabels[lblStopValue]->setBuddy(edStopValue);

    connect(cbLevelMode, &QComboBox::currentIndexChanged, this, [this] { UpdateEnabling(); });
    connect(cbCDLOverride, &QCheckBox::toggled, this, [this] { UpdateEnabling(); });
}

void TFormFilter::TranslateTexts()
{
    setWindowTitle(LoadResString(SCaption));
    for (std::size_t i = 0; i < FLabels.size(); ++i)
        FLabels[i]->setText(LoadResString(*kLabelTexts[i]));
    cbMultiSelect->setText(LoadResString(SMultiSelect));
    gbCoefficients->setTitle(LoadResString(SCoefficients));
    cbCDLOverride->setText(LoadResString(SCDLOverride));
    Weights.Percents->setText(LoadResString(SCoefPercents));
    Weights.Abs->setText(LoadResString(SCoefAbs));

    QStringList columns;
    for (const TResString* caption : kSortColumns)
        columns << LoadResString(*caption);
    RefillComboBox(cbDrawsSortOrder, columns);
    RefillComboBox(cbDirection, {LoadResString(rsDirectionTopDown), LoadResString(rsDirectionBottomUp)});
    RefillComboBox(cbFilterMode, {LoadResString(rsDeleteSelected), LoadResString(rsKeepSelected)});
    QStringList levels;
    for (int mode = 0; mode < LevelModeCount; ++mode)
        levels << LevelModeCaption(mode);
    RefillComboBox(cbLevelMode, levels);
    QStringList stops;
    for (int mode = 0; mode < StopModeCount; ++mode)
        stops << StopModeCaption(mode);
    RefillComboBox(cbStopMode, stops);
}

void TFormFilter::SetPresets()
{
    cbDrawsStatType->setCurrentIndex(
        FContext.Methods.empty() ? -1 : std::clamp(FContext.CurrentMethod, 0, int(FContext.Methods.size()) - 1));
    edDrawsLen->setText(QString::number(FContext.DrawsLen));
    cbDrawsSortOrder->setCurrentIndex(1);
    cbDirection->setCurrentIndex(0);
    cbFilterMode->setCurrentIndex(0);
    cbMultiSelect->setChecked(false);
    cbLevelMode->setCurrentIndex(0);
    edLevelValue->clear();
    cbCDLOverride->setChecked(false);
    SetWeights(FContext.Weights);
    cbStopMode->setCurrentIndex(0);
    edStopValue->setValue(1);
    UpdateEnabling();
}

void TFormFilter::SetWeights(const TStatWeights& weights)
{
    Weights.Set(weights);
}

void TFormFilter::LoadFilterItem(const TFilterItem& item)
{
    SetPresets();
    if (item.Used == 0)
        return;
    cbDrawsStatType->setCurrentIndex(FindFilterMethodItem(FContext.Methods, item.Method));
    if (!item.DrawsLen.isEmpty())
        edDrawsLen->setText(item.DrawsLen);
    cbDrawsSortOrder->setCurrentIndex(std::clamp(int(item.SortOrder), 0, int(kSortColumns.size()) - 1));
    cbDirection->setCurrentIndex(item.BottomUp ? 1 : 0);
    cbFilterMode->setCurrentIndex(item.KeepSelected ? 1 : 0);
    cbMultiSelect->setChecked(item.MultiSelect);
    cbLevelMode->setCurrentIndex(item.LevelMode < LevelModeCount ? int(item.LevelMode) : 0);
    if (!item.LevelValue.isEmpty())
        edLevelValue->setText(item.LevelValue);
    cbCDLOverride->setChecked(item.OwnWeights);
    SetWeights(item.OwnWeights ? item.Weights : FContext.Weights);
    cbStopMode->setCurrentIndex(item.StopMode < std::uint32_t(StopModeCount) ? int(item.StopMode) : 0);
    edStopValue->setValue(std::max(item.StopValue, 1));
    UpdateEnabling();
}

TFilterItem TFormFilter::FilterItem() const
{
    TFilterItem item;
    item.Used = 1;
    const int method = cbDrawsStatType->currentIndex();
    if (method >= 0 && method < int(FContext.Methods.size()))
        item.Method = FContext.Methods[std::size_t(method)].Method;
    item.DrawsLen = edDrawsLen->text().trimmed();
    item.SortOrder = std::max(cbDrawsSortOrder->currentIndex(), 0);
    item.BottomUp = cbDirection->currentIndex() == 1;
    item.MultiSelect = cbMultiSelect->isChecked();
    item.KeepSelected = cbFilterMode->currentIndex() == 1;
    item.LevelMode = static_cast<std::uint8_t>(std::max(cbLevelMode->currentIndex(), 0));
    item.LevelValue = edLevelValue->text().trimmed();
    item.OwnWeights = cbCDLOverride->isChecked();
    item.Weights = Weights.Get();
    item.StopMode = static_cast<std::uint32_t>(std::max(cbStopMode->currentIndex(), 0));
    item.StopValue = edStopValue->value();
    return item;
}

void TFormFilter::UpdateEnabling()
{
    cbCDLOverride->setEnabled(LevelModeUsesWeights(cbLevelMode->currentIndex()));
    const bool own = cbCDLOverride->isEnabled() && cbCDLOverride->isChecked();
    for (QWidget* control : std::initializer_list<QWidget*>{Weights.Count, Weights.Deviation, Weights.Level,
                                                             Weights.Percents, Weights.Abs})
        control->setEnabled(own);
    for (const int i : {lblCoefCount, lblCoefDeviation, lblCoefLevel})
        FLabels[std::size_t(i)]->setEnabled(own);
}

void TFormFilter::accept()
{
    const TFilterCheck check = CheckFilterItem(FilterItem());
    if (!check.Ok()) {
        ErrorBox(check.Message);
        QWidget* focus = nullptr;
        switch (check.Field) {
        case TFilterCheckField::DrawsLen: focus = edDrawsLen; break;
        case TFilterCheckField::LevelMode: focus = cbLevelMode; break;
        case TFilterCheckField::LevelValue: focus = edLevelValue; break;
        case TFilterCheckField::StopMode: focus = cbStopMode; break;
        case TFilterCheckField::None: break;
        }
        if (focus != nullptr)
            focus->setFocus();
        return;
    }
    TDialogSTemplate::accept();
}

void TFormFilter::FitToContents()
{
    FitToLayout(kDesignedWidth);
}

void TFormFilter::showEvent(QShowEvent* event)
{
    UpdateEnabling();
    TDialogSTemplate::showEvent(event);
}

void TFormFilter::changeEvent(QEvent* event)
{
    TDialogSTemplate::changeEvent(event);
    if (event->type() == QEvent::LanguageChange) {
        TranslateTexts();
        FitToContents();
    }
}

bool EditFilterItem(QWidget* owner, TFilterItem& item, const TFilterDialogContext& context)
{
    TFormFilter form(context, owner);
    form.LoadFilterItem(item);
    if (form.exec() != QDialog::Accepted)
        return false;
    item = form.FilterItem();
    return true;
}

TFilterDialogContext FilterDialogContext(const QComboBox& methods, const TStatList& list, int drawsLen)
{
    TFilterDialogContext context;
    context.StatList = &list;
    for (int i = 0; i < methods.count(); ++i) {
        bool ok = false;
        const int index = methods.itemData(i).toInt(&ok);
        if (!ok || index < 0 || index >= list.Count())
            continue;
        if (i == methods.currentIndex())
            context.CurrentMethod = int(context.Methods.size());
        context.Methods.push_back({methods.itemText(i), &list.Items(index)});
    }
    context.DrawsLen = drawsLen;
    context.Weights = list.Config().Weights;
    return context;
}
