#pragma once

#include "app/core/scenarios/ScriptDialogs.h"
#include "support/ui/TmplDialogSimple.h"

#include <array>
#include <functional>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QSpinBox;
class QToolButton;

// The dialog of one scenario line: how the start list is made, what is staked when several
// combinations remain, whether the stakes are cleared first and only new ones made, the seven
// filter steps (typed, or built in the filter dialog behind each "..." button or a double
// click in the edit) and the comment the line's stakes are recorded under.
class TFormScript : public TDialogSTemplate {
    Q_OBJECT

public:
    explicit TFormScript(const TFilterDialogContext& context, QWidget* parent = nullptr);

    // An empty line clears the dialog and shows drawsExclude; any other line shows its fields.
    void LoadLine(const QString& line, int drawsExclude);
    // The line the controls describe.
    QString Line() const;
    // Opens the filter dialog for filter n (1..7) over its edit's text.
    void EditFilter(int n);

    // Opens the filter dialog over a record; true when it was changed. The real dialog unless
    // replaced (tests).
    std::function<bool(TFilterItem& item)> FilterEditor;

    QGroupBox* gbOptions = nullptr;
    QComboBox* cbStartCombsType = nullptr;
    QSpinBox* edDrawsExclude = nullptr;
    QComboBox* cbResultCombsMode = nullptr;
    QCheckBox* cbClearStakes = nullptr;
    QCheckBox* cbNewOnly = nullptr;
    QGroupBox* gbFilters = nullptr;
    std::array<QLineEdit*, ScriptFilterCount> edFilters{};
    std::array<QToolButton*, ScriptFilterCount> btnFilters{};
    QLineEdit* edComments = nullptr;

public slots:
    void accept() override;

protected:
    void changeEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void BuildControls();
    void TranslateTexts();
    void FitToContents();
    std::array<QString, ScriptFilterCount> FilterTexts() const;

    TFilterDialogContext FContext;
    QLabel* FStartLabel = nullptr;
    QLabel* FExcludeLabel = nullptr;
    QLabel* FResultLabel = nullptr;
    std::array<QLabel*, ScriptFilterCount> FFilterLabels{};
    QLabel* FCommentsLabel = nullptr;
};

// Shows the line dialog with the title ("Создание новой строки", "Редактирование строки");
// drawsExclude is the count of draws a new line starts with. True and the line rebuilt on OK.
bool EditScriptLine(QWidget* owner, QString& line, const QString& title, int drawsExclude,
                    const TFilterDialogContext& context);
