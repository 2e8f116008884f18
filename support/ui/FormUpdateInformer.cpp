#include "support/ui/FormUpdateInformer.h"

#include "platform/ResString.h"
#include "support/RSelfUpdate2.h"
#include "support/ui/FormProgress.h"

#include <QApplication>
#include <QEvent>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

namespace {

const TResString SCaption = RESSTR("FormUpdateInformer", "Найдена новая версия программы");
const TResString SVersionCur = RESSTR("FormUpdateInformer", "Текущая версия программы:");
const TResString SVersionNew = RESSTR("FormUpdateInformer", "Новая версия программы:");
const TResString SVersionDsc = RESSTR("FormUpdateInformer", "Описание версии:");
const TResString SInstall = RESSTR("FormUpdateInformer", "Установить");
const TResString SInstallHint = RESSTR("FormUpdateInformer", "Установить это обновление");
const TResString SCancelHint = RESSTR("FormUpdateInformer", "Отказаться от обновления");

constexpr int kDesignedWidth = 520;
constexpr int kDescriptionHeight = 180;

QLineEdit* NewReadOnlyEdit(QWidget* parent, const char* name)
{
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(QLatin1String(name));
    edit->setReadOnly(true);
    return edit;
}

} // namespace

TfrmUpdateInformer::TfrmUpdateInformer(QWidget* parent) : TDialogSTemplate(parent)
{
    setObjectName(QStringLiteral("frmUpdateInformer"));
    QWidget* panel = ClientPanel();
    auto* grid = NewClientGrid("layUpdateInformer", 12, 6);

    FVersionCur = NewReadOnlyEdit(panel, "edVersionCur");
    FVersionNew = NewReadOnlyEdit(panel, "edVersionNew");
    FVersionDsc = new QPlainTextEdit(panel);
    FVersionDsc->setObjectName(QStringLiteral("edVersionDsc"));
    FVersionDsc->setReadOnly(true);
    FVersionDsc->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    FVersionDsc->setMinimumHeight(kDescriptionHeight);
    FLblVersionCur = NewBuddyLabel("lblVersionCur", FVersionCur);
    FLblVersionNew = NewBuddyLabel("lblVersionNew", FVersionNew);
    FLblVersionDsc = NewBuddyLabel("lblVersionDsc", FVersionDsc);

    grid->addWidget(FLblVersionCur, 0, 0);
    grid->addWidget(FVersionCur, 0, 1);
    grid->addWidget(FLblVersionNew, 1, 0);
    grid->addWidget(FVersionNew, 1, 1);
    grid->addWidget(FLblVersionDsc, 2, 0, 1, 2);
    grid->addWidget(FVersionDsc, 3, 0, 1, 2);
    grid->setColumnStretch(1, 1);

    TranslateTexts();
    FitToLayout(kDesignedWidth);
    OkBtn()->setFocus();
}

void TfrmUpdateInformer::SetVersions(const QString& currentVersion, const QString& newVersion,
                                     const QStringList& description)
{
    FVersionCur->setText(currentVersion);
    FVersionCur->setCursorPosition(0);
    FVersionNew->setText(newVersion);
    FVersionNew->setCursorPosition(0);
    FVersionDsc->setPlainText(description.join(QLatin1Char('\n')));
}

void TfrmUpdateInformer::TranslateTexts()
{
    setWindowTitle(LoadResString(SCaption));
    FLblVersionCur->setText(LoadResString(SVersionCur));
    FLblVersionNew->setText(LoadResString(SVersionNew));
    FLblVersionDsc->setText(LoadResString(SVersionDsc));
    OkBtn()->setText(LoadResString(SInstall));
    OkBtn()->setToolTip(LoadResString(SInstallHint));
    CancelBtn()->setToolTip(LoadResString(SCancelHint));
}

void TfrmUpdateInformer::changeEvent(QEvent* event)
{
    // The base dialog puts its own button texts back first.
    TDialogSTemplate::changeEvent(event);
    if (event->type() == QEvent::LanguageChange)
        TranslateTexts();
}

bool ShowUpdateInformer(const QString& currentVersion, const QString& newVersion, const QStringList& description)
{
    TfrmUpdateInformer form(QApplication::activeWindow());
    form.SetVersions(currentVersion, newVersion, description);
    return form.exec() == QDialog::Accepted;
}

void InstallSelfUpdateWindows()
{
    TSelfUpdateHooks hooks = SelfUpdateHooks();
    // The check hides only a progress window it showed itself, never another operation's.
    hooks.Progress = ScopedProgressFunctions();
    hooks.ConfirmUpdate = &ShowUpdateInformer;
    SetSelfUpdateHooks(hooks);
}
