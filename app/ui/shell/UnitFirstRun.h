#pragma once

#include "app/core/shell/HelpLinks.h"
#include "support/ui/TmplDialogSimple.h"

class QCheckBox;
class QLabel;
class TMainState;

// The dialog for a first start: the help file (its button is enabled only when the file exists)
// and the project's pages, each behind a button, and a check box that stops the dialog from
// coming again. Only the close button is shown.
class TFormFirstRun : public TDialogSTemplate {
    Q_OBJECT

public:
    explicit TFormFirstRun(const QString& helpFile, QWidget* parent = nullptr);

    // The help file when it exists; empty otherwise.
    const QString& HelpFile() const { return FHelpFile; }
    QPushButton* Button(const char* name) const;
    QCheckBox* DisableBox() const { return FDisable; }

protected:
    void changeEvent(QEvent* event) override;

private:
    struct TPageButton {
        const char* Name;
        TLinkPage Page;
    };
    static const TPageButton PageButtons[6];

    void BuildControls();
    void TranslateTexts();
    void FitToContents();

    QString FHelpFile;
    QLabel* FInfo = nullptr;
    QLabel* FBlogs = nullptr;
    QPushButton* FOpenHelp = nullptr;
    QCheckBox* FDisable = nullptr;
};

// Shows the dialog when the option "FirstRun" is on, modal over the owner; when the user ticked
// the check box, "FirstRun" is written false. True when the dialog was shown.
bool ShowFirstRunDialog(QWidget* owner, TMainState& state, const QString& helpFile);
