#include "app/ui/combs/UnitGenCombs.h"

#include "app/ui/shell/FilePrompt.h"
#include "engine/KelmaMsg.h"
#include "platform/ResString.h"
#include "support/RDialogs.h"

#include "ui_FormGenCombs.h"

#include <QEvent>
#include <QPushButton>

#include <algorithm>

namespace {

const TResString SGenCombsCaption = RESSTR("UnitGenCombs", "Создание нового списка комбинаций");
const TResString SGenCombsOkHint = RESSTR("UnitGenCombs", "Создать список возможных комбинаций");

constexpr int kWidth = 480;

} // namespace

TFormGenCombs::TFormGenCombs(QWidget* parent) : TDialogSTemplate(parent), FUi(std::make_unique<Ui::FormGenCombs>())
{
    setObjectName(QStringLiteral("FormGenCombs"));
    FUi->setupUi(ClientPanel());
    setWindowTitle(LoadResString(SGenCombsCaption));
    SetHint(OkBtn(), LoadResString(SGenCombsOkHint));
    FillModes();
    connect(FUi->cbCombsGenerateMode, &QComboBox::currentIndexChanged, this, [this] { UpdateControls(); });
    connect(FUi->btnCombsGenerateFile, &QToolButton::clicked, this, [this] { ChooseFile(); });
    // The designed width, or what the longest text (the check box) needs to show whole.
    FitToLayout(kWidth);
    UpdateControls();
}

TFormGenCombs::~TFormGenCombs() = default;

void TFormGenCombs::FillModes()
{
    const int current = FUi->cbCombsGenerateMode->currentIndex();
    FUi->cbCombsGenerateMode->clear();
    for (int mode = 0; mode < CombsGenerateModes; ++mode)
        FUi->cbCombsGenerateMode->addItem(CombsGenerateModeCaption(mode));
    FUi->cbCombsGenerateMode->setCurrentIndex(current < 0 ? 0 : current);
}

void TFormGenCombs::LoadSettings(const TCombsGenerateSettings& settings, bool saveAsDefault)
{
    // A stored mode above the last builds the full list; the dialog shows it as that.
    FUi->cbCombsGenerateMode->setCurrentIndex(settings.Mode < CombsGenerateModes ? int(settings.Mode) : int(GenFull));
    FUi->edCombsGenerateParam->setText(settings.Parameters);
    FUi->cbSaveParameters->setChecked(saveAsDefault);
    UpdateControls();
}

TCombsGenerateSettings TFormGenCombs::Settings() const
{
    TCombsGenerateSettings settings;
    settings.Mode = static_cast<std::uint8_t>(std::max(0, FUi->cbCombsGenerateMode->currentIndex()));
    settings.Parameters = FUi->edCombsGenerateParam->text().left(TCombsGenerateSettings::MaxParametersLength);
    return settings;
}

bool TFormGenCombs::SaveAsDefault() const
{
    return FUi->cbSaveParameters->isChecked();
}

void TFormGenCombs::UpdateControls()
{
    const int mode = FUi->cbCombsGenerateMode->currentIndex();
    FUi->edCombsGenerateParam->setEnabled(mode != GenFull);
    FUi->btnCombsGenerateFile->setEnabled(mode == GenFromFile);
}

void TFormGenCombs::ChooseFile()
{
    QString fileName;
    const TFilePrompt prompt{LoadResString(rsCombFilesFilter), QStringLiteral("lcv"),
                             FUi->edCombsGenerateParam->text(), false};
    if (PromptForFileName(this, prompt, fileName))
        FUi->edCombsGenerateParam->setText(fileName);
}

void TFormGenCombs::accept()
{
    const int mode = FUi->cbCombsGenerateMode->currentIndex();
    if (mode >= GenAnyOf && mode <= GenNoneOf) {
        const QString refusal = MyNumbersRefusal(Settings().Parameters);
        if (!refusal.isEmpty()) {
            ErrorBox(refusal);
            FUi->edCombsGenerateParam->setFocus();
            FUi->edCombsGenerateParam->selectAll();
            return;
        }
    }
    TDialogSTemplate::accept();
}

void TFormGenCombs::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::LanguageChange) {
        FUi->retranslateUi(ClientPanel());
        setWindowTitle(LoadResString(SGenCombsCaption));
        FillModes();
    }
    TDialogSTemplate::changeEvent(event);
    if (event->type() == QEvent::LanguageChange) {
        SetHint(OkBtn(), LoadResString(SGenCombsOkHint));
        FitToLayout(kWidth);
    }
}

bool EditGenCombsParams(QWidget* owner, TCombsGenerateSettings& settings, bool& saveAsDefault)
{
    TFormGenCombs form(owner);
    form.LoadSettings(settings, saveAsDefault);
    if (form.exec() != QDialog::Accepted)
        return false;
    settings = form.Settings();
    saveAsDefault = form.SaveAsDefault();
    return true;
}
