#include "app/ui/scenarios/UnitScript.h"

#include "app/ui/scenarios/UnitFilter.h"
#include "platform/DelphiText.h"
#include "platform/ResString.h"
#include "support/RDialogs.h"
#include "support/ui/RVclUtilsUi.h"

#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QSpinBox>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>
#include <climits>

namespace {

const TResString SCaption = RESSTR("UnitScript", "Элемент сценария");
const TResString SOptions = RESSTR("UnitScript", " Опции ");
const TResString SStartCombsType = RESSTR("UnitScript", "Начальный список комбинаций:");
const TResString SDrawsExclude = RESSTR("UnitScript", "Кол-во тиражей:");
const TResString SResultCombsMode = RESSTR("UnitScript",
    "В случае неоднозначного результата после применения фильтров:");
const TResString SClearStakes = RESSTR("UnitScript",
    "Удалить все ставки перед выполнением (накопление только рейтинга)");
const TResString SNewOnly = RESSTR("UnitScript",
    "Только новые ставки (пропускать те ставки, которые уже есть в списке)");
const TResString SFilters = RESSTR("UnitScript", " Фильтры ");
const TResString SFilterLabel = RESSTR("UnitScript", "Фильтр %d:");
const TResString SFilterButton = RESSTR("UnitScript", "...");
const TResString SFilterButtonHint = RESSTR("UnitScript", "Редактировать фильтр");
const TResString SComments = RESSTR("UnitScript", "Комментарии:");

constexpr int kDesignedWidth = 640;

} // namespace

TFormScript::TFormScript(const TFilterDialogContext& context, QWidget* parent)
    : TDialogSTemplate(parent), FContext(context)
{
    setObjectName(QStringLiteral("FormScript"));
    FilterEditor = [this](TFilterItem& item) { return EditFilterItem(this, item, FContext); };
    BuildControls();
    TranslateTexts();
    FitToContents();
}

void TFormScript::BuildControls()
{
    QWidget* panel = ClientPanel();
    auto label = [](QWidget* owner, const QString& name) {
        auto* text = new QLabel(owner);
        text->setObjectName(name);
        return text;
    };

    gbOptions = new QGroupBox(panel);
    gbOptions->setObjectName(QStringLiteral("gbOptions"));
    FStartLabel = label(gbOptions, QStringLiteral("lblStartCombsType"));
    cbStartCombsType = new QComboBox(gbOptions);
    cbStartCombsType->setObjectName(QStringLiteral("cbStartCombsType"));
    FExcludeLabel = label(gbOptions, QStringLiteral("lblDrawsExclude"));
    edDrawsExclude = new QSpinBox(gbOptions);
    edDrawsExclude->setObjectName(QStringLiteral("edDrawsExclude"));
    edDrawsExclude->setRange(0, INT_MAX);
    FResultLabel = label(gbOptions, QStringLiteral("lblResultCombsMode"));
    cbResultCombsMode = new QComboBox(gbOptions);
    cbResultCombsMode->setObjectName(QStringLiteral("cbResultCombsMode"));
    cbClearStakes = new QCheckBox(gbOptions);
    cbClearStakes->setObjectName(QStringLiteral("cbClearStakes"));
    cbNewOnly = new QCheckBox(gbOptions);
    cbNewOnly->setObjectName(QStringLiteral("cbNewOnly"));
    FStartLabel->setBuddy(cbStartCombsType);
    FExcludeLabel->setBuddy(edDrawsExclude);
    FResultLabel->setBuddy(cbResultCombsMode);

    auto* options = new QGridLayout(gbOptions);
    options->setContentsMargins(10, 6, 10, 8);
    options->setVerticalSpacing(4);
    options->addWidget(FStartLabel, 0, 0, 1, 2);
    options->addWidget(FExcludeLabel, 0, 2);
    options->addWidget(cbStartCombsType, 1, 0, 1, 2);
    options->addWidget(edDrawsExclude, 1, 2);
    options->addWidget(FResultLabel, 2, 0, 1, 3);
    options->addWidget(cbResultCombsMode, 3, 0, 1, 3);
    options->addWidget(cbClearStakes, 4, 0, 1, 3);
    options->addWidget(cbNewOnly, 5, 0, 1, 3);
    options->setColumnStretch(1, 1);

    gbFilters = new QGroupBox(panel);
    gbFilters->setObjectName(QStringLiteral("gbFilters"));
    auto* filters = new QGridLayout(gbFilters);
    filters->setContentsMargins(10, 6, 10, 8);
    filters->setVerticalSpacing(4);
    for (int i = 0; i < ScriptFilterCount; ++i) {
        const QString n = QString::number(i + 1);
        QLabel* filterLabel = label(gbFilters, QStringLiteral("lblFilter") + n);
        auto* edit = new QLineEdit(gbFilters);
        edit->setObjectName(QStringLiteral("edFilter") + n);
        edit->installEventFilter(this);
        auto* button = new QToolButton(gbFilters);
        button->setObjectName(QStringLiteral("btnFilter") + n);
        filterLabel->setBuddy(edit);
        connect(button, &QToolButton::clicked, this, [this, i] { EditFilter(i + 1); });
        filters->addWidget(filterLabel, i, 0);
        filters->addWidget(edit, i, 1);
        filters->addWidget(button, i, 2);
        FFilterLabels[std::size_t(i)] = filterLabel;
        edFilters[std::size_t(i)] = edit;
        btnFilters[std::size_t(i)] = button;
    }
    filters->setColumnStretch(1, 1);

    FCommentsLabel = label(panel, QStringLiteral("lblComments"));
    edComments = new QLineEdit(panel);
    edComments->setObjectName(QStringLiteral("edComments"));
    FCommentsLabel->setBuddy(edComments);

    auto* layout = new QVBoxLayout(panel);
    layout->setObjectName(QStringLiteral("layScript"));
    layout->setContentsMargins(12, 10, 12, 10);
    layout->setSpacing(6);
    layout->addWidget(gbOptions);
    layout->addWidget(gbFilters);
    layout->addWidget(FCommentsLabel);
    layout->addWidget(edComments);
    layout->addStretch(1);
}

