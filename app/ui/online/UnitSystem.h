#pragma once

#include "app/core/online/SwSystems.h"
#include "support/ui/TmplDialogSimple.h"

class QAction;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QToolButton;

// The dialog of one system: its name, description, author, web address and combination list,
// with the server's figures read-only. The list tidies itself when it loses the focus; on OK
// it is tidied again and nums and csize are taken from it, so what is published always
// matches its list. Systems of other users are shown read-only, with only a close button.
class TFormSystem : public TDialogSTemplate {
    Q_OBJECT

public:
    explicit TFormSystem(QWidget* parent = nullptr);

    void LoadSystem(const tSystemData& data, bool editable);
    // The system as the fields hold it (call after an accepted OK).
    void StoreSystem(tSystemData& data) const;
    bool Editable() const { return FEditable; }

    // The list tidied: lines of two numbers, then nums and csize from it.
    void NormalizeCombs();
    // Enables the list menu's commands for the list as it is now.
    void UpdateCombsMenu();
    // The web address handed to the desktop; other addresses are refused with a message.
    void OpenUrlClick();

    QLineEdit* edTitle = nullptr;
    QPlainTextEdit* edDescr = nullptr;
    QLineEdit* edAuthor = nullptr;
    QLineEdit* edURL = nullptr;
    QToolButton* btnURL = nullptr;
    QPlainTextEdit* edCombs = nullptr;
    QLineEdit* edCreated = nullptr;
    QLineEdit* edCSize = nullptr;
    QLineEdit* edDownloads = nullptr;
    QLineEdit* edLastDownload = nullptr;
    QLineEdit* edNums = nullptr;
    QLineEdit* edCLen = nullptr;
    QLineEdit* edOlap = nullptr;

    // The list menu pmCombs.
    QAction* actCombsCopy = nullptr;
    QAction* actCombsPaste = nullptr;
    QAction* actCombsSelectAll = nullptr;
    QAction* actCombsLoad = nullptr;
    QAction* actCombsSave = nullptr;

public slots:
    void accept() override;

protected:
    void changeEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void TranslateTexts();
    void CopyCombs();
    void PasteCombs();
    void LoadCombs();
    void SaveCombs();
    void ShowCombsMenu(const QPoint& pos);
    // Refuses the OK with the message and puts the focus on the field.
    bool Refuse(const QString& message, QWidget* field);

    QList<QLabel*> FLabels;
    std::int32_t FId = -1;
    QString FClMail;
    bool FEditable = true;
};

// Shows the dialog over the system; true on OK (editable only) with the system updated.
bool EditSystemProperties(QWidget* owner, tSystemData& data, bool editable);
