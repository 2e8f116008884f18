#pragma once

#include "app/core/combs/CombsGen.h"
#include "support/ui/TmplDialogSimple.h"

#include <memory>

namespace Ui {
class FormGenCombs;
}

// The dialog of a new combination list: the generation mode, the parameter text (my numbers,
// or the ".lcv" file of the file mode, chosen with "...") and whether these settings become
// the default. The text can be edited in every mode but the full list, the file chosen only
// in the file mode. OK refuses my numbers that are not digits (MyNumbersRefusal) and keeps
// the dialog open on the edit; a file name is not checked: the generation reports a file it
// cannot read.
class TFormGenCombs : public TDialogSTemplate {
    Q_OBJECT

public:
    explicit TFormGenCombs(QWidget* parent = nullptr);
    ~TFormGenCombs() override;

    void LoadSettings(const TCombsGenerateSettings& settings, bool saveAsDefault);
    // The settings as OK hands them back, the text cut to 255 characters.
    TCombsGenerateSettings Settings() const;
    bool SaveAsDefault() const;

    Ui::FormGenCombs* Controls() const { return FUi.get(); }

protected:
    void accept() override;
    void changeEvent(QEvent* event) override;

private:
    void FillModes();
    void UpdateControls();
    void ChooseFile();

    std::unique_ptr<Ui::FormGenCombs> FUi;
};

// Shows the dialog; true on OK with settings and saveAsDefault as chosen.
bool EditGenCombsParams(QWidget* owner, TCombsGenerateSettings& settings, bool& saveAsDefault);