void TFormScript::TranslateTexts()
{
    setWindowTitle(LoadResString(SCaption));
    gbOptions->setTitle(LoadResString(SOptions));
    FStartLabel->setText(LoadResString(SStartCombsType));
    FExcludeLabel->setText(LoadResString(SDrawsExclude));
    FResultLabel->setText(LoadResString(SResultCombsMode));
    cbClearStakes->setText(LoadResString(SClearStakes));
    cbNewOnly->setText(LoadResString(SNewOnly));
    gbFilters->setTitle(LoadResString(SFilters));
    for (int i = 0; i < ScriptFilterCount; ++i) {
        FFilterLabels[std::size_t(i)]->setText(Format(LoadResString(SFilterLabel), {i + 1}));
        btnFilters[std::size_t(i)]->setText(LoadResString(SFilterButton));
        btnFilters[std::size_t(i)]->setToolTip(LoadResString(SFilterButtonHint));
    }
    FCommentsLabel->setText(LoadResString(SComments));

    QStringList starts;
    for (int i = 0; i < StartListCount; ++i)
        starts << StartListCaption(i);
    RefillComboBox(cbStartCombsType, starts);
    QStringList actions;
    for (int i = 0; i < AmbiguityActionCount; ++i)
        actions << AmbiguityActionCaption(i);
    RefillComboBox(cbResultCombsMode, actions);
}

