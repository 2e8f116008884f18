#include "support/ui/TmplDialogSimple.h"

#include "platform/ResString.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QEvent>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

const TResString SOk = RESSTR("TmplDialogSimple", "ОК");
const TResString SOkHint = RESSTR("TmplDialogSimple", "Сохранить изменения");
const TResString SCancel = RESSTR("TmplDialogSimple", "Отмена");
const TResString SCancelHint = RESSTR("TmplDialogSimple", "Отменить изменения и закрыть окно");

constexpr int kButtonsPanelHeight = 49;
constexpr int kButtonsMovedWidth = 222;

// A widget that takes the focus by Tab itself (the line inside a spin box passes it on to the
// box, so only the box counts).
bool TakesTabFocus(const QWidget* widget)
{
    return (widget->focusPolicy() & Qt::TabFocus) == Qt::TabFocus && widget->focusProxy() == nullptr;
}

// A control the Tab key can stop at while the dialog shows.
bool IsTabStop(const QWidget* widget, const QWidget* dialog)
{
    return TakesTabFocus(widget) && widget->isEnabled() && widget->isVisibleTo(dialog);
}

} // namespace

TDialogSTemplate::TDialogSTemplate(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("DialogSTemplate"));
    // Dialogs use the menu font of the desktop; Qt's text is Unicode, so the character set
    // of the current language needs no setting.
    QFont dialogFont = font();
    dialogFont.setFamily(QApplication::font("QMenu").family());
    setFont(dialogFont);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    FClientPanel = new QWidget(this);
    FClientPanel->setObjectName(QStringLiteral("ClientPanel"));
    layout->addWidget(FClientPanel, 1);

    FBvlButtons = new QFrame(this);
    FBvlButtons->setObjectName(QStringLiteral("bvlButtons"));
    FBvlButtons->setFrameShape(QFrame::HLine);
    FBvlButtons->setFrameShadow(QFrame::Sunken);
    layout->addWidget(FBvlButtons);

    FButtonsPanel = new QWidget(this);
    FButtonsPanel->setObjectName(QStringLiteral("ButtonsPanel"));
    FButtonsPanel->setFixedHeight(kButtonsPanelHeight);
    FButtonsPanel->setBackgroundRole(QPalette::Base);
    FButtonsPanel->setAutoFillBackground(true);
    layout->addWidget(FButtonsPanel);

    auto* buttonsLayout = new QHBoxLayout(FButtonsPanel);
    buttonsLayout->setContentsMargins(0, 0, 0, 0);
    buttonsLayout->addStretch(1);
    FButtonsMovedPanel = new QWidget(FButtonsPanel);
    FButtonsMovedPanel->setObjectName(QStringLiteral("ButtonsMovedPanel"));
    FButtonsMovedPanel->setFixedSize(kButtonsMovedWidth, kButtonsPanelHeight);
    buttonsLayout->addWidget(FButtonsMovedPanel);

    FOkBtn = new QPushButton(FButtonsMovedPanel);
    FOkBtn->setObjectName(QStringLiteral("OkBtn"));
    FOkBtn->setGeometry(12, 12, 97, 25);
    FOkBtn->setDefault(true);
    connect(FOkBtn, &QPushButton::clicked, this, &QDialog::accept);

    FCancelBtn = new QPushButton(FButtonsMovedPanel);
    FCancelBtn->setObjectName(QStringLiteral("CancelBtn"));
    FCancelBtn->setGeometry(112, 12, 97, 25);
    FCancelBtn->setAutoDefault(false);
    connect(FCancelBtn, &QPushButton::clicked, this, &QDialog::reject);

    TranslateTexts();
}

void TDialogSTemplate::TranslateTexts()
{
    FOkBtn->setText(LoadResString(SOk));
    FOkBtn->setToolTip(LoadResString(SOkHint));
    FCancelBtn->setText(LoadResString(SCancel));
    FCancelBtn->setToolTip(LoadResString(SCancelHint));
}

void TDialogSTemplate::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::LanguageChange)
        TranslateTexts();
    QDialog::changeEvent(event);
}

void TDialogSTemplate::showEvent(QShowEvent* event)
{
    // A table takes Tab for its own cells by default and would keep the keyboard in itself
    // for ever; its arrow keys still move between the cells.
    for (QAbstractItemView* view : FClientPanel->findChildren<QAbstractItemView*>())
        view->setTabKeyNavigation(false);

    // The buttons are made before the dialog's own controls, so they would be the first stops
    // of the Tab order (and take the first focus): they go after the last control instead.
    QWidget* lastControl = nullptr;
    for (QWidget* w = nextInFocusChain(); w != this; w = w->nextInFocusChain())
        if (FClientPanel->isAncestorOf(w) && TakesTabFocus(w))
            lastControl = w;
    if (lastControl != nullptr) {
        setTabOrder(lastControl, FOkBtn);
        setTabOrder(FOkBtn, FCancelBtn);
    }

    // Focus that the dialog chose (a field with a refused value, a Close button) stays.
    const QWidget* focus = focusWidget();
    if (focus == nullptr || focus == this) {
        for (QWidget* w = nextInFocusChain(); w != this; w = w->nextInFocusChain()) {
            if (FClientPanel->isAncestorOf(w) && IsTabStop(w, this)) {
                w->setFocus(Qt::TabFocusReason);
                break;
            }
        }
    }
    QDialog::showEvent(event);
}

QGridLayout* TDialogSTemplate::NewClientGrid(const char* name, int horizontalSpacing, int verticalSpacing)
{
    auto* grid = new QGridLayout(FClientPanel);
    grid->setObjectName(QLatin1String(name));
    grid->setContentsMargins(12, 10, 12, 10);
    grid->setHorizontalSpacing(horizontalSpacing);
    grid->setVerticalSpacing(verticalSpacing);
    return grid;
}

void TDialogSTemplate::SetHint(QWidget* widget, const QString& hint)
{
    widget->setToolTip(hint);
    widget->setStatusTip(hint);
}

QLabel* TDialogSTemplate::NewBuddyLabel(const char* name, QWidget* buddy)
{
    auto* label = new QLabel(FClientPanel);
    label->setObjectName(QLatin1String(name));
    label->setBuddy(buddy);
    return label;
}

void TDialogSTemplate::FitToLayout(int minimumWidth)
{
    if (FClientPanel->layout())
        FClientPanel->layout()->invalidate();
    FClientPanel->updateGeometry();
    layout()->invalidate();
    setFixedSize(QSize(minimumWidth, 0).expandedTo(QSize(sizeHint().width(), minimumSizeHint().height())));
}
