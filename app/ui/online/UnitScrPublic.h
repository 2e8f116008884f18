#pragma once

#include "app/core/online/SwScripts.h"
#include "support/ui/TmplDialogSimple.h"

class QButtonGroup;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QRadioButton;

// The properties of an online scenario: author, language, title, who sees it, which programs
// may use it, and its description. Editable, OK checks the title (given, and free on the
// server) and the author before the data is read back; read-only, only Cancel is offered.
class TFormScrPublic : public TDialogSTemplate {
    Q_OBJECT

public:
    // client checks the title on OK; without one the title is not checked on the server.
    explicit TFormScrPublic(TSwScripts* client, QWidget* parent = nullptr);

    // Most characters the author and title take.
    static constexpr int MaxTextLength = 64;

    // Shows the data; the language box selects the data's language, else defaultLcid.
    void LoadData(const tScriptData& data, LCID defaultLcid, bool editable);
    // The data as the controls hold it (texts trimmed); the id stays as loaded.
    tScriptData Data() const;
    bool Editable() const { return FEditable; }

    // The checks of OK; true when the dialog may close (then it does).
    bool TryAccept();

    QLineEdit* EdClName() const { return FClName; }
    QComboBox* CbClLcid() const { return FClLcid; }
    QLineEdit* EdTitle() const { return FTitle; }
    QRadioButton* ViewModeButton(int index) const { return FViewModes[index]; }
    QRadioButton* AppModeButton(int index) const { return FAppModes[index]; }
    QPlainTextEdit* EdDescr() const { return FDescr; }

protected:
    void accept() override;
    void changeEvent(QEvent* event) override;

private:
    void BuildControls();
    void TranslateTexts();

    TSwScripts* FClient;
    tScriptData FData;
    bool FEditable = true;
    QList<LCID> FLanguages;
    QLineEdit* FClName = nullptr;
    QComboBox* FClLcid = nullptr;
    QLineEdit* FTitle = nullptr;
    QGroupBox* FViewMode = nullptr;
    QGroupBox* FAppMode = nullptr;
    QRadioButton* FViewModes[2] = {};
    QRadioButton* FAppModes[2] = {};
    QPlainTextEdit* FDescr = nullptr;
    QLabel* FClNameLabel = nullptr;
    QLabel* FClLcidLabel = nullptr;
    QLabel* FTitleLabel = nullptr;
    QLabel* FDescrLabel = nullptr;
};

// Shows the dialog over the data; true on OK (editable only) with the data read back.
bool EditScriptProperties(QWidget* owner, TSwScripts* client, tScriptData& data, LCID defaultLcid, bool editable);