void TFormScript::LoadLine(const QString& line, int drawsExclude)
{
    if (line.trimmed().isEmpty()) {
        edComments->clear();
        for (QLineEdit* edit : edFilters)
            edit->clear();
        cbStartCombsType->setCurrentIndex(0);
        cbResultCombsMode->setCurrentIndex(0);
        cbClearStakes->setChecked(false);
        cbNewOnly->setChecked(false);
        edDrawsExclude->setValue(std::max(drawsExclude, 0));
        return;
    }
    edComments->setText(GetScriptLineComment(line));
    const TScriptOptions options = ParseScriptOptions(GetScriptLineOptions(line));
    edDrawsExclude->setValue(std::max(options.DrawsExclude, 0));
    cbStartCombsType->setCurrentIndex(std::min<int>(options.StartCombsType, StartListCount - 1));
    cbResultCombsMode->setCurrentIndex(std::min<int>(options.ResultCombsMode, AmbiguityActionCount - 1));
    cbClearStakes->setChecked(options.ClearStakes);
    cbNewOnly->setChecked(options.NewOnly);
    for (int i = 0; i < ScriptFilterCount; ++i)
        edFilters[std::size_t(i)]->setText(GetScriptLineFilter(line, i + 1));
}

std::array<QString, ScriptFilterCount> TFormScript::FilterTexts() const
{
    std::array<QString, ScriptFilterCount> texts;
    for (std::size_t i = 0; i < texts.size(); ++i)
        texts[i] = edFilters[i]->text();
    return texts;
}

QString TFormScript::Line() const
{
    TScriptOptions options;
    options.DrawsExclude = edDrawsExclude->value();
    options.StartCombsType = static_cast<std::uint8_t>(std::max(cbStartCombsType->currentIndex(), 0));
    options.ResultCombsMode = static_cast<std::uint8_t>(std::max(cbResultCombsMode->currentIndex(), 0));
    options.ClearStakes = cbClearStakes->isChecked();
    options.NewOnly = cbNewOnly->isChecked();
    // Blanks around the comment would stand in every stake comment of the line.
    return FormatScriptLine(edComments->text().trimmed(), FormatScriptOptions(options), FilterTexts());
}

void TFormScript::EditFilter(int n)
{
    if (n < 1 || n > ScriptFilterCount || !FilterEditor)
        return;
    QLineEdit* edit = edFilters[std::size_t(n - 1)];
    TFilterItem item;
    if (FContext.StatList != nullptr)
        item = ParseFilterItem(edit->text().trimmed(), *FContext.StatList);
    if (FilterEditor(item))
        edit->setText(FormatFilterItem(item));
}

void TFormScript::accept()
{
    const int field = FindFieldBreak(edComments->text(), FilterTexts());
    if (field >= 0) {
        ErrorBox(FieldBreakMessage());
        (field == 0 ? edComments : edFilters[std::size_t(field - 1)])->setFocus();
        return;
    }
    // A filter typed into its field passes the checks of the filter dialog too, or it would be
    // stored and fail only when the scenario runs.
    if (FContext.StatList != nullptr) {
        for (int i = 0; i < ScriptFilterCount; ++i) {
            QLineEdit* edit = edFilters[std::size_t(i)];
            const QString text = edit->text().trimmed();
            if (text.isEmpty())
                continue;
            const TFilterCheck check = CheckFilterItem(ParseFilterItem(text, *FContext.StatList));
            if (!check.Ok()) {
                ErrorBox(check.Message);
                edit->setFocus();
                edit->selectAll();
                return;
            }
        }
    }
    TDialogSTemplate::accept();
}

bool TFormScript::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::MouseButtonDblClick) {
        for (int i = 0; i < ScriptFilterCount; ++i)
            if (watched == edFilters[std::size_t(i)]) {
                EditFilter(i + 1);
                return true;
            }
    }
    return TDialogSTemplate::eventFilter(watched, event);
}

void TFormScript::FitToContents()
{
    FitToLayout(kDesignedWidth);
}

void TFormScript::changeEvent(QEvent* event)
{
    TDialogSTemplate::changeEvent(event);
    if (event->type() == QEvent::LanguageChange) {
        TranslateTexts();
        FitToContents();
    }
}

bool EditScriptLine(QWidget* owner, QString& line, const QString& title, int drawsExclude,
                    const TFilterDialogContext& context)
{
    TFormScript form(context, owner);
    form.setWindowTitle(title);
    form.LoadLine(line, drawsExclude);
    if (form.exec() != QDialog::Accepted)
        return false;
    line = form.Line();
    return true;
}
