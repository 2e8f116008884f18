#pragma once

#include "support/ui/TmplDialogSimple.h"

#include <QStringList>

class QLabel;
class QLineEdit;
class QPlainTextEdit;

// The window that offers a program update found by the update check: the running version, the
// new version's one-line description and its full description text, with "Установить" and
// Cancel.
class TfrmUpdateInformer : public TDialogSTemplate {
    Q_OBJECT

public:
    explicit TfrmUpdateInformer(QWidget* parent = nullptr);

    void SetVersions(const QString& currentVersion, const QString& newVersion, const QStringList& description);

    QLineEdit* EdVersionCur() const { return FVersionCur; }
    QLineEdit* EdVersionNew() const { return FVersionNew; }
    QPlainTextEdit* EdVersionDsc() const { return FVersionDsc; }

protected:
    void changeEvent(QEvent* event) override;

private:
    void TranslateTexts();

    QLabel* FLblVersionCur = nullptr;
    QLabel* FLblVersionNew = nullptr;
    QLabel* FLblVersionDsc = nullptr;
    QLineEdit* FVersionCur = nullptr;
    QLineEdit* FVersionNew = nullptr;
    QPlainTextEdit* FVersionDsc = nullptr;
};

// Shows the window modally; true when the user chose to install.
bool ShowUpdateInformer(const QString& currentVersion, const QString& newVersion, const QStringList& description);

// Lets the update check show its progress window and this informer (the other hooks stay).
void InstallSelfUpdateWindows();
